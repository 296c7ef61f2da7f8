#include "workreports/work_report_card_handlers.h"

#include "core/command.h"
#include "core/context.h"
#include "core/field_rules.h"
#include "core/io_errors.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "records/cp1252.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"
#include "workreports/work_report_types.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace gim::report_card {

namespace {

// Runs a routine of another module from a card handler with the card's codes and flags kept. A failure
// that would abandon a command is shown and the card stays open: nothing may unwind through the card.
template <class F> void RunNested(Context& ctx, F&& call)
{
    NestedCallGuard guard(ctx);
    try {
        call();
    } catch (const IoAbort& e) {
        ctx.st.LastIOResult = e.code();
        ShowIOError(ctx, e.code());
    }
}

// The line keeps its costs and units in 32 bits.
constexpr std::int64_t kLineHighest = std::numeric_limits<std::int32_t>::max();

// A store line's cost in cents: each unit taken, or the whole delivery note.
FieldRule CostRule()
{
    FieldRule rule = MoneyRule(0, kLineHighest);
    rule.message = QStringLiteral("COSTE FUERA DE LÍMITE: DE 0,00 A %1 €").arg(CentsToText(kLineHighest));
    return rule;
}

// The units a store line takes out (or returns on the store itself).
FieldRule UnitsRule()
{
    FieldRule rule = WholeRule(0, kLineHighest);
    rule.message = QStringLiteral("UNIDADES FUERA DE LÍMITE: DE 0 A %1").arg(kLineHighest);
    return rule;
}

} // namespace

bool StoresLine(const CardSession& s)
{
    return s.mode != QLatin1String("2") && s.mode != QLatin1String("3");
}

bool AddsLine(const CardSession& s)
{
    return s.mode == QLatin1String("1") || s.mode == QLatin1String("i");
}

bool ChecksLine(const CardSession& s)
{
    // A merged line's card closes before the add loop refuses it; the log tells what was left.
    return s.mode == QLatin1String("1") || (s.mode == QLatin1String("4") && s.checkLine);
}

void SetAmountRules(const CardSession& s, CardState& state, const QString& tipo)
{
    if (!StoresLine(s))
        return;
    // The posting keeps minutes in 16 bits.
    const bool store = tipo == QLatin1String("AL");
    const bool note = tipo == QLatin1String("ALB");
    state.rules[kTinter] = store ? CostRule() : MinutesRule(0xFFFF);
    state.rules[kTparo] = note ? CostRule() : store ? UnitsRule() : MinutesRule(0xFFFF);
}

QString TipoOf(const CardState& state)
{
    return state.value(kTipo).toUpper();
}

bool IsStoreLine(const CardState& state)
{
    return TipoOf(state).startsWith(QLatin1String("AL"));
}

// The text before the tab: a chosen open repair shows its executor after one.
QString DescriptionText(const QString& shown)
{
    return shown.section(QLatin1Char('\t'), 0, 0);
}

void ShowPartFields(CardState& state, bool on)
{
    state.show(kRepCode, on);
    state.show(kRepPieza, on);
    state.show(kLabel10, on);
    state.enable(kRepCode, on);
    state.enable(kRepPieza, on);
}

// The minutes the operator booked on the card's day, from the loaded lines, latest first.
void ShowDayTotal(CardSession& s, CardState& state)
{
    WorkReportsState& w = WorkReports(s.ctx);
    const QString day = state.value(kDia);
    const QString who = state.value(kMatricula);
    std::int64_t total = 0;
    // Compared as stored bytes, without a text made for every line of the day: ASCII bytes order as the
    // texts do; any other byte is compared as text.
    const auto ascii = [](std::string_view b) {
        return std::all_of(b.begin(), b.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    const std::string dayBytes = ToCp1252(day);
    const bool dayAscii = ascii(dayBytes) && FromCp1252(dayBytes) == day;
    const std::string whoBytes = ToCp1252(who);
    const bool anyone = who == QLatin1String("*");
    const bool whoSpelt = FromCp1252(whoBytes) == who;
    for (const WorkReportEntry& e : s.ctx.st.WorkReportList) {
        const std::string_view lineDay = e.rec.dia.bytes();
        const int order = dayAscii && ascii(lineDay) ? std::clamp(lineDay.compare(dayBytes), -1, 1)
                          : e.rec.dia.str() < day    ? -1
                          : e.rec.dia.str() == day   ? 0
                                                     : 1;
        if (order < 0)
            break;
        if (order == 0 && !e.rec.Tipo.bytes().starts_with("AL") &&
            (anyone || (whoSpelt && e.rec.Matricula.bytes() == whoBytes)))
            total += e.rec.Tinter.get();
    }
    w.DayMinutesTotal = static_cast<std::int32_t>(total);
    state.caption = QString::fromUtf8(kCardCaption) + QLatin1String(kDayTotalGap) +
                    QString::fromUtf8(kDayTotalText) + MinutesToHoursText(w.DayMinutesTotal);
}

void ShowPerson(CardSession& s, CardState& state)
{
    const QString number = state.value(kMatricula);
    if (number == QLatin1String("*")) {
        state.set(kNoMatricula, QStringLiteral("Indistinto"));
        return;
    }
    const std::vector<PersonListEntry>& list = Personnel(s.ctx).PersonnelList;
    // The list is in number order: found by halves, as the file's bytes compare. A number with no
    // Windows-1252 spelling names nobody; one not found that way is looked for from the start.
    const std::string wanted = ToCp1252(number);
    auto found = list.end();
    if (FromCp1252(wanted) == number) {
        const auto at = std::lower_bound(list.begin(), list.end(), wanted,
                                         [](const PersonListEntry& e, const std::string& key) {
                                             return CompareCp1252(e.rec.Matricula.bytes(), key) < 0;
                                         });
        found = at != list.end() && at->rec.Matricula.bytes() == wanted
                    ? at
                    : std::find_if(list.begin(), list.end(), [&](const PersonListEntry& e) {
                          return e.rec.Matricula.bytes() == wanted;
                      });
    }
    state.set(kNoMatricula, found == list.end()
                                ? QString::fromUtf8(kPersonMissing)
                                : found->rec.Nombre.str() + QLatin1Char(' ') + found->rec.Apellidos.str());
}

const QStringList& ActivePersonChoices(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    const PersonnelState& p = Personnel(ctx);
    if (w.ActivePersonChoicesRevision != p.PersonnelListRevision) {
        w.ActivePersonChoices = PersonnelNumbers(p.PersonnelList, true);
        w.ActivePersonChoicesRevision = p.PersonnelListRevision;
    }
    return w.ActivePersonChoices;
}

namespace {

void KeepMachineChoices(Context& ctx)
{
    WorkReportsState& w = WorkReports(ctx);
    const MachinesState& m = Machines(ctx);
    if (w.MachineChoicesRevision == m.MachineListRevision)
        return;
    w.MachineChoices = MachineCodes(m.MachineList);
    w.MachinePlaces.clear();
    for (qsizetype i = 0; i < w.MachineChoices.size(); ++i)
        if (!w.MachinePlaces.contains(w.MachineChoices[i]))
            w.MachinePlaces.insert(w.MachineChoices[i], i + 1);
    w.MachineChoicesRevision = m.MachineListRevision;
}

} // namespace

const QStringList& MachineChoices(Context& ctx)
{
    KeepMachineChoices(ctx);
    return WorkReports(ctx).MachineChoices;
}

qsizetype MachinePlace(Context& ctx, const QString& code)
{
    KeepMachineChoices(ctx);
    return WorkReports(ctx).MachinePlaces.value(code, 0);
}

void ShowMachine(CardSession& s, CardState& state)
{
    const QString code = state.value(kCodigo);
    if (code == QLatin1String("*")) {
        state.set(kNoMaquina, QStringLiteral("Indistinta"));
        return;
    }
    s.ctx.st.FoundMachine = LookUpMachine(s.ctx, code);
    state.set(kNoMaquina, s.ctx.st.FoundMachine.Denominacion.str());
}

void ShowTypeName(CardState& state)
{
    const QString tipo = TipoOf(state);
    if (tipo == QLatin1String("*")) {
        state.set(kLabel9, QStringLiteral("INDISTINTO"));
        return;
    }
    const QString name = ActivityTypeName(tipo);
    state.set(kLabel9, name.isEmpty() ? QString::fromUtf8(kUnknownType) : name);
}

void ShowHourType(CardState& state)
{
    const QString name = HourTypeName(state.value(kTIPOH).toUpper());
    state.set(kLabel13, name.isEmpty() ? QString::fromUtf8(kUnknownType) : name);
}

// The descriptions offered: the remembered list (the presets and the file's lines to begin with).
void OfferDescriptions(CardSession& s, CardState& state)
{
    RememberedDescriptionList& remembered = WorkReports(s.ctx).RememberedDescriptions;
    // Emptied for the open repairs of the machine: those stay offered.
    if (remembered.empty())
        return;
    state.choices[kDescripcion] = remembered.Texts();
}

void RememberDescription(CardSession& s, const CardState& state)
{
    const QString text = DescriptionText(state.value(kDescripcion));
    if (text.isEmpty() || text == QLatin1String("*"))
        return;
    WorkReports(s.ctx).RememberedDescriptions.AddFirst(text, TipoOf(state));
}

// The open planned repairs of the machine, offered as descriptions with their executor after a tab.
void OfferOpenRepairs(CardSession& s, CardState& state)
{
    WorkReports(s.ctx).RememberedDescriptions.clear();
    const QString machine = state.value(kCodigo);
    const std::vector<PlannedRepairEntry>& list = PlannedRepairs(s.ctx).PlannedRepairList;
    QStringList items;
    for (const std::uint32_t at : PlannedRepairsOfMachine(s.ctx, machine)) {
        const TPlannedRepairRecord& r = list[at].rec;
        const QString st = r.State.str();
        if (r.Code.str() == machine && st.size() == 1 && QStringLiteral("PTMSJ").contains(st))
            items << r.Description.str() + QLatin1Char('\t') + r.Executor.str();
    }
    state.choices[kDescripcion] = items;
    state.show(kRepFin, true);
    state.enable(kRepFin, true);
}

QStringList StorePieces(Context& ctx, const QString& code,
                        const std::function<void(const TSparePartRecord&)>& each)
{
    SparePartsState& parts = SpareParts(ctx);
    if (parts.SparePartList.empty())
        LoadSparePartList(ctx);
    QStringList pieces;
    const std::vector<SparePartEntry>& list = parts.SparePartList;
    auto from = list.begin();
    auto to = list.end();
    // The list is in part-key order: the parts of a code stand among those whose joined key starts with
    // it, found by halves. A code with no Windows-1252 spelling is looked for through the whole list.
    const std::string wanted = ToCp1252(code);
    if (FromCp1252(wanted) == code) {
        from = std::lower_bound(list.begin(), list.end(), wanted,
                                [](const SparePartEntry& e, const std::string& k) {
                                    return PartKeyOf(e.rec).view() < std::string_view(k);
                                });
        to = std::find_if(from, list.end(), [&wanted](const SparePartEntry& e) {
            return !PartKeyOf(e.rec).view().starts_with(wanted);
        });
    }
    for (auto e = from; e != to; ++e) {
        if (e->rec.Codigo.str() != code)
            continue;
        pieces << e->rec.Equipo.str() + e->rec.Util.str() + e->rec.Pieza.str();
        if (each)
            each(e->rec);
    }
    return pieces;
}

// The part typed on a store line into the movement buffer, with its name and unit cost when the store
// knows it.
void LookUpStorePart(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    TStoreMovementRecord& m = WorkReports(ctx).StoreLine;
    const QString code = state.value(kRepCode);
    const QString piece = state.value(kRepPieza);
    const QString dia = state.value(kDia);
    m.Destination = state.value(kCodigo);
    m.Quantity = static_cast<std::int32_t>(ParseInt64(state.value(kTparo)).value);
    m.Codigo = code;
    m.Equipo = piece.mid(0, 2);
    m.Util = piece.mid(2, 3);
    m.Pieza = piece.mid(5, 3);
    const WeekParts day = ParseWeekCode(dia).value_or(WeekParts{});
    m.AbsoluteWeek = AbsoluteWeekByte(ctx.st, day.year, day.week);
    m.User = state.value(kMatricula);

    const TSparePartRecord* named = nullptr;
    state.choices[kOrden] = StorePieces(ctx, code, [&](const TSparePartRecord& part) {
        if (!named && part.Equipo == m.Equipo && part.Util == m.Util && part.Pieza == m.Pieza)
            named = &part;
    });
    if (named) {
        state.set(kDescripcion, named->Nombre.str());
        state.set(kTinter, CentsToText(named->Valor.get()));
    } else {
        state.set(kDescripcion, QString::fromUtf8(kUncodedPart) + code);
    }
    state.set(kTparo, QStringLiteral("0"));
}

// The order (or budget) typed into Orden.
void ShowOrder(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    WorkOrderOutcome& shown = WorkReports(ctx).CardOrder;
    const QString typed = state.value(kOrden);
    if (typed.isEmpty()) {
        state.show(kFoto, true);
        state.set(kLabel11, QString());
        return;
    }
    state.show(kFoto, false);
    const bool budget = state.checked(kPresup);
    const Int64Parse parsed = ParseInt64(typed);
    // A reference that is not a number names no order of ours (it would read as order 0).
    if (parsed.errorPos != 0) {
        shown.opened = false;
        state.set(kLabel11, QString::fromUtf8(kExternalReference));
        return;
    }
    const std::int64_t number = parsed.value;
    shown.number = static_cast<std::uint32_t>(number);
    const QString fileName = ctx.st.FileName(budget ? DataFile::RepairBudget : DataFile::WorkOrder);
    // One record per keystroke: the order's position is its number.
    std::optional<TWorkOrderRecord> order;
    if (number >= 0)
        order = KeyedFile<WorkOrderFile>(ctx, fileName)
                    .ReadAt(static_cast<std::uint64_t>(number), Report::Silent);
    shown.opened = false;
    if (order) {
        shown.order = *order;
        state.show(kRepFin, true);
        state.captions[kRepFin] = QString::fromUtf8(kCloseOrderShort);
        state.set(kLabel11, shown.order.Description.str());
        shown.opened = true;
        return;
    }
    if (budget && ctx.ui.InputBox(QString::fromUtf8("Presupuestos de Reparación"),
                                  QStringLiteral("Alta de Presupuesto "), QStringLiteral("N"))
                          .left(2) == QLatin1String("S")) {
        RunNested(ctx, [&ctx, &shown] {
            ctx.st.ActionCode = QStringLiteral("R");
            shown = NewWorkOrder(ctx);
            ctx.st.ActionCode = QStringLiteral(" ");
        });
        state.set(kLabel11, shown.order.Description.str());
        state.set(kOrden, QString::number(shown.order.Number.get()));
        return;
    }
    state.set(kLabel11, QString::fromUtf8(kExternalReference));
}

// Every work order pending or in progress, under its number, with its description offered too.
void OfferOpenOrders(CardSession& s, CardState& state)
{
    const std::vector<TWorkOrderRecord> orders =
        KeyedFile<WorkOrderFile>(s.ctx).Read(Report::Silent).value_or(std::vector<TWorkOrderRecord>{});
    QStringList numbers;
    QStringList descriptions;
    for (const TWorkOrderRecord& o : orders)
        if (o.State == "P" || o.State == "T") {
            numbers << QString::number(o.Number.get());
            descriptions << o.Description.str();
        }
    state.choices[kOrden] = numbers;
    state.choices[kDescripcion] = descriptions;
}

void ClearAssignment(CardSession& s, CardState& state)
{
    WorkReportsState& w = WorkReports(s.ctx);
    state.show(kPresup, true);
    state.show(kORDENT, true);
    state.setChecked(kORDENT, false);
    state.setChecked(kPresup, false);
    state.set(kOrden, QString());
    state.set(kLabel11, QString());
    w.OrderAssignedFlag = 0;
    w.BudgetAssignedFlag = 0;
}

void AssignWorkOrder(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    WorkOrderOutcome& shown = WorkReports(ctx).CardOrder;
    WorkReports(ctx).OrderAssignedFlag = 1;
    state.setChecked(kPresup, false);
    if (!shown.opened)
        RunNested(ctx, [&ctx, &shown] {
            ctx.st.InteractiveFlag = 0;
            ctx.st.ActionCode = QStringLiteral("E");
            shown = EditWorkOrder(ctx);
        });
    if (shown.opened) {
        state.set(kOrden, QString::number(shown.number));
        state.show(kPresup, false);
    } else {
        state.setChecked(kORDENT, false);
    }
    const QString description = shown.order.Description.str();
    state.caption += QLatin1Char(' ') + description;
    state.set(kLabel11, description);
    state.show(kRepFin, true);
    state.captions[kRepFin] = QString::fromUtf8(kCloseOrder);
}

void AssignBudget(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    WorkOrderOutcome& shown = WorkReports(ctx).CardOrder;
    state.setChecked(kORDENT, false);
    RunNested(ctx, [&ctx, &shown] {
        ctx.st.InteractiveFlag = 0;
        ctx.st.ActionCode = QStringLiteral("R");
        // A budget that does not exist leaves the card its order.
        if (const std::optional<WorkOrderOutcome> edited = EditBudgetHours(ctx))
            shown = *edited;
        else
            shown.opened = false;
    });
    WorkReports(ctx).BudgetAssignedFlag = 1;
    if (shown.opened) {
        state.set(kOrden, QString::number(shown.number));
        state.show(kORDENT, false);
    } else {
        state.set(kMatricula, QStringLiteral("#"));
    }
    state.caption += QLatin1Char(' ') + shown.order.Description.str();
    LookUpStorePart(s, state);
}

// The photo of a new line: the first free name "<machine>#<n>.jpg" in the environment's folder under
// PARTES.
void ProposePhoto(CardSession& s, CardState& state)
{
    if (!state.checked(kFoto)) {
        state.set(kLabel10, QString::fromUtf8(kPartCaption));
        state.set(kRepCode, QString());
        state.set(kRepPieza, QString());
        state.set(kLabel11, QString());
        return;
    }
    if (s.mode == QLatin1String("1")) {
        const QString folder = ResolveSubFolder(
            s.ctx.st.BaseDir, PhotoSubFolder(PhotoOwner::WorkReport, s.ctx.st.CurrentEnvironment));
        const QString machine = state.value(kCodigo);
        const QDir dir(folder);
        int n = 0;
        // The name the photo is stored under once the line is (see the add loop).
        while (QFileInfo::exists(dir.filePath(PhotoSafeName(machine + QStringLiteral("#%1.jpg").arg(n)))))
            ++n;
        const QString name = QStringLiteral("#%1.jpg").arg(n);
        state.set(kRepCode, machine);
        state.set(kRepPieza, name);
        state.set(kLabel11, dir.filePath(PhotoSafeName(machine + name)));
    }
    state.set(kLabel10, QString::fromUtf8(kPhotoCaption));
    ShowPartFields(state, true);
}

void LabelAmounts(CardState& state, const QString& tipo)
{
    const bool store = tipo.startsWith(QLatin1String("AL"));
    const bool note = tipo == QLatin1String("ALB");
    // A store exit holds its units where a time would stand and its cost where the minutes would; a
    // delivery note only its cost.
    state.set(kLabel7, QString::fromUtf8(note ? kNoteCost : store ? kStoreUnits : kStopTime));
    state.set(kLabel6, QString::fromUtf8(store ? kStoreCost : kInterventionTime));
    for (const QString& name : {kTinter, kLabel6, kTIPOH})
        state.show(name, !note);
    state.show(kLabel12, !store);
}

void LeaveTipo(CardSession& s, CardState& state)
{
    const QString tipo = TipoOf(state);
    // Passing through an unchanged type keeps what the line holds: an edited store line keeps its part
    // and its unit cost.
    const bool changed = tipo != s.tipoEntered.toUpper();
    state.set(kLabel3, QString::fromUtf8(kOrderOrPart));
    if (changed) {
        state.set(kRepCode, QString());
        state.set(kRepPieza, QString());
    }
    LabelAmounts(state, tipo);
    if (!tipo.startsWith(QLatin1String("AL"))) {
        if (tipo.mid(1, 2) == QLatin1String("TF"))
            state.set(kLabel3, QString::fromUtf8(kServiceHours));
        state.enable(kTinter, true);
        state.enable(kRepCode, false);
        state.focusRequest = s.backStep ? kCodigo : kTinter;
    } else {
        if (changed) {
            state.set(kTinter, QStringLiteral("0"));
            state.set(kRepCode, QString::fromLatin1(kStoreMachineCode));
        }
        state.enable(kRepCode, true);
    }
    state.enable(kSalvaPartes, true);
    // "#" is a machine not given yet, never one to enter.
    const QString code = state.value(kCodigo);
    if (s.mode == QLatin1String("1") && state.value(kNoMaquina) == QLatin1String(kMachineNotFound) &&
        code != QLatin1String("#")) {
        Context& ctx = s.ctx;
        RunNested(ctx, [&ctx, &code] {
            ctx.st.InteractiveFlag = 1;
            ShortString<8> typed{};
            typed = code;
            AddMachineOfCode(ctx, typed);
            SortMachineFile(ctx);
        });
        ShowMachine(s, state);
    }
    const bool store = tipo == QLatin1String("AL");
    state.show(kRepCode, store);
    state.show(kRepPieza, store);
}

// The Save button: what the posting needs besides the line.
bool SaveCard(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    WorkReportsState& w = WorkReports(ctx);
    const QString tipo = TipoOf(state);
    const bool typeValid =
        !ActivityTypeName(tipo).isEmpty() && !HourTypeName(state.value(kTIPOH).toUpper()).isEmpty();
    // A new or changed line the add loop would refuse keeps its card open with what was typed.
    if (ChecksLine(s)) {
        ShortString<6> matricula;
        matricula = state.value(kMatricula);
        ShortString<8> codigo;
        codigo = state.value(kCodigo);
        const LineRefusal refusal = RefuseLine(ctx, matricula, codigo, typeValid);
        if (!refusal.message.isEmpty()) {
            ctx.ui.ShowMessage(refusal.message);
            state.focusRequest = refusal.field;
            return false;
        }
    }
    ctx.st.PhotoAssignFlag = 0;
    const QString shown = state.value(kDescripcion);
    if (state.value(kTinter) > QLatin1String("0")) {
        w.OrderFinishedFlag = state.checked(kORDENT) && state.checked(kRepFin) ? 1 : 0;
        // The open repair of this description is done: the one chosen from the list (its executor after
        // the tab), or one whose description was typed in full. Closed before the line's posting, so that
        // a revision the line plans is not taken for it; the line's step writes it.
        ShortString<8> machine;
        machine = state.value(kCodigo);
        CloseChosenRepair(ctx, machine, DescriptionText(shown), shown.section(QLatin1Char('\t'), 1).left(10));
    }
    if (state.checked(kFoto)) {
        // Where the add loop's picture import stores the photo.
        ctx.st.PhotoAssignFlag = 1;
        ctx.st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::WorkReport, ctx.st.CurrentEnvironment);
        ctx.st.PhotoFileName = PhotoSafeName(state.value(kRepCode) + state.value(kRepPieza));
    }
    w.StoreLine.Codigo = state.value(kRepCode);
    if (state.controlHeld)
        w.KeepEntryMark = 1;
    w.TypeValidFlag = typeValid ? 1 : 0;
    // Only a repair that took time plans a revision, whatever the box showed before the type changed.
    const bool timedRepair = tipo.startsWith(QLatin1Char('R')) && ParseInt64(state.value(kTinter)).value > 0;
    w.PlanRevisionFlag = timedRepair && !state.hidden.count(kPlanRev) && state.checked(kPlanRev) ? 1 : 0;
    state.setChecked(kRepFin, false);
    state.set(kLabel11, QString());
    return true;
}

} // namespace gim::report_card
