#include "platform/qt/card_dialog.h"
#include "started_program.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>

namespace gim {
namespace {

using ImportMenu = test::StartedProgram;

// Utiles > Importar in the running program: Máquinas clicked, Manual unticked, Máquinas double-clicked;
// the pasted line is stored without a card and the gateway window shows it echoed as added.
TEST_F(ImportMenu, APastedMachineLineIsAddedWithoutItsCard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("1\tPR02\tPrensa\t-\t-\tCTA\t-\tSI\r\n"));
    QStringList windows;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || (!windows.isEmpty() && windows.last() == modal->windowTitle()))
            return;
        windows << modal->windowTitle();
        auto* card = qobject_cast<CardDialog*>(modal);
        if (!card || modal->windowTitle() != QStringLiteral("Importador de Datos")) {
            modal->close();
            return;
        }
        auto* machines = qobject_cast<QCheckBox*>(card->FieldWidget(QStringLiteral("Maquinas")));
        auto* manual = qobject_cast<QCheckBox*>(card->FieldWidget(QStringLiteral("Manual")));
        ASSERT_TRUE(machines && manual);
        EXPECT_FALSE(manual->isEnabled());
        machines->click();
        EXPECT_TRUE(manual->isEnabled() && manual->isChecked());
        manual->click();
        QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(4, 4), machines->mapToGlobal(QPointF(4, 4)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(machines, &twice);
    });
    watch.start(10);
    window->Action(QStringLiteral("Utiles > Importar"))->trigger();
    watch.stop();
    EXPECT_EQ(windows, QStringList{QStringLiteral("Importador de Datos")});

    TMachineRecord machine{};
    machine.Codigo = "PR02";
    machine.Denominacion = "Prensa";
    machine.Modelo = "-";
    machine.Fabricacion = "-";
    machine.Cuenta = "CTA";
    machine.Ubicacion = "-";
    machine.Disponible = "SI";
    EXPECT_EQ(ReadFile(QStringLiteral("PORTAL.MQW")),
              QByteArray(reinterpret_cast<const char*>(&machine), sizeof machine));
    QMdiSubWindow* gateway = window->MdiArea()->activeSubWindow();
    ASSERT_NE(gateway, nullptr);
    EXPECT_EQ(gateway->windowTitle(), QStringLiteral("Pasarela Imformes Veltrano"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

} // namespace
} // namespace gim
