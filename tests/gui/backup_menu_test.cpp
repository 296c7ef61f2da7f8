#include "started_program.h"

#include <QDir>
#include <QMessageBox>

namespace gim {
namespace {

using BackupMenu = test::StartedProgram;

// The running program saves its files into the backup folder beside the data folder and, asked "N" for
// the documents, gives back its record files as they were saved.
TEST_F(BackupMenu, BackupIntoTheBackupFolderAndRestore)
{
    const QString data = dir.filePath(QStringLiteral("datos"));
    ASSERT_TRUE(QDir().mkpath(data));
    ctx.st.BaseDir = ctx.st.WorkDir = data;
    TMachineRecord machine{};
    machine.Codigo = "01-001";
    machine.Denominacion = "Prensa";
    machine.Cuenta = "CTA";
    machine.Disponible = "SI";
    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector{machine});
    const QByteArray saved = ReadFile(QStringLiteral("PORTAL.MQW"));
    QStringList answers{"N"}, seen;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(modal); input && !answers.isEmpty()) {
            seen << input->windowTitle() + QLatin1Char('|') + input->labelText();
            input->setTextValue(answers.takeFirst());
            input->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            box->accept();
        }
    });
    answering.start(10);
    QAction* backup = window->Action(QStringLiteral("Utiles > Copia Seg. > Hacer > C:\\CopiaSeg"));
    ASSERT_NE(backup, nullptr);
    ASSERT_TRUE(backup->isEnabled());
    backup->trigger();
    const QString archive = dir.filePath(QStringLiteral("COPIASEG/PORTAL.rar"));
    ASSERT_TRUE(QFile::exists(archive)) << seen.join(QLatin1Char('\n')).toStdString();

    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector{machine, machine});
    window->Action(QStringLiteral("Utiles > Copia Seg. > Restaurar > C:/CopiaSeg"))->trigger();
    answering.stop();
    EXPECT_EQ(ReadFile(QStringLiteral("PORTAL.MQW")), saved);
    // The personnel list is read again once the files are back; this folder has none.
    EXPECT_EQ(seen, (QStringList{"Restauación Informes|Desea Restaurar Informes Adjuntos S/N",
                                 "Falta Fichero Personal: "}));
}

} // namespace
} // namespace gim
