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

TWorkReportRecord Line(const char* machine, const char* dia, const char* tipo, int tinter, int tparo,
                       const char* orden, const char* description)
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
    return r;
}

using WorkReportListingsTest = test::MasterdataTest;

struct ListingCase
{
    const char* menu;
    const char* steps; // "R": the range of week 49; "C": the search card on "R" types; prompts
    int from;          // the lines pinned, from the end when negative
    int count;
    const char* lines;
};

// The store exit adds 37,50 of material and no time; budget 1 holds the lines of 2021.
TEST_F(WorkReportListingsTest, TheListingsTotalTimeAndCostsOfTheLinesSelected)
{
    // M1 in account CTA, M2 in OTRA; operator 000001 paid 18,00 an hour; holidays ("F") in hour type "V".
    RegisterFeatures(t.ctx);
    StoreMachines({Machine("M1", "Prensa", "CTA"), Machine("M2", "Torno", "OTRA")});
    t.ctx.st.HourPriceTable.resize(1);
    t.ctx.st.HourPriceTable[0].Matricula = "000001";
    t.ctx.st.HourPriceTable[0].HCONTRATO = 1800;
    std::vector lines{Line("M1", "26/49/5", "F", 480, 0, "2", "Vacaciones"),
                      Line("M1", "26/49/4", "ALB", 0, 4500, "2", "Albaran grua"),
                      Line("M1", "26/49/3", "AL", 1250, 3, "2", "Rodamiento 6204"),
                      Line("M2", "26/49/2", "VM", 60, 20, "", "Atasco"),
                      Line("M1", "26/49/2", "RM", 90, 30, "2", "Cambio rodamiento"),
                      Line("M1", "26/49/2", "RM", 600, 0, "2", "Borrada"), // deleted below
                      Line("M1", "26/45/1", "RM", 30, 0, "2", "Engrase"),
                      Line("M2", "21/52/1", "RE", 60, 0, "1", "Cuadro"),
                      Line("M2", "21/00/5", "RE", 60, 0, "1", "Cuadro")};
    lines[5].Matricula = "Z";
    StoreRecords(t.ctx, QStringLiteral("PORTAL.PDA"), lines);
    StoreRecords(t.ctx, QStringLiteral("PORTAL.OTR"), std::vector<TWorkOrderRecord>(3));
    StoreRecords(t.ctx, QStringLiteral("PORTAL.PRO"), std::vector<TWorkOrderRecord>(3));
    const ListingCase cases[] = {
        {"Partes > Listados > Cuenta Coste", "R;ANALISIS DE COSTES|CODIGO DE COSTE :|CTA", -5, 4,
         "\t\t\tTOTAL TIEMPO INTERVENCION   : \t1 horas 30 min.\n"
         "\t\t\tTOTAL COSTE Mano de OBRA      : \t27,00 Euros\n"
         "\t\t\tTOTAL COSTE MATERIALES         : \t37,50 Euros\n"
         "\t\t\tTOTAL COSTE ALBARANES          : \t45,00 Euros"},
        {"Partes > Listados > Ordenes", "Ordenes de trabajo|Introduzca nº de OT|2", -5, 5,
         "\t\t\tTOTAL COSTE Mano de OBRA      : \t36,00 Euros\n"
         "\t\t\tTOTAL COSTE MATERIALES         : \t37,50 Euros\n"
         "\t\t\tTOTAL COSTE ALBARANES          : \t45,00 Euros\n"
         "\t\t\tTOTAL COSTE ORDEN TRABAJO  : \t118,50 Euros\n"},
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
        {"Partes > Listados > Partes", "C;R", 5, 2,
         "{8}\t000001\tM1\t01/12/26\tC\tRM\t90\t30\t2\tCambio rodamiento\n"},
        // Weeks 0 and 52: a span of 52 weeks leaves none to average over, and no charts are drawn.
        {"OT/Prspuestos > Consulta > Presupuestos > Selectiva",
         "Presupuestos OT|Introduzca nº de Presupuesto|1", -2, 2,
         "\t\t\tTOTAL COSTE ORDEN TRABAJO  : \t36,00 Euros\n"},
    };
    for (const ListingCase& c : cases) {
        SCOPED_TRACE(c.menu);
        for (const QString& step : QString::fromUtf8(c.steps).split(QLatin1Char(';'))) {
            const QStringList in = step.split(QLatin1Char('|'));
            if (in.size() == 3)
                t.ui.ExpectInput(in[0], in[1], in[2]);
            else if (step == QLatin1String("C"))
                t.ui.ExpectCard(QStringLiteral("LISTADO SELECTIVO PARTES DE TRABAJO"))
                    .Set(QStringLiteral("Tipo"), QStringLiteral("R"))
                    .Press(QStringLiteral("SalvaPartes"));
            else
                t.ui.ExpectDateRange(QDate(2026, 11, 30), QDate(2026, 12, 6));
        }
        t.ui.ExpectReport();
        ASSERT_TRUE(RunMenu(c.menu));
        EXPECT_SCRIPT_DONE(t.ui);
        QStringList shown = t.ui.Reports().back()->Transcript().split(QLatin1Char('\n'));
        shown.removeIf(
            [](const QString& l) { return l.startsWith(QLatin1String("  ")) && !l.contains('#'); });
        EXPECT_EQ(shown.mid(c.from < 0 ? shown.size() + c.from : c.from, c.count).join(QLatin1Char('\n')),
                  QString::fromUtf8(c.lines));
    }
}

} // namespace
} // namespace gim
