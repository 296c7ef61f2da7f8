#pragma once

#include "core/command_table.h"
#include "core/operations.h"

#include <QString>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace gim {

struct Context;

// Runs the main window's commands: an item's mode codes, its steps in order through the registry, the
// deferred edits the report window leaves, and the rule that switches cards back on when the main
// window becomes active. Knows no widget; the Qt main window calls it.
class Dispatcher
{
public:
    // `table` is the composed main menu (CommandRegistry::Compose); it must outlive the dispatcher.
    Dispatcher(Context& ctx, const OperationRegistry& registry, const CommandTable& table);
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    const CommandTable& Table() const { return m_table; }
    // The item with this plain path ("Máquinas > Listado > Máquinas").
    std::optional<std::size_t> Find(const QString& plainPath) const;

    // Whether the item is offered: every operation and condition it uses is registered and its own
    // rule allows it now.
    bool IsEnabled(std::size_t item) const;
    // The caption the menu shows now, with its "&".
    QString Caption(std::size_t item) const;
    // The key the item answers to: its own key, unless an earlier item in menu order has the same one.
    const QString& OwnedShortcut(std::size_t item) const { return m_ownedShortcuts[item]; }

    // Runs an item's command when it is offered. False when it was not offered or was abandoned.
    bool Run(std::size_t item);
    bool Run(const QString& plainPath);

    // A key press reached the main window: runs the edit command of every pending deferred edit, in
    // flag order, then clears all the flags. Nothing happens while a command runs.
    void RunPendingEdits();
    bool HasPendingEdits() const;

    // The main window became active: cards are shown again (InteractiveFlag 1), but never in the
    // middle of a running command; then it waits until the command has ended.
    void MainWindowActivated();

    // Called after each command, for the window to refresh its caption and menus.
    void SetAfterCommand(std::function<void()> callback) { m_afterCommand = std::move(callback); }

private:
    void ApplyPendingActivation();

    Context& m_ctx;
    const OperationRegistry& m_registry;
    const CommandTable& m_table;
    std::vector<QString> m_ownedShortcuts;
    std::map<QString, std::size_t> m_byPath;
    std::array<std::optional<std::size_t>, kPendingEditCount> m_pendingEditItems;
    bool m_activationPending = false;
    std::function<void()> m_afterCommand;
};

// The operations and conditions of the main window itself, of the program-wide state and of core's own
// commands: ContinueFlag, LoadEnvironment, ClearInteractiveFlag, MachineBook, JobDescriptions,
// AddWorkReportFile, ShowHelp, MaintenanceReport, AboutMaker, ChangeAccessCode, BrowseDataFiles and the
// backup's. The Qt window adds its dialogs. Their items are declared by the work reports (Partes > Fichero)
// and by the program's tools (app/tool_commands.h).
void RegisterMainWindowOperations(OperationRegistry& registry);

// The program's help file in the program folder, found whatever the case of its name; empty when there
// is none.
QString HelpFilePath(const Context& ctx);
// Opens the help file through the desktop, or says that there is none. Every window's help key and the
// help command end here.
void OpenHelpFile(Context& ctx);

// The keyboard help shown while a mouse button is held on the main window.
QString KeyboardHelpText();

inline constexpr const char* kHelpFileName = "Mto.hlp";
// Where "Cerca de" sends the user.
inline constexpr const char* kMakerWebAddress = "https://gim.example.org/";

} // namespace gim
