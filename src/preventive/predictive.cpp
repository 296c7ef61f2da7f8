#include "preventive/predictive.h"

#include "core/context.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "masterdata/routines.h"
#include "platform/card.h"
#include "preventive/plan_time.h"
#include "preventive/predictive_card.h"
#include "records/record_fields.h"

namespace gim {

namespace {

// The files of both kinds go through the same rewrite; only their names differ.
KeyedFile<PredictiveFile> FileOf(Context& ctx, DataFile which)
{
    return KeyedFile<PredictiveFile>(ctx, ctx.st.FileName(which), ctx.st.BackupFileName(which));
}

TPredictiveRecord& BufferOf(Context& ctx, DataFile which)
{
    PredictiveState& p = Predictive(ctx);
    return which == DataFile::Alarm ? p.CurrentAlarmLevel : p.CurrentMeasurement;
}

std::uint8_t& StoredFlagOf(Context& ctx, DataFile which)
{
    PredictiveState& p = Predictive(ctx);
    return which == DataFile::Alarm ? p.AlarmLevelChanged : p.PredictiveRecordStored;
}

// The year of the measurements to come, as the horizon counts it; a year outside the horizon, or no
// year, is its first.
void AskWorkYear(Context& ctx)
{
    State& st = ctx.st;
    const QString answer = ctx.ui.InputBox(
        QStringLiteral("RUTAS DE PREDICTIVO"),
        QStringLiteral("INTRODUZCA AÑO DE ANALISIS (") + QString::number(st.FirstYear + kYearOffset) +
            QStringLiteral(" a ") + QString::number(st.LastYear + kYearOffset) + QStringLiteral("):  "),
        st.YearText);
    const Int64Parse year = ParseInt64(answer);
    const std::int64_t worked = year.value - kYearOffset;
    st.WorkYear = year.errorPos == 0 && worked >= st.FirstYear && worked <= st.LastYear
                      ? static_cast<std::uint16_t>(worked)
                      : st.FirstYear;
}

// Whether the alarm-level file holds a level of that kind for the control already.
bool AlarmLevelExists(Context& ctx, const TPredictiveRecord& level)
{
    const auto levels = FileOf(ctx, DataFile::Alarm).Read(Report::Silent);
    if (!levels)
        return false;
    for (const TPredictiveRecord& r : *levels)
        if (SameControl(r, level) && r.FREC == level.FREC)
            return true;
    return false;
}

// A control of the selection card: "*" as speciality or position takes any.
bool MatchesSelection(const TPredictiveRecord& rec, const TPredictiveRecord& selection)
{
    return rec.Codigo == selection.Codigo && (selection.Espec == "*" || rec.Espec == selection.Espec) &&
           (selection.Pos == "*" || rec.Pos == selection.Pos);
}

} // namespace

PredictiveState& Predictive(Context& ctx)
{
    return ctx.Module<PredictiveState>();
}

bool PredictiveWeekBefore(const TPredictiveRecord& a, const TPredictiveRecord& b)
{
    return a.Semana.get() > b.Semana.get();
}

DataFile PredictiveFileOfMode(const QString& actionCode)
{
    return actionCode == QLatin1String("5") || actionCode == QLatin1String("3") ? DataFile::Alarm
                                                                                : DataFile::Predictive;
}

bool SameControl(const TPredictiveRecord& a, const TPredictiveRecord& b)
{
    return a.Codigo == b.Codigo && a.Espec == b.Espec && a.Pos == b.Pos;
}

QString PredictivePictureFolder(const QString& environment, const QString& machineCode)
{
    const QString sep = QStringLiteral("\\");
    return sep + QStringLiteral("PREDITI") + sep + environment.left(6) + sep + machineCode + sep;
}

QString PredictivePictureFile(const Context& ctx, const QString& machineCode, const QString& position)
{
    const QString folder =
        ResolveSubFolder(ctx.st.BaseDir, PredictivePictureFolder(ctx.st.CurrentEnvironment, machineCode));
    return ResolveDataPath(folder, position + QStringLiteral(".JPG"));
}

void LoadPredictiveList(Context& ctx)
{
    Predictive(ctx).MeasurementList = KeyedFile<PredictiveFile>(ctx).LoadList(Report::Silent);
}

std::optional<std::uint32_t> SavePredictiveRecord(Context& ctx, DataFile which, const TPredictiveRecord& rec)
{
    if (rec.Codigo == "#")
        return std::nullopt;
    KeyedFile<PredictiveFile> file = FileOf(ctx, which);
    WriteLock lock(ctx);
    // A record that creates its file leaves nothing to put in order.
    const bool existed = file.Exists();
    const std::optional<std::uint32_t> position = file.Append(FreshRecord(rec));
    if (position && existed)
        StoredFlagOf(ctx, which) = 1;
    return position;
}

namespace {

// The series of cards on `buffer`, or its one record when importing.
void RunAddPredictive(Context& ctx, DataFile which, TPredictiveRecord& buffer)
{
    State& st = ctx.st;
    const bool importing = st.ActionCode == QLatin1String("i");
    st.RecordAddedFlag = 0;
    // An import adds one line a call and keeps its flag over all of them.
    if (!importing) {
        StoredFlagOf(ctx, which) = 0;
        AskWorkYear(ctx);
    }
    for (;;) {
        const int result = PredictiveControlLookup(ctx, buffer);
        if (!(buffer.Codigo == "#")) {
            if (which == DataFile::Alarm && AlarmLevelExists(ctx, buffer)) {
                ctx.ui.ShowMessage(QStringLiteral("NIVEL DE ALARMA EXISTENTE.USE OPCION 3 DEL MENU."));
            } else if (const auto position = SavePredictiveRecord(ctx, which, buffer)) {
                st.RecordAddedFlag = 1;
                if (which == DataFile::Predictive)
                    InsertOrderedHeadFirst(Predictive(ctx).MeasurementList,
                                           PredictiveEntry{FreshRecord(buffer), *position},
                                           [](const PredictiveEntry& a, const PredictiveEntry& b) {
                                               return PredictiveWeekBefore(a.rec, b.rec);
                                           });
            }
        }
        // The series goes on until the card is left with &Salir.
        if (importing || result != CardResult::Save)
            break;
    }
}

} // namespace

void AddPredictiveRecord(Context& ctx)
{
    const DataFile which = PredictiveFileOfMode(ctx.st.ActionCode);
    RunAddPredictive(ctx, which, BufferOf(ctx, which));
}

bool AddImportedMeasurement(Context& ctx, const TPredictiveRecord& rec)
{
    TPredictiveRecord measurement = rec;
    RunAddPredictive(ctx, DataFile::Predictive, measurement);
    return ctx.st.RecordAddedFlag != 0;
}

void EditPredictiveRecord(Context& ctx)
{
    State& st = ctx.st;
    const DataFile which = PredictiveFileOfMode(st.ActionCode);
    TPredictiveRecord selection{};
    selection.Codigo = "*";
    selection.Espec = "*";
    selection.Pos = "*";
    selection.FREC = " ";
    selection.Ejecu = " ";
    selection.Descrip = " ";
    ShowPredictiveForm(ctx, selection, true);
    // &Salir on the selection chooses nothing.
    if (selection.Codigo == "#")
        return;
    if (!FindIntoFoundMachine(ctx, selection.Codigo)) {
        st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
        ctx.ui.ShowMessage(st.FoundMachine.Denominacion.str());
        return;
    }

    KeyedFile<PredictiveFile> file = FileOf(ctx, which);
    const std::optional<std::vector<TPredictiveRecord>> records = file.Read();
    if (!records)
        return;
    for (std::size_t i = 0; i < records->size(); ++i) {
        PredictiveEntry entry{(*records)[i], static_cast<std::uint32_t>(i)};
        if (!MatchesSelection(entry.rec, selection))
            continue;
        const int week = entry.rec.Semana.get();
        SetWorkWeek(st, week);
        TPredictiveRecord shown = entry.rec;
        const int result = ShowPredictiveForm(ctx, shown);
        if (result != CardResult::Save && result != CardResult::Delete)
            return;
        if (result == CardResult::Delete && !ctx.ui.AskYesNo(QStringLiteral("REALMENTE QUIERE BORRAR")))
            shown.Codigo = "#";
        if ((st.AnswerCode == QLatin1String("M") || st.AnswerCode == QLatin1String("B")) &&
            !(shown.Codigo == "#")) {
            // A file rewritten by someone else meanwhile: what was read no longer stands for it.
            if (file.WriteAt(entry, shown) != WriteResult::Written)
                return;
        }
    }
}

void RewritePredictiveFile(Context& ctx)
{
    const DataFile which = PredictiveFileOfMode(ctx.st.ActionCode);
    std::uint8_t& stored = StoredFlagOf(ctx, which);
    if (stored)
        FileOf(ctx, which).Sort();
    stored = 0;
    ctx.st.ContinueFlag = 0;
}

void FindAlarmLevel(Context& ctx, const TPredictiveRecord& control)
{
    const auto levels = FileOf(ctx, DataFile::Alarm).Read(Report::Silent);
    if (!levels)
        return;
    TPredictiveRecord& level = Predictive(ctx).CurrentAlarmLevel;
    level.Codigo.assign(control.Codigo);
    level.Pos.assign(control.Pos);
    level.Espec.assign(control.Espec);
    level.Medida1 = 0;
    level.Medida2 = 0;
    for (const TPredictiveRecord& r : *levels) {
        if (!SameControl(r, control))
            continue;
        level = r;
        if (control.FREC == "AL")
            break;
    }
}

std::optional<std::pair<PredictiveEntry, TPredictiveRecord>> DueAlarmLevel(Context& ctx,
                                                                           const TPredictiveRecord& reading)
{
    const auto levels = KeyedFile<AlarmLevelFile>(ctx).Read(Report::Silent);
    if (!levels)
        return std::nullopt;
    for (std::size_t i = 0; i < levels->size(); ++i) {
        const TPredictiveRecord& r = (*levels)[i];
        // Levels whose next revision lies above the reading are not due yet.
        if (!SameControl(r, reading) || r.Medida1.get() > reading.Medida1.get())
            continue;
        TPredictiveRecord due = r;
        due.Medida1 = static_cast<std::int32_t>(std::int64_t{reading.Medida1.get()} + r.Medida2.get());
        due.Ejecu.assign(reading.Ejecu);
        due.Semana = reading.Semana.get();
        due.Descrip.assign(reading.Descrip);
        return std::pair{PredictiveEntry{r, static_cast<std::uint32_t>(i)}, due};
    }
    return std::nullopt;
}

bool ConfirmAlarmRevision(Context& ctx)
{
    ctx.st.AnswerCode = ctx.ui
                            .InputBox(QStringLiteral("NIVELES ALARMAS DE MTO PREDICTIVO"),
                                      QStringLiteral("CONFIRME LA MODIFICACIÓN S/N"), QStringLiteral("N"))
                            .left(2);
    return ctx.st.AnswerCode == QLatin1String("S");
}

void UpdateAlarmRevision(Context& ctx, const TPredictiveRecord& measurement)
{
    if (auto due = DueAlarmLevel(ctx, measurement); due && ConfirmAlarmRevision(ctx))
        KeyedFile<AlarmLevelFile>(ctx).WriteAt(due->first, due->second);
}

} // namespace gim
