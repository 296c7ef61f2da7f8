#pragma once

#include "records/record_fields.h"

namespace gim {

// A preventive revision done or pending (.HRC), newest week first after a sorting rewrite.
struct TRevisionRecord
{
    ShortString<8> MachineCode; // "#" blank, "Z" erased
    ShortString<2> Frequency;   // frequency of the routine done
    ShortString<2> State;       // "E" executed, "ER" route executed, "P" pending
    ShortString<16> Executor;   // employee number or free text
    LeU16 Week;                 // absolute week
    LeU16 Time;                 // minutes
    ShortString<130> Comment;
    Byte Spare167;
};
GIM_RECORD_SIZE(TRevisionRecord, 168);
GIM_FIELD_AT(TRevisionRecord, MachineCode, 0);
GIM_FIELD_AT(TRevisionRecord, Frequency, 9);
GIM_FIELD_AT(TRevisionRecord, State, 12);
GIM_FIELD_AT(TRevisionRecord, Executor, 15);
GIM_FIELD_AT(TRevisionRecord, Week, 32);
GIM_FIELD_AT(TRevisionRecord, Time, 34);
GIM_FIELD_AT(TRevisionRecord, Comment, 36);
GIM_FIELD_AT(TRevisionRecord, Spare167, 167);
// The spare byte is left out: a new revision has it zero.
GIM_RECORD_FIELDS(TRevisionRecord, &TRevisionRecord::MachineCode, &TRevisionRecord::Frequency,
                  &TRevisionRecord::State, &TRevisionRecord::Executor, &TRevisionRecord::Week,
                  &TRevisionRecord::Time, &TRevisionRecord::Comment);

} // namespace gim
