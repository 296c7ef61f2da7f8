#pragma once

#include "records/record_fields.h"

namespace gim {

// An employee's hour prices (.PHR) in cents; also the row type of HourPriceTable.
struct THourPriceRecord
{
    ShortString<6> Matricula; // "#" blank
    Byte Spare;
    LeU16 HCONTRATO;       // normal hour
    LeU16 HN;              // night hour
    LeU16 HEX;             // overtime
    LeU16 HEN;             // night overtime
    LeU16 HEF;             // holiday overtime
    LeU16 HEC;             // compensated overtime
    LeU16 Price2;          // further price, kind "2"
    LeU16 Price3;          // further price, kind "3"
    ShortString<10> Fecha; // revision date
    Byte Activo;           // in the table: 1 when the employee is active
};
GIM_RECORD_SIZE(THourPriceRecord, 36);
GIM_FIELD_AT(THourPriceRecord, Matricula, 0);
GIM_FIELD_AT(THourPriceRecord, Spare, 7);
GIM_FIELD_AT(THourPriceRecord, HCONTRATO, 8);
GIM_FIELD_AT(THourPriceRecord, HN, 10);
GIM_FIELD_AT(THourPriceRecord, HEX, 12);
GIM_FIELD_AT(THourPriceRecord, HEN, 14);
GIM_FIELD_AT(THourPriceRecord, HEF, 16);
GIM_FIELD_AT(THourPriceRecord, HEC, 18);
GIM_FIELD_AT(THourPriceRecord, Price2, 20);
GIM_FIELD_AT(THourPriceRecord, Price3, 22);
GIM_FIELD_AT(THourPriceRecord, Fecha, 24);
GIM_FIELD_AT(THourPriceRecord, Activo, 35);
// The spare byte and the table's active flag are not the file's: a new record has them zero.
GIM_RECORD_FIELDS(THourPriceRecord, &THourPriceRecord::Matricula, &THourPriceRecord::HCONTRATO,
                  &THourPriceRecord::HN, &THourPriceRecord::HEX, &THourPriceRecord::HEN,
                  &THourPriceRecord::HEF, &THourPriceRecord::HEC, &THourPriceRecord::Price2,
                  &THourPriceRecord::Price3, &THourPriceRecord::Fecha);

} // namespace gim
