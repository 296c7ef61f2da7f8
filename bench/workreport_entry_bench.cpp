// Partes > Alta (Ctrl+F11) on a large environment: 100,000 daily-report lines, 2,000 machines, 500
// persons, 5,000 planned repairs, 10,000 work orders (a third open), 2,000 spare parts and the histories
// the lines post into (revisions, breakdowns, expedient entries, store movements). Measured, each against
// an anchor run alternately in the same process:
//  - the command up to the card shown and painted, against a plain dialog with as many controls;
//  - the CPU time of one line over a series of 10,500 lines entered in one command, with 100,000 and with
//    400,000 records in every file, at the start of the series against after 10,000 lines;
//  - 2,000 lines typed into the card, each stored as one durable step, against as many synced appends;
//  - the card's handlers on one keystroke or one focus move, against a keystroke into a field that has no
//    handler (the card controller's own cost).
#include "app/features.h"
#include "bench_support.h"
#include "core/context.h"
#include "core/dispatch.h"
#include "core/environment.h"
#include "core/operations.h"
#include "core/record_file.h"
#include "core/startup.h"
#include "core/transaction.h"
#include "core/week_codes.h"
#include "masterdata/personnel.h"
#include "platform/card_controller.h"
#include "platform/clock.h"
#include "platform/qt/card_dialog.h"
#include "platform/qt/jpeg_codec.h"
#include "preventive/plan_definition.h"
#include "records/breakdown_record.h"
#include "records/machine_record.h"
#include "records/personnel_entry_record.h"
#include "records/personnel_record.h"
#include "records/plan_records.h"
#include "records/planned_repair_record.h"
#include "records/revision_record.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"
#include "records/work_order_record.h"
#include "records/work_report_record.h"
#include "workreports/work_report_card_handlers.h"
#include "workreports/work_report_file.h"
#include "workreports/work_report_posting.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <time.h>
#include <unistd.h>

namespace gim {
namespace {

using namespace report_card;

// The full environment; a benchmark argument of 50 builds one of half its size, to see how the costs
// grow.
struct Sizes
{
    int lines = 100000;
    int machines = 2000;
    int persons = 500;
    int repairs = 5000;
    int orders = 10000;
    int parts = 2000;
    int revisions = 100000;
    int breakdowns = 20000;
    int entries = 20000;
    int movements = 100000;
    auto operator<=>(const Sizes&) const = default;
};

Sizes Scaled(int percent)
{
    const auto part = [percent](int n) { return n * percent / 100; };
    const Sizes full;
    return {part(full.lines),   part(full.machines), part(full.persons),   part(full.repairs),
            part(full.orders),  part(full.parts),    part(full.revisions), part(full.breakdowns),
            part(full.entries), part(full.movements)};
}

// As many records in every file.
Sizes Uniform(int records)
{
    return {records, records, records, records, records, records, records, records, records, records};
}

double CpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A user interface whose cards are handled by the benchmark.
class BenchUi final : public bench::SilentUi
{
public:
    int RunCard(const CardSpec& spec, CardState& state) override
    {
        if (!cardRunner)
            return spec.cancelResult;
        return cardRunner(spec, state);
    }
    std::function<int(const CardSpec&, CardState&)> cardRunner;
};

// One environment, written once, then started as the program starts.
struct Plant
{
    BenchUi ui;
    SystemClock clock;
    bench::NoShell shell;
    QtPictureCodec codec;
    QTemporaryDir dir;
    std::unique_ptr<Context> ctx;
    std::unique_ptr<Dispatcher> dispatcher;
    QString today;     // the week code of the lines entered
    QString openOrder; // a work order in progress

    Sizes n;

    explicit Plant(Sizes sizes) : n(sizes)
    {
        const QString folder = dir.path();
        // The files of a size are written once (in bulk, in the order the program keeps them); every
        // plant of that size starts from a copy of them.
        const Seed& seed = SeedOf(sizes);
        std::filesystem::copy(seed.dir.path().toStdString(), folder.toStdString(),
                              std::filesystem::copy_options::recursive);
        today = seed.today;
        openOrder = seed.openOrder;
        ctx = std::make_unique<Context>(ui, clock, shell);
        Context& c = *ctx;
        Prepare(c, folder);
        c.codec = &codec;
        RegisterFeatures(c);
        RunStartupBeforeWindow(c);
        RunStartupAfterWindow(c);
        if (Personnel(c).PersonnelList.empty())
            LoadPersonnel(c);
        dispatcher = std::make_unique<Dispatcher>(c, c.Module<OperationRegistry>(), MainCommandTable());
    }

    static void Prepare(Context& c, const QString& folder)
    {
        c.st.BaseDir = c.st.WorkDir = folder;
        c.st.CurrentEnvironment = QStringLiteral("PORTAL");
        // The firm start-up takes when the plan names none: the personnel file is named after it.
        c.st.FirmName = QString::fromLatin1(kDefaultFirmName);
        InitCurrentDate(c);
        BuildDataFileNames(c);
        BuildFirmFileNames(c);
    }

    struct Seed
    {
        QTemporaryDir dir;
        QString today;
        QString openOrder;
    };
    static const Seed& SeedOf(const Sizes& sizes)
    {
        static std::map<Sizes, std::unique_ptr<Seed>> seeds;
        std::unique_ptr<Seed>& seed = seeds[sizes];
        if (seed)
            return *seed;
        seed = std::make_unique<Seed>();
        BenchUi ui;
        SystemClock clock;
        bench::NoShell shell;
        const QString folder = seed->dir.path();
        {
            // The first start writes the environment selector.
            Context first(ui, clock, shell);
            first.st.BaseDir = first.st.WorkDir = folder;
            RegisterFeatures(first);
            RunStartupBeforeWindow(first);
        }
        Context c(ui, clock, shell);
        Prepare(c, folder);
        Plant::WriteData(c, sizes, seed->today, seed->openOrder);
        return *seed;
    }

    static void WriteData(Context& c, const Sizes& n, QString& today, QString& openOrder)
    {
        State& st = c.st;
        TPlanYearsRecord years{};
        years.FirstYear = static_cast<std::uint8_t>(st.CurrentYear - 2000 - 4);
        years.LastYear = static_cast<std::uint8_t>(st.CurrentYear - 2000 + 1);
        StoreRecords(c, st.PlanYearsFileName, std::vector<TPlanYearsRecord>{years});

        std::vector<TMachineRecord> machines;
        for (int i = 1; i <= n.machines; ++i) {
            TMachineRecord m{};
            m.Codigo = bench::Numbered("M%06d", i).c_str();
            m.Denominacion = "PRENSA HIDRAULICA DE 200 T";
            m.Cuenta = "CTA-100";
            m.Ubicacion = "NAVE 2";
            m.Disponible = "SI";
            machines.push_back(m);
        }
        StoreRecords(c, st.FileName(DataFile::Machine), machines);

        std::vector<TPersonnelRecord> persons;
        for (int i = 1; i <= n.persons; ++i) {
            TPersonnelRecord p{};
            p.Matricula = bench::Numbered("%06d", i).c_str();
            p.Apellidos = "Garcia Lopez";
            p.Nombre = "Ana";
            p.Baja = "../  /  ";
            persons.push_back(p);
        }
        StoreRecords(c, st.PersonnelFileName, persons);

        // Five years of lines, latest first as every sort leaves the file.
        std::mt19937 rng(11);
        std::vector<TWorkReportRecord> lines;
        const int days = 5 * 365;
        const QDate now = c.clock.Now().date();
        for (int i = 0; i < n.lines; ++i) {
            const QDate date = now.addDays(-(static_cast<qint64>(i) * days / n.lines));
            TWorkReportRecord r{};
            r.dia = WeekCodeOf(date);
            r.Matricula = bench::Numbered("%06d", 1 + static_cast<int>(rng() % n.persons)).c_str();
            r.Codigo = bench::Numbered("M%06d", 1 + static_cast<int>(rng() % n.machines)).c_str();
            r.Orden = "0";
            r.Tipo = "RM";
            r.TIPOH = "C";
            r.Descripcion = "Cambio de rodamiento y alineacion";
            r.Tinter = 30;
            lines.push_back(r);
        }
        std::stable_sort(lines.begin(), lines.end(), WorkReportBefore);
        today = WeekCodeOf(now);
        StoreRecords(c, st.FileName(DataFile::WorkReport), lines);

        // Open repairs on every machine, latest week first as every save leaves the file.
        const auto descendingWeek = [](int i, int count) {
            return static_cast<std::uint16_t>(200 - static_cast<std::int64_t>(i) * 200 / count);
        };
        std::vector<TPlannedRepairRecord> repairs;
        for (int i = 0; i < n.repairs; ++i) {
            TPlannedRepairRecord r{};
            r.Code = bench::Numbered("M%06d", 1 + i % n.machines).c_str();
            r.Week = descendingWeek(i, n.repairs);
            r.Specialty = "M";
            r.Description = bench::Numbered("Revisar holguras del cabezal %d", i).c_str();
            r.State = i % 2 ? "P" : "E";
            r.Executor = "000001";
            repairs.push_back(r);
        }
        StoreRecords(c, st.FileName(DataFile::PlannedRepair), repairs);

        std::vector<TWorkOrderRecord> orders;
        for (int i = 0; i < n.orders; ++i) {
            TWorkOrderRecord o{};
            o.Number = i;
            o.Description = bench::Numbered("Sustituir cilindro de la prensa %d", i).c_str();
            o.Machine = bench::Numbered("M%06d", 1 + i % n.machines).c_str();
            o.State = i % 3 == 0 ? (i % 2 ? "P" : "T") : "E";
            o.Type = "P";
            orders.push_back(o);
        }
        StoreRecords(c, st.FileName(DataFile::WorkOrder), orders);
        openOrder = QString::number(n.orders - 3);

        std::vector<TSparePartRecord> parts;
        for (int i = 0; i < n.parts; ++i) {
            TSparePartRecord p{};
            p.Codigo = bench::Numbered("M%06d", 1 + i % n.machines).c_str();
            p.Equipo = "ME";
            p.Util = "ROD";
            p.Pieza = bench::Numbered("%03d", i % 1000).c_str();
            p.Nombre = "Rodamiento 6204";
            p.Exist = 10;
            p.Valor = 900;
            parts.push_back(p);
        }
        std::sort(parts.begin(), parts.end(), [](const TSparePartRecord& a, const TSparePartRecord& b) {
            return a.Codigo < b.Codigo || (a.Codigo == b.Codigo && a.Pieza < b.Pieza);
        });
        StoreRecords(c, st.FileName(DataFile::SparePart), parts);

        // The histories the lines post into, latest first as their sorts leave them.
        std::vector<TRevisionRecord> revisions;
        for (int i = 0; i < n.revisions; ++i) {
            TRevisionRecord r{};
            r.MachineCode = bench::Numbered("M%06d", 1 + i % n.machines).c_str();
            r.Frequency = "M";
            r.State = "E";
            r.Executor = bench::Numbered("%06d", 1 + i % n.persons).c_str();
            r.Week = descendingWeek(i, n.revisions);
            r.Time = 30;
            r.Comment = "Revision mensual sin incidencias";
            revisions.push_back(r);
        }
        StoreRecords(c, st.FileName(DataFile::Revision), revisions);

        std::vector<TBreakdownRecord> breakdowns;
        for (int i = 0; i < n.breakdowns; ++i) {
            TBreakdownRecord b{};
            b.Code = bench::Numbered("M%06d", 1 + i % n.machines).c_str();
            b.Week = descendingWeek(i, n.breakdowns);
            b.Day = "1";
            b.Shift = "M";
            b.Type = "M";
            b.Description = "Rotura de correa de transmision";
            b.Intervention = 30;
            b.Operators = 1;
            b.Stop = 20;
            b.NoticeTime = "-";
            b.Officer = "000001";
            b.RepairStart = "-";
            b.ProductionOperator = "-";
            breakdowns.push_back(b);
        }
        StoreRecords(c, st.FileName(DataFile::Breakdown), breakdowns);

        std::vector<TPersonnelEntryRecord> entries;
        for (int i = 0; i < n.entries; ++i) {
            TPersonnelEntryRecord e{};
            e.Matricula = bench::Numbered("%06d", 1 + i % n.persons).c_str();
            e.Type = "E";
            e.Date = WeekCodeOf(now.addDays(-(static_cast<qint64>(i) * days / std::max(1, n.entries))));
            e.Text = "Horas extra por averia";
            e.Minutes = 60;
            entries.push_back(e);
        }
        StoreRecords(c, st.FileName(DataFile::PersonnelEntry), entries);

        std::vector<TStoreMovementRecord> movements;
        for (int i = 0; i < n.movements; ++i) {
            TStoreMovementRecord m{};
            const TSparePartRecord& part = parts[static_cast<std::size_t>(i % std::max(1, n.parts))];
            m.Codigo.assign(part.Codigo);
            m.Equipo.assign(part.Equipo);
            m.Util.assign(part.Util);
            m.Pieza.assign(part.Pieza);
            m.Destination = bench::Numbered("M%06d", 1 + i % n.machines).c_str();
            m.AbsoluteWeek = static_cast<std::uint8_t>(i % 256);
            m.User = bench::Numbered("%06d", 1 + i % n.persons).c_str();
            m.Quantity = -1;
            m.UnitValue = 900;
            movements.push_back(m);
        }
        StoreRecords(c, st.FileName(DataFile::Movement), movements);
    }

    Context& C() { return *ctx; }
    // The lines the .PDA holds.
    qint64 StoredLines()
    {
        return QFileInfo(C().Path(C().st.FileName(DataFile::WorkReport))).size() /
               static_cast<qint64>(sizeof(TWorkReportRecord));
    }
    bool Run() { return dispatcher->Run(QStringLiteral("Partes > Alta")); }
};

Plant& Shared(int percent)
{
    static std::map<int, std::unique_ptr<Plant>> plants;
    std::unique_ptr<Plant>& plant = plants[percent];
    if (!plant)
        plant = std::make_unique<Plant>(Scaled(percent));
    return *plant;
}

// A plain dialog with a caption and a line edit for each field of the card, shown and painted.
double PlainDialog(int controls)
{
    return bench::TimeOnce([&] {
        QDialog dialog;
        auto* grid = new QGridLayout(&dialog);
        for (int i = 0; i < controls; ++i) {
            grid->addWidget(new QLabel(QStringLiteral("Campo %1").arg(i)), i % 16, 2 * (i / 16));
            grid->addWidget(new QLineEdit(QStringLiteral("valor")), i % 16, 2 * (i / 16) + 1);
        }
        dialog.show();
        bench::WaitUntilPainted(&dialog);
    });
}

void BM_ReportCardShown(benchmark::State& state)
{
    Plant& p = Shared(static_cast<int>(state.range(0)));
    int controls = 0;
    double shown = 0;
    std::chrono::steady_clock::time_point t0;
    p.ui.cardRunner = [&](const CardSpec& spec, CardState& card) {
        controls = static_cast<int>(spec.fields.size());
        int result = spec.cancelResult;
        {
            CardDialog dialog(spec, card);
            dialog.Start();
            bench::WaitUntilPainted(&dialog);
            shown = bench::SecondsSince(t0);
            dialog.reject();
            result = dialog.Result();
        }
        bench::Settle();
        return result;
    };
    // Once to learn how many controls the card has.
    t0 = std::chrono::steady_clock::now();
    p.Run();
    bench::CompareWithAnchor(
        state, "x_plain_dialog", [&] { return PlainDialog(controls); },
        [&] {
            t0 = std::chrono::steady_clock::now();
            p.Run();
            return shown;
        });
    p.ui.cardRunner = nullptr;
}
BENCHMARK(BM_ReportCardShown)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(7);

// Partes > Alta over a series of lines, one card after another in one command, each line stored and
// posted. A line's CPU time (the process's) runs from its card's opening to the next card's, its posting
// and re-reads included; run on a tmpfs folder (TMPDIR) the syncs cost next to nothing, and the CPU
// figures leave them out anyway. Reported: the mean per line over the first 500 lines and over the 500
// after 10,000, their ratio, and the lines the file gained (the run fails unless every line was stored).
// Arguments: records in every file; the mix of lines: 0 breakdowns, revisions, pending repairs and
// expedient hours, each with a description of its own that the card remembers; 1 repairs that took time,
// half of them closing an open repair of their machine chosen from the card, with breakdowns and
// revisions.
void BM_ReportLinesPosted(benchmark::State& state)
{
    const int records = static_cast<int>(state.range(0));
    const bool repairs = state.range(1) != 0;
    constexpr int kWindow = 500;
    constexpr int kSeries = 10000;
    constexpr int kLines = kSeries + kWindow;
    std::vector<double> cpuStart, cpuAfter, wallStart, wallAfter, storedLines, closedRepairs;
    for (auto _ : state) {
        Plant p(Uniform(records));
        const int machines = p.n.machines;
        std::vector<double> cpu(kLines + 1), wall(kLines + 1);
        int cards = 0;
        int closed = 0;
        const auto t0 = std::chrono::steady_clock::now();
        p.ui.cardRunner = [&](const CardSpec& spec, CardState& card) {
            const int k = cards++;
            if (k <= kLines) {
                cpu[k] = CpuSeconds();
                wall[k] = bench::SecondsSince(t0);
            }
            CardController controller(
                spec, card, [](const QString&) {}, [](const QString&) {});
            if (!controller.Open())
                return controller.Result();
            if (k >= kLines) {
                controller.Press(kBitBtn1);
                return controller.Closed() ? controller.Result() : spec.cancelResult;
            }
            const QString person = QString::fromStdString(bench::Numbered("%06d", 1 + k % p.n.persons));
            const QString own = QStringLiteral("Linea %1 de la serie").arg(k);
            const auto machine = [](int m) { return QString::fromStdString(bench::Numbered("M%06d", m)); };
            const auto fill = [&](const QString& code, const char* tipo, const char* tinter,
                                  const char* tparo, const char* tipoh) {
                for (const auto& [field, value] :
                     {std::pair{kMatricula, person}, std::pair{kCodigo, code}, std::pair{kDia, p.today},
                      std::pair{kTipo, QString::fromLatin1(tipo)},
                      std::pair{kTinter, QString::fromLatin1(tinter)},
                      std::pair{kTparo, QString::fromLatin1(tparo)},
                      std::pair{kTIPOH, QString::fromLatin1(tipoh)}}) {
                    controller.Focus(field);
                    controller.Edit(field, value);
                }
            };
            const auto save = [&](const QString& description) {
                controller.Focus(kDescripcion);
                controller.Edit(kDescripcion, description);
                controller.Focus(QString());
                controller.Press(kSalvaPartes);
            };
            const QString code = machine(1 + k % machines);
            switch (repairs ? 4 + k % 4 : k % 4) {
            case 0: // a breakdown
                fill(code, "VM", "30", "20", "C");
                save(own);
                break;
            case 1: // a monthly revision
            case 7:
                fill(code, "PM", "30", "0", "C");
                save(own);
                break;
            case 2: // a repair still to do: planned as pending
                fill(code, "RM", "0", "0", "C");
                save(own);
                break;
            case 3: // expedient hours
                fill(code, "CO", "60", "0", "E");
                save(own);
                break;
            case 4: // a repair that took time, described anew
                fill(code, "RM", "45", "0", "C");
                save(own);
                break;
            case 5: { // a repair that took time, one of its machine's open repairs chosen (even machines)
                fill(machine(2 + 2 * (k / 4 % (machines / 2))), "RM", "45", "0", "C");
                const QStringList offered =
                    card.choices.count(kDescripcion) ? card.choices[kDescripcion] : QStringList();
                closed += offered.isEmpty() ? 0 : 1;
                save(offered.isEmpty() ? own : offered.first());
                break;
            }
            case 6: // a breakdown
                fill(code, "VM", "30", "20", "C");
                save(own);
                break;
            }
            return controller.Closed() ? controller.Result() : spec.cancelResult;
        };
        const qint64 before = p.StoredLines();
        p.Run();
        p.ui.cardRunner = nullptr;
        const qint64 gained = p.StoredLines() - before;
        state.SetIterationTime(bench::SecondsSince(t0));
        if (cards <= kLines || gained != kLines) {
            const std::string error =
                QStringLiteral("%1 lines stored of %2").arg(gained).arg(kLines).toStdString();
            state.SkipWithError(error.c_str());
            return;
        }
        const auto mean = [](const std::vector<double>& t, int from) {
            return (t[from + kWindow] - t[from]) / kWindow * 1e6;
        };
        cpuStart.push_back(mean(cpu, 0));
        cpuAfter.push_back(mean(cpu, kSeries));
        wallStart.push_back(mean(wall, 0));
        wallAfter.push_back(mean(wall, kSeries));
        storedLines.push_back(static_cast<double>(gained));
        closedRepairs.push_back(closed);
    }
    state.counters["lines_stored"] = bench::Median(storedLines);
    state.counters["repairs_closed"] = bench::Median(closedRepairs);
    state.counters["cpu_us_line_start"] = bench::Median(cpuStart);
    state.counters["cpu_us_line_after_10000"] = bench::Median(cpuAfter);
    state.counters["wall_us_line_start"] = bench::Median(wallStart);
    state.counters["wall_us_line_after_10000"] = bench::Median(wallAfter);
    state.counters["x_after_vs_start"] = bench::Median(cpuAfter) / bench::Median(cpuStart);
}
BENCHMARK(BM_ReportLinesPosted)
    ->ArgsProduct({{100000, 400000}, {0, 1}})
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(3);

// Partes > Alta through the card on the full environment with as many records in every file (argument:
// 100,000 or 400,000): 2,000 lines of mixed types typed and saved one after another, each stored and
// posted as one durable step (the line in the .PDA and what it posts: breakdown, repair, revision, store
// exit and stock, expedient entry), against the physical limit of a durable line: the same number of
// 116-byte appends, each followed by one fdatasync. Timed over the 2,000 lines after one of each kind:
// what the user waits for between lines. Run it on a disk folder (TMPDIR) for the syncs' cost.
void BM_DurableLinesPosted(benchmark::State& state)
{
    const int records = static_cast<int>(state.range(0));
    constexpr int kLines = 2000;
    // One line of each kind first: what the command builds once (the choice lists, the repairs' index)
    // is its start's cost, not a line's.
    constexpr int kWarmUp = 5;
    Plant p(Uniform(records));
    Context& c = p.C();
    std::vector<double> storedLines;
    const auto post = [&] {
        int cards = 0;
        std::chrono::steady_clock::time_point first;
        double series = 0;
        p.ui.cardRunner = [&](const CardSpec& spec, CardState& card) {
            const int k = cards++;
            if (k == kWarmUp)
                first = std::chrono::steady_clock::now();
            if (k == kWarmUp + kLines)
                series = bench::SecondsSince(first);
            CardController controller(
                spec, card, [](const QString&) {}, [](const QString&) {});
            if (!controller.Open())
                return controller.Result();
            if (k >= kWarmUp + kLines) {
                controller.Press(kBitBtn1);
                return controller.Closed() ? controller.Result() : spec.cancelResult;
            }
            const QString person = QString::fromStdString(bench::Numbered("%06d", 1 + k % p.n.persons));
            const QString machine = QString::fromStdString(bench::Numbered("M%06d", 1 + k % p.n.machines));
            std::vector<std::pair<QString, QString>> fields = {
                {kMatricula, person}, {kCodigo, machine}, {kDia, p.today}};
            switch (k % 5) {
            case 0: // a breakdown
                fields.insert(fields.end(), {{kTipo, QStringLiteral("VM")},
                                             {kTinter, QStringLiteral("30")},
                                             {kTparo, QStringLiteral("10")}});
                break;
            case 1: // a repair that took time
                fields.insert(fields.end(), {{kTipo, QStringLiteral("RE")}, {kTinter, QStringLiteral("30")}});
                break;
            case 2: // a monthly revision
                fields.insert(fields.end(), {{kTipo, QStringLiteral("PM")}, {kTinter, QStringLiteral("30")}});
                break;
            case 3: // one of the machine's own parts out of the store to it
                fields.insert(fields.end(), {{kTipo, QStringLiteral("AL")},
                                             {kRepCode, machine},
                                             {kRepPieza, QString::fromStdString(bench::Numbered(
                                                             "MEROD%03d", k % p.n.machines % 1000))},
                                             {kTparo, QStringLiteral("1")}});
                break;
            case 4: // overtime, booked into the expedient
                fields.insert(fields.end(), {{kTipo, QStringLiteral("CO")},
                                             {kTinter, QStringLiteral("30")},
                                             {kTIPOH, QStringLiteral("E")}});
                break;
            }
            for (const auto& [field, value] : fields) {
                controller.Focus(field);
                controller.Edit(field, value);
            }
            controller.Focus(kDescripcion);
            if (k % 5 != 3)
                controller.Edit(kDescripcion, QStringLiteral("Cambio de rodamiento"));
            controller.Focus(QString());
            controller.Press(kSalvaPartes);
            return controller.Closed() ? controller.Result() : spec.cancelResult;
        };
        const qint64 before = p.StoredLines();
        p.Run();
        p.ui.cardRunner = nullptr;
        CheckpointJournal(c);
        storedLines.push_back(static_cast<double>(p.StoredLines() - before));
        return series;
    };
    const QByteArray anchorPath = QFile::encodeName(c.Path(QStringLiteral("DURABLE.PDA")));
    const auto appendAndSync = [&] {
        const int fd = ::open(anchorPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const std::string line(sizeof(TWorkReportRecord), 'x');
        for (int i = 0; i < kLines; ++i) {
            if (::write(fd, line.data(), line.size()) < 0 || ::fdatasync(fd) != 0)
                break;
        }
        ::close(fd);
    };
    bench::CompareWithAnchor(
        state, "x_append_fdatasync", [&] { return bench::TimeOnce(appendAndSync); }, post);
    state.counters["us_per_line"] = state.counters["median_ms"] * 1000.0 / kLines;
    state.counters["lines_stored"] = bench::Median(storedLines);
    if (bench::Median(storedLines) != kWarmUp + kLines)
        state.SkipWithError("not every line was stored");
}
BENCHMARK(BM_DurableLinesPosted)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// The handlers, each on an open card. Argument: which.
enum Keystroke {
    kEnterOrden,      // focus into Orden: the open orders of .OTR offered
    kTypeOrden,       // a digit typed in Orden: the order shown
    kTypeMatricula,   // a digit typed in Matricula: the person and the day total
    kTypeTinter,      // a digit typed in Tinter: the accumulated time
    kLeaveTinter,     // Tinter left on a repair line: the machine's open repairs offered
    kTypeCodigo,      // a character typed in Codigo: the machine looked up
    kLeaveCodigo,     // Codigo left: the machine's position
    kTypeNMQ,         // a digit typed in NMQ: the machine at that position
    kTypeOldMatricula // as kTypeMatricula on a day four years back
};

void BM_ReportCardKeystroke(benchmark::State& state)
{
    Plant& p = Shared(static_cast<int>(state.range(1)));
    const auto which = static_cast<Keystroke>(state.range(0));
    int step = 0;
    p.ui.cardRunner = [&](const CardSpec& spec, CardState& card) {
        CardController c(
            spec, card, [](const QString&) {}, [](const QString&) {});
        if (!c.Open())
            return c.Result();
        const bool old = which == kTypeOldMatricula;
        for (const auto& [field, value] :
             {std::pair{kMatricula, QStringLiteral("000007")}, std::pair{kCodigo, QStringLiteral("M000123")},
              std::pair{kDia, old ? WeekCodeOf(p.C().clock.Now().date().addYears(-4)) : p.today},
              std::pair{kTipo, QStringLiteral("RM")}, std::pair{kTinter, QStringLiteral("45")}}) {
            c.Focus(field);
            c.Edit(field, value);
        }
        c.Focus(kTparo);
        // Every keystroke changes the value: the anchor and the work keep their own turns.
        int anchorStep = 0;
        const auto alternate = [&](const QString& a, const QString& b) { return ++step % 2 ? a : b; };
        const auto anchor = [&] {
            c.Focus(kTparo);
            return bench::TimeOnce(
                [&] { c.Edit(kTparo, ++anchorStep % 2 ? QStringLiteral("1") : QStringLiteral("12")); });
        };
        std::function<void()> before;
        std::function<void()> work;
        switch (which) {
        case kEnterOrden:
            before = [&] { c.Focus(kTparo); };
            work = [&] { c.Focus(kOrden); };
            break;
        case kTypeOrden:
            before = [&] { c.Focus(kOrden); };
            work = [&] { c.Edit(kOrden, alternate(p.openOrder, p.openOrder + QLatin1Char('0'))); };
            break;
        case kTypeMatricula:
        case kTypeOldMatricula:
            before = [&] { c.Focus(kMatricula); };
            work = [&] { c.Edit(kMatricula, alternate(QStringLiteral("000007"), QStringLiteral("00000"))); };
            break;
        case kTypeTinter:
            before = [&] { c.Focus(kTinter); };
            work = [&] { c.Edit(kTinter, alternate(QStringLiteral("45"), QStringLiteral("4"))); };
            break;
        case kLeaveTinter:
            before = [&] { c.Focus(kTinter); };
            work = [&] { c.Focus(kTparo); };
            break;
        case kTypeCodigo:
            before = [&] { c.Focus(kCodigo); };
            work = [&] { c.Edit(kCodigo, alternate(QStringLiteral("M001234"), QStringLiteral("M0012345"))); };
            break;
        case kLeaveCodigo:
            before = [&] { c.Focus(kCodigo); };
            work = [&] { c.Focus(kNMQ); };
            break;
        case kTypeNMQ:
            before = [&] { c.Focus(kNMQ); };
            work = [&] { c.Edit(kNMQ, alternate(QStringLiteral("900"), QStringLiteral("90"))); };
            break;
        }
        bench::CompareWithAnchor(state, "x_plain_keystroke", anchor, [&] {
            before();
            return bench::TimeOnce(work);
        });
        c.Focus(QString());
        c.Press(kBitBtn1);
        return c.Closed() ? c.Result() : spec.cancelResult;
    };
    p.Run();
    p.ui.cardRunner = nullptr;
    static const char* const kNames[] = {"enter Orden",    "type in Orden", "type in Matricula",
                                         "type in Tinter", "leave Tinter",  "type in Codigo",
                                         "leave Codigo",   "type in NMQ",   "type in Matricula, old day"};
    state.SetLabel(kNames[which]);
}
BENCHMARK(BM_ReportCardKeystroke)
    ->ArgsProduct({benchmark::CreateDenseRange(kEnterOrden, kTypeOldMatricula, 1), {50, 100}})
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(41);

} // namespace
} // namespace gim
