#include "platform/qt/card_dialog.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_ui.h"
#include "platform/script/scripted_ui.h"
#include "support/scripted_ui_check.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace gim {
namespace {

std::string Text(const QString& s)
{
    return s.toStdString();
}

// Every kind of field, and handlers that record their calls.
struct RecordingCard
{
    RecordingCard()
    {
        spec.name = "TFormPrueba";
        spec.caption = "Prueba";
        spec.fields = {
            {"CODIGO", "&Código", FieldKind::Text, 5},
            {"NOMBRE", "Nombre", FieldKind::Text, 10},
            {"FECHA", "Fecha", FieldKind::Masked, 0, "99/99/99"},
            {"TIPO", "Tipo", FieldKind::Combo, 0, {}, {"A", "B"}, true},
            {"SECCION", "Sección", FieldKind::Combo, 4, {}, {"MEC", "ELEC"}, false},
            {"ACTIVO", "Activo", FieldKind::Check},
            {"NOTAS", "Notas", FieldKind::Memo, 8},
            {"INFO", "Info", FieldKind::Label},
        };
        spec.buttons = {
            {"SALVAR", "&Salvar", 1}, {"SIGUIENTE", "S&iguiente", 6}, {"CANCELAR", "&Cancelar", 2}};
        spec.onShow = [this](CardState& st) {
            events << "show";
            if (onShow)
                onShow(st);
        };
        spec.onEnter = [this](CardState&, const QString& f) { events << "enter:" + f; };
        spec.onChange = [this](CardState& st, const QString& f) {
            events << "change:" + f;
            if (onChange)
                onChange(st, f);
        };
        spec.onExit = [this](CardState&, const QString& f) { events << "exit:" + f; };
        spec.onButton = [this](CardState&, const ButtonSpec& b) {
            events << "button:" + b.name;
            return b.name != "SIGUIENTE";
        };
        spec.onDoubleClick = [this](CardState&, const QString& f) { events << "dblclick:" + f; };
    }

    CardSpec spec;
    CardState state;
    QStringList events;
    std::function<void(CardState&)> onShow;
    std::function<void(CardState&, const QString&)> onChange;
};

// Shows the dialog and makes it the active window, so focus changes behave as on a desktop.
void Open(CardDialog& dialog)
{
    dialog.Start();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
}

void PressKey(QWidget* target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void Type(QWidget* target, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }
}

void SendMouse(QWidget* target, QEvent::Type type)
{
    const QPointF local(target->width() / 2.0, target->height() / 2.0);
    QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// What the mouse does on a double-click: press, release, double-click, release. Sent events are not
// spontaneous, so the focus a real press gives `control` is given here.
void DoubleClick(QWidget* control, QWidget* target)
{
    if (control->focusPolicy() & Qt::ClickFocus)
        control->setFocus(Qt::MouseFocusReason);
    SendMouse(target, QEvent::MouseButtonPress);
    SendMouse(target, QEvent::MouseButtonRelease);
    SendMouse(target, QEvent::MouseButtonDblClick);
    SendMouse(target, QEvent::MouseButtonRelease);
}

template <class W> W* Field(const CardDialog& dialog, const char* name)
{
    return dialog.findChild<W*>(QString::fromLatin1(name));
}

// The top modal dialog once a modal loop runs; `act` answers it.
void WhenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

TEST(CardDialogView, RendersEveryFieldKindWithItsLimits)
{
    RecordingCard card;
    card.state.set("CODIGO", "A1");
    card.state.set("TIPO", "B");
    card.state.set("SECCION", "OTRA");
    card.state.setChecked("ACTIVO", true);
    card.state.set("INFO", "Última revisión");
    CardDialog dialog(card.spec, card.state);
    Open(dialog);

    EXPECT_EQ(Text(dialog.windowTitle()), "Prueba");
    EXPECT_EQ(Text(dialog.objectName()), "TFormPrueba");
    auto* codigo = Field<QLineEdit>(dialog, "CODIGO");
    ASSERT_NE(codigo, nullptr);
    EXPECT_EQ(codigo->maxLength(), 5);
    EXPECT_EQ(Text(codigo->text()), "A1");
    EXPECT_EQ(Text(dialog.FieldCaption("CODIGO")->text()), "&Código");
    EXPECT_EQ(dialog.FieldCaption("CODIGO")->buddy(), codigo);
    // Hints show where the pointer rests.
    card.spec.fields[0].hint = QStringLiteral("Código de la máquina");
    card.spec.buttons[0].hint = QStringLiteral("Grabar la ficha");
    CardDialog hinted(card.spec, card.state);
    EXPECT_EQ(Text(Field<QLineEdit>(hinted, "CODIGO")->toolTip()), "Código de la máquina");
    EXPECT_EQ(Text(hinted.Button("SALVAR")->toolTip()), "Grabar la ficha");
    auto* fecha = Field<QLineEdit>(dialog, "FECHA");
    ASSERT_NE(fecha, nullptr);
    // The card's mask shows its empty positions.
    EXPECT_EQ(Text(fecha->text()), "__/__/__");
    auto* tipo = Field<QComboBox>(dialog, "TIPO");
    ASSERT_NE(tipo, nullptr);
    EXPECT_FALSE(tipo->isEditable());
    EXPECT_EQ(tipo->count(), 2);
    EXPECT_EQ(Text(tipo->currentText()), "B");
    auto* seccion = Field<QComboBox>(dialog, "SECCION");
    ASSERT_NE(seccion, nullptr);
    EXPECT_TRUE(seccion->isEditable());
    EXPECT_EQ(seccion->lineEdit()->maxLength(), 4);
    EXPECT_EQ(Text(seccion->currentText()), "OTRA");
    auto* activo = Field<QCheckBox>(dialog, "ACTIVO");
    ASSERT_NE(activo, nullptr);
    EXPECT_TRUE(activo->isChecked());
    EXPECT_EQ(Text(activo->text()), "Activo");
    EXPECT_EQ(dialog.FieldCaption("ACTIVO"), nullptr);
    ASSERT_NE(Field<QPlainTextEdit>(dialog, "NOTAS"), nullptr);
    auto* info = Field<QLabel>(dialog, "INFO");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(Text(info->text()), "Última revisión");

    QStringList buttons;
    for (const ButtonSpec& b : card.spec.buttons) {
        auto* button = Field<QPushButton>(dialog, b.name.toLatin1().constData());
        ASSERT_NE(button, nullptr);
        buttons << button->text();
        EXPECT_FALSE(button->autoDefault());
    }
    EXPECT_EQ(Text(buttons.join(' ')), "&Salvar S&iguiente &Cancelar");

    // The first field has the focus and was entered once.
    EXPECT_EQ(QApplication::focusWidget(), codigo);
    EXPECT_EQ(Text(dialog.FocusedField()), "CODIGO");
    EXPECT_EQ(Text(card.events.join(' ')), "show enter:CODIGO");
}

TEST(CardDialogEvents, EditsAndButtonsRunTheHandlersInTheScriptedOrder)
{
    // The scripted backend is the reference: both must call the handlers identically.
    RecordingCard scripted;
    ScriptedUi ui;
    ui.ExpectCard("Prueba")
        .Set("CODIGO", "A1")
        .Set("NOMBRE", "Torno")
        .Press("SIGUIENTE")
        .Set("ACTIVO", "1")
        .Press("SALVAR");
    EXPECT_EQ(ui.RunCard(scripted.spec, scripted.state), 1);
    EXPECT_SCRIPT_DONE(ui);
    const std::string expected = Text(scripted.events.join(' '));
    ASSERT_EQ(expected,
              "show enter:CODIGO change:CODIGO change:CODIGO exit:CODIGO enter:NOMBRE change:NOMBRE "
              "change:NOMBRE change:NOMBRE change:NOMBRE change:NOMBRE exit:NOMBRE "
              "button:SIGUIENTE enter:ACTIVO change:ACTIVO exit:ACTIVO button:SALVAR");

    // A user who moves with the mouse: the focus moves first, then the edit or the click.
    {
        RecordingCard card;
        CardDialog dialog(card.spec, card.state);
        Open(dialog);
        Type(Field<QLineEdit>(dialog, "CODIGO"), "A1");
        Field<QLineEdit>(dialog, "NOMBRE")->setFocus(Qt::MouseFocusReason);
        Type(Field<QLineEdit>(dialog, "NOMBRE"), "Torno");
        dialog.Button("SIGUIENTE")->setFocus(Qt::MouseFocusReason);
        dialog.Button("SIGUIENTE")->click();
        EXPECT_FALSE(dialog.IsClosed());
        Field<QCheckBox>(dialog, "ACTIVO")->setFocus(Qt::MouseFocusReason);
        Field<QCheckBox>(dialog, "ACTIVO")->setChecked(true);
        dialog.Button("SALVAR")->setFocus(Qt::MouseFocusReason);
        dialog.Button("SALVAR")->click();
        EXPECT_TRUE(dialog.IsClosed());
        EXPECT_EQ(dialog.Result(), 1);
        EXPECT_EQ(Text(card.events.join(' ')), expected);
        EXPECT_EQ(Text(card.state.value("NOMBRE")), "Torno");
        EXPECT_EQ(Text(card.state.value("ACTIVO")), "1");
    }
    // Edits and accelerators that never move the focus give the same sequence.
    {
        RecordingCard card;
        CardDialog dialog(card.spec, card.state);
        Open(dialog);
        Type(Field<QLineEdit>(dialog, "CODIGO"), "A1");
        Type(Field<QLineEdit>(dialog, "NOMBRE"), "Torno");
        dialog.Button("SIGUIENTE")->click();
        Field<QCheckBox>(dialog, "ACTIVO")->setChecked(true);
        dialog.Button("SALVAR")->click();
        EXPECT_EQ(dialog.Result(), 1);
        EXPECT_EQ(Text(card.events.join(' ')), expected);
    }
}

TEST(CardDialogEvents, AFieldDisabledWhileFocusedIsLeftWhenTheUserMovesOn)
{
    const auto lockCodigo = [](CardState& st, const QString& f) {
        if (f == "CODIGO")
            st.enable("CODIGO", false);
    };
    RecordingCard scripted;
    scripted.onChange = lockCodigo;
    ScriptedUi ui;
    ui.ExpectCard("Prueba", {{"CODIGO", "A1"}, {"NOMBRE", "Torno"}}, "SALVAR");
    ui.RunCard(scripted.spec, scripted.state);
    EXPECT_SCRIPT_DONE(ui);

    RecordingCard card;
    card.onChange = lockCodigo;
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    // The first key locks the field: the second one is not taken, in either backend.
    Type(Field<QLineEdit>(dialog, "CODIGO"), "A1");
    EXPECT_EQ(Text(card.state.value("CODIGO")), "A");
    // Qt has already moved the focus on; the card still counts CODIGO as focused.
    EXPECT_NE(QApplication::focusWidget(), Field<QLineEdit>(dialog, "CODIGO"));
    EXPECT_EQ(Text(dialog.FocusedField()), "CODIGO");
    Type(Field<QLineEdit>(dialog, "NOMBRE"), "Torno");
    dialog.Button("SALVAR")->click();
    EXPECT_EQ(Text(card.events.join(' ')), Text(scripted.events.join(' ')));
    EXPECT_EQ(Text(scripted.state.value("CODIGO")), "A");
    EXPECT_EQ(Text(card.events.join(' ')),
              "show enter:CODIGO change:CODIGO exit:CODIGO enter:NOMBRE change:NOMBRE change:NOMBRE "
              "change:NOMBRE change:NOMBRE change:NOMBRE exit:NOMBRE button:SALVAR");
}

TEST(CardDialogEvents, TypedValuesAreCutToTheCapacity)
{
    RecordingCard card;
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    Type(Field<QLineEdit>(dialog, "CODIGO"), "ABCDEFG");
    EXPECT_EQ(Text(card.state.value("CODIGO")), "ABCDE");
    // One onChange per keystroke that changed the text.
    EXPECT_EQ(card.events.count("change:CODIGO"), 5);

    Field<QPlainTextEdit>(dialog, "NOTAS")->setPlainText("linea 1\nlinea 2");
    EXPECT_EQ(Text(card.state.value("NOTAS")), "linea 1\n");
    EXPECT_EQ(Text(Field<QPlainTextEdit>(dialog, "NOTAS")->toPlainText()), "linea 1\n");

    Field<QComboBox>(dialog, "TIPO")->setCurrentIndex(1);
    EXPECT_EQ(Text(card.state.value("TIPO")), "B");
    Field<QComboBox>(dialog, "SECCION")->setEditText("ELECTRICA");
    EXPECT_EQ(Text(card.state.value("SECCION")), "ELEC");
    Field<QLineEdit>(dialog, "FECHA")->setText("311226");
    EXPECT_EQ(Text(card.state.value("FECHA")), "31/12/26");
}

TEST(CardDialogEvents, HandlerChangesAreShownAtOnce)
{
    RecordingCard card;
    card.onShow = [](CardState& st) {
        st.set("CODIGO", "#");
        st.enable("SALVAR", false);
    };
    card.onChange = [](CardState& st, const QString& f) {
        if (f != "ACTIVO")
            return;
        const bool on = st.checked("ACTIVO");
        st.enable("NOMBRE", !on);
        st.show("NOTAS", !on);
        st.enable("SALVAR", on);
        st.captions["SALVAR"] = on ? "&Grabar" : "&Salvar";
        st.captions["NOMBRE"] = "Nombre (bloqueado)";
        st.caption = "Prueba - Modificar";
        st.set("INFO", "cambiado");
        st.hints["NOMBRE"] = "Bloqueado mientras la ficha esté activa";
        st.hints["SALVAR"] = "Grabar la ficha activa";
        st.set("CODIGO", st.value("CODIGO") + "X");
    };
    CardDialog dialog(card.spec, card.state);
    Open(dialog);

    EXPECT_EQ(Text(Field<QLineEdit>(dialog, "CODIGO")->text()), "#");
    EXPECT_FALSE(dialog.Button("SALVAR")->isEnabled());

    Field<QCheckBox>(dialog, "ACTIVO")->setChecked(true);
    EXPECT_FALSE(Field<QLineEdit>(dialog, "NOMBRE")->isEnabled());
    EXPECT_FALSE(dialog.FieldCaption("NOMBRE")->isEnabled());
    EXPECT_EQ(Text(dialog.FieldCaption("NOMBRE")->text()), "Nombre (bloqueado)");
    EXPECT_TRUE(Field<QPlainTextEdit>(dialog, "NOTAS")->isHidden());
    EXPECT_TRUE(dialog.FieldCaption("NOTAS")->isHidden());
    EXPECT_TRUE(dialog.Button("SALVAR")->isEnabled());
    EXPECT_EQ(Text(dialog.Button("SALVAR")->text()), "&Grabar");
    EXPECT_EQ(Text(dialog.windowTitle()), "Prueba - Modificar");
    EXPECT_EQ(Text(Field<QLabel>(dialog, "INFO")->text()), "cambiado");
    EXPECT_EQ(Text(Field<QLineEdit>(dialog, "NOMBRE")->toolTip()), "Bloqueado mientras la ficha esté activa");
    EXPECT_EQ(Text(dialog.Button("SALVAR")->toolTip()), "Grabar la ficha activa");
    // A value a handler sets is shown without counting as an edit.
    EXPECT_EQ(Text(Field<QLineEdit>(dialog, "CODIGO")->text()), "#X");
    EXPECT_EQ(card.events.count("change:CODIGO"), 0);

    Field<QCheckBox>(dialog, "ACTIVO")->setChecked(false);
    EXPECT_TRUE(Field<QLineEdit>(dialog, "NOMBRE")->isEnabled());
    EXPECT_FALSE(Field<QPlainTextEdit>(dialog, "NOTAS")->isHidden());
    EXPECT_EQ(Text(dialog.Button("SALVAR")->text()), "&Salvar");
}

TEST(CardDialogEvents, ADoubleClickEntersTheFieldAndRunsItsHandlerOnce)
{
    RecordingCard scripted;
    ScriptedUi ui;
    ui.ExpectCard("Prueba").DoubleClick("NOMBRE").Press("SALVAR");
    EXPECT_EQ(ui.RunCard(scripted.spec, scripted.state), 1);
    EXPECT_SCRIPT_DONE(ui);
    const std::string expected = Text(scripted.events.join(' '));
    ASSERT_EQ(expected,
              "show enter:CODIGO exit:CODIGO enter:NOMBRE dblclick:NOMBRE exit:NOMBRE button:SALVAR");

    RecordingCard card;
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    auto* nombre = Field<QLineEdit>(dialog, "NOMBRE");
    DoubleClick(nombre, nombre);
    EXPECT_EQ(QApplication::focusWidget(), nombre);
    EXPECT_EQ(Text(dialog.FocusedField()), "NOMBRE");
    EXPECT_EQ(card.events.count("dblclick:NOMBRE"), 1);
    dialog.Button("SALVAR")->click();
    EXPECT_EQ(dialog.Result(), 1);
    EXPECT_EQ(Text(card.events.join(' ')), expected);
}

TEST(CardDialogEvents, EveryKindOfControlTakesTheDoubleClick)
{
    RecordingCard scripted;
    ScriptedUi ui;
    ui.ExpectCard("Prueba")
        .DoubleClick("SECCION")
        .DoubleClick("NOTAS")
        .DoubleClick("INFO")
        .DoubleClick("ACTIVO")
        .DoubleClick("TIPO")
        .Press("SALVAR");
    EXPECT_EQ(ui.RunCard(scripted.spec, scripted.state), 1);
    EXPECT_SCRIPT_DONE(ui);
    const std::string expected = Text(scripted.events.join(' '));
    ASSERT_EQ(expected,
              "show enter:CODIGO exit:CODIGO enter:SECCION dblclick:SECCION exit:SECCION enter:NOTAS "
              "dblclick:NOTAS dblclick:INFO exit:NOTAS enter:ACTIVO dblclick:ACTIVO exit:ACTIVO "
              "enter:TIPO dblclick:TIPO exit:TIPO button:SALVAR");

    // The focus a press gives, then the double-click event alone where each control receives the mouse
    // (a whole double-click would toggle the check box and open the list).
    RecordingCard card;
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    const auto doubleClick = [](QWidget* control, QWidget* target) {
        if (control->focusPolicy() & Qt::ClickFocus)
            control->setFocus(Qt::MouseFocusReason);
        SendMouse(target, QEvent::MouseButtonDblClick);
    };
    auto* seccion = Field<QComboBox>(dialog, "SECCION");
    doubleClick(seccion, seccion->lineEdit());
    auto* notas = Field<QPlainTextEdit>(dialog, "NOTAS");
    doubleClick(notas, notas->viewport());
    doubleClick(Field<QLabel>(dialog, "INFO"), Field<QLabel>(dialog, "INFO"));
    EXPECT_EQ(QApplication::focusWidget(), notas);
    doubleClick(Field<QCheckBox>(dialog, "ACTIVO"), Field<QCheckBox>(dialog, "ACTIVO"));
    auto* tipo = Field<QComboBox>(dialog, "TIPO");
    doubleClick(tipo, tipo);
    tipo->hidePopup();
    EXPECT_EQ(Text(dialog.FocusedField()), "TIPO");
    dialog.Button("SALVAR")->click();
    EXPECT_EQ(dialog.Result(), 1);
    EXPECT_EQ(Text(card.events.join(' ')), expected);
}

TEST(CardDialogEvents, ComboItemsFollowTheStateAndKeepTheCurrentText)
{
    const auto itemsOf = [](const QComboBox* combo) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return Text(items.join(' '));
    };
    RecordingCard card;
    card.state.set("TIPO", "B");
    card.state.set("SECCION", "MEC");
    card.onChange = [](CardState& st, const QString& f) {
        if (f != "ACTIVO")
            return;
        if (st.checked("ACTIVO")) {
            st.choices["TIPO"] = QStringList{"B", "C"};
            st.choices["SECCION"] = QStringList{"HID"};
        } else {
            st.choices.clear();
        }
    };
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    auto* tipo = Field<QComboBox>(dialog, "TIPO");
    auto* seccion = Field<QComboBox>(dialog, "SECCION");
    EXPECT_EQ(itemsOf(tipo), "A B");

    Field<QCheckBox>(dialog, "ACTIVO")->setChecked(true);
    EXPECT_EQ(itemsOf(tipo), "B C");
    EXPECT_EQ(Text(tipo->currentText()), "B");
    EXPECT_EQ(itemsOf(seccion), "HID");
    EXPECT_EQ(Text(seccion->currentText()), "MEC");
    // Showing new items is no edit.
    EXPECT_EQ(card.events.count("change:TIPO"), 0);
    EXPECT_EQ(card.events.count("change:SECCION"), 0);

    tipo->setCurrentIndex(1);
    EXPECT_EQ(Text(card.state.value("TIPO")), "C");

    Field<QCheckBox>(dialog, "ACTIVO")->setChecked(false);
    EXPECT_EQ(itemsOf(tipo), "A B");
    EXPECT_EQ(itemsOf(seccion), "MEC ELEC");
    EXPECT_EQ(Text(seccion->currentText()), "MEC");
    // "C" is no longer an item of the fixed combo: the state keeps it, the combo shows none.
    EXPECT_EQ(Text(card.state.value("TIPO")), "C");
    EXPECT_EQ(tipo->currentIndex(), -1);
}

TEST(CardDialogEvents, ItemsGivenOnEnteringAComboLeaveItsTextSelectedForTyping)
{
    RecordingCard card;
    card.state.set("SECCION", "#");
    // The list is filled when the field is entered, as the daily-report card fills its machine codes.
    card.spec.fields[4].onEnter = [](CardState& st) { st.choices["SECCION"] = QStringList{"HID", "NEU"}; };
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    auto* tipo = Field<QComboBox>(dialog, "TIPO");
    auto* seccion = Field<QComboBox>(dialog, "SECCION");
    tipo->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    PressKey(tipo, Qt::Key_Tab);
    QApplication::processEvents();
    ASSERT_TRUE(seccion->hasFocus());
    EXPECT_EQ(seccion->count(), 2);
    EXPECT_EQ(Text(seccion->lineEdit()->selectedText()), "#");
    Type(seccion->lineEdit(), "M1");
    EXPECT_EQ(Text(card.state.value("SECCION")), "M1");
}

TEST(CardDialogClosing, CloseBoxHandlersAndTheInitialFocus)
{
    // The close box returns the cancel result and runs no handler.
    {
        RecordingCard card;
        card.spec.cancelResult = 7;
        CardDialog dialog(card.spec, card.state);
        int finished = -1;
        QObject::connect(&dialog, &QDialog::finished, [&](int r) { finished = r; });
        Open(dialog);
        dialog.close();
        EXPECT_EQ(dialog.Result(), 7);
        EXPECT_EQ(finished, 7);
        EXPECT_EQ(Text(card.events.join(' ')), "show enter:CODIGO");
    }
    // closeWith from any handler closes at once; nothing runs after it.
    {
        RecordingCard card;
        card.onChange = [](CardState& st, const QString&) { st.closeWith = 4; };
        CardDialog dialog(card.spec, card.state);
        Open(dialog);
        Field<QLineEdit>(dialog, "NOMBRE")->setText("x");
        EXPECT_TRUE(dialog.IsClosed());
        EXPECT_EQ(dialog.Result(), 4);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(Text(card.events.join(' ')), "show enter:CODIGO exit:CODIGO enter:NOMBRE change:NOMBRE");
    }
    // onShow closing: the modal loop never starts.
    {
        RecordingCard card;
        card.state.closeWith = 9; // stale: cleared on opening
        card.onShow = [](CardState& st) { st.closeWith = 3; };
        CardDialog dialog(card.spec, card.state);
        EXPECT_EQ(dialog.Run(), 3);
        EXPECT_EQ(Text(card.events.join(' ')), "show");
    }
    // The first field that can take the focus is entered.
    {
        RecordingCard card;
        card.onShow = [](CardState& st) {
            st.enable("CODIGO", false);
            st.show("NOMBRE", false);
        };
        CardDialog dialog(card.spec, card.state);
        Open(dialog);
        EXPECT_EQ(QApplication::focusWidget(), Field<QLineEdit>(dialog, "FECHA"));
        EXPECT_EQ(Text(card.events.join(' ')), "show enter:FECHA");
    }
}

TEST(CardDialogKeys, EnterMovesOnAFocusedButtonTakesEnterEscapePressesCancel)
{
    RecordingCard card;
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    auto* codigo = Field<QLineEdit>(dialog, "CODIGO");
    PressKey(codigo, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Field<QLineEdit>(dialog, "NOMBRE"));
    EXPECT_FALSE(dialog.IsClosed());

    // Enter in a memo is a new line, not a move.
    auto* notas = Field<QPlainTextEdit>(dialog, "NOTAS");
    notas->setFocus();
    PressKey(notas, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), notas);
    EXPECT_EQ(Text(card.state.value("NOTAS")), "\n");

    dialog.Button("SIGUIENTE")->setFocus();
    PressKey(dialog.Button("SIGUIENTE"), Qt::Key_Return);
    EXPECT_TRUE(card.events.contains("button:SIGUIENTE"));
    EXPECT_FALSE(dialog.IsClosed());
    EXPECT_EQ(Text(card.events.join(' ')),
              "show enter:CODIGO exit:CODIGO enter:NOMBRE exit:NOMBRE enter:NOTAS "
              "change:NOTAS exit:NOTAS button:SIGUIENTE");

    // Escape is the cancel button: its handler runs and the card closes with its result.
    PressKey(Field<QLineEdit>(dialog, "NOMBRE"), Qt::Key_Escape);
    EXPECT_TRUE(dialog.IsClosed());
    EXPECT_EQ(dialog.Result(), 2);
    EXPECT_TRUE(card.events.endsWith("button:CANCELAR"));
}

// A click on another field while the focused one holds a refused value: the message box hands the focus
// back to the widget clicked as it closes, which is the same move, refused once.
TEST(CardDialogKeys, AMoveRefusedByARuleIsSaidOnce)
{
    RecordingCard card;
    card.spec.fields[0].rule.accepts = [](const QString& v) { return v != "X"; };
    card.spec.fields[0].rule.message = "NO";
    QStringList messages;
    QWidget* clicked = nullptr;
    CardDialog dialog(card.spec, card.state, nullptr, [&](const QString& text) {
        messages << text;
        Field<QLineEdit>(dialog, "CODIGO")->setFocus(); // the box takes the focus from the card ...
        clicked->setFocus();                            // ... and gives it back where it was
    });
    Open(dialog);
    Type(Field<QLineEdit>(dialog, "CODIGO"), "X");
    clicked = Field<QLineEdit>(dialog, "NOMBRE");
    clicked->setFocus();
    EXPECT_EQ(Text(messages.join('|')), "NO");
    EXPECT_EQ(Text(dialog.FocusedField()), "CODIGO");
}

TEST(CardDialogClosing, RunIsModalAndReturnsTheButtonsResult)
{
    RecordingCard card;
    QtUi ui;
    WhenModal([](QWidget* modal) {
        auto* dialog = qobject_cast<CardDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("CODIGO")->setText("M-01");
        dialog->Button("SALVAR")->click();
    });
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 1);
    EXPECT_EQ(Text(card.state.value("CODIGO")), "M-01");
    EXPECT_EQ(Text(card.events.join(' ')), "show enter:CODIGO change:CODIGO exit:CODIGO button:SALVAR");
}

TEST(QtUiDialogs, InputBoxMessageAndQuestion)
{
    QtUi ui;
    // Cancel gives back the default, as the callers' "#" and "N" defaults expect.
    WhenModal([](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(Text(input->windowTitle()), "CAMBIO DE ENTORNO");
        EXPECT_EQ(Text(input->labelText()), "Entrar Codigo");
        EXPECT_EQ(Text(input->textValue()), "#");
        input->setTextValue("typed, then cancelled");
        input->reject();
    });
    EXPECT_EQ(Text(ui.InputBox("CAMBIO DE ENTORNO", "Entrar Codigo", "#")), "#");

    WhenModal([](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(input, nullptr);
        const auto texts = [&] {
            QStringList t;
            for (auto* b : input->findChildren<QPushButton*>())
                t << b->text();
            t.sort();
            return t.join(' ');
        }();
        EXPECT_EQ(Text(texts), "Aceptar Cancelar");
        input->setTextValue("PLANTA2");
        input->accept();
    });
    EXPECT_EQ(Text(ui.InputBox("CAMBIO DE ENTORNO", "Entrar Codigo", "#")), "PLANTA2");

    QCoreApplication::setApplicationName("gim");
    WhenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Text(box->windowTitle()), "gim");
        EXPECT_EQ(Text(box->text()), "FICHERO <NO> ENCONTRADO");
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->reject();
    });
    ui.ShowMessage("FICHERO <NO> ENCONTRADO");

    for (const bool yes : {true, false}) {
        WhenModal([yes](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            auto* si = box->findChild<QPushButton*>("YES");
            auto* no = box->findChild<QPushButton*>("NO");
            ASSERT_TRUE(si && no);
            EXPECT_EQ(Text(si->text()), "Sí");
            EXPECT_EQ(Text(no->text()), "No");
            (yes ? si : no)->click();
        });
        EXPECT_EQ(ui.AskYesNo("¿Borrar la máquina?"), yes);
    }
    // Closing the question is a No.
    WhenModal([](QWidget* modal) { modal->close(); });
    EXPECT_FALSE(ui.AskYesNo("¿Borrar la máquina?"));

    ui.SetClipboardText("A1\tTorno");
    EXPECT_EQ(Text(ui.ClipboardText()), "A1\tTorno");
}

TEST(QtShellTest, RefusesWhatCannotBeOpenedOrStarted)
{
    QtShell shell;
    EXPECT_FALSE(shell.OpenPath("/nonexistent/folder/file.rtf"));
    EXPECT_FALSE(shell.OpenUrl("not a url"));
    EXPECT_FALSE(shell.StartProgram("/nonexistent/program", {}));
    EXPECT_TRUE(shell.StartProgram("true", {}));
}

// A Shift-key mark that lets the key through: the handler runs and the capital is typed; on a stamp field
// the key is taken by the handler alone.
TEST(CardDialogKeys, AShiftKeyMarkComesFromKeysThatTypeNothingAndCapitalsAreTyped)
{
    RecordingCard card;
    card.spec.fields[0].onShiftKey = [&card](CardState&) { card.events << "mark"; };
    card.spec.fields[0].shiftKeyTyped = true;
    card.spec.fields[1].onShiftKey = [](CardState& st) { st.set("NOMBRE", "sello"); };
    CardDialog dialog(card.spec, card.state);
    Open(dialog);
    auto* codigo = qobject_cast<QLineEdit*>(dialog.FieldWidget("CODIGO"));
    auto* nombre = qobject_cast<QLineEdit*>(dialog.FieldWidget("NOMBRE"));
    ASSERT_TRUE(codigo && nombre);
    codigo->setFocus(Qt::MouseFocusReason);
    // A capital typed with Shift is a keystroke like any other.
    QKeyEvent shiftR(QEvent::KeyPress, Qt::Key_R, Qt::ShiftModifier, QStringLiteral("R"));
    QApplication::sendEvent(codigo, &shiftR);
    EXPECT_EQ(Text(card.state.value("CODIGO")), "R");
    EXPECT_FALSE(card.events.contains("mark"));
    // A key that types nothing, held with Shift, marks the field and still does its own work.
    QKeyEvent shiftLeft(QEvent::KeyPress, Qt::Key_Left, Qt::ShiftModifier);
    QApplication::sendEvent(codigo, &shiftLeft);
    EXPECT_TRUE(card.events.contains("mark"));
    EXPECT_EQ(Text(codigo->selectedText()), "R");
    nombre->setFocus(Qt::MouseFocusReason);
    QKeyEvent shiftA(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
    QApplication::sendEvent(nombre, &shiftA);
    EXPECT_EQ(Text(card.state.value("NOMBRE")), "sello");
    dialog.Button("CANCELAR")->click();
}

} // namespace
} // namespace gim
