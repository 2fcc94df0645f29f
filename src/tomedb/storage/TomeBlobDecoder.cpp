#include "tomedb/storage/TomeBlobDecoder.h"

#include "tomedb/TomeError.h"
#include "tomedb/dataproc/DataProcessAlgo.h"

#include <cstdint>

namespace tomedb {

bool ClaimsUnreachableLength(const std::string& packed) {
    if (packed.size() < 4)
        return false;
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= uint32_t(static_cast<uint8_t>(packed[size_t(i)])) << (8 * i);
    const auto claimed = static_cast<int32_t>(u);
    return claimed > 0 && static_cast<int64_t>(claimed) > (static_cast<int64_t>(packed.size()) + 64) * 1100;
}

TTomeBlobDecoder::TTomeBlobDecoder(std::unique_ptr<TCompressAlgo> compress, std::unique_ptr<TEncryptAlgo> encrypt,
                                   std::string damagedMessage)
    : FCompress(std::move(compress)), FEncrypt(std::move(encrypt)), FDamagedMessage(std::move(damagedMessage)) {}

TTomeBlobDecoder::~TTomeBlobDecoder() = default;

void TTomeBlobDecoder::Decode(const std::string& stored, std::string& out) {
    out.clear();
    if (stored.empty())
        return;
    const std::string* packed = &stored;
    if (FEncrypt) {
        // Every stored value starts from the IV, as the database's own step does.
        try {
            FEncrypt->DecodeStream(stored, FPlain);
        } catch (...) {
            FEncrypt->Done();
            throw;
        }
        FEncrypt->Done();
        packed = &FPlain;
    }
    if (!FCompress) {
        out = *packed;
        return;
    }
    if (ClaimsUnreachableLength(*packed))
        throw EDatabaseError(FDamagedMessage);
    FCompress->DecodeStream(*packed, out);
}

}  // namespace tomedb
