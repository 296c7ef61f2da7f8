#include "support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace gim::test {

std::string RunUnprivileged(const QString& dataDir, const std::function<std::string()>& body, bool shareLock)
{
    if (shareLock)
        ::chmod(QFile::encodeName(dataDir + QStringLiteral("/GIM.LCK")).constData(), 0666);
    // The folder and the temporary folders above it must let the child through.
    const QString temp = QDir::tempPath();
    for (QString dir = QDir::cleanPath(dataDir); dir.startsWith(temp + QLatin1Char('/'));
         dir = QFileInfo(dir).path())
        ::chmod(QFile::encodeName(dir).constData(), 0777);
    int channel[2];
    if (::pipe(channel) != 0)
        return "pipe failed";
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0)
        return "fork failed";
    if (child == 0) {
        ::close(channel[0]);
        std::string result;
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            result = "could not drop privileges";
        else
            result = body();
        if (!result.empty() && ::write(channel[1], result.data(), result.size()) < 0)
            ::_exit(3);
        ::_exit(result.empty() ? 0 : 1);
    }
    ::close(channel[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status))
        return "child ended abnormally" + (out.empty() ? std::string() : ": " + out);
    if (WEXITSTATUS(status) != 0 && out.empty())
        return "child failed with status " + std::to_string(WEXITSTATUS(status));
    return out;
}

void WriteProtect(const QString& path)
{
    ::chmod(QFile::encodeName(path).constData(), 0444);
}

} // namespace gim::test
