// TEnc_Gost: GOST 28147-89 (64-bit block, 32 rounds, 256-bit key; shorter
// keys are extended with zero bytes). S-box set id-tc26-gost-28147-param-Z
// (the set of GOST R 34.12-2015), key words and block halves big-endian with
// the more significant half first, as in that standard.
#pragma once

#include "tomedb/dataproc/Encrypt.h"

namespace tomedb {

class TEnc_Gost final : public TEncrypt {
public:
    static constexpr size_t kBlockSize = 8, kMaxKeySize = 32;
    // 8 key words plus four combined 256-entry substitution tables.
    static constexpr size_t kScheduleSize = (8 + 4 * 256) * 4;
    TEnc_Gost() : TEncrypt(kBlockSize, kMaxKeySize, kScheduleSize) {}

    const char* ClassName() const override { return "TEnc_Gost"; }
    void GetContext(size_t& BlockSize, size_t& MaxKeySize, size_t& ScheduleSize) const override;
    bool TestVector() override;
    void EncodeBlock(uint8_t* Block) override;
    void DecodeBlock(uint8_t* Block) override;

protected:
    void SetupKey(const uint8_t* Key, size_t KeySize) override;
};

}  // namespace tomedb
