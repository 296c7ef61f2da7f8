#include "core/report_charts.h"
#include "core/state.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace gim {
namespace {

const std::array<QString, 6> kNames{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral(" "),
                                    QStringLiteral("D"), QStringLiteral("E"), QStringLiteral(" ")};

State StateOn7December()
{
    State st;
    st.CurrentEnvironment = QStringLiteral("PORTAL");
    st.FirmName = QStringLiteral("ACME");
    st.TodayText = QStringLiteral("07/12/2026");
    return st;
}

std::vector<TWeekGraphRecord> Weeks()
{
    std::vector<TWeekGraphRecord> weeks(53);
    for (int i = 0; i < 53; ++i)
        for (int k = 1; k <= 7; ++k)
            weeks[std::size_t(i)].Value(k) = 100 * i + k;
    return weeks;
}

TEST(DrawWeeklyGraphTest, FillsTheGraphAndBothChartsFromWeekOne)
{
    const State st = StateOn7December();
    ReportDocument doc;
    const auto weeks = Weeks();
    DrawWeeklyGraph(doc, st, QStringLiteral("TIEMPOS AVERÍAS SEMANALES 2026"), WeekGraphStyle::Plain, kNames,
                    500, weeks);

    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Documento));
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Grafico));
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Barras));
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Lineas));
    EXPECT_FALSE(doc.SheetVisible(ReportSheet::Tarta));

    ASSERT_TRUE(doc.weekGraph.has_value());
    EXPECT_EQ(doc.weekGraph->title, QStringLiteral("TIEMPOS AVERÍAS SEMANALES 2026"));
    EXPECT_EQ(doc.weekGraph->environment, QStringLiteral("PORTAL"));
    EXPECT_EQ(doc.weekGraph->firmName, QStringLiteral("ACME"));
    EXPECT_EQ(doc.weekGraph->maxValue, 500u);
    ASSERT_EQ(doc.weekGraph->weeks.size(), 53u);
    EXPECT_EQ(std::int64_t(doc.weekGraph->weeks[0].Value3), 3);

    const QString line = QStringLiteral("TIEMPOS AVERÍAS SEMANALES 2026  PORTAL      07/12/2026");
    EXPECT_EQ(doc.barChart.title, QStringList({QString(), line}));
    EXPECT_EQ(doc.lineChart.title, QStringList({QString(), line}));

    for (const ReportChart* chart : {&doc.barChart, &doc.lineChart}) {
        for (int k = 1; k <= 6; ++k) {
            SCOPED_TRACE(k);
            const ReportSeries& s = chart->series[std::size_t(k - 1)];
            EXPECT_EQ(s.title, kNames[std::size_t(k - 1)]);
            EXPECT_EQ(s.active, k != 3 && k != 6); // " " series are inactive but keep their points
            ASSERT_EQ(s.points.size(), 52u);       // week 0 is not charted
            EXPECT_EQ(s.points.front(), QPointF(1, 100 + k));
            EXPECT_EQ(s.points.back(), QPointF(52, 5200 + k));
            EXPECT_FALSE(s.rightAxis);
        }
    }
    // A plain graph keeps the window's axes and arrangement.
    EXPECT_EQ(doc.barChart.leftAxisTitle, QStringLiteral("MINUTOS / %"));
    EXPECT_EQ(doc.lineChart.leftAxisTitle, QStringLiteral("MINUTOS/ %"));
    EXPECT_EQ(doc.barChart.bottomAxisTitle, QStringLiteral("SEMANAS"));
    EXPECT_TRUE(doc.barChart.rightAxisTitle.isEmpty());
    EXPECT_EQ(doc.barChart.arrangement, ReportChart::Bars().arrangement);
}

TEST(DrawWeeklyGraphTest, MaxValueZeroShowsTheSheetsEmpty)
{
    const State st = StateOn7December();
    ReportDocument doc;
    const auto weeks = Weeks();
    DrawWeeklyGraph(doc, st, QStringLiteral("CARGA TRABAJO"), WeekGraphStyle::WorkLoad, kNames, 0, weeks);
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Grafico));
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Barras));
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Lineas));
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Documento)); // stopped before the style's settings
    EXPECT_FALSE(doc.weekGraph.has_value());
    EXPECT_EQ(doc.barChart.title, QStringList({QString()}));
    EXPECT_EQ(doc.lineChart.title, QStringList({QString()}));
    for (const ReportSeries& s : doc.barChart.series) {
        EXPECT_TRUE(s.points.empty());
        EXPECT_TRUE(s.title.isEmpty());
        EXPECT_TRUE(s.active);
    }
}

TEST(DrawWeeklyGraphTest, EachCallAddsATitleLineAndItsPoints)
{
    const State st = StateOn7December();
    ReportDocument doc;
    const auto weeks = Weeks();
    DrawWeeklyGraph(doc, st, QStringLiteral("UNO"), WeekGraphStyle::Plain, kNames, 10, weeks);
    DrawWeeklyGraph(doc, st, QStringLiteral("DOS"), WeekGraphStyle::Plain, kNames, 10, weeks);
    EXPECT_EQ(doc.barChart.title, QStringList({QString(), QStringLiteral("UNO  PORTAL      07/12/2026"),
                                               QStringLiteral("DOS  PORTAL      07/12/2026")}));
    EXPECT_EQ(doc.lineChart.series[0].points.size(), 104u);
    EXPECT_EQ(doc.weekGraph->title, QStringLiteral("DOS"));
}

TEST(DrawWeeklyGraphTest, ShortArraysChartZeroForTheMissingWeeks)
{
    const State st = StateOn7December();
    ReportDocument doc;
    std::vector<TWeekGraphRecord> weeks(3);
    weeks[2].Value1 = 7;
    DrawWeeklyGraph(doc, st, QStringLiteral("T"), WeekGraphStyle::Plain, kNames, 10, weeks);
    const auto& points = doc.barChart.series[0].points;
    ASSERT_EQ(points.size(), 52u);
    EXPECT_EQ(points[1], QPointF(2, 7));
    EXPECT_EQ(points[2], QPointF(3, 0));
    EXPECT_EQ(doc.weekGraph->weeks.size(), 53u);
}

// Each style sets the chart sheets as its listing needs them; the title no longer decides.
TEST(DrawWeeklyGraphTest, StylesSetArrangementAxesAndRightSeries)
{
    struct Case
    {
        WeekGraphStyle style;
        bool documentHidden;
        BarArrangement arrangement;
        const char* barLeft;
        const char* lineLeft;
        std::vector<int> right;
        const char* rightTitle;
    };
    const BarArrangement keep = ReportChart::Bars().arrangement;
    const Case cases[] = {
        {WeekGraphStyle::Plain, false, keep, "MINUTOS / %", "MINUTOS/ %", {}, ""},
        {WeekGraphStyle::WorkLoad, true, keep, "MINUTOS / %", "MINUTOS/ %", {}, ""},
        {WeekGraphStyle::PreventiveRatios,
         false,
         BarArrangement::Normal,
         "% PORCENTUAL",
         "% PORCENTUAL",
         {5, 6},
         "Nº de GAMAS"},
        {WeekGraphStyle::MaintenanceCosts, false, BarArrangement::Percent, "% PORCENTUAL", "MINUTOS", {}, ""},
        {WeekGraphStyle::PersonnelHours,
         false,
         BarArrangement::Normal,
         "MINUTOS",
         "MINUTOS",
         {3},
         "€ ALBARANES"},
        {WeekGraphStyle::SparePartPurchases,
         false,
         BarArrangement::Normal,
         "€ EUROS",
         "€ EUROS",
         {2},
         "Nº de PEDIDOS"},
        {WeekGraphStyle::StoreMovements,
         false,
         BarArrangement::Normal,
         "€ EUROS",
         "€ EUROS",
         {3},
         "Nº de MOVIMIENTOS"},
        {WeekGraphStyle::InventoryEvolution,
         false,
         BarArrangement::Normal,
         "€ CENT EUROS",
         "€ CENT EUROS",
         {},
         ""},
        {WeekGraphStyle::BreakdownTimes,
         false,
         BarArrangement::Normal,
         "MINUTOS",
         "MINUTOS",
         {5},
         "Nº de AVERIAS"},
        {WeekGraphStyle::PlannedRepairs, false, BarArrangement::Normal, "MINUTOS", "MINUTOS", {}, ""},
        {WeekGraphStyle::WorkOrderEvolution,
         false,
         BarArrangement::Normal,
         "Nº DE ORDENES DE TRABAJO",
         "Nº DE ORDENES DE TRABAJO",
         {},
         ""},
        {WeekGraphStyle::EnergyConsumption,
         false,
         BarArrangement::Normal,
         "UNIDADES CONTADOR",
         "UNIDADES CONTADOR",
         {},
         ""},
    };
    const State st = StateOn7December();
    const auto weeks = Weeks();
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        ReportDocument doc;
        DrawWeeklyGraph(doc, st, QStringLiteral("CUALQUIER TITULO"), c.style, kNames, 100, weeks);
        EXPECT_EQ(doc.SheetVisible(ReportSheet::Documento), !c.documentHidden);
        EXPECT_EQ(doc.barChart.arrangement, c.arrangement);
        EXPECT_EQ(doc.barChart.leftAxisTitle, QString::fromUtf8(c.barLeft));
        EXPECT_EQ(doc.lineChart.leftAxisTitle, QString::fromUtf8(c.lineLeft));
        EXPECT_EQ(doc.barChart.rightAxisTitle, QString::fromUtf8(c.rightTitle));
        EXPECT_EQ(doc.lineChart.rightAxisTitle, QString::fromUtf8(c.rightTitle));
        for (int k = 1; k <= 6; ++k) {
            const bool right = std::find(c.right.begin(), c.right.end(), k) != c.right.end();
            EXPECT_EQ(doc.barChart.series[std::size_t(k - 1)].rightAxis, right) << k;
            EXPECT_EQ(doc.lineChart.series[std::size_t(k - 1)].rightAxis, right) << k;
        }
        EXPECT_EQ(doc.barChart.bottomAxisTitle, QStringLiteral("SEMANAS"));
    }
}

// The personnel-hours graph carries a four-digit year; its chart settings come from its style, so a
// title built as "HORAS DE PERSONAL 2026" is set up like every other personnel-hours graph.
TEST(DrawWeeklyGraphTest, PersonnelHoursTitleWithFourDigitYear)
{
    const State st = StateOn7December();
    const auto weeks = Weeks();
    ReportDocument doc;
    DrawWeeklyGraph(doc, st, QStringLiteral("HORAS DE PERSONAL 2026"), WeekGraphStyle::PersonnelHours, kNames,
                    60, weeks);
    EXPECT_EQ(doc.barChart.title.last(), QStringLiteral("HORAS DE PERSONAL 2026  PORTAL      07/12/2026"));
    EXPECT_EQ(doc.barChart.leftAxisTitle, QStringLiteral("MINUTOS"));
    EXPECT_EQ(doc.barChart.rightAxisTitle, QStringLiteral("€ ALBARANES"));
    EXPECT_TRUE(doc.barChart.series[2].rightAxis);

    ReportDocument plain;
    DrawWeeklyGraph(plain, st, QStringLiteral("HORAS DE PERSONAL 2026"), WeekGraphStyle::Plain, kNames, 60,
                    weeks);
    EXPECT_EQ(plain.barChart.leftAxisTitle, QStringLiteral("MINUTOS / %"));
    EXPECT_FALSE(plain.barChart.series[2].rightAxis);
}

TEST(ShowPieChartTest, TitleLineAndSlicesInOrderWithTheirPositionsColour)
{
    const State st = StateOn7December();
    ReportDocument doc;
    ShowPieChart(doc, st, QStringLiteral("MANTENIMIENTO PREVENTIVO "),
                 {QStringLiteral("Total Preventivo"), QStringLiteral(" "), QStringLiteral("Prev en Paro "),
                  QStringLiteral(""), QStringLiteral("  "), QStringLiteral(" ")},
                 {10, 20, 30, 40, 50, 60});
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Tarta));
    EXPECT_FALSE(doc.SheetVisible(ReportSheet::Grafico));
    EXPECT_EQ(doc.pie.title,
              QStringList({QString(), QStringLiteral("MANTENIMIENTO PREVENTIVO   PORTAL  07/12/2026")}));
    // Only a single blank leaves a slice out; an empty label or two blanks are slices.
    ASSERT_EQ(doc.pie.slices.size(), 4u);
    EXPECT_EQ(doc.pie.slices[0].label, QStringLiteral("Total Preventivo"));
    EXPECT_EQ(doc.pie.slices[0].value, 10.0);
    EXPECT_EQ(doc.pie.slices[0].colour, 0xFF0000u);
    EXPECT_EQ(doc.pie.slices[1].label, QStringLiteral("Prev en Paro "));
    EXPECT_EQ(doc.pie.slices[1].value, 30.0);
    EXPECT_EQ(doc.pie.slices[1].colour, 0xFFFF00u); // slice 3 stays yellow though slice 2 is left out
    EXPECT_EQ(doc.pie.slices[2].value, 40.0);
    EXPECT_EQ(doc.pie.slices[2].colour, 0x0000FFu);
    EXPECT_EQ(doc.pie.slices[3].value, 50.0);
    EXPECT_EQ(doc.pie.slices[3].colour, 0x008000u);
}

TEST(ShowPieChartTest, AllBlankGivesAnEmptyPieWithItsTitleAndCallsAddUp)
{
    const State st = StateOn7December();
    ReportDocument doc;
    const std::array<QString, 6> blank{QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                                       QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")};
    ShowPieChart(doc, st, QStringLiteral("T"), blank, {1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(doc.SheetVisible(ReportSheet::Tarta));
    EXPECT_TRUE(doc.pie.slices.empty());
    EXPECT_EQ(doc.pie.title, QStringList({QString(), QStringLiteral("T  PORTAL  07/12/2026")}));

    std::array<QString, 6> one = blank;
    one[5] = QStringLiteral("Seis");
    ShowPieChart(doc, st, QStringLiteral("U"), one, {1, 2, 3, 4, 5, 4000000000u});
    ASSERT_EQ(doc.pie.slices.size(), 1u);
    EXPECT_EQ(doc.pie.slices[0].value, 4000000000.0);
    EXPECT_EQ(doc.pie.slices[0].colour, 0x000000u);
    EXPECT_EQ(doc.pie.title.size(), 3);
}

} // namespace
} // namespace gim
