#include "platform/report.h"
#include "store/store_fixture.h"
#include "store/store_operations.h"
#include "store/suppliers.h"

#include <tuple>

namespace gim {
namespace {

class StockBreaksTest : public test::StoreTest
{
protected:
    StockBreaksTest()
    {
        BuildFirmFileNames(t.ctx);
        RegisterStore(registry, t.ctx);
        registry.Register(Op::CascadeWindows, [](Context&) {}); // the main window's
        TSupplierRecord s{};
        s.Empresa = "Ferreteria Leon";
        s.Contacto = "Ana Ruiz";
        s.Calle = "Mayor";
        s.Ciudad = "Leon";
        s.Codigo = "FERR";
        TSupplierRecord other = s;
        other.Codigo = "ACME";
        StoreRecords(t.ctx, "FABRI_PO.PVW", std::vector<TSupplierRecord>{s, other});
    }
    static TSparePartRecord Part(const char* piece, const char* name, std::int32_t exist, std::int32_t stock,
                                 std::int32_t order, std::int32_t valor, const char* supplier = "FERR")
    {
        TSparePartRecord p = StoreTest::Part("ALMACEN_", "01", "BOM", piece, name, exist, valor);
        p.Stock = stock;
        p.PPedido = order;
        p.CdPVD = supplier;
        p.Marca = "SKF";
        return p;
    }
};

// The order quantity is raised to what the stock lacks; the unit value has a point, the listing's a comma.
TEST_F(StockBreaksTest, AnAutomaticOrderWritesOneLinePerOrderablePart)
{
    // Exist, Stock, PPedido, Valor; what the listing shows from Stock to the value; the letter's part line.
    const std::tuple<int, int, int, int, const char*, const char*> rows[] = {
        {2, 10, 5, 1205, "\t10\t2\t5\t\t12,05\t", "\tALMACEN_01BOM001\tSKF\t12.05\t8\t\tJunta"},
        {2, 10, 12, 1205, "\t10\t2\t12\t\t12,05\t", "\tALMACEN_01BOM001\tSKF\t12.05\t12\t\tJunta"},
        {0, 5, 0, 7, "\t5\t0\t0\t\t0,07\t", ""}, // no letter line: the footer follows the head
        {0, 5, 3, -1205, "\t5\t0\t3\t\t-12,05\t", "\tALMACEN_01BOM001\tSKF\t-12.05\t5\t\tJunta"},
    };
    for (const auto& [exist, stock, order, valor, listed, ordered] : rows) {
        StoreParts({Part("001", "Junta", exist, stock, order, valor)});
        t.ui.ExpectReport().ExpectInput("Realización Pedidos", "Manual/Auomático (M/A)", "A");
        t.ui.ExpectReport(" PEDIDO REPUESTOS TECNICOS Ferreteria Leon");
        ASSERT_TRUE(RunMenu("Repuestos > Peticiones OFERTAS > Rotura Stock"));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_TRUE(t.ui.Reports().rbegin()[1]->LineText(4).contains(QString::fromLatin1(listed))) << listed;
        EXPECT_EQ(t.ui.Reports().back()->LineText(20), QString::fromLatin1(ordered));
    }
}

TEST_F(StockBreaksTest, AnOfferRequestGoesOnlyToASupplierOfTheFile)
{
    StoreParts({Part("001", "Junta", 9, 1, 4, 1205), Part("002", "Sello", 0, 5, 2, 50, "OTRO")});
    const QString title = "Almacén Técnico", prompt = "Còdigo Sumnistrador:";
    t.ui.ExpectInput(title, prompt, "FERR").ExpectReport("PEDIDO REPUESTOS TECNICOS Ferreteria Leon");
    t.ui.ExpectInput(title, prompt, "OTRO").ExpectMessage("No es Proveedor");
    t.ui.ExpectInput(title, prompt, "FERR").ExpectMessage("No es Proveedor");
    t.ui.ExpectInputCancel(title, prompt); // ends quietly
    ASSERT_TRUE(RunMenu("Repuestos > Peticiones OFERTAS > Suministrador"));
    ASSERT_TRUE(RunMenu("Repuestos > Peticiones OFERTAS > Suministrador"));
    ASSERT_TRUE(QFile::remove(data + "/FABRI_PO.PVW")); // without a supplier file
    ASSERT_TRUE(RunMenu("Repuestos > Peticiones OFERTAS > Suministrador"));
    ASSERT_TRUE(RunMenu("Repuestos > Peticiones OFERTAS > Suministrador"));
    EXPECT_SCRIPT_DONE(t.ui);
    QStringList lines;
    for (const int i : {0, 3, 4, 8, 14, 20, 30})
        lines << t.ui.Reports().at(0)->LineText(i);
    EXPECT_EQ(lines,
              QString::fromUtf8(
                  "\tFABRICA\t\t\t\t\t\tFerreteria Leon|\t\t\t\t\t\t\tC/ Mayor |\t\t\t\t\t\t\t Leon|"
                  "\t\t\t\t\t\t\tSr. Ana Ruiz|\t\tPETICIÓN DE OFERTA POR LOS SIGUIENTES CONCEPTOS Y "
                  "CANTIDADES|\tALMACEN_01BOM001\tSKF\t12.05\t4\t\tJunta|\t\tCONFORME MTO.\t\t\t\tCONFORME "
                  "GERENCIA")
                  .split(QLatin1Char('|')));
}

// Unknown suppliers' parts are set aside without a letter; Cancel on the confirmation ends the orders.
TEST_F(StockBreaksTest, ManualOrdersSetAsideUnknownSuppliersAndStopOnCancel)
{
    StoreParts({Part("001", "Eje", 0, 5, 1, 0, "ACME"), Part("002", "Sello", 10, 10, 1, 99),
                Part("003", "Junta", 4, 10, 1, 250), Part("004", "Tope", 0, 5, 1, 0, "NADIE")});
    t.ui.ExpectReport("REPUESTOS TECNICOS").ExpectInput("Realización Pedidos", "Manual/Auomático (M/A)", "M");
    t.ui.ExpectInput("Petición Repuestos", "Junta\n Incluir ?", "S");
    t.ui.ExpectReport(" PEDIDO REPUESTOS TECNICOS Ferreteria Leon")
        .ExpectOkCancel("?ESTA PREPARADO PARA LA IMPRESION DE UN NUEVO PEDIDO  ?", false);
    ASSERT_TRUE(RunMenu("Repuestos > Peticiones OFERTAS > Rotura Stock"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().front()->Transcript(),
              QString::fromUtf8("[REPUESTOS TECNICOS]\nTABS: 8 100 135 170 205 250 290 360 440\n"
                                "{10 b}\tFABRICA\tREPUESTOS TÉCNICOS\tPORTAL\t07/12/2026\n\n"
                                "\tCodigo\tSTK\tCTDAD\tPMIN\tLOCAL\tVAL/UND\tSUMINIST\t DENOMINACION \n\n"
                                "{8}\tALMACEN_01BOM001\t5\t0\t1\t\t0,00\tACME\tEje\n"
                                "\tALMACEN_01BOM003\t10\t4\t1\t\t2,50\tFERR\tJunta\n"
                                "\tALMACEN_01BOM004\t5\t0\t1\t\t0,00\tNADIE\tTope\n\n\n"
                                "\tVALOR TOTAL DE LA ROTURA DE STOCK : 15,00 EUROS\n"));
}

} // namespace
} // namespace gim
