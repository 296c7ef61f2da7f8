#include "app/report_window.h"
#include "platform/qt/calendar_dialog.h"
#include "platform/qt/card_dialog.h"
#include "shortcut_keys.h"
#include "started_program.h"
#include "workreports/work_report_file.h"

#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>

namespace gim {
namespace {

class WorkReportListingMenu : public test::StartedProgram
{
};

// F11 searches the lines with the card and a date range; Ctrl+Alt+P on a row hands its line over to the
// edit of daily reports: a repair as it is stored, a store exit with its unit cost and part.
TEST_F(WorkReportListingMenu, F11ListsTheLinesAndCtrlAltPHandsARowOver)
{
    TMachineRecord machine{};
    machine.Codigo = "M1";
    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector{machine});
    std::vector<TWorkReportRecord> lines(2);
    for (TWorkReportRecord& r : lines) {
        r.Matricula = "000001";
        r.Codigo = "M1";
        r.TIPOH = "C";
        r.Descripcion = "Cambio rodamiento";
    }
    lines[0].Tipo = "AL", lines[0].dia = "26/49/3", lines[0].Tinter = 1250, lines[0].Tparo = 3;
    lines[0].SparePart = "M1      MEROD007";
    lines[1].Tipo = "RM", lines[1].dia = "26/49/2", lines[1].Tinter = 90, lines[1].Tparo = 30;
    lines[1].Orden = "7";
    StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), lines);

    QStringList seen;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* card = qobject_cast<CardDialog*>(modal)) {
            seen << card->windowTitle();
            card->Button(QStringLiteral("SalvaPartes"))->click();
        } else if (auto* calendar = qobject_cast<CalendarDialog*>(modal)) {
            calendar->ClickDay(QDate(2026, 11, 30), false);
            calendar->ClickDay(QDate(2026, 12, 6), true);
            calendar->findChild<QPushButton*>(QStringLiteral("OK"))->click();
            seen << QStringLiteral("calendar");
        }
    });
    answering.start(10);
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("F11")));
    answering.stop();
    EXPECT_EQ(seen.join(QLatin1Char('|')), QStringLiteral("LISTADO SELECTIVO PARTES DE TRABAJO|calendar"));
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    for (int i = 0; i < 2; ++i) {
        QTextCursor row(listing->Texto()->document()->findBlockByNumber(3 + i));
        row.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        listing->Texto()->setTextCursor(row);
        test::PressShortcut(listing->Texto(), QKeySequence(QStringLiteral("Ctrl+Alt+P")));
        EXPECT_EQ(ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Partes)], 1);
        const TWorkReportRecord& input = WorkReports(ctx).WorkReportInput;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&input), sizeof input),
                  std::string(reinterpret_cast<const char*>(&lines[i]), sizeof input));
    }
}

} // namespace
} // namespace gim
