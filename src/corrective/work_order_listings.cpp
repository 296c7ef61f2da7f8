#include "corrective/work_order_listings.h"

#include "core/context.h"
#include "core/date_range.h"
#include "core/texts.h"
#include "core/week_codes.h"
#include "corrective/work_orders.h"
#include "platform/date_text.h"
#include "platform/handover.h"
#include "platform/report.h"

#include <QHash>
#include <QStringBuilder>
#include <memory>

namespace gim {

namespace {

// Listing columns: 1 number, 2 Refex, 3 state, 4 notice date, 5 notice hour, 6 start date, 7 start
// hour, 8 close date, 9 close hour, 10 requester, 11 machine, 12 minutes booked, 13 type, 14 description.
HandoverMap ListingHandoverMap()
{
    HandoverMap m;
    m.fields = {{1, "Number", 11},     {2, "Refex", 8},     {3, "State", 2},     {5, "NoticeHour", 5},
                {6, "StartDate", 8},   {7, "StartHour", 5}, {8, "CloseDate", 8}, {9, "CloseHour", 5},
                {10, "Requester", 24}, {11, "Machine", 8},  {13, "Type", 2},     {14, "Description", 130}};
    m.clearedOnOpen = {"Description"};
    m.exchangeFile = "_OT.txt"; // the orders the web synchronisation fetched
    return m;
}

std::uint32_t StateColour(const ShortString<2>& state, std::uint32_t last)
{
    if (state == "T")
        return kReportBlue;
    if (state == "P")
        return kReportRed;
    if (state == "E")
        return kReportBlack;
    return last;
}

} // namespace

void ListWorkOrders(Context& ctx)
{
    State& st = ctx.st;
    WorkOrdersState& w = WorkOrders(ctx);
    const QString mode = st.ActionCode;
    const bool budgets = mode == QLatin1String("S");
    QString machineFilter = QStringLiteral("*");
    QString typeFilter = QStringLiteral("*");
    QString stateFilter = QStringLiteral("*");
    if (mode == QLatin1String("L")) {
        const QString caption = QStringLiteral("Listado Ordenes de Trabajo");
        machineFilter = ctx.ui.InputBox(
            caption, QStringLiteral("INTRODUCIR Maqina/Sección de Busqueda ...: "), QStringLiteral("*"));
        typeFilter = ctx.ui.InputBox(
            caption, QStringLiteral("INTRODUCIR Tipo OT (Prog-Urgente-Crítica ...: "), QStringLiteral("*"));
    } else if (budgets) {
        machineFilter = ctx.ui.InputBox(QStringLiteral("Listado Presupuestos Reparación"),
                                        QStringLiteral("INTRODUCIR Maqina/Sección de Busqueda ...: "),
                                        QStringLiteral("*"));
    } else if (mode == QLatin1String("P") || mode == QLatin1String("T") || mode == QLatin1String("M")) {
        stateFilter = mode;
    }
    machineFilter = machineFilter.left(8);
    typeFilter = typeFilter.left(2);

    if (!PickWeekRange(ctx))
        return;
    st.LastChosenDateText = FormatDate(st.RangeStartDate.date());

    const std::optional<std::vector<TWorkOrderRecord>> orders =
        KeyedFile<WorkOrderFile>(ctx, st.FileName(budgets ? DataFile::RepairBudget : DataFile::WorkOrder))
            .Read(Report::Silent);
    if (!orders)
        return;

    // Minutes booked per order, summed over every daily-report line in one pass.
    QHash<QString, std::int64_t> booked;
    for (const auto& [r, pos] : ctx.st.WorkReportList)
        booked[r.Orden.str()] += r.Tinter.get();

    auto report = std::make_shared<ReportDocument>(budgets ? QStringLiteral("PRESUPUESTO DE REPARACIÓN")
                                                           : QStringLiteral("ORDENES DE TRABAJO"));
    report->SetTabStops({15, 45, 95, 120, 170, 205, 255, 290, 340, 375, 470, 530, 565, 595});
    report->SetStyle(FontStyle::Bold);
    report->SetFontSize(12);
    report->AddLine(budgets ? QStringLiteral("\t&           PRESUPUESTOS DE REPARACIÓN \t\t")
                            : QStringLiteral("\t           ORDENES DE TRABAJO \t\t"));
    report->AddLine(QStringLiteral("\r"));
    report->SetFontSize(8);
    report->AddLine(QStringLiteral("\tNº\tRefEx\tEtd\tF.Alta\tHAviso\tF.Inicio\tHInicio\tF.Cierre\tHCierre\t"
                                   "Solicitante\tMáquina\tTInt\tTipo\tDescripción"));
    report->SetStyle(FontStyle::Normal);
    report->AddLine(QStringLiteral("\r"));

    std::int64_t accumulated = 0;
    std::int64_t reaction = 0;
    std::int64_t resolution = 0;
    std::int64_t closed = 0;
    std::uint32_t colour = kReportBlack;
    for (const TWorkOrderRecord& o : *orders) {
        if (typeFilter != QLatin1String("*") && !(o.Type == typeFilter))
            continue;
        if (st.RangeStartWeek != QLatin1String("*") && o.NoticeDate.str() < st.RangeStartWeek)
            continue;
        if (o.NoticeDate.str() > st.RangeEndWeek)
            continue;
        if (machineFilter != QLatin1String("*") && !(o.Machine == machineFilter))
            continue;
        if (stateFilter != QLatin1String("*") && !(o.State == stateFilter))
            continue;
        w.CurrentWorkOrder = o;
        const QString number = QString::number(o.Number.get());
        const std::int64_t minutes = booked.value(number, 0);
        colour = StateColour(o.State, colour);
        report->SetColour(colour);
        // Built with % so that the line is allocated once, at its final length.
        const QChar tab = QLatin1Char('\t');
        report->AddLine(tab % number % tab % o.Refex.str() % tab % o.State.str() % tab %
                        WeekCodeToDateText(o.NoticeDate.str()) % tab % o.NoticeHour.str() % tab %
                        o.StartDate.str() % tab % o.StartHour.str() % tab % o.CloseDate.str() % tab %
                        o.CloseHour.str() % tab % o.Requester.str().left(17) % tab % o.Machine.str() % tab %
                        QString::number(minutes) % tab % o.Type.str() % tab % o.Description.str());
        accumulated += minutes;
        if (o.State == "E") {
            reaction += WorkOrderReactionMinutes(ctx, o.NoticeDate.str(), o.StartDate.str(),
                                                 o.NoticeHour.str(), o.StartHour.str());
            resolution += WorkOrderResolutionMinutes(ctx, o.StartDate.str(), o.CloseDate.str(),
                                                     o.StartHour.str(), o.CloseHour.str());
            ++closed;
        }
    }

    report->SetColour(kReportBlack);
    report->SetFontSize(10);
    report->AddLine(QStringLiteral("\r"));
    if (!budgets) {
        auto hours = [](std::int64_t minutes) {
            return MinutesToHoursText(static_cast<int>(std::min<std::int64_t>(minutes, INT_MAX)));
        };
        report->AddLine(QStringLiteral("\tRatios de OT cerradas: "));
        report->AddLine(QStringLiteral("\tTiempo Acumulado en O.T.   : ") + hours(accumulated));
        report->AddLine(QStringLiteral("\tTiempo Medio de Reacción...: ") +
                        hours(closed > 0 ? reaction / closed : 0));
        report->AddLine(QStringLiteral("\tTiempo Medio de Resolución : ") +
                        hours(closed > 0 ? resolution / closed : 0));
    }
    st.CurrentSubFolder = QStringLiteral("\\REPARACIONES");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

void ShowWorkOrderSheet(Context& ctx, const TWorkOrderRecord& rec)
{
    const QString state = rec.State.str();
    const bool started = state == QLatin1String("T") || state == QLatin1String("E");
    const bool closed = state == QLatin1String("E");
    auto report = std::make_shared<ReportDocument>(QStringLiteral("ORDENES DE TRABAJO"));
    report->SetTabStops({20, 200});
    report->SetFontSize(12);
    report->AddLine(QStringLiteral("\tNúmero de Orden: \t") + QString::number(rec.Number.get()));
    report->AddLine(QStringLiteral("\tEstado Ejecución: \t") + state);
    report->AddLine(QStringLiteral("\tFecha de Alta: \t") + rec.NoticeDate.str() +
                    QStringLiteral("\tHora Apertura OT. : ") + rec.NoticeHour.str());
    report->AddLine(started ? QStringLiteral("\tFecha de Inicio: \t") + rec.StartDate.str() +
                                  QStringLiteral("\t\tHora Inicio OT. : ") + rec.StartHour.str()
                            : QStringLiteral("\tFecha de Inicio: \t\t\tHora Inicio OT. : "));
    report->AddLine(closed ? QStringLiteral("\tFecha de Cierre: \t") + rec.CloseDate.str() +
                                 QStringLiteral("\t\tHora Cierre OT. : ") + rec.CloseHour.str()
                           : QStringLiteral("\tFecha de Cierre: \t\t\tHora Cierre OT. : "));
    report->AddLine(QStringLiteral("\tSección de Origen: \t") + rec.Machine.str());
    report->AddLine(QStringLiteral("\tSolicitante acreditado : \t") + rec.Requester.str());
    report->AddLine(QStringLiteral("\tDescripción resumida: \t") + rec.Description.str());
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\tTrabajos Realizados y Materiales Utilizados :"));
    ctx.ui.ShowReport(report);
}

void RegisterWorkOrderHandover(Context& ctx, HandoverRegistry& handover)
{
    handover.Map(EditItem::OrdenesT) = ListingHandoverMap();
    handover.SetDeliver(EditItem::OrdenesT, [&ctx](const HandoverFields& fields) {
        TWorkOrderRecord& input = WorkOrders(ctx).WorkOrderInput;
        for (const auto& [name, value] : fields) {
            if (name == QLatin1String("Number"))
                input.Number = static_cast<std::int32_t>(ParseInt64(value).value);
            else if (name == QLatin1String("Refex"))
                input.Refex = value;
            else if (name == QLatin1String("State"))
                input.State = value;
            else if (name == QLatin1String("NoticeHour"))
                input.NoticeHour = value;
            else if (name == QLatin1String("StartDate"))
                input.StartDate = value;
            else if (name == QLatin1String("StartHour"))
                input.StartHour = value;
            else if (name == QLatin1String("CloseDate"))
                input.CloseDate = value;
            else if (name == QLatin1String("CloseHour"))
                input.CloseHour = value;
            else if (name == QLatin1String("Requester"))
                input.Requester = value;
            else if (name == QLatin1String("Machine"))
                input.Machine = value;
            else if (name == QLatin1String("Type"))
                input.Type = value;
            else if (name == QLatin1String("Description"))
                input.Description = value;
        }
    });
    handover.SetClear(EditItem::OrdenesT, [&ctx](const QStringList& names) {
        if (names.contains(QStringLiteral("Description")))
            WorkOrders(ctx).WorkOrderInput.Description = "";
    });
}

} // namespace gim
