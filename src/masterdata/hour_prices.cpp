#include "masterdata/hour_prices.h"

#include "core/context.h"
#include "core/io_errors.h"
#include "core/texts.h"
#include "masterdata/hour_price_card.h"
#include "masterdata/personnel.h"

#include <algorithm>
#include <array>
#include <vector>

namespace gim {

namespace {

// The six prices the card and the raise work on.
constexpr std::array<LeU16 THourPriceRecord::*, 6> kPriceFields{
    &THourPriceRecord::HN,  &THourPriceRecord::HCONTRATO, &THourPriceRecord::HEX,
    &THourPriceRecord::HEN, &THourPriceRecord::HEF,       &THourPriceRecord::HEC};

// One employee's card: written back where it lies, or marked erased.
void EditOneHourPrice(Context& ctx, const QString& matricula)
{
    THourPriceRecord& row = Personnel(ctx).CurrentHourPrice;
    const std::optional<std::uint32_t> position = FindHourPrice(ctx, matricula);
    if (!position) {
        ctx.ui.ShowMessage(QString::fromUtf8(kPricesNotDefined));
        return;
    }
    // The record as it was read: the write checks that it still stands there.
    ListEntry<THourPriceRecord> entry{row, *position};
    const int result = HourPriceCardBinding().Run(ctx.ui, HourPriceCardSpec(ctx), row);
    const bool save = result == CardResult::Save;
    const bool erase = result == CardResult::Delete;
    if (erase)
        row.Matricula = "Z";
    if (!(save || erase) || row.Matricula == "#")
        return;
    // A file saved by someone else meanwhile is not written; the table follows the file all the same.
    if (KeyedFile<HourPriceFile>(ctx).WriteAt(entry, row) != WriteResult::Failed)
        LoadPersonnel(ctx);
}

} // namespace

void ClearHourPrice(THourPriceRecord& row)
{
    row.Matricula = "#";
    row.Fecha = "";
    row.HCONTRATO = 1;
    row.HN = 1;
    row.HEX = 1;
    row.HEN = 1;
    row.HEF = 1;
}

std::optional<std::uint32_t> FindHourPrice(Context& ctx, const QString& matricula)
{
    State& st = ctx.st;
    THourPriceRecord& row = Personnel(ctx).CurrentHourPrice;
    row.Matricula = "";
    st.ContinueFlag = 0;
    const std::optional<std::vector<THourPriceRecord>> read = KeyedFile<HourPriceFile>(ctx).Read();
    if (!read)
        return std::nullopt;
    const std::vector<THourPriceRecord>& records = *read;
    const auto found = std::find_if(records.begin(), records.end(),
                                    [&](const THourPriceRecord& r) { return r.Matricula == matricula; });
    if (found != records.end()) {
        row = *found;
        return static_cast<std::uint32_t>(found - records.begin());
    }
    if (!records.empty())
        row = records.back();
    return std::nullopt;
}

namespace {

// One new hour-price card, blank or showing `imported`.
void AddHourPrice(Context& ctx, const THourPriceRecord* imported)
{
    State& st = ctx.st;
    PersonnelState& p = Personnel(ctx);
    THourPriceRecord& row = p.CurrentHourPrice;
    st.RecordAddedFlag = 0;
    row = THourPriceRecord{};
    ClearHourPrice(row);
    const bool importing = imported != nullptr;
    if (importing)
        row = *imported;
    // A card closed without saving stores nothing, an imported row included.
    bool accepted = true;
    if (!importing || st.InteractiveFlag)
        accepted = HourPriceCardBinding().Run(ctx.ui, HourPriceCardSpec(ctx), row) == CardResult::Save;
    if (accepted && !(row.Matricula == "#") && !(row.Matricula == "Z")) {
        if (!LookupPersonInList(ctx, row.Matricula))
            ctx.ui.ShowMessage(QString::fromUtf8(kUnknownWorker));
        else if (AppendHourPrice(ctx, row))
            st.RecordAddedFlag = 1;
    }
    // An import reloads the table once, after its last line.
    if (!importing)
        LoadPersonnel(ctx);
}

} // namespace

void NewHourPrice(Context& ctx)
{
    PersonnelState& p = Personnel(ctx);
    AddHourPrice(ctx, ctx.st.ActionCode == QLatin1String("i") ? &p.ImportedHourPrice : nullptr);
}

bool AddImportedHourPrice(Context& ctx, const THourPriceRecord& rec)
{
    AddHourPrice(ctx, &rec);
    return ctx.st.RecordAddedFlag == 1;
}

bool AppendHourPrice(Context& ctx, const THourPriceRecord& price)
{
    const THourPriceRecord row = FreshRecord(price);
    std::uint32_t position = 0;
    const AppendResult result = row.Matricula == "#"
                                    ? AppendResult::Duplicate
                                    : KeyedFile<HourPriceFile>(ctx).AppendUnique(row, position);
    if (result == AppendResult::Duplicate)
        ctx.ui.ShowMessage(QString::fromUtf8(kRepeatedPrice));
    return result == AppendResult::Stored;
}

void EditHourPrices(Context& ctx)
{
    State& st = ctx.st;
    const QString typed = ctx.ui
                              .InputBox(QStringLiteral("FICHA PERSONAL"), QStringLiteral("ENTRAR MATRÍCULA"),
                                        QStringLiteral("#"))
                              .left(6);
    if (typed != QLatin1String("*")) {
        EditOneHourPrice(ctx, typed);
        return;
    }
    const QString increment = ctx.ui.InputBox(QStringLiteral("Precios Hora"),
                                              QStringLiteral("Entrar Incremento %"), QStringLiteral("0"));
    const std::int64_t percent = ReadTypedNumber(st, increment, HourPriceFile::Name(st));
    if (RaiseHourPrices(ctx, percent))
        LoadPersonnel(ctx);
}

std::optional<std::uint16_t> RaisedPrice(std::uint16_t cents, std::int64_t percent)
{
    if (cents == 0)
        return 0;
    // Past this factor no price of a cent or more fits; below it the product stays far inside 64 bits.
    constexpr std::int64_t kFactorLimit = std::int64_t(1) << 40;
    if (percent > kFactorLimit || percent < -kFactorLimit)
        return std::nullopt;
    // cents * (100 + percent) / 100 in whole numbers, so that a half is exactly a half.
    const std::int64_t scaled = static_cast<std::int64_t>(cents) * (100 + percent);
    std::int64_t quotient = scaled / 100;
    std::int64_t remainder = scaled % 100;
    if (remainder < 0) {
        remainder += 100;
        --quotient;
    }
    if (remainder > 50 || (remainder == 50 && quotient % 2 != 0))
        ++quotient;
    if (quotient < 0 || quotient > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(quotient);
}

bool RaiseHourPrices(Context& ctx, std::int64_t percent)
{
    // Read and rewritten under one lock, so that no price stored meanwhile by another program is lost.
    WriteLock lock(ctx);
    KeyedFile<HourPriceFile> file(ctx);
    std::optional<std::vector<THourPriceRecord>> records = file.Read();
    if (!records)
        return false;
    // Every price is checked before any is written: a raise is applied whole or not at all.
    for (THourPriceRecord& r : *records) {
        for (const auto field : kPriceFields) {
            const std::optional<std::uint16_t> raised = RaisedPrice(r.*field, percent);
            if (!raised) {
                ctx.ui.ShowMessage(QString::fromUtf8(kRaiseRefused) + r.Matricula.str());
                return false;
            }
            r.*field = *raised;
        }
    }
    StoreRecords(ctx, file.name(), *records);
    return true;
}

} // namespace gim
