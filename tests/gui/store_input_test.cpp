#include "platform/qt/card_dialog.h"
#include "started_program.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace gim::test {

// Ctrl+F9: a unit value of 99999999999 is refused on the part card, which stays open on it; nothing is
// stored.
TEST_F(StartedProgram, APartValueBeyondItsFieldKeepsTheCardOpenAndStoresNothing)
{
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        auto* card = qobject_cast<CardDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(card, nullptr);
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            seen << (box ? box->text() : QStringLiteral("no message"));
            QApplication::activeModalWidget()->close();
        });
        QApplication::setActiveWindow(card);
        card->FieldWidget(QStringLiteral("Nombre"))->setFocus();
        card->FieldWidget(QStringLiteral("Valor"))->setFocus();
        qobject_cast<QLineEdit*>(card->FieldWidget(QStringLiteral("Valor")))
            ->setText(QStringLiteral("99999999999"));
        card->Button(QStringLiteral("Salvar"))->click();
        seen << card->FocusedField();
        card->Button(QStringLiteral("Salir"))->click();
    });
    PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F9")));
    EXPECT_EQ(seen, (QStringList{"VALOR NO VÁLIDO EN VALOR UNITARIO (€): UN IMPORTE DE 0,00 A 21474836,47",
                                 "Valor"}));
    EXPECT_FALSE(QFile::exists(ctx.Path(QStringLiteral("PORTAL.RPW"))));
}

} // namespace gim::test
