#pragma once

#include <QString>
#include <QStringList>

namespace gim {

// Hands files, addresses and programs over to the desktop.
class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a file with the desktop's default application.
    virtual bool OpenPath(const QString& absolutePath) = 0;
    // Opens a URL (http:, mailto:) with the desktop's handler.
    virtual bool OpenUrl(const QString& url) = 0;
    // Starts a program without waiting for it.
    virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
};

} // namespace gim
