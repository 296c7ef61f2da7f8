#include "workreports/work_report_hours.h"

#include "core/context.h"
#include "core/date_range.h"
#include "core/hour_types.h"
#include "core/record_file.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/personnel.h"
#include "platform/date_text.h"
#include "platform/report.h"
#include "platform/week_graph.h"
#include "records/cp1252.h"
#include "workreports/work_report_file.h"

#include <QDate>
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gim {

namespace {

const QString kAll = QStringLiteral("*");

// What a person's lines add up to.
enum Bucket {
    kEffective,
    kExtra,        // E
    kHolidayExtra, // EF
    kNightExtra,   // EN
    kNight,        // N
    kHolidays,     // V
    kLeave,        // P
    kSick,         // B
    kLeaveTotal,   // every line of an "F" type
    kBucketCount
};
using HourSums = std::array<std::int64_t, kBucketCount>;

// The columns shown: normal (less night), night, overtime, holiday overtime, night overtime, vacation,
// leave, sick leave.
using HourColumns = std::array<std::int64_t, 8>;

std::optional<Bucket> LeaveBucket(const TWorkReportRecord& line)
{
    const std::optional<HourKind> kind = HourKindOf(line.TIPOH.bytes());
    if (!kind)
        return std::nullopt;
    switch (*kind) {
    case HourKind::Overtime:
        return kExtra;
    case HourKind::HolidayOvertime:
        return kHolidayExtra;
    case HourKind::NightOvertime:
        return kNightExtra;
    case HourKind::Night:
        return kNight;
    case HourKind::Holidays:
        return kHolidays;
    case HourKind::Leave:
        return kLeave;
    case HourKind::SickLeave:
        return kSick;
    case HourKind::Normal:
    case HourKind::CompensatedOvertime:
    case HourKind::Training:
        break;
    }
    return std::nullopt;
}

void AddHours(HourSums& sums, const TWorkReportRecord& line)
{
    const std::int64_t minutes = line.Tinter.get();
    switch (ClassifyWorkReportLine(line)) {
    case WorkReportLineKind::Leave:
        sums[kLeaveTotal] += minutes;
        if (const std::optional<Bucket> bucket = LeaveBucket(line))
            sums[*bucket] += minutes;
        break;
    case WorkReportLineKind::Work:
        sums[kEffective] += minutes;
        break;
    case WorkReportLineKind::StoreExit:
    case WorkReportLineKind::DeliveryNote:
        break;
    }
}

bool Worked(const HourSums& sums)
{
    return sums[kEffective] > 0 || sums[kLeaveTotal] > 0;
}

// Overtime comes out of the effective time, night hours out of what is left; neither goes below zero.
HourColumns Columns(const HourSums& s)
{
    const std::int64_t normal =
        std::max<std::int64_t>(0, s[kEffective] - (s[kExtra] + s[kHolidayExtra] + s[kNightExtra]));
    return {std::max<std::int64_t>(0, normal - s[kNight]),
            s[kNight],
            s[kExtra],
            s[kHolidayExtra],
            s[kNightExtra],
            s[kHolidays],
            s[kLeave],
            s[kSick]};
}

void Accumulate(HourColumns& total, const HourColumns& add)
{
    for (std::size_t i = 0; i < total.size(); ++i)
        total[i] += add[i];
}

QString HoursText(std::int64_t minutes)
{
    return MinutesToHoursText(static_cast<int>(
        std::clamp<std::int64_t>(minutes, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}

QString ColumnsText(const HourColumns& columns)
{
    QString text;
    text.reserve(static_cast<qsizetype>(columns.size()) * 10);
    for (const std::int64_t minutes : columns) {
        text += QLatin1Char('\t');
        text += HoursText(minutes);
    }
    return text;
}

// The window of an hours listing up to its column header: the title line names the firm, the listing
// with the environment and today.
std::shared_ptr<ReportDocument> OpenHoursReport(const State& st, const QString& caption, const QString& title,
                                                std::vector<int> tabStops, const QString& header)
{
    auto report = std::make_shared<ReportDocument>(caption);
    report->SetTabStops(tabStops);
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QLatin1Char('\t') + title + st.CurrentEnvironment +
                    QLatin1Char('\t') + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    report->SetFontSize(10);
    report->SetStyle(FontStyle::Underline);
    report->AddLine(header);
    report->SetFontSize(8);
    report->SetStyle(FontStyle::Normal);
    return report;
}

const QString kHourColumnsHeader =
    QStringLiteral("\tH Norn\tH Noche\tH Ext\tH EFest.\tH ENoche\tH Vacac\tH Perm\tH Baja");
const std::vector<int> kHourTabStops{10, 60, 130, 240, 285, 330, 375, 420, 465, 510, 555};

// The personnel cards in file order, erased ones left out, and where each number first stands.
struct People
{
    std::vector<TPersonnelRecord> cards;
    std::unordered_map<std::string_view, int> places;

    std::optional<int> PlaceOf(const TWorkReportRecord& line) const
    {
        const auto found = places.find(line.Matricula.bytes());
        return found == places.end() ? std::nullopt : std::optional<int>(found->second);
    }
};

std::optional<People> ReadPeople(Context& ctx)
{
    std::optional<std::vector<TPersonnelRecord>> cards = KeyedFile<PersonnelFile>(ctx).Read();
    if (!cards)
        return std::nullopt;
    std::erase_if(*cards, PersonnelFile::Deleted);
    People people;
    people.cards = std::move(*cards);
    for (std::size_t i = 0; i < people.cards.size(); ++i)
        people.places.emplace(people.cards[i].Matricula.bytes(), static_cast<int>(i));
    return people;
}

QString PersonColumns(const TPersonnelRecord& person)
{
    return person.Nombre.str() + QLatin1Char('\t') + person.Apellidos.str();
}

// Whether a line's week date lies in the chosen range (an "*" start takes every date).
class WeekRange
{
public:
    explicit WeekRange(const State& st)
        : m_every(st.RangeStartWeek == kAll), m_first(ToCp1252(st.RangeStartWeek)),
          m_last(ToCp1252(st.RangeEndWeek))
    {
    }
    bool Every() const { return m_every; }
    bool Holds(std::string_view dia) const { return m_every || (dia >= m_first && dia <= m_last); }

private:
    bool m_every;
    std::string m_first;
    std::string m_last;
};

std::uint32_t Clip32(std::int64_t value)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

// The year (since 2000) and week 1 to 52 of an absolute week, week 00 of a year being the last week of
// the year before.
std::pair<int, int> YearAndWeekOf(const State& st, int absoluteWeek)
{
    const WeekParts before = SplitAbsoluteWeekBack(st, absoluteWeek - 1);
    return {before.year, before.week + 1};
}

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

void PersonnelDailyHoursReport(Context& ctx)
{
    State& st = ctx.st;
    if (!PickWeekRange(ctx))
        return;
    const QString asked =
        ctx.ui.InputBox(QString::fromUtf8("EDICIÓN PARTES DIARIOS"), QStringLiteral("MATRICULA"), kAll)
            .left(6);
    const std::optional<People> people = ReadPeople(ctx);
    if (!people)
        return;
    const bool everybody = asked == kAll;

    // The lines of the range, sorted by day and then by the person's place in the file: each day of the
    // range finds its own lines by halves and meets its people in file order.
    struct DayLine
    {
        std::string_view dia;
        int person;
        const TWorkReportRecord* line;
    };
    const WeekRange range(st);
    std::vector<DayLine> lines;
    for (const WorkReportEntry& e : LoadedWorkReports(ctx)) {
        const std::string_view dia = e.rec.dia.bytes();
        if (!range.Holds(dia) || (!everybody && !(e.rec.Matricula == asked)))
            continue;
        if (const std::optional<int> person = people->PlaceOf(e.rec))
            lines.push_back({dia, *person, &e.rec});
    }
    auto before = [](const DayLine& a, const DayLine& b) {
        return a.dia != b.dia ? a.dia < b.dia : a.person < b.person;
    };
    std::sort(lines.begin(), lines.end(), before);

    auto report = OpenHoursReport(st, QStringLiteral("HORAS PERSONAL CENTRO ") + st.CurrentEnvironment,
                                  QStringLiteral("HORAS PERSONAL "), kHourTabStops,
                                  QStringLiteral("\tFECHA\tNOMBRE\tAPELLIDOS") + kHourColumnsHeader);
    const QDate last = st.RangeEndDate.date();
    for (QDate day = st.RangeStartDate.date(); day.isValid() && day <= last; day = day.addDays(1)) {
        const std::string code = ToCp1252(WeekCodeOf(day));
        const auto first =
            std::partition_point(lines.begin(), lines.end(), [&](const DayLine& l) { return l.dia < code; });
        const QString date = FormatShortDate(day);
        HourColumns dayTotal{};
        for (auto it = first; it != lines.end() && it->dia == code;) {
            const int person = it->person;
            HourSums sums{};
            for (; it != lines.end() && it->dia == code && it->person == person; ++it)
                AddHours(sums, *it->line);
            if (!Worked(sums))
                continue;
            const HourColumns columns = Columns(sums);
            Accumulate(dayTotal, columns);
            const TPersonnelRecord& card = people->cards[static_cast<std::size_t>(person)];
            QString line;
            line.reserve(128);
            line += QLatin1Char('\t');
            line += date;
            line += QLatin1Char('\t');
            AppendCp1252(line, card.Nombre.bytes());
            line += QLatin1Char('\t');
            AppendCp1252(line, card.Apellidos.bytes());
            line += ColumnsText(columns);
            report->AddLine(line);
        }
        if (everybody) {
            report->SetStyle(FontStyle::Bold);
            report->AddLine(QStringLiteral("\t\tDIARIO ACUMULADO \t") + date + ColumnsText(dayTotal));
            report->SetStyle(FontStyle::Normal);
            report->AddLine(QStringLiteral("\r"));
        }
    }
    report->saveSubFolder = QStringLiteral("\\Personal");
    ctx.ui.ShowReport(report);
}

void MaintenanceHoursReport(Context& ctx)
{
    State& st = ctx.st;
    if (!PickWeekRange(ctx))
        return;
    const QString activity = ctx.ui
                                 .InputBox(QString::fromUtf8("INTRODUCIR TIPO DE INTERVENCIÓN"),
                                           QStringLiteral("CODIGO INTERVENCION"), kAll)
                                 .left(3);
    const std::optional<People> people = ReadPeople(ctx);
    if (!people)
        return;
    const bool anyActivity = activity == kAll;
    const std::string activityBytes = ToCp1252(activity);

    const WeekRange range(st);
    std::vector<HourSums> sums(people->cards.size());
    std::int64_t deliveryNotes = 0;
    for (const WorkReportEntry& e : LoadedWorkReports(ctx)) {
        if (!range.Holds(e.rec.dia.bytes()) ||
            (!anyActivity && !e.rec.Tipo.bytes().starts_with(activityBytes)))
            continue;
        const std::optional<int> person = people->PlaceOf(e.rec);
        if (!person)
            continue;
        AddHours(sums[static_cast<std::size_t>(*person)], e.rec);
        if (ClassifyWorkReportLine(e.rec) == WorkReportLineKind::DeliveryNote)
            deliveryNotes += e.rec.Tparo.get();
    }

    auto report = OpenHoursReport(st, QStringLiteral("HORAS PERSONAL CENTRO ") + st.CurrentEnvironment,
                                  QStringLiteral("HORAS PERSONAL "), kHourTabStops,
                                  QStringLiteral("\tCodigo\tNOMBRE\tAPELLIDOS") + kHourColumnsHeader);
    HourColumns total{};
    for (std::size_t i = 0; i < sums.size(); ++i) {
        if (!Worked(sums[i]))
            continue;
        const HourColumns columns = Columns(sums[i]);
        Accumulate(total, columns);
        report->AddLine(QLatin1Char('\t') + people->cards[i].Matricula.str() + QLatin1Char('\t') +
                        PersonColumns(people->cards[i]) + ColumnsText(columns));
    }
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tTIEMPO TOTAL ACUMULADO DE INTERVENCION ") + ColumnsText(total));
    report->AddLine(QStringLiteral("\tTOTAL ACUMULADO DE ALBARANES (ALB)\t\t") + CentsToText(deliveryNotes) +
                    QStringLiteral(" EUROS"));
    if (!range.Every())
        report->AddLine(QStringLiteral("\tFECHA INICIO ") + st.RangeStartWeek +
                        QStringLiteral("    FECHA FINAL ") + st.RangeEndWeek);
    report->AddLine(anyActivity ? QStringLiteral("\tTIPO DE HORA : Indistinto")
                                : QStringLiteral("\tTIPO DE HORA :") + activity);
    report->saveSubFolder = QStringLiteral("\\PARTES");

    // Whole hours of each kind: normal, night, overtime, vacation and leave, sick leave.
    auto hours = [](std::int64_t minutes) { return Clip32(minutes / 60); };
    ShowPieChart(*report, st, QStringLiteral("HORAS DE MANTENIMIENTO "),
                 {QStringLiteral("H Norn"), QStringLiteral("H Noche"),
                  QStringLiteral("H Ext/H EFest/H ENoche"), QStringLiteral("H Vacac/H Perm"),
                  QStringLiteral("H Baja "), QStringLiteral(" ")},
                 {hours(total[0]), hours(total[1]), hours(total[2] + total[3] + total[4]),
                  hours(total[5] + total[6]), hours(total[7]), 0});
    ctx.ui.ShowReport(report);
}

void PersonnelWeeklyHoursReport(Context& ctx)
{
    State& st = ctx.st;
    const QString asked = ctx.ui
                              .InputBox(QStringLiteral("Horas de Personal"),
                                        QStringLiteral("INTRODUZCA Matricula Operario "), kAll)
                              .left(6);
    if (!PickWeekRange(ctx, ParseDate(st.DateText)))
        return;
    const std::optional<int> first = AbsoluteWeekOfCode(st, st.RangeStartWeek);
    const std::optional<int> last = AbsoluteWeekOfCode(st, st.RangeEndWeek);
    if (!first || !last)
        return;
    const bool everybody = asked == kAll;

    // Weeks are told apart by their absolute week, so that equal week numbers of two years stay apart.
    struct WeekSums
    {
        std::int64_t effective = 0;
        std::int64_t leave = 0;
        std::int64_t deliveryNotes = 0;
    };
    std::vector<WeekSums> weeks(static_cast<std::size_t>(std::max(0, *last - *first + 1)));
    LoadWorkReports(ctx);
    for (const WorkReportEntry& e : LoadedWorkReports(ctx)) {
        // A line deleted since the last sort still sits in the file.
        if (WorkReportFile::Deleted(e.rec) || (!everybody && !(e.rec.Matricula == asked)))
            continue;
        const std::optional<int> week = AbsoluteWeekOfCode(st, e.rec.dia.str());
        if (!week || *week < *first || *week > *last)
            continue;
        WeekSums& w = weeks[static_cast<std::size_t>(*week - *first)];
        switch (ClassifyWorkReportLine(e.rec)) {
        case WorkReportLineKind::Leave:
            w.leave += e.rec.Tinter.get();
            break;
        case WorkReportLineKind::DeliveryNote:
            w.deliveryNotes += e.rec.Tparo.get();
            break;
        case WorkReportLineKind::Work:
            w.effective += e.rec.Tinter.get();
            break;
        case WorkReportLineKind::StoreExit:
            break;
        }
    }
    FreeWorkReportList(ctx);

    auto report =
        OpenHoursReport(st, QStringLiteral("HORAS DE PERSONAL"), QStringLiteral("RATIOS HORAS DE PERSONAL "),
                        {6, 70, 150, 230, 310},
                        QString::fromUtf8("\tSem/Año\tH Efectivas\tHoras F/P/B\t Albaranes €\t H Totales"));
    report->saveSubFolder = QStringLiteral("\\Personal");
    auto row = [](const WeekSums& w) {
        return QLatin1Char('\t') + HoursText(w.effective) + QLatin1Char('\t') + HoursText(w.leave) +
               QLatin1Char('\t') + CentsToText(w.deliveryNotes) + QLatin1Char('\t') +
               HoursText(w.effective + w.leave);
    };
    WeekSums total;
    std::int64_t activeWeeks = 0;
    std::vector<TWeekGraphRecord> graph(kGraphWeeks);
    for (std::size_t i = 0; i < weeks.size(); ++i) {
        const WeekSums& w = weeks[i];
        const auto [year, week] = YearAndWeekOf(st, *first + static_cast<int>(i));
        report->AddLine(QLatin1Char('\t') + TwoDigits(week) + QLatin1Char('/') +
                        QString::number(kYearOffset + year) + row(w));
        total.effective += w.effective;
        total.leave += w.leave;
        total.deliveryNotes += w.deliveryNotes;
        if (w.effective > 0)
            ++activeWeeks;
        // A range longer than a year lays its later weeks over the earlier ones.
        TWeekGraphRecord& g = graph[static_cast<std::size_t>(week)];
        g.Value1 = g.Value1.get() + w.effective;
        g.Value2 = g.Value2.get() + w.leave;
        g.Value3 = g.Value3.get() + w.deliveryNotes;
    }
    report->AddLine(QString(110, QLatin1Char('-')));
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tTotales:") + row(total));
    report->SetStyle(FontStyle::Normal);
    if (!everybody)
        report->AddLine(QStringLiteral("MATRICULA OPERARIO :") + asked);

    if (activeWeeks > 0) {
        // The year of the range start in full: the chart settings go by the title's "HORAS DE PERSONAL".
        const QString year =
            QString::number(kYearOffset + ParseWeekCode(st.RangeStartWeek).value_or(WeekParts{}).year);
        DrawWeeklyGraph(*report, st, QStringLiteral("HORAS DE PERSONAL ") + year,
                        WeekGraphStyle::PersonnelHours,
                        {HoursText(total.effective / activeWeeks) + QStringLiteral(" H Actv"),
                         HoursText(total.leave / activeWeeks) + QStringLiteral(" H F/P"),
                         CentsToText(total.deliveryNotes / activeWeeks) + QString::fromUtf8(" € Albaranes"),
                         QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")},
                        Clip32(total.effective / activeWeeks), graph);
    }
    ctx.ui.ShowReport(report);
}

} // namespace gim
