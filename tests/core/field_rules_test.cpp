#include "core/field_rules.h"
#include "platform/card_controller.h"
#include "platform/script/scripted_ui.h"
#include "support/scripted_ui_check.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

// Each kind of value a card field takes, with what it accepts and refuses.
TEST(FieldRules, EachKindTakesItsValuesAndRefusesTheRest)
{
    struct Case
    {
        const char* kind;
        FieldRule rule;
        std::vector<const char*> accepted;
        std::vector<const char*> refused;
    };
    const Case cases[] = {
        {"word",
         WholeRule(0, 65535),
         {"65535", " 12 ", ""},
         {"65536", "-45", "abc", "12abc", "99999999999999999999"}},
        {"required", WholeRule(0, 65535, true), {"0"}, {"", "  "}},
        {"signed", WholeRule(-2147483648LL, 2147483647LL), {"-2147483648"}, {"2147483648"}},
        {"money", MoneyRule(0, 2147483647LL), {"12,5", "21474836,47"}, {"99999999999", "-5,00", "5,x"}},
        {"week", WeekRule(), {"0", "53"}, {"54", "-5", "abc"}},
        {"week required", WeekRule(true), {"1"}, {""}},
        {"year", YearRule(), {"2026"}, {"1999", "2100"}},
        {"hour", HourRule(), {"23:59", " 8:05", "  :  "}, {"24:00", "12:60", "ab:cd"}},
        {"hour until 24", HourRule(true, true), {"24:00"}, {"24:01", "  :  "}},
        {"date",
         DateRule(),
         {"29/02/2028", "01/12/26", "  /  /    "},
         {"29/02/2026", "31/02/2026", "26/77/9 ", "99/13/99"}},
        {"date required", DateRule(true), {"07/12/2026"}, {"  /  /  "}},
        // 29/12/2026 lies in week 53, written as week 00 of 2027.
        {"week code",
         WeekCodeRule(true),
         {"26/52/7", "27/00/2"},
         {"26/53/2", "26/54/1", "26/10/8", "26/10/0", "  /  / "}},
        {"code", CodeRule({"O", "P"}), {"P", ""}, {"Q", "o"}},
        {"code required", CodeRule({"O", "P"}, true), {"O"}, {""}},
    };
    for (const Case& c : cases) {
        for (const char* v : c.accepted)
            EXPECT_TRUE(c.rule.accepts(QString::fromUtf8(v))) << c.kind << " \"" << v << "\"";
        for (const char* v : c.refused)
            EXPECT_FALSE(c.rule.accepts(QString::fromUtf8(v))) << c.kind << " \"" << v << "\"";
    }
}

struct RuleCard
{
    RuleCard()
    {
        spec.name = "TFormPrueba";
        spec.caption = "Prueba";
        FieldSpec operarios{"PERSON", "Operarios :", FieldKind::Text};
        operarios.rule = WholeRule(0, 65535);
        FieldSpec tiempo{"TIEMPO", "Tiempo", FieldKind::Text};
        tiempo.rule = MinutesRule();
        FieldSpec nombre{"NOMBRE", "Nombre", FieldKind::Text, 10};
        spec.fields = {operarios, tiempo, nombre};
        spec.buttons = {{"SALVAR", "&Salvar", CardResult::Save},
                        {"SALIR", "&Salir", CardResult::Exit},
                        {"BORRAR", "&Borrar", CardResult::Delete}};
    }
    CardSpec spec;
    CardState state;
};

// A refused value keeps the focus and the card open, on leaving the field and again on saving; the
// cancel button and Escape leave whatever is typed.
TEST(FieldRules, TheCardRefusesAValueOnLeavingAndOnSavingAndEscapeCancels)
{
    ScriptedUi ui;
    RuleCard card;
    ui.ExpectCard("Prueba")
        .Set("PERSON", "70000")
        .Focus("NOMBRE")
        .ExpectFocus("PERSON")
        .Set("PERSON", "7")
        .Set("TIEMPO", "abc")
        .Press("SALVAR")
        .ExpectFocus("TIEMPO")
        .Set("TIEMPO", "65535")
        .Set("NOMBRE", "A\tB\x1b"
                       "C")
        .ExpectValue("NOMBRE", "A B C")
        .Press("SALVAR");
    ui.ExpectMessage("VALOR NO VÁLIDO EN OPERARIOS: UN NÚMERO ENTERO DE 0 A 65535");
    ui.ExpectMessage("TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS");
    EXPECT_EQ(ui.RunCard(card.spec, card.state), CardResult::Save);
    EXPECT_SCRIPT_DONE(ui);

    // A wrong value typed in a field the user never left is still caught by the save.
    RuleCard other;
    other.state.set("TIEMPO", "-1");
    ui.ExpectCard("Prueba").Press("SALVAR").ExpectFocus("TIEMPO").Set("TIEMPO", "99999").Escape();
    ui.ExpectMessage("TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS");
    EXPECT_EQ(ui.RunCard(other.spec, other.state), CardResult::Exit);
    EXPECT_SCRIPT_DONE(ui);

    // No cancel button: Escape does nothing, and the card goes on.
    RuleCard plain;
    plain.spec.buttons.erase(plain.spec.buttons.begin() + 1);
    ui.ExpectCard("Prueba").Escape().Press("BORRAR");
    EXPECT_EQ(ui.RunCard(plain.spec, plain.state), CardResult::Delete);
    EXPECT_SCRIPT_DONE(ui);
}

} // namespace
} // namespace gim
