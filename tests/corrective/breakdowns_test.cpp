#include "corrective/breakdown_card.h"
#include "corrective/breakdowns.h"
#include "corrective/breakdowns_fixture.h"
#include "corrective/corrective_operations.h"
#include "corrective/planned_repair_operations.h"
#include "masterdata/personnel.h"
#include "records/record_bytes.h"

#include <QDir>
#include <QFile>

namespace gim {
namespace {

using test::BreakdownsTest;
using Codes = std::vector<std::string>;

// ---- List and file order

TEST_F(BreakdownsTest, AFileInListOrderLoadsIntoTheSameOrderAndAnUnsortedOneAsItsInsertsLeaveIt)
{
    StoreBreakdowns({Breakdown("PRENSA", 20, "a"), Breakdown("PRENSA", 10, "b"), Breakdown("PRENSA", 10, "c"),
                     Breakdown("PRENSA", 5, "d")});
    LoadBreakdownList(t.ctx);
    EXPECT_EQ(ListedDescriptions(), (Codes{"a", "b", "c", "d"}));
    EXPECT_EQ(t.ui.Transcript().join(QLatin1Char('\n')),
              QStringLiteral("PROGRESS [AVANCE CARGA DE DATOS HISTORIAL DE AVERÍAS] 0/4\nPROGRESS END 4/4"));

    // Read from the last: t, then s takes the head, r and q follow t (the head is greater), p goes last.
    StoreBreakdowns({Breakdown("PRENSA", 5, "p"), Breakdown("PRENSA", 10, "q"), Breakdown("PRENSA", 10, "r"),
                     Breakdown("PRENSA", 20, "s"), Breakdown("PRENSA", 10, "t")});
    LoadBreakdownList(t.ctx);
    EXPECT_EQ(ListedDescriptions(), (Codes{"s", "t", "r", "q", "p"}));
    std::vector<std::uint32_t> positions;
    for (const BreakdownEntry& e : Breakdowns(t.ctx).BreakdownList)
        positions.push_back(e.pos);
    EXPECT_EQ(positions, (std::vector<std::uint32_t>{3, 4, 2, 1, 0}));

    // One at a time: a week equal to the head's goes before it, elsewhere after its equals.
    InsertBreakdownByWeek(t.ctx, {Breakdown("PRENSA", 20, "u"), 5});
    InsertBreakdownByWeek(t.ctx, {Breakdown("PRENSA", 10, "v"), 6});
    InsertBreakdownByWeek(t.ctx, {Breakdown("PRENSA", 1, "w"), 7});
    EXPECT_EQ(ListedDescriptions(), (Codes{"u", "s", "t", "r", "q", "v", "p", "w"}));

    FreeBreakdownList(t.ctx);
    EXPECT_TRUE(Breakdowns(t.ctx).BreakdownList.empty());
    // A missing file is an empty list, without a word.
    QFile::remove(t.Path(QStringLiteral("PORTAL.AVR")));
    LoadBreakdownList(t.ctx);
    EXPECT_TRUE(Breakdowns(t.ctx).BreakdownList.empty());
}

TEST_F(BreakdownsTest, TheSortDropsBlankAndDeletedBreakdownsAndKeepsTheOldFileInTheTwin)
{
    const std::vector<TBreakdownRecord> old{Breakdown("PRENSA", 5, "p"), Breakdown("Z", 30, "borrada"),
                                            Breakdown("BOMBA01", 20, "s"), Breakdown("#", 25, "en blanco"),
                                            Breakdown("PRENSA", 20, "t")};
    StoreBreakdowns(old);
    const std::string oldBytes = t.ReadFile(QStringLiteral("PORTAL.AVR"));
    t.ctx.st.ContinueFlag = 1;
    SortBreakdownFile(t.ctx);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.AVK")), oldBytes);
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
    std::vector<std::string> descriptions;
    for (const TBreakdownRecord& r : StoredBreakdowns())
        descriptions.emplace_back(r.Description.bytes());
    // Arriving in file order: s takes the head, t follows it.
    EXPECT_EQ(descriptions, (Codes{"s", "t", "p"}));
    // The list stays loaded with the new file's positions.
    EXPECT_EQ(ListedDescriptions(), (Codes{"s", "t", "p"}));
    EXPECT_EQ(Breakdowns(t.ctx).BreakdownList[2].pos, 2u);
}

TEST_F(BreakdownsTest, TheSortByDayAndMachineOrdersByTheJoinedKeyDescending)
{
    StoreBreakdowns({Breakdown("PRENSA", 5, "1 prensa", "M", 0, 0, 0, "1"),
                     Breakdown("BOMBA01", 5, "3 bomba", "M", 0, 0, 0, "3"),
                     Breakdown("BOMBA01", 5, "1 bomba", "M", 0, 0, 0, "1"),
                     Breakdown("ARIETE", 5, "3 ariete", "M", 0, 0, 0, "3")});
    t.ctx.st.ActionCode = QStringLiteral("2");
    SortBreakdownFile(t.ctx);
    std::vector<std::string> descriptions;
    for (const TBreakdownRecord& r : StoredBreakdowns())
        descriptions.emplace_back(r.Description.bytes());
    EXPECT_EQ(descriptions, (Codes{"3 bomba", "3 ariete", "1 prensa", "1 bomba"}));

    // Nothing to sort before the first breakdown: no file, no twin, no message.
    QFile::remove(t.Path(QStringLiteral("PORTAL.AVR")));
    QFile::remove(t.Path(QStringLiteral("PORTAL.AVK")));
    SortBreakdownFile(t.ctx);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.AVR")));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.AVK")));
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Adding

TEST_F(BreakdownsTest, AWeekTypedOnTheCardIsStoredPastTheYearsOffsetWithTheCardsValues)
{
    t.ui.ExpectCard(kAddCard)
        .ExpectValue("Semana", "50")
        .ExpectValue("ano", "2026")
        .ExpectValue("Dia", "1")
        .ExpectValue("Calendario", "07/12/2026")
        .ExpectDisabled("Button2")
        .Set("Codigo", "BOMBA01")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.caption, QStringLiteral("INTERVENCIONES ACCIDENTALES EN Bomba de agua  "));
        })
        .Set("Semana", "51")
        .Set("Turno", "N")
        .ExpectValue("LabelTurno", "Turno Noche")
        .Set("ESPEC", "LT")
        .ExpectValue("Label", "Incidencia Limp. Técnica")
        .Set("DESCRIPCION", "Rotura de correa")
        .Set("TPARO", "120")
        .Set("TINT", "45")
        .Set("TATRA", "15")
        .Set("PERSON", "2")
        .Click("MDPRD")
        .ExpectValue("MDPRD", "07/12/26-10:05")
        .Set("MDPRD", "")
        .ShiftKey("MDPRD")
        .ExpectValue("MDPRD", "07/12/26-10:05")
        .Set("MDMTO", "03/02/26-6:15")
        .Press("Button1");
    t.ui.ExpectInput(QStringLiteral("ALTA AVERIAS DE MAQUINAS"),
                     QStringLiteral("CONTINUAMOS EL ALTA DE AVERIAS"), QStringLiteral("N"));
    ASSERT_TRUE(RunMenu("Averías > Altas"));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto expected = test::RecordBytes(220)
                              .Text(0, "BOMBA01")           // Code
                              .Raw(10, {0x9B, 0x00})        // Week 51 + (26 - 24) * 52 = 155
                              .Text(12, "1")                // Day: today, a Monday
                              .Text(15, "N")                // Shift
                              .Text(18, "LT")               // Type
                              .Text(21, "Rotura de correa") // Description
                              .Raw(152, {0x2D, 0x00})       // Intervention 45
                              .Raw(154, {0x02, 0x00})       // Operators 2
                              .Raw(156, {0x78, 0x00})       // Stop 120
                              .Raw(158, {0x0F, 0x00})       // Delay 15
                              .Text(160, "03/02/26-6:15")   // NoticeTime
                              .Text(175, "-")               // Officer
                              .Text(190, "07/12/26-10:05")  // RepairStart: stamped now
                              .Text(205, "-");              // ProductionOperator
    const std::vector<TBreakdownRecord> stored = StoredBreakdowns();
    ASSERT_EQ(stored.size(), 1u);
    test::ExpectRecordBytes(stored[0], expected);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.AVK")), t.ReadFile(QStringLiteral("PORTAL.AVR")));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    EXPECT_TRUE(Breakdowns(t.ctx).BreakdownList.empty());
}

TEST_F(BreakdownsTest, TheCalendarGivesWeekYearAndDayTheOfficerIsNamedAndTimesMustFitAWord)
{
    TPersonnelRecord officer{};
    officer.Matricula = "000042";
    officer.Nombre = "Juan";
    officer.Apellidos = QStringLiteral("Martín");
    Personnel(t.ctx).PersonnelList = {{officer, 0}};
    t.ui.ExpectCard(kAddCard)
        .Set("Codigo", "PRENSA")
        .PickDate("Calendario", QDate(2025, 11, 19))
        .Set("OFIC", "000042")
        .ExpectValue("NombreOFIC", "Juan Martín")
        .ExpectValue("Semana", "47")
        .ExpectValue("ano", "2025")
        .ExpectValue("Dia", "3")
        .ExpectDisabled("Semana")
        .Set("OFIC", "*")
        .ExpectValue("NombreOFIC", "Indistinto")
        .Set("OFIC", "000042")
        .Set("TINT", "65536")
        .Press("Button1")
        .Set("TINT", "65535")
        .Press("Button1");
    t.ui.ExpectMessage(QStringLiteral("TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS"));
    t.ui.ExpectInput(QStringLiteral("ALTA AVERIAS DE MAQUINAS"),
                     QStringLiteral("CONTINUAMOS EL ALTA DE AVERIAS"), QStringLiteral("N"));
    ASSERT_TRUE(RunMenu("Averías > Altas"));
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TBreakdownRecord> stored = StoredBreakdowns();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Week.get(), 47 + 52);
    EXPECT_EQ(stored[0].Day.bytes(), "3");
    EXPECT_EQ(stored[0].Officer.bytes(), "000042");
    EXPECT_EQ(stored[0].Intervention.get(), 65535);
}

TEST_F(BreakdownsTest, TwoBreakdownsOfOneWeekAddedInARowAreFiledTheLaterFirst)
{
    t.ui.ExpectCard(kAddCard).Set("Codigo", "PRENSA").Set("DESCRIPCION", "primera").Press("Button1");
    t.ui.ExpectInput(QStringLiteral("ALTA AVERIAS DE MAQUINAS"),
                     QStringLiteral("CONTINUAMOS EL ALTA DE AVERIAS"), QStringLiteral("S"));
    // The next card starts from the last one, in today's week again.
    t.ui.ExpectCard(kAddCard)
        .ExpectValue("Codigo", "PRENSA")
        .ExpectValue("Semana", "50")
        .Set("DESCRIPCION", "segunda")
        .Press("Button1");
    t.ui.ExpectInputCancel(QStringLiteral("ALTA AVERIAS DE MAQUINAS"),
                           QStringLiteral("CONTINUAMOS EL ALTA DE AVERIAS"));
    ASSERT_TRUE(RunMenu("Averías > Altas"));
    EXPECT_SCRIPT_DONE(t.ui);
    std::vector<std::string> descriptions;
    for (const TBreakdownRecord& r : StoredBreakdowns()) {
        descriptions.emplace_back(r.Description.bytes());
        EXPECT_EQ(r.Week.get(), 50 + 104);
    }
    EXPECT_EQ(descriptions, (Codes{"segunda", "primera"}));
}

TEST_F(BreakdownsTest, UnknownMachinesEarlierYearsAndLeftCardsStoreNothing)
{
    // 2023 lies before the plan: its week would wrap round the 16-bit field. The card stays open.
    CardScript& card = t.ui.ExpectCard(kAddCard).Set("Codigo", "NOHAY").Press("Button1");
    card.Set("Codigo", "PRENSA").Set("ano", "2023").Press("Button1").Press("BitBtn1");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    t.ui.ExpectMessage(QStringLiteral("AÑO ANTERIOR AL PRIMER AÑO DEL PLANING"));
    ASSERT_TRUE(RunMenu("Averías > Altas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.AVR")));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
}

TEST_F(BreakdownsTest, TheImportAddsItsOneRecordInItsYearWithoutACard)
{
    State& st = t.ctx.st;
    StoreBreakdowns({Breakdown("PRENSA", 110, "uno")});
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;
    st.WorkYear = 25;
    Breakdowns(t.ctx).BreakdownInput = Breakdown("BOMBA01", 12, "importada");
    AddBreakdowns(t.ctx);
    // Taken: the buffer no longer names a row for the next edit.
    EXPECT_TRUE(Breakdowns(t.ctx).BreakdownInput.Description.empty());
    // Unknown machine: nothing, and no word to the user.
    Breakdowns(t.ctx).BreakdownInput = Breakdown("NOHAY", 12, "perdida");
    AddBreakdowns(t.ctx);
    // A year before the plan: refused.
    st.WorkYear = 23;
    Breakdowns(t.ctx).BreakdownInput = Breakdown("BOMBA01", 12, "antigua");
    t.ui.ExpectMessage(QStringLiteral("AÑO ANTERIOR AL PRIMER AÑO DEL PLANING"));
    AddBreakdowns(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);

    const std::vector<TBreakdownRecord> stored = StoredBreakdowns();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[1].Description.bytes(), "importada");
    EXPECT_EQ(stored[1].Week.get(), 12 + 52);
    EXPECT_EQ(st.ContinueFlag, 1);
}

TEST_F(BreakdownsTest, ThePhotoBoxNamesTheFirstFreePhotoOfTheMachineInTheBreakdownFolder)
{
    ASSERT_TRUE(QDir(data).mkpath(QStringLiteral("Averias/portal")));
    for (const char* name : {"BOMBA01#1.jpg", "BOMBA01#2.jpg", "BOMBA01#4.jpg"}) {
        QFile f(data + QStringLiteral("/Averias/portal/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    AssignBreakdownPhoto(t.ctx, QStringLiteral("BOMBA01"));
    EXPECT_EQ(t.ctx.st.PhotoFileName, QStringLiteral("BOMBA01#3.jpg"));
    EXPECT_EQ(t.ctx.st.CurrentSubFolder, QStringLiteral("\\AVERIAS\\PORTAL\\"));
    AssignBreakdownPhoto(t.ctx, QStringLiteral("A/B"));
    EXPECT_EQ(t.ctx.st.PhotoFileName, QStringLiteral("A_B#1.jpg"));
}

// ---- Editing

TEST_F(BreakdownsTest, ADeletionAfterAnImportAppendMarksTheRecordWhereItLiesInTheFile)
{
    State& st = t.ctx.st;
    StoreBreakdowns({Breakdown("BOMBA01", 110, "uno"), Breakdown("PRENSA", 105, "dos")});
    // The import appends a later week without sorting: list and file now disagree.
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;
    st.WorkYear = 26;
    Breakdowns(t.ctx).BreakdownInput = Breakdown("BOMBA01", 16, "tres");
    AddBreakdowns(t.ctx);
    st.ActionCode.clear();
    st.InteractiveFlag = 1;
    const std::vector<TBreakdownRecord> before = StoredBreakdowns();
    ASSERT_EQ(before.size(), 3u);

    const QString editCard = QStringLiteral("AVERIAS EN * AÑO: 2026");
    t.ui.ExpectCard(kAddCard)
        .ExpectValue("Codigo", "*")
        .ExpectValue("Semana", "0")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.caption, QStringLiteral("INDISTINTA  ")); })
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Button1")), QStringLiteral("&Buscar"));
            EXPECT_TRUE(s.hidden.count(QStringLiteral("Button2")));
        })
        .Press("Button1");
    t.ui.ExpectCard(editCard).ExpectValue("DESCRIPCION", "tres").ExpectDisabled("Codigo").Press("Button1");
    t.ui.ExpectCard(editCard).ExpectValue("DESCRIPCION", "uno").ExpectValue("Semana", "6").Press("Button2");
    t.ui.ExpectCard(editCard).ExpectValue("DESCRIPCION", "dos").Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Averías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);

    // The second listed breakdown is the file's first record: "Z" goes there, not to record 1.
    EXPECT_EQ(StoredCodes(), (Codes{"Z", "PRENSA", "BOMBA01"}));
    const std::vector<TBreakdownRecord> after = StoredBreakdowns();
    TBreakdownRecord expectedFirst = before[0];
    expectedFirst.Code = "Z";
    EXPECT_EQ(std::memcmp(&after[0], &expectedFirst, sizeof(TBreakdownRecord)), 0);
    EXPECT_EQ(std::memcmp(&after[1], &before[1], sizeof(TBreakdownRecord)), 0);
    EXPECT_EQ(std::memcmp(&after[2], &before[2], sizeof(TBreakdownRecord)), 0);
    // The edit lists no re-sort: the deletion waits for the next one.
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.AVK")));
}

TEST_F(BreakdownsTest, AnEditIsCheckedAgainstTheBreakdownsOwnMachine)
{
    StoreBreakdowns({Breakdown("GONE", 110, "sin maquina"), Breakdown("PRENSA", 105, "prensa")});
    const std::string before = t.ReadFile(QStringLiteral("PORTAL.AVR"));
    const QString editCard = QStringLiteral("AVERIAS EN * AÑO: 2026");
    t.ui.ExpectCard(kAddCard).Press("Button1");
    t.ui.ExpectCard(editCard).Set("TINT", "99").Press("Button1");
    t.ui.ExpectMessage(QStringLiteral("FALTA CÓDIGO DE CUENTA"));
    t.ui.ExpectMessage(QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS "
                                      "INADECUADOS\rGONE NO EXISTE LA MAQUINA"));
    t.ui.ExpectCard(editCard).Set("TINT", "77").Set("Semana", "2").Press("Button1");
    ASSERT_TRUE(RunMenu("Averías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);

    const std::vector<TBreakdownRecord> stored = StoredBreakdowns();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.AVR")).substr(0, 220), before.substr(0, 220));
    EXPECT_EQ(stored[1].Intervention.get(), 77);
    EXPECT_EQ(stored[1].Week.get(), 2 + 104);
}

TEST_F(BreakdownsTest, LeavingTheSearchCardEndsTheEditSilentlyAndAMissingFileIsReported)
{
    StoreBreakdowns({Breakdown("PRENSA", 110, "uno")});
    t.ui.ExpectCardCancel(kAddCard);
    ASSERT_TRUE(RunMenu("Averías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);

    // A search for a machine only walks its breakdowns, from the week asked for.
    StoreBreakdowns({Breakdown("PRENSA", 110, "uno"), Breakdown("BOMBA01", 110, "dos"),
                     Breakdown("PRENSA", 100, "tres")});
    t.ui.ExpectCard(kAddCard).Set("Codigo", "PRENSA").Set("Semana", "5").Press("Button1");
    t.ui.ExpectCard(QStringLiteral("AVERIAS EN Prensa grande AÑO: 2026"))
        .ExpectValue("DESCRIPCION", "uno")
        .Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Averías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);

    QFile::remove(t.Path(QStringLiteral("PORTAL.AVR")));
    t.ui.ExpectCard(kAddCard).Press("Button1");
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Averías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.AVR")));
}

// 29/12/2026 lies in week 53, week 0 of 2027 by its week code: filed and listed there.
TEST_F(BreakdownsTest, ABreakdownOfWeek53IsFiledAndListedInTheYearItsWeekCodeNames)
{
    t.clock.Set(QDateTime(QDate(2026, 12, 29), QTime(9, 0)));
    t.ui.ExpectCard(kAddCard).ExpectValue("ano", "2027").Set("Codigo", "PRENSA").Press("Button1");
    t.ui.ExpectInputCancel("ALTA AVERIAS DE MAQUINAS", "CONTINUAMOS EL ALTA DE AVERIAS");
    t.ui.ExpectDateRange(QDate(2026, 12, 28), QDate(2026, 12, 31));
    t.ui.ExpectCard(kAddCard).Press("Button1");
    t.ui.ExpectReport("AVERIAS");
    ASSERT_TRUE(RunMenu("Averías > Altas") && RunMenu("Averías > Consulta"));
    EXPECT_EQ(StoredBreakdowns().at(0).Week.get(), 156); // week 0 + (27 - 24) * 52
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t-\t\t0/27\t\n")));
}

// Each kind of value the corrective cards cannot hold is refused, the card kept open and nothing stored.
TEST_F(BreakdownsTest, TheCorrectiveCardsRefuseWhatTheirFieldsCannotHold)
{
    RegisterPlannedRepairs(registry, t.ctx);
    RegisterCorrective(registry, t.ctx);
    StoreBreakdowns({Breakdown("PRENSA", 150)});
    const char* menus[] = {"Averías > Altas", "Reparaciones > Consulta > Selectiva",
                           "Reparaciones > Altas > Pendiente", "OT/Prspuestos > Altas > OrdenT"};
    const QStringList cards{kAddCard, "REPARACIONES PLANIFICADAS SEMANAL",
                            "REPARACION PLANIFICADA DE MÁQUINA :", "FICHA DE ORDENES DE TRABAJO"};
    const std::vector<std::tuple<int, const char*, const char*, const char*>> rows{
        {0, "TPARO", "abc", "TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS"},
        {0, "PERSON", "70000", "VALOR NO VÁLIDO EN OPERARIOS: UN NÚMERO ENTERO DE 0 A 65535"},
        {0, "ano", "", "VALOR NO VÁLIDO EN AÑO: UN NÚMERO ENTERO DE 2000 A 2099"},
        {1, "Semana", "-5", "VALOR NO VÁLIDO EN SEMANA: UNA SEMANA DE 0 A 53"},
        {2, "Codigo", "NOEXISTE", " CODIGO DE MAQUINA NO ENCONTRADO"},
        {3, "HoraAlta", "ab:cd", "VALOR NO VÁLIDO EN HORA AVISO: UNA HORA hh:mm DE 00:00 A 23:59"},
        {3, "CalenAper", "31/02/2026", "VALOR NO VÁLIDO EN FECHA ALTA: UNA FECHA DEL CALENDARIO dd/mm/aaaa"},
    };
    for (const auto& [c, field, typed, message] : rows) {
        const QString file = c == 0 ? "PORTAL.AVR" : c == 3 ? "PORTAL.OTR" : "PORTAL.SEM";
        const std::string before = t.ReadFile(file);
        CardScript& card = t.ui.ExpectCard(cards[c]).Set(field, typed);
        card.Press(c ? "Salvar" : "Button1").ExpectFocus(field).Escape();
        t.ui.ExpectMessage(message);
        if (c == 3)
            t.ui.ExpectMessage("NO EXISTE LA MAQUINA ANULADA ALTA OT");
        ASSERT_TRUE(RunMenu(menus[c]));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.ReadFile(file), before) << field;
    }
}

} // namespace
} // namespace gim
