#include "corrective/corrective_fixture.h"
#include "corrective/corrective_operations.h"
#include "corrective/planned_repairs_fixture.h"
#include "records/plan_records.h"

#include <QFile>
#include <QRegularExpression>

namespace gim {
namespace {

// A plan from 2024 to 2027 with an agenda of 40 hours a week; today is week 50 of 2026.
class CorrectiveRatiosTest : public test::PlannedRepairsTest
{
protected:
    CorrectiveRatiosTest()
    {
        RegisterCorrective(registry, t.ctx);
        std::vector<TAgendaRecord> agenda(156);
        for (TAgendaRecord& week : agenda)
            week.FreeMinutes = 2400;
        agenda[0].FreeMinutes = 1200;
        agenda[0].PlannedMinutes = 1200;
        agenda[3].FreeMinutes = static_cast<std::uint16_t>(-200); // overbooked by 200 minutes
        agenda[3].PlannedMinutes = 2600;
        agenda[5].FreeMinutes = 0; // no capacity
        StoreRecords(t.ctx, QStringLiteral("PORTAL.CAR"), agenda);
        // Out of order: the menu sorts them by week first.
        StoreRepairs({Repair("PRENSA", 5, "a", "M", "M", 60, "16/11/2026"), // materials, 3 weeks old
                      Repair("PRENSA", 0, "b", "E", "M", 120, "JUAN"),
                      Repair("PRENSA", 156, "pending", "P", "M", 500, "01/12/2026"),
                      Repair("BOMBA01", 3, "c", "P", "E", 480, "05/10/2026"), // 9 weeks old
                      Repair("BOMBA01", 60, "next year", "E", "E", 90, "JUAN")});
    }
    void StoreOrders(const std::vector<TWorkOrderRecord>& orders)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.OTR"), orders);
    }
    static TWorkOrderRecord Order(const char* notice, const char* state)
    {
        TWorkOrderRecord r{};
        r.NoticeDate = notice;
        r.State = state;
        return r;
    }
    int LinesMatching(const QString& pattern) const
    {
        return static_cast<int>(
            Transcript().split(QLatin1Char('\n')).filter(QRegularExpression(pattern)).size());
    }
};

TEST_F(CorrectiveRatiosTest, TheRepairRatioSetsEachWeekAgainstTheAgendaFromTheFirstPlanWeek)
{
    struct Case
    {
        const char* typedYear;
        bool agenda;
        int weekLines;
        const char* expected; // consecutive lines of the transcript
    } cases[] = {
        // The first plan year lists indexes 0 .. 52; the overbooked week keeps its 40 hours of capacity;
        // the means divide by the weeks with repairs, the ratio's by those with a capacity.
        {"2024", true, 53,
         "\t0/2024\t02 : 00\t20 : 00\t5%\n"
         "\t1/2024\t00 : 00\t00 : 00\t0%\n"
         "\t2/2024\t00 : 00\t00 : 00\t0%\n"
         "\t3/2024\t08 : 00\t43 : 20\t20%\n"
         "\t4/2024\t00 : 00\t00 : 00\t0%\n"
         "\t5/2024\t01 : 00\t00 : 00\t0%\n"},
        {"2024", true, 53,
         "\t0/2025\t00 : 00\t00 : 00\t0%\n"
         "\t------------\t------------\t------------\t--------\n"
         "\tMEDIAS:\t3h 40m\t\t12%\n"
         "{10 #ff0000}\tRatio de control Pendientes Mano Obra : 9 Semanas\n"
         "{10}\tRatio de control Materiales Pendientes  : 3 Semanas\n"},
        // Years outside the plan: the first plan year.
        {"2019", true, 53, "\t51/2024\t00 : 00\t00 : 00\t0%\n\t0/2025\t00 : 00\t00 : 00\t0%\n\t---"},
        {"2031", true, 53, "\t51/2024\t00 : 00\t00 : 00\t0%\n\t0/2025\t00 : 00\t00 : 00\t0%\n\t---"},
        {"2025", true, 105, "\t8/2025\t01 : 30\t00 : 00\t3%\n"},
        // Without an agenda no week has a capacity, nor a ratio.
        {"2024", false, 53,
         "\t0/2024\t02 : 00\t00 : 00\t0%\n"
         "\t1/2024\t00 : 00\t00 : 00\t0%\n"
         "\t2/2024\t00 : 00\t00 : 00\t0%\n"
         "\t3/2024\t08 : 00\t00 : 00\t0%\n"},
        {"2024", false, 53, "\tMEDIAS:\t3h 40m\t\t0%\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typedYear);
        if (!c.agenda)
            QFile::remove(t.Path(QStringLiteral("PORTAL.CAR")));
        t.ui.ExpectInput(QStringLiteral("REPARACIONES Y REFORMAS"),
                         QString::fromUtf8("INTRODUZCA AÑO DE ANALISIS "), QString::fromLatin1(c.typedYear));
        t.ui.ExpectReport(QStringLiteral("REPARACIONES"));
        ASSERT_TRUE(RunMenu("Reparaciones > Ratios"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(LinesMatching(QStringLiteral("^(\\{.*\\})?\\t\\d+/20\\d\\d\\t")), c.weekLines);
        EXPECT_TRUE(Transcript().contains(QString::fromUtf8(c.expected))) << Transcript().toStdString();
    }
    const ReportDocument& report = *t.ui.Reports().back();
    ASSERT_TRUE(report.weekGraph.has_value());
    EXPECT_EQ(report.weekGraph->title, QStringLiteral("REPARACIONES PROGRAMADAS "));
    EXPECT_EQ(report.weekGraph->names,
              (std::array<QString, 6>{" ", " ", "Preventivo Planif ", "Reparaciones ", " ", " "}));
    EXPECT_EQ(report.weekGraph->maxValue, 220u);             // 660 minutes over 3 repair weeks
    EXPECT_EQ(report.weekGraph->weeks[3].Value4.get(), 240); // halved
}

TEST_F(CorrectiveRatiosTest, TheWorkOrderEvolutionCountsByTheNoticeWeekOfTheYear)
{
    const char* kRatio = "\tRatio OT %:\t\t16\t16\t16\t33,33 %\n";
    struct Case
    {
        const char* name;
        std::optional<std::vector<TWorkOrderRecord>> orders;
        const char* expected;
        const char* ratio; // nullptr: no ratio line and no charts
    } cases[] = {
        {"year",
         std::vector<TWorkOrderRecord>{Order("26/05/1", "P"), Order("26/05/3", "E"), Order("26/52/2", "T"),
                                       Order("25/05/1", "E"), Order("  /  / ", "P"), Order("26/00/4", "A"),
                                       Order("26/10/1", "M"), Order("26/52/5", "E")},
         "\t5 / 26\t2\t1\t0\t0\t1\n", "\tRatio OT %:\t\t16\t16\t16\t33,33 %\n"},
        {"week 52 and the last order", std::nullopt, "\t52 / 26\t2\t0\t1\t0\t1\n", kRatio},
        {"totals", std::nullopt, "\tAcumulados:\t6\t1\t1\t1\t2\n", kRatio},
        {"two decimals",
         std::vector<TWorkOrderRecord>{Order("26/07/1", "E"), Order("26/07/1", "P"), Order("26/07/1", "P"),
                                       Order("26/07/1", "P"), Order("26/07/1", "P"), Order("26/07/1", "P"),
                                       Order("26/07/1", "P"), Order("26/07/1", "P"), Order("26/07/1", "P"),
                                       Order("26/07/1", "P"), Order("26/07/1", "P")},
         "\t7 / 26\t11\t10\t0\t0\t1\n", "\tRatio OT %:\t\t90\t0\t0\t9,09 %\n"},
        {"no file", std::vector<TWorkOrderRecord>{},
         "\t52 / 26\t0\t0\t0\t0\t0\n"
         "\t----------\t----------\t----------\t----------\t------"
         "----\t----------\n"
         "\tAcumulados:\t0\t0\t0\t0\t0\n",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.orders && c.orders->empty())
            QFile::remove(t.Path(QStringLiteral("PORTAL.OTR")));
        else if (c.orders)
            StoreOrders(*c.orders);
        t.ui.ExpectInput(QStringLiteral("REPARACIONES Y REFORMAS"),
                         QString::fromUtf8("INTRODUZCA AÑO DE ANALISIS "), QStringLiteral("2026"));
        t.ui.ExpectReport(QStringLiteral("ORDENES DE TRABAJO"));
        ASSERT_TRUE(RunMenu("OT/Prspuestos > Ratios OT"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(LinesMatching(QStringLiteral("^(\\{.*\\})?\\t\\d+ / 26\\t")), 53);
        EXPECT_TRUE(Transcript().contains(QString::fromUtf8(c.expected))) << Transcript().toStdString();
        EXPECT_EQ(Transcript().contains(QStringLiteral("Ratio OT")), c.ratio != nullptr);
        if (c.ratio) {
            EXPECT_TRUE(Transcript().contains(QString::fromUtf8(c.ratio)));
        }
        EXPECT_EQ(t.ui.Reports().back()->weekGraph.has_value(), c.ratio != nullptr);
    }
}

TEST_F(CorrectiveRatiosTest, TheEvolutionChartsTakeTheWeeklyCountsAndTheTotals)
{
    StoreOrders({Order("26/05/1", "P"), Order("26/05/3", "E"), Order("26/52/2", "T"), Order("26/00/4", "A"),
                 Order("26/10/1", "M"), Order("26/52/5", "E")});
    t.ui.ExpectInput(QStringLiteral("REPARACIONES Y REFORMAS"),
                     QString::fromUtf8("INTRODUZCA AÑO DE ANALISIS "), QStringLiteral("2026"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Ratios OT"));
    const ReportDocument& report = *t.ui.Reports().back();
    ASSERT_TRUE(report.weekGraph.has_value());
    EXPECT_EQ(report.weekGraph->title, QString::fromUtf8("EVOLUCIÓN ORDENES DE TRABAJO 26"));
    EXPECT_EQ(report.weekGraph->maxValue, 1u); // 6 orders over the 4 weeks that have any
    const TWeekGraphRecord& week5 = report.weekGraph->weeks[5];
    EXPECT_EQ((std::array<std::int64_t, 5>{week5.Value1.get(), week5.Value2.get(), week5.Value3.get(),
                                           week5.Value4.get(), week5.Value5.get()}),
              (std::array<std::int64_t, 5>{2, 0, 1, 1, 0}));
    std::vector<std::pair<QString, std::uint32_t>> slices;
    for (const ReportPieSlice& s : report.pie.slices)
        slices.emplace_back(s.label, s.value);
    EXPECT_EQ(slices, (std::vector<std::pair<QString, std::uint32_t>>{{"OT ABIERTAS", 6},
                                                                      {"OT PENDIENTES", 1},
                                                                      {"OT EN TRAMITE", 1},
                                                                      {"OT ANULADAS", 1},
                                                                      {"OT EJECUTADAS", 2}}));
}

} // namespace
} // namespace gim
