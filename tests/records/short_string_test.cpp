#include "records/short_string.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace gim {
namespace {

template <std::size_t N> std::string RawChars(const ShortString<N>& s)
{
    return std::string(s.chars, N);
}

TEST(ShortString, AssignmentCutsToCapacity)
{
    ShortString<3> s{};
    s = "ABCDE";
    EXPECT_EQ(s.len, 3);
    EXPECT_EQ(s.bytes(), "ABC");

    s = QStringLiteral("ÑañoX");
    EXPECT_EQ(s.len, 3);
    EXPECT_EQ(s.bytes(), "\xD1\x61\xF1");
    EXPECT_EQ(s.str(), QStringLiteral("Ñañ"));

    s = "";
    EXPECT_EQ(s.len, 0);
    EXPECT_TRUE(s.empty());
}

TEST(ShortString, CharacterBeyondTheBmpTakesOneByte)
{
    ShortString<3> s{};
    s = QString::fromUcs4(U"\U0001F600AB\U0001F600C");
    EXPECT_EQ(s.bytes(), "?AB");
    ShortString<8> t{};
    t = QString::fromUcs4(U"\U0001F600\U0001F600\U0001F600\U0001F600Z");
    EXPECT_EQ(t.bytes(), "????Z");
}

TEST(ShortString, LengthByteAboveCapacityIsClampedOnRead)
{
    ShortString<3> s{};
    const unsigned char raw[4] = {9, 'A', 'B', 'C'};
    std::memcpy(&s, raw, sizeof raw);
    EXPECT_EQ(s.len, 9); // left as found
    EXPECT_EQ(s.size(), 3u);
    EXPECT_EQ(s.bytes(), "ABC");
    EXPECT_EQ(s.str(), QStringLiteral("ABC"));
    EXPECT_TRUE(s == "ABC");
}

TEST(ShortString, ReassignmentKeepsTheBytesPastTheNewLength)
{
    ShortString<5> s{};
    s = "ABCDE";
    s = "XY";
    EXPECT_EQ(s.len, 2);
    EXPECT_EQ(RawChars(s), "XYCDE");
    s = QStringLiteral("€");
    EXPECT_EQ(RawChars(s), "\x80YCDE");

    ShortString<8> longer{};
    longer = "12345678";
    ShortString<2> shorter{};
    shorter = "ab";
    longer.assign(shorter);
    EXPECT_EQ(longer.bytes(), "ab");
    EXPECT_EQ(RawChars(longer), "ab345678");
}

template <std::size_t N> ShortString<N> Make(std::string_view bytes)
{
    ShortString<N> s{};
    s.setBytes(bytes);
    return s;
}

TEST(ShortString, ComparesUnsignedBytesThenLength)
{
    EXPECT_LT(Make<8>("PR"), Make<8>("PR1"));
    EXPECT_GT(Make<8>("Z"), Make<8>("A"));
    EXPECT_GT(Make<8>("\xD1"), Make<8>("Z")); // 'Ñ' sorts after 'Z', as an unsigned byte
    EXPECT_LT(Make<8>("Z"), Make<8>("\x80"));
    EXPECT_LT(Make<8>(""), Make<8>("#"));
    EXPECT_GT(Make<8>("B"), Make<8>("AZZZ"));
    EXPECT_EQ(Make<8>("M2") <=> Make<8>("M2"), std::strong_ordering::equal);

    // Capacities may differ; only the texts count.
    EXPECT_TRUE(Make<8>("ALMACEN_") == Make<10>("ALMACEN_"));
    EXPECT_LT(Make<2>("PR"), Make<10>("PR1"));
    EXPECT_GT(Make<10>("PR1"), Make<2>("PR"));

    EXPECT_EQ(CompareCp1252("\xD1", "Z"), std::strong_ordering::greater);
    EXPECT_EQ(CompareCp1252("PR", "PR1"), std::strong_ordering::less);
}

TEST(ShortString, EqualityAgainstTexts)
{
    auto s = Make<8>("M\xD1");
    EXPECT_TRUE(s == "M\xD1");
    EXPECT_TRUE(s == QStringLiteral("MÑ"));
    EXPECT_FALSE(s == QStringLiteral("MN"));
    EXPECT_FALSE(s == "M");
    EXPECT_TRUE(s == std::string_view("M\xD1"));
}

template <typename Int, std::size_t N> void ExpectLe(Int value, const std::array<unsigned char, N>& bytes)
{
    LeInt<Int> le{};
    le = value;
    EXPECT_EQ(std::memcmp(le.b, bytes.data(), N), 0) << "value " << +value;
    LeInt<Int> back{};
    std::memcpy(back.b, bytes.data(), N);
    EXPECT_EQ(back.get(), value);
}

TEST(LeInt, LittleEndianBothWays)
{
    static_assert(sizeof(LeU16) == 2 && sizeof(LeI32) == 4 && sizeof(LeI64) == 8);
    static_assert(alignof(LeU32) == 1 && alignof(LeI64) == 1);
    ExpectLe<std::uint16_t>(0xBEEF, std::array<unsigned char, 2>{0xEF, 0xBE});
    ExpectLe<std::int16_t>(-2, std::array<unsigned char, 2>{0xFE, 0xFF});
    ExpectLe<std::int16_t>(-32768, std::array<unsigned char, 2>{0x00, 0x80});
    ExpectLe<std::uint32_t>(0xDEADBEEF, std::array<unsigned char, 4>{0xEF, 0xBE, 0xAD, 0xDE});
    ExpectLe<std::int32_t>(-1000, std::array<unsigned char, 4>{0x18, 0xFC, 0xFF, 0xFF});
    ExpectLe<std::int64_t>(INT64_MIN, std::array<unsigned char, 8>{0, 0, 0, 0, 0, 0, 0, 0x80});
    ExpectLe<std::int64_t>(0x0102030405060708, std::array<unsigned char, 8>{8, 7, 6, 5, 4, 3, 2, 1});
}

} // namespace
} // namespace gim
