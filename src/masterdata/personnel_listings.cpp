#include "masterdata/personnel_listings.h"

#include "core/context.h"
#include "core/texts.h"
#include "masterdata/personnel.h"
#include "platform/report.h"

#include <memory>

namespace gim {

namespace {

constexpr std::uint32_t kActiveColour = kReportBlack;
constexpr std::uint32_t kDepartedColour = kReportRed;

QString Rule()
{
    return QString(110, QLatin1Char('_'));
}

} // namespace

void ListHourPrices(Context& ctx)
{
    State& st = ctx.st;
    PersonnelState& p = Personnel(ctx);
    auto report = std::make_shared<ReportDocument>(st.CurrentEnvironment);
    report->SetTabStops({6, 50, 140, 300, 350, 400, 450, 500, 550});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(st.FirmName + QStringLiteral("\tLISTADO PRECIOS/ HORA DEL PERSONAL\t") +
                    st.CurrentEnvironment + QLatin1Char('\t') + st.TodayText);
    report->SetStyle(FontStyle::Normal);
    report->AddLine(QStringLiteral(
        "\tMatri\tNOMBRE\tAPELLIDOS\tHNormal\tHExtra\tHExFest\tHNoct\tHExNoct\tHExComp\tFecha"));
    report->AddLine(Rule());
    for (const THourPriceRecord& row : st.HourPriceTable) {
        p.CurrentPersonnelEntry.Matricula.assign(row.Matricula);
        LookupPersonInList(ctx);
        const TPersonnelRecord& person = st.FoundPerson;
        report->SetColour(row.Activo ? kActiveColour : kDepartedColour);
        QString line = QLatin1Char('\t') + row.Matricula.str() + QLatin1Char('\t') + person.Nombre.str() +
                       QLatin1Char('\t') + person.Apellidos.str();
        for (const std::uint16_t cents :
             {row.HCONTRATO.get(), row.HEX.get(), row.HEF.get(), row.HN.get(), row.HEN.get(), row.HEC.get()})
            line += QLatin1Char('\t') + CentsToText(cents);
        line += QLatin1Char('\t') + row.Fecha.str();
        report->AddLine(line);
    }
    report->SetColour(kActiveColour);
    report->AddLine(Rule());
    ctx.ui.ShowReport(report);
}

} // namespace gim
