#include "preventive/energy_reading_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "platform/card_binding.h"
#include "platform/date_text.h"
#include "preventive/energy_readings.h"

#include <QDate>
#include <limits>

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kContador = QStringLiteral("Contador");
const QString kValor = QStringLiteral("Valor");
const QString kDia = QStringLiteral("dia");
const QString kCalendario = QStringLiteral("Calendario");
const QString kOrden = QStringLiteral("ORDEN");
const QString kSave = QStringLiteral("salvar");
const QString kExit = QStringLiteral("salir");
const QString kDelete = QStringLiteral("Borrar");

constexpr const char* kCaption = "LECTURAS DE CONSUMOS ";

const CardBinding<TEnergyReadingRecord>& Binding()
{
    using R = TEnergyReadingRecord;
    static const CardBinding<R> binding{
        BindText(kCodigo, &R::MachineCode), BindText(kContador, &R::MeterCode), BindText(kDia, &R::Date),
        BindWhole(kValor, &R::Reading),     BindWhole(kOrden, &R::Units),
    };
    return binding;
}

void TakeCalendarDate(CardState& state)
{
    const QDate date = ParseDate(state.value(kCalendario));
    if (date.isValid())
        state.set(kDia, WeekCodeOf(date));
}

} // namespace

CardSpec ReadingCardSpec(Context& ctx)
{
    CardSpec spec;
    spec.name = QStringLiteral("TFichaLectura");
    spec.caption = QString::fromLatin1(kCaption);
    spec.hint = QStringLiteral("Fiha de Lecturas de contadores");

    FieldSpec code = MakeField(kCodigo, "Código Máquina :", FieldKind::Combo);
    // The register is read afresh for the list and not kept.
    code.onEnter = [&ctx](CardState& state) { state.choices[kCodigo] = MachineCodeChoices(ctx); };
    code.onChange = [&ctx](CardState& state) {
        state.caption = QString::fromUtf8("Control Energético en ") +
                        LookUpMachine(ctx, state.value(kCodigo)).Denominacion.str();
    };
    // A reading is of a machine of the register: "#", the untouched code of a new card, is none.
    code.rule.accepts = [&ctx](const QString& typed) {
        return LookUpMachine(ctx, typed).Denominacion != kMachineNotFound;
    };
    code.rule.message = QString::fromLatin1(kMachineNotFound);
    spec.fields.push_back(code);

    FieldSpec meter = MakeField(kContador, "Código Contador :");
    meter.hint = QString::fromUtf8("Posición del contador");
    meter.rule = FilledRule(QStringLiteral("UN CÓDIGO DE CONTADOR"));
    spec.fields.push_back(meter);

    FieldSpec value = MakeField(kValor, "Lectura Contador:");
    value.hint = QString::fromUtf8("Lectura Numérica del contador.");
    spec.fields.push_back(value);

    // A reading is filed by its day: the week code must name one.
    FieldSpec day = MakeField(kDia, "Fecha Lectura:", FieldKind::Masked);
    day.mask = QStringLiteral("00/00/0;1;_");
    day.hint = QString::fromUtf8("Año-Semana-Día");
    day.rule = WeekCodeRule(true);
    day.onChange = [](CardState& state) {
        if (const std::optional<QDate> date = WeekCodeToDate(state.value(kDia)))
            state.set(kCalendario, FormatDate(*date));
    };
    spec.fields.push_back(day);

    FieldSpec calendar = MakeField(kCalendario, "", FieldKind::Date);
    calendar.rule = DateRule();
    calendar.onChange = TakeCalendarDate;
    // Once the calendar was used, the typed date is its own.
    calendar.onExit = [](CardState& state) {
        TakeCalendarDate(state);
        state.enable(kDia, false);
    };
    spec.fields.push_back(calendar);

    FieldSpec units = MakeField(kOrden, "Nº Unidades:");
    units.rule = WholeRule(0, 0xFF, true);
    spec.fields.push_back(units);
    Binding().Declare(spec);
    PlaceFields(spec, {GridCell(0), GridCell(1), GridCell(2), GridCell(3), GridCell(3, 1), GridCell(4)});

    spec.buttons = {
        {kSave, QStringLiteral("Sal&var"), CardResult::Save, QString::fromUtf8("Gravación de la lectura.")},
        {kExit, QStringLiteral("&Salir"), CardResult::Exit, QString::fromUtf8("Salir sin acción.")},
        {kDelete, QStringLiteral("&Borrar"), CardResult::Delete,
         QString::fromUtf8("Eliminación del registro.")}};
    spec.cancelResult = CardResult::Exit;
    return spec;
}

int OpenReadingWindow(Context& ctx, TEnergyReadingRecord& rec)
{
    State& st = ctx.st;
    EnergyState& e = Energy(ctx);
    if (rec.Units == 0)
        rec.Units = 1;
    const bool importing = st.ActionCode == QLatin1String("i");
    if (importing) {
        // The import's record comes once: unchanged when imports run without cards, else on its card.
        e.ReadingSeriesMark = 'N';
        st.AnswerCode = QStringLiteral("M");
        if (!st.InteractiveFlag)
            return CardResult::Save;
    } else {
        st.InteractiveFlag = 1;
    }

    CardState state;
    // A new reading opens on the date a listing's picker chose last, when one did; a stored one on its day.
    const QDate chosen = ParseDate(st.LastChosenDateText);
    if (st.ActionCode == QLatin1String("1") && chosen.isValid())
        rec.Date = WeekCodeOf(chosen);
    if (const std::optional<QDate> date = WeekCodeToDate(rec.Date.str()))
        state.set(kCalendario, FormatDate(*date));
    else
        state.set(kCalendario, chosen.isValid() ? FormatDate(chosen) : FormatDate(ctx.clock.Now().date()));
    if (st.ActionCode != QLatin1String("1"))
        state.enable(kCodigo, false);
    if (st.ActionCode == QLatin1String("2")) {
        state.captions[kSave] = QStringLiteral("Siguiente");
        state.show(kDelete, false);
    }

    const int result = Binding().Run(ctx.ui, ReadingCardSpec(ctx), rec, std::move(state));
    if (result == CardResult::Save) {
        st.AnswerCode = QStringLiteral("M");
    } else if (result == CardResult::Delete) {
        rec.MachineCode = "Z";
        st.ContinueFlag = 1;
        st.AnswerCode = QStringLiteral("B");
    } else {
        rec.MachineCode = "#";
        e.ReadingSeriesMark = 'N';
        st.AnswerCode = QString();
    }
    return result;
}

} // namespace gim
