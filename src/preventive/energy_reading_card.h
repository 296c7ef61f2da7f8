#pragma once

#include "platform/card.h"
#include "records/energy_reading_record.h"

namespace gim {

struct Context;

// The meter-reading card TFichaLectura ("LECTURAS DE CONSUMOS ") as data. The machine code is typed only
// when adding (ActionCode "1"); in mode "2" the save button reads "Siguiente" and &Borrar is hidden. The
// reading is a signed whole number, the units 0 to 255 and the date a week code naming a day.
CardSpec ReadingCardSpec(Context& ctx);

// Shows `rec` on the card (units 0 shown as 1). Sal&var reads the card back (AnswerCode "M"); &Salir
// gives the code "#" and ends the series (ReadingSeriesMark 'N', AnswerCode empty); &Borrar the code "Z"
// (ContinueFlag 1, AnswerCode "B"). In mode "i" no card is shown: the import's record is taken as it is
// and the series ends. Returns the card's result (CardResult::Save for an import).
int OpenReadingWindow(Context& ctx, TEnergyReadingRecord& rec);

} // namespace gim
