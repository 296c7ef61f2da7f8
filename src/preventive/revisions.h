#pragma once

#include "core/data_file.h"
#include "core/week_codes.h"
#include "preventive/plan_time.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"

#include <cstdint>
#include <vector>

namespace gim {

struct Context;
struct RevisionForm;

using RevisionEntry = ListEntry<TRevisionRecord>;

// The revision history's program-wide variables.
struct RevisionState
{
    // The history, newest week first (LoadRevisionList, SortRevisionFile).
    std::vector<RevisionEntry> RevisionList;
    // The buffer every read, write and append of the history passes through.
    TRevisionRecord CurrentRevision{};
    // The pending repair a revision card hands over ("#" none); WritePendingRepairFromRevision stores it.
    TPlannedRepairRecord CurrentPlannedRepair{};
};

RevisionState& Revisions(Context& ctx);

// FoundMachine := the machine of `code` in the machine file, or the code with "NO EXISTE LA MAQUINA" (also
// when there is no machine file). Returns whether it was found.
bool LookUpFoundMachine(Context& ctx, const QString& code);

// Newest week first.
bool RevisionWeekBefore(const TRevisionRecord& a, const TRevisionRecord& b);

// The history file (.HRC): appended to between rewrites; the rewrite puts it newest week first, a record
// whose week is not below the leading one's in front of them all. The twin .HBK is a copy of the file as
// it stood.
struct RevisionFile : TableFile<DataFile::Revision, TRevisionRecord>
{
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return RevisionWeekBefore(a, b); }
    static bool Deleted(const Record& r) { return r.MachineCode == "Z"; }
};

// The blank revision of an add card: "..", week 0, time 0; the code is kept.
void BlankRevision(TRevisionRecord& rec);

// Links one entry into RevisionList by the head-first rule.
void InsertRevisionByWeek(Context& ctx, RevisionEntry entry);
// RevisionList := every record of the history, erased ones included. A missing file changes nothing.
void LoadRevisionList(Context& ctx);
void FreeRevisionList(Context& ctx);
// The sorting rewrite: newest week first, without erased records, the twin holding the old file. Leaves
// RevisionList holding the new file and ContinueFlag 0.
void SortRevisionFile(Context& ctx);
// Appends `revision`, creating the file when there is none; appending to an existing file sets
// ContinueFlag. Returns false when the file could not be written (the error was shown).
bool AppendRevision(Context& ctx, const TRevisionRecord& revision);
// Appends CurrentPlannedRepair to the planned repairs unless its code is "#". A file that cannot be
// opened is skipped without a word.
void WritePendingRepairFromRevision(Context& ctx);

// The week and year typed on a revision card (checked by the card), the week of a week 53 in the year its
// week code names.
WeekParts RevisionCardWeek(Context& ctx, const RevisionForm& form);
// A saved card's values into `rec`: WorkYear from its year, the week counted from the plan's first year
// (in 16 bits, as stored), frequency, state, executor, minutes and comment.
void TakeRevisionCardValues(Context& ctx, const RevisionForm& form, TRevisionRecord& rec);

// What an add card gave.
enum class RevisionCardOutcome {
    Nothing,       // left, refused or an unknown machine
    Revision,      // `rec` holds a revision to append
    PendingRepair, // CurrentPlannedRepair holds a pending repair; no revision was done
};

// The add card for one revision of a machine asked for by code.
RevisionCardOutcome EditRevisionCard(Context& ctx, TRevisionRecord& rec);
// One revision by hand (Historial MP > Altas > Selectiv).
void NewRevision(Context& ctx);
// Searches the history for a week and shows each match for editing or deleting (Historial MP > Edicion).
void EditRevisionHistory(Context& ctx);

} // namespace gim
