#include "masterdata/masterdata_operations.h"

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
    registry.Register(Op::ShowMachineSheet, ShowMachineSheet);
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

} // namespace gim
