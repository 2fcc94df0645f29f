// Base classes of the pluggable data-processing algorithms (compression and
// encryption of stored values).
//
// Byte buffers are std::string throughout. A "stream" operation reads Size
// bytes from the start of Source (a negative Size means all of Source) and
// replaces Dest with the result; Dest may be the same object as Source.
// Progress is reported through the two std::function members, which may be
// empty. Algorithms are owned by a manager (DataProcessMgr.h); the owner
// pointer is informational only and never dereferenced here.
//
// Failures: EDatabaseError (zlib errors as EZlibError) and EEncryptException
// for a cipher used before it has a key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tomedb/TomeError.h"

namespace tomedb {

class TTomeDBFileIO;  // the database file layer that owns the managers

// Progress notification: percentage 0..100 of the current operation.
using TProgressEvent = std::function<void(int percent)>;
// Receives a decoded value piece by piece, in order.
using TPieceSink = std::function<void(const char* data, size_t size)>;

// Raised when zlib rejects compressed data (the message is zlib's own text,
// e.g. "data error").
class EZlibError : public EDatabaseError {
public:
    explicit EZlibError(const std::string& message) : EDatabaseError(message) {}
};

class TDataProcessAlgo {
public:
    explicit TDataProcessAlgo(TTomeDBFileIO* owner = nullptr) : Owner(owner) {}
    virtual ~TDataProcessAlgo() = default;
    TDataProcessAlgo(const TDataProcessAlgo&) = delete;
    TDataProcessAlgo& operator=(const TDataProcessAlgo&) = delete;

    virtual void EncodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) = 0;
    virtual void DecodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) = 0;

    TTomeDBFileIO* Owner;
    TProgressEvent OnEncodeProgress;
    TProgressEvent OnDecodeProgress;

protected:
    void ReportEncode(int percent) const {
        if (OnEncodeProgress)
            OnEncodeProgress(percent);
    }
    void ReportDecode(int percent) const {
        if (OnDecodeProgress)
            OnDecodeProgress(percent);
    }
    // The part of Source a stream operation works on: Size bytes from the start
    // (clamped to Source), or all of it when Size is negative.
    static std::string_view StreamInput(const std::string& Source, int64_t Size);
};

class TCompressAlgo : public TDataProcessAlgo {
public:
    using TDataProcessAlgo::TDataProcessAlgo;
    // Decodes Source and hands the result to Sink in pieces, failing as
    // DecodeStream does. An algorithm that can bound its memory by the piece
    // size overrides this; the default decodes whole and hands one piece.
    virtual void DecodeInPieces(const std::string& Source, const TPieceSink& Sink);
    virtual void SetLevel(uint8_t /*Level*/) {}
    virtual uint8_t GetLevel() const { return 1; }
    // A new algorithm object that decodes as this one does, sharing no state
    // with it (for decoding on another thread); null when the class has none.
    virtual std::unique_ptr<TCompressAlgo> NewDecoder() const { return nullptr; }
    // True when Packed (a result of EncodeStream) cannot decode to Value, told
    // from its framing without decoding it; false when only decoding can tell
    // (the default: always).
    virtual bool RulesOut(std::string_view /*Packed*/, std::string_view /*Value*/) const { return false; }
};

// Encryption algorithm: the stream form is built on the buffer operations and
// processes the input in 4096-byte chunks, chaining across chunks.
class TEncryptAlgo : public TDataProcessAlgo {
public:
    static constexpr size_t StreamChunkSize = 4096;
    using TDataProcessAlgo::TDataProcessAlgo;

    void EncodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) override;
    void DecodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) override;

    virtual void SetMode(int /*Mode*/) {}
    virtual int GetMode() const { return 0; }
    // Password: the password's bytes in the database code page (GB18030).
    virtual void InitKey(const std::string& Password) = 0;
    virtual void Done() {}
    // Size bytes from Source to Dest; Source and Dest may be the same memory.
    virtual void EncodeBuffer(const void* Source, void* Dest, size_t Size) = 0;
    virtual void DecodeBuffer(const void* Source, void* Dest, size_t Size) = 0;
    // A new algorithm object with this one's mode and key, sharing no state
    // with it (for decoding on another thread); null when the class has none.
    virtual std::unique_ptr<TEncryptAlgo> KeyedCopy() const { return nullptr; }

private:
    void ProcessStream(const std::string& Source, std::string& Dest, int64_t Size, bool encode);
};

}  // namespace tomedb
