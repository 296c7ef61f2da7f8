#include "masterdata/machine_card.h"

#include "core/context.h"
#include "core/lookups.h"
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

} // namespace

const CardBinding<TMachineRecord>& MachineCardBinding()
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

CardSpec MachineCardSpec(Context& ctx, MachineCardUse use)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFormMQ");
    spec.caption = QStringLiteral("FICHA DE CODIFICACION DE MAQUINAS");
    spec.fields = {MakeField(kCodigo, "CODIGO"),
                   MakeField(QStringLiteral("DENOMINACION"), "DENOMINACION"),
                   MakeField(QStringLiteral("MODELO"), "MODELO"),
                   MakeField(QStringLiteral("FABRIC"), "Nº SERIE"),
                   MakeField(QStringLiteral("UBICA"), "UBICACION"),
                   MakeField(kCuenta, "CUENTA"),
                   MakeField(QStringLiteral("DISPO"), "DISPONIBLE", FieldKind::Combo)};
    spec.fields.back().choices = QStringList{QStringLiteral("SI"), QStringLiteral("NO")};
    MachineCardBinding().Declare(spec);
    FieldSpec photo;
    photo.name = kPhoto;
    photo.label = QStringLiteral("Asignar FOTO:");
    photo.kind = FieldKind::Check;
    spec.fields.push_back(photo);
    FieldSpec rich;
    rich.name = kRich;
    rich.kind = FieldKind::Memo;
    spec.fields.push_back(rich);
    // One control a row in the form's order; the memo, hidden on both cards, below them.
    for (std::size_t i = 0; i < spec.fields.size(); ++i)
        spec.fields[i].place = GridCell(static_cast<int>(i));

    spec.buttons = {{kSave, QStringLiteral("SI&GUIENTE"), CardResult::Save},
                    {QStringLiteral("BitBtn1"), QStringLiteral("&SALIR"), CardResult::Exit},
                    {kDelete, QStringLiteral("&BORRAR"), CardResult::Delete},
                    {kPrint, QStringLiteral("&IMPRIME"), CardResult::Print}};
    spec.cancelResult = CardResult::Exit;

    spec.onShow = [&ctx, use](CardState& state) {
        // A new machine starts from the form's own location, account and availability.
        if (use == MachineCardUse::Add) {
            state.set(QStringLiteral("UBICA"), QStringLiteral("-"));
            state.set(kCuenta, QStringLiteral("-"));
            state.set(QStringLiteral("DISPO"), QStringLiteral("SI"));
            state.enable(kDelete, false);
        } else {
            state.captions[kPrint] = QStringLiteral("MEMO");
            if (ctx.st.ActionCode == QLatin1String("3"))
                state.enable(kCodigo, false);
        }
        state.setChecked(kPhoto, false);
        state.captions[kSave] = QStringLiteral("SAL&VAR");
        state.show(kRich, false);
    };
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
    // An edited machine passes the checks a new one passes, while the card still holds what was typed.
    if (use == MachineCardUse::Edit)
        spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
            if (button.result != CardResult::Save)
                return true;
            TMachineRecord typed = ctx.st.CurrentMachine;
            MachineCardBinding().Read(state, typed);
            CheckMachineCodes(ctx, typed);
            return ctx.st.MachineCodesOk != 0;
        };
    return spec;
}

} // namespace gim
