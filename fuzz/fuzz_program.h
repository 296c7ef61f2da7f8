// What the fuzz targets share: a program started on a data folder that is emptied before every input, so
// that each input runs alone and a finding replays from its input file only.
#pragma once

#include "core/context.h"
#include "platform/clock.h"
#include "platform/script/silent_ui.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

namespace gim::fuzz {

// The fuzzer's bytes as they stand.
inline QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The data folder every input works in, created on first use.
const QString& DataFolder();

// The unattended user of SilentUi, who may be given the answers to the prompts of one command.
class FuzzUi final : public SilentUi
{
public:
    using SilentUi::SilentUi;
    QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue) override;
    void ShowMessage(const QString& text) override;
    // A card named in `accept` (or any card, with `acceptOthers`) opens as in the program and has the
    // button that closes it with that result pressed, with the values it opened with, while `pressesLeft`
    // lasts (so that a command that opens its card again until it is left still ends); every other card,
    // and one still open after the press, is cancelled.
    int RunCard(const CardSpec& spec, CardState& state) override;
    QStringList answers;           // taken in order; once spent, every prompt gets its default
    std::map<QString, int> accept; // card (form) name -> result of the button pressed
    std::optional<int> acceptOthers;
    int pressesLeft = 0;
};

// One run of the program on the data folder: every file of the folder is removed, then a fresh context
// with every feature registered, a fixed clock (Monday 7 December 2026) and a user who answers every
// question with its default, cancels every card and picks the year 2026 as the date range.
class FuzzProgram
{
public:
    FuzzProgram();
    ~FuzzProgram();
    FuzzProgram(const FuzzProgram&) = delete;
    FuzzProgram& operator=(const FuzzProgram&) = delete;

    // Writes a file of the data folder.
    void Write(const QString& name, const QByteArray& bytes) const;
    // The start-up before and after the main window, as the program runs it.
    void Start();
    // Runs a main-menu item by its plain path ("Máquinas > Listado > Máquinas"), its prompts answered with
    // `answers` and then their defaults, and the first card in `accept` accepted; an unknown path aborts,
    // since a target that runs nothing would fuzz nothing.
    void Run(const QString& plainPath, const QStringList& answers = {},
             const std::map<QString, int>& accept = {});

    FuzzUi ui;
    FixedClock clock;
    NoShell shell;
    Context ctx;

private:
    struct Menu;
    std::unique_ptr<Menu> m_menu;
};

} // namespace gim::fuzz
