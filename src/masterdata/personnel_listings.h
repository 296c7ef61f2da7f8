#pragma once

namespace gim {

struct Context;

// The hour prices of every row of HourPriceTable, in card order, with the employee's name; the rows of
// employees who have left stand in a second colour.
void ListHourPrices(Context& ctx);

// Every card of the personnel file, in file order, the employees who have left in a second colour, and
// the count of those still in the plant. ActionCode "W": the cards' lines go to the web service's upload
// file (environment code + "_PR.rtf") instead of the report window.
void ListPersonnel(Context& ctx);

} // namespace gim
