// The maintenance ratios over a year: the plan control of 2,000 planned machines repeated for each of 52
// weeks (Ratios > Planing) and the route control of every machine (Ratios > Rutas), against a history of
// 100,000 revisions, compared with a plain read of the same .HRC.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "preventive/preventive_ratios.h"
#include "preventive/revisions.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/plan_records.h"
#include "records/revision_record.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr int kMachines = 2000;
constexpr int kRevisions = 100000;

// Weeks 0 to 51 of 2025, every other prompt with its default.
class YearUi final : public bench::SilentUi
{
public:
    QString InputBox(const QString&, const QString& prompt, const QString& d) override
    {
        if (prompt.startsWith(QLatin1String("SEMANA INICIAL")))
            return QStringLiteral("0");
        if (prompt.startsWith(QLatin1String("SEMANA FINAL")))
            return QStringLiteral("51");
        return prompt.startsWith(QStringLiteral("AÑO")) ? QStringLiteral("2025") : d;
    }
};

struct RatioPlant
{
    YearUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t lines = 0;

    RatioPlant()
    {
        bench::UsePortalFolder(ctx, dir.path());
        ctx.st.FirstYear = 25;
        ctx.st.LastYear = 27;
        ctx.st.PlanWeeks = 104;
        ctx.st.Plan1SFlag = 1;
        std::mt19937 rng(7);
        std::vector<TMachineRecord> machines(kMachines);
        std::vector<TOperationRecord> operations;
        std::vector<TPlanRecord> plan(kMachines);
        const char* frequencies[] = {"1S", "M", "M3", "S2"};
        for (int i = 0; i < kMachines; ++i) {
            const std::string code = std::string("M").append(std::to_string(10000 + i).substr(1));
            machines[i].Codigo = code.c_str();
            machines[i].Denominacion = "Maquina de prueba";
            machines[i].Disponible = "SI";
            for (const char* f : frequencies) {
                TOperationRecord op{};
                op.MachineCode = code.c_str();
                op.Frequency = f;
                op.Speciality = i % 10 == 0 ? "PR" : "MC";
                op.Minutes = 30;
                operations.push_back(op);
            }
            plan[i].Code = code.c_str();
            plan[i].StartWeek = static_cast<std::uint16_t>(rng() % 52);
        }
        // Newest week first, as the history file is kept.
        std::vector<TRevisionRecord> history(kRevisions);
        for (int i = 0; i < kRevisions; ++i) {
            history[i].MachineCode = machines[rng() % kMachines].Codigo;
            history[i].Frequency = frequencies[rng() % 4];
            history[i].State = rng() % 5 == 0 ? "ER" : "E";
            history[i].Week = static_cast<std::uint16_t>(103 - i * 104 / kRevisions);
            history[i].Time = 25;
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
        StoreRecords(ctx, QStringLiteral("PORTAL.OPR"), operations);
        StoreRecords(ctx, QStringLiteral("PORTAL.PLN"), plan);
        StoreRecords(ctx, QStringLiteral("PORTAL.HRC"), history);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { lines = doc->Lines().size(); };
    }

    double PlainRead() { return bench::PlainReadSeconds(ctx.Path(QStringLiteral("PORTAL.HRC"))); }
};

// state.range(0): the ActionCode, 1 the plan ratios, 3 the routes.
void BM_PreventiveRatios(benchmark::State& state)
{
    static RatioPlant f;
    const QString mode = QString::number(state.range(0));
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            f.ctx.st.SubCode = QStringLiteral("R");
            f.ctx.st.ActionCode = mode;
            return bench::TimeOnce([&] {
                PreventiveRatios(f.ctx);
                FreeRevisionList(f.ctx);
            });
        });
    state.counters["lines"] = static_cast<double>(f.lines);
}
BENCHMARK(BM_PreventiveRatios)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
