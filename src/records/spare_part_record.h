#pragma once

#include "records/record_fields.h"

namespace gim {

// A spare part or material of the store (.RPW), sorted by the part key Codigo + Equipo + Util + Pieza.
struct TSparePartRecord
{
    ShortString<8> Codigo; // machine code, or "ALMACEN_"; "#" blank, "Z" deleted, "@" machine missing
    ShortString<2> Equipo; // equipment family
    ShortString<3> Util;   // use
    ShortString<3> Pieza;  // "000" .. "999"; "???" = not yet numbered
    ShortString<130> Nombre;
    ShortString<16> Marca;
    LeI32 Exist;           // units in store
    LeI32 Valor;           // average unit price in cents
    LeI32 Stock;           // minimum stock
    LeI32 PPedido;         // minimum order quantity
    ShortString<10> CdPVD; // supplier code
    ShortString<4> Local;  // location in the store
};
GIM_RECORD_SIZE(TSparePartRecord, 200);
GIM_FIELD_AT(TSparePartRecord, Codigo, 0);
GIM_FIELD_AT(TSparePartRecord, Equipo, 9);
GIM_FIELD_AT(TSparePartRecord, Util, 12);
GIM_FIELD_AT(TSparePartRecord, Pieza, 16);
GIM_FIELD_AT(TSparePartRecord, Nombre, 20);
GIM_FIELD_AT(TSparePartRecord, Marca, 151);
GIM_FIELD_AT(TSparePartRecord, Exist, 168);
GIM_FIELD_AT(TSparePartRecord, Valor, 172);
GIM_FIELD_AT(TSparePartRecord, Stock, 176);
GIM_FIELD_AT(TSparePartRecord, PPedido, 180);
GIM_FIELD_AT(TSparePartRecord, CdPVD, 184);
GIM_FIELD_AT(TSparePartRecord, Local, 195);
GIM_RECORD_FIELDS(TSparePartRecord, &TSparePartRecord::Codigo, &TSparePartRecord::Equipo,
                  &TSparePartRecord::Util, &TSparePartRecord::Pieza, &TSparePartRecord::Nombre,
                  &TSparePartRecord::Marca, &TSparePartRecord::Exist, &TSparePartRecord::Valor,
                  &TSparePartRecord::Stock, &TSparePartRecord::PPedido, &TSparePartRecord::CdPVD,
                  &TSparePartRecord::Local);

} // namespace gim
