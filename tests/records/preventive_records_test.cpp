#include "records/energy_reading_record.h"
#include "records/plan_records.h"
#include "records/predictive_record.h"
#include "records/record_bytes.h"
#include "records/revision_record.h"
#include "records/week_graph_record.h"

#include <gtest/gtest.h>

#include <string>

namespace gim {
namespace {

using test::ExpectRecordBytes;
using test::RecordBytes;
using test::RecordFrom;

TEST(PreventiveRecords, PlanYears)
{
    const auto expected = RecordBytes(2)
                              .Raw(0, {24})  // FirstYear 2024
                              .Raw(1, {27}); // LastYear 2027
    TPlanYearsRecord rec{};
    rec.FirstYear = 24;
    rec.LastYear = 27;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TPlanYearsRecord>(expected);
    EXPECT_EQ(back.FirstYear, 24);
    EXPECT_EQ(back.LastYear, 27);
}

TEST(PreventiveRecords, Agenda)
{
    const std::string note = "Parada de verano, revisi\xF3n general" + std::string(14, '*');
    ASSERT_EQ(note.size(), 48u);
    const auto expected = RecordBytes(56)
                              .Raw(0, {0x60, 0x09}) // FreeMinutes 2400
                              .Raw(2, {0x88, 0xFF}) // PlannedMinutes -120
                              .Raw(4, {0xE0, 0x01}) // ReservedMinutes 480
                              .Text(6, note)        // Note, full: ends at 54
                              .Raw(55, {0x33});     // Spare55
    TAgendaRecord rec{};
    rec.FreeMinutes = 2400;
    rec.PlannedMinutes = -120;
    rec.ReservedMinutes = 480;
    rec.Note.setBytes(note);
    rec.Spare55 = 0x33;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TAgendaRecord>(expected);
    EXPECT_EQ(back.FreeMinutes.get(), 2400);
    EXPECT_EQ(back.PlannedMinutes.get(), -120);
    EXPECT_EQ(back.ReservedMinutes.get(), 480);
    EXPECT_EQ(back.Note.bytes(), note);
    EXPECT_EQ(back.Spare55, 0x33);
}

TEST(PreventiveRecords, Plan)
{
    const auto expected = RecordBytes(12)
                              .Text(0, "PRENSA01")    // Code
                              .Raw(9, {0xCC})         // Spare9
                              .Raw(10, {0x03, 0x01}); // StartWeek 259
    TPlanRecord rec{};
    rec.Code = "PRENSA01";
    rec.Spare9 = 0xCC;
    rec.StartWeek = 259;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TPlanRecord>(expected);
    EXPECT_EQ(back.Code.bytes(), "PRENSA01");
    EXPECT_EQ(back.Spare9, 0xCC);
    EXPECT_EQ(back.StartWeek.get(), 259);
}

TEST(PreventiveRecords, Predictive)
{
    const std::string executor = "T\351cnico de turno"; // 16 characters, full
    ASSERT_EQ(executor.size(), 16u);
    const auto expected = RecordBytes(84)
                              .Text(0, "COMPRE03")               // Codigo
                              .Text(9, "PB")                     // FREC: band alarm
                              .Text(12, "V")                     // Espec
                              .Text(15, "A1")                    // Pos
                              .Text(18, executor)                // Ejecu, full: ends at 34
                              .Raw(35, {0x01})                   // Spare35
                              .Raw(36, {0x2A, 0x01, 0x00, 0x00}) // Semana 298
                              .Raw(40, {0x70, 0x11, 0x01, 0x00}) // Medida1 70000
                              .Raw(44, {0xF6, 0xFF, 0xFF, 0xFF}) // Medida2 -10
                              .Text(48, "Lado acoplamiento")     // Descrip
                              .Raw(83, {0x02});                  // Spare83
    TPredictiveRecord rec{};
    rec.Codigo = "COMPRE03";
    rec.FREC = "PB";
    rec.Espec = "V";
    rec.Pos = "A1";
    rec.Ejecu = QStringLiteral("Técnico de turno");
    rec.Spare35 = 0x01;
    rec.Semana = 298;
    rec.Medida1 = 70000;
    rec.Medida2 = -10;
    rec.Descrip = "Lado acoplamiento";
    rec.Spare83 = 0x02;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TPredictiveRecord>(expected);
    EXPECT_EQ(back.Codigo.bytes(), "COMPRE03");
    EXPECT_EQ(back.FREC.bytes(), "PB");
    EXPECT_EQ(back.Espec.bytes(), "V");
    EXPECT_EQ(back.Pos.bytes(), "A1");
    EXPECT_EQ(back.Ejecu.str(), QStringLiteral("Técnico de turno"));
    EXPECT_EQ(back.Semana.get(), 298);
    EXPECT_EQ(back.Medida1.get(), 70000);
    EXPECT_EQ(back.Medida2.get(), -10);
    EXPECT_EQ(back.Descrip.bytes(), "Lado acoplamiento");
    EXPECT_EQ(back.Spare35, 0x01);
    EXPECT_EQ(back.Spare83, 0x02);
}

TEST(PreventiveRecords, EnergyReading)
{
    const auto expected = RecordBytes(32)
                              .Text(0, "CALDERA1")                // MachineCode
                              .Text(9, "GAS-N")                   // MeterCode
                              .Text(18, "24/52/7")                // Date, full: ends at 25
                              .Raw(26, {3})                       // Units
                              .Raw(27, {0xEE})                    // Spare27
                              .Raw(28, {0x15, 0xCD, 0x5B, 0x07}); // Reading 123456789
    TEnergyReadingRecord rec{};
    rec.MachineCode = "CALDERA1";
    rec.MeterCode = "GAS-N";
    rec.Date = "24/52/7";
    rec.Units = 3;
    rec.Spare27 = 0xEE;
    rec.Reading = 123456789;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TEnergyReadingRecord>(expected);
    EXPECT_EQ(back.MachineCode.bytes(), "CALDERA1");
    EXPECT_EQ(back.MeterCode.bytes(), "GAS-N");
    EXPECT_EQ(back.Date.bytes(), "24/52/7");
    EXPECT_EQ(back.Units, 3);
    EXPECT_EQ(back.Spare27, 0xEE);
    EXPECT_EQ(back.Reading.get(), 123456789);
}

TEST(PreventiveRecords, Revision)
{
    const std::string executor = "000123 Jos\xE9 Gil";
    const auto expected = RecordBytes(168)
                              .Text(0, "PRENSA01")                         // MachineCode
                              .Text(9, "M3")                               // Frequency
                              .Text(12, "ER")                              // State
                              .Text(15, executor)                          // Executor
                              .Raw(32, {0x9C, 0x00})                       // Week 156
                              .Raw(34, {0x5A, 0x00})                       // Time 90
                              .Text(36, "Cambiar filtro en la pr\xF3xima") // Comment
                              .Raw(167, {0x44});                           // Spare167
    TRevisionRecord rec{};
    rec.MachineCode = "PRENSA01";
    rec.Frequency = "M3";
    rec.State = "ER";
    rec.Executor = QStringLiteral("000123 José Gil");
    rec.Week = 156;
    rec.Time = 90;
    rec.Comment = QStringLiteral("Cambiar filtro en la próxima");
    rec.Spare167 = 0x44;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TRevisionRecord>(expected);
    EXPECT_EQ(back.MachineCode.bytes(), "PRENSA01");
    EXPECT_EQ(back.Frequency.bytes(), "M3");
    EXPECT_EQ(back.State.bytes(), "ER");
    EXPECT_EQ(back.Executor.bytes(), executor);
    EXPECT_EQ(back.Week.get(), 156);
    EXPECT_EQ(back.Time.get(), 90);
    EXPECT_EQ(back.Comment.str(), QStringLiteral("Cambiar filtro en la próxima"));
    EXPECT_EQ(back.Spare167, 0x44);
}

TEST(PreventiveRecords, WeekGraph)
{
    const auto expected = RecordBytes(56)
                              .Raw(0, {1, 0, 0, 0, 0, 0, 0, 0})                           // Value1 1
                              .Raw(8, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})   // Value2 -1
                              .Raw(16, {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00})  // Value3 2^32
                              .Raw(24, {0x10, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})  // Value4 3600
                              .Raw(32, {0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})  // Value5 5
                              .Raw(40, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80})  // Value6 min
                              .Raw(48, {0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}); // Value7 7
    TWeekGraphRecord rec{};
    rec.Value1 = 1;
    rec.Value(2) = -1;
    rec.Value3 = std::int64_t{1} << 32;
    rec.Value(4) = 3600;
    rec.Value5 = 5;
    rec.Value6 = INT64_MIN;
    rec.Value(7) = 7;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TWeekGraphRecord>(expected);
    EXPECT_EQ(back.Value(1).get(), 1);
    EXPECT_EQ(back.Value2.get(), -1);
    EXPECT_EQ(back.Value(3).get(), std::int64_t{1} << 32);
    EXPECT_EQ(back.Value4.get(), 3600);
    EXPECT_EQ(back.Value(5).get(), 5);
    EXPECT_EQ(back.Value(6).get(), INT64_MIN);
    EXPECT_EQ(back.Value7.get(), 7);

    // Callers hand the graph whole arrays; the elements lie back to back.
    static_assert(sizeof(TWeekGraphRecord[53]) == 53 * 56);
}

} // namespace
} // namespace gim
