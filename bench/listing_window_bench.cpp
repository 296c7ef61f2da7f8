// What the user waits for with the large listings of the preventive, daily-report and purchase menus: each
// command run from its menu item until its report window is drawn, alternately with a QPlainTextEdit
// showing the same text in the same work area. Ratios > Planing, whose window is mostly charts, is timed
// against Control > Planing over the same weeks; the automatic orders' letters, one window each, by how
// 2,000 letters grow over 200.
#include "listing_fixtures.h"
#include "records/spare_part_record.h"
#include "records/supplier_record.h"
#include "window_support.h"

#include <QMdiSubWindow>

namespace gim {
namespace {

using namespace bench;

// F8 over 65,535 readings of two years.
void BM_EnergyReadingListingShown(benchmark::State& state)
{
    Desk desk;
    StoreEnergyReadings(desk.ctx, static_cast<int>(state.range(0)));
    desk.ui.from = QDate(2026, 1, 1);
    desk.ui.to = QDate(2027, 12, 31);
    CompareListing(state, desk, QStringLiteral("Energías > Informes > Por Lecturas"),
                   static_cast<int>(state.range(0)) * 9 / 10);
}
BENCHMARK(BM_EnergyReadingListingShown)
    ->Arg(65535)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// The weeks 0 to 51 of this year of the plan control's year.
void AnswerYearOfWeeks(Desk& desk)
{
    desk.ctx.st.Plan1SFlag = 1; // the plan takes weekly gamas
    desk.ui.answers = {QStringLiteral("0"), QStringLiteral("51"),
                       QString::number(QDate::currentDate().year())};
}

// Control > Planing (F4) over a year: 2,000 machines with four gamas each against 100,000 revisions.
void BM_ControlPlanShown(benchmark::State& state)
{
    Desk desk;
    StorePlanControlYear(desk.ctx, 2000, static_cast<int>(state.range(0)));
    AnswerYearOfWeeks(desk);
    CompareListing(state, desk, QStringLiteral("Historial MP > Control > Planing"), 100000);
}
BENCHMARK(BM_ControlPlanShown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// Ratios > Planing walks the same weeks as Control > Planing without listing each gama: timed against it,
// each from its menu item to its window drawn, over 1x, 2x and 4x the plan and the history.
void BM_PreventiveRatiosShown(benchmark::State& state)
{
    Desk desk;
    const int scale = static_cast<int>(state.range(0));
    StorePlanControlYear(desk.ctx, 2000 * scale, 100000 * scale);
    AnswerYearOfWeeks(desk);
    RegisterFeatures(desk.ctx);
    Dispatcher dispatcher(desk.ctx, desk.ctx.Module<OperationRegistry>(), MainCommandTable());
    const auto shown = [&](const char* item) {
        return TimeOnce([&] {
            desk.ui.pending.assign(desk.ui.answers.begin(), desk.ui.answers.end());
            dispatcher.Run(QString::fromUtf8(item));
            if (TEditorRTF* w = desk.Newest())
                WaitUntilPainted(w->Texto()->viewport());
        });
    };
    CompareWithAnchor(
        state, "x_control_plan",
        [&] {
            const double t = shown("Historial MP > Control > Planing");
            desk.CloseAll();
            return t;
        },
        [&] {
            const double t = shown("Historial MP > Ratios > Planing");
            desk.CloseAll();
            return t;
        });
}
BENCHMARK(BM_PreventiveRatiosShown)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// Partes > Informes > Diario over a year of 100,000 lines and 200 people.
void BM_DailyHoursShown(benchmark::State& state)
{
    Desk desk;
    desk.ctx.st.FirmName = QStringLiteral("FABRICA");
    BuildFirmFileNames(desk.ctx);
    StoreDailyReportYear(desk.ctx, static_cast<int>(state.range(0)));
    desk.ui.from = QDate(2026, 1, 1);
    desk.ui.to = QDate(2026, 12, 31);
    CompareListing(state, desk, QStringLiteral("Partes > Informes > Diario"), 50000);
}
BENCHMARK(BM_DailyHoursShown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// Compras > Listado > Suministrador ("*") over 100,000 order lines of three years.
void BM_PurchaseListingShown(benchmark::State& state)
{
    Desk desk;
    desk.ctx.st.FirmName = QStringLiteral("FABRICA");
    StorePurchaseOrderLines(desk.ctx, static_cast<int>(state.range(0)));
    desk.ui.from = QDate(2024, 1, 1);
    desk.ui.to = QDate(2027, 12, 31);
    CompareListing(state, desk, QStringLiteral("Compras > Listado > Suministrador"),
                   static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PurchaseListingShown)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// Repuestos > Peticiones OFERTAS > Rotura Stock: the stock-break listing and one order letter per supplier
// in its own window, over 10 times as many parts as letters: the time and memory of N letters, alternately
// with a tenth of them, and the ratios.
struct LetterRun
{
    double seconds = 0;
    double memory = 0; // resident
    double heap = 0;   // allocated and not freed
    int windows = 0;
    double closing = 0; // "Cerrar Todas" until the area is idle
};

// The bytes the heap holds for the program. Unlike the resident memory it does not count the pages that
// an earlier run freed and the heap keeps, which a later run reuses without growing: the resident
// figure of 200 letters after 2,000 shows a fraction of what they keep.
double HeapInUseBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
}

LetterRun RunLetters(int letters)
{
    Desk desk;
    desk.ctx.st.FirmName = QStringLiteral("FABRICA");
    BuildFirmFileNames(desk.ctx);
    std::vector<TSupplierRecord> suppliers;
    for (int i = 0; i < letters; ++i) {
        TSupplierRecord s{};
        s.Codigo = Numbered("P%05d", i).c_str();
        s.Empresa = "Suministros de prueba";
        suppliers.push_back(s);
    }
    // Every part below its stock, ten to each supplier.
    std::vector<TSparePartRecord> parts;
    for (int i = 0; i < letters * 10; ++i) {
        TSparePartRecord p{};
        p.Codigo = "ALMACEN_";
        p.Equipo = "01";
        p.Util = Numbered("%03d", i / 1000 % 1000).c_str();
        p.Pieza = Numbered("%03d", i % 1000).c_str();
        p.Nombre = "Rodamiento de prueba";
        p.Stock = 10;
        p.Exist = 2;
        p.Valor = 1500;
        p.CdPVD = suppliers[static_cast<std::size_t>(i % letters)].Codigo;
        parts.push_back(p);
    }
    StoreRecords(desk.ctx, desk.ctx.st.SupplierFileName, suppliers);
    StoreRecords(desk.ctx, QStringLiteral("PORTAL.RPW"), parts);
    RegisterFeatures(desk.ctx);
    // The item ends by cascading the windows, as the main window does it.
    desk.ctx.Module<OperationRegistry>().Register(Op::CascadeWindows,
                                                  [&desk](Context&) { desk.area.cascadeSubWindows(); });
    Dispatcher dispatcher(desk.ctx, desk.ctx.Module<OperationRegistry>(), MainCommandTable());
    desk.ui.answers = {QStringLiteral("A")};
    desk.ui.pending.assign(desk.ui.answers.begin(), desk.ui.answers.end());
    LetterRun run;
    ReleaseFreeMemory();
    const double memory0 = ResidentBytes();
    const double heap0 = HeapInUseBytes();
    run.seconds = TimeOnce([&] {
        dispatcher.Run(QStringLiteral("Repuestos > Peticiones OFERTAS > Rotura Stock"));
        // The last window drawn: from some 1,500 letters on, the cascade leaves its text below the work
        // area and only its title and tool bar on screen.
        if (TEditorRTF* w = desk.Newest())
            WaitUntilPainted(w->parentWidget() ? w->parentWidget() : w);
    });
    ReleaseFreeMemory();
    run.memory = ResidentBytes() - memory0;
    run.heap = HeapInUseBytes() - heap0;
    run.windows = static_cast<int>(desk.area.subWindowList().size());
    run.closing = TimeOnce([&] { desk.CloseAll(); });
    return run;
}

void BM_StockBreakLettersShown(benchmark::State& state)
{
    std::vector<double> small, large, smallMemory, largeMemory, smallHeap, largeHeap, smallClose, largeClose;
    int windows = 0;
    for (auto _ : state) {
        const LetterRun a = RunLetters(static_cast<int>(state.range(0)) / 10);
        const LetterRun b = RunLetters(static_cast<int>(state.range(0)));
        small.push_back(a.seconds);
        large.push_back(b.seconds);
        smallMemory.push_back(a.memory);
        largeMemory.push_back(b.memory);
        smallHeap.push_back(a.heap);
        smallClose.push_back(a.closing);
        largeClose.push_back(b.closing);
        largeHeap.push_back(b.heap);
        windows = b.windows;
        state.SetIterationTime(b.seconds);
    }
    state.counters["median_ms"] = Median(large) * 1000;
    state.counters["anchor_ms"] = Median(small) * 1000;
    state.counters["mem_mb"] = Median(largeMemory) / (1024 * 1024);
    state.counters["anchor_mem_mb"] = Median(smallMemory) / (1024 * 1024);
    state.counters["heap_mb"] = Median(largeHeap) / (1024 * 1024);
    state.counters["anchor_heap_mb"] = Median(smallHeap) / (1024 * 1024);
    state.counters["windows"] = windows;
    if (Median(small) > 0)
        state.counters["x_tenth"] = Median(large) / Median(small);
    if (Median(smallMemory) > 0)
        state.counters["x_tenth_mem"] = Median(largeMemory) / Median(smallMemory);
    state.counters["close_ms"] = Median(largeClose) * 1000;
    if (Median(smallClose) > 0)
        state.counters["x_tenth_close"] = Median(largeClose) / Median(smallClose);
    if (Median(smallHeap) > 0)
        state.counters["x_tenth_heap"] = Median(largeHeap) / Median(smallHeap);
}
// 200 letters against 20, and 2,000 against 200, five times alternately: the medians hold on a busy
// machine, where one run of either can be a tenth off.
BENCHMARK(BM_StockBreakLettersShown)
    ->Arg(200)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
} // namespace gim
