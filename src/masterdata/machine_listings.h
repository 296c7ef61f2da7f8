#pragma once

#include "records/machine_record.h"

namespace gim {

struct Context;

// The machine list into the report window. ActionCode "M": every machine; "C": the list that
// ListMachinesByAccount built, one bold row per account; "W": the upload file of the web service
// (code and name per line) instead of a listing.
void ListMachines(Context& ctx);

// Asks for a cost account ("*" = all) into SelectedAccount and builds the machine list of that
// account, ordered by account and code.
void ListMachinesByAccount(Context& ctx);

// A sheet of 16 labels, two per row, from the position the user gives.
void PrintMachineLabels(Context& ctx);

// The data sheet of a machine: the stored sheet when there is one, a new one otherwise.
void ShowMachineSheet(Context& ctx, const TMachineRecord& m);

} // namespace gim
