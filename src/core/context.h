#pragma once

#include "core/state.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "platform/ui.h"

#include <QString>

namespace gim {

class FileFaults;

// Everything an operation needs: the program-wide state, the user, the clock and the desktop.
// The program has one; every test builds its own in a temporary folder.
struct Context
{
    Context(Ui& u, Clock& c, Shell& s) : ui(u), clock(c), shell(s) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    State st;
    Ui& ui;
    Clock& clock;
    Shell& shell;
    FileFaults* faults = nullptr; // tests inject file-system failures here

    // Absolute path of a data file of the working folder.
    QString Path(const QString& fileName) const { return st.WorkDir + QLatin1Char('/') + fileName; }
};

} // namespace gim
