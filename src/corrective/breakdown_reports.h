#pragma once

namespace gim {

struct Context;
class HandoverRegistry;

// The breakdowns of the loaded list in a date range that a search card narrows (machine, type, day, shift,
// officer, production operator, least stop, delay and intervention), with their totals, the ratios
// TA/TP, availability (one machine) and mean time between failures, the weekly graph and the pie of the
// three times. ActionCode "4" first asks for a type and searches every week.
void BreakdownReport(Context& ctx);

// The machines ranked by their intervention minutes since a week, for one breakdown type or all.
void RepetitiveBreakdownReport(Context& ctx);

// The Averías row of a report window becomes the search of the next breakdown edit.
void RegisterBreakdownHandover(Context& ctx, HandoverRegistry& handover);

} // namespace gim
