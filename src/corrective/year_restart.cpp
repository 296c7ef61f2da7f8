#include "corrective/year_restart.h"

#include "core/command.h"
#include "core/context.h"
#include "core/environment_admin.h"
#include "core/file_swap.h"
#include "core/io_errors.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/machines.h"
#include "masterdata/procedures.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/routines.h"
#include "records/data_files.h"

#include <QFileInfo>
#include <functional>
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
    const QString env = *code;
    State& st = ctx.st;
    // The carries write a dozen files one after another: all of them are made in one step over whole
    // files, so the new environment is there complete or not at all, and a failed restart can be tried
    // again (a half-made one would be refused by its .MQW).
    FileSwap swap(ctx);
    const QString folder = QFileInfo(st.WorkDir).absoluteFilePath();
    swap.Capture([folder, prefix = env + QLatin1Char('.')](const QString& path) {
        const QFileInfo file(path);
        return file.absolutePath() == folder && file.fileName().startsWith(prefix, Qt::CaseInsensitive);
    });
    // A carry that fails, for want of its source too, abandons the restart with its message.
    const auto carried = [&st](const std::function<void()>& carry) {
        st.LastIOResult = IoCode::Ok;
        carry();
        return st.LastIOResult == IoCode::Ok;
    };
    // The reserved codes keep their errors to themselves: told here. Without lists of its own the new
    // environment starts with the built-in ones.
    bool made = carried([&] { CopyReservedCodes(ctx, env); }) || st.LastIOResult == IoCode::FileNotFound;
    if (!made)
        ShowIOError(ctx, st.LastIOResult);
    OrderRenumbering orders;
    made = made && carried([&] { orders = RestartYearWorkOrders(ctx, env); }) &&
           carried([&] { CarryMachinesToNewYear(ctx, env); }) &&
           carried([&] { CopyOperationsToEnvironment(ctx, env); }) &&
           carried([&] { ctx.Module<OperationRegistry>().Run(ctx, Op::RestartStoreYear); }) &&
           carried([&] { RestartYearPlannedRepairs(ctx, env, orders); }) &&
           carried([&] { CarryProceduresToNewYear(ctx, env); });
    if (!made)
        return;
    // The carried repairs' absolute weeks count from this environment's first plan year: the new one
    // takes the same plan years, so each repair stays in its week and the unscheduled ones stay so.
    if (DataFileExists(ctx, st.PlanYearsFileName))
        ReplaceDataFile(ctx, BuildDataFileName(env, ".LON"),
                        ReadWholeFile(ctx, ctx.Path(st.PlanYearsFileName)));
    swap.Commit();
    ctx.ui.ShowMessage(QStringLiteral("Creado Entorno ") + env);
}

} // namespace gim
