// TTomeTable: index selection, editing, filters, navigation, memo fields.
#include <fstream>
#include <iterator>
#include <sstream>

#include "dataset_test_support.h"

namespace dstest {
namespace {

class TableTest : public DatasetFixture {
protected:
    void SetUp() override {
        DatasetFixture::SetUp();
        CreateDocsDatabase();
        database = std::make_unique<TTomeDatabase>();
        database->SetDatabaseName(path);
        database->Open();
        table = std::make_unique<TTomeTable>();
        table->SetDatabaseName(path);
        table->SetTableName("Docs");
        table->Open();
    }
    void TearDown() override {
        table.reset();
        database.reset();
        DatasetFixture::TearDown();
    }
    std::vector<int64_t> Ids() {
        std::vector<int64_t> ids;
        for (table->First(); !table->Eof(); table->Next())
            ids.push_back(table->FieldByName("ID").AsInteger());
        return ids;
    }
    std::unique_ptr<TTomeDatabase> database;
    std::unique_ptr<TTomeTable> table;
};

TEST_F(TableTest, EmptyIndexNameUsesAutoIncPrimaryIndexAndFindKeyWorks) {
    for (int pid : {3, 1, 2})
        AddDoc(*table, pid, "doc" + std::to_string(pid));
    EXPECT_EQ(Ids(), (std::vector<int64_t>{1, 2, 3}));
    ASSERT_TRUE(table->FindKey({TVariant(2)}));
    EXPECT_EQ(table->FieldByName("PID").AsInteger(), 1);
    EXPECT_FALSE(table->FindKey({TVariant(9)}));
    EXPECT_EQ(table->FieldByName("ID").AsInteger(), 2);  // position unchanged
}

TEST_F(TableTest, IndexNameIgnoresCaseAndUnknownNameFallsBackToPrimary) {
    for (int pid : {3, 1, 2})
        AddDoc(*table, pid, "d");
    table->SetIndexName("bypid");
    std::vector<int64_t> pids;
    for (table->First(); !table->Eof(); table->Next())
        pids.push_back(table->FieldByName("PID").AsInteger());
    EXPECT_EQ(pids, (std::vector<int64_t>{1, 2, 3}));
    table->SetIndexName("NoSuchIndex");
    EXPECT_EQ(Ids(), (std::vector<int64_t>{1, 2, 3}));
}

TEST_F(TableTest, AppendPostMakesNewRecordCurrentWithItsId) {
    AddDoc(*table, 1, "a");
    table->First();
    table->Append();
    table->FieldByName("PID").SetAsInteger(7);
    table->Post();
    EXPECT_EQ(table->FieldByName("ID").AsInteger(), 2);
    EXPECT_EQ(table->FieldByName("PID").AsInteger(), 7);
    EXPECT_EQ(table->RecNo(), 2);
}

TEST_F(TableTest, FilterByPidThenDeleteRecordCountTimes) {
    for (int i = 0; i < 10; ++i)
        AddDoc(*table, i % 3 == 0 ? 5 : 4, "d");
    table->SetFilter("PID=5");
    table->SetFiltered(true);
    EXPECT_EQ(table->RecordCount(), 4);
    table->First();
    for (int n = table->RecordCount(); n > 0; --n)
        table->Delete();
    EXPECT_EQ(table->RecordCount(), 0);
    table->SetFiltered(false);
    EXPECT_EQ(table->RecordCount(), 6);
    for (table->First(); !table->Eof(); table->Next())
        EXPECT_EQ(table->FieldByName("PID").AsInteger(), 4);
}

// A filter scan reads only the fields its expression names, except when a
// handler may look at any field of the record.
TEST_F(TableTest, FilterHandlerSeesFieldsTheExpressionDoesNotName) {
    for (int i = 1; i <= 4; ++i)
        AddDoc(*table, i * 10, "name" + std::to_string(i));
    std::vector<std::string> seen;
    table->OnFilterRecord = [&seen](TTomeTable& t, bool& accept) {
        seen.push_back(t.FieldByName("DocName").AsString());
        accept = seen.back() != "name3";
    };
    table->SetFilter("PID>10");
    table->SetFiltered(true);
    EXPECT_EQ(seen, (std::vector<std::string>{"name1", "name2", "name3", "name4"}));
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(table->FieldByName("DocName").AsString(), "name2");
    table->Last();
    EXPECT_EQ(table->FieldByName("DocName").AsString(), "name4");
}

TEST_F(TableTest, PostedRecordNotMatchingFilterStaysUntilReapplied) {
    AddDoc(*table, 5, "a");
    AddDoc(*table, 6, "b");
    table->SetFilter("PID=5");
    table->SetFiltered(true);
    ASSERT_EQ(table->RecordCount(), 1);
    AddDoc(*table, 9, "c");
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(table->FieldByName("PID").AsInteger(), 9);
    table->SetFiltered(false);
    table->SetFiltered(true);
    EXPECT_EQ(table->RecordCount(), 1);
}

TEST_F(TableTest, IndexNameChangeOnFilteredTableShowsAllRecords) {
    for (int pid : {5, 6, 5})
        AddDoc(*table, pid, "d");
    table->SetFilter("PID=5");
    table->SetFiltered(true);
    ASSERT_EQ(table->RecordCount(), 2);
    table->SetIndexName("ByPID");
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_TRUE(table->Filtered());
    table->SetFiltered(false);
    table->SetFiltered(true);
    EXPECT_EQ(table->RecordCount(), 2);
}

TEST_F(TableTest, FilteredTrueTwiceStillMovesToFirst) {
    for (int pid : {5, 5, 5})
        AddDoc(*table, pid, "d");
    table->SetFilter("PID=5");
    table->SetFiltered(true);
    table->Last();
    ASSERT_EQ(table->RecNo(), 3);
    table->SetFiltered(true);
    EXPECT_EQ(table->RecNo(), 1);
}

TEST_F(TableTest, WrongFilterKeepsPreviousText) {
    AddDoc(*table, 5, "d");
    table->SetFilter("PID=5");
    table->SetFiltered(true);
    EXPECT_THROW(table->SetFilter("PID=5 PID"), EDatabaseError);
    EXPECT_EQ(table->Filter(), "PID=5");
    try {
        table->SetFilter("PID = 5 AND");
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Expression expected but nothing found");
    }
    EXPECT_EQ(table->Filter(), "PID=5");
    EXPECT_EQ(table->RecordCount(), 1);
}

TEST_F(TableTest, NewRecordDatesAndClearedStringKeepsText) {
    table->Append();
    EXPECT_DOUBLE_EQ(table->FieldByName("DocCDate").AsDateTime(), Today());
    EXPECT_DOUBLE_EQ(table->FieldByName("DocMDate").AsDateTime(), 0.0);
    EXPECT_EQ(table->FieldByName("DocMDate").AsString(), "1899-12-30");
    table->FieldByName("DocName").SetAsString("kept");
    table->Post();
    table->Edit();
    table->FieldByName("DocName").Clear();
    table->FieldByName("DocName").SetAsVariant(TVariant());
    table->Post();
    EXPECT_EQ(table->FieldByName("DocName").AsString(), "kept");
    EXPECT_FALSE(table->FieldByName("DocName").IsNull());
}

TEST_F(TableTest, LongTextIsCutOnACharacterBoundary) {
    // 99 ASCII bytes and a two-byte character do not fit a 100-byte field.
    const std::string text = std::string(99, 'a') + "\xD6\xD0";
    AddDoc(*table, 1, text);
    EXPECT_EQ(table->FieldByName("DocName").AsString(), std::string(99, 'a'));
    AddDoc(*table, 2, std::string(98, 'a') + "\xD6\xD0xyz");
    EXPECT_EQ(table->FieldByName("DocName").AsString(), std::string(98, 'a') + "\xD6\xD0");
}

TEST_F(TableTest, RecNoBoundsAndDeletingLastRecord) {
    for (int i = 1; i <= 3; ++i)
        AddDoc(*table, i, "d");
    table->SetRecNo(2);
    EXPECT_EQ(table->FieldByName("ID").AsInteger(), 2);
    table->SetRecNo(table->RecordCount() + 1);
    EXPECT_EQ(table->RecNo(), 2);
    table->SetRecNo(0);
    EXPECT_TRUE(table->Bof());
    EXPECT_EQ(table->FieldByName("ID").AsInteger(), 1);
    table->Last();
    table->Delete();
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(table->FieldByName("ID").AsInteger(), 2);
}

TEST_F(TableTest, StateErrors) {
    struct Case {
        const char* what;
        std::function<void()> run;
        const char* message;
    };
    AddDoc(*table, 1, "d");
    const std::vector<Case> cases = {
        {"write in browse", [&] { table->FieldByName("PID").SetAsInteger(3); }, "Dataset not in edit or insert mode"},
        {"post in browse", [&] { table->Post(); }, "Dataset not in edit or insert mode"},
        {"unknown field", [&] { table->FieldByName("Nope"); }, "Field 'Nope' not found"},
        {"bookmark", [&] { table->GotoBookmark(99); }, "Bookmark not found"},
        {"set table name while open", [&] { table->SetTableName("X"); },
         "Cannot perform this operation on an open dataset"},
    };
    for (const Case& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << c.what;
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
    table->Close();
    table->SetReadOnly(true);
    table->Open();
    try {
        table->Append();
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Cannot modify a read-only dataset");
    }
}

TEST_F(TableTest, FindKeyWithoutIndexRaises) {
    ASSERT_TRUE(database->CreateTable("Plain", {MakeFieldItem("N", ftInteger, 0, 0)}));
    TTomeTable plain(nullptr, "tblPlain");
    plain.SetDatabaseName(path);
    plain.SetTableName("plain");
    plain.Open();
    try {
        plain.FindKey({TVariant(1)});
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "tblPlain: No index currently active");
    }
    TTomeTable missing;
    missing.SetDatabaseName(path);
    missing.SetTableName("Missing");
    EXPECT_THROW(missing.Open(), EDatabaseError);
    EXPECT_FALSE(missing.Active());
}

TEST_F(TableTest, MemoRoundTripsByteForByteAndLoadsLazily) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += static_cast<char>((i * 37) % 256);
    table->Append();
    std::istringstream in(bytes);
    table->FieldByName("Txt").LoadFromStream(in);
    table->Post();
    table->Close();
    table->Open();
    std::ostringstream out;
    table->FieldByName("Txt").SaveToStream(out);
    EXPECT_EQ(out.str(), bytes);
    // A blob stream in write mode empties the value and marks it modified.
    table->Edit();
    {
        auto stream = table->CreateBlobStream(table->FieldByName("Txt"), bmWrite);
        stream->Write("new", 3);
    }
    table->Post();
    EXPECT_EQ(table->FieldByName("Txt").AsString(), "new");
    // Read mode copies the value; read-write appends in place.
    auto reader = table->CreateBlobStream(table->FieldByName("Txt"), bmRead);
    char got[3] = {};
    EXPECT_EQ(reader->Read(got, 3), 3u);
    EXPECT_EQ(std::string(got, 3), "new");
    EXPECT_THROW(table->CreateBlobStream(table->FieldByName("Txt"), bmReadWrite), EDatabaseError);
    table->Edit();
    {
        auto stream = table->CreateBlobStream(table->FieldByName("Txt"), bmReadWrite);
        stream->Seek(0, TTomeMemoryStream::soEnd);
        stream->Write("er", 2);
    }
    table->Post();
    EXPECT_EQ(table->FieldByName("Txt").AsString(), "newer");
}

// The record is fetched without its memo: bytes changed on disk after the
// fetch are what the first read of the memo sees.
TEST_F(DatasetFixture, MemoIsReadOnlyWhenItsStreamIsRead) {
    {
        TTomeDatabase creator;
        ASSERT_TRUE(creator.CreateDatabase(path, false, 1, "zLIB", false, "blowfish", "", false));
        creator.SetDatabaseName(path);
        ASSERT_TRUE(
            creator.CreateTable("M", {MakeFieldItem("ID", ftAutoInc, 0, 1), MakeFieldItem("Txt", ftMemo, 0, 1)}));
    }
    const std::string marker = "memo-marker-0123456789";
    TTomeTable table;
    table.SetDatabaseName(path);
    table.SetTableName("M");
    table.Open();
    table.Append();
    table.FieldByName("Txt").SetAsString(marker);
    table.Post();
    table.Close();
    table.Open();  // record 1 is current; its memo has not been read
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t at = image.find(marker);
    ASSERT_NE(at, std::string::npos);
    file.seekp(static_cast<std::streamoff>(at));
    file.write("MEMO", 4);
    file.close();
    EXPECT_EQ(table.FieldByName("Txt").AsString(), "MEMO" + marker.substr(4));
}

TEST_F(TableTest, LocateLookupAndFindRecord) {
    for (int i = 1; i <= 5; ++i)
        AddDoc(*table, i * 10, "name" + std::to_string(i));
    EXPECT_TRUE(table->Locate("DocName", {TVariant("NAME3")}, loCaseInsensitive));
    EXPECT_EQ(table->FieldByName("PID").AsInteger(), 30);
    EXPECT_TRUE(table->Locate("PID", {TVariant(50)}, 0));
    EXPECT_EQ(table->FieldByName("ID").AsInteger(), 5);
    EXPECT_FALSE(table->Locate("PID", {TVariant(55)}, 0));
    const TVariantArray found = table->Lookup("PID", {TVariant(20)}, "DocName;ID");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].AsString(), "name2");
    EXPECT_EQ(found[1].AsInteger(), 2);
    table->SetFilter("PID>=40");
    EXPECT_TRUE(table->FindFirst());
    EXPECT_EQ(table->FieldByName("PID").AsInteger(), 40);
    EXPECT_TRUE(table->FindNext());
    EXPECT_FALSE(table->FindNext());
    EXPECT_EQ(table->RecordCount(), 5);
}

TEST_F(TableTest, UniqueViolationKeepsInsertState) {
    ASSERT_TRUE(database->CreateTable("U", {MakeFieldItem("K", ftInteger, 0, 0)}));
    ASSERT_TRUE(database->CreateIndex("U", "ByK", tiUnique, {"K"}));
    TTomeTable u;
    u.SetDatabaseName(path);
    u.SetTableName("U");
    u.Open();
    u.Append();
    u.FieldByName("K").SetAsInteger(1);
    u.Post();
    u.Append();
    u.FieldByName("K").SetAsInteger(1);
    try {
        u.Post();
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Invalid unique field value '1'");
    }
    EXPECT_EQ(u.State(), dsInsert);
    u.FieldByName("K").SetAsInteger(2);
    u.Post();
    EXPECT_EQ(u.RecordCount(), 2);
}

TEST_F(TableTest, MasterDetailRange) {
    for (int pid : {1, 2, 2, 3})
        AddDoc(*table, pid, "d");
    ASSERT_TRUE(database->CreateTable("M", {MakeFieldItem("MID", ftAutoInc, 0, 0)}));
    TTomeTable master;
    master.SetDatabaseName(path);
    master.SetTableName("M");
    master.Open();
    for (int i = 0; i < 3; ++i) {
        master.Append();
        master.Post();
    }
    TTomeTable detail;
    detail.SetDatabaseName(path);
    detail.SetTableName("Docs");
    detail.SetIndexName("ByPID");
    detail.SetMasterSource(&master);
    detail.SetMasterFields("MID");
    detail.Open();
    master.FindKey({TVariant(2)});
    EXPECT_EQ(detail.RecordCount(), 2);
    master.FindKey({TVariant(3)});
    EXPECT_EQ(detail.RecordCount(), 1);
    EXPECT_THROW(master.SetMasterSource(&detail), EDatabaseError);
}

}  // namespace
}  // namespace dstest
