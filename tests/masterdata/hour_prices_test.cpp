#include "core/command.h"
#include "core/environment.h"
#include "core/lookups.h"
#include "masterdata/hour_price_card.h"
#include "masterdata/hour_prices.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_operations.h"
#include "masterdata_fixture.h"
#include "support/unprivileged.h"

#include <array>
#include <limits>

namespace gim {
namespace {

using test::RecordBytes;

const QString kCard = QStringLiteral("Preciario Horas Personal");
const QString kPersonnelFile = QStringLiteral("FABRI_PO.RCH");
const QString kPriceFile = QStringLiteral("PORTAL.PHR");

class HourPricesTest : public test::MasterdataTest
{
protected:
    HourPricesTest()
    {
        BuildFirmFileNames(t.ctx);
        RegisterPersonnel(registry, t.ctx);
    }

    static TPersonnelRecord Person(const char* code, const char* name, const char* surnames)
    {
        TPersonnelRecord r{};
        r.Matricula = code;
        r.Nombre = name;
        r.Apellidos = surnames;
        r.Baja = "..";
        return r;
    }
    // Prices in the order of the record: normal, night, overtime, night overtime, holiday, compensated.
    static THourPriceRecord Price(const char* code, std::array<std::uint16_t, 6> p,
                                  const char* date = "01/01/2026")
    {
        THourPriceRecord r{};
        r.Matricula = code;
        r.HCONTRATO = p[0];
        r.HN = p[1];
        r.HEX = p[2];
        r.HEN = p[3];
        r.HEF = p[4];
        r.HEC = p[5];
        r.Fecha = date;
        return r;
    }
    // Three employees on the list, prices stored for A1 and C3.
    void StoreStaff()
    {
        StoreRecords(t.ctx, kPersonnelFile,
                     std::vector{Person("A1", "Ana", "Soler"), Person("B2", "Pere", "Puig"),
                                 Person("C3", "Joan", "Vidal")});
        StorePrices(
            {Price("A1", {1000, 1100, 1200, 1300, 1400, 1500}), Price("C3", {900, 901, 902, 903, 904, 905})});
        LoadPersonnel(t.ctx);
    }
    void StorePrices(const std::vector<THourPriceRecord>& prices) { StoreRecords(t.ctx, kPriceFile, prices); }
    std::string PriceBytes() const { return t.ReadFile(kPriceFile); }
    void ExpectNumberPrompt(const char* answer)
    {
        t.ui.ExpectInput(QStringLiteral("FICHA PERSONAL"), QStringLiteral("ENTRAR MATRÍCULA"),
                         QString::fromLatin1(answer));
    }
    void ExpectRaisePrompt(const char* answer)
    {
        ExpectNumberPrompt("*");
        t.ui.ExpectInput(QStringLiteral("Precios Hora"), QStringLiteral("Entrar Incremento %"),
                         QString::fromLatin1(answer));
    }
};

// ---- New prices ----------------------------------------------------------------------------------------

TEST_F(HourPricesTest, NewPriceCardStoresTheRecordByteForByteAndReloadsTheTable)
{
    StoreStaff();
    t.ui.ExpectCard(kCard)
        .ExpectValue("Matricula", "*")
        .ExpectValue("HCONTRATO", "0,00")
        .ExpectValue("HEC", "0,00")
        .ExpectValue("Calendario", "07/12/2026")
        .Set("Matricula", "B2")
        .ExpectValue("NoMatricula", "Pere Puig")
        .Set("Matricula", "Q7")
        .ExpectValue("NoMatricula", "NO EXISTE LA PERSONA")
        .Set("Matricula", "*")
        .ExpectValue("NoMatricula", "Indistinto")
        .Set("Matricula", "B2")
        .Set("HCONTRATO", "12,5")
        .Set("HN", "13")
        .Set("HEX", "14.999")
        .Set("HEN", "15,01")
        .Set("HEF", "655,35")
        .Set("HEC", "0,07")
        .Set("Calendario", "02/03/2027")
        .Press("salvar");
    ASSERT_TRUE(RunMenu("Personal > Alta > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);

    const std::string b2 =
        Bytes(std::vector{test::RecordFrom<THourPriceRecord>(RecordBytes(36)
                                                                 .Text(0, "B2")
                                                                 .Raw(8, {0xE2, 0x04})  // 1250
                                                                 .Raw(10, {0x14, 0x05}) // 1300
                                                                 .Raw(12, {0xDB, 0x05}) // 1499
                                                                 .Raw(14, {0xDD, 0x05}) // 1501
                                                                 .Raw(16, {0xFF, 0xFF}) // 65535
                                                                 .Raw(18, {0x07, 0x00}) // 7
                                                                 .Text(24, "02/03/2027"))});
    EXPECT_EQ(PriceBytes().substr(72), b2);
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("B2"), QStringLiteral("E")), 1499);
    EXPECT_EQ(t.ctx.st.AverageHourPrice, (1000 + 900 + 1250) / 3);
}

// The name follows every key typed; a personnel file that is not there is reported once, when the
// number is left, not once per key.
TEST_F(HourPricesTest, AMissingPersonnelFileIsReportedOnceWhenTheNumberIsLeft)
{
    THourPriceRecord row{};
    t.ui.ExpectCard(QStringLiteral("Preciario Horas Personal"))
        .Set("Matricula", "000123")
        .ExpectValue("NoMatricula", "NO EXISTE LA PERSONA")
        .Set("HN", "1")
        .Press("salir");
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    EXPECT_EQ(HourPriceCardBinding().Run(t.ctx.ui, HourPriceCardSpec(t.ctx), row), 2);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(HourPricesTest, NewPriceRefusesUnknownEmployeesRepeatedPricesAndClosedCards)
{
    StoreStaff();
    const std::string before = PriceBytes();
    t.ui.ExpectCard(kCard).Set("Matricula", "Q7").Press("salvar").Press("salir");
    t.ui.ExpectMessage(QStringLiteral(" OPERARIO INEXISTENTE,ANULADA ALTA"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Precio/Hora"));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    t.ui.ExpectCard(kCard).Set("Matricula", "A1").Press("salvar").Press("salir");
    t.ui.ExpectMessage(QStringLiteral("Código Repetido Anulada ALTA"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Precio/Hora"));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    t.ui.ExpectCard(kCard).Set("Matricula", "B2").Press("salir");
    ASSERT_TRUE(RunMenu("Personal > Alta > Precio/Hora"));
    t.ui.ExpectCard(kCard).Set("Matricula", "B2").Press("Borrar");
    ASSERT_TRUE(RunMenu("Personal > Alta > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PriceBytes(), before);
}

// A typed price above 655,35 used to be stored wrapped round to another price.
TEST_F(HourPricesTest, CardKeepsAPriceThatDoesNotFitAndStaysOpen)
{
    StoreStaff();
    t.ui.ExpectCard(kCard)
        .Set("Matricula", "B2")
        .Set("HEX", "655,36")
        .Press("salvar")
        .Set("HEX", "-1")
        .Press("salvar")
        .Set("HEX", "20")
        .Press("salvar");
    t.ui.ExpectMessage(QStringLiteral("PRECIO FUERA DE LÍMITE: DE 0,00 A 655,35 EUROS"));
    t.ui.ExpectMessage(QStringLiteral("PRECIO FUERA DE LÍMITE: DE 0,00 A 655,35 EUROS"));
    ASSERT_TRUE(RunMenu("Personal > Alta > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("B2"), QStringLiteral("E")), 2000);
}

TEST_F(HourPricesTest, ImportStoresTheRowWithoutACardAndFlagsOnlyAStoredRow)
{
    StoreRecords(t.ctx, kPersonnelFile, std::vector{Person("A1", "Ana", "Soler")});
    LoadPersonnel(t.ctx);
    State& st = t.ctx.st;
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;
    // The spare byte and the table's active flag of the row are not stored.
    THourPriceRecord imported = Price("A1", {1, 2, 3, 4, 5, 6}, "05/05/2026");
    imported.Spare = 0x55;
    imported.Activo = 1;
    Personnel(t.ctx).ImportedHourPrice = imported;
    NewHourPrice(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 1);
    // The first price creates the file.
    EXPECT_EQ(PriceBytes(), Bytes(std::vector{Price("A1", {1, 2, 3, 4, 5, 6}, "05/05/2026")}));

    t.ui.ExpectMessage(QStringLiteral("Código Repetido Anulada ALTA"));
    NewHourPrice(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 0);

    // Shown while InteractiveFlag is 1, with the imported row on it.
    st.InteractiveFlag = 1;
    Personnel(t.ctx).ImportedHourPrice = Price("A1", {700, 2, 3, 4, 5, 6}, "05/05/2026");
    t.ui.ExpectCard(kCard)
        .ExpectValue("Matricula", "A1")
        .ExpectValue("NoMatricula", "Ana Soler")
        .ExpectValue("HCONTRATO", "7,00")
        .ExpectValue("Calendario", "05/05/2026")
        .Press("salir");
    NewHourPrice(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(st.RecordAddedFlag, 0);
}

// ---- Editing one employee's prices ---------------------------------------------------------------------

TEST_F(HourPricesTest, EditWritesTheCardBackAtItsPositionKeepingTheOtherBytes)
{
    StoreStaff();
    THourPriceRecord c3 = Price("C3", {900, 901, 902, 903, 904, 905});
    c3.Spare = 0x55;
    c3.Price2 = 4242;
    c3.Activo = 1; // not interpreted in the file, kept as it is
    StorePrices({Price("A1", {1000, 1100, 1200, 1300, 1400, 1500}), c3});
    ExpectNumberPrompt("C3");
    t.ui.ExpectCard(kCard)
        .ExpectValue("Matricula", "C3")
        .ExpectValue("NoMatricula", "Joan Vidal")
        .ExpectValue("HN", "9,01")
        .ExpectValue("Calendario", "01/01/2026")
        .Set("HN", "10")
        .Set("Calendario", "15/06/2026")
        .Press("salvar");
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    THourPriceRecord edited = c3;
    edited.HN = 1000;
    edited.Fecha = "15/06/2026";
    EXPECT_EQ(PriceBytes(), Bytes(std::vector{Price("A1", {1000, 1100, 1200, 1300, 1400, 1500}), edited}));
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("C3"), QStringLiteral("N")), 1000);
}

TEST_F(HourPricesTest, EditDeletesByMarkingAndSaysWhenTheEmployeeHasNoPrices)
{
    StoreStaff();
    ExpectNumberPrompt("A1");
    t.ui.ExpectCard(kCard).Press("Borrar");
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    THourPriceRecord erased = Price("A1", {1000, 1100, 1200, 1300, 1400, 1500});
    erased.Matricula = "Z";
    // The erased record stays in the file; A1 is back on the default prices.
    EXPECT_EQ(PriceBytes(), Bytes(std::vector{erased, Price("C3", {900, 901, 902, 903, 904, 905})}));
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("A1"), QStringLiteral("C")), 100);

    const std::string before = PriceBytes();
    ExpectNumberPrompt("B2");
    t.ui.ExpectMessage(QStringLiteral("PRECIOS HORA NO DEFINIDOS.DAR DE ALTA"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    // An answer left over from an earlier delete does not erase a card closed with "Salir".
    t.ctx.st.AnswerCode = QStringLiteral("B");
    ExpectNumberPrompt("C3");
    t.ui.ExpectCard(kCard).Set("HN", "1").Press("salir");
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PriceBytes(), before);
}

TEST_F(HourPricesTest, EditOfPricesReplacedWhileTheCardWasOpenIsRefused)
{
    StoreStaff();
    const std::vector replacing{Price("C3", {1, 2, 3, 4, 5, 6}), Price("A1", {7, 8, 9, 10, 11, 12})};
    ExpectNumberPrompt("C3");
    t.ui.ExpectCard(kCard)
        .Set("HN", "10")
        .Inspect([&](const CardState&) { StorePrices(replacing); })
        .Press("salvar");
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PriceBytes(), Bytes(replacing));
    // The table follows the file that replaced the old one.
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("C3"), QStringLiteral("N")), 2);
}

TEST_F(HourPricesTest, WriteProtectedPricesAreReadAndEverySaveIsReportedWithoutChange)
{
    StoreStaff();
    const std::string before = PriceBytes();
    test::WriteProtect(t.Path(kPriceFile));
    const std::string failures = test::RunUnprivileged(data, [&]() -> std::string {
        LoadPersonnel(t.ctx);
        if (LookupHourPrice(t.ctx, QStringLiteral("C3"), QStringLiteral("N")) != 901)
            return "the protected prices were not read";
        ExpectNumberPrompt("C3");
        t.ui.ExpectCard(kCard).ExpectValue("HN", "9,01").Set("HN", "10").Press("salvar");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Personal > Edición > Precio/Hora"))
            return "the edit was abandoned";
        t.ui.ExpectCard(kCard).Set("Matricula", "B2").Press("salvar");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Personal > Alta > Precio/Hora") || t.ctx.st.RecordAddedFlag != 0)
            return "the new price was not refused";
        // The raise writes the whole file anew: refused, the command is abandoned.
        ExpectRaisePrompt("10");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (RunMenu("Personal > Edición > Precio/Hora"))
            return "the raise went through";
        if (LookupHourPrice(t.ctx, QStringLiteral("A1"), QStringLiteral("C")) != 1000)
            return "the table lost the protected prices";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(PriceBytes(), before);
}

// ---- The raise -----------------------------------------------------------------------------------------

TEST_F(HourPricesTest, RaiseRoundsToTheNearestCentWithHalvesToEven)
{
    const struct
    {
        std::uint16_t cents;
        std::int64_t percent;
        int expected; // -1: does not fit
    } cases[] = {
        {1000, 10, 1100},
        {1234, 10, 1357}, // 1357,4
        {5, 10, 6},
        {15, 10, 16},
        {25, 10, 28},
        {35, 10, 38}, // 5,5 16,5 27,5 38,5
        {1, 50, 2},
        {3, 50, 4},
        {1000, 0, 1000},
        {0, 1000000, 0},
        {1000, -10, 900},
        {5, -10, 4},
        {15, -10, 14}, // 4,5 13,5
        {1000, -100, 0},
        {1, -101, 0},
        {50, -101, 0},
        {51, -101, -1}, // -0,5 and -0,51
        {65535, 0, 65535},
        {59577, 10, 65535},
        {59578, 10, -1}, // 65534,7 and 65535,8
        {60000, 10, -1},
        {65535, 1, -1},
        {1, 6553400, 65535},
        {1, 6553500, -1},
        {1, std::numeric_limits<std::int64_t>::max(), -1},
        {1, std::numeric_limits<std::int64_t>::min(), -1},
    };
    for (const auto& c : cases) {
        const std::optional<std::uint16_t> raised = RaisedPrice(c.cents, c.percent);
        if (c.expected < 0)
            EXPECT_FALSE(raised) << c.cents << " " << c.percent;
        else
            EXPECT_EQ(raised, std::optional<std::uint16_t>(static_cast<std::uint16_t>(c.expected)))
                << c.cents << " " << c.percent;
    }
}

TEST_F(HourPricesTest, RaiseRewritesEveryPriceOfEveryRecordAndReloadsTheTable)
{
    StoreStaff();
    THourPriceRecord z = Price("Z", {15, 25, 0, 1, 2, 3});
    z.Price2 = 777; // the further prices are not raised
    StorePrices({Price("A1", {1000, 1234, 1200, 1300, 1400, 1500}), z});
    ExpectRaisePrompt("10");
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    THourPriceRecord raisedZ = Price("Z", {16, 28, 0, 1, 2, 3});
    raisedZ.Price2 = 777;
    EXPECT_EQ(PriceBytes(), Bytes(std::vector{Price("A1", {1100, 1357, 1320, 1430, 1540, 1650}), raisedZ}));
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("A1"), QStringLiteral("N")), 1357);
    EXPECT_EQ(t.ctx.st.AverageHourPrice, (1100 + 16) / 2);

    // Cancelled: the default 0 leaves every price as it was.
    const std::string before = PriceBytes();
    ExpectNumberPrompt("*");
    t.ui.ExpectInputCancel(QStringLiteral("Precios Hora"), QStringLiteral("Entrar Incremento %"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PriceBytes(), before);
}

// A raise past 655,35 used to wrap round in the 16-bit field.
TEST_F(HourPricesTest, RaiseThatWouldNotFitChangesNothingAndSaysWhose)
{
    StoreStaff();
    StorePrices(
        {Price("A1", {1000, 1000, 1000, 1000, 1000, 1000}), Price("C3", {1000, 1000, 60000, 0, 0, 0})});
    const std::string before = PriceBytes();
    ExpectRaisePrompt("10");
    t.ui.ExpectMessage(
        QStringLiteral("INCREMENTO ANULADO: PRECIO FUERA DE 0,00 A 655,35 EUROS EN MATRÍCULA ") +
        QStringLiteral("C3"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    ExpectRaisePrompt("-101");
    t.ui.ExpectMessage(
        QStringLiteral("INCREMENTO ANULADO: PRECIO FUERA DE 0,00 A 655,35 EUROS EN MATRÍCULA ") +
        QStringLiteral("A1"));
    ASSERT_TRUE(RunMenu("Personal > Edición > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PriceBytes(), before);
}

TEST_F(HourPricesTest, RaiseWithAnIncrementThatIsNotANumberAbandonsTheCommand)
{
    StoreStaff();
    const std::string before = PriceBytes();
    ExpectRaisePrompt("10%");
    t.ui.ExpectMessage(QStringLiteral("FORMATO NUMERICO"));
    EXPECT_FALSE(RunMenu("Personal > Edición > Precio/Hora"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(PriceBytes(), before);
    EXPECT_TRUE(t.ctx.st.ActionCode.isEmpty());
}

// ---- The price lookup on the loaded table --------------------------------------------------------------

TEST_F(HourPricesTest, LookupReadsEachKindFromTheLoadedTableAndTheLaterOfTwoRows)
{
    StoreRecords(t.ctx, kPersonnelFile,
                 std::vector{Person("A1", "Ana", "Soler"), Person("B2", "Pere", "Puig"),
                             Person("A1", "Ana", "Soler bis")});
    THourPriceRecord a1 = Price("A1", {1000, 1001, 1002, 1003, 1004, 1005});
    a1.Price2 = 1006;
    a1.Price3 = 1007;
    StorePrices({a1, Price("B2", {2000, 2001, 2002, 2003, 2004, 2005})});
    LoadPersonnel(t.ctx);
    const struct
    {
        const char* kind;
        int a1;
    } kinds[] = {{"C", 1000},  {"P", 1000},  {"F", 1000},  {"V", 1000}, {"N", 1001}, {"E", 1002},
                 {"EN", 1003}, {"EF", 1004}, {"EC", 1005}, {"2", 1006}, {"3", 1007}};
    for (const auto& k : kinds)
        EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("A1"), QString::fromLatin1(k.kind)), k.a1) << k.kind;
    // The last row is reached too: a second card A1 whose row is raised apart.
    t.ctx.st.HourPriceTable[2].HEC = 3333;
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("A1"), QStringLiteral("EC")), 3333);
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("B2"), QStringLiteral("EF")), 2004);
}

TEST_F(HourPricesTest, TheCardExplainsItsControlsAndNamesTheCurrency)
{
    const CardSpec spec = HourPriceCardSpec(t.ctx);
    EXPECT_EQ(spec.hint, QStringLiteral("Precios Hora en Céntimos de Euro. "));
    EXPECT_EQ(spec.field(QStringLiteral("Matricula"))->hint, QStringLiteral("Matricula del Operario"));
    EXPECT_EQ(spec.field(QStringLiteral("Calendario"))->hint,
              QStringLiteral("Fecha de la realización del Trabajo."));
    int euros = 0;
    for (std::size_t i = 0; i < spec.fields.size(); ++i) {
        if (spec.fields[i].label != QLatin1String("Euros"))
            continue;
        ++euros;
        EXPECT_EQ(spec.fields[i].kind, FieldKind::Label);
        ASSERT_GT(i, 0u);
        EXPECT_TRUE(spec.fields[i - 1].label.startsWith(QLatin1String("Hora ")))
            << spec.fields[i - 1].label.toStdString();
    }
    EXPECT_EQ(euros, 6);
}

} // namespace
} // namespace gim
