// The fifteen tables of the import window, each taking 1,000 lines into files of 100,000 records, against
// the anchor of as many records appended to the same file one at a time, each with its fdatasync (what
// storing 1,000 records costs at the least). The tables that always show their card are timed with a
// user who saves every card as it opens.
#include "bench_support.h"

#include "core/record_file.h"
#include "exchange/import_gateway.h"
#include "exchange/import_tables.h"
#include "exchange/import_tables_corrective.h"
#include "exchange/import_tables_store.h"
#include "masterdata/personnel.h"
#include "platform/card_controller.h"
#include "records/breakdown_record.h"
#include "records/energy_reading_record.h"
#include "records/personnel_record.h"
#include "records/plan_records.h"
#include "records/planned_repair_record.h"
#include "records/predictive_record.h"
#include "records/purchase_order_record.h"
#include "records/store_movement_record.h"
#include "records/work_order_record.h"
#include "records/work_report_record.h"

#include <QDir>
#include <QTemporaryDir>
#include <fcntl.h>

namespace gim {
namespace {

constexpr int kRecords = 100000;
constexpr int kLines = 1000;

// Saves every card as it opens, with the values the import filled in.
class AcceptingUi final : public SilentUi
{
public:
    int RunCard(const CardSpec& spec, CardState& state) override
    {
        CardController card(spec, state, {}, {});
        if (!card.Open())
            return card.Result();
        for (const ButtonSpec& b : spec.buttons)
            if (b.result == CardResult::Save && !state.disabled.count(b.name) &&
                !state.hidden.count(b.name)) {
                card.Press(b.name);
                break;
            }
        return card.Closed() ? card.Result() : spec.cancelResult;
    }
};

QString Code(const char* format, int i)
{
    return QString::fromStdString(bench::Numbered(format, i));
}

// Machines M000000.. and operators P00000.. as registered; every other file of 100,000 records naming
// them. The plan holds other machines, so that the imported ones are new to it.
struct ImportPlant
{
    explicit ImportPlant(int)
    {
        bench::UsePortalFolder(ctx, master.path(), QStringLiteral("FABRICA"));
        BuildFirmFileNames(ctx);
        ctx.st.FirstYear = 24;
        ctx.st.LastYear = 28;
        ctx.st.PlanWeeks = 5 * 52;
        const auto fill = [&](const QString& name, auto make) {
            std::vector<decltype(make(0))> records;
            records.reserve(kRecords);
            for (int i = 0; i < kRecords; ++i)
                records.push_back(make(i));
            StoreRecords(ctx, name, records);
        };
        const State& st = ctx.st;
        fill(st.FileName(DataFile::Machine), [](int i) {
            TMachineRecord r{};
            r.Codigo = Code("M%06d", i);
            r.Denominacion = "Prensa";
            r.Cuenta = "CTA";
            r.Disponible = "SI";
            return r;
        });
        fill(st.PersonnelFileName, [](int i) {
            TPersonnelRecord r{};
            r.Matricula = Code("P%05d", i);
            r.Apellidos = "GARCIA";
            r.Baja = "..";
            return r;
        });
        fill(st.FileName(DataFile::Operation), [](int i) {
            TOperationRecord r{};
            r.MachineCode = Code("M%06d", i);
            r.Frequency = "M";
            r.State = "P";
            r.Speciality = "MC";
            r.Description = "REVISAR";
            r.Minutes = 30;
            return r;
        });
        fill(st.FileName(DataFile::Plan), [](int i) {
            TPlanRecord r{};
            r.Code = Code("Q%06d", i);
            return r;
        });
        // The weekly agenda the plan books its minutes into, one week per record over the horizon.
        std::vector<TAgendaRecord> agenda(static_cast<std::size_t>(st.PlanWeeks));
        for (TAgendaRecord& week : agenda) {
            week.FreeMinutes = 60000;
            week.Note = " ";
        }
        StoreRecords(ctx, st.FileName(DataFile::Agenda), agenda);
        fill(st.FileName(DataFile::WorkReport), [](int i) {
            TWorkReportRecord r{};
            r.Matricula = Code("P%05d", i % kRecords);
            r.Codigo = Code("M%06d", i);
            r.Tipo = "M";
            r.TIPOH = "C";
            r.dia = "26/40/1";
            r.Tinter = 30;
            return r;
        });
        fill(st.SupplierFileName, [](int i) {
            TSupplierRecord r{};
            r.Codigo = Code("S%08d", i);
            r.Empresa = "Rodamientos";
            return r;
        });
        fill(st.FileName(DataFile::WorkOrder), [](int i) {
            TWorkOrderRecord r{};
            r.Number = i;
            r.Refex = Code("R%07d", i);
            r.Machine = Code("M%06d", i);
            r.State = "T";
            r.NoticeDate = "26/40/1";
            return r;
        });
        fill(st.FileName(DataFile::Breakdown), [](int i) {
            TBreakdownRecord r{};
            r.Code = Code("M%06d", i);
            r.Week = 100;
            r.Day = "1";
            return r;
        });
        fill(st.FileName(DataFile::SparePart), [](int i) {
            TSparePartRecord r{};
            r.Codigo = Code("M%06d", i);
            r.Equipo = "ME";
            r.Util = "ROD";
            r.Pieza = "001";
            r.Exist = 1000000;
            r.Valor = 500;
            return r;
        });
        fill(st.FileName(DataFile::PlannedRepair), [](int i) {
            TPlannedRepairRecord r{};
            r.Code = Code("M%06d", i);
            r.Week = 100;
            r.State = "P";
            r.Minutes = 60;
            return r;
        });
        fill(st.FileName(DataFile::Movement), [](int i) {
            TStoreMovementRecord r{};
            r.Codigo = Code("M%06d", i);
            r.Equipo = "ME";
            r.Util = "ROD";
            r.Pieza = "001";
            r.Destination = Code("M%06d", i);
            r.Quantity = -1;
            return r;
        });
        fill(st.FileName(DataFile::Predictive), [](int i) {
            TPredictiveRecord r{};
            r.Codigo = Code("M%06d", i);
            r.FREC = "M";
            r.Espec = "V";
            r.Semana = 100;
            return r;
        });
        fill(st.FileName(DataFile::EnergyReading), [](int i) {
            TEnergyReadingRecord r{};
            r.MachineCode = Code("M%06d", i);
            r.MeterCode = "KW1";
            r.Date = "26/40/1";
            r.Units = 1;
            return r;
        });
        fill(st.FileName(DataFile::PurchaseOrder), [](int i) {
            TPurchaseOrderRecord r{};
            r.Nped = i;
            r.Codigo = Code("M%06d", i);
            r.Estado = "P";
            r.Albaran = "#";
            return r;
        });
        fill(st.FileName(DataFile::Procedure), [](int i) {
            TProcedureRecord r{};
            r.MachineCode = Code("M%06d", i);
            r.Espec = "ME";
            r.Proced = "01";
            r.Inst = "00";
            r.Estado = "P";
            return r;
        });
        // Every operator but the first 1,000, whom the import prices, has a price already (a second price
        // is refused as repeated); the file's last records name operators no longer on the register.
        fill(st.FileName(DataFile::HourPrice), [](int i) {
            THourPriceRecord r{};
            r.Matricula = i < kRecords - kLines ? Code("P%05d", i + kLines) : Code("Q%05d", i);
            r.HCONTRATO = 1500;
            return r;
        });
    }

    // A fresh copy of the data folder for one run.
    void Reset()
    {
        work.emplace();
        for (const QFileInfo& f : QDir(master.path()).entryInfoList(QDir::Files))
            QFile::copy(f.filePath(), work->filePath(f.fileName()));
        bench::UsePortalFolder(ctx, work->path(), QStringLiteral("FABRICA"));
        BuildFirmFileNames(ctx);
        LoadPersonnel(ctx);
    }

    // The anchor: `count` records of `size` bytes appended to a copy of the file, each written and synced.
    double Appends(const QString& name, int size)
    {
        Reset();
        const QByteArray record(size, '\x01');
        return bench::TimeOnce([&] {
            for (int i = 0; i < kLines; ++i) {
                const int fd = ::open(QFile::encodeName(ctx.Path(name)).constData(), O_WRONLY | O_APPEND);
                if (fd < 0)
                    return;
                if (::write(fd, record.constData(), static_cast<std::size_t>(size)) == size)
                    ::fdatasync(fd);
                ::close(fd);
            }
        });
    }

    AcceptingUi ui;
    NoShell shell;
    SystemClock clock;
    Context ctx{ui, clock, shell};
    QTemporaryDir master;
    std::optional<QTemporaryDir> work;
};

ImportPlant& Plant()
{
    return bench::FixtureOfSize<ImportPlant>(kRecords);
}

struct TableCase
{
    const char* radio;
    const char* format; // one line; %1 is the line's number in six digits, %2 in five
    bool manual;        // the window keeps Manual ticked for the table
    DataFile file;      // the file its records go to (the anchor's); suppliers: their own file
};

QString Lines(const char* format)
{
    QString text;
    for (int i = 0; i < kLines; ++i)
        text += QString::fromUtf8(format)
                    .replace(QStringLiteral("%1"), QString::number(i).rightJustified(6, QLatin1Char('0')))
                    .replace(QStringLiteral("%2"), QString::number(i).rightJustified(5, QLatin1Char('0'))) +
                QLatin1Char('\n');
    return text;
}

void RunTable(benchmark::State& state, const TableCase& c)
{
    ImportPlant& f = Plant();
    const std::optional<ImportJob> job = ImportJobFor(QString::fromLatin1(c.radio));
    const QString text = Lines(c.format);
    const bool suppliers = QLatin1String(c.radio) == QLatin1String("Provee");
    const int size =
        suppliers ? static_cast<int>(sizeof(TSupplierRecord)) : static_cast<int>(SpecOf(c.file).recordSize);
    const QString name = suppliers ? f.ctx.st.SupplierFileName : f.ctx.st.FileName(c.file);
    qint64 grown = 0;
    bench::CompareWithAnchor(
        state, "x_appends", [&] { return f.Appends(QFileInfo(name).fileName(), size); },
        [&] {
            f.Reset();
            ImportGateway(f.ctx).Manual = c.manual;
            const double seconds = bench::TimeOnce([&] { RunGatewayImport(f.ctx, *job, text); });
            grown = QFileInfo(f.ctx.Path(name)).size() / size - kRecords;
            return seconds;
        });
    state.counters["lines"] = kLines;
    // What the import stored: a figure for lines refused would time nothing worth knowing.
    state.counters["records_added"] = static_cast<double>(grown);
}

// clang-format off
const TableCase kTables[] = {
    {"Maquinas", "x\tN%1\tPrensa\tHP\tS1\tCTA\tNAVE\tSI", false, DataFile::Machine},
    {"Gamas", "x\tM%1\tS\tP\t45\tMC\tENGRASAR", false, DataFile::Operation},
    {"Partes", "x\tP%2\tM%1\t07/12/2026\tC\tM\t45\t15\tOT1\t\tEngrase", false, DataFile::WorkReport},
    {"Provee", "x\tT%1\tRodamientos\t961\t962\tLuis\tROD\tMayor\t1\tValencia\t46001\tEspana\tl@r.es", true, DataFile::WorkReport},
    {"Ordenes", "x\tN%1\tP\t07/12/2026\t08:30\t\t\t\t\tJEFE\tM%1\tFuga\t\tU\tNO", false, DataFile::WorkOrder},
    {"Averias", "x\tM%1\t09/12/2027\tM\tE\tMotor\t60\t2\t30\t5", false, DataFile::Breakdown},
    {"Repuestos", "x\tM%1\tEL\tMOT\t001\tMOTOR\tABB\t1\t1250\t1\t1\tS1\tA1", false, DataFile::SparePart},
    {"Reparaciones", "x\tM%1\t90\tP\tM\t12\t10\t2026\tJUAN\tCambio", true, DataFile::PlannedRepair},
    {"Movimientos", "x\tM%1\tME\tROD\t001\tM%1\t12/12/2026\tP%2\t1\t500", false, DataFile::Movement},
    {"Controles", "x\tM%1\tM\tV\tA1\tP%2\t07/12/2026\t12\t7\tRuido", true, DataFile::Predictive},
    {"Energias", "x\tM%1\tKW2\t07/12/2026\t1234\t1", false, DataFile::EnergyReading},
    {"COMPRAS", "x\t2%1\tREF\tM%1\tME\tROD\t001\tR\tSKF\tS1\t07/12/2026\t14/12/2026\t01/01/2027\tNAVE\tP\t4\t0\t1250\t#", false, DataFile::PurchaseOrder},
    {"Planing", "x\tM%1\t12", false, DataFile::Plan},
    {"PrecioHora", "x\tP%2\t12,5\t15\t20\t13\t18\t01/01/2026", true, DataFile::HourPrice},
    // The key's first 8 characters are the machine's: a code of 7 takes the whole key.
    {"procedimiento", "x\tM%1\tP\t30\tENGRASAR", true, DataFile::Procedure},
};
// clang-format on

const bool kRegistered = [] {
    for (const TableCase& c : kTables)
        benchmark::RegisterBenchmark((std::string("BM_Import/") + c.radio).c_str(),
                                     [&c](benchmark::State& state) { RunTable(state, c); })
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
    return true;
}();

} // namespace
} // namespace gim
