// Timing helpers of the benchmarks that measure against grep: CPU seconds of
// a rusage, of the calling thread or of the whole process, wall seconds of a call, and RunGrep,
// which runs grep with the given argument vector (null-terminated, argv[0]
// "grep"), reads its standard output through a pipe and reports grep's user
// plus system time. A grep that cannot be started gives empty output.
#pragma once

#include <QByteArray>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <functional>

extern char** environ;

namespace grepbench {

inline double CpuSeconds(const rusage& usage) {
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

inline double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return CpuSeconds(usage);
}

// Of every thread of this process (work spread over threads counts in full).
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

inline double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline QByteArray RunGrep(const char* const* argv, double* cpu = nullptr) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "grep", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    QByteArray output;
    char buffer[65536];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, got);
    ::close(pipeFds[0]);
    rusage usage{};
    if (spawned == 0)
        ::wait4(pid, nullptr, 0, &usage);
    if (cpu)
        *cpu = CpuSeconds(usage);
    return output;
}

}  // namespace grepbench
