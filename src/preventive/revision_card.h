#pragma once

#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/revision_record.h"
#include "records/short_string.h"

#include <QString>

namespace gim {

struct Context;

// What the revision card shows and gives back: the revision, the machine's name, the week and year as
// typed (converted by the caller, which knows the year they count from) and the minutes.
struct RevisionForm
{
    TRevisionRecord rec{};
    QString machineName;
    QString week;
    QString year;
    LeU16 minutes{};
};

// The card in each of its roles.
enum class RevisionCardRole {
    Add,    // one new revision
    Search, // &Buscar and Si&gue: the filter of the history browse
    Browse, // Sal&var and &Borrar on a found revision
    Filter, // the listing's filter: &Buscar (or &Imprimir), no second button
    Plan,   // a programmed gama of the plan control: Si&gue, the gama's boxes fixed
};
// The revision card THISTPRV: machine, frequency, state, week, year, executor, minutes and comment, with
// Sal&var (Save), &Reparar (Delete) and &Salir (Exit). Its handlers name the machine and the executor as
// they are typed, and leaving the state "RP" adds a pending repair through the planned repairs. Week,
// year and minutes are checked in every role; the frequency only where the card stores it, as a search
// takes "*".
CardSpec RevisionCardSpec(Context& ctx, RevisionCardRole role);

// What "RP" runs: the planned repairs' add (Op::NewPlannedRepair) in mode "1", then their sorted rewrite
// when it stored a repair; the caller's mode codes and ContinueFlag come back. Nothing without them.
void AddPendingRepair(Context& ctx);

// The card's binding; the machine code is read back only where the card is a search form.
const CardBinding<RevisionForm>& RevisionCardBinding(bool readCode);

// The captions and locked controls of a role. A plan gama already done can only be passed over.
CardState RevisionCardState(RevisionCardRole role, bool printing = false, bool done = false);

// The frequency's text beside its box ("No valida" for a code not listed).
QString FrequencyText(const QString& code);

} // namespace gim
