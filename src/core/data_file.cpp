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

// Lock failures that no wait mends: the file system (a FUSE mount, some network shares) cannot lock.
bool LockUnsupported(int err)
{
    return err == ENOLCK || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// The program may not write from now on: every write is refused with `cause`, which the caller shows.
[[noreturn]] void BecomeReadOnly(Context& ctx, WriteLockState& lock, const QString& cause)
{
    if (lock.fd >= 0)
        ::close(lock.fd);
    lock.fd = -1;
    ctx.st.ReadOnlyReason = QStringLiteral("NO SE PUEDE BLOQUEAR LA CARPETA DE DATOS: ") + cause +
                            QStringLiteral(". SOLO SE PUEDE CONSULTAR.");
    throw IoAbort(IoCode::WriteProtected, ctx.st.WorkDir, ctx.st.ReadOnlyReason);
}

// Takes the folder's lock: an open-file-description lock on the whole of the folder's lock file, which
// local file systems and network mounts alike honour. Without the folder there is nothing to write either:
// the write itself fails and says why. A lock that cannot be had for any other reason than another
// program holding it makes this program read-only: it never writes without the lock.
void TakeFolderLock(Context& ctx, WriteLockState& lock)
{
    const QString folder = ctx.st.WorkDir;
    const QString lockName = QStringLiteral("GIM.LCK");
    if (const int err = ctx.faults ? ctx.faults->Check(FileOp::Lock, folder) : 0) {
        if (LockUnsupported(err))
            BecomeReadOnly(ctx, lock, QStringLiteral("EL SISTEMA DE FICHEROS NO ADMITE BLOQUEOS"));
        throw IoAbort(IoCode::LockViolation, folder);
    }
    const QString path = folder + QLatin1Char('/') + lockName;
    // Made like the data files, so that every user who may write them may take the lock too.
    lock.fd = OpenLikeDataFiles(ctx, path, O_RDWR);
    if (lock.fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            return;
        BecomeReadOnly(ctx, lock, IoErrorTextOf(IoCodeFromErrno(err), lockName));
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
        if (err != EAGAIN && err != EACCES && err != EINTR)
            BecomeReadOnly(ctx, lock,
                           LockUnsupported(err) ? QStringLiteral("EL SISTEMA DE FICHEROS NO ADMITE BLOQUEOS")
                                                : IoErrorTextOf(IoCodeFromErrno(err), lockName));
        if (waited >= kLockWaitMs) {
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
        RefuseWriteWhenReadOnly(ctx);
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

void RefuseWriteWhenReadOnly(Context& ctx)
{
    if (!ctx.st.ReadOnlyReason.isEmpty())
        throw IoAbort(IoCode::WriteProtected, ctx.st.WorkDir, ctx.st.ReadOnlyReason);
}

bool FolderLockedByAnother(Context& ctx)
{
    if (WriteLockHeld(ctx))
        return false;
    const int fd = ::open(QFile::encodeName(ctx.st.WorkDir + QStringLiteral("/GIM.LCK")).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock range
    {
    };
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK;
    ::close(fd);
    return held;
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
    // that an interrupted rewrite left behind; the file it was to replace is whole. A program that may
    // not write leaves them to one that may.
    if (!ctx.st.ReadOnlyReason.isEmpty())
        return;
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
