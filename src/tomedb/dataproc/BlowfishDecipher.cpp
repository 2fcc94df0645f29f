// Deciphering Blowfish blocks many at a time. A block's sixteen rounds are one
// chain of dependent table look-ups, so speed comes from working on
// independent blocks side by side: four on scalar registers, or 64 sliced by
// byte across 512-bit registers. (Gathering the S-box words per 32-bit lane,
// eight or sixteen blocks a register, was measured no faster than the scalar
// way on the processors at hand, so there is no such path.) The wide path is
// compiled for its instruction set function by function and only called
// after the processor has been asked whether it has it.
#include "tomedb/dataproc/BlowfishDecipher.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define QUILLORA_HAS_VBMI_PATH 1
#endif
#include <string.h>

namespace tomedb::blowfish {

namespace {

constexpr size_t kBlockSize = 8;

// ---- portable: four blocks interleaved -------------------------------------

constexpr size_t kLanes = 4;

inline void Decipher4(const TKey& k, uint32_t (&L)[kLanes], uint32_t (&R)[kLanes]) {
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

void DecipherPortable(const TKey& k, uint8_t* block, size_t count) {
    for (; count >= kLanes; count -= kLanes, block += kLanes * kBlockSize) {
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
    for (; count > 0; --count, block += kBlockSize) {
        uint32_t l = LoadBE(block), r = LoadBE(block + 4);
        Decipher(k, l, r);
        StoreBE(block, l);
        StoreBE(block + 4, r);
    }
}

#ifdef QUILLORA_HAS_VBMI_PATH
// ---- AVX-512 VBMI: 64 blocks sliced by byte ---------------------------------
//
// Each register holds one byte position of 64 blocks: Byte[0..3] the left
// halves from the most significant byte down, Byte[4..7] the right halves.
// An S-box look-up is then a table look-up per output byte across 64 indices
// at once (two 128-entry byte permutes and a blend by the index's top bit,
// over TKey::Planes), and the round function's 32-bit additions carry from
// byte to byte by hand. About 2.5 times the portable speed.

#define QUILLORA_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// GCC 12's byte permute intrinsic starts from an "undefined" register it then
// overwrites whole, and warns of it wherever it is inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

constexpr size_t kSlicedBlocks = 64;

// One 32-bit half of 64 blocks, most significant byte first.
struct TSlicedHalf {
    __m512i Byte[4];
};

QUILLORA_VBMI inline __m512i LookUpByte(const uint8_t* table, __m512i index, __mmask64 upperHalf) {
    const auto* t = reinterpret_cast<const __m512i*>(table);
    const __m512i lower = _mm512_permutex2var_epi8(_mm512_loadu_si512(t), index, _mm512_loadu_si512(t + 1));
    const __m512i upper = _mm512_permutex2var_epi8(_mm512_loadu_si512(t + 2), index, _mm512_loadu_si512(t + 3));
    return _mm512_mask_blend_epi8(upperHalf, lower, upper);
}

// S-box `box` at the 64 indices of `index`. The tables are read where they
// are, at each use: an L1 hit, where a compiler left to itself copies all
// 4 KB of them to the stack on every call to keep them "in registers".
QUILLORA_VBMI inline TSlicedHalf LookUp(const TKey& k, int box, __m512i index) {
    const uint8_t* planes = &k.Planes[box][0][0];
    asm("" : "+r"(planes));
    const __mmask64 upperHalf = _mm512_movepi8_mask(index);
    TSlicedHalf out;
    for (int b = 0; b < 4; ++b)
        out.Byte[b] = LookUpByte(planes + 256 * b, index, upperHalf);
    return out;
}

// a + b modulo 2^32 in each of the 64 lanes, the carries looked ahead so
// that they wait on mask operations rather than on each other's sums: byte p
// carries out when its own sum wraps, or when it is 0xFF and a carry comes in.
QUILLORA_VBMI inline TSlicedHalf Add(const TSlicedHalf& a, const TSlicedHalf& b) {
    const __m512i one = _mm512_set1_epi8(1), full = _mm512_set1_epi8(char(0xFF));
    TSlicedHalf sum;
    for (int p = 0; p < 4; ++p)
        sum.Byte[p] = _mm512_add_epi8(a.Byte[p], b.Byte[p]);
    __mmask64 carry = _mm512_cmplt_epu8_mask(sum.Byte[3], a.Byte[3]);
    for (int p = 2; p >= 0; --p) {
        const __mmask64 wraps = _mm512_cmplt_epu8_mask(sum.Byte[p], a.Byte[p]);
        const __mmask64 passes = _mm512_cmpeq_epi8_mask(sum.Byte[p], full);
        sum.Byte[p] = _mm512_mask_add_epi8(sum.Byte[p], carry, sum.Byte[p], one);
        carry = _kor_mask64(wraps, _kand_mask64(passes, carry));
    }
    return sum;
}

QUILLORA_VBMI inline void XorInto(TSlicedHalf& x, const TSlicedHalf& y) {
    for (int p = 0; p < 4; ++p)
        x.Byte[p] = _mm512_xor_si512(x.Byte[p], y.Byte[p]);
}

QUILLORA_VBMI inline void XorInto(TSlicedHalf& x, uint32_t word) {
    for (int p = 0; p < 4; ++p)
        x.Byte[p] = _mm512_xor_si512(x.Byte[p], _mm512_set1_epi8(char(word >> (24 - 8 * p))));
}

QUILLORA_VBMI inline TSlicedHalf F64(const TKey& k, const TSlicedHalf& x) {
    TSlicedHalf v = Add(LookUp(k, 0, x.Byte[0]), LookUp(k, 1, x.Byte[1]));
    XorInto(v, LookUp(k, 2, x.Byte[2]));
    return Add(v, LookUp(k, 3, x.Byte[3]));
}

// Within each register, byte 8 * i + j to byte 8 * j + i (its own inverse).
struct TByteOrder {
    alignas(64) uint8_t Index[64];
    constexpr TByteOrder() : Index() {
        for (int q = 0; q < 64; ++q)
            Index[q] = uint8_t((q % 8) * 8 + q / 8);
    }
};
constexpr TByteOrder kByteOrder;

QUILLORA_VBMI inline void SwapByteOrder(__m512i (&r)[8]) {
    const __m512i order = _mm512_load_si512(kByteOrder.Index);
    for (auto& v : r)
        v = _mm512_permutexvar_epi8(order, v);
}

// Word j of register i to word i of register j (its own inverse): three
// butterfly steps, step s swapping bit s of the register and word numbers.
// Low[s] picks the words of the register whose bit s is clear, High[s] those
// of its partner.
struct TWordOrder {
    alignas(64) uint64_t Low[3][8];
    alignas(64) uint64_t High[3][8];
    constexpr TWordOrder() : Low(), High() {
        for (int s = 0; s < 3; ++s)
            for (int j = 0, d = 1 << s; j < 8; ++j) {
                Low[s][j] = uint64_t((j & d) ? 8 + j - d : j);
                High[s][j] = uint64_t((j & d) ? 8 + j : j + d);
            }
    }
};
constexpr TWordOrder kWordOrder;

QUILLORA_VBMI inline void TransposeWords(__m512i (&r)[8]) {
    for (int s = 0; s < 3; ++s) {
        const int d = 1 << s;
        const __m512i low = _mm512_load_si512(kWordOrder.Low[s]), high = _mm512_load_si512(kWordOrder.High[s]);
        for (int i = 0; i < 8; ++i) {
            if (i & d)
                continue;
            const __m512i a = r[i], b = r[i + d];
            r[i] = _mm512_permutex2var_epi64(a, low, b);
            r[i + d] = _mm512_permutex2var_epi64(a, high, b);
        }
    }
}

// Eight registers of 8 blocks each become the eight byte positions of the 64
// blocks (grouping each register's bytes by position, one 64-bit word per
// position, then transposing the 8 x 8 words), and back.
QUILLORA_VBMI inline void SliceByByte(__m512i (&r)[8]) {
    SwapByteOrder(r);
    TransposeWords(r);
}
QUILLORA_VBMI inline void UnsliceByByte(__m512i (&r)[8]) {
    TransposeWords(r);
    SwapByteOrder(r);
}

QUILLORA_VBMI void Decipher64(const TKey& k, uint8_t* blocks) {
    __m512i r[8];
    for (int i = 0; i < 8; ++i)
        r[i] = _mm512_loadu_si512(blocks + 64 * i);
    SliceByByte(r);
    TSlicedHalf L{{r[0], r[1], r[2], r[3]}}, R{{r[4], r[5], r[6], r[7]}};
    for (int i = 17; i > 1; i -= 2) {
        XorInto(L, k.P[i]);
        XorInto(R, F64(k, L));
        XorInto(R, k.P[i - 1]);
        XorInto(L, F64(k, R));
    }
    XorInto(R, k.P[0]);
    XorInto(L, k.P[1]);
    for (int p = 0; p < 4; ++p) {
        r[p] = R.Byte[p];
        r[4 + p] = L.Byte[p];
    }
    UnsliceByByte(r);
    for (int i = 0; i < 8; ++i)
        _mm512_storeu_si512(blocks + 64 * i, r[i]);
}

// Below this many blocks a padded sliced pass costs more than the portable way.
constexpr size_t kSlicedMinimum = 8;

QUILLORA_VBMI void DecipherSliced(const TKey& k, uint8_t* blocks, size_t count) {
    for (; count >= kSlicedBlocks; count -= kSlicedBlocks, blocks += kSlicedBlocks * kBlockSize)
        Decipher64(k, blocks);
    if (count < kSlicedMinimum) {
        DecipherPortable(k, blocks, count);
        return;
    }
    alignas(64) uint8_t padded[kSlicedBlocks * kBlockSize] = {};
    std::memcpy(padded, blocks, count * kBlockSize);
    Decipher64(k, padded);
    std::memcpy(blocks, padded, count * kBlockSize);
    explicit_bzero(padded, sizeof padded);
}

#pragma GCC diagnostic pop
#endif  // QUILLORA_HAS_VBMI_PATH

}  // namespace

void BuildPlanes(TKey& key) {
    for (int box = 0; box < 4; ++box)
        for (int b = 0; b < 4; ++b)
            for (int i = 0; i < 256; ++i)
                key.Planes[box][b][i] = uint8_t(key.S[box][i] >> (24 - 8 * b));
}

bool PathAvailable(TDecipherPath path) {
    switch (path) {
        case TDecipherPath::Avx512Vbmi:
#ifdef QUILLORA_HAS_VBMI_PATH
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                   __builtin_cpu_supports("avx512vbmi");
#else
            return false;
#endif
        case TDecipherPath::Portable:
            break;
    }
    return true;
}

TDecipherPath FastestPath() {
    static const TDecipherPath fastest = [] {
        return PathAvailable(TDecipherPath::Avx512Vbmi) ? TDecipherPath::Avx512Vbmi : TDecipherPath::Portable;
    }();
    return fastest;
}

void DecipherBlocks(TDecipherPath path, const TKey& key, uint8_t* blocks, size_t count) {
    switch (path) {
        case TDecipherPath::Avx512Vbmi:
#ifdef QUILLORA_HAS_VBMI_PATH
            DecipherSliced(key, blocks, count);
            return;
#endif
            [[fallthrough]];
        case TDecipherPath::Portable:
            DecipherPortable(key, blocks, count);
            return;
    }
}

void DecipherBlocks(const TKey& key, uint8_t* blocks, size_t count) {
    DecipherBlocks(FastestPath(), key, blocks, count);
}

}  // namespace tomedb::blowfish
