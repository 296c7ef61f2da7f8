#pragma once

#include "records/plan_records.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

namespace gim {

struct Context;
class PlanBook;

// Routine minutes are summed in nine buckets, one per period (index 1 to 9; 0 unused).
inline constexpr std::size_t kRoutineBuckets = 9;

// The working state of the planning unit; each entry point sets what it needs.
struct PlanningState
{
    // "MANUAL", "EDITOR", "CONTI" or "IMPOR"; the automatic loads keep their line/zone filter here.
    QString PlanMode;
    std::uint8_t PlanLoadFlag = 1; // 1 load, 0 unload
    std::uint16_t ProposedStartWeek = 0;
    std::uint16_t CarriedStartWeek = 0;
    std::uint16_t EditorStartWeek = 0; // the week a routine edit brings its machine back to
    std::uint8_t BiannualBalance = 0;  // the least-loaded week is sought over 96 weeks instead of 48
    std::uint16_t BalanceCycle = 48;   // the cycle a carried start week wraps in
    std::uint16_t SyncWeek = 0;
    std::array<std::uint16_t, kRoutineBuckets + 1> RoutineMinutes{};
    std::uint16_t TotalRoutineMinutes = 0;
    std::size_t BookedWeeks = 0; // the agenda weeks the last load or unload booked minutes in

    TPlanRecord PlanEntry{};     // the entry being planned
    TPlanRecord PlanFileEntry{}; // the entry read back from the plan file
    // The entry the import gateway hands over.
    TPlanRecord ImportedPlanEntry{};

    // The plan file of the operation running now, read once for all its machines.
    PlanBook* book = nullptr;
    // The book a batch of PlanImportedMachine calls shares (see BeginPlanBatch).
    std::shared_ptr<PlanBook> batchBook;
};

PlanningState& Planning(Context& ctx);

// What one PlanMachine call did.
enum class PlanOutcome {
    Nothing,  // refused, cancelled, or nothing to load or unload
    Loaded,   // the machine's minutes were booked and its entry appended
    Unloaded, // the machine's minutes were taken off and its entry erased
};

// Loads (AnswerCode "C") or unloads ("D") one machine: its code is asked in the manual mode (ActionCode
// "M"), the code given is planned otherwise; PlanMachine gives CurrentMachine's. A load appends its plan
// entry and books the minutes of every routine of the machine in the agenda from its start week on; an unload
// marks the entry erased and takes them off again. The plan file keeps the erased entry until ListAnnualPlan
// compacts it. An entry that is no longer where the plan was read ("ERROR DE POSICIÓN") changes nothing.
void PlanMachine(Context& ctx);
PlanOutcome PlanOneMachine(Context& ctx, const ShortString<8>& code);

// Keeps one plan book from BeginPlanBatch to EndPlanBatch for the PlanImportedMachine calls in between (an
// import's lines), so that they read the plan file once, not once each.
void BeginPlanBatch(Context& ctx);
void EndPlanBatch(Context& ctx);

// Sets ProposedStartWeek to the least-loaded week of the agenda, in the first cycle of 48 (96 with the
// biannual balance) weeks; with ActionCode "S" only weeks in step with SyncWeek count. Unchanged when no
// week qualifies.
void FindLeastLoadedWeek(Context& ctx);

// The bucket a routine's minutes go to (0: none) and how many times they count.
struct RoutineBucket
{
    std::size_t index = 0;
    int times = 1;
};
RoutineBucket BucketOfFrequency(const QString& frequency);
// Period in weeks of a bucket.
int RoutinePeriod(std::size_t index);

// AutoLoadPlanning: loads (or unloads) every machine whose code matches a line/zone filter; ActionCode
// "T" at the least-loaded week, "S" in step with a synchronism week.
void AutoLoadPlanning(Context& ctx);
// Whether a machine code matches a line/zone filter text: the text after its last "*" is compared with
// the code from that position on; "*" alone matches every code.
bool MatchesLineFilter(const QString& filterText, const QString& code);

// Loads the plan of another environment into this one, each start week moved so that the machines keep
// their maintenance rhythm across the change of plan years.
void ContinuePlanFromEnvironment(Context& ctx);
// Moves PlanEntry's start week by four weeks for every year this plan starts after the source plan,
// wrapping in BalanceCycle.
void ShiftStartWeekFromEnvironment(Context& ctx, int sourceFirstYear);

// The import's load of ImportedPlanEntry's machine at its start week.
void PlanImportedMachine(Context& ctx);
// The same for an entry handed in; whether the machine was loaded.
bool PlanImportedMachine(Context& ctx, const TPlanRecord& entry);

// The plan's side of the routine commands' hand-over: takes the entry's machine out of the plan while its
// routine changes; a machine the plan keeps gets the entry's code "#".
void UnloadMachineForRoutineEdit(Context& ctx, TPlanRecord& entry);
// Loads the entry's machine back at the entry's start week.
void ReloadMachineAfterRoutineEdit(Context& ctx, const TPlanRecord& entry);
// The two as the operations the routine commands run (Op::UnloadPlannedMachine, Op::ReloadPlannedMachine),
// on the routines' EditorPlanEntry.
void UnloadPlannedMachine(Context& ctx);
void ReloadPlannedMachine(Context& ctx);

} // namespace gim
