// qdb's single-record writes traced with strace: put, set and del sync the
// file after their last write and before they exit; --no-sync makes none.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "QdbProcess.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

bool HaveStrace() { return system("strace -V >/dev/null 2>&1") == 0; }

// What strace saw of a qdb run: the calls in order, by name.
struct Trace {
    int exitCode = -1;
    std::vector<std::string> calls;  // "pwrite64", "fdatasync", "fsync"

    size_t LastIndexOf(std::initializer_list<const char*> names) const {
        for (size_t i = calls.size(); i-- > 0;)
            for (const char* name : names)
                if (calls[i] == name) return i;
        return std::string::npos;
    }
};

class QdbSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveStrace()) GTEST_SKIP() << "strace is not installed";
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qdb-sync.XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        file = folder + "/notes.qdb";
        Ok({"create", file});
        Ok({"create-table", file, "Notes", "ID:AutoInc", "Title:String:40"});
        Ok({"put", file, "Notes", "Title=first"});
    }
    void TearDown() override {
        if (!folder.empty()) fs::remove_all(folder);
    }

    void Ok(const Args& args) {
        const QdbResult r = RunQdb(folder, args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    // Runs qdb under strace, keeping the file writes and syncs of every thread.
    Trace Traced(const Args& args) {
        const std::string log = folder + "/strace.log";
        std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o " + log +
                              " -e trace=pwrite64,fdatasync,fsync " QDB_PATH;
        for (const std::string& arg : args) command += " '" + arg + "'";
        command += " >/dev/null 2>" + folder + "/stderr.log";
        Trace trace;
        const int status = system(command.c_str());
        trace.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            for (const char* name : {"pwrite64", "fdatasync", "fsync"})
                if (line.find(std::string(name) + "(") != std::string::npos) {
                    trace.calls.push_back(name);
                    break;
                }
        }
        return trace;
    }

    std::string folder;
    std::string file;
};

TEST_F(QdbSyncTest, SingleRecordWritesSyncAfterTheirLastWriteUnlessAskedNotTo) {
    struct Case {
        Args args;
        bool synced;
    };
    const std::vector<Case> cases = {
        {{"put", "FILE", "Notes", "Title=second"}, true},
        {{"set", "FILE", "Notes", "1", "Title=changed"}, true},
        {{"put", "FILE", "Notes", "Title=third", "--no-sync"}, false},
        {{"set", "FILE", "Notes", "1", "Title=again", "--no-sync"}, false},
        {{"del", "FILE", "Notes", "3", "--no-sync"}, false},
        {{"del", "FILE", "Notes", "2"}, true},
    };
    for (Case c : cases) {
        c.args[1] = file;
        SCOPED_TRACE(c.args[0] + (c.synced ? "" : " --no-sync"));
        const Trace trace = Traced(c.args);
        ASSERT_EQ(trace.exitCode, 0) << std::ifstream(folder + "/stderr.log").rdbuf();
        const size_t lastWrite = trace.LastIndexOf({"pwrite64"});
        const size_t lastSync = trace.LastIndexOf({"fdatasync", "fsync"});
        ASSERT_NE(lastWrite, std::string::npos) << "the change was written";
        if (c.synced) {
            ASSERT_NE(lastSync, std::string::npos);
            EXPECT_GT(lastSync, lastWrite) << "a sync follows the last write";
        } else {
            EXPECT_EQ(lastSync, std::string::npos) << "no sync with --no-sync";
        }
    }
    EXPECT_NE(RunQdb(folder, {"dump", file, "Notes"}).out.find("again"), std::string::npos);
}

}  // namespace
}  // namespace qdbtest
