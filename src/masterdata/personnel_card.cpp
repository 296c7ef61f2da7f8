#include "masterdata/personnel_card.h"

#include "core/context.h"
#include "core/field_rules.h"
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
        // A date of the calendar, or none: a date without a digit is stored as "..".
        f.rule = DateRule();
        f.rule.accepts = [date = f.rule.accepts](const QString& text) {
            return StoredDateText(text) == QLatin1String("..") || date(text);
        };
    }
    return f;
}

// Whether the personnel file holds a card of this number; a file that cannot be read holds none, and
// the append then says why.
bool NumberTaken(Context& ctx, const QString& number)
{
    KeyedFile<PersonnelFile> file(ctx);
    if (!file.Exists())
        return false;
    const std::optional<std::vector<TPersonnelRecord>> cards = file.Read(Report::Silent);
    return cards && std::any_of(cards->begin(), cards->end(),
                                [&](const TPersonnelRecord& r) { return r.Matricula == number; });
}

} // namespace

const CardBinding<TPersonnelRecord>& PersonnelCardBinding()
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

QString StoredDateText(const QString& maskText)
{
    const bool typed = std::any_of(maskText.begin(), maskText.end(), [](QChar c) { return c.isDigit(); });
    return typed ? maskText : QStringLiteral("..");
}

CardSpec PersonnelCardSpec(Context& ctx, PersonnelCardUse use)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFichaRCH");
    spec.caption = QStringLiteral("FICHA DE DATOS PERSONALES");
    spec.fields = {Field("Codigo", "MATRICULA:", "Código de Identificación."),
                   Field("Apellidos", "APELLIDOS:", "1º y 2º Apellidos."),
                   Field("Nombre", "NOMBRE:", "Nombre del Operario."),
                   Field("Calle", "DIRECCION:", "Calle y nº de la residencia Habitual."),
                   Field("Ciudad", "CIUDAD", "Pueblo,Ciudad y provincia."),
                   Field("tlf", "TELEFONO", "Telefono Habitual."),
                   Field("Ingreso", "INGRESO", "dia/mes/año", FieldKind::Masked),
                   Field("Baja", "FECHA DE BAJA", "dia/mes/año", FieldKind::Masked)};
    // One control a row in the form's order.
    for (std::size_t i = 0; i < spec.fields.size(); ++i)
        spec.fields[i].place = GridCell(static_cast<int>(i));
    PersonnelCardBinding().Declare(spec);
    spec.buttons = {
        {kSave, QStringLiteral("Sal&var"), CardResult::Save, QStringLiteral("Grava la Ficha.")},
        {QStringLiteral("BitBtn1"), QStringLiteral("&Salir"), CardResult::Exit},
        {kDelete, QStringLiteral("&Borrar"), CardResult::Delete, QStringLiteral("Elimina la Ficha.")},
        {kPhoto, QStringLiteral("Foto"), CardResult::None}};
    spec.cancelResult = CardResult::Exit;
    spec.onShow = [&ctx](CardState& state) {
        const QString& action = ctx.st.ActionCode;
        if (action == QLatin1String("1")) {
            state.enable(QStringLiteral("Baja"), false);
        } else if (action == QLatin1String("2")) {
            state.captions[kSave] = QStringLiteral("Siguiente");
            state.enable(kDelete, false);
        } else if (action == QLatin1String("3")) {
            state.enable(QStringLiteral("Codigo"), false);
        }
    };
    spec.onButton = [&ctx, use](CardState& state, const ButtonSpec& button) {
        // A repeated number is refused while the card still holds what was typed.
        const QString number = state.value(QStringLiteral("Codigo"));
        if (button.result == CardResult::Save && use == PersonnelCardUse::New &&
            number != QLatin1String("#") && number != QLatin1String("Z") && NumberTaken(ctx, number)) {
            ctx.ui.ShowMessage(QString::fromUtf8(kRepeatedNumber));
            return false;
        }
        if (button.name != kPhoto)
            return true;
        CheckPersonPhoto(ctx, state.value(QStringLiteral("Codigo")));
        ctx.st.PhotoAssignFlag = 1;
        return false;
    };
    return spec;
}

} // namespace gim
