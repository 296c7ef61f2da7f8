#pragma once

#include "core/ordered_list.h"
#include "records/breakdown_record.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"
#include "records/work_report_record.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace gim {

struct Context;

// What a stored line posted and a change takes back: the first breakdown ("V"), planned repair ("R") or
// preventive revision ("P") that carries the line's machine, type, week, time, operator and description.
// Store movements, order states, alarms and expedient entries stay as they are.
struct PostingTakeBack
{
    std::optional<ListEntry<TBreakdownRecord>> breakdown;
    std::optional<ListEntry<TRevisionRecord>> revision;
    std::optional<ListEntry<TPlannedRepairRecord>> repair; // as PlannedRepairList holds it
    // The long text of what was found: the line keeps only its first 48 characters.
    std::optional<QString> description;

    // The files the take-back writes, for the step's transaction.
    QStringList Files(Context& ctx) const;
};

// Finds, without writing anything, what `line` posted.
PostingTakeBack FindPosting(Context& ctx, const TWorkReportRecord& line);
// Within the caller's transaction: what was found is marked deleted ("Z") where the files hold it. False
// when a file refused (said already).
bool WriteTakeBack(Context& ctx, const PostingTakeBack& found);
// Once the step is committed: the planned-repair list and the posted flags follow the files.
void FinishTakeBack(Context& ctx, const PostingTakeBack& found);

// Takes back, as one step, what CurrentWorkReport posted; the long description becomes the text of what
// was taken back.
void UnpostWorkReport(Context& ctx);

// Whether a stored line is one the edit's filter asks for. `descriptionFromLine`: the filter came from a
// line handed over (its description compares over the shorter of the two texts, up to a tab); a filter
// typed on the card matches every description.
bool LineMatchesFilter(const TWorkReportRecord& filter, const TWorkReportRecord& line,
                       const QString& fromWeek, const QString& toWeek, bool descriptionFromLine);

// Partes > Edición: the lines of a filter (the line handed over in WorkReportInput, or one typed on the
// card) are shown one by one on the edit card. Saved ("M") or erased ("B"), the line is rewritten where
// it stands and, as one step with it, what it posted is taken back and posted again as changed; a card
// left unsaved changes nothing and ends the walk. The files the posting touched are re-sorted at the end.
void ModifyWorkReport(Context& ctx);

// Partes > Fichero > Añadir Partes: merges the lines of a week range of another daily-report file,
// each through the add loop as one step, shown on the card ("M") or not ("A"), logged in a report window;
// the lines stored may be marked deleted in the source.
void MergeWorkReportFile(Context& ctx, const QString& path);

} // namespace gim
