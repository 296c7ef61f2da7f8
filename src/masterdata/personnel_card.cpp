#include "masterdata/personnel_card.h"

#include "core/context.h"
#include "masterdata/personnel.h"

#include <algorithm>

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kApellidos = QStringLiteral("Apellidos");
const QString kNombre = QStringLiteral("Nombre");
const QString kCalle = QStringLiteral("Calle");
const QString kCiudad = QStringLiteral("Ciudad");
const QString kTlf = QStringLiteral("tlf");
const QString kIngreso = QStringLiteral("Ingreso");
const QString kBaja = QStringLiteral("Baja");
const QString kSave = QStringLiteral("salvar");
const QString kExit = QStringLiteral("BitBtn1");
const QString kDelete = QStringLiteral("BitBtn2");
const QString kPhoto = QStringLiteral("Button1");

// "dd/mm/yy", the first two digit pairs optional.
const QString kDateMask = QStringLiteral("00/00/99;_");
constexpr int kDateCapacity = 8;

FieldSpec Date(const QString& name, const char* label)
{
    FieldSpec f = MakeField(name, label, FieldKind::Text, kDateCapacity);
    f.kind = FieldKind::Masked;
    f.mask = kDateMask;
    f.hint = QStringLiteral("dia/mes/año");
    return f;
}

FieldSpec Hinted(FieldSpec f, const char* hint)
{
    f.hint = QString::fromUtf8(hint);
    return f;
}

void ReadControls(const CardState& state, TPersonnelRecord& rec)
{
    rec.Matricula = state.value(kCodigo);
    rec.Apellidos = state.value(kApellidos);
    rec.Nombre = state.value(kNombre);
    rec.Calle = state.value(kCalle);
    rec.Ciudad = state.value(kCiudad);
    rec.tlf = state.value(kTlf);
    rec.Ingreso = StoredDateText(state.value(kIngreso));
    rec.Baja = StoredDateText(state.value(kBaja));
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
    spec.fields = {
        Hinted(MakeField(kCodigo, "MATRICULA:", FieldKind::Text, 6), "Código de Identificación."),
        Hinted(MakeField(kApellidos, "APELLIDOS:", FieldKind::Text, 28), "1º y 2º Apellidos."),
        Hinted(MakeField(kNombre, "NOMBRE:", FieldKind::Text, 16), "Nombre del Operario."),
        Hinted(MakeField(kCalle, "DIRECCION:", FieldKind::Text, 48), "Calle y nº de la residencia Habitual."),
        Hinted(MakeField(kCiudad, "CIUDAD", FieldKind::Text, 16), "Pueblo,Ciudad y provincia."),
        Hinted(MakeField(kTlf, "TELEFONO", FieldKind::Text, 12), "Telefono Habitual."),
        Date(kIngreso, "INGRESO"),
        Date(kBaja, "FECHA DE BAJA")};
    spec.buttons = {
        {kSave, QStringLiteral("Sal&var"), PersonnelCardResult::Save, QStringLiteral("Grava la Ficha.")},
        {kExit, QStringLiteral("&Salir"), PersonnelCardResult::Exit},
        {kDelete, QStringLiteral("&Borrar"), PersonnelCardResult::Delete,
         QStringLiteral("Elimina la Ficha.")},
        {kPhoto, QStringLiteral("Foto"), 0}};
    spec.cancelResult = PersonnelCardResult::Exit;
    spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
        if (button.name != kPhoto)
            return true;
        CheckPersonPhoto(ctx, state.value(kCodigo));
        ctx.st.PhotoAssignFlag = 1;
        return false;
    };
    return spec;
}

CardState PersonnelCardState(const Context& ctx, const TPersonnelRecord& rec)
{
    const QString& action = ctx.st.ActionCode;
    CardState state;
    state.set(kCodigo, rec.Matricula.str());
    state.set(kApellidos, rec.Apellidos.str());
    state.set(kNombre, rec.Nombre.str());
    state.set(kCalle, rec.Calle.str());
    state.set(kCiudad, rec.Ciudad.str());
    state.set(kTlf, rec.tlf.str());
    state.set(kIngreso, rec.Ingreso.str());
    state.set(kBaja, rec.Baja.str());
    if (action == QLatin1String("1")) {
        state.enable(kBaja, false);
    } else if (action == QLatin1String("2")) {
        state.captions[kSave] = QStringLiteral("Siguiente");
        state.enable(kDelete, false);
    } else if (action == QLatin1String("3")) {
        state.enable(kCodigo, false);
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
        ReadControls(state, rec);
    } else if (result == PersonnelCardResult::Exit) {
        st.RunFlag = 0;
    } else if (result == PersonnelCardResult::Delete) {
        st.AnswerCode = QStringLiteral("B");
    }
    return result;
}

} // namespace gim
