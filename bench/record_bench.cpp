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
#include "records/supplier_record.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

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

// A whole load looks at every text's length byte for damage: the load and that look against a plain
// read of the same bytes, on the record with the most texts.
void BM_LoadWhole(benchmark::State& state)
{
    auto& f = Shared();
    const QString name = QStringLiteral("B.PVW");
    StoreRecords(f.ctx, name, std::vector<TSupplierRecord>(kRecords, TSupplierRecord{}));
    std::vector<double> loads, reads, checks;
    for (auto _ : state) {
        reads.push_back(
            bench::TimeOnce([&] { benchmark::DoNotOptimize(ReadWholeFile(f.ctx, f.ctx.Path(name))); }));
        std::vector<TSupplierRecord> loaded;
        const double t = bench::TimeOnce([&] { loaded = LoadRecords<TSupplierRecord>(f.ctx, name); });
        checks.push_back(bench::TimeOnce(
            [&] { benchmark::DoNotOptimize(RecordFile<TSupplierRecord>::OverlongRecords(loaded)); }));
        loads.push_back(t);
        state.SetIterationTime(t);
    }
    state.counters["plain_read_ms"] = bench::Median(reads) * 1000;
    state.counters["check_ms"] = bench::Median(checks) * 1000;
    state.counters["x_plain_read"] = bench::Median(loads) / bench::Median(reads);
}
BENCHMARK(BM_LoadWhole)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(15);

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

// One machine looked up by halves in the sorted register, against what such a search must do at least:
// open the file, read the records a search by halves over 65,535 visits (record 0, then at most 16
// more: one pread each) and close it. Both look up the same 1,000 codes per run, alternately.
void BM_FindMachine(benchmark::State& state)
{
    constexpr int kLookUps = 1000;
    auto& f = Shared();
    f.WriteShuffled();
    SortedRewrite<TMachineRecord>(f.ctx, QStringLiteral("B.MQW"), QStringLiteral("B.MBK"),
                                  ByField(&TMachineRecord::Codigo), KeyIsDeleted(&TMachineRecord::Codigo));
    const QByteArray path = QFile::encodeName(f.ctx.Path(QStringLiteral("B.MQW")));
    std::size_t first = 0;
    std::size_t preads = 0;
    auto preadsByHalves = [&] {
        preads = 0;
        return bench::TimeOnce([&] {
            for (int k = 0; k < kLookUps; ++k) {
                const std::size_t wanted = (first + static_cast<std::size_t>(k)) * 7919 % kRecords;
                const int fd = ::open(path.constData(), O_RDONLY);
                TMachineRecord probe{};
                const auto read = [&](std::size_t at) {
                    const ssize_t got =
                        ::pread(fd, &probe, sizeof probe, static_cast<off_t>(at * sizeof probe));
                    benchmark::DoNotOptimize(got);
                    ++preads;
                };
                // Record 0 on its own, then records 1..n-1 by halves, as the look-up walks them.
                read(0);
                std::size_t low = 1;
                std::size_t high = kRecords - 1;
                while (wanted != 0 && low <= high) {
                    const std::size_t middle = low + (high - low) / 2;
                    read(middle);
                    if (middle == wanted)
                        break;
                    if (middle < wanted)
                        low = middle + 1;
                    else
                        high = middle - 1;
                }
                ::close(fd);
                benchmark::DoNotOptimize(probe);
            }
        });
    };
    auto findMachine = [&] {
        return bench::TimeOnce([&] {
            for (int k = 0; k < kLookUps; ++k) {
                TMachineRecord r{};
                r.Codigo = f.codes[(first + static_cast<std::size_t>(k)) * 7919 % f.codes.size()].c_str();
                FindMachine(f.ctx, QStringLiteral("B.MQW"), r);
                benchmark::DoNotOptimize(r);
            }
        });
    };
    std::vector<double> anchors, works;
    for (auto _ : state) {
        anchors.push_back(preadsByHalves());
        works.push_back(findMachine());
        state.SetIterationTime(works.back() / kLookUps);
        first += kLookUps;
    }
    const double a = bench::Median(anchors) / kLookUps;
    const double w = bench::Median(works) / kLookUps;
    state.counters["median_us"] = w * 1e6;
    state.counters["anchor_us"] = a * 1e6;
    state.counters["x_17_preads"] = w / a;
    state.counters["preads_per_lookup"] = static_cast<double>(preads) / kLookUps;
}
BENCHMARK(BM_FindMachine)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(15);

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
