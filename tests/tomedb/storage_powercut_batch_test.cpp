// Power cuts inside a write batch that first makes an appended record durable
// (CommitBatchAppends) and then rewrites another table's record, as a save
// does that keeps the replaced text as a version: at every moment and for
// every loss of unsynced writes, the rewritten record never shows a text
// other than its old one unless the version holding that old text is there
// too, and nothing else changes.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>

#include "storage_fixture.h"
#include "tomedb/TomeDB.h"
#include "tomedb/storage/TomeFaultMedium.h"

using namespace storage_test;

namespace {

constexpr int kDocs = 8;
constexpr int kTarget = 5;  // natural position of the record saved
const std::string kUnreadable = "<unreadable>";

std::string OldText() { return std::string(3000, 'o'); }

// "Docs" (ID, Name, Txt) and "History" (ID, DocID indexed, Txt), as a library
// keeps manuscripts and their versions.
std::vector<uint8_t> BuildBase(bool encrypt, int versions) {
    MemoryDb db(encrypt, false, true, "pw");
    EXPECT_TRUE(
        db.Io->CreateTable("Docs", {Field("ID", ftAutoInc), Field("Name", ftString, 24), Field("Txt", ftMemo)}));
    EXPECT_TRUE(
        db.Io->CreateTable("History", {Field("ID", ftAutoInc), Field("DocID", ftInteger), Field("Txt", ftMemo)}));
    EXPECT_TRUE(db.Io->CreateIndex("History", "ByDocID", 0, {"DocID"}));
    auto docs = db.Table("Docs");
    for (int i = 0; i < kDocs; ++i) {
        Record r(*docs);
        r.Str(1, "doc" + std::to_string(i)).Blob(2, i == kTarget ? OldText() : std::string(200 + i, 'd'));
        docs->AppendRecord(r.Buffers, false);
    }
    auto history = db.Table("History");
    for (int i = 0; i < versions; ++i) {
        Record r(*history);
        r.Int(1, i % kDocs + 1).Blob(2, "v" + std::to_string(i));
        history->AppendRecord(r.Buffers, false);
    }
    return db.Image.Bytes();
}

// Every text of a table by ID; one that cannot be decoded reads kUnreadable.
std::map<int32_t, std::string> Texts(TTomeDBFileIO& io, const std::string& name, int textField) {
    std::map<int32_t, std::string> texts;
    TTomeTableIO table(io, name);
    table.Open();
    const TElementList& natural = table.IndexList(0);
    for (int list = 1; list < table.ListCount(); ++list)
        EXPECT_EQ(table.IndexList(list).size(), natural.size()) << name << " list " << list;
    for (size_t i = 0; i < natural.size(); ++i) {
        Record r(table);
        table.ReadRecord(r.Buffers, natural, static_cast<int>(i));
        try {
            texts[r.GetInt(0)] = r.GetBlob(textField);
        } catch (const std::exception&) {
            texts[r.GetInt(0)] = kUnreadable;
        }
    }
    return texts;
}

struct Seen {
    std::map<int32_t, std::string> docs;
    std::map<int32_t, std::string> history;
};

Seen Read(TTomeDBFileIO& io) { return {Texts(io, "Docs", 2), Texts(io, "History", 2)}; }

// The save: the version appended and made durable, then the text rewritten.
void SaveWithVersion(TTomeDBFileIO& io, const std::string& newText) {
    TTomeTableIO docs(io, "Docs");
    TTomeTableIO history(io, "History");
    docs.Open();
    history.Open();
    io.BeginBatch();
    Record version(history);
    version.Int(1, kTarget + 1).Blob(2, OldText());
    history.AppendRecord(version.Buffers, false);
    io.CommitBatchAppends();
    Record doc(docs);
    docs.ReadRecord(doc.Buffers, docs.IndexList(0), kTarget);
    doc.Blob(2, newText);
    docs.ModifyRecord(doc.Buffers, kTarget, nullptr, nullptr, false);
    io.EndBatch();
}

// Which unsynced writes land: all, none, every subset when there are few,
// else each one alone lost or alone landed; each write torn to its first
// sector; random sectors.
std::vector<TTomeLandsRule> Losses(const std::vector<TTomeMediumEvent>& events, size_t cut) {
    const size_t pending = WritesAfterLastBarrier(events, cut);
    std::vector<TTomeLandsRule> rules{[](size_t, size_t, size_t) { return true; }};
    if (pending == 0)
        return rules;
    if (pending <= 6) {
        for (size_t mask = 0; mask + 1 < (size_t{1} << pending); ++mask)
            rules.push_back([mask](size_t write, size_t, size_t) { return (mask >> write) & 1; });
    } else {
        rules.push_back([](size_t, size_t, size_t) { return false; });
        for (size_t w = 0; w < pending; ++w) {
            rules.push_back([w](size_t write, size_t, size_t) { return write != w; });
            rules.push_back([w](size_t write, size_t, size_t) { return write == w; });
        }
    }
    for (size_t w = 0; w < pending; ++w)
        rules.push_back([w](size_t write, size_t piece, size_t) { return write != w || piece == 0; });
    for (unsigned seed = 1; seed <= 3; ++seed) {
        auto random = std::make_shared<std::mt19937>(seed * 7919 + static_cast<unsigned>(cut));
        rules.push_back([random](size_t, size_t, size_t) { return (*random)() % 2 == 0; });
    }
    return rules;
}

struct Case {
    const char* what;
    std::string newText;
    int versions;  // already kept; 1024 makes the append open new chunks
};

class BatchPowerCut : public ::testing::TestWithParam<bool> {};

TEST_P(BatchPowerCut, TheNewTextNeverShowsWithoutTheVersionOfTheOld) {
    const bool encrypt = GetParam();
    const std::vector<Case> cases = {
        {"text rewritten in its area", std::string(1000, 'n'), 5},
        {"text moved to a new area", Noise(9000), 5},
        {"version opening new chunks", std::string(1000, 'n'), 1024},
    };
    size_t images = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (encrypt ? ", encrypted" : ", plain"));
        const std::vector<uint8_t> base = BuildBase(encrypt, c.versions);
        TTomeMemoryImage image(base);
        TTomeFaultMedium medium(image);
        Seen before, after;
        size_t returned = 0;
        {
            TTomeDBFileIO io;
            io.OpenMedium(medium, "cut", false);
            ASSERT_TRUE(io.CheckPassword("pw"));
            io.SetDurableWrites(true);
            before = Read(io);
            medium.LogWrites();
            SaveWithVersion(io, c.newText);
            returned = medium.Events().size();
            after = Read(io);
        }
        const std::vector<TTomeMediumEvent>& events = medium.Events();
        const size_t acknowledged = returned - WritesAfterLastBarrier(events, returned);  // the last sync
        ASSERT_GT(acknowledged, 0u);
        ASSERT_EQ(after.docs.at(kTarget + 1), c.newText);
        ASSERT_EQ(after.history.size(), before.history.size() + 1);
        // As many syncs as a rewrite without a version pays (barrier, sync).
        EXPECT_LE(std::count_if(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(returned),
                                [](const TTomeMediumEvent& e) { return e.Barrier; }),
                  2);
        for (size_t cut = 0; cut <= events.size(); ++cut) {
            for (const TTomeLandsRule& lands : Losses(events, cut)) {
                SCOPED_TRACE("cut after event " + std::to_string(cut) + " of " + std::to_string(events.size()));
                ++images;
                TTomeMemoryImage cutImage(ImageAfterPowerCut(base, events, cut, lands));
                TTomeDBFileIO io;
                io.Open(cutImage.Name(), mtMemory, 0, false, false);  // writable: settles
                ASSERT_TRUE(io.CheckPassword("pw"));
                const Seen seen = Read(io);
                if (cut >= acknowledged) {
                    ASSERT_EQ(seen.docs, after.docs);
                    ASSERT_EQ(seen.history, after.history);
                }
                // Only the target may differ, and only the version may be new.
                for (const auto& [id, text] : before.docs) {
                    if (id != kTarget + 1)
                        ASSERT_EQ(seen.docs.at(id), text) << "document " << id;
                }
                for (const auto& [id, text] : before.history)
                    ASSERT_EQ(seen.history.at(id), text) << "version " << id;
                ASSERT_LE(seen.history.size(), before.history.size() + 1);
                const std::string& target = seen.docs.at(kTarget + 1);
                if (target != OldText()) {
                    ASSERT_EQ(seen.history.size(), before.history.size() + 1) << "the text changed, its version lost";
                    ASSERT_EQ(seen.history.rbegin()->second, OldText());
                }
            }
        }
    }
    std::printf("batch power cuts: %zu images checked\n", images);
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, BatchPowerCut, ::testing::Bool());

}  // namespace
