#pragma once

#include "platform/card.h"
#include "records/machine_record.h"

namespace gim {

struct Context;

// The machine card TFormMQ and the modal results of its buttons.
namespace MachineCardResult {
inline constexpr int Save = 1;   // Button1: "SI&GUIENTE", "SAL&VAR" in the add and edit cards
inline constexpr int Exit = 2;   // BitBtn1 "&SALIR" and the close box
inline constexpr int Print = 4;  // impresion: "&IMPRIME", "MEMO" in the edit card
inline constexpr int Delete = 6; // Button2 "&BORRAR"
} // namespace MachineCardResult

inline constexpr const char* kMachineCardCaption = "FICHA DE CODIFICACION DE MAQUINAS";

enum class MachineCardUse { Add, Edit };

// The card as data. Its save button copies the seven controls into CurrentMachine; its photo box names
// the photo. The caller sets its save and delete requests from the card's result.
CardSpec MachineCardSpec(Context& ctx);
// The seven controls into `rec`, each cut to its field.
void ReadMachineCard(const CardState& state, TMachineRecord& rec);

// A fresh card showing `rec`: the add card shows code, name, model and serial number and keeps the
// form's defaults for the rest (the account follows the code when the code is left); the edit card shows
// every field and locks the code in ActionCode "3".
CardState MachineCardState(const Context& ctx, const TMachineRecord& rec, MachineCardUse use);

} // namespace gim
