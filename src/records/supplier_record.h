#pragma once

#include "records/record_fields.h"
#include "records/short_string.h"

namespace gim {

// A supplier (<F5>_<E2>.PVW), sorted by Codigo.
struct TSupplierRecord
{
    ShortString<36> Empresa; // firm name
    ShortString<36> Contacto;
    ShortString<36> Calle;
    ShortString<6> Numero;
    ShortString<24> Ciudad;
    ShortString<6> Cpostal;
    ShortString<24> Pais;
    ShortString<12> Tlf;
    ShortString<12> Fax;
    ShortString<10> Codigo; // "#" blank or cancelled, "Z" deleted
    ShortString<12> Especialidad;
    ShortString<48> mail;
};
GIM_RECORD_SIZE(TSupplierRecord, 274);
GIM_FIELD_AT(TSupplierRecord, Empresa, 0);
GIM_FIELD_AT(TSupplierRecord, Contacto, 37);
GIM_FIELD_AT(TSupplierRecord, Calle, 74);
GIM_FIELD_AT(TSupplierRecord, Numero, 111);
GIM_FIELD_AT(TSupplierRecord, Ciudad, 118);
GIM_FIELD_AT(TSupplierRecord, Cpostal, 143);
GIM_FIELD_AT(TSupplierRecord, Pais, 150);
GIM_FIELD_AT(TSupplierRecord, Tlf, 175);
GIM_FIELD_AT(TSupplierRecord, Fax, 188);
GIM_FIELD_AT(TSupplierRecord, Codigo, 201);
GIM_FIELD_AT(TSupplierRecord, Especialidad, 212);
GIM_FIELD_AT(TSupplierRecord, mail, 225);
GIM_RECORD_FIELDS(TSupplierRecord, &TSupplierRecord::Empresa, &TSupplierRecord::Contacto,
                  &TSupplierRecord::Calle, &TSupplierRecord::Numero, &TSupplierRecord::Ciudad,
                  &TSupplierRecord::Cpostal, &TSupplierRecord::Pais, &TSupplierRecord::Tlf,
                  &TSupplierRecord::Fax, &TSupplierRecord::Codigo, &TSupplierRecord::Especialidad,
                  &TSupplierRecord::mail);

} // namespace gim
