// Report-model costs for a listing of 100,000 daily-report lines: building the document, its transcript,
// writing and reading it as RTF. Each is reported with its ratio to a plain copy of the RTF's bytes.
#include "bench_support.h"
#include "platform/report.h"
#include "platform/rtf.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using namespace gim;

constexpr int kLines = 100000;

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Shared
{
    std::shared_ptr<ReportDocument> doc = bench::DailyReportListing(kLines);
    QByteArray rtf = WriteRtf(*doc);
    QTemporaryDir dir;
    double copySeconds = 0;
};

Shared& S()
{
    static Shared s;
    return s;
}

void BM_ReportPlainCopy(benchmark::State& state)
{
    auto& s = S();
    const QString from = s.dir.filePath(QStringLiteral("a.rtf"));
    const QString to = s.dir.filePath(QStringLiteral("b.rtf"));
    QFile f(from);
    if (f.open(QIODevice::WriteOnly))
        f.write(s.rtf);
    f.close();
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        QFile::remove(to);
        QFile::copy(from, to);
        total += Seconds(t0);
    }
    s.copySeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReportPlainCopy)->Unit(benchmark::kMillisecond);

template <typename Work> void Measure(benchmark::State& state, Work work)
{
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        total += Seconds(t0);
    }
    if (S().copySeconds > 0)
        state.counters["x_plain_copy"] = total / static_cast<double>(state.iterations()) / S().copySeconds;
}

void BM_ReportBuild(benchmark::State& state)
{
    Measure(state, [] { benchmark::DoNotOptimize(bench::DailyReportListing(kLines)); });
}
BENCHMARK(BM_ReportBuild)->Unit(benchmark::kMillisecond);

void BM_ReportTranscript(benchmark::State& state)
{
    Measure(state, [] { benchmark::DoNotOptimize(S().doc->Transcript()); });
}
BENCHMARK(BM_ReportTranscript)->Unit(benchmark::kMillisecond);

void BM_ReportWriteRtf(benchmark::State& state)
{
    Measure(state, [] { benchmark::DoNotOptimize(WriteRtf(*S().doc)); });
}
BENCHMARK(BM_ReportWriteRtf)->Unit(benchmark::kMillisecond);

void BM_ReportReadRtf(benchmark::State& state)
{
    Measure(state, [] {
        ReportDocument doc;
        ReadRtf(S().rtf, doc);
        benchmark::DoNotOptimize(doc);
    });
}
BENCHMARK(BM_ReportReadRtf)->Unit(benchmark::kMillisecond);

} // namespace
