#include "platform/qt/card_dialog.h"
#include "started_program.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QRadioButton>

namespace gim {
namespace {

// Mouse events sent as the mouse sends them to `target`.
void Mouse(QWidget* target, std::initializer_list<QEvent::Type> types)
{
    const QPointF at(8, target->height() / 2.0);
    for (const QEvent::Type type : types) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

// Utiles > Importar in the running program: Máquinas clicked, Manual unticked, then Máquinas double-clicked
// as the mouse does it (press, release, press, double-click, release), or Enter pressed on it. The pasted
// line is stored as it came, without a card, and the gateway window shows the import.
class ImportMenu : public test::StartedProgram
{
protected:
    void ImportMachine(bool byEnter)
    {
        constexpr auto press = QEvent::MouseButtonPress, release = QEvent::MouseButtonRelease;
        QGuiApplication::clipboard()->setText(QStringLiteral("1\tPR02\tPrensa\t-\t-\tCTA1\tNAVE 2\tSI\r\n"));
        int cards = 0; // any window but the import window would be a card or message too many
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* card = qobject_cast<CardDialog*>(modal);
            if (!modal || (card && card->IsClosed()))
                return;
            auto* machines = card ? qobject_cast<QRadioButton*>(card->FieldWidget("Maquinas")) : nullptr;
            if (++cards > 1 || !machines)
                return (void)modal->close();
            Mouse(machines, {press, release});
            Mouse(card->FieldWidget(QStringLiteral("Manual")), {press, release});
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            byEnter ? (void)QApplication::sendEvent(machines, &enter)
                    : Mouse(machines, {press, release, press, QEvent::MouseButtonDblClick, release});
        });
        watch.start(10);
        window->Action(QStringLiteral("Utiles > Importar"))->trigger();
        watch.stop();
        EXPECT_EQ(cards, 1);
        const QByteArray machine = ReadFile(QStringLiteral("PORTAL.MQW"));
        EXPECT_EQ(machine.left(16) + machine.mid(108, 7) + machine.mid(133, 5) +
                      QByteArray::number(machine.size()),
                  QByteArray("\x04PR02\0\0\0\0\x06Prensa\x06NAVE 2\x04"
                             "CTA1161",
                             31));
        QMdiSubWindow* gateway = window->MdiArea()->activeSubWindow();
        EXPECT_EQ(gateway ? gateway->windowTitle() : QString(), QStringLiteral("Pasarela Imformes Veltrano"));
    }
};

TEST_F(ImportMenu, APastedMachineLineIsAddedWithoutItsCard)
{
    ImportMachine(false);
}

TEST_F(ImportMenu, EnterOnTheChosenTableRunsIt)
{
    ImportMachine(true);
}

} // namespace
} // namespace gim
