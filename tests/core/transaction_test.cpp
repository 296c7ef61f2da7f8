#include "core/command.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "core/startup.h"
#include "core/transaction.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <memory>
#include <set>
#include <sys/wait.h>

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
    if (!tx.Prepare({QStringLiteral("E.OTR"), QStringLiteral("E.AVR"), QStringLiteral("E.PDA")}))
        return;
    RecordFile<Record> a(ctx), b(ctx), c(ctx);
    ASSERT_TRUE(a.Open(QStringLiteral("E.OTR"), RawRecordFile::Mode::OpenOrCreate));
    ASSERT_TRUE(b.Open(QStringLiteral("E.AVR"), RawRecordFile::Mode::OpenOrCreate));
    ASSERT_TRUE(c.Open(QStringLiteral("E.PDA"), RawRecordFile::Mode::Update));
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
        t.WriteFile(QStringLiteral("E.OTR"), "");
        t.WriteFile(QStringLiteral("E.PDA"), std::string(Rec(0).data(), 4));
    }
    std::string Files() const
    {
        return t.ReadFile(QStringLiteral("E.OTR")) + '|' + t.ReadFile(QStringLiteral("E.AVR")) + '|' +
               t.ReadFile(QStringLiteral("E.PDA"));
    }
    test::TestContext t;
};

// A step that fails anywhere before its commit, or whose journal cannot be synced, leaves every file as it
// was (the file it would have created included); inside the step its own writes are read back.
TEST_F(TransactionTest, AStepIsStoredWhollyOrNotAtAll)
{
    const std::string before = Files();
    const std::pair<FileOp, QString> faults[] = {{FileOp::Write, QStringLiteral("E.PDA")},
                                                 {FileOp::Write, QStringLiteral("E.JNL")},
                                                 {FileOp::Sync, QStringLiteral("E.JNL")}};
    FileFaults injected;
    t.ctx.faults = &injected;
    for (const auto& [op, name] : faults) {
        SCOPED_TRACE(name.toStdString());
        injected.inject = [&, op = op, name = name](FileOp o, const QString& path) {
            return o == op && path.endsWith(name) ? ENOSPC : 0;
        };
        t.ui.ExpectMessage(QStringLiteral("ESCRITURA DE DISCO ") + name);
        EXPECT_FALSE(RunCommand(t.ctx, {}, [&] { Step(t.ctx, 1); }));
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(Files(), before);
        EXPECT_FALSE(t.Exists(QStringLiteral("E.AVR")));
    }
    t.ctx.faults = nullptr;
    RunCommand(t.ctx, {}, [&] {
        Transaction tx(t.ctx);
        RecordFile<Record> a(t.ctx);
        ASSERT_TRUE(a.Open(QStringLiteral("E.OTR"), RawRecordFile::Mode::Update));
        a.Append(Rec(7));
        EXPECT_EQ(a.Count(), 1u);
        EXPECT_EQ(a.Read(0), Rec(7));
        EXPECT_EQ(a.ReadAll().size(), 1u);
        EXPECT_EQ(t.ReadFile(QStringLiteral("E.OTR")), ""); // not in the file before the commit
        tx.Commit();
    });
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.OTR")), std::string(Rec(7).data(), 4));
    EXPECT_EQ(t.ReadFile(QStringLiteral("E.JNL")), ""); // emptied when the command ended
}

TEST_F(TransactionTest, ARangeReadInsideAStepSeesTheStepsWrites)
{
    StoreRecords(t.ctx, QStringLiteral("E.OTR"), std::vector<Record>{Rec(1), Rec(2), Rec(3)});
    RunCommand(t.ctx, {}, [&] {
        Transaction tx(t.ctx);
        RecordFile<Record> a(t.ctx);
        ASSERT_TRUE(a.Open(QStringLiteral("E.OTR"), RawRecordFile::Mode::Update));
        a.Write(1, Rec(9));
        a.Append(Rec(4));
        std::array<Record, 3> range{};
        a.ReadRange(1, 3, range.data());
        EXPECT_EQ(range, (std::array<Record, 3>{Rec(9), Rec(3), Rec(4)}));
    });
}

// A command of many steps keeps its journal within about 8 MiB: past that a commit writes it through.
TEST_F(TransactionTest, ALongCommandWritesItsJournalThroughPastEightMegabytes)
{
    using Big = std::array<char, 1 << 20>;
    const auto big = std::make_unique<Big>();
    RunCommand(t.ctx, {}, [&] {
        for (int n = 0; n < 12; ++n) {
            Transaction tx(t.ctx);
            RecordFile<Big> f(t.ctx);
            ASSERT_TRUE(f.Open(QStringLiteral("E.AVR"), RawRecordFile::Mode::OpenOrCreate));
            big->fill(static_cast<char>('a' + n));
            f.Append(*big);
            tx.Commit();
            const qint64 journal = QFileInfo(t.ctx.Path(QStringLiteral("E.JNL"))).size();
            EXPECT_EQ(journal, n == 7 ? 0 : (n % 8 + 1) * ((1 << 20) + 59)) << n;
        }
    });
    const std::string avr = t.ReadFile(QStringLiteral("E.AVR"));
    ASSERT_EQ(avr.size(), 12u << 20);
    EXPECT_EQ(avr.front(), 'a');
    EXPECT_EQ(avr.back(), 'l');
}

// A kill after the commit leaves the step in the journal only; the folder copied, then moved, recovers it
// into its own files.
TEST_F(TransactionTest, AFolderCopiedOrMovedAfterACrashRecoversIntoItsOwnFiles)
{
    FileFaults faults;
    faults.inject = [synced = false](FileOp op, const QString& path) mutable {
        synced = synced || (op == FileOp::Sync && path.endsWith(QStringLiteral(".JNL")));
        return synced && op == FileOp::Open ? EIO : 0;
    };
    t.ctx.faults = &faults;
    EXPECT_TRUE(RunCommand(t.ctx, {}, [&] { Step(t.ctx, 1); })); // stored: nothing is said
    for (const bool moved : {false, true}) {
        test::TestContext to;
        to.ctx.st.CurrentEnvironment = QStringLiteral("E");
        for (const QString& name :
             {QStringLiteral("E.OTR"), QStringLiteral("E.PDA"), QStringLiteral("E.JNL")}) {
            to.WriteFile(name, t.ReadFile(name));
            if (moved)
                QFile::remove(t.Path(name));
        }
        RecoverJournal(to.ctx);
        EXPECT_EQ(to.ReadFile(QStringLiteral("E.OTR")) + to.ReadFile(QStringLiteral("E.AVR")) +
                      to.ReadFile(QStringLiteral("E.PDA")),
                  std::string("B\1\0.B\1\0.C\2\0.", 12));
        EXPECT_EQ(Files(), moved ? std::string("||") : std::string("||A\0\0.", 6));
    }
}

// A whole journal block writing "EVIL" at the start of each file named.
std::string Block(const QStringList& names)
{
    const auto Le32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    std::string payload(16, '\7');
    for (const QString& name : names)
        payload += std::string{static_cast<char>(name.size()), 0} + name.toStdString() + std::string(8, 0) +
                   Le32(1) + std::string(8, 0) + Le32(4) + "EVIL";
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char c : payload)
        for (int k = 0, b = static_cast<unsigned char>(c); k < 8; ++k, b >>= 1)
            crc = ((crc ^ b) & 1) ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    return "GIM2" + Le32(static_cast<std::uint32_t>(payload.size())) + payload + Le32(~crc);
}

TEST(Journal, OneNamingAnythingButThisFoldersDataFilesIsKeptAsideAndReported)
{
    const QStringList cases[] = {{"../fuera/x"}, {"/etc/x"}, {"E.XYZ"}, {"C:E.OTR"}, {"E.OTR", "../E.OTR"}};
    for (const QStringList& names : cases) {
        test::TestContext t;
        t.ctx.st.CurrentEnvironment = QStringLiteral("E");
        t.ctx.st.WorkDir = t.dir.filePath(QStringLiteral("data"));
        QDir(t.dir.path()).mkpath(QStringLiteral("data/../fuera"));
        t.WriteFile(QStringLiteral("E.OTR"), "ABCD");
        const std::string journal = Block({QStringLiteral("E.OTR")}) + Block(names);
        t.WriteFile(QStringLiteral("E.JNL"), journal);
        t.ui.ExpectMessage(
            QStringLiteral("DIARIO DAÑADO E.JNL: NOMBRA FICHEROS QUE NO SON DE ESTA CARPETA DE "
                           "DATOS. NO SE APLICA; SE GUARDA COMO E.JNL.RECHAZADO."));
        RecoverJournal(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(QDir(t.ctx.st.WorkDir).entryList(QDir::Files).join(' ').toStdString() +
                      t.ReadFile(QStringLiteral("E.OTR")) +
                      (t.ReadFile(QStringLiteral("E.JNL.RECHAZADO")) == journal ? "=" : "!"),
                  "E.JNL.RECHAZADO E.OTR GIM.LCKABCD=");
        EXPECT_FALSE(QFileInfo::exists(t.dir.filePath(QStringLiteral("fuera/x"))) ||
                     QFileInfo::exists("/etc/x"));
    }
}

// Program B dies after its commit, before its records reach their files, while A is in the middle of a
// series of steps and its own journal had the same size: A writes B's step before its next one.
TEST_F(TransactionTest, AStepAnotherProgramLeftIsWrittenOnceBeforeTheNextProgramsStep)
{
    test::TestContext b, restarted;
    for (test::TestContext* c : {&b, &restarted}) {
        c->ctx.st.CurrentEnvironment = QStringLiteral("E");
        c->ctx.st.WorkDir = t.ctx.st.WorkDir;
    }
    Step(t.ctx, 1);
    const std::string beforeB = Files();
    Step(b.ctx, 2);
    for (const auto& [name, at] : {std::pair{"E.OTR", 0}, {"E.AVR", 5}, {"E.PDA", 10}})
        t.WriteFile(QLatin1String(name), beforeB.substr(at, 4));
    Step(t.ctx, 3);
    const std::string expected("B\1\0.C\2\0.D\3\0.|B\1\0.C\2\0.D\3\0.|E\4\0.", 30);
    EXPECT_EQ(Files(), expected);
    RecoverJournal(restarted.ctx);
    EXPECT_EQ(Files(), expected);
}

// A step failing at any one of its opens, writes or syncs is stored whole, or not at all and said naming
// the file; a failure once its journal is synced is not said, and the step is in its files all the same.
TEST_F(TransactionTest, AFailureAtAnyFileCallLeavesTheStepWholeOrAbsentNamingTheFile)
{
    const std::string before = Files();
    const std::pair<int, QString> errors[] = {{EIO, QStringLiteral("FALLO DE HARDWARE ")},
                                              {EACCES, QStringLiteral("ACCESO DENEGADO ")},
                                              {EMFILE, QStringLiteral("FICHEROS ABIERTOS EN EXCESO ")},
                                              {ENOSPC, QStringLiteral("ESCRITURA DE DISCO ")}};
    for (const auto& [err, text] : errors) {
        for (int at = 1, calls = 1; calls >= at; ++at) {
            QFile::remove(t.Path(QStringLiteral("E.AVR")));
            QFile::remove(t.Path(QStringLiteral("E.JNL")));
            t.WriteFile(QStringLiteral("E.OTR"), "");
            t.WriteFile(QStringLiteral("E.PDA"), std::string(Rec(0).data(), 4));
            FileFaults faults;
            bool committed = false, refused = false;
            calls = 0;
            faults.inject = [&, err = err, text = text](FileOp op, const QString& path) {
                if (op != FileOp::Lock && op != FileOp::Read && ++calls == at) {
                    if ((refused = !committed))
                        t.ui.ExpectMessage(text + QFileInfo(path).fileName());
                    return err;
                }
                committed = committed || (op == FileOp::Sync && path.endsWith(QStringLiteral(".JNL")));
                return 0;
            };
            t.ctx.faults = &faults;
            RunCommand(t.ctx, {}, [&] { Step(t.ctx, 1); });
            ASSERT_SCRIPT_DONE(t.ui) << err << ' ' << at;
            EXPECT_EQ(Files(), refused ? before : std::string("B\1\0.|B\1\0.|C\2\0.", 14)) << at;
        }
    }
}

// Where the folder cannot be locked the program says why once, starts whole (its plan years read) and
// refuses every write with that reason.
TEST(Journal, WithoutTheFolderLockEverythingReadsAndEveryWriteIsRefused)
{
    const std::pair<bool, QString> cases[] = {
        {false, QStringLiteral("EL SISTEMA DE FICHEROS NO ADMITE BLOQUEOS")},
        {true, QStringLiteral("ACCESO DENEGADO GIM.LCK")}};
    for (const auto& [unprivileged, cause] : cases) {
        test::TestContext t;
        t.WriteFile(QStringLiteral("SELECTOR.TRB"),
                    std::string("\6PLANTA\0\0\0\0\1X", 13) + std::string(17, 0));
        t.WriteFile(QStringLiteral("PLANTA.LON"), std::string{26, 28});
        t.WriteFile(QStringLiteral("PLANTA.OTR"), "");
        t.WriteFile(QStringLiteral("GIM.LCK"), ""); // another user's, that this one may not write
        FileFaults noLocks;
        noLocks.inject = [](FileOp op, const QString&) { return op == FileOp::Lock ? ENOLCK : 0; };
        t.ctx.faults = unprivileged ? nullptr : &noLocks;
        const QString reason = QStringLiteral("NO SE PUEDE BLOQUEAR LA CARPETA DE DATOS: ") + cause +
                               QStringLiteral(". SOLO SE PUEDE CONSULTAR.");
        const auto run = [&]() -> std::string {
            t.ui.ExpectMessage(reason);
            RunStartupBeforeWindow(t.ctx);
            const QString caption = MainCaption(t.ctx); // the plan years read
            t.ui.ExpectMessage(reason);
            RunCommand(t.ctx, {}, [&] { Transaction tx(t.ctx); });
            return t.ui.Verify().toStdString() +
                   (caption.contains(QStringLiteral("PLAN: 2026/28")) ? "" : "!");
        };
        EXPECT_EQ(unprivileged ? test::RunUnprivileged(t.ctx.st.WorkDir, run, false) : run(), "");
    }
}

// Two users on one shared folder, each with its own uid: every step of both is stored once.
TEST_F(TransactionTest, TwoUsersOnOneFolderLoseNoStep)
{
    constexpr int kSteps = 100;
    for (const char* name : {"E.OTR", "E.PDA"})
        ::chmod(QFile::encodeName(t.Path(QLatin1String(name))).constData(), 0666);
    const auto steps = [&](int first) {
        t.ctx.st.ProgramId = DrawProgramId();
        for (int n = first; n < first + kSteps; ++n)
            RunCommand(t.ctx, {}, [&] { Step(t.ctx, n); });
        return std::string();
    };
    const pid_t other = ::fork();
    if (other == 0)
        ::_exit(steps(0).size());
    EXPECT_EQ(test::RunUnprivileged(t.ctx.st.WorkDir, [&] { return steps(1000); }), "");
    ::waitpid(other, nullptr, 0);
    const std::string bytes = t.ReadFile(QStringLiteral("E.OTR"));
    std::set<std::string> stored;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4)
        stored.insert(bytes.substr(i, 4));
    EXPECT_EQ(std::to_string(bytes.size()) + ' ' + std::to_string(stored.size()), "800 200");
}

} // namespace
} // namespace gim
