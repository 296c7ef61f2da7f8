#include "core/environment.h"
#include "preventive/plan_launch.h"
#include "preventive/plan_time.h"
#include "preventive_fixture.h"
#include "records/planned_repair_record.h"

#include <tuple>

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
    EXPECT_EQ(0,
              StartRoutePrinting(t.ctx, QStringLiteral("11"), QStringLiteral("2026"), QStringLiteral("MC")));
    EXPECT_EQ(st.Plan1SFlag, 0);
    EXPECT_EQ(weeks(), before);
    EXPECT_TRUE(t.ui.Printed().Pages().empty());

    t.ui.ExpectPrintDialog();
    ASSERT_EQ(7,
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

class WeeklyPlanTest : public test::PreventiveTest
{
protected:
    WeeklyPlanTest()
    {
        StoreSelector(2);
        LoadEnvironment(t.ctx);
        SetHorizon(25, 27);
        StoreAgenda(Agenda(104));
    }
    void ExpectPlanPrompts(const char* week, const char* year, const char* answer,
                           const char* message = nullptr)
    {
        t.ui.ExpectInput(QStringLiteral("LANZAMIENTO DE PLANING"),
                         QStringLiteral("SEMANA DE ANALISIS (0 a 52)"), QString::fromLatin1(week));
        t.ui.ExpectInput(QStringLiteral("AñO DE ANALISIS"), QStringLiteral("2025 a 2027"),
                         QString::fromLatin1(year));
        if (message)
            t.ui.ExpectMessage(QString::fromUtf8(message));
        t.ui.ExpectInput(QStringLiteral("PLAN MANTENIMIENTO"),
                         QStringLiteral("PLAN (P) / GAMAS (G) / IMPRESIÓN (I)"), QString::fromLatin1(answer));
    }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
};

// PRENSA (from week 10) has its monthly routine in the analysis week 14: 20 + 45 + 60 minutes. TORNO has
// only a routine of its start week, so the codes the due rule names for it in other weeks show "--".
// FRESA is out of service and GRUA no longer in the machine file: no codes, nothing to the total.
TEST_F(WeeklyPlanTest, TheWeeklyPlanListsTheDueCodesAndTheWeeksPlannedTime)
{
    StoreMachines({Machine("FRESA", "Fresa", "CTA", "-", "-", "-", "NO"), Machine("PRENSA", "Prensa chica"),
                   Machine("TORNO", "Torno paralelo de bancada larga con copiador")});
    StoreOperations({Op("FRESA", "M", 50), Op("PRENSA", "2S", 20, "LIMPIAR"),
                     Op("PRENSA", "M", 45, "CAMBIAR FILTRO"), Op("PRENSA", "M", 60, "ENGRASAR"),
                     Op("TORNO", "S4", 30, "DESMONTAR")});
    StorePlan({Planned("PRENSA", 10), Planned("FRESA", 10), Planned("TORNO", 12), Planned("GRUA", 10)});
    ExpectPlanPrompts("14", "2025", "P");
    t.ui.ExpectInput(QStringLiteral("PLAN MANTENIMIENTO"), QStringLiteral("Nº Semanas de Margen"),
                     QStringLiteral("3"));
    t.ui.ExpectReport(QStringLiteral("PLANING DE PORTAL"));
    ASSERT_TRUE(RunMenu("Pláning > Lanzar > Plan Semanal"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(),
              QStringLiteral("[PLANING DE PORTAL]\n"
                             "TABS: 5 65 290 320 350 380 410 440 470 500\n"
                             "{13 b}\tFABRICA          PLANIFICACIÓN DE MANTENIMIENTO   PORTAL\n"
                             " \n"
                             "\t\t         AÑO :2025\t\t\tSEMANAS\n"
                             "{11}\n"
                             "{11 u}\tCODIGO\tMAQUINA\t11\t12\t13\t14\t15\t16\t17\tT.Prev./ 14\n"
                             "{11}\n"
                             "{11 b}\tPRENSA\tPrensa chica\t--\t2S\t--\tM\t--\t2S\t--\t\t125\n"
                             "{11}\tFRESA\tFresa\tMÁQUINA NO OPERATIVA\n"
                             "\tTORNO\tTorno paralelo de bancada larg\t--\tS4\t--\t--\t--\t--\t--\n"
                             "\tGRUA\tNO EXISTE LA MAQUINA\tMÁQUINA NO OPERATIVA\n"
                             "\n"
                             "{11 b}\t\tTIEMPO TOTAL PLANIFICADO EN LA SEMANA 14/2025  : 2 h 5 m\n"));
    EXPECT_EQ(t.ctx.st.WorkWeek, 14);
    EXPECT_EQ(t.ctx.st.WorkYear, 25);
}

// The last year of the horizon: the analysis week lies past the plan, the window holds no week and the
// listing is still whole. Week 1 with margin 3 starts the window at week 0.
TEST_F(WeeklyPlanTest, TheWindowStaysInsideThePlanAtBothEnds)
{
    StoreMachines({Machine("PRENSA", "Prensa chica")});
    StoreOperations({Op("PRENSA", "M", 45)});
    StorePlan({Planned("PRENSA", 1)});
    ExpectPlanPrompts("1", "2025", "P");
    t.ui.ExpectInput(QStringLiteral("PLAN MANTENIMIENTO"), QStringLiteral("Nº Semanas de Margen"),
                     QStringLiteral("3"));
    t.ui.ExpectReport();
    LaunchWeeklyPlan(t.ctx);
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\tCODIGO\tMAQUINA\t0\t1\t2\t3\t4\tT.Prev./ 1\n")));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\tPRENSA\tPrensa chica\t--\tS4\t--\t--\t--\t\t45\n")));

    ExpectPlanPrompts("10", "2031", "P", "PLANING FINALIZADO. CREAR NUEVO ENTORNO");
    t.ui.ExpectInput(QStringLiteral("PLAN MANTENIMIENTO"), QStringLiteral("Nº Semanas de Margen"),
                     QStringLiteral("3"));
    t.ui.ExpectReport();
    LaunchWeeklyPlan(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t\t         AÑO :2027\t\t\tSEMANAS\n")));
    EXPECT_TRUE(Transcript().contains(
        QStringLiteral("\tCODIGO\tMAQUINA\tT.Prev./ 10\n{11}\n\tPRENSA\tPrensa chica\n")));
    EXPECT_TRUE(Transcript().endsWith(
        QStringLiteral("\t\tTIEMPO TOTAL PLANIFICADO EN LA SEMANA 10/2027  : 0 h 0 m\n")));
}

// A week past 52 lists week 52; a negative week, which would wrap round in 16 bits, lists week 0. Printing
// cancelled at the print dialog lists nothing.
TEST_F(WeeklyPlanTest, TheAnalysisWeekIsHeldInsideTheYearAndACancelledPrintListsNothing)
{
    StoreMachines({Machine("PRENSA", "Prensa chica")});
    StoreOperations({Op("PRENSA", "M", 45)});
    StorePlan({Planned("PRENSA", 0)});
    for (const auto& [typed, week, header] :
         {std::tuple{"60", 52, "\tCODIGO\tMAQUINA\t51\t0\t1\tT.Prev./ 0\n"},
          std::tuple{"-3", 0, "\tCODIGO\tMAQUINA\t0\t1\tT.Prev./ 0\n"}}) {
        ExpectPlanPrompts(typed, "2025", "P");
        t.ui.ExpectInput(QStringLiteral("PLAN MANTENIMIENTO"), QStringLiteral("Nº Semanas de Margen"),
                         QStringLiteral("1"));
        t.ui.ExpectReport();
        LaunchWeeklyPlan(t.ctx);
        EXPECT_EQ(t.ctx.st.WorkWeek, week) << typed;
        EXPECT_TRUE(Transcript().contains(QString::fromUtf8(header))) << typed;
    }

    ExpectPlanPrompts("14", "2025", "I");
    t.ui.ExpectPrintDialog(false);
    LaunchWeeklyPlan(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().size(), 2U);
    EXPECT_TRUE(t.ui.Printed().Pages().empty());
}

// After a printed route the weekly routines are due for the rest of the run: the odd weeks of a machine
// started in week 10 show "1S" where they showed "--".
TEST_F(WeeklyPlanTest, APrintedRouteBringsTheWeeklyRoutinesIntoTheWeeklyPlan)
{
    StoreMachines({Machine("PRENSA", "Prensa chica")});
    StoreOperations({Op("PRENSA", "1S", 10, "ENGRASAR")});
    StorePlan({Planned("PRENSA", 10)});
    auto planLine = [&] {
        ExpectPlanPrompts("14", "2025", "P");
        t.ui.ExpectInput(QStringLiteral("PLAN MANTENIMIENTO"), QStringLiteral("Nº Semanas de Margen"),
                         QStringLiteral("3"));
        t.ui.ExpectReport();
        LaunchWeeklyPlan(t.ctx);
        return Transcript().section(QLatin1Char('\n'), 8, 8);
    };
    EXPECT_EQ(planLine(), QStringLiteral("{11 b}\tPRENSA\tPrensa chica\t--\t2S\t--\tM\t--\t2S\t--\t\t10"));

    const QString caption = QStringLiteral("RUTAS DE MANTENIMIENTO");
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA SEMANA DE ANALISIS (0 a 52)"), QStringLiteral("14"));
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA AÑO DE LA SEMANA DE ANALISIS (2025 a 2027): "),
                     QStringLiteral("2025"));
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA SECCIÓN "), QStringLiteral("*"));
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA ESPECIALIDAD DE LA RUTA"), QStringLiteral("MC"));
    t.ui.ExpectInput(caption, QStringLiteral("DESEA IMPRIMIR LAS OPERACIONES"), QStringLiteral("S"));
    t.ui.ExpectPrintDialog();
    t.ui.ExpectReport(caption);
    LaunchMaintenanceRoutes(t.ctx);

    EXPECT_EQ(planLine(), QStringLiteral("{11 b}\tPRENSA\tPrensa chica\t1S\t2S\t1S\tM\t1S\t2S\t1S\t\t10"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// Routine sheets of the analysis week 14: PRENSA's monthly routine (the operation without minutes left
// off) with its one repair still pending, BOMBA's without any; TORNO's routine of that week has no
// operations and gets no sheet.
class RoutineSheetTest : public WeeklyPlanTest
{
protected:
    RoutineSheetTest()
    {
        StoreMachines({Machine("BOMBA", "Bomba de achique"), Machine("PRENSA", "Prensa chica"),
                       Machine("TORNO", "Torno")});
        StoreOperations({Op("BOMBA", "M", 30, "PURGAR"), Op("PRENSA", "2S", 20, "LIMPIAR"),
                         Op("PRENSA", "M", 0, "MIRAR"), Op("PRENSA", "M", 45, "CAMBIAR FILTRO"),
                         Op("PRENSA", "A", 90, "REVISION GENERAL"), Op("TORNO", "S4", 30, "DESMONTAR")});
        StorePlan({Planned("PRENSA", 10), Planned("TORNO", 12), Planned("BOMBA", 10)});
        StoreRecords(t.ctx, QStringLiteral("PORTAL.SEM"),
                     std::vector{Repair("PRENSA", "E", "CAMBIAR CORREA"), Repair("TORNO", "P", "NIVELAR"),
                                 Repair("PRENSA", "P", "CAMBIAR RODAMIENTO")});
    }
    static TPlannedRepairRecord Repair(const char* code, const char* state, const char* description)
    {
        TPlannedRepairRecord r{};
        r.Code = code;
        r.State = state;
        r.Specialty = "MC";
        r.Description = description;
        r.Minutes = 60;
        return r;
    }
};

TEST_F(RoutineSheetTest, TheSheetsGoToTheWindowWithThePendingRepairs)
{
    ExpectPlanPrompts("14", "2025", "G");
    t.ui.ExpectReport(QStringLiteral("PLANING DE PORTAL"));
    LaunchWeeklyPlan(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const QString dashes(100, QLatin1Char('-'));
    const QString head =
        QStringLiteral("\tFABRICA") + QString(90, QLatin1Char(' ')) +
        QStringLiteral("PORTAL\n"
                       "\t-----------                 GAMA DE MANTENIMIENTO\n"
                       "\t                             ***********************\n"
                       "\n"
                       "\tMáquina    Frec   S/Año               DENOMINACION                    "
                       "07-12-2026\n") +
        dashes + QLatin1Char('\n');
    const QString section = QStringLiteral("\n\n"
                                           "\t                        DESCRIPCION DE LAS REVISIONES.\n"
                                           "\t                        ======================\n"
                                           "\n");
    const QString footer =
        QStringLiteral("{10}\n"
                       "\tGAMA MTO. ASIGNADA A:                                      TIEMPO EMPLEADO :\n"
                       "\n"
                       "\tSUPERVISADO POR.....:\n"
                       "\n\n\n"
                       "\t    REPARACIONES PENDIENTES DE LA MAQUINA\n"
                       "\n"
                       "\t   EST     ESP           DESCRIPCIÓN\n") +
        dashes + QLatin1Char('\n');
    EXPECT_EQ(t.ui.Reports().back()->Transcript(),
              QStringLiteral("[PLANING DE PORTAL]\n"
                             "TABS: 5 65 290 320 350 380 410 440 470 500\n") +
                  head + QStringLiteral("\tPRENSA  M    14/25       Prensa chica\n") + section +
                  QStringLiteral("{8}\t2S / P  [   ] \tLIMPIAR\n"
                                 "\tM / P  [   ] \tCAMBIAR FILTRO\n") +
                  footer + QStringLiteral("\t   P       MC            CAMBIAR RODAMIENTO\n\f\n\n") + head +
                  QStringLiteral("\tBOMBA  M    14/25       Bomba de achique\n") + section +
                  QStringLiteral("{8}\tM / P  [   ] \tPURGAR\n") + footer +
                  QStringLiteral("\t    No existen reparaciones pendientes\n\f\n\n\n"
                                 "{10 b}\t\tTIEMPO TOTAL PLANIFICADO EN LA SEMANA 14/2025  : 1 h 35 m\n"));
}

TEST_F(RoutineSheetTest, PrintedSheetsEndTheirPagesAndNoWindowIsShown)
{
    ExpectPlanPrompts("14", "2025", "I");
    t.ui.ExpectPrintDialog();
    LaunchWeeklyPlan(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty());
    const QString dashes(100, QLatin1Char('-'));
    auto sheet = [&](const QString& machineLine, const QStringList& operations, const QStringList& repairs) {
        QStringList lines{
            QStringLiteral("FABRICA") + QString(90, QLatin1Char(' ')) + QStringLiteral("PORTAL"),
            "----------                 GAMA DE MANTENIMIENTO",
            "                            ****************************",
            "",
            " Maquina   Frec  S/Año                  DENOMINACION                    07-12-2026",
            dashes,
            machineLine,
            "",
            "",
            "                        DESCRIPCION DE LAS REVISIONES.",
            "                        ======================",
            ""};
        lines << operations;
        lines << ""
              << "GAMA MTO. ASIGNADA A:                                      TIEMPO EMPLEADO :"
              << ""
              << "SUPERVISADO POR.....:"
              << ""
              << ""
              << ""
              << "    REPARACIONES PENDIENTES DE LA MAQUINA"
              << ""
              << "     EST      ESP           DESCRIPCIÓN" << dashes;
        lines << repairs;
        return lines;
    };
    EXPECT_EQ(t.ui.Printed().Pages(),
              (std::vector<QStringList>{
                  sheet("PRENSA  M    14/25       Prensa chica",
                        {"2S / P [   ] LIMPIAR", "M / P [   ] CAMBIAR FILTRO"},
                        {"     P        MC            CAMBIAR RODAMIENTO"}),
                  sheet("BOMBA  M    14/25       Bomba de achique", {"M / P [   ] PURGAR"},
                        {"    No existen reparaciones pendientes"}),
              }));
}

class MaintenanceRouteTest : public test::PreventiveTest
{
protected:
    static TOperationRecord RouteOp(const char* code, const char* frequency, const char* speciality,
                                    std::uint16_t minutes, const QString& description)
    {
        TOperationRecord r{};
        r.MachineCode = code;
        r.Frequency = frequency;
        r.State = "O";
        r.Speciality = speciality;
        r.Description = description;
        r.Minutes = minutes;
        return r;
    }
    // Answers the route's prompts: week, year, section, speciality, print.
    void ExpectRoutePrompts(const char* week, const char* year, const char* section, const char* speciality,
                            const char* print)
    {
        const QString caption = QStringLiteral("RUTAS DE MANTENIMIENTO");
        t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA SEMANA DE ANALISIS (0 a 52)"),
                         QString::fromLatin1(week));
        t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA AÑO DE LA SEMANA DE ANALISIS (2025 a 2027): "),
                         QString::fromLatin1(year));
        t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA SECCIÓN "), QString::fromLatin1(section));
        t.ui.ExpectInput(caption, QStringLiteral("INTRODUZCA ESPECIALIDAD DE LA RUTA"),
                         QString::fromLatin1(speciality));
        t.ui.ExpectInput(caption, QStringLiteral("DESEA IMPRIMIR LAS OPERACIONES"),
                         QString::fromLatin1(print));
    }
};

// Week 14 of 2025: PRENSA and PREGA (started in week 10) have their monthly routine due, TORNO (started
// in week 13) nothing. Only the speciality's operations that the monthly routine covers are listed, and
// a machine without any is left out; the section keeps the machines whose code begins with it.
TEST_F(MaintenanceRouteTest, TheRouteListsTheDueOperationsOfItsSpecialityWithTheEstimatedTime)
{
    StoreMachines(
        {Machine("PREGA", "Prensa grande"), Machine("PRENSA", "Prensa chica"), Machine("TORNO", "Torno")});
    StoreOperations({RouteOp("PREGA", "S4", "MC", 40, QStringLiteral("DESMONTAR")),
                     RouteOp("PRENSA", "2S", "MC", 20, QStringLiteral("LIMPIAR")),
                     RouteOp("PRENSA", "M", "EL", 30, QStringLiteral("MEDIR")),
                     RouteOp("PRENSA", "M", "MC", 45, QStringLiteral("CAMBIAR FILTRO")),
                     RouteOp("PRENSA", "M", "MC", 60, QStringLiteral("ENGRASAR")),
                     RouteOp("TORNO", "M", "MC", 15, QStringLiteral("AJUSTAR"))});
    StorePlan({Planned("TORNO", 13), Planned("PRENSA", 10), Planned("PREGA", 10)});
    ExpectRoutePrompts("14", "2025", "PR", "MC", "N");
    t.ui.ExpectReport(QStringLiteral("RUTAS DE MANTENIMIENTO"));
    LaunchMaintenanceRoutes(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(t.ui.Reports().size(), 1U);
    EXPECT_EQ(t.ui.Reports().back()->Transcript(),
              QStringLiteral("[RUTAS DE MANTENIMIENTO]\n"
                             "TABS: 5 65 290 350\n"
                             "{13 b}              RUTAS DE MANTENIMIENTO \n"
                             "{10 b}\tSemana 14 del Año 2025\n"
                             "\tEspecialidad MC\n"
                             "{10}\n"
                             "{10 u}\tCódigo\tMÁQUINA\tFR/EST\tDESCRIPCION\n"
                             "{10}\tPRENSA\tPrensa chica\n"
                             "\t\t2S / O\tLIMPIAR\n"
                             "\t\tM / O\tCAMBIAR FILTRO\n"
                             "\t\tM / O\tENGRASAR\n"
                             "\n"
                             "{10 b}\tTIEMPO TOTAL ESTIMADO: 2  Hr.5  Mn.\n"));
    EXPECT_EQ(t.ctx.st.OutputCode, QStringLiteral("P"));
    EXPECT_EQ(t.ctx.st.Plan1SFlag, 0);
    EXPECT_TRUE(t.ui.Printed().Pages().empty());
}

// A printed route breaks its page inside a machine once past line 58 and before a machine once past line
// 52, each new page under the route header again; a "$" speciality ends with the reading instructions.
TEST_F(MaintenanceRouteTest, APrintedRoutePagesAtItsLineCounters)
{
    StoreMachines({Machine("A", "Alfa"), Machine("B", "Beta"), Machine("C", "Gamma")});
    std::vector<TOperationRecord> ops;
    for (int i = 1; i <= 55; ++i)
        ops.push_back(RouteOp("A", "M", "$E", 2, QStringLiteral("A%1").arg(i)));
    for (int i = 1; i <= 41; ++i)
        ops.push_back(RouteOp("B", "M", "$E", 1, QStringLiteral("B%1").arg(i)));
    ops.push_back(RouteOp("C", "M", "$E", 9, QStringLiteral("C1")));
    StoreOperations(ops);
    StorePlan({Planned("A", 10), Planned("B", 10), Planned("C", 10)});
    ExpectRoutePrompts("14", "2025", "*", "$E", "S");
    t.ui.ExpectPrintDialog();
    t.ui.ExpectReport();
    LaunchMaintenanceRoutes(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.Plan1SFlag, 1);

    const QStringList header{
        "----------                  RUTA DE MANTENIMIENTO",
        "                            *********************          FECHA : 07/12/2026",
        "",
        "SEMANA: 14 / 2025         ESPECIALIDAD: $E",
        "",
        "CODIGO        DENOMINACION                *  FRC - ESTADO /  DESCRIPCION",
        "--------------------------------------------------------------------------------",
    };
    auto op = [](const QString& description) {
        return QString(42, QLatin1Char(' ')) + QStringLiteral("*  M  / O   ") + description;
    };
    QStringList first = header;
    first << ""
          << "A             Alfa";
    for (int i = 1; i <= 50; ++i)
        first << op(QStringLiteral("A%1").arg(i));
    QStringList second = header;
    for (int i = 51; i <= 55; ++i)
        second << op(QStringLiteral("A%1").arg(i));
    second << ""
           << "B             Beta";
    for (int i = 1; i <= 41; ++i)
        second << op(QStringLiteral("B%1").arg(i));
    QStringList third = header;
    third << ""
          << "C             Gamma" << op(QStringLiteral("C1")) << ""
          << "                        TIEMPO TOTAL ESTIMADO: 2 Hr. 40  Mn."
          << ""
          << "CONTROL DE EJECUCION DE GAMAS SEMANALES ESPECIALES"
          << "EFECTUAR LAS LECTURAS A LAS 12 A.M. DEL MISMO DIA";
    ASSERT_EQ(first.size(), 59);
    EXPECT_EQ(t.ui.Printed().Pages(), (std::vector<QStringList>{first, second, third}));
    EXPECT_TRUE(t.ui.Reports().back()->Transcript().endsWith(
        QStringLiteral("{10 b}\tTIEMPO TOTAL ESTIMADO: 2  Hr.40  Mn.\n")));
}

// The menu item reloads the environment before the route, so a printed route's weekly routines last only
// until the next route.
TEST_F(MaintenanceRouteTest, TheMenuItemLaunchesTheRouteAfterReloadingTheEnvironment)
{
    StoreSelector(2);
    StoreMachines({Machine("PRENSA", "Prensa chica")});
    StoreOperations({RouteOp("PRENSA", "1S", "MC", 5, QStringLiteral("ENGRASAR"))});
    StorePlan({Planned("PRENSA", 10)});
    t.ctx.st.Plan1SFlag = 1;
    ExpectRoutePrompts("11", "2025", "*", "#", "N");
    t.ui.ExpectReport(QStringLiteral("RUTAS DE MANTENIMIENTO"));
    ASSERT_TRUE(RunMenu("Pláning > Lanzar > Ruta Mto."));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.Plan1SFlag, 0);
    EXPECT_TRUE(t.ui.Reports().back()->Transcript().endsWith(
        QStringLiteral("{10 u}\tCódigo\tMÁQUINA\tFR/EST\tDESCRIPCION\n{10}\n{10 b}\tTIEMPO TOTAL ESTIMADO: 0 "
                       " Hr.0  Mn.\n")));
}

} // namespace
} // namespace gim
