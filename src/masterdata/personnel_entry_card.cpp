#include "masterdata/personnel_entry_card.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/field_rules.h"
#include "core/lookups.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/personnel.h"
#include "masterdata/personnel_entries.h"
#include "platform/card_binding.h"
#include "platform/date_text.h"

#include <string_view>

namespace gim {

namespace {

const QString kNumber = QStringLiteral("codigo");
const QString kName = QStringLiteral("Nombre");
const QString kType = QStringLiteral("Tipo");
const QString kTypeText = QStringLiteral("Label2");
const QString kDate = QStringLiteral("FECHA");
const QString kCalendar = QStringLiteral("Calendario");
const QString kText = QStringLiteral("Descripcion");
const QString kMinutes = QStringLiteral("horas");
const QString kSecond = QStringLiteral("Button2");

constexpr CodeLabel kEntryTypes[] = {
    {"*", "Indistinto"},
    {"A", "Amonestación"},
    {"B", "Baja Laboral"},
    {"E", "Horas Extras Nornales"},
    {"EC", "Horas Extras Compensable"},
    {"EF", "Horas Extras Festivas"},
    {"EN", "Horas Extras Nocturnas"},
    {"F", "Formación"},
    {"M", "Mención Positiva"},
    {"N", "Horas Nocturnas"},
    {"P", "Permiso"},
    {"V", "Vacaciones"},
    {"#", " "},
};

const CardBinding<TPersonnelEntryRecord>& Binding()
{
    using R = TPersonnelEntryRecord;
    static const CardBinding<R> binding{
        BindText(kNumber, &R::Matricula), BindText(kType, &R::Type),          BindText(kDate, &R::Date),
        BindText(kText, &R::Text),        BindMinutes(kMinutes, &R::Minutes),
    };
    return binding;
}

bool EditsEntry(const Context& ctx)
{
    return ctx.st.ActionCode == QLatin1String("5");
}

// The employee's name beside the number; the lookup names nobody while there is no personnel file.
void ShowEmployeeName(Context& ctx, CardState& state)
{
    TPersonnelRecord person{};
    person.Matricula = state.value(kNumber);
    if (DataFileExists(ctx, ctx.st.PersonnelFileName))
        FindPerson(ctx, ctx.st.PersonnelFileName, person);
    state.set(kName, person.Nombre.str() + QLatin1Char(' ') + person.Apellidos.str());
}

FieldSpec Field(const QString& name, const char* label, FieldKind kind, const char* hint = "")
{
    FieldSpec f = MakeField(name, label, kind);
    f.hint = QString::fromUtf8(hint);
    return f;
}

} // namespace

namespace {

// The types an entry is stored with: every type of the list but the filter's "*" and the blank "#".
QStringList StoredTypes()
{
    QStringList types;
    for (const CodeLabel& t : kEntryTypes)
        if (t.code != std::string_view("*") && t.code != std::string_view("#"))
            types << QString::fromLatin1(t.code);
    return types;
}

} // namespace

QString EntryTypeText(const QString& type)
{
    return CodeTable(kEntryTypes).LabelOr(type);
}

CardSpec PersonnelEntryCardSpec(Context& ctx)
{
    const bool edit = EditsEntry(ctx);
    CardSpec spec;
    spec.name = QStringLiteral("TFichAPT");
    spec.caption = QString::fromUtf8(kPersonnelEntryCardCaption);

    FieldSpec number = Field(kNumber, "Expediente :", FieldKind::Combo, "Matricula Operario");
    if (!edit)
        number.choices = PersonnelNumbers(Personnel(ctx).PersonnelList);
    number.onChange = [&ctx](CardState& state) { ShowEmployeeName(ctx, state); };
    FieldSpec date = Field(kDate, "Fecha :", FieldKind::Masked, "Fecha En Formato año/semana7día semana.");
    date.mask = QStringLiteral("!00/00/0;1;_");
    date.capacity = 7;
    date.rule = WeekCodeRule(true);
    FieldSpec calendar = Field(kCalendar, "", FieldKind::Date);
    calendar.mask = QStringLiteral("00/00/0000;1;_");
    calendar.rule = DateRule();
    calendar.onExit = [](CardState& state) {
        const QDate day = ParseDate(state.value(kCalendar));
        if (day.isValid())
            state.set(kDate, WeekCodeOf(day));
    };
    spec.fields = {number, Field(kName, "", FieldKind::Label)};
    AddCodeCombo(spec, kType, "Tipo Apunte:", kEntryTypes, kTypeText).rule = CodeRule(StoredTypes(), true);
    spec.fields.insert(spec.fields.end(),
                       {date, calendar, Field(kText, "Texto:", FieldKind::Text, "Comentario descriptivo."),
                        Field(kMinutes, "Minutos :", FieldKind::Text, "Horas dedicadas.")});
    Binding().Declare(spec);

    spec.buttons = {{QStringLiteral("Button1"), QStringLiteral("Sal&var"), CardResult::Save},
                    edit ? ButtonSpec{kSecond, QStringLiteral("Borrar"), CardResult::Delete}
                         : ButtonSpec{kSecond, QStringLiteral("Si&guiente"), CardResult::Next},
                    {QStringLiteral("BitBtn1"), QStringLiteral("&Salir"), CardResult::Exit}};
    spec.cancelResult = CardResult::Exit;
    spec.onShow = [&ctx](CardState& state) {
        state.set(kTypeText, EntryTypeText(state.value(kType)));
        if (EditsEntry(ctx))
            ShowEmployeeName(ctx, state);
    };
    // The employee is checked as the add checks it, on a new entry and on one edited, while the card
    // still holds what was typed.
    spec.onButton = [&ctx](CardState& state, const ButtonSpec& button) {
        const QString typed = state.value(kNumber);
        if (button.result != CardResult::Save || typed == QLatin1String("#") || typed == QLatin1String("Z") ||
            PersonOnList(ctx, typed))
            return true;
        ctx.ui.ShowMessage(QString::fromUtf8(kUnknownExpedient));
        return false;
    };
    return spec;
}

int ShowPersonnelEntryCard(Context& ctx, TPersonnelEntryRecord& entry)
{
    State& st = ctx.st;
    CardState state;
    // The calendar opens on the entry's date when it has one (an entry shown to be edited), else on today.
    const QDate day = WeekCodeToDate(entry.Date.str()).value_or(st.CurrentDateTime.date());
    state.set(kCalendar, FormatDate(day));
    const int result = Binding().Run(ctx.ui, PersonnelEntryCardSpec(ctx), entry, std::move(state));
    if (result == CardResult::Exit) {
        st.RunFlag = 0;
        entry.Matricula = "#";
    } else if (result == CardResult::Delete) {
        entry.Matricula = "Z";
    } else if (result == CardResult::Next) {
        entry.Matricula = "#";
    }
    return result;
}

} // namespace gim
