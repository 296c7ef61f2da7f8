#pragma once

#include "core/command.h"
#include "core/operation_ids.h"
#include "core/state.h"
#include "platform/handover.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <type_traits>
#include <vector>

namespace gim {

// One step of a menu command: a registered operation, run when its condition holds.
struct CommandStep
{
    CommandStep(Op op, std::optional<StepCondition> condition = std::nullopt,
                std::optional<QString> actionCode = std::nullopt)
        : operation(op), when(condition), action(std::move(actionCode))
    {
    }

    Op operation;
    // A registered condition (ContinueFlag, or Not(MachineCardRequest)); none: the step always runs.
    std::optional<StepCondition> when;
    // ActionCode set just before the step (the re-sorts that depend on it).
    std::optional<QString> action;

    bool operator==(const CommandStep&) const = default;
};

// Whether an item with all its operations registered is offered.
enum class EnableRule {
    Always,
    // Only while no plan longer than one year exists (FirstYear + 1 >= LastYear).
    ShortHorizon,
};

// A main-menu or pop-up item and the command behind it.
struct CommandItem
{
    QStringList path; // captions with their "&", the top-level menu first
    QString shortcut; // portable key text ("Ctrl+Shift+F6"); empty: none
    QString hint;     // status-bar text
    ModeCodes codes;  // set before the steps and cleared after them
    std::vector<CommandStep> steps;
    std::vector<Requirement> needs; // operations and conditions a step calls besides its own
    int pendingEdit = -1;           // the entry of PendingEditFlags this edit item consumes
    bool exportFlag = false;        // ExportFlag is 1 while the command runs
    bool popup = false;             // an item of the main window's pop-up menu
    bool driveCaption = false;      // its caption follows DriveText ("&C:/CopiaSeg")
    EnableRule enable = EnableRule::Always;

    // "Máquinas > Listado > Máquinas": the captions without their "&".
    QString PlainPath() const;
    // Every operation and condition that must be registered for the item to be offered, each once, in
    // the order the steps name them.
    std::vector<Requirement> Requirements() const;
};

using CommandTable = std::vector<CommandItem>;

// The main menu in menu order, then the pop-up commands, with the owners' differences applied.
const CommandTable& MainCommandTable();

// Where the feature that owns an item's operations lists other steps or codes than the main menu,
// the owner's version holds. All such differences live in this one list.
struct OwnerDifference
{
    QString path; // plain path of the item
    std::vector<CommandStep> steps;
    std::optional<ModeCodes> codes;
    QString why;
};
const std::vector<OwnerDifference>& OwnerDifferences();

// The report window's hand-over items and the edit commands they lead to, in the order of
// PendingEditFlags.
struct PendingEditEntry
{
    EditItem item;        // the report window's Editar item
    const char* itemPath; // plain path of the main-menu edit item
    Op handOver;          // operation of the report window that hands the selected row over
};
inline constexpr std::array<PendingEditEntry, kPendingEditCount> kPendingEdits{{
    {EditItem::Partes, "Partes > Edición", Op::EditarPartes},
    {EditItem::Gamas, "Gamas > Edición OPR", Op::EditarGamas},
    {EditItem::Repara, "Reparaciones > Edición > Selectiva", Op::EditarRepara},
    {EditItem::Averias, "Averías > Edición", Op::EditarAverias},
    {EditItem::OrdenesT, "OT/Prspuestos > Edición > OrdenTrab.", Op::EditarOrdenesT},
    {EditItem::Compras, "Compras > Edición", Op::EditarCompras},
    {EditItem::RAlmacen, "Repuestos > Edición In/Out > Correcciones", Op::EditarRAlmacen},
    {EditItem::Procedimientos, "Procedimientos > Edición", Op::EditarProcedimientos},
    {EditItem::Energias, "Energías > Edición", Op::EditarEnergias},
}};
// The entries stand in the order of their flags, and the flags the report window sets are the state's.
static_assert([] {
    for (std::size_t i = 0; i < kPendingEdits.size(); ++i) {
        if (PendingEditIndex(kPendingEdits[i].item) != i)
            return false;
    }
    return true;
}());
static_assert(std::is_same_v<decltype(State::PendingEditFlags), EditFlags>);

// Keys of the report window's pane that also stand on main-menu items. The pane keeps them for itself
// while it has the focus; everywhere else the main menu owns them.
extern const std::array<const char*, 2> kReportPaneKeysOnMenu;

// "&Máquinas" -> "Máquinas"; "&&" stands for one "&".
QString StripAccelerator(const QString& caption);

} // namespace gim
