// The daily-report file at 100,000 lines: the load and the sorting rewrite of a file already sorted (as
// every sort leaves it) and of one in arrival order, each against a plain copy of the same .PDA.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "workreports/work_report_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr std::size_t kLines = 100000;

struct Lines
{
    bench::SilentUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::vector<TWorkReportRecord> sorted;   // latest first, as the sort writes them
    std::vector<TWorkReportRecord> arriving; // the same lines in the order they were entered

    Lines()
    {
        bench::UsePortalFolder(ctx, dir.path());
        // Five years of lines of twenty operators, several a day each.
        std::mt19937 rng(7);
        for (std::size_t i = 0; i < kLines; ++i) {
            TWorkReportRecord r{};
            const int day = static_cast<int>(i * 5 * 52 * 7 / kLines);
            const std::string dia = std::to_string(20 + day / 364) + "/" +
                                    std::to_string(100 + day % 364 / 7 + 1).substr(1) + "/" +
                                    std::to_string(day % 7 + 1);
            const std::string operatorCode = std::to_string(10000 + rng() % 20).substr(1);
            r.dia = dia.c_str();
            r.Matricula = operatorCode.c_str();
            r.Codigo = "PRENSA01";
            r.Orden = "1234";
            r.Tipo = "C";
            r.TIPOH = "N";
            r.Descripcion = "Cambio de rodamiento y alineacion";
            r.Tinter = 90;
            arriving.push_back(r);
        }
        std::shuffle(arriving.begin(), arriving.end(), rng);
        sorted = arriving;
        std::stable_sort(sorted.begin(), sorted.end(), WorkReportBefore);
    }

    void Write(bool inOrder) { StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), inOrder ? sorted : arriving); }
    double PlainCopy()
    {
        const QString to = ctx.Path(QStringLiteral("COPY.PDA"));
        return bench::TimeOnce([&] {
            QFile::remove(to);
            QFile::copy(ctx.Path(QStringLiteral("PORTAL.PDA")), to);
        });
    }
};

Lines& Shared()
{
    static Lines lines;
    return lines;
}

// Argument 1: a sorted file; 0: lines in arrival order.
void BM_WorkReportLoad(benchmark::State& state)
{
    Lines& f = Shared();
    f.Write(state.range(0) != 0);
    bench::CompareWithAnchor(
        state, "x_plain_copy", [&] { return f.PlainCopy(); },
        [&] {
            const double t = bench::TimeOnce([&] { LoadWorkReports(f.ctx); });
            benchmark::DoNotOptimize(LoadedWorkReports(f.ctx).data());
            FreeWorkReportList(f.ctx);
            return t;
        });
    state.SetLabel(state.range(0) ? "sorted" : "arrival order");
}
BENCHMARK(BM_WorkReportLoad)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

void BM_WorkReportSort(benchmark::State& state)
{
    Lines& f = Shared();
    const bool inOrder = state.range(0) != 0;
    bench::CompareWithAnchor(
        state, "x_plain_copy",
        [&] {
            f.Write(inOrder);
            return f.PlainCopy();
        },
        [&] {
            const double t = bench::TimeOnce([&] { SortWorkReportFile(f.ctx); });
            FreeWorkReportList(f.ctx);
            return t;
        });
    state.SetLabel(inOrder ? "sorted" : "arrival order");
}
BENCHMARK(BM_WorkReportSort)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

} // namespace
