#include "platform/card_controller.h"
#include "platform/card_mask.h"
#include "platform/script/scripted_ui.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

std::string Text(const QString& s)
{
    return s.toStdString();
}

// ---- The mask grammar ------------------------------------------------------------------------------------

TEST(CardMask, TypedDigitsFillTheDatePositionsAndStepOverTheSlashes)
{
    const CardMask date(QStringLiteral("!99/99/00;1;_"));
    EXPECT_EQ(date.Length(), 8);
    EXPECT_EQ(Text(date.Blank()), "  /  /  ");
    EXPECT_EQ(Text(date.Display(date.Blank())), "__/__/__");

    struct Case
    {
        const char* typed;
        const char* stored;
        bool complete;
    };
    const Case cases[] = {
        {"311226", "31/12/26", true},   // digits only
        {"31/12/26", "31/12/26", true}, // slashes typed where they stand
        {"3a1x1226", "31/12/26", true}, // what is no digit is not taken
        {"0102", "01/02/  ", false},    // the year is required
        {"", "  /  /  ", true},         // nothing typed: a blank date
        {"3112261", "31/12/26", true},  // no room for more
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QString value = date.Blank();
        date.Type(value, 0, 0, QString::fromLatin1(c.typed));
        EXPECT_EQ(Text(value), c.stored);
        EXPECT_EQ(date.Complete(value), c.complete);
    }

    // Typing over a selection empties it first; erasing keeps the literals.
    QString value = QStringLiteral("31/12/26");
    EXPECT_EQ(date.Type(value, 3, 2, QStringLiteral("0")), 4);
    EXPECT_EQ(Text(value), "31/0 /26");
    date.Erase(value, 0, 8);
    EXPECT_EQ(Text(value), "  /  /  ");
    // A value from a record is taken as laid out, or typed in when it is not.
    EXPECT_EQ(Text(date.Conform(QStringLiteral("15/03/21"))), "15/03/21");
    EXPECT_EQ(Text(date.Conform(QStringLiteral(".."))), "  /  /  ");
    EXPECT_EQ(Text(date.Conform(QStringLiteral("150321"))), "15/03/21");

    const CardMask code(QStringLiteral(">LL-9;1;*"));
    QString typed = code.Blank();
    code.Type(typed, 0, 0, QStringLiteral("ab-7"));
    EXPECT_EQ(Text(typed), "AB-7");
    EXPECT_EQ(Text(code.Display(code.Conform(QStringLiteral("a")))), "A*-*");
    EXPECT_FALSE(code.Complete(code.Conform(QStringLiteral("a"))));
}

// ---- The controller
// ----------------------------------------------------------------------------------------

struct Card
{
    Card()
    {
        spec.name = "TFormPrueba";
        spec.caption = "Prueba";
        FieldSpec fecha{"FECHA", "Fecha", FieldKind::Masked, 0, "!99/99/00;1;_"};
        spec.fields = {
            {"CODIGO", "Código", FieldKind::Text, 5}, fecha, {"NOMBRE", "Nombre", FieldKind::Text, 10}};
        spec.buttons = {{"SALVAR", "&Salvar", 1}, {"SALIR", "&Salir", 2}};
        spec.onChange = [this](CardState& st, const QString& f) { events << f + "=" + st.value(f); };
        spec.onExit = [this](CardState&, const QString& f) { events << "exit:" + f; };
    }
    CardSpec spec;
    CardState state;
    QStringList events;
    QStringList messages;
    QStringList faults;
};

TEST(CardController, TypingIsCutToTheCapacityAndRunsOnChangePerKey)
{
    Card card;
    CardController c(
        card.spec, card.state, [&](const QString& m) { card.messages << m; },
        [&](const QString& f) { card.faults << f; });
    ASSERT_TRUE(c.Open());
    EXPECT_EQ(Text(c.Focused()), "CODIGO");
    // A cleared masked field reads its blank positions as spaces.
    EXPECT_EQ(Text(card.state.value("FECHA")), "  /  /  ");
    int cursor = 0;
    for (const QChar ch : QStringLiteral("ABCDEFG"))
        cursor = c.Type("CODIGO", cursor, 0, QString(ch));
    EXPECT_EQ(cursor, 5);
    EXPECT_EQ(Text(card.state.value("CODIGO")), "ABCDE");
    EXPECT_EQ(Text(card.events.join(' ')), "CODIGO=A CODIGO=AB CODIGO=ABC CODIGO=ABCD CODIGO=ABCDE");
    // Pasting into the middle takes what fits.
    card.events.clear();
    EXPECT_EQ(c.Erase("CODIGO", 1, 3), 1);
    EXPECT_EQ(c.Type("CODIGO", 1, 0, QStringLiteral("XYZW")), 3);
    EXPECT_EQ(Text(card.state.value("CODIGO")), "AXYDE");
    EXPECT_EQ(Text(card.events.join(' ')), "CODIGO=ADE CODIGO=AXYDE");
    EXPECT_TRUE(card.faults.isEmpty());
}

TEST(CardController, AClickOrAShiftKeyMovesTheFocusAndRunsOnlyTheFieldsOwnHandler)
{
    Card card;
    card.spec.fields[2].onClick = [&card](CardState& s) {
        card.events << "click";
        s.set("NOMBRE", "ahora");
    };
    card.spec.fields[0].onShiftKey = [&card](CardState&) { card.events << "shift"; };
    CardController c(
        card.spec, card.state, [&](const QString& m) { card.messages << m; },
        [&](const QString& f) { card.faults << f; });
    ASSERT_TRUE(c.Open());
    // A field without the handler ignores the event and keeps the focus where it is.
    c.ShiftKey("NOMBRE");
    c.Click("CODIGO");
    EXPECT_EQ(Text(c.Focused()), "CODIGO");
    EXPECT_TRUE(card.events.isEmpty());
    c.Click("NOMBRE");
    EXPECT_EQ(Text(c.Focused()), "NOMBRE");
    EXPECT_EQ(Text(card.state.value("NOMBRE")), "ahora");
    c.ShiftKey("CODIGO");
    EXPECT_EQ(Text(card.events.join(' ')), "exit:CODIGO click exit:NOMBRE shift");
    // A disabled field takes neither.
    card.state.enable("NOMBRE", false);
    card.state.set("NOMBRE", "");
    c.Click("NOMBRE");
    EXPECT_EQ(Text(card.state.value("NOMBRE")), "");
}

// A handler sends the focus elsewhere: the move runs once the event's handlers have, with the usual
// exit and enter; a request left by a field a button press leaves is dropped.
TEST(CardController, AFocusRequestMovesTheFocusAfterTheHandlersAndAButtonDropsIt)
{
    Card card;
    card.spec.onEnter = [&card](CardState&, const QString& f) { card.events << "enter:" + f; };
    card.spec.fields[0].onExit = [](CardState& s) { s.focusRequest = "NOMBRE"; };
    bool control = true;
    card.spec.onButton = [&control](CardState& s, const ButtonSpec&) {
        control = s.controlHeld;
        return true;
    };
    CardController c(
        card.spec, card.state, [&](const QString& m) { card.messages << m; },
        [&](const QString& f) { card.faults << f; });
    ASSERT_TRUE(c.Open());
    card.events.clear();
    EXPECT_TRUE(c.Focus("FECHA"));
    EXPECT_EQ(Text(c.Focused()), "NOMBRE");
    EXPECT_TRUE(c.TakeFocusMoved());
    EXPECT_FALSE(c.TakeFocusMoved());
    EXPECT_EQ(Text(card.events.join(' ')), "exit:CODIGO enter:FECHA exit:FECHA enter:NOMBRE");
    EXPECT_TRUE(card.state.focusRequest.isEmpty());

    // From CODIGO straight to a button: the request does not pull the focus back before the press.
    c.Focus("CODIGO");
    card.events.clear();
    c.Press("SALVAR");
    EXPECT_TRUE(c.Closed());
    EXPECT_FALSE(control);
    EXPECT_EQ(Text(card.events.join(' ')), "exit:CODIGO");
    EXPECT_TRUE(card.faults.isEmpty());
}

// Ctrl+Space presses the button with Control held; the mark lasts only for that press.
TEST(CardController, AButtonPressedWithControlTellsOnButton)
{
    Card card;
    QStringList presses;
    card.spec.onButton = [&presses](CardState& s, const ButtonSpec& b) {
        presses << b.name + (s.controlHeld ? "+ctrl" : "");
        return false;
    };
    CardController c(card.spec, card.state, {}, {});
    ASSERT_TRUE(c.Open());
    c.Press("SALVAR", true);
    c.Press("SALVAR");
    EXPECT_EQ(Text(presses.join(' ')), "SALVAR+ctrl SALVAR");
    EXPECT_FALSE(card.state.controlHeld);

    ScriptedUi ui;
    Card scripted;
    presses.clear();
    scripted.spec.onButton = card.spec.onButton;
    ui.ExpectCard("Prueba").ControlPress("SALVAR").Press("SALIR");
    ui.RunCard(scripted.spec, scripted.state);
    EXPECT_EQ(Text(presses.join(' ')), "SALVAR+ctrl SALIR");
    EXPECT_TRUE(ui.Transcript().join('\n').contains("CTRL+SPACE SALVAR"));
}

TEST(CardController, AHalfTypedMaskKeepsTheFocusUntilCompletedOrCleared)
{
    Card card;
    CardController c(
        card.spec, card.state, [&](const QString& m) { card.messages << m; },
        [&](const QString& f) { card.faults << f; });
    c.Open();
    int cursor = 0;
    for (const QChar ch : QStringLiteral("0102"))
        cursor = c.Type("FECHA", cursor, 0, QString(ch));
    EXPECT_EQ(Text(card.state.value("FECHA")), "01/02/  ");
    EXPECT_FALSE(c.Focus("NOMBRE"));
    EXPECT_EQ(Text(c.Focused()), "FECHA");
    c.Press("SALVAR");
    EXPECT_FALSE(c.Closed());
    EXPECT_EQ(Text(card.messages.join('|')), "DATO INCOMPLETO|DATO INCOMPLETO");
    // Leaving without keeping anything is always possible.
    c.Type("FECHA", cursor, 0, QStringLiteral("26"));
    EXPECT_TRUE(c.Focus("NOMBRE"));
    EXPECT_EQ(Text(card.state.value("FECHA")), "01/02/26");
    c.Press("SALVAR");
    EXPECT_TRUE(c.Closed());
    EXPECT_EQ(c.Result(), 1);

    Card other;
    CardController d(
        other.spec, other.state, [&](const QString& m) { other.messages << m; }, [](const QString&) {});
    d.Open();
    d.Type("FECHA", 0, 0, QStringLiteral("3"));
    d.Press("SALIR");
    EXPECT_TRUE(d.Closed());
    EXPECT_EQ(d.Result(), 2);
    EXPECT_TRUE(other.messages.isEmpty());
}

// The viewer opens on a double-clicked picture whose file is there, once its handlers have run; not on an
// empty, missing or disabled picture, nor when a handler closed the card.
TEST(CardController, ADoubleClickedPictureOpensTheViewerOnlyOnAFileThatIsThere)
{
    test::TestContext t;
    t.WriteFile("PR1.jpg", "foto");
    const QString photo = t.Path("PR1.jpg");

    Card card;
    card.spec.fields.push_back({"FOTO", "", FieldKind::Picture});
    bool closeOnClick = false;
    card.spec.onDoubleClick = [&](CardState& st, const QString& f) {
        card.events << "dblclick:" + f;
        if (closeOnClick)
            st.closeWith = 2;
    };
    QStringList viewed;
    CardController c(
        card.spec, card.state, [&](const QString& m) { card.messages << m; },
        [&](const QString& f) { card.faults << f; },
        [&](const QString& path) {
            card.events << "viewer";
            viewed << path;
        });
    ASSERT_TRUE(c.Open());
    for (const QString& path : {QString(), t.Path("OTRA.jpg"), t.ctx.st.BaseDir, photo}) {
        card.state.set("FOTO", path);
        c.DoubleClick("FOTO");
    }
    EXPECT_EQ(Text(viewed.join('|')), Text(photo));
    EXPECT_EQ(Text(card.events.join(' ')), "dblclick:FOTO dblclick:FOTO dblclick:FOTO dblclick:FOTO viewer");
    // A picture does not take the focus from the field that has it.
    EXPECT_EQ(Text(c.Focused()), "CODIGO");

    card.state.enable("FOTO", false);
    c.DoubleClick("FOTO");
    card.state.enable("FOTO", true);
    closeOnClick = true;
    c.DoubleClick("FOTO");
    EXPECT_TRUE(c.Closed());
    EXPECT_EQ(c.Result(), 2);
    EXPECT_EQ(viewed.size(), 1);
    EXPECT_TRUE(card.faults.isEmpty());
}

TEST(CardController, AHandlerNamingAControlTheCardDoesNotDeclareIsAFault)
{
    Card card;
    card.spec.onExit = [](CardState& st, const QString&) {
        st.set("NOMBRE", "ok");
        st.set("NOMRBE", "typo");
        st.enable("BORRAR", false);
    };
    ScriptedUi ui;
    ui.ExpectCard("Prueba").Set("NOMBRE", "x").Press("SALIR");
    ui.RunCard(card.spec, card.state);
    ASSERT_EQ(ui.Failures().size(), 1);
    EXPECT_EQ(Text(ui.Failures()[0].section('\n', 0, 0)),
              "card [Prueba] card TFormPrueba has no control NOMRBE, BORRAR");
}

TEST(CardController, ScriptedDatesChecksListsAndTablesTakeTheirValues)
{
    CardSpec spec;
    spec.caption = "Tipos";
    spec.fields = {{"DIA", "Día", FieldKind::Date},
                   {"LISTA", "", FieldKind::CheckList, 0, {}, {"PM", "PC"}},
                   {"FILAS", "", FieldKind::Table}};
    spec.fields[2].columns = QStringList{"Código", "Nombre"};
    spec.buttons = {{"SALVAR", "&Salvar", 1}};
    QStringList events;
    spec.onChange = [&](CardState& st, const QString& f) { events << f + "=" + st.value(f); };
    CardState state;
    state.set("LISTA", "11");
    state.rows["FILAS"] = {{"A", "uno"}, {"B", "dos"}};
    ScriptedUi ui;
    ui.ExpectCard("Tipos")
        .ExpectValue("DIA", "  /  /    ")
        .PickDate("DIA", QDate(2026, 12, 24))
        .Toggle("LISTA", "PC")
        .Set("FILAS", "1")
        .Set("DIA", "0101")
        .Press("SALVAR");
    ui.ExpectMessage("DATO INCOMPLETO");
    EXPECT_EQ(ui.RunCard(spec, state), 2);
    EXPECT_EQ(Text(events.join(' ')), "DIA=24/12/2026 LISTA=10 FILAS=1 DIA=0 /  /     DIA=01/  /     "
                                      "DIA=01/0 /     DIA=01/01/    ");
    EXPECT_EQ(Text(ui.Failures().join('\n').section('\n', 0, 0)),
              "card [Tipos] is still open after the script's last action");
}

} // namespace
} // namespace gim
