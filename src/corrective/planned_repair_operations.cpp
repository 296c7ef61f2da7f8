#include "corrective/planned_repair_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "corrective/corrective_ratios.h"
#include "corrective/planned_repair_reports.h"
#include "corrective/planned_repairs.h"
#include "platform/handover.h"

namespace gim {

void RegisterPlannedRepairs(OperationRegistry& registry, Context& ctx)
{
    registry.Register(Op::NewPlannedRepair, NewPlannedRepair);
    registry.Register(Op::SortPlannedRepairFile, SortPlannedRepairFile);
    registry.Register(Op::EditPlannedRepairs, EditPlannedRepairs);
    registry.Register(Op::LoadPlannedRepairs, LoadPlannedRepairs);
    registry.Register(Op::FreePlannedRepairList, FreePlannedRepairList);
    registry.Register(Op::ReportRepairHistory, ReportRepairHistory);
    registry.Register(Op::RepairRatios, RepairRatios);
    RegisterPlannedRepairHandover(ctx, ctx.Module<HandoverRegistry>());

    ctx.Module<StartupSteps>().environmentData.emplace(9, ShowPendingRepairsOfWeek);
}

} // namespace gim
