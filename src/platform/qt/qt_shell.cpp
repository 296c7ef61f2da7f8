#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace gim {

bool QtShell::OpenPath(const QString& absolutePath)
{
    // The desktop would report a missing file in a window of its own; say no here instead.
    if (!QFileInfo::exists(absolutePath))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
}

bool QtShell::OpenUrl(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty())
        return false;
    return QDesktopServices::openUrl(parsed);
}

bool QtShell::StartProgram(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

} // namespace gim
