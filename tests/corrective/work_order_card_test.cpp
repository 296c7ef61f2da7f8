#include "corrective/work_order_card.h"
#include "corrective/work_orders.h"
#include "corrective_fixture.h"
#include "masterdata/personnel.h"

#include <QDir>
#include <QFile>

namespace gim {
namespace {

const QString kOrderCard = QStringLiteral("FICHA DE ORDENES DE TRABAJO");

class WorkOrderCardTest : public test::CorrectiveTest
{
protected:
    // Alta > OrdenT with the card scripted before.
    void NewAndStore()
    {
        ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
        EXPECT_SCRIPT_DONE(t.ui);
    }
};

TEST_F(WorkOrderCardTest, HoursStampTheTimeAndMoveTheStateOn)
{
    t.clock.Set(QDateTime(QDate(2026, 12, 7), QTime(9, 7, 0)));
    t.ui.ExpectCard(kOrderCard)
        // Work not started keeps its start and close out of sight until the card is unlocked.
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.hidden.count(QStringLiteral("horaini")), 1u);
            EXPECT_EQ(s.hidden.count(QStringLiteral("HoraCierre")), 1u);
        })
        .Set(QStringLiteral("Seccion"), QStringLiteral("M2"))
        .DoubleClick(QStringLiteral("HoraAlta"))
        .ExpectValue(QStringLiteral("HoraAlta"), QStringLiteral(" 9:07"))
        .Set(QStringLiteral("CheckBox1"), QStringLiteral("1"))
        .ExpectEnabled(QStringLiteral("horaini"))
        .DoubleClick(QStringLiteral("horaini"))
        .ExpectValue(QStringLiteral("Estado"), QStringLiteral("T"))
        .ExpectValue(QStringLiteral("Label11"), QStringLiteral("En Trámite"))
        .DoubleClick(QStringLiteral("HoraCierre"))
        .ExpectValue(QStringLiteral("Estado"), QStringLiteral("E"))
        .ExpectValue(QStringLiteral("Label11"), QStringLiteral("Ejecutadas"))
        .Set(QStringLiteral("tipo"), QStringLiteral("U"))
        .ExpectValue(QStringLiteral("Label16"), QStringLiteral("Urgente"))
        .Press(QStringLiteral("Salvar"));
    NewAndStore();
    const TWorkOrderRecord stored = Orders().at(0);
    EXPECT_EQ(stored.NoticeHour.str(), QStringLiteral(" 9:07"));
    EXPECT_EQ(stored.StartHour.str(), QStringLiteral(" 9:07"));
    EXPECT_EQ(stored.CloseHour.str(), QStringLiteral(" 9:07"));
    EXPECT_EQ(stored.State.str(), QStringLiteral("E"));
    EXPECT_EQ(stored.Type.str(), QStringLiteral("U"));
}

TEST_F(WorkOrderCardTest, DatesFollowTheirPickersAndTheStateFillsTheStart)
{
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("M1"))
        .PickDate(QStringLiteral("CalenAper"), QDate(2026, 12, 2))
        .ExpectValue(QStringLiteral("fechalta"), QStringLiteral("26/49/3"))
        .Set(QStringLiteral("CheckBox1"), QStringLiteral("1"))
        .Set(QStringLiteral("fechaini"), QStringLiteral("26/49/4"))
        .ExpectValue(QStringLiteral("Calenini"), QStringLiteral("03/12/2026"))
        .Set(QStringLiteral("fechaini"), QString())
        .Set(QStringLiteral("Estado"), QStringLiteral("E"))
        .Set(QStringLiteral("Descripcion"), QStringLiteral("Hecho"))
        // Leaving the state at "E" starts the work today when no start was given.
        .ExpectValue(QStringLiteral("fechaini"), QStringLiteral("26/50/1"))
        .Press(QStringLiteral("Salvar"));
    NewAndStore();
    const TWorkOrderRecord stored = Orders().at(0);
    EXPECT_EQ(stored.NoticeDate.str(), QStringLiteral("26/49/3"));
    EXPECT_EQ(stored.StartDate.str(), QStringLiteral("26/50/1"));
}

TEST_F(WorkOrderCardTest, ClickingADateEditPicksItsDay)
{
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("M1"))
        .DoubleClick(QStringLiteral("fechalta"))
        .ExpectValue(QStringLiteral("fechalta"), QStringLiteral("26/49/5"))
        .ExpectValue(QStringLiteral("CalenAper"), QStringLiteral("04/12/2026"))
        // The calendar's window closed: the date stays.
        .DoubleClick(QStringLiteral("fechalta"))
        .ExpectValue(QStringLiteral("fechalta"), QStringLiteral("26/49/5"))
        .Press(QStringLiteral("Salvar"));
    t.ui.ExpectDateRange(QDate(2026, 12, 4), QDate(2026, 12, 4));
    t.ui.ExpectDateRangeCancel();
    NewAndStore();
    EXPECT_EQ(Orders().at(0).NoticeDate.str(), QStringLiteral("26/49/5"));
    ASSERT_EQ(t.ui.DateRangePresets().size(), 2u);
    EXPECT_EQ(t.ui.DateRangePresets()[0].first, QDate(2026, 12, 7)); // today's order opens on today
    EXPECT_EQ(t.ui.DateRangePresets()[1].first, QDate(2026, 12, 4)); // then on the date shown
}

TEST_F(WorkOrderCardTest, NoNoticeDateNoSaving)
{
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("M1"))
        .Set(QStringLiteral("fechalta"), QString())
        .Set(QStringLiteral("HoraAlta"), QStringLiteral("8:00"))
        .ExpectDisabled(QStringLiteral("Salvar"))
        .ExpectDisabled(QStringLiteral("Anular"))
        .Set(QStringLiteral("fechalta"), QStringLiteral("26/50/1"))
        .Set(QStringLiteral("HoraAlta"), QStringLiteral("8:00"))
        .ExpectEnabled(QStringLiteral("Salvar"))
        .Press(QStringLiteral("Salvar"));
    NewAndStore();
    EXPECT_EQ(Orders().size(), 1u);
}

TEST_F(WorkOrderCardTest, RequesterChosenByNumberBecomesTheName)
{
    TPersonnelRecord ana{};
    ana.Matricula = "000123";
    ana.Nombre = "Ana";
    ana.Apellidos = "Ruiz Gil";
    Personnel(t.ctx).PersonnelList = {{ana, 0}};
    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("M1"))
        .Set(QStringLiteral("solicit"), QStringLiteral("000123"))
        .ExpectValue(QStringLiteral("solicit"), QStringLiteral("Ana Ruiz Gil"))
        .Set(QStringLiteral("solicit"), QStringLiteral("Jefe de turno"))
        .ExpectValue(QStringLiteral("solicit"), QStringLiteral("Jefe de turno"))
        .Press(QStringLiteral("Salvar"));
    NewAndStore();
    EXPECT_EQ(Orders().at(0).Requester.str(), QStringLiteral("Jefe de turno"));
}

TEST_F(WorkOrderCardTest, AnEditedClosedOrderKeepsItsDatesLocked)
{
    TWorkOrderRecord closed = Order(0, "E");
    closed.StartDate = "26/49/2";
    closed.CloseDate = "26/49/3";
    StoreOrders({closed});
    t.ui.ExpectInput(QStringLiteral("REPARACIONES DE MAQUINAS"), QStringLiteral("Nº de Orden de Trabajo "),
                     QStringLiteral("0"));
    t.ui.ExpectCard(kOrderCard)
        .ExpectDisabled(QStringLiteral("HoraAlta"))
        .ExpectDisabled(QStringLiteral("CalenAper"))
        .ExpectDisabled(QStringLiteral("Seccion"))
        .ExpectDisabled(QStringLiteral("fechaini"))
        .ExpectDisabled(QStringLiteral("fechcierre"))
        .ExpectDisabled(QStringLiteral("HoraCierre"))
        .ExpectValue(QStringLiteral("Calenini"), QStringLiteral("01/12/2026"))
        .ExpectValue(QStringLiteral("CalenCierre"), QStringLiteral("02/12/2026"))
        .Press(QStringLiteral("Salir"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Edición > OrdenTrab."));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(WorkOrderCardTest, PhotoIsStoredOnlyAfterTheOrderIs)
{
    StoreOrders({Order(0, "P")});
    const QString folder = data + QStringLiteral("/REPARACIONES/PORTAL");
    const QString source = root + QStringLiteral("/camara.jpg");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("foto de la avería");
    }
    // A card left with Salir stores no order and asks for no picture.
    t.ui.ExpectCard(kOrderCard).Press(QStringLiteral("FOTORDEN")).Press(QStringLiteral("Salir"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA ANULADA ALTA OT"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/#1.jpg")));

    t.ui.ExpectCard(kOrderCard)
        .Set(QStringLiteral("Seccion"), QStringLiteral("M1"))
        .Set(QStringLiteral("Descripcion"), QStringLiteral("Rotura"))
        .Press(QStringLiteral("FOTORDEN"))
        .Press(QStringLiteral("Salvar"));
    t.ui.ExpectChooseFile(source);
    t.ui.ExpectChooseFile(folder + QStringLiteral("/#1.jpg"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);
    QFile stored(folder + QStringLiteral("/#1.jpg"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("foto de la avería"));
    ASSERT_EQ(t.ui.FileRequests().size(), 2u);
    EXPECT_EQ(t.ui.FileRequests()[1].fileName, QStringLiteral("#1.jpg"));
    EXPECT_EQ(Orders().at(1).Description.str(), QStringLiteral("Rotura// #1.jpg"));

    // The button of the next order (number 2) says when that number has a photo already.
    ASSERT_TRUE(QFile::copy(source, folder + QStringLiteral("/#2.jpg")));
    t.ui.ExpectCard(kOrderCard).Press(QStringLiteral("FOTORDEN")).Press(QStringLiteral("Salir"));
    t.ui.ExpectMessage(QStringLiteral("Existe una foto asignada a esta OT :\\REPARACIONES\\PORTAL\\#2.jpg"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA ANULADA ALTA OT"));
    ASSERT_TRUE(RunMenu("OT/Prspuestos > Altas > OrdenT"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Orders().size(), 2u);
}

} // namespace
} // namespace gim
