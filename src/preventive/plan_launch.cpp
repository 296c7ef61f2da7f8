#include "preventive/plan_launch.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/week_codes.h"
#include "platform/report.h"
#include "preventive/annual_plan.h"
#include "preventive/gama_times.h"
#include "preventive/plan_definition.h"
#include "preventive/plan_time.h"
#include "records/planned_repair_record.h"

#include <algorithm>
#include <memory>
#include <span>

namespace gim {

namespace {

// The route's title stands at column 28, the rule under it as long as its text.
constexpr const char* kRouteTitle = "----------                  RUTA DE MANTENIMIENTO";
constexpr int kRouteTitleColumn = 28;
constexpr int kRouteTitleLength = 21;

// A printed route breaks its page before a machine once past line 52, and inside a machine past line 58.
constexpr int kRouteMachineLines = 52;
constexpr int kRoutePageLines = 58;
// Printed route columns, under "CODIGO", "DENOMINACION" and "*".
constexpr int kRouteNameColumn = 14;
constexpr int kRouteNameLength = 28;
constexpr int kRouteMarkColumn = 42;
constexpr int kMinutesPerHour = 60;
constexpr int kLastWeekOfYear = kWeeksPerYear;

// Asks the analysis week into WorkWeek: a week past the year's last lists the last.
void AskAnalysisWeek(Context& ctx, const QString& caption, const QString& prompt)
{
    State& st = ctx.st;
    const std::int64_t week =
        ReadTypedNumber(st, ctx.ui.InputBox(caption, prompt, st.WeekText), st.FileName(DataFile::Plan));
    // Below 0 the week would wrap round in its 16 bits.
    st.WorkWeek = static_cast<std::uint16_t>(std::clamp<std::int64_t>(week, 0, kLastWeekOfYear));
}

// Asks the four-digit analysis year into WorkYear, held inside the horizon.
void AskAnalysisYear(Context& ctx, const QString& caption, const QString& prompt)
{
    State& st = ctx.st;
    const std::int64_t year =
        ReadTypedNumber(st, ctx.ui.InputBox(caption, prompt, st.YearText), st.FileName(DataFile::Plan));
    SetAnalysisYear(ctx, static_cast<int>(std::clamp<std::int64_t>(year - kYearOffset, -1, 0xFFFF)));
}

// The texts of a routine sheet and of its pending repairs, on the screen and on the printer.
struct SheetTexts
{
    const char* firmPrefix;
    const char* title;
    const char* underline;
    const char* columns;
    const char* sectionTitle;
    const char* sectionRule;
    const char* operationMark;
    const char* operationSeparator;
    const char* assigned;
    const char* supervised;
    const char* repairsTitle;
    const char* repairsColumns;
    const char* noRepairs;
    const char* repairIndent;
    int stateWidth;
};

constexpr SheetTexts kWindowSheet{
    "\t",
    "\t-----------                 GAMA DE MANTENIMIENTO",
    "\t                             ***********************",
    "\tMáquina    Frec   S/Año               DENOMINACION                    ",
    "\t                        DESCRIPCION DE LAS REVISIONES.",
    "\t                        ======================",
    "\t",
    "  [   ] \t",
    "\tGAMA MTO. ASIGNADA A:                                      TIEMPO EMPLEADO :",
    "\tSUPERVISADO POR.....:",
    "\t    REPARACIONES PENDIENTES DE LA MAQUINA",
    "\t   EST     ESP           DESCRIPCIÓN",
    "\t    No existen reparaciones pendientes",
    "\t   ",
    8,
};

constexpr SheetTexts kPrinterSheet{
    "",
    "----------                 GAMA DE MANTENIMIENTO",
    "                            ****************************",
    " Maquina   Frec  S/Año                  DENOMINACION                    ",
    "                        DESCRIPCION DE LAS REVISIONES.",
    "                        ======================",
    "",
    " [   ] ",
    "GAMA MTO. ASIGNADA A:                                      TIEMPO EMPLEADO :",
    "SUPERVISADO POR.....:",
    "    REPARACIONES PENDIENTES DE LA MAQUINA",
    "     EST      ESP           DESCRIPCIÓN",
    "    No existen reparaciones pendientes",
    "     ",
    9,
};

constexpr int kFirmGap = 90;
constexpr int kSheetRule = 100;
constexpr int kSpecialityWidth = 14;
constexpr int kSheetFontSize = 10;
constexpr int kOperationFontSize = 8;

// The planned repairs of the plan's machines not executed yet, read once for a whole launch.
class PendingRepairTable
{
public:
    explicit PendingRepairTable(Context& ctx)
    {
        for (TPlannedRepairRecord& repair :
             ReadRecords<TPlannedRepairRecord>(ctx, ctx.st.FileName(DataFile::PlannedRepair), Report::Silent)
                 .value_or(std::vector<TPlannedRepairRecord>{})) {
            if (!(repair.State == "E"))
                m_repairs.push_back(std::move(repair));
        }
        // Each machine's repairs together, in the file's order.
        std::stable_sort(m_repairs.begin(), m_repairs.end(),
                         [](const auto& a, const auto& b) { return a.Code < b.Code; });
    }
    std::span<const TPlannedRepairRecord> Of(const TMachineRecord& machine) const
    {
        const auto [first, last] = std::equal_range(
            m_repairs.begin(), m_repairs.end(), machine.Codigo, [](const auto& a, const auto& b) {
                if constexpr (std::is_same_v<std::decay_t<decltype(a)>, TPlannedRepairRecord>)
                    return a.Code < b;
                else
                    return a < b.Code;
            });
        return {first, last};
    }

private:
    std::vector<TPlannedRepairRecord> m_repairs;
};

// What a launch's routine sheets are made from, and the minutes of the sheets it wrote.
struct SheetSources
{
    Context& ctx;
    const GamaTimeTable& operations;
    const PendingRepairTable& repairs;
    std::uint32_t& sheetMinutes;
};

// Where a routine sheet goes: the report window or the printer, each with its own texts.
struct SheetTarget
{
    const SheetSources& sources;
    const SheetTexts& texts;
    ReportDocument* report = nullptr; // nullptr: the printer
    Context& ctx = sources.ctx;

    void Put(const QString& text) const
    {
        if (report)
            report->AddLine(text);
        else
            ctx.ui.TextPrinter().Line(text == QLatin1String("\r") ? QString() : text);
    }
    void Put(const char* text) const { Put(QString::fromUtf8(text)); }
    void FontSize(int points) const
    {
        if (report)
            report->SetFontSize(points);
    }
};

// The machine's planned repairs not executed yet, under the routine sheet.
void ListPendingRepairs(const SheetTarget& target, const TMachineRecord& machine)
{
    const SheetTexts& texts = target.texts;
    target.Put(texts.repairsTitle);
    target.Put(QStringLiteral("\r"));
    target.Put(texts.repairsColumns);
    target.Put(QString(kSheetRule, QLatin1Char('-')));
    const std::span<const TPlannedRepairRecord> repairs = target.sources.repairs.Of(machine);
    for (const TPlannedRepairRecord& repair : repairs) {
        target.Put(QString::fromUtf8(texts.repairIndent) +
                   repair.State.str().leftJustified(texts.stateWidth) +
                   repair.Specialty.str().leftJustified(kSpecialityWidth) + repair.Description.str());
    }
    if (repairs.empty())
        target.Put(texts.noRepairs);
}

// The routine sheet of a machine for the routine done at `due`: the operations it covers with their boxes
// to tick, then the machine's pending repairs. Nothing when no operation of the routine has minutes.
void WriteRoutineSheet(const SheetTarget& target, const TMachineRecord& machine, const QString& due)
{
    const State& st = target.ctx.st;
    const SheetTexts& texts = target.texts;
    const FrequencyCode frequency(due);
    std::uint32_t total = 0;
    bool headed = false;
    for (const TOperationRecord& operation :
         target.sources.operations.Operations(MachineCode(machine.Codigo.str()))) {
        if (!OnRoutineSheet(frequency, operation))
            continue;
        if (!headed) {
            headed = true;
            target.FontSize(kSheetFontSize);
            target.Put(QString::fromUtf8(texts.firmPrefix) + st.FirmName +
                       QString(kFirmGap, QLatin1Char(' ')) + st.CurrentEnvironment);
            target.Put(texts.title);
            target.Put(texts.underline);
            target.Put(QStringLiteral("\r"));
            target.Put(QString::fromUtf8(texts.columns) + st.DayText + QLatin1Char('-') + st.MonthText +
                       QLatin1Char('-') + st.YearText);
            target.Put(QString(kSheetRule, QLatin1Char('-')));
            target.Put(QString::fromUtf8(texts.firmPrefix) + machine.Codigo.str() + QStringLiteral("  ") +
                       due + QStringLiteral("    ") + QString::number(st.WorkWeek) + QLatin1Char('/') +
                       QString::number(st.WorkYear) + QStringLiteral("       ") + machine.Denominacion.str());
            target.Put(QStringLiteral("\r"));
            target.Put(QStringLiteral("\r"));
            target.Put(texts.sectionTitle);
            target.Put(texts.sectionRule);
            target.Put(QStringLiteral("\r"));
        }
        if (operation.Minutes.get() == 0)
            continue;
        target.FontSize(kOperationFontSize);
        target.Put(QString::fromUtf8(texts.operationMark) + operation.Frequency.str() +
                   QStringLiteral(" / ") + operation.State.str() +
                   QString::fromUtf8(texts.operationSeparator) + operation.Description.str());
        total += operation.Minutes.get();
    }
    if (total == 0)
        return;
    target.FontSize(kSheetFontSize);
    target.Put(QStringLiteral("\r"));
    target.Put(texts.assigned);
    target.Put(QStringLiteral("\r"));
    target.Put(texts.supervised);
    for (int i = 0; i < 3; ++i)
        target.Put(QStringLiteral("\r"));
    target.sources.sheetMinutes += total;
    ListPendingRepairs(target, machine);
    target.Put(QStringLiteral("\f"));
    // On paper the form feed is the sheet's end: a blank line after it would start a sheet of its own.
    if (target.report)
        target.Put(QStringLiteral("\r"));
}

// The routine sheet in the launch's report window.
void WriteGamaSheet(const SheetSources& sources, ReportDocument& report, const TMachineRecord& machine,
                    const QString& due)
{
    WriteRoutineSheet(SheetTarget{sources, kWindowSheet, &report}, machine, due);
}

// The same sheet on the printer.
void PrintRangeSheet(const SheetSources& sources, const TMachineRecord& machine, const QString& due)
{
    WriteRoutineSheet(SheetTarget{sources, kPrinterSheet, nullptr}, machine, due);
}

} // namespace

struct RangeSheetPrinter::Sources
{
    explicit Sources(Context& ctx) : operations(ctx), repairs(ctx), sheets{ctx, operations, repairs, minutes}
    {
    }
    GamaTimeTable operations;
    PendingRepairTable repairs;
    std::uint32_t minutes = 0;
    SheetSources sheets;
};

RangeSheetPrinter::RangeSheetPrinter(Context& ctx) : m_sources(std::make_unique<Sources>(ctx))
{
}

RangeSheetPrinter::~RangeSheetPrinter() = default;

void RangeSheetPrinter::Print(const TMachineRecord& machine, const QString& due)
{
    PrintRangeSheet(m_sources->sheets, machine, due);
}

namespace {

// One route being listed: the window, the printer's line counter and the totals.
struct MaintenanceRoute
{
    QString week;
    QString year;
    QString speciality;
    std::shared_ptr<ReportDocument> report;
    bool printing = false;
    int lines = 0;
    std::uint32_t minutes = 0;
};

void NewRoutePage(Context& ctx, MaintenanceRoute& route)
{
    ctx.ui.TextPrinter().NewPage();
    route.lines = PrintRouteHeader(ctx, route.week, route.year, route.speciality);
}

void PrintRouteLine(Context& ctx, MaintenanceRoute& route, const QString& line)
{
    ctx.ui.TextPrinter().Line(line);
    ++route.lines;
}

// The machine's operations of the route's speciality that a routine done at `due` covers: none, and the
// machine is left out of the route.
void ListRouteMachine(Context& ctx, MaintenanceRoute& route, const GamaTimeTable& operations,
                      const TMachineRecord& machine, const QString& due)
{
    const MachineCode code(machine.Codigo.str());
    const FrequencyCode frequency(due);
    bool listed = false;
    std::uint32_t machineMinutes = 0;
    for (const TOperationRecord& operation : operations.Operations(code)) {
        if (!OnRoutineSheet(frequency, operation))
            continue;
        if (route.speciality != QLatin1String("#") && operation.Speciality.str() != route.speciality)
            continue;
        if (!listed) {
            listed = true;
            route.report->AddLine(QLatin1Char('\t') + code.text + QLatin1Char('\t') +
                                  machine.Denominacion.str());
            if (route.printing) {
                if (route.lines > kRouteMachineLines)
                    NewRoutePage(ctx, route);
                PrintRouteLine(ctx, route, QString());
                PrintRouteLine(ctx, route,
                               code.text.leftJustified(kRouteNameColumn) +
                                   machine.Denominacion.str().left(kRouteNameLength));
            }
        }
        route.report->AddLine(QStringLiteral("\t\t") + operation.Frequency.str() + QStringLiteral(" / ") +
                              operation.State.str() + QLatin1Char('\t') + operation.Description.str());
        if (route.printing) {
            if (route.lines > kRoutePageLines)
                NewRoutePage(ctx, route);
            PrintRouteLine(ctx, route,
                           QString(kRouteMarkColumn, QLatin1Char(' ')) + QStringLiteral("*  ") +
                               operation.Frequency.str().leftJustified(2) + QStringLiteral(" / ") +
                               operation.State.str().leftJustified(2) + QStringLiteral("  ") +
                               operation.Description.str());
        }
        machineMinutes += operation.Minutes.get();
    }
    route.minutes += machineMinutes;
}

} // namespace

WeekWindow AnalysisWeekWindow(int analysisWeek, int margin, int planWeeks)
{
    WeekWindow window;
    window.first = analysisWeek - margin >= 1 ? analysisWeek - margin : 0;
    window.last = analysisWeek + margin <= planWeeks ? analysisWeek + margin : planWeeks;
    // Nothing of the window left inside the horizon, or a negative margin: no week at all.
    if (window.first > window.last)
        window = WeekWindow{};
    return window;
}

void SetAnalysisYear(Context& ctx, int typedYear)
{
    State& st = ctx.st;
    if (typedYear >= st.LastYear) {
        st.WorkYear = st.LastYear;
        ctx.ui.ShowMessage(QStringLiteral("PLANING FINALIZADO. CREAR NUEVO ENTORNO"));
    } else if (typedYear < st.FirstYear) {
        st.WorkYear = st.FirstYear;
    } else {
        st.WorkYear = static_cast<std::uint16_t>(typedYear);
    }
}

int PrintRouteHeader(Context& ctx, const QString& week, const QString& year, const QString& speciality)
{
    LinePrinter& printer = ctx.ui.TextPrinter();
    const QStringList lines{
        QString::fromLatin1(kRouteTitle),
        QString(kRouteTitleColumn, QLatin1Char(' ')) + QString(kRouteTitleLength, QLatin1Char('*')) +
            QStringLiteral("          FECHA : ") + ctx.st.TodayText,
        QString(),
        QStringLiteral("SEMANA: ") + week + QStringLiteral(" / ") + year +
            QStringLiteral("         ESPECIALIDAD: ") + speciality,
        QString(),
        QStringLiteral("CODIGO        DENOMINACION                *  FRC - ESTADO /  DESCRIPCION"),
        QString(80, QLatin1Char('-')),
    };
    for (const QString& line : lines)
        printer.Line(line);
    return static_cast<int>(lines.size());
}

int StartRoutePrinting(Context& ctx, const QString& week, const QString& year, const QString& speciality)
{
    if (!ctx.ui.TextPrinter().Begin())
        return 0;
    const int lines = PrintRouteHeader(ctx, week, year, speciality);
    ctx.st.Plan1SFlag = 1;
    return lines;
}

void LaunchWeeklyPlan(Context& ctx)
{
    State& st = ctx.st;
    QString margin = QStringLiteral("2");
    const std::optional<std::vector<TPlanRecord>> plan = KeyedFile<PlanFile>(ctx).Read();
    if (!plan)
        return;
    st.AnswerCode = QStringLiteral("N");
    st.OutputCode.clear();
    AskAnalysisWeek(ctx, QStringLiteral("LANZAMIENTO DE PLANING"),
                    QStringLiteral("SEMANA DE ANALISIS (0 a 52)"));
    AskAnalysisYear(ctx, QStringLiteral("AñO DE ANALISIS"),
                    QString::number(st.FirstYear + kYearOffset) + QStringLiteral(" a ") +
                        QString::number(st.LastYear + kYearOffset));
    LoadFirmAndWeekAgenda(ctx);

    const QString caption = QStringLiteral("PLAN MANTENIMIENTO");
    st.AnswerCode =
        ctx.ui.InputBox(caption, QStringLiteral("PLAN (P) / GAMAS (G) / IMPRESIÓN (I)"), QStringLiteral("P"))
            .left(2);
    const bool sheets = st.AnswerCode == QLatin1String("G");
    const bool printing = st.AnswerCode == QLatin1String("I") && ctx.ui.TextPrinter().Begin();
    const bool listing = st.AnswerCode == QLatin1String("P") || st.AnswerCode == QLatin1String("I");
    if (st.AnswerCode == QLatin1String("P"))
        margin = ctx.ui.InputBox(caption, QStringLiteral("Nº Semanas de Margen"), QStringLiteral("3"));
    st.OutputCode = QStringLiteral("P");
    const std::int64_t marginWeeks = ReadTypedNumber(st, margin, st.FileName(DataFile::Plan));

    const int analysisWeek = AbsoluteWeek(st, st.WorkYear, st.WorkWeek);
    const QString weekOfYear = QString::number(SplitAbsoluteWeek(st, analysisWeek).week);
    const QString year = QString::number(st.WorkYear + kYearOffset);
    auto report = std::make_shared<ReportDocument>(QStringLiteral("PLANING DE ") + st.CurrentEnvironment);
    report->SetTabStops({5, 65, 290, 320, 350, 380, 410, 440, 470, 500});
    if (listing) {
        report->SetFontSize(13);
        report->SetBold(true);
        report->AddLine(QLatin1Char('\t') + st.FirmName +
                        QStringLiteral("          PLANIFICACIÓN DE MANTENIMIENTO   ") +
                        st.CurrentEnvironment);
        report->AddLine(QStringLiteral(" "));
        report->AddLine(QStringLiteral("\t\t         AÑO :") + year + QStringLiteral("\t\t\tSEMANAS"));
        report->SetBold(false);
        report->SetFontSize(11);
        report->AddLine(QStringLiteral("\r"));
    }
    const WeekWindow window = AnalysisWeekWindow(
        analysisWeek, static_cast<int>(std::clamp<std::int64_t>(marginWeeks, -1, kWeeksPerYear)),
        st.PlanWeeks);
    QString header = QStringLiteral("\tCODIGO\tMAQUINA");
    for (int week = window.first; week <= window.last; ++week)
        header += QLatin1Char('\t') + QString::number(SplitAbsoluteWeek(st, week).week);
    if (listing) {
        report->SetUnderline(true);
        report->AddLine(header + QStringLiteral("\tT.Prev./ ") + weekOfYear);
        report->SetUnderline(false);
        report->AddLine(QStringLiteral("\r"));
    }

    const GamaTimeTable operations(ctx);
    const PendingRepairTable repairs(ctx);
    std::uint32_t sheetMinutes = 0;
    const SheetSources sheetSources{ctx, operations, repairs, sheetMinutes};
    std::uint32_t total = 0;
    const MachineIndex machines(ctx);
    for (const TPlanRecord& entry : *plan) {
        const TMachineRecord machine = machines.Find(entry.Code);
        const MachineCode code(machine.Codigo.str());
        QString line =
            QLatin1Char('\t') + code.text + QLatin1Char('\t') + machine.Denominacion.str().left(30);
        std::uint32_t weekMinutes = 0;
        if (!(machine.Disponible == "SI")) {
            line += QStringLiteral("\tMÁQUINA NO OPERATIVA");
        } else {
            for (int week = window.first; week <= window.last; ++week) {
                QString due = PlanFrequencyDue(st, entry.StartWeek.get(), week);
                const std::uint32_t minutes = operations.Sum(code, FrequencyCode(due)).gama;
                if (week == analysisWeek) {
                    if (printing && due != QLatin1String(kNothingDue) && minutes != 0)
                        PrintRangeSheet(sheetSources, machine, due);
                    if (sheets)
                        WriteGamaSheet(sheetSources, *report, machine, due);
                    weekMinutes = minutes;
                }
                if (minutes == 0)
                    due = QString::fromLatin1(kNothingDue);
                line += QLatin1Char('\t') + due;
            }
            if (weekMinutes != 0)
                line += QStringLiteral("\t\t") + QString::number(weekMinutes);
        }
        if (listing) {
            report->SetBold(weekMinutes != 0);
            report->AddLine(line);
            report->SetBold(false);
        }
        total += weekMinutes;
    }
    if (printing) {
        ctx.ui.TextPrinter().End();
        return;
    }
    if (st.AnswerCode != QLatin1String("P") && !sheets)
        return;
    report->AddLine(QStringLiteral("\r"));
    report->SetBold(true);
    report->AddLine(QStringLiteral("\t\tTIEMPO TOTAL PLANIFICADO EN LA SEMANA ") + weekOfYear +
                    QLatin1Char('/') + year + QStringLiteral("  : ") +
                    QString::number(total / kMinutesPerHour) + QStringLiteral(" h ") +
                    QString::number(total % kMinutesPerHour) + QStringLiteral(" m"));
    ctx.ui.ShowReport(report);
}

void LaunchMaintenanceRoutes(Context& ctx)
{
    State& st = ctx.st;
    const std::optional<std::vector<TPlanRecord>> plan = KeyedFile<PlanFile>(ctx).Read();
    if (!plan)
        return;
    st.AnswerCode = QStringLiteral("N");
    st.OutputCode.clear();
    const QString caption = QStringLiteral("RUTAS DE MANTENIMIENTO");
    AskAnalysisWeek(ctx, caption, QStringLiteral("INTRODUZCA SEMANA DE ANALISIS (0 a 52)"));
    AskAnalysisYear(ctx, caption,
                    QStringLiteral("INTRODUZCA AÑO DE LA SEMANA DE ANALISIS (") +
                        QString::number(st.FirstYear + kYearOffset) + QStringLiteral(" a ") +
                        QString::number(st.LastYear + kYearOffset) + QStringLiteral("): "));
    const QString section =
        ctx.ui.InputBox(caption, QStringLiteral("INTRODUZCA SECCIÓN "), QStringLiteral("*"));

    MaintenanceRoute route;
    route.week = QString::number(st.WorkWeek);
    route.year = QString::number(st.WorkYear + kYearOffset);
    route.speciality =
        ctx.ui.InputBox(caption, QStringLiteral("INTRODUZCA ESPECIALIDAD DE LA RUTA"), QStringLiteral("#"));
    st.OutputCode = QStringLiteral("P");
    st.AnswerCode =
        ctx.ui.InputBox(caption, QStringLiteral("DESEA IMPRIMIR LAS OPERACIONES"), QStringLiteral("N"))
            .left(2);
    if (st.AnswerCode == QLatin1String("S")) {
        route.lines = StartRoutePrinting(ctx, route.week, route.year, route.speciality);
        route.printing = route.lines > 0;
    }

    route.report = std::make_shared<ReportDocument>(caption);
    route.report->SetTabStops({5, 65, 290, 350});
    route.report->SetFontSize(13);
    route.report->SetBold(true);
    route.report->AddLine(QStringLiteral("              RUTAS DE MANTENIMIENTO "));
    route.report->SetFontSize(10);
    route.report->AddLine(QStringLiteral("\tSemana ") + route.week + QStringLiteral(" del Año ") +
                          route.year);
    route.report->AddLine(QStringLiteral("\tEspecialidad ") + route.speciality);
    route.report->SetBold(false);
    route.report->AddLine(QStringLiteral("\r"));
    route.report->SetUnderline(true);
    route.report->AddLine(QStringLiteral("\tCódigo\tMÁQUINA\tFR/EST\tDESCRIPCION"));
    route.report->SetUnderline(false);

    const GamaTimeTable operations(ctx);
    const int analysisWeek = AbsoluteWeek(st, st.WorkYear, st.WorkWeek);
    const MachineIndex machines(ctx);
    for (const TPlanRecord& entry : *plan) {
        const TMachineRecord machine = machines.Find(entry.Code);
        const QString due = PlanFrequencyDue(st, entry.StartWeek.get(), analysisWeek);
        if (due == QLatin1String(kNothingDue))
            continue;
        if (section != QLatin1String("*") && !entry.Code.str().startsWith(section))
            continue;
        ListRouteMachine(ctx, route, operations, machine, due);
    }

    const QString hours = QString::number(route.minutes / kMinutesPerHour);
    const QString minutes = QString::number(route.minutes % kMinutesPerHour);
    route.report->AddLine(QStringLiteral("\r"));
    route.report->SetBold(true);
    route.report->AddLine(QStringLiteral("\tTIEMPO TOTAL ESTIMADO: ") + hours + QStringLiteral("  Hr.") +
                          minutes + QStringLiteral("  Mn."));
    if (route.printing) {
        LinePrinter& printer = ctx.ui.TextPrinter();
        printer.Line(QString());
        printer.Line(QStringLiteral("                        TIEMPO TOTAL ESTIMADO: ") + hours +
                     QStringLiteral(" Hr. ") + minutes + QStringLiteral("  Mn."));
        if (route.speciality.startsWith(QLatin1Char('$'))) {
            printer.Line(QString());
            printer.Line(QStringLiteral("CONTROL DE EJECUCION DE GAMAS SEMANALES ESPECIALES"));
            printer.Line(QStringLiteral("EFECTUAR LAS LECTURAS A LAS 12 A.M. DEL MISMO DIA"));
        }
        printer.End();
    }
    ctx.ui.ShowReport(route.report);
}

} // namespace gim
