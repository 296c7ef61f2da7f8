#pragma once

#include "platform/card.h"
#include "records/predictive_record.h"

namespace gim {

struct Context;

// The predictive card TValorMD as data: its lists, labels and picture button follow ActionCode ("1" and
// "4" measurements, "5" and "3" alarm levels, "2", "6" and "7" control selections, "i" an import).
// Numbers are checked by their fields' range; where a measurement or a level is stored (not `selecting`
// a control to edit), the speciality and the frequency or alarm kind are codes of the card's tables.
CardSpec PredictiveCardSpec(Context& ctx, bool selecting = false);

// Shows `rec` on the card. Sal&var reads the card back (ContinueFlag 1, AnswerCode "M"); &Salir gives the
// code "#" (AnswerCode the escape character); &Borrar the code "Z" (AnswerCode "B"). The card shows the
// week of the year; the week kept is that week in WorkYear, at most PlanWeeks; an imported record keeps
// its own year. Returns the card's result.
int ShowPredictiveForm(Context& ctx, TPredictiveRecord& rec, bool selecting = false);

// ShowPredictiveForm, then a code that is not in the machine file is refused with a message and becomes
// "#".
int PredictiveControlLookup(Context& ctx, TPredictiveRecord& rec);

// The card's code list := the code of every alarm level, its position list := the positions of the
// alarm levels of the code on the card. CurrentAlarmLevel is left holding the file's last record.
void FillPositionList(Context& ctx, CardState& state);

} // namespace gim
