#pragma once

#include "records/work_report_record.h"

#include <cstdint>

namespace gim {

struct Context;
class HandoverRegistry;

// The labour cost of a line in cents: its minutes at the hour price of its operator and hour type.
std::int64_t WorkReportLabourCents(const Context& ctx, const TWorkReportRecord& line);

// What a set of lines adds up to: minutes of effective work, of leave and of machine stop, and the
// costs of labour, material and delivery notes in cents.
struct WorkReportTotals
{
    std::int64_t intervention = 0;
    std::int64_t nonProductive = 0;
    std::int64_t stop = 0;
    std::int64_t labour = 0;
    std::int64_t materials = 0;
    std::int64_t deliveryNotes = 0;

    void Add(const Context& ctx, const TWorkReportRecord& line);
};

// Partes > Listados > Cuenta Coste: the lines of a date range machine by machine, for one cost account
// or all, with each machine's time and costs.
void CostAccountAnalysis(Context& ctx);

// ActionCode "2": the lines the search card and a date range select. "O" and "S": the lines booked on
// one work order or repair budget, under the order's own data. Totals of time and cost follow, and the
// weekly evolution when the lines span more than one week.
void WorkOrderReport(Context& ctx);

// Editar > Partes: a row of the selective listing of lines fills WorkReportInput for its edit.
void RegisterWorkReportHandover(Context& ctx, HandoverRegistry& handover);

} // namespace gim
