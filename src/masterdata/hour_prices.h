#pragma once

#include "core/data_file.h"
#include "records/hour_price_record.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace gim {

struct Context;

// The hour-price file (.PHR): in the order the prices were given, never sorted; no twin.
struct HourPriceFile : TableFile<DataFile::HourPrice, THourPriceRecord>
{
    static bool SameKey(const Record& a, const Record& b) { return a.Matricula == b.Matricula; }
    static std::string_view Key(const Record& r) { return r.Matricula.bytes(); }
};

inline constexpr const char* kUnknownWorker = " OPERARIO INEXISTENTE,ANULADA ALTA";
inline constexpr const char* kRepeatedPrice = "Código Repetido Anulada ALTA";
inline constexpr const char* kPricesNotDefined = "PRECIOS HORA NO DEFINIDOS.DAR DE ALTA";
// Followed by the employee number whose price would leave the field's range.
inline constexpr const char* kRaiseRefused =
    "INCREMENTO ANULADO: PRECIO FUERA DE 0,00 A 655,35 EUROS EN MATRÍCULA ";

// A blank price record: number "#", no date, the first five prices 1 cent each (the sixth untouched).
void ClearHourPrice(THourPriceRecord& row);

// Reads the price file from the first record into CurrentHourPrice until the employee's record. Returns
// its position; nothing when the employee has none (the buffer then holds the last record read).
std::optional<std::uint32_t> FindHourPrice(Context& ctx, const QString& matricula);

// Alta > Precio/Hora: the prices of one employee on the personnel list. With ActionCode "i" the row
// comes from ImportedHourPrice and the card shows only while InteractiveFlag is 1; RecordAddedFlag says
// whether the row was stored.
void NewHourPrice(Context& ctx);
// An imported row added as NewHourPrice adds it; whether it was stored.
bool AddImportedHourPrice(Context& ctx, const THourPriceRecord& rec);
// Appends `price` unless its number already has prices, creating the file for the first one.
bool AppendHourPrice(Context& ctx, const THourPriceRecord& price);

// Edición > Precio/Hora: one employee's card, or with "*" a percentage raise of every price.
void EditHourPrices(Context& ctx);

// A price raised by a whole percentage (negative lowers it), to the nearest cent with halves to even;
// nothing when the result does not fit a price field.
std::optional<std::uint16_t> RaisedPrice(std::uint16_t cents, std::int64_t percent);
// Raises the six prices of every record of the price file, or, when any result would not fit, says so
// and changes nothing. Returns whether the file was rewritten.
bool RaiseHourPrices(Context& ctx, std::int64_t percent);

} // namespace gim
