#pragma once

#include "records/record_fields.h"

namespace gim {

// The one record of SELECTOR.TRB: the current environment.
struct TSelectorRecord
{
    ShortString<10> Code;       // environment code (at most 8 characters are stored)
    ShortString<16> AccessCode; // stored and shown, never compared
    Byte MinFreq;               // 1 = "1S", 2 = "2S", 3 = "M"; 0 behaves as 3
    Byte Spare;
};
GIM_RECORD_SIZE(TSelectorRecord, 30);
GIM_FIELD_AT(TSelectorRecord, Code, 0);
GIM_FIELD_AT(TSelectorRecord, AccessCode, 11);
GIM_FIELD_AT(TSelectorRecord, MinFreq, 28);
GIM_FIELD_AT(TSelectorRecord, Spare, 29);
// The spare byte is left out: a new record has it zero.
GIM_RECORD_FIELDS(TSelectorRecord, &TSelectorRecord::Code, &TSelectorRecord::AccessCode,
                  &TSelectorRecord::MinFreq);

} // namespace gim
