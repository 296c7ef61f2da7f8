#include "workreports/budgets.h"

#include "core/context.h"
#include "masterdata/machines.h"

#include <algorithm>

namespace gim {

QString BudgetFileName(const State& st)
{
    return BudgetFile::Name(st);
}

QString BudgetBackupFileName(const State& st)
{
    return BudgetFile::Twin(st);
}

TBudgetRecord ZeroBudget(const QString& machineCode)
{
    TBudgetRecord rec{};
    rec.MachineCode.set(machineCode);
    return rec;
}

std::optional<std::vector<TBudgetRecord>> LoadBudgets(Context& ctx, Report report)
{
    return KeyedFile<BudgetFile>(ctx).Read(report);
}

bool AppendBudgetRecord(Context& ctx, const TBudgetRecord& rec)
{
    return KeyedFile<BudgetFile>(ctx).Append(rec).has_value();
}

void DefineBudget(Context& ctx)
{
    KeyedFile<BudgetFile> budget(ctx);
    const bool defined = budget.Exists();
    if (defined && ctx.ui.InputBox(QStringLiteral("DEFINICION PRESUPUESTO"),
                                   QStringLiteral("¿DESEA REINICIALIZAR EL PRESUPUESTO? S/N "),
                                   QStringLiteral("N")) != QLatin1String("S"))
        return;
    const std::optional<std::vector<TMachineRecord>> machines =
        KeyedFile<MachineFile>(ctx).Read(Report::Show);
    if (!machines)
        return;
    std::vector<TBudgetRecord> records;
    records.reserve(machines->size());
    {
        ProgressScope progress(ctx, QStringLiteral("AVANCE CARGA DE DATOS Inicia Presupuesto"),
                               static_cast<int>(machines->size()));
        for (const TMachineRecord& machine : *machines) {
            ctx.ui.SetProgress(static_cast<int>(records.size()));
            TBudgetRecord rec{};
            rec.MachineCode.assign(machine.Codigo);
            records.push_back(rec);
        }
    }
    // The old budget goes to the twin before the new one is written, each file replaced whole: at every
    // moment one of them holds it. A twin left without its budget is the only copy: kept.
    WriteLock lock(ctx);
    if (defined && budget.Exists())
        budget.Rewrite(records);
    else
        StoreRecords(ctx, budget.name(), records);
}

BudgetsByMachine::BudgetsByMachine(std::vector<TBudgetRecord> records) : m_sorted(std::move(records))
{
    std::stable_sort(m_sorted.begin(), m_sorted.end(), [](const TBudgetRecord& a, const TBudgetRecord& b) {
        return a.MachineCode < b.MachineCode;
    });
}

BudgetsByMachine BudgetsByMachine::Load(Context& ctx)
{
    return BudgetsByMachine(LoadBudgets(ctx).value_or(std::vector<TBudgetRecord>{}));
}

const TBudgetRecord* BudgetsByMachine::Find(const ShortString<8>& code) const
{
    const auto found =
        std::lower_bound(m_sorted.begin(), m_sorted.end(), code,
                         [](const TBudgetRecord& r, const ShortString<8>& c) { return r.MachineCode < c; });
    if (found == m_sorted.end() || !(found->MachineCode == code))
        return nullptr;
    return &*found;
}

const TBudgetRecord* BudgetsByMachine::Find(const QString& code) const
{
    ShortString<8> key{};
    key.set(code);
    return Find(key);
}

} // namespace gim
