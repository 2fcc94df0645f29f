// Table storage against SQLite on the same work: append N records (auto-
// increment key, an integer, a 255-byte string, a 2-10 KB memo of Chinese
// text), read them all in key order, 10,000 key searches, modify 10,000 memos,
// delete 10,000 records. The engine runs without and with encryption; SQLite
// runs in WAL mode (synchronous=NORMAL, like the engine, which does not flush
// after each write) once with one transaction per operation and once in
// batches of 1,000, with the memo compressed by zlib as the engine does.
// Every step is one Google Benchmark run of one iteration; a table of times
// and ratios follows. STORAGE_BENCH_RECORDS sets N (default 100,000).
// Durable writes: D appends, then D memo modifies, one record per operation,
// each on disk when it returns (the engine with DurableWrites, SQLite in WAL
// mode with synchronous=FULL and one transaction per operation), in a second
// table. STORAGE_BENCH_DURABLE sets D (default 2,000).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableIO.h"

using namespace tomedb;

namespace {

int RecordCount() {
    const char* text = std::getenv("STORAGE_BENCH_RECORDS");
    return text ? std::max(10000, std::atoi(text)) : 100000;
}

constexpr int kOps = 10000;

int DurableCount() {
    const char* text = std::getenv("STORAGE_BENCH_DURABLE");
    return text ? std::max(100, std::atoi(text)) : 2000;
}

// Memos of 2-10 KB of GBK Chinese characters, and random choices, made once.
struct Workload {
    std::vector<std::string> memos;
    std::string text255;
    std::vector<int> searchIds, modifyIds;
    std::vector<double> deleteFractions;
    explicit Workload(int n) {
        std::mt19937 random(12345);
        for (int m = 0; m < 64; ++m) {
            std::string memo;
            const size_t size = 2048 + random() % 8192;
            while (memo.size() < size) {
                memo += static_cast<char>(0xB0 + random() % 0x48);
                memo += static_cast<char>(0xA1 + random() % 0x5E);
                if (random() % 40 == 0)
                    memo += "\r\n";
            }
            memos.push_back(memo);
        }
        text255.assign(255, 's');
        for (int i = 0; i < kOps; ++i) {
            searchIds.push_back(1 + static_cast<int>(random() % static_cast<unsigned>(n)));
            modifyIds.push_back(1 + static_cast<int>(random() % static_cast<unsigned>(n)));
            deleteFractions.push_back(static_cast<double>(random() % 1000000) / 1000000.0);
        }
    }
    const std::string& Memo(int i) const { return memos[static_cast<size_t>(i) % memos.size()]; }
};

std::string TempFolder() {
    char pattern[] = "/tmp/storagebenchXXXXXX";
    return mkdtemp(pattern);
}

// ---- the engine ------------------------------------------------------------------------

class TomeRun {
public:
    TomeRun(const std::string& folder, bool encrypt, bool durable = false) {
        const std::string path = folder + (durable ? "/durable.tdb" : encrypt ? "/enc.tdb" : "/plain.tdb");
        TTomeDBFileIO().CreateDatabase(path, true, 1, "zLIB", encrypt, "blowfish", "pw", false);
        Io_.Open(path, mtDisk, 0, false, false);
        Io_.CheckPassword("pw");
        Io_.SetDurableWrites(durable);
        Io_.CreateTable(
            "Docs", {{"ID", ftAutoInc, 0, 0}, {"N", ftInteger, 0, 0}, {"S", ftString, 255, 0}, {"Txt", ftMemo, 0, 0}});
        Table_ = std::make_unique<TTomeTableIO>(Io_, "Docs");
        Table_->Open();
    }
    std::unique_ptr<TFieldBuffers> Buffers() {
        auto b = std::make_unique<TFieldBuffers>();
        for (int i = 0; i < Table_->FieldDefs().Count(); ++i)
            b->AddOwned(Table_->FieldDefs().At(i).FieldType, Table_->FieldWidth(i));
        return b;
    }
    void Append(const Workload& w, int n) {
        auto b = Buffers();
        for (int i = 0; i < n; ++i) {
            format::PutI32((*b)[0].Data, 0);
            format::PutI32((*b)[1].Data, i);
            std::memcpy((*b)[2].Data, w.text255.data(), 255);
            (*b)[3].Blob->Assign(w.Memo(i));
            Table_->AppendRecord(*b, false);
        }
        Io_.Flush();
    }
    // One lock period for the whole scan, as the peer reads in one transaction.
    size_t ReadAll() {
        TTomeFileLock lock(Io_);
        auto b = Buffers();
        size_t bytes = 0;
        const TElementList& list = Table_->IndexList(1);
        for (size_t i = 0; i < list.size(); ++i) {
            Table_->ReadRecord(*b, list, static_cast<int>(i));
            bytes += (*b)[3].Blob->Data().size();
        }
        return bytes;
    }
    int Find(TFieldBuffers& b, int id) {
        format::PutI32(b[0].Data, id);
        int result = 0;
        const int p = Table_->SearchIndex(b, Table_->IndexList(1), 0, result, 0, false);
        return result == 0 ? p : -1;
    }
    size_t Search(const Workload& w) {
        auto key = Buffers();
        auto b = Buffers();
        size_t found = 0;
        for (int id : w.searchIds) {
            // One lock period per search and read, as the peer's one statement.
            TTomeFileLock lock(Io_);
            const int p = Find(*key, id);
            if (p < 0)
                continue;
            Table_->ReadRecord(*b, Table_->IndexList(1), p);
            found += format::GetI32((*b)[1].Data) >= 0;
        }
        return found;
    }
    void Modify(const Workload& w) {
        auto key = Buffers();
        auto b = Buffers();
        for (size_t i = 0; i < w.modifyIds.size(); ++i) {
            const int p = Find(*key, w.modifyIds[i]);
            if (p < 0)
                continue;
            const TElementList& list = Table_->IndexList(1);
            Table_->ReadRecord(*b, list, p);
            (*b)[3].Blob->Assign(w.Memo(static_cast<int>(i) + 7));
            Table_->ModifyRecord(*b, Table_->NaturalPosition(list[static_cast<size_t>(p)].RecIndex));
        }
        Io_.Flush();
    }
    // Modifies records 1..count in turn (the durable table holds count records).
    void ModifyFirst(const Workload& w, int count) {
        auto key = Buffers();
        auto b = Buffers();
        for (int i = 0; i < count; ++i) {
            const int p = Find(*key, 1 + i % count);
            if (p < 0)
                continue;
            const TElementList& list = Table_->IndexList(1);
            Table_->ReadRecord(*b, list, p);
            (*b)[3].Blob->Assign(w.Memo(i + 7));
            Table_->ModifyRecord(*b, Table_->NaturalPosition(list[static_cast<size_t>(p)].RecIndex));
        }
    }
    void Delete(const Workload& w) {
        for (double f : w.deleteFractions) {
            const size_t live = Table_->IndexList(0).size();
            Table_->DeleteRecord(static_cast<int>(f * static_cast<double>(live)), false);
        }
        Io_.Flush();
    }

private:
    TTomeDBFileIO Io_;
    std::unique_ptr<TTomeTableIO> Table_;
};

// ---- SQLite --------------------------------------------------------------------------------

std::string Deflate(const std::string& text) {
    uLongf size = compressBound(text.size());
    std::string out(size + 4, '\0');
    format::PutI32(reinterpret_cast<uint8_t*>(out.data()), static_cast<int32_t>(text.size()));
    compress2(reinterpret_cast<Bytef*>(out.data() + 4), &size, reinterpret_cast<const Bytef*>(text.data()), text.size(),
              Z_DEFAULT_COMPRESSION);
    out.resize(size + 4);
    return out;
}

std::string Inflate(const void* data, int size) {
    if (size < 4)
        return std::string();
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::string out(static_cast<size_t>(format::GetI32(bytes)), '\0');
    uLongf length = out.size();
    uncompress(reinterpret_cast<Bytef*>(out.data()), &length, bytes + 4, static_cast<uLong>(size - 4));
    return out;
}

class SqliteRun {
public:
    SqliteRun(const std::string& folder, int batch, bool full = false) : Batch_(batch) {
        sqlite3_open((folder + "/peer" + std::to_string(batch) + (full ? "full" : "") + ".db").c_str(), &Db_);
        Exec("PRAGMA journal_mode=WAL");
        Exec(full ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL");
        Exec("CREATE TABLE Docs(ID INTEGER PRIMARY KEY AUTOINCREMENT, N INTEGER, S TEXT, Txt BLOB)");
        sqlite3_prepare_v2(Db_, "INSERT INTO Docs(N, S, Txt) VALUES(?, ?, ?)", -1, &Insert_, nullptr);
        sqlite3_prepare_v2(Db_, "SELECT ID, N, S, Txt FROM Docs ORDER BY ID", -1, &Scan_, nullptr);
        sqlite3_prepare_v2(Db_, "SELECT ID, N, S, Txt FROM Docs WHERE ID = ?", -1, &Find_, nullptr);
        sqlite3_prepare_v2(Db_, "UPDATE Docs SET Txt = ? WHERE ID = ?", -1, &Update_, nullptr);
        sqlite3_prepare_v2(Db_, "DELETE FROM Docs WHERE ID = ?", -1, &Delete_, nullptr);
    }
    ~SqliteRun() {
        for (sqlite3_stmt* s : {Insert_, Scan_, Find_, Update_, Delete_})
            sqlite3_finalize(s);
        sqlite3_close(Db_);
    }
    void Exec(const char* sql) { sqlite3_exec(Db_, sql, nullptr, nullptr, nullptr); }
    void Begin(int i) {
        if (i % Batch_ == 0)
            Exec("BEGIN");
    }
    void End(int i, int n) {
        if (i % Batch_ == Batch_ - 1 || i == n - 1)
            Exec("COMMIT");
    }
    static void Step(sqlite3_stmt* s) {
        sqlite3_step(s);
        sqlite3_reset(s);
    }

    void Append(const Workload& w, int n) {
        for (int i = 0; i < n; ++i) {
            Begin(i);
            const std::string packed = Deflate(w.Memo(i));
            sqlite3_bind_int(Insert_, 1, i);
            sqlite3_bind_text(Insert_, 2, w.text255.data(), 255, SQLITE_STATIC);
            sqlite3_bind_blob(Insert_, 3, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
            Step(Insert_);
            LiveIds_.push_back(static_cast<int>(sqlite3_last_insert_rowid(Db_)));
            End(i, n);
        }
    }
    size_t ReadAll() {
        size_t bytes = 0;
        Exec("BEGIN");
        while (sqlite3_step(Scan_) == SQLITE_ROW)
            bytes += Inflate(sqlite3_column_blob(Scan_, 3), sqlite3_column_bytes(Scan_, 3)).size();
        sqlite3_reset(Scan_);
        Exec("COMMIT");
        return bytes;
    }
    size_t Search(const Workload& w) {
        size_t found = 0;
        for (int id : w.searchIds) {
            sqlite3_bind_int(Find_, 1, id);
            if (sqlite3_step(Find_) == SQLITE_ROW)
                found += sqlite3_column_int(Find_, 1) >= 0;
            sqlite3_reset(Find_);
        }
        return found;
    }
    void Modify(const Workload& w) {
        for (int i = 0; i < kOps; ++i) {
            Begin(i);
            const std::string packed = Deflate(w.Memo(i + 7));
            sqlite3_bind_blob(Update_, 1, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(Update_, 2, w.modifyIds[static_cast<size_t>(i)]);
            Step(Update_);
            End(i, kOps);
        }
    }
    void ModifyFirst(const Workload& w, int count) {
        for (int i = 0; i < count; ++i) {
            Begin(i);
            const std::string packed = Deflate(w.Memo(i + 7));
            sqlite3_bind_blob(Update_, 1, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int(Update_, 2, 1 + i % count);
            Step(Update_);
            End(i, count);
        }
    }
    // The position of the record to delete is chosen as for the engine; the
    // list of live IDs plays the part of the engine's in-memory natural list.
    void Delete(const Workload& w) {
        for (int i = 0; i < kOps; ++i) {
            Begin(i);
            const auto at =
                static_cast<size_t>(w.deleteFractions[static_cast<size_t>(i)] * static_cast<double>(LiveIds_.size()));
            const int id = LiveIds_[at];
            LiveIds_.erase(LiveIds_.begin() + static_cast<long>(at));
            sqlite3_bind_int(Delete_, 1, id);
            Step(Delete_);
            End(i, kOps);
        }
    }

private:
    sqlite3* Db_ = nullptr;
    sqlite3_stmt *Insert_ = nullptr, *Scan_ = nullptr, *Find_ = nullptr, *Update_ = nullptr, *Delete_ = nullptr;
    std::vector<int> LiveIds_;
    int Batch_;
};

// ---- steps ----------------------------------------------------------------------------------

struct Context {
    int n = RecordCount();
    Workload work{n};
    std::string folder = TempFolder();
    int durable = DurableCount();
    std::unique_ptr<TomeRun> tome, tomeEnc, tomeDurable;
    std::unique_ptr<SqliteRun> perOp, batched, full;
    std::map<std::string, std::map<std::string, double>> seconds;  // step -> engine -> s
    std::vector<std::string> steps;
    ~Context() { std::filesystem::remove_all(folder); }
};

Context& Ctx() {
    static Context context;
    return context;
}

template <class Body>
void Register(const std::string& step, const std::string& engine, Body body) {
    if (Ctx().seconds.find(step) == Ctx().seconds.end())
        Ctx().steps.push_back(step);
    Ctx().seconds[step][engine] = 0;
    benchmark::RegisterBenchmark(
        (step + "/" + engine).c_str(),
        [step, engine, body](benchmark::State& state) {
            for (auto _ : state) {
                const auto start = std::chrono::steady_clock::now();
                body();
                Ctx().seconds[step][engine] =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            }
        })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

void RegisterAll() {
    Context& c = Ctx();
    const std::vector<std::string> engines = {"tome", "tome-encrypted", "sqlite-per-op", "sqlite-batch"};
    c.tome = std::make_unique<TomeRun>(c.folder, false);
    c.tomeEnc = std::make_unique<TomeRun>(c.folder, true);
    c.perOp = std::make_unique<SqliteRun>(c.folder, 1);
    c.batched = std::make_unique<SqliteRun>(c.folder, 1000);
    auto tomes = [&c](const std::string& e) { return e == "tome" ? c.tome.get() : c.tomeEnc.get(); };
    auto peers = [&c](const std::string& e) { return e == "sqlite-per-op" ? c.perOp.get() : c.batched.get(); };
    for (const std::string& e : engines) {
        if (e.rfind("tome", 0) == 0)
            Register("append", e, [&c, t = tomes(e)] { t->Append(c.work, c.n); });
        else
            Register("append", e, [&c, s = peers(e)] { s->Append(c.work, c.n); });
    }
    for (const std::string& e : engines) {
        if (e.rfind("tome", 0) == 0)
            Register("read all", e, [t = tomes(e)] { benchmark::DoNotOptimize(t->ReadAll()); });
        else
            Register("read all", e, [s = peers(e)] { benchmark::DoNotOptimize(s->ReadAll()); });
    }
    for (const std::string& e : engines) {
        if (e.rfind("tome", 0) == 0)
            Register("10k searches", e, [&c, t = tomes(e)] { benchmark::DoNotOptimize(t->Search(c.work)); });
        else
            Register("10k searches", e, [&c, s = peers(e)] { benchmark::DoNotOptimize(s->Search(c.work)); });
    }
    for (const std::string& e : engines) {
        if (e.rfind("tome", 0) == 0)
            Register("10k memo modifies", e, [&c, t = tomes(e)] { t->Modify(c.work); });
        else
            Register("10k memo modifies", e, [&c, s = peers(e)] { s->Modify(c.work); });
    }
    for (const std::string& e : engines) {
        if (e.rfind("tome", 0) == 0)
            Register("10k deletes", e, [&c, t = tomes(e)] { t->Delete(c.work); });
        else
            Register("10k deletes", e, [&c, s = peers(e)] { s->Delete(c.work); });
    }
    c.tomeDurable = std::make_unique<TomeRun>(c.folder, false, true);
    c.full = std::make_unique<SqliteRun>(c.folder, 1, true);
    Register("durable appends", "tome-durable", [&c] { c.tomeDurable->Append(c.work, c.durable); });
    Register("durable appends", "sqlite-full", [&c] { c.full->Append(c.work, c.durable); });
    Register("durable modifies", "tome-durable", [&c] { c.tomeDurable->ModifyFirst(c.work, c.durable); });
    Register("durable modifies", "sqlite-full", [&c] { c.full->ModifyFirst(c.work, c.durable); });
}

void PrintRatios() {
    Context& c = Ctx();
    std::printf("\nTable storage vs SQLite, %d records (times in ms; ratio = engine / SQLite)\n", c.n);
    std::printf("%-20s %10s %10s %12s %12s %12s %12s %12s\n", "step", "tome", "tome-enc", "sqlite-1/tx", "sqlite-batch",
                "tome/1tx", "tome/batch", "enc/1tx");
    for (const std::string& step : c.steps) {
        auto& s = c.seconds[step];
        if (s.count("tome-durable"))
            continue;
        const double t = s["tome"] * 1e3, te = s["tome-encrypted"] * 1e3, p = s["sqlite-per-op"] * 1e3,
                     b = s["sqlite-batch"] * 1e3;
        std::printf("%-20s %10.1f %10.1f %12.1f %12.1f %12.2f %12.2f %12.2f\n", step.c_str(), t, te, p, b, t / p, t / b,
                    te / p);
    }
    std::printf("\nDurable writes, %d records, one per operation (ms; ratio = engine / SQLite WAL FULL)\n", c.durable);
    std::printf("%-20s %12s %12s %8s\n", "step", "tome", "sqlite-full", "ratio");
    for (const std::string& step : c.steps) {
        auto& s = c.seconds[step];
        if (!s.count("tome-durable"))
            continue;
        const double t = s["tome-durable"] * 1e3, f = s["sqlite-full"] * 1e3;
        std::printf("%-20s %12.1f %12.1f %8.2f\n", step.c_str(), t, f, t / f);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    PrintRatios();
    benchmark::Shutdown();
    return 0;
}
