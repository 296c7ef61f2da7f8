#include "core/week_codes.h"
#include "energy_fixture.h"

namespace gim {
namespace {

const QString kMachinePrompt = QStringLiteral("INTRODUCIR CODIGO MAQUINA");
const QString kMeterPrompt = QStringLiteral("INTRODUCIR CONTADOR ENERGIA");
const QString kPromptCaption = QStringLiteral("Consumos de máquinas");

using test::Reading;

class EnergyReportTest : public test::EnergyTest
{
protected:
    EnergyReportTest()
    {
        // A machine left in the buffer by an earlier command names no graph.
        t.ctx.st.CurrentMachine.Denominacion = "Torno";
    }
    // Runs a report item; answers the range and, for one meter, its prompts with 01-001 and `meter`.
    void Run(const char* item, QDate from, QDate to, const char* meter = nullptr,
             const char* message = nullptr)
    {
        t.ui.ExpectDateRange(from, to);
        if (meter) {
            t.ui.ExpectInput(kPromptCaption, kMachinePrompt, QStringLiteral("01-001"));
            t.ui.ExpectInput(kPromptCaption, kMeterPrompt, QString::fromLatin1(meter));
        }
        if (message)
            t.ui.ExpectMessage(QString::fromLatin1(message));
        else
            t.ui.ExpectReport();
        ASSERT_TRUE(RunMenu(item));
        EXPECT_SCRIPT_DONE(t.ui);
    }
    // The transcript's lines after the caption, the tab stops and the column header.
    QStringList Body() const { return t.ui.Reports().back()->Transcript().split(QLatin1Char('\n')).mid(3); }
};

// The three listings over the same kind of data, with the lines that matter. Units 0 count as 1; a reading
// not above the one before consumes 0 and is red; per unit and per day keep two decimals; no days give
// "0,00"; the graph is named after the machine chosen.
TEST_F(EnergyReportTest, ConsumptionListingsGolden)
{
    // The two readings of AGUA on 9 March stand in the file in the reverse of their list order.
    Store({Reading("AGUA", "26/09/7", 800, 2), Reading("AGUA", "26/10/1", 1000, 2),
           Reading("AGUA", "26/11/1", 1360, 2), Reading("AGUA", "26/11/1", 1350, 2),
           Reading("AGUA", "26/12/1", 1300, 2), Reading("LUZ", "26/10/1", 100, 0),
           Reading("LUZ", "26/12/1", 200, 0), Reading("LUZ", "26/14/1", 400, 0),
           Reading("GAS", "26/10/1", 1000, 3), Reading("GAS", "26/11/1", 1334, 3),
           Reading("GAS", "26/10/1", 500, 2, "02-002"), Reading("GAS", "26/11/3", 400, 2, "02-002")});

    // One meter after 1 March: each reading against the one before, the first against itself.
    Run("Energías > Informes > Por Contador", QDate(2026, 3, 1), QDate(2026, 3, 31), "AGUA");
    EXPECT_EQ(
        Body().mid(0, 8),
        (QStringList{"{10 #ff0000}\t01-001\tAGUA\tPrensa\t02/03/26\t1000\t02/03/26\t1000\t0\t2\t0,00\t0,00",
                     "{10}\t01-001\tAGUA\tPrensa\t09/03/26\t1350\t02/03/26\t1000\t350\t2\t175,00\t25,00",
                     "\t01-001\tAGUA\tPrensa\t09/03/26\t1360\t09/03/26\t1350\t10\t2\t5,00\t0,00",
                     "{10 #ff0000}\t01-001\tAGUA\tPrensa\t16/03/26\t1300\t09/03/26\t1360\t0\t2\t0,00\t0,00",
                     "{10}\tCONSUMO PROMEDIO   : 120", "\tCONSUMO ACUMULADO: 360",
                     "\tCONSUMO DIARIO         : 45",
                     "GRAFICO: CONSUMO ENERGIAS Prensa max=120 ' ' '01-001/AGUA' ' ' ' ' ' ' ' ' weeks=53"}));
    EXPECT_EQ(t.ui.Reports().at(0)->weekGraph->weeks[2].Value2.get(), 10);

    // Weeks 10 to 13: each reading against the next of its meter (the line is the later one's); a
    // reading without a later one, and the one of week 14, give none.
    Run("Energías > Informes > Por Lecturas", QDate(2026, 3, 2), QDate(2026, 3, 29));
    QStringList lines = Body();
    EXPECT_EQ(
        lines.mid(0, 4),
        (QStringList{"{10}\t01-001\tAGUA\tPrensa\t09/03/26\t1350\t02/03/26\t1000\t350\t2\t175,00\t25,00",
                     "\t01-001\tGAS\tPrensa\t09/03/26\t1334\t02/03/26\t1000\t334\t3\t111,33\t15,90",
                     "\t01-001\tLUZ\tPrensa\t16/03/26\t200\t02/03/26\t100\t100\t1\t100,00\t7,14",
                     "{10 #ff0000}\t02-002\tGAS\tTorno\t11/03/26\t400\t02/03/26\t500\t0\t2\t0,00\t0,00"}));
    EXPECT_EQ(lines.mid(6, 2),
              (QStringList{"{10}\t01-001\tLUZ\tPrensa\t30/03/26\t400\t16/03/26\t200\t200\t1\t200,00\t14,28",
                           "\tSE HAN EFECTUADO 7  LECTURAS"}));

    // The period of weeks 10 and 11: GAS consumes below 97 % of the running average per unit and is
    // blue; LUZ has no later reading in it and gives no line.
    Run("Energías > Informes > Por Periodo", QDate(2026, 3, 2), QDate(2026, 3, 15));
    EXPECT_EQ(
        Body(),
        (QStringList{
            "{10}\t01-001\tAGUA\tPrensa\t02/03/26\t1000\t09/03/26\t1360\t360\t2\t7\t180,00\t25,71",
            "{10 #0000ff}\t01-001\tGAS\tPrensa\t02/03/26\t1000\t09/03/26\t1334\t334\t3\t7\t111,33\t15,90",
            "{10 #ff0000}\t02-002\tGAS\tTorno\t02/03/26\t500\t11/03/26\t400\t0\t2\t9\t0,00\t0,00", ""}));

    Run("Energías > Informes > Por Periodo", QDate(2026, 3, 3), QDate(2026, 3, 15), nullptr,
        "No existe lectura en la fecha de inicio periodo control");
    Run("Energías > Informes > Por Contador", QDate(2026, 3, 1), QDate(2026, 3, 31), "VAPOR",
        "NO EXISTEN LECTURAS");
}

// A year and more of weekly readings: the graph holds the lines that fit its 53 weeks.
TEST_F(EnergyReportTest, TheGraphTakesNoMoreLinesThanItHasWeeks)
{
    std::vector<TEnergyReadingRecord> readings;
    for (int i = 0; i < 60; ++i)
        readings.push_back(Reading("GAS", WeekCodeOf(QDate(2026, 1, 5).addDays(7 * i)), 100 + 10 * i, 1));
    Store(readings);
    Run("Energías > Informes > Por Contador", QDate(2026, 1, 1), QDate(2027, 12, 31), "GAS");
    const ReportDocument& report = *t.ui.Reports().at(0);
    EXPECT_EQ(report.weekGraph->weeks[52].Value2.get(), 10);
    EXPECT_EQ(report.LineText(61), "\tCONSUMO PROMEDIO   : 10");
}

} // namespace
} // namespace gim
