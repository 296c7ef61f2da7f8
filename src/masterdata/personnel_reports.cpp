#include "masterdata/personnel_reports.h"

#include "core/context.h"
#include "core/date_range.h"
#include "core/hour_types.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entries.h"
#include "platform/report.h"
#include "platform/week_graph.h"

#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace gim {

namespace {

// The hour types the reports add up, in the columns of the hours report.
enum HourColumn {
    kExtra,
    kHolidayExtra,
    kNight,
    kNightExtra,
    kHolidays,
    kLeave,
    kSick,
    kCompensated,
    kColumns
};
using HourSums = std::array<std::int64_t, kColumns>;

// The column of an entry's type; nothing for the types that are not hours, nor for normal hours and
// training.
std::optional<int> HourColumnOf(const TPersonnelEntryRecord& entry)
{
    const std::optional<HourKind> kind = HourKindOf(entry.Type.bytes());
    if (!kind)
        return std::nullopt;
    switch (*kind) {
    case HourKind::Overtime:
        return kExtra;
    case HourKind::HolidayOvertime:
        return kHolidayExtra;
    case HourKind::Night:
        return kNight;
    case HourKind::NightOvertime:
        return kNightExtra;
    case HourKind::Holidays:
        return kHolidays;
    case HourKind::Leave:
        return kLeave;
    case HourKind::SickLeave:
        return kSick;
    case HourKind::CompensatedOvertime:
        return kCompensated;
    case HourKind::Normal:
    case HourKind::Training:
        break;
    }
    return std::nullopt;
}

// The expedient's entries that still count: erased ones wait for the purge. A missing file is reported
// and gives none.
std::optional<std::vector<TPersonnelEntryRecord>> LiveEntries(Context& ctx)
{
    std::optional<std::vector<TPersonnelEntryRecord>> entries = KeyedFile<PersonnelEntryFile>(ctx).Read();
    if (entries)
        std::erase_if(*entries, PersonnelEntryFile::Deleted);
    return entries;
}

QString Columns(const HourSums& sums, std::initializer_list<int> columns, QString (*text)(std::int64_t))
{
    QString line;
    for (const int c : columns)
        line += QLatin1Char('\t') + text(sums[static_cast<std::size_t>(c)]);
    return line;
}

QString HoursText(std::int64_t minutes)
{
    return MinutesToHoursText(static_cast<int>(minutes));
}
QString MinutesText(std::int64_t minutes)
{
    return QString::number(minutes);
}

} // namespace

void ReportPersonnelHours(Context& ctx)
{
    State& st = ctx.st;
    if (!PickWeekRange(ctx))
        return;
    const std::optional<std::vector<TPersonnelRecord>> cards = KeyedFile<PersonnelFile>(ctx).Read();
    if (!cards)
        return;
    const std::optional<std::vector<TPersonnelEntryRecord>> entries = LiveEntries(ctx);
    if (!entries)
        return;
    const bool everyDate = st.RangeStartWeek == QLatin1String("*");
    std::unordered_map<std::string, HourSums> byEmployee;
    for (const TPersonnelEntryRecord& e : *entries) {
        const QString date = e.Date.str();
        if (!everyDate && (date < st.RangeStartWeek || date > st.RangeEndWeek))
            continue;
        if (const std::optional<int> column = HourColumnOf(e))
            byEmployee[std::string(e.Matricula.bytes())][static_cast<std::size_t>(*column)] +=
                e.Minutes.get();
    }

    auto report = std::make_shared<ReportDocument>(QStringLiteral("INFORME HORAS DE PERSONAL"));
    report->saveSubFolder = QStringLiteral("\\Personal");
    report->SetTabStops({5, 40, 130, 220, 260, 300, 340, 380, 420, 460, 500});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(
        QStringLiteral("\tCodigo\tNOMBRE\tAPELLIDOS\tH Ext\tH EFest.\tH Noche.\tH ENoche\tH Vacac\tH "
                       "Perm\tH Baja\tH EComp"));
    report->SetStyle(FontStyle::Normal);
    const std::initializer_list<int> all = {kExtra,    kHolidayExtra, kNight, kNightExtra,
                                            kHolidays, kLeave,        kSick,  kCompensated};
    HourSums totals{};
    for (const TPersonnelRecord& person : *cards) {
        if (PersonnelFile::Deleted(person))
            continue;
        const auto found = byEmployee.find(std::string(person.Matricula.bytes()));
        const HourSums sums = found == byEmployee.end() ? HourSums{} : found->second;
        for (std::size_t i = 0; i < sums.size(); ++i)
            totals[i] += sums[i];
        report->AddLine(QLatin1Char('\t') + person.Matricula.str() + QLatin1Char('\t') + person.Nombre.str() +
                        QLatin1Char('\t') + person.Apellidos.str() + Columns(sums, all, HoursText));
    }
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tTiempos Acumulados \t\t") + Columns(totals, all, HoursText));
    report->AddLine(QStringLiteral("\tFECHA INICIO ") + st.RangeStartWeek +
                    QStringLiteral("    FECHA FINAL ") + st.RangeEndWeek);
    ctx.ui.ShowReport(report);
}

void PersonnelHoursRatios(Context& ctx)
{
    State& st = ctx.st;
    const QString employee =
        ctx.ui
            .InputBox(QStringLiteral("Horas de Personal"), QStringLiteral("INTRODUZCA Matricula Operario "),
                      QStringLiteral("*"))
            .left(6);
    const QString prompt = QString::fromUtf8("INTRODUZCA AÑO DE ANALISIS (") +
                           QString::number(kYearOffset + st.FirstYear) + QStringLiteral(" a ") +
                           QString::number(kYearOffset + st.LastYear) + QStringLiteral("):  ");
    const QString answer = ctx.ui.InputBox(QStringLiteral("HORAS DE PERSONAL"), prompt, st.YearText);
    // Years count from 2000, as the week codes do; none before the plan's first.
    std::int64_t year = ParseInt64(answer).value - kYearOffset;
    if (year < st.FirstYear)
        year = st.FirstYear;
    const QString fullYear = QString::number(kYearOffset + year);

    const std::optional<std::vector<TPersonnelEntryRecord>> entries = LiveEntries(ctx);
    if (!entries)
        return;
    std::array<HourSums, kGraphWeeks> weeks{};
    for (const TPersonnelEntryRecord& e : *entries) {
        const std::optional<WeekParts> date = ParseWeekCode(e.Date.bytes());
        if (!(employee == QLatin1String("*") || e.Matricula == employee) || !date || date->year != year % 100)
            continue;
        const std::optional<int> column = HourColumnOf(e);
        if (date->week >= kGraphWeeks || !column)
            continue;
        weeks[static_cast<std::size_t>(date->week)][static_cast<std::size_t>(*column)] += e.Minutes.get();
    }

    auto report = std::make_shared<ReportDocument>(QStringLiteral("HORAS DE PERSONAL"));
    report->saveSubFolder = QStringLiteral("\\Personal");
    report->SetTabStops({6, 65, 130, 195, 260, 325, 390, 455});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(
        QStringLiteral("\tSem/Año\tH Ext\tH EFest.\tHNoche\tH ENoche\tH Baja\tH Vac/Per\tH EComp"));
    report->SetStyle(FontStyle::Normal);
    HourSums totals{};
    std::vector<TWeekGraphRecord> graph(kGraphWeeks);
    for (int w = 0; w < kGraphWeeks; ++w) {
        HourSums& sums = weeks[static_cast<std::size_t>(w)];
        for (std::size_t i = 0; i < sums.size(); ++i)
            totals[i] += sums[i];
        // Holidays and leave share a column.
        sums[kHolidays] += sums[kLeave];
        report->AddLine(QStringLiteral("\t%1/").arg(w, 2, 10, QLatin1Char('0')) + fullYear +
                        Columns(sums,
                                {kExtra, kHolidayExtra, kNight, kNightExtra, kSick, kHolidays, kCompensated},
                                MinutesText));
        sums[kHolidays] -= sums[kLeave];
        TWeekGraphRecord& g = graph[static_cast<std::size_t>(w)];
        g.Value1 = sums[kExtra];
        g.Value2 = sums[kHolidayExtra];
        g.Value3 = sums[kNight];
        g.Value4 = sums[kNightExtra];
        g.Value5 = sums[kSick];
        g.Value6 = sums[kHolidays];
        g.Value7 = sums[kCompensated];
    }
    report->AddLine(QString(110, QLatin1Char('-')));
    report->SetStyle(FontStyle::Bold);
    HourSums shown = totals;
    shown[kHolidays] += shown[kLeave];
    report->AddLine(QStringLiteral("\tTotales:") +
                    Columns(shown,
                            {kExtra, kHolidayExtra, kNight, kNightExtra, kSick, kHolidays, kCompensated},
                            MinutesText));
    const std::int64_t overtime =
        totals[kExtra] + totals[kHolidayExtra] + totals[kNightExtra] + totals[kCompensated];
    report->AddLine(QStringLiteral("\tTotal Horas Extras :\t") + HoursText(overtime));

    // The graph shows the weekly averages over the 52 weeks of the year.
    auto average = [&](int column) { return totals[static_cast<std::size_t>(column)] / kWeeksPerYear; };
    const std::array<QString, 6> names{
        HoursText(average(kExtra)) + QStringLiteral(" H Extras"),
        HoursText(average(kHolidayExtra)) + QStringLiteral(" H Efest"),
        HoursText(average(kNight)) + QStringLiteral(" H Noct"),
        HoursText(average(kNightExtra)) + QStringLiteral(" H ENoct"),
        HoursText(average(kSick)) + QStringLiteral(" H Baja"),
        HoursText(average(kHolidays)) + QStringLiteral(" H Permisos"),
    };
    DrawWeeklyGraph(*report, st, QStringLiteral("HORAS DE PERSONAL ") + fullYear,
                    WeekGraphStyle::PersonnelHours, names, static_cast<std::uint32_t>(average(kExtra)),
                    graph);
    ctx.ui.ShowReport(report);
}

} // namespace gim
