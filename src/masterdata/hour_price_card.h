#pragma once

#include "platform/card.h"
#include "records/hour_price_record.h"

#include <cstdint>

namespace gim {

struct Context;

// The hour-price card TfichPreHora and the modal results of its buttons.
namespace HourPriceCardResult {
inline constexpr int Save = 1;   // salvar "Sal&var"
inline constexpr int Exit = 2;   // salir "&Salir" and the close box
inline constexpr int Delete = 6; // Borrar "&Borrar"
} // namespace HourPriceCardResult

inline constexpr const char* kHourPriceCardCaption = "Preciario Horas Personal";
// A typed price must fit the record's 16-bit cents.
inline constexpr const char* kPriceOutOfRange = "PRECIO FUERA DE LÍMITE: DE 0,00 A 655,35 EUROS";
inline constexpr std::int64_t kHighestPrice = 65535;

// The card as data: the number combo offers every employee of the personnel list and names the
// employee typed; the save button refuses a price that does not fit a price field.
CardSpec HourPriceCardSpec(Context& ctx);
// With ActionCode "5" or "i" the card shows `row`; otherwise "*", no prices and today's date.
CardState HourPriceCardState(const Context& ctx, const THourPriceRecord& row);

// Shows the card for `row`. Saved: AnswerCode "M" and number, prices and date read back into `row`.
// Delete: AnswerCode "B". Exit: RunFlag 0. Returns the card's result.
int ShowHourPriceCard(Context& ctx, THourPriceRecord& row);

} // namespace gim
