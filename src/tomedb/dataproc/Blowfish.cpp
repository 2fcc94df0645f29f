// Blowfish (B. Schneier, 1993) from its published definition.
#include "tomedb/dataproc/Blowfish.h"

#include "tomedb/dataproc/BlowfishDecipher.h"

#include <cstring>

namespace tomedb {

namespace blowfish_tables {
extern const uint32_t kInitP[18];
extern const uint32_t kInitS[4][256];
}  // namespace blowfish_tables

namespace {

using BlowfishKey = blowfish::TKey;
using blowfish::Encipher;
using blowfish::LoadBE;
using blowfish::StoreBE;
static_assert(sizeof(BlowfishKey) == TEnc_Blowfish::kScheduleSize);

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
    blowfish::BuildPlanes(k);
}

void TEnc_Blowfish::EncodeBlock(uint8_t* Block) {
    uint32_t l = LoadBE(Block), r = LoadBE(Block + 4);
    Encipher(KeyOf(Schedule()), l, r);
    StoreBE(Block, l);
    StoreBE(Block + 4, r);
}

void TEnc_Blowfish::DecodeBlock(uint8_t* Block) { DecodeBlocks(Block, 1); }

void TEnc_Blowfish::DecodeBlocks(uint8_t* Blocks, size_t Count) {
    blowfish::DecipherBlocks(KeyOf(Schedule()), Blocks, Count);
}

void TEnc_Blowfish::DecodeBlocksVia(blowfish::TDecipherPath Path, uint8_t* Blocks, size_t Count) {
    blowfish::DecipherBlocks(Path, KeyOf(Schedule()), Blocks, Count);
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
