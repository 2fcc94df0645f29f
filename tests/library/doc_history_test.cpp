// Manuscript versions: which saves keep one, the keeping rule over a made-up
// year, deletion, encryption, damage, compaction, and the character diff.
#include "LibraryFixture.h"

#include "library/CharDiff.h"
#include "library/DocDataEngine.h"
#include "library/ManuscriptSaves.h"
#include "platform/TextCodec.h"
#include "support/SpoiltValues.h"

#include <QDate>
#include <QFile>
#include <cmath>
#include <functional>
#include <random>
#include <set>

namespace {

constexpr double kDay = 46000;
constexpr double kMinute = 1.0 / (24 * 60);

class DocHistoryTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        Attach();
        doc = data.NewDoc(0).ID;
    }
    void TearDown() override { saves.reset(); }
    void Attach() {
        saves.emplace(data, [this] { return now; });
    }

    void SaveAt(double when, const QString& text, TSaveOptions options = {}) {
        now = when;
        saves->Save(doc, Saved(QString::number(text.size()), QString::number(text.size()), QStringLiteral("0"), text),
                    options);
    }
    QStringList VersionTexts() {
        QStringList texts;
        for (const TDocVersion& v : saves->History().Versions(doc))
            texts << (v.Damaged ? QStringLiteral("<damaged>") : saves->History().Text(doc, v.ID));
        return texts;
    }

    double now = kDay + 0.5;
    std::optional<TManuscriptSaves> saves;
    int doc = 0;
};

TEST_F(DocHistoryTest, WhichSavesKeepAVersion) {
    const TSaveOptions forced{0, true, true};
    const TSaveOptions off{0, false, false};
    struct Step {
        double minutes;
        const char* text;
        TSaveOptions options;
        QStringList versions;  // newest first, after the save
    } steps[] = {
        {0, "一", {}, {}},                                  // the empty new text is nothing to keep
        {1, "一二", {}, {"一"}},                            // the first change keeps one
        {2, "一二三", {}, {"一"}},                          // within two minutes of it: auto-save floods nothing
        {2.5, "一二三", {}, {"一"}},                        // identical text
        {3, "一二三四", forced, {"一二三", "一"}},          // a replace across the library always keeps
        {3.5, "五", forced, {"一二三四", "一二三", "一"}},  // as does a restore
        {10, "六", off, {"一二三四", "一二三", "一"}},      // history switched off
        {20, "七", {}, {"六", "一二三四", "一二三", "一"}},
    };
    for (const Step& step : steps) {
        SaveAt(kDay + 0.5 + step.minutes * kMinute, QString::fromUtf8(step.text), step.options);
        EXPECT_EQ(VersionTexts(), step.versions) << step.minutes;
    }
    // A version's save time is when its text had been saved.
    const std::vector<TDocVersion> versions = saves->History().Versions(doc);
    EXPECT_NEAR(versions.front().SavedAt, kDay + 0.5 + 10 * kMinute, 1e-6);
    EXPECT_EQ(versions.front().Chars, 1);
}

TEST_F(DocHistoryTest, RestoreBringsAVersionBackAndKeepsTheCurrentText) {
    SaveAt(kDay + 0.5, QStringLiteral("初稿"));
    SaveAt(kDay + 0.6, QStringLiteral("二稿"));
    SaveAt(kDay + 0.7, QStringLiteral("三稿"));
    const std::vector<TDocVersion> versions = saves->History().Versions(doc);
    ASSERT_EQ(versions.size(), 2u);
    now = kDay + 0.7 + kMinute;  // within two minutes: a restore keeps anyway
    EXPECT_EQ(saves->Restore(doc, versions.back().ID, Saved("2", "2", "0")), QStringLiteral("初稿"));
    EXPECT_EQ(data.LoadDocText(doc), QStringLiteral("初稿"));
    EXPECT_EQ(VersionTexts(), (QStringList{"三稿", "二稿", "初稿"}));
    EXPECT_EQ(UserErrorOf([&] { saves->Restore(doc, 999, {}); }), QStringLiteral("此版本不存在。"));
}

TEST_F(DocHistoryTest, DeletingAManuscriptDeletesItsVersionsOnly) {
    int other = data.NewDoc(0).ID;
    SaveAt(kDay + 0.5, QStringLiteral("甲"));
    SaveAt(kDay + 0.6, QStringLiteral("乙"));
    std::swap(doc, other);
    SaveAt(kDay + 0.5, QStringLiteral("丙"));
    SaveAt(kDay + 0.6, QStringLiteral("丁"));
    std::swap(doc, other);
    EXPECT_EQ(saves->DeleteDocs({doc}), QList<int>{doc});
    EXPECT_TRUE(saves->History().Versions(doc).empty());
    EXPECT_EQ(saves->History().Versions(other).size(), 1u);
}

// A folder's manuscripts, down its sub-folders, lose their versions with it.
TEST_F(DocHistoryTest, DeletingAFolderDeletesTheVersionsOfItsManuscripts) {
    const int folder = data.AddFolder(0, QStringLiteral("卷一"));
    const int chapter = data.AddFolder(folder, QStringLiteral("第一章"));
    const int outside = doc;
    SaveAt(kDay + 0.5, QStringLiteral("甲"));
    SaveAt(kDay + 0.6, QStringLiteral("乙"));
    doc = data.NewDoc(chapter).ID;
    SaveAt(kDay + 0.5, QStringLiteral("丙"));
    SaveAt(kDay + 0.6, QStringLiteral("丁"));
    EXPECT_EQ(saves->DeleteFolder(folder), QList<int>{doc});
    EXPECT_TRUE(saves->History().Versions(doc).empty());
    EXPECT_EQ(saves->History().Versions(outside).size(), 1u);
}

TEST(KeepingRule, OverAMadeUpYearOfSaves) {
    // Three saves a day (09:00, 12:00, 18:00) for a year before `now`.
    const double now = kDay + 365 + 0.5;
    std::vector<double> times;
    for (int day = 0; day < 365; ++day)
        for (double hour : {9.0, 12.0, 18.0})
            times.push_back(kDay + day + hour / 24);
    const std::vector<bool> keep = VersionsToKeep(times, now);
    int recent = 0, daily = 0;
    std::set<int> months;
    for (size_t i = 0; i < times.size(); ++i) {
        if (!keep[i])
            continue;
        const double age = now - times[i];
        if (age < 7) {
            ++recent;
        } else if (age < 90) {
            ++daily;
            EXPECT_NEAR(std::fmod(times[i], 1.0), 18.0 / 24, 1e-9);  // the day's newest
        } else {
            months.insert(QDate(1899, 12, 30).addDays(qint64(times[i])).month());
        }
    }
    EXPECT_EQ(recent, 6 * 3 + 1);  // six whole days and 18:00 of the seventh back
    // The days from 90 back to 8 (18:00 of the 90th is younger than 90 days).
    EXPECT_EQ(daily, 83);
    EXPECT_GE(months.size(), 9u);
    EXPECT_TRUE(VersionsToKeep({}, now).empty());
    // Older than 90 days: one per month, the month's newest.
    const std::vector<bool> old = VersionsToKeep({kDay + 1, kDay + 2, kDay + 40}, kDay + 400);
    EXPECT_EQ(old, (std::vector<bool>{false, true, true}));
}

// Keeping the replaced text first makes the version durable with the sync
// the rewrite of the text pays anyway: a save that keeps one costs no more
// syncs than one that keeps none, and keeps exactly one.
TEST_F(DocHistoryTest, ASaveKeepingAVersionSyncsNoMoreThanOneKeepingNone) {
    tomedb::TTomeDBFileIO& io = *TDocDataEngine::Database(data).FileIO();
    SaveAt(kDay + 0.5, QStringLiteral("第一稿"));
    const auto syncsOf = [&](const std::function<void()>& save) {
        const uint64_t before = io.BarrierCount();
        save();
        return io.BarrierCount() - before;
    };
    const uint64_t plain = syncsOf([&] { data.SaveDoc(doc, Saved("3", "3", "0", QStringLiteral("第二稿"))); });
    const uint64_t keeping = syncsOf([&] { SaveAt(kDay + 0.6, QStringLiteral("第三稿")); });
    EXPECT_LE(keeping, plain);
    EXPECT_EQ(VersionTexts(), QStringList{QStringLiteral("第二稿")});
}

TEST_F(DocHistoryTest, SavingThinsVersionsOutByTheRule) {
    for (int day = 0; day < 30; ++day)
        for (int save = 0; save < 3; ++save)
            SaveAt(kDay + day + 0.3 + save * 0.1, QStringLiteral("第%1天第%2次").arg(day).arg(save));
    // 7 days of all (3 a day, less the one not yet replaced) plus one a day before.
    const std::vector<TDocVersion> versions = saves->History().Versions(doc);
    EXPECT_EQ(versions.size(), size_t(3 * 7 - 1 + 23));
}

// Saves at uneven times (bursts, a day's pause, weeks away, a return to an
// old text): after every save the versions are exactly those the keeping rule
// keeps of all the texts ever kept, however seldom the saves thin them.
TEST_F(DocHistoryTest, VersionsAfterEachSaveAreThoseTheRuleKeeps) {
    std::mt19937 random(33);
    std::vector<double> kept;
    double when = kDay + 0.4;
    for (int save = 0; save < 150; ++save) {
        const double gaps[] = {3 * kMinute, 0.3, 1.2, 9, 40};
        when += gaps[random() % 5];
        const double replacedAt = save == 0 ? 0 : now;  // the first save replaces the empty text
        SaveAt(when, QStringLiteral("第%1稿").arg(save));
        if (replacedAt > 0)
            kept.push_back(replacedAt);
        const std::vector<bool> keep = VersionsToKeep(kept, when);
        std::vector<double> expected;
        for (size_t i = 0; i < kept.size(); ++i)
            if (keep[i])
                expected.push_back(kept[i]);
        std::vector<double> listed;
        for (const TDocVersion& v : saves->History().Versions(doc, false))
            listed.insert(listed.begin(), v.SavedAt);
        ASSERT_EQ(listed.size(), expected.size()) << "save " << save;
        for (size_t i = 0; i < listed.size(); ++i)
            ASSERT_NEAR(listed[i], expected[i], 1e-6) << "save " << save;
    }
}

TEST(KeepingRule, NextThinningIsWhenAVersionTurnsSevenOrNinetyDaysOld) {
    const struct {
        std::vector<double> ages;
        double next;  // from now; 0 for never
    } cases[] = {
        {{}, 0}, {{1, 3}, 4}, {{6.5, 30}, 0.5}, {{10, 100}, 80}, {{95, 400}, 0},
    };
    const double now = kDay + 500;
    for (const auto& c : cases) {
        std::vector<double> times;
        for (double age : c.ages)
            times.push_back(now - age);
        const double next = NextThinning(times, now);
        if (c.next == 0)
            EXPECT_EQ(next, 0);
        else
            EXPECT_NEAR(next - now, c.next, 1e-6);
    }
}

TEST_F(DocHistoryTest, EncryptedVersionsNeedThePassword) {
    saves.reset();
    QString name;
    ASSERT_TRUE(data.CreateDocData(Path("secret"), QString(), QStringLiteral("pw"), true, true, false, 2, &name));
    PasswordAnswers right{{QStringLiteral("pw")}};
    ASSERT_TRUE(data.OpenDocData(name, right.Prompt()));
    Attach();
    doc = data.NewDoc(0).ID;
    SaveAt(kDay + 0.5, QStringLiteral("秘密的初稿ABCDEFGH"));
    SaveAt(kDay + 0.6, QStringLiteral("二稿"));
    EXPECT_EQ(VersionTexts(), QStringList{"秘密的初稿ABCDEFGH"});
    saves.reset();
    data.CloseDocData();
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains("ABCDEFGH"));
    EXPECT_FALSE(bytes.contains(ToGB(QStringLiteral("秘密的初稿"))));
    PasswordAnswers wrong{{QStringLiteral("nope")}};
    EXPECT_FALSE(UserErrorOf([&] { data.OpenDocData(name, wrong.Prompt()); }).isEmpty());
}

// A kept text is copied in its stored form where the library allows: it
// reads back exactly, and is listed with its length, plain and encrypted.
TEST_F(DocHistoryTest, KeptTextsReadBackExactlyAndAreCounted) {
    QString long_;
    for (int i = 0; i < 3000; ++i)
        long_ += QChar(0x4E00 + (i * 7919) % 0x5000) + (i % 50 == 0 ? QStringLiteral("\r\n") : QString());
    const QString texts[] = {long_, QStringLiteral("A𠀀b\r\n€\n\r甲"), QStringLiteral("x")};
    for (const bool encrypted : {false, true}) {
        SCOPED_TRACE(encrypted ? "encrypted" : "plain");
        saves.reset();
        QString name;
        ASSERT_TRUE(data.CreateDocData(Path(encrypted ? "secret" : "open"), QString(),
                                       encrypted ? QStringLiteral("pw") : QString(), true, encrypted, false, 2, &name));
        PasswordAnswers right{{QStringLiteral("pw")}};
        ASSERT_TRUE(data.OpenDocData(name, right.Prompt()));
        Attach();
        doc = data.NewDoc(0).ID;
        for (int i = 0; i < 3; ++i)
            SaveAt(kDay + 0.5 + i * 0.01, texts[i]);
        EXPECT_EQ(VersionTexts(), (QStringList{texts[1], texts[0]}));
        const std::vector<TDocVersion> versions = saves->History().Versions(doc);
        ASSERT_EQ(versions.size(), 2u);
        EXPECT_EQ(versions[0].Length, 8);  // the pair beyond the BMP and CR LF count once
        EXPECT_EQ(versions[1].Length, VersionCharacters(QStringView(long_)));
    }
}

// Counting stored bytes gives what counting their decoded text gives, for
// well-formed and broken GB18030 alike.
TEST(VersionCharacters, BytesCountAsTheirText) {
    const QByteArray cases[] = {
        "",
        "abc",
        "a\r\nb\rc\n",
        ToGB(QStringLiteral("中文，𠀀𪚥€")),
        QByteArray("\x81\x30\x81\x30\xE3\x32\x9A\x35"),  // four-byte edges
        QByteArray("\x84\x31\xA5\x30"
                   "x"),  // unassigned four-byte form
        QByteArray("\xFF\x80"
                   "a\xB0"),         // stray bytes, a cut lead byte
        QByteArray("\x81\x30\x81"),  // a cut four-byte form
    };
    for (const QByteArray& bytes : cases)
        EXPECT_EQ(VersionCharacters(bytes.toStdString()), VersionCharacters(QStringView(FromGB(bytes))))
            << bytes.toHex().constData();
}

TEST_F(DocHistoryTest, CompactionKeepsVersions) {
    SaveAt(kDay + 0.5, QStringLiteral("甲稿"));
    SaveAt(kDay + 0.6, QStringLiteral("乙稿"));
    SaveAt(kDay + 0.7, QStringLiteral("丙稿"));
    ASSERT_TRUE(data.CompressDocData());
    EXPECT_EQ(VersionTexts(), (QStringList{"乙稿", "甲稿"}));
    EXPECT_EQ(saves->Log().TodayChars(), 2);  // the day's log survives too
}

TEST_F(DocHistoryTest, ADamagedVersionIsListedAsSuchAndCannotBeRestored) {
    const QString spoilt = QStringLiteral("将被弄坏的段落。").repeated(100);
    SaveAt(kDay + 0.5, QStringLiteral("第一稿，保持完好。"));
    SaveAt(kDay + 0.6, spoilt);
    SaveAt(kDay + 0.7, QStringLiteral("now"));
    saves.reset();
    data.CloseDocData();
    ASSERT_GT(SpoilStoredValuesIn(this->file, spoilt), 0);
    ASSERT_TRUE(data.OpenDocData(this->file));
    Attach();
    const std::vector<TDocVersion> versions = saves->History().Versions(doc);
    ASSERT_EQ(versions.size(), 2u);
    EXPECT_EQ(VersionTexts(), (QStringList{"<damaged>", "第一稿，保持完好。"}));
    EXPECT_EQ(UserErrorOf([&] { saves->Restore(doc, versions.front().ID, {}); }),
              QStringLiteral("此版本已损坏，无法恢复。"));
    EXPECT_EQ(data.LoadDocText(doc), QStringLiteral("now"));
    SaveAt(kDay + 0.8, QStringLiteral("later"));  // saving goes on
    EXPECT_EQ(saves->History().Versions(doc).size(), 3u);
}

// A save over a text that can no longer be read goes through; the replaced
// text is kept as it is stored, and so listed as damaged.
TEST_F(DocHistoryTest, ASaveOverADamagedTextKeepsItAsADamagedVersion) {
    const QString spoilt = QStringLiteral("将被弄坏的正文。").repeated(100);
    QString sameLength = spoilt;
    sameLength[7] = QChar(0x4E00);
    for (const QString& next : {QStringLiteral("新的正文"), sameLength}) {
        SCOPED_TRACE(next.size());
        doc = data.NewDoc(0).ID;
        SaveAt(kDay + 0.5, spoilt);
        saves.reset();
        data.CloseDocData();
        ASSERT_GT(SpoilStoredValuesIn(this->file, spoilt), 0);
        ASSERT_TRUE(data.OpenDocData(this->file));
        Attach();
        SaveAt(kDay + 0.6, next);
        EXPECT_EQ(data.LoadDocText(doc), next);
        EXPECT_EQ(VersionTexts(), QStringList{"<damaged>"});
    }
}

// ---- character diff ------------------------------------------------------------

QString Spell(const std::vector<TDiffRun>& runs) {
    QString out;
    for (const TDiffRun& run : runs)
        out += (run.Op == TDiffOp::Equal   ? QString()
                : run.Op == TDiffOp::Added ? "+"
                                           : "-") +
               QLatin1Char('[') + run.Text + QLatin1Char(']');
    return out;
}

TEST(CharDiff, MarksAddedAndRemovedCharacters) {
    struct Case {
        const char* before;
        const char* after;
        const char* runs;
    } cases[] = {
        {"", "", ""},
        {"", "春眠", "+[春眠]"},
        {"春眠", "", "-[春眠]"},
        {"春眠不觉晓", "春眠不觉晓", "[春眠不觉晓]"},
        {"春眠不觉晓", "春眠已觉晓", "[春眠]-[不]+[已][觉晓]"},
        {"处处闻啼鸟", "处处闻鸟", "[处处闻]-[啼][鸟]"},
        {"Hello 世界", "Hello, 新世界!", "[Hello]+[,][ ]+[新][世界]+[!]"},
        {"a😀b", "a😁b", "[a]-[😀]+[😁][b]"},
        {"甲乙丙", "丁戊", "-[甲乙丙]+[丁戊]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Spell(CharDiff(QString::fromUtf8(c.before), QString::fromUtf8(c.after))), QString::fromUtf8(c.runs))
            << c.before << " -> " << c.after;
}

TEST(CharDiff, RunsSpellBothTextsEvenWhenTheSearchGivesUp) {
    QString before, after;
    for (int i = 0; i < 3000; ++i) {
        before += QChar(0x4e00 + (i * 7) % 500);
        after += QChar(0x4e00 + (i * 13) % 500);
    }
    for (int maxEdits : {10, 100000}) {
        QString a, b;
        for (const TDiffRun& run : CharDiff(before, after, maxEdits)) {
            if (run.Op != TDiffOp::Added)
                a += run.Text;
            if (run.Op != TDiffOp::Removed)
                b += run.Text;
        }
        EXPECT_EQ(a, before) << maxEdits;
        EXPECT_EQ(b, after) << maxEdits;
    }
}

}  // namespace
