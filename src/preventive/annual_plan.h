#pragma once

#include "core/data_file.h"
#include "records/plan_records.h"

namespace gim {

struct Context;

// The plan file (.PLN): the machines loaded into the plan, appended as they are loaded and compacted in
// code order through its twin .PBK, without the erased ("Z") entries.
struct PlanFile : TableFile<DataFile::Plan, TPlanRecord>
{
    static bool Before(const Record& a, const Record& b) { return a.Code < b.Code; }
    static bool Deleted(const Record& r) { return r.Code == "Z"; }
};

inline constexpr const char* kAnnualPlanTitle = "PLANING DE FECHAS INICIALES DE MAQUINAS ";

// Compacts the plan file: its twin takes every entry as it stood, and the plan file is rewritten in
// order of machine code without the erased entries. With ActionCode "5" it also lists the start week of
// every available planned machine under its month of the maintenance year. Every command that loads or
// unloads machines runs it afterwards, so the plan file never keeps erased entries between commands.
void ListAnnualPlan(Context& ctx);

} // namespace gim
