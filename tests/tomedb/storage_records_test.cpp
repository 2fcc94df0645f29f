// Records, blobs, indexes and keys of table storage.
#include <algorithm>
#include <random>

#include "storage_fixture.h"
#include "tomedb/dataproc/Crc32.h"
#include "tomedb/storage/TomeFaultMedium.h"

using namespace storage_test;
using namespace tomedb::format;

namespace {

// Docs: 0 ID autoinc, 1 Name string(20), 2 Size integer, 3 Txt memo.
class DocsTable : public ::testing::Test {
protected:
    void SetUp() override { Make(false, false); }
    void Make(bool encrypt, bool crc) {
        Db = std::make_unique<MemoryDb>(encrypt, crc);
        ASSERT_TRUE(Db->Io->CreateTable("Docs", {Field("ID", ftAutoInc), Field("Name", ftString, 20),
                                                 Field("Size", ftInteger), Field("Txt", ftMemo)}));
        Table = Db->Table("Docs");
    }
    int32_t Append(const std::string& name, int32_t size = 0, const std::string& txt = "", int32_t id = 0) {
        Record r(*Table);
        r.Int(0, id).Str(1, name).Int(2, size).Blob(3, txt);
        Table->AppendRecord(r.Buffers, false);
        return r.GetInt(0);
    }
    Record Read(int list, int position) {
        Record r(*Table);
        Table->ReadRecord(r.Buffers, Table->IndexList(list), position);
        return r;
    }
    void Reload() {
        Table.reset();
        Db->Reopen();
        Table = Db->Table("Docs");
    }
    std::unique_ptr<MemoryDb> Db;
    std::unique_ptr<TTomeTableIO> Table;
};

std::vector<std::string> Names(TTomeTableIO& table, int list, int field) {
    std::vector<std::string> names;
    for (size_t i = 0; i < table.IndexList(list).size(); ++i) {
        Record r(table);
        table.ReadRecord(r.Buffers, table.IndexList(list), static_cast<int>(i));
        names.push_back(r.GetStr(field));
    }
    return names;
}

}  // namespace

TEST(AppendLayout, FirstAppendAndSecondChunk) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("A", ftInteger), Field("S", ftString, 10)}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "ByA", 0, {"A"}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "ByS", 0, {"S"}));
    auto table = db.Table("T");
    const int32_t recordSize = 4 + 11;
    ASSERT_EQ(table->RecordSize(), recordSize);
    const int64_t before = db.Io->ImageSize();
    Record r(*table);
    r.Int(0, 7).Str(1, "x");
    table->AppendRecord(r.Buffers, false);
    EXPECT_EQ(db.Io->ImageSize(), before + 5124 + recordSize + 2 * 8196);
    EXPECT_EQ(table->Header().RecTabOffset(), before);
    EXPECT_EQ(table->IndexList(0)[0].DataOffset, before + 5124);
    for (int i = 1; i < 1024; ++i)
        table->AppendRecord(r.Int(0, i).Buffers, false);
    const int64_t beforeSecond = db.Io->ImageSize();
    table->AppendRecord(r.Int(0, 5000).Buffers, false);
    const TListElement last = table->IndexList(0).back();
    EXPECT_EQ(last.RecIndex, 1024);
    EXPECT_EQ(last.DataOffset, beforeSecond + 5124);
    EXPECT_EQ(GetI32(&db.Image.Bytes()[static_cast<size_t>(table->Header().RecTabOffset())]), beforeSecond)
        << "first chunk's NextChunk";
    EXPECT_EQ(db.Io->ImageSize(), beforeSecond + 5124 + recordSize + 2 * 8196);
    // Reload sees all 1025 in index order.
    auto again = std::make_unique<TTomeTableIO>(*db.Io, "t");
    again->Open();
    EXPECT_EQ(again->IndexList(0).size(), 1025u);
    EXPECT_EQ(again->IndexList(1).size(), 1025u);
    Record first(*again);
    again->ReadRecord(first.Buffers, again->IndexList(1), 0);
    EXPECT_EQ(first.GetInt(0), 1);
}

TEST_F(DocsTable, BlobAreas) {
    Db = std::make_unique<MemoryDb>(false, false, false);  // no compression: stored size = value size
    ASSERT_TRUE(Db->Io->CreateTable(
        "Docs", {Field("ID", ftAutoInc), Field("Name", ftString, 20), Field("Size", ftInteger), Field("Txt", ftMemo)}));
    Table = Db->Table("Docs");
    Append("empty", 0, "");
    Append("b128", 0, std::string(128, 'q'));
    auto descriptor = [&](int position) {
        const int64_t at = Table->IndexList(0)[static_cast<size_t>(position)].DataOffset + Table->FieldOffsets()[3];
        const uint8_t* d = &Db->Image.Bytes()[static_cast<size_t>(at)];
        return std::vector<int32_t>{GetI32(d), GetI32(d + 4), GetI32(d + 8)};
    };
    EXPECT_EQ(descriptor(0)[1], 0);
    EXPECT_EQ(descriptor(0)[2], 64);
    EXPECT_EQ(descriptor(0)[0], Table->IndexList(0)[0].DataOffset + Table->RecordSize());
    EXPECT_EQ(descriptor(1)[1], 128);
    EXPECT_EQ(descriptor(1)[2], 192);
    EXPECT_EQ(Read(0, 1).GetBlob(3), std::string(128, 'q'));

    Append("last", 0, "z");  // so record 1's area no longer ends the image
    const int32_t area = descriptor(1)[0];
    struct Step {
        size_t size;
        bool inPlace;
    };
    // 100 < 192 stays; 191 stays; 192 moves to the end (and then grows in place).
    for (const Step& step : {Step{100, true}, Step{191, true}, Step{192, false}}) {
        Record r = Read(0, 1);
        r.Blob(3, std::string(step.size, 'w'));
        const int64_t end = Db->Io->ImageSize();
        Table->ModifyRecord(r.Buffers, 1);
        EXPECT_EQ(descriptor(1)[0] == area, step.inPlace) << step.size;
        if (!step.inPlace) {
            EXPECT_EQ(descriptor(1)[0], end);
            EXPECT_EQ(descriptor(1)[2], 256);
        }
        EXPECT_EQ(Read(0, 1).GetBlob(3), std::string(step.size, 'w'));
    }
    const int32_t movedTo = descriptor(1)[0];
    Record r = Read(0, 1);
    r.Blob(3, std::string(300, 'g'));
    Table->ModifyRecord(r.Buffers, 1);
    EXPECT_EQ(descriptor(1)[0], movedTo) << "an area that ends the image grows in place";
    EXPECT_EQ(descriptor(1)[2], 320);
    EXPECT_EQ(Db->Io->ImageSize(), movedTo + 320);
}

TEST_F(DocsTable, ReadModifyDeleteRoundTrip) {
    for (bool encrypt : {false, true}) {
        Make(encrypt, encrypt);
        const std::string chinese = "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4";  // GBK text
        std::string memo;
        for (int i = 0; i < 500; ++i)
            memo += chinese;
        EXPECT_EQ(Append("alpha", 10, memo), 1);
        EXPECT_EQ(Append("beta", 20, "short"), 2);
        EXPECT_EQ(Append("gamma", 30), 3);
        Reload();
        Record r = Read(1, 1);
        EXPECT_EQ(r.GetStr(1), "beta");
        EXPECT_EQ(r.GetInt(2), 20);
        EXPECT_EQ(Read(1, 0).GetBlob(3), memo);
        r.Str(1, "beta2").Int(2, 21).Blob(3, memo + "more");
        Table->ModifyRecord(r.Buffers, 1);
        Reload();
        Record back = Read(0, 1);
        EXPECT_EQ(back.GetStr(1), "beta2");
        EXPECT_EQ(back.GetBlob(3), memo + "more");
        Table->DeleteRecord(0, false);
        EXPECT_EQ(Names(*Table, 1, 1), (std::vector<std::string>{"beta2", "gamma"}));
        Reload();
        EXPECT_EQ(Names(*Table, 1, 1), (std::vector<std::string>{"beta2", "gamma"}));
        EXPECT_EQ(Table->Header().RecordTotal(), 3);
        if (encrypt) {
            const auto& bytes = Db->Image.Bytes();
            EXPECT_EQ(std::search(bytes.begin(), bytes.end(), chinese.begin(), chinese.end()), bytes.end())
                << "memo text must not appear in clear";
        }
    }
}

TEST_F(DocsTable, InactiveItemsAreSkipped) {
    Append("one", 5, "memo");
    Record r = Read(0, 0);
    r.Str(1, "changed").Inactive(1).Int(2, 9).Inactive(3);
    Table->ModifyRecord(r.Buffers, 0);
    Record back = Read(0, 0);
    EXPECT_EQ(back.GetStr(1), "one");
    EXPECT_EQ(back.GetInt(2), 9);
    EXPECT_EQ(back.GetBlob(3), "memo");
}

TEST_F(DocsTable, StringsAreCutAndPadded) {
    Record r(*Table);
    r.Str(1, std::string(19, 'a') + "\xD6\xD0");  // 21 bytes: the character would pass the limit
    std::memset(r.Buffers[1].Data, 'a', 21);
    r.Buffers[1].Data[19] = static_cast<uint8_t>('\xD6');
    r.Buffers[1].Data[20] = static_cast<uint8_t>('\xD0');
    Table->AppendRecord(r.Buffers, false);
    EXPECT_EQ(Read(0, 0).GetStr(1), std::string(19, 'a')) << "cut before the character, not inside it";
}

TEST_F(DocsTable, AutoIncrement) {
    EXPECT_EQ(Append("a"), 1);
    EXPECT_EQ(Append("b", 0, "", 100), 100);
    EXPECT_EQ(Append("c"), 101);
    Record r = Read(1, 0);
    r.Int(0, 200);
    Table->ModifyRecord(r.Buffers, 0);
    EXPECT_EQ(Append("d"), 201);
    Record keep = Read(0, 1);
    keep.Int(0, 0).Str(1, "b2");
    Table->ModifyRecord(keep.Buffers, 1);
    EXPECT_EQ(Read(0, 1).GetInt(0), 100) << "0 keeps the stored value";
    Reload();
    EXPECT_EQ(Table->Header().AutoIncCounter(), 201);
    EXPECT_EQ(Append("e"), 202);
    EXPECT_EQ(ErrorOf([&] { Append("dup", 0, "", 100); }), "Invalid unique field value '100'");
}

TEST(Keys, TwoFieldUniqueKeyMessage) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("N", ftInteger), Field("S", ftString, 10), Field("M", ftMemo)}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "NS", tiUnique, {"N", "S"}));
    auto table = db.Table("T");
    Record r(*table);
    r.Int(0, 3).Str(1, "abc").Blob(2, "m");
    table->AppendRecord(r.Buffers, false);
    const int64_t size = db.Io->ImageSize();
    Record dup(*table);
    dup.Int(0, 3).Str(1, "abc");
    EXPECT_EQ(ErrorOf([&] { table->AppendRecord(dup.Buffers, false); }), "Invalid unique field value '3,abc'");
    EXPECT_EQ(db.Io->ImageSize(), size) << "nothing written";
    dup.Str(1, "abd");
    table->AppendRecord(dup.Buffers, false);
    Record change(*table);
    table->ReadRecord(change.Buffers, table->IndexList(0), 1);
    change.Str(1, "abc");
    EXPECT_EQ(ErrorOf([&] { table->ModifyRecord(change.Buffers, 1); }), "Invalid unique field value '3,abc'");
    change.Str(1, "abd").Blob(2, "modified");
    table->ModifyRecord(change.Buffers, 1);  // its own key is no violation
}

TEST(Keys, ValueTexts) {
    struct Case {
        int32_t type;
        std::vector<uint8_t> bytes;
        std::string text;
    };
    std::vector<uint8_t> f(8), b(2), l(8);
    PutF64(f.data(), 2.5);
    PutI16(b.data(), 1);
    PutI64(l.data(), -12345678901LL);
    for (const Case& c : {Case{ftFloat, f, "2.5"}, Case{ftBoolean, b, "True"}, Case{ftLargeint, l, "-12345678901"}}) {
        TFieldBuffers buffers;
        TFieldBufferItem& item = buffers.AddOwned(c.type, static_cast<int32_t>(c.bytes.size()));
        std::memcpy(item.Data, c.bytes.data(), c.bytes.size());
        EXPECT_EQ(TTomeTableIO::ValueText(item), c.text);
    }
}

TEST(Keys, CaseInsensitiveAndDescendingIndexes) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("S", ftString, 10), Field("N", ftInteger)}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "CI", tiUnique | tiCaseInsensitive, {"S"}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "Down", tiDescending, {"N"}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "Exact", tiUnique, {"S"}));
    auto table = db.Table("T");
    int n = 0;
    for (const char* s : {"abc", "Abd", "b", "ab"}) {
        Record r(*table);
        r.Str(0, s).Int(1, ++n * 10);
        table->AppendRecord(r.Buffers, false);
    }
    Record dup(*table);
    dup.Str(0, "ABC").Int(1, 1);
    EXPECT_EQ(ErrorOf([&] { table->AppendRecord(dup.Buffers, false); }), "Invalid unique field value 'ABC'");
    EXPECT_EQ(Names(*table, 1, 0), (std::vector<std::string>{"ab", "abc", "Abd", "b"}));
    EXPECT_EQ(Names(*table, 2, 0), (std::vector<std::string>{"ab", "b", "Abd", "abc"}));

    // Descending: bound search with First gives the first match in that order.
    for (int k = 0; k < 2; ++k) {
        Record r(*table);
        r.Str(0, k == 0 ? "x1" : "x2").Int(1, 20);
        table->AppendRecord(r.Buffers, false);
    }
    Record key(*table);
    key.Int(1, 20);
    int result = 0;
    const int first = table->SearchIndexBound(key.Buffers, table->IndexList(2), 1, true, result, 0, false);
    const int last = table->SearchIndexBound(key.Buffers, table->IndexList(2), 1, false, result, 0, false);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(last - first, 2);
    EXPECT_EQ(Names(*table, 2, 0)[static_cast<size_t>(first) - 1], "b");
    key.Int(1, 25);
    table->SearchIndexBound(key.Buffers, table->IndexList(2), 1, true, result, 0, false);
    EXPECT_NE(result, 0);

    // "abc" and "ABC" are different keys without tiCaseInsensitive.
    Record exact(*table);
    exact.Str(0, "ABC");
    table->SearchIndex(exact.Buffers, table->IndexList(3), 2, result, 0, false);
    EXPECT_NE(result, 0);
    table->SearchIndex(exact.Buffers, table->IndexList(1), 0, result, 0, false);
    EXPECT_EQ(result, 0);
}

TEST(Keys, PartialSearch) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("S", ftString, 10)}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "S", 0, {"S"}));
    auto table = db.Table("T");
    for (const char* s : {"abc", "b", "aa"}) {
        Record r(*table);
        table->AppendRecord(r.Str(0, s).Buffers, false);
    }
    Record key(*table);
    key.Str(0, "ab");
    int result = 0;
    int p = table->SearchIndex(key.Buffers, table->IndexList(1), 0, result, 0, true);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(p, 1);
    table->SearchIndex(key.Buffers, table->IndexList(1), 0, result, 0, false);
    EXPECT_NE(result, 0);
    EXPECT_EQ(TTomeTableIO::CompareFieldValues("ab", 3, "abc", 4, ftString, false, true), 0);
    EXPECT_EQ(TTomeTableIO::CompareFieldValues("ab", 3, "abc", 4, ftString, false, false), -1);
}

TEST(Keys, InsertPositionAndModifyMoves) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("N", ftInteger)}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "N", 0, {"N"}));
    auto table = db.Table("T");
    std::vector<std::tuple<int, int, int>> moves;
    std::vector<std::pair<int, int>> inserts;
    TOnIndexInsert onInsert = [&](void*, int k, int d, const TListElement&) { inserts.emplace_back(k, d); };
    TOnIndexMove onMove = [&](void*, int k, int from, int to) { moves.emplace_back(k, from, to); };
    for (int v : {50, 10, 30}) {
        Record r(*table);
        table->AppendRecord(r.Int(0, v).Buffers, false, onInsert, nullptr);
    }
    EXPECT_EQ(inserts, (std::vector<std::pair<int, int>>{{-1, -1}, {0, 0}, {-1, -1}, {0, 0}, {-1, -1}, {0, 1}}));
    Record r(*table);
    table->ReadRecord(r.Buffers, table->IndexList(0), 1);  // 10, first in the index
    r.Int(0, 40);
    table->ModifyRecord(r.Buffers, 1, onMove, nullptr);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], std::make_tuple(0, 0, 2)) << "to = j + 1 when moving forward";
    auto values = [&] {
        std::vector<int> v;
        for (size_t i = 0; i < table->IndexList(1).size(); ++i) {
            Record x(*table);
            table->ReadRecord(x.Buffers, table->IndexList(1), static_cast<int>(i));
            v.push_back(x.GetInt(0));
        }
        return v;
    };
    EXPECT_EQ(values(), (std::vector<int>{30, 40, 50}));
    auto again = std::make_unique<TTomeTableIO>(*db.Io, "T");
    again->Open();
    EXPECT_EQ(again->IndexList(1), table->IndexList(1)) << "the chain on disk agrees";
    EXPECT_EQ(table->MapPosition(table->IndexList(1), 0, table->IndexList(0)), 2);
    EXPECT_EQ(table->NaturalPosition(1), 1);
    EXPECT_EQ(table->NaturalPosition(7), -1);
}

TEST(Keys, RandomWorkloadKeepsChainsAndListsInStep) {
    MemoryDb db(true, false);
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("ID", ftAutoInc), Field("N", ftInteger), Field("S", ftString, 12)}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "N", 0, {"N"}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "S", tiDescending | tiCaseInsensitive, {"S"}));
    auto table = db.Table("T");
    std::mt19937 random(42);
    for (int step = 0; step < 1500; ++step) {
        const size_t live = table->IndexList(0).size();
        const int action = live < 10 ? 0 : static_cast<int>(random() % 4);
        Record r(*table);
        if (action <= 1) {
            r.Int(1, static_cast<int32_t>(random() % 100)).Str(2, "k" + std::to_string(random() % 50));
            table->AppendRecord(r.Buffers, false);
        } else if (action == 2) {
            const int pos = static_cast<int>(random() % live);
            table->ReadRecord(r.Buffers, table->IndexList(0), pos);
            r.Int(1, static_cast<int32_t>(random() % 100)).Str(2, "K" + std::to_string(random() % 50));
            table->ModifyRecord(r.Buffers, pos);
        } else {
            table->DeleteRecord(static_cast<int>(random() % live), false);
        }
    }
    auto again = std::make_unique<TTomeTableIO>(*db.Io, "T");
    again->Open();
    for (int list = 0; list < 4; ++list)
        EXPECT_EQ(again->IndexList(list), table->IndexList(list)) << list;
    // List 2 (index "N") is sorted by N, list 3 descending by S ignoring case.
    for (size_t i = 1; i < table->IndexList(2).size(); ++i) {
        Record a(*table), b(*table);
        table->ReadRecord(a.Buffers, table->IndexList(2), static_cast<int>(i - 1));
        table->ReadRecord(b.Buffers, table->IndexList(2), static_cast<int>(i));
        ASSERT_LE(a.GetInt(1), b.GetInt(1));
        table->ReadRecord(a.Buffers, table->IndexList(3), static_cast<int>(i - 1));
        table->ReadRecord(b.Buffers, table->IndexList(3), static_cast<int>(i));
        ASSERT_GE(TTomeTableIO::CompareFieldValues(a.Buffers[2].Data, 13, b.Buffers[2].Data, 13, ftString, true, false),
                  0);
    }
}

TEST(Blobs, VerifiedWriteRetriesAndGivesUp) {
    MemoryDb db(false, true);
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("M", ftMemo)}));
    TTomeFaultMedium faults(db.Image);
    TTomeDBFileIO io;
    io.OpenMedium(faults, "faulty", false);
    TTomeTableIO table(io, "T");
    table.Open();
    std::string value(20000, '\0');
    std::mt19937 random(7);
    for (char& c : value)
        c = static_cast<char>(random());  // does not shrink: read-back > 10000 bytes
    Record r(table);
    r.Blob(0, value);
    faults.CorruptReads(2, 10000);  // two bad read-backs, then a good one
    table.AppendRecord(r.Buffers, false);
    Record back(table);
    table.ReadRecord(back.Buffers, table.IndexList(0), 0);
    EXPECT_EQ(back.GetBlob(0), value);

    faults.CorruptReads(1000, 10000);
    EXPECT_EQ(ErrorOf([&] { table.AppendRecord(r.Buffers, false); }),
              "Blob value of field 'M' could not be verified after 3 writes to file 'faulty'");
    faults.CorruptReads(0);
    EXPECT_EQ(table.IndexList(0).size(), 1u) << "the failed append is not committed";
    table.AppendRecord(r.Buffers, false);
    TTomeTableIO fresh(io, "T");
    fresh.Open();
    EXPECT_EQ(fresh.IndexList(0).size(), 2u);
}

TEST(Blobs, LazyLoadAndStreams) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("M", ftMemo)}));
    auto table = db.Table("T");
    Record r(*table);
    r.Blob(0, "stored value");
    table->AppendRecord(r.Buffers, false);
    Record read(*table);
    table->ReadRecord(read.Buffers, table->IndexList(0), 0);
    TOptimBlobStream& blob = *read.Buffers[0].Blob;
    EXPECT_FALSE(blob.Loaded());
    char text[7] = {};
    EXPECT_EQ(blob.Read(text, 6), 6u);
    EXPECT_STREQ(text, "stored");
    EXPECT_TRUE(blob.Loaded());

    table->ReadRecord(read.Buffers, table->IndexList(0), 0);
    blob.Write("new", 3);  // writing marks loaded without reading
    EXPECT_EQ(blob.Data(), "new");

    table->ReadRecord(read.Buffers, table->IndexList(0), 0);
    int changes = 0;
    TTomeBlobStream reader(blob, bmRead, [&] { ++changes; });
    EXPECT_EQ(reader.Size(), 12);
    reader.Write("X", 1);
    EXPECT_EQ(blob.Data(), "stored value") << "a read-mode stream never writes back";
    TTomeBlobStream readWrite(blob, bmReadWrite, [&] { ++changes; });
    readWrite.Seek(0, TTomeMemoryStream::soEnd);
    readWrite.Write("!", 1);
    EXPECT_EQ(blob.Data(), "stored value!");
    TTomeBlobStream writer(blob, bmWrite, [&] { ++changes; });
    EXPECT_EQ(blob.Data(), "");
    writer.Write("abc", 3);
    EXPECT_EQ(blob.Data(), "abc");
    EXPECT_EQ(changes, 3);
}

TEST(Definitions, CollectionsAndNames) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("Name", ftString, 7, 1), Field("ID", ftAutoInc)}));
    auto table = db.Table("t");
    EXPECT_EQ(table->FieldDefs().Count(), 2);
    EXPECT_EQ(table->FieldDefs().IndexOf("NAME"), 0);
    EXPECT_EQ(table->FieldDefs().At(0).DataSize, 7);
    EXPECT_EQ(table->FieldDefs().At(0).DPMode, 1);
    EXPECT_EQ(table->IndexDefs().At(0).FieldIdxes, (TIntegerAry{1}));
    EXPECT_EQ(table->PrimaryIndex(), 0);
    EXPECT_EQ(table->AutoIncField(), 1);
    TTomeFieldDefs defs;
    EXPECT_EQ(defs.Add().Name, "TomeF1");
    EXPECT_EQ(defs.Add().Name, "TomeF2");
    TTomeTableIO missing(*db.Io, "Nope");
    EXPECT_EQ(ErrorOf([&] { missing.Open(); }), "Table 'Nope' not found");
    EXPECT_FALSE(missing.Active());
    table->Open();
    table->Close();
    EXPECT_TRUE(table->Active());
    table->Close();
    table->Close();
    EXPECT_FALSE(table->Active());
}

TEST_F(DocsTable, DeleteChangesOnlyTheDeleteFlag) {
    for (int i = 0; i < 5; ++i)
        Append("n" + std::to_string(i), i, "memo");
    const std::vector<uint8_t> before = Db->Image.Bytes();
    const int32_t r = Table->IndexList(0)[2].RecIndex;
    Table->DeleteRecord(2, false);
    const std::vector<uint8_t>& after = Db->Image.Bytes();
    ASSERT_EQ(after.size(), before.size());
    std::vector<size_t> changed;
    for (size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i])
            changed.push_back(i);
    ASSERT_EQ(changed.size(), 1u) << "index chains and data stay as they were";
    EXPECT_EQ(static_cast<int64_t>(changed[0]), Table->Header().RecTabOffset() + 4 + r * 5 + 4);
    Reload();
    EXPECT_EQ(Names(*Table, 1, 1), (std::vector<std::string>{"n0", "n1", "n3", "n4"}));
    EXPECT_EQ(Names(*Table, 0, 1), (std::vector<std::string>{"n0", "n1", "n3", "n4"}));
}

TEST_F(DocsTable, SecondWriterSeesAppendsOfTheFirst) {
    // Two file layers on one image stand for two processes: each re-reads the
    // header before writing and reloads when the other changed it.
    TTomeDBFileIO other;
    other.Open(Db->Image.Name(), mtMemory, 0, false, false);
    TTomeTableIO otherTable(other, "Docs");
    otherTable.Open();
    EXPECT_EQ(Append("mine"), 1);
    Record r(otherTable);
    r.Str(1, "theirs");
    otherTable.AppendRecord(r.Buffers, false);
    EXPECT_EQ(r.GetInt(0), 2);
    EXPECT_EQ(Append("mine again"), 3);
    Reload();
    EXPECT_EQ(Names(*Table, 1, 1), (std::vector<std::string>{"mine", "theirs", "mine again"}));
}

// Index lists are built when first needed; one built after another writer
// appended must show the file as it now is, and leave the chains intact.
TEST(Keys, IndexListBuiltAfterAnotherWriterAppended) {
    MemoryDb db;
    ASSERT_TRUE(db.Io->CreateTable("T", {Field("N", ftInteger), Field("S", ftString, 10)}));
    ASSERT_TRUE(db.Io->CreateIndex("T", "ByS", 0, {"S"}));
    {
        auto setup = db.Table("T");
        for (const char* s : {"b", "d"}) {
            Record r(*setup);
            setup->AppendRecord(r.Str(1, s).Buffers, false);
        }
    }
    auto mine = db.Table("T");
    ASSERT_EQ(mine->IndexList(0).size(), 2u);  // the natural list only
    TTomeDBFileIO other;
    other.Open(db.Image.Name(), mtMemory, 0, false, false);
    TTomeTableIO theirs(other, "T");
    theirs.Open();
    for (const char* s : {"e", "a", "c"}) {
        Record r(theirs);
        theirs.AppendRecord(r.Str(1, s).Buffers, false);
    }
    auto names = [](TTomeTableIO& table) {
        std::string out;
        for (size_t i = 0; i < table.IndexList(1).size(); ++i) {
            Record r(table);
            table.ReadRecord(r.Buffers, table.IndexList(1), static_cast<int>(i));
            out += r.GetStr(1);
        }
        return out;
    };
    EXPECT_EQ(names(*mine), "abcde");
    TTomeDBFileIO fresh;
    fresh.Open(db.Image.Name(), mtMemory, 0, false, false);
    TTomeTableIO check(fresh, "T");
    check.Open();
    EXPECT_EQ(names(check), "abcde");
}
