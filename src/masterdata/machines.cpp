#include "masterdata/machines.h"

#include "core/context.h"
#include "core/lookups.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "masterdata/machine_card.h"
#include "masterdata/machine_listings.h"
#include "records/operation_record.h"
#include "records/work_report_record.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace gim {

namespace {

void ClearCardRequests(Context& ctx)
{
    MachinesState& m = Machines(ctx);
    m.MachineSaveRequested = 0;
    m.MachineDeleteRequested = 0;
}

// Stores the photo the card asked for, now that its machine is stored. The name follows the stored
// code, not the code that stood on the card when the box was ticked.
void ImportMachinePhoto(Context& ctx)
{
    State& st = ctx.st;
    if (st.PhotoAssignFlag == 0)
        return;
    const PictureCodec* codec = ctx.codec;
    if (!codec) {
        st.PhotoAssignFlag = 0;
        return;
    }
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::Machine, st.CurrentEnvironment);
    st.PhotoFileName = PhotoFileNameFor(st.CurrentMachine.Codigo.str());
    ImportPictureFile(ctx, *codec, st.CurrentSubFolder, st.PhotoFileName);
}

// AppendMachineRecord, telling where the record went.
std::optional<std::uint32_t> AppendMachine(Context& ctx, const TMachineRecord& machine)
{
    State& st = ctx.st;
    const TMachineRecord rec = FreshRecord(machine);
    std::uint32_t position = 0;
    const AppendResult result = KeyedFile<MachineFile>(ctx).AppendUnique(rec, position);
    if (result == AppendResult::Failed)
        return std::nullopt;
    st.ListedCount = position;
    if (result == AppendResult::Duplicate) {
        ctx.ui.ShowMessage(QStringLiteral("CODIGO :") + rec.Codigo.str() +
                           QStringLiteral(" REPETIDO ANULADA ALTA"));
        return std::nullopt;
    }
    st.ContinueFlag = 1;
    return position;
}

} // namespace

MachinesState& Machines(Context& ctx)
{
    return ctx.Module<MachinesState>();
}

bool MachineCodeBefore(const TMachineRecord& a, const TMachineRecord& b)
{
    return a.Codigo < b.Codigo;
}

bool MachineAccountBefore(const TMachineRecord& a, const TMachineRecord& b)
{
    const auto byAccount = a.Cuenta <=> b.Cuenta;
    if (byAccount != 0)
        return byAccount < 0;
    return a.Codigo < b.Codigo;
}

TMachineRecord LookUpMachine(Context& ctx, const QString& code)
{
    TMachineRecord machine{};
    machine.Codigo = code;
    machine.Denominacion = kMachineNotFound;
    const QString& name = MachineFile::Name(ctx.st);
    if (DataFileExists(ctx, name))
        FindMachine(ctx, name, machine);
    return machine;
}

void LoadMachineList(Context& ctx)
{
    MachinesState& m = Machines(ctx);
    FreeMachineList(ctx);
    CheckHeapMemory(ctx);
    m.MachineList = KeyedFile<MachineFile>(ctx).LoadList(Report::Silent);
    ++m.MachineListRevision;
    m.LoadedCount = m.MachineList.size();
    // The records are checked as they are read, from the last to the first; the buffer is left
    // holding the last one read.
    std::vector<TMachineRecord> read(m.MachineList.size());
    for (const MachineEntry& e : m.MachineList)
        read[read.size() - 1 - e.pos] = e.rec;
    CheckMachineFileCodes(ctx, read, MachineFile::Name(ctx.st));
    if (!read.empty())
        ctx.st.CurrentMachine = read.back();
    CheckHeapMemory(ctx);
    m.MachineListCursor = 0;
}

QStringList MachineCodes(const std::vector<MachineEntry>& list)
{
    QStringList codes;
    codes.reserve(static_cast<qsizetype>(list.size()));
    for (const MachineEntry& e : list)
        codes << e.rec.Codigo.str();
    return codes;
}

namespace {

// The codes the cards offer, kept while the register stays the same file as it was (its stamp): a series
// of cards (an import shows one a line) reads the register once, not once a card.
struct MachineCodeChoiceCache
{
    DataFileSeen seen;
    QStringList codes;
    // The codes behind one leading item ("*" for any machine), made once for the codes above.
    QString first;
    QStringList withFirst;
};

} // namespace

QStringList MachineCodeChoices(Context& ctx)
{
    MachineCodeChoiceCache& cache = ctx.Module<MachineCodeChoiceCache>();
    if (cache.seen.Unchanged(ctx, ctx.st.FileName(DataFile::Machine)))
        return cache.codes;
    QStringList codes = MachineCodes(KeyedFile<MachineFile>(ctx).LoadList(Report::Silent));
    cache.codes = codes;
    cache.withFirst.clear();
    return codes;
}

QStringList MachineCodeChoices(Context& ctx, const QString& first)
{
    const QStringList codes = MachineCodeChoices(ctx);
    MachineCodeChoiceCache& cache = ctx.Module<MachineCodeChoiceCache>();
    // Codes read afresh (the register changed, or is not there) dropped the list made from the old ones.
    if (cache.withFirst.isEmpty() || cache.first != first) {
        cache.first = first;
        cache.withFirst = QStringList{first} + codes;
    }
    return cache.withFirst;
}

MachineNames::MachineNames(Context& ctx)
    : m_machines(KeyedFile<MachineFile>(ctx).Read(Report::Silent).value_or(std::vector<TMachineRecord>{}))
{
}

QString MachineNames::Of(const ShortString<8>& code) const
{
    const TMachineRecord* machine = Find(code);
    return machine ? machine->Denominacion.str() : QString::fromLatin1(kMachineNotFound);
}

const TMachineRecord* MachineNames::Find(const ShortString<8>& code) const
{
    const auto at =
        std::lower_bound(m_machines.begin(), m_machines.end(), code,
                         [](const TMachineRecord& m, const ShortString<8>& c) { return m.Codigo < c; });
    return at == m_machines.end() || !(at->Codigo == code) ? nullptr : &*at;
}

void FreeMachineList(Context& ctx)
{
    MachinesState& m = Machines(ctx);
    FreeNodeList(m.MachineList);
    ++m.MachineListRevision;
    m.MachineListCursor = 0;
}

void InsertMachineByCode(Context& ctx, MachineEntry entry)
{
    InsertOrdered(
        Machines(ctx).MachineList, std::move(entry),
        [](const MachineEntry& a, const MachineEntry& b) { return MachineCodeBefore(a.rec, b.rec); });
    ++Machines(ctx).MachineListRevision;
}

void InsertMachineByAccount(Context& ctx, MachineEntry entry)
{
    InsertOrdered(
        Machines(ctx).MachineList, std::move(entry),
        [](const MachineEntry& a, const MachineEntry& b) { return MachineAccountBefore(a.rec, b.rec); });
    ++Machines(ctx).MachineListRevision;
}

void ClearMachineRecord(TMachineRecord& rec)
{
    rec.Codigo = "#";
    rec.Denominacion = "..";
    rec.Modelo = "..";
    rec.Fabricacion = "..";
}

void EditMachine(Context& ctx)
{
    State& st = ctx.st;
    MachinesState& m = Machines(ctx);
    ClearCardRequests(ctx);
    st.PhotoAssignFlag = 0;
    ClearMachineRecord(st.CurrentMachine);
    const QString typed = ctx.ui
                              .InputBox(QStringLiteral("EDICION DE MÁQUINAS"),
                                        QStringLiteral("Entrar Codigo"), QStringLiteral("#"))
                              .left(8);
    st.CurrentSubFolder = QStringLiteral("\\MAQUINAS\\");

    const auto found = std::find_if(m.MachineList.begin(), m.MachineList.end(),
                                    [&](const MachineEntry& e) { return e.rec.Codigo == typed; });
    if (found == m.MachineList.end()) {
        m.MachineListCursor = m.MachineList.size();
        if (typed != QLatin1String("#"))
            ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound));
        return;
    }
    m.MachineListCursor = static_cast<std::size_t>(found - m.MachineList.begin());
    st.CurrentRecordIndex = static_cast<std::uint16_t>(m.MachineListCursor);
    st.CurrentMachine = found->rec;

    switch (MachineCardBinding().Run(ctx.ui, MachineCardSpec(ctx, MachineCardUse::Edit), st.CurrentMachine)) {
    case CardResult::Save:
        m.MachineSaveRequested = 1;
        // The edited record must pass the checks a new one passes: a machine without an account would
        // be dropped by the next sorting rewrite.
        CheckMachineCodes(ctx, st.CurrentMachine);
        if (st.MachineCodesOk == 0) {
            m.MachineSaveRequested = 0;
            st.PhotoAssignFlag = 0;
        }
        break;
    case CardResult::Print:
        ShowMachineSheet(ctx, st.CurrentMachine);
        break;
    case CardResult::Delete:
        m.MachineDeleteRequested = 1;
        break;
    default:
        break;
    }
}

void SaveMachineRecord(Context& ctx)
{
    State& st = ctx.st;
    MachinesState& m = Machines(ctx);
    KeyedFile<MachineFile> file(ctx);
    if (!file.Exists()) {
        NoteIoResult(ctx, {IoCode::FileNotFound, ctx.Path(file.name())}, Report::Show);
        return;
    }
    if (m.MachineDeleteRequested) {
        const bool hasOperations = MachineHasOperations(ctx, st.FileName(DataFile::Operation));
        const bool hasReports = MachineHasDailyReports(ctx);
        if (hasOperations)
            ctx.ui.ShowMessage(QStringLiteral("EXISTEN OPERACIONES DE REVISION DEFINIDAS DE ESTA MAQUINA\r"
                                              "            BORRARLAS ANTES DE BORRAR"));
        if (hasReports)
            ctx.ui.ShowMessage(QStringLiteral("EXISTEN PARTES DIARIOS ASIGNADOS A ESTA MAQUINA\r"
                                              "            MODIFICARLOS ANTES DE BORRAR"));
        // A refused delete writes nothing; the request stays, so that the sort the command runs after
        // every card asking to save or delete follows it as well.
        if (hasOperations || hasReports)
            return;
        st.CurrentMachine.Codigo = "Z";
        st.ContinueFlag = 1;
    }
    if (!m.MachineSaveRequested && !m.MachineDeleteRequested)
        return;
    if (m.MachineListCursor >= m.MachineList.size())
        return;
    const WriteResult written = file.WriteAt(m.MachineList[m.MachineListCursor], st.CurrentMachine);
    ++m.MachineListRevision;
    if (written != WriteResult::Written) {
        // Nothing of this edit is stored, so there is nothing to sort either. A file saved by someone
        // else since the list was read: the list follows the file.
        m.MachineSaveRequested = 0;
        m.MachineDeleteRequested = 0;
        st.ContinueFlag = 0;
        if (written == WriteResult::Moved) {
            LoadMachineList(ctx);
            m.MachineListCursor = m.MachineList.size();
        }
        return;
    }
    if (m.MachineSaveRequested)
        ImportMachinePhoto(ctx);
}

namespace {

// The series of new-machine cards, or the one record `imported` of an import.
void AddMachineSeries(Context& ctx, const TMachineRecord* imported)
{
    State& st = ctx.st;
    MachinesState& m = Machines(ctx);
    ClearCardRequests(ctx);
    st.PhotoAssignFlag = 0;
    st.RecordAddedFlag = 0;
    bool more = true;
    // Callers that looked a code up in vain hand it over in CurrentMachine.
    if (!(st.FoundMachine.Denominacion == kMachineNotFound))
        ClearMachineRecord(st.CurrentMachine);
    const bool importing = imported != nullptr;
    const CardSpec spec = MachineCardSpec(ctx, MachineCardUse::Add);
    while (more) {
        if (importing)
            st.CurrentMachine = *imported;
        // Each card asks anew: a card closed with the print button stores nothing.
        ClearCardRequests(ctx);
        if (st.InteractiveFlag) {
            const int result = MachineCardBinding().Run(ctx.ui, spec, st.CurrentMachine);
            if (result == CardResult::Save) {
                m.MachineSaveRequested = 1;
            } else if (result == CardResult::Exit) {
                more = false;
                st.CurrentMachine.Codigo = "#";
            }
        } else {
            m.MachineSaveRequested = 1;
        }

        const TMachineRecord& cur = st.CurrentMachine;
        if (!m.MachineSaveRequested || cur.Codigo == "#") {
            // a cancelled card, or one closed with the print button
        } else if (cur.Codigo == "Z" || cur.Codigo == "*") {
            ctx.ui.ShowMessage(QStringLiteral("CODIGO NO ADECUADO ANULADA ALTA MÁQUINA"));
        } else {
            CheckMachineCodes(ctx, st.CurrentMachine);
            if (st.MachineCodesOk) {
                // The photo is stored only once the machine is: a refused card must not replace the
                // photo of the machine that already has this code.
                st.CurrentMachine = FreshRecord(st.CurrentMachine);
                if (const std::optional<std::uint32_t> position = AppendMachine(ctx, st.CurrentMachine)) {
                    InsertMachineByCode(ctx, {st.CurrentMachine, *position});
                    st.RecordAddedFlag = 1;
                    ImportMachinePhoto(ctx);
                }
            }
        }
        // A photo asked for on a refused card does not carry over to the next one.
        st.PhotoAssignFlag = 0;
        if (importing)
            more = false;
    }
}

} // namespace

void AddMachines(Context& ctx)
{
    const bool importing = ctx.st.ActionCode == QLatin1String("i");
    AddMachineSeries(ctx, importing ? &ctx.st.ImportedMachine : nullptr);
}

void AddMachineOfCode(Context& ctx, const ShortString<8>& code)
{
    State& st = ctx.st;
    st.FoundMachine.Denominacion = kMachineNotFound;
    ClearMachineRecord(st.CurrentMachine);
    st.CurrentMachine.Codigo.assign(code);
    AddMachineSeries(ctx, nullptr);
}

bool AddImportedMachine(Context& ctx, const TMachineRecord& rec)
{
    AddMachineSeries(ctx, &rec);
    return ctx.st.RecordAddedFlag == 1;
}

bool AppendMachineRecord(Context& ctx, const TMachineRecord& machine)
{
    return AppendMachine(ctx, machine).has_value();
}

bool SortMachineFile(Context& ctx)
{
    State& st = ctx.st;
    FreeMachineList(ctx);
    KeyedFile<MachineFile> file(ctx);
    // Nothing to sort before the first machine is stored.
    if (!file.Exists()) {
        st.ContinueFlag = 0;
        return false;
    }
    // Badly coded machines are dropped, with a word for one of them and a count for many.
    std::vector<TMachineRecord> badlyCoded;
    const bool sorted = file.Sort([&badlyCoded](const TMachineRecord& rec) {
        if (!MachineCodesValid(rec)) {
            badlyCoded.push_back(rec);
            return true;
        }
        return MachineFile::Deleted(rec);
    });
    CheckMachineFileCodes(ctx, badlyCoded, file.name());
    st.ContinueFlag = 0;
    return sorted;
}

void EnsureMachineFileSorted(Context& ctx)
{
    EnsureKeyOrder<MachineFile>(ctx, SortMachineFile);
}

bool MachineHasOperations(Context& ctx, const QString& operationFileName)
{
    RecordFile<TOperationRecord> file(ctx);
    if (!NoteIoResult(ctx, file.Open(operationFileName, RawRecordFile::Mode::Read), Report::Silent))
        return false;
    const auto& wanted = ctx.st.CurrentMachine.Codigo;
    // Bisection over the whole file: any operation of the machine will do.
    std::size_t low = 0;
    std::size_t high = file.Count();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const auto order = file.Read(middle).MachineCode <=> wanted;
        if (order == 0)
            return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return false;
}

bool MachineHasDailyReports(Context& ctx)
{
    const auto& wanted = ctx.st.CurrentMachine.Codigo;
    const std::vector<TWorkReportRecord> reports =
        LoadRecords<TWorkReportRecord>(ctx, ctx.st.FileName(DataFile::WorkReport), false);
    return std::any_of(reports.begin(), reports.end(),
                       [&](const TWorkReportRecord& r) { return r.Codigo == wanted; });
}

void AssignMachinePhoto(Context& ctx, const QString& codeText)
{
    State& st = ctx.st;
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::Machine, st.CurrentEnvironment);
    st.PhotoFileName = PhotoFileNameFor(codeText);
    const QString path =
        ResolveSubFolder(st.BaseDir, st.CurrentSubFolder) + QLatin1Char('/') + st.PhotoFileName;
    if (QFileInfo::exists(path))
        ctx.ui.ShowMessage(QStringLiteral("Existe una foto asignada a esta Máquina : ") +
                           st.CurrentSubFolder + st.PhotoFileName);
}

void CarryMachinesToNewYear(Context& ctx, const QString& newEnvironment)
{
    if (!SortMachineFile(ctx))
        return;
    // The new environment starts from the register as just sorted and purged, so that its lookups by
    // halves find every machine.
    KeyedFile<MachineFile>(ctx).CopyTo(BuildDataFileName(newEnvironment, ".MQW"));
}

} // namespace gim
