#pragma once

#include "records/spare_part_record.h"

#include <QString>
#include <optional>
#include <span>

namespace gim {

struct Context;

// The spare-part card TFREPUESTO ("REPUESTOS DE MÁQUINAS") on `rec`. While InteractiveFlag is clear the
// record is taken as it is and the card is not shown. Saved: the fields are read back and AnswerCode
// follows ActionCode ("M", "E", "A", else "0"); left: Codigo "#", AnswerCode "N", RunFlag 0 and the add
// series ends; deleted: Codigo "Z", AnswerCode "B". A ticked picture box opens the part's picture. Returns
// the card's result (Save when it was not shown).
int ShowSparePartForm(Context& ctx, TSparePartRecord& rec);

// A code of the part key's tables with the label the cards show beside it.
struct PartCodeLabel
{
    const char* code;
    const char* label;
};
// The equipment families, and the uses in the table's order.
std::span<const PartCodeLabel> PartFamilies();
std::span<const PartCodeLabel> PartUses();
// The label of a code of `table`; none for a code outside it.
std::optional<QString> PartCodeLabelOf(std::span<const PartCodeLabel> table, const QString& code);

} // namespace gim
