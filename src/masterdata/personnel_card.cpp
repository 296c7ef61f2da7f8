#include "masterdata/personnel_card.h"

#include "core/context.h"
#include "masterdata/personnel.h"
#include "platform/card_binding.h"

#include <algorithm>

namespace gim {

namespace {

const QString kSave = QStringLiteral("salvar");
const QString kDelete = QStringLiteral("BitBtn2");
const QString kPhoto = QStringLiteral("Button1");

// "dd/mm/yy": day and month may be left out, the year may not.
const QString kDateMask = QStringLiteral("!99/99/00;1;_");

FieldSpec Field(const char* name, const char* label, const char* hint, FieldKind kind = FieldKind::Text)
{
    FieldSpec f = MakeField(QString::fromLatin1(name), label, kind);
    f.hint = QString::fromUtf8(hint);
    if (kind == FieldKind::Masked) {
        f.mask = kDateMask;
        f.capacity = 8;
    }
    return f;
}

const CardBinding<TPersonnelRecord>& Binding()
{
    using R = TPersonnelRecord;
    static const CardBinding<R> binding{
        BindText(QStringLiteral("Codigo"), &R::Matricula),
        BindText(QStringLiteral("Apellidos"), &R::Apellidos),
        BindText(QStringLiteral("Nombre"), &R::Nombre),
        BindText(QStringLiteral("Calle"), &R::Calle),
        BindText(QStringLiteral("Ciudad"), &R::Ciudad),
        BindText(QStringLiteral("tlf"), &R::tlf),
        BindText(QStringLiteral("Ingreso"), &R::Ingreso, StoredDateText),
        BindText(QStringLiteral("Baja"), &R::Baja, StoredDateText),
    };
    return binding;
}

} // namespace

QString StoredDateText(const QString& maskText)
{
    const bool typed = std::any_of(maskText.begin(), maskText.end(), [](QChar c) { return c.isDigit(); });
    return typed ? maskText : QStringLiteral("..");
}

CardSpec PersonnelCardSpec(Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFichaRCH");
    spec.caption = QString::fromUtf8(kPersonnelCardCaption);
    spec.fields = {Field("Codigo", "MATRICULA:", "Código de Identificación."),
                   Field("Apellidos", "APELLIDOS:", "1º y 2º Apellidos."),
                   Field("Nombre", "NOMBRE:", "Nombre del Operario."),
                   Field("Calle", "DIRECCION:", "Calle y nº de la residencia Habitual."),
                   Field("Ciudad", "CIUDAD", "Pueblo,Ciudad y provincia."),
                   Field("tlf", "TELEFONO", "Telefono Habitual."),
                   Field("Ingreso", "INGRESO", "dia/mes/año", FieldKind::Masked),
                   Field("Baja", "FECHA DE BAJA", "dia/mes/año", FieldKind::Masked)};
    Binding().Declare(spec);
    spec.buttons = {
        {kSave, QStringLiteral("Sal&var"), PersonnelCardResult::Save, QStringLiteral("Grava la Ficha.")},
        {QStringLiteral("BitBtn1"), QStringLiteral("&Salir"), PersonnelCardResult::Exit},
        {kDelete, QStringLiteral("&Borrar"), PersonnelCardResult::Delete,
         QStringLiteral("Elimina la Ficha.")},
        {kPhoto, QStringLiteral("Foto"), 0}};
    spec.cancelResult = PersonnelCardResult::Exit;
    spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
        if (button.name != kPhoto)
            return true;
        CheckPersonPhoto(ctx, state.value(QStringLiteral("Codigo")));
        ctx.st.PhotoAssignFlag = 1;
        return false;
    };
    return spec;
}

CardState PersonnelCardState(const Context& ctx, const TPersonnelRecord& rec)
{
    const QString& action = ctx.st.ActionCode;
    CardState state;
    Binding().Fill(state, rec);
    if (action == QLatin1String("1")) {
        state.enable(QStringLiteral("Baja"), false);
    } else if (action == QLatin1String("2")) {
        state.captions[kSave] = QStringLiteral("Siguiente");
        state.enable(kDelete, false);
    } else if (action == QLatin1String("3")) {
        state.enable(QStringLiteral("Codigo"), false);
    }
    return state;
}

int ShowPersonnelCard(Context& ctx, TPersonnelRecord& rec)
{
    State& st = ctx.st;
    st.ContinueFlag = 0;
    st.PhotoAssignFlag = 0;
    const CardSpec spec = PersonnelCardSpec(ctx);
    CardState state = PersonnelCardState(ctx, rec);
    const int result = ctx.ui.RunCard(spec, state);
    if (result == PersonnelCardResult::Save) {
        st.ContinueFlag = 1;
        st.AnswerCode = QStringLiteral("M");
        Binding().Read(state, rec);
    } else if (result == PersonnelCardResult::Exit) {
        st.RunFlag = 0;
    } else if (result == PersonnelCardResult::Delete) {
        st.AnswerCode = QStringLiteral("B");
    }
    return result;
}

} // namespace gim
