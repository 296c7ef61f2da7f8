#include "masterdata/reserved_codes_window.h"

#include "core/context.h"
#include "masterdata/reserved_codes.h"
#include "masterdata/web_files.h"
#include "platform/report.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace gim {

namespace {

const QString kDescription = QStringLiteral("DescripPT");
const QString kDescriptionLabel = QStringLiteral("DescripLabel");
const QString kActionSheet = QStringLiteral("Acciones Partes Diarios");
const QString kRoutineSheet = QStringLiteral("Gamas MTP");

std::shared_ptr<ReportDocument> MaintenanceTypesReport(const State& st, std::initializer_list<int> tabs)
{
    auto report = std::make_shared<ReportDocument>(QStringLiteral("TIPO DE ACCIONES DE MANTENIMIENTO DE ") +
                                                   st.CurrentEnvironment);
    report->SetTabStops(tabs);
    return report;
}

// The description of a code and what its list holds.
void ShowDescription(CardState& state, const QStringList& descriptions, const ReservedCodeList& list,
                     int item)
{
    const std::size_t record = list.firstRecord + static_cast<std::size_t>(std::max(item, 0));
    if (record < static_cast<std::size_t>(descriptions.size()))
        state.set(kDescription, descriptions.at(static_cast<qsizetype>(record)));
    state.set(kDescriptionLabel, QString::fromUtf8(list.descriptionCaption));
}

} // namespace

CardSpec ReservedCodesCardSpec(const QStringList& descriptions)
{
    CardSpec spec;
    spec.name = QStringLiteral("TCodReser");
    spec.caption = QStringLiteral("CODIGOS RESERVADOS ");
    // Each sheet shows its lists side by side, each under its caption.
    int actionColumn = 0;
    int routineColumn = 0;
    for (const ReservedCodeList& list : ReservedCodeLists()) {
        FieldSpec f;
        f.name = QString::fromLatin1(list.name);
        f.kind = FieldKind::CheckList;
        for (const CodeLabel& item : list.items)
            f.choices << QString::fromLatin1(item.code);
        f.place.page = list.actionSheet ? kActionSheet : kRoutineSheet;
        f.place.group = QString::fromUtf8(list.caption);
        spec.groups.push_back(
            {f.place.group, f.place.page, 0, list.actionSheet ? actionColumn++ : routineColumn++});
        f.onEnter = [descriptions, &list](CardState& state) {
            const auto it = state.currentItem.find(QString::fromLatin1(list.name));
            ShowDescription(state, descriptions, list, it == state.currentItem.end() ? 0 : it->second);
        };
        f.onItem = [descriptions, &list](CardState& state, int item) {
            ShowDescription(state, descriptions, list, item);
        };
        // A double-click on an action list or on the speciality list shows every code of it again.
        if (list.actionSheet || list.list == ReservedList::EspeciMTP)
            f.onDoubleClick = [&list](CardState& state) {
                state.set(QString::fromLatin1(list.name),
                          QString(static_cast<qsizetype>(list.items.size()), QLatin1Char('1')));
            };
        spec.fields.push_back(f);
    }
    FieldSpec label;
    label.name = kDescriptionLabel;
    label.kind = FieldKind::Label;
    label.place.row = 0;
    spec.fields.push_back(label);
    FieldSpec description;
    description.name = kDescription;
    description.kind = FieldKind::Combo;
    description.capacity = 130;
    description.choices = descriptions;
    description.place.row = 1;
    spec.fields.push_back(description);

    spec.buttons = {{QStringLiteral("Salvaracc"), QStringLiteral("SAL&VAR"), CardResult::Save},
                    {QStringLiteral("Imprimir"), QStringLiteral("&LISTAR"), CardResult::Print},
                    {QStringLiteral("salir"), QStringLiteral("&Salir"), CardResult::Exit}};
    spec.cancelResult = CardResult::Exit;
    return spec;
}

CardState FreshReservedCodesState()
{
    CardState state;
    for (const ReservedCodeList& list : ReservedCodeLists())
        state.set(QString::fromLatin1(list.name),
                  QString(static_cast<qsizetype>(list.items.size()), QLatin1Char('1')));
    state.set(kDescription, QStringLiteral("*"));
    state.set(kDescriptionLabel, QString());
    return state;
}

std::vector<bool> VisibleFlagsOf(const CardState& state)
{
    std::vector<bool> visible(ReservedCounts().Total());
    for (const ReservedCodeList& list : ReservedCodeLists())
        for (std::size_t i = 0; i < list.items.size(); ++i)
            visible[list.firstRecord + i] = state.ticked(QString::fromLatin1(list.name), static_cast<int>(i));
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
        if (i < ReservedCounts().Total()) {
            const ReservedCodeList& list = ReservedCodeListOfRecord(i);
            state.setTicked(QString::fromLatin1(list.name), static_cast<int>(i - list.firstRecord),
                            rec.Visible != 0);
        }
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
    if (result == CardResult::Save)
        WriteReservedCodes(ctx, VisibleFlagsOf(state));
    else if (result == CardResult::Print)
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
    // Before the window's first use there is no file: the built-in lists, every code shown, are what
    // it would hold. Only the window creates it.
    const std::vector<TReservedCodeRecord> records =
        DataFileExists(ctx, ReservedCodesFileName(st))
            ? ReadReservedCodes(ctx, Report::Silent).value_or(std::vector<TReservedCodeRecord>{})
            : BuiltInReservedCodes();
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
