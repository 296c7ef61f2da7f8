#pragma once

#include "platform/report.h"
#include "records/spare_part_record.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <optional>

namespace gim {

struct Context;

// The inventory written while the part file is rewritten (OutputCode "I": valued listing, "I3": random
// sample): what was asked before the rewrite and the window it goes to.
struct InventoryListing
{
    std::shared_ptr<ReportDocument> report;
    std::int64_t minimum = 0; // cents; "I" lists the parts valued at least this much
    bool sample = false;
};

// With OutputCode "I" or "I3": asks for the minimum value ("I") and opens the listing with its heading;
// nothing for any other code.
std::optional<InventoryListing> BeginInventoryListing(Context& ctx);
// Writes the inventory from SparePartList, which follows the rewritten file record by record, and shows
// it. The sample asks its percentage and draws with a generator seeded from the clock.
void FinishInventoryListing(Context& ctx, InventoryListing& listing);

// The queries by part key (ActionCode "C", through the filter window) or supplier ("P"), with the
// valuation of what they list.
void StoreInventoryReport(Context& ctx);
// The parts asked for at least a given number of times, from MovementList.
void StoreRotationReport(Context& ctx);
// The weekly value of the inventory through a year, worked back from today's stock by the movements.
void InventoryEvolutionReport(Context& ctx);
// The movements of a date range from the journal: all of them ("M") or those of a key and destination
// ("W").
void StoreMovementsReport(Context& ctx);
// The labels of `part`, two a row: asks how many. Returns the number asked for.
std::int32_t PrintSparePartLabels(Context& ctx, const TSparePartRecord& part);
// Movements, exits and entries of each week of a year, with their charts.
void YearMovementRatios(Context& ctx);
// The store's share of a new year's environment: the part file, sorted and purged, with its stock and
// average values. An existing file of the new environment is never replaced.
void RestartStoreYear(Context& ctx, const QString& newEnvironment);

// A typed destination filter against a movement's destination: what follows the last "*" must stand at
// the same positions of the destination ("*" alone matches any, "*01" any whose 2nd and 3rd are "01").
bool DestinationMatches(QStringView typed, QStringView destination);

} // namespace gim
