#pragma once

namespace gim {

struct Context;

// The hour prices of every row of HourPriceTable, in card order, with the employee's name; the rows of
// employees who have left stand in a second colour.
void ListHourPrices(Context& ctx);

} // namespace gim
