#include "corrective/work_order_card.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/work_order_listings.h"
#include "corrective/work_orders.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "platform/card_binding.h"
#include "platform/date_text.h"

#include <QDate>
#include <algorithm>
#include <memory>

namespace gim {

namespace {

const QString kLabel1 = QStringLiteral("Label1");
const QString kNumOT = QStringLiteral("numOT");
const QString kRefex = QStringLiteral("Refex");
const QString kSeccion = QStringLiteral("Seccion");
const QString kDescripcion = QStringLiteral("Descripcion");
const QString kSolicit = QStringLiteral("solicit");
const QString kFechalta = QStringLiteral("fechalta");
const QString kCalenAper = QStringLiteral("CalenAper");
const QString kHoraAlta = QStringLiteral("HoraAlta");
const QString kFechaini = QStringLiteral("fechaini");
const QString kCalenini = QStringLiteral("Calenini");
const QString kHoraini = QStringLiteral("horaini");
const QString kFechcierre = QStringLiteral("fechcierre");
const QString kCalenCierre = QStringLiteral("CalenCierre");
const QString kHoraCierre = QStringLiteral("HoraCierre");
const QString kEstado = QStringLiteral("Estado");
const QString kLabel11 = QStringLiteral("Label11");
const QString kTipo = QStringLiteral("tipo");
const QString kLabel16 = QStringLiteral("Label16");
const QString kUnlock = QStringLiteral("CheckBox1");
const QString kSave = QStringLiteral("Salvar");
const QString kAnnul = QStringLiteral("Anular");
const QString kExit = QStringLiteral("Salir");
const QString kPhoto = QStringLiteral("FOTORDEN");
const QString kPrint = QStringLiteral("Imprime");

const char* const kOrderCaption = "FICHA DE ORDENES DE TRABAJO";

const CardBinding<TWorkOrderRecord>& Binding()
{
    using R = TWorkOrderRecord;
    static const CardBinding<R> binding{
        BindText(kHoraAlta, &R::NoticeHour),  BindText(kHoraini, &R::StartHour),
        BindText(kHoraCierre, &R::CloseHour), BindText(kDescripcion, &R::Description),
        BindText(kFechalta, &R::NoticeDate),  BindText(kFechaini, &R::StartDate),
        BindText(kFechcierre, &R::CloseDate), BindText(kSolicit, &R::Requester),
        BindText(kEstado, &R::State),         BindText(kSeccion, &R::Machine),
        BindText(kRefex, &R::Refex),          BindText(kTipo, &R::Type),
    };
    return binding;
}

QString StateText(const QString& state)
{
    if (state == QLatin1String("P"))
        return QStringLiteral("Pendientes MO");
    if (state == QLatin1String("T"))
        return QStringLiteral("En Trámite");
    if (state == QLatin1String("E"))
        return QStringLiteral("Ejecutadas");
    if (state == QLatin1String("M"))
        return QStringLiteral("Pendiente Materiales");
    if (state == QLatin1String("S"))
        return QStringLiteral("Pend. Servicio Externo");
    if (state == QLatin1String("*"))
        return QStringLiteral("Indistinto");
    return QString();
}

QString TypeText(const QString& type)
{
    if (type == QLatin1String("P"))
        return QStringLiteral("Programada");
    if (type == QLatin1String("U"))
        return QStringLiteral("Urgente");
    if (type == QLatin1String("C"))
        return QStringLiteral("Crítica");
    return QString();
}

// A date edit that holds no digit was never set: empty, or the mask text "  /  / ".
bool NoDate(const QString& text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

QString PickerText(QDate date)
{
    return FormatDate(date);
}

// The picker beside a date edit shows the edit's date (today when it holds none).
void PickerFollowsEdit(const Context& ctx, CardState& state, const QString& edit, const QString& picker)
{
    const std::optional<QDate> date = WeekCodeToDate(state.value(edit));
    state.set(picker, PickerText(date ? *date : ctx.clock.Now().date()));
}

// The edit beside a picker takes the picked day's week code.
void EditFollowsPicker(CardState& state, const QString& picker, const QString& edit)
{
    const QDate date = ParseDate(state.value(picker));
    if (date.isValid())
        state.set(edit, WeekCodeOf(date));
}

// The controls the handlers work on are the card's in every mode; names are passed as they stand.
void ShowAndEnable(CardState& state, std::initializer_list<QString> names, bool on)
{
    for (const QString& n : names) {
        state.show(n, on);
        state.enable(n, on);
    }
}

struct CardContext
{
    Context& ctx;
    // The machine register read when Seccion is entered, for the name in the caption.
    std::vector<MachineEntry> machines;
};

QString Now(Context& ctx)
{
    return TimeToText(ctx.st, ctx.clock.Now().time());
}

QString Today(const Context& ctx)
{
    return WeekCodeOf(ctx.clock.Now().date());
}

CardSpec WorkOrderCardSpec(const std::shared_ptr<CardContext>& cc)
{
    const State& owner = cc->ctx.st;
    CardSpec spec;
    spec.name = QStringLiteral("TORDENES");
    spec.caption = QString::fromUtf8(kOrderCaption);
    if (owner.ActionCode == QLatin1String("R"))
        spec.caption = QStringLiteral("Presupuesto REPARACION ") + owner.CurrentEnvironment;

    auto add = [&spec](const QString& name, const char* label, FieldKind kind = FieldKind::Text) {
        spec.fields.push_back(MakeField(name, label, kind));
        return &spec.fields.back();
    };
    add(kLabel1, "", FieldKind::Label);
    add(kNumOT, "", FieldKind::Label);
    add(kRefex, "Ref. Externa :");
    add(kSeccion, "Máquina/Sección :", FieldKind::Combo);
    add(kDescripcion, "Descripción :");
    add(kSolicit, "Solicitante :", FieldKind::Combo);
    add(kFechalta, "Fecha Alta :");
    add(kCalenAper, "", FieldKind::Date);
    add(kHoraAlta, "Hora Aviso :");
    add(kFechaini, "Fecha Inicio :");
    add(kCalenini, "", FieldKind::Date);
    add(kHoraini, "Hora Inicio :");
    add(kFechcierre, "Fecha Cierre :");
    add(kCalenCierre, "", FieldKind::Date);
    add(kHoraCierre, "Hora Cierre :");
    add(kEstado, "Estado :", FieldKind::Combo)->choices = {QStringLiteral("P"), QStringLiteral("T"),
                                                           QStringLiteral("E"), QStringLiteral("M"),
                                                           QStringLiteral("S")};
    add(kLabel11, "", FieldKind::Label);
    add(kTipo, "Tipo OT :", FieldKind::Combo)->choices = {QStringLiteral("P"), QStringLiteral("U"),
                                                          QStringLiteral("C")};
    add(kLabel16, "", FieldKind::Label);
    add(kUnlock, "Desbloqueo", FieldKind::Check);
    // The dates are week codes and their pickers calendar days; a close hour may be the "24:00" of Cierre OT.
    auto rule = [&spec](const QString& name, const FieldRule& r) {
        for (FieldSpec& f : spec.fields)
            if (f.name == name)
                f.rule = r;
    };
    for (const QString& date : {kFechalta, kFechaini, kFechcierre})
        rule(date, WeekCodeRule());
    for (const QString& picker : {kCalenAper, kCalenini, kCalenCierre})
        rule(picker, DateRule());
    rule(kHoraAlta, HourRule());
    rule(kHoraini, HourRule());
    rule(kHoraCierre, HourRule(true));
    Binding().Declare(spec);

    spec.buttons = {{kSave, QStringLiteral("Sal&var"), CardResult::Save},
                    {kAnnul, QStringLiteral("&Anular"), CardResult::Delete},
                    {kExit, QStringLiteral("&Salir"), CardResult::Exit},
                    {kPhoto, QStringLiteral("Asignar Foto"), CardResult::None},
                    {kPrint, QStringLiteral("&Imprimir"), CardResult::None}};
    spec.cancelResult = CardResult::Exit;

    spec.onShow = [cc](CardState& state) {
        Context& ctx = cc->ctx;
        const QString& mode = ctx.st.ActionCode;
        const bool adding = mode == QLatin1String("A") || mode == QLatin1String("R");
        if (adding)
            state.show(kCalenAper, true);
        state.enable(kCalenAper, adding);
        state.enable(kSeccion, adding);
        state.set(kLabel1, (mode == QLatin1String("R") ? QStringLiteral("\rPRESUPUESTO: ")
                                                       : QStringLiteral("Nº de Orden : ")) +
                               ctx.st.CurrentEnvironment + QLatin1Char('/'));
    };

    spec.onEnter = [cc](CardState& state, const QString& field) {
        Context& ctx = cc->ctx;
        const QString& mode = ctx.st.ActionCode;
        const QString st = state.value(kEstado);
        if (field == kCalenAper && mode == QLatin1String("A"))
            state.set(kCalenAper, PickerText(ctx.clock.Now().date()));
        else if (field == kCalenini && st != QLatin1String("P"))
            state.set(kCalenini, PickerText(ctx.clock.Now().date()));
        else if (field == kCalenCierre && mode == QLatin1String("E") && st == QLatin1String("E"))
            state.set(kCalenCierre, PickerText(ctx.clock.Now().date()));
        else if (field == kFechcierre)
            state.set(kFechcierre, Today(ctx));
        else if (field == kHoraAlta && mode == QLatin1String("A"))
            state.set(kHoraAlta, Now(ctx));
        else if (field == kHoraini && !(mode != QLatin1String("E") && st == QLatin1String("P")))
            state.set(kHoraini, Now(ctx));
        else if (field == kHoraCierre && !(mode == QLatin1String("A") && st != QLatin1String("E")))
            state.set(kHoraCierre, Now(ctx));
        else if (field == kSeccion) {
            cc->machines = KeyedFile<MachineFile>(ctx).LoadList(Report::Silent);
            state.choices[kSeccion] = MachineCodes(cc->machines);
        } else if (field == kSolicit) {
            state.choices[kSolicit] = PersonnelNumbers(Personnel(ctx).PersonnelList);
        }
    };

    spec.onChange = [cc](CardState& state, const QString& field) {
        Context& ctx = cc->ctx;
        if (field == kEstado) {
            state.set(kLabel11, StateText(state.value(kEstado)));
        } else if (field == kTipo) {
            state.set(kLabel16, TypeText(state.value(kTipo)));
        } else if (field == kFechalta) {
            PickerFollowsEdit(ctx, state, kFechalta, kCalenAper);
        } else if (field == kFechaini) {
            PickerFollowsEdit(ctx, state, kFechaini, kCalenini);
        } else if (field == kFechcierre) {
            PickerFollowsEdit(ctx, state, kFechcierre, kCalenCierre);
        } else if (field == kCalenAper) {
            EditFollowsPicker(state, kCalenAper, kFechalta);
        } else if (field == kCalenini) {
            EditFollowsPicker(state, kCalenini, kFechaini);
        } else if (field == kCalenCierre) {
            EditFollowsPicker(state, kCalenCierre, kFechcierre);
        } else if (field == kSeccion) {
            MachineEntry wanted{};
            wanted.rec.Codigo = state.value(kSeccion);
            const auto it = std::lower_bound(
                cc->machines.begin(), cc->machines.end(), wanted,
                [](const MachineEntry& a, const MachineEntry& b) { return MachineCodeBefore(a.rec, b.rec); });
            const QString name = it != cc->machines.end() && it->rec.Codigo == wanted.rec.Codigo
                                     ? it->rec.Denominacion.str()
                                     : QString::fromLatin1(kMachineNotFound);
            state.caption = QString::fromUtf8(kOrderCaption) + QStringLiteral(" en ") + name;
        } else if (field == kSolicit) {
            // A number chosen from the list becomes the person's name; free text stays as typed.
            const std::vector<PersonListEntry>& people = Personnel(ctx).PersonnelList;
            TPersonnelRecord wanted{};
            wanted.Matricula = state.value(kSolicit).left(6);
            const auto it = std::lower_bound(
                people.begin(), people.end(), wanted,
                [](const PersonListEntry& e, const TPersonnelRecord& w) { return PersonBefore(e.rec, w); });
            if (it != people.end() && it->rec.Matricula == wanted.Matricula)
                state.set(kSolicit,
                          (it->rec.Nombre.str() + QLatin1Char(' ') + it->rec.Apellidos.str()).left(24));
        } else if (field == kUnlock) {
            const bool on = state.checked(kUnlock);
            const QString st = state.value(kEstado);
            if (on) {
                ShowAndEnable(state,
                              {kCalenAper, kCalenini, kCalenCierre, kFechalta, kFechaini, kFechcierre,
                               kHoraAlta, kHoraini, kHoraCierre, kSeccion},
                              true);
            } else {
                for (const QString& n :
                     {kCalenAper, kCalenini, kCalenCierre, kHoraAlta, kHoraini, kHoraCierre, kSeccion})
                    state.enable(n, false);
                if (st == QLatin1String("P")) {
                    state.show(kCalenini, false);
                    state.show(kCalenCierre, false);
                } else if (st == QLatin1String("T")) {
                    state.show(kCalenCierre, false);
                }
            }
        }
    };

    spec.onExit = [cc](CardState& state, const QString& field) {
        Context& ctx = cc->ctx;
        const QString& mode = ctx.st.ActionCode;
        const QString st = state.value(kEstado);
        if (field == kFechalta || field == kFechaini) {
            const bool ready =
                !NoDate(state.value(kFechalta)) && state.value(kSeccion) != QLatin1String("..");
            state.enable(kSave, ready);
            state.enable(kAnnul, ready);
        } else if (field == kFechcierre) {
            state.enable(kEstado, !NoDate(state.value(kFechcierre)));
        } else if (field == kCalenAper) {
            EditFollowsPicker(state, kCalenAper, kFechalta);
            state.enable(kFechalta, false);
        } else if (field == kCalenini && st != QLatin1String("P")) {
            EditFollowsPicker(state, kCalenini, kFechaini);
        } else if (field == kCalenCierre && mode == QLatin1String("E") && st == QLatin1String("E")) {
            EditFollowsPicker(state, kCalenCierre, kFechcierre);
            state.enable(kFechcierre, false);
        } else if (field == kEstado) {
            if (st == QLatin1String("E")) {
                ShowAndEnable(state, {kCalenCierre, kFechcierre, kHoraCierre}, true);
                if (NoDate(state.value(kFechaini)))
                    state.set(kFechaini, Today(ctx));
            } else if (st == QLatin1String("T") && NoDate(state.value(kFechaini))) {
                state.show(kCalenCierre, false);
                ShowAndEnable(state, {kCalenini, kFechaini, kHoraini}, true);
            }
        }
    };

    // A click on a date edit picks its day from the calendar; a click on an hour stamps it with the time
    // now, and starting or closing the work moves the state on.
    spec.onDoubleClick = [cc](CardState& state, const QString& field) {
        Context& ctx = cc->ctx;
        const QString picker = field == kFechalta     ? kCalenAper
                               : field == kFechaini   ? kCalenini
                               : field == kFechcierre ? kCalenCierre
                                                      : QString();
        if (!picker.isEmpty()) {
            const std::optional<QDate> shown = WeekCodeToDate(state.value(field));
            QDate start = shown ? *shown : ctx.clock.Now().date();
            QDate end = start;
            if (ctx.ui.PickDateRange(start, end)) {
                state.set(field, WeekCodeOf(start));
                state.set(picker, PickerText(start));
            }
            return;
        }
        if (field != kHoraAlta && field != kHoraini && field != kHoraCierre)
            return;
        state.set(field, Now(ctx));
        if (field == kHoraini)
            state.set(kEstado, QStringLiteral("T"));
        else if (field == kHoraCierre)
            state.set(kEstado, QStringLiteral("E"));
        state.set(kLabel11, StateText(state.value(kEstado)));
    };

    spec.onButton = [cc](CardState& state, const ButtonSpec& button) {
        Context& ctx = cc->ctx;
        if (button.name == kPhoto) {
            if (ctx.st.ActionCode == QLatin1String("A"))
                AssignWorkOrderPhoto(ctx, static_cast<std::uint32_t>(state.value(kNumOT).toUInt()));
            ctx.st.PhotoAssignFlag = 1;
            return false;
        }
        if (button.name == kPrint) {
            TWorkOrderRecord shown = WorkOrders(ctx).CurrentWorkOrder;
            shown.Number = state.value(kNumOT).toInt();
            Binding().Read(state, shown);
            ShowWorkOrderSheet(ctx, shown);
            return false;
        }
        // An order stored names a machine of the register, edited as when it was added; checked before
        // the card closes, so that a refusal keeps what was typed.
        if ((button.result == CardResult::Save || button.result == CardResult::Delete) &&
            LookUpMachine(ctx, state.value(kSeccion)).Denominacion == kMachineNotFound) {
            ctx.ui.ShowMessage(QString::fromLatin1(kMachineNotFound));
            state.focusRequest = kSeccion;
            return false;
        }
        return true;
    };
    return spec;
}

// What the card shows before it opens: the number, the labels, and the controls the mode and the state
// lock or keep out of sight.
CardState InitialState(const Context& ctx, const TWorkOrderRecord& rec)
{
    CardState state;
    const QString& mode = ctx.st.ActionCode;
    const QString st = rec.State.str();
    state.set(kNumOT, QString::number(rec.Number.get()));
    state.set(kLabel11, StateText(st));
    state.set(kLabel16, TypeText(rec.Type.str()));
    state.setChecked(kUnlock, false);
    const QString today = PickerText(ctx.clock.Now().date());
    auto picker = [&](const QString& name, const ShortString<8>& date) {
        const std::optional<QDate> d = mode == QLatin1String("A") ? std::nullopt : WeekCodeToDate(date.str());
        state.set(name, d ? PickerText(*d) : today);
    };
    picker(kCalenAper, rec.NoticeDate);
    picker(kCalenini, rec.StartDate);
    picker(kCalenCierre, rec.CloseDate);
    if (mode == QLatin1String("i"))
        return state;
    // Work not started keeps the start out of sight; work not closed, the close.
    const bool started = st != QLatin1String("P") || !NoDate(rec.StartDate.str());
    const bool closed = st == QLatin1String("E") || st == QLatin1String("A") || !NoDate(rec.CloseDate.str());
    for (const QString& n : {kCalenini, kFechaini, kHoraini})
        state.show(n, started);
    for (const QString& n : {kCalenCierre, kFechcierre, kHoraCierre})
        state.show(n, closed);
    if (mode == QLatin1String("E")) {
        state.enable(kCalenAper, false);
        state.enable(kHoraAlta, false);
        if (st == QLatin1String("T") || st == QLatin1String("E"))
            for (const QString& n : {kFechaini, kHoraini, kCalenini})
                state.enable(n, false);
        if (st == QLatin1String("E"))
            for (const QString& n : {kFechcierre, kHoraCierre, kCalenCierre})
                state.enable(n, false);
    }
    return state;
}

} // namespace

int ShowWorkOrderCard(Context& ctx, TWorkOrderRecord& rec)
{
    State& st = ctx.st;
    st.ContinueFlag = 0;
    if (st.ActionCode == QLatin1String("i"))
        st.ContinueFlag = 1;
    if (!st.InteractiveFlag)
        return CardResult::None;

    auto cc = std::make_shared<CardContext>(CardContext{ctx, {}});
    const CardSpec spec = WorkOrderCardSpec(cc);
    const int result =
        Binding().Run(ctx.ui, spec, rec, InitialState(ctx, rec), {CardResult::Save, CardResult::Delete});
    if (result == CardResult::Save) {
        st.CurrentWorkOrderNumber = static_cast<std::uint32_t>(rec.Number.get());
        st.ContinueFlag = 1;
        WorkOrders(ctx).WorkOrderOpened = 1;
    } else if (result == CardResult::Delete) {
        rec.Description = kAnnulledOrder;
        rec.State = "A";
        rec.CloseDate = rec.NoticeDate;
        st.ContinueFlag = 1;
    } else {
        st.ContinueFlag = 0;
        rec.Machine = "#";
    }
    return result;
}

} // namespace gim
