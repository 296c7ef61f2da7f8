#pragma once

#include "records/work_report_record.h"

#include <QStringList>

namespace gim {

struct Context;

// The card TFORMPDT on `rec`, set up by ActionCode ("1" new line, "2" search of lines, "3" search of
// orders, "4" edit, "i" import or merge). Shown only when InteractiveFlag is set. Saved, the card is
// read back into `rec` and leaves for the posting what WorkReportsState holds besides the line; left,
// `rec` is as it came in except Matricula "#". Returns the card's result (CardResult; None when the
// card was not shown). In mode "4" the description shows the long description kept from the last card
// unless `showKeptDescription` is false; with `checkLine` the edit of a stored line refuses what the add
// loop refuses.
int OpenWorkReportWindow(Context& ctx, TWorkReportRecord& rec, bool showKeptDescription = true,
                         bool checkLine = false);

// The lines of the environment's description file (environment + ".txt"), in file order; none when the
// file is not there.
QStringList LoadJobDescriptions(Context& ctx);

} // namespace gim
