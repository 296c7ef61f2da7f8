#pragma once

#include "records/breakdown_record.h"

#include <QString>

namespace gim {

struct Context;

inline constexpr const char* kBreakdownCardCaption = "FICHA DE AVERIAS E INTERVENCIONES ACCIDENTALES  ";
// A year before the plan's first year has no absolute week: the 16-bit week would wrap round.
inline constexpr const char* kBreakdownYearBeforePlan = "AÑO ANTERIOR AL PRIMER AÑO DEL PLANING";

// The card TAverias on `rec`: a new breakdown, or a search card with ActionCode "2", "3" or "4" ("&Buscar",
// no "&BORRAR"). Shown only when InteractiveFlag is set; saved, it is read back and WorkYear := the card's
// year. The week is shown as week of the year and stored absolute again in that year whatever the button.
// &SALIR leaves code "#". Returns the card's result (Save when it was not shown).
int ShowBreakdownCard(Context& ctx, TBreakdownRecord& rec);

// The same card as a search card whatever the ActionCode: the filter of a report.
int ShowBreakdownSearchCard(Context& ctx, TBreakdownRecord& rec);

// The edit card of one listed breakdown: captioned with the machine's name and the breakdown's year, the
// code locked and the calendar hidden. Saved, it is read back as the add card is.
int ShowBreakdownEditCard(Context& ctx, TBreakdownRecord& rec, const QString& machineName);

// "dd/mm/yy-hh:mm" of now, as the notice and repair-start fields take it.
QString BreakdownTimeStamp(Context& ctx);

} // namespace gim
