#include "corrective/corrective_operations.h"

#include "core/command_table.h"
#include "core/context.h"
#include "core/operations.h"
#include "corrective/corrective_ratios.h"
#include "corrective/work_order_listings.h"
#include "corrective/work_order_photo.h"
#include "corrective/work_orders.h"
#include "corrective/year_restart.h"
#include "platform/handover.h"

namespace gim {

void RegisterCorrective(OperationRegistry& registry, Context& ctx)
{

    registry.Register(Op::NewWorkOrder, NewWorkOrder);
    registry.Register(Op::EditWorkOrder, EditWorkOrder);
    registry.Register(Op::EditBudgetHours, EditBudgetHours);
    registry.Register(Op::CloseWorkOrder, CloseWorkOrder);
    registry.Register(Op::ListWorkOrders, ListWorkOrders);
    registry.Register(Op::WorkOrderRatios, WorkOrderRatios);
    registry.Register(Op::CreateNextYearEnvironment, CreateNextYearEnvironment);
    registry.Register(Op::DownloadWorkOrderPhoto, DownloadWorkOrderPhoto);

    RegisterWorkOrderHandover(ctx, ctx.Module<HandoverRegistry>());
}

void DeclareCorrectiveCommands(CommandRegistry& menu)
{
    using enum Op;
    menu.Add(MenuItem::ToolsEnvironmentRestartYear, "&Utiles > &Entorno  > &Reinicia Año", "", "", {},
             {CreateNextYearEnvironment})
        .needs = {RestartStoreYear};
    menu.Add(MenuItem::WorkOrdersAddOrder, "OT/Prspues&tos > &Altas > &OrdenT", "", "", Codes().A("A"),
             {NewWorkOrder});
    menu.Add(MenuItem::WorkOrdersAddBudget, "OT/Prspues&tos > &Altas > &Presupuesto", "", "", Codes().A("R"),
             {NewWorkOrder});
    menu.Add(MenuItem::WorkOrdersEditOrder, "OT/Prspues&tos > &Edición > &OrdenTrab.", "", "", Codes().A("E"),
             {EditWorkOrder})
        .pendingEdit = PendingEdit(EditItem::OrdenesT);
    menu.Add(MenuItem::WorkOrdersEditClose, "OT/Prspues&tos > &Edición > &Cierre OT", "", "", {},
             {LoadWorkReports, CloseWorkOrder, FreeWorkReportList});
    menu.Add(MenuItem::WorkOrdersEditBudgetHours, "OT/Prspues&tos > &Edición > &Presupuesto > &Horas", "", "",
             Codes().A("R"), {EditBudgetHours});
    menu.Add(MenuItem::WorkOrdersQueryOrdersList, "OT/Prspues&tos > &Consulta > &Ordenes Trb > &Listados OT",
             "", "", Codes().A("L"), {LoadWorkReports, ListWorkOrders});
    menu.Add(MenuItem::WorkOrdersQueryOrdersPendingLabour,
             "OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > Mano &Obra", "Ctrl+Shift+F6", "",
             Codes().A("P"), {ListWorkOrders});
    menu.Add(MenuItem::WorkOrdersQueryOrdersPendingInProgress,
             "OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Trámite", "", "", Codes().A("T"),
             {ListWorkOrders});
    menu.Add(MenuItem::WorkOrdersQueryOrdersPendingMaterials,
             "OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Materiales", "", "", Codes().A("M"),
             {ListWorkOrders});
    menu.Add(MenuItem::WorkOrdersQueryOrdersDetails,
             "OT/Prspues&tos > &Consulta > &Ordenes Trb > &Detalles OT", "", "", Codes().O("P").A("O"),
             {LoadWorkReports, WorkOrderReport});
    menu.Add(MenuItem::WorkOrdersQueryBudgetsSelective,
             "OT/Prspues&tos > &Consulta > &Presupuestos > &Selectiva", "", "", Codes().O("P").A("S"),
             {LoadWorkReports, WorkOrderReport});
    menu.Add(MenuItem::WorkOrdersQueryBudgetsList, "OT/Prspues&tos > &Consulta > &Presupuestos > &Listar", "",
             "", Codes().A("S"), {ListWorkOrders});
    menu.Add(MenuItem::WorkOrdersRatios, "OT/Prspues&tos > &Ratios OT", "", "", {}, {WorkOrderRatios});
    menu.Add(MenuItem::BreakdownsAdd, "&Averías > &Altas", "Ctrl+F5", "", Codes().A("A"),
             {AddBreakdowns, SortBreakdownFile, FreeBreakdownList});
    menu.Add(MenuItem::BreakdownsEdit, "&Averías > &Edición", "Shift+F5", "", Codes().A("2"),
             {LoadBreakdownList, EditBreakdowns, FreeBreakdownList})
        .pendingEdit = PendingEdit(EditItem::Averias);
    menu.Add(MenuItem::BreakdownsQuery, "&Averías > &Consulta", "F5", "", Codes().O("P"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList});
    menu.Add(MenuItem::BreakdownsReportType, "&Averías > &Informe > &Tipo", "", "", Codes().O("P").A("4"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList});
    menu.Add(MenuItem::BreakdownsReportWeek, "&Averías > &Informe > &Semana", "", "", Codes().O("P"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList});
    menu.Add(MenuItem::BreakdownsReportIntervention, "&Averías > &Informe > &Intervención", "", "", {},
             {RepetitiveBreakdownReport});
    menu.Add(MenuItem::RepairsAddPending, "&Reparaciones > &Altas > &Pendiente", "", "", Codes().A("1"),
             {NewPlannedRepair, SortPlannedRepairFile});
    menu.Add(MenuItem::RepairsAddNotice, "&Reparaciones > &Altas > &Avisos Reparacion", "Ctrl+F6", "",
             Codes().A("2"), {NewPlannedRepair, SortPlannedRepairFile});
    // Re-sorts by code, then by week.
    menu.Add(
        MenuItem::RepairsEditPendingLabour, "&Reparaciones > &Edición > &Pendientes MO", "", "",
        Codes().A("3"),
        {EditPlannedRepairs, WithAction("3", SortPlannedRepairFile), WithAction("", SortPlannedRepairFile)});
    menu.Add(MenuItem::RepairsEditSelective, "&Reparaciones > &Edición > &Selectiva", "", "", Codes().A("4"),
             {EditPlannedRepairs, SortPlannedRepairFile})
        .pendingEdit = PendingEdit(EditItem::Repara);
    // Re-sorts twice by week.
    menu.Add(MenuItem::RepairsEditNotices, "&Reparaciones > &Edición > &Avisos Rep", "", "", Codes().A("B"),
             {EditPlannedRepairs, SortPlannedRepairFile, SortPlannedRepairFile});
    menu.Add(MenuItem::RepairsQuerySelective, "&Reparaciones > &Consulta > &Selectiva", "", "",
             Codes().A("L").O("P"), {ReportRepairHistory});
    menu.Add(MenuItem::RepairsQueryPendingNotices, "&Reparaciones > &Consulta > &Avisos Pend", "F6", "",
             Codes().A("A").S("M").O("P"), {ReportRepairHistory});
    menu.Add(MenuItem::RepairsRatios, "&Reparaciones > &Ratios", "", "", Codes().S("P").A("5"),
             {SortPlannedRepairFile, RepairRatios});
}

} // namespace gim
