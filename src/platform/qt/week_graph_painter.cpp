#include "platform/qt/week_graph_painter.h"

#include <QFont>
#include <QPainter>
#include <QPen>

namespace gim {

namespace {

constexpr int kDotsPerMeter96Dpi = 3780;

QColor ColorOf(std::uint32_t rgb)
{
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

} // namespace

void PaintWeekGraph(QPainter& painter, const std::vector<GraphOp>& ops)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    for (const GraphOp& op : ops) {
        switch (op.kind) {
        case GraphOp::Kind::Rect: {
            // The right and bottom edges lie outside the rectangle.
            painter.setPen(QPen(ColorOf(op.color), op.penWidth));
            painter.setBrush(Qt::white);
            painter.drawRect(QRect(op.x1, op.y1, op.x2 - op.x1 - 1, op.y2 - op.y1 - 1));
            break;
        }
        case GraphOp::Kind::Line:
            painter.setPen(QPen(ColorOf(op.color), op.penWidth, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(op.x1, op.y1, op.x2, op.y2);
            break;
        case GraphOp::Kind::Pixel:
            painter.setPen(QPen(ColorOf(op.color), 1));
            painter.drawPoint(op.x1, op.y1);
            break;
        case GraphOp::Kind::Text: {
            QFont font(QStringLiteral("Arial"));
            font.setPointSize(op.fontSize);
            font.setBold(op.bold);
            font.setUnderline(op.underline);
            painter.setFont(font);
            painter.setPen(ColorOf(op.color));
            const QRect box = painter.fontMetrics().boundingRect(op.text);
            painter.drawText(QRect(QPoint(op.x1, op.y1), QSize(box.width() + 2, box.height())),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, op.text);
            break;
        }
        }
    }
    painter.restore();
}

QImage RenderWeekGraph(const ReportWeekGraph& graph, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter96Dpi);
    image.setDotsPerMeterY(kDotsPerMeter96Dpi);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintWeekGraph(painter, WeekGraphOps(graph, size.width(), size.height()));
    return image;
}

WeekGraphView::WeekGraphView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("panel"));
    setAutoFillBackground(false);
    setMinimumSize(200, 150);
}

void WeekGraphView::SetGraph(std::optional<ReportWeekGraph> graph)
{
    m_graph = std::move(graph);
    update();
}

QImage WeekGraphView::RenderWeekGraphOrBlank(QSize size) const
{
    if (m_graph)
        return RenderWeekGraph(*m_graph, size);
    QImage blank(size, QImage::Format_RGB32);
    blank.fill(Qt::white);
    return blank;
}

void WeekGraphView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, RenderWeekGraphOrBlank(size()));
}

} // namespace gim
