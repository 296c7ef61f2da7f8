#pragma once

namespace gim {

struct Context;

// Informe Horas: per employee of the personnel file, the minutes of the expedient entries of a week range
// by hour type (extra, holiday extra, night, night extra, holidays, leave, sick leave, compensated),
// with their totals.
void ReportPersonnelHours(Context& ctx);

// Ratios: for one employee or all and a year, the minutes of each week by hour type, the year's totals
// and the weekly graph of the hour types.
void PersonnelHoursRatios(Context& ctx);

} // namespace gim
