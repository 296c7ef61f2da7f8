#include "store/movement_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "platform/card_binding.h"
#include "platform/date_text.h"
#include "store/spare_parts.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace gim {

namespace {

const QString kCdtMov = QStringLiteral("CdtMov");
const QString kMqDestin = QStringLiteral("MqDestin");
const QString kUsuario = QStringLiteral("Usuario");
const QString kSemana = QStringLiteral("Semana");
const QString kAno = QStringLiteral("Ano");
const QString kCalendario = QStringLiteral("Calendario");
const QString kCostUnit = QStringLiteral("CostUnit");
const QString kRepuesto = QStringLiteral("Repuesto");
const QString kNombre = QStringLiteral("Nombre");
const QString kMachineName = QStringLiteral("NomMaquina");
const QString kUserName = QStringLiteral("NomUsuario");
const QString kEntry = QStringLiteral("Entrada");
const QString kExit = QStringLiteral("Salida");
const QString kLeave = QStringLiteral("Salir");
const QString kWorkOrder = QStringLiteral("OT");

constexpr std::int64_t kMostUnits = std::numeric_limits<std::int32_t>::max();

const CardBinding<MovementForm>& Binding()
{
    using F = MovementForm;
    static const CardBinding<F> binding{
        BindTyped(kCdtMov, &F::CdtMov),     BindTyped(kMqDestin, &F::MqDestin),
        BindTyped(kUsuario, &F::Usuario),   BindTyped(kSemana, &F::Semana),
        BindTyped(kAno, &F::Ano),           BindTyped(kCostUnit, &F::CostUnit),
        BindTyped(kRepuesto, &F::Repuesto), BindTyped(kNombre, &F::Nombre),
    };
    return binding;
}

// The quantity decides which bookings the card offers: none but an entry while it is not above "0".
void FollowQuantity(CardState& state)
{
    const bool some = state.value(kCdtMov) > QLatin1String("0");
    state.enable(kUsuario, some);
    state.enable(kCostUnit, some);
    state.enable(kExit, some);
    state.enable(kEntry, true);
}

// The store takes entries at a price; a machine only receives exits, at the part's average.
void FollowDestination(CardState& state)
{
    const bool store = state.value(kMqDestin) == QLatin1String(kStoreMachineCode);
    state.enable(kExit, !store);
    state.enable(kEntry, store);
    state.enable(kCostUnit, store && state.value(kCdtMov) != QLatin1String("0"));
}

// The personnel, looked up by number while the user field is worked on.
struct PeoplePick
{
    std::vector<PersonListEntry> people;
    bool loaded = false;

    void Load(Context& ctx)
    {
        if (!loaded)
            people = KeyedFile<PersonnelFile>(ctx).LoadList(Report::Silent);
        loaded = true;
    }
    QString NameOf(const QString& number) const
    {
        TPersonnelRecord wanted{};
        wanted.Matricula = number.left(6);
        const auto it = std::lower_bound(
            people.begin(), people.end(), wanted,
            [](const PersonListEntry& e, const TPersonnelRecord& w) { return PersonBefore(e.rec, w); });
        if (it == people.end() || !(it->rec.Matricula == wanted.Matricula))
            return {};
        return it->rec.Nombre.str() + QLatin1Char(' ') + it->rec.Apellidos.str();
    }
};

CardSpec MovementCardSpec(Context& ctx, MovementCardUse use)
{
    State& st = ctx.st;
    const bool booking = use == MovementCardUse::Booking;
    const QString action = st.ActionCode;
    const bool handedOver =
        action == QLatin1String("i") || action == QLatin1String("E") || action == QLatin1String("S");
    CardSpec spec;
    spec.name = QStringLiteral("TFmov");
    spec.caption = QStringLiteral("MOVIMIENTOS DE ALMACÉN");

    FieldSpec quantity = MakeField(kCdtMov, "Cantidad :");
    quantity.onChange = FollowQuantity;
    // The units are counted up; the button chosen says whether they enter or leave. A correction shows
    // the stored quantity without taking it back.
    if (booking)
        quantity.rule = WholeRule(0, kMostUnits);

    FieldSpec destination = MakeField(kMqDestin, "Destino :", FieldKind::Combo, 8);
    destination.onEnter = [&ctx](CardState& state) { state.choices[kMqDestin] = MachineCodeChoices(ctx); };
    destination.onChange = [&ctx](CardState& state) {
        state.set(kMachineName, LookUpMachine(ctx, state.value(kMqDestin)).Denominacion.str());
    };
    if (action != QLatin1String("E") && action != QLatin1String("S"))
        destination.onExit = FollowDestination;

    auto people = std::make_shared<PeoplePick>();
    FieldSpec user = MakeField(kUsuario, "Usuario :", FieldKind::Combo, 12);
    user.choices = {kWorkOrder};
    user.onEnter = [&ctx, people](CardState& state) {
        people->Load(ctx);
        state.choices[kUsuario] = PersonnelNumbers(people->people);
    };
    user.onChange = [&ctx, people](CardState& state) {
        const QString typed = state.value(kUsuario);
        if (typed == kWorkOrder) {
            state.set(kUserName, QStringLiteral("Orden de Trabajo"));
            return;
        }
        people->Load(ctx);
        state.set(kUserName, people->NameOf(typed));
    };
    user.onExit = [&ctx](CardState& state) {
        if (state.value(kUsuario) != kWorkOrder)
            return;
        const QString order =
            ctx.ui.InputBox(QStringLiteral("ORDEN DE TRABAJO"), QStringLiteral("Nº DE Orden de Trabajo : "),
                            QStringLiteral("0"));
        state.set(kUsuario, (QStringLiteral("OT/") + order).left(12));
    };

    FieldSpec week = MakeField(kSemana, "Semana :");
    // A stored movement's week is shown as the journal keeps it, from 0.
    week.rule = booking ? WeekRule(true) : WholeRule(0, 52, true);
    // A booking of the user's own starts from this week; a handed-over or stored week stays as it is.
    if (!handedOver)
        week.onEnter = [&st](CardState& state) { state.set(kSemana, st.WeekText); };

    FieldSpec calendar = MakeField(kCalendario, "Fecha :", FieldKind::Date);
    calendar.onExit = [](CardState& state) {
        const QDate date = ParseDate(state.value(kCalendario));
        if (!date.isValid())
            return;
        state.set(kSemana, QString::number(WeekOfYear(date)));
        state.set(kAno, QStringLiteral("20") +
                            QStringLiteral("%1").arg(date.year() % 100, 2, 10, QLatin1Char('0')));
        state.enable(kSemana, false);
        state.enable(kAno, false);
    };

    spec.fields = {MakeField(kRepuesto, "Repuesto :", FieldKind::Label),
                   MakeField(kNombre, "", FieldKind::Label),
                   quantity,
                   destination,
                   MakeField(kMachineName, "", FieldKind::Label),
                   user,
                   MakeField(kUserName, "", FieldKind::Label),
                   week,
                   MakeField(kAno, "Año :"),
                   calendar,
                   MakeField(kCostUnit, "Coste Unitario (€) :")};
    for (FieldSpec& f : spec.fields)
        if (f.name == kAno)
            f.rule = YearRule(true);
        else if (f.name == kCostUnit)
            f.rule = MoneyRule(0, std::numeric_limits<std::int32_t>::max());
    Binding().Declare(spec);
    spec.buttons = {
        {kEntry, booking ? QStringLiteral("&Entrada Alm") : QStringLiteral("Si&guiente"), CardResult::Save},
        {kExit, booking ? QStringLiteral("Sa&lida Alm") : QStringLiteral("&Borrar"), CardResult::Delete},
        {kLeave, QStringLiteral("&Salir"), CardResult::Exit}};
    spec.cancelResult = CardResult::Exit;

    spec.onShow = [&ctx, &st, handedOver, people](CardState& state) {
        const QString dateText = st.DateText.isEmpty() ? st.TodayText : st.DateText;
        state.set(kCalendario, dateText);
        if (!handedOver) {
            state.set(kSemana, st.WeekText);
            state.set(kAno, st.YearText);
        }
        state.set(kMachineName, LookUpMachine(ctx, state.value(kMqDestin)).Denominacion.str());
        const QString typed = state.value(kUsuario);
        if (typed == kWorkOrder) {
            state.set(kUserName, QStringLiteral("Orden de Trabajo"));
        } else if (!typed.trimmed().isEmpty()) {
            people->Load(ctx);
            state.set(kUserName, people->NameOf(typed));
        }
    };
    return spec;
}

} // namespace

int ShowMovementCard(Context& ctx, MovementForm& form, MovementCardUse use)
{
    const CardSpec spec = MovementCardSpec(ctx, use);
    CardState state;
    if (use == MovementCardUse::Booking) {
        state.enable(kCostUnit, false);
        state.enable(kEntry, false);
        state.enable(kExit, false);
        if (ctx.st.ActionCode == QLatin1String("i")) {
            // A handed-over movement opens with its own quantity and destination in force.
            state.enable(kCalendario, false);
            state.set(kCdtMov, form.CdtMov);
            state.set(kMqDestin, form.MqDestin);
            FollowQuantity(state);
            FollowDestination(state);
        }
    } else {
        state.show(kCalendario, false);
    }
    return Binding().Run(ctx.ui, spec, form, state, {CardResult::Save, CardResult::Delete});
}

} // namespace gim
