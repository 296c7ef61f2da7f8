#include "masterdata/machine_card.h"
#include "masterdata/machines.h"
#include "masterdata_fixture.h"
#include "records/operation_record.h"
#include "records/work_report_record.h"

#include "support/unprivileged.h"

#include <QFileInfo>

namespace gim {
namespace {

using test::RecordBytes;

const QString kCard = QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS");
const QString kNotSuitable = QStringLiteral("CODIGO NO ADECUADO ANULADA ALTA MÁQUINA");
const QString kInOperations = QStringLiteral("EXISTEN OPERACIONES DE REVISION DEFINIDAS DE ESTA MAQUINA\r"
                                             "            BORRARLAS ANTES DE BORRAR");
const QString kInReports = QStringLiteral("EXISTEN PARTES DIARIOS ASIGNADOS A ESTA MAQUINA\r"
                                          "            MODIFICARLOS ANTES DE BORRAR");

class MachinesTest : public test::MasterdataTest
{
protected:
    std::vector<std::string> ListCodes()
    {
        std::vector<std::string> codes;
        for (const MachineEntry& e : Machines(t.ctx).MachineList)
            codes.emplace_back(e.rec.Codigo.bytes());
        return codes;
    }
    std::vector<std::uint32_t> ListPositions()
    {
        std::vector<std::uint32_t> positions;
        for (const MachineEntry& e : Machines(t.ctx).MachineList)
            positions.push_back(e.pos);
        return positions;
    }
    // The edit command's prompt.
    void ExpectEditPrompt(const char* code)
    {
        t.ui.ExpectInput(QStringLiteral("EDICION DE MÁQUINAS"), QStringLiteral("Entrar Codigo"),
                         QString::fromLatin1(code));
    }
    void StoreOperations(const std::vector<const char*>& codes)
    {
        std::vector<TOperationRecord> ops;
        for (const char* code : codes) {
            TOperationRecord op{};
            op.MachineCode = code;
            op.Frequency = "M";
            ops.push_back(op);
        }
        StoreRecords(t.ctx, QStringLiteral("PORTAL.OPR"), ops);
    }
    void StoreWorkReports(const std::vector<const char*>& codes)
    {
        std::vector<TWorkReportRecord> reports;
        for (const char* code : codes) {
            TWorkReportRecord r{};
            r.Matricula = "000001";
            r.Codigo = code;
            reports.push_back(r);
        }
        StoreRecords(t.ctx, QStringLiteral("PORTAL.PDA"), reports);
    }
};

// ---- Adding --------------------------------------------------------------------------------------------

TEST_F(MachinesTest, AddSeriesRefusesBadAndRepeatedCodesAndStartsEachCardFromThePreviousMachine)
{
    auto& ui = t.ui;
    ui.ExpectCard(kCard)
        .ExpectValue("CODIGO", "#")
        .ExpectValue("DENOMINACION", "..")
        .ExpectValue("MODELO", "..")
        .ExpectValue("FABRIC", "..")
        .ExpectValue("UBICA", "-")
        .ExpectValue("CUENTA", "-")
        .ExpectValue("DISPO", "SI")
        .ExpectDisabled("Button2")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Button1")), QStringLiteral("SAL&VAR"));
            EXPECT_TRUE(s.hidden.count(QStringLiteral("RichMQ")));
        })
        .Set("CODIGO", "BOMBA01")
        .Set("DENOMINACION", "Bomba de agua")
        .ExpectValue("CUENTA", "BOM") // proposed on leaving the code
        .Set("MODELO", "X1")
        .Set("FABRIC", "S-1")
        .Set("UBICA", "NAVE 1")
        .Set("DISPO", "NO")
        .Press("Button1");
    ui.ExpectCard(kCard)
        .ExpectValue("CODIGO", "BOMBA01")
        .ExpectValue("DENOMINACION", "Bomba de agua")
        .ExpectValue("MODELO", "X1")
        .ExpectValue("FABRIC", "S-1")
        .ExpectValue("UBICA", "-")
        .ExpectValue("CUENTA", "-")
        .ExpectValue("DISPO", "SI")
        .Set("CODIGO", "Z")
        .Press("Button1");
    ui.ExpectMessage(kNotSuitable);
    ui.ExpectCard(kCard).ExpectValue("CODIGO", "Z").Set("CODIGO", "*").Press("Button1");
    ui.ExpectMessage(kNotSuitable);
    ui.ExpectCard(kCard).Set("CODIGO", "BOMBA01").Press("Button1");
    ui.ExpectMessage(QStringLiteral("CODIGO :BOMBA01 REPETIDO ANULADA ALTA"));
    ui.ExpectCard(kCard).Set("CODIGO", "AGITA").Set("DENOMINACION", "Agitador").Press("Button1");
    // The print button only brings the next card; the close box ends the series without a word.
    ui.ExpectCard(kCard).ExpectValue("CODIGO", "AGITA").Press("impresion");
    ui.ExpectCardCancel(kCard);

    ASSERT_TRUE(RunMenu("Máquinas > Alta"));
    EXPECT_SCRIPT_DONE(ui);

    const auto bomba = test::RecordFrom<TMachineRecord>(RecordBytes(161)
                                                            .Text(0, "BOMBA01")
                                                            .Text(9, "Bomba de agua")
                                                            .Text(58, "X1")
                                                            .Text(83, "S-1")
                                                            .Text(108, "NAVE 1")
                                                            .Text(133, "BOM")
                                                            .Text(158, "NO"));
    const auto agita = test::RecordFrom<TMachineRecord>(RecordBytes(161)
                                                            .Text(0, "AGITA")
                                                            .Text(9, "Agitador")
                                                            .Text(58, "X1")
                                                            .Text(83, "S-1")
                                                            .Text(108, "-")
                                                            .Text(133, "AGI")
                                                            .Text(158, "SI"));
    // Appended in the order of the cards, then sorted by the command.
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.MBK")), Bytes(std::vector{bomba, agita}));
    EXPECT_EQ(MachineBytes(), Bytes(std::vector{agita, bomba}));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
}

TEST_F(MachinesTest, AddKeepsTheCodeACallerLookedUpInVain)
{
    t.ctx.st.FoundMachine.Denominacion = kMachineNotFound;
    t.ctx.st.CurrentMachine = Machine("NUEVA", "Sin nombre");
    t.ui.ExpectCard(kCard).ExpectValue("CODIGO", "NUEVA").ExpectValue("DENOMINACION", "Sin nombre").Cancel();
    AddMachines(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.MQW")));
}

TEST_F(MachinesTest, ImportStoresOneRecordWithoutCardAndFlagsOnlyAStoredRecord)
{
    State& st = t.ctx.st;
    StoreMachines({Machine("A1")});
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;
    st.ImportedMachine = Machine("B2", "Torno", "TOR", "T-100", "77", "TALLER");

    AddMachines(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 1);
    EXPECT_EQ(MachineBytes(),
              Bytes(std::vector{Machine("A1"), Machine("B2", "Torno", "TOR", "T-100", "77", "TALLER")}));

    // The same code again: refused, and the flag says so.
    t.ui.ExpectMessage(QStringLiteral("CODIGO :B2 REPETIDO ANULADA ALTA"));
    AddMachines(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 0);
    EXPECT_SCRIPT_DONE(t.ui);

    // Shown while InteractiveFlag is 1: the card brings the imported code, the account follows it.
    st.InteractiveFlag = 1;
    st.ImportedMachine = Machine("C3", "Fresa");
    t.ui.ExpectCard(kCard).ExpectValue("CODIGO", "C3").ExpectValue("CUENTA", "-").Press("Button1");
    AddMachines(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(st.RecordAddedFlag, 1);
    const auto stored = LoadRecords<TMachineRecord>(t.ctx, QStringLiteral("PORTAL.MQW"));
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[2].Cuenta.str(), QStringLiteral("C3"));
}

TEST_F(MachinesTest, AddChecksTheCodesAndCreatesTheFileWithTheFirstMachine)
{
    t.ui.ExpectCard(kCard).Set("CODIGO", "MAL 1").Press("Button1");
    t.ui.ExpectMessage(
        QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\r"
                       "MAL 1 .."));
    t.ui.ExpectCard(kCard).Set("CODIGO", "BIEN").Press("Button1");
    t.ui.ExpectCardCancel(kCard);
    AddMachines(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    const auto stored = LoadRecords<TMachineRecord>(t.ctx, QStringLiteral("PORTAL.MQW"));
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Codigo.str(), QStringLiteral("BIEN"));
    // The new machine joins the list at its place by code, with its file position.
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"BIEN"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{0}));
}

// A photo chosen on a refused card used to replace the photo of the machine that has the code.
TEST_F(MachinesTest, PhotoIsStoredOnlyAfterTheMachineIs)
{
    StoreMachines({Machine("M1")});
    const QString folder = data + QStringLiteral("/MAQUINAS/PORTAL");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString oldPhoto = folder + QStringLiteral("/#M1.jpg");
    {
        QFile f(oldPhoto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("foto de M1");
    }
    const QString source = root + QStringLiteral("/camara.jpg");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("foto nueva");
    }

    auto& ui = t.ui;
    // Ticking the box says the code has a photo already; the refusal then asks for no picture at all.
    ui.ExpectCard(kCard).Set("CODIGO", "M1").Set("CheckBox1", "1").Press("Button1");
    ui.ExpectMessage(QStringLiteral("Existe una foto asignada a esta Máquina : \\MAQUINAS\\PORTAL\\#M1.jpg"));
    ui.ExpectMessage(QStringLiteral("CODIGO :M1 REPETIDO ANULADA ALTA"));
    // The refused card's photo request does not carry over.
    ui.ExpectCard(kCard).Set("CODIGO", "M3").Press("Button1");
    ui.ExpectCard(kCard).Set("CODIGO", "M2").Set("CheckBox1", "1").Press("Button1");
    ui.ExpectChooseFile(source);
    ui.ExpectChooseFile(folder + QStringLiteral("/#M2.jpg"));
    ui.ExpectCardCancel(kCard);
    AddMachines(t.ctx);
    EXPECT_SCRIPT_DONE(ui);

    QFile old(oldPhoto);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("foto de M1"));
    QFile stored(folder + QStringLiteral("/#M2.jpg"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), QByteArray("foto nueva"));
    ASSERT_EQ(ui.FileRequests().size(), 2u);
    EXPECT_EQ(ui.FileRequests()[1].fileName, QStringLiteral("#M2.jpg"));
    EXPECT_EQ(LoadRecords<TMachineRecord>(t.ctx, QStringLiteral("PORTAL.MQW")).size(), 3u);
}

// ---- Editing and deleting ------------------------------------------------------------------------------

TEST_F(MachinesTest, EditWritesTheCardBackInPlaceAndResorts)
{
    StoreMachines({Machine("A1"), Machine("B1", "Vieja"), Machine("C1")});
    ExpectEditPrompt("B1");
    t.ui.ExpectCard(kCard)
        .ExpectDisabled("CODIGO")
        .ExpectEnabled("Button2")
        .ExpectValue("DENOMINACION", "Vieja")
        .ExpectValue("CUENTA", "CTA")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("impresion")), QStringLiteral("MEMO"));
        })
        .Set("DENOMINACION", "Nueva")
        .Set("UBICA", "NAVE 2")
        .Press("Button1");
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    const std::vector<TMachineRecord> edited{Machine("A1"), Machine("B1", "Nueva", "CTA", "-", "-", "NAVE 2"),
                                             Machine("C1")};
    EXPECT_EQ(MachineBytes(), Bytes(edited));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.MBK")), Bytes(edited));
}

TEST_F(MachinesTest, EditOfAnUnknownCodeSaysSoUnlessTheDefaultWasLeft)
{
    StoreMachines({Machine("A1")});
    const std::string before = MachineBytes();
    ExpectEditPrompt("QQ");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    t.ui.ExpectInputCancel(QStringLiteral("EDICION DE MÁQUINAS"), QStringLiteral("Entrar Codigo"));
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(MachineBytes(), before);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.MBK")));
}

// Blanking the account used to be saved, and the next sorting rewrite then dropped the machine.
TEST_F(MachinesTest, EditIsCheckedLikeANewMachine)
{
    StoreMachines({Machine("A1"), Machine("B1", "Bomba")});
    const std::string before = MachineBytes();
    ExpectEditPrompt("B1");
    t.ui.ExpectCard(kCard).Set("CUENTA", "").Press("Button1").Press("BitBtn1"); // kept open
    t.ui.ExpectMessage(QStringLiteral("FALTA CÓDIGO DE CUENTA"));
    t.ui.ExpectMessage(
        QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\r"
                       "B1 Bomba"));
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(MachineBytes(), before);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.MBK")));
}

TEST_F(MachinesTest, DeleteOfAMachineInUseShowsBothReasonsInOrderAndWritesNothing)
{
    StoreMachines({Machine("A1"), Machine("B1"), Machine("C1")});
    StoreOperations({"A1", "B1", "B1", "C1"});
    StoreWorkReports({"C1", "B1"});
    const std::string before = MachineBytes();
    ExpectEditPrompt("B1");
    t.ui.ExpectCard(kCard).Press("Button2");
    t.ui.ExpectMessage(kInOperations);
    t.ui.ExpectMessage(kInReports);
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(MachineBytes(), before);
    // The sort that follows every card asking to save or delete ran all the same: the twin holds the
    // register as it stood.
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.MBK")), before);

    // Each reason alone.
    StoreWorkReports({"C1"});
    ExpectEditPrompt("B1");
    t.ui.ExpectCard(kCard).Press("Button2");
    t.ui.ExpectMessage(kInOperations);
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    StoreOperations({"A1"});
    StoreWorkReports({"B1"});
    ExpectEditPrompt("B1");
    t.ui.ExpectCard(kCard).Press("Button2");
    t.ui.ExpectMessage(kInReports);
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(MachineBytes(), before);
}

TEST_F(MachinesTest, DeleteMarksTheMachineAndTheSortDropsIt)
{
    StoreMachines({Machine("A1"), Machine("B1"), Machine("C1")});
    ExpectEditPrompt("B1");
    t.ui.ExpectCard(kCard).Press("Button2");
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    TMachineRecord marked = Machine("B1");
    marked.Codigo = "Z";
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.MBK")),
              Bytes(std::vector{Machine("A1"), marked, Machine("C1")}));
    EXPECT_EQ(MachineBytes(), Bytes(std::vector{Machine("A1"), Machine("C1")}));
}

// A file that an import left unsorted: the list is in code order, the write goes to the record's own place.
TEST_F(MachinesTest, EditWritesToTheRecordsFilePositionNotToItsListPosition)
{
    StoreMachines({Machine("C1"), Machine("A1")});
    t.ctx.st.ActionCode = QStringLiteral("3");
    LoadMachineList(t.ctx);
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "C1"}));
    ExpectEditPrompt("A1");
    t.ui.ExpectCard(kCard).Set("DENOMINACION", "Cambiada").Press("Button1");
    EditMachine(t.ctx);
    SaveMachineRecord(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(MachineBytes(), Bytes(std::vector{Machine("C1"), Machine("A1", "Cambiada")}));
}

TEST_F(MachinesTest, EditOfARecordThatMovedUnderTheListIsAbandoned)
{
    StoreMachines({Machine("A1"), Machine("B1")});
    t.ctx.st.ActionCode = QStringLiteral("3");
    LoadMachineList(t.ctx);
    ExpectEditPrompt("B1");
    t.ui.ExpectCard(kCard).Set("DENOMINACION", "Cambiada").Press("Button1");
    EditMachine(t.ctx);
    // Another program saves the file meanwhile: its sorted rewrite puts a new machine where B1 stood.
    StoreMachines({Machine("A1"), Machine("AB"), Machine("B1")});
    const std::string before = MachineBytes();
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    EXPECT_TRUE(RunCommand(t.ctx, {}, [&] { SaveMachineRecord(t.ctx); }));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(MachineBytes(), before);
    // The list follows the file instead of carrying the old positions into the next write.
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A1", "AB", "B1"}));
    EXPECT_EQ(Machines(t.ctx).MachineSaveRequested, 0);
}

TEST_F(MachinesTest, AWriteProtectedRegisterIsListedAndItsSaveIsReportedWithoutChange)
{
    StoreMachines({Machine("A1"), Machine("B1")});
    const std::string before = MachineBytes();
    test::WriteProtect(t.Path(QStringLiteral("PORTAL.MQW")));
    const std::string failures = test::RunUnprivileged(t.ctx.st.WorkDir, [&]() -> std::string {
        t.ctx.st.ActionCode = QStringLiteral("3");
        LoadMachineList(t.ctx);
        if (ListCodes() != std::vector<std::string>{"A1", "B1"})
            return "the protected register was not read";
        ExpectEditPrompt("B1");
        t.ui.ExpectCard(kCard).Set("DENOMINACION", "Cambiada").Press("Button1");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Máquinas > Edición"))
            return "the edit command failed";
        t.ui.ExpectCard(kCard).Set("CODIGO", "C1").Set("CUENTA", "CTA").Press("Button1");
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        t.ui.ExpectCardCancel(kCard);
        t.ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO")); // the sort that ends the command
        if (!RunMenu("Máquinas > Alta"))
            return "the add command failed";
        return t.ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(MachineBytes(), before);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.MBK")));
}

TEST_F(MachinesTest, MemoButtonOpensTheMachineSheet)
{
    StoreMachines({Machine("A1", "Prensa", "CTA", "P-20", "S/N 7")});
    ExpectEditPrompt("A1");
    t.ui.ExpectCard(kCard).Press("impresion");
    t.ui.ExpectReport(QStringLiteral("LIBRO DE MAQUINAS"));
    ASSERT_TRUE(RunMenu("Máquinas > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.ReportFileName, QStringLiteral("A1.rtf"));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.MBK")));
}

// ---- List, sorted rewrite, usage tests, year restart --------------------------------------------------

TEST_F(MachinesTest, ListIsInCodeOrderWithEqualCodesAsTheLoadFromTheEndMeetsThem)
{
    StoreMachines({Machine("B"), Machine("A", "primera"), Machine("C"), Machine("A", "segunda"),
                   Machine("\xD1"), Machine("AB"), Machine("C", "otra")});
    LoadMachineList(t.ctx);
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"A", "A", "AB", "B", "C", "C", "\xD1"}));
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{3, 1, 5, 0, 6, 2, 4}));
    EXPECT_EQ(Machines(t.ctx).LoadedCount, 7u);

    // A later insert goes after every entry of its code.
    InsertMachineByCode(t.ctx, {Machine("A", "tercera"), 7});
    EXPECT_EQ(ListPositions(), (std::vector<std::uint32_t>{3, 1, 7, 5, 0, 6, 2, 4}));
}

TEST_F(MachinesTest, LoadShowsTheCodeChecksFromTheLastRecordAndListsEveryRecord)
{
    StoreMachines({Machine("OK"), Machine("MAL 1"), Machine("SIN", "Sin cuenta", "")});
    t.ui.ExpectMessage(QStringLiteral("FALTA CÓDIGO DE CUENTA"));
    t.ui.ExpectMessage(
        QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\r"
                       "SIN Sin cuenta"));
    t.ui.ExpectMessage(
        QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\r"
                       "MAL 1 Prensa"));
    LoadMachineList(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(ListCodes(), (std::vector<std::string>{"MAL 1", "OK", "SIN"}));

    // A missing file: an empty list and no message.
    QFile::remove(t.Path(QStringLiteral("PORTAL.MQW")));
    LoadMachineList(t.ctx);
    EXPECT_TRUE(Machines(t.ctx).MachineList.empty());
    EXPECT_EQ(t.ctx.st.LastIOResult, 2);
}

TEST_F(MachinesTest, SortedRewriteKeepsTheOldFileInTheTwinAndDropsDeletedAndBadlyCodedMachines)
{
    TMachineRecord deleted = Machine("Z");
    const std::vector<TMachineRecord> old{Machine("P2"),    deleted,
                                          Machine("MAL 1"), Machine("P1", "primera"),
                                          Machine("B"),     Machine("P1", "segunda")};
    StoreMachines(old);
    t.ui.ExpectMessage(
        QStringLiteral("SOSPECHA DE MALA CODIFICACION.COMPRUEBE SITUACION POR DÍGITOS INADECUADOS\r"
                       "MAL 1 Prensa"));
    EXPECT_TRUE(SortMachineFile(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.MBK")), Bytes(old));
    EXPECT_EQ(MachineBytes(), Bytes(std::vector{Machine("B"), Machine("P1", "primera"),
                                                Machine("P1", "segunda"), Machine("P2")}));
    EXPECT_TRUE(Machines(t.ctx).MachineList.empty());
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);

    // An empty file gives an empty twin and an empty file; no file, nothing at all.
    StoreMachines({});
    EXPECT_TRUE(SortMachineFile(t.ctx));
    EXPECT_TRUE(t.Exists(QStringLiteral("PORTAL.MBK")));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.MBK")), "");
    EXPECT_EQ(MachineBytes(), "");
    QFile::remove(t.Path(QStringLiteral("PORTAL.MQW")));
    EXPECT_FALSE(SortMachineFile(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(MachinesTest, UsageTestsFindTheMachineAtEveryPositionAndNothingElse)
{
    const std::vector<const char*> ops{"A", "B", "B", "C", "D", "E", "F", "F", "G"};
    StoreOperations(ops);
    StoreWorkReports({"X1", "E"});
    for (const char* code : ops) {
        t.ctx.st.CurrentMachine = Machine(code);
        EXPECT_TRUE(MachineHasOperations(t.ctx, QStringLiteral("PORTAL.OPR"))) << code;
    }
    for (const char* code : {"", "0", "AA", "BA", "H", "\xD1"}) {
        t.ctx.st.CurrentMachine = Machine(code);
        EXPECT_FALSE(MachineHasOperations(t.ctx, QStringLiteral("PORTAL.OPR"))) << code;
    }
    t.ctx.st.CurrentMachine = Machine("E");
    EXPECT_TRUE(MachineHasDailyReports(t.ctx));
    t.ctx.st.CurrentMachine = Machine("X");
    EXPECT_FALSE(MachineHasDailyReports(t.ctx));
    // Missing files: not in use, and nothing is said.
    EXPECT_FALSE(MachineHasOperations(t.ctx, QStringLiteral("NADA.OPR")));
    QFile::remove(t.Path(QStringLiteral("PORTAL.PDA")));
    EXPECT_FALSE(MachineHasDailyReports(t.ctx));
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(MachinesTest, YearRestartGivesTheNewEnvironmentTheSortedRegister)
{
    StoreMachines({Machine("B"), Machine("Z"), Machine("A")});
    CarryMachinesToNewYear(t.ctx, QStringLiteral("PORTAL26"));
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL26.MQW")), Bytes(std::vector{Machine("A"), Machine("B")}));
    EXPECT_EQ(MachineBytes(), t.ReadFile(QStringLiteral("PORTAL26.MQW")));
}

TEST_F(MachinesTest, PhotoBoxNamesThePhotoOfTheTypedCode)
{
    AssignMachinePhoto(t.ctx, QStringLiteral("AB/1"));
    EXPECT_EQ(t.ctx.st.CurrentSubFolder, QStringLiteral("\\MAQUINAS\\PORTAL\\"));
    EXPECT_EQ(t.ctx.st.PhotoFileName, QStringLiteral("#AB_1.jpg"));
    EXPECT_SCRIPT_DONE(t.ui);
}

} // namespace
} // namespace gim
