#pragma once

#include "core/io_errors.h"
#include "records/record_fields.h"

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace gim {

struct Context;

enum class FileOp { Open, Create, Read, Write, Rename, Remove, Sync, Lock };

// The narrow file-system seam for fault injection: a test returns an errno value to make the next
// operation of that kind on that path fail.
class FileFaults
{
public:
    std::function<int(FileOp op, const QString& path)> inject;
    int Check(FileOp op, const QString& path) const { return inject ? inject(op, path) : 0; }
};

// The fault the test seam injects into the next operation of that kind on that path (0: none).
int CheckFileFault(const Context& ctx, FileOp op, const QString& path);

// The result of a file operation: the old error number (0 = done) and the file it concerns.
struct IoResult
{
    std::uint8_t code = IoCode::Ok;
    QString path;
    // A folder stands where the file should be. No caller expects that, so it is shown even to the
    // callers that keep their errors to themselves (a missing file is a normal case for them; this is
    // not, and an empty listing would hide it).
    bool folderInPlace = false;

    bool ok() const { return code == IoCode::Ok; }
    explicit operator bool() const { return ok(); }
};

// Whether the caller of a file operation shows its error message or only keeps it in LastIOResult.
enum class Report { Show, Silent };

// The one adapter between record I/O and the program: stores the result in LastIOResult and, when the
// caller reports (or a folder stands in the file's place and no write is under way), shows its message.
// Returns whether the operation succeeded.
bool NoteIoResult(Context& ctx, const IoResult& result, Report report);

// The first position of every key among a file's first `count` records, for a file whose records are
// appended and written in place but never put in order: what KeyedFile learns of a file with a declared
// key, so that a look-up reads only the records appended since. `overlong` counts the records read with
// a text longer than its field.
struct KnownKeys
{
    std::size_t count = 0;
    std::size_t overlong = 0;
    std::unordered_map<std::string, std::uint32_t> first;
};

// A file of fixed-size records, opened for one operation and closed at its end. An open failure is a
// value; a read or write failure after a successful open throws IoAbort, which abandons the command.
class RawRecordFile
{
public:
    enum class Mode {
        Read,         // an existing file, read-only: a write-protected file reads as well as any
        Update,       // an existing file, for reading and writing
        OpenOrCreate, // as Update, creating the file empty when it does not exist
    };

    RawRecordFile(Context& ctx, std::size_t recordSize);
    ~RawRecordFile();
    RawRecordFile(const RawRecordFile&) = delete;
    RawRecordFile& operator=(const RawRecordFile&) = delete;

    // Opens a data file of the working folder by name, whatever the case of its letters.
    IoResult Open(const QString& fileName, Mode mode);
    // The same with an absolute path, taken as it stands.
    IoResult OpenPath(const QString& path, Mode mode);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // Whole records in the file; a torn last record is not counted.
    std::size_t Count() const;
    // The bytes on disk, a torn last record included.
    std::size_t SizeOnDisk() const;
    void Read(std::size_t index, void* record) const;
    // `keepsOrder`: the record replaces one of the same key, so the records in key order stay so.
    void Write(std::size_t index, const void* record, bool keepsOrder = false);
    // Writes one record after the last whole one. A write that fails half-way takes the file back to
    // its size before, so no torn record is left behind; then the command is abandoned.
    std::size_t Append(const void* record);
    // Records [first, first + count) in one read, into `out`.
    void ReadRange(std::size_t first, std::size_t count, void* out) const;
    // Every whole record in one read.
    std::string ReadAllBytes() const;

    const QString& path() const { return m_path; }
    std::size_t recordSize() const { return m_recordSize; }

    // Called by every load of the whole file: a torn last record, or `overlong` whole records with a
    // text longer than its field, are shown in one message naming the file, once for as long as the
    // damage stays the same. The whole records are used all the same.
    void ReportDamage(std::size_t overlong) const;

    // How many records from the first stand in key order, as this program last learnt it (a sort, a
    // full read) of the file as it stands on disk: a rewrite through a temporary file, here or by another
    // program, is another file, of which nothing is known (nullopt). A write in place cuts the count back
    // to the record written, unless it kept its key; an append leaves it, so the records appended since
    // stand after it.
    std::optional<std::size_t> OrderedCount() const;
    void NoteOrderedCount(std::size_t count);

    // The keys this program learnt of the file, kept while nothing but its own appends and writes past
    // them has touched it: the same device, inode, size and change times as it left them. Otherwise (a
    // write in place among them, another program's write, a replaced file) they start again empty. Null
    // inside a step of several files, whose records may yet be taken back.
    KnownKeys* RememberedKeys();

private:
    [[noreturn]] void Fail(std::uint8_t code) const;
    // Before this program writes record `index`: whether the remembered keys still hold after the write
    // (it lies past them and the file is as they left it); they are forgotten otherwise.
    bool KeysOutlive(std::size_t index);
    // After such a write: the file as it now stands is the one the keys describe.
    void FollowKeys();
    bool PutBytes(std::size_t offset, const char* data, std::size_t size);

    Context& m_ctx;
    std::size_t m_recordSize;
    int m_fd = -1;
    QString m_path;
};

template <typename T> class RecordFile final : public RawRecordFile
{
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) == 1);

public:
    explicit RecordFile(Context& ctx) : RawRecordFile(ctx, sizeof(T)) {}

    T Read(std::size_t index) const
    {
        T rec{};
        RawRecordFile::Read(index, &rec);
        return rec;
    }
    void Write(std::size_t index, const T& rec, bool keepsOrder = false)
    {
        RawRecordFile::Write(index, &rec, keepsOrder);
    }
    std::size_t Append(const T& rec) { return RawRecordFile::Append(&rec); }
    std::vector<T> ReadAll() const
    {
        std::vector<T> out(Count());
        RawRecordFile::ReadRange(0, out.size(), out.data());
        ReportDamage(OverlongRecords(out));
        return out;
    }
    static std::size_t OverlongRecords(const std::vector<T>& records)
    {
        return static_cast<std::size_t>(std::count_if(records.begin(), records.end(), HasOverlongText<T>));
    }
};

// Writes a whole file crash-safely: a temporary file beside it, flushed, then renamed into place, so an
// interruption leaves the old or the new file, never half of one. An existing file that may not be
// written (write-protected) is left as it is: the rename would otherwise replace it. Throws IoAbort on
// failure.
void WriteFileAtomically(Context& ctx, const QString& path, std::string_view bytes);

// Writes all `size` bytes at `offset`, however many calls it takes; false when the file takes no more.
bool WriteAllAt(int fd, const char* data, std::size_t size, std::uint64_t offset);

// Opens a file with these open flags, creating it when it does not exist with the permissions of the
// folder's data files, so that every user who may write the data may write it too. -1 with errno set on
// failure.
int OpenLikeDataFiles(const Context& ctx, const QString& path, int flags);

// Makes the names in a folder (a file created or renamed there) survive a power cut.
void SyncFolder(const QString& folder);

// Every byte of a file, a torn last record included. Throws IoAbort when it cannot be read.
std::string ReadWholeFile(Context& ctx, const QString& path);

// The same for a data file of the working folder, found whatever its case.
void ReplaceDataFile(Context& ctx, const QString& fileName, std::string_view bytes);

// The lines of a text file of the data folder, found whatever its case, without their line ends (bytes as
// they stand); nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadTextLines(Context& ctx, const QString& fileName);

// Removes a data file, found whatever its case; one that is not there counts as removed.
IoResult RemoveDataFile(Context& ctx, const QString& fileName);
// Removes a file by its absolute path, taken as it stands; one that is not there counts as removed. The
// error number, 0 when done.
int RemoveFileAt(const Context& ctx, const QString& path);
// Renames a file (absolute paths, taken as they stand) over whatever `to` names. The error number, 0
// when done.
int RenameFileAt(const Context& ctx, const QString& from, const QString& to);

// What tells one state of a file from another without reading it: any write changes its size or its
// change times (nanoseconds), a replaced file is another inode.
struct FileStamp
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of a data file of the working folder, found whatever its case; nullopt when there is none.
std::optional<FileStamp> DataFileStamp(const Context& ctx, const QString& fileName);
// What was read of a data file is kept while the file stays as it was then: Unchanged tells whether
// `fileName` is the file last seen, with the same stamp; when not, it notes the file as it stands now,
// before what is read of it. A file that is not there is never unchanged.
struct DataFileSeen
{
    QString name;
    std::optional<FileStamp> stamp;
    bool Unchanged(const Context& ctx, const QString& fileName);
};

// Whether a data file exists, whatever its case.
bool DataFileExists(const Context& ctx, const QString& fileName);

// Every record of a data file, read-only; nullopt when the file cannot be opened (LastIOResult holds
// why, and its message was shown when the caller reports).
template <typename T>
std::optional<std::vector<T>> ReadRecords(Context& ctx, const QString& fileName, Report report)
{
    RecordFile<T> f(ctx);
    if (!NoteIoResult(ctx, f.Open(fileName, RawRecordFile::Mode::Read), report))
        return std::nullopt;
    return f.ReadAll();
}

// Every record of a data file; an open failure leaves LastIOResult set and returns nothing.
template <typename T> std::vector<T> LoadRecords(Context& ctx, const QString& fileName, bool report = true)
{
    return ReadRecords<T>(ctx, fileName, report ? Report::Show : Report::Silent).value_or(std::vector<T>{});
}

template <typename T> std::string RecordBytes(const std::vector<T>& records)
{
    std::string bytes(records.size() * sizeof(T), '\0');
    if (!records.empty())
        std::memcpy(bytes.data(), records.data(), bytes.size());
    return bytes;
}

// Replaces a data file by these records, crash-safely.
template <typename T> void StoreRecords(Context& ctx, const QString& fileName, const std::vector<T>& records)
{
    ReplaceDataFile(ctx, fileName, RecordBytes(records));
}

} // namespace gim
