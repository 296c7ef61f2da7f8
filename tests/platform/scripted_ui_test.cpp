#include "platform/script/scripted_ui.h"
#include "support/scripted_ui_check.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

std::string Joined(const QStringList& lines)
{
    return lines.join(QLatin1Char('\n')).toStdString();
}

std::string Text(const QString& s)
{
    return s.toStdString();
}

// A card that records every handler call; `ui` lets handlers show messages as feature code does.
struct RecordingCard
{
    explicit RecordingCard(Ui& ui)
    {
        spec.name = "TFormPrueba";
        spec.caption = "Prueba";
        spec.fields = {
            {"CODIGO", "Código", FieldKind::Text, 5},
            {"NOMBRE", "Nombre", FieldKind::Text, 10},
            {"TIPO", "Tipo", FieldKind::Combo, 0, {}, {"A", "B"}, true},
            {"ACTIVO", "Activo", FieldKind::Check},
            {"NOTAS", "Notas", FieldKind::Memo, 8},
            {"INFO", "", FieldKind::Label},
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
            if (f == "CODIGO" && st.value(f) == "FIN")
                st.closeWith = 5;
        };
        spec.onExit = [this, &ui](CardState& st, const QString& f) {
            events << "exit:" + f;
            if (f == "CODIGO" && st.value(f) == "DUP")
                ui.ShowMessage("CODIGO REPETIDO");
        };
        spec.onButton = [this](CardState&, const ButtonSpec& b) {
            events << "button:" + b.name;
            return b.name != "SIGUIENTE";
        };
        spec.onDoubleClick = [this](CardState& st, const QString& f) {
            events << "dblclick:" + f;
            if (onDoubleClick)
                onDoubleClick(st, f);
        };
    }

    CardSpec spec;
    CardState state;
    QStringList events;
    std::function<void(CardState&)> onShow;
    std::function<void(CardState&, const QString&)> onDoubleClick;
};

// ---- Prompts, messages and questions ---------------------------------------------------------------

TEST(ScriptedUiPrompts, AnswersInOrderCancelReturnsTheDefaultAndTheTranscriptSaysSo)
{
    ScriptedUi ui;
    ui.ExpectInput("CAMBIO DE ENTORNO", "Entrar Codigo", "una respuesta muy larga")
        .ExpectInputCancel("ALTA", "Código")
        .ExpectMessage("FICHERO NO ENCONTRADO")
        .ExpectYesNo("¿Borrar?", true)
        .ExpectYesNo("¿Seguro?", false);

    // Answers come back exactly as scripted: cutting them is the caller's job.
    EXPECT_EQ(Text(ui.InputBox("CAMBIO DE ENTORNO", "Entrar Codigo", "")), "una respuesta muy larga");
    EXPECT_EQ(Text(ui.InputBox("ALTA", "Código", "#")), "#");
    ui.ShowMessage("FICHERO NO ENCONTRADO");
    EXPECT_TRUE(ui.AskYesNo("¿Borrar?"));
    EXPECT_FALSE(ui.AskYesNo("¿Seguro?"));

    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(Joined(ui.Transcript()), "INPUT [CAMBIO DE ENTORNO] Entrar Codigo = 'una respuesta muy larga'\n"
                                       "INPUT [ALTA] Código = CANCEL ('#')\n"
                                       "MESSAGE 'FICHERO NO ENCONTRADO'\n"
                                       "YESNO '¿Borrar?' = SI\n"
                                       "YESNO '¿Seguro?' = NO");
}

TEST(ScriptedUiPrompts, UnexpectedInteractionsAnswerAsCancelledAndKeepTheExpectationWaiting)
{
    ScriptedUi ui;
    ui.ExpectMessage("FICHERO NO ENCONTRADO");

    EXPECT_EQ(Text(ui.InputBox("CAMBIO DE ENTORNO", "Entrar Codigo", "N")), "N");
    EXPECT_FALSE(ui.AskYesNo("¿Continuar?"));
    ui.ShowMessage("fichero no encontrado"); // compared exactly, case included
    ui.ShowMessage("FICHERO NO ENCONTRADO");

    ASSERT_EQ(ui.Failures().size(), 3);
    EXPECT_EQ(Text(ui.Failures()[0]), "unexpected INPUT [CAMBIO DE ENTORNO] Entrar Codigo; "
                                      "expected MESSAGE 'FICHERO NO ENCONTRADO'\n"
                                      "transcript:\n"
                                      "  INPUT [CAMBIO DE ENTORNO] Entrar Codigo");
    EXPECT_EQ(Text(ui.Failures()[1]),
              "unexpected YESNO '¿Continuar?'; expected MESSAGE 'FICHERO NO ENCONTRADO'\n"
              "transcript:\n"
              "  INPUT [CAMBIO DE ENTORNO] Entrar Codigo\n"
              "  YESNO '¿Continuar?'");
    EXPECT_EQ(Text(ui.Failures()[2].section('\n', 0, 0)),
              "unexpected MESSAGE 'fichero no encontrado'; expected MESSAGE 'FICHERO NO ENCONTRADO'");
    EXPECT_EQ(Text(ui.Verify()), Text(ui.Failures().join("\n\n")));
}

TEST(ScriptedUiPrompts, WrongCaptionOrPromptIsUnexpected)
{
    ScriptedUi ui;
    ui.ExpectInput("ALTA", "Código", "A1").ExpectInput("ALTA", "Código", "A2");
    EXPECT_EQ(Text(ui.InputBox("BAJA", "Código", "#")), "#");
    EXPECT_EQ(Text(ui.InputBox("ALTA", "Codigo", "#")), "#");
    EXPECT_EQ(Text(ui.InputBox("ALTA", "Código", "#")), "A1");
    EXPECT_EQ(ui.Failures().size(), 2);
    EXPECT_TRUE(
        ui.Failures()[1].startsWith("unexpected INPUT [ALTA] Codigo; expected INPUT [ALTA] Código = 'A1'"));
}

TEST(ScriptedUiPrompts, LeftOverExpectationsAndTheEndOfTheScriptAreReported)
{
    ScriptedUi ui;
    ui.ExpectMessage("X")
        .ExpectInput("A", "B", "c")
        .ExpectCardCancel("Máquinas")
        .ExpectReport()
        .ExpectChooseFile(std::nullopt);
    EXPECT_EQ(Text(ui.Verify()), "left-over expectations:\n"
                                 "  MESSAGE 'X'\n"
                                 "  INPUT [A] B = 'c'\n"
                                 "  CARD [Máquinas]\n"
                                 "  REPORT\n"
                                 "  CHOOSEFILE = CANCEL\n"
                                 "transcript: (empty)");
    const auto verdict = test::ScriptDone(ui);
    EXPECT_FALSE(verdict);
    EXPECT_NE(std::string(verdict.message()).find("left-over expectations:\n  MESSAGE 'X'"),
              std::string::npos);

    ScriptedUi done;
    done.ShowMessage("TARDE");
    EXPECT_EQ(Text(done.Verify()), "unexpected MESSAGE 'TARDE'; the script had ended\n"
                                   "transcript:\n"
                                   "  MESSAGE 'TARDE'");
}

TEST(ScriptedUiPrompts, ALoopOnAnUnexpectedPromptIsAbortedAndStaysAborted)
{
    ScriptedUi ui;
    int asked = 0;
    // Code that insists until the user types "S" would spin for ever on a cancelled prompt.
    EXPECT_THROW(
        {
            while (ui.InputBox("SALIR", "¿Salir? (S/N)", "N") != "S")
                ++asked;
        },
        ScriptAbort);
    EXPECT_EQ(asked, ScriptedUi::kDefaultUnexpectedLimit);
    EXPECT_THROW(ui.ShowMessage("después"), ScriptAbort);

    ScriptedUi small;
    small.SetUnexpectedLimit(2);
    small.ShowMessage("1");
    small.ShowMessage("2");
    try {
        small.ShowMessage("3");
        ADD_FAILURE() << "no abort";
    } catch (const ScriptAbort& abort) {
        EXPECT_TRUE(
            QString::fromStdString(abort.what())
                .startsWith("script aborted after 3 unexpected interactions\nunexpected MESSAGE '3'"));
    }
}

// ---- Reports, files, clipboard -----------------------------------------------------------------------

TEST(ScriptedUiOther, ReportsFilesAndClipboard)
{
    ScriptedUi ui;
    ui.ExpectReport("Listado de máquinas")
        .ExpectReport()
        .ExpectChooseFile("/tmp/a.rtf")
        .ExpectChooseFile(std::nullopt);

    auto first = std::make_shared<ReportDocument>();
    first->caption = "Listado de máquinas";
    auto second = std::make_shared<ReportDocument>();
    second->caption = "Otro";
    ui.ShowReport(first);
    ui.ShowReport(second);

    FileDialogRequest request;
    request.save = true;
    request.caption = "Guardar como";
    request.filters = QStringList{"Ficheros RTF (*.rtf)"};
    EXPECT_EQ(ui.ChooseFile(request), std::optional<QString>("/tmp/a.rtf"));
    EXPECT_EQ(ui.ChooseFile(request), std::nullopt);

    ui.SetClipboardText("A1\tTorno");
    EXPECT_EQ(Text(ui.ClipboardText()), "A1\tTorno");

    EXPECT_SCRIPT_DONE(ui);
    ASSERT_EQ(ui.Reports().size(), 2u);
    EXPECT_EQ(ui.Reports()[0], first);
    ASSERT_EQ(ui.FileRequests().size(), 2u);
    EXPECT_TRUE(ui.FileRequests()[0].save);
    EXPECT_EQ(Joined(ui.Transcript()), "REPORT [Listado de máquinas]\n"
                                       "REPORT [Otro]\n"
                                       "CHOOSEFILE [Guardar como] = '/tmp/a.rtf'\n"
                                       "CHOOSEFILE [Guardar como] = CANCEL\n"
                                       "CLIPBOARD 'A1\tTorno'");

    // A report with another caption is unexpected but still kept for inspection.
    ScriptedUi other;
    other.ExpectReport("Listado de máquinas");
    other.ShowReport(second);
    EXPECT_EQ(other.Reports().size(), 1u);
    EXPECT_EQ(other.Failures().size(), 1);
}

// ---- Cards -------------------------------------------------------------------------------------------

TEST(ScriptedUiCards, HandlersRunInTheDocumentedOrder)
{
    struct Case
    {
        const char* what;
        std::function<void(CardScript&)> script;
        const char* events;
    };
    const std::vector<Case> cases = {
        // onChange runs once per typed character, as in the program.
        {"fields in order",
         [](CardScript& c) { c.Set("CODIGO", "A1").Set("NOMBRE", "Torno").Press("SALVAR"); },
         "show enter:CODIGO change:CODIGO change:CODIGO exit:CODIGO enter:NOMBRE change:NOMBRE change:NOMBRE "
         "change:NOMBRE change:NOMBRE change:NOMBRE exit:NOMBRE button:SALVAR"},
        {"starting on a later field leaves the first one",
         [](CardScript& c) { c.Set("NOMBRE", "Torno").Press("SALVAR"); },
         "show enter:CODIGO exit:CODIGO enter:NOMBRE change:NOMBRE change:NOMBRE change:NOMBRE change:NOMBRE "
         "change:NOMBRE exit:NOMBRE button:SALVAR"},
        {"a button straight away", [](CardScript& c) { c.Press("CANCELAR"); },
         "show enter:CODIGO exit:CODIGO button:CANCELAR"},
        {"typing twice in one field",
         [](CardScript& c) { c.Set("CODIGO", "A").Set("CODIGO", "B").Press("SALVAR"); },
         "show enter:CODIGO change:CODIGO change:CODIGO exit:CODIGO button:SALVAR"},
        {"typing the value the field already has is no change",
         [](CardScript& c) { c.Set("CODIGO", "A").Set("CODIGO", "A").Press("SALVAR"); },
         "show enter:CODIGO change:CODIGO exit:CODIGO button:SALVAR"},
        {"a button that keeps the card open",
         [](CardScript& c) { c.Set("CODIGO", "A1").Press("SIGUIENTE").Set("CODIGO", "A2").Press("SALVAR"); },
         "show enter:CODIGO change:CODIGO change:CODIGO exit:CODIGO button:SIGUIENTE enter:CODIGO "
         "change:CODIGO change:CODIGO exit:CODIGO button:SALVAR"},
        {"close box", [](CardScript& c) { c.Set("CODIGO", "A1").Cancel(); },
         "show enter:CODIGO change:CODIGO change:CODIGO"},
        {"a change handler closing the card", [](CardScript& c) { c.Set("CODIGO", "FIN"); },
         "show enter:CODIGO change:CODIGO change:CODIGO change:CODIGO"},
        {"a double-click on another field enters it first",
         [](CardScript& c) { c.Set("CODIGO", "A1").DoubleClick("NOMBRE").Press("SALVAR"); },
         "show enter:CODIGO change:CODIGO change:CODIGO exit:CODIGO enter:NOMBRE dblclick:NOMBRE exit:NOMBRE "
         "button:SALVAR"},
        {"a double-click on the focused field",
         [](CardScript& c) {
             c.DoubleClick("CODIGO").DoubleClick("CODIGO").Set("CODIGO", "A1").Press("SALVAR");
         },
         "show enter:CODIGO dblclick:CODIGO dblclick:CODIGO change:CODIGO change:CODIGO exit:CODIGO "
         "button:SALVAR"},
        {"a double-click on a label moves no focus",
         [](CardScript& c) { c.DoubleClick("INFO").Set("NOMBRE", "Torno").Press("SALVAR"); },
         "show enter:CODIGO dblclick:INFO exit:CODIGO enter:NOMBRE change:NOMBRE change:NOMBRE change:NOMBRE "
         "change:NOMBRE change:NOMBRE exit:NOMBRE button:SALVAR"},
        {"a double-click on a check box changes nothing",
         [](CardScript& c) { c.DoubleClick("ACTIVO").Press("SALVAR"); },
         "show enter:CODIGO exit:CODIGO enter:ACTIVO dblclick:ACTIVO exit:ACTIVO button:SALVAR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedUi ui;
        RecordingCard card(ui);
        c.script(ui.ExpectCard("Prueba"));
        ui.RunCard(card.spec, card.state);
        EXPECT_SCRIPT_DONE(ui);
        EXPECT_EQ(Text(card.events.join(' ')), c.events);
    }
}

TEST(ScriptedUiCards, ResultsAndValues)
{
    ScriptedUi ui;
    RecordingCard card(ui);
    card.state.closeWith = 3; // left over from an earlier card: cleared when the card opens
    ui.ExpectCard("Prueba")
        .Set("CODIGO", "ABCDEFG")
        .Set("TIPO", "B")
        .Set("ACTIVO", "1")
        .Set("NOTAS", "linea 1\nlinea 2")
        .Press("SALVAR");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 1);
    EXPECT_EQ(Text(card.state.value("CODIGO")), "ABCDE");
    EXPECT_EQ(Text(card.state.value("TIPO")), "B");
    EXPECT_TRUE(card.state.checked("ACTIVO"));
    EXPECT_EQ(Text(card.state.value("NOTAS")), "linea 1\n");

    ui.ExpectCard("Prueba", {{"CODIGO", "FIN"}}, "SALVAR");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 5);
    ASSERT_EQ(ui.Failures().size(), 1);
    EXPECT_TRUE(ui.Failures()[0].startsWith("card [Prueba] closed with 5 before: PRESS SALVAR\ntranscript:"));

    ui.ExpectCardCancel("Prueba");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 2);

    // Without onButton every button closes the card with its own result.
    card.spec.onButton = nullptr;
    ui.ExpectCard("Prueba").Press("SIGUIENTE");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 6);

    EXPECT_EQ(Joined(ui.Transcript()), "CARD [Prueba]\n"
                                       "  CODIGO = 'ABCDE'\n"
                                       "  TIPO = 'B'\n"
                                       "  ACTIVO = '1'\n"
                                       "  NOTAS = 'linea 1\n'\n"
                                       "  PRESS SALVAR\n"
                                       "  CLOSE 1\n"
                                       "CARD [Prueba]\n"
                                       "  CODIGO = 'FIN'\n"
                                       "  CLOSE 5\n"
                                       "CARD [Prueba]\n"
                                       "  CANCEL\n"
                                       "  CLOSE 2\n"
                                       "CARD [Prueba]\n"
                                       "  PRESS SIGUIENTE\n"
                                       "  CLOSE 6");
}

TEST(ScriptedUiCards, TheScriptedUserCannotDoWhatTheCardDoesNotAllow)
{
    struct Case
    {
        std::function<void(CardScript&)> script;
        const char* failure;
    };
    const std::vector<Case> cases = {
        {[](CardScript& c) { c.Set("TIPO", "C").Press("SALVAR"); },
         "card [Prueba] 'C' is not a choice of field TIPO"},
        {[](CardScript& c) { c.Set("ACTIVO", "S"); },
         "card [Prueba] check box ACTIVO takes '1' or '0', not 'S'"},
        {[](CardScript& c) { c.Set("INFO", "x"); }, "card [Prueba] field INFO is a label"},
        {[](CardScript& c) { c.Set("NOMBRE", "x"); }, "card [Prueba] field NOMBRE is disabled"},
        {[](CardScript& c) { c.Set("NOTAS", "x"); }, "card [Prueba] field NOTAS is hidden"},
        {[](CardScript& c) { c.Set("PRECIO", "x"); }, "card [Prueba] has no field PRECIO"},
        {[](CardScript& c) { c.DoubleClick("NOMBRE"); }, "card [Prueba] field NOMBRE is disabled"},
        {[](CardScript& c) { c.DoubleClick("NOTAS"); }, "card [Prueba] field NOTAS is hidden"},
        {[](CardScript& c) { c.DoubleClick("PRECIO"); }, "card [Prueba] has no field PRECIO"},
        {[](CardScript& c) { c.Press("SIGUIENTE"); }, "card [Prueba] button SIGUIENTE is disabled"},
        {[](CardScript& c) { c.Press("BORRAR"); }, "card [Prueba] has no button BORRAR"},
        {[](CardScript& c) { c.Set("CODIGO", "A1"); },
         "card [Prueba] is still open after the script's last action"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].failure);
        ScriptedUi ui;
        RecordingCard card(ui);
        card.onShow = [](CardState& st) {
            st.enable("NOMBRE", false);
            st.show("NOTAS", false);
            st.enable("SIGUIENTE", false);
        };
        cases[i].script(ui.ExpectCard("Prueba"));
        EXPECT_EQ(ui.RunCard(card.spec, card.state), 2);
        ASSERT_EQ(ui.Failures().size(), 1);
        EXPECT_EQ(Text(ui.Failures()[0].section('\n', 0, 0)), cases[i].failure);
        EXPECT_FALSE(card.events.contains("button:SALVAR"));
    }
}

TEST(ScriptedUiCards, ChecksSeeTheCardAsItOpenedAndAsItChanges)
{
    ScriptedUi ui;
    RecordingCard card(ui);
    // The card starts from the previous machine's values.
    card.onShow = [](CardState& st) {
        st.set("CODIGO", "#");
        st.enable("TIPO", false);
    };
    card.spec.onChange = [](CardState& st, const QString& f) {
        if (f == "CODIGO")
            st.enable("TIPO", true);
    };
    QString seen;
    ui.ExpectCard("Prueba")
        .ExpectValue("CODIGO", "#")
        .ExpectDisabled("TIPO")
        .ExpectEnabled("SALVAR")
        .Set("CODIGO", "A1")
        .ExpectEnabled("TIPO")
        .ExpectValue("CODIGO", "#")
        .ExpectDisabled("SALVAR")
        .Inspect([&](const CardState& st) { seen = st.value("CODIGO"); })
        .Press("SALVAR");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 1);
    EXPECT_EQ(Text(seen), "A1");
    ASSERT_EQ(ui.Failures().size(), 2);
    EXPECT_EQ(Text(ui.Failures()[0]), "card [Prueba] field CODIGO shows 'A1', expected '#'\n"
                                      "transcript:\n"
                                      "  CARD [Prueba]\n"
                                      "    CODIGO = 'A1'");
    EXPECT_EQ(Text(ui.Failures()[1].section('\n', 0, 0)),
              "card [Prueba] SALVAR is enabled, expected disabled");
}

TEST(ScriptedUiCards, ADoubleClickIsInTheTranscriptAndItsHandlerCanCloseTheCard)
{
    ScriptedUi ui;
    RecordingCard card(ui);
    card.onDoubleClick = [](CardState& st, const QString& f) {
        if (f == "NOMBRE")
            st.closeWith = 8;
    };
    ui.ExpectCard("Prueba").DoubleClick("CODIGO").DoubleClick("NOMBRE").Press("SALVAR");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 8);
    EXPECT_EQ(Text(card.events.join(' ')),
              "show enter:CODIGO dblclick:CODIGO exit:CODIGO enter:NOMBRE dblclick:NOMBRE");
    ASSERT_EQ(ui.Failures().size(), 1);
    EXPECT_EQ(Text(ui.Failures()[0].section('\n', 0, 0)), "card [Prueba] closed with 8 before: PRESS SALVAR");
    EXPECT_EQ(Joined(ui.Transcript()), "CARD [Prueba]\n"
                                       "  DOUBLECLICK CODIGO\n"
                                       "  DOUBLECLICK NOMBRE\n"
                                       "  CLOSE 8");
}

TEST(ScriptedUiCards, AFixedComboTakesTheItemsHandlersGiveIt)
{
    // Accepted: the items a double-click put in place of the field's own.
    {
        ScriptedUi ui;
        RecordingCard card(ui);
        card.onDoubleClick = [](CardState& st, const QString& f) {
            if (f == "TIPO")
                st.choices["TIPO"] = QStringList{"C", "D"};
        };
        ui.ExpectCard("Prueba").DoubleClick("TIPO").Set("TIPO", "D").Press("SALVAR");
        EXPECT_EQ(ui.RunCard(card.spec, card.state), 1);
        EXPECT_SCRIPT_DONE(ui);
        EXPECT_EQ(Text(card.state.value("TIPO")), "D");
        EXPECT_EQ(
            Text(card.events.join(' ')),
            "show enter:CODIGO exit:CODIGO enter:TIPO dblclick:TIPO change:TIPO exit:TIPO button:SALVAR");
    }
    // Refused: an item of the field's own list no longer shown.
    {
        ScriptedUi ui;
        RecordingCard card(ui);
        card.onShow = [](CardState& st) { st.choices["TIPO"] = QStringList{"C", "D"}; };
        ui.ExpectCard("Prueba").Set("TIPO", "A").Press("SALVAR");
        EXPECT_EQ(ui.RunCard(card.spec, card.state), 2);
        ASSERT_EQ(ui.Failures().size(), 1);
        EXPECT_EQ(Text(ui.Failures()[0].section('\n', 0, 0)),
                  "card [Prueba] 'A' is not a choice of field TIPO");
        EXPECT_EQ(Text(card.state.value("TIPO")), "");
    }
    // A handler that drops its list gives the field its own items back.
    {
        ScriptedUi ui;
        RecordingCard card(ui);
        card.onShow = [](CardState& st) { st.choices["TIPO"] = QStringList{"C"}; };
        card.onDoubleClick = [](CardState& st, const QString&) { st.choices.erase("TIPO"); };
        ui.ExpectCard("Prueba").Set("TIPO", "C").DoubleClick("TIPO").Set("TIPO", "A").Press("SALVAR");
        EXPECT_EQ(ui.RunCard(card.spec, card.state), 1);
        EXPECT_SCRIPT_DONE(ui);
        EXPECT_EQ(Text(card.state.value("TIPO")), "A");
    }
}

TEST(ScriptedUiCards, InitialFocusSkipsWhatCannotTakeIt)
{
    ScriptedUi ui;
    RecordingCard card(ui);
    card.onShow = [](CardState& st) {
        st.enable("CODIGO", false);
        st.show("NOMBRE", false);
    };
    ui.ExpectCard("Prueba").Press("SALVAR");
    ui.RunCard(card.spec, card.state);
    EXPECT_EQ(Text(card.events.join(' ')), "show enter:TIPO exit:TIPO button:SALVAR");
}

TEST(ScriptedUiCards, CaptionIsMatchedAsShownAndUnexpectedCardsRunNoHandler)
{
    ScriptedUi ui;
    RecordingCard card(ui);
    card.onShow = [](CardState& st) { st.caption = "Prueba - Alta"; };
    ui.ExpectCard("Prueba").Press("SALVAR");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 2);
    ASSERT_EQ(ui.Failures().size(), 1);
    EXPECT_TRUE(ui.Failures()[0].startsWith("unexpected CARD [Prueba - Alta]; expected CARD [Prueba]\n"));
    EXPECT_EQ(Text(card.events.join(' ')), "show");

    ScriptedUi other;
    RecordingCard second(other);
    other.ExpectMessage("HOLA");
    EXPECT_EQ(other.RunCard(second.spec, second.state), 2);
    EXPECT_TRUE(second.events.isEmpty());
    EXPECT_EQ(Text(other.Failures()[0].section('\n', 0, 0)),
              "unexpected CARD [Prueba]; expected MESSAGE 'HOLA'");
}

TEST(ScriptedUiCards, WhatHandlersShowIsMatchedInPlaceAndIndented)
{
    ScriptedUi ui;
    RecordingCard card(ui);
    ui.ExpectCard("Prueba").Set("CODIGO", "DUP").Set("NOMBRE", "Torno").Press("SALVAR");
    ui.ExpectMessage("CODIGO REPETIDO");
    ui.ExpectMessage("GUARDADO");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), 1);
    ui.ShowMessage("GUARDADO");
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(Joined(ui.Transcript()), "CARD [Prueba]\n"
                                       "  CODIGO = 'DUP'\n"
                                       "  NOMBRE = 'Torno'\n"
                                       "  MESSAGE 'CODIGO REPETIDO'\n"
                                       "  PRESS SALVAR\n"
                                       "  CLOSE 1\n"
                                       "MESSAGE 'GUARDADO'");
}

} // namespace
} // namespace gim

namespace gim {
namespace {

TEST(ScriptedUiDateRange, OkGivesTheScriptedRangeAndCancelKeepsThePreset)
{
    ScriptedUi ui;
    ui.ExpectDateRange(QDate(2026, 1, 5), QDate(2026, 3, 1)).ExpectDateRangeCancel();
    QDate start(2026, 12, 7), end(2026, 12, 7);
    EXPECT_TRUE(ui.PickDateRange(start, end));
    EXPECT_EQ(start, QDate(2026, 1, 5));
    EXPECT_EQ(end, QDate(2026, 3, 1));
    EXPECT_FALSE(ui.PickDateRange(start, end));
    EXPECT_EQ(start, QDate(2026, 1, 5));
    EXPECT_EQ(end, QDate(2026, 3, 1));
    ASSERT_EQ(ui.DateRangePresets().size(), 2u);
    EXPECT_EQ(ui.DateRangePresets()[0].first, QDate(2026, 12, 7));
    EXPECT_TRUE(ui.Verify().isEmpty()) << ui.Verify().toStdString();
    EXPECT_EQ(ui.Transcript(),
              QStringList({QStringLiteral("DATERANGE 07/12/2026 - 07/12/2026 = 05/01/2026 - 01/03/2026"),
                           QStringLiteral("DATERANGE 05/01/2026 - 01/03/2026 = CANCEL")}));

    // Unexpected: answered as a closed window, and recorded.
    EXPECT_FALSE(ui.PickDateRange(start, end));
    EXPECT_FALSE(ui.Verify().isEmpty());
}

TEST(ScriptedUiProgress, BeginAndEndInTheTranscriptStepsHeldToTheMaximum)
{
    ScriptedUi ui;
    ui.BeginProgress(QStringLiteral("AVANCE CARGA DE DATOS PARTES DIARIOS"), 120);
    ui.SetProgress(60);
    EXPECT_EQ(ui.ProgressPosition(), 60);
    ui.SetProgress(500);
    ui.EndProgress();
    ui.EndProgress();
    EXPECT_EQ(ui.Transcript(),
              QStringList({QStringLiteral("PROGRESS [AVANCE CARGA DE DATOS PARTES DIARIOS] 0/120"),
                           QStringLiteral("PROGRESS END 120/120")}));
    EXPECT_TRUE(ui.Verify().isEmpty());
}

} // namespace
} // namespace gim
