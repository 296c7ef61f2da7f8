#include "corrective/year_restart.h"

#include "core/command.h"
#include "core/context.h"
#include "core/environment_admin.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/machines.h"
#include "masterdata/procedures.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/routines.h"
#include "records/data_files.h"

#include <vector>

namespace gim {

OrderRenumbering RestartYearWorkOrders(Context& ctx, const QString& newEnvironment)
{
    OrderRenumbering renumbered;
    const QString name = ctx.st.FileName(DataFile::WorkOrder);
    if (!DataFileExists(ctx, name))
        return renumbered;
    const std::optional<std::vector<TWorkOrderRecord>> orders =
        ReadRecords<TWorkOrderRecord>(ctx, name, Report::Show);
    if (!orders)
        return renumbered;
    std::vector<TWorkOrderRecord> carried;
    for (TWorkOrderRecord order : *orders) {
        if (!(order.State == "P") && !(order.State == "T"))
            continue;
        const int next = static_cast<int>(carried.size());
        renumbered[order.Number.get()] = next;
        order.Number = next;
        carried.push_back(order);
    }
    StoreRecords(ctx, BuildDataFileName(newEnvironment, ".OTR"), carried);
    return renumbered;
}

void RestartYearPlannedRepairs(Context& ctx, const QString& newEnvironment, const OrderRenumbering& orders)
{
    {
        // The week order, whatever mode the caller runs in.
        ModeCodeGuard codes(ctx);
        ctx.st.ActionCode.clear();
        SortPlannedRepairFile(ctx);
    }
    LoadPlannedRepairs(ctx);
    std::vector<TPlannedRepairRecord> carried;
    for (const PlannedRepairEntry& entry : PlannedRepairs(ctx).PlannedRepairList) {
        TPlannedRepairRecord rec = entry.rec;
        if (rec.State == "E")
            continue;
        // A repair names its order by number, and the numbers were given anew.
        bool isNumber = false;
        const int old = rec.Order.str().toInt(&isNumber);
        if (isNumber) {
            const auto found = orders.find(old);
            rec.Order = found == orders.end() ? QString() : QString::number(found->second);
        }
        carried.push_back(rec);
    }
    FreePlannedRepairList(ctx);
    StoreRecords(ctx, BuildDataFileName(newEnvironment, ".SEM"), carried);
}

void CreateNextYearEnvironment(Context& ctx)
{
    const std::optional<QString> code = AskNewEnvironment(ctx);
    if (!code)
        return;
    const QString& env = *code;
    // The carries write a dozen files one after another: a failure in any takes back what the others
    // made, so that the environment can be created again (a half-made one would be refused by its .MQW).
    EnvironmentFiles before(ctx, env);
    try {
        CopyReservedCodes(ctx, env);
        const OrderRenumbering orders = RestartYearWorkOrders(ctx, env);
        CarryMachinesToNewYear(ctx, env);
        CopyOperationsToEnvironment(ctx, env);
        ctx.Module<OperationRegistry>().Run(ctx, Op::RestartStoreYear);
        RestartYearPlannedRepairs(ctx, env, orders);
        CarryProceduresToNewYear(ctx, env);
        // The carried repairs' absolute weeks count from this environment's first plan year: the new one
        // takes the same plan years, so each repair stays in its week and the unscheduled ones stay so.
        if (DataFileExists(ctx, ctx.st.PlanYearsFileName))
            ReplaceDataFile(ctx, BuildDataFileName(env, ".LON"),
                            ReadWholeFile(ctx, ctx.Path(ctx.st.PlanYearsFileName)));
    } catch (...) {
        before.Restore();
        throw; // the command shows why
    }
    ctx.ui.ShowMessage(QStringLiteral("Creado Entorno ") + env);
}

} // namespace gim
