#include "core/state.h"
#include "core/week_codes.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace gim {
namespace {

std::string Str(const QString& s)
{
    return s.toStdString();
}

// A plan over 2007 to 2009: 104 weeks.
State PlanState()
{
    State st;
    st.FirstYear = 7;
    st.LastYear = 9;
    st.PlanWeeks = 104;
    return st;
}

TEST(WeekOfYearTest, CountsMondayWeeksWithWeekOneHoldingAMondayToThursdayFirstOfJanuary)
{
    struct Case
    {
        QDate date;
        int week;
    };
    const Case cases[] = {
        {QDate(2007, 1, 1), 1},                               // Monday 1 January
        {QDate(2007, 12, 30), 52}, {QDate(2007, 12, 31), 53}, // a year starting on Monday ends in week 53
        {QDate(2010, 1, 1), 0}, // Friday: the days before the first Monday are week 0
        {QDate(2010, 1, 3), 0},    {QDate(2010, 1, 4), 1},    {QDate(2010, 12, 31), 52},
        {QDate(2009, 12, 31), 53}, // Thursday 1 January
        {QDate(2004, 12, 27), 53}, // leap year from a Thursday
        {QDate(2004, 12, 31), 53}, {QDate(2005, 1, 1), 0},    {QDate(2005, 1, 3), 1},
        {QDate(2000, 1, 1), 0},    {QDate(2020, 2, 29), 9},   {QDate(2099, 12, 27), 52},
        {QDate(2099, 12, 28), 53},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Str(c.date.toString(Qt::ISODate)));
        EXPECT_EQ(WeekOfYear(c.date), c.week);
    }
}

TEST(WeekOfYearTest, ReadsDateTextsAndTakesThePlanYearWhenTheYearIsMissing)
{
    State st = PlanState();
    EXPECT_EQ(WeekOfYear(st, u"31/12/2007"), 53);
    EXPECT_EQ(WeekOfYear(st, u"04/01/2010"), 1);
    EXPECT_EQ(WeekOfYear(st, u"03/01/10"), 0); // two-digit year counts from 2000
    EXPECT_EQ(WeekOfYear(st, u"31/12/07"), 53);
    EXPECT_EQ(WeekOfYear(st, u"31/12"), 53); // no year part: 2007, the plan's first year
    EXPECT_EQ(WeekOfYear(st, u"31/12/"), 53);
    st.FirstYear = 10;
    EXPECT_EQ(WeekOfYear(st, u"31/12"), 52);
    EXPECT_EQ(WeekOfYear(st, u"31/02/2007"), 0); // not a date
    EXPECT_EQ(WeekOfYear(st, u"ab/cd/efgh"), 0);
    EXPECT_EQ(WeekOfYear(st, u""), 0);
}

TEST(DateToWeekCodeTest, WritesYearWeekAndWeekdayAndSetsDateText)
{
    struct Case
    {
        QDate date;
        const char* code;
        const char* dateText;
    };
    const Case cases[] = {
        {QDate(2007, 1, 1), "07/01/1", "01/01/2007"},
        {QDate(2007, 12, 31), "08/00/1", "31/12/2007"}, // week 53 is week 00 of the next year
        {QDate(2010, 1, 1), "10/00/5", "01/01/2010"},   // before week 1: week 00 of its own year
        {QDate(2010, 1, 3), "10/00/7", "03/01/2010"},
        {QDate(2010, 1, 4), "10/01/1", "04/01/2010"},
        {QDate(2009, 12, 28), "10/00/1", "28/12/2009"},
        {QDate(2005, 6, 15), "05/24/3", "15/06/2005"},
        {QDate(2003, 12, 29), "04/00/1", "29/12/2003"},
        {QDate(2000, 1, 1), "00/00/6", "01/01/2000"},
        {QDate(2099, 12, 27), "99/52/7", "27/12/2099"},
        // The year after 99 would take three digits: those days stay week 53 of 99.
        {QDate(2099, 12, 28), "99/53/1", "28/12/2099"},
        {QDate(2099, 12, 31), "99/53/4", "31/12/2099"},
    };
    State st;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Str(DateToWeekCode(st, c.date)), c.code);
        EXPECT_EQ(Str(st.DateText), c.dateText);
    }
    EXPECT_EQ(Str(DateToWeekCode(st, QDate())), "  /  / ");
}

TEST(WeekCodeToDateTextTest, ConvertsCodesAndRefusesEmptyOrShortOnes)
{
    struct Case
    {
        const char16_t* code;
        const char* text;
    };
    const Case cases[] = {
        {u"07/01/1", "01/01/07"},  {u"10/01/1", "04/01/10"}, // 1 January a Friday: week 1 starts on the 4th
        {u"10/00/5", "01/01/10"},  {u"10/00/7", "03/01/10"}, {u"10/00/1", "28/12/09"}, // week 53 of 2009
        {u"08/00/1", "31/12/07"}, // week 53 of 2007, whose next year starts on Tuesday
        {u"04/00/1", "29/12/03"}, // and on Thursday
        {u"04/00/3", "31/12/03"},  {u"15/00/2", "30/12/14"}, {u"05/00/5", "31/12/04"},
        {u"05/00/6", "01/01/05"},  {u"05/24/3", "15/06/05"}, {u"99/53/4", "31/12/99"},
        {u"07/01/1x", "01/01/07"}, // string[8] fields may carry one more character
        {u"  /  / ", "../../.."},  // the empty entry mask
        {u"07/01", "../../.."},    {u"", "../../.."},        {u"07/01/", "../../.."},
        {u"ab/cd/e", "../../.."},
    };
    for (const Case& c : cases) {
        const QString code = QString::fromUtf16(c.code);
        SCOPED_TRACE(Str(code));
        EXPECT_EQ(Str(WeekCodeToDateText(code)), c.text);
    }
}

TEST(ParseWeekCodeTest, ReadsYearWeekAndWeekdayOfTextsAndStoredBytes)
{
    struct Case
    {
        const char* code;
        int year, week, weekday; // -1: no week code
    };
    const Case cases[] = {
        {"26/05/3", 26, 5, 3}, {"00/00/7", 0, 0, 7},  {"99/53/4x", 99, 53, 4}, {"  /  / ", -1, 0, 0},
        {"26/05/", -1, 0, 0},  {"26/ 5/3", -1, 0, 0}, {"2a/05/3", -1, 0, 0},   {"", -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        for (const std::optional<WeekParts>& parts :
             {ParseWeekCode(QString::fromLatin1(c.code)), ParseWeekCode(std::string_view(c.code))}) {
            const WeekParts p = parts.value_or(WeekParts{-1, 0, 0});
            EXPECT_EQ(std::tuple(p.year, p.week, p.weekday), std::tuple(c.year, c.week, c.weekday));
        }
    }
}

// Every day of the century converts to a seven-character code and back to the same day, and the codes
// sort as the days do. Week 00 is the hard part: it holds both the first days of a year and week 53 of
// the year before.
TEST(WeekCodeRoundTripTest, EveryDayOfTheCenturyComesBack)
{
    State st;
    QString previous;
    int days = 0;
    for (QDate d(2000, 1, 1); d <= QDate(2099, 12, 31); d = d.addDays(1), ++days) {
        const QString code = DateToWeekCode(st, d);
        ASSERT_EQ(code.size(), 7) << Str(d.toString(Qt::ISODate));
        ASSERT_EQ(WeekCodeToDate(code), std::optional<QDate>(d)) << Str(code);
        ASSERT_EQ(Str(WeekCodeToDateText(code)), Str(d.toString(u"dd/MM/yy"))) << Str(code);
        ASSERT_LT(previous, code) << Str(code);
        previous = code;
    }
    EXPECT_EQ(days, 36525);
}

TEST(WeekCodeDaysBetweenTest, CountsCalendarDaysAndNeverWraps)
{
    struct Case
    {
        const char16_t* a;
        const char16_t* b;
        int days;
    };
    const Case cases[] = {
        {u"05/10/5", u"05/11/1", 3}, // Friday to Monday of the next week
        {u"05/10/1", u"05/10/5", 4},
        {u"05/10/5", u"05/10/5", 0}, // equal
        {u"05/11/1", u"05/10/5", 0}, // reversed
        {u"06/01/1", u"05/52/7", 0},
        {u"05/10/3", u"05/12/3", 14},
        {u"05/10/3", u"05/20/2", 69},
        {u"05/10/1", u"06/10/1", 364},
        {u"05/10/1", u"07/10/1", 728}, // 2006 has 52 weeks too: no 365-day year is added
        {u"05/52/3", u"06/00/7", 4},
        {u"04/00/2", u"05/01/1", 370},
        {u"00/01/1", u"99/52/7", 36518},
        // Week 52 to a week 00 that holds week 53 of the same calendar year.
        {u"03/52/5", u"04/00/1", 3},
        {u"03/52/3", u"04/00/3", 7}, // same weekday a week later, 24/12/2003 to 31/12/2003
        {u"07/52/7", u"08/00/1", 1},
        {u"14/52/3", u"15/00/2", 6},
        {u"08/52/5", u"09/00/3", 5},
        // Week 00 and week 1 can share a calendar week: 31/12/2003 to 01/01/2004.
        {u"04/00/3", u"04/01/4", 1},
        {u"  /  / ", u"05/01/1", 0}, // no date
        {u"05/01/1", u"05/01", 0},
    };
    for (const Case& c : cases) {
        const QString a = QString::fromUtf16(c.a), b = QString::fromUtf16(c.b);
        SCOPED_TRACE(Str(a) + " -> " + Str(b));
        EXPECT_EQ(WeekCodeDaysBetween(a, b), c.days);
    }
}

// Stored codes looked up once each give the texts and distances of the functions on texts.
TEST(WeekCodeDatesTest, TextsAndDaysOfStoredCodes)
{
    WeekCodeDates dates;
    EXPECT_EQ(dates.Text("26/02/1"), QStringLiteral("05/01/26"));
    EXPECT_EQ(dates.Text("  /  / "), QStringLiteral("../../.."));
    EXPECT_EQ(dates.Text("26/02/1"), QStringLiteral("05/01/26"));
    EXPECT_EQ(dates.DaysBetween("05/10/5", "05/11/1"), 3);
    EXPECT_EQ(dates.DaysBetween("03/52/3", "04/00/3"), 7);
    EXPECT_EQ(dates.DaysBetween("05/11/1", "05/10/5"), 0);
    EXPECT_EQ(dates.DaysBetween("  /  / ", "05/01/1"), 0);
}

TEST(WeekCodeDaysBetweenTest, EveryPairOfDatesUpToFourteenDaysApartGivesTheirDistance)
{
    constexpr int kSpan = 15; // distances 0 to 14
    std::vector<QString> codes;
    for (QDate d(2000, 1, 1); d <= QDate(2099, 12, 31); d = d.addDays(1))
        codes.push_back(WeekCodeOf(d));
    ASSERT_EQ(codes.size(), 36525u);
    int pairs = 0, wrong = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        for (int k = 1; k < kSpan && i + k < codes.size(); ++k) {
            ++pairs;
            if (WeekCodeDaysBetween(codes[i], codes[i + k]) != k && ++wrong <= 5)
                ADD_FAILURE() << Str(codes[i]) << " -> " << Str(codes[i + k]) << " expected " << k;
            if (WeekCodeDaysBetween(codes[i + k], codes[i]) != 0 && ++wrong <= 5)
                ADD_FAILURE() << Str(codes[i + k]) << " -> " << Str(codes[i]) << " expected 0";
        }
        EXPECT_EQ(WeekCodeDaysBetween(codes[i], codes[i]), 0);
    }
    EXPECT_EQ(pairs, 511245);
    EXPECT_EQ(wrong, 0);
}

TEST(AbsoluteWeekTest, NamedVariantsOverThePlanHorizon)
{
    const State st = PlanState(); // 2007..2009, PlanWeeks 104
    EXPECT_EQ(AbsoluteWeek(st, 7, 0), 0);
    EXPECT_EQ(AbsoluteWeek(st, 8, 10), 62);
    EXPECT_EQ(AbsoluteWeek(st, 9, 52), 156);
    EXPECT_EQ(AbsoluteWeek(st, 6, 50), -2);

    EXPECT_EQ(AbsoluteWeekWord(st, 8, 10), 62);
    EXPECT_EQ(AbsoluteWeekWord(st, 6, 50), 65534);

    EXPECT_EQ(AbsoluteWeekByte(st, 8, 10), 62);
    EXPECT_EQ(AbsoluteWeekByte(st, 11, 47), 255);
    EXPECT_EQ(AbsoluteWeekByte(st, 11, 48), 0); // the fifth year's week 48 is the first to wrap
    EXPECT_EQ(AbsoluteWeekByte(st, 11, 50), 2);
    EXPECT_EQ(AbsoluteWeekByte(st, 6, 51), 255); // a year before the plan wraps to the top

    EXPECT_EQ(AbsoluteWeekCapped(st, 8, 10), 62);
    EXPECT_EQ(AbsoluteWeekCapped(st, 8, 52), 104); // week 52 of 2008 is the end itself
    EXPECT_EQ(AbsoluteWeekCapped(st, 9, 0), 104);
    EXPECT_EQ(AbsoluteWeekCapped(st, 9, 60), 104);
    EXPECT_EQ(AbsoluteWeekCapped(st, 6, 50), 104);

    EXPECT_EQ(AbsoluteWeekCappedBelowEnd(st, 8, 50), 102);
    EXPECT_EQ(AbsoluteWeekCappedBelowEnd(st, 8, 51), 103);
    EXPECT_EQ(AbsoluteWeekCappedBelowEnd(st, 9, 0), 103);
    EXPECT_EQ(AbsoluteWeekCappedBelowEnd(st, 6, 50), 103);
    State noPlan;
    EXPECT_EQ(AbsoluteWeekCappedBelowEnd(noPlan, 0, 5), 0);
}

TEST(PlanWeekIndexTest, KeepsTheIndexInsideTheHorizon)
{
    const State st = PlanState();
    struct Case
    {
        int year, week, index;
    };
    const Case cases[] = {
        {2007, 0, 0},     {2008, 10, 62},
        {2009, 51, 155},  {2010, 5, 104},  // after the last year: the horizon's end
        {2005, 30, 30},                    // before the first year: raised to it, week kept
        {1999, 10, 10},   {2008, 52, 104}, // 52 is still a week of its year
        {2008, 53, 105},                   // past 52 the week moves into the next year
        {2008, 60, 112},  {2009, 53, 104}, // ... and out of the horizon
        {2007, 104, 104},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "/" + std::to_string(c.week));
        EXPECT_EQ(PlanWeekIndex(st, c.year, c.week), c.index);
    }
}

TEST(FrequencyTest, PeriodsInWeeks)
{
    struct Case
    {
        const char16_t* code;
        int weeks;
    };
    const Case cases[] = {
        {u"1D", 0},  {u"1S", 1},  {u"2S", 2},   {u"M", 4},  {u"M2", 8}, {u"M3", 12}, {u"M4", 16}, {u"S", 24},
        {u"S2", 48}, {u"S4", 96}, {u"TF", 100}, {u"TT", 3}, {u"m", 3},  {u"", 3},    {u"M ", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Str(QString::fromUtf16(c.code)));
        EXPECT_EQ(FrequencyPeriodWeeks(QString::fromUtf16(c.code)), c.weeks);
    }
}

TEST(FrequencyTest, WhichDoneRevisionCoversWhichRoutine)
{
    const std::array<const char16_t*, 12> codes{u"1D", u"1S", u"2S", u"M",  u"M2", u"M3",
                                                u"M4", u"S",  u"S2", u"S4", u"TF", u"TT"};
    // Rows: the frequency done; columns: the routine's frequency, both in the order of `codes`.
    const std::array<const char*, 12> expected{
        // 1D 1S 2S M M2 M3 M4 S S2 S4 TF TT
        "x...........", // 1D
        "xx..........", // 1S
        "xxx.........", // 2S
        "xxxx........", // M
        "xxxxx.......", // M2
        "xxxx.x......", // M3: not M2
        "xxxxx.x.....", // M4: not M3
        "xxxxxx.x....", // S: not M4
        "xxxxxxxxx...", // S2
        "xxxxxxxxxx..", // S4
        "..........x.", // TF: only itself
        "xxxxxxxxxxx.", // TT: everything but itself
    };
    for (std::size_t done = 0; done < codes.size(); ++done) {
        for (std::size_t routine = 0; routine < codes.size(); ++routine) {
            const QString d = QString::fromUtf16(codes[done]), r = QString::fromUtf16(codes[routine]);
            SCOPED_TRACE("done " + Str(d) + ", routine " + Str(r));
            EXPECT_EQ(FrequencyIncludes(d, r), expected[done][routine] == 'x');
        }
    }
}

TEST(FrequencyTest, UnknownCodesCoverOnlyDailyRoutinesAndAreNeverCovered)
{
    EXPECT_TRUE(FrequencyIncludes(u"XX", u"1D"));
    EXPECT_FALSE(FrequencyIncludes(u"XX", u"1S"));
    EXPECT_TRUE(FrequencyIncludes(u"m", u"1D")); // codes compare exactly
    EXPECT_FALSE(FrequencyIncludes(u"m", u"M"));
    EXPECT_FALSE(FrequencyIncludes(u"S4", u"m"));
    EXPECT_FALSE(FrequencyIncludes(u"TT", u"XX"));
    EXPECT_FALSE(FrequencyIncludes(u"XX", u"XX"));
}

} // namespace
} // namespace gim
