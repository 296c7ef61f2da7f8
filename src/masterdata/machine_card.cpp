#include "masterdata/machine_card.h"

#include "core/context.h"
#include "masterdata/machines.h"

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("CODIGO");
const QString kDenominacion = QStringLiteral("DENOMINACION");
const QString kModelo = QStringLiteral("MODELO");
const QString kFabric = QStringLiteral("FABRIC");
const QString kUbica = QStringLiteral("UBICA");
const QString kCuenta = QStringLiteral("CUENTA");
const QString kDispo = QStringLiteral("DISPO");
const QString kPhoto = QStringLiteral("CheckBox1");
const QString kRich = QStringLiteral("RichMQ");
const QString kSave = QStringLiteral("Button1");
const QString kDelete = QStringLiteral("Button2");
const QString kPrint = QStringLiteral("impresion");

// The seven controls into the record, each cut to its field.
void ReadControls(const CardState& state, TMachineRecord& rec)
{
    rec.Codigo = state.value(kCodigo);
    rec.Denominacion = state.value(kDenominacion);
    rec.Modelo = state.value(kModelo);
    rec.Fabricacion = state.value(kFabric);
    rec.Ubicacion = state.value(kUbica);
    rec.Cuenta = state.value(kCuenta);
    rec.Disponible = state.value(kDispo);
}

} // namespace

CardSpec MachineCardSpec(Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFormMQ");
    spec.caption = QString::fromUtf8(kMachineCardCaption);
    spec.fields = {MakeField(kCodigo, "CODIGO", FieldKind::Text, 8),
                   MakeField(kDenominacion, "DENOMINACION", FieldKind::Text, 48),
                   MakeField(kModelo, "MODELO", FieldKind::Text, 24),
                   MakeField(kFabric, "Nº SERIE", FieldKind::Text, 24),
                   MakeField(kUbica, "UBICACION", FieldKind::Text, 24),
                   MakeField(kCuenta, "CUENTA", FieldKind::Text, 24)};
    FieldSpec dispo = MakeField(kDispo, "DISPONIBLE", FieldKind::Text, 2);
    dispo.kind = FieldKind::Combo;
    dispo.choices = QStringList{QStringLiteral("SI"), QStringLiteral("NO")};
    spec.fields.push_back(dispo);
    FieldSpec photo;
    photo.name = kPhoto;
    photo.label = QStringLiteral("Asignar FOTO:");
    photo.kind = FieldKind::Check;
    spec.fields.push_back(photo);
    FieldSpec rich;
    rich.name = kRich;
    rich.kind = FieldKind::Memo;
    spec.fields.push_back(rich);

    spec.buttons = {{kSave, QStringLiteral("SI&GUIENTE"), MachineCardResult::Save},
                    {QStringLiteral("BitBtn1"), QStringLiteral("&SALIR"), MachineCardResult::Exit},
                    {kDelete, QStringLiteral("&BORRAR"), MachineCardResult::Delete},
                    {kPrint, QStringLiteral("&IMPRIME"), MachineCardResult::Print}};
    spec.cancelResult = MachineCardResult::Exit;

    // The account proposed for a new machine is the start of its code.
    spec.onExit = [](CardState& state, const QString& field) {
        if (field == kCodigo)
            state.set(kCuenta, state.value(kCodigo).left(3));
    };
    spec.onChange = [&ctx](CardState& state, const QString& field) {
        if (field != kPhoto)
            return;
        if (state.checked(kPhoto)) {
            AssignMachinePhoto(ctx, state.value(kCodigo));
            ctx.st.PhotoAssignFlag = 1;
        } else {
            ctx.st.PhotoAssignFlag = 0;
        }
    };
    spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
        if (button.name == kSave) {
            ReadControls(state, ctx.st.CurrentMachine);
            Machines(ctx).MachineSaveRequested = 1;
        } else if (button.name == kDelete) {
            Machines(ctx).MachineDeleteRequested = 1;
        }
        return true;
    };
    return spec;
}

CardState MachineCardState(const Context& ctx, const TMachineRecord& rec, MachineCardUse use)
{
    CardState state;
    state.set(kCodigo, rec.Codigo.str());
    state.set(kDenominacion, rec.Denominacion.str());
    state.set(kModelo, rec.Modelo.str());
    state.set(kFabric, rec.Fabricacion.str());
    if (use == MachineCardUse::Edit) {
        state.set(kUbica, rec.Ubicacion.str());
        state.set(kCuenta, rec.Cuenta.str());
        state.set(kDispo, rec.Disponible.str());
    } else {
        state.set(kUbica, QStringLiteral("-"));
        state.set(kCuenta, QStringLiteral("-"));
        state.set(kDispo, QStringLiteral("SI"));
    }
    state.setChecked(kPhoto, false);
    state.captions[kSave] = QStringLiteral("SAL&VAR");
    state.show(kRich, false);
    if (use == MachineCardUse::Add) {
        state.enable(kDelete, false);
    } else {
        state.captions[kPrint] = QStringLiteral("MEMO");
        if (ctx.st.ActionCode == QLatin1String("3"))
            state.enable(kCodigo, false);
    }
    return state;
}

} // namespace gim
