// The search of a whole image for table headers its directory does not list:
// every hidden table is found wherever its header lands, between records
// whose zero-filled texts look like a header's reserved bytes.
#include <set>

#include "storage_fixture.h"
#include "tomedb/storage/TomeTableScan.h"

using namespace storage_test;

namespace {

TEST(TableScan, FindsEveryHiddenHeaderAtAnyAlignment) {
    MemoryDb db;
    std::vector<int32_t> headers;
    for (int t = 0; t < 9; ++t) {
        const std::string name = "T" + std::to_string(t);
        ASSERT_TRUE(db.Io->CreateTable(name, {Field("S", ftString, 200 + t), Field("B", ftBlob)}));
        headers.push_back(db.Io->TableHeaderOffset(t));
        auto table = db.Table(name);
        Record r(*table);
        // Mostly zero texts in records of a width that moves the next header
        // by a few bytes each time.
        for (int i = 0; i < 3; ++i)
            table->AppendRecord(r.Str(0, std::string(static_cast<size_t>(i), 'a')).Blob(1, Noise(100)).Buffers, false);
    }
    EXPECT_EQ(FindUnlistedTableHeaders(*db.Io), std::vector<int32_t>());

    std::set<int32_t> alignments;
    for (int32_t offset : headers)
        alignments.insert(offset % 8);
    ASSERT_GT(alignments.size(), 4u) << "the headers should land at several alignments";

    for (const int32_t listed : {1, 4, 8}) {
        SCOPED_TRACE("listed " + std::to_string(listed));
        format::PutI32(&db.Image.Bytes()[format::kTableDirectoryOffset + format::kDirTableCount], listed);
        db.Reopen();
        EXPECT_EQ(FindUnlistedTableHeaders(*db.Io), std::vector<int32_t>(headers.begin() + listed, headers.end()));
    }
}

}  // namespace
