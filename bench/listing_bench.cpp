// The listing models at 100,000 records: the repair history, the work orders, the breakdowns and the
// preventive history, each built as its command builds it, over a register of 65,535 machines. The anchor
// of each is a plain pass over the same file that writes as many lines into a report model. Besides the
// ratio, each reports the data files opened, the records read one at a time and the clock read per
// listing, which a listing should do once, not once per row.
#include "bench_support.h"
#include "core/context.h"
#include "core/environment.h"
#include "core/record_file.h"
#include "corrective/breakdown_reports.h"
#include "corrective/breakdowns.h"
#include "corrective/planned_repair_reports.h"
#include "corrective/work_order_listings.h"
#include "platform/card.h"
#include "platform/clock.h"
#include "preventive/revision_reports.h"
#include "records/breakdown_record.h"
#include "records/machine_record.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"
#include "records/work_order_record.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace gim;

constexpr int kMachines = 65535;
constexpr int kRecords = 100000;

// Every card is searched with what it proposes; the date range covers the whole plan.
class ListingUi final : public bench::SilentUi
{
public:
    ListingUi() : SilentUi(QDate(2024, 1, 1), QDate(2027, 12, 31)) {}
    int RunCard(const CardSpec&, CardState&) override { return CardResult::Save; }
};

// The system clock, counting how often it is read.
class CountingClock final : public Clock
{
public:
    QDateTime Now() const override
    {
        ++reads;
        return QDateTime::currentDateTime();
    }
    mutable std::size_t reads = 0;
};

std::string Code(int i)
{
    return std::string("M").append(std::to_string(100000 + i).substr(1));
}

struct Plant
{
    ListingUi ui;
    CountingClock clock;
    bench::NoShell shell;
    QTemporaryDir dir;
    FileFaults faults;
    Context ctx{ui, clock, shell};
    std::size_t listed = 0;
    std::size_t opens = 0;
    std::size_t reads = 0;

    Plant()
    {
        bench::UsePortalFolder(ctx, dir.path(), QStringLiteral("FABRICA"));
        ctx.st.FirstYear = 24;
        ctx.st.LastYear = 27;
        ctx.st.PlanWeeks = 3 * 52;
        std::mt19937 rng(17);
        std::vector<TMachineRecord> machines;
        for (int i = 0; i < kMachines; ++i) {
            TMachineRecord m{};
            m.Codigo = Code(i).c_str();
            m.Denominacion = "Maquina de prueba";
            m.Cuenta = "CTA";
            m.Disponible = "SI";
            machines.push_back(m);
        }
        std::vector<TPlannedRepairRecord> repairs;
        std::vector<TWorkOrderRecord> orders;
        std::vector<TBreakdownRecord> breakdowns;
        std::vector<TRevisionRecord> revisions;
        const char* states[] = {"P", "T", "M", "E", "J", "S"};
        for (int i = 0; i < kRecords; ++i) {
            const std::string code = Code(static_cast<int>(rng() % kMachines));
            const auto week = static_cast<std::uint16_t>(rng() % 156);
            TPlannedRepairRecord r{};
            r.Code = code.c_str();
            r.Week = week;
            r.Specialty = rng() % 4 == 0 ? "A" : "M";
            r.Description = "Cambiar rodamiento";
            r.Minutes = static_cast<std::uint16_t>(rng() % 240);
            r.State = states[rng() % 6];
            r.Executor = rng() % 2 ? "02/11/2026" : "Luis";
            repairs.push_back(r);

            TWorkOrderRecord o{};
            o.Number = i;
            o.Description = "Ruido en reductor";
            o.Requester = "Produccion";
            o.Machine = code.c_str();
            const std::string day = "26/" + std::to_string(10 + rng() % 40) + "/";
            o.NoticeDate = (day + "1").c_str();
            o.NoticeHour = "8:00";
            o.Type = "U";
            // Most orders are closed, with every date given.
            if (rng() % 10 < 7) {
                o.State = "E";
                o.StartDate = (day + "2").c_str();
                o.StartHour = "9:15";
                o.CloseDate = (day + "4").c_str();
                o.CloseHour = "12:30";
            } else {
                o.State = "P";
            }
            orders.push_back(o);

            TBreakdownRecord b{};
            b.Code = code.c_str();
            b.Week = week;
            b.Day = "2";
            b.Shift = "M";
            b.Type = "EL";
            b.Description = "Motor quemado";
            b.Intervention = 45;
            b.Operators = 1;
            b.Stop = 60;
            b.Delay = 10;
            b.NoticeTime = "02/11/26-8:00";
            b.Officer = "B2";
            b.ProductionOperator = "C1";
            breakdowns.push_back(b);

            TRevisionRecord v{};
            v.MachineCode = code.c_str();
            v.Frequency = "M";
            v.State = rng() % 5 == 0 ? "P" : "E";
            v.Executor = "B2";
            v.Week = week;
            v.Time = 25;
            v.Comment = "..";
            revisions.push_back(v);
        }
        StoreRecords(ctx, QStringLiteral("PORTAL.MQW"), machines);
        StoreRecords(ctx, QStringLiteral("PORTAL.SEM"), repairs);
        StoreRecords(ctx, QStringLiteral("PORTAL.OTR"), orders);
        StoreRecords(ctx, QStringLiteral("PORTAL.AVR"), breakdowns);
        StoreRecords(ctx, QStringLiteral("PORTAL.HRC"), revisions);
        ui.reportTarget = [this](std::shared_ptr<ReportDocument> doc) { listed = doc->Lines().size(); };
        faults.inject = [this](FileOp op, const QString&) {
            if (op == FileOp::Open)
                ++opens;
            else if (op == FileOp::Read)
                ++reads;
            return 0;
        };
        ctx.faults = &faults;
    }

    // The anchor: the listing's file read in one go, and as many lines as the listing wrote, each of
    // the record's fields joined by tabs, added to a report model.
    template <typename T, typename Line> double PlainPass(const char* fileName, Line line)
    {
        return bench::TimeOnce([&] {
            QFile file(ctx.Path(QString::fromLatin1(fileName)));
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            const auto* records = reinterpret_cast<const T*>(bytes.constData());
            const std::size_t count = static_cast<std::size_t>(bytes.size()) / sizeof(T);
            auto doc = std::make_shared<ReportDocument>(QStringLiteral("PLANO"));
            doc->SetTabStops({6, 60, 200, 230, 245, 260, 290, 310, 340, 400, 460});
            for (std::size_t i = 0; i < listed; ++i)
                doc->AddLine(line(records[i % count]));
            benchmark::DoNotOptimize(doc->Lines().size());
        });
    }

    // Runs a listing, keeping the files, the single reads and the clock reads of the last run.
    template <typename Listing> double Run(Listing listing, std::vector<double>& perRun)
    {
        opens = reads = clock.reads = 0;
        const double t = bench::TimeOnce(listing);
        perRun = {static_cast<double>(opens), static_cast<double>(reads), static_cast<double>(clock.reads)};
        return t;
    }
};

Plant& Shared()
{
    static Plant p;
    return p;
}

template <typename T, typename Listing, typename Line>
void CompareListing(benchmark::State& state, const char* fileName, Listing listing, Line line)
{
    Plant& p = Shared();
    std::vector<double> counts;
    p.Run(listing, counts); // the line count the anchor writes
    bench::CompareWithAnchor(
        state, "x_plain_pass", [&] { return p.PlainPass<T>(fileName, line); },
        [&] { return p.Run(listing, counts); });
    state.counters["lines"] = static_cast<double>(p.listed);
    state.counters["opens"] = counts[0];
    state.counters["single_reads"] = counts[1];
    state.counters["clock_reads"] = counts[2];
}

QString Tab()
{
    return QStringLiteral("\t");
}

void BM_RepairHistoryListing(benchmark::State& state)
{
    CompareListing<TPlannedRepairRecord>(
        state, "PORTAL.SEM",
        [] {
            // Reparaciones > Consulta > Selectiva: every week, state and machine.
            Shared().ctx.st.ActionCode = QStringLiteral("L");
            Shared().ctx.st.InteractiveFlag = 1;
            ReportRepairHistory(Shared().ctx);
        },
        [](const TPlannedRepairRecord& r) {
            return Tab() + r.Code.str() + Tab() + r.Description.str() + Tab() +
                   QString::number(r.Minutes.get()) + Tab() + r.State.str() + Tab() + r.Specialty.str() +
                   Tab() + r.Order.str() + Tab() + QString::number(r.Week.get()) + Tab() + r.Executor.str();
        });
}
BENCHMARK(BM_RepairHistoryListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_WorkOrderListing(benchmark::State& state)
{
    CompareListing<TWorkOrderRecord>(
        state, "PORTAL.OTR",
        [] {
            Shared().ctx.st.ActionCode = QStringLiteral("L");
            ListWorkOrders(Shared().ctx);
        },
        [](const TWorkOrderRecord& o) {
            return Tab() + QString::number(o.Number.get()) + Tab() + o.Refex.str() + Tab() + o.State.str() +
                   Tab() + o.NoticeDate.str() + Tab() + o.NoticeHour.str() + Tab() + o.StartDate.str() +
                   Tab() + o.StartHour.str() + Tab() + o.CloseDate.str() + Tab() + o.CloseHour.str() + Tab() +
                   o.Requester.str() + Tab() + o.Machine.str() + Tab() + o.Type.str() + Tab() +
                   o.Description.str();
        });
}
BENCHMARK(BM_WorkOrderListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_BreakdownListing(benchmark::State& state)
{
    CompareListing<TBreakdownRecord>(
        state, "PORTAL.AVR",
        [] {
            Context& ctx = Shared().ctx;
            ctx.st.ActionCode = QStringLiteral("4");
            LoadBreakdownList(ctx);
            BreakdownReport(ctx);
        },
        [](const TBreakdownRecord& b) {
            return Tab() + b.Code.str() + Tab() + b.Description.str() + Tab() + b.Day.str() + Tab() +
                   b.Shift.str() + Tab() + b.Type.str() + Tab() + QString::number(b.Stop.get()) + Tab() +
                   QString::number(b.Intervention.get()) + Tab() + QString::number(b.Delay.get()) + Tab() +
                   b.Officer.str() + Tab() + b.NoticeTime.str() + Tab() + QString::number(b.Week.get());
        });
}
BENCHMARK(BM_BreakdownListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_RevisionHistoryListing(benchmark::State& state)
{
    CompareListing<TRevisionRecord>(
        state, "PORTAL.HRC",
        [] {
            Shared().ctx.st.OutputCode = QStringLiteral("P");
            ReportRevisionHistory(Shared().ctx);
        },
        [](const TRevisionRecord& v) {
            return Tab() + v.MachineCode.str() + Tab() + v.Comment.str() + Tab() + v.Frequency.str() + Tab() +
                   v.State.str() + Tab() + QString::number(v.Week.get()) + Tab() +
                   QString::number(v.Time.get()) + Tab() + v.Executor.str();
        });
}
BENCHMARK(BM_RevisionHistoryListing)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace
