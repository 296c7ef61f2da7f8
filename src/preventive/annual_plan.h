#pragma once

namespace gim {

struct Context;

inline constexpr const char* kAnnualPlanTitle = "PLANING DE FECHAS INICIALES DE MAQUINAS ";

// Compacts the plan file: its twin takes every entry as it stood, and the plan file is rewritten in
// order of machine code without the erased entries. With ActionCode "5" it also lists the start week of
// every available planned machine under its month of the maintenance year. Every command that loads or
// unloads machines runs it afterwards, so the plan file never keeps erased entries between commands.
void ListAnnualPlan(Context& ctx);

} // namespace gim
