#include "workreports/work_report_listings.h"

#include "core/context.h"
#include "core/date_range.h"
#include "core/io_errors.h"
#include "core/lookups.h"
#include "core/report_charts.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/work_orders.h"
#include "masterdata/machines.h"
#include "platform/card.h"
#include "platform/date_text.h"
#include "platform/handover.h"
#include "platform/report.h"
#include "platform/week_graph.h"
#include "workreports/work_report_card.h"
#include "workreports/work_report_file.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gim {

namespace {

const QString kReportFolder = QStringLiteral("\\PARTES");

int ClampToInt(std::int64_t n)
{
    return static_cast<int>(std::clamp<std::int64_t>(n, INT_MIN, INT_MAX));
}

QString HoursText(std::int64_t minutes)
{
    return MinutesToHoursText(ClampToInt(minutes));
}

// "12 horas 5 min."
QString HoursAndMinutes(std::int64_t minutes)
{
    return QString::number(minutes / 60) + QStringLiteral(" horas ") + QString::number(minutes % 60) +
           QStringLiteral(" min.");
}

QString Euros(std::int64_t cents)
{
    return CentsToText(cents) + QStringLiteral(" Euros");
}

bool InRange(const State& st, const TWorkReportRecord& line)
{
    const QString day = line.dia.str();
    return day >= st.RangeStartWeek && day <= st.RangeEndWeek;
}

// The columns a line shares in both listings, from its hour type on: a store exit shows its unit cost
// as money, its units and its part; a delivery note its cost as money; any other line its minutes, its
// stop minutes and its order.
void AddLineColumns(ReportLineText& line, const TWorkReportRecord& r)
{
    const WorkReportLineKind kind = ClassifyWorkReportLine(r);
    line.Tab() << r.TIPOH;
    line.Tab() << r.Tipo;
    line.Tab();
    if (kind == WorkReportLineKind::StoreExit)
        line << CentsToText(r.Tinter.get());
    else
        line << r.Tinter.get();
    line.Tab();
    if (kind == WorkReportLineKind::DeliveryNote)
        line << CentsToText(r.Tparo.get());
    else
        line << r.Tparo.get();
    line.Tab();
    if (kind == WorkReportLineKind::StoreExit)
        line << r.SparePart;
    else
        line << r.Orden;
    line.Tab() << r.Descripcion;
}

// Caption, tab stops and the title line in size 12 bold, then an empty line.
std::shared_ptr<ReportDocument> NewListing(const State& st, const QString& title, std::vector<int> tabs)
{
    auto report =
        std::make_shared<ReportDocument>(QStringLiteral("PARTES DIARIOS DE ") + st.CurrentEnvironment);
    report->SetTabStops(tabs);
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QLatin1Char('\t') + title + st.CurrentEnvironment +
                    QLatin1Char('\t') + st.TodayText);
    report->AddLine(QStringLiteral("\r"));
    return report;
}

void ShowListing(Context& ctx, std::shared_ptr<ReportDocument> report)
{
    ctx.st.CurrentSubFolder = kReportFolder;
    report->saveSubFolder = kReportFolder;
    ctx.ui.ShowReport(std::move(report));
}

// The four closing lines of a machine or of the whole account ("TOTAL " before each name).
void AddCostLines(ReportDocument& report, const WorkReportTotals& t, const QString& prefix)
{
    report.AddLine(QStringLiteral("\t\t\t") + prefix + QStringLiteral("TIEMPO INTERVENCION   : \t") +
                   HoursAndMinutes(t.intervention));
    report.AddLine(QStringLiteral("\t\t\t") + prefix + QStringLiteral("COSTE Mano de OBRA      : \t") +
                   Euros(t.labour));
    report.AddLine(QStringLiteral("\t\t\t") + prefix + QStringLiteral("COSTE MATERIALES         : \t") +
                   Euros(t.materials));
    report.AddLine(QStringLiteral("\t\t\t") + prefix + QStringLiteral("COSTE ALBARANES          : \t") +
                   Euros(t.deliveryNotes));
}

template <std::size_t N> bool AnyOrEqual(const ShortString<N>& filter, const ShortString<N>& field)
{
    return filter == "*" || filter == field;
}

bool Selected(const State& st, const TWorkReportRecord& f, const TWorkReportRecord& r)
{
    if (!AnyOrEqual(f.Matricula, r.Matricula) || !AnyOrEqual(f.Codigo, r.Codigo) ||
        !AnyOrEqual(f.Orden, r.Orden) || !AnyOrEqual(f.TIPOH, r.TIPOH))
        return false;
    // The type typed is the start of the line's: "R" takes every repair.
    if (!(f.Tipo == "*") && r.Tipo.bytes().substr(0, f.Tipo.size()) != f.Tipo.bytes())
        return false;
    if (!InRange(st, r))
        return false;
    const auto atLeast = [](std::int32_t bound, std::int32_t value) { return bound == 0 || value >= bound; };
    return atLeast(f.Tparo.get(), r.Tparo.get()) && atLeast(f.Tinter.get(), r.Tinter.get());
}

// The week of the year a line's week code names (characters 4 and 5); nothing when it names none.
std::optional<int> LineWeek(const TWorkReportRecord& r)
{
    const std::optional<WeekParts> day = ParseWeekCode(r.dia.bytes());
    if (!day || day->week >= kGraphWeeks)
        return std::nullopt;
    return day->week;
}

void AddOrderHeading(ReportDocument& report, const TWorkOrderRecord& o)
{
    report.AddLine(QLatin1Char('\t') + o.Description.str() + QLatin1Char('\t') + o.Requester.str());
    report.AddLine(QStringLiteral("\tEstado : ") + o.State.str());
    report.AddLine(QStringLiteral("\tFecha Aviso - Hora  :  ") + o.NoticeDate.str() + QStringLiteral(" - ") +
                   o.NoticeHour.str());
    report.AddLine(QStringLiteral("\tFecha Inicio - Hora  :  ") + o.StartDate.str() + QStringLiteral(" - ") +
                   o.StartHour.str());
    report.AddLine(QStringLiteral("\tFecha Cierre - Hora :  ") + o.CloseDate.str() + QStringLiteral(" - ") +
                   o.CloseHour.str());
    report.AddLine(QStringLiteral("\t\t\tDetalle Apuntes"));
}

// The weekly evolution of the lines listed: weeks[w] holds their minutes, stops and delivery notes.
void AddWeeklyCharts(ReportDocument& report, const State& st, std::vector<TWeekGraphRecord>& weeks,
                     const WorkReportTotals& t, int firstWeek, int lastWeek)
{
    const int span = std::max(lastWeek - firstWeek, 1);
    if (span <= 1 || st.ActionCode == QLatin1String("O"))
        return;
    // A span of a whole year leaves no weeks to average over.
    const int a = span % kWeeksPerYear;
    if (a == 0)
        return;
    for (TWeekGraphRecord& w : weeks)
        w.Value3 = w.Value3.get() / 100; // whole euros
    const std::array<QString, 6> names{QString::fromUtf8("T Intervención: ") + HoursText(t.intervention / a),
                                       QStringLiteral("T. Paro: ") + HoursText(t.stop / a),
                                       CentsToText(t.deliveryNotes / a) + QString::fromUtf8(" € ALBARANES "),
                                       QStringLiteral(" "),
                                       QStringLiteral(" "),
                                       QStringLiteral(" ")};
    const auto word = [](std::int64_t n) {
        return static_cast<std::uint32_t>(std::clamp<std::int64_t>(n, 0, UINT32_MAX));
    };
    DrawWeeklyGraph(report, st, QString::fromUtf8("EVOLUCIÓN SEMANAL SERVICIO "),
                    WeekGraphStyle::PersonnelHours, names, word(t.intervention / a), weeks);
    const std::array<QString, 6> labels{QString::fromUtf8("T Intervención ") + HoursText(t.intervention),
                                        QStringLiteral("T. Paro") + HoursText(t.stop),
                                        QStringLiteral("Permisos ") + HoursText(t.nonProductive),
                                        QStringLiteral(" "),
                                        QStringLiteral(" "),
                                        QStringLiteral(" ")};
    ShowPieChart(report, st, QString::fromUtf8("EVOLUCIÓN SEMANAL SERVICIO"), labels,
                 {word(t.intervention), word(t.stop), word(t.nonProductive), 0, 0, 0});
}

// The order or budget of modes "O" and "S": asked by number and fetched from its file. The lines are
// those booked on it from the first week code on.
std::optional<TWorkOrderRecord> AskOrder(Context& ctx, TWorkReportRecord& filter)
{
    State& st = ctx.st;
    const bool budget = st.ActionCode == QLatin1String("S");
    const QString typed =
        budget ? ctx.ui.InputBox(QStringLiteral("Presupuestos OT"),
                                 QString::fromUtf8("Introduzca nº de Presupuesto"), QStringLiteral("0"))
               : ctx.ui.InputBox(QStringLiteral("Ordenes de trabajo"),
                                 QString::fromUtf8("Introduzca nº de OT"), QStringLiteral("0"));
    const std::int64_t number =
        ReadTypedNumber(st, typed, st.FileName(budget ? DataFile::RepairBudget : DataFile::WorkOrder));
    // A number outside the file fetches the placeholder of a missing order.
    const TWorkOrderRecord order = FetchWorkOrder(
        ctx, number < 0 || number > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(number));
    filter.Orden = QString::number(number);
    st.RangeStartWeek = QStringLiteral("01/01/1");
    st.RangeEndWeek = WeekCodeOf(ctx.clock.Now().date());
    return order;
}

} // namespace

std::int64_t WorkReportLabourCents(const Context& ctx, const TWorkReportRecord& line)
{
    const std::int64_t price = LookupHourPrice(ctx, line.Matricula.str(), line.TIPOH.str());
    return std::int64_t{line.Tinter.get()} * price / 60;
}

void WorkReportTotals::Add(const Context& ctx, const TWorkReportRecord& line)
{
    switch (ClassifyWorkReportLine(line)) {
    case WorkReportLineKind::StoreExit:
        materials += std::int64_t{line.Tparo.get()} * line.Tinter.get();
        break;
    case WorkReportLineKind::DeliveryNote:
        deliveryNotes += line.Tparo.get();
        break;
    case WorkReportLineKind::Leave:
        nonProductive += line.Tinter.get();
        break;
    case WorkReportLineKind::Work:
        intervention += line.Tinter.get();
        stop += line.Tparo.get();
        labour += WorkReportLabourCents(ctx, line);
        break;
    }
}

void CostAccountAnalysis(Context& ctx)
{
    State& st = ctx.st;
    if (!PickWeekRange(ctx))
        return;
    const QString account = ctx.ui.InputBox(QStringLiteral("ANALISIS DE COSTES"),
                                            QStringLiteral("CODIGO DE COSTE :"), QStringLiteral("*"));
    const bool anyAccount = account == QLatin1String("*");
    const std::optional<std::vector<TMachineRecord>> machines = KeyedFile<MachineFile>(ctx).Read();
    if (!machines)
        return;
    // The lines of the range by machine, in list order: one pass over the list, not one per machine.
    std::unordered_map<std::string_view, std::vector<const TWorkReportRecord*>> byMachine;
    for (const WorkReportEntry& e : LoadedWorkReports(ctx))
        if (!WorkReportFile::Deleted(e.rec) && InRange(st, e.rec))
            byMachine[e.rec.Codigo.bytes()].push_back(&e.rec);

    auto report = NewListing(st, QStringLiteral("   INFORME ACTUACIONES MTO.  "),
                             {10, 50, 100, 140, 190, 220, 250, 280, 320, 360});
    report->AddLine(QStringLiteral("\tCUENTA DE COSTE : ") + account);
    report->SetFontSize(10);
    report->SetStyle(FontStyle::Underline);
    report->AddLine(
        QString::fromUtf8("\tMatríc\tMáquina\tCuenta\tFecha\tTipH\tTipM\tTI(mn)\tTP/Und\tOT/ITEM\t"
                          "Descripción"));
    report->SetFontSize(8);
    report->SetStyle(FontStyle::Normal);
    WorkReportTotals all;
    ReportLineText line;
    WeekCodeDates dates;
    for (const TMachineRecord& m : *machines) {
        if (MachineFile::Deleted(m) || !(anyAccount || m.Cuenta == account))
            continue;
        const auto found = byMachine.find(m.Codigo.bytes());
        if (found == byMachine.end())
            continue;
        WorkReportTotals machine;
        for (const TWorkReportRecord* r : found->second) {
            line.Tab() << r->Matricula;
            line.Tab() << r->Codigo;
            line.Tab() << m.Cuenta;
            line.Tab() << dates.Text(r->dia.bytes());
            AddLineColumns(line, *r);
            line.AddTo(*report);
            machine.Add(ctx, *r);
            all.Add(ctx, *r);
        }
        report->AddLine(QString(110, QLatin1Char('-')));
        report->SetStyle(FontStyle::Bold);
        AddCostLines(*report, machine, QString());
        report->SetStyle(FontStyle::Normal);
    }
    if (!anyAccount) {
        report->SetStyle(FontStyle::Bold);
        AddCostLines(*report, all, QStringLiteral("TOTAL "));
        report->SetStyle(FontStyle::Normal);
    }
    ShowListing(ctx, std::move(report));
}

void WorkOrderReport(Context& ctx)
{
    State& st = ctx.st;
    TWorkReportRecord filter = AnyWorkReportFilter();
    std::optional<TWorkOrderRecord> order;
    QString title;
    if (st.ActionCode == QLatin1String("2")) {
        filter.dia = WeekCodeOf(ctx.clock.Now().date());
        if (OpenWorkReportWindow(ctx, filter) != CardResult::Save || !PickWeekRange(ctx))
            return;
        title = QStringLiteral("   LISTADO SELECTIVO PARTES  ");
    } else if (st.ActionCode == QLatin1String("O") || st.ActionCode == QLatin1String("S")) {
        order = AskOrder(ctx, filter);
        title = st.ActionCode == QLatin1String("O") ? QStringLiteral("   ORDEN DE TRABAJO  ")
                                                    : QStringLiteral("   PRESUPUESTO DE REPARACION  ");
    } else {
        return;
    }

    auto report = NewListing(st, title, {10, 50, 100, 150, 180, 210, 250, 290, 350});
    report->SetFontSize(10);
    if (order)
        AddOrderHeading(*report, *order);
    // A search of store exits heads its columns with units and parts.
    const bool storeLines = filter.Tipo.bytes().starts_with("AL");
    report->SetStyle(FontStyle::Underline);
    report->AddLine(QString::fromUtf8("\tMatríc\tMáquina\tFecha\tTipH\tTipM\tTI(mn)\t") +
                    (storeLines ? QStringLiteral("Und") : QStringLiteral("TP/Un")) + QLatin1Char('\t') +
                    (storeLines ? QStringLiteral("ITEM") : QStringLiteral("OTrabajo")) +
                    QString::fromUtf8("\tDescripción"));
    report->SetFontSize(8);
    report->SetStyle(FontStyle::Normal);

    WorkReportTotals totals;
    std::vector<TWeekGraphRecord> weeks(kGraphWeeks);
    int firstWeek = INT_MAX;
    int lastWeek = INT_MIN;
    ReportLineText line;
    WeekCodeDates dates;
    for (const WorkReportEntry& e : LoadedWorkReports(ctx)) {
        const TWorkReportRecord& r = e.rec;
        // A line deleted since the last sort still sits in the list with its order.
        if (WorkReportFile::Deleted(r) || !Selected(st, filter, r))
            continue;
        line.Tab() << r.Matricula;
        line.Tab() << r.Codigo;
        line.Tab() << dates.Text(r.dia.bytes());
        AddLineColumns(line, r);
        line.AddTo(*report);
        totals.Add(ctx, r);
        if (const std::optional<int> week = LineWeek(r)) {
            TWeekGraphRecord& w = weeks[static_cast<std::size_t>(*week)];
            w.Value1 = w.Value1.get() + r.Tinter.get();
            if (!r.Tipo.bytes().starts_with("AL"))
                w.Value2 = w.Value2.get() + r.Tparo.get();
            if (r.Tipo == "ALB")
                w.Value3 = w.Value3.get() + r.Tparo.get();
            firstWeek = std::min(firstWeek, *week);
            lastWeek = std::max(lastWeek, *week);
        }
    }

    report->AddLine(QStringLiteral("\r"));
    report->SetFontSize(10);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\t\t\tTOTAL TIEMPO INTERVENCION   : \t") +
                    HoursAndMinutes(totals.intervention));
    report->AddLine(QStringLiteral("\t\t\tTOTAL TIEMPO NO PRODUCTIVO: \t") +
                    HoursAndMinutes(totals.nonProductive));
    report->AddLine(QStringLiteral("\t\t\tTOTAL COSTE Mano de OBRA      : \t") + Euros(totals.labour));
    report->AddLine(QStringLiteral("\t\t\tTOTAL COSTE MATERIALES         : \t") + Euros(totals.materials));
    report->AddLine(QStringLiteral("\t\t\tTOTAL COSTE ALBARANES          : \t") +
                    Euros(totals.deliveryNotes));
    report->AddLine(QStringLiteral("\t\t\tTOTAL COSTE ORDEN TRABAJO  : \t") +
                    Euros(totals.labour + totals.materials + totals.deliveryNotes));
    report->SetStyle(FontStyle::Normal);
    if (firstWeek <= lastWeek)
        AddWeeklyCharts(*report, st, weeks, totals, firstWeek, lastWeek);
    ShowListing(ctx, std::move(report));
}

void RegisterWorkReportHandover(Context& ctx, HandoverRegistry& handover)
{
    // The columns of the selective listing of lines: the date as "dd/mm/yy", the minutes (or unit cost),
    // the stop (or units, or delivery-note cost), and one column that holds the order, or the part of a
    // store exit.
    HandoverMap& map = handover.Map(EditItem::Partes);
    map.fields = {{1, "Matricula", 6},       {2, "Codigo", 8}, {3, "dia", 10},
                  {4, "TIPOH", 3},           {5, "Tipo", 3},   {6, "Tinter", kNumberText},
                  {7, "Tparo", kNumberText}, {8, "Item", 16},  {9, "Descripcion", 48}};
    map.clearedOnOpen = {"Matricula", "Codigo"};
    map.exchangeFile = "_PD.txt";
    handover.SetDeliver(EditItem::Partes, [&ctx](const HandoverFields& fields) {
        // A row is a whole line: nothing of the line handed over before stays.
        TWorkReportRecord& input = WorkReports(ctx).WorkReportInput;
        input = TWorkReportRecord{};
        const auto field = [&fields](const char* name) {
            const auto found = fields.find(QString::fromLatin1(name));
            return found == fields.end() ? std::optional<QString>() : std::optional<QString>(found->second);
        };
        if (const auto tipo = field("Tipo"))
            input.Tipo = *tipo;
        TWorkReportRecord kind{};
        kind.Tipo = input.Tipo;
        const WorkReportLineKind lineKind = ClassifyWorkReportLine(kind);
        // Money columns read back as cents, the others as whole numbers.
        const auto amount = [](const QString& text, bool money) {
            const Int64Parse p = money ? ParseCents(text) : ParseInt64(text);
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(p.value, INT32_MIN, INT32_MAX));
        };
        if (const auto v = field("Matricula"))
            input.Matricula = *v;
        if (const auto v = field("Codigo"))
            input.Codigo = *v;
        if (const auto v = field("dia")) {
            const QDate date = ParseTypedDate(*v);
            input.dia = date.isValid() ? WeekCodeOf(date) : *v;
        }
        if (const auto v = field("TIPOH"))
            input.TIPOH = *v;
        if (const auto v = field("Tinter"))
            input.Tinter = amount(*v, lineKind == WorkReportLineKind::StoreExit);
        if (const auto v = field("Tparo"))
            input.Tparo = amount(*v, lineKind == WorkReportLineKind::DeliveryNote);
        if (const auto v = field("Item")) {
            const bool part = lineKind == WorkReportLineKind::StoreExit;
            input.SparePart = part ? *v : QString();
            input.Orden = part ? QString() : *v;
        }
        if (const auto v = field("Descripcion"))
            input.Descripcion = *v;
    });
    handover.SetClear(EditItem::Partes, [&ctx](const QStringList& names) {
        TWorkReportRecord& input = WorkReports(ctx).WorkReportInput;
        if (names.contains(QLatin1String("Matricula")))
            input.Matricula = "";
        if (names.contains(QLatin1String("Codigo")))
            input.Codigo = "";
    });
}

} // namespace gim
