#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace gim {

struct Context;

// The upload files of the web service ("PORTAL_MQ.rtf", "PORTAL_TM.rtf") lie in the exchange folder, the
// old "C:\CopiaSeg\VeltWeb" under the parent of the data folder. They are plain text in spite of their
// extension: Windows-1252 lines ending in CR LF.

// Writes the file whole, crash-safely, creating the folder when missing, and tells the user: "Se ha
// generado correctamente el FICHERO en " + its name, or the error's message. Returns whether it was written.
bool WriteWebUploadFile(Context& ctx, const QString& fileName, const QStringList& lines);

// The file's name as the messages give it: "C:\CopiaSeg\VeltWeb\" + name.
QString WebUploadDisplayName(const QString& fileName);

} // namespace gim
