#pragma once

#include "core/io_errors.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace gim {

struct Context;

enum class FileOp { Open, Create, Read, Write, Rename, Remove, Sync };

// The narrow file-system seam for fault injection: a test returns an errno value to make the next
// operation of that kind on that path fail.
class FileFaults
{
public:
    std::function<int(FileOp op, const QString& path)> inject;
    int Check(FileOp op, const QString& path) const { return inject ? inject(op, path) : 0; }
};

// A file of fixed-size records, opened for one operation and closed at its end. An open failure is a
// value (LastIOResult); a read or write failure after a successful open throws IoAbort.
class RawRecordFile
{
public:
    enum class Mode {
        Reset,   // open an existing file for reading and writing
        Rewrite, // create the file anew, empty
    };

    RawRecordFile(Context& ctx, std::size_t recordSize);
    ~RawRecordFile();
    RawRecordFile(const RawRecordFile&) = delete;
    RawRecordFile& operator=(const RawRecordFile&) = delete;

    // Opens a data file by its name in the working folder. Stores the result in LastIOResult and, when
    // `report` is set, shows its message. Returns whether the file is open.
    bool Open(const QString& fileName, Mode mode, bool report = true);
    // The same with an absolute path.
    bool OpenPath(const QString& path, Mode mode, bool report = true);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // Whole records in the file; a torn last record is not counted.
    std::size_t Count() const;
    void Read(std::size_t index, void* record) const;
    void Write(std::size_t index, const void* record);
    void Append(const void* record) { Write(Count(), record); }
    // Every whole record in one read.
    std::string ReadAllBytes() const;

    const QString& path() const { return m_path; }
    std::size_t recordSize() const { return m_recordSize; }

private:
    [[noreturn]] void Fail(std::uint8_t code) const;

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
    void Write(std::size_t index, const T& rec) { RawRecordFile::Write(index, &rec); }
    void Append(const T& rec) { RawRecordFile::Append(&rec); }
    std::vector<T> ReadAll() const
    {
        const std::string bytes = ReadAllBytes();
        std::vector<T> out(bytes.size() / sizeof(T));
        if (!out.empty())
            std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
        return out;
    }
};

// Writes a whole file crash-safely: a temporary file beside it, flushed, then renamed into place,
// so an interruption leaves the old or the new file, never half of one. Throws IoAbort on failure.
void WriteFileAtomically(Context& ctx, const QString& path, const std::string& bytes);

// Loads every record of a data file; an open failure leaves LastIOResult set and returns nothing.
template <typename T> std::vector<T> LoadRecords(Context& ctx, const QString& fileName, bool report = true)
{
    RecordFile<T> f(ctx);
    if (!f.Open(fileName, RawRecordFile::Mode::Reset, report))
        return {};
    return f.ReadAll();
}

// Replaces a data file by these records, crash-safely.
template <typename T> void StoreRecords(Context& ctx, const QString& fileName, const std::vector<T>& records);

bool DataFileExists(const Context& ctx, const QString& fileName);

} // namespace gim

#include <cstring>

namespace gim {

QString DataPath(const Context& ctx, const QString& fileName);

template <typename T> void StoreRecords(Context& ctx, const QString& fileName, const std::vector<T>& records)
{
    std::string bytes(records.size() * sizeof(T), '\0');
    if (!records.empty())
        std::memcpy(bytes.data(), records.data(), bytes.size());
    WriteFileAtomically(ctx, DataPath(ctx, fileName), bytes);
}

} // namespace gim
