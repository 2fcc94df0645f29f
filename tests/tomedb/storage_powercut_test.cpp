// Power cuts: the medium keeps the writes since the last barrier in a page
// cache, and a cut loses any of them, whole or sector by sector. After a cut
// at every moment of each write operation (durable writes), the image opens,
// reads whole, keeps every record it held before, shows the operation either
// done or not (a record rewritten in place may be lost, nothing else), and
// takes further appends without landing them under a live record.
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include <fstream>
#include <iterator>

#include "storage_fixture.h"
#include "tomedb/TomeDB.h"
#include "tomedb/storage/TomeFaultMedium.h"

using namespace storage_test;
using namespace tomedb::format;

namespace {

struct Row {
    std::string name;
    int32_t size = 0;
    std::string text;
    bool operator==(const Row&) const = default;
};

// What a check compares: the tables, the index count of "Empty", the comment
// and every live record of "Docs" by ID.
struct State {
    std::vector<std::string> tables;
    int emptyIndexes = 0;
    size_t emptyRecords = 0;
    std::string comment;
    std::map<int32_t, Row> docs;
    bool operator==(const State&) const = default;
};

constexpr int kUnreadable = -1;
constexpr int kBaseRecords = 16;

// Reads everything; Docs' lists must agree, its names be unique and no two
// records share a fixed part. A blob that cannot be decoded reads as
// "<unreadable>" (allowed only for a record rewritten in place).
State ReadState(TTomeDBFileIO& io) {
    State state;
    io.GetTableNames(state.tables);
    io.GetComments(state.comment, "pw");
    for (const std::string& name : state.tables) {
        TTomeTableIO table(io, name);
        table.Open();
        if (name == "Empty") {
            state.emptyIndexes = table.IndexDefs().Count();
            state.emptyRecords = table.IndexList(0).size();
        }
        if (name != "Docs")
            continue;
        std::set<int32_t> offsets;
        std::set<std::string> names;
        for (int list = 0; list < table.ListCount(); ++list)
            EXPECT_EQ(table.IndexList(list).size(), table.IndexList(0).size()) << "list " << list;
        const TElementList& natural = table.IndexList(0);
        for (size_t i = 0; i < natural.size(); ++i) {
            EXPECT_TRUE(offsets.insert(natural[i].DataOffset).second)
                << "two records share offset " << natural[i].DataOffset;
            Record r(table);
            table.ReadRecord(r.Buffers, natural, static_cast<int>(i));
            Row row{r.GetStr(1), r.GetInt(2), {}};
            try {
                row.text = r.GetBlob(3);
            } catch (const std::exception&) {
                row.text = "<unreadable>";
                row.size = kUnreadable;
            }
            EXPECT_TRUE(names.insert(row.name).second) << "name twice: " << row.name;
            state.docs[r.GetInt(0)] = row;
        }
    }
    return state;
}

// A read-only look at an image; a failure to read it is a test failure.
State StateOf(const std::vector<uint8_t>& bytes) {
    TTomeMemoryImage image(bytes);
    try {
        TTomeDBFileIO io;
        io.Open(image.Name(), mtMemory, 0, true, false);
        EXPECT_TRUE(io.CheckPassword("pw"));
        return ReadState(io);
    } catch (const EDatabaseError& e) {
        ADD_FAILURE() << "cannot read the image: " << e.what();
    }
    return {};
}

// "Docs" (ID auto-increment, Name unique, Size, Txt memo) with 16 records
// (or as many as asked), two deleted; "Empty" without records or indexes.
std::vector<uint8_t> BuildBase(bool encrypt, int records = kBaseRecords) {
    MemoryDb db(encrypt, false, true, "pw");
    EXPECT_TRUE(db.Io->CreateTable(
        "Docs", {Field("ID", ftAutoInc), Field("Name", ftString, 24), Field("Size", ftInteger), Field("Txt", ftMemo)}));
    EXPECT_TRUE(db.Io->CreateIndex("Docs", "ByName", tiUnique, {"Name"}));
    EXPECT_TRUE(db.Io->CreateTable("Empty", {Field("A", ftInteger), Field("B", ftString, 8)}));
    EXPECT_TRUE(db.Io->SetComments("before", "pw"));
    auto table = db.Table("Docs");
    for (int i = 0; i < records; ++i) {
        Record r(*table);
        const size_t text = i < kBaseRecords ? static_cast<size_t>(200 + i * 97) : 0;  // the rest only fill chunks
        r.Str(1, "doc" + std::to_string(i)).Int(2, i).Blob(3, std::string(text, static_cast<char>('a' + i % 26)));
        table->AppendRecord(r.Buffers, false);
    }
    table->DeleteRecord(3, false);
    table->DeleteRecord(11, false);
    return db.Image.Bytes();
}

struct Operation {
    const char* what;
    bool mayLoseTarget;  // rewrites a record in place: a cut may garble that record
    std::function<void(TTomeDBFileIO&)> run;
    int baseRecords = kBaseRecords;
};

void ModifyDoc(TTomeDBFileIO& io, int natural, const std::string& name, const std::string& text) {
    TTomeTableIO table(io, "Docs");
    table.Open();
    Record r(table);
    table.ReadRecord(r.Buffers, table.IndexList(0), natural);
    r.Str(1, name).Int(2, 777).Blob(3, text);
    table.ModifyRecord(r.Buffers, natural, nullptr, nullptr, true);
}

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"append", false,
         [](TTomeDBFileIO& io) {
             TTomeTableIO table(io, "Docs");
             table.Open();
             Record r(table);
             r.Str(1, "appended").Int(2, 99).Blob(3, std::string(2500, 'N'));
             table.AppendRecord(r.Buffers, true);
         }},
        {"append opening new chunks", false,
         [](TTomeDBFileIO& io) {
             TTomeTableIO table(io, "Docs");
             table.Open();
             Record r(table);
             r.Str(1, "chunk").Int(2, 98).Blob(3, std::string(700, 'C'));
             table.AppendRecord(r.Buffers, true);
         },
         1024},
        {"first append of a table", false,
         [](TTomeDBFileIO& io) {
             TTomeTableIO table(io, "Empty");
             table.Open();
             Record r(table);
             r.Int(0, 5).Str(1, "one");
             table.AppendRecord(r.Buffers, true);
         }},
        {"modify in place", true, [](TTomeDBFileIO& io) { ModifyDoc(io, 4, "renamed", "short"); }},
        {"modify moving the blob", false, [](TTomeDBFileIO& io) { ModifyDoc(io, 6, "moved", Noise(9000)); }},
        {"delete", false,
         [](TTomeDBFileIO& io) {
             TTomeTableIO table(io, "Docs");
             table.Open();
             table.DeleteRecord(7, true);
         }},
        {"create table", false,
         [](TTomeDBFileIO& io) {
             ASSERT_TRUE(io.CreateTable("Notes", {Field("Key", ftInteger), Field("Body", ftMemo)}));
         }},
        {"create index", false,
         [](TTomeDBFileIO& io) { ASSERT_TRUE(io.CreateIndex("Empty", "ByB", tiCaseInsensitive, {"B"})); }},
        {"header write", false, [](TTomeDBFileIO& io) { ASSERT_TRUE(io.SetComments("after", "pw")); }},
    };
    return operations;
}

// The loss patterns tried at one cut point: all or none of the writes in the
// cache land, and (perWrite) each one lost alone, each prefix, each write
// torn keeping its first or its last sector, and random sectors.
std::vector<TTomeLandsRule> LossPatterns(const std::vector<TTomeMediumEvent>& events, size_t cut,
                                         bool perWrite = true) {
    const size_t pending = WritesAfterLastBarrier(events, cut);
    std::vector<TTomeLandsRule> rules;
    rules.push_back([](size_t, size_t, size_t) { return true; });
    if (pending == 0)
        return rules;
    rules.push_back([](size_t, size_t, size_t) { return false; });
    std::vector<size_t> pieces;
    for (size_t i = cut - pending; i < cut; ++i)
        pieces.push_back(SectorPieces(events[i].Position, events[i].Bytes.size()));
    for (size_t w = 0; w < pending && perWrite; ++w) {
        rules.push_back([w](size_t write, size_t, size_t) { return write != w; });  // one write lost
        rules.push_back([w](size_t write, size_t, size_t) { return write < w; });   // a prefix landed
        if (pieces[w] < 2)
            continue;
        rules.push_back([w](size_t write, size_t piece, size_t) { return write != w || piece == 0; });
        rules.push_back([w](size_t write, size_t piece, size_t n) { return write != w || piece + 1 == n; });
    }
    for (unsigned seed = 1; seed <= 2; ++seed) {
        auto random = std::make_shared<std::mt19937>(seed * 7919 + static_cast<unsigned>(cut));
        rules.push_back([random](size_t, size_t, size_t) { return (*random)() % 2 == 0; });
    }
    return rules;
}

// The image takes an append afterwards; it lands apart from every record.
void AppendAfterwards(TTomeDBFileIO& io, const State& seen) {
    {
        TTomeTableIO table(io, "Docs");
        table.Open();
        Record r(table);
        r.Str(1, "later").Int(2, 1).Blob(3, "later text");
        table.AppendRecord(r.Buffers, true);
    }
    const State after = ReadState(io);
    EXPECT_EQ(after.docs.size(), seen.docs.size() + 1);
    for (const auto& [id, row] : seen.docs) {
        auto it = after.docs.find(id);
        ASSERT_NE(it, after.docs.end()) << "record " << id << " lost by a later append";
        EXPECT_EQ(it->second, row) << "record " << id << " changed by a later append";
    }
}

// The number of events up to the last sync among the first `returned`: an
// operation that returned after them is acknowledged from there on,
// whatever a later cut loses.
size_t Acknowledged(const std::vector<TTomeMediumEvent>& events, size_t returned) {
    size_t at = 0;
    for (size_t i = 0; i < returned && i < events.size(); ++i)
        if (events[i].Barrier)
            at = i + 1;
    return at;
}

// Commit slots of all tables that are not zero.
int CommitSlotsInUse(const std::vector<uint8_t>& bytes) {
    TTomeMemoryImage image(bytes);
    TTomeDBFileIO io;
    io.Open(image.Name(), mtMemory, 0, true, false);
    int inUse = 0;
    for (int t = 0; t < io.TableCount(); ++t) {
        TTableHeader header;
        io.ReadTableHeader(t, header);
        for (int i = 0; i < kCommitSlotSize * kCommitSlotCount; ++i)
            if (header.Bytes[static_cast<size_t>(kTHCommitSlots + i)] != 0) {
                ++inUse;
                break;
            }
    }
    return inUse;
}

struct Tally {
    size_t cutPoints = 0;
    size_t images = 0;
};

// A cut before the operation returned leaves the state before or after it;
// an operation that may lose its target leaves every other record intact.
void CheckCut(const Operation& op, const State& before, const State& after, const State& seen) {
    if (seen == before || seen == after)
        return;
    ASSERT_TRUE(op.mayLoseTarget) << "neither before nor after";
    EXPECT_EQ(seen.tables, before.tables);
    for (const auto& [id, row] : before.docs) {
        auto it = seen.docs.find(id);
        ASSERT_NE(it, seen.docs.end()) << "record " << id << " lost";
        if (row != after.docs.at(id))
            continue;  // the target
        EXPECT_EQ(it->second, row) << "record " << id << " changed";
    }
}

void RunOperation(const Operation& op, bool encrypt, const std::vector<uint8_t>& base, Tally& tally) {
    SCOPED_TRACE(std::string(op.what) + (encrypt ? " encrypted" : " plain"));
    const State before = StateOf(base);
    TTomeMemoryImage image(base);
    TTomeFaultMedium medium(image);
    size_t returned = 0;  // events logged when the operation returned
    {
        TTomeDBFileIO io;
        io.OpenMedium(medium, "cut", false);
        ASSERT_TRUE(io.CheckPassword("pw"));
        io.SetDurableWrites(true);
        medium.LogWrites();
        op.run(io);
        returned = medium.Events().size();
    }
    const std::vector<TTomeMediumEvent>& events = medium.Events();
    ASSERT_FALSE(events.empty());
    const size_t acknowledged = Acknowledged(events, returned);
    ASSERT_GT(acknowledged, 0u) << "a durable operation syncs before it returns";
    const State after = StateOf(image.Bytes());
    ASSERT_NE(after, before);
    EXPECT_EQ(CommitSlotsInUse(image.Bytes()), 0) << "a closed file has zero reserved bytes";
    for (size_t cut = 0; cut <= events.size(); ++cut) {
        ++tally.cutPoints;
        for (const TTomeLandsRule& lands : LossPatterns(events, cut)) {
            SCOPED_TRACE("cut after event " + std::to_string(cut) + " of " + std::to_string(events.size()) +
                         ", pattern " + std::to_string(tally.images));
            ++tally.images;
            const std::vector<uint8_t> bytes = ImageAfterPowerCut(base, events, cut, lands);
            State seen;
            {
                TTomeMemoryImage cutImage(bytes);
                TTomeDBFileIO io;
                io.Open(cutImage.Name(), mtMemory, 0, false, false);  // writable: settles
                ASSERT_TRUE(io.CheckPassword("pw"));
                seen = ReadState(io);
                if (cut >= acknowledged)
                    ASSERT_EQ(seen, after) << "the acknowledged operation is intact";
                CheckCut(op, before, after, seen);
                if (::testing::Test::HasFatalFailure())
                    return;
                AppendAfterwards(io, seen);
            }
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

}  // namespace

TEST(PowerCut, EveryMomentOfEachDurableWrite) {
    Tally tally;
    for (bool encrypt : {false, true}) {
        std::map<int, std::vector<uint8_t>> bases;
        for (const Operation& op : Operations()) {
            if (!bases.count(op.baseRecords))
                bases[op.baseRecords] = BuildBase(encrypt, op.baseRecords);
            RunOperation(op, encrypt, bases[op.baseRecords], tally);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
    RecordProperty("cut_points", static_cast<int>(tally.cutPoints));
    RecordProperty("images", static_cast<int>(tally.images));
    std::printf("power cuts: %zu cut points, %zu loss patterns checked\n", tally.cutPoints, tally.images);
    EXPECT_GT(tally.images, tally.cutPoints);
}

namespace {

void AppendDoc(TTomeDBFileIO& io, const char* table, const std::string& name, bool durable) {
    TTomeTableIO t(io, table);
    t.Open();
    Record r(t);
    if (std::string(table) == "Empty")
        r.Int(0, 7).Str(1, name);
    else
        r.Str(1, name).Int(2, 3).Blob(3, std::string(300, 'q'));
    t.AppendRecord(r.Buffers, durable);
}

struct Step {
    const char* what;
    bool durable;
    std::function<void(TTomeDBFileIO&)> run;
    bool mayLoseTarget = false;  // as Operation; so may a step without sync
};

// Every record of before is in seen, those that after left alone unchanged,
// and (unless a write without sync, whose append may land torn) seen holds
// no record that neither has.
bool KeepsAllButTheTarget(const State& before, const State& after, const State& seen, bool synced) {
    if (seen.tables != before.tables)
        return false;
    for (const auto& [id, row] : before.docs) {
        const auto it = seen.docs.find(id);
        if (it == seen.docs.end())
            return false;
        const auto later = after.docs.find(id);
        if (later != after.docs.end() && later->second == row && it->second != row)
            return false;
    }
    for (const auto& [id, row] : seen.docs)
        if (synced && !before.docs.count(id) && !after.docs.count(id))
            return false;
    return true;
}

// Writes in a row on one open file, as an application makes them: the
// appends leave their RecordTotal to the next sync, which the next write
// (of any kind, on any table) must not overtake.
const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"append", true, [](TTomeDBFileIO& io) { AppendDoc(io, "Docs", "s1", true); }},
        {"append again", true, [](TTomeDBFileIO& io) { AppendDoc(io, "Docs", "s2", true); }},
        // Its blob area ends the image and grows in place: a cut may garble it.
        {"modify the appended record", true,
         [](TTomeDBFileIO& io) { ModifyDoc(io, kBaseRecords - 1, "s2b", Noise(9000)); }, true},
        {"append to another table", true, [](TTomeDBFileIO& io) { AppendDoc(io, "Empty", "e1", true); }},
        {"append without sync", false, [](TTomeDBFileIO& io) { AppendDoc(io, "Docs", "s3", false); }},
        {"delete", true,
         [](TTomeDBFileIO& io) {
             TTomeTableIO t(io, "Docs");
             t.Open();
             t.DeleteRecord(0, true);
         }},
        {"append after the delete", true, [](TTomeDBFileIO& io) { AppendDoc(io, "Docs", "s4", true); }},
    };
    return steps;
}

}  // namespace

// A cut anywhere in a row of writes keeps every write acknowledged before
// it (a durable one once it returned, one without sync once a later sync
// passed) and shows the writes in order; each durable append syncs once.
TEST(PowerCut, WritesInARowKeepWhatWasAcknowledged) {
    for (bool encrypt : {false, true}) {
        SCOPED_TRACE(encrypt ? "encrypted" : "plain");
        const std::vector<uint8_t> base = BuildBase(encrypt);
        TTomeMemoryImage image(base);
        TTomeFaultMedium medium(image);
        std::vector<State> states = {StateOf(base)};
        std::vector<size_t> starts, returns;
        {
            TTomeDBFileIO io;
            io.OpenMedium(medium, "row", false);
            ASSERT_TRUE(io.CheckPassword("pw"));
            medium.LogWrites();
            for (const Step& step : Steps()) {
                starts.push_back(medium.Events().size());
                const int64_t barriers = medium.Barriers();
                step.run(io);
                returns.push_back(medium.Events().size());
                states.push_back(StateOf(image.Bytes()));
                if (std::string(step.what).rfind("append", 0) == 0 && step.durable)
                    EXPECT_EQ(medium.Barriers() - barriers, 1) << step.what << ": one sync";
            }
        }
        const auto& events = medium.Events();
        // Where each step is acknowledged: its own last sync, or for one
        // without sync the first sync after it.
        std::vector<size_t> acknowledged;
        for (size_t i = 0; i < Steps().size(); ++i) {
            size_t at = events.size() + 1;
            if (Steps()[i].durable)
                at = Acknowledged(events, returns[i]);
            else
                for (size_t e = returns[i]; e < events.size() && at > events.size(); ++e)
                    if (events[e].Barrier)
                        at = e + 1;
            acknowledged.push_back(at);
        }
        size_t images = 0;
        for (size_t cut = 0; cut <= events.size(); ++cut) {
            size_t kept = 0, begun = 0;
            for (size_t i = 0; i < Steps().size(); ++i) {
                if (acknowledged[i] <= cut)
                    kept = i + 1;
                if (starts[i] < cut)
                    begun = i + 1;
            }
            for (const TTomeLandsRule& lands : LossPatterns(events, cut, false)) {
                SCOPED_TRACE("cut after event " + std::to_string(cut) + " of " + std::to_string(events.size()));
                ++images;
                TTomeMemoryImage cutImage(ImageAfterPowerCut(base, events, cut, lands));
                TTomeDBFileIO io;
                io.Open(cutImage.Name(), mtMemory, 0, false, false);
                ASSERT_TRUE(io.CheckPassword("pw"));
                const State seen = ReadState(io);
                bool known = false;
                for (size_t j = kept; j <= begun && !known; ++j) {
                    known = seen == states[j];
                    const Step& step = Steps()[j > 0 ? j - 1 : 0];
                    if (!known && j > kept && (step.mayLoseTarget || !step.durable))
                        known = KeepsAllButTheTarget(states[j - 1], states[j], seen, step.durable);
                }
                ASSERT_TRUE(known) << "steps acknowledged " << kept << ", begun " << begun << ", " << seen.docs.size()
                                   << " records";
            }
        }
        EXPECT_GT(images, events.size());
    }
}

// The state a cut left when appends were not durable: the header and record
// tab of an append to Docs on disk, its record data lost.
std::vector<uint8_t> ImageWithLostAppend(const std::vector<uint8_t>& base) {
    TTomeMemoryImage image(base);
    TTomeFaultMedium medium(image);
    {
        TTomeDBFileIO io;
        io.OpenMedium(medium, "cut", false);
        io.CheckPassword("pw");
        TTomeTableIO table(io, "Docs");
        table.Open();
        medium.LogWrites();
        Record r(table);
        r.Str(1, "lost").Int(2, 5).Blob(3, std::string(700, 'L'));
        table.AppendRecord(r.Buffers, false);
    }
    const auto& events = medium.Events();
    EXPECT_EQ(WritesAfterLastBarrier(events, events.size()), events.size()) << "no barrier when not durable";
    // Everything lands but the record data at the end of the image.
    const auto end = static_cast<int64_t>(base.size());
    auto bytes = ImageAfterPowerCut(base, events, events.size(),
                                    [&](size_t write, size_t, size_t) { return events[write].Position != end; });
    EXPECT_EQ(bytes.size(), base.size());
    return bytes;
}

// The append is undone when the file is opened, and the next append lands
// where nothing lives.
TEST(PowerCut, RecordWhoseDataWasLostIsUndone) {
    for (bool encrypt : {false, true}) {
        SCOPED_TRACE(encrypt ? "encrypted" : "plain");
        const std::vector<uint8_t> base = BuildBase(encrypt);
        const std::vector<uint8_t> bytes = ImageWithLostAppend(base);
        const State before = StateOf(base);
        TTomeMemoryImage cut(bytes);
        {
            TTomeDBFileIO io;
            io.Open(cut.Name(), mtMemory, 0, false, false);
            io.CheckPassword("pw");
            TTomeTableIO table(io, "Docs");
            table.Open();
            EXPECT_EQ(table.Header().RecordTotal(), kBaseRecords) << "the append is undone";
            Record r(table);
            r.Str(1, "next").Int(2, 6).Blob(3, "next text");
            table.AppendRecord(r.Buffers, false);
        }
        const State after = StateOf(cut.Bytes());
        EXPECT_EQ(after.docs.size(), before.docs.size() + 1);
        int named = 0;
        for (const auto& [id, row] : after.docs)
            named += row.name == "next" ? 1 : 0;
        EXPECT_EQ(named, 1) << "the new record shows once";
        // Compact and repair take the file as it is and keep every record.
        TempDir dir;
        const std::string path = dir.File("cut.tdb");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(cut.Bytes().data()), static_cast<std::streamsize>(cut.Bytes().size()));
        {
            TTomeDatabase database;
            database.SetDatabaseName(path);
            database.Open();
            database.SetPassword("pw");
            EXPECT_TRUE(database.Compact());
            EXPECT_TRUE(database.Repair());
        }
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> rebuilt{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(StateOf(rebuilt).docs, after.docs);
    }
}

// Settled table by table as they are used: the lost append to Docs is undone
// when Docs is loaded, or before the first write to any other table, so that
// the write cannot land under it.
TEST(PowerCut, LostAppendIsUndoneWhenTablesAreSettledOnUse) {
    const std::vector<uint8_t> base = BuildBase(false);
    const std::vector<uint8_t> bytes = ImageWithLostAppend(base);
    const State before = StateOf(base);
    for (const char* first : {"Docs", "Empty"}) {
        SCOPED_TRACE(std::string("first used: ") + first);
        TTomeMemoryImage cut(bytes);
        {
            TTomeDBFileIO io;
            io.SetSettleTablesOnUse(true);
            io.Open(cut.Name(), mtMemory, 0, false, false);
            io.CheckPassword("pw");
            TTomeFileLock lock(io);
            TTomeTableIO table(io, first);
            table.Open();
            Record r(table);
            if (std::string(first) == "Docs") {
                EXPECT_EQ(table.Header().RecordTotal(), kBaseRecords) << "the append is undone";
                r.Str(1, "next").Int(2, 6).Blob(3, "next text");
            } else {
                r.Int(0, 7).Str(1, std::string(8, 'E'));
            }
            table.AppendRecord(r.Buffers, false);
        }
        const State after = StateOf(cut.Bytes());
        EXPECT_EQ(after.docs.size(), before.docs.size() + (std::string(first) == "Docs" ? 1 : 0));
        EXPECT_EQ(after.emptyRecords, std::string(first) == "Empty" ? 1u : 0u);
        TTomeDBFileIO io;
        io.Open(cut.Name(), mtMemory, 0, true, false);
        io.CheckPassword("pw");
        TTomeTableIO docs(io, "Docs");
        docs.Open();
        EXPECT_EQ(docs.Header().RecordTotal(), static_cast<int32_t>(after.docs.size() + 2))
            << "two deleted records count; the lost one no longer does";
    }
}

// A batch pays for one pair of barriers, and a cut anywhere in it leaves the
// records from before it, or all of the batch once it ended.
TEST(PowerCut, BatchIsAllOrNothing) {
    const std::vector<uint8_t> base = BuildBase(false);
    const State before = StateOf(base);
    TTomeMemoryImage image(base);
    TTomeFaultMedium medium(image);
    {
        TTomeDBFileIO io;
        io.OpenMedium(medium, "batch", false);
        io.CheckPassword("pw");
        io.SetDurableWrites(true);
        TTomeTableIO table(io, "Docs");
        table.Open();
        medium.LogWrites();
        io.BeginBatch();
        for (int i = 0; i < 8; ++i) {
            Record r(table);
            r.Str(1, "batch" + std::to_string(i)).Int(2, i).Blob(3, std::string(300 + i, 'b'));
            table.AppendRecord(r.Buffers, true);
        }
        table.DeleteRecord(2, true);
        io.EndBatch();
        EXPECT_EQ(medium.Barriers(), 2) << "one pair for the batch";
    }
    const auto& events = medium.Events();
    const State after = StateOf(image.Bytes());
    EXPECT_EQ(after.docs.size(), before.docs.size() + 7);
    for (size_t cut = 0; cut <= events.size(); ++cut) {
        for (const TTomeLandsRule& lands : LossPatterns(events, cut, false)) {
            const State seen = StateOf(ImageAfterPowerCut(base, events, cut, lands));
            // The delete of a record from before the batch may land on its own.
            State withoutDelete = before;
            withoutDelete.docs.erase(std::next(before.docs.begin(), 2)->first);
            EXPECT_TRUE(seen == before || seen == after || seen == withoutDelete) << "cut after " << cut;
            if (cut == events.size())
                EXPECT_EQ(seen, after);
        }
    }
}

// A record count whose bytes straddle a sector boundary, and an append that
// carries into the byte past it (255 -> 256): a cut that tears the count may
// leave a larger number, which the next open takes back, but never hides the
// records before.
TEST(PowerCut, CountAcrossASectorBoundary) {
    MemoryDb db(false, false, true, "pw");
    ASSERT_TRUE(db.Io->CreateTable("Pad", {Field("P", ftInteger)}));
    {
        auto pad = db.Table("Pad");
        for (int i = 0; i < 200 && (db.Io->ImageSize() + kTHRecordTotal) % kSectorSize != kSectorSize - 1; ++i) {
            Record r(*pad);
            r.Int(0, i);
            pad->AppendRecord(r.Buffers, false);
        }
    }
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("V", ftInteger)}));
    ASSERT_EQ((db.Io->TableHeaderOffset(1) + kTHRecordTotal) % kSectorSize, kSectorSize - 1);
    {
        auto t = db.Table("T");
        for (int i = 0; i < 255; ++i) {
            Record r(*t);
            r.Int(0, i);
            t->AppendRecord(r.Buffers, false);
        }
    }
    const std::vector<uint8_t> base = db.Image.Bytes();
    TTomeMemoryImage image(base);
    TTomeFaultMedium medium(image);
    {
        TTomeDBFileIO io;
        io.OpenMedium(medium, "count", false);
        TTomeTableIO t(io, "T");
        t.Open();
        medium.LogWrites();
        Record r(t);
        r.Int(0, 255);
        t.AppendRecord(r.Buffers, true);
    }
    const auto& events = medium.Events();
    size_t images = 0;
    for (size_t cut = 0; cut <= events.size(); ++cut) {
        for (const TTomeLandsRule& lands : LossPatterns(events, cut)) {
            SCOPED_TRACE("cut after event " + std::to_string(cut));
            ++images;
            TTomeMemoryImage cutImage(ImageAfterPowerCut(base, events, cut, lands));
            TTomeDBFileIO io;
            io.Open(cutImage.Name(), mtMemory, 0, false, false);
            TTomeTableIO t(io, "T");
            t.Open();
            const TElementList& list = t.IndexList(0);
            ASSERT_TRUE(list.size() == 255 || list.size() == 256) << list.size();
            for (size_t i = 0; i < list.size(); ++i) {
                Record r(t);
                t.ReadRecord(r.Buffers, list, static_cast<int>(i));
                EXPECT_EQ(r.GetInt(0), static_cast<int32_t>(i));
            }
            if (cut == events.size())
                EXPECT_EQ(list.size(), 256u);
        }
    }
    EXPECT_GT(images, events.size());
}

namespace {

// Walks every index chain of a table in an image as a verifier does: each
// link names a record below the count, none twice, and the walk passes
// every live record. Returns what is wrong, or "".
std::string ChainProblem(TTomeMemoryImage& image, const std::string& name) {
    TTomeDBFileIO io;
    io.Open(image.Name(), mtMemory, 0, true, false);
    TTableHeader header;
    io.ReadTableHeader(io.FindTable(name), header);
    TTomeTableIO table(io, name);
    table.Open();
    const int32_t total = header.RecordTotal();
    for (int k = 0; k < header.IndexCount(); ++k) {
        std::vector<int32_t> chunks;
        for (int32_t at = header.IndexTabOffset(k), done = 0; done < total; done += kChunkItems) {
            chunks.push_back(at);
            uint8_t link[4];
            io.ReadExact(at + kChunkNextOffset, link, 4);
            at = GetI32(link);
        }
        std::vector<bool> passed(static_cast<size_t>(total), false);
        for (int32_t r = total > 0 ? header.StartIndex(k) : -1; r != -1;) {
            if (r < 0 || r >= total)
                return "index " + std::to_string(k) + " links to record " + std::to_string(r) + ", beyond the table";
            if (passed[static_cast<size_t>(r)])
                return "index " + std::to_string(k) + " loops at record " + std::to_string(r);
            passed[static_cast<size_t>(r)] = true;
            uint8_t next[4];
            io.ReadExact(chunks[static_cast<size_t>(r / kChunkItems)] + 4 + (r % kChunkItems) * kIndexTabItemSize + 4,
                         next, 4);
            r = GetI32(next);
        }
        for (const TListElement& live : table.IndexList(0))
            if (!passed[static_cast<size_t>(live.RecIndex)])
                return "index " + std::to_string(k) + " misses record " + std::to_string(live.RecIndex);
    }
    return "";
}

}  // namespace

// A batch killed at any of its writes (everything it wrote stays, its count
// is never committed) leaves index chains that a writer mends when it first
// walks them, which every write to the table does before writing anything:
// no link to a record beyond the table once the table's lists are read, and
// none after the next append either (which takes the number of the first
// record the batch lost).
TEST(PowerCut, KilledBatchLeavesWholeChainsOnceAWriterReadsThem) {
    std::vector<uint8_t> base = BuildBase(false);
    {
        TTomeMemoryImage image(base);
        TTomeDBFileIO io;
        io.Open(image.Name(), mtMemory, 0, false, false);
        ASSERT_TRUE(io.CreateTable("Fresh", {Field("V", ftInteger)}));
        ASSERT_TRUE(io.CreateIndex("Fresh", "ByV", 0, {"V"}));
        io.Close();
        base = image.Bytes();
    }
    struct Batch {
        const char* table;
        std::function<void(TTomeTableIO&, int)> append;  // the i-th record of the batch
    };
    const std::vector<Batch> batches = {
        {"Docs",
         [](TTomeTableIO& t, int i) {  // names that fall between the stored ones
             Record r(t);
             r.Str(1, "doc" + std::to_string((i * 7) % 16) + "b").Int(2, i).Blob(3, std::string(40, 'k'));
             t.AppendRecord(r.Buffers, false);
         }},
        {"Fresh",
         [](TTomeTableIO& t, int i) {  // a table without records before the batch
             Record r(t);
             r.Int(0, 100 - (i * 37) % 90);
             t.AppendRecord(r.Buffers, false);
         }},
    };
    size_t killPoints = 0;
    for (const Batch& batch : batches) {
        SCOPED_TRACE(batch.table);
        TTomeMemoryImage image(base);
        TTomeFaultMedium medium(image);
        {
            TTomeDBFileIO io;
            io.OpenMedium(medium, "batch", false);
            TTomeTableIO table(io, batch.table);
            table.Open();
            medium.LogWrites();
            io.BeginBatch();
            for (int i = 0; i < 6; ++i)
                batch.append(table, i);
            io.EndBatch();
        }
        const auto& events = medium.Events();
        for (size_t cut = 0; cut <= events.size(); ++cut) {
            SCOPED_TRACE("killed after event " + std::to_string(cut) + " of " + std::to_string(events.size()));
            ++killPoints;
            for (const bool readFirst : {true, false}) {
                SCOPED_TRACE(readFirst ? "lists read before the append" : "appended at once");
                TTomeMemoryImage killed(
                    ImageAfterPowerCut(base, events, cut, [](size_t, size_t, size_t) { return true; }));
                TTomeDBFileIO io;
                io.Open(killed.Name(), mtMemory, 0, false, false);
                if (readFirst) {
                    TTomeTableIO table(io, batch.table);
                    table.Open();
                    for (int list = 1; list <= table.IndexDefs().Count(); ++list)
                        table.IndexList(list);
                    EXPECT_EQ(ChainProblem(killed, batch.table), "") << "after reading the lists";
                }
                {
                    TTomeTableIO table(io, batch.table);
                    table.Open();
                    batch.append(table, 6);
                }
                EXPECT_EQ(ChainProblem(killed, batch.table), "") << "after the next append";
                if (::testing::Test::HasFailure())
                    return;
            }
        }
    }
    std::printf("killed batches checked at %zu points\n", killPoints);
}
