#pragma once

#include "records/record_fields.h"

namespace gim {

// A machine's yearly maintenance budget (.PTO), one per machine in machine-file order.
struct TBudgetRecord
{
    ShortString<8> MachineCode;
    Byte Spare9[3];
    // Minutes per year.
    LeI32 CN; // conductive
    LeI32 PV; // preventive
    LeI32 AV; // breakdowns
    LeI32 RP; // planned repairs
    // Whole amounts.
    LeI32 AL; // store materials
    LeI32 EX; // outside work
};
GIM_RECORD_SIZE(TBudgetRecord, 36);
GIM_FIELD_AT(TBudgetRecord, MachineCode, 0);
GIM_FIELD_AT(TBudgetRecord, Spare9, 9);
GIM_FIELD_AT(TBudgetRecord, CN, 12);
GIM_FIELD_AT(TBudgetRecord, PV, 16);
GIM_FIELD_AT(TBudgetRecord, AV, 20);
GIM_FIELD_AT(TBudgetRecord, RP, 24);
GIM_FIELD_AT(TBudgetRecord, AL, 28);
GIM_FIELD_AT(TBudgetRecord, EX, 32);
// The spare bytes are left out: a new record has them zero.
GIM_RECORD_FIELDS(TBudgetRecord, &TBudgetRecord::MachineCode, &TBudgetRecord::CN, &TBudgetRecord::PV,
                  &TBudgetRecord::AV, &TBudgetRecord::RP, &TBudgetRecord::AL, &TBudgetRecord::EX);

} // namespace gim
