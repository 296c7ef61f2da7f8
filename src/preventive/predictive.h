#pragma once

#include "core/data_file.h"
#include "records/predictive_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace gim {

struct Context;

using PredictiveEntry = ListEntry<TPredictiveRecord>;

// The predictive module's program-wide variables.
struct PredictiveState
{
    // Every measurement of the measurement file, newest week first (LoadPredictiveList).
    std::vector<PredictiveEntry> MeasurementList;
    // The record buffers of the two files; an import fills CurrentMeasurement before it adds.
    TPredictiveRecord CurrentMeasurement{};
    TPredictiveRecord CurrentAlarmLevel{};
    // Set when a record was appended to an existing file during the command, so that its rewrite runs
    // however the series of cards ended; cleared by the rewrite.
    std::uint8_t PredictiveRecordStored = 0;
    std::uint8_t AlarmLevelChanged = 0;
    // The picture folder of the machine on the card, below the data folder ("\PREDITI\PLANTA\01-001\"),
    // and the picture of its position ("V1.JPG").
    QString PicturePath;
    QString PictureFileName;
};

PredictiveState& Predictive(Context& ctx);

// Newest week first.
bool PredictiveWeekBefore(const TPredictiveRecord& a, const TPredictiveRecord& b);

// The measurement file and the alarm-level file share the record and the rewrite: read from the last
// record, each record put in front of the weeks below it, a record whose week equals the leading one in
// front of them all; the twin is the old file as it stood.
template <DataFile F> struct PredictiveTable : TableFile<F, TPredictiveRecord>
{
    using Record = TPredictiveRecord;
    static constexpr TwinVariant kTwin = TwinVariant::CopyReversed;
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::LastToFirst;
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return PredictiveWeekBefore(a, b); }
    static bool Deleted(const Record& r) { return r.Codigo == "Z"; }
};
using PredictiveFile = PredictiveTable<DataFile::Predictive>;
using AlarmLevelFile = PredictiveTable<DataFile::Alarm>;

// The file a mode works on: the alarm levels in modes "5" and "3", the measurements otherwise.
DataFile PredictiveFileOfMode(const QString& actionCode);

// Whether two records name the same control point: machine code, speciality and position.
bool SameControl(const TPredictiveRecord& a, const TPredictiveRecord& b);

// The picture folder of a machine's control points below the data folder, and the picture of one of its
// positions found there whatever the case of its letters (a new one is named position + ".JPG").
QString PredictivePictureFolder(const QString& environment, const QString& machineCode);
QString PredictivePictureFile(const Context& ctx, const QString& machineCode, const QString& position);

void LoadPredictiveList(Context& ctx);

// A series of cards adding measurements (ActionCode "1") or alarm levels ("5") after the year asked for;
// with "i" one card showing the imported CurrentMeasurement. RecordAddedFlag says whether the last card's
// record was stored.
void AddPredictiveRecord(Context& ctx);
// One measurement handed in from outside (an import, ActionCode "i"), its absolute week in Semana, shown
// on its card whatever InteractiveFlag says: a measurement is stored only once someone has seen it
// (the import window keeps Manual ticked for it). Returns whether it was stored.
bool AddImportedMeasurement(Context& ctx, const TPredictiveRecord& rec);
// Chooses a control on a selection card, then shows each of its records of the mode's file for
// changing or erasing.
void EditPredictiveRecord(Context& ctx);
// Appends `rec` to the file (nothing for code "#"), creating the file when it is missing. Appending to
// an existing file sets the file's stored flag. Returns the record's position; nothing when it was not
// stored.
std::optional<std::uint32_t> SavePredictiveRecord(Context& ctx, DataFile which, const TPredictiveRecord& rec);
// The mode's file rewritten newest first without its erased records, when a record was stored in it
// during the command.
void RewritePredictiveFile(Context& ctx);

// CurrentAlarmLevel := the control's alarm level: the last record of the control in the alarm-level
// file, the first when the control's kind is "AL"; both levels 0 when there is none. A file that cannot
// be opened leaves CurrentAlarmLevel as it was.
void FindAlarmLevel(Context& ctx, const TPredictiveRecord& control);

// An hour-meter reading posted: the first alarm level of its control whose next revision is due at the
// reading moves on by its interval and takes the reading's executor, week and comment, once confirmed.
void UpdateAlarmRevision(Context& ctx, const TPredictiveRecord& measurement);
// The two halves of it, for a caller that asks first and writes within its own step: the due level where
// it stands and the level it becomes; the question, true on "S" (AnswerCode holds the answer).
std::optional<std::pair<PredictiveEntry, TPredictiveRecord>> DueAlarmLevel(Context& ctx,
                                                                           const TPredictiveRecord& reading);
bool ConfirmAlarmRevision(Context& ctx);

} // namespace gim
