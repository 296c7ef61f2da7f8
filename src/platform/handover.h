#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace gim {

// The nine Editar items of the report window, in the order of the pending-edit flags: the main window
// tests the flags in this order, and the web synchronisation sets Partes (first) and OrdenesT (fifth).
enum class EditItem : std::uint8_t {
    Partes,
    Gamas,
    Repara,
    Averias,
    OrdenesT,
    Compras,
    RAlmacen,
    Procedimientos,
    Energias,
};
inline constexpr std::size_t kEditItemCount = 9;

inline constexpr std::size_t PendingEditIndex(EditItem item)
{
    return static_cast<std::size_t>(item);
}

// The main window's pending-edit flags, one per Editar item in the order above: 1 while the item's
// edit command waits for the next key. The program keeps them with its state and lends them here.
using EditFlags = std::array<std::uint8_t, kEditItemCount>;

struct EditItemInfo
{
    EditItem item;
    const char* caption; // UTF-8, in the Editar menu
    char key;            // Ctrl+Alt+key
};
// The items as the Editar menu lists them.
const std::array<EditItemInfo, kEditItemCount>& EditMenuItems();
const EditItemInfo& EditItemInfoOf(EditItem item);

// Numbers travel as text, cut to this many characters; the owner converts them.
inline constexpr int kNumberText = 11;

// Where one column of a listing row goes: a field of the entity's input buffer, cut to its capacity.
struct HandoverField
{
    int column = 0; // 1 = the first column after the running number
    QString name;   // the record field it fills
    int capacity = 0;
};

// A column holding a key joined from several fields (spare part: Codigo + Equipo + Util + Pieza). The
// parts after the first have fixed widths and the first takes what is left, so a machine code shorter
// than its 8 characters does not shift the others.
struct HandoverKey
{
    int column = 0;
    std::vector<std::pair<QString, int>> parts; // field name and width, in key order
    bool dropBlanks = false;                    // blanks are removed before the split
};

// The fields of an input buffer by name, as texts.
using HandoverFields = std::map<QString, QString>;

// How one listing's rows map onto its entity's input buffer. The entity's owner registers it.
struct HandoverMap
{
    std::vector<HandoverField> fields;
    std::vector<HandoverKey> keys;
    QStringList alsoCleared;   // fields emptied though no column fills them
    QStringList clearedOnOpen; // fields emptied whenever a report window opens
    // Splits a joined key exactly, from the entity's own records, where the parts' lengths vary; nullopt
    // (or no lookup) falls back to the split by widths.
    std::function<std::optional<QStringList>(const HandoverKey& key, const QString& joined)> lookupKey;
    // The file whose rows the web synchronisation fetches for this item, after the environment code
    // ("_PD.txt"); empty when there is none.
    QString exchangeFile;
};

// Splits a joined key by the widths of its parts (see HandoverKey).
QStringList SplitJoinedKey(const HandoverKey& key, const QString& joined);

// The row's columns: text before the first TAB is column 0. Line breaks at the end are dropped.
QStringList SplitRow(const QString& row);

// The fields a row fills: every field the map names, empty when the row has no such column, and the
// alsoCleared fields, empty.
HandoverFields ReadRow(const HandoverMap& map, const QString& row);

// The Editar hand-over: the maps of the nine items, the fields last handed over to each, and the
// owners' callbacks that take them into their input buffers. Each entity's owner sets its item's map
// (which listing column fills which field) and takes the fields into its record, converting dates and
// numbers; an item nobody registered fills nothing but still sets its flag.
class HandoverRegistry
{
public:
    // Takes the fields into the entity's input buffer; only the named fields change.
    using Deliver = std::function<void(const HandoverFields& fields)>;
    // Empties the named fields of the entity's input buffer (a report window opened).
    using Clear = std::function<void(const QStringList& fields)>;

    HandoverMap& Map(EditItem item) { return m_entries[PendingEditIndex(item)].map; }
    const HandoverMap& Map(EditItem item) const { return m_entries[PendingEditIndex(item)].map; }
    void SetDeliver(EditItem item, Deliver deliver)
    {
        m_entries[PendingEditIndex(item)].deliver = std::move(deliver);
    }
    void SetClear(EditItem item, Clear clear) { m_entries[PendingEditIndex(item)].clear = std::move(clear); }

    // The fields handed over so far (each hand-over changes only the fields its map names).
    const HandoverFields& Buffer(EditItem item) const { return m_entries[PendingEditIndex(item)].buffer; }

    // One Editar pick on the selected row: a row of more than 7 characters fills the fields; the item's
    // pending-edit flag is set in every case.
    void HandOver(EditFlags& flags, EditItem item, const QString& selection);

    // A report window opens: the hand-over buffers lose the key and text fields of clearedOnOpen, so an
    // edit command does not take a row picked in an earlier listing.
    void ClearForNewWindow();

    // Whether the flag of an item with an exchange file is set: the web synchronisation has just
    // fetched the files, and the next report window loads them instead of asking for a file.
    bool ExchangePending(const EditFlags& flags) const;

private:
    struct Entry
    {
        HandoverMap map;
        HandoverFields buffer;
        Deliver deliver;
        Clear clear;
    };
    std::array<Entry, kEditItemCount> m_entries;
};

} // namespace gim
