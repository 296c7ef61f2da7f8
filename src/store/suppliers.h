#pragma once

#include "core/data_file.h"
#include "records/supplier_record.h"

#include <QString>
#include <vector>

namespace gim {

struct Context;

using SupplierEntry = ListEntry<TSupplierRecord>;

// The program-wide variables of the supplier register.
struct SuppliersState
{
    // Ascending by code, equal codes in the order they arrived; each entry keeps its record's position.
    // The spare-part and purchase cards fill their supplier combos from it.
    std::vector<SupplierEntry> SupplierList;
    // The record the supplier commands read, show and write.
    TSupplierRecord SupplierBuffer{};
    // The supplier the import gateway hands to AddSupplier.
    TSupplierRecord SupplierInput{};
};

SuppliersState& Suppliers(Context& ctx);

inline constexpr const char* kNotASupplier = "No es Proveedor";

// Order of the supplier file and list: the code as short strings compare.
bool SupplierBefore(const TSupplierRecord& a, const TSupplierRecord& b);

// The supplier file: named after the firm and the first two letters of the environment, so that every
// environment of the firm whose code begins alike shares it; sorted by code through its twin. Both its
// list and its sort read the records from the last to the first, so the twin holds them reversed.
struct SupplierFile
{
    using Record = TSupplierRecord;
    static QString Name(const State& st) { return st.SupplierFileName; }
    static QString Twin(const State& st) { return st.SupplierTempFileName; }
    static constexpr TwinVariant kTwin = TwinVariant::Copy;
    static constexpr LoadOrder kLoadOrder = LoadOrder::LastToFirst;
    static constexpr LoadOrder kSortOrder = LoadOrder::LastToFirst;
    static bool Before(const Record& a, const Record& b) { return SupplierBefore(a, b); }
    static bool SameKey(const Record& a, const Record& b) { return a.Codigo == b.Codigo; }
    static constexpr bool kSameKeyInOrder = true;
    static bool Deleted(const Record& r) { return r.Codigo == "Z"; }
};

// Builds the list from the supplier file. A file that cannot be read gives an empty list, silently.
void LoadSupplierList(Context& ctx);
// Ordered insert: after every entry of equal code.
void InsertSupplierSorted(Context& ctx, SupplierEntry entry);
void FreeSupplierList(Context& ctx);

// The firm (Empresa) of the first supplier of the file with this code, compared exactly (letter case
// included); "No es Proveedor" when there is none or the file cannot be read.
QString FindSupplierName(Context& ctx, const QString& code);

// Whether a supplier of the file has this code, compared exactly; an unreadable file has none.
bool SupplierCodeInFile(Context& ctx, const ShortString<10>& code);
// "CODIGO :<code> REPETIDO ANULADA ALTA".
void ShowRepeatedSupplierCode(Context& ctx, const ShortString<10>& code);

// Appends SupplierBuffer unless its code is in the file already ("CODIGO :<code> REPETIDO ANULADA ALTA",
// nothing written); the first supplier creates the file. A stored supplier joins the list with its
// position; ContinueFlag is set when it joined an existing file, which then wants compacting.
AppendResult SaveSupplier(Context& ctx);

// Alta: one supplier card, blank (with ActionCode "i" SupplierInput); a saved card is stored and listed.
// RecordAddedFlag tells whether it was stored.
void AddSupplier(Context& ctx);
// An imported supplier added as AddSupplier adds it; whether it was stored.
bool AddImportedSupplier(Context& ctx, const TSupplierRecord& rec);

// Edición: asks for a code and shows the first supplier of the list with it; a saved card is written
// back where the record lies, a deleted one is marked "Z" for the compaction. A new code that another
// supplier has is refused and nothing is written.
void EditSupplier(Context& ctx);

// Rewrites the supplier file in code order without deleted suppliers; the twin keeps the old records
// from the last to the first. The list is left loaded with the file as written. Returns false when there
// was no file to compact.
bool CompactSupplierFile(Context& ctx);

} // namespace gim
