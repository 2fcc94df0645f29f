// A compacting process killed at random moments never costs the database a
// record, and the temporary files such runs leave behind never stop the next
// open or compact.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>

#include "dataset_test_support.h"

namespace dstest {
namespace {

constexpr int kRecords = 1700;
constexpr size_t kMemoBytes = 12 * 1024;  // incompressible: about 20 MB in all

// Incompressible bytes, cheap to make (xorshift, 8 bytes a step).
std::string MakeMemo(int id) {
    uint64_t x = 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(id) + 1;
    std::string bytes(kMemoBytes, '\0');
    for (size_t i = 0; i < kMemoBytes; i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::memcpy(&bytes[i], &x, 8);
    }
    if ((id - 1) % 50 == 0)
        bytes += std::string(2000, 'g');  // rewritten: leaves dead space
    return bytes;
}

const std::string& MemoFor(int id) {
    static const std::vector<std::string> memos = [] {
        std::vector<std::string> all(kRecords + 1);
        for (int i = 1; i <= kRecords; ++i)
            all[static_cast<size_t>(i)] = MakeMemo(i);
        return all;
    }();
    return memos[static_cast<size_t>(id)];
}

class KillTest : public DatasetFixture {
protected:
    void FillDatabase() {
        CreateDocsDatabase();
        TTomeTable table;
        table.SetDatabaseName(path);
        table.SetTableName("Docs");
        table.Open();
        for (int i = 1; i <= kRecords; ++i) {
            table.Append();
            table.FieldByName("PID").SetAsInteger(i % 10);
            table.FieldByName("Txt").SetAsString(MemoFor(i).substr(0, kMemoBytes));
            table.Post();
        }
        // Dead space for the compaction to drop.
        for (int id = 1; id <= kRecords; id += 50) {
            ASSERT_TRUE(table.FindKey({TVariant(id)}));
            table.Edit();
            table.FieldByName("Txt").SetAsString(MemoFor(id));
            table.Post();
        }
    }

    // Every record is there with its exact memo.
    void Verify() {
        TTomeTable table;
        table.SetDatabaseName(path);
        table.SetTableName("Docs");
        table.Open();
        ASSERT_EQ(table.RecordCount(), kRecords);
        int expected = 1;
        for (table.First(); !table.Eof(); table.Next(), ++expected) {
            ASSERT_EQ(table.FieldByName("ID").AsInteger(), expected);
            const std::string memo = table.FieldByName("Txt").AsString();
            ASSERT_TRUE(memo == MemoFor(expected)) << "record " << expected;
        }
    }

    // Runs a compaction in a child process; kills it after `delay` unless
    // delay is negative. Returns the time the child ran.
    std::chrono::milliseconds CompactInChild(std::chrono::microseconds delay) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            int code = 1;
            try {
                TTomeDatabase db;
                db.SetDatabaseName(path);
                db.Open();
                code = db.Compact() ? 0 : 3;
            } catch (...) {
                code = 4;
            }
            _exit(code);
        }
        EXPECT_GT(child, 0);
        if (delay.count() >= 0) {
            std::this_thread::sleep_for(delay);
            kill(child, SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (delay.count() < 0) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }
};

TEST_F(KillTest, KilledCompactionNeverLosesRecords) {
    FillDatabase();
    const auto sizeBefore = std::filesystem::file_size(path);
    EXPECT_GT(sizeBefore, 20u * 1000 * 1000);
    const auto fullRun = CompactInChild(std::chrono::microseconds(-1));
    EXPECT_LT(std::filesystem::file_size(path), sizeBefore);
    Verify();
    std::mt19937 random(12345);
    std::uniform_int_distribution<int64_t> moment(0, fullRun.count() * 1000 * 11 / 10);
    for (int round = 0; round < 6; ++round) {
        CompactInChild(std::chrono::microseconds(moment(random)));
        Verify();
    }
    // Whatever temporary files the killed runs left, a full run still works.
    CompactInChild(std::chrono::microseconds(-1));
    Verify();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "lib.qdb" || name.rfind("TDB", 0) == 0) << name;
    }
}

}  // namespace
}  // namespace dstest
