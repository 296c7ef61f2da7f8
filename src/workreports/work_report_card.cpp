#include "workreports/work_report_card.h"
#include "platform/date_text.h"
#include "workreports/work_report_card_handlers.h"

#include "core/context.h"
#include "core/field_rules.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/procedures.h"
#include "masterdata/reserved_codes.h"
#include "platform/card_binding.h"
#include "records/cp1252.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_types.h"

#include <QDate>
#include <algorithm>
#include <limits>
#include <map>
#include <utility>

namespace gim {

namespace {

using namespace report_card;

// Tparo and Tinter: minutes or units as integers, money as cents by the line's type. The card's rules
// (SetAmountRules) have checked the value by the same reading; a search filter keeps what fits.
ControlBinding<TWorkReportRecord> BindAmount(const QString& control, LeI32 TWorkReportRecord::*field,
                                             const char* moneyType)
{
    return {control, 0,
            [field, moneyType](const TWorkReportRecord& r) {
                return r.Tipo.str() == QLatin1String(moneyType) ? CentsToText((r.*field).get())
                                                                : QString::number((r.*field).get());
            },
            [field, moneyType](TWorkReportRecord& r, const QString& text) {
                const std::int64_t v = r.Tipo.str() == QLatin1String(moneyType)
                                           ? CentsOfText(text).value_or(0)
                                           : WholeOfText(text).value_or(0);
                r.*field = static_cast<std::int32_t>(std::clamp<std::int64_t>(
                    v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
            }};
}

CardBinding<TWorkReportRecord> Binding(CardSession& s)
{
    using R = TWorkReportRecord;
    const auto upper = [](const QString& t) { return t.toUpper(); };
    return CardBinding<R>{
        BindText(kMatricula, &R::Matricula),
        BindText(kCodigo, &R::Codigo),
        BindText(kOrden, &R::Orden),
        // Tipo before the amounts: their reading depends on it.
        BindText(kTipo, &R::Tipo, upper),
        BindText(kTIPOH, &R::TIPOH, upper),
        {kRepCode, 8, [](const R& r) { return r.SparePart.str().left(8); },
         [](R& r, const QString& text) { r.SparePart = text; }},
        // The posting reads the piece from the ninth character: a short code is padded to eight. A
        // photo's name ("#<n>.jpg" after the machine) stays joined.
        {kRepPieza, 8, [](const R& r) { return r.SparePart.str().mid(8); },
         [](R& r, const QString& text) {
             if (text.startsWith(QLatin1Char('#')))
                 r.SparePart = r.SparePart.str() + text;
             else if (!text.isEmpty())
                 r.SparePart = r.SparePart.str().leftJustified(8, QLatin1Char(' '), true) + text;
         }},
        BindText(kDia, &R::dia),
        // Shows the description chosen for the card (the kept long one when editing).
        {kDescripcion, 0, [&s](const R&) { return s.lastDescription; },
         [](R& r, const QString& text) { r.Descripcion = DescriptionText(text); }},
        BindAmount(kTparo, &R::Tparo, "ALB"),
        BindAmount(kTinter, &R::Tinter, "AL"),
    };
}

CardSpec WorkReportCardSpec(CardSession& s)
{
    Context& ctx = s.ctx;
    CardSpec spec;
    spec.name = QStringLiteral("TFORMPDT");
    spec.caption = QString::fromUtf8(kCardCaption);

    FieldSpec matricula = MakeField(kMatricula, "Operario", FieldKind::Combo, 6);
    matricula.onEnter = [&ctx](CardState& state) { state.choices[kMatricula] = ActivePersonChoices(ctx); };
    matricula.onChange = [&s](CardState& state) {
        ShowPerson(s, state);
        ShowDayTotal(s, state);
    };
    spec.fields.push_back(matricula);
    spec.fields.push_back(MakeField(kNoMatricula, "", FieldKind::Label));

    FieldSpec codigo = MakeField(kCodigo, "Máquina", FieldKind::Combo, 8);
    codigo.onEnter = [&ctx, &s](CardState& state) {
        s.backStep = false;
        if (Machines(ctx).MachineList.empty())
            LoadMachineList(ctx);
        state.choices[kCodigo] = MachineChoices(ctx);
    };
    codigo.onChange = [&s](CardState& state) { ShowMachine(s, state); };
    codigo.onExit = [&ctx](CardState& state) {
        state.set(kNMQ, QString::number(MachinePlace(ctx, state.value(kCodigo))));
    };
    spec.fields.push_back(codigo);
    spec.fields.push_back(MakeField(kNoMaquina, "", FieldKind::Label));

    FieldSpec nmq = MakeField(kNMQ, "Nº", FieldKind::Text, 5);
    nmq.onChange = [&ctx, &s](CardState& state) {
        if (Machines(ctx).MachineList.empty())
            LoadMachineList(ctx);
        const std::vector<MachineEntry>& list = Machines(ctx).MachineList;
        const Int64Parse n = ParseInt64(state.value(kNMQ));
        if (n.errorPos != 0 || n.value < 0 || n.value > 10000)
            return;
        if (n.value == 0)
            state.set(kCodigo, QStringLiteral("*"));
        else if (n.value <= static_cast<std::int64_t>(list.size()))
            state.set(kCodigo, list[static_cast<std::size_t>(n.value - 1)].rec.Codigo.str());
        else
            return;
        ShowMachine(s, state);
    };
    spec.fields.push_back(nmq);

    FieldSpec orden = MakeField(kOrden, "Orden", FieldKind::Combo, 8);
    orden.onEnter = [&s](CardState& state) {
        if (!IsStoreLine(state))
            OfferOpenOrders(s, state);
    };
    orden.onChange = [&s](CardState& state) { ShowOrder(s, state); };
    spec.fields.push_back(orden);
    spec.fields.push_back(MakeField(kLabel3, "", FieldKind::Label));

    FieldSpec dia = MakeField(kDia, "Fecha", FieldKind::Masked);
    dia.mask = QStringLiteral("00/00/0;1;_");
    // A line is filed by its week: a stored one needs a week code that names a day; a filter may leave
    // it blank.
    if (StoresLine(s))
        dia.rule = WeekCodeRule(AddsLine(s) || ChecksLine(s));
    dia.onExit = [&s](CardState& state) {
        if (const std::optional<QDate> date = WeekCodeToDate(state.value(kDia))) {
            // The calendar moves to that day, and with it the day's total.
            state.set(kCalendario, FormatDate(*date));
            ShowDayTotal(s, state);
        }
    };
    spec.fields.push_back(dia);

    FieldSpec calendario = MakeField(kCalendario, "Calendario", FieldKind::Date);
    const auto takeDate = [&s](CardState& state) {
        const QDate date = ParseDate(state.value(kCalendario));
        if (!date.isValid())
            return;
        state.set(kDia, WeekCodeOf(date));
        ShowDayTotal(s, state);
    };
    calendario.onChange = takeDate;
    calendario.onExit = takeDate;
    if (StoresLine(s))
        calendario.rule = DateRule();
    spec.fields.push_back(calendario);

    FieldSpec tipo = MakeField(kTipo, "Tipo", FieldKind::Combo, 3);
    tipo.choices = ActionCodeChoices(ctx);
    tipo.onChange = [&s](CardState& state) {
        // A key typed without Shift held ends a back-step.
        s.backStep = false;
        ShowTypeName(state);
        const QString t = TipoOf(state);
        SetAmountRules(s, state, t);
        ShowPartFields(state, t == QLatin1String("AL"));
        if (t.startsWith(QLatin1Char('R'))) {
            state.show(kRepFin, true);
            state.captions[kRepFin] = QString::fromUtf8(kRepairFinished);
        }
    };
    // A key with Shift alone held marks a back-step (Shift+Tab); a typed capital still goes in.
    tipo.onShiftKey = [&s](CardState&) { s.backStep = true; };
    tipo.onEnter = [&s](CardState& state) { s.tipoEntered = state.value(kTipo); };
    tipo.shiftKeyTyped = true;
    tipo.onExit = [&s](CardState& state) { LeaveTipo(s, state); };
    spec.fields.push_back(tipo);
    spec.fields.push_back(MakeField(kLabel9, "", FieldKind::Label));

    FieldSpec repCode = MakeField(kRepCode, "Código", FieldKind::Combo, 8);
    repCode.onEnter = [&ctx](CardState& state) { state.choices[kRepCode] = MachineCodeChoices(ctx); };
    spec.fields.push_back(repCode);
    FieldSpec repPieza = MakeField(kRepPieza, "Pieza", FieldKind::Combo, 8);
    // A store line offers the pieces of the part code's machine, so their form need not be known.
    repPieza.onEnter = [&ctx](CardState& state) {
        if (TipoOf(state) == QLatin1String("AL"))
            state.choices[kRepPieza] = StorePieces(ctx, state.value(kRepCode));
    };
    repPieza.onExit = [&s](CardState& state) {
        if (TipoOf(state) == QLatin1String("AL") && s.mode == QLatin1String("1"))
            LookUpStorePart(s, state);
    };
    spec.fields.push_back(repPieza);
    spec.fields.push_back(MakeField(kLabel10, "", FieldKind::Label));

    // Wide enough for each amount's whole range ("21474836,47"): the rules check what it holds.
    FieldSpec tinter = MakeField(kTinter, "", FieldKind::Text, 11);
    tinter.onEnter = [&ctx](CardState& state) {
        WorkReportsState& w = WorkReports(ctx);
        w.DayMinutesTotal -= static_cast<std::int32_t>(ParseInt64(state.value(kTinter)).value);
        state.caption = QString::fromUtf8(kAccumulated) + MinutesToHoursText(w.DayMinutesTotal);
    };
    tinter.onChange = [&ctx](CardState& state) {
        const auto minutes = static_cast<std::int32_t>(ParseInt64(state.value(kTinter)).value);
        if (!IsStoreLine(state))
            state.set(kLabel14, MinutesToHoursText(minutes));
        state.caption =
            QString::fromUtf8(kAccumulated) + MinutesToHoursText(WorkReports(ctx).DayMinutesTotal + minutes);
    };
    tinter.onExit = [&ctx, &s](CardState& state) {
        const std::int64_t minutes = ParseInt64(state.value(kTinter)).value;
        WorkReports(ctx).DayMinutesTotal += static_cast<std::int32_t>(minutes);
        const bool repair = TipoOf(state).startsWith(QLatin1Char('R'));
        // A revision is planned only after a repair that took time.
        state.show(kPlanRev, repair && minutes > 0);
        if (repair && minutes > 0)
            OfferOpenRepairs(s, state);
    };
    spec.fields.push_back(tinter);
    spec.fields.push_back(MakeField(kLabel6, "", FieldKind::Label));
    spec.fields.push_back(MakeField(kLabel12, "", FieldKind::Label));
    spec.fields.push_back(MakeField(kLabel14, "", FieldKind::Label));

    FieldSpec tparo = MakeField(kTparo, "", FieldKind::Text, 11);
    tparo.onExit = [&ctx](CardState& state) {
        if (TipoOf(state) == QLatin1String("AL"))
            WorkReports(ctx).StoreLine.Quantity =
                static_cast<std::int32_t>(ParseInt64(state.value(kTparo)).value);
    };
    spec.fields.push_back(tparo);
    spec.fields.push_back(MakeField(kLabel7, "", FieldKind::Label));

    FieldSpec tipoh = MakeField(kTIPOH, "Tipo Hora", FieldKind::Combo, 3);
    tipoh.choices = HourTypeCodes();
    tipoh.choices.sort();
    tipoh.onEnter = [](CardState& state) {
        if (state.value(kTIPOH) == QLatin1String("C"))
            state.set(kLabel13, HourTypeName(QStringLiteral("C")));
    };
    tipoh.onChange = [](CardState& state) { ShowHourType(state); };
    spec.fields.push_back(tipoh);
    spec.fields.push_back(MakeField(kLabel13, "", FieldKind::Label));

    FieldSpec descripcion = MakeField(kDescripcion, "Descripción", FieldKind::Combo);
    descripcion.onEnter = [&s](CardState& state) { OfferDescriptions(s, state); };
    descripcion.onChange = [](CardState& state) {
        const QString shown = state.value(kDescripcion);
        const QString t = TipoOf(state);
        const int limit = !t.isEmpty() && QStringLiteral("RPV").contains(t[0]) ? 130 : 48;
        const QString text = DescriptionText(shown);
        if (text.size() > limit)
            state.set(kDescripcion, text.left(limit) + shown.mid(text.size()));
    };
    descripcion.onExit = [&s](CardState& state) { RememberDescription(s, state); };
    // The procedures as help: machine and speciality, the procedure's number and its title.
    descripcion.onDoubleClick = [&ctx](CardState& state) {
        QStringList items;
        for (const ProcedureEntry& e : Procedures(ctx).ProcedureList)
            if (e.rec.Inst == kProcedureHeading)
                items << e.rec.MachineCode.str() + e.rec.Espec.str() + QStringLiteral(" / ") +
                             e.rec.Proced.str() + QStringLiteral(" / ") + e.rec.Descripcion.str();
        state.choices[kDescripcion] = items;
    };
    spec.fields.push_back(descripcion);

    FieldSpec ordent = MakeField(kORDENT, "Orden Trabajo", FieldKind::Check);
    ordent.onChange = [&s](CardState& state) {
        if (state.checked(kORDENT))
            AssignWorkOrder(s, state);
    };
    ordent.onDoubleClick = [&s](CardState& state) { ClearAssignment(s, state); };
    spec.fields.push_back(ordent);
    FieldSpec presup = MakeField(kPresup, "Presupuesto", FieldKind::Check);
    presup.onChange = [&s](CardState& state) {
        if (state.checked(kPresup))
            AssignBudget(s, state);
    };
    presup.onDoubleClick = [&s](CardState& state) { ClearAssignment(s, state); };
    spec.fields.push_back(presup);
    spec.fields.push_back(MakeField(kLabel11, "", FieldKind::Label));
    spec.fields.push_back(MakeField(kRepFin, "Reparación Finalizada", FieldKind::Check));
    spec.fields.push_back(MakeField(kPlanRev, "Planificar Revisión", FieldKind::Check));
    FieldSpec foto = MakeField(kFoto, "Relacionar Foto", FieldKind::Check);
    foto.onChange = [&s](CardState& state) { ProposePhoto(s, state); };
    spec.fields.push_back(foto);

    // In tab order, which Enter follows too: who and where, when and what; then the part of a store line,
    // the amounts (leaving the type jumps to the time), the hour type and a description as wide as the
    // card, so that the keyboard reaches each of them; the assignments last.
    const std::map<QString, FieldPlace> places = {
        {kMatricula, GridCell(0, 0)},
        {kNoMatricula, GridCell(0, 1, 1, 2)},
        {kCodigo, GridCell(1, 0)},
        {kNoMaquina, GridCell(1, 1, 1, 2)},
        {kNMQ, GridCell(2, 0)},
        {kOrden, GridCell(3, 0)},
        {kLabel11, GridCell(3, 1, 1, 2)},
        {kLabel3, GridCell(4, 0)},
        {kDia, GridCell(5, 0)},
        {kCalendario, GridCell(5, 1)},
        {kTipo, GridCell(6, 0)},
        {kLabel9, GridCell(6, 1, 1, 2)},
        {kLabel10, GridCell(7, 0)},
        {kRepCode, GridCell(7, 1)},
        {kRepPieza, GridCell(7, 2)},
        {kLabel6, GridCell(8, 0)},
        {kTinter, GridCell(8, 1)},
        {kLabel12, GridCell(8, 2)},
        {kLabel14, GridCell(9, 1)},
        {kLabel7, GridCell(10, 0)},
        {kTparo, GridCell(10, 1)},
        {kTIPOH, GridCell(11, 0)},
        {kLabel13, GridCell(11, 1, 1, 2)},
        {kDescripcion, GridCell(12, 0, 1, 3)},
        {kORDENT, GridCell(13, 0)},
        {kPresup, GridCell(13, 1)},
        {kRepFin, GridCell(13, 2)},
        {kPlanRev, GridCell(14, 0)},
        {kFoto, GridCell(14, 1)},
    };
    for (FieldSpec& f : spec.fields)
        if (const auto it = places.find(f.name); it != places.end())
            f.place = it->second;

    spec.buttons = {{kSalvaPartes, QStringLiteral("Sal&var"), CardResult::Save},
                    {kBitBtn1, QStringLiteral("&Salir"), CardResult::Exit},
                    {kBorraPartes, QStringLiteral("&Borrar"), CardResult::Delete}};
    spec.cancelResult = CardResult::Exit;
    // The description as the card closes, whichever way: the handlers fill it as well as the user.
    spec.onChange = [&s](CardState& state, const QString&) { s.lastDescription = state.value(kDescripcion); };
    spec.onExit = spec.onChange;
    spec.onButton = [&s](CardState& state, const ButtonSpec& button) {
        s.lastDescription = state.value(kDescripcion);
        if (button.name == kSalvaPartes)
            return SaveCard(s, state);
        if (button.name == kBitBtn1)
            s.ctx.st.RunFlag = 0;
        return true;
    };
    spec.onShow = [&s](CardState& state) {
        s.backStep = false;
        // Every card offers the presets and the file's lines after what was remembered, also once the
        // open repairs of a machine have emptied the list; none twice.
        RememberedDescriptionList& remembered = WorkReports(s.ctx).RememberedDescriptions;
        const QString opening = TipoOf(state);
        for (const char* preset : kDescriptionPresets)
            remembered.AddLast(QString::fromUtf8(preset), opening);
        for (const QString& line : s.fileDescriptions)
            remembered.AddLast(line, opening);
    };
    return spec;
}

// The card as it opens on `rec` in the session's mode.
CardState OpeningState(CardSession& s, const TWorkReportRecord& rec)
{
    Context& ctx = s.ctx;
    CardState state;
    const QString tipo = rec.Tipo.str();
    const QString part = rec.SparePart.str();
    state.set(kLabel13, QString());
    state.set(kLabel3, QString::fromUtf8(kOrderOrPart));
    state.set(kLabel10, QString::fromUtf8(kPartCaption));
    state.set(kLabel12, QStringLiteral("min."));
    ShowPartFields(state, false);
    state.show(kPlanRev, false);
    state.show(kRepFin, false);
    state.setChecked(kFoto, false);
    state.setChecked(kORDENT, false);
    state.setChecked(kPresup, false);
    state.setChecked(kRepFin, false);
    state.setChecked(kPlanRev, false);
    const QString dateText = ctx.st.DateText.isEmpty() ? FormatDate(ctx.clock.Now().date()) : ctx.st.DateText;
    state.set(kCalendario, dateText);

    LabelAmounts(state, tipo);
    if (part.left(8) == QLatin1String("FOTOASIG")) {
        state.setChecked(kFoto, true);
        ShowPartFields(state, true);
    }
    if (tipo == QLatin1String("AL"))
        ShowPartFields(state, true);

    const auto calendarFromDay = [&] {
        if (const std::optional<QDate> date = WeekCodeToDate(rec.dia.str()))
            state.set(kCalendario, FormatDate(*date));
    };
    state.show(kBorraPartes, false);
    if (s.mode == QLatin1String("1")) {
        state.caption = QStringLiteral("ALTA PARTES DE TRABAJO");
        state.show(kFoto, true);
    } else if (s.mode == QLatin1String("2")) {
        state.caption = QStringLiteral("LISTADO SELECTIVO PARTES DE TRABAJO");
        state.captions[kSalvaPartes] = QStringLiteral("&BUSCAR");
        state.show(kFoto, false);
    } else if (s.mode == QLatin1String("3")) {
        state.caption = QStringLiteral("LISTADO SELECTIVO ORDENES DE TRABAJO");
        state.captions[kSalvaPartes] = QStringLiteral("&BUSCAR");
    } else if (s.mode == QLatin1String("4")) {
        calendarFromDay();
        state.caption = QStringLiteral("EDICION DE PARTES DE TRABAJO");
        state.captions[kSalvaPartes] = QStringLiteral("Sal&var/Buscar");
        state.show(kBorraPartes, true);
        state.show(kNMQ, false);
    } else if (s.mode == QLatin1String("i")) {
        calendarFromDay();
        ShowPartFields(state, true);
    }
    // Names of what the line holds.
    state.set(kMatricula, rec.Matricula.str());
    state.set(kCodigo, rec.Codigo.str());
    state.set(kTipo, tipo);
    state.set(kTIPOH, rec.TIPOH.str());
    ShowPerson(s, state);
    ShowMachine(s, state);
    ShowTypeName(state);
    state.show(kPlanRev, tipo.startsWith(QLatin1Char('R')) && rec.Tinter.get() > 0);
    if (tipo.startsWith(QLatin1Char('R'))) {
        state.show(kRepFin, true);
        state.captions[kRepFin] = QString::fromUtf8(kRepairFinished);
    }
    return state;
}

} // namespace

QStringList LoadJobDescriptions(Context& ctx)
{
    QStringList lines;
    // Written on the old program's desktops: Windows-1252.
    for (const std::string& line : ReadTextLines(ctx, ctx.st.CurrentEnvironment + QStringLiteral(".txt"))
                                       .value_or(std::vector<std::string>{}))
        lines << FromCp1252(line);
    return lines;
}

int OpenWorkReportWindow(Context& ctx, TWorkReportRecord& rec, bool showKeptDescription, bool checkLine)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    TPersonnelEntryRecord& entry = w.LineEntry;
    const TWorkReportRecord entered = rec;
    const TPersonnelEntryRecord entryBefore = entry;
    CardSession s{ctx, st.ActionCode, checkLine};
    if (!st.InteractiveFlag) {
        if (s.mode == QLatin1String("i"))
            w.AddLoopAnswer = QStringLiteral("N");
        return CardResult::None;
    }
    // Every card opens with no order or budget ticked: what an earlier card assigned or closed is not
    // this line's (the posting would start or close that order with this line's number).
    w.OrderAssignedFlag = 0;
    w.BudgetAssignedFlag = 0;
    w.OrderFinishedFlag = 0;
    s.fileDescriptions = LoadJobDescriptions(ctx);
    CardSpec spec = WorkReportCardSpec(s);
    const CardBinding<TWorkReportRecord> binding = Binding(s);
    binding.Declare(spec);
    const bool keptDescription =
        s.mode == QLatin1String("4") && showKeptDescription && !w.LongDescription.isEmpty();
    s.lastDescription = keptDescription ? w.LongDescription : rec.Descripcion.str();

    CardState opening = OpeningState(s, rec);
    SetAmountRules(s, opening, rec.Tipo.str().toUpper());
    const int result = binding.Run(ctx.ui, spec, rec, std::move(opening));
    if (result == CardResult::Save) {
        w.LongDescription = DescriptionText(s.lastDescription).left(130);
        if (s.mode == QLatin1String("4"))
            st.AnswerCode = QStringLiteral("M");
        entry.Matricula = rec.Matricula;
        entry.Text = w.LongDescription;
        entry.Minutes = static_cast<std::uint32_t>(rec.Tinter.get());
        entry.Type = rec.TIPOH.str();
        entry.Date = rec.dia.str();
    } else if (result == CardResult::Delete) {
        st.AnswerCode = QStringLiteral("B");
        entry.Type = "#";
    } else {
        w.LongDescription = DescriptionText(s.lastDescription).left(130);
        entry = entryBefore;
        rec = entered;
        rec.Matricula = "#";
        w.AddLoopAnswer = QStringLiteral("N");
        st.RunFlag = 0;
        st.AnswerCode = QStringLiteral("S");
    }
    return result;
}

} // namespace gim
