// The corrective ratios over a plan of three years: the repair ratio of 156 weeks against 30,000 planned
// repairs (Reparaciones > Ratios) and the work-order evolution of a year against 50,000 orders
// (OT/Prspuestos > Ratios OT), each compared with a plain read of the file it walks. The repair ratio runs
// from its menu item, with the sort of the repair file the item runs first.
#include "app/features.h"
#include "bench_support.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "corrective/corrective_ratios.h"
#include "platform/clock.h"
#include "records/plan_records.h"
#include "records/planned_repair_record.h"
#include "records/work_order_record.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr int kRepairs = 30000;
constexpr int kOrders = 50000;

struct CorrectivePlant
{
    bench::SilentUi ui; // the year asked is this year's default, 2026
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t lines = 0;

    CorrectivePlant()
    {
        bench::UsePortalFolder(ctx, dir.path());
        ctx.st.FirstYear = 24;
        ctx.st.LastYear = 27;
        ctx.st.PlanWeeks = 156;
        ctx.st.YearText = QStringLiteral("2026");
        std::mt19937 rng(7);
        std::vector<TAgendaRecord> agenda(156);
        for (TAgendaRecord& week : agenda) {
            week.FreeMinutes = 1200;
            week.PlannedMinutes = 1200;
        }
        // Newest week first, as the sort leaves the file.
        std::vector<TPlannedRepairRecord> repairs(kRepairs);
        const char* states[] = {"E", "P", "T", "M"};
        for (int i = 0; i < kRepairs; ++i) {
            repairs[i].Code = "M0001";
            repairs[i].Week = static_cast<std::uint16_t>(155 - i * 156 / kRepairs);
            repairs[i].Minutes = static_cast<std::uint16_t>(30 + rng() % 120);
            repairs[i].State = states[rng() % 4];
            repairs[i].Executor = "02/03/2026";
        }
        std::vector<TWorkOrderRecord> orders(kOrders);
        const char* orderStates[] = {"P", "T", "A", "E", "M"};
        for (int i = 0; i < kOrders; ++i) {
            orders[i].Number = i;
            const std::string notice =
                std::to_string(24 + rng() % 3) + "/" + std::to_string(10 + rng() % 42) + "/1";
            orders[i].NoticeDate = notice.c_str();
            orders[i].State = orderStates[rng() % 5];
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.CAR"), agenda);
        StoreRecords(ctx, QStringLiteral("PORTAL.SEM"), repairs);
        StoreRecords(ctx, QStringLiteral("PORTAL.OTR"), orders);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { lines = doc->Lines().size(); };
    }

    double PlainRead(const char* name)
    {
        return bench::PlainReadSeconds(ctx.Path(QString::fromLatin1(name)));
    }
};

void BM_RepairRatios(benchmark::State& state)
{
    static CorrectivePlant f;
    static const bool registered = (RegisterFeatures(f.ctx), true);
    benchmark::DoNotOptimize(registered);
    Dispatcher dispatcher(f.ctx, f.ctx.Module<OperationRegistry>(), MainCommandTable());
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead("PORTAL.SEM"); },
        [&] { return bench::TimeOnce([&] { dispatcher.Run(QStringLiteral("Reparaciones > Ratios")); }); });
    state.counters["lines"] = static_cast<double>(f.lines);
}
BENCHMARK(BM_RepairRatios)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_WorkOrderRatios(benchmark::State& state)
{
    static CorrectivePlant f;
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead("PORTAL.OTR"); },
        [&] { return bench::TimeOnce([&] { WorkOrderRatios(f.ctx); }); });
    state.counters["lines"] = static_cast<double>(f.lines);
}
BENCHMARK(BM_WorkOrderRatios)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
