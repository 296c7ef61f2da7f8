#include "corrective/work_orders.h"

#include "core/context.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/operations.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/work_order_card.h"
#include "masterdata/machines.h"
#include "platform/card.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <climits>
#include <optional>
#include <utility>

namespace gim {

namespace {

QString OrderFileName(const State& st, bool budget)
{
    return st.FileName(budget ? DataFile::RepairBudget : DataFile::WorkOrder);
}

std::vector<TWorkOrderRecord> ReadOrders(Context& ctx, const QString& fileName, Report report)
{
    return KeyedFile<WorkOrderFile>(ctx, fileName).Read(report).value_or(std::vector<TWorkOrderRecord>{});
}

// Stores the photo asked for on the card, now that its order is stored. Returns whether it was stored.
bool ImportWorkOrderPhoto(Context& ctx, std::uint32_t number)
{
    State& st = ctx.st;
    if (st.PhotoAssignFlag == 0)
        return false;
    const PictureCodec* codec = ctx.codec;
    if (!codec) {
        st.PhotoAssignFlag = 0;
        return false;
    }
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::WorkOrder, st.CurrentEnvironment);
    st.PhotoFileName = PhotoFileNameFor(QString::number(number));
    return ImportPictureFile(ctx, *codec, st.CurrentSubFolder, st.PhotoFileName).has_value();
}

// A date or hour field that holds no digit was never set.
bool Blank(const QString& text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// Minutes since midnight of a time text "hh:mm" (" h:mm" and "h:mm" too); "24:00" is the end of the day.
int ClockMinutes(QStringView hour)
{
    const qsizetype colon = hour.indexOf(u':');
    if (colon < 0)
        return 0;
    return hour.left(colon).trimmed().toInt() * 60 + hour.mid(colon + 1, 2).trimmed().toInt();
}

int ElapsedMinutes(Context& ctx, QString fromDate, QString toDate, QString fromHour, QString toHour,
                   bool fillFrom)
{
    // The clock (and with it the time zone) is read only for a date not given: a listing of closed
    // orders never reads it.
    std::optional<QDateTime> now;
    const auto fillNow = [&](QString& date, QString& hour) {
        if (!now)
            now = ctx.clock.Now();
        date = WeekCodeOf(now->date());
        hour = TimeToText(ctx.st, now->time());
    };
    if (Blank(toDate))
        fillNow(toDate, toHour);
    if (fillFrom && Blank(fromDate))
        fillNow(fromDate, fromHour);
    const std::optional<QDate> from = WeekCodeToDate(QStringView(fromDate).left(7));
    const std::optional<QDate> to = WeekCodeToDate(QStringView(toDate).left(7));
    if (!from || !to)
        return 0;
    // Whole days, then the clock: from the first clock to midnight and from midnight to the second is
    // the same as the plain difference of the two clocks.
    const std::int64_t minutes = from->daysTo(*to) * 1440 + ClockMinutes(toHour) - ClockMinutes(fromHour);
    return static_cast<int>(std::clamp<std::int64_t>(minutes, 0, INT_MAX));
}

// The card of an order read from its file, written back where it was read when it is saved or
// annulled. Returns the card's result.
int EditStoredOrder(Context& ctx, KeyedFile<WorkOrderFile>& file, const TWorkOrderRecord& stored,
                    std::uint32_t pos)
{
    State& st = ctx.st;
    WorkOrdersState& w = WorkOrders(ctx);
    st.PhotoAssignFlag = 0;
    w.CurrentWorkOrder = stored;
    const int result = ShowWorkOrderCard(ctx, w.CurrentWorkOrder);
    if (st.ContinueFlag) {
        ListEntry<TWorkOrderRecord> entry{stored, pos};
        if (file.WriteAt(entry, w.CurrentWorkOrder) == WriteResult::Written)
            ImportWorkOrderPhoto(ctx, pos);
    }
    st.PhotoAssignFlag = 0;
    return result;
}

WorkOrderOutcome Outcome(Context& ctx)
{
    const WorkOrdersState& w = WorkOrders(ctx);
    return {w.CurrentWorkOrder, ctx.st.CurrentWorkOrderNumber, w.WorkOrderOpened != 0};
}

// EditWorkOrder and EditBudgetHours: the order handed over or asked for, shown in its card.
std::optional<WorkOrderOutcome> EditNumbered(Context& ctx, bool budget)
{
    State& st = ctx.st;
    WorkOrdersState& w = WorkOrders(ctx);
    w.WorkOrderOpened = 0;
    const QString fileName = OrderFileName(st, budget);
    const bool handed = budget ? w.WorkOrderInput.Number.get() != 0 : !w.WorkOrderInput.Description.empty();
    std::int64_t number = 0;
    if (handed) {
        number = w.WorkOrderInput.Number.get();
    } else {
        const QString prompt = budget ? QStringLiteral("Nº de Presupuesto de Reparación ")
                                      : QStringLiteral("Nº de Orden de Trabajo ");
        number = ReadTypedNumber(
            st, ctx.ui.InputBox(QStringLiteral("REPARACIONES DE MAQUINAS"), prompt, QStringLiteral("0")),
            fileName);
    }
    // A row handed over is taken once: a later edit from the menu asks again.
    w.WorkOrderInput = TWorkOrderRecord{};

    KeyedFile<WorkOrderFile> file(ctx, fileName);
    const std::vector<TWorkOrderRecord> orders = ReadOrders(ctx, fileName, Report::Silent);
    if (number >= 0 && number < static_cast<std::int64_t>(orders.size())) {
        const auto pos = static_cast<std::uint32_t>(number);
        EditStoredOrder(ctx, file, orders[pos], pos);
        w.WorkOrderOpened = 1;
        st.CurrentWorkOrderNumber = pos;
        return Outcome(ctx);
    }
    if (budget) {
        ctx.ui.ShowMessage(QStringLiteral("PRESUPUESTO NO DEFINIDO"));
        return std::nullopt;
    }
    ctx.ui.ShowMessage(QStringLiteral("NO EXISTE LA ORDEN DE TRABAJO Nº") + QString::number(number));
    st.ActionCode = QStringLiteral("A");
    const WorkOrderOutcome added = NewWorkOrder(ctx);
    st.ActionCode.clear();
    return added;
}

} // namespace

WorkOrdersState& WorkOrders(Context& ctx)
{
    return ctx.Module<WorkOrdersState>();
}

namespace {

// Notes the order at `pos` unless its reference is noted already (the first one counts).
void IndexReference(WorkOrdersState::ReferenceIndex& index, const TWorkOrderRecord& order, std::size_t pos)
{
    if (!order.Refex.empty())
        index.first.emplace(std::string(order.Refex.bytes()), static_cast<std::uint32_t>(pos));
    index.indexed = pos + 1;
}

WorkOrdersState::ReferenceIndex IndexReferences(Context& ctx, const QString& fileName)
{
    WorkOrdersState::ReferenceIndex index;
    const std::vector<TWorkOrderRecord> orders = ReadOrders(ctx, fileName, Report::Silent);
    for (std::size_t i = 0; i < orders.size(); ++i)
        IndexReference(index, orders[i], i);
    return index;
}

// The first order of the file carrying `refex`. The import's index is brought up to the records appended
// since it was made, and made anew when the file shrank or no longer holds the reference where it says.
std::optional<ListEntry<TWorkOrderRecord>> FindReference(Context& ctx, const QString& fileName,
                                                         const ShortString<8>& refex)
{
    std::optional<WorkOrdersState::ReferenceIndex>& index = WorkOrders(ctx).ImportedReferences;
    KeyedFile<WorkOrderFile> file(ctx, fileName);
    if (!index) {
        const std::vector<TWorkOrderRecord> orders = ReadOrders(ctx, fileName, Report::Silent);
        const auto found = std::find_if(orders.begin(), orders.end(),
                                        [&](const TWorkOrderRecord& r) { return r.Refex == refex; });
        if (found == orders.end())
            return std::nullopt;
        return ListEntry<TWorkOrderRecord>{*found, static_cast<std::uint32_t>(found - orders.begin())};
    }
    const std::size_t count = file.Count();
    if (count < index->indexed)
        index.reset();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!index)
            index = IndexReferences(ctx, fileName);
        for (std::size_t i = index->indexed; i < count; ++i)
            if (const std::optional<TWorkOrderRecord> rec = file.ReadAt(i, Report::Silent))
                IndexReference(*index, *rec, i);
        const auto it = index->first.find(std::string(refex.bytes()));
        if (it == index->first.end())
            return std::nullopt;
        const std::optional<TWorkOrderRecord> rec = file.ReadAt(it->second, Report::Silent);
        if (rec && rec->Refex == refex)
            return ListEntry<TWorkOrderRecord>{*rec, it->second};
        index.reset();
    }
    return std::nullopt;
}

} // namespace

void BeginWorkOrderImport(Context& ctx)
{
    WorkOrders(ctx).ImportedReferences = IndexReferences(ctx, ctx.st.FileName(DataFile::WorkOrder));
}

void EndWorkOrderImport(Context& ctx)
{
    WorkOrders(ctx).ImportedReferences.reset();
}

bool WriteWorkOrder(Context& ctx, const TWorkOrderRecord& rec, const QString& fileName)
{
    const auto number = rec.Number.get();
    if (number < 0) {
        ShowPositionError(ctx);
        return false;
    }
    return KeyedFile<WorkOrderFile>(ctx, fileName).WriteNumbered(static_cast<std::uint32_t>(number), rec) ==
           WriteResult::Written;
}

namespace {

// A new order or budget on its card, or the order handed in (`handed`).
void RunNewWorkOrder(Context& ctx, const TWorkOrderRecord* handed)
{
    State& st = ctx.st;
    WorkOrdersState& w = WorkOrders(ctx);
    const bool budget = st.ActionCode == QLatin1String("R");
    const bool importing = handed != nullptr;
    w.ImportedOrderMatched = 0;
    st.PhotoAssignFlag = 0;
    const QString fileName = OrderFileName(st, budget);
    const auto count = static_cast<std::uint32_t>(KeyedFile<WorkOrderFile>(ctx, fileName).Count());

    TWorkOrderRecord& cur = w.CurrentWorkOrder;
    if (!importing) {
        const ShortString<2> photoFlag = cur.PhotoFlag;
        cur = TWorkOrderRecord{};
        cur.PhotoFlag = photoFlag;
        cur.Number = static_cast<std::int32_t>(count);
        cur.Description = "..";
        cur.Requester = "..";
        cur.NoticeDate = WeekCodeOf(ctx.clock.Now().date());
        cur.NoticeHour = TimeToText(st, ctx.clock.Now().time());
        cur.State = "P";
        cur.Machine = "#";
        cur.Type = "P";
    }
    st.ContinueFlag = 0;
    if (importing) {
        cur = *handed;
        UpdateImportedWorkOrder(ctx, cur);
        // An order already here was updated in place (or left alone): it is never added again.
        if (w.ImportedOrderMatched) {
            st.ContinueFlag = 0;
            return;
        }
        cur.Number = static_cast<std::int32_t>(count);
        st.ContinueFlag = 1;
        if (cur.State == "E")
            ctx.Module<OperationRegistry>().RunIfRegistered(ctx, Op::DownloadWorkOrderPhoto);
    } else {
        st.InteractiveFlag = 1;
    }

    st.FoundMachine.Denominacion = kMachineNotFound;
    ShowWorkOrderCard(ctx, cur);
    TMachineRecord machine{};
    machine.Codigo = cur.Machine;
    FindMachine(ctx, st.FileName(DataFile::Machine), machine);
    st.FoundMachine = machine;
    if (machine.Denominacion == kMachineNotFound) {
        st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
        if (st.InteractiveFlag)
            ctx.ui.ShowMessage(machine.Denominacion.str() + QStringLiteral(" ANULADA ALTA OT"));
        st.RecordAddedFlag = 0;
        return;
    }
    if (!st.ContinueFlag)
        return;

    // The number is the record count when the order is written, also when another program added one
    // while the card was open.
    KeyedFile<WorkOrderFile> file(ctx, fileName);
    cur = FreshRecord(cur);
    const std::optional<std::uint32_t> stored = file.AppendNumbered(
        cur, [](TWorkOrderRecord& r, std::uint32_t pos) { r.Number = static_cast<std::int32_t>(pos); });
    if (!stored)
        return;
    st.CurrentWorkOrderNumber = *stored;
    if (!budget)
        st.RecordAddedFlag = 1;
    if (ImportWorkOrderPhoto(ctx, *stored)) {
        ListEntry<TWorkOrderRecord> entry{cur, *stored};
        TWorkOrderRecord named = cur;
        named.Description = cur.Description.str() + QStringLiteral("// #") + QString::number(*stored) +
                            QStringLiteral(".jpg");
        if (file.WriteAt(entry, named) == WriteResult::Written)
            cur = named;
    }
    st.PhotoAssignFlag = 0;
}

} // namespace

WorkOrderOutcome NewWorkOrder(Context& ctx)
{
    // Opened only when the new order's card is saved.
    WorkOrders(ctx).WorkOrderOpened = 0;
    if (ctx.st.ActionCode != QLatin1String("i")) {
        RunNewWorkOrder(ctx, nullptr);
        return Outcome(ctx);
    }
    // The imported row is taken once: a later edit from the menu must not reopen it.
    const TWorkOrderRecord handed = std::exchange(WorkOrders(ctx).WorkOrderInput, TWorkOrderRecord{});
    RunNewWorkOrder(ctx, &handed);
    return Outcome(ctx);
}

bool AddImportedWorkOrder(Context& ctx, const TWorkOrderRecord& rec)
{
    ctx.st.RecordAddedFlag = 0;
    RunNewWorkOrder(ctx, &rec);
    return ctx.st.RecordAddedFlag != 0;
}

WorkOrderOutcome EditWorkOrder(Context& ctx)
{
    return *EditNumbered(ctx, false);
}

std::optional<WorkOrderOutcome> EditBudgetHours(Context& ctx)
{
    return EditNumbered(ctx, true);
}

void CloseWorkOrder(Context& ctx)
{
    State& st = ctx.st;
    // The date of the first daily report naming each order, found in one pass over the lines.
    QHash<QString, QString> firstReport;
    for (const auto& [r, pos] : st.WorkReportList)
        if (!firstReport.contains(r.Orden.str()))
            firstReport.insert(r.Orden.str(), r.dia.str().left(7));
    const QString today = WeekCodeOf(ctx.clock.Now().date());

    const QString fileName = st.FileName(DataFile::WorkOrder);
    KeyedFile<WorkOrderFile> file(ctx, fileName);
    const std::optional<std::vector<TWorkOrderRecord>> orders = file.Read(Report::Show);
    if (!orders)
        return;
    const QString caption = QStringLiteral("ORDENES DE TRABAJO");
    for (std::size_t i = 0; i < orders->size(); ++i) {
        const TWorkOrderRecord& order = (*orders)[i];
        if (!(order.State == "T"))
            continue;
        st.CurrentRecordIndex = static_cast<std::uint16_t>(i);
        const QString number = QString::number(order.Number.get());
        const QString proposed = firstReport.value(number, today);
        const QString date =
            ctx.ui.InputBox(caption, QStringLiteral("Fecha cierre OT Nº : ") + number, proposed).left(7);
        if (!WeekCodeToDate(date)) {
            ctx.ui.ShowMessage(QStringLiteral("FECHA NO VÁLIDA: ") + date);
            continue;
        }
        st.AnswerCode =
            ctx.ui
                .InputBox(caption, QStringLiteral("Cierre OT Nº : ") + number + QStringLiteral(" S/N :"),
                          QStringLiteral("N"))
                .left(2);
        if (st.AnswerCode != QLatin1String("S"))
            continue;
        TWorkOrderRecord closed = order;
        closed.CloseDate = date;
        closed.State = "E";
        closed.CloseHour = "24:00";
        ListEntry<TWorkOrderRecord> entry{order, static_cast<std::uint32_t>(i)};
        file.WriteAt(entry, closed);
    }
}

void UpdateImportedWorkOrder(Context& ctx, const TWorkOrderRecord& imported)
{
    State& st = ctx.st;
    WorkOrdersState& w = WorkOrders(ctx);
    const QString refex = imported.Refex.str();
    w.ImportedOrderMatched = 0;
    // Orders made here carry no reference: an import without one matches none of them.
    if (refex.isEmpty())
        return;
    const QString fileName = st.FileName(DataFile::WorkOrder);
    std::optional<ListEntry<TWorkOrderRecord>> found = FindReference(ctx, fileName, imported.Refex);
    if (!found)
        return;
    w.ImportedOrderMatched = 1;
    st.ContinueFlag = 0;
    if (!(found->rec.State == "P") && !(found->rec.State == "T"))
        return;
    const std::uint32_t pos = found->pos;
    w.CurrentWorkOrder = imported;
    w.CurrentWorkOrder.Number = static_cast<std::int32_t>(pos);
    if (w.CurrentWorkOrder.State == "E")
        ctx.Module<OperationRegistry>().RunIfRegistered(ctx, Op::DownloadWorkOrderPhoto);
    KeyedFile<WorkOrderFile>(ctx, fileName).WriteAt(*found, w.CurrentWorkOrder);
    // Updated, the line is stored as much as a new order is.
    st.RecordAddedFlag = 1;
}

void SelectWorkOrders(Context& ctx)
{
    State& st = ctx.st;
    WorkOrdersState& w = WorkOrders(ctx);
    st.ContinueFlag = 1;
    const bool budget = st.ActionCode == QLatin1String("S");
    const QString fileName = OrderFileName(st, budget);
    if (st.ActionCode == QLatin1String("E")) {
        KeyedFile<WorkOrderFile> file(ctx, fileName);
        const std::vector<TWorkOrderRecord> orders = ReadOrders(ctx, fileName, Report::Show);
        for (std::size_t i = 0; i < orders.size(); ++i) {
            const auto& s = orders[i].State;
            if (!(s == "P") && !(s == "T") && !(s == "M"))
                continue;
            if (EditStoredOrder(ctx, file, orders[i], static_cast<std::uint32_t>(i)) == CardResult::Exit)
                break;
        }
        st.ContinueFlag = 0;
        return;
    }
    const std::vector<TWorkOrderRecord> orders = ReadOrders(ctx, fileName, Report::Silent);
    if (w.WantedWorkOrderNumber < orders.size()) {
        w.CurrentWorkOrder = orders[w.WantedWorkOrderNumber];
    } else {
        TWorkOrderRecord missing{};
        missing.Number = static_cast<std::int32_t>(w.WantedWorkOrderNumber);
        missing.Description = kMissingOrder;
        missing.Type = w.CurrentWorkOrder.Type;
        w.CurrentWorkOrder = missing;
    }
    st.ContinueFlag = 0;
}

TWorkOrderRecord FetchWorkOrder(Context& ctx, std::uint32_t number)
{
    WorkOrdersState& w = WorkOrders(ctx);
    w.WantedWorkOrderNumber = number;
    SelectWorkOrders(ctx);
    return w.CurrentWorkOrder;
}

int SumWorkOrderReportTime(Context& ctx, const std::vector<TWorkReportRecord>& reports)
{
    const QString number = QString::number(WorkOrders(ctx).CurrentWorkOrder.Number.get());
    std::int64_t minutes = 0;
    for (const TWorkReportRecord& r : reports)
        if (r.Orden == number)
            minutes += r.Tinter.get();
    return static_cast<int>(std::clamp<std::int64_t>(minutes, INT_MIN, INT_MAX));
}

int WorkOrderReactionMinutes(Context& ctx, const QString& noticeDate, const QString& startDate,
                             const QString& noticeHour, const QString& startHour)
{
    return ElapsedMinutes(ctx, noticeDate, startDate, noticeHour, startHour, false);
}

int WorkOrderResolutionMinutes(Context& ctx, const QString& startDate, const QString& closeDate,
                               const QString& startHour, const QString& closeHour)
{
    return ElapsedMinutes(ctx, startDate, closeDate, startHour, closeHour, true);
}

void AssignWorkOrderPhoto(Context& ctx, std::uint32_t number)
{
    State& st = ctx.st;
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::WorkOrder, st.CurrentEnvironment);
    st.PhotoFileName = PhotoFileNameFor(QString::number(number));
    const QString path =
        ResolveSubFolder(st.BaseDir, st.CurrentSubFolder) + QLatin1Char('/') + st.PhotoFileName;
    if (QFileInfo::exists(path))
        ctx.ui.ShowMessage(QStringLiteral("Existe una foto asignada a esta OT :") + st.CurrentSubFolder +
                           st.PhotoFileName);
}

} // namespace gim
