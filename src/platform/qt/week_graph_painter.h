#pragma once

#include "platform/report.h"
#include "platform/week_graph.h"

#include <QImage>
#include <QSize>
#include <QWidget>
#include <optional>
#include <vector>

class QPainter;

namespace gim {

// Replays the steps of a weekly graph. Texts are drawn with their top-left corner on the point, on an
// opaque white background, in points at the device's resolution.
void PaintWeekGraph(QPainter& painter, const std::vector<GraphOp>& ops);

// The graph on a new white image of that size, at 96 dots per inch.
QImage RenderWeekGraph(const ReportWeekGraph& graph, QSize size);

// The image `panel` of the sheet Grafico: draws the report's graph at the widget's size, so the geometry
// follows the window. Empty (white) without a graph or with MaxValue 0.
class WeekGraphView final : public QWidget
{
    Q_OBJECT

public:
    explicit WeekGraphView(QWidget* parent = nullptr);

    void SetGraph(std::optional<ReportWeekGraph> graph);
    const std::optional<ReportWeekGraph>& Graph() const { return m_graph; }
    // What the sheet shows now.
    QImage Snapshot() const { return RenderWeekGraphOrBlank(size()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage RenderWeekGraphOrBlank(QSize size) const;

    std::optional<ReportWeekGraph> m_graph;
};

} // namespace gim
