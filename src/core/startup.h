#pragma once

#include <functional>
#include <map>

namespace gim {

struct Context;

// Start-up steps that belong to the feature modules. Core cannot call them directly, so each module
// registers its own at program wiring time; the number keeps the old start-up order.
struct StartupSteps
{
    using Step = std::function<void(Context&)>;
    // Steps that load what an environment's files bring (firm name and agenda note = 7, personnel and
    // hour prices = 8, this week's pending repairs = 9). They run again after a change of environment.
    std::multimap<int, Step> environmentData;
    // Steps that run once the main window exists (the reserved-code check = 11).
    std::multimap<int, Step> afterWindow;
};

// Start-up before the main window: date and time, environment, planning years and the state the
// environment brings with it.
void RunStartupBeforeWindow(Context& ctx);

// Start-up once the main window exists.
void RunStartupAfterWindow(Context& ctx);

// Loads what the current environment's files bring beyond names and years (firm, personnel, notices).
// Runs at start-up and after every change of environment.
void LoadEnvironmentData(Context& ctx);

} // namespace gim
