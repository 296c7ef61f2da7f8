#include "app/features.h"
#include "core/command.h"
#include "masterdata/machines.h"
#include "masterdata/procedures.h"
#include "masterdata/routine_card.h"
#include "masterdata/routine_operations.h"
#include "masterdata/routines.h"
#include "masterdata_fixture.h"
#include "platform/handover.h"
#include "platform/report.h"
#include "records/plan_records.h"
#include "support/handover_rows.h"
#include "support/unprivileged.h"

#include <QFileInfo>

namespace gim {
namespace {

using test::RecordBytes;

const QString kCard = QStringLiteral("FICHA OPERACIONES DE REVISIÓN GAMAS MANTENIMIENTO PREVENTIVO");
const QString kCopyDialog = QStringLiteral("COPIA OPERACIONES DE REVISION");

// The lines of the routine card's list, one per row.
QString RichText(const CardState& s)
{
    QStringList lines;
    if (const auto it = s.rows.find(QStringLiteral("RichGM")); it != s.rows.end())
        for (const QStringList& row : it->second)
            lines << row.value(0);
    return lines.join(QLatin1Char('\n'));
}

TOperationRecord Op(const char* code, const char* frequency, const char* state, const char* speciality,
                    const char* description, std::uint16_t minutes)
{
    TOperationRecord r{};
    r.MachineCode = code;
    r.Frequency = frequency;
    r.State = state;
    r.Speciality = speciality;
    r.Description = description;
    r.Minutes = minutes;
    return r;
}

TPlanRecord Planned(const char* code, std::uint16_t week)
{
    TPlanRecord p{};
    p.Code = code;
    p.StartWeek = week;
    return p;
}

class RoutinesTest : public test::MasterdataTest
{
protected:
    RoutinesTest()
    {
        RegisterMainWindowOperations(registry);
        RegisterRoutinesAndProcedures(registry, t.ctx);
    }

    void StoreOperations(const std::vector<TOperationRecord>& ops, const char* name = "PORTAL.OPR")
    {
        StoreRecords(t.ctx, QString::fromLatin1(name), ops);
    }
    void StorePlan(const std::vector<TPlanRecord>& plan)
    {
        StoreRecords(t.ctx, QStringLiteral("PORTAL.PLN"), plan);
    }
    std::string OperationBytes() const { return t.ReadFile(QStringLiteral("PORTAL.OPR")); }
    std::string TwinBytes() const { return t.ReadFile(QStringLiteral("PORTAL.OBK")); }
    QString Transcript() const
    {
        return t.ui.Reports().empty() ? QString() : t.ui.Reports().back()->Transcript();
    }

    // A plan that takes a machine out by dropping its entry and puts it back at the end, and says what
    // it saw each time.
    void RecordPlanCalls()
    {
        registry.Register(gim::Op::UnloadPlannedMachine, [this](Context& ctx) {
            calls << QStringLiteral("unload ") + Seen(ctx);
            std::vector<TPlanRecord> plan = LoadRecords<TPlanRecord>(ctx, QStringLiteral("PORTAL.PLN"));
            std::erase_if(plan,
                          [&](const TPlanRecord& p) { return p.Code == Routines(ctx).EditorPlanEntry.Code; });
            StorePlan(plan);
        });
        registry.Register(gim::Op::ReloadPlannedMachine, [this](Context& ctx) {
            calls << QStringLiteral("reload ") + Seen(ctx) + QStringLiteral(" week ") +
                         QString::number(Routines(ctx).EditorPlanEntry.StartWeek.get());
            fileAtReload = OperationBytes();
        });
    }
    static QString Seen(Context& ctx)
    {
        return Routines(ctx).EditorPlanEntry.Code.str() + QLatin1Char(' ') + ctx.st.ActionCode +
               ctx.st.AnswerCode;
    }

    QStringList calls;
    std::string fileAtReload;
};

TEST_F(RoutinesTest, TheRoutineAndProcedureItemsAreOffered)
{
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    QStringList offered;
    for (std::size_t i = 0; i < dispatcher.Table().size(); ++i) {
        const QString path = dispatcher.Table()[i].PlainPath();
        const bool ours =
            (path.startsWith(QStringLiteral("Gamas > ")) && !path.contains(QStringLiteral("Presupuesto"))) ||
            path.startsWith(QStringLiteral("Procedimientos > ")) ||
            path == QStringLiteral("Utiles > Exportar > Gamas");
        if (ours && dispatcher.IsEnabled(i))
            offered << path;
    }
    EXPECT_EQ(offered.size(), 11) << offered.join(QStringLiteral("; ")).toStdString();
}

// ---- Adding ----------------------------------------------------------------------------------------------

// "PR" + "1D" sorts before "PR1" + "M" as one text, and "PR" + "S" after it: the two routines would mix.
TEST_F(RoutinesTest, AddAppendsTheCardsAndTheSaveKeepsEachMachineTogether)
{
    StoreMachines({Machine("PR", "Prensa"), Machine("PR1", "Prensa uno")});
    StoreOperations(
        {Op("PR", "1D", "O", "MC", "ENGRASAR", 10), Op("PR", "S", "P", "E", "REVISAR MOTOR", 60)});
    TProcedureRecord heading{};
    heading.MachineCode = "PR";
    heading.Espec = "ME";
    heading.Proced = "01";
    heading.Inst = "00";
    heading.Descripcion = "Cambio de aceite";
    StoreRecords(t.ctx, QStringLiteral("PORTAL.INT"), std::vector{heading});

    auto& ui = t.ui;
    ui.ExpectInput(QStringLiteral("ALTA OPRACIONES DE REVISION"), QStringLiteral("Entrar Código de Máquina"),
                   QStringLiteral("PR1"));
    ui.ExpectCard(kCard)
        .ExpectValue("Label1", "PR1")
        .ExpectValue("Label2", "Prensa uno")
        .ExpectValue("FercGM", "..")
        .ExpectValue("EstadoGM", "..")
        .ExpectValue("EspGM", "..")
        .ExpectValue("DescripGM", ".. ")
        .ExpectValue("TiempoGM", "0")
        .ExpectValue("FrecLabel", "No valida")
        .ExpectDisabled("Impresion")
        .ExpectDisabled("Button2")
        .Inspect([](const CardState& s) { EXPECT_TRUE(s.hidden.count(QStringLiteral("RichGM"))); })
        .Set("FercGM", "M")
        .ExpectValue("FrecLabel", "Mensual")
        .Set("EstadoGM", "P")
        .ExpectValue("EstadoLabel", "Parada")
        .Set("EspGM", "MC")
        .ExpectValue("EspLabel", "Mecánica")
        .Set("DescripGM", "LIMPIAR FILTRO")
        // Leaving the speciality narrowed the suggestions to the routine's own "MC" lines.
        .Inspect([](const CardState& s) {
            EXPECT_FALSE(s.hidden.count(QStringLiteral("RichGM")));
            EXPECT_EQ(RichText(s), QStringLiteral("MC / ENGRASAR"));
            // and the description offers them from their fifth character on.
            ASSERT_TRUE(s.choices.count(QStringLiteral("DescripGM")));
            EXPECT_EQ(s.choices.at(QStringLiteral("DescripGM")), QStringList{QStringLiteral(" ENGRASAR")});
        })
        .Set("TiempoGM", "90")
        .ExpectValue("TiempoLabel", "01 : 30")
        .Press("Button1");
    // The next card is for the same machine, blank again. A frequency no revision covers becomes "S".
    ui.ExpectCard(kCard)
        .ExpectValue("Label1", "PR1")
        .ExpectValue("FercGM", "..")
        .Set("FercGM", "X")
        .Set("EstadoGM", "O")
        .ExpectValue("FercGM", "S")
        .ExpectValue("FrecLabel", "Semestral")
        .Set("EspGM", "M")
        .Set("DescripGM", "  AJUSTAR")
        .Set("TiempoGM", "15")
        .Press("Button1");
    // The procedure headings as a help; the close box ends the series.
    ui.ExpectCard(kCard)
        .DoubleClick("DescripGM")
        .Inspect(
            [](const CardState& s) { EXPECT_EQ(RichText(s), QStringLiteral("PRME0100 / Cambio de aceite")); })
        .Cancel();

    ASSERT_TRUE(RunMenu("Gamas > Alta"));
    EXPECT_SCRIPT_DONE(ui);

    const TOperationRecord filter = Op("PR1", "M", "P", "MC", "LIMPIAR FILTRO", 90);
    const TOperationRecord adjust = Op("PR1", "S", "O", "M", "  AJUSTAR", 15);
    // Appended in card order; the twin keeps the file as the cards left it.
    EXPECT_EQ(TwinBytes(), Bytes(std::vector{Op("PR", "1D", "O", "MC", "ENGRASAR", 10),
                                             Op("PR", "S", "P", "E", "REVISAR MOTOR", 60), filter, adjust}));
    // Saved by machine, then frequency; the speciality "M" reads "MC" and the leading blanks go. The text
    // keeps the bytes it had past its new end.
    const auto saved = test::RecordFrom<TOperationRecord>(RecordBytes(152)
                                                              .Text(0, "PR1")
                                                              .Text(9, "S")
                                                              .Text(12, "O")
                                                              .Text(15, "MC")
                                                              .Text(18, "AJUSTAR")
                                                              .Raw(26, {'A', 'R'})
                                                              .Raw(150, {15, 0}));
    EXPECT_EQ(OperationBytes(),
              Bytes(std::vector{Op("PR", "1D", "O", "MC", "ENGRASAR", 10),
                                Op("PR", "S", "P", "E", "REVISAR MOTOR", 60), filter, saved}));
    EXPECT_EQ(t.ctx.st.RecordAddedFlag, 1);
    // The save's own output mode does not outlive it.
    EXPECT_EQ(t.ctx.st.OutputCode, QString());
    EXPECT_TRUE(Routines(t.ctx).OperationList.empty());
    EXPECT_TRUE(Procedures(t.ctx).ProcedureList.empty());
    // The routine of each machine is found by halves in the saved file.
    t.ctx.st.CurrentMachine.Codigo = "PR";
    EXPECT_TRUE(MachineHasOperations(t.ctx, QStringLiteral("PORTAL.OPR")));
    t.ctx.st.CurrentMachine.Codigo = "PR1";
    EXPECT_TRUE(MachineHasOperations(t.ctx, QStringLiteral("PORTAL.OPR")));
}

TEST_F(RoutinesTest, AddRefusesAnUnknownMachineAndTakesOneImportedRecordUnseen)
{
    StoreMachines({Machine("PR", "Prensa")});
    t.ui.ExpectInput(QStringLiteral("ALTA OPRACIONES DE REVISION"),
                     QStringLiteral("Entrar Código de Máquina"), QStringLiteral("ZZ"));
    t.ui.ExpectMessage(QStringLiteral("CODIGO DE MAQUINA ZZ NO ENCONTRADO"));
    ASSERT_TRUE(RunMenu("Gamas > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(OperationBytes(), std::string());

    State& st = t.ctx.st;
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 0;
    Routines(t.ctx).SelectedOperation = Op("PR", "M2", "P", "E", "REVISAR", 40);
    AddOperations(t.ctx);
    EXPECT_EQ(st.RecordAddedFlag, 1);
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{Op("PR", "M2", "P", "E", "REVISAR", 40)}));

    // A synchronisation takes no routine of a planned machine: says why in its echo, with cards in a message.
    StorePlan({Planned("PR", 3)});
    st.OutputCode = QStringLiteral("W");
    AddOperations(t.ctx);
    EXPECT_EQ(st.RefusalReason, QStringLiteral("MÁQUINA EN PLANING"));
    st.InteractiveFlag = 1;
    t.ui.ExpectCard(kCard).Press(QStringLiteral("Button1"));
    t.ui.ExpectMessage(QStringLiteral("MAQUINA PR EN PLANING\rDESCARGAR ANTES DE IMPORTAR"));
    AddOperations(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(st.RecordAddedFlag, 0);
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{Op("PR", "M2", "P", "E", "REVISAR", 40)}));
}

// ---- Editing and deleting ----------------------------------------------------------------------------

// The card's buttons: SAL&VAR saves, BORRAR deletes (after a confirmation), SI&GUIENTE goes on to the next
// operation.
TEST_F(RoutinesTest, EditSavesDeletesAndSkipsInPlaceThenTheDeletionSavesTheList)
{
    StoreMachines({Machine("PR", "Prensa"), Machine("PR1", "Prensa uno")});
    const TOperationRecord greasing = Op("PR", "1D", "O", "MC", "ENGRASAR", 10);
    const TOperationRecord cleaning = Op("PR", "M", "P", "E", "LIMPIAR", 20);
    const TOperationRecord review = Op("PR", "S", "P", "MC", "REVISAR", 30);
    const TOperationRecord other = Op("PR1", "M", "P", "MC", "AFILAR", 5);
    StoreOperations({greasing, cleaning, review, other});

    auto& ui = t.ui;
    ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"), QStringLiteral("PR"));
    ui.ExpectCard(kCard)
        .ExpectValue("Label2", "Prensa")
        .ExpectValue("FercGM", "1D")
        .ExpectValue("TiempoGM", "10")
        .ExpectEnabled("Button2")
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Impresion")), QStringLiteral("SI&GUIENTE"));
            EXPECT_EQ(s.captions.at(QStringLiteral("Button1")), QStringLiteral("SAL&VAR"));
        })
        .Set("FercGM", "S2")
        .Set("TiempoGM", "12")
        .Set("DescripGM", "ENGRASAR GUIAS")
        .Press("Button1");
    ui.ExpectCard(kCard).ExpectValue("FercGM", "M").Press("Button2");
    ui.ExpectInput(QStringLiteral("BORRAR OPR"), QStringLiteral("CONFIRME SI DESEA BORRAR (S/N):"),
                   QStringLiteral("S"));
    ui.ExpectCard(kCard).ExpectValue("FercGM", "S").Press("Impresion");

    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(ui);

    const TOperationRecord edited = Op("PR", "S2", "O", "MC", "ENGRASAR GUIAS", 12);
    const auto deleted = test::RecordFrom<TOperationRecord>(RecordBytes(152)
                                                                .Text(0, "Z")
                                                                .Raw(2, {'R'})
                                                                .Text(9, "M")
                                                                .Text(12, "P")
                                                                .Text(15, "E")
                                                                .Text(18, "LIMPIAR")
                                                                .Raw(150, {20, 0}));
    // The twin shows the in-place writes; the save drops the deleted operation and puts the changed
    // frequency in its place.
    EXPECT_EQ(TwinBytes(), Bytes(std::vector{edited, deleted, review, other}));
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{review, edited, other}));
}

// Times are kept in 16 bits: "70000" used to be stored as 4464 and "-1" as 65535. The card stays open.
TEST_F(RoutinesTest, ATimeTheFieldCannotHoldIsRefused)
{
    StoreMachines({Machine("PR", "Prensa")});
    const TOperationRecord cleaning = Op("PR", "M", "P", "E", "LIMPIAR", 20);
    StoreOperations({cleaning});
    const QString refused = QStringLiteral("TIEMPO FUERA DE LÍMITE: DE 0 A 65535 MINUTOS");

    auto& ui = t.ui;
    ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"), QStringLiteral("PR"));
    ui.ExpectCard(kCard)
        .Set("TiempoGM", "70000")
        .Press("Button1")
        .Set("TiempoGM", "-1")
        .Press("Button1")
        .Set("TiempoGM", "65535")
        .Press("Button1");
    ui.ExpectMessage(refused);
    ui.ExpectMessage(refused);
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{Op("PR", "M", "P", "E", "LIMPIAR", 65535)}));

    ui.ExpectInput(QStringLiteral("ALTA OPRACIONES DE REVISION"), QStringLiteral("Entrar Código de Máquina"),
                   QStringLiteral("PR"));
    ui.ExpectCard(kCard)
        .Set("DescripGM", "ENGRASAR")
        .Set("TiempoGM", "65536")
        .Press("Button1")
        .Press("BitBtn1");
    ui.ExpectMessage(refused);
    ASSERT_TRUE(RunMenu("Gamas > Alta"));
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{Op("PR", "M", "P", "E", "LIMPIAR", 65535)}));
}

TEST_F(RoutinesTest, EditWritesNothingWhenTheRecordChangedMeanwhileAndSavesNothingWithoutADeletion)
{
    StoreMachines({Machine("PR", "Prensa")});
    StoreOperations({Op("PR", "M", "P", "E", "LIMPIAR", 20)});
    const std::vector changed{Op("PR", "M", "P", "E", "LIMPIAR", 21)};

    t.ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("PR"));
    t.ui.ExpectCard(kCard)
        // Another program rewrites the record in place while the card is open.
        .Inspect([&](const CardState&) { t.WriteFile(QStringLiteral("PORTAL.OPR"), Bytes(changed)); })
        .Set("TiempoGM", "25")
        .Press("Button1");
    t.ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(OperationBytes(), Bytes(changed));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.OBK")));

    // A code that is no machine.
    t.ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("XX"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(t.ui);
}

// A deletion stored in place, then a file saved by another program: the save the deletion asks for
// writes what the file holds, not the list read before it.
TEST_F(RoutinesTest, AnEditWhoseFileWasReplacedMeanwhileEndsAndTheListFollowsTheFile)
{
    StoreMachines({Machine("PR", "Prensa"), Machine("PR1", "Prensa uno")});
    StoreOperations({Op("PR", "1D", "O", "MC", "ENGRASAR", 10), Op("PR", "M", "P", "E", "LIMPIAR", 20),
                     Op("PR", "S", "P", "MC", "REVISAR", 30)});
    const std::vector replacing{
        Op("PR", "1D", "O", "MC", "ENGRASAR", 10), Op("PR", "M", "P", "E", "LIMPIAR A FONDO", 25),
        Op("PR", "S", "P", "MC", "REVISAR", 30), Op("PR1", "M", "P", "MC", "AFILAR", 5)};

    auto& ui = t.ui;
    ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"), QStringLiteral("PR"));
    ui.ExpectCard(kCard).ExpectValue("FercGM", "1D").Press("Button2");
    ui.ExpectInput(QStringLiteral("BORRAR OPR"), QStringLiteral("CONFIRME SI DESEA BORRAR (S/N):"),
                   QStringLiteral("S"));
    ui.ExpectCard(kCard)
        .ExpectValue("FercGM", "M")
        .Inspect([&](const CardState&) { StoreOperations(replacing); })
        .Set("TiempoGM", "21")
        .Press("Button1");
    ui.ExpectMessage(QStringLiteral("ERROR DE POSICIÓN. ANULADA MODIFICACIÓN"));
    // No card for "S": the edit ended with the refused write.
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_EQ(OperationBytes(), Bytes(replacing));
    EXPECT_EQ(TwinBytes(), Bytes(replacing));
}

TEST_F(RoutinesTest, AWriteProtectedFileIsListedAndItsEditAndDeleteAreReportedWithoutChange)
{
    StoreMachines({Machine("PR", "Prensa")});
    const std::vector ops{Op("PR", "M", "P", "E", "LIMPIAR", 20), Op("PR", "S", "P", "MC", "REVISAR", 30)};
    StoreOperations(ops);
    test::WriteProtect(t.Path(QStringLiteral("PORTAL.OPR")));
    const std::string failures = test::RunUnprivileged(data, [&]() -> std::string {
        auto& ui = t.ui;
        const QString caption = QStringLiteral("Listado de Gamas");
        ui.ExpectInput(caption, QStringLiteral("Entrar Codigo Máquina "), QStringLiteral("PR"));
        ui.ExpectInputCancel(caption, QStringLiteral("Frecuencia de la Gama"));
        ui.ExpectInputCancel(caption, QStringLiteral("Especialidad de la Gama"));
        ui.ExpectReport(QStringLiteral("GAMAS PREVENTIVO DE PORTAL"));
        if (!RunMenu("Gamas > Listado"))
            return "the listing failed";
        if (!Transcript().contains(QStringLiteral("\tS\tP\t30\tMC\tREVISAR\n")))
            return "the protected file was not listed";

        ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                       QStringLiteral("PR"));
        ui.ExpectCard(kCard).Set("TiempoGM", "25").Press("Button1");
        ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Gamas > Edición OPR"))
            return "the edit command failed";

        ui.ExpectInput(QStringLiteral("BAJA DE GAMAS MTO"), QStringLiteral("Entrar Codigo"),
                       QStringLiteral("PR"));
        ui.ExpectInput(QStringLiteral("ELIMINAR GAMA PR"), QStringLiteral("CONFIRME BORRAR GAMA (S/N):"),
                       QStringLiteral("S"));
        ui.ExpectInput(QStringLiteral("BORRAR GAMAS"), QStringLiteral("CONFIRME SI DESEA CONTINUAR (S/N):"),
                       QStringLiteral("N"));
        ui.ExpectMessage(QStringLiteral("ACCESO DENEGADO"));
        if (!RunMenu("Gamas > Baja"))
            return "the delete command failed";
        return ui.Verify().toStdString();
    });
    EXPECT_EQ(failures, "");
    EXPECT_EQ(OperationBytes(), Bytes(ops));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.OBK")));
}

TEST_F(RoutinesTest, DeleteMarksWholeRoutinesAndARefusedDeleteGivesThePlannedMachineBack)
{
    StoreMachines({Machine("PR", "Prensa"), Machine("PR1", "Prensa uno")});
    const TOperationRecord kept = Op("PR1", "M", "P", "MC", "AFILAR", 5);
    const std::vector before{Op("PR", "1D", "O", "MC", "ENGRASAR", 10),
                             Op("PR", "S", "P", "E", "REVISAR", 30), kept};
    StoreOperations(before);
    StorePlan({Planned("PR1", 9)});
    RecordPlanCalls();

    auto& ui = t.ui;
    auto round = [&](const char* code, const char* confirm, const char* goOn) {
        ui.ExpectInput(QStringLiteral("BAJA DE GAMAS MTO"), QStringLiteral("Entrar Codigo"),
                       QString::fromLatin1(code));
        ui.ExpectInput(QStringLiteral("ELIMINAR GAMA ") + QString::fromLatin1(code),
                       QStringLiteral("CONFIRME BORRAR GAMA (S/N):"), QString::fromLatin1(confirm));
        ui.ExpectInput(QStringLiteral("BORRAR GAMAS"), QStringLiteral("CONFIRME SI DESEA CONTINUAR (S/N):"),
                       QString::fromLatin1(goOn));
    };
    round("PR", "S", "S");
    round("PR1", "N", "N");
    ASSERT_TRUE(RunMenu("Gamas > Baja"));
    EXPECT_SCRIPT_DONE(ui);

    EXPECT_EQ(OperationBytes(), Bytes(std::vector{kept}));
    EXPECT_EQ(TwinBytes(), Bytes(before));
    // The plan ran with its own codes; PR1 went out before the question and came back at its week.
    EXPECT_EQ(calls, (QStringList{QStringLiteral("unload PR1 ED"), QStringLiteral("reload PR1 EC week 9")}));
    EXPECT_TRUE(Routines(t.ctx).OperationList.empty());
}

// ---- Copying ---------------------------------------------------------------------------------------------

TEST_F(RoutinesTest, SelectiveCopyTakesTheAcceptedOperationsUntilTheUserLeaves)
{
    StoreMachines({Machine("PR", "Prensa"), Machine("TORNO", "Torno")});
    const std::vector source{
        Op("PR", "1D", "O", "MC", "ENGRASAR", 10),  Op("PR", "M", "P", "E", "LIMPIAR", 20),
        Op("PR", "M2", "P", "E", "MEDIR", 25),      Op("PR", "S", "P", "MC", "REVISAR", 30),
        Op("PR", "S2", "P", "MC", "DESMONTAR", 90), Op("TORNO", "M", "O", "MC", "AFILAR", 15)};
    StoreOperations(source);

    auto& ui = t.ui;
    ui.ExpectCard(kCopyDialog)
        .ExpectValue("Forigen", "PORTAL")
        .ExpectValue("Fdestin", "PORTAL")
        .ExpectDisabled("Fdestin")
        .ExpectValue("Morigen", "..")
        .ExpectValue("Mdestin", "CÓDIGO MÁQUINA")
        .Set("Morigen", "PR")
        .Set("Mdestin", "TORNO")
        .Press("COPIAR");
    const QString heading =
        QStringLiteral("FABRICA") + QString(36, QLatin1Char(' ')) +
        QStringLiteral("GAMA DE MANTENIMIENTO\n\n\tCodigo:TORNO            Máquina:Torno\n  \n"
                       "\tFR\tEST\tTP\tOF\t       DESCRIPCION \n  ");
    ui.ExpectCard(kCard)
        .ExpectValue("Label1", "PR")
        .ExpectValue("Label2", "Prensa")
        .Inspect([=](const CardState& s) { EXPECT_EQ(RichText(s), heading); })
        .Inspect([](const CardState& s) {
            EXPECT_EQ(s.captions.at(QStringLiteral("Button1")), QStringLiteral("COPIAR"));
            EXPECT_EQ(s.captions.at(QStringLiteral("Button2")), QStringLiteral("NO COPIAR"));
            EXPECT_FALSE(s.hidden.count(QStringLiteral("RichGM")));
        })
        .Set("TiempoGM", "11")
        .Press("Button1");
    const QString taken = QStringLiteral("\n\t1D\tO\t11\tMC\tENGRASAR");
    ui.ExpectCard(kCard)
        .ExpectValue("FercGM", "M")
        .Inspect([=](const CardState& s) { EXPECT_EQ(RichText(s), heading + taken); })
        .Press("Button2");
    ui.ExpectCard(kCard).ExpectValue("FercGM", "M2").Press("Impresion");
    ui.ExpectReport(QStringLiteral("PORTAL"));
    ui.ExpectCard(kCard).ExpectValue("FercGM", "S").Press("Button1");
    ui.ExpectCard(kCard).ExpectValue("FercGM", "S2").Press("BitBtn1");

    ASSERT_TRUE(RunMenu("Gamas > Copia Gamas > Selectiva"));
    EXPECT_SCRIPT_DONE(ui);

    // The summary went to a report window for printing.
    EXPECT_EQ(ui.Reports().back()->Text(),
              QStringLiteral("FABRICA") + QString(36, QLatin1Char(' ')) +
                  QStringLiteral("GAMA DE MANTENIMIENTO\n\n\tCodigo:TORNO            Máquina:Torno\n  \n"
                                 "\tFR\tEST\tTP\tOF\t       DESCRIPCION \n  \n\t1D\tO\t11\tMC\tENGRASAR"));
    std::vector expected(source.begin(), source.end() - 1);
    expected.push_back(Op("TORNO", "1D", "O", "MC", "ENGRASAR", 11));
    expected.push_back(Op("TORNO", "M", "O", "MC", "AFILAR", 15));
    expected.push_back(Op("TORNO", "S", "P", "MC", "REVISAR", 30));
    EXPECT_EQ(OperationBytes(), Bytes(expected));
    EXPECT_EQ(TwinBytes(), Bytes(source));
}

TEST_F(RoutinesTest, TotalCopyFromAnotherEnvironmentsFileTakesEveryOperationAndShowsTheSummaryOnce)
{
    StoreMachines({Machine("TORNO", "Torno")});
    // A twin left from an older file: the save has no file before it to keep.
    t.WriteFile(QStringLiteral("PORTAL.OBK"), "vieja");
    StoreRecords(t.ctx, QStringLiteral("OTRO.MQW"), std::vector{Machine("PR", "Prensa vieja")});
    StoreOperations({Op("PR", "S", "P", "MC", "REVISAR", 30), Op("PR", "M", "P", "E", "LIMPIAR", 20),
                     Op("X", "M", "P", "E", "OTRA", 1)},
                    "OTRO.OPR");

    auto& ui = t.ui;
    ui.ExpectCard(kCopyDialog)
        .DoubleClick("Forigen")
        .ExpectValue("Forigen", data + QStringLiteral("/OTRO"))
        .Set("Morigen", "PR")
        .Set("Mdestin", "TORNO")
        .Press("COPIAR");
    ui.ExpectChooseFile(data + QStringLiteral("/OTRO.OPR"));
    ui.ExpectCard(kCard)
        .ExpectValue("Label2", "Prensa vieja")
        .ExpectValue("FercGM", "M")
        .Inspect([](const CardState& s) {
            EXPECT_TRUE(
                RichText(s).endsWith(QStringLiteral("\n\tS\tP\t30\tMC\tREVISAR\n\tM\tP\t20\tE\tLIMPIAR")));
        })
        .Press("BitBtn1");

    ASSERT_TRUE(RunMenu("Gamas > Copia Gamas > Total"));
    EXPECT_SCRIPT_DONE(ui);
    ASSERT_EQ(ui.FileRequests().size(), 1u);
    EXPECT_EQ(ui.FileRequests()[0].folder, data);
    EXPECT_EQ(ui.FileRequests()[0].filters, QStringList{QStringLiteral("Operaciones de Revisión (*.opr)")});
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{Op("TORNO", "M", "P", "E", "LIMPIAR", 20),
                                                  Op("TORNO", "S", "P", "MC", "REVISAR", 30)}));
    EXPECT_FALSE(t.Exists(QStringLiteral("PORTAL.OBK")));
}

// A target left at the dialog's text "CÓDIGO MÁQUINA" used to receive the copied routine.
TEST_F(RoutinesTest, CopyStopsWhenAMachineIsMissing)
{
    StoreMachines({Machine("PR", "Prensa")});
    StoreOperations({Op("PR", "M", "P", "E", "LIMPIAR", 20)});
    t.ui.ExpectCard(kCopyDialog).Set("Morigen", "PR").Press("COPIAR");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA BUSCADA EN EL ENTORNO DESTINO"));
    t.ui.ExpectCard(kCopyDialog).Set("Morigen", "XX").Set("Mdestin", "PR").Press("COPIAR");
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA BUSCADA EN EL ENTORNO ORIGEN"));
    ASSERT_TRUE(RunMenu("Gamas > Copia Gamas > Total"));
    ASSERT_TRUE(RunMenu("Gamas > Copia Gamas > Selectiva"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{Op("PR", "M", "P", "E", "LIMPIAR", 20)}));
}

// ---- The plan hand-over ------------------------------------------------------------------------------

TEST_F(RoutinesTest, ThePlanCallsKeepTheCallersModeCodes)
{
    StorePlan({Planned("AA", 1), Planned("TORNO", 7), Planned("ZZ", 2)});
    RecordPlanCalls();
    State& st = t.ctx.st;
    st.ActionCode = QStringLiteral("S");
    st.AnswerCode = QStringLiteral("N");
    st.OutputCode = QStringLiteral(" ");
    Routines(t.ctx).CurrentOperation.MachineCode = "TORNO";

    EXPECT_FALSE(FindPlannedMachine(t.ctx)); // out of the plan: not held
    EXPECT_EQ(st.ActionCode, QStringLiteral("S"));
    EXPECT_EQ(st.AnswerCode, QStringLiteral("N"));
    EXPECT_EQ(Routines(t.ctx).EditorPlanEntry.Code.str(), QStringLiteral("TORNO"));
    EXPECT_EQ(Routines(t.ctx).EditorPlanEntry.StartWeek.get(), 7);
    ReloadMachineAfterEdit(t.ctx);
    EXPECT_EQ(st.ActionCode, QStringLiteral("S"));
    EXPECT_EQ(calls,
              (QStringList{QStringLiteral("unload TORNO ED"), QStringLiteral("reload TORNO EC week 7")}));
}

TEST_F(RoutinesTest, ACopiedOrAddedRoutineGoesBackIntoThePlanOnlyOnceSaved)
{
    StoreMachines({Machine("PR", "Prensa"), Machine("TORNO", "Torno")});
    const TOperationRecord review = Op("PR", "S", "P", "MC", "REVISAR", 30);
    const TOperationRecord own = Op("TORNO", "M", "O", "MC", "AFILAR", 15);
    StoreOperations({review, own});
    StorePlan({Planned("TORNO", 7)});
    RecordPlanCalls();

    t.ui.ExpectCard(kCopyDialog).Set("Morigen", "PR").Set("Mdestin", "TORNO").Press("COPIAR");
    t.ui.ExpectCard(kCard).Press("Button1");
    ASSERT_TRUE(RunMenu("Gamas > Copia Gamas > Selectiva"));
    EXPECT_SCRIPT_DONE(t.ui);
    const TOperationRecord copied = Op("TORNO", "S", "P", "MC", "REVISAR", 30);
    EXPECT_EQ(calls,
              (QStringList{QStringLiteral("unload TORNO ED"), QStringLiteral("reload TORNO EC week 7")}));
    EXPECT_EQ(fileAtReload, Bytes(std::vector{review, own, copied}));

    // An add appends to the end of the file; the plan sees the routine only after the save sorted it.
    calls.clear();
    StorePlan({Planned("TORNO", 5)});
    t.ui.ExpectInput(QStringLiteral("ALTA OPRACIONES DE REVISION"),
                     QStringLiteral("Entrar Código de Máquina"), QStringLiteral("TORNO"));
    t.ui.ExpectCard(kCard).Set("FercGM", "1S").Set("TiempoGM", "5").Press("Button1");
    t.ui.ExpectCard(kCard).Press("BitBtn1");
    ASSERT_TRUE(RunMenu("Gamas > Alta"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(calls,
              (QStringList{QStringLiteral("unload TORNO ED"), QStringLiteral("reload TORNO EC week 5")}));
    EXPECT_EQ(fileAtReload, Bytes(std::vector{review, Op("TORNO", "1S", "..", "..", ".. ", 5), own, copied}));
}

TEST_F(RoutinesTest, AMachineThePlanKeepsCannotBeEditedNorCopiedInto)
{
    StoreMachines({Machine("PR", "Prensa"), Machine("TORNO", "Torno")});
    StoreOperations({Op("PR", "S", "P", "MC", "REVISAR", 30), Op("TORNO", "M", "O", "MC", "AFILAR", 15)});
    StorePlan({Planned("TORNO", 7)});
    registry.Register(gim::Op::UnloadPlannedMachine,
                      [](Context& ctx) { Routines(ctx).EditorPlanEntry.Code = "#"; });

    t.ui.ExpectInput(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"),
                     QStringLiteral("TORNO"));
    t.ui.ExpectCard(kCard).ExpectDisabled("Button1").ExpectDisabled("Button2").Press("Impresion");
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    t.ui.ExpectCard(kCopyDialog).Set("Morigen", "PR").Set("Mdestin", "TORNO").Press("COPIAR");
    t.ui.ExpectMessage(QStringLiteral("MAQUINA EN PLANING\rDESCARGARLA ANTES DE EFECTUAR ALTANUEVA"));
    ASSERT_TRUE(RunMenu("Gamas > Copia Gamas > Total"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Routines(t.ctx).PlanSearchEntry.Code.str(), QStringLiteral("00-000"));
}

// ---- Listing, hand-over and export -------------------------------------------------------------------

TEST_F(RoutinesTest, ListingShowsTheCoveredOperationsWithTheirTimesAndRatio)
{
    StoreMachines({Machine("PR", "Prensa hidraulica")});
    const std::string longText(98, 'x');
    StoreOperations({Op("PR", "1D", "O", "MC", "ENGRASAR", 10), Op("PR", "M", "P", "E", longText.c_str(), 20),
                     Op("PR", "M2", "P", "MC", "REVISAR", 30), Op("PR", "S", "P", "MC", "CAMBIAR", 60)});
    auto& ui = t.ui;
    const QString caption = QStringLiteral("Listado de Gamas");
    ui.ExpectInput(caption, QStringLiteral("Entrar Codigo Máquina "), QStringLiteral("PR"));
    ui.ExpectInput(caption, QStringLiteral("Frecuencia de la Gama"), QStringLiteral("M"));
    ui.ExpectInputCancel(caption, QStringLiteral("Especialidad de la Gama"));
    ui.ExpectReport(QStringLiteral("GAMAS PREVENTIVO DE PORTAL"));
    ASSERT_TRUE(RunMenu("Gamas > Listado"));
    EXPECT_SCRIPT_DONE(ui);

    // A monthly listing covers the daily and the monthly operations, not the two-monthly one.
    EXPECT_EQ(
        Transcript(),
        QStringLiteral("[GAMAS PREVENTIVO DE PORTAL]\n"
                       "TABS: 5 25 40 63 80 350\n"
                       "{12 b}\tFABRICA") +
            QString(29, QLatin1Char(' ')) + QStringLiteral("GAMA DE MANTENIMIENTO") +
            QString(18, QLatin1Char(' ')) +
            QStringLiteral("07/12/2026\n"
                           "\n"
                           "\tCodigo:PR   Prensa hidraulica\tPORTAL\n"
                           "\n"
                           "{12 u}\tFr\tEt\tTp\tOf\t                    DESCRIPCION OPERACIONES DE REVISION\n"
                           "{12}  \n"
                           "{8}\t1D\tO\t10\tMC\tENGRASAR\n"
                           "\n"
                           "\tM\tP\t20\tE\t") +
            QString::fromStdString(longText) +
            QStringLiteral("\n"
                           "\n"
                           "\t\t\t\t\t\n"
                           "\n"
                           "{12}\t\t\tTIEMPO TOTAL PREVISTO DE EJECUCION  TP : 30  MINUTOS\n"
                           "\t\t\tTIEMPO DISPONIBILIDAD DE LA MAQUINA TD : 20  MINUTOS\n"
                           "\t\t\tRATIO INTERFERENCIA DE MTO. (TD/TP) : 66%\n"));
    EXPECT_EQ(ui.Reports().back()->saveSubFolder, QStringLiteral("\\Gamas"));
    EXPECT_EQ(t.ctx.st.OutputCode, QStringLiteral(" "));

    // Nothing passes: no division by zero.
    ui.ExpectInput(caption, QStringLiteral("Entrar Codigo Máquina "), QStringLiteral("PR"));
    ui.ExpectInputCancel(caption, QStringLiteral("Frecuencia de la Gama"));
    ui.ExpectInput(caption, QStringLiteral("Especialidad de la Gama"), QStringLiteral("H"));
    ui.ExpectReport();
    ui.ExpectInput(caption, QStringLiteral("Entrar Codigo Máquina "), QStringLiteral("NADA"));
    ui.ExpectInputCancel(caption, QStringLiteral("Frecuencia de la Gama"));
    ui.ExpectInputCancel(caption, QStringLiteral("Especialidad de la Gama"));
    ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA O LA REVISION DE LA FRECUENCIA BUSCADA"));
    ASSERT_TRUE(RunMenu("Gamas > Listado"));
    const QString empty = ui.Reports().back()->Text();
    ASSERT_TRUE(RunMenu("Gamas > Listado"));
    EXPECT_SCRIPT_DONE(ui);
    EXPECT_TRUE(
        empty.endsWith(QStringLiteral("TP : 0  MINUTOS\n\t\t\tTIEMPO DISPONIBILIDAD DE LA MAQUINA TD : 0  "
                                      "MINUTOS\n\t\t\tRATIO INTERFERENCIA DE MTO. (TD/TP) : 0%")));
}

TEST_F(RoutinesTest, AListingRowHandedOverOpensItsOperationOnceWithoutAsking)
{
    StoreMachines({Machine("PR", "Prensa")});
    StoreOperations({Op("PR", "M", "P", "MC", "LIMPIAR FILTRO", 20), Op("PR", "M", "O", "MC", "LIMPIAR", 5),
                     Op("PR", "S", "P", "MC", "REVISAR", 30)});
    const QString caption = QStringLiteral("Listado de Gamas");
    t.ui.ExpectInput(caption, QStringLiteral("Entrar Codigo Máquina "), QStringLiteral("PR"));
    t.ui.ExpectInputCancel(caption, QStringLiteral("Frecuencia de la Gama"));
    t.ui.ExpectInputCancel(caption, QStringLiteral("Especialidad de la Gama"));
    t.ui.ExpectReport();
    ASSERT_TRUE(RunMenu("Gamas > Listado"));

    const ReportDocument& listing = *t.ui.Reports().back();
    QString row;
    for (int i = 0; i < listing.LineCount(); ++i)
        if (listing.LineText(i).endsWith(QStringLiteral("LIMPIAR FILTRO")))
            row = listing.LineText(i);
    ASSERT_EQ(row, QStringLiteral("\tM\tP\t20\tMC\tLIMPIAR FILTRO"));
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Gamas, row);
    EXPECT_EQ(t.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Gamas)], 1);

    // Only the operation of the row: the other monthly one is done with the machine running.
    t.ui.ExpectCard(kCard)
        .ExpectValue("DescripGM", "LIMPIAR FILTRO")
        .ExpectValue("TiempoGM", "20")
        .Press("Impresion");
    Dispatcher dispatcher(t.ctx, registry, MainCommandTable());
    dispatcher.RunPendingEdits();
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ctx.st.PendingEditFlags[PendingEditIndex(EditItem::Gamas)], 0);

    // Taken once: the next edit asks for a code.
    t.ui.ExpectInputCancel(QStringLiteral("EDICION DE GAMAS"), QStringLiteral("Entrar Codigo"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE LA MAQUINA"));
    ASSERT_TRUE(RunMenu("Gamas > Edición OPR"));
    EXPECT_SCRIPT_DONE(t.ui);

    // A new report window empties the description the hand-over left.
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Gamas, row);
    handover.ClearForNewWindow();
    EXPECT_TRUE(Routines(t.ctx).SelectedOperation.Description.empty());
}

TEST_F(RoutinesTest, ExportListsEveryOperationAndSavesItNormalised)
{
    TOperationRecord gone = Op("Z", "M", "P", "E", "BORRADA", 1);
    StoreOperations({Op("PR", "X", "O", "F", "ENFRIAR", 10), gone, Op("PR", "S", "P", "M", "  REVISAR", 30)});
    t.ui.ExpectReport(QStringLiteral("GAMAS"));
    ASSERT_TRUE(RunMenu("Utiles > Exportar > Gamas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Transcript(), QStringLiteral("[GAMAS]\nTABS: 5 60 80 100 120 140\n\tFABRICA") +
                                QString(29, QLatin1Char(' ')) + QStringLiteral("GAMA DE MANTENIMIENTO") +
                                QString(18, QLatin1Char(' ')) +
                                QStringLiteral("07/12/2026\n"
                                               "\n"
                                               "\tPR\tS\tP\t30\tM\t  REVISAR\n"
                                               "\tPR\tS\tO\t10\tF\tENFRIAR\n"));
    const auto revisar = test::RecordFrom<TOperationRecord>(RecordBytes(152)
                                                                .Text(0, "PR")
                                                                .Text(9, "S")
                                                                .Text(12, "P")
                                                                .Text(15, "MC")
                                                                .Text(18, "REVISAR")
                                                                .Raw(26, {'A', 'R'})
                                                                .Raw(150, {30, 0}));
    EXPECT_EQ(OperationBytes(), Bytes(std::vector{revisar, Op("PR", "S", "O", "FR", "ENFRIAR", 10)}));
    EXPECT_EQ(t.ctx.st.ExportFlag, 0);
    // The export leaves the list loaded, matching the file it wrote.
    const std::vector<OperationEntry>& list = Routines(t.ctx).OperationList;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].pos, 1u);
    EXPECT_EQ(list[1].rec.Speciality.str(), QStringLiteral("FR"));

    // Year restart: the new environment starts from the routine as saved.
    CopyOperationsToEnvironment(t.ctx, QStringLiteral("NUEVO"));
    EXPECT_EQ(t.ReadFile(QStringLiteral("NUEVO.OPR")), OperationBytes());
}

// A list left loaded by a listing belongs to its environment's file.
TEST_F(RoutinesTest, AListLeftLoadedIsNotSavedIntoAnotherEnvironment)
{
    StoreOperations({Op("PR", "M", "P", "E", "LIMPIAR", 20)});
    LoadOperationList(t.ctx);
    t.ctx.st.CurrentEnvironment = QStringLiteral("OTRO");
    BuildDataFileNames(t.ctx);
    StoreOperations({Op("TORNO", "M", "O", "MC", "AFILAR", 15)}, "OTRO.OPR");
    t.ui.ExpectReport(QStringLiteral("GAMAS"));
    ASSERT_TRUE(RunMenu("Utiles > Exportar > Gamas"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.ReadFile(QStringLiteral("OTRO.OPR")),
              Bytes(std::vector{Op("TORNO", "M", "O", "MC", "AFILAR", 15)}));
}

// The budget weighs each operation by its revisions a year, only for the specialities it prices.
TEST_F(RoutinesTest, AnnualOccurrencesCountTheRevisionsOfTheBudgetsSpecialities)
{
    TOperationRecord op = Op("PR", "M", "P", "E", "LIMPIAR", 20);
    const std::vector<std::pair<const char*, double>> perYear{
        {"1D", 313}, {"1S", 52}, {"2S", 26}, {"M", 12},   {"M2", 6}, {"M3", 4},
        {"M4", 3},   {"S", 2},   {"S2", 1},  {"S4", 0.5}, {"TF", 0}, {"m", 0},
    };
    for (const auto& [code, times] : perYear) {
        op.Frequency = QString::fromLatin1(code);
        EXPECT_EQ(AnnualOccurrences(op, QStringLiteral("*")), times) << code;
        EXPECT_EQ(AnnualOccurrences(op, QStringLiteral("E")), times) << code;
        EXPECT_EQ(AnnualOccurrences(op, QStringLiteral("MC")), 0.0) << code;
    }
}

// Editar > Gamas on a row of the operation listing: the machine code stays as it was.
TEST_F(RoutinesTest, EditarGamasFillsTheOperationFieldsOfItsColumns)
{
    HandoverRegistry& handover = t.ctx.Module<HandoverRegistry>();
    handover.HandOver(t.ctx.st.PendingEditFlags, EditItem::Gamas,
                      test::Row({"3", "1M", "P", "20", "ME", "Engrase de guías"}));
    EXPECT_EQ(test::Describe(handover.Buffer(EditItem::Gamas)),
              test::Describe({{"Frequency", "1M"},
                              {"State", "P"},
                              {"Minutes", "20"},
                              {"Speciality", "ME"},
                              {"Description", "Engrase de guías"}}));
}

} // namespace
} // namespace gim
