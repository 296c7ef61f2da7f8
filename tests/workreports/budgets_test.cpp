#include "masterdata/masterdata_fixture.h"
#include "masterdata/routine_operations.h"
#include "platform/report.h"
#include "records/operation_record.h"
#include "workreports/budget_card.h"
#include "workreports/budget_reports.h"
#include "workreports/budgets.h"
#include "workreports/workreport_operations.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

const QString kBudget = QStringLiteral("PORTAL.PTO");
const QString kBackup = QStringLiteral("PORTAL.PTK");

TBudgetRecord Budget(const char* code, int cn, int pv, int av, int rp, int al, int ex)
{
    TBudgetRecord r{};
    r.MachineCode = code;
    r.CN = cn;
    r.PV = pv;
    r.AV = av;
    r.RP = rp;
    r.AL = al;
    r.EX = ex;
    return r;
}

TOperationRecord Operation(const char* code, const char* frequency, const char* state, int minutes)
{
    TOperationRecord r{};
    r.MachineCode = code;
    r.Frequency = frequency;
    r.State = state;
    r.Speciality = "E";
    r.Description = "Engrase";
    r.Minutes = static_cast<std::uint16_t>(minutes);
    return r;
}

class BudgetsTest : public test::MasterdataTest
{
protected:
    BudgetsTest()
    {
        RegisterRoutinesAndProcedures(registry, t.ctx);
        RegisterWorkReports(registry, t.ctx);
        StoreMachines({Machine("A1", "Prensa", "CTA", "P-1"), Machine("B2", "Torno", "CTA", "T-2"),
                       Machine("C3", "Fresa", "CTA", "F-3")});
    }
    QString LastReport() const { return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Text(); }
};

// The update lists every machine of the routine and writes the weighted times into its budget record,
// keeping the amounts; a machine without a record is passed over and the next ones are still updated.
TEST_F(BudgetsTest, UpdateWeighsTheRoutineMinutesIntoEachMachinesRecord)
{
    StoreRecords(t.ctx, QStringLiteral("PORTAL.OPR"),
                 std::vector{Operation("A1", "S4", "O", 90), Operation("B2", "M", "P", 500),
                             Operation("C3", "TF", "O", 100)});
    StoreRecords(t.ctx, kBudget, std::vector{Budget("B2", 1, 2, 3, 4, 5, 6), Budget("C3", 9, 9, 9, 9, 7, 8)});
    t.ui.ExpectInput(QStringLiteral("DEFINICION PRESUPUESTO"),
                     QStringLiteral("¿DESEA REINICIALIZAR EL PRESUPUESTO? S/N "), QStringLiteral("N"));
    t.ui.ExpectCard(QStringLiteral("Presupuesto MTO"))
        .ExpectEnabled(QStringLiteral("Slv"))
        .Press(QStringLiteral("Slv"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Gamas > Presupuesto > Actualizar"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kBudget),
              Bytes(std::vector{Budget("B2", 1000, 6000, 500, 2500, 5, 6), Budget("C3", 0, 1, 0, 0, 7, 8)}));
    const QStringList lines = LastReport().split(QLatin1Char('\n'));
    for (const char* line :
         {"\tA1\tPrensa\tP-1\t0\thrs.\t45\tmn.\t100", "\tB2\tTorno\tT-2\t100\thrs.\t0\tmn.\t0",
          "\tC3\tFresa\tF-3\t0\thrs.\t1\tmn.\t100",
          "\tTOTAL HORAS PREVISTAS DE MANTENIMIENTO PREVENTIVO : 100 hrs.46 mn.",
          "\tPROMEDIO HORAS SEMANALES DE MANTENIMIENTO PREVENTIVO : 1 hrs.",
          "\tRATIO &  REALIZACIÓN MANTENIMIENTO EN PRODUCCIÓN   : 1 %"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line << "\n" << LastReport().toStdString();
}

// "&Confirmar" only while the four weights make 100 with a preventive share to take the others against.
TEST_F(BudgetsTest, TheWeightsAreConfirmedOnlyWhenTheyMakeAHundred)
{
    struct Case
    {
        const char *prev, *repar, *cond, *avr;
        bool confirms;
    };
    for (const Case c : {Case{"50", "25", "20", "5", true}, Case{"50", "25", "20", "4", false},
                         Case{"0", "50", "25", "25", false}}) {
        test::TestContext ctx;
        CardScript& card = ctx.ui.ExpectCard(QStringLiteral("Presupuesto MTO"));
        card.Set(QStringLiteral("Prev"), QLatin1String(c.prev))
            .Set(QStringLiteral("Repar"), QLatin1String(c.repar))
            .Set(QStringLiteral("cond"), QLatin1String(c.cond))
            .Set(QStringLiteral("avr"), QLatin1String(c.avr))
            .Focus(QStringLiteral("Prev"));
        if (c.confirms)
            card.ExpectEnabled(QStringLiteral("Slv")).Press(QStringLiteral("Slv"));
        else
            card.ExpectDisabled(QStringLiteral("Slv")).Cancel();
        BudgetWeights w = DefaultBudgetWeights();
        const int result = BudgetWeightsCardBinding().Run(ctx.ui, BudgetWeightsCardSpec(), w);
        EXPECT_SCRIPT_DONE(ctx.ui);
        EXPECT_EQ(result == CardResult::Save, c.confirms) << c.avr;
        EXPECT_EQ(w.Prev.get(), c.confirms ? 50 : 60);
    }
}

// A definition starts one zeroed record per machine; an existing budget is replaced only on "S" and then
// becomes the twin, and a twin without its budget is never lost.
TEST_F(BudgetsTest, DefinitionKeepsThePreviousBudgetAsTheTwin)
{
    const std::string old = Bytes(std::vector{Budget("A1", 1, 2, 3, 4, 5, 6)});
    const std::string older = Bytes(std::vector{Budget("B2", 7, 7, 7, 7, 7, 7)});
    const std::string fresh = Bytes(std::vector{
        Budget("A1", 0, 0, 0, 0, 0, 0), Budget("B2", 0, 0, 0, 0, 0, 0), Budget("C3", 0, 0, 0, 0, 0, 0)});
    struct Case
    {
        const char* answer; // "" no question: no budget yet
        std::string budget, backup, budgetAfter, backupAfter;
    };
    for (const Case& c : {Case{"N", old, older, old, older}, Case{"S", old, "", fresh, old},
                          Case{"S", old, older, fresh, old}, Case{"", "", older, fresh, older}}) {
        t.WriteFile(kBudget, c.budget);
        QFile::remove(t.Path(kBudget));
        QFile::remove(t.Path(kBackup));
        if (!c.budget.empty())
            t.WriteFile(kBudget, c.budget);
        if (!c.backup.empty())
            t.WriteFile(kBackup, c.backup);
        if (*c.answer)
            t.ui.ExpectInput(QStringLiteral("DEFINICION PRESUPUESTO"),
                             QStringLiteral("¿DESEA REINICIALIZAR EL PRESUPUESTO? S/N "),
                             QLatin1String(c.answer));
        DefineBudget(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.ReadFile(kBudget), c.budgetAfter) << c.answer;
        EXPECT_EQ(t.ReadFile(kBackup), c.backupAfter) << c.answer;
    }
}

// Each record in turn; the last one saves as the others do.
TEST_F(BudgetsTest, EditingSavesEveryRecordInPlaceTheLastOneToo)
{
    StoreRecords(t.ctx, kBudget, std::vector{Budget("A1", 1, 2, 3, 4, 5, 6), Budget("B2", 1, 2, 3, 4, 5, 6)});
    t.ui.ExpectCard(QStringLiteral("COSTES DE MANTENIMIENTO"))
        .ExpectValue(QStringLiteral("Descripcion"), QStringLiteral("Prensa"))
        .Inspect(
            [](const CardState& s) { EXPECT_EQ(s.captions.at(QStringLiteral("BitBtn2")), "&Siguiente"); })
        .Set(QStringLiteral("Prev"), QStringLiteral("600"))
        .Press(QStringLiteral("BitBtn2"));
    t.ui.ExpectCard(QStringLiteral("COSTES DE MANTENIMIENTO"))
        .ExpectValue(QStringLiteral("Richcost"),
                     QStringLiteral("\tCODIGO\tMAQUINA\tPV\tAV\tRP\tAL\tEX\n\n\tA1\tPrensa\t600\t3\t4\t5\t6"))
        .ExpectEnabled(QStringLiteral("BitBtn2"))
        .Set(QStringLiteral("Alm"), QStringLiteral("70"))
        .Press(QStringLiteral("BitBtn2"));
    ASSERT_TRUE(RunMenu("Costes > Edicion Presup."));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kBudget),
              Bytes(std::vector{Budget("A1", 1, 600, 3, 4, 5, 6), Budget("B2", 1, 2, 3, 4, 70, 6)}));
}

// The valuation in hours gives each time's share, in euros the minutes at the hour's cost plus the two
// amounts; a budget of no time shares nothing out.
TEST_F(BudgetsTest, ValuationInHoursOrEuros)
{
    t.ctx.st.FirstYear = 26;
    t.ctx.st.LastYear = 26;
    struct Case
    {
        std::vector<TBudgetRecord> budgets;
        const char* mode;
        std::vector<const char*> tail;
    };
    // CN 1 h, PV 2 h, AV 30 min, RP 1 h 30; store 5, outside work 10.
    const std::vector budgets{Budget("A1", 60, 120, 30, 90, 5, 10)};
    for (const Case& c :
         {Case{budgets,
               "H",
               {"\tVALORES PORCENTUALES  % \t20\t40\t30\t10", "",
                "\t VALOR TOTAL DE HORAS PRESUPUESTADAS    \t05 : 00"}},
          Case{budgets,
               "E",
               {"\tVALOR DE LA MANO DE OBRA A :   12,00 EUROS./Hora", "", "\tVALOR TOTAL  75,00 EUROS"}},
          Case{{Budget("A1", 0, 0, 0, 0, 0, 0)},
               "H",
               {"\tVALORES PORCENTUALES  % \t0\t0\t0\t0", "",
                "\t VALOR TOTAL DE HORAS PRESUPUESTADAS    \t00 : 00"}}}) {
        StoreRecords(t.ctx, kBudget, c.budgets);
        t.ui.ExpectInput(QStringLiteral("VALORACION PRESUPUESTARIA"), QStringLiteral("HORAS O EUROS (H/E)"),
                         QLatin1String(c.mode));
        if (*c.mode == 'E')
            t.ui.ExpectInput(QStringLiteral("COSTE DE LA HORA DE MANO DE OBRA"),
                             QStringLiteral("Centimos de EURO POR HORA DE MANO DE OBRA"),
                             QStringLiteral("1200"));
        t.ui.ExpectReport(QStringLiteral("PRESUPUESTO DE PORTAL"));
        BudgetValuationReport(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        const QString text = LastReport();
        EXPECT_EQ(text.contains(QStringLiteral("\tA1\tPrensa\t01 : 00\t02 : 00\t01 : 30\t00 : 30\t10\t5")),
                  c.budgets[0].PV.get() > 0);
        EXPECT_TRUE(text.contains(QStringLiteral("\tPRESUPUESTO MTO. 2026/26: \t")));
        QStringList tail;
        for (const char* line : c.tail)
            tail << QString::fromUtf8(line);
        EXPECT_TRUE(text.endsWith(tail.join(QLatin1Char('\n')))) << text.toStdString();
    }
}

} // namespace
} // namespace gim
