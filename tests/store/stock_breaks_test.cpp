#include "platform/report.h"
#include "store/store_fixture.h"
#include "store/store_operations.h"
#include "store/suppliers.h"

namespace gim {
namespace {

const char* const kOrders = "Repuestos > Peticiones OFERTAS > Rotura Stock";

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
        s.Numero = "12";
        s.Cpostal = "24010";
        s.Ciudad = "Leon";
        s.Pais = "Spain";
        s.mail = "ana@ferr.es";
        s.Codigo = "FERR";
        StoreRecords(t.ctx, QStringLiteral("FABRI_PO.PVW"), std::vector<TSupplierRecord>{s});
    }
    static TSparePartRecord Part(const char* piece, const char* name, std::int32_t exist, std::int32_t stock,
                                 std::int32_t order, std::int32_t valor, const char* supplier = "FERR")
    {
        TSparePartRecord p = StoreTest::Part("ALMACEN_", "01", "BOM", piece, name, exist, valor);
        p.Stock = stock;
        p.PPedido = order;
        p.CdPVD = supplier;
        p.Marca = "SKF";
        p.Local = "A1";
        return p;
    }
    QString Letter(std::size_t report, int from, int to)
    {
        QStringList lines;
        for (int i = from; i <= to; ++i)
            lines << t.ui.Reports().at(report)->LineText(i);
        return lines.join(QLatin1Char('\n'));
    }
};

TEST_F(StockBreaksTest, TheStockBreakListsThePartsBelowTheirMinimumAndValuesTheShortfall)
{
    StoreParts({Part("001", "Junta", 4, 10, 12, 250), Part("002", "Sello", 10, 10, 1, 99)});
    t.ui.ExpectReport(QStringLiteral("REPUESTOS TECNICOS"));
    ASSERT_TRUE(RunMenu("Repuestos > Roturas Stock"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().back()->Transcript(),
              QString::fromUtf8("[REPUESTOS TECNICOS]\nTABS: 8 100 135 170 205 250 290 360 440\n"
                                "{10 b}\tFABRICA\tREPUESTOS TÉCNICOS\tPORTAL\t07/12/2026\n\n"
                                "\tCodigo\tSTK\tCTDAD\tPMIN\tLOCAL\tVAL/UND\tSUMINIST\t DENOMINACION \n\n"
                                "{8}\tALMACEN_01BOM001\t10\t4\t12\tA1\t2,50\tFERR\tJunta\n\n\n"
                                "\tVALOR TOTAL DE LA ROTURA DE STOCK : 15,00 EUROS\n"));
}

// The order asks for the order quantity, raised to what the stock lacks; the unit value is written
// with a point in the letter and as money in the listing.
TEST_F(StockBreaksTest, AnAutomaticOrderWritesOneLinePerOrderablePart)
{
    struct Row
    {
        std::int32_t exist, stock, order, valor;
        const char* listed;
        const char* ordered; // the line after the letter head; empty: none
    };
    const Row rows[] = {
        {2, 10, 5, 1205, "\t10\t2\t5\tA1\t12,05\t", "\tALMACEN_01BOM001\tSKF\t12.05\t8\t\tJunta"},
        {2, 10, 12, 1205, "\t10\t2\t12\tA1\t12,05\t", "\tALMACEN_01BOM001\tSKF\t12.05\t12\t\tJunta"},
        {0, 5, 0, 7, "\t5\t0\t0\tA1\t0,07\t", ""},
        {0, 5, 3, -1205, "\t5\t0\t3\tA1\t-12,05\t", "\tALMACEN_01BOM001\tSKF\t-12.05\t5\t\tJunta"},
    };
    std::size_t report = 0;
    for (const Row& r : rows) {
        StoreParts({Part("001", "Junta", r.exist, r.stock, r.order, r.valor)});
        t.ui.ExpectReport().ExpectInput(QStringLiteral("Realización Pedidos"),
                                        QStringLiteral("Manual/Auomático (M/A)"), QStringLiteral("A"));
        t.ui.ExpectReport(QStringLiteral(" PEDIDO REPUESTOS TECNICOS Ferreteria Leon"));
        ASSERT_TRUE(RunMenu(kOrders));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_TRUE(t.ui.Reports().at(report++)->LineText(4).contains(QString::fromLatin1(r.listed)))
            << r.listed;
        EXPECT_EQ(t.ui.Reports().at(report++)->LineText(20), QString::fromLatin1(r.ordered));
    }
}

TEST_F(StockBreaksTest, AnOfferRequestGoesOnlyToASupplierOfTheFile)
{
    StoreParts({Part("001", "Junta", 9, 1, 4, 1205), Part("002", "Sello", 0, 5, 2, 50, "OTRO")});
    const QString title = QStringLiteral("Almacén Técnico"), prompt = QStringLiteral("Còdigo Sumnistrador:");
    t.ui.ExpectInput(title, prompt, QStringLiteral("FERR"))
        .ExpectReport(QStringLiteral("PEDIDO REPUESTOS TECNICOS Ferreteria Leon"));
    t.ui.ExpectInput(title, prompt, QStringLiteral("OTRO")).ExpectMessage(QStringLiteral("No es Proveedor"));
    t.ui.ExpectInput(title, prompt, QStringLiteral("FERR")).ExpectMessage(QStringLiteral("No es Proveedor"));
    for (int run = 0; run < 3; ++run) {
        if (run == 2) // without a supplier file
            QFile::remove(data + QStringLiteral("/FABRI_PO.PVW"));
        ASSERT_TRUE(RunMenu("Repuestos > Peticiones OFERTAS > Suministrador"));
    }
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Letter(0, 0, 20), QString::fromUtf8("\tFABRICA\t\t\t\t\t\tFerreteria Leon\n\tPORTAL\n\n"
                                                  "\t\t\t\t\t\t\tC/ Mayor 12\n\t\t\t\t\t\t\t24010 Leon\n"
                                                  "\t\t\t\t\t\t\tSpain\n\n\t\t\t\t\t\t\tA la Atención del:\n"
                                                  "\t\t\t\t\t\t\tSr. Ana Ruiz\n\t\t\t\t\t\t\tana@ferr.es\n"
                                                  "\t\t\t\t\t\t\t07/12/2026\n\n\n\n"
                                                  "\t\tPETICIÓN DE OFERTA POR LOS SIGUIENTES CONCEPTOS Y "
                                                  "CANTIDADES\n\n\n\tCODIGO/REP\tMARCA\tVal/Ud.\tCant\t"
                                                  "Oferta/Ud.\t NOMBRE REPUESTO/MATERIAL\n\t") +
                                    QString(84, QLatin1Char('_')) +
                                    QStringLiteral("\n\n\tALMACEN_01BOM001\tSKF\t12.05\t4\t\tJunta"));
    EXPECT_EQ(Letter(0, 26, 30), QStringLiteral("\tFECHA DE ENTREGA DE LOS MATERIALES Y REPUESTOS : \n\n\n\n"
                                                "\t\tCONFORME MTO.\t\t\t\tCONFORME GERENCIA"));
}

// A part of no known supplier is set aside and the orders go on; Cancel on the confirmation ends them.
TEST_F(StockBreaksTest, ManualOrdersSetAsideUnknownSuppliersAndStopOnCancel)
{
    TSupplierRecord other{};
    other.Codigo = "ACME";
    KeyedFile<SupplierFile>(t.ctx).Append(other);
    StoreParts({Part("002", "Eje", 0, 5, 1, 10, "ACME"), Part("003", "Junta", 0, 5, 1, 10),
                Part("004", "Sello", 0, 5, 1, 10, "NADIE"), Part("005", "Tope", 0, 5, 1, 10, "NADIE")});
    t.ui.ExpectReport().ExpectInput(QStringLiteral("Realización Pedidos"),
                                    QStringLiteral("Manual/Auomático (M/A)"), QStringLiteral("M"));
    t.ui.ExpectInput(QStringLiteral("Petición Repuestos"), QStringLiteral("Junta\n Incluir ?"),
                     QStringLiteral("S"));
    t.ui.ExpectReport(QStringLiteral(" PEDIDO REPUESTOS TECNICOS Ferreteria Leon"))
        .ExpectOkCancel(QStringLiteral("?ESTA PREPARADO PARA LA IMPRESION DE UN NUEVO PEDIDO  ?"), false);
    ASSERT_TRUE(RunMenu(kOrders));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().back()->LineText(20),
              QStringLiteral("\tALMACEN_01BOM003\tSKF\t0.10\t5\t\tJunta"));
}

} // namespace
} // namespace gim
