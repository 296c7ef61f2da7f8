#include "preventive/preventive_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "platform/handover.h"
#include "preventive/annual_plan.h"
#include "preventive/plan_control.h"
#include "preventive/plan_definition.h"
#include "preventive/plan_launch.h"
#include "preventive/plan_loading.h"
#include "preventive/predictive.h"
#include "preventive/revision_reports.h"
#include "preventive/revisions.h"

namespace gim {

void RegisterPreventive(OperationRegistry& registry, Context& ctx)
{
    registry.Register(Op::CreatePlanning, CreatePlanning);
    registry.Register(Op::IncreaseWeeklyHours, IncreaseWeeklyHours);
    registry.Register(Op::PlanMachine, PlanMachine);
    registry.Register(Op::AutoLoadPlanning, AutoLoadPlanning);
    registry.Register(Op::ContinuePlanFromEnvironment, ContinuePlanFromEnvironment);
    registry.Register(Op::ListAnnualPlan, ListAnnualPlan);
    registry.Register(Op::LaunchMaintenanceRoutes, LaunchMaintenanceRoutes);
    registry.Register(Op::LaunchWeeklyPlan, LaunchWeeklyPlan);

    registry.Register(Op::LoadPredictiveList, LoadPredictiveList);
    registry.Register(Op::AddPredictiveRecord, AddPredictiveRecord);
    registry.Register(Op::EditPredictiveRecord, EditPredictiveRecord);
    registry.Register(Op::RewritePredictiveFile, RewritePredictiveFile);
    // The measurement series rewrites its file only when a measurement was stored.
    registry.RegisterCondition(Cond::PredictiveRecordStored, [&p = Predictive(ctx)](const Context&) {
        return p.PredictiveRecordStored != 0;
    });

    registry.Register(Op::ClearCardSaved, [](Context& c) { c.st.CardSaved = 0; });
    registry.Register(Op::NewRevision, NewRevision);
    registry.Register(Op::EditRevisionHistory, EditRevisionHistory);
    registry.Register(Op::SortRevisionFile, SortRevisionFile);
    registry.Register(Op::FreeRevisionList, FreeRevisionList);
    registry.Register(Op::ReportRevisionHistory, ReportRevisionHistory);
    registry.Register(Op::ControlPlan, ControlPlan);

    ctx.Module<StartupSteps>().environmentData.emplace(7, LoadFirmAndWeekAgenda);

    // Editar > Energías, from the reading export listing (Codigo, Conta, Fecha, Orden, Lectura); the
    // reading's edit converts a date longer than 7 characters.
    ctx.Module<HandoverRegistry>().Map(EditItem::Energias).fields = {
        {1, "MachineCode", 8}, {2, "MeterCode", 8}, {3, "Date", 10}, {5, "Reading", kNumberText}};
    registry.Register(Op::UnloadPlannedMachine, UnloadPlannedMachine);
    registry.Register(Op::ReloadPlannedMachine, ReloadPlannedMachine);
}

} // namespace gim
