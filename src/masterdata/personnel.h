#pragma once

#include "core/data_file.h"
#include "records/hour_price_record.h"
#include "records/personnel_entry_record.h"
#include "records/personnel_record.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace gim {

struct Context;

using PersonListEntry = ListEntry<TPersonnelRecord>;

// The program-wide variables of the personnel register.
struct PersonnelState
{
    // Every card of the personnel file but the erased ones, ascending by number; each entry keeps its
    // card's file position.
    std::vector<PersonListEntry> PersonnelList;
    // Moves on at every change to PersonnelList: what a card makes from the list is made again.
    std::uint64_t PersonnelListRevision = 0;
    // The buffer of the hour-price routines.
    THourPriceRecord CurrentHourPrice{};
    // The row the import gateway hands to NewHourPrice.
    THourPriceRecord ImportedHourPrice{};
    // The expedient-entry buffer: whoever posts an entry, or looks its employee up, fills it here.
    TPersonnelEntryRecord CurrentPersonnelEntry{};
};

PersonnelState& Personnel(Context& ctx);

inline constexpr const char* kPersonnelMissing = "Falta Fichero Personal: ";
inline constexpr const char* kRepeatedNumber = "MATRÍCULA REPETIDA ANULADA ALTA";
inline constexpr const char* kUnknownNumber = "MATRICULA INEXISTENTE,ANULADA ALTA";

// Order of the personnel file and list: the number as short strings compare.
bool PersonBefore(const TPersonnelRecord& a, const TPersonnelRecord& b);

// The personnel file: named after the firm and the environment, sorted by number through its temporary
// twin; both its list and its sort read the cards from the last to the first.
struct PersonnelFile
{
    using Record = TPersonnelRecord;
    static QString Name(const State& st) { return st.PersonnelFileName; }
    static QString Twin(const State& st) { return st.PersonnelTempFileName; }
    static constexpr TwinVariant kTwin = TwinVariant::Copy;
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::LastToFirst;
    static bool Before(const Record& a, const Record& b) { return PersonBefore(a, b); }
    static bool SameKey(const Record& a, const Record& b) { return a.Matricula == b.Matricula; }
    static constexpr bool kSameKeyInOrder = true;
    static bool Deleted(const Record& r) { return r.Matricula == "Z"; }
};

// Whether an employee is still in the plant: no leaving date was typed. The old files mark that with a
// leaving date beginning with "."; a date mask left blank holds no digit and means the same.
bool PersonIsActive(const TPersonnelRecord& rec);

// The numbers a card's personnel combo offers, in list order; `activeOnly` leaves out those who left.
QStringList PersonnelNumbers(const std::vector<PersonListEntry>& list, bool activeOnly = false);

// A blank card: number "#" and every text "..".
void ClearPersonnelCard(TPersonnelRecord& rec);

// Loads the personnel list, builds HourPriceTable (one row per card, in file order, with the card's
// prices or 1,00 euro each for a card without prices) and AverageHourPrice (100 without prices). A
// missing personnel file is announced and leaves an empty list and an empty table.
void LoadPersonnel(Context& ctx);

// Ordered insert: after every entry of equal number.
void InsertPersonByCode(Context& ctx, PersonListEntry entry);

// Looks the number up in the list: FoundPerson := the card, or a blank card when it is not there.
// Returns whether it was found.
bool LookupPersonInList(Context& ctx, const ShortString<6>& matricula);
// Whether the personnel list holds an employee of this number.
bool PersonOnList(Context& ctx, const QString& number);

// Alta > Matrícula: one new card, stored, its photo imported and the file sorted.
void NewPersonnelCard(Context& ctx);
// Appends `person` unless its number is already in the file, creating the file for the first card.
// Returns where the card went; nothing when it was refused or the file could not be written.
std::optional<std::uint32_t> AppendPersonnelCard(Context& ctx, const TPersonnelRecord& person);

// Edición > Matrícula: asks for a number, shows its card and writes it back where it lies, or marks it
// erased; then sorts the file. A card no longer where the list says is not written: the list is
// reloaded instead.
void EditPersonnelCard(Context& ctx);

// Rewrites the personnel file in number order without erased cards; the temporary twin keeps the old
// cards from the last to the first. The list is left loaded with the sorted file. Returns false when
// there was no personnel file to sort.
bool SortPersonnelFile(Context& ctx);

// The card's photo button: names the photo of the number typed on the card and says when it already
// has one. The picture itself is stored after the card.
void CheckPersonPhoto(Context& ctx, const QString& codeText);

} // namespace gim
