#pragma once

#include "core/data_file.h"
#include "records/purchase_order_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;
class OperationRegistry;

using PurchaseOrderEntry = ListEntry<TPurchaseOrderRecord>;

// The program-wide variables of the purchase orders.
struct PurchaseOrdersState
{
    // Ascending by order number; each entry keeps its line's position in the file.
    std::vector<PurchaseOrderEntry> PurchaseOrderList;
    TPurchaseOrderRecord PurchaseOrderBuffer{}; // the line being read, shown or written
    // The line handed over by the report window or the import; its Codigo, when set, picks the line to edit.
    TPurchaseOrderRecord PurchaseOrderInput{};
    std::uint8_t PurchaseLineChanged = 0; // the card was saved
    std::uint8_t PurchaseLineDeleted = 0; // the card deleted the line
    std::int32_t AskedOrderNumber = 0;
    // A line of the file was rewritten or added during this command: the file wants its sort. Kept over
    // the whole command, not only for the last card.
    bool LinesWritten = false;
};

PurchaseOrdersState& PurchaseOrders(Context& ctx);

// The order file (.COM): ascending by order number, the lines of one order together. Its sort goes through
// <ENV>.CMK, not through the table's twin; list and sort read it from the last line to the first, and a line
// whose number is not above the head's goes first.
struct PurchaseOrderFile : TableFile<DataFile::PurchaseOrder, TPurchaseOrderRecord>
{
    static QString Twin(const State& st) { return st.CurrentEnvironment + QStringLiteral(".CMK"); }
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::LastToFirst;
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return a.Nped.get() < b.Nped.get(); }
    static bool SameKey(const Record& a, const Record& b) { return a.Nped.get() == b.Nped.get(); }
    static bool Deleted(const Record& r) { return r.Codigo == "Z"; }
};

// The closing code of a line not yet closed: the plan's last year in two digits and "/00/1".
QString OpenClosingCode(const State& st);

// An order number typed at a prompt: "#", nothing or a cancelled prompt give none (the command ends
// quietly); a text that is no number abandons the command with the conversion's message.
std::optional<std::int32_t> AskedOrderNumberOf(Context& ctx, const QString& typed);

// The list from the order file; a file that cannot be opened leaves it empty. ContinueFlag := 0.
void LoadPurchaseOrders(Context& ctx);
// Ordered insert: before the head when its number is not above the head's, else after the equal ones.
void InsertPurchaseOrderSorted(Context& ctx, PurchaseOrderEntry entry);
void FreePurchaseOrderList(Context& ctx);
// Appends `line` to the file `fileName`, creating it; a stored line sets ContinueFlag.
bool AppendPurchaseOrder(Context& ctx, const QString& fileName, const TPurchaseOrderRecord& line);
// Writes PurchaseOrderBuffer where `entry` was read, when the card saved or deleted it; the entry takes it
// and ContinueFlag is set. Returns whether it was written.
bool WritePurchaseOrderLine(Context& ctx, PurchaseOrderEntry& entry);
// Rewrites the order file in number order through <ENV>.CMK without deleted lines. ContinueFlag := 0.
void SortPurchaseOrderFile(Context& ctx);

// Altas: one new line, numbered as the next order or, with ActionCode "A", as the order asked for when it
// exists; with ActionCode "i" the line handed over by the import, without a card.
void AddPurchaseOrderLine(Context& ctx);
// One line handed in from outside (an import), shown on its card only while InteractiveFlag is set.
// Returns whether it was stored (RecordAddedFlag says the same).
bool AddImportedPurchaseOrderLine(Context& ctx, const TPurchaseOrderRecord& line);
// Edición ("E") and Recepción ("P", pending lines only): every line of the asked order on its card; a
// saved line with a delivery note may be received into the store and, when units are still missing,
// split into a new pending line.
void EditPurchaseOrders(Context& ctx);

// The operations of the Compras menu and the Compras hand-over.
void RegisterPurchaseOrders(OperationRegistry& registry, Context& ctx);

} // namespace gim
