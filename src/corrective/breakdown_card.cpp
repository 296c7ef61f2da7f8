#include "corrective/breakdown_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/breakdowns.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "platform/card_binding.h"
#include "platform/date_text.h"

#include <QDate>
#include <algorithm>
#include <utility>

namespace gim {

namespace {

const QString kCodigo = QStringLiteral("Codigo");
const QString kCalendario = QStringLiteral("Calendario");
const QString kSemana = QStringLiteral("Semana");
const QString kAno = QStringLiteral("ano");
const QString kDia = QStringLiteral("Dia");
const QString kTurno = QStringLiteral("Turno");
const QString kEspec = QStringLiteral("ESPEC");
const QString kDiaLabel = QStringLiteral("LabelDia");
const QString kTurnoLabel = QStringLiteral("LabelTurno");
const QString kEspecLabel = QStringLiteral("Label");
const QString kOfic = QStringLiteral("OFIC");
const QString kOficName = QStringLiteral("NombreOFIC");
const QString kMdMto = QStringLiteral("MDMTO");
const QString kMdPrd = QStringLiteral("MDPRD");
const QString kPhoto = QStringLiteral("CheckBox1");
const QString kSave = QStringLiteral("Button1");
const QString kDelete = QStringLiteral("Button2");

constexpr CodeLabel kTypes[] = {{"*", "Indistinto"},
                                {"M", "Avería Mecánica"},
                                {"E", "Avería Eléctrica"},
                                {"I", "Avería Instrumentación"},
                                {"N", "Avería Neumática"},
                                {"H", "Avería Hidráulica"},
                                {"G", "Avería Por Falta Engrase"},
                                {"F", "Avería Frío"},
                                {"LT", "Incidencia Limp. Técnica"},
                                {"LO", "Incidencia Limp. Ordinaria"},
                                {"O", "Avería Operativa"}};
constexpr CodeLabel kDays[] = {{"1", "Lunes"},   {"2", "Martes"}, {"3", "Miercoles"}, {"4", "Jueves"},
                               {"5", "Viernes"}, {"6", "Sábado"}, {"7", "Domingo"},   {"*", "Indistinto"}};
constexpr CodeLabel kShifts[] = {
    {"M", "Turno Mañana"}, {"T", "Turno Tarde"}, {"N", "Turno Noche"}, {"*", "Turno Indistinto"}};

const CardBinding<TBreakdownRecord>& Binding()
{
    using R = TBreakdownRecord;
    static const CardBinding<R> binding{
        BindText(kCodigo, &R::Code),
        BindWhole(kSemana, &R::Week, 0, 53), // week of the year here; the caller makes it absolute
        BindText(kDia, &R::Day),
        BindText(kTurno, &R::Shift),
        BindText(kEspec, &R::Type),
        BindText(QStringLiteral("DESCRIPCION"), &R::Description),
        BindMinutes(QStringLiteral("TPARO"), &R::Stop),
        BindMinutes(QStringLiteral("TINT"), &R::Intervention),
        BindMinutes(QStringLiteral("TATRA"), &R::Delay),
        BindWhole(QStringLiteral("PERSON"), &R::Operators),
        BindText(kMdMto, &R::NoticeTime),
        BindText(kOfic, &R::Officer),
        BindText(kMdPrd, &R::RepairStart),
        BindText(QStringLiteral("OPRD"), &R::ProductionOperator),
    };
    return binding;
}

enum class CardUse { Add, Search, Edit };

CardUse UseOf(const Context& ctx)
{
    const QString& a = ctx.st.ActionCode;
    if (a == QLatin1String("2") || a == QLatin1String("3") || a == QLatin1String("4"))
        return CardUse::Search;
    return CardUse::Add;
}

// The machine's name from the list the code field loaded; empty when it is not there.
QString MachineNameInList(Context& ctx, const QString& code)
{
    const std::vector<MachineEntry>& list = Machines(ctx).MachineList;
    TMachineRecord wanted{};
    wanted.Codigo = code;
    const auto at = std::lower_bound(
        list.begin(), list.end(), wanted,
        [](const MachineEntry& e, const TMachineRecord& w) { return MachineCodeBefore(e.rec, w); });
    if (at == list.end() || !(at->rec.Codigo == wanted.Codigo))
        return QString();
    return at->rec.Denominacion.str();
}

void ShowOfficerName(Context& ctx, CardState& state)
{
    const QString number = state.value(kOfic).left(6);
    if (state.value(kOfic) == QLatin1String("*")) {
        state.set(kOficName, QStringLiteral("Indistinto"));
        return;
    }
    const std::vector<PersonListEntry>& list = Personnel(ctx).PersonnelList;
    const auto found = std::find_if(
        list.begin(), list.end(), [&](const PersonListEntry& e) { return e.rec.Matricula.str() == number; });
    state.set(kOficName, found == list.end()
                             ? QString()
                             : found->rec.Nombre.str() + QLatin1Char(' ') + found->rec.Apellidos.str());
}

// The calendar's date into the year and week fields.
void TakeCalendarWeek(CardState& state)
{
    const QDate date = ParseDate(state.value(kCalendario));
    if (!date.isValid())
        return;
    const WeekParts filed = WeekPartsOf(date);
    state.set(kAno, QString::number(kYearOffset + filed.year));
    state.set(kSemana, QString::number(filed.week));
}

CardSpec BreakdownCardSpec(Context& ctx, CardUse use)
{
    CardSpec spec;
    spec.name = QStringLiteral("TAverias");
    spec.caption = QString::fromUtf8(kBreakdownCardCaption) + ctx.st.TodayText;

    FieldSpec code = MakeField(kCodigo, "Código Máquina", FieldKind::Combo);
    code.onEnter = [&ctx](CardState& state) {
        LoadMachineList(ctx);
        state.choices[kCodigo] = MachineCodes(Machines(ctx).MachineList);
        if (state.value(kCodigo) == QLatin1String("*"))
            state.caption = QStringLiteral("INDISTINTA  ");
    };
    code.onChange = [&ctx](CardState& state) {
        const QString typed = state.value(kCodigo);
        state.caption = typed == QLatin1String("*")
                            ? QStringLiteral("INDISTINTA  ")
                            : QStringLiteral("INTERVENCIONES ACCIDENTALES EN ") +
                                  MachineNameInList(ctx, typed) + QStringLiteral("  ");
    };
    // The name goes after the caption the card has: its own when the code was not changed on it (the
    // next card of a series starts with the last code), once however often the code is left.
    code.onExit = [&ctx, own = spec.caption](CardState& state) {
        const QString name = QLatin1Char(' ') + MachineNameInList(ctx, state.value(kCodigo));
        if (state.caption.isEmpty())
            state.caption = own;
        if (!state.caption.endsWith(name))
            state.caption += name;
    };
    spec.fields.push_back(code);

    FieldSpec calendar = MakeField(kCalendario, "Calendario", FieldKind::Date);
    calendar.mask = QStringLiteral("00/00/0000;1;_");
    calendar.onEnter = [](CardState& state) {
        TakeCalendarWeek(state);
        state.enable(kDia, true);
        state.enable(kAno, true);
        state.enable(kSemana, true);
    };
    calendar.onExit = [&ctx, use](CardState& state) {
        TakeCalendarWeek(state);
        if (use == CardUse::Add && ctx.st.ActionCode == QLatin1String("A")) {
            const QDate date = ParseDate(state.value(kCalendario));
            if (date.isValid())
                state.set(kDia, QString::number(date.dayOfWeek()));
            state.enable(kAno, false);
            state.enable(kSemana, false);
        }
    };
    spec.fields.push_back(calendar);

    FieldSpec week = MakeField(kSemana, "Semana");
    week.onExit = [](CardState& state) { state.show(kCalendario, false); };
    week.rule = WeekRule();
    spec.fields.push_back(week);
    FieldSpec yearField = MakeField(kAno, "Año", FieldKind::Text, 4);
    yearField.rule = YearRule();
    spec.fields.push_back(yearField);

    AddCodeCombo(spec, kDia, "Día", kDays, kDiaLabel);
    AddCodeCombo(spec, kTurno, "Turno", kShifts, kTurnoLabel);
    AddCodeCombo(spec, kEspec, "Tipo", kTypes, kEspecLabel);

    spec.fields.push_back(MakeField(QStringLiteral("DESCRIPCION"), "Descripción", FieldKind::Memo));
    spec.fields.push_back(MakeField(QStringLiteral("TPARO"), "T. Paro (min)"));
    spec.fields.push_back(MakeField(QStringLiteral("TINT"), "T. Intervención (min)"));
    spec.fields.push_back(MakeField(QStringLiteral("TATRA"), "T. Atraso (min)"));
    spec.fields.push_back(MakeField(QStringLiteral("PERSON"), "Operarios"));
    // A click, or a key with Shift held, stamps the notice and repair-start times with now.
    auto stamped = [&ctx](const QString& name, const char* label) {
        FieldSpec f = MakeField(name, label);
        f.onClick = [&ctx, name](CardState& state) { state.set(name, BreakdownTimeStamp(ctx)); };
        f.onShiftKey = f.onClick;
        return f;
    };
    spec.fields.push_back(stamped(kMdMto, "Comunicado"));

    FieldSpec officer = MakeField(kOfic, "Oficial MTO", FieldKind::Combo);
    officer.onEnter = [&ctx](CardState& state) {
        state.choices[kOfic] = PersonnelNumbers(Personnel(ctx).PersonnelList);
    };
    officer.onChange = [&ctx](CardState& state) { ShowOfficerName(ctx, state); };
    spec.fields.push_back(officer);
    spec.fields.push_back(MakeField(kOficName, "", FieldKind::Label));
    spec.fields.push_back(stamped(kMdPrd, "Inicio Reparar"));
    spec.fields.push_back(MakeField(QStringLiteral("OPRD"), "Operario PRD"));

    FieldSpec photo = MakeField(kPhoto, "Asignar FOTO:", FieldKind::Check);
    photo.onChange = [&ctx](CardState& state) {
        if (state.checked(kPhoto)) {
            ctx.st.PhotoAssignFlag = 1;
            AssignBreakdownPhoto(ctx, state.value(kCodigo));
        } else {
            ctx.st.PhotoAssignFlag = 0;
        }
    };
    spec.fields.push_back(photo);
    Binding().Declare(spec);

    spec.buttons = {{kSave, QStringLiteral("SAL&VAR"), CardResult::Save},
                    {QStringLiteral("BitBtn1"), QStringLiteral("&SALIR"), CardResult::Exit},
                    {kDelete, QStringLiteral("&BORRAR"), CardResult::Delete}};
    spec.cancelResult = CardResult::Exit;
    // The year must lie in the plan: an earlier one has no absolute week. A new breakdown names a machine
    // of the register, checked here so that a refusal keeps what was typed.
    spec.onButton = [&ctx, use](CardState& state, const ButtonSpec& button) {
        if (button.name != kSave)
            return true;
        const std::int64_t year = WholeOfText(state.value(kAno)).value_or(0) - kYearOffset;
        if (year < ctx.st.FirstYear) {
            ctx.ui.ShowMessage(QString::fromUtf8(kBreakdownYearBeforePlan));
            state.focusRequest = kAno;
            return false;
        }
        if (use == CardUse::Add && ctx.st.ActionCode == QLatin1String("A") &&
            LookUpMachine(ctx, state.value(kCodigo)).Denominacion == kMachineNotFound) {
            ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound));
            state.focusRequest = kCodigo;
            return false;
        }
        ctx.st.WorkYear = static_cast<std::uint16_t>(year);
        return true;
    };
    return spec;
}

CardState BreakdownCardState(Context& ctx, const TBreakdownRecord& rec, CardUse use)
{
    CardState state;
    state.set(kAno, QString::number(ctx.st.WorkYear + kYearOffset));
    state.set(kCalendario, ctx.st.TodayText);
    state.set(kDiaLabel, CodeTable(kDays).LabelOr(rec.Day.str()));
    state.set(kTurnoLabel, CodeTable(kShifts).LabelOr(rec.Shift.str()));
    state.set(kEspecLabel, CodeTable(kTypes).LabelOr(rec.Type.str()));
    state.setChecked(kPhoto, false);
    if (use == CardUse::Search) {
        state.captions[kSave] = QStringLiteral("&Buscar");
        state.show(kDelete, false);
    } else if (use == CardUse::Add) {
        // A new breakdown has nothing to erase.
        state.enable(kDelete, false);
    } else {
        state.enable(kCodigo, false);
        state.show(kCalendario, false);
    }
    return state;
}

// Shows the card on `rec` with its week reduced to the week of the year, then stores the week absolute
// in WorkYear, whatever the button.
int RunBreakdownCard(Context& ctx, TBreakdownRecord& rec, CardUse use, const QString& caption)
{
    State& st = ctx.st;
    rec.Week = static_cast<std::uint16_t>(SplitAbsoluteWeek(st, rec.Week.get()).week);
    int result = CardResult::Save;
    if (st.InteractiveFlag) {
        const CardSpec spec = BreakdownCardSpec(ctx, use);
        CardState state = BreakdownCardState(ctx, rec, use);
        state.caption = caption;
        result = Binding().Run(ctx.ui, spec, rec, std::move(state));
        if (result == CardResult::Exit)
            rec.Code = "#";
    } else if (st.WorkYear < st.FirstYear) {
        // A record handed in from outside in a year before the plan: nothing to store.
        ctx.ui.ShowMessage(QString::fromUtf8(kBreakdownYearBeforePlan));
        rec.Code = "#";
    }
    const WeekParts filed = FiledWeek(st.WorkYear, rec.Week.get());
    rec.Week = AbsoluteWeekWord(st, filed.year, filed.week);
    return result;
}

} // namespace

int ShowBreakdownCard(Context& ctx, TBreakdownRecord& rec)
{
    State& st = ctx.st;
    if (st.ActionCode == QLatin1String("4"))
        st.WorkYear = st.LastYear;
    const CardUse use = UseOf(ctx);
    if (use == CardUse::Add && st.ActionCode == QLatin1String("A")) {
        rec.Week = static_cast<std::uint16_t>(WeekPartsOf(ctx.clock.Now().date()).week);
        rec.Day = QString::number(ctx.clock.Now().date().dayOfWeek());
    }
    return RunBreakdownCard(ctx, rec, use, QString());
}

int ShowBreakdownSearchCard(Context& ctx, TBreakdownRecord& rec)
{
    if (ctx.st.ActionCode == QLatin1String("4"))
        ctx.st.WorkYear = ctx.st.LastYear;
    return RunBreakdownCard(ctx, rec, CardUse::Search, QString());
}

int ShowBreakdownEditCard(Context& ctx, TBreakdownRecord& rec, const QString& machineName)
{
    State& st = ctx.st;
    SetWorkWeek(st, rec.Week.get());
    const QString caption = QStringLiteral("AVERIAS EN ") + machineName + QStringLiteral(" AÑO: ") +
                            QString::number(st.WorkYear + kYearOffset);
    return RunBreakdownCard(ctx, rec, CardUse::Edit, caption);
}

QString BreakdownTimeStamp(Context& ctx)
{
    const QDateTime now = ctx.clock.Now();
    return FormatShortDate(now.date()) + QLatin1Char('-') + TimeToText(ctx.st, now.time());
}

} // namespace gim
