// Find and replace across a library against peers measured in the same run.
//
// Search: 10,000 manuscripts of about 10 KB of GB18030 Chinese text each
// (about 100 MB), a tenth of them holding the word, in a compressed library
// and in a compressed and encrypted one. The peer is `grep -c -F` over the
// same texts written out as files (GB18030, as the export writes them), on the
// warm page cache. Counters: "ms_ours" / "ms_grep" best wall times, "x_grep"
// their ratio, "x_grep_cpu" the ratio of the best CPU times (steadier on a
// busy machine; ours is the whole process's, as the search decodes on
// several threads), "hits" / "hits_grep" the hits each counted (grep counts
// lines, so lines with two hits count once there).
//
// Replace: 1,000 hits in 500 manuscripts of a library, through TLibrarySearch
// (plan and apply, one batch), against saving the same 500 manuscripts one by
// one through TqlvDocData::SaveDoc as the editor does (which also puts the
// word back for the next iteration). Counters: "ms_ours", "ms_one_by_one", "x_one_by_one".
//
// QUILLORA_BENCH_SEARCH_DOCS scales the search corpus down (default 10000).
// The search benchmarks run as the application does (decoding on threads
// chosen by the cores) and with everything on one thread.
#include "library/LibrarySearch.h"
#include "platform/TextCodec.h"

#include "BenchSupport.h"
#include "GrepPeer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

namespace {

using grepbench::ProcessCpuSeconds;
using grepbench::Seconds;

const QString kWord = QStringLiteral("雪线");
const QString kPassword = QStringLiteral("bench");
constexpr int kDocChars = 5000;  // about 10 KB in GB18030

int SearchDocs() {
    const int wanted = qEnvironmentVariableIntValue("QUILLORA_BENCH_SEARCH_DOCS");
    return wanted > 0 ? wanted : 10000;
}

// Manuscript i; every tenth holds the word once.
QString DocText(int i) {
    QString text = benchsupport::ChineseText(i + 1, kDocChars);
    if (i % 10 == 3)
        text.insert(text.size() / 2, kWord);
    return text;
}

struct TSearchCorpus {
    QTemporaryDir dir;
    QString plain;
    QString encrypted;
    QString exported;
};

QString MakeLibrary(const QString& folder, const QString& name, bool encrypt, int docs) {
    TqlvDocData data;
    QString file;
    const QString password = encrypt ? kPassword : QString();
    if (!data.CreateDocData(folder + "/" + name, QString(), password, true, encrypt, false, 2, &file) ||
        !data.OpenDocData(file, [&] { return password; }))
        return {};
    data.RunWriteBatch([&] {
        for (int i = 0; i < docs; ++i) {
            TDocAttr attr;
            attr.DocName = QStringLiteral("第%1章").arg(i + 1);
            attr.Txt = DocText(i);
            data.AddDoc(0, attr);
        }
    });
    data.CloseDocData();
    return file;
}

const TSearchCorpus& SearchCorpus() {
    static const std::unique_ptr<TSearchCorpus> corpus = [] {
        auto made = std::make_unique<TSearchCorpus>();
        const int docs = SearchDocs();
        made->plain = MakeLibrary(made->dir.path(), "plain", false, docs);
        made->encrypted = MakeLibrary(made->dir.path(), "encrypted", true, docs);
        made->exported = made->dir.path() + "/exported";
        QDir().mkpath(made->exported);
        for (int i = 0; i < docs; ++i) {
            QFile file(made->exported + QStringLiteral("/%1.txt").arg(i + 1));
            if (file.open(QIODevice::WriteOnly))
                file.write(EncodeTextFile(DocText(i)));
        }
        return made;
    }();
    return *corpus;
}

// grep -c -r -F <GB18030 word> folder; returns the sum of its counts and
// *cpu grep's user and system time.
long GrepCount(const QString& folder, const QString& word, double* cpu) {
    const QByteArray gb = ToGB(word);
    const QByteArray path = QFile::encodeName(folder);
    const char* argv[] = {"grep", "-c", "-r", "-F", "-e", gb.constData(), path.constData(), nullptr};
    const QByteArray output = grepbench::RunGrep(argv, cpu);
    long total = 0;
    for (const QByteArray& line : output.split('\n'))
        if (const qsizetype colon = line.lastIndexOf(':'); colon >= 0)
            total += line.mid(colon + 1).toLong();
    return total;
}

void SearchAgainstGrep(benchmark::State& state, bool encrypted) {
    const TSearchCorpus& corpus = SearchCorpus();
    TqlvDocData data;
    const QString password = encrypted ? kPassword : QString();
    if (!data.OpenDocData(encrypted ? corpus.encrypted : corpus.plain, [&] { return password; })) {
        state.SkipWithError("library not opened");
        return;
    }
    TManuscriptSaves saves(data);
    TLibrarySearch search(data, saves);
    search.SetDecodeThreads(int(state.range(0)));
    TSearchQuery query;
    query.Pattern = kWord;
    query.CaseSensitive = true;
    double cpu = 0;
    GrepCount(corpus.exported, kWord, &cpu);  // warm the page cache
    search.Find(query);
    double bestOurs = 1e9, bestGrep = 1e9, cpuOurs = 1e9, cpuGrep = 1e9;
    int hits = 0;
    long hitsGrep = 0;
    for (auto _ : state) {
        // Find decodes on threads of its own: the CPU time of the whole process counts.
        const double cpuStart = ProcessCpuSeconds();
        bestOurs = std::min(bestOurs, Seconds([&] { hits = search.Find(query).HitCount; }));
        cpuOurs = std::min(cpuOurs, ProcessCpuSeconds() - cpuStart);
        bestGrep = std::min(bestGrep, Seconds([&] { hitsGrep = GrepCount(corpus.exported, kWord, &cpu); }));
        cpuGrep = std::min(cpuGrep, cpu);
    }
    state.counters["docs"] = SearchDocs();
    state.counters["ms_ours"] = bestOurs * 1e3;
    state.counters["ms_grep"] = bestGrep * 1e3;
    state.counters["x_grep"] = bestOurs / bestGrep;
    state.counters["x_grep_cpu"] = cpuOurs / cpuGrep;
    state.counters["hits"] = hits;
    state.counters["hits_grep"] = double(hitsGrep);
}

void BM_FindWordInTheLibrary(benchmark::State& state) { SearchAgainstGrep(state, false); }
void BM_FindWordInTheEncryptedLibrary(benchmark::State& state) { SearchAgainstGrep(state, true); }

// ---- replace ---------------------------------------------------------------------

constexpr int kReplaceDocs = 500;
const QString kNameA = QStringLiteral("林黛玉");
const QString kNameB = QStringLiteral("林妹妹");

// Two hits of `name` per manuscript, in different lines.
QString ReplaceDocText(int i, const QString& name) {
    QString text = benchsupport::ChineseText(i + 7, kDocChars);
    text.insert(text.size() * 2 / 3, name);
    text.insert(text.size() / 3, name);
    return text;
}

// What the editor hands SaveDoc for a text.
TDocAttr SavedAttr(const QString& text) {
    TDocAttr attr;
    attr.DocSize = QString::number(GBLength(text));
    attr.cnCount = QString::number(text.size());
    attr.enCount = QStringLiteral("0");
    attr.Txt = text;
    return attr;
}

void BM_ReplaceAgainstSavingOneByOne(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = benchsupport::NewLibrary(dir.path(), "replace");
    TqlvDocData data;
    if (file.isEmpty() || !data.OpenDocData(file)) {
        state.SkipWithError("library not made");
        return;
    }
    std::vector<TDocAttr> originals;
    QList<int> ids;
    data.RunWriteBatch([&] {
        for (int i = 0; i < kReplaceDocs; ++i) {
            TDocAttr attr;
            attr.DocName = QStringLiteral("第%1章").arg(i + 1);
            attr.Txt = ReplaceDocText(i, kNameA);
            ids << data.AddDoc(0, attr);
            originals.push_back(SavedAttr(attr.Txt));
        }
    });
    TManuscriptSaves saves(data);
    TLibrarySearch search(data, saves);
    TSearchQuery query;
    query.Pattern = kNameA;
    double bestOurs = 1e9, bestOneByOne = 1e9;
    int hits = 0;
    for (auto _ : state) {
        bestOurs = std::min(bestOurs,
                            Seconds([&] { hits = search.ApplyReplace(search.PlanReplace(query, kNameB)).HitCount; }));
        // The peer saves the 500 original texts back, one save each.
        bestOneByOne = std::min(bestOneByOne, Seconds([&] {
                                    for (int i = 0; i < kReplaceDocs; ++i)
                                        data.SaveDoc(ids[i], originals[size_t(i)]);
                                }));
    }
    state.counters["hits"] = hits;
    state.counters["ms_ours"] = bestOurs * 1e3;
    state.counters["ms_one_by_one"] = bestOneByOne * 1e3;
    state.counters["x_one_by_one"] = bestOurs / bestOneByOne;
}

// The argument is TLibrarySearch::SetDecodeThreads: -1 as the application
// runs, 0 all on the calling thread.
BENCHMARK(BM_FindWordInTheLibrary)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(-1)->Arg(0);
BENCHMARK(BM_FindWordInTheEncryptedLibrary)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(-1)->Arg(0);
BENCHMARK(BM_ReplaceAgainstSavingOneByOne)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace

BENCHMARK_MAIN();
