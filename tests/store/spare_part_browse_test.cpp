#include "app/features.h"
#include "store/spare_part_browse.h"
#include "store/store_fixture.h"

namespace gim {
namespace {

using test::RecordBytes;
using test::RecordFrom;

const QString kFilter = QStringLiteral("CONSULTA SELECTIVA DE REPUESTOS DE MAQUINAS");
const QString kPartCard = QStringLiteral("REPUESTOS DE MÁQUINAS");
const char* kCorrections = "Repuestos > Edición In/Out > Correcciones";
const char* kBookings = "Repuestos > Entradas/Salidas";

class SparePartBrowseTest : public test::StoreTest
{
protected:
    SparePartBrowseTest() { StoreMachines({Machine("M1", "Prensa"), Machine("M2", "Torno")}); }

    CardScript& Filter(const char* code, const char* family, const char* use, const char* piece)
    {
        return t.ui.ExpectCard(kFilter)
            .ExpectValue("Codigo", "*")
            .ExpectValue("Equipo", "*")
            .ExpectValue("Util", "*")
            .ExpectValue("Pieza", "*")
            .ExpectDisabled("Imagen")
            .Set("Codigo", code)
            .Set("Equipo", family)
            .Set("Util", use)
            .Set("Pieza", piece)
            .Press("Buscar");
    }
};

// ---- The walk and its filter ---------------------------------------------------------------------------

TEST_F(SparePartBrowseTest, AStarInEveryFieldVisitsEveryPartAndWritesTheCorrectedOneInPlace)
{
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento"), Part("M1", "ME", "ROD", "001", "Reten"),
                Part("M2", "EL", "CON", "000", "Rele")});
    const std::vector<TSparePartRecord> before = PartFile();
    t.ui.ExpectCard(kFilter).Press("Buscar");
    // Leaving the name opens the save button.
    t.ui.ExpectCard(kPartCard).ExpectValue("Nombre", "Rodamiento").Set("Marca", "").Press("Salvar");
    t.ui.ExpectCard(kPartCard).ExpectValue("Nombre", "Reten").Set("Marca", "SKF").Press("Salvar");
    t.ui.ExpectCard(kPartCard).ExpectValue("Nombre", "Rele").Set("Marca", "").Press("Salvar");
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    TSparePartRecord corrected = before[1];
    corrected.Marca = "SKF";
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{before[0], corrected, before[2]}));
    // No key changed: the file was not rewritten through its twin.
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.RBK")));
    EXPECT_EQ(SpareParts(t.ctx).SparePartFilter.Codigo.bytes(), "*");

    // Leaving a card ends the walk.
    t.ui.ExpectCard(kFilter).Press("Buscar");
    t.ui.ExpectCard(kPartCard).Press("Salir");
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(SparePartBrowseTest, ARowOfTheQueryHandedOverOpensCorrectionsOnItsPart)
{
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento"), Part("M1", "ME", "ROD", "001", "Reten")});
    t.ui.ExpectCard(kFilter).Press("Buscar");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Repuestos > Consultas > Código"));
    const QString row = t.ui.Reports().back()->Text().split('\n').filter("Reten").value(0);
    t.ctx.Module<HandoverRegistry>().HandOver(t.ctx.st.PendingEditFlags, EditItem::RAlmacen, row);
    t.ui.ExpectCard(kFilter).ExpectValue("Codigo", "M1").ExpectValue("Pieza", "001").Press("Buscar");
    t.ui.ExpectCard(kPartCard).ExpectValue("Nombre", "Reten").Press("Salir");
    Dispatcher(t.ctx, registry, MainCommandTable()).RunPendingEdits();
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(SparePartBrowseTest, LeavingTheFilterEndsAndAnUnknownMachineOrNoMatchIsSaid)
{
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento")});
    // A search left, with the previous command's filter still standing, visits nothing.
    SpareParts(t.ctx).SparePartFilter = Part("*", "*", "*", "*");
    t.ui.ExpectCard(kFilter).Press("Salir");
    ASSERT_TRUE(RunMenu(kCorrections));
    t.ui.ExpectCardCancel(kFilter);
    ASSERT_TRUE(RunMenu(kCorrections));

    Filter("X9", "*", "*", "*");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu(kCorrections));
    Filter("M1", "ME", "ROD", "999");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE Código Anulado Movimiento\rM1MEROD999"));
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);

    // The filter names its codes as they are typed.
    t.ui.ExpectCard(kFilter)
        .Set("Equipo", "NU")
        .ExpectValue("NomEquipo", "Neumático")
        .Set("Equipo", "*")
        .ExpectValue("NomEquipo", "Indistinto")
        .Set("Util", "TER")
        .ExpectValue("NomUtil", "Terminales")
        .Set("Util", "CIL")
        .ExpectValue("NomUtil", "Terminales")
        .Set("Codigo", "M2")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.caption, QStringLiteral("\nRepuestos Torno")); })
        .Inspect([](const CardState& s) { EXPECT_TRUE(s.hidden.count(QStringLiteral("MqnDest"))); })
        .Press("Salir");
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{Part("M1", "ME", "ROD", "000", "Rodamiento")}));
}

TEST_F(SparePartBrowseTest, ThePictureButtonFollowsThePictureOfTheTypedKey)
{
    QDir().mkpath(data + QStringLiteral("/REPUESTOS/PORTAL/M1"));
    QFile picture(data + QStringLiteral("/REPUESTOS/PORTAL/M1/MEROD000.jpg"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    int opened = 0;
    registry.Register(Op::ShowSparePartPicture, [&opened](Context&) { ++opened; });
    t.ui.ExpectCard(kFilter)
        .Set("Codigo", "M1")
        .Set("Equipo", "ME")
        .Set("Util", "ROD")
        .Set("Pieza", "001")
        .Set("Codigo", "M1")
        .ExpectDisabled("Imagen")
        .Set("Pieza", "000")
        .Set("Codigo", "M1")
        .ExpectEnabled("Imagen")
        .Press("Imagen")
        .Press("Salir");
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(t.ctx.st.CurrentSubFolder, QStringLiteral("\\REPUESTOS\\PORTAL\\M1\\"));
}

// ---- Entries and exits ---------------------------------------------------------------------------------

TEST_F(SparePartBrowseTest, AWholeKeyGoesStraightToTheMovementCardAndThePartIsRewrittenInPlace)
{
    StoreParts(
        {Part("M1", "ME", "ROD", "000", "Rodamiento", 5, 450), Part("M1", "ME", "ROD", "001", "Reten")});
    Filter("M1", "ME", "ROD", "000");
    t.ui.ExpectCard(kMovementCard).Set("CdtMov", "2").Set("MqDestin", "M2").Press("Salida");
    ASSERT_TRUE(RunMenu(kBookings));
    EXPECT_SCRIPT_DONE(t.ui);
    const auto rewritten = RecordFrom<TSparePartRecord>(RecordBytes(200)
                                                            .Text(0, "M1")
                                                            .Text(9, "ME")
                                                            .Text(12, "ROD")
                                                            .Text(16, "000")
                                                            .Text(20, "Rodamiento")
                                                            .Raw(168, {3, 0, 0, 0})         // Exist
                                                            .Raw(172, {0xC2, 0x01, 0, 0})); // Valor 450
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{rewritten, Part("M1", "ME", "ROD", "001", "Reten")}));
    const auto exit = RecordFrom<TStoreMovementRecord>(RecordBytes(52)
                                                           .Text(0, "M1")
                                                           .Text(9, "ME")
                                                           .Text(12, "ROD")
                                                           .Text(16, "000")
                                                           .Text(20, "M2")
                                                           .Raw(29, {2})
                                                           .Text(30, "")
                                                           .Raw(44, {0xFE, 0xFF, 0xFF, 0xFF})
                                                           .Raw(48, {0xC2, 0x01, 0, 0}));
    EXPECT_EQ(t.ReadFile(kMovements), Bytes(std::vector{exit}));

    // With a "*" each part comes on its card first.
    Filter("M1", "ME", "ROD", "*");
    t.ui.ExpectCard(kPartCard).ExpectValue("Pieza", "000").Set("Marca", "").Press("Salvar");
    t.ui.ExpectCard(kMovementCard).ExpectValue("Repuesto", "M1MEROD000").Press("Salir");
    ASSERT_TRUE(RunMenu(kBookings));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(MovementFileRecords().size(), 1u);

    // The key of an unnumbered part opens on its card, but a movement keeps the part where it was found.
    StoreParts({Part("M1", "ME", "ROD", "???", "Sin numero")});
    Filter("M1", "ME", "ROD", "*");
    t.ui.ExpectCard(kPartCard)
        .Set("Pieza", "005")
        .Set("Nombre", "Sin numero")
        .Set("Marca", "")
        .Press("Salvar");
    t.ui.ExpectCard(kMovementCard).Set("CdtMov", "1").Press("Entrada");
    t.ui.ExpectInputCancel(kAverage, kAveragePrompt);
    ASSERT_TRUE(RunMenu(kBookings));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{Part("M1", "ME", "ROD", "???", "Sin numero", 1)}));
    EXPECT_EQ(MovementFileRecords().back().Pieza.bytes(), "???");
}

TEST_F(SparePartBrowseTest, AHandedOverMovementShowsNoWindowAndBooksTheFirstPartOfAWholeKeyOnly)
{
    State& st = t.ctx.st;
    // Two parts of one key, as an old file may hold them.
    StoreParts({Part("M1", "ME", "ROD", "000", "Primero", 2, 100),
                Part("M1", "ME", "ROD", "000", "Segundo", 2, 100)});
    LoadSparePartList(t.ctx);
    StoreMovementsState& sm = StoreMovements(t.ctx);
    sm.MovementInput.Movement = Movement("M1", "ME", "ROD", "000", "ALMACEN_", 0, "OT/5", 4, 250);
    sm.MovementInput.Year = 26;
    sm.MovementInput.Week = 50;
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;
    // The average price is asked also without the card.
    t.ui.ExpectInputCancel(kAverage, kAveragePrompt);
    BrowseSpareParts(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(sm.MovementPostedFlag, 1);
    const auto parts = PartFile();
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].Exist.get(), 6);
    EXPECT_EQ(parts[0].Valor.get(), 200); // (200 + 1000) div 6
    EXPECT_EQ(parts[1].Exist.get(), 2);
    // The list entry follows its record.
    EXPECT_EQ(SpareParts(t.ctx).SparePartList[0].rec.Exist.get(), 6);
    ASSERT_EQ(MovementFileRecords().size(), 1u);
    EXPECT_EQ(MovementFileRecords()[0].UnitValue.get(), 250);

    // A key with "*" names no part to book.
    sm.MovementInput.Movement.Pieza = "*";
    BrowseSpareParts(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(sm.MovementPostedFlag, 0);
    EXPECT_EQ(MovementFileRecords().size(), 1u);

    // An exit to a machine that is not there books nothing and posts nothing.
    sm.MovementInput.Movement = Movement("M1", "ME", "ROD", "000", "X9", 0, "", 1, 0);
    BrowseSpareParts(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(sm.MovementPostedFlag, 0);
    EXPECT_EQ(PartFile()[0].Exist.get(), 6);
}

// ---- Deletion and corrections of the key ---------------------------------------------------------------

TEST_F(SparePartBrowseTest, DeletionIsRefusedForStockThenForAnEntryAndAcceptedWithOnlyExits)
{
    const TSparePartRecord stocked = Part("M1", "ME", "ROD", "000", "Con stock", 3);
    const TSparePartRecord entered = Part("M1", "ME", "ROD", "001", "Con entrada");
    const TSparePartRecord spent = Part("M1", "ME", "ROD", "002", "Solo salidas");
    StoreParts({stocked, entered, spent});
    StoreMovementFile({Movement("M1", "ME", "ROD", "000", "ALMACEN_", 2, "", 3, 100),
                       Movement("M1", "ME", "ROD", "002", "M1", 2, "", -1, 100),
                       Movement("M1", "ME", "ROD", "001", "ALMACEN_", 2, "", 1, 100),
                       Movement("M1", "ME", "ROD", "002", "M2", 2, "", -4, 100)});
    const QString title = QStringLiteral("ELIMINAR FICHA REPUESTOS");
    const QString confirm = QStringLiteral("CONFIRMAR ANULACIÓN FICHA (S/N):");
    t.ui.ExpectCard(kFilter).Press("Buscar");
    t.ui.ExpectCard(kPartCard).Press("Borrar");
    t.ui.ExpectInput(title, confirm, "S");
    t.ui.ExpectMessage(QStringLiteral("NO SE PUEDE ANULAR POR EXISTIR REPUESTOS EN ALMACÉN"));
    t.ui.ExpectCard(kPartCard).Press("Borrar");
    t.ui.ExpectInput(title, confirm, "S");
    t.ui.ExpectMessage(QStringLiteral("NO SE PUEDE ANULAR POR EXISTIR MOVIMIENTOS DE ALMACÉN"));
    t.ui.ExpectCard(kPartCard).Press("Borrar");
    t.ui.ExpectInput(title, confirm, "S");
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    // The deleted part is dropped by the rewrite that follows.
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{stocked, entered}));

    // Anything but "S" keeps the part.
    t.ui.ExpectCard(kFilter).Press("Buscar");
    t.ui.ExpectCard(kPartCard).Set("Marca", "").Press("Salvar");
    t.ui.ExpectCard(kPartCard).Press("Borrar");
    t.ui.ExpectInputCancel(title, confirm);
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{stocked, entered}));
}

TEST_F(SparePartBrowseTest, ACorrectedKeyIsCheckedForRepeatsAndMachinesAndThenSorted)
{
    const TSparePartRecord numbered = Part("M1", "ME", "ROD", "000", "Numerada");
    const TSparePartRecord open = Part("M1", "ME", "ROD", "???", "Sin numero");
    StoreParts({numbered, open});
    const std::string before = t.ReadFile(kParts);
    // To a key already there: refused, the file unchanged.
    Filter("M1", "ME", "ROD", "???");
    t.ui.ExpectCard(kPartCard)
        .Set("Pieza", "000")
        .Set("Nombre", "Sin numero")
        .Set("Marca", "")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("Código repetido Anulada ALTA"));
    t.ui.ExpectMessage(QStringLiteral("CODIGO DE REPUESTO REPETIDO.ANULADA ALTA O MODIFICACION"));
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), before);

    // A machine code that only begins the old one is still looked up.
    Filter("M1", "ME", "ROD", "???");
    t.ui.ExpectCard(kPartCard)
        .Set("Codigo", "M")
        .Set("Nombre", "Sin numero")
        .Set("Marca", "")
        .Press("Salvar")
        .Escape();
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA M"));
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), before);

    // A free key on an existing machine is written and the file put back in key order.
    Filter("M1", "ME", "ROD", "???");
    t.ui.ExpectCard(kPartCard)
        .Set("Codigo", "M2")
        .Set("Pieza", "000")
        .Set("Nombre", "Sin numero")
        .Set("Marca", "")
        .Press("Salvar");
    ASSERT_TRUE(RunMenu(kCorrections));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kParts), Bytes(std::vector{numbered, Part("M2", "ME", "ROD", "000", "Sin numero")}));
}

TEST_F(SparePartBrowseTest, LabelsGoToTheLabelHookForEachAcceptedCard)
{
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento")});
    std::vector<std::string> printed;
    registry.Register(Op::PrintSparePartLabels, [&printed](Context& c) {
        printed.emplace_back(SpareParts(c).SparePartBuffer.Nombre.bytes());
    });
    t.ui.ExpectCard(kFilter).Press("Buscar");
    t.ui.ExpectCard(kPartCard)
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("Etiquetas"));
        })
        .ExpectEnabled("Salvar")
        .Press("Salvar");
    ASSERT_TRUE(RunMenu("Repuestos > Edición In/Out > Etiquetas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(printed, std::vector<std::string>{"Rodamiento"});
}

} // namespace
} // namespace gim
