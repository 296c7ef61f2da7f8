#pragma once

#include "core/command.h"
#include "core/menu_items.h"
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
    MenuItem id{};    // its place in the menu
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

// Mode codes of an item, written as Codes().A("M").O("P").
struct Codes
{
    ModeCodes m;
    Codes& A(const char* v) { return Set(m.action, v); }
    Codes& O(const char* v) { return Set(m.output, v); }
    Codes& S(const char* v) { return Set(m.sub, v); }
    Codes& R(const char* v) { return Set(m.answer, v); }
    operator ModeCodes() const { return m; }

private:
    Codes& Set(std::optional<QString>& code, const char* v)
    {
        code = QString::fromUtf8(v);
        return *this;
    }
};

// A step that runs only when the condition holds.
inline CommandStep When(StepCondition condition, Op op)
{
    return CommandStep(op, condition);
}

// A step that runs with its own ActionCode ("" clears it).
inline CommandStep WithAction(const char* action, Op op)
{
    return CommandStep(op, std::nullopt, QString::fromUtf8(action));
}

// The entry of PendingEditFlags an edit item consumes.
constexpr int PendingEdit(EditItem item)
{
    return static_cast<int>(PendingEditIndex(item));
}

// The menu items each feature declares for the commands it runs, composed into the main menu.
class CommandRegistry
{
public:
    // Declares the item with this id: "&Máquinas > &Listado > &Máquinas", its key, its status-bar hint,
    // its mode codes and its steps. The item returned takes the rest of its settings.
    CommandItem& Add(MenuItem id, const char* path, const char* key, const char* hint, ModeCodes codes,
                     std::vector<CommandStep> steps);

    // The items in the order of the menu's layout, the pop-up commands last. Throws std::logic_error when
    // an id or a path is declared twice, a submenu is captioned two ways or split, or an id has no item.
    CommandTable Compose() const;

private:
    std::vector<CommandItem> m_items;
};

// The report window's hand-over items and the edit commands they lead to, in the order of
// PendingEditFlags.
struct PendingEditEntry
{
    EditItem item; // the report window's Editar item; its edit command marks itself with PendingEdit()
    Op handOver;   // operation of the report window that hands the selected row over
};
inline constexpr std::array<PendingEditEntry, kPendingEditCount> kPendingEdits{{
    {EditItem::Partes, Op::EditarPartes},
    {EditItem::Gamas, Op::EditarGamas},
    {EditItem::Repara, Op::EditarRepara},
    {EditItem::Averias, Op::EditarAverias},
    {EditItem::OrdenesT, Op::EditarOrdenesT},
    {EditItem::Compras, Op::EditarCompras},
    {EditItem::RAlmacen, Op::EditarRAlmacen},
    {EditItem::Procedimientos, Op::EditarProcedimientos},
    {EditItem::Energias, Op::EditarEnergias},
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
