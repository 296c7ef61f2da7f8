#pragma once

#include "core/state.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "platform/ui.h"

#include <QString>
#include <memory>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

namespace gim {

class FileFaults;
class PictureCodec;

// The path of `fileName` in `folder`. Old data folders come from Windows, where the case of a name never
// mattered: an existing file is found whatever its case and keeps its own spelling; a new file takes the
// spelling asked for.
QString ResolveDataPath(const QString& folder, const QString& fileName);

// Everything an operation needs: the program-wide state and the services: the user (with the printer),
// the clock, the desktop and the picture codec. The program has one; every test builds its own in a
// temporary folder.
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
    // Stores the photos chosen on the cards; without one no photo is stored. It outlives the context.
    const PictureCodec* codec = nullptr;

    // The program-wide variables a feature module owns (its record lists, card flags, input buffers):
    // one object per type, created on first use and living as long as the context. The program's
    // OperationRegistry is one of them: a feature runs another's operation through it by its Op id.
    template <typename T> T& Module()
    {
        auto& slot = m_modules[std::type_index(typeid(T))];
        if (!slot)
            slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    // Absolute path of a data file of the working folder, found whatever the case of its letters.
    QString Path(const QString& fileName) const { return ResolveDataPath(st.WorkDir, fileName); }

private:
    std::unordered_map<std::type_index, std::shared_ptr<void>> m_modules;
};

} // namespace gim
