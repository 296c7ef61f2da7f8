#pragma once

#include <QString>
#include <cstdint>

namespace gim {

struct Context;

// Consumption per unit and per day with two decimals, truncated: 350 over 2 units gives "175,00"; 350
// over 7 days of 2 units "25,00". No days give "0,00".
QString PerUnitText(std::int64_t consumption, int units);
QString PerDayText(std::int64_t consumption, int days, int units);

// The consumption listing of the loaded readings over a date range. ActionCode "2": the readings of one
// meter asked for, each against the one before, with the average, the total, the daily consumption and the
// weekly graph; "3": every reading of the range against the next reading of its meter, with their count.
// A reading not above the one before consumes 0 and is written in red. The listing goes to the report
// window whatever OutputCode says: the print variant ("I") is printed from there.
void EnergyConsumptionReport(Context& ctx);

// The consumption of each meter read on the first day of a period up to its last reading in the period,
// per unit and per day; a meter below 97 % of the running average per unit is written in blue.
void EnergyPeriodReport(Context& ctx);

} // namespace gim
