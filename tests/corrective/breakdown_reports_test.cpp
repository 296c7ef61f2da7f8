#include "corrective/breakdown_reports.h"
#include "corrective/breakdowns.h"
#include "corrective/breakdowns_fixture.h"
#include "platform/handover.h"
#include "support/handover_rows.h"

namespace gim {
namespace {

using test::BreakdownsTest;

class BreakdownReportTest : public BreakdownsTest
{
protected:
    BreakdownReportTest()
    {
        // Week 49 of 2026 is absolute week 153: Monday 30 November to Sunday 6 December.
        StoreBreakdowns({Breakdown("PRENSA", 153, "atasco", "M", 60, 30, 15, "2", "M"),
                         Breakdown("BOMBA01", 153, "fuga", "H", 10, 20, 5, "3", "T"),
                         Breakdown("PRENSA", 153, "rotura", "E", 120, 90, 45, "4", "N"),
                         Breakdown("PRENSA", 150, "vieja", "E", 500, 500, 500, "1", "M")});
    }
    void ExpectWeek49() { t.ui.ExpectDateRange(QDate(2026, 11, 30), QDate(2026, 12, 6)); }
    const QString kConsulta = QStringLiteral("Averías > Consulta");
};

TEST_F(BreakdownReportTest, OneMachineOverOneWeekGivesItsTotalsAvailabilityAndMeanTimeBetweenFailures)
{
    ExpectWeek49();
    t.ui.ExpectCard(kAddCard)
        .ExpectValue("Semana", "49")
        .ExpectValue("ano", "2026")
        .Set("Codigo", "PRENSA")
        .Press("Button1");
    t.ui.ExpectReport(QStringLiteral("AVERIAS"));
    ASSERT_TRUE(RunMenu("Averías > Consulta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(),
              QString::fromUtf8(
                  "[AVERIAS]\n"
                  "TABS: 6 60 180 195 210 230 260 290 320 370 450 490\n"
                  "{10 b}\tCodigo\t    Nombre Máquina  \tD\tT\tE\tP\tI\tA\tOp\tMd\tS/Añ\tDescripción\n"
                  "{10}\tPRENSA\tPrensa grande\t2\tM\tM\t60\t30\t15\t-\t\t49/26\tatasco\n"
                  "\tPRENSA\tPrensa grande\t4\tN\tE\t120\t90\t45\t-\t\t49/26\trotura\n"
                  "\n"
                  "{10 b}\t     EJERCICIO 2026\n"
                  "\t                    SEMANA/PERIODO                     : 30/11/2026 - 06/12/2026\n"
                  "\t                    NUMERO DE AVERIAS                : 2\n"
                  "\t                    TOTAL TIEMPO INTERVENCIÓN: 2 h 0 m\tTIEMPO MEDIO "
                  "INTERVENCION POR AVERÍA :\t60 m\n"
                  "\t                    TOTAL TIEMPO PARO                : 3 h 0 m\tTIEMPO MEDIO PARO "
                  "POR AVERÍA :\t90 m\n"
                  "\t                    TOTAL TIEMPO ATRASO            : 1 h 0 m\tTIEMPO MEDIO ATRASO "
                  "POR AVERÍA :\t30 m\n"
                  "\t                    RATIO TA/TP                              : 33 %\n"
                  "\t                    DISPONIBILIDAD                       : 98 %\n"
                  "\t                    FIABILIDAD  (MTBF)                   : 84  Horas\n"));
    const auto& report = t.ui.Reports().back();
    EXPECT_EQ(report->saveSubFolder, QStringLiteral("\\Averias"));
    // One week: no chart.
    EXPECT_FALSE(report->SheetVisible(ReportSheet::Barras));
}

TEST_F(BreakdownReportTest, EveryMachineGivesNoAvailabilityAndAReversedRangeNoRatiosOverItsDays)
{
    ExpectWeek49();
    t.ui.ExpectCard(kAddCard).Press("Button1");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Averías > Consulta"));
    QString text = t.ui.Reports().back()->Text();
    EXPECT_TRUE(text.contains(QStringLiteral("NUMERO DE AVERIAS                : 3\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("DISPONIBILIDAD")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("FIABILIDAD  (MTBF)                   : 56  Horas")));

    // Sunday to the Saturday before: no day to divide by, for one machine or for all.
    t.ui.ExpectDateRange(QDate(2026, 12, 6), QDate(2026, 12, 5));
    t.ui.ExpectCard(kAddCard).Set("Codigo", "PRENSA").Press("Button1");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Averías > Consulta"));
    text = t.ui.Reports().back()->Text();
    EXPECT_TRUE(text.contains(QStringLiteral("RATIO TA/TP                              : 33 %")));
    EXPECT_FALSE(text.contains(QStringLiteral("DISPONIBILIDAD")));
    EXPECT_FALSE(text.contains(QStringLiteral("FIABILIDAD")));

    // A picker closed without a range, or a search card left, lists nothing.
    t.ui.ExpectDateRangeCancel();
    ASSERT_TRUE(RunMenu("Averías > Consulta"));
    ExpectWeek49();
    t.ui.ExpectCardCancel(kAddCard);
    ASSERT_TRUE(RunMenu("Averías > Consulta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().size(), 2u);
}

TEST_F(BreakdownReportTest, SeveralWeeksDrawTheWeeklyTimesAndTheTypeReportSearchesEveryWeek)
{
    t.ui.ExpectDateRange(QDate(2026, 11, 16), QDate(2026, 12, 6));
    t.ui.ExpectCard(kAddCard).Set("Codigo", "PRENSA").Set("Semana", "46").Press("Button1");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Averías > Consulta"));
    const auto& report = *t.ui.Reports().back();
    EXPECT_TRUE(report.SheetVisible(ReportSheet::Barras));
    EXPECT_TRUE(report.SheetVisible(ReportSheet::Tarta));
    ASSERT_TRUE(report.weekGraph.has_value());
    EXPECT_EQ(report.weekGraph->title, QString::fromUtf8("TIEMPOS AVERÍAS SEMANALES 2026"));
    EXPECT_EQ(report.weekGraph->names, (std::array<QString, 6>{" ", "T Atraso 186", "T Paro 226",
                                                               QString::fromUtf8("T Intervención 206"),
                                                               QString::fromUtf8("Averías/Semana 1"), " "}));
    // Three weeks: the intervention total over (3 mod 52) + 1.
    EXPECT_EQ(report.weekGraph->maxValue, 620u / 4);
    EXPECT_EQ(report.weekGraph->weeks[46].Value4.get(), 500);
    EXPECT_EQ(report.weekGraph->weeks[49].Value4.get(), 120);
    EXPECT_EQ(report.weekGraph->weeks[49].Value5.get(), 2);
    ASSERT_EQ(report.pie.slices.size(), 3u);
    EXPECT_EQ(report.pie.slices[0].label, QStringLiteral("T Atraso  09 : 20"));
    EXPECT_EQ(report.pie.slices[1].label, QStringLiteral("T Paro  11 : 20"));
    EXPECT_EQ(report.pie.slices[2].label, QString::fromUtf8("T Intervención  10 : 20"));
    EXPECT_TRUE(report.Text().contains(QStringLiteral("FIABILIDAD  (MTBF)                   : 168  Horas")));

    // Informe > Tipo: the type first, then any week of the plan.
    t.ctx.st.ActionCode.clear();
    ExpectWeek49();
    t.ui.ExpectInput(QStringLiteral("CONSULTA AVERIAS DE MAQUINAS"),
                     QStringLiteral("INTRODUCIR CODIGO TIPO DE AVERIA (X)"), QStringLiteral("E"));
    t.ui.ExpectCard(kAddCard).ExpectValue("ESPEC", "E").ExpectValue("ano", "2027").Press("Button1");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Averías > Informe > Tipo"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QString text = t.ui.Reports().back()->Text();
    EXPECT_TRUE(text.contains(QStringLiteral("\trotura\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\tvieja\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("atasco")));
    EXPECT_TRUE(text.contains(QStringLiteral("NUMERO DE AVERIAS                : 2\n")));
}

TEST_F(BreakdownReportTest, AReportRowHandedOverIsTheNextEditsSearch)
{
    ExpectWeek49();
    t.ui.ExpectCard(kAddCard).Set("Codigo", "PRENSA").Press("Button1");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Averías > Consulta"));
    const QString row = t.ui.Reports().back()->LineText(2); // "rotura"
    EditFlags flags{};
    t.ctx.Module<HandoverRegistry>().HandOver(flags, EditItem::Averias, row);
    EXPECT_EQ(flags[PendingEditIndex(EditItem::Averias)], 1);
    EXPECT_EQ(Breakdowns(t.ctx).BreakdownInput.Description.bytes(), "rotura");

    // No search card: the walk goes straight to the row's breakdown.
    t.ui.ExpectCard(QStringLiteral("AVERIAS EN Prensa grande AÑO: 2026"))
        .ExpectValue("DESCRIPCION", "rotura")
        .Set("TINT", "95")
        .Press("Button1");
    ASSERT_TRUE(RunMenu("Averías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(StoredBreakdowns()[2].Intervention.get(), 95);
    // The row serves one edit.
    EXPECT_TRUE(Breakdowns(t.ctx).BreakdownInput.Description.empty());
}

TEST_F(BreakdownsTest, TheRepetitiveReportRanksMachinesByInterventionSummedPastAWord)
{
    StoreMachines({Machine("BOMBA01", "Bomba de agua", "BOM"), Machine("PRENSA", "Prensa grande", "PRE"),
                   Machine("SIERRA", "Sierra", "SIE"), Machine("TORNO", "Torno", "TOR")});
    StoreBreakdowns({Breakdown("TORNO", 110, "a", "E", 10, 30000), Breakdown("PRENSA", 108, "b", "M", 5, 60),
                     Breakdown("TORNO", 108, "c", "E", 10, 30000), Breakdown("BOMBA01", 106, "d", "E", 7, 90),
                     Breakdown("TORNO", 106, "e", "M", 10, 30000), Breakdown("PRENSA", 105, "f", "E", 5, 30),
                     Breakdown("SIERRA", 103, "g", "E", 50, 500)});
    const QString title = QStringLiteral("AVERIAS REPETITIVAS DE MAQUINAS");
    t.ui.ExpectInput(title, QStringLiteral("INTRODUCIR CODIGO TIPO DE AVERIA (X)"), QStringLiteral("*"));
    t.ui.ExpectInput(title, QStringLiteral("INTRODUCIR Semana Inicio Control"), QStringLiteral("0"));
    t.ui.ExpectInputCancel(title, QString::fromUtf8("INTRODUCIR Año Inicio Control"));
    t.ui.ExpectReport(QStringLiteral("AVERIAS"));
    ASSERT_TRUE(RunMenu("Averías > Informe > Intervención"));
    EXPECT_SCRIPT_DONE(t.ui);
    // TORNO sums 90,000 minutes; BOMBA01 and PRENSA tie at 90 and keep the register's order; SIERRA's
    // breakdown lies before week 0 of 2026.
    EXPECT_EQ(Transcript(),
              QString::fromUtf8("[AVERIAS]\n"
                                "TABS: 6 60 200 280 360 410\n"
                                "{10 b}             HISTORIAL DE AVERÍAS  \n"
                                "\tCodigo\tNombre Máquina\tT.Intervención\tT.Paro Maquina\tNºInter\tT.medio "
                                "Int.\n"
                                "{10}\tTORNO\tTorno\t1500 Hr 0 Mn\t0 Hr 30 Mn\t3\t30000\n"
                                "\tBOMBA01\tBomba de agua\t1 Hr 30 Mn\t0 Hr 7 Mn\t1\t90\n"
                                "\tPRENSA\tPrensa grande\t1 Hr 30 Mn\t0 Hr 10 Mn\t2\t45\n"
                                "\tValores acumulados de averías desde la semana: 0/2026\n"));

    // One type: its first letter, from week 2 of 2026 (PRENSA's only breakdown of type E lies before).
    t.ui.ExpectInput(title, QStringLiteral("INTRODUCIR CODIGO TIPO DE AVERIA (X)"), QStringLiteral("E"));
    t.ui.ExpectInput(title, QStringLiteral("INTRODUCIR Semana Inicio Control"), QStringLiteral("2"));
    t.ui.ExpectInput(title, QString::fromUtf8("INTRODUCIR Año Inicio Control"), QStringLiteral("2026"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Averías > Informe > Intervención"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(
        t.ui.Reports().back()->Text(),
        QString::fromUtf8("             HISTORIAL DE AVERÍAS  \n"
                          "\tCodigo\tNombre Máquina\tT.Intervención\tT.Paro Maquina\tNºInter\tT.medio Int.\n"
                          "\tTORNO\tTorno\t1000 Hr 0 Mn\t0 Hr 20 Mn\t2\t30000\n"
                          "\tBOMBA01\tBomba de agua\t1 Hr 30 Mn\t0 Hr 7 Mn\t1\t90\n"
                          "\tValores acumulados de averías desde la semana: 2/2026"));
}

// Editar > Averías on a row of the breakdown listing: the day and the week are emptied.
TEST_F(BreakdownReportTest, EditarAveriasFillsTheBreakdownFieldsOfItsColumns)
{
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Averias,
                      test::Row({"4", "M1", "x", "y", "M", "EL", "30", "20", "5", "Pérez", "07/12/26-08:15",
                                 "z", "Motor quemado"}));
    EXPECT_EQ(test::Describe(handover.Buffer(EditItem::Averias)),
              test::Describe({{"Code", "M1"},
                              {"Shift", "M"},
                              {"Type", "EL"},
                              {"Stop", "30"},
                              {"Intervention", "20"},
                              {"Delay", "5"},
                              {"Officer", "Pérez"},
                              {"NoticeTime", "07/12/26-08:15"},
                              {"Description", "Motor quemado"},
                              {"Day", ""},
                              {"Week", ""}}));
}

} // namespace
} // namespace gim
