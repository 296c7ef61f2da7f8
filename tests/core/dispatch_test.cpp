#include "core/dispatch.h"

#include "app/features.h"
#include "core/command.h"
#include "core/environment.h"
#include "core/io_errors.h"
#include "core/record_file.h"
#include "support/scripted_ui_check.h"
#include "support/test_context.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace gim {
namespace {

TMachineRecord Machine(const char* code, const char* name, const char* model)
{
    TMachineRecord m{};
    m.Codigo = code;
    m.Denominacion = name;
    m.Modelo = model;
    m.Fabricacion = "S-77";
    return m;
}

class Dispatch : public ::testing::Test
{
protected:
    Dispatch()
    {
        t.ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        BuildDataFileNames(t.ctx);
        InitCurrentDate(t.ctx);
        RegisterMainWindowOperations(registry);
    }

    // An operation that writes its name and the mode codes it sees into the log, then does `also`.
    void Fake(Op op, std::function<void(Context&)> also = {})
    {
        registry.Register(op, [this, op, also](Context& ctx) {
            const State& st = ctx.st;
            log << QString::fromLatin1(Name(op)) + QLatin1Char(' ') + st.ActionCode + QLatin1Char('|') +
                       st.OutputCode + QLatin1Char('|') + st.SubCode + QLatin1Char('|') + st.AnswerCode;
            if (also)
                also(ctx);
        });
    }

    // Fakes for everything the menu uses that nothing registered; conditions read `conditions`.
    void FakeEverything()
    {
        auto condition = [this](Cond cond) {
            if (!registry.Has(cond))
                registry.RegisterCondition(cond, [this, cond](const Context&) { return conditions[cond]; });
        };
        for (const CommandItem& item : MainCommandTable()) {
            for (const CommandStep& step : item.steps) {
                if (!registry.Has(step.operation))
                    Fake(step.operation);
                if (step.when)
                    condition(step.when->cond);
            }
            for (const Requirement& name : item.needs) {
                if (const Op* op = std::get_if<Op>(&name); op && !registry.Has(*op))
                    Fake(*op);
                if (const Cond* cond = std::get_if<Cond>(&name))
                    condition(*cond);
            }
        }
    }

    QStringList Names() const
    {
        QStringList names;
        for (const QString& entry : log)
            names << entry.section(QLatin1Char(' '), 0, 0);
        return names;
    }

    test::TestContext t;
    OperationRegistry registry;
    Dispatcher dispatcher{t.ctx, registry, MainCommandTable()};
    QStringList log;
    std::map<Cond, bool> conditions;
};

TEST_F(Dispatch, SetsTheItemsCodesRunsItsStepsInOrderAndClearsTheCodes)
{
    FakeEverything();
    State& st = t.ctx.st;
    st.OutputCode.clear();
    st.SubCode.clear();

    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Máquinas > Listado > Máquinas")));
    EXPECT_EQ(log, (QStringList{"LoadMachineList M|||", "ListMachines M|||", "FreeMachineList M|||"}));
    EXPECT_EQ(st.ActionCode, "");
    EXPECT_EQ(st.OutputCode, "") << "a code the item did not set stays as it was";

    log.clear();
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Reparaciones > Consulta > Avisos Pend")));
    EXPECT_EQ(log, (QStringList{"ReportRepairHistory A|P|M|"}));
    EXPECT_EQ(st.ActionCode, "");
    EXPECT_EQ(st.OutputCode, " ");
    EXPECT_EQ(st.SubCode, " ");

    log.clear();
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Pláning > Altas > Descargar > Manual")));
    EXPECT_EQ(log, (QStringList{"PlanMachine M| | |D", "ListAnnualPlan M| | |D"}));
    EXPECT_EQ(st.AnswerCode, "");

    // The general re-sort of the pop-up menu sorts twice with different orders.
    log.clear();
    st.ActionCode = QStringLiteral("X");
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Ordenar")));
    EXPECT_EQ(log, (QStringList{"SortPlannedRepairFile 3| | |", "SortPlannedRepairFile | | |",
                                "SortBreakdownFile 2| | |", "SortBreakdownFile | | |",
                                "PurgePersonnelEntries | | |", "SortWorkReportFile | | |",
                                "SortPersonnelFile | | |", "SortEnergyReadings | | |"}));
}

TEST_F(Dispatch, TheSaveFollowsOnlyWhenTheOperationAcceptedItsWork)
{
    FakeEverything();
    State& st = t.ctx.st;
    bool accept = true;
    Fake(Op::AddProcedure, [&](Context& ctx) { ctx.st.ContinueFlag = accept ? 1 : 0; });
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Procedimientos > Alta")));
    EXPECT_EQ(Names(), (QStringList{"AddProcedure", "SortProcedureFile"}));

    // A flag left over from the previous command does not count.
    log.clear();
    st.ContinueFlag = 1;
    Fake(Op::AddProcedure);
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Procedimientos > Alta")));
    EXPECT_EQ(Names(), (QStringList{"AddProcedure"}));

    // The owner's own flags: the machine card saves and re-sorts only when it asked to.
    log.clear();
    conditions[Cond::MachineCardRequest] = false;
    dispatcher.Run(QStringLiteral("Máquinas > Edición"));
    EXPECT_EQ(Names(), (QStringList{"LoadMachineList", "EditMachine", "FreeMachineList"}));
    log.clear();
    conditions[Cond::MachineCardRequest] = true;
    dispatcher.Run(QStringLiteral("Máquinas > Edición"));
    EXPECT_EQ(Names(),
              (QStringList{"LoadMachineList", "EditMachine", "SaveMachineRecord", "SortMachineFile"}));
}

TEST_F(Dispatch, AFileErrorAbandonsTheCommandAndClearsWhatItSet)
{
    FakeEverything();
    State& st = t.ctx.st;
    Fake(Op::ListMachines, [](Context&) { throw IoAbort(IoCode::DiskRead, QStringLiteral("PORTAL.MQW")); });
    t.ui.ExpectMessage(IoErrorText(IoCode::DiskRead));
    EXPECT_FALSE(dispatcher.Run(QStringLiteral("Máquinas > Listado > Máquinas")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Names(), (QStringList{"LoadMachineList", "ListMachines"}));
    EXPECT_EQ(st.ActionCode, "");

    // The export mode ends with the command too.
    int exportSeen = -1;
    Fake(Op::SaveOperationList, [&](Context& ctx) {
        exportSeen = ctx.st.ExportFlag;
        throw IoAbort(IoCode::DiskWrite, QStringLiteral("PORTAL.OPR"));
    });
    t.ui.ExpectMessage(IoErrorText(IoCode::DiskWrite));
    EXPECT_FALSE(dispatcher.Run(QStringLiteral("Utiles > Exportar > Gamas")));
    EXPECT_EQ(exportSeen, 1);
    EXPECT_EQ(st.ExportFlag, 0);

    // Anything else escaping an operation still leaves no code behind.
    Fake(Op::ListPersonnel, [](Context&) { throw std::runtime_error("fallo"); });
    EXPECT_THROW(dispatcher.Run(QStringLiteral("Personal > Listados > Matriculas")), std::runtime_error);
    EXPECT_EQ(st.ActionCode, "");
    EXPECT_FALSE(CommandRunning::Now(t.ctx));
}

TEST_F(Dispatch, ACancelledImportLeavesNoImportMode)
{
    FakeEverything();
    // The import window opens and the command returns; the user cancels it later.
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Utiles > Importar")));
    EXPECT_EQ(log, (QStringList{"ShowImportWindow i|||"}));
    EXPECT_EQ(t.ctx.st.ActionCode, "");

    // The next command that sets no code of its own does not run in import mode.
    log.clear();
    dispatcher.Run(QStringLiteral("Máquinas > Alta"));
    EXPECT_EQ(log, (QStringList{"AddMachines | ||", "SortMachineFile | ||"}));
}

TEST_F(Dispatch, ItemsWhoseOperationsAreMissingDoNotRun)
{
    EXPECT_FALSE(dispatcher.Run(QStringLiteral("Máquinas > Alta")));
    EXPECT_FALSE(dispatcher.Run(QStringLiteral("No existe")));
    Fake(Op::AddMachines);
    EXPECT_FALSE(dispatcher.Run(QStringLiteral("Máquinas > Alta")));
    EXPECT_TRUE(log.isEmpty());

    // Creating a plan is offered only while the horizon is one year at most.
    Fake(Op::CreatePlanning);
    const std::size_t create = *dispatcher.Find(QStringLiteral("Pláning > Crear"));
    t.ctx.st.FirstYear = 7;
    t.ctx.st.LastYear = 9;
    EXPECT_FALSE(dispatcher.IsEnabled(create));
    EXPECT_FALSE(dispatcher.Run(create));
    t.ctx.st.LastYear = 8;
    EXPECT_TRUE(dispatcher.IsEnabled(create));
}

TEST_F(Dispatch, APendingEditRunsItsEditCommandOnceOnTheNextKey)
{
    FakeEverything();
    State& st = t.ctx.st;
    st.PendingEditFlags[1] = 1; // Gamas
    dispatcher.RunPendingEdits();
    EXPECT_EQ(Names(), (QStringList{"LoadOperationList", "EditOperations"}));
    EXPECT_FALSE(dispatcher.HasPendingEdits());
    log.clear();
    dispatcher.RunPendingEdits();
    EXPECT_TRUE(log.isEmpty());

    // Two pending: Partes first, then Energías.
    st.PendingEditFlags[0] = 1;
    st.PendingEditFlags[8] = 1;
    dispatcher.RunPendingEdits();
    EXPECT_EQ(Names(), (QStringList{"LoadWorkReports", "ModifyWorkReport", "FreeWorkReportList",
                                    "LoadEnergyReadings", "EditEnergyReadings", "SortEnergyReadings"}));
    EXPECT_EQ(log[1], "ModifyWorkReport 4|||");
    EXPECT_FALSE(dispatcher.HasPendingEdits());
}

TEST_F(Dispatch, TheEditCommandHandsTheSelectedRowOverFirstAndClearsItsOwnFlag)
{
    FakeEverything();
    State& st = t.ctx.st;
    Fake(Op::EditarGamas);
    st.EditorOpenFlag = 1;
    st.PendingEditFlags[1] = 1;
    st.PendingEditFlags[3] = 1;
    dispatcher.Run(QStringLiteral("Gamas > Edición OPR"));
    EXPECT_EQ(Names(), (QStringList{"EditarGamas", "LoadOperationList", "EditOperations"}));
    EXPECT_EQ(st.PendingEditFlags[1], 0);
    EXPECT_EQ(st.PendingEditFlags[3], 1) << "only the item's own flag";

    // No report window open: no hand-over.
    log.clear();
    st.EditorOpenFlag = 0;
    dispatcher.Run(QStringLiteral("Gamas > Edición OPR"));
    EXPECT_EQ(Names(), (QStringList{"LoadOperationList", "EditOperations"}));
}

TEST_F(Dispatch, PendingEditsWaitWhileACommandRunsAndSkipItemsNotOffered)
{
    FakeEverything();
    State& st = t.ctx.st;
    Fake(Op::ListMachines, [this](Context& ctx) {
        ctx.st.PendingEditFlags[1] = 1;
        dispatcher.RunPendingEdits();
    });
    dispatcher.Run(QStringLiteral("Máquinas > Listado > Máquinas"));
    EXPECT_FALSE(Names().contains("EditOperations"));
    EXPECT_EQ(st.PendingEditFlags[1], 1);

    OperationRegistry bare;
    Dispatcher plain(t.ctx, bare, MainCommandTable());
    st.PendingEditFlags[5] = 1;
    log.clear();
    plain.RunPendingEdits();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_FALSE(plain.HasPendingEdits());
}

TEST_F(Dispatch, ActivationShowsCardsAgainButNotInTheMiddleOfACommand)
{
    FakeEverything();
    State& st = t.ctx.st;
    st.InteractiveFlag = 0;
    dispatcher.MainWindowActivated();
    EXPECT_EQ(st.InteractiveFlag, 1);

    // The synchronous load runs without cards; the window becoming active meanwhile waits for its end.
    int seenAfterActivation = -1;
    Fake(Op::AutoLoadPlanning, [&](Context& ctx) {
        dispatcher.MainWindowActivated();
        seenAfterActivation = ctx.st.InteractiveFlag;
    });
    dispatcher.Run(QStringLiteral("Pláning > Altas > Cargar > Automática > Sincrona"));
    EXPECT_EQ(seenAfterActivation, 0);
    EXPECT_EQ(st.InteractiveFlag, 1);

    // An import run by its own window holds the command guard: its cards stay hidden.
    {
        CommandRunning import(t.ctx);
        st.InteractiveFlag = 0;
        dispatcher.MainWindowActivated();
        EXPECT_EQ(st.InteractiveFlag, 0);
    }
    dispatcher.MainWindowActivated();
    EXPECT_EQ(st.InteractiveFlag, 1);
}

TEST_F(Dispatch, TheMachineBookLooksTheMachineUpFromTheSheetName)
{
    StoreRecords(
        t.ctx, QStringLiteral("PORTAL.MQW"),
        std::vector<TMachineRecord>{Machine("M-001", "PRENSA", "P200"), Machine("X-2", "TORNO", "T1")});
    State& st = t.ctx.st;
    st.FoundMachine = Machine("X-2", "TORNO", "T1"); // whatever the last command left
    QString sheetCode, sheetName, sheetModel;
    Fake(Op::ShowMachineSheet, [&](Context& ctx) {
        sheetCode = ctx.st.FoundMachine.Codigo.str();
        sheetName = ctx.st.FoundMachine.Denominacion.str();
        sheetModel = ctx.st.FoundMachine.Modelo.str();
    });
    const QString folder = t.dir.path() + QStringLiteral("/MAQUINAS/PORTAL");
    t.ui.ExpectChooseFile(folder + QStringLiteral("/M-001.rtf"));
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Máquinas > Informes")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_TRUE(QDir(folder).exists());
    ASSERT_EQ(t.ui.FileRequests().size(), 1u);
    EXPECT_EQ(t.ui.FileRequests()[0].folder, folder);
    EXPECT_EQ(t.ui.FileRequests()[0].filters, QStringList{"Ficheros de Texto (*.rtf)"});
    EXPECT_EQ(sheetCode, "M-001");
    EXPECT_EQ(sheetName, "PRENSA");
    EXPECT_EQ(sheetModel, "P200");
    EXPECT_EQ(st.ReportFileName, "M-001.rtf");
    EXPECT_EQ(st.CurrentSubFolder, "\\Maquinas\\PORTAL\\");

    // A long name is cut after the extension is gone; a machine not in the register is said so.
    t.ui.ExpectChooseFile(folder + QStringLiteral("/ABCDEFGHIJ.rtf"));
    dispatcher.Run(QStringLiteral("Máquinas > Informes"));
    EXPECT_EQ(sheetCode, "ABCDEFGH");
    EXPECT_EQ(sheetName, "NO EXISTE LA MAQUINA");
    EXPECT_EQ(sheetModel, "");
    EXPECT_EQ(st.ReportFileName, "ABCDEFGH.rtf");

    // Cancelled: no sheet.
    log.clear();
    t.ui.ExpectChooseFile(std::nullopt);
    dispatcher.Run(QStringLiteral("Máquinas > Informes"));
    EXPECT_TRUE(log.isEmpty());
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(Dispatch, AddingAWorkReportFileMergesTheChosenFileAndReSortsWhatItTouched)
{
    FakeEverything();
    registry.RegisterFileOperation(Op::MergeWorkReportFile, [this](Context& ctx, const QString& path) {
        log << QStringLiteral("MergeWorkReportFile ") + ctx.st.ActionCode + QLatin1Char(' ') + path;
    });
    conditions[Cond::BreakdownPosted] = true;
    const QString other = t.dir.path() + QStringLiteral("/OTRO.P25");
    t.ui.ExpectChooseFile(other);
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Partes > Fichero > Añadir Partes")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(Names(), (QStringList{"FreeWorkReportList", "LoadMachineList", "LoadPlannedRepairs",
                                    "MergeWorkReportFile", "SavePlannedRepairList", "FreePlannedRepairList",
                                    "FreeMachineList", "SortBreakdownFile"}));
    EXPECT_EQ(log[3], "MergeWorkReportFile i " + other);
    const FileDialogRequest& request = t.ui.FileRequests()[0];
    EXPECT_EQ(request.caption, "Fichero de Partes Añadir");
    EXPECT_EQ(request.folder, t.dir.path());
    EXPECT_EQ(request.fileName, "#");
    EXPECT_EQ(request.filters, QStringList{"Ficheros de Partes Diarios de PORTAL (*.pda)"});
    EXPECT_EQ(t.ctx.st.ActionCode, "");

    // The proposed name left as it was, or the dialog cancelled: nothing is merged.
    for (std::optional<QString> answer :
         {std::optional<QString>(t.dir.path() + QStringLiteral("/#")), std::optional<QString>()}) {
        log.clear();
        t.ui.ExpectChooseFile(answer);
        dispatcher.Run(QStringLiteral("Partes > Fichero > Añadir Partes"));
        EXPECT_FALSE(Names().contains("MergeWorkReportFile"));
        EXPECT_TRUE(Names().contains("SavePlannedRepairList"));
    }
}

TEST_F(Dispatch, TheJobDescriptionsFileOpensInTheDesktopsEditorOrTheUserIsToldWhyNot)
{
    t.ui.ExpectMessage(QStringLiteral(
        "Debe Editar el fichero PORTAL.txt con las Descripciones de Trabajos de Partes Diario"));
    t.WriteFile(QStringLiteral("PORTAL.txt"), "AJUSTAR\r\n");
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Partes > Fichero > Descripción Partes")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.shell.calls, QStringList{"path:" + t.Path(QStringLiteral("PORTAL.txt"))});
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.txt")), "AJUSTAR\r\n");

    // A file no application opens is left as it was, and the user is told.
    t.shell.result = false;
    t.ui.ExpectMessage(QStringLiteral(
        "Debe Editar el fichero PORTAL.txt con las Descripciones de Trabajos de Partes Diario"));
    t.ui.ExpectMessage(QStringLiteral("NO HAY NINGUNA APLICACIÓN PARA ABRIR ") +
                       t.Path(QStringLiteral("PORTAL.txt")));
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Partes > Fichero > Descripción Partes")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.shell.calls.size(), 2);
    EXPECT_EQ(t.ReadFile(QStringLiteral("PORTAL.txt")), "AJUSTAR\r\n");

    // A missing file is not made just to be opened: the user writes it.
    t.shell.result = true;
    t.ctx.st.CurrentEnvironment = QStringLiteral("NUEVO");
    t.ui.ExpectMessage(QStringLiteral(
        "Debe Editar el fichero NUEVO.txt con las Descripciones de Trabajos de Partes Diario"));
    t.ui.ExpectMessage(QStringLiteral("NO EXISTE EL FICHERO ") + t.Path(QStringLiteral("NUEVO.txt")));
    dispatcher.Run(QStringLiteral("Partes > Fichero > Descripción Partes"));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_FALSE(t.Exists(QStringLiteral("NUEVO.txt")));
    EXPECT_EQ(t.shell.calls.size(), 2);
}

TEST_F(Dispatch, HelpOpensTheHelpFileOrSaysThereIsNone)
{
    t.ui.ExpectMessage(QStringLiteral("No existe el fichero de ayuda Mto.hlp en la carpeta del programa"));
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Utiles > Ayuda")));
    EXPECT_TRUE(t.shell.calls.isEmpty());

    t.WriteFile(QStringLiteral("MTO.HLP"), "?");
    OpenHelpFile(t.ctx);
    EXPECT_EQ(t.shell.calls, QStringList{"path:" + t.Path(QStringLiteral("MTO.HLP"))});

    t.shell.result = false;
    t.ui.ExpectMessage("No se puede abrir el fichero de ayuda " + t.Path(QStringLiteral("MTO.HLP")));
    OpenHelpFile(t.ctx);
    EXPECT_SCRIPT_DONE(t.ui);
}

TEST_F(Dispatch, TheMaintenanceReportStartsAnEmptyReportWindow)
{
    t.ui.ExpectReport(QStringLiteral("Informes Veltrano"));
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Utiles > Informes")));
    EXPECT_SCRIPT_DONE(t.ui);
    const ReportDocument& report = *t.ui.Reports().at(0);
    ASSERT_EQ(report.LineCount(), 2);
    EXPECT_EQ(report.LineText(0), "\tPORTAL" + QString(33, QLatin1Char(' ')) + "INFORME DE MANTENIMIENTO" +
                                      QString(15, QLatin1Char(' ')) + "07/12/2026");
    EXPECT_EQ(report.LineText(1), "");
    EXPECT_EQ(t.ctx.st.CurrentSubFolder, "\\Informes");
    EXPECT_EQ(report.saveSubFolder, "\\Informes");
}

TEST_F(Dispatch, AboutSendsTheUserToTheMakersAddress)
{
    const QString address = QString::fromLatin1(kMakerWebAddress);
    t.ui.ExpectMessage("Más información en " + address);
    EXPECT_TRUE(dispatcher.Run(QStringLiteral("Utiles > Cerca de")));
    EXPECT_SCRIPT_DONE(t.ui);
    EXPECT_EQ(t.shell.calls, QStringList{"url:" + address});
}

TEST(KeyboardHelp, ListsTheKeysOfEachDomain)
{
    const QStringList lines = KeyboardHelpText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[0], "                Ayuda en ejecución del programa pulsar  F1");
    EXPECT_EQ(lines[2].simplified(), "Listados Alta Registro Edición");
    EXPECT_EQ(lines[4].simplified(), "Máquinas........ F2 Ctrl F2 Shif F2");
    EXPECT_EQ(lines[12].simplified(), "Personal........ F10 Ctrl F10 Shif F10");
    EXPECT_EQ(lines[13].simplified(), "PartesDiarios... F11 Ctrl F11 Shif F11");
    // The keys stand in columns under their heads.
    EXPECT_EQ(lines[4].indexOf(QStringLiteral("Ctrl")), lines[2].indexOf(QStringLiteral("Alta")));
    EXPECT_EQ(lines[13].indexOf(QStringLiteral("Shif")), lines[2].indexOf(QStringLiteral("Edición")));
}

} // namespace
} // namespace gim
