#pragma once

#include "exchange/import_format.h"

#include <QString>
#include <optional>

namespace gim {

inline constexpr const char* kStoreLinesRefused = "SALIDA ALMACEN Y ALBARANES NO SON IMPORTABLES";

// Daily work-report lines: operator, machine, date (a week code of up to 7 characters is taken as it
// stands), hour and activity type, intervention and stop minutes, order (after a "W" while a web
// synchronisation runs, SubCode "W"), part and description. Store lines ("AL", "ALB") are refused.
ImportJob WorkReportImportFormat();
// Work orders: the reference after a "W", state, notice, start and close dates and hours, requester,
// machine, description, type and photo flag. A date of 6 characters or fewer stays empty.
ImportJob WorkOrderImportFormat();
// Breakdowns: machine, date (always a date), shift, type, description, four word counts and four texts.
ImportJob BreakdownImportFormat();
// Planned repairs: machine, minutes, state, speciality, order, week and four-digit year, executor and
// description.
ImportJob PlannedRepairImportFormat();

// The daily-report and work-order imports of the import window and the web synchronisation, over `text`
// or else the clipboard.
void ImportWorkReports(Context& ctx, const std::optional<QString>& text = std::nullopt);
void ImportWorkOrders(Context& ctx, const std::optional<QString>& text = std::nullopt);

} // namespace gim
