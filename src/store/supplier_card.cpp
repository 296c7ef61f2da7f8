#include "store/supplier_card.h"

#include "core/context.h"
#include "platform/card_binding.h"
#include "store/suppliers.h"

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kEspecialidad = QStringLiteral("Especialidad");
const QString kDelete = QStringLiteral("Borrar");

// The specialities offered; any other text may be typed.
const QStringList kSpecialities{
    QStringLiteral("Calefacción"), QStringLiteral("Comunicacion"), QStringLiteral("Electricidad"),
    QStringLiteral("Electrónica"), QStringLiteral("Ferretería"),   QStringLiteral("Frío"),
    QStringLiteral("Hidráulica"),  QStringLiteral("Instrument"),   QStringLiteral("Mecánica"),
    QStringLiteral("Neumática"),   QStringLiteral("ObraCivil"),    QStringLiteral("Ordenadores")};

const CardBinding<TSupplierRecord>& Binding()
{
    using R = TSupplierRecord;
    static const CardBinding<R> binding{
        BindText(QStringLiteral("Empresa"), &R::Empresa), BindText(QStringLiteral("Contacto"), &R::Contacto),
        BindText(QStringLiteral("Calle"), &R::Calle),     BindText(QStringLiteral("Numero"), &R::Numero),
        BindText(QStringLiteral("Ciudad"), &R::Ciudad),   BindText(QStringLiteral("Cpostal"), &R::Cpostal),
        BindText(QStringLiteral("Pais"), &R::Pais),       BindText(QStringLiteral("Tlf"), &R::Tlf),
        BindText(QStringLiteral("Fax"), &R::Fax),         BindText(kCodigo, &R::Codigo),
        BindText(kEspecialidad, &R::Especialidad),        BindText(QStringLiteral("mail"), &R::mail)};
    return binding;
}

// Two columns: the firm and its address on the left, how to reach it on the right.
FieldSpec Field(const char* name, const char* label, int row, int column)
{
    FieldSpec f = MakeField(QString::fromLatin1(name), label);
    f.place.row = row;
    f.place.column = column;
    return f;
}

} // namespace

CardSpec SupplierCardSpec(const Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFProve");
    spec.caption = ctx.st.FirmName + QStringLiteral(" /PROVEEDORES DE MANTENIMIENTO");
    spec.fields = {Field("Empresa", "Empresa :", 0, 0),
                   Field("Contacto", "Contacto :", 0, 1),
                   Field("Calle", "Calle :", 1, 0),
                   Field("Numero", "Número :", 1, 1),
                   Field("Ciudad", "Ciudad :", 2, 0),
                   Field("Cpostal", "C. Postal :", 2, 1),
                   Field("Pais", "País :", 3, 0),
                   Field("Tlf", "Teléfono :", 3, 1),
                   Field("Fax", "Fax :", 4, 0),
                   Field("Codigo", "Código :", 4, 1),
                   Field("Especialidad", "Especialidad :", 5, 0),
                   Field("mail", "e-mail :", 5, 1)};
    for (FieldSpec& f : spec.fields)
        if (f.name == kEspecialidad) {
            f.kind = FieldKind::Combo;
            f.choices = kSpecialities;
        }
    Binding().Declare(spec);
    spec.buttons = {{QStringLiteral("Salvar"), QStringLiteral("Sal&var"), CardResult::Save},
                    {QStringLiteral("Salir"), QStringLiteral("&Salir"), CardResult::Exit},
                    {kDelete, QStringLiteral("&Borrar"), CardResult::Delete}};
    spec.cancelResult = CardResult::Exit;
    return spec;
}

int ShowSupplierForm(Context& ctx, TSupplierRecord& rec, const ShortString<10>* filedUnder)
{
    State& st = ctx.st;
    CardState opening;
    if (st.ActionCode == QLatin1String("1"))
        opening.enable(kDelete, false);
    CardSpec spec = SupplierCardSpec(ctx);
    // The add and the edit refuse a code in use alike, while what was typed is still on the card. "#"
    // stores nothing.
    std::optional<ShortString<10>> kept;
    if (filedUnder)
        kept = *filedUnder;
    spec.onButton = [&ctx, kept](CardState& state, const ButtonSpec& button) {
        ShortString<10> code{};
        code = state.value(kCodigo);
        if (button.result != CardResult::Save || code == "#" || (kept && code == *kept) ||
            !SupplierCodeInFile(ctx, code))
            return true;
        ShowRepeatedSupplierCode(ctx, code);
        state.focusRequest = kCodigo;
        return false;
    };
    const int result = Binding().Run(ctx.ui, spec, rec, opening);
    if (result == CardResult::Save) {
        st.AnswerCode = QStringLiteral("M");
    } else if (result == CardResult::Delete) {
        rec.Codigo = "Z";
        st.AnswerCode = QStringLiteral("B");
    } else {
        rec.Codigo = "#";
        st.AnswerCode = QStringLiteral("N");
    }
    return result;
}

} // namespace gim
