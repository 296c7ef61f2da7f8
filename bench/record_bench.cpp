// Record-layer costs at the largest file size the old program could address (65,535 records), each
// reported with its ratio to a plain copy of the same bytes so the figures hold on a noisy machine.
#include "bench_support.h"
#include "core/context.h"
#include "core/data_file.h"
#include "core/lookups.h"
#include "platform/clock.h"
#include "platform/report.h"
#include "platform/shell.h"
#include "platform/ui.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

using namespace gim;

using bench::NoShell;
using bench::SilentUi;

constexpr std::size_t kRecords = 65535;

struct Fixture
{
    SilentUi ui;
    SystemClock clock;
    NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::vector<TMachineRecord> shuffled;
    std::vector<std::string> codes;

    Fixture()
    {
        ctx.st.WorkDir = ctx.st.BaseDir = dir.path();
        std::mt19937 rng(42);
        for (std::size_t i = 0; i < kRecords; ++i) {
            TMachineRecord r{};
            const std::string code = std::string("M").append(std::to_string(1000000 + i).substr(1));
            r.Codigo = code.c_str();
            r.Denominacion = "MAQUINA DE PRUEBA";
            r.Cuenta = "ABC";
            r.Disponible = "SI";
            shuffled.push_back(r);
            codes.push_back(code);
        }
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
    }
    void WriteShuffled() { StoreRecords(ctx, QStringLiteral("B.MQW"), shuffled); }
};

Fixture& Shared()
{
    static Fixture f;
    return f;
}

double g_copySeconds = 0;

void BM_PlainCopy(benchmark::State& state)
{
    auto& f = Shared();
    f.WriteShuffled();
    const QString from = f.ctx.Path(QStringLiteral("B.MQW"));
    const QString to = f.ctx.Path(QStringLiteral("COPY.MQW"));
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        QFile::remove(to);
        QFile::copy(from, to);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    g_copySeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

void BM_SortedRewrite(benchmark::State& state)
{
    auto& f = Shared();
    const QString data = f.ctx.Path(QStringLiteral("B.MQW"));
    double total = 0;
    std::vector<double> rewrites, twice, cps;
    for (auto _ : state) {
        f.WriteShuffled();
        // What any rewrite of the file must do at least: read it, and write the twin and the file
        // crash-safely (with the same syncs).
        twice.push_back(bench::TimeOnce([&] {
            const std::string bytes = ReadWholeFile(f.ctx, data);
            WriteFileAtomically(f.ctx, f.ctx.Path(QStringLiteral("W1.MBK")), bytes);
            WriteFileAtomically(f.ctx, f.ctx.Path(QStringLiteral("W2.MQW")), bytes);
        }));
        cps.push_back(bench::TimeOnce([&] {
            QProcess::execute(QStringLiteral("cp"), {data, f.ctx.Path(QStringLiteral("CP.MQW"))});
        }));
        const double t = bench::TimeOnce([&] {
            SortedRewrite<TMachineRecord>(f.ctx, QStringLiteral("B.MQW"), QStringLiteral("B.MBK"),
                                          ByField(&TMachineRecord::Codigo),
                                          KeyIsDeleted(&TMachineRecord::Codigo));
        });
        rewrites.push_back(t);
        state.SetIterationTime(t);
        total += t;
    }
    const double median = bench::Median(rewrites);
    state.counters["median_ms"] = median * 1000;
    state.counters["write_twice_ms"] = bench::Median(twice) * 1000;
    state.counters["cp_ms"] = bench::Median(cps) * 1000;
    state.counters["x_write_twice"] = median / bench::Median(twice);
    state.counters["x_cp"] = median / bench::Median(cps);
    if (g_copySeconds > 0)
        state.counters["x_plain_copy"] = total / static_cast<double>(state.iterations()) / g_copySeconds;
}
BENCHMARK(BM_SortedRewrite)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);

// Peak memory of the sorted rewrite, measured in a fresh process of this program (see
// RunMemoryProbe) against the same process that only starts and stops.
void BM_SortedRewritePeakMemory(benchmark::State& state)
{
    auto& f = Shared();
    const QString data = f.ctx.Path(QStringLiteral("B.MQW"));
    auto probe = [&](const char* what) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory-probe"), QLatin1String(what), f.dir.path()});
        p.waitForFinished(120000);
        return p.readAllStandardOutput().trimmed().toDouble(); // kB
    };
    double idle = 0, peak = 0;
    for (auto _ : state) {
        f.WriteShuffled();
        idle = probe("idle");
        peak = probe("rewrite");
    }
    const double fileKb = static_cast<double>(QFileInfo(data).size()) / 1024;
    const double listKb = static_cast<double>(kRecords * sizeof(std::uint32_t)) / 1024;
    state.counters["file_MB"] = fileKb / 1024;
    state.counters["peak_over_idle_MB"] = (peak - idle) / 1024;
    state.counters["x_file"] = (peak - idle) / fileKb;
    state.counters["limit_MB"] = (2 * fileKb + listKb) / 1024;
}
BENCHMARK(BM_SortedRewritePeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FindMachine(benchmark::State& state)
{
    auto& f = Shared();
    f.WriteShuffled();
    SortedRewrite<TMachineRecord>(f.ctx, QStringLiteral("B.MQW"), QStringLiteral("B.MBK"),
                                  ByField(&TMachineRecord::Codigo), KeyIsDeleted(&TMachineRecord::Codigo));
    std::size_t i = 0;
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        TMachineRecord r{};
        r.Codigo = f.codes[(i * 7919) % f.codes.size()].c_str();
        FindMachine(f.ctx, QStringLiteral("B.MQW"), r);
        benchmark::DoNotOptimize(r);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ++i;
    }
    if (g_copySeconds > 0)
        state.counters["x_plain_copy"] = total / static_cast<double>(state.iterations()) / g_copySeconds;
}
BENCHMARK(BM_FindMachine)->Unit(benchmark::kMicrosecond);

} // namespace

namespace gim::bench {

// "--memory-probe idle|rewrite <folder>": runs the sorted rewrite of <folder>/B.MQW (or nothing) and
// prints the process's peak resident size in kB.
int RunMemoryProbe(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    SilentUi ui;
    SystemClock clock;
    NoShell shell;
    Context ctx{ui, clock, shell};
    ctx.st.WorkDir = ctx.st.BaseDir = QString::fromLocal8Bit(argv[3]);
    if (std::strcmp(argv[2], "rewrite") == 0)
        SortedRewrite<TMachineRecord>(ctx, QStringLiteral("B.MQW"), QStringLiteral("B.MBK"),
                                      ByField(&TMachineRecord::Codigo),
                                      KeyIsDeleted(&TMachineRecord::Codigo));
    // The high-water mark of this program image (ru_maxrss would include the parent's before exec).
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            std::printf("%s\n", line.mid(6).trimmed().split(' ').front().constData());
    return 0;
}

} // namespace gim::bench
