#include "core/environment.h"
#include "corrective/breakdowns.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/hour_prices.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entries.h"
#include "masterdata/procedures.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/routines.h"
#include "preventive/annual_plan.h"
#include "preventive/energy_readings.h"
#include "preventive/predictive.h"
#include "preventive/revisions.h"
#include "store/purchase_orders.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "store/suppliers.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "workreports/budgets.h"
#include "workreports/work_report_file.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

template <typename Tr> void ReadWhole(Context& c)
{
    KeyedFile<Tr>(c).Read(Report::Silent);
}

// Every record file the program loads whole, through the loader its feature uses, with the size of its
// records and the offset of a text's length byte.
struct Kind
{
    const char* name;
    std::size_t size, text;
    void (*load)(Context&);
} const kKinds[] = {
    // clang-format off
    {"PORTAL.OPR", 152, 0, LoadOperationList}, {"PORTAL.PLN", 12, 0, ReadWhole<PlanFile>},
    {"PORTAL.PTO", 36, 0, [](Context& c) { LoadBudgets(c); }}, {"PORTAL.SEM", 184, 0, LoadPlannedRepairs},
    {"PORTAL.CAR", 56, 6, [](Context& c) { LoadRecords<TAgendaRecord>(c, QStringLiteral("PORTAL.CAR")); }},
    {"PORTAL.HRC", 168, 0, LoadRevisionList}, {"PORTAL.AVR", 220, 0, LoadBreakdownList},
    {"PORTAL.ENW", 32, 0, LoadEnergyReadings}, {"PORTAL.ALR", 84, 0, ReadWhole<AlarmLevelFile>},
    {"PORTAL.PRD", 84, 0, LoadPredictiveList}, {"PORTAL.PDA", 116, 0, LoadWorkReports},
    {"PORTAL.RPW", 200, 0, LoadSparePartList}, {"PORTAL.MOV", 52, 0, LoadMovementList},
    {"PORTAL.MOP", 52, 0, ReadWhole<OpMovementFile>}, {"PORTAL.OTR", 232, 4, ReadWhole<WorkOrderFile>},
    {"PORTAL.PRO", 232, 4, ReadWhole<RepairBudgetFile>}, {"PORTAL.COM", 284, 4, LoadPurchaseOrders},
    {"PORTAL.INT", 274, 0, LoadProcedureList}, {"PORTAL.PHR", 36, 0, ReadWhole<HourPriceFile>},
    {"PORTAL.APT", 152, 0, LoadPersonnelEntries}, {"LA FA_PO.RCH", 158, 0, LoadPersonnel},
    {"LA FA_PO.PVW", 274, 0, LoadSupplierList}, {"PORTAL.MQW", 161, 133, LoadMachineList},
    {"PORTAL.CDG", 56, 0, [](Context& c) { ReadReservedCodes(c, Report::Silent); }},
    // clang-format on
};

// A torn last record, then a text longer than its field: each reported by name, the first once however
// often the file is loaded; the machine file reports the second as a badly coded machine.
TEST(DamagedFiles, AreReportedOnceByNameAndTheirWholeRecordsUsed)
{
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const QString name = QString::fromLatin1(kind.name);
        const auto load = [&](const std::string& bytes, const QString& shown, int times) {
            test::TestContext t;
            t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
            t.ctx.st.FirmName = QStringLiteral("LA FABRICA");
            BuildDataFileNames(t.ctx);
            BuildFirmFileNames(t.ctx);
            t.WriteFile(name, bytes);
            t.ui.ExpectMessage(shown);
            while (times-- > 0)
                kind.load(t.ctx);
            const QString failures = t.ui.Verify();
            EXPECT_FALSE(failures.contains(QStringLiteral("DAÑADO")) ||
                         failures.contains(QStringLiteral("SOSPECHA")))
                << failures.toStdString();
        };
        const QString prefix = QStringLiteral("FICHERO DAÑADO ") + name + QLatin1Char('.');
        std::string rec(kind.size, '\0');
        if (kind.text == 133) // a sane machine has a code and an account, which here fills its field
            rec.replace(0, 2, "\1A").replace(133, 25, "\x18" + std::string(24, '1'));
        load(rec + rec.substr(0, kind.size / 2),
             prefix +
                 QStringLiteral(
                     " SU ÚLTIMO REGISTRO ESTÁ INCOMPLETO Y NO SE USA. REGISTROS COMPLETOS QUE SE USAN: 1."),
             2);
        rec[kind.text] = '\xFF';
        load(rec,
             kind.text == 133
                 ? QStringLiteral(
                       "SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\rA ")
                 : prefix + QStringLiteral(
                                " REGISTROS CON TEXTOS MÁS LARGOS QUE SU CAMPO, QUE SE LEEN RECORTADOS: 1. "
                                "REGISTROS COMPLETOS QUE SE USAN: 1."),
             1);
    }
}

} // namespace
} // namespace gim
