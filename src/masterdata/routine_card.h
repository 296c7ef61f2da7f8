#pragma once

#include "masterdata/reserved_codes.h"
#include "masterdata/routines.h"
#include "platform/card.h"
#include "platform/card_binding.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace gim {

struct Context;

// The meanings the card shows beside its three codes; "No valida" for any other text.
QString FrequencyMeaning(const QString& code);
QString SpecialityMeaning(const QString& code);
QString MachineStateMeaning(const QString& code);

// A frequency the card keeps: a code that no revision covers becomes "S".
QString CardFrequency(const QString& typed);

// The description combo's items: the built-in verbs and, for a new card, "speciality / description" of
// every listed operation, sorted.
QStringList DescriptionSuggestions(const std::vector<OperationEntry>& list);

// What an operation card is opened for, and what it shows besides the operation.
struct RoutineCardUse
{
    enum class Kind { Add, Edit, Copy };
    Kind kind = Kind::Add;
    QString machineName;
    // Edit: the machine is held by the plan, so the operation can be neither saved nor deleted.
    bool held = false;
    // Copy: the list shows what has been copied so far.
    QStringList summary;
};

// The operation card TFormGM as data, with the three code lists and the description items it offers.
// Leaving the speciality narrows the descriptions to those of that speciality (shown in the list); every
// button that closes the card puts "S" in place of a frequency no revision covers; a time that is no
// number of the minutes field, and a state or speciality the card shows as "No valida", are refused. The
// add card can neither delete nor go on; the edit card goes on with "SI&GUIENTE"; the copy card copies
// with "COPIAR", skips with "NO COPIAR" and shows the summary. Results: Save, Delete, Next ("&IMPRIME",
// "SI&GUIENTE"), Exit.
CardSpec RoutineCardSpec(Context& ctx, const GamaCodeChoices& codes, const QStringList& descriptions,
                         RoutineCardUse use);
// The card's controls and the operation's fields (the code from Label1); the other bytes stay.
const CardBinding<TOperationRecord>& RoutineCardBinding();

// The copy dialog TFcopia: what it asks, as typed.
struct OperationCopyRequest
{
    QString sourceEnvironment; // an environment code, or an operation file's path less its extension
    QString sourceMachine;
    QString targetEnvironment; // shown only
    QString targetMachine;
};
// A double-click on the source environment chooses another environment's operation file. Results: Save
// ("&COPIAR"), Exit.
CardSpec CopyDialogSpec(Context& ctx);
const CardBinding<OperationCopyRequest>& CopyDialogBinding();

} // namespace gim
