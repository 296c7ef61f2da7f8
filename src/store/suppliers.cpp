#include "store/suppliers.h"

#include "core/context.h"
#include "store/supplier_card.h"

#include <algorithm>
#include <cstdint>

namespace gim {

namespace {

auto EntryBefore()
{
    return [](const SupplierEntry& a, const SupplierEntry& b) { return SupplierBefore(a.rec, b.rec); };
}

// Whether the firm gave the supplier file a name (a firm name that cannot name a file gives none).
// `report` says whether the refusal is shown.
bool SupplierFileNamed(Context& ctx, Report report)
{
    if (!ctx.st.SupplierFileName.isEmpty())
        return true;
    NoteIoResult(ctx, {IoCode::InvalidFileName, ctx.st.WorkDir}, report);
    return false;
}

// The first entry of the list with this code.
std::vector<SupplierEntry>::iterator FindInList(std::vector<SupplierEntry>& list, const ShortString<10>& code)
{
    const auto it = std::lower_bound(
        list.begin(), list.end(), code,
        [](const SupplierEntry& e, const ShortString<10>& key) { return e.rec.Codigo < key; });
    return it != list.end() && it->rec.Codigo == code ? it : list.end();
}

} // namespace

SuppliersState& Suppliers(Context& ctx)
{
    return ctx.Module<SuppliersState>();
}

bool SupplierBefore(const TSupplierRecord& a, const TSupplierRecord& b)
{
    return a.Codigo < b.Codigo;
}

void LoadSupplierList(Context& ctx)
{
    std::vector<SupplierEntry>& list = Suppliers(ctx).SupplierList;
    FreeNodeList(list);
    if (SupplierFileNamed(ctx, Report::Silent))
        list = KeyedFile<SupplierFile>(ctx).LoadList(Report::Silent);
}

void InsertSupplierSorted(Context& ctx, SupplierEntry entry)
{
    InsertOrdered(Suppliers(ctx).SupplierList, std::move(entry), EntryBefore());
}

void FreeSupplierList(Context& ctx)
{
    FreeNodeList(Suppliers(ctx).SupplierList);
}

QString FindSupplierName(Context& ctx, const QString& code)
{
    if (!SupplierFileNamed(ctx, Report::Silent))
        return QString::fromLatin1(kNotASupplier);
    TSupplierRecord wanted{};
    wanted.Codigo = code;
    const KeyedFile<SupplierFile> file(ctx);
    const std::optional<std::size_t> at = file.FindByKey(wanted);
    const std::optional<TSupplierRecord> found = at ? file.ReadAt(*at, Report::Silent) : std::nullopt;
    return found ? found->Empresa.str() : QString::fromLatin1(kNotASupplier);
}

bool SupplierCodeInFile(Context& ctx, const ShortString<10>& code)
{
    if (!SupplierFileNamed(ctx, Report::Silent))
        return false;
    TSupplierRecord wanted{};
    wanted.Codigo = code;
    return KeyedFile<SupplierFile>(ctx).FindByKey(wanted).has_value();
}

void ShowRepeatedSupplierCode(Context& ctx, const ShortString<10>& code)
{
    ctx.ui.ShowMessage(QStringLiteral("CODIGO :") + code.str() + QStringLiteral(" REPETIDO ANULADA ALTA"));
}

AppendResult SaveSupplier(Context& ctx)
{
    State& st = ctx.st;
    TSupplierRecord& buffer = Suppliers(ctx).SupplierBuffer;
    if (!SupplierFileNamed(ctx, Report::Show))
        return AppendResult::Failed;
    KeyedFile<SupplierFile> file(ctx);
    // The first supplier makes the file: one record is in order already, nothing to compact.
    const bool joinsFile = file.Exists();
    buffer = FreshRecord(buffer);
    std::uint32_t position = 0;
    const AppendResult result = file.AppendUnique(buffer, position);
    if (result == AppendResult::Duplicate)
        ShowRepeatedSupplierCode(ctx, buffer.Codigo);
    if (result == AppendResult::Stored) {
        if (joinsFile)
            st.ContinueFlag = 1;
        InsertSupplierSorted(ctx, {buffer, position});
    }
    return result;
}

namespace {

// One supplier card, blank or showing `imported`.
void AddOneSupplier(Context& ctx, const TSupplierRecord* imported)
{
    State& st = ctx.st;
    SuppliersState& s = Suppliers(ctx);
    st.RecordAddedFlag = 0;
    if (imported) {
        s.SupplierBuffer = *imported;
    } else {
        s.SupplierBuffer = TSupplierRecord{};
        s.SupplierBuffer.Codigo = "#";
    }
    ShowSupplierForm(ctx, s.SupplierBuffer);
    if (s.SupplierBuffer.Codigo == "#" || s.SupplierBuffer.Codigo == "Z")
        return;
    // Only a stored supplier counts as added: the import echoes this flag line by line.
    if (SaveSupplier(ctx) == AppendResult::Stored)
        st.RecordAddedFlag = 1;
}

} // namespace

void AddSupplier(Context& ctx)
{
    SuppliersState& s = Suppliers(ctx);
    AddOneSupplier(ctx, ctx.st.ActionCode == QLatin1String("i") ? &s.SupplierInput : nullptr);
}

bool AddImportedSupplier(Context& ctx, const TSupplierRecord& rec)
{
    AddOneSupplier(ctx, &rec);
    return ctx.st.RecordAddedFlag == 1;
}

void EditSupplier(Context& ctx)
{
    State& st = ctx.st;
    SuppliersState& s = Suppliers(ctx);
    st.ContinueFlag = 0;
    ShortString<10> typed{};
    typed = ctx.ui.InputBox(QStringLiteral("CONSULTA SELECTIVA PROVEEDORES "),
                            QStringLiteral("INTRODUCIR CODIGO PROVEEDOR"), QStringLiteral("#"));
    if (!SupplierFileNamed(ctx, Report::Show))
        return;
    KeyedFile<SupplierFile> file(ctx);
    if (!file.Exists()) {
        NoteIoResult(ctx, {IoCode::FileNotFound, ctx.Path(file.name())}, Report::Show);
        return;
    }
    const auto found = FindInList(s.SupplierList, typed);
    if (found == s.SupplierList.end())
        return;
    st.AnswerCode = QStringLiteral(" ");
    s.SupplierBuffer = found->rec;
    const int result = ShowSupplierForm(ctx, s.SupplierBuffer, &found->rec.Codigo);
    if (result == CardResult::Delete) {
        st.ContinueFlag = 1;
    } else if (result != CardResult::Save) {
        return;
    } else if (!(s.SupplierBuffer.Codigo == found->rec.Codigo)) {
        // Two suppliers with one code could no longer be told apart by the spare parts and orders
        // that name them.
        if (FindInList(s.SupplierList, s.SupplierBuffer.Codigo) != s.SupplierList.end()) {
            ShowRepeatedSupplierCode(ctx, s.SupplierBuffer.Codigo);
            return;
        }
    }
    // Written where the record lies in the file, after checking it is still the one the list holds.
    if (file.WriteAt(*found, s.SupplierBuffer) != WriteResult::Written)
        st.ContinueFlag = 0;
}

bool CompactSupplierFile(Context& ctx)
{
    State& st = ctx.st;
    std::vector<SupplierEntry>& list = Suppliers(ctx).SupplierList;
    // Called after every edit and by the backup: a firm without a file name or a firm without suppliers
    // has nothing to compact, and a command that needed the file has said so already.
    if (!SupplierFileNamed(ctx, Report::Silent))
        return false;
    KeyedFile<SupplierFile> file(ctx);
    if (!file.Exists())
        return false;
    // A file that cannot be written (write-protected) is left as it is, silently: the command that
    // wrote to it has reported that already, and one that only read it has nothing to say.
    const bool compacted = file.Sort(Report::Silent);
    // The list follows the file as written: code order, positions from the first record on.
    if (compacted) {
        const std::vector<TSupplierRecord> records =
            file.Read(Report::Silent).value_or(std::vector<TSupplierRecord>{});
        FreeNodeList(list);
        list.reserve(records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            list.push_back({records[i], static_cast<std::uint32_t>(i)});
    }
    st.ContinueFlag = 0;
    return compacted;
}

} // namespace gim
