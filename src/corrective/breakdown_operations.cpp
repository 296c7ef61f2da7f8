#include "corrective/breakdown_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "corrective/breakdown_reports.h"
#include "corrective/breakdowns.h"
#include "platform/handover.h"

namespace gim {

void RegisterBreakdowns(OperationRegistry& registry, Context& ctx)
{

    registry.Register(Op::AddBreakdowns, AddBreakdowns);
    registry.Register(Op::SortBreakdownFile, SortBreakdownFile);
    registry.Register(Op::FreeBreakdownList, FreeBreakdownList);
    registry.Register(Op::LoadBreakdownList, LoadBreakdownList);
    registry.Register(Op::EditBreakdowns, EditBreakdowns);
    registry.Register(Op::BreakdownReport, BreakdownReport);
    registry.Register(Op::RepetitiveBreakdownReport, RepetitiveBreakdownReport);

    RegisterBreakdownHandover(ctx, ctx.Module<HandoverRegistry>());
}

} // namespace gim
