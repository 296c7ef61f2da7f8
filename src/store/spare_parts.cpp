#include "store/spare_parts.h"

#include "core/context.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/transaction.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "records/cp1252.h"
#include "store/spare_part_card.h"
#include "store/store_movements.h"
#include "store/store_reports.h"

#include <QFileInfo>
#include <algorithm>

namespace gim {

namespace {

const QString kDuplicatePart = QStringLiteral("Código repetido Anulada ALTA");
constexpr int kHighestPiece = 999;

// Codigo + Equipo + Util: the group a piece is numbered in.
JoinedKey GroupKeyOf(const TSparePartRecord& r)
{
    TSparePartRecord group = r;
    group.Pieza = "";
    return PartKeyOf(group);
}

using PartIterator = std::vector<SparePartEntry>::iterator;

// The first entry of [first, last), in part-key order, whose joined key is not below `key`.
PartIterator FirstWithKey(PartIterator first, PartIterator last, std::string_view key)
{
    return std::lower_bound(first, last, key, [](const SparePartEntry& e, std::string_view k) {
        return PartKeyOf(e.rec).view() < k;
    });
}

PartIterator FirstWithKey(std::vector<SparePartEntry>& list, std::string_view key)
{
    return FirstWithKey(list.begin(), list.end(), key);
}

// The first entry of [first, last), in part-key order, with the four codes of `wanted`; `last` without one.
PartIterator FindEntry(PartIterator first, PartIterator last, const TSparePartRecord& wanted)
{
    const JoinedKey key = PartKeyOf(wanted);
    for (auto it = FirstWithKey(first, last, key.view());
         it != last && PartKeyOf(it->rec).view() == key.view(); ++it)
        if (SamePartKey(it->rec, wanted))
            return it;
    return last;
}

PartIterator FindEntry(std::vector<SparePartEntry>& list, const TSparePartRecord& wanted)
{
    return FindEntry(list.begin(), list.end(), wanted);
}

// The four codes of a part as one text, each after its length: equal texts, equal codes.
std::string PartCodesOf(const TSparePartRecord& r)
{
    std::string codes;
    for (const std::string_view part :
         {r.Codigo.bytes(), r.Equipo.bytes(), r.Util.bytes(), r.Pieza.bytes()}) {
        codes += static_cast<char>(part.size());
        codes += part;
    }
    return codes;
}

// Where the parts an import queued begin: the list before them is in part-key order.
PartIterator QueuedStart(SparePartsState& sp)
{
    return sp.SparePartList.end() -
           static_cast<std::ptrdiff_t>(std::min(sp.QueuedSpareParts, sp.SparePartList.size()));
}

bool SparePartEntryBefore(const SparePartEntry& a, const SparePartEntry& b)
{
    return SparePartKeyBefore(a.rec, b.rec);
}

// A piece number as stored: one to three digits.
std::optional<int> PieceNumber(const TSparePartRecord& r)
{
    const std::string_view text = r.Pieza.bytes();
    if (text.empty())
        return std::nullopt;
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

constexpr const char* kLoadCaption = "AVANCE CARGA DE DATOS ALMACÉN DE REPUESTOS";

// Whether the register holds the machine. A register not there yet holds none, without a message.
bool MachineExists(Context& ctx, const TSparePartRecord& part)
{
    return !(LookUpMachine(ctx, part.Codigo.str()).Denominacion == kMachineNotFound);
}

// The entry movement that brings a new part's stock into the store's journal, in the week of today.
TStoreMovementRecord OpeningMovement(const State& st, const TSparePartRecord& part)
{
    TStoreMovementRecord m{};
    m.Codigo.assign(part.Codigo);
    m.Equipo.assign(part.Equipo);
    m.Util.assign(part.Util);
    m.Pieza.assign(part.Pieza);
    m.Destination = kStoreMachineCode;
    m.AbsoluteWeek = MovementWeekByte(PlanWeekIndex(st, st.CurrentYear, st.WeekText.toInt()));
    m.User = " ";
    m.Quantity = part.Exist.get();
    m.UnitValue = part.Valor.get();
    return m;
}

// The next card of a series starts from the stored part's machine, name and maker.
void KeepForNextCard(TSparePartRecord& part)
{
    const TSparePartRecord fresh = NewSparePart();
    TSparePartRecord next = fresh;
    next.Codigo.assign(part.Codigo);
    next.Nombre.assign(part.Nombre);
    next.Marca.assign(part.Marca);
    part = next;
}

} // namespace

SparePartsState& SpareParts(Context& ctx)
{
    return ctx.Module<SparePartsState>();
}

// The store's machine gets the account a new machine's card proposes, the start of its code: the
// register's sort drops a machine without one.
void CreateStoreMachine(Context& ctx)
{
    State& st = ctx.st;
    const std::uint8_t continueFlag = st.ContinueFlag;
    TMachineRecord store{};
    store.Codigo = kStoreMachineCode;
    store.Denominacion = kStoreMachineName;
    store.Cuenta = QString::fromLatin1(kStoreMachineCode).left(3);
    if (AppendMachineRecord(ctx, store))
        SortMachineFile(ctx);
    st.ContinueFlag = continueFlag;
}

QString PartKeyText(const TSparePartRecord& rec)
{
    return FromCp1252(PartKeyOf(rec).view());
}

bool SparePartKeyBefore(const TSparePartRecord& a, const TSparePartRecord& b)
{
    return PartKeyOf(a).view() < PartKeyOf(b).view();
}

bool SamePartKey(const TSparePartRecord& a, const TSparePartRecord& b)
{
    return a.Codigo == b.Codigo && a.Equipo == b.Equipo && a.Util == b.Util && a.Pieza == b.Pieza;
}

TSparePartRecord NewSparePart()
{
    TSparePartRecord rec{};
    rec.Codigo = kStoreMachineCode;
    rec.Pieza = kUnnumberedPiece;
    return rec;
}

void LoadSparePartList(Context& ctx)
{
    SparePartsState& sp = SpareParts(ctx);
    FreeSparePartList(ctx);
    const KeyedFile<SparePartFile> file(ctx);
    if (!file.Exists())
        return;
    CheckHeapMemory(ctx);
    sp.SparePartList = file.LoadList(Report::Silent, QString::fromUtf8(kLoadCaption));
    CheckHeapMemory(ctx);
}

void FreeSparePartList(Context& ctx)
{
    SparePartsState& sp = SpareParts(ctx);
    FreeNodeList(sp.SparePartList);
    sp.QueuedSpareParts = 0;
    sp.QueuedPartCodes.clear();
    sp.SparePartCursor = 0;
}

void InsertSparePartSorted(Context& ctx, SparePartEntry entry)
{
    SettleSparePartList(ctx);
    InsertOrderedHeadFirst(SpareParts(ctx).SparePartList, std::move(entry), SparePartEntryBefore);
}

void QueueSparePartSorted(Context& ctx, SparePartEntry entry)
{
    SparePartsState& sp = SpareParts(ctx);
    sp.QueuedPartCodes.insert(PartCodesOf(entry.rec));
    sp.SparePartList.push_back(std::move(entry));
    ++sp.QueuedSpareParts;
}

void SettleSparePartList(Context& ctx)
{
    SparePartsState& sp = SpareParts(ctx);
    SettleQueued(sp.SparePartList, sp.QueuedSpareParts, SparePartEntryBefore, TieRule::HeadFirst);
    sp.QueuedSpareParts = 0;
    sp.QueuedPartCodes.clear();
}

std::optional<std::size_t> FindSparePartByKey(Context& ctx, const QString& codigo, const QString& equipo,
                                              const QString& util, const QString& pieza)
{
    SparePartsState& sp = SpareParts(ctx);
    SettleSparePartList(ctx);
    TSparePartRecord wanted{};
    wanted.Codigo = codigo;
    wanted.Equipo = equipo;
    wanted.Util = util;
    wanted.Pieza = pieza;
    const auto found = FindEntry(sp.SparePartList, wanted);
    if (found == sp.SparePartList.end()) {
        // Nothing of another part may stay in the buffer: reports print it for the missing part.
        wanted.Nombre = kPartCancelledName;
        wanted.CdPVD = " ";
        sp.SparePartBuffer = wanted;
        ctx.st.RunFlag = 0;
        return std::nullopt;
    }
    sp.SparePartBuffer = found->rec;
    ctx.st.RunFlag = 1;
    sp.SparePartCursor = static_cast<std::size_t>(found - sp.SparePartList.begin());
    return sp.SparePartCursor;
}

TSparePartRecord SparePartOfKey(Context& ctx, const QString& codigo, const QString& equipo,
                                const QString& util, const QString& pieza)
{
    FindSparePartByKey(ctx, codigo, equipo, util, pieza);
    return SpareParts(ctx).SparePartBuffer;
}

void FindSparePartName(Context& ctx, QString& keyText)
{
    SettleSparePartList(ctx);
    std::vector<SparePartEntry>& list = SpareParts(ctx).SparePartList;
    const std::string key = ToCp1252(keyText);
    const auto it = FirstWithKey(list, key);
    if (it != list.end() && PartKeyOf(it->rec).view() == key)
        keyText = it->rec.Nombre.str();
}

SparePartEntry* ListedSparePart(Context& ctx, const TSparePartRecord& part, std::uint32_t pos)
{
    SettleSparePartList(ctx);
    std::vector<SparePartEntry>& list = SpareParts(ctx).SparePartList;
    const JoinedKey key = PartKeyOf(part);
    for (auto it = FirstWithKey(list, key.view());
         it != list.end() && PartKeyOf(it->rec).view() == key.view(); ++it)
        if (it->pos == pos)
            return &*it;
    return nullptr;
}

void CheckDuplicatePartCode(Context& ctx)
{
    SparePartsState& sp = SpareParts(ctx);
    TSparePartRecord& buf = sp.SparePartBuffer;
    if (buf.Codigo == "#")
        return;
    // The parts an import queued are looked for by their codes; the ones before them by halves.
    const PartIterator queued = QueuedStart(sp);
    if (FindEntry(sp.SparePartList.begin(), queued, buf) == queued &&
        !sp.QueuedPartCodes.count(PartCodesOf(buf)))
        return;
    buf.Codigo = "#";
    ctx.ui.ShowMessage(kDuplicatePart);
}

bool AssignPieceNumber(Context& ctx)
{
    SparePartsState& sp = SpareParts(ctx);
    TSparePartRecord& buf = sp.SparePartBuffer;
    const JoinedKey group = GroupKeyOf(buf);
    // The highest number of the group, wherever an unnumbered or oddly numbered piece sorts in it. In the
    // ordered part of the list every piece of the group has a joined key that begins with the group's:
    // that stretch is found by halves, other groups whose keys happen to begin alike are passed over.
    int highest = -1;
    const auto take = [&highest](const TSparePartRecord& r) {
        if (const std::optional<int> n = PieceNumber(r))
            highest = std::max(highest, *n);
    };
    const PartIterator queued = QueuedStart(sp);
    for (auto it = FirstWithKey(sp.SparePartList.begin(), queued, group.view());
         it != queued && PartKeyOf(it->rec).view().starts_with(group.view()); ++it)
        if (GroupKeyOf(it->rec).view() == group.view())
            take(it->rec);
    // The parts an import queued, by their codes: those of the group follow one another in the set.
    TSparePartRecord codes = buf;
    codes.Pieza = "";
    std::string prefix = PartCodesOf(codes);
    prefix.pop_back(); // the empty piece's length
    for (auto it = sp.QueuedPartCodes.lower_bound(prefix);
         it != sp.QueuedPartCodes.end() && it->starts_with(prefix); ++it) {
        TSparePartRecord piece{};
        piece.Pieza.setBytes(std::string_view(*it).substr(prefix.size() + 1));
        take(piece);
    }
    const int next = highest + 1;
    if (next > kHighestPiece) {
        ctx.ui.ShowMessage(QStringLiteral("NO QUEDAN NÚMEROS DE PIEZA EN EL GRUPO ") +
                           FromCp1252(group.view()) + QStringLiteral("\rAnulada ALTA"));
        return false;
    }
    buf.Pieza = QStringLiteral("%1").arg(next, 3, 10, QLatin1Char('0'));
    return true;
}

std::optional<std::uint32_t> SaveSparePart(Context& ctx, TSparePartRecord& part,
                                           const TStoreMovementRecord& opening)
{
    part = FreshRecord(part);
    KeyedFile<SparePartFile> parts(ctx);
    // The initial stock enters the store's journal with the part.
    const bool withStock = part.Exist.get() > 0;
    QStringList files{parts.name()};
    if (withStock)
        files << MovementJournalName(ctx.st, opening);
    std::optional<QString> refused;
    std::uint32_t position = 0;
    AppendResult result = AppendResult::Failed;
    {
        Transaction tx(ctx);
        if (!tx.Prepare(files, Report::Silent))
            refused = tx.Refusal();
        else {
            // The key is checked again in the file: another program may have stored it since the list
            // was read.
            result = parts.AppendUnique(part, position, Report::Silent);
            if (result == AppendResult::Failed)
                refused = FileFailureText(ctx, parts.name());
            else if (result == AppendResult::Stored && withStock &&
                     !AppendMovementRecord(ctx, opening, Report::Silent))
                refused = FileFailureText(ctx, files.back());
            else if (result == AppendResult::Stored)
                tx.Commit();
        }
    }
    if (refused || result == AppendResult::Duplicate) {
        ctx.ui.ShowMessage(refused.value_or(kDuplicatePart));
        return std::nullopt;
    }
    ctx.st.ContinueFlag = 1;
    return position;
}

namespace {

// The series of new-part cards, or the one part `imported` of an import.
void AddSparePartSeries(Context& ctx, const TSparePartRecord* imported)
{
    State& st = ctx.st;
    SparePartsState& sp = SpareParts(ctx);
    TSparePartRecord& buf = sp.SparePartBuffer;
    st.ContinueFlag = 0;
    st.RecordAddedFlag = 0;
    sp.AddContinueMark = QStringLiteral("S");
    const bool importing = imported != nullptr;
    buf = importing ? *imported : NewSparePart();
    if (!importing)
        st.InteractiveFlag = 1;
    for (;;) {
        ShowSparePartForm(ctx, buf);
        bool numberedNow = false;
        if (buf.Pieza == kUnnumberedPiece && !(buf.Codigo == "#")) {
            if (sp.SparePartList.empty())
                buf.Pieza = "000";
            else if (!AssignPieceNumber(ctx))
                return;
            numberedNow = true;
            ShowSparePartForm(ctx, buf);
        }
        if (!(buf.Codigo == "#")) {
            if (MachineExists(ctx, buf))
                CheckDuplicatePartCode(ctx);
            else if (buf.Codigo == kStoreMachineCode)
                CreateStoreMachine(ctx);
            else
                buf.Codigo = "@";
        }
        if (buf.Codigo == "@") {
            // An imported line has nobody to put its machine right.
            if (importing) {
                st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
                return;
            }
            // The card comes again with the key open, so that the machine can be put right and the piece
            // numbered in its group.
            if (numberedNow)
                buf.Pieza = kUnnumberedPiece;
            continue;
        }
        if (buf.Codigo == "#" || buf.Nombre.empty())
            return;
        const std::optional<std::uint32_t> position = SaveSparePart(ctx, buf, OpeningMovement(st, buf));
        if (!position)
            return;
        st.RecordAddedFlag = 1;
        if (importing)
            QueueSparePartSorted(ctx, {buf, *position});
        else
            InsertSparePartSorted(ctx, {buf, *position});
        KeepForNextCard(buf);
        if (importing || sp.AddContinueMark == QLatin1String("N"))
            return;
    }
}

} // namespace

void AddSparePart(Context& ctx)
{
    SparePartsState& sp = SpareParts(ctx);
    AddSparePartSeries(ctx, ctx.st.ActionCode == QLatin1String("i") ? &sp.SparePartInput : nullptr);
}

bool AddImportedSparePart(Context& ctx, const TSparePartRecord& rec)
{
    AddSparePartSeries(ctx, &rec);
    return ctx.st.RecordAddedFlag == 1;
}

bool SortSparePartFile(Context& ctx)
{
    State& st = ctx.st;
    SparePartsState& sp = SpareParts(ctx);
    // The inventory asks what it needs before the rewrite and is written from the rewritten list.
    std::optional<InventoryListing> listing = BeginInventoryListing(ctx);
    FreeSparePartList(ctx);
    KeyedFile<SparePartFile> file(ctx);
    bool sorted = false;
    if (file.Exists()) {
        ProgressScope progress(ctx, QString::fromUtf8(kLoadCaption), static_cast<int>(file.Count()));
        sorted = file.Sort(Report::Silent);
    }
    // The list follows the new file, record by record.
    if (sorted) {
        const std::vector<TSparePartRecord> records =
            file.Read(Report::Silent).value_or(std::vector<TSparePartRecord>{});
        sp.SparePartList.reserve(records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            sp.SparePartList.push_back({records[i], static_cast<std::uint32_t>(i)});
    }
    if (listing)
        FinishInventoryListing(ctx, *listing);
    st.ContinueFlag = 0;
    st.OutputCode = QStringLiteral(" ");
    return sorted;
}

void SortStoredSpareParts(Context& ctx)
{
    try {
        SortSparePartFile(ctx);
    } catch (const IoAbort& e) {
        // The parts are stored already: only their order is missing, and the next sort puts it right.
        State& st = ctx.st;
        st.LastIOResult = e.code();
        st.ContinueFlag = 0;
        st.OutputCode = QStringLiteral(" ");
        ctx.ui.ShowMessage(
            QStringLiteral("REPUESTO GUARDADO. NO SE HA PODIDO ORDENAR EL FICHERO %1 (%2)")
                .arg(QFileInfo(ctx.Path(SparePartFile::Name(st))).fileName(), IoErrorText(e.code())));
    }
}

} // namespace gim
