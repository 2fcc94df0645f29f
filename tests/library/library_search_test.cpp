// Find and replace across a library's manuscripts, and the undo of a replace.
#include "LibraryFixture.h"

#include "library/DocDataEngine.h"
#include "library/LibrarySearch.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QMap>

#include <gmock/gmock.h>
#include <atomic>

namespace {

using ::testing::HasSubstr;

struct ExpectedHit {
    QString doc;
    int line;
    int start;
    int length;
    bool operator==(const ExpectedHit&) const = default;
};

void PrintTo(const ExpectedHit& hit, std::ostream* os) {
    *os << hit.doc.toStdString() << ":" << hit.line << ":" << hit.start << "+" << hit.length;
}

std::vector<ExpectedHit> HitsOf(const TSearchResult& result) {
    std::vector<ExpectedHit> hits;
    for (const TSearchHit& hit : result.Hits)
        hits.push_back({hit.DocName, hit.Line, hit.Span.Start, hit.Span.Length});
    return hits;
}

TSearchQuery Query(const QString& pattern, bool regex = false, bool caseSensitive = false,
                   std::optional<int> folder = std::nullopt) {
    TSearchQuery query;
    query.Pattern = pattern;
    query.Regex = regex;
    query.CaseSensitive = caseSensitive;
    query.FolderID = folder;
    return query;
}

// Stored bytes of every manuscript, by ID.
QMap<int, std::string> StoredTexts(TqlvDocData& data) {
    QMap<int, std::string> texts;
    data.ScanDocTexts({}, [&](const TStoredDocText& doc) {
        texts.insert(doc.ID, *doc.Text);
        return true;
    });
    return texts;
}

// Four manuscripts in a small tree: root, A, A/A1, B.
class LibrarySearchTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        folderA = data.AddFolder(0, "A");
        folderA1 = data.AddFolder(folderA, "A1");
        folderB = data.AddFolder(0, "B");
        jia = Add(0, "甲", "林黛玉进了贾府。\r\nAnna 与 ａｎｎａ 和 ＡＮＮＡ\r\n林黛玉又哭了，林黛玉。");
        yi = Add(folderA, "乙", "Σίσυφος ΣΊΣΥΦΟΣ\r\n\U00020000字\U00020000\r\nabc");
        bing = Add(folderA1, "丙", "林黛\r\n玉");
        ding = Add(folderB, "丁", "ANNA");
    }

    int Add(int folder, const QString& name, const QString& text) { return data.AddDoc(folder, Imported(name, text)); }

    int folderA = 0, folderA1 = 0, folderB = 0;
    int jia = 0, yi = 0, bing = 0, ding = 0;
    TManuscriptSaves saves{data};
    TLibrarySearch search{data, saves};
};

struct FindCase {
    const char* what;
    QString pattern;
    bool regex;
    bool caseSensitive;
    std::vector<ExpectedHit> hits;
};

// Lines are matched one by one: 丙's "林黛\r\n玉" is never found as one hit,
// whatever the pattern (refused by design).
TEST_F(LibrarySearchTest, FindsLiteralsAndExpressionsByLineWithTheCaseRule) {
    const std::vector<FindCase> cases = {
        {"literal, several in a line", "林黛玉", false, true, {{"甲", 1, 0, 3}, {"甲", 3, 0, 3}, {"甲", 3, 7, 3}}},
        {"regex, same hits", "林.玉", true, false, {{"甲", 1, 0, 3}, {"甲", 3, 0, 3}, {"甲", 3, 7, 3}}},
        {"ASCII folds, width does not", "anna", false, false, {{"甲", 2, 0, 4}, {"丁", 1, 0, 4}}},
        {"case-sensitive ASCII", "Anna", false, true, {{"甲", 2, 0, 4}}},
        {"full-width folds", "ａｎｎａ", false, false, {{"甲", 2, 7, 4}, {"甲", 2, 14, 4}}},
        {"full-width case-sensitive", "ＡＮＮＡ", false, true, {{"甲", 2, 14, 4}}},
        {"regex folds ASCII", "a(n+)A", true, false, {{"甲", 2, 0, 4}, {"丁", 1, 0, 4}}},
        {"regex class folds full-width", "[Ａ-Ｚ]+", true, false, {{"甲", 2, 7, 4}, {"甲", 2, 14, 4}}},
        {"regex escapes keep their case",
         "\\S+\\s\\S",
         true,
         false,
         {{"甲", 2, 0, 6}, {"甲", 2, 7, 6}, {"乙", 1, 0, 9}}},
        {"Greek does not fold", "σίσυφος", false, false, {}},
        {"Greek as written", "ΣΊΣΥΦΟΣ", false, false, {{"乙", 1, 8, 7}}},
        {"beyond the BMP, literal", "\U00020000", false, true, {{"乙", 2, 0, 2}, {"乙", 2, 3, 2}}},
        {"beyond the BMP, dot takes the pair", "字.", true, true, {{"乙", 2, 2, 3}}},
        {"beyond the BMP, anchored", "^.字", true, true, {{"乙", 2, 0, 3}}},
        {"no hit across a line end, literal", "黛\r\n玉", false, true, {}},
        {"no hit across a line end, regex",
         "黛\\s*玉",
         true,
         true,
         {{"甲", 1, 1, 2}, {"甲", 3, 1, 2}, {"甲", 3, 8, 2}}},
        {"a line ends before its CR", "府.$", true, true, {{"甲", 1, 6, 2}}},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TSearchResult result = search.Find(Query(c.pattern, c.regex, c.caseSensitive));
        EXPECT_EQ(HitsOf(result), c.hits);
        EXPECT_EQ(result.HitCount, int(c.hits.size()));
        EXPECT_FALSE(result.Cancelled);
    }
}

TEST_F(LibrarySearchTest, HitCarriesItsLineAndTheSummaryCountsHitsAndManuscripts) {
    const TSearchResult result = search.Find(Query("玉"));
    ASSERT_EQ(result.HitCount, 4);
    EXPECT_EQ(result.DocCount, 2);
    EXPECT_EQ(result.Summary(), QStringLiteral("共找到 4 处，分布在 2 篇稿件中"));
    EXPECT_EQ(result.Hits[0].DocID, jia);
    EXPECT_EQ(result.Hits[0].LineText, QStringLiteral("林黛玉进了贾府。"));
    EXPECT_EQ(result.Hits[3].DocID, bing);
    EXPECT_EQ(result.Hits[3].LineText, QStringLiteral("玉"));
}

TEST_F(LibrarySearchTest, FolderScopeTakesTheFolderAndItsSubFolders) {
    const struct {
        const char* what;
        std::optional<int> folder;
        QStringList docs;
    } cases[] = {
        {"whole library", std::nullopt, {"甲", "乙", "丙", "丁"}},
        {"root folder", 0, {"甲", "乙", "丙", "丁"}},
        {"A and A1", folderA, {"乙", "丙"}},
        {"A1 alone", folderA1, {"丙"}},
        {"B", folderB, {"丁"}},
        {"no such folder", 999, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList docs;
        // Every manuscript has a letter or a Han character in its first line.
        for (const TSearchHit& hit : search.Find(Query("^.", true, true, c.folder)).Hits)
            if (hit.Line == 1)
                docs << hit.DocName;
        EXPECT_EQ(docs, c.docs);
    }
}

TEST_F(LibrarySearchTest, BadPatternsAreRefusedWithTheirReason) {
    const struct {
        const char* what;
        QString pattern;
        QString message;  // a part of it
    } cases[] = {
        {"invalid, with its column", "林(黛", "第 4 列）：missing closing parenthesis"},
        {"columns count characters", "\U00020000[", "第 3 列"},
        {"invalid at the start", "*玉", "第 1 列"},
        {"matches the empty string", "x*", "空文本"},
        {"anchor alone", "^", "空文本"},
        {"empty only at some places", "(?=玉)", "空文本"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string expected = c.message.toStdString();
        EXPECT_THAT(UserErrorOf([&] { search.Find(Query(c.pattern, true)); }).toStdString(), HasSubstr(expected));
        EXPECT_THAT(UserErrorOf([&] { search.PlanReplace(Query(c.pattern, true), "x"); }).toStdString(),
                    HasSubstr(expected));
    }
}

TEST_F(LibrarySearchTest, EmptyPatternFindsAndChangesNothing) {
    const auto before = StoredTexts(data);
    EXPECT_EQ(search.Find(Query("")).HitCount, 0);
    const TReplacePlan plan = search.PlanReplace(Query(""), "x");
    EXPECT_EQ(plan.HitCount, 0);
    EXPECT_EQ(search.ApplyReplace(plan).HitCount, 0);
    EXPECT_EQ(StoredTexts(data), before);
    EXPECT_FALSE(search.CanUndo());
}

// ---- replace and undo -----------------------------------------------------------

TEST(LineMatcherReplace, ReplacesEveryHitOfALine) {
    const struct {
        QString pattern;
        bool regex;
        bool caseSensitive;
        QString replacement;
        QString line;
        QString expected;
    } cases[] = {
        {"黛玉", false, true, "宝钗", "黛玉笑黛玉", "宝钗笑宝钗"},
        {"anna", false, false, "\\1", "Anna ANNA", "\\1 \\1"},
        {"(a)(n+)a", true, false, "\\2\\1\\\\", "Anna ann", "nnA\\ ann"},
        {"\U00020000", false, true, "字", "\U00020000a\U00020000", "字a字"},
        {"(.)字", true, true, "[\\1]", "\U00020000字", "[\U00020000]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        int count = 0;
        EXPECT_EQ(TLineMatcher(c.pattern, c.regex, c.caseSensitive).ReplaceIn(c.line, c.replacement, &count),
                  c.expected);
    }
}

TEST_F(LibrarySearchTest, ReplaceSavesThroughTheSavePathAndUndoRestoresEveryByte) {
    const auto before = StoredTexts(data);
    const TReplacePlan plan = search.PlanReplace(Query("林黛玉|anna", true), "Lin Daiyu");
    EXPECT_EQ(plan.HitCount, 5);
    EXPECT_EQ(plan.DocCount(), 2);
    EXPECT_EQ(plan.Question(), QStringLiteral("将替换 5 处，涉及 2 篇稿件。"));
    EXPECT_EQ(StoredTexts(data), before);  // planning writes nothing
    const auto chineseCount = [&](int doc) {
        TDocAttr counted;
        data.GetDocAttr(doc, counted);
        return counted.cnCount.toInt();
    };
    const int chineseBefore = chineseCount(jia) + chineseCount(ding);

    const TReplaceOutcome done = search.ApplyReplace(plan);
    EXPECT_EQ(done.HitCount, 5);
    EXPECT_EQ(done.DocCount, 2);
    EXPECT_EQ(
        data.LoadDocText(jia),
        QStringLiteral("Lin Daiyu进了贾府。\r\nLin Daiyu 与 ａｎｎａ 和 ＡＮＮＡ\r\nLin Daiyu又哭了，Lin Daiyu。"));
    EXPECT_EQ(data.LoadDocText(ding), QStringLiteral("Lin Daiyu"));
    TDocAttr attr;
    data.GetDocAttr(ding, attr);
    EXPECT_EQ(attr.DocSize, "9");
    EXPECT_EQ(attr.enCount, "2");
    EXPECT_EQ(attr.cnCount, "0");
    EXPECT_GT(attr.DocMDate, 0);
    EXPECT_EQ(search.Find(Query("林黛玉")).HitCount, 0);
    // The save path kept each replaced text as a version and logged the
    // change in counts.
    for (const int doc : {jia, ding}) {
        const std::vector<TDocVersion> versions = saves.History().Versions(doc);
        ASSERT_EQ(versions.size(), 1u);
        EXPECT_EQ(saves.History().Text(doc, versions[0].ID), FromGB(QByteArray::fromStdString(before[doc])));
    }
    EXPECT_TRUE(saves.History().Versions(yi).empty());
    EXPECT_EQ(saves.Log().Daily(1).back().Chars, chineseCount(jia) + chineseCount(ding) - chineseBefore);

    const TUndoOutcome undone = search.UndoReplace();
    EXPECT_EQ(undone.Restored, 2);
    EXPECT_TRUE(undone.Refused.isEmpty());
    EXPECT_EQ(StoredTexts(data), before);
    EXPECT_FALSE(search.CanUndo());
}

TEST_F(LibrarySearchTest, UndoLeavesAManuscriptChangedSinceAndRestoresTheRest) {
    const auto before = StoredTexts(data);
    search.ApplyReplace(search.PlanReplace(Query("a"), "b"));  // 甲, 乙 and 丁
    ASSERT_TRUE(search.CanUndo());
    data.SaveDoc(yi, Saved("3", "0", "1", "新的"));
    const TUndoOutcome undone = search.UndoReplace();
    EXPECT_EQ(undone.Restored, 2);
    EXPECT_EQ(undone.Refused, QStringList{"乙"});
    EXPECT_TRUE(undone.Message.contains(QStringLiteral("“乙”")));
    auto after = StoredTexts(data);
    EXPECT_EQ(after.take(yi), ToGB(QStringLiteral("新的")).toStdString());
    auto expected = before;
    expected.remove(yi);
    EXPECT_EQ(after, expected);
}

// Copies the library file when the first write lands that carries one of the
// given names: a manuscript's record being rewritten (the texts must not
// hold the names).
class CopyAtFirstRecordRewrite : public tomedb::TTomeWriteObserver {
public:
    CopyAtFirstRecordRewrite(QString file, QList<QByteArray> names) : m_file(file), m_names(names) {}
    void ImageWritten(int64_t, const uint8_t* bytes, size_t count) override {
        if (!copy.isEmpty())
            return;
        const QByteArrayView written(bytes, qsizetype(count));
        for (const QByteArray& name : m_names)
            if (written.indexOf(name) >= 0) {
                QFile source(m_file);
                if (source.open(QIODevice::ReadOnly))
                    copy = source.readAll();
                return;
            }
    }
    void FileLayerGone() override {}
    QByteArray copy;

private:
    QString m_file;
    QList<QByteArray> m_names;
};

// A power cut during a replace must never leave a replaced text without its
// version, or the bulk edit could not be undone: every version is in the
// file before the first manuscript record is rewritten.
TEST_F(LibrarySearchTest, ReplaceWritesEveryVersionBeforeAnyNewText) {
    const QStringList names = {QStringLiteral("潇湘馆记一"), QStringLiteral("潇湘馆记二"),
                               QStringLiteral("潇湘馆记三")};
    QList<int> docs;
    QList<QByteArray> stored;
    for (const QString& name : names) {
        docs << Add(folderB, name, QStringLiteral("宝钗来了。\r\n宝钗又走了 %1 次。").arg(docs.size()));
        stored << ToGB(name);
    }
    const TReplacePlan plan = search.PlanReplace(Query("宝钗"), "宝玉");
    ASSERT_EQ(plan.DocCount(), 3);
    CopyAtFirstRecordRewrite observer(file, stored);
    tomedb::TTomeDBFileIO& io = *TDocDataEngine::Database(data).FileIO();
    io.AddWriteObserver(&observer);
    search.ApplyReplace(plan);
    io.RemoveWriteObserver(&observer);
    ASSERT_FALSE(observer.copy.isEmpty());

    const QString copied = Path("copy.qdb");
    QFile out(copied);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(observer.copy);
    out.close();
    TqlvDocData copy;
    ASSERT_TRUE(copy.OpenDocData(copied));
    TManuscriptSaves copySaves(copy);
    for (int i = 0; i < docs.size(); ++i) {
        const std::vector<TDocVersion> versions = copySaves.History().Versions(docs[i]);
        ASSERT_EQ(versions.size(), 1u) << names[i].toStdString();
        EXPECT_EQ(copySaves.History().Text(docs[i], versions[0].ID),
                  QStringLiteral("宝钗来了。\r\n宝钗又走了 %1 次。").arg(i));
    }
    for (int doc : docs)
        EXPECT_TRUE(data.LoadDocText(doc).startsWith(QStringLiteral("宝玉来了")));
}

TEST_F(LibrarySearchTest, UndoIsForgottenWithTheLibrary) {
    search.ApplyReplace(search.PlanReplace(Query("玉"), "石"));
    search.ForgetUndo();
    EXPECT_EQ(search.UndoReplace().Restored, 0);
    EXPECT_EQ(data.LoadDocText(bing), QStringLiteral("林黛\r\n石"));
}

TEST_F(LibrarySearchTest, CancelMidwayChangesNothing) {
    const auto before = StoredTexts(data);
    std::atomic_bool cancel = false;
    TSearchControl control;
    control.Cancel = &cancel;
    control.Progress = [&](int done, int) { cancel = done >= 2; };

    const TSearchResult found = search.Find(Query("a"), control);
    EXPECT_TRUE(found.Cancelled);
    cancel = false;
    const TReplacePlan partial = search.PlanReplace(Query("a"), "b", control);
    EXPECT_TRUE(partial.Cancelled);
    EXPECT_TRUE(search.ApplyReplace(partial).Cancelled);

    cancel = false;
    const TReplacePlan plan = search.PlanReplace(Query("a"), "b");
    ASSERT_FALSE(plan.Cancelled);
    const TReplaceOutcome outcome = search.ApplyReplace(plan, control);  // cancelled while checking
    EXPECT_TRUE(outcome.Cancelled);
    EXPECT_EQ(outcome.HitCount, 0);
    EXPECT_EQ(StoredTexts(data), before);
    EXPECT_FALSE(search.CanUndo());
}

TEST_F(LibrarySearchTest, ReplaceRefusesWhenTheFileOrTheTextsChangedUnderIt) {
    const auto before = StoredTexts(data);
    const TReplacePlan plan = search.PlanReplace(Query("玉"), "石");

    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_TRUE(UserErrorOf([&] { search.ApplyReplace(plan); }).contains(QStringLiteral("只读")));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));

    ASSERT_TRUE(QFile::rename(file, file + ".moved"));
    EXPECT_TRUE(UserErrorOf([&] { search.ApplyReplace(plan); }).contains(QStringLiteral("已被移走或删除")));
    ASSERT_TRUE(QFile::rename(file + ".moved", file));
    EXPECT_EQ(StoredTexts(data), before);

    data.SaveDoc(bing, Saved("2", "1", "0", "玉玉"));
    const auto saved = StoredTexts(data);
    EXPECT_TRUE(UserErrorOf([&] { search.ApplyReplace(plan); }).contains(QStringLiteral("“丙”")));
    EXPECT_EQ(StoredTexts(data), saved);  // 甲 was not replaced either
    EXPECT_FALSE(search.CanUndo());
}

TEST_F(LibrarySearchTest, UndoRefusesAReadOnlyFileAndKeepsTheUndo) {
    search.ApplyReplace(search.PlanReplace(Query("玉"), "石"));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    EXPECT_TRUE(UserErrorOf([&] { search.UndoReplace(); }).contains(QStringLiteral("只读")));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(search.UndoReplace().Restored, 2);
}

TEST(LibrarySearchEncrypted, FindsReplacesAndUndoesInAnEncryptedLibrary) {
    QTemporaryDir dir;
    PasswordAnswers passwords{{"秘密", "秘密"}};
    QString path;
    QMap<int, std::string> before;
    {
        TqlvDocData data;
        ASSERT_TRUE(data.CreateDocData(dir.path() + "/enc", "", "秘密", true, true, false, 2, &path));
        ASSERT_TRUE(data.OpenDocData(path, passwords.Prompt()));
        for (int i = 1; i <= 30; ++i) {
            TDocAttr chapter;
            chapter.DocName = QString("第%1章").arg(i);
            chapter.Txt = QString("宝玉说：\r\n第%1回 宝玉").arg(i);
            data.AddDoc(0, chapter);
        }
        before = StoredTexts(data);
        TManuscriptSaves saves(data);
        TLibrarySearch search(data, saves);
        const TSearchResult found = search.Find(Query("宝玉"));
        EXPECT_EQ(found.Summary(), QStringLiteral("共找到 60 处，分布在 30 篇稿件中"));
        EXPECT_EQ(search.ApplyReplace(search.PlanReplace(Query("宝玉"), "宝钗")).HitCount, 60);
        data.CloseDocData();
    }
    TqlvDocData data;
    ASSERT_TRUE(data.OpenDocData(path, passwords.Prompt()));
    TManuscriptSaves saves(data);
    TLibrarySearch search(data, saves);
    EXPECT_EQ(search.Find(Query("宝钗")).HitCount, 60);
    EXPECT_EQ(data.LoadDocText(before.firstKey()), QStringLiteral("宝钗说：\r\n第1回 宝钗"));
    // The undo of the earlier session went with its library; a new replace undoes.
    EXPECT_FALSE(search.CanUndo());
    search.ApplyReplace(search.PlanReplace(Query("宝钗"), "宝玉"));
    EXPECT_EQ(StoredTexts(data), before);
    EXPECT_EQ(search.UndoReplace().Restored, 30);
    EXPECT_EQ(search.Find(Query("宝钗")).DocCount, 30);
}

}  // namespace
