#pragma once

#include "records/record_fields.h"

namespace gim {

// One line of a purchase order (.COM), sorted by Nped; the lines of one order lie together.
struct TPurchaseOrderRecord
{
    LeI32 Nped; // order number
    ShortString<24> Refer;
    // The part key; Codigo "#" = not stored, "Z" = deleted.
    ShortString<8> Codigo;
    ShortString<2> Equipo;
    ShortString<3> Util;
    ShortString<3> Pieza;
    ShortString<130> Descrip;
    ShortString<16> Marca;
    ShortString<10> Sumtro;  // supplier code
    ShortString<10> Albaran; // delivery note; "#" none yet
    // Week codes. Fechcierr "<last plan year>/00/1" = not closed.
    ShortString<8> fechALTA;
    ShortString<8> fechaENT;
    ShortString<8> Fechcierr;
    ShortString<24> LUGAR; // place of delivery
    ShortString<2> Estado; // "P" pending, "E" delivered, "I" incomplete
    LeI16 Cantidad;        // units ordered
    LeI16 Entradas;        // units received
    Byte Reserved278[2];
    LeI32 Valor; // unit price in cents
};
GIM_RECORD_SIZE(TPurchaseOrderRecord, 284);
GIM_FIELD_AT(TPurchaseOrderRecord, Nped, 0);
GIM_FIELD_AT(TPurchaseOrderRecord, Refer, 4);
GIM_FIELD_AT(TPurchaseOrderRecord, Codigo, 29);
GIM_FIELD_AT(TPurchaseOrderRecord, Equipo, 38);
GIM_FIELD_AT(TPurchaseOrderRecord, Util, 41);
GIM_FIELD_AT(TPurchaseOrderRecord, Pieza, 45);
GIM_FIELD_AT(TPurchaseOrderRecord, Descrip, 49);
GIM_FIELD_AT(TPurchaseOrderRecord, Marca, 180);
GIM_FIELD_AT(TPurchaseOrderRecord, Sumtro, 197);
GIM_FIELD_AT(TPurchaseOrderRecord, Albaran, 208);
GIM_FIELD_AT(TPurchaseOrderRecord, fechALTA, 219);
GIM_FIELD_AT(TPurchaseOrderRecord, fechaENT, 228);
GIM_FIELD_AT(TPurchaseOrderRecord, Fechcierr, 237);
GIM_FIELD_AT(TPurchaseOrderRecord, LUGAR, 246);
GIM_FIELD_AT(TPurchaseOrderRecord, Estado, 271);
GIM_FIELD_AT(TPurchaseOrderRecord, Cantidad, 274);
GIM_FIELD_AT(TPurchaseOrderRecord, Entradas, 276);
GIM_FIELD_AT(TPurchaseOrderRecord, Reserved278, 278);
GIM_FIELD_AT(TPurchaseOrderRecord, Valor, 280);
// The reserved bytes are left out: a new record has them zero.
GIM_RECORD_FIELDS(TPurchaseOrderRecord, &TPurchaseOrderRecord::Nped, &TPurchaseOrderRecord::Refer,
                  &TPurchaseOrderRecord::Codigo, &TPurchaseOrderRecord::Equipo, &TPurchaseOrderRecord::Util,
                  &TPurchaseOrderRecord::Pieza, &TPurchaseOrderRecord::Descrip, &TPurchaseOrderRecord::Marca,
                  &TPurchaseOrderRecord::Sumtro, &TPurchaseOrderRecord::Albaran,
                  &TPurchaseOrderRecord::fechALTA, &TPurchaseOrderRecord::fechaENT,
                  &TPurchaseOrderRecord::Fechcierr, &TPurchaseOrderRecord::LUGAR,
                  &TPurchaseOrderRecord::Estado, &TPurchaseOrderRecord::Cantidad,
                  &TPurchaseOrderRecord::Entradas, &TPurchaseOrderRecord::Valor);

} // namespace gim
