// The purchase listings over 100,000 order lines: the listing of every line (Compras > Listado >
// Suministrador, "*"), the closed orders and the weekly purchases, each with the load of the order list
// and compared with a plain read of the order file; and 1,000 pasted order lines imported into that file.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables_store.h"
#include "listing_fixtures.h"
#include "platform/clock.h"
#include "records/purchase_order_record.h"
#include "store/purchase_order_reports.h"
#include "store/purchase_orders.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace gim;

constexpr int kLines = 100000;

struct PurchasePlant
{
    bench::SilentUi ui{QDate(2024, 1, 1), QDate(2027, 12, 31)}; // every date range asked
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t lines = 0;

    PurchasePlant()
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        ctx.st.FirstYear = 24;
        ctx.st.LastYear = 27;
        ctx.st.YearText = QStringLiteral("2026");
        bench::StorePurchaseOrderLines(ctx, kLines);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { lines = doc->Lines().size(); };
    }

    double PlainRead() { return bench::PlainReadSeconds(ctx.Path(QStringLiteral("PORTAL.COM"))); }
};

PurchasePlant& Plant()
{
    static PurchasePlant plant;
    return plant;
}

void BM_PurchaseListing(benchmark::State& state)
{
    PurchasePlant& f = Plant();
    f.ctx.st.ActionCode = QStringLiteral("I");
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            return bench::TimeOnce([&] {
                LoadPurchaseOrders(f.ctx);
                PurchaseOrderReport(f.ctx);
                FreePurchaseOrderList(f.ctx);
            });
        });
    state.counters["lines"] = static_cast<double>(f.lines);
}
BENCHMARK(BM_PurchaseListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_ClosedOrders(benchmark::State& state)
{
    PurchasePlant& f = Plant();
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            return bench::TimeOnce([&] {
                LoadPurchaseOrders(f.ctx);
                OrderSituationReport(f.ctx);
                FreePurchaseOrderList(f.ctx);
            });
        });
    state.counters["lines"] = static_cast<double>(f.lines);
}
BENCHMARK(BM_ClosedOrders)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void BM_WeeklyPurchases(benchmark::State& state)
{
    PurchasePlant& f = Plant();
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] { return bench::TimeOnce([&] { WeeklyPurchasesReport(f.ctx); }); });
    state.counters["lines"] = static_cast<double>(f.lines);
}
BENCHMARK(BM_WeeklyPurchases)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// Each imported line brings its own number: the import appends without reading the file per line and
// sorts it once at the end. Each line is stored durably by itself, so the anchor appends as many records
// to a copy of the file, each followed by an fdatasync, and then reads the file once as the sort must.
// Run on a copy, so the listings above keep their file.
void BM_ImportedOrderLines(benchmark::State& state)
{
    constexpr int kImported = 1000;
    PurchasePlant& f = Plant();
    QString text;
    for (int i = 0; i < kImported; ++i)
        text +=
            QStringLiteral("x\t%1\tREF\tM0001\tME\tROD\t001\tRodamiento\tSKF\tPROV1\t07/12/2026\t14/12/2026"
                           "\t01/01/2027\tNAVE\tP\t4\t0\t1250\t#\n")
                .arg(200000 + i);
    const QString file = f.ctx.Path(QStringLiteral("PORTAL.COM"));
    const QString kept = file + QStringLiteral(".keep");
    const QString plain = file + QStringLiteral(".plain");
    QFile::copy(file, kept);
    ImportGateway(f.ctx).Manual = false;
    bench::CompareWithAnchor(
        state, "x_append_fdatasync",
        [&] {
            QFile::remove(plain);
            QFile::copy(kept, plain);
            return bench::TimeOnce([&] {
                QFile out(plain);
                if (!out.open(QIODevice::Append))
                    return;
                const TPurchaseOrderRecord line{};
                for (int i = 0; i < kImported; ++i) {
                    out.write(reinterpret_cast<const char*>(&line), sizeof line);
                    out.flush();
                    ::fdatasync(out.handle());
                }
                out.close();
                benchmark::DoNotOptimize(bench::PlainReadSeconds(plain));
            });
        },
        [&] {
            QFile::remove(file);
            QFile::copy(kept, file);
            return bench::TimeOnce([&] { RunGatewayImport(f.ctx, PurchaseOrderImportFormat(), text); });
        });
    QFile::remove(plain);
    QFile::remove(file);
    QFile::rename(kept, file);
}
BENCHMARK(BM_ImportedOrderLines)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
