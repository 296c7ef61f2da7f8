#pragma once

#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/personnel_record.h"

namespace gim {

struct Context;

// What a personnel card is opened for: a new card refuses a number the personnel file holds already.
enum class PersonnelCardUse { New, Edit };

// The personnel card TFichaRCH as data, with the controls ActionCode locks: "1" the leaving date, "2" the
// delete button (and the save button reads "Siguiente"), "3" the number. Its "Foto" button names the
// card's photo and keeps the card open. A date that is not one of the calendar is refused; a blank date
// is none. Results: Save, Delete, Exit.
CardSpec PersonnelCardSpec(Context& ctx, PersonnelCardUse use = PersonnelCardUse::Edit);
// The card's controls and the record's fields; read back each text cut to its width, a date left blank as
// ".." (no date).
const CardBinding<TPersonnelRecord>& PersonnelCardBinding();

// The text a date mask leaves, as the card stores it: a mask without a digit typed is "..".
QString StoredDateText(const QString& maskText);

} // namespace gim
