#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace gim {

// An in-memory record list. Each entry keeps the position its record had in the file, so an in-place
// write goes back to that position and not to "the n-th record".
template <typename T> struct ListEntry
{
    T rec;
    std::uint32_t pos = 0;
};

// The old lists put a new node before the first node that sorts after it, so equal keys keep their
// arrival order. One insertion does exactly that; `before(a, b)` says that a sorts before b.
template <typename Item, typename Before>
void InsertOrdered(std::vector<Item>& list, Item item, Before before)
{
    const auto at = std::upper_bound(list.begin(), list.end(), item, before);
    list.insert(at, std::move(item));
}

// Orders a whole list as if its items had been inserted one by one in their present order, in
// O(n log n).
template <typename Item, typename Before> void OrderAsInserted(std::vector<Item>& list, Before before)
{
    std::stable_sort(list.begin(), list.end(), before);
}

// The lists whose head takes an item of equal key: an item that does not sort after the head goes
// first, before the head; anywhere else it goes after the items of equal key, as InsertOrdered puts it.
template <typename Item, typename Before>
void InsertOrderedHeadFirst(std::vector<Item>& list, Item item, Before before)
{
    if (list.empty() || !before(list.front(), item))
        list.insert(list.begin(), std::move(item));
    else
        InsertOrdered(list, std::move(item), before);
}

// Orders a whole list as if its items had been inserted one by one with InsertOrderedHeadFirst, in
// O(n log n). Items that arrive each one not after the one before (a file sorted the other way, read
// from its end) all go first: the result is their reverse, found in O(n).
template <typename Item, typename Before>
void OrderAsInsertedHeadFirst(std::vector<Item>& list, Before before)
{
    const std::size_t n = list.size();
    if (n < 2)
        return;
    // An item that went first stands before the equal items that came earlier, the later such items
    // before it; an item that went after its equals stands after all of them, in arrival order. Items
    // that went first always arrive before the equal ones that did not: once a greater key heads the
    // list, none of them is first again.
    std::vector<std::int64_t> rank(n);
    std::size_t head = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool first = i == 0 || !before(list[head], list[i]);
        if (first)
            head = i;
        rank[i] = first ? -static_cast<std::int64_t>(i) - 1 : static_cast<std::int64_t>(i);
    }
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = static_cast<std::uint32_t>(n - 1 - i);
    const auto less = [&](std::uint32_t a, std::uint32_t b) {
        if (before(list[a], list[b]))
            return true;
        if (before(list[b], list[a]))
            return false;
        return rank[a] < rank[b];
    };
    if (std::is_sorted(order.begin(), order.end(), less)) {
        std::reverse(list.begin(), list.end());
        return;
    }
    std::sort(order.begin(), order.end(), less);
    std::vector<Item> sorted;
    sorted.reserve(n);
    for (const std::uint32_t i : order)
        sorted.push_back(std::move(list[i]));
    list.swap(sorted);
}

// Comparator on one field of a record.
template <typename T, typename Field> auto ByField(Field T::*field)
{
    return [field](const T& a, const T& b) { return a.*field < b.*field; };
}

// Where an arriving item goes among the items of equal key.
enum class EqualKeys {
    AfterEquals, // InsertOrdered
    HeadFirst,   // InsertOrderedHeadFirst
};

enum class LoadOrder {
    FirstToLast, // records arrive in file order
    LastToFirst, // records arrive from the last to the first
};

// Frees a list (the old FreeNodeList): the vector is emptied and its memory returned.
template <typename Item> void FreeNodeList(std::vector<Item>& list)
{
    std::vector<Item>().swap(list);
}

// The old InsertNodeByKey: a list in descending order of a word key, equal keys in arrival order.
template <typename Item, typename Key> void InsertNodeByKey(std::vector<Item>& list, Item item, Key key)
{
    InsertOrdered(list, std::move(item), [&](const Item& a, const Item& b) { return key(a) > key(b); });
}

} // namespace gim
