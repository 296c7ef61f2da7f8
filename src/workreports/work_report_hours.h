#pragma once

#include "records/work_report_record.h"

namespace gim {

struct Context;

// The hours of each person on each day of a date range, from the loaded daily-report lines: normal,
// night, overtime, vacation, leave and sick leave; with every person asked, a day total after each day.
void PersonnelDailyHoursReport(Context& ctx);

// The same hours summed over the whole range per person, for the activity types asked, with the
// delivery-note costs and a pie of the hour kinds.
void MaintenanceHoursReport(Context& ctx);

// Effective, leave and delivery-note figures per week of a date range, for one person or all, with the
// weekly graph.
void PersonnelWeeklyHoursReport(Context& ctx);

} // namespace gim
