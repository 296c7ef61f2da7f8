#pragma once

#include "records/record_fields.h"

namespace gim {

// The planning horizon (.LON, one record), in years since 2000.
struct TPlanYearsRecord
{
    Byte FirstYear;
    Byte LastYear;
};
GIM_RECORD_SIZE(TPlanYearsRecord, 2);
GIM_FIELD_AT(TPlanYearsRecord, FirstYear, 0);
GIM_FIELD_AT(TPlanYearsRecord, LastYear, 1);

// One plan week (.CAR): record i is plan week index i.
struct TAgendaRecord
{
    LeU16 FreeMinutes;     // preventive minutes still available
    LeI16 PlannedMinutes;  // preventive minutes planned by the loaded machines
    LeU16 ReservedMinutes; // kept for repairs and reforms
    ShortString<48> Note;  // record 0 holds the firm name instead
    Byte Spare55;
};
GIM_RECORD_SIZE(TAgendaRecord, 56);
GIM_FIELD_AT(TAgendaRecord, FreeMinutes, 0);
GIM_FIELD_AT(TAgendaRecord, PlannedMinutes, 2);
GIM_FIELD_AT(TAgendaRecord, ReservedMinutes, 4);
GIM_FIELD_AT(TAgendaRecord, Note, 6);
GIM_FIELD_AT(TAgendaRecord, Spare55, 55);
// The spare byte is left out: a new record has it zero.
GIM_RECORD_FIELDS(TAgendaRecord, &TAgendaRecord::FreeMinutes, &TAgendaRecord::PlannedMinutes,
                  &TAgendaRecord::ReservedMinutes, &TAgendaRecord::Note);

// A machine loaded into the plan (.PLN), in loading order.
struct TPlanRecord
{
    ShortString<8> Code; // machine code; "Z" unloaded
    Byte Spare9;
    LeU16 StartWeek; // plan week index
};
GIM_RECORD_SIZE(TPlanRecord, 12);
GIM_FIELD_AT(TPlanRecord, Code, 0);
GIM_FIELD_AT(TPlanRecord, Spare9, 9);
GIM_FIELD_AT(TPlanRecord, StartWeek, 10);
// The spare byte is left out: a new entry has it zero.
GIM_RECORD_FIELDS(TPlanRecord, &TPlanRecord::Code, &TPlanRecord::StartWeek);

} // namespace gim
