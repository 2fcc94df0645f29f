#include "tomedb/dataproc/CompAlgoZlib.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace tomedb {

namespace {

constexpr size_t kPrefixSize = 4;
// Input handed to zlib per call; progress is reported after each.
constexpr size_t kBlockSize = 256 * 1024;
// deflate cannot expand data by more than about 1032:1, so a length prefix
// beyond this ratio of the compressed bytes is damage, not data.
constexpr uint64_t kMaxInflateRatio = 1040;
// Output allocated up front when decompressing, before inflate has shown
// that the data really expands that far.
constexpr size_t kPlausibleOutput = 4 << 20;
// Values up to this length are inflated whole: their buffer is allocated in
// full before decoding, as the growing zlib path would do for them anyway,
// and the zlib path would report its progress once for them too.
constexpr size_t kWholeValueLimit = kBlockSize * 4;

void PutInt32LE(char* p, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>(u >> (8 * i));
}

int32_t GetInt32LE(const char* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= uint32_t(static_cast<uint8_t>(p[i])) << (8 * i);
    return static_cast<int32_t>(u);
}

int Percent(size_t done, size_t total) {
    return total == 0 ? 0 : static_cast<int>(std::lround(100.0 * double(done) / double(total)));
}

[[noreturn]] void ZlibFail(int code) { throw EZlibError(zError(code == Z_NEED_DICT ? Z_DATA_ERROR : code)); }

struct InflateStream {
    z_stream s{};
    InflateStream() {
        if (int rc = inflateInit(&s); rc != Z_OK)
            ZlibFail(rc);
    }
    ~InflateStream() { inflateEnd(&s); }
};

// Deflates in into out after a kPrefixSize gap with the fresh (or reset)
// stream z, handing zlib kBlockSize bytes at a time and reporting progress
// after each; returns the stream size.
template <class Report>
size_t Deflate(z_stream& z, std::string_view in, std::string& out, Report&& report) {
    out.resize(kPrefixSize + deflateBound(&z, static_cast<uLong>(in.size())));
    z.next_out = reinterpret_cast<Bytef*>(out.data() + kPrefixSize);
    z.avail_out = static_cast<uInt>(out.size() - kPrefixSize);
    size_t consumed = 0;
    for (int rc = Z_OK; rc != Z_STREAM_END;) {
        const size_t n = std::min(kBlockSize, in.size() - consumed);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + consumed));
        z.avail_in = static_cast<uInt>(n);
        const bool last = consumed + n == in.size();
        rc = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END)
            ZlibFail(rc);
        consumed += n - z.avail_in;
        report(Percent(consumed, in.size()));
        if (last && rc != Z_STREAM_END && z.avail_out == 0)
            ZlibFail(Z_BUF_ERROR);
    }
    return z.total_out;
}

}  // namespace

struct TCompAlgo_Zlib::TDeflater {
    z_stream s{};
    int level = 0;
    ~TDeflater() { deflateEnd(&s); }
};

struct TCompAlgo_Zlib::TInflater {
    z_stream s{};
    ~TInflater() { inflateEnd(&s); }
};

struct TCompAlgo_Zlib::TWholeInflater {
    libdeflate_decompressor* d = nullptr;
    ~TWholeInflater() { libdeflate_free_decompressor(d); }
};

TCompAlgo_Zlib::TCompAlgo_Zlib(TTomeDBFileIO* owner) : TCompressAlgo(owner) {}

TCompAlgo_Zlib::~TCompAlgo_Zlib() = default;

z_stream& TCompAlgo_Zlib::Inflater() {
    if (FInflater) {
        if (int rc = inflateReset(&FInflater->s); rc != Z_OK)
            ZlibFail(rc);
        return FInflater->s;
    }
    auto made = std::make_unique<TInflater>();
    if (int rc = inflateInit(&made->s); rc != Z_OK)
        ZlibFail(rc);  // nothing to end yet
    FInflater = std::move(made);
    return FInflater->s;
}

// Setting a deflate stream up allocates and clears about a quarter of a
// megabyte, which cost a manuscript's value more than compressing it (the
// allocator gave the memory back to the system after each value and took it
// again, page faults and all).
z_stream& TCompAlgo_Zlib::Deflater(int level) {
    if (FDeflater && FDeflater->level == level) {
        if (int rc = deflateReset(&FDeflater->s); rc != Z_OK)
            ZlibFail(rc);
        return FDeflater->s;
    }
    FDeflater.reset();
    auto made = std::make_unique<TDeflater>();
    if (int rc = deflateInit(&made->s, level); rc != Z_OK)
        ZlibFail(rc);  // nothing to end yet
    made->level = level;
    FDeflater = std::move(made);
    return FDeflater->s;
}

libdeflate_decompressor& TCompAlgo_Zlib::WholeInflater() {
    if (!FWholeInflater) {
        auto made = std::make_unique<TWholeInflater>();
        made->d = libdeflate_alloc_decompressor();
        if (!made->d)
            ZlibFail(Z_MEM_ERROR);
        FWholeInflater = std::move(made);
    }
    return *FWholeInflater->d;
}

std::unique_ptr<TCompressAlgo> TCompAlgo_Zlib::NewDecoder() const {
    auto decoder = std::make_unique<TCompAlgo_Zlib>();
    decoder->SetLevel(FLevel);
    return decoder;
}

// EncodeStream ends the body with the zlib stream's end, whose last four
// bytes are the Adler-32 of the value (big-endian). A body with bytes after
// its stream (the decoders ignore them; EncodeStream writes none) may be
// ruled out although it decodes to Value.
bool TCompAlgo_Zlib::RulesOut(std::string_view Packed, std::string_view Value) const {
    if (Packed.size() < kPrefixSize)
        return false;  // damaged: decoding tells
    const int32_t declared = GetInt32LE(Packed.data());
    const std::string_view body = Packed.substr(kPrefixSize);
    if (declared < 0)
        return body != Value;
    if (static_cast<size_t>(declared) != Value.size())
        return true;
    constexpr size_t kHeaderAndTrailer = 6;
    if (declared == 0 || body.size() < kHeaderAndTrailer)
        return false;
    uint32_t trailer = 0;
    for (size_t i = body.size() - 4; i < body.size(); ++i)
        trailer = (trailer << 8) | static_cast<uint8_t>(body[i]);
    uLong sum = adler32(0L, Z_NULL, 0);
    for (size_t at = 0; at < Value.size();) {  // adler32 takes a uInt length
        const size_t n = std::min<size_t>(Value.size() - at, UINT_MAX);
        sum = adler32(sum, reinterpret_cast<const Bytef*>(Value.data() + at), static_cast<uInt>(n));
        at += n;
    }
    return trailer != static_cast<uint32_t>(sum);
}

int TCompAlgo_Zlib::ZlibLevel(uint8_t Level) {
    switch (Level) {
        case 0:
            return 9;
        case 1:
            return Z_DEFAULT_COMPRESSION;
        case 2:
        case 3:
            return 1;
        default:
            return 0;
    }
}

void TCompAlgo_Zlib::EncodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    const std::string_view in = StreamInput(Source, Size);
    FSourceSize = in.size();
    if (in.empty()) {
        Dest.clear();
        return;
    }
    if (in.size() > static_cast<size_t>(INT32_MAX))
        throw EDatabaseError("Value too large to compress");

    // Build straight into Dest (reusing its capacity) unless it is the source.
    std::string scratch;
    std::string& out = (&Dest == &Source) ? scratch : Dest;
    ReportEncode(0);
    const size_t packed = Deflate(Deflater(ZlibLevel(FLevel)), in, out, [this](int p) { ReportEncode(p); });
    if (packed >= in.size()) {
        // Deflate did not shrink the value: store it raw, marked by -L.
        out.resize(kPrefixSize + in.size());
        std::memcpy(out.data() + kPrefixSize, in.data(), in.size());
        PutInt32LE(out.data(), -static_cast<int32_t>(in.size()));
    } else {
        out.resize(kPrefixSize + packed);
        PutInt32LE(out.data(), static_cast<int32_t>(in.size()));
    }
    ReportEncode(0);
    if (&out != &Dest)
        Dest = std::move(out);
}

namespace {

// A stored value split into its length prefix and body; raw is true for a
// value kept unchanged (-L). Raises EZlibError for a prefix that cannot be right.
struct TPacked {
    std::string_view body;
    size_t want = 0;
    bool raw = false;
};

TPacked SplitPacked(std::string_view in) {
    if (in.size() < kPrefixSize)
        throw EZlibError(zError(Z_DATA_ERROR));
    const int32_t h = GetInt32LE(in.data());
    TPacked packed{in.substr(kPrefixSize), 0, h < 0};
    if (packed.raw)
        return packed;
    if (packed.body.size() > static_cast<size_t>(INT32_MAX))
        throw EZlibError(zError(Z_DATA_ERROR));
    packed.want = static_cast<size_t>(h);
    if (packed.want > 0 && (packed.body.empty() || packed.want > packed.body.size() * kMaxInflateRatio))
        throw EZlibError(zError(Z_DATA_ERROR));
    return packed;
}

// The declared length has been produced: the stream must end right there, and
// its end carries the Adler-32 of the whole value, which inflate checks on
// reaching it. A changed bit that still decodes to the right length shows
// here, as does a stream that would go on past the declared length. A value
// declared empty is taken as empty whatever follows, as it always was.
void FinishStream(z_stream& s, int lastRc, size_t declared) {
    if (lastRc == Z_STREAM_END || declared == 0)
        return;
    for (;;) {
        Bytef extra = 0;
        s.next_out = &extra;
        s.avail_out = 1;
        const int rc = inflate(&s, Z_NO_FLUSH);
        if (s.avail_out == 0)
            ZlibFail(Z_DATA_ERROR);
        if (rc == Z_STREAM_END)
            return;
        if (rc != Z_OK)
            ZlibFail(rc == Z_BUF_ERROR ? Z_DATA_ERROR : rc);
    }
}

}  // namespace

void TCompAlgo_Zlib::DecodeInPieces(const std::string& Source, const TPieceSink& Sink) {
    FSourceSize = Source.size();
    if (Source.empty())
        return;
    const TPacked packed = SplitPacked(Source);
    constexpr size_t kPiece = kBlockSize * 4;
    if (packed.raw) {
        for (size_t at = 0; at < packed.body.size(); at += kPiece)
            Sink(packed.body.data() + at, std::min(kPiece, packed.body.size() - at));
        return;
    }
    InflateStream z;
    std::string piece(std::min(kPiece, packed.want), '\0');
    z.s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.body.data()));
    z.s.avail_in = static_cast<uInt>(packed.body.size());
    size_t produced = 0;
    int rc = Z_OK;
    while (produced < packed.want) {
        z.s.next_out = reinterpret_cast<Bytef*>(piece.data());
        z.s.avail_out = static_cast<uInt>(std::min(piece.size(), packed.want - produced));
        const uInt before = z.s.avail_out;
        rc = inflate(&z.s, Z_NO_FLUSH);
        const size_t got = before - z.s.avail_out;
        produced += got;
        if (rc == Z_STREAM_END && produced < packed.want)
            ZlibFail(Z_DATA_ERROR);
        if (rc != Z_OK && rc != Z_STREAM_END)
            ZlibFail(rc == Z_BUF_ERROR ? Z_DATA_ERROR : rc);
        if (got > 0)
            Sink(piece.data(), got);
    }
    FinishStream(z.s, rc, packed.want);
}

void TCompAlgo_Zlib::DecodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    const std::string_view in = StreamInput(Source, Size);
    FSourceSize = in.size();
    if (in.empty()) {
        Dest.clear();
        return;
    }
    const TPacked packed = SplitPacked(in);
    const std::string_view body = packed.body;
    if (packed.raw) {
        Dest.assign(body);
        return;
    }
    const size_t want = packed.want;
    if (want > 0 && want <= kWholeValueLimit) {
        std::string scratch;
        std::string& out = (&Dest == &Source) ? scratch : Dest;
        InflateWhole(body, want, out);
        if (&out != &Dest)
            Dest = std::move(out);
        return;
    }
    z_stream& z = Inflater();
    // A damaged prefix must not allocate what it claims: start with what the
    // body can plausibly expand to and grow only as inflate produces bytes.
    std::string scratch;
    std::string& out = (&Dest == &Source) ? scratch : Dest;
    out.resize(std::min<size_t>(want, std::max<size_t>(body.size() * 8, kPlausibleOutput)));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    z.avail_in = static_cast<uInt>(body.size());
    ReportDecode(0);
    size_t produced = 0;
    int rc = Z_OK;
    while (produced < want) {
        if (produced == out.size())
            out.resize(std::min(want, out.size() * 2));
        z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        z.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - produced, kBlockSize * 4));
        const uInt before = z.avail_out;
        rc = inflate(&z, Z_NO_FLUSH);
        produced += before - z.avail_out;
        if (rc == Z_STREAM_END && produced < want)
            ZlibFail(Z_DATA_ERROR);
        if (rc != Z_OK && rc != Z_STREAM_END)
            ZlibFail(rc == Z_BUF_ERROR ? Z_DATA_ERROR : rc);
        ReportDecode(Percent(body.size() - z.avail_in, body.size()));
    }
    FinishStream(z, rc, want);
    out.resize(produced);
    ReportDecode(0);
    if (&out != &Dest)
        Dest = std::move(out);
}

// The zlib path's rules hold: the stream must give exactly `want` bytes (a
// shorter one or one going on past them is damage) and its Adler-32 must
// match; bytes after the stream's end are ignored.
void TCompAlgo_Zlib::InflateWhole(std::string_view body, size_t want, std::string& out) {
    libdeflate_decompressor& d = WholeInflater();
    out.resize(want);
    ReportDecode(0);
    size_t used = 0;
    if (libdeflate_zlib_decompress_ex(&d, body.data(), body.size(), out.data(), want, &used, nullptr) !=
        LIBDEFLATE_SUCCESS)
        ZlibFail(Z_DATA_ERROR);
    ReportDecode(Percent(used, body.size()));
    ReportDecode(0);
}

}  // namespace tomedb
