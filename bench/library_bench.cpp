// The manuscript library data layer (TqlvDocData over the engine) against the
// same user actions on SQLite, in one run over the same data:
//   a library of LIBRARY_BENCH_DOCS manuscripts (default 10,000) of about 10 KB
//   of Chinese text each, in 200 folders three levels deep (8 x 4 x 5), with one
//   mark per manuscript and one picture per two manuscripts.
// SQLite: WAL mode with synchronous=FULL (the library's writes are durable:
// on disk when they return), one transaction per user action, texts
// zlib-compressed as the engine does (default level), indexes on every parent
// column. The import is one write batch in the engine and one transaction in
// SQLite.
// Steps: import (one-shot), open, LoadFolderTree, LoadDocList of every folder,
// LoadDocText, SaveDoc, DeleteFolder of a second-level subtree, compact.
// After the timings the ratio engine / SQLite of each step is printed.
//
// Listing a folder is a filter over every manuscript record. Its peer for the
// 2x target is the same scans over the Docs fixed parts held in memory: each
// record's fixed part copied out and its PID tested ("memory/EveryDocList"),
// and, stricter, only the PID read ("memory/EveryDocListKeyOnly").
// Finally a child process opens the library through the data layer, loads
// the folder tree, every folder's list and 100 texts, and reports its
// resident memory.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <zlib.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "library/DocDataEngine.h"
#include "library/TqlvDocData.h"
#include "platform/TextCodec.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableIO.h"

namespace {

using Clock = std::chrono::steady_clock;

int DocCount() {
    const char* env = std::getenv("LIBRARY_BENCH_DOCS");
    const int n = env ? std::atoi(env) : 0;
    return n > 0 ? n : 10000;
}

// About 10 KB of GB18030: ~5,000 CJK characters drawn with a skew towards the
// frequent ones, lines of 40 characters joined by CR LF.
QString ChineseText(uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    QString text;
    text.reserve(5300);
    for (int i = 1; i <= 4900; ++i) {
        const double r = u(rng);
        text += QChar(0x4E00 + static_cast<int>(r * r * 3000));
        if (i % 40 == 0)
            text += QStringLiteral("\r\n");
        else if (i % 17 == 0)
            text += QChar(0xFF0C);  // ，
    }
    return text;
}

// ---- the two stores --------------------------------------------------------------

struct Layout {
    std::vector<int> folders;      // all 200, engine IDs
    std::vector<int> secondLevel;  // subtrees to delete
    std::vector<int> docs;         // engine IDs
};

struct SqliteStore {
    sqlite3* db = nullptr;
    std::string path;

    void Exec(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", error);
            std::abort();
        }
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
            std::abort();
        }
        return stmt;
    }
};

std::string Compress(const QByteArray& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.constData()),
              static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION);
    out.resize(size);
    return out;
}

QByteArray Uncompress(const void* data, int size, int rawSize) {
    QByteArray out(rawSize, Qt::Uninitialized);
    uLongf outSize = static_cast<uLongf>(rawSize);
    uncompress(reinterpret_cast<Bytef*>(out.data()), &outSize, static_cast<const Bytef*>(data),
               static_cast<uLong>(size));
    out.resize(static_cast<qsizetype>(outSize));
    return out;
}

const char* kSchema =
    "CREATE TABLE folders(id INTEGER PRIMARY KEY, pid INT, name TEXT);"
    "CREATE TABLE docs(id INTEGER PRIMARY KEY, pid INT, name TEXT, docsize INT, cdate REAL,"
    " mdate REAL, cncount INT, encount INT, piccount INT, markcount INT, publish TEXT,"
    " money INT, rawsize INT, txt BLOB);"
    "CREATE TABLE marks(id INTEGER PRIMARY KEY, name TEXT, content TEXT, parent INT,"
    " parentname TEXT, posline INT);"
    "CREATE TABLE pics(id INTEGER PRIMARY KEY, parent INT, name TEXT, path TEXT);"
    "CREATE INDEX folders_pid ON folders(pid); CREATE INDEX docs_pid ON docs(pid);"
    "CREATE INDEX marks_parent ON marks(parent); CREATE INDEX pics_parent ON pics(parent);";

void OpenSqlite(SqliteStore& store) {
    sqlite3_open_v2(store.path.c_str(), &store.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    store.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
}

// The fixed parts of one table, as stored, one after the other.
struct FixedImage {
    std::vector<uint8_t> bytes;
    size_t recordSize = 0;
    size_t keyOffset = 0;
    size_t count = 0;
};

FixedImage LoadFixedParts(const std::string& path, const std::string& table, const std::string& field) {
    tomedb::TTomeDBFileIO io;
    io.Open(path, tomedb::mtDisk, 0, true, false);
    tomedb::TTomeTableIO storage(io, table);
    storage.Open();
    FixedImage image;
    image.recordSize = static_cast<size_t>(storage.RecordSize());
    for (int f = 0; f < storage.FieldDefs().Count(); ++f)
        if (QString::fromStdString(storage.FieldDefs().At(f).Name)
                .compare(QString::fromStdString(field), Qt::CaseInsensitive) == 0)
            image.keyOffset = static_cast<size_t>(storage.FieldOffsets()[static_cast<size_t>(f)]);
    const tomedb::TElementList& list = storage.IndexList(0);
    image.count = list.size();
    image.bytes.resize(image.count * image.recordSize);
    for (size_t i = 0; i < list.size(); ++i)
        io.ReadExact(list[i].DataOffset, &image.bytes[i * image.recordSize], image.recordSize);
    return image;
}

struct World {
    QTemporaryDir dir;
    TqlvDocData data;
    QString libraryFile;
    SqliteStore sql;
    Layout layout;
    std::vector<QString> texts;
    double importTomeMs = 0;
    double importSqliteMs = 0;
    FixedImage docsInMemory;
};

World* g_world = nullptr;

// Folder i's parent index in the 8 x 4 x 5 tree (-1 for the top level).
void BuildFolders(World& w, std::vector<int>& sqlFolderIDs) {
    std::vector<int> parents(200, -1);
    for (int top = 0; top < 8; ++top)
        for (int mid = 0; mid < 4; ++mid) {
            const int midIndex = 8 + top * 4 + mid;
            parents[static_cast<size_t>(midIndex)] = top;
            for (int leaf = 0; leaf < 5; ++leaf)
                parents[static_cast<size_t>(40 + (top * 4 + mid) * 5 + leaf)] = midIndex;
        }
    sqlite3_stmt* insert = w.sql.Prepare("INSERT INTO folders(pid, name) VALUES(?, ?)");
    for (size_t i = 0; i < parents.size(); ++i) {
        const int parent = parents[i];
        const QString name = QStringLiteral("稿件夹%1").arg(i);
        w.layout.folders.push_back(
            w.data.AddFolder(parent < 0 ? 0 : w.layout.folders[static_cast<size_t>(parent)], name));
        const QByteArray gb = ToGB(name);
        sqlite3_bind_int(insert, 1, parent < 0 ? 0 : sqlFolderIDs[static_cast<size_t>(parent)]);
        sqlite3_bind_blob(insert, 2, gb.constData(), static_cast<int>(gb.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        sqlFolderIDs.push_back(static_cast<int>(sqlite3_last_insert_rowid(w.sql.db)));
        if (i >= 8 && i < 40)
            w.layout.secondLevel.push_back(static_cast<int>(i));
    }
    sqlite3_finalize(insert);
}

void ImportTome(World& w, int docs) {
    const auto start = Clock::now();
    tomedb::TTomeWriteBatch batch(TDocDataEngine::Database(w.data));
    for (int i = 0; i < docs; ++i) {
        TDocAttr attr;
        attr.DocName = QStringLiteral("稿件%1").arg(i);
        attr.Txt = w.texts[static_cast<size_t>(i) % w.texts.size()];
        const int id = w.data.AddDoc(w.layout.folders[static_cast<size_t>(i % 200)], attr);
        w.layout.docs.push_back(id);
        w.data.AddMark(TMark{QStringLiteral("标签%1").arg(i), attr.DocName, QStringLiteral("备注"), id, 10});
        if (i % 2 == 0)
            w.data.AddPicture(QStringLiteral("/home/作者/图片/插图%1.jpg").arg(i), id);
    }
    batch.Finish();
    w.importTomeMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void ImportSqlite(World& w, int docs, const std::vector<int>& folderIDs) {
    SqliteStore& s = w.sql;
    sqlite3_stmt* doc = s.Prepare("INSERT INTO docs(pid, name, rawsize, txt) VALUES(?, ?, ?, ?)");
    sqlite3_stmt* mark =
        s.Prepare("INSERT INTO marks(name, content, parent, parentname, posline) VALUES(?, ?, ?, ?, 10)");
    sqlite3_stmt* pic = s.Prepare("INSERT INTO pics(parent, name, path) VALUES(?, ?, ?)");
    const auto start = Clock::now();
    s.Exec("BEGIN");
    for (int i = 0; i < docs; ++i) {
        const QByteArray name = ToGB(QStringLiteral("稿件%1").arg(i));
        const QByteArray text = ToGB(w.texts[static_cast<size_t>(i) % w.texts.size()]);
        const std::string packed = Compress(text);
        sqlite3_bind_int(doc, 1, folderIDs[static_cast<size_t>(i % 200)]);
        sqlite3_bind_blob(doc, 2, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(doc, 3, static_cast<int>(text.size()));
        sqlite3_bind_blob(doc, 4, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
        sqlite3_step(doc);
        sqlite3_reset(doc);
        const int id = static_cast<int>(sqlite3_last_insert_rowid(s.db));
        const QByteArray markName = ToGB(QStringLiteral("标签%1").arg(i));
        sqlite3_bind_blob(mark, 1, markName.constData(), static_cast<int>(markName.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(mark, 2, "note", -1, SQLITE_STATIC);
        sqlite3_bind_int(mark, 3, id);
        sqlite3_bind_blob(mark, 4, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_step(mark);
        sqlite3_reset(mark);
        if (i % 2 == 0) {
            const QByteArray path = ToGB(QStringLiteral("/home/作者/图片/插图%1.jpg").arg(i));
            sqlite3_bind_int(pic, 1, id);
            sqlite3_bind_text(pic, 2, "pic", -1, SQLITE_STATIC);
            sqlite3_bind_blob(pic, 3, path.constData(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
            sqlite3_step(pic);
            sqlite3_reset(pic);
        }
    }
    s.Exec("COMMIT");
    w.importSqliteMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    for (sqlite3_stmt* stmt : {doc, mark, pic})
        sqlite3_finalize(stmt);
}

void BuildWorld(World& w) {
    const int docs = DocCount();
    for (uint32_t i = 0; i < 64; ++i)
        w.texts.push_back(ChineseText(i + 1));
    QString created;
    if (!w.data.CreateDocData(w.dir.path() + "/bench", QStringLiteral("基准"), QString(), true, false, false, 2,
                              &created) ||
        !w.data.OpenDocData(created))
        std::abort();
    w.libraryFile = created;
    w.sql.path = (w.dir.path() + "/bench.sqlite").toStdString();
    OpenSqlite(w.sql);
    w.sql.Exec(kSchema);
    std::vector<int> sqlFolders;
    BuildFolders(w, sqlFolders);
    ImportTome(w, docs);
    ImportSqlite(w, docs, sqlFolders);
    w.docsInMemory = LoadFixedParts(w.libraryFile.toStdString(), "Docs", "PID");
}

// ---- SQLite counterparts of the data-layer operations ------------------------------

void SqlFillNode(sqlite3_stmt* stmt, TViewNode& node) {
    sqlite3_bind_int(stmt, 1, node.ID);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        TViewNode child;
        child.ID = sqlite3_column_int(stmt, 0);
        child.Caption =
            FromGB(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, 1)), sqlite3_column_bytes(stmt, 1)));
        node.Children.push_back(std::move(child));
    }
    sqlite3_reset(stmt);
    for (TViewNode& child : node.Children)
        SqlFillNode(stmt, child);
}

TViewItems SqlDocList(sqlite3_stmt* stmt, int folder) {
    TViewItems items;
    sqlite3_bind_int(stmt, 1, folder);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        TViewItem item;
        item.ID = sqlite3_column_int(stmt, 0);
        item.Caption =
            FromGB(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, 1)), sqlite3_column_bytes(stmt, 1)));
        item.ImageIndex = docimages::Manuscript;
        item.SubItems << QString::fromLatin1(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)))
                      << QString::fromLatin1(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        items.push_back(std::move(item));
    }
    sqlite3_reset(stmt);
    return items;
}

int SqlScalar(sqlite3_stmt* stmt, int key) {
    sqlite3_bind_int(stmt, 1, key);
    sqlite3_step(stmt);
    const int value = sqlite3_column_int(stmt, 0);
    sqlite3_reset(stmt);
    return value;
}

// SQLite IDs equal the engine's: both stores got the same inserts in the same order.
void SqlDeleteSubtree(SqliteStore& s, int folder) {
    s.Exec("BEGIN");
    sqlite3_stmt* children = s.Prepare("SELECT id FROM folders WHERE pid=?");
    std::vector<int> all{folder};
    for (size_t i = 0; i < all.size(); ++i) {
        sqlite3_bind_int(children, 1, all[i]);
        while (sqlite3_step(children) == SQLITE_ROW)
            all.push_back(sqlite3_column_int(children, 0));
        sqlite3_reset(children);
    }
    sqlite3_finalize(children);
    sqlite3_stmt* marks = s.Prepare("DELETE FROM marks WHERE parent IN (SELECT id FROM docs WHERE pid=?)");
    sqlite3_stmt* pics = s.Prepare("DELETE FROM pics WHERE parent IN (SELECT id FROM docs WHERE pid=?)");
    sqlite3_stmt* docs = s.Prepare("DELETE FROM docs WHERE pid=?");
    sqlite3_stmt* folders = s.Prepare("DELETE FROM folders WHERE id=?");
    for (int id : all)
        for (sqlite3_stmt* stmt : {marks, pics, docs, folders}) {
            sqlite3_bind_int(stmt, 1, id);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
    for (sqlite3_stmt* stmt : {marks, pics, docs, folders})
        sqlite3_finalize(stmt);
    s.Exec("COMMIT");
}

// ---- benchmarks ------------------------------------------------------------------------

void TomeOpen(benchmark::State& state) {
    World& w = *g_world;
    for (auto _ : state) {
        state.PauseTiming();
        w.data.CloseDocData();
        state.ResumeTiming();
        benchmark::DoNotOptimize(w.data.OpenDocData(w.libraryFile));
    }
}

void SqliteOpen(benchmark::State& state) {
    World& w = *g_world;
    for (auto _ : state) {
        SqliteStore other;
        other.path = w.sql.path;
        OpenSqlite(other);
        sqlite3_stmt* stmt = other.Prepare("SELECT count(*) FROM folders");
        sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        state.PauseTiming();
        sqlite3_close(other.db);
        state.ResumeTiming();
    }
}

void TomeFolderTree(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(g_world->data.LoadFolderTree());
}

void SqliteFolderTree(benchmark::State& state) {
    sqlite3_stmt* stmt = g_world->sql.Prepare("SELECT id, name FROM folders WHERE pid=? ORDER BY id");
    for (auto _ : state) {
        TViewNode root;
        root.Caption = QStringLiteral("稿件夹");
        SqlFillNode(stmt, root);
        benchmark::DoNotOptimize(root);
    }
    sqlite3_finalize(stmt);
}

void TomeEveryDocList(benchmark::State& state) {
    World& w = *g_world;
    for (auto _ : state) {
        size_t listed = w.data.LoadDocList(0).size();
        for (int folder : w.layout.folders)
            listed += w.data.LoadDocList(folder).size();
        benchmark::DoNotOptimize(listed);
    }
}

void SqliteEveryDocList(benchmark::State& state) {
    World& w = *g_world;
    sqlite3_stmt* stmt =
        w.sql.Prepare("SELECT id, name, ifnull(piccount,''), ifnull(markcount,'') FROM docs WHERE pid=? ORDER BY id");
    for (auto _ : state) {
        size_t listed = SqlDocList(stmt, 0).size();
        for (int folder : w.layout.folders)
            listed += SqlDocList(stmt, folder).size();
        benchmark::DoNotOptimize(listed);
    }
    sqlite3_finalize(stmt);
}

// The peers of listing every folder: the same filter scans over the fixed
// parts in memory.
template <bool wholeRecord>
void MemoryEveryDocList(benchmark::State& state) {
    const World& w = *g_world;
    const FixedImage& image = w.docsInMemory;
    std::vector<uint8_t> record(image.recordSize);
    std::vector<int> keys{0};
    keys.insert(keys.end(), w.layout.folders.begin(), w.layout.folders.end());
    for (auto _ : state) {
        size_t listed = 0;
        for (int key : keys) {
            for (size_t i = 0; i < image.count; ++i) {
                const uint8_t* stored = &image.bytes[i * image.recordSize];
                if (wholeRecord) {
                    std::memcpy(record.data(), stored, image.recordSize);
                    benchmark::DoNotOptimize(record.data());
                    stored = record.data();
                }
                listed += tomedb::format::GetI32(stored + image.keyOffset) == key;
            }
        }
        benchmark::DoNotOptimize(listed);
    }
}

void TomeDocText(benchmark::State& state) {
    World& w = *g_world;
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(w.data.LoadDocText(w.layout.docs[(i++ * 7919) % w.layout.docs.size()]));
}

void SqliteDocText(benchmark::State& state) {
    World& w = *g_world;
    sqlite3_stmt* stmt = w.sql.Prepare("SELECT rawsize, txt FROM docs WHERE id=?");
    size_t i = 0;
    for (auto _ : state) {
        sqlite3_bind_int(stmt, 1, w.layout.docs[(i++ * 7919) % w.layout.docs.size()]);
        sqlite3_step(stmt);
        const QByteArray raw =
            Uncompress(sqlite3_column_blob(stmt, 1), sqlite3_column_bytes(stmt, 1), sqlite3_column_int(stmt, 0));
        benchmark::DoNotOptimize(FromGB(raw));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
}

TDocAttr SaveAttr(const World& w, size_t i) {
    TDocAttr attr;
    attr.Txt = QString::number(i) + w.texts[i % w.texts.size()];
    attr.DocSize = QString::number(GBLength(attr.Txt));
    attr.cnCount = QStringLiteral("4900");
    attr.enCount = QStringLiteral("1");
    return attr;
}

void TomeSaveDoc(benchmark::State& state) {
    World& w = *g_world;
    size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const TDocAttr attr = SaveAttr(w, i);
        const int id = w.layout.docs[(i++ * 104729) % w.layout.docs.size()];
        state.ResumeTiming();
        w.data.SaveDoc(id, attr);
    }
}

void SqliteSaveDoc(benchmark::State& state) {
    World& w = *g_world;
    SqliteStore& s = w.sql;
    sqlite3_stmt* marks = s.Prepare("SELECT count(*) FROM marks WHERE parent=?");
    sqlite3_stmt* pics = s.Prepare("SELECT count(*) FROM pics WHERE parent=?");
    sqlite3_stmt* update = s.Prepare(
        "UPDATE docs SET docsize=?, mdate=julianday('now'), cncount=?, encount=?, markcount=?,"
        " piccount=?, rawsize=?, txt=? WHERE id=?");
    size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const TDocAttr attr = SaveAttr(w, i);
        const int id = w.layout.docs[(i++ * 104729) % w.layout.docs.size()];
        state.ResumeTiming();
        s.Exec("BEGIN");
        const QByteArray text = ToGB(attr.Txt);
        const std::string packed = Compress(text);
        sqlite3_bind_int(update, 1, attr.DocSize.toInt());
        sqlite3_bind_int(update, 2, attr.cnCount.toInt());
        sqlite3_bind_int(update, 3, attr.enCount.toInt());
        sqlite3_bind_int(update, 4, SqlScalar(marks, id));
        sqlite3_bind_int(update, 5, SqlScalar(pics, id));
        sqlite3_bind_int(update, 6, static_cast<int>(text.size()));
        sqlite3_bind_blob(update, 7, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(update, 8, id);
        sqlite3_step(update);
        sqlite3_reset(update);
        s.Exec("COMMIT");
    }
    for (sqlite3_stmt* stmt : {marks, pics, update})
        sqlite3_finalize(stmt);
}

constexpr int kDeleteRounds = 4;

void TomeDeleteSubtree(benchmark::State& state) {
    World& w = *g_world;
    size_t i = 0;
    for (auto _ : state)
        w.data.DeleteFolder(w.layout.folders[static_cast<size_t>(w.layout.secondLevel[i++])]);
}

void SqliteDeleteSubtree(benchmark::State& state) {
    World& w = *g_world;
    size_t i = 0;
    for (auto _ : state)
        SqlDeleteSubtree(w.sql, w.layout.folders[static_cast<size_t>(w.layout.secondLevel[i++])]);
}

void TomeCompact(benchmark::State& state) {
    for (auto _ : state)
        g_world->data.CompressDocData();
}

void SqliteCompact(benchmark::State& state) {
    for (auto _ : state)
        g_world->sql.Exec("VACUUM; PRAGMA wal_checkpoint(TRUNCATE);");
}

// Collects the mean real time of every run to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

// Resident memory of a process that opened the library through the data
// layer and listed all of it (run as a child: see RssProbeReport).
int RssProbe(const QString& library) {
    TqlvDocData data;
    if (!data.OpenDocData(library))
        return 1;
    const TViewNode tree = data.LoadFolderTree();
    std::vector<const TViewNode*> pending{&tree};
    size_t items = 0, texts = 0;
    while (!pending.empty()) {
        const TViewNode* node = pending.back();
        pending.pop_back();
        for (const TViewItem& item : data.LoadDocList(node->ID)) {
            ++items;
            if (texts < 100)
                texts += data.LoadDocText(item.ID).isEmpty() ? 0 : 1;
        }
        for (const TViewNode& child : node->Children)
            pending.push_back(&child);
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:") || line.startsWith("VmHWM:"))
            std::printf("%s\n", line.simplified().constData());
    std::printf("listed %zu manuscripts, loaded %zu texts\n", items, texts);
    return 0;
}

std::string RssProbeReport(const QString& library) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rss"), library});
    child.waitForFinished(120000);
    return "\ndata layer with the whole library open and listed (child process):\n" +
           child.readAllStandardOutput().toStdString();
}

void PrintRatios(const RatioReporter& reporter) {
    std::printf("\n%-22s %14s %14s %8s\n", "step", "engine", "sqlite", "ratio");
    std::printf("%-22s %12.1fms %12.1fms %8.2f   (one-shot; %d manuscripts)\n", "import", g_world->importTomeMs,
                g_world->importSqliteMs, g_world->importTomeMs / g_world->importSqliteMs, DocCount());
    for (const char* step : {"Open", "FolderTree", "EveryDocList", "DocText", "SaveDoc", "DeleteSubtree", "Compact"}) {
        const auto tome = reporter.times.find(std::string("tome/") + step);
        const auto sql = reporter.times.find(std::string("sqlite/") + step);
        if (tome == reporter.times.end() || sql == reporter.times.end())
            continue;
        std::printf("%-22s %12.3fms %12.3fms %8.2f\n", step, tome->second, sql->second, tome->second / sql->second);
    }
    const auto list = reporter.times.find("tome/EveryDocList");
    for (const char* peer : {"memory/EveryDocList", "memory/EveryDocListKeyOnly"}) {
        const auto memory = reporter.times.find(peer);
        if (list == reporter.times.end() || memory == reporter.times.end())
            continue;
        std::printf("%-22s %12.3fms %12.3fms %8.2f   (engine / %s)\n", "EveryDocList", list->second, memory->second,
                    list->second / memory->second, peer);
    }
}

void Register() {
    using Fn = void (*)(benchmark::State&);
    const struct {
        const char* step;
        Fn tome;
        Fn sqlite;
        int iterations;
    } steps[] = {{"Open", TomeOpen, SqliteOpen, 0},
                 {"FolderTree", TomeFolderTree, SqliteFolderTree, 0},
                 {"EveryDocList", TomeEveryDocList, SqliteEveryDocList, 0},
                 {"DocText", TomeDocText, SqliteDocText, 0},
                 {"SaveDoc", TomeSaveDoc, SqliteSaveDoc, 0},
                 {"DeleteSubtree", TomeDeleteSubtree, SqliteDeleteSubtree, kDeleteRounds},
                 {"Compact", TomeCompact, SqliteCompact, 2}};
    benchmark::RegisterBenchmark("memory/EveryDocList", MemoryEveryDocList<true>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("memory/EveryDocListKeyOnly", MemoryEveryDocList<false>)
        ->Unit(benchmark::kMillisecond);
    for (const auto& step : steps)
        for (auto [prefix, fn] : {std::pair{"tome/", step.tome}, std::pair{"sqlite/", step.sqlite}}) {
            auto* b = benchmark::RegisterBenchmark((std::string(prefix) + step.step).c_str(), fn)
                          ->Unit(benchmark::kMillisecond);
            if (step.iterations > 0)
                b->Iterations(step.iterations);
        }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--rss")
        return RssProbe(QString::fromLocal8Bit(argv[2]));
    World world;
    g_world = &world;
    std::printf("building %d manuscripts in both stores...\n", DocCount());
    BuildWorld(world);
    const std::string rss = RssProbeReport(world.libraryFile);
    Register();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    std::printf("%s", rss.c_str());
    sqlite3_close(world.sql.db);
    benchmark::Shutdown();
    return 0;
}
