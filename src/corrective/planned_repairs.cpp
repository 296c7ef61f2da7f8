#include "corrective/planned_repairs.h"

#include "core/context.h"
#include "core/week_codes.h"
#include "corrective/planned_repair_card.h"
#include "masterdata/machines.h"
#include "masterdata/routines.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace gim {

namespace {

bool EntryByWeek(const PlannedRepairEntry& a, const PlannedRepairEntry& b)
{
    return PlannedRepairFile::Before(a.rec, b.rec);
}

bool EntryByCode(const PlannedRepairEntry& a, const PlannedRepairEntry& b)
{
    return PlannedRepairCodeBefore(a.rec, b.rec);
}

bool IsAny(const ShortString<2>& s)
{
    return s == "*";
}

// The edit walk's filter: the same week, the same state, code and specialty (or "*"), and a description
// that agrees with the filter's over the shorter of the two (or the filter's "*").
bool Offered(const TPlannedRepairRecord& filter, const TPlannedRepairRecord& rec)
{
    if (rec.Week.get() != filter.Week.get())
        return false;
    if (!IsAny(filter.State) && !(filter.State == rec.State))
        return false;
    if (!(filter.Code == "*") && !(filter.Code == rec.Code))
        return false;
    if (!IsAny(filter.Specialty) && !(filter.Specialty == rec.Specialty))
        return false;
    if (filter.Description == "*")
        return true;
    const std::size_t length = std::min(filter.Description.size(), rec.Description.size());
    return filter.Description.bytes().substr(0, length) == rec.Description.bytes().substr(0, length);
}

TPlannedRepairRecord AnyRecord()
{
    TPlannedRepairRecord r{};
    r.Code = "*";
    r.Order = "*";
    r.Specialty = "*";
    r.State = "*";
    r.Description = "*";
    r.Executor = "*";
    return r;
}

} // namespace

PlannedRepairsState& PlannedRepairs(Context& ctx)
{
    return ctx.Module<PlannedRepairsState>();
}

bool PlannedRepairCodeBefore(const TPlannedRepairRecord& a, const TPlannedRepairRecord& b)
{
    return b.Code < a.Code;
}

namespace {

// The list's index, built again when the list was replaced as a whole since it was indexed.
PlannedRepairIndex& IndexOf(PlannedRepairsState& p)
{
    const std::vector<PlannedRepairEntry>& list = p.PlannedRepairList;
    if (p.PlannedRepairsByMachine && p.PlannedRepairsByMachine->weeks.size() == list.size())
        return *p.PlannedRepairsByMachine;
    PlannedRepairIndex& index = p.PlannedRepairsByMachine.emplace();
    index.weeks.resize(list.size());
    index.ranks.resize(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        index.weeks[i] = list[i].rec.Week.get();
        index.ranks[i] = static_cast<std::int64_t>(i);
        index.positionsByCode[list[i].rec.Code.str()].push_back(static_cast<std::uint32_t>(i));
    }
    index.highRank = static_cast<std::int64_t>(list.size());
    index.ordered = list.size();
    return index;
}

// The list order of two indexed positions: the later week first, equal weeks by rank.
auto IndexOrder(const PlannedRepairIndex& index)
{
    return [&index](std::uint32_t a, std::uint32_t b) {
        if (index.weeks[a] != index.weeks[b])
            return index.weeks[a] > index.weeks[b];
        return index.ranks[a] < index.ranks[b];
    };
}

} // namespace

std::vector<std::uint32_t> PlannedRepairsOfMachine(Context& ctx, const QString& code)
{
    const PlannedRepairIndex& index = IndexOf(PlannedRepairs(ctx));
    if (const auto it = index.positionsByCode.constFind(code); it != index.positionsByCode.cend())
        return *it;
    return {};
}

void SettlePlannedRepairList(Context& ctx)
{
    PlannedRepairsState& p = PlannedRepairs(ctx);
    if (!p.PlannedRepairsByMachine || p.PlannedRepairsByMachine->ordered >= p.PlannedRepairList.size())
        return;
    const PlannedRepairIndex& index = *p.PlannedRepairsByMachine;
    std::vector<PlannedRepairEntry>& list = p.PlannedRepairList;
    const auto ordered = static_cast<std::uint32_t>(index.ordered);
    std::vector<std::uint32_t> queued(list.size() - ordered);
    for (std::size_t i = 0; i < queued.size(); ++i)
        queued[i] = ordered + static_cast<std::uint32_t>(i);
    std::sort(queued.begin(), queued.end(), IndexOrder(index));
    // The ordered part keeps its own order whatever its weeks: the queued ones go in between.
    std::vector<PlannedRepairEntry> merged;
    merged.reserve(list.size());
    const auto before = IndexOrder(index);
    std::size_t q = 0;
    for (std::uint32_t i = 0; i < ordered; ++i) {
        for (; q < queued.size() && before(queued[q], i); ++q)
            merged.push_back(std::move(list[queued[q]]));
        merged.push_back(std::move(list[i]));
    }
    for (; q < queued.size(); ++q)
        merged.push_back(std::move(list[queued[q]]));
    list.swap(merged);
    p.PlannedRepairsByMachine.reset();
}

void QueuePlannedRepairByWeek(Context& ctx, PlannedRepairEntry entry)
{
    PlannedRepairsState& p = PlannedRepairs(ctx);
    PlannedRepairIndex& index = IndexOf(p);
    std::vector<PlannedRepairEntry>& list = p.PlannedRepairList;
    const auto at = static_cast<std::uint32_t>(list.size());
    const std::uint16_t week = entry.rec.Week.get();
    // Under the head-first rule a newcomer not below the head becomes the head, ahead of its equals;
    // any other goes after its equals.
    const bool takesHead = list.empty() || !(index.weeks[index.head] > week);
    index.weeks.push_back(week);
    index.ranks.push_back(takesHead ? index.lowRank-- : index.highRank++);
    if (takesHead)
        index.head = at;
    std::vector<std::uint32_t>& mine = index.positionsByCode[entry.rec.Code.str()];
    mine.insert(std::upper_bound(mine.begin(), mine.end(), at, IndexOrder(index)), at);
    list.push_back(std::move(entry));
}

void InsertPlannedRepairByWeek(Context& ctx, PlannedRepairEntry entry)
{
    SettlePlannedRepairList(ctx);
    PlannedRepairsState& p = PlannedRepairs(ctx);
    InsertOrderedHeadFirst(p.PlannedRepairList, std::move(entry), EntryByWeek);
    p.PlannedRepairsByMachine.reset();
}

void InsertPlannedRepairByCode(Context& ctx, PlannedRepairEntry entry)
{
    SettlePlannedRepairList(ctx);
    PlannedRepairsState& p = PlannedRepairs(ctx);
    InsertOrderedHeadFirst(p.PlannedRepairList, std::move(entry), EntryByCode);
    p.PlannedRepairsByMachine.reset();
}

void LoadPlannedRepairs(Context& ctx)
{
    FreePlannedRepairList(ctx);
    KeyedFile<PlannedRepairFile> file(ctx);
    if (!file.Exists()) {
        // The first start of an environment: an empty file, and nothing to say about it.
        WriteLock lock(ctx);
        RecordFile<TPlannedRepairRecord> created(ctx);
        if (NoteIoResult(ctx, created.Open(file.name(), RawRecordFile::Mode::OpenOrCreate), Report::Show))
            PlannedRepairs(ctx).LoadedPlannedRepairs.emplace();
        return;
    }
    PlannedRepairsState& p = PlannedRepairs(ctx);
    p.PlannedRepairList = file.LoadList();
    std::vector<TPlannedRepairRecord> loaded(p.PlannedRepairList.size());
    for (const PlannedRepairEntry& e : p.PlannedRepairList)
        if (e.pos < loaded.size())
            loaded[e.pos] = e.rec;
    p.LoadedPlannedRepairs = std::move(loaded);
}

void FreePlannedRepairList(Context& ctx)
{
    FreeNodeList(PlannedRepairs(ctx).PlannedRepairList);
    PlannedRepairs(ctx).LoadedPlannedRepairs.reset();
    PlannedRepairs(ctx).PlannedRepairsByMachine.reset();
}

void SortPlannedRepairFile(Context& ctx)
{
    State& st = ctx.st;
    FreePlannedRepairList(ctx);
    st.ContinueFlag = 0;
    KeyedFile<PlannedRepairFile> file(ctx);
    if (!file.Exists())
        return;
    if (st.ActionCode == QLatin1String("3") || st.ActionCode == QLatin1String("4"))
        file.SortBy(PlannedRepairCodeBefore);
    else
        file.Sort();
}

std::optional<std::uint32_t> AppendPlannedRepair(Context& ctx, const TPlannedRepairRecord& repair)
{
    const std::optional<std::uint32_t> position =
        KeyedFile<PlannedRepairFile>(ctx).Append(FreshRecord(repair));
    if (position)
        ctx.st.ContinueFlag = 1;
    return position;
}

namespace {

// CurrentPlannedRepair from the add card, or from the record handed in (`handed`).
void Prepare(Context& ctx, const TPlannedRepairRecord* handed)
{
    State& st = ctx.st;
    PlannedRepairsState& p = PlannedRepairs(ctx);
    TPlannedRepairRecord& cur = p.CurrentPlannedRepair;
    const bool importing = handed != nullptr;
    int result = CardResult::Save;
    if (importing) {
        cur = *handed;
    } else {
        cur.Executor = "";
        cur.Specialty = "";
        cur.Order = "";
        cur.Description = "";
        cur.Minutes = 0;
        cur.State = "P";
        if (st.ActionCode == QLatin1String("1")) {
            SetWorkWeek(st, st.PlanWeeks);
        } else if (st.ActionCode == QLatin1String("2")) {
            const WeekParts today = WeekPartsOf(ctx.clock.Now().date());
            st.WorkWeek = static_cast<std::uint16_t>(today.week);
            st.WorkYear = static_cast<std::uint16_t>(today.year);
        }
        result = ShowPlannedRepairCard(ctx, cur);
    }
    if (result == CardResult::Exit || cur.Code == "#")
        return;
    if (!FindIntoFoundMachine(ctx, cur.Code)) {
        st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
        if (!importing || st.InteractiveFlag)
            ctx.ui.ShowMessage(QString::fromUtf8(kPlannedRepairUnknownMachine));
        cur.Code = "#";
        st.RecordAddedFlag = 0;
        return;
    }
    if (st.ActionCode == QLatin1String("1")) {
        cur.Minutes = 0;
        cur.State = "P";
        cur.Executor = st.TodayText;
        cur.Order = "";
        cur.Week = st.PlanWeeks;
    } else if (importing) {
        // The card works the week out from WorkWeek and WorkYear; it shows only when asked to.
        if (ShowPlannedRepairCard(ctx, cur) == CardResult::Exit) {
            cur.Code = "#";
            st.RecordAddedFlag = 0;
            return;
        }
        st.RecordAddedFlag = 1;
    }
}

void RunNewPlannedRepair(Context& ctx, const TPlannedRepairRecord* handed)
{
    State& st = ctx.st;
    PlannedRepairsState& p = PlannedRepairs(ctx);
    const bool importing = handed != nullptr;
    p.CurrentPlannedRepair = TPlannedRepairRecord{};
    p.CurrentPlannedRepair.Code = "#";
    st.RecordAddedFlag = 0;
    for (;;) {
        Prepare(ctx, handed);
        TPlannedRepairRecord& cur = p.CurrentPlannedRepair;
        if (cur.Code == "#")
            break;
        cur = FreshRecord(cur);
        if (!AppendPlannedRepair(ctx, cur)) {
            st.RecordAddedFlag = 0;
            break;
        }
        if (importing)
            break;
        ctx.ui.ShowMessage(QStringLiteral("ALTA de REPARACION EN  ") + cur.Code.str());
    }
}

// The hand-over of ActionCode "i", taken once: left in the buffer it would become the next edit's.
TPlannedRepairRecord TakeInput(Context& ctx)
{
    return std::exchange(PlannedRepairs(ctx).PlannedRepairInput, TPlannedRepairRecord{});
}

} // namespace

void PreparePlannedRepair(Context& ctx)
{
    if (ctx.st.ActionCode != QLatin1String("i")) {
        Prepare(ctx, nullptr);
        return;
    }
    const TPlannedRepairRecord handed = TakeInput(ctx);
    Prepare(ctx, &handed);
}

void NewPlannedRepair(Context& ctx)
{
    if (ctx.st.ActionCode != QLatin1String("i")) {
        RunNewPlannedRepair(ctx, nullptr);
        return;
    }
    const TPlannedRepairRecord handed = TakeInput(ctx);
    RunNewPlannedRepair(ctx, &handed);
}

bool AddImportedPlannedRepair(Context& ctx, const TPlannedRepairRecord& rec, std::uint16_t workWeek,
                              std::uint16_t workYear)
{
    ctx.st.WorkWeek = workWeek;
    ctx.st.WorkYear = workYear;
    RunNewPlannedRepair(ctx, &rec);
    return ctx.st.RecordAddedFlag != 0;
}

void EditPlannedRepairs(Context& ctx)
{
    State& st = ctx.st;
    PlannedRepairsState& p = PlannedRepairs(ctx);
    const QString mode = st.ActionCode;

    TPlannedRepairRecord filter = AnyRecord();
    if (mode == QLatin1String("3") || mode == QLatin1String("B")) {
        filter.Week = st.PlanWeeks;
        filter.State = "P";
        if (mode == QLatin1String("B"))
            filter.Specialty = "A";
    } else if (!p.PlannedRepairInput.Description.empty()) {
        filter = p.PlannedRepairInput;
    } else {
        st.WorkWeek = 0;
        st.WorkYear = st.LastYear;
        const int result = ShowPlannedRepairCard(ctx, filter, true);
        if (result == CardResult::Exit || filter.Code == "#") {
            p.PlannedRepairInput = TPlannedRepairRecord{};
            return;
        }
    }
    // The hand-over is taken: a later Selectiva asks again.
    p.PlannedRepairInput = TPlannedRepairRecord{};

    KeyedFile<PlannedRepairFile> file(ctx);
    const std::optional<std::vector<TPlannedRepairRecord>> records = file.Read(Report::Show);
    if (!records)
        return;
    st.RunFlag = 1;
    bool reachedEnd = true;
    for (std::size_t i = 0; i < records->size(); ++i) {
        PlannedRepairEntry entry{(*records)[i], static_cast<std::uint32_t>(i)};
        if (!Offered(filter, entry.rec))
            continue;
        st.AnswerCode = QStringLiteral("a");
        st.CardSaved = 0;
        SetWorkWeek(st, entry.rec.Week.get());
        FindIntoFoundMachine(ctx, entry.rec.Code);
        TPlannedRepairRecord edited = entry.rec;
        const int result = ShowPlannedRepairCard(ctx, edited);
        if (result == CardResult::Exit) {
            reachedEnd = false;
            break;
        }
        if (result == CardResult::Delete) {
            edited = entry.rec;
            edited.Code = "Z";
        } else if (result != CardResult::Save) {
            continue;
        }
        p.CurrentPlannedRepair = edited;
        st.CurrentRecordIndex = static_cast<std::uint16_t>(entry.pos);
        if (file.WriteAt(entry, edited) != WriteResult::Written) {
            reachedEnd = false;
            break;
        }
    }
    if (reachedEnd)
        ctx.ui.ShowMessage(QString::fromUtf8(kPlannedRepairEndOfFile));
}

void ShowPendingRepairsOfWeek(Context& ctx)
{
    State& st = ctx.st;
    // An environment not made yet (no machine file: a code mistyped at the access change) is only looked
    // at; its repair file is created with the environment's other files, not by this notice.
    if (!KeyedFile<PlannedRepairFile>(ctx).Exists() && !KeyedFile<MachineFile>(ctx).Exists())
        return;
    LoadPlannedRepairs(ctx);
    const WeekParts today = WeekPartsOf(ctx.clock.Now().date());
    const int week = AbsoluteWeek(st, today.year, today.week);
    for (const PlannedRepairEntry& e : PlannedRepairs(ctx).PlannedRepairList) {
        const TPlannedRepairRecord& r = e.rec;
        if (r.State == "P" && static_cast<int>(r.Week.get()) == week && !(r.Specialty == "A"))
            ctx.ui.ShowMessage(QStringLiteral("Reparación Pendiente en : ") + r.Code.str() +
                               QLatin1Char('\r') + r.Description.str());
    }
    FreePlannedRepairList(ctx);
}

} // namespace gim
