#include "masterdata/reserved_codes_window.h"

#include "core/context.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/web_files.h"
#include "platform/report.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace gim {

namespace {

const QString kDescription = QStringLiteral("DescripPT");
const QString kDescriptionLabel = QStringLiteral("DescripLabel");

// Check-box name to record index.
const std::map<QString, std::size_t>& ItemIndex()
{
    static const std::map<QString, std::size_t> index = [] {
        std::map<QString, std::size_t> m;
        for (std::size_t i = 0; i < ReservedCounts().Total(); ++i)
            m.emplace(ReservedItemField(i), i);
        return m;
    }();
    return index;
}

FieldSpec Label(const char* name, const char* caption)
{
    FieldSpec f;
    f.name = QString::fromLatin1(name);
    f.label = QString::fromUtf8(caption);
    f.kind = FieldKind::Label;
    return f;
}

std::shared_ptr<ReportDocument> MaintenanceTypesReport(const State& st, std::initializer_list<int> tabs)
{
    auto report = std::make_shared<ReportDocument>(QStringLiteral("TIPO DE ACCIONES DE MANTENIMIENTO DE ") +
                                                   st.CurrentEnvironment);
    report->SetTabStops(tabs);
    return report;
}

} // namespace

QString ReservedItemField(std::size_t recordIndex)
{
    const ReservedCodeList& list = ReservedCodeListOfRecord(recordIndex);
    const std::size_t item = std::min(recordIndex - list.firstRecord, list.items.size() - 1);
    return QString::fromLatin1(list.name) + QLatin1Char('.') + QString::fromLatin1(list.items[item].code);
}

CardSpec ReservedCodesCardSpec(const QStringList& descriptions)
{
    CardSpec spec;
    spec.name = QStringLiteral("TCodReser");
    spec.caption = QString::fromLatin1(kReservedCodesCaption);
    spec.fields.push_back(Label("AccionPT", "Acciones Partes Diarios"));
    for (const ReservedCodeList& list : ReservedCodeLists()) {
        if (list.list == ReservedList::FrecueMTP)
            spec.fields.push_back(Label("Preventivo", "Gamas MTP"));
        spec.fields.push_back(Label(list.name, list.caption));
        for (std::size_t i = 0; i < list.items.size(); ++i) {
            FieldSpec item;
            item.name = ReservedItemField(list.firstRecord + i);
            item.label = QString::fromLatin1(list.items[i].code);
            item.kind = FieldKind::Check;
            spec.fields.push_back(item);
        }
    }
    spec.fields.push_back(Label("DescripLabel", ""));
    FieldSpec description;
    description.name = kDescription;
    description.kind = FieldKind::Combo;
    description.capacity = 130;
    description.choices = descriptions;
    spec.fields.push_back(description);

    spec.buttons = {{QStringLiteral("Salvaracc"), QStringLiteral("SAL&VAR"), ReservedCodesResult::Save},
                    {QStringLiteral("Imprimir"), QStringLiteral("&LISTAR"), ReservedCodesResult::List},
                    {QStringLiteral("salir"), QStringLiteral("&Salir"), ReservedCodesResult::Cancel}};
    spec.cancelResult = ReservedCodesResult::Cancel;

    // A code that takes the focus shows its description and what its list holds.
    spec.onEnter = [descriptions](CardState& state, const QString& field) {
        const auto it = ItemIndex().find(field);
        if (it == ItemIndex().end())
            return;
        if (it->second < static_cast<std::size_t>(descriptions.size()))
            state.set(kDescription, descriptions.at(static_cast<qsizetype>(it->second)));
        state.set(kDescriptionLabel,
                  QString::fromUtf8(ReservedCodeListOfRecord(it->second).descriptionCaption));
    };
    // A double-click on an action list or on the speciality list shows every code of that list again.
    spec.onDoubleClick = [](CardState& state, const QString& field) {
        const ReservedCodeList* list = nullptr;
        if (const auto it = ItemIndex().find(field); it != ItemIndex().end())
            list = &ReservedCodeListOfRecord(it->second);
        for (const ReservedCodeList& l : ReservedCodeLists())
            if (field == QLatin1String(l.name))
                list = &l;
        if (!list || !(list->actionSheet || list->list == ReservedList::EspeciMTP))
            return;
        for (std::size_t i = 0; i < list->items.size(); ++i)
            state.setChecked(ReservedItemField(list->firstRecord + i), true);
    };
    return spec;
}

CardState FreshReservedCodesState()
{
    CardState state;
    for (const auto& [field, index] : ItemIndex())
        state.setChecked(field, true);
    state.set(kDescription, QStringLiteral("*"));
    state.set(kDescriptionLabel, QString());
    return state;
}

std::vector<bool> VisibleFlagsOf(const CardState& state)
{
    std::vector<bool> visible(ReservedCounts().Total());
    for (const auto& [field, index] : ItemIndex())
        visible[index] = state.checked(field);
    return visible;
}

bool LoadReservedCodes(Context& ctx, CardState& state, QStringList& descriptions)
{
    std::optional<std::vector<TReservedCodeRecord>> records = ReadReservedCodes(ctx, Report::Show);
    if (!records)
        return false;
    for (std::size_t i = 0; i < records->size(); ++i) {
        TReservedCodeRecord& rec = (*records)[i];
        DefaultReservedDescription(rec);
        descriptions << rec.Code.str() + QStringLiteral("  ") + rec.Description.str();
        if (i < ReservedCounts().Total())
            state.setChecked(ReservedItemField(i), rec.Visible != 0);
    }
    return true;
}

void EditReservedCodes(Context& ctx)
{
    CheckReservedCodesFile(ctx);
    // Only a file that is not there is created; one that is there but cannot be read is never replaced.
    if (!DataFileExists(ctx, ReservedCodesFileName(ctx.st))) {
        WriteReservedCodes(ctx);
        return;
    }
    CardState state = FreshReservedCodesState();
    QStringList descriptions;
    if (!LoadReservedCodes(ctx, state, descriptions))
        return;
    const CardSpec spec = ReservedCodesCardSpec(descriptions);
    const int result = ctx.ui.RunCard(spec, state);
    if (result == ReservedCodesResult::Save)
        WriteReservedCodes(ctx, VisibleFlagsOf(state));
    else if (result == ReservedCodesResult::List)
        ListReservedCodes(ctx);
}

void ListReservedCodes(Context& ctx)
{
    const State& st = ctx.st;
    auto report = MaintenanceTypesReport(st, {20, 70, 120, 170});
    report->SetStyle(FontStyle::Bold);
    report->SetFontSize(13);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QStringLiteral("\t\t\t") + st.CurrentEnvironment);
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QStringLiteral("\t\t          LISTADO CODIGOS RESERVADOS DE MANTENIMIENTO a ") +
                    st.TodayText);
    report->SetFontSize(10);

    const std::vector<TReservedCodeRecord> records =
        ReadReservedCodes(ctx, Report::Silent).value_or(std::vector<TReservedCodeRecord>{});
    const ReservedCodeList* current = nullptr;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ReservedCodeList& list = ReservedCodeListOfRecord(i);
        if (&list != current) {
            current = &list;
            report->SetColour(kReportBlack);
            report->AddLine(QStringLiteral("\r"));
            report->SetStyle(FontStyle::Bold);
            report->AddLine(QString::fromUtf8(list.listingHeading));
            report->AddLine(QStringLiteral("\r"));
            report->AddLine(QStringLiteral("\tNº\tVISIBLE\tCODIGO\tDENOMINACION"));
            report->SetStyle(FontStyle::Normal);
            report->AddLine(QStringLiteral("\r"));
        }
        // Hidden codes stand out in blue; the shown ones that follow are black again.
        const TReservedCodeRecord& rec = records[i];
        const bool shown = rec.Visible != 0;
        report->SetColour(shown ? kReportBlack : kReportBlue);
        report->AddLine(QLatin1Char('\t') + QString::number(i + 1) + QLatin1Char('\t') +
                        (shown ? QStringLiteral("SI") : QStringLiteral("NO")) + QLatin1Char('\t') +
                        rec.Code.str() + QLatin1Char('\t') + rec.Description.str());
    }
    ctx.ui.ShowReport(report);
}

void ExportMaintenanceTypes(Context& ctx)
{
    const State& st = ctx.st;
    auto report = MaintenanceTypesReport(st, {20, 80, 120, 170});
    // The export needs the lists; the first use creates them as the entry forms would.
    if (!DataFileExists(ctx, ReservedCodesFileName(st)))
        WriteReservedCodes(ctx);
    const std::vector<TReservedCodeRecord> records =
        ReadReservedCodes(ctx, Report::Silent).value_or(std::vector<TReservedCodeRecord>{});
    QStringList lines;
    const std::size_t end = std::min<std::size_t>(records.size(), ReservedCounts().CodPrevenCount);
    for (std::size_t i = 0; i < end; ++i) {
        if (records[i].Visible == 0)
            continue;
        const QString line = records[i].Code.str() + QLatin1Char('\t') + records[i].Description.str();
        lines << line;
        report->AddLine(line);
    }
    const QString fileName = st.CurrentEnvironment + QStringLiteral("_TM.rtf");
    WriteWebUploadFile(ctx, fileName, lines);
    ctx.ui.ShowReport(report);
}

} // namespace gim
