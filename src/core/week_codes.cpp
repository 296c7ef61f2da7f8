#include "core/week_codes.h"

#include "core/state.h"
#include "platform/date_text.h"
#include "records/cp1252.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <span>

namespace gim {

namespace {

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

int Digit(char16_t c)
{
    return c >= u'0' && c <= u'9' ? c - u'0' : -1;
}
int Digit(QChar c)
{
    return Digit(c.unicode());
}
int Digit(char c)
{
    return Digit(static_cast<char16_t>(static_cast<unsigned char>(c)));
}

template <typename Text> std::optional<WeekParts> ParseCode(const Text& code)
{
    if (code.size() < 7)
        return std::nullopt;
    const int y1 = Digit(code[0]), y2 = Digit(code[1]);
    const int w1 = Digit(code[3]), w2 = Digit(code[4]);
    const int d = Digit(code[6]);
    if (y1 < 0 || y2 < 0 || w1 < 0 || w2 < 0 || d < 0)
        return std::nullopt;
    return WeekParts{y1 * 10 + y2, w1 * 10 + w2, d};
}

} // namespace

std::optional<WeekParts> ParseWeekCode(QStringView code)
{
    return ParseCode(code);
}

std::optional<WeekParts> ParseWeekCode(std::string_view bytes)
{
    return ParseCode(bytes);
}

int WeekOfYear(QDate date)
{
    if (!date.isValid())
        return 0;
    const QDate jan1(date.year(), 1, 1);
    const int jan1Weekday = jan1.dayOfWeek();
    const qint64 days = jan1.daysTo(date);
    const qint64 week = (days + jan1Weekday - 1) / 7 + (jan1Weekday <= 4 ? 1 : 0);
    return week < 0 ? 0 : static_cast<int>(week);
}

int WeekOfYear(const State& st, QStringView dateText)
{
    const QList<QStringView> parts = dateText.split(u'/');
    if (parts.size() < 2)
        return 0;
    bool dayOk = false, monthOk = false;
    const int day = parts[0].trimmed().toInt(&dayOk);
    const int month = parts[1].trimmed().toInt(&monthOk);
    if (!dayOk || !monthOk)
        return 0;
    int year = kYearOffset + st.FirstYear;
    if (parts.size() >= 3 && !parts[2].trimmed().isEmpty()) {
        bool yearOk = false;
        year = parts[2].trimmed().left(4).toInt(&yearOk);
        if (!yearOk)
            return 0;
        if (year < 100)
            year += kYearOffset;
    }
    return WeekOfYear(QDate(year, month, day));
}

QString WeekCodeOf(QDate date)
{
    if (!date.isValid())
        return QStringLiteral("  /  / ");
    const int weekOfYear = WeekOfYear(date);
    int year = (date.year() % 100 + 100) % 100;
    int week = weekOfYear;
    // Week 53 is written as week 00 of the next year. The next year of 99 would need three digits, which
    // the seven-character code cannot hold, so those few days stay week 53 of 99: they still sort after
    // week 52 and convert back to their date.
    if (weekOfYear == 53 && year != 99) {
        week = 0;
        ++year;
    }
    return TwoDigits(year) + u'/' + TwoDigits(week) + u'/' + QString::number(date.dayOfWeek());
}

QString DateToWeekCode(State& st, QDate date)
{
    st.DateText = FormatDate(date);
    return WeekCodeOf(date);
}

std::optional<QDate> WeekCodeToDate(QStringView code)
{
    const std::optional<WeekParts> parts = ParseWeekCode(code);
    if (!parts)
        return std::nullopt;
    const QDate jan1(kYearOffset + parts->year, 1, 1);
    const int jan1Weekday = jan1.dayOfWeek();
    if (parts->week == 0) {
        // Week 00 holds two kinds of days: those of this year before its week 1 (only when 1 January is a
        // Friday to Sunday) and those of week 53 of the previous year. Both lie in the Monday-to-Sunday week
        // that holds 31 December of the previous year, so that week decodes every code written. Counting
        // week 00 as the week before week 1 would put a previous year's week 53 seven days early whenever
        // this year's week 1 starts in December.
        const QDate dec31 = jan1.addDays(-1);
        return dec31.addDays(parts->weekday - dec31.dayOfWeek());
    }
    // Week 1 starts on the Monday on or before 1 January when that day is a Monday to Thursday, else on
    // the Monday after it.
    const int firstWeek = jan1Weekday >= 5 ? 1 : 2;
    const int offset = parts->weekday + (parts->week - firstWeek) * 7 + (7 - jan1Weekday);
    return jan1.addDays(offset);
}

QString WeekCodeToDateText(QStringView code)
{
    const std::optional<QDate> date = WeekCodeToDate(code);
    if (!date)
        return QStringLiteral("../../..");
    // FormatShortDate's "dd/MM/yy" written directly: listings convert a code on every line, and the
    // format string is parsed anew on each call. Week codes reach only the years 1999 to 2101.
    int year = 0, month = 0, day = 0;
    date->getDate(&year, &month, &day);
    year = (year % 100 + 100) % 100;
    const char16_t text[8] = {char16_t(u'0' + day / 10),   char16_t(u'0' + day % 10),   u'/',
                              char16_t(u'0' + month / 10), char16_t(u'0' + month % 10), u'/',
                              char16_t(u'0' + year / 10),  char16_t(u'0' + year % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 8);
}

namespace {

int DaysFromTo(QStringView a, QStringView b, const std::optional<QDate>& da, const std::optional<QDate>& db)
{
    if (b.compare(a) <= 0)
        return 0;
    // Count the calendar's days: a count of 52-week years gives 0 or less from week 52 to a week 00 that
    // holds week 53, and the energy figures divide by this.
    if (!da || !db)
        return 0;
    return static_cast<int>(std::clamp<qint64>(da->daysTo(*db), 0, 0xFFFF));
}

} // namespace

int WeekCodeDaysBetween(QStringView a, QStringView b)
{
    if (b.compare(a) <= 0)
        return 0;
    return DaysFromTo(a, b, WeekCodeToDate(a), WeekCodeToDate(b));
}

const WeekCodeDates::Known& WeekCodeDates::Of(std::string_view code)
{
    auto [at, added] = m_known.try_emplace(std::string(code));
    Known& known = at->second;
    if (added) {
        known.code = FromCp1252(code);
        known.date = WeekCodeToDate(known.code);
        known.text = WeekCodeToDateText(known.code);
    }
    return known;
}

int WeekCodeDates::DaysBetween(std::string_view a, std::string_view b)
{
    const Known& ka = Of(a);
    const Known& kb = Of(b);
    return DaysFromTo(ka.code, kb.code, ka.date, kb.date);
}

int AbsoluteWeek(const State& st, int year, int week)
{
    return (year - static_cast<int>(st.FirstYear)) * kWeeksPerYear + week;
}

WeekParts SplitAbsoluteWeek(const State& st, std::int64_t absoluteWeek)
{
    WeekParts parts;
    parts.year = static_cast<int>(absoluteWeek / kWeeksPerYear + st.FirstYear);
    parts.week = static_cast<int>(absoluteWeek % kWeeksPerYear);
    return parts;
}

void SetWorkWeek(State& st, std::int64_t absoluteWeek)
{
    const WeekParts parts = SplitAbsoluteWeek(st, absoluteWeek);
    st.WorkWeek = static_cast<std::uint16_t>(parts.week);
    st.WorkYear = static_cast<std::uint16_t>(parts.year);
}

int WeekOfYearIndex(std::int64_t absoluteWeek)
{
    return static_cast<int>((absoluteWeek % kWeeksPerYear + kWeeksPerYear) % kWeeksPerYear);
}

WeekParts SplitAbsoluteWeekBack(const State& st, std::int64_t absoluteWeek)
{
    WeekParts parts;
    parts.week = WeekOfYearIndex(absoluteWeek);
    parts.year = static_cast<int>((absoluteWeek - parts.week) / kWeeksPerYear + st.FirstYear);
    return parts;
}

std::optional<int> AbsoluteWeekOfCode(const State& st, QStringView code)
{
    const std::optional<WeekParts> parts = ParseWeekCode(code);
    if (!parts)
        return std::nullopt;
    return AbsoluteWeek(st, parts->year, parts->week);
}

std::uint16_t AbsoluteWeekWord(const State& st, int year, int week)
{
    return static_cast<std::uint16_t>(AbsoluteWeek(st, year, week));
}

std::uint8_t AbsoluteWeekByte(const State& st, int year, int week)
{
    return MovementWeekByte(AbsoluteWeek(st, year, week));
}

std::uint8_t MovementWeekByte(int absoluteWeek)
{
    return static_cast<std::uint8_t>(absoluteWeek & 0xFF);
}

int AbsoluteWeekCapped(const State& st, int year, int week)
{
    const int absolute = AbsoluteWeek(st, year, week);
    const int end = st.PlanWeeks;
    return absolute < 0 || absolute > end ? end : absolute;
}

int AbsoluteWeekCappedBelowEnd(const State& st, int year, int week)
{
    const int absolute = AbsoluteWeek(st, year, week);
    const int last = std::max(0, static_cast<int>(st.PlanWeeks) - 1);
    return absolute < 0 || absolute > last ? last : absolute;
}

int AbsoluteWeekAtMostEnd(const State& st, int year, int week)
{
    return std::min(AbsoluteWeek(st, year, week), static_cast<int>(st.PlanWeeks));
}

int PlanWeekIndex(const State& st, int year, int week)
{
    int y = year - kYearOffset;
    int w = week;
    if (week > kWeeksPerYear) {
        y += week / kWeeksPerYear;
        w = week % kWeeksPerYear;
    }
    y = std::max(y, static_cast<int>(st.FirstYear));
    if (y <= st.LastYear)
        return AbsoluteWeek(st, y, w);
    // A horizon that ends before it starts (no plan yet) has no end week to give.
    return std::max(0, AbsoluteWeek(st, st.LastYear, 0));
}

namespace {

struct FrequencyPeriod
{
    QStringView code;
    int weeks;
};

constexpr std::array kFrequencyPeriods{
    FrequencyPeriod{u"1D", 0},  FrequencyPeriod{u"1S", 1},   FrequencyPeriod{u"2S", 2},
    FrequencyPeriod{u"M", 4},   FrequencyPeriod{u"M2", 8},   FrequencyPeriod{u"M3", 12},
    FrequencyPeriod{u"M4", 16}, FrequencyPeriod{u"S", 24},   FrequencyPeriod{u"S2", 48},
    FrequencyPeriod{u"S4", 96}, FrequencyPeriod{u"TF", 100},
};
// No coverage set holds it, so a routine of an unknown code is never covered by another revision.
constexpr int kUnknownPeriod = 3;

// The periods a revision of each frequency covers. Not simply "every shorter period": a three-monthly
// revision does not cover the two-monthly routines, nor a four-monthly one the three-monthly ones.
constexpr int kCovers1D[] = {0};
constexpr int kCovers1S[] = {0, 1};
constexpr int kCovers2S[] = {0, 1, 2};
constexpr int kCoversM[] = {0, 1, 2, 4};
constexpr int kCoversM2[] = {0, 1, 2, 4, 8};
constexpr int kCoversM3[] = {0, 1, 2, 4, 12};
constexpr int kCoversM4[] = {0, 1, 2, 4, 8, 16};
constexpr int kCoversS[] = {0, 1, 2, 4, 8, 12, 24};
constexpr int kCoversS2[] = {0, 1, 2, 4, 8, 12, 16, 24, 48};
constexpr int kCoversS4[] = {0, 1, 2, 4, 8, 12, 16, 24, 48, 96};
constexpr int kCoversTF[] = {100};
constexpr int kCoversTT[] = {0, 1, 2, 4, 8, 12, 16, 24, 48, 96, 100};
constexpr int kCoversOther[] = {0};

struct FrequencyCoverage
{
    QStringView done;
    std::span<const int> periods;
};

constexpr std::array kFrequencyCoverage{
    FrequencyCoverage{u"1D", kCovers1D}, FrequencyCoverage{u"1S", kCovers1S},
    FrequencyCoverage{u"2S", kCovers2S}, FrequencyCoverage{u"M", kCoversM},
    FrequencyCoverage{u"M2", kCoversM2}, FrequencyCoverage{u"M3", kCoversM3},
    FrequencyCoverage{u"M4", kCoversM4}, FrequencyCoverage{u"S", kCoversS},
    FrequencyCoverage{u"S2", kCoversS2}, FrequencyCoverage{u"S4", kCoversS4},
    FrequencyCoverage{u"TF", kCoversTF}, FrequencyCoverage{u"TT", kCoversTT},
};

} // namespace

int FrequencyPeriodWeeks(QStringView code)
{
    for (const FrequencyPeriod& p : kFrequencyPeriods) {
        if (p.code == code)
            return p.weeks;
    }
    return kUnknownPeriod;
}

bool FrequencyIncludes(QStringView doneFreq, QStringView routineFreq)
{
    std::span<const int> covered = kCoversOther;
    for (const FrequencyCoverage& c : kFrequencyCoverage) {
        if (c.done == doneFreq) {
            covered = c.periods;
            break;
        }
    }
    const int period = FrequencyPeriodWeeks(routineFreq);
    return std::find(covered.begin(), covered.end(), period) != covered.end();
}

WeekParts WeekPartsOf(QDate date)
{
    return ParseWeekCode(WeekCodeOf(date)).value_or(WeekParts{});
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

} // namespace gim
