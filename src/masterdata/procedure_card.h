#pragma once

#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/procedure_record.h"

#include <QString>

namespace gim {

struct Context;

// What a procedure card is opened for: a record, as ActionCode and OutputCode say, or the listing's filter.
enum class ProcedureCardUse { Record, Filter };

// The meanings beside the speciality and state combos; empty for a code they do not know (the label
// then keeps what it showed).
QString ProcedureSpecialityMeaning(const QString& code);
QString ProcedureStateMeaning(const QString& code);

// The procedure card TInstru as data. A record card locks the key in ActionCode "E"; with OutputCode "P"
// or "I" it saves with "SAL&VAR" and cannot delete, and "P" fixes the instruction to the heading's. Its
// code combo offers "*" and every machine code (the machine list is loaded when it is not), except in the
// edit. It refuses a time that is no number of the minutes field, and a speciality or state not in its
// list. The picture of the typed key is shown on leaving the instruction number, and the photo button
// stores a new one (ActionCode "A" and "E" only). The filter card searches with "&Buscar", takes "*" for
// any speciality and cannot delete. Results: Save, Delete, Exit.
CardSpec ProcedureCardSpec(Context& ctx, ProcedureCardUse use);
// The card's controls and the record's fields; the other bytes of a record stay.
const CardBinding<TProcedureRecord>& ProcedureCardBinding();

// The picture ProcedurePictureName of the environment's procedure folder into the card, when it exists.
void ShowProcedurePicture(Context& ctx, CardState& state);

} // namespace gim
