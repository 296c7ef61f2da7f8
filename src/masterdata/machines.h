#pragma once

#include "core/data_file.h"
#include "records/machine_record.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gim {

struct Context;

using MachineEntry = ListEntry<TMachineRecord>;

// The program-wide variables of the machine register: the in-memory machine list that every subsystem
// walks for its pick lists, and the two requests the machine card leaves for the edit command.
struct MachinesState
{
    // Ordered by code after LoadMachineList, by account and code after ListMachinesByAccount.
    std::vector<MachineEntry> MachineList;
    // Moves on at every change to MachineList: what a card makes from the list is made again.
    std::uint64_t MachineListRevision = 0;
    // The entry the edit found and the save writes back; MachineList.size() when none.
    std::size_t MachineListCursor = 0;
    std::size_t LoadedCount = 0; // records in the file at the last load

    std::uint8_t MachineSaveRequested = 0;
    std::uint8_t MachineDeleteRequested = 0;
};

MachinesState& Machines(Context& ctx);

inline constexpr const char* kMachineNotFound = "NO EXISTE LA MAQUINA";
// The reason an add gives back when the machine of its record is not on file.
inline constexpr const char* kMachineMissingReason = "MÁQUINA INEXISTENTE";

// Order of the machine file and list: the code as short strings compare.
bool MachineCodeBefore(const TMachineRecord& a, const TMachineRecord& b);
// Order of the account listing: the account, then the code, compared as a pair so that an account that
// is a prefix of another does not mix the two groups.
bool MachineAccountBefore(const TMachineRecord& a, const TMachineRecord& b);

// The machine file (.MQW): sorted by code through its twin .MBK, read from the last record to the first.
struct MachineFile : TableFile<DataFile::Machine, TMachineRecord>
{
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static bool Before(const Record& a, const Record& b) { return MachineCodeBefore(a, b); }
    static bool SameKey(const Record& a, const Record& b) { return a.Codigo == b.Codigo; }
    static constexpr bool kSameKeyInOrder = true;
    static bool Deleted(const Record& r) { return r.Codigo == "Z"; }
};

// Builds the list from the machine file, ordered by code; equal codes keep the order of a load from
// the last record to the first. A missing file gives an empty list without a message. Each record is
// checked with CheckMachineCodes on the way (its messages appear; the record is listed all the same).
void LoadMachineList(Context& ctx);
// The machine of a code in the machine register: the stored record, or the code with the name "NO EXISTE
// LA MAQUINA". A register not there yet holds no machine, without a message.
TMachineRecord LookUpMachine(Context& ctx, const QString& code);
void FreeMachineList(Context& ctx);
// The machine register read once, sorted by code, to name the machines of a listing by halves.
class MachineNames
{
public:
    explicit MachineNames(Context& ctx);
    const std::vector<TMachineRecord>& All() const { return m_machines; }
    // The machine's name, or "NO EXISTE LA MAQUINA".
    QString Of(const ShortString<8>& code) const;
    // The machine's record; null when the register has none of the code.
    const TMachineRecord* Find(const ShortString<8>& code) const;

private:
    std::vector<TMachineRecord> m_machines;
};
// The codes of a machine list, in its order: what a card's machine combo offers.
QStringList MachineCodes(const std::vector<MachineEntry>& list);
// The codes of the register read afresh, without keeping the list.
QStringList MachineCodeChoices(Context& ctx);
// The same behind one leading item (the "*" of any machine), kept with them: a card a line asks for it
// without copying the register's codes.
QStringList MachineCodeChoices(Context& ctx, const QString& first);
// Ordered inserts: after every entry of equal key.
void InsertMachineByCode(Context& ctx, MachineEntry entry);
void InsertMachineByAccount(Context& ctx, MachineEntry entry);

// Blanks a machine buffer: code "#", name, model and serial number ".."; the rest stays.
void ClearMachineRecord(TMachineRecord& rec);

// Asks for a code and shows its card. Leaves MachineSaveRequested or MachineDeleteRequested set for
// SaveMachineRecord, or opens the machine's data sheet.
void EditMachine(Context& ctx);
// Writes CurrentMachine back where the edit found it, or marks it deleted when it is not in use.
void SaveMachineRecord(Context& ctx);

// A series of new-machine cards; with ActionCode "i" one record taken from ImportedMachine.
void AddMachines(Context& ctx);
// The new-machine cards opened on `code`, as after a look-up that missed it.
void AddMachineOfCode(Context& ctx, const ShortString<8>& code);
// An imported machine added as AddMachines adds it (its card shown while InteractiveFlag is 1); whether it
// was stored.
bool AddImportedMachine(Context& ctx, const TMachineRecord& rec);
// Appends `machine` unless its code is already in the file. Returns whether it was stored.
bool AppendMachineRecord(Context& ctx, const TMachineRecord& machine);

// Copies the file to its twin and rewrites it in code order without deleted or badly coded machines.
// Returns false when there was no machine file to sort.
bool SortMachineFile(Context& ctx);

// Start-up: a machine file left out of code order (a program stopped between a save and its sort, a
// disk too full for the sort) is sorted again, so that every machine is found by halves.
void EnsureMachineFileSorted(Context& ctx);

// Whether an operation file (sorted by machine code) holds an operation of CurrentMachine.
bool MachineHasOperations(Context& ctx, const QString& operationFileName);
// Whether a daily work report names CurrentMachine.
bool MachineHasDailyReports(Context& ctx);

// The photo check box of the card: names the photo of the machine typed on the card and says when it
// already has one. The picture itself is stored after the record.
void AssignMachinePhoto(Context& ctx, const QString& codeText);

// Year restart: the sorted register becomes the machine file of the new environment.
void CarryMachinesToNewYear(Context& ctx, const QString& newEnvironment);

} // namespace gim
