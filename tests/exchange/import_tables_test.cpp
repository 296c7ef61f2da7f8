#include "exchange/import_gateway.h"
#include "exchange/import_tables.h"
#include "exchange/import_window.h"
#include "masterdata/personnel.h"
#include "masterdata/routines.h"
#include "preventive/preventive_fixture.h"
#include "records/record_bytes.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

const QString kGateway = QStringLiteral("Pasarela Imformes Veltrano");

// The environment "PORTAL" of firm "FABRICA", its plan in 2025-2027, imports run without cards.
class ImportTablesTest : public test::PreventiveTest
{
protected:
    ImportTablesTest()
    {
        BuildFirmFileNames(t.ctx);
        ImportGateway(t.ctx).Manual = false;
        RegisterExchange(registry, t.ctx);
    }

    // `cards`: what happens on the cards the lines open, after the gateway window opened.
    template <typename Line>
    void Import(ImportTable<Line> table, const char* text, const std::function<void()>& cards = {})
    {
        t.ui.ExpectReport(kGateway);
        if (cards)
            cards();
        ASSERT_TRUE(RunCommand(t.ctx, {}, [&] {
            RunGatewayImport(t.ctx, MakeImportJob(std::move(table)), QString::fromUtf8(text));
        }));
    }
    // A record's bytes: short strings ("offset=text|...") and raw bytes at their offsets, zeros elsewhere.
    using Raws = std::initializer_list<std::pair<std::size_t, std::initializer_list<unsigned char>>>;
    template <typename R> static std::string Expected(const char* texts, Raws raws = {})
    {
        test::RecordBytes b(sizeof(R));
        for (const QString& field : QString::fromLatin1(texts).split(QLatin1Char('|'))) {
            const qsizetype eq = field.indexOf(QLatin1Char('='));
            b.Text(field.left(eq).toUInt(), field.mid(eq + 1).toLatin1().toStdString());
        }
        for (const auto& [at, bytes] : raws)
            b.Raw(at, bytes);
        return std::string(b.Bytes().begin(), b.Bytes().end());
    }
};

TEST_F(ImportTablesTest, EachTableStoresItsGoldenLine)
{
    StoreMachines({Machine("PRENSA01", "Prensa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("TORNO", "M", 30)});
    StoreAgenda(Agenda(104));
    TPersonnelRecord person{};
    person.Matricula = "M00001";
    person.Baja = "..";
    StoreRecords(t.ctx, QStringLiteral("FABRI_PO.RCH"), std::vector{person});
    LoadPersonnel(t.ctx);

    Import(MachineImportFormat(), "1\tPR02\tPrensa hidráulica\tHP-20\tS123\tCTA1\tNAVE 2\tSI\n");
    TMachineRecord machine = Machine("PR02", "", "CTA1", "HP-20", "S123", "NAVE 2", "SI");
    machine.Denominacion = QStringLiteral("Prensa hidráulica");
    EXPECT_EQ(MachineBytes(),
              Bytes(std::vector{machine, Machine("PRENSA01", "Prensa"), Machine("TORNO", "Torno")}));

    Import(OperationImportFormat(), "1\tPRENSA01\tS\tP\t45\tMC\tREVISAR ACEITE\n");
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.OPR")),
              Bytes(std::vector{Op("PRENSA01", "S", 45, "REVISAR ACEITE"), Op("TORNO", "M", 30)}));

    Import(SupplierImportFormat(),
           "1\tPROV1\tRodamientos SA\t961234567\t961234568\tLuis\tROD\tMayor\t12\t"
           "Valencia\t46001\tEspaña\tluis@rod.es\n",
           [&] {
               t.ui.ExpectCard(QStringLiteral("FABRICA /PROVEEDORES DE MANTENIMIENTO"), {},
                               QStringLiteral("Salvar"));
           });
    EXPECT_EQ(t.ReadFile(QStringLiteral("FABRI_PO.PVW")),
              Expected<TSupplierRecord>("0=Rodamientos SA|37=Luis|74=Mayor|111=12|118=Valencia|143=46001|"
                                        "150=Espa\xF1"
                                        "a|175=961234567|188=961234568|201=PROV1|212=ROD|"
                                        "225=luis@rod.es"));

    Import(SparePartImportFormat(), "1\tTORNO\tEQ\tUTL\t001\tRODAMIENTO\tSKF\t0\t1250\t2\t5\tPROV1\tA1\n");
    EXPECT_EQ(
        t.ReadFile(QStringLiteral("PORTAL.RPW")),
        Expected<TSparePartRecord>("0=TORNO|9=EQ|12=UTL|16=001|20=RODAMIENTO|151=SKF|184=PROV1|195=A1",
                                   {{172, {0xE2, 0x04, 0, 0}}, {176, {2, 0, 0, 0}}, {180, {5, 0, 0, 0}}}));

    Import(PlanImportFormat(), "1\tTORNO\t12\n");
    EXPECT_EQ(PlanBytes(), Bytes(std::vector{Planned("TORNO", 12)}));

    // A key of 14 characters gives all four parts, one of 10 leaves procedure and instruction empty.
    Import(ProcedureImportFormat(), "1\tPRENSA01MC0102\tP\t30\tENGRASAR\n1\tPRENSA01EL\tM\t15\tMEDIR\n");
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.INT")),
              Expected<TProcedureRecord>("0=PRENSA01|9=MC|12=01|15=02|18=P|21=ENGRASAR", {{272, {30, 0}}}) +
                  Expected<TProcedureRecord>("0=PRENSA01|9=EL|18=M|21=MEDIR", {{272, {15, 0}}}));

    // Amounts in cents: "12,5" is 1250.
    Import(HourPriceImportFormat(), "1\tM00001\t12,5\t15\t20\t13,25\t18\t01/01/2026\n");
    EXPECT_EQ(
        t.ReadFile(QStringLiteral("PORTAL.PHR")),
        Expected<THourPriceRecord>("0=M00001|24=01/01/2026",
                                   {{8, {0xE2, 0x04, 0x2D, 0x05, 0xDC, 0x05, 0x08, 0x07, 0xD0, 0x07}}}));
    EXPECT_SCRIPT_DONE(t.ui);
}

// Utiles > Importar: closed, the window leaves no mode code and cards on; a click selects a table (Manual
// ticked, and free only for the tables that can store without a card), a double-click runs it on the
// clipboard's text, with or without the card of each line.
TEST_F(ImportTablesTest, TheImportWindowRunsTheDoubleClickedTableOnTheClipboard)
{
    const QString window = QStringLiteral("Importador de Datos");
    t.ctx.st.InteractiveFlag = 0;
    t.ui.ExpectCardCancel(window);
    RunMenu("Utiles > Importar");
    EXPECT_EQ(t.ctx.st.ActionCode + QString::number(t.ctx.st.InteractiveFlag), QStringLiteral("1"));
    // Every one of the fifteen buttons runs a table.
    for (const char* radio :
         {"Maquinas", "Gamas", "Partes", "Provee", "Ordenes", "Averias", "Repuestos", "Reparaciones",
          "Movimientos", "Controles", "Energias", "COMPRAS", "Planing", "PrecioHora", "procedimiento"})
        EXPECT_TRUE(ImportJobFor(QString::fromLatin1(radio))) << radio;

    t.ui.SetClipboardText(
        QStringLiteral("1\tPR02\tPrensa\t-\t-\tCTA\t-\tSI\r\n1\tPR03\tTorno\t-\t-\tCTA\t-\tSI\r\n"));
    t.ui.ExpectCard(window)
        .Set(QStringLiteral("Provee"), QStringLiteral("1"))
        .ExpectDisabled(QStringLiteral("Manual"))
        .Set(QStringLiteral("Maquinas"), QStringLiteral("1"))
        .Set(QStringLiteral("Manual"), QStringLiteral("0"))
        .DoubleClick(QStringLiteral("Maquinas"));
    t.ui.ExpectReport(kGateway);
    RunMenu("Utiles > Importar");
    EXPECT_EQ(t.ui.ClipboardText(), QString());
    EXPECT_EQ(MachineBytes(), Bytes(std::vector{Machine("PR02", "Prensa"), Machine("PR03", "Torno")}));

    // Manual ticked: each line's card, here closed, so nothing is added.
    t.ui.SetClipboardText(QStringLiteral("1\tPR04\tFresa\n"));
    t.ui.ExpectCard(window).DoubleClick(QStringLiteral("Maquinas"));
    t.ui.ExpectReport(kGateway);
    t.ui.ExpectCardCancel(QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS"));
    RunMenu("Utiles > Importar");
    EXPECT_EQ(t.ui.Reports().back()->Text().toStdString(), "1\tPR04\tFresa\n \n   1\tPR04\tFresa");
    EXPECT_SCRIPT_DONE(t.ui);
}

// The import saves the routine of the environment it runs in, not a list left loaded from another one.
TEST_F(ImportTablesTest, ARoutineImportKeepsToItsOwnEnvironment)
{
    StoreOperations({Op("PRENSA01", "M", 30)});
    LoadOperationList(t.ctx);
    t.ctx.st.CurrentEnvironment = QStringLiteral("OTRO");
    BuildDataFileNames(t.ctx);
    StoreRecords(t.ctx, QStringLiteral("OTRO.MQW"), std::vector{Machine("TORNO", "Torno")});
    Import(OperationImportFormat(), "1\tTORNO\tS\tP\t45\tMC\tAFILAR\n");
    EXPECT_EQ(t.ReadFile(QStringLiteral("OTRO.OPR")), Bytes(std::vector{Op("TORNO", "S", 45, "AFILAR")}));
}

// Without cards a refused line says why in its echo, no message box (the first: no machine register yet).
TEST_F(ImportTablesTest, UnattendedProcedureAndRoutineLinesSayWhyTheyAreRefused)
{
    const char* cases[][3] = {
        {"procedimiento", "1\tPRENSA01MC0101\tP\t5\tA", "   1\tPRENSA01MC0101\tP\t5\tA  MÁQUINA INEXISTENTE"},
        {"procedimiento", "1\tPRENSA01MC0103\tP\t30\tA\n1\tPRENSA01LI0102\tP\t5\tB\n1\tNADA01MC0101\tP\t5\tC",
         " * 1\tPRENSA01MC0103\tP\t30\tA|   1\tPRENSA01LI0102\tP\t5\tB  CÓDIGO REPETIDO|"
         "   1\tNADA01MC0101\tP\t5\tC  MÁQUINA INEXISTENTE"},
        {"Gamas", "1\tPRENSA01\tS\tP\t45\tMC\tA\n1\tNADA\tS\tP\t45\tMC\tB\n1\tTORNO\tS\tP\t45\tMC\tC",
         " * 1\tPRENSA01\tS\tP\t45\tMC\tA|   1\tNADA\tS\tP\t45\tMC\tB  MÁQUINA INEXISTENTE|"
         "   1\tTORNO\tS\tP\t45\tMC\tC  MÁQUINA EN PLANING"},
    };
    for (const auto& c : cases) {
        const QString lines = QString::fromUtf8(c[1]);
        t.ui.ExpectReport(kGateway);
        ASSERT_TRUE(RunCommand(t.ctx, {}, [&] { RunGatewayImport(t.ctx, *ImportJobFor(c[0]), lines); }));
        const QStringList echo = t.ui.Reports().back()->Text().split(QLatin1Char('\n'));
        EXPECT_EQ(echo.mid(lines.count(QLatin1Char('\n')) + 2).join(QLatin1Char('|')).toStdString(), c[2]);
        // A number is taken once per machine, whatever its speciality and wherever the file holds it.
        StoreMachines({Machine("PRENSA01", "Prensa"), Machine("TORNO", "Torno")});
        StorePlan({Planned("TORNO", 12)});
        t.WriteFile(QStringLiteral("PORTAL.INT"),
                    Expected<TProcedureRecord>("0=PRENSA01|9=EA|12=01|15=02") +
                        Expected<TProcedureRecord>("0=PRENSA01|9=ME|12=01|15=01"));
    }
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim
