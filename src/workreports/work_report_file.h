#pragma once

#include "core/data_file.h"
#include "corrective/work_orders.h"
#include "records/personnel_entry_record.h"
#include "records/planned_repair_record.h"
#include "records/store_movement_record.h"
#include "records/work_report_record.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace gim {

struct Context;

using WorkReportEntry = ListEntry<TWorkReportRecord>;

// An open planned repair closed by the line being saved: where the file holds it, as it was and as the
// line leaves it.
struct ChosenRepairClose
{
    std::uint32_t pos = 0;
    TPlannedRepairRecord before{};
    TPlannedRepairRecord after{};
};

// The descriptions the card offers, most recent first, each with the activity type it came with, none
// twice. It lasts as long as the program runs and grows with every line: a text is looked up in a set,
// and the list offered is shared with the card, not rebuilt.
class RememberedDescriptionList
{
public:
    bool empty() const { return m_texts.isEmpty() && m_newer.empty(); }
    std::size_t size() const { return static_cast<std::size_t>(m_texts.size()) + m_newer.size(); }
    std::pair<QString, QString> front() const
    {
        return m_newer.empty() ? std::pair{m_texts.front(), m_types.front()} : m_newer.back();
    }
    const QStringList& Texts();
    bool Contains(const QString& text) const { return m_known.contains(text); }
    // A text not remembered yet becomes the most recent (AddFirst) or the oldest (AddLast).
    void AddFirst(const QString& text, const QString& tipo);
    void AddLast(const QString& text, const QString& tipo);
    void clear();

private:
    QStringList m_texts;
    QStringList m_types;
    QSet<QString> m_known;
    // Texts added first since the list was last offered, oldest first: the list offered is still held by
    // the card that added them, so they go to its front when it is next offered, not by a copy each.
    std::vector<std::pair<QString, QString>> m_newer;
};

// The program-wide variables of the daily work reports.
struct WorkReportsState
{
    // The line every routine of the daily reports reads and writes.
    TWorkReportRecord CurrentWorkReport{};
    // The line an outside caller (import, merge, report window) hands in.
    TWorkReportRecord WorkReportInput{};
    // The import's full date text ("dd/mm/yyyy"), when it gives one: it becomes DateText.
    QString WorkReportInputDateText;
    // Set when a line was stored since the last sort: the commands that store lines sort afterwards.
    std::uint8_t WorkReportWritten = 0;

    // What the daily-report card leaves for the posting of its line.
    QString LongDescription;             // the whole description typed (up to 130 characters)
    std::uint8_t OrderAssignedFlag = 0;  // the line books time on a work order (ORDENT)
    std::uint8_t BudgetAssignedFlag = 0; // the line books time on a repair budget (Presup)
    // The order (or budget) the card last showed, added or edited, kept from card to card.
    WorkOrderOutcome CardOrder;
    std::uint8_t OrderFinishedFlag = 0; // the order is closed by this line
    std::uint8_t PlanRevisionFlag = 0;  // plan a revision after this repair
    std::uint8_t TypeValidFlag = 0;     // activity and hour type are both in their tables
    std::uint8_t KeepEntryMark = 0;     // Ctrl+Space on save: the next card asks only for an operator
    // The expedient entry of the line: posted unless its type is blank ("#") or normal hours ("C").
    TPersonnelEntryRecord LineEntry{};
    // The store movement of a store line ("AL"), as the card works it out from the part typed.
    TStoreMovementRecord StoreLine{};
    // The open planned repairs the card's Save closed in PlannedRepairList (the one chosen from the
    // description list): the line's step writes them, and a line that is not stored puts them back.
    std::vector<ChosenRepairClose> ChosenRepairCloses;
    // The add loop's answer: "N" ends the loop.
    QString AddLoopAnswer;
    // The minutes the card's operator has booked on the card's day (the caption's day total).
    std::int32_t DayMinutesTotal = 0;
    // The descriptions offered on the card, most recent first, each with the activity type it came with;
    // kept as long as the program runs.
    RememberedDescriptionList RememberedDescriptions;
    // The card's choices of operator (the active ones) and of machine, kept over a series of cards and
    // made again when the revision of the list each came from has moved on; with each code's first place
    // in the machine list.
    QStringList ActivePersonChoices;
    std::optional<std::uint64_t> ActivePersonChoicesRevision;
    QStringList MachineChoices;
    QHash<QString, qsizetype> MachinePlaces;
    std::optional<std::uint64_t> MachineChoicesRevision;

    // What the posting touched, for the menu command's re-sorts.
    std::uint8_t BreakdownPostedFlag = 0;
    std::uint8_t PlannedRepairPostedFlag = 0;
    std::uint8_t RevisionPostedFlag = 0;
    std::uint8_t PersonnelEntryPostedFlag = 0;
    std::uint8_t SparePartCreatedFlag = 0;

    // The merge's control mode: "A" automatic merges without cards and without refusal messages.
    QString MergeMode;
    // What else the step of a stored line writes (a merge marks the line taken from its source): written
    // within the line's transaction, so that both are stored or neither. False abandons the step.
    std::function<bool(Context&)> WriteWithLineStored;
};

WorkReportsState& WorkReports(Context& ctx);

// The list key: the week date followed by the operator, compared as texts.
std::strong_ordering CompareWorkReportKeys(const TWorkReportRecord& a, const TWorkReportRecord& b);
// The list order: the greater key first.
inline bool WorkReportBefore(const TWorkReportRecord& a, const TWorkReportRecord& b)
{
    return CompareWorkReportKeys(a, b) > 0;
}

// The daily-report file (.PDA): sorted latest first through its twin .PDK, which takes the old file as it
// stood; read from the last record to the first, so that a sorted file loads every line at the head.
struct WorkReportFile : TableFile<DataFile::WorkReport, TWorkReportRecord>
{
    static constexpr TwinVariant kTwin = TwinVariant::Rename;
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::LastToFirst;
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return WorkReportBefore(a, b); }
    // Operator "Z" is a deleted line; a line without a week (blank 4th character of its date) is dropped
    // by the sort as well.
    static bool Deleted(const Record& r);
};

// CurrentWorkReport := a new line: operator and machine "#", order "0", no part, activity "C",
// description "*", no times, dated today. The hour type stays as it was.
void SetWorkReportDefaults(Context& ctx);

// Rebuilds WorkReportList from the file, every line included. A missing file gives an empty list
// without a word.
void LoadWorkReports(Context& ctx);
// The lines loaded by LoadWorkReports (or left by SortWorkReportFile), in list order.
const std::vector<WorkReportEntry>& LoadedWorkReports(Context& ctx);

// Inserts a line by the list key. A line whose key is not below the head's becomes the head; elsewhere
// it goes after the lines of equal key.
void InsertWorkReportSorted(std::vector<WorkReportEntry>& list, WorkReportEntry entry);
void FreeWorkReportList(std::vector<WorkReportEntry>& list);
void FreeWorkReportList(Context& ctx);

// Appends `line` when its machine is in the machine file, creating the file when needed, and sets
// WorkReportWritten. A line for an unknown machine is never stored: when the file exists the user may
// enter the machine instead. Returns whether the line was stored.
bool AppendWorkReport(Context& ctx, const TWorkReportRecord& line);

// The sorting rewrite: the old file becomes the twin and the file is written latest first without
// deleted or undated lines, with old dates and activity types put right. With ActionCode "F" the lines of
// a week range chosen by the user go to the year file instead (environment + ".P" + year), and the file
// stays as it is. WorkReportList is left holding the sorted lines. Returns whether a file was written.
bool SortWorkReportFile(Context& ctx);

// The year file of the split: environment + ".P" + the two digits of the year.
QString WorkReportYearFileName(const QString& environment, const QString& year);

// A search filter that lets every line through: "*" in every text field, the day left blank.
TWorkReportRecord AnyWorkReportFilter();

// What a daily-report line stands for in the analyses.
enum class WorkReportLineKind {
    StoreExit,    // "AL": Tparo units at Tinter cents each; no working time
    DeliveryNote, // "ALB": Tparo cents; Tinter minutes
    Leave,        // types beginning with "F": holidays and leave, split by hour type; not effective time
    Work,         // every other type: Tinter minutes of effective time
};
WorkReportLineKind ClassifyWorkReportLine(const TWorkReportRecord& line);

} // namespace gim
