// What the user waits for: F2 on a register of 65,535 machines from the command to the window shown, an
// RTF listing of 100,000 lines loaded into the report window, and the start-up on a ten-year environment
// with 65,535 machines. Each is run alternately with its
// anchor, a QPlainTextEdit filled with the same rows and shown in the same work area, and reports the
// ratio of the medians.
#include "app/main_window.h"
#include "core/startup.h"
#include "masterdata/reserved_codes.h"
#include "platform/rtf.h"
#include "records/breakdown_record.h"
#include "records/hour_price_record.h"
#include "records/personnel_record.h"
#include "records/plan_records.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"
#include "records/work_order_record.h"
#include "window_support.h"

#include <QFile>
#include <cstdio>

namespace gim {
namespace {

using bench::SilentUi;
using namespace bench;

constexpr int kMachines = 65535;
constexpr int kRtfLines = 100000;
constexpr int kListingRows = 100000;

// The listing must list every record asked for, or 100,000 of a larger file.
int RowsAsked(const benchmark::State& state)
{
    return static_cast<int>(std::min<std::int64_t>(kListingRows, state.range(0)));
}

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

// F2: the machine register.
void BM_MachineListingShown(benchmark::State& state)
{
    Desk desk;
    std::vector<TMachineRecord> machines;
    for (int i = 1; i <= state.range(0); ++i)
        machines.push_back(NumberedMachine(i));
    StoreRecords(desk.ctx, desk.ctx.st.FileName(DataFile::Machine), machines);
    CompareListing(state, desk, QStringLiteral("Máquinas > Listado > Máquinas"), RowsAsked(state));
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
    CompareListing(state, desk, QStringLiteral("OT/Prspuestos > Consulta > Ordenes Trb > Listados OT"),
                   RowsAsked(state));
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
    CompareListing(state, desk, QStringLiteral("Averías > Consulta"), RowsAsked(state));
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
    CompareListing(state, desk, QStringLiteral("Reparaciones > Consulta > Selectiva"), RowsAsked(state));
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
    CompareListing(state, desk, QStringLiteral("Historial MP > Consulta"), RowsAsked(state));
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
