#include "tomedb/dataproc/Sha.h"

#include <algorithm>
#include <cstring>

namespace tomedb {

namespace {

inline uint32_t Rol(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

inline uint32_t LoadBE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

}  // namespace

void THash_SHA::Init() {
    FState[0] = 0x67452301;
    FState[1] = 0xEFCDAB89;
    FState[2] = 0x98BADCFE;
    FState[3] = 0x10325476;
    FState[4] = 0xC3D2E1F0;
    FBufferLen = 0;
    FTotalLen = 0;
}

// SHA-0 compression: the message schedule is W[t] = W[t-3]^W[t-8]^W[t-14]^W[t-16]
// with no rotation (the only difference from SHA-1).
void THash_SHA::Transform(const uint8_t* Block) {
    uint32_t w[80];
    for (int t = 0; t < 16; ++t)
        w[t] = LoadBE32(Block + 4 * t);
    for (int t = 16; t < 80; ++t)
        w[t] = w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16];
    uint32_t a = FState[0], b = FState[1], c = FState[2], d = FState[3], e = FState[4];
    for (int t = 0; t < 80; ++t) {
        uint32_t f, k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        uint32_t tmp = Rol(a, 5) + f + e + k + w[t];
        e = d;
        d = c;
        c = Rol(b, 30);
        b = a;
        a = tmp;
    }
    FState[0] += a;
    FState[1] += b;
    FState[2] += c;
    FState[3] += d;
    FState[4] += e;
}

void THash_SHA::Update(const void* Data, size_t Size) {
    const uint8_t* p = static_cast<const uint8_t*>(Data);
    FTotalLen += Size;
    if (FBufferLen > 0) {
        size_t take = std::min(Size, sizeof(FBuffer) - FBufferLen);
        std::memcpy(FBuffer + FBufferLen, p, take);
        FBufferLen += take;
        p += take;
        Size -= take;
        if (FBufferLen < sizeof(FBuffer))
            return;
        Transform(FBuffer);
        FBufferLen = 0;
    }
    for (; Size >= 64; p += 64, Size -= 64)
        Transform(p);
    if (Size > 0) {
        std::memcpy(FBuffer, p, Size);
        FBufferLen = Size;
    }
}

THash_SHA::TDigest THash_SHA::Final() {
    const uint64_t bits = FTotalLen * 8;
    const uint8_t pad = 0x80;
    const uint8_t zero[64] = {};
    Update(&pad, 1);
    Update(zero, (FBufferLen <= 56) ? 56 - FBufferLen : 120 - FBufferLen);
    uint8_t len[8];
    for (int i = 0; i < 8; ++i)
        len[i] = uint8_t(bits >> (56 - 8 * i));
    Update(len, 8);
    TDigest digest;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = uint8_t(FState[i] >> (24 - 8 * j));
    Init();
    return digest;
}

THash_SHA::TDigest THash_SHA::Calc(std::string_view Data) {
    THash_SHA h;
    h.Update(Data.data(), Data.size());
    return h.Final();
}

std::string THash_SHA::CalcString(std::string_view Data) {
    TDigest d = Calc(Data);
    return std::string(reinterpret_cast<const char*>(d.data()), d.size());
}

}  // namespace tomedb
