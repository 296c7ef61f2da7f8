#include "core/drive_paths.h"

#include "core/sub_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace gim {

QString DrivePath(const QString& baseDir, const QString& windowsPath)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    QString rest = windowsPath;
    rest.remove(drive);
    const QString parent = QFileInfo(QDir::cleanPath(baseDir)).absolutePath();
    return ResolveSubFolder(parent, rest);
}

QString WebExchangeFolder(const QString& baseDir)
{
    return DrivePath(baseDir, QString::fromLatin1(kWebExchangeFolder));
}

} // namespace gim
