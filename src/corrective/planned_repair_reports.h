#pragma once

#include "records/planned_repair_record.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace gim {

struct Context;
class HandoverRegistry;
class ReportDocument;

// What the planned repairs of one plan week hold for the repair ratios: their minutes and the ages in
// weeks of their pending records entered this year (P and T the labour, M the materials).
struct RepairWeekSums
{
    std::int64_t minutes = 0;
    std::int64_t pendingAges = 0;
    std::int64_t pendingCount = 0;
    std::int64_t materialAges = 0;
    std::int64_t materialCount = 0;
};

// The sums of the plan weeks 0 .. weeks - 1 in one pass over the records, in any order: a run over many
// weeks reads the file once instead of once a week. Records of other weeks are left out.
// "<caption><mean> Semanas" for the mean age of the pending repairs, blue above 4 weeks and red above 8;
// no repair gives 0. The colour stays set for the caller to change.
void AddAgeRatioLine(ReportDocument& report, const QString& caption, std::int64_t sum, std::int64_t count);

std::vector<RepairWeekSums> SumRepairWeeks(Context& ctx, const std::vector<TPlannedRepairRecord>& records,
                                           int weeks);

// The planned repairs that a filter picks, read in file order: ActionCode "L" asks for it on the search
// card, "A" lists the pending notices. Pending records entered this year show their age in weeks (blue
// above 4, red above 8); then the time spent, the pending counts with their shares, the control ratios
// and, over every week, the weekly graph and the pie. ActionCode "5" lists nothing: it sums the minutes
// of week st.WorkWeek of st.WorkYear into WeekRepairMinutes (the repair ratios).
void ReportRepairHistory(Context& ctx);

// The Repara row of a report window becomes the hand-over of the next selective edit.
void RegisterPlannedRepairHandover(Context& ctx, HandoverRegistry& handover);

} // namespace gim
