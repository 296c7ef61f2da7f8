#include "preventive/plan_load.h"

#include "core/context.h"
#include "core/data_file.h"
#include "core/field_rules.h"
#include "core/io_errors.h"
#include "core/picture_import.h"
#include "core/record_file.h"
#include "core/report_charts.h"
#include "core/sub_folders.h"
#include "core/week_codes.h"
#include "platform/card_controller.h"
#include "platform/picture_codec.h"
#include "platform/report.h"
#include "platform/week_graph.h"
#include "preventive/plan_definition.h"
#include "preventive/plan_time.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

namespace gim {

namespace {

const QString kCaption = QStringLiteral("CARGA DE MANTENIMIENTO PREVENTIVO");
const QString kHeader = QStringLiteral("SM   AÑO  HABILES  HMTO  RVA                   AGENDA");

// The rows shown on either side of the chosen week.
constexpr int kRowsAround = 5;
constexpr int kLastTypedWeek = kWeeksPerYear;
constexpr int kMinutesPerHour = 60;
constexpr int kMostReservedMinutes = 0xFFFF;
constexpr const char* kFirmWeekMessage =
    "LA SEMANA 0 DEL PLANING GUARDA EL NOMBRE DE LA EMPRESA: NO ADMITE APUNTE";

// The three counts of a week as the table shows them: signed 16-bit minutes.
QString Minutes16(std::uint16_t stored)
{
    return QString::number(static_cast<std::int16_t>(stored));
}

// A typed year, four digits, as a plan year since 2000 inside the horizon's years; the first year when
// it is no number.
int ChosenYear(const State& st, const QString& typed)
{
    const std::optional<std::int64_t> year = WholeOfText(typed);
    if (!year)
        return st.FirstYear;
    return static_cast<int>(std::clamp<std::int64_t>(*year - kYearOffset, st.FirstYear, st.LastYear));
}

// The agenda holds the weeks of the horizon; a shorter file holds fewer.
int ShownWeeks(const State& st, const std::vector<TAgendaRecord>& agenda)
{
    return static_cast<int>(std::min<std::size_t>(st.PlanWeeks, agenda.size()));
}

// Reserve minutes less the hours taken, held to what the 16-bit word can keep: taking more hours than
// are reserved leaves none, never a wrapped-around reserve.
std::uint16_t TakeReserve(std::uint16_t reserved, std::int64_t hours)
{
    const std::int64_t minutes = static_cast<std::int64_t>(reserved) - hours * kMinutesPerHour;
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(minutes, 0, kMostReservedMinutes));
}

// The agenda note and the reserve hours of plan week `index`, shown to the user as week `week` of
// `year` (since 2000). The record is written back when a note was typed or the reserve changed: an
// empty note never replaces the one stored.
void EditAgendaNote(Context& ctx, const TAgendaRecord& shown, int index, int week, int year)
{
    State& st = ctx.st;
    const QString& agenda = st.FileName(DataFile::Agenda);
    // The plan's first week holds the firm's name, read at every start: it takes no note.
    QString note;
    if (index == 0)
        ctx.ui.ShowMessage(QString::fromUtf8(kFirmWeekMessage));
    else
        note =
            PrintableLine(ctx.ui
                              .InputBox(QStringLiteral("AGENDA DE PLANING"),
                                        QStringLiteral("INTRODUZCA APUNTE SEMANA ") + QString::number(week) +
                                            QStringLiteral(" DE ") + QString::number(year + kYearOffset),
                                        shown.Note.str())
                              .left(48));
    // Hours are taken from the reserve, or given back to it, up to what its word can hold.
    const QString hoursPrompt = QStringLiteral("RESERVA DE HORAS");
    const std::optional<std::int64_t> hours = AskWholeNumber(
        ctx, QStringLiteral("PREVISION TRABAJOS EXTRAS"), hoursPrompt, QStringLiteral("0"), hoursPrompt,
        -kMostReservedMinutes / kMinutesPerHour, kMostReservedMinutes / kMinutesPerHour);
    if (!hours || (note.isEmpty() && *hours == 0))
        return;

    WriteLock lock(ctx);
    RecordFile<TAgendaRecord> file(ctx);
    if (!NoteIoResult(ctx, file.Open(agenda, RawRecordFile::Mode::Update), Report::Show))
        return;
    const auto at = static_cast<std::size_t>(index);
    if (at >= file.Count()) // the agenda was cut short since it was read
        return;
    // What another program changed in the week meanwhile is kept; the hours are taken from the reserve
    // as it stands now.
    TAgendaRecord rec = file.Read(at);
    const std::uint16_t left = TakeReserve(rec.ReservedMinutes.get(), *hours);
    if (note.isEmpty() && left == rec.ReservedMinutes.get())
        return;
    if (!note.isEmpty())
        rec.Note = note;
    rec.ReservedMinutes = left;
    file.Write(at, rec);
}

// The table as paper takes it: the environment first, then what the window shows.
void PrintLoadTable(Context& ctx, const LoadTable& table)
{
    LinePrinter& printer = ctx.ui.TextPrinter();
    if (!printer.Begin())
        return;
    printer.Line(ctx.st.CurrentEnvironment);
    printer.Line(QString());
    printer.Line(kCaption);
    printer.Line(QString());
    printer.Line(kHeader);
    for (const QString& line : table.lines)
        printer.Line(line);
    printer.End();
}

// What the chart window keeps while it is open: the year to chart and the picture its panel shows.
struct ChartWindow
{
    Context& ctx;
    const std::vector<TAgendaRecord>& agenda;
    int year = 0;
    std::unique_ptr<QTemporaryDir> pictureDir; // removed with the window
    QString picture;

    // "&GRAFICO": the year's charts in a report window, and its graph on the panel.
    void DrawCharts(CardState& state)
    {
        const YearLoad load = LoadYearGraph(ctx.st, agenda, year);
        auto report =
            std::make_shared<ReportDocument>(kCaption + QLatin1Char(' ') + ctx.st.CurrentEnvironment);
        report->saveSubFolder = QStringLiteral("\\Informes");
        DrawLoadCharts(*report, ctx.st, load);
        ctx.ui.ShowReport(report);
        state.show(PlanChart::kPanel, true);
        if (!ctx.codec || !report->weekGraph)
            return;
        if (!pictureDir)
            pictureDir = std::make_unique<QTemporaryDir>();
        const QString path = pictureDir->filePath(QStringLiteral("panel.bmp"));
        const auto drawn = pictureDir->isValid()
                               ? ctx.codec->DrawWeekGraph(*report->weekGraph, PlanChart::kPanelWidth,
                                                          PlanChart::kPanelHeight, path)
                               : tl::expected<void, QString>(tl::unexpected(pictureDir->errorString()));
        if (!drawn) {
            ctx.ui.ShowMessage(drawn.error());
            return;
        }
        picture = path;
        state.set(PlanChart::kPanel, path);
        state.show(PlanChart::kSave, true);
    }

    // "SAL&VAR": the panel's picture as JPEG or BMP, by the name's extension; a name without one is a JPEG.
    void SavePanelPicture()
    {
        if (picture.isEmpty() || !ctx.codec)
            return;
        const std::optional<QString> target = ChooseChartPictureTarget(ctx);
        if (!target)
            return;
        if (const auto saved = ctx.codec->Convert(picture, *target, QString()); !saved)
            ctx.ui.ShowMessage(saved.error());
    }
};

} // namespace

CardSpec PlanChartCardSpec()
{
    CardSpec spec;
    spec.name = QStringLiteral("TWplan");
    spec.caption = QStringLiteral("CUADRANTE DE PLANIFICACION DE MANTENIMIENTO PREVENTIVO");
    spec.fields.push_back(MakeField(PlanChart::kLabel, "", FieldKind::Label));
    FieldSpec table = MakeField(PlanChart::kTable, "", FieldKind::Table);
    table.columns = {QStringLiteral("SM"),   QStringLiteral("AÑO"), QStringLiteral("HABILES"),
                     QStringLiteral("HMTO"), QStringLiteral("RVA"), QStringLiteral("AGENDA")};
    spec.fields.push_back(table);
    spec.fields.push_back(MakeField(PlanChart::kPanel, "", FieldKind::Picture));
    PlaceFields(spec, {GridCell(0), GridCell(1), GridCell(2)});
    spec.buttons = {{PlanChart::kPrint, QStringLiteral("&IMPRIMIR"), CardResult::Print},
                    {PlanChart::kExit, QStringLiteral("&SALIR"), CardResult::Exit},
                    {PlanChart::kMemo, QStringLiteral("&MEMO"), CardResult::Next},
                    {PlanChart::kChart, QStringLiteral("&GRAFICO"), CardResult::None},
                    {PlanChart::kSave, QStringLiteral("SAL&VAR"), CardResult::None}};
    spec.cancelResult = CardResult::Exit;
    return spec;
}

LoadTable BuildLoadTable(const State& st, const std::vector<TAgendaRecord>& agenda, int index)
{
    LoadTable table;
    const int last = ShownWeeks(st, agenda) - 1;
    for (int i = std::max(0, index - kRowsAround); i <= std::min(last, index + kRowsAround); ++i) {
        const TAgendaRecord& week = agenda[static_cast<std::size_t>(i)];
        if (i == index)
            table.current = static_cast<int>(table.lines.size());
        const WeekParts shown = SplitAbsoluteWeek(st, i);
        table.lines << QString::number(shown.week) + QLatin1Char('\t') + QString::number(shown.year) +
                           QLatin1Char('\t') + Minutes16(week.FreeMinutes.get()) + QLatin1Char('\t') +
                           Minutes16(static_cast<std::uint16_t>(week.PlannedMinutes.get())) +
                           QLatin1Char('\t') + Minutes16(week.ReservedMinutes.get()) + QLatin1Char('\t') +
                           week.Note.str();
    }
    return table;
}

YearLoad LoadYearGraph(const State& st, const std::vector<TAgendaRecord>& agenda, int year)
{
    YearLoad load;
    const int weeks = ShownWeeks(st, agenda);
    load.year = (year - st.FirstYear + 1) * kWeeksPerYear <= weeks ? year : st.FirstYear;
    load.weeks.resize(kGraphWeeks);
    const int first = (load.year - st.FirstYear) * kWeeksPerYear;
    std::int64_t available = 0;
    std::int64_t planned = 0;
    std::int64_t reserved = 0;
    for (int w = 0; w < kWeeksPerYear && first + w < weeks; ++w) {
        const TAgendaRecord& rec = agenda[static_cast<std::size_t>(first + w)];
        TWeekGraphRecord& g = load.weeks[static_cast<std::size_t>(w)];
        g.Value1 = static_cast<std::int16_t>(rec.FreeMinutes.get());
        g.Value2 = static_cast<std::int16_t>(rec.ReservedMinutes.get());
        g.Value3 = rec.PlannedMinutes.get();
        available += g.Value1.get();
        reserved += g.Value2.get();
        planned += g.Value3.get();
    }
    load.availableHours = available / kMinutesPerHour;
    load.plannedHours = planned / kMinutesPerHour;
    load.reservedHours = reserved / kMinutesPerHour;
    load.averagePlannedHours = load.plannedHours / kWeeksPerYear;
    return load;
}

void DrawLoadCharts(ReportDocument& doc, const State& st, const YearLoad& load)
{
    const QString year = QString::number(load.year + kYearOffset);
    const QString blank = QStringLiteral(" ");
    // The graph puts the weekly average of available minutes at 100 %.
    std::int64_t available = 0;
    for (const TWeekGraphRecord& w : load.weeks)
        available += w.Value1.get();
    const auto maxValue = static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(available / kWeeksPerYear, 1, std::numeric_limits<std::uint32_t>::max()));
    DrawWeeklyGraph(doc, st, QStringLiteral("CARGA TRABAJO DE MANTENIMIENTO PREVENTIVO ") + year,
                    WeekGraphStyle::WorkLoad,
                    {QStringLiteral("H Disponibles"), QStringLiteral("H Reservadas"),
                     QStringLiteral("H Mto.Prevent ") + QString::number(load.averagePlannedHours), blank,
                     blank, blank},
                    maxValue, load.weeks);
    // A pie has no negative slices: a year booked past its hours shows none available.
    const auto slice = [](std::int64_t hours) {
        return static_cast<std::uint32_t>(
            std::clamp<std::int64_t>(hours, 0, std::numeric_limits<std::uint32_t>::max()));
    };
    ShowPieChart(doc, st, QStringLiteral("HORAS DE MANTENIMIENTO PREVENTIVO ANUALES ") + year,
                 {QStringLiteral("H Disponibles"), QStringLiteral("H Reservadas"),
                  QStringLiteral("H Mto.Prevent"), blank, blank, blank},
                 {slice(load.availableHours), slice(load.reservedHours), slice(load.plannedHours), 0, 0, 0});
}

void ShowMaintenanceLoad(Context& ctx)
{
    State& st = ctx.st;
    const QString agendaFile = st.FileName(DataFile::Agenda);
    if (!DataFileExists(ctx, agendaFile))
        CreatePlanning(ctx);
    std::vector<TAgendaRecord> agenda;
    {
        RecordFile<TAgendaRecord> file(ctx);
        if (!NoteIoResult(ctx, file.Open(agendaFile, RawRecordFile::Mode::Read), Report::Show))
            return;
        agenda = file.ReadAll();
    }

    const QString caption = QStringLiteral("PLANIFICACION DE MANTENIMIENTO");
    const std::optional<std::int64_t> typedWeek =
        AskWholeNumber(ctx, caption, QStringLiteral("INTRODUZCA SEMANA (0 a 52)"), st.WeekText,
                       QStringLiteral("SEMANA"), 0, kLastTypedWeek);
    if (!typedWeek)
        return;
    const int week = static_cast<int>(*typedWeek);
    const int year = ChosenYear(st, ctx.ui.InputBox(caption, QStringLiteral("INTRODUZCA AÑO "), st.YearText));
    // The last plan year's weeks end the agenda: a week past them is its last week.
    const int last = ShownWeeks(st, agenda) - 1;
    if (last < 0)
        return;
    const int exact = AbsoluteWeek(st, year, week);
    const int index = std::min(AbsoluteWeekCappedBelowEnd(st, year, week), last);
    const LoadTable table = BuildLoadTable(st, agenda, index);

    if (st.ActionCode != QLatin1String("G")) {
        CardSpec spec = PlanChartCardSpec();
        CardState state;
        state.caption = kCaption;
        state.set(PlanChart::kLabel, kCaption);
        for (const QString& line : table.lines)
            state.rows[PlanChart::kTable].push_back(line.split(QLatin1Char('\t')));
        state.set(PlanChart::kTable, QString::number(table.current));
        state.show(PlanChart::kPanel, false);
        state.show(PlanChart::kSave, false);
        ChartWindow window{ctx, agenda, year, nullptr, QString()};
        spec.onButton = [&window](CardState& s, const ButtonSpec& button) {
            if (button.name == PlanChart::kChart)
                window.DrawCharts(s);
            else if (button.name == PlanChart::kSave)
                window.SavePanelPicture();
            else
                return true;
            return false;
        };
        const int result = ctx.ui.RunCard(spec, state);
        if (result == CardResult::Print)
            PrintLoadTable(ctx, table);
        if (result != CardResult::Next)
            return;
    }
    // A week past the agenda's end was taken as its last week: the note names the week it goes to.
    const bool capped = index != exact;
    const WeekParts capping = SplitAbsoluteWeek(st, index);
    EditAgendaNote(ctx, agenda[static_cast<std::size_t>(index)], index, capped ? capping.week : week,
                   capped ? capping.year : year);
}

} // namespace gim
