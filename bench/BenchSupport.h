// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers the benchmark programs share.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace velmora::bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

/// The wall time of one call of `body`, in milliseconds.
inline double TimeOnce(const std::function<void()>& body)
{
    const Clock::time_point start = Clock::now();
    body();
    return Milliseconds(Clock::now() - start);
}

/// The median; the mean of the middle two for an even count.
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

/// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when missing.
inline long StatusKB(const char* field)
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    const std::size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') {
            value = std::strtol(line + n + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

/// Runs `program` (a path, or a name looked up in PATH) with the arguments
/// after its own name and returns what it printed on stdout, read to the
/// end; nothing when it could not run or exited with a status above
/// `highestSuccess`.
inline std::optional<std::string>
ChildOutput(const char* program, const std::vector<std::string>& args, int highestSuccess = 0)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execvp(program, argv.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > highestSuccess)
        return std::nullopt;
    return out;
}

} // namespace velmora::bench
