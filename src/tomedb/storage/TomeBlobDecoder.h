// TTomeBlobDecoder: turns the stored form of a blob value (as
// TTomeTable::StoredBlobValue gives it) into the value, apart from the
// database's own decoding state, so that values read under the database's
// lock can be decoded outside it, on other threads.
//
// Made by TTomeTable::NewBlobDecoder for one field; it holds its own copies of
// the field's cipher (mode and key) and decompressor and nothing of the
// database, so it stays usable after the lock is released or the database
// closes. One decoder serves one thread at a time; several decoders of one
// field may run at once. Damage raises what reading the value through the
// table raises: EZlibError, or EDatabaseError "Database file '%s' is damaged"
// for a stored length deflate cannot reach.
#pragma once

#include <memory>
#include <string>

namespace tomedb {

class TCompressAlgo;
class TEncryptAlgo;

class TTomeBlobDecoder {
public:
    // Either step may be null (the field is not compressed or not encrypted).
    TTomeBlobDecoder(std::unique_ptr<TCompressAlgo> compress, std::unique_ptr<TEncryptAlgo> encrypt,
                     std::string damagedMessage);
    ~TTomeBlobDecoder();
    TTomeBlobDecoder(const TTomeBlobDecoder&) = delete;
    TTomeBlobDecoder& operator=(const TTomeBlobDecoder&) = delete;

    // The value of `stored` into `out` (its memory reused); empty for empty.
    void Decode(const std::string& stored, std::string& out);

private:
    std::unique_ptr<TCompressAlgo> FCompress;
    std::unique_ptr<TEncryptAlgo> FEncrypt;
    std::string FDamagedMessage;
    std::string FPlain;  // decrypted bytes, reused
};

// Whether a compressed value's length prefix claims more than deflate can
// make of the bytes that follow it: damage, not data.
bool ClaimsUnreachableLength(const std::string& packed);

}  // namespace tomedb
