#include "corrective/breakdown_reports.h"

#include "core/context.h"
#include "core/date_range.h"
#include "core/lookups.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/breakdown_card.h"
#include "corrective/breakdowns.h"
#include "masterdata/machines.h"
#include "platform/date_text.h"
#include "platform/handover.h"
#include "platform/report.h"

#include <QDate>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>

namespace gim {

namespace {

const QString kTypePrompt = QStringLiteral("INTRODUCIR CODIGO TIPO DE AVERIA (X)");

// A text filter: "*", or the start of the field.
template <std::size_t N, std::size_t M>
bool PrefixMatches(const ShortString<N>& filter, const ShortString<M>& field)
{
    if (filter == "*")
        return true;
    return field.bytes().substr(0, filter.size()) == filter.bytes();
}

QString HoursAndMinutes(std::int64_t minutes)
{
    return QString::number(minutes / 60) + QStringLiteral(" h ") + QString::number(minutes % 60) +
           QStringLiteral(" m");
}

QString Number(std::int64_t n)
{
    return QString::number(n);
}

} // namespace

void BreakdownReport(Context& ctx)
{
    State& st = ctx.st;
    BreakdownsState& b = Breakdowns(ctx);
    if (!PickWeekRange(ctx))
        return;
    const QDate start = st.RangeStartDate.date();
    const QDate end = st.RangeEndDate.date();
    const WeekParts from = WeekPartsOf(start);
    const WeekParts to = WeekPartsOf(end);
    const std::int64_t firstWeek = AbsoluteWeek(st, from.year, from.week);
    const std::int64_t lastWeek = AbsoluteWeek(st, to.year, to.week);
    const std::int64_t days = (8 - from.weekday) + to.weekday + 7 * (lastWeek - firstWeek - 1);
    const std::int64_t weeks = lastWeek - firstWeek + 1;
    const int anyWeek = (static_cast<int>(st.LastYear) - static_cast<int>(st.FirstYear)) * kWeeksPerYear;

    TBreakdownRecord filter{};
    filter.Week = static_cast<std::uint16_t>(from.week);
    st.WorkYear = static_cast<std::uint16_t>(from.year);
    filter.Type = "*";
    if (st.ActionCode == QLatin1String("4")) {
        filter.Type =
            ctx.ui.InputBox(QStringLiteral("CONSULTA AVERIAS DE MAQUINAS"), kTypePrompt, QStringLiteral("*"));
        filter.Week = static_cast<std::uint16_t>(anyWeek);
    }
    filter.Code = "*";
    filter.Officer = "*";
    filter.Day = "*";
    filter.Shift = "*";
    filter.ProductionOperator = "*";
    filter.Operators = 1;
    if (ShowBreakdownSearchCard(ctx, filter) != CardResult::Save)
        return;

    const MachineIndex names(ctx, Report::Silent);
    auto report = std::make_shared<ReportDocument>(QStringLiteral("AVERIAS"));
    report->SetTabStops({6, 60, 180, 195, 210, 230, 260, 290, 320, 370, 450, 490});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(
        QString::fromUtf8("\tCodigo\t    Nombre Máquina  \tD\tT\tE\tP\tI\tA\tOp\tMd\tS/Añ\tDescripción"));
    report->SetStyle(FontStyle::Normal);

    std::int64_t stopTotal = 0;
    std::int64_t delayTotal = 0;
    std::int64_t interventionTotal = 0;
    std::int64_t count = 0;
    std::array<TWeekGraphRecord, 53> graph{};
    ReportLineText line;
    for (const BreakdownEntry& e : b.BreakdownList) {
        const TBreakdownRecord& r = e.rec;
        if (!(filter.Code == "*") && !(filter.Code == r.Code))
            continue;
        const bool inRange = r.Week.get() >= filter.Week.get() && r.Week.get() <= lastWeek;
        if (!inRange && filter.Week.get() != anyWeek)
            continue;
        if (!PrefixMatches(filter.Type, r.Type) || !PrefixMatches(filter.Officer, r.Officer) ||
            !PrefixMatches(filter.ProductionOperator, r.ProductionOperator) ||
            !PrefixMatches(filter.Day, r.Day) || !PrefixMatches(filter.Shift, r.Shift))
            continue;
        if (r.Stop.get() < filter.Stop.get() || r.Delay.get() < filter.Delay.get() ||
            r.Intervention.get() < filter.Intervention.get())
            continue;
        stopTotal += r.Stop.get();
        delayTotal += r.Delay.get();
        interventionTotal += r.Intervention.get();
        ++count;
        SetWorkWeek(st, r.Week.get());
        line.Tab() << r.Code;
        line.Tab() << names.Find(r.Code).Denominacion;
        line.Tab() << r.Day;
        line.Tab() << r.Shift;
        line.Tab() << r.Type;
        line.Tab() << r.Stop.get();
        line.Tab() << r.Intervention.get();
        line.Tab() << r.Delay.get();
        line.Tab() << r.Officer;
        line.Tab() << r.NoticeTime;
        line.Tab() << st.WorkWeek << QLatin1Char('/') << st.WorkYear;
        line.Tab() << r.Description;
        line.AddTo(*report);
        TWeekGraphRecord& week = graph[st.WorkWeek];
        week.Value2 = week.Value2.get() + r.Delay.get();
        week.Value3 = week.Value3.get() + r.Stop.get();
        week.Value4 = week.Value4.get() + r.Intervention.get();
        week.Value5 = week.Value5.get() + 1;
    }

    const QString indent = QStringLiteral("\t                    ");
    report->AddLine(QStringLiteral("\r"));
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\t     EJERCICIO ") + QString::number(start.year()));
    report->AddLine(indent + QStringLiteral("SEMANA/PERIODO                     : ") +
                    FormatDateRange(start, end));
    report->AddLine(indent + QStringLiteral("NUMERO DE AVERIAS                : ") + Number(count));
    if (count > 0) {
        report->AddLine(indent + QString::fromUtf8("TOTAL TIEMPO INTERVENCIÓN: ") +
                        HoursAndMinutes(interventionTotal) +
                        QString::fromUtf8("\tTIEMPO MEDIO INTERVENCION POR AVERÍA :\t") +
                        Number(interventionTotal / count) + QStringLiteral(" m"));
        report->AddLine(indent + QStringLiteral("TOTAL TIEMPO PARO                : ") +
                        HoursAndMinutes(stopTotal) + QString::fromUtf8("\tTIEMPO MEDIO PARO POR AVERÍA :\t") +
                        Number(stopTotal / count) + QStringLiteral(" m"));
        report->AddLine(indent + QStringLiteral("TOTAL TIEMPO ATRASO            : ") +
                        HoursAndMinutes(delayTotal) +
                        QString::fromUtf8("\tTIEMPO MEDIO ATRASO POR AVERÍA :\t") +
                        Number(delayTotal / count) + QStringLiteral(" m"));
    }
    if (stopTotal > 0 && delayTotal > 0)
        report->AddLine(indent + QStringLiteral("RATIO TA/TP                              : ") +
                        Number(delayTotal * 100 / stopTotal) + QStringLiteral(" %"));
    // A range that ends before it starts has no days to measure against.
    if (days > 0 && !(filter.Code == "*"))
        report->AddLine(indent + QStringLiteral("DISPONIBILIDAD                       : ") +
                        Number((1440 * days - stopTotal) * 100 / (1440 * days)) + QStringLiteral(" %"));
    if (days > 0 && count > 0)
        report->AddLine(indent + QStringLiteral("FIABILIDAD  (MTBF)                   : ") +
                        Number(24 * days / count) + QStringLiteral("  Horas"));
    report->SetStyle(FontStyle::Normal);

    if (weeks > 1 && count > 0) {
        const std::array<QString, 6> series{QStringLiteral(" "),
                                            QStringLiteral("T Atraso ") + Number(delayTotal / count),
                                            QStringLiteral("T Paro ") + Number(stopTotal / count),
                                            QString::fromUtf8("T Intervención ") +
                                                Number(interventionTotal / count),
                                            QString::fromUtf8("Averías/Semana ") + Number(count / weeks),
                                            QStringLiteral(" ")};
        DrawWeeklyGraph(*report, st,
                        QString::fromUtf8("TIEMPOS AVERÍAS SEMANALES ") + Number(st.WorkYear + kYearOffset),
                        WeekGraphStyle::BreakdownTimes, series,
                        static_cast<std::uint32_t>(interventionTotal / ((weeks % kWeeksPerYear) + 1)), graph);
        const std::array<QString, 6> slices{
            QStringLiteral("T Atraso  ") + MinutesToHoursText(static_cast<int>(delayTotal)),
            QStringLiteral("T Paro  ") + MinutesToHoursText(static_cast<int>(stopTotal)),
            QString::fromUtf8("T Intervención  ") + MinutesToHoursText(static_cast<int>(interventionTotal)),
            QStringLiteral(" "),
            QStringLiteral(" "),
            QStringLiteral(" ")};
        ShowPieChart(*report, st, QString::fromUtf8("TIEMPOS AVERÍAS SEMANALES "), slices,
                     {static_cast<std::uint32_t>(delayTotal), static_cast<std::uint32_t>(stopTotal),
                      static_cast<std::uint32_t>(interventionTotal), 0, 0, 0});
    }
    st.CurrentSubFolder = QStringLiteral("\\Averias");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void RepetitiveBreakdownReport(Context& ctx)
{
    State& st = ctx.st;
    LoadBreakdownList(ctx);
    const QString title = QStringLiteral("AVERIAS REPETITIVAS DE MAQUINAS");
    const QString type = ctx.ui.InputBox(title, kTypePrompt, QStringLiteral("*")).left(2);
    const std::int64_t week =
        ParseInt64(
            ctx.ui.InputBox(title, QStringLiteral("INTRODUCIR Semana Inicio Control"), QStringLiteral("0")))
            .value;
    const std::int64_t year =
        ParseInt64(ctx.ui.InputBox(title, QString::fromUtf8("INTRODUCIR Año Inicio Control"),
                                   QString::number(ctx.clock.Now().date().year())))
            .value;
    const std::int64_t startWeek = week + (year - kYearOffset - st.FirstYear) * kWeeksPerYear;

    // Sums per machine code; 32 bits at least, as many breakdowns add up past a 16-bit word.
    struct Sums
    {
        std::int64_t intervention = 0;
        std::int64_t stop = 0;
        std::int64_t count = 0;
    };
    std::map<std::string, Sums> byMachine;
    const std::string wantedType = type.isEmpty() ? std::string() : ToCp1252(type.left(1));
    for (const BreakdownEntry& e : Breakdowns(ctx).BreakdownList) {
        const TBreakdownRecord& r = e.rec;
        if (r.Week.get() < startWeek)
            continue;
        if (type != QLatin1String("*") && r.Type.bytes().substr(0, 1) != wantedType)
            continue;
        Sums& s = byMachine[std::string(r.Code.bytes())];
        s.intervention += r.Intervention.get();
        s.stop += r.Stop.get();
        ++s.count;
    }

    struct Ranked
    {
        const TMachineRecord* machine;
        Sums sums;
    };
    const MachineIndex names(ctx, Report::Silent);
    std::vector<Ranked> ranking;
    for (const TMachineRecord& m : names.All()) {
        const auto found = byMachine.find(std::string(m.Codigo.bytes()));
        if (found != byMachine.end() && found->second.intervention != 0)
            ranking.push_back({&m, found->second});
    }
    // Descending by intervention; equal sums keep the register's order.
    OrderAsInserted(
        ranking, [](const Ranked& a, const Ranked& b) { return a.sums.intervention > b.sums.intervention; });

    auto report = std::make_shared<ReportDocument>(QStringLiteral("AVERIAS"));
    report->SetTabStops({6, 60, 200, 280, 360, 410});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QString::fromUtf8("             HISTORIAL DE AVERÍAS  "));
    report->AddLine(
        QString::fromUtf8("\tCodigo\tNombre Máquina\tT.Intervención\tT.Paro Maquina\tNºInter\tT.medio Int."));
    report->SetStyle(FontStyle::Normal);
    for (const Ranked& r : ranking) {
        const Sums& s = r.sums;
        report->AddLine(QLatin1Char('\t') + r.machine->Codigo.str() + QLatin1Char('\t') +
                        r.machine->Denominacion.str() + QLatin1Char('\t') + Number(s.intervention / 60) +
                        QStringLiteral(" Hr ") + Number(s.intervention % 60) + QStringLiteral(" Mn\t") +
                        Number(s.stop / 60) + QStringLiteral(" Hr ") + Number(s.stop % 60) +
                        QStringLiteral(" Mn\t") + Number(s.count) + QLatin1Char('\t') +
                        Number(s.intervention / s.count));
    }
    report->AddLine(QString::fromUtf8("\tValores acumulados de averías desde la semana: ") +
                    Number(WeekOfYearIndex(startWeek)) + QLatin1Char('/') + Number(year));
    ctx.ui.ShowReport(report);
}

void RegisterBreakdownHandover(Context& ctx, HandoverRegistry& handover)
{
    // The breakdown listing's columns; the day and the week are emptied, the operators not taken.
    HandoverMap& map = handover.Map(EditItem::Averias);
    map.fields = {{1, "Code", 8},
                  {4, "Shift", 2},
                  {5, "Type", 2},
                  {6, "Stop", kNumberText},
                  {7, "Intervention", kNumberText},
                  {8, "Delay", kNumberText},
                  {9, "Officer", 14},
                  {10, "NoticeTime", 14},
                  {12, "Description", 130}};
    map.alsoCleared = {"Day", "Week"};
    map.clearedOnOpen = {"Code", "Description"};
    handover.SetDeliver(EditItem::Averias, [&ctx](const HandoverFields& fields) {
        TBreakdownRecord& input = Breakdowns(ctx).BreakdownInput;
        auto word = [](const QString& text) { return static_cast<std::uint16_t>(ParseInt64(text).value); };
        for (const auto& [name, value] : fields) {
            if (name == QLatin1String("Code"))
                input.Code = value;
            else if (name == QLatin1String("Shift"))
                input.Shift = value;
            else if (name == QLatin1String("Type"))
                input.Type = value;
            else if (name == QLatin1String("Stop"))
                input.Stop = word(value);
            else if (name == QLatin1String("Intervention"))
                input.Intervention = word(value);
            else if (name == QLatin1String("Delay"))
                input.Delay = word(value);
            else if (name == QLatin1String("Officer"))
                input.Officer = value;
            else if (name == QLatin1String("NoticeTime"))
                input.NoticeTime = value;
            else if (name == QLatin1String("Description"))
                input.Description = value;
            else if (name == QLatin1String("Day"))
                input.Day = value;
            else if (name == QLatin1String("Week"))
                input.Week = word(value);
        }
    });
    handover.SetClear(EditItem::Averias, [&ctx](const QStringList& names) {
        TBreakdownRecord& input = Breakdowns(ctx).BreakdownInput;
        if (names.contains(QLatin1String("Code")))
            input.Code = "";
        if (names.contains(QLatin1String("Description")))
            input.Description = "";
    });
}

} // namespace gim
