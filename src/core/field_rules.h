#pragma once

#include "core/texts.h"
#include "platform/card.h"
#include "platform/card_binding.h"
#include "records/short_string.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

namespace gim {

// The rules a card's fields are checked by, one per kind of value, and the bindings of number fields
// that carry their rule with them. A value with nothing typed in it (only blanks and a mask's separators)
// is empty: it reads as 0 or a blank, and is taken unless the rule says `required` (or, for a number,
// 0 lies outside its range).

// A whole number typed on a card: an optional sign and digits, blanks around them; empty reads 0.
// Nothing for a text that is no number or lies past the 64-bit range.
std::optional<std::int64_t> WholeOfText(const QString& text);
// An amount in cents ("12,5" or "12.50"); empty reads 0; nothing for a text that is no amount.
std::optional<std::int64_t> CentsOfText(const QString& text);
// Minutes of an hour of the day typed "hh:mm" (blanks allowed); nothing for a text that is no hour
// from 00:00 to 23:59 (24:00 too with `until24`). Empty reads 0.
std::optional<int> HourOfText(const QString& text, bool until24 = false);
// True when nothing is typed in the value: only blanks and mask separators.
bool NothingTyped(const QString& text);

FieldRule WholeRule(std::int64_t min, std::int64_t max, bool required = false);
// A time in minutes held by a record field of `highest` at most: "TIEMPO FUERA DE LÍMITE: DE 0 A
// <highest> MINUTOS".
FieldRule MinutesRule(std::int64_t highest = 0xFFFF, bool required = false);
FieldRule MoneyRule(std::int64_t minCents, std::int64_t maxCents, bool required = false);
// A week of the year, 0 to 53 as WeekOfYear counts them (week 0: the days before a year's week 1).
FieldRule WeekRule(bool required = false);
// A year of this century, the only ones a week code names.
FieldRule YearRule(bool required = false);
FieldRule HourRule(bool until24 = false, bool required = false);
// A real calendar date "dd/mm/yy" or "dd/mm/yyyy" (a two-digit year counts from 2000).
FieldRule DateRule(bool required = false);
// A week code "aa/ss/d" whose week and weekday exist in its year.
FieldRule WeekCodeRule(bool required = false);
// One of the codes of a table, compared exactly.
FieldRule CodeRule(const QStringList& codes, bool required = false);
// A text that must hold something but blanks; `accepted` says what ("UN CÓDIGO DE CONTADOR").
FieldRule FilledRule(const QString& accepted);

// A whole-number field of a record: shown as its number, kept as the typed number, checked from min to
// max (by default the field's own range).
template <class Record, class T>
ControlBinding<Record> BindWhole(const QString& control, LeInt<T> Record::*field,
                                 std::int64_t min = std::numeric_limits<T>::min(),
                                 std::int64_t max = std::numeric_limits<T>::max())
{
    ControlBinding<Record> b{control, 0,
                             [field](const Record& r) { return QString::number((r.*field).get()); },
                             [field, min, max](Record& r, const QString& text) {
                                 const std::int64_t v = std::clamp(WholeOfText(text).value_or(0), min, max);
                                 r.*field = static_cast<T>(v);
                             }};
    b.rule = WholeRule(min, max);
    return b;
}

// A one-byte count of a record (units, a flag): shown as its number, kept as the typed number, checked
// from min to max.
template <class Record>
ControlBinding<Record> BindWhole(const QString& control, Byte Record::*field, std::int64_t min = 0,
                                 std::int64_t max = 0xFF)
{
    ControlBinding<Record> b{control, 0, [field](const Record& r) { return QString::number(r.*field); },
                             [field, min, max](Record& r, const QString& text) {
                                 r.*field =
                                     static_cast<Byte>(std::clamp(WholeOfText(text).value_or(0), min, max));
                             }};
    b.rule = WholeRule(min, max);
    return b;
}

// A minutes field of a record, 0 to the field's highest value, refused with the time's own message.
template <class Record, class T>
ControlBinding<Record> BindMinutes(const QString& control, LeInt<T> Record::*field,
                                   std::int64_t highest = std::numeric_limits<T>::max())
{
    ControlBinding<Record> b = BindWhole(control, field, 0, highest);
    b.rule = MinutesRule(highest);
    return b;
}

// A money field of a record in cents, shown "1234,56", checked from min to max.
template <class Record, class T>
ControlBinding<Record> BindCents(const QString& control, LeInt<T> Record::*field, std::int64_t min = 0,
                                 std::int64_t max = std::numeric_limits<T>::max())
{
    ControlBinding<Record> b{control, 0, [field](const Record& r) { return CentsToText((r.*field).get()); },
                             [field, min, max](Record& r, const QString& text) {
                                 const std::int64_t v = std::clamp(CentsOfText(text).value_or(0), min, max);
                                 r.*field = static_cast<T>(v);
                             }};
    b.rule = MoneyRule(min, max);
    return b;
}

} // namespace gim
