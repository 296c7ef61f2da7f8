#include "store/store_movements.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/io_errors.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "records/cp1252.h"
#include "store/movement_card.h"

#include <cstring>
#include <limits>

namespace gim {

namespace {

// What the booking takes from the card or from the handed-over movement.
struct Booking
{
    std::int32_t quantity = 0;
    QString destination;
    QString user;
    int year = 0; // since 2000
    int week = 0;
    std::int32_t price = 0;
};

std::optional<Booking> AskBooking(Context& ctx, const TSparePartRecord& part)
{
    State& st = ctx.st;
    const TMovementInput& input = StoreMovements(ctx).MovementInput;
    const bool handedOver = st.ActionCode == QLatin1String("i");
    Booking b;
    if (!st.InteractiveFlag) {
        const std::int32_t units = input.Movement.Quantity.get();
        b.destination = input.Movement.Destination.str();
        b.quantity = b.destination == QLatin1String(kStoreMachineCode) ? units : -units;
        b.user = input.Movement.User.str();
        b.year = input.Year;
        b.week = input.Week;
        b.price = input.Movement.UnitValue.get();
        return b;
    }
    MovementForm form;
    form.Repuesto = PartKeyText(part);
    form.Nombre = part.Nombre.str();
    form.CostUnit = CentsToText(part.Valor.get());
    if (handedOver) {
        form.Ano = QString::number(input.Year + kYearOffset);
        form.Semana = QString::number(input.Week);
        form.CdtMov = QString::number(input.Movement.Quantity.get());
        form.Usuario = input.Movement.User.str();
        form.MqDestin = input.Movement.Destination.str();
        form.CostUnit = CentsToText(input.Movement.UnitValue.get());
    }
    const int result = ShowMovementCard(ctx, form, MovementCardUse::Booking);
    if (result != CardResult::Save && result != CardResult::Delete)
        return std::nullopt;
    // The card let through no text that is not a number in its field's range.
    const auto typed = static_cast<std::int32_t>(WholeOfText(form.CdtMov).value_or(0));
    b.quantity = result == CardResult::Save ? typed : -typed;
    b.destination = form.MqDestin;
    b.user = form.Usuario;
    b.year = static_cast<int>(WholeOfText(form.Ano).value_or(0)) - kYearOffset;
    b.week = static_cast<int>(WholeOfText(form.Semana).value_or(0));
    b.price = static_cast<std::int32_t>(CentsOfText(form.CostUnit).value_or(0));
    return b;
}

// A movement handed in by an import without cards: its refusals go to the import's echo, not to a
// message nobody is there to read.
bool Unattended(const State& st)
{
    return st.ActionCode == QLatin1String("i") && st.InteractiveFlag == 0;
}

// An exit goes to a machine of the register; "#" cancels it.
void CheckExitDestination(Context& ctx, Booking& b)
{
    if (b.destination == QLatin1String("#")) {
        b.quantity = 0;
        return;
    }
    if (LookUpMachine(ctx, b.destination).Denominacion == kMachineNotFound) {
        ctx.st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
        if (!Unattended(ctx.st))
            ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound) + QLatin1Char(' ') + b.destination +
                               QStringLiteral("\r    Anulado Movimiento"));
        b.quantity = 0;
    }
}

// An exit beyond the stock is confirmed: the user may lower it or cancel it (0), never turn it into an
// entry. The stock may end negative.
void ConfirmShortage(Context& ctx, const TSparePartRecord& part, Booking& b)
{
    const QString title = QStringLiteral("FALTA EXISTENCIAS ") + PartKeyText(part);
    const QString fileName = MovementFile::Name(ctx.st);
    for (;;) {
        const QString answer =
            ctx.ui.InputBox(title, QStringLiteral("CONFIRME SALIDA ALMACÉN "), QString::number(b.quantity));
        const std::int32_t confirmed = AnsweredNumber(ctx, answer, fileName);
        if (confirmed <= 0) {
            b.quantity = confirmed;
            return;
        }
    }
}

} // namespace

std::int32_t AnsweredNumber(Context& ctx, const QString& answer, const QString& fileName)
{
    return static_cast<std::int32_t>(ReadTypedNumber(ctx.st, answer, fileName, INT32_MIN, INT32_MAX));
}

StoreMovementsState& StoreMovements(Context& ctx)
{
    return ctx.Module<StoreMovementsState>();
}

QString MovementJournalName(const State& st, const TStoreMovementRecord& movement)
{
    // Materials charged to a repair budget are kept apart from the store's own journal.
    if (movement.User.bytes().substr(0, 3) == "OP/")
        return OpMovementFile::Name(st);
    return MovementFile::Name(st);
}

std::optional<std::uint32_t> AppendMovementRecord(Context& ctx, const TStoreMovementRecord& movement,
                                                  Report report)
{
    return KeyedFile<MovementFile>(ctx, MovementJournalName(ctx.st, movement)).Append(movement, report);
}

bool AppendMovement(Context& ctx, const TStoreMovementRecord& movement)
{
    return AppendMovementRecord(ctx, movement).has_value();
}

QString FileFailureText(Context& ctx, const QString& fileName)
{
    return IoErrorTextOf(ctx.st.LastIOResult, ctx.Path(fileName));
}

void LoadMovementList(Context& ctx)
{
    StoreMovementsState& sm = StoreMovements(ctx);
    FreeMovementList(ctx);
    const KeyedFile<MovementFile> file(ctx);
    if (!file.Exists())
        return;
    sm.MovementList =
        file.LoadList(Report::Silent, QStringLiteral("AVANCE CARGA DE DATOS MOVIMIENTOS DE REPUESTOS"));
}

void FreeMovementList(Context& ctx)
{
    FreeNodeList(StoreMovements(ctx).MovementList);
}

void InsertMovementSorted(Context& ctx, MovementEntry entry)
{
    InsertOrderedHeadFirst(
        StoreMovements(ctx).MovementList, std::move(entry),
        [](const MovementEntry& a, const MovementEntry& b) { return MovementFile::Before(a.rec, b.rec); });
}

std::int64_t WeightedAveragePrice(Context& ctx, std::int32_t exist, std::int32_t valor, std::int32_t quantity,
                                  std::int32_t& price)
{
    const QString answer =
        ctx.ui.InputBox(QStringLiteral("CALCULO PRECIO MEDIO"),
                        QStringLiteral("VALOR UNITARIO REPUESTO(centimos_Euros)"), QString::number(price));
    price = AnsweredNumber(ctx, answer, MovementFile::Name(ctx.st));
    const std::int64_t units = std::int64_t(exist) + quantity;
    if (units < 1)
        return price;
    // Wide enough for any stock times any price the fields hold.
    return (std::int64_t(exist) * valor + std::int64_t(quantity) * price) / units;
}

tl::expected<TSparePartRecord, QString>
PartAfterBooking(const TSparePartRecord& part, const TStoreMovementRecord& movement, std::int64_t valor)
{
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    const QString cancelled = QStringLiteral("\rAnulado Movimiento ") + PartKeyText(part);
    const std::int64_t quantity = movement.Quantity.get();
    const std::int64_t stock = std::int64_t{part.Exist.get()} + quantity;
    if (stock < lowest || stock > highest)
        return tl::unexpected(
            QStringLiteral("EXISTENCIAS FUERA DE LÍMITE: DE %1 A %2 UNIDADES").arg(lowest).arg(highest) +
            cancelled);
    const QString prices = QStringLiteral(": DE %1 A %2 €").arg(CentsToText(0), CentsToText(highest));
    // An entry brings its price into the average; an exit leaves both as the part had them.
    if (quantity > 0 && movement.UnitValue.get() < 0)
        return tl::unexpected(QStringLiteral("PRECIO FUERA DE LÍMITE") + prices + cancelled);
    if (valor != part.Valor.get() && (valor < 0 || valor > highest))
        return tl::unexpected(QStringLiteral("PRECIO MEDIO FUERA DE LÍMITE") + prices + cancelled);
    TSparePartRecord after = part;
    after.Exist = static_cast<std::int32_t>(stock);
    after.Valor = static_cast<std::int32_t>(valor);
    return after;
}

void ShowBookingRefusal(Context& ctx, const BookingRefusal& refusal)
{
    if (refusal.kind == BookingRefusal::Kind::Moved)
        ShowPositionError(ctx);
    else if (!refusal.message.isEmpty())
        ctx.ui.ShowMessage(refusal.message);
}

tl::expected<void, BookingRefusal> WriteBooking(Context& ctx, const TStoreMovementRecord& movement,
                                                SparePartEntry* stored, const TSparePartRecord* after)
{
    using Kind = BookingRefusal::Kind;
    if (!AppendMovementRecord(ctx, movement, Report::Silent))
        return tl::unexpected(
            BookingRefusal{Kind::FileFailed, FileFailureText(ctx, MovementJournalName(ctx.st, movement))});
    // The part file was opened for the step before; a failure here has said why.
    if (stored && after && KeyedFile<SparePartFile>(ctx).WriteAt(*stored, *after) != WriteResult::Written)
        return tl::unexpected(BookingRefusal{Kind::FileFailed, {}});
    return {};
}

tl::expected<void, BookingRefusal> BookMovement(Context& ctx, SparePartEntry& stored, TSparePartRecord& part,
                                                const MovementToBook& movement, std::int64_t average)
{
    using Kind = BookingRefusal::Kind;
    StoreMovementsState& sm = StoreMovements(ctx);
    TStoreMovementRecord m = sm.MovementBuffer;
    m.Codigo.assign(part.Codigo);
    m.Equipo.assign(part.Equipo);
    m.Util.assign(part.Util);
    m.Pieza.assign(part.Pieza);
    m.Destination = movement.destination;
    m.AbsoluteWeek = movement.week;
    m.User = movement.user;
    m.Quantity = movement.quantity;
    m.UnitValue = movement.unitValue;
    if (const auto checked = PartAfterBooking(part, m, average); !checked)
        return tl::unexpected(BookingRefusal{Kind::OutOfRange, checked.error()});

    KeyedFile<SparePartFile> parts(ctx);
    const QString journal = MovementJournalName(ctx.st, m);
    tl::expected<TSparePartRecord, QString> after = TSparePartRecord{};
    {
        Transaction tx(ctx);
        if (!tx.Prepare(QStringList{journal, parts.name()} + movement.alsoFiles, Report::Silent))
            return tl::unexpected(BookingRefusal{Kind::FileFailed, tx.Refusal()});
        // The part is read again under the lock: another program may have booked on it (or sorted the
        // file) since the walk read it. The movement goes onto its stock and average as they stand now;
        // only a part that is gone refuses it.
        std::optional<TSparePartRecord> there = parts.ReadAt(stored.pos, Report::Silent);
        if (!there || !SamePartKey(*there, stored.rec)) {
            there.reset();
            const std::vector<TSparePartRecord> all =
                parts.Read(Report::Silent).value_or(std::vector<TSparePartRecord>{});
            for (std::size_t i = 0; i < all.size() && !there; ++i) {
                if (SamePartKey(all[i], stored.rec)) {
                    there = all[i];
                    stored.pos = static_cast<std::uint32_t>(i);
                }
            }
        }
        if (!there)
            return tl::unexpected(BookingRefusal{Kind::Moved, {}});
        std::int64_t valor = average;
        if (std::memcmp(&*there, &stored.rec, sizeof stored.rec) != 0) {
            const std::int64_t units = std::int64_t{there->Exist.get()} + movement.quantity;
            valor = there->Valor.get();
            if (movement.quantity > 0)
                valor = units < 1 ? movement.unitValue
                                  : (std::int64_t{there->Exist.get()} * there->Valor.get() +
                                     std::int64_t{movement.quantity} * movement.unitValue) /
                                        units;
        }
        stored.rec = *there;
        after = PartAfterBooking(*there, m, valor);
        if (!after)
            return tl::unexpected(BookingRefusal{Kind::OutOfRange, after.error()});
        if (auto written = WriteBooking(ctx, m, &stored, &*after); !written)
            return written;
        if (movement.alsoWrite && !movement.alsoWrite())
            return tl::unexpected(BookingRefusal{Kind::FileFailed, {}});
        tx.Commit();
    }
    part = *after;
    sm.MovementBuffer = m;
    return {};
}

MovementOutcome MoveSparePart(Context& ctx, SparePartEntry& stored, TSparePartRecord& part)
{
    State& st = ctx.st;
    std::optional<Booking> asked = AskBooking(ctx, part);
    if (!asked)
        return MovementOutcome::Ended;
    Booking& b = *asked;
    st.WorkYear = static_cast<std::uint16_t>(b.year);
    st.WorkWeek = AbsoluteWeekWord(st, b.year, b.week);
    std::int64_t valor = part.Valor.get();
    if (b.quantity < 0)
        CheckExitDestination(ctx, b);
    else if (b.quantity > 0)
        valor = WeightedAveragePrice(ctx, part.Exist.get(), part.Valor.get(), b.quantity, b.price);
    // Only an exit can fall short: an entry never lowers the stock.
    if (b.quantity < 0 && std::int64_t(part.Exist.get()) + b.quantity < 0)
        ConfirmShortage(ctx, part, b);
    if (b.quantity == 0)
        return MovementOutcome::Cancelled;

    MovementToBook movement{.quantity = b.quantity,
                            .unitValue = b.quantity < 0 ? part.Valor.get() : b.price,
                            .destination = b.destination,
                            .user = b.user,
                            .week = MovementWeekByte(st.WorkWeek)};
    if (st.ActionCode == QLatin1String("i")) {
        const TMovementInput& input = StoreMovements(ctx).MovementInput;
        movement.alsoFiles = input.alsoFiles;
        movement.alsoWrite = input.alsoWrite;
    }
    const tl::expected<void, BookingRefusal> booked = BookMovement(ctx, stored, part, movement, valor);
    if (!booked) {
        const BookingRefusal& refusal = booked.error();
        // A stock or price out of range refuses the line in the echo, with the message's first line.
        if (refusal.kind == BookingRefusal::Kind::OutOfRange && Unattended(st))
            st.RefusalReason = refusal.message.section(QLatin1Char('\r'), 0, 0);
        else
            ShowBookingRefusal(ctx, refusal);
        return booked.error().kind == BookingRefusal::Kind::OutOfRange ? MovementOutcome::Cancelled
                                                                       : MovementOutcome::Failed;
    }
    return MovementOutcome::Booked;
}

void EditMovementsByWeek(Context& ctx)
{
    State& st = ctx.st;
    const bool budgets = st.ActionCode == QLatin1String("S");
    const QString title = QStringLiteral("MOVIMIENTOS DEL ALMACEN TECNICO");
    const QString fileName = budgets ? OpMovementFile::Name(st) : MovementFile::Name(st);
    const std::int32_t week = AnsweredNumber(
        ctx, ctx.ui.InputBox(title, QStringLiteral("INTRODUZCA SEMANA (0-52)"), st.WeekText), fileName);
    const std::int32_t year =
        AnsweredNumber(ctx, ctx.ui.InputBox(title, QStringLiteral("INTRODUZCA AÑO"), st.YearText), fileName);
    const std::uint8_t target = AbsoluteWeekByte(st, year - kYearOffset, week);

    KeyedFile<MovementFile> file(ctx, fileName);
    const std::optional<std::vector<TStoreMovementRecord>> records = file.Read();
    if (!records)
        return;
    for (std::size_t i = 0; i < records->size(); ++i) {
        const TStoreMovementRecord& stored = (*records)[i];
        if (stored.AbsoluteWeek != target)
            continue;
        MovementForm form;
        const int byte = stored.AbsoluteWeek;
        const WeekParts filed = SplitAbsoluteWeek(st, byte);
        form.Ano = QString::number(filed.year + kYearOffset);
        form.Semana = QString::number(filed.week);
        form.CdtMov = QString::number(stored.Quantity.get());
        form.Usuario = stored.User.str();
        form.MqDestin = stored.Destination.str();
        form.CostUnit = CentsToText(stored.UnitValue.get());
        form.Repuesto = FromCp1252(PartKeyOf(stored).view());
        form.Nombre = form.Repuesto;
        FindSparePartName(ctx, form.Nombre);
        const int result = ShowMovementCard(ctx, form, MovementCardUse::Correction);
        if (result == CardResult::Exit)
            return;
        TStoreMovementRecord changed = stored;
        if (result == CardResult::Save) {
            changed.Destination = form.MqDestin;
            changed.User = form.Usuario;
            changed.AbsoluteWeek =
                AbsoluteWeekByte(st, static_cast<int>(WholeOfText(form.Ano).value_or(0)) - kYearOffset,
                                 static_cast<int>(WholeOfText(form.Semana).value_or(0)));
            changed.UnitValue = static_cast<std::int32_t>(CentsOfText(form.CostUnit).value_or(0));
        } else if (result == CardResult::Delete) {
            changed.Quantity = 0;
        } else {
            continue;
        }
        MovementEntry entry{stored, static_cast<std::uint32_t>(i)};
        file.WriteAt(entry, changed);
    }
}

} // namespace gim
