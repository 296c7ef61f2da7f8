#include "workreports/machine_cost_report.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/date_range.h"
#include "core/field_rules.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "platform/report.h"
#include "platform/week_graph.h"
#include "workreports/budgets.h"
#include "workreports/machine_costs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <unordered_map>

namespace gim {

namespace {

constexpr int kPeriods = 13;
constexpr int kPeriodWeeks = 4;
const QString kCostsTitle = QStringLiteral("COSTES DE MAQUINAS");

// Kinds that carry minutes, in the order of their sums.
enum Slot { kC, kP, kR, kV, kD, kF, kSlots };

std::optional<Slot> SlotOf(char kind)
{
    switch (kind) {
    case 'C':
        return kC;
    case 'P':
        return kP;
    case 'R':
        return kR;
    case 'V':
        return kV;
    case 'D':
        return kD;
    case 'F':
        return kF;
    default:
        return std::nullopt;
    }
}

// What one row gathers from its items.
struct CostSums
{
    std::array<std::int64_t, kSlots> minutes{};
    std::array<double, kSlots> valued{}; // minutes x cents per hour
    std::int64_t mt = 0;                 // store material, cents
    std::int64_t alb = 0;                // delivery notes, cents

    void Add(const CostSums& o)
    {
        for (int s = 0; s < kSlots; ++s) {
            minutes[s] += o.minutes[s];
            valued[s] += o.valued[s];
        }
        mt += o.mt;
        alb += o.alb;
    }
};

// The figures a row shows: whole hours in hours mode, cents in euro mode.
struct Columns
{
    std::int64_t cn = 0, pv = 0, rp = 0, av = 0, unclassified = 0, mt = 0, alb = 0;

    std::int64_t Six() const { return cn + pv + rp + av + mt + alb; }
};

Columns ColumnsOf(const CostSums& s, bool euros)
{
    Columns c;
    auto figure = [&](Slot slot) { return euros ? Nearest(s.valued[slot] / 60.0) : s.minutes[slot] / 60; };
    c.cn = figure(kC);
    c.pv = figure(kP);
    c.rp = figure(kR);
    c.av = figure(kV);
    c.unclassified = figure(kD);
    c.mt = s.mt;
    c.alb = euros ? s.alb : 0; // delivery notes are money: hours mode leaves them out
    return c;
}

// The hour price of an item in cents, each operator and hour type looked up once. History items name no
// operator: they are valued at the average hour price, so that the history in euros costs its time too.
class HourPrices
{
public:
    explicit HourPrices(const Context& ctx) : m_ctx(ctx) {}
    double Of(const CostNode& item)
    {
        if (item.worker.empty())
            return static_cast<double>(m_ctx.st.AverageHourPrice);
        auto [it, added] = m_prices.try_emplace({item.worker, item.hourType}, 0.0);
        if (added)
            it->second = LookupHourPrice(m_ctx, FromCp1252(item.worker), FromCp1252(item.hourType));
        return it->second;
    }

private:
    const Context& m_ctx;
    std::map<std::pair<std::string, std::string>, double> m_prices;
};

struct RowWalk
{
    std::vector<std::uint32_t> items; // indices into the cost list, in list order
};

// Sums the items of a row from the lower bound on; the weekly graph, when given, takes every one.
CostSums SumItems(const std::vector<CostNode>& list, const std::vector<std::uint32_t>& items, int lowerBound,
                  HourPrices& prices, std::array<TWeekGraphRecord, kGraphWeeks>* graph)
{
    CostSums s;
    for (const std::uint32_t i : items) {
        const CostNode& item = list[i];
        const std::optional<Slot> slot = SlotOf(item.kind);
        if (graph && slot && *slot != kF) {
            TWeekGraphRecord& week = (*graph)[static_cast<std::size_t>(WeekOfYearIndex(item.week))];
            week.Value(*slot + 1) = week.Value(*slot + 1).get() + item.value;
        }
        if (item.week < lowerBound)
            continue;
        if (slot) {
            s.minutes[*slot] += item.value;
            s.valued[*slot] += static_cast<double>(item.value) * prices.Of(item);
        } else if (item.kind == 'A') {
            s.mt += item.value;
        } else if (item.kind == 'B') {
            s.alb += item.value;
        }
    }
    return s;
}

QString Figure(std::int64_t value, bool euros)
{
    return euros ? CentsToText(value) : QString::number(value);
}

QString Joined(std::initializer_list<std::int64_t> values, bool euros)
{
    QString out;
    for (const std::int64_t v : values)
        out += QLatin1Char('\t') + Figure(v, euros);
    return out;
}

std::int64_t Share(double part, double whole)
{
    return whole == 0 ? 0 : Nearest(part * 100.0 / whole);
}

std::uint32_t Clip32(std::int64_t value)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

QString Cut2(const QString& answer)
{
    return answer.left(2);
}

// What the prompts chose.
struct CostQuery
{
    bool annualRows = true; // one row per machine, else thirteen periods
    bool euros = false;
    bool relative = false;
    bool accounts = false;
    int year = 0; // since 2000
    QString filter = QStringLiteral("*");
    std::vector<TBudgetRecord> budgets; // the reference of the relative rows, in machine-file order
};

// The prompts and the week range; nothing when the report is not to run.
std::optional<CostQuery> AskCostQuery(Context& ctx)
{
    State& st = ctx.st;
    MachineCostsState& costs = MachineCosts(ctx);
    CostQuery q;
    q.annualRows = st.ActionCode == QLatin1String("1") || st.ActionCode == QLatin1String("3");
    q.accounts = st.OutputCode == QLatin1String("P");
    st.AnswerCode = QStringLiteral("S");
    st.SelectedAccount = QStringLiteral("*");
    if (q.accounts)
        st.SelectedAccount =
            ctx.ui.InputBox(kCostsTitle, QString::fromUtf8("Cuenta Analítica"), QStringLiteral("*"));
    st.AnswerCode = Cut2(ctx.ui.InputBox(kCostsTitle, QStringLiteral("Anual/Mensual"), QStringLiteral("A")));
    if (st.AnswerCode == QLatin1String("A")) {
        // A year outside the horizon has no week indices: before it they would not fit the stored words.
        // One that is no number or lies outside the plan is refused with the conversion's message.
        const std::int64_t firstYear = std::int64_t{st.FirstYear} + kYearOffset;
        const std::int64_t typed = ReadTypedNumber(
            st, ctx.ui.InputBox(kCostsTitle, QString::fromUtf8("AÑO DE EJERCICIO "), st.YearText),
            MachineFile::Name(st), firstYear, SplitAbsoluteWeek(st, st.PlanWeeks).year + kYearOffset);
        q.year = static_cast<int>(typed - kYearOffset);
        costs.StartIndex = costs.LowerBound = (q.year - st.FirstYear) * kWeeksPerYear;
        costs.EndIndex = costs.StartIndex + kWeeksPerYear;
    } else {
        // A cancelled picker keeps the range chosen before (today's, when none was).
        if (!PickWeekRange(ctx) && !st.RangeStartDate.isValid()) {
            const QDate today = ctx.clock.Now().date();
            st.RangeStartDate = st.RangeEndDate = QDateTime(today, QTime(0, 0));
        }
        const std::optional<WeekParts> from = ParseWeekCode(DateToWeekCode(st, st.RangeStartDate.date()));
        const std::optional<WeekParts> to = ParseWeekCode(DateToWeekCode(st, st.RangeEndDate.date()));
        if (!from || !to)
            return std::nullopt;
        q.year = from->year;
        // Each end counts in its own year, so that a range over the new year keeps its weeks.
        costs.StartIndex = costs.LowerBound = AbsoluteWeek(st, from->year, from->week);
        costs.EndIndex = AbsoluteWeek(st, to->year, to->week);
    }
    st.WorkYear = static_cast<std::uint16_t>(q.year);
    st.AnswerCode = Cut2(ctx.ui.InputBox(QStringLiteral("SELECCION INFORME"),
                                         QStringLiteral("HORAS O EUROS (H/E):"), QStringLiteral("H")));
    // The mode is a flag of its own: no labour price can pass for it.
    q.euros = st.AnswerCode == QLatin1String("E");
    if (!q.euros && q.annualRows)
        st.AnswerCode = Cut2(ctx.ui.InputBox(QStringLiteral("TIPO DE COSTE"),
                                             QStringLiteral("ABSOLUTO O RELATIVO A PRESUPUESTO (A/R):"),
                                             QStringLiteral("A")));
    if (!q.annualRows)
        q.filter = ctx.ui
                       .InputBox(QStringLiteral("MAQUINA A ANALIZAR"), QStringLiteral("CODIGO :"),
                                 QStringLiteral("*"))
                       .left(8);
    // Without a budget file the report is absolute. The period rows ask no type of cost: an "R" typed for
    // hours or euros makes them relative.
    if (st.AnswerCode == QLatin1String("R")) {
        std::optional<std::vector<TBudgetRecord>> budgets = LoadBudgets(ctx);
        q.relative = budgets.has_value();
        if (budgets)
            q.budgets = std::move(*budgets);
    }
    return q;
}

void LoadItems(Context& ctx, const CostQuery& q)
{
    FreeCostList(ctx);
    if (ctx.st.ActionCode == QLatin1String("3") || ctx.st.ActionCode == QLatin1String("4")) {
        LoadWorkReportCosts(ctx);
    } else {
        LoadRevisionCosts(ctx);
        LoadPlannedRepairCosts(ctx);
        LoadBreakdownCosts(ctx);
    }
    if (q.euros)
        LoadMaterialCosts(ctx);
}

// Everything the rows add up, for the closing lines and the charts.
struct Totals
{
    CostSums sums;
    int smallestWeek = 0;
    int largestWeek = 0;
    std::array<TWeekGraphRecord, kGraphWeeks> graph{};
};

// Leaves q.relative off when the budget and the machine file fall out of step: that row and the rest are
// absolute.
void AddMachineRows(Context& ctx, CostQuery& q, ReportDocument& report, Totals& totals)
{
    const State& st = ctx.st;
    const std::vector<CostNode>& list = MachineCosts(ctx).CostList;
    const int lowerBound = MachineCosts(ctx).LowerBound;
    // The items grouped by machine once, in list order (the last loaded first): each row then walks only
    // its own machine's items. A row takes its machine's items alone, never a longer code's.
    std::unordered_map<std::string, RowWalk> byMachine;
    for (std::size_t i = list.size(); i-- > 0;)
        byMachine[list[i].machine].items.push_back(static_cast<std::uint32_t>(i));

    const std::vector<TMachineRecord> machines =
        KeyedFile<MachineFile>(ctx).Read(Report::Silent).value_or(std::vector<TMachineRecord>{});
    if (!machines.empty())
        for (const CostNode& item : list) {
            totals.smallestWeek = std::min(totals.smallestWeek, item.week);
            totals.largestWeek = std::max(totals.largestWeek, item.week);
        }

    HourPrices prices(ctx);
    const RowWalk none;
    for (std::size_t k = 0; k < machines.size(); ++k) {
        const TMachineRecord& m = machines[k];
        const TBudgetRecord* budget = nullptr;
        if (q.relative) {
            // A budget shorter than the machine file is out of step as well.
            if (k < q.budgets.size() && q.budgets[k].MachineCode == m.Codigo) {
                budget = &q.budgets[k];
            } else {
                ctx.ui.ShowMessage(QStringLiteral("CODIGOS DE MAQUINAS DISCREPANTES\rREINICIAR PRESUPUESTO"));
                q.relative = false;
            }
        }
        const bool leftOut =
            q.accounts && st.SelectedAccount != QLatin1String("*") && !(m.Cuenta == st.SelectedAccount);
        const auto found = byMachine.find(std::string(m.Codigo.bytes()));
        const RowWalk& walk = leftOut || found == byMachine.end() ? none : found->second;
        CostSums row = SumItems(list, walk.items, lowerBound, prices, &totals.graph);
        if (!q.euros)
            row.alb = 0;
        totals.sums.Add(row);
        if (leftOut)
            continue;

        const Columns c = ColumnsOf(row, q.euros);
        const QString head = QLatin1Char('\t') + m.Codigo.str() + QLatin1Char('\t');
        if (budget) {
            // Both sides in minutes: the budget keeps minutes a year.
            const std::int64_t cn = row.minutes[kC], pv = row.minutes[kP], rp = row.minutes[kR],
                               av = row.minutes[kV];
            auto percent = [](std::int64_t done, std::int64_t planned) { return done * 100 / (planned + 1); };
            const std::int64_t bCN = budget->CN.get(), bPV = budget->PV.get(), bRP = budget->RP.get(),
                               bAV = budget->AV.get();
            report.SetColour(percent(pv + rp + av, bPV + bRP + bAV) > 100 ? kReportBlue : kReportBlack);
            report.AddLine(
                head + m.Denominacion.str() +
                Joined({percent(cn, bCN), percent(pv, bPV), percent(rp, bRP), percent(av, bAV)}, false) +
                QStringLiteral("\t--\t--\t") +
                QString::number(percent(cn + pv + rp + av, bCN + bPV + bRP + bAV)));
            continue;
        }
        report.SetColour(kReportBlack);
        const std::int64_t total =
            q.euros ? Nearest((row.valued[kC] + row.valued[kP] + row.valued[kR] + row.valued[kV]) / 60.0) +
                          c.mt + c.alb
                    : c.Six();
        report.AddLine(head + m.Denominacion.str().left(40) +
                       Joined({c.cn, c.pv, c.rp, c.av, c.mt, c.alb, total}, q.euros));
    }
    report.SetColour(kReportBlack);
}

void AddMachineClosing(Context& ctx, const CostQuery& q, ReportDocument& report, Totals& totals)
{
    const State& st = ctx.st;
    const CostSums& g = totals.sums;
    const QString year = QString::number(q.year + kYearOffset);
    if (q.relative) {
        report.AddLine(QString());
        report.AddLine(QStringLiteral("\tVALORES EN % DEL PRESUPUESTO"));
        return;
    }
    const std::int64_t cn = g.minutes[kC], pv = g.minutes[kP], rp = g.minutes[kR], av = g.minutes[kV],
                       d = g.minutes[kD], f = g.minutes[kF];
    std::int64_t t = cn + pv + rp + av + d;
    const double w = g.valued[kC] + g.valued[kP] + g.valued[kR] + g.valued[kV] + g.valued[kD];
    const double worked = g.valued[kC] + g.valued[kP] + g.valued[kR] + g.valued[kV];
    report.AddLine(QString(201, QLatin1Char('-')));
    if (q.euros)
        report.AddLine(
            QStringLiteral("\tACUMULADOS POR TIPO DE MANTENIMIENTO (Euros)") +
            Joined({Nearest(g.valued[kC] / 60.0), Nearest(g.valued[kP] / 60.0), Nearest(g.valued[kR] / 60.0),
                    Nearest(g.valued[kV] / 60.0), g.mt, g.alb, Nearest(worked / 60.0) + g.mt + g.alb},
                   true));
    else
        report.AddLine(QStringLiteral("\tACUMULADOS POR TIPO DE MANTENIMIENTO (Horas)") +
                       Joined({cn / 60, pv / 60, rp / 60, av / 60, g.mt}, false) + QLatin1Char('\t') +
                       CentsToText(g.alb) + QLatin1Char('\t') +
                       QString::number((cn + pv + rp + av) / 60 + g.mt + g.alb));
    report.AddLine(QString());
    // Without any hour price the shares have no base: they show 0.
    if (t > 0)
        report.AddLine(QStringLiteral("\tVALORES PORCENTUALES % ") +
                       Joined({Share(g.valued[kC], w), Share(g.valued[kP], w), Share(g.valued[kR], w),
                               Share(g.valued[kV], w)},
                              false));
    report.AddLine(QString());
    if (t > 0) {
        if (q.euros) {
            report.AddLine(QStringLiteral("\tTRABAJOS NO CLASIFICADAS POR TIPO MANTEN.  :  ") +
                           CentsToText(Nearest(g.valued[kD] / 60.0)) + QStringLiteral(" \t") +
                           QString::number(Share(g.valued[kD], w)) + QStringLiteral(" %"));
            report.AddLine(QStringLiteral("\tCOSTE HORAS NO EFECTIVAS (VACAC.,BAJA,ETC.):  ") +
                           CentsToText(Nearest(g.valued[kF] / 60.0)) + QStringLiteral(" \t") +
                           QString::number(Share(g.valued[kF], w)) + QStringLiteral(" %"));
        } else {
            auto hours = [](std::int64_t m) {
                return MinutesToHoursText(static_cast<int>(std::clamp<std::int64_t>(
                    m, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
            };
            report.AddLine(QStringLiteral("\tTOTAL HORAS NO CLASIFICADAS POR TIPO MTO. :  ") + hours(d) +
                           QLatin1Char('\t') + QString::number(d * 100 / t) + QStringLiteral(" %"));
            report.AddLine(QStringLiteral("\tTOTAL HORAS NO EFECTIVAS (VACAC.,BAJA,ETC.):  ") + hours(f) +
                           QLatin1Char('\t') + QString::number(f * 100 / t) + QStringLiteral(" %"));
        }
    }
    report.AddLine(QString());
    report.SetStyle(FontStyle::Bold);
    const QString account =
        q.accounts ? QStringLiteral("\tCUENTA DE COSTE: ") + st.SelectedAccount + QStringLiteral("  ")
                   : QString();
    if (q.euros)
        report.AddLine(account + QStringLiteral("\tCOSTE DE MANTENIMIENTO ") + year + QStringLiteral("   ") +
                       CentsToText(Nearest(w / 60.0) + g.mt + g.alb) + QStringLiteral(" :"));
    else
        report.AddLine(account + QStringLiteral("\tCOSTE DE MANTENIMIENTO ") + year + QStringLiteral("   ") +
                       QString::number(t / 60) + QStringLiteral(" h/H"));

    // Charts.
    if (t == 0)
        t = 1;
    int largest = totals.largestWeek;
    if (largest == totals.smallestWeek)
        ++largest;
    std::int64_t scale = (pv + rp + d) / (largest - totals.smallestWeek);
    if (scale <= 0)
        scale = 1;
    auto pct = [t](std::int64_t m) { return QString::number(m * 100 / t) + QStringLiteral(" %"); };
    DrawWeeklyGraph(report, st, QStringLiteral("COSTES DE MANTENIMIENTO SEMANALES ") + year,
                    WeekGraphStyle::MaintenanceCosts,
                    {QStringLiteral("Conductivo ") + pct(cn), QStringLiteral("Preventivo ") + pct(pv),
                     QStringLiteral("Reparaciones ") + pct(rp), QString::fromUtf8("Averías ") + pct(av),
                     QStringLiteral("Resto ") + pct(d + f), QStringLiteral(" ")},
                    Clip32(scale), totals.graph);
    ShowPieChart(report, st, QStringLiteral("COSTES DE MANTENIMIENTO "),
                 {QStringLiteral("Conductivo "), QStringLiteral("Preventivo "),
                  QStringLiteral("Reparaciones "), QString::fromUtf8("Averías "),
                  QStringLiteral("No Clasific"), QStringLiteral("No Product")},
                 {Clip32(cn), Clip32(pv), Clip32(rp), Clip32(av), Clip32(d), Clip32(f)});
}

// Whether an item belongs to the filter's rows: a machine's own code exactly; for a family (a code that is
// no machine), the characters after the filter's last "*", from that position on.
class FilterMatch
{
public:
    FilterMatch(std::string filter, bool machine) : m_filter(std::move(filter)), m_machine(machine)
    {
        const std::size_t star = m_filter.rfind('*');
        m_from = star == std::string::npos ? 0 : star + 1;
    }
    bool operator()(const std::string& code) const
    {
        if (m_machine)
            return code == m_filter;
        const std::string_view tail = std::string_view(m_filter).substr(m_from);
        const std::string_view mine =
            m_from <= code.size() ? std::string_view(code).substr(m_from, tail.size()) : std::string_view();
        return mine == tail;
    }

private:
    std::string m_filter;
    bool m_machine;
    std::size_t m_from = 0;
};

void AddPeriodRows(Context& ctx, const CostQuery& q, ReportDocument& report)
{
    State& st = ctx.st;
    const std::vector<CostNode>& list = MachineCosts(ctx).CostList;
    TMachineRecord machine{};
    machine.Codigo = q.filter;
    FindMachine(ctx, st.FileName(DataFile::Machine), machine);
    const bool known = machine.Codigo == q.filter && !(machine.Denominacion == "NO EXISTE LA MAQUINA");
    const QString name =
        known ? machine.Denominacion.str() : (QString::fromUtf8("Familia Máquinas ") + q.filter).left(48);

    const FilterMatch matches(ToCp1252(q.filter), known);
    std::vector<std::uint32_t> items;
    for (std::size_t i = list.size(); i-- > 0;)
        if (matches(list[i].machine))
            items.push_back(static_cast<std::uint32_t>(i));

    HourPrices prices(ctx);
    const int base = (q.year - st.FirstYear) * kWeeksPerYear;
    Columns previous;
    Columns c;
    CostSums last;
    for (int i = 0; i < kPeriods; ++i) {
        const int lowerBound = base + (kPeriods - 1 - i) * kPeriodWeeks;
        MachineCosts(ctx).LowerBound = lowerBound;
        last = SumItems(list, items, lowerBound, prices, nullptr);
        c = ColumnsOf(last, q.euros);
        report.AddLine(QLatin1Char('\t') + QString::number(kPeriods - i) + QLatin1Char('/') +
                       QString::number(q.year + kYearOffset) + QLatin1Char('\t') + name.left(34) +
                       Joined({c.cn - previous.cn, c.pv - previous.pv, c.rp - previous.rp, c.av - previous.av,
                               c.mt - previous.mt, c.alb - previous.alb, c.Six() - previous.Six()},
                              q.euros));
        previous = c;
    }

    if (q.relative)
        report.AddLine(QString());
    report.AddLine(QString());
    report.SetStyle(FontStyle::Bold);
    report.AddLine(QStringLiteral("\tMAQUINA ANALIZADA :") + q.filter + QStringLiteral(" / ") + name +
                   Joined({c.cn, c.pv, c.rp, c.av, c.mt, c.alb, c.Six()}, q.euros));
    const std::int64_t u = c.Six() + c.unclassified;
    if (u > 0) {
        report.AddLine(QStringLiteral("\tValores porcentuales  %") +
                       Joined({c.cn * 100 / u, c.pv * 100 / u, c.rp * 100 / u, c.av * 100 / u, c.mt * 100 / u,
                               c.alb * 100 / u, c.Six() * 100 / u},
                              false));
        report.AddLine(QString());
    }
}

} // namespace

std::int64_t Nearest(double x)
{
    const double down = std::floor(x);
    const double diff = x - down;
    if (diff > 0.5)
        return static_cast<std::int64_t>(down) + 1;
    if (diff < 0.5)
        return static_cast<std::int64_t>(down);
    const auto even = static_cast<std::int64_t>(down);
    return even % 2 == 0 ? even : even + 1;
}

void MachineCostReport(Context& ctx)
{
    State& st = ctx.st;
    std::optional<CostQuery> query = AskCostQuery(ctx);
    if (!query)
        return;
    CostQuery& q = *query;

    auto report = std::make_shared<ReportDocument>(QStringLiteral("COSTES DE MANTENIMIENTO DE ") +
                                                   st.CurrentEnvironment);
    report->SetStyle(FontStyle::Bold);
    report->SetTabStops({5, 60, 290, 340, 390, 440, 490, 540, 590, 640, 690});
    report->SetFontSize(12);
    report->AddLine(QLatin1Char('\t') + st.FirmName +
                    (q.relative ? QStringLiteral("     COSTES DE MAQUINAS RELATIVO PRESUPUESTO ")
                                : QStringLiteral("         LISTADO DE COSTES DE MAQUINAS ")) +
                    st.CurrentEnvironment + QLatin1Char('\t') + st.TodayText);
    report->AddLine(QString());
    report->SetFontSize(10);
    report->SetStyle(FontStyle::Underline);
    report->AddLine(q.annualRows ? QStringLiteral("\tCODIGO\tMAQUINA\tCN\tPV\tRP\tAV\tMT\tALB\tTT")
                                 : QStringLiteral("\tPERIODO\tMAQUINA\tCN\tPV\tRP\tAV\tMT\tALB\tTT"));
    report->AddLine(QStringLiteral(" "));
    report->SetStyle(FontStyle::Normal);

    LoadItems(ctx, q);
    if (q.annualRows) {
        Totals totals;
        totals.smallestWeek = st.PlanWeeks;
        AddMachineRows(ctx, q, *report, totals);
        AddMachineClosing(ctx, q, *report, totals);
    } else {
        AddPeriodRows(ctx, q, *report);
    }
    ctx.ui.ShowReport(report);
    st.OutputCode.clear();
}

} // namespace gim
