#include "tomedb/dataproc/Encrypt.h"

#include <string.h>
#include <algorithm>
#include <cstring>

#include "tomedb/TomeError.h"

namespace tomedb {

namespace {
// dst := a xor b over n bytes; dst may alias a or b. Whole 64-bit words first,
// as every block size is a multiple of 8.
inline void XorInto(uint8_t* dst, const uint8_t* a, const uint8_t* b, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        x ^= y;
        std::memcpy(dst + i, &x, 8);
    }
    for (; i < n; ++i)
        dst[i] = a[i] ^ b[i];
}
}  // namespace

TEncrypt::TEncrypt(size_t BlockSize, size_t MaxKeySize, size_t ScheduleSize)
    : FBlockSize(BlockSize), FMaxKeySize(MaxKeySize), FIV(BlockSize), FFeedback(BlockSize), FBuffer(BlockSize),
      FSchedule((ScheduleSize + 3) / 4) {
    Protect();
}

TEncrypt::~TEncrypt() { Protect(); }

void TEncrypt::SetFlag(int Bit, bool On) {
    if (On)
        FFlags |= 1u << Bit;
    else
        FFlags &= ~(1u << Bit);
}

void TEncrypt::Protect() {
    SetFlag(FlagInitialized, false);
    SetFlag(FlagKeyed, false);
    std::fill(FIV.begin(), FIV.end(), 0xFF);
    std::fill(FFeedback.begin(), FFeedback.end(), 0xFF);
    std::fill(FBuffer.begin(), FBuffer.end(), 0);
    std::fill(FSchedule.begin(), FSchedule.end(), 0);
}

void TEncrypt::Done() { FFeedback = FIV; }

void TEncrypt::CopyKeyFrom(const TEncrypt& other) {
    if (std::strcmp(ClassName(), other.ClassName()) != 0)
        throw EDatabaseError("Cipher key copied between different ciphers");
    FMode = other.FMode;
    FFlags = other.FFlags;
    FIV = other.FIV;
    FFeedback = other.FFeedback;
    FSchedule = other.FSchedule;
}

void TEncrypt::SetMode(int Mode) {
    if (Mode < 0 || Mode >= ModeCount)
        throw EDatabaseError(FormatMessage("Invalid cipher mode %d", Mode));
    FMode = Mode;
}

void TEncrypt::Init(const void* Key, size_t KeySize, const void* IV) {
    Protect();
    SetupKey(static_cast<const uint8_t*>(Key), std::min(KeySize, FMaxKeySize));
    if (IV)
        std::memcpy(FIV.data(), IV, FBlockSize);
    else
        EncodeBlock(FIV.data());  // the IV is E(all 0xFF)
    FFeedback = FIV;
    SetFlag(FlagInitialized, true);
}

void TEncrypt::InitKey(const std::string& Password) {
    if (!FHash)
        FHash = std::make_unique<THash_SHA>();
    FHash->Init();
    FHash->Update(Password.data(), Password.size());
    THash_SHA::TDigest digest = FHash->Final();
    Init(digest.data(), std::min(digest.size(), FMaxKeySize));
    EncodeBuffer(digest.data(), digest.data(), digest.size());  // only scrambles it
    std::fill(digest.begin(), digest.end(), 0);
    Done();
    SetFlag(FlagKeyed, true);
}

void TEncrypt::CheckInitialized() const {
    if (!Initialized())
        throw EEncryptException(FormatMessage("%s is not initialized call Init() or InitKey() before.", ClassName()));
}

void TEncrypt::EncodeBuffer(const void* Source, void* Dest, size_t Size) {
    CheckInitialized();
    auto src = static_cast<const uint8_t*>(Source);
    auto dst = static_cast<uint8_t*>(Dest);
    switch (FMode) {
        case 0:
            EncodeMode0(src, dst, Size);
            break;
        case 1:
            EncodeMode1(src, dst, Size);
            break;
        case 2:
            Mode2(src, dst, Size, true);
            break;
        case 3:
            Mode3(src, dst, Size);
            break;
        default:
            Mode4(src, dst, Size, true);
            break;
    }
    std::fill(FBuffer.begin(), FBuffer.end(), 0);
}

void TEncrypt::DecodeBuffer(const void* Source, void* Dest, size_t Size) {
    CheckInitialized();
    auto src = static_cast<const uint8_t*>(Source);
    auto dst = static_cast<uint8_t*>(Dest);
    switch (FMode) {
        case 0:
            DecodeMode0(src, dst, Size);
            break;
        case 1:
            DecodeMode1(src, dst, Size);
            break;
        case 2:
            Mode2(src, dst, Size, false);
            break;
        case 3:
            Mode3(src, dst, Size);
            break;
        default:
            Mode4(src, dst, Size, false);
            break;
    }
    std::fill(FBuffer.begin(), FBuffer.end(), 0);
}

// Final partial block of r bytes in modes 0 and 1: XOR with E(F); mode 0
// also folds E(F) into the feedback.
void TEncrypt::PartialBlock(const uint8_t* src, uint8_t* dst, size_t r, bool updateFeedback) {
    uint8_t* k = FBuffer.data();
    std::memcpy(k, FFeedback.data(), FBlockSize);
    EncodeBlock(k);
    XorInto(dst, src, k, r);
    if (updateFeedback)
        XorInto(FFeedback.data(), FFeedback.data(), k, FBlockSize);
}

void TEncrypt::EncodeMode0(const uint8_t* src, uint8_t* dst, size_t size) {
    const size_t b = FBlockSize;
    uint8_t* f = FFeedback.data();
    uint8_t* w = FBuffer.data();
    for (; size >= b; size -= b, src += b, dst += b) {
        XorInto(w, src, f, b);
        EncodeBlock(w);
        std::memcpy(dst, w, b);
        XorInto(f, f, w, b);
    }
    if (size > 0)
        PartialBlock(src, dst, size, true);
}

void TEncrypt::DecodeBlocks(uint8_t* Blocks, size_t Count) {
    for (size_t i = 0; i < Count; ++i)
        DecodeBlock(Blocks + i * FBlockSize);
}

namespace {

// Mode 0's chaining over whole deciphered blocks: P = D(C) xor F, then
// F ^= C, `Words` 64-bit words a block, the feedback kept in registers. Each
// C is read before its P is written (dst may be src).
template <size_t Words>
void ChainMode0(const uint8_t* src, const uint8_t* deciphered, uint8_t* dst, size_t size, uint8_t* feedback) {
    uint64_t f[Words];
    std::memcpy(f, feedback, sizeof f);
    for (size_t at = 0; at < size; at += sizeof f)
        for (size_t j = 0; j < Words; ++j) {
            uint64_t c, w;
            std::memcpy(&c, src + at + 8 * j, 8);
            std::memcpy(&w, deciphered + at + 8 * j, 8);
            w ^= f[j];
            f[j] ^= c;
            std::memcpy(dst + at + 8 * j, &w, 8);
        }
    std::memcpy(feedback, f, sizeof f);
}

void ChainMode0(const uint8_t* src, const uint8_t* deciphered, uint8_t* dst, size_t size, uint8_t* feedback,
                size_t blockSize) {
    switch (blockSize) {
        case 8:
            ChainMode0<1>(src, deciphered, dst, size, feedback);
            return;
        case 16:
            ChainMode0<2>(src, deciphered, dst, size, feedback);
            return;
        default:
            for (size_t at = 0; at < size; at += blockSize)
                ChainMode0<1>(src + at, deciphered + at, dst + at, blockSize, feedback);
            return;
    }
}

}  // namespace

// The blocks are deciphered a chunk at a time (they do not depend on each
// other), then chained.
void TEncrypt::DecodeMode0(const uint8_t* src, uint8_t* dst, size_t size) {
    const size_t b = FBlockSize;
    alignas(64) uint8_t chunk[4096];
    const bool any = size >= b;
    while (size >= b) {
        const size_t n = std::min(size / b * b, sizeof chunk / b * b);
        std::memcpy(chunk, src, n);
        DecodeBlocks(chunk, n / b);
        ChainMode0(src, chunk, dst, n, FFeedback.data(), b);
        src += n;
        dst += n;
        size -= n;
    }
    if (any)
        explicit_bzero(chunk, sizeof chunk);  // a store the compiler may not drop
    if (size > 0)
        PartialBlock(src, dst, size, true);
}

void TEncrypt::EncodeMode1(const uint8_t* src, uint8_t* dst, size_t size) {
    const size_t b = FBlockSize;
    uint8_t* f = FFeedback.data();
    for (; size >= b; size -= b, src += b, dst += b) {
        XorInto(f, src, f, b);
        EncodeBlock(f);
        std::memcpy(dst, f, b);
    }
    if (size > 0)
        PartialBlock(src, dst, size, false);
}

void TEncrypt::DecodeMode1(const uint8_t* src, uint8_t* dst, size_t size) {
    const size_t b = FBlockSize;
    uint8_t* f = FFeedback.data();
    uint8_t* w = FBuffer.data();
    for (; size >= b; size -= b, src += b, dst += b) {
        std::memcpy(w, src, b);
        DecodeBlock(w);
        for (size_t i = 0; i < b; ++i) {
            const uint8_t c = src[i];
            dst[i] = w[i] ^ f[i];
            f[i] = c;
        }
    }
    if (size > 0)
        PartialBlock(src, dst, size, false);
}

// 8-bit cipher feedback: the ciphertext byte enters the feedback register.
void TEncrypt::Mode2(const uint8_t* src, uint8_t* dst, size_t size, bool encode) {
    const size_t b = FBlockSize;
    uint8_t* f = FFeedback.data();
    uint8_t* k = FBuffer.data();
    for (size_t i = 0; i < size; ++i) {
        std::memcpy(k, f, b);
        EncodeBlock(k);
        const uint8_t in = src[i];
        const uint8_t out = in ^ k[0];
        dst[i] = out;
        std::memmove(f, f + 1, b - 1);
        f[b - 1] = encode ? out : in;
    }
}

// 8-bit output feedback: the key-stream byte enters the feedback register.
void TEncrypt::Mode3(const uint8_t* src, uint8_t* dst, size_t size) {
    const size_t b = FBlockSize;
    uint8_t* f = FFeedback.data();
    uint8_t* k = FBuffer.data();
    for (size_t i = 0; i < size; ++i) {
        std::memcpy(k, f, b);
        EncodeBlock(k);
        dst[i] = src[i] ^ k[0];
        std::memmove(f, f + 1, b - 1);
        f[b - 1] = k[0];
    }
}

// Electronic codebook; a final partial block is copied as it is.
void TEncrypt::Mode4(const uint8_t* src, uint8_t* dst, size_t size, bool encode) {
    const size_t b = FBlockSize;
    for (; size >= b; size -= b, src += b, dst += b) {
        if (dst != src)
            std::memmove(dst, src, b);
        encode ? EncodeBlock(dst) : DecodeBlock(dst);
    }
    if (size > 0 && dst != src)
        std::memmove(dst, src, size);
}

}  // namespace tomedb
