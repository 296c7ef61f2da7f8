#include "platform/week_graph.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace gim {

namespace {

constexpr std::array<std::uint32_t, kGraphSeries> kGraphColors{kReportRed,  kReportFuchsia, kReportMaroon,
                                                               kReportBlue, kReportGreen,   kReportGray};

// The order the series are drawn in, so that the first series lies above the three before it.
constexpr std::array<int, kGraphSeries> kDrawOrder{2, 3, 4, 1, 5, 6};

constexpr std::int64_t kValueLimit = std::int64_t(1) << 40;
// Lines are cut this far outside the image, so that what shows of them is unchanged.
constexpr int kClipMargin = 16;

// Collects the steps of one graph, keeping the canvas state the old drawing relied on: the pen colour
// a series leaves behind is the colour of the week ticks that follow.
class OpWriter
{
public:
    OpWriter(int width, int height) : m_width(width), m_height(height) {}

    void Rect(int x1, int y1, int x2, int y2)
    {
        m_ops.push_back(GraphOp::Shape(GraphOp::Kind::Rect, x1, y1, x2, y2, m_penColor, m_penWidth));
    }

    void Line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2)
    {
        double ax = double(x1), ay = double(y1), bx = double(x2), by = double(y2);
        if (!Clip(ax, ay, bx, by))
            return;
        m_ops.push_back(GraphOp::Shape(GraphOp::Kind::Line, int(std::lround(ax)), int(std::lround(ay)),
                                       int(std::lround(bx)), int(std::lround(by)), m_penColor, m_penWidth));
    }

    void Pixel(std::int64_t x, std::int64_t y, std::uint32_t color)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return;
        m_ops.push_back(GraphOp::Dot(int(x), int(y), color));
    }

    void Text(int x, int y, const QString& text)
    {
        m_ops.push_back(GraphOp::Label(x, y, text, m_fontSize, m_fontColor, m_bold, m_underline));
    }

    void SetPen(std::uint32_t color, int width)
    {
        m_penColor = color;
        m_penWidth = width;
    }
    void SetPenWidth(int width) { m_penWidth = width; }
    void SetFont(int size, bool bold, bool underline)
    {
        m_fontSize = size;
        m_bold = bold;
        m_underline = underline;
    }
    void SetFontColor(std::uint32_t color) { m_fontColor = color; }

    std::vector<GraphOp> Take() { return std::move(m_ops); }

private:
    // Liang-Barsky against the image grown by the margin; false when nothing of the line is left.
    bool Clip(double& x1, double& y1, double& x2, double& y2) const
    {
        const double xmin = -kClipMargin, ymin = -kClipMargin;
        const double xmax = m_width + kClipMargin, ymax = m_height + kClipMargin;
        const double dx = x2 - x1, dy = y2 - y1;
        double t0 = 0.0, t1 = 1.0;
        const auto edge = [&](double p, double q) {
            if (p == 0.0)
                return q >= 0.0;
            const double r = q / p;
            if (p < 0.0) {
                if (r > t1)
                    return false;
                t0 = std::max(t0, r);
            } else {
                if (r < t0)
                    return false;
                t1 = std::min(t1, r);
            }
            return true;
        };
        if (!edge(-dx, x1 - xmin) || !edge(dx, xmax - x1) || !edge(-dy, y1 - ymin) || !edge(dy, ymax - y1))
            return false;
        const double ox = x1, oy = y1;
        if (t1 < 1.0) {
            x2 = ox + t1 * dx;
            y2 = oy + t1 * dy;
        }
        if (t0 > 0.0) {
            x1 = ox + t0 * dx;
            y1 = oy + t0 * dy;
        }
        return true;
    }

    int m_width;
    int m_height;
    std::vector<GraphOp> m_ops;
    std::uint32_t m_penColor = kReportBlack;
    int m_penWidth = 1;
    std::uint32_t m_fontColor = kReportBlack;
    int m_fontSize = 8;
    bool m_bold = false;
    bool m_underline = false;
};

QString Hex(std::uint32_t color)
{
    return QStringLiteral("#%1").arg(color, 6, 16, QLatin1Char('0'));
}

} // namespace

std::uint32_t GraphSeriesColor(int k)
{
    return k >= 1 && k <= kGraphSeries ? kGraphColors[static_cast<std::size_t>(k - 1)] : kReportBlack;
}

std::int64_t RoundHalfEven(std::int64_t num, std::int64_t den)
{
    std::int64_t q = num / den;
    const std::int64_t r = num % den;
    const std::int64_t twice = 2 * (r < 0 ? -r : r);
    const std::int64_t sign = num < 0 ? -1 : 1;
    if (twice > den || (twice == den && q % 2 != 0))
        q += sign;
    return q;
}

std::int64_t WeekGraphGeometry::ValueY(std::int64_t value) const
{
    if (maxValue == 0)
        return bottom;
    const std::int64_t v = std::clamp(value, -kValueLimit, kValueLimit);
    // value * (P / 200 * 100) / MaxValue, kept as one exact fraction.
    return bottom - RoundHalfEven(v * plotHeight, 2 * std::int64_t(maxValue));
}

WeekGraphGeometry ComputeWeekGraphGeometry(int width, int height, std::uint32_t maxValue)
{
    WeekGraphGeometry g;
    g.width = width;
    g.height = height;
    g.maxValue = maxValue;
    g.top = height / 10;
    g.bottom = height - g.top;
    g.left = width / 14;
    g.right = width - g.left;
    g.plotHeight = g.bottom - g.top;
    g.mid = g.bottom - int(RoundHalfEven(g.plotHeight, 2));
    g.step = int(RoundHalfEven(g.plotHeight, 10));
    g.dx = height / 40 < 8 ? height / 32 : height / 40;
    return g;
}

QString DescribeGraphOp(const GraphOp& op)
{
    switch (op.kind) {
    case GraphOp::Kind::Rect:
        return QStringLiteral("rect %1,%2-%3,%4 w%5 %6")
            .arg(op.x1)
            .arg(op.y1)
            .arg(op.x2)
            .arg(op.y2)
            .arg(op.penWidth)
            .arg(Hex(op.color));
    case GraphOp::Kind::Line:
        return QStringLiteral("line %1,%2-%3,%4 w%5 %6")
            .arg(op.x1)
            .arg(op.y1)
            .arg(op.x2)
            .arg(op.y2)
            .arg(op.penWidth)
            .arg(Hex(op.color));
    case GraphOp::Kind::Pixel:
        return QStringLiteral("pixel %1,%2 %3").arg(op.x1).arg(op.y1).arg(Hex(op.color));
    case GraphOp::Kind::Text:
        return QStringLiteral("text %1,%2 '%3' %4%5%6 %7")
            .arg(op.x1)
            .arg(op.y1)
            .arg(op.text)
            .arg(op.fontSize)
            .arg(op.bold ? QStringLiteral("b") : QString())
            .arg(op.underline ? QStringLiteral("u") : QString())
            .arg(Hex(op.color));
    }
    return {};
}

std::vector<GraphOp> WeekGraphOps(const ReportWeekGraph& graph, int width, int height)
{
    if (graph.maxValue == 0)
        return {};
    const WeekGraphGeometry g = ComputeWeekGraphGeometry(width, height, graph.maxValue);
    OpWriter out(width, height);

    out.Rect(0, 0, width, height);
    out.Rect(3, 3, width - 3, height - 3);

    out.SetFont(12, false, true);
    out.Text(width / 8, g.top, graph.title + QStringLiteral("  ") + graph.environment);
    out.Text(3 * (width / 4), g.top, graph.firmName);
    out.SetFont(8, true, false);

    out.Text(g.left - 40, g.mid, QStringLiteral("           ") + QString::number(graph.maxValue));
    out.Line(g.left, g.bottom, g.right, g.bottom);
    out.Line(g.left, g.bottom, g.left, g.top);

    for (int i = 1; i <= 10; ++i) {
        out.SetPenWidth(i == 6 ? 2 : 1); // the 100 % level
        const int y = g.bottom - (i - 1) * g.step;
        out.Line(g.left, y, g.left - 10, y);
        out.Text(g.left - 40, g.bottom - i * g.step, QString::number(20 * i) + QLatin1Char('%'));
    }
    out.Text(g.left - 20, g.bottom - 10 * g.step, QStringLiteral("%"));

    const auto valueOf = [&](int week, int k) -> std::int64_t {
        return std::size_t(week) < graph.weeks.size() ? std::int64_t(graph.weeks[std::size_t(week)].Value(k))
                                                      : 0;
    };
    for (int i = 0; i < kGraphWeeks; ++i) {
        const int x = g.WeekX(i);
        out.SetPenWidth(i % 5 == 0 ? 2 : 1);
        out.Line(x, g.bottom, x, g.bottom + 10);
        out.Pixel(x, g.mid, kReportMaroon);
        out.Pixel(x, g.mid + g.step, kReportMaroon);

        for (int k : kDrawOrder) {
            const std::uint32_t color = GraphSeriesColor(k);
            out.SetPen(color, 2);
            const std::int64_t y = g.ValueY(valueOf(i, k));
            for (int d : {-2, -1, 0, 1, 2})
                out.Pixel(x + d, y, color);
            for (int d : {-2, -1, 1, 2})
                out.Pixel(x, y + d, color);
            if (k == 3 || k == 1 || k == 6) {
                out.Pixel(x - 1, y - 1, color);
                out.Pixel(x + 1, y - 1, color);
                out.Pixel(x - 1, y + 1, color);
                out.Pixel(x + 1, y + 1, color);
            }
            if (i >= 1)
                out.Line(g.WeekX(i - 1), g.ValueY(valueOf(i - 1, k)), x, y);
        }

        if (i % 5 == 0)
            out.Text(x, g.bottom + 10, QString::number(i));
        if (i == 52)
            out.Text(x + 10, g.bottom + 10, QStringLiteral("Semanas"));
    }

    const int legendX = g.left + 53 * g.dx;
    for (int k = 1; k <= kGraphSeries; ++k) {
        out.SetFontColor(GraphSeriesColor(k));
        out.Text(legendX, g.bottom / 3 + 20 * (k - 1), graph.names[std::size_t(k - 1)]);
    }
    return out.Take();
}

} // namespace gim
