#pragma once

#include "records/record_fields.h"

namespace gim {

// A personnel card (F5_E2.RCH), sorted by Matricula.
struct TPersonnelRecord
{
    ShortString<6> Matricula; // employee number; "#" blank, "Z" erased
    ShortString<28> Apellidos;
    ShortString<16> Nombre;
    ShortString<48> Calle;
    ShortString<16> Ciudad;
    ShortString<12> tlf;
    ShortString<12> Ingreso; // "dd/mm/yy" as typed
    ShortString<12> Baja;    // leaving date; active while it starts with "."
};
GIM_RECORD_SIZE(TPersonnelRecord, 158);
GIM_FIELD_AT(TPersonnelRecord, Matricula, 0);
GIM_FIELD_AT(TPersonnelRecord, Apellidos, 7);
GIM_FIELD_AT(TPersonnelRecord, Nombre, 36);
GIM_FIELD_AT(TPersonnelRecord, Calle, 53);
GIM_FIELD_AT(TPersonnelRecord, Ciudad, 102);
GIM_FIELD_AT(TPersonnelRecord, tlf, 119);
GIM_FIELD_AT(TPersonnelRecord, Ingreso, 132);
GIM_FIELD_AT(TPersonnelRecord, Baja, 145);
GIM_RECORD_FIELDS(TPersonnelRecord, &TPersonnelRecord::Matricula, &TPersonnelRecord::Apellidos,
                  &TPersonnelRecord::Nombre, &TPersonnelRecord::Calle, &TPersonnelRecord::Ciudad,
                  &TPersonnelRecord::tlf, &TPersonnelRecord::Ingreso, &TPersonnelRecord::Baja);

} // namespace gim
