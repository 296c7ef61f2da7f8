#pragma once

#include "platform/card.h"
#include "records/personnel_record.h"

namespace gim {

struct Context;

// The personnel card TFichaRCH and the modal results of its buttons.
namespace PersonnelCardResult {
inline constexpr int Save = 1;   // salvar "Sal&var", "Siguiente" when browsing
inline constexpr int Exit = 2;   // BitBtn1 "&Salir" and the close box
inline constexpr int Delete = 6; // BitBtn2 "&Borrar"
} // namespace PersonnelCardResult

inline constexpr const char* kPersonnelCardCaption = "FICHA DE DATOS PERSONALES";

// The card as data. Its "Foto" button names the card's photo and keeps the card open.
CardSpec PersonnelCardSpec(Context& ctx);
// A card showing `rec`, with the controls ActionCode locks: "1" the leaving date, "2" the delete button
// (and the save button reads "Siguiente"), "3" the number.
CardState PersonnelCardState(const Context& ctx, const TPersonnelRecord& rec);

// Shows the card for `rec`. Saved: ContinueFlag 1, AnswerCode "M" and every control read back into
// `rec`, cut to its field; a date left blank reads back as ".." (no date). Delete: AnswerCode "B".
// Exit: RunFlag 0. Returns the card's result.
int ShowPersonnelCard(Context& ctx, TPersonnelRecord& rec);

// The text a date mask leaves, as the card stores it: a mask without a digit typed is "..".
QString StoredDateText(const QString& maskText);

} // namespace gim
