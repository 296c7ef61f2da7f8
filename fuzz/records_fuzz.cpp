// A record file as another program or a damaged disk may have left it: the first byte chooses which of
// the environment's files the rest of the input becomes; the program then starts on it and runs the
// listings that read that file.
#include "fuzz_program.h"

#include "masterdata/reserved_codes.h"

#include <array>
#include <functional>
#include <map>
#include <vector>

namespace {

using gim::DataFile;
using gim::State;

struct FileKind
{
    std::function<QString(const State&)> name;
    std::vector<const char*> items; // the main-menu items that read it
};

QString Named(const State& st, DataFile f)
{
    return st.FileName(f);
}

std::vector<FileKind> Kinds()
{
    auto data = [](DataFile f) { return [f](const State& st) { return Named(st, f); }; };
    return {
        {data(DataFile::Machine),
         {"Máquinas > Listado > Máquinas", "Máquinas > Listado > Cuentas", "Máquinas > Informes"}},
        {data(DataFile::Operation), {"Gamas > Listado", "Utiles > Exportar > Gamas"}},
        {data(DataFile::Plan), {"Pláning > Plan Anual", "Pláning > Lanzar > Plan Semanal"}},
        {data(DataFile::Budget), {"Costes > Presupuesto > Listado", "Gamas > Presupuesto > Listar"}},
        {data(DataFile::Agenda), {"Pláning > Recursos > Listar", "Pláning > Lanzar > Control Horario"}},
        {data(DataFile::PlannedRepair),
         {"Reparaciones > Consulta > Selectiva", "Reparaciones > Consulta > Avisos Pend",
          "Reparaciones > Ratios"}},
        {data(DataFile::Revision),
         {"Historial MP > Consulta", "Historial MP > Control > Planing", "Historial MP > Ratios > Semana"}},
        {data(DataFile::Breakdown),
         {"Averías > Consulta", "Averías > Informe > Tipo", "Averías > Informe > Semana",
          "Averías > Informe > Intervención"}},
        {data(DataFile::EnergyReading),
         {"Energías > Informes > Por Lecturas", "Energías > Informes > Por Periodo",
          "Energías > Informes > Por Contador"}},
        {data(DataFile::Alarm), {"Predictivo > Máquinas > Alerta", "Predictivo > Máquinas > Control"}},
        {data(DataFile::Predictive), {"Predictivo > Listados", "Predictivo > Máquinas > Control"}},
        {data(DataFile::WorkReport),
         {"Partes > Listados > Partes", "Partes > Listados > Cuenta Coste", "Partes > Informes > Diario",
          "Partes > Ratios", "Costes > Análisis > Partes > Anual"}},
        {data(DataFile::SparePart),
         {"Repuestos > Roturas Stock", "Repuestos > Inventario > General", "Repuestos > Ratios"}},
        {data(DataFile::Movement),
         {"Repuestos > Informes Movim. > Semanal", "Repuestos > Informes Movim. > Repuesto"}},
        {data(DataFile::OpMovement), {"OT/Prspuestos > Edición > Presupuesto > Mat/Rep"}},
        {data(DataFile::WorkOrder),
         {"OT/Prspuestos > Consulta > Ordenes Trb > Listados OT",
          "OT/Prspuestos > Consulta > Ordenes Trb > Pendientes > Mano Obra", "OT/Prspuestos > Ratios OT"}},
        {data(DataFile::RepairBudget), {"OT/Prspuestos > Consulta > Presupuestos > Listar"}},
        {data(DataFile::PurchaseOrder),
         {"Compras > Listado > Cerrados", "Compras > Informes > Semanal", "Compras > Informes > Pendientes"}},
        {data(DataFile::Procedure),
         {"Procedimientos > Listado > Procedimientos", "Procedimientos > Listado > Instrucciones"}},
        {data(DataFile::HourPrice), {"Personal > Listados > Precio/Hora"}},
        {data(DataFile::PersonnelEntry), {"Personal > Listados > Expediente"}},
        {[](const State& st) { return st.PersonnelFileName; },
         {"Personal > Listados > Matriculas", "Personal > Informe Horas"}},
        {[](const State& st) { return st.SupplierFileName; }, {"Proveedores > Listado"}},
        {[](const State& st) { return gim::ReservedCodesFileName(st); }, {"Utiles > Códigos Rsv."}},
        {[](const State& st) { return st.PlanYearsFileName; }, {"Pláning > Plan Anual"}},
    };
}

// The query and listing cards of those items, accepted as they open (their search or listing button), so
// that the listings behind them read the file too.
const std::map<QString, int>& Accepted()
{
    using gim::CardResult::Print;
    using gim::CardResult::Save;
    static const std::map<QString, int> accepted = {
        {QStringLiteral("TAverias"), Save},   {QStringLiteral("TFORMPDT"), Save},
        {QStringLiteral("TRepsem"), Save},    {QStringLiteral("TBuscRep"), Save},
        {QStringLiteral("TInstru"), Save},    {QStringLiteral("THISTPRV"), Save},
        {QStringLiteral("TCodReser"), Print},
    };
    return accepted;
}

// The file names of the default environment and firm, as a first start on an empty folder makes them.
const std::vector<std::pair<QString, std::vector<const char*>>>& Files()
{
    static const auto files = [] {
        gim::fuzz::FuzzProgram program;
        program.Start();
        std::vector<std::pair<QString, std::vector<const char*>>> out;
        for (const FileKind& kind : Kinds())
            out.emplace_back(kind.name(program.ctx.st), kind.items);
        return out;
    }();
    return files;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto& files = Files();
    const auto& [name, items] = files[data[0] % files.size()];
    gim::fuzz::FuzzProgram program;
    program.Write(name, gim::fuzz::Bytes(data + 1, size - 1));
    program.Start();
    for (const char* item : items)
        program.Run(QString::fromUtf8(item), {}, Accepted());
    return 0;
}
