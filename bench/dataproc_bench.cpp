// Throughput of the engine's data-processing step against peers measured in
// the same run: Blowfish/Twofish in cipher mode 0 against OpenSSL's Blowfish
// (CBC, legacy BF_* API; enciphering, and deciphering for Blowfish), and the zlib step against calling zlib directly on
// the same bytes. Prints the ratios after the benchmark table.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <string>

#include "tomedb/dataproc/DataProc.h"

using namespace tomedb;

namespace {

constexpr int64_t kUnit1M = 1 << 20, kUnit4K = 4096;

std::string Payload(size_t n) {
    std::string s(n, '\0');
    uint32_t x = 7;
    for (auto& ch : s) {
        x = x * 1664525 + 1013904223;
        ch = char(x >> 24);
    }
    return s;
}

// Text like a manuscript: Chinese and ASCII lines with repetition.
std::string Manuscript(size_t n) {
    static const char* lines[] = {"第一章　春雨初至，山色空蒙。\n", "她推开窗，看见远处的灯火。\n",
                                  "Chapter notes: revise the dialogue in scene 3.\n", "　　“你还记得那年的雪吗？”\n"};
    std::string s;
    for (size_t i = 0; s.size() < n; ++i)
        s += lines[(i * 7 + i / 3) % 4];
    s.resize(n);
    return s;
}

void EngineCipher(benchmark::State& state, const char* algo, bool decode = false) {
    TEncryptMgr mgr;
    mgr.SetAlgoName(algo);
    mgr.SetMode(0);
    mgr.InitKey("benchmark password");
    std::string buf = Payload(size_t(state.range(0)));
    for (auto _ : state) {
        if (decode)
            mgr.DecodeBuffer(buf.data(), buf.data(), buf.size());
        else
            mgr.EncodeBuffer(buf.data(), buf.data(), buf.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Engine_Blowfish_Mode0(benchmark::State& state) { EngineCipher(state, "Blowfish"); }
// Deciphering, unlike enciphering, works on many blocks at once (the wide paths).
void BM_Engine_Blowfish_Mode0_Decode(benchmark::State& state) { EngineCipher(state, "Blowfish", true); }
void BM_Engine_Twofish_Mode0(benchmark::State& state) { EngineCipher(state, "Twofish"); }

void OpenSSLBlowfish(benchmark::State& state, int direction) {
    BF_KEY key;
    const unsigned char raw[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    BF_set_key(&key, sizeof(raw), raw);
    std::string buf = Payload(size_t(state.range(0)));
    for (auto _ : state) {
        unsigned char iv[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        auto* p = reinterpret_cast<unsigned char*>(buf.data());
        BF_cbc_encrypt(p, p, long(buf.size()), &key, iv, direction);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_OpenSSL_Blowfish_CBC(benchmark::State& state) { OpenSSLBlowfish(state, BF_ENCRYPT); }
void BM_OpenSSL_Blowfish_CBC_Decrypt(benchmark::State& state) { OpenSSLBlowfish(state, BF_DECRYPT); }

void BM_Engine_Compress(benchmark::State& state) {
    TCompressMgr mgr;
    mgr.SetAlgoName("ZLIB");
    const std::string text = Manuscript(size_t(state.range(0)));
    std::string out;
    for (auto _ : state) {
        mgr.EncodeStream(text, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Zlib_Compress(benchmark::State& state) {
    const std::string text = Manuscript(size_t(state.range(0)));
    std::string out;
    for (auto _ : state) {
        out.resize(compressBound(text.size()));
        uLongf len = out.size();
        compress2(reinterpret_cast<Bytef*>(out.data()), &len, reinterpret_cast<const Bytef*>(text.data()), text.size(),
                  Z_DEFAULT_COMPRESSION);
        out.resize(len);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Engine_Decompress(benchmark::State& state) {
    TCompressMgr mgr;
    mgr.SetAlgoName("ZLIB");
    const std::string text = Manuscript(size_t(state.range(0)));
    const std::string packed = mgr.EncodeStream(text);
    std::string out;
    for (auto _ : state) {
        mgr.DecodeStream(packed, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Zlib_Decompress(benchmark::State& state) {
    const std::string text = Manuscript(size_t(state.range(0)));
    std::string packed(compressBound(text.size()), '\0');
    uLongf plen = packed.size();
    compress2(reinterpret_cast<Bytef*>(packed.data()), &plen, reinterpret_cast<const Bytef*>(text.data()), text.size(),
              Z_DEFAULT_COMPRESSION);
    packed.resize(plen);
    std::string out;
    for (auto _ : state) {
        out.resize(text.size());
        uLongf len = out.size();
        uncompress(reinterpret_cast<Bytef*>(out.data()), &len, reinterpret_cast<const Bytef*>(packed.data()),
                   packed.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

}  // namespace

// Five repetitions each; the ratios use the medians, which keeps them steady on
// a shared, busy machine.
#define DATAPROC_BENCH(fn, a, b) BENCHMARK(fn)->Arg(a)->Arg(b)->Repetitions(5)->ReportAggregatesOnly(true)
DATAPROC_BENCH(BM_Engine_Blowfish_Mode0, kUnit1M, kUnit4K);
DATAPROC_BENCH(BM_OpenSSL_Blowfish_CBC, kUnit1M, kUnit4K);
DATAPROC_BENCH(BM_Engine_Blowfish_Mode0_Decode, kUnit1M, kUnit4K);
DATAPROC_BENCH(BM_OpenSSL_Blowfish_CBC_Decrypt, kUnit1M, kUnit4K);
DATAPROC_BENCH(BM_Engine_Twofish_Mode0, kUnit1M, kUnit4K);
DATAPROC_BENCH(BM_Engine_Compress, kUnit1M, 10 * 1024);
DATAPROC_BENCH(BM_Zlib_Compress, kUnit1M, 10 * 1024);
DATAPROC_BENCH(BM_Engine_Decompress, kUnit1M, 10 * 1024);
DATAPROC_BENCH(BM_Zlib_Decompress, kUnit1M, 10 * 1024);

namespace {

// Console output plus a record of each benchmark's median CPU time per
// iteration (CPU time, because the machine is shared and wall time includes
// waiting).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                times[Key(r)] = r.GetAdjustedCPUTime();
            else if (r.run_type == Run::RT_Iteration && !times.count(Key(r)))
                times[Key(r)] = r.GetAdjustedCPUTime();
    }
    std::map<std::string, double> times;

private:
    // "BM_Name/arg", without the repetition suffix.
    static std::string Key(const Run& r) { return r.run_name.function_name + "/" + r.run_name.args; }
};

void PrintRatio(const RatioReporter& rep, const std::string& ours, const std::string& peer, double target) {
    auto a = rep.times.find(ours), b = rep.times.find(peer);
    if (a == rep.times.end() || b == rep.times.end())
        return;
    const double ratio = a->second / b->second;
    if (target <= 0) {  // no target: shown for comparison only
        std::printf("%-40s / %-36s = %5.2fx  (for comparison)\n", ours.c_str(), peer.c_str(), ratio);
        return;
    }
    std::printf("%-40s / %-36s = %5.2fx  (target <= %.2fx) %s\n", ours.c_str(), peer.c_str(), ratio, target,
                ratio <= target ? "ok" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios (CPU time per unit, engine / peer):\n");
    for (const char* size : {"1048576", "4096"}) {
        PrintRatio(reporter, std::string("BM_Engine_Blowfish_Mode0/") + size,
                   std::string("BM_OpenSSL_Blowfish_CBC/") + size, 1.5);
        PrintRatio(reporter, std::string("BM_Engine_Blowfish_Mode0_Decode/") + size,
                   std::string("BM_OpenSSL_Blowfish_CBC_Decrypt/") + size, 1.5);
        PrintRatio(reporter, std::string("BM_Engine_Twofish_Mode0/") + size,
                   std::string("BM_OpenSSL_Blowfish_CBC/") + size, 0);
    }
    for (const char* size : {"1048576", "10240"}) {
        PrintRatio(reporter, std::string("BM_Engine_Compress/") + size, std::string("BM_Zlib_Compress/") + size, 1.1);
        PrintRatio(reporter, std::string("BM_Engine_Decompress/") + size, std::string("BM_Zlib_Decompress/") + size,
                   1.1);
    }
    benchmark::Shutdown();
    return 0;
}
