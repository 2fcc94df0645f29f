// Finding across a library with texts decoded and matched on several threads:
// the same hits, progress order, cancel and first error as on one thread, in
// a plain and in an encrypted library.
#include "LibraryFixture.h"

#include "library/DocDataEngine.h"
#include "library/LibrarySearch.h"

#include <gmock/gmock.h>
#include <atomic>

namespace {

TSearchQuery Query(const QString& pattern, bool regex = false, bool caseSensitive = false) {
    TSearchQuery query;
    query.Pattern = pattern;
    query.Regex = regex;
    query.CaseSensitive = caseSensitive;
    return query;
}

// Hits as comparable text: manuscript, line, span and the line itself.
QStringList HitsOf(const TSearchResult& result) {
    QStringList hits;
    for (const TSearchHit& hit : result.Hits)
        hits << QStringLiteral("%1/%2:%3:%4+%5 %6")
                    .arg(hit.DocName)
                    .arg(hit.FolderID)
                    .arg(hit.Line)
                    .arg(hit.Span.Start)
                    .arg(hit.Span.Length)
                    .arg(hit.LineText);
    return hits;
}

// Chapter i: a few lines, the names in some of them, one chapter empty and
// one far longer than the others.
QString Chapter(int i) {
    if (i == 7)
        return QString();
    QString text;
    const int lines = i == 11 ? 4000 : 3 + i % 5;
    for (int line = 0; line < lines; ++line) {
        text += QStringLiteral("第%1行，").arg(line);
        if ((i + line) % 4 == 0)
            text += QStringLiteral("宝玉见了Anna，");
        if ((i * line) % 7 == 3)
            text += QStringLiteral("ANNA 与 ａｎｎａ");
        text += QStringLiteral("风雪\r\n");
    }
    return text;
}

const int kThreadCounts[] = {0, 1, 3};

class ThreadedFind : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString password = GetParam() ? QStringLiteral("秘密") : QString();
        QString path;
        ASSERT_TRUE(data.CreateDocData(dir.path() + "/lib", "", password, true, GetParam(), false, 2, &path));
        ASSERT_TRUE(data.OpenDocData(path, [password] { return password; }));
        folder = data.AddFolder(0, "卷一");
        data.RunWriteBatch([&] {
            for (int i = 0; i < 40; ++i) {
                TDocAttr chapter;
                chapter.DocName = QStringLiteral("第%1章").arg(i + 1);
                chapter.Txt = Chapter(i);
                ids << data.AddDoc(i % 3 == 0 ? folder : 0, chapter);
            }
        });
    }

    QTemporaryDir dir;
    TqlvDocData data;
    TManuscriptSaves saves{data};
    TLibrarySearch search{data, saves};
    int folder = 0;
    QList<int> ids;
};

TEST_P(ThreadedFind, GivesTheSameHitsOnAnyNumberOfThreads) {
    const struct {
        const char* what;
        TSearchQuery query;
    } cases[] = {
        {"Chinese literal", Query("宝玉")},
        {"ASCII, case-blind", Query("anna")},
        {"full-width, case-blind", Query("ＡＮＮＡ")},
        {"regex", Query("第\\d+行，宝", true, true)},
        {"nowhere", Query("黛玉")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::optional<int> scope : {std::optional<int>(), std::optional<int>(folder)}) {
            TSearchQuery query = c.query;
            query.FolderID = scope;
            search.SetDecodeThreads(0);
            const TSearchResult alone = search.Find(query);
            for (const int threads : kThreadCounts) {
                SCOPED_TRACE(threads);
                search.SetDecodeThreads(threads);
                std::vector<int> progress;
                TSearchControl control;
                control.Progress = [&](int done, int) { progress.push_back(done); };
                const TSearchResult found = search.Find(query, control);
                EXPECT_EQ(HitsOf(found), HitsOf(alone));
                EXPECT_EQ(found.DocCount, alone.DocCount);
                EXPECT_EQ(found.HitCount, alone.HitCount);
                EXPECT_FALSE(found.Cancelled);
                EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
                ASSERT_FALSE(progress.empty());
            }
        }
    }
    int withName = 0;
    for (int i = 0; i < 40; ++i)
        withName += Chapter(i).contains(QStringLiteral("宝玉")) ? 1 : 0;
    search.SetDecodeThreads(3);
    EXPECT_EQ(search.Find(Query("宝玉")).DocCount, withName);
}

// A cancel on the progress of the tenth manuscript keeps the hits of the
// manuscripts before it, the same on every number of threads.
TEST_P(ThreadedFind, CancelMidwayKeepsTheHitsBeforeIt) {
    for (const int threads : kThreadCounts) {
        SCOPED_TRACE(threads);
        search.SetDecodeThreads(threads);
        std::atomic_bool cancel = false;
        TSearchControl control;
        control.Cancel = &cancel;
        control.Progress = [&](int done, int) { cancel = cancel || done >= 10; };
        const TSearchResult found = search.Find(Query("宝玉"), control);
        EXPECT_TRUE(found.Cancelled);
        QStringList expected;
        for (const TSearchHit& hit : search.Find(Query("宝玉")).Hits)
            if (ids.indexOf(hit.DocID) < 10)
                expected << HitsOf(TSearchResult{{hit}, 1, 1, false});
        EXPECT_EQ(HitsOf(found), expected);
    }
}

// A manuscript whose stored text is damaged stops the search with the
// engine's error, the same error on every number of threads.
TEST_P(ThreadedFind, ADamagedTextRaisesTheEngineError) {
    tomedb::TTomeTable& docs = TDocDataEngine::Docs(data);
    const int txt = docs.FieldByName("Txt").Index();
    std::string stored;
    data.RunWriteBatch([&] {
        docs.First();
        docs.Next();
        stored = docs.StoredBlobValue(txt).value();
        ASSERT_GT(stored.size(), 12u);
        stored[stored.size() / 2] = char(stored[stored.size() / 2] ^ 0x5A);
        docs.Append();
        docs.FieldByName("PID").SetAsInteger(0);
        docs.FieldByName("DocName").SetAsString("damaged");
        ASSERT_TRUE(docs.SetStoredBlobValue(txt, docs, txt, stored));
        docs.Post();
    });
    std::string first;
    for (const int threads : kThreadCounts) {
        SCOPED_TRACE(threads);
        search.SetDecodeThreads(threads);
        std::string message;
        try {
            search.Find(Query("宝玉"));
        } catch (const tomedb::EDatabaseError& error) {
            message = error.what();
        }
        EXPECT_FALSE(message.empty());
        if (first.empty())
            first = message;
        EXPECT_EQ(message, first);
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndEncrypted, ThreadedFind, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encrypted" : "Plain"; });

}  // namespace
