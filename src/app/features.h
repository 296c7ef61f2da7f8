#pragma once

#include "app/tool_commands.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/operations.h"
#include "corrective/breakdown_operations.h"
#include "corrective/corrective_operations.h"
#include "corrective/planned_repair_operations.h"
#include "exchange/import_window.h"
#include "masterdata/masterdata_operations.h"
#include "masterdata/personnel_operations.h"
#include "masterdata/routine_operations.h"
#include "preventive/preventive_operations.h"
#include "store/spare_part_operations.h"
#include "store/store_operations.h"
#include "workreports/workreport_operations.h"

namespace gim {

// Registers the operations of the main window's own items and of every feature in the context's registry,
// through which the features also run each other's operations; the order does not matter. The Qt main
// window adds its dialogs and the report windows' hand-overs when it is built.
inline void RegisterFeatures(Context& ctx)
{
    OperationRegistry& operations = ctx.Module<OperationRegistry>();
    RegisterMainWindowOperations(operations);
    RegisterMasterdata(operations, ctx);
    RegisterRoutinesAndProcedures(operations, ctx);
    RegisterPersonnel(operations, ctx);
    RegisterPreventive(operations, ctx);
    RegisterStore(operations, ctx);
    RegisterSpareParts(operations, ctx);
    RegisterCorrective(operations, ctx);
    RegisterWorkReports(operations, ctx);
    RegisterBreakdowns(operations, ctx);
    RegisterPlannedRepairs(operations, ctx);
    RegisterExchange(operations, ctx);
}

// The main-menu items of every feature and the tools core and the main window run.
inline void DeclareMenuItems(CommandRegistry& menu)
{
    DeclareToolCommands(menu);
    DeclareMasterdataCommands(menu);
    DeclarePreventiveCommands(menu);
    DeclareStoreCommands(menu);
    DeclareCorrectiveCommands(menu);
    DeclareWorkReportCommands(menu);
    DeclareExchangeCommands(menu);
}

// The main menu in menu order, then the pop-up commands.
inline const CommandTable& MainCommandTable()
{
    static const CommandTable table = [] {
        CommandRegistry menu;
        DeclareMenuItems(menu);
        return menu.Compose();
    }();
    return table;
}

} // namespace gim
