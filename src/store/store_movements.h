#pragma once

#include "core/data_file.h"
#include "core/transaction.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "store/spare_parts.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
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
    // The write of the step the movement completes (a purchase line received), made in the booking's
    // transaction so that both are stored or neither: its files, and the write, false when it failed.
    QStringList alsoFiles;
    std::function<bool()> alsoWrite;
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

// The journal a movement goes to: .MOP when its user begins "OP/" (materials charged to a repair budget),
// else .MOV.
QString MovementJournalName(const State& st, const TStoreMovementRecord& movement);

// Appends a movement to its journal, creating the file when it does not exist. Returns its position;
// nullopt when the journal cannot be opened (shown as the caller asks).
std::optional<std::uint32_t> AppendMovementRecord(Context& ctx, const TStoreMovementRecord& movement,
                                                  Report report = Report::Show);
// The same, telling only whether the movement was stored.
bool AppendMovement(Context& ctx, const TStoreMovementRecord& movement);

// A number answered to a prompt; one that is not a number, or does not fit 32 bits, abandons the command
// with the conversion's message.
std::int32_t AnsweredNumber(Context& ctx, const QString& answer, const QString& fileName);

// The message of the last file failure (LastIOResult) followed by the file's name.
QString FileFailureText(Context& ctx, const QString& fileName);

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

// A store movement of one part, as the card, a handed-over movement or the posting gives it.
struct MovementToBook
{
    std::int32_t quantity = 0;  // units: above 0 an entry, below 0 an exit
    std::int32_t unitValue = 0; // cents per unit, as the journal keeps it
    QString destination;        // "ALMACEN_" for an entry, else the machine that received the part
    QString user;               // who took it; "OP/" and a budget number send it to .MOP
    std::uint8_t week = 0;      // the absolute week, modulo 256
    // Written with the booking, in its transaction (see TMovementInput).
    QStringList alsoFiles;
    std::function<bool()> alsoWrite;
};

// Why a booking stored nothing.
struct BookingRefusal
{
    enum class Kind {
        OutOfRange, // the stock or the average would leave its field
        FileFailed, // a file of the step cannot be written
        Moved,      // the part is no longer where it was read (another program sorted the file)
    };
    Kind kind = Kind::OutOfRange;
    QString message; // what to say; the position error has its own
};

// Shows a refusal; called once no step holds the folder lock.
void ShowBookingRefusal(Context& ctx, const BookingRefusal& refusal);

// Within the caller's open step: `movement` appended to its journal and, when given, the part written back
// as `after` where `stored` says it stands. The one write of a booking, for the card's and the posting's.
tl::expected<void, BookingRefusal> WriteBooking(Context& ctx, const TStoreMovementRecord& movement,
                                                SparePartEntry* stored, const TSparePartRecord* after);

// The one booking of a store movement. `part` is the part as the caller holds it (its card may have
// changed its other fields), read at `stored`; it takes the stock that `movement` leaves and the average
// price `average`, once both are checked (PartAfterBooking). The movement goes to its journal and the
// part back to its place in one transaction: both or neither. A part no longer at its place (the record
// there differs from stored.rec) books nothing. On success stored.rec is the part as written and
// MovementBuffer the movement, composed over the buffer's spare bytes as the journal always had them.
// A refusal is returned unshown.
tl::expected<void, BookingRefusal> BookMovement(Context& ctx, SparePartEntry& stored, TSparePartRecord& part,
                                                const MovementToBook& movement, std::int64_t average);

enum class MovementOutcome {
    Booked,    // the part's stock changed and the movement is in the journal
    Cancelled, // nothing booked
    Failed,    // a file of the booking could not be written, or the part had moved: nothing stored
    Ended,     // the card was left: the browse ends
};

// Books a store entry or exit of `part`, read at `stored`, on the movement card (from MovementInput,
// without the card, while InteractiveFlag is clear): the questions come first, then BookMovement writes
// the movement and the part.
MovementOutcome MoveSparePart(Context& ctx, SparePartEntry& stored, TSparePartRecord& part);

// Corrects the movements of one week, asked for, in .MOV (ActionCode "E") or .MOP ("S"): each is shown on
// the movement card and rewritten in place or cancelled. The parts' stock and value stay as they are.
void EditMovementsByWeek(Context& ctx);

} // namespace gim
