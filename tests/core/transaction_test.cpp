#include "core/command.h"
#include "core/record_file.h"
#include "core/transaction.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

namespace gim {
namespace {

using Record = std::array<char, 4>;

Record Rec(int n)
{
    return {static_cast<char>('A' + n % 26), static_cast<char>(n & 0xFF), static_cast<char>(n >> 8), '.'};
}

// One step over three files: a line appended to two of them and a counter rewritten in the third.
void Step(Context& ctx, int n)
{
    Transaction tx(ctx);
    ASSERT_TRUE(tx.Prepare({QStringLiteral("E.AAA"), QStringLiteral("E.BBB"), QStringLiteral("E.CCC")}));
    RecordFile<Record> a(ctx), b(ctx), c(ctx);
    ASSERT_TRUE(a.Open(QStringLiteral("E.AAA"), RawRecordFile::Mode::OpenOrCreate));
    ASSERT_TRUE(b.Open(QStringLiteral("E.BBB"), RawRecordFile::Mode::OpenOrCreate));
    ASSERT_TRUE(c.Open(QStringLiteral("E.CCC"), RawRecordFile::Mode::Update));
    a.Append(Rec(n));
    b.Append(Rec(n));
    c.Write(0, Rec(n + 1));
    tx.Commit();
}

struct TransactionTest : ::testing::Test
{
    TransactionTest()
    {
        t.ctx.st.CurrentEnvironment = QStringLiteral("E");
        t.WriteFile(QStringLiteral("E.AAA"), "");
        t.WriteFile(QStringLiteral("E.CCC"), std::string(Rec(0).data(), 4));
    }
    std::string Files() const
    {
        return t.ReadFile(QStringLiteral("E.AAA")) + '|' + t.ReadFile(QStringLiteral("E.BBB")) + '|' +
               t.ReadFile(QStringLiteral("E.CCC"));
    }
    test::TestContext t;
};

// A step that fails anywhere before its commit, or whose journal cannot be synced, leaves every file as it
// was (the file it would have created included); inside the step its own writes are read back.
TEST_F(TransactionTest, AStepIsStoredWhollyOrNotAtAll)
{
    const std::string before = Files();
    const std::pair<FileOp, QString> faults[] = {{FileOp::Write, QStringLiteral("E.CCC")},
                                                 {FileOp::Write, QStringLiteral("E.JNL")},
                                                 {FileOp::Sync, QStringLiteral("E.JNL")}};
    FileFaults injected;
    t.ctx.faults = &injected;
    for (const auto& [op, name] : faults) {
        SCOPED_TRACE(name.toStdString());
        injected.inject = [&, op = op, name = name](FileOp o, const QString& path) {
            return o == op && path.endsWith(name) ? ENOSPC : 0;
        };
        t.ui.ExpectMessage(QStringLiteral("ESCRITURA DE DISCO"));
        EXPECT_FALSE(RunCommand(t.ctx, {}, [&] { Step(t.ctx, 1); }));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(Files(), before);
        EXPECT_FALSE(t.Exists(QStringLiteral("E.BBB")));
    }
    t.ctx.faults = nullptr;
    RunCommand(t.ctx, {}, [&] {
        Transaction tx(t.ctx);
        RecordFile<Record> a(t.ctx);
        ASSERT_TRUE(a.Open(QStringLiteral("E.AAA"), RawRecordFile::Mode::Update));
        a.Append(Rec(7));
        EXPECT_EQ(a.Count(), 1u);
        EXPECT_EQ(a.Read(0), Rec(7));
        EXPECT_EQ(a.ReadAll().size(), 1u);
        EXPECT_EQ(t.ReadFile(QStringLiteral("E.AAA")), ""); // not in the file before the commit
        tx.Commit();
    });
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.AAA")), std::string(Rec(7).data(), 4));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.JNL")), ""); // emptied when the command ended
}

TEST_F(TransactionTest, ARangeReadInsideAStepSeesTheStepsWrites)
{
    StoreRecords(t.ctx, QStringLiteral("E.AAA"), std::vector<Record>{Rec(1), Rec(2), Rec(3)});
    RunCommand(t.ctx, {}, [&] {
        Transaction tx(t.ctx);
        RecordFile<Record> a(t.ctx);
        ASSERT_TRUE(a.Open(QStringLiteral("E.AAA"), RawRecordFile::Mode::Update));
        a.Write(1, Rec(9));
        a.Append(Rec(4));
        std::array<Record, 3> range{};
        a.ReadRange(1, 3, range.data());
        EXPECT_EQ(range, (std::array<Record, 3>{Rec(9), Rec(3), Rec(4)}));
    });
}

} // namespace
} // namespace gim
