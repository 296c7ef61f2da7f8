#pragma once

#include "records/machine_record.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace gim {

struct Context;

// The mode codes a menu command sets before its operations run.
struct ModeCodes
{
    std::optional<QString> action;
    std::optional<QString> output;
    std::optional<QString> sub;
    std::optional<QString> answer;
};

// Runs one command: sets its mode codes, runs the body, and whatever happens clears them again
// (ActionCode empty; OutputCode and SubCode back to " " and AnswerCode empty where the command set them),
// also when something other than a file failure escapes the body. A read or write failure inside the
// body abandons the command with its message. Returns false when the command was abandoned.
// The command counts as running (CommandRunning) until it returns.
bool RunCommand(Context& ctx, const ModeCodes& codes, const std::function<void()>& body);

// Marks a command as running for as long as it lives. RunCommand holds one; code that runs work outside
// RunCommand (a window's own handler) holds one too, so that the main window's activation does not
// switch cards back on in the middle of it.
class CommandRunning
{
public:
    explicit CommandRunning(Context& ctx);
    ~CommandRunning();
    CommandRunning(const CommandRunning&) = delete;
    CommandRunning& operator=(const CommandRunning&) = delete;

    // Whether any command is running in this context.
    static bool Now(Context& ctx);

private:
    int& m_depth;
};

// Keeps the caller's mode codes across a nested feature call.
class ModeCodeGuard
{
public:
    explicit ModeCodeGuard(Context& ctx);
    ~ModeCodeGuard();
    ModeCodeGuard(const ModeCodeGuard&) = delete;
    ModeCodeGuard& operator=(const ModeCodeGuard&) = delete;

private:
    Context& m_ctx;
    QString m_action, m_output, m_sub, m_answer, m_answer2;
};

// Keeps the caller's mode codes and its run flags (interactive, continue, record added, photo, the machine
// found) across a routine of another module called in the middle of the caller's own work.
class NestedCallGuard
{
public:
    explicit NestedCallGuard(Context& ctx);
    ~NestedCallGuard();
    NestedCallGuard(const NestedCallGuard&) = delete;
    NestedCallGuard& operator=(const NestedCallGuard&) = delete;

private:
    Context& m_ctx;
    ModeCodeGuard m_codes;
    std::uint8_t m_interactive, m_continue, m_added, m_photo;
    TMachineRecord m_found;
};

} // namespace gim
