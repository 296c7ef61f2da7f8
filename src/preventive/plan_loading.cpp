#include "preventive/plan_loading.h"

#include "core/context.h"
#include "core/environment.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/record_file.h"
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

// The files of one planning operation. An automatic load runs through thousands of machines: the plan file
// and the agenda are read once and looked up in memory, every change is written through to its record at
// once (the files stay as up to date as machine by machine), and the operation file stays open to be
// searched by halves.
class PlanBook
{
public:
    explicit PlanBook(Context& ctx) : m_ctx(ctx) {}

    // Set when a file the operation cannot do without could not be opened; the automatic loads stop.
    bool failed = false;

    // The first entry of the plan file with this code.
    struct Entry
    {
        std::size_t position;
        TPlanRecord rec;
    };
    std::optional<Entry> FindEntry(const ShortString<8>& code)
    {
        LoadPlan();
        const auto it = m_byCode.find(std::string(code.bytes()));
        if (it == m_byCode.end() || it->second.empty())
            return std::nullopt;
        const std::size_t position = it->second.front();
        return Entry{position, m_plan[position]};
    }
    // Whether the plan file could be opened; its error is shown once, when `report` asks for it.
    bool PlanOpened(bool report)
    {
        LoadPlan();
        if (!m_planFile.IsOpen() && report && !m_planReported) {
            m_planReported = true;
            ShowIOError(m_ctx, m_planError);
        }
        return m_planFile.IsOpen();
    }
    // Marks an entry erased where it stands; the rest of its bytes stay.
    void EraseEntry(std::size_t position)
    {
        TPlanRecord& rec = m_plan[position];
        Forget(rec.Code, position);
        rec.Code = "Z";
        Remember(rec.Code, position);
        m_planFile.Write(position, rec);
    }
    // Appends a new entry, creating the plan file when there is none. False when it could not be opened.
    bool AppendEntry(const TPlanRecord& rec)
    {
        LoadPlan();
        if (!m_planFile.IsOpen()) {
            const QString& name = m_ctx.st.FileName(DataFile::Plan);
            // A plan file that is there but would not open is reported, never created anew.
            const bool exists = DataFileExists(m_ctx, name);
            if (!m_planFile.Open(name, exists ? RawRecordFile::Mode::Reset : RawRecordFile::Mode::Rewrite))
                return false;
            m_plan = m_planFile.ReadAll();
            Index();
        }
        const std::size_t position = m_plan.size();
        m_planFile.Write(position, rec);
        m_plan.push_back(rec);
        Remember(rec.Code, position);
        return true;
    }

    // The agenda's weeks; nothing when it could not be opened (shown once when `report` asks for it).
    const std::vector<TAgendaRecord>* Agenda(bool report)
    {
        if (!m_agendaTried) {
            m_agendaTried = true;
            if (m_agendaFile.Open(m_ctx.st.FileName(DataFile::Agenda), RawRecordFile::Mode::Reset, false))
                m_agenda = m_agendaFile.ReadAll();
            else
                m_agendaError = m_ctx.st.LastIOResult;
        }
        if (!m_agendaFile.IsOpen() && report && !m_agendaReported) {
            m_agendaReported = true;
            ShowIOError(m_ctx, m_agendaError);
        }
        return m_agendaFile.IsOpen() ? &m_agenda : nullptr;
    }
    // Books minutes per week: added to the planned minutes and taken from the free ones on a load, the
    // reverse on an unload. Both fields keep 16 bits, so an unload gives back the very bytes of before.
    void BookMinutes(const std::vector<std::uint16_t>& minutesByWeek, bool load)
    {
        for (std::size_t week = 0; week < minutesByWeek.size(); ++week) {
            const std::uint16_t minutes = minutesByWeek[week];
            if (minutes == 0)
                continue;
            TAgendaRecord& rec = m_agenda[week];
            const int sign = load ? 1 : -1;
            const auto planned = static_cast<std::uint16_t>(rec.PlannedMinutes.get());
            rec.PlannedMinutes =
                static_cast<std::int16_t>(static_cast<std::uint16_t>(planned + sign * minutes));
            rec.FreeMinutes = static_cast<std::uint16_t>(rec.FreeMinutes.get() - sign * minutes);
            m_agendaFile.Write(week, rec);
        }
    }

    // The operation file, sorted by machine code; nothing when it could not be opened (shown each time).
    const RecordFile<TOperationRecord>* Operations()
    {
        if (!m_operationsFile.IsOpen() &&
            !m_operationsFile.Open(m_ctx.st.FileName(DataFile::Operation), RawRecordFile::Mode::Reset))
            return nullptr;
        return &m_operationsFile;
    }

private:
    void LoadPlan()
    {
        if (m_planTried)
            return;
        m_planTried = true;
        if (m_planFile.Open(m_ctx.st.FileName(DataFile::Plan), RawRecordFile::Mode::Reset, false))
            m_plan = m_planFile.ReadAll();
        else
            m_planError = m_ctx.st.LastIOResult;
        Index();
    }
    void Index()
    {
        m_byCode.clear();
        for (std::size_t i = 0; i < m_plan.size(); ++i)
            Remember(m_plan[i].Code, i);
    }
    // Positions of each code in file order: the first one is the entry a scan from the start meets.
    void Remember(const ShortString<8>& code, std::size_t position)
    {
        std::vector<std::size_t>& positions = m_byCode[std::string(code.bytes())];
        positions.insert(std::upper_bound(positions.begin(), positions.end(), position), position);
    }
    void Forget(const ShortString<8>& code, std::size_t position)
    {
        std::vector<std::size_t>& positions = m_byCode[std::string(code.bytes())];
        positions.erase(std::remove(positions.begin(), positions.end(), position), positions.end());
    }

    Context& m_ctx;
    RecordFile<TPlanRecord> m_planFile{m_ctx};
    std::vector<TPlanRecord> m_plan;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byCode;
    bool m_planTried = false;
    bool m_planReported = false;
    std::uint8_t m_planError = 0;

    RecordFile<TAgendaRecord> m_agendaFile{m_ctx};
    std::vector<TAgendaRecord> m_agenda;
    bool m_agendaTried = false;
    bool m_agendaReported = false;
    std::uint8_t m_agendaError = 0;

    RecordFile<TOperationRecord> m_operationsFile{m_ctx};
};

namespace {

constexpr const char* kManual = "MANUAL";
constexpr const char* kEditor = "EDITOR";
constexpr const char* kCarried = "CONTI";
constexpr const char* kImported = "IMPOR";
constexpr const char* kPlanningCaption = "PLANIFICACION DE MAQUINAS";
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

// The progress window of a run over many machines, closed on every way out.
class ProgressScope
{
public:
    ProgressScope(Context& ctx, const char* caption, int maximum) : m_ctx(ctx)
    {
        ctx.ui.BeginProgress(QString::fromLatin1(caption), maximum);
    }
    ~ProgressScope() { m_ctx.ui.EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    Context& m_ctx;
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
    return !(st.FoundMachine.Denominacion == kMachineNotFound);
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
        p.ProposedStartWeek = Routines(ctx).EditorPlanEntry.StartWeek.get();
    else if (Is(p.PlanMode, kCarried))
        p.ProposedStartWeek = p.CarriedStartWeek;
    else
        FindLeastLoadedWeek(ctx);
}

// Obtains the code, looks the machine up and, on a load, settles its start week. False when the machine
// is not to be planned (the reason was shown).
bool AskPlanMachine(Context& ctx, PlanBook& book)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    if (Is(p.PlanMode, kManual))
        p.PlanEntry.Code = ctx.ui.InputBox(QString::fromLatin1(kPlanningCaption),
                                           QStringLiteral("CODIGO DE MAQUINA "), QStringLiteral("#"));
    else
        p.PlanEntry.Code.assign(st.CurrentMachine.Codigo);
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
    if (Is(p.PlanMode, kManual) || Is(st.ActionCode, "S") || st.InteractiveFlag == 1) {
        const QString typed = ctx.ui.InputBox(st.FoundMachine.Denominacion.str(),
                                              QStringLiteral("SEMANA CARGA INICIAL EN PLANING"),
                                              QString::number(p.ProposedStartWeek));
        week = ReadPlanInteger(st, typed, st.FileName(DataFile::Plan));
    }
    // A week outside the agenda would enter the plan without booking anything.
    if (week < 0 || week >= st.PlanWeeks) {
        ctx.ui.ShowMessage(QStringLiteral("SEMANA ") + QString::number(week) +
                           QStringLiteral(" FUERA DEL PLANING: 0 A ") + QString::number(st.PlanWeeks - 1));
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
    BookScope scope(ctx);
    const std::vector<TAgendaRecord>* agenda = scope.book().Agenda(false);
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

bool ApplyMachineLoad(Context& ctx)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    BookScope scope(ctx);
    PlanBook& book = scope.book();
    p.RoutineMinutes.fill(0);
    p.TotalRoutineMinutes = 0;

    const RecordFile<TOperationRecord>* operations = book.Operations();
    if (!operations) {
        book.failed = true;
        return false;
    }
    const std::size_t count = operations->Count();
    for (std::size_t i = FirstOperationOf(*operations, p.PlanEntry.Code); i < count; ++i) {
        const TOperationRecord rec = operations->Read(i);
        if (!(rec.MachineCode == p.PlanEntry.Code))
            break;
        SumRoutineMinutes(p, rec.Frequency.str(), rec.Minutes.get());
    }
    for (std::size_t i = 1; i <= kRoutineBuckets; ++i)
        p.TotalRoutineMinutes = static_cast<std::uint16_t>(p.TotalRoutineMinutes + p.RoutineMinutes[i]);
    if (!AnyRoutineMinutes(p))
        return true;

    const std::vector<TAgendaRecord>* agenda = book.Agenda(true);
    if (!agenda) {
        book.failed = true;
        return false;
    }
    // Every routine counts at every multiple of its own period from the start week on.
    const std::size_t weeks = std::min<std::size_t>(st.PlanWeeks, agenda->size());
    std::vector<std::uint16_t> minutesByWeek(weeks, 0);
    for (std::size_t i = 1; i <= kRoutineBuckets; ++i) {
        if (p.RoutineMinutes[i] == 0)
            continue;
        const auto period = static_cast<std::size_t>(RoutinePeriod(i));
        for (std::size_t week = p.PlanEntry.StartWeek.get(); week < weeks; week += period)
            minutesByWeek[week] = static_cast<std::uint16_t>(minutesByWeek[week] + p.RoutineMinutes[i]);
    }
    book.BookMinutes(minutesByWeek, p.PlanLoadFlag == 1);
    return true;
}

PlanOutcome PlanOneMachine(Context& ctx)
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

    if (!AskPlanMachine(ctx, book))
        return PlanOutcome::Nothing;

    const std::optional<PlanBook::Entry> entry = book.FindEntry(p.PlanEntry.Code);
    if (IsLoad(ctx)) {
        // A machine is never in the plan twice.
        if (entry) {
            if (!Is(st.ActionCode, "T"))
                ctx.ui.ShowMessage(QStringLiteral("NO PUEDE DARSE DE ALTA POR EXISTIR YA EN PLANING"));
            return PlanOutcome::Nothing;
        }
        if (!ApplyMachineLoad(ctx))
            return PlanOutcome::Nothing;
        // A machine without routine minutes is never entered in the plan.
        if (!AnyRoutineMinutes(p))
            return PlanOutcome::Nothing;
        TPlanRecord rec{};
        rec.Code.assign(p.PlanEntry.Code);
        rec.StartWeek = p.PlanEntry.StartWeek.get();
        if (!book.AppendEntry(rec))
            return PlanOutcome::Nothing;
        st.ContinueFlag = 1;
        return PlanOutcome::Loaded;
    }

    if (!entry)
        return PlanOutcome::Nothing;
    p.PlanFileEntry = entry->rec;
    if (Is(p.PlanMode, kManual) &&
        !ctx.ui.AskYesNo(QStringLiteral("CONFIRME LA DESCARGAR DE PLANING DE :") + p.PlanEntry.Code.str() +
                         QStringLiteral("  ") + QString::number(entry->rec.StartWeek.get())))
        return PlanOutcome::Nothing;
    if (!ApplyMachineLoad(ctx))
        return PlanOutcome::Nothing;
    book.EraseEntry(entry->position);
    st.ContinueFlag = 1;
    return PlanOutcome::Unloaded;
}

void PlanMachine(Context& ctx)
{
    PlanOneMachine(ctx);
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
        p.SyncWeek = static_cast<std::uint16_t>(ReadPlanInteger(st, typed, st.FileName(DataFile::Agenda)));
    }
    if (!ctx.ui.AskYesNo(QStringLiteral("CONFIRME LA CARGAR DE PLANING AUTOMÁTICA")))
        return;
    if (Is(st.AnswerCode, "C")) {
        st.AnswerCode2 = ctx.ui
                             .InputBox(QString::fromLatin1(kBalanceCaption),
                                       QString::fromLatin1(kBalancePrompt), QStringLiteral("N"))
                             .left(2);
        p.BiannualBalance = Is(st.AnswerCode2, "N") ? 0 : 1;
    }

    const QString filter = p.PlanMode;
    RecordFile<TMachineRecord> machines(ctx);
    if (machines.Open(st.FileName(DataFile::Machine), RawRecordFile::Mode::Reset)) {
        const std::vector<TMachineRecord> records = machines.ReadAll();
        machines.Close();
        ProgressScope progress(ctx, "AVANCE CARGA DE DATOS MAQUINAS EN PLANING",
                               static_cast<int>(records.size()));
        BookScope scope(ctx);
        for (std::size_t i = 0; i < records.size(); ++i) {
            const TMachineRecord& machine = records[i];
            st.CurrentMachine = machine;
            ctx.ui.SetProgress(static_cast<int>(i + 1));
            if (!MatchesLineFilter(filter, machine.Codigo.str()))
                continue;
            PlanOneMachine(ctx);
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

    std::vector<TPlanRecord> entries;
    {
        RecordFile<TPlanRecord> plan(ctx);
        if (!plan.Open(BuildDataFileName(source, ".PLN"), RawRecordFile::Mode::Reset, false))
            return;
        entries = plan.ReadAll();
    }
    // Without the source's first year the start weeks cannot keep their rhythm: nothing is carried.
    int sourceFirstYear = 0;
    {
        RecordFile<TPlanYearsRecord> years(ctx);
        if (!years.Open(BuildDataFileName(source, ".LON"), RawRecordFile::Mode::Reset))
            return;
        if (years.Count() == 0) {
            ShowIOError(ctx, IoCode::DiskRead);
            return;
        }
        sourceFirstYear = years.Read(0).FirstYear;
    }

    ProgressScope progress(ctx, "AVANCE CARGA DE DATOS PLANING", static_cast<int>(entries.size()) - 1);
    BookScope scope(ctx);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TPlanRecord& entry = entries[i];
        ctx.ui.SetProgress(static_cast<int>(i));
        // An entry erased in the source plan does not come along.
        if (entry.Code == "Z")
            continue;
        p.PlanEntry = entry;
        st.CurrentMachine.Codigo.assign(entry.Code);
        ShiftStartWeekFromEnvironment(ctx, sourceFirstYear);
        PlanOneMachine(ctx);
        if (scope.book().failed)
            break;
    }
}

void PlanImportedMachine(Context& ctx)
{
    State& st = ctx.st;
    PlanningState& p = Planning(ctx);
    p.PlanMode = QString::fromLatin1(kImported);
    st.ActionCode = QStringLiteral("i");
    st.AnswerCode = QStringLiteral("C");
    st.CurrentMachine.Codigo.assign(p.ImportedPlanEntry.Code);
    PlanOneMachine(ctx);
}

void InstallRoutinePlanHooks(Context& ctx)
{
    PlanHooks& hooks = Routines(ctx).plan;
    hooks.unloadMachine = [](Context& c) {
        const PlanOutcome outcome = PlanOneMachine(c);
        ListAnnualPlan(c);
        // The routine of a machine the plan could not let go of is not changed.
        if (outcome != PlanOutcome::Unloaded)
            Routines(c).EditorPlanEntry.Code = "#";
    };
    hooks.reloadMachine = [](Context& c) {
        PlanOneMachine(c);
        ListAnnualPlan(c);
    };
}

} // namespace gim
