#include "core/io_errors.h"
#include "core/record_file.h"
#include "corrective/work_orders.h"
#include "corrective_fixture.h"
#include "platform/handover.h"
#include "records/record_bytes.h"

#include <QFileInfo>
#include <cerrno>

namespace gim {
namespace {

const QString kOrderCard = QStringLiteral("FICHA DE ORDENES DE TRABAJO");
const QString kRepairs = QStringLiteral("REPARACIONES DE MAQUINAS");
const QString kOrderPrompt = QStringLiteral("Nº de Orden de Trabajo ");

class WorkOrdersTest : public test::CorrectiveTest
{
protected:
    void ExpectOrderNumber(const char* answer)
    {
        t.ui.ExpectInput(kRepairs, kOrderPrompt, QString::fromLatin1(answer));
    }
};

// --- new orders and budgets ---

TEST_F(WorkOrdersTest, NewOrderIsNumberedByTheRecordCountAndStoredWhole)
{
    t.ui.ExpectCard(kOrderCard)
        .ExpectValue(QStringLiteral("Label1"), QStringLiteral("Nº de Orden : PORTAL/"))
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("0"))
        .ExpectValue(QStringLiteral("Label11"), QStringLiteral("Pendientes MO"))
        .ExpectValue(QStringLiteral("Label16"), QStringLiteral("Programada"))
        .Set(QStringLiteral("Seccion"), QStringLiteral("M1"))
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.caption, QStringLiteral("FICHA DE ORDENES DE TRABAJO en Prensa"));
        })
        .Set(QStringLiteral("Descripcion"), QStringLiteral("Fuga de aceite"))
        .Press(QStringLiteral("Salvar"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);

    const std::vector<TWorkOrderRecord> orders = Orders();
    ASSERT_EQ(orders.size(), 1u);
    test::RecordBytes expected(232);
    expected.Raw(0, {0, 0, 0, 0})
        .Text(4, "")
        .Text(13, "Fuga de aceite")
        .Text(144, "..")
        .Text(169, "26/50/1")
        .Text(178, "")
        .Text(187, "")
        .Text(196, "M1")
        .Text(205, "10:05")
        .Text(211, "")
        .Text(217, "")
        .Text(223, "P")
        .Text(226, "P")
        .Text(229, "");
    test::ExpectRecordBytes(orders[0], expected);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);

    // The next order takes the count as its number.
    t.ui.ExpectCard(kOrderCard)
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("1"))
        .Set(QStringLiteral("Seccion"), QStringLiteral("M2"))
        .Press(QStringLiteral("Salvar"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(Orders().size(), 2u);
    EXPECT_EQ(Orders()[1].Number.get(), 1);
    EXPECT_EQ(Orders()[1].Machine.str(), QStringLiteral("M2"));
    EXPECT_EQ(Orders()[1].Description.str(), QStringLiteral(".."));
}

TEST_F(WorkOrdersTest, LeavingANewCardStoresNothing)
{
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("M1"))
        .Press(QStringLiteral("Salir"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA ANULADA ALTA OT"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.OTR")));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);

    // An unknown machine is refused the same way.
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("X9"))
        .Press(QStringLiteral("Salvar"))
        .Press(QStringLiteral("Salir"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA ANULADA ALTA OT"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.OTR")));
}

TEST_F(WorkOrdersTest, AnnullingStoresTheOrderAnnulledOnItsNoticeDate)
{
    StoreOrders({Order(0, "P", "M1", "26/48/2"), Order(1, "T", "M2", "26/49/1")});
    const std::string before = t.ReadFile(QStringLiteral("PORTAL.OTR"));
    ExpectOrderNumber("1");
    t.ui.ExpectCard(kOrderCard)
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("1"))
        .ExpectDisabled(QStringLiteral("HoraAlta"))
        .ExpectDisabled(QStringLiteral("horaini"))
        .ExpectValue(QStringLiteral("Label11"), QStringLiteral("En Trámite"))
        .Press(QStringLiteral("Anular"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
    EXPECT_SCRIPT_DONE(t.ui);

    const std::vector<TWorkOrderRecord> orders = Orders();
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OTR")).substr(0, 232), before.substr(0, 232));
    EXPECT_EQ(orders[1].State.str(), QStringLiteral("A"));
    EXPECT_EQ(orders[1].Description.str(), QStringLiteral("Orden de Trabajo ANULADA"));
    EXPECT_EQ(orders[1].CloseDate.str(), QStringLiteral("26/49/1"));
    EXPECT_EQ(orders[1].Machine.str(), QStringLiteral("M2"));
    EXPECT_EQ(WorkOrders(t.ctx).WorkOrderOpened, 1);
    EXPECT_EQ(t.ctx.st.CurrentWorkOrderNumber, 1u);
}

TEST_F(WorkOrdersTest, AnnullingANewOrderStoresItWhenItsMachineIsKnown)
{
    StoreOrders({Order(0, "P")});
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("M2"))
        .Press(QStringLiteral("Anular"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(Orders().size(), 2u);
    EXPECT_EQ(Orders()[1].Number.get(), 1);
    EXPECT_EQ(Orders()[1].State.str(), QStringLiteral("A"));
    EXPECT_EQ(Orders()[1].CloseDate.str(), QStringLiteral("26/50/1"));
    EXPECT_EQ(Orders()[1].Description.str(), QStringLiteral("Orden de Trabajo ANULADA"));
}

TEST_F(WorkOrdersTest, SavingAnEditWritesOnlyThatOrder)
{
    const TWorkOrderRecord other = Order(1, "P", "M2");
    StoreOrders({Order(0, "P"), other});
    ExpectOrderNumber("0");
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Descripcion"), QStringLiteral("Cambiar junta"))
        .Set(QStringLiteral("Estado"), QStringLiteral("M"))
        .ExpectValue(QStringLiteral("Label11"), QStringLiteral("Pendiente Materiales"))
        .Press(QStringLiteral("Salvar"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TWorkOrderRecord> orders = Orders();
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(orders[0].Description.str(), QStringLiteral("Cambiar junta"));
    EXPECT_EQ(orders[0].State.str(), QStringLiteral("M"));
    EXPECT_EQ(std::memcmp(&orders[1], &other, sizeof(TWorkOrderRecord)), 0);
}

TEST_F(WorkOrdersTest, AnOrderNotInTheFileOffersANewOne)
{
    StoreOrders({Order(0, "P")});
    for (const char* typed : {"1", "-1"}) {
        ExpectOrderNumber(typed);
        t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA ORDEN DE TRABAJO Nº") + QString::fromLatin1(typed));
        t.ui.ExpectCard(kOrderCard)
            .ExpectValue(QStringLiteral("numOT"), QStringLiteral("1"))
            .Press(QStringLiteral("Salir"));
        t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA ANULADA ALTA OT"));
        ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(Orders().size(), 1u);
        EXPECT_EQ(WorkOrders(t.ctx).WorkOrderOpened, 0);
    }
}

TEST_F(WorkOrdersTest, ANumberThatIsNoNumberAbandonsTheEdit)
{
    StoreOrders({Order(0, "P")});
    ExpectOrderNumber("uno");
    t.ui.ExpectMessage(QStringLiteral("FORMATO NUMERICO"));
    EXPECT_FALSE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkOrdersTest, HandedOverRowIsTakenOnce)
{
    StoreOrders({Order(0, "P"), Order(1, "P", "M2", "26/49/1", "8:00", "Motor")});
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::OrdenesT,
                      QStringLiteral("\t1\t\tP\t30/11/26\t8:00\t\t\t\t\tProducción\tM2\t0\tP\tMotor"));
    EXPECT_EQ(WorkOrders(t.ctx).WorkOrderInput.Number.get(), 1);
    t.ui.ExpectCard(kOrderCard)
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("1"))
        .Press(QStringLiteral("Salir"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
    EXPECT_SCRIPT_DONE(t.ui);

    // The next edit from the menu asks again instead of reopening that row.
    ExpectOrderNumber("0");
    t.ui.ExpectCard(kOrderCard)
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("0"))
        .Press(QStringLiteral("Salir"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Orders().size(), 2u);
}

TEST_F(WorkOrdersTest, BudgetsLiveInTheirOwnFile)
{
    StoreOrders({Order(0, "P")});
    t.ui.ExpectCard(QStringLiteral("Presupuesto REPARACION PORTAL"))
        .ExpectValue(QStringLiteral("Label1"), QStringLiteral("\rPRESUPUESTO: PORTAL/"))
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("0"))
        .Set(QStringLiteral("Seccion"), QStringLiteral("M2"))
        .Set(QStringLiteral("Descripcion"), QStringLiteral("Rebobinar motor"))
        .Press(QStringLiteral("Salvar"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > Presupuesto"));
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(Orders("PORTAL.PRO").size(), 1u);
    EXPECT_EQ(Orders("PORTAL.PRO")[0].Description.str(), QStringLiteral("Rebobinar motor"));
    EXPECT_EQ(Orders().size(), 1u);
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 0);

    t.ui.ExpectInput(kRepairs, QStringLiteral("Nº de Presupuesto de Reparación "), QStringLiteral("1"));
    t.ui.ExpectMessage(QStringLiteral("PRESUPUESTO NO DEFINIDO"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > Presupuesto > Horas"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// --- the file layer ---

TEST_F(WorkOrdersTest, WriteWorkOrderCreatesOnlyAMissingFile)
{
    WorkOrdersState& w = WorkOrders(t.ctx);
    w.CurrentWorkOrder = Order(0, "P");
    ASSERT_TRUE(WriteWorkOrder(t.ctx, w.CurrentWorkOrder, QStringLiteral("PORTAL.OTR")));
    w.CurrentWorkOrder = Order(1, "T");
    ASSERT_TRUE(WriteWorkOrder(t.ctx, w.CurrentWorkOrder, QStringLiteral("PORTAL.OTR")));
    ASSERT_EQ(Orders().size(), 2u);
    const std::string before = t.ReadFile(QStringLiteral("PORTAL.OTR"));

    // A file that cannot be opened is reported; no order is lost.
    FileFaults faults;
    faults.inject = [](FileOp op, const QString& path) {
        return op == FileOp::Create && path.endsWith(QLatin1String("PORTAL.OTR")) ? EACCES : 0;
    };
    t.ctx.faults = &faults;
    w.CurrentWorkOrder = Order(1, "E");
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    EXPECT_FALSE(WriteWorkOrder(t.ctx, w.CurrentWorkOrder, QStringLiteral("PORTAL.OTR")));
    EXPECT_SCRIPT_DONE(t.ui);
    t.ctx.faults = nullptr;
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OTR")), before);

    // A number past the end would leave a hole.
    w.CurrentWorkOrder = Order(5, "P");
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    EXPECT_FALSE(WriteWorkOrder(t.ctx, w.CurrentWorkOrder, QStringLiteral("PORTAL.OTR")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OTR")), before);
}

// --- Cierre OT ---

TEST_F(WorkOrdersTest, CierreOtClosesOnlyOrdersInProgress)
{
    StoreOrders({Order(0, "P"), Order(1, "T"), Order(2, "E"), Order(3, "T"), Order(4, "T")});
    const std::vector<TWorkOrderRecord> before = Orders();
    SetReportLines(
        {ReportLine("3", "26/49/5", 30), ReportLine("1", "26/49/3", 60), ReportLine("1", "26/49/4", 15)});
    const QString caption = QStringLiteral("ORDENES DE TRABAJO");
    // Order 1: its first daily report's date is proposed and taken.
    t.ui.ExpectInputCancel(caption, QStringLiteral("Fecha cierre OT Nº : 1"));
    t.ui.ExpectInput(caption, QStringLiteral("Cierre OT Nº : 1 S/N :"), QStringLiteral("S"));
    // Order 3: answered no, it stays in progress.
    t.ui.ExpectInputCancel(caption, QStringLiteral("Fecha cierre OT Nº : 3"));
    t.ui.ExpectInputCancel(caption, QStringLiteral("Cierre OT Nº : 3 S/N :"));
    // Order 4: no report names it; today's week code is proposed.
    t.ui.ExpectInputCancel(caption, QStringLiteral("Fecha cierre OT Nº : 4"));
    t.ui.ExpectInput(caption, QStringLiteral("Cierre OT Nº : 4 S/N :"), QStringLiteral("S"));
    CloseWorkOrder(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);

    const std::vector<TWorkOrderRecord> after = Orders();
    ASSERT_EQ(after.size(), 5u);
    for (int i : {0, 2, 3})
        EXPECT_EQ(std::memcmp(&after[i], &before[i], sizeof(TWorkOrderRecord)), 0) << i;
    EXPECT_EQ(after[1].State.str(), QStringLiteral("E"));
    EXPECT_EQ(after[1].CloseDate.str(), QStringLiteral("26/49/3"));
    EXPECT_EQ(after[1].CloseHour.str(), QStringLiteral("24:00"));
    EXPECT_EQ(after[4].State.str(), QStringLiteral("E"));
    EXPECT_EQ(after[4].CloseDate.str(), QStringLiteral("26/50/1"));
    EXPECT_EQ(after[4].CloseHour.str(), QStringLiteral("24:00"));
}

TEST_F(WorkOrdersTest, CierreOtRefusesADateThatIsNoWeekCode)
{
    StoreOrders({Order(0, "T")});
    const std::string before = t.ReadFile(QStringLiteral("PORTAL.OTR"));
    const QString caption = QStringLiteral("ORDENES DE TRABAJO");
    t.ui.ExpectInput(caption, QStringLiteral("Fecha cierre OT Nº : 0"), QStringLiteral("mañana"));
    t.ui.ExpectMessage(QStringLiteral("FECHA NO VÁLIDA: mañana"));
    CloseWorkOrder(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OTR")), before);
}

// --- the import ---

class ImportedOrderTest : public test::CorrectiveTest
{
protected:
    ImportedOrderTest()
    {
        t.ctx.st.ActionCode = QStringLiteral("i");
        t.ctx.st.InteractiveFlag = 0;
        registry.Register(Op::DownloadWorkOrderPhoto,
                          [this](Context& c) { downloads << WorkOrders(c).CurrentWorkOrder.Refex.str(); });
        SetInput();
    }
    // The import's row: the import fills the buffer anew for every order it brings.
    void SetInput()
    {
        TWorkOrderRecord& in = WorkOrders(t.ctx).WorkOrderInput;
        in = Order(77, "E", "M2", "26/49/2", "9:00", "Cambio de filtro");
        in.Refex = "W100";
        in.StartDate = "26/49/3";
        in.StartHour = "7:30";
        in.CloseDate = "26/49/4";
        in.CloseHour = "12:00";
    }
    static TWorkOrderRecord WithRefex(TWorkOrderRecord r, const char* refex)
    {
        r.Refex = refex;
        return r;
    }
    QStringList downloads;
};

TEST_F(ImportedOrderTest, AMatchInProgressIsUpdatedInPlace)
{
    for (const char* state : {"P", "T"}) {
        StoreOrders({Order(0, "P"), WithRefex(Order(1, state), "W100"), Order(2, "P")});
        SetInput();
        downloads.clear();
        NewWorkOrder(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        const std::vector<TWorkOrderRecord> orders = Orders();
        ASSERT_EQ(orders.size(), 3u) << state;
        EXPECT_EQ(WorkOrders(t.ctx).ImportedOrderMatched, 1);
        EXPECT_EQ(orders[1].Number.get(), 1);
        EXPECT_EQ(orders[1].State.str(), QStringLiteral("E"));
        EXPECT_EQ(orders[1].StartDate.str(), QStringLiteral("26/49/3"));
        EXPECT_EQ(orders[1].CloseHour.str(), QStringLiteral("12:00"));
        EXPECT_EQ(orders[1].Description.str(), QStringLiteral("Cambio de filtro"));
        EXPECT_EQ(downloads, QStringList{QStringLiteral("W100")});
    }
}

TEST_F(ImportedOrderTest, AMatchAlreadyClosedOrAnnulledChangesNothing)
{
    for (const char* state : {"E", "A"}) {
        StoreOrders({Order(0, "P"), WithRefex(Order(1, state), "W100")});
        const std::string before = t.ReadFile(QStringLiteral("PORTAL.OTR"));
        SetInput();
        downloads.clear();
        NewWorkOrder(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OTR")), before) << state;
        EXPECT_TRUE(downloads.isEmpty());
        EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
    }
}

TEST_F(ImportedOrderTest, NoMatchAppendsTheOrderNumberedByCount)
{
    StoreOrders({Order(0, "P"), WithRefex(Order(1, "P"), "W200")});
    NewWorkOrder(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TWorkOrderRecord> orders = Orders();
    ASSERT_EQ(orders.size(), 3u);
    EXPECT_EQ(orders[2].Number.get(), 2);
    EXPECT_EQ(orders[2].Refex.str(), QStringLiteral("W100"));
    EXPECT_EQ(orders[2].State.str(), QStringLiteral("E"));
    EXPECT_EQ(orders[2].Description.str(), QStringLiteral("Cambio de filtro"));
    EXPECT_EQ(downloads, QStringList{QStringLiteral("W100")});
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    // The row is taken once.
    EXPECT_TRUE(WorkOrders(t.ctx).WorkOrderInput.Description.empty());
    EXPECT_TRUE(WorkOrders(t.ctx).WorkOrderInput.Refex.empty());
}

TEST_F(ImportedOrderTest, AnOrderMadeHereIsNoMatchForAnImportWithoutReference)
{
    WorkOrders(t.ctx).WorkOrderInput.Refex = "";
    StoreOrders({Order(0, "P")});
    NewWorkOrder(t.ctx);
    const std::vector<TWorkOrderRecord> orders = Orders();
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(orders[0].State.str(), QStringLiteral("P"));
    EXPECT_EQ(orders[1].Number.get(), 1);
}

// --- fetching, time booked, reaction and resolution ---

TEST_F(WorkOrdersTest, SelectFetchesTheWantedOrderOrThePlaceholder)
{
    StoreOrders({Order(0, "P"), Order(1, "T", "M2")});
    WorkOrdersState& w = WorkOrders(t.ctx);
    t.ctx.st.ActionCode = QStringLiteral("O");
    w.WantedWorkOrderNumber = 1;
    SelectWorkOrders(t.ctx);
    EXPECT_EQ(w.CurrentWorkOrder.Machine.str(), QStringLiteral("M2"));
    w.WantedWorkOrderNumber = 2;
    SelectWorkOrders(t.ctx);
    EXPECT_EQ(w.CurrentWorkOrder.Description.str(), QStringLiteral("OT INEXISTENTE"));
    EXPECT_EQ(w.CurrentWorkOrder.Machine.str(), QString());
    EXPECT_EQ(w.CurrentWorkOrder.State.str(), QString());
}

TEST_F(WorkOrdersTest, SelectWalksOpenOrdersUntilLeft)
{
    StoreOrders({Order(0, "E"), Order(1, "P"), Order(2, "M"), Order(3, "T")});
    t.ctx.st.ActionCode = QStringLiteral("E");
    t.ui.ExpectCard(kOrderCard)
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("1"))
        .Set(QStringLiteral("Descripcion"), QStringLiteral("Revisado"))
        .Press(QStringLiteral("Salvar"));
    t.ui.ExpectCard(kOrderCard)
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("2"))
        .Press(QStringLiteral("Salir"));
    SelectWorkOrders(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Orders()[1].Description.str(), QStringLiteral("Revisado"));
    EXPECT_EQ(Orders()[2].Machine.str(), QStringLiteral("M1"));
}

TEST_F(WorkOrdersTest, TimeBookedSumsEveryLineOfTheOrder)
{
    WorkOrders(t.ctx).CurrentWorkOrder = Order(12, "T");
    // A stale "N" in AnswerCode does not cut the walk short.
    t.ctx.st.AnswerCode = QStringLiteral("N");
    EXPECT_EQ(
        SumWorkOrderReportTime(t.ctx, {ReportLine("1", "26/49/1", 500), ReportLine("12", "26/49/1", 45),
                                       ReportLine("120", "26/49/2", 7), ReportLine("12", "26/49/3", 30)}),
        75);
}

TEST_F(WorkOrdersTest, ReactionAndResolutionCountRealDays)
{
    struct Case
    {
        const char* from;
        const char* to;
        const char* fromHour;
        const char* toHour;
        int minutes;
    };
    const Case cases[] = {
        {"26/50/1", "26/50/1", " 8:05", "10:20", 135},           // same day
        {"26/49/7", "26/50/1", "23:30", " 0:15", 45},            // over midnight into the next week
        {"26/50/1", "26/50/3", "10:00", " 9:00", 2 * 1440 - 60}, // two days, the clock behind
        {"26/50/2", "26/50/1", "10:00", "11:00", 0},             // never negative
        {"26/50/1", "26/50/1", "16:00", "24:00", 480},           // closed by Cierre OT
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WorkOrderReactionMinutes(t.ctx, QString::fromLatin1(c.from), QString::fromLatin1(c.to),
                                           QString::fromLatin1(c.fromHour), QString::fromLatin1(c.toHour)),
                  c.minutes)
            << c.from << " " << c.to;
        EXPECT_EQ(WorkOrderResolutionMinutes(t.ctx, QString::fromLatin1(c.from), QString::fromLatin1(c.to),
                                             QString::fromLatin1(c.fromHour), QString::fromLatin1(c.toHour)),
                  c.minutes);
    }
    // New Year: Sunday 27 December 2026 22:00 to Friday 1 January 2027 1:30, four days and 3.5 hours.
    EXPECT_EQ(WorkOrderReactionMinutes(t.ctx, QStringLiteral("26/52/7"), QStringLiteral("27/00/5"),
                                       QStringLiteral("22:00"), QStringLiteral(" 1:30")),
              4 * 1440 + 210);
    // A missing end is now (Monday 7 December 2026, 10:05); the resolution also fills a missing start.
    EXPECT_EQ(WorkOrderReactionMinutes(t.ctx, QStringLiteral("26/50/1"), QStringLiteral("  /  / "),
                                       QStringLiteral(" 9:00"), QString()),
              65);
    EXPECT_EQ(WorkOrderResolutionMinutes(t.ctx, QString(), QString(), QString(), QString()), 0);
}

} // namespace
} // namespace gim
