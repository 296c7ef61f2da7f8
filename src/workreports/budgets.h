#pragma once

#include "core/data_file.h"
#include "records/budget_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;
struct State;

using BudgetEntry = ListEntry<TBudgetRecord>;

// The budget file (.PTO): one record per machine in the order of the machine file when the budget was
// defined, never sorted; its twin .PTK holds the budget before the last definition.
struct BudgetFile : TableFile<DataFile::Budget, TBudgetRecord>
{
    static constexpr TwinVariant kTwin = TwinVariant::Rename;
    static bool SameKey(const Record& a, const Record& b) { return a.MachineCode == b.MachineCode; }
};

QString BudgetFileName(const State& st);
QString BudgetBackupFileName(const State& st);

// A budget of a machine with no minutes and no amounts.
TBudgetRecord ZeroBudget(const QString& machineCode);

// Every budget record in file order; nullopt when the file cannot be opened (reported as asked).
std::optional<std::vector<TBudgetRecord>> LoadBudgets(Context& ctx, Report report = Report::Silent);

// Appends a record to the budget file, creating the file for the first one. Returns whether it was
// written (an open or creation failure is reported and writes nothing).
bool AppendBudgetRecord(Context& ctx, const TBudgetRecord& rec);

// Starts the budget afresh: one zeroed record per machine of the machine file, in its order. A budget
// already defined is replaced only when the user answers "S"; it then becomes the twin, so the previous
// budget is always kept, and nothing is written before the machine file has been read.
void DefineBudget(Context& ctx);

// The budgets of a file looked up by machine code, by halves: a machine listed twice gives its first
// record in file order.
class BudgetsByMachine
{
public:
    BudgetsByMachine() = default;
    explicit BudgetsByMachine(std::vector<TBudgetRecord> records);
    // The budgets of the current environment; none when the file cannot be read.
    static BudgetsByMachine Load(Context& ctx);

    bool empty() const { return m_sorted.empty(); }
    std::size_t size() const { return m_sorted.size(); }
    const TBudgetRecord* Find(const ShortString<8>& code) const;
    const TBudgetRecord* Find(const QString& code) const;

private:
    std::vector<TBudgetRecord> m_sorted; // by code, equal codes in file order
};

} // namespace gim
