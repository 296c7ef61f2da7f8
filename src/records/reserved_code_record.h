#pragma once

#include "records/record_fields.h"

namespace gim {

// One item of the reserved-code lists (.CDG): one record per list item, lists in a fixed order.
struct TReservedCodeRecord
{
    ShortString<5> Code;
    ShortString<48> Description;
    Byte Visible; // 1 = offered in the entry forms' lists
};
GIM_RECORD_SIZE(TReservedCodeRecord, 56);
GIM_FIELD_AT(TReservedCodeRecord, Code, 0);
GIM_FIELD_AT(TReservedCodeRecord, Description, 6);
GIM_FIELD_AT(TReservedCodeRecord, Visible, 55);
GIM_RECORD_FIELDS(TReservedCodeRecord, &TReservedCodeRecord::Code, &TReservedCodeRecord::Description,
                  &TReservedCodeRecord::Visible);

} // namespace gim
