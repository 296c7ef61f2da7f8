#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string_view>

namespace gim {

struct THourPriceRecord;

// What an hour is booked as. A daily-report line names it by its hour type ("C", "E", "EN", ...) and the
// posting copies that code into the person's expedient entries, so the hour prices, the card, the
// hours reports and the expedient all read the codes through this one table.
enum class HourKind {
    Normal,              // C
    Overtime,            // E
    CompensatedOvertime, // EC
    Holidays,            // V
    Training,            // F
    HolidayOvertime,     // EF
    NightOvertime,       // EN
    Night,               // N
    Leave,               // P
    SickLeave,           // B
};

// The kind of an hour-type code; none for any other text (case counts).
std::optional<HourKind> HourKindOf(std::string_view code);
std::optional<HourKind> HourKindOf(const QString& code);

// Overtime of any kind: E, EC, EF, EN.
bool IsOvertime(HourKind kind);

// The price of an hour of this kind in an employee's price row, in cents; sick leave is not paid (0).
std::uint16_t HourPriceOf(const THourPriceRecord& row, HourKind kind);

// The name the daily report card shows beside a code; empty for a code outside the table.
QString HourTypeName(const QString& code);
// Every code, in the order the card offers them.
QStringList HourTypeCodes();

} // namespace gim
