#include "core/date_range.h"

#include "core/context.h"
#include "core/week_codes.h"

namespace gim {

bool PickWeekRange(Context& ctx, std::optional<QDate> preset)
{
    State& st = ctx.st;
    QDate start = preset.value_or(ctx.clock.Now().date());
    QDate end = start;
    if (!ctx.ui.PickDateRange(start, end))
        return false;
    st.RangeStartDate = QDateTime(start, QTime(0, 0));
    st.RangeEndDate = QDateTime(end, QTime(0, 0));
    st.RangeStartWeek = DateToWeekCode(st, start);
    st.RangeEndWeek = DateToWeekCode(st, end);
    return true;
}

} // namespace gim
