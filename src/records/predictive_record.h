#pragma once

#include "records/record_fields.h"
#include "records/short_string.h"

namespace gim {

// A predictive measurement (.PRD) or an alarm level (.ALR); the two files share the layout, and the
// alarm-level file gives some fields another meaning.
struct TPredictiveRecord
{
    ShortString<8> Codigo; // machine code; "#" blank, "Z" erased
    ShortString<2> FREC;   // measurement frequency, or alarm kind "AL" "BJ" "PB" "CH"
    ShortString<2> Espec;  // speciality
    ShortString<2> Pos;    // position of the control point
    ShortString<16> Ejecu; // executor
    Byte Spare35;
    LeI32 Semana;  // week of the measurement or of the last revision
    LeI32 Medida1; // alarm levels: level 1, band top ("PB"), next revision hours ("CH")
    LeI32 Medida2; // alarm levels: level 2, band bottom ("PB"), revision interval ("CH")
    ShortString<34> Descrip;
    Byte Spare83;
};
GIM_RECORD_SIZE(TPredictiveRecord, 84);
GIM_FIELD_AT(TPredictiveRecord, Codigo, 0);
GIM_FIELD_AT(TPredictiveRecord, FREC, 9);
GIM_FIELD_AT(TPredictiveRecord, Espec, 12);
GIM_FIELD_AT(TPredictiveRecord, Pos, 15);
GIM_FIELD_AT(TPredictiveRecord, Ejecu, 18);
GIM_FIELD_AT(TPredictiveRecord, Spare35, 35);
GIM_FIELD_AT(TPredictiveRecord, Semana, 36);
GIM_FIELD_AT(TPredictiveRecord, Medida1, 40);
GIM_FIELD_AT(TPredictiveRecord, Medida2, 44);
GIM_FIELD_AT(TPredictiveRecord, Descrip, 48);
GIM_FIELD_AT(TPredictiveRecord, Spare83, 83);
GIM_RECORD_FIELDS(TPredictiveRecord, &TPredictiveRecord::Codigo, &TPredictiveRecord::FREC,
                  &TPredictiveRecord::Espec, &TPredictiveRecord::Pos, &TPredictiveRecord::Ejecu,
                  &TPredictiveRecord::Semana, &TPredictiveRecord::Medida1, &TPredictiveRecord::Medida2,
                  &TPredictiveRecord::Descrip);

} // namespace gim
