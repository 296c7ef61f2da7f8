#include "masterdata/routine_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "masterdata/procedure_listings.h"
#include "masterdata/procedures.h"
#include "masterdata/routine_listings.h"
#include "masterdata/routines.h"
#include "platform/handover.h"

namespace gim {

void RegisterRoutinesAndProcedures(OperationRegistry& registry, Context& ctx)
{
    registry.Register(Op::LoadOperationList, LoadOperationList);
    registry.Register(Op::FreeOperationList, FreeOperationList);
    registry.Register(Op::AddOperations, AddOperations);
    registry.Register(Op::EditOperations, EditOperations);
    registry.Register(Op::DeleteMachineOperations, DeleteMachineOperations);
    registry.Register(Op::ListOperations, ListOperations);
    registry.Register(Op::CopyOperations, CopyOperations);
    registry.Register(Op::SaveOperationList, SaveOperationList);
    // The edit command saves the list only when it deleted an operation.
    registry.RegisterCondition(Cond::OperationDeleted,
                               [&r = Routines(ctx)](const Context&) { return r.OperationDeleted != 0; });

    registry.Register(Op::LoadProcedureList, LoadProcedureList);
    registry.Register(Op::FreeProcedureList, FreeProcedureList);
    registry.Register(Op::AddProcedure, AddProcedure);
    registry.Register(Op::EditProceduresSelective, EditProceduresSelective);
    registry.Register(Op::ListProcedures, ListProcedures);
    registry.Register(Op::SortProcedureFile, [](Context& c) { SortProcedureFile(c); });

    HandoverRegistry& handover = ctx.Module<HandoverRegistry>();
    RegisterOperationHandover(ctx, handover);
    RegisterProcedureHandover(ctx, handover);
}

} // namespace gim
