// Per-database managers that select an algorithm by its registered name and
// forward the encode/decode work to it.
//
// How a database file layer uses them:
//   * At open: when CompressBlob is 1, Compress.SetAlgoName(CompressAlgoName);
//     when Encrypt is 1, Encrypt.SetAlgoName(EncryptAlgoName) and
//     Encrypt.SetMode(EncryptMode). An unknown name throws EDatabaseError
//     "Compression/Encryption algorithm module '%s' not found".
//   * CheckPassword: compare PasswordCheckString(password) (PasswordCheck.h)
//     with the stored check text; on equality Encrypt.InitKey(password).
//   * Blob value write: Compress.EncodeStream(plain, packed), then
//     Encrypt.EncodeStream(packed, stored) (each only when enabled).
//     Read: Encrypt.DecodeStream, then Compress.DecodeStream.
//   * Fixed-width field slot: Encrypt.EncodeBuffer(src, dst, size) /
//     DecodeBuffer (in place allowed). Every unit starts from the IV again
//     (the manager calls Done after each operation), so units decode alone.
//   * Comments: a separate TEncryptMgr without owner: SetAlgoName, SetMode(0),
//     InitKey(password), EncodeBuffer/DecodeBuffer of the 257 bytes in place.
//   * Progress: set OnEncodeProgress/OnDecodeProgress on the manager (e.g. to
//     the database's OnCompressProgress/OnUncompressProgress handlers); they
//     stay connected across SetAlgoName.
//
// Any processing, SetMode or InitKey without a selected algorithm throws
// EDatabaseError("General error"). Damaged compressed input throws EZlibError
// (an EDatabaseError). Not thread-safe: the file layer serialises calls.
#pragma once

#include <memory>
#include <string>

#include "tomedb/dataproc/DataProcessAlgo.h"

namespace tomedb {

class TDataProcessMgr {
public:
    explicit TDataProcessMgr(TTomeDBFileIO* owner = nullptr) : Owner(owner) {}
    virtual ~TDataProcessMgr() = default;
    TDataProcessMgr(const TDataProcessMgr&) = delete;
    TDataProcessMgr& operator=(const TDataProcessMgr&) = delete;

    virtual int AlgoIndex(const std::string& /*Name*/) { return -1; }
    virtual void SetAlgoName(const std::string& Name) = 0;
    virtual void EncodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1);
    virtual void DecodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1);

    // Convenience forms returning the result.
    std::string EncodeStream(const std::string& Source) {
        std::string d;
        EncodeStream(Source, d);
        return d;
    }
    std::string DecodeStream(const std::string& Source) {
        std::string d;
        DecodeStream(Source, d);
        return d;
    }

    bool HasAlgo() const { return Algo() != nullptr; }
    virtual TDataProcessAlgo* Algo() const = 0;

    TTomeDBFileIO* Owner;
    TProgressEvent OnEncodeProgress;
    TProgressEvent OnDecodeProgress;

protected:
    TDataProcessAlgo& RequireAlgo() const;
    void ConnectProgress(TDataProcessAlgo& algo);
};

class TCompressMgr : public TDataProcessMgr {
public:
    using TDataProcessMgr::DecodeStream;
    using TDataProcessMgr::EncodeStream;
    using TDataProcessMgr::TDataProcessMgr;
    ~TCompressMgr() override;

    int AlgoIndex(const std::string& Name) override;
    void SetAlgoName(const std::string& Name) override;
    TCompressAlgo* Algo() const override { return FAlgo.get(); }
    // The algorithm's DecodeInPieces.
    void DecodeInPieces(const std::string& Source, const TPieceSink& Sink);

private:
    std::unique_ptr<TCompressAlgo> FAlgo;
};

class TEncryptMgr : public TDataProcessMgr {
public:
    using TDataProcessMgr::TDataProcessMgr;
    ~TEncryptMgr() override;

    int AlgoIndex(const std::string& Name) override;
    void SetAlgoName(const std::string& Name) override;
    TEncryptAlgo* Algo() const override { return FAlgo.get(); }

    // Both end with Done, so the next unit starts from the IV.
    void EncodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) override;
    void DecodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) override;
    using TDataProcessMgr::DecodeStream;
    using TDataProcessMgr::EncodeStream;

    // Size bytes from Source to Dest (may be the same memory), then Done.
    virtual void EncodeBuffer(const void* Source, void* Dest, size_t Size);
    virtual void DecodeBuffer(const void* Source, void* Dest, size_t Size);
    // std::string forms: the whole string, result returned.
    std::string EncodeBuffer(const std::string& Source);
    std::string DecodeBuffer(const std::string& Source);

    // Mode 0..4 (cipher modes); another value throws EDatabaseError.
    void SetMode(int Mode);
    int GetMode() const;
    // Password: bytes in the database code page (GB18030).
    void InitKey(const std::string& Password);
    void Done();

private:
    TEncryptAlgo& RequireEncryptAlgo() const;
    std::unique_ptr<TEncryptAlgo> FAlgo;
};

}  // namespace tomedb
