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

// Big-endian halves through one unaligned load and a byte swap each.
inline uint32_t LoadBE(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return __builtin_bswap32(v);
}
inline void StoreBE(uint8_t* p, uint32_t v) {
    v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}

inline uint32_t F(const BlowfishKey& k, uint32_t x) {
    return ((k.S[0][x >> 24] + k.S[1][(x >> 16) & 0xFF]) ^ k.S[2][(x >> 8) & 0xFF]) + k.S[3][x & 0xFF];
}

// The sixteen rounds with P[first], P[first + step], ... (step +1 to
// encipher, -1 to decipher). The trip count is fixed, so the compiler lays
// the rounds out straight and the halves stay in registers.
template <int First, int Step>
inline void Rounds(const BlowfishKey& k, uint32_t& L, uint32_t& R) {
    for (int n = 0; n < 8; ++n) {
        const int i = First + 2 * Step * n;
        L ^= k.P[i];
        R ^= F(k, L) ^ k.P[i + Step];
        L ^= F(k, R);
    }
}

inline void Encipher(const BlowfishKey& k, uint32_t& l, uint32_t& r) {
    uint32_t L = l, R = r;
    Rounds<0, 1>(k, L, R);
    l = R ^ k.P[17];
    r = L ^ k.P[16];
}

inline void Decipher(const BlowfishKey& k, uint32_t& l, uint32_t& r) {
    uint32_t L = l, R = r;
    Rounds<17, -1>(k, L, R);
    l = R ^ k.P[0];
    r = L ^ k.P[1];
}

// Four blocks deciphered side by side: a block's rounds form one chain of
// dependent table loads, so interleaving independent blocks keeps the CPU
// busy while each load is waited for. Same result as Decipher on each.
constexpr size_t kLanes = 4;

inline void Decipher4(const BlowfishKey& k, uint32_t (&L)[kLanes], uint32_t (&R)[kLanes]) {
    for (int i = 17; i > 1; i -= 2) {
        for (size_t j = 0; j < kLanes; ++j)
            L[j] ^= k.P[i];
        for (size_t j = 0; j < kLanes; ++j)
            R[j] ^= F(k, L[j]) ^ k.P[i - 1];
        for (size_t j = 0; j < kLanes; ++j)
            L[j] ^= F(k, R[j]);
    }
    for (size_t j = 0; j < kLanes; ++j) {
        const uint32_t l = R[j] ^ k.P[0];
        R[j] = L[j] ^ k.P[1];
        L[j] = l;
    }
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
            for (int b = 0; b < 4; ++b, j = (j + 1) % KeySize)
                word = (word << 8) | Key[j];
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

void TEnc_Blowfish::DecodeBlock(uint8_t* Block) { DecodeBlocks(Block, 1); }

void TEnc_Blowfish::DecodeBlocks(uint8_t* Blocks, size_t Count) {
    const BlowfishKey& k = KeyOf(Schedule());
    uint8_t* block = Blocks;
    for (; Count >= kLanes; Count -= kLanes, block += kLanes * kBlockSize) {
        uint32_t L[kLanes], R[kLanes];
        for (size_t j = 0; j < kLanes; ++j) {
            L[j] = LoadBE(block + j * kBlockSize);
            R[j] = LoadBE(block + j * kBlockSize + 4);
        }
        Decipher4(k, L, R);
        for (size_t j = 0; j < kLanes; ++j) {
            StoreBE(block + j * kBlockSize, L[j]);
            StoreBE(block + j * kBlockSize + 4, R[j]);
        }
    }
    for (; Count > 0; --Count, block += kBlockSize) {
        uint32_t l = LoadBE(block), r = LoadBE(block + 4);
        Decipher(k, l, r);
        StoreBE(block, l);
        StoreBE(block + 4, r);
    }
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
