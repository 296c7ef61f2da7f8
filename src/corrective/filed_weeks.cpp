#include "corrective/filed_weeks.h"

#include "core/field_rules.h"
#include "core/week_codes.h"

namespace gim {

WeekParts WeekPartsOf(QDate date)
{
    const QString code = WeekCodeOf(date); // "yy/ww/d"
    return {code.left(2).toInt(), code.mid(3, 2).toInt(), code.mid(6, 1).toInt()};
}

WeekParts FiledWeek(int year, int week)
{
    if (week != 53 || year < 0 || year > 98)
        return {year, week, 0};
    // The Monday of that week, written back as its own week code.
    const std::optional<QDate> monday =
        WeekCodeToDate(QStringLiteral("%1/53/1").arg(year, 2, 10, QLatin1Char('0')));
    if (!monday)
        return {year, week, 0};
    const WeekParts filed = WeekPartsOf(*monday);
    return {filed.year, filed.week, 0};
}

FieldRule CardWeekRule()
{
    FieldRule rule = WholeRule(0, 53);
    rule.accepted = QStringLiteral("UNA SEMANA DE 0 A 53");
    return rule;
}

FieldRule CardYearRule()
{
    return WholeRule(2000, 2099);
}

} // namespace gim
