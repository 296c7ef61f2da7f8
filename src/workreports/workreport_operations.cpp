#include "workreports/workreport_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "corrective/work_orders.h"
#include "workreports/work_report_file.h"

namespace gim {

void RegisterWorkReports(OperationRegistry& registry, Context& ctx)
{
    registry.Register(Op::LoadWorkReports, LoadWorkReports);
    registry.Register(Op::FreeWorkReportList, [](Context& c) { FreeWorkReportList(c); });
    registry.Register(Op::SortWorkReportFile, [](Context& c) { SortWorkReportFile(c); });
    registry.RegisterCondition(Cond::WorkReportWritten,
                               [&w = WorkReports(ctx)](const Context&) { return w.WorkReportWritten != 0; });
    // Cierre OT and the order listing read the lines the command loaded.
    WorkOrders(ctx).workReportList = [](Context& c) -> const std::vector<WorkReportEntry>& {
        return LoadedWorkReports(c);
    };
}

} // namespace gim
