#pragma once

#include "core/data_file.h"
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

    QString ProcedurePictureName; // code + Espec + Proced + Inst + ".jpg"
};

ProceduresState& Procedures(Context& ctx);

// Why an add stored nothing because the file holds its number already, for an import's echo.
inline constexpr const char* kRepeatedCodeReason = "CÓDIGO REPETIDO";

// The heading record of a procedure carries this instruction number.
inline constexpr const char* kProcedureHeading = "00";

// Order of the procedure file and list: machine code, speciality, procedure and instruction compared
// field by field, so that a machine code that is the start of another keeps its procedures together.
bool ProcedureKeyBefore(const TProcedureRecord& a, const TProcedureRecord& b);
// The procedure file (.INT): sorted by key through its twin .IBK, which takes the records from the last
// to the first.
struct ProcedureFile : TableFile<DataFile::Procedure, TProcedureRecord>
{
    static constexpr TwinVariant kTwin = TwinVariant::CopyReversed;
    static bool Before(const Record& a, const Record& b) { return ProcedureKeyBefore(a, b); }
    // One number per machine, procedure and instruction: the speciality does not count. The fields are
    // compared one by one, so that "PR" + "10" and "PR1" + "0" stay apart.
    static bool SameKey(const Record& a, const Record& b)
    {
        return a.MachineCode == b.MachineCode && a.Proced == b.Proced && a.Inst == b.Inst;
    }
    // A number's records stand among their machine's, whatever their speciality: the duplicate test reads
    // that machine's stretch of the file, found by halves, not the whole file.
    static constexpr bool kSameKeyWithinOrder = true;
    static bool SearchBefore(const Record& a, const Record& b) { return a.MachineCode < b.MachineCode; }
    static bool Deleted(const Record& r) { return r.MachineCode == "Z"; }
};

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
// An imported procedure or instruction added as AddProcedure adds it; whether it was stored.
bool AddImportedProcedure(Context& ctx, const TProcedureRecord& rec);
// Appends `procedure` unless the file holds the same machine, procedure and instruction (then the
// refusal is shown as `refusal` says, and its reason kept in RefusalReason). Returns whether it was stored.
bool AppendProcedureRecord(Context& ctx, const TProcedureRecord& procedure, Report refusal = Report::Show);

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
