#pragma once

#include "masterdata/reserved_codes.h"
#include "masterdata/routines.h"
#include "platform/card.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace gim {

struct Context;

// The operation card TFormGM and the modal results of its buttons. They are this card's own: the
// machine card deletes with 6, this one with 7.
namespace RoutineCardResult {
inline constexpr int Save = 1;   // Button1 "SAL&VAR"; "COPIAR" on the copy card
inline constexpr int Exit = 2;   // BitBtn1 "&SALIR" and the close box
inline constexpr int Next = 6;   // Impresion "&IMPRIME"; "SI&GUIENTE" in the edit
inline constexpr int Delete = 7; // Button2 "&BORRAR"; "NO COPIAR" on the copy card
} // namespace RoutineCardResult

inline constexpr const char* kRoutineCardCaption =
    "FICHA OPERACIONES DE REVISIÓN GAMAS MANTENIMIENTO PREVENTIVO";

// The card's controls.
namespace RoutineCard {
inline const QString Code = QStringLiteral("Label1"); // the machine code, read back as the record's
inline const QString Name = QStringLiteral("Label2");
inline const QString Frequency = QStringLiteral("FercGM");
inline const QString MachineState = QStringLiteral("EstadoGM");
inline const QString Speciality = QStringLiteral("EspGM");
inline const QString Description = QStringLiteral("DescripGM");
inline const QString Minutes = QStringLiteral("TiempoGM");
inline const QString FrequencyText = QStringLiteral("FrecLabel"); // meaning of the typed code
inline const QString StateText = QStringLiteral("EstadoLabel");
inline const QString SpecialityText = QStringLiteral("EspLabel");
inline const QString HoursText = QStringLiteral("TiempoLabel"); // the minutes as hours
inline const QString Rich = QStringLiteral("RichGM");
inline const QString SaveButton = QStringLiteral("Button1");
inline const QString DeleteButton = QStringLiteral("Button2");
inline const QString NextButton = QStringLiteral("Impresion");
inline const QString ExitButton = QStringLiteral("BitBtn1");
// A double click on the description: the procedure headings into RichGM. It keeps the card open.
} // namespace RoutineCard

// The meanings the card shows beside its three codes; "No valida" for any other text.
QString FrequencyMeaning(const QString& code);
QString SpecialityMeaning(const QString& code);
QString MachineStateMeaning(const QString& code);

// A frequency the card keeps: a code that no revision covers becomes "S".
QString CardFrequency(const QString& typed);

// The description combo's items: the built-in verbs and, for a new card, "speciality / description" of
// every listed operation, sorted.
QStringList DescriptionSuggestions(const std::vector<OperationEntry>& list);

// The card as data, with the three code lists and the description items it offers. Leaving the
// speciality narrows the descriptions to those of that speciality (shown in RichGM); every button
// that closes the card puts "S" in place of a frequency no revision covers.
CardSpec RoutineCardSpec(Context& ctx, const GamaCodeChoices& codes, const QStringList& descriptions);

// The card showing an operation of the machine `name`.
CardState RoutineCardState(const TOperationRecord& rec, const QString& name);
// A new card for a machine: every code "..", description ".. ", time "0".
CardState NewRoutineCardState(const QString& code, const QString& name);

// The controls into `rec` (code from Label1); the other bytes of `rec` stay.
void ReadRoutineCard(const CardState& state, TOperationRecord& rec);

// RichGM is a read-only list: one row per line, none current.
void SetRichLines(CardState& state, const QStringList& lines);

// The copy dialog TFcopia.
inline constexpr const char* kCopyDialogCaption = "COPIA OPERACIONES DE REVISION";
namespace CopyDialog {
inline const QString SourceEnvironment = QStringLiteral("Forigen");
inline const QString SourceMachine = QStringLiteral("Morigen");
inline const QString TargetEnvironment = QStringLiteral("Fdestin"); // shown only
inline const QString TargetMachine = QStringLiteral("Mdestin");
inline const QString CopyButton = QStringLiteral("COPIAR");
inline const QString CancelButton = QStringLiteral("CANCELAR");
// A double click on the source environment: choose another environment's operation file.
inline constexpr int Copy = 1;
inline constexpr int Cancel = 2;
} // namespace CopyDialog

CardSpec CopyDialogSpec(Context& ctx);
CardState CopyDialogState(const Context& ctx);

} // namespace gim
