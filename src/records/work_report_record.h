#pragma once

#include "records/record_fields.h"

namespace gim {

// One line of a daily work report (.PDA, and the year files .P<yy>), sorted by dia + Matricula,
// latest first.
struct TWorkReportRecord
{
    ShortString<6> Matricula; // operator; "#" not given, "Z" deleted
    ShortString<8> Codigo;    // machine code; "ALMACEN_" for store lines
    ShortString<8> Orden;     // order or budget number as text; for "PTF" the service-hours reading
    // The part's dependency code (8 characters) followed by family, use and piece (8 characters).
    ShortString<16> SparePart;
    ShortString<3> Tipo;  // activity type
    ShortString<3> TIPOH; // hour type
    ShortString<7> dia;   // week code
    ShortString<48> Descripcion;
    Byte Spare107;
    LeI32 Tparo;  // stop minutes; units taken for "AL"; delivery-note cost in cents for "ALB"
    LeI32 Tinter; // intervention minutes; unit cost in cents for "AL"
};
GIM_RECORD_SIZE(TWorkReportRecord, 116);
GIM_FIELD_AT(TWorkReportRecord, Matricula, 0);
GIM_FIELD_AT(TWorkReportRecord, Codigo, 7);
GIM_FIELD_AT(TWorkReportRecord, Orden, 16);
GIM_FIELD_AT(TWorkReportRecord, SparePart, 25);
GIM_FIELD_AT(TWorkReportRecord, Tipo, 42);
GIM_FIELD_AT(TWorkReportRecord, TIPOH, 46);
GIM_FIELD_AT(TWorkReportRecord, dia, 50);
GIM_FIELD_AT(TWorkReportRecord, Descripcion, 58);
GIM_FIELD_AT(TWorkReportRecord, Spare107, 107);
GIM_FIELD_AT(TWorkReportRecord, Tparo, 108);
GIM_FIELD_AT(TWorkReportRecord, Tinter, 112);
GIM_RECORD_FIELDS(TWorkReportRecord, &TWorkReportRecord::Matricula, &TWorkReportRecord::Codigo,
                  &TWorkReportRecord::Orden, &TWorkReportRecord::SparePart, &TWorkReportRecord::Tipo,
                  &TWorkReportRecord::TIPOH, &TWorkReportRecord::dia, &TWorkReportRecord::Descripcion,
                  &TWorkReportRecord::Tparo, &TWorkReportRecord::Tinter);

} // namespace gim
