#include "preventive/preventive_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "preventive/annual_plan.h"
#include "preventive/plan_definition.h"
#include "preventive/plan_loading.h"

namespace gim {

void RegisterPreventive(OperationRegistry& registry, Context& ctx)
{
    registry.Register(Op::CreatePlanning, CreatePlanning);
    registry.Register(Op::IncreaseWeeklyHours, IncreaseWeeklyHours);
    registry.Register(Op::PlanMachine, PlanMachine);
    registry.Register(Op::AutoLoadPlanning, AutoLoadPlanning);
    registry.Register(Op::ContinuePlanFromEnvironment, ContinuePlanFromEnvironment);
    registry.Register(Op::ListAnnualPlan, ListAnnualPlan);

    ctx.Module<StartupSteps>().environmentData.emplace(7, LoadFirmAndWeekAgenda);
    InstallRoutinePlanHooks(ctx);
}

} // namespace gim
