// Table access and compaction of the engine against SQLite on the same data:
// 10,000 records (ID, PID, DocName, a zlib-compressed text of about 4 KB).
//   walk:    open the database and read every field of every record, texts
//            decompressed;
//   compact: Compact on the engine, VACUUM on SQLite (WAL mode).
// Both stores get the same rows in the same run; the ratios engine / SQLite
// are printed after the timings.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tomedb/TomeDB.h"

using namespace tomedb;

namespace {

constexpr int kRecords = 10000;

std::string TextFor(int id) {
    // Chinese-looking GB18030 text with some variety, about 4 KB.
    static const char* words[] = {"\xCE\xC4\xD5\xC2", "\xB8\xE5\xBC\xFE", "\xCA\xE9\xD0\xB4",
                                  "\xD7\xF7\xBC\xD2", "\xB9\xCA\xCA\xC2", "text ",
                                  "line\r\n"};
    std::string text;
    uint32_t x = static_cast<uint32_t>(id) * 2654435761u + 1;
    while (text.size() < 4096) {
        x = x * 1103515245u + 12345u;
        text += words[(x >> 16) % 7];
    }
    return text;
}

std::string Deflate(const std::string& in) {
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()),
             static_cast<uLong>(in.size()));
    out.resize(size);
    return out;
}

std::string Inflate(const void* data, int size, size_t plainSize) {
    std::string out(plainSize, '\0');
    uLongf length = static_cast<uLongf>(plainSize);
    uncompress(reinterpret_cast<Bytef*>(out.data()), &length, static_cast<const Bytef*>(data),
               static_cast<uLong>(size));
    out.resize(length);
    return out;
}

struct Stores {
    std::string folder;
    std::string tome;
    std::string sqlite;

    Stores() {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/dsbench.XXXXXX";
        folder = mkdtemp(pattern.data());
        tome = folder + "/bench.qdb";
        sqlite = folder + "/bench.sqlite";
        BuildTome();
        BuildSqlite();
    }
    ~Stores() { std::filesystem::remove_all(folder); }

    void BuildTome() {
        TTomeDatabase db;
        db.CreateDatabase(tome, true, 1, "zLIB", false, "blowfish", "", false);
        db.SetDatabaseName(tome);
        db.Open();
        db.CreateTable("Docs", {MakeFieldItem("ID", ftAutoInc, 0, 1), MakeFieldItem("PID", ftInteger, 0, 1),
                                MakeFieldItem("DocName", ftString, 100, 1), MakeFieldItem("Txt", ftMemo, 0, 0)});
        TTomeTable table;
        table.SetDatabaseName(tome);
        table.SetTableName("Docs");
        table.Open();
        for (int i = 1; i <= kRecords; ++i) {
            table.Append();
            table.FieldByName("PID").SetAsInteger(i % 50);
            table.FieldByName("DocName").SetAsString("doc " + std::to_string(i));
            table.FieldByName("Txt").SetAsString(TextFor(i));
            table.Post();
        }
        table.Close();
        db.Flush();
    }

    void BuildSqlite() {
        sqlite3* db = nullptr;
        sqlite3_open(sqlite.c_str(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
        sqlite3_exec(db,
                     "CREATE TABLE Docs(ID INTEGER PRIMARY KEY AUTOINCREMENT, PID INTEGER, "
                     "DocName TEXT, TxtSize INTEGER, Txt BLOB);",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Docs(PID, DocName, TxtSize, Txt) VALUES(?,?,?,?)", -1, &insert, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 1; i <= kRecords; ++i) {
            const std::string name = "doc " + std::to_string(i);
            const std::string text = TextFor(i);
            const std::string packed = Deflate(text);
            sqlite3_bind_int(insert, 1, i % 50);
            sqlite3_bind_text(insert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 3, static_cast<int>(text.size()));
            sqlite3_bind_blob(insert, 4, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }
};

Stores& TheStores() {
    static Stores stores;
    return stores;
}

void BM_TomeWalk(benchmark::State& state) {
    Stores& stores = TheStores();
    for (auto _ : state) {
        TTomeDatabase db;
        db.SetDatabaseName(stores.tome);
        db.Open();
        TTomeTable table;
        table.SetDatabaseName(stores.tome);
        table.SetTableName("Docs");
        table.Open();
        size_t bytes = 0;
        for (table.First(); !table.Eof(); table.Next()) {
            bytes += static_cast<size_t>(table.FieldByName("ID").AsInteger());
            bytes += static_cast<size_t>(table.FieldByName("PID").AsInteger());
            bytes += table.FieldByName("DocName").AsString().size();
            bytes += table.FieldByName("Txt").AsString().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_SqliteWalk(benchmark::State& state) {
    Stores& stores = TheStores();
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(stores.sqlite.c_str(), &db);
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(db, "SELECT ID, PID, DocName, TxtSize, Txt FROM Docs ORDER BY ID", -1, &select, nullptr);
        size_t bytes = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            bytes += static_cast<size_t>(sqlite3_column_int(select, 0));
            bytes += static_cast<size_t>(sqlite3_column_int(select, 1));
            bytes += std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, 2))).size();
            const std::string text = Inflate(sqlite3_column_blob(select, 4), sqlite3_column_bytes(select, 4),
                                             static_cast<size_t>(sqlite3_column_int(select, 3)));
            bytes += text.size();
        }
        sqlite3_finalize(select);
        sqlite3_close(db);
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_TomeCompact(benchmark::State& state) {
    Stores& stores = TheStores();
    for (auto _ : state) {
        TTomeDatabase db;
        db.SetDatabaseName(stores.tome);
        db.Open();
        if (!db.Compact())
            state.SkipWithError("compact failed");
    }
}

void BM_SqliteVacuum(benchmark::State& state) {
    Stores& stores = TheStores();
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open(stores.sqlite.c_str(), &db);
        sqlite3_exec(db, "VACUUM;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}

BENCHMARK(BM_TomeWalk)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SqliteWalk)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TomeCompact)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SqliteVacuum)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's time per iteration for the ratio lines.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.run_name.function_name] = run.GetAdjustedRealTime();
            cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TheStores();
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Wall-clock and CPU ratios: on a busy machine the CPU figure is the steadier one.
    auto ratio = [&](const char* what, const char* ours, const char* theirs) {
        const auto a = reporter.times.find(ours), b = reporter.times.find(theirs);
        const auto c = reporter.cpuTimes.find(ours), d = reporter.cpuTimes.find(theirs);
        if (a == reporter.times.end() || b == reporter.times.end() || b->second <= 0)
            return;
        std::printf("%-8s engine / SQLite = %.2f (real), %.2f (cpu)\n", what, a->second / b->second,
                    c->second / d->second);
    };
    ratio("walk", "BM_TomeWalk", "BM_SqliteWalk");
    ratio("compact", "BM_TomeCompact", "BM_SqliteVacuum");
    benchmark::Shutdown();
    return 0;
}
