#include "corrective/corrective_operations.h"
#include "corrective/corrective_ratios.h"
#include "corrective/planned_repairs_fixture.h"
#include "records/work_order_record.h"

#include <QFile>
#include <QRegularExpression>

namespace gim {
namespace {

// Plan 2024-2027, 40 agenda hours a week, repairs out of order (the menu sorts them); today week 50/2026.
class CorrectiveRatiosTest : public test::PlannedRepairsTest
{
protected:
    CorrectiveRatiosTest()
    {
        RegisterCorrective(registry, t.ctx);
        std::vector<TAgendaRecord> agenda(156);
        for (TAgendaRecord& week : agenda)
            week.FreeMinutes = 2400;
        agenda[0].FreeMinutes = agenda[0].PlannedMinutes = 1200;
        agenda[3].FreeMinutes = static_cast<std::uint16_t>(-200); // overbooked by 200 minutes
        agenda[3].PlannedMinutes = 2600;
        agenda[5].FreeMinutes = 0; // no capacity
        StoreRecords(t.ctx, QStringLiteral("PORTAL.CAR"), agenda);
        StoreRepairs({Repair("PRENSA", 5, "a", "M", "M", 60, "16/11/2026"), // materials, 3 weeks old
                      Repair("PRENSA", 0, "b", "E", "M", 120, "JUAN"),
                      Repair("BOMBA01", 3, "c", "P", "E", 480, "05/10/2026"), // 9 weeks old
                      Repair("BOMBA01", 60, "next year", "E", "E", 90, "JUAN")});
    }
    // Asks the year, runs the menu item and counts the week lines of its listing.
    int Run(const char* item, const char* year, const char* caption, const char* weekLine)
    {
        t.ui.ExpectInput(QStringLiteral("REPARACIONES Y REFORMAS"),
                         QString::fromUtf8("INTRODUZCA AÑO DE ANALISIS "), QString::fromLatin1(year));
        t.ui.ExpectReport(QString::fromLatin1(caption));
        EXPECT_TRUE(RunMenu(item));
        EXPECT_SCRIPT_DONE(t.ui);
        const QRegularExpression line(QStringLiteral("^(\\{.*\\})?\\t") + QString::fromLatin1(weekLine));
        return static_cast<int>(Transcript().split(QLatin1Char('\n')).filter(line).size());
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
         "\t0/2024\t02 : 00\t20 : 00\t5%\n\t1/2024\t00 : 00\t00 : 00\t0%\n\t2/2024\t00 : 00\t00 : 00\t0%\n"
         "\t3/2024\t08 : 00\t43 : 20\t20%\n\t4/2024\t00 : 00\t00 : 00\t0%\n\t5/2024\t01 : 00\t00 : 00\t0%\n"},
        {"2024", true, 53,
         "\t0/2025\t00 : 00\t00 : 00\t0%\n\t------------\t------------\t------------\t--------\n"
         "\tMEDIAS:\t3h 40m\t\t12%\n{10 #ff0000}\tRatio de control Pendientes Mano Obra : 9 Semanas\n"
         "{10}\tRatio de control Materiales Pendientes  : 3 Semanas\n"},
        {"2019", true, 53, "\t0/2025\t00 : 00\t00 : 00\t0%\n\t---"}, // before the plan: its first year
        {"2025", true, 105, "\t8/2025\t01 : 30\t00 : 00\t3%\n"},
        {"2024", false, 53, "\t3/2024\t08 : 00\t00 : 00\t0%\n"}, // no agenda: no capacity, no ratio
        {"2024", false, 53, "\tMEDIAS:\t3h 40m\t\t0%\n"},
    };
    for (const Case& c : cases) {
        if (!c.agenda)
            QFile::remove(t.Path(QStringLiteral("PORTAL.CAR")));
        EXPECT_EQ(Run("Reparaciones > Ratios", c.typedYear, "REPARACIONES", "\\d+/20\\d\\d\\t"), c.weekLines);
        EXPECT_TRUE(Transcript().contains(QString::fromUtf8(c.expected))) << Transcript().toStdString();
    }
    EXPECT_EQ(t.ui.Reports().back()->weekGraph->maxValue, 220u);             // 660 minutes in 3 repair weeks
    EXPECT_EQ(t.ui.Reports().back()->weekGraph->weeks[3].Value4.get(), 240); // halved
}

TEST_F(CorrectiveRatiosTest, TheWorkOrderEvolutionCountsByTheNoticeWeekOfTheYear)
{
    auto Order = [](const char* notice, const char* state) {
        TWorkOrderRecord r{};
        r.NoticeDate = notice;
        r.State = state;
        return r;
    };
    std::vector<TWorkOrderRecord> tenth(10, Order("26/07/1", "P"));
    tenth.push_back(Order("26/07/1", "E"));
    const char* kRatio = "\tRatio OT %:\t\t16\t16\t16\t33,33 %\n";
    struct Case
    {
        const char* name;
        std::optional<std::vector<TWorkOrderRecord>> orders; // nothing: those of the case before
        const char* expected;
        const char* ratio; // nullptr: no ratio line
        unsigned maxValue; // 0: no charts
    } cases[] = {
        {"year",
         std::vector<TWorkOrderRecord>{Order("26/05/1", "P"), Order("26/05/3", "E"), Order("26/52/2", "T"),
                                       Order("25/05/1", "E"), Order("  /  / ", "P"), Order("26/00/4", "A"),
                                       Order("26/10/1", "M"), Order("26/52/5", "E")},
         "\t52 / 26\t2\t0\t1\t0\t1\n", kRatio, 1}, // week 52 and the last order count
        {"totals", std::nullopt, "\tAcumulados:\t6\t1\t1\t1\t2\n", kRatio, 1},
        {"two decimals", tenth, "\t7 / 26\t11\t10\t0\t0\t1\n", "\tRatio OT %:\t\t90\t0\t0\t9,09 %\n", 11},
        {"no file: 53 lines of zeros", std::vector<TWorkOrderRecord>{}, "\tAcumulados:\t0\t0\t0\t0\t0\n",
         nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.orders && c.orders->empty())
            QFile::remove(t.Path(QStringLiteral("PORTAL.OTR")));
        else if (c.orders)
            StoreRecords(t.ctx, QStringLiteral("PORTAL.OTR"), *c.orders);
        EXPECT_EQ(Run("OT/Prspuestos > Ratios OT", "2026", "ORDENES DE TRABAJO", "\\d+ / 26\\t"), 53);
        EXPECT_TRUE(Transcript().contains(QString::fromUtf8(c.expected))) << Transcript().toStdString();
        EXPECT_EQ(Transcript().contains(c.ratio ? QString::fromUtf8(c.ratio) : QStringLiteral("Ratio OT")),
                  c.ratio != nullptr);
        const ReportDocument& report = *t.ui.Reports().back();
        // Opened, in progress, executed, pending, annulled in week 5; 6 orders over the 4 weeks with any.
        for (int k = 1; k <= 5 && c.ratio == kRatio; ++k)
            EXPECT_EQ(report.weekGraph->weeks[5].Value(k).get(), (std::array{2, 0, 1, 1, 0})[k - 1]);
        EXPECT_EQ(report.weekGraph ? report.weekGraph->maxValue : 0u, c.maxValue);
        EXPECT_EQ(report.pie.slices.size(), c.maxValue ? 5u : 0u);
    }
}

} // namespace
} // namespace gim
