#pragma once

#include <QString>

namespace gim {

struct Context;

inline constexpr const char* kSelectorFileName = "SELECTOR.TRB";
inline constexpr const char* kDefaultEnvironment = "PORTAL";

// Reads the selector file (creating it with the default environment at the first start), sets the
// environment, its access code and plan flags, and builds every data-file name.
void LoadEnvironment(Context& ctx);

// The "CAMBIO DE ENTORNO" prompts: another environment code and the shortest routine frequency.
// Returns whether the environment changed (the caller then reloads the environment's state).
bool ChangeEnvironment(Context& ctx);

// Refreshes the date and time and reads the planning years (.LON).
void InitPlanningYears(Context& ctx);

// Sets every date and time variable from the clock and clears LastIOResult.
void InitCurrentDate(Context& ctx);
void SetDayOfWeekString(Context& ctx);

// Builds the data-file names of the current environment and the firm-prefixed names.
void BuildDataFileNames(Context& ctx);
void BuildFirmFileNames(Context& ctx);

// Whether a typed environment code may become a file-name prefix.
bool IsSafeEnvironmentCode(const QString& code);

// The main window's caption.
QString MainCaption(const Context& ctx);

} // namespace gim
