#include "preventive/revisions.h"

#include "core/context.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "preventive/plan_time.h"
#include "preventive/revision_card.h"
#include "records/record_fields.h"

namespace gim {

namespace {

QString RevisionFileName(const Context& ctx)
{
    return ctx.st.FileName(DataFile::Revision);
}

// A number typed on the card; anything else abandons the command before anything is written.
std::int64_t CardNumber(Context& ctx, const QString& text)
{
    return ReadTypedNumber(ctx.st, text, RevisionFileName(ctx));
}

void FillPendingRepair(Context& ctx, const TRevisionRecord& rec)
{
    State& st = ctx.st;
    TPlannedRepairRecord& repair = Revisions(ctx).CurrentPlannedRepair;
    repair = TPlannedRepairRecord{};
    repair.Code = rec.MachineCode;
    repair.Minutes = 0;
    repair.State = "P";
    repair.Week = AbsoluteWeekWord(st, st.LastYear, 0);
    repair.Executor = "A DESIGNAR";
    repair.Specialty = "..";
    repair.Description = ctx.ui
                             .InputBox(QStringLiteral("REPARACIONES PENDIENTES"),
                                       QStringLiteral("DESCRIPCION TRABAJOS"), QStringLiteral(".."))
                             .left(130);
}

// The form of a stored revision: its week as a week of the year and a four-digit year, so that week 52
// shows as week 0 of the next year and saves back to the same absolute week.
RevisionForm BrowseForm(const State& st, const TRevisionRecord& rec)
{
    RevisionForm form;
    form.rec = rec;
    form.machineName = st.FoundMachine.Denominacion.str();
    const WeekParts filed = SplitAbsoluteWeek(st, rec.Week.get());
    form.week = QString::number(filed.week);
    form.year = QString::number(filed.year + kYearOffset);
    form.minutes = rec.Time;
    return form;
}

} // namespace

WeekParts RevisionCardWeek(Context& ctx, const RevisionForm& form)
{
    return FiledWeek(static_cast<int>(CardNumber(ctx, form.year) - kYearOffset),
                     static_cast<int>(CardNumber(ctx, form.week)));
}

void TakeRevisionCardValues(Context& ctx, const RevisionForm& form, TRevisionRecord& rec)
{
    State& st = ctx.st;
    st.WorkYear = static_cast<std::uint16_t>(CardNumber(ctx, form.year) - kYearOffset);
    const WeekParts week = RevisionCardWeek(ctx, form);
    rec.Frequency = form.rec.Frequency;
    rec.State = form.rec.State;
    rec.Executor = form.rec.Executor;
    rec.Week = AbsoluteWeekWord(st, week.year, week.week);
    rec.Time = form.minutes;
    rec.Comment = form.rec.Comment;
}

bool LookUpFoundMachine(Context& ctx, const QString& code)
{
    ctx.st.FoundMachine = LookUpMachine(ctx, code);
    return !(ctx.st.FoundMachine.Denominacion == kMachineNotFound);
}

RevisionState& Revisions(Context& ctx)
{
    return ctx.Module<RevisionState>();
}

bool RevisionWeekBefore(const TRevisionRecord& a, const TRevisionRecord& b)
{
    return a.Week.get() > b.Week.get();
}

void BlankRevision(TRevisionRecord& rec)
{
    rec.Frequency = "..";
    rec.State = "..";
    rec.Executor = "..";
    rec.Week = 0;
    rec.Time = 0;
    rec.Comment = "..";
}

void InsertRevisionByWeek(Context& ctx, RevisionEntry entry)
{
    InsertOrderedHeadFirst(
        Revisions(ctx).RevisionList, std::move(entry),
        [](const RevisionEntry& a, const RevisionEntry& b) { return RevisionWeekBefore(a.rec, b.rec); });
}

void LoadRevisionList(Context& ctx)
{
    const KeyedFile<RevisionFile> file(ctx);
    if (!file.Exists())
        return;
    RevisionState& r = Revisions(ctx);
    FreeNodeList(r.RevisionList);
    CheckHeapMemory(ctx);
    r.RevisionList =
        file.LoadList(Report::Silent, QStringLiteral("AVANCE CARGA DE DATOS HISTORIAL PREVENTIVO"));
    CheckHeapMemory(ctx);
}

void FreeRevisionList(Context& ctx)
{
    FreeNodeList(Revisions(ctx).RevisionList);
}

void SortRevisionFile(Context& ctx)
{
    KeyedFile<RevisionFile> file(ctx);
    FreeRevisionList(ctx);
    if (!file.Sort())
        return;
    // The new file is the list, record for record.
    std::vector<TRevisionRecord> records = file.Read().value_or(std::vector<TRevisionRecord>{});
    std::vector<RevisionEntry>& list = Revisions(ctx).RevisionList;
    list.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        list.push_back({records[i], static_cast<std::uint32_t>(i)});
    ctx.st.ContinueFlag = 0;
}

bool AppendRevision(Context& ctx, const TRevisionRecord& revision)
{
    KeyedFile<RevisionFile> file(ctx);
    WriteLock lock(ctx);
    // The record that creates the file leaves nothing to put in order.
    const bool existed = file.Exists();
    if (!file.Append(FreshRecord(revision)))
        return false;
    if (existed)
        ctx.st.ContinueFlag = 1;
    return true;
}

void WritePendingRepairFromRevision(Context& ctx)
{
    const TPlannedRepairRecord& repair = Revisions(ctx).CurrentPlannedRepair;
    if (repair.Code == "#")
        return;
    WriteLock lock(ctx);
    RecordFile<TPlannedRepairRecord> file(ctx);
    if (!file.Open(ctx.st.FileName(DataFile::PlannedRepair), RawRecordFile::Mode::Update))
        return;
    file.Append(repair);
}

RevisionCardOutcome EditRevisionCard(Context& ctx, TRevisionRecord& rec)
{
    State& st = ctx.st;
    st.CardSaved = 0;
    st.AnswerCode = QStringLiteral("N");
    Revisions(ctx).CurrentPlannedRepair.Code = "#";
    BlankRevision(rec);
    const QString code = ctx.ui
                             .InputBox(QStringLiteral("HISTORIAL REVISIONES"),
                                       QStringLiteral("Entrar Codigo"), QStringLiteral("#"))
                             .left(8);
    rec.MachineCode = code;
    if (code == QLatin1String("#"))
        return RevisionCardOutcome::Nothing;
    if (!LookUpFoundMachine(ctx, code)) {
        ctx.ui.ShowMessage(QStringLiteral(" CODIGO DE MAQUINA NO ENCONTRADO"));
        return RevisionCardOutcome::Nothing;
    }

    RevisionForm form;
    form.rec = rec;
    // The boxes start as the card is made: any frequency and executor, executed.
    form.rec.Frequency = "*";
    form.rec.State = "E";
    form.rec.Executor = "*";
    form.machineName = st.FoundMachine.Denominacion.str();
    // The year offered is the plan's first, the week this one.
    form.year = QString::number(st.FirstYear + kYearOffset);
    form.week = st.WeekText;
    const int result =
        RevisionCardBinding(false).Run(ctx.ui, RevisionCardSpec(ctx, RevisionCardRole::Add), form,
                                       RevisionCardState(RevisionCardRole::Add), {CardResult::Save});
    RevisionCardOutcome outcome = RevisionCardOutcome::Nothing;
    if (result == CardResult::Save) {
        st.CardSaved = 1;
        TakeRevisionCardValues(ctx, form, rec);
        if (rec.Comment == ".." && rec.State == "P")
            rec.Comment = "Pendiente sin justificar";
        outcome = RevisionCardOutcome::Revision;
    } else if (result == CardResult::Delete) {
        // A pending repair, not a revision: the history gets nothing.
        st.CardSaved = 1;
        FillPendingRepair(ctx, rec);
        outcome = RevisionCardOutcome::PendingRepair;
    } else {
        rec.MachineCode = "#";
        return RevisionCardOutcome::Nothing;
    }
    // Week 52 of the plan's last year is its last week; a year before the plan wraps round and is
    // refused too.
    if (rec.Week.get() > st.PlanWeeks) {
        ctx.ui.ShowMessage(QStringLiteral("SEMANA FUERA DE PLANING\rANULADA ALTA"));
        st.CardSaved = 0;
        rec.MachineCode = "#";
        Revisions(ctx).CurrentPlannedRepair.Code = "#";
        return RevisionCardOutcome::Nothing;
    }
    return outcome;
}

void NewRevision(Context& ctx)
{
    RevisionState& r = Revisions(ctx);
    r.CurrentRevision.MachineCode = "00-000";
    const RevisionCardOutcome outcome = EditRevisionCard(ctx, r.CurrentRevision);
    if (outcome == RevisionCardOutcome::Revision)
        AppendRevision(ctx, r.CurrentRevision);
    if (outcome != RevisionCardOutcome::Nothing)
        WritePendingRepairFromRevision(ctx);
}

void EditRevisionHistory(Context& ctx)
{
    State& st = ctx.st;
    st.CardSaved = 0;
    st.RunFlag = 1;
    st.AnswerCode = QStringLiteral("N");
    RevisionForm filter;
    filter.rec.Frequency = "*";
    filter.rec.State = "*";
    filter.rec.Executor = "*";
    filter.year = st.YearText;
    filter.week = st.WeekText;
    const int asked = RevisionCardBinding(true).Run(ctx.ui, RevisionCardSpec(ctx, RevisionCardRole::Search),
                                                    filter, RevisionCardState(RevisionCardRole::Search));
    if (asked == CardResult::Exit)
        return;
    int filterWeek = 0;
    if (asked == CardResult::Save) {
        const WeekParts week = RevisionCardWeek(ctx, filter);
        filterWeek = AbsoluteWeek(st, week.year, week.week);
    } else {
        // Si&gue reads no filter: the empty code names no machine.
        filter.rec.MachineCode = "";
    }
    const QString code = filter.rec.MachineCode.str();
    if (code != QLatin1String("*") && !LookUpFoundMachine(ctx, code)) {
        ctx.ui.ShowMessage(st.FoundMachine.Denominacion.str());
        st.RunFlag = 0;
        return;
    }

    KeyedFile<RevisionFile> file(ctx);
    const std::optional<std::vector<TRevisionRecord>> records = file.Read();
    if (!records)
        return;
    const CardSpec spec = RevisionCardSpec(ctx, RevisionCardRole::Browse);
    const auto matches = [&](const ShortString<2>& field, const ShortString<2>& wanted) {
        return wanted == "*" || field == wanted;
    };
    for (std::size_t i = 0; i < records->size(); ++i) {
        const TRevisionRecord& stored = (*records)[i];
        if (!(code == QLatin1String("*") || stored.MachineCode == code) ||
            static_cast<int>(stored.Week.get()) != filterWeek ||
            !matches(stored.Frequency, filter.rec.Frequency) || !matches(stored.State, filter.rec.State))
            continue;
        RevisionForm form = BrowseForm(st, stored);
        const int result = RevisionCardBinding(false).Run(
            ctx.ui, spec, form, RevisionCardState(RevisionCardRole::Browse), {CardResult::Save});
        TRevisionRecord rec = stored;
        if (result == CardResult::Save) {
            st.CardSaved = 1;
            TakeRevisionCardValues(ctx, form, rec);
            st.AnswerCode = QStringLiteral("M");
            // A revision whose machine has gone is not written back.
            if (!LookUpFoundMachine(ctx, rec.MachineCode.str()))
                st.AnswerCode = QStringLiteral("N");
        } else if (result == CardResult::Delete) {
            st.CardSaved = 1;
            st.AnswerCode =
                ctx.ui.InputBox(st.FoundMachine.Denominacion.str(),
                                QStringLiteral("REALMENTE QUIERE BORRAR (S/N)"), QStringLiteral("N"));
            if (st.AnswerCode == QLatin1String("S")) {
                rec.MachineCode = "Z";
                st.AnswerCode = QStringLiteral("B");
            }
        } else {
            st.AnswerCode = QStringLiteral("N");
            return;
        }
        if (st.AnswerCode == QLatin1String("M") || st.AnswerCode == QLatin1String("B")) {
            RevisionEntry entry{stored, static_cast<std::uint32_t>(i)};
            if (file.WriteAt(entry, rec) == WriteResult::Written)
                st.ContinueFlag = 1;
        }
    }
}

} // namespace gim
