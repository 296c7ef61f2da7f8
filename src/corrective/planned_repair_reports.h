#pragma once

namespace gim {

struct Context;
class HandoverRegistry;

// The planned repairs that a filter picks, read in file order: ActionCode "L" asks for it on the search
// card, "A" lists the pending notices. Pending records entered this year show their age in weeks (blue
// above 4, red above 8); then the time spent, the pending counts with their shares, the control ratios
// and, over every week, the weekly graph and the pie. ActionCode "5" lists nothing: it sums the minutes
// of week st.WorkWeek of st.WorkYear into WeekRepairMinutes (the repair ratios).
void ReportRepairHistory(Context& ctx);

// The Repara row of a report window becomes the hand-over of the next selective edit.
void RegisterPlannedRepairHandover(Context& ctx, HandoverRegistry& handover);

} // namespace gim
