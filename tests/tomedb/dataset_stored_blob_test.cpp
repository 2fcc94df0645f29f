// TTomeTable: a blob value copied to another table in its stored form reads
// back byte for byte (compressed, and compressed and encrypted), and the copy
// is refused where the stored form would not decode the same.
#include "dataset_test_support.h"

namespace dstest {
namespace {

struct Library {
    TTomeDatabase database;
    TTomeTable docs, kept;
};

class StoredBlobTest : public DatasetFixture, public ::testing::WithParamInterface<bool> {
protected:
    // Docs plus "Kept" (ID, Txt memo) in one file, both open.
    void OpenLibrary(Library& lib, const std::string& file, bool encrypt) {
        const std::string saved = path;
        path = file;
        CreateDocsDatabase(encrypt, "pw");
        path = saved;
        lib.database.SetDatabaseName(file);
        lib.database.SetKeepConnection(true);
        lib.database.Open();
        if (encrypt)
            lib.database.SetPassword("pw");
        ASSERT_TRUE(lib.database.CreateTable(
            "Kept", {MakeFieldItem("ID", ftAutoInc, 0, 1), MakeFieldItem("Txt", ftMemo, 0, 0)}));
        for (auto [table, name] : {std::pair{&lib.docs, "Docs"}, std::pair{&lib.kept, "Kept"}}) {
            table->SetDatabaseName(file);
            table->SetTableName(name);
            table->Open();
        }
    }
    static int Txt(TTomeTable& table) { return table.FieldByName("Txt").Index(); }
};

std::string Bytes() {
    std::string bytes;
    for (int i = 0; i < 30000; ++i)
        bytes += static_cast<char>((i * 131 + i / 7) % 256);
    return bytes;
}

TEST_P(StoredBlobTest, CopiedStoredFormReadsBackByteForByte) {
    Library lib;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    const std::string bytes = Bytes();
    AddDoc(lib.docs, 1, "one", bytes);
    const std::optional<std::string> stored = lib.docs.StoredBlobValue(Txt(lib.docs));
    ASSERT_TRUE(stored);
    EXPECT_NE(*stored, bytes);  // compressed (and encrypted)
    EXPECT_EQ(lib.docs.DecodeStoredBlobValue(Txt(lib.docs), *stored), bytes);
    lib.kept.Append();
    ASSERT_TRUE(lib.kept.SetStoredBlobValue(Txt(lib.kept), lib.docs, Txt(lib.docs), *stored));
    lib.kept.Post();
    lib.kept.Close();
    lib.kept.Open();
    lib.kept.Last();
    EXPECT_EQ(lib.kept.FieldByName("Txt").AsString(), bytes);
    EXPECT_EQ(lib.kept.StoredBlobValue(Txt(lib.kept)), stored);
}

TEST_P(StoredBlobTest, CopyIsRefusedOrDroppedWhereItCannotHold) {
    Library lib, other;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    OpenLibrary(other, folder + "/b.qdb", GetParam());
    AddDoc(lib.docs, 1, "one", "text of one");
    const std::string stored = *lib.docs.StoredBlobValue(Txt(lib.docs));
    // Not appending; another file (its own key); an indexed or non-blob field.
    EXPECT_FALSE(lib.kept.SetStoredBlobValue(Txt(lib.kept), lib.docs, Txt(lib.docs), stored));
    other.kept.Append();
    EXPECT_FALSE(other.kept.SetStoredBlobValue(Txt(other.kept), lib.docs, Txt(lib.docs), stored));
    other.kept.Cancel();
    lib.docs.Append();
    const int pid = lib.docs.FieldByName("PID").Index();
    EXPECT_FALSE(lib.docs.SetStoredBlobValue(pid, lib.docs, Txt(lib.docs), stored));
    EXPECT_EQ(lib.docs.StoredBlobValue(Txt(lib.docs)), std::nullopt);  // not browsing
    lib.docs.Cancel();
    // A cancelled append drops what it was handed.
    lib.kept.Append();
    ASSERT_TRUE(lib.kept.SetStoredBlobValue(Txt(lib.kept), lib.docs, Txt(lib.docs), stored));
    lib.kept.Cancel();
    lib.kept.Append();
    lib.kept.FieldByName("Txt").SetAsString("own value");
    lib.kept.Post();
    EXPECT_EQ(lib.kept.FieldByName("Txt").AsString(), "own value");
}

// A walk reads each value into one buffer; the value is what AsString gives,
// loaded or not, edited or not.
TEST_P(StoredBlobTest, ReadBlobIntoGivesTheValue) {
    Library lib;
    OpenLibrary(lib, folder + "/a.qdb", GetParam());
    const std::string bytes = Bytes();
    AddDoc(lib.docs, 1, "one", bytes);
    AddDoc(lib.docs, 1, "two");
    std::string out = "old";
    lib.docs.First();
    ASSERT_TRUE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    EXPECT_EQ(out, bytes);
    lib.docs.Next();
    ASSERT_TRUE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    EXPECT_EQ(out, "");
    lib.docs.First();
    EXPECT_EQ(lib.docs.FieldByName("Txt").AsString(), bytes);  // now loaded in the buffer
    ASSERT_TRUE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    EXPECT_EQ(out, bytes);
    EXPECT_FALSE(lib.docs.ReadBlobInto(lib.docs.FieldByName("PID").Index(), out));
    lib.docs.Edit();
    EXPECT_FALSE(lib.docs.ReadBlobInto(Txt(lib.docs), out));
    lib.docs.Cancel();
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, StoredBlobTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encrypted" : "Plain"; });

}  // namespace
}  // namespace dstest
