// GOST 28147-89 from its published definition. S-box set
// id-tc26-gost-28147-param-Z (GOST R 34.12-2015 / RFC 8891); key words and
// block halves are big-endian, the first four bytes of a block being the more
// significant half, as in that standard.
#include "tomedb/dataproc/Gost.h"

#include <cstring>

namespace tomedb {

namespace {

// kSBox[i] substitutes nibble i (i = 0 the least significant).
constexpr uint8_t kSBox[8][16] = {
    {12, 4, 6, 2, 10, 5, 11, 9, 14, 8, 13, 7, 0, 3, 15, 1}, {6, 8, 2, 3, 9, 10, 5, 12, 1, 14, 4, 7, 11, 13, 0, 15},
    {11, 3, 5, 8, 2, 15, 10, 13, 14, 1, 7, 4, 12, 9, 6, 0}, {12, 8, 2, 1, 13, 4, 15, 6, 7, 0, 10, 5, 3, 14, 9, 11},
    {7, 15, 5, 10, 8, 1, 6, 13, 0, 9, 3, 14, 11, 4, 2, 12}, {5, 13, 15, 6, 9, 2, 12, 10, 11, 7, 8, 1, 4, 3, 14, 0},
    {8, 14, 2, 5, 6, 9, 1, 12, 15, 4, 11, 0, 13, 10, 3, 7}, {1, 7, 14, 13, 0, 5, 8, 3, 4, 15, 10, 6, 9, 12, 11, 2},
};

// Schedule layout: 8 key words, then four byte tables that combine two
// S-boxes each with the 11-bit rotation already applied.
struct GostKey {
    uint32_t K[8];
    uint32_t T[4][256];
};
static_assert(sizeof(GostKey) == TEnc_Gost::kScheduleSize);

inline uint32_t LoadBE(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline void StoreBE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline uint32_t Rol(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

GostKey& KeyOf(uint32_t* schedule) { return *reinterpret_cast<GostKey*>(schedule); }

inline uint32_t G(const GostKey& k, uint32_t a, uint32_t key) {
    const uint32_t x = a + key;
    return k.T[0][x & 0xFF] ^ k.T[1][(x >> 8) & 0xFF] ^ k.T[2][(x >> 16) & 0xFF] ^ k.T[3][x >> 24];
}

// Round i uses key word K[order(i)]: K0..K7 three times, then K7..K0.
inline int KeyIndex(int round, bool decrypt) {
    const int enc = round < 24 ? round % 8 : 7 - round % 8;
    return decrypt ? (round < 8 ? round : 7 - round % 8) : enc;
}

void Crypt(const GostKey& k, uint8_t* block, bool decrypt) {
    uint32_t a1 = LoadBE(block), a0 = LoadBE(block + 4);
    for (int round = 0; round < 32; ++round) {
        const uint32_t t = a1 ^ G(k, a0, k.K[KeyIndex(round, decrypt)]);
        a1 = a0;
        a0 = t;
    }
    // The last round does not swap the halves.
    StoreBE(block, a0);
    StoreBE(block + 4, a1);
}

}  // namespace

void TEnc_Gost::GetContext(size_t& BlockSize, size_t& MaxKeySize, size_t& ScheduleSize) const {
    BlockSize = kBlockSize;
    MaxKeySize = kMaxKeySize;
    ScheduleSize = kScheduleSize;
}

void TEnc_Gost::SetupKey(const uint8_t* Key, size_t KeySize) {
    GostKey& k = KeyOf(Schedule());
    uint8_t full[32] = {};
    std::memcpy(full, Key, KeySize);  // shorter keys are extended with zeros
    for (int i = 0; i < 8; ++i)
        k.K[i] = LoadBE(full + 4 * i);
    std::memset(full, 0, sizeof(full));
    for (int t = 0; t < 4; ++t)
        for (uint32_t x = 0; x < 256; ++x) {
            const uint32_t lo = kSBox[2 * t][x & 15], hi = kSBox[2 * t + 1][x >> 4];
            k.T[t][x] = Rol(((hi << 4) | lo) << (8 * t), 11);
        }
}

void TEnc_Gost::EncodeBlock(uint8_t* Block) { Crypt(KeyOf(Schedule()), Block, false); }

void TEnc_Gost::DecodeBlock(uint8_t* Block) { Crypt(KeyOf(Schedule()), Block, true); }

// GOST R 34.12-2015 example: key ffeeddcc...f8f9fafbfcfdfeff, plaintext
// fedcba9876543210, ciphertext 4ee901e5c2d8ca3d.
bool TEnc_Gost::TestVector() {
    const uint8_t key[32] = {0xff, 0xee, 0xdd, 0xcc, 0xbb, 0xaa, 0x99, 0x88, 0x77, 0x66, 0x55,
                             0x44, 0x33, 0x22, 0x11, 0x00, 0xf0, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5,
                             0xf6, 0xf7, 0xf8, 0xf9, 0xfa, 0xfb, 0xfc, 0xfd, 0xfe, 0xff};
    const uint8_t plain[8] = {0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10};
    const uint8_t expect[8] = {0x4e, 0xe9, 0x01, 0xe5, 0xc2, 0xd8, 0xca, 0x3d};
    uint8_t block[8];
    std::memcpy(block, plain, 8);
    Init(key, sizeof(key));
    EncodeBlock(block);
    const bool ok = std::memcmp(block, expect, 8) == 0;
    DecodeBlock(block);
    Protect();
    return ok && std::memcmp(block, plain, 8) == 0;
}

}  // namespace tomedb
