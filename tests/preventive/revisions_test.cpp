#include "preventive/revisions.h"
#include "preventive_fixture.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"

namespace gim {
namespace {

using namespace std::string_literals;

const QString kCard = QStringLiteral("Historial Mto. Preventivo");

// The environment's plan covers 2025 and 2026 (PlanWeeks 104); two machines.
class RevisionsTest : public test::PreventiveTest
{
protected:
    RevisionsTest() { StoreMachines({Machine("01-001", "Prensa"), Machine("02-002", "Torno")}); }

    static TRevisionRecord Rev(const char* code, std::uint16_t week, const char* state = "E",
                               std::uint16_t time = 30, const char* frequency = "M",
                               const char* executor = "B2", const char* comment = "..")
    {
        TRevisionRecord r{};
        r.MachineCode = code;
        r.Frequency = frequency;
        r.State = state;
        r.Executor = executor;
        r.Week = week;
        r.Time = time;
        r.Comment = comment;
        return r;
    }
    void StoreHistory(const std::vector<TRevisionRecord>& records)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.HRC"), records);
    }
    std::string History() const { return t.ReadFile(QStringLiteral("PORTAL.HRC")); }
    // "code@week" of every record of the history, in file order.
    QStringList HistoryWeeks()
    {
        QStringList out;
        for (const TRevisionRecord& r :
             LoadRecords<TRevisionRecord>(t.ctx, QStringLiteral("PORTAL.HRC"), false))
            out << r.MachineCode.str() + QLatin1Char('@') + QString::number(r.Week.get());
        return out;
    }
    void AskCode(const char* code)
    {
        t.ui.ExpectInput(QStringLiteral("HISTORIAL REVISIONES"), QStringLiteral("Entrar Codigo"),
                         QString::fromLatin1(code));
    }
};

// One annotated record: a short string is its length byte and its characters, the rest zero.
std::string RecordBytes(std::initializer_list<std::pair<int, std::string>> parts, std::size_t size)
{
    std::string bytes(size, '\0');
    for (const auto& [offset, text] : parts)
        bytes.replace(static_cast<std::size_t>(offset), text.size(), text);
    return bytes;
}

// ---- Adding by hand ------------------------------------------------------------------------------------

TEST_F(RevisionsTest, APendingRevisionWithoutCommentIsStoredAsUnjustifiedAndCreatesTheFile)
{
    AskCode("01-001");
    t.ui.ExpectCard(kCard)
        .ExpectValue("Maquina", "Prensa")
        .ExpectValue("anyo", "2025")
        .ExpectValue("descripcion", "..")
        .Set("frecuencia", "M")
        .ExpectValue("Label9", "Mensual")
        .Set("estado", "P")
        .ExpectValue("Label10", "Pendiente")
        .Set("semana", "10")
        .Set("anyo", "2026")
        .Set("tiempo", "45")
        .Set("ejecutor", "B2")
        .ExpectValue("Label1", "NO EXISTE LA PERSONA")
        .Press("SALVAR1");
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
    EXPECT_SCRIPT_DONE(t.ui);

    // Week 10 of 2026 is week 62 of a plan starting in 2025.
    EXPECT_EQ(History(), RecordBytes({{0, "\x06"
                                          "01-001"},
                                      {9, "\x01M"},
                                      {12, "\x01P"},
                                      {15, "\x02"
                                           "B2"},
                                      {32, "\x3e\x00\x2d\x00"s},
                                      {36, "\x18Pendiente sin justificar"}},
                                     168));
    // The record that created the file leaves nothing to sort.
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.HBK")));
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
}

TEST_F(RevisionsTest, AnExecutedRevisionKeepsItsBlankCommentAndAnAppendSetsTheSortGoing)
{
    StoreHistory({Rev("02-002", 70)});
    AskCode("01-001");
    t.ui.ExpectCard(kCard).Set("frecuencia", "S").Set("semana", "3").Set("anyo", "2026").Press("SALVAR1");
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
    EXPECT_SCRIPT_DONE(t.ui);
    // Appended, then the rewrite put the newer week 70 first; the twin is the file before it.
    EXPECT_EQ(HistoryWeeks(), (QStringList{"02-002@70", "01-001@55"}));
    const std::vector<TRevisionRecord> stored =
        LoadRecords<TRevisionRecord>(t.ctx, QStringLiteral("PORTAL.HRC"), false);
    EXPECT_EQ(stored[1].Comment.str(), "..");
    EXPECT_EQ(stored[1].State.str(), "E");
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.HBK")).substr(168), History().substr(168));
}

struct WeekCase
{
    const char* year;
    const char* week;
    bool accepted;
};

TEST_F(RevisionsTest, OnlyWeeksInsideThePlanAreAccepted)
{
    // Week 52 of 2026 is the plan's last week (PlanWeeks); a week of a year before the plan wraps round
    // in 16 bits and is refused as well.
    for (const WeekCase c : {WeekCase{"2026", "52", true}, WeekCase{"2027", "1", false},
                             WeekCase{"2024", "30", false}, WeekCase{"2025", "53", true}}) {
        QFile::remove(t.Path(QStringLiteral("PORTAL.HRC")));
        AskCode("01-001");
        t.ui.ExpectCard(kCard)
            .Set("frecuencia", "M")
            .Set("semana", QString::fromLatin1(c.week))
            .Set("anyo", QString::fromLatin1(c.year))
            .Press("SALVAR1");
        if (!c.accepted)
            t.ui.ExpectMessage(QStringLiteral("SEMANA FUERA DE PLANING\rANULADA ALTA"));
        ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.Exists(QStringLiteral("PORTAL.HRC")), c.accepted) << c.year << "/" << c.week;
        EXPECT_EQ(t.ctx.st.CardSaved, c.accepted ? 1 : 0);
    }
    // Week 53 of 2025 is week 00 of 2026, as its week code names it: the plan week after 51 of 2025.
    EXPECT_EQ(HistoryWeeks(), QStringList{"01-001@52"});
}

TEST_F(RevisionsTest, AValueOfTheWrongKindKeepsTheCardOpenAsTypedAndStoresNothing)
{
    StoreHistory({Rev("02-002", 70)});
    const std::string before = History();
    const char* minutes = "TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS";
    const std::array<std::array<const char*, 3>, 6> cases{
        {{"tiempo", "70000", minutes},
         {"tiempo", "abc", minutes},
         {"tiempo", "-5", minutes},
         {"semana", "", "VALOR NO VÁLIDO EN SEMANA: UNA SEMANA DE 0 A 53"},
         {"anyo", "1999", "VALOR NO VÁLIDO EN AÑO: UN NÚMERO ENTERO DE 2000 A 2099"},
         {"frecuencia", "XX",
          "VALOR NO VÁLIDO EN FRECUENCIA: UNO DE LOS CÓDIGOS .., 1D, 1S, 2S, M, M2, M3, M4, S, S2, S4, TF"}}};
    for (const auto& [field, value, message] : cases) {
        AskCode("01-001");
        t.ui.ExpectCard(kCard)
            .Set("frecuencia", "M")
            .Set(field, value)
            .Press("SALVAR1")
            .ExpectValue(field, value)
            .Press("BitBtn1");
        t.ui.ExpectMessage(QString::fromUtf8(message));
        ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(History(), before) << field << " " << value;
    }
}

TEST_F(RevisionsTest, AnUnknownMachineOrNoCodeSavesNothing)
{
    AskCode("09-009");
    t.ui.ExpectMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
    AskCode("#");
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
    AskCode("01-001");
    t.ui.ExpectCard(kCard).Set("semana", "10").Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.HRC")));
}

// &Reparar hands a pending repair over; no revision was done, so the history gets nothing.
TEST_F(RevisionsTest, RepairAppendsOnlyThePendingRepair)
{
    StoreRecords(t.ctx, QStringLiteral("PORTAL.SEM"), std::vector<TPlannedRepairRecord>{});
    AskCode("02-002");
    t.ui.ExpectCard(kCard).Set("descripcion", "ignorado").Press("Reparar");
    t.ui.ExpectInput(QStringLiteral("REPARACIONES PENDIENTES"), QStringLiteral("DESCRIPCION TRABAJOS"),
                     QStringLiteral("Cambiar correa"));
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
    EXPECT_SCRIPT_DONE(t.ui);

    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.HRC")));
    // Code, no order, week PlanWeeks (104), speciality "..", description, 0 minutes, state "P", executor.
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.SEM")), RecordBytes({{0, "\x06"
                                                                         "02-002"},
                                                                     {18, "\x68\x00"s},
                                                                     {20, "\x02.."},
                                                                     {23, "\x0e"
                                                                          "Cambiar correa"},
                                                                     {156, "\x01P"},
                                                                     {159, "\x0a"
                                                                           "A DESIGNAR"}},
                                                                    184));
    EXPECT_EQ(t.ctx.st.CardSaved, 1);

    // Without a planned-repair file nothing is written, nor shown.
    QFile::remove(t.Path(QStringLiteral("PORTAL.SEM")));
    AskCode("02-002");
    t.ui.ExpectCard(kCard).Press("Reparar");
    t.ui.ExpectInput(QStringLiteral("REPARACIONES PENDIENTES"), QStringLiteral("DESCRIPCION TRABAJOS"),
                     QStringLiteral("Otra"));
    ASSERT_TRUE(RunMenu("Historial MP > Altas > Selectiv"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.SEM")));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.HRC")));
}

// Leaving the state as "RP" runs the planned repairs' add in mode "1"; the card's codes and the
// history's re-sort flag come back afterwards.
TEST_F(RevisionsTest, RpRunsThePendingRepairAddWithTheCodesKept)
{
    QString seenMode;
    registry.Register(Op::NewPlannedRepair, [&](Context& c) {
        seenMode = c.st.ActionCode;
        c.st.ContinueFlag = 0;
    });
    t.ctx.st.ActionCode = QStringLiteral("0");
    t.ctx.st.ContinueFlag = 1;
    AskCode("01-001");
    t.ui.ExpectCard(kCard).Set("estado", "RP").Set("semana", "4").Press("BitBtn1");
    NewRevision(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(seenMode, "1");
    EXPECT_EQ(t.ctx.st.ActionCode, "0");
    EXPECT_EQ(t.ctx.st.ContinueFlag, 1);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.HRC")));
}

// ---- Browsing, editing and deleting ----------------------------------------------------------------------

TEST_F(RevisionsTest, ABrowsedWeek52ShowsWeek0OfTheNextYearAndSavesTheSameWeek)
{
    const std::vector<TRevisionRecord> stored{Rev("01-001", 104, "E", 30), Rev("02-002", 60),
                                              Rev("02-002", 104, "P", 15)};
    StoreHistory(stored);
    t.ui.ExpectCard(kCard)
        .ExpectValue("codigo", "")
        .ExpectValue("anyo", "2026")
        .ExpectValue("frecuencia", "*")
        .Set("codigo", "*")
        .Set("anyo", "2027")
        .Set("semana", "0")
        .Press("SALVAR1");
    // Each record of exactly that week, in file order.
    t.ui.ExpectCard(kCard)
        .ExpectValue("codigo", "01-001")
        .ExpectValue("semana", "0")
        .ExpectValue("anyo", "2027")
        .ExpectValue("tiempo", "30")
        .Set("tiempo", "90")
        .Set("descripcion", "Cambio de aceite")
        .Press("SALVAR1");
    t.ui.ExpectCard(kCard).ExpectValue("codigo", "02-002").ExpectValue("estado", "P").Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Historial MP > Edicion"));
    EXPECT_SCRIPT_DONE(t.ui);

    TRevisionRecord changed = stored[0];
    changed.Time = 90;
    changed.Comment = "Cambio de aceite";
    // The twin holds the edited file; the rewrite put the later 104 in front of the equal head.
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.HBK")), Bytes(std::vector{changed, stored[1], stored[2]}));
    EXPECT_EQ(History(), Bytes(std::vector{stored[2], changed, stored[1]}));
}

TEST_F(RevisionsTest, ADeleteAnsweredOtherThanSChangesNoByteAndSErases)
{
    const std::vector<TRevisionRecord> stored{Rev("01-001", 60), Rev("01-001", 61), Rev("02-002", 60)};
    StoreHistory(stored);
    const std::string before = History();
    const auto search = [&] {
        t.ui.ExpectCard(kCard)
            .Set("codigo", "01-001")
            .Set("anyo", "2026")
            .Set("semana", "8")
            .Press("SALVAR1");
    };
    search();
    t.ui.ExpectCard(kCard).ExpectValue("codigo", "01-001").Press("Reparar");
    t.ui.ExpectInput(QStringLiteral("Prensa"), QStringLiteral("REALMENTE QUIERE BORRAR (S/N)"),
                     QStringLiteral("s"));
    ASSERT_TRUE(RunMenu("Historial MP > Edicion"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(History(), before);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.HBK")));

    search();
    t.ui.ExpectCard(kCard).Press("Reparar");
    t.ui.ExpectInput(QStringLiteral("Prensa"), QStringLiteral("REALMENTE QUIERE BORRAR (S/N)"),
                     QStringLiteral("S"));
    ASSERT_TRUE(RunMenu("Historial MP > Edicion"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(HistoryWeeks(), (QStringList{"01-001@61", "02-002@60"}));
}

TEST_F(RevisionsTest, ASearchForAnUnknownMachineShowsItsNameText)
{
    StoreHistory({Rev("01-001", 60)});
    t.ui.ExpectCard(kCard).Set("codigo", "07-007").Press("SALVAR1");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu("Historial MP > Edicion"));
    // Si&gue reads no filter: the empty code names no machine either.
    t.ui.ExpectCard(kCard).Press("Reparar");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu("Historial MP > Edicion"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RunFlag, 0);
}

// ---- The sorting rewrite ----------------------------------------------------------------------------------

TEST_F(RevisionsTest, TheSortingRewriteOrdersNewestFirstDropsErasedAndKeepsTheOldFileAsTwin)
{
    std::vector<TRevisionRecord> stored{Rev("A", 10), Rev("B", 30), Rev("Z", 20),
                                        Rev("C", 30), Rev("D", 5),  Rev("E", 10)};
    StoreHistory(stored);
    const std::string before = History();
    t.ctx.st.ContinueFlag = 1;
    SortRevisionFile(t.ctx);
    // A week not below the head's goes in front of it; other equal weeks go behind their equals.
    EXPECT_EQ(HistoryWeeks(), (QStringList{"C@30", "B@30", "A@10", "E@10", "D@5"}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.HBK")), before);
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
    QStringList listed;
    for (const RevisionEntry& e : Revisions(t.ctx).RevisionList)
        listed << e.rec.MachineCode.str() + QLatin1Char('#') + QString::number(e.pos);
    EXPECT_EQ(listed, (QStringList{"C#0", "B#1", "A#2", "E#3", "D#4"}));

    // The loaded list keeps the erased records, in the same insertion order.
    StoreHistory(stored);
    LoadRevisionList(t.ctx);
    listed.clear();
    for (const RevisionEntry& e : Revisions(t.ctx).RevisionList)
        listed << e.rec.MachineCode.str() + QLatin1Char('#') + QString::number(e.pos);
    EXPECT_EQ(listed, (QStringList{"C#3", "B#1", "Z#2", "A#0", "E#5", "D#4"}));
}

} // namespace
} // namespace gim

namespace gim {
namespace {

class RevisionListingTest : public RevisionsTest
{
protected:
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }
};

TEST_F(RevisionListingTest, TheListingShowsEachRevisionFromTheWeekOnAndTheTotalInHoursAndMinutes)
{
    StoreHistory({Rev("01-001", 104, "E", 60, "M", "B2", "Engrase"), Rev("02-002", 50, "E", 500),
                  Rev("Z", 70, "E", 500), Rev("02-002", 60, "P", 20, "S", "C3"),
                  Rev("09-009", 53, "ER", 45)});
    t.ui.ExpectCard(kCard)
        .ExpectValue("codigo", "*")
        .ExpectValue("anyo", "2025")
        .ExpectValue("semana", "0")
        .Set("anyo", "2026")
        .Set("semana", "0")
        .Press("SALVAR1");
    t.ui.ExpectReport(QStringLiteral("HISTORIAL PREVENTIVO"));
    ASSERT_TRUE(RunMenu("Historial MP > Consulta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.ListedCount, 3u);
    // Week 104 is week 0 of 2027; an unknown machine is named as such.
    EXPECT_EQ(
        Transcript(),
        QStringLiteral("[HISTORIAL PREVENTIVO]\n"
                       "TABS: 5 50 230 248 260 280 305 330 370 440\n"
                       "{12 b}FABRICA\tHISTORIAL MTO. PREVENTIVO DE PORTAL\t07/12/2026\n"
                       "\n"
                       "{12 u}\tCodig\t   Nombre de la Máquina   \tF\tE\tS\tAño\tTE\tEjecutor\tComentarios\n"
                       "\n"
                       "{8}\t01-001\tPrensa\tM\tE\t0\t2027\t60\tB2\tEngrase\n"
                       "\t02-002\tTorno\tS\tP\t8\t2026\t20\tC3\t..\n"
                       "\t09-009\tNO EXISTE LA MAQUINA\tM\tER\t1\t2026\t45\tB2\t..\n"
                       "\n"
                       "\tTIEMPO TOTAL DE DEDICACIÓN EN MTO PREVENTIVO : 2 Horas 5 min\n"));
}

TEST_F(RevisionListingTest, AMachineCodeListsItsHistoryWhoeverDidIt)
{
    StoreHistory({Rev("01-001", 10, "E", 30, "M", "B2"), Rev("02-002", 20, "E", 40, "M", "B2"),
                  Rev("01-001", 30, "P", 50, "M", "C3")});
    t.ui.ExpectCard(kCard).Set("codigo", "01-001").Set("ejecutor", "B2").Press("SALVAR1");
    t.ui.ExpectReport(QStringLiteral("HISTORIAL PREVENTIVO"));
    ASSERT_TRUE(RunMenu("Historial MP > Consulta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.ListedCount, 2u);
    EXPECT_TRUE(Transcript().endsWith(
        QStringLiteral("\tTIEMPO TOTAL DE DEDICACIÓN EN MTO PREVENTIVO : 1 Horas 20 min\n")));
}

// Nothing to list, no window: the card left, an unknown machine, a week past the plan.
TEST_F(RevisionListingTest, NoWindowWhenThereIsNothingToList)
{
    StoreHistory({Rev("01-001", 10)});
    t.ui.ExpectCard(kCard)
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at("SALVAR1"), "&Buscar");
            EXPECT_TRUE(s.hidden.count("Reparar"));
        })
        .Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Historial MP > Consulta"));
    t.ui.ExpectCard(kCard).Set("codigo", "07-007").Press("SALVAR1");
    ASSERT_TRUE(RunMenu("Historial MP > Consulta"));
    t.ui.ExpectCard(kCard).Set("anyo", "2027").Set("semana", "1").Press("SALVAR1");
    ASSERT_TRUE(RunMenu("Historial MP > Consulta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty());
}

} // namespace
} // namespace gim
