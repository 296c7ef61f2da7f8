#include "core/file_swap.h"

#include "core/context.h"
#include "core/transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace gim {
namespace {

// The mark of a step under way, in the data folder. It is replaced (by a rename, so it is never seen
// half-written) by the list of moves once their scratch files are synced: from then on the step is
// stored. Scratch files share the prefix and are never data files.
constexpr char kMark[] = ".gim-swap";
constexpr char kScratchPrefix[] = ".gim-swap-";
const QByteArray kPreparing = QByteArrayLiteral("GIM-SWAP\n");
const QByteArray kCommitted = QByteArrayLiteral("GIM-SWAP COMMIT\n");
const QByteArray kEnd = QByteArrayLiteral("END\n");

struct FileSwapState
{
    FileSwap* open = nullptr;
};

QString MarkPath(const Context& ctx)
{
    return ctx.st.WorkDir + QLatin1Char('/') + QLatin1String(kMark);
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// A new empty file with a scratch name; its path, or the error number.
std::pair<QString, int> NewScratchFile(const Context& ctx)
{
    QByteArray name = Native(ctx.st.WorkDir + QLatin1Char('/') + QLatin1String(kScratchPrefix)) + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return {QString(), errno};
    ::fchmod(fd, 0644);
    ::close(fd);
    return {QFile::decodeName(name), 0};
}

// Writes and syncs the whole of `bytes` into the file at `path`; the fault seam sees `named`.
bool WriteSynced(const Context& ctx, const QString& path, const QString& named, const char* data,
                 std::size_t size)
{
    const int fd = ::open(Native(path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = CheckFileFault(ctx, FileOp::Write, named) == 0 && WriteAllAt(fd, data, size, 0) &&
                    CheckFileFault(ctx, FileOp::Sync, named) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// A path of the manifest: relative to the data folder, each byte outside the plain ones escaped, so that
// no name can break a line.
QByteArray Encoded(const QString& relative)
{
    return relative.toUtf8().toPercentEncoding("/");
}

// The path a manifest names, when it lies in the data folder or below.
std::optional<QString> Decoded(const Context& ctx, const QByteArray& field)
{
    const QString relative = QString::fromUtf8(QByteArray::fromPercentEncoding(field));
    if (relative.isEmpty() || relative.startsWith(QLatin1Char('/')))
        return std::nullopt;
    for (const QString& part : relative.split(QLatin1Char('/')))
        if (part == QLatin1String("..") || part.isEmpty())
            return std::nullopt;
    return ctx.st.WorkDir + QLatin1Char('/') + relative;
}

bool Exists(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(Native(path).constData(), &st) == 0;
}

// Puts a stored step's files in place: a scratch file not there any more was renamed already. Every
// folder touched is synced. False when a move fails.
bool FinishMoves(const Context& ctx, const std::vector<std::pair<QString, QString>>& moves,
                 QString* failed = nullptr)
{
    std::set<QString> folders;
    bool ok = true;
    for (const auto& [scratch, target] : moves) {
        folders.insert(QFileInfo(target).absolutePath());
        int err = 0;
        if (scratch.isEmpty()) {
            err = CheckFileFault(ctx, FileOp::Remove, target);
            if (err == 0 && ::unlink(Native(target).constData()) != 0 && errno != ENOENT)
                err = errno;
        } else if (Exists(scratch)) {
            err = CheckFileFault(ctx, FileOp::Rename, target);
            if (err == 0 && ::rename(Native(scratch).constData(), Native(target).constData()) != 0)
                err = errno;
        }
        if (err != 0 && ok) {
            ok = false;
            if (failed)
                *failed = target;
        }
    }
    for (const QString& folder : folders)
        SyncFolder(folder);
    return ok;
}

void RemoveScratchFiles(const Context& ctx)
{
    DIR* dir = ::opendir(Native(ctx.st.WorkDir).constData());
    if (!dir)
        return;
    QStringList names;
    while (const dirent* entry = ::readdir(dir))
        if (std::strncmp(entry->d_name, kScratchPrefix, sizeof kScratchPrefix - 1) == 0)
            names << QFile::decodeName(entry->d_name);
    ::closedir(dir);
    for (const QString& name : names)
        ::unlink(Native(ctx.st.WorkDir + QLatin1Char('/') + name).constData());
}

} // namespace

FileSwap::FileSwap(Context& ctx) : m_ctx(ctx), m_lock(ctx)
{
    // The files replaced must hold no record the journal would later write into them.
    CheckpointJournal(ctx);
    const QString mark = MarkPath(ctx);
    if (const int err = CheckFileFault(ctx, FileOp::Create, mark))
        throw IoAbort(IoCodeFromErrno(err), mark);
    const int fd = ::open(Native(mark).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw IoAbort(IoCodeFromErrno(errno), mark);
    const bool written =
        WriteAllAt(fd, kPreparing.constData(), static_cast<std::size_t>(kPreparing.size()), 0);
    ::close(fd);
    if (!written) {
        ::unlink(Native(mark).constData());
        throw IoAbort(IoCode::DiskWrite, mark);
    }
    ctx.Module<FileSwapState>().open = this;
}

FileSwap::~FileSwap()
{
    m_ctx.Module<FileSwapState>().open = nullptr;
    // A stored step whose renames failed is left for the next recovery to finish.
    if (m_done)
        return;
    for (const Move& move : m_moves)
        if (!move.scratch.isEmpty())
            ::unlink(Native(move.scratch).constData());
    ::unlink(Native(MarkPath(m_ctx)).constData());
}

QString FileSwap::Relative(const QString& path) const
{
    const QString relative = QDir(m_ctx.st.WorkDir).relativeFilePath(path);
    // Recovery finishes only moves inside the data folder: a step never names anything else.
    if (relative.isEmpty() || relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative))
        throw IoAbort(IoCode::InvalidFileName, path);
    return relative;
}

QString FileSwap::Scratch(const QString& target)
{
    Relative(target);
    if (const int err = CheckFileFault(m_ctx, FileOp::Create, target))
        throw IoAbort(IoCodeFromErrno(err), target);
    const auto [scratch, err] = NewScratchFile(m_ctx);
    if (err != 0)
        throw IoAbort(IoCodeFromErrno(err), target);
    m_moves.push_back({scratch, target});
    return scratch;
}

void FileSwap::Stage(const QString& target, std::string_view bytes)
{
    const QString scratch = Scratch(target);
    if (!WriteSynced(m_ctx, scratch, target, bytes.data(), bytes.size()))
        throw IoAbort(IoCode::DiskWrite, target);
}

void FileSwap::Remove(const QString& target)
{
    Relative(target);
    m_moves.push_back({QString(), target});
}

void FileSwap::Capture(std::function<bool(const QString&)> takes)
{
    m_takes = std::move(takes);
}

void FileSwap::Commit()
{
    // What the caller wrote into its scratch files is synced, and every file to be replaced may be:
    // a protected one stops the step here, before anything changed.
    for (const Move& move : m_moves) {
        if (!move.scratch.isEmpty()) {
            const int fd = ::open(Native(move.scratch).constData(), O_RDONLY | O_CLOEXEC);
            const bool synced =
                fd >= 0 && CheckFileFault(m_ctx, FileOp::Sync, move.target) == 0 && ::fsync(fd) == 0;
            if (fd >= 0)
                ::close(fd);
            if (!synced)
                throw IoAbort(IoCode::DiskWrite, move.target);
        }
        struct stat st
        {
        };
        if (::stat(Native(move.target).constData(), &st) == 0) {
            int err = CheckFileFault(m_ctx, FileOp::Open, move.target);
            if (err == 0 && S_ISDIR(st.st_mode))
                err = EISDIR;
            const int probe = err == 0 ? ::open(Native(move.target).constData(), O_WRONLY | O_CLOEXEC) : -1;
            if (err == 0 && probe < 0)
                err = errno;
            if (probe >= 0)
                ::close(probe);
            if (err != 0)
                throw IoAbort(err == EISDIR ? IoCode::AccessDenied : IoCodeFromErrno(err), move.target);
        }
    }
    QByteArray manifest = kCommitted;
    std::vector<std::pair<QString, QString>> moves;
    for (const Move& move : m_moves) {
        manifest += move.scratch.isEmpty() ? QByteArrayLiteral("D\t\t")
                                           : "R\t" + Encoded(Relative(move.scratch)) + '\t';
        manifest += Encoded(Relative(move.target)) + '\n';
        moves.emplace_back(move.scratch, move.target);
    }
    manifest += kEnd;
    const QString mark = MarkPath(m_ctx);
    if (const int err = CheckFileFault(m_ctx, FileOp::Create, mark))
        throw IoAbort(IoCodeFromErrno(err), mark);
    const auto [list, err] = NewScratchFile(m_ctx);
    if (err != 0)
        throw IoAbort(IoCodeFromErrno(err), mark);
    if (!WriteSynced(m_ctx, list, mark, manifest.constData(), static_cast<std::size_t>(manifest.size())) ||
        CheckFileFault(m_ctx, FileOp::Rename, mark) != 0 ||
        ::rename(Native(list).constData(), Native(mark).constData()) != 0) {
        ::unlink(Native(list).constData());
        throw IoAbort(IoCode::DiskWrite, mark);
    }
    SyncFolder(m_ctx.st.WorkDir);
    // Stored: from here a failure is finished by the next recovery, never undone.
    m_done = true;
    QString failed;
    if (!FinishMoves(m_ctx, moves, &failed))
        throw IoAbort(IoCode::CannotRename, failed);
    if (CheckFileFault(m_ctx, FileOp::Remove, mark) == 0)
        ::unlink(Native(mark).constData());
}

bool IsSwapScratch(const QString& fileName)
{
    return fileName.startsWith(QLatin1String(kMark));
}

bool FileSwapTakes(Context& ctx, const QString& path, std::string_view bytes)
{
    FileSwap* open = ctx.Module<FileSwapState>().open;
    if (!open || !open->m_takes || !open->m_takes(path))
        return false;
    open->Stage(path, bytes);
    return true;
}

void RecoverFileSwap(Context& ctx, bool full)
{
    if (ctx.st.WorkDir.isEmpty() || ctx.Module<FileSwapState>().open)
        return;
    const QString mark = MarkPath(ctx);
    const bool marked = Exists(mark);
    if (!marked && !full)
        return;
    if (!WriteLockHeld(ctx)) {
        try {
            WriteLock lock(ctx); // its recovery does the work
            if (full)
                RemoveScratchFiles(ctx);
        } catch (const IoAbort&) {
            // another program holds the folder: it recovers what it finds
        }
        return;
    }
    if (marked) {
        QFile file(mark);
        QByteArray text;
        if (file.open(QIODevice::ReadOnly))
            text = file.readAll();
        if (text.startsWith(kCommitted) && text.endsWith(kEnd)) {
            std::vector<std::pair<QString, QString>> moves;
            const QList<QByteArray> lines =
                text.mid(kCommitted.size(), text.size() - kCommitted.size() - kEnd.size()).split('\n');
            for (const QByteArray& line : lines) {
                const QList<QByteArray> fields = line.split('\t');
                if (fields.size() != 3)
                    continue;
                const std::optional<QString> target = Decoded(ctx, fields[2]);
                const std::optional<QString> scratch =
                    fields[0] == "R" ? Decoded(ctx, fields[1]) : std::optional<QString>(QString());
                // A move that names anything outside the data folder is not made.
                if (target && scratch && (fields[0] == "R" || fields[0] == "D"))
                    moves.emplace_back(*scratch, *target);
            }
            if (!FinishMoves(ctx, moves))
                return; // tried again by the next writer
        }
    }
    RemoveScratchFiles(ctx);
    ::unlink(Native(mark).constData());
}

} // namespace gim
