#pragma once

namespace gim {

struct Context;
class HandoverRegistry;

// The routine of one machine into the report window, filtered by frequency and speciality, with its
// planned time, the time the machine stands still and the interference ratio. Leaves the machine code
// in SelectedOperation for the report window's hand-over.
void ListOperations(Context& ctx);

// The report window's Editar > Gamas: a listing row's columns into SelectedOperation (the machine code
// stays the listing's); a new report window empties the description.
void RegisterOperationHandover(Context& ctx, HandoverRegistry& handover);

} // namespace gim
