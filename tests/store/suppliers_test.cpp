#include "core/environment.h"
#include "masterdata/masterdata_fixture.h"
#include "platform/report.h"
#include "store/store_operations.h"
#include "store/supplier_card.h"
#include "store/supplier_listings.h"
#include "store/suppliers.h"
#include "support/unprivileged.h"

#include <algorithm>

namespace gim {
namespace {

using test::RecordBytes;

// Firm "FABRICA", environment "PORTAL".
const QString kSupplierFile = QStringLiteral("FABRI_PO.PVW");
const QString kTwinFile = QStringLiteral("FABRIPOR.PVW");
const QString kCard = QStringLiteral("FABRICA /PROVEEDORES DE MANTENIMIENTO");

class SuppliersTest : public test::MasterdataTest
{
protected:
    SuppliersTest()
    {
        BuildFirmFileNames(t.ctx);
        RegisterMainWindowOperations(registry);
        RegisterStore(registry, t.ctx);
    }

    static TSupplierRecord Supplier(const char* code, const char* firm = "Suministros")
    {
        TSupplierRecord r{};
        r.Codigo = code;
        r.Empresa = QString::fromUtf8(firm);
        r.Contacto = "Ana";
        r.Tlf = "973000000";
        r.Fax = "973000001";
        r.mail = "ana@sum.es";
        return r;
    }
    void StoreSuppliers(const std::vector<TSupplierRecord>& suppliers)
    {
        StoreRecords(t.ctx, kSupplierFile, suppliers);
    }
    std::string SupplierBytes() const { return t.ReadFile(kSupplierFile); }
    std::vector<std::string> ListCodes()
    {
        std::vector<std::string> codes;
        for (const SupplierEntry& e : Suppliers(t.ctx).SupplierList)
            codes.emplace_back(e.rec.Codigo.bytes());
        return codes;
    }
    std::vector<std::string> ListFirms()
    {
        std::vector<std::string> firms;
        for (const SupplierEntry& e : Suppliers(t.ctx).SupplierList)
            firms.emplace_back(e.rec.Empresa.bytes());
        return firms;
    }
    std::vector<std::uint32_t> ListPositions()
    {
        std::vector<std::uint32_t> positions;
        for (const SupplierEntry& e : Suppliers(t.ctx).SupplierList)
            positions.push_back(e.pos);
        return positions;
    }
    void ExpectEditPrompt(const char* code)
    {
        t.ui.ExpectInput(QStringLiteral("CONSULTA SELECTIVA PROVEEDORES "),
                         QStringLiteral("INTRODUCIR CODIGO PROVEEDOR"), QString::fromLatin1(code));
    }
};

// ---- Alta ---------------------------------------------------------------------------------------------

TEST_F(SuppliersTest, TheFirstSupplierCreatesTheFileByteForByte)
{
    t.ui.ExpectCard(kCard)
        .ExpectValue("Codigo", "#")
        .ExpectValue("Empresa", "")
        .ExpectDisabled("Borrar")
        .ExpectEnabled("Salvar")
        .Set("Empresa", "Ferretería León")
        .Set("Contacto", "María Peña")
        .Set("Calle", "Polígono El Tambor")
        .Set("Numero", "12-14Bis") // cut to 6
        .Set("Ciudad", "León")
        .Set("Cpostal", "24010")
        .Set("Pais", "España")
        .Set("Tlf", "987000000")
        .Set("Fax", "987000001")
        .Set("Codigo", "FERR01")
        .Set("Especialidad", "Ferretería")
        .Set("mail", "compras@ferr.es")
        .Press("Salvar");
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto expected = RecordBytes(274)
                              .Text(0, "Ferreter\355a Le\xF3n")
                              .Text(37, "Mar\355a Pe\361a")
                              .Text(74, "Pol\xEDgono El Tambor")
                              .Text(111, "12-14B")
                              .Text(118, "Le\xF3n")
                              .Text(143, "24010")
                              .Text(150, "Espa\361a")
                              .Text(175, "987000000")
                              .Text(188, "987000001")
                              .Text(201, "FERR01")
                              .Text(212, "Ferreter\355a")
                              .Text(225, "compras@ferr.es");
    EXPECT_EQ(SupplierBytes(), std::string(expected.Bytes().begin(), expected.Bytes().end()));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    // One record is in order: nothing was compacted, so no twin.
    EXPECT_FALSE(t.Exists(kTwinFile));
    EXPECT_EQ(t.ctx.st.ActionCode, "");
}

TEST_F(SuppliersTest, ANewSupplierJoinsTheFileAndTheCompactionSortsIt)
{
    StoreSuppliers({Supplier("M1"), Supplier("T1")});
    t.ui.ExpectCard(kCard).Set("Codigo", "A1").Set("Empresa", "Alfa").Press("Salvar");
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    TSupplierRecord a1{};
    a1.Codigo = "A1";
    a1.Empresa = "Alfa";
    EXPECT_EQ(SupplierBytes(), Bytes(std::vector{a1, Supplier("M1"), Supplier("T1")}));
    // The twin holds the file before the compaction, from its last record to its first.
    EXPECT_EQ(t.ReadFile(kTwinFile), Bytes(std::vector{a1, Supplier("T1"), Supplier("M1")}));
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
}

TEST_F(SuppliersTest, ADuplicateCodeIsRefusedWithNothingWrittenAndNotCountedAsAdded)
{
    StoreSuppliers({Supplier("B2"), Supplier("P1")});
    const std::string before = SupplierBytes();
    LoadSupplierList(t.ctx);
    t.ctx.st.RecordAddedFlag = 1; // left by an earlier line
    t.ui.ExpectCard(kCard).Set("Codigo", "P1").Set("Empresa", "Otra").Press("Salvar").Escape();
    t.ui.ExpectMessage(QStringLiteral("CODIGO :P1 REPETIDO ANULADA ALTA"));
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(SupplierBytes(), before);
    EXPECT_FALSE(t.Exists(kTwinFile));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"B2", "P1"}));
}

TEST_F(SuppliersTest, AnImportedSupplierCountsAsAddedOnlyWhenStored)
{
    StoreSuppliers({Supplier("P1")});
    SuppliersState& s = Suppliers(t.ctx);
    t.ctx.st.ActionCode = QStringLiteral("i");

    // The card shows the imported line and is saved as it stands.
    s.SupplierInput = Supplier("P1", "Repetido");
    CardScript& repeated = t.ui.ExpectCard(kCard).ExpectValue("Empresa", "Repetido").ExpectEnabled("Borrar");
    repeated.Press("Salvar").Escape();
    t.ui.ExpectMessage(QStringLiteral("CODIGO :P1 REPETIDO ANULADA ALTA"));
    AddSupplier(t.ctx);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);

    // A new record carries only its texts: what an earlier, longer text left in the buffer is not stored.
    s.SupplierInput = Supplier("Q7", "Nuevo proveedor");
    s.SupplierInput.Empresa = "Nuevo";
    t.ui.ExpectCard(kCard).ExpectValue("Codigo", "Q7").Press("Salvar");
    AddSupplier(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    EXPECT_EQ(SupplierBytes(), Bytes(std::vector{Supplier("P1"), Supplier("Q7", "Nuevo")}));
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"Q7"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{1}));
}

TEST_F(SuppliersTest, ALeftOrDeletedNewCardStoresNothing)
{
    t.ui.ExpectCard(kCard).Set("Codigo", "P1").Press("Salir");
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));
    t.ui.ExpectCardCancel(kCard);
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));
    // A code typed as "Z" is a deleted supplier.
    t.ui.ExpectCard(kCard).Set("Codigo", "Z").Press("Salvar");
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(kSupplierFile));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
}

// ---- File names ----------------------------------------------------------------------------------------

TEST_F(SuppliersTest, TwoEnvironmentsOfOneFirmShareTheSupplierFile)
{
    State& st = t.ctx.st;
    st.FirmName = QStringLiteral("ZODIVA VUV ADIZO");
    st.CurrentEnvironment = QStringLiteral("PLANTA1");
    BuildFirmFileNames(t.ctx);
    EXPECT_EQ(st.SupplierFileName, "ZODIV_PL.PVW");
    EXPECT_EQ(st.SupplierTempFileName, "ZODIVPLA.PVW");
    t.ui.ExpectCard(QStringLiteral("ZODIVA VUV ADIZO /PROVEEDORES DE MANTENIMIENTO"))
        .Set("Codigo", "P1")
        .Set("Empresa", "Uno")
        .Press("Salvar");
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));

    st.CurrentEnvironment = QStringLiteral("PLANTA2");
    BuildDataFileNames(t.ctx);
    BuildFirmFileNames(t.ctx);
    EXPECT_EQ(st.SupplierFileName, "ZODIV_PL.PVW");
    EXPECT_EQ(st.SupplierTempFileName, "ZODIVPLA.PVW");
    EXPECT_EQ(FindSupplierName(t.ctx, QStringLiteral("P1")), "Uno");
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.Exists(QStringLiteral("ZODIV_PL.PVW")));
}

TEST_F(SuppliersTest, AFirmNameThatCannotNameAFileNamesNoSupplierFile)
{
    State& st = t.ctx.st;
    // Blanks are kept: the file is the one the firm has always had.
    st.FirmName = QStringLiteral("LA FABRICA");
    BuildFirmFileNames(t.ctx);
    EXPECT_EQ(st.SupplierFileName, "LA FA_PO.PVW");
    EXPECT_EQ(st.SupplierTempFileName, "LA FAPOR.PVW");

    // A separator would put the file in another folder, even outside the data folder.
    for (const char* firm : {"../..", "A/B", "AB\\CD", "A:B"}) {
        st.FirmName = QString::fromLatin1(firm);
        BuildFirmFileNames(t.ctx);
        EXPECT_EQ(st.SupplierFileName, "") << firm;
        EXPECT_EQ(st.SupplierTempFileName, "") << firm;
        EXPECT_EQ(st.PersonnelFileName, "") << firm;
    }
    st.FirmName = QStringLiteral("../..");
    BuildFirmFileNames(t.ctx);
    t.ui.ExpectCard(QStringLiteral("../.. /PROVEEDORES DE MANTENIMIENTO"))
        .Set("Codigo", "P1")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("NOMBRE DE FICHERO NO VALIDO"));
    ASSERT_TRUE(RunMenu("Proveedores > Alta"));
    ExpectEditPrompt("P1");
    t.ui.ExpectMessage(QStringLiteral("NOMBRE DE FICHERO NO VALIDO"));
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);
    EXPECT_EQ(FindSupplierName(t.ctx, QStringLiteral("P1")), "No es Proveedor");
    EXPECT_EQ(QDir(root).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(QDir(data).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
}

// ---- Lookups and list ----------------------------------------------------------------------------------

TEST_F(SuppliersTest, FindSupplierNameMatchesTheExactCodeOfTheFirstRecord)
{
    EXPECT_EQ(FindSupplierName(t.ctx, QStringLiteral("P1")), "No es Proveedor"); // no file yet
    StoreSuppliers({Supplier("P2", "Segundo"), Supplier("P1", "Primero"), Supplier("P1", "Otro")});
    EXPECT_EQ(FindSupplierName(t.ctx, QStringLiteral("P1")), "Primero");
    EXPECT_EQ(FindSupplierName(t.ctx, QStringLiteral("p1")), "No es Proveedor");
    EXPECT_EQ(FindSupplierName(t.ctx, QStringLiteral("P")), "No es Proveedor");
    // A file in code order, then one supplier appended out of order.
    StoreSuppliers({Supplier("A1", "a"), Supplier("B2", "b"), Supplier("B2", "c"), Supplier("C3", "d")});
    EXPECT_EQ(FindSupplierName(t.ctx, QStringLiteral("B2")), "b");
    KeyedFile<SupplierFile>(t.ctx).Append(Supplier("A0", "Nuevo"));
    using Case = std::pair<const char*, const char*>;
    for (const auto& [code, firm] :
         {Case{"A0", "Nuevo"}, {"B2", "b"}, {"C3", "d"}, {"B1", "No es Proveedor"}})
        EXPECT_EQ(FindSupplierName(t.ctx, QString::fromLatin1(code)), firm) << code;
}

TEST_F(SuppliersTest, TheListIsInCodeOrderWithEqualCodesReadFromTheLastRecord)
{
    StoreSuppliers({Supplier("C3", "c"), Supplier("A1", "x"), Supplier("B2", "b"), Supplier("A1", "y")});
    LoadSupplierList(t.ctx);
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "A1", "B2", "C3"}));
    EXPECT_EQ(ListFirms(), (std::vector<std::string>{"y", "x", "b", "c"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{3, 1, 2, 0}));

    InsertSupplierSorted(t.ctx, {Supplier("A1", "z"), 4});
    EXPECT_EQ(ListFirms(), (std::vector<std::string>{"y", "x", "z", "b", "c"}));
    FreeSupplierList(t.ctx);
    EXPECT_TRUE(Suppliers(t.ctx).SupplierList.empty());

    // No file: an empty list and no message.
    QFile::remove(t.Path(kSupplierFile));
    LoadSupplierList(t.ctx);
    EXPECT_TRUE(Suppliers(t.ctx).SupplierList.empty());
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Compaction ----------------------------------------------------------------------------------------

TEST_F(SuppliersTest, CompactionSortsAscendingDropsDeletedAndKeepsTheOldFileReversedInTheTwin)
{
    const std::vector<TSupplierRecord> old{Supplier("C3", "c"), Supplier("Z", "borrado"), Supplier("A1", "x"),
                                           Supplier("B2", "b"), Supplier("A1", "y")};
    StoreSuppliers(old);
    ASSERT_TRUE(CompactSupplierFile(t.ctx));
    EXPECT_EQ(SupplierBytes(), Bytes(std::vector{Supplier("A1", "y"), Supplier("A1", "x"),
                                                 Supplier("B2", "b"), Supplier("C3", "c")}));
    std::vector<TSupplierRecord> reversed = old;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(t.ReadFile(kTwinFile), Bytes(reversed));
    // The list is left with the file as written.
    EXPECT_EQ(ListFirms(), (std::vector<std::string>{"y", "x", "b", "c"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{0, 1, 2, 3}));

    // Without a file there is nothing to compact, and nothing is created.
    QFile::remove(t.Path(kSupplierFile));
    QFile::remove(t.Path(kTwinFile));
    EXPECT_FALSE(CompactSupplierFile(t.ctx));
    EXPECT_FALSE(t.Exists(kTwinFile));
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Edición -------------------------------------------------------------------------------------------

TEST_F(SuppliersTest, AnEditedSupplierIsWrittenWhereItLiesInTheFile)
{
    // Left unsorted (an import stopped before its compaction): the list order is not the file order.
    // The fax once held a longer number: the bytes past its length are the old file's and stay.
    TSupplierRecord a1 = Supplier("A1", "a");
    a1.Fax = "999999999";
    a1.Fax = "12";
    StoreSuppliers({Supplier("B2", "b"), a1});
    ExpectEditPrompt("A1");
    t.ui.ExpectCard(kCard)
        .ExpectValue("Empresa", "a")
        .ExpectValue("Tlf", "973000000")
        .ExpectEnabled("Borrar")
        .Set("Empresa", "Alfa Nueva")
        .Press("Salvar");
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    TSupplierRecord edited = a1;
    edited.Empresa = "Alfa Nueva";
    EXPECT_EQ(SupplierBytes(), Bytes(std::vector{edited, Supplier("B2", "b")}));
    EXPECT_EQ(SupplierBytes().substr(188, 10), std::string("\x02"
                                                           "12"
                                                           "9999999"));
    // The twin shows what the edit wrote, before the compaction: B2 untouched, A1 changed in place.
    EXPECT_EQ(t.ReadFile(kTwinFile), Bytes(std::vector{edited, Supplier("B2", "b")}));
}

TEST_F(SuppliersTest, AChangedCodeThatAnotherSupplierHasIsRefused)
{
    StoreSuppliers({Supplier("A1", "a"), Supplier("B2", "b")});
    const std::string before = SupplierBytes();
    ExpectEditPrompt("A1");
    t.ui.ExpectCard(kCard).Set("Codigo", "B2").Press("Salvar").ExpectFocus("Codigo").Escape();
    t.ui.ExpectMessage(QStringLiteral("CODIGO :B2 REPETIDO ANULADA ALTA"));
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    EXPECT_EQ(SupplierBytes(), before);

    // A new code of its own is taken, and the compaction puts the supplier in its place.
    ExpectEditPrompt("A1");
    t.ui.ExpectCard(kCard).Set("Codigo", "C3").Press("Salvar");
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(SupplierBytes(), Bytes(std::vector{Supplier("B2", "b"), Supplier("C3", "a")}));
}

TEST_F(SuppliersTest, ADeletedSupplierLeavesTheFileAndTheListing)
{
    StoreSuppliers({Supplier("A1", "a"), Supplier("B2", "b")});
    ExpectEditPrompt("A1");
    t.ui.ExpectCard(kCard).Press("Borrar");
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    EXPECT_EQ(SupplierBytes(), Bytes(std::vector{Supplier("B2", "b")}));
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);

    t.ui.ExpectReport(QStringLiteral("PROVEEDORES TÉCNICOS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Proveedores > Listado"));
    EXPECT_SCRIPT_DONE(t.ui);
    const QString text = t.ui.Reports().back()->Text();
    EXPECT_FALSE(text.contains(QStringLiteral("\tA1\t")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\tNUMERO DE PROVEEDORES : \t1")));
}

TEST_F(SuppliersTest, AnEditThatFindsNothingShowsAndWritesNothing)
{
    StoreSuppliers({Supplier("PROV1", "Mayúsculas"), Supplier("Q2", "q")});
    const std::string before = SupplierBytes();
    // Codes compare exactly: lower case does not find upper case.
    ExpectEditPrompt("prov1");
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    // Leaving the card writes nothing.
    ExpectEditPrompt("Q2");
    t.ui.ExpectCard(kCard).Set("Empresa", "cambiada").Press("Salir");
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(SupplierBytes(), before);

    // Without a supplier file the edit says so.
    QFile::remove(t.Path(kSupplierFile));
    ExpectEditPrompt("Q2");
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Proveedores > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(kSupplierFile));
}

TEST_F(SuppliersTest, AWriteProtectedFileIsListedAndEveryChangeIsReportedWithoutChange)
{
    StoreSuppliers({Supplier("A1", "a"), Supplier("B2", "b")});
    const std::string before = SupplierBytes();
    test::WriteProtect(t.Path(kSupplierFile));
    const std::string failures = test::RunUnprivileged(data, [&]() -> std::string {
        t.ui.ExpectReport(QStringLiteral("PROVEEDORES TÉCNICOS DE PORTAL"));
        if (!RunMenu("Proveedores > Listado"))
            return "the listing failed";
        if (!t.ui.Reports().back()->Text().endsWith(QStringLiteral("\tNUMERO DE PROVEEDORES : \t2")))
            return "the listing does not show both suppliers";
        t.ui.ExpectCard(kCard).Set("Codigo", "C3").Press("Salvar");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Proveedores > Alta"))
            return "the new card was abandoned";
        if (t.ctx.st.RecordAddedFlag != 0)
            return "a supplier not stored counts as added";
        ExpectEditPrompt("B2");
        t.ui.ExpectCard(kCard).Set("Empresa", "Otra").Press("Salvar");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Proveedores > Edición"))
            return "the edit was abandoned";
        // Looking a supplier up and leaving its card says nothing.
        ExpectEditPrompt("A1");
        t.ui.ExpectCard(kCard).Press("Salir");
        if (!RunMenu("Proveedores > Edición"))
            return "the look was abandoned";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(SupplierBytes(), before);
    EXPECT_FALSE(t.Exists(kTwinFile));
}

// ---- Listado -------------------------------------------------------------------------------------------

TEST_F(SuppliersTest, TheListingShowsEverySupplierInCodeOrderAndTheirNumber)
{
    TSupplierRecord b = Supplier("B2", "Bombas del Ebro");
    b.Contacto = "Jordi";
    b.mail = "";
    StoreSuppliers({b, Supplier("A1", "Aceros Núñez")});
    t.ui.ExpectReport(QStringLiteral("PROVEEDORES TÉCNICOS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Proveedores > Listado"));
    EXPECT_SCRIPT_DONE(t.ui);
    const ReportDocument& report = *t.ui.Reports().back();
    EXPECT_EQ(report.Transcript(),
              QStringLiteral(
                  "[PROVEEDORES TÉCNICOS DE PORTAL]\n"
                  "TABS: 5 65 250 310 370 470 500\n"
                  "{12 b}\tFABRICA          PROVEEDORES TÉCNICOS \tPORTAL\t07/12/2026\n"
                  "{12 u}\tCodigo\t   Proveedor\tTlfono\tFax\tContacto\tMail\n"
                  "\n"
                  "{8}\tA1\tAceros Núñez\t973000000\t973000001\tAna\tana@sum.es\n"
                  "\tB2\tBombas del Ebro\t973000000\t973000001\tJordi\t\n"
                  "\n"
                  "------------------------------------------------------------------------------------\n"
                  "\tNUMERO DE PROVEEDORES : \t2\n"));
    EXPECT_EQ(report.saveSubFolder, "\\Proveedores");
    // The listing frees its list.
    EXPECT_TRUE(Suppliers(t.ctx).SupplierList.empty());
}

} // namespace
} // namespace gim
