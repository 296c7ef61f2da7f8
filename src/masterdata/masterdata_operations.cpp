#include "masterdata/masterdata_operations.h"

#include "core/command_table.h"
#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "masterdata/machine_listings.h"
#include "masterdata/machines.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/reserved_codes_window.h"

namespace gim {

void RegisterMasterdata(OperationRegistry& registry, Context& ctx)
{

    registry.Register(Op::LoadMachineList, LoadMachineList);
    registry.Register(Op::FreeMachineList, FreeMachineList);
    registry.Register(Op::AddMachines, AddMachines);
    registry.Register(Op::EditMachine, EditMachine);
    registry.Register(Op::SaveMachineRecord, SaveMachineRecord);
    registry.Register(Op::SortMachineFile, [](Context& c) { SortMachineFile(c); });
    registry.Register(Op::ListMachines, ListMachines);
    registry.Register(Op::ListMachinesByAccount, ListMachinesByAccount);
    registry.Register(Op::PrintMachineLabels, PrintMachineLabels);
    // The machine book's sheet is of the machine MachineBook looked up.
    registry.Register(Op::ShowMachineSheet, [](Context& c) { ShowMachineSheet(c, c.st.FoundMachine); });
    // The edit command saves and re-sorts only when its card asked to save or delete.
    registry.RegisterCondition(Cond::MachineCardRequest, [&m = Machines(ctx)](const Context&) {
        return m.MachineSaveRequested != 0 || m.MachineDeleteRequested != 0;
    });

    registry.Register(Op::EditReservedCodes, EditReservedCodes);
    registry.Register(Op::ExportMaintenanceTypes, ExportMaintenanceTypes);

    // Before anything looks a machine up by halves: a register left unsorted is put in order.
    ctx.Module<StartupSteps>().environmentData.emplace(6, EnsureMachineFileSorted);
    ctx.Module<StartupSteps>().afterWindow.emplace(11, CheckReservedCodesFile);
}

void DeclareMasterdataCommands(CommandRegistry& menu)
{
    using enum Op;
    using enum Cond;
    menu.Add(MenuItem::MachinesAdd, "&Máquinas > &Alta", "Ctrl+F2", "", {}, {AddMachines, SortMachineFile});
    menu.Add(MenuItem::MachinesListMachines, "&Máquinas > &Listado > &Máquinas", "F2", "", Codes().A("M"),
             {LoadMachineList, ListMachines, FreeMachineList});
    menu.Add(MenuItem::MachinesListAccounts, "&Máquinas > &Listado > &Cuentas", "", "", Codes().A("C"),
             {ListMachinesByAccount, ListMachines, FreeMachineList});
    menu.Add(MenuItem::MachinesEdit, "&Máquinas > &Edición", "Shift+F2", "", Codes().A("3"),
             {LoadMachineList, EditMachine, When(Not(MachineCardRequest), FreeMachineList),
              When(MachineCardRequest, SaveMachineRecord), When(MachineCardRequest, SortMachineFile)});
    menu.Add(MenuItem::MachinesLabels, "&Máquinas > E&tiquetas", "", "", {}, {PrintMachineLabels});
    // The machine book: MachineBook picks the sheet and sets ContinueFlag when one was chosen.
    menu.Add(MenuItem::MachinesReports, "&Máquinas > &Informes", "", "", {},
             {MachineBook, When(ContinueFlag, ShowMachineSheet)});
    menu.Add(MenuItem::ToolsReservedCodes, "&Utiles > Có&digos Rsv.", "", "", Codes().A("C"),
             {EditReservedCodes});
    menu.Add(MenuItem::ToolsWebBuildMachines, "&Utiles > Veltrano &Web > &CrearFicheros > &Maquinas", "", "",
             Codes().A("W"), {LoadMachineList, ListMachines, FreeMachineList});
    menu.Add(MenuItem::ToolsWebBuildMaintenanceTypes, "&Utiles > Veltrano &Web > &CrearFicheros > &Tipos Mto",
             "", "", {}, {ExportMaintenanceTypes});
    menu.Add(MenuItem::ProceduresAdd, "Proced&imientos > &Alta", "", "", Codes().A("A"),
             {AddProcedure, When(ContinueFlag, SortProcedureFile)});
    menu.Add(MenuItem::ProceduresListProcedures, "Proced&imientos > &Listado > &Procedimientos", "", "",
             Codes().A("L"), {LoadProcedureList, ListProcedures, FreeProcedureList});
    menu.Add(MenuItem::ProceduresListInstructions, "Proced&imientos > &Listado > &Instrucciones", "", "",
             Codes().A("I"), {LoadProcedureList, ListProcedures, FreeProcedureList});
    menu.Add(MenuItem::ProceduresEdit, "Proced&imientos > &Edición", "", "", Codes().A("E"),
             {EditProceduresSelective, When(ContinueFlag, SortProcedureFile), FreeProcedureList})
        .pendingEdit = PendingEdit(EditItem::Procedimientos);
    menu.Add(MenuItem::RoutinesAdd, "&Gamas > &Alta", "Ctrl+F3", "", {},
             {LoadOperationList, AddOperations, SaveOperationList, FreeOperationList});
    menu.Add(MenuItem::RoutinesDelete, "&Gamas > &Baja", "", "", Codes().A("B"),
             {LoadOperationList, DeleteMachineOperations});
    menu.Add(MenuItem::RoutinesList, "&Gamas > &Listado", "F3", "", Codes().O("P"),
             {LoadOperationList, ListOperations});
    menu.Add(MenuItem::RoutinesEdit, "&Gamas > &Edición OPR", "Shift+F3", "", {},
             {LoadOperationList, EditOperations, When(OperationDeleted, SaveOperationList),
              When(OperationDeleted, FreeOperationList)})
        .pendingEdit = PendingEdit(EditItem::Gamas);
    menu.Add(MenuItem::RoutinesCopySelective, "&Gamas > &Copia Gamas > &Selectiva", "", "", Codes().A("S"),
             {LoadOperationList, CopyOperations, SaveOperationList, FreeOperationList});
    menu.Add(MenuItem::RoutinesCopyTotal, "&Gamas > &Copia Gamas > &Total", "", "", Codes().A("T"),
             {LoadOperationList, CopyOperations, SaveOperationList, FreeOperationList});
    menu.Add(MenuItem::ToolsExportRoutines, "&Utiles > E&xportar > &Gamas", "", "", {},
             {LoadOperationList, SaveOperationList})
        .exportFlag = true;
    menu.Add(MenuItem::PersonnelAddCard, "Persona&l > &Alta > &Matrícula", "Ctrl+F10", "", Codes().A("1"),
             {NewPersonnelCard});
    menu.Add(MenuItem::PersonnelAddExpedient, "Persona&l > &Alta > &Expediente", "Shift+F10", "",
             Codes().A("5"), {NewPersonnelEntry, When(EntryAddedFlag, PurgePersonnelEntries)});
    menu.Add(MenuItem::PersonnelAddHourPrices, "Persona&l > &Alta > &Precio/Hora", "", "", {},
             {NewHourPrice});
    menu.Add(MenuItem::PersonnelListCards, "Persona&l > &Listados > &Matriculas", "F10", "", Codes().A("2"),
             {ListPersonnel});
    menu.Add(MenuItem::PersonnelListExpedient, "Persona&l > &Listados > &Expediente", "", "",
             Codes().A("L").O("P"), {EditPersonnelExpedient});
    menu.Add(MenuItem::PersonnelListHourPrices, "Persona&l > &Listados > &Precio/Hora", "", "", {},
             {ListHourPrices});
    menu.Add(MenuItem::PersonnelEditCard, "Persona&l > &Edición > &Matrícula", "Shift+F10", "",
             Codes().A("3"), {EditPersonnelCard});
    menu.Add(MenuItem::PersonnelEditExpedient, "Persona&l > &Edición > &Expediente", "", "",
             Codes().A("5").O("P"), {EditPersonnelExpedient, When(EntryAddedFlag, PurgePersonnelEntries)});
    menu.Add(MenuItem::PersonnelEditHourPrices, "Persona&l > &Edición > &Precio/Hora", "", "", Codes().A("5"),
             {EditHourPrices});
    menu.Add(MenuItem::PersonnelHoursReport, "Persona&l > &Informe Horas", "", "", {},
             {ReportPersonnelHours});
    menu.Add(MenuItem::PersonnelRatios, "Persona&l > &Ratios", "", "", {}, {PersonnelHoursRatios});
    menu.Add(MenuItem::ToolsWebBuildPersonnel, "&Utiles > Veltrano &Web > &CrearFicheros > &Personal", "", "",
             Codes().A("W"), {ListPersonnel});
}

} // namespace gim
