#include "masterdata/procedures.h"

#include "core/context.h"
#include "core/lookups.h"
#include "masterdata/machines.h"
#include "masterdata/procedure_card.h"
#include "masterdata/routines.h"

#include <algorithm>
#include <optional>

namespace gim {

namespace {

// The card on `rec`, read back when saved; in import mode without cards the record counts as saved unseen
// (a heading card keeps the heading's number all the same). What becomes of the record shows in its code:
// erased "Z", left "#".
int RunProcedureCard(Context& ctx, TProcedureRecord& rec)
{
    const State& st = ctx.st;
    int result = CardResult::Save;
    if (st.ActionCode != QLatin1String("i") || st.InteractiveFlag)
        result = ProcedureCardBinding().Run(ctx.ui, ProcedureCardSpec(ctx, ProcedureCardUse::Record), rec);
    else if (st.OutputCode == QLatin1String("P"))
        rec.Inst = kProcedureHeading;
    if (result == CardResult::Delete)
        rec.MachineCode = "Z";
    else if (result != CardResult::Save)
        rec.MachineCode = "#";
    return result;
}

} // namespace

ProceduresState& Procedures(Context& ctx)
{
    return ctx.Module<ProceduresState>();
}

bool ProcedureKeyBefore(const TProcedureRecord& a, const TProcedureRecord& b)
{
    if (const auto order = a.MachineCode <=> b.MachineCode; order != 0)
        return order < 0;
    if (const auto order = a.Espec <=> b.Espec; order != 0)
        return order < 0;
    if (const auto order = a.Proced <=> b.Proced; order != 0)
        return order < 0;
    return a.Inst < b.Inst;
}

QString JoinedProcedureKey(const TProcedureRecord& rec)
{
    return rec.MachineCode.str() + rec.Espec.str() + rec.Proced.str() + rec.Inst.str();
}

void ClearProcedureRecord(TProcedureRecord& rec)
{
    rec.MachineCode = "#";
    rec.Espec = "..";
    rec.Proced = "..";
    rec.Inst = "..";
    rec.Descripcion = "..";
    rec.Estado = "P";
}

void LoadProcedureList(Context& ctx)
{
    ProceduresState& p = Procedures(ctx);
    FreeProcedureList(ctx);
    ctx.st.ContinueFlag = 0;
    CheckHeapMemory(ctx);
    // The file is kept in key order, so its order, ties included, is the list's.
    p.ProcedureList = KeyedFile<ProcedureFile>(ctx).LoadList(Report::Silent);
}

void FreeProcedureList(Context& ctx)
{
    FreeNodeList(Procedures(ctx).ProcedureList);
}

namespace {

// The series of new procedure cards, or the one record `imported` of an import.
void AddProcedureSeries(Context& ctx, const TProcedureRecord* imported)
{
    State& st = ctx.st;
    ProceduresState& p = Procedures(ctx);
    const bool importing = imported != nullptr;
    // The card kind asked for here is this command's: later commands must not find it in OutputCode.
    const QString output = st.OutputCode;
    struct RestoreOutput
    {
        State& st;
        QString output;
        ~RestoreOutput() { st.OutputCode = output; }
    } restore{st, output};

    st.ContinueFlag = 0;
    st.RecordAddedFlag = 0;
    ClearProcedureRecord(p.CurrentProcedure);
    if (!importing)
        st.OutputCode = ctx.ui
                            .InputBox(QStringLiteral("ALTA REGISTRO "),
                                      QStringLiteral("PROCEDIMIENTO/INSTRUCCION (P/I)"), QStringLiteral("P"))
                            .left(2);
    bool more = true;
    while (more) {
        if (importing)
            p.CurrentProcedure = *imported;
        const int result = RunProcedureCard(ctx, p.CurrentProcedure);
        if (result == CardResult::Exit || (importing && result == CardResult::Save))
            more = false;
        if (p.CurrentProcedure.MachineCode == "#")
            continue;
        // An import without cards says why a line is refused in its echo, not in a message box.
        const bool unattended = importing && !st.InteractiveFlag;
        const bool known = FindIntoFoundMachine(ctx, p.CurrentProcedure.MachineCode,
                                                unattended ? Report::Silent : Report::Show);
        if (result != CardResult::Save)
            continue;
        if (!known) {
            st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
            if (!unattended)
                ctx.ui.ShowMessage(st.FoundMachine.Denominacion.str() +
                                   QStringLiteral(" ANULADA ALTA PROCEDIMIENTO"));
        } else if (AppendProcedureRecord(ctx, p.CurrentProcedure, unattended ? Report::Silent : Report::Show))
            st.RecordAddedFlag = 1;
    }
}

} // namespace

void AddProcedure(Context& ctx)
{
    ProceduresState& p = Procedures(ctx);
    AddProcedureSeries(ctx, ctx.st.ActionCode == QLatin1String("i") ? &p.ImportedProcedure : nullptr);
}

bool AddImportedProcedure(Context& ctx, const TProcedureRecord& rec)
{
    AddProcedureSeries(ctx, &rec);
    return ctx.st.RecordAddedFlag == 1;
}

bool AppendProcedureRecord(Context& ctx, const TProcedureRecord& procedure, Report refusal)
{
    const TProcedureRecord rec = FreshRecord(procedure);
    std::uint32_t position = 0;
    const AppendResult result = KeyedFile<ProcedureFile>(ctx).AppendUnique(rec, position);
    if (result == AppendResult::Failed)
        return false;
    if (result == AppendResult::Duplicate) {
        ctx.st.RefusalReason = QString::fromUtf8(kRepeatedCodeReason);
        if (refusal == Report::Show)
            ctx.ui.ShowMessage(QStringLiteral("CODIGO :") + rec.MachineCode.str() + rec.Proced.str() +
                               rec.Inst.str() + QStringLiteral(" REPETIDO ANULADA ALTA"));
        return false;
    }
    // The command re-sorts after the first record too, so that its time follows the rule.
    ctx.st.ContinueFlag = 1;
    return true;
}

void EditProceduresSelective(Context& ctx)
{
    State& st = ctx.st;
    ProceduresState& p = Procedures(ctx);
    st.AnswerCode.clear();
    st.ContinueFlag = 0;
    QString key;
    if (!p.SelectedProcedure.MachineCode.empty()) {
        key = JoinedProcedureKey(p.SelectedProcedure);
        // A row handed over from the report window serves one edit.
        p.SelectedProcedure.MachineCode = "";
    } else {
        key = ctx.ui.InputBox(QStringLiteral("EDICION SELECTIVA PROCEDIMIENTOS "),
                              QStringLiteral("INTRODUCIR CODIGO INSTRUCCIÓN"), QStringLiteral("#"));
    }
    p.ProcedurePictureName = key;

    KeyedFile<ProcedureFile> file(ctx);
    const std::optional<std::vector<TProcedureRecord>> records = file.Read();
    if (!records)
        return;
    for (std::size_t i = 0; i < records->size(); ++i) {
        ProcedureEntry entry{(*records)[i], static_cast<std::uint32_t>(i)};
        if (JoinedProcedureKey(entry.rec) != key)
            continue;
        TProcedureRecord rec = entry.rec;
        const int result = RunProcedureCard(ctx, rec);
        if (result == CardResult::Save || result == CardResult::Delete) {
            // A file saved by someone else meanwhile: what was read no longer stands for it, so the
            // edit ends here; what was written before stays to be sorted.
            if (file.WriteAt(entry, rec) != WriteResult::Written)
                return;
            st.ContinueFlag = 1;
        }
    }
}

bool SortProcedureFile(Context& ctx)
{
    State& st = ctx.st;
    FreeProcedureList(ctx);
    const bool sorted = KeyedFile<ProcedureFile>(ctx).Sort();
    st.ContinueFlag = 0;
    if (sorted)
        ComputeProcedureTimes(ctx);
    return sorted;
}

void ComputeProcedureTimes(Context& ctx)
{
    // The times are written in place, from one read of the file under its lock.
    WriteLock lock(ctx);
    RecordFile<TProcedureRecord> file(ctx);
    if (!NoteIoResult(ctx, file.Open(ctx.st.FileName(DataFile::Procedure), RawRecordFile::Mode::Update),
                      Report::Show))
        return;
    const std::vector<TProcedureRecord> records = file.ReadAll();
    std::uint16_t sum = 0;
    for (std::size_t i = records.size(); i-- > 0;) {
        const TProcedureRecord& rec = records[i];
        if (rec.Inst == kProcedureHeading) {
            if (rec.Tiempo.get() != sum) {
                TProcedureRecord heading = rec;
                heading.Tiempo = sum;
                file.Write(i, heading);
            }
            sum = 0;
        } else {
            sum = static_cast<std::uint16_t>(sum + rec.Tiempo.get());
        }
    }
    // Only times changed: the keys stand in the order they had, and later look-ups by halves keep it.
    file.NoteOrderedCount(static_cast<std::size_t>(
        std::is_sorted_until(records.begin(), records.end(), ProcedureFile::Before) - records.begin()));
}

void CarryProceduresToNewYear(Context& ctx, const QString& newEnvironment)
{
    if (!SortProcedureFile(ctx))
        return;
    // The new environment starts from the file as just sorted, with its procedure times.
    KeyedFile<ProcedureFile>(ctx).CopyTo(BuildDataFileName(newEnvironment, ".INT"));
}

} // namespace gim
