#pragma once

#include <QString>
#include <optional>

namespace gim {

struct Context;

inline constexpr const char* kSelectorFileName = "SELECTOR.TRB";
inline constexpr const char* kDefaultEnvironment = "PORTAL";

// Reads the selector file (creating it with the default environment at the first start), sets the
// environment, its access code and plan flags, and builds every data-file name.
void LoadEnvironment(Context& ctx);

// The "CAMBIO DE ENTORNO" prompts: another environment code and the shortest routine frequency.
// Returns whether the environment changed (the caller then reloads the environment's state). A new
// access code, when given, is stored with the environment, over the one the selector holds.
bool ChangeEnvironment(Context& ctx, const std::optional<QString>& newAccessCode = std::nullopt);

// Refreshes the date and time and reads the planning years (.LON).
void InitPlanningYears(Context& ctx);

// Sets every date and time variable from the clock and clears LastIOResult.
void InitCurrentDate(Context& ctx);
void SetDayOfWeekString(Context& ctx);

// Builds the data-file names of the current environment and the firm-prefixed names. A firm whose first
// five characters cannot name a file leaves the firm-prefixed names empty: no file is read or written
// under them.
void BuildDataFileNames(Context& ctx);
void BuildFirmFileNames(Context& ctx);

// Whether the first five characters of a firm name can prefix the personnel and supplier file names.
// Blanks can (the suppliers of "LA FABRICA" in environment PORTAL lie in "LA FA_PO.PVW", as the old
// program named them); a path separator, a control character or a character Windows refuses cannot.
bool FirmNameFitsFileNames(const QString& firmName);

// Whether a typed environment code may become a file-name prefix.
bool IsSafeEnvironmentCode(const QString& code);

// The main window's caption.
QString MainCaption(const Context& ctx);

} // namespace gim
