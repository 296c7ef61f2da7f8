#include "records/breakdown_record.h"
#include "records/planned_repair_record.h"
#include "records/record_bytes.h"
#include "records/work_order_record.h"

#include <gtest/gtest.h>

#include <string>

namespace gim {
namespace {

using test::ExpectRecordBytes;
using test::RecordBytes;
using test::RecordFrom;

TEST(CorrectiveRecords, WorkOrder)
{
    const std::string description(130, 'd');
    const auto expected = RecordBytes(232)
                              .Raw(0, {0x39, 0x30, 0x00, 0x00}) // Number 12345
                              .Text(4, "W0001234")              // Refex, full: ends at 12
                              .Text(13, description)            // Description, full: ends at 143
                              .Text(144, "000123 Jos\xE9 Gil")  // Requester
                              .Text(169, "24/07/3")             // NoticeDate
                              .Text(178, "  /  / ")             // StartDate, the empty mask
                              .Text(187, "")                    // CloseDate
                              .Text(196, "PRENSA01")            // Machine
                              .Text(205, "7:05")                // NoticeHour
                              .Text(211, "10:30")               // StartHour, full
                              .Text(217, "24:00")               // CloseHour
                              .Text(223, "T")                   // State
                              .Text(226, "U")                   // Type
                              .Text(229, "SI");                 // PhotoFlag, ends at 231
    TWorkOrderRecord rec{};
    rec.Number = 12345;
    rec.Refex = "W0001234";
    rec.Description.setBytes(description);
    rec.Requester = QStringLiteral("000123 José Gil");
    rec.NoticeDate = "24/07/3";
    rec.StartDate = "  /  / ";
    rec.CloseDate = "";
    rec.Machine = "PRENSA01";
    rec.NoticeHour = "7:05";
    rec.StartHour = "10:30";
    rec.CloseHour = "24:00";
    rec.State = "T";
    rec.Type = "U";
    rec.PhotoFlag = "SI";
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TWorkOrderRecord>(expected);
    EXPECT_EQ(back.Number.get(), 12345);
    EXPECT_EQ(back.Refex.bytes(), "W0001234");
    EXPECT_EQ(back.Description.bytes(), description);
    EXPECT_EQ(back.Requester.str(), QStringLiteral("000123 José Gil"));
    EXPECT_EQ(back.NoticeDate.bytes(), "24/07/3");
    EXPECT_EQ(back.StartDate.bytes(), "  /  / ");
    EXPECT_TRUE(back.CloseDate.empty());
    EXPECT_EQ(back.Machine.bytes(), "PRENSA01");
    EXPECT_EQ(back.NoticeHour.bytes(), "7:05");
    EXPECT_EQ(back.StartHour.bytes(), "10:30");
    EXPECT_EQ(back.CloseHour.bytes(), "24:00");
    EXPECT_EQ(back.State.bytes(), "T");
    EXPECT_EQ(back.Type.bytes(), "U");
    EXPECT_EQ(back.PhotoFlag.bytes(), "SI");
}

TEST(CorrectiveRecords, Breakdown)
{
    const std::string officer = "000042 Mart\xEDn-"; // 14 characters, full
    ASSERT_EQ(officer.size(), 14u);
    const auto expected = RecordBytes(220)
                              .Text(0, "CINTA_02")          // Code
                              .Raw(9, {0x9A})               // Reserved9
                              .Raw(10, {0x01, 0x01})        // Week 257
                              .Text(12, "5")                // Day
                              .Text(15, "N")                // Shift
                              .Text(18, "LT")               // Type
                              .Text(21, "Rotura de correa") // Description
                              .Raw(152, {0x2D, 0x00})       // Intervention 45
                              .Raw(154, {0x02, 0x00})       // Operators 2
                              .Raw(156, {0x78, 0x00})       // Stop 120
                              .Raw(158, {0x0F, 0x00})       // Delay 15
                              .Text(160, "03/02/24-6:15")   // NoticeTime
                              .Text(175, officer)           // Officer, full: ends at 189
                              .Text(190, "03/02/24-6:30")   // RepairStart
                              .Text(205, "-");              // ProductionOperator
    TBreakdownRecord rec{};
    rec.Code = "CINTA_02";
    rec.Reserved9 = 0x9A;
    rec.Week = 257;
    rec.Day = "5";
    rec.Shift = "N";
    rec.Type = "LT";
    rec.Description = "Rotura de correa";
    rec.Intervention = 45;
    rec.Operators = 2;
    rec.Stop = 120;
    rec.Delay = 15;
    rec.NoticeTime = "03/02/24-6:15";
    rec.Officer = QStringLiteral("000042 Martín-");
    rec.RepairStart = "03/02/24-6:30";
    rec.ProductionOperator = "-";
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TBreakdownRecord>(expected);
    EXPECT_EQ(back.Code.bytes(), "CINTA_02");
    EXPECT_EQ(back.Reserved9, 0x9A);
    EXPECT_EQ(back.Week.get(), 257);
    EXPECT_EQ(back.Day.bytes(), "5");
    EXPECT_EQ(back.Shift.bytes(), "N");
    EXPECT_EQ(back.Type.bytes(), "LT");
    EXPECT_EQ(back.Description.bytes(), "Rotura de correa");
    EXPECT_EQ(back.Intervention.get(), 45);
    EXPECT_EQ(back.Operators.get(), 2);
    EXPECT_EQ(back.Stop.get(), 120);
    EXPECT_EQ(back.Delay.get(), 15);
    EXPECT_EQ(back.NoticeTime.bytes(), "03/02/24-6:15");
    EXPECT_EQ(back.Officer.str(), QStringLiteral("000042 Martín-"));
    EXPECT_EQ(back.RepairStart.bytes(), "03/02/24-6:30");
    EXPECT_EQ(back.ProductionOperator.bytes(), "-");
}

TEST(CorrectiveRecords, PlannedRepair)
{
    const std::string executor(24, 'e');
    const auto expected = RecordBytes(184)
                              .Text(0, "PRENSA01")              // Code
                              .Text(9, "12345678")              // Order, full: ends at 17
                              .Raw(18, {0x9C, 0x00})            // Week 156
                              .Text(20, "MM")                   // Specialty
                              .Text(23, "Sustituir v\xE1lvula") // Description
                              .Raw(154, {0xF0, 0x00})           // Minutes 240
                              .Text(156, "J")                   // State
                              .Text(159, executor);             // Executor, full: ends at 183
    TPlannedRepairRecord rec{};
    rec.Code = "PRENSA01";
    rec.Order = "12345678";
    rec.Week = 156;
    rec.Specialty = "MM";
    rec.Description = QStringLiteral("Sustituir válvula");
    rec.Minutes = 240;
    rec.State = "J";
    rec.Executor.setBytes(executor);
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TPlannedRepairRecord>(expected);
    EXPECT_EQ(back.Code.bytes(), "PRENSA01");
    EXPECT_EQ(back.Order.bytes(), "12345678");
    EXPECT_EQ(back.Week.get(), 156);
    EXPECT_EQ(back.Specialty.bytes(), "MM");
    EXPECT_EQ(back.Description.str(), QStringLiteral("Sustituir válvula"));
    EXPECT_EQ(back.Minutes.get(), 240);
    EXPECT_EQ(back.State.bytes(), "J");
    EXPECT_EQ(back.Executor.bytes(), executor);
}

} // namespace
} // namespace gim
