#pragma once

#include "core/record_file.h"
#include "records/machine_record.h"
#include "records/personnel_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;

// Looks `rec.Codigo` up in a machine file kept sorted by code, by halves. On return `rec` holds the
// stored record, or the wanted code with the name "NO EXISTE LA MAQUINA".
void FindMachine(Context& ctx, const QString& fileName, TMachineRecord& rec);
// The same for `rec.Matricula` in a personnel file, with "NO EXISTE LA PERSONA".
void FindPerson(Context& ctx, const QString& fileName, TPersonnelRecord& rec);

// The machine register read once, for a command that names many machines: a listing looks each row's
// machine up in memory, by the same halves FindMachine walks on the file, so that every name is the one
// FindMachine would give without opening the file again for every row. The file is read at the first
// look-up, where FindMachine would have opened it first.
class MachineIndex
{
public:
    // An open failure of the machine file is shown as `report` says (once, not once per row) and leaves
    // the index empty. With `whenMissing` Silent, a register not there yet holds no machine without a
    // message, as LookUpMachine has it.
    MachineIndex(Context& ctx, Report report, Report whenMissing)
        : m_ctx(ctx), m_report(report), m_whenMissing(whenMissing)
    {
    }
    explicit MachineIndex(Context& ctx, Report report = Report::Show) : MachineIndex(ctx, report, report) {}

    // The stored machine of a code, or the code with the name "NO EXISTE LA MAQUINA".
    TMachineRecord Find(const ShortString<8>& code) const;
    // Every record of the register, in file order.
    const std::vector<TMachineRecord>& All() const;

private:
    // The codes in file order with their record's position: the search by halves walks these few bytes
    // instead of the whole records.
    struct CodeAt
    {
        ShortString<8> Codigo;
        std::uint32_t position;
    };

    Context& m_ctx;
    Report m_report;
    Report m_whenMissing;
    mutable std::optional<std::vector<TMachineRecord>> m_machines;
    mutable std::vector<CodeAt> m_codes;
};

// Validates the codes of a machine; the result goes to MachineCodesOk.
void CheckMachineCodes(Context& ctx, const TMachineRecord& m);
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
