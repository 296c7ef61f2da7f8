// Record-layer costs at the largest file size the old program could address (65,535 records), each
// reported with its ratio to a plain copy of the same bytes so the figures hold on a noisy machine.
#include "core/context.h"
#include "core/data_file.h"
#include "core/lookups.h"
#include "platform/clock.h"
#include "platform/report.h"
#include "platform/shell.h"
#include "platform/ui.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <random>

namespace {

using namespace gim;

class SilentUi final : public Ui
{
public:
    QString InputBox(const QString&, const QString&, const QString& d) override { return d; }
    void ShowMessage(const QString&) override {}
    bool AskYesNo(const QString&) override { return false; }
    int RunCard(const CardSpec& s, CardState&) override { return s.cancelResult; }
    void ShowReport(std::shared_ptr<ReportDocument>) override {}
    std::optional<QString> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
    QString ClipboardText() override { return {}; }
    void SetClipboardText(const QString&) override {}
    bool PickDateRange(QDate&, QDate&) override { return false; }
    void BeginProgress(const QString&, int) override {}
    void SetProgress(int) override {}
    void EndProgress() override {}
};

class NoShell final : public Shell
{
public:
    bool OpenPath(const QString&) override { return false; }
    bool OpenUrl(const QString&) override { return false; }
    bool StartProgram(const QString&, const QStringList&) override { return false; }
};

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
            const std::string code = "M" + std::to_string(1000000 + i).substr(1);
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
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.WriteShuffled();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        SortedRewrite<TMachineRecord>(f.ctx, QStringLiteral("B.MQW"), QStringLiteral("B.MBK"),
                                      ByField(&TMachineRecord::Codigo),
                                      KeyIsDeleted(&TMachineRecord::Codigo));
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    if (g_copySeconds > 0)
        state.counters["x_plain_copy"] = total / static_cast<double>(state.iterations()) / g_copySeconds;
}
BENCHMARK(BM_SortedRewrite)->Unit(benchmark::kMillisecond);

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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
