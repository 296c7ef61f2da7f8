#include "core/backup.h"
#include "core/operations.h"
#include "support/killed_child.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QDir>
#include <functional>
#include <map>
#include <string_view>
#include <tuple>

namespace gim {
namespace {

// The environment's and the firm's record files, another environment's, a document per folder kept.
const QStringList kFiles = QStringLiteral("PORTAL.MQW PORTAL.P26 TALLE_PO.RCH TALLEPOR.PVW OTRO.MQW "
                                          "MAQUINAS/PORTAL/01-001.rtf INFORMES/Informe.rtf "
                                          "REPUESTOS/PORTAL/ALMACEN_/R1.jpg")
                               .split(QLatin1Char(' '));

// The data folder lies one level down, so that the backup folder beside it stays in the test's folder.
class BackupTest : public ::testing::Test
{
protected:
    BackupTest()
    {
        QDir().mkpath(data);
        t.ctx.st.BaseDir = t.ctx.st.WorkDir = data;
        t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        t.ctx.st.FirmName = QStringLiteral("TALLERES");
        OperationRegistry& registry = t.ctx.Module<OperationRegistry>();
        for (Op op : {Op::SortMachineFile, Op::CompactSupplierFile, Op::SortPersonnelFile,
                      Op::LoadWorkReports, Op::LoadPersonnel}) // a reload must already read the restored file
            registry.Register(op, [this, op](Context&) {
                calls << Name(op) + (" " + Files()[QStringLiteral("PORTAL.MQW")]);
            });
        RegisterBackupOperations(registry);
    }
    // Each file's bytes; with a suffix, first written as its name, three odd bytes and the suffix.
    std::map<QString, QString> Files(const char* suffix = nullptr) const
    {
        std::map<QString, QString> all;
        for (const QString& name : kFiles) {
            QFile f(data + QLatin1Char('/') + name);
            if (suffix && QDir().mkpath(QFileInfo(f).absolutePath()) && f.open(QIODevice::WriteOnly))
                f.write(name.toLatin1() + "\x01\xF1\r\n" + suffix), f.close();
            all[name] = f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
        }
        return all;
    }
    void Run(Op op) { t.ctx.Module<OperationRegistry>().Run(t.ctx, op); }

    test::TestContext t;
    const QString data = t.dir.filePath(QStringLiteral("datos"));
    const QString copies = t.dir.filePath(QStringLiteral("COPIASEG"));
    QStringList calls;
};

// The restore gives back exactly the bytes saved: the record files always, the documents only on "S",
// and the lists are reloaded once everything is back. A backup that cannot be written, an archive missing
// or damaged: said, and no file changes.
TEST_F(BackupTest, RestoreGivesBackTheSavedBytesOrNothing)
{
    const QString failed = QStringLiteral("No se ha podido restaurar la copia ") + copies;
    const QString untouched = QStringLiteral(". No se ha modificado ningún fichero");
    const QString archive = copies + QStringLiteral("/PORTAL.rar");
    FileFaults faults; // the record layer's seam fails one kind of call on the file whose path ends so
    const auto failing = [&](FileOp kind, const char* end) {
        return [&, kind, end] {
            faults.inject = [kind, end](FileOp op, const QString& p) {
                return op == kind && p.endsWith(end) ? EIO : 0;
            };
            t.ctx.faults = &faults;
        };
    };
    const std::vector<std::tuple<const char*, std::function<void()>, Op, QString>> cases = {
        {"S", nullptr, Op::RestoreFromDefaultFolder, ""},
        {"N", nullptr, Op::RestoreFromDefaultFolder, ""},
        {"", [&] { QDir(copies).removeRecursively(), QFile(copies).open(QIODevice::WriteOnly); },
         Op::BackupToDefaultFolder,
         QStringLiteral("No se ha podido hacer la copia %1/PORTAL.rar: no se puede crear el archivo\r"
                        "No se ha podido hacer la copia %1/TALLE_PO.rar: no se puede crear el archivo\r"
                        "No se ha podido hacer la copia %1/MMPORTAL.rar: no se puede crear el archivo\r"
                        "No se ha podido hacer la copia %1/RPPORTAL.rar: no se puede crear el archivo\r"
                        "No se ha podido hacer la copia %1/IFPORTAL.rar: no se puede crear el archivo")
             .arg(copies)},
        // The archives after one that cannot be written are written all the same.
        {"", [&] { QFile::remove(copies + "/TALLE_PO.rar"), QDir().mkpath(copies + "/TALLE_PO.rar/x"); },
         Op::BackupToDefaultFolder,
         QStringLiteral("No se ha podido hacer la copia ") + copies +
             QStringLiteral("/TALLE_PO.rar: no se puede crear el archivo")},
        {"", [&] { QFile(archive).resize(0); }, Op::RestoreFromDefaultFolder,
         failed + QStringLiteral("/PORTAL.rar: está vacía") + untouched},
        {"", [&] { QFile::remove(copies + QStringLiteral("/TALLE_PO.rar")); }, Op::RestoreFromDefaultFolder,
         failed + QStringLiteral("/TALLE_PO.rar: no existe") + untouched},
        {"", [&] { QFile(archive).resize(QFile(archive).size() / 2); }, Op::RestoreFromDefaultFolder,
         failed + QStringLiteral("/PORTAL.rar: está dañada o incompleta") + untouched},
        {"", failing(FileOp::Read, "/PORTAL.P26"), Op::BackupToDefaultFolder,
         QStringLiteral("No se ha podido hacer la copia ") + archive +
             QStringLiteral(": no se puede leer PORTAL.P26")},
        {"", failing(FileOp::Open, "/TALLE_PO.rar"), Op::RestoreFromDefaultFolder,
         failed + QStringLiteral("/TALLE_PO.rar: no se puede leer") + untouched},
    };
    for (const auto& [answer, spoil, op, message] : cases) {
        SCOPED_TRACE(answer + message.toStdString());
        t.ctx.faults = nullptr;
        QFile::remove(copies);
        QDir(copies + "/TALLE_PO.rar").removeRecursively();
        const std::map<QString, QString> saved = Files("");
        Run(Op::BackupToDefaultFolder);
        EXPECT_EQ(QDir(copies).entryList(QDir::Files).join(' '),
                  "IFPORTAL.rar MMPORTAL.rar PORTAL.rar RPPORTAL.rar TALLE_PO.rar");
        const std::map<QString, QString> changed = Files(" cambiado");
        calls.clear();
        if (spoil)
            spoil(), t.ui.ExpectMessage(message);
        else
            t.ui.ExpectInput("Restauación Informes", "Desea Restaurar Informes Adjuntos S/N", answer);
        Run(op);
        EXPECT_SCRIPT_DONE(t.ui);
        for (const auto& [name, bytes] : Files()) {
            const bool restored = !spoil && name != QStringLiteral("OTRO.MQW") &&
                                  (!name.contains(QLatin1Char('/')) || std::string_view(answer) == "S");
            EXPECT_EQ(bytes, restored ? saved.at(name) : changed.at(name)) << name.toStdString();
        }
        const QString before = saved.at(QStringLiteral("PORTAL.MQW")); // nothing changed, nothing reloaded
        const QStringList reloads =
            spoil ? QStringList() : QStringList{"LoadWorkReports " + before, "LoadPersonnel " + before};
        EXPECT_EQ(op == Op::RestoreFromDefaultFolder ? calls : reloads, reloads);
        QTemporaryDir out;
        QFile report(out.filePath("Informe.rtf"));
        const bool later =
            QFileInfo(copies).isDir() && op == Op::BackupToDefaultFolder; // written all the same
        EXPECT_TRUE(!later || (ExtractArchive(t.ctx, copies + "/IFPORTAL.rar", out.path()) &&
                               report.open(QIODevice::ReadOnly) &&
                               report.readAll() == "INFORMES/Informe.rtf\x01\xF1\r\n cambiado"));
    }
}

// A restore killed at any file call leaves the record files wholly as they were or wholly restored, and
// nothing of its own after the next start.
TEST_F(BackupTest, RestoreKilledAtAnyFileCallIsAllOrNothing)
{
    Files("");
    Run(Op::BackupToDefaultFolder);
    Files(" cambiado");
    EXPECT_EQ(test::KillAtEveryFileCall(t, {"PORTAL.MQW", "PORTAL.P26", "TALLE_PO.RCH", "TALLEPOR.PVW"},
                                        [&] {
                                            t.ui.ExpectInput("Restauación Informes",
                                                             "Desea Restaurar Informes Adjuntos S/N", "N");
                                            Run(Op::RestoreFromDefaultFolder);
                                        }),
              "");
}

// A firm name of any characters names its archive and the files it holds, taken as they stand.
TEST_F(BackupTest, AFirmOfAnyCharactersHasItsFilesSaved)
{
    t.ctx.st.FirmName = "..TALLER";
    for (const char* name : {"..TAL_PO.RCH", "..TAL_PO.PVW", "..TALPOR.RCH", "XXTAL_PO.RCH"})
        t.WriteFile(name, name);
    Run(Op::BackupToDefaultFolder);
    QTemporaryDir out;
    EXPECT_EQ(ExtractArchive(t.ctx, copies + "/..TAL_PO.rar", out.path()).value_or(QStringList()).join(' '),
              "..TALPOR.RCH ..TAL_PO.PVW ..TAL_PO.RCH");
}

} // namespace
} // namespace gim
