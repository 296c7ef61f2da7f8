#include "core/command.h"
#include "core/io_errors.h"
#include "store/spare_part_browse.h"
#include "store/store_fixture.h"
#include "store/store_movements.h"
#include "support/killed_child.h"

#include <sys/wait.h>
#include <unistd.h>

namespace gim {
namespace {

using test::RecordBytes;
using test::RecordFrom;

class StoreMovementsTest : public test::StoreTest
{
protected:
    StoreMovementsTest() { StoreMachines({Machine("M1", "Prensa")}); }

    // Books on the movement card a part stored alone in the part file.
    MovementOutcome Move(TSparePartRecord& part)
    {
        StoreParts({part});
        SparePartEntry stored{part, 0};
        return MoveSparePart(t.ctx, stored, part);
    }
};

// ---- Entries and the average price ---------------------------------------------------------------------

TEST_F(StoreMovementsTest, AnEntryRaisesTheStockAtTheWeightedAverageAndJournalsTheAnsweredPrice)
{
    // 10 at 1,00 plus 5 at 1,60: (1000 + 800) div 15 = 120.
    TSparePartRecord part = Part("M1", "ME", "ROD", "000", "Rodamiento", 10, 100);
    t.ctx.st.ActionCode = QStringLiteral("M");
    t.ui.ExpectCard(kMovementCard)
        .ExpectValue("Repuesto", "M1MEROD000")
        .ExpectValue("Nombre", "Rodamiento")
        .ExpectValue("CdtMov", "0")
        .ExpectValue("MqDestin", "ALMACEN_")
        .ExpectValue("Semana", "50")
        .ExpectValue("Ano", "2026")
        .ExpectValue("CostUnit", "1,00")
        .ExpectDisabled("CostUnit")
        .ExpectDisabled("Entrada")
        .ExpectDisabled("Salida")
        .Set("CdtMov", "5")
        .ExpectEnabled("Entrada")
        .ExpectEnabled("Salida")
        .Set("CostUnit", "1,60")
        .Press("Entrada");
    t.ui.ExpectInput(kAverage, kAveragePrompt, "160");
    EXPECT_EQ(Move(part), MovementOutcome::Booked);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(part.Exist.get(), 15);
    EXPECT_EQ(part.Valor.get(), 120);
    const auto entry = RecordFrom<TStoreMovementRecord>(RecordBytes(52)
                                                            .Text(0, "M1")
                                                            .Text(9, "ME")
                                                            .Text(12, "ROD")
                                                            .Text(16, "000")
                                                            .Text(20, "ALMACEN_")
                                                            .Raw(29, {2}) // week 258 of the horizon
                                                            .Text(30, "")
                                                            .Raw(44, {5, 0, 0, 0})
                                                            .Raw(48, {160, 0, 0, 0}));
    EXPECT_EQ(t.ReadFile(kMovements), Bytes(std::vector{entry}));
    EXPECT_EQ(t.ctx.st.WorkYear, 26);
    EXPECT_EQ(t.ctx.st.WorkWeek, 258);
}

TEST_F(StoreMovementsTest, TheAveragePriceIsComputedWideAndFallsBackToThePrice)
{
    struct Case
    {
        std::int32_t exist, valor, quantity;
        const char* answer;
        std::int64_t expected;
    };
    const Case cases[] = {
        {10, 100, 5, "160", 120},
        // No stock left after the entry: the answered price.
        {-5, 100, 5, "300", 300},
        {-9, 100, 3, "250", 250},
        // A hundred thousand units at 500 euros, and as many at 700: beyond 32 bits on the way.
        {100000, 50000, 100000, "70000", 60000},
        // An average the field cannot hold comes whole, for the booking to refuse.
        {-9, 2000000000, 10, "0", -18000000000},
    };
    for (const Case& c : cases) {
        std::int32_t price = 1;
        t.ui.ExpectInput(kAverage, kAveragePrompt, c.answer);
        EXPECT_EQ(WeightedAveragePrice(t.ctx, c.exist, c.valor, c.quantity, price), c.expected) << c.answer;
        EXPECT_EQ(price, QString::fromLatin1(c.answer).toInt());
    }
    // The typed price is the default; an answer that is no number abandons the command.
    std::int32_t price = 160;
    t.ui.ExpectInputCancel(kAverage, kAveragePrompt);
    EXPECT_EQ(WeightedAveragePrice(t.ctx, 10, 100, 5, price), 120);
    t.ui.ExpectInput(kAverage, kAveragePrompt, "1,60");
    EXPECT_THROW(WeightedAveragePrice(t.ctx, 10, 100, 5, price), IoAbort);
    t.ui.ExpectInput(kAverage, kAveragePrompt, "3000000000");
    EXPECT_THROW(WeightedAveragePrice(t.ctx, 10, 100, 5, price), IoAbort);
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- Exits ---------------------------------------------------------------------------------------------

TEST_F(StoreMovementsTest, AnExitBeyondTheStockIsConfirmedAndNeverTurnedIntoAnEntry)
{
    const QString shortage = QStringLiteral("FALTA EXISTENCIAS M1MEROD000");
    const QString confirm = QStringLiteral("CONFIRME SALIDA ALMACÉN ");
    TSparePartRecord part = Part("M1", "ME", "ROD", "000", "Rodamiento", 2, 450);
    t.ctx.st.ActionCode = QStringLiteral("M");
    t.ui.ExpectCard(kMovementCard)
        .Set("CdtMov", "3")
        .Set("MqDestin", "M1")
        .ExpectValue("NomMaquina", "Prensa")
        .Set("Usuario", "OT")
        .ExpectValue("NomUsuario", "Orden de Trabajo")
        .Set("Semana", "50")
        .ExpectEnabled("Salida")
        .ExpectDisabled("Entrada")
        .ExpectDisabled("CostUnit")
        .Press("Salida");
    t.ui.ExpectInput(QStringLiteral("ORDEN DE TRABAJO"), QStringLiteral("Nº DE Orden de Trabajo : "), "77");
    // A positive answer would book an entry at the old average: asked again.
    t.ui.ExpectInput(shortage, confirm, "5");
    t.ui.ExpectInput(shortage, confirm, "-2");
    EXPECT_EQ(Move(part), MovementOutcome::Booked);
    EXPECT_EQ(part.Exist.get(), 0);
    EXPECT_EQ(part.Valor.get(), 450);
    const auto exit = RecordFrom<TStoreMovementRecord>(RecordBytes(52)
                                                           .Text(0, "M1")
                                                           .Text(9, "ME")
                                                           .Text(12, "ROD")
                                                           .Text(16, "000")
                                                           .Text(20, "M1")
                                                           .Raw(29, {2})
                                                           .Text(30, "OT/77")
                                                           .Raw(44, {0xFE, 0xFF, 0xFF, 0xFF}) // -2
                                                           .Raw(48, {0xC2, 0x01, 0, 0}));     // 450
    EXPECT_EQ(t.ReadFile(kMovements), Bytes(std::vector{exit}));

    // The question's default is the whole exit, and a negative stock is allowed; 0 cancels.
    part.Exist = 2;
    t.ui.ExpectCard(kMovementCard).Set("CdtMov", "3").Set("MqDestin", "M1").Press("Salida");
    t.ui.ExpectInputCancel(shortage, confirm);
    EXPECT_EQ(Move(part), MovementOutcome::Booked);
    EXPECT_EQ(part.Exist.get(), -1);
    EXPECT_EQ(MovementFileRecords().back().Quantity.get(), -3);
    t.ui.ExpectCard(kMovementCard).Set("CdtMov", "3").Set("MqDestin", "M1").Press("Salida");
    t.ui.ExpectInput(shortage, confirm, "0");
    EXPECT_EQ(Move(part), MovementOutcome::Cancelled);
    EXPECT_EQ(part.Exist.get(), -1);
    EXPECT_EQ(MovementFileRecords().size(), 2u);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(StoreMovementsTest, AnExitToAnUnknownMachineOrToHashBooksNothing)
{
    TSparePartRecord part = Part("M1", "ME", "ROD", "000", "Rodamiento", 5, 450);
    t.ctx.st.ActionCode = QStringLiteral("M");
    t.ui.ExpectCard(kMovementCard)
        .Set("CdtMov", "1")
        .Set("MqDestin", "X9")
        .ExpectValue("NomMaquina", "NO EXISTE LA MAQUINA")
        .Press("Salida");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA X9\r    Anulado Movimiento"));
    EXPECT_EQ(Move(part), MovementOutcome::Cancelled);
    t.ui.ExpectCard(kMovementCard).Set("CdtMov", "1").Set("MqDestin", "#").Press("Salida");
    EXPECT_EQ(Move(part), MovementOutcome::Cancelled);
    EXPECT_EQ(part.Exist.get(), 5);
    EXPECT_FALSE(t.Exists(kMovements));
    // Leaving the card ends the walk.
    t.ui.ExpectCard(kMovementCard).Press("Salir");
    EXPECT_EQ(Move(part), MovementOutcome::Ended);
    EXPECT_SCRIPT_DONE(t.ui);
}

// ---- The card's numbers and the two journals -----------------------------------------------------------

TEST_F(StoreMovementsTest, TheCardKeepsATextThatIsNoNumberAndBudgetChargesGoToTheirJournal)
{
    TSparePartRecord part = Part("M1", "ME", "ROD", "000", "Rodamiento", 5, 450);
    t.ctx.st.ActionCode = QStringLiteral("M");
    t.ui.ExpectCard(kMovementCard)
        .Set("CdtMov", "2x")
        .Press("Salida")
        .Set("CdtMov", "2")
        .Set("MqDestin", "M1")
        .Set("Usuario", "OP/12")
        .Set("Ano", "dos mil")
        .Press("Salida")
        .Set("Ano", "2026")
        .Press("Salida");
    t.ui.ExpectMessage(QStringLiteral("VALOR NO VÁLIDO EN CANTIDAD: UN NÚMERO ENTERO DE 0 A 2147483647"));
    t.ui.ExpectMessage(QStringLiteral("VALOR NO VÁLIDO EN AÑO: UN NÚMERO ENTERO DE 2000 A 2099"));
    EXPECT_EQ(Move(part), MovementOutcome::Booked);
    t.ui.ExpectCard(kMovementCard)
        .Set("CdtMov", "1")
        .Set("CostUnit", "-5,00")
        .Press("Entrada")
        .Set("CostUnit", "3")
        .Press("Entrada");
    t.ui.ExpectMessage(
        QStringLiteral("VALOR NO VÁLIDO EN COSTE UNITARIO (€): UN IMPORTE DE 0,00 A 21474836,47"));
    t.ui.ExpectInputCancel(kAverage, kAveragePrompt);
    EXPECT_EQ(Move(part), MovementOutcome::Booked);
    EXPECT_SCRIPT_DONE(t.ui);

    const auto budget = MovementFileRecords(kBudgetMovements);
    ASSERT_EQ(budget.size(), 1u);
    EXPECT_EQ(budget[0].User.bytes(), "OP/12");
    EXPECT_EQ(budget[0].Quantity.get(), -2);
    const auto store = MovementFileRecords();
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store[0].Quantity.get(), 1);
    EXPECT_EQ(store[0].UnitValue.get(), 300);
    EXPECT_EQ(part.Exist.get(), 4);
    EXPECT_EQ(part.Valor.get(), (3 * 450 + 300) / 4);
}

// A handed-over entry of 2,147,483,647 units onto a stock of 100 used to store a stock of -2,147,483,549.
TEST_F(StoreMovementsTest, AStockOrAverageBeyondItsFieldIsRefusedWithNothingWritten)
{
    const std::tuple<std::int32_t, std::int32_t, const char*, const char*> cases[] = {
        {100, 100, "100", "EXISTENCIAS FUERA DE LÍMITE: DE -2147483648 A 2147483647 UNIDADES"},
        {-2147483646, 0, "1000", "PRECIO MEDIO FUERA DE LÍMITE: DE 0,00 A 21474836,47 €"},
        {0, 100, "-500", "PRECIO FUERA DE LÍMITE: DE 0,00 A 21474836,47 €"}};
    StoreMovementFile({Movement("M1", "ME", "ROD", "000", "ALMACEN_", 2, " ", 1, 100)});
    t.ctx.st.ActionCode = QStringLiteral("i");
    t.ctx.st.InteractiveFlag = 0;
    StoreMovements(t.ctx).MovementInput.Movement =
        Movement("M1", "ME", "ROD", "000", "ALMACEN_", 0, " ", 2147483647, 0);
    for (const auto& [exist, valor, answer, message] : cases) {
        StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento", exist, valor)});
        const std::string files = t.ReadFile(kParts) + t.ReadFile(kMovements);
        t.ui.ExpectInput(kAverage, kAveragePrompt, answer);
        BrowseSpareParts(t.ctx);
        EXPECT_EQ(t.ctx.st.RefusalReason, QString::fromUtf8(message));
        EXPECT_EQ(t.ReadFile(kParts) + t.ReadFile(kMovements), files) << answer;
    }
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(StoreMovementsTest, AHandedOverMovementTakesItsDirectionFromTheDestinationWithoutTheCard)
{
    State& st = t.ctx.st;
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;
    TMovementInput& input = StoreMovements(t.ctx).MovementInput;
    input.Movement = Movement("", "", "", "", "M1", 0, "1234", 2, 999);
    input.Year = 25;
    input.Week = 52;
    TSparePartRecord part = Part("M1", "ME", "ROD", "000", "Rodamiento", 5, 450);
    EXPECT_EQ(Move(part), MovementOutcome::Booked);
    EXPECT_EQ(part.Exist.get(), 3);
    // Week 52 of 2025 is week 0 of 2026: (3 * 52 + 52) = 208.
    const auto m = MovementFileRecords();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].AbsoluteWeek, 208);
    EXPECT_EQ(m[0].Quantity.get(), -2);
    EXPECT_EQ(m[0].UnitValue.get(), 450);
    EXPECT_EQ(m[0].User.bytes(), "1234");
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(StoreMovementsTest, AHandedOverMovementOnTheCardOpensWithItsOwnValues)
{
    State& st = t.ctx.st;
    st.ActionCode = QStringLiteral("i");
    TMovementInput& input = StoreMovements(t.ctx).MovementInput;
    input.Movement = Movement("", "", "", "", "ALMACEN_", 0, "OT/9", 4, 250);
    input.Year = 26;
    input.Week = 3;
    TSparePartRecord part = Part("M1", "ME", "ROD", "000", "Rodamiento", 2, 100);
    t.ui.ExpectCard(kMovementCard)
        .ExpectValue("CdtMov", "4")
        .ExpectValue("MqDestin", "ALMACEN_")
        .ExpectValue("Usuario", "OT/9")
        .ExpectValue("Semana", "3")
        .ExpectValue("Ano", "2026")
        .ExpectValue("CostUnit", "2,50")
        .ExpectDisabled("Calendario")
        .ExpectDisabled("Salida")
        .ExpectEnabled("Entrada")
        .ExpectEnabled("CostUnit")
        .Press("Entrada");
    t.ui.ExpectInputCancel(kAverage, kAveragePrompt);
    EXPECT_EQ(Move(part), MovementOutcome::Booked);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(part.Exist.get(), 6);
    EXPECT_EQ(part.Valor.get(), 200);
    // Week 3 of 2026: (4 * 52 + 3) = 211.
    EXPECT_EQ(MovementFileRecords().at(0).AbsoluteWeek, 211);
}

// ---- A booking and a new part are one step ------------------------------------------------------------

// Each file of a handed-over exit on the card and of a new part with stock fails in turn, refused as the
// step opens it or full as it is written: nothing of the step stays, and a refused file is named.
TEST_F(StoreMovementsTest, AFileOfTheStepThatFailsLeavesEveryFileAsItWas)
{
    StoreMovements(t.ctx).MovementInput.Movement = Movement("M1", "ME", "ROD", "000", "M1", 0, "7", 2, 0);
    SpareParts(t.ctx).SparePartInput = Part("M1", "ME", "ROD", "001", "Nuevo", 4, 250);
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento", 10, 100)});
    StoreMovementFile({Movement("M1", "ME", "ROD", "000", "ALMACEN_", 2, " ", 10, 100)});
    const std::string before = t.ReadFile(kParts) + t.ReadFile(kMovements);
    for (const bool add : {false, true})
        for (const char* file : {"PORTAL.RPW", "PORTAL.MOV"})
            for (const int error : {EACCES, ENOSPC}) {
                FileFaults faults;
                // Reads go on: only the step's own opens and writes fail.
                faults.inject = [&](FileOp op, const QString& path) {
                    const bool hit =
                        error == ENOSPC ? op == FileOp::Write : op == FileOp::Open && WriteLockHeld(t.ctx);
                    return hit && path.endsWith(QLatin1String(file)) ? error : 0;
                };
                t.ctx.faults = &faults;
                t.ctx.st.InteractiveFlag = add ? 0 : 1;
                if (!add)
                    t.ui.ExpectCard(kMovementCard).Press("Salida");
                t.ui.ExpectMessage(
                    QLatin1String(error == EACCES ? "ACCESO DENEGADO " : "ESCRITURA DE DISCO ") + file);
                RunCommand(t.ctx, {.action = QStringLiteral("i")},
                           [&] { add ? AddSparePart(t.ctx) : BrowseSpareParts(t.ctx); });
                t.ctx.faults = nullptr;
                EXPECT_SCRIPT_DONE(t.ui);
                EXPECT_EQ(t.ReadFile(kParts) + t.ReadFile(kMovements), before) << add << file << error;
            }
}

// The parts are stored before their file is sorted: a sort that fails does not say they were refused.
TEST_F(StoreMovementsTest, ASortThatFailsAfterStoredPartsSaysTheyAreStored)
{
    StoreParts({Part("M1", "ME", "ROD", "001"), Part("M1", "ME", "ROD", "000")});
    FileFaults faults;
    faults.inject = [](FileOp op, const QString&) { return op == FileOp::Create ? ENOSPC : 0; };
    t.ctx.faults = &faults;
    t.ctx.st.ContinueFlag = 1;
    t.ui.ExpectMessage(QStringLiteral(
        "REPUESTO GUARDADO. NO SE HA PODIDO ORDENAR EL FICHERO PORTAL.RPW (ESCRITURA DE DISCO)"));
    registry.Run(t.ctx, Op::SortSparePartFile);
    EXPECT_SCRIPT_DONE(t.ui);
}

// The movement card's exit and the add of a part with stock, killed at each of their file calls in turn:
// after the next start the part and its movement are both there, or neither is.
TEST_F(StoreMovementsTest, AKillAtEveryFileCallLeavesPartAndMovementTogether)
{
    StoreMovements(t.ctx).MovementInput.Movement = Movement("M1", "ME", "ROD", "000", "M1", 0, "7", 2, 0);
    SpareParts(t.ctx).SparePartInput = Part("M1", "ME", "ROD", "001", "Nuevo", 4, 250);
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento", 10, 100)});
    for (const bool add : {false, true}) {
        SCOPED_TRACE(add ? "add" : "exit");
        t.ctx.st.InteractiveFlag = add ? 0 : 1;
        EXPECT_EQ(test::KillAtEveryFileCall(t, {kParts, kMovements},
                                            [&] {
                                                if (!add)
                                                    t.ui.ExpectCard(kMovementCard).Press("Salida");
                                                RunCommand(t.ctx, {.action = QStringLiteral("i")}, [&] {
                                                    add ? AddSparePart(t.ctx) : BrowseSpareParts(t.ctx);
                                                });
                                            }),
                  "");
    }
}

// ---- Corrections by week -------------------------------------------------------------------------------

TEST_F(StoreMovementsTest, CorrectionsRewriteTheWeeksMovementsInPlaceAndLeaveTheOthers)
{
    // Week 52 of 2025 is stored as 208 and read back as week 0 of 2026.
    const TStoreMovementRecord first = Movement("M1", "ME", "ROD", "000", "ALMACEN_", 208, "", 5, 160);
    const TStoreMovementRecord other = Movement("M1", "ME", "ROD", "000", "M1", 207, "1234", -1, 160);
    const TStoreMovementRecord second = Movement("M1", "ME", "ROD", "000", "M1", 208, "1234", -2, 160);
    StoreMovementFile({first, other, second});
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento", 2, 160)});
    const std::string partsBefore = t.ReadFile(kParts);
    const QString title = QStringLiteral("MOVIMIENTOS DEL ALMACEN TECNICO");
    t.ui.ExpectInput(title, QStringLiteral("INTRODUZCA SEMANA (0-52)"), "0");
    t.ui.ExpectInput(title, QStringLiteral("INTRODUZCA AÑO"), "2026");
    t.ui.ExpectCard(kMovementCard)
        .ExpectValue("Semana", "0")
        .ExpectValue("Ano", "2026")
        .ExpectValue("CdtMov", "5")
        .ExpectValue("MqDestin", "ALMACEN_")
        .ExpectValue("CostUnit", "1,60")
        .ExpectValue("Repuesto", "M1MEROD000")
        .ExpectValue("Nombre", "Rodamiento")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.count(QStringLiteral("Entrada")), 0u);
            EXPECT_TRUE(s.hidden.count(QStringLiteral("Calendario")));
        })
        .Set("CdtMov", "9")
        .Set("Usuario", "5678")
        .Set("Semana", "1")
        .Set("CostUnit", "1,70")
        .Press("Entrada");
    t.ui.ExpectCard(kMovementCard).ExpectValue("CdtMov", "-2").Press("Salida");
    ASSERT_TRUE(RunMenu("Repuestos > Edición In/Out > Movimientos"));
    EXPECT_SCRIPT_DONE(t.ui);

    TStoreMovementRecord corrected = first;
    corrected.User = "5678";
    corrected.AbsoluteWeek = 209;
    corrected.UnitValue = 170;
    TStoreMovementRecord cancelled = second;
    cancelled.Quantity = 0;
    EXPECT_EQ(t.ReadFile(kMovements), Bytes(std::vector{corrected, other, cancelled}));
    EXPECT_EQ(t.ReadFile(kParts), partsBefore);
}

TEST_F(StoreMovementsTest, BudgetCorrectionsWorkOnTheirJournalAndLeavingStops)
{
    const TStoreMovementRecord charge = Movement("M1", "ME", "ROD", "000", "M1", 2, "OP/12", -1, 160);
    StoreRecords(t.ctx, kBudgetMovements, std::vector{charge, charge});
    StoreMovementFile({charge});
    const QString title = QStringLiteral("MOVIMIENTOS DEL ALMACEN TECNICO");
    t.ui.ExpectInputCancel(title, QStringLiteral("INTRODUZCA SEMANA (0-52)"));
    t.ui.ExpectInputCancel(title, QStringLiteral("INTRODUZCA AÑO"));
    // This week's byte wrapped past 255: it reads back in the horizon's first year.
    t.ui.ExpectCard(kMovementCard).ExpectValue("Semana", "2").ExpectValue("Ano", "2022").Press("Salida");
    t.ui.ExpectCard(kMovementCard).Press("Salir");
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > Presupuesto > Mat/Rep"));
    EXPECT_SCRIPT_DONE(t.ui);
    TStoreMovementRecord cancelled = charge;
    cancelled.Quantity = 0;
    EXPECT_EQ(t.ReadFile(kBudgetMovements), Bytes(std::vector{cancelled, charge}));
    EXPECT_EQ(t.ReadFile(kMovements), Bytes(std::vector{charge}));

    // A week that is no number abandons the command.
    t.ui.ExpectInput(title, QStringLiteral("INTRODUZCA SEMANA (0-52)"), "cincuenta");
    t.ctx.st.ActionCode = QStringLiteral("E");
    EXPECT_THROW(EditMovementsByWeek(t.ctx), IoAbort);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(StoreMovementsTest, TheListFollowsThePartKeyWithTheHeadFirstRule)
{
    // Read from the end: B2, A1, B1. A1 takes the head; B1 then follows B2.
    StoreMovementFile({Movement("B", "", "", "", "", 0, "1", 1, 0),
                       Movement("A", "", "", "", "", 0, "2", 1, 0),
                       Movement("B", "", "", "", "", 0, "3", 1, 0)});
    LoadMovementList(t.ctx);
    auto users = [&] {
        std::vector<std::string> u;
        for (const MovementEntry& e : StoreMovements(t.ctx).MovementList)
            u.emplace_back(e.rec.User.bytes());
        return u;
    };
    EXPECT_EQ(users(), (std::vector<std::string>{"2", "3", "1"}));
    InsertMovementSorted(t.ctx, {Movement("A", "", "", "", "", 0, "4", 1, 0), 3});
    InsertMovementSorted(t.ctx, {Movement("B", "", "", "", "", 0, "5", 1, 0), 4});
    EXPECT_EQ(users(), (std::vector<std::string>{"4", "2", "3", "1", "5"}));
    FreeMovementList(t.ctx);
    EXPECT_TRUE(StoreMovements(t.ctx).MovementList.empty());
}

} // namespace
} // namespace gim

namespace gim {
namespace {

// Two programs book movements on one part at once, each reading the part and booking it as the card does:
// every booking stores its movement and its stock together, none refused, so the stock ends as the opening
// stock plus every movement in the journal.
TEST_F(StoreMovementsTest, TwoProgramsBookingOnOnePartKeepStockAndJournalInAgreement)
{
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento", 1000, 100)});
    constexpr int kBookings = 150;
    std::vector<pid_t> children;
    for (int program = 0; program < 2; ++program) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The child is the other program: its own copy of the context, on the same folder.
            Context& own = t.ctx;
            own.st.ProgramId = DrawProgramId();
            for (int i = 0; i < kBookings;) {
                std::vector<TSparePartRecord> parts =
                    LoadRecords<TSparePartRecord>(own, QStringLiteral("PORTAL.RPW"));
                if (parts.size() != 1)
                    ::_exit(3);
                SparePartEntry stored{parts[0], 0};
                TSparePartRecord part = parts[0];
                const std::int32_t quantity = program == 0 ? 2 : -1;
                const MovementToBook movement{quantity, 100, program == 0 ? "ALMACEN_" : "M1", "", 50};
                // Booked onto the stock as it stands when the lock is had: never refused.
                if (!BookMovement(own, stored, part, movement, part.Valor.get()))
                    ::_exit(4);
                ++i;
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RunCommand(t.ctx, {}, [] {}); // the next command finds the journal emptied
    std::int64_t sum = 0;
    const auto movements = LoadRecords<TStoreMovementRecord>(t.ctx, QStringLiteral("PORTAL.MOV"));
    for (const TStoreMovementRecord& m : movements)
        sum += m.Quantity.get();
    EXPECT_EQ(movements.size(), 2u * kBookings);
    EXPECT_EQ(sum, kBookings * 2 - kBookings);
    EXPECT_EQ(LoadRecords<TSparePartRecord>(t.ctx, QStringLiteral("PORTAL.RPW")).at(0).Exist.get(),
              1000 + sum);
}

} // namespace
} // namespace gim
