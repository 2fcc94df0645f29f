#include "tomedb/storage/TomeTableScan.h"

#include <algorithm>
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
        for (int64_t p = 0; p + kTableHeaderSize <= end - start && p < kScanWindow; ++p) {
            const auto offset = static_cast<int32_t>(start + p);
            if (LooksLikeHeader(window.data() + p, imageSize) && listed.count(offset) == 0)
                found.push_back(offset);
        }
    }
    return found;
}

}  // namespace tomedb
