#pragma once

#include "core/data_file.h"
#include "records/breakdown_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;

using BreakdownEntry = ListEntry<TBreakdownRecord>;

// The program-wide variables of the breakdown register.
struct BreakdownsState
{
    // Descending by absolute week (by day and machine after a sort in that order); each entry keeps the
    // position its record has in the file, which an import append or a posted daily report moves away
    // from the entry's place in the list.
    std::vector<BreakdownEntry> BreakdownList;
    // The read/write buffer of the add and edit commands.
    TBreakdownRecord CurrentBreakdown{};
    // Filled by the report window's hand-over (a row to edit) or by the import (a record to add).
    TBreakdownRecord BreakdownInput{};
    // The search record of the edit card, kept from one search to the next.
    std::optional<TBreakdownRecord> SearchRecord;
};

BreakdownsState& Breakdowns(Context& ctx);

inline constexpr const char* kBreakdownLoadCaption = "AVANCE CARGA DE DATOS HISTORIAL DE AVERÍAS";

// The breakdown file (.AVR): no key of its own, rewritten in the order of the list through its twin .AVK.
// A blank ("#") or deleted ("Z") record is dropped by the rewrite.
struct BreakdownFile : TableFile<DataFile::Breakdown, TBreakdownRecord>
{
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return a.Week.get() > b.Week.get(); }
    static bool Deleted(const Record& r) { return r.Code == "Z" || r.Code == "#"; }
};

// The second order of the sort: day and machine code (cut to 10 characters together), descending.
bool BreakdownDayAndMachineBefore(const TBreakdownRecord& a, const TBreakdownRecord& b);

// CurrentBreakdown := a blank breakdown: code "#", this week of the year, today's weekday, one operator,
// officer and production operator "-", the rest empty or 0.
void ClearBreakdownRecord(Context& ctx);

// Appends `breakdown` to the file, creating the file for the first breakdown; ContinueFlag := 1. Returns
// where it went; nothing when the file could not be written (the reason is shown).
std::optional<std::uint32_t> AppendBreakdownRecord(Context& ctx, const TBreakdownRecord& breakdown);

// Ordered inserts into BreakdownList: a node that does not sort after the head becomes the head, any
// other goes before the first node that sorts after it.
void InsertBreakdownByWeek(Context& ctx, BreakdownEntry entry);
void InsertBreakdownByDayAndMachine(Context& ctx, BreakdownEntry entry);

// Reads the file from the last record to the first into BreakdownList, inserted by week: a file written
// in list order loads into the same order. A missing file gives an empty list.
void LoadBreakdownList(Context& ctx);
void FreeBreakdownList(Context& ctx);

// Copies the file to .AVK and rewrites it in the list's order (by day and machine with ActionCode "2",
// else by week) without blank or deleted breakdowns; the list stays loaded with the new file.
// ContinueFlag := 0. Nothing happens before the first breakdown is stored.
void SortBreakdownFile(Context& ctx);

// A series of new-breakdown cards (ActionCode "A"), or the one record of the import in BreakdownInput
// (ActionCode "i"). Each breakdown of a known machine is appended and put into the list.
void AddBreakdowns(Context& ctx);
// One breakdown handed in from outside (an import): `rec` with the week of the year in its week word,
// `workYear` the year it belongs to (since 2000). Shown on its card only while InteractiveFlag is set.
// Returns whether it was stored.
bool AddImportedBreakdown(Context& ctx, const TBreakdownRecord& rec, std::uint16_t workYear);

// Walks the loaded list with the edit card: the row handed over from a report, else the breakdowns a
// search card picks. Each saved or deleted ("Z") breakdown is written back where it lies in the file.
void EditBreakdowns(Context& ctx);

// The photo check box of the card: names the first free photo of the machine typed on the card,
// code + "#" + n + ".jpg", in the breakdown photo folder. The picture itself is stored after the record.
void AssignBreakdownPhoto(Context& ctx, const QString& codeText);

} // namespace gim
