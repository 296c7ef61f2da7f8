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
    registry.Register(QStringLiteral("LoadOperationList"), LoadOperationList);
    registry.Register(QStringLiteral("FreeOperationList"), FreeOperationList);
    registry.Register(QStringLiteral("AddOperations"), AddOperations);
    registry.Register(QStringLiteral("EditOperations"), EditOperations);
    registry.Register(QStringLiteral("DeleteMachineOperations"), DeleteMachineOperations);
    registry.Register(QStringLiteral("ListOperations"), ListOperations);
    registry.Register(QStringLiteral("CopyOperations"), CopyOperations);
    registry.Register(QStringLiteral("SaveOperationList"), SaveOperationList);
    // The edit command saves the list only when it deleted an operation.
    registry.RegisterCondition(QStringLiteral("OperationDeleted"),
                               [&r = Routines(ctx)](const Context&) { return r.OperationDeleted != 0; });

    registry.Register(QStringLiteral("LoadProcedureList"), LoadProcedureList);
    registry.Register(QStringLiteral("FreeProcedureList"), FreeProcedureList);
    registry.Register(QStringLiteral("AddProcedure"), AddProcedure);
    registry.Register(QStringLiteral("EditProceduresSelective"), EditProceduresSelective);
    registry.Register(QStringLiteral("ListProcedures"), ListProcedures);
    registry.Register(QStringLiteral("SortProcedureFile"), [](Context& c) { SortProcedureFile(c); });

    HandoverRegistry& handover = ctx.Module<HandoverRegistry>();
    RegisterOperationHandover(ctx, handover);
    RegisterProcedureHandover(ctx, handover);
}

} // namespace gim
