#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace gim {

// Sub-folders of the data folder are named the Windows way by their callers ("\MAQUINAS\PORTAL\",
// "\Maquinas", "\procedim\"). They resolve case-insensitively to whatever folder exists, so one folder
// serves every spelling; a folder that has to be created gets the canonical spelling, upper case.

// The names of a sub-folder, split at "\" and "/"; empty names, "." and ".." are dropped, so the result
// always stays below the data folder.
QStringList SubFolderNames(const QString& subFolder);

// The absolute folder baseDir + subFolder: each name matched against the folders that exist (the same
// spelling first, then the canonical one, then the first in name order), a name not found taken in the
// canonical spelling. Creates nothing.
QString ResolveSubFolder(const QString& baseDir, const QString& subFolder);

// ResolveSubFolder, creating whatever is missing; nothing when a folder cannot be created.
std::optional<QString> MakeSubFolder(const QString& baseDir, const QString& subFolder);

} // namespace gim
