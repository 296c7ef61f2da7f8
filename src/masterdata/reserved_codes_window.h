#pragma once

#include "platform/card.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace gim {

struct Context;

// The window of the reserved codes (TCodReser) as a card: two sheets, the seven action lists and the
// three routine lists, each a check list named as its list ("CodPreven") under its caption, an item's tick
// its code's visibility; clicking a code shows its description below the sheets. Results: Save, Print
// ("&LISTAR"), Exit.

// `descriptions` are the lines "code  description" of the file's records, in record order.
CardSpec ReservedCodesCardSpec(const QStringList& descriptions);
// The window as created: every code shown, no description.
CardState FreshReservedCodesState();
// The visibility flags the window shows, one per record.
std::vector<bool> VisibleFlagsOf(const CardState& state);

// Fills the window from the file, read-only; returns false (nothing loaded, the message shown) when it
// cannot be opened.
bool LoadReservedCodes(Context& ctx, CardState& state, QStringList& descriptions);

// Utiles > Códigos Rsv.: the window; saving rewrites the file, listing lists it. The first use creates
// the file with every code shown.
void EditReservedCodes(Context& ctx);
// Every code of the file with its visibility.
void ListReservedCodes(Context& ctx);
// The upload file of the preventive action codes that are shown ("PORTAL_TM.rtf").
void ExportMaintenanceTypes(Context& ctx);

} // namespace gim
