#include "core/data_file.h"

#include "core/file_swap.h"
#include "core/transaction.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
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

namespace {

// Takes the folder's lock: an open-file-description lock on the whole of the folder's lock file, which
// local file systems and network mounts alike honour. Without the folder there is nothing to write either:
// the write itself fails and says why.
void TakeFolderLock(Context& ctx, WriteLockState& lock)
{
    const QString folder = ctx.st.WorkDir;
    if (ctx.faults && ctx.faults->Check(FileOp::Lock, folder) != 0)
        throw IoAbort(IoCode::LockViolation, folder);
    const QString path = folder + QStringLiteral("/GIM.LCK");
    lock.fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return;
        // A folder that takes no new file takes no write either: each write says so itself.
        lock.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (lock.fd < 0)
            return;
    }
    struct flock range
    {
    };
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    for (int waited = 0;; waited += kLockPollMs) {
        if (::fcntl(lock.fd, F_OFD_SETLK, &range) == 0)
            return;
        const int err = errno;
        // A read-only lock file cannot carry a write lock: a read-only folder, where nothing is written.
        if (err == EBADF)
            return;
        // Never written without the lock: a file system that cannot lock stops the write, as a lock another
        // program keeps too long does.
        if ((err != EAGAIN && err != EACCES && err != EINTR) || waited >= kLockWaitMs) {
            ::close(lock.fd);
            lock.fd = -1;
            throw IoAbort(IoCode::LockViolation, folder);
        }
        QThread::msleep(kLockPollMs);
    }
}

void ReleaseFolderLock(WriteLockState& lock)
{
    if (lock.fd < 0)
        return;
    struct flock range
    {
    };
    range.l_type = F_UNLCK;
    range.l_whence = SEEK_SET;
    ::fcntl(lock.fd, F_OFD_SETLK, &range);
    ::close(lock.fd);
    lock.fd = -1;
}

} // namespace

WriteLock::WriteLock(Context& ctx) : m_ctx(ctx)
{
    WriteLockState& lock = ctx.Module<WriteLockState>();
    if (lock.depth++ > 0)
        return;
    try {
        TakeFolderLock(ctx, lock);
        // What an interrupted step left in the journal goes into its files before anything else is done.
        JournalOnFolderLocked(ctx);
        // And a step over whole files is finished, or its scratch files go.
        RecoverFileSwap(ctx);
    } catch (...) {
        ReleaseFolderLock(lock);
        lock.depth = 0;
        throw;
    }
}

bool WriteLockHeld(Context& ctx)
{
    return ctx.Module<WriteLockState>().depth > 0;
}

WriteLock::~WriteLock()
{
    WriteLockState& lock = m_ctx.Module<WriteLockState>();
    if (--lock.depth > 0)
        return;
    ReleaseFolderLock(lock);
}

void RemoveLeftoverTemporaryFiles(Context& ctx)
{
    // Under the lock no other program is half-way through a rewrite, so every temporary file is one
    // that an interrupted rewrite left behind; the file it was to replace is whole.
    WriteLock lock(ctx);
    const QDir folder(ctx.st.WorkDir);
    for (const QString& name : folder.entryList({QStringLiteral("*.tmp~")}, QDir::Files | QDir::Hidden))
        // One that stays is emptied by the next rewrite of its file.
        RemoveDataFile(ctx, name);
}

void ShowPositionError(Context& ctx)
{
    ctx.ui.ShowMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
}

} // namespace gim
