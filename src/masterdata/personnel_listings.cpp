#include "masterdata/personnel_listings.h"

#include "core/context.h"
#include "core/texts.h"
#include "masterdata/personnel.h"
#include "masterdata/web_files.h"
#include "platform/report.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace gim {

namespace {

constexpr std::uint32_t kActiveColour = kReportBlack;
constexpr std::uint32_t kDepartedColour = kReportRed;

QString Rule()
{
    return QString(110, QLatin1Char('_'));
}

// A card as the listing and the upload file give it: number, name, surnames, street, city, telephone.
QString CardLine(const TPersonnelRecord& person)
{
    return QStringList{person.Matricula.str(), person.Nombre.str(), person.Apellidos.str(),
                       person.Calle.str(),     person.Ciudad.str(), person.tlf.str()}
        .join(QLatin1Char('\t'));
}

} // namespace

void ListHourPrices(Context& ctx)
{
    State& st = ctx.st;
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
        LookupPersonInList(ctx, row.Matricula);
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

void ListPersonnel(Context& ctx)
{
    State& st = ctx.st;
    const bool web = st.ActionCode == QLatin1String("W");
    const std::optional<std::vector<TPersonnelRecord>> cards = KeyedFile<PersonnelFile>(ctx).Read();
    if (!cards)
        return;
    QStringList webLines;
    auto report = std::make_shared<ReportDocument>(QStringLiteral("LISTADO DE PERSONAL"));
    report->saveSubFolder = QStringLiteral("\\Personal");
    report->SetTabStops({10, 50, 130, 260, 400, 490});
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tMatri\tNOMBRE\tAPELLIDOS\tDIRECCION\tCIUDAD\tTLF"));
    report->AddLine(Rule());
    report->SetStyle(FontStyle::Normal);
    std::uint32_t active = 0;
    for (const TPersonnelRecord& person : *cards) {
        if (PersonnelFile::Deleted(person))
            continue;
        const bool present = PersonIsActive(person);
        if (present)
            ++active;
        webLines << CardLine(person);
        report->SetColour(present ? kActiveColour : kDepartedColour);
        report->AddLine(QLatin1Char('\t') + webLines.back());
    }
    report->SetColour(kActiveColour);
    report->AddLine(Rule());
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QStringLiteral("\tNUMERO DE OPERARIOS EN ACTIVO :\t") + QString::number(active));
    if (web)
        WriteWebUploadFile(ctx, st.CurrentEnvironment + QStringLiteral("_PR.rtf"), webLines);
    else
        ctx.ui.ShowReport(report);
}

} // namespace gim
