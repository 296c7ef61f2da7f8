#pragma once

#include <QString>
#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <string_view>
#include <vector>

// Readable failures for Qt texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace gim::test {

// The expected bytes of a record, written field by field at explicit offsets. Bytes not written stay
// zero; writing a byte twice or past the end fails the test, so a slip in the offsets shows.
class RecordBytes
{
public:
    explicit RecordBytes(std::size_t size) : m_bytes(size, 0), m_written(size, false) {}

    // A short string: the length byte, then the Windows-1252 characters. Tests write accented letters as
    // hex escapes ("\xF3" for 'ó'), or octal ("\355" for 'í') where a hex digit follows.
    RecordBytes& Text(std::size_t offset, std::string_view chars)
    {
        Put(offset, static_cast<unsigned char>(chars.size()));
        for (std::size_t i = 0; i < chars.size(); ++i)
            Put(offset + 1 + i, static_cast<unsigned char>(chars[i]));
        return *this;
    }
    // Raw bytes, lowest address first.
    RecordBytes& Raw(std::size_t offset, std::initializer_list<unsigned char> bytes)
    {
        for (unsigned char b : bytes)
            Put(offset++, b);
        return *this;
    }

    const std::vector<unsigned char>& Bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }

private:
    void Put(std::size_t at, unsigned char b)
    {
        if (at >= m_bytes.size()) {
            ADD_FAILURE() << "byte " << at << " lies past the record end " << m_bytes.size();
            return;
        }
        if (m_written[at])
            ADD_FAILURE() << "byte " << at << " written twice";
        m_written[at] = true;
        m_bytes[at] = b;
    }

    std::vector<unsigned char> m_bytes;
    std::vector<bool> m_written;
};

// Compares a record's memory with the expected bytes and names the first differing offset.
template <typename T> void ExpectRecordBytes(const T& rec, const RecordBytes& expected)
{
    ASSERT_EQ(sizeof(T), expected.size());
    const auto* raw = reinterpret_cast<const unsigned char*>(&rec);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        if (raw[i] != expected.Bytes()[i]) {
            ADD_FAILURE() << "first difference at offset " << i << ": record has " << int(raw[i])
                          << ", expected " << int(expected.Bytes()[i]);
            break;
        }
    }
    EXPECT_EQ(std::memcmp(&rec, expected.Bytes().data(), sizeof(T)), 0);
}

template <typename T> T RecordFrom(const RecordBytes& bytes)
{
    T rec{};
    if (sizeof(T) != bytes.size()) {
        ADD_FAILURE() << "record of " << sizeof(T) << " bytes read from " << bytes.size() << " bytes";
        return rec;
    }
    std::memcpy(&rec, bytes.Bytes().data(), sizeof(T));
    return rec;
}

} // namespace gim::test
