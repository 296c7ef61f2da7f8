// Writing and reading back a backup archive of a machine file of 65,535 records, compared with a plain
// read of that file.
#include "bench_support.h"
#include "core/backup.h"
#include "core/context.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "records/machine_record.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace gim;

constexpr int kRecords = 65535;

struct BackupPlant
{
    bench::SilentUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    QString file;

    BackupPlant()
    {
        ctx.st.WorkDir = ctx.st.BaseDir = dir.path();
        std::vector<TMachineRecord> machines(kRecords);
        for (int i = 0; i < kRecords; ++i) {
            machines[i].Codigo = bench::Numbered("M%06d", i).c_str();
            machines[i].Denominacion = bench::Numbered("MAQUINA %d", i * 7).c_str();
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
        file = ctx.Path(QStringLiteral("PORTAL.MQW"));
        QDir(dir.path()).mkdir(QStringLiteral("out"));
    }
};

void BM_BackupArchiveWriteAndRead(benchmark::State& state)
{
    static BackupPlant f;
    const QString archive = f.dir.filePath(QStringLiteral("PORTAL.rar"));
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return bench::PlainReadSeconds(f.file); },
        [&] {
            return bench::TimeOnce([&] {
                benchmark::DoNotOptimize(WriteArchive(f.ctx, archive, {f.file}).has_value());
                benchmark::DoNotOptimize(
                    ExtractArchive(f.ctx, archive, f.dir.filePath(QStringLiteral("out"))).has_value());
            });
        });
}
BENCHMARK(BM_BackupArchiveWriteAndRead)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
