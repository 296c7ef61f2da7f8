#pragma once

#include "records/work_order_record.h"

namespace gim {

struct Context;
class HandoverRegistry;

// ActionCode "L" (machine and type asked), "P", "T", "M" (orders in that state) or "S" (repair budgets,
// machine asked): the orders noticed within the date range chosen, with the minutes the daily reports
// book on each and, for work orders, the mean reaction and resolution times of the closed ones.
void ListWorkOrders(Context& ctx);

// The order sheet of the card's "&Imprimir": the order's data and room for handwritten notes.
void ShowWorkOrderSheet(Context& ctx, const TWorkOrderRecord& rec);

// The Editar hand-over of the listing's rows: the order number of a picked row, and its texts, go to
// WorkOrderInput for EditWorkOrder.
void RegisterWorkOrderHandover(Context& ctx, HandoverRegistry& handover);

} // namespace gim
