// Writes gathered by the write-behind medium must reach the image below as if
// they had been made directly, and reads must see them at once.
#include <random>

#include "storage_fixture.h"
#include "tomedb/storage/TomeDiskMedium.h"
#include "tomedb/storage/TomeWriteBehind.h"

using namespace storage_test;

namespace {

std::vector<uint8_t> Bytes(TTomeMemoryImage& image) { return image.Bytes(); }

TEST(WriteBehind, RandomWritesMatchDirectWrites) {
    for (size_t limit : {size_t{0}, size_t{40000}, size_t{1} << 24}) {
        SCOPED_TRACE("limit " + std::to_string(limit));
        TTomeMemoryImage direct(std::vector<uint8_t>(5000, 7));
        TTomeMemoryImage below(std::vector<uint8_t>(5000, 7));
        TTomeWriteBehindMedium gathered(below, limit);
        std::mt19937 random(42);
        for (int step = 0; step < 400; ++step) {
            // Mostly appends at the end, some rewrites, some across block edges.
            const int64_t size = direct.Size();
            const int64_t at = step % 3 == 0 ? size : static_cast<int64_t>(random() % static_cast<uint32_t>(size));
            std::vector<uint8_t> bytes(1 + random() % 20000);
            for (auto& b : bytes)
                b = static_cast<uint8_t>(random());
            direct.WriteAt(at, bytes.data(), bytes.size());
            gathered.WriteAt(at, bytes.data(), bytes.size());
            ASSERT_EQ(gathered.Size(), direct.Size());
            const int64_t from = static_cast<int64_t>(random() % static_cast<uint32_t>(direct.Size()));
            std::vector<uint8_t> a(30000), b(30000);
            const size_t na = direct.ReadAt(from, a.data(), a.size());
            const size_t nb = gathered.ReadAt(from, b.data(), b.size());
            ASSERT_EQ(nb, na) << step;
            ASSERT_TRUE(std::equal(a.begin(), a.begin() + static_cast<long>(na), b.begin())) << step;
        }
        gathered.Flush();
        EXPECT_EQ(gathered.PendingBytes(), 0u);
        EXPECT_EQ(Bytes(below), Bytes(direct));
    }
}

// A write far past the end leaves a gap that reads as zeros, as in a file.
TEST(WriteBehind, GapPastTheEndReadsAsZeros) {
    TTomeMemoryImage below(std::vector<uint8_t>(10, 1));
    TTomeWriteBehindMedium gathered(below, size_t{1} << 20);
    const uint8_t tail[3] = {9, 9, 9};
    gathered.WriteAt(100000, tail, sizeof tail);
    std::vector<uint8_t> gap(20, 0xEE);
    ASSERT_EQ(gathered.ReadAt(60000, gap.data(), gap.size()), gap.size());
    EXPECT_EQ(gap, std::vector<uint8_t>(20, 0));
    gathered.WritePending();
    ASSERT_EQ(below.Size(), 100003);
    EXPECT_EQ(below.Bytes()[100002], 9);
    EXPECT_EQ(below.Bytes()[50000], 0);
}

// A gathered write to a disk file: more pieces than one system call takes,
// empty ones among them, lands as the pieces one after the other.
TEST(WriteBehind, GatheredDiskWriteMatchesThePiecesInOrder) {
    TempDir dir;
    TTomeDiskMedium disk(dir.File("gathered"), TTomeDiskMedium::Mode::CreateTruncate, false, false, 0);
    std::vector<std::string> pieces;
    std::vector<TTomeWritePiece> gathered;
    std::string expected(100, '\0');
    for (int i = 0; i < 2500; ++i) {
        pieces.push_back(i % 7 == 0 ? std::string() : Noise(static_cast<size_t>(1 + i % 300)));
        expected += pieces.back();
    }
    for (const std::string& piece : pieces)
        gathered.push_back({piece.data(), piece.size()});
    disk.WriteGathered(100, gathered.data(), gathered.size());
    ASSERT_EQ(disk.Size(), static_cast<int64_t>(expected.size()));
    std::string back(expected.size(), 'x');
    ASSERT_EQ(disk.ReadAt(0, back.data(), back.size()), back.size());
    EXPECT_EQ(back, expected);
}

}  // namespace
