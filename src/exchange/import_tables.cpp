#include "exchange/import_tables.h"

#include "exchange/import_fields.h"
#include "exchange/import_tables_corrective.h"
#include "exchange/import_tables_store.h"
#include "masterdata/hour_prices.h"
#include "masterdata/machines.h"
#include "masterdata/personnel.h"
#include "masterdata/procedures.h"
#include "masterdata/routines.h"
#include "preventive/annual_plan.h"
#include "preventive/plan_loading.h"
#include "store/spare_parts.h"
#include "store/suppliers.h"

namespace gim {

ImportTable<TMachineRecord> MachineImportFormat()
{
    using R = TMachineRecord;
    ImportTable<R> t;
    t.minimumLength = 5;
    t.fields = {TextField(1, &R::Codigo),      TextField(2, &R::Denominacion), TextField(3, &R::Modelo),
                TextField(4, &R::Fabricacion), TextField(5, &R::Cuenta),       TextField(6, &R::Ubicacion),
                TextField(7, &R::Disponible)};
    t.add = [](Context& ctx, const R& rec) { return AddImportedMachine(ctx, rec); };
    t.sort = [](Context& ctx) { SortMachineFile(ctx); };
    return t;
}

ImportTable<TOperationRecord> OperationImportFormat()
{
    using R = TOperationRecord;
    ImportTable<R> t;
    t.fields = {TextField(1, &R::MachineCode), TextField(2, &R::Frequency),
                TextField(3, &R::State),       NumberField(4, &R::Minutes, 0, kWordMax),
                TextField(5, &R::Speciality),  TextField(6, &R::Description)};
    // A list loaded already is kept, unless it was loaded from another environment's file: the import
    // saves the list into this one's.
    t.before = [](Context& ctx) { LoadOperationList(ctx); };
    t.add = [](Context& ctx, const R& rec) { return AddImportedOperation(ctx, rec); };
    t.after = [](Context& ctx) {
        SaveOperationList(ctx);
        FreeOperationList(ctx);
    };
    return t;
}

ImportTable<TSupplierRecord> SupplierImportFormat()
{
    using R = TSupplierRecord;
    ImportTable<R> t;
    t.fields = {TextField(1, &R::Codigo),   TextField(2, &R::Empresa),  TextField(3, &R::Tlf),
                TextField(4, &R::Fax),      TextField(5, &R::Contacto), TextField(6, &R::Especialidad),
                TextField(7, &R::Calle),    TextField(8, &R::Numero),   TextField(9, &R::Ciudad),
                TextField(10, &R::Cpostal), TextField(11, &R::Pais),    TextField(12, &R::mail)};
    t.add = [](Context& ctx, const R& rec) { return AddImportedSupplier(ctx, rec); };
    t.sort = [](Context& ctx) { CompactSupplierFile(ctx); };
    return t;
}

ImportTable<TSparePartRecord> SparePartImportFormat()
{
    using R = TSparePartRecord;
    ImportTable<R> t;
    t.fields = {TextField(1, &R::Codigo),
                TextField(2, &R::Equipo),
                TextField(3, &R::Util),
                TextField(4, &R::Pieza),
                TextField(5, &R::Nombre),
                TextField(6, &R::Marca),
                NumberField(7, &R::Exist, kInt32Min, kInt32Max),
                NumberField(8, &R::Valor, kInt32Min, kInt32Max),
                NumberField(9, &R::Stock, kInt32Min, kInt32Max),
                NumberField(10, &R::PPedido, kInt32Min, kInt32Max),
                TextField(11, &R::CdPVD),
                TextField(12, &R::Local)};
    t.before = [](Context& ctx) { LoadSparePartList(ctx); };
    t.add = [](Context& ctx, const R& rec) { return AddImportedSparePart(ctx, rec); };
    t.after = [](Context& ctx) { FreeSparePartList(ctx); };
    t.sort = [](Context& ctx) { SortSparePartFile(ctx); };
    return t;
}

ImportTable<TPlanRecord> PlanImportFormat()
{
    using R = TPlanRecord;
    ImportTable<R> t;
    t.minimumLength = 5;
    t.fields = {TextField(1, &R::Code), NumberField(2, &R::StartWeek, 0, kWordMax)};
    t.before = [](Context& ctx) { BeginPlanBatch(ctx); };
    t.add = [](Context& ctx, const R& rec) { return PlanImportedMachine(ctx, rec); };
    t.after = [](Context& ctx) {
        EndPlanBatch(ctx);
        ListAnnualPlan(ctx);
    };
    return t;
}

ImportTable<TProcedureRecord> ProcedureImportFormat()
{
    using R = TProcedureRecord;
    ImportTable<R> t;
    t.minimumLength = 5;
    ImportField<R> key;
    key.number = 1;
    key.width = 14;
    // The key is cut by position: machine code, speciality, procedure and instruction.
    key.store = [](Context&, R& rec, const ImportFieldValue& v) {
        rec.MachineCode = v.text.mid(0, 8);
        rec.Espec = v.text.mid(8, 2);
        rec.Proced = v.text.mid(10, 2);
        rec.Inst = v.text.mid(12, 2);
    };
    t.fields = {key, TextField(2, &R::Estado), NumberField(3, &R::Tiempo, 0, kWordMax),
                TextField(4, &R::Descripcion)};
    t.add = [](Context& ctx, const R& rec) { return AddImportedProcedure(ctx, rec); };
    return t;
}

ImportTable<THourPriceRecord> HourPriceImportFormat()
{
    using R = THourPriceRecord;
    constexpr auto cents = ImportFieldKind::Cents;
    ImportTable<R> t;
    t.minimumLength = 5;
    t.fields = {TextField(1, &R::Matricula),
                NumberField(2, &R::HCONTRATO, 0, kWordMax, cents),
                NumberField(3, &R::HEX, 0, kWordMax, cents),
                NumberField(4, &R::HEF, 0, kWordMax, cents),
                NumberField(5, &R::HN, 0, kWordMax, cents),
                NumberField(6, &R::HEN, 0, kWordMax, cents),
                TextField(7, &R::Fecha)};
    t.add = [](Context& ctx, const R& rec) { return AddImportedHourPrice(ctx, rec); };
    t.after = [](Context& ctx) { LoadPersonnel(ctx); };
    return t;
}

std::optional<ImportJob> ImportJobFor(const QString& radioName)
{
    if (radioName == QLatin1String("Maquinas"))
        return MakeImportJob(MachineImportFormat());
    if (radioName == QLatin1String("Gamas"))
        return MakeImportJob(OperationImportFormat());
    if (radioName == QLatin1String("Provee"))
        return MakeImportJob(SupplierImportFormat());
    if (radioName == QLatin1String("Repuestos"))
        return MakeImportJob(SparePartImportFormat());
    if (radioName == QLatin1String("Planing"))
        return MakeImportJob(PlanImportFormat());
    if (radioName == QLatin1String("procedimiento"))
        return MakeImportJob(ProcedureImportFormat());
    if (radioName == QLatin1String("PrecioHora"))
        return MakeImportJob(HourPriceImportFormat());
    if (radioName == QLatin1String("Partes"))
        return WorkReportImportFormat();
    if (radioName == QLatin1String("Ordenes"))
        return WorkOrderImportFormat();
    if (radioName == QLatin1String("Averias"))
        return BreakdownImportFormat();
    if (radioName == QLatin1String("Reparaciones"))
        return PlannedRepairImportFormat();
    if (radioName == QLatin1String("Movimientos"))
        return MovementImportFormat();
    if (radioName == QLatin1String("Controles"))
        return PredictiveImportFormat();
    if (radioName == QLatin1String("Energias"))
        return EnergyImportFormat();
    if (radioName == QLatin1String("COMPRAS"))
        return PurchaseOrderImportFormat();
    return std::nullopt;
}

} // namespace gim
