// THash_SHA: SHA-0 (FIPS 180, 1993), i.e. SHA-1 without the one-bit rotation
// in the message schedule. Used for the password check string and to derive
// cipher keys. The digest is the five state words written big-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tomedb {

class THash_SHA {
public:
    static constexpr size_t DigestSize = 20;
    using TDigest = std::array<uint8_t, DigestSize>;

    THash_SHA() { Init(); }
    void Init();
    void Update(const void* Data, size_t Size);
    TDigest Final();  // resets the object afterwards

    static TDigest Calc(std::string_view Data);
    static std::string CalcString(std::string_view Data);  // 20 raw bytes

private:
    void Transform(const uint8_t* Block);
    uint32_t FState[5];
    uint8_t FBuffer[64];
    size_t FBufferLen = 0;
    uint64_t FTotalLen = 0;
};

}  // namespace tomedb
