// The image format, opening rules and the structural operations of the file layer.
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "storage_fixture.h"
#include "tomedb/dataproc/PasswordCheck.h"
#include "tomedb/storage/TomeFaultMedium.h"

using namespace storage_test;
using namespace tomedb::format;

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class DiskDb : public ::testing::Test {
protected:
    void SetUp() override {
        Path = Dir.File("test.tdb");
        ASSERT_TRUE(TTomeDBFileIO().CreateDatabase(Path, true, 1, "zLIB", false, "blowfish", "", false));
    }
    TempDir Dir;
    std::string Path;
};

}  // namespace

TEST_F(DiskDb, NewImageIsTheFixedAreaWithItsMembers) {
    const auto bytes = ReadFile(Path);
    ASSERT_EQ(bytes.size(), 3821u);
    EXPECT_EQ(0, std::memcmp(bytes.data(), "TomeDB\0002.0\0\0", 12));
    const uint8_t* algo = &bytes[kAlgoBlockOffset];
    EXPECT_EQ(algo[kAlgoCompressBlob], 1);
    EXPECT_EQ(algo[kAlgoCompressLevel], 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(algo + kAlgoCompressName), "zLIB");
    EXPECT_EQ(algo[kAlgoEncrypt], 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(algo + kAlgoEncryptName), "blowfish");
    for (int i = 0; i < kRandomFillSize; ++i) {
        EXPECT_GE(algo[kAlgoRandomFill + i], 20);
        EXPECT_LE(algo[kAlgoRandomFill + i], 122);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(algo + kAlgoPasswordCheck)), PasswordCheckString(""));
    for (int i = kExtBlockOffset; i < kAlgoBlockOffset; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    for (int i = kTableDirectoryOffset; i < kFixedAreaSize; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
}

TEST_F(DiskDb, FirstTableLiesAtTheEndOfTheFixedArea) {
    TTomeDBFileIO io;
    io.Open(Path, mtDisk, 0, false, false);
    ASSERT_TRUE(io.CreateTable("Docs", {Field("Name", ftString, 20), Field("Size", ftInteger)}));
    io.Close();
    const auto bytes = ReadFile(Path);
    EXPECT_EQ(bytes.size(), 8642u);
    EXPECT_EQ(GetI32(&bytes[kTableDirectoryOffset]), 1);
    EXPECT_EQ(GetI32(&bytes[kTableDirectoryOffset + kDirOffsets]), 3821);
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[3821]), "Docs");
}

TEST_F(DiskDb, OpeningChecksMagicAndVersion) {
    struct Case {
        std::string header;  // 12 bytes written over the FileHeader
        std::string error;   // empty: opens
    };
    const std::string invalid = "Database file '" + Path + "' is a invalid TomeDB";
    const Case cases[] = {
        {std::string("TomeDBx2.0\0\0", 12), invalid},
        {std::string("tomeDB\0002.0\0\0", 12), invalid},
        {std::string("TomeDB\0002.00\0", 12), "Version of database file is too High"},
        {std::string("TomeDB\0003.0\0\0", 12), "Version of database file is too High"},
        {std::string("TomeDB\0001.00\0", 12), "Version 1.00 is not compatible"},
        {std::string("TomeDB\0001.0\0\0", 12), ""},
        {std::string("TomeDB\0001.5\0\0", 12), ""},
        {std::string("TomeDB\0\0\0\0\0\0", 12), ""},
    };
    const auto original = ReadFile(Path);
    for (const Case& c : cases) {
        auto bytes = original;
        std::memcpy(bytes.data(), c.header.data(), 12);
        WriteFile(Path, bytes);
        TTomeDBFileIO io;
        const std::string error = ErrorOf([&] { io.Open(Path, mtDisk, 0, false, false); });
        EXPECT_EQ(error, c.error.empty() ? "<no error>" : c.error) << c.header;
    }
    TTomeDBFileIO io;
    EXPECT_EQ(ErrorOf([&] { io.Open(Dir.File("missing.tdb"), mtDisk, 0, false, false); }),
              "Cannot open file " + Dir.File("missing.tdb"));
}

TEST(MemoryMedium, NamesMustDesignateALiveImage) {
    TTomeMemoryImage image;
    ASSERT_TRUE(TTomeDBFileIO().CreateDatabase(image.Name(), false, 1, "zLIB", false, "blowfish", "", false, mtMemory));
    EXPECT_EQ(image.Bytes().size(), 3821u);
    std::string lower = image.Name();
    for (char& c : lower)
        c = static_cast<char>(std::tolower(c));
    for (const std::string& name : {image.Name(), lower}) {
        TTomeDBFileIO io;
        EXPECT_EQ(ErrorOf([&] { io.Open(name, mtMemory, 0, false, false); }), "<no error>");
    }
    for (const std::string& name : std::vector<std::string>{":", "", "abc", ":12x4", ":1234", image.Name() + "0"}) {
        TTomeDBFileIO io;
        EXPECT_EQ(ErrorOf([&] { io.Open(name, mtMemory, 0, false, false); }), "Invalid database name '" + name + "'");
    }
}

TEST(CreateTable, ValidationMessages) {
    std::vector<TTomeFieldItem> fields95, fields96;
    for (int i = 0; i < 96; ++i) {
        fields96.push_back(Field("F" + std::to_string(i), ftInteger));
        if (i < 95)
            fields95.push_back(Field("F" + std::to_string(i), ftInteger));
    }
    struct Case {
        std::string table;
        std::vector<TTomeFieldItem> fields;
        std::string error;
    };
    const Case cases[] = {
        {"", {Field("A", ftInteger)}, "Invalid table name ''"},
        {"Bad\x01Name", {Field("A", ftInteger)}, "Invalid table name 'Bad\x01Name'"},
        {"T", fields96, "Too many fields"},
        {"T", {}, "Field name expected"},
        {"T", {Field("A", 8)}, "Field 'A' is of an unsupported type"},
        {"T", {Field("A", ftInteger), Field("B", 19)}, "Field 'B' is of an unsupported type"},
        {"T", {Field("", ftInteger)}, "Invalid field name ''"},
        {"T", {Field("A", ftString, 0)}, "Invalid field size"},
        {"T", {Field("A", ftFixedChar, 8193)}, "Invalid field size"},
        {"T", {Field("A", ftMemo, 4)}, "Invalid field size"},
        {"T",
         {Field("Name", ftInteger), Field("x", ftInteger), Field("NAME", ftString, 5)},
         "Duplicate field name 'Name'"},
        {"T", {Field("A", ftAutoInc), Field("B", ftAutoInc)}, "Duplicate AutoInc field"},
        {"Docs", {Field("A", ftInteger)}, "Duplicate table name 'Docs'"},
        {"DOCS", {Field("A", ftInteger)}, "Duplicate table name 'DOCS'"},
        {"T95", fields95, "<no error>"},
        {"Spaces and 中文 ok", {Field("A B", ftString, 8192), Field("C", ftInteger, 77)}, "<no error>"},
    };
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("Docs", {Field("A", ftInteger)}));
    for (const Case& c : cases) {
        const int64_t before = db.Io->ImageSize();
        const std::string error = ErrorOf([&] { db.Io->CreateTable(c.table, c.fields); });
        EXPECT_EQ(error, c.error) << c.table;
        if (c.error != "<no error>") {
            EXPECT_EQ(db.Io->ImageSize(), before) << "a failed validation wrote";
        }
    }
    TTableHeader header;
    db.Io->ReadTableHeader(db.Io->FindTable("t95"), header);
    EXPECT_EQ(header.FieldCount(), 95);
    db.Io->ReadTableHeader(db.Io->FindTable("Spaces and 中文 ok"), header);
    EXPECT_EQ(header.FieldDataSize(0), 8192);
    EXPECT_EQ(header.FieldDataSize(1), 0) << "DataSize is stored as 0 for non-string types";
}

TEST(CreateTable, NamesAreCutTo32Characters) {
    MemoryDb db;
    const std::string longName(40, 'x');
    ASSERT_TRUE(db.Io->CreateTable(longName, {Field(std::string(40, 'f'), ftInteger)}));
    std::vector<std::string> names;
    db.Io->GetTableNames(names);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::string(32, 'x'));
    TTableHeader header;
    db.Io->ReadTableHeader(0, header);
    EXPECT_EQ(header.FieldName(0), std::string(32, 'f'));
    // A multi-byte character is never split: 31 ASCII bytes and a 2-byte character → 31 bytes.
    ASSERT_TRUE(db.Io->CreateTable(std::string(31, 'y') + "\xD6\xD0", {Field("A", ftInteger)}));
    db.Io->GetTableNames(names);
    EXPECT_EQ(names[1], std::string(31, 'y'));
}

TEST(CreateTable, AutoIncFieldGetsAPrimaryIndex) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("Docs", {Field("Name", ftString, 10), Field("ID", ftAutoInc)}));
    TTableHeader header;
    db.Io->ReadTableHeader(0, header);
    ASSERT_EQ(header.IndexCount(), 1);
    EXPECT_EQ(header.IndexName(0), "ID");
    EXPECT_EQ(header.IndexOptions(0), tiPrimary);
    EXPECT_EQ(header.IndexField(0, 0), 1);
    EXPECT_EQ(header.IndexField(0, 1), -1);
    EXPECT_EQ(ErrorOf([&] { db.Io->CreateIndex("Docs", "Other", tiPrimary, {"Name"}); }), "Duplicate primary index");
}

TEST(CreateIndex, ValidationMessages) {
    MemoryDb db;
    std::vector<TTomeFieldItem> fields;
    std::vector<std::string> nine;
    for (int i = 0; i < 10; ++i) {
        fields.push_back(Field("F" + std::to_string(i), ftInteger));
        if (i < 9)
            nine.push_back("f" + std::to_string(i));
    }
    ASSERT_TRUE(db.Io->CreateTable("T", fields));
    ASSERT_TRUE(db.Io->CreateIndex("T", "Nine", tiUnique, nine));
    struct Case {
        std::string table, index;
        TTMIndexOptions options;
        std::vector<std::string> names;
        std::string error;
    };
    const Case cases[] = {
        {"", "I", 0, {"F1"}, "Invalid table name ''"},
        {"T", "", 0, {"F1"}, "Invalid index name ''"},
        {"Nope", "I", 0, {"F1"}, "Table 'Nope' not found"},
        {"T", "NINE", 0, {"F1"}, "Duplicate index name 'NINE'"},
        {"T", "I", 0, {}, "Field name expected"},
        {"T", "I", 0, {"F1", "f1"}, "Duplicate field name 'F1'"},
        {"T", "I", 0, {"F1", "Zed"}, "Field 'Zed' not found"},
        {"t", "Two", tiDescending | tiCaseInsensitive, {"F2", "F1"}, "<no error>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf([&] { db.Io->CreateIndex(c.table, c.index, c.options, c.names); }), c.error) << c.index;
    TTableHeader header;
    db.Io->ReadTableHeader(0, header);
    ASSERT_EQ(header.IndexCount(), 2);
    EXPECT_EQ(header.IndexFieldCount(0), 8) << "9 names, first 8 stored";
    EXPECT_EQ(header.IndexField(0, 7), 7);
    EXPECT_EQ(header.IndexOptions(1), tiDescending | tiCaseInsensitive);
    for (int i = 2; i < 8; ++i)
        ASSERT_TRUE(db.Io->CreateIndex("T", "I" + std::to_string(i), 0, {"F3"}));
    EXPECT_EQ(ErrorOf([&] { db.Io->CreateIndex("T", "I9", 0, {"F3"}); }), "Too many indexes");
}

TEST(CreateIndex, RefusedOnceATableHeldRecords) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("A", ftInteger)}));
    auto table = db.Table("T");
    Record record(*table);
    table->AppendRecord(record.Buffers, false);
    table->DeleteRecord(0, false);
    EXPECT_EQ(table->IndexList(0).size(), 0u);
    EXPECT_EQ(ErrorOf([&] { db.Io->CreateIndex("T", "I", 0, {"A"}); }), "Fail to create index");
}

TEST(CreateTable, FailedAutomaticIndexDeletesTheTable) {
    // The table header and directory are written (2 writes); the write of the
    // automatic index's header is refused.
    MemoryDb db;
    TTomeFaultMedium faults(db.Image);
    TTomeDBFileIO io;
    io.OpenMedium(faults, "faulty", false);
    faults.FailOneWrite(2);
    EXPECT_EQ(ErrorOf([&] { io.CreateTable("A", {Field("ID", ftAutoInc)}); }), "I/O error: write refused");
    EXPECT_EQ(io.TableCount(), 0);
    EXPECT_EQ(ErrorOf([&] { io.DeleteTable("A"); }), "Table 'A' not found");
}

TEST(Directory, DeleteTableShiftsLaterEntries) {
    MemoryDb db;
    for (const char* name : {"A", "B", "C"})
        ASSERT_TRUE(db.Io->CreateTable(name, {Field("X", ftInteger)}));
    const int32_t offsetC = db.Io->TableHeaderOffset(2);
    ASSERT_TRUE(db.Io->DeleteTable("a"));
    std::vector<std::string> names;
    db.Io->GetTableNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(GetI32(&db.Image.Bytes()[kTableDirectoryOffset + kDirOffsets + 8]), offsetC)
        << "entries past TableCount keep what was last written";
}

TEST(ExtBlock, ExtDataAndComments) {
    for (bool encrypt : {false, true}) {
        MemoryDb db(encrypt);
        std::vector<uint8_t> big(3000), out(kExtDataSize);
        for (size_t i = 0; i < big.size(); ++i)
            big[i] = static_cast<uint8_t>(i * 7 + 1);
        ASSERT_TRUE(db.Io->SetExtData(big.data(), 3000));
        ASSERT_TRUE(db.Io->GetExtData(out.data()));
        EXPECT_TRUE(std::equal(out.begin(), out.end(), big.begin()));
        ASSERT_TRUE(db.Io->SetExtData(big.data(), 10));
        ASSERT_TRUE(db.Io->GetExtData(out.data()));
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + 10, big.begin()));
        EXPECT_TRUE(std::all_of(out.begin() + 10, out.end(), [](uint8_t b) { return b == 0; }));

        const std::string text300(300, 'c');
        ASSERT_TRUE(db.Io->SetComments(text300, "secret"));
        std::string back;
        ASSERT_TRUE(db.Io->GetComments(back, "secret"));
        EXPECT_EQ(back, std::string(256, 'c'));
        ASSERT_TRUE(db.Io->GetComments(back, "wrong"));
        if (encrypt) {
            EXPECT_NE(back, std::string(256, 'c')) << "a wrong password reads meaningless text";
        }
        const uint8_t* stored = &db.Image.Bytes()[kExtBlockOffset];
        EXPECT_EQ(std::memcmp(stored, std::string(256, 'c').data(), 256) == 0, !encrypt);
        ASSERT_TRUE(db.Io->GetExtData(out.data()));
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + 10, big.begin())) << "comments keep ExtData";
    }
}

TEST(Password, CheckString) {
    MemoryDb plain(false, false, true, "abc");
    EXPECT_TRUE(plain.Io->CheckPassword("anything"));
    MemoryDb encrypted(true, false, true, "abc");
    EXPECT_FALSE(encrypted.Io->CheckPassword("abd"));
    EXPECT_TRUE(encrypted.Io->CheckPassword("abc"));
    TTomeDBFileIO closed;
    EXPECT_FALSE(closed.CheckPassword("abc"));
    TTomeMemoryImage image;
    EXPECT_EQ(ErrorOf([&] {
                  TTomeDBFileIO().CreateDatabase(image.Name(), true, 1, "zLIB", true, "NoSuchCipher", "", false,
                                                 mtMemory);
              }),
              "Encryption algorithm module 'NoSuchCipher' not found");
    EXPECT_TRUE(image.Bytes().empty()) << "nothing written for an unknown cipher";
}

TEST_F(DiskDb, ReadOnlyAttributeAndReadOnlyOpen) {
    ASSERT_EQ(chmod(Path.c_str(), 0444), 0);
    TTomeDBFileIO io;
    io.Open(Path, mtDisk, 0, false, false);
    EXPECT_TRUE(io.FileReadOnly());
    EXPECT_EQ(ErrorOf([&] { io.CreateTable("T", {Field("A", ftInteger)}); }), "Cannot modify a read-only database");
    io.Close();
    ASSERT_EQ(chmod(Path.c_str(), 0644), 0);
    TTomeDBFileIO ro;
    ro.Open(Path, mtDisk, 0, true, false);
    EXPECT_FALSE(ro.FileReadOnly());
    EXPECT_FALSE(ro.SetComments("x", ""));
    EXPECT_EQ(ReadFile(Path).size(), 3821u);
}

TEST_F(DiskDb, ExclusiveOpenDeniesSharing) {
    TTomeDBFileIO first;
    first.Open(Path, mtDisk, 0, false, true);
    TTomeDBFileIO second;
    EXPECT_EQ(ErrorOf([&] { second.Open(Path, mtDisk, 0, false, false); }), "Cannot open file " + Path);
    first.Close();
    second.Open(Path, mtDisk, 0, false, false);
    TTomeDBFileIO third;
    EXPECT_EQ(ErrorOf([&] { third.Open(Path, mtDisk, 0, false, true); }), "Cannot open file " + Path);
}

TEST_F(DiskDb, LockRetriesThenTimesOut) {
    TTomeStorageSettings settings;
    settings.RetryCount = 3;
    settings.WaitTime = 10;
    TTomeDBFileIO holder, waiter(&settings);
    holder.Open(Path, mtDisk, 0, false, false);
    waiter.Open(Path, mtDisk, 0, false, false);
    holder.Lock();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorOf([&] { waiter.Lock(); }), "Wait for unlock time out");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30)) << "3 pauses of 10 ms";
    EXPECT_FALSE(waiter.SetComments("x", "")) << "a locked operation gives up";
    holder.Unlock();
    EXPECT_TRUE(waiter.SetComments("x", ""));

    settings.RetryCount = 0;  // waits for ever
    holder.Lock();
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        holder.Unlock();
    });
    EXPECT_EQ(ErrorOf([&] { waiter.Lock(); }), "<no error>");
    waiter.Unlock();
    release.join();
}

TEST_F(DiskDb, FlushedMark) {
    TTomeDBFileIO io;
    io.Open(Path, mtDisk, 0, false, false);
    EXPECT_TRUE(io.IsFlushed());
    ASSERT_TRUE(io.CreateTable("T", {Field("A", ftInteger)}));
    EXPECT_FALSE(io.IsFlushed());
    io.Flush();
    EXPECT_TRUE(io.IsFlushed());
    io.Open(Path, mtDisk, 0, false, false);  // a second Open while open does nothing
    EXPECT_TRUE(io.IsOpen());
    io.Close();
    EXPECT_FALSE(io.IsOpen());
}
