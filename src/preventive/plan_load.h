#pragma once

#include "platform/card.h"
#include "records/plan_records.h"
#include "records/week_graph_record.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace gim {

struct Context;
struct State;
class ReportDocument;

// The chart window TWplan: its heading, the load table, the picture panel and five buttons. "&GRAFICO"
// and "SAL&VAR" act with the window open (SAL&VAR stays hidden until a chart is drawn); "&IMPRIMIR"
// closes it with Print, "&MEMO" with Next, "&SALIR" and the close box with Exit.
namespace PlanChart {
inline const QString kLabel = QStringLiteral("Label1");
inline const QString kTable = QStringLiteral("RichPLANCAR");
inline const QString kPanel = QStringLiteral("panel");
inline const QString kPrint = QStringLiteral("BitBtn1");
inline const QString kExit = QStringLiteral("BitBtn2");
inline const QString kMemo = QStringLiteral("Button1");
inline const QString kChart = QStringLiteral("Button2");
inline const QString kSave = QStringLiteral("BitBtn3");
// The panel's picture, in pixels.
inline constexpr int kPanelWidth = 761;
inline constexpr int kPanelHeight = 409;
} // namespace PlanChart
CardSpec PlanChartCardSpec();

// The weeks of the load table around a plan week: from five before it to five after it, within the
// agenda's first `weeks` records. Each line is "week\tyear\tfree\tplanned\treserved\tnote" (the week of
// the plan year, the year since 2000, the minutes as signed 16-bit numbers).
struct LoadTable
{
    QStringList lines;
    int current = -1; // the line of the chosen week
};
LoadTable BuildLoadTable(const State& st, const std::vector<TAgendaRecord>& agenda, int index);

// The load of one plan year: minutes per week (series 1 available, 2 reserved, 3 planned; element w is
// week w of the plan year), the yearly totals in hours and the weekly average of planned hours.
struct YearLoad
{
    int year = 0; // since 2000
    std::vector<TWeekGraphRecord> weeks;
    std::int64_t availableHours = 0;
    std::int64_t plannedHours = 0;
    std::int64_t reservedHours = 0;
    std::int64_t averagePlannedHours = 0;
};
// A year whose weeks the agenda does not hold whole is shown as the first year.
YearLoad LoadYearGraph(const State& st, const std::vector<TAgendaRecord>& agenda, int year);
// The weekly graph and the pie of the year in a report window.
void DrawLoadCharts(ReportDocument& doc, const State& st, const YearLoad& load);

// Plánin&g > &Recursos > &Listar: the load table around a chosen week in the chart window, from which it
// is printed, charted or annotated. With ActionCode "G" (Plánin&g > &Altas > A&genda) straight to the
// chosen week's agenda note and reserve.
void ShowMaintenanceLoad(Context& ctx);

} // namespace gim
