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

// The lists whose insert makes a new node that does not sort after the head the new head, and puts any
// other before the first node that sorts after it. Equal keys keep their arrival order, except that while
// their key is the list's first each newcomer goes in front of them. Orders a whole list as if its items
// had been inserted so one by one in their present order, in O(n log n).
template <typename Item, typename Before>
void OrderAsInsertedTiesAtHead(std::vector<Item>& list, Before before)
{
    const std::size_t n = list.size();
    // An item that no earlier item sorts before became the head when it arrived.
    std::vector<std::uint32_t> order(n);
    std::vector<char> atHead(n, 0);
    std::size_t head = 0;
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = static_cast<std::uint32_t>(i);
        if (i == 0 || !before(list[head], list[i])) {
            atHead[i] = 1;
            head = i;
        }
    }
    // Among equal keys the heads come first, the latest in front, then the others as they arrived.
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (before(list[a], list[b]))
            return true;
        if (before(list[b], list[a]))
            return false;
        if (atHead[a] != atHead[b])
            return atHead[a] != 0;
        return atHead[a] ? a > b : a < b;
    });
    std::vector<Item> sorted;
    sorted.reserve(n);
    for (const std::uint32_t i : order)
        sorted.push_back(std::move(list[i]));
    list.swap(sorted);
}

// One insertion into such a list.
template <typename Item, typename Before>
void InsertOrderedTiesAtHead(std::vector<Item>& list, Item item, Before before)
{
    if (list.empty() || !before(list.front(), item))
        list.insert(list.begin(), std::move(item));
    else
        InsertOrdered(list, std::move(item), before);
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
