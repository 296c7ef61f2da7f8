#include "core/command.h"
#include "preventive_fixture.h"
#include "support/killed_child.h"
#include "support/unprivileged.h"

#include <functional>
#include <numeric>
#include <sys/stat.h>

namespace gim {
namespace {

const QString kPlanning = QStringLiteral("PLANIFICACION DE MAQUINAS");
const QString kStartWeek = QStringLiteral("SEMANA CARGA INICIAL EN PLANING");

class PlanLoadingTest : public test::PreventiveTest
{
protected:
    void ExpectCode(const char* code)
    {
        t.ui.ExpectInput(kPlanning, QStringLiteral("CODIGO DE MAQUINA "), QString::fromLatin1(code));
    }
    // The user keeps the proposed start week.
    void ExpectProposedWeek(const char* machineName)
    {
        t.ui.ExpectInputCancel(QString::fromLatin1(machineName), kStartWeek);
    }
    void ExpectWeek(const char* machineName, const char* week)
    {
        t.ui.ExpectInput(QString::fromLatin1(machineName), kStartWeek, QString::fromLatin1(week));
    }
    void ExpectAutomatic(const char* filter, const char* balance)
    {
        t.ui.ExpectInput(kPlanning, QStringLiteral("CODIGO DE LÍNEA/ZONA ( * Todas)"),
                         QString::fromLatin1(filter));
        t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA CARGAR DE PLANING AUTOMÁTICA"), true);
        if (balance)
            t.ui.ExpectInput(QStringLiteral("Equilibrado de Carga"), QStringLiteral("Equilibrado Bianual"),
                             QString::fromLatin1(balance));
    }
    int TotalPlanned()
    {
        const std::vector<int> weeks = PlannedMinutes(0, 1000);
        return std::accumulate(weeks.begin(), weeks.end(), 0);
    }
    // Runs `body` as a user whom file permissions bind; its failures come back as text.
    std::string AsUser(const std::function<std::string()>& body)
    {
        // The data folder lies inside the temporary folder, which that user must be able to cross.
        EXPECT_EQ(::chmod(QFile::encodeName(root).constData(), 0755), 0);
        return test::RunUnprivileged(data, body);
    }
    void OpenToEveryone(const char* name)
    {
        EXPECT_EQ(::chmod(QFile::encodeName(t.Path(QString::fromLatin1(name))).constData(), 0666), 0);
    }
    // Another program stores `bytes` as the plan file when this one first takes the write lock.
    void ReplacePlanAtFirstWrite(const std::string& bytes)
    {
        m_replacement = bytes;
        m_replaced = false;
        m_faults.inject = [this](FileOp op, const QString&) {
            if (op == FileOp::Lock && !m_replaced) {
                m_replaced = true;
                t.WriteFile(QStringLiteral("PORTAL.PLN"), m_replacement);
            }
            return 0;
        };
        t.ctx.faults = &m_faults;
    }

private:
    FileFaults m_faults;
    std::string m_replacement;
    bool m_replaced = false;
};

// ---- Manual load and unload -------------------------------------------------------------------------

// A 104-week agenda is searched over its last 49 weeks: all empty, the first of them (55) is proposed as
// week 7 of the first cycle. Each routine counts at every multiple of its own period, so week 31 carries
// the monthly and the half-yearly minutes.
TEST_F(PlanLoadingTest, AManualLoadBooksEveryRoutineFromTheStartWeekAndTheUnloadGivesItBack)
{
    StoreMachines({Machine("ARIETE", "Ariete"), Machine("PRENSA", "Prensa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("ARIETE", "M", 99), Op("TORNO", "M", 30), Op("TORNO", "S", 60),
                     Op("TORNO", "TF", 500), Op("ZETA", "1S", 7)});
    StoreAgenda(Agenda(104));
    const std::string empty = AgendaBytes();

    ExpectCode("TORNO");
    ExpectProposedWeek("Torno");
    t.ui.ExpectMessage(QStringLiteral("MÁQUINA TORNO CARGADA EN PLANING DESDE LA SEMANA 7: 25 SEMANAS CARGADAS"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@7")});
    EXPECT_EQ(PlannedMinutes(0, 15), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 90, 0, 0, 0, 30, 0, 0, 0, 30}));
    EXPECT_EQ(PlannedMinutes(31, 31), std::vector<int>{90});
    EXPECT_EQ(PlannedMinutes(103, 103), std::vector<int>{90});
    EXPECT_EQ(TotalPlanned(), 25 * 30 + 5 * 60);
    EXPECT_EQ(AgendaFile()[7].FreeMinutes.get(), 2400 - 90);
    EXPECT_EQ(AgendaFile()[7].ReservedMinutes.get(), 600);
    const std::string loaded = AgendaBytes();

    // Never twice; a week outside the agenda, a machine without routines or an unknown one load nothing.
    ExpectCode("TORNO");
    ExpectProposedWeek("Torno");
    t.ui.ExpectMessage(QStringLiteral("NO PUEDE DARSE DE ALTA POR EXISTIR YA EN PLANING"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    ExpectCode("ARIETE");
    ExpectWeek("Ariete", "104");
    t.ui.ExpectMessage(QStringLiteral("SEMANA 104 FUERA DEL PLANING: 0 A 103"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    ExpectCode("ARIETE");
    ExpectWeek("Ariete", "-1");
    t.ui.ExpectMessage(QStringLiteral("SEMANA -1 FUERA DEL PLANING: 0 A 103"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    ExpectCode("ARIETE");
    ExpectWeek("Ariete", "1a");
    t.ui.ExpectMessage(QStringLiteral("FORMATO NUMERICO"));
    EXPECT_FALSE(RunMenu("Pláning > Altas > Cargar > Manual"));
    ExpectCode("PRENSA");
    ExpectWeek("Prensa", "3");
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    ExpectCode("NADA");
    t.ui.ExpectMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@7")});
    EXPECT_EQ(AgendaBytes(), loaded);

    // The unload asks first; Cancel leaves everything as it was.
    ExpectCode("TORNO");
    t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :TORNO  7"), false);
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Manual"));
    ExpectCode("NADA");
    t.ui.ExpectMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(AgendaBytes(), loaded);
    const std::string planned = PlanBytes();

    ExpectCode("TORNO");
    t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :TORNO  7"), true);
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(AgendaBytes(), empty);
    // The erased entry went with the compaction; the twin keeps it.
    EXPECT_EQ(PlanBytes(), std::string());
    std::string erased = planned;
    erased[1] = 'Z';
    erased[0] = 1;
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.PBK")), erased);
}

// Agenda minutes are 16-bit words: free minutes near zero and planned ones near the limits wrap, and the
// daily routine counts six times over. The unload takes off the very same words.
TEST_F(PlanLoadingTest, LoadingAndUnloadingOnAFullHorizonGivesTheAgendaBackByteForByte)
{
    SetHorizon(25, 30);
    StoreMachines({Machine("AAA", "Primera"), Machine("BIG", "Grande"), Machine("WRAP", "Vuelta"),
                   Machine("ZZZ", "Ultima")});
    StoreOperations({Op("AAA", "M", 5), Op("BIG", "1D", 30000), Op("BIG", "1S", 1000), Op("BIG", "2S", 500),
                     Op("BIG", "M", 400), Op("BIG", "M2", 300), Op("BIG", "M3", 200), Op("BIG", "M4", 100),
                     Op("BIG", "S", 50), Op("BIG", "S2", 25), Op("BIG", "S4", 10), Op("BIG", "TF", 999),
                     Op("BIG", "X", 77), Op("WRAP", "M", 32768), Op("WRAP", "S", 32768), Op("ZZZ", "1S", 3)});
    std::vector<TAgendaRecord> agenda = Agenda(260);
    for (std::size_t w = 0; w < agenda.size(); ++w) {
        agenda[w].FreeMinutes = static_cast<std::uint16_t>(w * 37 % 200);
        agenda[w].PlannedMinutes = static_cast<std::int16_t>(w % 11 == 0 ? -32000 : 32000 + w);
        if (w % 50 == 7)
            agenda[w].Note = "PARADA";
    }
    agenda[3].FreeMinutes = 50;
    agenda[3].PlannedMinutes = 32700;
    agenda[4].FreeMinutes = 0;
    agenda[4].PlannedMinutes = -32768;
    StoreAgenda(agenda);
    const std::string before = AgendaBytes();

    ExpectCode("BIG");
    ExpectWeek("Grande", "3");
    t.ui.ExpectMessage(QStringLiteral("MÁQUINA BIG CARGADA EN PLANING DESDE LA SEMANA 3: 257 SEMANAS CARGADAS"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("BIG@3")});
    const std::vector<TAgendaRecord> loaded = AgendaFile();
    // Week 3 takes every routine, 51513 minutes (the daily ones 6 x 30000, kept in 16 bits: 49928 with
    // the weekly ones); week 4 the weekly bucket alone.
    EXPECT_EQ(loaded[3].PlannedMinutes.get(), 18677);
    EXPECT_EQ(loaded[3].FreeMinutes.get(), 14073);
    EXPECT_EQ(loaded[4].PlannedMinutes.get(), 17160);
    EXPECT_EQ(loaded[4].FreeMinutes.get(), 15608);
    EXPECT_EQ(std::memcmp(&loaded[0], &agenda[0], 3 * sizeof(TAgendaRecord)), 0); // before the start week
    EXPECT_EQ(std::memcmp(&loaded[5].ReservedMinutes, &agenda[5].ReservedMinutes, 51), 0); // note untouched

    ExpectCode("BIG");
    t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :BIG  3"), true);
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(AgendaBytes(), before);
    EXPECT_TRUE(PlanEntries().isEmpty());

    // Two routines whose minutes add up to 65536, 0 in 16 bits: the machine is booked and so planned.
    ExpectCode("WRAP");
    ExpectWeek("Vuelta", "0");
    t.ui.ExpectMessage(QStringLiteral("MÁQUINA WRAP CARGADA EN PLANING DESDE LA SEMANA 0: 54 SEMANAS CARGADAS"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("WRAP@0")});
    EXPECT_NE(AgendaBytes(), before);
    ExpectCode("WRAP");
    t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :WRAP  0"), true);
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(AgendaBytes(), before);
}

// ---- Automatic loads ----------------------------------------------------------------------------------

// A four-year agenda is searched over weeks 96 to 143: a negative week is never taken, weeks outside
// the window do not count, and each machine loaded changes the loads the next one sees.
TEST_F(PlanLoadingTest, TheAutomaticLoadPutsEachMachineAtTheLeastLoadedWeek)
{
    SetHorizon(25, 29);
    StoreMachines({Machine("L1-A", "Linea A"), Machine("L1-B", "Linea B"), Machine("L2-C", "Otra")});
    StoreOperations({Op("L1-A", "M", 30), Op("L1-B", "S", 40), Op("L2-C", "M", 10)});
    std::vector<TAgendaRecord> agenda = Agenda(208, 2400, 500);
    agenda[60].PlannedMinutes = 0;
    agenda[97].PlannedMinutes = -5;
    agenda[100].PlannedMinutes = 100;
    agenda[121].PlannedMinutes = 110;
    agenda[150].PlannedMinutes = 0;
    StoreAgenda(agenda);
    const std::string before = AgendaBytes();

    // L1-A goes to week 100 (4 of the cycle), which its monthly minutes raise to 130; L1-B then to week
    // 121 (25). L2-C is not of line L1.
    ExpectAutomatic("L1", "N");
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Automática > Aleatoria"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), (QStringList{QStringLiteral("L1-A@4"), QStringLiteral("L1-B@25")}));
    EXPECT_EQ(PlannedMinutes(96, 101), (std::vector<int>{530, 35, 500, 500, 130, 500}));
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 0);
    EXPECT_TRUE(t.ui.Transcript().contains(
        QStringLiteral("PROGRESS [AVANCE CARGA DE DATOS MAQUINAS EN PLANING] 0/3")));
    EXPECT_TRUE(t.ui.Transcript().contains(QStringLiteral("PROGRESS END 3/3")));

    // Biannually over weeks 96 to 192: week 150 is empty, 54 of the 96-week cycle. The planned machines
    // are passed over without a word.
    ExpectAutomatic("*", "S");
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Automática > Aleatoria"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(),
              (QStringList{QStringLiteral("L1-A@4"), QStringLiteral("L1-B@25"), QStringLiteral("L2-C@54")}));
    EXPECT_EQ(t.ctx.st.AnswerCode2, QStringLiteral("S"));

    ExpectAutomatic("*", nullptr);
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Automática"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(PlanEntries().isEmpty());
    EXPECT_EQ(AgendaBytes(), before);
}

// With synchronism week 5 only the weeks 97, 101, 105, ... are compared; the load asks each start week.
TEST_F(PlanLoadingTest, TheSynchronousLoadKeepsInStepWithTheSynchronismWeek)
{
    SetHorizon(25, 29);
    StoreMachines({Machine("S1", "Sincrona")});
    StoreOperations({Op("S1", "M", 30)});
    std::vector<TAgendaRecord> agenda = Agenda(208, 2400, 500);
    agenda[99].PlannedMinutes = 10;
    agenda[105].PlannedMinutes = 20;
    agenda[129].PlannedMinutes = 20;
    StoreAgenda(agenda);

    t.ui.ExpectInput(kPlanning, QStringLiteral("CODIGO DE LÍNEA/ZONA ( * Todas)"), QStringLiteral("*"));
    t.ui.ExpectInput(kPlanning, QStringLiteral("Semana Síncronismo"), QStringLiteral("5"));
    t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA CARGAR DE PLANING AUTOMÁTICA"), true);
    t.ui.ExpectInput(QStringLiteral("Equilibrado de Carga"), QStringLiteral("Equilibrado Bianual"),
                     QStringLiteral("N"));
    ExpectProposedWeek("Sincrona");
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Automática > Sincrona"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("S1@9")});
}

TEST_F(PlanLoadingTest, LineFiltersCompareTheCodeAfterTheLastAsterisk)
{
    EXPECT_TRUE(MatchesLineFilter(QStringLiteral("*"), QStringLiteral("TORNO")));
    EXPECT_TRUE(MatchesLineFilter(QStringLiteral("A*12"), QStringLiteral("XY12Z")));
    EXPECT_FALSE(MatchesLineFilter(QStringLiteral("A*12"), QStringLiteral("12")));
    EXPECT_TRUE(MatchesLineFilter(QStringLiteral("L1"), QStringLiteral("L1-A")));
    EXPECT_FALSE(MatchesLineFilter(QStringLiteral("L1"), QStringLiteral("XL1")));
    EXPECT_FALSE(MatchesLineFilter(QStringLiteral("L1-A2"), QStringLiteral("L1-A")));
}

// The import hands over a whole plan entry: its start week is taken without asking while cards are off.
TEST_F(PlanLoadingTest, AnImportedEntryIsLoadedAtItsOwnStartWeek)
{
    StoreMachines({Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    Planning(t.ctx).ImportedPlanEntry = Planned("TORNO", 12);
    t.ctx.st.InteractiveFlag = 0;
    ASSERT_TRUE(RunCommand(t.ctx, {}, [&] { PlanImportedMachine(t.ctx); }));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@12")});
    EXPECT_EQ(PlannedMinutes(11, 16), (std::vector<int>{0, 30, 0, 0, 0, 30}));
}

// A machine's plan entry and the weeks it books are one step: a load (an imported one) and an unload killed
// at any of their file calls leave, after the next start, both or neither.
TEST_F(PlanLoadingTest, ALoadOrUnloadKilledAtAnyFileCallLeavesPlanAndAgendaTogether)
{
    StoreMachines({Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30), Op("TORNO", "S", 60)});
    StoreAgenda(Agenda(104));
    StorePlan({Planned("PRENSA", 3)});
    t.ctx.st.InteractiveFlag = 0;
    const std::pair<ModeCodes, std::function<void()>> steps[] = {
        {{}, [&] { PlanImportedMachine(t.ctx, Planned("TORNO", 12)); }},
        {{.action = QStringLiteral("T"), .answer = QStringLiteral("D")},
         [&] { PlanOneMachine(t.ctx, Planned("TORNO", 0).Code); }}};
    for (const auto& [codes, step] : steps) {
        SCOPED_TRACE(codes.answer ? "unload" : "load");
        EXPECT_EQ(test::KillAtEveryFileCall(t, {QStringLiteral("PORTAL.PLN"), QStringLiteral("PORTAL.CAR")},
                                            [&] { RunCommand(t.ctx, codes, step); }),
                  "");
    }
    EXPECT_EQ(PlanEntries(), (QStringList{QStringLiteral("PRENSA@3"), QStringLiteral("Z@12")}));
    EXPECT_EQ(TotalPlanned(), 0);
}

// ---- Carrying a plan from another environment ----------------------------------------------------------

// The source plan starts two years earlier: every start week moves eight weeks back in its 48-week
// cycle, so the machines keep their rhythm. Its erased entry stays behind.
TEST_F(PlanLoadingTest, APlanCarriedFromAnotherEnvironmentKeepsItsRhythmWithoutItsErasedEntries)
{
    StoreMachines({Machine("PRENSA", "Prensa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("PRENSA", "S", 60), Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    TPlanRecord erased = Planned("FRESA", 9);
    erased.Code = "Z";
    StorePlan({Planned("TORNO", 5), erased, Planned("PRENSA", 20)}, "VIEJO.PLN");
    StoreRecords(t.ctx, QStringLiteral("VIEJO.LON"), std::vector{TPlanYearsRecord{23, 28}});

    t.ui.ExpectInput(kPlanning, QStringLiteral("ENTORNO Planing de Inicio "), QStringLiteral("VIEJO"));
    t.ui.ExpectInput(QStringLiteral("Equilibrado de Carga"), QStringLiteral("Equilibrado Bianual"),
                     QStringLiteral("N"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Automática > Continua Plan"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), (QStringList{QStringLiteral("PRENSA@12"), QStringLiteral("TORNO@45")}));
    EXPECT_EQ(PlannedMinutes(45, 45), std::vector<int>{30});

    // A shift longer than the cycle still lands inside it: 5 - 100 is week 1 of a 48-week cycle.
    PlanningState& p = Planning(t.ctx);
    p.BalanceCycle = 48;
    p.PlanEntry.StartWeek = 5;
    ShiftStartWeekFromEnvironment(t.ctx, 0);
    EXPECT_EQ(p.PlanEntry.StartWeek.get(), 1);
    p.BalanceCycle = 96;
    p.PlanEntry.StartWeek = 5;
    ShiftStartWeekFromEnvironment(t.ctx, 23);
    EXPECT_EQ(p.PlanEntry.StartWeek.get(), 93);
}

TEST_F(PlanLoadingTest, NothingIsCarriedFromAnEnvironmentWithoutPlanYears)
{
    StoreMachines({Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    StorePlan({Planned("TORNO", 5)}, "VIEJO.PLN");
    t.ui.ExpectInput(kPlanning, QStringLiteral("ENTORNO Planing de Inicio "), QStringLiteral("VIEJO"));
    t.ui.ExpectInput(QStringLiteral("Equilibrado de Carga"), QStringLiteral("Equilibrado Bianual"),
                     QStringLiteral("N"));
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO")); // the annual plan finds no plan file
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Automática > Continua Plan"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.PLN")));
}

// ---- Files another program protects or changes ---------------------------------------------------------

// A write-protected plan is read (the unload finds the machine and its start week); erasing its entry and
// compacting it are refused, and neither the plan nor the agenda changes.
TEST_F(PlanLoadingTest, AWriteProtectedPlanIsReadButItsUnloadChangesNothing)
{
    StoreMachines({Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    ExpectCode("TORNO");
    ExpectWeek("Torno", "9");
    t.ui.ExpectMessage(QStringLiteral("MÁQUINA TORNO CARGADA EN PLANING DESDE LA SEMANA 9: 24 SEMANAS CARGADAS"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    ASSERT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@9")});
    const std::string plan = PlanBytes();
    const std::string agenda = AgendaBytes();
    test::WriteProtect(t.Path(QStringLiteral("PORTAL.PLN")));
    OpenToEveryone("PORTAL.CAR");

    const std::string failures = AsUser([&]() -> std::string {
        ExpectCode("TORNO");
        t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :TORNO  9"), true);
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO")); // the entry's erasure
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO")); // the compaction
        if (!RunMenu("Pláning > Altas > Descargar > Manual"))
            return "the unload command failed";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(PlanBytes(), plan);
    EXPECT_EQ(AgendaBytes(), agenda);
}

// A plan entry that cannot be written books nothing: the agenda is only written once the entry is stored,
// and an automatic load stops at the first failure with one message.
TEST_F(PlanLoadingTest, NothingIsBookedWhenThePlanEntryCannotBeStored)
{
    StoreMachines({Machine("FRESA", "Fresa"), Machine("PRENSA", "Prensa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("FRESA", "M", 10), Op("PRENSA", "M", 10), Op("TORNO", "M", 10)});
    StoreAgenda(Agenda(104));
    StorePlan({});
    const std::string agenda = AgendaBytes();
    test::WriteProtect(t.Path(QStringLiteral("PORTAL.PLN")));
    OpenToEveryone("PORTAL.CAR");

    const std::string failures = AsUser([&]() -> std::string {
        ExpectCode("TORNO");
        ExpectWeek("Torno", "2");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (RunMenu("Pláning > Altas > Cargar > Manual"))
            return "the load command was not abandoned";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(PlanBytes(), std::string());
    EXPECT_EQ(AgendaBytes(), agenda);

    // A plan that is a folder: the automatic load over three machines stops at the first.
    ASSERT_TRUE(QFile::remove(t.Path(QStringLiteral("PORTAL.PLN"))));
    ASSERT_TRUE(QDir().mkdir(t.Path(QStringLiteral("PORTAL.PLN"))));
    ExpectAutomatic("*", "N");
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    EXPECT_FALSE(RunMenu("Pláning > Altas > Cargar > Automática > Aleatoria"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Transcript().contains(QStringLiteral("PROGRESS END 1/3")));
    EXPECT_EQ(AgendaBytes(), agenda);
    EXPECT_TRUE(QFileInfo(t.Path(QStringLiteral("PORTAL.PLN"))).isDir());
}

// An agenda with fewer weeks than the plan (torn, or empty) is reported and nothing enters the plan, by
// hand or automatically; the automatic load stops at the first machine.
TEST_F(PlanLoadingTest, AShortAgendaIsReportedAndNothingIsPlanned)
{
    StoreMachines({Machine("FRESA", "Fresa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("FRESA", "M", 10), Op("TORNO", "M", 10)});
    StorePlan({});
    for (std::size_t weeks : {60u, 0u}) {
        SCOPED_TRACE(weeks);
        StoreAgenda(Agenda(weeks));
        std::string agenda = AgendaBytes();
        agenda += std::string(20, '\x7F'); // and a torn record after them
        t.WriteFile(QStringLiteral("PORTAL.CAR"), agenda);
        ExpectCode("TORNO");
        // The torn agenda is reported once, by the first load that reads it whole.
        t.ui.ExpectMessage(
            QStringLiteral("FICHERO DAÑADO PORTAL.CAR. SU ÚLTIMO REGISTRO ESTÁ INCOMPLETO Y NO SE "
                           "USA. REGISTROS COMPLETOS QUE SE USAN: %1.")
                .arg(weeks));
        ExpectWeek("Torno", "70");
        t.ui.ExpectMessage(QStringLiteral("LECTURA DE DISCO"));
        ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
        EXPECT_SCRIPT_DONE(t.ui);

        ExpectAutomatic("*", "N");
        t.ui.ExpectMessage(QStringLiteral("LECTURA DE DISCO"));
        ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Automática > Aleatoria"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_TRUE(t.ui.Transcript().contains(QStringLiteral("PROGRESS END 1/2")));
        EXPECT_TRUE(PlanEntries().isEmpty());
        EXPECT_EQ(AgendaBytes(), agenda);
    }
}

// A write-protected agenda is read for the proposed week (week 55 of an empty 104-week agenda, 7 of the
// cycle); the load is refused before the plan takes the machine.
TEST_F(PlanLoadingTest, AWriteProtectedAgendaProposesItsWeekButTheLoadChangesNothing)
{
    StoreMachines({Machine("PRENSA", "Prensa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    StorePlan({Planned("PRENSA", 3)});
    const std::string plan = PlanBytes();
    const std::string agenda = AgendaBytes();
    test::WriteProtect(t.Path(QStringLiteral("PORTAL.CAR")));
    OpenToEveryone("PORTAL.PLN");

    const std::string failures = AsUser([&]() -> std::string {
        Planning(t.ctx).ProposedStartWeek = 0;
        ExpectCode("TORNO");
        ExpectProposedWeek("Torno");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Pláning > Altas > Cargar > Manual"))
            return "the load command failed";
        if (Planning(t.ctx).ProposedStartWeek != 7)
            return "the protected agenda was not read for the proposal";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(PlanBytes(), plan);
    EXPECT_EQ(AgendaBytes(), agenda);
}

// The plan is written by name when the change is stored, not through what was read before the prompts:
// an entry that another program moved is not erased, and a machine it planned meanwhile is not planned
// twice. Either way the agenda stays as it was and the other program's plan is kept.
TEST_F(PlanLoadingTest, APlanChangedByAnotherProgramDuringThePromptsIsNotWrittenOver)
{
    StoreMachines({Machine("PRENSA", "Prensa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("PRENSA", "S", 60), Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    const std::string agenda = AgendaBytes();

    StorePlan({Planned("TORNO", 9)});
    const std::string moved = Bytes(std::vector{Planned("PRENSA", 3), Planned("TORNO", 9)});
    ReplacePlanAtFirstWrite(moved);
    ExpectCode("TORNO");
    t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :TORNO  9"), true);
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanBytes(), moved);
    EXPECT_EQ(AgendaBytes(), agenda);

    StorePlan({Planned("PRENSA", 3)});
    const std::string loaded = Bytes(std::vector{Planned("PRENSA", 3), Planned("TORNO", 20)});
    ReplacePlanAtFirstWrite(loaded);
    ExpectCode("TORNO");
    ExpectWeek("Torno", "9");
    t.ui.ExpectMessage(QStringLiteral("NO PUEDE DARSE DE ALTA POR EXISTIR YA EN PLANING"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanBytes(), loaded);
    EXPECT_EQ(AgendaBytes(), agenda);
}

// ---- The routine commands and the plan --------------------------------------------------------------

// A planned machine leaves the plan while its routine changes and comes back at its start week with the
// minutes of the routine as it now is: unloading it afterwards gives back the agenda of before.
TEST_F(PlanLoadingTest, ARoutineChangeKeepsThePlannedMachineAtItsStartWeek)
{
    const QString card = QStringLiteral("FICHA OPERACIONES DE REVISIÓN GAMAS MANTENIMIENTO PREVENTIVO");
    StoreMachines({Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30), Op("TORNO", "S", 60)});
    StoreAgenda(Agenda(104));
    const std::string empty = AgendaBytes();
    ExpectCode("TORNO");
    ExpectWeek("Torno", "9");
    t.ui.ExpectMessage(QStringLiteral("MÁQUINA TORNO CARGADA EN PLANING DESDE LA SEMANA 9: 24 SEMANAS CARGADAS"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));

    t.ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("TORNO"));
    t.ui.ExpectCard(card)
        .Set(QStringLiteral("TiempoGM"), QStringLiteral("45"))
        .Press(QStringLiteral("Button1"));
    t.ui.ExpectCard(card).Press(QStringLiteral("BitBtn1"));
    ExpectProposedWeek("Torno");
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@9")});
    EXPECT_EQ(PlannedMinutes(8, 13), (std::vector<int>{0, 105, 0, 0, 0, 45}));

    // An add series that ends normally brings the machine back once the routine is saved in order.
    t.ui.ExpectInput(QStringLiteral("ALTA OPRACIONES DE REVISION"),
                     QStringLiteral("Entrar Código de Máquina"), QStringLiteral("TORNO"));
    t.ui.ExpectCard(card)
        .Set(QStringLiteral("FercGM"), QStringLiteral("1S"))
        .Set(QStringLiteral("TiempoGM"), QStringLiteral("5"))
        .Press(QStringLiteral("Button1"));
    t.ui.ExpectCard(card).Press(QStringLiteral("BitBtn1"));
    ExpectProposedWeek("Torno");
    ASSERT_TRUE(RunMenu("Gamas > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@9")});
    EXPECT_EQ(PlannedMinutes(8, 13), (std::vector<int>{0, 110, 5, 5, 5, 50}));

    ExpectCode("TORNO");
    t.ui.ExpectOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :TORNO  9"), true);
    ASSERT_TRUE(RunMenu("Pláning > Altas > Descargar > Manual"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(AgendaBytes(), empty);
}

// The week a machine comes back at after its routine changed is asked until it is one of the plan's:
// the routine is saved by then, and the machine must not stay out of the plan. Cancel keeps its week.
TEST_F(PlanLoadingTest, AMistypedReloadWeekIsAskedAgain)
{
    const QString card = QStringLiteral("FICHA OPERACIONES DE REVISIÓN GAMAS MANTENIMIENTO PREVENTIVO");
    StoreMachines({Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    ExpectCode("TORNO");
    ExpectWeek("Torno", "9");
    t.ui.ExpectMessage(QStringLiteral("MÁQUINA TORNO CARGADA EN PLANING DESDE LA SEMANA 9: 24 SEMANAS CARGADAS"));
    ASSERT_TRUE(RunMenu("Pláning > Altas > Cargar > Manual"));

    t.ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("TORNO"));
    t.ui.ExpectCard(card)
        .Set(QStringLiteral("TiempoGM"), QStringLiteral("45"))
        .Press(QStringLiteral("Button1"));
    ExpectWeek("Torno", "999");
    t.ui.ExpectMessage(QStringLiteral("SEMANA 999 FUERA DEL PLANING: 0 A 103"));
    ExpectWeek("Torno", "-1");
    t.ui.ExpectMessage(QStringLiteral("SEMANA -1 FUERA DEL PLANING: 0 A 103"));
    ExpectWeek("Torno", "1a");
    t.ui.ExpectMessage(QStringLiteral("FORMATO NUMERICO"));
    ExpectProposedWeek("Torno");
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@9")});
    EXPECT_EQ(PlannedMinutes(8, 13), (std::vector<int>{0, 45, 0, 0, 0, 45}));

    // A valid week after a wrong one is taken.
    t.ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("TORNO"));
    t.ui.ExpectCard(card)
        .Set(QStringLiteral("TiempoGM"), QStringLiteral("50"))
        .Press(QStringLiteral("Button1"));
    ExpectWeek("Torno", "104");
    t.ui.ExpectMessage(QStringLiteral("SEMANA 104 FUERA DEL PLANING: 0 A 103"));
    ExpectWeek("Torno", "10");
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@10")});
    EXPECT_EQ(PlannedMinutes(8, 14), (std::vector<int>{0, 0, 50, 0, 0, 0, 50}));
}

// When the plan cannot let a machine go (here its minutes have no agenda to come off), its routine cannot
// be changed and it stays planned.
TEST_F(PlanLoadingTest, ARoutineOfAMachineThePlanKeepsIsNotChanged)
{
    const QString card = QStringLiteral("FICHA OPERACIONES DE REVISIÓN GAMAS MANTENIMIENTO PREVENTIVO");
    StoreMachines({Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30)});
    StorePlan({Planned("TORNO", 9)});
    const std::string operations = t.ReadFile(QStringLiteral("PORTAL.OPR"));

    t.ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("TORNO"));
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    t.ui.ExpectCard(card)
        .ExpectDisabled(QStringLiteral("Button1"))
        .ExpectDisabled(QStringLiteral("Button2"))
        .Press(QStringLiteral("Impresion"));
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PlanEntries(), QStringList{QStringLiteral("TORNO@9")});
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OPR")), operations);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.CAR")));
}

} // namespace
} // namespace gim
