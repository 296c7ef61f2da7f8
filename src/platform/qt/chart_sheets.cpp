#include "platform/qt/chart_sheets.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QLineSeries>
#include <QLinearGradient>
#include <QPainter>
#include <QPercentBarSeries>
#include <QPieSeries>
#include <QPieSlice>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

namespace gim {

namespace {

QColor ColourOf(std::uint32_t rgb)
{
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

// A lit-from-the-left brush stands in for the old charts' 3D look.
QBrush ShadedBrush(const QColor& c, bool shaded)
{
    if (!shaded)
        return QBrush(c);
    QLinearGradient g(0, 0, 1, 0);
    g.setCoordinateMode(QGradient::ObjectBoundingMode);
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(0.45, c);
    g.setColorAt(1, c.darker(160));
    return QBrush(g);
}

constexpr double kOverlapBarWidth = 0.6; // of a week, for overlapping bars

QString TitleHtml(const QStringList& lines)
{
    QStringList escaped;
    for (const QString& l : lines)
        escaped << l.toHtmlEscaped();
    return escaped.join(QStringLiteral("<br>"));
}

QString JoinedTitle(const QStringList& lines)
{
    QString text = lines.join(QLatin1Char('\n'));
    while (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString SeriesName(const ReportSeries& s)
{
    return s.title.isEmpty() ? s.component : s.title;
}

AxisRange RangeOf(const QValueAxis* axis)
{
    return AxisRange{axis->min(), axis->max()};
}

void Scale(QValueAxis* axis, int percent)
{
    const double centre = (axis->min() + axis->max()) / 2;
    const double half = (axis->max() - axis->min()) / 2 * percent / 100.0;
    axis->setRange(centre - half, centre + half);
}

void Shift(QValueAxis* axis, int percent)
{
    const double s = (axis->max() - axis->min()) * percent / 100.0;
    axis->setRange(axis->min() - s, axis->max() - s);
}

} // namespace

// ---- WeekChartView --------------------------------------------------------------------------------------

WeekChartView::WeekChartView(Kind kind, ReportChart model, QWidget* parent)
    : QChartView(new QChart, parent), m_kind(kind), m_model(std::move(model))
{
    // The view owns the chart it is built with; setChart would orphan the default chart it makes itself.
    QChart* chart = this->chart();
    setRenderHint(QPainter::Antialiasing);
    chart->legend()->setAlignment(Qt::AlignRight);
    m_bottom = new QValueAxis(chart);
    m_left = new QValueAxis(chart);
    m_right = new QValueAxis(chart);
    m_bottom->setLabelFormat(QStringLiteral("%.0f"));
    m_bottom->setTickType(QValueAxis::TicksDynamic);
    m_bottom->setTickAnchor(0);
    chart->addAxis(m_bottom, Qt::AlignBottom);
    chart->addAxis(m_left, Qt::AlignLeft);
    chart->addAxis(m_right, Qt::AlignRight);
    connect(m_bottom, &QValueAxis::rangeChanged, this, [this] { FollowBottomAxis(); });
    chart->setTitle(TitleHtml(m_model.title));
    m_bottom->setTitleText(m_model.bottomAxisTitle);
    m_left->setTitleText(m_model.leftAxisTitle);
    m_right->setTitleText(m_model.rightAxisTitle);
    Rebuild();
}

std::pair<int, int> WeekChartView::WeekSpan() const
{
    int first = std::numeric_limits<int>::max();
    int last = std::numeric_limits<int>::min();
    for (const ReportSeries& s : m_model.series)
        for (const QPointF& p : s.points) {
            const int x = static_cast<int>(std::lround(p.x()));
            first = std::min(first, x);
            last = std::max(last, x);
        }
    if (first > last)
        return {1, 52};
    return {std::max(0, first), std::max(0, last)};
}

void WeekChartView::Rebuild()
{
    chart()->removeAllSeries();
    for (const auto& [axis, shift] : m_overlapAxes) {
        chart()->removeAxis(axis);
        delete axis;
    }
    m_overlapAxes.clear();
    m_setSeries.clear();
    m_sets.fill(nullptr);
    if (m_kind == Kind::Bars)
        BuildBars();
    else
        BuildLines();
    ApplyStyle();
    ApplyHomeRanges();
}

void WeekChartView::BuildBars()
{
    const int last = WeekSpan().second;
    auto makeSet = [&](int k) {
        const ReportSeries& s = m_model.series[static_cast<std::size_t>(k)];
        auto* set = new QBarSet(SeriesName(s));
        QList<qreal> values(last + 1, 0.0);
        for (const QPointF& p : s.points) {
            const long x = std::lround(p.x());
            if (x >= 0 && x <= last)
                values[static_cast<qsizetype>(x)] = p.y();
        }
        set->append(values);
        m_setSeries[set] = k;
        m_sets[static_cast<std::size_t>(k)] = set;
        return set;
    };
    auto makeSeries = [&]() -> QAbstractBarSeries* {
        switch (m_model.arrangement) {
        case BarArrangement::Stacked:
            return new QStackedBarSeries;
        case BarArrangement::Percent:
            return new QPercentBarSeries;
        case BarArrangement::Normal:
        case BarArrangement::SideBySide:
            break;
        }
        return new QBarSeries;
    };
    auto listen = [this](QAbstractBarSeries* series) {
        connect(series, &QAbstractBarSeries::clicked, this, [this](int index, QBarSet* set) {
            const auto it = m_setSeries.find(set);
            if (it != m_setSeries.end())
                emit SeriesClicked(it->second, PointIndexAt(it->second, index));
        });
    };
    auto add = [&](QAbstractBarSeries* series, bool right) {
        chart()->addSeries(series);
        series->attachAxis(m_bottom);
        series->attachAxis(right ? m_right : m_left);
        listen(series);
    };
    std::vector<std::pair<QAbstractBarSeries*, bool>> overlapping;
    for (bool right : {false, true}) {
        std::vector<int> ks;
        for (int k : m_order)
            if (m_model.series[static_cast<std::size_t>(k)].active &&
                m_model.series[static_cast<std::size_t>(k)].rightAxis == right)
                ks.push_back(k);
        if (ks.empty())
            continue;
        if (m_model.arrangement == BarArrangement::Normal) {
            for (int k : ks) {
                QAbstractBarSeries* series = makeSeries();
                series->append(makeSet(k));
                overlapping.emplace_back(series, right);
            }
        } else {
            QAbstractBarSeries* series = makeSeries();
            for (int k : ks)
                series->append(makeSet(k));
            add(series, right);
        }
    }
    if (overlapping.empty())
        return;
    // Qt Charts shares each week's width among all the bar series of a chart, side by side. To make the
    // bars overlap, each series takes a hidden horizontal axis shifted back by its share's offset, and
    // bars as many times wider as there are series.
    const double n = static_cast<double>(overlapping.size());
    for (std::size_t i = 0; i < overlapping.size(); ++i) {
        auto [series, right] = overlapping[i];
        chart()->addSeries(series);
        auto* axis = new QValueAxis(chart());
        axis->setVisible(false);
        chart()->addAxis(axis, Qt::AlignBottom);
        series->attachAxis(axis);
        series->attachAxis(right ? m_right : m_left);
        series->setBarWidth(kOverlapBarWidth * n);
        m_overlapAxes.emplace_back(axis, static_cast<double>(i) / n + 0.5 / n - 0.5);
        listen(series);
    }
    FollowBottomAxis();
}

void WeekChartView::FollowBottomAxis()
{
    for (const auto& [axis, shift] : m_overlapAxes)
        axis->setRange(m_bottom->min() + shift, m_bottom->max() + shift);
}

void WeekChartView::BuildLines()
{
    for (int k : m_order) {
        const ReportSeries& s = m_model.series[static_cast<std::size_t>(k)];
        auto* series = new QLineSeries;
        series->setName(SeriesName(s));
        for (const QPointF& p : s.points)
            series->append(p);
        chart()->addSeries(series);
        series->attachAxis(m_bottom);
        series->attachAxis(s.rightAxis ? m_right : m_left);
        series->setVisible(s.active);
        connect(series, &QLineSeries::clicked, this,
                [this, k](const QPointF& point) { emit SeriesClicked(k, PointIndexAt(k, point.x())); });
    }
}

int WeekChartView::PointIndexAt(int k, double x) const
{
    const std::vector<QPointF>& points = m_model.series.at(static_cast<std::size_t>(k)).points;
    int best = -1;
    double distance = 0.5;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double d = std::abs(points[i].x() - x);
        if (d <= distance) {
            best = static_cast<int>(i);
            distance = d;
        }
    }
    return best;
}

void WeekChartView::ApplyStyle()
{
    chart()->setDropShadowEnabled(m_3d);
    for (QAbstractSeries* s : chart()->series()) {
        if (auto* bars = qobject_cast<QAbstractBarSeries*>(s)) {
            bars->setLabelsVisible(m_marks);
            for (QBarSet* set : bars->barSets()) {
                const QColor c = ColourOf(m_model.series[static_cast<std::size_t>(m_setSeries[set])].colour);
                set->setBrush(ShadedBrush(c, m_3d));
                set->setBorderColor(c.darker(130));
            }
        } else if (auto* line = qobject_cast<QLineSeries*>(s)) {
            const int k = m_order[static_cast<std::size_t>(chart()->series().indexOf(s))];
            QPen pen(ColourOf(m_model.series[static_cast<std::size_t>(k)].colour));
            pen.setWidth(m_3d ? 3 : 2);
            line->setPen(pen);
            line->setPointsVisible(m_pointMarkers);
            line->setPointLabelsFormat(QStringLiteral("@yPoint"));
            line->setPointLabelsVisible(m_marks);
        }
    }
}

AxisRange WeekChartView::ValueRange(bool right) const
{
    if (m_kind == Kind::Bars && m_model.arrangement == BarArrangement::Percent)
        return {0, 100};
    double lo = 0;
    double hi = 0;
    const bool stacked = m_kind == Kind::Bars && m_model.arrangement == BarArrangement::Stacked;
    std::map<long, std::pair<double, double>> sums; // per week: negative and positive stack
    for (const ReportSeries& s : m_model.series) {
        if (!s.active || s.rightAxis != right)
            continue;
        for (const QPointF& p : s.points) {
            if (stacked) {
                auto& [neg, pos] = sums[std::lround(p.x())];
                (p.y() < 0 ? neg : pos) += p.y();
                lo = std::min(lo, neg);
                hi = std::max(hi, pos);
            } else {
                lo = std::min(lo, p.y());
                hi = std::max(hi, p.y());
            }
        }
    }
    if (hi <= lo)
        hi = lo + 1;
    return {lo, hi};
}

void WeekChartView::ApplyHomeRanges()
{
    const auto [first, last] = WeekSpan();
    m_page = std::clamp(m_page, 1, PageCount());
    const int perPage = std::max(1, m_pointsPerPage);
    const int from = first + (m_page - 1) * perPage;
    const int to = std::min(from + perPage, last + 1);
    m_bottom->setRange(from - 0.5, to - 0.5);
    const int span = to - from;
    m_bottom->setTickInterval(span <= 13 ? 1 : span <= 60 ? 5 : 10);

    const AxisRange left = ValueRange(false);
    m_left->setRange(left.min, left.max);
    m_left->applyNiceNumbers();
    const AxisRange right = ValueRange(true);
    m_right->setRange(right.min, right.max);
    m_right->applyNiceNumbers();
    bool anyRight = false;
    for (const ReportSeries& s : m_model.series)
        anyRight = anyRight || (s.active && s.rightAxis);
    m_right->setVisible(anyRight);
}

void WeekChartView::SetArrangement(BarArrangement arrangement)
{
    m_model.arrangement = arrangement;
    if (m_kind == Kind::Bars)
        Rebuild();
}

void WeekChartView::SetSeriesActive(int k, bool active)
{
    if (k < 0 || k >= 6)
        return;
    m_model.series[static_cast<std::size_t>(k)].active = active;
    Rebuild();
}

void WeekChartView::SetMarksVisible(bool on)
{
    m_marks = on;
    ApplyStyle();
}

void WeekChartView::SetPointMarkers(bool on)
{
    m_pointMarkers = on;
    ApplyStyle();
}

void WeekChartView::Set3D(bool on)
{
    m_3d = on;
    ApplyStyle();
}

void WeekChartView::ZoomPercent(int percent)
{
    if (percent <= 0)
        return;
    Scale(m_bottom, percent);
    Scale(m_left, percent);
    Scale(m_right, percent);
}

void WeekChartView::ResetZoom()
{
    ApplyHomeRanges();
}

void WeekChartView::ShiftHorizontal(int percent)
{
    Shift(m_bottom, percent);
}

void WeekChartView::ShiftVertical(int percent)
{
    Shift(m_left, percent);
    Shift(m_right, percent);
}

void WeekChartView::SetPointsPerPage(int points)
{
    m_pointsPerPage = std::max(1, points);
    m_page = 1;
    ApplyHomeRanges();
}

int WeekChartView::PageCount() const
{
    const auto [first, last] = WeekSpan();
    const int count = last - first + 1;
    const int perPage = std::max(1, m_pointsPerPage);
    return std::max(1, (count + perPage - 1) / perPage);
}

void WeekChartView::PreviousPage()
{
    if (m_pointsPerPage > 0 && m_page >= 2) {
        --m_page;
        ApplyHomeRanges();
    }
}

void WeekChartView::NextPage()
{
    if (m_pointsPerPage > 0 && m_page < PageCount()) {
        ++m_page;
        ApplyHomeRanges();
    }
}

QString WeekChartView::TitleText() const
{
    return JoinedTitle(m_model.title);
}

void WeekChartView::SetTitleText(const QString& text)
{
    m_model.title = text.split(QLatin1Char('\n'));
    chart()->setTitle(TitleHtml(m_model.title));
}

void WeekChartView::SetLeftAxisTitle(const QString& text)
{
    m_model.leftAxisTitle = text;
    m_left->setTitleText(text);
}

void WeekChartView::SetRightAxisTitle(const QString& text)
{
    m_model.rightAxisTitle = text;
    m_right->setTitleText(text);
}

void WeekChartView::SetBottomAxisTitle(const QString& text)
{
    m_model.bottomAxisTitle = text;
    m_bottom->setTitleText(text);
}

void WeekChartView::MoveSeriesEarlier(int k)
{
    const auto it = std::find(m_order.begin(), m_order.end(), k);
    if (it == m_order.end() || it == m_order.begin())
        return;
    std::iter_swap(it, it - 1);
    // Keep the view where the user left it: only the order changes.
    const AxisRange x = BottomRange(), l = LeftRange(), r = RightRange();
    Rebuild();
    m_bottom->setRange(x.min, x.max);
    m_left->setRange(l.min, l.max);
    m_right->setRange(r.min, r.max);
}

AxisRange WeekChartView::BottomRange() const
{
    return RangeOf(m_bottom);
}

AxisRange WeekChartView::LeftRange() const
{
    return RangeOf(m_left);
}

AxisRange WeekChartView::RightRange() const
{
    return RangeOf(m_right);
}

QList<QAbstractSeries*> WeekChartView::DrawnSeries() const
{
    return chart()->series();
}

QBarSet* WeekChartView::BarSetOf(int k) const
{
    return k >= 0 && k < 6 ? m_sets[static_cast<std::size_t>(k)] : nullptr;
}

QImage WeekChartView::Snapshot()
{
    if (width() < 200 || height() < 150)
        resize(std::max(width(), 640), std::max(height(), 480));
    return grab().toImage();
}

// ---- PieChartView ---------------------------------------------------------------------------------------

PieChartView::PieChartView(ReportPie model, QWidget* parent)
    : QChartView(new QChart, parent), m_model(std::move(model))
{
    QChart* chart = this->chart();
    setRenderHint(QPainter::Antialiasing);
    chart->setTitle(TitleHtml(m_model.title));
    chart->legend()->setAlignment(Qt::AlignRight);
    m_series = new QPieSeries;
    m_series->setName(QStringLiteral("LineSeries7"));
    for (const ReportPieSlice& s : m_model.slices) {
        QPieSlice* slice = m_series->append(s.label, s.value);
        slice->setColor(ColourOf(s.colour));
    }
    chart->addSeries(m_series);
    m_series->setPieSize(m_size);
    ApplyStyle();
}

QString PieChartView::TitleText() const
{
    return JoinedTitle(m_model.title);
}

void PieChartView::ApplyStyle()
{
    chart()->setDropShadowEnabled(m_3d);
    const QList<QPieSlice*> slices = m_series->slices();
    for (qsizetype i = 0; i < slices.size(); ++i) {
        const QColor c = ColourOf(m_model.slices[static_cast<std::size_t>(i)].colour);
        slices[i]->setBrush(ShadedBrush(c, m_3d));
        slices[i]->setBorderColor(c.darker(130));
    }
}

void PieChartView::Set3D(bool on)
{
    m_3d = on;
    ApplyStyle();
}

void PieChartView::ZoomPercent(int percent)
{
    if (percent <= 0)
        return;
    m_series->setPieSize(std::clamp(m_series->pieSize() * 100.0 / percent, 0.05, 1.0));
}

void PieChartView::ResetZoom()
{
    m_series->setPieSize(m_size);
}

double PieChartView::PieSize() const
{
    return m_series->pieSize();
}

QImage PieChartView::Snapshot()
{
    if (width() < 200 || height() < 150)
        resize(std::max(width(), 640), std::max(height(), 480));
    return grab().toImage();
}

} // namespace gim
