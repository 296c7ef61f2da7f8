#pragma once

#include "records/plan_records.h"

#include <optional>
#include <vector>

namespace gim {

struct Context;

// Record index of the plan agenda (.CAR) read once for a whole run; nothing for a week the agenda does
// not hold (no agenda at all, or an index past its end).
std::optional<TAgendaRecord> ReadAgendaWeek(const std::vector<TAgendaRecord>& agenda, int index);

// The working capacity of an agenda week, in minutes: what is still free plus what the plan booked. The
// free minutes are signed: an overbooked week stores them below zero, and its capacity stays the weekly
// hours rather than growing past 65,000 minutes.
std::int64_t AgendaCapacity(const TAgendaRecord& week);

// The planned repairs of every plan week from the first up to the end of the year asked, set against
// that week's capacity in the agenda: repair and preventive time, their ratio, the means over the weeks
// with repairs, the ages of the pending repairs and the weekly chart. Expects the file sorted by week.
void RepairRatios(Context& ctx);

// The work orders noticed in each week of the year asked, by state, with the totals, the shares of each
// state and the weekly and pie charts.
void WorkOrderRatios(Context& ctx);

} // namespace gim
