#pragma once

namespace gim {

struct Context;

// Start-up before the main window: date and time, environment, planning years and the state the
// environment brings with it.
void RunStartupBeforeWindow(Context& ctx);

// Start-up once the main window exists.
void RunStartupAfterWindow(Context& ctx);

// Loads what the current environment's files bring beyond names and years (firm, personnel, notices).
// Runs at start-up and after every change of environment.
void LoadEnvironmentData(Context& ctx);

} // namespace gim
