#pragma once

#include "records/record_fields.h"

namespace gim {

// A procedure heading (Inst "00") or one of its instructions (.INT), sorted by
// MachineCode + Espec + Proced + Inst.
struct TProcedureRecord
{
    ShortString<8> MachineCode; // "#" blank, "Z" deleted
    ShortString<2> Espec;       // speciality
    ShortString<2> Proced;      // procedure number
    ShortString<2> Inst;        // instruction number; "00" = the procedure's heading
    ShortString<2> Estado;      // machine state during the work: "P" stopped, "M" running
    ShortString<250> Descripcion;
    LeU16 Tiempo; // minutes; on a heading, the sum of its instructions
};
GIM_RECORD_SIZE(TProcedureRecord, 274);
GIM_FIELD_AT(TProcedureRecord, MachineCode, 0);
GIM_FIELD_AT(TProcedureRecord, Espec, 9);
GIM_FIELD_AT(TProcedureRecord, Proced, 12);
GIM_FIELD_AT(TProcedureRecord, Inst, 15);
GIM_FIELD_AT(TProcedureRecord, Estado, 18);
GIM_FIELD_AT(TProcedureRecord, Descripcion, 21);
GIM_FIELD_AT(TProcedureRecord, Tiempo, 272);
GIM_RECORD_FIELDS(TProcedureRecord, &TProcedureRecord::MachineCode, &TProcedureRecord::Espec,
                  &TProcedureRecord::Proced, &TProcedureRecord::Inst, &TProcedureRecord::Estado,
                  &TProcedureRecord::Descripcion, &TProcedureRecord::Tiempo);

} // namespace gim
