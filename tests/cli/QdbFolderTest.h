// Fixture of the qdb tests that work on files: a fresh temporary folder
// (removed afterwards), qdb run in it, and files written into it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "QdbProcess.h"

namespace qdbtest {

class QdbFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qdb-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // qdb's standard output; the run must succeed.
    std::string Ok(const std::vector<std::string>& args) {
        QdbResult r = RunQdb(folder, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string folder;
};

}  // namespace qdbtest
