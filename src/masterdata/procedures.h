#pragma once

#include "core/ordered_list.h"
#include "records/procedure_record.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace gim {

struct Context;

using ProcedureEntry = ListEntry<TProcedureRecord>;

// The program-wide variables of the procedures and instructions.
struct ProceduresState
{
    // Ordered by machine code, speciality, procedure and instruction; the routine card and the daily
    // report show it as a help.
    std::vector<ProcedureEntry> ProcedureList;

    TProcedureRecord CurrentProcedure{};
    // Filled by the report window's Editar > Procedimientos hand-over; the edit takes it once.
    TProcedureRecord SelectedProcedure{};
    // Filled by the import gateway.
    TProcedureRecord ImportedProcedure{};

    std::uint8_t ProcedureCardSaved = 0;
    QString ProcedurePictureName; // code + Espec + Proced + Inst + ".jpg"
};

ProceduresState& Procedures(Context& ctx);

// The heading record of a procedure carries this instruction number.
inline constexpr const char* kProcedureHeading = "00";

// Order of the procedure file and list: machine code, speciality, procedure and instruction compared
// field by field, so that a machine code that is the start of another keeps its procedures together.
bool ProcedureKeyBefore(const TProcedureRecord& a, const TProcedureRecord& b);
// The key as the user types it and the listing shows it: the four fields joined.
QString JoinedProcedureKey(const TProcedureRecord& rec);

// Blanks a procedure buffer: code "#", speciality, numbers and description "..", state "P"; the time
// stays.
void ClearProcedureRecord(TProcedureRecord& rec);

// Builds the list from the procedure file (a missing file gives an empty list, silently).
void LoadProcedureList(Context& ctx);
void FreeProcedureList(Context& ctx);

// A series of new procedure or instruction cards; with ActionCode "i" one record taken from
// ImportedProcedure.
void AddProcedure(Context& ctx);
// Appends CurrentProcedure unless the file holds the same machine, procedure and instruction. Returns
// whether it was stored.
bool AppendProcedureRecord(Context& ctx);

// Shows the card of every record of one key (typed, or handed over by the report window) and writes
// back the changed or deleted ones in place.
void EditProceduresSelective(Context& ctx);

// Copies the file to its twin, rewrites it in key order without deleted records, then recomputes the
// procedure times. Returns false when there was no file to sort.
bool SortProcedureFile(Context& ctx);
// Each heading's time := the total of the instructions that follow it in the file.
void ComputeProcedureTimes(Context& ctx);

// Year restart: the sorted file becomes the procedure file of the new environment.
void CarryProceduresToNewYear(Context& ctx, const QString& newEnvironment);

} // namespace gim
