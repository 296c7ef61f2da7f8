#pragma once

#include "core/context.h"
#include "core/ordered_list.h"
#include "core/record_file.h"
#include "records/data_files.h"

#include <QString>
#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gim {

// How a sorted rewrite fills the twin file.
enum class TwinVariant {
    None,         // the file has no twin
    Copy,         // the twin receives the file's whole records
    Rename,       // the twin is the old file as it stood
    CopyReversed, // the twin receives the whole records from the last to the first
};

// Held by every write of a data file from its first read to its last write, so that two programs on one
// data folder take turns instead of losing each other's records. Reads never take it. The lock is the
// folder's, taken once however deeply the writes of one program nest. A lock another program keeps for
// more than a few seconds abandons the command with "FICHERO BLOQUEADO POR OTRO PROGRAMA". A lock that
// cannot be had at all (the lock file may not be written, the file system cannot lock) makes the program
// read-only (State::ReadOnlyReason): this and every later write is refused with that reason.
class WriteLock
{
public:
    explicit WriteLock(Context& ctx);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    Context& m_ctx;
};

// Whether this program holds the folder's write lock: a write is under way.
bool WriteLockHeld(Context& ctx);

// Whether another program holds the folder's write lock now: a record it is writing may be half there.
bool FolderLockedByAnother(Context& ctx);

// Throws the refusal (IoAbort with ReadOnlyReason as its message) when this program may not write.
void RefuseWriteWhenReadOnly(Context& ctx);

// True for a record whose key marks it deleted ("Z").
template <typename T, typename Field> auto KeyIsDeleted(Field T::*key)
{
    return [key](const T& r) { return r.*key == "Z"; };
}

struct SortOptions
{
    TwinVariant twin = TwinVariant::Copy;
    // The order in which the records arrive in the list, and so the order of equal keys.
    LoadOrder order = LoadOrder::FirstToLast;
    Report report = Report::Show;
    // A missing data file counts as an empty one instead of a failure; a twin left from an older file
    // is removed then, since the twin stands for the file before this write.
    bool createMissing = false;
    // How records of equal key are ordered among themselves.
    TieRule ties = TieRule::AfterEqual;
};

// The one rewrite through the twin, under the write lock: the twin takes the old contents as
// `options.twin` says (a copy twin in the order the records arrive) and the data file becomes what
// `rebuild` makes of the old records in that order. Both files are replaced crash-safely. Returns false
// when the data file could not be opened (LastIOResult holds why; its message was shown when the caller
// reports); a failure while writing throws IoAbort.
template <typename T, typename Rebuild>
bool RewriteThroughTwin(Context& ctx, const QString& dataName, const QString& twinName, Rebuild rebuild,
                        SortOptions options = {})
{
    WriteLock lock(ctx);
    // The records are read once, straight into the list, whose bytes are also the copy twin's when it
    // holds them in the order they arrive; one buffer takes a reversed twin, then (for a rebuild that
    // writes bytes) the new file's: with the list, at most two images of the file are in memory.
    std::string bytes;
    std::vector<T> records;
    std::string renamed; // the twin of a rename keeps the file exactly, a torn last record included
    bool existed = true;
    {
        RecordFile<T> file(ctx);
        const IoResult opened = file.Open(dataName, RawRecordFile::Mode::Update);
        if (options.createMissing && opened.code == IoCode::FileNotFound) {
            existed = false;
            ctx.st.LastIOResult = IoCode::Ok;
        } else {
            if (!NoteIoResult(ctx, opened, options.report))
                return false;
            records.resize(file.Count());
            file.ReadRange(0, records.size(), records.data());
            file.ReportDamage(file.OverlongRecords(records));
            if (options.twin == TwinVariant::Rename)
                renamed = ReadWholeFile(ctx, file.path());
        }
    }
    if (options.order == LoadOrder::LastToFirst)
        std::reverse(records.begin(), records.end());
    // A copy twin holds the records in the order they arrive (reversed for CopyReversed): the file's own
    // order, or its reverse.
    const auto image = [](const std::vector<T>& r) {
        return std::string_view(reinterpret_cast<const char*>(r.data()), r.size() * sizeof(T));
    };
    std::string_view twin = image(records);
    if (options.twin == TwinVariant::Rename) {
        twin = renamed;
    } else if (options.twin == TwinVariant::CopyReversed) {
        bytes.reserve(twin.size());
        for (auto r = records.rbegin(); r != records.rend(); ++r)
            bytes.append(reinterpret_cast<const char*>(&*r), sizeof(T));
        twin = bytes;
    }
    // A rebuild that only reorders works its order out while the twin goes to disk: both sides only
    // read the records, and the order is waited for (also when the twin's write fails) before the
    // records go.
    constexpr bool kReorders = requires(const std::vector<T>& r)
    {
        rebuild.Order(r);
    };
    std::future<std::vector<std::uint32_t>> order;
    if constexpr (kReorders)
        // Without a thread to spare it is worked out when the order is asked for.
        order =
            std::async(std::launch::async | std::launch::deferred, [&] { return rebuild.Order(records); });
    if (options.twin != TwinVariant::None && !twinName.isEmpty()) {
        if (existed)
            ReplaceDataFile(ctx, twinName, twin);
        else if (!NoteIoResult(ctx, RemoveDataFile(ctx, twinName), options.report))
            return false;
    }
    std::string().swap(renamed);
    // The rebuild gives the new records, or writes their bytes into the buffer in its order.
    if constexpr (requires(std::vector<T> & r, const std::vector<std::uint32_t>& o) {
                      rebuild.Arrange(r, o);
                  }) {
        // The twin is written: the records take their new order where they stand, and go from there.
        std::string().swap(bytes);
        rebuild.Arrange(records, order.get());
        ReplaceDataFile(ctx, dataName, image(records));
    } else if constexpr (kReorders) {
        rebuild.Emit(records, order.get(), bytes);
        ReplaceDataFile(ctx, dataName, bytes);
    } else {
        std::string().swap(bytes);
        StoreRecords(ctx, dataName, rebuild(std::move(records)));
    }
    return true;
}

// An order that offers each record's prefix (Prefix(a) < Prefix(b) only when a goes before b).
template <typename Before, typename T>
concept PrefixedOrder = requires(const Before& before, const T& r)
{
    {
        before.Prefix(r)
        } -> std::convertible_to<std::uint64_t>;
};

// The record numbers of `records` in the order a stable sort by `before` gives them (the order of
// OrderAsInserted). The records are far larger than their numbers and a plain sort of the numbers reads
// them at random all over the file's image. An order with prefixes takes each record's prefix once and
// sorts the small pairs of prefix and number, reading the records themselves only for equal prefixes;
// otherwise runs that fit the processor's cache are sorted first and then merged, which reads them in
// far fewer scattered passes, fetched ahead.
template <typename T, typename Before>
std::vector<std::uint32_t> StableOrder(const std::vector<T>& records, Before before)
{
    const std::size_t n = records.size();
    if constexpr (PrefixedOrder<Before, T>) {
        struct Keyed
        {
            std::uint64_t prefix;
            std::uint32_t index;
        };
        std::vector<Keyed> keyed(n);
        std::array<std::array<std::uint32_t, 256>, 8> counts{};
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t prefix = before.Prefix(records[i]);
            keyed[i] = {prefix, static_cast<std::uint32_t>(i)};
            for (std::size_t d = 0; d < 8; ++d)
                ++counts[d][prefix >> (8 * d) & 0xFF];
        }
        // A radix sort by the prefixes, a byte at a time from the last: each pass keeps the order of the
        // one before, so equal prefixes stay in arrival order. A byte all prefixes share is skipped.
        std::vector<Keyed> scratch;
        for (std::size_t d = 0; d < 8 && n > 1; ++d) {
            if (counts[d][keyed[0].prefix >> (8 * d) & 0xFF] == n)
                continue;
            scratch.resize(n);
            std::uint32_t at = 0;
            for (std::uint32_t& c : counts[d])
                at += std::exchange(c, at);
            for (const Keyed& k : keyed)
                scratch[counts[d][k.prefix >> (8 * d) & 0xFF]++] = k;
            keyed.swap(scratch);
        }
        std::vector<Keyed>().swap(scratch);
        // Records of equal prefix are put in order by their whole keys, ties still in arrival order.
        for (std::size_t i = 0; i < n;) {
            std::size_t j = i + 1;
            while (j < n && keyed[j].prefix == keyed[i].prefix)
                ++j;
            if (j - i > 1)
                std::stable_sort(keyed.begin() + static_cast<std::ptrdiff_t>(i),
                                 keyed.begin() + static_cast<std::ptrdiff_t>(j),
                                 [&](const Keyed& x, const Keyed& y) {
                                     return before(records[x.index], records[y.index]);
                                 });
            i = j;
        }
        std::vector<std::uint32_t> order(n);
        for (std::size_t i = 0; i < n; ++i)
            order[i] = keyed[i].index;
        return order;
    }
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = static_cast<std::uint32_t>(i);
    const auto less = [&](std::uint32_t a, std::uint32_t b) { return before(records[a], records[b]); };
    constexpr std::size_t kRun = std::max<std::size_t>(64, 256 * 1024 / sizeof(T));
    for (std::size_t i = 0; i < n; i += kRun)
        std::stable_sort(order.begin() + i, order.begin() + std::min(n, i + kRun), less);
    if (n <= kRun)
        return order;
    std::vector<std::uint32_t> merged(n);
    // The records both runs will compare next are known ahead: fetching them early hides the wait
    // for memory that the scattered reads would otherwise cost.
    constexpr std::size_t kAhead = 8;
    for (std::size_t width = kRun; width < n; width *= 2) {
        for (std::size_t start = 0; start < n; start += 2 * width) {
            std::size_t a = start;
            const std::size_t aEnd = std::min(n, start + width);
            std::size_t b = aEnd;
            const std::size_t bEnd = std::min(n, start + 2 * width);
            std::size_t out = start;
            // On equal keys the first run's record goes first: the sort stays stable.
            while (a < aEnd && b < bEnd) {
                if (a + kAhead < aEnd)
                    __builtin_prefetch(&records[order[a + kAhead]]);
                if (b + kAhead < bEnd)
                    __builtin_prefetch(&records[order[b + kAhead]]);
                merged[out++] = less(order[b], order[a]) ? order[b++] : order[a++];
            }
            while (a < aEnd)
                merged[out++] = order[a++];
            while (b < bEnd)
                merged[out++] = order[b++];
        }
        order.swap(merged);
    }
    return order;
}

// The sorted rewrite through the twin: the records are ordered by `before` (ties in the order they
// arrive: file order, or reversed for a rewrite that reads from the last record, whose copy twin then
// holds them reversed too) and the records `drop` refuses are left out.
template <typename T, typename Before, typename Drop>
bool SortedRewrite(Context& ctx, const QString& dataName, const QString& twinName, Before before, Drop drop,
                   SortOptions options = {})
{
    // The records stay where they were read; only their numbers are sorted, and the new file's bytes
    // are written out from them.
    struct Sorted
    {
        Before before;
        Drop drop;
        TieRule ties;
        std::vector<std::uint32_t> Order(const std::vector<T>& records) const
        {
            if (ties == TieRule::HeadFirst)
                return HeadFirstOrder(records, before);
            return StableOrder(records, before);
        }
        // The records put in `order` where they stand, following each cycle of the order with one
        // record aside, then those `drop` refuses left out: no second image of the file is made.
        void Arrange(std::vector<T>& records, const std::vector<std::uint32_t>& order) const
        {
            std::vector<bool> placed(records.size());
            for (std::size_t start = 0; start < records.size(); ++start) {
                if (placed[start])
                    continue;
                const T aside = records[start];
                std::size_t at = start;
                while (order[at] != start) {
                    records[at] = records[order[at]];
                    placed[at] = true;
                    at = order[at];
                }
                records[at] = aside;
                placed[at] = true;
            }
            std::erase_if(records, [this](const T& r) { return drop(r); });
        }
    };
    const Sorted sorted{before, drop, options.ties};
    return RewriteThroughTwin<T>(ctx, dataName, twinName, sorted, options);
}

// The description of a record file that the generic operations below work on. A file of the data-file
// table derives from TableFile and adds what its owner decides:
//   static bool Before(const Record&, const Record&);   the key order of its list and of its sort
//   static bool SameKey(const Record&, const Record&);  the duplicate test of AppendUnique
//   static bool Deleted(const Record&);                 the records a sort drops (key "Z")
// and, where they differ from the defaults, kLoadOrder, kSortOrder, kTwin, kTies (how equal keys are
// ordered in its list and its sort) and SamePlace (the test that the record at an entry's position is
// still the one the list holds; the default asks for the same bytes). A file whose SameKey holds exactly
// when neither record goes Before the other declares kSameKeyInOrder = true: AppendUnique then looks for
// the key by halves in the part of the file its sort left in order; one whose records of a key never go
// before or after each other, without the converse, declares kSameKeyWithinOrder = true to the same end.
// Where a key leaves out a field that Before counts, so that its records lie apart in the order, the file
// also declares SearchBefore: an order that Before refines and under which a key's records stand together
// (a prefix of Before's fields); the look-up then reads only the records of that stretch.
// A file never put in order whose SameKey holds exactly when two records have the same key bytes declares
//   static std::string_view Key(const Record&);
// its look-ups then go through the keys remembered of the file (RawRecordFile::RememberedKeys), reading
// only the records appended since.
template <DataFile F, typename T> struct TableFile
{
    using Record = T;
    static_assert(sizeof(T) == SpecOf(F).recordSize, "record type and data-file table disagree");
    static QString Name(const State& st) { return st.FileName(F); }
    static QString Twin(const State& st) { return st.BackupFileName(F); }
    static constexpr TwinVariant kTwin = SpecOf(F).twinExtension ? TwinVariant::Copy : TwinVariant::None;
    // The order in which records arrive in the loaded list, and in the list of the sorted rewrite.
    static constexpr LoadOrder kLoadOrder = LoadOrder::FirstToLast;
    static constexpr LoadOrder kSortOrder = LoadOrder::FirstToLast;
};

enum class AppendResult {
    Stored,    // the record is the file's last
    Duplicate, // a record with its key is there already; nothing written
    Failed,    // the file could not be opened (LastIOResult)
};

enum class WriteResult {
    Written,
    Moved,  // the file changed under the list: "ERROR DE POSICIÓN. ANULADA MODIFICACIÓN", nothing written
    Failed, // the file could not be opened for writing (LastIOResult)
};

// Removes what interrupted rewrites left in the data folder (their temporary files). Runs at start-up.
void RemoveLeftoverTemporaryFiles(Context& ctx);

// Shows that a record to be rewritten is no longer where its list says.
void ShowPositionError(Context& ctx);

// The progress window of a long run, closed on every way out.
class ProgressScope
{
public:
    ProgressScope(Context& ctx, const QString& caption, int maximum) : m_ctx(ctx)
    {
        m_ctx.ui.BeginProgress(caption, maximum);
    }
    ~ProgressScope() { m_ctx.ui.EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Context& m_ctx;
};

// The operations on one record file, named by its traits: the file of the current environment, or the
// same kind of file under another name (another environment's, a twin).
template <typename Tr> class KeyedFile
{
public:
    using Record = typename Tr::Record;
    using Entry = ListEntry<Record>;

    explicit KeyedFile(Context& ctx) : m_ctx(ctx), m_name(Tr::Name(ctx.st)), m_twin(Tr::Twin(ctx.st)) {}
    // A file of this kind under another name; its sort goes through `twin` (none when empty).
    KeyedFile(Context& ctx, QString name, QString twin = {})
        : m_ctx(ctx), m_name(std::move(name)), m_twin(std::move(twin))
    {
    }

    const QString& name() const { return m_name; }
    bool Exists() const { return DataFileExists(m_ctx, m_name); }

    // Every record in file order, read-only; nullopt when the file cannot be opened.
    std::optional<std::vector<Record>> Read(Report report = Report::Show) const
    {
        return ReadRecords<Record>(m_ctx, m_name, report);
    }

    // The record at `index`, read-only, without reading the rest of the file; nullopt when the file
    // cannot be opened or holds no whole record there.
    std::optional<Record> ReadAt(std::uint64_t index, Report report = Report::Show) const
    {
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::Read), report))
            return std::nullopt;
        if (index >= file.Count())
            return std::nullopt;
        return file.Read(static_cast<std::size_t>(index));
    }

    // Whole records in the file, from its size; none when it cannot be opened.
    std::size_t Count() const
    {
        RecordFile<Record> file(m_ctx);
        return file.Open(m_name, RawRecordFile::Mode::Read) ? file.Count() : 0;
    }

    // The ordered list: every record with its position, in the order of `before` with ties placed as
    // kTies says, in the order the file is read. With a caption, the progress window runs over the
    // file's records while they load. An open failure leaves LastIOResult set, shows no progress and
    // gives an empty list.
    template <typename Before>
    std::vector<Entry> LoadList(Before before, Report report = Report::Show,
                                const QString& caption = {}) const
    {
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::Read), report))
            return {};
        const std::size_t count = file.Count();
        std::optional<ProgressScope> progress;
        if (!caption.isEmpty())
            progress.emplace(m_ctx, caption, static_cast<int>(count));
        std::vector<Entry> list = ReadEntries(file, count);
        file.ReportDamage(static_cast<std::size_t>(
            std::count_if(list.begin(), list.end(), [](const Entry& e) { return HasOverlongText(e.rec); })));
        OrderAsInserted(
            list, [&](const Entry& a, const Entry& b) { return before(a.rec, b.rec); }, Ties());
        if (progress)
            m_ctx.ui.SetProgress(static_cast<int>(count));
        return list;
    }
    std::vector<Entry> LoadList(Report report = Report::Show, const QString& caption = {}) const
    {
        return LoadList(Tr::Before, report, caption);
    }

    // Where the first record with `rec`'s key stands (SameKey), found as AppendUnique finds it: by halves
    // where the file is known to be in key order. Nothing when there is none or the file cannot be opened.
    std::optional<std::size_t> FindByKey(const Record& rec, Report report = Report::Silent) const
    {
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::Read), report))
            return std::nullopt;
        return FindFirst(file, rec);
    }

    // Every record with `rec`'s key (SameKey) with its position, in file order, found as FindByKey finds
    // the first: by halves where the file is known to be in key order, so that a look-up costs the same
    // in a file of any size. Nothing when the file cannot be opened.
    std::optional<std::vector<Entry>> FindAllByKey(const Record& rec, Report report = Report::Silent) const
    {
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::Read), report))
            return std::nullopt;
        std::vector<Entry> found;
        const auto each = [&found](const Record& r, std::size_t at) {
            found.push_back({r, static_cast<std::uint32_t>(at)});
            return false;
        };
        if constexpr (KeyInOrder()) {
            WalkKey(file, rec, each);
        } else {
            const std::vector<Record> records = file.ReadAll();
            for (std::size_t i = 0; i < records.size(); ++i)
                if (Tr::SameKey(records[i], rec))
                    each(records[i], i);
        }
        return found;
    }

    // Appends a record, creating the file when it does not exist. Returns its position; nullopt when
    // the file cannot be opened (reported as the caller asks).
    std::optional<std::uint32_t> Append(const Record& rec, Report report = Report::Show)
    {
        WriteLock lock(m_ctx);
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::OpenOrCreate), report))
            return std::nullopt;
        return static_cast<std::uint32_t>(file.Append(rec));
    }

    // Appends a record unless one that `same` matches is stored already. `position` receives where the
    // record went, or where the (first) matching one stands.
    template <typename Same>
    AppendResult AppendUnique(const Record& rec, Same same, std::uint32_t& position,
                              Report report = Report::Show)
    {
        return AppendIfAbsent(
            rec, [&](RecordFile<Record>& file) { return FindSame(file, rec, same); }, position, report);
    }
    AppendResult AppendUnique(const Record& rec, std::uint32_t& position, Report report = Report::Show)
    {
        return AppendIfAbsent(
            rec, [&](RecordFile<Record>& file) { return FindFirst(file, rec); }, position, report);
    }

    // Files whose record number is the record's own key (work orders): record `pos` is replaced, or
    // appended when `pos` is the record count; a missing file is created, any other open failure writes
    // nothing. A position past the end would leave a hole of blank records: refused as a position error.
    WriteResult WriteNumbered(std::uint32_t pos, const Record& rec, Report report = Report::Show)
    {
        WriteLock lock(m_ctx);
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::OpenOrCreate), report))
            return WriteResult::Failed;
        if (pos > file.Count()) {
            ShowPositionError(m_ctx);
            return WriteResult::Moved;
        }
        file.Write(pos, rec);
        return WriteResult::Written;
    }
    // Appends a record that carries its own position: `stamp(rec, pos)` writes the position into it
    // under the lock, so two programs adding at once never take the same number. Returns the position;
    // nullopt when the file cannot be opened.
    template <typename Stamp>
    std::optional<std::uint32_t> AppendNumbered(Record& rec, Stamp stamp, Report report = Report::Show)
    {
        WriteLock lock(m_ctx);
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::OpenOrCreate), report))
            return std::nullopt;
        const auto pos = static_cast<std::uint32_t>(file.Count());
        stamp(rec, pos);
        file.Write(pos, rec);
        return pos;
    }

    // Writes `rec` where `entry` was read. The file is opened by name now, not through a handle kept
    // since the list was loaded (every save replaces the file), and the record stored there must still be
    // the one the list holds; otherwise the file changed under the list and nothing is written. On
    // success the entry takes the new record.
    WriteResult WriteAt(Entry& entry, const Record& rec)
    {
        WriteLock lock(m_ctx);
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::Update), Report::Show))
            return WriteResult::Failed;
        const std::optional<Record> there =
            entry.pos < file.Count() ? std::optional<Record>(file.Read(entry.pos)) : std::nullopt;
        if (!there || !SamePlace(*there, entry.rec)) {
            ShowPositionError(m_ctx);
            return WriteResult::Moved;
        }
        // Written back with its key, the record leaves the file in key order for the look-ups by halves.
        file.Write(entry.pos, rec, KeepsPlace(*there, rec));
        entry.rec = rec;
        return WriteResult::Written;
    }

    // The sorted rewrite through the file's twin, dropping what `drop` refuses.
    template <typename Drop> bool Sort(Drop drop, Report report = Report::Show)
    {
        const bool sorted = SortedRewrite<Record>(m_ctx, m_name, m_twin, Tr::Before, drop,
                                                  {.twin = m_twin.isEmpty() ? TwinVariant::None : Tr::kTwin,
                                                   .order = SortOrder(),
                                                   .report = report,
                                                   .ties = Ties()});
        // The new file is in key order from its first record to its last.
        if (RecordFile<Record> file(m_ctx); sorted && file.Open(m_name, RawRecordFile::Mode::Read))
            file.NoteOrderedCount(file.Count());
        return sorted;
    }
    bool Sort(Report report = Report::Show) { return Sort(Tr::Deleted, report); }

    // The same rewrite in a second order of the file's (its ties as kTies says), dropping what Deleted
    // refuses.
    template <typename Before> bool SortBy(Before before, Report report = Report::Show)
    {
        return SortedRewrite<Record>(m_ctx, m_name, m_twin, before, Tr::Deleted,
                                     {.twin = m_twin.isEmpty() ? TwinVariant::None : Tr::kTwin,
                                      .order = SortOrder(),
                                      .report = report,
                                      .ties = Ties()});
    }

    // Replaces the file's records by `records` (a list edited in memory) through the file's twin, as the
    // sort does; a missing file is created. Returns false when the file cannot be opened.
    bool Rewrite(const std::vector<Record>& records, Report report = Report::Show)
    {
        return RewriteThroughTwin<Record>(m_ctx, m_name, m_twin, [&](std::vector<Record>) { return records; },
                                          {.twin = m_twin.isEmpty() ? TwinVariant::None : Tr::kTwin,
                                           .order = Tr::kLoadOrder,
                                           .report = report,
                                           .createMissing = true});
    }

    // Whether the file holds whole records in key order, as its lookups by halves need it. A kill or a
    // full disk between a save and its sort leaves the new records unsorted at the end (or a torn one).
    // A file that cannot be read counts as in order: there is nothing to put right.
    bool InKeyOrder() const
    {
        RecordFile<Record> file(m_ctx);
        if (!file.Open(m_name, RawRecordFile::Mode::Read))
            return true;
        if (file.SizeOnDisk() % sizeof(Record) != 0)
            return false;
        const std::vector<Record> records = file.ReadAll();
        const auto inOrder = std::is_sorted_until(records.begin(), records.end(), Tr::Before);
        file.NoteOrderedCount(static_cast<std::size_t>(inOrder - records.begin()));
        return inOrder == records.end();
    }

    // Copies the file's whole records into another file of the same kind (a new environment's),
    // crash-safely. Returns false when this file cannot be opened.
    bool CopyTo(const QString& otherName, Report report = Report::Show) const
    {
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::Read), report))
            return false;
        const std::string bytes = file.ReadAllBytes();
        file.Close();
        WriteLock lock(m_ctx);
        ReplaceDataFile(m_ctx, otherName, bytes);
        return true;
    }

private:
    template <typename Find>
    AppendResult AppendIfAbsent(const Record& rec, Find find, std::uint32_t& position, Report report)
    {
        WriteLock lock(m_ctx);
        RecordFile<Record> file(m_ctx);
        if (!NoteIoResult(m_ctx, file.Open(m_name, RawRecordFile::Mode::OpenOrCreate), report))
            return AppendResult::Failed;
        if (const std::optional<std::size_t> found = find(file)) {
            position = static_cast<std::uint32_t>(*found);
            return AppendResult::Duplicate;
        }
        position = static_cast<std::uint32_t>(file.Append(rec));
        return AppendResult::Stored;
    }

    // The first record that `same` matches with `rec`, read the whole file through.
    template <typename Same>
    static std::optional<std::size_t> FindSame(const RecordFile<Record>& file, const Record& rec, Same same)
    {
        const std::vector<Record> records = file.ReadAll();
        const auto found =
            std::find_if(records.begin(), records.end(), [&](const Record& r) { return same(r, rec); });
        if (found == records.end())
            return std::nullopt;
        return static_cast<std::size_t>(found - records.begin());
    }

    // The first record with `rec`'s key (SameKey), found the cheapest way the file allows: by halves in
    // key order, through the keys remembered of it, or read whole.
    static std::optional<std::size_t> FindFirst(RecordFile<Record>& file, const Record& rec)
    {
        if constexpr (KeyInOrder())
            return FindKey(file, rec);
        else if constexpr (KeyRemembered())
            return FindRemembered(file, rec);
        else
            return FindSame(file, rec, Tr::SameKey);
    }

    // The same through the keys remembered of the file, learning those of the records appended since (all
    // of them the first time). A record found is read again: should the file have changed unseen, its
    // keys are learnt anew from the first record.
    static std::optional<std::size_t> FindRemembered(RecordFile<Record>& file, const Record& rec)
    {
        KnownKeys* const known = file.RememberedKeys();
        if (!known)
            return FindSame(file, rec, Tr::SameKey);
        const std::string key(Tr::Key(rec));
        for (int pass = 0; pass < 2; ++pass) {
            const std::size_t count = file.Count();
            if (pass > 0 || known->count > count)
                *known = {};
            constexpr std::size_t kBlock = std::max<std::size_t>(1, (1u << 20) / sizeof(Record));
            std::vector<Record> block;
            for (std::size_t at = known->count; at < count; at += block.size()) {
                block.resize(std::min(kBlock, count - at));
                file.ReadRange(at, block.size(), block.data());
                known->overlong += file.OverlongRecords(block);
                for (std::size_t i = 0; i < block.size(); ++i)
                    known->first.try_emplace(std::string(Tr::Key(block[i])),
                                             static_cast<std::uint32_t>(at + i));
            }
            known->count = count;
            // As a whole read of the file would.
            file.ReportDamage(known->overlong);
            const auto found = known->first.find(key);
            if (found == known->first.end())
                return std::nullopt;
            if (Tr::SameKey(file.Read(found->second), rec))
                return found->second;
        }
        return FindSame(file, rec, Tr::SameKey);
    }

    // The same for the file's own key: the part known to be in key order is searched by halves (its first
    // record of the key is the file's first), the records appended after it one by one. A file of unknown
    // order is read whole once, which tells how far it is in order.
    static std::optional<std::size_t> FindKey(RecordFile<Record>& file, const Record& rec)
    {
        std::optional<std::size_t> first;
        WalkKey(file, rec, [&first](const Record&, std::size_t at) {
            first = at;
            return true;
        });
        return first;
    }

    // Calls `each(record, position)` for the records with `rec`'s key in file order, as FindKey looks for
    // them, until it returns true.
    template <typename Each> static void WalkKey(RecordFile<Record>& file, const Record& rec, Each each)
    {
        const std::optional<std::size_t> ordered = file.OrderedCount();
        if (!ordered) {
            const std::vector<Record> records = file.ReadAll();
            const auto inOrder = std::is_sorted_until(records.begin(), records.end(), Tr::Before);
            file.NoteOrderedCount(static_cast<std::size_t>(inOrder - records.begin()));
            for (std::size_t i = 0; i < records.size(); ++i)
                if (Tr::SameKey(records[i], rec) && each(records[i], i))
                    return;
            return;
        }
        std::size_t low = 0;
        std::size_t high = *ordered;
        std::optional<Record> atHigh;
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            Record probe = file.Read(middle);
            if (SearchBefore(probe, rec)) {
                low = middle + 1;
            } else {
                high = middle;
                atHigh = probe;
            }
        }
        // Records of one key are among those that neither go before nor after it; where the key is the
        // whole order they stand together from the first found.
        for (std::size_t i = low; i < *ordered; ++i) {
            const Record probe = i == low && atHigh ? *atHigh : file.Read(i);
            if (SearchBefore(rec, probe))
                break;
            if (Tr::SameKey(probe, rec)) {
                if (each(probe, i))
                    return;
            } else if constexpr (SameKeyIsOrder()) {
                break;
            }
        }
        const std::size_t count = file.Count();
        std::vector<Record> tail(count - *ordered);
        if (!tail.empty())
            file.ReadRange(*ordered, tail.size(), tail.data());
        for (std::size_t i = 0; i < tail.size(); ++i)
            if (Tr::SameKey(tail[i], rec) && each(tail[i], *ordered + i))
                return;
    }
    // Whether `after` stands where `before` stood in the file's key order.
    static bool KeepsPlace(const Record& before, const Record& after)
    {
        if constexpr (requires { Tr::Before(before, after); })
            return !Tr::Before(before, after) && !Tr::Before(after, before);
        else
            return false;
    }
    static constexpr bool SameKeyIsOrder()
    {
        if constexpr (requires { Tr::kSameKeyInOrder; })
            return Tr::kSameKeyInOrder;
        else
            return false;
    }
    // The order the look-up by halves walks: Before, or the coarser one the file declares.
    static bool SearchBefore(const Record& a, const Record& b)
    {
        if constexpr (requires { Tr::SearchBefore(a, b); })
            return Tr::SearchBefore(a, b);
        else
            return Tr::Before(a, b);
    }
    static constexpr bool KeyRemembered()
    {
        return requires(const Record& r)
        {
            {
                Tr::Key(r)
                } -> std::convertible_to<std::string_view>;
        };
    }
    static constexpr bool KeyInOrder()
    {
        if constexpr (requires { Tr::kSameKeyWithinOrder; })
            return SameKeyIsOrder() || Tr::kSameKeyWithinOrder;
        else
            return SameKeyIsOrder();
    }

    // Every record with its position, in the order they arrive (kLoadOrder). The file is read in large
    // blocks straight into the entries: no whole copy of the file is held beside the list.
    static std::vector<Entry> ReadEntries(const RecordFile<Record>& file, std::size_t count)
    {
        constexpr std::size_t kBlock = std::max<std::size_t>(1, (1u << 20) / sizeof(Record));
        constexpr bool kBackward = Tr::kLoadOrder == LoadOrder::LastToFirst;
        std::vector<Entry> list;
        list.reserve(count);
        std::vector<Record> block(std::min(kBlock, count));
        for (std::size_t done = 0; done < count;) {
            const std::size_t n = std::min(kBlock, count - done);
            const std::size_t first = kBackward ? count - done - n : done;
            file.ReadRange(first, n, block.data());
            for (std::size_t i = 0; i < n; ++i) {
                const std::size_t k = kBackward ? n - 1 - i : i;
                list.push_back({block[k], static_cast<std::uint32_t>(first + k)});
            }
            done += n;
        }
        return list;
    }
    static constexpr LoadOrder SortOrder()
    {
        if constexpr (requires { Tr::kSortOrder; })
            return Tr::kSortOrder;
        else
            return LoadOrder::FirstToLast;
    }
    static constexpr TieRule Ties()
    {
        if constexpr (requires { Tr::kTies; })
            return Tr::kTies;
        else
            return TieRule::AfterEqual;
    }
    static bool SamePlace(const Record& stored, const Record& listed)
    {
        if constexpr (requires { Tr::SamePlace(stored, listed); })
            return Tr::SamePlace(stored, listed);
        else
            return std::memcmp(&stored, &listed, sizeof(Record)) == 0;
    }

    Context& m_ctx;
    QString m_name;
    QString m_twin;
};

// Start-up: a keyed file left out of key order (a program stopped between a save and its sort, a disk too
// full for the sort) is put back in order by its owner's `sort`, so that its lookups by halves find every
// record. A file in order is not touched.
template <typename Tr, typename Sort> void EnsureKeyOrder(Context& ctx, Sort sort)
{
    KeyedFile<Tr> file(ctx);
    if (file.Exists() && !file.InKeyOrder())
        sort(ctx);
}

} // namespace gim
