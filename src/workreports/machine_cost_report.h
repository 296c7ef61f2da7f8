#pragma once

#include <cstdint>

namespace gim {

struct Context;

// The whole number nearest to x, halves to the even neighbour.
std::int64_t Nearest(double x);

// Maintenance time or its cost per machine over a year or a date range (ActionCode "1" from the history
// files, "3" from the daily reports), or per four-week period of one machine or family ("2", "4"); in
// hours or euros, absolute or relative to the budget; OutputCode "P" asks for one cost account first.
void MachineCostReport(Context& ctx);

} // namespace gim
