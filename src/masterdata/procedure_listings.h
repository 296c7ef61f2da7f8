#pragma once

namespace gim {

struct Context;
class HandoverRegistry;

// The procedure list into the report window. ActionCode "L": the procedure headings; "I": the records
// that pass the filter the user fills on the card ("*" = any), each procedure set off by empty lines.
void ListProcedures(Context& ctx);

// The report window's Editar > Procedimientos: a listing row's key into SelectedProcedure, split by the
// stored records where the parts' lengths are not the usual ones.
void RegisterProcedureHandover(Context& ctx, HandoverRegistry& handover);

} // namespace gim
