#pragma once

#include "core/hour_types.h"

#include <QString>
#include <QStringList>

namespace gim {

// The activity types of a daily report line: the first letter is the family the posting acts on (C
// conduction, P preventive, R repairs, V breakdowns, I engineering and training, AL/ALB store, D travel,
// L cleaning, F leave, T other work).
// The name of a type as the card shows it; empty for a code outside the table (case counts).
QString ActivityTypeName(const QString& code);
// Every type, in table order.
QStringList ActivityTypeCodes();

// The hour types (C normal hours, E overtime, V holidays, B sick leave, ...) and their names:
// HourTypeName and HourTypeCodes of core/hour_types.h.

} // namespace gim
