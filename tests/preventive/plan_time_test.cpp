#include "core/state.h"
#include "preventive/plan_time.h"
#include "records/record_bytes.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace gim {
namespace {

// The weeks 0 to 103 of a two-year horizon in which each code falls due for a machine started in
// `startWeek`.
std::map<QString, std::vector<int>> DueWeeks(const State& st, int startWeek)
{
    std::map<QString, std::vector<int>> out;
    for (int week = 0; week < 104; ++week)
        out[PlanFrequencyDue(st, startWeek, week)].push_back(week);
    return out;
}

std::vector<int> EveryOther(int first, int last)
{
    std::vector<int> out;
    for (int w = first; w <= last; w += 2)
        out.push_back(w);
    return out;
}

// Start week 50 puts half the horizon before the start. Taken as an unsigned word, a distance there would
// be 65536 weeks longer, which is not a multiple of 96, 48, 24 or 12: the codes would be others.
TEST(PlanTimeTest, EveryCodeFallsDueOnBothSidesOfTheStartWeek)
{
    State st;
    st.Plan1SFlag = 1;
    st.Plan2SFlag = 1;
    std::map<QString, std::vector<int>> due = DueWeeks(st, 50);
    EXPECT_EQ(due[QStringLiteral("S4")], (std::vector<int>{50}));
    EXPECT_EQ(due[QStringLiteral("S2")], (std::vector<int>{2, 98}));
    EXPECT_EQ(due[QStringLiteral("S")], (std::vector<int>{26, 74}));
    EXPECT_EQ(due[QStringLiteral("M4")], (std::vector<int>{18, 34, 66, 82}));
    EXPECT_EQ(due[QStringLiteral("M3")], (std::vector<int>{14, 38, 62, 86}));
    EXPECT_EQ(due[QStringLiteral("M2")], (std::vector<int>{10, 42, 58, 90}));
    EXPECT_EQ(due[QStringLiteral("M")], (std::vector<int>{6, 22, 30, 46, 54, 70, 78, 94, 102}));
    EXPECT_EQ(due[QStringLiteral("2S")],
              (std::vector<int>{0,  4,  8,  12, 16, 20, 24, 28, 32, 36, 40, 44, 48,
                                52, 56, 60, 64, 68, 72, 76, 80, 84, 88, 92, 96, 100}));
    EXPECT_EQ(due[QStringLiteral("1S")], EveryOther(1, 103));
    EXPECT_EQ(due.count(QStringLiteral("--")), 0u);

    // A machine started in week 3 is due its two-yearly routine twice.
    due = DueWeeks(st, 3);
    EXPECT_EQ(due[QStringLiteral("S4")], (std::vector<int>{3, 99}));
    EXPECT_EQ(due[QStringLiteral("S2")], (std::vector<int>{51}));
}

TEST(PlanTimeTest, TheShortestFrequencyOfTheEnvironmentDecidesTheWeeklyAndFortnightlyWeeks)
{
    State st;
    st.Plan2SFlag = 1;
    std::map<QString, std::vector<int>> due = DueWeeks(st, 50);
    EXPECT_EQ(due[QStringLiteral("2S")].size(), 26u);
    EXPECT_EQ(due[QStringLiteral("--")], EveryOther(1, 103));
    EXPECT_EQ(due.count(QStringLiteral("1S")), 0u);

    st.Plan2SFlag = 0;
    due = DueWeeks(st, 50);
    EXPECT_EQ(due.count(QStringLiteral("2S")), 0u);
    EXPECT_EQ(due[QStringLiteral("--")].size(), 78u);
    EXPECT_EQ(due[QStringLiteral("S2")], (std::vector<int>{2, 98})); // the monthly codes stay

    // Only "1S" is set: the odd and the even weeks both give "1S".
    st.Plan1SFlag = 1;
    EXPECT_EQ(PlanFrequencyDue(st, 10, 12), QStringLiteral("1S"));
    EXPECT_EQ(PlanFrequencyDue(st, 20, 8), QStringLiteral("M3"));
}

TEST(PlanTimeTest, HorizonsAreFourYearsWhenReversedAndFiveAtMost)
{
    EXPECT_EQ(ClampHorizon(24, 20).lastYear, 28);
    EXPECT_EQ(ClampHorizon(24, 20).Weeks(), 208);
    EXPECT_EQ(ClampHorizon(24, 31).lastYear, 29);
    EXPECT_EQ(ClampHorizon(24, 31).Weeks(), 260);
    EXPECT_EQ(ClampHorizon(24, 27).Weeks(), 156);
    EXPECT_EQ(ClampHorizon(24, 24).Weeks(), 0);
}

} // namespace
} // namespace gim
