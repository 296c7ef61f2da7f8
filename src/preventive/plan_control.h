#pragma once

#include "preventive/gama_times.h"
#include "preventive/revisions.h"
#include "records/plan_records.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace gim {

struct Context;
struct State;

// The due rule of the plan on the history's 16-bit weeks: the frequency code due in `week` for a
// machine whose plan starts in `startWeek`, or "--".
QString FrequencyDueInWeek(const State& st, std::uint16_t startWeek, std::uint16_t week);

// The gama the plan control looks for: machine, frequency, absolute week and the frequency's period.
struct PlannedGama
{
    QString code;
    QString frequency;
    int week = 0;
    int period = 0;
};

// What the search found: the oldest matching revision (a blank pending one when none matched), the
// minutes of every match, and whether the previous period holds a revision of the gama or a longer one.
struct GamaExecution
{
    bool found = false;
    std::uint32_t executedTime = 0;
    std::uint32_t routeTime = 0;
    bool previousPeriod = false;
    TRevisionRecord revision{};
};

// RevisionList by machine, each machine's revisions in the list's order (newest week first), so a
// search reads only the few weeks around the planned one. The list must outlive the index.
class RevisionIndex
{
public:
    explicit RevisionIndex(const std::vector<RevisionEntry>& list);
    // The search as the mode asks: "1", "0" and "M" allow a late or early execution of the same frequency
    // (a month's gama one week either way, up to five weeks for the longest), "2" and "3" take any
    // frequency, "3" only route executions ("ER"). "1" looks no further back than five weeks.
    GamaExecution Find(const PlannedGama& gama, const QString& actionCode) const;

    // The mode of a search, read once from ActionCode for a whole walk.
    struct Mode
    {
        explicit Mode(const QString& actionCode);
        bool ratio = false;        // "1"
        bool lateOrEarly = false;  // "1", "0", "M"
        bool anyFrequency = false; // "2", "3"
        bool routes = false;       // "3"
    };
    // The same search on the machine code and frequency as stored (Windows-1252).
    GamaExecution Find(std::string_view code, std::string_view frequency, int week, int period,
                       const Mode& mode) const;

private:
    // Each machine's revisions stand side by side with their weeks, so that the search by halves reads
    // the index alone: the records themselves lie all over a large history.
    struct Revision
    {
        int week = 0;
        std::uint32_t at = 0; // in the list
    };
    const std::vector<RevisionEntry>& m_list;
    std::vector<Revision> m_revisions;
    std::unordered_map<std::string, std::pair<std::uint32_t, std::uint32_t>> m_byMachine; // [first, last)
};

// The search of one planned gama: RunFlag := whether it was found; returns what was found.
GamaExecution FindPlannedGamaExecution(Context& ctx, const RevisionIndex& index, const PlannedGama& gama);
// The same with what was found handed over.
void NoteGamaExecution(Context& ctx, const GamaExecution& found);

// The figures of the last plan control, read by the ratio reports after each single week.
struct PlanControlState
{
    std::uint32_t GP = 0;           // gamas programmed
    std::uint32_t GE = 0;           // gamas executed
    std::uint32_t RePending = 0;    // left pending with nothing in the period before
    std::uint32_t TPS = 0;          // programmed minutes of the plan
    std::uint32_t TPG = 0;          // programmed minutes of the executed gamas
    std::uint32_t TE = 0;           // real minutes of the executions found
    std::uint32_t RouteMinutes = 0; // route executions of the plan's machines
    std::uint32_t ListedGamas = 0;  // lines the control listed
};
PlanControlState& PlanControl(Context& ctx);

// a * 100 / b truncated toward zero; 0 when b is 0.
std::uint32_t Pct(std::uint64_t a, std::uint64_t b);

// The week and year prompts of the controls under `title`: a week above 52 is taken as 52, and anything
// but a number abandons the command. The year sets WorkYear; a year before the plan gives its first.
int AskControlWeek(Context& ctx, const QString& title, const QString& prompt, const QString& defaultWeek);
void AskControlYear(Context& ctx, const QString& title);

// What the control reads before it walks the weeks: the plan's machines looked up, the gama times and the
// history index over RevisionList (which must outlive it). The ratio reports build one for all their weeks.
class PlanControlSource
{
public:
    struct Machine
    {
        TPlanRecord entry{};
        QString code;
        QString name;
        bool available = false;
        bool passes = true; // the machine pattern asked for takes it
    };
    PlanControlSource(Context& ctx, const std::vector<TPlanRecord>& plan, const QString& pattern);

    std::vector<Machine> machines;
    RevisionIndex index;
    GamaTimeTable gamaTimes;
};

// Compares the plan with the history week by week. OutputCode "C" lists it ("HISTORIAL", ActionCode "M"
// for one machine pattern), "P" shows each programmed gama on the revision card to record what was done;
// ActionCode "1" controls the single week WorkWeek of WorkYear on a history the caller loaded, with no
// card and no listing.
void ControlPlan(Context& ctx);
// The single week of ActionCode "1" on a source built once for many weeks.
void ControlPlanWeek(Context& ctx, const PlanControlSource& source);

} // namespace gim
