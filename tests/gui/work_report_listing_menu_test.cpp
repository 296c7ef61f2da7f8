#include "app/report_window.h"
#include "platform/qt/calendar_dialog.h"
#include "platform/qt/card_dialog.h"
#include "shortcut_keys.h"
#include "started_program.h"
#include "workreports/work_report_file.h"

#include <QComboBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

namespace gim {
namespace {

using WorkReportListingMenu = test::StartedProgram;

// F11 with the card and today's range; Ctrl+Alt+P hands a store exit's row over as the line it lists.
TEST_F(WorkReportListingMenu, F11ListsTheLinesAndCtrlAltPHandsARowOver)
{
    TWorkReportRecord line{};
    line.Matricula = "000001", line.Codigo = "M1", line.TIPOH = "C", line.Tipo = "AL", line.dia = "26/50/1";
    line.Descripcion = "Rodamiento", line.SparePart = "M1      MEROD007", line.Tinter = 1250, line.Tparo = 3;
    StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), std::vector{line});
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* card = qobject_cast<CardDialog*>(modal)) {
            card->Button(QStringLiteral("SalvaPartes"))->click();
        } else if (auto* calendar = qobject_cast<CalendarDialog*>(modal)) {
            calendar->findChild<QPushButton*>(QStringLiteral("OK"))->click();
        }
    });
    answering.start(10);
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("F11")));
    answering.stop();
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    QTextCursor row(listing->Texto()->document()->findBlockByNumber(3));
    row.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    listing->Texto()->setTextCursor(row);
    EXPECT_EQ(row.selectedText().toStdString(),
              "\t000001\tM1\t07/12/26\tC\tAL\t12,50\t3\tM1      MEROD007\tRodamiento");
    test::PressShortcut(listing->Texto(), QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    EXPECT_EQ(ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Partes)], 1);
    const TWorkReportRecord& input = WorkReports(ctx).WorkReportInput;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&input), sizeof input),
              std::string(reinterpret_cast<const char*>(&line), sizeof line));
}

// The row handed over runs Partes > Edición at the next key: the edit card opens on the stored line.
TEST_F(WorkReportListingMenu, AHandedOverRowOpensInTheEditCard)
{
    TWorkReportRecord line{};
    line.Matricula = "000001", line.Codigo = "M1", line.TIPOH = "C", line.Tipo = "AL", line.dia = "26/50/1";
    line.Descripcion = "Rodamiento", line.SparePart = "M1      MEROD007", line.Tinter = 1250, line.Tparo = 3;
    StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), std::vector{line});
    handover.HandOver(
        ctx.st.PendingEditFlags, EditItem::Partes,
        QStringLiteral("\t000001\tM1\t07/12/26\tC\tAL\t12,50\t3\tM1      MEROD007\tRodamiento"));
    QString shown;
    QTimer editing;
    QObject::connect(&editing, &QTimer::timeout, [&] {
        if (auto* card = qobject_cast<CardDialog*>(QApplication::activeModalWidget())) {
            auto* machine = qobject_cast<QComboBox*>(card->FieldWidget(QStringLiteral("Codigo")));
            shown = card->windowTitle() + QLatin1Char('|') + (machine ? machine->currentText() : QString());
            card->Button(QStringLiteral("BitBtn1"))->click();
        }
    });
    editing.start(10);
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Shift")));
    editing.stop();
    EXPECT_EQ(shown.toStdString(), "EDICION DE PARTES DE TRABAJO|M1");
}

} // namespace
} // namespace gim
