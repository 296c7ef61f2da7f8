#include "masterdata/routines.h"

#include "core/command.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/lookups.h"
#include "core/operations.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "masterdata/procedures.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/routine_card.h"
#include "platform/report.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>

namespace gim {

namespace {

// Runs its action on every way out of a scope.
class AtExit
{
public:
    explicit AtExit(std::function<void()> action) : m_action(std::move(action)) {}
    ~AtExit() { m_action(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

private:
    std::function<void()> m_action;
};

// The machine taken out of the plan goes back once the list has been saved in key order: the plan reads
// the machine's routine from the file by halves.
void ReloadAfterSave(Context& ctx)
{
    RoutinesState& r = Routines(ctx);
    if (!(r.EditorPlanEntry.Code == "#"))
        r.PlanReloadPending = true;
}

void RunPendingReload(Context& ctx)
{
    if (Routines(ctx).PlanReloadPending)
        ReloadMachineAfterEdit(ctx);
}

// The operation file as the user names it on the copy dialog: an environment code, or the path of an
// operation file less its extension.
std::optional<QString> SourceFileName(const Context& ctx, const QString& source, const char* extension)
{
    if (QDir::isAbsolutePath(source))
        return QDir(ctx.st.WorkDir).relativeFilePath(source + QLatin1String(extension));
    if (!IsSafeEnvironmentCode(source))
        return std::nullopt;
    return BuildDataFileName(source, extension);
}

QString OperationRow(const TOperationRecord& rec)
{
    return QLatin1Char('\t') + rec.Frequency.str() + QLatin1Char('\t') + rec.State.str() + QLatin1Char('\t') +
           QString::number(rec.Minutes.get()) + QLatin1Char('\t') + rec.Speciality.str() + QLatin1Char('\t') +
           rec.Description.str();
}

// The copy card's summary goes to a report window, from where it is printed.
void PrintCopySummary(Context& ctx, const QStringList& lines)
{
    auto report = std::make_shared<ReportDocument>(ctx.st.CurrentEnvironment);
    report->SetTabStops({20, 40, 60, 80, 100});
    for (const QString& line : lines)
        report->AddLine(line.isEmpty() ? QStringLiteral("\r") : line);
    ctx.ui.ShowReport(report);
}

// The edit offers a record when it matches the filter; "*" matches any value and the description is
// compared over the first `prefix` characters.
bool Offered(const TOperationRecord& filter, const TOperationRecord& rec, std::size_t prefix)
{
    auto field = [](const auto& wanted, const auto& have) { return wanted == "*" || wanted == have; };
    if (!(filter.MachineCode == rec.MachineCode) || !field(filter.Frequency, rec.Frequency) ||
        !field(filter.Speciality, rec.Speciality) || !field(filter.State, rec.State))
        return false;
    if (filter.Description == "*")
        return true;
    return filter.Description.bytes().substr(0, prefix) == rec.Description.bytes().substr(0, prefix);
}

// Writes the list to the file through the twin, normalised, and lists it when exporting.
void WriteOperationList(Context& ctx);

} // namespace

RoutinesState& Routines(Context& ctx)
{
    return ctx.Module<RoutinesState>();
}

bool FindIntoFoundMachine(Context& ctx, const ShortString<8>& code, Report whenMissing)
{
    State& st = ctx.st;
    st.FoundMachine = TMachineRecord{};
    st.FoundMachine.Codigo.assign(code);
    const QString& name = st.FileName(DataFile::Machine);
    if (whenMissing == Report::Silent && !DataFileExists(ctx, name)) {
        st.FoundMachine.Denominacion = kMachineNotFound;
        return false;
    }
    FindMachine(ctx, name, st.FoundMachine);
    return !(st.FoundMachine.Denominacion == kMachineNotFound);
}

bool OperationKeyBefore(const TOperationRecord& a, const TOperationRecord& b)
{
    const auto byMachine = a.MachineCode <=> b.MachineCode;
    if (byMachine != 0)
        return byMachine < 0;
    return a.Frequency < b.Frequency;
}

void LoadOperationList(Context& ctx)
{
    RoutinesState& r = Routines(ctx);
    const KeyedFile<OperationFile> file(ctx);
    const QString& name = file.name();
    if (!r.OperationList.empty() && r.OperationListFile == name) {
        SettleOperationList(ctx);
        return;
    }
    FreeOperationList(ctx);
    r.OperationListFile = name;
    if (!file.Exists())
        return;
    CheckHeapMemory(ctx);
    r.OperationList =
        file.LoadList(Report::Silent, QStringLiteral("AVANCE CARGA DE DATOS OPERACIONES DE REVISION"));
    CheckHeapMemory(ctx);
}

void FreeOperationList(Context& ctx)
{
    RoutinesState& r = Routines(ctx);
    FreeNodeList(r.OperationList);
    r.QueuedOperations = 0;
    r.OperationListFile.clear();
}

namespace {

bool OperationEntryBefore(const OperationEntry& a, const OperationEntry& b)
{
    return OperationKeyBefore(a.rec, b.rec);
}

} // namespace

void InsertOperationByKey(Context& ctx, OperationEntry entry)
{
    SettleOperationList(ctx);
    InsertOrdered(Routines(ctx).OperationList, std::move(entry), OperationEntryBefore);
}

void QueueOperationByKey(Context& ctx, OperationEntry entry)
{
    RoutinesState& r = Routines(ctx);
    r.OperationList.push_back(std::move(entry));
    ++r.QueuedOperations;
}

void SettleOperationList(Context& ctx)
{
    RoutinesState& r = Routines(ctx);
    SettleQueued(r.OperationList, r.QueuedOperations, OperationEntryBefore, TieRule::AfterEqual);
    r.QueuedOperations = 0;
}

bool EnterOperation(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    TOperationRecord& rec = r.CurrentOperation;
    const bool importing = st.ActionCode == QLatin1String("i");
    st.AnswerCode = QStringLiteral("N");
    r.OperationSaveRequested = 0;

    if (rec.MachineCode == "#")
        rec.MachineCode = ctx.ui.InputBox(QStringLiteral("ALTA OPRACIONES DE REVISION"),
                                          QStringLiteral("Entrar Código de Máquina"), rec.MachineCode.str());
    if (rec.MachineCode == "#")
        return false;
    // An import without cards says why a line is refused in its echo, not in a message box.
    const bool unattended = importing && !st.InteractiveFlag;
    if (!FindIntoFoundMachine(ctx, rec.MachineCode, unattended ? Report::Silent : Report::Show)) {
        ctx.st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
        if (!unattended)
            ctx.ui.ShowMessage(QStringLiteral("CODIGO DE MAQUINA ") + rec.MachineCode.str() +
                               QStringLiteral(" NO ENCONTRADO"));
        rec.MachineCode = "#";
        return false;
    }
    const QString name = st.FoundMachine.Denominacion.str();

    // A new card starts from blank codes; an imported operation is shown as it came, under its machine.
    TOperationRecord shown = rec;
    QStringList descriptions;
    if (!importing) {
        descriptions = DescriptionSuggestions(r.OperationList);
        shown.Frequency = "..";
        shown.State = "..";
        shown.Speciality = "..";
        shown.Description = ".. ";
        shown.Minutes = 0;
    }

    bool more = true;
    if (st.InteractiveFlag) {
        const CardSpec spec = RoutineCardSpec(ctx, GamaCodeChoicesFromFile(ctx), descriptions,
                                              {RoutineCardUse::Kind::Add, name});
        const int result = RoutineCardBinding().Run(ctx.ui, spec, shown);
        if (result == CardResult::Save) {
            r.OperationSaveRequested = 1;
            more = !importing;
        } else if (result == CardResult::Exit) {
            rec.MachineCode = "#";
            return false;
        }
    } else if (importing) {
        r.OperationSaveRequested = 1;
        more = false;
    }
    if (!r.OperationSaveRequested)
        return more;

    rec = shown;
    if (FindPlannedMachine(ctx)) {
        UnloadMachineForEdit(ctx);
        if (r.EditorPlanEntry.Code == "#") {
            rec.MachineCode = "#";
            r.OperationSaveRequested = 0;
        }
    }
    return more;
}

std::optional<std::uint32_t> AppendOperationRecord(Context& ctx, const TOperationRecord& operation)
{
    const std::optional<std::uint32_t> position =
        KeyedFile<OperationFile>(ctx).Append(FreshRecord(operation));
    if (position)
        ctx.st.ContinueFlag = 1;
    return position;
}

namespace {

// The series of new-operation cards, or the one operation `imported` of an import.
void AddOperationSeries(Context& ctx, const TOperationRecord* imported)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    const bool importing = imported != nullptr;
    r.CurrentOperation.MachineCode = "#";
    r.EditorPlanEntry.Code = "#";
    r.PlanReloadPending = false;
    st.RecordAddedFlag = 0;
    bool more = true;
    while (more) {
        if (importing) {
            r.CurrentOperation = *imported;
        } else {
            st.InteractiveFlag = 1;
            LoadProcedureList(ctx);
        }
        more = EnterOperation(ctx);
        // A cancelled card ends the series; the machine still goes back into the plan below.
        if (r.CurrentOperation.MachineCode == "#")
            break;
        if (!r.OperationSaveRequested)
            continue;
        if (const std::optional<std::uint32_t> position = AppendOperationRecord(ctx, r.CurrentOperation)) {
            st.RecordAddedFlag = 1;
            // An import's lines take their places in the list once, before it is saved.
            if (importing)
                QueueOperationByKey(ctx, {FreshRecord(r.CurrentOperation), *position});
            else
                InsertOperationByKey(ctx, {FreshRecord(r.CurrentOperation), *position});
        }
    }
    ReloadAfterSave(ctx);
    FreeProcedureList(ctx);
}

} // namespace

void AddOperations(Context& ctx)
{
    RoutinesState& r = Routines(ctx);
    AddOperationSeries(ctx, ctx.st.ActionCode == QLatin1String("i") ? &r.SelectedOperation : nullptr);
}

bool AddImportedOperation(Context& ctx, const TOperationRecord& rec)
{
    AddOperationSeries(ctx, &rec);
    return ctx.st.RecordAddedFlag == 1;
}

void EditOperations(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    st.RunFlag = 0;
    r.OperationDeleted = 0;
    r.PlanReloadPending = false;
    // A row handed over from the report window serves one edit, whatever becomes of it.
    AtExit consumed([&r] { r.SelectedOperation.Description = ""; });

    TOperationRecord filter{};
    if (!r.SelectedOperation.Description.empty()) {
        filter = r.SelectedOperation;
    } else {
        filter.MachineCode = ctx.ui.InputBox(QStringLiteral("EDICION DE GAMAS"),
                                             QStringLiteral("Entrar Codigo"), QStringLiteral("#"));
        filter.Frequency = "*";
        filter.Speciality = "*";
        filter.State = "*";
        filter.Description = "*";
    }
    std::size_t prefix = filter.Description.size();

    if (!FindIntoFoundMachine(ctx, filter.MachineCode)) {
        ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound));
        return;
    }
    const QString name = st.FoundMachine.Denominacion.str();
    st.AnswerCode = QStringLiteral("N");

    KeyedFile<OperationFile> file(ctx);
    const std::optional<std::vector<TOperationRecord>> records = file.Read();
    if (!records)
        return;
    const GamaCodeChoices codes = GamaCodeChoicesFromFile(ctx);
    const QStringList descriptions = DescriptionSuggestions({});
    r.EditorPlanEntry.Code = "#";

    for (std::size_t i = 0; i < records->size(); ++i) {
        r.OperationSaveRequested = 0;
        r.OperationDeleteRequested = 0;
        const TOperationRecord& rec = (*records)[i];
        // A shorter description lowers the compared length for this record and every later one.
        prefix = std::min(prefix, rec.Description.size());
        if (!Offered(filter, rec, prefix))
            continue;
        st.RunFlag = 1;
        OperationEntry kept{rec, static_cast<std::uint32_t>(i)};
        r.CurrentOperation = rec;
        bool deleting = false;
        const bool held = FindPlannedMachine(ctx);

        TOperationRecord shown = rec;
        const int result = RoutineCardBinding().Run(
            ctx.ui, RoutineCardSpec(ctx, codes, descriptions, {RoutineCardUse::Kind::Edit, name, held}),
            shown);
        if (result == CardResult::Save)
            r.OperationSaveRequested = 1;
        else if (result == CardResult::Delete)
            r.OperationDeleteRequested = 1;

        if (held) {
            r.OperationSaveRequested = 0;
            r.OperationDeleteRequested = 0;
        } else if (r.OperationSaveRequested) {
            r.CurrentOperation = shown;
        } else if (r.OperationDeleteRequested) {
            st.AnswerCode =
                ctx.ui
                    .InputBox(QStringLiteral("BORRAR OPR"), QStringLiteral("CONFIRME SI DESEA BORRAR (S/N):"),
                              QStringLiteral("N"))
                    .left(2);
            if (st.AnswerCode == QLatin1String("S")) {
                r.CurrentOperation.MachineCode = "Z";
                deleting = true;
                r.OperationSaveRequested = 1;
            }
            r.OperationDeleteRequested = 0;
        }

        if (r.OperationSaveRequested) {
            const WriteResult written = file.WriteAt(kept, r.CurrentOperation);
            if (written != WriteResult::Written) {
                // Nothing of this card is stored, and what was read no longer stands for the file: the
                // edit ends. A file saved by someone else meanwhile: the list follows it, so that a save
                // of earlier deletions writes what the file holds.
                if (written == WriteResult::Moved) {
                    FreeOperationList(ctx);
                    LoadOperationList(ctx);
                }
                break;
            }
            if (deleting) {
                r.OperationDeleted = 1;
                st.ContinueFlag = 1;
            }
            // The entry of this position takes the record; a changed frequency moves it to its key's
            // place, after the operations of equal key.
            std::vector<OperationEntry>& list = r.OperationList;
            const auto at =
                std::find_if(list.begin(), list.end(), [i](const OperationEntry& e) { return e.pos == i; });
            if (at != list.end()) {
                const bool moved = OperationKeyBefore(at->rec, r.CurrentOperation) ||
                                   OperationKeyBefore(r.CurrentOperation, at->rec);
                at->rec = r.CurrentOperation;
                if (moved) {
                    const OperationEntry entry = *at;
                    list.erase(at);
                    InsertOperationByKey(ctx, entry);
                }
            }
        }
        if (result == CardResult::Exit)
            break;
    }

    // A deleted operation stays in the file, marked, until the command saves the list: the machine goes
    // back into the plan after that.
    if (r.OperationDeleted)
        ReloadAfterSave(ctx);
    else if (!(r.EditorPlanEntry.Code == "#"))
        ReloadMachineAfterEdit(ctx);
    st.ActionCode.clear();
}

void DeleteMachineOperations(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    r.PlanReloadPending = false;
    QString goOn;
    do {
        r.CurrentOperation.MachineCode = ctx.ui.InputBox(
            QStringLiteral("BAJA DE GAMAS MTO"), QStringLiteral("Entrar Codigo"), QStringLiteral("#"));
        const QString code = r.CurrentOperation.MachineCode.str();
        r.EditorPlanEntry.Code = "#";
        FindPlannedMachine(ctx);
        st.AnswerCode = ctx.ui
                            .InputBox(QStringLiteral("ELIMINAR GAMA ") + code,
                                      QStringLiteral("CONFIRME BORRAR GAMA (S/N):"), QStringLiteral("N"))
                            .left(2);
        if (st.AnswerCode == QLatin1String("S") && code != QLatin1String("#")) {
            for (OperationEntry& e : r.OperationList)
                if (e.rec.MachineCode == r.CurrentOperation.MachineCode)
                    e.rec.MachineCode = "Z";
        } else if (!(r.EditorPlanEntry.Code == "#")) {
            // Its routine stays as it was, and so does its place in the plan.
            ReloadMachineAfterEdit(ctx);
        }
        goOn = ctx.ui.InputBox(QStringLiteral("BORRAR GAMAS"),
                               QStringLiteral("CONFIRME SI DESEA CONTINUAR (S/N):"), QStringLiteral("N"));
    } while (goOn != QLatin1String("N"));
    SaveOperationList(ctx);
    FreeOperationList(ctx);
}

void CopyOperations(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    const bool total = st.ActionCode == QLatin1String("T");
    r.EditorPlanEntry.Code = "#";
    r.PlanReloadPending = false;
    // A target taken out of the plan goes back once the handler has saved the list.
    AtExit reload([&ctx] { ReloadAfterSave(ctx); });

    OperationCopyRequest dialog{st.CurrentEnvironment, QStringLiteral(".."), st.CurrentEnvironment,
                                QStringLiteral("CÓDIGO MÁQUINA")};
    if (CopyDialogBinding().Run(ctx.ui, CopyDialogSpec(ctx), dialog) != CardResult::Save)
        return;
    const QString& source = dialog.sourceEnvironment;
    const std::optional<QString> sourceOperations = SourceFileName(ctx, source, ".OPR");
    const std::optional<QString> sourceMachines = SourceFileName(ctx, source, ".MQW");
    if (!sourceOperations || !sourceMachines) {
        st.LastIOResult = IoCode::InvalidFileName;
        ShowIOError(ctx, st.LastIOResult);
        return;
    }

    TMachineRecord from{};
    from.Codigo = dialog.sourceMachine;
    FindMachine(ctx, *sourceMachines, from);
    if (from.Denominacion == kMachineNotFound) {
        ctx.ui.ShowMessage(from.Denominacion.str() + QStringLiteral(" BUSCADA EN EL ENTORNO ORIGEN"));
        return;
    }
    TMachineRecord to{};
    to.Codigo = dialog.targetMachine;
    FindMachine(ctx, st.FileName(DataFile::Machine), to);
    if (to.Denominacion == kMachineNotFound) {
        ctx.ui.ShowMessage(to.Denominacion.str() + QStringLiteral(" BUSCADA EN EL ENTORNO DESTINO"));
        return;
    }
    r.CurrentOperation.MachineCode.assign(to.Codigo);
    if (FindPlannedMachine(ctx)) {
        ctx.ui.ShowMessage(QStringLiteral("MAQUINA EN PLANING\rDESCARGARLA ANTES DE EFECTUAR ALTANUEVA"));
        return;
    }

    const std::optional<std::vector<TOperationRecord>> records =
        KeyedFile<OperationFile>(ctx, *sourceOperations).Read();
    if (!records)
        return;

    const GamaCodeChoices codes = GamaCodeChoicesFromFile(ctx);
    const QStringList descriptions = DescriptionSuggestions({});
    QStringList summary{st.FirmName + QString(36, QLatin1Char(' ')) + QStringLiteral("GAMA DE MANTENIMIENTO"),
                        QString(),
                        QStringLiteral("\tCodigo:") + to.Codigo.str() +
                            QStringLiteral("            Máquina:") + to.Denominacion.str(),
                        QStringLiteral("  "),
                        QStringLiteral("\tFR\tEST\tTP\tOF\t       DESCRIPCION "),
                        QStringLiteral("  ")};
    // The copy card shows what has been copied so far; a saved card is read back into `rec`.
    auto copyCard = [&](TOperationRecord& rec) {
        return RoutineCardBinding().Run(
            ctx.ui,
            RoutineCardSpec(ctx, codes, descriptions,
                            {RoutineCardUse::Kind::Copy, from.Denominacion.str(), false, summary}),
            rec);
    };

    TOperationRecord last{};
    last.MachineCode.assign(from.Codigo);
    st.ListedCount = 0;
    for (const TOperationRecord& rec : *records) {
        if (!(rec.MachineCode == from.Codigo))
            continue;
        ++st.ListedCount;
        last = rec;
        TOperationRecord taken = rec;
        bool take = total;
        bool stop = false;
        if (!total) {
            switch (copyCard(taken)) {
            case CardResult::Save:
                take = true;
                break;
            case CardResult::Next:
                PrintCopySummary(ctx, summary);
                break;
            case CardResult::Delete:
                break;
            default:
                stop = true;
                break;
            }
        }
        if (take) {
            TOperationRecord copy = FreshRecord(taken);
            copy.MachineCode.assign(to.Codigo);
            summary << OperationRow(copy);
            InsertOperationByKey(ctx, {copy, kNotInFile});
            st.ContinueFlag = 1;
        }
        if (stop)
            break;
    }
    if (total && copyCard(last) == CardResult::Next)
        PrintCopySummary(ctx, summary);
}

void SaveOperationList(Context& ctx)
{
    try {
        WriteOperationList(ctx);
    } catch (const IoAbort&) {
        // Whatever became of the file, a machine taken out of the plan goes back.
        try {
            RunPendingReload(ctx);
        } catch (const IoAbort&) {
            // the first failure is the one reported
        }
        throw;
    }
    RunPendingReload(ctx);
    ctx.st.ContinueFlag = 0;
}

namespace {

void WriteOperationList(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    // The caller keeps its output mode.
    AtExit keepOutput([&st, output = st.OutputCode] { st.OutputCode = output; });
    auto report = std::make_shared<ReportDocument>(QStringLiteral("GAMAS"));
    report->SetTabStops({5, 60, 80, 100, 120, 140});
    report->AddLine(QLatin1Char('\t') + st.FirmName + QString(29, QLatin1Char(' ')) +
                    QStringLiteral("GAMA DE MANTENIMIENTO") + QString(18, QLatin1Char(' ')) + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    report->SetFontSize(10);
    st.OutputCode = QStringLiteral("P");

    SettleOperationList(ctx);
    std::vector<TOperationRecord> kept;
    kept.reserve(r.OperationList.size());
    for (const OperationEntry& e : r.OperationList) {
        if (e.rec.MachineCode == "Z")
            continue;
        TOperationRecord rec = e.rec;
        if (!FrequencyIncludes(u"TT", rec.Frequency.str()))
            rec.Frequency = "S";
        if (st.ExportFlag)
            report->AddLine(QLatin1Char('\t') + rec.MachineCode.str() + OperationRow(rec));
        const std::string description(rec.Description.bytes());
        const std::size_t blanks = std::min(description.find_first_not_of(' '), description.size());
        if (blanks > 0)
            rec.Description.setBytes(std::string_view(description).substr(blanks));
        if (rec.Speciality == "M")
            rec.Speciality = "MC";
        else if (rec.Speciality == "F")
            rec.Speciality = "FR";
        kept.push_back(rec);
    }
    KeyedFile<OperationFile> file(ctx);
    if (!file.Rewrite(kept))
        return;

    // The list stays valid for the commands that keep it loaded.
    r.OperationList.clear();
    for (std::size_t i = 0; i < kept.size(); ++i)
        r.OperationList.push_back({kept[i], static_cast<std::uint32_t>(i)});
    r.OperationListFile = file.name();

    if (st.ExportFlag)
        ctx.ui.ShowReport(report);
}

} // namespace

bool FindPlannedMachine(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    r.PlanSearchEntry.Code = " ";
    bool found = false;
    {
        RecordFile<TPlanRecord> file(ctx);
        if (!NoteIoResult(ctx, file.Open(st.FileName(DataFile::Plan), RawRecordFile::Mode::Read),
                          Report::Silent))
            return false;
        // The plan file is kept in code order by every plan command.
        std::int64_t low = 0;
        std::int64_t high = static_cast<std::int64_t>(file.Count()) - 1;
        while (high >= low) {
            const std::int64_t middle = (low + high) / 2;
            r.PlanSearchEntry = file.Read(static_cast<std::size_t>(middle));
            const auto order = r.PlanSearchEntry.Code <=> r.CurrentOperation.MachineCode;
            if (order == 0) {
                found = true;
                break;
            }
            if (order < 0)
                low = middle + 1;
            else
                high = middle - 1;
        }
    }
    if (!found)
        return false;
    if (st.OutputCode == QLatin1String("W")) {
        st.RefusalReason = QString::fromUtf8(kMachinePlannedReason);
        // Without cards the import's echo says it.
        if (st.InteractiveFlag)
            ctx.ui.ShowMessage(QStringLiteral("MAQUINA ") + r.CurrentOperation.MachineCode.str() +
                               QStringLiteral(" EN PLANING") + QStringLiteral("\r") +
                               QStringLiteral("DESCARGAR ANTES DE IMPORTAR"));
        r.CurrentOperation.MachineCode = "#";
        return false;
    }
    if (UnloadMachineForEdit(ctx))
        return false;
    r.PlanSearchEntry.Code = kPlanHeldMarker;
    return true;
}

bool UnloadMachineForEdit(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    // The plan works with its own mode codes; the routine command goes on with its own.
    ModeCodeGuard keep(ctx);
    r.EditorPlanEntry.Code.assign(r.CurrentOperation.MachineCode);
    st.ActionCode = QStringLiteral("E");
    st.AnswerCode = QStringLiteral("D");
    ctx.Module<OperationRegistry>().RunIfRegistered(ctx, Op::UnloadPlannedMachine);
    r.EditorPlanEntry.StartWeek = r.PlanSearchEntry.StartWeek.get();
    return st.ActionCode == QLatin1String("E") && !(r.EditorPlanEntry.Code == "#");
}

void ReloadMachineAfterEdit(Context& ctx)
{
    State& st = ctx.st;
    RoutinesState& r = Routines(ctx);
    r.PlanReloadPending = false;
    ModeCodeGuard keep(ctx);
    st.ActionCode = QStringLiteral("E");
    st.AnswerCode = QStringLiteral("C");
    ctx.Module<OperationRegistry>().RunIfRegistered(ctx, Op::ReloadPlannedMachine);
}

double AnnualOccurrences(const TOperationRecord& op, const QString& specialitySelection)
{
    if (specialitySelection != QLatin1String("*") && !(op.Speciality == specialitySelection))
        return 0.0;
    const QString frequency = op.Frequency.str();
    static const std::pair<const char*, double> perYear[] = {
        {"1D", 313.0}, {"1S", 52.0}, {"2S", 26.0}, {"M", 12.0}, {"M2", 6.0},
        {"M3", 4.0},   {"M4", 3.0},  {"S", 2.0},   {"S2", 1.0}, {"S4", 0.5},
    };
    for (const auto& [code, times] : perYear)
        if (frequency == QLatin1String(code))
            return times;
    return 0.0;
}

void CopyOperationsToEnvironment(Context& ctx, const QString& newEnvironment)
{
    FreeOperationList(ctx);
    LoadOperationList(ctx);
    SaveOperationList(ctx);
    // The new environment starts from the routine as just saved: sorted, without deleted operations.
    KeyedFile<OperationFile>(ctx).CopyTo(BuildDataFileName(newEnvironment, ".OPR"));
}

} // namespace gim
