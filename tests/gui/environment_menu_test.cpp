#include "started_program.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>

namespace gim {
namespace {

using EnvironmentMenu = test::StartedProgram;

// PLANTA becomes PLANTA26, the access change switches to it, and the browser lists its pictures whatever
// the case of their names.
TEST_F(EnvironmentMenu, RestartAccessChangeAndBrowser)
{
    ctx.st.CurrentEnvironment = QStringLiteral("PLANTA");
    BuildDataFileNames(ctx);
    StoreRecords(ctx, QStringLiteral("PLANTA.MQW"), std::vector{TMachineRecord{}});
    // Every file the restart carries is there: one that is not abandons it.
    for (const char* name : {"PLANTA.OPR", "PLANTA.INT"})
        StoreRecords(ctx, QString::fromLatin1(name), std::vector<char>{});
    for (const char* name : {"FOTO.JPG", "plano.jpg", "nota.rtf"})
        QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    operations.Register(Op::RestartStoreYear, [](Context&) {});
    window->RefreshMenus();
    QStringList answers{"", "S", "CLAVE", "CLAVE", "PLANTA26", "M"}, seen;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* input = qobject_cast<QInputDialog*>(modal); input && !answers.isEmpty()) {
            const QString answer = answers.takeFirst();
            input->setTextValue(answer.isEmpty() ? input->textValue() : answer); // "" keeps the proposal
            input->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            box->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            seen << files->nameFilters();
            files->selectNameFilter(files->nameFilters().at(4));
            auto* view = files->findChild<QListView*>(QStringLiteral("listView"));
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 500) // the folder is read and filtered in the background
                QApplication::processEvents(QEventLoop::AllEvents, 10);
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                seen << view->model()->index(row, 0, view->rootIndex()).data().toString();
            files->reject();
        }
    });
    answering.start(10);
    for (const char* path :
         {"Utiles > Entorno  > Reinicia Año", "Utiles > Entorno  > Acceso", "Utiles > Ficheros"})
        window->Action(QString::fromUtf8(path))->trigger();
    answering.stop();
    EXPECT_EQ(seen.mid(seen.size() - 12),
              (QStringList{"Creado Entorno PLANTA26", "RECUERDE EL NUEVO ACCESO ES :CLAVE",
                           "Falta Fichero Personal: EMPRE_PL.RCH",
                           "Ficheros de Datos Máquinas de PLANTA26 (PLANTA26.*)",
                           "Ficheros de Datos Personal de EMPRE_PL (EMPRE_PL.*)",
                           "Entornos de Fábricas .mqn (*.mq*)", "Ficheros de Personal .rch (*.rch)",
                           "Ficheros de Imágenes Comprimidas .JPG (*.jpg)",
                           "Ficheros de Imágenes Editables .BMP (*.bmp)", "Ficheros de Texto .RTF (*.rtf)",
                           "FOTO.JPG", "plano.jpg"}));
    EXPECT_EQ(ctx.st.AccessCode, QStringLiteral("CLAVE"));
    EXPECT_EQ(ctx.st.CurrentEnvironment, QStringLiteral("PLANTA26"));
}

} // namespace
} // namespace gim
