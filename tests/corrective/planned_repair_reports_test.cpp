#include "corrective/planned_repair_reports.h"
#include "corrective/planned_repairs.h"
#include "corrective/planned_repairs_fixture.h"
#include "platform/handover.h"
#include "support/handover_rows.h"

namespace gim {
namespace {

class RepairHistoryTest : public test::PlannedRepairsTest
{
protected:
    RepairHistoryTest()
    {
        // Today is week 50 of 2026; ages count from the week each pending repair was entered.
        StoreRepairs({Repair("PRENSA", 156, "Cambiar rodamiento", "P", "M", 0, "02/11/2026"), // 5 weeks
                      Repair("BOMBA01", 150, "Revisar sello", "T", "E", 90, "05/10/26"),      // 9 weeks
                      Repair("PRENSA", 156, "Fuga de aceite", "P", "A", 0, "07/12/2026"),     // a notice
                      Repair("BOMBA01", 140, "Motor nuevo", "M", "EM", 30, "16/11/2026"),     // 3 weeks
                      Repair("PRENSA", 120, "Pintar bancada", "J", "P", 45, "Luis"),
                      Repair("PRENSA", 100, "Proveedor externo", "S", "MS", 60, "15/03/2025"),
                      Repair("PRENSA", 154, "Hecha", "E", "M", 120, "JUAN")});
    }
    const QString kFilterCard = QStringLiteral("REPARACIONES PLANIFICADAS SEMANAL");
};

TEST_F(RepairHistoryTest, TheSelectiveHistoryListsEveryWeekWithAgesCountsRatiosAndCharts)
{
    t.ui.ExpectCard(kFilterCard)
        .ExpectValue("Codigo", "*")
        .ExpectValue("Estado", "*")
        .ExpectValue("Semana", "0")
        .ExpectValue("Ano", "2027")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("&Buscar"));
        })
        .Press("Salvar");
    t.ui.ExpectReport(QStringLiteral("REPARACIONES"));
    ASSERT_TRUE(RunMenu("Reparaciones > Consulta > Selectiva"));
    EXPECT_SCRIPT_DONE(t.ui);
    // The text sheet; the charts are pinned below.
    EXPECT_EQ(Transcript().section(QStringLiteral("GRAFICO:"), 0, 0),
              QString::fromUtf8(
                  "[REPARACIONES]\n"
                  "TABS: 6 60 200 230 245 260 290 310 340 400 460\n"
                  "{10 b}\t          HISTORIAL DE REPARACIONES \n"
                  "\tCodigo\tNombre Máquina\tTI\tEt\tEp\tOT\tSm\tAño\tEjecut\tDescripción\n"
                  "{10 #0000ff}\tPRENSA\tPrensa grande\t0\tP\tM\t\t0\t2027\t02/11/2026\tCambiar rodamiento\n"
                  "{10 #ff0000}\tBOMBA01\tBomba de agua\t90\tT\tE\t\t46\t2026\t05/10/26\tRevisar sello\n"
                  "{10}\tPRENSA\tPrensa grande\t0\tP\tA\t\t0\t2027\t07/12/2026\tFuga de aceite\n"
                  "\tBOMBA01\tBomba de agua\t30\tM\tEM\t\t36\t2026\t16/11/2026\tMotor nuevo\n"
                  "\tPRENSA\tPrensa grande\t45\tJ\tP\t\t16\t2026\tLuis\tPintar bancada\n"
                  "\tPRENSA\tPrensa grande\t60\tS\tMS\t\t48\t2025\t15/03/2025\tProveedor externo\n"
                  "\tPRENSA\tPrensa grande\t120\tE\tM\t\t50\t2026\tJUAN\tHecha\n"
                  "\n"
                  "{10 b}\tTIEMPO TOTAL EMPLEADO EN LAS REPARACIONES : 5Hr 45 Mn\n"
                  "\tREPARACIONES PENDIENTES/T MANO DE OBRA = 3/1\t\t42 %\n"
                  "\tREPARACIONES PENDIENTES MATERIALES .....= 1\t\t14 %\n"
                  "\tREPARACIONES PENDIENTES DE MEJORAS .....= 1\t\t14 %\n"
                  "\tREPARACIONES PENDIENTES SERVICIOS ........= 1\t\t14 %\n"
                  "\tTOTAL REPARACIONES PENDIENTES .............= 6\t\t85 %\n"
                  "\tRatio de control Pendientes Mano de Obra : 4 Semanas\n"
                  "\tRatio de control de Materiales Pendientes  : 3 Semanas\n"));
    const ReportDocument& report = *t.ui.Reports().back();
    EXPECT_EQ(report.saveSubFolder, QStringLiteral("\\REPARACIONES"));
    ASSERT_TRUE(report.weekGraph.has_value());
    EXPECT_EQ(report.weekGraph->title, QStringLiteral("REPARACIONES PROGRAMADAS "));
    EXPECT_EQ(report.weekGraph->names,
              (std::array<QString, 6>{" ", "T Interv.", "T.Avisos", "T.Repar.", " ", " "}));
    // 345 minutes over the highest week below the bucket, 154.
    EXPECT_EQ(report.weekGraph->maxValue, 2u);
    EXPECT_EQ(report.weekGraph->weeks[46].Value2.get(), 90);
    EXPECT_EQ(report.weekGraph->weeks[46].Value4.get(), 90);
    EXPECT_EQ(report.weekGraph->weeks[0].Value3.get(), 0);
    EXPECT_EQ(report.weekGraph->weeks[50].Value4.get(), 120);
    ASSERT_EQ(report.pie.slices.size(), 2u);
    EXPECT_EQ(report.pie.slices[0].label, QString::fromUtf8("Nº.Avisos"));
    EXPECT_EQ(report.pie.slices[0].value, 1u);
    EXPECT_EQ(report.pie.slices[1].label, QString::fromUtf8("Nº.Rep.Prev."));
    EXPECT_EQ(report.pie.slices[1].value, 7u);
}

TEST_F(RepairHistoryTest, OneWeekAndLeastMinutesNarrowTheListAndDrawNoChart)
{
    t.ui.ExpectCard(kFilterCard).Set("Semana", "46").Set("Ano", "2026").Set("Tiempo", "60").Press("Salvar");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Reparaciones > Consulta > Selectiva"));
    const ReportDocument& report = *t.ui.Reports().back();
    EXPECT_TRUE(report.Text().contains(QStringLiteral("\tBOMBA01\tBomba de agua\t90\tT\tE\t\t46\t2026\t")));
    EXPECT_FALSE(report.Text().contains(QStringLiteral("Hecha")));
    EXPECT_FALSE(report.weekGraph.has_value());

    // A left search card lists nothing.
    t.ui.ExpectCard(kFilterCard).Press("Salir");
    ASSERT_TRUE(RunMenu("Reparaciones > Consulta > Selectiva"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().size(), 1u);
}

TEST_F(RepairHistoryTest, ThePendingNoticesNeedNoCard)
{
    t.ui.ExpectReport(QStringLiteral("REPARACIONES"));
    ASSERT_TRUE(RunMenu("Reparaciones > Consulta > Avisos Pend"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(
        Transcript(),
        QString::fromUtf8("[REPARACIONES]\n"
                          "TABS: 6 60 200 230 245 260 290 310 340 400 460\n"
                          "{10 b}\t          HISTORIAL DE REPARACIONES \n"
                          "\tCodigo\tNombre Máquina\tTI\tEt\tEp\tOT\tSm\tAño\tEjecut\tDescripción\n"
                          "{10}\tPRENSA\tPrensa grande\t0\tP\tA\t\t0\t2027\t07/12/2026\tFuga de aceite\n"
                          "\n"
                          "{10 b}\tREPARACIONES PENDIENTES/T MANO DE OBRA = 1/0\t\t100 %\n"
                          "\tREPARACIONES PENDIENTES MATERIALES .....= 0\t\t0 %\n"
                          "\tREPARACIONES PENDIENTES DE MEJORAS .....= 0\t\t0 %\n"
                          "\tREPARACIONES PENDIENTES SERVICIOS ........= 0\t\t0 %\n"
                          "\tTOTAL REPARACIONES PENDIENTES .............= 1\t\t100 %\n"
                          "\tRatio de control Pendientes Mano de Obra : 0 Semanas\n"
                          "\tRatio de control de Materiales Pendientes  : 0 Semanas\n"
                          "BARRAS: \n"
                          "  axes: SEMANAS / MINUTOS / % /  / Al Lado\n"
                          "LINEAS: \n"
                          "  axes: SEMANAS / MINUTOS/ % / \n"
                          "TARTA:  | REPARACIONES PROGRAMADAS   PORTAL  07/12/2026\n"
                          "  'Nº.Avisos' = 1 #ffff00\n"
                          "  'Nº.Rep.Prev.' = 7 #0000ff\n"));
}

// Nothing listed, and the only record at week 0: every share, mean and the graph's scale are 0.
TEST_F(RepairHistoryTest, AnEmptyListingPrintsZerosInsteadOfDividingByNothing)
{
    StoreRepairs({Repair("PRENSA", 0, "antigua", "E", "A")});
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Reparaciones > Consulta > Avisos Pend"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(),
              QString::fromUtf8("[REPARACIONES]\n"
                                "TABS: 6 60 200 230 245 260 290 310 340 400 460\n"
                                "{10 b}\t          HISTORIAL DE REPARACIONES \n"
                                "\tCodigo\tNombre Máquina\tTI\tEt\tEp\tOT\tSm\tAño\tEjecut\tDescripción\n"
                                "{10}\n"
                                "{10 b}\tREPARACIONES PENDIENTES/T MANO DE OBRA = 0/0\t\t0 %\n"
                                "\tREPARACIONES PENDIENTES MATERIALES .....= 0\t\t0 %\n"
                                "\tREPARACIONES PENDIENTES DE MEJORAS .....= 0\t\t0 %\n"
                                "\tREPARACIONES PENDIENTES SERVICIOS ........= 0\t\t0 %\n"
                                "\tTOTAL REPARACIONES PENDIENTES .............= 0\t\t0 %\n"
                                "\tRatio de control Pendientes Mano de Obra : 0 Semanas\n"
                                "\tRatio de control de Materiales Pendientes  : 0 Semanas\n"
                                "BARRAS: \n"
                                "  axes: SEMANAS / MINUTOS / % /  / Al Lado\n"
                                "LINEAS: \n"
                                "  axes: SEMANAS / MINUTOS/ % / \n"
                                "TARTA:  | REPARACIONES PROGRAMADAS   PORTAL  07/12/2026\n"
                                "  'Nº.Avisos' = 0 #ffff00\n"
                                "  'Nº.Rep.Prev.' = 1 #0000ff\n"));
    // A scale of 0 leaves the graph sheets empty.
    EXPECT_FALSE(t.ui.Reports().back()->weekGraph.has_value());
}

TEST_F(RepairHistoryTest, TheControlRatiosTurnBlueAboveFourWeeksAndRedAboveEight)
{
    StoreRepairs(
        {Repair("PRENSA", 156, "a", "P", "M", 0, "05/10/2026"),   // 9 weeks
         Repair("PRENSA", 156, "b", "T", "M", 0, "28/09/26"),     // 10 weeks, as the daily reports write it
         Repair("PRENSA", 156, "c", "M", "M", 0, "26/10/2026")}); // 6 weeks
    t.ui.ExpectCard(kFilterCard).Press("Salvar");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Reparaciones > Consulta > Selectiva"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(Transcript().contains(
        QStringLiteral("{10 b #ff0000}\tRatio de control Pendientes Mano de Obra : 9 Semanas\n"
                       "{10 b #0000ff}\tRatio de control de Materiales Pendientes  : 6 Semanas\n")))
        << Transcript().toStdString();
}

TEST_F(RepairHistoryTest, TheSilentWeekModeSumsOneWeekOfTheSortedFile)
{
    t.ctx.st.ActionCode = QStringLiteral("3");
    SortPlannedRepairFile(t.ctx); // by code, then by week as the ratios have it
    t.ctx.st.ActionCode = QStringLiteral("5");
    SortPlannedRepairFile(t.ctx);
    t.ctx.st.WorkWeek = 46;
    t.ctx.st.WorkYear = 26;
    ReportRepairHistory(t.ctx);
    EXPECT_EQ(PlannedRepairs(t.ctx).WeekRepairMinutes, 90);
    EXPECT_EQ(PlannedRepairs(t.ctx).WeekPendingAges, 9);
    t.ctx.st.WorkWeek = 36;
    ReportRepairHistory(t.ctx);
    EXPECT_EQ(PlannedRepairs(t.ctx).WeekRepairMinutes, 30);
    EXPECT_EQ(PlannedRepairs(t.ctx).WeekMaterialAges, 3);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty());
}

TEST_F(RepairHistoryTest, AListedRowLeadsTheSelectiveEditStraightToItsRepair)
{
    t.ui.ExpectCard(kFilterCard).Press("Salvar");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Reparaciones > Consulta > Selectiva"));
    const QString row = t.ui.Reports().back()->LineText(3); // "Revisar sello", week 46 of 2026
    EditFlags flags{};
    t.ctx.Module<HandoverRegistry>().HandOver(flags, EditItem::Repara, row);
    EXPECT_EQ(flags[PendingEditIndex(EditItem::Repara)], 1);
    const TPlannedRepairRecord& input = PlannedRepairs(t.ctx).PlannedRepairInput;
    EXPECT_EQ(input.Description.bytes(), "Revisar sello");
    EXPECT_EQ(input.Week.get(), 150);

    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Bomba de agua"))
        .ExpectValue("Descripcion", "Revisar sello")
        .ExpectValue("Semana", "46")
        .ExpectValue("Ano", "2026")
        .Set("Estado", "E")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("FIN DE FICHERO"));
    ASSERT_TRUE(RunMenu("Reparaciones > Edición > Selectiva"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(PlannedRepairs(t.ctx).PlannedRepairInput.Description.empty());
    std::string state;
    for (const TPlannedRepairRecord& r : StoredRepairs())
        if (r.Description == "Revisar sello")
            state = r.State.bytes();
    EXPECT_EQ(state, "E");
}

// Editar > Repara on a row of the repair listing.
TEST_F(RepairHistoryTest, EditarReparaFillsTheRepairFieldsOfItsColumns)
{
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(
        t.ctx.st.PendingEditFlags, EditItem::Repara,
        test::Row({"1", "M1", "x", "90", "P", "EL", "77", "49", "2026", "Juan", "Cambiar motor"}));
    EXPECT_EQ(test::Describe(handover.Buffer(EditItem::Repara)),
              test::Describe({{"Code", "M1"},
                              {"Minutes", "90"},
                              {"State", "P"},
                              {"Specialty", "EL"},
                              {"Order", "77"},
                              {"Week", "49"},
                              {"Year", "2026"},
                              {"Executor", "Juan"},
                              {"Description", "Cambiar motor"}}));
}

} // namespace
} // namespace gim
