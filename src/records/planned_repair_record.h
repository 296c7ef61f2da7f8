#pragma once

#include "records/record_fields.h"
#include "records/short_string.h"

namespace gim {

// A planned repair or a repair notice (.SEM). The file has no key: it is rewritten in list order.
struct TPlannedRepairRecord
{
    ShortString<8> Code;      // machine code; "#" none or cancelled, "Z" deleted
    ShortString<8> Order;     // work-order number as text
    LeU16 Week;               // absolute week; PlanWeeks = not yet scheduled
    ShortString<2> Specialty; // "A" = repair notice
    ShortString<130> Description;
    LeU16 Minutes;
    ShortString<2> State;
    // Who executes; pending repairs and notices keep the entry date "dd/mm/yyyy" here.
    ShortString<24> Executor;
};
GIM_RECORD_SIZE(TPlannedRepairRecord, 184);
GIM_FIELD_AT(TPlannedRepairRecord, Code, 0);
GIM_FIELD_AT(TPlannedRepairRecord, Order, 9);
GIM_FIELD_AT(TPlannedRepairRecord, Week, 18);
GIM_FIELD_AT(TPlannedRepairRecord, Specialty, 20);
GIM_FIELD_AT(TPlannedRepairRecord, Description, 23);
GIM_FIELD_AT(TPlannedRepairRecord, Minutes, 154);
GIM_FIELD_AT(TPlannedRepairRecord, State, 156);
GIM_FIELD_AT(TPlannedRepairRecord, Executor, 159);
GIM_RECORD_FIELDS(TPlannedRepairRecord, &TPlannedRepairRecord::Code, &TPlannedRepairRecord::Order,
                  &TPlannedRepairRecord::Week, &TPlannedRepairRecord::Specialty,
                  &TPlannedRepairRecord::Description, &TPlannedRepairRecord::Minutes,
                  &TPlannedRepairRecord::State, &TPlannedRepairRecord::Executor);

} // namespace gim
