#include "masterdata/hour_price_card.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/field_rules.h"
#include "core/lookups.h"
#include "core/texts.h"
#include "masterdata/hour_prices.h"
#include "masterdata/personnel.h"
#include "platform/card_binding.h"

#include <array>
#include <memory>

namespace gim {

namespace {

const QString kMatricula = QStringLiteral("Matricula");
const QString kName = QStringLiteral("NoMatricula");
const QString kCalendario = QStringLiteral("Calendario");
const QString kSave = QStringLiteral("salvar");
// A typed price must fit the record's 16-bit cents.
const char* const kPriceOutOfRange = "PRECIO FUERA DE LÍMITE: DE 0,00 A 655,35 EUROS";

// The six price edits: control, caption and the record field each one fills.
struct PriceControl
{
    const char* name;
    const char* label;
    LeU16 THourPriceRecord::*field;
};
const std::array<PriceControl, 6> kPrices{{
    {"HCONTRATO", "Hora Normal :", &THourPriceRecord::HCONTRATO},
    {"HN", "Hora  Nocturna :", &THourPriceRecord::HN},
    {"HEX", "Hora Extra Normal :", &THourPriceRecord::HEX},
    {"HEN", "Hora Extra Nocturna :", &THourPriceRecord::HEN},
    {"HEF", "Hora Extra Festiva :", &THourPriceRecord::HEF},
    {"HEC", "Hora Extra Compensada :", &THourPriceRecord::HEC},
}};

ControlBinding<THourPriceRecord> BindPrice(const PriceControl& c)
{
    ControlBinding<THourPriceRecord> b = BindCents(QLatin1String(c.name), c.field);
    b.rule.message = QString::fromUtf8(kPriceOutOfRange);
    return b;
}

constexpr int kNumberWidth = 6;

bool ShowsRow(const Context& ctx)
{
    return ctx.st.ActionCode == QLatin1String("5") || ctx.st.ActionCode == QLatin1String("i");
}

// The name beside the number: the employee's, the lookup's "NO EXISTE LA PERSONA", or "Indistinto".
// While the number is being typed a personnel file that is not there only names nobody; `report` runs
// the lookup itself, which says so.
void ShowEmployeeName(Context& ctx, CardState& state, bool report = true)
{
    state.set(kName, QStringLiteral(" "));
    TPersonnelRecord person{};
    person.Matricula = state.value(kMatricula).left(kNumberWidth);
    person.Apellidos = "NO EXISTE LA PERSONA";
    if (report || DataFileExists(ctx, ctx.st.PersonnelFileName))
        FindPerson(ctx, ctx.st.PersonnelFileName, person);
    const bool missing = person.Apellidos == "NO EXISTE LA PERSONA" && person.Nombre.empty();
    state.set(kName, missing ? person.Apellidos.str()
                             : person.Nombre.str() + QLatin1Char(' ') + person.Apellidos.str());
    if (state.value(kMatricula) == QLatin1String("*"))
        state.set(kName, QStringLiteral("Indistinto"));
}

// What a saved card must not hold, checked as the add checks it: an employee who is not on the personnel
// list, or a number that has prices already (other than the row shown). Returns the refusal; "" none.
QString Refusal(Context& ctx, const QString& number, const QString& shownNumber)
{
    if (number == QLatin1String("#") || number == QLatin1String("Z"))
        return {};
    if (!PersonOnList(ctx, number))
        return QString::fromUtf8(kUnknownWorker);
    if (number == shownNumber)
        return {};
    const std::optional<std::vector<THourPriceRecord>> rows =
        KeyedFile<HourPriceFile>(ctx).Read(Report::Silent);
    const bool taken = rows && std::any_of(rows->begin(), rows->end(),
                                           [&](const THourPriceRecord& r) { return r.Matricula == number; });
    return taken ? QString::fromUtf8(kRepeatedPrice) : QString();
}

} // namespace

const CardBinding<THourPriceRecord>& HourPriceCardBinding()
{
    using R = THourPriceRecord;
    static const CardBinding<R> binding{BindText(kMatricula, &R::Matricula),
                                        BindPrice(kPrices[0]),
                                        BindPrice(kPrices[1]),
                                        BindPrice(kPrices[2]),
                                        BindPrice(kPrices[3]),
                                        BindPrice(kPrices[4]),
                                        BindPrice(kPrices[5]),
                                        BindText(kCalendario, &R::Fecha)};
    return binding;
}

CardSpec HourPriceCardSpec(Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TfichPreHora");
    spec.caption = QStringLiteral("Preciario Horas Personal");
    spec.hint = QStringLiteral("Precios Hora en Céntimos de Euro. ");

    FieldSpec number;
    number.name = kMatricula;
    number.label = QStringLiteral("Matrícula Operario :");
    number.kind = FieldKind::Combo;
    number.hint = QStringLiteral("Matricula del Operario");
    // The number with the employee's name beside it, each price with "Euros" beside it, the date below.
    number.place = GridCell(0);
    if (!ShowsRow(ctx))
        number.choices = PersonnelNumbers(Personnel(ctx).PersonnelList);
    spec.fields.push_back(number);
    FieldSpec name;
    name.name = kName;
    name.kind = FieldKind::Label;
    name.place = GridCell(0, 1);
    spec.fields.push_back(name);
    int row = 1;
    for (const PriceControl& c : kPrices) {
        FieldSpec price;
        price.name = QLatin1String(c.name);
        price.label = QString::fromUtf8(c.label);
        price.place = GridCell(row);
        spec.fields.push_back(price);
        FieldSpec euros;
        euros.name = QStringLiteral("Euros") + QLatin1String(c.name);
        euros.label = QStringLiteral("Euros");
        euros.kind = FieldKind::Label;
        euros.place = GridCell(row++, 1);
        spec.fields.push_back(euros);
    }
    FieldSpec date;
    date.name = kCalendario;
    date.label = QStringLiteral("Fecha Revisión :");
    date.kind = FieldKind::Date;
    date.mask = QStringLiteral("00/00/0000;1;_");
    date.hint = QStringLiteral("Fecha de la realización del Trabajo.");
    date.rule = DateRule(true);
    date.place = GridCell(row);
    spec.fields.push_back(date);

    HourPriceCardBinding().Declare(spec);
    spec.buttons = {{kSave, QStringLiteral("Sal&var"), CardResult::Save},
                    {QStringLiteral("salir"), QStringLiteral("&Salir"), CardResult::Exit},
                    {QStringLiteral("Borrar"), QStringLiteral("&Borrar"), CardResult::Delete}};
    spec.cancelResult = CardResult::Exit;

    // Filling the number in from a row names its employee, as typing it does. A new price starts from
    // "*", no prices and today's date.
    // The number of the row shown, which the card may keep.
    auto shownNumber = std::make_shared<QString>();
    spec.onShow = [&ctx, shownNumber](CardState& state) {
        if (ShowsRow(ctx)) {
            *shownNumber = state.value(kMatricula);
            ShowEmployeeName(ctx, state);
            return;
        }
        THourPriceRecord fresh{};
        fresh.Matricula = "*";
        fresh.Fecha = ctx.st.TodayText;
        HourPriceCardBinding().Fill(state, fresh);
    };
    // The name follows each key; a lookup that cannot be made is reported once, when the number is left.
    auto typed = std::make_shared<bool>(false);
    spec.onChange = [&ctx, typed](CardState& state, const QString& field) {
        if (field != kMatricula)
            return;
        *typed = true;
        ShowEmployeeName(ctx, state, false);
    };
    spec.onExit = [&ctx, typed](CardState& state, const QString& field) {
        if (field != kMatricula || !*typed)
            return;
        *typed = false;
        if (!DataFileExists(ctx, ctx.st.PersonnelFileName))
            ShowEmployeeName(ctx, state);
    };
    spec.onButton = [&ctx, shownNumber](CardState& state, const ButtonSpec& button) {
        if (button.result != CardResult::Save)
            return true;
        const QString refusal = Refusal(ctx, state.value(kMatricula).left(kNumberWidth), *shownNumber);
        if (refusal.isEmpty())
            return true;
        ctx.ui.ShowMessage(refusal);
        return false;
    };
    return spec;
}

} // namespace gim
