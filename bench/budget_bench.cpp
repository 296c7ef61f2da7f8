// The budget over a register of 65,535 machines, each with a budget record and three routine operations:
// the valuation listing and the preventive update (which reads the whole budget file and writes every
// machine's record back in place). The anchor of each is a plain read of the budget file that writes one
// line per record into a report model.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "masterdata/routines.h"
#include "platform/card.h"
#include "platform/clock.h"
#include "records/budget_record.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "workreports/budget_reports.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr int kMachines = 65535;

// The weighting dialog is confirmed as it opens.
class BudgetUi final : public bench::SilentUi
{
public:
    int RunCard(const CardSpec&, CardState&) override { return CardResult::Save; }
};

std::string Code(int i)
{
    return std::string("M").append(std::to_string(100000 + i).substr(1));
}

struct Plant
{
    BudgetUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t listed = 0;

    Plant()
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        std::vector<TMachineRecord> machines;
        std::vector<TBudgetRecord> budgets;
        std::vector<OperationEntry>& operations = Routines(ctx).OperationList;
        const char* frequencies[] = {"1S", "M", "S4"};
        for (int i = 0; i < kMachines; ++i) {
            TMachineRecord m{};
            m.Codigo = Code(i).c_str();
            m.Denominacion = "Maquina de prueba";
            machines.push_back(m);
            TBudgetRecord b{};
            b.MachineCode = m.Codigo;
            b.AL = i;
            budgets.push_back(b);
            for (const char* f : frequencies) {
                TOperationRecord op{};
                op.MachineCode = m.Codigo;
                op.Frequency = f;
                op.State = i % 3 == 0 ? "P" : "O";
                op.Minutes = 30;
                operations.push_back({op, static_cast<std::uint32_t>(operations.size())});
            }
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
        StoreRecords(ctx, QStringLiteral("PORTAL.PTO"), budgets);
        Routines(ctx).OperationListFile = ctx.st.FileName(DataFile::Operation);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { listed = doc->Lines().size(); };
    }

    // The anchor: the budget file read in one go and one line per record added to a report model.
    double PlainPass()
    {
        return bench::TimeOnce([&] {
            QFile file(ctx.Path(QStringLiteral("PORTAL.PTO")));
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            const auto* records = reinterpret_cast<const TBudgetRecord*>(bytes.constData());
            const std::size_t count = static_cast<std::size_t>(bytes.size()) / sizeof(TBudgetRecord);
            auto doc = std::make_shared<ReportDocument>(QStringLiteral("PLANO"));
            doc->SetTabStops({10, 70, 290, 340, 390, 440, 490, 540, 590});
            const QString tab = QStringLiteral("\t");
            for (std::size_t i = 0; i < count; ++i) {
                const TBudgetRecord& r = records[i];
                doc->AddLine(tab + r.MachineCode.str() + tab + QString::number(r.CN.get()) + tab +
                             QString::number(r.PV.get()) + tab + QString::number(r.RP.get()) + tab +
                             QString::number(r.AV.get()) + tab + QString::number(r.AL.get()));
            }
            benchmark::DoNotOptimize(doc->Lines().size());
        });
    }
};

Plant& Shared()
{
    static Plant p;
    return p;
}

void BM_BudgetValuation(benchmark::State& state)
{
    Plant& p = Shared();
    bench::CompareWithAnchor(
        state, "x_plain_pass", [&] { return p.PlainPass(); },
        [&] { return bench::TimeOnce([&] { BudgetValuationReport(p.ctx); }); });
    state.counters["lines"] = static_cast<double>(p.listed);
}
BENCHMARK(BM_BudgetValuation)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_PreventiveBudgetUpdate(benchmark::State& state)
{
    Plant& p = Shared();
    bench::CompareWithAnchor(
        state, "x_plain_pass", [&] { return p.PlainPass(); },
        [&] {
            return bench::TimeOnce([&] {
                p.ctx.st.ActionCode = QStringLiteral("P");
                PreventiveBudget(p.ctx);
            });
        });
    state.counters["lines"] = static_cast<double>(p.listed);
}
BENCHMARK(BM_PreventiveBudgetUpdate)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
