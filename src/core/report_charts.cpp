#include "core/report_charts.h"

#include "core/state.h"

#include <QPointF>
#include <algorithm>
#include <optional>
#include <vector>

namespace gim {

namespace {

constexpr int kSeries = 6;
constexpr int kWeeks = 53;

bool IsBlank(const QString& name)
{
    return name == QLatin1String(" ");
}

struct ChartSettings
{
    bool hideDocument = false;
    std::optional<BarArrangement> arrangement;
    QString barLeftTitle;  // empty: keep
    QString lineLeftTitle; // empty: keep
    std::vector<int> rightSeries;
    QString rightTitle;
};

ChartSettings SettingsOf(WeekGraphStyle style)
{
    ChartSettings s;
    const auto normal = [&s](const QString& leftTitle) {
        s.arrangement = BarArrangement::Normal;
        s.barLeftTitle = s.lineLeftTitle = leftTitle;
    };
    switch (style) {
    case WeekGraphStyle::Plain:
        break;
    case WeekGraphStyle::WorkLoad:
        s.hideDocument = true;
        break;
    case WeekGraphStyle::PreventiveRatios:
        normal(QStringLiteral("% PORCENTUAL"));
        s.rightSeries = {5, 6};
        s.rightTitle = QStringLiteral("Nº de GAMAS");
        break;
    case WeekGraphStyle::MaintenanceCosts:
        s.arrangement = BarArrangement::Percent;
        s.barLeftTitle = QStringLiteral("% PORCENTUAL");
        s.lineLeftTitle = QStringLiteral("MINUTOS");
        break;
    case WeekGraphStyle::PersonnelHours:
        normal(QStringLiteral("MINUTOS"));
        s.rightSeries = {3};
        s.rightTitle = QStringLiteral("€ ALBARANES");
        break;
    case WeekGraphStyle::SparePartPurchases:
        normal(QStringLiteral("€ EUROS"));
        s.rightSeries = {2};
        s.rightTitle = QStringLiteral("Nº de PEDIDOS");
        break;
    case WeekGraphStyle::StoreMovements:
        normal(QStringLiteral("€ EUROS"));
        s.rightSeries = {3};
        s.rightTitle = QStringLiteral("Nº de MOVIMIENTOS");
        break;
    case WeekGraphStyle::InventoryEvolution:
        normal(QStringLiteral("€ CENT EUROS"));
        break;
    case WeekGraphStyle::BreakdownTimes:
        normal(QStringLiteral("MINUTOS"));
        s.rightSeries = {5};
        s.rightTitle = QStringLiteral("Nº de AVERIAS");
        break;
    case WeekGraphStyle::PlannedRepairs:
        normal(QStringLiteral("MINUTOS"));
        break;
    case WeekGraphStyle::WorkOrderEvolution:
        normal(QStringLiteral("Nº DE ORDENES DE TRABAJO"));
        break;
    case WeekGraphStyle::EnergyConsumption:
        normal(QStringLiteral("UNIDADES CONTADOR"));
        break;
    }
    return s;
}

} // namespace

void DrawWeeklyGraph(ReportDocument& doc, const State& st, const QString& title, WeekGraphStyle style,
                     const std::array<QString, 6>& names, std::uint32_t maxValue,
                     std::span<const TWeekGraphRecord> weeks)
{
    doc.ShowSheet(ReportSheet::Grafico);
    doc.ShowSheet(ReportSheet::Barras);
    doc.ShowSheet(ReportSheet::Lineas);
    if (maxValue == 0)
        return;

    ReportWeekGraph graph;
    graph.title = title;
    graph.environment = st.CurrentEnvironment;
    graph.firmName = st.FirmName;
    graph.names = names;
    graph.maxValue = maxValue;
    graph.weeks.assign(kWeeks, TWeekGraphRecord{});
    std::copy_n(weeks.begin(), std::min<std::size_t>(weeks.size(), kWeeks), graph.weeks.begin());

    const ChartSettings settings = SettingsOf(style);
    ReportChart* charts[] = {&doc.barChart, &doc.lineChart};
    for (int k = 1; k <= kSeries; ++k) {
        for (ReportChart* chart : charts) {
            ReportSeries& series = chart->series[std::size_t(k - 1)];
            series.title = names[std::size_t(k - 1)];
            if (IsBlank(series.title))
                series.active = false;
            if (std::find(settings.rightSeries.begin(), settings.rightSeries.end(), k) !=
                settings.rightSeries.end())
                series.rightAxis = true;
        }
    }

    const QString line =
        title + QStringLiteral("  ") + st.CurrentEnvironment + QStringLiteral("      ") + st.TodayText;
    doc.barChart.title << line;
    doc.lineChart.title << line;

    if (settings.hideDocument)
        doc.ShowSheet(ReportSheet::Documento, false);
    if (settings.arrangement)
        doc.barChart.arrangement = *settings.arrangement;
    if (!settings.barLeftTitle.isEmpty())
        doc.barChart.leftAxisTitle = settings.barLeftTitle;
    if (!settings.lineLeftTitle.isEmpty())
        doc.lineChart.leftAxisTitle = settings.lineLeftTitle;
    if (!settings.rightTitle.isEmpty())
        doc.barChart.rightAxisTitle = doc.lineChart.rightAxisTitle = settings.rightTitle;

    // Week 0 is drawn on the graph only; the charts start at week 1.
    for (int week = 1; week < kWeeks; ++week) {
        for (int k = 1; k <= kSeries; ++k) {
            const QPointF point(week, double(std::int64_t(graph.weeks[std::size_t(week)].Value(k))));
            doc.barChart.series[std::size_t(k - 1)].points.push_back(point);
            doc.lineChart.series[std::size_t(k - 1)].points.push_back(point);
        }
    }
    doc.weekGraph = std::move(graph);
}

void ShowPieChart(ReportDocument& doc, const State& st, const QString& title,
                  const std::array<QString, 6>& labels, const std::array<std::uint32_t, 6>& values)
{
    doc.ShowSheet(ReportSheet::Tarta);
    doc.pie.title << title + QStringLiteral("  ") + st.CurrentEnvironment + QStringLiteral("  ") +
                         st.TodayText;
    for (std::size_t k = 0; k < labels.size(); ++k) {
        if (!IsBlank(labels[k]))
            doc.pie.slices.push_back({labels[k], double(values[k]), kPieSliceColours[k]});
    }
}

} // namespace gim
