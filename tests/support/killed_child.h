#pragma once

#include "core/file_swap.h"
#include "core/record_file.h"
#include "core/transaction.h"
#include "support/test_context.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <map>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace gim::test {

// Runs `work` in a child process, kills it (SIGKILL) after a random pause of up to `maxMicros`, and returns
// what it wrote to the channel it is given before it died: what it reported done. `work` never returns.
inline std::string KillWhileRunning(std::mt19937& random, int maxMicros,
                                    const std::function<void(int channel)>& work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        work(channel[1]);
        ::_exit(0);
    }
    ::close(channel[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % static_cast<unsigned>(maxMicros)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::string reported;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        reported.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    return reported;
}

// Runs `step` in a child process killed at each of its file calls in turn (through the context's fault
// seam), each time from the same files; after each next start the files `names` must be as before the step
// or as after it ran whole. Returns what went wrong ("" when nothing did) and how many calls were tried.
inline std::string KillAtEveryFileCall(TestContext& t, const QStringList& names,
                                       const std::function<void()>& step, int* calls = nullptr)
{
    const QString journal = t.ctx.st.CurrentEnvironment + QStringLiteral(".JNL");
    const auto files = [&] {
        std::map<QString, std::string> all;
        for (const QString& name : names)
            if (t.Exists(name))
                all[name] = t.ReadFile(name);
        if (t.Exists(journal) && !t.ReadFile(journal).empty()) // an empty journal is none
            all[journal] = t.ReadFile(journal);
        return all;
    };
    const auto restore = [&](const std::map<QString, std::string>& all) {
        for (const QString& name : names)
            QFile::remove(t.Path(name));
        QFile::remove(t.Path(journal));
        for (const auto& [name, bytes] : all)
            t.WriteFile(name, bytes);
    };
    // Kills the step at file call `at` (never, for 0); true when it ran to its end.
    const auto runKilledAt = [&](int at) {
        const pid_t child = ::fork();
        if (child == 0) {
            int made = 0;
            FileFaults dying;
            dying.inject = [&](FileOp, const QString&) {
                if (++made == at)
                    ::_exit(9);
                return 0;
            };
            t.ctx.faults = &dying;
            step();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        RecoverJournal(t.ctx); // the next start
        RecoverFileSwap(t.ctx, true);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    const std::map<QString, std::string> before = files();
    if (!runKilledAt(0))
        return "the step did not run to its end";
    const std::map<QString, std::string> whole = files();
    if (whole == before)
        return "the step changed nothing";
    int at = 1;
    for (bool finished = false; !finished && at < 1000; ++at) {
        restore(before);
        finished = runKilledAt(at);
        const std::map<QString, std::string> after = files();
        if (after != before && after != whole)
            return "killed at file call " + std::to_string(at) + ", the files are neither before nor after";
        if (!QDir(t.ctx.st.WorkDir)
                 .entryList({QStringLiteral(".gim-swap*")}, QDir::Files | QDir::Hidden)
                 .isEmpty())
            return "killed at file call " + std::to_string(at) +
                   ", a scratch file is left after the next start";
    }
    restore(whole);
    if (calls)
        *calls = at - 1;
    return {};
}

} // namespace gim::test
