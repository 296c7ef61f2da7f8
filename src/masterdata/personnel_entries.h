#pragma once

#include "core/data_file.h"
#include "records/personnel_entry_record.h"

#include <cstdint>
#include <vector>

namespace gim {

struct Context;

using PersonnelEntryNode = ListEntry<TPersonnelEntryRecord>;

// The program-wide variables of the personnel expedients. The entry buffer itself,
// CurrentPersonnelEntry, belongs to the personnel register (Personnel(ctx)).
struct PersonnelEntryState
{
    // The loaded entries, newest date first; equal dates in the order they were read (the file's, from
    // its last record to its first). Each node keeps its record's position in the file.
    std::vector<PersonnelEntryNode> PersonnelEntryList;
    // Set when an entry was appended to an existing file: the menu command then purges the file.
    std::uint8_t EntryAddedFlag = 0;
};

PersonnelEntryState& PersonnelEntries(Context& ctx);

inline constexpr const char* kUnknownExpedient = " EXPEDIENTE INEXISTENTE,ANULADA ALTA";
inline constexpr const char* kBlankEntryType = "TIPO DE APUNTE NO VÁLIDO, ANULADA ALTA";

// Newest date first; dates compare as texts.
bool EntryNewerThan(const TPersonnelEntryRecord& a, const TPersonnelEntryRecord& b);

// The expedient file: no stored order; the purge rewrites it newest first, reading it from its last
// record to its first, so that equal dates end in reverse order and its twin holds the records reversed.
struct PersonnelEntryFile : TableFile<DataFile::PersonnelEntry, TPersonnelEntryRecord>
{
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::LastToFirst;
    static bool Before(const Record& a, const Record& b) { return EntryNewerThan(a, b); }
    static bool SameKey(const Record& a, const Record& b) { return a.Matricula == b.Matricula; }
    static bool Deleted(const Record& r) { return r.Matricula == "Z"; }
};

// Overtime of any kind: "E", "EC", "EF", "EN".
bool IsOvertimeEntry(const TPersonnelEntryRecord& entry);

// A blank entry: number and type "#", no date, text "..", no minutes.
void ClearPersonnelEntry(TPersonnelEntryRecord& entry);

// Alta > Expediente: one entry typed on the card, appended for an employee of the personnel list.
void NewPersonnelEntry(Context& ctx);

// Appends `entry` to the expedient file, creating the file for the first entry; appended to a file that
// was there, EntryAddedFlag := 1. An entry without a type ("#") is refused with kBlankEntryType. Returns
// whether the entry was stored.
bool AppendPersonnelEntry(Context& ctx, const TPersonnelEntryRecord& entry);

// Erases the first entry that `key` names: the same number, date and minutes, and a text that the key's
// text begins with. The first such node of the list and the first such record of the file are marked
// "Z"; the key takes the node's type. Returns whether a record of the file was marked.
bool UpdatePersonnelEntry(Context& ctx, TPersonnelEntryRecord& key);

// Loads PersonnelEntryList from the file (an empty list when there is none).
void LoadPersonnelEntries(Context& ctx);
void FreePersonnelEntryList(Context& ctx);
// Puts a node behind every node of its date or of a newer one.
void InsertPersonnelEntryByDate(Context& ctx, PersonnelEntryNode node);

// Rewrites the expedient file newest first without erased entries; the twin keeps the old records from
// the last to the first. Nothing happens before the first entry is stored. The list is freed.
void PurgePersonnelEntries(Context& ctx);

// Edición and Listados > Expediente: ActionCode "4" adds an entry; "5" and "L" list the expedients
// ("5" also edits each listed entry on its card). Without an expedient file an entry is added instead.
void EditPersonnelExpedient(Context& ctx);

// The expedient listing of a week range, one employee or all, one entry type or all, with the total
// time and the overtime; with ActionCode "5" each entry is first shown on its card: Sal&var writes it
// back, Borrar erases it, &Salir ends the walk.
void ReportPersonnelExpedient(Context& ctx);

} // namespace gim
