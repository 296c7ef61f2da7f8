#include "platform/qt/card_dialog.h"
#include "started_program.h"

#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <tuple>

namespace gim::test {
namespace {

void Key(int key, const char* text = "")
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromUtf8(text));
    QApplication::sendEvent(QApplication::focusWidget(), &press);
}

// Real keys on the program's cards (`onCard`); prompts take `answers`, messages are kept. Two timers: a
// timer's tick never starts while its last one runs, and a card's keys wait in a message box.
struct KeyedProgram : StartedProgram
{
    void Run(const char* command, std::function<void(CardDialog*)> onCard)
    {
        QTimer answering, keying;
        QObject::connect(&answering, &QTimer::timeout, [&] {
            if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                input->setTextValue(answers.takeFirst());
                input->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages += box->text() + QLatin1Char('|');
                box->defaultButton()->click();
            }
        });
        QObject::connect(&keying, &QTimer::timeout, [&] {
            if (auto* card = qobject_cast<CardDialog*>(QApplication::activeModalWidget())) {
                QApplication::setActiveWindow(card);
                if (QApplication::focusWidget())
                    onCard(card);
            }
        });
        answering.start(5);
        keying.start(7);
        window->Action(QString::fromUtf8(command))->trigger();
    }
    QString messages;
    QStringList answers;
};

// Enter through a new breakdown (Tab out of its memo) and a new reading: the untouched machine "#" is no
// machine, never the first of the list. Tab from the last weight at a sum of 95 leaves "&Confirmar"
// disabled and the budget at 60/25/10/5 (AV 30 of 360 minutes). A fresh folder's routine card offers the
// built-in codes. Pláning > Crear refuses a first year of another century. Pláning > Recursos refuses week
// -5, a note in the firm's week 0 and a reserve past its word, the agenda as it was.
TEST_F(KeyedProgram, CardsRefuseWhatTheyCannotKeep)
{
    StorePlannedMachine(30);
    for (const auto& [command, keys] : {std::pair{"Averías > Altas", 30}, {"Energías > Alta Lectura", 1}}) {
        int pressed = 0;
        Run(command, [&](CardDialog*) {
            const bool memo = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
            Key(pressed++ == keys ? Qt::Key_Escape : memo ? Qt::Key_Tab : Qt::Key_Return);
        });
    }
    const auto typeAndTab = [](CardDialog* card, const char* field, const char* text) {
        card->FieldWidget(QLatin1String(field))->setFocus(Qt::TabFocusReason);
        Key(0, text);
        Key(Qt::Key_Tab);
        return card->Button(QStringLiteral("Slv")) && card->Button(QStringLiteral("Slv"))->isEnabled();
    };
    QStringList codes;
    answers = {QStringLiteral("01-001")};
    Run("Gamas > Alta", [&](CardDialog* card) {
        for (const char* name : {"FercGM", "EspGM", "EstadoGM"})
            for (int i = 0; i < card->findChild<QComboBox*>(name)->count(); ++i)
                codes << card->findChild<QComboBox*>(name)->itemText(i);
        Key(Qt::Key_Escape);
    });
    Run("Pláning > Crear", [&](CardDialog* card) {
        typeAndTab(card, "IniPG", "2150");
        card->close();
    });
    std::tie(ctx.st.FirstYear, ctx.st.LastYear, ctx.st.PlanWeeks) = std::tuple(26, 27, 52);
    std::vector<TAgendaRecord> weeks(52);
    weeks[0].Note = "FABRICA";
    StoreRecords(ctx, QStringLiteral("PORTAL.CAR"), weeks);
    const QByteArray agenda = ReadFile(QStringLiteral("PORTAL.CAR"));
    for (const QStringList& typed : {QStringList{"-5"}, {"0", "2026", "0"}, {"3", "2026", "NOTA", "2000"}}) {
        answers = typed;
        Run("Pláning > Recursos > Listar", [](CardDialog* card) { card->Button("Button1")->click(); });
    }
    // The listing last: one a test, as a listing's charts are let go when the program ends.
    bool enabled = true;
    Run("Costes > Presupuesto > Definición", [&](CardDialog* card) {
        enabled = typeAndTab(card, "avr", "0");
        card->close();
    });
    EXPECT_FALSE(enabled || QFile::exists(ctx.Path("PORTAL.AVR")) || QFile::exists(ctx.Path("PORTAL.ENW")));
    EXPECT_EQ(ReadFile(QStringLiteral("PORTAL.PTO")).mid(20, 4), QByteArray("\x1e\0\0\0", 4));
    EXPECT_EQ(codes.join(' '),
              "1D 1S 2S M M2 M3 M4 S S2 S4 TF MC E I N H G FR L PG PV PT PF PC PE PN PW PH O P");
    EXPECT_EQ(messages,
              "NO EXISTE LA MAQUINA|NO EXISTE LA MAQUINA|DESEA REINICIAR EL PLANING DE MAQUINAS|"
              "VALOR NO VÁLIDO EN AÑO INICIO PLANING: UN NÚMERO ENTERO DE 2000 A 2099|"
              "VALOR NO VÁLIDO EN SEMANA: UN NÚMERO ENTERO DE 0 A 52|LA SEMANA 0 DEL PLANING GUARDA EL "
              "NOMBRE DE LA EMPRESA: NO ADMITE APUNTE|VALOR NO VÁLIDO EN RESERVA DE HORAS: UN NÚMERO "
              "ENTERO DE -1092 A 1092|");
    EXPECT_EQ(ReadFile(QStringLiteral("PORTAL.CAR")), agenda);
}

} // namespace
} // namespace gim::test
