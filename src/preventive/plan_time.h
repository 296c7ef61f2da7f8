#pragma once

#include "core/week_codes.h"

#include <QString>
#include <QStringView>
#include <cstddef>
#include <optional>

namespace gim {

struct State;

// A machine's routines are counted from its start week in a maintenance year of 48 weeks (twelve months
// of four weeks), while the plan's years have 52: a fixed start week drifts four weeks a plan year.
inline constexpr int kMaintenanceYearWeeks = 48;
// The longest horizon a plan may have, in plan years.
inline constexpr int kLongestHorizonYears = 5;
// The code of a week in which nothing falls due.
inline constexpr const char* kNothingDue = "--";

// The frequency code due in `week` for a machine whose plan starts in `startWeek`: the code of the
// longest period that divides the signed distance between them ("S4" in the start week itself), then
// "2S" and "1S" as the environment's shortest frequency allows; "--" when nothing is due. Weeks before
// the start week follow the same rule.
QString PlanFrequencyDue(const State& st, int startWeek, int week);

// The years of a horizon as the plan dialog accepts them: a last year before the first gives four plan
// years, and no horizon is longer than five.
struct PlanHorizon
{
    int firstYear = 0; // years since 2000
    int lastYear = 0;
    int Weeks() const { return (lastYear - firstYear) * kWeeksPerYear; }
};
PlanHorizon ClampHorizon(int firstYear, int lastYear);

// The agenda record of this week among the agenda's `records`; nothing when today lies outside the horizon
// or past the records the agenda holds.
std::optional<std::size_t> TodaysAgendaRecord(const State& st, std::size_t records);

} // namespace gim
