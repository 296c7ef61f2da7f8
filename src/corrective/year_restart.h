#pragma once

#include <QString>
#include <map>

namespace gim {

struct Context;

// Old work-order number -> the number the order has in the new environment.
using OrderRenumbering = std::map<int, int>;

// The orders still pending ("P") or in progress ("T") become the new environment's work-order file,
// numbered from 0 in the order of their old numbers, so that each record's number is its index. A missing
// file carries nothing.
OrderRenumbering RestartYearWorkOrders(Context& ctx, const QString& newEnvironment);

// Every planned repair and notice not executed ("E"), from the file as sorted by week, becomes the new
// environment's. Weeks, codes and executors are kept; the work order a repair names is renamed as the
// orders were, and one that was not carried is no longer named.
void RestartYearPlannedRepairs(Context& ctx, const QString& newEnvironment, const OrderRenumbering& orders);

// Utiles > Entorno > Reinicia Año: creates the next year's environment from the current one, which stays
// selected. The new environment is complete or not there at all.
void CreateNextYearEnvironment(Context& ctx);

} // namespace gim
