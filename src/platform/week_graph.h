#pragma once

#include "platform/report.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace gim {

inline constexpr int kGraphSeries = 6;
inline constexpr int kGraphWeeks = 53; // weeks 0 to 52; week 0 is the week before week 1

// Colour of series k (1 to 6) on the hand-drawn graph and its legend: red, fuchsia, maroon, blue, green,
// gray. The chart sheets keep their own series colours.
std::uint32_t GraphSeriesColor(int k);

// ---- The hand-drawn graph
// ----------------------------------------------------------------------------------

// Where things lie on a graph image of width x height pixels.
struct WeekGraphGeometry
{
    int width = 0;
    int height = 0;
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
    int plotHeight = 0;
    int mid = 0;  // the 100 % level: MaxValue
    int step = 0; // 20 % of the scale
    int dx = 0;   // week spacing, taken from the height
    std::uint32_t maxValue = 0;

    int WeekX(int week) const { return left + week * dx; }
    // y of a value: 0 on the bottom axis, MaxValue at mid, rounded half to even. Values are held to
    // +-2^40 first (far off any image even at the largest MaxValue), so the arithmetic stays exact.
    std::int64_t ValueY(std::int64_t value) const;
};
WeekGraphGeometry ComputeWeekGraphGeometry(int width, int height, std::uint32_t maxValue);

// Rounds num / den to the nearest integer, halves to even. den > 0.
std::int64_t RoundHalfEven(std::int64_t num, std::int64_t den);

// One drawing step. Coordinates are image pixels; the painter replays the list in order.
struct GraphOp
{
    enum class Kind { Rect, Line, Pixel, Text };
    Kind kind = Kind::Pixel;
    int x1 = 0, y1 = 0; // Rect: top-left; Line: start; Pixel, Text: the point (texts: their top-left)
    int x2 = 0, y2 = 0; // Rect: bottom-right, just outside the rectangle; Line: end
    std::uint32_t color = kReportBlack; // pen, pixel or text colour
    int penWidth = 1;                   // Rect, Line
    QString text;
    int fontSize = 0;
    bool bold = false;
    bool underline = false;

    bool operator==(const GraphOp&) const = default;

    // A rectangle or a line; a pixel.
    static GraphOp Shape(Kind kind, int x1, int y1, int x2, int y2, std::uint32_t color = kReportBlack,
                         int penWidth = 1)
    {
        GraphOp op;
        op.kind = kind;
        op.x1 = x1;
        op.y1 = y1;
        op.x2 = x2;
        op.y2 = y2;
        op.color = color;
        op.penWidth = penWidth;
        return op;
    }
    static GraphOp Dot(int x, int y, std::uint32_t color) { return Shape(Kind::Pixel, x, y, 0, 0, color); }
    // A text with its top-left at (x, y).
    static GraphOp Label(int x, int y, const QString& text, int fontSize, std::uint32_t color = kReportBlack,
                         bool bold = false, bool underline = false)
    {
        GraphOp op = Shape(Kind::Text, x, y, 0, 0, color);
        op.text = text;
        op.fontSize = fontSize;
        op.bold = bold;
        op.underline = underline;
        return op;
    }
};

// A readable line per step, for tests and traces: "line 80,540-1120,540 w1 #000000".
QString DescribeGraphOp(const GraphOp& op);

// The whole graph on an image of that size: frame, heading, scale, weeks 0 to 52 (missing weeks count as
// zero), legend. Lines that leave the image are cut a little outside its edge; pixels outside it are
// dropped. Nothing for MaxValue 0.
std::vector<GraphOp> WeekGraphOps(const ReportWeekGraph& graph, int width, int height);

} // namespace gim
