#pragma once

#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/hour_price_record.h"

namespace gim {

struct Context;

// The hour-price card TfichPreHora as data. With ActionCode "5" or "i" it shows the row it is run on;
// otherwise "*", no prices and today's date, and the number combo offers every employee of the personnel
// list. The number names its employee. The save button refuses a price that is no amount of a price
// field, a date that is not one of the calendar, an employee who is not on the personnel list and a
// number that has prices already (other than the row shown), keeping the card open. Results: Save,
// Delete, Exit.
CardSpec HourPriceCardSpec(Context& ctx);
// The card's controls and the row's fields: number, the six prices as money texts, the date.
const CardBinding<THourPriceRecord>& HourPriceCardBinding();

} // namespace gim
