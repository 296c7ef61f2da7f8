#include "preventive/plan_loading.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/environment.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/texts.h"
#include "core/transaction.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "masterdata/routines.h"
#include "preventive/annual_plan.h"
#include "preventive/plan_time.h"
#include "records/operation_record.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace gim {

// The plan file of one planning operation. An automatic load runs through thousands of machines: the plan
// is read once, read-only, and looked up in memory, while every change is written by name in its machine's
// step (an erased entry through the checked write at its position, a new one appended), so the file stays
// as up to date as machine by machine and the list follows it.
class PlanBook
{
public:
    using Entry = ListEntry<TPlanRecord>;

    explicit PlanBook(Context& ctx) : m_ctx(ctx) {}

    // Set when a file the operation cannot do without could not be opened; the automatic loads stop.
    bool failed = false;

    // The first entry of the plan file with this code.
    std::optional<Entry> FindEntry(const ShortString<8>& code)
    {
        LoadPlan();
        const auto it = m_byCode.find(std::string(code.bytes()));
        if (it == m_byCode.end() || it->second.empty())
            return std::nullopt;
        const std::uint32_t position = it->second.front();
        return Entry{m_plan[position], position};
    }
    // Whether the plan file could be read; its error is shown once, when `report` asks for it.
    bool PlanOpened(bool report)
    {
        LoadPlan();
        if (!m_planRead.ok() && report && !m_planReported) {
            m_planReported = true;
            NoteIoResult(m_ctx, m_planRead, Report::Show);
        }
        return m_planRead.ok();
    }
    // Marks an entry erased where it stands, in the step `tx`; the rest of its bytes stay. When the file
    // no longer holds the entry there, nothing is written and the plan is read again.
    WriteResult EraseEntry(Entry entry, Transaction& tx)
    {
        // A plan that cannot be written is refused before the step opens it, with the message of any write.
        if (!tx.Prepare({PlanFile::Name(m_ctx.st)}, Report::Silent)) {
            NoteIoResult(m_ctx, {m_ctx.st.LastIOResult, m_ctx.Path(PlanFile::Name(m_ctx.st))}, Report::Show);
            return WriteResult::Failed;
        }
        const TPlanRecord listed = entry.rec;
        TPlanRecord erased = listed;
        erased.Code = "Z";
        const WriteResult result = KeyedFile<PlanFile>(m_ctx).WriteAt(entry, erased);
        if (result == WriteResult::Written) {
            Forget(listed.Code, entry.pos);
            m_plan[entry.pos] = erased;
            Remember(erased.Code, entry.pos);
        } else if (result == WriteResult::Moved) {
            m_planTried = false;
        }
        return result;
    }
    // Appends a new entry in the step `tx` unless its code is in the plan already, creating the plan file
    // when there is none (one that is there but cannot be opened is reported, never created anew). Run
    // under the write lock: a plan another program lengthened since it was read is read again before the
    // check.
    AppendResult AppendEntry(const TPlanRecord& rec, Transaction& tx)
    {
        LoadPlan();
        if (StoredEntries() != m_plan.size())
            Reload();
        if (FindEntry(rec.Code))
            return AppendResult::Duplicate;
        // LastIOResult says why the plan cannot be written; the caller abandons its command.
        if (!tx.Prepare({PlanFile::Name(m_ctx.st)}, Report::Silent))
            return AppendResult::Failed;
        const std::optional<std::uint32_t> position = KeyedFile<PlanFile>(m_ctx).Append(rec, Report::Silent);
        if (!position)
            return AppendResult::Failed;
        if (*position != m_plan.size()) {
            Reload();
            return AppendResult::Stored;
        }
        m_plan.push_back(rec);
        Remember(rec.Code, *position);
        return AppendResult::Stored;
    }
    // A change the book took in that its step did not store: the plan is read again when next needed.
    void ReadAgain() { m_planTried = false; }

private:
    void LoadPlan()
    {
        if (m_planTried)
            return;
        m_planTried = true;
        const KeyedFile<PlanFile> plan(m_ctx);
        std::optional<std::vector<TPlanRecord>> records = plan.Read(Report::Silent);
        m_planRead = {m_ctx.st.LastIOResult, m_ctx.Path(plan.name())};
        m_plan = records ? std::move(*records) : std::vector<TPlanRecord>{};
        Index();
    }
    void Reload()
    {
        m_planTried = false;
        LoadPlan();
    }
    // The entries the plan file holds now; a missing file holds none.
    std::size_t StoredEntries() const
    {
        RecordFile<TPlanRecord> file(m_ctx);
        return file.Open(PlanFile::Name(m_ctx.st), RawRecordFile::Mode::Read) ? file.Count() : 0;
    }
    void Index()
    {
        m_byCode.clear();
        for (std::size_t i = 0; i < m_plan.size(); ++i)
            Remember(m_plan[i].Code, static_cast<std::uint32_t>(i));
    }
    // Positions of each code in file order: the first one is the entry a scan from the start meets.
    void Remember(const ShortString<8>& code, std::uint32_t position)
    {
        std::vector<std::uint32_t>& positions = m_byCode[std::string(code.bytes())];
        positions.insert(std::upper_bound(positions.begin(), positions.end(), position), position);
    }
    void Forget(const ShortString<8>& code, std::uint32_t position)
    {
        std::vector<std::uint32_t>& positions = m_byCode[std::string(code.bytes())];
        positions.erase(std::remove(positions.begin(), positions.end(), position), positions.end());
    }

    Context& m_ctx;
    std::vector<TPlanRecord> m_plan;
    std::unordered_map<std::string, std::vector<std::uint32_t>> m_byCode;
    bool m_planTried = false;
    bool m_planReported = false;
    IoResult m_planRead;
};

namespace {

constexpr const char* kManual = "MANUAL";
constexpr const char* kEditor = "EDITOR";
constexpr const char* kCarried = "CONTI";
constexpr const char* kImported = "IMPOR";
constexpr const char* kPlanningCaption = "PLANIFICACION DE MAQUINAS";
constexpr const char* kAlreadyPlanned = "NO PUEDE DARSE DE ALTA POR EXISTIR YA EN PLANING";
constexpr const char* kBalanceCaption = "Equilibrado de Carga";
constexpr const char* kBalancePrompt = "Equilibrado Bianual";
constexpr int kModeWidth = 8;

// The frequency whose period each bucket books at; "1D" goes to the weekly bucket, six times over.
constexpr std::array<const char16_t*, kRoutineBuckets + 1> kBucketCodes{u"",  u"1S", u"2S", u"M",  u"M3",
                                                                        u"S", u"S2", u"S4", u"M2", u"M4"};
constexpr int kDailyTimesPerWeek = 6;

// The least-loaded week is sought once every period has been reached by the machines planned before.
constexpr int kSearchFirstWeek = 96;
constexpr int kSearchLastWeek = 143;
constexpr int kBiannualSearchLastWeek = 192;
constexpr int kSearchWindowWeeks = 49;
constexpr int kBiannualCycle = 96;
constexpr std::int16_t kNoLoadYet = 32000;

// Opens the operation's PlanBook unless one is open already; the outermost scope closes it.
class BookScope
{
public:
    explicit BookScope(Context& ctx) : m_state(Planning(ctx))
    {
        if (!m_state.book) {
            m_own = std::make_unique<PlanBook>(ctx);
            m_state.book = m_own.get();
        }
    }
    ~BookScope()
    {
        if (m_own)
            m_state.book = nullptr;
    }
    BookScope(const BookScope&) = delete;
    BookScope& operator=(const BookScope&) = delete;
    PlanBook& book() { return *m_state.book; }

private:
    PlanningState& m_state;
    std::unique_ptr<PlanBook> m_own;
};

bool Is(const QString& code, const char* value)
{
    return code == QLatin1String(value);
}

bool IsLoad(Context& ctx)
{
    return Planning(ctx).PlanLoadFlag == 1;
}

// Looks the machine up into FoundMachine; false when the machine file does not hold it.
bool FindPlanMachine(Context& ctx)
{
    State& st = ctx.st;
    FindMachine(ctx, st.FileName(DataFile::Machine), st.FoundMachine);
    const bool found = !(st.FoundMachine.Denominacion == kMachineNotFound);
    if (!found)
        st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
    return found;
}

void MachineNotFound(Context& ctx)
{
    ctx.ui.ShowMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
}

// The start week a load proposes before the user may change it.
void ProposeStartWeek(Context& ctx)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    if (Is(st.ActionCode, "i"))
        p.ProposedStartWeek = p.ImportedPlanEntry.StartWeek.get();
    else if (Is(st.ActionCode, "E") || Is(p.PlanMode, kEditor))
        p.ProposedStartWeek = p.EditorStartWeek;
    else if (Is(p.PlanMode, kCarried))
        p.ProposedStartWeek = p.CarriedStartWeek;
    else
        FindLeastLoadedWeek(ctx);
}

// Obtains the code, looks the machine up and, on a load, settles its start week. False when the machine
// is not to be planned (the reason was shown).
bool AskPlanMachine(Context& ctx, PlanBook& book, const ShortString<8>& code)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    if (Is(p.PlanMode, kManual))
        p.PlanEntry.Code = ctx.ui.InputBox(QString::fromLatin1(kPlanningCaption),
                                           QStringLiteral("CODIGO DE MAQUINA "), QStringLiteral("#"));
    else
        p.PlanEntry.Code = code;
    if (Is(st.ActionCode, "C") && Is(p.PlanMode, kCarried))
        p.CarriedStartWeek = p.PlanEntry.StartWeek.get();
    if (p.PlanEntry.Code == "#")
        return false;

    st.FoundMachine.Codigo.assign(p.PlanEntry.Code);
    if (IsLoad(ctx)) {
        if (!FindPlanMachine(ctx)) {
            MachineNotFound(ctx);
            return false;
        }
    } else {
        std::optional<PlanBook::Entry> entry;
        const bool planOpened = book.PlanOpened(true);
        if (planOpened)
            entry = book.FindEntry(p.PlanEntry.Code);
        else
            book.failed = true;
        if (!entry) {
            // The automatic unload passes over the machines that are not in the plan.
            if (!Is(st.ActionCode, "T") || !planOpened)
                MachineNotFound(ctx);
            return false;
        }
        p.PlanEntry.StartWeek = entry->rec.StartWeek.get();
        if (!FindPlanMachine(ctx)) {
            MachineNotFound(ctx);
            return false;
        }
        return true;
    }

    ProposeStartWeek(ctx);
    std::int64_t week = p.ProposedStartWeek;
    const auto inPlan = [&st](std::int64_t w) { return w >= 0 && w < st.PlanWeeks; };
    const auto outOfPlan = [&ctx, &st](std::int64_t w) {
        ctx.ui.ShowMessage(QStringLiteral("SEMANA ") + QString::number(w) +
                           QStringLiteral(" FUERA DEL PLANING: 0 A ") + QString::number(st.PlanWeeks - 1));
    };
    if (Is(p.PlanMode, kManual) || Is(st.ActionCode, "S") || st.InteractiveFlag == 1) {
        const QString proposed = QString::number(p.ProposedStartWeek);
        // Bringing a machine back after its routine changed: the routine is saved already, so a mistyped
        // week is asked again rather than leaving the machine out of the plan; Cancel keeps its old week.
        const bool reload = Is(st.ActionCode, "E");
        for (;;) {
            const QString typed =
                ctx.ui.InputBox(st.FoundMachine.Denominacion.str(),
                                QStringLiteral("SEMANA CARGA INICIAL EN PLANING"), proposed);
            if (!reload) {
                week = ReadTypedNumber(st, typed, st.FileName(DataFile::Plan));
                break;
            }
            week = TextToInt64(st, typed);
            if (st.ValErrorPos != 0) {
                ShowIOError(ctx, IoCode::InvalidNumber);
                continue;
            }
            if (inPlan(week) || typed == proposed)
                break;
            outOfPlan(week);
        }
    }
    // A week outside the agenda would enter the plan without booking anything.
    if (!inPlan(week)) {
        outOfPlan(week);
        return false;
    }
    p.PlanEntry.StartWeek = static_cast<std::uint16_t>(week);
    return true;
}

// The first record of a machine in the operation file, sorted by machine code, found by halves.
std::size_t FirstOperationOf(const RecordFile<TOperationRecord>& file, const ShortString<8>& code)
{
    std::size_t low = 0;
    std::size_t high = file.Count();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (file.Read(middle).MachineCode < code)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Whether the routines booked anything. Not their 16-bit total, which can come round to 0 when the
// buckets are not: the machine would then be booked without entering the plan, and never leave it.
bool AnyRoutineMinutes(const PlanningState& p)
{
    return std::any_of(p.RoutineMinutes.begin() + 1, p.RoutineMinutes.end(),
                       [](std::uint16_t minutes) { return minutes != 0; });
}

void SumRoutineMinutes(PlanningState& p, const QString& frequency, std::uint16_t minutes)
{
    const RoutineBucket bucket = BucketOfFrequency(frequency);
    if (bucket.index != 0)
        p.RoutineMinutes[bucket.index] =
            static_cast<std::uint16_t>(p.RoutineMinutes[bucket.index] + bucket.times * minutes);
}

// Sums the minutes of PlanEntry's routines by period, from the operation file read for this machine
// only. False when the file could not be opened (the message was shown).
bool SumMachineRoutines(Context& ctx, PlanBook& book)
{
    PlanningState& p = Planning(ctx);
    p.RoutineMinutes.fill(0);
    p.TotalRoutineMinutes = 0;
    RecordFile<TOperationRecord> operations(ctx);
    if (!NoteIoResult(ctx, operations.Open(ctx.st.FileName(DataFile::Operation), RawRecordFile::Mode::Read),
                      Report::Show)) {
        book.failed = true;
        return false;
    }
    const std::size_t count = operations.Count();
    for (std::size_t i = FirstOperationOf(operations, p.PlanEntry.Code); i < count; ++i) {
        const TOperationRecord rec = operations.Read(i);
        if (!(rec.MachineCode == p.PlanEntry.Code))
            break;
        SumRoutineMinutes(p, rec.Frequency.str(), rec.Minutes.get());
    }
    for (std::size_t i = 1; i <= kRoutineBuckets; ++i)
        p.TotalRoutineMinutes = static_cast<std::uint16_t>(p.TotalRoutineMinutes + p.RoutineMinutes[i]);
    return true;
}

// Books the routine minutes at PlanEntry's start week and at every multiple of each routine's period
// from there: added to the planned minutes and taken from the free ones on a load, the reverse on an
// unload. Both fields keep 16 bits, so an unload gives back the very bytes of before. Each week is read
// again from the open file, so a change another program made to it stays.
void BookRoutineMinutes(Context& ctx, RecordFile<TAgendaRecord>& agenda, bool load)
{
    PlanningState& p = Planning(ctx);
    p.BookedWeeks = 0;
    const std::size_t weeks = std::min<std::size_t>(ctx.st.PlanWeeks, agenda.Count());
    std::vector<std::uint16_t> minutesByWeek(weeks, 0);
    for (std::size_t i = 1; i <= kRoutineBuckets; ++i) {
        if (p.RoutineMinutes[i] == 0)
            continue;
        const auto period = static_cast<std::size_t>(RoutinePeriod(i));
        for (std::size_t week = p.PlanEntry.StartWeek.get(); week < weeks; week += period)
            minutesByWeek[week] = static_cast<std::uint16_t>(minutesByWeek[week] + p.RoutineMinutes[i]);
    }
    const int sign = load ? 1 : -1;
    for (std::size_t week = 0; week < weeks; ++week) {
        const std::uint16_t minutes = minutesByWeek[week];
        if (minutes == 0)
            continue;
        ++p.BookedWeeks;
        TAgendaRecord rec = agenda.Read(week);
        const auto planned = static_cast<std::uint16_t>(rec.PlannedMinutes.get());
        rec.PlannedMinutes = static_cast<std::int16_t>(static_cast<std::uint16_t>(planned + sign * minutes));
        rec.FreeMinutes = static_cast<std::uint16_t>(rec.FreeMinutes.get() - sign * minutes);
        agenda.Write(week, rec);
    }
}

// Stores a load or unload of PlanEntry: the plan entry appended or erased, then its minutes booked, as one
// step of the journal, so that a kill or a full disk leaves both or neither and the step costs one sync.
// Both files are opened now by name, under the write lock, and the agenda before the plan is touched: a
// plan entry that cannot be written or is no longer where the plan was read leaves the agenda as it was.
PlanOutcome StorePlanChange(Context& ctx, PlanBook& book, const std::optional<PlanBook::Entry>& entry)
{
    State& st = ctx.st;
    const PlanningState& p = Planning(ctx);
    const bool load = IsLoad(ctx);
    Transaction tx(ctx);
    RecordFile<TAgendaRecord> agenda(ctx);
    if (AnyRoutineMinutes(p)) {
        // A protected agenda is refused before the step opens it, with the message of any write.
        const QString name = st.FileName(DataFile::Agenda);
        const IoResult opened = tx.Prepare({name}, Report::Silent)
                                    ? agenda.Open(name, RawRecordFile::Mode::Update)
                                    : IoResult{st.LastIOResult, ctx.Path(name)};
        if (!NoteIoResult(ctx, opened, Report::Show)) {
            book.failed = true;
            return PlanOutcome::Nothing;
        }
    }
    // An agenda shorter than the horizon (torn, or cut by hand) cannot take the weeks past its end: the
    // machine would enter the plan with minutes booked nowhere.
    if (agenda.IsOpen() && agenda.Count() < st.PlanWeeks) {
        NoteIoResult(ctx, {IoCode::DiskRead, agenda.path()}, Report::Show);
        book.failed = true;
        return PlanOutcome::Nothing;
    }
    if (load) {
        switch (book.AppendEntry(FreshRecord(p.PlanEntry), tx)) {
        case AppendResult::Stored:
            break;
        case AppendResult::Duplicate:
            if (!Is(st.ActionCode, "T"))
                ctx.ui.ShowMessage(QString::fromLatin1(kAlreadyPlanned));
            return PlanOutcome::Nothing;
        case AppendResult::Failed:
            // Nothing was booked. The command stops here, with the one message of the failure: what
            // would follow (the next machines, the plan's compaction) cannot write this plan either.
            book.failed = true;
            throw IoAbort(st.LastIOResult, ctx.Path(PlanFile::Name(st)));
        }
    } else {
        const WriteResult written = book.EraseEntry(*entry, tx);
        if (written == WriteResult::Failed)
            book.failed = true;
        if (written != WriteResult::Written)
            return PlanOutcome::Nothing;
    }
    // The book lists the change already: a step abandoned from here leaves it to read the plan again.
    struct Unstored
    {
        PlanBook& book;
        bool stored = false;
        ~Unstored()
        {
            if (!stored)
                book.ReadAgain();
        }
    } unstored{book};
    if (agenda.IsOpen())
        BookRoutineMinutes(ctx, agenda, load);
    tx.Commit();
    unstored.stored = true;
    st.ContinueFlag = 1;
    return load ? PlanOutcome::Loaded : PlanOutcome::Unloaded;
}

} // namespace

PlanningState& Planning(Context& ctx)
{
    return ctx.Module<PlanningState>();
}

RoutineBucket BucketOfFrequency(const QString& frequency)
{
    if (frequency == QLatin1String("1D"))
        return {1, kDailyTimesPerWeek};
    for (std::size_t i = 1; i <= kRoutineBuckets; ++i) {
        if (frequency == QStringView(kBucketCodes[i]))
            return {i, 1};
    }
    return {};
}

int RoutinePeriod(std::size_t index)
{
    return FrequencyPeriodWeeks(kBucketCodes.at(index));
}

void FindLeastLoadedWeek(Context& ctx)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    // Read for each machine: the agenda is as short as the plan's horizon.
    const std::optional<std::vector<TAgendaRecord>> agenda =
        ReadRecords<TAgendaRecord>(ctx, st.FileName(DataFile::Agenda), Report::Silent);
    if (!agenda)
        return;
    const int size = static_cast<int>(agenda->size());
    const bool biannual = p.BiannualBalance == 1;
    int first = kSearchFirstWeek;
    int last = biannual ? kBiannualSearchLastWeek : kSearchLastWeek;
    // A short agenda is searched over its last weeks.
    if (size <= last) {
        first = std::max(0, size - kSearchWindowWeeks);
        last = size - 1;
    }
    const bool inStep = Is(st.ActionCode, "S");
    const int cycle = biannual ? kBiannualCycle : kMaintenanceYearWeeks;
    std::int16_t best = kNoLoadYet;
    for (int week = first; week <= last; ++week) {
        if (inStep && week % 4 != p.SyncWeek % 4)
            continue;
        const std::int16_t planned = (*agenda)[static_cast<std::size_t>(week)].PlannedMinutes.get();
        if (planned < 0 || planned >= best)
            continue;
        best = planned;
        p.ProposedStartWeek = static_cast<std::uint16_t>(week % cycle);
    }
}

PlanOutcome PlanOneMachine(Context& ctx, const ShortString<8>& code)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    BookScope scope(ctx);
    PlanBook& book = scope.book();

    if (Is(st.ActionCode, "M"))
        p.PlanMode = QString::fromLatin1(kManual);
    else if (Is(st.ActionCode, "E"))
        p.PlanMode = QString::fromLatin1(kEditor);
    else if (Is(st.ActionCode, "C"))
        p.PlanMode = QString::fromLatin1(kCarried);
    p.PlanEntry.Code = kPlanHeldMarker;
    if (Is(st.AnswerCode, "C"))
        p.PlanLoadFlag = 1;
    else if (Is(st.AnswerCode, "D"))
        p.PlanLoadFlag = 0;

    if (!AskPlanMachine(ctx, book, code))
        return PlanOutcome::Nothing;

    const std::optional<PlanBook::Entry> entry = book.FindEntry(p.PlanEntry.Code);
    if (IsLoad(ctx)) {
        // A machine is never in the plan twice.
        if (entry) {
            if (!Is(st.ActionCode, "T"))
                ctx.ui.ShowMessage(QString::fromLatin1(kAlreadyPlanned));
            return PlanOutcome::Nothing;
        }
        if (!SumMachineRoutines(ctx, book))
            return PlanOutcome::Nothing;
        // A machine without routine minutes is never entered in the plan.
        if (!AnyRoutineMinutes(p))
            return PlanOutcome::Nothing;
        return StorePlanChange(ctx, book, std::nullopt);
    }

    if (!entry)
        return PlanOutcome::Nothing;
    p.PlanFileEntry = entry->rec;
    if (Is(p.PlanMode, kManual) &&
        !ctx.ui.AskOkCancel(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :") + p.PlanEntry.Code.str() +
                            QStringLiteral("  ") + QString::number(entry->rec.StartWeek.get())))
        return PlanOutcome::Nothing;
    if (!SumMachineRoutines(ctx, book))
        return PlanOutcome::Nothing;
    return StorePlanChange(ctx, book, entry);
}

void PlanMachine(Context& ctx)
{
    // A manual load says what it booked: the user chose the week and sees no agenda here.
    if (PlanOneMachine(ctx, ctx.st.CurrentMachine.Codigo) != PlanOutcome::Loaded || !IsLoad(ctx))
        return;
    const PlanningState& p = Planning(ctx);
    ctx.ui.ShowMessage(QStringLiteral("MÁQUINA %1 CARGADA EN PLANING DESDE LA SEMANA %2: %3 SEMANAS CARGADAS")
                           .arg(p.PlanEntry.Code.str())
                           .arg(p.PlanEntry.StartWeek.get())
                           .arg(p.BookedWeeks));
}

bool MatchesLineFilter(const QString& filterText, const QString& code)
{
    const qsizetype from = filterText.lastIndexOf(QLatin1Char('*')) + 1;
    const QString filter = filterText.mid(from);
    return code.mid(from, filter.size()) == filter;
}

void AutoLoadPlanning(Context& ctx)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    st.InteractiveFlag = 0;
    p.PlanMode = ctx.ui
                     .InputBox(QString::fromLatin1(kPlanningCaption),
                               QStringLiteral("CODIGO DE LÍNEA/ZONA ( * Todas)"), QStringLiteral("#"))
                     .left(kModeWidth);
    if (p.PlanMode == QLatin1String("#"))
        return;
    if (Is(st.ActionCode, "S")) {
        const QString typed = ctx.ui.InputBox(QString::fromLatin1(kPlanningCaption),
                                              QStringLiteral("Semana Síncronismo"), QStringLiteral("0"));
        p.SyncWeek = static_cast<std::uint16_t>(ReadTypedNumber(st, typed, st.FileName(DataFile::Agenda)));
    }
    if (!ctx.ui.AskOkCancel(QStringLiteral("CONFIRME LA CARGAR DE PLANING AUTOMÁTICA")))
        return;
    if (Is(st.AnswerCode, "C")) {
        st.AnswerCode2 = ctx.ui
                             .InputBox(QString::fromLatin1(kBalanceCaption),
                                       QString::fromLatin1(kBalancePrompt), QStringLiteral("N"))
                             .left(2);
        p.BiannualBalance = Is(st.AnswerCode2, "N") ? 0 : 1;
    }

    const QString filter = p.PlanMode;
    if (const std::optional<std::vector<TMachineRecord>> machines = KeyedFile<MachineFile>(ctx).Read()) {
        const std::vector<TMachineRecord>& records = *machines;
        ProgressScope progress(ctx, QStringLiteral("AVANCE CARGA DE DATOS MAQUINAS EN PLANING"),
                               static_cast<int>(records.size()));
        BookScope scope(ctx);
        for (std::size_t i = 0; i < records.size(); ++i) {
            const TMachineRecord& machine = records[i];
            ctx.ui.SetProgress(static_cast<int>(i + 1));
            if (!MatchesLineFilter(filter, machine.Codigo.str()))
                continue;
            PlanOneMachine(ctx, machine.Codigo);
            if (scope.book().failed)
                break;
        }
    }
    st.AnswerCode.clear();
}

void ShiftStartWeekFromEnvironment(Context& ctx, int sourceFirstYear)
{
    PlanningState& p = Planning(ctx);
    const int shift = (static_cast<int>(ctx.st.FirstYear) - sourceFirstYear) * 4;
    int week = p.PlanEntry.StartWeek.get() - shift;
    // Whatever the shift, the week stays on its place in the cycle.
    if (week < 0) {
        const int cycle = std::max<int>(p.BalanceCycle, 1);
        week = (week % cycle + cycle) % cycle;
    }
    p.PlanEntry.StartWeek = static_cast<std::uint16_t>(week);
}

void ContinuePlanFromEnvironment(Context& ctx)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    const QString source = ctx.ui.InputBox(QString::fromLatin1(kPlanningCaption),
                                           QStringLiteral("ENTORNO Planing de Inicio "), QStringLiteral("#"));
    st.AnswerCode2 = ctx.ui
                         .InputBox(QString::fromLatin1(kBalanceCaption), QString::fromLatin1(kBalancePrompt),
                                   QStringLiteral("N"))
                         .left(2);
    p.BalanceCycle = Is(st.AnswerCode2, "N") ? kMaintenanceYearWeeks : kBiannualCycle;
    if (!IsSafeEnvironmentCode(source))
        return;

    const std::optional<std::vector<TPlanRecord>> entries =
        KeyedFile<PlanFile>(ctx, BuildDataFileName(source, ".PLN")).Read(Report::Silent);
    if (!entries)
        return;
    // Without the source's first year the start weeks cannot keep their rhythm: nothing is carried.
    int sourceFirstYear = 0;
    {
        RecordFile<TPlanYearsRecord> years(ctx);
        if (!NoteIoResult(ctx, years.Open(BuildDataFileName(source, ".LON"), RawRecordFile::Mode::Read),
                          Report::Show))
            return;
        if (years.Count() == 0) {
            NoteIoResult(ctx, {IoCode::DiskRead, years.path()}, Report::Show);
            return;
        }
        sourceFirstYear = years.Read(0).FirstYear;
    }

    ProgressScope progress(ctx, QStringLiteral("AVANCE CARGA DE DATOS PLANING"),
                           static_cast<int>(entries->size()) - 1);
    BookScope scope(ctx);
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const TPlanRecord& entry = (*entries)[i];
        ctx.ui.SetProgress(static_cast<int>(i));
        // An entry erased in the source plan does not come along.
        if (entry.Code == "Z")
            continue;
        p.PlanEntry = entry;
        ShiftStartWeekFromEnvironment(ctx, sourceFirstYear);
        PlanOneMachine(ctx, entry.Code);
        if (scope.book().failed)
            break;
    }
}

void BeginPlanBatch(Context& ctx)
{
    Planning(ctx).batchBook = std::make_shared<PlanBook>(ctx);
}

void EndPlanBatch(Context& ctx)
{
    Planning(ctx).batchBook.reset();
}

void PlanImportedMachine(Context& ctx)
{
    PlanImportedMachine(ctx, Planning(ctx).ImportedPlanEntry);
}

bool PlanImportedMachine(Context& ctx, const TPlanRecord& entry)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    p.ImportedPlanEntry = entry;
    p.PlanMode = QString::fromLatin1(kImported);
    st.ActionCode = QStringLiteral("i");
    st.AnswerCode = QStringLiteral("C");
    // The batch's book serves this machine only: an import that stopped half-way leaves nothing open for
    // the next command.
    struct Lend
    {
        PlanningState& p;
        PlanBook* const before = p.book;
        ~Lend() { p.book = before; }
    } lend{p};
    if (!p.book && p.batchBook)
        p.book = p.batchBook.get();
    return PlanOneMachine(ctx, entry.Code) == PlanOutcome::Loaded;
}

void UnloadMachineForRoutineEdit(Context& ctx, TPlanRecord& entry)
{
    const PlanOutcome outcome = PlanOneMachine(ctx, entry.Code);
    ListAnnualPlan(ctx);
    // The routine of a machine the plan could not let go of is not changed.
    if (outcome != PlanOutcome::Unloaded)
        entry.Code = "#";
}

void ReloadMachineAfterRoutineEdit(Context& ctx, const TPlanRecord& entry)
{
    Planning(ctx).EditorStartWeek = entry.StartWeek.get();
    PlanOneMachine(ctx, entry.Code);
    ListAnnualPlan(ctx);
}

void UnloadPlannedMachine(Context& ctx)
{
    UnloadMachineForRoutineEdit(ctx, Routines(ctx).EditorPlanEntry);
}

void ReloadPlannedMachine(Context& ctx)
{
    ReloadMachineAfterRoutineEdit(ctx, Routines(ctx).EditorPlanEntry);
}

} // namespace gim
