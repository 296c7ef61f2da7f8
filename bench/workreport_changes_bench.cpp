// The walks of the edit and of the merge over a daily-report file of 100,000 lines that none of them
// takes (a handed-over line of another week; a merge range before every line), against a plain copy of
// the same file: what the user waits for before the first card or the log.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "workreports/work_report_changes.h"
#include "workreports/work_report_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr std::size_t kLines = 100000;

struct Walk
{
    bench::SilentUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};

    Walk()
    {
        ctx.st.WorkDir = ctx.st.BaseDir = dir.path();
        ctx.st.CurrentEnvironment = QStringLiteral("PORTAL");
        ctx.st.FirstYear = 20;
        BuildDataFileNames(ctx);
        std::vector<TWorkReportRecord> lines(kLines);
        for (std::size_t i = 0; i < kLines; ++i) {
            TWorkReportRecord& r = lines[i];
            const std::size_t day = i * 5 * 52 * 7 / kLines;
            const std::string dia = std::to_string(20 + day / 364) + "/" +
                                    std::to_string(100 + day % 364 / 7 + 1).substr(1) + "/" +
                                    std::to_string(day % 7 + 1);
            r.dia = dia.c_str();
            r.Matricula = std::to_string(100000 + i % 20).substr(1).c_str();
            r.Codigo = "PRENSA01";
            r.Tipo = "C";
            r.TIPOH = "N";
            r.Descripcion = "Cambio de rodamiento y alineacion";
            r.Tinter = 90;
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), lines);
    }
    double PlainCopy()
    {
        const QString to = ctx.Path(QStringLiteral("COPY.PDA"));
        return bench::TimeOnce([&] {
            QFile::remove(to);
            QFile::copy(ctx.Path(QStringLiteral("PORTAL.PDA")), to);
        });
    }
};

Walk& Shared()
{
    static Walk walk;
    return walk;
}

void BM_WorkReportEditWalk(benchmark::State& state)
{
    Walk& f = Shared();
    bench::CompareWithAnchor(
        state, "x_plain_copy", [&] { return f.PlainCopy(); },
        [&] {
            TWorkReportRecord& input = WorkReports(f.ctx).WorkReportInput;
            input = TWorkReportRecord{};
            input.Matricula = "0001";
            input.Codigo = "PRENSA01";
            input.Tipo = "C";
            input.TIPOH = "N";
            input.dia = "30/01/1";
            input.Descripcion = "Cambio";
            f.ctx.st.ActionCode = QStringLiteral("4");
            return bench::TimeOnce([&] { ModifyWorkReport(f.ctx); });
        });
}
BENCHMARK(BM_WorkReportEditWalk)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

void BM_WorkReportMergeWalk(benchmark::State& state)
{
    Walk& f = Shared();
    const QString source = f.ctx.Path(QStringLiteral("PORTAL.PDA"));
    bench::CompareWithAnchor(
        state, "x_plain_copy", [&] { return f.PlainCopy(); },
        [&] {
            // The picker is closed: the range stays before every line.
            f.ctx.st.RangeStartWeek = QStringLiteral("00/01/1");
            f.ctx.st.RangeEndWeek = QStringLiteral("00/01/7");
            return bench::TimeOnce([&] { MergeWorkReportFile(f.ctx, source); });
        });
}
BENCHMARK(BM_WorkReportMergeWalk)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

} // namespace
