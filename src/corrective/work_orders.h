#pragma once

#include "core/data_file.h"
#include "records/work_order_record.h"
#include "records/work_report_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace gim {

struct Context;

// The program-wide variables of the work orders and repair budgets.
struct WorkOrdersState
{
    TWorkOrderRecord CurrentWorkOrder{}; // the order being edited or written
    // Filled by the report window's edit hand-over or by the import; taken once by the next edit.
    TWorkOrderRecord WorkOrderInput{};
    std::uint8_t WorkOrderOpened = 0;        // 1 when the asked order existed or its card was saved
    std::uint8_t ImportedOrderMatched = 0;   // 1 when the import found the order's external reference
    std::uint32_t WantedWorkOrderNumber = 0; // the order SelectWorkOrders fetches in modes "O" and "S"
    // While an import runs: the position of the first order of each external reference in the order file,
    // over its first `indexed` records.
    struct ReferenceIndex
    {
        std::unordered_map<std::string, std::uint32_t> first;
        std::size_t indexed = 0;
    };
    std::optional<ReferenceIndex> ImportedReferences;
};

WorkOrdersState& WorkOrders(Context& ctx);

// Numbered files: the record index is the order's number; they only grow and are never sorted.
struct WorkOrderFile : TableFile<DataFile::WorkOrder, TWorkOrderRecord>
{
    static bool Before(const Record& a, const Record& b) { return a.Number.get() < b.Number.get(); }
    static bool SameKey(const Record& a, const Record& b) { return a.Number.get() == b.Number.get(); }
    static bool Deleted(const Record&) { return false; }
};
struct RepairBudgetFile : TableFile<DataFile::RepairBudget, TWorkOrderRecord>
{
    static bool Before(const Record& a, const Record& b) { return a.Number.get() < b.Number.get(); }
    static bool SameKey(const Record& a, const Record& b) { return a.Number.get() == b.Number.get(); }
    static bool Deleted(const Record&) { return false; }
};

inline constexpr const char* kAnnulledOrder = "Orden de Trabajo ANULADA";
inline constexpr const char* kMissingOrder = "OT INEXISTENTE";

// Cierre OT proposes the dates of the daily-report lines the command loaded (st.WorkReportList) and the
// listing sums their minutes. An imported order arriving executed has its photo fetched from the web
// service through Op::DownloadWorkOrderPhoto (CurrentWorkOrder's Refex), registered by the web transfers.

// Writes `rec` as the record of its number in the file named (the .OTR or .PRO name). A missing file is
// created; a file that cannot be opened is reported and nothing is written. Returns whether it was
// written.
bool WriteWorkOrder(Context& ctx, const TWorkOrderRecord& rec, const QString& fileName);

// What an add or an edit of an order leaves on its card: the order (the one asked for, or the new one added
// in its place), its number, and whether the order asked for existed or a card was saved.
struct WorkOrderOutcome
{
    TWorkOrderRecord order{};
    std::uint32_t number = 0;
    bool opened = false;
};

// ActionCode "A" new work order, "R" new repair budget, "i" the imported order in WorkOrderInput.
WorkOrderOutcome NewWorkOrder(Context& ctx);
// One order handed in from outside (an import), as ActionCode "i" takes it: an order with the same
// external reference still pending or in progress is updated instead. Returns whether a new order was
// stored.
bool AddImportedWorkOrder(Context& ctx, const TWorkOrderRecord& rec);
// ActionCode "E": asks for an order (or takes the one handed over) and shows its card; an order that does
// not exist is offered as a new one.
WorkOrderOutcome EditWorkOrder(Context& ctx);
// ActionCode "R": the same for a repair budget, but a budget that does not exist is only said so: no
// outcome.
std::optional<WorkOrderOutcome> EditBudgetHours(Context& ctx);
// Cierre OT: offers to close every order in progress, proposing the date of its first daily report.
void CloseWorkOrder(Context& ctx);
// The import: an order with the same external reference still pending or in progress takes the import's
// dates, hours and state in place. ImportedOrderMatched tells whether one was found.
void UpdateImportedWorkOrder(Context& ctx, const TWorkOrderRecord& imported);
// Around an import's lines: the order file's references are indexed once, and the index follows the orders
// the lines add.
void BeginWorkOrderImport(Context& ctx);
void EndWorkOrderImport(Context& ctx);
// ActionCode "O" (.OTR) or "S" (.PRO): CurrentWorkOrder := order WantedWorkOrderNumber, or the
// "OT INEXISTENTE" placeholder. ActionCode "E": the open orders (P, T, M) one card after another.
void SelectWorkOrders(Context& ctx);
// SelectWorkOrders in mode "O" or "S" for the order of this number; returns the order fetched.
TWorkOrderRecord FetchWorkOrder(Context& ctx, std::uint32_t number);
// Minutes the daily-report lines book on CurrentWorkOrder.
int SumWorkOrderReportTime(Context& ctx, const std::vector<TWorkReportRecord>& reports);

// Minutes from notice to start and from start to close: whole days count 1440 minutes each, plus the
// clock difference; never negative. A missing end (and, for the resolution, a missing start) is now.
int WorkOrderReactionMinutes(Context& ctx, const QString& noticeDate, const QString& startDate,
                             const QString& noticeHour, const QString& startHour);
int WorkOrderResolutionMinutes(Context& ctx, const QString& startDate, const QString& closeDate,
                               const QString& startHour, const QString& closeHour);

// The card's photo button: names the order's photo and says when it already has one.
void AssignWorkOrderPhoto(Context& ctx, std::uint32_t number);

} // namespace gim
