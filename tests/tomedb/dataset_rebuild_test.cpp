// Compact, Repair and ChangePassword: what the rebuilt file holds, and that
// the database and its open tables carry on with it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dataset_test_support.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableIO.h"

namespace dstest {
namespace {

class RebuildTest : public DatasetFixture {
protected:
    void SetUp() override {
        DatasetFixture::SetUp();
        CreateDocsDatabase();
    }

    // ID -> (PID, DocName, Txt) of every record, in ID order.
    static std::vector<std::string> Dump(TTomeTable& table) {
        std::vector<std::string> rows;
        for (table.First(); !table.Eof(); table.Next())
            rows.push_back(table.FieldByName("ID").AsString() + "|" + table.FieldByName("PID").AsString() + "|" +
                           table.FieldByName("DocName").AsString() + "|" + table.FieldByName("DocMDate").AsString() +
                           "|" + table.FieldByName("Txt").AsString());
        return rows;
    }

    void Fill(TTomeTable& table, int count) {
        for (int i = 1; i <= count; ++i)
            AddDoc(table, i % 4, "文档" + std::to_string(i), std::string(500 + i * 7, 'a' + i % 26));
    }

    // Appends count manuscripts through a table of its own.
    void FillFile(int count) {
        TTomeTable table;
        table.SetDatabaseName(path);
        table.SetTableName("Docs");
        table.Open();
        Fill(table, count);
    }

    std::vector<std::string> TempFiles() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().rfind("TDB", 0) == 0)
                found.push_back(entry.path().string());
        return found;
    }

    static std::vector<uint8_t> ReadFile(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(RebuildTest, CompactKeepsIdsDropsDeadSpaceAndContinuesNumbering) {
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    ASSERT_TRUE(db.SetComments("库说明"));
    std::vector<uint8_t> ext(2048, 7);
    ASSERT_TRUE(db.SetExtData(ext.data(), 2048));
    TTomeTable table;
    table.SetDatabaseName(path);
    table.SetTableName("Docs");
    table.Open();
    Fill(table, 30);
    for (int id : {2, 5, 9, 30}) {
        ASSERT_TRUE(table.FindKey({TVariant(id)}));
        table.Delete();
    }
    const std::vector<std::string> before = Dump(table);
    const int64_t sizeBefore = db.FileSize();
    std::vector<int> progress;
    db.OnOperationProgress = [&](void*, int percent) { progress.push_back(percent); };
    ASSERT_TRUE(db.Compact());
    EXPECT_LT(db.FileSize(), sizeBefore);
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(Dump(table), before);  // the open table re-read the new image
    ASSERT_EQ(progress.size(), 26u);
    EXPECT_EQ(progress.back(), 100);
    // Numbering continues after the highest surviving ID.
    EXPECT_EQ(AddDoc(table, 1, "next"), 30);
    std::string comment;
    ASSERT_TRUE(db.GetComments(comment));
    EXPECT_EQ(comment, "库说明");
    std::vector<uint8_t> extAfter;
    ASSERT_TRUE(db.GetExtData(extAfter));
    EXPECT_EQ(extAfter, ext);
    // Indexes survive.
    table.SetIndexName("ByPID");
    table.First();
    EXPECT_EQ(table.FieldByName("PID").AsInteger(), 0);
}

TEST_F(RebuildTest, CompactEqualsRepair) {
    {
        TTomeTable table;
        table.SetDatabaseName(path);
        table.SetTableName("Docs");
        table.Open();
        Fill(table, 12);
        table.First();
        table.Delete();
    }
    const std::string copy = folder + "/copy.qdb";
    std::filesystem::copy_file(path, copy);
    TTomeDatabase a, b;
    a.SetDatabaseName(path);
    b.SetDatabaseName(copy);
    a.Open();
    b.Open();
    ASSERT_TRUE(a.Compact());
    ASSERT_TRUE(b.Repair());
    a.Close();
    b.Close();
    std::vector<uint8_t> x = ReadFile(path), y = ReadFile(copy);
    ASSERT_EQ(x.size(), y.size());
    // Every byte but the random fill of the header is the same.
    const size_t fill = format::kAlgoBlockOffset + format::kAlgoRandomFill;
    std::fill(x.begin() + fill, x.begin() + fill + format::kRandomFillSize, 0);
    std::fill(y.begin() + fill, y.begin() + fill + format::kRandomFillSize, 0);
    EXPECT_TRUE(x == y);
}

TEST_F(RebuildTest, ChangePasswordToPlainAndBackToBlowfish) {
    const std::string encrypted = folder + "/enc.qdb";
    path = encrypted;
    CreateDocsDatabase(true, "old");
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    db.SetPassword("old");
    ASSERT_TRUE(db.SetComments("note"));
    TTomeTable table;
    table.SetDatabaseName(path);
    table.SetTableName("Docs");
    table.Open();
    Fill(table, 5);
    const std::vector<std::string> before = Dump(table);
    ASSERT_TRUE(db.ChangePassword("", false));
    EXPECT_FALSE(db.Encrypted());
    EXPECT_EQ(Dump(table), before);
    table.Close();
    db.Close();
    {
        TTomeDatabase plain;  // readable without any password
        plain.SetDatabaseName("plain");
        plain.SetFileName(path);
        plain.Open();
        EXPECT_TRUE(plain.CanAccess());
        std::string comment;
        ASSERT_TRUE(plain.GetComments(comment));
        EXPECT_EQ(comment, "note");
        ASSERT_TRUE(plain.ChangePassword("new", true));
        EXPECT_TRUE(plain.Encrypted());
        EXPECT_TRUE(plain.CanAccess());
    }
    db.Open();
    EXPECT_FALSE(db.CanAccess());
    db.SetPassword("old");
    EXPECT_FALSE(db.CanAccess());
    db.SetPassword("new");
    ASSERT_TRUE(db.CanAccess());
    std::string comment;
    ASSERT_TRUE(db.GetComments(comment));
    EXPECT_EQ(comment, "note");
    table.Open();
    EXPECT_EQ(Dump(table), before);
}

TEST_F(RebuildTest, OnlyDeletedRecordsGiveEmptyTablesWithIndexes) {
    TTomeDatabase db;
    db.SetDatabaseName(path);
    TTomeTable table;
    table.SetDatabaseName(path);
    table.SetTableName("Docs");
    table.Open();
    Fill(table, 4);
    while (!table.IsEmpty())
        table.Delete();
    table.Close();
    db.Open();
    ASSERT_TRUE(db.Compact());
    table.Open();
    EXPECT_EQ(table.RecordCount(), 0);
    ASSERT_EQ(table.IndexDefs().size(), 2u);
    EXPECT_EQ(table.IndexDefs()[0].Name, "ID");
    EXPECT_EQ(table.IndexDefs()[1].Name, "ByPID");
    // The counter restarts from the highest record copied: none.
    EXPECT_EQ(AddDoc(table, 1, "first"), 1);
}

TEST_F(RebuildTest, FailureLeavesDatabaseAndNoTemporaryFile) {
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    FillFile(3);
    const std::vector<uint8_t> original = ReadFile(path);
    // A folder without write permission cannot hold the temporary file.
    if (geteuid() != 0) {
        chmod(folder.c_str(), 0555);
        EXPECT_FALSE(db.Compact());
        chmod(folder.c_str(), 0755);
        EXPECT_EQ(ReadFile(path), original);
    }
    // A failure while copying raises and removes the temporary file.
    db.OnOperationProgress = [](void*, int percent) {
        if (percent >= 50)
            throw EDatabaseError("disk full");
    };
    EXPECT_THROW(db.Compact(), EDatabaseError);
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_TRUE(db.Connected());
}

// A killed rebuild leaves its temporary image behind; the next rebuild in
// that folder removes it, and only files that are plainly such leftovers.
TEST_F(RebuildTest, NextRebuildRemovesOnlyOldLeftoverImages) {
    const std::vector<uint8_t> image = ReadFile(path);
    struct TCase {
        const char* name;
        bool header;
        bool old;
        bool removed;
    };
    const TCase cases[] = {
        {"TDBa1B2c3", true, true, true},    // a killed rebuild's image
        {"TDBq9W8e7", true, false, false},  // may belong to a rebuild still running
        {"TDBz1x2c3", false, true, false},  // no database header: not ours
        {"TDBa1B2c3d", true, true, false},  // not the temporary name pattern
        {"TDB-1B2c3", true, true, false},  {"xTDBa1B2c", true, true, false},
    };
    const auto writeImage = [&](const std::string& at, bool header) {
        std::ofstream(at, std::ios::binary)
            << (header ? std::string(image.begin(), image.end()) : std::string(image.size(), 'x'));
    };
    const timespec twoHoursAgo[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    for (const TCase& c : cases) {
        writeImage(folder + "/" + c.name, c.header);
        if (c.old)
            ::utimensat(AT_FDCWD, (folder + "/" + c.name).c_str(), twoHoursAgo, 0);
    }
    // An old image reached through a link stays, and so does its target.
    const std::string link = folder + "/TDBlink00";
    ::mkdir((folder + "/elsewhere").c_str(), 0755);
    writeImage(folder + "/elsewhere/keep", true);
    ::utimensat(AT_FDCWD, (folder + "/elsewhere/keep").c_str(), twoHoursAgo, 0);
    ASSERT_EQ(::symlink((folder + "/elsewhere/keep").c_str(), link.c_str()), 0);

    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    FillFile(2);
    ASSERT_TRUE(db.Compact());
    for (const TCase& c : cases)
        EXPECT_EQ(std::filesystem::exists(folder + "/" + c.name), !c.removed) << c.name;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::exists(folder + "/elsewhere/keep"));
}

// Repair reads every value; a record whose value no longer decodes is left
// out and counted, every other record is kept.
TEST_F(RebuildTest, RepairLeavesOutARecordWhoseValueDoesNotDecode) {
    FillFile(3);
    int64_t blobAt = 0;
    int32_t blobSize = 0;
    {
        TTomeDBFileIO io;
        io.Open(path, mtDisk, 0, true, false);
        TTomeTableIO docs(io, "Docs");
        docs.Open();
        const int txt = 5;
        ASSERT_EQ(docs.FieldDefs().At(txt).Name, "Txt");
        uint8_t descriptor[format::kBlobDescriptorSize];
        io.ReadExact(docs.IndexList(0)[1].DataOffset + docs.FieldOffsets()[txt], descriptor, sizeof descriptor);
        blobAt = format::GetI32(descriptor + format::kBDOffset);
        blobSize = format::GetI32(descriptor + format::kBDSize);
    }
    ASSERT_GT(blobSize, 8);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(blobAt + 4);
        const std::string garbage(static_cast<size_t>(blobSize - 4), '\xFF');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    int dropped = 0;
    EXPECT_TRUE(db.Repair(&dropped));
    EXPECT_EQ(dropped, 1);
    EXPECT_TRUE(TempFiles().empty());
    TTomeDBFileIO io;
    io.Open(path, mtDisk, 0, true, false);
    TTomeTableIO docs(io, "Docs");
    docs.Open();
    EXPECT_EQ(docs.IndexList(0).size(), 2u);
}

// Whoever still has the old file open after another holder compacted the
// database would read and write a file that no longer has a name: its next
// access says so instead, and opened again it sees the compacted file.
TEST_F(RebuildTest, ReplacedFileIsReportedToOtherHolders) {
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    FillFile(3);
    TTomeDBFileIO other;
    other.Open(path, mtDisk, 0, false, false);
    {
        TTomeTableIO before(other, "Docs");
        before.Open();
        ASSERT_EQ(before.IndexList(0).size(), 3u);
    }
    ASSERT_TRUE(db.Compact());
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string message;
        try {
            TTomeFileLock lock(other);
        } catch (const EDatabaseError& e) {
            message = e.what();
        }
        EXPECT_NE(message.find("was replaced by another program"), std::string::npos) << attempt;
    }
    other.Close();
    other.Open(path, mtDisk, 0, false, false);
    TTomeTableIO after(other, "Docs");
    after.Open();
    EXPECT_EQ(after.IndexList(0).size(), 3u);
    // The database that compacted goes on with the new file.
    TTomeFileLock lock(*db.FileIO());
}

}  // namespace
}  // namespace dstest
