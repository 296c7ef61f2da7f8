#pragma once

#include "records/machine_record.h"
#include "records/personnel_record.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace gim {

struct Context;

// Looks `rec.Codigo` up in a machine file kept sorted by code, by halves. On return `rec` holds the
// stored record, or the wanted code with the name "NO EXISTE LA MAQUINA".
void FindMachine(Context& ctx, const QString& fileName, TMachineRecord& rec);
// The same for `rec.Matricula` in a personnel file, with "NO EXISTE LA PERSONA".
void FindPerson(Context& ctx, const QString& fileName, TPersonnelRecord& rec);

// Validates the codes of CurrentMachine; the result goes to MachineCodesOk.
void CheckMachineCodes(Context& ctx);
// Whether a machine's code and account are present and printable, without a word to the user.
bool MachineCodesValid(const TMachineRecord& m);
// Checks the codes of every machine of a file: up to three badly coded machines are shown as
// CheckMachineCodes shows them, in the order given; more are reported in one message with their count
// and the file's name. MachineCodesOk
// tells whether all were good.
void CheckMachineFileCodes(Context& ctx, const std::vector<TMachineRecord>& records, const QString& fileName);

// An employee's price in cents for an hour kind ("C", "N", "E", "EN", ...); 0 when no row matches.
std::uint16_t LookupHourPrice(const Context& ctx, const QString& matricula, const QString& kind);

// Warns when the memory the system reports as available runs low.
void CheckHeapMemory(Context& ctx);
// Available memory in bytes as the system reports it; nullopt-like -1 when unknown.
long long AvailableMemoryBytes();

} // namespace gim
