#include "preventive/plan_control.h"

#include "core/context.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "platform/report.h"
#include "preventive/annual_plan.h"
#include "preventive/gama_times.h"
#include "preventive/plan_time.h"
#include "preventive/revision_card.h"
#include "records/cp1252.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

namespace gim {

namespace {

constexpr int kNameWidth = 34;
constexpr int kLongestTolerance = 5;
constexpr int kLastWeekOfYear = kWeeksPerYear;
const QString kTitle = QStringLiteral("CONTROL PLANING");
const QString kHeader =
    QStringLiteral("\tCodig\t Nombre de la Máquina\tF\tE\tS\tAñ\tTE\tTP\tTD\tEjec\tComentarios");

bool IsMode(const QString& code, std::initializer_list<const char*> modes)
{
    return std::any_of(modes.begin(), modes.end(), [&](const char* m) { return code == QLatin1String(m); });
}

// Frequency codes ordered as the texts they hold, on their stored bytes: the bytes order the same way
// unless one is 0x80 to 0x9F, which decodes above the rest of the page. The search compares codes of
// every revision it meets, and decoding each costs more than the search.
int CompareCodes(std::string_view a, std::string_view b)
{
    const auto ordersAsBytes = [](std::string_view s) {
        return std::none_of(s.begin(), s.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 0x80 && u < 0xA0;
        });
    };
    if (ordersAsBytes(a) && ordersAsBytes(b)) {
        const std::strong_ordering o = CompareCp1252(a, b);
        return o < 0 ? -1 : o > 0 ? 1 : 0;
    }
    return QString::compare(FromCp1252(a), FromCp1252(b));
}

// How many weeks either way an execution of the planned frequency may lie, by its frequency: none below a
// month, one for a month, up to five for a year or longer. A route execution is taken in its week only.
int Tolerance(const TRevisionRecord& rec, std::string_view plannedFrequency, bool lateOrEarly)
{
    const std::string_view f = rec.Frequency.bytes();
    if (rec.State == "ER" || !lateOrEarly || f != plannedFrequency)
        return 0;
    if (CompareCodes(f, "M") < 0)
        return 0;
    if (f == "M")
        return 1;
    if (CompareCodes(f, "M4") < 0)
        return 2;
    if (CompareCodes(f, "S") < 0)
        return 3;
    if (f == "S")
        return 4;
    return kLongestTolerance;
}

// A plan machine passes the pattern when it has the characters after the pattern's last "*" at the
// same places.
bool PassesMachinePattern(const QString& code, const QString& pattern)
{
    const int star = static_cast<int>(pattern.lastIndexOf(QLatin1Char('*')));
    const QString tail = pattern.mid(star + 1);
    return code.mid(star + 1, tail.size()) == tail;
}

QString HoursAndMinutes(std::uint32_t minutes)
{
    return QString::number(minutes / 60) + QStringLiteral("Hrs. ") + QString::number(minutes % 60) +
           QStringLiteral("Mn.");
}

// A machine of the plan as the control needs it, looked up once for the whole range.
using PlanMachine = PlanControlSource::Machine;

struct Range
{
    int first = 0;
    int last = 0;
};

void WriteHeader(ReportDocument& report)
{
    report.SetFontSize(11);
    report.AddLine(kHeader);
    report.AddLine(QStringLiteral("\r"));
    report.SetFontSize(8);
    report.SetStyle(FontStyle::Normal);
}

void WriteSummary(Context& ctx, ReportDocument& report, const Range& weeks, const PlanControlState& f)
{
    const QString year = QString::number(ctx.st.WorkYear + kYearOffset);
    report.AddLine(QStringLiteral("\r"));
    report.SetFontSize(12);
    report.SetStyle(FontStyle::Bold);
    const bool onTarget = static_cast<double>(f.GE) * 100.0 / static_cast<double>(f.GP) >= 60.0;
    report.SetColour(onTarget ? kReportBlack : kReportBlue);
    const QString span = weeks.first == weeks.last
                             ? QString::number(weeks.first)
                             : QString::number(weeks.first) + QLatin1Char('-') + QString::number(weeks.last);
    report.AddLine(QStringLiteral("\t\tRESUMEN SEMANAL ") + span + QLatin1Char('/') + year);
    if (f.RouteMinutes > 0)
        report.AddLine(QStringLiteral("\t\tOcupación en RUTAS de MTO. en MÁQUINAS DEL PLAN SEMANAL ") +
                       QString::number(weeks.first) + QLatin1Char('/') + year + QStringLiteral(": ") +
                       QString::number(f.RouteMinutes) + QStringLiteral(" mn"));
    report.AddLine(QString());
    report.AddLine(QString());
    report.AddLine(QStringLiteral("\t\tGAMAS PROGRAMADAS (GP) :\t") + QString::number(f.GP));
    report.AddLine(QStringLiteral("\t\tGAMAS EJECUTADAS (GE) :\t") + QString::number(f.GE));
    report.AddLine(QStringLiteral("\t\tGAMAS RE_PENDIENTES :\t") + QString::number(f.RePending));
    report.AddLine(QStringLiteral("\t\t\t\t\t\t\tRATIO DE EJECUTADAS (%RG=GE/GP):\t") +
                   QString::number(Pct(f.GE, f.GP)) + QStringLiteral("% "));
    report.AddLine(QStringLiteral("\t\t\t\t\t\t\tRATIO DE GAMAS RE_PENDIENTES :\t") +
                   QString::number(Pct(f.RePending, f.GP)) + QStringLiteral("% "));
    report.AddLine(QStringLiteral("\r"));
    report.AddLine(QStringLiteral("\t\tTOTAL TIEMPO PROGRAMADO PLAN SEMANAL  (TPS) : \t") +
                   HoursAndMinutes(f.TPS));
    report.AddLine(QStringLiteral("\t\tTOTAL TIEMPO PROGRAMADO GAMAS EJECUC. (TPG) : \t") +
                   HoursAndMinutes(f.TPG));
    report.AddLine(QStringLiteral("\t\tTOTAL TIEMPO DEDICADO EJECUCION GAMAS (TE) : \t") +
                   HoursAndMinutes(f.TE));
    report.AddLine(QStringLiteral("\t\t\t\t\t\t\tRATIO DEDICACIÓN AL PLAN SEMANAL   TE/TPS:\t") +
                   QString::number(Pct(f.TE, f.TPS)) + QLatin1Char('%'));
    if (f.TPG > 0)
        report.AddLine(QStringLiteral("\t\t\t\t\t\t\tRATIO DEDICACIÓN GAMAS EJECUTADAS  TE/TPG:\t") +
                       QString::number(Pct(f.TE, f.TPG)) + QLatin1Char('%'));
    report.AddLine(QStringLiteral("\r"));
}

} // namespace

std::uint32_t Pct(std::uint64_t a, std::uint64_t b)
{
    return b == 0 ? 0 : static_cast<std::uint32_t>(static_cast<double>(a) * 100.0 / static_cast<double>(b));
}

int AskControlWeek(Context& ctx, const QString& title, const QString& prompt, const QString& defaultWeek)
{
    const QString answer = ctx.ui.InputBox(title, prompt, defaultWeek);
    const std::int64_t week = ReadTypedNumber(ctx.st, answer, ctx.st.FileName(DataFile::Plan));
    return static_cast<int>(std::min<std::int64_t>(week, kLastWeekOfYear));
}

void AskControlYear(Context& ctx, const QString& title)
{
    State& st = ctx.st;
    const QString year =
        ctx.ui.InputBox(title,
                        QStringLiteral("AÑO ") + QString::number(st.FirstYear + kYearOffset) +
                            QStringLiteral(" a ") + QString::number(st.LastYear + kYearOffset),
                        st.YearText);
    // A year before the plan lists its first year; no year wraps round in its 16 bits.
    const std::int64_t typedYear = ReadTypedNumber(st, year, st.FileName(DataFile::Plan)) - kYearOffset;
    st.WorkYear = static_cast<std::uint16_t>(
        std::clamp<std::int64_t>(typedYear, st.FirstYear, std::numeric_limits<std::uint16_t>::max()));
}

PlanControlSource::PlanControlSource(Context& ctx, const std::vector<TPlanRecord>& plan,
                                     const QString& pattern)
    : index(Revisions(ctx).RevisionList), gamaTimes(ctx)
{
    // The register is read once for every planned machine; FoundMachine is left holding the last, as a
    // look-up of each would leave it.
    const MachineIndex machineIndex(ctx, Report::Show, Report::Silent);
    machines.reserve(plan.size());
    for (const TPlanRecord& planned : plan) {
        PlanMachine m;
        m.entry = planned;
        m.code = planned.Code.str();
        TMachineRecord found = machineIndex.Find(planned.Code);
        m.name = found.Denominacion.str();
        m.available = !(found.Denominacion == kMachineNotFound) && found.Disponible == "SI";
        m.passes = PassesMachinePattern(m.code, pattern);
        machines.push_back(std::move(m));
        ctx.st.FoundMachine = std::move(found);
    }
}

QString FrequencyDueInWeek(const State& st, std::uint16_t startWeek, std::uint16_t week)
{
    return PlanFrequencyDue(st, startWeek, week);
}

RevisionIndex::RevisionIndex(const std::vector<RevisionEntry>& list) : m_list(list)
{
    std::unordered_map<std::string, std::vector<std::uint32_t>> byMachine;
    for (std::size_t i = 0; i < list.size(); ++i)
        byMachine[std::string(list[i].rec.MachineCode.bytes())].push_back(static_cast<std::uint32_t>(i));
    m_revisions.reserve(list.size());
    for (const auto& [code, mine] : byMachine) {
        const auto first = static_cast<std::uint32_t>(m_revisions.size());
        for (const std::uint32_t i : mine)
            m_revisions.push_back({static_cast<int>(list[i].rec.Week.get()), i});
        m_byMachine.emplace(code, std::pair{first, static_cast<std::uint32_t>(m_revisions.size())});
    }
}

RevisionIndex::Mode::Mode(const QString& actionCode)
    : ratio(actionCode == QLatin1String("1")), lateOrEarly(IsMode(actionCode, {"1", "0", "M"})),
      anyFrequency(IsMode(actionCode, {"2", "3"})), routes(actionCode == QLatin1String("3"))
{
}

GamaExecution RevisionIndex::Find(const PlannedGama& gama, const QString& actionCode) const
{
    TRevisionRecord code{};
    code.MachineCode = gama.code;
    return Find(code.MachineCode.bytes(), ToCp1252(gama.frequency), gama.week, gama.period, Mode(actionCode));
}

GamaExecution RevisionIndex::Find(std::string_view machine, std::string_view frequency, int plannedWeek,
                                  int period, const Mode& mode) const
{
    GamaExecution out;
    out.revision.MachineCode = " ";
    out.revision.State = "P";
    out.revision.Executor = " ";
    const auto it = m_byMachine.find(std::string(machine));
    if (it == m_byMachine.end())
        return out;
    const auto mineBegin = m_revisions.begin() + it->second.first;
    const auto mineEnd = m_revisions.begin() + it->second.second;
    const bool ratioMode = mode.ratio;
    const bool lateOrEarly = mode.lateOrEarly;
    // The machine's revisions from `newest` down to `oldest` weeks, newest first as the list holds them.
    const auto span = [&](int newest, int oldest) {
        const auto from =
            std::partition_point(mineBegin, mineEnd, [&](const Revision& r) { return r.week > newest; });
        const auto to =
            std::partition_point(from, mineEnd, [&](const Revision& r) { return r.week >= oldest; });
        return std::pair{from, to};
    };

    // The previous period: a revision of this gama or a longer one, one period before. Mode "1" never
    // looks further back than five weeks.
    const int previous = plannedWeek - period;
    if (!ratioMode || previous >= plannedWeek - kLongestTolerance) {
        const auto [from, to] = span(previous, previous);
        for (auto i = from; i != to; ++i)
            if (CompareCodes(m_list[i->at].rec.Frequency.bytes(), frequency) >= 0)
                out.previousPeriod = true;
    }

    const auto [from, to] = span(plannedWeek + kLongestTolerance, plannedWeek - kLongestTolerance);
    const bool anyFrequency = mode.anyFrequency;
    const bool routes = mode.routes;
    for (auto i = from; i != to; ++i) {
        const TRevisionRecord& rec = m_list[i->at].rec;
        const int tolerance = Tolerance(rec, frequency, lateOrEarly);
        if (std::abs(i->week - plannedWeek) > tolerance)
            continue;
        if (!(rec.Frequency.bytes() == frequency || anyFrequency))
            continue;
        const bool route = rec.State == "ER";
        if (!route && !routes) {
            out.revision = rec;
            out.found = true;
            out.executedTime += rec.Time.get();
        } else if (route && routes) {
            out.revision = rec;
            out.found = true;
            out.routeTime += rec.Time.get();
        }
    }
    if (out.found && routes && out.revision.State == "ER")
        out.revision.Time = static_cast<std::uint16_t>(out.executedTime);
    return out;
}

GamaExecution FindPlannedGamaExecution(Context& ctx, const RevisionIndex& index, const PlannedGama& gama)
{
    GamaExecution found = index.Find(gama, ctx.st.ActionCode);
    NoteGamaExecution(ctx, found);
    return found;
}

void NoteGamaExecution(Context& ctx, const GamaExecution& found)
{
    ctx.st.RunFlag = found.found ? 1 : 0;
}

PlanControlState& PlanControl(Context& ctx)
{
    return ctx.Module<PlanControlState>();
}

namespace {

// The control on the source given, or on one read here for this command.
void RunPlanControl(Context& ctx, const PlanControlSource* shared)
{
    State& st = ctx.st;
    std::optional<std::vector<TPlanRecord>> plan;
    if (!shared) {
        plan = KeyedFile<PlanFile>(ctx).Read();
        if (!plan)
            return;
    }
    const bool listing = IsMode(st.OutputCode, {"C", "P"});
    const bool entry = st.OutputCode == QLatin1String("P");
    const bool ratioWeek = st.ActionCode == QLatin1String("1");

    Range weeks{st.WorkWeek, st.WorkWeek};
    QString pattern = QStringLiteral("*");
    if (listing) {
        weeks.first =
            AskControlWeek(ctx, kTitle, QStringLiteral("INTRODUZCA SEMANA INICIAL (0 a 52)"), st.WeekText);
        weeks.last =
            AskControlWeek(ctx, kTitle, QStringLiteral("INTRODUZCA SEMANA FINAL (0 a 52)"), st.WeekText);
        AskControlYear(ctx, kTitle);
        if (st.ActionCode == QLatin1String("M"))
            pattern = ctx.ui.InputBox(kTitle, QStringLiteral("Codigo de Maquina: "), QStringLiteral("*"));
    }
    if (!ratioWeek)
        LoadRevisionList(ctx);
    std::optional<PlanControlSource> own;
    const PlanControlSource& source = shared ? *shared : own.emplace(ctx, *plan, pattern);
    const RevisionIndex& index = source.index;
    const GamaTimeTable& gamaTimes = source.gamaTimes;
    const std::vector<PlanMachine>& machines = source.machines;

    std::shared_ptr<ReportDocument> report;
    if (listing) {
        report = std::make_shared<ReportDocument>(QStringLiteral("HISTORIAL"));
        report->SetTabStops({15, 60, 230, 248, 260, 280, 310, 333, 355, 375, 410});
        report->SetFontSize(12);
        report->SetStyle(FontStyle::Bold);
        report->AddLine(QLatin1Char('\t') + st.FirmName + QLatin1Char('\t') + kTitle +
                        QStringLiteral("\t\t") + st.CurrentEnvironment + QLatin1Char('\t') + st.TodayText);
        report->AddLine(QStringLiteral("\r"));
        WriteHeader(*report);
    }
    const CardSpec spec = listing ? RevisionCardSpec(ctx, RevisionCardRole::Plan) : CardSpec{};
    const QString yearText = QString::number(st.WorkYear + kYearOffset);

    PlanControlState& f = PlanControl(ctx);
    f = PlanControlState{};
    ReportLineText text;
    // Worked out once for the walk, not for every machine and week: the frequency due at each distance
    // from a machine's start week, each machine's code as the history stores it and its gama times.
    struct Due
    {
        QString frequency;
        std::string bytes;
        int period = 0;
    };
    std::unordered_map<int, Due> dueAt;
    std::vector<std::string> searchCodes;
    std::vector<std::vector<std::pair<QString, GamaTimes>>> timesOf(machines.size());
    searchCodes.reserve(machines.size());
    for (const PlanMachine& m : machines) {
        TRevisionRecord stored{};
        stored.MachineCode = m.code;
        searchCodes.emplace_back(stored.MachineCode.bytes());
    }
    const RevisionIndex::Mode mode(st.ActionCode);
    for (int week = weeks.first; week <= weeks.last; ++week) {
        const int plannedWeek = AbsoluteWeek(st, st.WorkYear, week);
        const QString weekText = QString::number(week);
        int line = 0;
        for (std::size_t k = 0; k < machines.size(); ++k) {
            const PlanMachine& m = machines[k];
            if (!m.available || !m.passes)
                continue;
            // The due rule reads the weeks in 16 bits, and only their distance.
            const auto walked = static_cast<std::uint16_t>(plannedWeek);
            auto [at, added] = dueAt.try_emplace(int{walked} - int{m.entry.StartWeek.get()});
            Due& due = at->second;
            if (added) {
                due.frequency = FrequencyDueInWeek(st, m.entry.StartWeek.get(), walked);
                due.bytes = ToCp1252(due.frequency);
                due.period = FrequencyPeriodWeeks(due.frequency);
            }
            const QString& frequency = due.frequency;
            if (frequency == QLatin1String(kNothingDue))
                continue;
            std::vector<std::pair<QString, GamaTimes>>& known = timesOf[k];
            auto timesAt =
                std::find_if(known.begin(), known.end(), [&](const auto& t) { return t.first == frequency; });
            if (timesAt == known.end())
                timesAt = known.insert(
                    known.end(), {frequency, gamaTimes.Sum(MachineCode(m.code), FrequencyCode(frequency))});
            const GamaTimes times = timesAt->second;
            if (times.gama == 0)
                continue;
            const GamaExecution found = index.Find(searchCodes[k], due.bytes, plannedWeek, due.period, mode);
            NoteGamaExecution(ctx, found);
            ++f.GP;
            f.TPS += times.gama;
            if (found.found) {
                if (found.revision.State.bytes().starts_with('E')) {
                    ++f.GE;
                    f.TPG += times.gama;
                }
                f.TE += found.revision.Time.get();
                f.RouteMinutes += found.routeTime;
            }
            if (!listing)
                continue;

            // The gama on the card: the week walked, not the first of the range.
            RevisionForm form;
            form.rec.MachineCode = m.code;
            form.rec.Frequency = frequency;
            form.rec.State = "P";
            form.rec.Executor = "..";
            form.rec.Comment = "..";
            form.machineName = m.name;
            form.week = weekText;
            form.year = yearText;
            if (found.found) {
                form.rec.State = found.revision.State;
                form.rec.Executor = found.revision.Executor;
                form.rec.Comment = found.revision.Comment;
                form.minutes = found.revision.Time;
            }
            if (entry) {
                const int result = RevisionCardBinding(false).Run(
                    ctx.ui, spec, form, RevisionCardState(RevisionCardRole::Plan, false, found.found),
                    {CardResult::Save, CardResult::Delete});
                if (result == CardResult::Exit) {
                    st.CardSaved = 0;
                    break;
                }
                st.CardSaved = 1;
                if (result == CardResult::Save) {
                    TRevisionRecord rec{};
                    rec.MachineCode = m.code;
                    TakeRevisionCardValues(ctx, form, rec);
                    if (rec.Comment == ".." && rec.State == "P")
                        rec.Comment = "Pendiente sin justificar";
                    form.rec.Comment = rec.Comment;
                    // Whoever did it, an employee or an outside contractor, the revision is stored; only a
                    // revision stored counts as executed.
                    if (AppendRevision(ctx, rec) && rec.State == "E") {
                        ++f.GE;
                        f.TE += rec.Time.get();
                    }
                }
            }

            const ShortString<2>& state = form.rec.State;
            if (state == "P") {
                report->SetColour(found.previousPeriod ? kReportBlue : kReportRed);
                if (!found.previousPeriod)
                    ++f.RePending;
            } else if (state == "E") {
                report->SetColour(kReportBlack);
            } else if (state == "ER") {
                report->SetColour(kReportOlive);
            }
            ++f.ListedGamas;
            text << ++line;
            text.Tab() << m.code;
            text.Tab() << QStringView(m.name).left(kNameWidth);
            text.Tab() << frequency;
            text.Tab() << state;
            text.Tab() << form.week;
            text.Tab() << form.year;
            text.Tab() << form.minutes.get();
            text.Tab() << times.gama;
            text.Tab() << times.stop;
            text.Tab() << form.rec.Executor;
            text.Tab() << form.rec.Comment;
            text.AddTo(*report);
        }
        if (listing && pattern == QLatin1String("*") && week < weeks.last) {
            report->SetColour(kReportBlack);
            report->AddLine(QString());
            report->AddLine(QString());
            report->SetStyle(FontStyle::Bold);
            WriteHeader(*report);
        }
    }
    if (listing) {
        if (f.TPS > 0)
            WriteSummary(ctx, *report, weeks, f);
        ctx.ui.ShowReport(report);
        st.ActionCode.clear();
    }
    if (entry)
        FreeRevisionList(ctx);
}

} // namespace

void ControlPlan(Context& ctx)
{
    RunPlanControl(ctx, nullptr);
}

void ControlPlanWeek(Context& ctx, const PlanControlSource& source)
{
    RunPlanControl(ctx, &source);
}

} // namespace gim
