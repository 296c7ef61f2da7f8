// The cost-account analysis over 25,000 and 100,000 daily-report lines of 2,000 machines, from the load
// of the lines to the report model, against a plain pass that reads the same .PDA and writes one report
// line per record with its fields.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "platform/report.h"
#include "records/machine_record.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_listings.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr int kMachines = 2000;

struct Listing
{
    bench::SilentUi ui{QDate(2020, 1, 1), QDate(2026, 12, 31)}; // every date range asked
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t reportLines = 0;

    explicit Listing(int lineCount)
    {
        bench::UsePortalFolder(ctx, dir.path());
        std::vector<TMachineRecord> machines;
        for (int m = 0; m < kMachines; ++m) {
            TMachineRecord r{};
            r.Codigo = bench::Numbered("M%d", 10000 + m).c_str();
            r.Cuenta = bench::Numbered("CTA%d", m % 40).c_str();
            machines.push_back(r);
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
        // Five years of lines, each on one of the machines, the types of every kind.
        const char* const types[] = {"RM", "AL", "ALB", "F", "PM"};
        std::vector<TWorkReportRecord> lines;
        for (int i = 0; i < lineCount; ++i) {
            TWorkReportRecord r{};
            const int day = static_cast<int>(std::int64_t{i} * 5 * 52 * 7 / lineCount);
            r.dia = (std::to_string(21 + day / 364) + "/" +
                     std::to_string(100 + day % 364 / 7 + 1).substr(1) + "/" + std::to_string(day % 7 + 1))
                        .c_str();
            r.Matricula = "000001";
            r.Codigo = bench::Numbered("M%d", 10000 + i * 7919 % kMachines).c_str();
            r.Tipo = types[i % 5];
            r.TIPOH = "C";
            r.Descripcion = "Cambio de rodamiento y alineacion";
            r.Tinter = 90;
            r.Tparo = 3;
            lines.push_back(r);
        }
        std::stable_sort(lines.begin(), lines.end(), WorkReportBefore);
        StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), lines);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) {
            reportLines = static_cast<std::size_t>(doc->LineCount());
        };
    }
    double PlainPass()
    {
        return bench::TimeOnce([&] {
            QFile file(ctx.Path(QStringLiteral("PORTAL.PDA")));
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            const auto* records = reinterpret_cast<const TWorkReportRecord*>(bytes.constData());
            auto doc = std::make_shared<ReportDocument>(QStringLiteral("PLANO"));
            for (std::size_t i = 0; i < static_cast<std::size_t>(bytes.size()) / sizeof(TWorkReportRecord);
                 ++i) {
                const TWorkReportRecord& r = records[i];
                doc->AddLine(QLatin1Char('\t') + r.Matricula.str() + QLatin1Char('\t') + r.Codigo.str() +
                             QLatin1Char('\t') + r.dia.str() + QLatin1Char('\t') + r.TIPOH.str() +
                             QLatin1Char('\t') + r.Tipo.str() + QLatin1Char('\t') +
                             QString::number(r.Tinter.get()) + QLatin1Char('\t') +
                             QString::number(r.Tparo.get()) + QLatin1Char('\t') + r.Orden.str() +
                             QLatin1Char('\t') + r.Descripcion.str());
            }
            benchmark::DoNotOptimize(doc->Lines().size());
        });
    }
};

// Every account: each line is listed once under its machine.
void BM_CostAccountAnalysis(benchmark::State& state)
{
    static Listing small(25000);
    static Listing large(100000);
    Listing& f = state.range(0) == 25000 ? small : large;
    bench::CompareWithAnchor(
        state, "x_plain_pass", [&] { return f.PlainPass(); },
        [&] {
            return bench::TimeOnce([&] {
                LoadWorkReports(f.ctx);
                CostAccountAnalysis(f.ctx);
                FreeWorkReportList(f.ctx);
            });
        });
    benchmark::DoNotOptimize(f.reportLines);
    state.counters["report_lines"] = static_cast<double>(f.reportLines);
}
BENCHMARK(BM_CostAccountAnalysis)
    ->Arg(25000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
