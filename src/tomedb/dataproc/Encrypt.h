// TEncrypt: base of the block ciphers (TEnc_Blowfish, TEnc_Twofish,
// TEnc_Gost). Holds the IV and feedback registers, the key schedule, the
// chaining mode (0..4) and the initialized/keyed flags, and implements the
// five modes over the cipher's EncodeBlock/DecodeBlock.
//
// A cipher is unusable until Init or InitKey; EncodeBuffer/DecodeBuffer before
// that throw EEncryptException "<class> is not initialized call Init() or
// InitKey() before.". Output always has the input's length. Not thread-safe:
// the chaining state lives in the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tomedb/dataproc/Sha.h"

namespace tomedb {

class TEncrypt {
public:
    enum TFlag { FlagInitialized = 0, FlagKeyed = 1 };
    static constexpr int ModeCount = 5;

    virtual ~TEncrypt();
    TEncrypt(const TEncrypt&) = delete;
    TEncrypt& operator=(const TEncrypt&) = delete;

    virtual const char* ClassName() const = 0;
    virtual void SetFlag(int Bit, bool On);
    virtual void GetContext(size_t& BlockSize, size_t& MaxKeySize, size_t& ScheduleSize) const = 0;
    // Checks the cipher against a published vector (not used by the engine).
    virtual bool TestVector() = 0;
    // One block in place.
    virtual void EncodeBlock(uint8_t* Block) = 0;
    virtual void DecodeBlock(uint8_t* Block) = 0;
    // Count consecutive blocks in place, as DecodeBlock on each; a cipher
    // overrides it to spare a call per block.
    virtual void DecodeBlocks(uint8_t* Blocks, size_t Count);

    // Builds the key schedule from Key (cut to the maximum key size); the IV
    // is IV when given, else the encryption of an all-0xFF block.
    virtual void Init(const void* Key, size_t KeySize, const void* IV = nullptr);
    // Key from SHA-0 of Password (see Init); leaves the feedback at the IV.
    void InitKey(const std::string& Password);
    virtual void Done();     // feedback := IV
    virtual void Protect();  // forget key, IV and feedback

    void SetMode(int Mode);  // 0..4; another value throws EDatabaseError
    // Takes mode, key schedule, IV and feedback from `other`, a cipher of the
    // same class (else EDatabaseError): a second cipher that decodes as
    // `other` does, for another thread.
    void CopyKeyFrom(const TEncrypt& other);
    int GetMode() const { return FMode; }
    bool Initialized() const { return (FFlags & (1u << FlagInitialized)) != 0; }
    bool Keyed() const { return (FFlags & (1u << FlagKeyed)) != 0; }
    size_t BlockSize() const { return FBlockSize; }
    const uint8_t* IV() const { return FIV.data(); }
    const uint8_t* Feedback() const { return FFeedback.data(); }

    // Size bytes from Source to Dest (may be the same memory), chaining from
    // the current feedback register.
    void EncodeBuffer(const void* Source, void* Dest, size_t Size);
    void DecodeBuffer(const void* Source, void* Dest, size_t Size);

protected:
    TEncrypt(size_t BlockSize, size_t MaxKeySize, size_t ScheduleSize);
    // Builds the schedule from Key (1..MaxKeySize bytes).
    virtual void SetupKey(const uint8_t* Key, size_t KeySize) = 0;
    // Key schedule storage, ScheduleSize bytes, zeroed by Protect.
    uint32_t* Schedule() { return FSchedule.data(); }

private:
    void CheckInitialized() const;
    void EncodeMode0(const uint8_t* src, uint8_t* dst, size_t size);
    void DecodeMode0(const uint8_t* src, uint8_t* dst, size_t size);
    void EncodeMode1(const uint8_t* src, uint8_t* dst, size_t size);
    void DecodeMode1(const uint8_t* src, uint8_t* dst, size_t size);
    void Mode2(const uint8_t* src, uint8_t* dst, size_t size, bool encode);
    void Mode3(const uint8_t* src, uint8_t* dst, size_t size);
    void Mode4(const uint8_t* src, uint8_t* dst, size_t size, bool encode);
    void PartialBlock(const uint8_t* src, uint8_t* dst, size_t r, bool updateFeedback);

    size_t FBlockSize, FMaxKeySize;
    int FMode = 0;
    unsigned FFlags = 0;
    std::vector<uint8_t> FIV, FFeedback, FBuffer;
    std::vector<uint32_t> FSchedule;
    std::unique_ptr<THash_SHA> FHash;
};

}  // namespace tomedb
