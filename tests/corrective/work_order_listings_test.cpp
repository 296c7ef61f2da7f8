#include "app/features.h"
#include "corrective/work_order_listings.h"
#include "corrective/work_orders.h"
#include "corrective_fixture.h"
#include "platform/handover.h"
#include "platform/report.h"

namespace gim {
namespace {

// Orders of weeks 49 and 50 of 2026 and one before them, with the daily-report minutes booked on them.
class WorkOrderListingsTest : public test::CorrectiveTest
{
protected:
    WorkOrderListingsTest()
    {
        TWorkOrderRecord started = Order(1, "T", "M2", "26/49/2", "9:15", "Ruido en reductor");
        started.Refex = "W7";
        started.Requester = QStringLiteral("Juan Martínez Sánchez");
        started.StartDate = "26/49/3";
        started.StartHour = "7:00";
        started.Type = "U";
        TWorkOrderRecord closed = Order(4, "E", "M1", "26/49/1", "8:00", "Cambio de correa");
        closed.StartDate = "26/49/2";
        closed.StartHour = "9:00";
        closed.CloseDate = "26/49/3";
        closed.CloseHour = "12:00";
        TWorkOrderRecord waiting = Order(5, "M", "M2", "26/50/1", "10:00", "Falta rodamiento");
        StoreOrders({Order(0, "P"), started, Order(2, "P", "M2", "26/50/1", "7:45", "Luz fundida"),
                     Order(3, "P", "M1", "26/40/1"), closed, waiting});
        SetReportLines({ReportLine("0", "26/49/2", 45), ReportLine("1", "26/49/3", 120),
                        ReportLine("2", "26/50/1", 30), ReportLine("4", "26/49/2", 200),
                        ReportLine("1", "26/49/4", 60)});
    }
    // Monday 30 November to Monday 7 December 2026: week codes "26/49/1" to "26/50/1".
    void ExpectRange() { t.ui.ExpectDateRange(QDate(2026, 11, 30), QDate(2026, 12, 7)); }
};

const char* const kHead = "[ORDENES DE TRABAJO]\n"
                          "TABS: 15 45 95 120 170 205 255 290 340 375 470 530 565 595\n"
                          "{12 b}\t           ORDENES DE TRABAJO \t\t\n"
                          "\n"
                          "{8 b}\tNº\tRefEx\tEtd\tF.Alta\tHAviso\tF.Inicio\tHInicio\tF.Cierre\tHCierre\t"
                          "Solicitante\tMáquina\tTInt\tTipo\tDescripción\n"
                          "{8}\n";

TEST_F(WorkOrderListingsTest, PendingOrdersInRedWithZeroMeansWhenNoneIsClosed)
{
    ExpectRange();
    t.ui.ExpectReport(QStringLiteral("ORDENES DE TRABAJO"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Consulta > Ordenes Trb > Pendientes > Mano Obra"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(),
              QString::fromUtf8(kHead) +
                  QStringLiteral(
                      "{8 #ff0000}\t0\t\tP\t30/11/26\t8:00\t\t\t\t\tProducción\tM1\t45\tP\tFuga de aceite\n"
                      "\t2\t\tP\t07/12/26\t7:45\t\t\t\t\tProducción\tM2\t30\tP\tLuz fundida\n"
                      "{10}\n"
                      "\tRatios de OT cerradas: \n"
                      "\tTiempo Acumulado en O.T.   : 01 : 15\n"
                      "\tTiempo Medio de Reacción...: 00 : 00\n"
                      "\tTiempo Medio de Resolución : 00 : 00\n"));
    EXPECT_EQ(t.ui.Reports().back()->saveSubFolder, QStringLiteral("\\REPARACIONES"));
    EXPECT_EQ(t.ctx.st.RangeStartWeek, QStringLiteral("26/49/1"));
    EXPECT_EQ(t.ctx.st.RangeEndWeek, QStringLiteral("26/50/1"));
}

TEST_F(WorkOrderListingsTest, EveryOrderInItsStateColourWithTheMeanTimesOfTheClosedOnes)
{
    t.ctx.st.ActionCode = QStringLiteral("L");
    const QString caption = QStringLiteral("Listado Ordenes de Trabajo");
    t.ui.ExpectInputCancel(caption, QStringLiteral("INTRODUCIR Maqina/Sección de Busqueda ...: "));
    t.ui.ExpectInputCancel(caption, QStringLiteral("INTRODUCIR Tipo OT (Prog-Urgente-Crítica ...: "));
    ExpectRange();
    t.ui.ExpectReport(QStringLiteral("ORDENES DE TRABAJO"));
    ListWorkOrders(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    // The order in "M" keeps the colour of the line before it; order 3 was noticed before the range.
    EXPECT_EQ(
        Transcript(),
        QString::fromUtf8(kHead) +
            QStringLiteral(
                "{8 #ff0000}\t0\t\tP\t30/11/26\t8:00\t\t\t\t\tProducción\tM1\t45\tP\tFuga de aceite\n"
                "{8 #0000ff}\t1\tW7\tT\t01/12/26\t9:15\t26/49/3\t7:00\t\t\tJuan Martínez Sán\tM2\t180\tU\t"
                "Ruido en reductor\n"
                "{8 #ff0000}\t2\t\tP\t07/12/26\t7:45\t\t\t\t\tProducción\tM2\t30\tP\tLuz fundida\n"
                "{8}\t4\t\tE\t30/11/26\t8:00\t26/49/2\t9:00\t26/49/3\t12:00\tProducción\tM1\t200\tP\t"
                "Cambio de correa\n"
                "\t5\t\tM\t07/12/26\t10:00\t\t\t\t\tProducción\tM2\t0\tP\tFalta rodamiento\n"
                "{10}\n"
                "\tRatios de OT cerradas: \n"
                "\tTiempo Acumulado en O.T.   : 07 : 35\n"
                "\tTiempo Medio de Reacción...: 25 : 00\n"
                "\tTiempo Medio de Resolución : 27 : 00\n"));
}

TEST_F(WorkOrderListingsTest, MachineAndTypeFilters)
{
    t.ctx.st.ActionCode = QStringLiteral("L");
    const QString caption = QStringLiteral("Listado Ordenes de Trabajo");
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUCIR Maqina/Sección de Busqueda ...: "),
                     QStringLiteral("M2"));
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUCIR Tipo OT (Prog-Urgente-Crítica ...: "),
                     QStringLiteral("P"));
    ExpectRange();
    t.ui.ExpectReport(QStringLiteral("ORDENES DE TRABAJO"));
    ListWorkOrders(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const QString text = t.ui.Reports().back()->Text();
    EXPECT_TRUE(text.contains(QStringLiteral("\t2\t\tP\t07/12/26")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t5\t\tM\t07/12/26")));
    EXPECT_FALSE(text.contains(QStringLiteral("\t1\tW7")));    // urgent
    EXPECT_FALSE(text.contains(QStringLiteral("\t0\t\tP\t"))); // machine M1
    EXPECT_TRUE(text.contains(QStringLiteral("\tTiempo Acumulado en O.T.   : 00 : 30\n")));
}

TEST_F(WorkOrderListingsTest, BudgetsListWithoutRatios)
{
    StoreOrders({Order(0, "P", "M1", "26/49/4", "11:00", "Bancada nueva")}, "PORTAL.PRO");
    t.ui.ExpectInputCancel(QStringLiteral("Listado Presupuestos Reparación"),
                           QStringLiteral("INTRODUCIR Maqina/Sección de Busqueda ...: "));
    ExpectRange();
    t.ui.ExpectReport(QStringLiteral("PRESUPUESTO DE REPARACIÓN"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Consulta > Presupuestos > Listar"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(Transcript().startsWith(QStringLiteral("[PRESUPUESTO DE REPARACIÓN]\n")));
    EXPECT_TRUE(Transcript().endsWith(
        QStringLiteral("{8 #ff0000}\t0\t\tP\t03/12/26\t11:00\t\t\t\t\tProducción\tM1\t45\tP\tBancada nueva\n"
                       "{10}\n")));
    EXPECT_TRUE(Transcript().contains(QStringLiteral("\t&           PRESUPUESTOS DE REPARACIÓN \t\t\n")));
}

TEST_F(WorkOrderListingsTest, NoFileListsNothing)
{
    QFile::remove(t.Path(QStringLiteral("PORTAL.OTR")));
    ExpectRange();
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Consulta > Ordenes Trb > Pendientes > Trámite"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(t.ui.Reports().empty());
}

TEST_F(WorkOrderListingsTest, AListedOpenOrderIsHandedToItsCard)
{
    ExpectRange();
    t.ui.ExpectReport(QStringLiteral("ORDENES DE TRABAJO"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Consulta > Ordenes Trb > Pendientes > Mano Obra"));
    const ReportDocument& listing = *t.ui.Reports().back();
    QString row;
    for (int i = 0; i < listing.LineCount(); ++i)
        if (listing.LineText(i).contains(QStringLiteral("Luz fundida")))
            row = listing.LineText(i);
    ASSERT_FALSE(row.isEmpty());
    t.ctx.Module<HandoverRegistry>().HandOver(t.ctx.st.PendingEditFlags, EditItem::OrdenesT, row);
    EXPECT_EQ(t.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::OrdenesT)], 1);

    // The edit takes order 2 without asking for a number.
    t.ui.ExpectCard(QStringLiteral("FICHA DE ORDENES DE TRABAJO"))
        .ExpectValue(QStringLiteral("numOT"), QStringLiteral("2"))
        .ExpectValue(QStringLiteral("Descripcion"), QStringLiteral("Luz fundida"))
        .Set(QStringLiteral("Estado"), QStringLiteral("T"))
        .Press(QStringLiteral("Salvar"));
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    dispatcher.RunPendingEdits();
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Orders()[2].State.str(), QStringLiteral("T"));
    EXPECT_EQ(Orders()[2].Description.str(), QStringLiteral("Luz fundida"));
}

// --- the order sheet ---

TEST_F(WorkOrderListingsTest, OrderSheetShowsTheDatesTheStateHasReached)
{
    const QString head = QStringLiteral("[ORDENES DE TRABAJO]\n"
                                        "TABS: 20 200\n");
    struct Case
    {
        const char* number;
        QString expected;
    };
    const Case cases[] = {
        {"0", head + QStringLiteral("{12}\tNúmero de Orden: \t0\n"
                                    "\tEstado Ejecución: \tP\n"
                                    "\tFecha de Alta: \t26/49/1\tHora Apertura OT. : 8:00\n"
                                    "\tFecha de Inicio: \t\t\tHora Inicio OT. : \n"
                                    "\tFecha de Cierre: \t\t\tHora Cierre OT. : \n"
                                    "\tSección de Origen: \tM1\n"
                                    "\tSolicitante acreditado : \tProducción\n"
                                    "\tDescripción resumida: \tFuga de aceite\n"
                                    "\n"
                                    "\tTrabajos Realizados y Materiales Utilizados :\n")},
        {"1", head + QStringLiteral("{12}\tNúmero de Orden: \t1\n"
                                    "\tEstado Ejecución: \tT\n"
                                    "\tFecha de Alta: \t26/49/2\tHora Apertura OT. : 9:15\n"
                                    "\tFecha de Inicio: \t26/49/3\t\tHora Inicio OT. : 7:00\n"
                                    "\tFecha de Cierre: \t\t\tHora Cierre OT. : \n"
                                    "\tSección de Origen: \tM2\n"
                                    "\tSolicitante acreditado : \tJuan Martínez Sánchez\n"
                                    "\tDescripción resumida: \tRuido en reductor\n"
                                    "\n"
                                    "\tTrabajos Realizados y Materiales Utilizados :\n")},
        {"4", head + QStringLiteral("{12}\tNúmero de Orden: \t4\n"
                                    "\tEstado Ejecución: \tE\n"
                                    "\tFecha de Alta: \t26/49/1\tHora Apertura OT. : 8:00\n"
                                    "\tFecha de Inicio: \t26/49/2\t\tHora Inicio OT. : 9:00\n"
                                    "\tFecha de Cierre: \t26/49/3\t\tHora Cierre OT. : 12:00\n"
                                    "\tSección de Origen: \tM1\n"
                                    "\tSolicitante acreditado : \tProducción\n"
                                    "\tDescripción resumida: \tCambio de correa\n"
                                    "\n"
                                    "\tTrabajos Realizados y Materiales Utilizados :\n")},
    };
    for (const Case& c : cases) {
        t.ui.ExpectInput(QStringLiteral("REPARACIONES DE MAQUINAS"),
                         QStringLiteral("Nº de Orden de Trabajo "), QString::fromLatin1(c.number));
        t.ui.ExpectCard(QStringLiteral("FICHA DE ORDENES DE TRABAJO"))
            .Press(QStringLiteral("Imprime"))
            .Press(QStringLiteral("Salir"));
        t.ui.ExpectReport(QStringLiteral("ORDENES DE TRABAJO"));
        const std::string before = t.ReadFile(QStringLiteral("PORTAL.OTR"));
        ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(Transcript(), c.expected) << c.number;
        EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OTR")), before); // printing stores nothing
    }
}

} // namespace
} // namespace gim
