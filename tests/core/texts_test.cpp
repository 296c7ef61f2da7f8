#include "core/state.h"
#include "core/texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace gim {
namespace {

std::string Str(const QString& s)
{
    return s.toStdString();
}

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(MinutesToHoursTextTest, HoursAndMinutesWithTwoDigitsAtLeast)
{
    struct Case
    {
        int minutes;
        const char* text;
    };
    const Case cases[] = {
        {0, "00 : 00"},     {59, "00 : 59"},    {60, "01 : 00"},    {125, "02 : 05"},
        {6000, "100 : 00"}, {6059, "100 : 59"}, {-125, "-02 : 05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes);
        EXPECT_EQ(Str(MinutesToHoursText(c.minutes)), c.text);
    }
}

TEST(TimeToTextTest, FiveCharactersAndTheClockPartsLeftInState)
{
    State st;
    EXPECT_EQ(Str(TimeToText(st, QTime(9, 5, 7, 123))), " 9:05");
    EXPECT_EQ(st.CurrentHour, 9);
    EXPECT_EQ(st.CurrentMinute, 5);
    EXPECT_EQ(st.CurrentSecond, 7);
    EXPECT_EQ(st.CurrentMSec, 123);
    EXPECT_EQ(Str(TimeToText(st, QTime(10, 0))), "10:00");
    EXPECT_EQ(st.CurrentHour, 10);
    EXPECT_EQ(st.CurrentSecond, 0);
    EXPECT_EQ(Str(TimeToText(st, QTime(0, 0))), " 0:00");
    EXPECT_EQ(Str(TimeToText(st, QTime(23, 59, 59, 999))), "23:59");
}

TEST(CentsToTextTest, UnitsCommaAndTwoDecimals)
{
    struct Case
    {
        std::int64_t cents;
        const char* text;
    };
    const Case cases[] = {
        {0, "0,00"},
        {5, "0,05"},
        {-5, "-0,05"},
        {100, "1,00"},
        {123456, "1234,56"},
        {-123456, "-1234,56"}, // no thousands separator
        {kMax, "92233720368547758,07"},
        {kMin, "-92233720368547758,08"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cents);
        EXPECT_EQ(Str(CentsToText(c.cents)), c.text);
    }
}

TEST(TextToCentsTest, DecimalMarkEitherWayTruncatedToTheCent)
{
    struct Case
    {
        const char16_t* text;
        std::int64_t cents;
        int errorPos;
    };
    const Case cases[] = {
        {u"12", 1200, 0},   {u"12,5", 1250, 0}, {u"12.345", 1234, 0}, // truncated, not rounded
        {u"12,", 1200, 0},  {u"-0,5", -50, 0},  {u"-12,34", -1234, 0}, {u"0,05", 5, 0},
        {u"1.999", 199, 0}, {u",5", 50, 0},     {u"1,2,3", 120, 0}, // a second mark ends the decimals
        {u"", 0, 0},        {u" 7", 700, 0},    {u"12a", 0, 3},        {u"1 234,5", 0, 2},
    };
    State st;
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(Str(text));
        st.ValErrorPos = 99;
        EXPECT_EQ(TextToCents(st, text), c.cents);
        EXPECT_EQ(st.ValErrorPos, c.errorPos);
    }
}

TEST(TextToInt64Test, DecimalNumbersAndThePositionOfTheFirstBadCharacter)
{
    struct Case
    {
        const char16_t* text;
        std::int64_t value;
        int errorPos;
    };
    const Case cases[] = {
        {u"0", 0, 0},
        {u"123", 123, 0},
        {u"-45", -45, 0},
        {u"+7", 7, 0},
        {u"  12", 12, 0}, // leading blanks are skipped
        {u"007", 7, 0},
        {u"9223372036854775807", kMax, 0},
        {u"-9223372036854775808", kMin, 0},
        {u"12a", 0, 3},
        {u"a", 0, 1},
        {u"12 ", 0, 3}, // trailing blanks are not
        {u"1,5", 0, 2},
        {u"- 5", 0, 2},
        {u"", 0, 1},
        {u"  ", 0, 3},
        {u"-", 0, 2},
        {u"9223372036854775808", 0, 19}, // past the range: the digit that overflows
        {u"-9223372036854775809", 0, 20},
    };
    State st;
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(Str(text));
        st.ValErrorPos = 99;
        EXPECT_EQ(TextToInt64(st, text), c.value);
        EXPECT_EQ(st.ValErrorPos, c.errorPos);
    }
}

TEST(Int64ToTextTest, DecimalTextWithSign)
{
    EXPECT_EQ(Str(Int64ToText(0)), "0");
    EXPECT_EQ(Str(Int64ToText(42)), "42");
    EXPECT_EQ(Str(Int64ToText(-42)), "-42");
    EXPECT_EQ(Str(Int64ToText(kMin)), "-9223372036854775808");
    EXPECT_EQ(Str(Int64ToText(kMax)), "9223372036854775807");
}

} // namespace
} // namespace gim
