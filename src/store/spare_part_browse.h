#pragma once

#include "records/spare_part_record.h"
#include "store/store_movements.h"

#include <QString>
#include <optional>

namespace gim {

struct Context;

// Why a handed-over movement was not booked when no part has its key, as an import's echo says it.
inline constexpr const char* kPartMissingReason = "REPUESTO INEXISTENTE";

// The walk over the part file for corrections ("A"), labels ("E"), entries and exits ("M") and the
// handed-over movements ("i", without any window but the movement card): the filter window asks for a key
// with "*" for any code, every matching part in file order is shown on its card and written back in
// place, its list entry with it. Leaving the filter window or a card ends the walk. A changed key or a
// deleted part sets ContinueFlag for the sorted rewrite; a booked handed-over movement sets
// MovementPostedFlag.
void BrowseSpareParts(Context& ctx);

// The filter window: the key to look for, "*" for any code, starting from the handed-over part. With
// `destination` its destination-machine combo shows too ("*" for any) and the answer goes there. Nothing
// when the window was left.
std::optional<TSparePartRecord> AskPartFilter(Context& ctx, QString* destination = nullptr);

// One movement handed in from outside (an import): booked on the part its whole key names, as the browse
// books a handed-over movement (its card shown only while InteractiveFlag is set). Returns whether it
// was booked; MovementPostedFlag is left clear.
bool BookImportedMovement(Context& ctx, const TMovementInput& input);

} // namespace gim
