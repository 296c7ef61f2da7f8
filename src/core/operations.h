#pragma once

#include "core/operation_ids.h"

#include <QString>
#include <array>
#include <functional>

namespace gim {

struct Context;

// The operations the menu commands call, and the conditions under which some of their steps run. Each
// feature registers its own at start-up; a menu item whose operations are not all registered is shown
// disabled, so registering them is all it takes to switch an item on.
class OperationRegistry
{
public:
    using Operation = std::function<void(Context&)>;
    using FileOperation = std::function<void(Context&, const QString& absolutePath)>;
    using Condition = std::function<bool(const Context&)>;

    // A later registration of the same operation replaces the earlier one.
    void Register(Op op, Operation operation);
    // An operation that takes the file the user chose (MergeWorkReportFile).
    void RegisterFileOperation(Op op, FileOperation operation);
    void RegisterCondition(Cond cond, Condition condition);

    // Whether the operation is registered, of either kind.
    bool Has(Op op) const;
    bool Has(Cond cond) const;
    bool Has(const Requirement& requirement) const;

    // Runs an operation; throws std::logic_error when it is not registered (the menu never offers it).
    void Run(Context& ctx, Op op) const;
    void RunWithFile(Context& ctx, Op op, const QString& absolutePath) const;
    // Runs the operation when it is registered; returns whether it ran.
    bool RunIfRegistered(Context& ctx, Op op) const;
    // Evaluates a condition, negated where the step says so. Throws std::logic_error when it is not
    // registered.
    bool Holds(const Context& ctx, StepCondition condition) const;

private:
    std::array<Operation, kOperationCount> m_operations;
    std::array<FileOperation, kOperationCount> m_fileOperations;
    std::array<Condition, kConditionCount> m_conditions;
};

} // namespace gim
