#include "store/purchase_orders.h"

#include "core/command.h"
#include "core/context.h"
#include "core/io_errors.h"
#include "core/operations.h"
#include "core/texts.h"
#include "core/transaction.h"
#include "core/week_codes.h"
#include "platform/date_text.h"
#include "platform/handover.h"
#include "store/purchase_order_card.h"
#include "store/purchase_order_reports.h"
#include "store/spare_part_browse.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"

#include <algorithm>
#include <limits>

namespace gim {

namespace {

const QString kStoreEntryTitle = QStringLiteral("Etradas de ALMCÉN");

QString TodayCode(const Context& ctx)
{
    return WeekCodeOf(ctx.clock.Now().date());
}

template <std::size_t N> bool SameText(const ShortString<N>& a, const ShortString<N>& b)
{
    return a == b;
}

bool SamePartKey(const TPurchaseOrderRecord& a, const TPurchaseOrderRecord& b)
{
    return SameText(a.Codigo, b.Codigo) && SameText(a.Equipo, b.Equipo) && SameText(a.Util, b.Util) &&
           SameText(a.Pieza, b.Pieza);
}

// Within the caller's step: the saved line (PurchaseOrderBuffer) written where `entry` was read and, on a
// receipt that leaves units missing, the new pending line the user asks for. False when a write failed:
// the step then stores neither.
bool WriteReceivedLine(Context& ctx, PurchaseOrderEntry& entry, bool pendingOnly,
                       const ShortString<8>& deliveredOn)
{
    if (!WritePurchaseOrderLine(ctx, entry))
        return false;
    const TPurchaseOrderRecord received = entry.rec;
    if (received.Entradas.get() < 1 || !pendingOnly || received.Cantidad.get() <= received.Entradas.get())
        return true;
    if (ctx.ui.InputBox(QStringLiteral("PEDIDO INCOMPLETO"),
                        QStringLiteral("¿Quedán unidades Pendientes?S/N :"),
                        QStringLiteral("N")) != QLatin1String("S"))
        return true;
    // The units still missing become a new pending line of the same order.
    TPurchaseOrderRecord rest = received;
    rest.Estado = "P";
    rest.fechaENT = deliveredOn;
    rest.Fechcierr = OpenClosingCode(ctx.st);
    rest.Albaran = "#";
    rest.Cantidad =
        static_cast<std::int16_t>(std::int64_t{received.Cantidad.get()} - received.Entradas.get());
    rest.Entradas = 0;
    return rest.Cantidad.get() <= 0 || AppendPurchaseOrder(ctx, PurchaseOrderFile::Name(ctx.st), rest);
}

// The saved line (PurchaseOrderBuffer) with no units to book: it and its pending line in one step.
void StoreLine(Context& ctx, PurchaseOrderEntry& entry, bool pendingOnly, const ShortString<8>& deliveredOn)
{
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    if (!po.PurchaseLineChanged && !po.PurchaseLineDeleted)
        return;
    Transaction tx(ctx);
    if (!tx.Prepare({PurchaseOrderFile::Name(ctx.st)}))
        return;
    if (WriteReceivedLine(ctx, entry, pendingOnly, deliveredOn))
        tx.Commit();
}

// Books `units` received on the saved line (PurchaseOrderBuffer) as a store entry through the browse. The
// line and its pending line are written in the booking's step: a line counts as received only once its
// units are booked, so a booking cancelled or refused leaves the line as it was.
void ReceiveIntoStore(Context& ctx, PurchaseOrderEntry& entry, std::int32_t units, bool pendingOnly,
                      const ShortString<8>& deliveredOn)
{
    State& st = ctx.st;
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    const TPurchaseOrderRecord line = po.PurchaseOrderBuffer;
    // The browse runs with ActionCode "i"; the caller's codes come back afterwards.
    NestedCallGuard guard(ctx);
    TMovementInput input{};
    TStoreMovementRecord& m = input.Movement;
    m.Codigo.assign(line.Codigo);
    m.Equipo.assign(line.Equipo);
    m.Util.assign(line.Util);
    m.Pieza.assign(line.Pieza);
    m.Destination = kStoreMachineCode;
    m.Quantity = units;
    m.UnitValue = line.Valor.get();
    const WeekParts received = ParseWeekCode(line.fechaENT.bytes()).value_or(WeekParts{});
    const int year = received.year;
    const int week = received.week;
    input.Year = static_cast<std::uint16_t>(year);
    input.Week = static_cast<std::uint16_t>(week);
    m.AbsoluteWeek = AbsoluteWeekByte(st, year, week);
    input.alsoFiles = {PurchaseOrderFile::Name(st)};
    input.alsoWrite = [&ctx, &entry, pendingOnly, deliveredOn] {
        return WriteReceivedLine(ctx, entry, pendingOnly, deliveredOn);
    };
    st.InteractiveFlag = 1;
    st.ActionCode = QStringLiteral("i");
    LoadSparePartList(ctx);
    try {
        BookImportedMovement(ctx, input);
    } catch (...) {
        FreeSparePartList(ctx);
        throw;
    }
    FreeSparePartList(ctx);
}

} // namespace

PurchaseOrdersState& PurchaseOrders(Context& ctx)
{
    return ctx.Module<PurchaseOrdersState>();
}

QString OpenClosingCode(const State& st)
{
    return QStringLiteral("%1/00/1").arg(st.LastYear % 100, 2, 10, QLatin1Char('0'));
}

std::optional<std::int32_t> AskedOrderNumberOf(Context& ctx, const QString& typed)
{
    State& st = ctx.st;
    const QString text = typed.trimmed();
    if (text.isEmpty() || text == QLatin1String("#"))
        return std::nullopt;
    return static_cast<std::int32_t>(
        ReadTypedNumber(st, text, PurchaseOrderFile::Name(st), INT32_MIN, INT32_MAX));
}

void LoadPurchaseOrders(Context& ctx)
{
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    FreeNodeList(po.PurchaseOrderList);
    ctx.st.ContinueFlag = 0;
    po.LinesWritten = false;
    po.PurchaseOrderList = KeyedFile<PurchaseOrderFile>(ctx).LoadList(Report::Silent);
}

void InsertPurchaseOrderSorted(Context& ctx, PurchaseOrderEntry entry)
{
    InsertOrderedHeadFirst(PurchaseOrders(ctx).PurchaseOrderList, std::move(entry),
                           [](const PurchaseOrderEntry& a, const PurchaseOrderEntry& b) {
                               return PurchaseOrderFile::Before(a.rec, b.rec);
                           });
}

void FreePurchaseOrderList(Context& ctx)
{
    FreeNodeList(PurchaseOrders(ctx).PurchaseOrderList);
}

bool AppendPurchaseOrder(Context& ctx, const QString& fileName, const TPurchaseOrderRecord& line)
{
    if (!KeyedFile<PurchaseOrderFile>(ctx, fileName).Append(line))
        return false;
    ctx.st.ContinueFlag = 1;
    PurchaseOrders(ctx).LinesWritten = true;
    return true;
}

bool WritePurchaseOrderLine(Context& ctx, PurchaseOrderEntry& entry)
{
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    if (!po.PurchaseLineChanged && !po.PurchaseLineDeleted)
        return false;
    if (KeyedFile<PurchaseOrderFile>(ctx).WriteAt(entry, po.PurchaseOrderBuffer) != WriteResult::Written)
        return false;
    ctx.st.ContinueFlag = 1;
    po.LinesWritten = true;
    return true;
}

void SortPurchaseOrderFile(Context& ctx)
{
    KeyedFile<PurchaseOrderFile>(ctx).Sort();
    FreePurchaseOrderList(ctx);
    ctx.st.ContinueFlag = 0;
}

namespace {

// A line typed on the card starts as the next order (or the order asked for, when the file has it), dated
// today and still pending. Finding the number reads the whole order file, so only a typed line pays it.
TPurchaseOrderRecord NewLineDefaults(Context& ctx, bool extending)
{
    State& st = ctx.st;
    const PurchaseOrdersState& po = PurchaseOrders(ctx);
    // One pass over the file: the highest number, whether the asked order exists, the last reference.
    const std::vector<TPurchaseOrderRecord> lines =
        KeyedFile<PurchaseOrderFile>(ctx).Read(Report::Silent).value_or(std::vector<TPurchaseOrderRecord>{});
    std::int64_t highest = 0;
    bool found = false;
    for (const TPurchaseOrderRecord& l : lines) {
        highest = std::max<std::int64_t>(highest, l.Nped.get());
        found = found || (extending && l.Nped.get() == po.AskedOrderNumber);
    }
    TPurchaseOrderRecord buf{};
    if (!lines.empty())
        buf.Refer = lines.back().Refer;
    // A file at the highest number there is cannot take another order.
    buf.Nped = found ? po.AskedOrderNumber
                     : static_cast<std::int32_t>(
                           std::min<std::int64_t>(highest + 1, std::numeric_limits<std::int32_t>::max()));
    const QString today = TodayCode(ctx);
    buf.fechALTA = today;
    buf.fechaENT = today;
    buf.Fechcierr = OpenClosingCode(st);
    buf.Descrip = QStringLiteral("DESCRIPCIÓN");
    buf.Marca = QStringLiteral("MARCA");
    buf.LUGAR = st.FirmName;
    buf.Estado = "P";
    buf.Albaran = "#";
    return buf;
}

// A new line on its card, or the line handed in (`handed`, or with ActionCode "i" the hand-over buffer),
// which brings its own number: an import of many lines never reads the order file per line. Returns
// whether it was stored.
bool RunAddPurchaseOrderLine(Context& ctx, const TPurchaseOrderRecord* handed)
{
    State& st = ctx.st;
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    st.RunFlag = 0;
    st.ContinueFlag = 0;
    const bool extending = st.ActionCode == QLatin1String("A");
    if (extending) {
        const std::optional<std::int32_t> asked = AskedOrderNumberOf(
            ctx, ctx.ui.InputBox(QStringLiteral("AMPLIACIÓN SELECTIVA PEDIDOS "),
                                 QStringLiteral("INTRODUCIR Nº DE PEDIDO"), QStringLiteral("#")));
        if (!asked)
            return false;
        po.AskedOrderNumber = *asked;
    }
    TPurchaseOrderRecord& buf = po.PurchaseOrderBuffer;
    if (handed) {
        buf = *handed;
    } else if (st.ActionCode == QLatin1String("i")) {
        buf = po.PurchaseOrderInput;
    } else {
        buf = NewLineDefaults(ctx, extending);
        st.InteractiveFlag = 1;
    }
    OpenPurchaseWindow(ctx, buf);
    if (buf.Estado == "P")
        buf.Fechcierr = OpenClosingCode(st);
    if (buf.Codigo == "#")
        return false;
    return AppendPurchaseOrder(ctx, PurchaseOrderFile::Name(st), buf);
}

} // namespace

void AddPurchaseOrderLine(Context& ctx)
{
    RunAddPurchaseOrderLine(ctx, nullptr);
}

bool AddImportedPurchaseOrderLine(Context& ctx, const TPurchaseOrderRecord& line)
{
    const bool stored = RunAddPurchaseOrderLine(ctx, &line);
    ctx.st.RecordAddedFlag = stored ? 1 : 0;
    return stored;
}

void EditPurchaseOrders(Context& ctx)
{
    State& st = ctx.st;
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    const QString mode = st.ActionCode;
    const TPurchaseOrderRecord input = po.PurchaseOrderInput;
    const bool byKey = !input.Codigo.empty();
    std::int32_t number = 0;
    if (byKey) {
        number = input.Nped.get();
    } else {
        const std::optional<std::int32_t> asked =
            AskedOrderNumberOf(ctx, ctx.ui.InputBox(QStringLiteral("EDICION DE PEDIDOS"),
                                                    QStringLiteral("Entrar Nº Pedido"), QStringLiteral("#")));
        if (!asked) {
            po.PurchaseOrderInput = TPurchaseOrderRecord{};
            return;
        }
        number = *asked;
    }
    po.AskedOrderNumber = number;
    const bool pendingOnly = mode == QLatin1String("P");

    std::vector<PurchaseOrderEntry>& list = po.PurchaseOrderList;
    for (PurchaseOrderEntry& entry : list) {
        const TPurchaseOrderRecord& stored = entry.rec;
        if (stored.Nped.get() != number || (byKey && !SamePartKey(stored, input)) ||
            (pendingOnly && !(stored.Estado == "P")))
            continue;
        const ShortString<8> deliveredOn = stored.fechaENT;
        TPurchaseOrderRecord& buf = po.PurchaseOrderBuffer;
        buf = stored;
        po.PurchaseLineChanged = 0;
        po.PurchaseLineDeleted = 0;
        const int result = OpenPurchaseWindow(ctx, buf);
        if (result != CardResult::Save) {
            // Only a deleted line is written; a line left with "&Salir" is neither stored nor received.
            if (!(buf.Codigo == "#"))
                WritePurchaseOrderLine(ctx, entry);
            continue;
        }
        // Only the units received since the line was last stored are booked: a line saved again as it
        // was books nothing and is not asked about.
        const std::int64_t added = std::int64_t{buf.Entradas.get()} - stored.Entradas.get();
        if (!(buf.Albaran == "#") && added > 0 &&
            ctx.ui.InputBox(kStoreEntryTitle, QStringLiteral("¿Es una Entrada en ALMACËN :  (S/N)"),
                            QStringLiteral("N")) == QLatin1String("S"))
            ReceiveIntoStore(ctx, entry, static_cast<std::int32_t>(added), pendingOnly, deliveredOn);
        else
            StoreLine(ctx, entry, pendingOnly, deliveredOn);
    }
    po.PurchaseOrderInput = TPurchaseOrderRecord{};
    st.ActionCode.clear();
}

void RegisterPurchaseOrders(OperationRegistry& registry, Context& ctx)
{
    registry.Register(Op::AddPurchaseOrderLine, AddPurchaseOrderLine);
    registry.Register(Op::SortPurchaseOrderFile, SortPurchaseOrderFile);
    registry.Register(Op::LoadPurchaseOrders, LoadPurchaseOrders);
    registry.Register(Op::EditPurchaseOrders, EditPurchaseOrders);
    registry.Register(Op::FreePurchaseOrderList, FreePurchaseOrderList);
    registry.Register(Op::PurchaseOrderReport, PurchaseOrderReport);
    registry.Register(Op::OrderSituationReport, OrderSituationReport);
    registry.Register(Op::WeeklyPurchasesReport, WeeklyPurchasesReport);
    PurchaseOrdersState& po = PurchaseOrders(ctx);
    registry.RegisterCondition(Cond::PurchaseLineChanged, [&po](const Context&) { return po.LinesWritten; });

    // Editar > Compras: the listing's columns (its dates are day texts) into the line handed over.
    ctx.Module<HandoverRegistry>().SetDeliver(EditItem::Compras, [&ctx](const HandoverFields& fields) {
        TPurchaseOrderRecord& input = PurchaseOrders(ctx).PurchaseOrderInput;
        auto weekCode = [](const QString& text) {
            const QDate date = ParseTypedDate(text);
            return date.isValid() ? WeekCodeOf(date) : text;
        };
        for (const auto& [name, value] : fields) {
            if (name == QLatin1String("Nped"))
                input.Nped = static_cast<std::int32_t>(ParseInt64(value).value);
            else if (name == QLatin1String("Codigo"))
                input.Codigo = value;
            else if (name == QLatin1String("Equipo"))
                input.Equipo = value;
            else if (name == QLatin1String("Util"))
                input.Util = value;
            else if (name == QLatin1String("Pieza"))
                input.Pieza = value;
            else if (name == QLatin1String("Sumtro"))
                input.Sumtro = value;
            else if (name == QLatin1String("fechALTA"))
                input.fechALTA = weekCode(value);
            else if (name == QLatin1String("fechaENT"))
                input.fechaENT = weekCode(value);
            else if (name == QLatin1String("Fechcierr"))
                input.Fechcierr = weekCode(value);
        }
    });
}

} // namespace gim
