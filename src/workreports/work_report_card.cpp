#include "workreports/work_report_card.h"

#include "platform/card.h"

namespace gim {

// Placeholder until the card is built.
int OpenWorkReportWindow(Context&, TWorkReportRecord& rec)
{
    rec.Matricula = "#";
    return CardResult::Exit;
}

} // namespace gim
