#include "exchange/import_window.h"
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

using ImportMenu = test::StartedProgram;

void SendMouse(QWidget* target, QEvent::Type type)
{
    const QPointF at(8, target->height() / 2.0);
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void Click(QWidget* target)
{
    SendMouse(target, QEvent::MouseButtonPress);
    SendMouse(target, QEvent::MouseButtonRelease);
}

// What the mouse sends for a double-click: press, release (the click), press, double-click, release.
void DoubleClick(QWidget* target)
{
    Click(target);
    SendMouse(target, QEvent::MouseButtonPress);
    SendMouse(target, QEvent::MouseButtonDblClick);
    SendMouse(target, QEvent::MouseButtonRelease);
}

// The import window on its own: a click selects one table and lets the others go, Manual unticked stays
// so through the double-click that runs the table, and Enter on the selected table runs it too.
TEST(ImportWindowDialog, ADoubleClickRunsTheTableWithManualAsLeft)
{
    const CardSpec spec = ImportWindowSpec();
    for (const bool byEnter : {false, true}) {
        CardState state;
        CardDialog dialog(spec, state);
        dialog.Start();
        QApplication::setActiveWindow(&dialog);
        auto* provee = qobject_cast<QRadioButton*>(dialog.FieldWidget(QStringLiteral("Provee")));
        auto* maquinas = qobject_cast<QRadioButton*>(dialog.FieldWidget(QStringLiteral("Maquinas")));
        auto* manual = qobject_cast<QCheckBox*>(dialog.FieldWidget(QStringLiteral("Manual")));
        ASSERT_TRUE(provee && maquinas && manual);
        Click(provee);
        const bool lockedForSuppliers = !manual->isEnabled() && manual->isChecked();
        Click(maquinas);
        Click(manual);
        if (byEnter) {
            maquinas->setFocus();
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(maquinas, &enter);
        } else {
            DoubleClick(maquinas);
        }
        EXPECT_EQ((QString::number(lockedForSuppliers) + QString::number(provee->isChecked()) +
                   state.value("Provee") + state.value("Maquinas") + state.value("Manual") +
                   QString::number(dialog.Result()))
                      .toStdString(),
                  "100101")
            << byEnter;
    }
}

// Utiles > Importar in the running program: Máquinas clicked, Manual unticked, Máquinas double-clicked
// as the mouse does it; the pasted line is stored as it came, without a card, and the gateway window
// shows the import.
TEST_F(ImportMenu, APastedMachineLineIsAddedWithoutItsCard)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("1\tPR02\tPrensa\t-\t-\tCTA1\tNAVE 2\tSI\r\n"));
    int cards = 0; // any window but the import window would be a card or message too many
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* card = qobject_cast<CardDialog*>(modal);
        if (!modal || (card && card->IsClosed()))
            return;
        if (++cards > 1 || !card)
            return (void)modal->close();
        QWidget* machines = card->FieldWidget(QStringLiteral("Maquinas"));
        Click(machines);
        Click(card->FieldWidget(QStringLiteral("Manual")));
        DoubleClick(machines);
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

} // namespace
} // namespace gim
