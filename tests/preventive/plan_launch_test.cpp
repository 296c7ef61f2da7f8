#include "core/environment.h"
#include "preventive/plan_launch.h"
#include "preventive/plan_time.h"
#include "preventive_fixture.h"

namespace gim {
namespace {

struct WindowCase
{
    int analysisWeek;
    int margin;
    int planWeeks;
    WeekWindow window;
};

TEST(AnalysisWeekWindowTest, TheWindowStaysInsideTheHorizon)
{
    const WindowCase cases[] = {
        {1, 3, 260, {0, 4}},
        {258, 3, 260, {255, 260}},
        {0, 3, 260, {0, 3}},
        {3, 3, 260, {0, 6}}, // first week 0 is below 1: still week 0
        {4, 3, 260, {1, 7}},
        {100, 0, 260, {100, 100}},
        {262, 3, 260, {259, 260}},
        // The last year of the plan: the analysis week lies past the horizon and so does its window.
        {264, 3, 260, {0, -1}},
        {300, 2, 104, {0, -1}},
        {10, -1, 260, {0, -1}},
    };
    for (const WindowCase& c : cases) {
        const WeekWindow window = AnalysisWeekWindow(c.analysisWeek, c.margin, c.planWeeks);
        EXPECT_EQ(window.first, c.window.first) << c.analysisWeek << " " << c.margin;
        EXPECT_EQ(window.last, c.window.last) << c.analysisWeek << " " << c.margin;
    }
}

class PlanLaunchTest : public test::PreventiveTest
{
};

// Horizon 2025 to 2027: the plan years are 2025 and 2026.
TEST_F(PlanLaunchTest, TheAnalysisYearIsHeldInsideTheHorizon)
{
    State& st = t.ctx.st;
    SetAnalysisYear(t.ctx, 26);
    EXPECT_EQ(st.WorkYear, 26);
    SetAnalysisYear(t.ctx, 25);
    EXPECT_EQ(st.WorkYear, 25);
    EXPECT_SCRIPT_DONE(t.ui);

    // Raised silently: a year before the plan would give a negative week.
    for (const int year : {24, 0, -1, -2000}) {
        st.WorkYear = 99;
        SetAnalysisYear(t.ctx, year);
        EXPECT_EQ(st.WorkYear, 25) << year;
    }
    EXPECT_SCRIPT_DONE(t.ui);

    for (const int year : {27, 28, 99, 65535}) {
        t.ui.ExpectMessage(QStringLiteral("PLANING FINALIZADO. CREAR NUEVO ENTORNO"));
        SetAnalysisYear(t.ctx, year);
        EXPECT_EQ(st.WorkYear, 27) << year;
        EXPECT_SCRIPT_DONE(t.ui);
    }
}

// A route printed once makes the weekly routines due for the rest of the run: week 11 and 13 of a machine
// started in week 10 show "1S" where they showed nothing. Loading the environment again, as the next
// route launch does, puts the environment's own rule back.
TEST_F(PlanLaunchTest, APrintedRouteMakesWeeklyRoutinesDueUntilTheEnvironmentIsLoadedAgain)
{
    StoreSelector(2);
    LoadEnvironment(t.ctx);
    const State& st = t.ctx.st;
    auto weeks = [&] {
        QStringList out;
        for (int week = 10; week <= 15; ++week)
            out << PlanFrequencyDue(st, 10, week);
        return out;
    };
    const QStringList before{"S4", "--", "2S", "--", "M", "--"};
    ASSERT_EQ(weeks(), before);

    t.ui.ExpectPrintDialog(false);
    EXPECT_FALSE(
        StartRoutePrinting(t.ctx, QStringLiteral("11"), QStringLiteral("2026"), QStringLiteral("MC")));
    EXPECT_EQ(st.Plan1SFlag, 0);
    EXPECT_EQ(weeks(), before);
    EXPECT_TRUE(t.ui.Printed().Pages().empty());

    t.ui.ExpectPrintDialog();
    ASSERT_TRUE(
        StartRoutePrinting(t.ctx, QStringLiteral("11"), QStringLiteral("2026"), QStringLiteral("MC")));
    t.ui.TextPrinter().End();
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(st.Plan1SFlag, 1);
    EXPECT_EQ(weeks(), (QStringList{"S4", "1S", "2S", "1S", "M", "1S"}));
    EXPECT_EQ(t.ui.Printed().Pages(),
              (std::vector<QStringList>{{
                  "----------                  RUTA DE MANTENIMIENTO",
                  "                            *********************          FECHA : 07/12/2026",
                  "",
                  "SEMANA: 11 / 2026         ESPECIALIDAD: MC",
                  "",
                  "CODIGO        DENOMINACION                *  FRC - ESTADO /  DESCRIPCION",
                  "--------------------------------------------------------------------------------",
              }}));

    LoadEnvironment(t.ctx);
    EXPECT_EQ(st.Plan1SFlag, 0);
    EXPECT_EQ(weeks(), before);
}

TEST_F(PlanLaunchTest, TheRouteHeaderSaysHowManyLinesItPrinted)
{
    t.ui.ExpectPrintDialog();
    ASSERT_TRUE(t.ui.TextPrinter().Begin());
    EXPECT_EQ(PrintRouteHeader(t.ctx, QStringLiteral("3"), QStringLiteral("2025"), QStringLiteral("$EL")), 7);
    t.ui.TextPrinter().End();
    ASSERT_EQ(t.ui.Printed().Pages().size(), 1U);
    EXPECT_EQ(t.ui.Printed().Pages()[0].size(), 7);
    EXPECT_EQ(t.ui.Printed().Pages()[0][3], QStringLiteral("SEMANA: 3 / 2025         ESPECIALIDAD: $EL"));
}

} // namespace
} // namespace gim
