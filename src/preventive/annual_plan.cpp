#include "preventive/annual_plan.h"

#include "core/context.h"
#include "core/lookups.h"
#include "platform/report.h"

#include <memory>
#include <vector>

namespace gim {

namespace {

// Columns of the grid: code, name, then the twelve months of the first maintenance year and seven of the
// next (a start week runs to 95 with the biannual balance, further when typed).
constexpr int kWeeksPerMonth = 4;
constexpr int kMonthColumns = 25;
constexpr int kFirstMonthStop = 290;
constexpr int kMonthWidth = 27;
constexpr int kMonthsPerYear = 12;
// The dashed line runs under the whole grid. The listing is in 10-point Arial, whose hyphen is a third of
// the font size wide: three hyphens to every ten points.
constexpr int kGridEnd = kFirstMonthStop + kMonthColumns * kMonthWidth;
constexpr int kRuleDashes = kGridEnd * 3 / 10;

std::vector<int> GridTabStops()
{
    std::vector<int> stops{5, 60};
    for (int i = 0; i < kMonthColumns; ++i)
        stops.push_back(kFirstMonthStop + i * kMonthWidth);
    return stops;
}

} // namespace

void ListAnnualPlan(Context& ctx)
{
    State& st = ctx.st;
    KeyedFile<PlanFile> plan(ctx);
    if (!plan.Sort()) {
        st.ContinueFlag = 0;
        return;
    }
    if (st.ActionCode == QLatin1String("5")) {
        const QString title = QString::fromLatin1(kAnnualPlanTitle) + st.CurrentEnvironment;
        auto report = std::make_shared<ReportDocument>(title);
        report->SetTabStops(GridTabStops());
        report->AddLine(title + QString(29, QLatin1Char(' ')) + st.TodayText);
        report->AddLine(QStringLiteral("\r"));
        // Each month's number stands at the tab stop of its column, where the rows put their start
        // weeks: spaced out by hand they drifted away from the grid.
        QString header = QStringLiteral("\tCodigo\t             DENOMINACIÓN");
        for (int month = 0; month < kMonthColumns; ++month)
            header += QLatin1Char('\t') + QString::number(month % kMonthsPerYear + 1);
        report->AddLine(header);
        report->AddLine(QString(kRuleDashes, QLatin1Char('-')));
        int count = 0;
        const MachineIndex machines(ctx);
        for (const TPlanRecord& entry : plan.Read().value_or(std::vector<TPlanRecord>{})) {
            const TMachineRecord machine = machines.Find(entry.Code);
            if (!(machine.Disponible == "SI"))
                continue;
            const int week = entry.StartWeek.get();
            report->AddLine(QLatin1Char('\t') + entry.Code.str() + QLatin1Char('\t') +
                            machine.Denominacion.str() +
                            QString(week / kWeeksPerMonth + 1, QLatin1Char('\t')) + QString::number(week));
            ++count;
        }
        report->AddLine(QStringLiteral("\r"));
        report->AddLine(QStringLiteral("\tEL NUMERO DE MAQUINAS EN PLANING ES DE : ") +
                        QString::number(count));
        ctx.ui.ShowReport(report);
    }
    st.ContinueFlag = 0;
}

} // namespace gim
