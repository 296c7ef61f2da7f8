#include "platform/qt/card_dialog.h"
#include "records/spare_part_record.h"
#include "started_program.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

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

// F9: the filter window searches every part; the query's row hands over its minimum stock and units.
TEST_F(StartedProgram, F9QueriesTheStoreAndItsRowHandsThePartOver)
{
    TSparePartRecord part{};
    part.Codigo = "M1";
    part.Equipo = "ME";
    part.Util = "ROD";
    part.Pieza = "001";
    part.Nombre = "Reten";
    part.Marca = "SKF";
    part.Stock = 3;
    part.Exist = 4;
    part.Valor = 250;
    part.Local = "A1";
    StoreRecords(ctx, QStringLiteral("PORTAL.RPW"), std::vector{part});
    bool searched = false;
    QTimer searching;
    QObject::connect(&searching, &QTimer::timeout, [&searched] {
        auto* card = qobject_cast<CardDialog*>(QApplication::activeModalWidget());
        if (!card || searched)
            return;
        searched = true;
        card->Button(QStringLiteral("Buscar"))->click();
    });
    searching.start(10);
    PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("F9")));
    searching.stop();
    EXPECT_TRUE(searched);
    ReportWindows& windows = ReportWindows::Of(window->MdiArea(), ctx, handover);
    TEditorRTF* listing = windows.Newest();
    ASSERT_NE(listing, nullptr);
    const QStringList lines = listing->Document().Text().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[2], "\tM1MEROD001\tReten\tSKF\t3\t4\tA1\t2,50");
    EXPECT_EQ(lines.last(), "\tVALORACION TOTAL DEL INVENTARIO.... : 10,00 €");

    QTextCursor row(listing->Texto()->document()->findBlockByNumber(2));
    row.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    listing->Texto()->setTextCursor(row);
    ASSERT_TRUE(windows.HandOverFromNewest(EditItem::RAlmacen));
    const HandoverFields& fields = handover.Buffer(EditItem::RAlmacen);
    EXPECT_EQ(fields.at(QStringLiteral("Pieza")), "001");
    EXPECT_EQ(fields.at(QStringLiteral("Stock")), "3");
    EXPECT_EQ(fields.at(QStringLiteral("Exist")), "4");
    EXPECT_EQ(fields.at(QStringLiteral("Local")), "A1");
}

} // namespace gim::test
