#include "app/features.h"
#include "core/sub_folders.h"
#include "masterdata/procedure_card.h"
#include "masterdata/procedures.h"
#include "masterdata/routine_operations.h"
#include "masterdata_fixture.h"
#include "platform/handover.h"
#include "platform/report.h"
#include "support/handover_rows.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QFileInfo>

namespace gim {
namespace {

using test::RecordBytes;

const QString kCard = QStringLiteral("Procedimientos / Instrucciones");

TProcedureRecord Proc(const char* code, const char* speciality, const char* procedure,
                      const char* instruction, const char* state, std::uint16_t minutes,
                      const char* description)
{
    TProcedureRecord r{};
    r.MachineCode = code;
    r.Espec = speciality;
    r.Proced = procedure;
    r.Inst = instruction;
    r.Estado = state;
    r.Tiempo = minutes;
    r.Descripcion = description;
    return r;
}

class ProceduresTest : public test::MasterdataTest
{
protected:
    ProceduresTest()
    {
        RegisterMainWindowOperations(registry);
        RegisterRoutinesAndProcedures(registry, t.ctx);
        StoreMachines({Machine("PR", "Prensa"), Machine("PR1", "Prensa uno"), Machine("PRE", "Prensa E")});
    }

    void StoreProcedures(const std::vector<TProcedureRecord>& records)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.INT"), records);
    }
    std::string ProcedureBytes() const { return t.ReadFile(QStringLiteral("PORTAL.INT")); }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }

    void ExpectAddPrompt(const char* kind)
    {
        t.ui.ExpectInput(QStringLiteral("ALTA REGISTRO "), QStringLiteral("PROCEDIMIENTO/INSTRUCCION (P/I)"),
                         QString::fromLatin1(kind));
    }
    void ExpectEditPrompt(const char* key)
    {
        t.ui.ExpectInput(QStringLiteral("EDICION SELECTIVA PROCEDIMIENTOS "),
                         QStringLiteral("INTRODUCIR CODIGO INSTRUCCIÓN"), QString::fromLatin1(key));
    }
    // The heading and instructions of "PR" EB 01 after a sort.
    std::vector<TProcedureRecord> SortedPress()
    {
        return {Proc("PR", "EB", "01", "00", "P", 25, "Revision cuadro"),
                Proc("PR", "EB", "01", "01", "P", 10, "Abrir"),
                Proc("PR", "EB", "01", "02", "M", 15, "Medir")};
    }
};

// ---- Adding and the sorted rewrite -------------------------------------------------------------------

TEST_F(ProceduresTest, AddRefusesRepeatsAndUnknownMachinesThenSortsAndTotalsTheTimes)
{
    auto& ui = t.ui;
    ExpectAddPrompt("P");
    ui.ExpectCard(kCard)
        .ExpectValue("Codigo", "#")
        .ExpectValue("Espec", "..")
        .ExpectValue("Proced", "..")
        .ExpectValue("inst", "00")
        .ExpectValue("Estado", "P")
        .ExpectValue("Descripcion", "..")
        .ExpectDisabled("inst")
        .ExpectDisabled("Borrar")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("SAL&VAR"));
        })
        .Set("Codigo", "PR1")
        .ExpectValue("LabelMaquina", "Prensa uno")
        .Set("Espec", "ME")
        .ExpectValue("LabelEspec", "Mecánica")
        .Set("Proced", "01")
        .Set("Estado", "M")
        .ExpectValue("LabelEstado", "Marcha")
        .Set("TIEMPO", "99")
        .Set("Descripcion", "Cambio de aceite")
        .Press("Salvar");
    // Each card starts from the previous one.
    ui.ExpectCard(kCard)
        .ExpectValue("Codigo", "PR1")
        .ExpectValue("TIEMPO", "99")
        .Set("Codigo", "PR")
        .Set("Espec", "EB")
        .ExpectValue("LabelEspec", "Baja Tensión")
        .Set("Descripcion", "Revision cuadro")
        .Press("Salvar");
    // The same machine, procedure and instruction under another speciality.
    ui.ExpectCard(kCard).Set("Espec", "ME").Press("Salvar");
    ui.ExpectMessage(QStringLiteral("CODIGO :PR0100 REPETIDO ANULADA ALTA"));
    ui.ExpectCard(kCard)
        .Set("Codigo", "ZZ")
        .ExpectValue("LabelMaquina", "NO EXISTE LA MAQUINA")
        .Press("Salvar");
    ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA ANULADA ALTA PROCEDIMIENTO"));
    ui.ExpectCard(kCard).Set("Codigo", "*").ExpectValue("LabelMaquina", "Indistinta").Press("Salvar");
    ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA ANULADA ALTA PROCEDIMIENTO"));
    ui.ExpectCard(kCard).Press("BitBtn1");

    ASSERT_TRUE(RunMenu("Procedimientos > Alta"));
    EXPECT_SCRIPT_DONE(ui);

    // The twin holds the records from the last appended to the first; the file is sorted and a heading
    // without instructions takes 0 minutes, whatever was typed.
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.IBK")),
              Bytes(std::vector{Proc("PR", "EB", "01", "00", "M", 99, "Revision cuadro"),
                                Proc("PR1", "ME", "01", "00", "M", 99, "Cambio de aceite")}));
    const auto press = test::RecordFrom<TProcedureRecord>(RecordBytes(274)
                                                              .Text(0, "PR")
                                                              .Text(9, "EB")
                                                              .Text(12, "01")
                                                              .Text(15, "00")
                                                              .Text(18, "M")
                                                              .Text(21, "Revision cuadro")
                                                              .Raw(272, {0, 0}));
    EXPECT_EQ(ProcedureBytes(),
              Bytes(std::vector{press, Proc("PR1", "ME", "01", "00", "M", 0, "Cambio de aceite")}));
    // The card kind asked for belongs to this command only.
    EXPECT_EQ(t.ctx.st.OutputCode, QString());
    EXPECT_EQ(t.ctx.st.ContinueFlag, 0);
}

TEST_F(ProceduresTest, InstructionsAddUpIntoTheirHeadingAndEachMachineKeepsItsProcedures)
{
    // Joined as one text, "PR" + "EB" would sort before "PRE" + "ME" and "PR" + "ME" after it.
    StoreProcedures({Proc("PRE", "ME", "01", "00", "P", 0, "Engrase"),
                     Proc("PR", "ME", "02", "00", "P", 0, "Ajuste"),
                     Proc("PR", "EB", "01", "00", "P", 0, "Revision cuadro")});
    auto& ui = t.ui;
    ExpectAddPrompt("I");
    ui.ExpectCard(kCard)
        .ExpectEnabled("inst")
        .Set("Codigo", "PR")
        .Set("Espec", "EB")
        .Set("Proced", "01")
        .Set("inst", "01")
        .Set("TIEMPO", "10")
        .Set("Descripcion", "Abrir")
        .Press("Salvar");
    ui.ExpectCard(kCard)
        .Set("inst", "02")
        .Set("Estado", "M")
        .Set("TIEMPO", "15")
        .Set("Descripcion", "Medir")
        .Press("Salvar");
    ui.ExpectCard(kCard)
        .Set("Codigo", "PRE")
        .Set("Espec", "ME")
        .Set("inst", "01")
        .Set("TIEMPO", "7")
        .Set("Descripcion", "Purgar")
        .Press("Salvar");
    ui.ExpectCardCancel(kCard);
    ASSERT_TRUE(RunMenu("Procedimientos > Alta"));
    EXPECT_SCRIPT_DONE(ui);

    std::vector expected = SortedPress();
    expected.push_back(Proc("PR", "ME", "02", "00", "P", 0, "Ajuste"));
    expected.push_back(Proc("PRE", "ME", "01", "00", "P", 7, "Engrase"));
    expected.push_back(Proc("PRE", "ME", "01", "01", "M", 7, "Purgar"));
    EXPECT_EQ(ProcedureBytes(), Bytes(expected));

    // Year restart: the new environment starts from the sorted file.
    CarryProceduresToNewYear(t.ctx, QStringLiteral("NUEVO"));
    EXPECT_EQ(t.ReadFile(QStringLiteral("NUEVO.INT")), Bytes(expected));
}

// "PR" + "10" + "00" and "PR1" + "0" + "00" read alike joined; they are different procedures.
TEST_F(ProceduresTest, TheFirstRecordIsSortedTooAndTheRepeatTestComparesTheFields)
{
    ExpectAddPrompt("P");
    t.ui.ExpectCard(kCard)
        .Set("Codigo", "PR")
        .Set("Espec", "ME")
        .Set("Proced", "10")
        .Set("TIEMPO", "99")
        .Set("Descripcion", "Ajuste")
        .Press("Salvar");
    t.ui.ExpectCardCancel(kCard);
    ASSERT_TRUE(RunMenu("Procedimientos > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    const TProcedureRecord first = Proc("PR", "ME", "10", "00", "P", 0, "Ajuste");
    EXPECT_EQ(ProcedureBytes(), Bytes(std::vector{first}));

    EXPECT_TRUE(AppendProcedureRecord(t.ctx, Proc("PR1", "ME", "0", "00", "P", 5, "Otro")));
    t.ui.ExpectMessage(QStringLiteral("CODIGO :PR1000 REPETIDO ANULADA ALTA"));
    EXPECT_FALSE(AppendProcedureRecord(t.ctx, Proc("PR", "EB", "10", "00", "P", 5, "Repetido")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(ProcedureBytes(), Bytes(std::vector{first, Proc("PR1", "ME", "0", "00", "P", 5, "Otro")}));
}

// ---- Selective edit ----------------------------------------------------------------------------------

// Borrar is this card's 6. A procedure add used to leave "P" in OutputCode, which made every later
// edit card a heading card without Borrar.
TEST_F(ProceduresTest, SelectiveEditChangesAndDeletesInPlaceAndTheRewriteTotalsAgain)
{
    StoreProcedures(SortedPress());
    ExpectAddPrompt("P");
    t.ui.ExpectCardCancel(kCard);
    ASSERT_TRUE(RunMenu("Procedimientos > Alta"));

    auto& ui = t.ui;
    ExpectEditPrompt("PREB0101");
    ui.ExpectCard(kCard)
        .ExpectDisabled("Codigo")
        .ExpectDisabled("Espec")
        .ExpectDisabled("Proced")
        .ExpectDisabled("inst")
        .ExpectEnabled("Borrar")
        .ExpectValue("TIEMPO", "10")
        .Set("TIEMPO", "20")
        .Press("Salvar");
    ASSERT_TRUE(RunMenu("Procedimientos > Edición"));
    ExpectEditPrompt("PREB0102");
    ui.ExpectCard(kCard).Press("Borrar");
    ASSERT_TRUE(RunMenu("Procedimientos > Edición"));
    // A key that matches nothing changes nothing and sorts nothing.
    ExpectEditPrompt("PREB0109");
    ASSERT_TRUE(RunMenu("Procedimientos > Edición"));
    EXPECT_SCRIPT_DONE(ui);

    const auto deleted = test::RecordFrom<TProcedureRecord>(RecordBytes(274)
                                                                .Text(0, "Z")
                                                                .Raw(2, {'R'})
                                                                .Text(9, "EB")
                                                                .Text(12, "01")
                                                                .Text(15, "02")
                                                                .Text(18, "M")
                                                                .Text(21, "Medir")
                                                                .Raw(272, {15, 0}));
    // The twin of the last rewrite, from the last record to the first, shows the deletion written in place.
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.IBK")),
              Bytes(std::vector{deleted, Proc("PR", "EB", "01", "01", "P", 20, "Abrir"),
                                Proc("PR", "EB", "01", "00", "P", 35, "Revision cuadro")}));
    EXPECT_EQ(ProcedureBytes(), Bytes(std::vector{Proc("PR", "EB", "01", "00", "P", 20, "Revision cuadro"),
                                                  Proc("PR", "EB", "01", "01", "P", 20, "Abrir")}));
}

TEST_F(ProceduresTest, ATimeTheFieldCannotHoldIsRefusedOnEditAndAdd)
{
    StoreProcedures(SortedPress());
    const QString refused = QStringLiteral("TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS");

    auto& ui = t.ui;
    ExpectEditPrompt("PREB0102");
    ui.ExpectCard(kCard)
        .Set("TIEMPO", "70000")
        .Press("Salvar")
        .Set("TIEMPO", "-1")
        .Press("Salvar")
        .Set("TIEMPO", "65525")
        .Press("Salvar");
    ui.ExpectMessage(refused);
    ui.ExpectMessage(refused);
    ASSERT_TRUE(RunMenu("Procedimientos > Edición"));
    EXPECT_SCRIPT_DONE(ui);
    const std::string edited = Bytes(std::vector{Proc("PR", "EB", "01", "00", "P", 65535, "Revision cuadro"),
                                                 Proc("PR", "EB", "01", "01", "P", 10, "Abrir"),
                                                 Proc("PR", "EB", "01", "02", "M", 65525, "Medir")});
    EXPECT_EQ(ProcedureBytes(), edited);

    ExpectAddPrompt("I");
    ui.ExpectCard(kCard)
        .Set("Codigo", "PR")
        .Set("Espec", "EB")
        .Set("Proced", "01")
        .Set("inst", "03")
        .Set("TIEMPO", "65536")
        .Press("Salvar")
        .Press("BitBtn1");
    ui.ExpectMessage(refused);
    ASSERT_TRUE(RunMenu("Procedimientos > Alta"));
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(ProcedureBytes(), edited);
}

// "PRE" + "B" + "01" + "01" joins to the same key as "PR" + "EB" + "01" + "01": two cards for one key.
TEST_F(ProceduresTest, AnEditWhoseFileWasReplacedMeanwhileWritesNothingAndEnds)
{
    std::vector records = SortedPress();
    records.push_back(Proc("PRE", "B", "01", "01", "P", 5, "Otra"));
    StoreProcedures(records);
    // Another program saves the file while the first card is open: a new instruction stands where the
    // edited one stood.
    std::vector replacing = SortedPress();
    replacing.insert(replacing.begin() + 1, Proc("PR", "EB", "01", "00", "P", 3, "Nueva"));
    ExpectEditPrompt("PREB0101");
    t.ui.ExpectCard(kCard)
        .ExpectValue("Descripcion", "Abrir")
        .Inspect([&](const CardState&) { StoreProcedures(replacing); })
        .Set("TIEMPO", "20")
        .Press("Salvar");
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    // No second card from a file that is no longer there, and nothing to sort.
    ASSERT_TRUE(RunMenu("Procedimientos > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(ProcedureBytes(), Bytes(replacing));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.IBK")));
}

TEST_F(ProceduresTest, AWriteProtectedFileIsListedAndItsAddAndEditAreReportedWithoutChange)
{
    StoreProcedures(SortedPress());
    const std::string before = ProcedureBytes();
    test::WriteProtect(t.Path(QStringLiteral("PORTAL.INT")));
    const std::string failures = test::RunUnprivileged(data, [&]() -> std::string {
        auto& ui = t.ui;
        ui.ExpectReport(QStringLiteral("PROCEDIMIENTOS DE PORTAL"));
        if (!RunMenu("Procedimientos > Listado > Procedimientos"))
            return "the listing failed";
        if (!Transcript().contains(QStringLiteral("{10 b}\tPREB0100\tP\t25\tRevision cuadro\n")))
            return "the protected file was not listed";

        ExpectAddPrompt("I");
        ui.ExpectCard(kCard)
            .Set("Codigo", "PR")
            .Set("Espec", "EB")
            .Set("Proced", "01")
            .Set("inst", "03")
            .Set("Descripcion", "Cerrar")
            .Press("Salvar");
        ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        ui.ExpectCardCancel(kCard);
        if (!RunMenu("Procedimientos > Alta"))
            return "the add command failed";

        ExpectEditPrompt("PREB0101");
        ui.ExpectCard(kCard).Set("TIEMPO", "20").Press("Salvar");
        ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Procedimientos > Edición"))
            return "the edit command failed";
        return ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(ProcedureBytes(), before);
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.IBK")));
}

TEST_F(ProceduresTest, TheEditCardShowsTheInstructionsPictureAndThePhotoButtonStoresOne)
{
    StoreProcedures(SortedPress());
    const QString folder = *MakeSubFolder(data, QStringLiteral("\\PROCEDIM\\PORTAL"));
    QFile picture(folder + QStringLiteral("/PREB0101.jpg"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("jpeg");
    picture.close();

    ExpectEditPrompt("PREB0101");
    t.ui.ExpectCard(QStringLiteral("Visualizar Imagen - ") + folder + QStringLiteral("/PREB0101.jpg"))
        .ExpectValue("Image1", folder + QStringLiteral("/PREB0101.jpg"))
        .Press("FOTO")
        .Press("BitBtn1");
    const QString source = root + QStringLiteral("/nueva.jpg");
    QFile::copy(picture.fileName(), source);
    t.ui.ExpectChooseFile(source);
    t.ui.ExpectChooseFile(folder + QStringLiteral("/PREB0102.jpg"));
    ASSERT_TRUE(RunMenu("Procedimientos > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
    ASSERT_EQ(t.ui.FileRequests().size(), 2u);
    EXPECT_EQ(t.ui.FileRequests()[0].fileName, QStringLiteral("PREB0101.jpg"));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/PREB0102.jpg")));
}

// ---- Listings and the hand-over ----------------------------------------------------------------------

TEST_F(ProceduresTest, ProcedureListingShowsTheHeadingsOnly)
{
    StoreProcedures(SortedPress());
    t.ui.ExpectReport(QStringLiteral("PROCEDIMIENTOS DE PORTAL"));
    ASSERT_TRUE(RunMenu("Procedimientos > Listado > Procedimientos"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(), QStringLiteral("[PROCEDIMIENTOS DE PORTAL]\n"
                                           "TABS: 20 110 160 210 350\n"
                                           "{10 b}\tFABRICA\t\t\t\tPORTAL\n"
                                           "\n"
                                           "\t\t\tLISTADO DE PROCEDIMIENTOS a 07/12/2026\n"
                                           "\n"
                                           "\tCODIGO\tESTADO\tTIEMPO\tDESCRIPCIÓN\n"
                                           "{10}\n"
                                           "{10 b}\tPREB0100\tP\t25\tRevision cuadro\n"
                                           "{10}\n"));
    EXPECT_EQ(t.ui.Reports().back()->saveSubFolder, QStringLiteral("\\PROCEDIM"));
    EXPECT_TRUE(Procedures(t.ctx).ProcedureList.empty());
}

TEST_F(ProceduresTest, InstructionListingFollowsTheFilterCard)
{
    std::vector records = SortedPress();
    records.push_back(Proc("PR1", "ME", "01", "00", "P", 7, "Engrase"));
    records.push_back(Proc("PR1", "ME", "01", "01", "M", 7, "Purgar"));
    StoreProcedures(records);
    auto& ui = t.ui;
    ui.ExpectCard(kCard)
        .ExpectValue("Codigo", "*")
        .ExpectValue("Espec", "*")
        .ExpectValue("Proced", "*")
        .ExpectValue("inst", "*")
        .ExpectDisabled("Borrar")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Salvar")), QStringLiteral("&Buscar"));
        })
        .Press("Salvar");
    ui.ExpectReport();
    // One machine's instructions only: each heading walked still adds its empty line and turns bold.
    ui.ExpectCard(kCard).Set("Codigo", "PR1").Set("inst", "01").Press("Salvar");
    ui.ExpectReport();
    ui.ExpectCardCancel(kCard);
    ASSERT_TRUE(RunMenu("Procedimientos > Listado > Instrucciones"));
    const QString every = Transcript();
    ASSERT_TRUE(RunMenu("Procedimientos > Listado > Instrucciones"));
    const QString one = Transcript();
    ASSERT_TRUE(RunMenu("Procedimientos > Listado > Instrucciones"));
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(ui.Reports().size(), 2u);

    const QString columns = QStringLiteral("\tCODIGO\tESTADO\tTIEMPO\tDESCRIPCIÓN\n");
    EXPECT_EQ(every.mid(every.indexOf(columns) + columns.size()),
              QStringLiteral("{10}\n"
                             "{10 b}\tPREB0100\tP\t25\tRevision cuadro\n"
                             "{10}\n"
                             "\tPREB0101\tP\t10\tAbrir\n"
                             "\tPREB0102\tM\t15\tMedir\n"
                             "\n"
                             "{10 b}\tPR1ME0100\tP\t7\tEngrase\n"
                             "{10}\n"
                             "\tPR1ME0101\tM\t7\tPurgar\n"
                             "\n"));
    EXPECT_EQ(one.mid(one.indexOf(columns) + columns.size()), QStringLiteral("{10}\n"
                                                                             "{10 b}\n"
                                                                             "\tPR1ME0101\tM\t7\tPurgar\n"
                                                                             "{10}\n"));
}

TEST_F(ProceduresTest, AListingRowHandedOverOpensItsRecordOnce)
{
    std::vector records = SortedPress();
    // A one-digit procedure number: the key cannot be split by widths.
    records.push_back(Proc("PR1", "ME", "1", "00", "P", 0, "Engrase"));
    StoreProcedures(records);
    t.ui.ExpectCard(kCard).Press("Salvar");
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Procedimientos > Listado > Instrucciones"));
    const ReportDocument& listing = *t.ui.Reports().back();
    auto rowOf = [&](const QString& key) {
        for (int i = 0; i < listing.LineCount(); ++i)
            if (listing.LineText(i).startsWith(QLatin1Char('\t') + key + QLatin1Char('\t')))
                return listing.LineText(i);
        return QString();
    };
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());

    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Procedimientos, rowOf(QStringLiteral("PREB0102")));
    t.ui.ExpectCard(kCard).ExpectValue("Descripcion", "Medir").ExpectValue("TIEMPO", "15").Press("BitBtn1");
    dispatcher.RunPendingEdits();
    EXPECT_SCRIPT_DONE(t.ui);

    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Procedimientos, rowOf(QStringLiteral("PR1ME100")));
    const TProcedureRecord& selected = Procedures(t.ctx).SelectedProcedure;
    EXPECT_EQ(selected.MachineCode.str(), QStringLiteral("PR1"));
    EXPECT_EQ(selected.Proced.str(), QStringLiteral("1"));
    t.ui.ExpectCard(kCard).ExpectValue("Descripcion", "Engrase").Press("BitBtn1");
    dispatcher.RunPendingEdits();
    EXPECT_SCRIPT_DONE(t.ui);

    // Taken once: the next edit asks for the key.
    ExpectEditPrompt("#");
    ASSERT_TRUE(RunMenu("Procedimientos > Edición"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// Editar > Procedimientos on a row whose key no record splits: the key without blanks, split by widths.
TEST_F(ProceduresTest, EditarProcedimientosSplitsTheKeyOfItsColumn)
{
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Procedimientos,
                      test::Row({"", "M1 EL 02 03", "P", "15", "Desconectar"}));
    EXPECT_EQ(test::Describe(handover.Buffer(EditItem::Procedimientos)),
              test::Describe({{"MachineCode", "M1"}, {"Espec", "EL"}, {"Proced", "02"}, {"Inst", "03"}}));
}

} // namespace
} // namespace gim
