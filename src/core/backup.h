#pragma once

#include <QString>
#include <QStringList>
#include <tl/expected.hpp>

namespace gim {

struct Context;
struct State;
class OperationRegistry;

// Backups are five archives with fixed names (ENV, firm prefix + "_" + two letters of ENV, "MM", "RP"
// and "IF" + ENV), each a file name + ".rar" in the backup folder. They are written and read in-process
// one after another, and a failure is shown. Ours are zip inside; a restore reads the format from the
// contents, so that the name ".rar" settles nothing.

// The backup folder: the drive's "\CopiaSeg", which lies beside the data folder.
QString BackupFolder(const State& st);

// Writes `files` (absolute paths) into the archive at `archivePath`, without their folders. The archive is
// replaced only once it is complete. The reason when it cannot be written.
// Its file calls go through the record layer's fault seam.
tl::expected<void, QString> WriteArchive(const Context& ctx, const QString& archivePath,
                                         const QStringList& files);

// Extracts the regular files of an archive into `folder`, without the folders stored in it; the names
// extracted. The reason when the archive is missing, unreadable or damaged.
tl::expected<QStringList, QString> ExtractArchive(const Context& ctx, const QString& archivePath,
                                                  const QString& folder);

// The restore from the backup folder with the record files' archives given (the environment's, then the
// firm's): those first, all or nothing, then on the user's word the documents' archives of the backup
// folder; the lists are read again. False when the record files were not restored (the user was told).
bool RestoreBackup(Context& ctx, const QStringList& dataArchives);

// The four menu commands: backup into the backup folder, backup into a chosen folder, restore from the
// backup folder, restore from a chosen folder.
void BackupToDefaultFolder(Context& ctx);
void BackupToChosenFolder(Context& ctx);
void RestoreFromDefaultFolder(Context& ctx);
void RestoreFromChosenFolder(Context& ctx);

void RegisterBackupOperations(OperationRegistry& registry);

} // namespace gim
