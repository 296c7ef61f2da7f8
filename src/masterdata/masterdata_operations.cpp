#include "masterdata/masterdata_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/startup.h"
#include "masterdata/machine_listings.h"
#include "masterdata/machines.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/reserved_codes_window.h"

namespace gim {

void RegisterMasterdata(OperationRegistry& registry, Context& ctx, const PictureCodec& codec)
{
    Machines(ctx).photoCodec = &codec;

    registry.Register(QStringLiteral("LoadMachineList"), LoadMachineList);
    registry.Register(QStringLiteral("FreeMachineList"), FreeMachineList);
    registry.Register(QStringLiteral("AddMachines"), AddMachines);
    registry.Register(QStringLiteral("EditMachine"), EditMachine);
    registry.Register(QStringLiteral("SaveMachineRecord"), SaveMachineRecord);
    registry.Register(QStringLiteral("SortMachineFile"), [](Context& c) { SortMachineFile(c); });
    registry.Register(QStringLiteral("ListMachines"), ListMachines);
    registry.Register(QStringLiteral("ListMachinesByAccount"), ListMachinesByAccount);
    registry.Register(QStringLiteral("PrintMachineLabels"), PrintMachineLabels);
    registry.Register(QStringLiteral("ShowMachineSheet"), ShowMachineSheet);
    // The edit command saves and re-sorts only when its card asked to save or delete.
    registry.RegisterCondition(QStringLiteral("MachineCardRequest"), [&m = Machines(ctx)](const Context&) {
        return m.MachineSaveRequested != 0 || m.MachineDeleteRequested != 0;
    });

    registry.Register(QStringLiteral("EditReservedCodes"), EditReservedCodes);
    registry.Register(QStringLiteral("ExportMaintenanceTypes"), ExportMaintenanceTypes);

    ctx.Module<StartupSteps>().afterWindow.emplace(11, CheckReservedCodesFile);
}

} // namespace gim
