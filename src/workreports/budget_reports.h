#pragma once

namespace gim {

struct Context;

// The yearly preventive minutes of every machine from its routine, listed with the share done while the
// machine runs, and a pie of the totals. With ActionCode "P" the weighting dialog is shown first and each
// machine's budget record takes the minutes and the weighted times (a machine without a budget record is
// passed over); otherwise the user picks a speciality ("*" all) and only the listing is made.
void PreventiveBudget(Context& ctx);

// Costes > Presupuesto > Listado: the budget of every machine with its totals, valued in hours (with each
// time's share) or, at a labour-hour cost the user gives, in euros.
void BudgetValuationReport(Context& ctx);

} // namespace gim
