// Power cuts over durable writes (helpers and what is checked in
// storage_powercut_support.h): each write operation cut at every moment,
// writes in a row, batches, torn record counts and chains a killed batch left.
#include <fstream>
#include <iterator>

#include "storage_powercut_support.h"

using namespace powercut_test;

TEST(PowerCut, EveryMomentOfEachDurableWrite) {
    const Tally tally = CutEveryOperation(0);
    RecordProperty("cut_points", static_cast<int>(tally.cutPoints));
    RecordProperty("images", static_cast<int>(tally.images));
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
    for (const auto& [encrypt, tail] :
         {std::pair{false, kTails[0]}, {true, kTails[0]}, {false, kTails[1]}, {true, kTails[1]}}) {
        SCOPED_TRACE((encrypt ? "encrypted, tail " : "plain, tail ") + std::to_string(tail));
        const std::vector<uint8_t> base = BuildBase(encrypt);
        TTomeMemoryImage image(base);
        TTomeFaultMedium medium(image);
        medium.ReserveTail(tail);
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

namespace {

// Eight appends and a delete in one batch, cut at every moment.
void CheckBatchCuts(int64_t tail) {
    SCOPED_TRACE("tail " + std::to_string(tail));
    const std::vector<uint8_t> base = BuildBase(false);
    const State before = StateOf(base);
    TTomeMemoryImage image(base);
    TTomeFaultMedium medium(image);
    medium.ReserveTail(tail);
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

}  // namespace

// A batch pays for one pair of barriers, and a cut anywhere in it leaves the
// records from before it, or all of the batch once it ended, with a zero
// tail or without.
TEST(PowerCut, BatchIsAllOrNothing) {
    for (int64_t tail : kTails)
        CheckBatchCuts(tail);
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
