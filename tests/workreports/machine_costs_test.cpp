#include "masterdata/masterdata_fixture.h"
#include "records/breakdown_record.h"
#include "records/budget_record.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"
#include "records/store_movement_record.h"
#include "workreports/machine_cost_report.h"
#include "workreports/machine_costs.h"
#include "workreports/workreport_operations.h"

namespace gim {
namespace {

// Plan 2024-2027 (week index = week + (year - 24) * 52); machines M1, M10 and XY3.
class MachineCostsTest : public test::MasterdataTest
{
protected:
    MachineCostsTest()
    {
        RegisterWorkReports(registry, t.ctx);
        t.ctx.st.FirstYear = 24;
        t.ctx.st.LastYear = 27;
        t.ctx.st.PlanWeeks = 208;
        StoreMachines({Machine("M1", "Prensa"), Machine("M10", "Torno", "OTRA"), Machine("XY3", "Horno")});
        THourPriceRecord price{};
        price.Matricula = "000001";
        price.HCONTRATO = 1200; // 12,00 an hour
        t.ctx.st.HourPriceTable = {price};
    }
    static TWorkReportRecord Line(const char* worker, const char* machine, const char* type, const char* dia,
                                  int minutes, int stop = 0)
    {
        TWorkReportRecord r{};
        r.Matricula = worker;
        r.Codigo = machine;
        r.Tipo = type;
        r.TIPOH = "C";
        r.dia = dia;
        r.Tinter = minutes;
        r.Tparo = stop;
        return r;
    }
    // The loaded items, list order, as "kind:machine:week:value".
    QStringList Items()
    {
        QStringList out;
        const std::vector<CostNode>& list = MachineCosts(t.ctx).CostList;
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            out << QString::fromLatin1(std::string(1, it->kind) + ':' + it->machine + ':' +
                                       std::to_string(it->week) + ':' + std::to_string(it->value));
        return out;
    }
    void StoreDailyReports()
    {
        StoreRecords(
            t.ctx, QStringLiteral("PORTAL.PDA"),
            std::vector{Line("000001", "M1", "C", "26/10/1", 120), Line("000001", "M10", "P", "26/11/1", 60),
                        Line("000001", "XY3", "V", "26/52/1", 180), Line("000001", "M1", "D", "26/20/1", 60),
                        Line("000001", "M1", "ALB", "26/30/1", 0, 5000)});
    }
    QStringList Lines() const { return t.ui.Reports().back()->Text().split(QLatin1Char('\n')); }
    // Answers yearly ("Anual": the picker, 5 January to 15 March 2026) and hours or euros.
    void Ask(const char* yearly, const char* mode)
    {
        t.ui.ExpectInput(QStringLiteral("COSTES DE MAQUINAS"), QStringLiteral("Anual/Mensual"), yearly);
        if (QLatin1String(yearly) == QLatin1String("A"))
            t.ui.ExpectInput(QStringLiteral("COSTES DE MAQUINAS"), QString::fromUtf8("AÑO DE EJERCICIO "),
                             "2026");
        else
            t.ui.ExpectDateRange(QDate(2026, 1, 5), QDate(2026, 3, 15));
        t.ui.ExpectInput(QStringLiteral("SELECCION INFORME"), QStringLiteral("HORAS O EUROS (H/E):"), mode);
    }
};

TEST_F(MachineCostsTest, TheLoadersTakeTheirRangeEndsKindsAndEveryRecordOfAnUnsortedFile)
{
    MachineCostsState& c = MachineCosts(t.ctx);
    c.StartIndex = 104; // 2026 week 0
    c.EndIndex = 156;
    StoreRecords(
        t.ctx, QStringLiteral("PORTAL.PDA"),
        std::vector{Line("000001", "M1", "ALB", "26/00/1", 1, 2550), Line("000001", "M1", "AL", "27/00/1", 7),
                    Line("OP/1", "M1", "C", "26/05/1", 9), Line("Z", "M1", "C", "26/05/1", 9),
                    Line("000001", "M1", "OP", "26/05/1", 9), Line("000001", "M1", "FV", "26/05/1", 30),
                    Line("000001", "M1", "XX", "26/05/1", 15), Line("000001", "M1", "C", "27/01/1", 99),
                    Line("000001", "M1", "AL", "26/51/1", 8)});
    auto revision = [](int week, int minutes) {
        TRevisionRecord r{};
        r.MachineCode = "M1";
        r.Week = static_cast<std::uint16_t>(week);
        r.Time = static_cast<std::uint16_t>(minutes);
        return r;
    };
    // Latest first, then an appended tail below the first record under the range.
    StoreRecords(
        t.ctx, QStringLiteral("PORTAL.HRC"),
        std::vector{revision(156, 1), revision(155, 2), revision(104, 3), revision(50, 4), revision(120, 5)});
    TPlannedRepairRecord repair{};
    repair.Code = "M10";
    repair.Week = 105;
    repair.Minutes = 40;
    StoreRecords(t.ctx, QStringLiteral("PORTAL.SEM"), std::vector{repair});
    TBreakdownRecord breakdown{};
    breakdown.Code = "XY3";
    breakdown.Week = 110;
    breakdown.Intervention = 45;
    breakdown.Operators = 3;
    StoreRecords(t.ctx, QStringLiteral("PORTAL.AVR"), std::vector{breakdown});
    auto movement = [](const char* user, int quantity) {
        TStoreMovementRecord m{};
        m.Destination = "M1";
        m.AbsoluteWeek = 130;
        m.User = user;
        m.Quantity = quantity;
        m.UnitValue = 250;
        return m;
    };
    StoreRecords(t.ctx, QStringLiteral("PORTAL.MOV"),
                 std::vector{movement("000001", -2), movement("OP/7", -1), movement("OT/12", -1),
                             movement("000001", 5)});

    const std::pair<void (*)(Context&), QStringList> cases[] = {
        // Both ends, "ALB" with its cost, "AL" a store exit; "OP/" operators and "OP" lines are no cost.
        {LoadWorkReportCosts, {"E:M1:155:8", "D:M1:109:15", "F:M1:109:30", "E:M1:156:7", "B:M1:104:2550"}},
        {LoadRevisionCosts, {"P:M1:120:5", "P:M1:155:2"}},
        {LoadPlannedRepairCosts, {"R:M10:105:40"}},
        {LoadBreakdownCosts, {"V:XY3:110:135"}},
        {LoadMaterialCosts, {"A:M1:130:500"}},
    };
    for (const auto& [load, items] : cases) {
        FreeCostList(t.ctx);
        load(t.ctx);
        EXPECT_EQ(Items(), items);
    }
}

TEST_F(MachineCostsTest, ThePeriodReportSumsTheFilterFamilyOrTheOneMachine)
{
    StoreDailyReports();
    const std::pair<const char*, const char*> cases[] = {
        {"*", "\tMAQUINA ANALIZADA :* / Familia Máquinas *\t2\t1\t0\t3\t0\t0\t6"},
        {"**3", "\tMAQUINA ANALIZADA :**3 / Familia Máquinas **3\t0\t0\t0\t3\t0\t0\t3"},
        {"XY*", "\tMAQUINA ANALIZADA :XY* / Familia Máquinas XY*\t2\t1\t0\t3\t0\t0\t6"},
        {"M", "\tMAQUINA ANALIZADA :M / Familia Máquinas M\t2\t1\t0\t0\t0\t0\t3"},
        {"M1", "\tMAQUINA ANALIZADA :M1 / Prensa\t2\t0\t0\t0\t0\t0\t2"}, // not M10's
    };
    for (const auto& [filter, closing] : cases) {
        Ask("A", "H");
        t.ui.ExpectInput(QStringLiteral("MAQUINA A ANALIZAR"), QStringLiteral("CODIGO :"),
                         QString::fromUtf8(filter))
            .ExpectReport(QStringLiteral("COSTES DE MANTENIMIENTO DE PORTAL"));
        EXPECT_TRUE(RunMenu("Costes > Análisis > Partes > Periodo"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_TRUE(Lines().contains(QString::fromUtf8(closing))) << Lines().join('\n').toStdString();
    }
    // Period 13 holds weeks 48 on, period 1 weeks 0 to 3.
    EXPECT_EQ(Lines().at(4), "\t13/2026\tPrensa\t0\t0\t0\t0\t0\t0\t0");
    EXPECT_EQ(Lines().at(14), "\t3/2026\tPrensa\t2\t0\t0\t0\t0\t0\t2");
}

TEST_F(MachineCostsTest, TheAnnualReportInHoursEurosAndAgainstTheBudget)
{
    StoreDailyReports();
    TBudgetRecord budget{};
    budget.CN = 99; // 120 minutes done: 120 %
    std::vector<TBudgetRecord> budgets(3, budget);
    budgets[0].MachineCode = "M1";
    budgets[1].MachineCode = "M10";
    budgets[2].MachineCode = "XY3";
    budgets[2].AV = 100; // M10's hour of preventive has no budget: blue from there
    StoreRecords(t.ctx, QStringLiteral("PORTAL.PTO"), budgets);
    struct Case
    {
        const char* mode;     // hours or euros as typed
        const char* relative; // nullptr: not asked
        std::vector<std::pair<int, const char*>> lines;
    } cases[] = {
        {"e", // lower case: hours
         "N", // absolute; "N" ends nothing, every machine has its row
         {{4, "\tM1\tPrensa\t2\t0\t0\t0\t0\t0\t2"},
          {5, "\tM10\tTorno\t0\t1\t0\t0\t0\t0\t1"},
          {8, "\tACUMULADOS POR TIPO DE MANTENIMIENTO (Horas)\t2\t1\t0\t3\t0\t0,00\t6"},
          {10, "\tVALORES PORCENTUALES % \t29\t14\t0\t43"},
          {12, "\tTOTAL HORAS NO CLASIFICADAS POR TIPO MTO. :  01 : 00\t14 %"},
          {15, "\tCOSTE DE MANTENIMIENTO 2026   7 h/H"}}},
        {"E",
         nullptr,
         {{4, "\tM1\tPrensa\t24,00\t0,00\t0,00\t0,00\t0,00\t50,00\t74,00"},
          {6, "\tXY3\tHorno\t0,00\t0,00\t0,00\t36,00\t0,00\t0,00\t36,00"},
          {8,
           "\tACUMULADOS POR TIPO DE MANTENIMIENTO (Euros)\t24,00\t12,00\t0,00\t36,00\t0,00\t50,00\t122,00"},
          {12, "\tTRABAJOS NO CLASIFICADAS POR TIPO MANTEN.  :  12,00 \t14 %"},
          {15, "\tCOSTE DE MANTENIMIENTO 2026   134,00 :"}}},
        {"H",
         "R",
         {{0, "\tFABRICA     COSTES DE MAQUINAS RELATIVO PRESUPUESTO PORTAL\t07/12/2026"},
          {4, "\tM1\tPrensa\t120\t0\t0\t0\t--\t--\t120"},
          {6, "\tXY3\tHorno\t0\t0\t0\t178\t--\t--\t90"},
          {8, "\tVALORES EN % DEL PRESUPUESTO"}}},
    };
    for (const Case& c : cases) {
        Ask("A", c.mode);
        if (c.relative)
            t.ui.ExpectInput(QStringLiteral("TIPO DE COSTE"),
                             QStringLiteral("ABSOLUTO O RELATIVO A PRESUPUESTO (A/R):"),
                             QString::fromLatin1(c.relative));
        t.ui.ExpectReport(QStringLiteral("COSTES DE MANTENIMIENTO DE PORTAL"));
        EXPECT_TRUE(RunMenu("Costes > Análisis > Partes > Anual"));
        EXPECT_SCRIPT_DONE(t.ui);
        for (const auto& [at, text] : c.lines)
            EXPECT_EQ(Lines().value(at), QString::fromUtf8(text)) << c.mode;
    }
    EXPECT_TRUE(t.ui.Reports().back()->Transcript().contains(QStringLiteral("#0000ff}\tM10")));
    // The breakdown of week 52 is drawn at week 0.
    EXPECT_EQ(t.ui.Reports()[0]->weekGraph->weeks[0].Value4.get(), 180);

    // "Anual" keeps "An": the picker gives the range, which starts the year of the period rows.
    Ask("Anual", "H");
    t.ui.ExpectInput(QStringLiteral("MAQUINA A ANALIZAR"), QStringLiteral("CODIGO :"), QStringLiteral("M1"))
        .ExpectReport();
    EXPECT_TRUE(RunMenu("Costes > Análisis > Partes > Periodo"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Lines().value(18), "\tMAQUINA ANALIZADA :M1 / Prensa\t2\t0\t0\t0\t0\t0\t2");
}

TEST(NearestTest, HalvesGoToTheEvenNeighbour)
{
    const std::pair<double, std::int64_t> cases[] = {{1.5, 2}, {2.5, 2}, {-0.5, 0}, {0.6, 1}};
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(Nearest(x), expected) << x;
}

} // namespace
} // namespace gim
