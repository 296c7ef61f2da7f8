#pragma once

#include <QString>
#include <QStringView>
#include <QTime>
#include <cstdint>

namespace gim {

struct State;

// Minutes as "hh : mm", hours with at least two digits: 125 gives "02 : 05", 6000 gives "100 : 00".
QString MinutesToHoursText(int minutes);

// A time of day as five characters, " h:mm" or "hh:mm"; CurrentHour, CurrentMinute, CurrentSecond and
// CurrentMSec := its parts.
QString TimeToText(State& st, QTime time);

// Cents as units, a decimal comma and two decimals, no thousands separator: -123456 gives "-1234,56".
QString CentsToText(std::int64_t cents);

// Money totals over a whole file. The product of two stored 32-bit amounts fits in 64 bits, but the
// total of many from a damaged file may not: it stops at the 64-bit limit instead of wrapping around.
std::int64_t AddCents(std::int64_t total, std::int64_t amount);

// A decimal integer text: leading blanks and one sign allowed, nothing after the digits.
// errorPos is the 1-based position of the first character that spoils it (0 when the text is a number);
// such a text, like an empty one or one past the 64-bit range, reads as 0.
struct Int64Parse
{
    std::int64_t value = 0;
    int errorPos = 0;
};
Int64Parse ParseInt64(QStringView text);
// An amount typed with "," or "." as decimal mark, truncated to cents: "12.345" reads 1234. The error
// position refers to the text without its mark.
Int64Parse ParseCents(QStringView text);

// ParseInt64 and ParseCents, leaving the error position in ValErrorPos.
std::int64_t TextToInt64(State& st, QStringView text);
std::int64_t TextToCents(State& st, QStringView text);

QString Int64ToText(std::int64_t n);

} // namespace gim
