// Pinyin of 10 MB of Chinese text (GB18030), full pinyin and initials, against
// a plain copy of the same buffer measured in the same run. The counter
// "x_copy" is the conversion time divided by the copy time (thread CPU time).
#include "tools/pinyin/PinyinSpell.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTextBytes = 10 * 1024 * 1024;

// Characters of the GB2312 ideograph rows with some ASCII, punctuation and
// line breaks, in the proportions of ordinary prose.
const std::string& ChineseText() {
    static const std::string text = [] {
        std::string out;
        out.reserve(kTextBytes + 4);
        std::uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        while (out.size() < kTextBytes) {
            const std::uint32_t r = next();
            if (r % 40 == 0) {
                out += "\xA3\xAC";  // full-width comma
            } else if (r % 97 == 0) {
                out += "\r\n";
            } else if (r % 31 == 0) {
                out += "AB1 ";
            } else {
                out += static_cast<char>(0xB0 + (r >> 4) % 40);   // B0..D7
                out += static_cast<char>(0xA1 + (r >> 12) % 94);  // A1..FE
            }
        }
        return out;
    }();
    return text;
}

// CPU time of this thread, so that other load on a shared machine does not
// skew the ratio.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double SecondsOfOneCopy(const std::string& text) {
    std::vector<double> runs;
    for (int i = 0; i < 9; ++i) {
        const double start = ThreadSeconds();
        std::string copy(text);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        runs.push_back(ThreadSeconds() - start);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

template <class Convert>
void RunAgainstCopy(benchmark::State& state, Convert convert) {
    const std::string& text = ChineseText();
    const double copySeconds = SecondsOfOneCopy(text);
    const double start = ThreadSeconds();
    for (auto _ : state) {
        std::string result = convert(text);
        benchmark::DoNotOptimize(result.data());
    }
    const double seconds = ThreadSeconds() - start;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["x_copy"] = seconds / static_cast<double>(state.iterations()) / copySeconds;
}

void BM_ByteCopy(benchmark::State& state) {
    RunAgainstCopy(state, [](const std::string& text) { return std::string(text); });
}

void BM_FullPinyin(benchmark::State& state) {
    RunAgainstCopy(state, [](const std::string& text) { return TPinyinSpell::GetHzSpell(text); });
}

void BM_Initials(benchmark::State& state) {
    RunAgainstCopy(state, [](const std::string& text) { return TPinyinSpell::GetPyHead(text); });
}

BENCHMARK(BM_ByteCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullPinyin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Initials)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
