#include "started_program.h"

namespace gim {
namespace {

class MachineCostMenu : public test::StartedProgram
{
protected:
    MachineCostMenu() : StartedProgram({.firstYear = 24, .lastYear = 27, .planWeeks = 208}) {}
};

// The annual item asks its four questions and opens the report window of the environment's costs.
TEST_F(MachineCostMenu, TheAnnualAnalysisOpensTheEnvironmentsCostWindow)
{
    StorePlannedMachine(30);
    QStringList answers{"A", "2026", "H", "A"};
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (input && !answers.isEmpty()) {
            input->setTextValue(answers.takeFirst());
            input->accept();
        }
    });
    answering.start(10);
    window->Action(QString::fromUtf8("Costes > Análisis > Partes > Anual"))->trigger();
    answering.stop();
    EXPECT_TRUE(answers.isEmpty());
    TEditorRTF* listing = ReportWindows::Of(window->MdiArea(), ctx, handover).Newest();
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->Document().caption, "COSTES DE MANTENIMIENTO DE PORTAL");
}

} // namespace
} // namespace gim
