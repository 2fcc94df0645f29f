// Find in files against `grep -rlF` over the same folder, measured in the
// same run: 2,000 text files of about 25 KB (50 MB), half GB18030 and half
// UTF-8, in 20 sub-folders. Each iteration runs our scan (collect the *.txt
// files, test each one as the worker does, on one thread) and grep, one after
// the other, on the warm page cache. grep gets the search text in both
// encodings, as our scan finds both. Counters: "ms_ours" and "ms_grep" are the
// best wall times over the iterations, "x_grep" their ratio, "x_grep_cpu" the
// ratio of the best user + system times (steadier on a busy machine), and
// "found"/"found_grep" the files each listed.
#include "platform/TextCodec.h"
#include "tools/searcher/FileCollector.h"
#include "tools/searcher/TextMatcher.h"

#include "GrepPeer.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>

namespace {

using grepbench::Seconds;
using grepbench::ThreadCpuSeconds;

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr int kFileBytes = 25 * 1024;

const QString kWord = QStringLiteral("雪线");
const QString kAsciiWord = QStringLiteral("Needle");

struct TCorpus {
    QTemporaryDir dir;
    QString Root() const { return dir.path() + QLatin1Char('/'); }
};

// Prose-like GB2312 text; every tenth file holds the Chinese word, every
// tenth (another set) the ASCII word in changing letter case.
QString FileText(int index, std::uint32_t& seed) {
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    QByteArray gb;
    gb.reserve(kFileBytes + 8);
    while (gb.size() < kFileBytes) {
        const std::uint32_t r = next();
        if (r % 97 == 0) {
            gb += "\r\n";
        } else if (r % 41 == 0) {
            gb += "\xA3\xAC";
        } else {
            gb += static_cast<char>(0xB0 + (r >> 4) % 40);
            gb += static_cast<char>(0xA1 + (r >> 12) % 94);
        }
    }
    QString text = FromGB(gb);
    const qsizetype at = static_cast<qsizetype>(next() % static_cast<std::uint32_t>(text.size()));
    if (index % 10 == 3)
        text.insert(at, kWord);
    if (index % 10 == 7)
        text.insert(at, index % 20 == 7 ? kAsciiWord.toUpper() : kAsciiWord.toLower());
    return text;
}

const TCorpus& Corpus() {
    static const std::unique_ptr<TCorpus> corpus = [] {
        auto made = std::make_unique<TCorpus>();
        std::uint32_t seed = 2026;
        int index = 0;
        for (int f = 0; f < kFolders; ++f) {
            const QString folder = made->Root() + QStringLiteral("part%1/").arg(f);
            QDir().mkpath(folder);
            for (int i = 0; i < kFilesPerFolder; ++i, ++index) {
                const QString text = FileText(index, seed);
                QFile file(folder + QStringLiteral("text%1.txt").arg(i));
                if (file.open(QIODevice::WriteOnly))
                    file.write(index % 2 == 0 ? ToGB(text) : text.toUtf8());
            }
        }
        return made;
    }();
    return *corpus;
}

QSet<QString> ScanOurs(const QString& root, const QString& word, bool caseInsensitive) {
    const TTextMatcher matcher(word, caseInsensitive);
    QSet<QString> found;
    for (const QString& path : CollectFiles(root, QStringLiteral("*.txt"), true))
        if (matcher.FileMatches(path))
            found.insert(path);
    return found;
}

// grep -rlF (-i) -e <UTF-8> -e <GB18030> root, its output read through a pipe;
// *cpu receives grep's user and system time.
QSet<QString> ScanGrep(const QString& root, const QString& word, bool caseInsensitive, double* cpu = nullptr) {
    const QByteArray utf8 = word.toUtf8();
    const QByteArray gb = ToGB(word);
    const QByteArray folder = QFile::encodeName(root);
    std::vector<const char*> argv = {"grep", "-rlF"};
    if (caseInsensitive)
        argv.push_back("-i");
    for (const QByteArray* pattern : {&utf8, &gb}) {
        argv.push_back("-e");
        argv.push_back(pattern->constData());
    }
    argv.push_back(folder.constData());
    argv.push_back(nullptr);
    const QByteArray output = grepbench::RunGrep(argv.data(), cpu);
    QSet<QString> found;
    for (const QByteArray& line : output.split('\n'))
        if (!line.isEmpty())
            found.insert(QFile::decodeName(line));
    return found;
}

void RunAgainstGrep(benchmark::State& state, const QString& word, bool caseInsensitive) {
    const QString root = Corpus().Root();
    QSet<QString> ours, theirs;
    ScanGrep(root, word, caseInsensitive);  // warm the page cache
    double bestOurs = 1e9, bestGrep = 1e9, cpuOurs = 1e9, cpuGrep = 1e9;
    for (auto _ : state) {
        const double cpuStart = ThreadCpuSeconds();
        bestOurs = std::min(bestOurs, Seconds([&] { ours = ScanOurs(root, word, caseInsensitive); }));
        cpuOurs = std::min(cpuOurs, ThreadCpuSeconds() - cpuStart);
        double cpu = 0;
        bestGrep = std::min(bestGrep, Seconds([&] { theirs = ScanGrep(root, word, caseInsensitive, &cpu); }));
        cpuGrep = std::min(cpuGrep, cpu);
    }
    state.counters["ms_ours"] = bestOurs * 1e3;
    state.counters["ms_grep"] = bestGrep * 1e3;
    state.counters["x_grep"] = bestOurs / bestGrep;
    state.counters["x_grep_cpu"] = cpuOurs / cpuGrep;
    state.counters["found"] = static_cast<double>(ours.size());
    state.counters["found_grep"] = static_cast<double>(theirs.size());
    state.counters["found_both"] = static_cast<double>((ours & theirs).size());
}

void BM_WordInATenthOfTheFiles(benchmark::State& state) { RunAgainstGrep(state, kWord, false); }
void BM_WordInNoFile(benchmark::State& state) { RunAgainstGrep(state, QStringLiteral("※★"), false); }
void BM_AsciiWordIgnoringCase(benchmark::State& state) { RunAgainstGrep(state, kAsciiWord, true); }

BENCHMARK(BM_WordInATenthOfTheFiles)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_WordInNoFile)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_AsciiWordIgnoringCase)->Unit(benchmark::kMillisecond)->Iterations(15);

}  // namespace

BENCHMARK_MAIN();
