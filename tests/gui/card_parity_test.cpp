#include "masterdata/reserved_codes.h"
#include "masterdata/reserved_codes_window.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/qt_ui.h"
#include "platform/script/scripted_ui.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace gim {
namespace {

std::string Text(const QString& s)
{
    return s.toStdString();
}

// One field of every kind; the handlers write down each call with the value the field holds then.
struct ParityCard
{
    ParityCard()
    {
        spec.name = "TFormPrueba";
        spec.caption = "Prueba";
        spec.fields = {
            {"CODIGO", "Código", FieldKind::Text, 5},
            {"FECHA", "Fecha", FieldKind::Masked, 0, "!99/99/00;1;_"},
            {"TIPO", "Tipo", FieldKind::Combo, 0, {}, {"A", "B"}, true},
            {"SECCION", "Sección", FieldKind::Combo, 4, {}, {"MEC", "ELEC"}, false},
            {"ACTIVO", "Activo", FieldKind::Check},
            {"LISTA", "", FieldKind::CheckList, 0, {}, {"PM", "PC", "PP"}},
            {"FILAS", "", FieldKind::Table},
            {"DIA", "Día", FieldKind::Date},
            {"FOTO", "", FieldKind::Picture},
        };
        spec.fields[6].columns = QStringList{"Código", "Nombre"};
        spec.buttons = {{"SALVAR", "&Salvar", 1}, {"SALIR", "&Salir", 2}};
        const auto log = [this](const char* what) {
            return [this, what](CardState& st, const QString& f) { events << what + f + "=" + st.value(f); };
        };
        spec.onEnter = log("enter:");
        spec.onChange = log("change:");
        spec.onExit = log("exit:");
        spec.onDoubleClick = [this](CardState& st, const QString& f) {
            events << "dblclick:" + f;
            if (f == "LISTA") // as the reserved codes do: a double-click ticks every item
                st.set("LISTA", "111");
        };
        state.set("LISTA", "101");
        state.rows["FILAS"] = {{"A", "uno"}, {"B", "dos"}, {"C", "tres"}};
        state.set("FOTO", "/no/existe.jpg");
    }
    QString Values() const
    {
        QStringList all;
        for (const FieldSpec& f : spec.fields)
            all << f.name + "=" + state.value(f.name);
        return all.join(' ');
    }
    CardSpec spec;
    CardState state;
    QStringList events;
};

void Keys(QWidget* target, const QString& text)
{
    target->setFocus(Qt::MouseFocusReason);
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }
}

void DoubleClickOn(QWidget* control, QWidget* target)
{
    if (control->focusPolicy() & Qt::ClickFocus)
        control->setFocus(Qt::MouseFocusReason);
    const QPointF local(4, 4);
    QMouseEvent event(QEvent::MouseButtonDblClick, local, target->mapToGlobal(local), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

template <class W> W* Find(const CardDialog& dialog, const char* name)
{
    W* w = dialog.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// The same user actions in both backends: the same handler calls, values and result.
TEST(CardParity, EveryFieldKindGivesTheSameCallsValuesAndResultInBothBackends)
{
    struct Case
    {
        const char* kind;
        std::function<void(CardScript&)> scripted;
        std::function<void(CardDialog&)> qt;
        const char* events; // after "enter:CODIGO="
    };
    const std::vector<Case> cases = {
        {"text with capacity", [](CardScript& c) { c.Set("CODIGO", "ABCDEFG"); },
         [](CardDialog& d) { Keys(Find<QLineEdit>(d, "CODIGO"), "ABCDEFG"); },
         "change:CODIGO=A change:CODIGO=AB change:CODIGO=ABC change:CODIGO=ABCD change:CODIGO=ABCDE "
         "exit:CODIGO=ABCDE"},
        {"masked", [](CardScript& c) { c.Set("FECHA", "3112x26"); },
         [](CardDialog& d) { Keys(Find<QLineEdit>(d, "FECHA"), "3112x26"); },
         "exit:CODIGO= enter:FECHA=  /  /   change:FECHA=3 /  /   change:FECHA=31/  /   "
         "change:FECHA=31/1 /   change:FECHA=31/12/   change:FECHA=31/12/2  change:FECHA=31/12/26 "
         "exit:FECHA=31/12/26"},
        {"fixed combo", [](CardScript& c) { c.Set("TIPO", "B"); },
         [](CardDialog& d) {
             Find<QComboBox>(d, "TIPO")->setFocus(Qt::MouseFocusReason);
             Find<QComboBox>(d, "TIPO")->setCurrentIndex(1);
         },
         "exit:CODIGO= enter:TIPO= change:TIPO=B exit:TIPO=B"},
        {"editable combo", [](CardScript& c) { c.Set("SECCION", "HIDR"); },
         [](CardDialog& d) { Keys(Find<QComboBox>(d, "SECCION")->lineEdit(), "HIDR"); },
         "exit:CODIGO= enter:SECCION= change:SECCION=H change:SECCION=HI change:SECCION=HID "
         "change:SECCION=HIDR exit:SECCION=HIDR"},
        {"check", [](CardScript& c) { c.Set("ACTIVO", "1"); },
         [](CardDialog& d) {
             Find<QCheckBox>(d, "ACTIVO")->setFocus(Qt::MouseFocusReason);
             Find<QCheckBox>(d, "ACTIVO")->click();
         },
         "exit:CODIGO= enter:ACTIVO= change:ACTIVO=1 exit:ACTIVO=1"},
        {"check list", [](CardScript& c) { c.Toggle("LISTA", "PC").DoubleClick("LISTA"); },
         [](CardDialog& d) {
             auto* list = Find<QListWidget>(d, "LISTA");
             list->setFocus(Qt::MouseFocusReason);
             list->item(1)->setCheckState(Qt::Checked);
             DoubleClickOn(list, list->viewport());
         },
         "exit:CODIGO= enter:LISTA=101 change:LISTA=111 dblclick:LISTA exit:LISTA=111"},
        {"table", [](CardScript& c) { c.Set("FILAS", "2"); },
         [](CardDialog& d) {
             auto* table = Find<QTableWidget>(d, "FILAS");
             table->setFocus(Qt::MouseFocusReason);
             table->setCurrentCell(2, 1);
         },
         "exit:CODIGO= enter:FILAS= change:FILAS=2 exit:FILAS=2"},
        {"date typed and picked",
         [](CardScript& c) { c.Set("DIA", "01022026").PickDate("DIA", QDate(2026, 12, 24)); },
         [](CardDialog& d) {
             Keys(Find<QLineEdit>(d, "DIA"), "01022026");
             QTimer::singleShot(0, [] {
                 QWidget* modal = QApplication::activeModalWidget();
                 ASSERT_NE(modal, nullptr);
                 auto* calendar = modal->findChild<QCalendarWidget*>();
                 ASSERT_NE(calendar, nullptr);
                 // The calendar opens on the date the field shows.
                 EXPECT_EQ(calendar->selectedDate(), QDate(2026, 2, 1));
                 calendar->setSelectedDate(QDate(2026, 12, 24));
                 emit calendar->activated(QDate(2026, 12, 24));
             });
             Find<QToolButton>(d, "DIABoton")->click();
         },
         "exit:CODIGO= enter:DIA=  /  /     change:DIA=0 /  /     change:DIA=01/  /     "
         "change:DIA=01/0 /     change:DIA=01/02/     change:DIA=01/02/2    change:DIA=01/02/20   "
         "change:DIA=01/02/202  change:DIA=01/02/2026 change:DIA=24/12/2026 exit:DIA=24/12/2026"},
        {"picture", [](CardScript& c) { c.DoubleClick("FOTO"); },
         [](CardDialog& d) {
             auto* foto = Find<QLabel>(d, "FOTO");
             DoubleClickOn(foto, foto);
         },
         "dblclick:FOTO exit:CODIGO="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        ParityCard scripted;
        ScriptedUi ui;
        CardScript& script = ui.ExpectCard("Prueba");
        c.scripted(script);
        script.Press("SALVAR");
        EXPECT_EQ(ui.RunCard(scripted.spec, scripted.state), 1);
        EXPECT_SCRIPT_DONE(ui);
        EXPECT_EQ(Text(scripted.events.join(' ')), std::string("enter:CODIGO= ") + c.events);

        ParityCard shown;
        CardDialog dialog(shown.spec, shown.state);
        dialog.Start();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        c.qt(dialog);
        dialog.Button("SALVAR")->click();
        EXPECT_TRUE(dialog.IsClosed());
        EXPECT_EQ(dialog.Result(), 1);
        EXPECT_EQ(Text(shown.events.join(' ')), Text(scripted.events.join(' ')));
        EXPECT_EQ(Text(shown.Values()), Text(scripted.Values()));
    }
}

TEST(CardParity, AHalfTypedDateIsRefusedInTheDialogAsInTheScript)
{
    ParityCard shown;
    QStringList messages;
    CardDialog dialog(shown.spec, shown.state, nullptr, [&](const QString& m) { messages << m; });
    dialog.Start();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    auto* fecha = Find<QLineEdit>(dialog, "FECHA");
    Keys(fecha, "0102");
    EXPECT_EQ(Text(fecha->text()), "01/02/__");
    Find<QComboBox>(dialog, "TIPO")->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(Text(dialog.FocusedField()), "FECHA");
    EXPECT_EQ(QApplication::focusWidget(), fecha);
    dialog.Button("SALVAR")->click();
    EXPECT_FALSE(dialog.IsClosed());
    EXPECT_EQ(Text(messages.join('|')), "DATO INCOMPLETO|DATO INCOMPLETO");
    // Backspace empties the position before the cursor; a cleared field may be left.
    for (int i = 0; i < 8; ++i) {
        QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(fecha, &back);
    }
    EXPECT_EQ(Text(shown.state.value("FECHA")), "  /  /  ");
    dialog.Button("SALVAR")->click();
    EXPECT_EQ(dialog.Result(), 1);
}

// A double-click on a picture opens the program's viewer on the file the handlers leave in it, after them;
// a picture whose file is not there opens nothing. The Qt dialog asks its opener, the script notes it.
TEST(CardParity, ADoubleClickedPictureOpensTheViewerAfterItsHandlersInBothBackends)
{
    test::TestContext t;
    t.WriteFile("#PRENSA.jpg", "foto");
    const QString photo = t.Path("#PRENSA.jpg");
    for (const bool exists : {true, false}) {
        SCOPED_TRACE(exists ? "file there" : "no file");
        const QString shownFile = exists ? photo : t.Path("#OTRA.jpg");
        const auto prepare = [&](ParityCard& card) {
            // The field's own handler names the picture: the viewer follows what it left.
            card.spec.fields[8].onDoubleClick = [&card, shownFile](CardState& st) {
                card.events << "name:" + st.value("FOTO");
                st.set("FOTO", shownFile);
            };
        };

        ParityCard scripted;
        prepare(scripted);
        ScriptedUi ui;
        ui.ExpectCard("Prueba").DoubleClick("FOTO").Press("SALVAR");
        EXPECT_EQ(ui.RunCard(scripted.spec, scripted.state), 1);
        EXPECT_SCRIPT_DONE(ui);
        const QStringList transcript = ui.Transcript();
        const qsizetype click = transcript.indexOf("  DOUBLECLICK FOTO");
        ASSERT_GE(click, 0);
        if (exists)
            EXPECT_EQ(Text(transcript.value(click + 1)), Text("  VIEWER '" + photo + "'"));
        else
            EXPECT_FALSE(transcript.join('\n').contains("VIEWER"));
        EXPECT_EQ(Text(scripted.events.join(' ')),
                  "enter:CODIGO= name:/no/existe.jpg dblclick:FOTO exit:CODIGO=");

        ParityCard shown;
        prepare(shown);
        QStringList opened;
        CardDialog dialog(shown.spec, shown.state, nullptr, {}, [&](QWidget* card, const QString& path) {
            EXPECT_EQ(card, &dialog);
            shown.events << "viewer:" + path;
            opened << path;
        });
        dialog.Start();
        QApplication::setActiveWindow(&dialog);
        QApplication::processEvents();
        auto* foto = Find<QLabel>(dialog, "FOTO");
        DoubleClickOn(foto, foto);
        dialog.Button("SALVAR")->click();
        EXPECT_EQ(dialog.Result(), 1);
        EXPECT_EQ(Text(opened.join('|')), exists ? Text(photo) : "");
        EXPECT_EQ(
            Text(shown.events.join(' ')),
            exists ? Text("enter:CODIGO= name:/no/existe.jpg dblclick:FOTO viewer:" + photo + " exit:CODIGO=")
                   : "enter:CODIGO= name:/no/existe.jpg dblclick:FOTO exit:CODIGO=");
    }
}

// A handler's focus request and a press with Control held: the same calls, focus and result in both
// backends, and the Qt focus follows the controller's.
TEST(CardParity, AFocusRequestAndCtrlSpaceOnAButtonActTheSameInBothBackends)
{
    const auto prepare = [](ParityCard& card) {
        card.spec.fields[0].onExit = [](CardState& st) { st.focusRequest = "SECCION"; };
        card.spec.onButton = [&card](CardState& st, const ButtonSpec& b) {
            card.events << "button:" + b.name + (st.controlHeld ? "+ctrl" : "");
            return true;
        };
    };
    ParityCard scripted;
    prepare(scripted);
    ScriptedUi ui;
    ui.ExpectCard("Prueba").Focus("FECHA").ExpectFocus("SECCION").ControlPress("SALVAR");
    EXPECT_EQ(ui.RunCard(scripted.spec, scripted.state), 1);
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(Text(scripted.events.join(' ')), "enter:CODIGO= exit:CODIGO= enter:FECHA=  /  /   "
                                               "exit:FECHA=  /  /   enter:SECCION= exit:SECCION= "
                                               "button:SALVAR+ctrl");

    ParityCard shown;
    prepare(shown);
    CardDialog dialog(shown.spec, shown.state);
    dialog.Start();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();
    Find<QLineEdit>(dialog, "FECHA")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(Text(dialog.FocusedField()), "SECCION");
    auto* seccion = Find<QComboBox>(dialog, "SECCION");
    EXPECT_TRUE(QApplication::focusWidget() == seccion || QApplication::focusWidget() == seccion->lineEdit());
    QPushButton* save = dialog.Button("SALVAR");
    save->setFocus(Qt::TabFocusReason);
    QKeyEvent ctrlSpace(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier, QStringLiteral(" "));
    QApplication::sendEvent(save, &ctrlSpace);
    EXPECT_TRUE(dialog.IsClosed());
    EXPECT_EQ(dialog.Result(), 1);
    EXPECT_EQ(Text(shown.events.join(' ')), Text(scripted.events.join(' ')));
}

// The reserved codes: two sheets of check lists under their captions, the description and the three
// buttons inside a window that fits a 1280 x 800 screen.
TEST(ReservedCodesWindow, TwoSheetsOfCheckListsFitASmallScreen)
{
    QStringList descriptions;
    for (TReservedCodeRecord rec : BuiltInReservedCodes()) {
        DefaultReservedDescription(rec);
        descriptions << rec.Code.str() + QStringLiteral("  ") + rec.Description.str();
    }
    const CardSpec spec = ReservedCodesCardSpec(descriptions);
    CardState state = FreshReservedCodesState();
    state.setTicked(QStringLiteral("CodPreven"), 3, false);
    CardDialog dialog(spec, state);
    dialog.Start();
    QApplication::setActiveWindow(&dialog);
    QApplication::processEvents();

    EXPECT_LE(dialog.frameGeometry().width(), 1280);
    EXPECT_LE(dialog.frameGeometry().height(), 800);
    ASSERT_NE(dialog.Sheets(), nullptr);
    ASSERT_EQ(dialog.Sheets()->count(), 2);
    EXPECT_EQ(Text(dialog.Sheets()->tabText(0)), "Acciones Partes Diarios");
    EXPECT_EQ(Text(dialog.Sheets()->tabText(1)), "Gamas MTP");
    const std::pair<const char*, const char*> lists[] = {
        {"CodPreven", "MTO. PREVENTIVO"}, {"CodeCon", "CONDUCTIVO"},
        {"CodeRep", "REPARACIONES"},      {"CodeAv", "AVERIAS"},
        {"CODINGEN", "INGENIERIA"},       {"CODRUTAS", "RUTAS MTO"},
        {"CODVARIOS", "OTROS"},           {"FrecueMTP", "FRECUENCIAS"},
        {"EspeciMTP", "ESPECIALIDAD"},    {"EstadoMTP", "ESTADO"}};
    for (const auto& [name, caption] : lists) {
        SCOPED_TRACE(name);
        auto* list = dialog.findChild<QListWidget*>(QString::fromLatin1(name));
        ASSERT_NE(list, nullptr);
        auto* group = qobject_cast<QGroupBox*>(list->parentWidget());
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(Text(group->title()), caption);
    }
    auto* preventive = dialog.findChild<QListWidget*>(QStringLiteral("CodPreven"));
    EXPECT_EQ(Text(preventive->item(3)->text()), "PM");
    EXPECT_EQ(preventive->item(3)->checkState(), Qt::Unchecked);
    EXPECT_EQ(preventive->item(2)->checkState(), Qt::Checked);
    // The description and the buttons lie inside the window.
    const QRect inside = dialog.rect();
    for (const char* name : {"Salvaracc", "Imprimir", "salir"}) {
        QPushButton* button = dialog.Button(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(inside.contains(QRect(button->mapTo(&dialog, QPoint(0, 0)), button->size()))) << name;
    }
    auto* description = dialog.findChild<QComboBox*>(QStringLiteral("DescripPT"));
    ASSERT_NE(description, nullptr);
    EXPECT_TRUE(inside.contains(QRect(description->mapTo(&dialog, QPoint(0, 0)), description->size())));
    EXPECT_EQ(Text(description->currentText()), "P1D  Prev. Diario");

    // Ticking an item in the list is what the window saves; clicking one shows its description.
    preventive->item(3)->setCheckState(Qt::Checked);
    EXPECT_EQ(Text(description->currentText()), "PM  Prev. Mensual");
    dialog.Button(QStringLiteral("Salvaracc"))->click();
    EXPECT_EQ(dialog.Result(), 1);
    const std::vector<bool> visible = VisibleFlagsOf(state);
    EXPECT_TRUE(std::all_of(visible.begin(), visible.end(), [](bool v) { return v; }));

    // Shown modally as the program shows it, the window keeps to the screen too.
    QtUi ui;
    CardState again = FreshReservedCodesState();
    QTimer::singleShot(0, [] {
        auto* modal = qobject_cast<CardDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        EXPECT_LE(modal->frameGeometry().width(), 1280);
        EXPECT_LE(modal->frameGeometry().height(), 800);
        ASSERT_NE(modal->Sheets(), nullptr);
        EXPECT_EQ(modal->Sheets()->count(), 2);
        modal->Button(QStringLiteral("salir"))->click();
    });
    EXPECT_EQ(ui.RunCard(spec, again), 2);
}

} // namespace
} // namespace gim
