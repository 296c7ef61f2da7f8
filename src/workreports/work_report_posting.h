#pragma once

#include "records/data_files.h"
#include "records/short_string.h"
#include "records/store_movement_record.h"

#include <QString>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace gim {

struct Context;
struct State;
struct TPlannedRepairRecord;
struct TWorkReportRecord;

// The data files one posting wrote to (or, for the planned repairs, changed in the list that the command
// saves afterwards).
struct PostedFiles
{
    std::bitset<kDataFileCount> files;

    void Add(DataFile f) { files.set(static_cast<std::size_t>(f)); }
    bool Has(DataFile f) const { return files.test(static_cast<std::size_t>(f)); }
    bool None() const { return files.none(); }
    PostedFiles& operator|=(const PostedFiles& other)
    {
        files |= other.files;
        return *this;
    }
};

// One daily-report line as one step: its questions are asked first (the revision to plan after a repair,
// the confirmation of an hour-meter alarm); then, under one transaction, every file the step will write
// is opened for writing (a protected one stops the step with nothing written and its name in the
// message), and the line itself (when `store`), the repairs its card closed and everything it carries
// into the other modules' files by its activity type are written and committed: a breakdown ("V"), the
// time booked on a work order, a planned repair ("R"), a store exit ("AL"), a preventive revision ("P",
// with the running-hours alarm for "PTF") and the personnel expedient entry. Once stored, `stored` runs,
// the planned-repair list follows the file, and the store's messages and its part card come. The posted
// flags of WorkReportsState accumulate. Returns nothing when the step was abandoned: nothing of it stays,
// and the repairs its card closed are open again in the list.
std::optional<PostedFiles> StoreAndPostWorkReport(Context& ctx, bool store,
                                                  const std::function<void()>& stored = {});

// Posts CurrentWorkReport, stored already, as one step (StoreAndPostWorkReport without the line).
PostedFiles PostWorkReport(Context& ctx);

// After a repair: asks whether it needs a revision and, on "S", in which week of this year. Returns the
// absolute week of the revision to plan; the posting then plans the repair again as pending ("P") there.
std::optional<std::uint16_t> CheckRepairRevision(Context& ctx);

// The open repairs of `machine` with this description are done by the line being saved (`executor`: the
// text shown after the tab of the choice): each stays in progress ("T") when the executor differs from
// its own, else it leaves the list at the next save ("Z"). They change in PlannedRepairList now, before
// the line's posting plans anything, and the line's step writes them.
void CloseChosenRepair(Context& ctx, const ShortString<8>& machine, const QString& description,
                       const QString& executor);
// Opens again in PlannedRepairList what CloseChosenRepair closed for a line that was not stored.
void ReopenChosenRepairs(Context& ctx);

// Books `movement` against the spare-part file, as one step: the stock of the part with its key
// changes (unless it would go negative, which is shown) and the movement is stored. A part missing from
// the file books nothing; the user may enter it. Returns whether a part was entered (SparePartCreatedFlag).
bool FindOrCreateStorePart(Context& ctx, const TStoreMovementRecord& movement);

// The line's absolute week as the 16-bit fields of the records it posts keep it.
std::uint16_t LineAbsoluteWeek(const State& st, const TWorkReportRecord& line);

// The planned-repair file holds `after` at `position` where this program had read `before`: the save of
// the whole list takes it for this program's own change.
void NotePlannedRepairWritten(Context& ctx, const TPlannedRepairRecord& before,
                              const TPlannedRepairRecord& after, std::size_t position);

// Rewrites the planned-repair file from PlannedRepairList in list order, without the repairs closed
// ("Z"). Nothing happens when the file does not exist or the list is empty.
void SavePlannedRepairList(Context& ctx);

// After a command's lines are all in: re-sorts the revision, breakdown and planned-repair files and purges
// the expedient entries, each as its posted flag says, and clears the expedient flag.
void SortWhatWasPosted(Context& ctx);

} // namespace gim
