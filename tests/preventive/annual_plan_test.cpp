#include "preventive/annual_plan.h"
#include "preventive_fixture.h"

namespace gim {
namespace {

class AnnualPlanTest : public test::PreventiveTest
{
protected:
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
};

// Two machines were unloaded: their entries stay, erased, until the annual plan compacts the file. The
// erased entry keeps the bytes of the code it had.
TEST_F(AnnualPlanTest, TheAnnualPlanListsStartWeeksByMonthAndCompactsThePlanFile)
{
    StoreMachines({Machine("ARIETE", "Ariete"), Machine("BOMBA", "Bomba"),
                   Machine("FRESA", "Fresa", "CTA", "-", "-", "-", "NO"), Machine("TORNO", "Torno")});
    TPlanRecord erased = Planned("PRENSA", 7);
    erased.Code = "Z";
    const std::vector<TPlanRecord> plan{Planned("TORNO", 5),   erased,
                                        Planned("BOMBA", 20),  Planned("Z", 3),
                                        Planned("ARIETE", 50), Planned("FRESA", 95),
                                        Planned("GRUA", 1)};
    StorePlan(plan);
    t.ui.ExpectReport(QStringLiteral("PLANING DE FECHAS INICIALES DE MAQUINAS PORTAL"));
    ASSERT_TRUE(RunMenu("Pláning > Plan Anual"));
    EXPECT_SCRIPT_DONE(t.ui);

    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PBK")), Bytes(plan));
    EXPECT_EQ(PlanBytes(), Bytes(std::vector{plan[4], plan[2], plan[5], plan[6], plan[0]}));
    // Each start week stands under its month of the 48-week year: week 50 in month 13, the first of the
    // second year. The rule runs to the end of the last month's column (965 points; Arial's hyphen is a
    // third of the 10-point size wide).
    auto tabs = [](int n) { return QString(n, QLatin1Char('\t')); };
    EXPECT_EQ(Transcript(),
              QStringLiteral(
                  "[PLANING DE FECHAS INICIALES DE MAQUINAS PORTAL]\n"
                  "TABS: 5 60 290 317 344 371 398 425 452 479 506 533 560 587 614 641 668 695 722 749 776 "
                  "803 830 857 884 911 938\n"
                  "PLANING DE FECHAS INICIALES DE MAQUINAS PORTAL                             07/12/2026\n"
                  "\n"
                  "\tCodigo\t             DENOMINACIÓN\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t1\t2\t3\t4\t5"
                  "\t6\t7\t8\t9\t10\t11\t12\t1\n") +
                  QString(289, QLatin1Char('-')) + QStringLiteral("\n\tARIETE\tAriete") + tabs(13) +
                  QStringLiteral("50\n\tBOMBA\tBomba") + tabs(6) + QStringLiteral("20\n\tTORNO\tTorno") +
                  tabs(2) + QStringLiteral("5\n\n\tEL NUMERO DE MAQUINAS EN PLANING ES DE : 3\n"));
    // Each start week stands in the tab column of its month's number: week 13 under April ("4"), week 29
    // under August ("8"), week 45 under December ("12"), week 50 under the next year's January.
    const std::shared_ptr<const ReportDocument> listed = t.ui.Reports().back();
    const QStringList header = listed->LineText(2).split(QLatin1Char('\t'));
    for (const auto& [week, month] : {std::pair{13, "4"}, {29, "8"}, {45, "12"}, {50, "1"}, {5, "2"}}) {
        const int column = 2 + week / 4 + 1; // code, name, then the tabs a row puts before its week
        ASSERT_LT(column, header.size());
        EXPECT_EQ(header[column], QString::fromLatin1(month)) << week;
    }
    EXPECT_EQ(t.ctx.st.ActionCode, QString());
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);

    // Run again, the file has nothing to drop: the twin is the compacted file, and nothing else changes.
    const std::string compacted = PlanBytes();
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Pláning > Plan Anual"));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PBK")), compacted);
    EXPECT_EQ(PlanBytes(), compacted);
}

TEST_F(AnnualPlanTest, WithoutAPlanFileTheErrorIsShownAndNothingIsCreated)
{
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Pláning > Plan Anual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PLN")));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PBK")));
}

} // namespace
} // namespace gim
