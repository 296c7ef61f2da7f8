#pragma once

#include "records/cp1252.h"

#include <QString>
#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace gim {

// A text field of fixed capacity N as the old program stored it: one length byte, then N bytes of
// Windows-1252 text. Bytes past the length belong to nobody and are kept as they are, so that an
// unchanged record is rewritten byte for byte. Alignment 1, no padding.
template <std::size_t N> struct ShortString
{
    static_assert(N >= 1 && N <= 255);
    static constexpr std::size_t Capacity = N;

    std::uint8_t len;
    char chars[N];

    // A stored length above the capacity (a corrupt file) is clamped on read.
    std::size_t size() const { return std::min<std::size_t>(len, N); }
    bool empty() const { return size() == 0; }
    std::string_view bytes() const { return std::string_view(chars, size()); }
    QString str() const { return FromCp1252(bytes()); }

    // Assignment cuts to N; the bytes after the new length are left alone.
    void setBytes(std::string_view b)
    {
        const std::size_t n = std::min(b.size(), N);
        if (n > 0)
            std::memcpy(chars, b.data(), n);
        len = static_cast<std::uint8_t>(n);
    }
    // 2N UTF-16 units hold at least N characters even when some lie beyond the BMP (two units each).
    void set(const QString& text) { setBytes(ToCp1252(text.left(static_cast<qsizetype>(2 * N)))); }
    ShortString& operator=(const QString& text)
    {
        set(text);
        return *this;
    }
    ShortString& operator=(const char* latin1)
    {
        setBytes(latin1);
        return *this;
    }

    template <std::size_t M> void assign(const ShortString<M>& other) { setBytes(other.bytes()); }

    // Short strings compare byte by byte as unsigned characters, then by length.
    friend bool operator==(const ShortString& a, std::string_view b) { return a.bytes() == b; }
    friend bool operator==(const ShortString& a, const QString& b) { return a.bytes() == ToCp1252(b); }
    // ASCII literals ("#", "Z", "SI").
    friend bool operator==(const ShortString& a, const char* b) { return a.bytes() == std::string_view(b); }
    template <std::size_t M> friend bool operator==(const ShortString& a, const ShortString<M>& b)
    {
        return a.bytes() == b.bytes();
    }
    template <std::size_t M>
    friend std::strong_ordering operator<=>(const ShortString& a, const ShortString<M>& b)
    {
        return CompareBytes(a.bytes(), b.bytes());
    }

    static std::strong_ordering CompareBytes(std::string_view a, std::string_view b)
    {
        const std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i) {
            const auto x = static_cast<unsigned char>(a[i]);
            const auto y = static_cast<unsigned char>(b[i]);
            if (x != y)
                return x <=> y;
        }
        return a.size() <=> b.size();
    }
};

// Byte-wise comparison of two texts held as Windows-1252 bytes (unsigned, then by length).
inline std::strong_ordering CompareCp1252(std::string_view a, std::string_view b)
{
    return ShortString<1>::CompareBytes(a, b);
}

// Little-endian integer of a record, alignment 1.
template <typename T> struct LeInt
{
    static_assert(std::is_integral_v<T>);
    unsigned char b[sizeof(T)];

    T get() const
    {
        using U = std::make_unsigned_t<T>;
        U v = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            v = static_cast<U>(v | (static_cast<U>(b[i]) << (8 * i)));
        return static_cast<T>(v);
    }
    void set(T value)
    {
        using U = std::make_unsigned_t<T>;
        const U v = static_cast<U>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i)
            b[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
    }
    operator T() const { return get(); }
    LeInt& operator=(T value)
    {
        set(value);
        return *this;
    }
};

using Byte = std::uint8_t;
using LeU16 = LeInt<std::uint16_t>; // word
using LeI16 = LeInt<std::int16_t>;  // smallint
using LeU32 = LeInt<std::uint32_t>; // cardinal
using LeI32 = LeInt<std::int32_t>;  // integer
using LeI64 = LeInt<std::int64_t>;  // int64

// Compile-time check of a record's layout: size and field offset.
#define GIM_RECORD_SIZE(Type, Size)                                                                          \
    static_assert(std::is_standard_layout_v<Type> && std::is_trivially_copyable_v<Type>);                    \
    static_assert(alignof(Type) == 1);                                                                       \
    static_assert(sizeof(Type) == (Size))
#define GIM_FIELD_AT(Type, Field, Offset) static_assert(offsetof(Type, Field) == (Offset))

} // namespace gim
