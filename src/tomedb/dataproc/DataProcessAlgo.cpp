#include "tomedb/dataproc/DataProcessAlgo.h"

#include <cmath>

namespace tomedb {

void TCompressAlgo::DecodeInPieces(const std::string& Source, const TPieceSink& Sink) {
    std::string plain;
    DecodeStream(Source, plain);
    if (!plain.empty())
        Sink(plain.data(), plain.size());
}

std::string_view TDataProcessAlgo::StreamInput(const std::string& Source, int64_t Size) {
    if (Size < 0 || static_cast<uint64_t>(Size) > Source.size())
        return Source;
    return std::string_view(Source).substr(0, static_cast<size_t>(Size));
}

void TEncryptAlgo::EncodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    ProcessStream(Source, Dest, Size, true);
}

void TEncryptAlgo::DecodeStream(const std::string& Source, std::string& Dest, int64_t Size) {
    ProcessStream(Source, Dest, Size, false);
}

// Works chunk by chunk from Source into Dest (whose memory is reused); the
// cipher's feedback register carries the chaining across chunks, and 4096 is
// a multiple of every block size, so the result equals processing the whole
// unit at once. Source is copied first only when it is Dest itself.
void TEncryptAlgo::ProcessStream(const std::string& Source, std::string& Dest, int64_t Size, bool encode) {
    std::string copy;
    std::string_view in = StreamInput(Source, Size);
    if (&Source == &Dest) {
        copy.assign(in);
        in = copy;
    }
    Dest.resize(in.size());
    auto report = [&](int percent) { encode ? ReportEncode(percent) : ReportDecode(percent); };
    const size_t total = in.size();
    report(0);
    for (size_t done = 0; done < total;) {
        const size_t n = std::min(StreamChunkSize, total - done);
        if (encode)
            EncodeBuffer(in.data() + done, Dest.data() + done, n);
        else
            DecodeBuffer(in.data() + done, Dest.data() + done, n);
        done += n;
        report(static_cast<int>(std::lround(100.0 * double(done) / double(total))));
    }
    report(0);
}

}  // namespace tomedb
