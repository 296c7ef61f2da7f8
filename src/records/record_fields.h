#pragma once

#include "records/short_string.h"

#include <tuple>

namespace gim {

// The fields a record type owns, as member pointers in layout order. A record type that is ever written
// as a new record declares them with GIM_RECORD_FIELDS next to its layout.
template <typename T> struct RecordFields;

#define GIM_RECORD_FIELDS(Type, ...)                                                                         \
    template <> struct RecordFields<Type>                                                                    \
    {                                                                                                        \
        static constexpr auto kAll = std::make_tuple(__VA_ARGS__);                                           \
    }

namespace detail {
template <std::size_t N> void CopyFresh(ShortString<N>& to, const ShortString<N>& from)
{
    to.assign(from);
}
template <typename I> void CopyFresh(LeInt<I>& to, const LeInt<I>& from)
{
    to = from.get();
}
inline void CopyFresh(Byte& to, const Byte& from)
{
    to = from;
}
} // namespace detail

// A new record carries only its values: the bytes past each text's length and the spare bytes are zero,
// as in every record the old program created.
template <typename T> T FreshRecord(const T& rec)
{
    T out{};
    std::apply([&](auto... field) { (detail::CopyFresh(out.*field, rec.*field), ...); },
               RecordFields<T>::kAll);
    return out;
}

} // namespace gim
