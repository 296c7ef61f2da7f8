#pragma once

#include "platform/card.h"

#include <QDate>

namespace gim {

// The weeks the corrective records are filed under, and the rules of the week and year fields of their
// cards.
//
// A week of the year past 52 belongs to the year its week code names: the days of week 53 (28 December
// 2026 to 3 January 2027, say) are week 00 of the next year, as WeekCodeOf writes them, so a breakdown of
// 29/12/2026 is filed in week 0 of 2027 and never as week 53 of 2026, which the 52-week absolute count
// would turn into week 1 of 2027, nor as week 1 of 2026. Weeks already stored keep their absolute value.

// Year since 2000, week of that year and weekday of a date, as its week code has them.
struct WeekParts
{
    int year = 0;
    int week = 0;
    int weekday = 0;
};
WeekParts WeekPartsOf(QDate date);

// The year since 2000 and the week a week of the year typed on a card stands for: week 53 of a year goes
// where its week code puts it (week 0 of the next year, or week 1 of it when the year has no 53rd
// week); any other week stays as typed.
WeekParts FiledWeek(int year, int week);

// The week field of the corrective cards, 0 to 53: week 0 is a week of the count too (the days before
// a year's week 1, and the week a stored week that is a multiple of 52 shows as).
FieldRule CardWeekRule();
// The year field: a year of this century, the only ones a week code names.
FieldRule CardYearRule();

} // namespace gim
