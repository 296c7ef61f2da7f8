#pragma once

#include "platform/week_graph.h"
#include "records/predictive_record.h"

#include <QString>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace gim {

struct Context;

// The five newest values of one measure of a control, fed newest first: while slot 5 is empty (0) each
// value shifts the history on and enters slot 1, so that after five values slot 5 holds the newest and
// slot 1 the fifth newest; once slot 5 holds a value the rest are ignored. The slots keep the measures'
// full 32 bits.
class TrendHistory
{
public:
    void Push(std::int32_t value);
    // Slot 1 (oldest of the five) to 5.
    std::int32_t Slot(int n) const { return m_slots.at(static_cast<std::size_t>(n - 1)); }
    // Tenths of a unit per measurement: the rise from slot 1 to slot 5 for a high alarm ("AL"), the fall
    // for every other kind.
    std::int64_t Trend(const QString& kind) const;

private:
    std::array<std::int32_t, 5> m_slots{};
};

struct PredictiveTrends
{
    TrendHistory measure1;
    TrendHistory measure2;
};

// Pushes one measurement into both histories; returns the two trends.
std::pair<std::int64_t, std::int64_t> PredictiveTrend(PredictiveTrends& trends, const QString& kind,
                                                      std::int32_t measure1, std::int32_t measure2);

// The measurements left until an alarm level is reached: distance × 10 div trend, "--" where the trend is
// flat and there is no forecast.
QString ForecastText(std::int64_t distance, std::int64_t trend);

// Whether a measurement passes its control's alarm level (the level's FREC is its kind).
bool PredictiveAlert(const TPredictiveRecord& level, const TPredictiveRecord& measurement);

// ---- The chart of a control --------------------------------------------------------------------------

inline constexpr int kPredictiveChartWidth = 761;
inline constexpr int kPredictiveChartHeight = 409;
inline constexpr int kPredictiveChartSlots = 52;

// Where things lie on the chart of a control of that kind, every division truncating.
struct PredictiveChartGeometry
{
    int top = 0;
    int base = 0; // the time axis
    int left = 0;
    int right = 0;
    int plotHeight = 0;
    int step = 0;      // 40/300 of the plot height: the ticks of the scale and the warning line's distance
    double full = 0;   // the height of 100 %
    int y100 = 0;      // the alarm line
    int warningY = 0;  // the warning line, a step inside the alarm line
    int slotWidth = 0; // between two measurements
    double scale1 = 0; // pixels per unit of measure 1
    double scale2 = 0; // and of measure 2
};
PredictiveChartGeometry ComputePredictiveChartGeometry(const TPredictiveRecord& level, int width, int height);

// The chart on a picture of that size: the control's levels as the 100 % line, the measurements oldest
// first from the left, 52 at most.
std::vector<GraphOp> PredictiveChartOps(const TPredictiveRecord& level, const QString& machineName,
                                        const std::vector<TPredictiveRecord>& measurements, int width,
                                        int height);

// ---- Commands -----------------------------------------------------------------------------------------

// The register of one control since a week asked for, newest first, with its trend, forecast and levels,
// and its chart.
void PredictiveRegisterReport(Context& ctx);
// The chart of CurrentAlarmLevel's control with `measurements` (oldest first) in a window of its own.
void DrawPredictiveChart(Context& ctx, const std::vector<TPredictiveRecord>& measurements);
// ActionCode "6": the measurements past their alarm levels (with OutputCode "I" the routine sheet "TF" of
// each machine past its hour-meter level is printed too); "7": every control with its levels.
void PredictiveAlertReport(Context& ctx);
// "Pantalla/Impresión" of the hour-meter control into OutputCode.
void AskHourControlOutput(Context& ctx);

} // namespace gim
