#include "exchange/import_gateway.h"
#include "exchange/import_tables_corrective.h"
#include "exchange/import_tables_store.h"
#include "masterdata/masterdata_fixture.h"
#include "records/breakdown_record.h"
#include "records/energy_reading_record.h"
#include "records/personnel_record.h"
#include "records/planned_repair_record.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "records/work_order_record.h"
#include "records/work_report_record.h"
#include "store/purchase_orders.h"
#include "workreports/work_report_file.h"

#include <cstring>

namespace gim {
namespace {

// Plan 2024 to 2027 (week 50 of 2028 lies in its 5th year); imports run without cards.
class ImportTablesTest : public test::MasterdataTest
{
protected:
    ImportTablesTest()
    {
        RegisterFeatures(t.ctx);
        State& st = t.ctx.st;
        BuildFirmFileNames(t.ctx);
        st.FirstYear = 24;
        st.LastYear = 28;
        st.PlanWeeks = 5 * 52;
        StoreMachines({Machine("PRENSA")});
        TPersonnelRecord person{};
        person.Matricula = "0042";
        person.Apellidos = "GARCIA";
        StoreRecords(t.ctx, st.PersonnelFileName, std::vector{person});
        TSparePartRecord part{};
        part.Codigo = "PRENSA";
        part.Equipo = "01";
        part.Util = "002";
        part.Pieza = "003";
        part.Exist = 10;
        part.Valor = 500;
        StoreRecords(t.ctx, st.FileName(DataFile::SparePart), std::vector{part});
        ImportGateway(t.ctx).Manual = false;
    }
    // The gateway window's lines after the pasted ones.
    QStringList Import(const ImportJob& job, const QString& text)
    {
        RunGatewayImport(t.ctx, job, text);
        QStringList lines = t.ui.Reports().back()->Transcript().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return lines.mid(lines.size() - text.count(QLatin1Char('\n')) - 2);
    }
    template <typename T> T Last(DataFile f)
    {
        const auto all = LoadRecords<T>(t.ctx, t.ctx.st.FileName(f), false);
        return all.empty() ? T{} : all.back();
    }
    template <typename T> static std::string Raw(const T& r)
    {
        return std::string(reinterpret_cast<const char*>(&r), sizeof r);
    }
};

TEST_F(ImportTablesTest, EachTableStoresItsGoldenLineByteForByte)
{
    TBreakdownRecord breakdown{};
    breakdown.Code = "PRENSA";
    breakdown.Week = 3 * 52 + 49; // 9/12/2027: week 49, Thursday
    breakdown.Day = "4";
    breakdown.Shift = "M";
    breakdown.Type = "E";
    breakdown.Description = "Motor";
    breakdown.Intervention = 60;
    breakdown.Operators = 2;
    breakdown.Stop = 30;
    breakdown.Delay = 5;
    breakdown.NoticeTime = "09/12-10:00";
    breakdown.Officer = "JEFE";
    breakdown.RepairStart = "09/12-11:00";
    breakdown.ProductionOperator = "PEDRO";

    TPlannedRepairRecord repair{};
    repair.Code = "PRENSA";
    repair.Minutes = 90;
    repair.State = "P";
    repair.Specialty = "M";
    repair.Order = "12";
    repair.Week = 2 * 52 + 10;
    repair.Executor = "JUAN";
    repair.Description = "Cambio";

    TEnergyReadingRecord reading{};
    reading.MachineCode = "PRENSA";
    reading.MeterCode = "KW1";
    reading.Date = "26/50/1";
    reading.Units = 2;
    reading.Reading = 1234;

    TPurchaseOrderRecord order{};
    order.Nped = 7;
    order.Refer = "REF";
    order.Codigo = "PRENSA";
    order.Equipo = "01";
    order.Util = "002";
    order.Pieza = "003";
    order.Descrip = "Rodamiento";
    order.Marca = "SKF";
    order.Sumtro = "PROV1";
    order.fechALTA = "26/50/1";
    order.fechaENT = "26/51/1";
    order.Fechcierr = "28/00/1"; // a pending line closes at the plan's last year
    order.LUGAR = "NAVE";
    order.Estado = "P";
    order.Cantidad = 4;
    order.Entradas = 0;
    order.Valor = 1250;
    order.Albaran = "#";

    const struct
    {
        ImportJob job;
        DataFile file;
        const char* line;
        std::string expected;
    } cases[] = {
        {BreakdownImportFormat(), DataFile::Breakdown,
         "x\tPRENSA\t09/12/2027\tM\tE\tMotor\t60\t2\t30\t5\t09/12-10:00\tJEFE\t09/12-11:00\tPEDRO",
         Raw(breakdown)},
        // Year before week on another line would give the same week: it is joined after the line.
        {PlannedRepairImportFormat(), DataFile::PlannedRepair,
         "x\tPRENSA\t90\tP\tM\t12\t10\t2026\tJUAN\tCambio", Raw(repair)},
        {EnergyImportFormat(), DataFile::EnergyReading, "x\tPRENSA\tKW1\t07/12/2026\t1234\t2", Raw(reading)},
        {PurchaseOrderImportFormat(), DataFile::PurchaseOrder,
         "x\t7\tREF\tPRENSA\t01\t002\t003\tRodamiento\tSKF\tPROV1\t07/12/2026\t14/12/2026\t01/01/"
         "2027\tNAVE\tP\t4\t0\t"
         "1250\t#",
         Raw(order)},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromUtf8(c.line);
        EXPECT_EQ(Import(c.job, line), (QStringList{QStringLiteral(" "), QStringLiteral(" * ") + line}))
            << c.line;
        std::string stored;
        switch (c.file) {
        case DataFile::Breakdown:
            stored = Raw(Last<TBreakdownRecord>(c.file));
            break;
        case DataFile::PlannedRepair:
            stored = Raw(Last<TPlannedRepairRecord>(c.file));
            break;
        case DataFile::EnergyReading:
            stored = Raw(Last<TEnergyReadingRecord>(c.file));
            break;
        default:
            stored = Raw(Last<TPurchaseOrderRecord>(c.file));
            break;
        }
        EXPECT_EQ(QByteArray::fromStdString(stored).toHex(), QByteArray::fromStdString(c.expected).toHex())
            << c.line;
    }
}

TEST_F(ImportTablesTest, ReferencesWeeksAndStoreLinesAsTheirTablesWantThem)
{
    // An 8-character reference keeps its first 7 characters after the "W".
    Import(WorkOrderImportFormat(), QStringLiteral("x\tABCDEFGH\tP\t\t\t\t\t\t\tJEFE\tPRENSA\tFuga"));
    const auto order = Last<TWorkOrderRecord>(DataFile::WorkOrder);
    EXPECT_EQ(order.Refex.str(), QStringLiteral("WABCDEFG"));
    EXPECT_EQ(order.NoticeDate.str(), QString());

    // Week 50 of 2028, the plan's 5th year: 4 * 52 + 50 = 258, kept as 2; an exit of 3 units.
    EXPECT_EQ(Import(MovementImportFormat(),
                     QStringLiteral("x\tPRENSA\t01\t002\t003\tPRENSA\t12/12/2028\t0042\t3\t500"))
                  .last()
                  .left(3),
              QStringLiteral(" * "));
    const auto movement = Last<TStoreMovementRecord>(DataFile::Movement);
    EXPECT_EQ(movement.AbsoluteWeek, 2);
    EXPECT_EQ(movement.Quantity.get(), -3);

    // Store exits and delivery notes are refused, each with the message.
    for (const char* type : {"AL", "ALB"}) {
        const QString line = QStringLiteral("x\t0042\tPRENSA\t07/12/2026\tC\t") + QLatin1String(type) +
                             QStringLiteral("\t10\t1");
        // Echoed in italic, not added.
        Import(WorkReportImportFormat(), line);
        EXPECT_TRUE(t.ui.Reports().back()->Transcript().contains(QStringLiteral("i}   ") + line));
    }
    EXPECT_EQ(
        t.ui.Transcript().filter(QStringLiteral("SALIDA ALMACEN Y ALBARANES NO SON IMPORTABLES")).size(), 2);
    EXPECT_EQ(t.ReadFile(t.ctx.st.FileName(DataFile::WorkReport)), std::string());
}

} // namespace
} // namespace gim
