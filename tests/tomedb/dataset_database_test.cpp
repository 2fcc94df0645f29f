// TTomeDatabase and TTomeSession: passwords, login, temporary databases,
// connection keeping, comments and extra data, property rules, file lock.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "dataset_test_support.h"
#include "tomedb/storage/TomeMemoryImage.h"

namespace dstest {
namespace {

class DatabaseTest : public DatasetFixture {};

std::string Message(const std::function<void()>& run) {
    try {
        run();
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST_F(DatabaseTest, EncryptedOpenAndPasswords) {
    CreateDocsDatabase(true, "secret");
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    EXPECT_TRUE(db.Connected());
    EXPECT_FALSE(db.CanAccess());
    EXPECT_TRUE(db.Encrypted());
    db.SetPassword("wrong");
    EXPECT_FALSE(db.CanAccess());
    db.SetPassword("secret");
    EXPECT_TRUE(db.CanAccess());
    db.Close();
    db.Open();
    EXPECT_FALSE(db.CanAccess());  // forgotten on close
    db.Close();
    db.SetPassword("secret");  // given before opening: used by the open
    db.Open();
    EXPECT_TRUE(db.CanAccess());
}

TEST_F(DatabaseTest, LoginCallbackForTables) {
    CreateDocsDatabase(true, "secret");
    TTomeTable table;
    table.SetDatabaseName(path);
    table.SetTableName("Docs");
    EXPECT_EQ(Message([&] { table.Open(); }), "Access denied");  // no handler installed
    TScriptedDBLogin login;
    TDBLoginScope scope(&login);
    login.answers = {std::nullopt};
    EXPECT_THROW(table.Open(), EAbort);
    EXPECT_FALSE(table.Active());
    login.answers = {std::string("wrong")};
    EXPECT_EQ(Message([&] { table.Open(); }), "Access denied");
    login.answers = {std::string("secret")};
    table.Open();
    EXPECT_TRUE(table.Active());
    ASSERT_EQ(login.asked.size(), 3u);
    EXPECT_EQ(login.asked[0], path);
    AddDoc(table, 1, "x", "encrypted memo");
    table.Close();
}

TEST_F(DatabaseTest, TemporaryDatabaseLivesWithItsTable) {
    CreateDocsDatabase();
    EXPECT_EQ(DefaultSession().FindDatabase(path), nullptr);
    {
        TTomeTable table;
        table.SetDatabaseName(path);
        table.SetTableName("Docs");
        table.Open();
        TTomeDatabase* temporary = DefaultSession().FindDatabase(path);
        ASSERT_NE(temporary, nullptr);
        EXPECT_TRUE(temporary->Temporary());
        EXPECT_EQ(temporary->RefCount(), 1);
        table.Close();
    }
    EXPECT_EQ(DefaultSession().FindDatabase(path), nullptr);
}

TEST_F(DatabaseTest, LastTableClosingClosesDatabaseUnlessKeepConnection) {
    CreateDocsDatabase(true, "pw");
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    db.SetPassword("pw");
    {
        TTomeTable a, b;
        for (TTomeTable* t : {&a, &b}) {
            t->SetDatabaseName(path);
            t->SetTableName("Docs");
            t->Open();
        }
        EXPECT_EQ(db.RefCount(), 2);
        a.Close();
        EXPECT_TRUE(db.Connected());
        b.Close();
    }
    EXPECT_FALSE(db.Connected());
    db.Open();
    EXPECT_FALSE(db.CanAccess());  // the password went with the connection
    db.SetPassword("pw");
    db.SetKeepConnection(true);
    {
        TTomeTable t;
        t.SetDatabaseName(path);
        t.SetTableName("Docs");
        t.Open();
    }
    EXPECT_TRUE(db.Connected());
    db.SetKeepConnection(false);  // nobody uses it: closes at once
    EXPECT_FALSE(db.Connected());
}

TEST_F(DatabaseTest, CommentsAndExtData) {
    CreateDocsDatabase(true, "pw");
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.SetPassword("pw");
    std::vector<uint8_t> big(3000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<uint8_t>(i % 251 + 1);
    ASSERT_TRUE(db.SetExtData(big.data(), 3000));  // opens the database itself
    EXPECT_TRUE(db.Connected());
    std::vector<uint8_t> stored;
    ASSERT_TRUE(db.GetExtData(stored));
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), big.begin()));
    ASSERT_TRUE(db.SetExtData(big.data(), 10));
    ASSERT_TRUE(db.GetExtData(stored));
    EXPECT_TRUE(std::all_of(stored.begin() + 10, stored.end(), [](uint8_t b) { return b == 0; }));
    ASSERT_TRUE(db.SetComments(std::string(300, 'c')));
    std::string comment;
    ASSERT_TRUE(db.GetComments(comment));
    EXPECT_EQ(comment, std::string(256, 'c'));
}

TEST_F(DatabaseTest, ClosedAndOpenDatabasePropertyRules) {
    CreateDocsDatabase();
    TTomeDatabase named(nullptr, "TomeDB");
    const std::vector<std::pair<const char*, std::function<void()>>> closedCalls = {
        {"Encrypted", [&] { named.Encrypted(); }},         {"CompressBlob", [&] { named.CompressBlob(); }},
        {"CompressLevel", [&] { named.CompressLevel(); }}, {"CRC32", [&] { named.CRC32(); }},
        {"FileSize", [&] { named.FileSize(); }},           {"FileDate", [&] { named.FileDate(); }},
    };
    for (const auto& [what, call] : closedCalls)
        EXPECT_EQ(Message(call), "TomeDB: Cannot perform this operation on a closed database") << what;
    EXPECT_EQ(Message([&] { named.Open(); }), "TomeDB: Database name missing");
    named.SetDatabaseName(path);
    named.Open();
    EXPECT_TRUE(named.CompressBlob());
    EXPECT_EQ(named.CompressLevel(), 1);
    EXPECT_GT(named.FileSize(), 3821);
    EXPECT_GT(named.FileDate(), 40000.0);
    const std::vector<std::function<void()>> openCalls = {
        [&] { named.SetFileName("x"); },   [&] { named.SetDatabaseName("x"); }, [&] { named.SetMediumType(mtMemory); },
        [&] { named.SetExclusive(true); }, [&] { named.SetReadOnly(true); },    [&] { named.SetSessionName("x"); },
    };
    for (const auto& call : openCalls)
        EXPECT_EQ(Message(call), "TomeDB: Cannot perform this operation on an open database");
    TTomeDatabase twin;
    EXPECT_EQ(Message([&] { twin.SetDatabaseName(path); }), "Duplicate database name '" + path + "'");
    named.Close();
    named.SetReadOnly(true);
    EXPECT_EQ(Message([&] { named.CreateTable("T", {MakeFieldItem("A", ftInteger, 0, 0)}); }),
              "Cannot modify a read-only database");
    EXPECT_EQ(Message([&] { named.Compact(); }), "Cannot modify a read-only database");
    TTomeDatabase other;
    other.SetDatabaseName(folder + "/none.tdb");
    other.SetSessionName("NoSuchSession");
    EXPECT_EQ(Message([&] { other.Open(); }), "Invalid session name NoSuchSession");
}

TEST_F(DatabaseTest, SessionNamingRules) {
    EXPECT_EQ(DefaultSession().SessionName(), "Default");
    EXPECT_EQ(Sessions().FindSession(""), &DefaultSession());
    TTomeSession session("Sess");
    EXPECT_EQ(Message([&] { session.Open(); }), "Sess: Session name missing");
    EXPECT_EQ(Message([&] { session.SetSessionName("default"); }), "Sess: Duplicate session name 'default'");
    session.SetSessionName("Work");
    session.Open();
    EXPECT_EQ(Message([&] { session.SetSessionName("Other"); }),
              "Sess: Cannot perform this operation on an active session");
    session.Close();
    session.SetAutoSessionName(true);
    EXPECT_EQ(session.SessionName(), "Sess_1");
    EXPECT_EQ(Message([&] { session.SetSessionName("Mine"); }),
              "Sess: Cannot modify SessionName while AutoSessionName is enabled");
    session.SetLockRetryCount(-3);
    EXPECT_EQ(session.LockRetryCount(), 0);
    // A database of this session is found by tables naming the session.
    CreateDocsDatabase();
    TTomeDatabase db(&session);
    EXPECT_EQ(db.SessionName(), "Sess_1");
    db.SetDatabaseName("alias");
    db.SetFileName(path);
    TTomeTable table;
    table.SetSessionName("Sess_1");
    table.SetDatabaseName("alias");
    table.SetTableName("Docs");
    table.Open();
    EXPECT_EQ(table.Database(), &db);
    table.Close();
}

// Two processes: the child holds the file lock, the parent gives up after the
// default 20 pauses of 100 ms.
TEST_F(DatabaseTest, LockHeldByAnotherProcessTimesOut) {
    CreateDocsDatabase();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        TTomeDBFileIO io;
        io.Open(path, mtDisk, 0, false, false);
        io.Lock();
        const char ok = 1;
        if (write(ready[1], &ok, 1) != 1)
            _exit(2);
        sleep(30);
        _exit(0);
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.Open();
    const auto start = std::chrono::steady_clock::now();
    const std::string message = Message([&] { db.CreateTable("T2", {MakeFieldItem("A", ftInteger, 0, 0)}); });
    const auto waited = std::chrono::steady_clock::now() - start;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(message, "Wait for unlock time out");
    EXPECT_GE(waited, std::chrono::milliseconds(1900));
    // With the lock gone the same operation succeeds.
    EXPECT_TRUE(db.CreateTable("T2", {MakeFieldItem("A", ftInteger, 0, 0)}));
}

TEST_F(DatabaseTest, CreateTableAndIndexThroughDatabase) {
    CreateDocsDatabase();
    TTomeDatabase db;
    db.SetDatabaseName(path);
    ASSERT_TRUE(
        db.CreateTable("Marks", {MakeFieldItem("MID", ftAutoInc, 0, 1), MakeFieldItem("MarkParent", ftInteger, 0, 1)}));
    std::vector<std::string> names;
    db.GetTableNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Docs", "Marks"}));
    ASSERT_EQ(db.TableDefs().size(), 2u);
    EXPECT_EQ(db.TableDefs()[1].Name, "Marks");
    EXPECT_EQ(Message([&] { db.CreateIndex("Marks", "P2", tiPrimary, {"MarkParent"}); }), "Duplicate primary index");
    TTomeTable marks;
    marks.SetDatabaseName(path);
    marks.SetTableName("Marks");
    marks.Open();
    ASSERT_EQ(marks.IndexDefs().size(), 1u);
    EXPECT_EQ(marks.IndexDefs()[0].Name, "MID");
    EXPECT_EQ(marks.IndexDefs()[0].Options, static_cast<uint32_t>(ixPrimary));
    ASSERT_EQ(marks.FieldDefs().size(), 2u);
    EXPECT_EQ(marks.FieldDefs()[1].DataType, ftInteger);
    marks.Append();
    marks.Post();
    marks.Close();
    EXPECT_EQ(Message([&] { db.CreateIndex("Marks", "ByP", 0, {"MarkParent"}); }), "Fail to create index");
}

TEST_F(DatabaseTest, ClosingOrDestroyingDatabaseClosesItsTables) {
    CreateDocsDatabase();
    auto db = std::make_unique<TTomeDatabase>();
    db->SetDatabaseName(path);
    db->Open();
    TTomeTable docs;
    docs.SetDatabaseName(path);
    docs.SetTableName("Docs");
    docs.Open();
    AddDoc(docs, 1, "a");
    EXPECT_EQ(db->DataSetCount(), 1);
    db->Close();
    EXPECT_FALSE(docs.Active());
    EXPECT_EQ(db->DataSetCount(), 0);
    docs.Open();  // reopens the same database object
    EXPECT_TRUE(db->Connected());
    EXPECT_EQ(docs.RecordCount(), 1);
    db.reset();
    EXPECT_FALSE(docs.Active());
    EXPECT_EQ(docs.RecordCount(), 0);
}

// Writes through a descriptor whose file was deleted vanish at the last
// close; a file that was moved keeps them. The first is refused (reading
// goes on), the second written as usual.
TEST_F(DatabaseTest, WritesToAFileDeletedWhileOpenAreRefusedToAMovedOneKept) {
    CreateDocsDatabase();
    TTomeTable docs;
    docs.SetDatabaseName(path);
    docs.SetTableName("Docs");
    docs.Open();
    AddDoc(docs, 1, "before");

    const std::string moved = folder + "/moved.qdb";
    ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
    AddDoc(docs, 1, "after the move");
    EXPECT_EQ(docs.RecordCount(), 2);

    ASSERT_EQ(std::remove(moved.c_str()), 0);
    const std::string refused = Message([&] { AddDoc(docs, 1, "after the delete"); });
    EXPECT_NE(refused.find("was deleted while open"), std::string::npos) << refused;
    docs.Cancel();
    EXPECT_EQ(docs.RecordCount(), 2);
    docs.First();
    EXPECT_EQ(docs.FieldByName("DocName").AsString(), "before");
}

// Replaces the database file with a copy of itself (as a program that does
// not take the file lock would) at the first write it is told of.
class ReplaceAtFirstWrite final : public TTomeWriteObserver {
public:
    explicit ReplaceAtFirstWrite(std::string path) : path_(std::move(path)) {}
    void ImageWritten(int64_t, const uint8_t*, size_t) override {
        if (done_)
            return;
        done_ = true;
        const std::string copy = path_ + ".copy";
        std::filesystem::copy_file(path_, copy);
        std::filesystem::rename(copy, path_);
    }
    void FileLayerGone() override {}

private:
    std::string path_;
    bool done_ = false;
};

// A post or delete writes and reads back in one lock period: once it has
// written, it does not fail because the file was replaced meanwhile (the
// change is in the file it wrote). The replacement is reported by the next
// operation, which writes nothing.
TEST_F(DatabaseTest, WriteThatLandedIsNotReportedAsFailedWhenTheFileIsReplaced) {
    struct Case {
        const char* name;
        std::function<void(TTomeTable&)> change;
        std::vector<std::string> namesAfter;  // in the file that was written
    };
    const std::vector<Case> cases = {
        {"insert", [](TTomeTable& t) { AddDoc(t, 3, "posted"); }, {"one", "two", "posted"}},
        {"edit",
         [](TTomeTable& t) {
             t.First();
             t.Edit();
             t.FieldByName("DocName").SetAsString("edited");
             t.Post();
         },
         {"edited", "two"}},
        {"delete",
         [](TTomeTable& t) {
             t.First();
             t.Delete();
         },
         {"two"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        CreateDocsDatabase();
        const std::string written = folder + "/written.qdb";  // keeps the old file reachable
        std::filesystem::remove(written);
        std::filesystem::create_hard_link(path, written);
        std::vector<std::string> names;
        {
            TTomeTable docs;
            docs.SetDatabaseName(path);
            docs.SetTableName("Docs");
            docs.Open();
            AddDoc(docs, 1, "one");
            AddDoc(docs, 2, "two");
            ReplaceAtFirstWrite replace(path);
            docs.Database()->FileIO()->AddWriteObserver(&replace);
            EXPECT_EQ(Message([&] { c.change(docs); }), "(no error)");
            docs.Database()->FileIO()->RemoveWriteObserver(&replace);
            const std::string next = Message([&] { AddDoc(docs, 4, "refused"); });
            EXPECT_NE(next.find("was replaced by another program"), std::string::npos) << next;
            Message([&] { docs.Cancel(); });  // reading back fails the same way
            docs.Close();
            TTomeTable check;
            check.SetDatabaseName(written);
            check.SetTableName("Docs");
            check.Open();
            for (check.First(); !check.Eof(); check.Next())
                names.push_back(check.FieldByName("DocName").AsString());
        }
        EXPECT_EQ(names, c.namesAfter);
    }
}

TEST_F(DatabaseTest, DestroyedSessionReleasesItsDatabases) {
    CreateDocsDatabase();
    auto session = std::make_unique<TTomeSession>();
    session->SetSessionName("Temp");
    TTomeDatabase db(session.get());
    db.SetDatabaseName(path);
    db.Open();
    session.reset();
    EXPECT_FALSE(db.Connected());
    EXPECT_EQ(db.SessionName(), "");
    db.Open();  // the default session takes it
    EXPECT_EQ(db.Session(), &DefaultSession());
}

TEST_F(DatabaseTest, AutoFlushFlushesAfterWritesOnceTheIntervalPassed) {
    CreateDocsDatabase();
    TTomeDatabase db;
    db.SetDatabaseName(path);
    db.SetKeepConnection(true);
    db.Open();
    EXPECT_EQ(db.AutoFlushInterval(), 60000);
    TTomeTable table;
    table.SetDatabaseName(path);
    table.SetTableName("Docs");
    table.Open();
    AddDoc(table, 1, "a");
    EXPECT_FALSE(db.FileIO()->IsFlushed());  // no automatic flush by default
    db.Flush();
    EXPECT_TRUE(db.FileIO()->IsFlushed());
    db.SetAutoFlushInterval(0);
    db.SetAutoFlush(true);
    AddDoc(table, 2, "b");
    EXPECT_TRUE(db.FileIO()->IsFlushed());
}

TEST_F(DatabaseTest, MemoryMediumDatabaseAndTable) {
    TTomeMemoryImage image;
    TTomeDatabase db;
    db.SetMediumType(mtMemory);
    ASSERT_TRUE(db.CreateDatabase(image.Name(), true, 1, "zLIB", false, "blowfish", "", false));
    EXPECT_EQ(image.Bytes().size(), 3821u);
    db.SetDatabaseName(image.Name());
    ASSERT_TRUE(db.CreateTable("Docs", DocsFields()));
    TTomeTable table;
    table.SetMediumType(mtMemory);
    table.SetDatabaseName(image.Name());
    table.SetTableName("Docs");
    table.Open();
    AddDoc(table, 1, "in memory", "memo");
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(db.FileSize(), static_cast<int64_t>(image.Bytes().size()));
    EXPECT_FALSE(db.Compact());  // nothing on disk to replace
}

}  // namespace
}  // namespace dstest
