#include "core/transaction.h"

#include "core/context.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace gim {

namespace {

// A block of the journal: "GIM2", its length, then who wrote it (the program's identity and the number
// of its step), per file its plain name in the data folder, its size after the step, the number of
// writes and each write (offset, length, bytes); last the block's checksum. Numbers are little-endian.
constexpr char kMagic[4] = {'G', 'I', 'M', '2'};

// The journal's size past which a commit writes it through.
constexpr off_t kJournalWriteThroughBytes = 8 << 20;

// What one open transaction holds for a file: its size before the step, its size now, and the records
// written (offset to bytes).
struct PendingFile
{
    std::uint64_t size = 0;
    std::map<std::uint64_t, std::string> writes;
};

// The journal as this program's last commit left it: the file, its size and where that commit's block
// begins. Whether it still is that journal is read from the block there, never guessed from the size.
struct JournalMark
{
    bool valid = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    off_t lastBlock = 0;
};

struct TransactionState
{
    int depth = 0;
    bool opening = false;
    std::map<QString, PendingFile> files;
    // This program's steps: the number of the last one committed and of the last one written into
    // its files.
    std::uint64_t committed = 0;
    std::uint64_t applied = 0;
    JournalMark mark;
};

TransactionState& Tx(Context& ctx)
{
    return ctx.Module<TransactionState>();
}

QString JournalName(const Context& ctx)
{
    return ctx.st.CurrentEnvironment + QStringLiteral(".JNL");
}

QString JournalPath(const Context& ctx)
{
    return ctx.Path(JournalName(ctx));
}

std::uint32_t Crc32(const char* data, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

template <typename T> void Put(std::string& out, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<char>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF));
}

template <typename T> bool Get(const std::string& in, std::size_t& at, T& value)
{
    if (in.size() - at < sizeof(T) || at > in.size())
        return false;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    value = static_cast<T>(v);
    at += sizeof(T);
    return true;
}

// One file's part of a block, read back.
struct JournalFile
{
    QString name;
    std::uint64_t size = 0;
    std::vector<std::pair<std::uint64_t, std::string>> writes;
};

struct JournalBlock
{
    std::uint64_t writer = 0;
    std::uint64_t step = 0;
    std::vector<JournalFile> files;
};

// The whole blocks of a journal from `at`; a torn or damaged tail ends the list.
std::vector<JournalBlock> ReadBlocks(const std::string& bytes, std::size_t at = 0)
{
    std::vector<JournalBlock> blocks;
    while (bytes.size() - at >= 8 && std::memcmp(bytes.data() + at, kMagic, 4) == 0) {
        std::size_t p = at + 4;
        std::uint32_t length = 0;
        if (!Get(bytes, p, length) || bytes.size() - p < std::size_t{length} + 4)
            break;
        std::uint32_t crc = 0;
        std::size_t c = p + length;
        Get(bytes, c, crc);
        if (Crc32(bytes.data() + p, length) != crc)
            break;
        const std::size_t end = p + length;
        JournalBlock block;
        bool whole = end - p >= 16 && Get(bytes, p, block.writer) && Get(bytes, p, block.step);
        while (p < end && whole) {
            JournalFile f;
            std::uint16_t nameLength = 0;
            std::uint32_t count = 0;
            whole = Get(bytes, p, nameLength) && end - p >= nameLength;
            if (!whole)
                break;
            f.name = QString::fromUtf8(bytes.data() + p, nameLength);
            p += nameLength;
            whole = Get(bytes, p, f.size) && Get(bytes, p, count);
            for (std::uint32_t i = 0; whole && i < count; ++i) {
                std::uint64_t offset = 0;
                std::uint32_t size = 0;
                whole = Get(bytes, p, offset) && Get(bytes, p, size) && end - p >= size;
                if (whole) {
                    f.writes.emplace_back(offset, bytes.substr(p, size));
                    p += size;
                }
            }
            block.files.push_back(std::move(f));
        }
        if (!whole)
            break;
        blocks.push_back(std::move(block));
        at = end + 4;
    }
    return blocks;
}

// Whether a journal may name this file: a plain name (no folder, drive or "..") of a data file, its twin
// or the plan years, of this environment or another whose files lie in the folder (a daily-report file
// added from there).
bool IsDataFileName(const QString& name)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1Char(':')) || name.contains(QChar(0)) || name.startsWith(QLatin1Char('.')))
        return false;
    const auto is = [&](const char* extension) {
        return extension && name.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
    };
    return is(".LON") || std::any_of(kDataFiles.begin(), kDataFiles.end(), [&](const DataFileSpec& spec) {
               return is(spec.extension) || is(spec.twinExtension);
           });
}

// The file that failed while the journal was written into the files.
struct ApplyFailure
{
    QString path;
    int err = 0;
};

// Writes the journal's blocks into their files, but for those `written` says are there already, and with
// `sync` makes every file they name durable. A file whose write fails is cut back to its size before, so
// no torn record is left; the first failure is returned.
std::optional<ApplyFailure> ApplyToFiles(Context& ctx, const std::vector<JournalBlock>& blocks,
                                         const std::function<bool(const JournalBlock&)>& written, bool sync)
{
    struct Open
    {
        int fd = -1;
        off_t before = 0;
        bool failed = false;
    };
    std::map<QString, Open> open;
    std::optional<ApplyFailure> failure;
    const auto fail = [&](const QString& path, int err) {
        if (!failure)
            failure = ApplyFailure{path, err};
    };
    for (const JournalBlock& block : blocks) {
        const bool skip = written(block);
        for (const JournalFile& f : block.files) {
            const QString path = f.name.contains(QLatin1Char('/')) ? f.name : ctx.Path(f.name);
            auto [it, added] = open.try_emplace(path);
            Open& file = it->second;
            if (added) {
                int err = CheckFileFault(ctx, FileOp::Open, path);
                if (err == 0) {
                    file.fd = OpenLikeDataFiles(ctx, path, O_WRONLY);
                    err = file.fd < 0 ? errno : 0;
                }
                struct stat st
                {
                };
                if (err == 0 && ::fstat(file.fd, &st) == 0)
                    file.before = st.st_size;
                if (err != 0)
                    fail(path, err);
            }
            if (file.fd < 0 || file.failed || skip)
                continue;
            // Records that lie end to end go out in one write: a step that rewrites a whole file in
            // place would otherwise make a system call for every record.
            std::string run;
            std::uint64_t runAt = 0;
            const auto flush = [&] {
                if (!run.empty() && !WriteAllAt(file.fd, run.data(), run.size(), runAt)) {
                    file.failed = true;
                    fail(path, errno != 0 ? errno : ENOSPC);
                }
                run.clear();
                return !file.failed;
            };
            for (const auto& [offset, bytes] : f.writes) {
                if (const int err = CheckFileFault(ctx, FileOp::Write, path)) {
                    if (flush()) {
                        file.failed = true;
                        fail(path, err);
                    }
                    break;
                }
                if (!run.empty() && offset == runAt + run.size()) {
                    run += bytes;
                    continue;
                }
                if (!flush())
                    break;
                runAt = offset;
                run = bytes;
            }
            if (!file.failed)
                flush();
            struct stat st
            {
            };
            if (!file.failed && ::fstat(file.fd, &st) == 0 &&
                static_cast<std::uint64_t>(st.st_size) < f.size &&
                ::ftruncate(file.fd, static_cast<off_t>(f.size)) != 0) {
                file.failed = true;
                fail(path, errno);
            }
        }
    }
    for (auto& [path, file] : open) {
        if (file.fd < 0)
            continue;
        if (file.failed) {
            struct stat st
            {
            };
            if (::fstat(file.fd, &st) == 0 && st.st_size > file.before)
                (void)::ftruncate(file.fd, file.before);
        } else if (sync && (CheckFileFault(ctx, FileOp::Sync, path) != 0 || ::fsync(file.fd) != 0)) {
            fail(path, EIO);
        }
        ::close(file.fd);
    }
    return failure;
}

[[noreturn]] void ThrowApplyFailure(const ApplyFailure& failure)
{
    const std::uint8_t code = IoCodeFromErrno(failure.err);
    throw IoAbort(code, failure.path, IoErrorTextOf(code, failure.path));
}

// Whether the journal is still as this program's last commit left it: the same file, of the size it
// left, and the block where that commit's began is that commit's, by this program's identity.
bool OwnJournalAsLeft(Context& ctx, const QString& path)
{
    const TransactionState& tx = Tx(ctx);
    const JournalMark& mark = tx.mark;
    struct stat st
    {
    };
    if (!mark.valid || ::stat(QFile::encodeName(path).constData(), &st) != 0 || st.st_dev != mark.dev ||
        st.st_ino != mark.ino || st.st_size != mark.size)
        return false;
    QFile journal(path);
    if (!journal.open(QIODevice::ReadOnly) || !journal.seek(mark.lastBlock))
        return false;
    const std::vector<JournalBlock> last = ReadBlocks(journal.readAll().toStdString());
    return last.size() == 1 && last[0].writer == ctx.st.ProgramId && last[0].step == tx.committed;
}

// A journal that names anything but this folder's data files is not applied: it is kept aside under
// another name and the user is told.
void SetJournalAside(Context& ctx, const QString& path)
{
    QString aside = path + QStringLiteral(".RECHAZADO");
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".RECHAZADO.") + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0) {
        const std::uint8_t code = IoCodeFromErrno(errno);
        throw IoAbort(code, path, IoErrorTextOf(code, path));
    }
    SyncFolder(ctx.st.WorkDir);
    ctx.ui.ShowMessage(QStringLiteral("DIARIO DAÑADO ") + QFileInfo(path).fileName() +
                       QStringLiteral(": NOMBRA FICHEROS QUE NO SON DE ESTA CARPETA DE DATOS. NO SE APLICA; "
                                      "SE GUARDA COMO ") +
                       QFileInfo(aside).fileName() + QLatin1Char('.'));
}

// Writes every step of the journal into its files once (this program's own steps that are there already
// are only synced), syncs the files and empties the journal.
void WriteJournalThrough(Context& ctx)
{
    TransactionState& tx = Tx(ctx);
    const QString path = JournalPath(ctx);
    QFile journal(path);
    if (!journal.exists()) {
        tx.mark = {};
        return;
    }
    if (!journal.open(QIODevice::ReadOnly))
        throw IoAbort(IoCode::DiskRead, path, IoErrorTextOf(IoCode::DiskRead, path));
    const std::string bytes = journal.readAll().toStdString();
    journal.close();
    if (!bytes.empty()) {
        const std::vector<JournalBlock> blocks = ReadBlocks(bytes);
        for (const JournalBlock& block : blocks) {
            for (const JournalFile& f : block.files) {
                if (!IsDataFileName(f.name)) {
                    SetJournalAside(ctx, path);
                    tx.mark = {};
                    return;
                }
            }
        }
        const std::uint64_t me = ctx.st.ProgramId;
        const std::uint64_t applied = tx.applied;
        const auto written = [&](const JournalBlock& b) { return b.writer == me && b.step <= applied; };
        if (const std::optional<ApplyFailure> failure = ApplyToFiles(ctx, blocks, written, true))
            ThrowApplyFailure(*failure);
        tx.applied = tx.committed;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::fdatasync(fd) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw IoAbort(IoCode::DiskWrite, path, IoErrorTextOf(IoCode::DiskWrite, path));
    }
    ::close(fd);
    tx.mark = {};
}

} // namespace

// ---- What the record layer asks while a transaction is open ----------------------------------------

bool TransactionOpen(Context& ctx)
{
    return Tx(ctx).depth > 0;
}

std::uint64_t TransactionFileSize(Context& ctx, const QString& path, std::uint64_t onDisk)
{
    const auto& files = Tx(ctx).files;
    const auto it = files.find(path);
    return it == files.end() ? onDisk : it->second.size;
}

bool TransactionRead(Context& ctx, const QString& path, std::uint64_t offset, char* out, std::size_t size)
{
    const auto& files = Tx(ctx).files;
    const auto it = files.find(path);
    if (it == files.end())
        return false;
    const auto w = it->second.writes.find(offset);
    if (w == it->second.writes.end() || w->second.size() != size)
        return false;
    std::memcpy(out, w->second.data(), size);
    return true;
}

void TransactionOverlay(Context& ctx, const QString& path, std::uint64_t offset, char* out, std::size_t size)
{
    const auto& files = Tx(ctx).files;
    const auto it = files.find(path);
    if (it == files.end())
        return;
    for (const auto& [at, data] : it->second.writes) {
        const std::uint64_t from = std::max(at, offset);
        const std::uint64_t to = std::min<std::uint64_t>(at + data.size(), offset + size);
        if (from < to)
            std::memcpy(out + (from - offset), data.data() + (from - at),
                        static_cast<std::size_t>(to - from));
    }
}

void TransactionWrite(Context& ctx, const QString& path, std::uint64_t onDisk, std::uint64_t offset,
                      const char* data, std::size_t size)
{
    auto [it, added] = Tx(ctx).files.try_emplace(path);
    if (added)
        it->second.size = onDisk;
    it->second.writes[offset] = std::string(data, size);
    it->second.size = std::max<std::uint64_t>(it->second.size, offset + size);
}

// ---- Transaction -------------------------------------------------------------------------------------

namespace {

Context& Opening(Context& ctx)
{
    Tx(ctx).opening = true;
    return ctx;
}

} // namespace

void JournalOnFolderLocked(Context& ctx)
{
    TransactionState& tx = Tx(ctx);
    const bool opening = std::exchange(tx.opening, false);
    const QString path = JournalPath(ctx);
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || st.st_size == 0) {
        tx.mark = {};
        return;
    }
    // This program's own steps, all in their files already, can wait in the journal while steps follow
    // one another; anything else is written through first.
    if (opening && tx.applied == tx.committed && OwnJournalAsLeft(ctx, path))
        return;
    WriteJournalThrough(ctx);
}

Transaction::Transaction(Context& ctx) : m_ctx(ctx), m_lock(Opening(ctx))
{
    Tx(ctx).opening = false;
    m_outermost = Tx(ctx).depth++ == 0;
}

Transaction::~Transaction()
{
    TransactionState& tx = Tx(m_ctx);
    // Uncommitted, nothing of the step was written: its writes are dropped.
    if (--tx.depth == 0)
        tx.files.clear();
}

bool Transaction::Prepare(const QStringList& fileNames, Report report)
{
    for (const QString& name : fileNames) {
        const QString path = m_ctx.Path(name);
        int err = CheckFileFault(m_ctx, FileOp::Open, path);
        if (err == 0) {
            struct stat st
            {
            };
            if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
                const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
                if (fd < 0)
                    err = errno;
                else
                    ::close(fd);
                if (err == 0 && S_ISDIR(st.st_mode))
                    err = EISDIR;
            } else if (::access(QFile::encodeName(m_ctx.st.WorkDir).constData(), W_OK) != 0) {
                err = errno;
            }
        }
        if (err != 0) {
            const std::uint8_t code = IoCodeFromErrno(err);
            m_ctx.st.LastIOResult = code;
            m_refusal = IoErrorTextOf(code, path);
            if (report == Report::Show)
                m_ctx.ui.ShowMessage(m_refusal);
            return false;
        }
    }
    return true;
}

void Transaction::Commit()
{
    if (!m_outermost)
        return;
    TransactionState& tx = Tx(m_ctx);
    if (tx.files.empty())
        return;
    const std::uint64_t step = tx.committed + 1;
    std::string block;
    Put<std::uint64_t>(block, m_ctx.st.ProgramId);
    Put<std::uint64_t>(block, step);
    std::vector<JournalBlock> blocks(1);
    blocks[0] = {m_ctx.st.ProgramId, step, {}};
    // A file outside the data folder (a daily-report file added from elsewhere, cleared of what it gave)
    // has no place in the folder's journal: it is written and synced once the step is stored.
    std::vector<JournalBlock> outside(1);
    for (auto& [path, file] : tx.files) {
        // Files go by their plain names, so that a folder copied or moved recovers into its own files.
        const QString name = QFileInfo(path).fileName();
        if (m_ctx.Path(name) != path || !IsDataFileName(name)) {
            JournalFile f{path, file.size, {file.writes.begin(), file.writes.end()}};
            outside[0].files.push_back(std::move(f));
            continue;
        }
        const QByteArray utf8 = name.toUtf8();
        Put<std::uint16_t>(block, static_cast<std::uint16_t>(utf8.size()));
        block.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        Put<std::uint64_t>(block, file.size);
        Put<std::uint32_t>(block, static_cast<std::uint32_t>(file.writes.size()));
        JournalFile f{name, file.size, {}};
        for (auto& [offset, bytes] : file.writes) {
            Put<std::uint64_t>(block, offset);
            Put<std::uint32_t>(block, static_cast<std::uint32_t>(bytes.size()));
            block += bytes;
            f.writes.emplace_back(offset, std::move(bytes));
        }
        blocks[0].files.push_back(std::move(f));
    }
    tx.files.clear();
    std::string whole(kMagic, 4);
    Put<std::uint32_t>(whole, static_cast<std::uint32_t>(block.size()));
    whole += block;
    Put<std::uint32_t>(whole, Crc32(block.data(), block.size()));

    const QString path = JournalPath(m_ctx);
    const QByteArray native = QFile::encodeName(path);
    const bool existed = ::access(native.constData(), F_OK) == 0;
    const auto fail = [&](std::uint8_t code) { throw IoAbort(code, path, IoErrorTextOf(code, path)); };
    if (const int err = CheckFileFault(m_ctx, FileOp::Open, path))
        fail(IoCodeFromErrno(err));
    const int fd = OpenLikeDataFiles(m_ctx, path, O_WRONLY);
    struct stat st
    {
    };
    if (fd < 0)
        fail(IoCodeFromErrno(errno));
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        fail(IoCode::DiskWrite);
    }
    const off_t at = st.st_size;
    // A block that is not wholly written and synced is cut away: the step is not stored.
    int err = CheckFileFault(m_ctx, FileOp::Write, path);
    if (err == 0 && !WriteAllAt(fd, whole.data(), whole.size(), static_cast<std::uint64_t>(at)))
        err = errno != 0 ? errno : ENOSPC;
    if (err == 0 && (err = CheckFileFault(m_ctx, FileOp::Sync, path)) == 0 && ::fdatasync(fd) != 0)
        err = errno;
    if (err != 0) {
        (void)::ftruncate(fd, at);
        ::close(fd);
        fail(IoCodeFromErrno(err));
    }
    if (!existed)
        SyncFolder(m_ctx.st.WorkDir);
    // Stored. The records now go into their files; the journal holds them until they are synced, and a
    // failure here is retried from it (by the next step, the command's end or the next start), never
    // reported as a step not stored.
    tx.committed = step;
    tx.mark = {true, st.st_dev, st.st_ino, at + static_cast<off_t>(whole.size()), at};
    ::close(fd);
    const auto none = [](const JournalBlock&) { return false; };
    if (!ApplyToFiles(m_ctx, blocks, none, false))
        tx.applied = step;
    if (const std::optional<ApplyFailure> failure = ApplyToFiles(m_ctx, outside, none, true))
        ThrowApplyFailure(*failure);
    // A long command (an import of many lines) would grow the journal without bound and read it whole at
    // its end: past a few megabytes its steps are synced in their files and the journal emptied. A failure
    // here leaves the journal as it is, to be written through when the command ends.
    if (tx.applied == step && tx.mark.size >= kJournalWriteThroughBytes) {
        try {
            WriteJournalThrough(m_ctx);
        } catch (const IoAbort&) {
        }
    }
}

void RecoverJournal(Context& ctx)
{
    WriteLock lock(ctx);
    WriteJournalThrough(ctx);
}

void CheckpointJournal(Context& ctx)
{
    if (!Tx(ctx).mark.valid || TransactionOpen(ctx))
        return;
    WriteLock lock(ctx);
    WriteJournalThrough(ctx);
}

} // namespace gim
