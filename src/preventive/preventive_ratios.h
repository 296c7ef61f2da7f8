#pragma once

namespace gim {

struct Context;

// The machines whose gamas (ActionCode "2") or routes ("3") were executed in the week WorkWeek of
// WorkYear, over the whole machine file, on the history loaded. Its figures (GE, TE, the route minutes)
// go to the plan control's; unless SubCode is "R" it lists them in a window "HISTORIAL PREVENTIVO DE ".
void ControlRoutes(Context& ctx);

// The plan control repeated week by week over a range, listed, averaged and charted: programmed against
// executed gamas and times (ActionCode "1"), executed gamas ("2") or routes ("3") per week. The week
// lines also go to the plain-text file <environment>.rtf. Loads the history and leaves it loaded, so that
// the menu item can run the route control of the last week on it before freeing it.
void PreventiveRatios(Context& ctx);

} // namespace gim
