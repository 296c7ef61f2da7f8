#include "preventive/revisions.h"
#include "preventive_fixture.h"
#include "records/revision_record.h"

namespace gim {
namespace {

const QString kTitle = QStringLiteral("RATIOS DE MANTENIMIENTO");

TRevisionRecord Rev(const char* code, std::uint16_t week, const char* state, std::uint16_t time)
{
    TRevisionRecord r{};
    r.MachineCode = code;
    r.Frequency = "M";
    r.State = state;
    r.Executor = "B2";
    r.Week = week;
    r.Time = time;
    r.Comment = "..";
    return r;
}

// Three machines planned from week 0 of 2025, each with a monthly gama of an hour: due in weeks 4 and 8.
class PreventiveRatiosTest : public test::PreventiveTest
{
protected:
    PreventiveRatiosTest()
    {
        StoreMachines({Machine("01-001", "Prensa"), Machine("02-002", "Torno"), Machine("03-003", "Fresa")});
        StoreOperations({Op("01-001", "M", 60), Op("02-002", "M", 60), Op("03-003", "M", 60)});
        StorePlan({Planned("01-001", 0), Planned("02-002", 0), Planned("03-003", 0)});
    }
    // Runs the item over weeks first..last of 2025; returns the lines of its first report.
    QStringList Run(const char* item, const std::vector<TRevisionRecord>& history, const char* first,
                    const char* last, int reports = 1)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.HRC"), history);
        const std::size_t before = t.ui.Reports().size();
        t.ui.ExpectInput(kTitle, QStringLiteral("SEMANA INICIAL (0 a 52)"), QString::fromLatin1(first));
        t.ui.ExpectInput(kTitle, QStringLiteral("SEMANA FINAL (0 a 52)"), QString::fromLatin1(last));
        t.ui.ExpectInput(kTitle, QStringLiteral("AÑO 2025 a 2027"), QStringLiteral("2025"));
        for (int i = 0; i < reports; ++i)
            t.ui.ExpectReport();
        EXPECT_TRUE(RunMenu(item));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_TRUE(Revisions(t.ctx).RevisionList.empty()) << item;
        QStringList lines;
        for (int i = 0; before < t.ui.Reports().size() && i < t.ui.Reports()[before]->LineCount(); ++i)
            lines << t.ui.Reports()[before]->LineText(i);
        return lines;
    }
};

// Per-week ratios truncate and are 0 without a divisor; the averages divide by the sums (10 of 10 is
// 100 %, not 90) and an empty range divides by nothing. The text file holds the week lines.
TEST_F(PreventiveRatiosTest, PlanRatiosPerWeekAndTheirAverages)
{
    struct Case
    {
        std::vector<TRevisionRecord> history;
        const char* first;
        const char* last;
        QStringList weeks;
        QString means;
    };
    // 02-002 done a week late still counts; a route never counts in the plan ratios.
    const std::vector<Case> cases{
        {{Rev("01-001", 4, "E", 50), Rev("02-002", 5, "E", 50), Rev("03-003", 4, "ER", 25)},
         "4",
         "5",
         {"\t4/2025\t3\t2\t66\t3h 0m \t1h 40m \t55\t83", "\t5/2025\t0\t0\t0\t0h 0m \t0h 0m \t0\t0"},
         "\tMEDIAS:\t1\t1\t66%      \t1h 30m\t0h 50m\t55 %\t83 %"},
        {{Rev("01-001", 4, "E", 50), Rev("02-002", 4, "E", 50), Rev("03-003", 4, "E", 50)},
         "4",
         "4",
         {"\t4/2025\t3\t3\t100\t3h 0m \t2h 30m \t83\t83"},
         "\tMEDIAS:\t3\t3\t100%      \t3h 0m\t2h 30m\t83 %\t83 %"},
        {{Rev("01-001", 4, "E", 50)}, "5", "4", {}, "\tMEDIAS:\t0\t0\t0%      \t0h 0m\t0h 0m\t0 %\t0 %"},
    };
    for (const Case& c : cases) {
        const QStringList lines = Run("Historial MP > Ratios > Planing", c.history, c.first, c.last);
        ASSERT_GE(lines.size(), c.weeks.size() + 5);
        EXPECT_EQ(lines.mid(3, c.weeks.size()), c.weeks);
        EXPECT_EQ(lines[3 + c.weeks.size() + 1], c.means);
        EXPECT_EQ(QString::fromLatin1(t.ReadFile(QStringLiteral("PORTAL.rtf"))),
                  c.weeks.isEmpty() ? QString()
                                    : c.weeks.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
}

// Executed gamas per week count every state but a route; routes ("ER") count only in route mode.
TEST_F(PreventiveRatiosTest, WeeklyGamasAndRoutesCountTheirOwnExecutions)
{
    const std::vector<TRevisionRecord> history{Rev("01-001", 4, "E", 50), Rev("02-002", 5, "E", 50),
                                               Rev("03-003", 4, "ER", 25)};
    const struct
    {
        const char* item;
        QStringList lines;
    } cases[]{
        {"Historial MP > Ratios > Semana",
         {"\t4/2025\t1\t0h 50m ", "\t5/2025\t1\t0h 50m ", "\tMEDIAS:\t1\t0 h 50 m"}},
        {"Historial MP > Ratios > Rutas",
         {"\t4/2025\t1\t0h 25m ", "\t5/2025\t0\t0h 0m ", "\tMEDIAS:\t0\t0 h 12 m"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.item, history, "4", "5").mid(3, 3), c.lines) << c.item;
}

// Control > Rutas lists the routes of the last week on the history still loaded, then frees it.
TEST_F(PreventiveRatiosTest, RouteControlListsTheLastWeekBeforeTheHistoryIsFreed)
{
    Run("Historial MP > Control > Rutas", {Rev("03-003", 4, "ER", 25)}, "4", "4", 2);
    ASSERT_EQ(t.ui.Reports().size(), 2u);
    const ReportDocument& routes = *t.ui.Reports().back();
    EXPECT_EQ(routes.caption, QStringLiteral("HISTORIAL PREVENTIVO DE PORTAL"));
    QStringList lines;
    for (int i = 0; i < routes.LineCount(); ++i)
        lines << routes.LineText(i);
    EXPECT_EQ(lines, (QStringList{"\tCodig\t Nombre de la Máquina\tF\tE\tS\tAñ\tTE\tEjec\tComentarios",
                                  "1\t03-003\tFresa\tM\tER\t4\t2025\t25\tB2\t..",
                                  "\t\tRESUMEN SEMANAL 4/2025", "\t\tMÁQUINAS DE LA RUTA EJECUTADAS:\t1",
                                  "\t\tOcupación en RUTAS de MANTENIMIENTO en la SEMANA ; \t0 H 25 mn",
                                  "\t\tTOTAL TIEMPO EJECUCION       TE :\t0Hrs. 25Mn."}));
}

} // namespace
} // namespace gim
