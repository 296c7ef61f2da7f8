#include "preventive/preventive_ratios.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/record_file.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "platform/report.h"
#include "platform/week_graph.h"
#include "preventive/annual_plan.h"
#include "preventive/plan_control.h"
#include "preventive/revisions.h"
#include "records/cp1252.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <optional>

namespace gim {

namespace {

constexpr int kNameWidth = 34;
const QString kTitle = QStringLiteral("RATIOS DE MANTENIMIENTO");
const QString kLongRule = QStringLiteral("\t--------\t----------\t----------\t------------\t------------\t---"
                                         "---------\t------------\t------------");

// What the route control reads once per command: the machine file and the history index.
struct RouteControlSource
{
    RouteControlSource(Context& ctx, std::vector<TMachineRecord> all)
        : machines(std::move(all)), index(Revisions(ctx).RevisionList)
    {
    }
    std::vector<TMachineRecord> machines;
    RevisionIndex index;
};

void ReadRouteSource(Context& ctx, std::optional<RouteControlSource>& source)
{
    if (std::optional<std::vector<TMachineRecord>> machines = KeyedFile<MachineFile>(ctx).Read())
        source.emplace(ctx, std::move(*machines));
}

QString HoursAndMinutes(std::uint64_t minutes, const char* hours, const char* rest)
{
    return QString::number(minutes / 60) + QLatin1String(hours) + QString::number(minutes % 60) +
           QLatin1String(rest);
}

// A sum over the weeks divided by their number; nothing to average over an empty range.
std::uint64_t Mean(std::uint64_t sum, std::uint64_t weeks)
{
    return weeks == 0 ? 0 : sum / weeks;
}

std::uint32_t Clip32(std::uint64_t value)
{
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

// The route control of the week WorkWeek of WorkYear; with a report, its listing goes there.
void ControlRoutesWeek(Context& ctx, const RouteControlSource& source, ReportDocument* report)
{
    const State& st = ctx.st;
    const bool routes = st.ActionCode == QLatin1String("3");
    PlanControlState& f = PlanControl(ctx);
    f = PlanControlState{};
    const QString week = QString::number(st.WorkWeek);
    const QString year = QString::number(st.WorkYear + kYearOffset);
    if (report) {
        report->caption = QStringLiteral("HISTORIAL PREVENTIVO DE ") + st.CurrentEnvironment;
        report->SetTabStops({5, 60, 230, 248, 260, 280, 310, 333, 365, 405});
        report->SetFontSize(9);
        report->AddLine(QStringLiteral("\tCodig\t Nombre de la Máquina\tF\tE\tS\tAñ\tTE\tEjec\tComentarios"));
    }
    const int plannedWeek = AbsoluteWeek(st, st.WorkYear, st.WorkWeek);
    const QLatin1String listedState(routes ? "ER" : "E");
    for (const TMachineRecord& machine : source.machines) {
        // Any frequency counts here; only the machine and the week are looked for.
        const GamaExecution found =
            FindPlannedGamaExecution(ctx, source.index, {machine.Codigo.str(), QString(), plannedWeek, 0});
        if (found.executedTime == 0 && found.routeTime == 0)
            continue;
        ++f.GE;
        f.TE += routes ? found.routeTime : found.executedTime;
        f.RouteMinutes += found.routeTime;
        const TRevisionRecord& rec = found.revision;
        if (rec.State.str() != listedState)
            continue;
        ++f.ListedGamas;
        if (report)
            report->AddColumns({QString::number(f.ListedGamas), machine.Codigo.str(),
                                machine.Denominacion.str().left(kNameWidth), rec.Frequency.str(),
                                rec.State.str(), week, year,
                                QString::number(rec.Time.get() + found.routeTime), rec.Executor.str(),
                                rec.Comment.str()});
    }
    if (f.GE == 0)
        f.TE = 0;
    if (!report)
        return;
    report->AddLine(QStringLiteral("\t\tRESUMEN SEMANAL ") + week + QLatin1Char('/') + year);
    report->AddLine((routes ? QStringLiteral("\t\tMÁQUINAS DE LA RUTA EJECUTADAS:\t")
                            : QStringLiteral("\t\tGAMAS EJECUTADAS:\t")) +
                    QString::number(f.GE));
    report->AddLine(QStringLiteral("\t\tOcupación en RUTAS de MANTENIMIENTO en la SEMANA ; \t") +
                    HoursAndMinutes(f.RouteMinutes, " H ", " mn"));
    report->AddLine(QStringLiteral("\t\tTOTAL TIEMPO EJECUCION       TE :\t") +
                    HoursAndMinutes(f.TE, "Hrs. ", "Mn."));
}

// The sums over the range, in 64 bits: a year of a large plan holds more gamas than 16 bits count.
struct RatioSums
{
    std::uint64_t GE = 0;
    std::uint64_t GP = 0; // grows in mode "1" only
    std::uint64_t GP32 = 0;
    std::uint64_t TPS = 0;
    std::uint64_t TE = 0;
    std::uint64_t TPG = 0;
    std::uint64_t weeks = 0;
};

} // namespace

void ControlRoutes(Context& ctx)
{
    std::optional<RouteControlSource> source;
    ReadRouteSource(ctx, source);
    if (!source)
        return;
    std::shared_ptr<ReportDocument> report;
    if (ctx.st.SubCode != QLatin1String("R"))
        report = std::make_shared<ReportDocument>();
    ControlRoutesWeek(ctx, *source, report.get());
    if (report)
        ctx.ui.ShowReport(report);
}

void PreventiveRatios(Context& ctx)
{
    State& st = ctx.st;
    const bool planMode = st.ActionCode == QLatin1String("1");
    const bool routeMode = st.ActionCode == QLatin1String("3");
    const bool control = st.SubCode != QLatin1String("R");
    std::array<TWeekGraphRecord, kGraphWeeks> graph{};

    const int first =
        AskControlWeek(ctx, kTitle, QStringLiteral("SEMANA INICIAL (0 a 52)"), QStringLiteral("1"));
    const int last = AskControlWeek(ctx, kTitle, QStringLiteral("SEMANA FINAL (0 a 52)"), st.WeekText);
    AskControlYear(ctx, kTitle);
    const int start = std::min(AbsoluteWeek(st, st.WorkYear, first), static_cast<int>(st.PlanWeeks));
    const int end = std::min(AbsoluteWeek(st, st.WorkYear, last), static_cast<int>(st.PlanWeeks));

    auto report = std::make_shared<ReportDocument>(QStringLiteral("HISTORIAL"));
    if (planMode) {
        report->AddLine(QStringLiteral("\t\tPLAN\tGAMAS\tRATIO %\tTIEMPO\tTIEMPO\tTIEMPO %\tTIEMPO %"));
        report->AddLine(
            QStringLiteral("\tSEM\tGAMAS\tEJECUT\tEJECUT\tPREVISTO\tREAL GM\tEjec/Plan\tEjec/Gama"));
        report->AddLine(kLongRule);
    } else {
        report->AddLine(QStringLiteral("\t\tGAMAS\tTIEMPO"));
        report->AddLine(QStringLiteral("\tSEM\tEJECUT\tREAL"));
        report->AddLine(QStringLiteral("\t--------\t----------\t----------\t------------\t------------"));
    }

    // The plan, the machines, the gama times and the history index are read once for the whole range.
    LoadRevisionList(ctx);
    std::optional<PlanControlSource> planSource;
    std::optional<RouteControlSource> routeSource;
    if (planMode) {
        if (std::optional<std::vector<TPlanRecord>> plan = KeyedFile<PlanFile>(ctx).Read())
            planSource.emplace(ctx, *plan, QStringLiteral("*"));
    } else {
        ReadRouteSource(ctx, routeSource);
    }

    RatioSums sum;
    QStringList weekLines;
    const PlanControlState& f = PlanControl(ctx);
    {
        const ProgressScope progress(ctx, QStringLiteral("AVANCE CARGA DE DATOS HISTORIAL PREVENTIVO"),
                                     std::max(0, end - start + 1));
        for (int index = start; index <= end; ++index) {
            SetWorkWeek(st, index);
            if (planSource)
                ControlPlanWeek(ctx, *planSource);
            else if (routeSource)
                ControlRoutesWeek(ctx, *routeSource, control ? report.get() : nullptr);
            else
                PlanControl(ctx) = PlanControlState{};

            TWeekGraphRecord& point = graph[st.WorkWeek];
            QString line = QLatin1Char('\t') + QString::number(st.WorkWeek) + QLatin1Char('/') +
                           QString::number(st.WorkYear + kYearOffset) + QLatin1Char('\t');
            if (planMode) {
                const std::uint32_t executedRatio = Pct(f.GE, f.GP);
                const std::uint32_t planRatio = Pct(f.TE, f.TPS);
                const std::uint32_t gamaRatio = Pct(f.TE, f.TPG);
                line += QString::number(f.GP) + QLatin1Char('\t') + QString::number(f.GE) +
                        QLatin1Char('\t') + QString::number(executedRatio) + QLatin1Char('\t') +
                        HoursAndMinutes(f.TPS, "h ", "m ") + QLatin1Char('\t') +
                        HoursAndMinutes(f.TE, "h ", "m ") + QLatin1Char('\t') + QString::number(planRatio) +
                        QLatin1Char('\t') + QString::number(gamaRatio);
                sum.GP += f.GP;
                point.Value2 = executedRatio;
                point.Value3 = gamaRatio;
                point.Value4 = planRatio;
                point.Value5 = f.GP; // the gamas the control walked
            } else {
                line += QString::number(f.GE) + QLatin1Char('\t') + HoursAndMinutes(f.TE, "h ", "m ");
                point.Value2 = f.GE;
                point.Value4 = f.TE;
                point.Value5 = f.ListedGamas;
            }
            point.Value6 = f.GE;
            sum.GE += f.GE;
            sum.GP32 += f.GP;
            sum.TPS += f.TPS;
            sum.TE += f.TE;
            sum.TPG += f.TPG;
            ++sum.weeks;
            report->AddLine(line);
            weekLines << line;
            ctx.ui.SetProgress(index - start + 1);
        }
    }

    // The averages divide by the sums themselves; a range with nothing programmed averages the executed
    // gamas per week.
    const std::uint64_t n = sum.weeks;
    const std::uint64_t meanExecuted = sum.GP > 0 ? sum.GE * 100 / sum.GP : Mean(sum.GE, n);
    const std::uint64_t meanTime = Mean(sum.TE, n);
    if (planMode) {
        const std::uint64_t meanPlan = sum.TPS > 0 ? sum.TE * 100 / sum.TPS : 0;
        const std::uint64_t meanGama = sum.TPG > 0 ? sum.TE * 100 / sum.TPG : 0;
        report->AddLine(kLongRule);
        report->AddLine(QStringLiteral("\tMEDIAS:\t") + QString::number(Mean(sum.GP32, n)) +
                        QLatin1Char('\t') + QString::number(Mean(sum.GE, n)) + QLatin1Char('\t') +
                        QString::number(meanExecuted) + QStringLiteral("%      \t") +
                        HoursAndMinutes(Mean(sum.TPS, n), "h ", "m") + QLatin1Char('\t') +
                        HoursAndMinutes(meanTime, "h ", "m") + QLatin1Char('\t') + QString::number(meanPlan) +
                        QStringLiteral(" %\t") + QString::number(meanGama) + QStringLiteral(" %"));
        report->AddLine(QStringLiteral("\tTiempo Total Ejecución Preventivos:\t") +
                        HoursAndMinutes(sum.TE, " h ", " m"));
        DrawWeeklyGraph(
            *report, st, QStringLiteral("RATIOS MANTENIMIENTO PREVENTIVO PLANIFICADO"),
            WeekGraphStyle::PreventiveRatios,
            {QStringLiteral(" "),
             QStringLiteral("Ejec/Planif ") + QString::number(meanExecuted) + QStringLiteral(" %"),
             QStringLiteral("T.Ejec/T.Gama ") + QString::number(meanGama) + QStringLiteral(" % "),
             QStringLiteral("T.Ejec/T.Plan Sem ") + QString::number(meanPlan) + QStringLiteral(" %"),
             QStringLiteral("Nº Gamas Program"), QStringLiteral("Nº Gamas Ejecut ")},
            100, graph);
        ShowPieChart(*report, st, QStringLiteral("MANTENIMIENTO PREVENTIVO PLANIFICADO "),
                     {QStringLiteral("Nº Gamas Programadas"), QStringLiteral("Nº Gamas Ejecutadas"),
                      QStringLiteral("Nº Gamas Pendientes "), QStringLiteral(" "), QStringLiteral(" "),
                      QStringLiteral(" ")},
                     {Clip32(sum.GP), Clip32(sum.GE), Clip32(sum.GP - std::min(sum.GE, sum.GP)), 0, 0, 0});
    } else {
        report->AddLine(QStringLiteral("\tMEDIAS:\t") + QString::number(Mean(sum.GE, n)) + QLatin1Char('\t') +
                        HoursAndMinutes(meanTime, " h ", " m"));
        report->AddLine(QStringLiteral("\tTiempo Total Ejecución Preventivos:\t") +
                        HoursAndMinutes(sum.TE, " h ", " m"));
        // The counts take the time scale: a week of average executions reaches the average time.
        if (sum.GE > 0)
            for (TWeekGraphRecord& point : graph)
                point.Value2 = point.Value2.get() * static_cast<std::int64_t>(sum.TE / sum.GE);
        const std::array<QString, 6> names =
            routeMode
                ? std::array<QString, 6>{QString::number(meanExecuted), QStringLiteral("Nº Ejecuciones"),
                                         QStringLiteral(" "),           QStringLiteral("T.Ejecución "),
                                         QStringLiteral(" "),           QStringLiteral(" ")}
                : std::array<QString, 6>{QStringLiteral(" "),
                                         QStringLiteral(" "),
                                         QStringLiteral(" "),
                                         QStringLiteral("T.Ejec Sem ") +
                                             MinutesToHoursText(static_cast<int>(std::min<std::uint64_t>(
                                                 meanTime, std::numeric_limits<int>::max()))),
                                         QStringLiteral(" "),
                                         QStringLiteral("Nº Gamas Ejecut")};
        DrawWeeklyGraph(*report, st,
                        routeMode ? QStringLiteral("EVOLUCION MANTENIMIENTO PREVENTIVO RUTAS")
                                  : QStringLiteral("RATIOS MANTENIMIENTO PREVENTIVO SEMANAL"),
                        WeekGraphStyle::Plain, names, Clip32(meanTime), graph);
    }

    // The week lines again, as plain text for whoever takes them on.
    ReplaceDataFile(ctx, st.CurrentEnvironment + QStringLiteral(".rtf"), ToCp1252Lines(weekLines));
    ctx.ui.ShowReport(report);
}

} // namespace gim
