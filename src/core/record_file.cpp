#include "core/record_file.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/file_swap.h"
#include "core/transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gim {

namespace {

// What RawRecordFile::OrderedCount knows, by path: the file it was learnt of (device and inode) and
// its count.
struct OrderedPrefix
{
    dev_t device = 0;
    ino_t inode = 0;
    std::size_t count = 0;
};
struct OrderedPrefixes
{
    std::map<QString, OrderedPrefix> files;
};

FileStamp StampOf(const struct stat& st)
{
    const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    return FileStamp{st.st_dev, st.st_ino, static_cast<std::uint64_t>(st.st_size), ns(st.st_mtim),
                     ns(st.st_ctim)};
}
std::optional<FileStamp> StampOf(int fd)
{
    struct stat st
    {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return std::nullopt;
    return StampOf(st);
}

// RawRecordFile::RememberedKeys, by path, with the state of the file they describe.
struct RememberedKeyFiles
{
    struct File
    {
        FileStamp stamp;
        KnownKeys keys;
    };
    std::map<QString, File> files;
};

// The name in `folder` that `fileName` stands for when its letters are compared without case; empty
// when none does. A folder holding more than one such name prefers the upper-case spelling, as the old
// program wrote its names.
QString FindWhateverCase(const QString& folder, const QString& fileName)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return {};
    QString found;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name.compare(fileName, Qt::CaseInsensitive) != 0)
            continue;
        if (found.isEmpty() || name == fileName.toUpper())
            found = name;
    }
    ::closedir(dir);
    return found;
}

// The permission bits for a new file of the folder, after its data files; nullopt when there is none yet.
std::optional<mode_t> DataFilesMode(const Context& ctx)
{
    for (const DataFileSpec& spec : kDataFiles) {
        struct stat st
        {
        };
        const QString path = ctx.Path(BuildDataFileName(ctx.st.CurrentEnvironment, spec.extension));
        // Its owner may always write a new file; the others get what they have on the data.
        if (::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode))
            return (st.st_mode & 0666) | 0600;
    }
    return std::nullopt;
}

} // namespace

int CheckFileFault(const Context& ctx, FileOp op, const QString& path)
{
    return ctx.faults ? ctx.faults->Check(op, path) : 0;
}

int OpenLikeDataFiles(const Context& ctx, const QString& path, int flags)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), flags | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    const std::optional<mode_t> mode = DataFilesMode(ctx);
    const int created = ::open(native.constData(), flags | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (created < 0 && errno == EEXIST)
        return ::open(native.constData(), flags | O_CLOEXEC);
    // The creating user's umask would take rights away that the others have on the data.
    if (created >= 0 && mode)
        (void)::fchmod(created, *mode);
    return created;
}

bool NoteIoResult(Context& ctx, const IoResult& result, Report report)
{
    ctx.st.LastIOResult = result.code;
    if (result.ok())
        return true;
    if (report == Report::Show) {
        ShowIOError(ctx, result.code);
    } else if (result.folderInPlace && !WriteLockHeld(ctx)) {
        // A caller that keeps a missing file to itself still says this (a listing would be empty with
        // no word why); a write under way abandons its command with its own message instead.
        ShowIOError(ctx, result.code);
        RememberFolderShown(ctx, result.path);
    }
    return false;
}

QString ResolveDataPath(const QString& folder, const QString& fileName)
{
    const QString exact = folder + QLatin1Char('/') + fileName;
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(exact).constData(), &st) == 0)
        return exact;
    const QString other = FindWhateverCase(folder, fileName);
    return other.isEmpty() ? exact : folder + QLatin1Char('/') + other;
}

std::optional<FileStamp> DataFileStamp(const Context& ctx, const QString& fileName)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(ctx.Path(fileName)).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return StampOf(st);
}

bool DataFileSeen::Unchanged(const Context& ctx, const QString& fileName)
{
    const std::optional<FileStamp> now = DataFileStamp(ctx, fileName);
    if (now && now == stamp && name == fileName)
        return true;
    name = fileName;
    stamp = now;
    return false;
}

bool DataFileExists(const Context& ctx, const QString& fileName)
{
    return QFileInfo(ctx.Path(fileName)).isFile();
}

RawRecordFile::RawRecordFile(Context& ctx, std::size_t recordSize) : m_ctx(ctx), m_recordSize(recordSize)
{
}

RawRecordFile::~RawRecordFile()
{
    Close();
}

IoResult RawRecordFile::Open(const QString& fileName, Mode mode)
{
    IoResult result = OpenPath(m_ctx.Path(fileName), mode);
    // Without a name (a firm with no file of its own) the path is the data folder: that is no folder
    // standing in a file's place.
    result.folderInPlace = result.folderInPlace && !fileName.isEmpty();
    return result;
}

IoResult RawRecordFile::OpenPath(const QString& path, Mode mode)
{
    Close();
    m_path = path;
    int err = CheckFileFault(m_ctx, mode == Mode::OpenOrCreate ? FileOp::Create : FileOp::Open, path);
    if (err == 0) {
        int flags = O_RDWR;
        if (mode == Mode::Read)
            flags = O_RDONLY;
        else if (mode == Mode::OpenOrCreate)
            flags = O_RDWR | O_CREAT;
        const bool creating = mode == Mode::OpenOrCreate && TransactionOpen(m_ctx) &&
                              ::access(QFile::encodeName(path).constData(), F_OK) != 0;
        // A file a step creates gets its name only with the step's commit, when the journal writes it:
        // until then the step reads an empty file in memory, which no kill leaves behind.
        if (creating)
            m_fd = ::memfd_create("gim-new-file", MFD_CLOEXEC);
        else if (mode == Mode::OpenOrCreate)
            m_fd = OpenLikeDataFiles(m_ctx, path, O_RDWR);
        else
            m_fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
        if (m_fd < 0) {
            err = errno;
        } else {
            struct stat st
            {
            };
            if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
                ::close(m_fd);
                m_fd = -1;
                err = EISDIR;
            }
        }
    }
    // A file of a step that cannot be opened for writing abandons the step, naming the file; a missing
    // one is the caller's to judge.
    if (err != 0 && err != ENOENT && err != EISDIR && mode != Mode::Read && TransactionOpen(m_ctx))
        Fail(IoCodeFromErrno(err));
    // A folder opened for writing fails with EISDIR; one opened read-only opens and is caught above.
    return {IoCodeFromErrno(err), path, err == EISDIR};
}

void RawRecordFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void RawRecordFile::Fail(std::uint8_t code) const
{
    // Inside a step of several files the user is told which one failed.
    if (TransactionOpen(m_ctx))
        throw IoAbort(code, m_path, IoErrorTextOf(code, m_path));
    throw IoAbort(code, m_path);
}

std::size_t RawRecordFile::SizeOnDisk() const
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0)
        Fail(IoCode::DiskRead);
    return static_cast<std::size_t>(st.st_size);
}

std::size_t RawRecordFile::Count() const
{
    return static_cast<std::size_t>(TransactionFileSize(m_ctx, m_path, SizeOnDisk())) / m_recordSize;
}

namespace {

// The damage already reported, by path. A file is loaded many times (several times by one command, once
// for every line an import appends, again after every sorted rewrite), and its damage is told once;
// other damage (another torn file, another count of overlong texts) is told again.
struct DamageSeen
{
    std::size_t tornSize = 0; // the size of a file whose last record is torn; 0 when it is whole
    std::size_t overlong = 0;
    bool operator==(const DamageSeen&) const = default;
};
struct ReportedDamage
{
    std::map<QString, DamageSeen> files;
};

} // namespace

void RawRecordFile::ReportDamage(std::size_t overlong) const
{
    struct stat st
    {
    };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return;
    const auto size = static_cast<std::size_t>(st.st_size);
    const DamageSeen now{size % m_recordSize != 0 ? size : 0, overlong};
    // Another program holding the lock may be half-way through writing its last record: the whole ones
    // are read quietly, and a tail that stays is reported once that program lets go.
    if (now.tornSize != 0 && overlong == 0 && FolderLockedByAnother(m_ctx))
        return;
    auto& files = m_ctx.Module<ReportedDamage>().files;
    // A sound file is forgotten: damage that comes back later is news.
    if (now.tornSize == 0 && overlong == 0) {
        files.erase(m_path);
        return;
    }
    const auto [seen, first] = files.try_emplace(m_path, now);
    if (!first && seen->second == now)
        return;
    seen->second = now;
    QString text = QStringLiteral("FICHERO DAÑADO ") + QFileInfo(m_path).fileName() + QLatin1Char('.');
    if (now.tornSize != 0)
        text += QStringLiteral(" SU ÚLTIMO REGISTRO ESTÁ INCOMPLETO Y NO SE USA.");
    if (overlong > 0)
        text += QStringLiteral(" REGISTROS CON TEXTOS MÁS LARGOS QUE SU CAMPO, QUE SE LEEN RECORTADOS: ") +
                QString::number(overlong) + QLatin1Char('.');
    text +=
        QStringLiteral(" REGISTROS COMPLETOS QUE SE USAN: ") + QString::number(Count()) + QLatin1Char('.');
    m_ctx.ui.ShowMessage(text);
}

std::optional<std::size_t> RawRecordFile::OrderedCount() const
{
    auto& files = m_ctx.Module<OrderedPrefixes>().files;
    const auto known = files.find(m_path);
    if (known == files.end() || m_fd < 0)
        return std::nullopt;
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0 || st.st_dev != known->second.device || st.st_ino != known->second.inode)
        return std::nullopt;
    return std::min(known->second.count, Count());
}

void RawRecordFile::NoteOrderedCount(std::size_t count)
{
    struct stat st
    {
    };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return;
    m_ctx.Module<OrderedPrefixes>().files[m_path] = {st.st_dev, st.st_ino, count};
}

KnownKeys* RawRecordFile::RememberedKeys()
{
    if (TransactionOpen(m_ctx))
        return nullptr;
    const std::optional<FileStamp> now = StampOf(m_fd);
    if (!now)
        Fail(IoCode::DiskRead);
    auto& known = m_ctx.Module<RememberedKeyFiles>().files[m_path];
    if (known.stamp != *now)
        known = {*now, {}};
    return &known.keys;
}

bool RawRecordFile::KeysOutlive(std::size_t index)
{
    auto& files = m_ctx.Module<RememberedKeyFiles>().files;
    const auto known = files.find(m_path);
    if (known == files.end())
        return false;
    if (index < known->second.keys.count || StampOf(m_fd) != known->second.stamp) {
        files.erase(known);
        return false;
    }
    return true;
}

void RawRecordFile::FollowKeys()
{
    auto& files = m_ctx.Module<RememberedKeyFiles>().files;
    const auto known = files.find(m_path);
    if (known == files.end())
        return;
    if (const std::optional<FileStamp> now = StampOf(m_fd))
        known->second.stamp = *now;
    else
        files.erase(known);
}

void RawRecordFile::Read(std::size_t index, void* record) const
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    if (CheckFileFault(m_ctx, FileOp::Read, m_path) != 0)
        Fail(IoCode::DiskRead);
    const auto offset = static_cast<off_t>(index * m_recordSize);
    auto* out = static_cast<char*>(record);
    // What the open step wrote is what it reads.
    if (TransactionRead(m_ctx, m_path, static_cast<std::uint64_t>(offset), out, m_recordSize))
        return;
    std::size_t done = 0;
    while (done < m_recordSize) {
        const ssize_t n = ::pread(m_fd, out + done, m_recordSize - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(IoCode::DiskRead); // a read past the end, as the old run time reported it
        done += static_cast<std::size_t>(n);
    }
}

bool WriteAllAt(int fd, const char* data, std::size_t size, std::uint64_t offset)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool RawRecordFile::PutBytes(std::size_t offset, const char* data, std::size_t size)
{
    return CheckFileFault(m_ctx, FileOp::Write, m_path) == 0 && WriteAllAt(m_fd, data, size, offset);
}

void RawRecordFile::Write(std::size_t index, const void* record, bool keepsOrder)
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    auto& ordered = m_ctx.Module<OrderedPrefixes>().files;
    if (const auto known = ordered.find(m_path); known != ordered.end() && !keepsOrder)
        known->second.count = std::min(known->second.count, index);
    if (TransactionOpen(m_ctx)) {
        // The write reaches the file with the step's commit, which changes the file's stamp.
        (void)KeysOutlive(index);
        if (const int err = CheckFileFault(m_ctx, FileOp::Write, m_path))
            Fail(IoCodeFromErrno(err));
        TransactionWrite(m_ctx, m_path, SizeOnDisk(), index * m_recordSize, static_cast<const char*>(record),
                         m_recordSize);
        return;
    }
    RefuseWriteWhenReadOnly(m_ctx);
    CheckpointJournal(m_ctx);
    const bool keysOutlive = KeysOutlive(index);
    const std::size_t oldSize = SizeOnDisk();
    // Reported done only once it would survive a power cut; a write that fails half-way past the end
    // leaves no torn record.
    if (!PutBytes(index * m_recordSize, static_cast<const char*>(record), m_recordSize) ||
        CheckFileFault(m_ctx, FileOp::Sync, m_path) != 0 || ::fdatasync(m_fd) != 0) {
        if (SizeOnDisk() > oldSize)
            (void)::ftruncate(m_fd, static_cast<off_t>(oldSize));
        Fail(IoCode::DiskWrite);
    }
    if (keysOutlive)
        FollowKeys();
}

std::size_t RawRecordFile::Append(const void* record)
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    if (TransactionOpen(m_ctx)) {
        const std::size_t onDisk = SizeOnDisk();
        const std::size_t index =
            static_cast<std::size_t>(TransactionFileSize(m_ctx, m_path, onDisk)) / m_recordSize;
        if (const int err = CheckFileFault(m_ctx, FileOp::Write, m_path))
            Fail(IoCodeFromErrno(err));
        TransactionWrite(m_ctx, m_path, onDisk, index * m_recordSize, static_cast<const char*>(record),
                         m_recordSize);
        return index;
    }
    RefuseWriteWhenReadOnly(m_ctx);
    CheckpointJournal(m_ctx);
    struct stat st
    {
    };
    if (::fstat(m_fd, &st) != 0)
        Fail(IoCode::DiskRead);
    const auto oldSize = static_cast<std::size_t>(st.st_size);
    const std::size_t index = oldSize / m_recordSize;
    const bool keysOutlive = KeysOutlive(index);
    // Reported stored only once it would survive a power cut. A write or sync that fails leaves neither
    // a torn record nor the torn tail it would have covered: the file as it was.
    if (!PutBytes(index * m_recordSize, static_cast<const char*>(record), m_recordSize) ||
        CheckFileFault(m_ctx, FileOp::Sync, m_path) != 0 || ::fdatasync(m_fd) != 0) {
        (void)::ftruncate(m_fd, static_cast<off_t>(oldSize));
        Fail(IoCode::DiskWrite);
    }
    if (keysOutlive)
        FollowKeys();
    return index;
}

void RawRecordFile::ReadRange(std::size_t first, std::size_t count, void* out) const
{
    if (m_fd < 0)
        Fail(IoCode::FileNotOpen);
    if (CheckFileFault(m_ctx, FileOp::Read, m_path) != 0)
        Fail(IoCode::DiskRead);
    if (count == 0)
        return;
    auto* const bytes = static_cast<char*>(out);
    const std::uint64_t offset = static_cast<std::uint64_t>(first) * m_recordSize;
    const std::size_t size = count * m_recordSize;
    // Records the open step appended are not on disk: they read as the step wrote them.
    const std::uint64_t onDisk = SizeOnDisk() / m_recordSize * m_recordSize;
    const std::size_t fromDisk =
        offset >= onDisk ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(size, onDisk - offset));
    std::memset(bytes + fromDisk, 0, size - fromDisk);
    std::size_t done = 0;
    while (done < fromDisk) {
        const ssize_t n = ::pread(m_fd, bytes + done, fromDisk - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(IoCode::DiskRead);
        done += static_cast<std::size_t>(n);
    }
    TransactionOverlay(m_ctx, m_path, offset, bytes, size);
}

std::string RawRecordFile::ReadAllBytes() const
{
    const std::size_t count = Count();
    std::string bytes(count * m_recordSize, '\0');
    ReadRange(0, count, bytes.data());
    return bytes;
}

void WriteFileAtomically(Context& ctx, const QString& path, std::string_view bytes)
{
    // A file replaced whole leaves no record of the journal to be written into it later.
    if (TransactionOpen(ctx))
        throw std::logic_error("a file is replaced whole inside a transaction: " + path.toStdString());
    RefuseWriteWhenReadOnly(ctx);
    CheckpointJournal(ctx);
    // A step that replaces files whole takes the file into its own scratch file.
    if (FileSwapTakes(ctx, path, bytes))
        return;
    const QByteArray nativePath = QFile::encodeName(path);
    const QString tmp = path + QStringLiteral(".tmp~");
    const QByteArray nativeTmp = QFile::encodeName(tmp);
    auto fail = [&](std::uint8_t code, int fd) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(nativeTmp.constData());
        throw IoAbort(code, path);
    };
    if (const int err = CheckFileFault(ctx, FileOp::Create, path))
        fail(IoCodeFromErrno(err), -1);
    // A file that exists must be one we may write: renaming over a write-protected file would replace
    // it all the same.
    struct stat st
    {
    };
    std::optional<mode_t> mode;
    if (::stat(nativePath.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            fail(IoCode::AccessDenied, -1);
        const int probe = ::open(nativePath.constData(), O_WRONLY | O_CLOEXEC);
        if (probe < 0)
            fail(IoCodeFromErrno(errno), -1);
        ::close(probe);
        mode = st.st_mode & 0666;
    } else {
        mode = DataFilesMode(ctx);
    }
    const int fd = ::open(nativeTmp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(IoCodeFromErrno(errno), -1);
    // The new file keeps the rights the old one gave (other users of a shared folder among them).
    if (mode)
        (void)::fchmod(fd, *mode);
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (CheckFileFault(ctx, FileOp::Write, path) != 0)
            fail(IoCode::DiskWrite, fd);
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(IoCode::DiskWrite, fd);
        done += static_cast<std::size_t>(n);
    }
    if (CheckFileFault(ctx, FileOp::Sync, path) != 0 || ::fsync(fd) != 0)
        fail(IoCode::DiskWrite, fd);
    ::close(fd);
    if (CheckFileFault(ctx, FileOp::Rename, path) != 0 ||
        ::rename(nativeTmp.constData(), nativePath.constData()) != 0)
        fail(IoCode::CannotRename, -1);
    // The new name is durable with its folder.
    SyncFolder(QFileInfo(path).absolutePath());
}

void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string ReadWholeFile(Context& ctx, const QString& path)
{
    QFile whole(path);
    if (CheckFileFault(ctx, FileOp::Read, path) != 0 || !whole.open(QIODevice::ReadOnly))
        throw IoAbort(IoCode::DiskRead, path);
    return whole.readAll().toStdString();
}

std::optional<std::vector<std::string>> ReadTextLines(Context& ctx, const QString& fileName)
{
    const QString path = ctx.Path(fileName);
    QFile file(path);
    if (CheckFileFault(ctx, FileOp::Open, path) != 0 || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::vector<std::string> lines;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines.push_back(line.toStdString());
    }
    return lines;
}

IoResult RemoveDataFile(Context& ctx, const QString& fileName)
{
    const QString path = ctx.Path(fileName);
    const int err = RemoveFileAt(ctx, path);
    return {IoCodeFromErrno(err), path, err == EISDIR};
}

int RemoveFileAt(const Context& ctx, const QString& path)
{
    int err = CheckFileFault(ctx, FileOp::Remove, path);
    if (err == 0 && ::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        err = errno;
    return err;
}

int RenameFileAt(const Context& ctx, const QString& from, const QString& to)
{
    int err = CheckFileFault(ctx, FileOp::Rename, from);
    if (err == 0 && ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        err = errno;
    return err;
}

namespace {

// Whether the file at `path` holds exactly `bytes` and is writable; it is then made durable as it stands.
// The sort a menu item runs before its listing mostly finds its file in order and its twin a copy of it:
// writing both again, with their syncs, was most of the wait.
bool AlreadyHolds(const QString& path, std::string_view bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st
    {
    };
    bool same =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) == bytes.size();
    constexpr std::size_t kChunk = 1 << 16;
    std::string chunk(kChunk, '\0');
    for (std::size_t done = 0; same && done < bytes.size();) {
        const ssize_t n =
            ::pread(fd, chunk.data(), std::min(kChunk, bytes.size() - done), static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        same = n > 0 && std::memcmp(chunk.data(), bytes.data() + done, static_cast<std::size_t>(n)) == 0;
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    same = same && ::fdatasync(fd) == 0;
    ::close(fd);
    return same;
}

} // namespace

void ReplaceDataFile(Context& ctx, const QString& fileName, std::string_view bytes)
{
    const QString path = ctx.Path(fileName);
    // Injected faults count the steps of a real write: with them the file is always written.
    if (!ctx.faults && AlreadyHolds(path, bytes))
        return;
    WriteFileAtomically(ctx, path, bytes);
}

} // namespace gim
