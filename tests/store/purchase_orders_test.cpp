#include "store/purchase_order_reports.h"
#include "store/purchase_orders.h"
#include "store/store_fixture.h"
#include "store/store_operations.h"
#include "support/killed_child.h"

#include <optional>

namespace gim {
namespace {

using test::ExpectRecordBytes;
using test::RecordBytes;

const QString kCard = QStringLiteral("COMPRAS  DE REPUESTOS");
const QString kOrders = QStringLiteral("PORTAL.COM");

class PurchaseOrdersTest : public test::StoreTest
{
protected:
    PurchaseOrdersTest()
    {
        RegisterStore(registry, t.ctx);
        StoreMachines({Machine("M1", "Prensa")});
    }

    static TPurchaseOrderRecord Line(std::int32_t nped, const char* refer, std::int16_t cantidad = 10,
                                     std::int16_t entradas = 0, std::int32_t valor = 250)
    {
        TPurchaseOrderRecord r{};
        r.Nped = nped;
        r.Refer = refer;
        r.Codigo = "M1";
        r.Equipo = "ME";
        r.Util = "ROD";
        r.Pieza = "000";
        r.Albaran = "#";
        r.fechALTA = "26/45/1";
        r.fechaENT = "26/49/1";
        r.Fechcierr = "27/00/1";
        r.Estado = "P";
        r.Cantidad = cantidad;
        r.Entradas = entradas;
        r.Valor = valor;
        return r;
    }
};

TEST_F(PurchaseOrdersTest, NewLinesAreNumberedFromTheFileAndOpenWithTheDefaults)
{
    struct Case
    {
        const char* what;
        std::vector<std::int32_t> file; // order numbers of the file's lines, none = no file
        const char* item;
        std::optional<QString> asked; // the order number typed; nullopt = the prompt cancelled
        std::optional<std::int32_t> numbered;
        std::uint16_t lastYear = 27;
        const char* closing = "27/00/1";
    };
    const Case cases[] = {
        {"no file", {}, "Compras > Altas > Nuevo Pedido", {}, 1},
        {"highest + 1", {7, 3}, "Compras > Altas > Nuevo Pedido", {}, 8},
        {"known order", {3, 7}, "Compras > Altas > Añadir Item", QStringLiteral("3"), 3},
        {"unknown order", {3, 7}, "Compras > Altas > Añadir Item", QStringLiteral("5"), 8},
        {"plan ending 2009", {3}, "Compras > Altas > Nuevo Pedido", {}, 4, 9, "09/00/1"},
        {"#", {3, 7}, "Compras > Altas > Añadir Item", QStringLiteral("#"), {}},
        {"nothing", {3, 7}, "Compras > Altas > Añadir Item", QStringLiteral(""), {}},
        {"cancelled", {3, 7}, "Compras > Altas > Añadir Item", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveDataFile(t.ctx, kOrders);
        t.ctx.st.LastYear = c.lastYear;
        std::vector<TPurchaseOrderRecord> before;
        for (const std::int32_t n : c.file)
            before.push_back(Line(n, n == c.file.back() ? "ULTIMA" : "OTRA"));
        if (!before.empty())
            StoreRecords(t.ctx, kOrders, before);
        const bool extending = QString::fromUtf8(c.item).endsWith(QStringLiteral("Item"));
        if (extending && c.asked)
            t.ui.ExpectInput(QStringLiteral("AMPLIACIÓN SELECTIVA PEDIDOS "),
                             QStringLiteral("INTRODUCIR Nº DE PEDIDO"), *c.asked);
        else if (extending)
            t.ui.ExpectInputCancel(QStringLiteral("AMPLIACIÓN SELECTIVA PEDIDOS "),
                                   QStringLiteral("INTRODUCIR Nº DE PEDIDO"));
        if (c.numbered)
            t.ui.ExpectCard(kCard)
                .ExpectValue("Nped", QString::number(*c.numbered))
                .ExpectValue("Fechcierr", QString::fromLatin1(c.closing))
                .ExpectDisabled("CalenCierr")
                .Press("Salvar");
        ASSERT_TRUE(RunMenu(c.item));
        EXPECT_SCRIPT_DONE(t.ui);
        const std::vector<TPurchaseOrderRecord> after = LoadRecords<TPurchaseOrderRecord>(t.ctx, kOrders);
        if (!c.numbered) {
            EXPECT_EQ(after.size(), before.size());
            continue;
        }
        ASSERT_EQ(after.size(), before.size() + 1);
        // Sorted by number; the new line goes after the lines of its order.
        for (std::size_t i = 1; i < after.size(); ++i)
            EXPECT_LE(after[i - 1].Nped.get(), after[i].Nped.get());
        const auto added = std::find_if(after.rbegin(), after.rend(), [&](const TPurchaseOrderRecord& r) {
            return r.Nped.get() == *c.numbered;
        });
        ASSERT_NE(added, after.rend());
        const std::string refer = before.empty() ? std::string() : std::string("ULTIMA");
        ExpectRecordBytes(*added, RecordBytes(284)
                                      .Raw(0, {static_cast<unsigned char>(*c.numbered), 0, 0, 0})
                                      .Text(4, refer)
                                      .Text(49, "DESCRIPCI\xD3N")
                                      .Text(180, "MARCA")
                                      .Text(208, "#")
                                      .Text(219, "26/50/1")
                                      .Text(228, "26/50/1")
                                      .Text(237, c.closing)
                                      .Text(246, "FABRICA")
                                      .Text(271, "P"));
    }
}

TEST_F(PurchaseOrdersTest, ReceiptBooksTheUnitsWithTheLineAndSplitsThePendingOnes)
{
    struct Case
    {
        const char* what;
        const char* item;
        bool saved;        // the card saved, else left with "&Salir"
        const char* entry; // the answer to the store-entry question; nullptr = not asked
        const char* split; // the answer to the pending-units question; nullptr = not asked
        // The file afterwards: Cantidad and Entradas per line of order 4, in file order.
        std::vector<std::pair<int, int>> lines;
        std::int32_t exist;
        std::size_t movements;
        bool moved = false; // another program rewrites the order file while the movement card is open
        int before = 0;     // units the line had received already
        const char* typed = "6";
        const char* button = "Entrada"; // on the movement card
        std::int32_t valor = 190;       // (4 x 100 + 6 x 250) div 10
    };
    const char* kPending = "Compras > Recepción Pedidos > Pendientes";
    const char* kEdit = "Compras > Edición";
    const Case cases[] = {
        {"received and split", kPending, true, "S", "S", {{10, 6}, {4, 0}}, 10, 1},
        {"received, nothing pending", kPending, true, "S", "N", {{10, 6}}, 10, 1},
        {"saved, not booked", kPending, true, "N", "S", {{10, 6}, {4, 0}}, 4, 0},
        // After the booking the edit keeps its own mode: no split is offered.
        {"received while editing", kEdit, true, "S", nullptr, {{10, 6}}, 10, 1},
        {"left with Salir", kPending, false, nullptr, nullptr, {{10, 0}}, 4, 0},
        // The line cannot be written where it was read: the booking is not stored either.
        {"line moved meanwhile", kPending, true, "S", nullptr, {{10, 0}}, 4, 0, true},
        // A received line saved again books nothing, or only the units added since.
        {"saved again", kEdit, true, nullptr, nullptr, {{10, 6}}, 4, 0, false, 6},
        {"two more", kEdit, true, "S", nullptr, {{10, 8}}, 6, 1, false, 6, "8", "Entrada", 150},
        // No booking, no receipt: the line stays as it was.
        {"movement card left", kPending, true, "S", nullptr, {{10, 0}}, 4, 0, false, 0, "6", "Salir"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreRecords(t.ctx, kOrders, std::vector{Line(4, "R1", 10, static_cast<std::int16_t>(c.before))});
        StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento", 4, 100)});
        RemoveDataFile(t.ctx, kMovements);
        const std::string orders = t.ReadFile(kOrders);
        t.ui.ExpectInput(QStringLiteral("EDICION DE PEDIDOS"), QStringLiteral("Entrar Nº Pedido"),
                         QStringLiteral("4"));
        CardScript& card = t.ui.ExpectCard(kCard).Set("Albaran", "A-77").Set("Entradas", c.typed);
        if (!c.saved) {
            card.Press("Salir");
        } else {
            card.Focus("LUGAR").ExpectValue("Estado", "I").Press("Salvar");
        }
        if (c.entry)
            t.ui.ExpectInput(QStringLiteral("Etradas de ALMCÉN"),
                             QStringLiteral("¿Es una Entrada en ALMACËN :  (S/N)"),
                             QString::fromLatin1(c.entry));
        const bool booking = c.entry && QByteArray(c.entry) == "S" && QByteArray(c.button) == "Entrada";
        if (c.entry && QByteArray(c.entry) == "S") {
            CardScript& movement = t.ui.ExpectCard(kMovementCard)
                                       .ExpectValue("CdtMov", QString::number(std::atoi(c.typed) - c.before))
                                       .ExpectValue("Semana", "50");
            if (c.moved)
                movement.Inspect(
                    [&](const CardState&) { StoreRecords(t.ctx, kOrders, std::vector{Line(4, "OTRO")}); });
            movement.Press(QString::fromLatin1(c.button));
            if (booking)
                t.ui.ExpectInputCancel(kAverage, kAveragePrompt); // the line's price
            if (c.moved)
                t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
        }
        if (c.split)
            t.ui.ExpectInput(QStringLiteral("PEDIDO INCOMPLETO"),
                             QStringLiteral("¿Quedán unidades Pendientes?S/N :"),
                             QString::fromLatin1(c.split));
        ASSERT_TRUE(RunMenu(c.item));
        EXPECT_SCRIPT_DONE(t.ui);

        const std::vector<TPurchaseOrderRecord> lines = LoadRecords<TPurchaseOrderRecord>(t.ctx, kOrders);
        ASSERT_EQ(lines.size(), c.lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].Nped.get(), 4);
            EXPECT_EQ(lines[i].Cantidad.get(), c.lines[i].first);
            EXPECT_EQ(lines[i].Entradas.get(), c.lines[i].second);
        }
        if (c.saved && !c.moved && lines[0].Entradas.get() != 0) {
            EXPECT_EQ(lines[0].Estado.str(), QStringLiteral("I"));
            EXPECT_EQ(lines[0].Albaran.str(), QStringLiteral("A-77"));
        } else if (c.saved && !c.moved) {
            EXPECT_EQ(t.ReadFile(kOrders), orders);
        }
        if (lines.size() == 2) {
            // The pending units: a new open line delivered when the received one was due.
            ExpectRecordBytes(lines[1], RecordBytes(284)
                                            .Raw(0, {4, 0, 0, 0})
                                            .Text(4, "R1")
                                            .Text(29, "M1")
                                            .Text(38, "ME")
                                            .Text(41, "ROD")
                                            .Text(45, "000")
                                            .Text(208, "#")
                                            .Raw(210, {'-', '7', '7'}) // left of the note received
                                            .Text(219, "26/45/1")
                                            .Text(228, "26/49/1")
                                            .Text(237, "27/00/1")
                                            .Text(271, "P")
                                            .Raw(274, {4, 0})
                                            .Raw(280, {0xFA, 0, 0, 0}));
        }
        const auto parts = PartFile();
        ASSERT_EQ(parts.size(), 1u);
        EXPECT_EQ(parts[0].Exist.get(), c.exist);
        // Booked at the line's price.
        EXPECT_EQ(parts[0].Valor.get(), c.movements ? c.valor : 100);
        const auto movements = LoadRecords<TStoreMovementRecord>(t.ctx, kMovements, false);
        ASSERT_EQ(movements.size(), c.movements);
        if (c.movements) {
            EXPECT_EQ(movements[0].Quantity.get(), c.lines[0].second - c.before);
            EXPECT_EQ(movements[0].UnitValue.get(), 250);
            EXPECT_EQ(movements[0].Destination.str(), QStringLiteral("ALMACEN_"));
        }
    }
}

// The receipt killed at any file call: the received line, its pending line, the stock, the average and
// the movement are all stored or none.
TEST_F(PurchaseOrdersTest, ReceiptKilledAtAnyFileCallIsAllOrNothing)
{
    StoreRecords(t.ctx, kOrders, std::vector{Line(4, "R1")});
    StoreParts({Part("M1", "ME", "ROD", "000", "Rodamiento", 4, 100)});
    EXPECT_EQ(test::KillAtEveryFileCall(
                  t, {kOrders, kParts, kMovements},
                  [&] {
                      t.ui.ExpectInput("EDICION DE PEDIDOS", "Entrar Nº Pedido", "4");
                      t.ui.ExpectCard(kCard).Set("Albaran", "A-77").Set("Entradas", "6").Press("Salvar");
                      t.ui.ExpectInput("Etradas de ALMCÉN", "¿Es una Entrada en ALMACËN :  (S/N)", "S");
                      t.ui.ExpectCard(kMovementCard).Press("Entrada");
                      t.ui.ExpectInputCancel(kAverage, kAveragePrompt);
                      t.ui.ExpectInput("PEDIDO INCOMPLETO", "¿Quedán unidades Pendientes?S/N :", "S");
                      RunMenu("Compras > Recepción Pedidos > Pendientes");
                  }),
              "");
}

// Counts are 0 or more, the number, the units ordered and the order date are required: refused on the
// card, nothing stored.
TEST_F(PurchaseOrdersTest, TheCardRefusesNegativeCountsAndEmptyRequiredFields)
{
    const char* units = "VALOR NO VÁLIDO EN CANTIDAD: UN NÚMERO ENTERO DE 0 A 32767";
    const char* cases[][3] = {
        {"Cantidad", "-5", units},
        {"Cantidad", "", units},
        {"Entradas", "-3", "VALOR NO VÁLIDO EN ENTRADAS: UN NÚMERO ENTERO DE 0 A 32767"},
        {"Nped", "-7", "VALOR NO VÁLIDO EN Nº PEDIDO: UN NÚMERO ENTERO DE 0 A 2147483647"},
        {"fechALTA", "",
         "VALOR NO VÁLIDO EN FECHA PEDIDO: UNA FECHA aa/ss/d CON SU SEMANA Y SU DÍA DE LA SEMANA"},
    };
    for (const auto& [name, text, message] : cases) {
        t.ui.ExpectCard(kCard).Set(name, text).Press("Salvar").ExpectFocus(name).Escape();
        t.ui.ExpectMessage(QString::fromUtf8(message));
        ASSERT_TRUE(RunMenu("Compras > Altas > Nuevo Pedido"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_FALSE(t.Exists(kOrders)) << name;
    }
}

TEST_F(PurchaseOrdersTest, LeavingEntradasSetsTheStateByTheUnitsReceived)
{
    struct Case
    {
        const char* cantidad;
        const char* entradas;
        const char* estado;
    };
    const Case cases[] = {
        {"10", "0", "P"}, {"10", "6", "I"}, {"10", "10", "E"}, {"0", "0", "P"}, {"10", "12", "E"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cantidad) + "/" + c.entradas);
        StoreRecords(t.ctx, kOrders, std::vector{Line(4, "R1")});
        t.ui.ExpectInput(QStringLiteral("EDICION DE PEDIDOS"), QStringLiteral("Entrar Nº Pedido"),
                         QStringLiteral("4"));
        t.ui.ExpectCard(kCard)
            .Set("Estado", "E")
            .Set("Cantidad", c.cantidad)
            .Set("Entradas", c.entradas)
            .Focus("LUGAR")
            .ExpectValue("Estado", c.estado)
            .Press("Salir");
        ASSERT_TRUE(RunMenu("Compras > Edición"));
        EXPECT_SCRIPT_DONE(t.ui);
    }
}

TEST_F(PurchaseOrdersTest, ListingsFilterByTheItemAndTotalInSixtyFourBits)
{
    TPurchaseOrderRecord a = Line(4, "R1", 10, 6, 1205);
    a.Sumtro = "PROV1";
    a.Estado = "I";
    a.Albaran = "A-77";
    a.fechALTA = "26/50/1";
    // Dearer than 32 bits hold once multiplied: 30000 x 20.000.000,00.
    TPurchaseOrderRecord b = Line(4, "R1", 30000, 0, 2000000000);
    b.Sumtro = "PROV2";
    b.fechALTA = "26/50/2";
    TPurchaseOrderRecord c = Line(5, "R2", 2, 2, 100);
    c.Sumtro = "PROV1";
    c.Estado = "E";
    c.fechALTA = "26/50/3";
    c.Fechcierr = "26/50/4";
    StoreRecords(t.ctx, kOrders, std::vector{a, b, c});
    struct Case
    {
        const char* item;
        const char* prompt; // answered with its default when empty, else with "PROV1"
        QStringList lines;  // lines the listing must hold
    };
    const Case cases[] = {
        {"Compras > Listado > Suministrador",
         "Entrar Proveedor",
         {"\t4\tM1MEROD000\tPROV1\t07/12/26\t30/11/26\t28/12/26\tI\t10\t6\t12,05\t72,30\tA-77",
          "\t5\tM1MEROD000\tPROV1\t09/12/26\t30/11/26\t10/12/26\tE\t2\t2\t1,00\t2,00\t#",
          "\tVALOR TOTAL DEL PEDIDO :\t122,50 €", "\tVALOR TOTAL DE ENTRADA :\t74,30 €"}},
        {"Compras > Informes > Pendientes",
         "",
         {"\tVALOR TOTAL DEL PEDIDO :\t600000000000,00 €", "\tVALOR TOTAL DE ENTRADA :\t0,00 €"}},
        // Order 4 stays open (a pending line); order 5 closed on 10/12/26.
        {"Compras > Listado > Cerrados",
         nullptr,
         {"\t5 / R2\tPROV1 / No es Proveedor\t2,00\t09/12/26\t10/12/26\tE",
          "\tVALOR TOTAL DE LOS PEDIDOS CERRADOS DE 07/12/2026 HASTA 13/12/2026\t2,00 €"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.item);
        if (k.prompt && *k.prompt)
            t.ui.ExpectInput(QStringLiteral("INFORME DE PEDIDOS"), QString::fromUtf8(k.prompt),
                             QStringLiteral("PROV1"));
        else if (k.prompt)
            t.ui.ExpectInputCancel(QStringLiteral("INFORME DE PEDIDOS"),
                                   QStringLiteral("Entrar ESTADO  E/I/P"));
        t.ui.ExpectDateRange(QDate(2026, 12, 7), QDate(2026, 12, 13));
        t.ui.ExpectReport();
        ASSERT_TRUE(RunMenu(k.item));
        EXPECT_SCRIPT_DONE(t.ui);
        const ReportDocument& report = *t.ui.Reports().back();
        QStringList texts;
        for (int i = 0; i < report.LineCount(); ++i)
            texts << report.LineText(i);
        for (const QString& line : k.lines)
            EXPECT_TRUE(texts.contains(line)) << line.toStdString() << "\n" << texts.join('\n').toStdString();
        // Only the lines of the filter are listed.
        EXPECT_EQ(texts.filter(QStringLiteral("\tM1MEROD000\t")).size(), k.lines.size() == 4 ? 2
                                                                         : k.prompt          ? 1
                                                                                             : 0);
    }
}

TEST_F(PurchaseOrdersTest, WeeklyPurchasesCountALineInTheYearOfItsCodeOnly)
{
    TPurchaseOrderRecord a = Line(1, "R1", 2, 0, 100), b = Line(2, "R2", 1, 0, 500);
    a.fechALTA = "26/52/1";
    b.fechALTA = "27/00/5";
    StoreRecords(t.ctx, kOrders, std::vector{a, b});
    t.ui.ExpectInput("COMPRAS DE MTO", QStringLiteral("INTRODUZCA AÑO DE ANALISIS "), "2027").ExpectReport();
    WeeklyPurchasesReport(t.ctx);
    EXPECT_TRUE(t.ui.Reports().back()->Text().contains(QStringLiteral("\tTotales:\t1\t5,00")));
}

} // namespace
} // namespace gim
