#include "core/environment.h"
#include "preventive/predictive_trends.h"
#include "preventive_fixture.h"

#include <algorithm>
#include <tuple>

namespace gim {
namespace {

const QString kPrd = QStringLiteral("PORTAL.PRD");
const QString kChartCaption =
    QStringLiteral("             MANTENIMIENTO PREDICTIVO AÑO  2025                  07/12/2026");

TPredictiveRecord Rec(const char* kind, std::int32_t m1, std::int32_t m2, std::int32_t week = 0,
                      const char* code = "01-001")
{
    TPredictiveRecord r{};
    r.Codigo = code;
    r.FREC = kind;
    r.Espec = "V";
    r.Pos = "V1";
    r.Semana = week;
    r.Medida1 = m1;
    r.Medida2 = m2;
    return r;
}

// Fed newest first, as the register walks its measurements; measures and trends keep their 32 bits.
TEST(PredictiveTrendTest, TrendsAlertsAndForecasts)
{
    const std::pair<const char*, std::vector<std::int32_t>> trends[] = {
        {"AL", {24, 19, 15, 12, 10, 3}},
        {"BJ", {24, 19, 15, 12, 10}},
        {"AL", {24}},
        {"AL", {0, 5, 6, 7, 8, 9}},
        {"AL", {70000}},
        {"AL", {2147483647, 1, 1, 1, -2147483647 - 1}}};
    const std::int64_t expected[] = {35, -35, -60, -10, -175000, 10737418237};
    for (std::size_t i = 0; i < std::size(trends); ++i) {
        PredictiveTrends history;
        std::int64_t trend = 0;
        for (std::int32_t v : trends[i].second)
            trend = PredictiveTrend(history, QString::fromLatin1(trends[i].first), v, 0).first;
        EXPECT_EQ(trend, expected[i]) << i;
    }

    for (const auto& [kind, l1, l2, m1, m2, alert] :
         {std::tuple{"PB", 60, 40, 60, 40, false}, std::tuple{"BJ", 20, 20, 19, 20, true},
          std::tuple{"BJ", 20, 20, 20, 19, true}, std::tuple{"BJ", 20, 20, 20, 20, false}})
        EXPECT_EQ(PredictiveAlert(Rec(kind, l1, l2), Rec("M", m1, m2)), alert) << kind << m1 << "/" << m2;
}

bool HasPixel(const std::vector<GraphOp>& ops, int x, int y, std::uint32_t color)
{
    return std::any_of(ops.begin(), ops.end(), [&](const GraphOp& op) {
        return op.kind == GraphOp::Kind::Pixel && op.x1 == x && op.y1 == y && op.color == color;
    });
}

TEST(PredictiveChartTest, GeometryOfThePicture)
{
    for (const auto& [kind, y100, warningY] :
         {std::tuple{"AL", 150, 193}, std::tuple{"PB", 150, 193}, std::tuple{"BJ", 238, 195}}) {
        const TPredictiveRecord level = Rec(kind, 38, 38);
        const PredictiveChartGeometry g = ComputePredictiveChartGeometry(level, 761, 409);
        EXPECT_EQ((std::vector{g.top, g.base, g.left, g.right, g.plotHeight, g.step, g.slotWidth, g.y100,
                               g.warningY}),
                  (std::vector{40, 369, 54, 707, 329, 43, 9, y100, warningY}))
            << kind;
    }
}

class PredictiveReportTest : public test::PreventiveTest
{
protected:
    PredictiveReportTest()
    {
        BuildFirmFileNames(t.ctx);
        StoreMachines({Machine("01-001", "Prensa"), Machine("02-002", "Torno")});
        t.ctx.st.OutputCode = QStringLiteral("P");
    }
    void ExpectRegisterPrompts(const char* code)
    {
        t.ui.ExpectInput(QStringLiteral("SEMANA DE INICIO "), QStringLiteral("SEMANA (1-52) "),
                         QStringLiteral("1"));
        t.ui.ExpectInput(QStringLiteral("MEDIDAS MTO PREDICTIVO"), QStringLiteral("AÑO DEL EJERCICIO"),
                         QStringLiteral("2025"));
        t.ui.ExpectCard(QStringLiteral("FICHA  DE MANTENIMIENTO PREDICTIVO"),
                        {{"Codigo", code}, {"Espec", "V"}, {"Pos", "V1"}}, QStringLiteral("Salvar"));
    }
    void StoreMeasurements(const std::vector<TPredictiveRecord>& list) { StoreRecords(t.ctx, kPrd, list); }
    QStringList Lines(const ReportDocument& doc) { return doc.Text().split(QLatin1Char('\n')); }
};

TEST_F(PredictiveReportTest, RegisterListsTrendForecastAndLevels)
{
    // Oldest to newest 10, 12, 15, 19, 24; measure 2 flat, so that it has no forecast. A measurement of the
    // week before the start and one of another machine are left out.
    std::vector<TPredictiveRecord> stored{Rec("M", 99, 99, 0), Rec("M", 10, 5, 1), Rec("M", 12, 5, 2),
                                          Rec("M", 15, 5, 3),  Rec("M", 19, 5, 4), Rec("M", 24, 5, 60)};
    stored.push_back(Rec("M", 77, 77, 5, "02-002"));
    StoreMeasurements(stored);
    StoreRecords(t.ctx, QStringLiteral("PORTAL.ALR"), std::vector{Rec("AL", 38, 9)});
    t.ctx.st.ActionCode = QStringLiteral("2");
    ExpectRegisterPrompts("01-001");
    t.ui.ExpectPictureWindow(kChartCaption, PictureWindowResult::Exit);
    t.ui.ExpectReport(QStringLiteral("MEDIDAS DE MANTENIMIENTO PREDICTIVO PORTAL"));
    ASSERT_TRUE(RunMenu("Predictivo > Listados"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QStringList lines = Lines(*t.ui.Reports().at(0));
    EXPECT_EQ(lines.mid(2),
              (QStringList{"\t01-001\tPrensa\tV\tV1\tAL", "",
                           "\tSem/Año\tEJECUTOR\tMED-1\tMED-2\tOBSERVACIONES", "", "\t8/26\t\t24\t5",
                           "\t4/25\t\t19\t5", "\t3/25\t\t15\t5", "\t2/25\t\t12\t5", "\t1/25\t\t10\t5", "",
                           "\tVALORES DE TENDENCIAS: \t35\t0\tIncremento en décimas por Medición",
                           "\tPREVISIÓN ALCANCE ALARMA ALTA: \t4\t--\t Mediciones de Frecuencia M", "",
                           "\tNIVELES DE ALARMA AL :\t38\t9\t"}));
    EXPECT_EQ(t.ui.Reports()[0]->saveSubFolder, QStringLiteral("\\Controles"));

    // An unknown machine is refused before any window opens.
    ExpectRegisterPrompts("09-999");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MÁQUINA"));
    ASSERT_TRUE(RunMenu("Predictivo > Listados"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().size() + t.ui.Pictures().size(), 2u);
}

TEST_F(PredictiveReportTest, ListsSixtyAndChartsTheFiftyTwoOldest)
{
    // Weeks 1 to 60 since the start week: 150 in week 1, 300 in week 52, 200 between and 250 after.
    std::vector<TPredictiveRecord> stored;
    for (int w = 1; w <= 60; ++w)
        stored.push_back(Rec("M", w == 1 ? 150 : w == 52 ? 300 : w < 52 ? 200 : 250, 0, w));
    StoreMeasurements(stored);
    StoreRecords(t.ctx, QStringLiteral("PORTAL.ALR"), std::vector{Rec("AL", 300, 300)});
    t.ctx.st.ActionCode = QStringLiteral("2");
    ExpectRegisterPrompts("01-001");
    t.ui.ExpectPictureWindow(kChartCaption, PictureWindowResult::Save);
    t.ui.ExpectChooseFile(QStringLiteral("/tmp/grafico"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Predictivo > Listados"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Transcript().contains(QStringLiteral("SAVEPICTURE '/tmp/grafico.jpg'")));
    const QStringList lines = Lines(*t.ui.Reports().at(0));
    EXPECT_EQ(lines.size(), 71); // six lines of heading, 60 measurements, five of trend and levels
    EXPECT_EQ(lines[6], QStringLiteral("\t8/26\t\t250\t0"));

    const std::vector<GraphOp>& ops = t.ui.Pictures().at(0).picture;
    EXPECT_TRUE(HasPixel(ops, 54, 260, kReportRed));   // the oldest, 150
    EXPECT_TRUE(HasPixel(ops, 63, 223, kReportRed));   // 200
    EXPECT_TRUE(HasPixel(ops, 513, 150, kReportRed));  // the 52nd oldest, 300
    EXPECT_FALSE(HasPixel(ops, 522, 187, kReportRed)); // the 53rd, 250, left out
}

TEST_F(PredictiveReportTest, AlertsAndControlledMachines)
{
    StoreMeasurements(
        {Rec("M", 61, 50, 3), Rec("M", 50, 50, 2), Rec("M", 39, 50, 1), Rec("M", 1030, 0, 1, "02-002")});
    std::vector levels{Rec("PB", 60, 40), Rec("CH", 1000, 250, 0, "02-002")};
    levels[0].Descrip = "Banda";
    StoreRecords(t.ctx, QStringLiteral("PORTAL.ALR"), levels);
    StoreOperations({Op("02-002", "TF", 30, "CAMBIAR ACEITE")});
    const QString header = QStringLiteral("\tCodigo\tNombre Máquina\tEsp\tPos\tTp\tN/MD1\tN/MD2");

    t.ui.ExpectInput(QStringLiteral("Impresión Gamas CH"), QStringLiteral("Pantalla/Impresión"),
                     QStringLiteral("I"));
    t.ui.ExpectPrintDialog();
    t.ui.ExpectReport(QStringLiteral("PREDICTIVO DE PORTAL"));
    ASSERT_TRUE(RunMenu("Pláning > Lanzar > Control Horario"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Predictivo > Máquinas > Control"));
    StoreMeasurements({Rec("M", 50, 50, 3)});
    t.ui.ExpectReport();
    t.ui.ExpectMessage(QStringLiteral("TODOS LOS CONTOLES ESTAN POR DEBAJO DE LOS NIVELES DE ALERTA"));
    ASSERT_TRUE(RunMenu("Predictivo > Máquinas > Alerta"));
    EXPECT_SCRIPT_DONE(t.ui);

    ASSERT_EQ(t.ui.Reports().size(), 3u);
    EXPECT_EQ(Lines(*t.ui.Reports()[0]).mid(2),
              (QStringList{header, "", "\t01-001\tPrensa\tV\tV1\tPB\t60/61\t40/50\tBanda",
                           "\t01-001\tPrensa\tV\tV1\tPB\t60/39\t40/50\tBanda",
                           "\t02-002\tTorno\tV\tV1\tCH\t1000/1030\t250/0\t",
                           "3 CONTROLES HAN SUPERADO LOS VALORES DE ALERTA ASIGNADOS"}));
    EXPECT_EQ(Lines(*t.ui.Reports()[1]).mid(4),
              (QStringList{"\t01-001\tPrensa\tV\tV1\tPB\t60\t40", "\t02-002\tTorno\tV\tV1\tCH\t1000\t250"}));
    EXPECT_EQ(Lines(*t.ui.Reports()[2]).mid(2), (QStringList{header, ""}));
    // The hour-meter alert printed the machine's routine sheet of its hours.
    const QStringList printed = t.ui.Printed().Lines();
    EXPECT_EQ(printed.filter(QStringLiteral("CAMBIAR ACEITE")).size(), 1);
    EXPECT_EQ(printed.filter(QStringLiteral("02-002  TF")).size(), 1);
}

} // namespace
} // namespace gim
