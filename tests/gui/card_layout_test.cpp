#include "core/environment.h"
#include "masterdata/hour_price_card.h"
#include "masterdata/machine_card.h"
#include "masterdata/personnel_card.h"
#include "masterdata/procedure_card.h"
#include "masterdata/routine_card.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/qt_ui.h"
#include "preventive/plan_definition.h"
#include "support/test_context.h"
#include "workreports/budget_card.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace gim {
namespace {

std::string Text(const QString& s)
{
    return s.toStdString();
}

QRect RectIn(const QWidget& dialog, const QWidget* w)
{
    return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size());
}

struct LaidOutCard
{
    const char* name;
    std::function<CardSpec(Context&)> spec;
    // The controls the form lists, top to bottom in its first column.
    std::vector<const char*> column;
    // Controls that stand to the right of another on the same line: {left, right}.
    std::vector<std::pair<const char*, const char*>> beside;
};

// Each card stands as a form: every control at its own cell, the form's controls in the form's order down
// the first column, meanings and prices' currency beside their controls, the whole card on a 1280 x 800
// screen.
TEST(CardLayout, EachCardIsAFormInItsControlsOrderThatFitsASmallScreen)
{
    const std::vector<LaidOutCard> cards = {
        {"TFormMQ",
         [](Context& ctx) { return MachineCardSpec(ctx, MachineCardUse::Edit); },
         {"CODIGO", "DENOMINACION", "MODELO", "FABRIC", "UBICA", "CUENTA", "DISPO", "CheckBox1"},
         {}},
        {"TFichaRCH",
         [](Context& ctx) { return PersonnelCardSpec(ctx); },
         {"Codigo", "Apellidos", "Nombre", "Calle", "Ciudad", "tlf", "Ingreso", "Baja"},
         {}},
        {"TfichPreHora",
         [](Context& ctx) { return HourPriceCardSpec(ctx); },
         {"Matricula", "HCONTRATO", "HN", "HEX", "HEN", "HEF", "HEC", "Calendario"},
         {{"Matricula", "NoMatricula"}, {"HCONTRATO", "EurosHCONTRATO"}, {"HEC", "EurosHEC"}}},
        {"TInstru",
         [](Context& ctx) { return ProcedureCardSpec(ctx, ProcedureCardUse::Record); },
         {"Codigo", "Espec", "Proced", "inst", "Estado", "TIEMPO", "Descripcion"},
         {{"Codigo", "LabelMaquina"},
          {"Espec", "LabelEspec"},
          {"Estado", "LabelEstado"},
          {"Codigo", "Image1"}}},
        {"TFormGM",
         [](Context& ctx) {
             // The longest description an operation holds, as a suggestion, does not widen the card off
             // the screen.
             TOperationRecord longest{};
             longest.Speciality = "MC";
             longest.Description = QString(130, QLatin1Char('W'));
             return RoutineCardSpec(ctx, GamaCodeChoices{}, DescriptionSuggestions({{longest, 0}}),
                                    {RoutineCardUse::Kind::Copy, QStringLiteral("Prensa"), false, {}});
         },
         {"Label1", "FercGM", "EstadoGM", "EspGM", "DescripGM", "TiempoGM", "RichGM"},
         {{"Label1", "Label2"}, {"FercGM", "FrecLabel"}, {"EspGM", "EspLabel"}, {"TiempoGM", "TiempoLabel"}}},
        {"TDefinPG",
         [](Context&) { return PlanDefinitionCardSpec(); },
         {"Firma", "IniPG", "FinPG", "HorasPG", "HorasRF"},
         {}},
    };
    for (const LaidOutCard& card : cards) {
        SCOPED_TRACE(card.name);
        test::TestContext t;
        const CardSpec spec = card.spec(t.ctx);
        EXPECT_EQ(Text(spec.name), card.name);
        for (const FieldSpec& f : spec.fields)
            EXPECT_GE(f.place.row, 0) << Text(f.name) << " has no place of its own";

        CardState state;
        CardDialog dialog(spec, state);
        dialog.Start();
        QApplication::processEvents();
        EXPECT_LE(dialog.frameGeometry().width(), 1280);
        EXPECT_LE(dialog.frameGeometry().height(), 800);

        const QRect inside = dialog.rect();
        for (const FieldSpec& f : spec.fields) {
            QWidget* w = dialog.FieldWidget(f.name);
            ASSERT_NE(w, nullptr) << Text(f.name);
            if (w->isVisible()) {
                EXPECT_TRUE(inside.contains(RectIn(dialog, w))) << Text(f.name);
            }
        }
        for (const ButtonSpec& b : spec.buttons)
            EXPECT_TRUE(inside.contains(RectIn(dialog, dialog.Button(b.name)))) << Text(b.name);

        for (std::size_t i = 1; i < card.column.size(); ++i) {
            const QString upper = QString::fromLatin1(card.column[i - 1]);
            const QString lower = QString::fromLatin1(card.column[i]);
            const QRect above = RectIn(dialog, dialog.FieldWidget(upper));
            const QRect below = RectIn(dialog, dialog.FieldWidget(lower));
            EXPECT_LE(above.bottom(), below.top()) << card.column[i - 1] << " above " << card.column[i];
            // Captioned controls line up behind their captions.
            if (dialog.FieldCaption(upper) && dialog.FieldCaption(lower)) {
                EXPECT_EQ(above.left(), below.left()) << card.column[i - 1] << " and " << card.column[i];
            }
        }
        for (const auto& [left, right] : card.beside) {
            const QRect l = RectIn(dialog, dialog.FieldWidget(QString::fromLatin1(left)));
            const QRect r = RectIn(dialog, dialog.FieldWidget(QString::fromLatin1(right)));
            EXPECT_LT(l.right(), r.left()) << left << " left of " << right;
            EXPECT_LT(r.top(), l.bottom()) << left << " and " << right << " on one line";
            EXPECT_LT(l.top(), r.bottom()) << left << " and " << right << " on one line";
        }
        dialog.Button(spec.buttons.back().name)->click();
    }
}

// Typing never resizes a card: a label given a longer text ("NO EXISTE LA MAQUINA") cuts it.
TEST(CardLayout, TypingKeepsTheCardsSize)
{
    test::TestContext t;
    t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
    BuildDataFileNames(t.ctx);
    for (const CardSpec& spec :
         {ProcedureCardSpec(t.ctx, ProcedureCardUse::Record),
          RoutineCardSpec(t.ctx, {}, {},
                          {RoutineCardUse::Kind::Copy, QStringLiteral("Prensa"), false, {}})}) {
        SCOPED_TRACE(Text(spec.name));
        CardState state;
        CardDialog dialog(spec, state, nullptr, [](const QString&) {});
        dialog.Start();
        QApplication::processEvents();
        const QSize opened = dialog.size();
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
            edit->setFocus();
            for (const QString& key : {QStringLiteral("R"), QStringLiteral("M")}) {
                QKeyEvent press(QEvent::KeyPress, key[0].unicode(), Qt::ShiftModifier, key);
                QApplication::sendEvent(edit, &press);
            }
            QApplication::processEvents();
            EXPECT_EQ(dialog.size(), opened) << Text(edit->objectName());
        }
        dialog.reject();
    }
}

// Opened through the desktop backend as the program opens it, a card keeps to the screen as well.
TEST(CardLayout, TheProcedureCardShownModallyFitsASmallScreen)
{
    test::TestContext t;
    const CardSpec spec = ProcedureCardSpec(t.ctx, ProcedureCardUse::Record);
    QtUi ui;
    CardState state;
    QTimer::singleShot(0, [] {
        auto* modal = qobject_cast<CardDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        EXPECT_EQ(Text(modal->objectName()), "TInstru");
        EXPECT_LE(modal->frameGeometry().width(), 1280);
        EXPECT_LE(modal->frameGeometry().height(), 800);
        modal->Button(QStringLiteral("BitBtn1"))->click();
    });
    EXPECT_EQ(ui.RunCard(spec, state), 2);
}

// The budget card's list pane shows its heading whole on one line, however long a machine's name.
TEST(CardLayout, TheBudgetListShowsItsHeadingOnOneLine)
{
    CardState state;
    state.set(QStringLiteral("Richcost"),
              QStringLiteral("\tCODIGO\tMAQUINA\tPV\tAV\tRP\tAL\tEX\n\tPRENSA01\tPrensa\t1200"));
    const CardSpec spec = BudgetCardSpec();
    CardDialog dialog(spec, state);
    dialog.Start();
    auto* memo = dialog.findChild<QPlainTextEdit*>();
    EXPECT_EQ(memo->document()->size().height(), 2); // one line a row, the heading unwrapped
}

} // namespace
} // namespace gim
