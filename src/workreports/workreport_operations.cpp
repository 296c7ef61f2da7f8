#include "workreports/workreport_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "corrective/work_orders.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

namespace gim {

void RegisterWorkReports(OperationRegistry& registry, Context& ctx, const PictureCodec& codec)
{
    WorkReportsState& w = WorkReports(ctx);
    w.photoCodec = &codec;

    registry.Register(Op::LoadWorkReports, LoadWorkReports);
    registry.Register(Op::FreeWorkReportList, [](Context& c) { FreeWorkReportList(c); });
    registry.Register(Op::SortWorkReportFile, [](Context& c) { SortWorkReportFile(c); });
    registry.Register(Op::AddWorkReportLine, AddWorkReportLine);
    registry.Register(Op::SavePlannedRepairList, SavePlannedRepairList);
    registry.RegisterCondition(Cond::WorkReportWritten,
                               [&w](const Context&) { return w.WorkReportWritten != 0; });
    // The files the posting touched are re-sorted once the command's lines are all in.
    registry.RegisterCondition(Cond::BreakdownPosted,
                               [&w](const Context&) { return w.BreakdownPostedFlag != 0; });
    registry.RegisterCondition(Cond::PlannedRepairPosted,
                               [&w](const Context&) { return w.PlannedRepairPostedFlag != 0; });
    registry.RegisterCondition(Cond::RevisionPosted,
                               [&w](const Context&) { return w.RevisionPostedFlag != 0; });
    registry.RegisterCondition(Cond::PersonnelEntryPosted,
                               [&w](const Context&) { return w.PersonnelEntryPostedFlag != 0; });
    // Cierre OT and the order listing read the lines the command loaded.
    WorkOrders(ctx).workReportList = [](Context& c) -> const std::vector<WorkReportEntry>& {
        return LoadedWorkReports(c);
    };
}

} // namespace gim
