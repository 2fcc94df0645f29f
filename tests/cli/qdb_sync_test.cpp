// qdb traced with strace: put, set and del sync the file after their last
// write and before they exit (--no-sync makes none); compaction syncs the
// new image once before renaming it over the file, and the folder after.
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
    std::vector<std::string> calls;  // "pwrite64", "fdatasync", "fsync", "rename"

    size_t LastIndexOf(std::initializer_list<const char*> names) const {
        for (size_t i = calls.size(); i-- > 0;)
            for (const char* name : names)
                if (calls[i] == name)
                    return i;
        return std::string::npos;
    }
};

class QdbSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveStrace())
            GTEST_SKIP() << "strace is not installed";
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
        if (!folder.empty())
            fs::remove_all(folder);
    }

    void Ok(const Args& args) {
        const QdbResult r = RunQdb(folder, args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    // Runs qdb under strace, keeping the file writes and syncs of every thread.
    Trace Traced(const Args& args) {
        const std::string log = folder + "/strace.log";
        std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o " + log +
                              " -e trace=pwrite64,fdatasync,fsync,rename,renameat,renameat2 " QDB_PATH;
        for (const std::string& arg : args)
            command += " '" + arg + "'";
        command += " >/dev/null 2>" + folder + "/stderr.log";
        Trace trace;
        const int status = system(command.c_str());
        trace.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            for (const char* name : {"pwrite64", "fdatasync", "fsync", "rename"})
                if (line.find(std::string(name)) != std::string::npos) {
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

TEST_F(QdbSyncTest, CompactionSyncsTheImageOnceAndTheFolderAfterTheRename) {
    // Every table and index added to the new image used to cost a barrier.
    for (int i = 0; i < 8; ++i) {
        const std::string table = "T" + std::to_string(i);
        Ok({"create-table", file, table, "ID:AutoInc", "Name:String:20", "N:Integer"});
        Ok({"create-index", file, table, "ByName", "Name"});
        Ok({"create-index", file, table, "ByN", "N"});
        Ok({"put", file, table, "Name=x", "N=1", "--no-sync"});
    }
    const Trace trace = Traced({"compact", file});
    ASSERT_EQ(trace.exitCode, 0) << std::ifstream(folder + "/stderr.log").rdbuf();
    const size_t rename = trace.LastIndexOf({"rename"});
    ASSERT_NE(rename, std::string::npos);
    int syncsBefore = 0, syncsAfter = 0;
    for (size_t i = 0; i < trace.calls.size(); ++i)
        if (trace.calls[i] == "fdatasync" || trace.calls[i] == "fsync")
            ++(i < rename ? syncsBefore : syncsAfter);
    EXPECT_GE(syncsBefore, 1) << "the finished image is synced before it is published";
    EXPECT_LE(syncsBefore, 3) << "no barrier per copied table or index";
    EXPECT_GE(syncsAfter, 1) << "the folder is synced after the rename";
    EXPECT_EQ(RunQdb(folder, {"verify", file}).exitCode, 0);
    EXPECT_NE(RunQdb(folder, {"dump", file, "T7"}).out.find("\"Name\":\"x\""), std::string::npos);
}

}  // namespace
}  // namespace qdbtest
