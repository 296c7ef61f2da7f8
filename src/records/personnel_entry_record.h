#pragma once

#include "records/record_fields.h"
#include "records/short_string.h"

namespace gim {

// An entry of an employee's expedient (.APT): leave, overtime, training, ...; appended, no stored order.
struct TPersonnelEntryRecord
{
    ShortString<6> Matricula; // "#" blank, "Z" erased
    ShortString<2> Type;      // entry type ("A", "B", "E", "EC", ...)
    ShortString<8> Date;      // week code (7 characters used)
    ShortString<128> Text;
    LeU32 Minutes;
};
GIM_RECORD_SIZE(TPersonnelEntryRecord, 152);
GIM_FIELD_AT(TPersonnelEntryRecord, Matricula, 0);
GIM_FIELD_AT(TPersonnelEntryRecord, Type, 7);
GIM_FIELD_AT(TPersonnelEntryRecord, Date, 10);
GIM_FIELD_AT(TPersonnelEntryRecord, Text, 19);
GIM_FIELD_AT(TPersonnelEntryRecord, Minutes, 148);
GIM_RECORD_FIELDS(TPersonnelEntryRecord, &TPersonnelEntryRecord::Matricula, &TPersonnelEntryRecord::Type,
                  &TPersonnelEntryRecord::Date, &TPersonnelEntryRecord::Text,
                  &TPersonnelEntryRecord::Minutes);

} // namespace gim
