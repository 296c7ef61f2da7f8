#include "workreports/work_report_posting.h"

#include "core/command.h"
#include "core/context.h"
#include "core/data_file.h"
#include "core/texts.h"
#include "core/transaction.h"
#include "core/week_codes.h"
#include "corrective/breakdowns.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entries.h"
#include "preventive/predictive.h"
#include "preventive/revisions.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "workreports/work_report_file.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gim {

namespace {

// The year and week of the line's week code ("yy/ww/d").
WeekParts YearWeekOf(const TWorkReportRecord& line)
{
    return ParseWeekCode(line.dia.bytes()).value_or(WeekParts{});
}

std::uint16_t LowWord(std::int32_t value)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFF);
}

// A part of the line's part field: characters from `from` (0-based), at most `count`.
QString PartPiece(const TWorkReportRecord& line, std::size_t from, std::size_t count)
{
    const std::string_view part = line.SparePart.bytes();
    if (from >= part.size())
        return {};
    return FromCp1252(part.substr(from, count));
}

bool IsOpenRepair(const TPlannedRepairRecord& r)
{
    return r.State == "P" || r.State == "T" || r.State == "M" || r.State == "S" || r.State == "J";
}

// A store exit: worked out under the step's lock, written within it, and what it has to say shown once
// the step is over, so that nobody waits on the lock while a message is read.
struct StoreBooking
{
    struct Booking
    {
        std::optional<std::pair<ListEntry<TSparePartRecord>, TSparePartRecord>> stock; // the part rewritten
    };
    TStoreMovementRecord movement{};
    std::vector<Booking> bookings; // one movement per part of the key; the stock only where it may change
    QStringList messages;
    bool found = false;

    bool RewritesParts() const
    {
        return std::any_of(bookings.begin(), bookings.end(), [](const Booking& b) { return b.stock; });
    }
    DataFile Journal() const
    {
        return movement.User.bytes().substr(0, 3) == "OP/" ? DataFile::OpMovement : DataFile::Movement;
    }
};

// Reads the parts under the step's lock: the stock read is the stock rewritten.
void PlanStoreBooking(Context& ctx, StoreBooking& b, std::int32_t unitValue)
{
    KeyedFile<SparePartFile> file(ctx);
    TStoreMovementRecord& m = b.movement;
    TSparePartRecord key{};
    key.Codigo.assign(m.Codigo);
    key.Equipo.assign(m.Equipo);
    key.Util.assign(m.Util);
    key.Pieza.assign(m.Pieza);
    // The parts of the key, looked up by halves in the sorted file: a line costs the same in a store of
    // any size.
    std::optional<std::vector<ListEntry<TSparePartRecord>>> parts;
    if (file.Exists())
        parts = file.FindAllByKey(key, Report::Show);
    if (!parts)
        return;
    for (const auto& [part, i] : *parts) {
        b.found = true;
        const std::int64_t stock = std::int64_t{part.Exist.get()} + m.Quantity.get();
        m.UnitValue = unitValue;
        // A stock the part's field cannot hold is refused with nothing booked, as on the card.
        if (const auto after = PartAfterBooking(part, m, part.Valor.get()); !after) {
            b.messages << after.error();
            continue;
        }
        StoreBooking::Booking booking;
        if (stock < 0) {
            b.messages << QStringLiteral("Falta de Existencias de :") + PartKeyText(part) +
                              QLatin1Char('\r') + part.Nombre.str();
        } else {
            TSparePartRecord updated = part;
            updated.Exist = static_cast<std::int32_t>(stock);
            booking.stock.emplace(ListEntry<TSparePartRecord>{part, static_cast<std::uint32_t>(i)}, updated);
        }
        b.bookings.push_back(std::move(booking));
    }
}

void AddStoreFiles(const State& st, const StoreBooking& b, QStringList& files)
{
    if (b.RewritesParts())
        files << st.FileName(DataFile::SparePart);
    if (!b.bookings.empty())
        files << st.FileName(b.Journal());
}

bool WriteStoreBooking(Context& ctx, StoreBooking& b)
{
    for (StoreBooking::Booking& booking : b.bookings) {
        const auto written =
            booking.stock ? WriteBooking(ctx, b.movement, &booking.stock->first, &booking.stock->second)
                          : WriteBooking(ctx, b.movement, nullptr, nullptr);
        if (!written) {
            // Shown after the step, which is abandoned.
            if (!written.error().message.isEmpty())
                b.messages << written.error().message;
            return false;
        }
    }
    return true;
}

// Once the step is over: the shortages, and for a part missing from the file the question whether to
// enter it. Returns whether a part was entered.
bool FinishStoreBooking(Context& ctx, const StoreBooking& b)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    w.SparePartCreatedFlag = 0;
    for (const QString& message : b.messages)
        ctx.ui.ShowMessage(message);
    // Lines posted without cards (an automatic merge or import) take the question's default: no card.
    if (b.found || st.InteractiveFlag == 0)
        return false;
    const QString answer =
        ctx.ui
            .InputBox(QStringLiteral("Almacén Técnico"),
                      QStringLiteral("Código inexistente.Generar FICHA (S/N):"), QStringLiteral("N"))
            .left(2);
    if (answer != QLatin1String("S"))
        return false;
    // The part card of the store's own entry, whatever mode the daily report runs in; the lines of a
    // merge that come after still show no card.
    NestedCallGuard guard(ctx);
    st.AnswerCode = QStringLiteral("@@");
    st.ActionCode = QStringLiteral("W");
    AddSparePart(ctx);
    w.SparePartCreatedFlag = st.RecordAddedFlag != 0 ? 1 : 0;
    return w.SparePartCreatedFlag != 0;
}

// One line's posting: what it asks first, the records it writes and what follows once they are stored.
struct LineStep
{
    TWorkReportRecord line{};
    QString tipo;
    QString family;
    bool store = false;
    // Asked before the step.
    std::optional<std::uint16_t> revisionWeek;
    std::optional<std::pair<PredictiveEntry, TPredictiveRecord>> alarm;
    // Worked out under the step's lock.
    std::optional<TBreakdownRecord> breakdown;
    std::vector<TWorkOrderRecord> orderWrites; // the order as each of its writes leaves it
    std::vector<TPlannedRepairRecord> repairs; // the line's repair, then the revision planned after it
    std::optional<StoreBooking> storeExit;
    std::optional<TRevisionRecord> revision;
    std::optional<TPersonnelEntryRecord> personnelEntry;
    // Written.
    std::vector<PlannedRepairEntry> repairsStored;
    PostedFiles posted;
};

void AskFirst(Context& ctx, LineStep& step)
{
    const TWorkReportRecord& line = step.line;
    if (step.family == QLatin1String("R") && step.tipo.size() >= 2 &&
        WorkReports(ctx).PlanRevisionFlag != 0 && LowWord(line.Tinter.get()) != 0)
        step.revisionWeek = CheckRepairRevision(ctx);
    if (step.family == QLatin1String("P") && step.tipo.mid(1, 2) == QLatin1String("TF")) {
        // The running-hours reading moves the machine's hour-meter alarm on, once confirmed.
        TPredictiveRecord reading{};
        reading.Codigo.assign(line.Codigo);
        reading.FREC = "CH";
        reading.Espec = "H";
        reading.Medida1 = static_cast<std::int32_t>(ParseInt64(line.Orden.str()).value);
        reading.Ejecu.assign(line.Matricula);
        reading.Semana = static_cast<std::int32_t>(LineAbsoluteWeek(ctx.st, line));
        reading.Descrip = line.Descripcion.str().left(34);
        // Without cards the confirmation takes its default, "N".
        if (auto due = DueAlarmLevel(ctx, reading);
            due && ctx.st.InteractiveFlag != 0 && ConfirmAlarmRevision(ctx))
            step.alarm = std::move(due);
    }
}

TBreakdownRecord BreakdownOf(Context& ctx, const LineStep& step)
{
    const TWorkReportRecord& line = step.line;
    TBreakdownRecord b{};
    b.Code.assign(line.Codigo);
    b.Week = LineAbsoluteWeek(ctx.st, line);
    b.Day = QString::number(YearWeekOf(line).weekday);
    b.Shift = ".";
    b.Type = step.tipo.mid(1, 1);
    b.Description = WorkReports(ctx).LongDescription;
    b.Intervention = LowWord(line.Tinter.get());
    b.Operators = 1;
    b.Stop = LowWord(line.Tparo.get());
    b.Delay = 0;
    b.NoticeTime.assign(line.Orden);
    b.Officer.assign(line.Matricula);
    b.RepairStart = "-";
    b.ProductionOperator = "-";
    return b;
}

// The time booked on a work order starts it, and the line that finishes it closes it.
void PlanWorkOrderTime(Context& ctx, LineStep& step)
{
    State& st = ctx.st;
    const WorkReportsState& w = WorkReports(ctx);
    if (w.OrderAssignedFlag == 0 || step.line.Tinter.get() == 0)
        return;
    const Int64Parse number = ParseInt64(step.line.Orden.str());
    if (number.errorPos != 0 || number.value < 0)
        return;
    const std::optional<TWorkOrderRecord> booked =
        KeyedFile<WorkOrderFile>(ctx, st.FileName(DataFile::WorkOrder))
            .ReadAt(static_cast<std::uint64_t>(number.value), Report::Silent);
    if (!booked)
        return;
    TWorkOrderRecord order = *booked;
    // One moment stamps both the start and the close of an order opened and finished by one line.
    const QDateTime now = ctx.clock.Now();
    const QString today = WeekCodeOf(now.date());
    const QString time = TimeToText(st, now.time());
    if (order.State == "P") {
        order.State = "T";
        order.StartDate = today;
        order.StartHour = time;
        step.orderWrites.push_back(order);
    }
    if (w.OrderFinishedFlag != 0) {
        order.State = "E";
        order.CloseDate = today;
        order.CloseHour = time;
        step.orderWrites.push_back(order);
    }
}

void PlanPlannedRepair(Context& ctx, LineStep& step)
{
    const State& st = ctx.st;
    const TWorkReportRecord& line = step.line;
    TPlannedRepairRecord r{};
    r.Code.assign(line.Codigo);
    r.Specialty = step.tipo.mid(1, 2);
    r.Order.assign(line.Orden);
    r.Description = WorkReports(ctx).LongDescription;
    r.Minutes = LowWord(line.Tinter.get());
    if (r.Minutes.get() != 0) {
        r.State = "E";
        r.Week = LineAbsoluteWeek(st, line);
        r.Executor.assign(line.Matricula);
    } else {
        // Still to do: it waits at the end of the horizon, dated by the line.
        const QString kind = step.tipo.mid(2, 1);
        if (kind == QLatin1String("M") || kind == QLatin1String("J") || kind == QLatin1String("S"))
            r.State = kind;
        else
            r.State = "P";
        r.Week = st.PlanWeeks;
        r.Executor = WeekCodeToDateText(line.dia.str());
    }
    if (step.tipo.size() < 2)
        return;
    step.repairs.push_back(FreshRecord(r));
    if (step.revisionWeek) {
        // The repair just posted, planned again as pending in the week asked for.
        r.Week = *step.revisionWeek;
        r.State = "P";
        r.Executor = st.TodayText;
        r.Minutes = 0;
        step.repairs.push_back(FreshRecord(r));
    }
}

StoreBooking StoreExitOf(Context& ctx, const TWorkReportRecord& line)
{
    StoreBooking b;
    TStoreMovementRecord& m = b.movement;
    // The code part is typed into a field of its own: blanks padding it are no part of the code.
    m.Codigo = PartPiece(line, 0, 8).trimmed();
    m.Destination.assign(line.Codigo);
    const std::int32_t units = line.Tparo.get();
    // A line on the store itself returns the units to it.
    m.Quantity = line.Codigo == kStoreMachineCode ? units : -units;
    m.Equipo = PartPiece(line, 8, 2);
    m.Util = PartPiece(line, 10, 3);
    m.Pieza = PartPiece(line, 13, 3);
    const WeekParts at = YearWeekOf(line);
    m.AbsoluteWeek = AbsoluteWeekByte(ctx.st, at.year, at.week);
    m.User.assign(line.Matricula);
    PlanStoreBooking(ctx, b, line.Tinter.get());
    return b;
}

TRevisionRecord RevisionOf(Context& ctx, const LineStep& step)
{
    const TWorkReportRecord& line = step.line;
    const QString frequency = step.tipo.mid(1, 2);
    TRevisionRecord r{};
    r.MachineCode.assign(line.Codigo);
    r.Frequency = frequency;
    r.Week = LineAbsoluteWeek(ctx.st, line);
    r.Executor.assign(line.Matricula);
    r.Time = LowWord(line.Tinter.get());
    r.Comment = WorkReports(ctx).LongDescription;
    if (r.Time.get() == 0)
        r.State = "P";
    else
        r.State = FrequencyIncludes(u"S4", frequency) ? "E" : "ER";
    return r;
}

// Under the step's lock: the records the line writes, and the files they go to.
QStringList PlanStep(Context& ctx, LineStep& step)
{
    const State& st = ctx.st;
    const WorkReportsState& w = WorkReports(ctx);
    QStringList files;
    if (step.store)
        files << st.FileName(DataFile::WorkReport);
    if (step.family == QLatin1String("V") && step.tipo.size() >= 2) {
        step.breakdown = BreakdownOf(ctx, step);
        files << st.FileName(DataFile::Breakdown);
    }
    PlanWorkOrderTime(ctx, step);
    if (!step.orderWrites.empty())
        files << st.FileName(DataFile::WorkOrder);
    if (step.family == QLatin1String("R"))
        PlanPlannedRepair(ctx, step);
    if (!w.ChosenRepairCloses.empty() || !step.repairs.empty())
        files << st.FileName(DataFile::PlannedRepair);
    if (step.tipo == QLatin1String("AL") || step.tipo == QLatin1String("al")) {
        step.storeExit = StoreExitOf(ctx, step.line);
        AddStoreFiles(st, *step.storeExit, files);
    }
    if (step.family == QLatin1String("P") && step.tipo.size() >= 2) {
        step.revision = RevisionOf(ctx, step);
        files << st.FileName(DataFile::Revision);
    }
    if (step.alarm)
        files << st.FileName(DataFile::Alarm);
    const std::string_view entryType = w.LineEntry.Type.bytes();
    // Normal hours ("C") and a blank entry ("#") are no expedient matter.
    if (!entryType.empty() && entryType[0] != '#' && entryType[0] != 'C')
        step.personnelEntry = w.LineEntry;
    if (step.personnelEntry)
        files << st.FileName(DataFile::PersonnelEntry);
    return files;
}

// Within the transaction, in the order the files are named above: nothing here asks or shows a card.
// False when a file refused a write (said already): the step is abandoned.
bool WriteStep(Context& ctx, LineStep& step)
{
    const State& st = ctx.st;
    if (step.store && !KeyedFile<WorkReportFile>(ctx).Append(FreshRecord(step.line)))
        return false;
    if (step.breakdown && !AppendBreakdownRecord(ctx, *step.breakdown))
        return false;
    for (const TWorkOrderRecord& order : step.orderWrites)
        if (!WriteWorkOrder(ctx, order, st.FileName(DataFile::WorkOrder)))
            return false;
    for (const ChosenRepairClose& close : WorkReports(ctx).ChosenRepairCloses) {
        PlannedRepairEntry entry{close.before, close.pos};
        if (KeyedFile<PlannedRepairFile>(ctx).WriteAt(entry, close.after) != WriteResult::Written)
            return false;
    }
    for (const TPlannedRepairRecord& repair : step.repairs) {
        const std::optional<std::uint32_t> pos = AppendPlannedRepair(ctx, repair);
        if (!pos)
            return false;
        step.repairsStored.push_back({repair, *pos});
    }
    if (step.storeExit && !WriteStoreBooking(ctx, *step.storeExit))
        return false;
    if (step.revision && !AppendRevision(ctx, *step.revision))
        return false;
    if (step.alarm &&
        KeyedFile<AlarmLevelFile>(ctx).WriteAt(step.alarm->first, step.alarm->second) != WriteResult::Written)
        return false;
    if (step.personnelEntry && !AppendPersonnelEntry(ctx, *step.personnelEntry))
        return false;
    const WorkReportsState& w = WorkReports(ctx);
    return !step.store || !w.WriteWithLineStored || w.WriteWithLineStored(ctx);
}

// The file now holds `after` where this program had read `before`: a later save of the whole list must
// not take it for another program's change.
void NoteRepairStored(PlannedRepairsState& p, const TPlannedRepairRecord* before,
                      const TPlannedRepairRecord& after, std::size_t position = 0)
{
    if (!p.LoadedPlannedRepairs)
        return;
    std::vector<TPlannedRepairRecord>& loaded = *p.LoadedPlannedRepairs;
    // Read as the file held it, a record is found at its own position; which of two equal records
    // takes the change does not matter to the save, which compares them as a multiset.
    if (before && position < loaded.size() && std::memcmp(&loaded[position], before, sizeof *before) == 0) {
        loaded[position] = after;
        return;
    }
    if (before) {
        const auto it = std::find_if(loaded.begin(), loaded.end(), [before](const TPlannedRepairRecord& r) {
            return std::memcmp(&r, before, sizeof r) == 0;
        });
        if (it != loaded.end()) {
            *it = after;
            return;
        }
    }
    loaded.push_back(after);
}

// Once the step is committed: the flags and lists follow the files, then what the step has to say.
void FinishStep(Context& ctx, LineStep& step, const std::function<void()>& stored)
{
    WorkReportsState& w = WorkReports(ctx);
    PlannedRepairsState& p = PlannedRepairs(ctx);
    if (step.store)
        w.WorkReportWritten = 1;
    if (step.breakdown) {
        w.BreakdownPostedFlag = 1;
        step.posted.Add(DataFile::Breakdown);
    }
    if (!step.orderWrites.empty())
        step.posted.Add(DataFile::WorkOrder);
    for (const ChosenRepairClose& close : w.ChosenRepairCloses)
        NoteRepairStored(p, &close.before, close.after, close.pos);
    if (!w.ChosenRepairCloses.empty() || !step.repairsStored.empty()) {
        w.PlannedRepairPostedFlag = 1;
        step.posted.Add(DataFile::PlannedRepair);
    }
    w.ChosenRepairCloses.clear();
    for (const PlannedRepairEntry& entry : step.repairsStored) {
        QueuePlannedRepairByWeek(ctx, entry);
        NoteRepairStored(p, nullptr, entry.rec);
    }
    if (step.storeExit && !step.storeExit->bookings.empty())
        step.posted.Add(step.storeExit->Journal());
    if (step.revision) {
        w.RevisionPostedFlag = 1;
        step.posted.Add(DataFile::Revision);
    }
    if (step.alarm)
        step.posted.Add(DataFile::Alarm);
    if (step.personnelEntry) {
        w.PersonnelEntryPostedFlag = 1;
        step.posted.Add(DataFile::PersonnelEntry);
    }
    if (stored)
        stored();
    if (step.storeExit && FinishStoreBooking(ctx, *step.storeExit)) {
        step.posted.Add(DataFile::SparePart);
        SortSparePartFile(ctx);
    }
}

// Opens again the repairs a line's card closed, unless its step was committed.
class ReopenUnlessStored final
{
public:
    explicit ReopenUnlessStored(Context& ctx) : m_ctx(ctx) {}
    ~ReopenUnlessStored()
    {
        if (!m_stored)
            ReopenChosenRepairs(m_ctx);
    }
    ReopenUnlessStored(const ReopenUnlessStored&) = delete;
    ReopenUnlessStored& operator=(const ReopenUnlessStored&) = delete;
    void Stored() { m_stored = true; }

private:
    Context& m_ctx;
    bool m_stored = false;
};

} // namespace

std::uint16_t LineAbsoluteWeek(const State& st, const TWorkReportRecord& line)
{
    const WeekParts at = YearWeekOf(line);
    return AbsoluteWeekWord(st, at.year, at.week);
}

std::optional<PostedFiles> StoreAndPostWorkReport(Context& ctx, bool store,
                                                  const std::function<void()>& stored)
{
    ReopenUnlessStored reopen(ctx);
    LineStep step;
    step.line = WorkReports(ctx).CurrentWorkReport;
    step.tipo = step.line.Tipo.str();
    step.family = step.tipo.left(1);
    step.store = store;
    AskFirst(ctx, step);
    {
        Transaction tx(ctx);
        if (!tx.Prepare(PlanStep(ctx, step)) || !WriteStep(ctx, step))
            return std::nullopt;
        tx.Commit();
    }
    reopen.Stored();
    FinishStep(ctx, step, stored);
    return step.posted;
}

PostedFiles PostWorkReport(Context& ctx)
{
    return StoreAndPostWorkReport(ctx, false).value_or(PostedFiles{});
}

void NotePlannedRepairWritten(Context& ctx, const TPlannedRepairRecord& before,
                              const TPlannedRepairRecord& after, std::size_t position)
{
    NoteRepairStored(PlannedRepairs(ctx), &before, after, position);
}

std::optional<std::uint16_t> CheckRepairRevision(Context& ctx)
{
    State& st = ctx.st;
    const QString caption = QStringLiteral("Comprobación de Reparación");
    st.AnswerCode = QStringLiteral("N");
    st.AnswerCode =
        ctx.ui.InputBox(caption, QStringLiteral("¿Requiere revisión? (S/N) :"), QStringLiteral("N")).left(2);
    if (st.AnswerCode != QLatin1String("S"))
        return std::nullopt;
    const Int64Parse week =
        ParseInt64(ctx.ui.InputBox(caption, QStringLiteral("Semana de Revisión"), QStringLiteral("52")));
    // A week that is not a number plans nothing rather than a revision in week 0.
    if (week.errorPos != 0)
        return std::nullopt;
    return AbsoluteWeekWord(st, st.CurrentYear - kYearOffset, static_cast<int>(week.value));
}

void CloseChosenRepair(Context& ctx, const ShortString<8>& machine, const QString& description,
                       const QString& executor)
{
    if (description.isEmpty())
        return;
    WorkReportsState& w = WorkReports(ctx);
    std::vector<PlannedRepairEntry>& list = PlannedRepairs(ctx).PlannedRepairList;
    for (const std::uint32_t at : PlannedRepairsOfMachine(ctx, machine.str())) {
        PlannedRepairEntry& e = list[at];
        if (!IsOpenRepair(e.rec) || !(e.rec.Code == machine) || e.rec.Description.str() != description)
            continue;
        ChosenRepairClose close{e.pos, e.rec, e.rec};
        if (e.rec.Executor.str() != executor)
            close.after.State = "T";
        else
            close.after.Code = "Z";
        e.rec = close.after;
        w.ChosenRepairCloses.push_back(close);
    }
}

void ReopenChosenRepairs(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    std::vector<PlannedRepairEntry>& list = PlannedRepairs(ctx).PlannedRepairList;
    for (auto close = w.ChosenRepairCloses.rbegin(); close != w.ChosenRepairCloses.rend(); ++close) {
        // Under the machine it was closed on, whatever its code now.
        for (const std::uint32_t at : PlannedRepairsOfMachine(ctx, close->before.Code.str())) {
            PlannedRepairEntry& e = list[at];
            if (e.pos == close->pos && std::memcmp(&e.rec, &close->after, sizeof e.rec) == 0) {
                e.rec = close->before;
                break;
            }
        }
    }
    w.ChosenRepairCloses.clear();
}

bool FindOrCreateStorePart(Context& ctx, const TStoreMovementRecord& movement)
{
    StoreBooking b;
    b.movement = movement;
    {
        Transaction tx(ctx);
        PlanStoreBooking(ctx, b, WorkReports(ctx).CurrentWorkReport.Tinter.get());
        QStringList files;
        AddStoreFiles(ctx.st, b, files);
        if (!tx.Prepare(files) || !WriteStoreBooking(ctx, b))
            return false;
        tx.Commit();
    }
    return FinishStoreBooking(ctx, b);
}

void SortWhatWasPosted(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    if (w.RevisionPostedFlag != 0)
        SortRevisionFile(ctx);
    if (w.BreakdownPostedFlag != 0)
        SortBreakdownFile(ctx);
    if (w.PlannedRepairPostedFlag != 0)
        SortPlannedRepairFile(ctx);
    if (w.PersonnelEntryPostedFlag != 0) {
        PurgePersonnelEntries(ctx);
        w.PersonnelEntryPostedFlag = 0;
    }
}

void SavePlannedRepairList(Context& ctx)
{
    SettlePlannedRepairList(ctx);
    PlannedRepairsState& p = PlannedRepairs(ctx);
    const KeyedFile<PlannedRepairFile> file(ctx);
    if (p.PlannedRepairList.empty() || !file.Exists())
        return;
    WriteLock lock(ctx);
    // The list changes below as a whole: its index is built again should anyone ask.
    p.PlannedRepairsByMachine.reset();
    // Another program may have added or removed repairs since the list was read: what it added is kept,
    // what it removed stays removed, unless this program changed that repair itself.
    const auto now = p.LoadedPlannedRepairs ? file.Read(Report::Silent) : std::nullopt;
    if (now) {
        const auto bytes = [](const TPlannedRepairRecord& r) {
            return std::string(reinterpret_cast<const char*>(&r), sizeof r);
        };
        std::multiset<std::string> loaded;
        for (const TPlannedRepairRecord& r : *p.LoadedPlannedRepairs)
            loaded.insert(bytes(r));
        std::vector<TPlannedRepairRecord> added;
        for (const TPlannedRepairRecord& r : *now) {
            const auto it = loaded.find(bytes(r));
            if (it != loaded.end())
                loaded.erase(it);
            else
                added.push_back(r);
        }
        // `loaded` now holds what the other program removed.
        if (!loaded.empty())
            std::erase_if(p.PlannedRepairList, [&loaded, &bytes](const PlannedRepairEntry& e) {
                const auto it = loaded.find(bytes(e.rec));
                if (it == loaded.end())
                    return false;
                loaded.erase(it);
                return true;
            });
        for (const TPlannedRepairRecord& r : added)
            InsertPlannedRepairByWeek(ctx, {r, 0});
    }
    std::vector<TPlannedRepairRecord> records;
    records.reserve(p.PlannedRepairList.size());
    for (const PlannedRepairEntry& e : p.PlannedRepairList)
        if (!(e.rec.Code == "Z"))
            records.push_back(e.rec);
    StoreRecords(ctx, file.name(), records);
    if (p.LoadedPlannedRepairs)
        p.LoadedPlannedRepairs = std::move(records);
}

} // namespace gim
