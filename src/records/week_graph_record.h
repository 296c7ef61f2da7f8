#pragma once

#include "records/short_string.h"

namespace gim {

// One week of a weekly graph: the values of series 1 to 6. Not a file record, but callers build arrays
// of it with this exact layout.
struct TWeekGraphRecord
{
    LeI64 Value1;
    LeI64 Value2;
    LeI64 Value3;
    LeI64 Value4;
    LeI64 Value5;
    LeI64 Value6;
    LeI64 Value7; // never drawn; free for the caller

    // Value k, 1 to 7; series k of the graph is value k.
    LeI64& Value(int k)
    {
        switch (k) {
        case 1:
            return Value1;
        case 2:
            return Value2;
        case 3:
            return Value3;
        case 4:
            return Value4;
        case 5:
            return Value5;
        case 6:
            return Value6;
        default:
            return Value7;
        }
    }
    const LeI64& Value(int k) const { return const_cast<TWeekGraphRecord*>(this)->Value(k); }
};
GIM_RECORD_SIZE(TWeekGraphRecord, 56);
GIM_FIELD_AT(TWeekGraphRecord, Value1, 0);
GIM_FIELD_AT(TWeekGraphRecord, Value2, 8);
GIM_FIELD_AT(TWeekGraphRecord, Value3, 16);
GIM_FIELD_AT(TWeekGraphRecord, Value4, 24);
GIM_FIELD_AT(TWeekGraphRecord, Value5, 32);
GIM_FIELD_AT(TWeekGraphRecord, Value6, 40);
GIM_FIELD_AT(TWeekGraphRecord, Value7, 48);

} // namespace gim
