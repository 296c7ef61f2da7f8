#include "records/budget_record.h"
#include "records/record_bytes.h"
#include "records/work_report_record.h"

#include <gtest/gtest.h>

#include <string>

namespace gim {
namespace {

using test::ExpectRecordBytes;
using test::RecordBytes;
using test::RecordFrom;

TEST(WorkReportRecords, WorkReport)
{
    const std::string description = "Cambio rodamiento lado acoplamiento y alineaci\xF3n";
    ASSERT_EQ(description.size(), 48u);
    const auto expected = RecordBytes(116)
                              .Text(0, "000123")                   // Matricula, full: ends at 6
                              .Text(7, "ALMACEN_")                 // Codigo
                              .Text(16, "OT/1234")                 // Orden
                              .Text(25, "PRENSA01MEROD007")        // SparePart, full: ends at 41
                              .Text(42, "AL")                      // Tipo
                              .Text(46, "EC")                      // TIPOH
                              .Text(50, "24/07/3")                 // dia, full: ends at 57
                              .Text(58, description)               // Descripcion, full: ends at 106
                              .Raw(107, {0x77})                    // Spare107
                              .Raw(108, {0x03, 0x00, 0x00, 0x00})  // Tparo 3 units
                              .Raw(112, {0x4E, 0x61, 0xBC, 0x00}); // Tinter 12345678 cents
    TWorkReportRecord rec{};
    rec.Matricula = "000123";
    rec.Codigo = "ALMACEN_";
    rec.Orden = "OT/1234";
    rec.SparePart = "PRENSA01MEROD007";
    rec.Tipo = "AL";
    rec.TIPOH = "EC";
    rec.dia = "24/07/3";
    rec.Descripcion = QStringLiteral("Cambio rodamiento lado acoplamiento y alineación y más");
    rec.Spare107 = 0x77;
    rec.Tparo = 3;
    rec.Tinter = 12345678;
    // The description is cut to its 48 characters.
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TWorkReportRecord>(expected);
    EXPECT_EQ(back.Matricula.bytes(), "000123");
    EXPECT_EQ(back.Codigo.bytes(), "ALMACEN_");
    EXPECT_EQ(back.Orden.bytes(), "OT/1234");
    EXPECT_EQ(back.SparePart.bytes(), "PRENSA01MEROD007");
    EXPECT_EQ(back.Tipo.bytes(), "AL");
    EXPECT_EQ(back.TIPOH.bytes(), "EC");
    EXPECT_EQ(back.dia.bytes(), "24/07/3");
    EXPECT_EQ(back.Descripcion.bytes(), description);
    EXPECT_EQ(back.Spare107, 0x77);
    EXPECT_EQ(back.Tparo.get(), 3);
    EXPECT_EQ(back.Tinter.get(), 12345678);
}

TEST(WorkReportRecords, Budget)
{
    const auto expected = RecordBytes(36)
                              .Text(0, "PRENSA01")                // MachineCode
                              .Raw(9, {0x01, 0x02, 0x03})         // Spare9
                              .Raw(12, {0x60, 0x09, 0x00, 0x00})  // CN 2400
                              .Raw(16, {0x20, 0x4E, 0x00, 0x00})  // PV 20000
                              .Raw(20, {0xB0, 0x04, 0x00, 0x00})  // AV 1200
                              .Raw(24, {0x00, 0x00, 0x00, 0x80})  // RP INT32_MIN
                              .Raw(28, {0xFF, 0xFF, 0xFF, 0x7F})  // AL INT32_MAX
                              .Raw(32, {0x9C, 0xFF, 0xFF, 0xFF}); // EX -100
    TBudgetRecord rec{};
    rec.MachineCode = "PRENSA01";
    rec.Spare9[0] = 0x01;
    rec.Spare9[1] = 0x02;
    rec.Spare9[2] = 0x03;
    rec.CN = 2400;
    rec.PV = 20000;
    rec.AV = 1200;
    rec.RP = INT32_MIN;
    rec.AL = INT32_MAX;
    rec.EX = -100;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TBudgetRecord>(expected);
    EXPECT_EQ(back.MachineCode.bytes(), "PRENSA01");
    EXPECT_EQ(back.Spare9[2], 0x03);
    EXPECT_EQ(back.CN.get(), 2400);
    EXPECT_EQ(back.PV.get(), 20000);
    EXPECT_EQ(back.AV.get(), 1200);
    EXPECT_EQ(back.RP.get(), INT32_MIN);
    EXPECT_EQ(back.AL.get(), INT32_MAX);
    EXPECT_EQ(back.EX.get(), -100);
}

} // namespace
} // namespace gim
