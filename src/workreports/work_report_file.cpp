#include "workreports/work_report_file.h"

#include "core/command.h"
#include "core/context.h"
#include "core/date_range.h"
#include "core/lookups.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "masterdata/routines.h"

#include <QDate>
#include <QTime>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace gim {

namespace {

constexpr std::size_t kKeySize = 7 + 6;

// The key as one text: the date's characters, then the operator's.
std::size_t KeyText(const TWorkReportRecord& r, char (&key)[kKeySize])
{
    const std::string_view dia = r.dia.bytes();
    const std::string_view matricula = r.Matricula.bytes();
    std::memcpy(key, dia.data(), dia.size());
    std::memcpy(key + dia.size(), matricula.data(), matricula.size());
    return dia.size() + matricula.size();
}

// Week 00 of these years stood for the last week of the year before when the lines were entered; the
// stored lines and everything computed from them depend on this exact list.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kWeekZeroOfYear = {{
    {"09/00/", "08/52/"},
    {"08/00/", "07/52/"},
    {"07/00/", "06/52/"},
    {"06/00/", "05/52/"},
    {"05/00/", "04/52/"},
    {"04/00/", "03/52/"},
    {"03/00/", "02/52/"},
}};

// What the sorting rewrite puts right in each line it writes. Only the lengths change where a text
// becomes shorter: the bytes after them stay as they were.
void NormaliseForFile(TWorkReportRecord& r)
{
    const std::string_view dia = r.dia.bytes();
    for (const auto& [from, to] : kWeekZeroOfYear) {
        if (dia.substr(0, from.size()) == from) {
            std::memcpy(r.dia.chars, to.data(), to.size()); // the weekday stays
            break;
        }
    }
    if (r.Tipo == "MAT" || r.Tipo == "al")
        r.Tipo = "AL";
    if (r.SparePart == "ALMACEN_")
        r.SparePart = "";
    if (r.Orden == "0")
        r.Orden = "";
}

// The list the sort builds from the lines in the order they arrive (the file read from its end): the
// numbers of the lines it keeps, in list order.
std::vector<std::uint32_t> SortedLines(const std::vector<TWorkReportRecord>& arrived)
{
    std::vector<std::uint32_t> kept;
    kept.reserve(arrived.size());
    for (std::size_t i = 0; i < arrived.size(); ++i)
        if (!WorkReportFile::Deleted(arrived[i]))
            kept.push_back(static_cast<std::uint32_t>(i));
    OrderAsInserted(
        kept,
        [&arrived](std::uint32_t a, std::uint32_t b) { return WorkReportBefore(arrived[a], arrived[b]); },
        TieRule::HeadFirst);
    return kept;
}

// The entries of the sorted lines as the file holds them now: the file was read from its last record.
void FillList(std::vector<WorkReportEntry>& list, const std::vector<TWorkReportRecord>& arrived,
              const std::vector<std::uint32_t>& order)
{
    list.clear();
    list.reserve(order.size());
    const auto last = static_cast<std::uint32_t>(arrived.size() - 1);
    for (const std::uint32_t i : order)
        list.push_back({arrived[i], last - i});
}

// The rewrite of the file in list order, with the lines put right; the list takes the lines as written.
struct SortedRewriteOfLines
{
    std::vector<WorkReportEntry>* list;

    std::vector<std::uint32_t> Order(const std::vector<TWorkReportRecord>& arrived) const
    {
        return SortedLines(arrived);
    }
    void Emit(const std::vector<TWorkReportRecord>& arrived, const std::vector<std::uint32_t>& order,
              std::string& bytes) const
    {
        bytes.clear();
        bytes.reserve(order.size() * sizeof(TWorkReportRecord));
        list->clear();
        for (const std::uint32_t i : order) {
            TWorkReportRecord r = arrived[i];
            NormaliseForFile(r);
            bytes.append(reinterpret_cast<const char*>(&r), sizeof r);
            list->push_back({r, static_cast<std::uint32_t>(list->size())});
        }
    }
};

bool RewriteSorted(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    FreeWorkReportList(ctx.st.WorkReportList);
    const QString name = WorkReportFile::Name(ctx.st);
    const QString twin = WorkReportFile::Twin(ctx.st);
    try {
        if (!RewriteThroughTwin<TWorkReportRecord>(
                ctx, name, twin, SortedRewriteOfLines{&ctx.st.WorkReportList},
                {.twin = WorkReportFile::kTwin, .order = WorkReportFile::kSortOrder, .report = Report::Show}))
            return false;
    } catch (const IoAbort& e) {
        // Without the old file kept nothing is rewritten: the file stands as it was.
        if (e.file() != ctx.Path(twin))
            throw;
        ctx.ui.ShowMessage(QStringLiteral("No se puede crear Fichero backup"));
        return false;
    }
    w.WorkReportWritten = 0;
    return true;
}

// The lines of a week range go to the year file; the file itself is left as it is.
bool SplitByWeeks(Context& ctx)
{
    State& st = ctx.st;
    // A closed picker chose no range: the range of an earlier command must not be split again.
    if (!PickWeekRange(ctx))
        return false;
    const WeekParts start = ParseWeekCode(st.RangeStartWeek).value_or(WeekParts{});
    const WeekParts end = ParseWeekCode(st.RangeEndWeek).value_or(WeekParts{});
    // One year file holds one year: a range running into the next would give an empty file in place of
    // the one already there, and so would a range that ends before it starts.
    const QString range = st.RangeStartWeek + QStringLiteral(" A ") + st.RangeEndWeek;
    if (end.year != start.year) {
        ctx.ui.ShowMessage(QStringLiteral("SEMANAS ") + range +
                           QStringLiteral(" DE DOS AÑOS DISTINTOS. ANULADO FRACCIONAR FICHERO"));
        return false;
    }
    if (end.week < start.week) {
        ctx.ui.ShowMessage(QStringLiteral("SEMANAS ") + range +
                           QStringLiteral(" EN ORDEN INVERSO. ANULADO FRACCIONAR FICHERO"));
        return false;
    }

    FreeWorkReportList(ctx.st.WorkReportList);
    std::optional<std::vector<TWorkReportRecord>> read = KeyedFile<WorkReportFile>(ctx).Read(Report::Show);
    if (!read)
        return false;
    std::vector<TWorkReportRecord> arrived = std::move(*read);
    std::reverse(arrived.begin(), arrived.end());
    const std::vector<std::uint32_t> order = SortedLines(arrived);
    FillList(ctx.st.WorkReportList, arrived, order);

    std::vector<TWorkReportRecord> lines;
    for (const WorkReportEntry& e : ctx.st.WorkReportList) {
        const std::optional<WeekParts> day = ParseWeekCode(e.rec.dia.bytes());
        if (day && day->year == start.year && day->week >= start.week && day->week <= end.week)
            lines.push_back(e.rec);
    }
    WriteLock lock(ctx);
    const QString year = QStringLiteral("%1").arg(start.year, 2, 10, QLatin1Char('0'));
    StoreRecords(ctx, WorkReportYearFileName(st.CurrentEnvironment, year), lines);
    WorkReports(ctx).WorkReportWritten = 0;
    return true;
}

} // namespace

void RememberedDescriptionList::AddFirst(const QString& text, const QString& tipo)
{
    if (m_known.contains(text))
        return;
    m_known.insert(text);
    m_newer.emplace_back(text, tipo);
}

const QStringList& RememberedDescriptionList::Texts()
{
    for (const auto& [text, tipo] : m_newer) {
        m_texts.prepend(text);
        m_types.prepend(tipo);
    }
    m_newer.clear();
    return m_texts;
}

void RememberedDescriptionList::AddLast(const QString& text, const QString& tipo)
{
    if (m_known.contains(text))
        return;
    m_known.insert(text);
    m_texts.append(text);
    m_types.append(tipo);
}

void RememberedDescriptionList::clear()
{
    m_texts.clear();
    m_types.clear();
    m_known.clear();
    m_newer.clear();
}

WorkReportsState& WorkReports(Context& ctx)
{
    return ctx.Module<WorkReportsState>();
}

std::strong_ordering CompareWorkReportKeys(const TWorkReportRecord& a, const TWorkReportRecord& b)
{
    // Dates of one length decide alone unless they are equal; otherwise the texts are joined.
    if (a.dia.size() == b.dia.size()) {
        const auto byDate = a.dia <=> b.dia;
        return byDate != 0 ? byDate : a.Matricula <=> b.Matricula;
    }
    char ka[kKeySize];
    char kb[kKeySize];
    const std::size_t na = KeyText(a, ka);
    const std::size_t nb = KeyText(b, kb);
    return CompareCp1252(std::string_view(ka, na), std::string_view(kb, nb));
}

bool WorkReportFile::Deleted(const Record& r)
{
    // The 4th character is read as stored, whatever the length says.
    return r.Matricula == "Z" || r.dia.chars[3] == ' ';
}

void SetWorkReportDefaults(Context& ctx)
{
    TWorkReportRecord& r = WorkReports(ctx).CurrentWorkReport;
    r.Matricula = "#";
    r.Codigo = "#";
    r.Orden = "0";
    r.SparePart = "";
    r.Tipo = "C";
    r.dia = DateToWeekCode(ctx.st, ctx.clock.Now().date());
    r.Descripcion = "*";
    r.Tparo = 0;
    r.Tinter = 0;
}

void LoadWorkReports(Context& ctx)
{
    FreeWorkReportList(ctx.st.WorkReportList);
    ctx.st.WorkReportList = KeyedFile<WorkReportFile>(ctx).LoadList(
        Report::Silent, QStringLiteral("AVANCE CARGA DE DATOS PARTES DIARIOS"));
    if (ctx.st.LastIOResult == IoCode::Ok)
        CheckHeapMemory(ctx);
}

const std::vector<WorkReportEntry>& LoadedWorkReports(Context& ctx)
{
    return ctx.st.WorkReportList;
}

void InsertWorkReportSorted(std::vector<WorkReportEntry>& list, WorkReportEntry entry)
{
    InsertOrderedHeadFirst(list, std::move(entry), [](const WorkReportEntry& a, const WorkReportEntry& b) {
        return WorkReportBefore(a.rec, b.rec);
    });
}

void FreeWorkReportList(std::vector<WorkReportEntry>& list)
{
    FreeNodeList(list);
}

void FreeWorkReportList(Context& ctx)
{
    FreeWorkReportList(ctx.st.WorkReportList);
}

bool AppendWorkReport(Context& ctx, const TWorkReportRecord& line)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    w.WorkReportWritten = 0;
    const ShortString<8> code = line.Codigo;
    const bool known = FindIntoFoundMachine(ctx, code);
    KeyedFile<WorkReportFile> file(ctx);
    if (!known) {
        if (!file.Exists()) {
            ctx.ui.ShowMessage(QStringLiteral("MAQUINA:") + code.str() +
                               QStringLiteral(" INEXISTENTE,ANULADA ALTA"));
            return false;
        }
        if (ctx.ui.AskOkCancel(QStringLiteral("\tMAQUINA: ") + code.str() +
                               QStringLiteral(" INEXISTENTE,¿DAR DE ALTA?"))) {
            // The machine card opens on the code, as a new machine of its own: not an import of the
            // machine buffer, whatever the daily report's own mode.
            ModeCodeGuard guard(ctx);
            st.ActionCode.clear();
            const bool listed = !Machines(ctx).MachineList.empty();
            AddMachineOfCode(ctx, code);
            SortMachineFile(ctx);
            // The sort frees the machine list; the lines still to come pick their machines from it.
            if (listed)
                LoadMachineList(ctx);
        }
        return false;
    }
    if (!file.Append(FreshRecord(line)))
        return false;
    w.WorkReportWritten = 1;
    return true;
}

bool SortWorkReportFile(Context& ctx)
{
    if (ctx.st.ActionCode == QLatin1String("F"))
        return SplitByWeeks(ctx);
    return RewriteSorted(ctx);
}

QString WorkReportYearFileName(const QString& environment, const QString& year)
{
    return BuildDataFileName(environment, (QStringLiteral(".P") + year).toLatin1().constData());
}

TWorkReportRecord AnyWorkReportFilter()
{
    TWorkReportRecord r{};
    r.Matricula = "*";
    r.Codigo = "*";
    r.Orden = "*";
    r.Tipo = "*";
    r.TIPOH = "*";
    r.Descripcion = "*";
    return r;
}

WorkReportLineKind ClassifyWorkReportLine(const TWorkReportRecord& line)
{
    if (line.Tipo == "AL")
        return WorkReportLineKind::StoreExit;
    if (line.Tipo == "ALB")
        return WorkReportLineKind::DeliveryNote;
    if (line.Tipo.bytes().starts_with('F'))
        return WorkReportLineKind::Leave;
    return WorkReportLineKind::Work;
}

} // namespace gim
