#include "records/purchase_order_record.h"
#include "records/record_bytes.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "records/supplier_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace gim {
namespace {

using test::ExpectRecordBytes;
using test::RecordBytes;
using test::RecordFrom;

TEST(StoreRecords, SparePart)
{
    const std::string brand(16, 'M');
    const auto expected = RecordBytes(200)
                              .Text(0, "ALMACEN_")                // Codigo
                              .Text(9, "EL")                      // Equipo
                              .Text(12, "CRR")                    // Util
                              .Text(16, "007")                    // Pieza
                              .Text(20, "Correa dentada 8M-1200") // Nombre
                              .Text(151, brand)                   // Marca, full: ends at 167
                              .Raw(168, {0x0C, 0x00, 0x00, 0x00}) // Exist 12
                              .Raw(172, {0xD2, 0x04, 0x00, 0x00}) // Valor 1234 cents
                              .Raw(176, {0xFF, 0xFF, 0xFF, 0xFF}) // Stock -1
                              .Raw(180, {0x00, 0x00, 0x01, 0x00}) // PPedido 65536
                              .Text(184, "PROV000001")            // CdPVD, full: ends at 194
                              .Text(195, "A-12");                 // Local, full: ends at 199
    TSparePartRecord rec{};
    rec.Codigo = "ALMACEN_";
    rec.Equipo = "EL";
    rec.Util = "CRR";
    rec.Pieza = "007";
    rec.Nombre = "Correa dentada 8M-1200";
    rec.Marca.setBytes(brand);
    rec.Exist = 12;
    rec.Valor = 1234;
    rec.Stock = -1;
    rec.PPedido = 65536;
    rec.CdPVD = "PROV000001";
    rec.Local = "A-12";
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TSparePartRecord>(expected);
    EXPECT_EQ(back.Codigo.bytes(), "ALMACEN_");
    EXPECT_EQ(back.Equipo.bytes(), "EL");
    EXPECT_EQ(back.Util.bytes(), "CRR");
    EXPECT_EQ(back.Pieza.bytes(), "007");
    EXPECT_EQ(back.Nombre.bytes(), "Correa dentada 8M-1200");
    EXPECT_EQ(back.Marca.bytes(), brand);
    EXPECT_EQ(back.Exist.get(), 12);
    EXPECT_EQ(back.Valor.get(), 1234);
    EXPECT_EQ(back.Stock.get(), -1);
    EXPECT_EQ(back.PPedido.get(), 65536);
    EXPECT_EQ(back.CdPVD.bytes(), "PROV000001");
    EXPECT_EQ(back.Local.bytes(), "A-12");
}

TEST(StoreRecords, StoreMovement)
{
    const auto expected = RecordBytes(52)
                              .Text(0, "PRENSA01")                // Codigo
                              .Text(9, "ME")                      // Equipo
                              .Text(12, "ROD")                    // Util
                              .Text(16, "123")                    // Pieza
                              .Text(20, "ALMACEN_")               // Destination, full: ends at 28
                              .Raw(29, {0xFE})                    // AbsoluteWeek 254
                              .Text(30, "OP/123456789")           // User, full: ends at 42
                              .Raw(43, {0x5C})                    // Reserved43
                              .Raw(44, {0xFB, 0xFF, 0xFF, 0xFF})  // Quantity -5
                              .Raw(48, {0xA0, 0x86, 0x01, 0x00}); // UnitValue 100000 cents
    TStoreMovementRecord rec{};
    rec.Codigo = "PRENSA01";
    rec.Equipo = "ME";
    rec.Util = "ROD";
    rec.Pieza = "123";
    rec.Destination = "ALMACEN_";
    rec.AbsoluteWeek = 254;
    rec.User = "OP/123456789";
    rec.Reserved43 = 0x5C;
    rec.Quantity = -5;
    rec.UnitValue = 100000;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TStoreMovementRecord>(expected);
    EXPECT_EQ(back.Codigo.bytes(), "PRENSA01");
    EXPECT_EQ(back.Equipo.bytes(), "ME");
    EXPECT_EQ(back.Util.bytes(), "ROD");
    EXPECT_EQ(back.Pieza.bytes(), "123");
    EXPECT_EQ(back.Destination.bytes(), "ALMACEN_");
    EXPECT_EQ(back.AbsoluteWeek, 254);
    EXPECT_EQ(back.User.bytes(), "OP/123456789");
    EXPECT_EQ(back.Reserved43, 0x5C);
    EXPECT_EQ(back.Quantity.get(), -5);
    EXPECT_EQ(back.UnitValue.get(), 100000);
}

TEST(StoreRecords, Supplier)
{
    const std::string mail = "compras.suministros@ferreteria-industrial-leon.es";
    ASSERT_EQ(mail.size(), 49u); // one past the capacity: cut
    const auto expected = RecordBytes(274)
                              .Text(0, "Ferreter\355a Industrial Le\xF3n S.A.") // Empresa
                              .Text(37, "Mar\355a Pe\361a")                     // Contacto
                              .Text(74, "Pol\xEDgono El Tambor, nave 12")       // Calle
                              .Text(111, "12-14B")                              // Numero, full
                              .Text(118, "San Andr\xE9s del Rabanedo")          // Ciudad
                              .Text(143, "24010")                               // Cpostal
                              .Text(150, "Espa\361a")                           // Pais
                              .Text(175, "+34987000000")                        // Tlf, full
                              .Text(188, "987000001")                           // Fax
                              .Text(201, "PROV000001")                          // Codigo, full
                              .Text(212, "Ferreter\355a")                       // Especialidad
                              .Text(225, mail.substr(0, 48));                   // mail, ends at 273
    TSupplierRecord rec{};
    rec.Empresa = QStringLiteral("Ferretería Industrial León S.A.");
    rec.Contacto = QStringLiteral("María Peña");
    rec.Calle = QStringLiteral("Polígono El Tambor, nave 12");
    rec.Numero = "12-14B";
    rec.Ciudad = QStringLiteral("San Andrés del Rabanedo");
    rec.Cpostal = "24010";
    rec.Pais = QStringLiteral("España");
    rec.Tlf = "+34987000000";
    rec.Fax = "987000001";
    rec.Codigo = "PROV000001";
    rec.Especialidad = QStringLiteral("Ferretería");
    rec.mail = QString::fromStdString(mail);
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TSupplierRecord>(expected);
    EXPECT_EQ(back.Empresa.str(), QStringLiteral("Ferretería Industrial León S.A."));
    EXPECT_EQ(back.Contacto.str(), QStringLiteral("María Peña"));
    EXPECT_EQ(back.Calle.str(), QStringLiteral("Polígono El Tambor, nave 12"));
    EXPECT_EQ(back.Numero.bytes(), "12-14B");
    EXPECT_EQ(back.Ciudad.str(), QStringLiteral("San Andrés del Rabanedo"));
    EXPECT_EQ(back.Cpostal.bytes(), "24010");
    EXPECT_EQ(back.Pais.str(), QStringLiteral("España"));
    EXPECT_EQ(back.Tlf.bytes(), "+34987000000");
    EXPECT_EQ(back.Fax.bytes(), "987000001");
    EXPECT_EQ(back.Codigo.bytes(), "PROV000001");
    EXPECT_EQ(back.Especialidad.str(), QStringLiteral("Ferretería"));
    EXPECT_EQ(back.mail.bytes(), mail.substr(0, 48));
}

RecordBytes PurchaseOrderBytes()
{
    return RecordBytes(284)
        .Raw(0, {0x0A, 0x1A, 0x00, 0x00})          // Nped 6666
        .Text(4, "Pedido urgente parada")          // Refer
        .Text(29, "PRENSA01")                      // Codigo
        .Text(38, "HI")                            // Equipo
        .Text(41, "VAL")                           // Util
        .Text(45, "002")                           // Pieza
        .Text(49, "V\xE1lvula antirretorno 1/2\"") // Descrip
        .Text(180, "Parker")                       // Marca
        .Text(197, "PROV000001")                   // Sumtro, full: ends at 207
        .Text(208, "#")                            // Albaran
        .Text(219, "24/07/3")                      // fechALTA
        .Text(228, "24/09/1")                      // fechaENT
        .Text(237, "27/00/1")                      // Fechcierr: not closed
        .Text(246, "Almac\xE9n central")           // LUGAR
        .Text(271, "I")                            // Estado
        .Raw(274, {0x0A, 0x00})                    // Cantidad 10
        .Raw(276, {0xFD, 0xFF})                    // Entradas -3
        .Raw(278, {0xDE, 0xAD})                    // Reserved278
        .Raw(280, {0x10, 0x27, 0x00, 0x00});       // Valor 10000 cents
}

TEST(StoreRecords, PurchaseOrder)
{
    const auto expected = PurchaseOrderBytes();
    TPurchaseOrderRecord rec{};
    rec.Nped = 6666;
    rec.Refer = "Pedido urgente parada";
    rec.Codigo = "PRENSA01";
    rec.Equipo = "HI";
    rec.Util = "VAL";
    rec.Pieza = "002";
    rec.Descrip = QStringLiteral("Válvula antirretorno 1/2\"");
    rec.Marca = "Parker";
    rec.Sumtro = "PROV000001";
    rec.Albaran = "#";
    rec.fechALTA = "24/07/3";
    rec.fechaENT = "24/09/1";
    rec.Fechcierr = "27/00/1";
    rec.LUGAR = QStringLiteral("Almacén central");
    rec.Estado = "I";
    rec.Cantidad = 10;
    rec.Entradas = -3;
    rec.Reserved278[0] = 0xDE;
    rec.Reserved278[1] = 0xAD;
    rec.Valor = 10000;
    ExpectRecordBytes(rec, expected);

    const auto back = RecordFrom<TPurchaseOrderRecord>(expected);
    EXPECT_EQ(back.Nped.get(), 6666);
    EXPECT_EQ(back.Refer.bytes(), "Pedido urgente parada");
    EXPECT_EQ(back.Codigo.bytes(), "PRENSA01");
    EXPECT_EQ(back.Equipo.bytes(), "HI");
    EXPECT_EQ(back.Util.bytes(), "VAL");
    EXPECT_EQ(back.Pieza.bytes(), "002");
    EXPECT_EQ(back.Descrip.str(), QStringLiteral("Válvula antirretorno 1/2\""));
    EXPECT_EQ(back.Marca.bytes(), "Parker");
    EXPECT_EQ(back.Sumtro.bytes(), "PROV000001");
    EXPECT_EQ(back.Albaran.bytes(), "#");
    EXPECT_EQ(back.fechALTA.bytes(), "24/07/3");
    EXPECT_EQ(back.fechaENT.bytes(), "24/09/1");
    EXPECT_EQ(back.Fechcierr.bytes(), "27/00/1");
    EXPECT_EQ(back.LUGAR.str(), QStringLiteral("Almacén central"));
    EXPECT_EQ(back.Estado.bytes(), "I");
    EXPECT_EQ(back.Cantidad.get(), 10);
    EXPECT_EQ(back.Entradas.get(), -3);
    EXPECT_EQ(back.Reserved278[0], 0xDE);
    EXPECT_EQ(back.Reserved278[1], 0xAD);
    EXPECT_EQ(back.Valor.get(), 10000);
}

// An edit that changes two fields rewrites exactly their bytes: reserved bytes and the stale characters
// past a text's length stay as the file had them.
TEST(StoreRecords, EditKeepsTheBytesItDoesNotOwn)
{
    auto file = PurchaseOrderBytes().Bytes();
    file[49 + 1 + 40] = 'x'; // stale character past the end of Descrip
    TPurchaseOrderRecord rec{};
    std::memcpy(&rec, file.data(), sizeof rec);

    rec.Entradas = 10;
    rec.Estado = "E";
    rec.Descrip = "Nueva";

    auto expected = file;
    expected[276] = 0x0A; // Entradas 10
    expected[277] = 0x00;
    expected[272] = 'E'; // Estado
    expected[49] = 5;    // Descrip "Nueva", the rest of the old text stays
    std::memcpy(&expected[50], "Nueva", 5);
    EXPECT_EQ(std::memcmp(&rec, expected.data(), sizeof rec), 0);
    EXPECT_EQ(rec.Descrip.chars[40], 'x');
}

} // namespace
} // namespace gim
