#pragma once

#include "platform/card.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace gim {

struct Context;

// The firm name of an environment whose agenda does not name one.
inline constexpr const char* kDefaultFirmName = "EMPRESA";

// The plan dialog TDefinPG as data; the last year stays locked until the first year is double-clicked.
// Results: Save, Exit.
CardSpec PlanDefinitionCardSpec();

// Creates the plan of an environment that has none: asks for its years, weekly hours and firm name,
// writes the planning years and an agenda with a record for every week of the horizon, and reloads the
// environment. An environment with an agenda is only told how to start a new one.
void CreatePlanning(Context& ctx);
// The message that says which files to rename before a new plan can be created.
void CheckExistingPlanning(Context& ctx);

// Start-up: the firm name from the agenda, this week's agenda note shown, and the firm-prefixed file
// names rebuilt.
void LoadFirmAndWeekAgenda(Context& ctx);

// A whole number answered at a prompt, from `min` to `max`. A text that is no number, or one outside, is
// refused with a message naming `field` and the range, and gives nothing.
std::optional<std::int64_t> AskWholeNumber(Context& ctx, const QString& caption, const QString& prompt,
                                           const QString& preset, const QString& field, std::int64_t min,
                                           std::int64_t max);

// Adds a number of hours (negative lowers them) to the preventive minutes available in every week; hours
// that would take a week past what its word holds are refused.
void IncreaseWeeklyHours(Context& ctx);

} // namespace gim
