#pragma once

#include "core/data_file.h"
#include "records/energy_reading_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;
class HandoverRegistry;

using EnergyReadingEntry = ListEntry<TEnergyReadingRecord>;

// The energy module's program-wide variables.
struct EnergyState
{
    // Every reading of the reading file in the file's order (LoadEnergyReadings), each with its position
    // in the file.
    std::vector<EnergyReadingEntry> ReadingList;
    // The record buffer of the card; an import fills it before it adds.
    TEnergyReadingRecord CurrentEnergyReading{};
    // 'S' during an addition series, ' ' during an edit browse, 'N' once the card was left with &Salir
    // (or after the one record of an import): it ends both loops.
    char ReadingSeriesMark = ' ';
    // Set when a reading was appended to an existing file during the command, so that its rewrite runs
    // however the series of cards ended; cleared by the rewrite.
    std::uint8_t EnergyReadingStored = 0;
    // The row Editar > Energías handed over (machine code, meter, date as a week code, reading); the
    // edit takes it instead of asking while it names a machine, and empties the machine code.
    TEnergyReadingRecord HandedOverReading{};
};

EnergyState& Energy(Context& ctx);

// The order of the file and of the list: the texts of date, machine code and meter joined, each at its
// own length, compared as bytes.
bool EnergyReadingBefore(const TEnergyReadingRecord& a, const TEnergyReadingRecord& b);
// Whether two readings are of the same meter: machine code and meter code.
bool SameMeter(const TEnergyReadingRecord& a, const TEnergyReadingRecord& b);
// The units a reading serves: its units, 1 when stored as 0.
int ReadingUnits(const TEnergyReadingRecord& r);

// The reading file (.ENW), rewritten in key order through its twin (.ENK) without erased readings. The
// list loads it from the last record to the first; a reading whose key is not above the head's becomes
// the head, any other goes after the readings of equal key.
struct EnergyReadingFile : TableFile<DataFile::EnergyReading, TEnergyReadingRecord>
{
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::FirstToLast;
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return EnergyReadingBefore(a, b); }
    static bool Deleted(const Record& r) { return r.MachineCode == "Z"; }
};

// CurrentEnergyReading := no machine, meter " ", today's week code, 1 unit, reading 0.
void ClearEnergyReading(Context& ctx);
// Puts a reading into the list where its key goes (the head for a key not above the head's).
void InsertEnergyReadingSorted(Context& ctx, EnergyReadingEntry entry);
void FreeEnergyReadingList(Context& ctx);
// The whole reading file into the list, under the progress window.
void LoadEnergyReadings(Context& ctx);

// Appends `reading`, creating the file when it is missing; appending to an existing file sets ContinueFlag
// and EnergyReadingStored. Returns the reading's position, nothing when it was not stored.
std::optional<std::uint32_t> AppendEnergyReading(Context& ctx, const TEnergyReadingRecord& reading);
// A series of reading cards (ActionCode "1"), or the import's one reading ("i"). Readings of a machine not
// in the register are refused; the others are appended and put into the list.
void AddEnergyReading(Context& ctx);
// One reading handed in from outside (an import, ActionCode "i"). Returns whether it was stored.
bool AddImportedEnergyReading(Context& ctx, const TEnergyReadingRecord& rec);
// Chooses readings by machine, meter and date (the handed-over row, or three prompts) and shows each in
// its card for changing or erasing, writing it back where it stands in the file.
void EditEnergyReadings(Context& ctx);
// The sorted rewrite through the twin; with ExportFlag set, every reading is listed as it now stands.
void SortEnergyReadings(Context& ctx);

// Editar > Energías: the columns of the reading export listing and where they go.
void RegisterEnergyHandover(Context& ctx, HandoverRegistry& handover);

// The readings of each meter in date order, to find a reading's neighbours by halves.
class MeterReadings
{
public:
    explicit MeterReadings(const std::vector<EnergyReadingEntry>& list);

    struct Neighbours
    {
        // The last reading of the meter dated on or before the date asked; reading 0 at the bound when
        // the meter has none.
        TEnergyReadingRecord previous{};
        // The first reading of the meter dated after it.
        std::optional<TEnergyReadingRecord> next;
    };
    Neighbours Around(const TEnergyReadingRecord& reading, const QString& bound) const;
    // The same for the reading at a position of the list, found without a search: a listing asks it for
    // every reading.
    Neighbours AroundEntry(std::size_t listPosition, const QString& bound) const;

private:
    const std::vector<EnergyReadingEntry>& m_list;
    std::vector<std::uint32_t> m_byMeter; // list positions, by meter, each meter's in list order
    // By list position, its place in m_byMeter; by place, the first place of its meter dated after it and
    // the end of its meter. Empty when some meter's readings are not in date order.
    std::vector<std::uint32_t> m_place;
    std::vector<std::uint32_t> m_later;
    std::vector<std::uint32_t> m_meterEnd;
};

// The previous reading of `reading`'s meter up to its date; a later reading of the meter, when there is
// one, becomes CurrentEnergyReading.
MeterReadings::Neighbours FindPreviousReading(Context& ctx, const MeterReadings& meters,
                                              const TEnergyReadingRecord& reading, const QString& bound);
// The same for the reading at a position of the list the readings were indexed from.
MeterReadings::Neighbours FindPreviousReading(Context& ctx, const MeterReadings& meters,
                                              std::size_t listPosition, const QString& bound);

} // namespace gim
