#include "platform/qt/card_dialog.h"
#include "started_program.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QMdiSubWindow>
#include <QMouseEvent>

namespace gim {
namespace {

using ImportMenu = test::StartedProgram;

// Utiles > Importar in the running program: Máquinas clicked, Manual unticked, Máquinas double-clicked;
// the pasted line is stored without a card and the gateway window shows the import.
TEST_F(ImportMenu, APastedMachineLineIsAddedWithoutItsCard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("1\tPR02\tPrensa\t-\t-\tCTA\t-\tSI\r\n"));
    int cards = 0; // any window but the import window would be a card or message too many
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* card = qobject_cast<CardDialog*>(modal);
        if (!modal || (card && card->IsClosed()))
            return;
        if (++cards > 1 || !card)
            return (void)modal->close();
        auto* machines = qobject_cast<QCheckBox*>(card->FieldWidget(QStringLiteral("Maquinas")));
        machines->click();
        qobject_cast<QCheckBox*>(card->FieldWidget(QStringLiteral("Manual")))->click();
        QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(4, 4), machines->mapToGlobal(QPointF(4, 4)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(machines, &twice);
    });
    watch.start(10);
    window->Action(QStringLiteral("Utiles > Importar"))->trigger();
    watch.stop();
    EXPECT_EQ(cards, 1);
    const QByteArray machine = ReadFile(QStringLiteral("PORTAL.MQW"));
    EXPECT_EQ(machine.left(16) + QByteArray::number(machine.size()),
              QByteArray("\x04PR02\0\0\0\0\x06Prensa161", 19));
    QMdiSubWindow* gateway = window->MdiArea()->activeSubWindow();
    EXPECT_EQ(gateway ? gateway->windowTitle() : QString(), QStringLiteral("Pasarela Imformes Veltrano"));
}

} // namespace
} // namespace gim
