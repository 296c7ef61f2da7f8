#pragma once

#include <QString>

namespace gim {

// The old program kept some folders at fixed Windows drive paths ("C:\CopiaSeg\VeltWeb"). Here such a
// path lies under the parent folder of the data folder, so that the data folder and its exchange folders
// travel together: "C:\CopiaSeg\VeltWeb" with data in /srv/gim/PLANTA is /srv/gim/CopiaSeg/VeltWeb.
// The drive letter is dropped; the folders resolve case-insensitively as the data sub-folders do.
QString DrivePath(const QString& baseDir, const QString& windowsPath);

// The exchange folder of the web service, "C:\CopiaSeg\VeltWeb".
inline constexpr const char* kWebExchangeFolder = "C:\\CopiaSeg\\VeltWeb";
QString WebExchangeFolder(const QString& baseDir);

} // namespace gim
