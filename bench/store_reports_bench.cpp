// The store listings that read whole files: the movement listing over a journal of 100,000 movements and
// the valued inventory with the sorted rewrite of 65,535 parts. The anchor of each is a plain read of the
// same file that writes as many lines into a report model.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "platform/clock.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "store/spare_parts.h"
#include "store/store_movements.h"
#include "store/store_reports.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

using namespace gim;

constexpr int kParts = 65535;
constexpr int kMovements = 100000;

TSparePartRecord PartNumber(int i)
{
    TSparePartRecord r{};
    r.Codigo = "M1";
    r.Equipo = "ME";
    r.Util = QString::number(100 + i / 1000).toLatin1().constData();
    r.Pieza = QString::number(i % 1000).rightJustified(3, QLatin1Char('0')).toLatin1().constData();
    r.Nombre = "Rodamiento de bolas";
    r.Exist = i % 7;
    r.Valor = 100 + i % 900;
    r.Local = "A1";
    return r;
}

struct Store
{
    bench::SilentUi ui{QDate(2024, 1, 1), QDate(2027, 12, 31)}; // every date range asked
    SystemClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    Context ctx{ui, clock, shell};
    std::vector<TSparePartRecord> parts;
    std::size_t listed = 0;

    Store()
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        ctx.st.FirstYear = 24;
        ctx.st.LastYear = 27;
        std::mt19937 rng(17);
        for (int i = 0; i < kParts; ++i)
            parts.push_back(PartNumber(static_cast<int>(rng() % kParts)));
        std::vector<TStoreMovementRecord> moves;
        for (int i = 0; i < kMovements; ++i) {
            const TSparePartRecord& p = parts[rng() % kParts];
            TStoreMovementRecord m{};
            m.Codigo.assign(p.Codigo);
            m.Equipo.assign(p.Equipo);
            m.Util.assign(p.Util);
            m.Pieza.assign(p.Pieza);
            m.Destination = rng() % 3 ? "M01" : "ALMACEN_";
            m.AbsoluteWeek = static_cast<std::uint8_t>(rng() % 156);
            m.User = "1234";
            m.Quantity = rng() % 3 ? -1 : 4;
            m.UnitValue = 250;
            moves.push_back(m);
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.MOV"), moves);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { listed = doc->Lines().size(); };
    }

    // The anchor: the file read in one go and as many lines as the listing wrote added to a report model.
    template <typename T, typename Line> double PlainPass(const char* fileName, Line line)
    {
        return bench::TimeOnce([&] {
            QFile file(ctx.Path(QString::fromLatin1(fileName)));
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            const auto* records = reinterpret_cast<const T*>(bytes.constData());
            const std::size_t count = static_cast<std::size_t>(bytes.size()) / sizeof(T);
            auto doc = std::make_shared<ReportDocument>(QStringLiteral("PLANO"));
            doc->SetTabStops({6, 100, 150, 205, 260, 285, 320, 360, 405});
            for (std::size_t i = 0; i < listed; ++i)
                doc->AddLine(line(records[i % count]));
            benchmark::DoNotOptimize(doc->Lines().size());
        });
    }
};

Store& Shared()
{
    static Store s;
    return s;
}

void StoreParts(Context& ctx, const std::vector<TSparePartRecord>& parts)
{
    StoreRecords(ctx, QStringLiteral("PORTAL.RPW"), parts);
}

QString Tab()
{
    return QStringLiteral("\t");
}

void BM_StoreMovementsListing(benchmark::State& state)
{
    Store& s = Shared();
    StoreParts(s.ctx, s.parts);
    SortSparePartFile(s.ctx);
    const auto run = [&s] {
        return bench::TimeOnce([&s] {
            s.ctx.st.ActionCode = QStringLiteral("M");
            StoreMovementsReport(s.ctx);
        });
    };
    run();
    bench::CompareWithAnchor(
        state, "x_plain_pass",
        [&s] {
            return s.PlainPass<TStoreMovementRecord>("PORTAL.MOV", [](const TStoreMovementRecord& m) {
                return Tab() + m.Codigo.str() + m.Equipo.str() + m.Util.str() + m.Pieza.str() + Tab() +
                       m.Destination.str() + Tab() + m.User.str() + Tab() + QString::number(m.AbsoluteWeek) +
                       Tab() + QString::number(m.Quantity.get()) + Tab() + QString::number(m.UnitValue.get());
            });
        },
        run);
    state.counters["lines"] = static_cast<double>(s.listed);
}
BENCHMARK(BM_StoreMovementsListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_StoreInventoryListing(benchmark::State& state)
{
    Store& s = Shared();
    const auto run = [&s] {
        // Every run sorts the file as the user finds it.
        StoreParts(s.ctx, s.parts);
        return bench::TimeOnce([&s] {
            s.ctx.st.OutputCode = QStringLiteral("I");
            SortSparePartFile(s.ctx);
        });
    };
    run();
    bench::CompareWithAnchor(
        state, "x_plain_pass",
        [&s] {
            StoreParts(s.ctx, s.parts);
            return s.PlainPass<TSparePartRecord>("PORTAL.RPW", [](const TSparePartRecord& r) {
                return Tab() + r.Codigo.str() + r.Equipo.str() + r.Util.str() + r.Pieza.str() + Tab() +
                       QString::number(r.Stock.get()) + Tab() + QString::number(r.Exist.get()) + Tab() +
                       QString::number(r.Valor.get()) + Tab() + r.Local.str() + Tab() + r.Nombre.str();
            });
        },
        run);
    state.counters["lines"] = static_cast<double>(s.listed);
}
BENCHMARK(BM_StoreInventoryListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
