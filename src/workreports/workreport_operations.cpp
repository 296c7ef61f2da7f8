#include "workreports/workreport_operations.h"

#include "core/command_table.h"
#include "core/context.h"
#include "core/operations.h"
#include "platform/handover.h"
#include "workreports/budget_card.h"
#include "workreports/budget_reports.h"
#include "workreports/budgets.h"
#include "workreports/machine_cost_report.h"
#include "workreports/work_report_changes.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_hours.h"
#include "workreports/work_report_listings.h"
#include "workreports/work_report_posting.h"

namespace gim {

void RegisterWorkReports(OperationRegistry& registry, Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    RegisterWorkReportHandover(ctx, ctx.Module<HandoverRegistry>());
    registry.Register(Op::LoadWorkReports, LoadWorkReports);
    registry.Register(Op::FreeWorkReportList, [](Context& c) { FreeWorkReportList(c); });
    registry.Register(Op::SortWorkReportFile, [](Context& c) { SortWorkReportFile(c); });
    registry.Register(Op::AddWorkReportLine, AddWorkReportLine);
    registry.Register(Op::SavePlannedRepairList, SavePlannedRepairList);
    registry.Register(Op::DefineBudget, DefineBudget);
    registry.Register(Op::PreventiveBudget, PreventiveBudget);
    registry.Register(Op::EditBudget, EditBudget);
    registry.Register(Op::BudgetValuationReport, BudgetValuationReport);
    registry.Register(Op::MachineCostReport, MachineCostReport);
    registry.Register(Op::PersonnelDailyHoursReport, PersonnelDailyHoursReport);
    registry.Register(Op::MaintenanceHoursReport, MaintenanceHoursReport);
    registry.Register(Op::PersonnelWeeklyHoursReport, PersonnelWeeklyHoursReport);
    registry.Register(Op::CostAccountAnalysis, CostAccountAnalysis);
    registry.Register(Op::WorkOrderReport, WorkOrderReport);
    registry.Register(Op::ModifyWorkReport, ModifyWorkReport);
    registry.RegisterFileOperation(Op::MergeWorkReportFile, MergeWorkReportFile);
    registry.RegisterCondition(Cond::WorkReportWritten,
                               [&w](const Context&) { return w.WorkReportWritten != 0; });
    // The files the posting touched are re-sorted once the command's lines are all in.
    registry.RegisterCondition(Cond::BreakdownPosted,
                               [&w](const Context&) { return w.BreakdownPostedFlag != 0; });
    registry.RegisterCondition(Cond::PlannedRepairPosted,
                               [&w](const Context&) { return w.PlannedRepairPostedFlag != 0; });
    registry.RegisterCondition(Cond::RevisionPosted,
                               [&w](const Context&) { return w.RevisionPostedFlag != 0; });
    registry.RegisterCondition(Cond::PersonnelEntryPosted,
                               [&w](const Context&) { return w.PersonnelEntryPostedFlag != 0; });
}

void DeclareWorkReportCommands(CommandRegistry& menu)
{
    using enum Op;
    using enum Cond;
    menu.Add(MenuItem::RoutinesBudgetUpdate, "&Gamas > &Presupuesto > &Actualizar", "", "", Codes().A("P"),
             {DefineBudget, LoadOperationList, PreventiveBudget});
    menu.Add(MenuItem::RoutinesBudgetList, "&Gamas > &Presupuesto > &Listar", "", "", {},
             {LoadOperationList, PreventiveBudget});
    menu.Add(MenuItem::CostsAnalysisWorkReportsAnnual, "&Costes > &Análisis > Pa&rtes > &Anual", "", "",
             Codes().A("3"), {MachineCostReport});
    menu.Add(MenuItem::CostsAnalysisWorkReportsPeriod, "&Costes > &Análisis > Pa&rtes > &Periodo", "", "",
             Codes().A("4"), {MachineCostReport});
    menu.Add(MenuItem::CostsAnalysisWorkReportsAccounts, "&Costes > &Análisis > Pa&rtes > &Cuentas", "", "",
             Codes().A("3").O("P"), {MachineCostReport});
    menu.Add(MenuItem::CostsAnalysisHistoryAnnual, "&Costes > &Análisis > &Histórico > &Anual", "", "",
             Codes().A("1"), {MachineCostReport});
    menu.Add(MenuItem::CostsAnalysisHistoryPeriod, "&Costes > &Análisis > &Histórico > &Periodo", "", "",
             Codes().A("2"), {MachineCostReport});
    menu.Add(MenuItem::CostsAnalysisHistoryAccounts, "&Costes > &Análisis > &Histórico > &Cuentas", "", "",
             Codes().A("1").O("P"), {MachineCostReport});
    menu.Add(MenuItem::CostsBudgetDefine, "&Costes > &Presupuesto > &Definición", "", "", Codes().A("P"),
             {DefineBudget, LoadOperationList, PreventiveBudget});
    menu.Add(MenuItem::CostsBudgetList, "&Costes > &Presupuesto > &Listado", "", "", {},
             {BudgetValuationReport});
    menu.Add(MenuItem::CostsEditBudget, "&Costes > &Edicion Presup.", "", "", {}, {EditBudget});
    menu.Add(MenuItem::WorkReportsAdd, "&Partes > &Alta", "Ctrl+F11", "", Codes().A("1"),
             {LoadMachineList, LoadPlannedRepairs, AddWorkReportLine, SavePlannedRepairList,
              FreePlannedRepairList, FreeMachineList, When(RevisionPosted, SortRevisionFile),
              When(BreakdownPosted, SortBreakdownFile), When(PlannedRepairPosted, SortPlannedRepairFile),
              When(WorkReportWritten, SortWorkReportFile), When(PersonnelEntryPosted, PurgePersonnelEntries),
              FreeWorkReportList});
    menu.Add(MenuItem::WorkReportsListWorkReports, "&Partes > &Listados > &Partes", "F11", "", Codes().A("2"),
             {LoadWorkReports, WorkOrderReport});
    menu.Add(MenuItem::WorkReportsListOrders, "&Partes > &Listados > &Ordenes", "", "", Codes().O("P").A("O"),
             {LoadWorkReports, WorkOrderReport});
    menu.Add(MenuItem::WorkReportsListCostAccounts, "&Partes > &Listados > &Cuenta Coste", "", "", {},
             {LoadWorkReports, CostAccountAnalysis});
    menu.Add(MenuItem::WorkReportsEdit, "&Partes > &Edición", "Shift+F11", "", Codes().A("4"),
             {LoadWorkReports, ModifyWorkReport, FreeWorkReportList,
              When(WorkReportWritten, SortWorkReportFile)})
        .pendingEdit = PendingEdit(EditItem::Partes);
    menu.Add(MenuItem::WorkReportsReportsDaily, "&Partes > &Informes > &Diario", "", "", {},
             {LoadWorkReports, PersonnelDailyHoursReport, FreeWorkReportList});
    menu.Add(MenuItem::WorkReportsReportsPeriod, "&Partes > &Informes > &Periodo", "", "", {},
             {LoadWorkReports, MaintenanceHoursReport, FreeWorkReportList});
    // Core runs the merge and the descriptions file (the merge's steps are this feature's).
    menu.Add(MenuItem::WorkReportsFileMerge, "&Partes > &Fichero > A&ñadir Partes", "", "", Codes().A("i"),
             {AddWorkReportFile})
        .needs = {FreeWorkReportList,    LoadMachineList,       LoadPlannedRepairs, MergeWorkReportFile,
                  SavePlannedRepairList, FreePlannedRepairList, FreeMachineList,    SortRevisionFile,
                  SortBreakdownFile,     SortPlannedRepairFile, RevisionPosted,     BreakdownPosted,
                  PlannedRepairPosted};
    menu.Add(MenuItem::WorkReportsFileJobDescriptions, "&Partes > &Fichero > &Descripción Partes", "", "", {},
             {JobDescriptions});
    menu.Add(MenuItem::WorkReportsFileSplit, "&Partes > &Fichero > &Fraccionar fichero de Partes.", "", "",
             Codes().A("F"), {SortWorkReportFile});
    menu.Add(MenuItem::WorkReportsRatios, "&Partes > &Ratios", "", "", {}, {PersonnelWeeklyHoursReport});
}

} // namespace gim
