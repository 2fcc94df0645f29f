// TLibrarySearch: finding across the library's manuscripts (replace and undo
// are in LibraryReplace.cpp).
#include "library/LibrarySearch.h"

#include "library/LibrarySearchText.h"

#include <algorithm>

using namespace librarysearch;

QString TSearchResult::Summary() const {
    return QStringLiteral("共找到 %1 处，分布在 %2 篇稿件中").arg(HitCount).arg(DocCount);
}

TLibrarySearch::TLibrarySearch(TqlvDocData& data, TManuscriptSaves& saves) : m_data(data), m_saves(saves) {}

TSearchResult TLibrarySearch::Find(const TSearchQuery& query, const TSearchControl& control) {
    TSearchResult result;
    const TLineMatcher matcher(query.Pattern, query.Regex, query.CaseSensitive);
    if (matcher.IsEmpty())
        return result;
    const std::optional<QList<int>> folders = ScopeFolders(m_data, query.FolderID);
    if (!folders)
        return result;
    TProgressStep progress(control);
    m_data.ScanDocTexts(*folders, [&](const TStoredDocText& doc) {
        if (control.Cancelled()) {
            result.Cancelled = true;
            return false;
        }
        const size_t before = result.Hits.size();
        FindInStored(matcher, *doc.Text, [&](int line, QStringView lineText, const TTextSpan& span) {
            result.Hits.push_back({doc.ID, doc.FolderID, doc.Name, line, lineText.toString(), span});
        });
        if (result.Hits.size() > before)
            ++result.DocCount;
        progress.Step(doc.Index + 1, doc.Count);
        return true;
    });
    // A folder walk goes folder group by folder group; hits are shown by manuscript.
    std::stable_sort(result.Hits.begin(), result.Hits.end(),
                     [](const TSearchHit& a, const TSearchHit& b) { return a.DocID < b.DocID; });
    result.HitCount = int(result.Hits.size());
    return result;
}
