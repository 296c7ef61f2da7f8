#include "platform/qt/card_dialog.h"
#include "started_program.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

namespace gim {
namespace {

using MasterdataInput = test::StartedProgram;

// A routine time typed as text is refused on the Qt card, which stays open with it; Escape leaves the card
// and the operation file keeps its bytes.
TEST_F(MasterdataInput, ARoutineTimeThatIsNoNumberIsRefusedOnTheCardAndNothingIsStored)
{
    StorePlannedMachine(20);
    QFile::remove(ctx.Path(QStringLiteral("PORTAL.PLN")));
    const QByteArray before = ReadFile(QStringLiteral("PORTAL.OPR"));
    QStringList seen; // the messages, then the time the card kept
    bool pressed = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* card = qobject_cast<CardDialog*>(modal);
        auto* time = card ? qobject_cast<QLineEdit*>(card->FieldWidget(QStringLiteral("TiempoGM"))) : nullptr;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            box->accept();
        } else if (time && !std::exchange(pressed, true)) {
            time->setFocus(); // as a click into the field gives it
            time->setText(QStringLiteral("abc"));
            // Pressed from the event loop: the message it shows runs this watch in its own loop.
            QTimer::singleShot(0, card->Button(QStringLiteral("Button1")), &QPushButton::click);
        } else if (time && !seen.isEmpty()) {
            seen << time->text();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(card, &escape);
        }
    });
    watch.start(10);
    EXPECT_EQ(PressAnswering(QStringLiteral("Shift+F3"), {"01-001"}),
              QStringList{"EDICION DE GAMAS|Entrar Codigo"});
    EXPECT_EQ(seen.join(QLatin1Char('|')).toStdString(), "TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS|abc");
    EXPECT_EQ(ReadFile(QStringLiteral("PORTAL.OPR")), before);
}

} // namespace
} // namespace gim
