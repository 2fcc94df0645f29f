// The writing log, goals and the typing timer over a real library: deltas of
// saves land in the right day and manuscript, a library without the tables
// gains them on the first save, goals and their progress, the CSV export.
#include "LibraryFixture.h"

#include "library/DocDataEngine.h"
#include "library/ManuscriptSaves.h"
#include "library/TableAccess.h"
#include "library/TypingTimer.h"

#include <QFile>

namespace {

constexpr double kDay = 46000;  // a day number; + fraction = time of day

class WritingLogTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        saves.emplace(data, [this] { return now; });
        folder = data.AddFolder(0, QStringLiteral("长篇"));
        docA = data.NewDoc(folder).ID;
        docB = data.NewDoc(0).ID;
    }
    void TearDown() override { saves.reset(); }

    // Saves `text` with its counts given as "cn/en".
    void SaveAt(double when, int doc, int cn, int en, const QString& text, int seconds = 0) {
        now = when;
        saves->Save(doc, Saved(QString::number(text.size()), QString::number(cn), QString::number(en), text),
                    {seconds, false, true});
    }
    struct Row {
        int day, doc, cn, en, seconds;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> LogRows() {
        std::vector<Row> rows;
        tomedb::TTomeTable log;
        log.SetDatabaseName(tableaccess::PathName(file));
        log.SetTableName("WriteLog");
        log.Open();
        for (log.First(); !log.Eof(); log.Next())
            rows.push_back({static_cast<int>(log.FieldByName("LogDay").AsDateTime()),
                            static_cast<int>(log.FieldByName("DocID").AsInteger()),
                            static_cast<int>(log.FieldByName("cnDelta").AsInteger()),
                            static_cast<int>(log.FieldByName("enDelta").AsInteger()),
                            static_cast<int>(log.FieldByName("Seconds").AsInteger())});
        return rows;
    }

    double now = kDay + 0.5;
    std::optional<TManuscriptSaves> saves;
    int folder = 0, docA = 0, docB = 0;
};

TEST_F(WritingLogTest, DeltasOfSavesLandInTheirDayAndManuscript) {
    // typing, typing more, deleting, another manuscript, replacing, past
    // midnight, a restore of the first text.
    SaveAt(kDay + 0.40, docA, 4, 0, QStringLiteral("春眠不觉"), 30);
    SaveAt(kDay + 0.50, docA, 6, 1, QStringLiteral("春眠不觉晓 dawn"), 12);
    SaveAt(kDay + 0.60, docA, 3, 1, QStringLiteral("春眠不 dawn"));
    SaveAt(kDay + 0.61, docB, 2, 0, QStringLiteral("夜来"));
    SaveAt(kDay + 0.62, docB, 2, 2, QStringLiteral("red sky"));
    SaveAt(kDay + 0.999, docA, 5, 1, QStringLiteral("春眠不觉晓 dawn"), 5);
    SaveAt(kDay + 1.001, docA, 6, 0, QStringLiteral("处处闻啼鸟"), 7);
    const std::vector<TDocVersion> versions = saves->History().Versions(docA);
    ASSERT_FALSE(versions.empty());
    now = kDay + 1.2;
    TDocAttr counted = Saved(QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("0"));
    saves->Restore(docA, versions.back().ID, counted);

    const std::vector<Row> expected = {
        {int(kDay), docA, 5, 1, 47},
        {int(kDay), docB, 2, 2, 0},
        {int(kDay) + 1, docA, -1, -1, 7},
    };
    EXPECT_EQ(LogRows(), expected);

    const std::vector<TDayStats> daily = saves->Log().Daily(3);
    ASSERT_EQ(daily.size(), 3u);
    EXPECT_EQ(daily[0].Chars, 0);
    EXPECT_EQ(daily[1].Chars, 7);
    EXPECT_EQ(daily[1].Words, 3);
    EXPECT_EQ(daily[1].Seconds, 47);
    EXPECT_EQ(daily[2].Day, int(kDay) + 1);
    EXPECT_EQ(saves->Log().TodayChars(), -1);
    EXPECT_EQ(saves->Log().Streak(), 2);
}

TEST_F(WritingLogTest, StreakCountsBackFromTodayOrYesterday) {
    SaveAt(kDay + 0.5, docA, 1, 0, QStringLiteral("一"));
    SaveAt(kDay + 2.5, docA, 2, 0, QStringLiteral("一二"));
    SaveAt(kDay + 3.5, docA, 3, 0, QStringLiteral("一二三"));
    // The one-pass summary agrees with the separate answers.
    struct Case {
        double now;
        int streak, todayChars;
    } cases[] = {
        {kDay + 3.9, 2, 1},
        {kDay + 4.1, 2, 0},  // nothing yet today: the streak still stands
        {kDay + 5.1, 0, 0},
        {kDay + 1.5, 1, 0},  // a clock set back: later rows are not counted
    };
    for (const Case& c : cases) {
        now = c.now;
        EXPECT_EQ(saves->Log().Streak(), c.streak) << c.now;
        const TWritingSummary summary = saves->Log().Summary(4);
        EXPECT_EQ(summary.Streak, c.streak) << c.now;
        EXPECT_EQ(summary.TodayChars, c.todayChars) << c.now;
        EXPECT_EQ(summary.TodayChars, saves->Log().TodayChars()) << c.now;
        const std::vector<TDayStats> daily = saves->Log().Daily(4);
        ASSERT_EQ(summary.Days.size(), daily.size());
        for (size_t i = 0; i < daily.size(); ++i) {
            EXPECT_EQ(summary.Days[i].Day, daily[i].Day);
            EXPECT_EQ(summary.Days[i].Chars, daily[i].Chars);
        }
    }
    EXPECT_EQ(TWriteLog::StreakText(2), QStringLiteral("连续写作 2 天"));
}

TEST_F(WritingLogTest, DeletingAManuscriptKeepsItsRows) {
    SaveAt(kDay + 0.5, docB, 2, 0, QStringLiteral("夜来"));
    saves->DeleteDocs({docB});
    EXPECT_EQ(LogRows(), (std::vector<Row>{{int(kDay), docB, 2, 0, 0}}));
}

TEST_F(WritingLogTest, ALibraryWithoutTheTablesReadsEmptyAndGainsThemOnSave) {
    EXPECT_EQ(saves->Log().Daily(2)[1].Chars, 0);
    EXPECT_TRUE(saves->History().Versions(docA).empty());
    EXPECT_TRUE(saves->Goals().All().empty());
    std::vector<std::string> names;
    TDocDataEngine::Database(data).GetTableNames(names);
    EXPECT_EQ(names.size(), 4u);  // reading created nothing
    SaveAt(kDay + 0.5, docA, 2, 0, QStringLiteral("夜来"));
    names.clear();
    TDocDataEngine::Database(data).GetTableNames(names);
    EXPECT_EQ(names.size(), 7u);
    // Reopened, the library and its log read as before.
    saves.reset();
    data.CloseDocData();
    ASSERT_TRUE(data.OpenDocData(file));
    saves.emplace(data, [this] { return now; });
    EXPECT_EQ(saves->Log().TodayChars(), 2);
    EXPECT_EQ(data.LoadDocText(docA), QStringLiteral("夜来"));
}

TEST_F(WritingLogTest, CsvIsUtf8WithAByteOrderMarkAndChineseIntact) {
    SaveAt(kDay + 0.5, docA, 2, 1, QStringLiteral("夜来 rain"), 3725);
    const QByteArray csv = TWriteLog::Csv(saves->Log().Daily(1));
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(csv.mid(3));
    EXPECT_EQ(text, QStringLiteral("日期,汉字,英文单词,时长\r\n%1,2,1,1:02:05\r\n").arg(TWriteLog::DayText(int(kDay))));
    EXPECT_EQ(TWriteLog::DayText(0), QStringLiteral("1899-12-30"));
}

TEST(TypingTimer, CountsTimeBetweenKeystrokesLeavingOutLongGaps) {
    TTypingTimer timer;
    const int64_t gap = TTypingTimer::kMaxGapMs;
    for (int64_t at : {int64_t{0}, int64_t{1000}, int64_t{2500}, 2500 + gap + 1, 4000 + gap})
        timer.KeyPressed(at);
    EXPECT_EQ(timer.TakeSeconds(), 3);  // 1 + 1.5 + 1.499: whole seconds taken
    timer.KeyPressed(4600 + TTypingTimer::kMaxGapMs);
    EXPECT_EQ(timer.TakeSeconds(), 1);  // the remainder carried over
    EXPECT_EQ(timer.TakeSeconds(), 0);
}

// ---- goals ---------------------------------------------------------------------

TEST_F(WritingLogTest, GoalsAreValidatedWithTheTextsToShow) {
    const int today = int(kDay);
    struct Case {
        int chars, deadline;
        QString error;
    } cases[] = {
        {0, 0, QStringLiteral("目标字数必须大于0。")},
        {-5, 0, QStringLiteral("目标字数必须大于0。")},
        {100, today - 1, QStringLiteral("截止日期不能早于今天。")},
        {100, today, QString()},
        {100, 0, QString()},
    };
    for (const Case& c : cases) {
        TGoal goal{0, TGoalKind::Manuscript, docA, c.chars, c.deadline, 0};
        QString caption;
        EXPECT_EQ(UserErrorOf([&] { saves->Goals().Set(goal); }, &caption), c.error) << c.chars;
        if (!c.error.isEmpty()) {
            EXPECT_EQ(caption, QStringLiteral("设置目标"));
        }
    }
    EXPECT_EQ(saves->Goals().All().size(), 1u);  // the same target's goal is replaced
}

TEST_F(WritingLogTest, GoalProgressWithAndWithoutDeadline) {
    const int today = int(kDay);
    struct Case {
        const char* name;
        TGoal goal;
        int written;
        TGoalProgress expected;  // Written, Remaining, Reached, PerDay, DaysLeft, Overdue
    } cases[] = {
        {"no deadline", {0, TGoalKind::Library, 0, 1000, 0, 0}, 400, {400, 600, false, 0, 0, false}},
        {"daily given", {0, TGoalKind::Library, 0, 1000, 0, 50}, 400, {400, 600, false, 50, 0, false}},
        {"ten days", {0, TGoalKind::Library, 0, 1000, today + 9, 0}, 405, {405, 595, false, 60, 10, false}},
        {"due today", {0, TGoalKind::Library, 0, 1000, today, 0}, 400, {400, 600, false, 600, 1, false}},
        {"past", {0, TGoalKind::Library, 0, 1000, today - 3, 0}, 400, {400, 600, false, 600, 0, true}},
        {"reached", {0, TGoalKind::Library, 0, 1000, today - 3, 0}, 1200, {1200, 0, true, 0, 0, false}},
    };
    for (const Case& c : cases) {
        const TGoalProgress p = TWritingGoals::ProgressOf(c.goal, c.written, today);
        EXPECT_EQ(std::tie(p.Written, p.Remaining, p.Reached, p.PerDay, p.DaysLeft, p.Overdue),
                  std::tie(c.expected.Written, c.expected.Remaining, c.expected.Reached, c.expected.PerDay,
                           c.expected.DaysLeft, c.expected.Overdue))
            << c.name;
    }
}

TEST_F(WritingLogTest, GoalProgressCountsTheTargetsManuscripts) {
    const int sub = data.AddFolder(folder, QStringLiteral("第一卷"));
    const int docC = data.NewDoc(sub).ID;
    SaveAt(kDay + 0.5, docA, 30, 0, QStringLiteral("甲"));
    SaveAt(kDay + 0.5, docB, 5, 0, QStringLiteral("乙"));
    SaveAt(kDay + 0.5, docC, 7, 0, QStringLiteral("丙"));
    struct Case {
        TGoalKind kind;
        int target, written;
    } cases[] = {{TGoalKind::Library, 0, 42}, {TGoalKind::Folder, folder, 37}, {TGoalKind::Manuscript, docC, 7}};
    for (const Case& c : cases) {
        saves->Goals().Set({0, c.kind, c.target, 100, 0, 0});
        const std::optional<TGoal> goal = saves->Goals().Find(c.kind, c.target);
        ASSERT_TRUE(goal);
        EXPECT_EQ(saves->Goals().Progress(*goal).Written, c.written) << int(c.kind);
    }
    EXPECT_EQ(saves->Goals().All().size(), 3u);
    saves->Goals().Delete(saves->Goals().Find(TGoalKind::Library, 0)->ID);
    EXPECT_EQ(saves->Goals().All().size(), 2u);
}

TEST_F(WritingLogTest, GoalRowsThatMakeNoSenseAreSkipped) {
    saves->Goals().Set({0, TGoalKind::Manuscript, docA, 100, 0, 0});
    tomedb::TTomeTable goals;
    goals.SetDatabaseName(tableaccess::PathName(file));
    goals.SetTableName("Goals");
    goals.Open();
    goals.Append();
    goals.FieldByName("Kind").SetAsInteger(9);
    goals.FieldByName("Chars").SetAsInteger(100);
    goals.Post();
    goals.Close();
    EXPECT_EQ(saves->Goals().All().size(), 1u);
}

}  // namespace
