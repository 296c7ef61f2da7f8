#include "core/command_table.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace gim {
namespace {

// Mode codes of an item, written as C().A("M").O("P").
struct C
{
    ModeCodes m;
    C& A(const char* v)
    {
        m.action = QString::fromUtf8(v);
        return *this;
    }
    C& O(const char* v)
    {
        m.output = QString::fromUtf8(v);
        return *this;
    }
    C& S(const char* v)
    {
        m.sub = QString::fromUtf8(v);
        return *this;
    }
    C& R(const char* v)
    {
        m.answer = QString::fromUtf8(v);
        return *this;
    }
    operator ModeCodes() const { return m; }
};

using Steps = std::vector<CommandStep>;

// A step that runs only when the condition holds.
CommandStep When(StepCondition condition, Op op)
{
    return CommandStep(op, condition);
}

// A step that runs with its own ActionCode ("" clears it).
CommandStep WithAction(const char* action, Op op)
{
    return CommandStep(op, std::nullopt, QString::fromUtf8(action));
}

CommandItem Item(const char* path, const char* key, const char* hint, ModeCodes codes, Steps steps)
{
    CommandItem item;
    item.path = QString::fromUtf8(path).split(QStringLiteral(" > "));
    item.shortcut = QString::fromUtf8(key);
    item.hint = QString::fromUtf8(hint);
    item.codes = std::move(codes);
    item.steps = std::move(steps);
    return item;
}

CommandItem Needing(CommandItem item, std::initializer_list<Requirement> names)
{
    item.needs.insert(item.needs.end(), names);
    return item;
}

CommandItem Exporting(CommandItem item)
{
    item.exportFlag = true;
    return item;
}

CommandItem DriveCaption(CommandItem item)
{
    item.driveCaption = true;
    return item;
}

// The main menu as the main window lists it, in menu order. Captions carry their "&"; the keys are
// the menu's own (a key standing on two items belongs to the first, see the dispatcher).
CommandTable ListedMenu()
{
    using enum Op;
    using enum Cond;
    CommandTable t;
    auto add = [&t](CommandItem item) { t.push_back(std::move(item)); };

    // Máquinas
    add(Item("&Máquinas > &Alta", "Ctrl+F2", "", {}, {AddMachines, SortMachineFile}));
    add(Item("&Máquinas > &Listado > &Máquinas", "F2", "", C().A("M"),
             {LoadMachineList, ListMachines, FreeMachineList}));
    add(Item("&Máquinas > &Listado > &Cuentas", "", "", C().A("C"),
             {ListMachinesByAccount, ListMachines, FreeMachineList}));
    add(Item("&Máquinas > &Edición", "Shift+F2", "", C().A("3"),
             {LoadMachineList, EditMachine, FreeMachineList, SaveMachineRecord, SortMachineFile}));
    add(Item("&Máquinas > E&tiquetas", "", "", {}, {PrintMachineLabels}));
    // The machine book: MachineBook picks the sheet and sets ContinueFlag when one was chosen.
    add(Item("&Máquinas > &Informes", "", "", {}, {MachineBook, When(ContinueFlag, ShowMachineSheet)}));

    // Procedimientos
    add(Item("Proced&imientos > &Alta", "", "", C().A("A"), {AddProcedure, SortProcedureFile}));
    add(Item("Proced&imientos > &Listado > &Procedimientos", "", "", C().A("L"),
             {LoadProcedureList, ListProcedures, FreeProcedureList}));
    add(Item("Proced&imientos > &Listado > &Instrucciones", "", "", C().A("I"),
             {LoadProcedureList, ListProcedures, FreeProcedureList}));
    add(Item("Proced&imientos > &Edición", "", "", C().A("E"),
             {EditProceduresSelective, SortProcedureFile, FreeProcedureList}));

    // Gamas
    add(Item("&Gamas > &Alta", "Ctrl+F3", "", {},
             {LoadOperationList, AddOperations, SaveOperationList, FreeOperationList}));
    add(Item("&Gamas > &Baja", "", "", C().A("B"), {LoadOperationList, DeleteMachineOperations}));
    add(Item("&Gamas > &Listado", "F3", "", C().O("P"), {LoadOperationList, ListOperations}));
    add(Item("&Gamas > &Edición OPR", "Shift+F3", "", {},
             {LoadOperationList, EditOperations, SaveOperationList, FreeOperationList}));
    add(Item("&Gamas > &Copia Gamas > &Selectiva", "", "", C().A("S"),
             {LoadOperationList, CopyOperations, SaveOperationList, FreeOperationList}));
    add(Item("&Gamas > &Copia Gamas > &Total", "", "", C().A("T"),
             {LoadOperationList, CopyOperations, SaveOperationList, FreeOperationList}));
    add(Item("&Gamas > &Presupuesto > &Actualizar", "", "", C().A("P"),
             {DefineBudget, LoadOperationList, PreventiveBudget}));
    add(Item("&Gamas > &Presupuesto > &Listar", "", "", {}, {LoadOperationList, PreventiveBudget}));

    // Pláning
    add(Item("Plánin&g > &Lanzar > &Ruta Mto.", "Ctrl+Alt+R", "Plan Semanal de Rutas de Mto.", {},
             {LoadEnvironment, LaunchMaintenanceRoutes}));
    add(Item("Plánin&g > &Lanzar > Plan &Semanal", "Ctrl+Alt+P", "Plan Semanal de Mto Por Máquina.", {},
             {LaunchWeeklyPlan}));
    // The prompt "Pantalla/Impresión" sets OutputCode; "P" is its default.
    add(Item("Plánin&g > &Lanzar > &Control Horario", "Ctrl+Alt+H", "Control por Horas Servicio",
             C().A("6").O("P"), {AskHourControlOutput, LoadPredictiveList, PredictiveAlertReport}));
    {
        CommandItem create = Item("Plánin&g > &Crear", "", "Inica el plan Trianual.", {}, {CreatePlanning});
        create.enable = EnableRule::ShortHorizon;
        add(std::move(create));
    }
    add(Item("Plánin&g > &Recursos > &Listar", "", "Listado y Grafico de distribución anual de Horas.", {},
             {ShowMaintenanceLoad}));
    add(Item("Plánin&g > &Recursos > &Aumentar", "", "Incremento de horas disponibles.", {},
             {IncreaseWeeklyHours}));
    add(Item("Plánin&g > &Altas > &Cargar > &Manual", "", "Alta manual en planing.", C().A("M").R("C"),
             {PlanMachine, ListAnnualPlan}));
    add(Item("Plánin&g > &Altas > &Cargar > &Automática > &Aleatoria", "", "Busca la semana con menor carga",
             C().A("T").R("C"), {AutoLoadPlanning, ListAnnualPlan}));
    add(Item("Plánin&g > &Altas > &Cargar > &Automática > &Sincrona", "",
             "Sincroniza con máquina de cabecera", C().A("S").R("C"), {AutoLoadPlanning, ListAnnualPlan}));
    add(Item("Plánin&g > &Altas > &Cargar > &Automática > &Continua Plan", "",
             "enlaza planes de Mto Preventivo", C().A("C").R("C"),
             {ContinuePlanFromEnvironment, ListAnnualPlan}));
    add(Item("Plánin&g > &Altas > &Descargar > &Manual", "", "de una máquina", C().A("M").R("D"),
             {PlanMachine, ListAnnualPlan}));
    add(Item("Plánin&g > &Altas > &Descargar > &Automática", "", "Descarga todas las máquinas",
             C().A("T").R("D"), {AutoLoadPlanning, ListAnnualPlan}));
    add(Item("Plánin&g > &Altas > A&genda", "", "Controla apuntes en agenda de Notificaciones", C().A("G"),
             {ShowMaintenanceLoad}));
    add(Item("Plánin&g > &Plan Anual", "", "Semanas de inicio del plan anual.", C().A("5"),
             {ListAnnualPlan}));

    // Historial MP
    add(Item("&Historial MP > &Altas > &Planing", "Ctrl+F4", "", C().O("P"),
             {ControlPlan, SortRevisionFile}));
    add(Item("&Historial MP > &Altas > &Selectiv", "", "", {}, {NewRevision, SortRevisionFile}));
    add(Item("&Historial MP > &Edicion", "Shift+F4", "", {}, {EditRevisionHistory, SortRevisionFile}));
    add(Item("&Historial MP > &Consulta", "", "", C().O("P"), {ReportRevisionHistory}));
    add(Item("&Historial MP > Co&ntrol > &Planing", "F4", "", C().O("C").A("0"),
             {ControlPlan, SortRevisionFile}));
    add(Item("&Historial MP > Co&ntrol > &Máquina", "", "", C().O("C").A("M"),
             {ControlPlan, SortRevisionFile}));
    add(Item("&Historial MP > Co&ntrol > &Semana", "", "", C().A("2"), {PreventiveRatios, FreeRevisionList}));
    add(Item("&Historial MP > Co&ntrol > &Rutas", "", "", C().O("P").A("3"),
             {PreventiveRatios, ControlRoutes}));
    add(Item("&Historial MP > &Ratios > &Planing", "", "", C().S("R").A("1"), {PreventiveRatios}));
    add(Item("&Historial MP > &Ratios > &Semana", "", "", C().S("R").A("2"), {PreventiveRatios}));
    add(Item("&Historial MP > &Ratios > &Rutas", "", "", C().S("R").A("3"), {PreventiveRatios}));

    // Averías
    add(Item("&Averías > &Altas", "Ctrl+F5", "", C().A("A"),
             {AddBreakdowns, SortBreakdownFile, FreeBreakdownList}));
    add(Item("&Averías > &Edición", "Shift+F5", "", C().A("2"),
             {LoadBreakdownList, EditBreakdowns, FreeBreakdownList, SortBreakdownFile, FreeBreakdownList,
              SortBreakdownFile, FreeBreakdownList}));
    add(Item("&Averías > &Consulta", "F5", "", C().O("P"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList}));
    add(Item("&Averías > &Informe > &Tipo", "", "", C().O("P").A("4"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList}));
    add(Item("&Averías > &Informe > &Semana", "", "", C().O("P"),
             {LoadBreakdownList, BreakdownReport, FreeBreakdownList}));
    add(Item("&Averías > &Informe > &Intervención", "", "", {}, {RepetitiveBreakdownReport}));

    // Reparaciones
    add(Item("&Reparaciones > &Altas > &Pendiente", "", "", C().A("1"),
             {NewPlannedRepair, SortPlannedRepairFile}));
    add(Item("&Reparaciones > &Altas > &Avisos Reparacion", "Ctrl+F6", "", C().A("2"),
             {NewPlannedRepair, SortPlannedRepairFile}));
    add(Item("&Reparaciones > &Edición > &Pendientes MO", "", "", C().A("3"),
             {EditPlannedRepairs, SortPlannedRepairFile}));
    add(Item("&Reparaciones > &Edición > &Selectiva", "", "", C().A("4"),
             {EditPlannedRepairs, SortPlannedRepairFile}));
    add(Item("&Reparaciones > &Edición > &Avisos Rep", "", "", C().A("B"),
             {EditPlannedRepairs, SortPlannedRepairFile}));
    add(Item("&Reparaciones > &Consulta > &Selectiva", "", "", C().A("L").O("P"), {ReportRepairHistory}));
    add(Item("&Reparaciones > &Consulta > &Avisos Pend", "F6", "", C().A("A").S("M").O("P"),
             {ReportRepairHistory}));
    add(Item("&Reparaciones > &Ratios", "", "", C().S("P").A("5"), {SortPlannedRepairFile, RepairRatios}));

    // OT/Prspuestos
    add(Item("OT/Prspues&tos > &Altas > &OrdenT", "", "", C().A("A"), {NewWorkOrder}));
    add(Item("OT/Prspues&tos > &Altas > &Presupuesto", "", "", C().A("R"), {NewWorkOrder}));
    add(Item("OT/Prspues&tos > &Edición > &OrdenTrab.", "", "", C().A("E"), {EditWorkOrder}));
    add(Item("OT/Prspues&tos > &Edición > &Cierre OT", "", "", {},
             {LoadWorkReports, CloseWorkOrder, FreeWorkReportList}));
    add(Item("OT/Prspues&tos > &Edición > &Presupuesto > &Horas", "", "", C().A("R"), {EditBudgetHours}));
    add(Item("OT/Prspues&tos > &Edición > &Presupuesto > &Mat/Rep", "", "", C().A("S"),
             {LoadSparePartList, EditMovementsByWeek, FreeSparePartList}));
    add(Item("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Listados OT", "", "", C().A("L"),
             {LoadWorkReports, ListWorkOrders}));
    add(Item("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > Mano &Obra", "Ctrl+Shift+F6", "",
             C().A("P"), {ListWorkOrders}));
    add(Item("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Trámite", "", "", C().A("T"),
             {ListWorkOrders}));
    add(Item("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Pendientes > &Materiales", "", "", C().A("M"),
             {ListWorkOrders}));
    add(Item("OT/Prspues&tos > &Consulta > &Ordenes Trb > &Detalles OT", "", "", C().O("P").A("O"),
             {LoadWorkReports, WorkOrderReport}));
    add(Item("OT/Prspues&tos > &Consulta > &Presupuestos > &Selectiva", "", "", C().O("P").A("S"),
             {LoadWorkReports, WorkOrderReport}));
    add(Item("OT/Prspues&tos > &Consulta > &Presupuestos > &Listar", "", "", C().A("S"), {ListWorkOrders}));
    add(Item("OT/Prspues&tos > &Ratios OT", "", "", {}, {WorkOrderRatios}));

    // Predictivo
    add(Item("Pre&dictivo > &Alta > &Medida", "Ctrl+F7", "Registro de Medidas de Control.", C().A("1"),
             {AddPredictiveRecord, RewritePredictiveFile}));
    add(Item("Pre&dictivo > &Alta > &Alarma", "", "Definición de Alarmas Tecnicas.", C().A("5"),
             {AddPredictiveRecord, RewritePredictiveFile}));
    add(Item("Pre&dictivo > &Edición > &Medidas", "Shift+F7", "Edición de Medidas.", C().A("4"),
             {EditPredictiveRecord}));
    add(Item("Pre&dictivo > &Edición > &Alarmas", "", "Edición de nivel de Alarmas:", C().A("3"),
             {EditPredictiveRecord}));
    add(Item("Pre&dictivo > &Listados", "F7", "Consulta de Tendencias de Medidas.", C().O("P").A("2"),
             {LoadPredictiveList, PredictiveRegisterReport}));
    add(Item("Pre&dictivo > &Máquinas > &Alerta", "", "Nivel de Alarma de Máquinas", C().O("P").A("6"),
             {LoadPredictiveList, PredictiveAlertReport}));
    add(Item("Pre&dictivo > &Máquinas > &Control", "", "Máquinas bajo Control de Predictivo",
             C().O("P").A("7"), {PredictiveAlertReport}));

    // Energías
    add(Item("&Energías > &Alta Lectura", "Ctrl+F8", "Registro de Lecturas.", C().A("1"),
             {AddEnergyReading, SortEnergyReadings}));
    add(Item("&Energías > &Edición", "Shift+F8", "Edición de lecturas de contadores.", C().A("4"),
             {LoadEnergyReadings, EditEnergyReadings, SortEnergyReadings}));
    add(Item("&Energías > &Informes > Por &Lecturas", "F8", "Lecturas semanales efectuadas", C().A("3"),
             {LoadEnergyReadings, EnergyConsumptionReport}));
    add(Item("&Energías > &Informes > Por &Periodo", "", "LLecturas en un intérvalo de tiempo", {},
             {LoadEnergyReadings, EnergyPeriodReport}));
    add(Item("&Energías > &Informes > Por &Contador", "", "Consumos por Nº de contador", C().A("2"),
             {LoadEnergyReadings, EnergyConsumptionReport}));

    // Repuestos
    add(Item("Repuest&os > &Alta", "Ctrl+F9", "", C().A("W"),
             {LoadSparePartList, AddSparePart, FreeSparePartList}));
    add(Item("Repuest&os > En&tradas/Salidas", "Shift+F9", "", C().A("M"),
             {LoadSparePartList, BrowseSpareParts, FreeSparePartList}));
    add(Item("Repuest&os > &Consultas > &Código", "F9", "", C().A("C"),
             {LoadSparePartList, StoreInventoryReport, FreeSparePartList}));
    add(Item("Repuest&os > &Consultas > &Proveedor", "", "", C().A("P"),
             {LoadSparePartList, StoreInventoryReport, FreeSparePartList}));
    add(Item("Repuest&os > &Edición In/Out > &Correcciones", "Ctrl+Shift+F9", "", C().A("A"),
             {LoadSparePartList, BrowseSpareParts, FreeSparePartList}));
    add(Item("Repuest&os > &Edición In/Out > &Movimientos", "", "", C().A("E"),
             {LoadSparePartList, EditMovementsByWeek, FreeSparePartList}));
    add(Item("Repuest&os > &Edición In/Out > E&tiquetas", "", "", C().A("E"),
             {LoadSparePartList, BrowseSpareParts, FreeSparePartList}));
    add(Item("Repuest&os > &Roturas Stock", "", "", {},
             {LoadSparePartList, StockBreakageReport, FreeSparePartList}));
    add(Item("Repuest&os > &Peticiones OFERTAS > &Suministrador", "", "", {},
             {LoadSparePartList, RequestOffersBySupplier, FreeSparePartList}));
    add(Item("Repuest&os > &Peticiones OFERTAS > &Rotura Stock", "", "", {},
             {LoadSparePartList, StockBreakageReport, OrdersFromStockBreakage, FreeSparePartList}));
    add(Item("Repuest&os > &Informes Movim. > &Semanal", "", "", C().A("M").O("P"),
             {LoadSparePartList, StoreMovementsReport, FreeSparePartList}));
    add(Item("Repuest&os > &Informes Movim. > &Repuesto", "", "", C().A("W").O("P"),
             {LoadSparePartList, StoreMovementsReport, FreeSparePartList}));
    add(Item(
        "Repuest&os > &Informes Movim. > &Nº Peticiones", "", "", C().A("V").O("P"),
        {LoadSparePartList, LoadMovementList, StoreRotationReport, FreeMovementList, FreeSparePartList}));
    add(Item("Repuest&os > In&ventario > &General", "", "", C().O("I"),
             {SortSparePartFile, FreeSparePartList}));
    add(Item("Repuest&os > In&ventario > &Estadístico", "", "", {}, {SortSparePartFile, FreeSparePartList}));
    add(Item("Repuest&os > In&ventario > E&volución", "", "", {},
             {LoadSparePartList, LoadMovementList, InventoryEvolutionReport, FreeSparePartList,
              FreeMovementList}));
    add(Item("Repuest&os > Ra&tios", "", "", {}, {YearMovementRatios}));

    // Compras
    add(Item("Compra&s > &Altas > &Nuevo Pedido", "", "", C().A("N"),
             {AddPurchaseOrderLine, SortPurchaseOrderFile}));
    add(Item("Compra&s > &Altas > &Añadir Item", "", "", C().A("A"),
             {AddPurchaseOrderLine, SortPurchaseOrderFile}));
    add(Item("Compra&s > &Edición", "", "", C().A("E"),
             {LoadPurchaseOrders, EditPurchaseOrders, SortPurchaseOrderFile, FreePurchaseOrderList,
              SortPurchaseOrderFile, FreePurchaseOrderList}));
    add(Item("Compra&s > &Recepción Pedidos > &Pendientes", "", "", C().A("P"),
             {LoadPurchaseOrders, EditPurchaseOrders, SortPurchaseOrderFile, FreePurchaseOrderList}));
    add(Item("Compra&s > &Listado > Fechas &Pedido > &Solicitud", "", "", C().A("D"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Listado > Fechas &Pedido > &Entrada", "", "", C().A("H"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Listado > Fechas &Pedido > &Cierre", "", "", C().A("J"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Listado > &Suministrador", "", "", C().A("I"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Listado > &Referencia", "", "", C().A("G"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Listado > &Albarán", "", "", C().A("A"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Listado > R&epuesto", "", "", C().A("C"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Listado > &Cerrados", "", "", {},
             {LoadPurchaseOrders, OrderSituationReport, FreePurchaseOrderList}));
    add(Item("Compra&s > &Informes > &Semanal", "", "", C().A("F"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Informes > &Pendientes", "", "", C().A("P"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > &Informes > &Fuera Plazo", "", "", C().A("R"),
             {LoadPurchaseOrders, PurchaseOrderReport}));
    add(Item("Compra&s > Ra&tios", "", "", {}, {WeeklyPurchasesReport}));

    // Costes
    add(Item("&Costes > &Análisis > Pa&rtes > &Anual", "", "", C().A("3"), {MachineCostReport}));
    add(Item("&Costes > &Análisis > Pa&rtes > &Periodo", "", "", C().A("4"), {MachineCostReport}));
    add(Item("&Costes > &Análisis > Pa&rtes > &Cuentas", "", "", C().A("3").O("P"), {MachineCostReport}));
    add(Item("&Costes > &Análisis > &Histórico > &Anual", "", "", C().A("1"), {MachineCostReport}));
    add(Item("&Costes > &Análisis > &Histórico > &Periodo", "", "", C().A("2"), {MachineCostReport}));
    add(Item("&Costes > &Análisis > &Histórico > &Cuentas", "", "", C().A("1").O("P"), {MachineCostReport}));
    add(Item("&Costes > &Presupuesto > &Definición", "", "", C().A("P"),
             {DefineBudget, LoadOperationList, PreventiveBudget}));
    add(Item("&Costes > &Presupuesto > &Listado", "", "", {}, {BudgetValuationReport}));
    add(Item("&Costes > &Edicion Presup.", "", "", {}, {EditBudget}));

    // Personal
    add(Item("Persona&l > &Alta > &Matrícula", "Ctrl+F10", "", C().A("1"), {NewPersonnelCard}));
    add(Item("Persona&l > &Alta > &Expediente", "Shift+F10", "", C().A("5"),
             {NewPersonnelEntry, PurgePersonnelEntries}));
    add(Item("Persona&l > &Alta > &Precio/Hora", "", "", {}, {NewHourPrice}));
    add(Item("Persona&l > &Listados > &Matriculas", "F10", "", C().A("2"), {ListPersonnel}));
    add(Item("Persona&l > &Listados > &Expediente", "", "", C().A("L").O("P"), {EditPersonnelExpedient}));
    add(Item("Persona&l > &Listados > &Precio/Hora", "", "", {}, {ListHourPrices}));
    add(Item("Persona&l > &Edición > &Matrícula", "Shift+F10", "", C().A("3"), {EditPersonnelCard}));
    add(Item("Persona&l > &Edición > &Expediente", "", "", C().A("5").O("P"),
             {EditPersonnelExpedient, PurgePersonnelEntries}));
    add(Item("Persona&l > &Edición > &Precio/Hora", "", "", C().A("5"), {EditHourPrices}));
    add(Item("Persona&l > &Informe Horas", "", "", {}, {ReportPersonnelHours}));
    add(Item("Persona&l > &Ratios", "", "", {}, {PersonnelHoursRatios}));

    // Partes
    add(Item("&Partes > &Alta", "Ctrl+F11", "", C().A("1"),
             {LoadMachineList, LoadPlannedRepairs, AddWorkReportLine, SavePlannedRepairList,
              FreePlannedRepairList, FreeMachineList, SortRevisionFile, SortBreakdownFile,
              SortPlannedRepairFile, SortWorkReportFile, PurgePersonnelEntries, FreeWorkReportList}));
    add(Item("&Partes > &Listados > &Partes", "F11", "", C().A("2"), {LoadWorkReports, WorkOrderReport}));
    add(Item("&Partes > &Listados > &Ordenes", "", "", C().O("P").A("O"),
             {LoadWorkReports, WorkOrderReport}));
    add(Item("&Partes > &Listados > &Cuenta Coste", "", "", {}, {LoadWorkReports, CostAccountAnalysis}));
    add(Item("&Partes > &Edición", "Shift+F11", "", C().A("4"),
             {LoadWorkReports, ModifyWorkReport, FreeWorkReportList, SortWorkReportFile}));
    add(Item("&Partes > &Informes > &Diario", "", "", {},
             {LoadWorkReports, PersonnelDailyHoursReport, FreeWorkReportList}));
    add(Item("&Partes > &Informes > &Periodo", "", "", {},
             {LoadWorkReports, MaintenanceHoursReport, FreeWorkReportList}));
    add(Needing(Item("&Partes > &Fichero > A&ñadir Partes", "", "", C().A("i"), {AddWorkReportFile}),
                {FreeWorkReportList, LoadMachineList, LoadPlannedRepairs, MergeWorkReportFile,
                 SavePlannedRepairList, FreePlannedRepairList, FreeMachineList, SortRevisionFile,
                 SortBreakdownFile, SortPlannedRepairFile, RevisionPosted, BreakdownPosted,
                 PlannedRepairPosted}));
    add(Item("&Partes > &Fichero > &Fraccionar fichero de Partes.", "", "", C().A("F"),
             {SortWorkReportFile}));
    add(Item("&Partes > &Fichero > &Descripción Partes", "", "", {}, {JobDescriptions}));
    add(Item("&Partes > &Ratios", "", "", {}, {PersonnelWeeklyHoursReport}));

    // Proveedores
    add(Item("Pro&veedores > &Alta", "Ctrl+F12", "", C().A("1"), {AddSupplier, CompactSupplierFile}));
    add(Item("Pro&veedores > &Listado", "F12", "", {}, {LoadSupplierList, ListSuppliers, FreeSupplierList}));
    add(Item("Pro&veedores > &Edición", "Shift+F12", "", {},
             {LoadSupplierList, EditSupplier, FreeSupplierList, CompactSupplierFile}));

    // Utiles
    add(Item("&Utiles > &Fuentes", "", "", {}, {ShowFontDialog}));
    add(Item("&Utiles > Im&presoras", "", "", {}, {ShowPrintDialog}));
    add(Item("&Utiles > &Imagenes", "", "", {}, {ShowPictureViewer}));
    add(Item("&Utiles > &Entorno  > &Acceso", "", "", {}, {Acceso1Click}));
    add(Item("&Utiles > &Entorno  > &Reinicia Año", "", "", {}, {CreateNextYearEnvironment}));
    add(DriveCaption(
        Item("&Utiles > &Copia Seg. > &Hacer > &C:\\CopiaSeg", "", "", {}, {CMantenimSeg1Click})));
    add(Item("&Utiles > &Copia Seg. > &Hacer > &Examinar", "", "", {}, {A1Click}));
    add(DriveCaption(
        Item("&Utiles > &Copia Seg. > &Restaurar > &C:/CopiaSeg", "", "", {}, {CCopiaSeg1Click})));
    add(Item("&Utiles > &Copia Seg. > &Restaurar > &Examinar", "", "", {}, {A2Click}));
    add(Item("&Utiles > &Copia Seg. > &Restaurar > &VeltWeb", "", "", {}, {VeltWeb1Click}));
    add(Item("&Utiles > Fic&heros", "", "", {}, {BrowseDataFiles}));
    add(Item("&Utiles > &Ayuda", "", "", {}, {ShowHelp}));
    add(Item("&Utiles > &Mensajes", "", "", {}, {ShowMailComposer}));
    add(Item("&Utiles > I&nformes", "", "", {}, {MaintenanceReport}));
    add(Exporting(Item("&Utiles > E&xportar > &Gamas", "", "", {}, {LoadOperationList, SaveOperationList})));
    add(Exporting(Item("&Utiles > E&xportar > &Energias", "", "", {}, {SortEnergyReadings})));
    add(Item("&Utiles > Impor&tar", "", "", C().A("i").O(""), {ShowImportWindow}));
    add(Item("&Utiles > Có&digos Rsv.", "", "", C().A("C"), {EditReservedCodes}));
    add(Item("&Utiles > Ce&rca de", "", "", {}, {AboutMaker}));
    add(Item("&Utiles > Veltrano &Web > &Acceso VW", "", "", {}, {Acceso2Click}));
    add(Item("&Utiles > Veltrano &Web > &Ver Ficheros > &Partes", "", "", {}, {Partes5Click}));
    add(Item("&Utiles > Veltrano &Web > &Ver Ficheros > &Ordenes T", "", "", {}, {OrdenesT1Click}));
    add(Item("&Utiles > Veltrano &Web > &Ver Ficheros > Pe&rsonal", "", "", {}, {Personal2Click}));
    add(Item("&Utiles > Veltrano &Web > &Ver Ficheros > &Máquinas", "", "", {}, {Mquinas2Click}));
    add(Item("&Utiles > Veltrano &Web > &Ver Ficheros > &Tipos Mto", "", "", {}, {TiposMto2Click}));
    add(Item("&Utiles > Veltrano &Web > &CrearFicheros > &Maquinas", "", "", C().A("W"),
             {LoadMachineList, ListMachines, FreeMachineList}));
    add(Item("&Utiles > Veltrano &Web > &CrearFicheros > &Personal", "", "", C().A("W"), {ListPersonnel}));
    add(Item("&Utiles > Veltrano &Web > &CrearFicheros > &Tipos Mto", "", "", {}, {ExportMaintenanceTypes}));
    add(Item("&Utiles > Veltrano &Web > &CrearFicheros > &Ordenes T.", "", "", {}, {OrdenesT2Click}));
    add(Item("&Utiles > Veltrano &Web > &CrearFicheros > Partes &D", "", "", {}, {PartesD1Click}));
    add(Item("&Utiles > Veltrano &Web > &Subir Ficheros", "", "", {}, {SubirFich1Click}));
    add(Item("&Utiles > Veltrano &Web > &Sincronización > &Ordenes T.", "", "", {}, {OrdenesTrb1Click}));
    add(Item("&Utiles > Veltrano &Web > &Sincronización > &Partes D", "", "", {}, {Partes4Click}));
    add(Item("&Utiles > Actuali&zaciones", "", "", {}, {ActualizarVeltrano1Click}));

    // The pop-up menu's only command that runs feature operations.
    {
        CommandItem sort =
            Item("Ordenar", "", "", {},
                 {WithAction("3", SortPlannedRepairFile), WithAction("", SortPlannedRepairFile),
                  WithAction("2", SortBreakdownFile), WithAction("", SortBreakdownFile),
                  PurgePersonnelEntries, SortWorkReportFile, SortPersonnelFile, SortEnergyReadings});
        sort.popup = true;
        add(std::move(sort));
    }
    return t;
}

} // namespace

const std::vector<OwnerDifference>& OwnerDifferences()
{
    static const std::vector<OwnerDifference> differences = [] {
        using enum Op;
        using enum Cond;
        std::vector<OwnerDifference> d;
        auto steps = [&d](const char* path, Steps s, const char* why) {
            d.push_back({QString::fromUtf8(path), std::move(s), std::nullopt, QString::fromUtf8(why)});
        };
        steps("Máquinas > Edición",
              {LoadMachineList, EditMachine, When(Not(MachineCardRequest), FreeMachineList),
               When(MachineCardRequest, SaveMachineRecord), When(MachineCardRequest, SortMachineFile)},
              "saves and re-sorts only when the card asked to save or delete");
        steps("Procedimientos > Alta", {AddProcedure, When(ContinueFlag, SortProcedureFile)},
              "re-sorts only after an accepted card");
        steps("Procedimientos > Edición",
              {EditProceduresSelective, When(ContinueFlag, SortProcedureFile), FreeProcedureList},
              "re-sorts only after an accepted card");
        steps("Gamas > Edición OPR",
              {LoadOperationList, EditOperations, When(OperationDeleted, SaveOperationList),
               When(OperationDeleted, FreeOperationList)},
              "saves the list only when an operation was deleted");
        steps("Pláning > Altas > Cargar > Automática > Sincrona",
              {ClearInteractiveFlag, AutoLoadPlanning, ListAnnualPlan}, "runs without cards");
        steps("Pláning > Altas > Cargar > Automática > Continua Plan",
              {ClearInteractiveFlag, ContinuePlanFromEnvironment, ListAnnualPlan}, "runs without cards");
        steps("Historial MP > Altas > Planing",
              {ClearCardSaved, ControlPlan, When(ContinueFlag, SortRevisionFile)},
              "clears CardSaved first; re-sorts only after accepted work");
        steps("Historial MP > Altas > Selectiv", {NewRevision, When(ContinueFlag, SortRevisionFile)},
              "re-sorts only after accepted work");
        steps("Historial MP > Edicion", {EditRevisionHistory, When(ContinueFlag, SortRevisionFile)},
              "re-sorts only after accepted work");
        steps("Historial MP > Control > Planing", {ControlPlan, When(ContinueFlag, SortRevisionFile)},
              "re-sorts only after accepted work");
        steps("Historial MP > Control > Máquina", {ControlPlan, When(ContinueFlag, SortRevisionFile)},
              "re-sorts only after accepted work");
        steps("Averías > Edición", {LoadBreakdownList, EditBreakdowns, FreeBreakdownList},
              "the breakdown edit lists no re-sort");
        steps("Reparaciones > Edición > Pendientes MO",
              {EditPlannedRepairs, WithAction("3", SortPlannedRepairFile),
               WithAction("", SortPlannedRepairFile)},
              "re-sorts by code, then by week");
        steps("Reparaciones > Edición > Avisos Rep",
              {EditPlannedRepairs, SortPlannedRepairFile, SortPlannedRepairFile}, "re-sorts twice by week");
        steps("Predictivo > Alta > Medida",
              {AddPredictiveRecord, When(PredictiveRecordStored, RewritePredictiveFile)},
              "rewrites only when a measurement was stored");
        steps("Energías > Alta Lectura", {AddEnergyReading, When(EnergyReadingStored, SortEnergyReadings)},
              "re-sorts only when a reading was stored");
        steps("Repuestos > Alta",
              {LoadSparePartList, AddSparePart, When(ContinueFlag, SortSparePartFile), FreeSparePartList},
              "re-sorts only after a stored part");
        steps("Repuestos > Edición In/Out > Correcciones",
              {LoadSparePartList, BrowseSpareParts, When(ContinueFlag, SortSparePartFile), FreeSparePartList},
              "re-sorts after a changed key or a deleted part");
        steps("Repuestos > Peticiones OFERTAS > Rotura Stock",
              {LoadSparePartList, StockBreakageReport, OrdersFromStockBreakage, FreeSparePartList,
               CascadeWindows},
              "cascades the order letters it opened");
        steps("Repuestos > Ratios", {YearMovementRatios, WeeklyPurchasesReport},
              "the store ratios also list the weekly purchases");
        steps("Compras > Altas > Nuevo Pedido",
              {AddPurchaseOrderLine, When(ContinueFlag, SortPurchaseOrderFile)},
              "re-sorts only after an accepted line");
        steps("Compras > Altas > Añadir Item",
              {AddPurchaseOrderLine, When(ContinueFlag, SortPurchaseOrderFile)},
              "re-sorts only after an accepted line");
        steps("Compras > Edición",
              {LoadPurchaseOrders, EditPurchaseOrders, When(PurchaseLineChanged, SortPurchaseOrderFile),
               FreePurchaseOrderList},
              "re-sorts once, when a line changed");
        steps("Compras > Recepción Pedidos > Pendientes",
              {LoadPurchaseOrders, EditPurchaseOrders, When(PurchaseLineChanged, SortPurchaseOrderFile),
               FreePurchaseOrderList},
              "re-sorts only when a line changed");
        steps("Personal > Alta > Expediente",
              {NewPersonnelEntry, When(EntryAddedFlag, PurgePersonnelEntries)},
              "purges only after an entry was added");
        steps("Personal > Edición > Expediente",
              {EditPersonnelExpedient, When(EntryAddedFlag, PurgePersonnelEntries)},
              "purges only after an entry was added");
        steps("Partes > Alta",
              {LoadMachineList, LoadPlannedRepairs, AddWorkReportLine, SavePlannedRepairList,
               FreePlannedRepairList, FreeMachineList, When(RevisionPosted, SortRevisionFile),
               When(BreakdownPosted, SortBreakdownFile), When(PlannedRepairPosted, SortPlannedRepairFile),
               When(WorkReportWritten, SortWorkReportFile), When(PersonnelEntryPosted, PurgePersonnelEntries),
               FreeWorkReportList},
              "re-sorts only the files the posting touched");
        steps("Partes > Edición",
              {LoadWorkReports, ModifyWorkReport, FreeWorkReportList,
               When(WorkReportWritten, SortWorkReportFile)},
              "re-sorts only when a line was written");
        steps("Proveedores > Alta", {AddSupplier, When(ContinueFlag, CompactSupplierFile)},
              "compacts only after an accepted card");
        d.push_back({QStringLiteral("Repuestos > Inventario > Estadístico"),
                     {SortSparePartFile, FreeSparePartList},
                     ModeCodes{.output = QStringLiteral("I3")},
                     QStringLiteral("the statistical sample is asked for with OutputCode \"I3\"")});
        return d;
    }();
    return differences;
}

namespace {

CommandTable BuildTable()
{
    CommandTable t = ListedMenu();
    std::map<QString, std::size_t> byPath;
    for (std::size_t i = 0; i < t.size(); ++i)
        byPath[t[i].PlainPath()] = i;
    for (const OwnerDifference& d : OwnerDifferences()) {
        const auto it = byPath.find(d.path);
        if (it == byPath.end())
            throw std::logic_error("owner difference for an unknown item: " + d.path.toStdString());
        CommandItem& item = t[it->second];
        item.steps = d.steps;
        if (d.codes)
            item.codes = *d.codes;
    }
    for (std::size_t i = 0; i < kPendingEdits.size(); ++i) {
        const auto it = byPath.find(QString::fromUtf8(kPendingEdits[i].itemPath));
        if (it == byPath.end())
            throw std::logic_error(std::string("deferred edit for an unknown item: ") +
                                   kPendingEdits[i].itemPath);
        t[it->second].pendingEdit = static_cast<int>(i);
    }
    return t;
}

} // namespace

const std::array<const char*, 2> kReportPaneKeysOnMenu{"Ctrl+Alt+P", "Ctrl+Alt+R"};

const CommandTable& MainCommandTable()
{
    static const CommandTable table = BuildTable();
    return table;
}

QString StripAccelerator(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

QString CommandItem::PlainPath() const
{
    QStringList plain;
    for (const QString& caption : path)
        plain << StripAccelerator(caption);
    return plain.join(QStringLiteral(" > "));
}

std::vector<Requirement> CommandItem::Requirements() const
{
    std::vector<Requirement> names;
    const auto add = [&names](Requirement name) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    };
    for (const CommandStep& step : steps) {
        add(step.operation);
        if (step.when)
            add(step.when->cond);
    }
    for (const Requirement& name : needs)
        add(name);
    return names;
}

} // namespace gim
