#pragma once

#include "records/record_fields.h"

namespace gim {

// One operation of a machine's maintenance routine (.OPR), sorted by machine code then frequency.
struct TOperationRecord
{
    ShortString<8> MachineCode; // "#" none, "Z" deleted
    ShortString<2> Frequency;   // "1D" .. "S4", "TF"
    ShortString<2> State;       // machine state needed: "O" running, "P" stopped
    ShortString<2> Speciality;
    ShortString<130> Description;
    Byte Spare149;
    LeU16 Minutes; // planned time
};
GIM_RECORD_SIZE(TOperationRecord, 152);
GIM_FIELD_AT(TOperationRecord, MachineCode, 0);
GIM_FIELD_AT(TOperationRecord, Frequency, 9);
GIM_FIELD_AT(TOperationRecord, State, 12);
GIM_FIELD_AT(TOperationRecord, Speciality, 15);
GIM_FIELD_AT(TOperationRecord, Description, 18);
GIM_FIELD_AT(TOperationRecord, Spare149, 149);
GIM_FIELD_AT(TOperationRecord, Minutes, 150);
// The spare byte is left out: a new operation has it zero.
GIM_RECORD_FIELDS(TOperationRecord, &TOperationRecord::MachineCode, &TOperationRecord::Frequency,
                  &TOperationRecord::State, &TOperationRecord::Speciality, &TOperationRecord::Description,
                  &TOperationRecord::Minutes);

} // namespace gim
