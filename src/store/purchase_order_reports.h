#pragma once

namespace gim {

struct Context;

// The purchase listing of the loaded list, filtered as ActionCode says (state "P", number "D"/"H"/"J",
// supplier "I", reference "G", delivery note "A", part "C", overdue "R") over a picked date range.
void PurchaseOrderReport(Context& ctx);
// The orders closed within a picked range, one row per order, with their total.
void OrderSituationReport(Context& ctx);
// Order lines and their value per week of an asked year, with the weekly graph.
void WeeklyPurchasesReport(Context& ctx);

} // namespace gim
