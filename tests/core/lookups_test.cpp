#include "core/lookups.h"
#include "core/record_file.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

namespace gim {
namespace {

TMachineRecord Machine(const std::string& code, const std::string& name)
{
    TMachineRecord r{};
    r.Codigo.setBytes(code);
    r.Denominacion.setBytes(name);
    r.Cuenta = "CTA";
    r.Disponible = "SI";
    return r;
}

class FindMachineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::vector<TMachineRecord> recs;
        for (int i = 0; i < 1000; ++i)
            recs.push_back(Machine(std::string("M").append(std::to_string(1000 + i)),
                                   std::string("NOMBRE ").append(std::to_string(i))));
        StoreRecords(t.ctx, QStringLiteral("E.MQW"), recs);
    }
    TMachineRecord Find(const std::string& code)
    {
        TMachineRecord r{};
        r.Codigo.setBytes(code);
        FindMachine(t.ctx, QStringLiteral("E.MQW"), r);
        return r;
    }
    test::TestContext t;
};

TEST_F(FindMachineTest, FindsTheFirstTheLastAndEveryOtherRecord)
{
    EXPECT_TRUE(Find("M1000").Denominacion == "NOMBRE 0");
    EXPECT_TRUE(Find("M1999").Denominacion == "NOMBRE 999");
    for (int i = 0; i < 1000; i += 37)
        EXPECT_EQ(Find(std::string("M").append(std::to_string(1000 + i))).Denominacion.bytes(),
                  std::string("NOMBRE ").append(std::to_string(i)));
    const TMachineRecord found = Find("M1500");
    EXPECT_TRUE(found.Cuenta == "CTA");
    EXPECT_TRUE(found.Disponible == "SI");
}

TEST_F(FindMachineTest, AnAbsentCodeKeepsTheCodeAndNamesItMissing)
{
    for (const char* code : {"M0999", "M2000", "M10005", "A", "Z"}) {
        const TMachineRecord r = Find(code);
        EXPECT_TRUE(r.Codigo == code);
        EXPECT_TRUE(r.Denominacion == "NO EXISTE LA MAQUINA");
    }
}

TEST(FindMachine, EmptyAndMissingFiles)
{
    test::TestContext t;
    StoreRecords(t.ctx, QStringLiteral("E.MQW"), std::vector<TMachineRecord>{});
    TMachineRecord r{};
    r.Codigo = "X1";
    FindMachine(t.ctx, QStringLiteral("E.MQW"), r);
    EXPECT_TRUE(r.Denominacion == "NO EXISTE LA MAQUINA");
    EXPECT_TRUE(r.Codigo == "X1");

    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    TMachineRecord m{};
    m.Codigo = "X1";
    FindMachine(t.ctx, QStringLiteral("NADA.MQW"), m);
    EXPECT_TRUE(m.Denominacion == "NO EXISTE LA MAQUINA");
    EXPECT_EQ(t.ctx.st.LastIOResult, 2);

    // A single-record file is found through record 0; any other code is absent.
    StoreRecords(t.ctx, QStringLiteral("U.MQW"), std::vector<TMachineRecord>{Machine("SOLO", "UNICA")});
    TMachineRecord s{};
    s.Codigo = "SOLO";
    FindMachine(t.ctx, QStringLiteral("U.MQW"), s);
    EXPECT_TRUE(s.Denominacion == "UNICA");
    s = {};
    s.Codigo = "ZZ";
    FindMachine(t.ctx, QStringLiteral("U.MQW"), s);
    EXPECT_TRUE(s.Denominacion == "NO EXISTE LA MAQUINA");
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(FindPerson, FoundAndAbsent)
{
    test::TestContext t;
    std::vector<TPersonnelRecord> people(3);
    const char* nums[] = {"001", "002", "010"};
    for (int i = 0; i < 3; ++i) {
        people[i] = {};
        people[i].Matricula = nums[i];
        people[i].Apellidos = "GARCIA";
        people[i].Nombre = "ANA";
    }
    StoreRecords(t.ctx, QStringLiteral("FIRMA_PO.RCH"), people);
    TPersonnelRecord p{};
    p.Matricula = "010";
    FindPerson(t.ctx, QStringLiteral("FIRMA_PO.RCH"), p);
    EXPECT_TRUE(p.Apellidos == "GARCIA");
    EXPECT_TRUE(p.Nombre == "ANA");
    TPersonnelRecord q{};
    q.Matricula = "003";
    q.Nombre = "OTRO";
    FindPerson(t.ctx, QStringLiteral("FIRMA_PO.RCH"), q);
    EXPECT_TRUE(q.Apellidos == "NO EXISTE LA PERSONA");
    EXPECT_TRUE(q.Nombre.empty());
    EXPECT_TRUE(q.Matricula == "003");
}

TEST(CheckMachineCodes, RefusesBlanksControlAndAccentedCharacters)
{
    test::TestContext t;
    auto check = [&](const std::string& code, const std::string& account) {
        TMachineRecord m{};
        m.Codigo.setBytes(code);
        m.Cuenta.setBytes(account);
        m.Denominacion = "TORNO";
        CheckMachineCodes(t.ctx, m);
        return t.ctx.st.MachineCodesOk;
    };
    EXPECT_EQ(check("TR-01", "ABC!}"), 1);

    t.ui.ExpectMessage(QStringLiteral(
        "SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\rTR 01 TORNO"));
    EXPECT_EQ(check("TR 01", "ABC"), 0);
    t.ui.ExpectMessage(QStringLiteral(
        "SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\rTR01 TORNO"));
    EXPECT_EQ(check("TR01", "A~B"), 0); // "~" lies past "}"
    t.ui.ExpectMessage(QStringLiteral("FALTA CÓDIGO DE CUENTA"));
    t.ui.ExpectMessage(QStringLiteral(
        "SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\rTR01 TORNO"));
    EXPECT_EQ(check("TR01", ""), 0);
    t.ui.ExpectMessage(QStringLiteral("FALTA CÓDIGO DE MÁQUINA"));
    t.ui.ExpectMessage(
        QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\r TORNO"));
    EXPECT_EQ(check("", "ABC"), 0);
    // "#" (a cancelled card) is refused without the suspicion message.
    t.ui.ExpectMessage(QStringLiteral("FALTA CÓDIGO DE CUENTA"));
    EXPECT_EQ(check("#", ""), 0);
    t.ui.ExpectMessage(QStringLiteral(
        "SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\rÑA TORNO"));
    EXPECT_EQ(check("\xD1"
                    "A",
                    "ABC"),
              0);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(LookupHourPrice, KindsLaterRowsAndAbsence)
{
    test::TestContext t;
    auto row = [](const char* num, std::uint16_t base) {
        THourPriceRecord r{};
        r.Matricula = num;
        r.HCONTRATO = base;
        r.HN = base + 1;
        r.HEX = base + 2;
        r.HEN = base + 3;
        r.HEF = base + 4;
        r.HEC = base + 5;
        r.Price2 = base + 6;
        r.Price3 = base + 7;
        return r;
    };
    t.ctx.st.HourPriceTable = {row("001", 1000), row("002", 2000), row("001", 3000)};
    const std::pair<const char*, int> kinds[] = {{"C", 0},  {"P", 0}, {"F", 0},  {"V", 0},
                                                 {"N", 1},  {"E", 2}, {"EN", 3}, {"EF", 4},
                                                 {"EC", 5}, {"2", 6}, {"3", 7}};
    for (auto [kind, offset] : kinds) {
        EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("002"), QLatin1String(kind)), 2000 + offset) << kind;
        EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("001"), QLatin1String(kind)), 3000 + offset) << kind;
    }
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("999"), QStringLiteral("C")), 0);
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("001"), QStringLiteral("c")), 0);
    t.ctx.st.HourPriceTable.clear();
    EXPECT_EQ(LookupHourPrice(t.ctx, QStringLiteral("001"), QStringLiteral("C")), 0);
}

} // namespace
} // namespace gim
