#include "workreports/work_report_changes.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/date_range.h"
#include "core/record_file.h"
#include "core/transaction.h"
#include "core/week_codes.h"
#include "corrective/breakdowns.h"
#include "corrective/planned_repairs.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entries.h"
#include "masterdata/routines.h"
#include "platform/card.h"
#include "platform/date_text.h"
#include "platform/report.h"
#include "preventive/revisions.h"
#include "workreports/work_report_card.h"
#include "workreports/work_report_card_handlers.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

#include <QStringView>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace gim {

namespace {

std::uint16_t LowWord(std::int32_t value)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFF);
}

// The posted record kept the long description; the line its first 48 characters.
template <std::size_t N> bool SameDescription(const ShortString<N>& posted, const TWorkReportRecord& line)
{
    return posted.bytes().substr(0, 48) == line.Descripcion.bytes();
}

template <typename Tr, typename Match>
std::optional<ListEntry<typename Tr::Record>> FirstInFile(Context& ctx, Match match)
{
    KeyedFile<Tr> file(ctx);
    if (!file.Exists())
        return std::nullopt;
    const auto records = file.Read(Report::Show);
    if (!records)
        return std::nullopt;
    const auto it = std::find_if(records->begin(), records->end(), match);
    if (it == records->end())
        return std::nullopt;
    return ListEntry<typename Tr::Record>{*it, static_cast<std::uint32_t>(it - records->begin())};
}

// A filter field: "*" stands for any value.
template <std::size_t N> bool FieldMatches(const ShortString<N>& filter, const ShortString<N>& value)
{
    return filter == "*" || filter == value;
}

} // namespace

QStringList PostingTakeBack::Files(Context& ctx) const
{
    const State& st = ctx.st;
    QStringList files;
    if (breakdown)
        files << st.FileName(DataFile::Breakdown);
    if (repair)
        files << st.FileName(DataFile::PlannedRepair);
    if (revision)
        files << st.FileName(DataFile::Revision);
    return files;
}

PostingTakeBack FindPosting(Context& ctx, const TWorkReportRecord& line)
{
    PostingTakeBack found;
    const QString tipo = line.Tipo.str();
    const QString family = tipo.left(1);
    const std::uint16_t week = LineAbsoluteWeek(ctx.st, line);
    const std::uint16_t minutes = LowWord(line.Tinter.get());
    if (family == QLatin1String("V")) {
        const QString day = QString::number(ParseWeekCode(line.dia.bytes()).value_or(WeekParts{}).weekday);
        const QString type = tipo.mid(1, 1);
        found.breakdown = FirstInFile<BreakdownFile>(ctx, [&](const TBreakdownRecord& b) {
            return b.Code == line.Codigo && b.Week.get() == week && b.Day.str() == day &&
                   b.Type.str() == type && SameDescription(b.Description, line) &&
                   b.Intervention.get() == minutes && b.Officer.str() == line.Matricula.str();
        });
        if (found.breakdown)
            found.description = found.breakdown->rec.Description.str();
    } else if (family == QLatin1String("R")) {
        const QString specialty = tipo.mid(1, 2);
        const std::vector<PlannedRepairEntry>& list = PlannedRepairs(ctx).PlannedRepairList;
        for (const std::uint32_t at : PlannedRepairsOfMachine(ctx, line.Codigo.str())) {
            const TPlannedRepairRecord& r = list[at].rec;
            // A repair still to do is dated by the line, not filed in its week under its operator.
            if (r.Code == line.Codigo && r.Specialty.str() == specialty &&
                SameDescription(r.Description, line) && r.Minutes.get() == minutes &&
                (minutes == 0 || (r.Week.get() == week && r.Executor.str() == line.Matricula.str()))) {
                found.repair = list[at];
                found.description = r.Description.str();
                break;
            }
        }
    } else if (family == QLatin1String("P")) {
        const QString frequency = tipo.mid(1, 2);
        found.revision = FirstInFile<RevisionFile>(ctx, [&](const TRevisionRecord& r) {
            return r.MachineCode == line.Codigo && r.Frequency.str() == frequency && r.Week.get() == week &&
                   r.Time.get() == minutes && SameDescription(r.Comment, line) &&
                   r.Executor.str() == line.Matricula.str();
        });
        if (found.revision)
            found.description = found.revision->rec.Comment.str();
    }
    return found;
}

bool WriteTakeBack(Context& ctx, const PostingTakeBack& found)
{
    if (found.breakdown) {
        ListEntry<TBreakdownRecord> at = *found.breakdown;
        TBreakdownRecord erased = at.rec;
        erased.Code = "Z";
        if (KeyedFile<BreakdownFile>(ctx).WriteAt(at, erased) != WriteResult::Written)
            return false;
    }
    if (found.repair) {
        PlannedRepairEntry at = *found.repair;
        TPlannedRepairRecord erased = at.rec;
        erased.Code = "Z";
        if (KeyedFile<PlannedRepairFile>(ctx).WriteAt(at, erased) != WriteResult::Written)
            return false;
    }
    if (found.revision) {
        ListEntry<TRevisionRecord> at = *found.revision;
        TRevisionRecord erased = at.rec;
        erased.MachineCode = "Z";
        if (KeyedFile<RevisionFile>(ctx).WriteAt(at, erased) != WriteResult::Written)
            return false;
    }
    return true;
}

void FinishTakeBack(Context& ctx, const PostingTakeBack& found)
{
    WorkReportsState& w = WorkReports(ctx);
    if (found.breakdown)
        w.BreakdownPostedFlag = 1;
    if (found.repair) {
        // Found again where it now stands: the posting of the changed line may have planned repairs
        // ahead of it.
        const PlannedRepairEntry& taken = *found.repair;
        std::vector<PlannedRepairEntry>& list = PlannedRepairs(ctx).PlannedRepairList;
        for (const std::uint32_t at : PlannedRepairsOfMachine(ctx, taken.rec.Code.str())) {
            PlannedRepairEntry& e = list[at];
            if (e.pos == taken.pos && std::memcmp(&e.rec, &taken.rec, sizeof e.rec) == 0) {
                e.rec.Code = "Z";
                NotePlannedRepairWritten(ctx, taken.rec, e.rec, e.pos);
                break;
            }
        }
        w.PlannedRepairPostedFlag = 1;
    }
    if (found.revision)
        w.RevisionPostedFlag = 1;
}

void UnpostWorkReport(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    const PostingTakeBack found = FindPosting(ctx, w.CurrentWorkReport);
    {
        Transaction tx(ctx);
        if (!tx.Prepare(found.Files(ctx)) || !WriteTakeBack(ctx, found))
            return;
        tx.Commit();
    }
    FinishTakeBack(ctx, found);
    if (found.description)
        w.LongDescription = *found.description;
}

bool LineMatchesFilter(const TWorkReportRecord& filter, const TWorkReportRecord& line,
                       const QString& fromWeek, const QString& toWeek, bool descriptionFromLine)
{
    if (!FieldMatches(filter.Matricula, line.Matricula) || !FieldMatches(filter.Codigo, line.Codigo) ||
        !FieldMatches(filter.Tipo, line.Tipo) || !FieldMatches(filter.Orden, line.Orden) ||
        !FieldMatches(filter.TIPOH, line.TIPOH))
        return false;
    if (descriptionFromLine) {
        // A description never holds what follows a tab (a chosen repair's executor); each line is compared
        // over the shorter of the two texts.
        const QString wanted = report_card::DescriptionText(filter.Descripcion.str());
        const QString own = line.Descripcion.str();
        const qsizetype n = std::min(wanted.size(), own.size());
        if (QStringView(wanted).left(n) != QStringView(own).left(n))
            return false;
    }
    const QString dia = line.dia.str();
    return fromWeek == QLatin1String("*") || (dia >= fromWeek && dia <= toWeek);
}

namespace {

// The edit of one stored line, found at `at` in the file.
void EditStoredLine(Context& ctx, const WorkReportEntry& at)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    const TWorkReportRecord& old = at.rec;
    w.CurrentWorkReport = old;
    // The expedient entry the line made, should it have made one; the card starts from it.
    TPersonnelEntryRecord& entry = w.LineEntry;
    entry.Matricula.assign(old.Matricula);
    entry.Text = old.Descripcion.str();
    entry.Type.assign(old.TIPOH);
    entry.Minutes = static_cast<std::uint32_t>(old.Tinter.get());
    entry.Date.assign(old.dia);
    TPersonnelEntryRecord entryKey = entry;

    // Nothing is taken back before the card is saved: a card left changes no file.
    const PostingTakeBack found = FindPosting(ctx, old);
    w.LongDescription = found.description.value_or(old.Descripcion.str());
    OpenWorkReportWindow(ctx, w.CurrentWorkReport, true, true);
    const bool erase = st.AnswerCode == QLatin1String("B");
    const bool photo = st.PhotoAssignFlag != 0;
    st.PhotoAssignFlag = 0;
    if (!erase && st.AnswerCode != QLatin1String("M"))
        return;
    TWorkReportRecord changed = erase ? old : w.CurrentWorkReport;
    if (erase) {
        changed.Matricula = "Z";
        changed.Codigo = "Z";
    } else if (!FindIntoFoundMachine(ctx, changed.Codigo)) {
        // A line is never stored with a machine the machine file does not know.
        ctx.ui.ShowMessage(QStringLiteral("MAQUINA:") + changed.Codigo.str() +
                           QStringLiteral(" Inexistente,Anulada Modificación"));
        return;
    }

    const bool entries = KeyedFile<PersonnelEntryFile>(ctx).Exists();
    bool entryErased = false;
    {
        Transaction tx(ctx);
        QStringList files = found.Files(ctx);
        files << st.FileName(DataFile::WorkReport);
        if (entries)
            files << st.FileName(DataFile::PersonnelEntry);
        if (!tx.Prepare(files) || !WriteTakeBack(ctx, found))
            return;
        if (entries)
            entryErased = UpdatePersonnelEntry(ctx, entryKey);
        WorkReportEntry place = at;
        if (KeyedFile<WorkReportFile>(ctx).WriteAt(place, changed) != WriteResult::Written)
            return;
        // A store exit is booked once: changing its line books no second movement.
        if (!erase && changed.Tipo != "AL") {
            w.CurrentWorkReport = changed;
            if (!StoreAndPostWorkReport(ctx, false))
                return;
        }
        tx.Commit();
    }
    FinishTakeBack(ctx, found);
    // A photo attached on the card follows the changed line once it is stored.
    if (!erase && photo) {
        w.CurrentWorkReport = changed;
        st.PhotoAssignFlag = 1;
        StoreWorkReportPhoto(ctx);
        st.PhotoAssignFlag = 0;
    }
    if (entryErased)
        w.PersonnelEntryPostedFlag = 1;
    w.WorkReportWritten = 1;
}

} // namespace

void ModifyWorkReport(Context& ctx)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    LoadPlannedRepairs(ctx);
    LoadMachineList(ctx);
    LoadPersonnelEntries(ctx);
    // The edit is the user's own: no mode an import or merge left hides its cards.
    st.InteractiveFlag = 1;
    ClearPostedFlags(ctx);
    SetWorkReportDefaults(ctx);
    ClearPersonnelEntry(w.LineEntry);
    st.AnswerCode = QStringLiteral(" ");

    TWorkReportRecord filter = AnyWorkReportFilter();
    const bool handedOver = !w.WorkReportInput.Matricula.str().isEmpty();
    bool walk = true;
    if (handedOver) {
        filter = w.WorkReportInput;
        filter.Orden = "*";
        st.RangeStartWeek = filter.dia.str();
        st.RangeEndWeek = st.RangeStartWeek;
        w.WorkReportInput = TWorkReportRecord{};
    } else {
        walk = OpenWorkReportWindow(ctx, filter, false) != CardResult::Exit;
    }
    // A filter typed on the card keeps the range of the last date picker; before any picker every day.
    const bool everyDay = st.RangeStartWeek.isEmpty();
    const QString fromWeek = everyDay ? QStringLiteral("*") : st.RangeStartWeek;
    const QString toWeek = st.RangeEndWeek;

    if (walk) {
        const std::optional<std::vector<TWorkReportRecord>> lines =
            KeyedFile<WorkReportFile>(ctx).Read(Report::Show);
        const std::size_t count = lines ? lines->size() : 0;
        st.AnswerCode = QStringLiteral(" ");
        for (std::size_t i = 0; i < count && st.AnswerCode != QLatin1String("S"); ++i) {
            const TWorkReportRecord& line = (*lines)[i];
            st.AnswerCode = QStringLiteral(" ");
            // A deleted line waits for the next sort and is no longer the user's to change.
            if (line.Matricula == "Z" || !LineMatchesFilter(filter, line, fromWeek, toWeek, handedOver))
                continue;
            EditStoredLine(ctx, {line, static_cast<std::uint32_t>(i)});
            // What one card asked for does not carry over to the next.
            ReopenChosenRepairs(ctx);
            w.PlanRevisionFlag = 0;
            st.PhotoAssignFlag = 0;
        }
    }

    SavePlannedRepairList(ctx);
    FreePlannedRepairList(ctx);
    SortWhatWasPosted(ctx);
    w.WorkReportInput = TWorkReportRecord{};
    FreeMachineList(ctx);
    FreePersonnelEntryList(ctx);
}

namespace {

std::optional<QDate> DateTextDate(const QString& text)
{
    const QDate date = ParseDate(text);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

void LogMergedLine(ReportDocument& log, const TWorkReportRecord& r, bool stored, bool pending)
{
    log.SetItalic(pending);
    log.SetColour(stored ? kReportBlack : kReportBlue);
    const QChar tab = QLatin1Char('\t');
    log.AddLine(tab + r.Matricula.str() + tab + r.Codigo.str() + tab + WeekCodeToDateText(r.dia.str()) + tab +
                r.Descripcion.str() + tab + r.Tipo.str() + tab + QString::number(r.Tinter.get()) + tab +
                QString::number(r.Tparo.get()) + tab + r.Orden.str());
}

// However the merge ends, its mode and its hook into the lines' steps end with it: later commands show
// their cards and messages, and no step writes into a source that is closed.
class MergeScope final
{
public:
    explicit MergeScope(Context& ctx) : m_ctx(ctx) {}
    ~MergeScope()
    {
        WorkReportsState& w = WorkReports(m_ctx);
        w.WriteWithLineStored = nullptr;
        w.WorkReportInput = TWorkReportRecord{};
        w.MergeMode.clear();
        m_ctx.st.InteractiveFlag = 1;
    }
    MergeScope(const MergeScope&) = delete;
    MergeScope& operator=(const MergeScope&) = delete;

private:
    Context& m_ctx;
};

} // namespace

void MergeWorkReportFile(Context& ctx, const QString& path)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    st.ActionCode = QStringLiteral("i");
    st.InteractiveFlag = 1;
    const MergeScope scope(ctx);
    PickWeekRange(ctx, DateTextDate(st.DateText));
    w.MergeMode = ctx.ui
                      .InputBox(QStringLiteral("MODO DE CONTROL"), QStringLiteral("Manual/Automático (M/A"),
                                QStringLiteral("M"))
                      .left(1);
    st.InteractiveFlag = w.MergeMode == QLatin1String("A") ? 0 : 1;
    const bool clearSource =
        ctx.ui.AskYesNo(QStringLiteral("Desea borrar los datos del fichero de partida?"));

    auto log = std::make_shared<ReportDocument>(QStringLiteral("Añadir fichero de partes : ") + path);
    log->SetTabStops({10, 50, 100, 140, 400, 435, 480, 510});
    log->SetFontSize(12);
    log->SetBold(true);
    const QChar tab = QLatin1Char('\t');
    log->AddLine(tab + st.FirmName + tab + QStringLiteral("PARTES AÑADIDOS A ") + st.CurrentEnvironment +
                 tab + st.TodayText);
    log->AddLine(QString());
    log->SetFontSize(10);
    log->SetBold(false);
    log->SetUnderline(true);
    log->AddLine(QStringLiteral("\tMatríc\tMáquina\tFecha\tDescripción\tTipo\tTI(mn)\tAL/Ud\tOT"));
    log->SetFontSize(8);
    log->SetUnderline(false);
    st.RecordAddedFlag = 0;
    ClearPostedFlags(ctx);

    RecordFile<TWorkReportRecord> source(ctx);
    if (NoteIoResult(ctx, source.OpenPath(path, RawRecordFile::Mode::Update), Report::Show)) {
        const std::vector<TWorkReportRecord> lines = source.ReadAll();
        // A source may hold more than 65,535 lines: each is written back at its own index.
        for (std::size_t i = lines.size(); i-- > 0;) {
            const TWorkReportRecord& line = lines[i];
            const QString dia = line.dia.str();
            if (dia < st.RangeStartWeek || dia > st.RangeEndWeek)
                continue;
            // A repair still to do has no time to add: it is only logged.
            const bool pending = line.Tipo.str().startsWith(QLatin1Char('R')) && line.Tinter.get() == 0;
            w.WorkReportWritten = 0;
            if (!pending) {
                w.WorkReportInput = line;
                if (clearSource)
                    w.WriteWithLineStored = [&source, i, line](Context&) {
                        TWorkReportRecord taken = line;
                        taken.Matricula = "Z";
                        source.Write(i, taken);
                        return true;
                    };
                AddWorkReportLine(ctx);
            }
            LogMergedLine(*log, line, w.WorkReportWritten != 0, pending);
        }
    }
    ctx.ui.ShowReport(log);
}

} // namespace gim
