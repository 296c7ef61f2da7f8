#pragma once

#include "platform/card.h"

#include <QString>

namespace gim {

struct Context;

// The plan dialog TDefinPG and the modal results of its buttons.
namespace PlanDefinitionResult {
inline constexpr int Save = 1; // BitBtn1 "Sal&var"
inline constexpr int Exit = 2; // BitBtn2 "&Salir" and the close box
} // namespace PlanDefinitionResult

inline constexpr const char* kPlanDefinitionCaption = "DEFINICION PLANING DE MANTENIMIENTO PREVENTIVO";
// The firm name of an environment whose agenda does not name one.
inline constexpr const char* kDefaultFirmName = "EMPRESA";

CardSpec PlanDefinitionCardSpec();
// The firm preset, the first year last year and the last year three years ahead, no hours.
CardState PlanDefinitionCardState(const Context& ctx);

// Creates the plan of an environment that has none: asks for its years, weekly hours and firm name,
// writes the planning years and an agenda with a record for every week of the horizon, and reloads the
// environment. An environment with an agenda is only told how to start a new one.
void CreatePlanning(Context& ctx);
// The message that says which files to rename before a new plan can be created.
void CheckExistingPlanning(Context& ctx);

// Start-up: the firm name from the agenda, this week's agenda note shown, and the firm-prefixed file
// names rebuilt.
void LoadFirmAndWeekAgenda(Context& ctx);

// Adds a number of hours (negative lowers them) to the preventive minutes available in every week.
void IncreaseWeeklyHours(Context& ctx);

} // namespace gim
