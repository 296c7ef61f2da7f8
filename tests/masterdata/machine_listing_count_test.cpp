// Registers larger than a 16-bit counter: every row keeps its own number and the total is the count.
#include "masterdata/machine_listings.h"
#include "masterdata_fixture.h"
#include "platform/report.h"

#include <cstdio>

namespace gim {
namespace {

class MachineListingCountTest : public test::MasterdataTest
{
protected:
    // Codes "M000001" to "M100000", already in code order.
    void StoreNumberedMachines(int count, const char* account = "CTA")
    {
        std::vector<TMachineRecord> machines;
        machines.reserve(static_cast<std::size_t>(count));
        for (int i = 1; i <= count; ++i) {
            char code[16]; // room for any int: the codes stored stay of seven characters
            std::snprintf(code, sizeof code, "M%06d", i);
            machines.push_back(Machine(code, "Prensa", account));
        }
        StoreMachines(machines);
    }
    const ReportDocument& Listing() const { return *t.ui.Reports().back(); }
};

TEST_F(MachineListingCountTest, AHundredThousandMachinesAreNumberedAndCountedInFull)
{
    StoreNumberedMachines(100000);
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Máquinas > Listado > Máquinas"));
    EXPECT_SCRIPT_DONE(t.ui);
    const ReportDocument& doc = Listing();
    const int n = doc.LineCount();
    ASSERT_EQ(n, 6 + 100000 + 2);
    EXPECT_EQ(doc.LineText(6 + 65535), QStringLiteral("65536\tM065536\tPrensa\t-\t-\tCTA\t-\tSI"));
    EXPECT_EQ(doc.LineText(n - 3), QStringLiteral("100000\tM100000\tPrensa\t-\t-\tCTA\t-\tSI"));
    EXPECT_EQ(doc.LineText(n - 1), QStringLiteral("\tNUMERO DE MÁQUINAS CODIFICADAS EN PORTAL =100000"));
}

TEST_F(MachineListingCountTest, OneAccountOfAHundredThousandMachinesIsCountedInFull)
{
    StoreNumberedMachines(100000, "10");
    t.ui.ExpectInput(QStringLiteral("LISTADO SELECTIVO CUENTAS GASTOS "),
                     QStringLiteral("INTRODUCIR CODIGO DE CUENTA"), QStringLiteral("10"));
    t.ui.ExpectReport(QStringLiteral("MAQUINAS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Máquinas > Listado > Cuentas"));
    EXPECT_SCRIPT_DONE(t.ui);
    const ReportDocument& doc = Listing();
    const int n = doc.LineCount();
    EXPECT_EQ(doc.LineText(n - 3), QStringLiteral("100000\tM100000\tPrensa\t-\t-\t10\t-\tSI"));
    EXPECT_EQ(doc.LineText(n - 1), QStringLiteral("\tNUMERO DE MÁQUINAS EN LA  CUENTA DE GASTO 10 =100000"));
}

} // namespace
} // namespace gim
