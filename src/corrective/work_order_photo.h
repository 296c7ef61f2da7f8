#pragma once

#include <QString>

namespace gim {

struct Context;

// Fetches the photo the web service holds for CurrentWorkOrder (when its photo flag is "SI") from
// "opciones/FOTOS/" + environment + "_" + Refex + ".JPG" into the order's photo folder as
// "#" + number + ".jpg". Only a complete download marks the description and deletes the server's copy.
void DownloadWorkOrderPhoto(Context& ctx);

// Whether an imported reference may name a remote file: letters, digits, "_" and "-" only.
bool IsSafeWebReference(const QString& refex);

} // namespace gim
