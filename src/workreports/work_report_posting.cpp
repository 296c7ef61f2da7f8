#include "workreports/work_report_posting.h"

#include "core/command.h"
#include "core/context.h"
#include "core/data_file.h"
#include "core/texts.h"
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
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace gim {

namespace {

// The year and week digits of the line's week code ("yy/ww/d").
struct LineYearWeek
{
    int year = 0;
    int week = 0;
};
LineYearWeek YearWeekOf(const TWorkReportRecord& line)
{
    const QString dia = line.dia.str();
    return {static_cast<int>(ParseInt64(QStringView(dia).mid(0, 2)).value),
            static_cast<int>(ParseInt64(QStringView(dia).mid(3, 2)).value)};
}

// The line's absolute week as the 16-bit fields keep it.
std::uint16_t LineWeek(const State& st, const TWorkReportRecord& line)
{
    const LineYearWeek at = YearWeekOf(line);
    return AbsoluteWeekWord(st, at.year, at.week);
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

void PostBreakdown(Context& ctx, const QString& tipo, PostedFiles& posted)
{
    WorkReportsState& w = WorkReports(ctx);
    const TWorkReportRecord& line = w.CurrentWorkReport;
    TBreakdownRecord& b = Breakdowns(ctx).CurrentBreakdown;
    b.Code.assign(line.Codigo);
    b.Week = LineWeek(ctx.st, line);
    b.Day = line.dia.str().mid(6, 1);
    b.Shift = ".";
    b.Type = tipo.mid(1, 1);
    b.Description = w.LongDescription;
    b.Intervention = LowWord(line.Tinter.get());
    b.Operators = 1;
    b.Stop = LowWord(line.Tparo.get());
    b.Delay = 0;
    b.NoticeTime.assign(line.Orden);
    b.Officer.assign(line.Matricula);
    b.RepairStart = "-";
    b.ProductionOperator = "-";
    if (tipo.size() < 2)
        return;
    if (AppendBreakdownRecord(ctx)) {
        w.BreakdownPostedFlag = 1;
        posted.Add(DataFile::Breakdown);
    }
}

// The time booked on a work order starts it, and the line that finishes it closes it.
void PostWorkOrderTime(Context& ctx, PostedFiles& posted)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    const TWorkReportRecord& line = w.CurrentWorkReport;
    if (w.OrderAssignedFlag == 0 || line.Tinter.get() == 0)
        return;
    const Int64Parse number = ParseInt64(line.Orden.str());
    if (number.errorPos != 0 || number.value < 0)
        return;
    const QString fileName = st.FileName(DataFile::WorkOrder);
    const std::optional<TWorkOrderRecord> booked =
        KeyedFile<WorkOrderFile>(ctx, fileName)
            .ReadAt(static_cast<std::uint64_t>(number.value), Report::Silent);
    if (!booked)
        return;
    TWorkOrderRecord& order = WorkOrders(ctx).CurrentWorkOrder;
    order = *booked;
    // One moment stamps both the start and the close of an order opened and finished by one line.
    const QDateTime now = ctx.clock.Now();
    const QString today = WeekCodeOf(now.date());
    const QString time = TimeToText(st, now.time());
    if (order.State == "P") {
        order.State = "T";
        order.StartDate = today;
        order.StartHour = time;
        if (WriteWorkOrder(ctx, fileName))
            posted.Add(DataFile::WorkOrder);
    }
    if (w.OrderFinishedFlag != 0) {
        order.State = "E";
        order.CloseDate = today;
        order.CloseHour = time;
        if (WriteWorkOrder(ctx, fileName))
            posted.Add(DataFile::WorkOrder);
    }
}

void InsertCurrentPlannedRepair(Context& ctx, PostedFiles& posted)
{
    const TPlannedRepairRecord& repair = PlannedRepairs(ctx).CurrentPlannedRepair;
    // The entry is not in the file yet: its position is the one the list's save will give it.
    InsertPlannedRepairByWeek(ctx, {FreshRecord(repair), 0});
    WorkReports(ctx).PlannedRepairPostedFlag = 1;
    posted.Add(DataFile::PlannedRepair);
}

void PostPlannedRepair(Context& ctx, const QString& tipo, PostedFiles& posted)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    const TWorkReportRecord& line = w.CurrentWorkReport;
    TPlannedRepairRecord& r = PlannedRepairs(ctx).CurrentPlannedRepair;
    r.Code.assign(line.Codigo);
    r.Specialty = tipo.mid(1, 2);
    r.Order.assign(line.Orden);
    r.Description = w.LongDescription;
    r.Minutes = LowWord(line.Tinter.get());
    if (r.Minutes.get() != 0) {
        r.State = "E";
        r.Week = LineWeek(st, line);
        r.Executor.assign(line.Matricula);
    } else {
        // Still to do: it waits at the end of the horizon, dated by the line.
        const QString kind = tipo.mid(2, 1);
        if (kind == QLatin1String("M") || kind == QLatin1String("J") || kind == QLatin1String("S"))
            r.State = kind;
        else
            r.State = "P";
        r.Week = st.PlanWeeks;
        r.Executor = WeekCodeToDateText(line.dia.str());
    }
    if (tipo.size() < 2)
        return;
    InsertCurrentPlannedRepair(ctx, posted);
    if (w.PlanRevisionFlag != 0 && r.Minutes.get() != 0)
        CheckRepairRevision(ctx);
}

// What a store booking did.
struct StoreBooking
{
    bool booked = false;  // the part was found and the movement stored
    bool created = false; // the part was missing and the user entered one
};

StoreBooking BookStoreMovement(Context& ctx)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    StoreBooking booking;
    TStoreMovementRecord& m = StoreMovements(ctx).MovementBuffer;
    w.SparePartCreatedFlag = 0;
    bool found = false;
    // Shown once the file is free again: nobody waits on the lock while a message is read.
    QStringList shortages;
    {
        KeyedFile<SparePartFile> file(ctx);
        // The stock read is the stock rewritten: no other program may book in between.
        WriteLock lock(ctx);
        std::optional<std::vector<TSparePartRecord>> parts;
        if (file.Exists())
            parts = file.Read(Report::Show);
        if (parts) {
            for (std::size_t i = 0; i < parts->size(); ++i) {
                const TSparePartRecord& part = (*parts)[i];
                if (!(part.Codigo == m.Codigo) || !(part.Equipo == m.Equipo) || !(part.Util == m.Util) ||
                    !(part.Pieza == m.Pieza))
                    continue;
                found = true;
                const std::int64_t stock = std::int64_t{part.Exist.get()} + m.Quantity.get();
                m.UnitValue = w.CurrentWorkReport.Tinter.get();
                // A stock the part's field cannot hold is refused with nothing booked, as on the card.
                if (const auto after = PartAfterBooking(part, m, part.Valor.get()); !after) {
                    shortages << after.error();
                    continue;
                }
                if (stock < 0) {
                    shortages << QStringLiteral("Falta de Existencias de :") + PartKeyText(part) +
                                     QLatin1Char('\r') + part.Nombre.str();
                } else {
                    ListEntry<TSparePartRecord> entry{part, static_cast<std::uint32_t>(i)};
                    TSparePartRecord updated = part;
                    updated.Exist = static_cast<std::int32_t>(stock);
                    file.WriteAt(entry, updated);
                }
                if (AppendMovement(ctx))
                    booking.booked = true;
            }
        }
    }
    for (const QString& shortage : shortages)
        ctx.ui.ShowMessage(shortage);
    if (found)
        return booking;
    const QString answer =
        ctx.ui
            .InputBox(QStringLiteral("Almacén Técnico"),
                      QStringLiteral("Código inexistente.Generar FICHA (S/N):"), QStringLiteral("N"))
            .left(2);
    if (answer != QLatin1String("S"))
        return booking;
    {
        // The part card of the store's own entry, whatever mode the daily report runs in; the lines of a
        // merge that come after still show no card.
        NestedCallGuard guard(ctx);
        st.AnswerCode = QStringLiteral("@@");
        st.ActionCode = QStringLiteral("W");
        AddSparePart(ctx);
        w.SparePartCreatedFlag = st.RecordAddedFlag != 0 ? 1 : 0;
    }
    booking.created = w.SparePartCreatedFlag != 0;
    return booking;
}

void PostStoreExit(Context& ctx, PostedFiles& posted)
{
    WorkReportsState& w = WorkReports(ctx);
    const TWorkReportRecord& line = w.CurrentWorkReport;
    TStoreMovementRecord& m = StoreMovements(ctx).MovementBuffer;
    // The code part is typed into a field of its own: blanks padding it are no part of the code.
    m.Codigo = PartPiece(line, 0, 8).trimmed();
    m.Destination.assign(line.Codigo);
    const std::int32_t units = line.Tparo.get();
    // A line on the store itself returns the units to it.
    m.Quantity = line.Codigo == kStoreMachineCode ? units : -units;
    m.Equipo = PartPiece(line, 8, 2);
    m.Util = PartPiece(line, 10, 3);
    m.Pieza = PartPiece(line, 13, 3);
    const LineYearWeek at = YearWeekOf(line);
    m.AbsoluteWeek = AbsoluteWeekByte(ctx.st, at.year, at.week);
    m.User.assign(line.Matricula);
    const StoreBooking booking = BookStoreMovement(ctx);
    if (booking.booked)
        posted.Add(m.User.bytes().substr(0, 3) == "OP/" ? DataFile::OpMovement : DataFile::Movement);
    if (booking.created) {
        posted.Add(DataFile::SparePart);
        SortSparePartFile(ctx);
    }
}

void PostRevision(Context& ctx, const QString& tipo, PostedFiles& posted)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    const TWorkReportRecord& line = w.CurrentWorkReport;
    const QString frequency = tipo.mid(1, 2);
    const std::uint16_t week = LineWeek(st, line);
    TRevisionRecord& r = Revisions(ctx).CurrentRevision;
    r.MachineCode.assign(line.Codigo);
    r.Frequency = frequency;
    r.Week = week;
    r.Executor.assign(line.Matricula);
    r.Time = LowWord(line.Tinter.get());
    r.Comment = w.LongDescription;
    if (r.Time.get() == 0)
        r.State = "P";
    else
        r.State = FrequencyIncludes(u"S4", frequency) ? "E" : "ER";
    if (tipo.size() >= 2 && AppendRevision(ctx)) {
        w.RevisionPostedFlag = 1;
        posted.Add(DataFile::Revision);
    }
    if (frequency == QLatin1String("TF")) {
        // The running-hours reading moves the machine's hour-meter alarm on.
        // A fresh reading: a position left by an earlier predictive card would match another control.
        TPredictiveRecord& alarm = Predictive(ctx).CurrentAlarmLevel;
        alarm = TPredictiveRecord{};
        alarm.Codigo.assign(line.Codigo);
        alarm.FREC = "CH";
        alarm.Espec = "H";
        alarm.Medida1 = static_cast<std::int32_t>(ParseInt64(line.Orden.str()).value);
        alarm.Ejecu.assign(line.Matricula);
        alarm.Semana = static_cast<std::int32_t>(week);
        alarm.Descrip = line.Descripcion.str().left(34);
        UpdateAlarmRevision(ctx, alarm);
        posted.Add(DataFile::Alarm);
    }
}

void PostPersonnelEntry(Context& ctx, PostedFiles& posted)
{
    const TPersonnelEntryRecord& entry = Personnel(ctx).CurrentPersonnelEntry;
    const std::string_view type = entry.Type.bytes();
    // Normal hours ("C") and a blank entry ("#") are no expedient matter.
    if (type.empty() || type[0] == '#' || type[0] == 'C')
        return;
    if (AppendPersonnelEntry(ctx)) {
        WorkReports(ctx).PersonnelEntryPostedFlag = 1;
        posted.Add(DataFile::PersonnelEntry);
    }
}

} // namespace

PostedFiles PostWorkReport(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    const QString tipo = w.CurrentWorkReport.Tipo.str();
    const QString family = tipo.left(1);
    PostedFiles posted;
    if (family == QLatin1String("V"))
        PostBreakdown(ctx, tipo, posted);
    PostWorkOrderTime(ctx, posted);
    if (family == QLatin1String("R"))
        PostPlannedRepair(ctx, tipo, posted);
    if (tipo == QLatin1String("AL") || tipo == QLatin1String("al"))
        PostStoreExit(ctx, posted);
    if (family == QLatin1String("P"))
        PostRevision(ctx, tipo, posted);
    PostPersonnelEntry(ctx, posted);
    return posted;
}

void CheckRepairRevision(Context& ctx)
{
    State& st = ctx.st;
    const QString caption = QStringLiteral("Comprobación de Reparación");
    st.AnswerCode = QStringLiteral("N");
    st.AnswerCode =
        ctx.ui.InputBox(caption, QStringLiteral("¿Requiere revisión? (S/N) :"), QStringLiteral("N")).left(2);
    if (st.AnswerCode != QLatin1String("S"))
        return;
    const Int64Parse week =
        ParseInt64(ctx.ui.InputBox(caption, QStringLiteral("Semana de Revisión"), QStringLiteral("52")));
    // A week that is not a number plans nothing rather than a revision in week 0.
    if (week.errorPos != 0)
        return;
    TPlannedRepairRecord& r = PlannedRepairs(ctx).CurrentPlannedRepair;
    r.Week = AbsoluteWeekWord(st, st.CurrentYear - 2000, static_cast<int>(week.value));
    r.State = "P";
    r.Executor = st.TodayText;
    r.Minutes = 0;
    PostedFiles posted;
    InsertCurrentPlannedRepair(ctx, posted);
}

bool FindOrCreateStorePart(Context& ctx)
{
    return BookStoreMovement(ctx).created;
}

void SavePlannedRepairList(Context& ctx)
{
    PlannedRepairsState& p = PlannedRepairs(ctx);
    const KeyedFile<PlannedRepairFile> file(ctx);
    if (p.PlannedRepairList.empty() || !file.Exists())
        return;
    WriteLock lock(ctx);
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
