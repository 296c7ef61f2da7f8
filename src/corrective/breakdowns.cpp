#include "corrective/breakdowns.h"

#include "core/context.h"
#include "core/lookups.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/week_codes.h"
#include "corrective/breakdown_card.h"
#include "masterdata/machines.h"

#include <QFileInfo>
#include <algorithm>
#include <string>

namespace gim {

namespace {

bool EntryByWeek(const BreakdownEntry& a, const BreakdownEntry& b)
{
    return BreakdownFile::Before(a.rec, b.rec);
}

bool EntryByDayAndMachine(const BreakdownEntry& a, const BreakdownEntry& b)
{
    return BreakdownDayAndMachineBefore(a.rec, b.rec);
}

std::string DayAndMachineKey(const TBreakdownRecord& r)
{
    std::string key(r.Day.bytes());
    key += r.Code.bytes();
    return key.substr(0, 10);
}

// Stores the photo the card asked for, now that its breakdown is stored.
void ImportBreakdownPhoto(Context& ctx)
{
    State& st = ctx.st;
    const PictureCodec* codec = ctx.codec;
    if (st.PhotoAssignFlag == 0 || !codec) {
        st.PhotoAssignFlag = 0;
        return;
    }
    ImportPictureFile(ctx, *codec, st.CurrentSubFolder, st.PhotoFileName);
}

// The search of the edit walk: code (or "*"), the start of the description (or "*") and the first week.
bool Offered(const TBreakdownRecord& search, const TBreakdownRecord& rec)
{
    if (!(search.Code == "*") && !(search.Code == rec.Code))
        return false;
    if (!(search.Description == "*")) {
        const std::size_t length = std::min(search.Description.size(), rec.Description.size());
        if (search.Description.bytes().substr(0, length) != rec.Description.bytes().substr(0, length))
            return false;
    }
    return rec.Week.get() >= search.Week.get();
}

// A fresh search record: every machine from the first week of this year.
TBreakdownRecord FreshSearch(Context& ctx)
{
    ClearBreakdownRecord(ctx);
    TBreakdownRecord search = Breakdowns(ctx).CurrentBreakdown;
    search.Code = "*";
    const int year = ctx.clock.Now().date().year() % 100;
    search.Week = static_cast<std::uint16_t>(std::max(0, AbsoluteWeek(ctx.st, year, 0)));
    return search;
}

} // namespace

BreakdownsState& Breakdowns(Context& ctx)
{
    return ctx.Module<BreakdownsState>();
}

bool BreakdownDayAndMachineBefore(const TBreakdownRecord& a, const TBreakdownRecord& b)
{
    return DayAndMachineKey(a) > DayAndMachineKey(b);
}

void ClearBreakdownRecord(Context& ctx)
{
    const QDate today = ctx.clock.Now().date();
    TBreakdownRecord& rec = Breakdowns(ctx).CurrentBreakdown;
    rec = TBreakdownRecord{};
    rec.Code = "#";
    rec.Week = static_cast<std::uint16_t>(WeekPartsOf(today).week);
    rec.Day = QString::number(today.dayOfWeek());
    rec.Operators = 1;
    rec.Officer = "-";
    rec.ProductionOperator = "-";
}

std::optional<std::uint32_t> AppendBreakdownRecord(Context& ctx, const TBreakdownRecord& breakdown)
{
    const std::optional<std::uint32_t> position =
        KeyedFile<BreakdownFile>(ctx).Append(FreshRecord(breakdown));
    if (position)
        ctx.st.ContinueFlag = 1;
    return position;
}

void InsertBreakdownByWeek(Context& ctx, BreakdownEntry entry)
{
    InsertOrderedHeadFirst(Breakdowns(ctx).BreakdownList, std::move(entry), EntryByWeek);
}

void InsertBreakdownByDayAndMachine(Context& ctx, BreakdownEntry entry)
{
    InsertOrderedHeadFirst(Breakdowns(ctx).BreakdownList, std::move(entry), EntryByDayAndMachine);
}

void LoadBreakdownList(Context& ctx)
{
    FreeBreakdownList(ctx);
    Breakdowns(ctx).BreakdownList =
        KeyedFile<BreakdownFile>(ctx).LoadList(Report::Silent, QString::fromUtf8(kBreakdownLoadCaption));
}

void FreeBreakdownList(Context& ctx)
{
    FreeNodeList(Breakdowns(ctx).BreakdownList);
}

void SortBreakdownFile(Context& ctx)
{
    State& st = ctx.st;
    BreakdownsState& b = Breakdowns(ctx);
    FreeBreakdownList(ctx);
    st.ContinueFlag = 0;
    KeyedFile<BreakdownFile> file(ctx);
    if (!file.Exists())
        return;
    const bool byDay = st.ActionCode == QLatin1String("2");
    std::vector<BreakdownEntry> list;
    RewriteThroughTwin<TBreakdownRecord>(
        ctx, file.name(), BreakdownFile::Twin(st),
        [&](std::vector<TBreakdownRecord> records) {
            std::vector<BreakdownEntry> ordered;
            ordered.reserve(records.size());
            for (std::size_t i = 0; i < records.size(); ++i)
                ordered.push_back({records[i], static_cast<std::uint32_t>(i)});
            OrderAsInserted(ordered, byDay ? EntryByDayAndMachine : EntryByWeek, TieRule::HeadFirst);
            // The list that stays loaded is the new file, each entry at its new place.
            std::vector<TBreakdownRecord> kept;
            kept.reserve(ordered.size());
            for (const BreakdownEntry& e : ordered) {
                if (BreakdownFile::Deleted(e.rec))
                    continue;
                list.push_back({e.rec, static_cast<std::uint32_t>(kept.size())});
                kept.push_back(e.rec);
            }
            return kept;
        },
        {.twin = TwinVariant::Copy, .order = LoadOrder::FirstToLast, .report = Report::Show});
    b.BreakdownList = std::move(list);
}

namespace {

// The series of new-breakdown cards, or the one record handed in (`handed`).
void RunAddBreakdowns(Context& ctx, const TBreakdownRecord* handed)
{
    State& st = ctx.st;
    BreakdownsState& b = Breakdowns(ctx);
    const bool importing = handed != nullptr;
    QString answer = QStringLiteral("S");
    ClearBreakdownRecord(ctx);
    st.PhotoAssignFlag = 0;
    st.RecordAddedFlag = 0;
    // Today's week and the year its week code names: the last days of December may be week 0 of the next.
    if (!importing)
        st.WorkYear = static_cast<std::uint16_t>(WeekPartsOf(ctx.clock.Now().date()).year);
    while (answer != QLatin1String("N")) {
        if (importing) {
            b.CurrentBreakdown = *handed;
        } else {
            b.CurrentBreakdown.Day = QString::number(ctx.clock.Now().date().dayOfWeek());
            st.InteractiveFlag = 1;
        }
        const int result = ShowBreakdownCard(ctx, b.CurrentBreakdown);
        if (result == CardResult::Exit)
            answer = QStringLiteral("N");

        const TBreakdownRecord& cur = b.CurrentBreakdown;
        if (result != CardResult::Exit && !(cur.Code == "#") && !(cur.Code == "Z")) {
            TMachineRecord machine{};
            machine.Codigo.assign(cur.Code);
            FindMachine(ctx, st.FileName(DataFile::Machine), machine);
            if (!(machine.Denominacion == kMachineNotFound)) {
                b.CurrentBreakdown = FreshRecord(b.CurrentBreakdown);
                if (const std::optional<std::uint32_t> position =
                        AppendBreakdownRecord(ctx, b.CurrentBreakdown)) {
                    st.RecordAddedFlag = 1;
                    InsertBreakdownByWeek(ctx, {b.CurrentBreakdown, *position});
                    ImportBreakdownPhoto(ctx);
                }
            } else {
                st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
                if (st.InteractiveFlag)
                    ctx.ui.ShowMessage(machine.Denominacion.str() + QStringLiteral("\r ANULADA ALTA"));
            }
        }
        // A photo asked for on a refused card does not carry over to the next one.
        st.PhotoAssignFlag = 0;
        if (importing)
            answer = QStringLiteral("N");
        else if (answer != QLatin1String("N"))
            answer = ctx.ui
                         .InputBox(QStringLiteral("ALTA AVERIAS DE MAQUINAS"),
                                   QStringLiteral("CONTINUAMOS EL ALTA DE AVERIAS"), QStringLiteral("N"))
                         .left(1);
    }
}

} // namespace

void AddBreakdowns(Context& ctx)
{
    BreakdownsState& b = Breakdowns(ctx);
    if (ctx.st.ActionCode != QLatin1String("i")) {
        RunAddBreakdowns(ctx, nullptr);
        return;
    }
    const TBreakdownRecord handed = b.BreakdownInput;
    // The imported record is taken: left in the buffer it would become the next edit's search.
    b.BreakdownInput.Description = "";
    RunAddBreakdowns(ctx, &handed);
}

bool AddImportedBreakdown(Context& ctx, const TBreakdownRecord& rec, std::uint16_t workYear)
{
    ctx.st.WorkYear = workYear;
    RunAddBreakdowns(ctx, &rec);
    return ctx.st.RecordAddedFlag != 0;
}

void EditBreakdowns(Context& ctx)
{
    State& st = ctx.st;
    BreakdownsState& b = Breakdowns(ctx);
    st.PhotoAssignFlag = 0;

    TBreakdownRecord search{};
    if (!b.BreakdownInput.Description.empty()) {
        search = b.BreakdownInput;
    } else {
        if (!b.SearchRecord)
            b.SearchRecord = FreshSearch(ctx);
        // The card shows the search week in its own year.
        st.WorkYear = static_cast<std::uint16_t>(SplitAbsoluteWeek(st, b.SearchRecord->Week.get()).year);
        search = *b.SearchRecord;
        const int result = ShowBreakdownCard(ctx, search);
        // The search card left: nothing to edit, and nothing to say.
        if (result == CardResult::Exit || search.Code == "#") {
            b.BreakdownInput.Description = "";
            return;
        }
        *b.SearchRecord = search;
        search.Description = "*";
    }
    b.BreakdownInput.Description = "";

    QString searchName = QStringLiteral("*");
    if (!(search.Code == "*")) {
        TMachineRecord machine{};
        machine.Codigo.assign(search.Code);
        FindMachine(ctx, st.FileName(DataFile::Machine), machine);
        searchName = machine.Denominacion.str();
    }

    KeyedFile<BreakdownFile> file(ctx);
    {
        RecordFile<TBreakdownRecord> probe(ctx);
        if (!NoteIoResult(ctx, probe.Open(file.name(), RawRecordFile::Mode::Update), Report::Show))
            return;
    }

    for (BreakdownEntry& node : b.BreakdownList) {
        if (!Offered(search, node.rec))
            continue;
        st.AnswerCode = QStringLiteral(" ");
        TBreakdownRecord edited = node.rec;
        const int result = ShowBreakdownEditCard(ctx, edited, searchName);
        if (result == CardResult::Exit)
            break;
        if (result == CardResult::Save) {
            st.AnswerCode = QStringLiteral("M");
        } else if (result == CardResult::Delete) {
            st.AnswerCode = QStringLiteral("B");
            edited.Code = "Z";
        } else {
            continue;
        }
        // The machine checked is the breakdown's own (its code cannot be changed on this card).
        TMachineRecord machine{};
        machine.Codigo.assign(node.rec.Code);
        FindMachine(ctx, st.FileName(DataFile::Machine), machine);
        CheckMachineCodes(ctx, machine);
        if (st.MachineCodesOk == 0) {
            st.PhotoAssignFlag = 0;
            continue;
        }
        st.CurrentRecordIndex = static_cast<std::uint16_t>(node.pos);
        b.CurrentBreakdown = edited;
        // The write goes where the record was read, checked there first: an append since the load
        // (an import, a posted daily report) moved the list's order away from the file's.
        if (file.WriteAt(node, edited) != WriteResult::Written)
            break;
        if (st.AnswerCode == QLatin1String("M"))
            ImportBreakdownPhoto(ctx);
        st.PhotoAssignFlag = 0;
    }
}

void AssignBreakdownPhoto(Context& ctx, const QString& codeText)
{
    State& st = ctx.st;
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::Breakdown, st.CurrentEnvironment);
    const QString folder = ResolveSubFolder(st.BaseDir, st.CurrentSubFolder);
    QString code = codeText;
    code.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    for (int n = 1;; ++n) {
        const QString name = code + QLatin1Char('#') + QString::number(n) + QStringLiteral(".jpg");
        if (!QFileInfo::exists(folder + QLatin1Char('/') + name)) {
            st.PhotoFileName = name;
            return;
        }
    }
}

} // namespace gim
