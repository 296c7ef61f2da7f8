// The machine cost report over a year of 100,000 daily-report lines on 2,000 machines, in hours and in
// euros, against a plain read of the same .PDA.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "records/machine_record.h"
#include "workreports/machine_cost_report.h"
#include "workreports/machine_costs.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr std::size_t kLines = 100000;
constexpr int kMachines = 2000;

// Answers "E" to the hours-or-euros question when asked to, the default to everything else.
class CostUi final : public bench::SilentUi
{
public:
    QString InputBox(const QString& caption, const QString& prompt, const QString& d) override
    {
        return euros && caption == QLatin1String("SELECCION INFORME")
                   ? QStringLiteral("E")
                   : SilentUi::InputBox(caption, prompt, d);
    }
    bool euros = false;
};

struct CostFiles
{
    CostUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};

    CostFiles()
    {
        bench::UsePortalFolder(ctx, dir.path());
        ctx.st.FirstYear = 24;
        ctx.st.LastYear = 28;
        ctx.st.PlanWeeks = 5 * 52;
        ctx.st.YearText = QStringLiteral("2026");
        std::vector<TMachineRecord> machines(kMachines);
        for (int m = 0; m < kMachines; ++m) {
            machines[static_cast<std::size_t>(m)].Codigo = bench::Numbered("M%d", 10000 + m).c_str();
            machines[static_cast<std::size_t>(m)].Denominacion = "Prensa hidraulica";
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
        for (int p = 0; p < 20; ++p) {
            THourPriceRecord price{};
            price.Matricula = std::to_string(100000 + p).c_str();
            price.HCONTRATO = static_cast<std::uint16_t>(1500 + p);
            ctx.st.HourPriceTable.push_back(price);
        }
        std::mt19937 rng(11);
        const char* types[] = {"C", "P", "R", "V", "F", "D", "ALB"};
        std::vector<TWorkReportRecord> lines(kLines);
        for (TWorkReportRecord& r : lines) {
            const std::string dia = std::string("26/") + std::to_string(101 + rng() % 52).substr(1) + "/1";
            r.dia = dia.c_str();
            r.Matricula = std::to_string(100000 + rng() % 20).c_str();
            r.Codigo = bench::Numbered("M%d", 10000 + rng() % kMachines).c_str();
            r.Tipo = types[rng() % 7];
            r.TIPOH = "C";
            r.Descripcion = "Cambio de rodamiento y alineacion";
            r.Tinter = 90;
            r.Tparo = 1250;
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), lines);
    }
    double PlainRead() { return bench::PlainReadSeconds(ctx.Path(QStringLiteral("PORTAL.PDA"))); }
};

CostFiles& Shared()
{
    static CostFiles files;
    return files;
}

// Argument 1: euros (store movements read too, each line valued); 0: hours.
void BM_MachineCostReport(benchmark::State& state)
{
    CostFiles& f = Shared();
    f.ui.euros = state.range(0) != 0;
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            f.ctx.st.ActionCode = QStringLiteral("3");
            const double t = bench::TimeOnce([&] { MachineCostReport(f.ctx); });
            FreeCostList(f.ctx);
            return t;
        });
    state.SetLabel(state.range(0) ? "euros" : "hours");
}
BENCHMARK(BM_MachineCostReport)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
