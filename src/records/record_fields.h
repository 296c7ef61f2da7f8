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

namespace detail {
template <typename F> bool Overlong(const F&)
{
    return false;
}
template <std::size_t N> bool Overlong(const ShortString<N>& s)
{
    if constexpr (N < 255)
        return s.len > N;
    else
        return false;
}
} // namespace detail

// Set for a record type whose loader checks its own texts and reports them in its own words.
template <typename T> inline constexpr bool kOwnerChecksTexts = false;

// Whether a record of a damaged file holds a text whose length byte exceeds its capacity; such a text
// reads cut to its capacity. Record types without a field list hold no texts.
template <typename T> bool HasOverlongText(const T& rec)
{
    if constexpr (kOwnerChecksTexts<T> || !requires { RecordFields<T>::kAll; })
        return false;
    else
        return std::apply([&](auto... field) { return (detail::Overlong(rec.*field) || ...); },
                          RecordFields<T>::kAll);
}

} // namespace gim
