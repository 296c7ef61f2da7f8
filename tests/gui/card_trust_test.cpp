#include "platform/qt/card_dialog.h"
#include "records/plan_records.h"
#include "started_program.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtEndian>

namespace gim::test {
namespace {

void Key(int key, const QString& text = QString())
{
    QPointer<QWidget> at = QApplication::focusWidget();
    ASSERT_TRUE(at);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(at, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    if (at)
        QApplication::sendEvent(at, &release);
}

// The program driven by real keys: `onCard` acts on each card shown; prompts take `answers` in turn and
// messages are kept, each on a timer of its own (a timer's tick never starts while its last one runs).
class KeyedProgram : public StartedProgram
{
protected:
    explicit KeyedProgram(const ProgramSettings& settings = {}) : StartedProgram(settings) {}
    void Run(const char* command, std::function<void(CardDialog*)> onCard)
    {
        QTimer answering, keying;
        QObject::connect(&answering, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* input = qobject_cast<QInputDialog*>(modal); input && !answers.isEmpty()) {
                input->setTextValue(answers.takeFirst());
                input->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages << box->text();
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
    // Each card's fields typed over in turn with `typed`, then `key`.
    void TypeInto(CardDialog* card, std::initializer_list<std::pair<const char*, const char*>> typed, int key)
    {
        for (const auto& [field, text] : typed) {
            auto* edit = qobject_cast<QLineEdit*>(card->FieldWidget(QLatin1String(field)));
            QApplication::setActiveWindow(card); // back from a message box
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            for (const QChar c : QString::fromLatin1(text))
                Key(0, QString(c));
            Key(key);
        }
    }
    std::string Messages() const { return messages.join(QLatin1Char('|')).toStdString(); }

    QStringList messages;
    QStringList answers;
};

// Enter through every control (Tab out of a memo) of a new breakdown and a new reading: the untouched
// machine "#" is no machine, never the first of the list.
TEST_F(KeyedProgram, EnterThroughAnUntouchedMachineCodeStoresNothing)
{
    StorePlannedMachine(30);
    for (const auto& [command, keys] : {std::pair{"Averías > Altas", 30}, {"Energías > Alta Lectura", 2}}) {
        int pressed = 0;
        Run(command, [&](CardDialog*) {
            const bool memo = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
            Key(pressed++ == keys ? Qt::Key_Escape : memo ? Qt::Key_Tab : Qt::Key_Return);
        });
    }
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.AVR"))));
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.ENW"))));
    EXPECT_EQ(Messages(), "NO EXISTE LA MAQUINA|NO EXISTE LA MAQUINA|NO EXISTE LA MAQUINA");
}

// A fresh folder: the routine card offers the built-in codes, without writing the codes file.
TEST_F(KeyedProgram, TheRoutineCardOffersTheBuiltInCodesOnAFreshFolder)
{
    StorePlannedMachine(30);
    answers = {QStringLiteral("01-001")};
    QStringList shown;
    Run("Gamas > Alta", [&](CardDialog* card) {
        for (const char* name : {"FercGM", "EspGM", "EstadoGM"}) {
            auto* combo = qobject_cast<QComboBox*>(card->FieldWidget(QLatin1String(name)));
            for (int i = 0; i < combo->count(); ++i)
                shown << combo->itemText(i);
        }
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(shown.join(QLatin1Char(' ')).toStdString(),
              "1D 1S 2S M M2 M3 M4 S S2 S4 TF MC E I N H G FR L PG PV PT PF PC PE PN PW PH O P");
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.CDG"))));
}

// Pláning > Crear: a first year outside this century is refused as it is left; no plan is written.
TEST_F(KeyedProgram, ThePlanDefinitionTakesYearsOfThisCenturyOnly)
{
    Run("Pláning > Crear", [&](CardDialog* card) {
        TypeInto(card, {{"IniPG", "2150"}}, Qt::Key_Tab);
        card->close();
    });
    EXPECT_EQ(Messages(), "DESEA REINICIAR EL PLANING DE MAQUINAS|"
                          "VALOR NO VÁLIDO EN AÑO INICIO PLANING: UN NÚMERO ENTERO DE 2000 A 2099");
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.CAR"))));
}

// Weeks 600 free and 120 reserved minutes, week 0 the firm's: a week outside 0 to 52, hours past what the
// week holds, a note for the firm's week are refused, and the agenda stays as it was.
TEST_F(KeyedProgram, ThePlanResourcesRefuseWeeksAndHoursOutsideTheirRange)
{
    ctx.st.FirstYear = 26;
    ctx.st.LastYear = 27;
    ctx.st.PlanWeeks = 52;
    std::vector<TAgendaRecord> weeks(52);
    for (TAgendaRecord& week : weeks) {
        week.FreeMinutes = 600;
        week.ReservedMinutes = 120;
    }
    weeks[0].Note = "FABRICA";
    StoreRecords(ctx, QStringLiteral("PORTAL.CAR"), weeks);
    const QByteArray before = ReadFile(QStringLiteral("PORTAL.CAR"));
    const std::pair<const char*, QStringList> cases[] = {
        {"Pláning > Recursos > Listar", {"-5"}},
        {"Pláning > Recursos > Listar", {"0", "2026", "0"}},
        {"Pláning > Recursos > Listar", {"3", "2026", "NOTA", "2000"}},
        {"Pláning > Recursos > Aumentar", {"-600"}},
    };
    for (const auto& [command, typed] : cases) {
        answers = typed;
        Run(command, [](CardDialog* card) { card->Button(QStringLiteral("Button1"))->click(); });
    }
    EXPECT_EQ(Messages(), "VALOR NO VÁLIDO EN SEMANA: UN NÚMERO ENTERO DE 0 A 52|"
                          "LA SEMANA 0 DEL PLANING GUARDA EL NOMBRE DE LA EMPRESA: NO ADMITE APUNTE|"
                          "VALOR NO VÁLIDO EN RESERVA DE HORAS: UN NÚMERO ENTERO DE -1092 A 1092|"
                          "VALOR NO VÁLIDO EN INCREMENTO DE HORAS SEMANALES: UN NÚMERO ENTERO DE -556 A 536");
    EXPECT_EQ(ReadFile(QStringLiteral("PORTAL.CAR")), before);
}

// The weighting is confirmed only at a sum of 100, however its button is reached; refused, the budget
// keeps the default 60/25/10/5 (machine 01-001 plans 360 minutes a year). One listing a test: the charts
// of a listing replaced by the next are let go only when the program ends.
struct Weighting
{
    const char* cond;
    const char* avr;
    bool click; // the button clicked at once, else Tab onto it and Space
    int cn, av;
};
void PrintTo(const Weighting& w, std::ostream* os)
{
    *os << w.cond << '_' << w.avr << (w.click ? "_click" : "_tab");
}
class WeightingProgram : public KeyedProgram, public ::testing::WithParamInterface<Weighting>
{
};

TEST_P(WeightingProgram, IsConfirmedOnlyAtAHundred)
{
    const Weighting& w = GetParam();
    StorePlannedMachine(30);
    Run("Costes > Presupuesto > Definición", [&](CardDialog* card) {
        TypeInto(card, {{"cond", w.cond}, {"avr", w.avr}}, w.click ? 0 : Qt::Key_Tab);
        if (w.click)
            card->Button(QStringLiteral("Slv"))->click();
        else if (QApplication::focusWidget() == card->Button(QStringLiteral("Slv")))
            Key(Qt::Key_Space, QStringLiteral(" "));
        if (!card->IsClosed())
            card->close();
    });
    const QByteArray pto = ReadFile(QStringLiteral("PORTAL.PTO"));
    ASSERT_EQ(pto.size(), 36);
    EXPECT_EQ(qFromLittleEndian<std::int32_t>(pto.constData() + 12), w.cn);
    EXPECT_EQ(qFromLittleEndian<std::int32_t>(pto.constData() + 20), w.av);
}

INSTANTIATE_TEST_SUITE_P(Weights, WeightingProgram,
                         ::testing::Values(Weighting{"10", "0", false, 60, 30},
                                           Weighting{"10", "4", true, 60, 30},
                                           Weighting{"13", "2", false, 78, 12}));

} // namespace
} // namespace gim::test
