#include "core/backup.h"
#include "started_program.h"

#include <QDir>

namespace gim {
namespace {

using BackupMenu = test::StartedProgram;

// The running program saves its record files into the backup folder beside the data folder.
TEST_F(BackupMenu, BackupIntoTheBackupFolder)
{
    const QString data = dir.filePath(QStringLiteral("datos"));
    ASSERT_TRUE(QDir().mkpath(data));
    ctx.st.BaseDir = ctx.st.WorkDir = data;
    TMachineRecord machine{};
    machine.Codigo = "01-001";
    machine.Cuenta = "CTA";
    machine.Disponible = "SI";
    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector{machine});
    QAction* backup = window->Action(QStringLiteral("Utiles > Copia Seg. > Hacer > C:\\CopiaSeg"));
    ASSERT_TRUE(backup && backup->isEnabled());
    backup->trigger();
    QTemporaryDir out;
    ASSERT_TRUE(ExtractArchive(ctx, dir.filePath(QStringLiteral("COPIASEG/PORTAL.rar")), out.path()));
    QFile saved(out.filePath(QStringLiteral("PORTAL.MQW")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), ReadFile(QStringLiteral("PORTAL.MQW")));
}

} // namespace
} // namespace gim
