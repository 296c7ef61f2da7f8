#include "core/command.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables.h"
#include "exchange/import_window.h"
#include "masterdata/personnel.h"
#include "preventive/preventive_fixture.h"
#include "records/personnel_record.h"

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

    template <typename Line> void Import(ImportTable<Line> table, const char* text)
    {
        ASSERT_TRUE(RunCommand(t.ctx, {}, [&] {
            RunGatewayImport(t.ctx, MakeImportJob(std::move(table)), QString::fromUtf8(text));
        }));
    }
    std::string File(const QString& name) const { return t.ReadFile(name); }
    template <typename R> static std::string Bytes(const R& rec)
    {
        return std::string(reinterpret_cast<const char*>(&rec), sizeof rec);
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
    t.ui.ExpectReport(kGateway);
    t.ui.ExpectReport(kGateway);
    t.ui.ExpectCard(QStringLiteral("FABRICA /PROVEEDORES DE MANTENIMIENTO"), {}, QStringLiteral("Salvar"));
    t.ui.ExpectReport(kGateway);
    t.ui.ExpectReport(kGateway);
    t.ui.ExpectReport(kGateway);
    t.ui.ExpectReport(kGateway);
    t.ui.ExpectReport(kGateway);

    Import(MachineImportFormat(), "1\tPR02\tPrensa hidráulica\tHP-20\tS123\tCTA1\tNAVE 2\tSI\n");
    TMachineRecord machine = Machine("PR02", "", "CTA1", "HP-20", "S123", "NAVE 2", "SI");
    machine.Denominacion = QStringLiteral("Prensa hidráulica");
    EXPECT_EQ(MachineBytes(),
              Bytes(machine) + Bytes(Machine("PRENSA01", "Prensa")) + Bytes(Machine("TORNO", "Torno")));

    Import(OperationImportFormat(), "1\tPRENSA01\tS\tP\t45\tMC\tREVISAR ACEITE\n");
    EXPECT_EQ(File(QStringLiteral("PORTAL.OPR")),
              Bytes(Op("PRENSA01", "S", 45, "REVISAR ACEITE")) + Bytes(Op("TORNO", "M", 30)));

    Import(SupplierImportFormat(), "1\tPROV1\tRodamientos SA\t961234567\t961234568\tLuis\tROD\tMayor\t12\t"
                                   "Valencia\t46001\tEspaña\tluis@rod.es\n");
    TSupplierRecord supplier{};
    supplier.Codigo = "PROV1";
    supplier.Empresa = "Rodamientos SA";
    supplier.Tlf = "961234567";
    supplier.Fax = "961234568";
    supplier.Contacto = "Luis";
    supplier.Especialidad = "ROD";
    supplier.Calle = "Mayor";
    supplier.Numero = "12";
    supplier.Ciudad = "Valencia";
    supplier.Cpostal = "46001";
    supplier.Pais = QStringLiteral("España");
    supplier.mail = "luis@rod.es";
    EXPECT_EQ(File(QStringLiteral("FABRI_PO.PVW")), Bytes(supplier));

    Import(SparePartImportFormat(), "1\tTORNO\tEQ\tUTL\t001\tRODAMIENTO\tSKF\t0\t1250\t2\t5\tPROV1\tA1\n");
    TSparePartRecord part{};
    part.Codigo = "TORNO";
    part.Equipo = "EQ";
    part.Util = "UTL";
    part.Pieza = "001";
    part.Nombre = "RODAMIENTO";
    part.Marca = "SKF";
    part.Valor = 1250;
    part.Stock = 2;
    part.PPedido = 5;
    part.CdPVD = "PROV1";
    part.Local = "A1";
    EXPECT_EQ(File(QStringLiteral("PORTAL.RPW")), Bytes(part));

    Import(PlanImportFormat(), "1\tTORNO\t12\n");
    EXPECT_EQ(PlanBytes(), Bytes(Planned("TORNO", 12)));

    // A key of 14 characters gives all four parts, one of 10 leaves procedure and instruction empty.
    Import(ProcedureImportFormat(), "1\tPRENSA01MC0102\tP\t30\tENGRASAR\n1\tPRENSA01EL\tM\t15\tMEDIR\n");
    TProcedureRecord full{};
    full.MachineCode = "PRENSA01";
    full.Espec = "MC";
    full.Proced = "01";
    full.Inst = "02";
    full.Estado = "P";
    full.Tiempo = 30;
    full.Descripcion = "ENGRASAR";
    TProcedureRecord shortKey{};
    shortKey.MachineCode = "PRENSA01";
    shortKey.Espec = "EL";
    shortKey.Estado = "M";
    shortKey.Tiempo = 15;
    shortKey.Descripcion = "MEDIR";
    EXPECT_EQ(File(QStringLiteral("PORTAL.INT")), Bytes(full) + Bytes(shortKey));

    // Amounts in cents: "12,5" is 1250.
    Import(HourPriceImportFormat(), "1\tM00001\t12,5\t15\t20\t13,25\t18\t01/01/2026\n");
    THourPriceRecord price{};
    price.Matricula = "M00001";
    price.HCONTRATO = 1250;
    price.HEX = 1500;
    price.HEF = 2000;
    price.HN = 1325;
    price.HEN = 1800;
    price.Fecha = "01/01/2026";
    EXPECT_EQ(File(QStringLiteral("PORTAL.PHR")), Bytes(price));
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
    EXPECT_EQ(t.ctx.st.ActionCode, QString());
    EXPECT_EQ(t.ctx.st.InteractiveFlag, 1);

    t.ui.SetClipboardText(
        QStringLiteral("1\tPR02\tPrensa\t-\t-\tCTA\t-\tSI\r\n1\tPR03\tTorno\t-\t-\tCTA\t-\tSI\r\n"));
    t.ui.ExpectCard(window)
        .ExpectDisabled(QStringLiteral("Manual"))
        .Set(QStringLiteral("Provee"), QStringLiteral("1"))
        .ExpectDisabled(QStringLiteral("Manual"))
        .Set(QStringLiteral("Maquinas"), QStringLiteral("1"))
        .ExpectValue(QStringLiteral("Provee"), QStringLiteral("0"))
        .Set(QStringLiteral("Manual"), QStringLiteral("0"))
        .DoubleClick(QStringLiteral("Maquinas"));
    t.ui.ExpectReport(kGateway);
    RunMenu("Utiles > Importar");
    EXPECT_EQ(t.ui.ClipboardText(), QString());
    EXPECT_EQ(MachineBytes(), Bytes(Machine("PR02", "Prensa")) + Bytes(Machine("PR03", "Torno")));

    // Manual ticked: each line's card, here closed, so nothing is added.
    t.ui.SetClipboardText(QStringLiteral("1\tPR04\tFresa\n"));
    t.ui.ExpectCard(window).DoubleClick(QStringLiteral("Maquinas"));
    t.ui.ExpectCardCancel(QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS"));
    t.ui.ExpectReport(kGateway);
    RunMenu("Utiles > Importar");
    EXPECT_EQ(t.ui.Reports().back()->Text().toStdString(), "1\tPR04\tFresa\n \n   1\tPR04\tFresa");
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim
