// The stock break over a whole part file (up to 65,535 parts, half of them below their minimum, spread over
// 2,000 suppliers), loaded and listed as "Roturas Stock" lists it and then written as automatic orders, one
// letter per supplier, against a plain read of the same .RPW; a quarter of the file shows how it grows.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "records/spare_part_record.h"
#include "records/supplier_record.h"
#include "store/spare_parts.h"
#include "store/stock_breaks.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr int kSuppliers = 2000;

// Orders without asking part by part.
class AutomaticUi final : public bench::SilentUi
{
public:
    QString InputBox(const QString& caption, const QString&, const QString& d) override
    {
        return caption == QStringLiteral("Realización Pedidos") ? QStringLiteral("A") : d;
    }
};

struct Plant
{
    AutomaticUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::size_t listed = 0;
    std::size_t letters = 0;

    explicit Plant(int count)
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        BuildFirmFileNames(ctx);
        std::vector<TSupplierRecord> suppliers;
        for (int i = 0; i < kSuppliers; ++i) {
            TSupplierRecord s{};
            s.Codigo = bench::Numbered("P%05d", i).c_str();
            s.Empresa = "Suministros de prueba";
            suppliers.push_back(s);
        }
        std::vector<TSparePartRecord> parts;
        std::mt19937 rng(11);
        for (int i = 0; i < count; ++i) {
            TSparePartRecord p{};
            p.Codigo = "ALMACEN_";
            p.Equipo = "01";
            p.Util = bench::Numbered("%03d", i / 1000 % 1000).c_str();
            p.Pieza = bench::Numbered("%03d", i % 1000).c_str();
            p.Nombre = "Rodamiento de prueba";
            p.Stock = 10;
            p.Exist = static_cast<std::int32_t>(rng() % 20);
            p.PPedido = static_cast<std::int32_t>(rng() % 6);
            p.Valor = static_cast<std::int32_t>(rng() % 100000);
            p.CdPVD = suppliers[rng() % kSuppliers].Codigo;
            parts.push_back(p);
        }
        StoreRecords(ctx, ctx.st.SupplierFileName, suppliers);
        StoreRecords(ctx, QStringLiteral("PORTAL.RPW"), parts);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) {
            if (doc->caption == QStringLiteral("REPUESTOS TECNICOS"))
                listed = doc->Lines().size();
            else
                ++letters;
        };
    }

    double PlainRead() { return bench::PlainReadSeconds(ctx.Path(QStringLiteral("PORTAL.RPW"))); }
};

void BM_StockBreakAndOrders(benchmark::State& state)
{
    Plant& f = bench::FixtureOfSize<Plant>(static_cast<int>(state.range(0)));
    bench::CompareWithAnchor(
        state, "x_plain_read", [&] { return f.PlainRead(); },
        [&] {
            f.letters = 0;
            return bench::TimeOnce([&] {
                LoadSparePartList(f.ctx);
                StockBreakageReport(f.ctx);
                OrdersFromStockBreakage(f.ctx);
                FreeSparePartList(f.ctx);
            });
        });
    state.counters["lines"] = static_cast<double>(f.listed);
    state.counters["letters"] = static_cast<double>(f.letters);
}
BENCHMARK(BM_StockBreakAndOrders)
    ->Arg(16383)
    ->Arg(65535)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

} // namespace
