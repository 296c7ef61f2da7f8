#include "core/startup.h"
#include "corrective/planned_repair_card.h"
#include "corrective/planned_repairs.h"
#include "corrective/planned_repairs_fixture.h"
#include "records/record_bytes.h"
#include "records/work_order_record.h"

#include <QFile>
#include <QFileInfo>

namespace gim {
namespace {

using test::PlannedRepairsTest;
using Texts = std::vector<std::string>;

// ---- List and file order

TEST_F(PlannedRepairsTest, TheListLoadsByWeekWithANewcomerEqualToTheHeadBecomingTheHead)
{
    StoreRepairs({Repair("PRENSA", 10, "a"), Repair("PRENSA", 20, "b"), Repair("PRENSA", 10, "c"),
                  Repair("PRENSA", 20, "d")});
    LoadPlannedRepairs(t.ctx);
    // a; b heads; c goes after its equal a; d equals the head b and takes its place.
    EXPECT_EQ(ListedDescriptions(), (Texts{"d", "b", "a", "c"}));
    EXPECT_EQ(PlannedRepairs(t.ctx).PlannedRepairList[0].pos, 3u);

    InsertPlannedRepairByWeek(t.ctx, {Repair("PRENSA", 20, "e"), 4});
    InsertPlannedRepairByWeek(t.ctx, {Repair("PRENSA", 15, "f"), 5});
    InsertPlannedRepairByWeek(t.ctx, {Repair("PRENSA", 1, "g"), 6});
    EXPECT_EQ(ListedDescriptions(), (Texts{"e", "d", "b", "f", "a", "c", "g"}));

    FreePlannedRepairList(t.ctx);
    EXPECT_TRUE(PlannedRepairs(t.ctx).PlannedRepairList.empty());
    InsertPlannedRepairByCode(t.ctx, {Repair("BOMBA01", 1, "h"), 0});
    InsertPlannedRepairByCode(t.ctx, {Repair("PRENSA", 1, "i"), 1});
    InsertPlannedRepairByCode(t.ctx, {Repair("PRENSA", 1, "j"), 2});
    InsertPlannedRepairByCode(t.ctx, {Repair("ARIETE", 1, "k"), 3});
    EXPECT_EQ(ListedDescriptions(), (Texts{"j", "i", "h", "k"}));
}

// Queued repairs are found in their places at once and stand there once settled.
TEST_F(PlannedRepairsTest, QueuedRepairsTakeTheOrderedInsertsPlaces)
{
    StoreRepairs({Repair("PRENSA", 10, "a"), Repair("PRENSA", 20, "b"), Repair("PRENSA", 10, "c"),
                  Repair("PRENSA", 20, "d")});
    LoadPlannedRepairs(t.ctx);
    const std::vector<std::pair<const char*, int>> queued = {{"e", 20}, {"f", 15}, {"g", 1}, {"h", 20},
                                                             {"i", 15}, {"j", 30}, {"k", 10}};
    for (const auto& [text, week] : queued)
        QueuePlannedRepairByWeek(t.ctx, {Repair(week == 15 ? "BOMBA" : "PRENSA", week, text), 9});
    const auto found = [&](const char* code) {
        Texts texts;
        for (const std::uint32_t at : PlannedRepairsOfMachine(t.ctx, QString::fromLatin1(code)))
            texts.push_back(PlannedRepairs(t.ctx).PlannedRepairList[at].rec.Description.str().toStdString());
        return texts;
    };
    EXPECT_EQ(found("PRENSA"), (Texts{"j", "h", "e", "d", "b", "a", "c", "k", "g"}));
    EXPECT_EQ(found("BOMBA"), (Texts{"f", "i"}));
    SettlePlannedRepairList(t.ctx);
    EXPECT_EQ(ListedDescriptions(), (Texts{"j", "h", "e", "d", "b", "f", "i", "a", "c", "k", "g"}));
    EXPECT_EQ(found("BOMBA"), (Texts{"f", "i"}));
}

TEST_F(PlannedRepairsTest, AMissingFileIsCreatedEmptyWithoutAWordWhenTheListLoads)
{
    ASSERT_FALSE(QFileInfo::exists(t.Path(QStringLiteral("PORTAL.SEM"))));
    LoadPlannedRepairs(t.ctx);
    EXPECT_TRUE(PlannedRepairs(t.ctx).PlannedRepairList.empty());
    EXPECT_TRUE(QFileInfo::exists(t.Path(QStringLiteral("PORTAL.SEM"))));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.SEM")), std::string());
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(PlannedRepairsTest, TheSortByWeekAndByCodeDropsDeletedRepairsAndKeepsTheOldFileInTheTwin)
{
    const std::vector<TPlannedRepairRecord> old{Repair("BOMBA01", 10, "a"), Repair("PRENSA", 20, "b"),
                                                Repair("PRENSA", 10, "c"), Repair("ARIETE", 20, "d"),
                                                Repair("Z", 30, "borrada")};
    StoreRepairs(old);
    const std::string oldBytes = t.ReadFile(QStringLiteral("PORTAL.SEM"));
    t.ctx.st.ContinueFlag = 1;
    SortPlannedRepairFile(t.ctx);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.SBK")), oldBytes);
    EXPECT_EQ(StoredDescriptions(), (Texts{"d", "b", "a", "c"}));
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
    EXPECT_TRUE(PlannedRepairs(t.ctx).PlannedRepairList.empty());

    for (const char* mode : {"3", "4"}) {
        StoreRepairs(old);
        t.ctx.st.ActionCode = QString::fromLatin1(mode);
        SortPlannedRepairFile(t.ctx);
        EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.SBK")), oldBytes);
        // Codes descending; the second PRENSA read heads its equal.
        EXPECT_EQ(StoredDescriptions(), (Texts{"c", "b", "a", "d"})) << mode;
    }
}

TEST_F(PlannedRepairsTest, AnAppendCreatesTheFileAndAddsAtItsEnd)
{
    EXPECT_EQ(AppendPlannedRepair(t.ctx, Repair("PRENSA", 5, "primera")), std::optional<std::uint32_t>(0));
    EXPECT_EQ(t.ctx.st.ContinueFlag, 1);
    EXPECT_EQ(AppendPlannedRepair(t.ctx, Repair("BOMBA01", 50, "segunda")), std::optional<std::uint32_t>(1));
    EXPECT_EQ(StoredDescriptions(), (Texts{"primera", "segunda"}));
}

// ---- Adding

TEST_F(PlannedRepairsTest, APendingRepairIsStoredAtPlanWeeksInStatePWithTodayWhateverTheCardSays)
{
    // Two work orders: numbers 0 and 1 name their description, any other is an outside reference.
    std::vector<TWorkOrderRecord> orders(2);
    orders[0].Description = "Fuga de aceite";
    orders[1].Number = 1;
    orders[1].Description = "Ruido en reductora";
    StoreRecords(t.ctx, QStringLiteral("PORTAL.OTR"), orders);
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :"))
        .ExpectValue("Semana", "0")
        .ExpectValue("Ano", "2027")
        .ExpectValue("Estado", "P")
        .ExpectDisabled("Semana")
        .ExpectDisabled("Ano")
        .ExpectDisabled("Estado")
        .ExpectDisabled("Tiempo")
        .Inspect([](const CardState& s) { EXPECT_TRUE(s.hidden.count(QStringLiteral("Sigue"))); })
        .Set("Codigo", "PRENSA")
        .Set("Espec", "MM")
        .ExpectValue("LabelEspec", "REPARACIONES MECANICA con Materiales")
        .Set("Descripcion", "Cambiar rodamiento")
        .Set("Ejecutor", "Luis")
        .Set("Orden", "1")
        .ExpectValue("LabelOrden", "Ruido en reductora")
        .Set("Orden", "2")
        .ExpectValue("LabelOrden", "Referencia Externa")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("ALTA de REPARACION EN  PRENSA"));
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Prensa grande"))
        .ExpectValue("Codigo", "PRENSA")
        .ExpectValue("Descripcion", "")
        .Press("Salir");
    ASSERT_TRUE(RunMenu("Reparaciones > Altas > Pendiente"));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto expected = test::RecordBytes(184)
                              .Text(0, "PRENSA")              // Code
                              .Text(9, "")                    // Order: emptied
                              .Raw(18, {0x9C, 0x00})          // Week: PlanWeeks 156
                              .Text(20, "MM")                 // Specialty
                              .Text(23, "Cambiar rodamiento") // Description
                              .Raw(154, {0x00, 0x00})         // Minutes 0
                              .Text(156, "P")                 // State
                              .Text(159, "07/12/2026");       // Executor: today
    const std::vector<TPlannedRepairRecord> stored = StoredRepairs();
    ASSERT_EQ(stored.size(), 1u);
    test::ExpectRecordBytes(stored[0], expected);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.SBK")), t.ReadFile(QStringLiteral("PORTAL.SEM")));
}

TEST_F(PlannedRepairsTest, ARepairNoticeHasSpecialtyAAndWeekZeroOfTheLastYear)
{
    t.ui.ExpectCard(QStringLiteral("AVISO REPARACION DE MÁQUINA :"))
        .ExpectValue("Semana", "0")
        .ExpectValue("Ano", "2027")
        .ExpectValue("Espec", "A")
        .ExpectValue("Ejecutor", "07/12/2026")
        .ExpectValue("Estado", "P")
        .ExpectValue("LabelEstado", "Pendientes MO")
        .ExpectDisabled("Espec")
        .ExpectDisabled("Ejecutor")
        .ExpectDisabled("Orden")
        .ExpectDisabled("Semana")
        .Set("Codigo", "BOMBA01")
        .Set("Descripcion", "Fuga en el sello")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("ALTA de REPARACION EN  BOMBA01"));
    t.ui.ExpectCard(QStringLiteral("AVISO REPARACION DE MÁQUINA :Bomba de agua")).Press("Salir");
    ASSERT_TRUE(RunMenu("Reparaciones > Altas > Avisos Reparacion"));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto expected = test::RecordBytes(184)
                              .Text(0, "BOMBA01")
                              .Text(9, "")
                              .Raw(18, {0x9C, 0x00}) // Week: week 0 of 2027 = PlanWeeks
                              .Text(20, "A")
                              .Text(23, "Fuga en el sello")
                              .Raw(154, {0x00, 0x00})
                              .Text(156, "P")
                              .Text(159, "07/12/2026");
    const std::vector<TPlannedRepairRecord> stored = StoredRepairs();
    ASSERT_EQ(stored.size(), 1u);
    test::ExpectRecordBytes(stored[0], expected);
}

TEST_F(PlannedRepairsTest, AnUnknownMachineOrALeftCardStoresNothing)
{
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :"))
        .Set("Codigo", "NOHAY")
        .Set("Descripcion", "x")
        .Press("Salvar")
        .Press("Salir");
    t.ui.ExpectMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
    t.ctx.st.ActionCode = QStringLiteral("1");
    NewPlannedRepair(t.ctx);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    EXPECT_SCRIPT_DONE(t.ui);

    // The window closed: nothing to store, nothing to say.
    t.ui.ExpectCardCancel(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :"));
    NewPlannedRepair(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(QFileInfo::exists(t.Path(QStringLiteral("PORTAL.SEM"))));
}

// The week of a card closed with week 60 of the last year: held at PlanWeeks by the add and pending
// edits, kept by the selective edit.
TEST_F(PlannedRepairsTest, AWeekPastTheHorizonIsHeldAtPlanWeeksExceptInTheSelectiveEdit)
{
    const std::vector<std::pair<const char*, int>> cases{{"1", 156}, {"2", 156}, {"3", 156}, {"4", 216}};
    for (const auto& [mode, week] : cases) {
        t.ctx.st.ActionCode = QString::fromLatin1(mode);
        t.ctx.st.InteractiveFlag = 0;
        t.ctx.st.WorkWeek = 60;
        t.ctx.st.WorkYear = 27;
        TPlannedRepairRecord rec = Repair("PRENSA", 0);
        EXPECT_EQ(ShowPlannedRepairCard(t.ctx, rec), CardResult::Save);
        // Mode "2" puts its notice at week 0 of the last year itself.
        EXPECT_EQ(rec.Week.get(), week) << mode;
        EXPECT_EQ(t.ctx.st.ActionCode, QString::fromLatin1(mode));
    }
}

TEST_F(PlannedRepairsTest, TheImportStoresItsRecordWithoutACardAndSaysSo)
{
    t.ctx.st.ActionCode = QStringLiteral("i");
    t.ctx.st.InteractiveFlag = 0;
    t.ctx.st.WorkWeek = 12;
    t.ctx.st.WorkYear = 26;
    PlannedRepairs(t.ctx).PlannedRepairInput = Repair("PRENSA", 0, "Importada", "T", "E", 90, "EXT01", "12");
    NewPlannedRepair(t.ctx);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    const std::vector<TPlannedRepairRecord> stored = StoredRepairs();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Week.get(), 2 * 52 + 12);
    EXPECT_EQ(stored[0].Executor.str(), QStringLiteral("EXT01"));
    EXPECT_EQ(stored[0].Minutes.get(), 90);
    // Taken once: the buffer no longer hands anything over.
    EXPECT_TRUE(PlannedRepairs(t.ctx).PlannedRepairInput.Description.empty());

    // An unknown machine is refused in silence and says nothing was stored.
    PlannedRepairs(t.ctx).PlannedRepairInput = Repair("NOHAY", 0, "Otra");
    NewPlannedRepair(t.ctx);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    EXPECT_EQ(StoredRepairs().size(), 1u);
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Editing

TEST_F(PlannedRepairsTest, BorrarMarksTheNoticeZWhereItWasReadAndTheWalkEndsAtTheEndOfTheFile)
{
    StoreRepairs({Repair("PRENSA", 156, "pendiente"), Repair("BOMBA01", 156, "aviso", "P", "A"),
                  Repair("PRENSA", 100, "otro aviso", "P", "A"),
                  Repair("PRENSA", 156, "aviso hecho", "E", "A")});
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Bomba de agua"))
        .ExpectValue("Descripcion", "aviso")
        .ExpectValue("Semana", "0")
        .ExpectValue("Ano", "2027")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Sigue")), QStringLiteral("&Borrar"));
        })
        .Set("Descripcion", "no se guarda")
        .Press("Sigue");
    t.ui.ExpectMessage(QStringLiteral("FIN DE FICHERO"));
    t.ctx.st.ActionCode = QStringLiteral("B");
    EditPlannedRepairs(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TPlannedRepairRecord> stored = StoredRepairs();
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[1].Code.str(), QStringLiteral("Z"));
    EXPECT_EQ(stored[1].Description.str(), QStringLiteral("aviso"));
    EXPECT_EQ(stored[0].Code.str(), QStringLiteral("PRENSA"));

    // The command re-sorts twice by week: the deleted notice is gone, and each pass turns the two
    // records of week 156 round (the later one read heads its equal).
    t.ui.ExpectMessage(QStringLiteral("FIN DE FICHERO"));
    ASSERT_TRUE(RunMenu("Reparaciones > Edición > Avisos Rep"));
    EXPECT_EQ(StoredDescriptions(), (Texts{"pendiente", "aviso hecho", "otro aviso"}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.SBK")).size(), 3u * 184u);
}

TEST_F(PlannedRepairsTest, PendientesMOSavesInPlaceAndSalirEndsTheWalkWithoutAWord)
{
    StoreRepairs({Repair("PRENSA", 156, "uno"), Repair("BOMBA01", 154, "fuera"),
                  Repair("BOMBA01", 156, "dos"), Repair("PRENSA", 156, "tres")});
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Prensa grande"))
        .ExpectValue("Descripcion", "uno")
        .Set("Descripcion", "uno corregida")
        .Set("Tiempo", "45")
        .Press("Salvar");
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Bomba de agua"))
        .ExpectValue("Descripcion", "dos")
        .Press("Salir");
    t.ctx.st.ActionCode = QStringLiteral("3");
    EditPlannedRepairs(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TPlannedRepairRecord> stored = StoredRepairs();
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[0].Description.str(), QStringLiteral("uno corregida"));
    EXPECT_EQ(stored[0].Minutes.get(), 45);
    EXPECT_EQ(stored[0].Week.get(), 156);
    EXPECT_EQ(stored[2].Description.str(), QStringLiteral("dos"));
}

// A year before the plan's first has no week in the 16-bit field: the card says so and stays open.
TEST_F(PlannedRepairsTest, AYearBeforeThePlanIsRefusedAndTheCardStaysOpen)
{
    StoreRepairs({Repair("PRENSA", 156, "uno")});
    const std::string before = t.ReadFile(QStringLiteral("PORTAL.SEM"));
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Prensa grande"))
        .Set("Ano", "2023")
        .Set("Descripcion", "otra")
        .Press("Salvar")
        .ExpectValue("Descripcion", "otra")
        .Press("Salir");
    t.ui.ExpectMessage(QStringLiteral("AÑO ANTERIOR AL PRIMER AÑO DEL PLANING"));
    t.ctx.st.ActionCode = QStringLiteral("3");
    EditPlannedRepairs(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.SEM")), before);
}

TEST_F(PlannedRepairsTest, AHandedOverRowMatchesOverTheShorterDescriptionAndIsTakenOnce)
{
    StoreRepairs({Repair("PRENSA", 30, ""), Repair("PRENSA", 30, "Pintar"),
                  Repair("PRENSA", 30, "Cambiar correa"), Repair("PRENSA", 31, "Cambiar correa")});
    TPlannedRepairRecord row = Repair("PRENSA", 30, "Cambiar", "P", "M");
    PlannedRepairs(t.ctx).PlannedRepairInput = row;
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Prensa grande"))
        .ExpectValue("Descripcion", "")
        .Press("Sigue");
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Prensa grande"))
        .ExpectValue("Descripcion", "Cambiar correa")
        .ExpectValue("Semana", "30")
        .ExpectValue("Ano", "2024")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("FIN DE FICHERO"));
    t.ctx.st.ActionCode = QStringLiteral("4");
    EditPlannedRepairs(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(StoredRepairs()[0].Code.str(), QStringLiteral("Z"));
    EXPECT_EQ(StoredRepairs()[1].Code.str(), QStringLiteral("PRENSA"));

    // The next Selectiva asks with its search card again.
    t.ui.ExpectCard(QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :Prensa grande"))
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("Sal&var/Buscar"));
        })
        .ExpectValue("Codigo", "*")
        .ExpectValue("Estado", "*")
        .ExpectValue("Semana", "0")
        .ExpectValue("Ano", "2027")
        .Press("Salir");
    EditPlannedRepairs(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Start-up

TEST_F(PlannedRepairsTest, TheStartUpAnnouncesExactlyThisWeeksPendingRepairsAndNoNotice)
{
    StoreRepairs({Repair("PRENSA", 154, "Engrasar guías"), Repair("BOMBA01", 154, "aviso", "P", "A"),
                  Repair("PRENSA", 154, "hecha", "E"), Repair("PRENSA", 153, "semana pasada"),
                  Repair("BOMBA01", 154, "Revisar sello")});
    // Start-up step 9 is ours.
    const auto& steps = t.ctx.Module<StartupSteps>().environmentData;
    ASSERT_EQ(steps.count(9), 1u);
    t.ui.ExpectMessage(QStringLiteral("Reparación Pendiente en : BOMBA01\rRevisar sello"));
    t.ui.ExpectMessage(QStringLiteral("Reparación Pendiente en : PRENSA\rEngrasar guías"));
    LoadEnvironmentData(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(PlannedRepairs(t.ctx).PlannedRepairList.empty());

    // A new environment has no file yet: it is created, and nothing is said.
    QFile::remove(t.Path(QStringLiteral("PORTAL.SEM")));
    steps.find(9)->second(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(QFileInfo::exists(t.Path(QStringLiteral("PORTAL.SEM"))));
}

} // namespace
} // namespace gim
