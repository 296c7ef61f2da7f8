#include "started_program.h"
#include "support/web_peer.h"

#include <QAbstractButton>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTextEdit>

namespace gim {
namespace {

using WebSyncMenu = test::StartedProgram;

// Sincronización > Partes D in the running program, every question answered Sí: the gateway window holds
// the lines, the echo of the refused line and the closing line, not the fetched file loaded over them.
TEST_F(WebSyncMenu, TheGatewayWindowShowsTheEchoOfTheSynchronisation)
{
    test::WebPeer peer;
    ASSERT_TRUE(peer.Error().isEmpty()) << peer.Error().toStdString();
    peer.WriteSettings(dir.path());
    peer.Put(QStringLiteral("opciones/archivos/PORTAL_PD.txt"), "x\t0042\tZZZ\t07/12/2026\tC\tM\t45\r\n");
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (auto* yes = box ? box->findChild<QAbstractButton*>(QStringLiteral("YES")) : nullptr)
            yes->click();
        else if (box)
            box->accept();
    });
    watch.start(10);
    window->Action(QStringLiteral("Utiles > Veltrano Web > Sincronización > Partes D"))->trigger();
    watch.stop();
    QMdiSubWindow* gateway = window->MdiArea()->activeSubWindow();
    EXPECT_EQ((gateway->windowTitle() + qobject_cast<TEditorRTF*>(gateway->widget())->Texto()->toPlainText())
                  .toStdString(),
              "Pasarela Imformes Veltranox\t0042\tZZZ\t07/12/2026\tC\tM\t45\n \n   "
              "x\t0042\tZZZ\t07/12/2026\tC\tM\t45  MÁQUINA INEXISTENTE\n\n"
              "\tFINALIZADA LA SINCRONIZACIÓN DE PARTES DIARIOS");
}

} // namespace
} // namespace gim
