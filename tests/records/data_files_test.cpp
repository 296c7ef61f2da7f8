#include "records/breakdown_record.h"
#include "records/budget_record.h"
#include "records/data_files.h"
#include "records/energy_reading_record.h"
#include "records/hour_price_record.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/personnel_entry_record.h"
#include "records/plan_records.h"
#include "records/planned_repair_record.h"
#include "records/predictive_record.h"
#include "records/procedure_record.h"
#include "records/purchase_order_record.h"
#include "records/revision_record.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "records/work_order_record.h"
#include "records/work_report_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

namespace gim {
namespace {

const std::map<std::string, std::size_t>& RecordSizes()
{
    static const std::map<std::string, std::size_t> sizes = {
        {"TOperationRecord", sizeof(TOperationRecord)},
        {"TMachineRecord", sizeof(TMachineRecord)},
        {"TPlanRecord", sizeof(TPlanRecord)},
        {"TBudgetRecord", sizeof(TBudgetRecord)},
        {"TAgendaRecord", sizeof(TAgendaRecord)},
        {"TPlannedRepairRecord", sizeof(TPlannedRepairRecord)},
        {"TRevisionRecord", sizeof(TRevisionRecord)},
        {"TBreakdownRecord", sizeof(TBreakdownRecord)},
        {"TEnergyReadingRecord", sizeof(TEnergyReadingRecord)},
        {"TPredictiveRecord", sizeof(TPredictiveRecord)},
        {"TWorkReportRecord", sizeof(TWorkReportRecord)},
        {"TSparePartRecord", sizeof(TSparePartRecord)},
        {"TStoreMovementRecord", sizeof(TStoreMovementRecord)},
        {"TWorkOrderRecord", sizeof(TWorkOrderRecord)},
        {"TPurchaseOrderRecord", sizeof(TPurchaseOrderRecord)},
        {"TProcedureRecord", sizeof(TProcedureRecord)},
        {"THourPriceRecord", sizeof(THourPriceRecord)},
        {"TPersonnelEntryRecord", sizeof(TPersonnelEntryRecord)},
    };
    return sizes;
}

TEST(DataFiles, RecordSizeIsTheSizeOfTheRecordType)
{
    for (const DataFileSpec& spec : kDataFiles) {
        const auto it = RecordSizes().find(spec.recordType);
        ASSERT_NE(it, RecordSizes().end()) << spec.recordType << " of " << spec.extension;
        EXPECT_EQ(spec.recordSize, it->second) << spec.extension;
    }
}

TEST(DataFiles, TableIsIndexedByFileAndNamesAreDistinct)
{
    std::set<std::string> names;
    for (std::size_t i = 0; i < kDataFiles.size(); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(kDataFiles[i].file), i);
        EXPECT_EQ(&SpecOf(kDataFiles[i].file), &kDataFiles[i]);
        EXPECT_TRUE(names.insert(kDataFiles[i].extension).second) << kDataFiles[i].extension;
        if (kDataFiles[i].twinExtension) {
            EXPECT_TRUE(names.insert(kDataFiles[i].twinExtension).second) << kDataFiles[i].twinExtension;
        }
    }
    EXPECT_STREQ(SpecOf(DataFile::Movement).extension, ".MOV");
    EXPECT_EQ(SpecOf(DataFile::Agenda).twinExtension, nullptr);
    EXPECT_STREQ(SpecOf(DataFile::PurchaseOrder).twinExtension, ".COK");
}

TEST(DataFiles, NameIsEnvironmentAndExtensionCutToFourteen)
{
    EXPECT_EQ(BuildDataFileName(QStringLiteral("PORTAL"), ".MQW"), QStringLiteral("PORTAL.MQW"));
    EXPECT_EQ(BuildDataFileName(QStringLiteral("ABCDEFGHIJ"), ".OPR"), QStringLiteral("ABCDEFGHIJ.OPR"));
    EXPECT_EQ(BuildDataFileName(QStringLiteral("ABCDEFGHIJKL"), ".OPR"), QStringLiteral("ABCDEFGHIJKL.O"));
}

} // namespace
} // namespace gim
