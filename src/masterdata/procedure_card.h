#pragma once

#include "platform/card.h"
#include "records/procedure_record.h"

#include <QString>

namespace gim {

struct Context;

// The procedure card TInstru and the modal results of its buttons. They are this card's own: the
// routine card deletes with 7, this one with 6.
namespace ProcedureCardResult {
inline constexpr int Save = 1;   // Salvar "Sal&var"; "SAL&VAR" in the add, "&Buscar" as a filter
inline constexpr int Exit = 2;   // BitBtn1 "&Salir" and the close box
inline constexpr int Delete = 6; // Borrar "&Borrar"
} // namespace ProcedureCardResult

inline constexpr const char* kProcedureCardCaption = "Procedimientos / Instrucciones";

// The card's controls.
namespace ProcedureCard {
inline const QString Code = QStringLiteral("Codigo");
inline const QString MachineName = QStringLiteral("LabelMaquina");
inline const QString Speciality = QStringLiteral("Espec");
inline const QString SpecialityText = QStringLiteral("LabelEspec");
inline const QString Procedure = QStringLiteral("Proced");
inline const QString Instruction = QStringLiteral("inst");
inline const QString MachineState = QStringLiteral("Estado");
inline const QString StateText = QStringLiteral("LabelEstado");
inline const QString Minutes = QStringLiteral("TIEMPO");
inline const QString Description = QStringLiteral("Descripcion");
inline const QString Picture = QStringLiteral("Image1");   // the path of the picture shown
inline const QString PhotoButton = QStringLiteral("FOTO"); // keeps the card open
inline const QString SaveButton = QStringLiteral("Salvar");
inline const QString ExitButton = QStringLiteral("BitBtn1");
inline const QString DeleteButton = QStringLiteral("Borrar");
} // namespace ProcedureCard

// The meanings beside the speciality and state combos; empty for a code they do not know (the label
// then keeps what it showed).
QString ProcedureSpecialityMeaning(const QString& code);
QString ProcedureStateMeaning(const QString& code);

// The card as data. With `machineChoices` the code combo offers "*" and every machine code (the machine
// list is loaded when it is not); the picture of the typed key is shown on leaving the instruction
// number, and the photo button stores a new one (ActionCode "A" and "E" only).
CardSpec ProcedureCardSpec(Context& ctx, bool machineChoices);
// The card showing a record.
CardState ProcedureCardState(const TProcedureRecord& rec);
// The controls into `rec`; its other bytes stay.
void ReadProcedureCard(const CardState& state, TProcedureRecord& rec);

// Runs the card on `rec` as ActionCode and OutputCode say. Save: the controls into `rec`, AnswerCode "M"
// and the card's saved flag; Salir: code "#", AnswerCode ""; Borrar: code "Z", AnswerCode "B". In import
// mode without cards the record counts as saved unseen. Returns the card's result.
int ShowProcedureCard(Context& ctx, TProcedureRecord& rec);

// The picture ProcedurePictureName of the environment's procedure folder into the card, when it exists.
void ShowProcedurePicture(Context& ctx, CardState& state);

} // namespace gim
