#pragma once

#include "core/dispatch.h"
#include "core/operations.h"
#include "corrective/breakdown_operations.h"
#include "corrective/corrective_operations.h"
#include "corrective/planned_repair_operations.h"
#include "corrective/planned_repairs.h"
#include "masterdata/masterdata_operations.h"
#include "masterdata/personnel_operations.h"
#include "masterdata/routine_operations.h"
#include "preventive/preventive_operations.h"
#include "preventive/revisions.h"
#include "store/spare_part_operations.h"
#include "store/store_operations.h"
#include "workreports/workreport_operations.h"

namespace gim {

class PictureCodec;

// Registers the operations of the main window's own items and of every feature built so far, in the
// order start-up relies on. The main window adds its dialogs and the report windows' hand-overs when
// it is built. `codec` stores the photos chosen on the cards; it must outlive the context.
inline void RegisterFeatures(OperationRegistry& operations, Context& ctx, const PictureCodec& codec)
{
    RegisterMainWindowOperations(operations);
    RegisterMasterdata(operations, ctx, codec);
    RegisterRoutinesAndProcedures(operations, ctx); // after the machines: procedure photos use their codec
    RegisterPersonnel(operations, ctx, codec);
    RegisterPreventive(operations, ctx); // fills the routines' plan hooks; start-up step 7
    RegisterStore(operations, ctx, codec);
    RegisterSpareParts(operations, ctx, codec);
    RegisterCorrective(operations, ctx, codec);
    RegisterWorkReports(operations, ctx, codec); // fills the work orders' daily-report hook
    RegisterBreakdowns(operations, ctx, codec);
    RegisterPlannedRepairs(operations, ctx, codec); // start-up step 9
    // A revision left in state "RP" adds its pending repair on the planned-repair card; the repair file
    // is re-sorted when the add stored one.
    Revisions(ctx).addPendingRepair = [](Context& c) {
        NewPlannedRepair(c);
        if (c.st.ContinueFlag == 1)
            SortPlannedRepairFile(c);
    };
}

// The main-menu items of the main window and of every feature.
inline void DeclareMenuItems(CommandRegistry& menu)
{
    DeclareMainWindowCommands(menu);
    DeclareMasterdataCommands(menu);
    DeclarePreventiveCommands(menu);
    DeclareStoreCommands(menu);
    DeclareCorrectiveCommands(menu);
    DeclareWorkReportCommands(menu);
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
