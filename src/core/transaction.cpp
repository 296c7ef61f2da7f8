#include "core/transaction.h"

#include "core/context.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace gim {

namespace {

// A block of the journal: "GIMJ", its length, then per file its name, its size after the step, the
// number of writes and each write (offset, length, bytes); last the block's checksum. Numbers are
// little-endian.
constexpr char kMagic[4] = {'G', 'I', 'M', 'J'};

// What one open transaction holds for a file: its size before the step, its size now, and the records
// written (offset to bytes).
struct PendingFile
{
    std::uint64_t size = 0;
    std::map<std::uint64_t, std::string> writes;
};

// The journal a commit of this program left: while it is the journal as found, its records are in their
// files already and need no writing again.
struct JournalMark
{
    bool dirty = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
};

struct TransactionState
{
    int depth = 0;
    bool opening = false;
    std::map<QString, PendingFile> files;
    JournalMark mark;
};

TransactionState& Tx(Context& ctx)
{
    return ctx.Module<TransactionState>();
}

QString JournalPath(const Context& ctx)
{
    return ctx.Path(ctx.st.CurrentEnvironment + QStringLiteral(".JNL"));
}

int FaultOf(const Context& ctx, FileOp op, const QString& path)
{
    return ctx.faults ? ctx.faults->Check(op, path) : 0;
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
    QString path;
    std::uint64_t size = 0;
    std::vector<std::pair<std::uint64_t, std::string>> writes;
};

// The whole blocks of a journal; a torn or damaged tail ends the list.
std::vector<JournalFile> ReadBlocks(const std::string& bytes)
{
    std::vector<JournalFile> files;
    std::size_t at = 0;
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
        std::vector<JournalFile> block;
        bool whole = true;
        while (p < end && whole) {
            JournalFile f;
            std::uint16_t nameLength = 0;
            std::uint32_t count = 0;
            whole = Get(bytes, p, nameLength) && end - p >= nameLength;
            if (!whole)
                break;
            f.path = QString::fromUtf8(bytes.data() + p, nameLength);
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
            block.push_back(std::move(f));
        }
        if (!whole)
            break;
        files.insert(files.end(), std::make_move_iterator(block.begin()),
                     std::make_move_iterator(block.end()));
        at = end + 4;
    }
    return files;
}

// Writes each file's part of the journal into it; false when a file cannot be written.
bool ApplyToFiles(const std::vector<JournalFile>& files, bool sync)
{
    std::map<QString, int> open;
    bool ok = true;
    for (const JournalFile& f : files) {
        int& fd = open[f.path];
        if (fd == 0) {
            fd = ::open(QFile::encodeName(f.path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0) {
                ok = false;
                continue;
            }
        }
        if (fd < 0)
            continue;
        for (const auto& [offset, bytes] : f.writes)
            ok = WriteAllAt(fd, bytes.data(), bytes.size(), offset) && ok;
        struct stat st
        {
        };
        if (::fstat(fd, &st) == 0 && static_cast<std::uint64_t>(st.st_size) < f.size)
            ok = ::ftruncate(fd, static_cast<off_t>(f.size)) == 0 && ok;
    }
    for (const auto& [path, fd] : open) {
        if (fd <= 0)
            continue;
        if (sync && ::fsync(fd) != 0)
            ok = false;
        ::close(fd);
    }
    return ok;
}

// The journal as this program left it: its records are in their files.
void Mark(Context& ctx, int fd)
{
    struct stat st
    {
    };
    JournalMark& mark = Tx(ctx).mark;
    mark.dirty = ::fstat(fd, &st) == 0;
    mark.dev = st.st_dev;
    mark.ino = st.st_ino;
    mark.size = st.st_size;
}

// Whether the journal holds records another program, or an earlier run, left unwritten.
bool ForeignJournal(Context& ctx, const QString& path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || st.st_size == 0)
        return false;
    const JournalMark& mark = Tx(ctx).mark;
    return !(mark.dirty && mark.dev == st.st_dev && mark.ino == st.st_ino && mark.size == st.st_size);
}

// Writes every record of the journal into its file, syncs the files and empties the journal.
void WriteJournalThrough(Context& ctx)
{
    const QString path = JournalPath(ctx);
    QFile journal(path);
    if (!journal.exists()) {
        Tx(ctx).mark = {};
        return;
    }
    if (!journal.open(QIODevice::ReadOnly))
        throw IoAbort(IoCode::DiskRead, path);
    const std::string bytes = journal.readAll().toStdString();
    journal.close();
    if (!bytes.empty() && !ApplyToFiles(ReadBlocks(bytes), true))
        throw IoAbort(IoCode::DiskWrite, path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::fdatasync(fd) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw IoAbort(IoCode::DiskWrite, path);
    }
    ::close(fd);
    Tx(ctx).mark = {};
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
    // A journal of this program's own commits can wait while steps follow one another; anything else
    // writes through it first.
    if (ForeignJournal(ctx, path) || (!opening && tx.mark.dirty))
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
        int err = FaultOf(m_ctx, FileOp::Open, path);
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
    std::string block;
    for (const auto& [path, file] : tx.files) {
        const QByteArray name = path.toUtf8();
        Put<std::uint16_t>(block, static_cast<std::uint16_t>(name.size()));
        block.append(name.constData(), static_cast<std::size_t>(name.size()));
        Put<std::uint64_t>(block, file.size);
        Put<std::uint32_t>(block, static_cast<std::uint32_t>(file.writes.size()));
        for (const auto& [offset, bytes] : file.writes) {
            Put<std::uint64_t>(block, offset);
            Put<std::uint32_t>(block, static_cast<std::uint32_t>(bytes.size()));
            block += bytes;
        }
    }
    std::string whole(kMagic, 4);
    Put<std::uint32_t>(whole, static_cast<std::uint32_t>(block.size()));
    whole += block;
    Put<std::uint32_t>(whole, Crc32(block.data(), block.size()));

    const QString path = JournalPath(m_ctx);
    const QByteArray native = QFile::encodeName(path);
    const bool existed = ::access(native.constData(), F_OK) == 0;
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    struct stat st
    {
    };
    const auto fail = [&](std::uint8_t code) { throw IoAbort(code, path); };
    if (fd < 0)
        fail(IoCodeFromErrno(errno));
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        fail(IoCode::DiskWrite);
    }
    const off_t at = st.st_size;
    // A block that is not wholly written and synced is cut away: the step is not stored.
    if (FaultOf(m_ctx, FileOp::Write, path) != 0 ||
        !WriteAllAt(fd, whole.data(), whole.size(), static_cast<std::uint64_t>(at)) ||
        FaultOf(m_ctx, FileOp::Sync, path) != 0 || ::fdatasync(fd) != 0) {
        (void)::ftruncate(fd, at);
        ::close(fd);
        fail(IoCode::DiskWrite);
    }
    if (!existed)
        SyncFolder(m_ctx.st.WorkDir);
    // Stored. The records now go into their files; the journal holds them until they are synced.
    std::vector<JournalFile> files;
    for (auto& [file, pending] : tx.files) {
        JournalFile f{file, pending.size, {}};
        for (auto& [offset, bytes] : pending.writes)
            f.writes.emplace_back(offset, std::move(bytes));
        files.push_back(std::move(f));
    }
    tx.files.clear();
    Mark(m_ctx, fd);
    ::close(fd);
    if (!ApplyToFiles(files, false))
        throw IoAbort(IoCode::DiskWrite, path);
}

void RecoverJournal(Context& ctx)
{
    WriteLock lock(ctx);
    WriteJournalThrough(ctx);
}

void CheckpointJournal(Context& ctx)
{
    if (!Tx(ctx).mark.dirty || TransactionOpen(ctx))
        return;
    WriteLock lock(ctx);
    WriteJournalThrough(ctx);
}

} // namespace gim
