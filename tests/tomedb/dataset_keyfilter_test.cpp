// Filters that pick records by an integer key are answered from the stored
// key bytes; whatever the path, a filter must pass exactly the records the
// expression tree passes. A handler on OnFilterRecord that accepts everything
// forces the tree, so each case is run both ways and compared.
#include "dataset_test_support.h"

namespace dstest {
namespace {

class KeyFilterTest : public DatasetFixture, public ::testing::WithParamInterface<bool> {
protected:
    // K: ID, S smallint, W word, N integer, L largeint, Name; the number
    // fields may be encrypted (DPMode 0) when the database is.
    void SetUp() override {
        DatasetFixture::SetUp();
        const bool encrypt = GetParam();
        CreateKeyTable(encrypt);
        database = std::make_unique<TTomeDatabase>();
        database->SetDatabaseName(path);
        if (encrypt)
            database->SetPassword("pw");
        database->Open();
        table = std::make_unique<TTomeTable>();
        table->SetDatabaseName(path);
        table->SetTableName("K");
        table->Open();
        for (int i = 0; i < 12; ++i) {
            table->Append();
            table->FieldByName("S").SetAsInteger(i % 3 - 1);
            table->FieldByName("W").SetAsInteger(60000 + i % 4);
            table->FieldByName("N").SetAsInteger(i % 5);
            table->FieldByName("L").SetAsInteger(int64_t{5000000000} + i % 2);
            table->FieldByName("Name").SetAsString("n" + std::to_string(i));
            table->Post();
        }
    }
    void CreateKeyTable(bool encrypt) {
        TTomeDatabase creator;
        ASSERT_TRUE(creator.CreateDatabase(path, true, 1, "zLIB", encrypt, "blowfish", "pw", false));
        creator.SetDatabaseName(path);
        creator.Open();
        if (encrypt)
            creator.SetPassword("pw");
        ASSERT_TRUE(
            creator.CreateTable("K", {MakeFieldItem("ID", ftAutoInc, 0, 1), MakeFieldItem("S", ftSmallint, 0, 0),
                                      MakeFieldItem("W", ftWord, 0, 0), MakeFieldItem("N", ftInteger, 0, 0),
                                      MakeFieldItem("L", ftLargeint, 0, 0), MakeFieldItem("Name", ftString, 20, 0)}));
        creator.Close();
    }
    void TearDown() override {
        table.reset();
        database.reset();
        DatasetFixture::TearDown();
    }
    std::vector<int64_t> Passing(const std::string& filter, bool throughTree) {
        table->SetFiltered(false);
        table->OnFilterRecord = nullptr;
        if (throughTree)
            table->OnFilterRecord = [](TTomeTable&, bool& accept) { accept = true; };
        table->SetFilter(filter);
        table->SetFiltered(true);
        std::vector<int64_t> ids;
        for (table->First(); !table->Eof(); table->Next())
            ids.push_back(table->FieldByName("ID").AsInteger());
        return ids;
    }
    std::unique_ptr<TTomeDatabase> database;
    std::unique_ptr<TTomeTable> table;
};

TEST_P(KeyFilterTest, KeyScanPassesWhatTheTreePasses) {
    const char* filters[] = {"N=3",          "3=N",           "N IN (4, 1, 4)", "N IN (7)",
                             "S=-1",         "S IN (0, -1)",  "W=60002",        "W IN (60001, -1)",
                             "L=5000000001", "ID IN (2, 12)", "ID=0",           "N=3.0",
                             "N=3 OR N=4",   "N<>3",          "Name='n5'",      "N IN (1, 2.5)"};
    for (const char* filter : filters) {
        SCOPED_TRACE(filter);
        const std::vector<int64_t> tree = Passing(filter, true);
        EXPECT_EQ(Passing(filter, false), tree);
    }
    EXPECT_EQ(Passing("N IN (4, 1)", false), (std::vector<int64_t>{2, 5, 7, 10, 12}));
    EXPECT_EQ(Passing("S=-1", false), (std::vector<int64_t>{1, 4, 7, 10}));
}

// The keys a scan tests are kept from one scan to the next; edits, appends
// and deletes in between must show in the next filter.
TEST_P(KeyFilterTest, WritesBetweenScansAreSeen) {
    ASSERT_EQ(Passing("N=3", false), (std::vector<int64_t>{4, 9}));
    table->SetFiltered(false);
    table->First();  // ID 1
    table->Edit();
    table->FieldByName("N").SetAsInteger(3);
    table->Post();
    table->Append();
    table->FieldByName("N").SetAsInteger(3);
    table->Post();
    table->Last();
    table->Prior();
    table->Prior();  // ID 11 (N 0)
    table->Edit();
    table->FieldByName("Name").SetAsString("renamed");
    table->Post();
    EXPECT_EQ(Passing("N=3", false), (std::vector<int64_t>{1, 4, 9, 13}));
    table->First();
    table->Delete();  // ID 1, the first passing record
    EXPECT_EQ(Passing("N IN (3, 0)", false), Passing("N IN (3, 0)", true));
    EXPECT_EQ(Passing("N=3", false), (std::vector<int64_t>{4, 9, 13}));
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, KeyFilterTest, ::testing::Values(false, true));

}  // namespace
}  // namespace dstest
