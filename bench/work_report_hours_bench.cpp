// The daily hours per person over a year of 100,000 daily-report lines and 200 people, against a plain
// read of the same .PDA: the listing alone on the loaded lines, and the load with the listing.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_hours.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr std::size_t kLines = 100000;
constexpr int kPeople = 200;

struct Year
{
    bench::SilentUi ui{QDate(2026, 1, 1), QDate(2026, 12, 31)}; // every date range asked
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t rows = 0;

    Year()
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        BuildFirmFileNames(ctx);
        std::vector<TPersonnelRecord> people;
        for (int p = 0; p < kPeople; ++p) {
            TPersonnelRecord card{};
            card.Matricula = std::to_string(1000 + p).c_str();
            card.Nombre = "Nombre";
            card.Apellidos = "Apellido Apellido";
            people.push_back(card);
        }
        StoreRecords(ctx, ctx.st.PersonnelFileName, people);

        // A year of lines, latest first as the sort leaves them: work, overtime and leave lines.
        static constexpr const char* kTypes[][2] = {
            {"RM", "C"}, {"VM", "C"}, {"F", "E"}, {"F", "V"}, {"PM", "N"}};
        std::mt19937 rng(11);
        std::vector<TWorkReportRecord> lines;
        for (std::size_t i = 0; i < kLines; ++i) {
            TWorkReportRecord r{};
            const int day = static_cast<int>(i * 364 / kLines);
            const std::string dia =
                "26/" + std::to_string(100 + day / 7 + 1).substr(1) + "/" + std::to_string(day % 7 + 1);
            const auto& type = kTypes[rng() % 5];
            r.dia = dia.c_str();
            r.Matricula = std::to_string(1000 + rng() % kPeople).c_str();
            r.Codigo = "PRENSA01";
            r.Tipo = type[0];
            r.TIPOH = type[1];
            r.Descripcion = "Cambio de rodamiento y alineacion";
            r.Tinter = static_cast<std::int32_t>(30 + rng() % 240);
            lines.push_back(r);
        }
        std::stable_sort(lines.begin(), lines.end(), WorkReportBefore);
        StoreRecords(ctx, QStringLiteral("PORTAL.PDA"), lines);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> report) {
            rows = static_cast<std::size_t>(report->LineCount());
        };
    }

    double PlainRead() { return bench::PlainReadSeconds(ctx.Path(QStringLiteral("PORTAL.PDA"))); }
};

Year& Shared()
{
    static Year year;
    return year;
}

// Argument 0: the listing on lines already loaded; 1: the load and the listing, as the menu runs them.
void BM_PersonnelDailyHoursReport(benchmark::State& state)
{
    Year& f = Shared();
    const bool withLoad = state.range(0) != 0;
    LoadWorkReports(f.ctx);
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            return bench::TimeOnce([&] {
                if (withLoad)
                    LoadWorkReports(f.ctx);
                PersonnelDailyHoursReport(f.ctx);
            });
        });
    FreeWorkReportList(f.ctx);
    state.counters["report_lines"] = static_cast<double>(f.rows);
    state.SetLabel(withLoad ? "load and listing" : "listing");
}
BENCHMARK(BM_PersonnelDailyHoursReport)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
