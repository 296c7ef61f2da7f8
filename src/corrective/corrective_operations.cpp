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
    menu.Add("OT/Prspues&tos > &Altas > &OrdenT", "", "", Codes().A("A"), {NewWorkOrder});
    menu.Add("OT/Prspues&tos > &Altas > &Presupuesto", "", "", Codes().A("R"), {NewWorkOrder});
    menu.Add("OT/Prspues&tos > &Edición > &OrdenTrab.", "", "", Codes().A("E"), {EditWorkOrder}).pendingEdit =
        PendingEdit(EditItem::OrdenesT);
    menu.Add("OT/Prspues&tos > &Edición > &Cierre OT", "", "", {},
             {LoadWorkReports, CloseWorkOrder, FreeWorkReportList});
    menu.Add("OT/Prspues&tos > &Edición > &Presupuesto > &Horas", "", "", Codes().A("R"), {EditBudgetHours});
    menu.Add("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Listados OT", "", "", Codes().A("L"),
             {LoadWorkReports, ListWorkOrders});
    menu.Add("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > Mano &Obra", "Ctrl+Shift+F6", "",
             Codes().A("P"), {ListWorkOrders});
    menu.Add("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Trámite", "", "", Codes().A("T"),
             {ListWorkOrders});
    menu.Add("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Materiales", "", "", Codes().A("M"),
             {ListWorkOrders});
    menu.Add("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Detalles OT", "", "", Codes().O("P").A("O"),
             {LoadWorkReports, WorkOrderReport});
    menu.Add("OT/Prspues&tos > &Consulta > &Presupuestos > &Selectiva", "", "", Codes().O("P").A("S"),
             {LoadWorkReports, WorkOrderReport});
    menu.Add("OT/Prspues&tos > &Consulta > &Presupuestos > &Listar", "", "", Codes().A("S"),
             {ListWorkOrders});
    menu.Add("OT/Prspues&tos > &Ratios OT", "", "", {}, {WorkOrderRatios});
    menu.Add("&Averías > &Altas", "Ctrl+F5", "", Codes().A("A"),
             {AddBreakdowns, SortBreakdownFile, FreeBreakdownList});
    menu.Add("&Averías > &Edición", "Shift+F5", "", Codes().A("2"),
             {LoadBreakdownList, EditBreakdowns, FreeBreakdownList})
        .pendingEdit = PendingEdit(EditItem::Averias);
    menu.Add("&Averías > &Consulta", "F5", "", Codes().O("P"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList});
    menu.Add("&Averías > &Informe > &Tipo", "", "", Codes().O("P").A("4"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList});
    menu.Add("&Averías > &Informe > &Semana", "", "", Codes().O("P"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList});
    menu.Add("&Averías > &Informe > &Intervención", "", "", {}, {RepetitiveBreakdownReport});
    menu.Add("&Reparaciones > &Altas > &Pendiente", "", "", Codes().A("1"),
             {NewPlannedRepair, SortPlannedRepairFile});
    menu.Add("&Reparaciones > &Altas > &Avisos Reparacion", "Ctrl+F6", "", Codes().A("2"),
             {NewPlannedRepair, SortPlannedRepairFile});
    // Re-sorts by code, then by week.
    menu.Add(
        "&Reparaciones > &Edición > &Pendientes MO", "", "", Codes().A("3"),
        {EditPlannedRepairs, WithAction("3", SortPlannedRepairFile), WithAction("", SortPlannedRepairFile)});
    menu.Add("&Reparaciones > &Edición > &Selectiva", "", "", Codes().A("4"),
             {EditPlannedRepairs, SortPlannedRepairFile})
        .pendingEdit = PendingEdit(EditItem::Repara);
    // Re-sorts twice by week.
    menu.Add("&Reparaciones > &Edición > &Avisos Rep", "", "", Codes().A("B"),
             {EditPlannedRepairs, SortPlannedRepairFile, SortPlannedRepairFile});
    menu.Add("&Reparaciones > &Consulta > &Selectiva", "", "", Codes().A("L").O("P"), {ReportRepairHistory});
    menu.Add("&Reparaciones > &Consulta > &Avisos Pend", "F6", "", Codes().A("A").S("M").O("P"),
             {ReportRepairHistory});
    menu.Add("&Reparaciones > &Ratios", "", "", Codes().S("P").A("5"), {SortPlannedRepairFile, RepairRatios});
}

} // namespace gim
