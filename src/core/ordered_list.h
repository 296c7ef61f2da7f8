#pragma once

#include <algorithm>
#include <cstdint>
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

// The other old insertion: a node that does not sort after the head becomes the new head; any other goes
// before the first node that sorts after it. Equal keys keep their arrival order, except that a node equal
// to the head goes before it.
template <typename Item, typename Before>
void InsertHeadFirst(std::vector<Item>& list, Item item, Before before)
{
    if (list.empty() || !before(list.front(), item))
        list.insert(list.begin(), std::move(item));
    else
        InsertOrdered(list, std::move(item), before);
}

// Orders a whole list as if its items had been inserted one by one by InsertHeadFirst in their present
// order, in O(n log n). Among equal keys, the items that arrived while their key led the list went to the
// front one after the other (the latest first); the rest followed in arrival order.
template <typename Item, typename Before>
void OrderAsInsertedHeadFirst(std::vector<Item>& list, Before before)
{
    const std::size_t n = list.size();
    // An item took the head when nothing that came before it sorts before it.
    std::vector<std::int64_t> rank(n);
    std::size_t head = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool tookHead = i == 0 || !before(list[head], list[i]);
        if (tookHead)
            head = i;
        // Head takers of one key come first, the latest first; the others after them, in arrival order.
        rank[i] = tookHead ? -static_cast<std::int64_t>(i + 1) : static_cast<std::int64_t>(i);
    }
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (before(list[a], list[b]))
            return true;
        if (before(list[b], list[a]))
            return false;
        return rank[a] < rank[b];
    });
    std::vector<Item> sorted;
    sorted.reserve(n);
    for (const std::size_t i : order)
        sorted.push_back(std::move(list[i]));
    list.swap(sorted);
}

// Comparator on one field of a record.
template <typename T, typename Field> auto ByField(Field T::*field)
{
    return [field](const T& a, const T& b) { return a.*field < b.*field; };
}

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
