#include "core/data_file.h"
#include "core/lookups.h"
#include "core/startup.h"
#include "masterdata/machines.h"
#include "masterdata_fixture.h"
#include "support/killed_child.h"

#include <QDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace gim {
namespace {

class MachineFaultsTest : public test::MasterdataTest
{
protected:
    // One machine added as the import gateway adds it: no card, one record, then the sorted rewrite
    // that the menu command runs after it.
    void AddAndSort(const QString& code)
    {
        State& st = t.ctx.st;
        st.ImportedMachine = Machine("X");
        st.ImportedMachine.Codigo = code;
        st.ActionCode = QStringLiteral("i");
        st.InteractiveFlag = 0;
        AddMachines(t.ctx);
        st.ActionCode.clear();
        SortMachineFile(t.ctx);
    }

    std::vector<TMachineRecord> Register() const
    {
        const std::string bytes = MachineBytes();
        std::vector<TMachineRecord> out(bytes.size() / sizeof(TMachineRecord));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(TMachineRecord));
        return out;
    }

    // Every machine of the file is found by halves under its code.
    void ExpectEveryMachineFound()
    {
        for (const TMachineRecord& stored : Register()) {
            TMachineRecord wanted{};
            wanted.Codigo = stored.Codigo;
            FindMachine(t.ctx, QStringLiteral("PORTAL.MQW"), wanted);
            ASSERT_EQ(wanted.Denominacion.str(), stored.Denominacion.str())
                << stored.Codigo.str().toStdString();
        }
    }
};

QString Code(char prefix, int n)
{
    return QLatin1Char(prefix) + QString::number(n).rightJustified(4, QLatin1Char('0'));
}

// Two programs on one data folder, each adding machines and sorting the file after each: every machine
// of both is in the file afterwards.
TEST_F(MachineFaultsTest, TwoProgramsAddingAtOnceLoseNoMachine)
{
    StoreMachines({Machine("A0000")});
    constexpr int kEach = 60;
    std::vector<pid_t> children;
    for (char prefix : {'B', 'C'}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0; i < kEach; ++i)
                AddAndSort(Code(prefix, i));
            ::_exit(t.ui.Verify().isEmpty() ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a program met a message or a failure";
    }
    std::set<std::string> codes;
    for (const TMachineRecord& r : Register())
        codes.insert(std::string(r.Codigo.bytes()));
    EXPECT_EQ(codes.size(), 1u + 2u * kEach);
    for (char prefix : {'B', 'C'})
        for (int i = 0; i < kEach; ++i)
            EXPECT_TRUE(codes.count(Code(prefix, i).toStdString())) << Code(prefix, i).toStdString();
    ExpectEveryMachineFound();
}

// A program killed at any instant of an add and its sorted rewrite: after the next start every machine
// it had stored is in the file and found by halves, and nothing of the rewrite is left behind.
TEST_F(MachineFaultsTest, AKillAtAnyInstantLeavesEveryStoredMachineFindable)
{
    std::vector<TMachineRecord> initial;
    for (int i = 0; i < 1500; ++i)
        initial.push_back(Machine(Code('M', i * 2).toLatin1().constData()));
    StoreMachines(initial);
    t.WriteFile(QStringLiteral("SELECTOR.TRB"),
                std::string("\x06PORTAL\0\0\0\0\x06PORTAL", 18) + std::string(12, '\0'));
    std::mt19937 random(20261207);
    std::set<std::string> acknowledged;
    for (const TMachineRecord& r : initial)
        acknowledged.insert(std::string(r.Codigo.bytes()));

    constexpr int kKills = 200;
    int leftTemporary = 0;
    int leftUnsorted = 0;
    for (int trial = 0; trial < kKills; ++trial) {
        const std::string lines = test::KillWhileRunning(random, 40000, [&](int channel) {
            for (int i = 0;; ++i) {
                // Odd numbers fall between the stored ones, so each add leaves the file out of order.
                const QString code = Code('M', (trial * 97 + i * 2 + 1) % 10000);
                AddAndSort(code);
                const std::string line = code.toStdString() + "\n";
                if (::write(channel, line.data(), line.size()) < 0)
                    ::_exit(2);
            }
        });
        for (std::size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
            acknowledged.insert(lines.substr(at, end - at));

        // What the kill left: a temporary file of the rewrite, or a machine stored but not yet sorted.
        if (!QDir(data).entryList({QStringLiteral("*.tmp~")}, QDir::Files).isEmpty())
            ++leftTemporary;
        if (!KeyedFile<MachineFile>(t.ctx).InKeyOrder())
            ++leftUnsorted;
        // The next start of the program.
        RunStartupBeforeWindow(t.ctx);
        ASSERT_EQ(MachineBytes().size() % sizeof(TMachineRecord), 0u) << "trial " << trial;
        std::set<std::string> stored;
        for (const TMachineRecord& r : Register())
            stored.insert(std::string(r.Codigo.bytes()));
        for (const std::string& code : acknowledged)
            ASSERT_TRUE(stored.count(code)) << code << " lost in trial " << trial;
        ASSERT_TRUE(KeyedFile<MachineFile>(t.ctx).InKeyOrder()) << "trial " << trial;
        ASSERT_TRUE(QDir(data).entryList({QStringLiteral("*.tmp~")}, QDir::Files).isEmpty())
            << "trial " << trial;
    }
    ExpectEveryMachineFound();
    EXPECT_SCRIPT_DONE(t.ui);
    // The kills did land inside the add and inside the rewrite.
    EXPECT_GT(leftTemporary, 0);
    EXPECT_GT(leftUnsorted, 0);
    std::printf("kills leaving a temporary file: %d, an unsorted register: %d of %d\n", leftTemporary,
                leftUnsorted, kKills);
}

TEST_F(MachineFaultsTest, AMachineLeftUnsortedAtTheEndIsSortedAtStartUp)
{
    StoreMachines({Machine("A1"), Machine("C1"), Machine("B1", "Torno")});
    TMachineRecord wanted{};
    wanted.Codigo = "B1";
    FindMachine(t.ctx, QStringLiteral("PORTAL.MQW"), wanted);
    EXPECT_EQ(wanted.Denominacion.str(), "NO EXISTE LA MAQUINA");
    EnsureMachineFileSorted(t.ctx);
    wanted = TMachineRecord{};
    wanted.Codigo = "B1";
    FindMachine(t.ctx, QStringLiteral("PORTAL.MQW"), wanted);
    EXPECT_EQ(wanted.Denominacion.str(), "Torno");
    // A file in order is left as it is: no twin is written.
    QFile::remove(t.Path(QStringLiteral("PORTAL.MBK")));
    EnsureMachineFileSorted(t.ctx);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.MBK")));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(MachineFaultsTest, ADamagedRegisterIsReportedOnceWithItsCount)
{
    // Forty machines whose codes hold blanks or bytes outside the printable range, or lack an account.
    std::vector<TMachineRecord> machines{Machine("A1")};
    for (int i = 0; i < 40; ++i) {
        TMachineRecord bad = Machine("X");
        if (i % 3 == 0)
            bad.Codigo = QStringLiteral("MAL %1").arg(i);
        else if (i % 3 == 1)
            bad.Codigo.setBytes(std::string("\xFF\x01", 2));
        else
            bad.Cuenta = "";
        machines.push_back(bad);
    }
    StoreMachines(machines);
    const QString message = QStringLiteral("SOSPECHA DE MALA CODIFICACION EN 40 MÁQUINAS DE PORTAL.MQW."
                                           "COMPRUEBE SITUACION POR DÍGITOS INADECUADOS");
    t.ui.ExpectMessage(message);
    LoadMachineList(t.ctx);
    EXPECT_EQ(Machines(t.ctx).MachineList.size(), 41u);
    t.ui.ExpectMessage(message);
    EXPECT_TRUE(SortMachineFile(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(Register().size(), 1u);
    EXPECT_EQ(Register()[0].Codigo.str(), "A1");
}

} // namespace
} // namespace gim
