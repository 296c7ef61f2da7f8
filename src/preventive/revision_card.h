#pragma once

#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/revision_record.h"

#include <QString>

namespace gim {

struct Context;

// What the revision card shows and gives back: the revision, the machine's name, and the week, year and
// minutes as typed (converted by the caller, which knows the year they count from).
struct RevisionForm
{
    TRevisionRecord rec{};
    QString machineName;
    QString week;
    QString year;
    QString minutes;
};

// The revision card THISTPRV: machine, frequency, state, week, year, executor, minutes and comment, with
// Sal&var (Save), &Reparar (Delete) and &Salir (Exit). Its handlers name the machine and the executor as
// they are typed, and leaving the state "RP" adds a pending repair through the planned repairs.
CardSpec RevisionCardSpec(Context& ctx);

// The card's binding; the machine code is read back only where the card is a search form.
const CardBinding<RevisionForm>& RevisionCardBinding(bool readCode);

// The card in each of its roles.
enum class RevisionCardRole {
    Add,    // one new revision
    Search, // &Buscar and Si&gue: the filter of the history browse
    Browse, // Sal&var and &Borrar on a found revision
    Filter, // the listing's filter: &Buscar (or &Imprimir), no second button
    Plan,   // a programmed gama of the plan control: Si&gue, the gama's boxes fixed
};
// The captions and locked controls of a role. A plan gama already done can only be passed over.
CardState RevisionCardState(RevisionCardRole role, bool printing = false, bool done = false);

// The frequency's text beside its box ("No valida" for a code not listed).
QString FrequencyText(const QString& code);

} // namespace gim
