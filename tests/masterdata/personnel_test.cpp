#include "core/environment.h"
#include "core/lookups.h"
#include "core/startup.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_card.h"
#include "masterdata/personnel_listings.h"
#include "masterdata/personnel_operations.h"
#include "masterdata/routine_operations.h"
#include "masterdata_fixture.h"
#include "platform/report.h"
#include "records/operation_record.h"
#include "support/unprivileged.h"

#include <cerrno>
#include <tuple>

namespace gim {
namespace {

using test::RecordBytes;

const QString kCard = QStringLiteral("FICHA DE DATOS PERSONALES");
// Firm "FABRICA", environment "PORTAL".
const QString kPersonnelFile = QStringLiteral("FABRI_PO.RCH");
const QString kTwinFile = QStringLiteral("FABRIPOR.RCH");
const QString kPriceFile = QStringLiteral("PORTAL.PHR");

class PersonnelTest : public test::MasterdataTest
{
protected:
    PersonnelTest()
    {
        BuildFirmFileNames(t.ctx);
        RegisterPersonnel(registry, t.ctx);
    }

    static TPersonnelRecord Person(const char* code, const char* baja = "..",
                                   const char* surnames = "Garcia Lopez")
    {
        TPersonnelRecord r{};
        r.Matricula = code;
        r.Apellidos = surnames;
        r.Nombre = "Ana";
        r.Calle = "C/ Mayor 1";
        r.Ciudad = "Lleida";
        r.tlf = "973000000";
        r.Ingreso = "01/02/03";
        r.Baja = baja;
        return r;
    }
    static THourPriceRecord Price(const char* code, std::uint16_t normal)
    {
        THourPriceRecord r{};
        r.Matricula = code;
        r.HCONTRATO = normal;
        r.HN = static_cast<std::uint16_t>(normal + 1);
        r.HEX = static_cast<std::uint16_t>(normal + 2);
        r.HEN = static_cast<std::uint16_t>(normal + 3);
        r.HEF = static_cast<std::uint16_t>(normal + 4);
        r.HEC = static_cast<std::uint16_t>(normal + 5);
        r.Fecha = "01/01/2026";
        return r;
    }
    void StorePeople(const std::vector<TPersonnelRecord>& people)
    {
        StoreRecords(t.ctx, kPersonnelFile, people);
    }
    std::string PersonnelBytes() const { return t.ReadFile(kPersonnelFile); }
    std::vector<std::string> ListCodes()
    {
        std::vector<std::string> codes;
        for (const PersonListEntry& e : Personnel(t.ctx).PersonnelList)
            codes.emplace_back(e.rec.Matricula.bytes());
        return codes;
    }
    std::vector<std::uint32_t> ListPositions()
    {
        std::vector<std::uint32_t> positions;
        for (const PersonListEntry& e : Personnel(t.ctx).PersonnelList)
            positions.push_back(e.pos);
        return positions;
    }
    std::vector<std::string> TableCodes()
    {
        std::vector<std::string> codes;
        for (const THourPriceRecord& row : t.ctx.st.HourPriceTable)
            codes.emplace_back(row.Matricula.bytes());
        return codes;
    }
    void ExpectEditPrompt(const char* code)
    {
        t.ui.ExpectInput(QStringLiteral("FICHA PERSONAL"), QStringLiteral("ENTRAR MATRÍCULA"),
                         QString::fromLatin1(code));
    }
    static std::vector<TPersonnelRecord> Reversed(std::vector<TPersonnelRecord> v)
    {
        std::reverse(v.begin(), v.end());
        return v;
    }
};

// ---- New cards -----------------------------------------------------------------------------------------

TEST_F(PersonnelTest, NewCardIsStoredByteForByteAndTheFileSortedThroughTheTwin)
{
    StorePeople({Person("B2"), Person("D4")});
    LoadPersonnel(t.ctx);
    t.ui.ExpectCard(kCard)
        .ExpectValue("Codigo", "#")
        .ExpectValue("Apellidos", "..")
        .ExpectValue("tlf", "..")
        .ExpectValue("Baja", "  /  /  ") // a blank date ("..") shows as the empty mask
        .ExpectDisabled("Baja")
        .ExpectEnabled("BitBtn2")
        .Set("Codigo", "C3")
        .Set("Apellidos", "Pérez Núñez")
        .Set("Nombre", "José")
        .Set("Calle", "Av. Segre 12")
        .Set("Ciudad", "Lleida (Lleida) y más") // cut to 16
        .Set("tlf", "973123456")
        .Set("Ingreso", "15/03/21")
        .Press("salvar");
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto c3 = test::RecordFrom<TPersonnelRecord>(RecordBytes(158)
                                                           .Text(0, "C3")
                                                           .Text(7, "P\xE9rez N\xFA\xF1"
                                                                    "ez")
                                                           .Text(36, "Jos\xE9")
                                                           .Text(53, "Av. Segre 12")
                                                           .Text(102, "Lleida (Lleida) ")
                                                           .Text(119, "973123456")
                                                           .Text(132, "15/03/21")
                                                           .Text(145, ".."));
    EXPECT_EQ(PersonnelBytes(), Bytes(std::vector{Person("B2"), c3, Person("D4")}));
    // The twin holds the cards as they stood, from the last to the first.
    EXPECT_EQ(t.ReadFile(kTwinFile), Bytes(std::vector{c3, Person("D4"), Person("B2")}));
    // Reloaded: list and table follow the sorted file; the new employee is active.
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"B2", "C3", "D4"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(TableCodes(), (std::vector<std::string>{"B2", "C3", "D4"}));
    EXPECT_EQ(t.ctx.st.HourPriceTable[1].Activo, 1);
    EXPECT_EQ(t.ctx.st.ContinueFlag, 1);
    EXPECT_EQ(t.ctx.st.AnswerCode, QStringLiteral("M"));
}

TEST_F(PersonnelTest, NewCardRefusesRepeatedNumbersAndStoresNothingForErasedBlankOrClosedCards)
{
    StorePeople({Person("A1")});
    LoadPersonnel(t.ctx);
    const std::string before = PersonnelBytes();

    t.ui.ExpectCard(kCard).Set("Codigo", "A1").Set("Nombre", "Otra").Press("salvar").Press("BitBtn1");
    t.ui.ExpectMessage(QStringLiteral("MATRÍCULA REPETIDA ANULADA ALTA"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    t.ui.ExpectCard(kCard).Set("Codigo", "Z").Press("salvar");
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    t.ui.ExpectCard(kCard).Press("salvar"); // "#" left on the card
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    t.ui.ExpectCard(kCard).Set("Codigo", "E5").Press("BitBtn2");
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    t.ctx.st.RunFlag = 1;
    t.ui.ExpectCard(kCard).Set("Codigo", "E6").Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    EXPECT_EQ(t.ctx.st.RunFlag, 0);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PersonnelBytes(), before);
}

// A photo chosen on a refused card used to replace the photo of the employee who has the number.
TEST_F(PersonnelTest, PhotoIsImportedOnlyAfterTheCardIsStored)
{
    StorePeople({Person("A1")});
    LoadPersonnel(t.ctx);
    const QString folder = data + QStringLiteral("/PERSONAL/PORTAL");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString oldPhoto = folder + QStringLiteral("/#A1.jpg");
    const QString source = root + QStringLiteral("/camara.jpg");
    for (const auto& [path, bytes] : {std::pair{oldPhoto, "foto de A1"}, std::pair{source, "foto nueva"}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    t.ui.ExpectCard(kCard).Set("Codigo", "A1").Press("Button1").Press("salvar").Press("BitBtn1");
    t.ui.ExpectMessage(QStringLiteral("Existe una foto asignada a esta Persona:\\PERSONAL\\PORTAL\\#A1.jpg"));
    t.ui.ExpectMessage(QStringLiteral("MATRÍCULA REPETIDA ANULADA ALTA")); // and no picture dialog
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    EXPECT_EQ(t.ctx.st.PhotoAssignFlag, 0);

    t.ui.ExpectCard(kCard).Set("Codigo", "B2").Press("Button1").Press("salvar");
    t.ui.ExpectChooseFile(source);
    t.ui.ExpectChooseFile(folder + QStringLiteral("/#B2.jpg"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);

    QFile old(oldPhoto);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("foto de A1"));
    QFile stored(folder + QStringLiteral("/#B2.jpg"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("foto nueva"));
    ASSERT_EQ(t.ui.FileRequests().size(), 2u);
    EXPECT_EQ(t.ui.FileRequests()[1].fileName, QStringLiteral("#B2.jpg"));
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "B2"}));
}

// The old date mask turned the blank card's ".." into blanks, and every new employee counted as gone.
TEST_F(PersonnelTest, BlankLeavingDateKeepsTheEmployeeActive)
{
    for (const char* blank : {"  /  /  ", "__/__/__", "//", "", ".."})
        EXPECT_EQ(StoredDateText(QString::fromLatin1(blank)), QStringLiteral("..")) << blank;
    for (const char* typed : {"15/03/21", " 5/ 3/21", "  /  /21"})
        EXPECT_EQ(StoredDateText(QString::fromLatin1(typed)), QString::fromLatin1(typed)) << typed;

    const struct
    {
        const char* baja;
        bool active;
    } cases[] = {{"..", true},       {".", true},         {".31/12/25", true}, {"", true},
                 {"  /  /  ", true}, {"31/12/25", false}, {"  /12/25", false}, {"X1", false}};
    for (const auto& c : cases)
        EXPECT_EQ(PersonIsActive(Person("A1", c.baja)), c.active) << c.baja;

    // Through the card, which creates the file with the first employee: a joining date left blank is
    // stored as no date too.
    t.ui.ExpectCard(kCard).Set("Codigo", "B2").Set("Ingreso", "  /  /  ").Press("salvar");
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);
    const auto stored = LoadRecords<TPersonnelRecord>(t.ctx, kPersonnelFile);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Ingreso.str(), QStringLiteral(".."));
    EXPECT_EQ(stored[0].Baja.str(), QStringLiteral(".."));
    ASSERT_EQ(t.ctx.st.HourPriceTable.size(), 1u);
    EXPECT_EQ(t.ctx.st.HourPriceTable[0].Activo, 1);
}

// ---- Editing and deleting ------------------------------------------------------------------------------

// The date mask requires the year: a date typed without it keeps the card open with a message, and only
// the whole date is stored.
TEST_F(PersonnelTest, ADateWithoutItsYearIsNotStored)
{
    t.ui.ExpectCard(QStringLiteral("FICHA DE DATOS PERSONALES"))
        .Set("Codigo", "B2")
        .Set("Ingreso", "0102")
        .ExpectValue("Ingreso", "01/02/  ")
        .Press("salvar")
        .Set("Ingreso", "01/02/26")
        .Press("salvar");
    t.ui.ExpectMessage(QStringLiteral("DATO INCOMPLETO"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);
    const auto stored = LoadRecords<TPersonnelRecord>(t.ctx, kPersonnelFile);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Ingreso.str(), QStringLiteral("01/02/26"));
}

TEST_F(PersonnelTest, EditWritesTheCardBackInPlaceKeepingTheBytesItDoesNotOwn)
{
    StorePeople({Person("A1"), Person("B2"), Person("C3")});
    LoadPersonnel(t.ctx);
    ExpectEditPrompt("B2");
    t.ui.ExpectCard(kCard)
        .ExpectDisabled("Codigo")
        .ExpectEnabled("Baja")
        .ExpectValue("Calle", "C/ Mayor 1")
        .ExpectValue("Ingreso", "01/02/03")
        .Set("Calle", "Nueva 2")
        .Set("Baja", "31/12/25")
        .Press("salvar");
    ASSERT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);

    // The street's old tail stays behind its new length, as the file had it.
    const auto b2 = test::RecordFrom<TPersonnelRecord>(RecordBytes(158)
                                                           .Text(0, "B2")
                                                           .Text(7, "Garcia Lopez")
                                                           .Text(36, "Ana")
                                                           .Text(53, "Nueva 2")
                                                           .Raw(61, {'r', ' ', '1'})
                                                           .Text(102, "Lleida")
                                                           .Text(119, "973000000")
                                                           .Text(132, "01/02/03")
                                                           .Text(145, "31/12/25"));
    const std::vector edited{Person("A1"), b2, Person("C3")};
    EXPECT_EQ(PersonnelBytes(), Bytes(edited));
    EXPECT_EQ(t.ReadFile(kTwinFile), Bytes(Reversed(edited)));
    // The table was rebuilt: B2 has left.
    ASSERT_EQ(t.ctx.st.HourPriceTable.size(), 3u);
    EXPECT_EQ(t.ctx.st.HourPriceTable[1].Activo, 0);
    EXPECT_EQ(t.ctx.st.ContinueFlag, 1);
}

TEST_F(PersonnelTest, EditOfAnUnknownNumberSaysSoAndWritesNothing)
{
    StorePeople({Person("A1")});
    LoadPersonnel(t.ctx);
    const std::string before = PersonnelBytes();
    ExpectEditPrompt("X9");
    t.ui.ExpectMessage(QStringLiteral("MATRICULA INEXISTENTE,ANULADA ALTA"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    t.ui.ExpectInputCancel(QStringLiteral("FICHA PERSONAL"), QStringLiteral("ENTRAR MATRÍCULA"));
    t.ui.ExpectMessage(QStringLiteral("MATRICULA INEXISTENTE,ANULADA ALTA"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    // Leaving the card without saving writes nothing either.
    ExpectEditPrompt("A1");
    t.ui.ExpectCard(kCard).Set("Nombre", "Otro").Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PersonnelBytes(), before);
    EXPECT_FALSE(t.Exists(kTwinFile));
}

TEST_F(PersonnelTest, DeleteMarksTheCardTheSortDropsItAndTheNextEditFindsTheMovedCards)
{
    StorePeople({Person("A1"), Person("B2"), Person("C3")});
    LoadPersonnel(t.ctx);
    ExpectEditPrompt("B2");
    t.ui.ExpectCard(kCard).Press("BitBtn2");
    ASSERT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    TPersonnelRecord erased = Person("B2");
    erased.Matricula = "Z";
    EXPECT_EQ(t.ReadFile(kTwinFile), Bytes(std::vector{Person("C3"), erased, Person("A1")}));
    EXPECT_EQ(PersonnelBytes(), Bytes(std::vector{Person("A1"), Person("C3")}));
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "C3"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(TableCodes(), (std::vector<std::string>{"A1", "C3"}));

    // C3 moved up one place; its edit goes where it lies now.
    ExpectEditPrompt("C3");
    t.ui.ExpectCard(kCard).Set("tlf", "600111222").Press("salvar");
    ASSERT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);
    TPersonnelRecord c3 = Person("C3");
    c3.tlf = "600111222";
    EXPECT_EQ(PersonnelBytes(), Bytes(std::vector{Person("A1"), c3}));
}

TEST_F(PersonnelTest, EditOfACardThatMovedUnderTheListIsRefusedAndTheListFollowsTheFile)
{
    StorePeople({Person("A1"), Person("B2")});
    LoadPersonnel(t.ctx);
    StorePeople({Person("A1"), Person("X9")}); // someone rewrote the file meanwhile
    const std::string before = PersonnelBytes();
    ExpectEditPrompt("B2");
    t.ui.ExpectCard(kCard).Set("Nombre", "Otra").Press("salvar");
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    EXPECT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PersonnelBytes(), before);
    EXPECT_FALSE(t.Exists(kTwinFile)); // nothing stored, nothing sorted
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "X9"}));
    EXPECT_EQ(TableCodes(), (std::vector<std::string>{"A1", "X9"}));
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);

    // A card changed in place by another program is not overwritten either.
    TPersonnelRecord x9 = Person("X9");
    x9.tlf = "600000000";
    ExpectEditPrompt("X9");
    t.ui.ExpectCard(kCard)
        .Inspect([&](const CardState&) {
            StorePeople({Person("A1"), x9});
        })
        .Press("BitBtn2");
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    EXPECT_TRUE(RunMenu("Personal > Edición > Matrícula"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PersonnelBytes(), Bytes(std::vector{Person("A1"), x9}));
    EXPECT_FALSE(t.Exists(kTwinFile));
}

TEST_F(PersonnelTest, AWriteProtectedPersonnelFileIsListedAtStartAndEverySaveIsReportedWithoutChange)
{
    StorePeople({Person("A1"), Person("B2", "31/12/25")});
    StoreRecords(t.ctx, kPriceFile, std::vector{Price("A1", 1000)});
    const std::string before = PersonnelBytes();
    test::WriteProtect(t.Path(kPersonnelFile));
    const std::string failures = test::RunUnprivileged(data, [&]() -> std::string {
        LoadEnvironmentData(t.ctx);
        if (ListCodes() != std::vector<std::string>{"A1", "B2"} ||
            TableCodes() != std::vector<std::string>{"A1", "B2"})
            return "the protected file was not read";
        if (t.ctx.st.HourPriceTable[1].Activo != 0 || t.ctx.st.AverageHourPrice != 1000)
            return "the price table does not follow the protected file";
        t.ui.ExpectReport(QStringLiteral("PORTAL"));
        if (!RunMenu("Personal > Listados > Precio/Hora"))
            return "the listing failed";
        if (t.ui.Reports().back()->LineCount() != 6)
            return "the listing does not show both employees";

        ExpectEditPrompt("B2");
        t.ui.ExpectCard(kCard).Set("Nombre", "Otra").Press("salvar");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Personal > Edición > Matrícula"))
            return "the edit was abandoned";
        ExpectEditPrompt("A1");
        t.ui.ExpectCard(kCard).Press("BitBtn2");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Personal > Edición > Matrícula"))
            return "the delete was abandoned";
        t.ui.ExpectCard(kCard).Set("Codigo", "C3").Press("salvar");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Personal > Alta > Matrícula"))
            return "the new card was abandoned";
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (SortPersonnelFile(t.ctx))
            return "the sort went through";
        if (ListCodes() != std::vector<std::string>{"A1", "B2"})
            return "the list lost the protected file";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(PersonnelBytes(), before);
    EXPECT_FALSE(t.Exists(kTwinFile));
}

// When the sort cannot write (here its twin cannot be created, as in a folder that cannot be written),
// the list is reloaded all the same: the new card is found (as the price card looks it up) and a deleted
// one leaves the list, which stays in number order for its lookups by halves.
TEST_F(PersonnelTest, AFailedSortStillReloadsTheList)
{
    StorePeople({Person("B2"), Person("D4")});
    LoadPersonnel(t.ctx);
    FileFaults faults;
    faults.inject = [](FileOp op, const QString& path) {
        return op == FileOp::Create && path.endsWith(kTwinFile) ? EACCES : 0;
    };
    t.ctx.faults = &faults;

    t.ui.ExpectCard(kCard).Set("Codigo", "C3").Press("salvar");
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    RunMenu("Personal > Alta > Matrícula");
    EXPECT_SCRIPT_DONE(t.ui);
    // The new card stays where it was appended.
    EXPECT_EQ(PersonnelBytes().size(), 3u * 158);
    EXPECT_EQ(PersonnelBytes().substr(0, 2 * 158), Bytes(std::vector{Person("B2"), Person("D4")}));
    EXPECT_EQ(PersonnelBytes().substr(2 * 158, 3), std::string("\x02"
                                                               "C3"));
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"B2", "C3", "D4"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{0, 2, 1}));
    EXPECT_EQ(TableCodes(), (std::vector<std::string>{"B2", "D4", "C3"}));
    ShortString<6> number{};
    number = "C3";
    EXPECT_TRUE(LookupPersonInList(t.ctx, number));

    ExpectEditPrompt("B2");
    t.ui.ExpectCard(kCard).Press("BitBtn2");
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    RunMenu("Personal > Edición > Matrícula");
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"C3", "D4"}));
    number = "D4";
    EXPECT_TRUE(LookupPersonInList(t.ctx, number));
    TPersonnelRecord erased = Person("B2");
    erased.Matricula = "Z";
    EXPECT_EQ(PersonnelBytes().substr(0, 158), Bytes(std::vector{erased}));
    EXPECT_FALSE(t.Exists(kTwinFile));
}

// ---- Sorted rewrite and load ---------------------------------------------------------------------------

TEST_F(PersonnelTest, SortPutsCardsInNumberOrderWithoutErasedOnesAndTheTwinHoldsThemReversed)
{
    const std::vector old{Person("C3"),
                          Person("Z", "..", "borrada 1"),
                          Person("A1"),
                          Person("Z"),
                          Person("\xD1"
                                 "1"),
                          Person("B2")};
    StorePeople(old);
    EXPECT_TRUE(SortPersonnelFile(t.ctx));
    EXPECT_EQ(PersonnelBytes(), Bytes(std::vector{Person("A1"), Person("B2"), Person("C3"),
                                                  Person("\xD1"
                                                         "1")}));
    EXPECT_EQ(t.ReadFile(kTwinFile), Bytes(Reversed(old)));
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "B2", "C3",
                                                     "\xD1"
                                                     "1"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{0, 1, 2, 3}));

    // No personnel file: nothing to sort and nothing created.
    QFile::remove(t.Path(kPersonnelFile));
    QFile::remove(t.Path(kTwinFile));
    EXPECT_FALSE(SortPersonnelFile(t.ctx));
    EXPECT_FALSE(t.Exists(kPersonnelFile));
    EXPECT_FALSE(t.Exists(kTwinFile));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(PersonnelTest, StartUpLoadsListTableAndAveragePrice)
{
    StorePeople({Person("C3", "12/05/24"), Person("A1"), Person("Z", "01/01/20"), Person("B2")});
    // The file's active bytes mean nothing: the cards decide.
    THourPriceRecord storedC3 = Price("C3", 1200);
    storedC3.Activo = 1;
    StoreRecords(t.ctx, kPriceFile, std::vector{Price("A1", 1000), storedC3, Price("OLD", 1250)});
    LoadEnvironmentData(t.ctx); // the start-up steps that read the environment's files
    EXPECT_SCRIPT_DONE(t.ui);

    State& st = t.ctx.st;
    EXPECT_EQ(st.AverageHourPrice, 1150);
    // One row per card in file order, erased card included; the list leaves the erased card out.
    EXPECT_EQ(TableCodes(), (std::vector<std::string>{"C3", "A1", "Z", "B2"}));
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "B2", "C3"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{1, 3, 0}));

    THourPriceRecord a1 = Price("A1", 1000);
    a1.Activo = 1;
    test::ExpectRecordBytes(st.HourPriceTable[0], RecordBytes(36)
                                                      .Text(0, "C3")
                                                      .Raw(7, {0})
                                                      .Raw(8, {0xB0, 0x04, 0xB1, 0x04, 0xB2, 0x04})
                                                      .Raw(14, {0xB3, 0x04, 0xB4, 0x04, 0xB5, 0x04})
                                                      .Raw(20, {0, 0, 0, 0})
                                                      .Text(24, "01/01/2026")
                                                      .Raw(35, {0}));
    EXPECT_EQ(Bytes(std::vector{st.HourPriceTable[1]}), Bytes(std::vector{a1}));
    // A card without prices: 1,00 euro for every hour, dated today.
    const auto noPrices = RecordBytes(36)
                              .Text(0, "B2")
                              .Raw(8, {100, 0, 100, 0, 100, 0, 100, 0, 100, 0, 100, 0})
                              .Text(24, "07/12/2026")
                              .Raw(35, {1});
    test::ExpectRecordBytes(st.HourPriceTable[3], noPrices);
    EXPECT_EQ(st.HourPriceTable[2].Activo, 0);

    // An empty price file, then none at all: 100 cents, and every card on the default prices.
    StoreRecords(t.ctx, kPriceFile, std::vector<THourPriceRecord>{});
    LoadPersonnel(t.ctx);
    EXPECT_EQ(st.AverageHourPrice, 100);
    QFile::remove(t.Path(kPriceFile));
    LoadPersonnel(t.ctx);
    EXPECT_EQ(st.AverageHourPrice, 100);
    ASSERT_EQ(st.HourPriceTable.size(), 4u);
    test::ExpectRecordBytes(st.HourPriceTable[3], noPrices);
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("C3"), QStringLiteral("C")), 100);
    EXPECT_SCRIPT_DONE(t.ui);
}

// The old bound "count - 1" in 16 bits sent every scan of an empty table out of range.
TEST_F(PersonnelTest, MissingOrEmptyPersonnelFileLeavesNothingToScan)
{
    StoreRecords(t.ctx, kPriceFile, std::vector{Price("A1", 1000)});
    StorePeople({Person("A1")});
    LoadPersonnel(t.ctx);
    ASSERT_EQ(t.ctx.st.HourPriceTable.size(), 1u);

    QFile::remove(t.Path(kPersonnelFile));
    t.ui.ExpectMessage(QStringLiteral("Falta Fichero Personal: FABRI_PO.RCH"));
    LoadPersonnel(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ctx.st.HourPriceTable.empty());
    EXPECT_TRUE(Personnel(t.ctx).PersonnelList.empty());
    EXPECT_EQ(t.ctx.st.AverageHourPrice, 1000);
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("A1"), QStringLiteral("C")), 0);

    StorePeople({});
    LoadPersonnel(t.ctx);
    EXPECT_TRUE(t.ctx.st.HourPriceTable.empty());
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("A1"), QStringLiteral("N")), 0);
    t.ui.ExpectReport(QStringLiteral("PORTAL"));
    ListHourPrices(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().back()->LineCount(), 4); // title, header, two rules
}

// ---- Listing -------------------------------------------------------------------------------------------

TEST_F(PersonnelTest, HourPriceListingShowsEveryRowInCardOrderAndDepartedEmployeesInRed)
{
    TPersonnelRecord b2 = Person("B2", "31/12/25", "Puig");
    b2.Nombre = "Pere";
    StorePeople({Person("A1"), b2});
    THourPriceRecord a1 = Price("A1", 1234);
    StoreRecords(t.ctx, kPriceFile, std::vector{a1});
    LoadPersonnel(t.ctx);
    t.ui.ExpectReport(QStringLiteral("PORTAL"));
    ASSERT_TRUE(RunMenu("Personal > Listados > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);

    const QString rule(110, QLatin1Char('_'));
    EXPECT_EQ(
        t.ui.Reports().back()->Transcript(),
        QStringLiteral("[PORTAL]\n"
                       "TABS: 6 50 140 300 350 400 450 500 550\n"
                       "{10 b}FABRICA\tLISTADO PRECIOS/ HORA DEL PERSONAL\tPORTAL\t07/12/2026\n"
                       "{10}\tMatri\tNOMBRE\tAPELLIDOS\tHNormal\tHExtra\tHExFest\tHNoct\tHExNoct\tHExComp\t"
                       "Fecha\n") +
            rule +
            QStringLiteral("\n"
                           "\tA1\tAna\tGarcia Lopez\t12,34\t12,36\t12,38\t12,35\t12,37\t12,39\t01/01/2026\n"
                           "{10 #ff0000}\tB2\tPere\tPuig\t1,00\t1,00\t1,00\t1,00\t1,00\t1,00\t07/12/2026\n"
                           "{10}") +
            rule + QLatin1Char('\n'));
}

TEST_F(PersonnelTest, TheCardExplainsItsControls)
{
    const CardSpec spec = PersonnelCardSpec(t.ctx);
    EXPECT_EQ(spec.field(QStringLiteral("Codigo"))->hint, QStringLiteral("Código de Identificación."));
    EXPECT_EQ(spec.field(QStringLiteral("Calle"))->hint,
              QStringLiteral("Calle y nº de la residencia Habitual."));
    EXPECT_EQ(spec.field(QStringLiteral("Ciudad"))->hint, QStringLiteral("Pueblo,Ciudad y provincia."));
    EXPECT_EQ(spec.field(QStringLiteral("Baja"))->hint, QStringLiteral("dia/mes/año"));
    EXPECT_EQ(spec.button(QStringLiteral("salvar"))->hint, QStringLiteral("Grava la Ficha."));
    EXPECT_EQ(spec.button(QStringLiteral("BitBtn2"))->hint, QStringLiteral("Elimina la Ficha."));
    EXPECT_TRUE(spec.button(QStringLiteral("BitBtn1"))->hint.isEmpty());
    // Each control takes no more than its record field holds.
    const std::pair<const char*, int> widths[] = {{"Codigo", 6}, {"Apellidos", 28}, {"Nombre", 16},
                                                  {"Calle", 48}, {"Ciudad", 16},    {"tlf", 12}};
    for (const auto& [name, width] : widths)
        EXPECT_EQ(spec.field(QString::fromLatin1(name))->capacity, width) << name;
    EXPECT_EQ(spec.field(QStringLiteral("Ingreso"))->mask, QStringLiteral("!99/99/00;1;_"));
}

// A value of the wrong kind, or a repeated or unknown employee, is refused on the card of each kind of
// master data: the card stays open with what was typed, Escape leaves it, and no file changes.
TEST_F(PersonnelTest, EveryMasterDataCardRefusesWhatItCannotStoreAndKeepsItsFiles)
{
    RegisterMainWindowOperations(registry);
    RegisterRoutinesAndProcedures(registry, t.ctx);
    StoreMachines({Machine("PR")});
    StoreRecords(t.ctx, QStringLiteral("PORTAL.OPR"),
                 std::vector{test::RecordFrom<TOperationRecord>(RecordBytes(152).Text(0, "PR"))});
    StorePeople({Person("A1"), Person("B2")});
    StoreRecords(t.ctx, kPriceFile, std::vector{Price("A1", 1000)});
    LoadPersonnel(t.ctx);
    const auto files = [this] {
        std::string all;
        for (const char* name : {"PORTAL.OPR", "PORTAL.INT", "FABRI_PO.RCH", "PORTAL.PHR", "PORTAL.APT"})
            all += t.ReadFile(QString::fromLatin1(name)) + '|';
        return all;
    };
    using Use = std::tuple<const char*, const char*, const char*, QStringList>; // menu, card, save, prompt
    const QStringList number{"FICHA PERSONAL", "ENTRAR MATRÍCULA", "A1"};
    const Use gama{"Gamas > Edición OPR",
                   "FICHA OPERACIONES DE REVISIÓN GAMAS MANTENIMIENTO PREVENTIVO",
                   "Button1",
                   {"EDICION DE GAMAS", "Entrar Codigo", "PR"}};
    const Use procedure{"Procedimientos > Alta",
                        "Procedimientos / Instrucciones",
                        "Salvar",
                        {"ALTA REGISTRO ", "PROCEDIMIENTO/INSTRUCCION (P/I)", "I"}};
    const Use person{"Personal > Alta > Matrícula", "FICHA DE DATOS PERSONALES", "salvar", {}};
    const Use price{"Personal > Alta > Precio/Hora", "Preciario Horas Personal", "salvar", {}};
    const Use priceEdit{"Personal > Edición > Precio/Hora", "Preciario Horas Personal", "salvar", number};
    const Use entry{"Personal > Alta > Expediente", "APUNTES EN EXPEDIENTE PERSONAL", "Button1", {}};
    const char* const state = "VALOR NO VÁLIDO EN ESTADO: UNO DE LOS CÓDIGOS O, P";
    const char* const time = "TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS";
    const std::tuple<const Use*, const char*, const char*, const char*> cases[] = {
        {&gama, "TiempoGM", "abc", time},
        {&gama, "EstadoGM", "Q", state},
        {&gama, "EstadoGM", "", state},
        {&procedure, "TIEMPO", "-1", time},
        {&person, "Ingreso", "99/13/99", "VALOR NO VÁLIDO EN INGRESO: UNA FECHA DEL CALENDARIO dd/mm/aa"},
        {&person, "Codigo", "A1", "MATRÍCULA REPETIDA ANULADA ALTA"},
        {&price, "HN", "655,36", "PRECIO FUERA DE LÍMITE: DE 0,00 A 655,35 EUROS"},
        {&priceEdit, "Matricula", "Q7", " OPERARIO INEXISTENTE,ANULADA ALTA"},
        {&entry, "horas", "GUARDIA SABADO", "TIEMPO FUERA DE LÍMITE: DE 0 A 4294967295 MINUTOS"},
    };
    const std::string before = files();
    for (const auto& [use, field, value, message] : cases) {
        const auto& [menu, card, save, prompt] = *use;
        SCOPED_TRACE(std::string(menu) + " " + value);
        if (!prompt.isEmpty())
            t.ui.ExpectInput(prompt[0], prompt[1], prompt[2]);
        const QString typed = QString::fromUtf8(value);
        t.ui.ExpectCard(QString::fromUtf8(card))
            .Set(field, typed)
            .Press(save)
            .ExpectValue(field, typed)
            .Escape();
        t.ui.ExpectMessage(QString::fromUtf8(message));
        ASSERT_TRUE(RunMenu(menu));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(files(), before);
    }
}

} // namespace
} // namespace gim
