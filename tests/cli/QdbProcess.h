// Test helper: runs the built qdb tool (QDB_PATH) as a child process with the
// given arguments and collects its exit code, standard output and standard
// error. A child ended by a signal reports exitCode -signal, so a crash never
// passes for an error exit. The child's peak resident size is kept, and a
// file-size limit can be set on it (writes past it fail with EFBIG, as on a
// full disk).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qdbtest {

struct QdbResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    long maxResidentKb = 0;
};

struct QdbLimits {
    long fileSizeBytes = -1;  // RLIMIT_FSIZE of the child; -1 leaves it
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline QdbResult RunQdb(const std::string& folder, const std::vector<std::string>& args, const QdbLimits& limits = {}) {
    const std::string outPath = folder + "/.qdb-out", errPath = folder + "/.qdb-err";
    std::vector<std::string> argv{QDB_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (std::string& arg : argv)
        raw.push_back(arg.data());
    raw.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(err, 2);
        if (limits.fileSizeBytes >= 0) {
            signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit {
                static_cast<rlim_t>(limits.fileSizeBytes), static_cast<rlim_t>(limits.fileSizeBytes)
            };
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execv(raw[0], raw.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    QdbResult result;
    result.maxResidentKb = usage.ru_maxrss;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

}  // namespace qdbtest
