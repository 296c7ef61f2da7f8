#include "corrective/corrective_ratios.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/field_rules.h"
#include "core/record_file.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/planned_repair_reports.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "platform/report.h"
#include "platform/week_graph.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace gim {

namespace {

const QString kAskTitle = QStringLiteral("REPARACIONES Y REFORMAS");

// The year of the analysis, since 2000, inside the plan's horizon: a year after it (or no number) is
// the first plan year, and so is a year before it, whose weeks the plan does not index.
int AskAnalysisYear(Context& ctx)
{
    const State& st = ctx.st;
    const std::optional<std::int64_t> typed = WholeOfText(
        ctx.ui.InputBox(kAskTitle, QString::fromUtf8("INTRODUZCA AÑO DE ANALISIS "), st.YearText));
    if (!typed)
        return st.FirstYear;
    const std::int64_t year = *typed - kYearOffset;
    if (year > st.LastYear || year < st.FirstYear)
        return st.FirstYear;
    return static_cast<int>(year);
}

QString Number(std::int64_t n)
{
    return QString::number(n);
}

QString HoursText(std::int64_t minutes)
{
    return MinutesToHoursText(static_cast<int>(
        std::clamp<std::int64_t>(minutes, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}

std::int64_t Mean(std::int64_t sum, std::int64_t count)
{
    return count == 0 ? 0 : sum / count;
}

std::uint32_t Clip32(std::int64_t value)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

// One week of the work-order evolution.
struct OrderCounts
{
    std::int64_t opened = 0;
    std::int64_t pending = 0;
    std::int64_t inProgress = 0;
    std::int64_t annulled = 0;
    std::int64_t executed = 0;
};

// The week of the chosen year a notice date ("yy/ww/d") falls in, 0 to 52; nothing for another year, an
// empty date or a text that is no week code.
std::optional<int> NoticeWeek(const QString& noticeDate, int year)
{
    const std::optional<WeekParts> code = ParseWeekCode(noticeDate);
    if (!code || code->year != year || code->week >= kGraphWeeks)
        return std::nullopt;
    return code->week;
}

} // namespace

std::optional<TAgendaRecord> ReadAgendaWeek(const std::vector<TAgendaRecord>& agenda, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= agenda.size())
        return std::nullopt;
    return agenda[static_cast<std::size_t>(index)];
}

std::int64_t AgendaCapacity(const TAgendaRecord& week)
{
    return static_cast<std::int16_t>(week.FreeMinutes.get()) + std::int64_t{week.PlannedMinutes.get()};
}

void RepairRatios(Context& ctx)
{
    State& st = ctx.st;
    const int year = AskAnalysisYear(ctx);
    const int last =
        std::min(kWeeksPerYear + (year - st.FirstYear) * kWeeksPerYear, static_cast<int>(st.PlanWeeks) - 1);

    auto report = std::make_shared<ReportDocument>(QStringLiteral("REPARACIONES"));
    report->SetTabStops({6, 80, 180, 280, 380});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tSem/Año\tT Reparaciones\tT Preventivo\tRATIO"));
    report->SetStyle(FontStyle::Normal);

    // The agenda and the repairs are read once; each week then takes its own entries. A missing agenda
    // gives every week no capacity rather than the capacity of an earlier week.
    const QString agendaName = st.FileName(DataFile::Agenda);
    const std::vector<TAgendaRecord> agenda =
        DataFileExists(ctx, agendaName) ? ReadRecords<TAgendaRecord>(ctx, agendaName, Report::Silent)
                                              .value_or(std::vector<TAgendaRecord>{})
                                        : std::vector<TAgendaRecord>{};
    KeyedFile<PlannedRepairFile> repairs(ctx);
    const std::vector<RepairWeekSums> sums = SumRepairWeeks(
        ctx,
        repairs.Exists() ? repairs.Read(Report::Silent).value_or(std::vector<TPlannedRepairRecord>{})
                         : std::vector<TPlannedRepairRecord>{},
        last + 1);

    std::array<TWeekGraphRecord, kGraphWeeks> graph{};
    std::int64_t totalRepairs = 0;
    std::int64_t repairWeeks = 0;
    std::int64_t totalRatios = 0;
    std::int64_t ratioWeeks = 0;
    RepairWeekSums ages;
    {
        const ProgressScope progress(
            ctx, QStringLiteral("AVANCE CARGA DE DATOS HISTORIAL REPARACIONES PROGRAMADAS"),
            std::max(0, last));
        for (int w = 0; w <= last; ++w) {
            const std::optional<TAgendaRecord> week = ReadAgendaWeek(agenda, w);
            const std::int64_t capacity = week ? AgendaCapacity(*week) : 0;
            const std::int64_t planned = week ? week->PlannedMinutes.get() : 0;
            SetWorkWeek(st, w);
            const RepairWeekSums& found = sums[static_cast<std::size_t>(w)];
            const std::int64_t repaired = found.minutes;
            ages.pendingAges += found.pendingAges;
            ages.pendingCount += found.pendingCount;
            ages.materialAges += found.materialAges;
            ages.materialCount += found.materialCount;

            // A week without capacity has no ratio: it shows 0 and stays out of the mean ratio.
            const std::int64_t ratio = capacity > 0 ? repaired * 100 / capacity : 0;
            if (repaired > 0) {
                ++repairWeeks;
                totalRepairs += repaired;
                if (capacity > 0) {
                    ++ratioWeeks;
                    totalRatios += ratio;
                }
            }
            report->AddLine(QLatin1Char('\t') + Number(st.WorkWeek) + QLatin1Char('/') +
                            Number(st.WorkYear + kYearOffset) + QLatin1Char('\t') + HoursText(repaired) +
                            QLatin1Char('\t') + HoursText(planned) + QLatin1Char('\t') + Number(ratio) +
                            QLatin1Char('%'));
            TWeekGraphRecord& point = graph[st.WorkWeek];
            point.Value3 = planned;
            point.Value4 = repaired;
            ctx.ui.SetProgress(w);
        }
    }

    for (TWeekGraphRecord& point : graph)
        for (int k = 1; k <= 6; ++k)
            point.Value(k) = point.Value(k).get() / 2;

    const std::int64_t meanRepairs = Mean(totalRepairs, repairWeeks);
    report->AddLine(QStringLiteral("\t------------\t------------\t------------\t--------"));
    report->AddLine(QStringLiteral("\tMEDIAS:\t") + Number(meanRepairs / 60) + QStringLiteral("h ") +
                    Number(meanRepairs % 60) + QStringLiteral("m\t\t") +
                    Number(Mean(totalRatios, ratioWeeks)) + QLatin1Char('%'));
    AddAgeRatioLine(*report, QStringLiteral("\tRatio de control Pendientes Mano Obra : "), ages.pendingAges,
                    ages.pendingCount);
    AddAgeRatioLine(*report, QStringLiteral("\tRatio de control Materiales Pendientes  : "),
                    ages.materialAges, ages.materialCount);
    report->SetColour(kReportBlack);

    DrawWeeklyGraph(*report, st, QStringLiteral("REPARACIONES PROGRAMADAS "), WeekGraphStyle::Plain,
                    {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("Preventivo Planif "),
                     QStringLiteral("Reparaciones "), QStringLiteral(" "), QStringLiteral(" ")},
                    Clip32(meanRepairs), graph);
    ctx.ui.ShowReport(report);
}

void WorkOrderRatios(Context& ctx)
{
    State& st = ctx.st;
    const int year = AskAnalysisYear(ctx);

    auto report = std::make_shared<ReportDocument>(QStringLiteral("ORDENES DE TRABAJO"));
    report->SetTabStops({6, 80, 180, 280, 380, 480});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QLatin1Char('\t') + st.CurrentEnvironment +
                    QLatin1Char('\t') + st.TodayText);
    report->AddLine(QString::fromUtf8(
        "\tSem/Año\tNº OT ABIERTAS\tNº OT PENDIENTES\tNº OT EN TRAMITE\tNº OT ANULADAS\tNº OT EJECUTADAS"));
    report->SetStyle(FontStyle::Normal);

    // One pass over the orders files them under the week of their notice; a missing file counts none.
    std::array<OrderCounts, kGraphWeeks> weeks{};
    const KeyedFile<WorkOrderFile> file(ctx);
    const std::vector<TWorkOrderRecord> orders =
        file.Exists() ? file.Read(Report::Silent).value_or(std::vector<TWorkOrderRecord>{})
                      : std::vector<TWorkOrderRecord>{};
    for (const TWorkOrderRecord& order : orders) {
        const std::optional<int> week = NoticeWeek(order.NoticeDate.str(), year);
        if (!week)
            continue;
        OrderCounts& c = weeks[static_cast<std::size_t>(*week)];
        ++c.opened;
        if (order.State == "P")
            ++c.pending;
        else if (order.State == "T")
            ++c.inProgress;
        else if (order.State == "A")
            ++c.annulled;
        else if (order.State == "E")
            ++c.executed;
    }

    const QChar tab = QLatin1Char('\t');
    auto counts = [&](const OrderCounts& c) {
        return Number(c.opened) + tab + Number(c.pending) + tab + Number(c.inProgress) + tab +
               Number(c.annulled) + tab + Number(c.executed);
    };
    OrderCounts total;
    std::int64_t weeksWithOrders = 0;
    std::array<TWeekGraphRecord, kGraphWeeks> graph{};
    for (int w = 0; w < kGraphWeeks; ++w) {
        const OrderCounts& c = weeks[static_cast<std::size_t>(w)];
        report->AddLine(tab + Number(w) + QStringLiteral(" / ") + Number(year) + tab + counts(c));
        total.opened += c.opened;
        total.pending += c.pending;
        total.inProgress += c.inProgress;
        total.annulled += c.annulled;
        total.executed += c.executed;
        if (c.opened > 0)
            ++weeksWithOrders;
        TWeekGraphRecord& point = graph[static_cast<std::size_t>(w)];
        point.Value1 = c.opened;
        point.Value2 = c.inProgress;
        point.Value3 = c.executed;
        point.Value4 = c.pending;
        point.Value5 = c.annulled;
    }
    report->AddLine(
        QStringLiteral("\t----------\t----------\t----------\t----------\t----------\t----------"));
    report->AddLine(QStringLiteral("\tAcumulados:\t") + counts(total));
    if (total.opened != 0) {
        const std::int64_t o = total.opened;
        // The executed share keeps two decimals, a leading zero included ("5,05", not "5,5").
        const std::int64_t decimals = (total.executed * 100 % o) * 100 / o;
        report->AddLine(QStringLiteral("\tRatio OT %:\t\t") + Number(total.pending * 100 / o) + tab +
                        Number(total.inProgress * 100 / o) + tab + Number(total.annulled * 100 / o) + tab +
                        Number(total.executed * 100 / o) + QLatin1Char(',') +
                        QStringLiteral("%1").arg(decimals, 2, 10, QLatin1Char('0')) + QStringLiteral(" %"));
    }

    if (weeksWithOrders > 0) {
        DrawWeeklyGraph(*report, st, QString::fromUtf8("EVOLUCIÓN ORDENES DE TRABAJO ") + Number(year),
                        WeekGraphStyle::Plain,
                        {QStringLiteral("OT Abiertas"), QStringLiteral("OT Tramite "),
                         QStringLiteral(" OT Cerradas"), QStringLiteral(" OT Pendientes"),
                         QStringLiteral("OT Anuladas "), QStringLiteral(" ")},
                        Clip32(total.opened / weeksWithOrders), graph);
        ShowPieChart(*report, st, QString::fromUtf8("EVOLUCIÓN ORDENES DE TRABAJO "),
                     {QStringLiteral("OT ABIERTAS"), QStringLiteral("OT PENDIENTES"),
                      QStringLiteral("OT EN TRAMITE"), QStringLiteral("OT ANULADAS"),
                      QStringLiteral("OT EJECUTADAS"), QStringLiteral(" ")},
                     {Clip32(total.opened), Clip32(total.pending), Clip32(total.inProgress),
                      Clip32(total.annulled), Clip32(total.executed), 0});
    }
    ctx.ui.ShowReport(report);
}

} // namespace gim
