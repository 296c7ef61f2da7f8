#include "preventive/plan_time.h"

#include "core/io_errors.h"
#include "core/state.h"
#include "core/texts.h"
#include "core/week_codes.h"

#include <algorithm>
#include <array>

namespace gim {

namespace {

// The codes the due rule names, longest period first: a week carries the first whose period divides
// its distance from the start week.
constexpr std::array<const char16_t*, 7> kDueOrder{u"S4", u"S2", u"S", u"M4", u"M3", u"M2", u"M"};

} // namespace

QString PlanFrequencyDue(const State& st, int startWeek, int week)
{
    // Signed: the weeks before the start week are due by the same rule as those after it.
    const int distance = week - startWeek;
    for (const char16_t* code : kDueOrder) {
        if (distance % FrequencyPeriodWeeks(code) == 0)
            return QString::fromUtf16(code);
    }
    if (distance % FrequencyPeriodWeeks(u"2S") == 0 && st.Plan2SFlag == 1)
        return QStringLiteral("2S");
    if (st.Plan1SFlag == 1)
        return QStringLiteral("1S");
    return QString::fromLatin1(kNothingDue);
}

PlanHorizon ClampHorizon(int firstYear, int lastYear)
{
    PlanHorizon h{firstYear, lastYear};
    if (h.lastYear < h.firstYear)
        h.lastYear = h.firstYear + 4;
    if (h.lastYear > h.firstYear + kLongestHorizonYears)
        h.lastYear = h.firstYear + kLongestHorizonYears;
    return h;
}

std::optional<std::size_t> TodaysAgendaRecord(const State& st, std::size_t records)
{
    // Before or after the horizon no week of the agenda is today's, nor past the records it holds.
    const WeekParts today = FiledWeek(st.CurrentYear - kYearOffset, st.WeekText.toInt());
    const int index = AbsoluteWeek(st, today.year, today.week);
    if (index < 0 || index >= st.PlanWeeks || static_cast<std::size_t>(index) >= records)
        return std::nullopt;
    return static_cast<std::size_t>(index);
}

} // namespace gim
