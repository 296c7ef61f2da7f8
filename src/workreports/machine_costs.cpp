#include "workreports/machine_costs.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/week_codes.h"
#include "corrective/breakdowns.h"
#include "corrective/planned_repairs.h"
#include "preventive/revisions.h"
#include "store/store_movements.h"
#include "workreports/work_report_file.h"

#include <string_view>

namespace gim {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The records of a file, or none when it cannot be opened: a missing source adds no items.
template <typename Traits> std::vector<typename Traits::Record> ReadSource(Context& ctx)
{
    const KeyedFile<Traits> file(ctx);
    if (!file.Exists())
        return {};
    return file.Read(Report::Silent).value_or(std::vector<typename Traits::Record>{});
}

// The history files are kept latest week first, but records appended since the last sort sit unsorted at
// the end, so every record is read and filtered rather than stopping at the first one below the range.
bool InsideOpenRange(const MachineCostsState& c, int week)
{
    return c.StartIndex < week && week < c.EndIndex;
}

void Push(MachineCostsState& c, std::string_view machine, char kind, int week, std::int64_t value)
{
    CostNode node;
    node.machine = std::string(machine);
    node.kind = kind;
    node.week = week;
    node.value = value;
    c.CostList.push_back(std::move(node));
}

char WorkReportKind(std::string_view type)
{
    // "ALB" before "AL": a delivery note is a line of its own, not a store exit.
    if (StartsWith(type, "ALB"))
        return 'B';
    if (StartsWith(type, "AL"))
        return 'E';
    switch (type.empty() ? '\0' : type.front()) {
    case 'V':
        return 'V';
    case 'R':
        return 'R';
    case 'P':
        return 'P';
    case 'C':
        return 'C';
    case 'F':
        return 'F';
    default:
        return 'D';
    }
}

} // namespace

MachineCostsState& MachineCosts(Context& ctx)
{
    return ctx.Module<MachineCostsState>();
}

void FreeCostList(Context& ctx)
{
    std::vector<CostNode>().swap(MachineCosts(ctx).CostList);
}

void LoadWorkReportCosts(Context& ctx)
{
    MachineCostsState& c = MachineCosts(ctx);
    for (const TWorkReportRecord& line : ReadSource<WorkReportFile>(ctx)) {
        const std::optional<WeekParts> code = ParseWeekCode(line.dia.bytes());
        if (!code)
            continue;
        const int week = AbsoluteWeek(ctx.st, code->year, code->week);
        if (week < c.StartIndex || week > c.EndIndex)
            continue;
        // A deleted line stays in the file until the next sort.
        if (WorkReportFile::Deleted(line) || StartsWith(line.Matricula.bytes(), "OP/") || line.Tipo == "OP")
            continue;
        const char kind = WorkReportKind(line.Tipo.bytes());
        Push(c, line.Codigo.bytes(), kind, week, kind == 'B' ? line.Tparo.get() : line.Tinter.get());
        c.CostList.back().worker = std::string(line.Matricula.bytes());
        c.CostList.back().hourType = std::string(line.TIPOH.bytes());
    }
}

void LoadRevisionCosts(Context& ctx)
{
    MachineCostsState& c = MachineCosts(ctx);
    for (const TRevisionRecord& r : ReadSource<RevisionFile>(ctx))
        if (InsideOpenRange(c, r.Week.get()))
            Push(c, r.MachineCode.bytes(), 'P', r.Week.get(), r.Time.get());
}

void LoadPlannedRepairCosts(Context& ctx)
{
    MachineCostsState& c = MachineCosts(ctx);
    for (const TPlannedRepairRecord& r : ReadSource<PlannedRepairFile>(ctx))
        if (InsideOpenRange(c, r.Week.get()))
            Push(c, r.Code.bytes(), 'R', r.Week.get(), r.Minutes.get());
}

void LoadBreakdownCosts(Context& ctx)
{
    MachineCostsState& c = MachineCosts(ctx);
    for (const TBreakdownRecord& r : ReadSource<BreakdownFile>(ctx))
        if (InsideOpenRange(c, r.Week.get()))
            Push(c, r.Code.bytes(), 'V', r.Week.get(),
                 std::int64_t{r.Intervention.get()} * std::int64_t{r.Operators.get()});
}

void LoadMaterialCosts(Context& ctx)
{
    MachineCostsState& c = MachineCosts(ctx);
    for (const TStoreMovementRecord& m : ReadSource<MovementFile>(ctx)) {
        // Exits only; those charged to a work order or a repair budget are costed there.
        if (m.Quantity.get() >= 0 || StartsWith(m.User.bytes(), "OP/") || StartsWith(m.User.bytes(), "OT/"))
            continue;
        // The movement keeps its week modulo 256: it stands for the one week of that residue after the
        // start, which a range shorter than 256 weeks makes unique, whatever year of the horizon it is.
        const int first = c.StartIndex + 1;
        const int week = first + ((static_cast<int>(m.AbsoluteWeek) - first) % 256 + 256) % 256;
        if (InsideOpenRange(c, week))
            Push(c, m.Destination.bytes(), 'A', week, -std::int64_t{m.Quantity.get()} * m.UnitValue.get());
    }
}

} // namespace gim
