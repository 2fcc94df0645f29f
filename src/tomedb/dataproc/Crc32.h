// THash_CRC32: the CRC-32 of ISO 3309 / IEEE 802.3 (reflected, initial value
// all ones, final complement; equal to zlib's crc32) used to verify blob
// writes. Stateless helpers plus an incremental form; cannot fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tomedb {

class THash_CRC32 {
public:
    static uint32_t Calc(const void* Data, size_t Size);
    static uint32_t Calc(std::string_view Data) { return Calc(Data.data(), Data.size()); }

    void Init() { FCrc = 0; }
    void Update(const void* Data, size_t Size);
    uint32_t Final() const { return FCrc; }

private:
    uint32_t FCrc = 0;
};

inline uint32_t Crc32(std::string_view Data) { return THash_CRC32::Calc(Data); }

}  // namespace tomedb
