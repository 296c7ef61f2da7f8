#pragma once

#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/machine_record.h"

namespace gim {

struct Context;

enum class MachineCardUse { Add, Edit };

// The machine card TFormMQ as data. The add card shows code, name, model and serial number and the
// form's own defaults for the rest (the account follows the code when the code is left); the edit card
// shows every field and locks the code in ActionCode "3", and saves only a machine whose code and account
// pass the machine-code checks (the card stays open). Its photo box names the photo. The caller reads
// what to do from the card's result: Save, Delete, Print ("MEMO" on the edit card) or Exit.
CardSpec MachineCardSpec(Context& ctx, MachineCardUse use);
// The seven controls and the machine's fields; read back each text cut to its field.
const CardBinding<TMachineRecord>& MachineCardBinding();

} // namespace gim
