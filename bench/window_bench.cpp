// What the user waits for: F2 on a register of 65,535 machines from the command to the window shown, an
// RTF listing of 100,000 lines loaded into the report window, and the start-up on a ten-year environment
// with 65,535 machines. Each is run alternately with its
// anchor, a QPlainTextEdit filled with the same rows and shown in the same work area, and reports the
// ratio of the medians.
#include "app/features.h"
#include "app/main_window.h"
#include "app/report_window.h"
#include "bench_support.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "core/startup.h"
#include "core/week_codes.h"
#include "masterdata/reserved_codes.h"
#include "platform/card_controller.h"
#include "platform/clock.h"
#include "platform/handover.h"
#include "platform/qt/jpeg_codec.h"
#include "platform/qt/report_layout.h"
#include "platform/rtf.h"
#include "records/breakdown_record.h"
#include "records/hour_price_record.h"
#include "records/personnel_record.h"
#include "records/plan_records.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"
#include "records/work_order_record.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <cstdio>
#include <utility>

namespace gim {
namespace {

using bench::SilentUi;

constexpr int kMachines = 65535;
constexpr int kRtfLines = 100000;
constexpr int kListingRows = 100000;

// The user of a listing: accepts every filter card as it opens (its defaults take every record) and picks
// this week as the date range.
class ListingUi final : public SilentUi
{
public:
    int RunCard(const CardSpec& spec, CardState& state) override
    {
        CardController card(
            spec, state, [](const QString&) {}, [](const QString&) {});
        if (!card.Open())
            return card.Result();
        for (const ButtonSpec& b : spec.buttons)
            if (b.result == CardResult::Save) {
                card.Press(b.name);
                break;
            }
        return card.Closed() ? card.Result() : spec.cancelResult;
    }
    bool PickDateRange(QDate& start, QDate& end) override
    {
        start = end = QDate::currentDate();
        return true;
    }
};

struct Desk
{
    ListingUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    QtPictureCodec codec;
    Context ctx{ui, clock, shell};
    QMdiArea area;
    HandoverRegistry handover;

    Desk()
    {
        ctx.st.BaseDir = ctx.st.WorkDir = dir.path();
        ctx.codec = &codec;
        ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        InitCurrentDate(ctx);
        BuildDataFileNames(ctx);
        // A plan over this year and the next.
        TPlanYearsRecord years{};
        years.FirstYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000);
        years.LastYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000 + 1);
        StoreRecords(ctx, ctx.st.PlanYearsFileName, std::vector<TPlanYearsRecord>{years});
        InitPlanningYears(ctx);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) {
            ShowReportWindow(&area, std::move(doc), ctx, handover);
        };
        area.resize(1280, 900);
        area.show();
        bench::Settle();
    }

    TEditorRTF* Newest() { return ReportWindows::Of(&area, ctx, handover).Newest(); }

    void CloseAll()
    {
        area.closeAllSubWindows();
        bench::Settle();
    }
};

TMachineRecord NumberedMachine(int i)
{
    char code[16];
    std::snprintf(code, sizeof code, "M%06d", i);
    TMachineRecord r{};
    r.Codigo = code;
    r.Denominacion = "PRENSA HIDRAULICA DE 200 T";
    r.Modelo = "PH-200";
    r.Fabricacion = "S-1234";
    r.Cuenta = "CTA-100";
    r.Ubicacion = "NAVE 2";
    r.Disponible = "SI";
    return r;
}

QString MachineCode(int i)
{
    return QStringLiteral("M%1").arg(i, 6, 10, QLatin1Char('0'));
}

// What the user waits for with one listing window, and what it costs the process.
struct Shown
{
    double firstPaint = 0; // from the command to the text drawn
    double laidOut = 0;    // from the command to the whole text laid out
    double cpu = 0;        // CPU of the process over that time
    double stall = 0;      // the longest the event loop was held up after the first paint
    double memory = 0;     // resident memory over the idle window's, in bytes
};

// Whether the pane has placed its whole text: Qt's own rich-text layout lays it out in the background
// after the first paint; the report pane's layout measures it up front and lengthens the scroll range in
// steps.
bool WholeTextPlaced(QTextEdit* pane)
{
    const QTextDocument* doc = pane->document();
    if (const auto* layout = dynamic_cast<const ReportTextLayout*>(doc->documentLayout()))
        return layout->Complete();
    return doc->lastBlock().layout()->lineCount() > 0;
}

template <typename Open, typename Placed> Shown MeasureShown(Open open, Placed placed)
{
    bench::ReleaseFreeMemory();
    const double memory0 = bench::ResidentBytes();
    const double cpu0 = bench::CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    Shown s;
    QWidget* viewport = open();
    bench::WaitUntilPainted(viewport);
    s.firstPaint = bench::SecondsSince(t0);
    const bench::BackgroundLayout rest = bench::WaitForBackgroundLayout(placed);
    s.laidOut = bench::SecondsSince(t0);
    s.cpu = bench::CpuSeconds() - cpu0;
    s.stall = rest.longestStallSeconds;
    // What the open window keeps, without the garbage the work left in the heap.
    bench::ReleaseFreeMemory();
    s.memory = bench::ResidentBytes() - memory0;
    return s;
}

// The anchor: the rows in a plain-text box, shown maximised in the same area.
Shown PlainAnchor(Desk& desk, const QString& rows)
{
    QPlainTextEdit* edit = nullptr;
    const Shown s = MeasureShown(
        [&] {
            edit = new QPlainTextEdit;
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
            edit->setPlainText(rows);
            QMdiSubWindow* sub = desk.area.addSubWindow(edit);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->showMaximized();
            return edit->viewport();
        },
        [first = true]() mutable {
            // What the box does after its first paint: one turn of the event loop.
            return !std::exchange(first, false);
        });
    desk.CloseAll();
    return s;
}

// Runs the listing's menu item as the user's key does, alternately with the anchor, and reports the
// medians of the first paint, the time to the whole text laid out, the CPU, the longest stall and the
// memory, each with the anchor's and the ratio.
void CompareListing(benchmark::State& state, Desk& desk, const QString& menuItem)
{
    OperationRegistry& operations = desk.ctx.Module<OperationRegistry>();
    RegisterFeatures(desk.ctx);
    Dispatcher dispatcher(desk.ctx, operations, MainCommandTable());

    // The rows of the listing, for the anchor.
    QString rows;
    int lines = 0;
    desk.ui.reportTarget = [&](std::shared_ptr<ReportDocument> doc) {
        rows = doc->Text();
        lines = static_cast<int>(doc->Lines().size());
    };
    dispatcher.Run(menuItem);
    // How long the listing's model takes, from the command to the report handed to the window.
    std::chrono::steady_clock::time_point command;
    std::vector<double> models;
    desk.ui.reportTarget = [&](std::shared_ptr<ReportDocument> doc) {
        models.push_back(bench::SecondsSince(command));
        ShowReportWindow(&desk.area, std::move(doc), desk.ctx, desk.handover);
    };
    if (lines < kListingRows && lines < state.range(0)) {
        state.SkipWithError("the listing did not list every record");
        return;
    }

    std::vector<Shown> anchors, works;
    for (auto _ : state) {
        anchors.push_back(PlainAnchor(desk, rows));
        QTextEdit* pane = nullptr;
        works.push_back(MeasureShown(
            [&] {
                command = std::chrono::steady_clock::now();
                dispatcher.Run(menuItem);
                pane = desk.Newest()->Texto();
                return pane->viewport();
            },
            [&] { return WholeTextPlaced(pane); }));
        desk.CloseAll();
        state.SetIterationTime(works.back().firstPaint);
    }
    auto report = [&](const char* name, double scale, double Shown::*field) {
        std::vector<double> a, w;
        for (const Shown& s : anchors)
            a.push_back(s.*field);
        for (const Shown& s : works)
            w.push_back(s.*field);
        const double am = bench::Median(a);
        const double wm = bench::Median(w);
        state.counters[std::string(name)] = wm * scale;
        state.counters[std::string("anchor_") + name] = am * scale;
        if (am > 0)
            state.counters[std::string("x_") + name] = wm / am;
    };
    report("first_ms", 1000, &Shown::firstPaint);
    report("laid_ms", 1000, &Shown::laidOut);
    report("cpu_ms", 1000, &Shown::cpu);
    report("mem_mb", 1.0 / (1024 * 1024), &Shown::memory);
    std::vector<double> stalls;
    for (const Shown& s : works)
        stalls.push_back(s.stall);
    state.counters["stall_ms"] = bench::Median(stalls) * 1000;
    state.counters["model_ms"] = bench::Median(models) * 1000;
    state.counters["lines"] = lines;
}

// F2: the machine register.
void BM_MachineListingShown(benchmark::State& state)
{
    Desk desk;
    std::vector<TMachineRecord> machines;
    for (int i = 1; i <= state.range(0); ++i)
        machines.push_back(NumberedMachine(i));
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::Machine), machines);
    CompareListing(state, desk, QStringLiteral("Máquinas > Listado > Máquinas"));
}
BENCHMARK(BM_MachineListingShown)
    ->Arg(kMachines)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// The records of the other listings belong to 1,000 machines of the register.
constexpr int kListedMachines = 1000;

void StoreListedMachines(Desk& desk)
{
    std::vector<TMachineRecord> machines;
    for (int i = 1; i <= kListedMachines; ++i)
        machines.push_back(NumberedMachine(i));
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::Machine), machines);
}

// OT/Prspuestos > Consulta > Ordenes Trb > Listados OT: 100,000 orders noticed this week, a third closed.
void BM_WorkOrderListingShown(benchmark::State& state)
{
    Desk desk;
    StoreListedMachines(desk);
    const QString week = DateToWeekCode(desk.ctx.st, QDate::currentDate());
    std::vector<TWorkOrderRecord> orders;
    for (int i = 1; i <= state.range(0); ++i) {
        TWorkOrderRecord o{};
        o.Number = i;
        o.Description = "Cambio de rodamiento del motor principal";
        o.Requester = "JEFE DE TURNO";
        o.NoticeDate = week;
        o.StartDate = week;
        o.NoticeHour = "08:00";
        o.StartHour = "09:30";
        o.Machine = MachineCode(1 + i % kListedMachines);
        o.Type = i % 2 ? "P" : "U";
        if (i % 3 == 0) {
            o.State = "E";
            o.CloseDate = week;
            o.CloseHour = "12:15";
        } else {
            o.State = i % 3 == 1 ? "P" : "T";
        }
        orders.push_back(o);
    }
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::WorkOrder), orders);
    CompareListing(state, desk, QStringLiteral("OT/Prspuestos > Consulta > Ordenes Trb > Listados OT"));
}
BENCHMARK(BM_WorkOrderListingShown)
    ->Arg(kListingRows)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// Averías > Consulta (F5): 100,000 breakdowns of this week.
void BM_BreakdownListingShown(benchmark::State& state)
{
    Desk desk;
    StoreListedMachines(desk);
    const QDate today = QDate::currentDate();
    const WeekParts parts = WeekPartsOf(today);
    const auto week = static_cast<std::uint16_t>(AbsoluteWeek(desk.ctx.st, parts.year, parts.week));
    std::vector<TBreakdownRecord> breakdowns;
    for (int i = 1; i <= state.range(0); ++i) {
        TBreakdownRecord b{};
        b.Code = MachineCode(1 + i % kListedMachines);
        b.Week = week;
        b.Day = QString::number(1 + i % 7);
        b.Shift = i % 2 ? "M" : "T";
        b.Type = "E";
        b.Description = "Fallo del sensor de presion";
        b.Intervention = static_cast<std::uint16_t>(15 + i % 60);
        b.Operators = 1;
        b.Stop = static_cast<std::uint16_t>(i % 45);
        b.Delay = 5;
        b.Officer = "JUAN";
        b.ProductionOperator = "LUIS";
        breakdowns.push_back(b);
    }
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::Breakdown), breakdowns);
    CompareListing(state, desk, QStringLiteral("Averías > Consulta"));
}
BENCHMARK(BM_BreakdownListingShown)
    ->Arg(kListingRows)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// Reparaciones > Consulta > Selectiva: 100,000 repairs of this week, most of them done.
void BM_RepairHistoryListingShown(benchmark::State& state)
{
    Desk desk;
    StoreListedMachines(desk);
    const WeekParts parts = WeekPartsOf(QDate::currentDate());
    const auto week = static_cast<std::uint16_t>(AbsoluteWeek(desk.ctx.st, parts.year, parts.week));
    std::vector<TPlannedRepairRecord> repairs;
    for (int i = 1; i <= state.range(0); ++i) {
        TPlannedRepairRecord r{};
        r.Code = MachineCode(1 + i % kListedMachines);
        r.Order = QString::number(i);
        r.Week = week;
        r.Specialty = i % 5 ? "M" : "E";
        r.Description = "Sustituir correa de transmision";
        r.Minutes = static_cast<std::uint16_t>(30 + i % 90);
        r.State = i % 10 ? "E" : "P";
        r.Executor = "JUAN";
        repairs.push_back(r);
    }
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::PlannedRepair), repairs);
    CompareListing(state, desk, QStringLiteral("Reparaciones > Consulta > Selectiva"));
}
BENCHMARK(BM_RepairHistoryListingShown)
    ->Arg(kListingRows)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// Historial MP > Consulta: 100,000 revisions done this week.
void BM_RevisionHistoryListingShown(benchmark::State& state)
{
    Desk desk;
    StoreListedMachines(desk);
    const WeekParts parts = WeekPartsOf(QDate::currentDate());
    const auto week = static_cast<std::uint16_t>(AbsoluteWeek(desk.ctx.st, parts.year, parts.week));
    std::vector<TRevisionRecord> revisions;
    for (int i = 1; i <= state.range(0); ++i) {
        TRevisionRecord r{};
        r.MachineCode = MachineCode(1 + i % kListedMachines);
        r.Frequency = i % 2 ? "S" : "M";
        r.State = "E";
        r.Executor = "JUAN";
        r.Week = week;
        r.Time = static_cast<std::uint16_t>(20 + i % 40);
        r.Comment = "Engrase y revision de niveles";
        revisions.push_back(r);
    }
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::Revision), revisions);
    CompareListing(state, desk, QStringLiteral("Historial MP > Consulta"));
}
BENCHMARK(BM_RevisionHistoryListingShown)
    ->Arg(kListingRows)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

void BM_RtfLoadShown(benchmark::State& state)
{
    Desk desk;
    const std::shared_ptr<ReportDocument> listing = bench::DailyReportListing(kRtfLines);
    const QString path = desk.dir.filePath(QStringLiteral("partes.rtf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(WriteRtf(*listing)) < 0)
        state.SkipWithError("cannot write the RTF file");
    file.close();
    desk.ui.chosenFile = path;
    desk.ui.yes = true;
    const QString rows = listing->Text();

    bench::CompareWithAnchor(
        state, "x_plain_text_edit", [&] { return PlainAnchor(desk, rows).firstPaint; },
        [&] {
            desk.ui.ShowReport(std::make_shared<ReportDocument>(QStringLiteral("EDITOR DE INFORMES")));
            TEditorRTF* w = desk.Newest();
            bench::WaitUntilPainted(w->Texto()->viewport());
            const double t = bench::TimeOnce([&] {
                w->Commands().Load();
                bench::WaitUntilPainted(w->Texto()->viewport());
            });
            if (w->Texto()->document()->blockCount() != kRtfLines + 1)
                state.SkipWithError("the RTF file did not load");
            desk.CloseAll();
            return t;
        });
}
BENCHMARK(BM_RtfLoadShown)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The program's start-up on a data folder, from the first step to the main window drawn.
double StartUp(const QString& folder)
{
    SilentUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QtPictureCodec codec;
    double seconds = 0;
    {
        Context ctx(ui, clock, shell);
        std::unique_ptr<TGim> window;
        seconds = bench::TimeOnce([&] {
            ctx.st.BaseDir = ctx.st.WorkDir = folder;
            ctx.codec = &codec;
            OperationRegistry& operations = ctx.Module<OperationRegistry>();
            RegisterFeatures(ctx);
            RunStartupBeforeWindow(ctx);
            Dispatcher dispatcher(ctx, operations, MainCommandTable());
            window = std::make_unique<TGim>(ctx, operations, dispatcher);
            RunStartupAfterWindow(ctx);
            window->resize(1280, 900);
            window->show();
            bench::WaitUntilPainted(window.get());
            window.reset();
        });
    }
    bench::Settle();
    return seconds;
}

// Every file the start-up reads, as a ten-year environment holds them: the plan years, 65,535 machines,
// the agenda with the firm's name and a note for this week, 500 people with their hour prices, 100,000
// planned repairs (a hundred of them pending this week) and the reserved codes; the environment selector
// is the one the first start writes.
void BM_StartUp(benchmark::State& state)
{
    constexpr int kPeople = 500;
    constexpr int kRepairs = 100000;
    QTemporaryDir full;
    const QString folder = full.path();
    StartUp(folder);
    {
        SilentUi ui;
        SystemClock clock;
        bench::NoShell shell;
        Context ctx(ui, clock, shell);
        ctx.st.BaseDir = ctx.st.WorkDir = folder;
        ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        InitCurrentDate(ctx);
        BuildDataFileNames(ctx);
        std::vector<TMachineRecord> machines;
        for (int i = 1; i <= kMachines; ++i)
            machines.push_back(NumberedMachine(i));
        StoreRecords(ctx, ctx.st.FileName(DataFile::Machine), machines);
        TPlanYearsRecord years{};
        years.FirstYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000 - 9);
        years.LastYear = static_cast<std::uint8_t>(ctx.st.CurrentYear - 2000 + 1);
        StoreRecords(ctx, ctx.st.PlanYearsFileName, std::vector<TPlanYearsRecord>{years});
        InitPlanningYears(ctx);
        const WeekParts today = WeekPartsOf(QDate::currentDate());
        const int thisWeek = AbsoluteWeek(ctx.st, today.year, today.week);

        std::vector<TAgendaRecord> agenda(ctx.st.PlanWeeks);
        for (TAgendaRecord& week : agenda) {
            week.FreeMinutes = 2400;
            week.Note = " ";
        }
        agenda[0].Note = "TALLERES NORTE";
        agenda[static_cast<std::size_t>(thisWeek)].Note = "Revisar los compresores";
        StoreRecords(ctx, ctx.st.FileName(DataFile::Agenda), agenda);

        ctx.st.FirmName = QStringLiteral("TALLERES NORTE");
        BuildFirmFileNames(ctx);
        std::vector<TPersonnelRecord> people;
        std::vector<THourPriceRecord> prices;
        for (int i = 1; i <= kPeople; ++i) {
            TPersonnelRecord person{};
            person.Matricula = QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
            person.Apellidos = "GARCIA LOPEZ";
            person.Nombre = "JUAN";
            person.Baja = ".";
            people.push_back(person);
            THourPriceRecord price{};
            price.Matricula = person.Matricula;
            price.HCONTRATO = 2500;
            prices.push_back(price);
        }
        StoreRecords(ctx, ctx.st.PersonnelFileName, people);
        StoreRecords(ctx, ctx.st.FileName(DataFile::HourPrice), prices);

        // In descending weeks, as the file is kept.
        std::vector<TPlannedRepairRecord> repairs;
        for (int i = 0; i < kRepairs; ++i) {
            TPlannedRepairRecord r{};
            r.Code = MachineCode(1 + i % kMachines);
            r.Order = QString::number(i + 1);
            r.Week = static_cast<std::uint16_t>(std::max(0, thisWeek - i / 200));
            r.Specialty = "M";
            r.Description = "Sustituir correa de transmision";
            r.Minutes = 60;
            r.State = i % 200 < 100 && i < 200 ? "P" : "E";
            r.Executor = "JUAN";
            repairs.push_back(r);
        }
        StoreRecords(ctx, ctx.st.FileName(DataFile::PlannedRepair), repairs);
        WriteReservedCodes(ctx);
    }
    {
        // The start-up finds them all.
        SilentUi ui;
        SystemClock clock;
        bench::NoShell shell;
        Context ctx(ui, clock, shell);
        ctx.st.BaseDir = ctx.st.WorkDir = folder;
        RegisterFeatures(ctx);
        RunStartupBeforeWindow(ctx);
        if (ctx.st.FirmName != QLatin1String("TALLERES NORTE") || ctx.st.HourPriceTable.size() != kPeople)
            state.SkipWithError("the start-up did not read the fixture's files");
    }
    bench::CompareWithAnchor(
        state, "x_empty_folder",
        [] {
            QTemporaryDir empty;
            return StartUp(empty.path());
        },
        [&] { return StartUp(folder); });
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
} // namespace gim
