#pragma once

#include <QDate>
#include <optional>

namespace gim {

struct Context;

// The date range of a period report: the picker opens on `preset`, or on today without one; on OK
// RangeStartDate and RangeEndDate take its dates and RangeStartWeek and RangeEndWeek their week codes
// (DateText the end). Returns false, with all four left as they were, when the picker's window was closed.
bool PickWeekRange(Context& ctx, std::optional<QDate> preset = std::nullopt);

} // namespace gim
