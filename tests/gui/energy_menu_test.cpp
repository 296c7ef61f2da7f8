#include "platform/qt/calendar_dialog.h"
#include "preventive/energy_fixture.h"
#include "started_program.h"

#include <QPushButton>

namespace gim {
namespace {

using EnergyMenu = test::StartedProgram;

// F8 asks for the week and lists each reading against the next one of its meter.
TEST_F(EnergyMenu, F8ListsTheReadingsOfTheWeek)
{
    StorePlannedMachine(30);
    StoreRecords(
        ctx, QStringLiteral("PORTAL.ENW"),
        std::vector{test::Reading("AGUA", "26/10/1", 1000, 2), test::Reading("AGUA", "26/11/1", 1350, 2)});
    // The picker opens once the readings are loaded (their progress window first).
    bool picked = false;
    QTimer picking;
    QObject::connect(&picking, &QTimer::timeout, [&picked] {
        auto* dialog = qobject_cast<CalendarDialog*>(QApplication::activeModalWidget());
        if (!dialog || picked)
            return;
        picked = true;
        dialog->ClickDay(QDate(2026, 3, 2), false);
        dialog->ClickDay(QDate(2026, 3, 8), true);
        dialog->findChild<QPushButton*>(QStringLiteral("OK"))->click();
    });
    picking.start(10);
    test::PressShortcut(window->MdiArea(), QKeySequence(QStringLiteral("F8")));
    picking.stop();
    EXPECT_TRUE(picked);

    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    const QStringList lines = listing->Document().Text().split(QLatin1Char('\n'));
    EXPECT_EQ(lines.mid(1),
              (QStringList{"\t01-001\tAGUA\tPrensa\t09/03/26\t1350\t02/03/26\t1000\t350\t2\t175,00\t25,00",
                           "\tSE HAN EFECTUADO 1  LECTURAS"}));
}

} // namespace
} // namespace gim
