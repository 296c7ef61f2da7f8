#pragma once

#include "records/record_fields.h"
#include "records/short_string.h"

namespace gim {

// A machine breakdown (.AVR). The file has no key: it is rewritten in the order of the in-memory list.
struct TBreakdownRecord
{
    ShortString<8> Code; // machine code; "#" blank or cancelled, "Z" deleted
    Byte Reserved9;
    LeU16 Week;           // absolute week
    ShortString<2> Day;   // weekday "1" (Monday) .. "7"
    ShortString<2> Shift; // "M", "T" or "N"
    ShortString<2> Type;
    ShortString<130> Description;
    // Minutes, except Operators.
    LeU16 Intervention;
    LeU16 Operators;
    LeU16 Stop;
    LeU16 Delay;
    ShortString<14> NoticeTime;  // date text + "-" + time text
    ShortString<14> Officer;     // maintenance officer
    ShortString<14> RepairStart; // date text + "-" + time text
    ShortString<14> ProductionOperator;
};
GIM_RECORD_SIZE(TBreakdownRecord, 220);
GIM_FIELD_AT(TBreakdownRecord, Code, 0);
GIM_FIELD_AT(TBreakdownRecord, Reserved9, 9);
GIM_FIELD_AT(TBreakdownRecord, Week, 10);
GIM_FIELD_AT(TBreakdownRecord, Day, 12);
GIM_FIELD_AT(TBreakdownRecord, Shift, 15);
GIM_FIELD_AT(TBreakdownRecord, Type, 18);
GIM_FIELD_AT(TBreakdownRecord, Description, 21);
GIM_FIELD_AT(TBreakdownRecord, Intervention, 152);
GIM_FIELD_AT(TBreakdownRecord, Operators, 154);
GIM_FIELD_AT(TBreakdownRecord, Stop, 156);
GIM_FIELD_AT(TBreakdownRecord, Delay, 158);
GIM_FIELD_AT(TBreakdownRecord, NoticeTime, 160);
GIM_FIELD_AT(TBreakdownRecord, Officer, 175);
GIM_FIELD_AT(TBreakdownRecord, RepairStart, 190);
GIM_FIELD_AT(TBreakdownRecord, ProductionOperator, 205);
// The reserved byte is not the program's: a new record leaves it zero.
GIM_RECORD_FIELDS(TBreakdownRecord, &TBreakdownRecord::Code, &TBreakdownRecord::Week, &TBreakdownRecord::Day,
                  &TBreakdownRecord::Shift, &TBreakdownRecord::Type, &TBreakdownRecord::Description,
                  &TBreakdownRecord::Intervention, &TBreakdownRecord::Operators, &TBreakdownRecord::Stop,
                  &TBreakdownRecord::Delay, &TBreakdownRecord::NoticeTime, &TBreakdownRecord::Officer,
                  &TBreakdownRecord::RepairStart, &TBreakdownRecord::ProductionOperator);

} // namespace gim
