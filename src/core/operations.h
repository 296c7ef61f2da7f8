#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

namespace gim {

struct Context;

// The named operations the menu commands call, and the named conditions under which some of their
// steps run. Each feature registers its own at start-up; a menu item whose operations are not all
// registered is shown disabled, so registering the names is all it takes to switch an item on.
class OperationRegistry
{
public:
    using Operation = std::function<void(Context&)>;
    using FileOperation = std::function<void(Context&, const QString& absolutePath)>;
    using Condition = std::function<bool(const Context&)>;

    // A later registration under the same name replaces the earlier one.
    void Register(const QString& name, Operation operation);
    // An operation that takes the file the user chose ("MergeWorkReportFile").
    void RegisterFileOperation(const QString& name, FileOperation operation);
    void RegisterCondition(const QString& name, Condition condition);

    // Whether `name` is registered as an operation of either kind.
    bool Has(const QString& name) const;
    // Whether `name` is a registered condition; "!name" asks for the same condition.
    bool HasCondition(const QString& name) const;
    bool HasAll(const QStringList& names) const;

    // Runs an operation; throws std::logic_error when it is not registered (the menu never offers it).
    void Run(Context& ctx, const QString& name) const;
    void RunWithFile(Context& ctx, const QString& name, const QString& absolutePath) const;
    // Runs the operation when it is registered; returns whether it ran.
    bool RunIfRegistered(Context& ctx, const QString& name) const;
    // Evaluates a condition; "!name" negates it. Throws std::logic_error when it is not registered.
    bool Holds(const Context& ctx, const QString& name) const;

    QStringList Names() const;

private:
    std::map<QString, Operation> m_operations;
    std::map<QString, FileOperation> m_fileOperations;
    std::map<QString, Condition> m_conditions;
};

} // namespace gim
