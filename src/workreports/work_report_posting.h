#pragma once

#include "records/data_files.h"

#include <bitset>
#include <cstddef>

namespace gim {

struct Context;

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

// Carries CurrentWorkReport, just stored, into the other modules' files by its activity type: a
// breakdown ("V"), the time booked on a work order, a planned repair ("R"), a store exit ("AL"), a
// preventive revision ("P", with the running-hours alarm for "PTF") and the personnel expedient entry.
// The posted flags of WorkReportsState accumulate; nothing clears them here.
PostedFiles PostWorkReport(Context& ctx);

// After a repair: asks whether it needs a revision and, on "S", in which week of this year; the repair
// just posted is then planned again as pending ("P") in that week.
void CheckRepairRevision(Context& ctx);

// Books MovementBuffer against the spare-part file: the stock of the part with its key changes (unless it
// would go negative, which is shown) and the movement is stored. A part missing from the file books
// nothing; the user may enter it. Returns whether a part was entered (SparePartCreatedFlag).
bool FindOrCreateStorePart(Context& ctx);

// Rewrites the planned-repair file from PlannedRepairList in list order, without the repairs closed
// ("Z"). Nothing happens when the file does not exist or the list is empty.
void SavePlannedRepairList(Context& ctx);

} // namespace gim
