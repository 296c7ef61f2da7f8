#include "core/backup.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/drive_paths.h"
#include "core/environment.h"
#include "core/file_swap.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "core/sub_folders.h"
#include "core/transaction.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <archive.h>
#include <archive_entry.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unistd.h>
#include <utility>
#include <vector>

namespace gim {
namespace {

using WriteHandle = std::unique_ptr<archive, decltype(&archive_write_free)>;
using ReadHandle = std::unique_ptr<archive, decltype(&archive_read_free)>;
using EntryHandle = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

constexpr qint64 kChunk = qint64{1} << 20;

// The archive being written, replaced only once it is complete; its writes go through the fault seam.
struct ArchiveOut
{
    const Context& ctx;
    QString path;
    QSaveFile file;
};

la_ssize_t WriteToArchiveOut(archive*, void* client, const void* buffer, size_t length)
{
    auto* out = static_cast<ArchiveOut*>(client);
    if (CheckFileFault(out->ctx, FileOp::Write, out->path) != 0)
        return -1;
    const qint64 written = out->file.write(static_cast<const char*>(buffer), static_cast<qint64>(length));
    return written < 0 ? -1 : static_cast<la_ssize_t>(written);
}

// An archive named as the old archiver named them: the name given plus ".rar", found whatever its case.
QString ArchivePath(const QString& folder, const QString& name)
{
    return ResolveDataPath(folder, name + QStringLiteral(".rar"));
}

// The files of a folder whose names start with one of `prefixes` (any letter case, taken as they stand:
// a firm named "..TALLER" has its files too), or all of them.
QStringList FilesOf(const QString& folder, const QStringList& prefixes, const QString& excluded = {})
{
    QStringList files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (IsSwapScratch(name))
            continue;
        bool wanted = prefixes.isEmpty();
        for (const QString& prefix : prefixes)
            wanted = wanted || name.startsWith(prefix, Qt::CaseInsensitive);
        if (wanted && name.compare(excluded, Qt::CaseInsensitive) != 0)
            files << dir.absoluteFilePath(name);
    }
    return files;
}

tl::expected<QStringList, QString>
ExtractEach(const Context& ctx, const QString& archivePath,
            const std::function<std::optional<QString>(const QString&)>& place);

struct BackupSet
{
    QString name;
    QStringList files;
};

// The environment's record files (its journal is written through first and left out) and the firm's
// personnel and supplier files with their temporaries.
std::vector<BackupSet> DataSets(const State& st)
{
    const QString env = st.CurrentEnvironment;
    std::vector<BackupSet> sets;
    sets.push_back({env, FilesOf(st.WorkDir, {env + QLatin1Char('.')}, env + QStringLiteral(".JNL"))});
    if (FirmNameFitsFileNames(st.FirmName)) {
        const QString firm = st.FirmName.left(5) + QLatin1Char('_') + env.left(2);
        const QString temporaries = st.FirmName.left(5) + env.left(3) + QLatin1Char('.');
        sets.push_back({firm, FilesOf(st.WorkDir, {firm + QLatin1Char('.'), temporaries})});
    }
    return sets;
}

// Writes every archive, one after another; those that could not be written are shown in one message.
bool WriteBackups(Context& ctx, const QString& folder, const std::vector<BackupSet>& sets)
{
    QStringList failed;
    for (const BackupSet& set : sets) {
        const QString path = ArchivePath(folder, set.name);
        const tl::expected<void, QString> written = WriteArchive(ctx, path, set.files);
        if (!written)
            failed << QStringLiteral("No se ha podido hacer la copia ") + path + QStringLiteral(": ") +
                          written.error();
    }
    if (!failed.isEmpty())
        ctx.ui.ShowMessage(failed.join(QLatin1Char('\r')));
    return failed.isEmpty();
}

struct RestoreItem
{
    QString archive; // absolute path
    QString target;  // absolute folder
    bool skipsOwnFiles = false;
};

// What an archive to be restored holds is written into the step's scratch files, one per file it
// replaces; the files move into place together once every archive was read whole. A missing, empty or
// damaged archive, or a file that may not be replaced, leaves every file as it was.
bool RestoreArchives(Context& ctx, const std::vector<RestoreItem>& items)
{
    const auto fail = [&ctx](const QString& archive, const QString& why) {
        ctx.ui.ShowMessage(QStringLiteral("No se ha podido restaurar la copia ") + archive +
                           QStringLiteral(": ") + why +
                           QStringLiteral(". No se ha modificado ningún fichero"));
        return false;
    };
    FileSwap swap(ctx);
    QString current;
    try {
        for (const RestoreItem& item : items) {
            current = item.archive;
            if (!QDir().mkpath(item.target))
                return fail(item.archive, QStringLiteral("no se puede crear la carpeta ") + item.target);
            std::map<QString, QString> scratch; // a name stored twice: its last copy
            const tl::expected<QStringList, QString> names =
                ExtractEach(ctx, item.archive, [&](const QString& name) -> std::optional<QString> {
                    // The journal and the program's own files of a folder are never taken from a copy.
                    if (item.skipsOwnFiles &&
                        (name.endsWith(QStringLiteral(".JNL"), Qt::CaseInsensitive) || IsSwapScratch(name) ||
                         name.compare(QStringLiteral("GIM.LCK"), Qt::CaseInsensitive) == 0))
                        return std::nullopt;
                    QString& path = scratch[name];
                    if (path.isEmpty())
                        path = swap.Scratch(ResolveDataPath(item.target, name));
                    return path;
                });
            if (!names)
                return fail(item.archive, names.error());
        }
        swap.Commit();
    } catch (const IoAbort& e) {
        // Stored, only not all in place yet: the next writer finishes it, and the abandon says why.
        if (swap.Stored())
            throw;
        return fail(current, QStringLiteral("no se puede escribir ") + QFileInfo(e.file()).fileName());
    }
    return true;
}

// The record files of the environment and the firm, from `archives` into the data folder.
bool RestoreData(Context& ctx, const QStringList& archives)
{
    std::vector<RestoreItem> items;
    for (const QString& archive : archives)
        items.push_back({archive, ctx.st.WorkDir, true});
    return RestoreArchives(ctx, items);
}

// The archives of the record files in `folder`.
QStringList DataArchives(const State& st, const QString& folder)
{
    QStringList archives;
    for (const BackupSet& set : DataSets(st))
        archives << ArchivePath(folder, set.name);
    return archives;
}

// The restored files are read again only now that they are all in place.
void ReloadAfterRestore(Context& ctx)
{
    const OperationRegistry& registry = ctx.Module<OperationRegistry>();
    registry.Run(ctx, Op::LoadWorkReports);
    registry.Run(ctx, Op::LoadPersonnel);
}

QString MachineFolder(const State& st)
{
    return QStringLiteral("\\Maquinas\\") + st.CurrentEnvironment + QStringLiteral("\\");
}

QString StoreFolder(const State& st)
{
    return QStringLiteral("\\REPUESTOS\\") + st.CurrentEnvironment + QStringLiteral("\\ALMACEN_\\");
}

// The folder of the file chosen in an open dialog that starts in the backup folder.
std::optional<QString> ChosenFolder(Context& ctx, const QStringList& filters)
{
    FileDialogRequest request;
    request.folder = BackupFolder(ctx.st);
    request.filters = filters;
    request.anyLetterCase = true;
    const std::optional<QString> chosen = ctx.ui.ChooseFile(request);
    if (!chosen)
        return std::nullopt;
    return QFileInfo(*chosen).absolutePath();
}

} // namespace

QString BackupFolder(const State& st)
{
    return DrivePath(st.BaseDir, st.DriveText + QStringLiteral("\\CopiaSeg"));
}

tl::expected<void, QString> WriteArchive(const Context& ctx, const QString& archivePath,
                                         const QStringList& files)
{
    const QString cannotWrite = QStringLiteral("no se puede escribir el archivo");
    ArchiveOut out{ctx, archivePath, QSaveFile(archivePath)};
    if (CheckFileFault(ctx, FileOp::Create, archivePath) != 0 || !out.file.open(QIODevice::WriteOnly))
        return tl::unexpected(QStringLiteral("no se puede crear el archivo"));
    WriteHandle a(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(a.get());
    archive_write_set_format_option(a.get(), "zip", "hdrcharset", "UTF-8");
    archive_write_set_bytes_per_block(a.get(), 0);
    if (archive_write_open(a.get(), &out, nullptr, WriteToArchiveOut, nullptr) != ARCHIVE_OK)
        return tl::unexpected(cannotWrite);
    for (const QString& path : files) {
        QFile in(path);
        const QFileInfo info(path);
        const QString cannotRead = QStringLiteral("no se puede leer ") + info.fileName();
        if (CheckFileFault(ctx, FileOp::Open, path) != 0 || !in.open(QIODevice::ReadOnly))
            return tl::unexpected(cannotRead);
        const qint64 size = in.size();
        EntryHandle entry(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname_utf8(entry.get(), info.fileName().toUtf8().constData());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_size(entry.get(), size);
        archive_entry_set_mtime(entry.get(), info.lastModified().toSecsSinceEpoch(), 0);
        if (archive_write_header(a.get(), entry.get()) != ARCHIVE_OK)
            return tl::unexpected(cannotWrite);
        for (qint64 left = size; left > 0;) {
            if (CheckFileFault(ctx, FileOp::Read, path) != 0)
                return tl::unexpected(cannotRead);
            const QByteArray chunk = in.read(std::min(left, kChunk));
            if (chunk.isEmpty())
                return tl::unexpected(cannotRead);
            if (archive_write_data(a.get(), chunk.constData(), static_cast<size_t>(chunk.size())) !=
                chunk.size())
                return tl::unexpected(cannotWrite);
            left -= chunk.size();
        }
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK || CheckFileFault(ctx, FileOp::Rename, archivePath) != 0 ||
        !out.file.commit())
        return tl::unexpected(cannotWrite);
    return {};
}

namespace {

// Reads the regular files of an archive, each into the file `place` gives for its name (none: skipped),
// without the folders stored in it; the names read. The reason when the archive is missing, empty,
// unreadable or damaged, in the program's words.
tl::expected<QStringList, QString>
ExtractEach(const Context& ctx, const QString& archivePath,
            const std::function<std::optional<QString>(const QString&)>& place)
{
    const QFileInfo info(archivePath);
    if (!info.isFile())
        return tl::unexpected(QStringLiteral("no existe"));
    // An archive holds at least its own directory: a file of no bytes is none.
    if (info.size() == 0)
        return tl::unexpected(QStringLiteral("está vacía"));
    if (!info.isReadable() || CheckFileFault(ctx, FileOp::Open, archivePath) != 0)
        return tl::unexpected(QStringLiteral("no se puede leer"));
    const QString damaged = QStringLiteral("está dañada o incompleta");
    ReadHandle a(archive_read_new(), archive_read_free);
    archive_read_support_format_all(a.get());
    archive_read_support_filter_all(a.get());
    if (archive_read_open_filename(a.get(), QFile::encodeName(archivePath).constData(), 1 << 16) !=
        ARCHIVE_OK)
        return tl::unexpected(damaged);
    QStringList names;
    std::set<QString> seen;
    for (;;) {
        archive_entry* entry = nullptr;
        const int next = archive_read_next_header(a.get(), &entry);
        if (next == ARCHIVE_EOF)
            break;
        if (next != ARCHIVE_OK)
            return tl::unexpected(damaged);
        if (archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const char* utf8 = archive_entry_pathname_utf8(entry);
        QString stored =
            utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(archive_entry_pathname(entry));
        // Extracted without folders, so that nothing lands outside the target.
        const QString name =
            stored.replace(QLatin1Char('\\'), QLatin1Char('/')).section(QLatin1Char('/'), -1);
        if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
            continue;
        const std::optional<QString> path = place(name);
        if (!path)
            continue;
        QFile out(*path);
        const QString cannotWrite = QStringLiteral("no se puede escribir ") + name;
        if (CheckFileFault(ctx, FileOp::Create, *path) != 0 ||
            !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return tl::unexpected(cannotWrite);
        for (;;) {
            const void* block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            const int read = archive_read_data_block(a.get(), &block, &size, &offset);
            if (read == ARCHIVE_EOF)
                break;
            // A damaged member (a checksum that does not match included) fails the whole archive.
            if (read != ARCHIVE_OK)
                return tl::unexpected(damaged);
            if (CheckFileFault(ctx, FileOp::Write, *path) != 0 || !out.seek(offset) ||
                out.write(static_cast<const char*>(block), static_cast<qint64>(size)) !=
                    static_cast<qint64>(size))
                return tl::unexpected(cannotWrite);
        }
        if (!out.flush() || CheckFileFault(ctx, FileOp::Sync, *path) != 0 || ::fsync(out.handle()) != 0)
            return tl::unexpected(cannotWrite);
        out.setFileTime(QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry)),
                        QFileDevice::FileModificationTime);
        if (seen.insert(name).second)
            names << name;
    }
    return names;
}

} // namespace

tl::expected<QStringList, QString> ExtractArchive(const Context& ctx, const QString& archivePath,
                                                  const QString& folder)
{
    return ExtractEach(ctx, archivePath,
                       [&folder](const QString& name) { return QDir(folder).filePath(name); });
}

void BackupToDefaultFolder(Context& ctx)
{
    State& st = ctx.st;
    const OperationRegistry& registry = ctx.Module<OperationRegistry>();
    // The saved files are sorted and hold no deleted records.
    registry.Run(ctx, Op::SortMachineFile);
    registry.Run(ctx, Op::CompactSupplierFile);
    registry.Run(ctx, Op::SortPersonnelFile);
    const QString folder = BackupFolder(st);
    QDir().mkpath(folder); // a folder that cannot be made is reported by the first archive
    MakeSubFolder(st.BaseDir, QStringLiteral("\\INFORMES\\"));
    for (const char* name : {"\\AVERIAS\\", "\\MAQUINAS\\", "\\REPARACIONES\\", "\\HISTORIAL\\",
                             "\\REPUESTOS\\", "\\PERSONAL\\", "\\PARTES\\", "\\ENERGIAS\\"}) {
        MakeSubFolder(st.BaseDir, QLatin1String(name));
        MakeSubFolder(st.BaseDir, QLatin1String(name) + st.CurrentEnvironment);
    }
    st.CurrentSubFolder = MachineFolder(st);
    const QString machines = MakeSubFolder(st.BaseDir, st.CurrentSubFolder).value_or(QString());
    st.CurrentSubFolder = StoreFolder(st);
    const std::optional<QString> store = MakeSubFolder(st.BaseDir, st.CurrentSubFolder);

    WriteLock lock(ctx);
    CheckpointJournal(ctx);
    std::vector<BackupSet> sets = DataSets(st);
    const QString env = st.CurrentEnvironment;
    sets.push_back({QStringLiteral("MM") + env, machines.isEmpty() ? QStringList() : FilesOf(machines, {})});
    // A store folder that cannot be made is left out.
    if (store)
        sets.push_back({QStringLiteral("RP") + env, FilesOf(*store, {})});
    sets.push_back({QStringLiteral("IF") + env,
                    FilesOf(ResolveSubFolder(st.BaseDir, QStringLiteral("\\INFORMES\\")), {})});
    WriteBackups(ctx, folder, sets);
}

void BackupToChosenFolder(Context& ctx)
{
    const std::optional<QString> folder = ChosenFolder(ctx, {});
    if (!folder)
        return;
    WriteLock lock(ctx);
    CheckpointJournal(ctx);
    WriteBackups(ctx, *folder, DataSets(ctx.st));
}

bool RestoreBackup(Context& ctx, const QStringList& dataArchives)
{
    State& st = ctx.st;
    if (!RestoreData(ctx, dataArchives))
        return false;
    st.AnswerCode =
        ctx.ui
            .InputBox(QStringLiteral("Restauación Informes"),
                      QStringLiteral("Desea Restaurar Informes Adjuntos S/N"), QStringLiteral("N"))
            .left(2);
    if (st.AnswerCode == QStringLiteral("S")) {
        const QString folder = BackupFolder(st);
        const QString env = st.CurrentEnvironment;
        const QString machines = MakeSubFolder(st.BaseDir, MachineFolder(st)).value_or(QString());
        const QString reports = MakeSubFolder(st.BaseDir, QStringLiteral("\\INFORMES\\")).value_or(QString());
        const QString store = MakeSubFolder(st.BaseDir, StoreFolder(st)).value_or(QString());
        RestoreArchives(ctx, {{ArchivePath(folder, QStringLiteral("MM") + env), machines},
                              {ArchivePath(folder, QStringLiteral("IF") + env), reports},
                              {ArchivePath(folder, QStringLiteral("RP") + env), store}});
    }
    ReloadAfterRestore(ctx);
    return true;
}

void RestoreFromDefaultFolder(Context& ctx)
{
    RestoreBackup(ctx, DataArchives(ctx.st, BackupFolder(ctx.st)));
}

void RestoreFromChosenFolder(Context& ctx)
{
    const std::optional<QString> folder =
        ChosenFolder(ctx, {QStringLiteral("Ficheros de Datos Máquinas *.rar (*.rar)")});
    if (!folder || !RestoreData(ctx, DataArchives(ctx.st, *folder)))
        return;
    ReloadAfterRestore(ctx);
}

void RegisterBackupOperations(OperationRegistry& registry)
{
    registry.Register(Op::BackupToDefaultFolder, BackupToDefaultFolder);
    registry.Register(Op::BackupToChosenFolder, BackupToChosenFolder);
    registry.Register(Op::RestoreFromDefaultFolder, RestoreFromDefaultFolder);
    registry.Register(Op::RestoreFromChosenFolder, RestoreFromChosenFolder);
}

} // namespace gim
