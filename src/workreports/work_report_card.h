#pragma once

#include "records/work_report_record.h"

namespace gim {

struct Context;

// The card TFORMPDT on `rec`, set up by ActionCode ("1" new line, "2" search of lines, "3" search of
// orders, "4" edit, "i" import or merge). Shown only when InteractiveFlag is set. Saved, the card is
// read back into `rec` and leaves for the posting what WorkReportsState holds besides the line; left,
// `rec` is as it came in except Matricula "#". Returns the card's result (CardResult).
int OpenWorkReportWindow(Context& ctx, TWorkReportRecord& rec);

} // namespace gim
