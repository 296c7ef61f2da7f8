#include "exchange/import_tables_corrective.h"

#include "core/week_codes.h"
#include "corrective/breakdowns.h"
#include "corrective/planned_repairs.h"
#include "corrective/work_orders.h"
#include "exchange/import_fields.h"
#include "exchange/import_gateway.h"
#include "masterdata/machines.h"
#include "platform/date_text.h"
#include "preventive/revisions.h"
#include "workreports/work_report_entry.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

namespace gim {

namespace {

// A daily-report line with the full date it gave, which becomes the date of its postings.
struct WorkReportLine
{
    TWorkReportRecord rec{};
    QString dateText;
};

// A breakdown line: the week of the year in the record's week word, its year apart.
struct BreakdownLine
{
    TBreakdownRecord rec{};
    std::uint16_t year = 0;
};

// A planned-repair line: week and four-digit year as typed, joined once the whole line is read.
struct PlannedRepairLine
{
    TPlannedRepairRecord rec{};
    std::int64_t week = 0;
    std::int64_t year = 0;
};

// A week-code text field: a date when the text is longer than `convertAbove`, else the text as it stands.
template <typename Line, typename Get>
ImportField<Line> WeekCodeField(int number, int width, int convertAbove, Get get)
{
    return {.number = number,
            .kind = ImportFieldKind::Date,
            .width = width,
            .convertAbove = convertAbove,
            .store = [get](Context&, Line& line, const ImportFieldValue& v) {
                get(line) = v.date.isValid() ? WeekCodeOf(v.date) : v.text;
            }};
}

bool StoreLineType(const TWorkReportRecord& rec)
{
    return rec.Tipo.str().startsWith(QLatin1String("AL"));
}

} // namespace

ImportJob WorkReportImportFormat()
{
    using L = WorkReportLine;
    ImportTable<L> t;
    t.fields = {
        TextField<L>(
            1, [](L & l) -> auto& { return l.rec.Matricula; }),
        TextField<L>(
            2, [](L & l) -> auto& { return l.rec.Codigo; }),
        {.number = 3,
         .kind = ImportFieldKind::Date,
         .width = 12,
         .convertAbove = 7,
         .store =
             [](Context&, L& l, const ImportFieldValue& v) {
                 if (!v.date.isValid()) {
                     l.rec.dia = v.text;
                     return;
                 }
                 l.rec.dia = WeekCodeOf(v.date);
                 l.dateText = FormatDate(v.date);
             }},
        TextField<L>(
            4, [](L & l) -> auto& { return l.rec.TIPOH; }),
        TextField<L>(
            5, [](L & l) -> auto& { return l.rec.Tipo; }),
        NumberField<L>(
            6, [](L & l) -> auto& { return l.rec.Tinter; }, kInt32Min, kInt32Max),
        NumberField<L>(
            7, [](L & l) -> auto& { return l.rec.Tparo; }, kInt32Min, kInt32Max),
        TextField<L>(
            8, [](L & l) -> auto& { return l.rec.Orden; }),
        TextField<L>(
            9, [](L & l) -> auto& { return l.rec.SparePart; }),
        TextField<L>(
            10, [](L & l) -> auto& { return l.rec.Descripcion; }),
    };
    // A web synchronisation marks the orders it brings: "W" and at most 7 characters of the field.
    t.fields[7].lead = [](const Context& ctx) {
        return ctx.st.SubCode == QLatin1String("W") ? QStringLiteral("W") : QString();
    };
    t.before = [](Context& ctx) {
        LoadMachineList(ctx);
        LoadPlannedRepairs(ctx);
        // What the lines post is gathered over the whole import, for the re-sorts at its end.
        ClearPostedFlags(ctx);
    };
    t.add = [](Context& ctx, const L& line) {
        if (StoreLineType(line.rec)) {
            ctx.ui.ShowMessage(QString::fromUtf8(kStoreLinesRefused));
            return false;
        }
        return AddImportedWorkReportLine(ctx, line.rec, line.dateText);
    };
    t.after = [](Context& ctx) {
        SavePlannedRepairList(ctx);
        FreePlannedRepairList(ctx);
        FreeMachineList(ctx);
    };
    t.sort = [](Context& ctx) {
        SortWorkReportFile(ctx);
        SortWhatWasPosted(ctx);
    };
    t.lineCaption = QStringLiteral("Inicio de la Sincronización Archivos PARTES");
    t.endText = QStringLiteral("\tFINALIZADA LA SINCRONIZACIÓN DE PARTES DIARIOS");
    return MakeImportJob(std::move(t));
}

ImportJob WorkOrderImportFormat()
{
    using R = TWorkOrderRecord;
    ImportTable<R> t;
    const auto date = [](int number, auto get) { return WeekCodeField<R>(number, 0, 6, get); };
    t.fields = {
        TextField<R>(
            1, [](R & r) -> auto& { return r.Refex; }),
        TextField<R>(
            2, [](R & r) -> auto& { return r.State; }),
        date(
            3, [](R & r) -> auto& { return r.NoticeDate; }),
        TextField<R>(
            4, [](R & r) -> auto& { return r.NoticeHour; }),
        date(
            5, [](R & r) -> auto& { return r.StartDate; }),
        TextField<R>(
            6, [](R & r) -> auto& { return r.StartHour; }),
        date(
            7, [](R & r) -> auto& { return r.CloseDate; }),
        TextField<R>(
            8, [](R & r) -> auto& { return r.CloseHour; }),
        TextField<R>(
            9, [](R & r) -> auto& { return r.Requester; }),
        TextField<R>(
            10, [](R & r) -> auto& { return r.Machine; }),
        TextField<R>(
            11, [](R & r) -> auto& { return r.Description; }),
        TextField<R>(
            13, [](R & r) -> auto& { return r.Type; }),
        TextField<R>(
            14, [](R & r) -> auto& { return r.PhotoFlag; }),
    };
    // Every imported reference is the web service's: "W" and at most 7 characters of the field.
    t.fields[0].lead = [](const Context&) { return QStringLiteral("W"); };
    // A short date text is no date: the field stays empty.
    for (ImportField<R>& f : t.fields)
        if (f.kind == ImportFieldKind::Date) {
            const auto store = f.store;
            f.store = [store](Context& ctx, R& r, const ImportFieldValue& v) {
                if (v.date.isValid())
                    store(ctx, r, v);
            };
        }
    t.before = [](Context& ctx) { BeginWorkOrderImport(ctx); };
    t.add = [](Context& ctx, const R& r) { return AddImportedWorkOrder(ctx, r); };
    t.after = [](Context& ctx) { EndWorkOrderImport(ctx); };
    t.lineCaption = QStringLiteral("Inicio de la Sincronización Archivos ORDENES T");
    t.endText = QStringLiteral("\tFINALIZADA LA SINCRONIZACIÓN DE ORDENES DE TRABAJO");
    return MakeImportJob(std::move(t));
}

ImportJob BreakdownImportFormat()
{
    using L = BreakdownLine;
    ImportTable<L> t;
    t.fields = {
        TextField<L>(
            1, [](L & l) -> auto& { return l.rec.Code; }),
        {.number = 2,
         .kind = ImportFieldKind::Date,
         .width = 12,
         .store =
             [](Context&, L& l, const ImportFieldValue& v) {
                 const WeekParts parts = WeekPartsOf(v.date);
                 l.rec.Week = static_cast<std::uint16_t>(parts.week);
                 l.rec.Day = QString::number(parts.weekday);
                 l.year = static_cast<std::uint16_t>(parts.year);
             }},
        TextField<L>(
            3, [](L & l) -> auto& { return l.rec.Shift; }),
        TextField<L>(
            4, [](L & l) -> auto& { return l.rec.Type; }),
        TextField<L>(
            5, [](L & l) -> auto& { return l.rec.Description; }),
        NumberField<L>(
            6, [](L & l) -> auto& { return l.rec.Intervention; }, 0, kWordMax),
        NumberField<L>(
            7, [](L & l) -> auto& { return l.rec.Operators; }, 0, kWordMax),
        NumberField<L>(
            8, [](L & l) -> auto& { return l.rec.Stop; }, 0, kWordMax),
        NumberField<L>(
            9, [](L & l) -> auto& { return l.rec.Delay; }, 0, kWordMax),
        TextField<L>(
            10, [](L & l) -> auto& { return l.rec.NoticeTime; }),
        TextField<L>(
            11, [](L & l) -> auto& { return l.rec.Officer; }),
        TextField<L>(
            12, [](L & l) -> auto& { return l.rec.RepairStart; }),
        TextField<L>(
            13, [](L & l) -> auto& { return l.rec.ProductionOperator; }),
    };
    t.add = [](Context& ctx, const L& l) { return AddImportedBreakdown(ctx, l.rec, l.year); };
    return MakeImportJob(std::move(t));
}

ImportJob PlannedRepairImportFormat()
{
    using L = PlannedRepairLine;
    ImportTable<L> t;
    t.fields = {
        TextField<L>(
            1, [](L & l) -> auto& { return l.rec.Code; }),
        NumberField<L>(
            2, [](L & l) -> auto& { return l.rec.Minutes; }, 0, kWordMax),
        TextField<L>(
            3, [](L & l) -> auto& { return l.rec.State; }),
        TextField<L>(
            4, [](L & l) -> auto& { return l.rec.Specialty; }),
        TextField<L>(
            5, [](L & l) -> auto& { return l.rec.Order; }),
        NumberField<L>(
            6, [](L & l) -> auto& { return l.week; }, 0, kWordMax),
        // WorkYear counts from 2000 in a word.
        NumberField<L>(
            7, [](L & l) -> auto& { return l.year; }, kYearOffset, kYearOffset + kWordMax),
        TextField<L>(
            8, [](L & l) -> auto& { return l.rec.Executor; }),
        TextField<L>(
            9, [](L & l) -> auto& { return l.rec.Description; }),
    };
    // The week needs both week and year, whatever their order on the line.
    t.complete = [](Context& ctx, L& l) {
        l.year -= kYearOffset;
        l.rec.Week = AbsoluteWeekWord(ctx.st, static_cast<int>(l.year), static_cast<int>(l.week));
        return true;
    };
    t.add = [](Context& ctx, const L& l) {
        return AddImportedPlannedRepair(ctx, l.rec, static_cast<std::uint16_t>(l.week),
                                        static_cast<std::uint16_t>(l.year));
    };
    return MakeImportJob(std::move(t));
}

void ImportWorkReports(Context& ctx, const std::optional<QString>& text)
{
    RunGatewayImport(ctx, WorkReportImportFormat(), text);
}

void ImportWorkOrders(Context& ctx, const std::optional<QString>& text)
{
    RunGatewayImport(ctx, WorkOrderImportFormat(), text);
}

} // namespace gim
