#include "store/spare_part_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/lookups.h"
#include "core/operations.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "masterdata/machines.h"
#include "platform/card_binding.h"
#include "records/supplier_record.h"
#include "store/spare_parts.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kEquipo = QStringLiteral("Equipo");
const QString kUtil = QStringLiteral("Util");
const QString kPieza = QStringLiteral("Pieza");
const QString kNombre = QStringLiteral("Nombre");
const QString kCdPVD = QStringLiteral("CdPVD");
const QString kImagen = QStringLiteral("imagen");
const QString kMachineName = QStringLiteral("NomMaquina");
const QString kEquipoName = QStringLiteral("NomEquipo");
const QString kUtilName = QStringLiteral("NomUtil");
const QString kSupplierName = QStringLiteral("NomProveedor");
const QString kSave = QStringLiteral("Salvar");
const QString kExit = QStringLiteral("Salir");
const QString kDelete = QStringLiteral("Borrar");

constexpr CodeLabel kEquipos[] = {{"EL", "Eléctrico"}, {"EC", "Eléctrónico"}, {"IN", "Instrumentación"},
                                  {"ME", "Mecánico"},  {"NU", "Neumático"},   {"HI", "Hidráulico"},
                                  {"GR", "Engrase"},   {"ET", "Estructura"},  {"FE", "Ferretería"}};

constexpr CodeLabel kUtils[] = {{"CON", "Control"},
                                {"MED", "Medida"},
                                {"ILM", "Iluminación"},
                                {"ENG", "Energía"},
                                {"TRS", "Transporte"},
                                {"ACC", "Accionamiento"},
                                {"BOB", "Bombeo"},
                                {"GIR", "Giro"},
                                {"ALM", "Almacenamiento"},
                                {"COD", "Conducción"},
                                {"MOT", "Motorización"},
                                {"SCC", "Sujección"},
                                {"CLF", "Calefacción"},
                                {"REF", "Refrigeración"},
                                {"ROD", "Rodamientos"},
                                {"CAD", "Cadenas"},
                                {"CRR", "Correas"},
                                {"CAB", "Cables"},
                                {"RET", "Retenes"},
                                {"TOR", "Tornillería"},
                                {"FOT", "Fotocélulas"},
                                {"FCC", "Final de Carrera"},
                                {"IST", "Instalaciones"},
                                {"FIL", "Filtros"},
                                {"DET", "Detector"},
                                {"PIN", "Piñones"},
                                {"RED", "Reductores"},
                                {"POL", "Poleas"},
                                {"HRR", "Herramientas/Utiles"},
                                {"JUN", "Juntas"},
                                {"VAR", "Variadores"},
                                {"BAN", "Bandas"},
                                {"PAT", "Patin"},
                                {"AUT", "Automáticos"},
                                {"REL", "Relés"},
                                {"DIS", "Disyuntores"},
                                {"DIF", "Diferenciales"},
                                {"COT", "Contactores"},
                                {"TEM", "Temporizados"},
                                {"PUL", "Pulsadores/Botoneras"},
                                {"CUD", "Cuadros"},
                                {"CAJ", "Cajas"},
                                {"TER", "Terminales"},
                                {"CIL", "Cilindros"},
                                {"KIT", "Kit Juntas"},
                                {"VAL", "Valvulas"},
                                {"RAC", "Racores"},
                                {"MAN", "Manómetros"},
                                {"BRO", "Brocas"},
                                {"REP", "Repuestos"},
                                {"VAS", "Vastagoss"},
                                {"SOL", "Soldadura"},
                                {"ENC", "Encoder"},
                                {"RES", "Resistencias"},
                                {"ATM", "Autómatas"}};

// The use codes the card's list offers: all but five, sorted, the belts' with a trailing blank.
QStringList UtilChoices()
{
    QStringList choices;
    for (const CodeLabel& u : kUtils) {
        const QString code = QString::fromLatin1(u.code);
        if (QStringList{"TEM", "PUL", "CUD", "CAJ", "TER"}.contains(code))
            continue;
        choices << (code == QLatin1String("CRR") ? QStringLiteral("CRR ") : code);
    }
    choices.sort();
    return choices;
}

void ShowTableLabel(CardState& state, CodeTable table, const QString& field, const QString& label)
{
    if (const std::optional<QString> text = table.Label(state.value(field)))
        state.set(label, *text);
}

// The name beside the machine code. While the code is typed a register that is not there only names
// no machine, without a message at every key.
void ShowMachineName(Context& ctx, CardState& state)
{
    state.set(kMachineName, LookUpMachine(ctx, state.value(kCodigo)).Denominacion.str());
}

} // namespace

const CardBinding<TSparePartRecord>& SparePartCardBinding()
{
    using R = TSparePartRecord;
    static const CardBinding<R> binding{
        BindText(kCodigo, &R::Codigo),
        BindText(kEquipo, &R::Equipo),
        BindText(kUtil, &R::Util),
        BindText(kPieza, &R::Pieza),
        BindText(kNombre, &R::Nombre),
        BindText(QStringLiteral("Marca"), &R::Marca),
        // A stock may stand below zero after an exit confirmed short; a price, a minimum and an order
        // quantity may not.
        BindWhole(QStringLiteral("Exist"), &R::Exist),
        BindCents(QStringLiteral("Valor"), &R::Valor),
        BindWhole(QStringLiteral("Stock"), &R::Stock, 0),
        BindWhole(QStringLiteral("PPedido"), &R::PPedido, 0),
        BindText(kCdPVD, &R::CdPVD),
        BindText(QStringLiteral("Local"), &R::Local),
    };
    return binding;
}

namespace {

// The suppliers the code list offers while the supplier field has the focus.
struct SupplierPick
{
    std::vector<TSupplierRecord> suppliers;
    bool loaded = false;

    void Load(Context& ctx)
    {
        suppliers = ReadRecords<TSupplierRecord>(ctx, ctx.st.SupplierFileName, Report::Silent)
                        .value_or(std::vector<TSupplierRecord>{});
        loaded = true;
    }
    void Free()
    {
        std::vector<TSupplierRecord>().swap(suppliers);
        loaded = false;
    }
};

CardSpec SparePartCardSpec(Context& ctx, const std::shared_ptr<bool>& pictureTicked,
                           const QString& openedCode)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFREPUESTO");
    spec.caption = QStringLiteral("REPUESTOS DE MÁQUINAS");

    FieldSpec codigo = MakeField(kCodigo, "Máquina :", FieldKind::Combo);
    codigo.onEnter = [&ctx](CardState& state) { state.choices[kCodigo] = MachineCodeChoices(ctx); };
    codigo.onChange = [&ctx](CardState& state) { ShowMachineName(ctx, state); };
    FieldSpec pieza = MakeField(kPieza, "Pieza :");
    pieza.onChange = [](CardState& state) {
        if (state.value(kPieza) != QLatin1String(kUnnumberedPiece))
            state.captions[kSave] = QStringLiteral("&Salvar");
    };
    pieza.onExit = [](CardState& state) {
        if (state.value(kPieza) == QLatin1String(kUnnumberedPiece))
            state.enable(kSave, true);
    };
    FieldSpec nombre = MakeField(kNombre, "Descripción :");
    nombre.onExit = [](CardState& state) { state.enable(kSave, true); };

    auto pick = std::make_shared<SupplierPick>();
    FieldSpec supplier = MakeField(kCdPVD, "Proveedor :", FieldKind::Combo);
    supplier.onEnter = [&ctx, pick](CardState& state) {
        pick->Load(ctx);
        QStringList codes;
        for (const TSupplierRecord& s : pick->suppliers)
            codes << s.Codigo.str();
        state.choices[kCdPVD] = codes;
    };
    supplier.onChange = [&ctx, pick](CardState& state) {
        if (!pick->loaded)
            pick->Load(ctx);
        const QString code = state.value(kCdPVD);
        const auto found = std::find_if(pick->suppliers.begin(), pick->suppliers.end(),
                                        [&](const TSupplierRecord& s) { return s.Codigo == code; });
        if (found != pick->suppliers.end())
            state.set(kSupplierName, found->Empresa.str());
    };
    supplier.onExit = [pick](CardState&) { pick->Free(); };

    FieldSpec picture = MakeField(kImagen, "Imagen", FieldKind::Check);
    picture.onChange = [&ctx, pictureTicked](CardState& state) {
        *pictureTicked = state.checked(kImagen);
        if (!*pictureTicked)
            return;
        SpareParts(ctx).SparePartPictureName =
            state.value(kEquipo) + state.value(kUtil) + state.value(kPieza) + QStringLiteral(".jpg");
        ctx.st.OutputCode = QStringLiteral("W");
    };

    spec.fields = {codigo, MakeField(kMachineName, "", FieldKind::Label)};
    // A code outside the tables leaves its label as it was.
    AddCodeCombo(spec, kEquipo, "Equipo :", kEquipos, kEquipoName, 0, std::nullopt);
    AddCodeCombo(spec, kUtil, "Utilidad :", kUtils, kUtilName, 0, std::nullopt).choices = UtilChoices();
    spec.fields.insert(spec.fields.end(), {pieza, nombre, MakeField(QStringLiteral("Marca"), "Marca :"),
                                           MakeField(QStringLiteral("Exist"), "Existencias :"),
                                           MakeField(QStringLiteral("Valor"), "Valor Unitario (€) :"),
                                           MakeField(QStringLiteral("Stock"), "Stock Mínimo :"),
                                           MakeField(QStringLiteral("PPedido"), "Cantidad Pedido :"),
                                           supplier, MakeField(kSupplierName, "", FieldKind::Label),
                                           MakeField(QStringLiteral("Local"), "Localización :"), picture});
    SparePartCardBinding().Declare(spec);
    spec.buttons = {{kSave, QStringLiteral("Sal&var"), CardResult::Save},
                    {kExit, QStringLiteral("&Salir"), CardResult::Exit},
                    {kDelete, QStringLiteral("&Borrar"), CardResult::Delete}};
    spec.cancelResult = CardResult::Exit;

    // The labels follow what the card opens with, as they follow what is typed.
    spec.onShow = [&ctx, pick](CardState& state) {
        ShowMachineName(ctx, state);
        ShowTableLabel(state, kEquipos, kEquipo, kEquipoName);
        ShowTableLabel(state, kUtils, kUtil, kUtilName);
        if (!state.value(kCdPVD).isEmpty()) {
            pick->Load(ctx);
            const QString code = state.value(kCdPVD);
            for (const TSupplierRecord& s : pick->suppliers)
                if (s.Codigo == code) {
                    state.set(kSupplierName, s.Empresa.str());
                    break;
                }
            pick->Free();
        }
    };
    // A part belongs to a machine of the register, or to the store, whose machine the add creates: a
    // machine typed that is not there keeps the card open to be put right, on the add and on a correction
    // alike.
    spec.onButton = [&ctx, openedCode](CardState& state, const ButtonSpec& button) {
        const QString code = state.value(kCodigo);
        if (button.result != CardResult::Save || state.disabled.count(kCodigo) || code == openedCode ||
            code == QLatin1String("#") || code == QLatin1String(kStoreMachineCode) ||
            LookUpMachine(ctx, code).Denominacion != kMachineNotFound)
            return true;
        ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound) + QLatin1Char(' ') + code);
        state.focusRequest = kCodigo;
        return false;
    };
    return spec;
}

// The picture of the part: its folder under REPUESTOS is made and the viewer opened on it.
void OpenPartPicture(Context& ctx, const TSparePartRecord& rec)
{
    State& st = ctx.st;
    SparePartsState& sp = SpareParts(ctx);
    if (rec.Equipo == "*" || rec.Util == "*" || rec.Pieza == "*") {
        ctx.ui.ShowMessage(QStringLiteral("No es posible cargar la Imagen\rCódigo no Definido"));
        return;
    }
    sp.SparePartPictureName = rec.Equipo.str() + rec.Util.str() + rec.Pieza.str() + QStringLiteral(".jpg");
    st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::SparePart, st.CurrentEnvironment, rec.Codigo.str());
    if (!MakeSubFolder(st.BaseDir, st.CurrentSubFolder))
        return;
    if (ctx.Module<OperationRegistry>().RunIfRegistered(ctx, Op::ShowSparePartPicture))
        sp.AddContinueMark = QStringLiteral("N");
}

} // namespace

CodeTable PartFamilies()
{
    return kEquipos;
}

CodeTable PartUses()
{
    return kUtils;
}

int ShowSparePartForm(Context& ctx, TSparePartRecord& rec)
{
    State& st = ctx.st;
    if (!st.InteractiveFlag)
        return CardResult::Save;
    auto pictureTicked = std::make_shared<bool>(false);
    const CardSpec spec = SparePartCardSpec(ctx, pictureTicked, rec.Codigo.str());
    CardState state;
    // Labels change nothing on the card: their button is there from the start. A numbered part can be
    // saved at once (back from "&Pieza?" too); a new one once its key is typed.
    state.enable(kSave, st.ActionCode == QLatin1String("E") ||
                            (!(rec.Pieza == kUnnumberedPiece) && !(rec.Pieza == "*")));
    state.enable(kDelete, st.ActionCode == QLatin1String("A"));
    if (st.ActionCode == QLatin1String("M"))
        state.captions[kSave] = QStringLiteral("Movimiento");
    else if (st.ActionCode == QLatin1String("E"))
        state.captions[kSave] = QStringLiteral("Etiquetas");
    // The key of a numbered part stays as it is.
    if (rec.Pieza == kUnnumberedPiece) {
        state.captions[kSave] = QStringLiteral("&Pieza?");
    } else {
        for (const QString& field : {kCodigo, kEquipo, kUtil, kPieza})
            state.enable(field, false);
    }
    state.setChecked(kImagen, false);

    const int result = SparePartCardBinding().Run(ctx.ui, spec, rec, state);
    if (result == CardResult::Save) {
        const QString& action = st.ActionCode;
        st.AnswerCode =
            action == QLatin1String("M") || action == QLatin1String("E") || action == QLatin1String("A")
                ? action
                : QStringLiteral("0");
    } else if (result == CardResult::Delete) {
        rec.Codigo = "Z";
        st.AnswerCode = QStringLiteral("B");
    } else {
        rec.Codigo = "#";
        st.AnswerCode = QStringLiteral("N");
        SpareParts(ctx).AddContinueMark = QStringLiteral("N");
        st.RunFlag = 0;
    }
    if (*pictureTicked)
        OpenPartPicture(ctx, rec);
    return result;
}

} // namespace gim
