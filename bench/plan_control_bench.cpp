// The plan control over a whole year: 52 weeks of 2,000 planned machines against a history of 100,000
// revisions, listed as F4 lists it, against a plain pass that reads the same four files and writes as
// many lines (104,000) into a report model.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "listing_fixtures.h"
#include "platform/clock.h"
#include "preventive/plan_control.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/plan_records.h"
#include "records/revision_record.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <deque>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr int kMachines = 2000;
constexpr int kRevisions = 100000;

// Answers the week and year prompts of the control; everything else with its default.
class RangeUi final : public bench::SilentUi
{
public:
    QString InputBox(const QString&, const QString&, const QString& d) override
    {
        if (answers.empty())
            return d;
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<QString> answers;
};

struct Plant
{
    RangeUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t listed = 0;

    Plant()
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        ctx.st.FirstYear = 25;
        ctx.st.LastYear = 27;
        ctx.st.PlanWeeks = 104;
        ctx.st.Plan1SFlag = 1;
        bench::StorePlanControlYear(ctx, kMachines, kRevisions);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { listed = doc->Lines().size(); };
    }

    // The plan, the register, the routines and the history read whole, and `listed` lines of the
    // control's twelve columns added to a report model, without working anything out.
    double PlainPass()
    {
        return bench::TimeOnce([&] {
            qsizetype bytes = 0;
            for (const char* name : {"PORTAL.PLN", "PORTAL.MQW", "PORTAL.OPR", "PORTAL.HRC"}) {
                QFile f(ctx.Path(QString::fromLatin1(name)));
                f.open(QIODevice::ReadOnly);
                bytes += f.readAll().size();
            }
            benchmark::DoNotOptimize(bytes);
            auto doc = std::make_shared<ReportDocument>(QStringLiteral("HISTORIAL"));
            doc->SetTabStops({15, 60, 230, 248, 260, 280, 310, 333, 355, 375, 410});
            const QString name = QStringLiteral("Maquina de prueba");
            for (std::size_t i = 0; i < listed; ++i)
                doc->AddColumns({QString::number(i % kMachines + 1), QStringLiteral("M0001"), name,
                                 QStringLiteral("M"), QStringLiteral("E"), QString::number(i % 52),
                                 QStringLiteral("2026"), QStringLiteral("25"), QStringLiteral("30"),
                                 QStringLiteral("0"), QStringLiteral("B2"), QStringLiteral("..")});
            benchmark::DoNotOptimize(doc->Lines().size());
        });
    }
};

void BM_ControlPlan(benchmark::State& state)
{
    static Plant f;
    if (f.listed == 0) {
        // The first run gives the number of lines the anchor writes.
        f.ui.answers = {QStringLiteral("0"), QStringLiteral("51"), QStringLiteral("2026")};
        f.ctx.st.OutputCode = QStringLiteral("C");
        f.ctx.st.ActionCode = QStringLiteral("0");
        ControlPlan(f.ctx);
    }
    bench::CompareWithAnchor(
        state, "x_plain_pass", [&] { return f.PlainPass(); },
        [&] {
            f.ui.answers = {QStringLiteral("0"), QStringLiteral("51"), QStringLiteral("2026")};
            f.ctx.st.OutputCode = QStringLiteral("C");
            f.ctx.st.ActionCode = QStringLiteral("0");
            return bench::TimeOnce([&] { ControlPlan(f.ctx); });
        });
    state.counters["lines"] = static_cast<double>(f.listed);
}
BENCHMARK(BM_ControlPlan)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
