#include "core/command.h"
#include "core/record_file.h"
#include "records/machine_record.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace gim {
namespace {

TMachineRecord Machine(const char* code)
{
    TMachineRecord r{};
    r.Codigo = code;
    r.Denominacion = "MAQUINA";
    r.Cuenta = "CTA";
    r.Disponible = "SI";
    return r;
}

TEST(IoErrorText, KnownCodesAndOthers)
{
    EXPECT_EQ(IoErrorText(2), "FICHERO NO ENCONTRADO");
    EXPECT_EQ(IoErrorText(5), "ACCESO DENEGADO");
    EXPECT_EQ(IoErrorText(17), "IMPOSIBILIDAD DE RENOMBRAR");
    EXPECT_EQ(IoErrorText(100), "LECTURA DE DISCO");
    EXPECT_EQ(IoErrorText(101), "ESCRITURA DE DISCO");
    EXPECT_EQ(IoErrorText(162), "FALLO DE HARDWARE");
    EXPECT_EQ(IoErrorText(200), "DIVISION POR CERO");
    EXPECT_EQ(IoErrorText(7), "Codigo de Error: 7");
    EXPECT_EQ(IoErrorText(255), "Codigo de Error: 255");
    EXPECT_EQ(IoCodeFromErrno(ENOENT), 2);
    EXPECT_EQ(IoCodeFromErrno(EACCES), 5);
    EXPECT_EQ(IoCodeFromErrno(ENOSPC), 101);
}

TEST(RecordFile, MissingFileIsAnOpenFailureWithItsMessage)
{
    test::TestContext t;
    t.ui.ExpectMessage(QStringLiteral("FICHERO NO ENCONTRADO"));
    RecordFile<TMachineRecord> f(t.ctx);
    const IoResult missing = f.Open(QStringLiteral("NADA.MQW"), RawRecordFile::Mode::Update);
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.path, t.ctx.st.WorkDir + QStringLiteral("/NADA.MQW"));
    EXPECT_FALSE(NoteIoResult(t.ctx, missing, Report::Show));
    EXPECT_EQ(t.ctx.st.LastIOResult, 2);
    // A silent open only stores the result.
    t.ctx.st.LastIOResult = 0;
    EXPECT_FALSE(
        NoteIoResult(t.ctx, f.Open(QStringLiteral("NADA.MQW"), RawRecordFile::Mode::Read), Report::Silent));
    EXPECT_EQ(t.ctx.st.LastIOResult, 2);
    EXPECT_FALSE(t.Exists(QStringLiteral("NADA.MQW"))); // an open never creates a file
    // A folder in the file's place is no record file.
    ASSERT_TRUE(QDir(t.ctx.st.WorkDir).mkdir(QStringLiteral("DIR.MQW")));
    EXPECT_EQ(f.Open(QStringLiteral("DIR.MQW"), RawRecordFile::Mode::Read).code, 5);
    // No caller expects one: even a silent one has it said.
    t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
    EXPECT_FALSE(
        NoteIoResult(t.ctx, f.Open(QStringLiteral("DIR.MQW"), RawRecordFile::Mode::Read), Report::Silent));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(RecordFile, WritesRecordsAtTheirPositionsAndCountsWholeRecords)
{
    test::TestContext t;
    {
        RecordFile<TMachineRecord> f(t.ctx);
        ASSERT_TRUE(f.Open(QStringLiteral("A.MQW"), RawRecordFile::Mode::OpenOrCreate));
        f.Append(Machine("M1"));
        f.Append(Machine("M2"));
        f.Write(0, Machine("M0"));
        EXPECT_EQ(f.Count(), 2u);
        EXPECT_TRUE(f.Read(1).Codigo == "M2");
    }
    std::string bytes = t.ReadFile(QStringLiteral("A.MQW"));
    ASSERT_EQ(bytes.size(), 322u);
    EXPECT_EQ(bytes.substr(0, 3), std::string("\x02M0", 3));
    EXPECT_EQ(bytes.substr(161, 3), std::string("\x02M2", 3));

    // A torn last record (an interrupted old program) is not counted and its bytes are not read.
    t.WriteFile(QStringLiteral("A.MQW"), bytes + std::string(40, 'x'));
    RecordFile<TMachineRecord> f(t.ctx);
    ASSERT_TRUE(f.Open(QStringLiteral("A.MQW"), RawRecordFile::Mode::Read));
    EXPECT_EQ(f.Count(), 2u);
    EXPECT_EQ(f.ReadAll().size(), 2u);
    try {
        f.Read(2);
        ADD_FAILURE() << "a read past the end went through";
    } catch (const IoAbort& e) {
        EXPECT_EQ(e.code(), 100);
    }
    // An append goes after the last whole record, over the torn tail.
    f.Close();
    ASSERT_TRUE(f.Open(QStringLiteral("A.MQW"), RawRecordFile::Mode::OpenOrCreate));
    EXPECT_EQ(f.Append(Machine("M3")), 2u);
    EXPECT_EQ(t.ReadFile(QStringLiteral("A.MQW")).size(), 3u * 161u);
}

TEST(CommandRunner, AbandonsTheCommandOnAReadFailureAndClearsTheCodes)
{
    test::TestContext t;
    t.WriteFile(QStringLiteral("A.MQW"), std::string(100, '\0')); // less than one record
    t.ui.ExpectMessage(QStringLiteral("LECTURA DE DISCO"));
    bool after = false;
    const bool done = RunCommand(
        t.ctx, {.action = QStringLiteral("2"), .output = QStringLiteral("P"), .sub = QStringLiteral("X")},
        [&] {
            EXPECT_EQ(t.ctx.st.ActionCode, "2");
            RecordFile<TMachineRecord> f(t.ctx);
            ASSERT_TRUE(f.Open(QStringLiteral("A.MQW"), RawRecordFile::Mode::Read));
            f.Read(0);
            after = true;
        });
    EXPECT_FALSE(done);
    EXPECT_FALSE(after);
    EXPECT_EQ(t.ctx.st.ActionCode, "");
    EXPECT_EQ(t.ctx.st.OutputCode, " ");
    EXPECT_EQ(t.ctx.st.SubCode, " ");
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST(CommandRunner, GuardKeepsTheCallersCodesAcrossNestedCalls)
{
    test::TestContext t;
    t.ctx.st.ActionCode = QStringLiteral("E");
    t.ctx.st.AnswerCode = QStringLiteral("S");
    {
        ModeCodeGuard guard(t.ctx);
        t.ctx.st.ActionCode = QStringLiteral("i");
        t.ctx.st.AnswerCode = QStringLiteral("N");
    }
    EXPECT_EQ(t.ctx.st.ActionCode, "E");
    EXPECT_EQ(t.ctx.st.AnswerCode, "S");
}

TEST(AtomicWrite, AFailingWriteLeavesTheOldFileWhole)
{
    test::TestContext t;
    const std::string old = "viejo contenido";
    t.WriteFile(QStringLiteral("A.MQW"), old);
    FileFaults faults;
    for (FileOp failing : {FileOp::Write, FileOp::Sync, FileOp::Rename, FileOp::Create}) {
        faults.inject = [failing](FileOp op, const QString&) { return op == failing ? ENOSPC : 0; };
        t.ctx.faults = &faults;
        EXPECT_THROW(WriteFileAtomically(t.ctx, t.Path(QStringLiteral("A.MQW")), std::string(500, 'n')),
                     IoAbort);
        EXPECT_EQ(t.ReadFile(QStringLiteral("A.MQW")), old);
        EXPECT_FALSE(t.Exists(QStringLiteral("A.MQW.tmp~")));
    }
    t.ctx.faults = nullptr;
    WriteFileAtomically(t.ctx, t.Path(QStringLiteral("A.MQW")), "nuevo");
    EXPECT_EQ(t.ReadFile(QStringLiteral("A.MQW")), "nuevo");
}

// A sort that finds its file in order writes nothing: the file stays where it is, and any change replaces it.
TEST(AtomicWrite, AFileAlreadyHoldingTheBytesStaysInPlace)
{
    const struct
    {
        std::string now, wanted;
        bool inPlace;
    } cases[] = {{"M0001M0002", "M0001M0002", true},
                 {"M0001M0002", "M0002M0001", false},
                 {"M0001M0002", "M0001M0002M", false},
                 {"M0001M0002", "M0001", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wanted);
        test::TestContext t;
        t.WriteFile(QStringLiteral("A.MQW"), c.now);
        const auto inode = [&] {
            struct stat st
            {
            };
            ::stat(QFile::encodeName(t.Path(QStringLiteral("A.MQW"))).constData(), &st);
            return st.st_ino;
        };
        const auto before = inode();
        ReplaceDataFile(t.ctx, QStringLiteral("A.MQW"), c.wanted);
        EXPECT_EQ(t.ReadFile(QStringLiteral("A.MQW")), c.wanted);
        EXPECT_EQ(inode() == before, c.inPlace);
    }
}

} // namespace
} // namespace gim
