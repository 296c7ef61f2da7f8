#include "platform/qt/card_dialog.h"
#include "started_program.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtEndian>

namespace gim::test {
namespace {

void Key(int key, const QString& text = QString())
{
    QWidget* at = QApplication::focusWidget();
    ASSERT_NE(at, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(at, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(at, &release);
}

void Type(const QString& text)
{
    for (const QChar c : text)
        Key(0, QString(c));
}

// The program run with real keys: each card shown is handed to `onCard` while messages are answered and
// kept, in the order they came.
class KeyedProgram : public StartedProgram
{
protected:
    void Run(const QString& command, std::function<void(CardDialog*)> onCard)
    {
        // Two timers: a timer's tick never starts while its last one runs, and a card's keys wait in
        // a message box.
        QTimer answering;
        QObject::connect(&answering, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* input = qobject_cast<QInputDialog*>(modal); input && !answers.isEmpty()) {
                input->setTextValue(answers.takeFirst());
                input->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages << box->text();
                box->accept();
            }
        });
        QTimer keying;
        QObject::connect(&keying, &QTimer::timeout, [&] {
            if (auto* card = qobject_cast<CardDialog*>(QApplication::activeModalWidget())) {
                QApplication::setActiveWindow(card);
                if (QApplication::focusWidget())
                    onCard(card);
            }
        });
        answering.start(5);
        keying.start(7);
        window->Action(command)->trigger();
    }

    // Enter on every control in turn (Tab out of a memo, where Enter is a new line), `keys` times, then
    // Escape.
    void EnterThrough(const QString& command, int keys)
    {
        int pressed = 0;
        Run(command, [&](CardDialog*) {
            if (pressed++ == keys)
                Key(Qt::Key_Escape);
            else if (qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()))
                Key(Qt::Key_Tab);
            else
                Key(Qt::Key_Return);
        });
    }

    QStringList messages;
    QStringList answers; // to the prompts, in turn
};

TEST_F(KeyedProgram, EnterThroughAnUntouchedMachineCodeStoresNothing)
{
    StorePlannedMachine(30);
    EnterThrough(QStringLiteral("Averías > Altas"), 30);
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.AVR"))));
    EXPECT_EQ(messages.join(QLatin1Char('|')).toStdString(), "NO EXISTE LA MAQUINA");

    messages.clear();
    EnterThrough(QStringLiteral("Energías > Alta Lectura"), 3);
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.ENW"))));
    EXPECT_EQ(messages.join(QLatin1Char('|')).toStdString(),
              "NO EXISTE LA MAQUINA|NO EXISTE LA MAQUINA|NO EXISTE LA MAQUINA");
}

// The weights are confirmed only when they add up to 100, however the button is reached: a weighting
// refused leaves the budget at the default 60/25/10/5 (machine 01-001 plans 360 minutes a year). One
// listing a test: the charts of a listing replaced by the next are not let go before the program ends.
struct Weighting
{
    const char* cond;
    const char* avr;
    bool click; // the button clicked right after typing; else Tab onto it, then Space
    bool confirmable;
    int cn, av;
};

class WeightingProgram : public KeyedProgram, public ::testing::WithParamInterface<Weighting>
{
};

TEST_P(WeightingProgram, IsConfirmedOnlyAtAHundred)
{
    const Weighting& c = GetParam();
    StorePlannedMachine(30);
    bool enabled = false;
    Run(QStringLiteral("Costes > Presupuesto > Definición"), [&](CardDialog* card) {
        if (card->objectName() != QLatin1String("TPondpres"))
            return;
        for (const char* field : {"cond", "avr"}) {
            auto* edit = qobject_cast<QLineEdit*>(card->FieldWidget(QLatin1String(field)));
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            Type(QLatin1String(field == std::string("cond") ? c.cond : c.avr));
        }
        QPushButton* confirm = card->Button(QStringLiteral("Slv"));
        if (c.click) {
            confirm->click();
        } else {
            Key(Qt::Key_Tab);
            enabled = confirm->isEnabled();
            if (QApplication::focusWidget() == confirm)
                Key(Qt::Key_Space, QStringLiteral(" "));
        }
        if (!card->IsClosed())
            card->close();
    });
    if (!c.click) {
        EXPECT_EQ(enabled, c.confirmable);
    }
    const QByteArray pto = ReadFile(QStringLiteral("PORTAL.PTO"));
    ASSERT_EQ(pto.size(), 36);
    const auto word = [&pto](int at) { return qFromLittleEndian<std::int32_t>(pto.constData() + at); };
    EXPECT_EQ(word(12), c.cn);
    EXPECT_EQ(word(16), 360);
    EXPECT_EQ(word(20), c.av);
}

INSTANTIATE_TEST_SUITE_P(Weights, WeightingProgram,
                         ::testing::Values(Weighting{"10", "0", false, false, 60, 30}, // 95
                                           Weighting{"10", "4", true, false, 60, 30},  // 99, clicked at once
                                           Weighting{"13", "2", false, true, 78, 12},
                                           Weighting{"13", "2", true, true, 78, 12}));

} // namespace
} // namespace gim::test
