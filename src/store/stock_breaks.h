#pragma once

#include "records/spare_part_record.h"
#include "records/supplier_record.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace gim {

struct Context;
class ReportDocument;

// The program-wide variables of the stock break and its letters.
struct StockBreaksState
{
    // Copies of the parts below their minimum stock, the highest key first: the listing pushes each part
    // at the front. The orders take the parts out supplier by supplier.
    std::vector<TSparePartRecord> BreakageList;
    // The supplier whose address heads the letter being written.
    TSupplierRecord LetterSupplier{};
};

StockBreaksState& StockBreaks(Context& ctx);

// The unit value of a letter line: euros, "." and two digits of cents ("12.05"); a negative value keeps
// one sign in front ("-12.05").
QString LetterUnitValue(std::int64_t cents);

// The listing of the parts of SparePartList whose stock is below their minimum, with the value of the
// shortfall; it refills BreakageList.
void StockBreakageReport(Context& ctx);

// Writes the letter head for LetterSupplier into `letter`.
void OfferRequestLetter(Context& ctx, ReportDocument& letter);

// One offer request for the orderable parts of the supplier whose code is asked for. An unknown code,
// or no supplier file, is "No es Proveedor" and writes no letter.
void RequestOffersBySupplier(Context& ctx);

// One order letter per supplier from BreakageList, asking part by part in manual mode. Parts whose
// supplier is on no record are set aside without a letter.
void OrdersFromStockBreakage(Context& ctx);

} // namespace gim
