#include "masterdata/procedures.h"

#include "core/context.h"
#include "core/lookups.h"
#include "core/record_file.h"
#include "core/sorted_rewrite.h"
#include "masterdata/procedure_card.h"
#include "masterdata/routines.h"

#include <algorithm>

namespace gim {

namespace {

const QString& ProcedureFile(const Context& ctx)
{
    return ctx.st.FileName(DataFile::Procedure);
}

// A new record carries only its fields: the bytes past each text are zero, as in every new record.
TProcedureRecord FreshProcedure(const TProcedureRecord& rec)
{
    TProcedureRecord out{};
    out.MachineCode.assign(rec.MachineCode);
    out.Espec.assign(rec.Espec);
    out.Proced.assign(rec.Proced);
    out.Inst.assign(rec.Inst);
    out.Estado.assign(rec.Estado);
    out.Descripcion.assign(rec.Descripcion);
    out.Tiempo = rec.Tiempo.get();
    return out;
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
    p.ProcedureList = LoadOrderedList<TProcedureRecord>(ctx, ProcedureFile(ctx), ProcedureKeyBefore,
                                                        LoadOrder::FirstToLast, false);
}

void FreeProcedureList(Context& ctx)
{
    FreeNodeList(Procedures(ctx).ProcedureList);
}

void AddProcedure(Context& ctx)
{
    State& st = ctx.st;
    ProceduresState& p = Procedures(ctx);
    const bool importing = st.ActionCode == QLatin1String("i");
    // The card kind asked for here is this command's: later commands must not find it in OutputCode.
    const QString output = st.OutputCode;
    struct RestoreOutput
    {
        State& st;
        QString output;
        ~RestoreOutput() { st.OutputCode = output; }
    } restore{st, output};

    p.ProcedureCardSaved = 0;
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
            p.CurrentProcedure = p.ImportedProcedure;
        const int result = ShowProcedureCard(ctx, p.CurrentProcedure);
        if (result == ProcedureCardResult::Exit || (importing && result == ProcedureCardResult::Save))
            more = false;
        if (p.CurrentProcedure.MachineCode == "#")
            continue;
        const bool known = FindIntoFoundMachine(ctx, p.CurrentProcedure.MachineCode);
        if (!p.ProcedureCardSaved)
            continue;
        if (!known)
            ctx.ui.ShowMessage(st.FoundMachine.Denominacion.str() +
                               QStringLiteral(" ANULADA ALTA PROCEDIMIENTO"));
        else if (AppendProcedureRecord(ctx))
            st.RecordAddedFlag = 1;
    }
}

bool AppendProcedureRecord(Context& ctx)
{
    State& st = ctx.st;
    const TProcedureRecord rec = FreshProcedure(Procedures(ctx).CurrentProcedure);
    const QString& name = ProcedureFile(ctx);
    RecordFile<TProcedureRecord> file(ctx);
    if (!DataFileExists(ctx, name)) {
        if (!file.Open(name, RawRecordFile::Mode::Rewrite))
            return false;
        file.Write(0, rec);
        // The command re-sorts after the first record too, so that its time follows the rule.
        st.ContinueFlag = 1;
        return true;
    }
    if (!file.Open(name, RawRecordFile::Mode::Reset))
        return false;
    const std::vector<TProcedureRecord> records = file.ReadAll();
    // The speciality does not count: one number per machine, procedure and instruction. The fields are
    // compared one by one, so that "PR" + "10" and "PR1" + "0" stay apart.
    const bool repeated = std::any_of(records.begin(), records.end(), [&](const TProcedureRecord& r) {
        return r.MachineCode == rec.MachineCode && r.Proced == rec.Proced && r.Inst == rec.Inst;
    });
    if (repeated) {
        ctx.ui.ShowMessage(QStringLiteral("CODIGO :") + rec.MachineCode.str() + rec.Proced.str() +
                           rec.Inst.str() + QStringLiteral(" REPETIDO ANULADA ALTA"));
        return false;
    }
    file.Write(records.size(), rec);
    st.ContinueFlag = 1;
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

    RecordFile<TProcedureRecord> file(ctx);
    if (!file.Open(ProcedureFile(ctx), RawRecordFile::Mode::Reset))
        return;
    const std::size_t count = file.Count();
    for (std::size_t i = 0; i < count; ++i) {
        TProcedureRecord rec = file.Read(i);
        if (JoinedProcedureKey(rec) != key)
            continue;
        ShowProcedureCard(ctx, rec);
        if (st.AnswerCode == QLatin1String("M") || st.AnswerCode == QLatin1String("B")) {
            file.Write(i, rec);
            st.ContinueFlag = 1;
        }
    }
}

bool SortProcedureFile(Context& ctx)
{
    State& st = ctx.st;
    FreeProcedureList(ctx);
    const bool sorted = SortedRewrite<TProcedureRecord>(
        ctx, ProcedureFile(ctx), st.BackupFileName(DataFile::Procedure), ProcedureKeyBefore,
        KeyIsDeleted(&TProcedureRecord::MachineCode), TwinVariant::CopyReversed);
    st.ContinueFlag = 0;
    if (sorted)
        ComputeProcedureTimes(ctx);
    return sorted;
}

void ComputeProcedureTimes(Context& ctx)
{
    RecordFile<TProcedureRecord> file(ctx);
    if (!file.Open(ProcedureFile(ctx), RawRecordFile::Mode::Reset))
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
}

void CarryProceduresToNewYear(Context& ctx, const QString& newEnvironment)
{
    if (!SortProcedureFile(ctx))
        return;
    // The new environment starts from the file as just sorted, with its procedure times.
    RecordFile<TProcedureRecord> file(ctx);
    if (!file.Open(ProcedureFile(ctx), RawRecordFile::Mode::Reset))
        return;
    const std::string bytes = file.ReadAllBytes();
    file.Close();
    WriteFileAtomically(ctx, ctx.Path(BuildDataFileName(newEnvironment, ".INT")), bytes);
}

} // namespace gim
