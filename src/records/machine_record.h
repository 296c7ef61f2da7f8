#pragma once

#include "records/record_fields.h"

namespace gim {

// A machine of the register (.MQW), sorted by Codigo.
struct TMachineRecord
{
    ShortString<8> Codigo;        // "#" blank, "Z" deleted
    ShortString<48> Denominacion; // name
    ShortString<24> Modelo;
    ShortString<24> Fabricacion; // serial number
    ShortString<24> Ubicacion;   // location
    ShortString<24> Cuenta;      // cost account
    ShortString<2> Disponible;   // "SI" / "NO"
};
GIM_RECORD_SIZE(TMachineRecord, 161);
GIM_FIELD_AT(TMachineRecord, Codigo, 0);
GIM_FIELD_AT(TMachineRecord, Denominacion, 9);
GIM_FIELD_AT(TMachineRecord, Modelo, 58);
GIM_FIELD_AT(TMachineRecord, Fabricacion, 83);
GIM_FIELD_AT(TMachineRecord, Ubicacion, 108);
GIM_FIELD_AT(TMachineRecord, Cuenta, 133);
GIM_FIELD_AT(TMachineRecord, Disponible, 158);
GIM_RECORD_FIELDS(TMachineRecord, &TMachineRecord::Codigo, &TMachineRecord::Denominacion,
                  &TMachineRecord::Modelo, &TMachineRecord::Fabricacion, &TMachineRecord::Ubicacion,
                  &TMachineRecord::Cuenta, &TMachineRecord::Disponible);
// The machine loader reports badly coded machines (an overlong code or account among them) itself.
template <> inline constexpr bool kOwnerChecksTexts<TMachineRecord> = true;

} // namespace gim
