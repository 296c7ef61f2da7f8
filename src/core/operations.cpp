#include "core/operations.h"

#include <stdexcept>
#include <string>

namespace gim {
namespace {

[[noreturn]] void Missing(const char* what, const char* name)
{
    throw std::logic_error(std::string(what) + " not registered: " + name);
}

} // namespace

void OperationRegistry::Register(Op op, Operation operation)
{
    m_operations[Index(op)] = std::move(operation);
}

void OperationRegistry::RegisterFileOperation(Op op, FileOperation operation)
{
    m_fileOperations[Index(op)] = std::move(operation);
}

void OperationRegistry::RegisterCondition(Cond cond, Condition condition)
{
    m_conditions[Index(cond)] = std::move(condition);
}

bool OperationRegistry::Has(Op op) const
{
    return m_operations[Index(op)] || m_fileOperations[Index(op)];
}

bool OperationRegistry::Has(Cond cond) const
{
    return static_cast<bool>(m_conditions[Index(cond)]);
}

bool OperationRegistry::Has(const Requirement& requirement) const
{
    return std::visit([this](auto id) { return Has(id); }, requirement);
}

void OperationRegistry::Run(Context& ctx, Op op) const
{
    const Operation& operation = m_operations[Index(op)];
    if (!operation)
        Missing("operation", Name(op));
    operation(ctx);
}

void OperationRegistry::RunWithFile(Context& ctx, Op op, const QString& absolutePath) const
{
    const FileOperation& operation = m_fileOperations[Index(op)];
    if (!operation)
        Missing("file operation", Name(op));
    operation(ctx, absolutePath);
}

bool OperationRegistry::RunIfRegistered(Context& ctx, Op op) const
{
    const Operation& operation = m_operations[Index(op)];
    if (!operation)
        return false;
    operation(ctx);
    return true;
}

bool OperationRegistry::Holds(const Context& ctx, StepCondition condition) const
{
    const Condition& test = m_conditions[Index(condition.cond)];
    if (!test)
        Missing("condition", Name(condition.cond));
    return test(ctx) != condition.negated;
}

} // namespace gim
