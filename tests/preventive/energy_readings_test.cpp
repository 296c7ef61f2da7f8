#include "corrective/work_order_listings.h"
#include "energy_fixture.h"
#include "platform/handover.h"
#include "preventive/energy_readings.h"
#include "support/handover_rows.h"

namespace gim {
namespace {

using test::Reading;
using test::RecordBytes;

const QString kReadings = QStringLiteral("PORTAL.ENW");
const QString kTwin = QStringLiteral("PORTAL.ENK");
const QString kCard = QStringLiteral("LECTURAS DE CONSUMOS ");
const QString kEdit = QStringLiteral("EDICIÓN LECTURAS");

class EnergyReadingTest : public test::EnergyTest
{
protected:
    // "meter=reading" of every record of the file, in file order.
    QStringList Stored()
    {
        QStringList out;
        for (const TEnergyReadingRecord& r : LoadRecords<TEnergyReadingRecord>(t.ctx, kReadings, false))
            out << r.MeterCode.str() + QLatin1Char('=') + QString::number(r.Reading.get());
        return out;
    }
    void ExpectEditPrompts(const char* machine, const char* meter, const char* date)
    {
        t.ui.ExpectInput(kEdit, QStringLiteral("CODIGO MAQUINA  (XX-XXX)"), QString::fromLatin1(machine));
        t.ui.ExpectInput(kEdit, QStringLiteral("CODIGO DEL CONTADOR"), QString::fromLatin1(meter));
        t.ui.ExpectInput(QStringLiteral("EDICIÓN LECTURAS Contador"),
                         QStringLiteral("FECHA LECTURA  (dd/mm/aa)"), QString::fromLatin1(date));
    }
};

// Ctrl+F8: each card saved appends its reading; the card checks its numbers, the series refuses a machine
// not in the register, and the file is put in date order once a reading was appended to it.
TEST_F(EnergyReadingTest, AddingReadingsAppendsTheirRecordsAndSortsTheFile)
{
    Store({Reading("AGUA", "26/11/1", 1000, 2)});
    const std::string first = t.ReadFile(kReadings);
    t.ui.ExpectCard(kCard)
        .ExpectValue("dia", "26/50/1")
        .ExpectValue("ORDEN", "1")
        .Set("Codigo", "01-001")
        .Inspect([](const CardState& s) { EXPECT_EQ(s.caption, "Control Energético en Prensa"); })
        .Set("Contador", "LUZ")
        .Set("Valor", "-70000")
        .Set("dia", "26/10/1")
        .ExpectValue("Calendario", "02/03/2026")
        .Set("ORDEN", "256")
        .Press("salvar")
        .Set("ORDEN", "3")
        .Press("salvar");
    t.ui.ExpectMessage(QStringLiteral("VALOR NO VÁLIDO EN Nº UNIDADES: UN NÚMERO ENTERO DE 0 A 255"));
    t.ui.ExpectCard(kCard)
        .Set("Codigo", "09-999")
        .Press("salvar")
        .ExpectValue("Contador", "LUZ")
        .Press("salir");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu("Energías > Alta Lectura"));
    EXPECT_SCRIPT_DONE(t.ui);

    const RecordBytes bytes = RecordBytes(32)
                                  .Text(0, "01-001")
                                  .Text(9, "LUZ")
                                  .Text(18, "26/10/1")
                                  .Raw(26, {3, 0})                   // units, filler
                                  .Raw(28, {0x90, 0xEE, 0xFE, 0xFF}) // -70000
        ;
    const std::string added(bytes.Bytes().begin(), bytes.Bytes().end());
    EXPECT_EQ(t.ReadFile(kReadings), added + first);
    EXPECT_EQ(t.ReadFile(kTwin), first + added);
}

TEST_F(EnergyReadingTest, ANewReadingOpensOnTheDateTheLastListingChose)
{
    const QString caption = QStringLiteral("Listado Ordenes de Trabajo");
    t.ctx.st.ActionCode = QStringLiteral("L");
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUCIR Maqina/Sección de Busqueda ...: "), "*");
    t.ui.ExpectInput(caption, QStringLiteral("INTRODUCIR Tipo OT (Prog-Urgente-Crítica ...: "), "*");
    t.ui.ExpectDateRange(QDate(2026, 2, 10), QDate(2026, 3, 10));
    ListWorkOrders(t.ctx);
    t.ui.ExpectCard(kCard).ExpectValue("Calendario", "10/02/2026").Press("salir");
    ASSERT_TRUE(RunMenu("Energías > Alta Lectura"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// The rewrite (Utiles > Exportar > Energias) drops erased readings and orders by date, machine and meter:
// of equal keys a later one goes first while the key is the least, after the others otherwise. The listing
// shows the file as written; the twin keeps the file as it was.
TEST_F(EnergyReadingTest, TheRewriteOrdersTiesAsInsertedDropsErasedAndListsWithExportFlag)
{
    Store({Reading("A", "26/11/1", 5, 1), Reading("A", "26/10/1", 1, 1), Reading("A", "26/10/1", 2, 1),
           Reading("A", "26/12/1", 7, 1), Reading("A", "26/12/1", 8, 1), Reading("A", "26/10/1", 9, 1, "Z")});
    const std::string before = t.ReadFile(kReadings);
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Utiles > Exportar > Energias"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Stored(), (QStringList{"A=2", "A=1", "A=5", "A=7", "A=8"}));
    EXPECT_EQ(t.ReadFile(kTwin), before);
    const QStringList lines = t.ui.Reports().at(0)->Text().split(QLatin1Char('\n'));
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"\tCodigo\tConta\tFecha\tOrden\tLectura",
                                            "\t01-001\tA\t26/10/1\t1\t2", "\t01-001\tA\t26/10/1\t1\t1"}));
    EXPECT_EQ(lines.size(), 6);
}

// Shift+F8 loads the list from the last record, so two readings of one meter on one day stand in the list
// in the reverse of their file order: each card's reading goes back to its own record, and the rewrite after
// the edit writes every reading once. The date prompt's default cancels; a handed-over row asks nothing.
TEST_F(EnergyReadingTest, EditingWritesEachReadingBackWhereItStands)
{
    Store({Reading("AGUA", "26/10/1", 1000, 1), Reading("AGUA", "26/10/1", 1100, 1),
           Reading("AGUA", "26/09/1", 900, 1)});
    ExpectEditPrompts("01-001", "AGUA", "02/03/26");
    t.ui.ExpectCard(kCard).ExpectDisabled("Codigo").ExpectValue("Valor", "1100").Press("salvar");
    t.ui.ExpectCard(kCard).ExpectValue("Valor", "1000").Set("Valor", "1050").Press("salvar");
    ASSERT_TRUE(RunMenu("Energías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Stored(), (QStringList{"AGUA=900", "AGUA=1100", "AGUA=1050"}));

    const std::string sorted = t.ReadFile(kReadings);
    ExpectEditPrompts("01-001", "AGUA", "#");
    ASSERT_TRUE(RunMenu("Energías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kReadings), sorted);

    // Editar > Energías on a row of the export listing: its day is taken as a week code.
    t.ctx.Module<HandoverRegistry>().HandOver(t.ctx.st.PendingEditFlags, EditItem::Energias,
                                              test::Row({"", "01-001", "AGUA", "23/02/2026", "1", "900"}));
    EXPECT_EQ(Energy(t.ctx).HandedOverReading.Date.str(), "26/09/1");
    t.ui.ExpectCard(kCard).ExpectValue("Valor", "900").Press("Borrar");
    ASSERT_TRUE(RunMenu("Energías > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Stored(), (QStringList{"AGUA=1100", "AGUA=1050"}));
    EXPECT_TRUE(Energy(t.ctx).HandedOverReading.MachineCode.empty());
}

// A reading's neighbours found from its place in the list are those the search by halves finds: the last
// reading of its meter on its day (a later one of the same day included) and the first after it.
TEST(MeterReadingsTest, NeighboursOfAListedReadingAreThoseOfTheSearch)
{
    const auto list = [](std::vector<TEnergyReadingRecord> records) {
        std::vector<EnergyReadingEntry> l;
        for (const TEnergyReadingRecord& r : records)
            l.push_back({r, static_cast<std::uint32_t>(l.size())});
        return l;
    };
    const std::vector<std::vector<EnergyReadingEntry>> lists{
        list({Reading("LUZ", QStringLiteral("26/10/1"), 100, 1),
              Reading("AGUA", QStringLiteral("26/10/1"), 7, 1),
              Reading("LUZ", QStringLiteral("26/10/1"), 150, 1),
              Reading("LUZ", QStringLiteral("26/12/1"), 300, 1),
              Reading("LUZ", QStringLiteral("26/12/1"), 310, 1, "02-002"),
              Reading("AGUA", QStringLiteral("26/14/1"), 9, 1)}),
        // A meter whose readings are not in date order.
        list({Reading("LUZ", QStringLiteral("26/12/1"), 300, 1),
              Reading("LUZ", QStringLiteral("26/10/1"), 100, 1),
              Reading("LUZ", QStringLiteral("26/14/1"), 500, 1)}),
    };
    for (const std::vector<EnergyReadingEntry>& l : lists) {
        const MeterReadings meters(l);
        for (std::size_t i = 0; i < l.size(); ++i) {
            SCOPED_TRACE(i);
            const MeterReadings::Neighbours searched = meters.Around(l[i].rec, QStringLiteral("26/01/1"));
            const MeterReadings::Neighbours placed = meters.AroundEntry(i, QStringLiteral("26/01/1"));
            EXPECT_EQ(placed.previous.Reading.get(), searched.previous.Reading.get());
            EXPECT_EQ(placed.previous.MachineCode, searched.previous.MachineCode);
            EXPECT_EQ(placed.previous.Date, searched.previous.Date);
            ASSERT_EQ(placed.next.has_value(), searched.next.has_value());
            if (placed.next) {
                EXPECT_EQ(placed.next->Reading.get(), searched.next->Reading.get());
            }
        }
    }
    // Pinned: the first LUZ reading of 26/10/1 has the second as its previous and 26/12/1 as its next.
    const MeterReadings meters(lists[0]);
    const QString bound = QStringLiteral("26/01/1");
    EXPECT_EQ(meters.AroundEntry(0, bound).previous.Reading.get(), 150);
    EXPECT_EQ(meters.AroundEntry(0, bound).next->Reading.get(), 300);
    EXPECT_FALSE(meters.AroundEntry(3, bound).next);
}

} // namespace
} // namespace gim
