#include "core/week_codes.h"
#include "preventive/gama_times.h"
#include "preventive/plan_control.h"
#include "preventive/plan_time.h"
#include "preventive_fixture.h"
#include "records/personnel_record.h"
#include "records/revision_record.h"

namespace gim {
namespace {

const QString kTitle = QStringLiteral("CONTROL PLANING");
const QString kCard = QStringLiteral("Historial Mto. Preventivo");

TRevisionRecord Rev(const char* code, std::uint16_t week, const char* state = "E",
                    const char* frequency = "M", std::uint16_t time = 50, const char* executor = "B2")
{
    TRevisionRecord r{};
    r.MachineCode = code;
    r.Frequency = frequency;
    r.State = state;
    r.Executor = executor;
    r.Week = week;
    r.Time = time;
    r.Comment = "..";
    return r;
}

std::vector<RevisionEntry> Entries(const std::vector<TRevisionRecord>& records)
{
    std::vector<RevisionEntry> list;
    for (std::size_t i = 0; i < records.size(); ++i)
        list.push_back({records[i], static_cast<std::uint32_t>(i)});
    return list;
}

// Five machines planned from week 0 of 2025: a monthly gama falls due in week 4.
class PlanControlTest : public test::PreventiveTest
{
protected:
    PlanControlTest()
    {
        StoreMachines({Machine("01-001", "Prensa"), Machine("02-002", "Torno"), Machine("03-003", "Fresa"),
                       Machine("04-004", "Grua"), Machine("05-005", "Sierra"),
                       Machine("06-006", "Parada", "CTA", "-", "-", "-", "NO")});
        std::vector<TOperationRecord> ops;
        for (const char* code : {"01-001", "02-002", "03-003", "04-004", "05-005", "06-006"})
            ops.push_back(Op(code, "M", 60));
        ops[1].State = "O"; // 02-002 runs during its gama: no stop time
        TOperationRecord route = Op("03-003", "M", 25, "RUTA");
        route.Speciality = "PR";
        ops.insert(ops.begin() + 3, route);
        StoreOperations(ops);
        StorePlan({Planned("01-001", 0), Planned("02-002", 0), Planned("03-003", 0), Planned("04-004", 0),
                   Planned("05-005", 0), Planned("06-006", 0)});
        TPersonnelRecord person{};
        person.Matricula = "B2";
        person.Nombre = "Pere";
        person.Apellidos = "Puig";
        t.ctx.st.PersonnelFileName = QStringLiteral("FABRI_PO.RCH");
        StoreRecords(t.ctx, t.ctx.st.PersonnelFileName, std::vector{person});
    }
    void StoreHistory(const std::vector<TRevisionRecord>& records)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.HRC"), records);
    }
    void AskRange(const char* first, const char* last, const char* year)
    {
        t.ui.ExpectInput(kTitle, QStringLiteral("INTRODUZCA SEMANA INICIAL (0 a 52)"),
                         QString::fromLatin1(first));
        t.ui.ExpectInput(kTitle, QStringLiteral("INTRODUZCA SEMANA FINAL (0 a 52)"),
                         QString::fromLatin1(last));
        t.ui.ExpectInput(kTitle, QStringLiteral("AÑO 2025 a 2027"), QString::fromLatin1(year));
    }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
    QStringList HistoryWeeks()
    {
        QStringList out;
        for (const TRevisionRecord& r :
             LoadRecords<TRevisionRecord>(t.ctx, QStringLiteral("PORTAL.HRC"), false))
            out << r.MachineCode.str() + QLatin1Char('@') + QString::number(r.Week.get()) + QLatin1Char(' ') +
                       r.State.str() + QLatin1Char(' ') + QString::number(r.Time.get());
        return out;
    }
};

// ---- Due rule and gama times ------------------------------------------------------------------------------

TEST_F(PlanControlTest, TheDueRuleNamesAreThePlansOwn)
{
    t.ctx.st.Plan2SFlag = 1;
    for (int start = 0; start < 104; ++start)
        for (int week = 0; week < 104; ++week)
            ASSERT_EQ(FrequencyDueInWeek(t.ctx.st, static_cast<std::uint16_t>(start),
                                         static_cast<std::uint16_t>(week)),
                      PlanFrequencyDue(t.ctx.st, start, week))
                << start << "/" << week;
    EXPECT_EQ(FrequencyDueInWeek(t.ctx.st, 3, 3), "S4");
    EXPECT_EQ(FrequencyDueInWeek(t.ctx.st, 3, 51), "S2");
    EXPECT_EQ(FrequencyDueInWeek(t.ctx.st, 3, 11), "M2");
    EXPECT_EQ(FrequencyDueInWeek(t.ctx.st, 3, 5), "2S");
    EXPECT_EQ(FrequencyDueInWeek(t.ctx.st, 3, 4), "--");
    for (const auto& [code, weeks] : {std::pair{"S4", 96},
                                      {"S2", 48},
                                      {"S", 24},
                                      {"M4", 16},
                                      {"M3", 12},
                                      {"M2", 8},
                                      {"M", 4},
                                      {"2S", 2},
                                      {"1S", 1}})
        EXPECT_EQ(FrequencyPeriodWeeks(QString::fromLatin1(code)), weeks) << code;
}

TEST_F(PlanControlTest, GamaTimesSplitRoutesAndStopsAndCountOnlyCoveredFrequencies)
{
    StoreOperations(
        {Op("01-001", "1S", 10), Op("01-001", "M", 60), Op("01-001", "S2", 200), Op("02-002", "M", 7)});
    GamaTimes monthly =
        SumGamaTimes(t.ctx, MachineCode(QStringLiteral("01-001")), FrequencyCode(QStringLiteral("M")));
    EXPECT_EQ(monthly.gama, 70u);
    EXPECT_EQ(monthly.stop, 70u);
    EXPECT_EQ(monthly.route, 0u);
    GamaTimes none =
        SumGamaTimes(t.ctx, MachineCode(QStringLiteral("09-009")), FrequencyCode(QStringLiteral("S4")));
    EXPECT_EQ(none.gama + none.stop + none.route, 0u);
    QFile::remove(t.Path(QStringLiteral("PORTAL.OPR")));
    none = SumGamaTimes(t.ctx, MachineCode(QStringLiteral("01-001")), FrequencyCode(QStringLiteral("S4")));
    EXPECT_EQ(none.gama, 0u);
}

// ---- Finding the execution ------------------------------------------------------------------------------

TEST_F(PlanControlTest, AMonthlyGamaIsFoundOneWeekLateAndPendingTwoWeeksLate)
{
    const PlannedGama gama{QStringLiteral("01-001"), QStringLiteral("M"), 20, 4};
    struct Case
    {
        std::vector<TRevisionRecord> history;
        const char* mode;
        bool found;
        std::uint32_t time;
    };
    const std::vector<Case> cases{
        {{Rev("01-001", 21)}, "0", true, 50},
        {{Rev("01-001", 19)}, "M", true, 50},
        {{Rev("01-001", 22)}, "0", false, 0},
        // Another frequency, another machine: not this gama.
        {{Rev("01-001", 20, "E", "S")}, "0", false, 0},
        {{Rev("02-002", 20)}, "0", false, 0},
        // A route execution counts in its own week only, and not at all outside the route modes.
        {{Rev("01-001", 21, "ER")}, "0", false, 0},
        {{Rev("01-001", 21, "ER")}, "3", false, 0},
        {{Rev("01-001", 20, "ER", "S", 15)}, "3", true, 0},
        // Both in the window: both times count, the oldest is the one found.
        {{Rev("01-001", 21, "E", "M", 30), Rev("01-001", 19, "P", "M", 20)}, "0", true, 50},
        // Outside the ratio modes the week must be exact.
        {{Rev("01-001", 21)}, "", false, 0},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::vector<RevisionEntry> list = Entries(cases[i].history);
        const GamaExecution found = RevisionIndex(list).Find(gama, QString::fromLatin1(cases[i].mode));
        EXPECT_EQ(found.found, cases[i].found) << i;
        EXPECT_EQ(found.executedTime, cases[i].time) << i;
    }
    // The oldest match is the one kept.
    const std::vector<RevisionEntry> two =
        Entries({Rev("01-001", 21, "E", "M", 30), Rev("01-001", 19, "P", "M", 20)});
    EXPECT_EQ(RevisionIndex(two).Find(gama, QStringLiteral("0")).revision.State.str(), "P");
    // Route mode: the route minutes add up and the found revision takes the executed time.
    const std::vector<RevisionEntry> route = Entries({Rev("01-001", 20, "ER", "S", 15)});
    const GamaExecution routeFound = RevisionIndex(route).Find(gama, QStringLiteral("3"));
    EXPECT_EQ(routeFound.routeTime, 15u);
    EXPECT_EQ(routeFound.revision.Time.get(), 0);
}

TEST_F(PlanControlTest, ThePreviousPeriodIsSeenUnlessTheRatioWeekStopsShort)
{
    const std::vector<RevisionEntry> list =
        Entries({Rev("01-001", 16, "E", "M2"), Rev("01-001", 12, "E", "M2"), Rev("02-002", 16, "E", "1S")});
    EXPECT_TRUE(
        RevisionIndex(list).Find({QStringLiteral("01-001"), QStringLiteral("M"), 20, 4}, "0").previousPeriod);
    // A shorter frequency one period back is not the gama.
    EXPECT_FALSE(
        RevisionIndex(list).Find({QStringLiteral("02-002"), QStringLiteral("M"), 20, 4}, "0").previousPeriod);
    // Eight weeks back lies past the five weeks that mode "1" looks at.
    EXPECT_TRUE(RevisionIndex(list)
                    .Find({QStringLiteral("01-001"), QStringLiteral("M2"), 20, 8}, "0")
                    .previousPeriod);
    EXPECT_FALSE(RevisionIndex(list)
                     .Find({QStringLiteral("01-001"), QStringLiteral("M2"), 20, 8}, "1")
                     .previousPeriod);
}

} // namespace
} // namespace gim

namespace gim {
namespace {

// ---- The listing ------------------------------------------------------------------------------------------

TEST_F(PlanControlTest, TheListingColoursEachGamaAndSummarisesInBlackAtSixtyPercent)
{
    StoreHistory({Rev("01-001", 4), Rev("02-002", 5, "E", "M", 40), Rev("03-003", 4, "E", "M", 70),
                  Rev("04-004", 0, "E", "M", 10), Rev("05-005", 4, "ER", "M", 15)});
    AskRange("4", "4", "2025");
    t.ui.ExpectReport(QStringLiteral("HISTORIAL"));
    ASSERT_TRUE(RunMenu("Historial MP > Control > Planing"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(
        Transcript(),
        QStringLiteral("[HISTORIAL]\n"
                       "TABS: 15 60 230 248 260 280 310 333 355 375 410\n"
                       "{12 b}\tFABRICA\tCONTROL PLANING\t\tPORTAL\t07/12/2026\n"
                       "\n"
                       "{11 b}\tCodig\t Nombre de la Máquina\tF\tE\tS\tAñ\tTE\tTP\tTD\tEjec\tComentarios\n"
                       "\n"
                       "{8}1\t01-001\tPrensa\tM\tE\t4\t2025\t50\t60\t60\tB2\t..\n"
                       "2\t02-002\tTorno\tM\tE\t4\t2025\t40\t60\t0\tB2\t..\n"
                       "3\t03-003\tFresa\tM\tE\t4\t2025\t70\t60\t60\tB2\t..\n"
                       "{8 #0000ff}4\t04-004\tGrua\tM\tP\t4\t2025\t0\t60\t60\t..\t..\n"
                       "{8 #ff0000}5\t05-005\tSierra\tM\tP\t4\t2025\t0\t60\t60\t..\t..\n"
                       "\n"
                       "{12 b}\t\tRESUMEN SEMANAL 4/2025\n"
                       "\n"
                       "\n"
                       "\t\tGAMAS PROGRAMADAS (GP) :\t5\n"
                       "\t\tGAMAS EJECUTADAS (GE) :\t3\n"
                       "\t\tGAMAS RE_PENDIENTES :\t1\n"
                       "\t\t\t\t\t\t\tRATIO DE EJECUTADAS (%RG=GE/GP):\t60% \n"
                       "\t\t\t\t\t\t\tRATIO DE GAMAS RE_PENDIENTES :\t20% \n"
                       "\n"
                       "\t\tTOTAL TIEMPO PROGRAMADO PLAN SEMANAL  (TPS) : \t5Hrs. 0Mn.\n"
                       "\t\tTOTAL TIEMPO PROGRAMADO GAMAS EJECUC. (TPG) : \t3Hrs. 0Mn.\n"
                       "\t\tTOTAL TIEMPO DEDICADO EJECUCION GAMAS (TE) : \t2Hrs. 40Mn.\n"
                       "\t\t\t\t\t\t\tRATIO DEDICACIÓN AL PLAN SEMANAL   TE/TPS:\t53%\n"
                       "\t\t\t\t\t\t\tRATIO DEDICACIÓN GAMAS EJECUTADAS  TE/TPG:\t88%\n"
                       "\n"));
    // The command clears its mode and leaves nothing to sort.
    EXPECT_EQ(t.ctx.st.ActionCode, QString());
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
}

// Two executed of five is below sixty percent: the summary turns blue.
TEST_F(PlanControlTest, BelowSixtyPercentTheSummaryIsBlue)
{
    StoreHistory({Rev("01-001", 4), Rev("02-002", 5, "E", "M", 40)});
    AskRange("4", "4", "2025");
    t.ui.ExpectReport(QStringLiteral("HISTORIAL"));
    ASSERT_TRUE(RunMenu("Historial MP > Control > Planing"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\n{12 b #0000ff}\t\tRESUMEN SEMANAL 4/2025\n")))
        << Transcript().toStdString();
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t\tGAMAS RE_PENDIENTES :\t3\n")));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("RATIO DE EJECUTADAS (%RG=GE/GP):\t40% \n")));
}

// Week 60 is taken as 52; between weeks the header is written again.
TEST_F(PlanControlTest, AWeekAbove52IsTakenAs52)
{
    AskRange("50", "60", "2025");
    t.ui.ExpectReport(QStringLiteral("HISTORIAL"));
    ASSERT_TRUE(RunMenu("Historial MP > Control > Planing"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QString text = Transcript();
    EXPECT_EQ(text.count(QStringLiteral("\tCodig\t Nombre de la Máquina")), 3);
    EXPECT_TRUE(
        text.contains(QStringLiteral("{8 #ff0000}1\t01-001\tPrensa\tM\tP\t52\t2025\t0\t60\t60\t..\t..\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t\tRESUMEN SEMANAL 50-52/2025\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t\tGAMAS PROGRAMADAS (GP) :\t5\n")));
}

// Control > Máquina lists only the machines that fit the pattern after its last "*".
TEST_F(PlanControlTest, TheMachineControlListsTheMachinesThatFitThePattern)
{
    AskRange("4", "4", "2025");
    t.ui.ExpectInput(kTitle, QStringLiteral("Codigo de Maquina: "), QStringLiteral("*3-0"));
    t.ui.ExpectReport(QStringLiteral("HISTORIAL"));
    ASSERT_TRUE(RunMenu("Historial MP > Control > Máquina"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(
        Transcript().contains(QStringLiteral("1\t03-003\tFresa\tM\tP\t4\t2025\t0\t60\t60\t..\t..\n")));
    EXPECT_FALSE(Transcript().contains(QStringLiteral("01-001")));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t\tGAMAS PROGRAMADAS (GP) :\t1\n")));
}

// ---- Entry mode -------------------------------------------------------------------------------------------

TEST_F(PlanControlTest, AnEntryOverThreeWeeksStoresEachRevisionAtItsOwnWeek)
{
    t.ctx.st.Plan1SFlag = 1;
    StoreOperations({Op("01-001", "1S", 10)});
    AskRange("5", "7", "2025");
    for (const char* week : {"5", "6", "7"})
        t.ui.ExpectCard(kCard)
            .ExpectValue("codigo", "01-001")
            .ExpectValue("Maquina", "Prensa")
            .ExpectValue("semana", QString::fromLatin1(week))
            .ExpectValue("anyo", "2025")
            .ExpectValue("frecuencia", "1S")
            .ExpectDisabled("semana")
            .ExpectDisabled("codigo")
            .Set("estado", "E")
            .Set("ejecutor", "B2")
            .ExpectValue("Label1", "Pere Puig")
            .Set("tiempo", "12")
            .Press("SALVAR1");
    t.ui.ExpectReport(QStringLiteral("HISTORIAL"));
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Planing"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(HistoryWeeks(), (QStringList{"01-001@7 E 12", "01-001@6 E 12", "01-001@5 E 12"}));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t\tGAMAS EJECUTADAS (GE) :\t3\n")));
    // Each week's line is the first of its week, under the header written again between weeks.
    for (const char* week : {"5", "6", "7"})
        EXPECT_TRUE(Transcript().contains(QStringLiteral("\n{8}1\t01-001\tPrensa\t1S\tE\t") +
                                          QLatin1String(week) +
                                          QStringLiteral("\t2025\t12\t10\t10\tB2\t..\n")))
            << week;
    EXPECT_TRUE(Transcript().contains(
        QStringLiteral("\t\tTOTAL TIEMPO DEDICADO EJECUCION GAMAS (TE) : \t0Hrs. 36Mn.\n")));
    EXPECT_EQ(t.ctx.st.CardSaved, 1);
    EXPECT_TRUE(Revisions(t.ctx).RevisionList.size() == 3u);
}

// A gama already done is shown with its execution and can only be passed over; an executor who is not
// an employee (an outside contractor) is stored and counted; &Salir ends the week.
TEST_F(PlanControlTest, EntryStoresAndCountsAnExecutorWhoIsNoEmployee)
{
    t.ctx.st.Plan1SFlag = 1;
    StoreOperations({Op("01-001", "1S", 10), Op("02-002", "1S", 10), Op("03-003", "1S", 10)});
    StoreHistory({Rev("01-001", 9, "E", "1S", 20)});
    AskRange("9", "9", "2025");
    t.ui.ExpectCard(kCard)
        .ExpectValue("estado", "E")
        .ExpectValue("tiempo", "20")
        .ExpectDisabled("SALVAR1")
        .Press("Reparar");
    t.ui.ExpectCard(kCard).ExpectEnabled("SALVAR1").Set("estado", "E").Set("ejecutor", "X9").Press("SALVAR1");
    t.ui.ExpectCard(kCard).Press("BitBtn1");
    t.ui.ExpectReport(QStringLiteral("HISTORIAL"));
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Planing"));
    EXPECT_SCRIPT_DONE(t.ui);
    // Appended, then put in order by the rewrite, which leaves the history loaded.
    EXPECT_EQ(HistoryWeeks(), (QStringList{"02-002@9 E 0", "01-001@9 E 20"}));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t\tGAMAS EJECUTADAS (GE) :\t2\n")));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t\tGAMAS PROGRAMADAS (GP) :\t3\n")));
    EXPECT_EQ(t.ctx.st.CardSaved, 0);
    EXPECT_EQ(Revisions(t.ctx).RevisionList.size(), 2u);
}

// The ratios run one week at a time on the history they loaded: no prompt, card or listing, only the
// figures. Mode "1" allows a monthly gama one week late.
TEST_F(PlanControlTest, TheSingleWeekModeLeavesTheFiguresOnly)
{
    StoreHistory({Rev("01-001", 5), Rev("02-002", 4, "P", "M", 20), Rev("05-005", 4, "ER", "M", 15)});
    LoadRevisionList(t.ctx);
    t.ctx.st.ActionCode = QStringLiteral("1");
    t.ctx.st.WorkWeek = 4;
    t.ctx.st.WorkYear = 25;
    ControlPlan(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty());
    const PlanControlState& f = PlanControl(t.ctx);
    EXPECT_EQ(f.GP, 5u);
    EXPECT_EQ(f.GE, 1u);
    EXPECT_EQ(f.TPS, 300u);
    EXPECT_EQ(f.TPG, 60u);
    EXPECT_EQ(f.TE, 70u);
    EXPECT_EQ(f.RouteMinutes, 0u);
    EXPECT_EQ(Revisions(t.ctx).RevisionList.size(), 3u);
}

TEST_F(PlanControlTest, WithoutAPlanFileTheErrorIsShownAndNothingListed)
{
    QFile::remove(t.Path(QStringLiteral("PORTAL.PLN")));
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Historial MP > Control > Planing"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty());
}

} // namespace
} // namespace gim
