// Table, field and index names: ASCII letters match in either case; nothing
// else is folded, not the trail byte of a double-byte character and not a
// full-width letter.
#include "storage_fixture.h"
#include "tomedb/filter/MemoryRecordSource.h"

using namespace storage_test;

namespace {

struct NamePair {
    const char* what;
    std::string first;
    std::string second;
    bool same;
};

const std::vector<NamePair>& NamePairs() {
    static const std::vector<NamePair> pairs = {
        {"ASCII case", "Docs", "dOCS", true},
        {"ASCII digits and marks", "T_1", "t_1", true},
        {"different ASCII", "Docs", "Doc", false},
        {"trail byte 0x41 against 0x61", "\x81\x41", "\x81\x61", false},  // two characters
        {"trail byte inside a longer name", "A\x81\x41z", "a\x81\x61Z", false},
        {"same double-byte name", "\xC3\xFB\xB3\xC6", "\xC3\xFB\xB3\xC6", true},
        {"full-width A against a", "\xA3\xC1", "\xA3\xE1", false},
        {"ASCII letters around Chinese", "\xD6\xD0x", "\xD6\xD0X", true},
        {"four-byte character",
         "\x81\x30\x81\x30"
         "a",
         "\x81\x30\x81\x30"
         "A",
         true},
    };
    return pairs;
}

}  // namespace

TEST(Names, OneComparisonForEveryName) {
    for (const NamePair& pair : NamePairs()) {
        SCOPED_TRACE(pair.what);
        EXPECT_EQ(SameNameAscii(pair.first, pair.second), pair.same);
        EXPECT_EQ(SameNameAscii(pair.second, pair.first), pair.same);
    }
}

TEST(Names, TablesFieldsAndIndexes) {
    for (const NamePair& pair : NamePairs()) {
        SCOPED_TRACE(pair.what);
        MemoryDb db;
        ASSERT_TRUE(db.Io->CreateTable(pair.first, {Field("K", ftInteger), Field("V", ftString, 8)}));
        const std::string duplicate = "Duplicate table name '" + pair.second + "'";
        const std::string created = ErrorOf([&] { db.Io->CreateTable(pair.second, {Field("K", ftInteger)}); });
        EXPECT_EQ(created, pair.same ? duplicate : "<no error>");
        EXPECT_EQ(db.Io->FindTable(pair.second) == 0, pair.same);

        const std::string fields = ErrorOf([&] {
            db.Io->CreateTable("F", {Field(pair.first, ftInteger), Field(pair.second, ftInteger)});
        });
        EXPECT_EQ(fields, pair.same ? "Duplicate field name '" + pair.first + "'" : "<no error>");

        ASSERT_TRUE(db.Io->CreateIndex(pair.first, pair.first, 0, {"K"}));
        const std::string index = ErrorOf([&] { db.Io->CreateIndex(pair.first, pair.second, 0, {"V"}); });
        EXPECT_EQ(index, pair.same ? "Duplicate index name '" + pair.second + "'" : "<no error>");

        auto table = db.Table(pair.first);
        EXPECT_EQ(table->FieldDefs().IndexOf("k"), 0);
        EXPECT_EQ(table->IndexDefs().IndexOf(pair.second) == 0, pair.same);
    }
}

TEST(Names, FilterFieldNames) {
    for (const NamePair& pair : NamePairs()) {
        SCOPED_TRACE(pair.what);
        TMemoryRecordSource source;
        source.AddField(pair.first, ftInteger, 4);
        EXPECT_EQ(source.FindField(pair.second) == 0, pair.same);
    }
}
