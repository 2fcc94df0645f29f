// TEnc_Blowfish: Blowfish (64-bit block, 16 rounds, keys of 1..56 bytes), each
// block two big-endian 32-bit halves, the left half first.
#pragma once

#include "tomedb/dataproc/BlowfishDecipher.h"
#include "tomedb/dataproc/Encrypt.h"

namespace tomedb {

class TEnc_Blowfish final : public TEncrypt {
public:
    static constexpr size_t kBlockSize = 8, kMaxKeySize = 56;
    static constexpr size_t kScheduleSize = sizeof(blowfish::TKey);  // P, S and S sliced by byte
    TEnc_Blowfish() : TEncrypt(kBlockSize, kMaxKeySize, kScheduleSize) {}

    const char* ClassName() const override { return "TEnc_Blowfish"; }
    void GetContext(size_t& BlockSize, size_t& MaxKeySize, size_t& ScheduleSize) const override;
    bool TestVector() override;
    void EncodeBlock(uint8_t* Block) override;
    void DecodeBlock(uint8_t* Block) override;
    // Deciphers through the fastest path the processor runs (see BlowfishDecipher.h).
    void DecodeBlocks(uint8_t* Blocks, size_t Count) override;
    // DecodeBlocks through a named path, which must be available: lets tests
    // hold every path to the same answers.
    void DecodeBlocksVia(blowfish::TDecipherPath Path, uint8_t* Blocks, size_t Count);

protected:
    void SetupKey(const uint8_t* Key, size_t KeySize) override;
};

}  // namespace tomedb
