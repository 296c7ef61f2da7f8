#include "workreports/workreport_operations.h"

#include "core/context.h"
#include "core/operations.h"
#include "platform/handover.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

namespace gim {

void RegisterWorkReports(OperationRegistry& registry, Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    // Editar > Partes: the daily-report listing's columns (its edit turns the date "dd/mm/yyyy" into dia's
    // week code), and the file of lines the web synchronisation fetches.
    HandoverMap& map = ctx.Module<HandoverRegistry>().Map(EditItem::Partes);
    map.fields = {{1, "Matricula", 6},       {2, "Codigo", 8}, {3, "dia", 10},
                  {4, "TIPOH", 3},           {5, "Tipo", 3},   {6, "Tinter", kNumberText},
                  {7, "Tparo", kNumberText}, {8, "Orden", 8},  {9, "SparePart", 16},
                  {10, "Descripcion", 48}};
    map.clearedOnOpen = {"Matricula", "Codigo"};
    map.exchangeFile = "_PD.txt";

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
}

} // namespace gim
