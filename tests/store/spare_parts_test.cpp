#include "masterdata/machines.h"
#include "masterdata/masterdata_fixture.h"
#include "store/spare_part_card.h"
#include "store/spare_part_operations.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "support/handover_rows.h"
#include "support/unprivileged.h"

namespace gim {
namespace {

using test::RecordBytes;
using test::RecordFrom;

const QString kCard = QStringLiteral("REPUESTOS DE MÁQUINAS");
const QString kParts = QStringLiteral("PORTAL.RPW");
const QString kPartsTwin = QStringLiteral("PORTAL.RBK");
const QString kMovements = QStringLiteral("PORTAL.MOV");
const QString kDuplicate = QStringLiteral("Código repetido Anulada ALTA");

class SparePartsTest : public test::MasterdataTest
{
protected:
    SparePartsTest()
    {
        RegisterMainWindowOperations(registry); // the condition of the sort after the cards
        RegisterSpareParts(registry, t.ctx);
        // Today, week 50 of 2026, is the 4th year of a horizon from 2022: absolute week 258, stored 2.
        t.ctx.st.FirstYear = 22;
        t.ctx.st.LastYear = 27;
    }

    static TSparePartRecord Part(const char* code, const char* family, const char* use, const char* piece,
                                 const char* name = "Pieza")
    {
        TSparePartRecord r{};
        r.Codigo = code;
        r.Equipo = family;
        r.Util = use;
        r.Pieza = piece;
        r.Nombre = name;
        return r;
    }
    void StoreParts(const std::vector<TSparePartRecord>& parts) { StoreRecords(t.ctx, kParts, parts); }
    std::vector<std::string> ListNames()
    {
        std::vector<std::string> names;
        for (const SparePartEntry& e : SpareParts(t.ctx).SparePartList)
            names.emplace_back(e.rec.Nombre.bytes());
        return names;
    }
    std::vector<std::uint32_t> ListPositions()
    {
        std::vector<std::uint32_t> positions;
        for (const SparePartEntry& e : SpareParts(t.ctx).SparePartList)
            positions.push_back(e.pos);
        return positions;
    }
    std::vector<std::string> FileNames(const QString& file)
    {
        std::vector<std::string> names;
        for (const TSparePartRecord& r : LoadRecords<TSparePartRecord>(t.ctx, file))
            names.emplace_back(r.Nombre.bytes());
        return names;
    }
    // Numbers a new part of the group against the list as it stands.
    QString NumberFor(const char* code, const char* family, const char* use)
    {
        TSparePartRecord& buf = SpareParts(t.ctx).SparePartBuffer;
        buf = Part(code, family, use, "???");
        if (!AssignPieceNumber(t.ctx))
            return QStringLiteral("refused:") + buf.Pieza.str();
        return buf.Pieza.str();
    }
};

// ---- The list, its order and its lookups ---------------------------------------------------------------

TEST_F(SparePartsTest, LoadFromTheLastRecordPutsEachLeastKeyFirstAndOthersAfterTheirEquals)
{
    // Read from the end: A3, C, A2, B2, A1, B1. Each A is the least key when it comes and takes the head;
    // B2 and then B1 follow the parts of their key.
    StoreParts({Part("B", "", "", "", "B1"), Part("A", "", "", "", "A1"), Part("B", "", "", "", "B2"),
                Part("A", "", "", "", "A2"), Part("C", "", "", "", "C"), Part("A", "", "", "", "A3")});
    LoadSparePartList(t.ctx);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"A1", "A2", "A3", "B2", "B1", "C"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{1, 3, 5, 2, 0, 4}));

    // One by one: an equal of the head goes before it, an equal of any other part after it.
    InsertSparePartSorted(t.ctx, {Part("A", "", "", "", "A4"), 6});
    InsertSparePartSorted(t.ctx, {Part("B", "", "", "", "B3"), 7});
    InsertSparePartSorted(t.ctx, {Part("C", "", "", "", "C2"), 8});
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"A4", "A1", "A2", "A3", "B2", "B1", "B3", "C", "C2"}));

    // The key is the four codes joined: "M1" + "E" sorts after "M" + "1D", and a prefix sorts first.
    FreeSparePartList(t.ctx);
    EXPECT_TRUE(SpareParts(t.ctx).SparePartList.empty());
    StoreParts({Part("M1", "E", "", "", "M1E"), Part("M", "1D", "", "", "M1D"), Part("M", "1", "", "", "M1"),
                Part("M", "\xD1", "", "", "high byte")});
    LoadSparePartList(t.ctx);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"M1", "M1D", "M1E", "high byte"}));
}

TEST_F(SparePartsTest, SortedRewriteKeepsTheFileInTheTwinAndDropsDeletedParts)
{
    const std::vector<TSparePartRecord> file{
        Part("B", "", "", "", "B1"), Part("A", "", "", "", "A1"), Part("Z", "EL", "CON", "001", "borrada"),
        Part("B", "", "", "", "B2"), Part("A", "", "", "", "A2"), Part("C", "", "", "", "C"),
        Part("A", "", "", "", "A3")};
    StoreParts(file);
    const std::string before = t.ReadFile(kParts);
    ASSERT_TRUE(SortSparePartFile(t.ctx));
    // From the first record on, B1 took the head and stays before B2; each A took the head in turn.
    EXPECT_EQ(FileNames(kParts), (std::vector<std::string>{"A3", "A2", "A1", "B1", "B2", "C"}));
    EXPECT_EQ(t.ReadFile(kPartsTwin), before);
    // The list follows the new file.
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"A3", "A2", "A1", "B1", "B2", "C"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
}

TEST_F(SparePartsTest, LookupsByKeyFindTheFirstPartAndClearTheBufferWhenThereIsNone)
{
    TSparePartRecord bearing = Part("M1", "ME", "ROD", "000", "Rodamiento 6204");
    bearing.Exist = 7;
    bearing.Valor = 450;
    bearing.Marca = "SKF";
    bearing.CdPVD = "P1";
    bearing.Local = "A-1";
    StoreParts({Part("M1", "ME", "ROD", "001", "Rodamiento 6205"), bearing});
    LoadSparePartList(t.ctx);
    State& st = t.ctx.st;
    SparePartsState& sp = SpareParts(t.ctx);

    EXPECT_EQ(FindSparePartByKey(t.ctx, "M1", "ME", "ROD", "000"), std::optional<std::size_t>(0));
    EXPECT_EQ(st.RunFlag, 1);
    EXPECT_EQ(std::memcmp(&sp.SparePartBuffer, &bearing, sizeof bearing), 0);

    // A part no longer there leaves nothing of the one found before.
    EXPECT_EQ(FindSparePartByKey(t.ctx, "M1", "ME", "ROD", "009"), std::nullopt);
    EXPECT_EQ(st.RunFlag, 0);
    const auto expected = RecordFrom<TSparePartRecord>(RecordBytes(200)
                                                           .Text(0, "M1")
                                                           .Text(9, "ME")
                                                           .Text(12, "ROD")
                                                           .Text(16, "009")
                                                           .Text(20, "CODIGO DE REPUESTO ANULADO ACTUALMENTE")
                                                           .Text(184, " "));
    EXPECT_EQ(std::memcmp(&sp.SparePartBuffer, &expected, sizeof expected), 0);

    QString key = QStringLiteral("M1MEROD001");
    FindSparePartName(t.ctx, key);
    EXPECT_EQ(key, QStringLiteral("Rodamiento 6205"));
    key = QStringLiteral("M1MEROD00");
    FindSparePartName(t.ctx, key);
    EXPECT_EQ(key, QStringLiteral("M1MEROD00"));
}

// ---- Numbering -----------------------------------------------------------------------------------------

TEST_F(SparePartsTest, NumberingTakesOneAboveTheHighestPieceOfTheGroup)
{
    // A group of its own starts at 000.
    StoreParts({Part("M1", "ME", "CAD", "004")});
    LoadSparePartList(t.ctx);
    EXPECT_EQ(NumberFor("M1", "ME", "ROD"), QStringLiteral("000"));

    StoreParts({Part("M1", "ME", "ROD", "000"), Part("M1", "ME", "CAD", "004")});
    LoadSparePartList(t.ctx);
    EXPECT_EQ(NumberFor("M1", "ME", "ROD"), QStringLiteral("001"));

    std::vector<TSparePartRecord> ten;
    for (const char* piece : {"000", "001", "002", "003", "004", "005", "006", "007", "008", "009"})
        ten.push_back(Part("M1", "ME", "ROD", piece));
    // Use "RO" with piece "D50" sorts among them by its joined key but is of another group.
    ten.push_back(Part("M1", "ME", "RO", "D50"));
    ten.push_back(Part("M1", "ME", "RO", "700"));
    StoreParts(ten);
    LoadSparePartList(t.ctx);
    EXPECT_EQ(NumberFor("M1", "ME", "ROD"), QStringLiteral("010"));

    // "???" sorts after the digits: the group's last member is unnumbered, its highest number still 001.
    StoreParts(
        {Part("M1", "ME", "ROD", "000"), Part("M1", "ME", "ROD", "???"), Part("M1", "ME", "ROD", "001")});
    LoadSparePartList(t.ctx);
    EXPECT_EQ(NumberFor("M1", "ME", "ROD"), QStringLiteral("002"));
    StoreParts({Part("M1", "ME", "ROD", "???")});
    LoadSparePartList(t.ctx);
    EXPECT_EQ(NumberFor("M1", "ME", "ROD"), QStringLiteral("000"));

    // Queued parts count before they are settled, an oddly numbered "12" too; "RO"'s "D90" is not a number.
    QueueSparePartSorted(t.ctx, {Part("M1", "ME", "RO", "D90"), 1});
    QueueSparePartSorted(t.ctx, {Part("M1", "ME", "ROD", "12"), 2});
    QueueSparePartSorted(t.ctx, {Part("M1", "ME", "ROD", "???"), 3});
    EXPECT_EQ(NumberFor("M1", "ME", "ROD"), QStringLiteral("013"));
    EXPECT_EQ(NumberFor("M1", "ME", "RO"), QStringLiteral("000"));
}

TEST_F(SparePartsTest, NumberingRefusesAGroupPastNineHundredNinetyNine)
{
    StoreParts({Part("M1", "ME", "ROD", "999")});
    LoadSparePartList(t.ctx);
    t.ui.ExpectMessage(QStringLiteral("NO QUEDAN NÚMEROS DE PIEZA EN EL GRUPO M1MEROD\rAnulada ALTA"));
    EXPECT_EQ(NumberFor("M1", "ME", "ROD"), QStringLiteral("refused:???"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Adding --------------------------------------------------------------------------------------------

TEST_F(SparePartsTest, AddNumbersEachPartStoresItWithItsOpeningMovementAndKeepsMachineNameAndMaker)
{
    StoreMachines({Machine("M1", "Prensa")});
    auto& ui = t.ui;
    ui.ExpectCard(kCard)
        .ExpectValue("Codigo", "ALMACEN_")
        .ExpectValue("Pieza", "???")
        .ExpectValue("Exist", "0")
        .ExpectValue("Valor", "0,00")
        .ExpectDisabled("Salvar")
        .ExpectDisabled("Borrar")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("&Pieza?"));
            EXPECT_EQ(s.value(QStringLiteral("NomMaquina")), QStringLiteral("NO EXISTE LA MAQUINA"));
        })
        .Set("Codigo", "M1")
        .ExpectValue("NomMaquina", "Prensa")
        .Set("Equipo", "ME")
        .ExpectValue("NomEquipo", "Mecánico")
        .Set("Util", "ROD")
        .ExpectValue("NomUtil", "Rodamientos")
        .Set("Nombre", "Rodamiento 6204")
        .Set("Marca", "SKF")
        .Set("Exist", "5")
        .Set("Valor", "12,34")
        .Set("Stock", "2")
        .Set("PPedido", "10")
        .Set("CdPVD", "P1")
        .Set("Local", "A-1")
        .Press("Salvar");
    // The number comes on the same card once more, the key closed.
    ui.ExpectCard(kCard)
        .ExpectValue("Pieza", "000")
        .ExpectValue("Valor", "12,34")
        .ExpectDisabled("Codigo")
        .ExpectDisabled("Equipo")
        .ExpectDisabled("Util")
        .ExpectDisabled("Pieza")
        .ExpectEnabled("Salvar") // back from "&Pieza?", ready to save
        .Inspect([](const CardState& s) { EXPECT_EQ(s.captions.count(QStringLiteral("Salvar")), 0u); })
        .Set("Marca", "SKF")
        .Press("Salvar");
    ui.ExpectCard(kCard)
        .ExpectValue("Codigo", "M1")
        .ExpectValue("Nombre", "Rodamiento 6204")
        .ExpectValue("Marca", "SKF")
        .ExpectValue("Equipo", "")
        .ExpectValue("Util", "")
        .ExpectValue("Pieza", "???")
        .ExpectValue("Exist", "0")
        .ExpectValue("Valor", "0,00")
        .ExpectValue("Stock", "0")
        .ExpectValue("PPedido", "0")
        .ExpectValue("CdPVD", "")
        .ExpectValue("Local", "")
        .Set("Equipo", "ME")
        .Set("Util", "ROD")
        .Set("Nombre", "Rodamiento 6205")
        .Set("Marca", "FAG")
        .Press("Salvar");
    ui.ExpectCard(kCard).ExpectValue("Pieza", "001").Set("Marca", "FAG").Press("Salvar");
    ui.ExpectCardCancel(kCard);
    ASSERT_TRUE(RunMenu("Repuestos > Alta"));
    EXPECT_SCRIPT_DONE(ui);

    const auto first = RecordFrom<TSparePartRecord>(RecordBytes(200)
                                                        .Text(0, "M1")
                                                        .Text(9, "ME")
                                                        .Text(12, "ROD")
                                                        .Text(16, "000")
                                                        .Text(20, "Rodamiento 6204")
                                                        .Text(151, "SKF")
                                                        .Raw(168, {5, 0, 0, 0})       // Exist
                                                        .Raw(172, {0xD2, 0x04, 0, 0}) // Valor 1234
                                                        .Raw(176, {2, 0, 0, 0})       // Stock
                                                        .Raw(180, {10, 0, 0, 0})      // PPedido
                                                        .Text(184, "P1")
                                                        .Text(195, "A-1"));
    const auto second = RecordFrom<TSparePartRecord>(RecordBytes(200)
                                                         .Text(0, "M1")
                                                         .Text(9, "ME")
                                                         .Text(12, "ROD")
                                                         .Text(16, "001")
                                                         .Text(20, "Rodamiento 6205")
                                                         .Text(151, "FAG"));
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{first, second}));
    // Sorted by the command, through the twin.
    EXPECT_EQ(t.ReadFile(kPartsTwin), Bytes(std::vector{first, second}));
    // Only the part with stock enters the journal: +5 at 12,34 into the store, this week's byte.
    const auto entry = RecordFrom<TStoreMovementRecord>(RecordBytes(52)
                                                            .Text(0, "M1")
                                                            .Text(9, "ME")
                                                            .Text(12, "ROD")
                                                            .Text(16, "000")
                                                            .Text(20, "ALMACEN_")
                                                            .Raw(29, {2})
                                                            .Text(30, " ")
                                                            .Raw(44, {5, 0, 0, 0})
                                                            .Raw(48, {0xD2, 0x04, 0, 0}));
    EXPECT_EQ(t.ReadFile(kMovements), Bytes(std::vector{entry}));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.MOP")));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
}

TEST_F(SparePartsTest, TheFirstStorePartCreatesTheStoreMachineAndAnEmptyNameEndsWithoutWriting)
{
    StoreMachines({Machine("A1"), Machine("Z9")});
    auto& ui = t.ui;
    ui.ExpectCard(kCard)
        .Set("Codigo", "A1")
        .Set("Equipo", "EL")
        .Set("Util", "CON")
        .Set("Nombre", "Rele")
        .Set("Marca", "Omron")
        .Press("Salvar");
    ui.ExpectCard(kCard).ExpectValue("Pieza", "000").Set("Marca", "Omron").Press("Salvar");
    // A store part without a name: the store becomes a machine all the same, and nothing more is written.
    ui.ExpectCard(kCard)
        .Set("Codigo", "ALMACEN_")
        .ExpectValue("NomMaquina", "NO EXISTE LA MAQUINA")
        .Set("Equipo", "FE")
        .ExpectValue("NomEquipo", "Ferretería")
        .Set("Util", "CON")
        .ExpectValue("NomUtil", "Control")
        .Set("Util", "XYZ") // a code of no table leaves the label
        .ExpectValue("NomUtil", "Control")
        .Set("Nombre", "")
        .Set("Marca", "")
        .Press("Salvar");
    ui.ExpectCard(kCard).ExpectValue("Pieza", "000").Set("Marca", "").Press("Salvar");
    ASSERT_TRUE(RunMenu("Repuestos > Alta"));
    EXPECT_SCRIPT_DONE(ui);

    const auto store = RecordFrom<TMachineRecord>(
        RecordBytes(161).Text(0, "ALMACEN_").Text(9, "ALMACEN REPUESTOS Y MATERIALES").Text(133, "ALM"));
    EXPECT_EQ(MachineBytes(), Bytes(std::vector{Machine("A1"), store, Machine("Z9")}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.MBK")),
              Bytes(std::vector{Machine("A1"), Machine("Z9"), store}));
    EXPECT_EQ(FileNames(kParts), (std::vector<std::string>{"Rele"}));
    // The part stored before still asks for the sort.
    EXPECT_EQ(t.ReadFile(kPartsTwin), t.ReadFile(kParts));
    EXPECT_FALSE(t.Exists(kMovements));
}

TEST_F(SparePartsTest, ARepeatedKeyIsRefusedAndNothingIsWritten)
{
    StoreMachines({Machine("M1")});
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento")});
    const std::string before = t.ReadFile(kParts);
    t.ui.ExpectCard(kCard)
        .Set("Codigo", "M1")
        .Set("Equipo", "ME")
        .Set("Util", "ROD")
        .Set("Pieza", "000")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("&Salvar"));
        })
        .Set("Nombre", "Otro")
        .Set("Exist", "4")
        .Press("Salvar");
    t.ui.ExpectMessage(kDuplicate);
    ASSERT_TRUE(RunMenu("Repuestos > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), before);
    EXPECT_FALSE(t.Exists(kPartsTwin));
    EXPECT_FALSE(t.Exists(kMovements));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
}

// A text in a whole-number field used to abandon the whole command; Valor 99999999999 was stored wrapped.
TEST_F(SparePartsTest, TheCardKeepsANumberFieldThatIsNoWholeNumber)
{
    StoreMachines({Machine("M1")});
    StoreParts({Part("M1", "ME", "ROD", "000")});
    StoreRecords(t.ctx, kMovements, std::vector<TStoreMovementRecord>(1));
    const std::string files = t.ReadFile(kParts) + t.ReadFile(kMovements);
    const char* price = "VALOR NO VÁLIDO EN VALOR UNITARIO (€): UN IMPORTE DE 0,00 A 21474836,47";
    const char* cases[][3] = {
        {"Valor", "99999999999", price},
        {"Valor", "-5,00", price},
        {"Exist", "5x", "VALOR NO VÁLIDO EN EXISTENCIAS: UN NÚMERO ENTERO DE -2147483648 A 2147483647"},
        {"Stock", "-1", "VALOR NO VÁLIDO EN STOCK MÍNIMO: UN NÚMERO ENTERO DE 0 A 2147483647"},
        {"PPedido", "2147483648", "VALOR NO VÁLIDO EN CANTIDAD PEDIDO: UN NÚMERO ENTERO DE 0 A 2147483647"}};
    for (const auto& [name, text, message] : cases) {
        t.ui.ExpectCard(kCard).Set("Nombre", "J").Set(name, text).Press("Salvar").ExpectFocus(name).Escape();
        t.ui.ExpectMessage(QString::fromUtf8(message));
        ASSERT_TRUE(RunMenu("Repuestos > Alta"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.ReadFile(kParts) + t.ReadFile(kMovements), files) << text;
    }
}

TEST_F(SparePartsTest, AnUnknownMachineBringsTheCardBackOpenToPutItRight)
{
    StoreMachines({Machine("M1")});
    auto& ui = t.ui;
    ui.ExpectCard(kCard)
        .Set("Codigo", "M7")
        .ExpectValue("NomMaquina", "NO EXISTE LA MAQUINA")
        .Set("Equipo", "HI")
        .Set("Util", "VAL")
        .Set("Nombre", "Valvula")
        .Set("Marca", "Festo")
        .Press("Salvar")
        .Set("Codigo", "M1")
        .Press("Salvar");
    ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA M7"));
    ui.ExpectCard(kCard).ExpectValue("Pieza", "000").Set("Marca", "Festo").Press("Salvar");
    ui.ExpectCardCancel(kCard);
    AddSparePart(t.ctx);
    EXPECT_SCRIPT_DONE(ui);
    const auto stored = LoadRecords<TSparePartRecord>(t.ctx, kParts);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(PartKeyText(stored[0]), QStringLiteral("M1HIVAL000"));
}

TEST_F(SparePartsTest, ImportStoresOnePartWithoutCardAndEndsAnUnknownMachineUnstored)
{
    State& st = t.ctx.st;
    SparePartsState& sp = SpareParts(t.ctx);
    StoreMachines({Machine("M1")});
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;

    sp.SparePartInput = Part("M7", "ME", "ROD", "???", "Rodamiento");
    AddSparePart(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 0);
    EXPECT_FALSE(t.Exists(kParts));

    sp.SparePartInput = Part("M1", "ME", "ROD", "???", "Rodamiento");
    sp.SparePartInput.Exist = 2;
    sp.SparePartInput.Valor = 300;
    AddSparePart(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 1);
    AddSparePart(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 1);
    EXPECT_SCRIPT_DONE(t.ui);
    std::vector<std::string> keys;
    for (const TSparePartRecord& r : LoadRecords<TSparePartRecord>(t.ctx, kParts))
        keys.push_back(PartKeyText(r).toStdString());
    EXPECT_EQ(keys, (std::vector<std::string>{"M1MEROD000", "M1MEROD001"}));
    EXPECT_EQ(LoadRecords<TStoreMovementRecord>(t.ctx, kMovements).size(), 2u);
}

// Imported parts wait at the list's end: a repeated one is still refused, and the settled list stands as
// one insertion after another leaves it ("M1M"+"E" joins as "M1"+"ME", so it takes the head).
TEST_F(SparePartsTest, ImportedPartsAreRefusedWhenRepeatedAndSettleAsInsertedOneByOne)
{
    StoreMachines({Machine("M1"), Machine("M1M")});
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento")});
    LoadSparePartList(t.ctx);
    t.ctx.st.ActionCode = QStringLiteral("i");
    t.ctx.st.InteractiveFlag = 0;
    t.ui.ExpectMessage(QStringLiteral("Código repetido Anulada ALTA"));
    const std::pair<TSparePartRecord, bool> lines[] = {{Part("M1M", "E", "ROD", "000", "Eje"), true},
                                                       {Part("M1", "ME", "ROD", "001", "Reten"), true},
                                                       {Part("M1M", "E", "ROD", "000", "Eje"), false}};
    for (const auto& [part, added] : lines)
        EXPECT_EQ(AddImportedSparePart(t.ctx, part), added);
    EXPECT_SCRIPT_DONE(t.ui);
    SettleSparePartList(t.ctx);
    std::string listed;
    for (const SparePartEntry& e : SpareParts(t.ctx).SparePartList)
        listed += e.rec.Codigo.str().toStdString() + "/" + std::to_string(e.pos) + " ";
    EXPECT_EQ(listed, "M1M/1 M1/0 M1/2 ");
}

// A part the file refused used to be reported to the import as added.
TEST_F(SparePartsTest, APartTheFileRefusesIsNotReportedAsAdded)
{
    StoreMachines({Machine("M1")});
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento")});
    const std::string before = t.ReadFile(kParts);
    test::WriteProtect(t.Path(kParts));
    const std::string failures = test::RunUnprivileged(t.ctx.st.WorkDir, [&]() -> std::string {
        State& st = t.ctx.st;
        st.ActionCode = QStringLiteral("i");
        st.InteractiveFlag = 0;
        SpareParts(t.ctx).SparePartInput = Part("M1", "ME", "ROD", "???", "Otro");
        SpareParts(t.ctx).SparePartInput.Exist = 1;
        LoadSparePartList(t.ctx);
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO PORTAL.RPW"));
        AddSparePart(t.ctx);
        if (st.RecordAddedFlag != 0)
            return "the refused part was reported as added";
        if (st.ContinueFlag != 0)
            return "the refused part asked for the sort";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(t.ReadFile(kParts), before);
    EXPECT_FALSE(t.Exists(kMovements));
}

// ---- The card on its own and the journal ---------------------------------------------------------------

TEST_F(SparePartsTest, CardResultsSetTheAnswerAndTheButtonsFollowTheActionCode)
{
    State& st = t.ctx.st;
    TSparePartRecord part = Part("M1", "ME", "ROD", "003", "Rodamiento");

    st.ActionCode = QStringLiteral("M");
    t.ui.ExpectCard(kCard)
        .ExpectDisabled("Borrar")
        .ExpectDisabled("Codigo")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("Movimiento"));
        })
        .Set("Marca", "SKF")
        .Press("Salvar");
    EXPECT_EQ(ShowSparePartForm(t.ctx, part), CardResult::Save);
    EXPECT_EQ(st.AnswerCode, QStringLiteral("M"));
    EXPECT_EQ(part.Marca.bytes(), "SKF");

    st.ActionCode = QStringLiteral("A");
    t.ui.ExpectCard(kCard).ExpectEnabled("Borrar").Press("Borrar");
    EXPECT_EQ(ShowSparePartForm(t.ctx, part), CardResult::Delete);
    EXPECT_EQ(part.Codigo.bytes(), "Z");
    EXPECT_EQ(st.AnswerCode, QStringLiteral("B"));

    st.ActionCode = QStringLiteral("E");
    st.RunFlag = 1;
    t.ui.ExpectCard(kCard)
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("Etiquetas"));
        })
        .Press("Salir");
    EXPECT_EQ(ShowSparePartForm(t.ctx, part), CardResult::Exit);
    EXPECT_EQ(part.Codigo.bytes(), "#");
    EXPECT_EQ(st.AnswerCode, QStringLiteral("N"));
    EXPECT_EQ(st.RunFlag, 0);
    EXPECT_EQ(SpareParts(t.ctx).AddContinueMark, QStringLiteral("N"));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(SparePartsTest, PictureBoxOpensThePartsPictureInItsMachineFolder)
{
    State& st = t.ctx.st;
    SparePartsState& sp = SpareParts(t.ctx);
    int opened = 0;
    registry.Register(Op::ShowSparePartPicture, [&opened](Context&) { ++opened; });
    st.ActionCode = QStringLiteral("A");
    TSparePartRecord part = Part("M1", "ME", "ROD", "003", "Rodamiento");
    t.ui.ExpectCard(kCard).Set("imagen", "1").Press("Salvar");
    ShowSparePartForm(t.ctx, part);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(sp.SparePartPictureName, QStringLiteral("MEROD003.jpg"));
    EXPECT_EQ(st.CurrentSubFolder, QStringLiteral("\\REPUESTOS\\PORTAL\\M1\\"));
    EXPECT_EQ(st.OutputCode, QStringLiteral("W"));
    EXPECT_TRUE(QFileInfo(data + QStringLiteral("/REPUESTOS/PORTAL/M1")).isDir());
    EXPECT_EQ(sp.AddContinueMark, QStringLiteral("N"));

    part = Part("M1", "*", "ROD", "003");
    t.ui.ExpectCard(kCard).Set("imagen", "1").Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("No es posible cargar la Imagen\rCódigo no Definido"));
    ShowSparePartForm(t.ctx, part);
    EXPECT_EQ(opened, 1);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(SparePartsTest, BudgetMaterialsGoToTheirOwnJournal)
{
    TStoreMovementRecord m{};
    m.Codigo = "M1";
    m.User = "OP/77";
    m.Quantity = -1;
    ASSERT_TRUE(AppendMovement(t.ctx, m));
    m.User = "OT/77";
    ASSERT_TRUE(AppendMovement(t.ctx, m));
    ASSERT_TRUE(AppendMovement(t.ctx, m));
    const auto budget = LoadRecords<TStoreMovementRecord>(t.ctx, QStringLiteral("PORTAL.MOP"));
    ASSERT_EQ(budget.size(), 1u);
    EXPECT_EQ(budget[0].User.bytes(), "OP/77");
    EXPECT_EQ(LoadRecords<TStoreMovementRecord>(t.ctx, kMovements).size(), 2u);
}

// Editar > R.Almacén and Editar > Compras split the joined part key of their listings.
TEST_F(SparePartsTest, EditarRAlmacenAndComprasFillTheFieldsOfTheirColumns)
{
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    EditFlags& flags = t.ctx.st.PendingEditFlags;
    handover.HandOver(flags, EditItem::RAlmacen,
                      test::Row({"2", "PRENSA01MEROD001", "Rodamiento 6204", "SKF", "4", "10", "A12"}));
    EXPECT_EQ(test::Describe(handover.Buffer(EditItem::RAlmacen)),
              test::Describe({{"Codigo", "PRENSA01"},
                              {"Equipo", "ME"},
                              {"Util", "ROD"},
                              {"Pieza", "001"},
                              {"Nombre", "Rodamiento 6204"},
                              {"Stock", "4"},
                              {"Exist", "10"},
                              {"Local", "A12"}}));
    handover.HandOver(flags, EditItem::Compras,
                      test::Row({"", "31", "M1MEROD001", "PROV01", "26/49/1", "26/50/1", "27/00/1", "P"}));
    EXPECT_EQ(test::Describe(handover.Buffer(EditItem::Compras)), test::Describe({{"Nped", "31"},
                                                                                  {"Codigo", "M1"},
                                                                                  {"Equipo", "ME"},
                                                                                  {"Util", "ROD"},
                                                                                  {"Pieza", "001"},
                                                                                  {"Sumtro", "PROV01"},
                                                                                  {"fechALTA", "26/49/1"},
                                                                                  {"fechaENT", "26/50/1"},
                                                                                  {"Fechcierr", "27/00/1"}}));
}

} // namespace
} // namespace gim
