// The zero tail of durable appends on a disk file: appends fill zeros the
// file already holds, a copy taken while it is open (what a cut leaves) reads
// whole and takes appends past the zeros, closing cuts the tail off, and a
// second writer's appends never land in another's tail.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "storage_fixture.h"

using namespace storage_test;

namespace {

struct DiskDb {
    explicit DiskDb(const std::string& path, bool create) {
        if (create)
            EXPECT_TRUE(TTomeDBFileIO().CreateDatabase(path, true, 1, "zLIB", false, "blowfish", "pw", false));
        Io.Open(path, mtDisk, 0, false, false);
        EXPECT_TRUE(Io.CheckPassword("pw"));
        Io.SetDurableWrites(true);
        if (create)
            EXPECT_TRUE(Io.CreateTable("Docs", {Field("ID", ftAutoInc), Field("Txt", ftMemo)}));
    }
    void Append(const std::string& text) {
        TTomeTableIO table(Io, "Docs");
        table.Open();
        Record r(table);
        r.Blob(1, text);
        table.AppendRecord(r.Buffers, true);
    }
    TTomeDBFileIO Io;
};

std::string Text(int i) { return std::to_string(i) + ":" + Noise(1500 + 97 * static_cast<size_t>(i)); }

// ID -> text of every live record of Docs.
std::map<int32_t, std::string> Texts(const std::string& path) {
    TTomeDBFileIO io;
    io.Open(path, mtDisk, 0, true, false);
    EXPECT_TRUE(io.CheckPassword("pw"));
    TTomeTableIO table(io, "Docs");
    table.Open();
    std::map<int32_t, std::string> texts;
    const TElementList& natural = table.IndexList(0);
    for (size_t i = 0; i < natural.size(); ++i) {
        Record r(table);
        table.ReadRecord(r.Buffers, natural, static_cast<int>(i));
        texts[r.GetInt(0)] = r.GetBlob(1);
    }
    return texts;
}

}  // namespace

TEST(ZeroTail, DurableAppendsFillItAndClosingCutsItOff) {
    TempDir dir;
    const std::string path = dir.File("tail.tdb");
    const std::string copy = dir.File("copy.tdb");
    std::map<int32_t, std::string> expected;
    int64_t used = 0;
    {
        DiskDb db(path, true);
        db.Append(Text(1));
        expected[1] = Text(1);
        const auto size = std::filesystem::file_size(path);
        for (int i = 2; i <= 5; ++i) {
            db.Append(Text(i));
            expected[i] = Text(i);
        }
        EXPECT_EQ(std::filesystem::file_size(path), size) << "the appends filled zeros the file held";
        used = db.Io.AppendPosition(true);
        EXPECT_LT(used, static_cast<int64_t>(size));
        std::filesystem::copy_file(path, copy);
    }
    EXPECT_EQ(static_cast<int64_t>(std::filesystem::file_size(path)), used) << "closing cut the tail off";
    EXPECT_EQ(Texts(path), expected);

    // The copy ends in zeros, as a cut leaves the file: it reads whole and an
    // append lands past them, apart from every record.
    EXPECT_EQ(Texts(copy), expected);
    {
        DiskDb db(copy, false);
        db.Append("after the cut");
    }
    expected[6] = "after the cut";
    EXPECT_EQ(Texts(copy), expected);
}

TEST(ZeroTail, TwoWritersNeverAppendIntoTheOthersTail) {
    TempDir dir;
    const std::string path = dir.File("two.tdb");
    std::map<int32_t, std::string> expected;
    {
        DiskDb first(path, true);
        DiskDb second(path, false);
        int id = 0;
        for (int round = 0; round < 3; ++round) {
            // The second writer appends last: closing first (destroyed last)
            // must leave its appends, which lie past the first's tail.
            for (DiskDb* db : {&first, &second, &second, &first, &second}) {
                db->Append(Text(++id));
                expected[id] = Text(id);
            }
        }
        EXPECT_EQ(Texts(path), expected);
    }
    EXPECT_EQ(Texts(path), expected);
}

// A copy taken after settling equals the file once closed, and appends after
// the settling go on as before.
TEST(ZeroTail, SettlingForACopyCutsItOff) {
    TempDir dir;
    const std::string path = dir.File("settle.tdb");
    const std::string copy = dir.File("copy.tdb");
    std::map<int32_t, std::string> expected;
    {
        DiskDb db(path, true);
        for (int i = 1; i <= 3; ++i) {
            db.Append(Text(i));
            expected[i] = Text(i);
        }
        db.Io.SettleCommitSlots();
        std::filesystem::copy_file(path, copy);
    }
    auto bytes = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(bytes(copy), bytes(path));
    {
        DiskDb db(path, false);
        db.Append(Text(4));
        db.Io.SettleCommitSlots();
        db.Append(Text(5));
    }
    expected[4] = Text(4);
    expected[5] = Text(5);
    EXPECT_EQ(Texts(path), expected);
}
