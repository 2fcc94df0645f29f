// Shared by the power-cut tests: the medium keeps the writes since the last
// barrier in a page cache, and a cut loses any of them, whole or sector by
// sector. RunOperation cuts one durable write operation at every moment and
// checks that the image opens, reads whole, keeps every record it held
// before, shows the operation either done or not (a record rewritten in
// place may be lost, nothing else), and takes further appends without
// landing them under a live record.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "storage_fixture.h"
#include "tomedb/TomeDB.h"
#include "tomedb/storage/TomeFaultMedium.h"

namespace powercut_test {

using namespace storage_test;
using namespace tomedb::format;

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

inline constexpr int kUnreadable = -1;
inline constexpr int kBaseRecords = 16;

// Reads everything; Docs' lists must agree, its names be unique and no two
// records share a fixed part. A blob that cannot be decoded reads as
// "<unreadable>" (allowed only for a record rewritten in place).
inline State ReadState(TTomeDBFileIO& io) {
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
inline State StateOf(const std::vector<uint8_t>& bytes) {
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
inline std::vector<uint8_t> BuildBase(bool encrypt, int records = kBaseRecords) {
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

inline void ModifyDoc(TTomeDBFileIO& io, int natural, const std::string& name, const std::string& text) {
    TTomeTableIO table(io, "Docs");
    table.Open();
    Record r(table);
    table.ReadRecord(r.Buffers, table.IndexList(0), natural);
    r.Str(1, name).Int(2, 777).Blob(3, text);
    table.ModifyRecord(r.Buffers, natural, nullptr, nullptr, true);
}

inline const std::vector<Operation>& Operations() {
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
inline std::vector<TTomeLandsRule> LossPatterns(const std::vector<TTomeMediumEvent>& events, size_t cut,
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
inline void AppendAfterwards(TTomeDBFileIO& io, const State& seen) {
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
inline size_t Acknowledged(const std::vector<TTomeMediumEvent>& events, size_t returned) {
    size_t at = 0;
    for (size_t i = 0; i < returned && i < events.size(); ++i)
        if (events[i].Barrier)
            at = i + 1;
    return at;
}

// Commit slots of all tables that are not zero.
inline int CommitSlotsInUse(const std::vector<uint8_t>& bytes) {
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
inline void CheckCut(const Operation& op, const State& before, const State& after, const State& seen) {
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

// Zero tails the medium asks for ahead of durable appends: none, and one
// small enough that the operations both fill it and run past it.
inline constexpr int64_t kTails[] = {0, 4096};

// Runs op over base with every cut checked; returns the image once closed.
inline std::vector<uint8_t> RunOperation(const Operation& op, bool encrypt, const std::vector<uint8_t>& base,
                                         int64_t tail, Tally& tally) {
    SCOPED_TRACE(std::string(op.what) + (encrypt ? " encrypted" : " plain") + ", tail " + std::to_string(tail));
    const State before = StateOf(base);
    TTomeMemoryImage image(base);
    TTomeFaultMedium medium(image);
    medium.ReserveTail(tail);
    size_t returned = 0;  // events logged when the operation returned
    {
        TTomeDBFileIO io;
        io.OpenMedium(medium, "cut", false);
        EXPECT_TRUE(io.CheckPassword("pw"));
        io.SetDurableWrites(true);
        medium.LogWrites();
        op.run(io);
        returned = medium.Events().size();
    }
    const std::vector<TTomeMediumEvent>& events = medium.Events();
    EXPECT_FALSE(events.empty());
    const size_t acknowledged = Acknowledged(events, returned);
    EXPECT_GT(acknowledged, 0u) << "a durable operation syncs before it returns";
    const State after = StateOf(image.Bytes());
    EXPECT_NE(after, before);
    EXPECT_EQ(CommitSlotsInUse(image.Bytes()), 0) << "a closed file has zero reserved bytes";
    if (::testing::Test::HasFailure())
        return image.Bytes();
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
                EXPECT_TRUE(io.CheckPassword("pw"));
                seen = ReadState(io);
                if (cut >= acknowledged && seen != after) {
                    ADD_FAILURE() << "the acknowledged operation is intact";
                    return image.Bytes();
                }
                CheckCut(op, before, after, seen);
                if (::testing::Test::HasFatalFailure())
                    return image.Bytes();
                AppendAfterwards(io, seen);
            }
            if (::testing::Test::HasFatalFailure())
                return image.Bytes();
        }
    }
    return image.Bytes();
}

// The image op leaves once the file is closed, run once without cuts.
inline std::vector<uint8_t> ClosedImage(const Operation& op, const std::vector<uint8_t>& base, int64_t tail) {
    TTomeMemoryImage image(base);
    TTomeFaultMedium medium(image);
    medium.ReserveTail(tail);
    {
        TTomeDBFileIO io;
        io.OpenMedium(medium, "closed", false);
        EXPECT_TRUE(io.CheckPassword("pw"));
        io.SetDurableWrites(true);
        op.run(io);
    }
    return image.Bytes();
}

// Every operation, plain and encrypted, on a medium that asks for `tail`
// bytes of zero tail, cut at every moment. With a tail, each operation
// leaves the same image once closed as without one: the tail is cut off and
// held nothing.
inline Tally CutEveryOperation(int64_t tail) {
    Tally tally;
    for (bool encrypt : {false, true}) {
        std::map<int, std::vector<uint8_t>> bases;
        for (const Operation& op : Operations()) {
            if (!bases.count(op.baseRecords))
                bases[op.baseRecords] = BuildBase(encrypt, op.baseRecords);
            const std::vector<uint8_t>& base = bases[op.baseRecords];
            const std::vector<uint8_t> closed = RunOperation(op, encrypt, base, tail, tally);
            if (::testing::Test::HasFailure())
                return tally;
            if (tail > 0)
                EXPECT_EQ(closed, ClosedImage(op, base, 0)) << op.what << (encrypt ? " encrypted" : " plain");
        }
    }
    std::printf("power cuts: %zu cut points, %zu loss patterns checked\n", tally.cutPoints, tally.images);
    return tally;
}

}  // namespace powercut_test
