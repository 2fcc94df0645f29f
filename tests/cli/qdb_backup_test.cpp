// qdb backup / backups as a process: the snapshot a script or cron job takes,
// and the listing with the figures the restore dialog shows.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

#include "QdbProcess.h"

namespace qdbtest {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using json = nlohmann::json;

class QdbBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/qdb-backup-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        library = folder + "/books.qdb";
        dest = folder + "/snapshots";
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Ok(const Args& args) {
        QdbResult r = RunQdb(folder, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }
    std::vector<json> Listing(const Args& extra = {}) {
        Args args{"backups", library, dest};
        args.insert(args.end(), extra.begin(), extra.end());
        std::istringstream lines(Ok(args));
        std::vector<json> rows;
        for (std::string line; std::getline(lines, line);)
            rows.push_back(json::parse(line));
        return rows;
    }

    std::string folder, library, dest;
};

TEST_F(QdbBackupTest, SnapshotsAreListedNewestFirstWithTheirFigures) {
    Ok({"create-library", library});
    Ok({"put", library, "DocFloder", "PID=0", "FloderName=卷一"});
    Ok({"put", library, "Docs", "PID=1", "DocName=甲"});
    const std::string first = Ok({"backup", library, dest});
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(fs::exists(first.substr(0, first.size() - 1)));
    Ok({"put", library, "Docs", "PID=1", "DocName=乙"});
    const std::string second = Ok({"backup", library, dest});
    EXPECT_EQ(Ok({"verify", second.substr(0, second.size() - 1)}), "ok\n");

    const std::vector<json> rows = Listing();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["path"].get<std::string>() + "\n", second);
    EXPECT_EQ(rows[0]["manuscripts"], 2);
    EXPECT_EQ(rows[1]["manuscripts"], 1);
    for (const json& row : rows) {
        EXPECT_EQ(row["folders"], 1);
        EXPECT_EQ(row["damaged"], false);
        EXPECT_EQ(row["encrypted"], false);
        EXPECT_EQ(row["size"].get<int64_t>(), static_cast<int64_t>(fs::file_size(row["path"].get<std::string>())));
    }
}

TEST_F(QdbBackupTest, EncryptedSnapshotsShowFiguresOnlyWithThePassword) {
    Ok({"create-library", library, "--password", "密码"});
    Ok({"put", library, "Docs", "PID=0", "DocName=甲", "--password", "密码"});
    Ok({"backup", library, dest});
    const json locked = Listing().at(0);
    EXPECT_EQ(locked["encrypted"], true);
    EXPECT_TRUE(locked["manuscripts"].is_null());
    EXPECT_EQ(locked["damaged"], false);
    EXPECT_EQ(Listing({"--password", "密码"}).at(0)["manuscripts"], 1);
}

TEST_F(QdbBackupTest, DamagedSnapshotIsListedAsDamaged) {
    Ok({"create-library", library});
    const std::string taken = Ok({"backup", library, dest});
    fs::resize_file(taken.substr(0, taken.size() - 1), 1000);
    const json row = Listing().at(0);
    EXPECT_EQ(row["damaged"], true);
    EXPECT_TRUE(row["folders"].is_null());
}

// A damaged library is still copied, but the command says so and fails.
TEST_F(QdbBackupTest, BackupOfADamagedLibraryWarnsAndExitsOne) {
    Ok({"create-library", library});
    Ok({"put", library, "Docs", "PID=0", "DocName=甲"});
    fs::resize_file(library, fs::file_size(library) - 40);
    const QdbResult r = RunQdb(folder, {"backup", library, dest});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("damaged"), std::string::npos) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_TRUE(fs::exists(r.out.substr(0, r.out.size() - 1)));
    EXPECT_EQ(Listing().at(0)["damaged"], true);
}

TEST_F(QdbBackupTest, FailuresAreErrorsThatLeaveNoSnapshot) {
    Ok({"create-library", library});
    Ok({"put", library, "Docs", "PID=0", "DocName=甲"});
    fs::create_directories(dest);
    Ok({"backups", library, dest});  // the library's folder exists before the disk fills

    const QdbResult full = RunQdb(folder, {"backup", library, dest}, {2048});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("磁盘空间不足"), std::string::npos) << full.err;
    EXPECT_TRUE(Listing().empty());

    const QdbResult missing = RunQdb(folder, {"backup", folder + "/none.qdb", dest});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("not found"), std::string::npos) << missing.err;
    EXPECT_EQ(RunQdb(folder, {"backup"}).exitCode, 2);
}

TEST_F(QdbBackupTest, WithoutDestTheOptionsFolderIsUsed) {
    Ok({"create-library", library});
    const std::string taken = Ok({"backup", library});
    const char* home = getenv("QUILLORA_HOME");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(taken.rfind(std::string(home), 0), 0u) << taken;
    EXPECT_NE(taken.find("/Backups/books.qdb/books-"), std::string::npos) << taken;
}

}  // namespace
}  // namespace qdbtest
