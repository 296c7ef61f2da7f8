// The year restart's carries of the corrective files, each over a file of 65,535 records, compared with a
// plain read of that file: the open orders renumbered into the new environment, and the repairs sorted by
// week and carried with their orders renamed.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "corrective/year_restart.h"
#include "platform/clock.h"
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

constexpr int kRecords = 65535;

struct RestartPlant
{
    bench::SilentUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    OrderRenumbering orders;

    RestartPlant()
    {
        bench::UsePortalFolder(ctx, dir.path());
        ctx.st.PlanWeeks = 156;
        std::mt19937 rng(7);
        std::vector<TWorkOrderRecord> workOrders(kRecords);
        const char* orderStates[] = {"P", "T", "A", "E", "M"};
        for (int i = 0; i < kRecords; ++i) {
            workOrders[i].Number = i;
            workOrders[i].State = orderStates[rng() % 5];
        }
        // Unsorted weeks, some deleted, every repair naming an order.
        std::vector<TPlannedRepairRecord> repairs(kRecords);
        const char* states[] = {"E", "P", "T", "M", "J", "S"};
        for (int i = 0; i < kRecords; ++i) {
            repairs[i].Code = rng() % 50 == 0 ? "Z" : "M0001";
            repairs[i].Week = static_cast<std::uint16_t>(rng() % 157);
            repairs[i].State = states[rng() % 6];
            repairs[i].Order = std::to_string(rng() % kRecords).c_str();
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.OTR"), workOrders);
        StoreRecords(ctx, QStringLiteral("PORTAL.SEM"), repairs);
    }

    double PlainRead(const char* name)
    {
        return bench::TimeOnce([&] {
            QFile f(ctx.Path(QString::fromLatin1(name)));
            f.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(f.readAll().size());
        });
    }
};

void BM_RestartYearWorkOrders(benchmark::State& state)
{
    static RestartPlant f;
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead("PORTAL.OTR"); },
        [&] {
            return bench::TimeOnce([&] { f.orders = RestartYearWorkOrders(f.ctx, QStringLiteral("NUEVO")); });
        });
    state.counters["carried"] = static_cast<double>(f.orders.size());
}
BENCHMARK(BM_RestartYearWorkOrders)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_RestartYearPlannedRepairs(benchmark::State& state)
{
    static RestartPlant f;
    f.orders = RestartYearWorkOrders(f.ctx, QStringLiteral("NUEVO"));
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead("PORTAL.SEM"); },
        [&] {
            return bench::TimeOnce(
                [&] { RestartYearPlannedRepairs(f.ctx, QStringLiteral("NUEVO"), f.orders); });
        });
}
BENCHMARK(BM_RestartYearPlannedRepairs)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
