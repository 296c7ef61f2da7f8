#pragma once

#include "core/data_file.h"
#include "records/operation_record.h"
#include "records/plan_records.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace gim {

struct Context;
struct CardSpec;

using OperationEntry = ListEntry<TOperationRecord>;

// The position of a list entry whose record is not in the file yet (a copied operation).
inline constexpr std::uint32_t kNotInFile = std::numeric_limits<std::uint32_t>::max();

// The program-wide variables of the maintenance routines (gamas).
struct RoutinesState
{
    // Ordered by machine code, then frequency. Stays loaded between commands; the commands that save
    // leave it matching the file or free it.
    std::vector<OperationEntry> OperationList;
    QString OperationListFile; // the file the list was loaded from
    // How many entries at the list's end an import queued, in arrival order, for SettleOperationList to
    // put in their key's place.
    std::size_t QueuedOperations = 0;

    TOperationRecord CurrentOperation{};
    // Filled by the report window's Editar > Gamas hand-over (machine code from the listing) and by the
    // import gateway.
    TOperationRecord SelectedOperation{};

    TPlanRecord PlanSearchEntry{};
    // The planned machine taken out of the plan while its routine changes, with its start week.
    TPlanRecord EditorPlanEntry{};
    // The machine goes back into the plan once the list has been saved.
    bool PlanReloadPending = false;

    std::uint8_t OperationSaveRequested = 0;
    std::uint8_t OperationDeleteRequested = 0;
    std::uint8_t OperationDeleted = 0;
};

RoutinesState& Routines(Context& ctx);

// Why an imported operation stored nothing because its machine is in the plan, for the import's echo.
inline constexpr const char* kMachinePlannedReason = "MÁQUINA EN PLANING";

// The marker of a record not filled yet, or of a machine the plan keeps.
inline constexpr const char* kPlanHeldMarker = "00-000";

// Order of the operation file and list: the machine code, then the frequency, compared as a pair, so
// that a machine code that is the start of another ("PR", "PR1") does not mix the two routines.
bool OperationKeyBefore(const TOperationRecord& a, const TOperationRecord& b);

// The operation file (.OPR): written from the list in key order; its twin .OBK is the file as it stood
// before.
struct OperationFile : TableFile<DataFile::Operation, TOperationRecord>
{
    static constexpr TwinVariant kTwin = TwinVariant::Rename;
    static bool Before(const Record& a, const Record& b) { return OperationKeyBefore(a, b); }
    static bool Deleted(const Record& r) { return r.MachineCode == "Z"; }
    // An edit writes back over the operation it showed: the same description, time and speciality.
    static bool SamePlace(const Record& stored, const Record& listed)
    {
        return stored.Description == listed.Description && stored.Minutes.get() == listed.Minutes.get() &&
               stored.Speciality == listed.Speciality;
    }
};

// Builds the list from the operation file unless it holds that file's operations already (a list left
// from another environment is replaced). A missing file gives an empty list without a message.
void LoadOperationList(Context& ctx);
void FreeOperationList(Context& ctx);
// Ordered insert: after every entry of equal key.
void InsertOperationByKey(Context& ctx, OperationEntry entry);
// The place InsertOperationByKey gives an entry, taken later: the entry waits at the list's end until
// SettleOperationList moves every queued one into place in one pass, so that a line of an import does not
// move the whole list. Loading, saving and an ordered insert settle the list first.
void QueueOperationByKey(Context& ctx, OperationEntry entry);
void SettleOperationList(Context& ctx);

// A series of new-operation cards for one machine; with ActionCode "i" one record taken from
// SelectedOperation.
void AddOperations(Context& ctx);
// An imported operation added as AddOperations adds it; whether it was stored.
bool AddImportedOperation(Context& ctx, const TOperationRecord& rec);
// One new-operation card on CurrentOperation. Leaves OperationSaveRequested set when the card was saved;
// returns whether the series goes on. A "#" code in CurrentOperation ends it at once.
bool EnterOperation(Context& ctx);
// Appends `operation` to the operation file. Returns the record's position when it was stored.
std::optional<std::uint32_t> AppendOperationRecord(Context& ctx, const TOperationRecord& operation);

// Browses and changes in place the operations of one machine (or the one the report window handed
// over).
void EditOperations(Context& ctx);
// Marks the whole routine of the machines the user names deleted, then saves and frees the list.
void DeleteMachineOperations(Context& ctx);
// ActionCode "S": copies the operations of a machine (of any environment) one by one as the user accepts
// them; "T": copies them all.
void CopyOperations(Context& ctx);
// Turns the operation file into its twin and writes the list in key order without deleted operations,
// normalising frequencies, specialities and descriptions. With ExportFlag it also lists every operation.
void SaveOperationList(Context& ctx);

// Looks CurrentOperation's machine up in the plan file and takes it out of the plan. Returns true, with
// the marker in PlanSearchEntry's code, when the plan keeps it. An import (OutputCode "W") that meets a
// planned machine is refused instead: a message, and CurrentOperation's code "#".
bool FindPlannedMachine(Context& ctx);
// The two plan calls of the hand-over, run through the operation registry (the plan registers
// Op::UnloadPlannedMachine and Op::ReloadPlannedMachine; without them nothing happens). Both run on
// EditorPlanEntry, the machine's code set, with ActionCode "E" and AnswerCode "D" (unload) or "C" (load),
// inside a guard that gives the caller its mode codes back. The plan says it keeps the machine by changing
// ActionCode or by setting EditorPlanEntry's code to "#"; unloading returns whether the machine is out of the
// plan. The reload puts it back at EditorPlanEntry's start week, once the operation file holds the machine's
// new routine together (the plan reads it by halves).
bool UnloadMachineForEdit(Context& ctx);
void ReloadMachineAfterEdit(Context& ctx);

// FindMachine into FoundMachine; whether the machine file holds the code. With `whenMissing` Silent a
// register not there yet holds no machine, without a message.
bool FindIntoFoundMachine(Context& ctx, const ShortString<8>& code, Report whenMissing = Report::Show);

// Revisions a year of an operation's frequency, for the preventive budget: 0 unless the budget's
// speciality selection is "*" or the operation's speciality; "S4" counts half a revision, unknown codes
// none.
double AnnualOccurrences(const TOperationRecord& op, const QString& specialitySelection);

// Year restart: the saved routine becomes the operation file of the new environment.
void CopyOperationsToEnvironment(Context& ctx, const QString& newEnvironment);

} // namespace gim
