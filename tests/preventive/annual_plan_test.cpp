#include "app/features.h"
#include "core/command_table.h"
#include "core/record_file.h"
#include "preventive/annual_plan.h"
#include "preventive_fixture.h"

#include <algorithm>
#include <cerrno>

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

// Entries of one machine keep the order they arrived in; a start week of 37 stands in the tenth month.
TEST_F(AnnualPlanTest, EqualCodesKeepTheirArrivalOrderAndWeek37StandsAfterTenTabs)
{
    StoreMachines({Machine("ARIETE", "Ariete"), Machine("BOMBA", "Bomba"), Machine("TORNO", "Torno")});
    const std::vector<TPlanRecord> plan{Planned("TORNO", 0), Planned("BOMBA", 37),  Planned("Z", 12),
                                        Planned("BOMBA", 2), Planned("ARIETE", 47), Planned("Z", 37),
                                        Planned("BOMBA", 36)};
    StorePlan(plan);
    t.ui.ExpectReport(QStringLiteral("PLANING DE FECHAS INICIALES DE MAQUINAS PORTAL"));
    ASSERT_TRUE(RunMenu("Pláning > Plan Anual"));
    EXPECT_SCRIPT_DONE(t.ui);

    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PBK")), Bytes(plan));
    EXPECT_EQ(PlanBytes().size(), (plan.size() - 2) * sizeof(TPlanRecord));
    EXPECT_EQ(PlanEntries(), (QStringList{"ARIETE@47", "BOMBA@37", "BOMBA@2", "BOMBA@36", "TORNO@0"}));
    const QString grid = Transcript().section(QLatin1Char('\n'), 6);
    EXPECT_EQ(grid, QStringLiteral("\tARIETE\tAriete\t\t\t\t\t\t\t\t\t\t\t\t47\n"
                                   "\tBOMBA\tBomba\t\t\t\t\t\t\t\t\t\t37\n"
                                   "\tBOMBA\tBomba\t2\n"
                                   "\tBOMBA\tBomba\t\t\t\t\t\t\t\t\t\t36\n"
                                   "\tTORNO\tTorno\t0\n"
                                   "\n"
                                   "\tEL NUMERO DE MAQUINAS EN PLANING ES DE : 5\n"));
}

// Every load and unload command compacts the plan after its own work, without a listing.
TEST_F(AnnualPlanTest, TheLoadAndUnloadCommandsEndWithTheCompaction)
{
    const std::vector<TPlanRecord> plan{Planned("TORNO", 5), Planned("Z", 3), Planned("BOMBA", 20)};
    StorePlan(plan);
    t.ctx.st.ActionCode = QStringLiteral("M");
    ListAnnualPlan(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty());
    EXPECT_EQ(PlanEntries(), (QStringList{"BOMBA@20", "TORNO@5"}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PBK")), Bytes(plan));

    const CommandTable& table = MainCommandTable();
    for (const char* path :
         {"Pláning > Altas > Cargar > Manual", "Pláning > Altas > Cargar > Automática > Aleatoria",
          "Pláning > Altas > Cargar > Automática > Sincrona",
          "Pláning > Altas > Cargar > Automática > Continua Plan", "Pláning > Altas > Descargar > Manual",
          "Pláning > Altas > Descargar > Automática"}) {
        const auto item = std::find_if(table.begin(), table.end(), [&](const CommandItem& c) {
            return c.PlainPath() == QString::fromUtf8(path);
        });
        ASSERT_NE(item, table.end()) << path;
        ASSERT_FALSE(item->steps.empty()) << path;
        EXPECT_EQ(item->steps.back().operation, Op::ListAnnualPlan) << path;
    }
}

// The new plan file goes to disk beside the old one and replaces it only once whole: a disk that fails
// while it is written, or while it is put in place, leaves the old plan file as it was.
TEST_F(AnnualPlanTest, AFailedRewriteLeavesTheOldPlanFileWhole)
{
    const std::vector<TPlanRecord> plan{Planned("TORNO", 5), Planned("Z", 3), Planned("BOMBA", 20)};
    for (const FileOp failing : {FileOp::Write, FileOp::Sync, FileOp::Rename}) {
        StorePlan(plan);
        FileFaults faults;
        faults.inject = [failing](FileOp op, const QString& path) {
            return op == failing && path.endsWith(QLatin1String("PORTAL.PLN")) ? ENOSPC : 0;
        };
        t.ctx.faults = &faults;
        t.ui.ExpectMessage(failing == FileOp::Rename ? QStringLiteral("IMPOSIBILIDAD DE RENOMBRAR")
                                                     : QStringLiteral("ESCRITURA DE DISCO"));
        RunMenu("Pláning > Plan Anual");
        t.ctx.faults = nullptr;
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(PlanBytes(), Bytes(plan)) << static_cast<int>(failing);
        EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PLN.tmp~"))) << static_cast<int>(failing);
    }
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
