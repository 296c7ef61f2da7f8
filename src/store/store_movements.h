#pragma once

#include "core/data_file.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "store/spare_parts.h"

#include <QString>
#include <cstdint>
#include <tl/expected.hpp>
#include <vector>

namespace gim {

struct Context;

using MovementEntry = ListEntry<TStoreMovementRecord>;

// A movement handed over by the purchase receipt or the import: the record with its week and its year
// (since 2000) apart. The units are given as a positive number; the destination decides the direction.
struct TMovementInput
{
    TStoreMovementRecord Movement{};
    std::uint16_t Year = 0;
    std::uint16_t Week = 0;
};

// The program-wide movement buffer: every booking fills it and appends it to the journal.
struct StoreMovementsState
{
    TStoreMovementRecord MovementBuffer{};
    TMovementInput MovementInput{};
    // In part-key order; the store reports load it first and free it afterwards.
    std::vector<MovementEntry> MovementList;
    // Set by the browse when it booked the asked movement (the import marks the line as taken).
    std::uint8_t MovementPostedFlag = 0;
};

StoreMovementsState& StoreMovements(Context& ctx);

// The movement journal (.MOV) and the journal of materials charged to repair budgets (.MOP): appended to
// and corrected in place, never sorted. The list is read from the last record to the first, and a movement
// whose key is not above the head's goes first, as for the parts.
struct MovementFile : TableFile<DataFile::Movement, TStoreMovementRecord>
{
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return PartKeyOf(a).view() < PartKeyOf(b).view(); }
};
struct OpMovementFile : TableFile<DataFile::OpMovement, TStoreMovementRecord>
{
};

// Appends MovementBuffer to .MOP when its user begins "OP/", else to .MOV, creating the file when it does
// not exist. An open failure is shown. Returns whether the movement was stored.
bool AppendMovement(Context& ctx);

// Builds MovementList from .MOV; a file that cannot be opened gives an empty list, silently.
void LoadMovementList(Context& ctx);
void FreeMovementList(Context& ctx);
// Inserts a movement into MovementList by the part key, with the parts' rule for equal keys.
void InsertMovementSorted(Context& ctx, MovementEntry entry);

// The new average price of a part that receives `quantity` units. Asks the unit price (in cents, `price`
// as default) and leaves the answer in `price`. The average of the old stock and the entry when some
// stock remains, else the price; computed wide, so that the booking can refuse an average the part's
// field cannot hold. A non-numeric answer abandons the command.
std::int64_t WeightedAveragePrice(Context& ctx, std::int32_t exist, std::int32_t valor, std::int32_t quantity,
                                  std::int32_t& price);

// The part as `movement` leaves it, at the average price `valor`: refused, with a message naming what
// overflows, when its stock or a changed average would leave its field's range, or an entry comes at a
// price below zero.
tl::expected<TSparePartRecord, QString>
PartAfterBooking(const TSparePartRecord& part, const TStoreMovementRecord& movement, std::int64_t valor);

// The one booking of a store movement: MovementBuffer is appended to its journal and `part` takes the
// stock and average price `valor` it leaves, once both are checked (PartAfterBooking). The caller writes
// the part back. A refusal writes nothing and is returned for the caller to show; an empty refusal is a
// journal that could not be written, reported already.
tl::expected<void, QString> BookMovement(Context& ctx, TSparePartRecord& part, std::int64_t valor);

enum class MovementOutcome {
    Booked,    // the part's stock changed and the movement is in the journal
    Cancelled, // nothing booked
    Ended,     // the card was left: the browse ends
};

// Books a store entry or exit of `part` on the movement card (from MovementInput, without the card, while
// InteractiveFlag is clear). The caller writes the part back when it was booked.
MovementOutcome MoveSparePart(Context& ctx, TSparePartRecord& part);

// Corrects the movements of one week, asked for, in .MOV (ActionCode "E") or .MOP ("S"): each is shown on
// the movement card and rewritten in place or cancelled. The parts' stock and value stay as they are.
void EditMovementsByWeek(Context& ctx);

} // namespace gim
