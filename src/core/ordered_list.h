#pragma once

#include "records/short_string.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
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
// arrival order. One insertion does exactly that; `before(a, b)` says that a sorts before b. Returns where
// the item went.
template <typename Item, typename Before>
std::size_t InsertOrdered(std::vector<Item>& list, Item item, Before before)
{
    const auto at = std::upper_bound(list.begin(), list.end(), item, before);
    // The insert may move the list: its start is read after it.
    const auto inserted = list.insert(at, std::move(item));
    return static_cast<std::size_t>(inserted - list.begin());
}

// Orders a whole list as if its items had been inserted one by one in their present order, in
// O(n log n).
template <typename Item, typename Before> void OrderAsInserted(std::vector<Item>& list, Before before)
{
    std::stable_sort(list.begin(), list.end(), before);
}

// Where an item whose key equals others goes when it is inserted.
enum class TieRule {
    AfterEqual, // after every item of equal key
    HeadFirst,  // the same, except that an item whose key is not greater than the head's becomes the head
};

// The old store lists: a new node whose key is not greater than the head's becomes the new head, so it
// goes before the items of equal key while its key is the least; otherwise it goes after them.
template <typename Item, typename Before>
std::size_t InsertOrderedHeadFirst(std::vector<Item>& list, Item item, Before before)
{
    if (list.empty() || !before(list.front(), item)) {
        list.insert(list.begin(), std::move(item));
        return 0;
    }
    return InsertOrdered(list, std::move(item), before);
}

// The positions of `items`, taken as arriving in their present order, in the order one insertion after
// another by InsertOrderedHeadFirst gives them, in O(n log n). An item that arrives not after the head
// (the least key so far) took the head, ahead of the equal ones already there; the later ones of its key
// follow them in arrival order. Items arriving each one not after the one before (a file sorted the
// other way, read from its end) all took the head: their order is the reverse, found in O(n).
// The first `settled` items are a list those insertions made already: they keep their order, and the
// items after them arrive into it (the list's head is its first item).
template <typename Item, typename Before>
std::vector<std::uint32_t> HeadFirstOrder(const std::vector<Item>& items, Before before,
                                          std::size_t settled = 0)
{
    const std::size_t n = items.size();
    settled = std::min(settled, n);
    // Took the head: -(arrival + 1), so the later stands first; otherwise the arrival itself. The settled
    // items rank by their place, ahead of every later arrival of their key that did not take the head.
    std::vector<std::int64_t> rank(n);
    std::size_t head = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const bool first = i >= settled && (i == 0 || !before(items[head], items[i]));
        if (first)
            head = i;
        rank[i] = first ? -static_cast<std::int64_t>(i) - 1 : static_cast<std::int64_t>(i);
    }
    // Without a settled list, items arriving each one not after the one before end reversed.
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = static_cast<std::uint32_t>(settled > 0 ? i : n - 1 - i);
    const auto less = [&](std::uint32_t a, std::uint32_t b) {
        if (before(items[a], items[b]))
            return true;
        if (before(items[b], items[a]))
            return false;
        return rank[a] < rank[b];
    };
    if (settled > 0) {
        // Only the arrivals are sorted, then merged into the settled list in one pass.
        const auto arrivals = order.begin() + static_cast<std::ptrdiff_t>(settled);
        std::sort(arrivals, order.end(), less);
        std::inplace_merge(order.begin(), arrivals, order.end(), less);
    } else if (!std::is_sorted(order.begin(), order.end(), less))
        std::sort(order.begin(), order.end(), less);
    return order;
}

// Rearranges a list into `order`, a permutation of its positions.
template <typename Item> void ArrangeInOrder(std::vector<Item>& list, const std::vector<std::uint32_t>& order)
{
    std::vector<Item> ordered;
    ordered.reserve(list.size());
    for (const std::uint32_t i : order)
        ordered.push_back(std::move(list[i]));
    list.swap(ordered);
}

// OrderAsInserted under either tie rule.
template <typename Item, typename Before>
void OrderAsInserted(std::vector<Item>& list, Before before, TieRule ties)
{
    if (ties == TieRule::AfterEqual) {
        OrderAsInserted(list, before);
        return;
    }
    ArrangeInOrder(list, HeadFirstOrder(list, before));
}

// Puts the last `queued` items of a list built by insertions under `ties` (InsertOrdered,
// InsertOrderedHeadFirst) where those insertions would have put them one after another in their order: an
// import queues its items at the end, so that a line does not move the whole list, and settles them once.
template <typename Item, typename Before>
void SettleQueued(std::vector<Item>& list, std::size_t queued, Before before, TieRule ties)
{
    queued = std::min(queued, list.size());
    if (queued == 0)
        return;
    if (ties == TieRule::HeadFirst) {
        ArrangeInOrder(list, HeadFirstOrder(list, before, list.size() - queued));
        return;
    }
    // Each queued item goes after every item of its key: they keep their arrival order among themselves.
    const auto middle = list.end() - static_cast<std::ptrdiff_t>(queued);
    std::stable_sort(middle, list.end(), before);
    std::inplace_merge(list.begin(), middle, list.end(), before);
}

// The first eight bytes of a text as one number, the missing ones as zeros: of two texts, the one with
// the lower number sorts first as short strings compare (byte by byte, then by length).
inline std::uint64_t TextOrderPrefix(std::string_view bytes)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix = prefix << 8 | (i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
    return prefix;
}

// Comparator on one field of a record.
template <typename T, typename Field> struct FieldOrder
{
    Field T::*field;
    bool operator()(const T& a, const T& b) const { return a.*field < b.*field; }
};

// On a short-string field it offers what a sort compares first: Prefix(a) < Prefix(b) only when a sorts
// before b, so only records of equal prefix need their whole fields compared.
template <typename T, std::size_t N> struct FieldOrder<T, ShortString<N>>
{
    ShortString<N> T::*field;
    bool operator()(const T& a, const T& b) const { return a.*field < b.*field; }
    std::uint64_t Prefix(const T& r) const { return TextOrderPrefix((r.*field).bytes()); }
};

template <typename T, typename Field> auto ByField(Field T::*field)
{
    return FieldOrder<T, Field>{field};
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
