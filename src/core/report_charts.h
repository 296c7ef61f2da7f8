#pragma once

#include "platform/report.h"

#include <QString>
#include <array>
#include <cstdint>
#include <span>

namespace gim {

struct State;

// How the chart sheets of a weekly graph are set up. Each listing names its own; Plain keeps the window's
// axis titles and bar arrangement.
enum class WeekGraphStyle {
    Plain,
    WorkLoad,           // preventive work load: the text sheet is hidden
    PreventiveRatios,   // ratios in %, routine counts (series 5 and 6) on the right axis
    MaintenanceCosts,   // weekly costs: bars stacked to 100 %
    PersonnelHours,     // personnel hours and weekly service: minutes, delivery notes (series 3) on the right
    SparePartPurchases, // euros, order count (series 2) on the right axis
    StoreMovements,     // euros, movement count (series 3) on the right axis
    InventoryEvolution, // cents
    BreakdownTimes,     // minutes, breakdown count (series 5) on the right axis
    PlannedRepairs,     // minutes
    WorkOrderEvolution, // order counts
    EnergyConsumption,  // meter units
};

// The weekly graph of a listing: shows the sheets Grafico, Barras and Lineas and, unless maxValue is 0
// (the sheets then stay empty), fills them. Value k of weeks[i] belongs to series k and names[k - 1];
// weeks[0] to weeks[52] are read (missing weeks count as zero). The hand-drawn graph shows weeks 0 to 52
// with maxValue at 100 %; the chart sheets get weeks 1 to 52 at x = week, series titled by their names
// (" " makes a series inactive and hides its check box), a title line and the style's axes. Every call
// adds its title line and points to what the charts already hold.
void DrawWeeklyGraph(ReportDocument& doc, const State& st, const QString& title, WeekGraphStyle style,
                     const std::array<QString, 6>& names, std::uint32_t maxValue,
                     std::span<const TWeekGraphRecord> weeks);

// The pie chart of a listing: shows the sheet Tarta, adds the title line and one slice per label that is
// not " ", in order, slice k in colour k.
void ShowPieChart(ReportDocument& doc, const State& st, const QString& title,
                  const std::array<QString, 6>& labels, const std::array<std::uint32_t, 6>& values);

} // namespace gim
