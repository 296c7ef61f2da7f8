#pragma once

#include "records/record_fields.h"
#include "records/short_string.h"

namespace gim {

// A meter reading (.ENW), sorted by Date + MachineCode + MeterCode.
struct TEnergyReadingRecord
{
    ShortString<8> MachineCode; // "Z" erased
    ShortString<8> MeterCode;   // position of the meter on the machine
    ShortString<7> Date;        // week code
    Byte Units;                 // units served; 0 reads as 1
    Byte Spare27;
    LeI32 Reading; // whole units
};
GIM_RECORD_SIZE(TEnergyReadingRecord, 32);
GIM_FIELD_AT(TEnergyReadingRecord, MachineCode, 0);
GIM_FIELD_AT(TEnergyReadingRecord, MeterCode, 9);
GIM_FIELD_AT(TEnergyReadingRecord, Date, 18);
GIM_FIELD_AT(TEnergyReadingRecord, Units, 26);
GIM_FIELD_AT(TEnergyReadingRecord, Spare27, 27);
GIM_FIELD_AT(TEnergyReadingRecord, Reading, 28);
GIM_RECORD_FIELDS(TEnergyReadingRecord, &TEnergyReadingRecord::MachineCode, &TEnergyReadingRecord::MeterCode,
                  &TEnergyReadingRecord::Date, &TEnergyReadingRecord::Units, &TEnergyReadingRecord::Reading);

} // namespace gim
