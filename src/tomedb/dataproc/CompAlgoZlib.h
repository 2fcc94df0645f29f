// TCompAlgo_Zlib: the blob compression step. Format of a non-empty result: a
// signed 32-bit little-endian length L, then the zlib stream of the value; or,
// when deflate does not shrink the value, -L followed by the value unchanged.
// An empty value is stored as nothing. Damaged input (bad stream, a length
// that does not fit the data) throws EZlibError; values of 2 GiB or more
// cannot be stored and throw EDatabaseError. Values of up to 1 MiB are
// inflated whole by libdeflate (the stored length is known, so the output is
// sized once; about 1.6 times as fast as zlib on manuscripts); larger ones,
// and DecodeInPieces, use zlib. Both reject the same damage with the same error.
#pragma once

#include "tomedb/dataproc/DataProcessAlgo.h"

#include <memory>

struct z_stream_s;               // zlib's stream state
struct libdeflate_decompressor;  // libdeflate's whole-buffer decoder

namespace tomedb {

class TCompAlgo_Zlib : public TCompressAlgo {
public:
    explicit TCompAlgo_Zlib(TTomeDBFileIO* owner = nullptr);
    ~TCompAlgo_Zlib() override;

    void EncodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) override;
    void DecodeStream(const std::string& Source, std::string& Dest, int64_t Size = -1) override;
    // Inflates into pieces of at most 1 MiB: memory stays bounded by the piece
    // whatever length the value claims.
    void DecodeInPieces(const std::string& Source, const TPieceSink& Sink) override;
    void SetLevel(uint8_t Level) override { FLevel = Level; }
    uint8_t GetLevel() const override { return FLevel; }
    std::unique_ptr<TCompressAlgo> NewDecoder() const override;
    // By the length prefix (which the decoders hold a value to), a raw body,
    // or the Adler-32 that ends the stream; no inflating.
    bool RulesOut(std::string_view Packed, std::string_view Value) const override;

    // Level byte -> zlib level: 0 -> 9, 1 -> default (-1), 2/3 -> 1, else 0.
    static int ZlibLevel(uint8_t Level);

private:
    // One inflate and one deflate state, reset for each value instead of set
    // up anew (the deflate one holds about 256 KiB while the algorithm lives).
    struct TInflater;
    ::z_stream_s& Inflater();
    std::unique_ptr<TInflater> FInflater;
    struct TDeflater;
    ::z_stream_s& Deflater(int level);
    std::unique_ptr<TDeflater> FDeflater;
    // Decodes a value of `want` bytes from `body` into `out` in one call.
    void InflateWhole(std::string_view body, size_t want, std::string& out);
    struct TWholeInflater;
    libdeflate_decompressor& WholeInflater();
    std::unique_ptr<TWholeInflater> FWholeInflater;
    uint8_t FLevel = 1;
    size_t FSourceSize = 0;
};

}  // namespace tomedb
