#include "app/features.h"
#include "corrective/work_orders.h"
#include "masterdata/masterdata_fixture.h"
#include "platform/handover.h"
#include "platform/report.h"
#include "workreports/work_report_file.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gim {
namespace {

TWorkReportRecord Line(const char* machine, const char* dia, const char* tipo, const char* tipoh, int tinter,
                       int tparo, const char* orden, const char* description, const char* part = "")
{
    TWorkReportRecord r{};
    r.Matricula = "000001";
    r.Codigo = machine;
    r.dia = dia;
    r.Tipo = tipo;
    r.TIPOH = tipoh;
    r.Tinter = tinter;
    r.Tparo = tparo;
    r.Orden = orden;
    r.Descripcion = description;
    r.SparePart = part;
    return r;
}

TWorkOrderRecord Order(int number, const char* description)
{
    TWorkOrderRecord o{};
    o.Number = number;
    o.Description = description;
    o.Requester = "Produccion";
    o.NoticeDate = "26/45/1";
    o.NoticeHour = "8:00";
    o.State = "T";
    o.Machine = "M1";
    o.Type = "P";
    return o;
}

// Machines M1 (account CTA) and M2 (account OTRA); operator 000001 paid 18,00 an hour. The lines of order
// 2 in week 49 of 2026, newest first as the sorted file holds them: a repair of 90 minutes, a store exit
// of 3 units at 12,50, a delivery note of 45,00 and a day of holidays; a breakdown on M2 and an old line.
class WorkReportListingsTest : public test::MasterdataTest
{
protected:
    WorkReportListingsTest()
    {
        RegisterFeatures(t.ctx);
        t.ctx.st.FirstYear = 24;
        t.ctx.st.LastYear = 27;
        t.ctx.st.PlanWeeks = 156;
        StoreMachines({Machine("M1", "Prensa", "CTA"), Machine("M2", "Torno", "OTRA")});
        THourPriceRecord price{};
        price.Matricula = "000001";
        price.HCONTRATO = 1800;
        t.ctx.st.HourPriceTable = {price};
        StoreLines({Line("M1", "26/49/5", "F", "V", 480, 0, "2", "Vacaciones"),
                    Line("M1", "26/49/4", "ALB", "C", 0, 4500, "2", "Albaran grua"),
                    Line("M1", "26/49/3", "AL", "C", 1250, 3, "2", "Rodamiento 6204", "M1      MEROD007"),
                    Line("M2", "26/49/2", "VM", "C", 60, 20, "", "Atasco"),
                    Line("M1", "26/49/2", "RM", "C", 90, 30, "2", "Cambio rodamiento"),
                    Line("M1", "26/45/1", "RM", "C", 30, 0, "2", "Engrase"),
                    // Budget 1: the last week of 2021 and its week 0, 52 weeks apart.
                    Line("M2", "21/52/1", "RE", "C", 60, 0, "1", "Cuadro"),
                    Line("M2", "21/00/5", "RE", "C", 60, 0, "1", "Cuadro")});
    }
    void StoreLines(const std::vector<TWorkReportRecord>& lines)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.PDA"), lines);
    }
    // `count` lines of the listing from line `from` on (from its end when negative), without the points
    // of the bar and line charts.
    QString Lines(int from, int count) const
    {
        QStringList lines = t.ui.Reports().back()->Transcript().split(QLatin1Char('\n'));
        lines.removeIf(
            [](const QString& l) { return l.startsWith(QLatin1String("  ")) && !l.contains('#'); });
        return lines.mid(from < 0 ? lines.size() + from : from, count).join(QLatin1Char('\n'));
    }
};

// The lines of the week by machine of the account asked; the store exit costs 37,50 of material and no
// time, the holidays no time either.
TEST_F(WorkReportListingsTest, CostAccountAnalysisCostsEachMachineOfTheAccount)
{
    t.ui.ExpectDateRange(QDate(2026, 11, 30), QDate(2026, 12, 6));
    t.ui.ExpectInput(QStringLiteral("ANALISIS DE COSTES"), QStringLiteral("CODIGO DE COSTE :"),
                     QStringLiteral("CTA"));
    t.ui.ExpectReport(QStringLiteral("PARTES DIARIOS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Partes > Listados > Cuenta Coste"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(
        Lines(6, 13),
        QString::fromUtf8("{8}\t000001\tM1\tCTA\t04/12/26\tV\tF\t480\t0\t2\tVacaciones\n"
                          "\t000001\tM1\tCTA\t03/12/26\tC\tALB\t0\t45,00\t2\tAlbaran grua\n"
                          "\t000001\tM1\tCTA\t02/12/26\tC\tAL\t12,50\t3\tM1      MEROD007\tRodamiento 6204\n"
                          "\t000001\tM1\tCTA\t01/12/26\tC\tRM\t90\t30\t2\tCambio rodamiento\n") +
            QString(110, '-') +
            QStringLiteral("\n{8 b}\t\t\tTIEMPO INTERVENCION   : \t1 horas 30 min.\n"
                           "\t\t\tCOSTE Mano de OBRA      : \t27,00 Euros\n"
                           "\t\t\tCOSTE MATERIALES         : \t37,50 Euros\n"
                           "\t\t\tCOSTE ALBARANES          : \t45,00 Euros\n"
                           "\t\t\tTOTAL TIEMPO INTERVENCION   : \t1 horas 30 min.\n"
                           "\t\t\tTOTAL COSTE Mano de OBRA      : \t27,00 Euros\n"
                           "\t\t\tTOTAL COSTE MATERIALES         : \t37,50 Euros\n"
                           "\t\t\tTOTAL COSTE ALBARANES          : \t45,00 Euros"));
}

struct OrderCase
{
    const char* menu;
    const char* answer; // the order or budget asked; "" = the search card
    int from;           // the lines pinned
    int count;
    const char* lines;
};

TEST_F(WorkReportListingsTest, WorkOrderReportTotalsTheLinesOfTheOrderOrSearch)
{
    const std::vector<TWorkOrderRecord> orders{Order(0, "Uno"), Order(1, "Dos"),
                                               Order(2, "Cambio rodamiento")};
    StoreRecords(t.ctx, QStringLiteral("PORTAL.OTR"), orders);
    StoreRecords(t.ctx, QStringLiteral("PORTAL.PRO"), orders);
    const OrderCase cases[] = {
        {"Partes > Listados > Ordenes", "2", 4, 19,
         "{10 b}\tCambio rodamiento\tProduccion\n"
         "\tEstado : T\n"
         "\tFecha Aviso - Hora  :  26/45/1 - 8:00\n"
         "\tFecha Inicio - Hora  :   - \n"
         "\tFecha Cierre - Hora :   - \n"
         "\t\t\tDetalle Apuntes\n"
         "{10 u}\tMatríc\tMáquina\tFecha\tTipH\tTipM\tTI(mn)\tTP/Un\tOTrabajo\tDescripción\n"
         "{8}\t000001\tM1\t04/12/26\tV\tF\t480\t0\t2\tVacaciones\n"
         "\t000001\tM1\t03/12/26\tC\tALB\t0\t45,00\t2\tAlbaran grua\n"
         "\t000001\tM1\t02/12/26\tC\tAL\t12,50\t3\tM1      MEROD007\tRodamiento 6204\n"
         "\t000001\tM1\t01/12/26\tC\tRM\t90\t30\t2\tCambio rodamiento\n"
         "\t000001\tM1\t02/11/26\tC\tRM\t30\t0\t2\tEngrase\n"
         "\n"
         "{10 b}\t\t\tTOTAL TIEMPO INTERVENCION   : \t2 horas 0 min.\n"
         "\t\t\tTOTAL TIEMPO NO PRODUCTIVO: \t8 horas 0 min.\n"
         "\t\t\tTOTAL COSTE Mano de OBRA      : \t36,00 Euros\n"
         "\t\t\tTOTAL COSTE MATERIALES         : \t37,50 Euros\n"
         "\t\t\tTOTAL COSTE ALBARANES          : \t45,00 Euros\n"
         "\t\t\tTOTAL COSTE ORDEN TRABAJO  : \t118,50 Euros"},
        // Weeks 45 to 49: the averages over 4 weeks, delivery notes in whole euros.
        {"OT/Prspuestos > Consulta > Presupuestos > Selectiva", "2", -9, 8,
         "\t\t\tTOTAL COSTE ORDEN TRABAJO  : \t118,50 Euros\n"
         "GRAFICO: EVOLUCIÓN SEMANAL SERVICIO  max=30 'T Intervención: 00 : 30' 'T. Paro: 00 : 07' "
         "'11,25 € ALBARANES ' ' ' ' ' ' ' weeks=53\n"
         "BARRAS:  | EVOLUCIÓN SEMANAL SERVICIO   PORTAL      07/12/2026\n"
         "LINEAS:  | EVOLUCIÓN SEMANAL SERVICIO   PORTAL      07/12/2026\n"
         "TARTA:  | EVOLUCIÓN SEMANAL SERVICIO  PORTAL  07/12/2026\n"
         "  'T Intervención 02 : 00' = 120 #ff0000\n"
         "  'T. Paro00 : 30' = 30 #ff00ff\n"
         "  'Permisos 08 : 00' = 480 #ffff00"},
        {"Partes > Listados > Partes", "", 4, 3,
         "{10 u}\tMatríc\tMáquina\tFecha\tTipH\tTipM\tTI(mn)\tTP/Un\tOTrabajo\tDescripción\n"
         "{8}\t000001\tM1\t01/12/26\tC\tRM\t90\t30\t2\tCambio rodamiento\n"
         "\t000001\tM1\t02/11/26\tC\tRM\t30\t0\t2\tEngrase"},
        // A span of 52 weeks leaves no weeks to average the charts over: none are drawn.
        {"OT/Prspuestos > Consulta > Presupuestos > Selectiva", "1", 11, 6,
         "{8}\t000001\tM2\t27/12/21\tC\tRE\t60\t0\t1\tCuadro\n"
         "\t000001\tM2\t01/01/21\tC\tRE\t60\t0\t1\tCuadro\n"
         "\n"
         "{10 b}\t\t\tTOTAL TIEMPO INTERVENCION   : \t2 horas 0 min.\n"
         "\t\t\tTOTAL TIEMPO NO PRODUCTIVO: \t0 horas 0 min.\n"
         "\t\t\tTOTAL COSTE Mano de OBRA      : \t36,00 Euros"},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.menu);
        if (*c.answer == 0) {
            t.ui.ExpectCard(QStringLiteral("LISTADO SELECTIVO PARTES DE TRABAJO"))
                .Set(QStringLiteral("Tipo"), QStringLiteral("R"))
                .Press(QStringLiteral("SalvaPartes"));
            t.ui.ExpectDateRange(QDate(2026, 11, 2), QDate(2026, 12, 6));
        } else {
            const bool budget = QString::fromUtf8(c.menu).contains(QStringLiteral("Presupuestos"));
            t.ui.ExpectInput(budget ? QStringLiteral("Presupuestos OT")
                                    : QStringLiteral("Ordenes de trabajo"),
                             budget ? QString::fromUtf8("Introduzca nº de Presupuesto")
                                    : QString::fromUtf8("Introduzca nº de OT"),
                             QString::fromUtf8(c.answer));
        }
        t.ui.ExpectReport();
        ASSERT_TRUE(RunMenu(c.menu));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(Lines(c.from, c.count), QString::fromUtf8(c.lines));
    }
}

// Editar > Partes on the rows of the selective listing: each row fills WorkReportInput with the line it
// shows, for its edit (a store exit shows its part in place of the order).
TEST_F(WorkReportListingsTest, ARowOfTheSelectiveListingIsHandedOverAsItsLine)
{
    t.ui.ExpectCard(QStringLiteral("LISTADO SELECTIVO PARTES DE TRABAJO"))
        .Press(QStringLiteral("SalvaPartes"));
    t.ui.ExpectDateRange(QDate(2026, 11, 30), QDate(2026, 12, 6));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Partes > Listados > Partes"));
    EXPECT_SCRIPT_DONE(t.ui);
    const ReportDocument& listing = *t.ui.Reports().back();
    const TWorkReportRecord expected[] = {
        Line("M1", "26/49/5", "F", "V", 480, 0, "2", "Vacaciones"),
        Line("M1", "26/49/4", "ALB", "C", 0, 4500, "2", "Albaran grua"),
        Line("M1", "26/49/3", "AL", "C", 1250, 3, "", "Rodamiento 6204", "M1      MEROD007"),
        Line("M2", "26/49/2", "VM", "C", 60, 20, "", "Atasco"),
        Line("M1", "26/49/2", "RM", "C", 90, 30, "2", "Cambio rodamiento"),
    };
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    const int firstRow = 3;
    ASSERT_EQ(listing.LineCount(), firstRow + 5 + 7);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(listing.LineText(firstRow + i).toStdString());
        handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Partes, listing.LineText(firstRow + i));
        const TWorkReportRecord& input = WorkReports(t.ctx).WorkReportInput;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&input), sizeof input),
                  std::string(reinterpret_cast<const char*>(&expected[i]), sizeof input));
    }
    EXPECT_EQ(t.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Partes)], 1);
}

} // namespace
} // namespace gim
