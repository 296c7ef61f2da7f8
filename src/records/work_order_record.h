#pragma once

#include "records/record_fields.h"
#include "records/short_string.h"

namespace gim {

// A work order (.OTR) or a repair budget (.PRO). The record index is the order's number; the files only
// grow.
struct TWorkOrderRecord
{
    LeI32 Number;
    ShortString<8> Refex; // the web service's order reference; empty for orders made here
    ShortString<130> Description;
    ShortString<24> Requester;
    // Week codes; a date never set reads empty or as the mask text "  /  / ".
    ShortString<8> NoticeDate;
    ShortString<8> StartDate;
    ShortString<8> CloseDate;
    ShortString<8> Machine; // machine or section code; "#" none
    // Time texts "h:mm".
    ShortString<5> NoticeHour;
    ShortString<5> StartHour;
    ShortString<5> CloseHour;
    ShortString<2> State;     // "P" "T" "E" "M" "S" "A"
    ShortString<2> Type;      // "P" programmed, "U" urgent, "C" critical
    ShortString<2> PhotoFlag; // "SI" when the web service holds a photo
};
GIM_RECORD_SIZE(TWorkOrderRecord, 232);
GIM_FIELD_AT(TWorkOrderRecord, Number, 0);
GIM_FIELD_AT(TWorkOrderRecord, Refex, 4);
GIM_FIELD_AT(TWorkOrderRecord, Description, 13);
GIM_FIELD_AT(TWorkOrderRecord, Requester, 144);
GIM_FIELD_AT(TWorkOrderRecord, NoticeDate, 169);
GIM_FIELD_AT(TWorkOrderRecord, StartDate, 178);
GIM_FIELD_AT(TWorkOrderRecord, CloseDate, 187);
GIM_FIELD_AT(TWorkOrderRecord, Machine, 196);
GIM_FIELD_AT(TWorkOrderRecord, NoticeHour, 205);
GIM_FIELD_AT(TWorkOrderRecord, StartHour, 211);
GIM_FIELD_AT(TWorkOrderRecord, CloseHour, 217);
GIM_FIELD_AT(TWorkOrderRecord, State, 223);
GIM_FIELD_AT(TWorkOrderRecord, Type, 226);
GIM_FIELD_AT(TWorkOrderRecord, PhotoFlag, 229);
GIM_RECORD_FIELDS(TWorkOrderRecord, &TWorkOrderRecord::Number, &TWorkOrderRecord::Refex,
                  &TWorkOrderRecord::Description, &TWorkOrderRecord::Requester, &TWorkOrderRecord::NoticeDate,
                  &TWorkOrderRecord::StartDate, &TWorkOrderRecord::CloseDate, &TWorkOrderRecord::Machine,
                  &TWorkOrderRecord::NoticeHour, &TWorkOrderRecord::StartHour, &TWorkOrderRecord::CloseHour,
                  &TWorkOrderRecord::State, &TWorkOrderRecord::Type, &TWorkOrderRecord::PhotoFlag);

} // namespace gim
