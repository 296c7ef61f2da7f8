#pragma once

#include "core/data_file.h"
#include "records/machine_record.h"
#include "records/spare_part_record.h"
#include "records/store_movement_record.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace gim {

struct Context;

using SparePartEntry = ListEntry<TSparePartRecord>;

// The program-wide variables of the store's parts.
struct SparePartsState
{
    TSparePartRecord SparePartBuffer{}; // the part every store routine reads, shows and writes
    TSparePartRecord SparePartInput{};  // the part handed over by the report window or the import
    TSparePartRecord SparePartFilter{}; // the key of the browse's last search; "*" stands for any code
    // In part-key order; the store's menu commands load it first and free it afterwards. An import
    // queues its new parts at the end: the list is in order up to the last QueuedSpareParts entries,
    // whose four codes QueuedPartCodes holds for the duplicate check until SettleSparePartList.
    std::vector<SparePartEntry> SparePartList;
    std::size_t QueuedSpareParts = 0;
    std::set<std::string> QueuedPartCodes;
    std::size_t SparePartCursor = 0;
    QString SparePartPictureName; // Equipo + Util + Pieza + ".jpg", proposed by the picture viewer's save
    QString AddContinueMark = QStringLiteral("S"); // "N" ends the series of new-part cards
    // The picture box and the browse's "&Imagen" run Op::ShowSparePartPicture, which the program's window
    // registers: the picture viewer on CurrentSubFolder, proposing SparePartPictureName for its save. The
    // labels of SparePartBuffer are Op::PrintSparePartLabels (asks how many), from the store's listings.
};

SparePartsState& SpareParts(Context& ctx);

inline constexpr const char* kStoreMachineCode = "ALMACEN_";
inline constexpr const char* kStoreMachineName = "ALMACEN REPUESTOS Y MATERIALES";
inline constexpr const char* kUnnumberedPiece = "???";
inline constexpr const char* kPartCancelledName = "CODIGO DE REPUESTO ANULADO ACTUALMENTE";

// The part key: Codigo, Equipo, Util and Pieza joined at their lengths, at most 16 bytes.
struct JoinedKey
{
    char chars[16];
    std::size_t size = 0;
    std::string_view view() const { return std::string_view(chars, size); }
};
// Codigo + Equipo + Util + Pieza of a part or of a movement.
template <class R> JoinedKey PartKeyOf(const R& r)
{
    JoinedKey key;
    for (const std::string_view part : {r.Codigo.bytes(), r.Equipo.bytes(), r.Util.bytes(), r.Pieza.bytes()})
        for (const char c : part)
            key.chars[key.size++] = c;
    return key;
}

// The general store becomes a machine of the register ("ALMACEN_", "ALMACEN REPUESTOS Y MATERIALES"), as
// a part is filed under it the first time. The machine being worked on and ContinueFlag stay as they were.
void CreateStoreMachine(Context& ctx);

// The part key as text ("M1MEROD007").
QString PartKeyText(const TSparePartRecord& rec);

// Order of the part list and file: the joined keys compared byte by byte, a prefix first.
bool SparePartKeyBefore(const TSparePartRecord& a, const TSparePartRecord& b);
// The four codes equal one by one.
bool SamePartKey(const TSparePartRecord& a, const TSparePartRecord& b);

// The part file (.RPW): sorted by the part key through its twin .RBK; the list is read from the last
// record to the first, the sort from the first, and a part whose key is not above the head's goes first.
struct SparePartFile : TableFile<DataFile::SparePart, TSparePartRecord>
{
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::FirstToLast;
    static constexpr TieRule kTies = TieRule::HeadFirst;
    static bool Before(const Record& a, const Record& b) { return SparePartKeyBefore(a, b); }
    static bool SameKey(const Record& a, const Record& b) { return SamePartKey(a, b); }
    static constexpr bool kSameKeyWithinOrder = true;
    static bool Deleted(const Record& r) { return r.Codigo == "Z"; }
};

// A new part: Codigo "ALMACEN_", Pieza "???", the other texts empty and the numbers 0.
TSparePartRecord NewSparePart();

// Builds SparePartList from the part file; a file that cannot be opened gives an empty list, silently.
void LoadSparePartList(Context& ctx);
void FreeSparePartList(Context& ctx);
// Inserts a part into SparePartList: before the head when its key is not greater than the head's,
// otherwise after every part of equal key.
void InsertSparePartSorted(Context& ctx, SparePartEntry entry);
// The place InsertSparePartSorted gives a part, taken later: the part waits at the list's end, so that a
// line of an import does not move the whole list, until SettleSparePartList moves every queued one where
// one insertion after another would have put it. The look-ups settle the list first.
void QueueSparePartSorted(Context& ctx, SparePartEntry entry);
void SettleSparePartList(Context& ctx);

// Copies the part with these four codes into SparePartBuffer and sets RunFlag. Without one, the buffer
// holds the wanted key with the name "CODIGO DE REPUESTO ANULADO ACTUALMENTE", supplier " " and nothing
// else, and RunFlag is 0. Returns the list position found.
std::optional<std::size_t> FindSparePartByKey(Context& ctx, const QString& codigo, const QString& equipo,
                                              const QString& util, const QString& pieza);
// The same, returning the part the buffer then holds.
TSparePartRecord SparePartOfKey(Context& ctx, const QString& codigo, const QString& equipo,
                                const QString& util, const QString& pieza);
// Replaces a joined key text by the name of the first part with that key; unchanged without one.
void FindSparePartName(Context& ctx, QString& keyText);
// The list entry of the part file's record at `pos`, found by the key of `part`; none when the list holds
// no such entry.
SparePartEntry* ListedSparePart(Context& ctx, const TSparePartRecord& part, std::uint32_t pos);
// A buffer whose key is on the list: Codigo "#" and "Código repetido Anulada ALTA".
void CheckDuplicatePartCode(Context& ctx);
// Numbers the buffer's part inside its group Codigo + Equipo + Util: one above the highest numbered piece
// of the group, "000" for a group without one. A group already at "999" is refused with a message and
// the buffer is left as it was; returns false then.
bool AssignPieceNumber(Context& ctx);

// Appends a new part to the part file, creating it when missing, unless another part with its key was
// stored meanwhile ("Código repetido Anulada ALTA"), and with it, when the part brings stock, its
// `opening` movement into the journal: one transaction, both or neither. A file that cannot be written is
// named. A stored part sets ContinueFlag. Returns its position.
std::optional<std::uint32_t> SaveSparePart(Context& ctx, TSparePartRecord& part,
                                           const TStoreMovementRecord& opening);

// The series of new-part cards; with ActionCode "i" one part taken from SparePartInput without asking.
// Sets RecordAddedFlag when a part was stored.
void AddSparePart(Context& ctx);
// An imported part added as AddSparePart adds it; whether it was stored.
bool AddImportedSparePart(Context& ctx, const TSparePartRecord& rec);

// Rewrites the part file in key order through its twin, without deleted parts; the list then follows the
// new file. Returns false when there was no part file.
bool SortSparePartFile(Context& ctx);
// The same after a command stored parts: a sort that fails says that they are stored and only the file's
// order is missing, and the command goes on.
void SortStoredSpareParts(Context& ctx);

} // namespace gim
