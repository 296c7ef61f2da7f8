#include "core/environment.h"
#include "core/lookups.h"
#include "core/record_file.h"
#include "core/startup.h"
#include "records/plan_records.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace gim {
namespace {

const QString kSelector = QStringLiteral("SELECTOR.TRB");

std::string Selector(const std::string& code, const std::string& access, std::uint8_t minFreq)
{
    std::string b(30, '\0');
    b[0] = static_cast<char>(code.size());
    b.replace(1, code.size(), code);
    b[11] = static_cast<char>(access.size());
    b.replace(12, access.size(), access);
    b[28] = static_cast<char>(minFreq);
    return b;
}

TEST(Startup, FirstStartCreatesTheSelectorAndAnnouncesTheAccessCode)
{
    test::TestContext t;
    t.ui.ExpectMessage(QStringLiteral("CODIGO DE ACCESO : PORTAL"));
    RunStartupBeforeWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    // PORTAL, access code PORTAL, MinFreq 0, spare 0: exactly 30 bytes.
    EXPECT_EQ(t.ReadFile(kSelector), Selector("PORTAL", "PORTAL", 0));
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "PORTAL");
    EXPECT_EQ(t.ctx.st.AccessCode, "PORTAL");
    EXPECT_EQ(t.ctx.st.Plan1SFlag, 0);
    EXPECT_EQ(t.ctx.st.Plan2SFlag, 0);
    EXPECT_EQ(t.ctx.st.FileName(DataFile::Machine), "PORTAL.MQW");
    EXPECT_EQ(t.ctx.st.BackupFileName(DataFile::Machine), "PORTAL.MBK");
    EXPECT_EQ(t.ctx.st.BackupFileName(DataFile::Agenda), "");
    EXPECT_EQ(t.ctx.st.FileName(DataFile::PersonnelEntry), "PORTAL.APT");
    EXPECT_EQ(t.ctx.st.PersonnelFileName, "_PO.RCH");
    EXPECT_EQ(t.ctx.st.SupplierTempFileName, "POR.PVW");
    EXPECT_EQ(t.ctx.st.ReportFileName, "*.rtf");
    EXPECT_EQ(t.ctx.st.DriveText, "C:"); // the backup items read "&C:/CopiaSeg"

    // The second start finds the selector and says nothing.
    test::TestContext second;
    second.WriteFile(kSelector, t.ReadFile(kSelector));
    RunStartupBeforeWindow(second.ctx);
    EXPECT_SCRIPT_DONE(second.ui);
    EXPECT_EQ(second.ctx.st.CurrentEnvironment, "PORTAL");
}

std::string MachineBytes(const char* code, const char* name)
{
    std::string b(161, '\0');
    b[0] = static_cast<char>(std::strlen(code));
    b.replace(1, std::strlen(code), code);
    b[9] = static_cast<char>(std::strlen(name));
    b.replace(10, std::strlen(name), name);
    return b;
}

// Data folders from Windows come with any mix of letter cases.
TEST(Startup, FilesAreFoundWhateverTheCaseOfTheirNames)
{
    test::TestContext t;
    t.WriteFile(QStringLiteral("selector.trb"), Selector("PLANTA", "X", 0));
    t.WriteFile(QStringLiteral("PLANTA.mqw"), MachineBytes("A1", "Prensa") + MachineBytes("B2", "Torno"));
    RunStartupBeforeWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui); // no "CODIGO DE ACCESO": the selector was found
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "PLANTA");
    TMachineRecord rec{};
    rec.Codigo = "B2";
    FindMachine(t.ctx, t.ctx.st.FileName(DataFile::Machine), rec);
    EXPECT_EQ(rec.Denominacion.str(), "Torno");

    // A change of environment rewrites the selector under its own name: there is never a second one.
    t.ui.ExpectInput(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("planta"));
    t.ui.ExpectInput(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("M"));
    ASSERT_TRUE(ChangeEnvironment(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(QDir(t.ctx.st.WorkDir).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("GIM.LCK"), QStringLiteral("PLANTA.mqw"),
                           QStringLiteral("selector.trb")}));
    EXPECT_EQ(t.ReadFile(QStringLiteral("selector.trb")), Selector("planta", "X", 3));

    // A selector naming "planta" finds PLANTA.mqw all the same.
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "planta");
    rec = TMachineRecord{};
    rec.Codigo = "A1";
    FindMachine(t.ctx, t.ctx.st.FileName(DataFile::Machine), rec);
    EXPECT_EQ(rec.Denominacion.str(), "Prensa");
}

TEST(Startup, AWriteProtectedSelectorKeepsItsEnvironment)
{
    test::TestContext t;
    const std::string selector = Selector("PLANTA", "CLAVE", 2);
    t.WriteFile(kSelector, selector);
    test::WriteProtect(t.Path(kSelector));
    const std::string failures = test::RunUnprivileged(t.ctx.st.WorkDir, [&]() -> std::string {
        RunStartupBeforeWindow(t.ctx);
        if (t.ctx.st.CurrentEnvironment != QLatin1String("PLANTA") || t.ctx.st.Plan2SFlag != 1)
            return "the environment was not read: " + t.ctx.st.CurrentEnvironment.toStdString();
        // The change cannot be saved, and the user is told why; the environment stays.
        t.ui.ExpectInput(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"),
                         QStringLiteral("OTRA"));
        t.ui.ExpectInput(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"),
                         QStringLiteral("2S"));
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (ChangeEnvironment(t.ctx))
            return "the change was reported as done";
        if (t.ctx.st.FileName(DataFile::Machine) != QLatin1String("PLANTA.MQW"))
            return "the data files moved to " + t.ctx.st.FileName(DataFile::Machine).toStdString();
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(t.ReadFile(kSelector), selector);
}

TEST(Startup, PlanFlagsFollowTheShortestFrequency)
{
    const std::tuple<std::uint8_t, int, int> cases[] = {
        {0, 0, 0}, {1, 1, 1}, {2, 0, 1}, {3, 0, 0}, {9, 0, 0}};
    for (auto [minFreq, f1, f2] : cases) {
        test::TestContext t;
        t.WriteFile(kSelector, Selector("FABRICA", "CLAVE", minFreq));
        LoadEnvironment(t.ctx);
        EXPECT_EQ(t.ctx.st.Plan1SFlag, f1) << int(minFreq);
        EXPECT_EQ(t.ctx.st.Plan2SFlag, f2) << int(minFreq);
        EXPECT_EQ(t.ctx.st.CurrentEnvironment, "FABRICA");
        EXPECT_EQ(t.ctx.st.AccessCode, "CLAVE");
    }
}

TEST(Startup, PlanningYearsAndTheCaption)
{
    test::TestContext t(QDateTime(QDate(2008, 3, 5), QTime(9, 7, 3)));
    t.WriteFile(kSelector, Selector("PLANTA", "X", 0));
    t.WriteFile(QStringLiteral("PLANTA.LON"), std::string("\x07\x09", 2));
    RunStartupBeforeWindow(t.ctx);
    EXPECT_EQ(t.ctx.st.FirstYear, 7);
    EXPECT_EQ(t.ctx.st.LastYear, 9);
    EXPECT_EQ(t.ctx.st.PlanWeeks, 104);
    EXPECT_EQ(t.ctx.st.TodayText, "05/03/2008");
    EXPECT_EQ(t.ctx.st.WeekText, "10");
    EXPECT_EQ(t.ctx.st.WeekdayText, "3");
    EXPECT_EQ(t.ctx.st.TimeText, "9:07");
    t.ctx.st.FirmName = QStringLiteral("ACEROS DEL NORTE");
    EXPECT_EQ(MainCaption(t.ctx), "GESTION INTEGRAL DE MANTENIMIENTO DE PLANTA                   Semana:10"
                                  "          PLAN: 2007/9       05/03/2008          ACEROS DEL NORTE");
}

TEST(Startup, MissingPlanYearsGiveThisYearAndTheNext)
{
    test::TestContext t(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    t.WriteFile(kSelector, Selector("PLANTA", "X", 0));
    RunStartupBeforeWindow(t.ctx);
    EXPECT_EQ(t.ctx.st.FirstYear, 26);
    EXPECT_EQ(t.ctx.st.LastYear, 27);
    EXPECT_EQ(t.ctx.st.PlanWeeks, 0);
    EXPECT_TRUE(MainCaption(t.ctx).contains(QStringLiteral("PLAN: 2026/27")));
}

TEST(Startup, DateTextsOfTheLastDayOfAYearThatReachesWeek53)
{
    // 1 January 2018 was a Monday.
    test::TestContext t(QDateTime(QDate(2018, 12, 31), QTime(23, 59)));
    InitCurrentDate(t.ctx);
    EXPECT_EQ(t.ctx.st.WeekText, "53");
    EXPECT_EQ(t.ctx.st.DayText, "31");
    EXPECT_EQ(t.ctx.st.MonthText, "12");
    EXPECT_EQ(t.ctx.st.YearText, "2018");
    EXPECT_EQ(t.ctx.st.WeekdayText, "1");
    EXPECT_EQ(t.ctx.st.TimeText, "23:59");
}

TEST(Startup, ACorruptSelectorDoesNotStopTheStart)
{
    // Shorter than one record, its length byte past the end: the characters present are the code.
    test::TestContext t;
    t.WriteFile(kSelector, std::string("\x08PORTAL", 7));
    RunStartupBeforeWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kSelector), std::string("\x08PORTAL", 7));
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "PORTAL");

    // A length byte past the capacity is clamped.
    test::TestContext c;
    std::string sel = Selector("ABCDEFGHIJ", "K", 0);
    sel[0] = static_cast<char>(200);
    c.WriteFile(kSelector, sel);
    LoadEnvironment(c.ctx);
    EXPECT_EQ(c.ctx.st.CurrentEnvironment, "ABCDEFGHIJ");
}

TEST(Startup, AShortSelectorIsReadNeverReplaced)
{
    for (std::size_t size : {29u, 28u, 16u}) {
        test::TestContext t;
        const std::string shortSelector = Selector("PLANTA1", "CLAVE9", 1).substr(0, size);
        t.WriteFile(kSelector, shortSelector);
        RunStartupBeforeWindow(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.ReadFile(kSelector), shortSelector) << size;
        EXPECT_EQ(t.ctx.st.CurrentEnvironment, "PLANTA1") << size;
        EXPECT_EQ(t.ctx.st.FileName(DataFile::Machine), "PLANTA1.MQW") << size;
        // Sixteen bytes keep the access code's first four characters.
        EXPECT_EQ(t.ctx.st.AccessCode, size == 16 ? "CLAV" : "CLAVE9") << size;
        EXPECT_EQ(t.ctx.st.Plan1SFlag, size > 28 ? 1 : 0) << size;
    }
    // An empty selector holds no code: refused, and still not written over.
    test::TestContext e;
    e.WriteFile(kSelector, std::string());
    e.ui.ExpectMessage(QStringLiteral("CODIGO DE ENTORNO NO VALIDO"));
    RunStartupBeforeWindow(e.ctx);
    EXPECT_SCRIPT_DONE(e.ui);
    EXPECT_EQ(e.ReadFile(kSelector), std::string());
    EXPECT_EQ(e.ctx.st.CurrentEnvironment, "PORTAL");
}

TEST(Startup, ASelectorCodeThatNamesFilesElsewhereIsRefused)
{
    for (const char* bad : {"../x", "..", "A/B", "C:\\X", "A B"}) {
        test::TestContext t;
        const std::string sel = Selector(bad, "CLAVE", 0);
        t.WriteFile(kSelector, sel);
        t.ui.ExpectMessage(QStringLiteral("CODIGO DE ENTORNO NO VALIDO"));
        RunStartupBeforeWindow(t.ctx);
        EXPECT_SCRIPT_DONE(t.ui);
        EXPECT_EQ(t.ReadFile(kSelector), sel) << bad;
        EXPECT_EQ(t.ctx.st.CurrentEnvironment, "PORTAL") << bad;
        EXPECT_EQ(t.ctx.st.FileName(DataFile::Machine), "PORTAL.MQW") << bad;
        EXPECT_EQ(t.ctx.st.AccessCode, "CLAVE") << bad;
        EXPECT_EQ(QDir(t.ctx.Path(QString())).entryList(QDir::Files | QDir::NoDotAndDotDot),
                  (QStringList{QStringLiteral("GIM.LCK"), kSelector}))
            << bad;
    }
}

TEST(Startup, CodesWithWindowsLettersRun)
{
    // "ESPAÑA" as the selector stores it, in Windows-1252.
    test::TestContext t;
    t.WriteFile(kSelector, Selector(std::string("ESPA") + '\xD1' + 'A', "CLAVE", 0));
    RunStartupBeforeWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, QStringLiteral("ESPAÑA"));
    EXPECT_EQ(t.ctx.st.FileName(DataFile::Machine), QStringLiteral("ESPAÑA.MQW"));

    for (const QString& code : {QStringLiteral("AÑO2026"), QStringLiteral("ÁREA"), QStringLiteral("ESPAÑA")})
        EXPECT_TRUE(IsSafeEnvironmentCode(code)) << code.toStdString();
    // Outside the code page, or not a letter.
    for (const QString& code : {QStringLiteral("ĀREA"), QStringLiteral("A€"), QStringLiteral("A\u00A0B")})
        EXPECT_FALSE(IsSafeEnvironmentCode(code)) << code.toStdString();
}

class ChangeEnvironmentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.WriteFile(kSelector, Selector("PORTAL", "CLAVE", 2));
        t.WriteFile(QStringLiteral("NUEVA.LON"), std::string("\x1a\x1c", 2));
        LoadEnvironment(t.ctx);
        InitPlanningYears(t.ctx);
        t.ctx.st.FirmName = QStringLiteral("ANTIGUA");
        BuildFirmFileNames(t.ctx);
    }
    test::TestContext t;
};

TEST_F(ChangeEnvironmentTest, ANewCodeRebuildsTheWholeEnvironment)
{
    t.ui.ExpectInput(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("NUEVA"));
    t.ui.ExpectInput(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("1S"));
    EXPECT_TRUE(ChangeEnvironment(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
    // The record is rewritten over the one read: the bytes past the new code's length stay as they were.
    std::string expected = Selector("NUEVA", "CLAVE", 1);
    expected[6] = 'L';
    EXPECT_EQ(t.ReadFile(kSelector), expected);
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "NUEVA");
    EXPECT_EQ(t.ctx.st.FileName(DataFile::WorkReport), "NUEVA.PDA");
    EXPECT_EQ(t.ctx.st.FirstYear, 26);
    EXPECT_EQ(t.ctx.st.LastYear, 28);
    EXPECT_EQ(t.ctx.st.PlanWeeks, 104);
    EXPECT_EQ(t.ctx.st.Plan1SFlag, 1);
    EXPECT_EQ(t.ctx.st.FirmName, "");
    EXPECT_EQ(t.ctx.st.PersonnelFileName, "_NU.RCH");
}

TEST_F(ChangeEnvironmentTest, DefaultsComeFromTheSelectorAndLongCodesAreCut)
{
    // Cancelling the prompts keeps their defaults: the current code and the stored frequency "2S".
    t.ui.ExpectInput(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("ABCDEFGHIJKL"));
    t.ui.ExpectInputCancel(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"));
    EXPECT_TRUE(ChangeEnvironment(t.ctx));
    EXPECT_EQ(t.ReadFile(kSelector), Selector("ABCDEFGH", "CLAVE", 2));
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "ABCDEFGH");
    EXPECT_EQ(t.ctx.st.FileName(DataFile::Machine), "ABCDEFGH.MQW");

    // A lower-case answer is not "1S".
    t.ui.ExpectInputCancel(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"));
    t.ui.ExpectInput(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("1s"));
    EXPECT_TRUE(ChangeEnvironment(t.ctx));
    EXPECT_EQ(static_cast<int>(t.ReadFile(kSelector)[28]), 3);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(ChangeEnvironmentTest, AVanishedSelectorIsWrittenAgainWithTheSessionsAccessCode)
{
    QFile::remove(t.ctx.Path(kSelector));
    // Nothing to read: the frequency default is "M" and no message is shown.
    t.ui.ExpectInput(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("NUEVA"));
    t.ui.ExpectInputCancel(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"));
    EXPECT_TRUE(ChangeEnvironment(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kSelector), Selector("NUEVA", "CLAVE", 3));
    EXPECT_EQ(t.ctx.st.AccessCode, "CLAVE");
    EXPECT_EQ(t.ctx.st.CurrentEnvironment, "NUEVA");
}

TEST_F(ChangeEnvironmentTest, CodesThatCannotNameFilesChangeNothing)
{
    const std::string before = t.ReadFile(kSelector);
    for (const char* bad : {"#", "", "*", "A/B", "..", "A B", "C:\\X"}) {
        t.ui.ExpectInput(QStringLiteral("CAMBIO DE ENTORNO"), QStringLiteral("Entrar Codigo"),
                         QLatin1String(bad));
        t.ui.ExpectInput(QStringLiteral("GAMA MINIMA FRECUENCIA"), QStringLiteral("Entrar Codigo"),
                         QStringLiteral("M"));
        if (QLatin1String(bad) != QLatin1String("#"))
            t.ui.ExpectMessage(QStringLiteral("CODIGO DE ENTORNO NO VALIDO"));
        EXPECT_FALSE(ChangeEnvironment(t.ctx)) << bad;
        EXPECT_EQ(t.ReadFile(kSelector), before) << bad;
        EXPECT_EQ(t.ctx.st.CurrentEnvironment, "PORTAL") << bad;
        EXPECT_EQ(t.ctx.st.FileName(DataFile::Machine), "PORTAL.MQW") << bad;
    }
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim

namespace gim {
namespace {

TEST(Startup, FeatureStepsRunInTheirOrderAndAgainAfterAChange)
{
    test::TestContext t;
    t.WriteFile(QStringLiteral("SELECTOR.TRB"), Selector("PLANTA", "X", 0));
    QStringList ran;
    auto& steps = t.ctx.Module<StartupSteps>();
    steps.environmentData.emplace(9, [&](Context&) { ran << "repairs"; });
    steps.environmentData.emplace(7, [&](Context& c) { ran << "agenda " + c.st.CurrentEnvironment; });
    steps.environmentData.emplace(8, [&](Context&) { ran << "personnel"; });
    steps.afterWindow.emplace(11, [&](Context&) { ran << "codes"; });
    RunStartupBeforeWindow(t.ctx);
    RunStartupAfterWindow(t.ctx);
    EXPECT_EQ(ran, (QStringList{"agenda PLANTA", "personnel", "repairs", "codes"}));
}

} // namespace
} // namespace gim
