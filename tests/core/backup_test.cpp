#include "core/backup.h"
#include "core/context.h"
#include "core/operations.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace gim {
namespace {

// The data folder lies one level down, so that the backup folder beside it stays inside the test's folder.
class BackupTest : public ::testing::Test
{
protected:
    BackupTest()
    {
        data = t.dir.filePath(QStringLiteral("datos"));
        QDir().mkpath(data);
        t.ctx.st.BaseDir = t.ctx.st.WorkDir = data;
        t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        t.ctx.st.FirmName = QStringLiteral("TALLERES");
        t.ctx.st.DriveText = QStringLiteral("C:");
        OperationRegistry& registry = t.ctx.Module<OperationRegistry>();
        for (Op op : {Op::SortMachineFile, Op::CompactSupplierFile, Op::SortPersonnelFile,
                      Op::LoadWorkReports, Op::LoadPersonnel})
            registry.Register(op, [this, op](Context&) {
                // What a reload reads must already be the restored file.
                calls << QString::fromLatin1(Name(op)) + QLatin1Char(' ') +
                             Read(QStringLiteral("PORTAL.MQW"));
            });
        RegisterBackupOperations(registry);
    }

    QString Read(const QString& relative) const
    {
        QFile f(data + QLatin1Char('/') + relative);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QStringLiteral("<none>");
    }
    void Write(const QString& relative, const QByteArray& bytes) const
    {
        QFile f(data + QLatin1Char('/') + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    std::map<QString, QString> ReadAll() const
    {
        std::map<QString, QString> all;
        for (const auto& [name, bytes] : kFiles)
            all[QString::fromLatin1(name)] = Read(QString::fromLatin1(name));
        return all;
    }
    void Run(Op op) { t.ctx.Module<OperationRegistry>().Run(t.ctx, op); }

    // Record files of the environment and the firm, one file of another environment, and one document in
    // each folder the backup keeps. Bytes include a zero, a high byte and a line end.
    static constexpr std::pair<const char*, const char*> kFiles[] = {
        {"PORTAL.MQW", "maq\x01\xF1\r\n"},   {"PORTAL.P26", "partes"},
        {"TALLE_PO.RCH", "personal"},        {"TALLEPOR.PVW", "proveedores"},
        {"OTRO.MQW", "otro entorno"},        {"MAQUINAS/PORTAL/01-001.rtf", "hoja"},
        {"INFORMES/Informe.rtf", "informe"}, {"REPUESTOS/PORTAL/ALMACEN_/R1.jpg", "\xFF\xD8 foto"},
    };

    void StoreFiles(const char* suffix)
    {
        for (const auto& [name, bytes] : kFiles) {
            QDir().mkpath(QFileInfo(data + QLatin1Char('/') + QString::fromLatin1(name)).absolutePath());
            Write(QString::fromLatin1(name), QByteArray(bytes) + suffix);
        }
    }

    test::TestContext t;
    QString data;
    QStringList calls;
};

// Backup, then the files change, then the restore brings back exactly what was saved: the record files
// always, the documents only on "S"; the lists are reloaded once everything is back.
TEST_F(BackupTest, RestoreGivesBackTheSavedBytes)
{
    struct Case
    {
        const char* answer;
        bool documents;
    } const cases[] = {{"S", true}, {"N", false}, {"SI", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        StoreFiles("");
        const std::map<QString, QString> saved = ReadAll();
        Run(Op::CMantenimSeg1Click);
        for (const char* archive : {"PORTAL", "TALLE_PO", "MMPORTAL", "RPPORTAL", "IFPORTAL"})
            EXPECT_TRUE(QFile::exists(t.dir.filePath(QStringLiteral("COPIASEG/") + archive + ".rar")))
                << archive;
        StoreFiles(" cambiado");
        const std::map<QString, QString> changed = ReadAll();
        Write(QStringLiteral("PORTAL.JNL"), ""); // a spent journal is not saved with the data
        calls.clear();
        t.ui.ExpectInput(QStringLiteral("Restauación Informes"),
                         QStringLiteral("Desea Restaurar Informes Adjuntos S/N"),
                         QString::fromLatin1(c.answer));
        Run(Op::CCopiaSeg1Click);
        EXPECT_SCRIPT_DONE(t.ui);
        for (const auto& [name, bytes] : ReadAll()) {
            const bool document = name.contains(QLatin1Char('/'));
            const bool restored = name != QStringLiteral("OTRO.MQW") && (!document || c.documents);
            EXPECT_EQ(bytes, restored ? saved.at(name) : changed.at(name)) << name.toStdString();
        }
        EXPECT_EQ(calls,
                  (QStringList{QStringLiteral("LoadWorkReports ") + saved.at(QStringLiteral("PORTAL.MQW")),
                               QStringLiteral("LoadPersonnel ") + saved.at(QStringLiteral("PORTAL.MQW"))}));
        QFile::remove(data + QStringLiteral("/PORTAL.JNL"));
    }
}

// A backup that cannot be written, or an archive missing or damaged, is said and leaves every file as
// it was: nothing of a restore lands unless all of its archives read whole.
TEST_F(BackupTest, FailuresAreSaidAndTouchNothing)
{
    const QString copies = t.dir.filePath(QStringLiteral("COPIASEG"));
    struct Case
    {
        const char* name;
        std::function<void()> spoil;
        Op op;
        QString message;
    } const cases[] = {
        {"backup folder is a file",
         [&] { QDir(copies).removeRecursively(), Write(QStringLiteral("../COPIASEG"), "x"); },
         Op::CMantenimSeg1Click,
         QStringLiteral("No se ha podido hacer la copia ") + copies +
             QStringLiteral("/PORTAL.rar: Not a directory")},
        {"firm archive missing", [&] { QFile::remove(copies + QStringLiteral("/TALLE_PO.rar")); },
         Op::CCopiaSeg1Click,
         QStringLiteral("No se ha podido restaurar la copia ") + copies +
             QStringLiteral("/TALLE_PO.rar: no existe. No se ha modificado ningún fichero")},
        {"data archive cut short",
         [&] {
             QFile f(copies + QStringLiteral("/PORTAL.rar"));
             ASSERT_TRUE(f.resize(f.size() / 2));
         },
         Op::CCopiaSeg1Click,
         QStringLiteral("No se ha podido restaurar la copia ") + copies +
             QStringLiteral(
                 "/PORTAL.rar: Truncated ZIP end-of-file record. No se ha modificado ningún fichero")},
        {"data archive not an archive",
         [&] {
             QFile::remove(copies + QStringLiteral("/PORTAL.rar")),
                 QFile::copy(data + QStringLiteral("/PORTAL.P26"), copies + QStringLiteral("/PORTAL.rar"));
         },
         Op::CCopiaSeg1Click,
         QStringLiteral("No se ha podido restaurar la copia ") + copies +
             QStringLiteral("/PORTAL.rar: Unrecognized archive format. No se ha modificado ningún fichero")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(copies);
        StoreFiles("");
        Run(Op::CMantenimSeg1Click);
        StoreFiles(" cambiado");
        const std::map<QString, QString> before = ReadAll();
        c.spoil();
        calls.clear();
        t.ui.ExpectMessage(c.message);
        Run(c.op);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(ReadAll(), before);
        if (c.op == Op::CCopiaSeg1Click) {
            EXPECT_EQ(calls, QStringList()); // nothing changed, nothing to reload
        }
    }
}

} // namespace
} // namespace gim
