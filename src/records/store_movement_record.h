#pragma once

#include "records/record_fields.h"

namespace gim {

// A store entry or exit (.MOV; charges to repair budgets go to .MOP). Appended and corrected in place.
struct TStoreMovementRecord
{
    // The part key.
    ShortString<8> Codigo;
    ShortString<2> Equipo;
    ShortString<3> Util;
    ShortString<3> Pieza;
    ShortString<8> Destination; // "ALMACEN_" for an entry, else the machine that received the part
    Byte AbsoluteWeek;          // absolute week modulo 256
    ShortString<12> User;       // employee number, "OT/" + order, "OP/" + repair budget, or " "
    Byte Reserved43;
    LeI32 Quantity;  // > 0 entry, < 0 exit, 0 cancelled
    LeI32 UnitValue; // cents
};
GIM_RECORD_SIZE(TStoreMovementRecord, 52);
GIM_FIELD_AT(TStoreMovementRecord, Codigo, 0);
GIM_FIELD_AT(TStoreMovementRecord, Equipo, 9);
GIM_FIELD_AT(TStoreMovementRecord, Util, 12);
GIM_FIELD_AT(TStoreMovementRecord, Pieza, 16);
GIM_FIELD_AT(TStoreMovementRecord, Destination, 20);
GIM_FIELD_AT(TStoreMovementRecord, AbsoluteWeek, 29);
GIM_FIELD_AT(TStoreMovementRecord, User, 30);
GIM_FIELD_AT(TStoreMovementRecord, Reserved43, 43);
GIM_FIELD_AT(TStoreMovementRecord, Quantity, 44);
GIM_FIELD_AT(TStoreMovementRecord, UnitValue, 48);
// The reserved byte is left out: a new record has it zero.
GIM_RECORD_FIELDS(TStoreMovementRecord, &TStoreMovementRecord::Codigo, &TStoreMovementRecord::Equipo,
                  &TStoreMovementRecord::Util, &TStoreMovementRecord::Pieza,
                  &TStoreMovementRecord::Destination, &TStoreMovementRecord::AbsoluteWeek,
                  &TStoreMovementRecord::User, &TStoreMovementRecord::Quantity,
                  &TStoreMovementRecord::UnitValue);

} // namespace gim
