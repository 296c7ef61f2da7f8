#pragma once

namespace gim {

struct Context;

// The listing "HISTORIAL PREVENTIVO": the revisions from a week on, filtered by machine, frequency, state
// and executor on the revision card, with their total time. Nothing is shown when the card is left, the
// machine is unknown or the week lies past the plan.
void ReportRevisionHistory(Context& ctx);

} // namespace gim
