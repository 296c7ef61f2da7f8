#pragma once

#include "exchange/import_format.h"
#include "records/hour_price_record.h"
#include "records/machine_record.h"
#include "records/operation_record.h"
#include "records/plan_records.h"
#include "records/procedure_record.h"
#include "records/spare_part_record.h"
#include "records/supplier_record.h"

#include <QString>
#include <optional>

namespace gim {

// The line formats of the import window's tables, each with its add routine and the steps around its
// line loop.
ImportTable<TMachineRecord> MachineImportFormat();
ImportTable<TOperationRecord> OperationImportFormat();
ImportTable<TSupplierRecord> SupplierImportFormat();
ImportTable<TSparePartRecord> SparePartImportFormat();
ImportTable<TPlanRecord> PlanImportFormat();
ImportTable<TProcedureRecord> ProcedureImportFormat();
ImportTable<THourPriceRecord> HourPriceImportFormat();

// The import a radio button of the import window runs ("Maquinas", "Gamas", ...); nothing for a name
// without a table.
std::optional<ImportJob> ImportJobFor(const QString& radioName);

} // namespace gim
