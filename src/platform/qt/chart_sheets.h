#pragma once

#include "platform/report.h"

#include <QChartView>
#include <QImage>
#include <array>
#include <map>
#include <vector>

class QAbstractSeries;
class QBarSet;
class QPieSeries;
class QValueAxis;

namespace gim {

// Range of one axis.
struct AxisRange
{
    double min = 0;
    double max = 0;
    bool operator==(const AxisRange&) const = default;
};

// The bar chart (Chart1) or the line chart (Chart2) of a report window: six weekly series over a
// value axis of weeks, a left and a right value axis. It keeps its own state (arrangement, active
// series, marks, order, paging, zoom) and rebuilds the Qt series from it when that changes.
class WeekChartView final : public QChartView
{
    Q_OBJECT

public:
    enum class Kind { Bars, Lines };

    WeekChartView(Kind kind, ReportChart model, QWidget* parent = nullptr);

    Kind ChartKind() const { return m_kind; }
    const ReportChart& Model() const { return m_model; }

    void SetArrangement(BarArrangement arrangement);
    BarArrangement Arrangement() const { return m_model.arrangement; }
    // k = 0..5.
    void SetSeriesActive(int k, bool active);
    bool SeriesActive(int k) const { return m_model.series.at(static_cast<std::size_t>(k)).active; }
    void SetMarksVisible(bool on);
    bool MarksVisible() const { return m_marks; }
    void SetPointMarkers(bool on);
    bool PointMarkers() const { return m_pointMarkers; }
    void Set3D(bool on);
    bool Is3D() const { return m_3d; }

    // The visible range becomes `percent` % of what it is, around its centre (80 zooms in, 110 out).
    void ZoomPercent(int percent);
    // Back to the ranges of the current page, undoing zooms and shifts.
    void ResetZoom();
    // Both horizontal (or both vertical) axes move by (max - min) * percent / 100 towards lower values.
    void ShiftHorizontal(int percent);
    void ShiftVertical(int percent);

    // Paging: `points` weeks per page; the first page is shown.
    void SetPointsPerPage(int points);
    int PointsPerPage() const { return m_pointsPerPage; }
    int Page() const { return m_page; }
    int PageCount() const;
    void PreviousPage();
    void NextPage();

    // The title lines as one text ("\n" between lines, empty leading and trailing lines left out).
    QString TitleText() const;
    void SetTitleText(const QString& text);
    void SetLeftAxisTitle(const QString& text);
    void SetRightAxisTitle(const QString& text);
    void SetBottomAxisTitle(const QString& text);

    // The series k moves one place earlier in the drawing and legend order; the first stays.
    void MoveSeriesEarlier(int k);
    const std::vector<int>& SeriesOrder() const { return m_order; }

    AxisRange BottomRange() const;
    AxisRange LeftRange() const;
    AxisRange RightRange() const;
    QValueAxis* BottomAxis() const { return m_bottom; }
    QValueAxis* LeftAxis() const { return m_left; }
    QValueAxis* RightAxis() const { return m_right; }
    // The Qt series now drawn, in drawing order.
    QList<QAbstractSeries*> DrawnSeries() const;
    // The bar set of series k, nullptr when it is not drawn.
    QBarSet* BarSetOf(int k) const;

    QImage Snapshot();

signals:
    // A series was clicked; pointIndex is the index of the point in the series (-1 when unknown).
    void SeriesClicked(int k, int pointIndex);

private:
    void Rebuild();
    void BuildBars();
    void BuildLines();
    void ApplyStyle();
    void ApplyHomeRanges();
    void FollowBottomAxis();
    AxisRange ValueRange(bool right) const;
    std::pair<int, int> WeekSpan() const;
    int PointIndexAt(int k, double x) const;

    Kind m_kind;
    ReportChart m_model;
    std::vector<int> m_order{0, 1, 2, 3, 4, 5};
    bool m_marks = false;
    bool m_pointMarkers = false;
    bool m_3d = true;
    int m_pointsPerPage = 52;
    int m_page = 1;
    QValueAxis* m_bottom = nullptr;
    QValueAxis* m_left = nullptr;
    QValueAxis* m_right = nullptr;
    std::map<QBarSet*, int> m_setSeries;
    std::array<QBarSet*, 6> m_sets{};
    std::vector<std::pair<QValueAxis*, double>> m_overlapAxes; // hidden axes of overlapping bars, offsets
};

// The pie chart (Chart3): one pie series, "LineSeries7", of up to six slices.
class PieChartView final : public QChartView
{
    Q_OBJECT

public:
    explicit PieChartView(ReportPie model, QWidget* parent = nullptr);

    QString TitleText() const;
    void Set3D(bool on);
    bool Is3D() const { return m_3d; }
    void ZoomPercent(int percent);
    void ResetZoom();
    double PieSize() const;
    QPieSeries* Series() const { return m_series; }
    QImage Snapshot();

private:
    void ApplyStyle();

    ReportPie m_model;
    QPieSeries* m_series = nullptr;
    bool m_3d = true;
    double m_size = 0.7;
};

} // namespace gim
