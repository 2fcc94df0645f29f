// Blowfish (B. Schneier, 1993) from its published definition.
#include "tomedb/dataproc/Blowfish.h"

#include <cstring>

namespace tomedb {

namespace blowfish_tables {
extern const uint32_t kInitP[18];
extern const uint32_t kInitS[4][256];
}  // namespace blowfish_tables

namespace {

struct BlowfishKey {
    uint32_t P[18];
    uint32_t S[4][256];
};
static_assert(sizeof(BlowfishKey) == TEnc_Blowfish::kScheduleSize);

inline uint32_t LoadBE(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void StoreBE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24); p[1] = uint8_t(v >> 16); p[2] = uint8_t(v >> 8); p[3] = uint8_t(v);
}

inline uint32_t F(const BlowfishKey& k, uint32_t x) {
    return ((k.S[0][x >> 24] + k.S[1][(x >> 16) & 0xFF]) ^ k.S[2][(x >> 8) & 0xFF]) + k.S[3][x & 0xFF];
}

inline void Encipher(const BlowfishKey& k, uint32_t& l, uint32_t& r) {
    uint32_t L = l, R = r;
    for (int i = 0; i < 16; i += 2) {
        L ^= k.P[i];
        R ^= F(k, L);
        R ^= k.P[i + 1];
        L ^= F(k, R);
    }
    L ^= k.P[16];
    R ^= k.P[17];
    l = R;
    r = L;
}

inline void Decipher(const BlowfishKey& k, uint32_t& l, uint32_t& r) {
    uint32_t L = l, R = r;
    for (int i = 17; i > 1; i -= 2) {
        L ^= k.P[i];
        R ^= F(k, L);
        R ^= k.P[i - 1];
        L ^= F(k, R);
    }
    L ^= k.P[1];
    R ^= k.P[0];
    l = R;
    r = L;
}

BlowfishKey& KeyOf(uint32_t* schedule) { return *reinterpret_cast<BlowfishKey*>(schedule); }

}  // namespace

void TEnc_Blowfish::GetContext(size_t& BlockSize, size_t& MaxKeySize, size_t& ScheduleSize) const {
    BlockSize = kBlockSize;
    MaxKeySize = kMaxKeySize;
    ScheduleSize = kScheduleSize;
}

void TEnc_Blowfish::SetupKey(const uint8_t* Key, size_t KeySize) {
    BlowfishKey& k = KeyOf(Schedule());
    std::memcpy(k.P, blowfish_tables::kInitP, sizeof(k.P));
    std::memcpy(k.S, blowfish_tables::kInitS, sizeof(k.S));
    if (KeySize > 0) {
        size_t j = 0;
        for (auto& p : k.P) {
            uint32_t word = 0;
            for (int b = 0; b < 4; ++b, j = (j + 1) % KeySize) word = (word << 8) | Key[j];
            p ^= word;
        }
    }
    uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        Encipher(k, l, r);
        k.P[i] = l;
        k.P[i + 1] = r;
    }
    for (auto& box : k.S)
        for (int i = 0; i < 256; i += 2) {
            Encipher(k, l, r);
            box[i] = l;
            box[i + 1] = r;
        }
}

void TEnc_Blowfish::EncodeBlock(uint8_t* Block) {
    uint32_t l = LoadBE(Block), r = LoadBE(Block + 4);
    Encipher(KeyOf(Schedule()), l, r);
    StoreBE(Block, l);
    StoreBE(Block + 4, r);
}

void TEnc_Blowfish::DecodeBlock(uint8_t* Block) {
    uint32_t l = LoadBE(Block), r = LoadBE(Block + 4);
    Decipher(KeyOf(Schedule()), l, r);
    StoreBE(Block, l);
    StoreBE(Block + 4, r);
}

// Published ECB vector: key 0123456789ABCDEF, plaintext 1111111111111111.
bool TEnc_Blowfish::TestVector() {
    const uint8_t key[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    const uint8_t expect[8] = {0x61, 0xF9, 0xC3, 0x80, 0x22, 0x81, 0xB0, 0x96};
    uint8_t block[8];
    std::memset(block, 0x11, sizeof(block));
    Init(key, sizeof(key));
    EncodeBlock(block);
    const bool ok = std::memcmp(block, expect, 8) == 0;
    DecodeBlock(block);
    Protect();
    return ok && block[0] == 0x11 && block[7] == 0x11;
}

}  // namespace tomedb
