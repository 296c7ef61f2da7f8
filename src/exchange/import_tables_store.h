#pragma once

#include "exchange/import_format.h"

namespace gim {

// Store movements: the part key, destination, date (always a date), user, quantity and unit value in
// cents; each booked on the part its key names.
ImportJob MovementImportFormat();
// Predictive measurements: machine, frequency, speciality, position, executor, date (always a date), two
// measurements and a comment.
ImportJob PredictiveImportFormat();
// Meter readings: machine, meter, date (a week code of up to 7 characters is taken as it stands), reading
// and units.
ImportJob EnergyImportFormat();
// Purchase order lines: order number, reference, part key, description, brand, supplier, three dates
// (always dates), place, state, quantity, units received, unit value in cents and delivery note.
ImportJob PurchaseOrderImportFormat();

} // namespace gim
