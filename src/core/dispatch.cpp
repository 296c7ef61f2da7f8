#include "core/dispatch.h"

#include "core/backup.h"
#include "core/command.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/environment_admin.h"
#include "core/lookups.h"
#include "core/sub_folders.h"
#include "core/web_service.h"
#include "platform/report.h"

#include <QDir>
#include <QFileInfo>

namespace gim {
namespace {

// Puts ExportFlag and the item's deferred-edit flag back however the command ends.
class ItemFlagsReset
{
public:
    ItemFlagsReset(State& st, const CommandItem& item) : m_st(st), m_item(item)
    {
        if (m_item.exportFlag)
            m_st.ExportFlag = 1;
    }
    ~ItemFlagsReset()
    {
        if (m_item.exportFlag)
            m_st.ExportFlag = 0;
        if (m_item.pendingEdit >= 0)
            m_st.PendingEditFlags[static_cast<std::size_t>(m_item.pendingEdit)] = 0;
    }
    ItemFlagsReset(const ItemFlagsReset&) = delete;
    ItemFlagsReset& operator=(const ItemFlagsReset&) = delete;

private:
    State& m_st;
    const CommandItem& m_item;
};

void MachineBook(Context& ctx)
{
    State& st = ctx.st;
    MakeSubFolder(st.BaseDir, QStringLiteral("\\MAQUINAS\\") + st.CurrentEnvironment);
    st.CurrentSubFolder = QStringLiteral("\\Maquinas\\") + st.CurrentEnvironment + QStringLiteral("\\");
    FileDialogRequest request;
    request.folder = ResolveSubFolder(st.BaseDir, st.CurrentSubFolder);
    request.filters = QStringList{QStringLiteral("Ficheros de Texto (*.rtf)")};
    const std::optional<QString> chosen = ctx.ui.ChooseFile(request);
    if (!chosen)
        return;
    // The sheet is named after the machine: its code is the file name without the extension, and the
    // machine is read from the register, not taken from whatever the buffer held.
    const QString code = QFileInfo(*chosen).completeBaseName().left(8);
    st.FoundMachine = TMachineRecord{};
    st.FoundMachine.Codigo = code;
    FindMachine(ctx, st.FileName(DataFile::Machine), st.FoundMachine);
    st.ReportFileName = code + QStringLiteral(".rtf");
    st.ContinueFlag = 1;
}

void JobDescriptions(Context& ctx)
{
    const QString name = ctx.st.CurrentEnvironment + QStringLiteral(".txt");
    ctx.ui.ShowMessage(QStringLiteral("Debe Editar el fichero ") + name +
                       QStringLiteral(" con las Descripciones de Trabajos de Partes Diario"));
    if (!IsSafeEnvironmentCode(ctx.st.CurrentEnvironment))
        return;
    // The file is written outside the program; one that is missing is not made here, the user is told.
    const QString path = ctx.Path(name);
    if (!QFileInfo::exists(path)) {
        ctx.ui.ShowMessage(QStringLiteral("NO EXISTE EL FICHERO ") + path);
        return;
    }
    if (!ctx.shell.OpenPath(path))
        ctx.ui.ShowMessage(QStringLiteral("NO HAY NINGUNA APLICACIÓN PARA ABRIR ") + path);
}

void AddWorkReportFile(Context& ctx, const OperationRegistry& registry)
{
    State& st = ctx.st;
    registry.Run(ctx, Op::FreeWorkReportList);
    registry.Run(ctx, Op::LoadMachineList);
    registry.Run(ctx, Op::LoadPlannedRepairs);
    st.ActionCode = QStringLiteral("i");
    FileDialogRequest request;
    request.caption = QStringLiteral("Fichero de Partes Añadir");
    request.folder = st.BaseDir;
    request.fileName = QStringLiteral("#");
    request.filters = QStringList{QStringLiteral("Ficheros de Partes Diarios de ") + st.CurrentEnvironment +
                                  QStringLiteral(" (*.pda)")};
    const std::optional<QString> chosen = ctx.ui.ChooseFile(request);
    const QString untouched = QDir(st.BaseDir).absoluteFilePath(QStringLiteral("#"));
    if (chosen && QFileInfo(*chosen).absoluteFilePath() != untouched)
        registry.RunWithFile(ctx, Op::MergeWorkReportFile, *chosen);
    registry.Run(ctx, Op::SavePlannedRepairList);
    registry.Run(ctx, Op::FreePlannedRepairList);
    registry.Run(ctx, Op::FreeMachineList);
    if (registry.Holds(ctx, Cond::RevisionPosted))
        registry.Run(ctx, Op::SortRevisionFile);
    if (registry.Holds(ctx, Cond::BreakdownPosted))
        registry.Run(ctx, Op::SortBreakdownFile);
    if (registry.Holds(ctx, Cond::PlannedRepairPosted))
        registry.Run(ctx, Op::SortPlannedRepairFile);
}

void MaintenanceReport(Context& ctx)
{
    State& st = ctx.st;
    auto report = std::make_shared<ReportDocument>(QStringLiteral("Informes Veltrano"));
    report->AddLine(QStringLiteral("\t") + st.CurrentEnvironment + QString(33, QLatin1Char(' ')) +
                    QStringLiteral("INFORME DE MANTENIMIENTO") + QString(15, QLatin1Char(' ')) +
                    st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    st.CurrentSubFolder = QStringLiteral("\\Informes");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void AboutMaker(Context& ctx)
{
    const QString address = MakerWebAddress(ReadWebSettings(ctx.st.BaseDir));
    ctx.ui.ShowMessage(QStringLiteral("Más información en ") + address);
    ctx.shell.OpenUrl(address);
}

} // namespace

Dispatcher::Dispatcher(Context& ctx, const OperationRegistry& registry, const CommandTable& table)
    : m_ctx(ctx), m_registry(registry), m_table(table), m_ownedShortcuts(table.size())
{
    std::map<QString, std::size_t> keyOwners;
    for (std::size_t i = 0; i < m_table.size(); ++i) {
        const CommandItem& item = m_table[i];
        m_byPath.emplace(item.PlainPath(), i);
        // Qt fires nothing for a key that stands on two actions: the first item in menu order keeps it.
        if (!item.shortcut.isEmpty() && keyOwners.emplace(item.shortcut, i).second)
            m_ownedShortcuts[i] = item.shortcut;
        if (item.pendingEdit >= 0)
            m_pendingEditItems.at(static_cast<std::size_t>(item.pendingEdit)) = i;
    }
}

std::optional<std::size_t> Dispatcher::Find(const QString& plainPath) const
{
    const auto it = m_byPath.find(plainPath);
    if (it == m_byPath.end())
        return std::nullopt;
    return it->second;
}

bool Dispatcher::IsEnabled(std::size_t index) const
{
    if (index >= m_table.size())
        return false;
    const CommandItem& item = m_table[index];
    for (const Requirement& name : item.Requirements()) {
        if (!m_registry.Has(name))
            return false;
    }
    if (item.enable == EnableRule::ShortHorizon)
        return m_ctx.st.FirstYear + 1 >= m_ctx.st.LastYear;
    return true;
}

QString Dispatcher::Caption(std::size_t index) const
{
    const CommandItem& item = m_table.at(index);
    if (item.driveCaption)
        return QStringLiteral("&") + m_ctx.st.DriveText + QStringLiteral("/CopiaSeg");
    return item.path.last();
}

bool Dispatcher::Run(std::size_t index)
{
    if (!IsEnabled(index))
        return false;
    const CommandItem& item = m_table[index];
    State& st = m_ctx.st;
    bool completed = false;
    {
        ItemFlagsReset flags(st, item);
        completed = RunCommand(m_ctx, item.codes, [&] {
            if (item.pendingEdit >= 0 && st.EditorOpenFlag == 1) {
                // A row selected in the open report window is handed over before the edit starts.
                const auto& entry = kPendingEdits[static_cast<std::size_t>(item.pendingEdit)];
                m_registry.RunIfRegistered(m_ctx, entry.handOver);
            }
            for (const CommandStep& step : item.steps) {
                if (step.when && !m_registry.Holds(m_ctx, *step.when))
                    continue;
                if (step.action)
                    st.ActionCode = *step.action;
                m_registry.Run(m_ctx, step.operation);
            }
        });
    }
    ApplyPendingActivation();
    if (m_afterCommand)
        m_afterCommand();
    return completed;
}

bool Dispatcher::Run(const QString& plainPath)
{
    const std::optional<std::size_t> index = Find(plainPath);
    return index && Run(*index);
}

bool Dispatcher::HasPendingEdits() const
{
    for (std::uint8_t flag : m_ctx.st.PendingEditFlags) {
        if (flag != 0)
            return true;
    }
    return false;
}

void Dispatcher::RunPendingEdits()
{
    if (CommandRunning::Now(m_ctx) || !HasPendingEdits())
        return;
    for (std::size_t i = 0; i < kPendingEdits.size(); ++i) {
        if (m_ctx.st.PendingEditFlags[i] == 1 && m_pendingEditItems[i])
            Run(*m_pendingEditItems[i]);
    }
    m_ctx.st.PendingEditFlags.fill(0);
}

void Dispatcher::MainWindowActivated()
{
    m_activationPending = true;
    ApplyPendingActivation();
}

void Dispatcher::ApplyPendingActivation()
{
    if (!m_activationPending || CommandRunning::Now(m_ctx))
        return;
    m_activationPending = false;
    m_ctx.st.InteractiveFlag = 1;
}

void RegisterMainWindowOperations(OperationRegistry& registry)
{
    registry.RegisterCondition(Cond::ContinueFlag,
                               [](const Context& ctx) { return ctx.st.ContinueFlag != 0; });
    registry.Register(Op::LoadEnvironment, [](Context& ctx) { LoadEnvironment(ctx); });
    registry.Register(Op::ClearInteractiveFlag, [](Context& ctx) { ctx.st.InteractiveFlag = 0; });
    registry.Register(Op::MachineBook, MachineBook);
    registry.Register(Op::JobDescriptions, JobDescriptions);
    registry.Register(Op::AddWorkReportFile, [&registry](Context& ctx) { AddWorkReportFile(ctx, registry); });
    registry.Register(Op::ShowHelp, OpenHelpFile);
    registry.Register(Op::MaintenanceReport, MaintenanceReport);
    registry.Register(Op::AboutMaker, AboutMaker);
    registry.Register(Op::ChangeAccessCode, ChangeAccessCode);
    registry.Register(Op::BrowseDataFiles, BrowseDataFiles);
    RegisterBackupOperations(registry);
}

QString HelpFilePath(const Context& ctx)
{
    const QDir dir(ctx.st.BaseDir);
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : files) {
        if (name.compare(QLatin1String(kHelpFileName), Qt::CaseInsensitive) == 0)
            return dir.absoluteFilePath(name);
    }
    return {};
}

void OpenHelpFile(Context& ctx)
{
    const QString path = HelpFilePath(ctx);
    if (path.isEmpty()) {
        ctx.ui.ShowMessage(QStringLiteral("No existe el fichero de ayuda ") + QLatin1String(kHelpFileName) +
                           QStringLiteral(" en la carpeta del programa"));
        return;
    }
    if (!ctx.shell.OpenPath(path))
        ctx.ui.ShowMessage(QStringLiteral("No se puede abrir el fichero de ayuda ") + path);
}

QString KeyboardHelpText()
{
    struct Row
    {
        const char* label;
        const char* key;
    };
    static constexpr Row rows[] = {
        {"Máquinas........", "F2"},  {"Gamas...........", "F3"}, {"Historial Prev..", "F4"},
        {"Averías.........", "F5"},  {"Reparaciones....", "F6"}, {"Predictivo......", "F7"},
        {"Energías........", "F8"},  {"Repuestos.......", "F9"}, {"Personal........", "F10"},
        {"PartesDiarios...", "F11"},
    };
    const QString gap(17, QLatin1Char(' '));
    QStringList lines;
    lines << QStringLiteral("                Ayuda en ejecución del programa pulsar  F1") << QString();
    lines << gap + QStringLiteral("Listados").leftJustified(12) +
                 QStringLiteral("Alta Registro").leftJustified(17) + QStringLiteral("Edición");
    lines << QString();
    for (const Row& row : rows) {
        const QString key = QString::fromLatin1(row.key);
        lines << QString::fromUtf8(row.label) + QLatin1Char(' ') + key.leftJustified(12) +
                     (QStringLiteral("Ctrl ") + key).leftJustified(17) + QStringLiteral("Shif ") + key;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace gim
