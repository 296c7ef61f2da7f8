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

class PlanLaunchMenu : public test::StartedProgram
{
protected:
    PlanLaunchMenu()
        : StartedProgram(
              {.firm = QStringLiteral("FABRICA"), .firstYear = 25, .lastYear = 27, .planWeeks = 104})
    {
    }
};

// Ctrl+Alt+P asks the week, the year, the output and the margin, and opens the weekly plan of the
// environment.
TEST_F(PlanLaunchMenu, CtrlAltPOpensTheWeeklyPlan)
{
    StorePlannedMachine(125);

    const QStringList prompts =
        PressAnswering(QStringLiteral("Ctrl+Alt+P"), QStringList{QStringLiteral("4"), QStringLiteral("2025"),
                                                                 QStringLiteral("P"), QStringLiteral("1")});

    EXPECT_EQ(prompts, (QStringList{"LANZAMIENTO DE PLANING|SEMANA DE ANALISIS (0 a 52)",
                                    "AñO DE ANALISIS|2025 a 2027",
                                    "PLAN MANTENIMIENTO|PLAN (P) / GAMAS (G) / IMPRESIÓN (I)",
                                    "PLAN MANTENIMIENTO|Nº Semanas de Margen"}));
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->Document().caption, QStringLiteral("PLANING DE PORTAL"));
    const QString text = listing->Document().Text();
    EXPECT_TRUE(text.contains(QStringLiteral("\t01-001\tPrensa\t--\tM\t--\t\t125"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\t\tTIEMPO TOTAL PLANIFICADO EN LA SEMANA 4/2025  : 2 h 5 m")));
}

} // namespace
} // namespace gim
