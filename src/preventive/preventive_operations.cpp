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
    registry.Register(QStringLiteral("CreatePlanning"), CreatePlanning);
    registry.Register(QStringLiteral("IncreaseWeeklyHours"), IncreaseWeeklyHours);
    registry.Register(QStringLiteral("PlanMachine"), PlanMachine);
    registry.Register(QStringLiteral("AutoLoadPlanning"), AutoLoadPlanning);
    registry.Register(QStringLiteral("ContinuePlanFromEnvironment"), ContinuePlanFromEnvironment);
    registry.Register(QStringLiteral("ListAnnualPlan"), ListAnnualPlan);

    ctx.Module<StartupSteps>().environmentData.emplace(7, LoadFirmAndWeekAgenda);
    InstallRoutinePlanHooks(ctx);
}

} // namespace gim
