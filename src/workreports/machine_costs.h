#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gim {

struct Context;

// One item of maintenance time or money booked against a machine.
struct CostNode
{
    // Codes as stored (Windows-1252 bytes): the report compares them with the machine file's codes.
    std::string machine;    // for store exits, the movement's destination
    std::string worker;     // operator of a daily-report line
    char kind = 'D';        // C P R V E F B D A
    std::string hourType;   // daily-report lines only
    int week = 0;           // absolute week index
    std::int64_t value = 0; // minutes, or cents for A and B
};

// The cost items of the current analysis and the week range the loaders take. Items are kept in the order
// they were loaded; the list proper runs from the last one loaded to the first.
struct MachineCostsState
{
    std::vector<CostNode> CostList;
    int StartIndex = 0;
    int EndIndex = 0;
    int LowerBound = 0;
};

MachineCostsState& MachineCosts(Context& ctx);

void FreeCostList(Context& ctx);

// Each loader reads its whole file and adds one item per record of the range; a file that cannot be opened
// adds nothing. Daily reports take both ends of the range, the other files neither.
void LoadWorkReportCosts(Context& ctx);
void LoadRevisionCosts(Context& ctx);
void LoadPlannedRepairCosts(Context& ctx);
void LoadBreakdownCosts(Context& ctx);
void LoadMaterialCosts(Context& ctx);

} // namespace gim
