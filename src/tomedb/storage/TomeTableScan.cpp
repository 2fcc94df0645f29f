#include "tomedb/storage/TomeTableScan.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "tomedb/storage/TomeDBFileIO.h"
#include "tomedb/storage/TomeFormat.h"
#include "tomedb/storage/TomeStructures.h"

namespace tomedb {

using namespace format;

namespace {

constexpr int64_t kScanWindow = 1 << 20;

// The cheap tests first: most positions fail on the reserved bytes.
bool LooksLikeHeader(const uint8_t* p, int64_t imageSize) {
    for (int i = 0; i < 16; ++i)
        if (p[kTHReserved + i] != 0)
            return false;
    if (p[kTHTableName] < 32)
        return false;
    const int32_t fields = GetI32(p + kTHFieldCount), indexes = GetI32(p + kTHIndexCount);
    if (fields < 1 || fields > kFieldSlots || indexes < 0 || indexes > kMaxIndexes)
        return false;
    if (FixedTextLength(p + kTHTableName, kNameFieldSize) >= static_cast<size_t>(kNameFieldSize))
        return false;
    TTableHeader header;
    std::copy(p, p + kTableHeaderSize, header.Bytes.begin());
    return header.CheckSane(imageSize);
}

// Header positions p in window[0, limit) whose 16 reserved bytes are zero are
// handed to test. Such a zero run holds a whole aligned 8-byte word of zeros,
// so the search steps a word at a time and looks closer only around one.
template <typename Test>
void ForEachZeroReservedArea(const uint8_t* window, int64_t size, int64_t limit, Test test) {
    constexpr int64_t kRun = 16;
    int64_t nextCandidate = 0;  // positions below were already handed over or ruled out
    for (int64_t word = kTHReserved & ~int64_t{7}; word + 8 <= size; word += 8) {
        uint64_t bits;
        std::memcpy(&bits, window + word, sizeof bits);
        if (bits != 0)
            continue;
        // The zero run around this word: [from, to).
        int64_t from = word, to = word + 8;
        while (from > 0 && window[from - 1] == 0)
            --from;
        while (to < size && window[to] == 0)
            ++to;
        for (int64_t at = std::max(from, nextCandidate + kTHReserved); at + kRun <= to; ++at) {
            const int64_t p = at - kTHReserved;
            if (p >= limit)
                return;
            if (p >= 0)
                test(p);
        }
        nextCandidate = std::max(nextCandidate, to - kRun + 1 - kTHReserved);
        word = ((to + 7) & ~int64_t{7}) - 8;
    }
}

}  // namespace

std::vector<int32_t> FindUnlistedTableHeaders(TTomeDBFileIO& io) {
    const int64_t imageSize = io.ImageSize();
    std::set<int32_t> listed;
    for (int t = 0; t < io.TableCount(); ++t)
        listed.insert(io.TableHeaderOffset(t));
    std::vector<int32_t> found;
    std::vector<uint8_t> window;
    for (int64_t start = kFixedAreaSize; start + kTableHeaderSize <= imageSize; start += kScanWindow) {
        const int64_t end = std::min(imageSize, start + kScanWindow + kTableHeaderSize - 1);
        window.resize(static_cast<size_t>(end - start));
        io.ReadExact(start, window.data(), window.size());
        const int64_t limit = std::min<int64_t>(kScanWindow, end - start - kTableHeaderSize + 1);
        ForEachZeroReservedArea(window.data(), end - start, limit, [&](int64_t p) {
            const auto offset = static_cast<int32_t>(start + p);
            if (LooksLikeHeader(window.data() + p, imageSize) && listed.count(offset) == 0)
                found.push_back(offset);
        });
    }
    return found;
}

}  // namespace tomedb
