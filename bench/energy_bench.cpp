// The meter-reading listing over a whole reading file (up to 65,535 readings of 2,000 meters), loaded and
// listed as F8 lists it, against a plain read of the same .ENW; a quarter of the file shows how it grows.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "core/week_codes.h"
#include "listing_fixtures.h"
#include "platform/clock.h"
#include "preventive/energy_readings.h"
#include "preventive/energy_reports.h"
#include "records/energy_reading_record.h"
#include "records/machine_record.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace gim;

struct Plant
{
    bench::SilentUi ui{QDate(2026, 1, 1), QDate(2027, 12, 31)}; // every date range asked
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t listed = 0;

    explicit Plant(int count)
    {
        bench::UsePortalFolder(ctx, dir.path());
        bench::StoreEnergyReadings(ctx, count);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { listed = doc->Lines().size(); };
    }

    double PlainRead() { return bench::PlainReadSeconds(ctx.Path(QStringLiteral("PORTAL.ENW"))); }
};

void BM_EnergyReadingListing(benchmark::State& state)
{
    Plant& f = bench::FixtureOfSize<Plant>(static_cast<int>(state.range(0)));
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            f.ctx.st.ActionCode = QStringLiteral("3");
            return bench::TimeOnce([&] {
                LoadEnergyReadings(f.ctx);
                EnergyConsumptionReport(f.ctx);
            });
        });
    state.counters["lines"] = static_cast<double>(f.listed);
}
BENCHMARK(BM_EnergyReadingListing)
    ->Arg(16383)
    ->Arg(65535)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
