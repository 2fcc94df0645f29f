// Blowfish's key schedule, its round function, and deciphering many blocks at
// once: the portable way (four blocks interleaved on scalar registers) and,
// on processors with AVX-512 VBMI, 64 blocks sliced by byte across 512-bit
// registers, whose S-box look-ups are byte permutes. Every path gives the
// same bytes; TEnc_Blowfish picks the fastest the processor can run, once.
// Internal to the cipher (and its tests, which run every path).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tomedb::blowfish {

struct TKey {
    uint32_t P[18];
    uint32_t S[4][256];
    // Planes[box][b][i]: byte b (0 the most significant) of S[box][i], for
    // the byte-sliced path; made from S by BuildPlanes.
    uint8_t Planes[4][4][256];
};

// Fills key.Planes from key.S (after the key setup).
void BuildPlanes(TKey& key);

enum class TDecipherPath { Portable, Avx512Vbmi };

// Whether this processor (and the system) can run `path`; Portable always.
bool PathAvailable(TDecipherPath path);
// The path DecipherBlocks takes without one named: the widest available.
TDecipherPath FastestPath();
// `count` consecutive 8-byte blocks deciphered in place through `path`, which
// must be available. Blocks need no alignment.
void DecipherBlocks(TDecipherPath path, const TKey& key, uint8_t* blocks, size_t count);
void DecipherBlocks(const TKey& key, uint8_t* blocks, size_t count);

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

inline uint32_t F(const TKey& k, uint32_t x) {
    return ((k.S[0][x >> 24] + k.S[1][(x >> 16) & 0xFF]) ^ k.S[2][(x >> 8) & 0xFF]) + k.S[3][x & 0xFF];
}

// The sixteen rounds with P[first], P[first + step], ... (step +1 to
// encipher, -1 to decipher). The trip count is fixed, so the compiler lays
// the rounds out straight and the halves stay in registers.
template <int First, int Step>
inline void Rounds(const TKey& k, uint32_t& L, uint32_t& R) {
    for (int n = 0; n < 8; ++n) {
        const int i = First + 2 * Step * n;
        L ^= k.P[i];
        R ^= F(k, L) ^ k.P[i + Step];
        L ^= F(k, R);
    }
}

inline void Encipher(const TKey& k, uint32_t& l, uint32_t& r) {
    uint32_t L = l, R = r;
    Rounds<0, 1>(k, L, R);
    l = R ^ k.P[17];
    r = L ^ k.P[16];
}

inline void Decipher(const TKey& k, uint32_t& l, uint32_t& r) {
    uint32_t L = l, R = r;
    Rounds<17, -1>(k, L, R);
    l = R ^ k.P[0];
    r = L ^ k.P[1];
}

}  // namespace tomedb::blowfish
