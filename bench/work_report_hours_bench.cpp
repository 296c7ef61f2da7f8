// The daily hours per person over a year of 100,000 daily-report lines and 200 people, against a plain
// read of the same .PDA: the listing alone on the loaded lines, and the load with the listing.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "listing_fixtures.h"
#include "platform/clock.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_hours.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr std::size_t kLines = 100000;

struct Year
{
    bench::SilentUi ui{QDate(2026, 1, 1), QDate(2026, 12, 31)}; // every date range asked
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t rows = 0;

    Year()
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        BuildFirmFileNames(ctx);
        bench::StoreDailyReportYear(ctx, static_cast<int>(kLines));
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> report) {
            rows = static_cast<std::size_t>(report->LineCount());
        };
    }

    double PlainRead() { return bench::PlainReadSeconds(ctx.Path(QStringLiteral("PORTAL.PDA"))); }
};

Year& Shared()
{
    static Year year;
    return year;
}

// Argument 0: the listing on lines already loaded; 1: the load and the listing, as the menu runs them.
void BM_PersonnelDailyHoursReport(benchmark::State& state)
{
    Year& f = Shared();
    const bool withLoad = state.range(0) != 0;
    LoadWorkReports(f.ctx);
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            return bench::TimeOnce([&] {
                if (withLoad)
                    LoadWorkReports(f.ctx);
                PersonnelDailyHoursReport(f.ctx);
            });
        });
    FreeWorkReportList(f.ctx);
    state.counters["report_lines"] = static_cast<double>(f.rows);
    state.SetLabel(withLoad ? "load and listing" : "listing");
}
BENCHMARK(BM_PersonnelDailyHoursReport)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
