#pragma once

#include <QString>
#include <functional>
#include <string>

namespace gim::test {

// Runs `body` in a child process that cannot override file permissions: when the tests run as root,
// the child first becomes the unprivileged user "nobody" (root ignores write protection). The folder
// `dataDir` is opened to every user so the child can work in it; files keep their own modes, so a file
// that root created with mode 0644 or 0444 is write-protected for the child. Returns what `body`
// returned (empty for success) or why the child failed. `shareLock` opens the lock file to every user too.
std::string RunUnprivileged(const QString& dataDir, const std::function<std::string()>& body,
                            bool shareLock = true);

// Makes a file read-only for everyone.
void WriteProtect(const QString& path);

} // namespace gim::test
