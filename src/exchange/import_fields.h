#pragma once

#include "exchange/import_format.h"

#include <limits>
#include <type_traits>
#include <utility>

namespace gim {

// Shorthands for the field lists of the import tables. `get` names the record field inside the table's
// line record; a text field is as wide as that field.

template <typename Line, typename Get> ImportField<Line> TextField(int number, Get get)
{
    using Target = std::remove_reference_t<decltype(get(std::declval<Line&>()))>;
    return {.number = number,
            .width = static_cast<int>(Target::Capacity),
            .store = [get](Context&, Line& line, const ImportFieldValue& v) { get(line) = v.text; }};
}

// A whole number (or an amount in cents) into an integer field of the record, refused outside
// [minimum, maximum].
template <typename Line, typename Get>
ImportField<Line> NumberField(int number, Get get, std::int64_t minimum, std::int64_t maximum,
                              ImportFieldKind kind = ImportFieldKind::Number)
{
    return {.number = number,
            .kind = kind,
            .minimum = minimum,
            .maximum = maximum,
            .store = [get](Context&, Line& line, const ImportFieldValue& v) {
                using Target = std::remove_reference_t<decltype(get(line))>;
                if constexpr (std::is_arithmetic_v<Target>)
                    get(line) = static_cast<Target>(v.number);
                else
                    get(line) = static_cast<decltype(get(line).get())>(v.number);
            }};
}

// The same for a table whose line is the record itself: the field named by a member pointer.
template <typename Line, std::size_t N> ImportField<Line> TextField(int number, ShortString<N> Line::*target)
{
    return TextField<Line>(number, [target](Line& line) -> ShortString<N>& { return line.*target; });
}

template <typename Line, typename Int>
ImportField<Line> NumberField(int number, Int Line::*target, std::int64_t minimum, std::int64_t maximum,
                              ImportFieldKind kind = ImportFieldKind::Number)
{
    return NumberField<Line>(
        number, [target](Line& line) -> Int& { return line.*target; }, minimum, maximum, kind);
}

inline constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
inline constexpr std::int64_t kInt16Min = std::numeric_limits<std::int16_t>::min();
inline constexpr std::int64_t kInt16Max = std::numeric_limits<std::int16_t>::max();

} // namespace gim
