#include "workreports/work_report_card.h"

#include "core/command.h"
#include "core/context.h"
#include "core/picture_import.h"
#include "core/sub_folders.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/procedures.h"
#include "masterdata/reserved_codes.h"
#include "platform/card_binding.h"
#include "records/cp1252.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "workreports/work_report_file.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <utility>

namespace gim {

namespace {

const QString kMatricula = QStringLiteral("Matricula");
const QString kNoMatricula = QStringLiteral("NoMatricula");
const QString kCodigo = QStringLiteral("Codigo");
const QString kNoMaquina = QStringLiteral("NoMaquina");
const QString kNMQ = QStringLiteral("NMQ");
const QString kOrden = QStringLiteral("Orden");
const QString kDia = QStringLiteral("dia");
const QString kCalendario = QStringLiteral("Calendario");
const QString kTipo = QStringLiteral("Tipo");
const QString kLabel9 = QStringLiteral("Label9");
const QString kTIPOH = QStringLiteral("TIPOH");
const QString kLabel13 = QStringLiteral("Label13");
const QString kDescripcion = QStringLiteral("Descripcion");
const QString kRepCode = QStringLiteral("RepCode");
const QString kRepPieza = QStringLiteral("RepPieza");
const QString kTinter = QStringLiteral("Tinter");
const QString kTparo = QStringLiteral("Tparo");
const QString kORDENT = QStringLiteral("ORDENT");
const QString kPresup = QStringLiteral("Presup");
const QString kRepFin = QStringLiteral("RepFin");
const QString kPlanRev = QStringLiteral("PlanRev");
const QString kFoto = QStringLiteral("Foto");
const QString kLabel3 = QStringLiteral("Label3");
const QString kLabel6 = QStringLiteral("Label6");
const QString kLabel7 = QStringLiteral("Label7");
const QString kLabel10 = QStringLiteral("Label10");
const QString kLabel11 = QStringLiteral("Label11");
const QString kLabel12 = QStringLiteral("Label12");
const QString kLabel14 = QStringLiteral("Label14");
const QString kSalvaPartes = QStringLiteral("SalvaPartes");
const QString kBitBtn1 = QStringLiteral("BitBtn1");
const QString kBorraPartes = QStringLiteral("BorraPartes");

const char* const kCardCaption = "PARTE DIARIO DE ACTIVIDAD";
const char* const kDayTotalGap = "          ";
const char* const kDayTotalText = "Tiempo trabajado en el día ";
const char* const kAccumulated = "Tiempo Acumulado : ";
const char* const kUnknownType = "Tipo Inexistente";
const char* const kPersonMissing = "NO EXISTE LA PERSONA";
const char* const kStoreCost = "Costes (0,00 €) :";
const char* const kNoteCost = "Coste (0,00 €) :";
const char* const kStopTime = "T.Paro Mqn:";
const char* const kStoreUnits = "Und.Almacén:";
const char* const kOrderOrPart = "Orden/PartNum";
const char* const kServiceHours = "Horas de Servicio :";
const char* const kPartCaption = "Repesto:";
const char* const kPhotoCaption = "Fichero Foto:";
const char* const kRepairFinished = "Reparación Finalizada";
const char* const kCloseOrderShort = "CIERRE ORDEN TRAB.";
const char* const kCloseOrder = "Cierre Orden Trabajo";
const char* const kExternalReference = "REFERENCIA EXTERNA";
const char* const kUncodedPart = "REPUESTO NO CODIFICADO EN ";

using Choice = CodeChoice;

// The activity types in table order; the first letter is the family the posting acts on.
const std::array<Choice, 99> kActivityTypes{{
    {"OP", "Operar Máquina Producción"},
    {"CO", "Conduct. Operativo"},
    {"CC", "Conduct. Control"},
    {"CF", "Conduct. Funcionamiento"},
    {"CA", "Conduct. Arranque"},
    {"CL", "Conduct. Limpieza"},
    {"CS", "Conduct. Supervisión"},
    {"P1D", "Prev. Diario"},
    {"P1S", "Prev. Semanal"},
    {"P2S", "Prev. Quincenal"},
    {"PM", "Prev. Mensual"},
    {"PM2", "Prev. Bimestral"},
    {"PM3", "Prev. Trimestral"},
    {"PM4", "Prev. Cuatrimestral"},
    {"PS", "Prev. Semestral"},
    {"PS2", "Prev. Anual"},
    {"PS4", "Prev. Bianual"},
    {"PTF", "Prev. por Tiempo Funcionamiento"},
    {"PC", "Ruta Contadores"},
    {"PE", "Ruta Eléctrica"},
    {"PCH", "Ruta Control Horas"},
    {"PW", "Ruta Agua"},
    {"PG", "Ruta Engrase"},
    {"PA", "Ruta Aire Comprimido"},
    {"PB", "Ruta Bombas"},
    {"PV", "Ruta Vibraciones"},
    {"PN", "Ruta Neumática"},
    {"PF", "Ruta Frío"},
    {"PT", "Ruta Termografía"},
    {"PLO", "Ruta Limp. Ordinaria"},
    {"PLT", "Ruta Limp. Técnica"},
    {"RM", "Reparación Mecánica"},
    {"RMM", "Repar. Mec. con Materiales"},
    {"RMJ", "Repar. Mec. de Mejora"},
    {"RMS", "Repar. Mec. de Servicio"},
    {"RMC", "Repar. Mec. Crítica"},
    {"RC", "Reparación Carpintería"},
    {"RA", "Reparación Albañilería"},
    {"RJ", "Reparación Cerrajería"},
    {"RP", "Reparación Pintura"},
    {"RE", "Reparación Eléctrica"},
    {"REM", "Repar. Eléc. con Materiales"},
    {"REJ", "Repar. Eléc. de Mejora"},
    {"RES", "Repar. Eléc. de Servicio"},
    {"REC", "Repar. Eléc. Crítica"},
    {"RI", "Reparación Instrumentación"},
    {"RIM", "Repar. Instr. con Materiales"},
    {"RIC", "Repar. Instr. Crítica"},
    {"RIJ", "Repar. Instr. de Mejora"},
    {"RIS", "Repar. Instr. de Servicio"},
    {"RF", "Reparación Frío"},
    {"RFF", "Repar. Frío Fugas"},
    {"RN", "Reparación Neumática"},
    {"RNM", "Repar. Neum. con Materiales"},
    {"RNC", "Repar. Neum. Crítica"},
    {"RH", "Reparación Hidráulica"},
    {"RHM", "Repar. Hidr. con Materiales"},
    {"RHS", "Repar. Hidr. de Servicio"},
    {"RHJ", "Repar. Hidr. de Mejora"},
    {"RHC", "Repar. Hidr. Crítica"},
    {"RLO", "Reparación Limp. Ordinaria"},
    {"RLT", "Reparación Limp. Técnica"},
    {"RS", "Reparación Seguridad"},
    {"RSM", "Repar. Seg. con Materiales"},
    {"RO", "Reparación por Orden"},
    {"ROM", "Repar. Orden con Materiales"},
    {"ROS", "Repar. Orden de Servicio"},
    {"R5", "Acción 5S"},
    {"RAV", "Reparación Aviso Intervención"},
    {"RT", "Reparación Termografía"},
    {"VM", "Avería Mecánica"},
    {"VF", "Avería Frío"},
    {"VE", "Avería Eléctrica"},
    {"VI", "Avería Instrumentación"},
    {"VN", "Avería Neumática"},
    {"VH", "Avería Hidráulica"},
    {"VG", "Avería Por Falta Engrase"},
    {"VO", "Avería Operativa"},
    {"VLT", "Incidencia Limp. Técnica"},
    {"VLO", "Incidencia Limp. Ordinaria"},
    {"IF", "Formación"},
    {"IV", "Visita Técnica"},
    {"IC", "Consulta Técnica"},
    {"IS", "Ingeniería Seguridad"},
    {"IJ", "Jornada Técnica"},
    {"IM", "Ingeniería Mejoras"},
    {"IP", "Ingeniería Proyectos"},
    {"IG", "Gestión Mantenimiento"},
    {"ID", "Introducción Partes Diarios"},
    {"AL", "Salida Almacén"},
    {"ALB", "Albarán Material/Servicio"},
    {"DE", "Desplazamiento Exterior"},
    {"DI", "Desplazamiento Interior"},
    {"LO", "Limpieza Ordinaria"},
    {"LT", "Limpieza Técnica"},
    {"F", "Festivo/Permiso"},
    {"TM", "Trabajos de Montaje"},
    {"TL", "Trabajos Logísticos"},
    {"TA", "Alquiler/Leasing"},
}};

const std::array<Choice, 10> kHourTypes{{
    {"C", "Horas Normales"},
    {"E", "Horas Extras Nornales"},
    {"EC", "Horas Extras Compensable"},
    {"V", "Vacaciones"},
    {"F", "Formación"},
    {"EF", "Horas Extras Festivas"},
    {"EN", "Horas Extras Nocturnas"},
    {"N", "Horas Nocturnas Nornales"},
    {"P", "Permiso"},
    {"B", "Baja Laboral"},
}};

const std::array<const char*, 5> kDescriptionPresets{{
    "Cumplimentar parte diario actividad.",
    "Gama Realizada Completamente sin anomalias.",
    "Realizacción completa de Ruta de Mto.",
    "Realización parcial de la Gama sin anomalias.",
    "Ruta de Mto. realizada parcialmente.",
}};

bool InTable(const auto& table, const QString& code)
{
    return std::any_of(table.begin(), table.end(),
                       [&](const Choice& c) { return code == QString::fromUtf8(c.first); });
}

// What one open card keeps between its handlers.
struct CardSession
{
    Context& ctx;
    QString mode;                 // ActionCode when the card opened
    bool backStep = false;        // Tipo left with Shift+Tab: the focus goes back to the machine
    QString lastDescription;      // the description as the card closes, whatever closes it
    QStringList fileDescriptions; // the lines of the description file
};

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
    for (const WorkReportEntry& e : w.WorkReportList) {
        const QString lineDay = e.rec.dia.str();
        if (lineDay < day)
            break;
        if (lineDay == day && !e.rec.Tipo.str().startsWith(QLatin1String("AL")) &&
            (who == QLatin1String("*") || e.rec.Matricula.str() == who))
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
    const auto found = std::find_if(
        list.begin(), list.end(), [&](const PersonListEntry& e) { return e.rec.Matricula.str() == number; });
    state.set(kNoMatricula, found == list.end()
                                ? QString::fromUtf8(kPersonMissing)
                                : found->rec.Nombre.str() + QLatin1Char(' ') + found->rec.Apellidos.str());
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
    const QString name = ChoiceText(kActivityTypes, tipo);
    state.set(kLabel9, name.isEmpty() ? QString::fromUtf8(kUnknownType) : name);
}

void ShowHourType(CardState& state)
{
    const QString name = ChoiceText(kHourTypes, state.value(kTIPOH).toUpper());
    state.set(kLabel13, name.isEmpty() ? QString::fromUtf8(kUnknownType) : name);
}

// The descriptions offered: the remembered list (the presets and the file's lines to begin with).
void OfferDescriptions(CardSession& s, CardState& state)
{
    std::vector<std::pair<QString, QString>>& remembered = WorkReports(s.ctx).RememberedDescriptions;
    // Emptied for the open repairs of the machine: those stay offered.
    if (remembered.empty())
        return;
    QStringList items;
    for (const auto& [text, tipo] : remembered)
        items << text;
    state.choices[kDescripcion] = items;
}

void RememberDescription(CardSession& s, const CardState& state)
{
    const QString text = DescriptionText(state.value(kDescripcion));
    std::vector<std::pair<QString, QString>>& remembered = WorkReports(s.ctx).RememberedDescriptions;
    if (text.isEmpty() || text == QLatin1String("*") ||
        std::any_of(remembered.begin(), remembered.end(), [&](const auto& r) { return r.first == text; }))
        return;
    remembered.insert(remembered.begin(), {text, TipoOf(state)});
}

// The open planned repairs of the machine, offered as descriptions with their executor after a tab.
void OfferOpenRepairs(CardSession& s, CardState& state)
{
    WorkReports(s.ctx).RememberedDescriptions.clear();
    const QString machine = state.value(kCodigo);
    QStringList items;
    for (const PlannedRepairEntry& e : PlannedRepairs(s.ctx).PlannedRepairList) {
        const QString st = e.rec.State.str();
        if (e.rec.Code.str() == machine && st.size() == 1 && QStringLiteral("PTMSJ").contains(st))
            items << e.rec.Description.str() + QLatin1Char('\t') + e.rec.Executor.str();
    }
    state.choices[kDescripcion] = items;
    state.show(kRepFin, true);
    state.enable(kRepFin, true);
}

// The part typed on a store line into the movement buffer, with its name and unit cost when the store
// knows it.
void LookUpStorePart(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    TStoreMovementRecord& m = StoreMovements(ctx).MovementBuffer;
    const QString code = state.value(kRepCode);
    const QString piece = state.value(kRepPieza);
    const QString dia = state.value(kDia);
    m.Destination = state.value(kCodigo);
    m.Quantity = static_cast<std::int32_t>(ParseInt64(state.value(kTparo)).value);
    m.Codigo = code;
    m.Equipo = piece.mid(0, 2);
    m.Util = piece.mid(2, 3);
    m.Pieza = piece.mid(5, 3);
    m.AbsoluteWeek = MovementWeekByte(AbsoluteWeek(ctx.st, dia.left(2).toInt(), dia.mid(3, 2).toInt()));
    m.User = state.value(kMatricula);

    SparePartsState& parts = SpareParts(ctx);
    if (parts.SparePartList.empty())
        LoadSparePartList(ctx);
    QStringList pieces;
    const TSparePartRecord* named = nullptr;
    for (const SparePartEntry& e : parts.SparePartList) {
        if (e.rec.Codigo.str() != code)
            continue;
        pieces << e.rec.Equipo.str() + e.rec.Util.str() + e.rec.Pieza.str();
        if (!named && e.rec.Equipo == m.Equipo && e.rec.Util == m.Util && e.rec.Pieza == m.Pieza)
            named = &e.rec;
    }
    state.choices[kOrden] = pieces;
    if (named) {
        state.set(kDescripcion, named->Nombre.str());
        state.set(kTinter, CentsToText(named->Valor.get()));
    } else {
        state.set(kDescripcion, QString::fromUtf8(kUncodedPart) + code + piece);
    }
    state.set(kTparo, QStringLiteral("0"));
}

// Keeps the caller's codes and flags across the work-order routines the card calls.
class NestedCall final
{
public:
    explicit NestedCall(Context& ctx)
        : m_ctx(ctx), m_codes(ctx), m_interactive(ctx.st.InteractiveFlag), m_continue(ctx.st.ContinueFlag),
          m_added(ctx.st.RecordAddedFlag), m_photo(ctx.st.PhotoAssignFlag), m_found(ctx.st.FoundMachine)
    {
    }
    ~NestedCall()
    {
        State& st = m_ctx.st;
        st.InteractiveFlag = m_interactive;
        st.ContinueFlag = m_continue;
        st.RecordAddedFlag = m_added;
        st.PhotoAssignFlag = m_photo;
        st.FoundMachine = m_found;
    }
    NestedCall(const NestedCall&) = delete;
    NestedCall& operator=(const NestedCall&) = delete;

private:
    Context& m_ctx;
    ModeCodeGuard m_codes;
    std::uint8_t m_interactive, m_continue, m_added, m_photo;
    TMachineRecord m_found;
};

// The order (or budget) typed into Orden.
void ShowOrder(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    WorkOrdersState& w = WorkOrders(ctx);
    const QString typed = state.value(kOrden);
    if (typed.isEmpty()) {
        state.show(kFoto, true);
        state.set(kLabel11, QString());
        return;
    }
    state.show(kFoto, false);
    const bool budget = state.checked(kPresup);
    const std::int64_t number = ParseInt64(typed).value;
    ctx.st.CurrentWorkOrderNumber = static_cast<std::uint32_t>(number);
    const QString fileName = ctx.st.FileName(budget ? DataFile::RepairBudget : DataFile::WorkOrder);
    const std::vector<TWorkOrderRecord> orders = KeyedFile<WorkOrderFile>(ctx, fileName)
                                                     .Read(Report::Silent)
                                                     .value_or(std::vector<TWorkOrderRecord>{});
    w.WorkOrderOpened = 0;
    if (number >= 0 && number < static_cast<std::int64_t>(orders.size())) {
        w.CurrentWorkOrder = orders[static_cast<std::size_t>(number)];
        state.show(kRepFin, true);
        state.captions[kRepFin] = QString::fromUtf8(kCloseOrderShort);
        state.set(kLabel11, w.CurrentWorkOrder.Description.str());
        w.WorkOrderOpened = 1;
        return;
    }
    if (budget && ctx.ui.InputBox(QString::fromUtf8("Presupuestos de Reparación"),
                                  QStringLiteral("Alta de Presupuesto "), QStringLiteral("N"))
                          .left(2) == QLatin1String("S")) {
        {
            NestedCall guard(ctx);
            ctx.st.ActionCode = QStringLiteral("R");
            NewWorkOrder(ctx);
            ctx.st.ActionCode = QStringLiteral(" ");
        }
        state.set(kLabel11, w.CurrentWorkOrder.Description.str());
        state.set(kOrden, QString::number(w.CurrentWorkOrder.Number.get()));
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
    WorkOrdersState& w = WorkOrders(ctx);
    WorkReports(ctx).OrderAssignedFlag = 1;
    state.setChecked(kPresup, false);
    if (!w.WorkOrderOpened) {
        NestedCall guard(ctx);
        ctx.st.InteractiveFlag = 0;
        ctx.st.ActionCode = QStringLiteral("E");
        EditWorkOrder(ctx);
    }
    if (w.WorkOrderOpened) {
        state.set(kOrden, QString::number(ctx.st.CurrentWorkOrderNumber));
        state.show(kPresup, false);
    } else {
        state.setChecked(kORDENT, false);
    }
    const QString description = w.CurrentWorkOrder.Description.str();
    state.caption += QLatin1Char(' ') + description;
    state.set(kLabel11, description);
    state.show(kRepFin, true);
    state.captions[kRepFin] = QString::fromUtf8(kCloseOrder);
}

void AssignBudget(CardSession& s, CardState& state)
{
    Context& ctx = s.ctx;
    WorkOrdersState& w = WorkOrders(ctx);
    state.setChecked(kORDENT, false);
    {
        NestedCall guard(ctx);
        ctx.st.InteractiveFlag = 0;
        ctx.st.ActionCode = QStringLiteral("R");
        EditBudgetHours(ctx);
    }
    WorkReports(ctx).BudgetAssignedFlag = 1;
    if (w.WorkOrderOpened) {
        state.set(kOrden, QString::number(ctx.st.CurrentWorkOrderNumber));
        state.show(kORDENT, false);
    } else {
        state.set(kMatricula, QStringLiteral("#"));
    }
    state.caption += QLatin1Char(' ') + w.CurrentWorkOrder.Description.str();
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
        while (QFileInfo::exists(dir.filePath(machine + QStringLiteral("#%1.jpg").arg(n))))
            ++n;
        const QString name = QStringLiteral("#%1.jpg").arg(n);
        state.set(kRepCode, machine);
        state.set(kRepPieza, name);
        state.set(kLabel11, dir.filePath(machine + name));
    }
    state.set(kLabel10, QString::fromUtf8(kPhotoCaption));
    ShowPartFields(state, true);
}

void LeaveTipo(CardSession& s, CardState& state)
{
    const QString tipo = TipoOf(state);
    state.set(kLabel3, QString::fromUtf8(kOrderOrPart));
    state.set(kRepCode, QString());
    state.set(kRepPieza, QString());
    if (!tipo.startsWith(QLatin1String("AL"))) {
        if (tipo.mid(1, 2) == QLatin1String("TF"))
            state.set(kLabel3, QString::fromUtf8(kServiceHours));
        state.set(kLabel7, QString::fromUtf8(kStopTime));
        for (const QString& name : {kTinter, kLabel6, kLabel12, kTIPOH})
            state.show(name, true);
        state.enable(kTinter, true);
        state.enable(kRepCode, false);
        state.focusRequest = s.backStep ? kCodigo : kTinter;
    } else {
        state.set(kTinter, QStringLiteral("0"));
        state.enable(kRepCode, true);
        state.set(kLabel7, QString::fromUtf8(kStoreUnits));
        state.set(kRepCode, QString::fromLatin1(kStoreMachineCode));
        if (tipo == QLatin1String("ALB")) {
            state.set(kLabel7, QString::fromUtf8(kNoteCost));
            for (const QString& name : {kTinter, kLabel6, kLabel12, kTIPOH})
                state.show(name, false);
        } else {
            state.show(kTinter, true);
            state.show(kLabel6, true);
            state.set(kLabel6, QString::fromUtf8(kStoreCost));
        }
    }
    state.enable(kSalvaPartes, true);
    if (s.mode == QLatin1String("1") && state.value(kNoMaquina) == QLatin1String(kMachineNotFound)) {
        Context& ctx = s.ctx;
        {
            NestedCall guard(ctx);
            ctx.st.FoundMachine.Denominacion = kMachineNotFound;
            ClearMachineRecord(ctx.st.CurrentMachine);
            ctx.st.CurrentMachine.Codigo = state.value(kCodigo);
            ctx.st.CurrentMachine.Denominacion = "..";
            ctx.st.InteractiveFlag = 1;
            AddMachines(ctx);
            SortMachineFile(ctx);
        }
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
    // The numbers must read before anything is kept: the card stays open on a bad one.
    for (const auto& [field, cents] :
         {std::pair{kTparo, tipo == QLatin1String("ALB")}, std::pair{kTinter, tipo == QLatin1String("AL")}}) {
        const QString text = state.value(field);
        if ((cents ? ParseCents(text) : ParseInt64(text)).errorPos != 0) {
            ctx.ui.ShowMessage(QString::fromUtf8("'%1' no es un valor entero válido").arg(text));
            state.focusRequest = field;
            return false;
        }
    }
    ctx.st.PhotoAssignFlag = 0;
    w.ChosenRepairDescription.clear();
    w.ChosenRepairExecutor.clear();
    const QString shown = state.value(kDescripcion);
    if (state.value(kTinter) > QLatin1String("0")) {
        w.OrderFinishedFlag = state.checked(kORDENT) && state.checked(kRepFin) ? 1 : 0;
        // The posting closes the chosen repair once the line is stored.
        if (shown.contains(QLatin1Char('\t'))) {
            w.ChosenRepairDescription = DescriptionText(shown);
            w.ChosenRepairExecutor = shown.section(QLatin1Char('\t'), 1).left(10);
        }
    }
    if (state.checked(kFoto)) {
        // Where the add loop's picture import stores the photo.
        ctx.st.PhotoAssignFlag = 1;
        ctx.st.CurrentSubFolder = PhotoSubFolder(PhotoOwner::WorkReport, ctx.st.CurrentEnvironment);
        ctx.st.PhotoFileName = state.value(kRepCode) + state.value(kRepPieza);
    }
    StoreMovements(ctx).MovementBuffer.Codigo = state.value(kRepCode);
    if (state.controlHeld)
        w.KeepEntryMark = 1;
    w.TypeValidFlag =
        InTable(kActivityTypes, tipo) && InTable(kHourTypes, state.value(kTIPOH).toUpper()) ? 1 : 0;
    w.PlanRevisionFlag = !state.hidden.count(kPlanRev) && state.checked(kPlanRev) ? 1 : 0;
    state.setChecked(kRepFin, false);
    state.set(kLabel11, QString());
    return true;
}

// Tparo and Tinter: minutes or units as integers, money as cents by the line's type.
ControlBinding<TWorkReportRecord> BindAmount(Context& ctx, const QString& control,
                                             LeI32 TWorkReportRecord::*field, const char* moneyType)
{
    return {control, 0,
            [field, moneyType](const TWorkReportRecord& r) {
                return r.Tipo.str() == QLatin1String(moneyType) ? CentsToText((r.*field).get())
                                                                : QString::number((r.*field).get());
            },
            [&ctx, field, moneyType](TWorkReportRecord& r, const QString& text) {
                const std::int64_t v = r.Tipo.str() == QLatin1String(moneyType) ? TextToCents(ctx.st, text)
                                                                                : TextToInt64(ctx.st, text);
                r.*field = static_cast<std::int32_t>(v);
            }};
}

CardBinding<TWorkReportRecord> Binding(CardSession& s)
{
    using R = TWorkReportRecord;
    Context& ctx = s.ctx;
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
        BindAmount(ctx, kTparo, &R::Tparo, "ALB"),
        BindAmount(ctx, kTinter, &R::Tinter, "AL"),
    };
}

CardSpec WorkReportCardSpec(CardSession& s)
{
    Context& ctx = s.ctx;
    CardSpec spec;
    spec.name = QStringLiteral("TFORMPDT");
    spec.caption = QString::fromUtf8(kCardCaption);

    FieldSpec matricula = MakeField(kMatricula, "Operario", FieldKind::Combo, 6);
    matricula.onEnter = [&ctx](CardState& state) {
        QStringList numbers;
        for (const PersonListEntry& e : Personnel(ctx).PersonnelList)
            if (PersonIsActive(e.rec))
                numbers << e.rec.Matricula.str();
        state.choices[kMatricula] = numbers;
    };
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
        QStringList codes;
        for (const MachineEntry& e : Machines(ctx).MachineList)
            codes << e.rec.Codigo.str();
        state.choices[kCodigo] = codes;
    };
    codigo.onChange = [&s](CardState& state) { ShowMachine(s, state); };
    codigo.onExit = [&ctx](CardState& state) {
        const std::vector<MachineEntry>& list = Machines(ctx).MachineList;
        const QString code = state.value(kCodigo);
        const auto at = std::find_if(list.begin(), list.end(),
                                     [&](const MachineEntry& e) { return e.rec.Codigo.str() == code; });
        state.set(kNMQ, at == list.end() ? QStringLiteral("0") : QString::number(at - list.begin() + 1));
    };
    spec.fields.push_back(codigo);
    spec.fields.push_back(MakeField(kNoMaquina, "", FieldKind::Label));

    FieldSpec nmq = MakeField(kNMQ, "Nº", FieldKind::Text, 5);
    nmq.onChange = [&ctx, &s](CardState& state) {
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
    dia.onExit = [](CardState& state) {
        if (const std::optional<QDate> date = WeekCodeToDate(state.value(kDia)))
            state.set(kCalendario, date->toString(QStringLiteral("dd/MM/yyyy")));
    };
    spec.fields.push_back(dia);

    FieldSpec calendario = MakeField(kCalendario, "Calendario", FieldKind::Date);
    const auto takeDate = [&s](CardState& state) {
        const QDate date = QDate::fromString(state.value(kCalendario), QStringLiteral("dd/MM/yyyy"));
        if (!date.isValid())
            return;
        state.set(kDia, WeekCodeOf(date));
        ShowDayTotal(s, state);
    };
    calendario.onChange = takeDate;
    calendario.onExit = takeDate;
    spec.fields.push_back(calendario);

    FieldSpec tipo = MakeField(kTipo, "Tipo", FieldKind::Combo, 3);
    tipo.choices = ActionCodeChoices(ctx);
    tipo.onChange = [&s](CardState& state) {
        // A key typed without Shift held ends a back-step.
        s.backStep = false;
        ShowTypeName(state);
        const QString t = TipoOf(state);
        ShowPartFields(state, t == QLatin1String("AL"));
        if (t.startsWith(QLatin1Char('R'))) {
            state.show(kRepFin, true);
            state.captions[kRepFin] = QString::fromUtf8(kRepairFinished);
        }
    };
    tipo.onShiftKey = [&s](CardState&) { s.backStep = true; };
    tipo.onExit = [&s](CardState& state) { LeaveTipo(s, state); };
    spec.fields.push_back(tipo);
    spec.fields.push_back(MakeField(kLabel9, "", FieldKind::Label));

    FieldSpec tipoh = MakeField(kTIPOH, "Tipo Hora", FieldKind::Combo, 3);
    tipoh.choices = ChoiceCodes(kHourTypes);
    tipoh.choices.sort();
    tipoh.onEnter = [](CardState& state) {
        if (state.value(kTIPOH) == QLatin1String("C"))
            state.set(kLabel13, QString::fromUtf8("Horas Normales"));
    };
    tipoh.onChange = [](CardState& state) { ShowHourType(state); };
    spec.fields.push_back(tipoh);
    spec.fields.push_back(MakeField(kLabel13, "", FieldKind::Label));

    FieldSpec descripcion = MakeField(kDescripcion, "Descripción", FieldKind::Combo);
    descripcion.onEnter = [&s](CardState& state) { OfferDescriptions(s, state); };
    descripcion.onChange = [&s](CardState& state) {
        const QString shown = state.value(kDescripcion);
        const QString t = TipoOf(state);
        const int limit = !t.isEmpty() && QStringLiteral("RPV").contains(t[0]) ? 130 : 48;
        const QString text = DescriptionText(shown);
        if (text.size() > limit)
            state.set(kDescripcion, text.left(limit) + shown.mid(text.size()));
    };
    descripcion.onExit = [&s](CardState& state) { RememberDescription(s, state); };
    descripcion.onDoubleClick = [&ctx](CardState& state) {
        QStringList items;
        int number = 0;
        for (const ProcedureEntry& e : Procedures(ctx).ProcedureList) {
            ++number;
            if (e.rec.Inst == kProcedureHeading)
                items << e.rec.MachineCode.str() + e.rec.Espec.str() + e.rec.Proced.str() + e.rec.Inst.str() +
                             QStringLiteral(" / ") + QString::number(number) + QStringLiteral(" / ") +
                             e.rec.Descripcion.str();
        }
        state.choices[kDescripcion] = items;
    };
    spec.fields.push_back(descripcion);

    FieldSpec repCode = MakeField(kRepCode, "Código", FieldKind::Combo, 8);
    repCode.onEnter = [&ctx](CardState& state) { state.choices[kRepCode] = MachineCodeChoices(ctx); };
    spec.fields.push_back(repCode);
    FieldSpec repPieza = MakeField(kRepPieza, "Pieza", FieldKind::Combo, 8);
    repPieza.onExit = [&s](CardState& state) {
        if (TipoOf(state) == QLatin1String("AL") && s.mode == QLatin1String("1"))
            LookUpStorePart(s, state);
    };
    spec.fields.push_back(repPieza);
    spec.fields.push_back(MakeField(kLabel10, "", FieldKind::Label));

    FieldSpec tinter = MakeField(kTinter, "", FieldKind::Text, 10);
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

    FieldSpec tparo = MakeField(kTparo, "", FieldKind::Text, 10);
    tparo.onExit = [&ctx](CardState& state) {
        if (TipoOf(state) == QLatin1String("AL"))
            StoreMovements(ctx).MovementBuffer.Quantity =
                static_cast<std::int32_t>(ParseInt64(state.value(kTparo)).value);
    };
    spec.fields.push_back(tparo);
    spec.fields.push_back(MakeField(kLabel7, "", FieldKind::Label));

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
        std::vector<std::pair<QString, QString>>& remembered = WorkReports(s.ctx).RememberedDescriptions;
        if (remembered.empty()) {
            for (const char* preset : kDescriptionPresets)
                remembered.push_back({QString::fromUtf8(preset), TipoOf(state)});
            for (const QString& line : s.fileDescriptions)
                remembered.push_back({line, TipoOf(state)});
        }
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
    state.set(kLabel6, QStringLiteral("T.Interv. (min):"));
    state.set(kLabel7, QString::fromUtf8(kStopTime));
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
    const QString dateText = ctx.st.DateText.isEmpty()
                                 ? ctx.clock.Now().date().toString(QStringLiteral("dd/MM/yyyy"))
                                 : ctx.st.DateText;
    state.set(kCalendario, dateText);

    if (tipo == QLatin1String("ALB"))
        state.set(kLabel7, QString::fromUtf8(kNoteCost));
    if (tipo == QLatin1String("AL"))
        state.set(kLabel6, QString::fromUtf8(kStoreCost));
    if (part.left(8) == QLatin1String("FOTOASIG")) {
        state.setChecked(kFoto, true);
        ShowPartFields(state, true);
    }
    if (tipo == QLatin1String("AL"))
        ShowPartFields(state, true);
    if (tipo == QLatin1String("ALB"))
        for (const QString& name : {kTinter, kLabel6, kLabel12, kTIPOH})
            state.show(name, false);

    const auto calendarFromDay = [&] {
        if (const std::optional<QDate> date = WeekCodeToDate(rec.dia.str()))
            state.set(kCalendario, date->toString(QStringLiteral("dd/MM/yyyy")));
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
    QFile file(ctx.Path(ctx.st.CurrentEnvironment + QStringLiteral(".txt")));
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        // Written on the old program's desktops: Windows-1252.
        lines << FromCp1252(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    }
    return lines;
}

int OpenWorkReportWindow(Context& ctx, TWorkReportRecord& rec, bool showKeptDescription)
{
    State& st = ctx.st;
    WorkReportsState& w = WorkReports(ctx);
    TPersonnelEntryRecord& entry = Personnel(ctx).CurrentPersonnelEntry;
    const TWorkReportRecord entered = rec;
    const TPersonnelEntryRecord entryBefore = entry;
    CardSession s{ctx, st.ActionCode};
    if (!st.InteractiveFlag) {
        if (s.mode == QLatin1String("i"))
            w.AddLoopAnswer = QStringLiteral("N");
        return CardResult::None;
    }
    s.fileDescriptions = LoadJobDescriptions(ctx);
    CardSpec spec = WorkReportCardSpec(s);
    const CardBinding<TWorkReportRecord> binding = Binding(s);
    binding.Declare(spec);
    const bool keptDescription =
        s.mode == QLatin1String("4") && showKeptDescription && !w.LongDescription.isEmpty();
    s.lastDescription = keptDescription ? w.LongDescription : rec.Descripcion.str();

    const int result = binding.Run(ctx.ui, spec, rec, OpeningState(s, rec));
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
