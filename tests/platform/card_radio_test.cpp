#include "platform/script/scripted_ui.h"
#include "support/scripted_ui_check.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

// Two groups of radio buttons (the body's A and B, the titled group's C) and the events they cause.
TEST(CardRadio, ChoosingOneLetsItsGroupGoAndADoubleClickSelectsFirst)
{
    CardSpec spec;
    spec.name = QStringLiteral("TPrueba");
    spec.caption = QStringLiteral("Prueba");
    spec.fields = {MakeField(QStringLiteral("A"), "A", FieldKind::Radio),
                   MakeField(QStringLiteral("B"), "B", FieldKind::Radio),
                   MakeField(QStringLiteral("C"), "C", FieldKind::Radio)};
    spec.fields[2].place.group = QStringLiteral("Otro");
    spec.buttons = {{QStringLiteral("OK"), QStringLiteral("OK"), CardResult::Save}};
    QStringList events;
    spec.onChange = [&](CardState& st, const QString& f) {
        events << f + QLatin1Char(':') + st.value("A") + st.value("B") + st.value("C");
    };
    spec.onDoubleClick = [&](CardState& st, const QString& f) {
        events << QStringLiteral("dbl:") + f + st.value(f);
    };

    ScriptedUi ui;
    CardState state;
    for (const char* radio : {"A", "B", "C"})
        state.setChecked(radio, radio == std::string("A"));
    ui.ExpectCard(QStringLiteral("Prueba"))
        .Set("C", "1")
        .Set("B", "1")
        .Set("B", "1")
        .DoubleClick("A")
        .DoubleClick("A")
        .Press("OK");
    EXPECT_EQ(ui.RunCard(spec, state), CardResult::Save);
    EXPECT_EQ(events.join(QLatin1Char(' ')), QStringLiteral("C:101 B:011 A:101 dbl:A1 dbl:A1"));
    EXPECT_SCRIPT_DONE(ui);

    // A selected radio button cannot be unselected by the user.
    ScriptedUi refusing;
    refusing.ExpectCard(QStringLiteral("Prueba")).Set("A", "0");
    refusing.RunCard(spec, state);
    EXPECT_NE(refusing.Verify(), QString());
}

} // namespace
} // namespace gim
