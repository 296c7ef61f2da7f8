#pragma once

#include "core/record_file.h"

#include <QString>
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

// Comparator on one field of the record of a list entry or of a record.
template <typename T, typename Field> auto ByField(Field T::*field)
{
    return [field](const T& a, const T& b) { return a.*field < b.*field; };
}
template <typename T, typename Field> auto EntryByField(Field T::*field)
{
    return [field](const ListEntry<T>& a, const ListEntry<T>& b) { return a.rec.*field < b.rec.*field; };
}

enum class LoadOrder {
    FirstToLast, // records arrive in file order
    LastToFirst, // records arrive from the last to the first
};

// Loads a data file into an ordered list: every record with its position, ordered by `before` with
// ties in arrival order. An open failure leaves LastIOResult set and returns an empty list.
template <typename T, typename Before>
std::vector<ListEntry<T>> LoadOrderedList(Context& ctx, const QString& fileName, Before before,
                                          LoadOrder order = LoadOrder::FirstToLast, bool report = true)
{
    std::vector<T> records = LoadRecords<T>(ctx, fileName, report);
    std::vector<ListEntry<T>> list;
    list.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        list.push_back({records[i], static_cast<std::uint32_t>(i)});
    if (order == LoadOrder::LastToFirst)
        std::reverse(list.begin(), list.end());
    OrderAsInserted(list, [&](const ListEntry<T>& a, const ListEntry<T>& b) { return before(a.rec, b.rec); });
    return list;
}

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
