// The rebuild copies blob values in their stored form when re-encoding could
// not change them. Whatever the settings, the rebuilt file must be the same
// byte for byte (random header fill aside) as the one the full decode/encode
// path gives, and its values must read back unchanged.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dataset_test_support.h"
#include "tomedb/dataset/TomeRebuild.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeTableIO.h"

namespace dstest {
namespace {

struct TFastCase {
    const char* label;
    bool compress;
    bool encrypt;
    bool crc32;
    uint8_t memoDPMode;
    const char* newPassword;  // nullptr: Compact; else ChangePassword(newPassword, encrypt)
};

const TFastCase kCases[] = {
    {"plain", false, false, false, 0, nullptr},
    {"compressed", true, false, false, 0, nullptr},
    {"encrypted", false, true, false, 0, nullptr},
    {"compressed+encrypted", true, true, false, 0, nullptr},
    {"crc32", true, true, true, 0, nullptr},
    {"memo with DPMode 1", true, true, false, 1, nullptr},
    {"plain memo with DPMode 1", false, false, false, 1, nullptr},
    {"same password again", true, true, false, 0, "pw"},
    {"new password", true, true, false, 0, "other"},
};

class RebuildFastTest : public DatasetFixture, public ::testing::WithParamInterface<TFastCase> {
protected:
    void TearDown() override {
        g_RebuildCopiesStoredBlobs = true;
        DatasetFixture::TearDown();
    }

    std::string Password() const { return GetParam().encrypt ? "pw" : std::string(); }

    void OpenDb(TTomeDatabase& db, const std::string& file) const {
        db.SetDatabaseName(file);
        db.SetPassword(Password());
        db.Open();
    }

    void OpenTable(TTomeTable& table, const std::string& file) const {
        table.SetDatabaseName(file);
        table.SetTableName("Docs");
        table.Open();
    }

    // Docs with a memo and a blob (processed per case) and a history of
    // deletes and rewrites, so blobs lie in moved and grown areas.
    void CreateSource() {
        const TFastCase& c = GetParam();
        TTomeDatabase creator;
        ASSERT_TRUE(creator.CreateDatabase(path, c.compress, 6, "zLIB", c.encrypt, "Blowfish", Password(), c.crc32));
        OpenDb(creator, path);
        ASSERT_TRUE(creator.CreateTable(
            "Docs", {MakeFieldItem("ID", ftAutoInc, 0, 0), MakeFieldItem("PID", ftInteger, 0, 0),
                     MakeFieldItem("DocName", ftString, 40, 0), MakeFieldItem("Txt", ftMemo, 0, c.memoDPMode),
                     MakeFieldItem("Pic", ftBlob, 0, 0)}));
        ASSERT_TRUE(creator.CreateIndex("Docs", "ByPID", 0, {"PID"}));
        TTomeTable table;
        OpenTable(table, path);
        for (int i = 1; i <= 40; ++i) {
            table.Append();
            table.FieldByName("PID").SetAsInteger(i % 5);
            table.FieldByName("DocName").SetAsString("文档" + std::to_string(i));
            if (i % 7 != 0)
                table.FieldByName("Txt").SetAsString(Text(i));
            if (i % 3 == 0)
                table.FieldByName("Pic").SetAsString(std::string(static_cast<size_t>(i * 13), '\x01'));
            table.Post();
        }
        for (int id : {3, 11, 12, 40}) {
            ASSERT_TRUE(table.FindKey({TVariant(id)}));
            table.Delete();
        }
        for (int id : {1, 20}) {
            ASSERT_TRUE(table.FindKey({TVariant(id)}));
            table.Edit();
            table.FieldByName("Txt").SetAsString(Text(id) + Text(id + 100));
            table.Post();
        }
    }

    static std::string Text(int i) {
        std::string text;
        for (int k = 0; k < i * 9; ++k)
            text += static_cast<char>('a' + (k * i) % 26);
        return text + "，中文" + std::to_string(i);
    }

    std::vector<std::string> Dump(const std::string& file, const std::string& password) const {
        TTomeDatabase db;
        db.SetDatabaseName(file);
        db.SetPassword(password);
        db.Open();
        TTomeTable table;
        OpenTable(table, file);
        std::vector<std::string> rows;
        for (table.First(); !table.Eof(); table.Next())
            rows.push_back(table.FieldByName("ID").AsString() + "|" + table.FieldByName("DocName").AsString() + "|" +
                           table.FieldByName("Txt").AsString() + "|" + table.FieldByName("Pic").AsString());
        return rows;
    }

    // Counts the source's decompression reports, which show whether values
    // were decoded.
    bool Rebuild(const std::string& file, bool copyStored, int& inflations) const {
        g_RebuildCopiesStoredBlobs = copyStored;
        TTomeDatabase db;
        inflations = 0;
        db.OnUncompressProgress = [&](void*, int) { ++inflations; };
        OpenDb(db, file);
        const TFastCase& c = GetParam();
        return c.newPassword ? db.ChangePassword(c.newPassword, c.encrypt) : db.Compact();
    }

    // Whether every compressed source blob can go over in stored form (a memo
    // with DPMode 1 is stored plain, so it is never inflated either way).
    static bool StoredCopyExpected(const TFastCase& c) {
        const bool samePassword = !c.newPassword || std::string(c.newPassword) == "pw";
        return c.compress && !c.crc32 && samePassword;
    }

    static std::vector<uint8_t> WithoutRandomFill(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        const size_t fill = format::kAlgoBlockOffset + format::kAlgoRandomFill;
        if (bytes.size() >= fill + format::kRandomFillSize)
            std::fill(bytes.begin() + fill, bytes.begin() + fill + format::kRandomFillSize, 0);
        return bytes;
    }
};

TEST_P(RebuildFastTest, StoredCopyGivesTheSameFileAsReencoding) {
    CreateSource();
    const std::vector<std::string> before = Dump(path, Password());
    ASSERT_EQ(before.size(), 36u);
    const std::string copy = folder + "/copy.qdb";
    std::filesystem::copy_file(path, copy);

    int fastInflations = 0, fullInflations = 0;
    ASSERT_TRUE(Rebuild(path, true, fastInflations));
    ASSERT_TRUE(Rebuild(copy, false, fullInflations));
    if (GetParam().compress) {
        EXPECT_GT(fullInflations, 0);
        if (StoredCopyExpected(GetParam()))
            EXPECT_EQ(fastInflations, 0);
        else
            EXPECT_GT(fastInflations, 0);
    }

    const std::vector<uint8_t> fast = WithoutRandomFill(path), full = WithoutRandomFill(copy);
    ASSERT_EQ(fast.size(), full.size());
    EXPECT_TRUE(fast == full) << "rebuilt files differ";
    const std::string after = GetParam().newPassword ? GetParam().newPassword : Password();
    EXPECT_EQ(Dump(path, after), before);
}

INSTANTIATE_TEST_SUITE_P(Settings, RebuildFastTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TFastCase>& info) {
                             std::string name;
                             for (const char* p = info.param.label; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// The storage entry point refuses values it could not store faithfully.
TEST_F(DatasetFixture, PreEncodedBlobIsRefusedWhereThePlainValueIsNeeded) {
    TTomeDatabase db;
    ASSERT_TRUE(db.CreateDatabase(path, true, 1, "zLIB", false, "Blowfish", "", true));
    db.SetDatabaseName(path);
    db.Open();
    ASSERT_TRUE(db.CreateTable("Docs", DocsFields()));
    TTomeTable table;
    table.SetDatabaseName(path);
    table.SetTableName("Docs");
    table.Open();
    TTomeTableIO* io = db.FindTableIO("Docs");
    ASSERT_NE(io, nullptr);
    EXPECT_THROW(io->SetPreEncodedBlob(5, "x"), EDatabaseError);  // CRC32 image
    EXPECT_THROW(io->SetPreEncodedBlob(1, "x"), EDatabaseError);  // not a blob
}

}  // namespace
}  // namespace dstest
