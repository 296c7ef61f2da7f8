#pragma once

#include "core/data_file.h"
#include "records/planned_repair_record.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;

using PlannedRepairEntry = ListEntry<TPlannedRepairRecord>;

// Where each machine's repairs stand in PlannedRepairList, keyed by the code as each entry had it when it
// was indexed (a repair closed to "Z" stays under its machine), with each entry's week and rank: entries
// of equal weeks stand by rank. A repair queued by QueuePlannedRepairByWeek goes at the list's end and
// into its machine's positions at once; the list itself is put in order when it is settled.
struct PlannedRepairIndex
{
    QHash<QString, std::vector<std::uint32_t>> positionsByCode; // each machine's positions, in list order
    std::vector<std::uint16_t> weeks;                           // per position
    std::vector<std::int64_t> ranks;                            // per position
    std::uint32_t head = 0;    // the position of the list's first entry once settled
    std::int64_t lowRank = -1; // the next newcomer taking the head ranks before all
    std::int64_t highRank = 0; // the next newcomer placed after its equal weeks ranks after all
    std::size_t ordered = 0;   // the entries in list order; those after them are queued
};

// The program-wide variables of the planned repairs and repair notices.
struct PlannedRepairsState
{
    // Descending by absolute week (by machine code after a sort in that order); each entry keeps its
    // record's position in the file.
    std::vector<PlannedRepairEntry> PlannedRepairList;
    // Built from the list when first asked for (PlannedRepairsOfMachine) and kept up to date by the
    // queued inserts; an ordered insert, loading, freeing or saving the list drops it. While repairs are
    // queued the list is in order only up to index->ordered: read it whole after SettlePlannedRepairList.
    std::optional<PlannedRepairIndex> PlannedRepairsByMachine;
    // The file's records as LoadPlannedRepairs read them (none when the list was not read from the file):
    // what a later save of the whole list compares the file with, to keep what another program changed.
    std::optional<std::vector<TPlannedRepairRecord>> LoadedPlannedRepairs;
    // The read/write buffer of the add and edit commands.
    TPlannedRepairRecord CurrentPlannedRepair{};
    // Filled by the report window's hand-over (the row to edit) or by whoever adds a repair without the
    // add card (the import, the revision history): taken once by the next add or edit.
    TPlannedRepairRecord PlannedRepairInput{};
    // What the silent per-week history (ActionCode "5") found: the week's repair minutes and the ages
    // of its pending records.
    std::int64_t WeekRepairMinutes = 0;
    std::int64_t WeekPendingAges = 0;
    std::int64_t WeekMaterialAges = 0;
};

PlannedRepairsState& PlannedRepairs(Context& ctx);

inline constexpr const char* kPlannedRepairEndOfFile = "FIN DE FICHERO";
inline constexpr const char* kPlannedRepairUnknownMachine = " CODIGO DE MAQUINA NO ENCONTRADO";

// The planned-repair file (.SEM): no key of its own, rewritten in list order through its twin .SBK.
// Equal weeks follow the head-first rule: a record not below the head becomes the head.
struct PlannedRepairFile : TableFile<DataFile::PlannedRepair, TPlannedRepairRecord>
{
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return a.Week.get() > b.Week.get(); }
    static bool Deleted(const Record& r) { return r.Code == "Z"; }
};

// The second order of the sort: the machine code, descending as short strings compare.
bool PlannedRepairCodeBefore(const TPlannedRepairRecord& a, const TPlannedRepairRecord& b);

// The positions in PlannedRepairList of the repairs of machine `code`, in list order: every entry whose
// code is `code` is among them (one closed since to "Z" may be too). Without a scan of the list, once it
// has been indexed.
std::vector<std::uint32_t> PlannedRepairsOfMachine(Context& ctx, const QString& code);

// Ordered inserts into PlannedRepairList under the head-first rule.
void InsertPlannedRepairByWeek(Context& ctx, PlannedRepairEntry entry);
void InsertPlannedRepairByCode(Context& ctx, PlannedRepairEntry entry);
// The same place as InsertPlannedRepairByWeek gives it, in O(log n): the entry waits at the list's end
// (found by PlannedRepairsOfMachine in its place) until SettlePlannedRepairList moves the queued ones
// into place in one pass.
void QueuePlannedRepairByWeek(Context& ctx, PlannedRepairEntry entry);
void SettlePlannedRepairList(Context& ctx);

// Reads the file from the first record to the last into PlannedRepairList, inserted by week. A missing
// file is created empty without a word: a new environment has none yet.
void LoadPlannedRepairs(Context& ctx);
void FreePlannedRepairList(Context& ctx);

// Copies the file to .SBK and rewrites it by machine code (ActionCode "3" or "4") or else by week,
// without deleted ("Z") records; the list is left empty. ContinueFlag := 0. Nothing happens before the
// first repair is stored.
void SortPlannedRepairFile(Context& ctx);

// Appends `repair`, creating the file for the first repair; ContinueFlag := 1. Returns where it went;
// nothing when the file could not be written (the reason is shown).
std::optional<std::uint32_t> AppendPlannedRepair(Context& ctx, const TPlannedRepairRecord& repair);

// CurrentPlannedRepair made ready for the add card and the card shown (ActionCode "1" pending repair,
// "2" notice), or PlannedRepairInput taken (ActionCode "i"); then the machine is checked. Leaves code
// "#" when nothing is to be stored.
void PreparePlannedRepair(Context& ctx);

// ActionCode "1": pending repairs, one card after another, each stored at week PlanWeeks with today's
// date and state "P". "2": repair notices (specialty "A", week 0 of the last year). "i": the one record
// in PlannedRepairInput with st.WorkWeek / st.WorkYear as its week, the card shown only when
// InteractiveFlag is set; RecordAddedFlag tells whether it was stored.
void NewPlannedRepair(Context& ctx);
// One repair handed in from outside (an import), its week given as week of the year and year since 2000
// (the card works the absolute week out from them); shown on its card only while InteractiveFlag is set.
// Returns whether it was stored.
bool AddImportedPlannedRepair(Context& ctx, const TPlannedRepairRecord& rec, std::uint16_t workWeek,
                              std::uint16_t workYear);

// ActionCode "3": the pending repairs (state "P", week PlanWeeks); "B": the pending notices; "4": the
// handed-over row, else the records a search card picks. Each saved or deleted ("Z") record is written
// where it was read.
void EditPlannedRepairs(Context& ctx);

// The start-up notice: one message per repair in state "P" of this week that is not a notice.
void ShowPendingRepairsOfWeek(Context& ctx);

} // namespace gim
