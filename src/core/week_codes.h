#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace gim {

struct State;

// Dates are kept by week. A week code is "yy/ww/d": two-digit year since 2000, week of that year
// (WeekOfYear, with 53 written as week 00 of the next year) and weekday digit 1 (Monday) to 7 (Sunday).
// Codes of one century compare as texts in date order.

// Years are counted from this one in week codes, WorkYear and the plan's horizon.
inline constexpr int kYearOffset = 2000;
// The plan counts a year as 52 weeks, whatever the calendar's year holds.
inline constexpr int kWeeksPerYear = 52;

// Year since 2000, week of that year and weekday, as a week code has them.
struct WeekParts
{
    int year = 0;
    int week = 0;
    int weekday = 0;
};

// The parts of a week code "yy/ww/d"; anything after the weekday (string[8] fields) is ignored. Nothing
// for the empty entry mask or a text that is not a week code.
std::optional<WeekParts> ParseWeekCode(QStringView code);
// The same for a record's stored bytes, read without a conversion on long scans.
std::optional<WeekParts> ParseWeekCode(std::string_view bytes);

// Week of the year, 0 to 53. Weeks start on Monday; week 1 holds 1 January when that day is a Monday to
// Thursday, else it is the first week starting after it; the days before week 1 are week 0.
int WeekOfYear(QDate date);
// The same for a "dd/mm/yyyy" text. A text without its year part is read in the plan's first year; a
// two-digit year counts from 2000. A text that is not a date gives 0.
int WeekOfYear(const State& st, QStringView dateText);

// The week code of a date; invalid dates give the empty entry mask "  /  / ".
QString WeekCodeOf(QDate date);
// WeekCodeOf, and DateText := the date as "dd/mm/yyyy".
QString DateToWeekCode(State& st, QDate date);

// The date a week code stands for; nothing for the empty entry mask or a code that is not "yy/ww/d".
std::optional<QDate> WeekCodeToDate(QStringView code);
// The date of a week code as "dd/mm/yy"; "../../.." when the code holds no date.
QString WeekCodeToDateText(QStringView code);
// WeekCodeToDateText and WeekCodeDaysBetween of stored week codes (Windows-1252 bytes), each code worked
// out once: a listing shows dates on each of many lines, most of them on a few hundred days.
class WeekCodeDates
{
public:
    const QString& Text(std::string_view code) { return Of(code).text; }
    int DaysBetween(std::string_view a, std::string_view b);

private:
    struct Known
    {
        QString code;
        std::optional<QDate> date;
        QString text;
    };
    const Known& Of(std::string_view code);

    std::unordered_map<std::string, Known> m_known;
};

// Calendar days from week code a to week code b, 0 unless b is greater as a text or when either code holds
// no date. Result 0 to 65535.
int WeekCodeDaysBetween(QStringView a, QStringView b);

// Absolute weeks index the weeks of the planning horizon: (year - FirstYear) * 52 + week, the year counted
// from 2000 (as WorkYear and the week codes count it). Every stored absolute week comes from one of these.

// Exact value, negative before the horizon: for comparisons and ranges.
int AbsoluteWeek(const State& st, int year, int week);
// Back from an absolute week: the year since 2000 and the week of that year, 0 to 51 (weekday 0). The
// division truncates, as the stored weeks were always read: a week before the horizon keeps a negative
// remainder.
WeekParts SplitAbsoluteWeek(const State& st, std::int64_t absoluteWeek);
// WorkWeek and WorkYear := the week and year of an absolute week, as SplitAbsoluteWeek gives them.
void SetWorkWeek(State& st, std::int64_t absoluteWeek);
// The week of the year, 0 to 51, of an absolute week; one before the horizon counts back from its start.
int WeekOfYearIndex(std::int64_t absoluteWeek);
// SplitAbsoluteWeek counting back from the horizon's start the same way: a week before it lies in an
// earlier year, with its week 0 to 51.
WeekParts SplitAbsoluteWeekBack(const State& st, std::int64_t absoluteWeek);
// AbsoluteWeek of a week code "yy/ww/d"; nothing for a code that holds no date.
std::optional<int> AbsoluteWeekOfCode(const State& st, QStringView code);
// The 16-bit record fields (plan, history, breakdowns, repairs, work reports).
std::uint16_t AbsoluteWeekWord(const State& st, int year, int week);
// Store movements keep the week in one byte, modulo 256.
std::uint8_t AbsoluteWeekByte(const State& st, int year, int week);
// The byte of an absolute week already worked out (an index inside the horizon, say).
std::uint8_t MovementWeekByte(int absoluteWeek);
// At most PlanWeeks, the bucket week of pending work; a week before the horizon counts as past its end,
// as an unsigned comparison with the stored word has it.
int AbsoluteWeekCapped(const State& st, int year, int week);
// At most PlanWeeks - 1, the last week of the agenda; before the horizon counts as past its end, as above.
int AbsoluteWeekCappedBelowEnd(const State& st, int year, int week);

// At most PlanWeeks, compared as the signed 32-bit weeks of the predictive records are: a week before
// the horizon stays negative.
int AbsoluteWeekAtMostEnd(const State& st, int year, int week);

// Absolute week of a four-digit year and a week, held inside the horizon: a week past 52 moves into later
// years, a year before FirstYear is raised to it, and a year after LastYear gives the horizon's end.
int PlanWeekIndex(const State& st, int year, int week);

// Year since 2000, week of that year and weekday of a date, as its week code has them.
WeekParts WeekPartsOf(QDate date);

// The year since 2000 and the week a week of the year typed on a card stands for. A week of the year
// past 52 belongs to the year its week code names: the days of week 53 (28 December 2026 to 3 January
// 2027, say) are week 00 of the next year, as WeekCodeOf writes them, so a record of 29/12/2026 is filed
// in week 0 of 2027, never as week 53 of 2026 (which the 52-week absolute count would turn into week 1 of
// 2027) nor as week 1 of 2026. Week 53 of a year without one goes where its Monday's code puts it; any
// other week stays as typed. Weeks already stored keep their absolute value.
WeekParts FiledWeek(int year, int week);

// Period in weeks of a maintenance-routine frequency code; unknown codes (and "TT") give 3.
int FrequencyPeriodWeeks(QStringView code);
// Whether a revision done at doneFreq also covers the routines of routineFreq. Codes compare exactly.
bool FrequencyIncludes(QStringView doneFreq, QStringView routineFreq);

} // namespace gim
