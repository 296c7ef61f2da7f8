#pragma once

#include "platform/shell.h"

namespace gim {

// Hands files and addresses to the desktop's default applications and starts programs detached.
class QtShell final : public Shell
{
public:
    bool OpenPath(const QString& absolutePath) override;
    bool OpenUrl(const QString& url) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
};

} // namespace gim
