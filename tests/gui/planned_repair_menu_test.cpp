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
#include "platform/qt/card_dialog.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/qt_ui.h"
#include "records/machine_record.h"
#include "records/planned_repair_record.h"
#include "shortcut_keys.h"
#include "started_program.h"
#include "support/test_context.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace gim {
namespace {

class PlannedRepairMenu : public test::StartedProgram
{
protected:
    PlannedRepairMenu() : StartedProgram({.firstYear = 24, .lastYear = 27, .planWeeks = 3 * 52})
    {
        TMachineRecord machine{};
        machine.Codigo = "M1";
        machine.Denominacion = "Prensa";
        machine.Cuenta = "CTA";
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), std::vector<TMachineRecord>{machine});
    }
};

// Ctrl+F6: the notice card; saved, the notice is announced and the next card is left.
TEST_F(PlannedRepairMenu, CtrlF6OpensTheNoticeCard)
{
    QStringList seen;
    QPointer<QWidget> last;
    int cards = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last)
            return;
        last = modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            box->accept();
        } else if (auto* card = qobject_cast<CardDialog*>(modal)) {
            seen << card->windowTitle();
            if (cards++ < 2) {
                auto* code = qobject_cast<QComboBox*>(card->FieldWidget(QStringLiteral("Codigo")));
                ASSERT_NE(code, nullptr);
                code->setFocus();
                code->setEditText(cards == 1 ? QStringLiteral("NOHAY") : QStringLiteral("M1"));
                QTimer::singleShot(0, card->Button(QStringLiteral("Salvar")), &QPushButton::click);
            } else {
                card->Button(QStringLiteral("Salir"))->click();
            }
        } else {
            seen << modal->windowTitle();
            modal->close();
        }
    });
    poll.start(10);
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("Ctrl+F6")));
    poll.stop();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("AVISO REPARACION DE MÁQUINA :"),
                                 QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"),
                                 QStringLiteral("Reparaciones PlanificadasNO EXISTE LA MAQUINA  "),
                                 QStringLiteral("ALTA de REPARACION EN  M1"),
                                 QStringLiteral("AVISO REPARACION DE MÁQUINA :Prensa")}));
    const std::vector<TPlannedRepairRecord> stored =
        LoadRecords<TPlannedRepairRecord>(ctx, QStringLiteral("PORTAL.SEM"), false);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Code.str(), QStringLiteral("M1"));
    EXPECT_EQ(stored[0].Specialty.str(), QStringLiteral("A"));
    EXPECT_EQ(stored[0].Week.get(), 156);
    EXPECT_EQ(stored[0].Executor.str(), QStringLiteral("07/12/2026"));
}

// F6 lists the pending notices without asking.
TEST_F(PlannedRepairMenu, F6ListsTheNotices)
{
    TPlannedRepairRecord notice{};
    notice.Code = "M1";
    notice.Week = 156;
    notice.Specialty = "A";
    notice.Description = "Fuga";
    notice.State = "P";
    notice.Executor = "07/12/2026";
    TPlannedRepairRecord repair = notice;
    repair.Specialty = "M";
    repair.Description = "Rodamiento";
    StoreRecords(ctx, QStringLiteral("PORTAL.SEM"), std::vector<TPlannedRepairRecord>{notice, repair});
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("F6")));
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    const QString text = listing->Document().Text();
    EXPECT_EQ(listing->Document().caption, QStringLiteral("REPARACIONES"));
    EXPECT_TRUE(text.contains(QStringLiteral("\tM1\tPrensa\t0\tP\tA\t\t0\t2027\t07/12/2026\tFuga\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("Rodamiento")));
}

} // namespace
} // namespace gim
