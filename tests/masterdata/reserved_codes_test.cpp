#include "core/drive_paths.h"
#include "core/startup.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/reserved_codes_window.h"
#include "masterdata_fixture.h"
#include "platform/report.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <functional>
#include <sys/stat.h>

namespace gim {
namespace {

using test::RecordBytes;

const QString kWindow = QStringLiteral("CODIGOS RESERVADOS ");
const QString kFile = QStringLiteral("PORTAL.CDG");

class ReservedCodesTest : public test::MasterdataTest
{
protected:
    std::vector<TReservedCodeRecord> Records() { return LoadRecords<TReservedCodeRecord>(t.ctx, kFile); }
    // The file as the window saves it with these records hidden.
    void StoreHidden(std::initializer_list<std::size_t> hidden)
    {
        std::vector<bool> visible(ReservedCounts().Total(), true);
        for (std::size_t i : hidden)
            visible[i] = false;
        ASSERT_TRUE(WriteReservedCodes(t.ctx, visible));
    }
    // Runs `body` as a user whom file permissions bind; its failures come back as text.
    std::string AsUser(const std::function<std::string()>& body)
    {
        // The data folder lies inside the temporary folder, which that user must be able to cross.
        EXPECT_EQ(::chmod(QFile::encodeName(root).constData(), 0755), 0);
        return test::RunUnprivileged(data, body);
    }
};

TEST_F(ReservedCodesTest, FileHoldsOneRecordPerItemOfTheTenListsInOrder)
{
    const ReservedCodeCounts& c = ReservedCounts();
    EXPECT_EQ(
        (std::vector<int>{c.CodPrevenCount, c.CodeConCount, c.CodeRepCount, c.CodeAvCount, c.CODINGENCount,
                          c.CODRUTASCount, c.CODVARIOSCount, c.FrecueMTPCount, c.EspeciMTPCount,
                          c.EstadoMTPCount, c.ActionReservedCodeCount, c.GamaReservedCodeCount}),
        (std::vector<int>{11, 6, 39, 10, 9, 13, 11, 11, 17, 2, 99, 30}));

    StoreHidden({3});
    const std::string bytes = t.ReadFile(kFile);
    ASSERT_EQ(bytes.size(), 129u * 56u);
    auto record = [&](std::size_t i) { return bytes.substr(i * 56, 56); };
    auto expected = [](const RecordBytes& b) { return std::string(b.Bytes().begin(), b.Bytes().end()); };
    EXPECT_EQ(record(3), expected(RecordBytes(56).Text(0, "PM").Text(6, "Prev. Mensual").Raw(55, {0})));
    // A code standing in two lists carries the same description in both.
    const std::string pc = expected(RecordBytes(56).Text(0, "PC").Text(6, "Ruta Contadores").Raw(55, {1}));
    EXPECT_EQ(record(77), pc);
    EXPECT_EQ(record(122), pc);
    EXPECT_EQ(record(16),
              expected(RecordBytes(56).Text(0, "CS").Text(6, "Conduct. Supervisi\xF3n").Raw(55, {1})));
    EXPECT_EQ(record(128), expected(RecordBytes(56).Text(0, "P").Text(6, "M\xE1quina Parada").Raw(55, {1})));

    // First and last code of each list at the records its range gives.
    const std::vector<std::pair<std::size_t, const char*>> bounds{
        {0, "P1D"}, {10, "PTF"}, {11, "CA"},  {16, "CS"},  {17, "RM"}, {55, "RT"}, {56, "VE"},
        {65, "VO"}, {66, "IC"},  {74, "IJ"},  {75, "PA"},  {87, "PT"}, {88, "AL"}, {98, "TL"},
        {99, "1D"}, {109, "TF"}, {110, "MC"}, {126, "PH"}, {127, "O"}, {128, "P"}};
    const auto records = Records();
    for (const auto& [index, code] : bounds)
        EXPECT_EQ(records[index].Code.str(), QString::fromLatin1(code)) << index;
}

TEST_F(ReservedCodesTest, StartUpCompletesAFileOfAnOlderListSetOnce)
{
    // Missing: left for the first use.
    RunStartupAfterWindow(t.ctx);
    EXPECT_FALSE(t.Exists(kFile));

    std::vector<TReservedCodeRecord> older = BuiltInReservedCodes();
    older.pop_back();
    for (auto& r : older)
        r.Visible = 0;
    StoreRecords(t.ctx, kFile, older);
    t.ui.ExpectMessage(QStringLiteral("SE HAN AÑADIDO NUEVOS CODIGOS RESERVADOS"));
    RunStartupAfterWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kFile), Bytes(BuiltInReservedCodes())); // every code shown again

    // A complete file is left as it is, hidden codes included.
    StoreHidden({3});
    const std::string hidden = t.ReadFile(kFile);
    RunStartupAfterWindow(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kFile), hidden);
}

// A check on the window: whether a code of a list is ticked (shown).
std::function<void(const CardState&)> Ticked(const char* list, const char* code, bool on)
{
    return [=](const CardState& state) {
        const ReservedCodeList* found = nullptr;
        for (const ReservedCodeList& l : ReservedCodeLists())
            if (QLatin1String(l.name) == QLatin1String(list))
                found = &l;
        ASSERT_NE(found, nullptr) << list;
        int item = -1;
        for (std::size_t i = 0; i < found->items.size(); ++i)
            if (QLatin1String(found->items[i].code) == QLatin1String(code))
                item = static_cast<int>(i);
        ASSERT_GE(item, 0) << code;
        EXPECT_EQ(state.ticked(QString::fromLatin1(list), item), on) << list << "." << code;
    };
}

// A protected file used to be taken for a missing one: the window showed every code ticked and its save
// replaced the file with every code shown.
TEST_F(ReservedCodesTest, AWriteProtectedFileIsShownAsStoredAndItsSaveIsRefusedWithoutChange)
{
    StoreHidden({3});
    const std::string hidden = t.ReadFile(kFile);
    test::WriteProtect(t.Path(kFile));
    const std::string failures = AsUser([&]() -> std::string {
        RunStartupAfterWindow(t.ctx); // complete: nothing to say
        t.ui.ExpectCard(kWindow)
            .Inspect(Ticked("CodPreven", "PM", false))
            .Inspect(Ticked("CodPreven", "PM2", true))
            .Toggle("CodPreven", "P1D")
            .Press("Salvaracc");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Utiles > Códigos Rsv."))
            return "the window's command failed";
        const QStringList actions = ActionCodeChoices(t.ctx);
        if (actions.size() != 98 || actions.contains(QStringLiteral("PM")) ||
            !actions.contains(QStringLiteral("P1D")))
            return "the entry lists do not follow the protected file";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(t.ReadFile(kFile), hidden);

    // A file that cannot even be read is reported and left alone, never created anew.
    ASSERT_EQ(::chmod(QFile::encodeName(t.Path(kFile)).constData(), 0), 0);
    const std::string unreadable = AsUser([&]() -> std::string {
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Utiles > Códigos Rsv."))
            return "the window's command failed";
        if (!ActionCodeChoices(t.ctx).isEmpty())
            return "codes offered from an unreadable file";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(unreadable, "");
    EXPECT_EQ(t.ReadFile(kFile), hidden);
}

// The start-up completion of an older list set reports a protected file instead of replacing it.
TEST_F(ReservedCodesTest, StartUpLeavesAWriteProtectedFileOfAnOlderListSet)
{
    std::vector<TReservedCodeRecord> older = BuiltInReservedCodes();
    older.pop_back();
    older[3].Visible = 0;
    StoreRecords(t.ctx, kFile, older);
    test::WriteProtect(t.Path(kFile));
    const std::string failures = AsUser([&]() -> std::string {
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        RunStartupAfterWindow(t.ctx);
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(t.ReadFile(kFile), Bytes(older));
}

TEST_F(ReservedCodesTest, WindowHidesACodeAndTheEntryListsNoLongerOfferIt)
{
    // The first use only creates the file, every code shown.
    ASSERT_TRUE(RunMenu("Utiles > Códigos Rsv."));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kFile), Bytes(BuiltInReservedCodes()));
    EXPECT_TRUE(ActionCodeChoices(t.ctx).contains(QStringLiteral("PM")));

    t.ui.ExpectCard(kWindow)
        .ExpectValue("DescripPT", "P1D  Prev. Diario")
        .ExpectValue("DescripLabel", "Descripción Códigos de Acciones de MTO. Preventivo")
        .Toggle("CodPreven", "PM")
        .ExpectValue("DescripPT", "PM  Prev. Mensual")
        .Toggle("EspeciMTP", "PC")
        .ExpectValue("DescripPT", "PC  Ruta Contadores")
        .ExpectValue("DescripLabel", "Descripción Códigos Especialidad de Operación Revisiónes.")
        .Press("Salvaracc");
    ASSERT_TRUE(RunMenu("Utiles > Códigos Rsv."));
    EXPECT_SCRIPT_DONE(t.ui);

    const auto records = Records();
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i].Visible, (i == 3 || i == 122) ? 0 : 1) << i;
    const QStringList actions = ActionCodeChoices(t.ctx);
    EXPECT_EQ(actions.size(), 98);
    EXPECT_FALSE(actions.contains(QStringLiteral("PM")));
    EXPECT_TRUE(actions.contains(QStringLiteral("PC"))); // the route action stays
    const GamaCodeChoices gamas = GamaCodeChoicesFromFile(t.ctx);
    EXPECT_EQ(gamas.frequencies.size(), 11);
    EXPECT_EQ(gamas.specialities.size(), 16);
    EXPECT_FALSE(gamas.specialities.contains(QStringLiteral("PC")));
    EXPECT_EQ(gamas.states, (QStringList{"O", "P"}));

    // The window opens with the stored marks; leaving it changes nothing.
    const std::string saved = t.ReadFile(kFile);
    t.ui.ExpectCard(kWindow)
        .Inspect(Ticked("CodPreven", "PM", false))
        .Inspect(Ticked("CodPreven", "PM2", true))
        .Press("salir");
    ASSERT_TRUE(RunMenu("Utiles > Códigos Rsv."));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(kFile), saved);

    // A double-click shows a whole action or speciality list again; the frequency and state lists
    // do not answer it.
    StoreHidden({3, 100, 122, 127});
    t.ui.ExpectCard(kWindow)
        .DoubleClick("CodPreven")
        .Inspect(Ticked("CodPreven", "PM", true))
        .DoubleClick("EspeciMTP")
        .Inspect(Ticked("EspeciMTP", "PC", true))
        .DoubleClick("FrecueMTP")
        .Inspect(Ticked("FrecueMTP", "1S", false))
        .DoubleClick("EstadoMTP")
        .Press("Salvaracc");
    ASSERT_TRUE(RunMenu("Utiles > Códigos Rsv."));
    EXPECT_SCRIPT_DONE(t.ui);
    const auto shown = Records();
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i].Visible, (i == 100 || i == 127) ? 0 : 1) << i;
}

TEST_F(ReservedCodesTest, HiddenFrequencyDoesNotMoveTheOtherRoutineLists)
{
    StoreHidden({100, 110}); // "1S" and "MC"
    const GamaCodeChoices gamas = GamaCodeChoicesFromFile(t.ctx);
    EXPECT_EQ(gamas.frequencies, (QStringList{"1D", "2S", "M", "M2", "M3", "M4", "S", "S2", "S4", "TF"}));
    EXPECT_EQ(gamas.specialities.first(), QStringLiteral("E"));
    EXPECT_EQ(gamas.specialities.size(), 16);
    EXPECT_EQ(gamas.states, (QStringList{"O", "P"}));
}

// The listing used to stay blue after the first hidden code.
TEST_F(ReservedCodesTest, ListingShowsHiddenCodesInBlueAndTheOthersInBlack)
{
    StoreHidden({3, 12});
    t.ui.ExpectCard(kWindow).Press("Imprimir");
    t.ui.ExpectReport(QStringLiteral("TIPO DE ACCIONES DE MANTENIMIENTO DE PORTAL"));
    ASSERT_TRUE(RunMenu("Utiles > Códigos Rsv."));
    EXPECT_SCRIPT_DONE(t.ui);
    const ReportDocument& doc = *t.ui.Reports().back();
    EXPECT_TRUE(doc.Transcript().startsWith(
        QStringLiteral("[TIPO DE ACCIONES DE MANTENIMIENTO DE PORTAL]\n"
                       "TABS: 20 70 120 170\n"
                       "{13 b}\tFABRICA\t\t\tPORTAL\n"
                       "\n"
                       "\t\t          LISTADO CODIGOS RESERVADOS DE MANTENIMIENTO a 07/12/2026\n"
                       "{10 b}\n"
                       "\t\tACCIONES DE MANTENIMIENTO PREVENTIVO\n"
                       "\n"
                       "\tNº\tVISIBLE\tCODIGO\tDENOMINACION\n"
                       "{10}\n"
                       "\t1\tSI\tP1D\tPrev. Diario\n"
                       "\t2\tSI\tP1S\tPrev. Semanal\n"
                       "\t3\tSI\tP2S\tPrev. Qincenal\n"
                       "{10 #0000ff}\t4\tNO\tPM\tPrev. Mensual\n"
                       "{10}\t5\tSI\tPM2\tPrev. Bimensual\n")))
        << doc.Transcript().toStdString();

    // Every record has its row, numbered over the whole file, in the colour of its mark.
    int rows = 0;
    for (const ReportLine& line : doc.Lines()) {
        const QStringList cols = line.Text().split(QLatin1Char('\t'));
        if (cols.size() != 5 || (cols[2] != QLatin1String("SI") && cols[2] != QLatin1String("NO")))
            continue;
        ++rows;
        EXPECT_EQ(cols[1], QString::number(rows));
        const bool hidden = rows == 4 || rows == 13;
        EXPECT_EQ(cols[2], hidden ? QStringLiteral("NO") : QStringLiteral("SI"));
        EXPECT_EQ(doc.StyleOf(line.runs.front()).colour, hidden ? kReportBlue : kReportBlack) << rows;
    }
    EXPECT_EQ(rows, 129);
    EXPECT_TRUE(doc.Text().contains(QStringLiteral("\n\t\tESTADO DE LA MÁQUINA EN LAS REVISIONES MTO.\n\n"
                                                   "\tNº\tVISIBLE\tCODIGO\tDENOMINACION\n\n"
                                                   "\t128\tSI\tO\tMáquina Operativa\n"
                                                   "\t129\tSI\tP\tMáquina Parada")));
}

TEST_F(ReservedCodesTest, ExportWritesTheShownPreventiveCodes)
{
    StoreHidden({3, 20});
    t.ui.ExpectMessage(
        QStringLiteral("Se ha generado correctamente el FICHERO en C:\\CopiaSeg\\VeltWeb\\PORTAL_TM.rtf"));
    t.ui.ExpectReport(QStringLiteral("TIPO DE ACCIONES DE MANTENIMIENTO DE PORTAL"));
    ASSERT_TRUE(RunMenu("Utiles > Veltrano Web > CrearFicheros > Tipos Mto"));
    EXPECT_SCRIPT_DONE(t.ui);
    QFile file(WebExchangeFolder(data) + QStringLiteral("/PORTAL_TM.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("P1D\tPrev. Diario\r\n"
                                         "P1S\tPrev. Semanal\r\n"
                                         "P2S\tPrev. Qincenal\r\n"
                                         "PM2\tPrev. Bimensual\r\n"
                                         "PM3\tPrev. Trimestral\r\n"
                                         "PM4\tPrev. CuatriMestral\r\n"
                                         "PS\tPrev. Semestral\r\n"
                                         "PS2\tPrev. Anual\r\n"
                                         "PS4\tPrev. Bianual\r\n"
                                         "PTF\tPrev. por Tiempo Funcionamiento\r\n"));
    EXPECT_EQ(t.ui.Reports().back()->Transcript(),
              QStringLiteral("[TIPO DE ACCIONES DE MANTENIMIENTO DE PORTAL]\n"
                             "TABS: 20 80 120 170\n"
                             "P1D\tPrev. Diario\n"
                             "P1S\tPrev. Semanal\n"
                             "P2S\tPrev. Qincenal\n"
                             "PM2\tPrev. Bimensual\n"
                             "PM3\tPrev. Trimestral\n"
                             "PM4\tPrev. CuatriMestral\n"
                             "PS\tPrev. Semestral\n"
                             "PS2\tPrev. Anual\n"
                             "PS4\tPrev. Bianual\n"
                             "PTF\tPrev. por Tiempo Funcionamiento\n"));
}

// Only the window's first use makes the file; before it the export gives the built-in codes, all shown.
TEST_F(ReservedCodesTest, ExportBeforeTheFileExistsGivesEveryPreventiveCodeAndCreatesNoFile)
{
    t.ui.ExpectMessage(
        QStringLiteral("Se ha generado correctamente el FICHERO en C:\\CopiaSeg\\VeltWeb\\PORTAL_TM.rtf"));
    t.ui.ExpectReport(QStringLiteral("TIPO DE ACCIONES DE MANTENIMIENTO DE PORTAL"));
    ASSERT_TRUE(RunMenu("Utiles > Veltrano Web > CrearFicheros > Tipos Mto"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(QDir(data).entryList({QStringLiteral("*.cdg")}, QDir::Files), QStringList());
    QFile file(WebExchangeFolder(data) + QStringLiteral("/PORTAL_TM.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("P1D\tPrev. Diario\r\n"
                                         "P1S\tPrev. Semanal\r\n"
                                         "P2S\tPrev. Qincenal\r\n"
                                         "PM\tPrev. Mensual\r\n"
                                         "PM2\tPrev. Bimensual\r\n"
                                         "PM3\tPrev. Trimestral\r\n"
                                         "PM4\tPrev. CuatriMestral\r\n"
                                         "PS\tPrev. Semestral\r\n"
                                         "PS2\tPrev. Anual\r\n"
                                         "PS4\tPrev. Bianual\r\n"
                                         "PTF\tPrev. por Tiempo Funcionamiento\r\n"));
}

// The export used to announce the file even when it could not be written.
TEST_F(ReservedCodesTest, ExportThatCannotWriteItsFileSaysWhyAndNotThatItWorked)
{
    StoreHidden({});
    FileFaults faults;
    faults.inject = [](FileOp op, const QString& path) {
        return op == FileOp::Write && path.endsWith(QLatin1String("PORTAL_TM.rtf")) ? ENOSPC : 0;
    };
    t.ctx.faults = &faults;
    t.ui.ExpectMessage(QStringLiteral("ESCRITURA DE DISCO"));
    t.ui.ExpectReport(QStringLiteral("TIPO DE ACCIONES DE MANTENIMIENTO DE PORTAL"));
    ASSERT_TRUE(RunMenu("Utiles > Veltrano Web > CrearFicheros > Tipos Mto"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(QFileInfo::exists(WebExchangeFolder(data) + QStringLiteral("/PORTAL_TM.rtf")));
}

TEST_F(ReservedCodesTest, DescriptionsComeFromTheBuiltInListsAndYearRestartCopiesTheFile)
{
    TReservedCodeRecord rec{};
    rec.Code = "RFF";
    DefaultReservedDescription(rec);
    EXPECT_EQ(rec.Description.str(), QStringLiteral("Reposición Gas en Equipo de Frío"));
    rec.Code = "XX";
    rec.Description = "propia";
    DefaultReservedDescription(rec);
    EXPECT_EQ(rec.Description.str(), QStringLiteral("propia"));

    CopyReservedCodes(t.ctx, QStringLiteral("PORTAL26")); // nothing to copy: nothing happens
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL26.CDG")));
    StoreHidden({5});
    CopyReservedCodes(t.ctx, QStringLiteral("PORTAL26"));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL26.CDG")), t.ReadFile(kFile));
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim
