#pragma once

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

} // namespace gim::test
