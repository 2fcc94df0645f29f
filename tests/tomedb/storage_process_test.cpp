// Real processes on one database file: two writers appending to one table,
// and a writer killed with SIGKILL at random moments.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "storage_fixture.h"

using namespace storage_test;

namespace {

// T: 0 ID autoinc, 1 N integer, 2 S string(20), 3 Txt memo; index on N.
void CreateFile(const std::string& path) {
    TTomeDBFileIO creator;
    ASSERT_TRUE(creator.CreateDatabase(path, true, 1, "zLIB", false, "blowfish", "", false));
    TTomeDBFileIO io;
    io.Open(path, mtDisk, 0, false, false);
    ASSERT_TRUE(io.CreateTable(
        "T", {Field("ID", ftAutoInc), Field("N", ftInteger), Field("S", ftString, 20), Field("Txt", ftMemo)}));
    ASSERT_TRUE(io.CreateIndex("T", "ByN", 0, {"N"}));
}

std::string MemoFor(int32_t value) {
    return std::string(static_cast<size_t>(value % 40) * 100 + 10, static_cast<char>('a' + value % 26));
}

void Fill(Record& r, int32_t value) { r.Int(1, value).Str(2, "v" + std::to_string(value)).Blob(3, MemoFor(value)); }

// Runs body in a child process; returns its pid. The child never returns.
template <class Body>
pid_t Spawn(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 0;
        try {
            body();
        } catch (const std::exception& e) {
            fprintf(stderr, "child: %s\n", e.what());
            code = 1;
        }
        _exit(code);
    }
    return pid;
}

}  // namespace

TEST(Processes, TwoWritersAppendToOneTable) {
    TempDir dir;
    const std::string path = dir.File("shared.tdb");
    CreateFile(path);
    constexpr int kPerProcess = 1000;
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        children.push_back(Spawn([&, child] {
            TTomeStorageSettings settings;
            settings.RetryCount = 0;  // wait as long as the other holds the lock
            settings.WaitTime = 1;
            TTomeDBFileIO io(&settings);
            io.Open(path, mtDisk, 0, false, false);
            TTomeTableIO table(io, "T");
            table.Open();
            for (int i = 0; i < kPerProcess; ++i) {
                Record r(table);
                Fill(r, child * 100000 + i);
                table.AppendRecord(r.Buffers, false);
            }
        }));
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TTomeDBFileIO io;
    io.Open(path, mtDisk, 0, false, false);
    TTomeTableIO table(io, "T");
    table.Open();
    ASSERT_EQ(table.IndexList(0).size(), 2u * kPerProcess);
    std::set<int32_t> ids, values;
    for (size_t i = 0; i < table.IndexList(1).size(); ++i) {
        Record r(table);
        table.ReadRecord(r.Buffers, table.IndexList(1), static_cast<int>(i));
        ids.insert(r.GetInt(0));
        values.insert(r.GetInt(1));
        ASSERT_EQ(r.GetStr(2), "v" + std::to_string(r.GetInt(1)));
        ASSERT_EQ(r.GetBlob(3), MemoFor(r.GetInt(1)));
    }
    EXPECT_EQ(ids.size(), 2u * kPerProcess);
    EXPECT_EQ(*ids.rbegin(), 2 * kPerProcess);
    EXPECT_EQ(values.size(), 2u * kPerProcess);
    EXPECT_EQ(table.IndexList(2).size(), 2u * kPerProcess);
}

namespace {

struct Message {
    int32_t done;  // 0 begin, 1 done
    int32_t op;    // 0 append, 1 modify, 2 delete
    int32_t id;
    int32_t value;
};

void Send(int fd, const Message& m) {
    if (write(fd, &m, sizeof m) != sizeof m)
        _exit(3);
}

// Appends, modifies and deletes until killed, reporting each step.
void Churn(const std::string& path, int fd, unsigned seed) {
    TTomeDBFileIO io;
    io.Open(path, mtDisk, 0, false, false);
    TTomeTableIO table(io, "T");
    table.Open();
    std::mt19937 random(seed);
    for (;;) {
        const size_t live = table.IndexList(0).size();
        const int choice = live < 20 ? 0 : static_cast<int>(random() % 3);
        const int32_t value = static_cast<int32_t>(random() % 1000000);
        Record r(table);
        if (choice == 0) {
            Fill(r, value);
            Send(fd, {0, 0, 0, value});
            table.AppendRecord(r.Buffers, false);
            Send(fd, {1, 0, r.GetInt(0), value});
            continue;
        }
        const int pos = static_cast<int>(random() % live);
        table.ReadRecord(r.Buffers, table.IndexList(0), pos);
        const int32_t id = r.GetInt(0);
        Send(fd, {0, choice, id, value});
        if (choice == 1) {
            Fill(r, value);
            table.ModifyRecord(r.Buffers, pos);
        } else {
            table.DeleteRecord(pos, false);
        }
        Send(fd, {1, choice, id, value});
    }
}

struct Row {
    int32_t value = 0;
    bool consistent = false;
};

std::map<int32_t, Row> ReadTable(const std::string& path) {
    std::map<int32_t, Row> rows;
    TTomeDBFileIO io;
    io.Open(path, mtDisk, 0, false, false);
    TTomeTableIO table(io, "T");
    table.Open();
    EXPECT_EQ(table.IndexList(1).size(), table.IndexList(0).size());
    EXPECT_EQ(table.IndexList(2).size(), table.IndexList(0).size());
    for (size_t i = 0; i < table.IndexList(1).size(); ++i) {
        Record r(table);
        table.ReadRecord(r.Buffers, table.IndexList(1), static_cast<int>(i));
        Row row;
        row.value = r.GetInt(1);
        try {
            row.consistent = r.GetStr(2) == "v" + std::to_string(row.value) && r.GetBlob(3) == MemoFor(row.value);
        } catch (const EDatabaseError&) {
            row.consistent = false;
        }
        EXPECT_TRUE(rows.emplace(r.GetInt(0), row).second) << "duplicate ID " << r.GetInt(0);
    }
    return rows;
}

}  // namespace

TEST(Processes, KilledWriterLosesAtMostTheRecordBeingWritten) {
    TempDir dir;
    const std::string path = dir.File("killed.tdb");
    CreateFile(path);
    std::map<int32_t, int32_t> model;  // ID -> value of every completed operation
    std::mt19937 random(2024);
    int completedTotal = 0;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t pid = Spawn([&] {
            close(fds[0]);
            Churn(path, fds[1], static_cast<unsigned>(round) + 1);
        });
        close(fds[1]);
        // The kill comes at a random moment after the child's third completed
        // operation, so that a slow start on a busy machine (or a slow disk
        // sync) still leaves work done and work to interrupt.
        std::vector<Message> received;
        Message m{}, pending{};
        int completed = 0;
        while (read(fds[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m)) {
            received.push_back(m);
            if (m.done != 0 && ++completed == 3)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + random() % 60));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself";
        while (read(fds[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m))
            received.push_back(m);
        bool inFlight = false;
        for (const Message& m : received) {
            if (m.done == 0) {
                pending = m;
                inFlight = true;
                continue;
            }
            inFlight = false;
            ++completedTotal;
            if (m.op == 2)
                model.erase(m.id);
            else
                model[m.id] = m.value;
        }
        close(fds[0]);
        const auto rows = ReadTable(path);
        // Every completed operation is there; only the interrupted one may differ.
        int32_t touched = inFlight && pending.op != 0 ? pending.id : -1;
        for (const auto& [id, value] : model) {
            if (id == touched)
                continue;
            auto it = rows.find(id);
            ASSERT_NE(it, rows.end()) << "lost record " << id;
            EXPECT_EQ(it->second.value, value) << id;
            EXPECT_TRUE(it->second.consistent) << id;
        }
        size_t extra = 0;
        for (const auto& [id, row] : rows)
            if (!model.count(id) && id != touched)
                ++extra;
        EXPECT_LE(extra, inFlight && pending.op == 0 ? 1u : 0u);
        // Adopt the interrupted record's state from the file.
        model.clear();
        for (const auto& [id, row] : rows)
            model[id] = row.value;
        // A torn blob of the interrupted modify is repaired by rewriting it.
        if (touched >= 0 && rows.count(touched) && !rows.at(touched).consistent) {
            TTomeDBFileIO io;
            io.Open(path, mtDisk, 0, false, false);
            TTomeTableIO table(io, "T");
            table.Open();
            int32_t r = -1;
            for (size_t i = 0; i < table.IndexList(1).size() && r < 0; ++i) {
                Record x(table);
                table.ReadRecord(x.Buffers, table.IndexList(1), static_cast<int>(i));
                if (x.GetInt(0) == touched)
                    r = table.IndexList(1)[i].RecIndex;
            }
            Record fix(table);
            const int pos = table.NaturalPosition(r);
            table.ReadRecord(fix.Buffers, table.IndexList(0), pos);
            Fill(fix, model[touched]);
            table.ModifyRecord(fix.Buffers, pos);
        }
    }
    // The writer appends until 20 records live, then appends, modifies and
    // deletes at random, so the table ends with at least 19 records (a delete
    // from 20); the kill comes after each round's third completed operation.
    EXPECT_GE(model.size(), 19u);
    EXPECT_GE(completedTotal, 12 * 3);
}
