#include "store/spare_part_browse.h"

#include "core/context.h"
#include "core/operations.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "masterdata/machines.h"
#include "platform/card_binding.h"
#include "store/spare_part_card.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"

#include <QFileInfo>
#include <cstring>
#include <utility>

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kEquipo = QStringLiteral("Equipo");
const QString kUtil = QStringLiteral("Util");
const QString kPieza = QStringLiteral("Pieza");
const QString kMqnDest = QStringLiteral("MqnDest");
const QString kEquipoName = QStringLiteral("NomEquipo");
const QString kUtilName = QStringLiteral("NomUtil");
const QString kDestName = QStringLiteral("NomDestino");
const QString kSearch = QStringLiteral("Buscar");
const QString kPicture = QStringLiteral("Imagen");
const QString kAny = QStringLiteral("*");
constexpr int kFilterUses = 47;   // the uses the filter's list offers
constexpr int kLabelledUses = 43; // the uses the filter names (CON to TER)

bool IsAny(const ShortString<8>& s)
{
    return s == "*";
}
template <std::size_t N> bool Matches(const ShortString<N>& field, const ShortString<N>& filter)
{
    return filter == "*" || field == filter;
}
bool MatchesFilter(const TSparePartRecord& r, const TSparePartRecord& f)
{
    return Matches(r.Codigo, f.Codigo) && Matches(r.Equipo, f.Equipo) && Matches(r.Util, f.Util) &&
           Matches(r.Pieza, f.Pieza);
}
bool FilterHasAny(const TSparePartRecord& f)
{
    return IsAny(f.Codigo) || f.Equipo == "*" || f.Util == "*" || f.Pieza == "*";
}

const CardBinding<TSparePartRecord>& FilterBinding()
{
    using R = TSparePartRecord;
    static const CardBinding<R> binding{BindText(kCodigo, &R::Codigo), BindText(kEquipo, &R::Equipo),
                                        BindText(kUtil, &R::Util), BindText(kPieza, &R::Pieza)};
    return binding;
}

// The folder of the part's pictures and whether the picture of the key on the window is there.
bool PictureExists(Context& ctx, const CardState& state)
{
    State& st = ctx.st;
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::SparePart, st.CurrentEnvironment, state.value(kCodigo));
    const QString name =
        state.value(kEquipo) + state.value(kUtil) + state.value(kPieza) + QStringLiteral(".jpg");
    SpareParts(ctx).SparePartPictureName = name;
    return QFileInfo(ResolveSubFolder(st.BaseDir, st.CurrentSubFolder) + QLatin1Char('/') + name).isFile();
}

CardSpec FilterSpec(Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TBuscRep");
    spec.caption = QStringLiteral("CONSULTA SELECTIVA DE REPUESTOS DE MAQUINAS");

    auto machineField = [&ctx](const QString& name, const char* label, const QString& nameLabel) {
        FieldSpec f = MakeField(name, label, FieldKind::Combo);
        f.onEnter = [&ctx, name](CardState& state) { state.choices[name] = MachineCodeChoices(ctx); };
        f.onExit = [name](CardState& state) { state.choices.erase(name); };
        f.onChange = [&ctx, name, nameLabel](CardState& state) {
            const QString machine = LookUpMachine(ctx, state.value(name)).Denominacion.str();
            if (nameLabel.isEmpty())
                state.caption = QStringLiteral("\nRepuestos ") + machine;
            else
                state.set(nameLabel, machine);
        };
        return f;
    };

    FieldSpec equipo = MakeField(kEquipo, "Equipo :", FieldKind::Combo);
    equipo.choices = {kAny, "EL", "ET", "GR", "HI", "IN", "ME", "NU", "FE"};
    equipo.onChange = [](CardState& state) {
        const QString code = state.value(kEquipo);
        if (code == kAny) {
            state.set(kEquipoName, QStringLiteral("Indistinto"));
            return;
        }
        // The electronics have no label here.
        if (code != QLatin1String("EC"))
            if (const std::optional<QString> label = PartFamilies().Label(code))
                state.set(kEquipoName, *label);
    };
    FieldSpec util = MakeField(kUtil, "Utilidad :", FieldKind::Combo);
    util.choices << kAny;
    util.choices << PartUses().Slice(0, kFilterUses).Codes();
    util.choices << QString();
    util.onChange = [](CardState& state) {
        if (const std::optional<QString> label = PartUses().Slice(0, kLabelledUses).Label(state.value(kUtil)))
            state.set(kUtilName, *label);
    };
    FieldSpec pieza = MakeField(kPieza, "Pieza :");
    pieza.onExit = [&ctx](CardState& state) { state.enable(kPicture, PictureExists(ctx, state)); };
    FieldSpec destination = machineField(kMqnDest, "Destino :", kDestName);

    spec.fields = {machineField(kCodigo, "Máquina :", QString()),
                   equipo,
                   MakeField(kEquipoName, "", FieldKind::Label),
                   util,
                   MakeField(kUtilName, "", FieldKind::Label),
                   pieza,
                   destination,
                   MakeField(kDestName, "", FieldKind::Label)};
    FilterBinding().Declare(spec);
    spec.buttons = {{kSearch, QStringLiteral("&Buscar"), CardResult::Save},
                    {kPicture, QStringLiteral("&Imagen"), CardResult::Delete},
                    {QStringLiteral("Salir"), QStringLiteral("&Salir"), CardResult::Exit}};
    spec.cancelResult = CardResult::Exit;
    // The picture opens in the viewer; the window stays for the search.
    spec.onButton = [&ctx](CardState&, const ButtonSpec& button) {
        if (button.name != kPicture)
            return true;
        ctx.Module<OperationRegistry>().RunIfRegistered(ctx, Op::ShowSparePartPicture);
        return false;
    };
    return spec;
}

// The key to walk by: the one of the filter window, or of the handed-over movement. Nothing when the
// window was left.
std::optional<TSparePartRecord> AskFilter(Context& ctx)
{
    TSparePartRecord filter{};
    if (ctx.st.ActionCode == QLatin1String("i")) {
        const TStoreMovementRecord& m = StoreMovements(ctx).MovementInput.Movement;
        filter.Codigo.assign(m.Codigo);
        filter.Equipo.assign(m.Equipo);
        filter.Util.assign(m.Util);
        filter.Pieza.assign(m.Pieza);
        return filter;
    }
    return AskPartFilter(ctx);
}

} // namespace

std::optional<TSparePartRecord> AskPartFilter(Context& ctx, QString* destination)
{
    SparePartsState& sp = SpareParts(ctx);
    // The handed-over key, "*" where it names no code. Taken once: a later search starts from "*".
    TSparePartRecord filter = std::exchange(sp.SparePartInput, TSparePartRecord{});
    if (filter.Codigo.empty())
        filter.Codigo = "*";
    if (filter.Equipo.empty())
        filter.Equipo = "*";
    if (filter.Util.empty())
        filter.Util = "*";
    if (filter.Pieza.empty())
        filter.Pieza = "*";
    CardState state;
    state.enable(kPicture, false);
    state.show(kMqnDest, destination != nullptr);
    state.show(kDestName, destination != nullptr);
    if (destination)
        state.set(kMqnDest, kAny);
    // The card's own run, so that the destination, which no record field holds, can be read back.
    FilterBinding().Fill(state, filter);
    if (ctx.ui.RunCard(FilterSpec(ctx), state) != CardResult::Save)
        return std::nullopt;
    FilterBinding().Read(state, filter);
    if (destination)
        *destination = state.value(kMqnDest);
    return filter;
}

namespace {

// Deletion of the part in SparePartBuffer, refused while it has stock or any entry in the journal.
void ConfirmDeletion(Context& ctx, const TSparePartRecord& stored)
{
    State& st = ctx.st;
    st.AnswerCode = ctx.ui
                        .InputBox(QStringLiteral("ELIMINAR FICHA REPUESTOS"),
                                  QStringLiteral("CONFIRMAR ANULACIÓN FICHA (S/N):"), QStringLiteral("N"))
                        .left(2);
    if (st.AnswerCode == QLatin1String("S") && stored.Exist.get() > 0) {
        st.AnswerCode = QStringLiteral("N");
        ctx.ui.ShowMessage(QStringLiteral("NO SE PUEDE ANULAR POR EXISTIR REPUESTOS EN ALMACÉN"));
    }
    if (st.AnswerCode == QLatin1String("S")) {
        // A journal that cannot be read refuses nothing.
        const std::vector<TStoreMovementRecord> movements =
            KeyedFile<MovementFile>(ctx).Read(Report::Silent).value_or(std::vector<TStoreMovementRecord>{});
        for (const TStoreMovementRecord& m : movements)
            if (m.Quantity.get() >= 1 && m.Codigo == stored.Codigo && m.Equipo == stored.Equipo &&
                m.Util == stored.Util && m.Pieza == stored.Pieza) {
                st.AnswerCode = QStringLiteral("N");
                ctx.ui.ShowMessage(QStringLiteral("NO SE PUEDE ANULAR POR EXISTIR MOVIMIENTOS DE ALMACÉN"));
                break;
            }
    }
    if (st.AnswerCode == QLatin1String("S")) {
        SpareParts(ctx).SparePartBuffer.Codigo = "Z";
        st.ContinueFlag = 1;
        st.AnswerCode = QStringLiteral("B");
    }
}

// A correction that changed the key: the new key must be free and its machine must exist.
void CheckCorrectedKey(Context& ctx, const TSparePartRecord& stored)
{
    TSparePartRecord& buf = SpareParts(ctx).SparePartBuffer;
    if (SamePartKey(buf, stored))
        return;
    CheckDuplicatePartCode(ctx);
    // The machine is checked as the add checks it: the store's own is created the first time.
    if (!(buf.Codigo == "#") && !(buf.Codigo == stored.Codigo) &&
        LookUpMachine(ctx, buf.Codigo.str()).Denominacion == kMachineNotFound) {
        if (buf.Codigo == kStoreMachineCode)
            CreateStoreMachine(ctx);
        else
            buf.Codigo = "@";
    }
    // The file is no longer in key order until it is rewritten.
    if (!(buf.Codigo == "#") && !(buf.Codigo == "@"))
        ctx.st.ContinueFlag = 1;
}

// Writes the part back where it was read, its list entry with it; a cancelled key keeps the file as it was.
void WriteBack(Context& ctx, SparePartEntry& entry)
{
    const TSparePartRecord& buf = SpareParts(ctx).SparePartBuffer;
    if (buf.Codigo == "@") {
        ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound) + QStringLiteral(" Anulada Edición"));
        return;
    }
    if (buf.Codigo == "#") {
        ctx.ui.ShowMessage(QStringLiteral("CODIGO DE REPUESTO REPETIDO.ANULADA ALTA O MODIFICACION"));
        return;
    }
    if (std::memcmp(&buf, &entry.rec, sizeof buf) == 0)
        return;
    KeyedFile<SparePartFile>(ctx).WriteAt(entry, buf);
}

} // namespace

void BrowseSpareParts(Context& ctx)
{
    State& st = ctx.st;
    SparePartsState& sp = SpareParts(ctx);
    StoreMovementsState& sm = StoreMovements(ctx);
    const bool handedOver = st.ActionCode == QLatin1String("i");
    st.WorkWeek = 255;
    sp.AddContinueMark = QStringLiteral("S");
    sm.MovementPostedFlag = 0;

    const std::optional<TSparePartRecord> asked = AskFilter(ctx);
    if (!asked)
        return;
    sp.SparePartFilter = *asked;
    const TSparePartRecord& filter = sp.SparePartFilter;
    // An import without cards refuses its line in the echo: nobody is there to read a message.
    const bool unattended = handedOver && st.InteractiveFlag == 0;
    if (!IsAny(filter.Codigo) && LookUpMachine(ctx, filter.Codigo.str()).Denominacion == kMachineNotFound) {
        st.RefusalReason = QString::fromUtf8(kMachineMissingReason);
        if (!unattended)
            ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound));
        st.RunFlag = 0;
        return;
    }
    KeyedFile<SparePartFile> file(ctx);
    const bool anyCode = FilterHasAny(filter);
    // The records the walk visits, with their positions. A handed-over movement books one part, named by
    // its whole key: the first record of that key, found by halves.
    std::vector<SparePartEntry> visited;
    // The list entry of each record, by its position in the file (the walk's).
    std::vector<SparePartEntry*> entryAt;
    if (handedOver) {
        const std::optional<std::size_t> at = file.FindByKey(filter, Report::Show);
        if (!at && ctx.st.LastIOResult != 0)
            return;
        if (const std::optional<TSparePartRecord> stored = at && !anyCode ? file.ReadAt(*at) : std::nullopt)
            visited.push_back({*stored, static_cast<std::uint32_t>(*at)});
    } else {
        const std::optional<std::vector<TSparePartRecord>> records = file.Read();
        if (!records)
            return;
        visited.reserve(records->size());
        for (std::size_t i = 0; i < records->size(); ++i)
            visited.push_back({(*records)[i], static_cast<std::uint32_t>(i)});
        entryAt.assign(records->size(), nullptr);
        for (SparePartEntry& e : sp.SparePartList)
            if (e.pos < entryAt.size())
                entryAt[e.pos] = &e;
    }

    bool matched = false;
    for (const SparePartEntry& visit : visited) {
        const TSparePartRecord& stored = visit.rec;
        if (!MatchesFilter(stored, filter))
            continue;
        matched = true;
        SparePartEntry own = visit;
        SparePartEntry* inList = handedOver ? ListedSparePart(ctx, stored, visit.pos) : entryAt[visit.pos];
        SparePartEntry& entry = inList ? *inList : own;
        sp.SparePartBuffer = stored;
        if (handedOver || (st.ActionCode == QLatin1String("M") && !anyCode)) {
            st.AnswerCode = QStringLiteral("M");
        } else {
            ShowSparePartForm(ctx, sp.SparePartBuffer);
            if (sp.AddContinueMark == QLatin1String("N"))
                return;
        }
        const QString answer = st.AnswerCode;
        // Only a correction may change the key: a movement or a label keeps the part where it was found.
        if (answer == QLatin1String("M") || answer == QLatin1String("E")) {
            TSparePartRecord& buf = sp.SparePartBuffer;
            buf.Codigo.assign(stored.Codigo);
            buf.Equipo.assign(stored.Equipo);
            buf.Util.assign(stored.Util);
            buf.Pieza.assign(stored.Pieza);
        }
        if (answer == QLatin1String("E")) {
            ctx.Module<OperationRegistry>().RunIfRegistered(ctx, Op::PrintSparePartLabels);
            continue;
        }
        if (answer == QLatin1String("B")) {
            ConfirmDeletion(ctx, stored);
        } else if (answer == QLatin1String("A")) {
            CheckCorrectedKey(ctx, stored);
        } else if (answer == QLatin1String("M")) {
            // The booking writes the part with its movement, and the entry with it.
            const MovementOutcome outcome = MoveSparePart(ctx, entry, sp.SparePartBuffer);
            if (outcome == MovementOutcome::Ended)
                return;
            if (outcome == MovementOutcome::Booked)
                sm.MovementPostedFlag = 1;
            // A handed-over movement is for one part, booked or not.
            if (handedOver)
                return;
            // Nothing of a step that failed is stored, the changes on the part's card neither.
            if (outcome == MovementOutcome::Failed)
                continue;
        }
        if (st.AnswerCode == QLatin1String("A") || st.AnswerCode == QLatin1String("M") ||
            st.AnswerCode == QLatin1String("B"))
            WriteBack(ctx, entry);
    }
    if (matched)
        return;
    st.RefusalReason = QString::fromUtf8(kPartMissingReason);
    if (!unattended)
        ctx.ui.ShowMessage(QStringLiteral("NO EXISTE Código Anulado Movimiento\r") + filter.Codigo.str() +
                           filter.Equipo.str() + filter.Util.str() + filter.Pieza.str());
}

bool BookImportedMovement(Context& ctx, const TMovementInput& input)
{
    StoreMovementsState& sm = StoreMovements(ctx);
    sm.MovementInput = input;
    const QString actionCode = std::exchange(ctx.st.ActionCode, QStringLiteral("i"));
    try {
        BrowseSpareParts(ctx);
    } catch (...) {
        sm.MovementInput = TMovementInput{};
        ctx.st.ActionCode = actionCode;
        throw;
    }
    sm.MovementInput = TMovementInput{};
    ctx.st.ActionCode = actionCode;
    return std::exchange(sm.MovementPostedFlag, 0) != 0;
}

} // namespace gim
