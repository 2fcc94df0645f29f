#include "tomedb/dataproc/Crc32.h"

#include <zlib.h>

#include <algorithm>

namespace tomedb {

// zlib's crc32 is the same polynomial and conventions; it takes uInt lengths,
// so large buffers are fed in pieces.
static uint32_t CrcUpdate(uint32_t crc, const void* Data, size_t Size) {
    const Bytef* p = static_cast<const Bytef*>(Data);
    while (Size > 0) {
        uInt n = static_cast<uInt>(std::min<size_t>(Size, 1u << 30));
        crc = static_cast<uint32_t>(::crc32(crc, p, n));
        p += n;
        Size -= n;
    }
    return crc;
}

uint32_t THash_CRC32::Calc(const void* Data, size_t Size) { return CrcUpdate(0, Data, Size); }

void THash_CRC32::Update(const void* Data, size_t Size) { FCrc = CrcUpdate(FCrc, Data, Size); }

}  // namespace tomedb
