#include "records/hour_price_record.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/personnel_entry_record.h"
#include "records/personnel_record.h"
#include "records/procedure_record.h"
#include "records/record_bytes.h"
#include "records/reserved_code_record.h"
#include "records/selector_record.h"

#include <gtest/gtest.h>

#include <string>

namespace gim {
namespace {

using test::ExpectRecordBytes;
using test::RecordBytes;
using test::RecordFrom;

TEST(MasterDataRecords, Selector)
{
    const auto expected = RecordBytes(30)
                              .Text(0, "PORTAL")      // Code
                              .Text(11, "CLAVE\321A") // AccessCode "CLAVEÑA"
                              .Raw(28, {2})           // MinFreq "2S"
                              .Raw(29, {0x7E});       // Spare
    TSelectorRecord rec{};
    rec.Code = "PORTAL";
    rec.AccessCode = QStringLiteral("CLAVEÑA");
    rec.MinFreq = 2;
    rec.Spare = 0x7E;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TSelectorRecord>(expected);
    EXPECT_EQ(back.Code.bytes(), "PORTAL");
    EXPECT_EQ(back.AccessCode.str(), QStringLiteral("CLAVEÑA"));
    EXPECT_EQ(back.MinFreq, 2);
    EXPECT_EQ(back.Spare, 0x7E);
}

TEST(MasterDataRecords, Machine)
{
    const std::string name(48, 'N');
    const auto expected = RecordBytes(161)
                              .Text(0, "PRENSA01")    // Codigo, full
                              .Text(9, name)          // Denominacion, full: ends at 57
                              .Text(58, "HX-200")     // Modelo
                              .Text(83, "N\xBA 4471") // Fabricacion "Nº 4471"
                              .Text(108, "Nave 2")    // Ubicacion
                              .Text(133, "PRE")       // Cuenta
                              .Text(158, "SI");       // Disponible, ends at 160
    TMachineRecord rec{};
    rec.Codigo = "PRENSA01";
    rec.Denominacion.setBytes(name);
    rec.Modelo = "HX-200";
    rec.Fabricacion = QStringLiteral("Nº 4471");
    rec.Ubicacion = "Nave 2";
    rec.Cuenta = "PRE";
    rec.Disponible = "SI";
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TMachineRecord>(expected);
    EXPECT_EQ(back.Codigo.bytes(), "PRENSA01");
    EXPECT_EQ(back.Denominacion.bytes(), name);
    EXPECT_EQ(back.Modelo.bytes(), "HX-200");
    EXPECT_EQ(back.Fabricacion.str(), QStringLiteral("Nº 4471"));
    EXPECT_EQ(back.Ubicacion.bytes(), "Nave 2");
    EXPECT_EQ(back.Cuenta.bytes(), "PRE");
    EXPECT_EQ(back.Disponible.bytes(), "SI");
}

TEST(MasterDataRecords, Personnel)
{
    const auto expected = RecordBytes(158)
                              .Text(0, "000123")             // Matricula, full
                              .Text(7, "Mu\xF1oz Garc\355a") // Apellidos "Muñoz García"
                              .Text(36, "Jos\xE9")           // Nombre
                              .Text(53, "C/ Mayor 5")        // Calle
                              .Text(102, "Le\xF3n")          // Ciudad
                              .Text(119, "987654321")        // tlf
                              .Text(132, "01/02/03")         // Ingreso
                              .Text(145, "..");              // Baja
    TPersonnelRecord rec{};
    rec.Matricula = "000123";
    rec.Apellidos = QStringLiteral("Muñoz García");
    rec.Nombre = QStringLiteral("José");
    rec.Calle = "C/ Mayor 5";
    rec.Ciudad = QStringLiteral("León");
    rec.tlf = "987654321";
    rec.Ingreso = "01/02/03";
    rec.Baja = "..";
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TPersonnelRecord>(expected);
    EXPECT_EQ(back.Matricula.bytes(), "000123");
    EXPECT_EQ(back.Apellidos.str(), QStringLiteral("Muñoz García"));
    EXPECT_EQ(back.Nombre.str(), QStringLiteral("José"));
    EXPECT_EQ(back.Calle.bytes(), "C/ Mayor 5");
    EXPECT_EQ(back.Ciudad.str(), QStringLiteral("León"));
    EXPECT_EQ(back.tlf.bytes(), "987654321");
    EXPECT_EQ(back.Ingreso.bytes(), "01/02/03");
    EXPECT_EQ(back.Baja.bytes(), "..");
}

TEST(MasterDataRecords, HourPrice)
{
    const auto expected = RecordBytes(36)
                              .Text(0, "000123")      // Matricula
                              .Raw(7, {0x11})         // Spare
                              .Raw(8, {0xB8, 0x0B})   // HCONTRATO 3000
                              .Raw(10, {0x84, 0x03})  // HN 900
                              .Raw(12, {0x10, 0x0E})  // HEX 3600
                              .Raw(14, {0xA0, 0x0F})  // HEN 4000
                              .Raw(16, {0x88, 0x13})  // HEF 5000
                              .Raw(18, {0xFF, 0xFF})  // HEC 65535
                              .Raw(20, {0x01, 0x00})  // Price2 1
                              .Raw(22, {0x00, 0x01})  // Price3 256
                              .Text(24, "31/12/2024") // Fecha, full: ends at 34
                              .Raw(35, {1});          // Activo
    THourPriceRecord rec{};
    rec.Matricula = "000123";
    rec.Spare = 0x11;
    rec.HCONTRATO = 3000;
    rec.HN = 900;
    rec.HEX = 3600;
    rec.HEN = 4000;
    rec.HEF = 5000;
    rec.HEC = 65535;
    rec.Price2 = 1;
    rec.Price3 = 256;
    rec.Fecha = "31/12/2024";
    rec.Activo = 1;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<THourPriceRecord>(expected);
    EXPECT_EQ(back.Matricula.bytes(), "000123");
    EXPECT_EQ(back.HCONTRATO.get(), 3000);
    EXPECT_EQ(back.HN.get(), 900);
    EXPECT_EQ(back.HEX.get(), 3600);
    EXPECT_EQ(back.HEN.get(), 4000);
    EXPECT_EQ(back.HEF.get(), 5000);
    EXPECT_EQ(back.HEC.get(), 65535);
    EXPECT_EQ(back.Price2.get(), 1);
    EXPECT_EQ(back.Price3.get(), 256);
    EXPECT_EQ(back.Fecha.bytes(), "31/12/2024");
    EXPECT_EQ(back.Activo, 1);
}

TEST(MasterDataRecords, Operation)
{
    const std::string description = "Revisi\xF3n de juntas" + std::string(112, '.');
    ASSERT_EQ(description.size(), 130u);
    const auto expected = RecordBytes(152)
                              .Text(0, "PRENSA01")     // MachineCode
                              .Text(9, "M2")           // Frequency
                              .Text(12, "O")           // State
                              .Text(15, "MC")          // Speciality
                              .Text(18, description)   // Description, full: ends at 148
                              .Raw(149, {0x5A})        // Spare149
                              .Raw(150, {0x2C, 0x01}); // Minutes 300
    TOperationRecord rec{};
    rec.MachineCode = "PRENSA01";
    rec.Frequency = "M2";
    rec.State = "O";
    rec.Speciality = "MC";
    rec.Description = QStringLiteral("Revisión de juntas") + QString(112, QLatin1Char('.'));
    rec.Spare149 = 0x5A;
    rec.Minutes = 300;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TOperationRecord>(expected);
    EXPECT_EQ(back.MachineCode.bytes(), "PRENSA01");
    EXPECT_EQ(back.Frequency.bytes(), "M2");
    EXPECT_EQ(back.State.bytes(), "O");
    EXPECT_EQ(back.Speciality.bytes(), "MC");
    EXPECT_EQ(back.Description.bytes(), description);
    EXPECT_EQ(back.Spare149, 0x5A);
    EXPECT_EQ(back.Minutes.get(), 300);
}

TEST(MasterDataRecords, Procedure)
{
    const std::string text(250, 'w');
    const auto expected = RecordBytes(274)
                              .Text(0, "BOMBA_07")     // MachineCode
                              .Text(9, "EB")           // Espec
                              .Text(12, "03")          // Proced
                              .Text(15, "00")          // Inst: heading
                              .Text(18, "M")           // Estado
                              .Text(21, text)          // Descripcion, full: ends at 271
                              .Raw(272, {0xE8, 0x03}); // Tiempo 1000
    TProcedureRecord rec{};
    rec.MachineCode = "BOMBA_07";
    rec.Espec = "EB";
    rec.Proced = "03";
    rec.Inst = "00";
    rec.Estado = "M";
    rec.Descripcion.setBytes(text);
    rec.Tiempo = 1000;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TProcedureRecord>(expected);
    EXPECT_EQ(back.MachineCode.bytes(), "BOMBA_07");
    EXPECT_EQ(back.Espec.bytes(), "EB");
    EXPECT_EQ(back.Proced.bytes(), "03");
    EXPECT_EQ(back.Inst.bytes(), "00");
    EXPECT_EQ(back.Estado.bytes(), "M");
    EXPECT_EQ(back.Descripcion.bytes(), text);
    EXPECT_EQ(back.Tiempo.get(), 1000);
}

TEST(MasterDataRecords, ReservedCode)
{
    const std::string description = "Repar. Mec. con Materiales" + std::string(22, '_');
    const auto expected = RecordBytes(56)
                              .Text(0, "RMM")       // Code
                              .Text(6, description) // Description, full: ends at 54
                              .Raw(55, {1});        // Visible
    TReservedCodeRecord rec{};
    rec.Code = "RMM";
    rec.Description.setBytes(description);
    rec.Visible = 1;
    ExpectRecordBytes(rec, expected);

    auto back = RecordFrom<TReservedCodeRecord>(expected);
    EXPECT_EQ(back.Code.bytes(), "RMM");
    EXPECT_EQ(back.Description.bytes(), description);
    EXPECT_EQ(back.Visible, 1);

    // A five-character code fills the field up to the description.
    back.Code = "ABCDEFG";
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&back)[5], 'E');
    EXPECT_EQ(back.Description.bytes(), description);
}

TEST(MasterDataRecords, PersonnelEntry)
{
    const auto expected = RecordBytes(152)
                              .Text(0, "000042")                   // Matricula
                              .Text(7, "EF")                       // Type
                              .Text(10, "24/07/3")                 // Date, week code
                              .Text(19, "Guardia de Navidad \x80") // Text, with a euro sign
                              .Raw(148, {0x40, 0xE2, 0x01, 0x00}); // Minutes 123456
    TPersonnelEntryRecord rec{};
    rec.Matricula = "000042";
    rec.Type = "EF";
    rec.Date = "24/07/3";
    rec.Text = QStringLiteral("Guardia de Navidad €");
    rec.Minutes = 123456;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TPersonnelEntryRecord>(expected);
    EXPECT_EQ(back.Matricula.bytes(), "000042");
    EXPECT_EQ(back.Type.bytes(), "EF");
    EXPECT_EQ(back.Date.bytes(), "24/07/3");
    EXPECT_EQ(back.Text.str(), QStringLiteral("Guardia de Navidad €"));
    EXPECT_EQ(back.Minutes.get(), 123456u);
}

} // namespace
} // namespace gim
