#include "core/data_file.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace gim {

namespace {

// How long a write waits for another program on the same folder before it gives up.
constexpr int kLockWaitMs = 5000;
constexpr int kLockPollMs = 10;

// The folder lock of one context: the descriptor of the lock file while held, and how deeply the
// writes holding it nest.
struct WriteLockState
{
    int fd = -1;
    int depth = 0;
};

} // namespace

WriteLock::WriteLock(Context& ctx) : m_ctx(ctx)
{
    WriteLockState& lock = ctx.Module<WriteLockState>();
    if (lock.depth++ > 0)
        return;
    // The lock is taken on the data folder itself, so that it leaves no file behind.
    const QString path = ctx.st.WorkDir;
    if (ctx.faults && ctx.faults->Check(FileOp::Lock, path) != 0) {
        lock.depth = 0;
        throw IoAbort(IoCode::LockViolation, path);
    }
    lock.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // Without the folder there is nothing to write either: the write itself fails and says why.
    if (lock.fd < 0)
        return;
    for (int waited = 0;; waited += kLockPollMs) {
        if (::flock(lock.fd, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return; // a file system without locks: go on as the old program did
        if (waited >= kLockWaitMs) {
            ::close(lock.fd);
            lock.fd = -1;
            lock.depth = 0;
            throw IoAbort(IoCode::LockViolation, path);
        }
        QThread::msleep(kLockPollMs);
    }
}

bool WriteLockHeld(Context& ctx)
{
    return ctx.Module<WriteLockState>().depth > 0;
}

WriteLock::~WriteLock()
{
    WriteLockState& lock = m_ctx.Module<WriteLockState>();
    if (--lock.depth > 0 || lock.fd < 0)
        return;
    ::flock(lock.fd, LOCK_UN);
    ::close(lock.fd);
    lock.fd = -1;
}

void RemoveLeftoverTemporaryFiles(Context& ctx)
{
    // Under the lock no other program is half-way through a rewrite, so every temporary file is one
    // that an interrupted rewrite left behind; the file it was to replace is whole.
    WriteLock lock(ctx);
    const QDir folder(ctx.st.WorkDir);
    for (const QString& name : folder.entryList({QStringLiteral("*.tmp~")}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
}

void ShowPositionError(Context& ctx)
{
    ctx.ui.ShowMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
}

} // namespace gim
