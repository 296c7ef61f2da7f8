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
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/qt_ui.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/plan_records.h"
#include "shortcut_keys.h"
#include "started_program.h"
#include "support/test_context.h"

#include <QApplication>
#include <QInputDialog>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace gim {
namespace {

class PlanControlMenu : public test::StartedProgram
{
protected:
    PlanControlMenu()
        : StartedProgram(
              {.firm = QStringLiteral("FABRICA"), .firstYear = 25, .lastYear = 27, .planWeeks = 104})
    {
    }
};

// F4 asks for the weeks and the year and lists the plan against the history (a year before it: its first).
TEST_F(PlanControlMenu, F4ListsThePlanControl)
{
    StorePlannedMachine(60);

    const QStringList prompts = PressAnswering(
        QStringLiteral("F4"), QStringList{QStringLiteral("4"), QStringLiteral("4"), QStringLiteral("1999")});

    EXPECT_EQ(prompts, (QStringList{"CONTROL PLANING|INTRODUZCA SEMANA INICIAL (0 a 52)",
                                    "CONTROL PLANING|INTRODUZCA SEMANA FINAL (0 a 52)",
                                    "CONTROL PLANING|AÑO 2025 a 2027"}));
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->Document().caption, QStringLiteral("HISTORIAL"));
    const QString text = listing->Document().Text();
    EXPECT_TRUE(text.contains(QStringLiteral("1\t01-001\tPrensa\tM\tP\t4\t2025\t0\t60\t60\t..\t..")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t\tGAMAS PROGRAMADAS (GP) :\t1")));
}

} // namespace
} // namespace gim
