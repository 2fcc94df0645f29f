// Feeds arbitrary bytes to the decode paths of stored values: zlib
// decompression, decryption under each cipher and mode, and the blob pipeline
// (decrypt, then decompress). Decoding may fail only with EDatabaseError;
// whatever decodes must encode back to the same bytes.
//
// Input: byte 0 chooses the path, byte 1 the cipher mode, the rest is the
// stored value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "tomedb/dataproc/DataProc.h"

using namespace tomedb;

namespace {

TEncryptMgr& Cipher(int index) {
    static std::unique_ptr<TEncryptMgr> managers[3];
    static const char* names[3] = {"Blowfish", "Twofish", "Gost"};
    if (!managers[index]) {
        managers[index] = std::make_unique<TEncryptMgr>();
        managers[index]->SetAlgoName(names[index]);
        managers[index]->InitKey("fuzz password");
    }
    return *managers[index];
}

void Require(bool ok) {
    if (!ok)
        std::abort();
}

void Decompress(const std::string& stored) {
    TCompressMgr zlib;
    zlib.SetAlgoName("ZLIB");
    std::string plain;
    try {
        zlib.DecodeStream(stored, plain);
    } catch (const EDatabaseError&) {
        return;
    }
    std::string again, back;
    zlib.EncodeStream(plain, again);
    zlib.DecodeStream(again, back);
    Require(back == plain);
}

// Decryption is a bijection in every mode, so encrypting the result must
// give the input back.
void Decrypt(const std::string& stored, int cipher, int mode) {
    TEncryptMgr& mgr = Cipher(cipher);
    mgr.SetMode(mode);
    std::string plain = mgr.DecodeBuffer(stored);
    Require(plain.size() == stored.size());
    Require(mgr.EncodeBuffer(plain) == stored);
    std::string streamed;
    mgr.DecodeStream(stored, streamed);
    Require(streamed == plain);
}

void BlobPipeline(const std::string& stored, int cipher, int mode) {
    TEncryptMgr& mgr = Cipher(cipher);
    mgr.SetMode(mode);
    std::string packed;
    mgr.DecodeStream(stored, packed);
    Decompress(packed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const int path = data[0] % 8, mode = data[1] % TEncrypt::ModeCount;
    const std::string stored(reinterpret_cast<const char*>(data + 2), size - 2);
    switch (path) {
        case 0:
        case 1:
            Decompress(stored);
            break;
        case 2:
        case 3:
        case 4:
            Decrypt(stored, path - 2, mode);
            break;
        default:
            BlobPipeline(stored, path - 5, mode);
            break;
    }
    Require(THash_CRC32::Calc(stored) == THash_CRC32::Calc(stored));
    Require(PasswordCheckString(stored).size() <= 28);
    return 0;
}
