#pragma once

#include "core/data_file.h"
#include "records/store_movement_record.h"

namespace gim {

struct Context;

// The program-wide movement buffer: every booking fills it and appends it to the journal.
struct StoreMovementsState
{
    TStoreMovementRecord MovementBuffer{};
};

StoreMovementsState& StoreMovements(Context& ctx);

// The movement journal (.MOV) and the journal of materials charged to repair budgets (.MOP): appended to
// and corrected in place, never sorted.
struct MovementFile : TableFile<DataFile::Movement, TStoreMovementRecord>
{
};
struct OpMovementFile : TableFile<DataFile::OpMovement, TStoreMovementRecord>
{
};

// Appends MovementBuffer to .MOP when its user begins "OP/", else to .MOV, creating the file when it does
// not exist. An open failure is shown. Returns whether the movement was stored.
bool AppendMovement(Context& ctx);

} // namespace gim
