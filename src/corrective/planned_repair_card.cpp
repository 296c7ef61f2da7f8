#include "corrective/planned_repair_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/lookups.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/breakdown_card.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "platform/card_binding.h"

#include <utility>

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kSemana = QStringLiteral("Semana");
const QString kAno = QStringLiteral("Ano");
const QString kEspec = QStringLiteral("Espec");
const QString kEspecLabel = QStringLiteral("LabelEspec");
const QString kEstado = QStringLiteral("Estado");
const QString kEstadoLabel = QStringLiteral("LabelEstado");
const QString kTiempo = QStringLiteral("Tiempo");
const QString kEjecutor = QStringLiteral("Ejecutor");
const QString kEjecutorName = QStringLiteral("NombreEjecutor");
const QString kOrden = QStringLiteral("Orden");
const QString kOrdenLabel = QStringLiteral("LabelOrden");
const QString kSalvar = QStringLiteral("Salvar");
const QString kSalir = QStringLiteral("Salir");
const QString kSigue = QStringLiteral("Sigue");

constexpr CodeLabel kStates[] = {{"*", "Indistinto"},         {"E", "Ejecutadas"},
                                 {"J", "Mejoras Pendientes"}, {"M", "Pendiente Materiales"},
                                 {"P", "Pendientes MO"},      {"S", "Pendiente Servicio Externo"},
                                 {"T", "En Trámite"}};
constexpr CodeLabel kSpecialties[] = {
    {"*", "Indistinto"},
    {"M", "Reparación Mecánica"},
    {"MM", "REPARACIONES MECANICA con Materiales"},
    {"MJ", "REPARACIONES MECANICA de Mejora"},
    {"MS", "REPARACIONES MECANICA de Servicio"},
    {"MC", "REPARACIONES MECANICA Crítica"},
    {"A", "REPARACIONES  Albañileria"},
    {"C", "REPARACIONES de Carpintería"},
    {"P", "REPARACIONES de Pintura"},
    {"J", "REPARACIONES de Cerrajería"},
    {"E", "REPARACIONES PROGRAMADAS Eléctrica"},
    {"EM", "REPARACIONES ELECTRICA con Materiales"},
    {"EJ", "REPARACIONES ELECTRICA de Mejora"},
    {"ES", "REPARACIONES ELECTRICA de Servicio"},
    {"EC", "REPARACIONES ELECTRICA Crítica"},
    {"I", "REPARACIONES INSTRUMENTACIÓN"},
    {"IM", "REPARACIONES INSTRUMENTACIÓN con Materiales"},
    {"IC", "REPARACIONES INSTRUMENTACIÓN Crítica"},
    {"IJ", "REPARACIONES INSTRUMENTACIÓN Mejora"},
    {"IS", "REPARACIONES INSTRUMENTACIÓN de Servicio"},
    {"F", "REPARACIONES Equipo de Frío"},
    {"FF", "Reposición Gas en Equipo de Frío"},
    {"N", "REPARACIONES NEUMÁTICA"},
    {"NM", "REPARACIONES NEUMÁTICA Con Materiales"},
    {"NC", "REPARACIONES NEUMÁTICA Crítica"},
    {"H", "REPARACIONES HIDRÁULICA"},
    {"HM", "REPARACIONES HIDRÁULICA con Materiales"},
    {"HJ", "REPARACIONES HIDRÁULICA con Mejora"},
    {"HS", "REPARACIONES HIDRÁULICA con Seguridades"},
    {"HC", "REPARACIONES HIDRÁULICA Crítica"},
    {"LO", "REPARACIONES Limpieza Ordinaria"},
    {"LT", "REPARACIONES Limpieza Técnica"},
    {"S", "REPARACIONES Seguridades"},
    {"SM", "REPARACIONES Seguridades. con Materiales"},
    {"O", "REPARACIONES Por Orden"},
    {"OM", "REPARACIONES Por Orden con Materiales"},
    {"OS", "REPARACIONES Por Orden de Servicio"},
    {"5", "REPARACIONES Acción 5S"},
    {"T", "REPARACIONES de Termografía"},
    {"AV", "REPARACIONES Avisos de Intervención"},
};

const CardBinding<TPlannedRepairRecord>& Binding()
{
    using R = TPlannedRepairRecord;
    static const CardBinding<R> binding{
        BindText(kCodigo, &R::Code),
        BindText(kEspec, &R::Specialty),
        BindText(QStringLiteral("Descripcion"), &R::Description),
        BindMinutes(kTiempo, &R::Minutes),
        BindText(kEstado, &R::State),
        BindText(kEjecutor, &R::Executor),
        BindText(kOrden, &R::Order),
    };
    return binding;
}

QString MachineCaption(Context& ctx, const QString& code)
{
    if (code == QLatin1String("*"))
        return QStringLiteral("INDISTINTA  ");
    TMachineRecord machine{};
    machine.Codigo = code;
    FindMachine(ctx, ctx.st.FileName(DataFile::Machine), machine);
    return QStringLiteral("Reparaciones Planificadas") + machine.Denominacion.str() + QStringLiteral("  ");
}

void ShowExecutorName(Context& ctx, CardState& state)
{
    const QString typed = state.value(kEjecutor);
    if (typed == QLatin1String("*")) {
        state.set(kEjecutorName, QStringLiteral("Indistinto"));
        return;
    }
    ShortString<6> number{};
    number = typed.left(6);
    const TPersonnelRecord& found = ctx.st.FoundPerson;
    state.set(kEjecutorName, LookupPersonInList(ctx, number)
                                 ? found.Nombre.str() + QLatin1Char(' ') + found.Apellidos.str()
                                 : QString());
}

// The order number typed: its work order's description, or an outside reference when the work-order
// file has no such order.
void ShowOrderText(Context& ctx, CardState& state)
{
    const Int64Parse number = ParseInt64(state.value(kOrden));
    QString text = QStringLiteral("Referencia Externa");
    KeyedFile<WorkOrderFile> orders(ctx);
    if (number.value >= 0 && orders.Exists())
        if (const auto order = orders.ReadAt(static_cast<std::uint64_t>(number.value), Report::Silent))
            text = order->Description.str();
    state.set(kOrdenLabel, text);
}

// A filter card (a report's or Selectiva's search) takes "*" for any machine; every other use stores
// the machine it names.
CardSpec PlannedRepairCardSpec(Context& ctx, bool filter)
{
    CardSpec spec;
    spec.name = QStringLiteral("TRepsem");
    spec.caption = QStringLiteral("REPARACIONES E INTERVENCIONES PROGRAMADAS");

    FieldSpec code = MakeField(kCodigo, "Código Máquina", FieldKind::Combo, 8);
    code.onEnter = [&ctx](CardState& state) { state.choices[kCodigo] = MachineCodeChoices(ctx); };
    code.onChange = [&ctx](CardState& state) { state.caption = MachineCaption(ctx, state.value(kCodigo)); };
    spec.fields.push_back(code);
    FieldSpec week = MakeField(kSemana, "Semana");
    week.rule = WeekRule();
    spec.fields.push_back(week);
    FieldSpec yearField = MakeField(kAno, "Año", FieldKind::Text, 4);
    yearField.rule = YearRule();
    spec.fields.push_back(yearField);

    AddCodeCombo(spec, kEspec, "Especialidad", kSpecialties, kEspecLabel, 2);
    spec.fields.push_back(MakeField(QStringLiteral("Descripcion"), "Descripción", FieldKind::Memo, 130));
    spec.fields.push_back(MakeField(kTiempo, "Tiempo (min)"));
    AddCodeCombo(spec, kEstado, "Estado", kStates, kEstadoLabel, 2);

    FieldSpec executor = MakeField(kEjecutor, "Ejecutor", FieldKind::Combo, 24);
    executor.onEnter = [&ctx](CardState& state) {
        state.choices[kEjecutor] = PersonnelNumbers(Personnel(ctx).PersonnelList);
    };
    executor.onChange = [&ctx](CardState& state) { ShowExecutorName(ctx, state); };
    spec.fields.push_back(executor);
    spec.fields.push_back(MakeField(kEjecutorName, "", FieldKind::Label));

    FieldSpec order = MakeField(kOrden, "Orden", FieldKind::Text, 8);
    order.onChange = [&ctx](CardState& state) { ShowOrderText(ctx, state); };
    spec.fields.push_back(order);
    spec.fields.push_back(MakeField(kOrdenLabel, "", FieldKind::Label));
    Binding().Declare(spec);

    const bool deletes = ctx.st.ActionCode == QLatin1String("3") || ctx.st.ActionCode == QLatin1String("4") ||
                         ctx.st.ActionCode == QLatin1String("B");
    spec.buttons = {{kSalvar, QStringLiteral("Sal&var"), CardResult::Save},
                    {kSalir, QStringLiteral("&Salir"), CardResult::Exit},
                    {kSigue, QStringLiteral("Si&guiente"), deletes ? CardResult::Delete : CardResult::Next}};
    spec.cancelResult = CardResult::Exit;
    // The week and the year are the command's, not the record's; a year before the plan has no week. A
    // repair added or edited names a machine of the register, checked before the card closes so that a
    // refusal keeps what was typed.
    spec.onButton = [&ctx, filter](CardState& state, const ButtonSpec& button) {
        if (button.result != CardResult::Save)
            return true;
        const std::int64_t year = WholeOfText(state.value(kAno)).value_or(0) - kYearOffset;
        if (year < ctx.st.FirstYear) {
            ctx.ui.ShowMessage(QString::fromUtf8(kBreakdownYearBeforePlan));
            state.focusRequest = kAno;
            return false;
        }
        if (!filter && LookUpMachine(ctx, state.value(kCodigo)).Denominacion == kMachineNotFound) {
            ctx.ui.ShowMessage(QString::fromUtf8(kPlannedRepairUnknownMachine));
            state.focusRequest = kCodigo;
            return false;
        }
        ctx.st.WorkYear = static_cast<std::uint16_t>(year);
        ctx.st.WorkWeek = static_cast<std::uint16_t>(WholeOfText(state.value(kSemana)).value_or(0));
        return true;
    };
    return spec;
}

} // namespace

int ShowPlannedRepairCard(Context& ctx, TPlannedRepairRecord& rec, bool filter)
{
    State& st = ctx.st;
    st.AnswerCode2 = st.ActionCode;
    const QString mode = st.ActionCode;
    const QString machineName = st.FoundMachine.Denominacion.str();

    CardState state;
    state.caption = QStringLiteral("REPARACION PLANIFICADA DE MÁQUINA :") + machineName;
    if (mode == QLatin1String("L")) {
        state.captions[kSalvar] = QStringLiteral("&Buscar");
        state.caption = QStringLiteral("REPARACIONES PLANIFICADAS SEMANAL");
        rec.State = "*";
        rec.Code = "*";
        st.WorkWeek = 0;
        st.WorkYear = st.LastYear;
    } else if (mode == QLatin1String("A")) {
        rec.State = "P";
        rec.Code = "*";
        rec.Specialty = "A";
        st.WorkWeek = 0;
        st.WorkYear = st.LastYear;
    } else if (mode == QLatin1String("1")) {
        for (const QString& f : {kSemana, kAno, kEstado, kTiempo})
            state.enable(f, false);
        state.show(kSigue, false);
    } else if (mode == QLatin1String("2")) {
        st.WorkWeek = 0;
        st.WorkYear = st.LastYear;
        state.caption = QStringLiteral("AVISO REPARACION DE MÁQUINA :") + machineName;
        rec.Executor = st.TodayText;
        rec.Specialty = "A";
        for (const QString& f : {kOrden, kEstado, kTiempo, kEjecutor, kEspec, kSemana, kAno})
            state.enable(f, false);
        state.show(kSigue, false);
    } else if (mode == QLatin1String("3") || mode == QLatin1String("4") || mode == QLatin1String("B")) {
        // The button deletes in every edit mode, notices included: its caption says so.
        state.captions[kSigue] = QStringLiteral("&Borrar");
        if (mode == QLatin1String("4"))
            state.captions[kSalvar] = QStringLiteral("Sal&var/Buscar");
    }
    if (st.SubCode == QLatin1String("O")) {
        state.enable(kSemana, false);
        state.enable(kAno, false);
    }
    state.set(kSemana, QString::number(st.WorkWeek));
    state.set(kAno, QString::number(st.WorkYear + kYearOffset));
    state.set(kEspecLabel, CodeTable(kSpecialties).LabelOr(rec.Specialty.str()));
    state.set(kEstadoLabel, CodeTable(kStates).LabelOr(rec.State.str()));

    int result = CardResult::Save;
    const bool shown = mode != QLatin1String("A") && st.InteractiveFlag;
    if (shown) {
        const CardSpec spec = PlannedRepairCardSpec(ctx, filter || mode == QLatin1String("L"));
        result = Binding().Run(ctx.ui, spec, rec, std::move(state));
    }
    if (!shown) {
        // Nothing was typed: the caller decides what came of it.
    } else if (result == CardResult::Save) {
        st.CardSaved = 1;
        st.RecordAddedFlag = 1;
    } else if (result == CardResult::Exit) {
        rec.Code = "#";
        st.RunFlag = 0;
    } else {
        st.RunFlag = 1;
        st.AnswerCode = QStringLiteral("B");
    }
    const QString saved = st.AnswerCode2;
    const bool capped = saved == QLatin1String("1") || saved == QLatin1String("2") ||
                        saved == QLatin1String("3") || saved.isEmpty();
    const WeekParts filed = FiledWeek(st.WorkYear, st.WorkWeek);
    rec.Week = capped ? static_cast<std::uint16_t>(AbsoluteWeekCapped(st, filed.year, filed.week))
                      : AbsoluteWeekWord(st, filed.year, filed.week);
    st.ActionCode = saved;
    return result;
}

} // namespace gim
