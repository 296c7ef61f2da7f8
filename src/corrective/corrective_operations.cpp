#include "corrective/corrective_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "corrective/work_order_listings.h"
#include "corrective/work_orders.h"
#include "platform/handover.h"

namespace gim {

void RegisterCorrective(OperationRegistry& registry, Context& ctx)
{

    registry.Register(Op::NewWorkOrder, NewWorkOrder);
    registry.Register(Op::EditWorkOrder, EditWorkOrder);
    registry.Register(Op::EditBudgetHours, EditBudgetHours);
    registry.Register(Op::CloseWorkOrder, CloseWorkOrder);
    registry.Register(Op::ListWorkOrders, ListWorkOrders);

    RegisterWorkOrderHandover(ctx, ctx.Module<HandoverRegistry>());
}

} // namespace gim
