// Find in files without the window: the text test of one file's bytes, the
// file collector, and the worker thread with its hand-over, pause and stop.
#include "tools/searcher/FileCollector.h"
#include "tools/searcher/SearchWordInFile.h"
#include "tools/searcher/TextMatcher.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>
#include <string>

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string B(const char* bytes, std::size_t size) { return std::string(bytes, size); }

struct TMatchCase {
    const char* name;
    std::string bytes;
    const char* find;  // UTF-8
    bool caseInsensitive;
    bool expected;
};

TEST(TextMatcher, ComparesTextNotBytes) {
    const std::string gbZhongWen = "\xD6\xD0\xCE\xC4";  // 中文 in GBK
    const std::string utf8ZhongWen = "\xE4\xB8\xAD\xE6\x96\x87";
    const TMatchCase cases[] = {
        {"GBK file", "abc " + gbZhongWen + " def", "中文", false, true},
        {"UTF-8 file, same search", "abc " + utf8ZhongWen + " def", "中文", false, true},
        {"GBK bytes straddling two characters", gbZhongWen, "形", false, false},  // D0 CE
        {"straddles first, real match later on the line", gbZhongWen + gbZhongWen + "\xD0\xCE", "形", false, true},
        {"case differs, insensitive", "Hello World", "hello", true, true},
        {"case differs, sensitive", "Hello World", "hello", false, false},
        {"partial candidates before the match", "n ne Nee needlE", "NEEDLE", true, true},
        {"candidate cut by the end", "xx nee", "NEEDLE", true, false},
        {"letters outside a-z are not folded", "\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\xA9", true, false},
        {"letter as a GBK trail byte, sensitive", "\x81\x41", "A", false, false},
        {"letter as a GBK trail byte, insensitive", "\x81\x41", "a", true, false},
        {"trail byte letter, then a real one",
         "\x81\x41"
         "a",
         "A", true, true},
        {"GBK character holding a trail letter", "x\x81\x41", "丄", true, true},
        {"text across a line break", "ab\r\ncd", "bc", false, false},
        {"find text holding a line break", "ab\ncd", "b\nc", false, false},
        {"match on the last line without a break", "one\ntwo\nthree", "three", false, true},
        {"empty find text, empty file", "", "", true, true},
        {"empty file", "", "a", true, false},
        {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + utf8ZhongWen, "中文", false, true},
        {"UTF-16LE with mark, insensitive", B("\xFF\xFE\x2D\x4E\x41\x00", 6), "中a", true, true},
        {"UTF-16BE with mark", B("\xFE\xFF\x4E\x2D\x00\x41", 6), "中A", false, true},
        {"GB18030 with mark", "\x84\x31\x95\x33" + gbZhongWen, "文", false, true},
        {"four-byte GB18030 character",
         "a\x95\x32\x82\x36"
         "b",
         "𠀀b", false, true},
        {"UTF-8 bytes in a file that is not UTF-8 are GB18030", "\xE4\xB8\xAD\xFF", "中", false, false},
        {"ASCII search in a UTF-8 file", utf8ZhongWen + "Abc", "ABC", true, true},
    };
    for (const TMatchCase& c : cases) {
        const TTextMatcher matcher(U(c.find), c.caseInsensitive);
        EXPECT_EQ(matcher.Matches(c.bytes), c.expected) << c.name;
    }
}

// A folder of text files to scan:
//   a.txt  b.txt  C.TXT  d.doc  sub/e.txt  sub/deep/f.txt
//   dangling.txt -> nothing    loop -> the folder itself
class ScanFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("sub/deep"));
        Write("a.txt", "the Needle is here");
        Write("b.txt", "nothing to see");
        Write("C.TXT", "NEEDLE in capitals");
        Write("d.doc", "needle, but not a text file");
        Write("sub/e.txt", "\xD5\xE2\xC0\xEF needle");  // GBK
        Write("sub/deep/f.txt", "deep needle");
        ASSERT_EQ(::symlink("/nonexistent/x", QFile::encodeName(Root() + "dangling.txt").constData()), 0);
        ASSERT_EQ(
            ::symlink(QFile::encodeName(m_dir.path()).constData(), QFile::encodeName(Root() + "loop").constData()), 0);
    }

    QString Root() const { return m_dir.path() + QLatin1Char('/'); }

    void Write(const char* name, const QByteArray& bytes) {
        QFile file(Root() + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QStringList Relative(QStringList paths) const {
        for (QString& path : paths)
            path = path.mid(Root().size());
        paths.sort();
        return paths;
    }

    QTemporaryDir m_dir;
};

TEST_F(ScanFolder, CollectsMatchingNamesWithoutFollowingFolderLinks) {
    struct TCase {
        bool recurse;
        QStringList expected;
    };
    const TCase cases[] = {
        {false, {"C.TXT", "a.txt", "b.txt", "dangling.txt"}},
        {true, {"C.TXT", "a.txt", "b.txt", "dangling.txt", "sub/deep/f.txt", "sub/e.txt"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Relative(CollectFiles(Root(), QStringLiteral("*.txt"), c.recurse)), c.expected) << c.recurse;
    // Files of a folder come before those of its sub-folders.
    const QStringList all = CollectFiles(Root(), QStringLiteral("*.txt"), true);
    EXPECT_TRUE(all.indexOf(Root() + "sub/e.txt") < all.indexOf(Root() + "sub/deep/f.txt"));
    EXPECT_TRUE(all.indexOf(Root() + "a.txt") < all.indexOf(Root() + "sub/e.txt"));
    EXPECT_TRUE(CollectFiles(Root() + "missing/", QStringLiteral("*.txt"), true).isEmpty());
}

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "searcher_scan_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Records what a worker hands to this thread.
struct TRecorder {
    QStringList found;
    QList<int> percents;
    bool finished = false;
    std::function<void()> onFound;

    TSearchHandlers Handlers() {
        TSearchHandlers handlers;
        handlers.found = [this](const QString& path, int percent) {
            found << path;
            percents << percent;
            if (onFound)
                onFound();
        };
        handlers.finished = [this] { finished = true; };
        return handlers;
    }

    // Runs events until condition holds; a generous bound keeps a broken
    // worker from hanging the suite.
    bool RunUntil(const std::function<bool()>& condition) {
        App();
        QDeadlineTimer deadline(60000);
        while (!condition() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
        return condition();
    }
};

TSearchRequest Request(const QString& folder, const char* find, bool sub = true, bool caseInsensitive = true) {
    TSearchRequest request;
    request.folder = folder;
    request.findText = U(find);
    request.includeSubFolders = sub;
    request.caseInsensitive = std::make_shared<std::atomic<bool>>(caseInsensitive);
    return request;
}

TEST_F(ScanFolder, WorkerListsTheMatchingFiles) {
    struct TCase {
        const char* name;
        TSearchRequest request;
        QStringList expected;
    };
    const QString noSeparator = m_dir.path();
    const TCase cases[] = {
        {"one file of two", Request(Root(), "Needle", false, false), {"a.txt"}},
        {"sub-folders off", Request(Root(), "needle", false), {"C.TXT", "a.txt"}},
        {"sub-folders on, through the link cycle once",
         Request(Root(), "needle"),
         {"C.TXT", "a.txt", "sub/deep/f.txt", "sub/e.txt"}},
        {"case-sensitive", Request(Root(), "needle", true, false), {"sub/deep/f.txt", "sub/e.txt"}},
        {"folder without trailing separator", Request(noSeparator, "deep"), {"sub/deep/f.txt"}},
        {"GBK text", Request(Root(), "这里"), {"sub/e.txt"}},
        {"empty find text: every readable file",
         Request(Root(), ""),
         {"C.TXT", "a.txt", "b.txt", "sub/deep/f.txt", "sub/e.txt"}},
        {"missing folder", Request(Root() + "missing", ""), {}},
    };
    for (const TCase& c : cases) {
        TRecorder recorder;
        TSearchWordInFile worker(c.request, recorder.Handlers());
        worker.Start();
        ASSERT_TRUE(recorder.RunUntil([&] { return recorder.finished; })) << c.name;
        EXPECT_EQ(Relative(recorder.found), c.expected) << c.name;
        EXPECT_FALSE(worker.IsRunning()) << c.name;
        for (int i = 0; i < recorder.percents.size(); ++i) {
            EXPECT_LT(recorder.percents[i], 100) << c.name;
            EXPECT_TRUE(i == 0 || recorder.percents[i - 1] <= recorder.percents[i]) << c.name;
        }
    }
}

// Many matching files, so that a scan is still going when the test acts.
class BusyFolder : public ScanFolder {
protected:
    void SetUp() override {
        ScanFolder::SetUp();
        for (int i = 0; i < 60; ++i)
            Write(qPrintable(QStringLiteral("many%1.txt").arg(i)), "needle");
    }
};

TEST_F(BusyFolder, PauseHoldsResultsUntilResume) {
    struct TCase {
        const char* name;
        bool pauseBeforeStart;  // else after the first result
        int heldResults;
    };
    const TCase cases[] = {{"paused before the start", true, 0}, {"paused after the first result", false, 1}};
    for (const TCase& c : cases) {
        TRecorder recorder;
        TSearchWordInFile worker(Request(Root(), "needle"), recorder.Handlers());
        recorder.onFound = [&] {
            if (recorder.found.size() == 1 && !c.pauseBeforeStart)
                worker.Pause();
        };
        if (c.pauseBeforeStart)
            worker.Pause();
        worker.Start();
        ASSERT_TRUE(recorder.RunUntil([&] { return worker.IsHeld(); })) << c.name;
        QCoreApplication::processEvents();
        EXPECT_EQ(recorder.found.size(), c.heldResults) << c.name;
        EXPECT_FALSE(recorder.finished) << c.name;
        worker.Resume();
        ASSERT_TRUE(recorder.RunUntil([&] { return recorder.finished; })) << c.name;
        EXPECT_EQ(recorder.found.size(), 64) << c.name;
    }
}

TEST_F(BusyFolder, NothingArrivesAfterStop) {
    enum class When { InFirstHandOver, WhilePaused, ThenDestroyed };
    struct TCase {
        const char* name;
        When when;
    };
    const TCase cases[] = {{"stopped inside the first hand-over", When::InFirstHandOver},
                           {"stopped while paused", When::WhilePaused},
                           {"stopped, then worker and handlers are destroyed", When::ThenDestroyed}};
    for (const TCase& c : cases) {
        auto recorder = std::make_unique<TRecorder>();
        auto worker = std::make_unique<TSearchWordInFile>(Request(Root(), "needle"), recorder->Handlers());
        recorder->onFound = [&] {
            if (recorder->found.size() > 1)
                return;
            if (c.when == When::InFirstHandOver)
                worker->Stop();  // the worker waits for this hand-over to be answered
            else
                worker->Pause();
        };
        worker->Start();
        ASSERT_TRUE(recorder->RunUntil([&] { return !worker->IsRunning() || worker->IsHeld(); })) << c.name;
        worker->Stop();
        EXPECT_FALSE(worker->IsRunning()) << c.name;
        EXPECT_EQ(recorder->found.size(), 1) << c.name;
        if (c.when == When::ThenDestroyed) {
            worker.reset();
            recorder.reset();
            QCoreApplication::processEvents();
            continue;
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(recorder->found.size(), 1) << c.name;
        EXPECT_FALSE(recorder->finished) << c.name;
    }
}

TEST_F(BusyFolder, CaseFlagIsReadForEveryFile) {
    TRecorder recorder;
    TSearchRequest request = Request(Root(), "NEEDLE");
    const auto flag = request.caseInsensitive;
    TSearchWordInFile worker(request, recorder.Handlers());
    flag->store(false);  // the box is cleared before the first file is read
    worker.Start();
    ASSERT_TRUE(recorder.RunUntil([&] { return recorder.finished; }));
    EXPECT_EQ(Relative(recorder.found), QStringList{"C.TXT"});
}

}  // namespace
