#include "masterdata/machine_card.h"

#include "core/context.h"
#include "masterdata/machines.h"
#include "platform/card_binding.h"

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("CODIGO");
const QString kCuenta = QStringLiteral("CUENTA");
const QString kPhoto = QStringLiteral("CheckBox1");
const QString kRich = QStringLiteral("RichMQ");
const QString kSave = QStringLiteral("Button1");
const QString kDelete = QStringLiteral("Button2");
const QString kPrint = QStringLiteral("impresion");

const CardBinding<TMachineRecord>& Binding()
{
    using R = TMachineRecord;
    static const CardBinding<R> binding{
        BindText(kCodigo, &R::Codigo),
        BindText(QStringLiteral("DENOMINACION"), &R::Denominacion),
        BindText(QStringLiteral("MODELO"), &R::Modelo),
        BindText(QStringLiteral("FABRIC"), &R::Fabricacion),
        BindText(QStringLiteral("UBICA"), &R::Ubicacion),
        BindText(kCuenta, &R::Cuenta),
        BindText(QStringLiteral("DISPO"), &R::Disponible),
    };
    return binding;
}

} // namespace

CardSpec MachineCardSpec(Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFormMQ");
    spec.caption = QString::fromUtf8(kMachineCardCaption);
    spec.fields = {MakeField(kCodigo, "CODIGO"),
                   MakeField(QStringLiteral("DENOMINACION"), "DENOMINACION"),
                   MakeField(QStringLiteral("MODELO"), "MODELO"),
                   MakeField(QStringLiteral("FABRIC"), "Nº SERIE"),
                   MakeField(QStringLiteral("UBICA"), "UBICACION"),
                   MakeField(kCuenta, "CUENTA"),
                   MakeField(QStringLiteral("DISPO"), "DISPONIBLE", FieldKind::Combo)};
    spec.fields.back().choices = QStringList{QStringLiteral("SI"), QStringLiteral("NO")};
    Binding().Declare(spec);
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
    // The caller turns the result into its requests; the saved card goes into CurrentMachine here.
    spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
        if (button.name == kSave)
            ReadMachineCard(state, ctx.st.CurrentMachine);
        return true;
    };
    return spec;
}

void ReadMachineCard(const CardState& state, TMachineRecord& rec)
{
    Binding().Read(state, rec);
}

CardState MachineCardState(const Context& ctx, const TMachineRecord& rec, MachineCardUse use)
{
    CardState state;
    TMachineRecord shown = rec;
    // A new machine starts from the form's own location, account and availability.
    if (use == MachineCardUse::Add) {
        shown.Ubicacion = "-";
        shown.Cuenta = "-";
        shown.Disponible = "SI";
    }
    Binding().Fill(state, shown);
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
