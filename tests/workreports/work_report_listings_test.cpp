#include "app/features.h"
#include "masterdata/masterdata_fixture.h"
#include "platform/report.h"
#include "records/work_order_record.h"
#include "workreports/work_report_file.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gim {
namespace {

// Operator 000001's line; the holidays ("F") in hour type "V", the others "C".
TWorkReportRecord Line(const char* machine, const char* dia, const char* tipo, int tinter, int tparo,
                       const char* orden, const char* description, const char* part = "")
{
    TWorkReportRecord r{};
    r.Matricula = "000001";
    r.Codigo = machine;
    r.dia = dia;
    r.Tipo = tipo;
    r.TIPOH = std::string_view(tipo) == "F" ? "V" : "C";
    r.Tinter = tinter;
    r.Tparo = tparo;
    r.Orden = orden;
    r.Descripcion = description;
    r.SparePart = part;
    return r;
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
        StoreMachines({Machine("M1", "Prensa", "CTA"), Machine("M2", "Torno", "OTRA")});
        THourPriceRecord price{};
        price.Matricula = "000001";
        price.HCONTRATO = 1800;
        t.ctx.st.HourPriceTable = {price};
        std::vector lines{Line("M1", "26/49/5", "F", 480, 0, "2", "Vacaciones"),
                          Line("M1", "26/49/4", "ALB", 0, 4500, "2", "Albaran grua"),
                          Line("M1", "26/49/3", "AL", 1250, 3, "2", "Rodamiento 6204", "M1      MEROD007"),
                          Line("M2", "26/49/2", "VM", 60, 20, "", "Atasco"),
                          Line("M1", "26/49/2", "RM", 90, 30, "2", "Cambio rodamiento"),
                          Line("M1", "26/49/2", "RM", 600, 0, "2", "Borrada"), // deleted below
                          Line("M1", "26/45/1", "RM", 30, 0, "2", "Engrase"),
                          // Budget 1: the last week of 2021 and its week 0, 52 weeks apart.
                          Line("M2", "21/52/1", "RE", 60, 0, "1", "Cuadro"),
                          Line("M2", "21/00/5", "RE", 60, 0, "1", "Cuadro")};
        lines[5].Matricula = "Z";
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

struct ListingCase
{
    const char* menu;
    const char* steps; // "R": the range of week 49; "C": the search card on "R" types, from week 45
    int from;          // the lines pinned, counted from the end when negative
    int count;
    const char* lines;
};

// Account CTA has M1's lines of week 49; order 2 and budget 2 hold the lines of order 2; budget 1 those
// of 2021. The store exit adds 37,50 of material and no time.
TEST_F(WorkReportListingsTest, TheListingsTotalTimeAndCostsOfTheLinesSelected)
{
    std::vector<TWorkOrderRecord> orders(3);
    orders[2].Description = "Cambio rodamiento";
    StoreRecords(t.ctx, QStringLiteral("PORTAL.OTR"), orders);
    StoreRecords(t.ctx, QStringLiteral("PORTAL.PRO"), orders);
    const char* const order = "Ordenes de trabajo|Introduzca nº de OT|2";
    const ListingCase cases[] = {
        {"Partes > Listados > Cuenta Coste", "R;ANALISIS DE COSTES|CODIGO DE COSTE :|CTA", -5, 4,
         "\t\t\tTOTAL TIEMPO INTERVENCION   : \t1 horas 30 min.\n"
         "\t\t\tTOTAL COSTE Mano de OBRA      : \t27,00 Euros\n"
         "\t\t\tTOTAL COSTE MATERIALES         : \t37,50 Euros\n"
         "\t\t\tTOTAL COSTE ALBARANES          : \t45,00 Euros"},
        {"Partes > Listados > Ordenes", order, 4, 1, "{10 b}\tCambio rodamiento\t"},
        {"Partes > Listados > Ordenes", order, 13, 10,
         "\t000001\tM1\t02/12/26\tC\tAL\t12,50\t3\tM1      MEROD007\tRodamiento 6204\n"
         "\t000001\tM1\t01/12/26\tC\tRM\t90\t30\t2\tCambio rodamiento\n"
         "\t000001\tM1\t02/11/26\tC\tRM\t30\t0\t2\tEngrase\n\n"
         "{10 b}\t\t\tTOTAL TIEMPO INTERVENCION   : \t2 horas 0 min.\n"
         "\t\t\tTOTAL TIEMPO NO PRODUCTIVO: \t8 horas 0 min.\n"
         "\t\t\tTOTAL COSTE Mano de OBRA      : \t36,00 Euros\n"
         "\t\t\tTOTAL COSTE MATERIALES         : \t37,50 Euros\n"
         "\t\t\tTOTAL COSTE ALBARANES          : \t45,00 Euros\n"
         "\t\t\tTOTAL COSTE ORDEN TRABAJO  : \t118,50 Euros"},
        // Weeks 45 to 49: averages over 4 weeks, delivery notes in whole euros.
        {"OT/Prspuestos > Consulta > Presupuestos > Selectiva",
         "Presupuestos OT|Introduzca nº de Presupuesto|2", -8, 7,
         "GRAFICO: EVOLUCIÓN SEMANAL SERVICIO  max=30 'T Intervención: 00 : 30' 'T. Paro: 00 : 07' "
         "'11,25 € ALBARANES ' ' ' ' ' ' ' weeks=53\n"
         "BARRAS:  | EVOLUCIÓN SEMANAL SERVICIO   PORTAL      07/12/2026\n"
         "LINEAS:  | EVOLUCIÓN SEMANAL SERVICIO   PORTAL      07/12/2026\n"
         "TARTA:  | EVOLUCIÓN SEMANAL SERVICIO  PORTAL  07/12/2026\n"
         "  'T Intervención 02 : 00' = 120 #ff0000\n"
         "  'T. Paro00 : 30' = 30 #ff00ff\n"
         "  'Permisos 08 : 00' = 480 #ffff00"},
        {"Partes > Listados > Partes", "C", 5, 2,
         "{8}\t000001\tM1\t01/12/26\tC\tRM\t90\t30\t2\tCambio rodamiento\n"
         "\t000001\tM1\t02/11/26\tC\tRM\t30\t0\t2\tEngrase"},
        // Weeks 0 and 52: a span of 52 weeks leaves none to average over, and no charts are drawn.
        {"OT/Prspuestos > Consulta > Presupuestos > Selectiva",
         "Presupuestos OT|Introduzca nº de Presupuesto|1", -2, 2,
         "\t\t\tTOTAL COSTE ORDEN TRABAJO  : \t36,00 Euros\n"},
    };
    for (const ListingCase& c : cases) {
        SCOPED_TRACE(c.menu);
        for (const QString& step : QString::fromUtf8(c.steps).split(QLatin1Char(';'))) {
            const QStringList input = step.split(QLatin1Char('|'));
            if (input.size() == 3) {
                t.ui.ExpectInput(input[0], input[1], input[2]);
            } else if (step == QLatin1String("R")) {
                t.ui.ExpectDateRange(QDate(2026, 11, 30), QDate(2026, 12, 6));
            } else {
                t.ui.ExpectCard(QStringLiteral("LISTADO SELECTIVO PARTES DE TRABAJO"))
                    .Set(QStringLiteral("Tipo"), QStringLiteral("R"))
                    .Press(QStringLiteral("SalvaPartes"));
                t.ui.ExpectDateRange(QDate(2026, 11, 2), QDate(2026, 12, 6));
            }
        }
        t.ui.ExpectReport();
        ASSERT_TRUE(RunMenu(c.menu));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(Lines(c.from, c.count), QString::fromUtf8(c.lines));
    }
}

} // namespace
} // namespace gim
