// Encryption algorithms as registered by name: TEncAlgo_Base owns one cipher
// object and forwards mode, key and buffer operations to it; the three
// concrete classes only choose the cipher class.
#pragma once

#include <memory>

#include "tomedb/dataproc/Blowfish.h"
#include "tomedb/dataproc/DataProcessAlgo.h"
#include "tomedb/dataproc/Encrypt.h"
#include "tomedb/dataproc/Gost.h"
#include "tomedb/dataproc/Twofish.h"

namespace tomedb {

class TEncAlgo_Base : public TEncryptAlgo {
public:
    void SetMode(int Mode) override { FCipher->SetMode(Mode); }
    int GetMode() const override { return FCipher->GetMode(); }
    void InitKey(const std::string& Password) override { FCipher->InitKey(Password); }
    void Done() override { FCipher->Done(); }
    void EncodeBuffer(const void* Source, void* Dest, size_t Size) override {
        FCipher->EncodeBuffer(Source, Dest, Size);
    }
    void DecodeBuffer(const void* Source, void* Dest, size_t Size) override {
        FCipher->DecodeBuffer(Source, Dest, Size);
    }

    // A new cipher object of this algorithm's class.
    virtual std::unique_ptr<TEncrypt> CipherClass() const = 0;
    TEncrypt& Cipher() const { return *FCipher; }

protected:
    TEncAlgo_Base(TTomeDBFileIO* owner, std::unique_ptr<TEncrypt> cipher)
        : TEncryptAlgo(owner), FCipher(std::move(cipher)) {}

private:
    std::unique_ptr<TEncrypt> FCipher;
};

template <class CipherT>
class TEncAlgo_Of : public TEncAlgo_Base {
public:
    explicit TEncAlgo_Of(TTomeDBFileIO* owner = nullptr) : TEncAlgo_Base(owner, std::make_unique<CipherT>()) {}
    std::unique_ptr<TEncrypt> CipherClass() const override { return std::make_unique<CipherT>(); }
    std::unique_ptr<TEncryptAlgo> KeyedCopy() const override {
        auto copy = std::make_unique<TEncAlgo_Of<CipherT>>();
        copy->Cipher().CopyKeyFrom(Cipher());
        copy->Done();
        return copy;
    }
};

class TEncAlgo_Blowfish final : public TEncAlgo_Of<TEnc_Blowfish> {
public:
    using TEncAlgo_Of::TEncAlgo_Of;
};
class TEncAlgo_Twofish final : public TEncAlgo_Of<TEnc_Twofish> {
public:
    using TEncAlgo_Of::TEncAlgo_Of;
};
class TEncAlgo_Gost final : public TEncAlgo_Of<TEnc_Gost> {
public:
    using TEncAlgo_Of::TEncAlgo_Of;
};

}  // namespace tomedb
