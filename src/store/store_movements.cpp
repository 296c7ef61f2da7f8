#include "store/store_movements.h"

#include "core/context.h"

namespace gim {

StoreMovementsState& StoreMovements(Context& ctx)
{
    return ctx.Module<StoreMovementsState>();
}

bool AppendMovement(Context& ctx)
{
    const TStoreMovementRecord& movement = StoreMovements(ctx).MovementBuffer;
    // Materials charged to a repair budget are kept apart from the store's own journal.
    if (movement.User.bytes().substr(0, 3) == "OP/")
        return KeyedFile<OpMovementFile>(ctx).Append(movement).has_value();
    return KeyedFile<MovementFile>(ctx).Append(movement).has_value();
}

} // namespace gim
