#include "preventive/preventive_operations.h"

#include "core/command_table.h"
#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "platform/handover.h"
#include "preventive/annual_plan.h"
#include "preventive/energy_readings.h"
#include "preventive/energy_reports.h"
#include "preventive/plan_control.h"
#include "preventive/plan_definition.h"
#include "preventive/plan_launch.h"
#include "preventive/plan_load.h"
#include "preventive/plan_loading.h"
#include "preventive/predictive.h"
#include "preventive/predictive_trends.h"
#include "preventive/preventive_ratios.h"
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
    registry.Register(Op::ShowMaintenanceLoad, ShowMaintenanceLoad);

    registry.Register(Op::LoadPredictiveList, LoadPredictiveList);
    registry.Register(Op::AddPredictiveRecord, AddPredictiveRecord);
    registry.Register(Op::EditPredictiveRecord, EditPredictiveRecord);
    registry.Register(Op::RewritePredictiveFile, RewritePredictiveFile);
    registry.Register(Op::PredictiveRegisterReport, PredictiveRegisterReport);
    registry.Register(Op::PredictiveAlertReport, PredictiveAlertReport);
    registry.Register(Op::AskHourControlOutput, AskHourControlOutput);
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
    registry.Register(Op::PreventiveRatios, PreventiveRatios);
    registry.Register(Op::ControlRoutes, ControlRoutes);

    ctx.Module<StartupSteps>().environmentData.emplace(7, LoadFirmAndWeekAgenda);

    // Energías, with the Editar hand-over of its export listing.
    registry.Register(Op::AddEnergyReading, AddEnergyReading);
    registry.Register(Op::LoadEnergyReadings, LoadEnergyReadings);
    registry.Register(Op::EditEnergyReadings, EditEnergyReadings);
    registry.Register(Op::SortEnergyReadings, SortEnergyReadings);
    registry.Register(Op::EnergyConsumptionReport, EnergyConsumptionReport);
    registry.Register(Op::EnergyPeriodReport, EnergyPeriodReport);
    // The series rewrites the file only when a reading was appended to it.
    registry.RegisterCondition(Cond::EnergyReadingStored,
                               [&e = Energy(ctx)](const Context&) { return e.EnergyReadingStored != 0; });
    RegisterEnergyHandover(ctx, ctx.Module<HandoverRegistry>());
    registry.Register(Op::UnloadPlannedMachine, UnloadPlannedMachine);
    registry.Register(Op::ReloadPlannedMachine, ReloadPlannedMachine);
}

void DeclarePreventiveCommands(CommandRegistry& menu)
{
    using enum Op;
    using enum Cond;
    menu.Add(MenuItem::PlanningLaunchRoutes, "Plánin&g > &Lanzar > &Ruta Mto.", "Ctrl+Alt+R",
             "Plan Semanal de Rutas de Mto.", {}, {LoadEnvironment, LaunchMaintenanceRoutes});
    menu.Add(MenuItem::PlanningLaunchWeeklyPlan, "Plánin&g > &Lanzar > Plan &Semanal", "Ctrl+Alt+P",
             "Plan Semanal de Mto Por Máquina.", {}, {LaunchWeeklyPlan});
    // The prompt "Pantalla/Impresión" sets OutputCode; "P" is its default.
    menu.Add(MenuItem::PlanningLaunchHourControl, "Plánin&g > &Lanzar > &Control Horario", "Ctrl+Alt+H",
             "Control por Horas Servicio", Codes().A("6").O("P"),
             {AskHourControlOutput, LoadPredictiveList, PredictiveAlertReport});
    menu.Add(MenuItem::PlanningCreate, "Plánin&g > &Crear", "", "Inica el plan Trianual.", {},
             {CreatePlanning})
        .enable = EnableRule::ShortHorizon;
    menu.Add(MenuItem::PlanningResourcesList, "Plánin&g > &Recursos > &Listar", "",
             "Listado y Grafico de distribución anual de Horas.", {}, {ShowMaintenanceLoad});
    menu.Add(MenuItem::PlanningResourcesIncrease, "Plánin&g > &Recursos > &Aumentar", "",
             "Incremento de horas disponibles.", {}, {IncreaseWeeklyHours});
    menu.Add(MenuItem::PlanningAddLoadManual, "Plánin&g > &Altas > &Cargar > &Manual", "",
             "Alta manual en planing.", Codes().A("M").R("C"), {PlanMachine, ListAnnualPlan});
    menu.Add(MenuItem::PlanningAddLoadAutoRandom, "Plánin&g > &Altas > &Cargar > &Automática > &Aleatoria",
             "", "Busca la semana con menor carga", Codes().A("T").R("C"),
             {AutoLoadPlanning, ListAnnualPlan});
    // The synchronous load and the plan continuation run without cards.
    menu.Add(MenuItem::PlanningAddLoadAutoSynchronous,
             "Plánin&g > &Altas > &Cargar > &Automática > &Sincrona", "",
             "Sincroniza con máquina de cabecera", Codes().A("S").R("C"),
             {ClearInteractiveFlag, AutoLoadPlanning, ListAnnualPlan});
    menu.Add(MenuItem::PlanningAddLoadAutoContinuePlan,
             "Plánin&g > &Altas > &Cargar > &Automática > &Continua Plan", "",
             "enlaza planes de Mto Preventivo", Codes().A("C").R("C"),
             {ClearInteractiveFlag, ContinuePlanFromEnvironment, ListAnnualPlan});
    menu.Add(MenuItem::PlanningAddUnloadManual, "Plánin&g > &Altas > &Descargar > &Manual", "",
             "de una máquina", Codes().A("M").R("D"), {PlanMachine, ListAnnualPlan});
    menu.Add(MenuItem::PlanningAddUnloadAuto, "Plánin&g > &Altas > &Descargar > &Automática", "",
             "Descarga todas las máquinas", Codes().A("T").R("D"), {AutoLoadPlanning, ListAnnualPlan});
    menu.Add(MenuItem::PlanningAddAgenda, "Plánin&g > &Altas > A&genda", "",
             "Controla apuntes en agenda de Notificaciones", Codes().A("G"), {ShowMaintenanceLoad});
    menu.Add(MenuItem::PlanningAnnualPlan, "Plánin&g > &Plan Anual", "", "Semanas de inicio del plan anual.",
             Codes().A("5"), {ListAnnualPlan});
    menu.Add(MenuItem::HistoryAddPlan, "&Historial MP > &Altas > &Planing", "Ctrl+F4", "", Codes().O("P"),
             {ClearCardSaved, ControlPlan, When(ContinueFlag, SortRevisionFile)});
    menu.Add(MenuItem::HistoryAddSelective, "&Historial MP > &Altas > &Selectiv", "", "", {},
             {NewRevision, When(ContinueFlag, SortRevisionFile)});
    menu.Add(MenuItem::HistoryEdit, "&Historial MP > &Edicion", "Shift+F4", "", {},
             {EditRevisionHistory, When(ContinueFlag, SortRevisionFile)});
    menu.Add(MenuItem::HistoryQuery, "&Historial MP > &Consulta", "", "", Codes().O("P"),
             {ReportRevisionHistory});
    menu.Add(MenuItem::HistoryControlPlan, "&Historial MP > Co&ntrol > &Planing", "F4", "",
             Codes().O("C").A("0"), {ControlPlan, When(ContinueFlag, SortRevisionFile)});
    menu.Add(MenuItem::HistoryControlMachine, "&Historial MP > Co&ntrol > &Máquina", "", "",
             Codes().O("C").A("M"), {ControlPlan, When(ContinueFlag, SortRevisionFile)});
    menu.Add(MenuItem::HistoryControlWeek, "&Historial MP > Co&ntrol > &Semana", "", "", Codes().A("2"),
             {PreventiveRatios, FreeRevisionList});
    // The ratios leave the history loaded: the route control of the last week runs on it before the free.
    menu.Add(MenuItem::HistoryControlRoutes, "&Historial MP > Co&ntrol > &Rutas", "", "",
             Codes().O("P").A("3"), {PreventiveRatios, ControlRoutes, FreeRevisionList});
    menu.Add(MenuItem::HistoryRatiosPlan, "&Historial MP > &Ratios > &Planing", "", "", Codes().S("R").A("1"),
             {PreventiveRatios, FreeRevisionList});
    menu.Add(MenuItem::HistoryRatiosWeek, "&Historial MP > &Ratios > &Semana", "", "", Codes().S("R").A("2"),
             {PreventiveRatios, FreeRevisionList});
    menu.Add(MenuItem::HistoryRatiosRoutes, "&Historial MP > &Ratios > &Rutas", "", "", Codes().S("R").A("3"),
             {PreventiveRatios, FreeRevisionList});
    menu.Add(MenuItem::PredictiveAddMeasurement, "Pre&dictivo > &Alta > &Medida", "Ctrl+F7",
             "Registro de Medidas de Control.", Codes().A("1"),
             {AddPredictiveRecord, When(PredictiveRecordStored, RewritePredictiveFile)});
    menu.Add(MenuItem::PredictiveAddAlarm, "Pre&dictivo > &Alta > &Alarma", "",
             "Definición de Alarmas Tecnicas.", Codes().A("5"), {AddPredictiveRecord, RewritePredictiveFile});
    menu.Add(MenuItem::PredictiveEditMeasurements, "Pre&dictivo > &Edición > &Medidas", "Shift+F7",
             "Edición de Medidas.", Codes().A("4"), {EditPredictiveRecord});
    menu.Add(MenuItem::PredictiveEditAlarms, "Pre&dictivo > &Edición > &Alarmas", "",
             "Edición de nivel de Alarmas:", Codes().A("3"), {EditPredictiveRecord});
    menu.Add(MenuItem::PredictiveList, "Pre&dictivo > &Listados", "F7", "Consulta de Tendencias de Medidas.",
             Codes().O("P").A("2"), {LoadPredictiveList, PredictiveRegisterReport});
    menu.Add(MenuItem::PredictiveMachinesAlert, "Pre&dictivo > &Máquinas > &Alerta", "",
             "Nivel de Alarma de Máquinas", Codes().O("P").A("6"),
             {LoadPredictiveList, PredictiveAlertReport});
    menu.Add(MenuItem::PredictiveMachinesControl, "Pre&dictivo > &Máquinas > &Control", "",
             "Máquinas bajo Control de Predictivo", Codes().O("P").A("7"), {PredictiveAlertReport});
    menu.Add(MenuItem::EnergyAddReading, "&Energías > &Alta Lectura", "Ctrl+F8", "Registro de Lecturas.",
             Codes().A("1"), {AddEnergyReading, When(EnergyReadingStored, SortEnergyReadings)});
    menu.Add(MenuItem::EnergyEdit, "&Energías > &Edición", "Shift+F8", "Edición de lecturas de contadores.",
             Codes().A("4"), {LoadEnergyReadings, EditEnergyReadings, SortEnergyReadings})
        .pendingEdit = PendingEdit(EditItem::Energias);
    menu.Add(MenuItem::EnergyReportsByReadings, "&Energías > &Informes > Por &Lecturas", "F8",
             "Lecturas semanales efectuadas", Codes().A("3"), {LoadEnergyReadings, EnergyConsumptionReport});
    menu.Add(MenuItem::EnergyReportsByPeriod, "&Energías > &Informes > Por &Periodo", "",
             "LLecturas en un intérvalo de tiempo", {}, {LoadEnergyReadings, EnergyPeriodReport});
    menu.Add(MenuItem::EnergyReportsByMeter, "&Energías > &Informes > Por &Contador", "",
             "Consumos por Nº de contador", Codes().A("2"), {LoadEnergyReadings, EnergyConsumptionReport});
    menu.Add(MenuItem::ToolsExportEnergy, "&Utiles > E&xportar > &Energias", "", "", {}, {SortEnergyReadings})
        .exportFlag = true;
}

} // namespace gim
