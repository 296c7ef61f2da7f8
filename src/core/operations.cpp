#include "core/operations.h"

#include <stdexcept>

namespace gim {
namespace {

QString ConditionName(const QString& name)
{
    return name.startsWith(QLatin1Char('!')) ? name.mid(1) : name;
}

[[noreturn]] void Missing(const char* what, const QString& name)
{
    throw std::logic_error(std::string(what) + " not registered: " + name.toStdString());
}

} // namespace

void OperationRegistry::Register(const QString& name, Operation operation)
{
    m_operations[name] = std::move(operation);
}

void OperationRegistry::RegisterFileOperation(const QString& name, FileOperation operation)
{
    m_fileOperations[name] = std::move(operation);
}

void OperationRegistry::RegisterCondition(const QString& name, Condition condition)
{
    m_conditions[name] = std::move(condition);
}

bool OperationRegistry::Has(const QString& name) const
{
    return m_operations.contains(name) || m_fileOperations.contains(name);
}

bool OperationRegistry::HasCondition(const QString& name) const
{
    return m_conditions.contains(ConditionName(name));
}

bool OperationRegistry::HasAll(const QStringList& names) const
{
    for (const QString& name : names) {
        if (!Has(name))
            return false;
    }
    return true;
}

void OperationRegistry::Run(Context& ctx, const QString& name) const
{
    const auto it = m_operations.find(name);
    if (it == m_operations.end())
        Missing("operation", name);
    it->second(ctx);
}

void OperationRegistry::RunWithFile(Context& ctx, const QString& name, const QString& absolutePath) const
{
    const auto it = m_fileOperations.find(name);
    if (it == m_fileOperations.end())
        Missing("file operation", name);
    it->second(ctx, absolutePath);
}

bool OperationRegistry::RunIfRegistered(Context& ctx, const QString& name) const
{
    const auto it = m_operations.find(name);
    if (it == m_operations.end())
        return false;
    it->second(ctx);
    return true;
}

bool OperationRegistry::Holds(const Context& ctx, const QString& name) const
{
    const auto it = m_conditions.find(ConditionName(name));
    if (it == m_conditions.end())
        Missing("condition", name);
    const bool holds = it->second(ctx);
    return name.startsWith(QLatin1Char('!')) ? !holds : holds;
}

QStringList OperationRegistry::Names() const
{
    QStringList names;
    for (const auto& [name, op] : m_operations)
        names << name;
    for (const auto& [name, op] : m_fileOperations)
        names << name;
    return names;
}

} // namespace gim
