#pragma once

#include "platform/card.h"
#include "records/personnel_entry_record.h"

#include <QString>

namespace gim {

struct Context;

inline constexpr const char* kPersonnelEntryCardCaption = "APUNTES EN EXPEDIENTE PERSONAL";

// The text shown beside an entry type ("V" gives "Vacaciones"); "" for a type that is not one of them.
QString EntryTypeText(const QString& type);

// The entry card. With ActionCode "5" it shows `entry` and its second button erases it ("Borrar");
// otherwise the number offers every employee and the second button goes on to the next card. Saving
// asks for a type of the list (not "*" or "#"), a week code that exists, a time in minutes and an
// employee of the personnel list; a refusal keeps the card open.
CardSpec PersonnelEntryCardSpec(Context& ctx);

// Shows the card for `entry`. Sal&var: every control read back into `entry`. &Salir or the close box:
// RunFlag := 0 and number "#". The second button: number "Z" (Borrar) with ActionCode "5", else "#".
// Returns the card's result.
int ShowPersonnelEntryCard(Context& ctx, TPersonnelEntryRecord& entry);

} // namespace gim
