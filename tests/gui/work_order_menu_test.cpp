#include "app/features.h"
#include "app/main_window.h"
#include "app/report_window.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "platform/handover.h"
#include "platform/qt/calendar_dialog.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/qt_ui.h"
#include "records/machine_record.h"
#include "records/work_order_record.h"
#include "shortcut_keys.h"
#include "started_program.h"
#include "support/test_context.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
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

class WorkOrderMenu : public test::StartedProgram
{
};

// Ctrl+Shift+F6 asks for the date range and lists the orders pending labour.
TEST_F(WorkOrderMenu, CtrlShiftF6ListsThePendingOrders)
{
    StoreRecords(ctx, QStringLiteral("PORTAL.OTR"),
                 std::vector<TWorkOrderRecord>{Order(0, "P", "26/49/1", "Fuga de aceite"),
                                               Order(1, "T", "26/49/2", "Ruido"),
                                               Order(2, "P", "26/50/1", "Luz fundida")});
    bool picked = false;
    QTimer::singleShot(0, [&picked] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->ClickDay(QDate(2026, 11, 30), false);
        dialog->ClickDay(QDate(2026, 12, 7), true);
        dialog->findChild<QPushButton*>(QStringLiteral("OK"))->click();
        picked = true;
    });
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+Shift+F6")));
    EXPECT_TRUE(picked);

    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    const QString text = listing->Document().Text();
    EXPECT_EQ(listing->Document().caption, QStringLiteral("ORDENES DE TRABAJO"));
    EXPECT_TRUE(text.contains(QStringLiteral("\t0\t\tP\t30/11/26\t 8:00\t")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t2\t\tP\t07/12/26\t 8:00\t")));
    EXPECT_FALSE(text.contains(QStringLiteral("Ruido")));
}

// The card in the Qt dialog: a new order saved from the menu lands in the file as order 0.
TEST_F(WorkOrderMenu, NewOrderThroughTheDialog)
{
    TMachineRecord machine{};
    machine.Codigo = "M1";
    machine.Denominacion = "Prensa";
    machine.Cuenta = "CTA";
    StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector<TMachineRecord>{machine});
    QAction* item = window->Action(QStringLiteral("OT/Prspuestos > Altas > OrdenT"));
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    QString title;
    QTimer::singleShot(0, [&title] {
        auto* dialog = qobject_cast<CardDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* seccion = dialog->findChild<QComboBox*>(QStringLiteral("Seccion"));
        auto* description = dialog->findChild<QLineEdit*>(QStringLiteral("Descripcion"));
        ASSERT_TRUE(seccion && description);
        seccion->setFocus();
        seccion->setEditText(QStringLiteral("M1"));
        description->setFocus();
        description->setText(QStringLiteral("Fuga"));
        dialog->Button(QStringLiteral("Salvar"))->click();
    });
    item->trigger();
    EXPECT_EQ(title, QStringLiteral("FICHA DE ORDENES DE TRABAJO"));
    const std::vector<TWorkOrderRecord> orders =
        LoadRecords<TWorkOrderRecord>(ctx, QStringLiteral("PORTAL.OTR"), false);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].Number.get(), 0);
    EXPECT_EQ(orders[0].Machine.str(), QStringLiteral("M1"));
    EXPECT_EQ(orders[0].Description.str(), QStringLiteral("Fuga"));
    EXPECT_EQ(orders[0].State.str(), QStringLiteral("P"));
}

} // namespace
} // namespace gim
