#pragma once

#include "platform/card_binding.h"
#include "platform/code_table.h"
#include "records/spare_part_record.h"

#include <QString>

namespace gim {

struct Context;

// The spare-part card TFREPUESTO ("REPUESTOS DE MÁQUINAS") on `rec`. While InteractiveFlag is clear the
// record is taken as it is and the card is not shown. Saved: the fields are read back and AnswerCode
// follows ActionCode ("M", "E", "A", else "0"); left: Codigo "#", AnswerCode "N", RunFlag 0 and the add
// series ends; deleted: Codigo "Z", AnswerCode "B". A ticked picture box opens the part's picture. Returns
// the card's result (Save when it was not shown).
int ShowSparePartForm(Context& ctx, TSparePartRecord& rec);
// The part card's controls and the record fields they show.
const CardBinding<TSparePartRecord>& SparePartCardBinding();

// The tables of the part key, with the labels the cards show beside the codes: the equipment families,
// and the uses in the table's order.
CodeTable PartFamilies();
CodeTable PartUses();

} // namespace gim
