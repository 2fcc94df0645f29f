// TLibrarySearch: finding across the library's manuscripts (replace and undo
// are in LibraryReplace.cpp).
#include "library/LibrarySearch.h"

#include "library/LibrarySearchText.h"
#include "library/OrderedWorkPool.h"

#include <algorithm>
#include <iterator>
#include <thread>
#include <utility>

using namespace librarysearch;

namespace {

// One manuscript read for matching.
struct TDocJob {
    int ID = 0;
    int FolderID = 0;
    QString Name;
    int Index = 0;
    int Count = 0;
    std::string Text;  // as stored when decoders are used, else the GB18030 text
};

struct TDocHits {
    int Index = 0;
    int Count = 0;
    std::vector<TSearchHit> Hits;
};

// Manuscripts go to the matching threads in batches of about this many
// stored bytes: handing over each on its own costs the threads more in
// waking and waiting than a short text takes to match.
constexpr size_t kBatchBytes = 128 * 1024;

// Consecutive manuscripts matched by one thread, and their hits in order.
using TDocBatch = std::vector<TDocJob>;
using TBatchHits = std::vector<TDocHits>;

// The cores beyond the calling thread's, up to four; none on one core.
int DefaultDecodeThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? int(std::min(cores, 4u)) : 0;
}

// What each matching thread needs of its own: a matcher, a decoder of stored
// texts and a buffer for the decoded text. Without decoders (none asked for,
// or the library cannot make them) there is one set, used on the calling
// thread, and texts come decoded.
class TDocMatchers {
public:
    TDocMatchers(TqlvDocData& data, const TSearchQuery& query, int threads)
        : m_decoders(threads > 0 ? data.DocTextDecoders(threads)
                                 : std::vector<std::unique_ptr<tomedb::TTomeBlobDecoder>>()) {
        for (size_t i = 0; i < std::max<size_t>(m_decoders.size(), 1); ++i) {
            m_matchers.push_back(std::make_unique<TLineMatcher>(query.Pattern, query.Regex, query.CaseSensitive));
            m_buffers.emplace_back();
        }
    }
    int Threads() const { return int(m_decoders.size()); }
    bool StoredForms() const { return !m_decoders.empty(); }

    TDocHits Match(const TDocJob& job, int thread, const TSearchControl& control) {
        TDocHits found{job.Index, job.Count, {}};
        if (control.Cancelled())
            return found;
        const std::string* text = &job.Text;
        if (StoredForms()) {
            m_decoders[size_t(thread)]->Decode(job.Text, m_buffers[size_t(thread)]);
            text = &m_buffers[size_t(thread)];
        }
        FindInStored(*m_matchers[size_t(thread)], *text, [&](int line, QStringView lineText, const TTextSpan& span) {
            found.Hits.push_back({job.ID, job.FolderID, job.Name, line, lineText.toString(), span});
        });
        return found;
    }

private:
    std::vector<std::unique_ptr<tomedb::TTomeBlobDecoder>> m_decoders;
    std::vector<std::unique_ptr<TLineMatcher>> m_matchers;  // one each: no sharing of a regex between threads
    std::vector<std::string> m_buffers;
};

}  // namespace

QString TSearchResult::Summary() const {
    return QStringLiteral("共找到 %1 处，分布在 %2 篇稿件中").arg(HitCount).arg(DocCount);
}

TLibrarySearch::TLibrarySearch(TqlvDocData& data, TManuscriptSaves& saves) : m_data(data), m_saves(saves) {}

TSearchResult TLibrarySearch::Find(const TSearchQuery& query, const TSearchControl& control) {
    TSearchResult result;
    if (TLineMatcher(query.Pattern, query.Regex, query.CaseSensitive).IsEmpty())
        return result;
    const std::optional<QList<int>> folders = ScopeFolders(m_data, query.FolderID);
    if (!folders)
        return result;
    const int threads = m_decodeThreads >= 0 ? m_decodeThreads : DefaultDecodeThreads();
    TDocMatchers matchers(m_data, query, threads);
    TProgressStep progress(control);
    auto take = [&](TBatchHits& batch) {
        for (TDocHits& doc : batch) {
            if (control.Cancelled()) {
                result.Cancelled = true;
                return false;
            }
            if (!doc.Hits.empty()) {
                ++result.DocCount;
                std::move(doc.Hits.begin(), doc.Hits.end(), std::back_inserter(result.Hits));
            }
            progress.Step(doc.Index + 1, doc.Count);
        }
        return true;
    };
    auto work = [&](TDocBatch& batch, int thread) {
        TBatchHits found;
        found.reserve(batch.size());
        for (const TDocJob& job : batch)
            found.push_back(matchers.Match(job, thread, control));
        return found;
    };
    TOrderedWorkPool<TDocBatch, TBatchHits> pool(matchers.Threads(), matchers.Threads() * 4, work, take);
    TDocBatch batch;
    size_t batchBytes = 0;
    m_data.ScanDocTexts(
        *folders,
        [&](const TStoredDocText& doc) {
            if (control.Cancelled()) {
                result.Cancelled = true;
                return false;
            }
            batchBytes += doc.Text->size();
            batch.push_back({doc.ID, doc.FolderID, doc.Name, doc.Index, doc.Count, std::move(*doc.Text)});
            if (batchBytes < kBatchBytes)
                return true;
            batchBytes = 0;
            return pool.Submit(std::exchange(batch, {}));
        },
        matchers.StoredForms());
    if (!result.Cancelled && (batch.empty() || pool.Submit(std::move(batch))))
        pool.Finish();
    // A folder walk goes folder group by folder group; hits are shown by manuscript.
    std::stable_sort(result.Hits.begin(), result.Hits.end(),
                     [](const TSearchHit& a, const TSearchHit& b) { return a.DocID < b.DocID; });
    result.HitCount = int(result.Hits.size());
    return result;
}
