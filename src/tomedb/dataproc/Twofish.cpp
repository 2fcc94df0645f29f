// Twofish (Schneier, Kelsey, Whiting, Wagner, Hall, Ferguson, 1998) from its
// published definition. The key-dependent S-boxes are folded with the MDS
// matrix into four 256-entry tables at key setup ("full keying").
#include "tomedb/dataproc/Twofish.h"

#include <array>
#include <cstring>

namespace tomedb {

namespace {

struct TwofishKey {
    uint32_t K[40];
    uint32_t S[4][256];  // MDS column j applied to the keyed S-box j
};
static_assert(sizeof(TwofishKey) == TEnc_Twofish::kScheduleSize);

using Nibbles = std::array<uint8_t, 16>;

// The 4-bit permutations t0..t3 from which q0 and q1 are built.
constexpr Nibbles kQ0T[4] = {{0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
                             {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
                             {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
                             {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA}};
constexpr Nibbles kQ1T[4] = {{0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
                             {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
                             {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
                             {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA}};

constexpr uint8_t Ror4(uint8_t x) { return uint8_t(((x >> 1) | (x << 3)) & 0xF); }

constexpr uint8_t QPermute(const Nibbles* t, uint8_t x) {
    uint8_t a = x >> 4, b = x & 0xF;
    uint8_t a1 = a ^ b, b1 = uint8_t((a ^ Ror4(b) ^ (8 * a)) & 0xF);
    uint8_t a2 = t[0][a1], b2 = t[1][b1];
    uint8_t a3 = a2 ^ b2, b3 = uint8_t((a2 ^ Ror4(b2) ^ (8 * a2)) & 0xF);
    uint8_t a4 = t[2][a3], b4 = t[3][b3];
    return uint8_t((b4 << 4) | a4);
}

struct QTables {
    uint8_t q[2][256];
    constexpr QTables() : q{} {
        for (int x = 0; x < 256; ++x) {
            q[0][x] = QPermute(kQ0T, uint8_t(x));
            q[1][x] = QPermute(kQ1T, uint8_t(x));
        }
    }
};
constexpr QTables kQ;
inline uint8_t Q0(uint8_t x) { return kQ.q[0][x]; }
inline uint8_t Q1(uint8_t x) { return kQ.q[1][x]; }

// Multiplication in GF(2^8) modulo the given primitive polynomial.
constexpr uint8_t GfMul(uint8_t a, uint8_t b, unsigned poly) {
    unsigned r = 0, x = a;
    for (; b; b >>= 1) {
        if (b & 1)
            r ^= x;
        x <<= 1;
        if (x & 0x100)
            x ^= poly;
    }
    return uint8_t(r);
}
constexpr unsigned kMdsPoly = 0x169, kRsPoly = 0x14D;
constexpr uint8_t kMds[4][4] = {
    {0x01, 0xEF, 0x5B, 0x5B}, {0x5B, 0xEF, 0xEF, 0x01}, {0xEF, 0x5B, 0x01, 0xEF}, {0xEF, 0x01, 0xEF, 0x5B}};
constexpr uint8_t kRs[4][8] = {{0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
                               {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
                               {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
                               {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03}};

// MDS column j times byte y, as a little-endian word.
uint32_t MdsColumn(int j, uint8_t y) {
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i)
        w |= uint32_t(GfMul(kMds[i][j], y, kMdsPoly)) << (8 * i);
    return w;
}

inline uint32_t LoadLE(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void StoreLE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline uint32_t Rol(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }
inline uint32_t Ror(uint32_t v, int n) { return (v >> n) | (v << (32 - n)); }
inline uint8_t Byte(uint32_t v, int i) { return uint8_t(v >> (8 * i)); }

// The keyed byte permutations of h: byte j of x through the q chain, XORed
// with byte j of the words in L (L[0] applied last). k is 2, 3 or 4 words.
uint8_t KeyedByte(int j, uint8_t y, const uint32_t* L, int k) {
    if (k == 4)
        y = (j == 0 || j == 3 ? Q1(y) : Q0(y)) ^ Byte(L[3], j);
    if (k >= 3)
        y = (j <= 1 ? Q1(y) : Q0(y)) ^ Byte(L[2], j);
    switch (j) {
        case 0:
            return Q1(Q0(Q0(y) ^ Byte(L[1], 0)) ^ Byte(L[0], 0));
        case 1:
            return Q0(Q0(Q1(y) ^ Byte(L[1], 1)) ^ Byte(L[0], 1));
        case 2:
            return Q1(Q1(Q0(y) ^ Byte(L[1], 2)) ^ Byte(L[0], 2));
        default:
            return Q0(Q1(Q1(y) ^ Byte(L[1], 3)) ^ Byte(L[0], 3));
    }
}

uint32_t H(uint32_t x, const uint32_t* L, int k) {
    uint32_t z = 0;
    for (int j = 0; j < 4; ++j)
        z ^= MdsColumn(j, KeyedByte(j, Byte(x, j), L, k));
    return z;
}

// RS code word of eight key bytes.
uint32_t RsWord(const uint8_t* m) {
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i) {
        uint8_t v = 0;
        for (int j = 0; j < 8; ++j)
            v ^= GfMul(kRs[i][j], m[j], kRsPoly);
        w |= uint32_t(v) << (8 * i);
    }
    return w;
}

TwofishKey& KeyOf(uint32_t* schedule) { return *reinterpret_cast<TwofishKey*>(schedule); }

inline uint32_t G0(const TwofishKey& k, uint32_t x) {
    return k.S[0][Byte(x, 0)] ^ k.S[1][Byte(x, 1)] ^ k.S[2][Byte(x, 2)] ^ k.S[3][Byte(x, 3)];
}
inline uint32_t G1(const TwofishKey& k, uint32_t x) { return G0(k, Rol(x, 8)); }

}  // namespace

void TEnc_Twofish::GetContext(size_t& BlockSize, size_t& MaxKeySize, size_t& ScheduleSize) const {
    BlockSize = kBlockSize;
    MaxKeySize = kMaxKeySize;
    ScheduleSize = kScheduleSize;
}

void TEnc_Twofish::SetupKey(const uint8_t* Key, size_t KeySize) {
    TwofishKey& key = KeyOf(Schedule());
    uint8_t m[32] = {};
    std::memcpy(m, Key, KeySize);
    const int k = KeySize <= 16 ? 2 : KeySize <= 24 ? 3 : 4;  // zero-extended
    uint32_t me[4], mo[4], s[4];
    for (int i = 0; i < k; ++i) {
        me[i] = LoadLE(m + 8 * i);
        mo[i] = LoadLE(m + 8 * i + 4);
        s[k - 1 - i] = RsWord(m + 8 * i);  // S is used in reverse order
    }
    const uint32_t rho = 0x01010101;
    for (uint32_t i = 0; i < 20; ++i) {
        const uint32_t a = H(2 * i * rho, me, k);
        const uint32_t b = Rol(H((2 * i + 1) * rho, mo, k), 8);
        key.K[2 * i] = a + b;
        key.K[2 * i + 1] = Rol(a + 2 * b, 9);
    }
    for (int j = 0; j < 4; ++j)
        for (int x = 0; x < 256; ++x)
            key.S[j][x] = MdsColumn(j, KeyedByte(j, uint8_t(x), s, k));
    std::memset(m, 0, sizeof(m));
}

void TEnc_Twofish::EncodeBlock(uint8_t* Block) {
    const TwofishKey& k = KeyOf(Schedule());
    uint32_t r0 = LoadLE(Block) ^ k.K[0], r1 = LoadLE(Block + 4) ^ k.K[1];
    uint32_t r2 = LoadLE(Block + 8) ^ k.K[2], r3 = LoadLE(Block + 12) ^ k.K[3];
    for (int round = 0; round < 16; round += 2) {
        uint32_t t0 = G0(k, r0), t1 = G1(k, r1);
        r2 = Ror(r2 ^ (t0 + t1 + k.K[2 * round + 8]), 1);
        r3 = Rol(r3, 1) ^ (t0 + 2 * t1 + k.K[2 * round + 9]);
        t0 = G0(k, r2);
        t1 = G1(k, r3);
        r0 = Ror(r0 ^ (t0 + t1 + k.K[2 * round + 10]), 1);
        r1 = Rol(r1, 1) ^ (t0 + 2 * t1 + k.K[2 * round + 11]);
    }
    StoreLE(Block, r2 ^ k.K[4]);
    StoreLE(Block + 4, r3 ^ k.K[5]);
    StoreLE(Block + 8, r0 ^ k.K[6]);
    StoreLE(Block + 12, r1 ^ k.K[7]);
}

void TEnc_Twofish::DecodeBlock(uint8_t* Block) {
    const TwofishKey& k = KeyOf(Schedule());
    uint32_t r2 = LoadLE(Block) ^ k.K[4], r3 = LoadLE(Block + 4) ^ k.K[5];
    uint32_t r0 = LoadLE(Block + 8) ^ k.K[6], r1 = LoadLE(Block + 12) ^ k.K[7];
    for (int round = 14; round >= 0; round -= 2) {
        uint32_t t0 = G0(k, r2), t1 = G1(k, r3);
        r0 = Rol(r0, 1) ^ (t0 + t1 + k.K[2 * round + 10]);
        r1 = Ror(r1 ^ (t0 + 2 * t1 + k.K[2 * round + 11]), 1);
        t0 = G0(k, r0);
        t1 = G1(k, r1);
        r2 = Rol(r2, 1) ^ (t0 + t1 + k.K[2 * round + 8]);
        r3 = Ror(r3 ^ (t0 + 2 * t1 + k.K[2 * round + 9]), 1);
    }
    StoreLE(Block, r0 ^ k.K[0]);
    StoreLE(Block + 4, r1 ^ k.K[1]);
    StoreLE(Block + 8, r2 ^ k.K[2]);
    StoreLE(Block + 12, r3 ^ k.K[3]);
}

// Published known answer: 128-bit zero key, zero plaintext.
bool TEnc_Twofish::TestVector() {
    const uint8_t key[16] = {};
    const uint8_t expect[16] = {0x9F, 0x58, 0x9F, 0x5C, 0xF6, 0x12, 0x2C, 0x32,
                                0xB6, 0xBF, 0xEC, 0x2F, 0x2A, 0xE8, 0xC3, 0x5A};
    uint8_t block[16] = {};
    Init(key, sizeof(key));
    EncodeBlock(block);
    const bool ok = std::memcmp(block, expect, 16) == 0;
    DecodeBlock(block);
    Protect();
    const uint8_t zero[16] = {};
    return ok && std::memcmp(block, zero, 16) == 0;
}

}  // namespace tomedb
