// TEnc_Twofish: Twofish (128-bit block, 16 rounds). Keys are extended with
// zero bytes to the next of 16, 24 or 32 bytes (the engine's 20-byte digest
// key becomes a 192-bit key).
#pragma once

#include "tomedb/dataproc/Encrypt.h"

namespace tomedb {

class TEnc_Twofish final : public TEncrypt {
public:
    static constexpr size_t kBlockSize = 16, kMaxKeySize = 32;
    // 40 subkeys plus four key-dependent 256-entry S-box tables.
    static constexpr size_t kScheduleSize = (40 + 4 * 256) * 4;
    TEnc_Twofish() : TEncrypt(kBlockSize, kMaxKeySize, kScheduleSize) {}

    const char* ClassName() const override { return "TEnc_Twofish"; }
    void GetContext(size_t& BlockSize, size_t& MaxKeySize, size_t& ScheduleSize) const override;
    bool TestVector() override;
    void EncodeBlock(uint8_t* Block) override;
    void DecodeBlock(uint8_t* Block) override;

protected:
    void SetupKey(const uint8_t* Key, size_t KeySize) override;
};

}  // namespace tomedb
