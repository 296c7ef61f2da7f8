#include "core/io_errors.h"
#include "store/store_fixture.h"
#include "store/store_reports.h"

#include <limits>

namespace gim {
namespace {

class StoreReportsTest : public test::StoreTest
{
protected:
    StoreReportsTest() { StoreMachines({Machine("M1", "Prensa")}); }

    static TSparePartRecord Stocked(const char* piece, const char* name, std::int32_t exist,
                                    std::int32_t valor, const char* code = "M1", const char* family = "ME",
                                    const char* use = "ROD")
    {
        TSparePartRecord r = Part(code, family, use, piece, name, exist, valor);
        r.Stock = 2;
        r.CdPVD = "PROV1";
        return r;
    }
    // The listing's lines from `first` on.
    QStringList Lines(qsizetype first) const
    {
        return t.ui.Reports().back()->Text().split(QLatin1Char('\n')).mid(first);
    }
};

TEST_F(StoreReportsTest, TheInventoryListsEveryPartOfTheSortedFileAndTotalsThePositiveStock)
{
    StoreParts({Stocked("001", "Reten", 4, 250), Stocked("000", "Rodamiento", 0, 1000),
                Part("Z", "ME", "X", "0"), Stocked("000", "Rele", -2, 300, "M1", "EL", "CON")});
    t.ui.ExpectInput(QStringLiteral("Valor Unitario Mínimo DEL REPUESTO"),
                     QStringLiteral("Valor céntimos de Euros :"), QStringLiteral("0"));
    t.ui.ExpectReport(QStringLiteral("REPUESTOS INVENTARIO"));
    ASSERT_TRUE(RunMenu("Repuestos > Inventario > General"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Lines(0),
              (QStringList{"\tFABRICA\tMOVIMIENTOS DE ALMACEN\tPORTAL\t07/12/2026",
                           "\tRepuesto\tStok\tCant\tValor Und.\tLocal\t     DESCRIPCION", "",
                           "\tM1ELCON000\t2\t-2\t3,00\t\tRele", "\tM1MEROD000\t2\t0\t10,00\t\tRodamiento",
                           "\tM1MEROD001\t2\t4\t2,50\t\tReten", "",
                           "            VALOR MÍNIMO DE REPUESTO ............: 0,00 €",
                           "            Número de REPUESTOS CODIFICADOS   : 3",
                           "            VALOR TOTAL DEL INVENTARIO (Euros) : \t10,00 €"}));
}

// A damaged file's amounts can total past 64 bits: the total stops at the largest amount.
TEST_F(StoreReportsTest, AnInventoryTotalPastSixtyFourBitsStopsAtTheLargestAmount)
{
    const std::int32_t most = std::numeric_limits<std::int32_t>::max();
    StoreParts(
        {Stocked("001", "A", most, most), Stocked("002", "B", most, most), Stocked("003", "C", most, most)});
    t.ui.ExpectInput(QStringLiteral("Valor Unitario Mínimo DEL REPUESTO"),
                     QStringLiteral("Valor céntimos de Euros :"), QStringLiteral("0"));
    t.ui.ExpectReport(QStringLiteral("REPUESTOS INVENTARIO"));
    ASSERT_TRUE(RunMenu("Repuestos > Inventario > General"));
    EXPECT_EQ(Lines(0).back(),
              QStringLiteral("            VALOR TOTAL DEL INVENTARIO (Euros) : \t92233720368547758,07 €"));
}

// Week 10 of 2026 is absolute week 218 from 2022.
TEST_F(StoreReportsTest, MovementListingsFilterByWeekAndDestinationAndTheRatiosCountExitsAsAmounts)
{
    StoreParts({Stocked("000", "Rodamiento", 0, 1000), Stocked("001", "Reten", 4, 250)});
    StoreMovementFile({Movement("M1", "ME", "ROD", "001", "M01", 218, "1234", -2, 250),
                       Movement("M1", "ME", "ROD", "001", "X01A", 219, "OT/5", -1, 250),
                       Movement("M1", "ME", "ROD", "001", "M02", 218, "1", -3, 250),
                       Movement("M1", "ME", "ROD", "000", "ALMACEN_", 218, " ", 5, 1000),
                       Movement("M1", "ME", "ROD", "001", "M01", 230, "1", -1, 250),
                       Movement("M1", "ME", "ROD", "000", "Q01", 218, "", 3, 100)});
    t.ui.ExpectDateRange(QDate(2026, 3, 2), QDate(2026, 3, 15));
    t.ui.ExpectCard(QStringLiteral("CONSULTA SELECTIVA DE REPUESTOS DE MAQUINAS"))
        .ExpectValue("MqnDest", "*")
        .Set("MqnDest", "*01")
        .Press("Buscar");
    t.ui.ExpectReport(QStringLiteral("MOVIMIENTOS DE ALMACÉN"));
    ASSERT_TRUE(RunMenu("Repuestos > Informes Movim. > Repuesto"));
    EXPECT_EQ(Lines(3),
              (QStringList{"\tM1MEROD001\tM01\t1234\tPROV1\t10\\ 2026\t-2\t2,50\t5,00\tReten",
                           "\tM1MEROD001\tX01A\tOT/5\tPROV1\t11\\ 2026\t-1\t2,50\t2,50\tReten",
                           "\tM1MEROD000\tQ01\t\tPROV1\t10\\ 2026\t3\t1,00\t3,00\tRodamiento",
                           "\t" + QString(84, QLatin1Char('-')), "", "\t\tSEMANA DE ANALISIS:10/2026",
                           "\t\tENTRADAS AL ALMACEN..................... (Euros): \t3,00 €",
                           "\t\tSALIDAS DEL ALMACEN....................... (Euros): \t7,50 €",
                           "\t\tMOVIMIENTOS ALMACEN SEMANA 10/2026 (Euros): \t-4,50 €"}));

    // Exits are stored negative: three weeks with exits, 17,50 € out and 53,00 € in.
    t.ui.ExpectInput(QStringLiteral("REPARACIONES Y REFORMAS"), QStringLiteral("INTRODUZCA AÑO DE ANALISIS "),
                     QStringLiteral("2026"));
    t.ui.ExpectReport(QStringLiteral("MOVIMIENTOS"));
    YearMovementRatios(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Lines(1)[10], "\t10/2026\t4\t12,50\t53,00\t40,50");
    EXPECT_EQ(Lines(54)[0], "\tTotales:\t6\t17,50 €\t53,00 €\t35,50 €");
    ASSERT_TRUE(t.ui.Reports().back()->weekGraph);
    EXPECT_EQ(t.ui.Reports().back()->weekGraph->names[0], "5 Salidas Sem");
    EXPECT_EQ(t.ui.Reports().back()->weekGraph->maxValue, 5u);
}

TEST_F(StoreReportsTest, ASampleDrawsOnePercentageOfEveryHundredAndOne)
{
    std::vector<TSparePartRecord> parts;
    for (int i = 0; i < 250; ++i)
        parts.push_back(Stocked(QString::asprintf("%03d", i).toLatin1().constData(), "Pieza", 1, 100));
    StoreParts(parts);
    t.ui.ExpectInput(QStringLiteral("% MUESTREO ALMACEN TECNICO"), QStringLiteral("INTRODUZCA (1-99)"),
                     QStringLiteral("10"));
    t.ui.ExpectReport(QStringLiteral("REPUESTOS INVENTARIO"));
    ASSERT_TRUE(RunMenu("Repuestos > Inventario > Estadístico"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Lines(3).filter(QStringLiteral("\tM1MEROD")).size(), 21);
}

TEST_F(StoreReportsTest, TheRestartCarriesTheSortedFileWithoutDeletedPartsAndNeverReplacesOne)
{
    const std::vector<TSparePartRecord> before{Stocked("001", "Reten", 4, 250), Part("Z", "ME", "X", "0"),
                                               Stocked("000", "Rodamiento", 1, 10)};
    StoreParts(before);
    RestartStoreYear(t.ctx, QStringLiteral("NUEVO"));
    EXPECT_EQ(t.ReadFile(QStringLiteral("NUEVO.RPW")), Bytes(std::vector{before[2], before[0]}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.RBK")), Bytes(before));

    StoreRecords(t.ctx, QStringLiteral("OTRO.RPW"), std::vector{before[1]});
    t.ui.ExpectMessage(QStringLiteral("Ya existe el fichero OTRO.RPW"));
    EXPECT_THROW(RestartStoreYear(t.ctx, QStringLiteral("OTRO")), IoAbort);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("OTRO.RPW")), Bytes(std::vector{before[1]}));
}

// Two labels a row, an odd count filling the last one; a count beyond a byte's rows is printed whole. The
// supplier query's "#" default ends it quietly.
TEST_F(StoreReportsTest, LabelsComeTwoARowAndACancelledSupplierQueryListsNothing)
{
    const struct
    {
        const char* count;
        qsizetype lines;
    } cases[] = {{"3", 10}, {"1001", 2505}};
    SpareParts(t.ctx).SparePartBuffer = Stocked("001", "Reten", 4, 250);
    for (const auto& c : cases) {
        t.ui.ExpectInput(QStringLiteral("IMPRESIÓN DE ETIQUETAS"), QStringLiteral("NUMERO DE ETIQUETAS:"),
                         QString::fromLatin1(c.count));
        t.ui.ExpectReport(QStringLiteral("ETIQUETAS"));
        PrintSparePartLabels(t.ctx, SpareParts(t.ctx).SparePartBuffer);
        const QStringList lines = Lines(0);
        EXPECT_EQ(lines.size(), c.lines) << c.count;
        EXPECT_EQ(lines.mid(1, 3), (QStringList{"\tM1MEROD001\tM1MEROD001", "\tReten\tReten",
                                                "\tVALOR : 2,50 €\tVALOR : 2,50 €"}));
    }
    t.ui.ExpectInputCancel(QStringLiteral("Suministrador"), QStringLiteral("Codigo Proveedor:"));
    ASSERT_TRUE(RunMenu("Repuestos > Consultas > Proveedor"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ui.Reports().size(), 2u);
}

TEST_F(StoreReportsTest, TheEvolutionOfAYearWithoutDataDrawsItsChartAfterTheMessage)
{
    StoreParts({Stocked("001", "Reten", 4, 250)});
    t.ui.ExpectInput("MOVIMIENTOS DEL ALMACEN TECNICO", QStringLiteral("INTRODUZCA AÑO"), "2028");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTEN DATOS PARA EL AÑO SOLICITADO")).ExpectReport();
    ASSERT_TRUE(RunMenu("Repuestos > Inventario > Evolución"));
    EXPECT_EQ(t.ui.Reports().back()->weekGraph->maxValue, 1000u);
}

} // namespace
} // namespace gim
