#include "app/features.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "platform/handover.h"
#include "platform/qt/calendar_dialog.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/main_window.h"
#include "platform/qt/qt_ui.h"
#include "platform/qt/report_window.h"
#include "records/machine_record.h"
#include "records/work_order_record.h"
#include "shortcut_keys.h"
#include "support/test_context.h"

#include <QApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace gim {
namespace {

TWorkOrderRecord Order(int number, const char* state, const char* notice, const char* description)
{
    TWorkOrderRecord r{};
    r.Number = number;
    r.Description = description;
    r.Requester = "Taller";
    r.NoticeDate = notice;
    r.NoticeHour = " 8:00";
    r.Machine = "M1";
    r.State = state;
    r.Type = "P";
    return r;
}

// The started program: Ctrl+Shift+F6 asks for the date range and lists the orders pending labour.
TEST(WorkOrderMenu, CtrlShiftF6ListsThePendingOrders)
{
    QtPictureCodec codec;
    QtUi ui;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 5, 0))};
    test::RecordingShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    ctx.st.BaseDir = dir.path();
    ctx.st.WorkDir = dir.path();
    ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
    BuildDataFileNames(ctx);
    InitCurrentDate(ctx);
    OperationRegistry& operations = ctx.Module<OperationRegistry>();
    Dispatcher dispatcher{ctx, operations};
    RegisterFeatures(operations, ctx, codec);
    StoreRecords(ctx, QStringLiteral("PORTAL.OTR"),
                 std::vector<TWorkOrderRecord>{Order(0, "P", "26/49/1", "Fuga de aceite"),
                                               Order(1, "T", "26/49/2", "Ruido"),
                                               Order(2, "P", "26/50/1", "Luz fundida")});
    TGim window(ctx, operations, dispatcher);
    ui.SetParentWindow(&window);
    HandoverRegistry& handover = ctx.Module<HandoverRegistry>();
    ui.SetReportTarget([&](std::shared_ptr<ReportDocument> doc) {
        ShowReportWindow(window.MdiArea(), std::move(doc), ctx, handover);
    });
    window.resize(1200, 800);
    window.show();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();

    bool picked = false;
    QTimer::singleShot(0, [&picked] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->ClickDay(QDate(2026, 11, 30), false);
        dialog->ClickDay(QDate(2026, 12, 7), true);
        dialog->findChild<QPushButton*>(QStringLiteral("OK"))->click();
        picked = true;
    });
    test::PressShortcut(window.MdiArea(), QKeySequence(QStringLiteral("Ctrl+Shift+F6")));
    EXPECT_TRUE(picked);

    TEditorRTF* listing = ReportWindows::Of(window.MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    const QString text = listing->Document().Text();
    EXPECT_EQ(listing->Document().caption, QStringLiteral("ORDENES DE TRABAJO"));
    EXPECT_TRUE(text.contains(QStringLiteral("\t0\t\tP\t30/11/26\t 8:00\t")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t2\t\tP\t07/12/26\t 8:00\t")));
    EXPECT_FALSE(text.contains(QStringLiteral("Ruido")));
}

} // namespace
} // namespace gim
