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
        const char* value;
        bool accepted;
    };
    const Case cases[] = {
        {"word", WholeRule(0, 65535), "65535", true},
        {"word", WholeRule(0, 65535), "65536", false},
        {"word", WholeRule(0, 65535), "70000", false},
        {"word", WholeRule(0, 65535), "-45", false},
        {"word", WholeRule(0, 65535), "abc", false},
        {"word", WholeRule(0, 65535), "12abc", false},
        {"word", WholeRule(0, 65535), " 12 ", true},
        {"word", WholeRule(0, 65535), "", true},
        {"word", WholeRule(0, 65535, true), "", false},
        {"word", WholeRule(0, 65535), "99999999999999999999", false},
        {"signed", WholeRule(-2147483648LL, 2147483647LL), "-2147483648", true},
        {"signed", WholeRule(-2147483648LL, 2147483647LL), "2147483648", false},
        {"money", MoneyRule(0, 2147483647LL), "12,5", true},
        {"money", MoneyRule(0, 2147483647LL), "21474836,47", true},
        {"money", MoneyRule(0, 2147483647LL), "99999999999", false},
        {"money", MoneyRule(0, 2147483647LL), "-5,00", false},
        {"money", MoneyRule(0, 2147483647LL), "5,x", false},
        {"week", WeekRule(), "53", true},
        {"week", WeekRule(), "54", false},
        {"week", WeekRule(), "0", true},
        {"week", WeekRule(), "-5", false},
        {"week", WeekRule(), "abc", false},
        {"week", WeekRule(true), "", false},
        {"year", YearRule(), "1999", false},
        {"hour", HourRule(), "23:59", true},
        {"hour", HourRule(), " 8:05", true},
        {"hour", HourRule(), "24:00", false},
        {"hour", HourRule(true), "24:00", true},
        {"hour", HourRule(true), "24:01", false},
        {"hour", HourRule(), "12:60", false},
        {"hour", HourRule(), "ab:cd", false},
        {"hour", HourRule(), "  :  ", true},
        {"hour", HourRule(false, true), "  :  ", false},
        {"date", DateRule(), "29/02/2028", true},
        {"date", DateRule(), "29/02/2026", false},
        {"date", DateRule(), "31/02/2026", false},
        {"date", DateRule(), "26/77/9 ", false},
        {"date", DateRule(), "99/13/99", false},
        {"date", DateRule(), "01/12/26", true},
        {"date", DateRule(), "  /  /    ", true},
        {"date", DateRule(true), "  /  /  ", false},
        {"week code", WeekCodeRule(), "26/52/7", true},
        {"week code", WeekCodeRule(), "27/00/2", true}, // 29/12/2026, week 53 written as 00 of 2027
        {"week code", WeekCodeRule(), "26/53/2", false},
        {"week code", WeekCodeRule(), "26/54/1", false},
        {"week code", WeekCodeRule(), "26/10/8", false},
        {"week code", WeekCodeRule(), "26/10/0", false},
        {"week code", WeekCodeRule(true), "  /  / ", false},
        {"code", CodeRule({"O", "P"}), "P", true},
        {"code", CodeRule({"O", "P"}), "Q", false},
        {"code", CodeRule({"O", "P"}), "o", false},
        {"code", CodeRule({"O", "P"}), "", true},
        {"code", CodeRule({"O", "P"}, true), "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " \"" + c.value + "\"");
        EXPECT_EQ(c.rule.accepts(QString::fromUtf8(c.value)), c.accepted);
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
