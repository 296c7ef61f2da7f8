#include "platform/week_graph.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace gim {
namespace {

std::vector<std::string> Describe(const std::vector<GraphOp>& ops, std::size_t from, std::size_t count)
{
    std::vector<std::string> out;
    for (std::size_t i = from; i < from + count && i < ops.size(); ++i)
        out.push_back(DescribeGraphOp(ops[i]).toStdString());
    return out;
}

std::vector<std::string> OfKind(const std::vector<GraphOp>& ops, GraphOp::Kind kind)
{
    std::vector<std::string> out;
    for (const GraphOp& op : ops)
        if (op.kind == kind)
            out.push_back(DescribeGraphOp(op).toStdString());
    return out;
}

// Index of the first op that draws the tick of week `week` (a line from (x, bottom) down 10 pixels).
std::size_t TickOf(const std::vector<GraphOp>& ops, const WeekGraphGeometry& g, int week)
{
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const GraphOp& op = ops[i];
        if (op.kind == GraphOp::Kind::Line && op.x1 == g.WeekX(week) && op.y1 == g.bottom && op.x2 == op.x1 &&
            op.y2 == g.bottom + 10)
            return i;
    }
    return ops.size();
}

ReportWeekGraph SampleGraph()
{
    ReportWeekGraph graph;
    graph.title = QStringLiteral("CARGA");
    graph.environment = QStringLiteral("PORTAL");
    graph.firmName = QStringLiteral("ACME");
    graph.names = {QStringLiteral("Uno"),    QStringLiteral("Dos"), QStringLiteral("Tres"),
                   QStringLiteral("Cuatro"), QStringLiteral(" "),   QStringLiteral("Seis")};
    graph.maxValue = 100;
    graph.weeks.assign(53, TWeekGraphRecord{});
    TWeekGraphRecord& w1 = graph.weeks[1];
    w1.Value1 = 100; // the 100 % level
    w1.Value2 = 50;
    w1.Value3 = 200; // the top of the plot
    w1.Value4 = -10; // below the axis
    w1.Value5 = 1;
    w1.Value6 = 250; // above the image
    w1.Value7 = 999; // never drawn
    return graph;
}

// 1200 x 800: top 80, bottom 720, left 85, right 1115, plot 640, mid 400, step 64, weeks 20 apart.
TEST(WeekGraphGeometryTest, MarginsScaleAndWeekSpacing)
{
    const WeekGraphGeometry g = ComputeWeekGraphGeometry(1200, 800, 100);
    EXPECT_EQ(g.top, 80);
    EXPECT_EQ(g.bottom, 720);
    EXPECT_EQ(g.left, 85);
    EXPECT_EQ(g.right, 1115);
    EXPECT_EQ(g.plotHeight, 640);
    EXPECT_EQ(g.mid, 400);
    EXPECT_EQ(g.step, 64);
    EXPECT_EQ(g.dx, 20);
    EXPECT_EQ(g.WeekX(0), 85);
    EXPECT_EQ(g.WeekX(52), 1125);
    EXPECT_EQ(g.ValueY(0), 720);
    EXPECT_EQ(g.ValueY(100), 400);
    EXPECT_EQ(g.ValueY(200), 80);
    EXPECT_EQ(g.ValueY(1), 717); // 3.2 pixels
    EXPECT_EQ(g.ValueY(-10), 752);
}

TEST(WeekGraphGeometryTest, HalvesRoundToEven)
{
    // 805 high: plot 645, so the 100 % level is 322.5 and a step 64.5 pixels up.
    WeekGraphGeometry g = ComputeWeekGraphGeometry(1000, 805, 2);
    EXPECT_EQ(g.bottom, 725);
    EXPECT_EQ(g.mid, 725 - 322);
    EXPECT_EQ(g.step, 64);
    EXPECT_EQ(g.ValueY(1), 725 - 161);  // 161.25
    EXPECT_EQ(g.ValueY(2), 725 - 322);  // 322.5
    EXPECT_EQ(g.ValueY(3), 725 - 484);  // 483.75
    EXPECT_EQ(g.ValueY(-2), 725 + 322); // -322.5
    // 817 high: plot 655; 327.5 and 65.5 go up to the even neighbour.
    g = ComputeWeekGraphGeometry(1000, 817, 1);
    EXPECT_EQ(g.mid, 736 - 328);
    EXPECT_EQ(g.step, 66);

    EXPECT_EQ(RoundHalfEven(5, 2), 2);
    EXPECT_EQ(RoundHalfEven(7, 2), 4);
    EXPECT_EQ(RoundHalfEven(-5, 2), -2);
    EXPECT_EQ(RoundHalfEven(-7, 2), -4);
    EXPECT_EQ(RoundHalfEven(-6, 4), -2);
}

TEST(WeekGraphGeometryTest, WeekSpacingFollowsTheHeight)
{
    EXPECT_EQ(ComputeWeekGraphGeometry(2000, 320, 1).dx, 8);
    EXPECT_EQ(ComputeWeekGraphGeometry(2000, 319, 1).dx, 9); // 319 / 40 = 7 is too close: 319 / 32
    EXPECT_EQ(ComputeWeekGraphGeometry(500, 300, 1).dx, 9);
    EXPECT_EQ(ComputeWeekGraphGeometry(100, 1000, 1).dx, 25);
}

TEST(WeekGraphGeometryTest, FarValuesStayExact)
{
    const WeekGraphGeometry g = ComputeWeekGraphGeometry(1200, 800, 1);
    const std::int64_t top = g.ValueY(std::numeric_limits<std::int64_t>::max());
    const std::int64_t low = g.ValueY(std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(top, 720 - (std::int64_t(1) << 40) * 320);
    EXPECT_EQ(low, 720 + (std::int64_t(1) << 40) * 320);
}

TEST(WeekGraphOpsTest, FrameHeadingAndPercentageScale)
{
    const std::vector<GraphOp> ops = WeekGraphOps(SampleGraph(), 1200, 800);
    const std::vector<std::string> expected = {
        "rect 0,0-1200,800 w1 #000000",
        "rect 3,3-1197,797 w1 #000000",
        "text 150,80 'CARGA  PORTAL' 12u #000000",
        "text 900,80 'ACME' 12u #000000",
        "text 45,400 '           100' 8b #000000",
        "line 85,720-1115,720 w1 #000000",
        "line 85,720-85,80 w1 #000000",
        "line 85,720-75,720 w1 #000000",
        "text 45,656 '20%' 8b #000000",
        "line 85,656-75,656 w1 #000000",
        "text 45,592 '40%' 8b #000000",
        "line 85,592-75,592 w1 #000000",
        "text 45,528 '60%' 8b #000000",
        "line 85,528-75,528 w1 #000000",
        "text 45,464 '80%' 8b #000000",
        "line 85,464-75,464 w1 #000000",
        "text 45,400 '100%' 8b #000000",
        "line 85,400-75,400 w2 #000000", // the 100 % tick is the thick one
        "text 45,336 '120%' 8b #000000",
        "line 85,336-75,336 w1 #000000",
        "text 45,272 '140%' 8b #000000",
        "line 85,272-75,272 w1 #000000",
        "text 45,208 '160%' 8b #000000",
        "line 85,208-75,208 w1 #000000",
        "text 45,144 '180%' 8b #000000",
        "line 85,144-75,144 w1 #000000",
        "text 45,80 '200%' 8b #000000",
        "text 65,80 '%' 8b #000000",
    };
    EXPECT_EQ(Describe(ops, 0, expected.size()), expected);
}

TEST(WeekGraphOpsTest, WeekZeroTickDotsCrossesAndLabel)
{
    const std::vector<GraphOp> ops = WeekGraphOps(SampleGraph(), 1200, 800);
    const WeekGraphGeometry g = ComputeWeekGraphGeometry(1200, 800, 100);
    const std::size_t tick = TickOf(ops, g, 0);
    ASSERT_EQ(tick, 28u);
    // Every series is 0 in week 0: all crosses on the bottom axis, drawn in the order 2, 3, 4, 1, 5, 6.
    const std::vector<std::string> head = {
        "line 85,720-85,730 w2 #000000",
        "pixel 85,400 #800000",
        "pixel 85,464 #800000",
        "pixel 83,720 #ff00ff",
        "pixel 84,720 #ff00ff",
        "pixel 85,720 #ff00ff",
        "pixel 86,720 #ff00ff",
        "pixel 87,720 #ff00ff",
        "pixel 85,718 #ff00ff",
        "pixel 85,719 #ff00ff",
        "pixel 85,721 #ff00ff",
        "pixel 85,722 #ff00ff",
        // Series 3 also marks the four diagonal neighbours.
        "pixel 83,720 #800000",
        "pixel 84,720 #800000",
        "pixel 85,720 #800000",
        "pixel 86,720 #800000",
        "pixel 87,720 #800000",
        "pixel 85,718 #800000",
        "pixel 85,719 #800000",
        "pixel 85,721 #800000",
        "pixel 85,722 #800000",
        "pixel 84,719 #800000",
        "pixel 86,719 #800000",
        "pixel 84,721 #800000",
        "pixel 86,721 #800000",
    };
    EXPECT_EQ(Describe(ops, tick, head.size()), head);
    // Crosses: 9 pixels for series 2, 4 and 5, 13 for series 3, 1 and 6; then the week number.
    const std::size_t label = tick + 3 + 3 * 9 + 3 * 13;
    EXPECT_EQ(DescribeGraphOp(ops[label - 1]).toStdString(), "pixel 86,721 #808080");
    EXPECT_EQ(DescribeGraphOp(ops[label]).toStdString(), "text 85,730 '0' 8b #000000");
}

TEST(WeekGraphOpsTest, WeekOneLinesInDrawingOrderAndCutAtTheEdge)
{
    const std::vector<GraphOp> ops = WeekGraphOps(SampleGraph(), 1200, 800);
    const WeekGraphGeometry g = ComputeWeekGraphGeometry(1200, 800, 100);
    const std::size_t from = TickOf(ops, g, 1);
    const std::size_t to = TickOf(ops, g, 2);
    ASSERT_LT(from, to);
    std::vector<GraphOp> week(ops.begin() + std::ptrdiff_t(from), ops.begin() + std::ptrdiff_t(to));

    // The tick takes the pen the last series left: gray, one pixel (1 is not a multiple of 5).
    EXPECT_EQ(DescribeGraphOp(week[0]).toStdString(), "line 105,720-105,730 w1 #808080");
    const std::vector<std::string> lines = {
        "line 105,720-105,730 w1 #808080",
        "line 85,720-105,560 w2 #ff00ff", // series 2: 50
        "line 85,720-105,80 w2 #800000",  // series 3: 200, the top of the plot
        "line 85,720-105,752 w2 #0000ff", // series 4: -10, below the axis
        "line 85,720-105,400 w2 #ff0000", // series 1: 100, the 100 % level
        "line 85,720-105,717 w2 #008000", // series 5: 1
        "line 85,720-103,-16 w2 #808080", // series 6: 250 leaves the image, cut just outside it
    };
    EXPECT_EQ(OfKind(week, GraphOp::Kind::Line), lines);

    // The cross of series 1 at (105, 400); nothing of series 6's cross at y = -80 is drawn.
    std::vector<std::string> red;
    for (const std::string& p : OfKind(week, GraphOp::Kind::Pixel))
        if (p.ends_with("#ff0000"))
            red.push_back(p);
    const std::vector<std::string> cross = {
        "pixel 103,400 #ff0000", "pixel 104,400 #ff0000", "pixel 105,400 #ff0000", "pixel 106,400 #ff0000",
        "pixel 107,400 #ff0000", "pixel 105,398 #ff0000", "pixel 105,399 #ff0000", "pixel 105,401 #ff0000",
        "pixel 105,402 #ff0000", "pixel 104,399 #ff0000", "pixel 106,399 #ff0000", "pixel 104,401 #ff0000",
        "pixel 106,401 #ff0000",
    };
    EXPECT_EQ(red, cross);
    for (const GraphOp& op : week) {
        if (op.kind == GraphOp::Kind::Pixel) {
            EXPECT_GE(op.y1, 0);
        }
    }
    EXPECT_TRUE(OfKind(week, GraphOp::Kind::Text).empty()); // only multiples of 5 are numbered
}

TEST(WeekGraphOpsTest, WeekNumbersSemanasAndLegend)
{
    const std::vector<GraphOp> ops = WeekGraphOps(SampleGraph(), 1200, 800);
    std::vector<std::string> texts = OfKind(ops, GraphOp::Kind::Text);
    texts.erase(texts.begin(), texts.begin() + 14); // heading, MaxValue and scale
    const std::vector<std::string> expected = {
        "text 85,730 '0' 8b #000000",
        "text 185,730 '5' 8b #000000",
        "text 285,730 '10' 8b #000000",
        "text 385,730 '15' 8b #000000",
        "text 485,730 '20' 8b #000000",
        "text 585,730 '25' 8b #000000",
        "text 685,730 '30' 8b #000000",
        "text 785,730 '35' 8b #000000",
        "text 885,730 '40' 8b #000000",
        "text 985,730 '45' 8b #000000",
        "text 1085,730 '50' 8b #000000",
        "text 1135,730 'Semanas' 8b #000000",
        // The legend right of week 52, from a third of the bottom down, in the series' colours; the series
        // named " " shows as a blank.
        "text 1145,240 'Uno' 8b #ff0000",
        "text 1145,260 'Dos' 8b #ff00ff",
        "text 1145,280 'Tres' 8b #800000",
        "text 1145,300 'Cuatro' 8b #0000ff",
        "text 1145,320 ' ' 8b #008000",
        "text 1145,340 'Seis' 8b #808080",
    };
    EXPECT_EQ(texts, expected);

    // Thick ticks every five weeks.
    const WeekGraphGeometry g = ComputeWeekGraphGeometry(1200, 800, 100);
    for (int week : {0, 5, 50, 51, 52}) {
        SCOPED_TRACE(week);
        const std::size_t tick = TickOf(ops, g, week);
        ASSERT_LT(tick, ops.size());
        EXPECT_EQ(ops[tick].penWidth, week % 5 == 0 ? 2 : 1);
    }
}

TEST(WeekGraphOpsTest, NothingForMaxValueZeroAndShortArraysCountAsZero)
{
    ReportWeekGraph graph = SampleGraph();
    graph.maxValue = 0;
    EXPECT_TRUE(WeekGraphOps(graph, 1200, 800).empty());

    graph = SampleGraph();
    graph.weeks.resize(2); // weeks 2 to 52 missing
    const std::vector<GraphOp> ops = WeekGraphOps(graph, 1200, 800);
    const std::vector<std::string> lines = OfKind(ops, GraphOp::Kind::Line);
    // Series 1 comes back from 100 in week 1 to 0 in week 2.
    EXPECT_NE(std::find(lines.begin(), lines.end(), "line 105,400-125,720 w2 #ff0000"), lines.end());
}

} // namespace
} // namespace gim
