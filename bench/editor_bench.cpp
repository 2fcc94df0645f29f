// The editor on a 5 MB mixed Chinese/English manuscript: loading a text file,
// counting words and typing, each against a peer measured in the same run on
// the same text. Counters:
//   x_decode  LoadFromFile time / (read the file + decode it to a QString)
//   x_count   CountWords time / QString::count(' ') over the same text
//   x_textedit  typing one key in the middle of the shown editor (with the
//               caret report and line count it triggers) / the same key in a
//               bare QTextEdit shown the same way: the editor's own overhead
//   x_document  the same key / inserting the character through a QTextCursor
//               into a bare QTextDocument (no layout): the widget's cost
//   /1 word wrap on, /0 off
// The editor runs in a shown 800x600 frame (word wrap on) under the offscreen
// platform. Both sides of a ratio are measured in thread CPU time.
#include "editor/TqlvEditor.h"
#include "editor/WordCount.h"
#include "platform/TextCodec.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kTextChars = 3400000;  // about 5 MB in GB18030

// Prose-like text: Chinese sentences with full-width punctuation, English
// words and numbers, a line break every 60-120 characters.
const QString& MixedText() {
    static const QString text = [] {
        static const char16_t* const chinese[] = {u"稿件", u"作者", u"写作", u"文字", u"出版",
                                                  u"编辑", u"时间", u"故事", u"人物", u"城市"};
        static const char* const english[] = {"the",   "manuscript", "editor",  "word",
                                              "count", "It's",       "o'clock", "chapter"};
        QString out;
        out.reserve(kTextChars + 256);
        std::uint32_t seed = 2024;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        int lineLength = 0;
        while (out.size() < kTextChars) {
            const std::uint32_t r = next();
            if (r % 5 == 0) {
                out += QLatin1String(english[r % 8]);
                out += u' ';
            } else if (r % 17 == 0) {
                out += QString::number(r % 1000) + u' ';
            } else {
                out += QString::fromUtf16(chinese[r % 10]);
                out += (r % 7 == 0) ? QStringLiteral("，") : QString();
            }
            lineLength = out.size() - std::max<qsizetype>(0, out.lastIndexOf(u'\n'));
            if (lineLength > 60 + int(r % 60))
                out += QStringLiteral("。\n");
        }
        return out;
    }();
    return text;
}

struct TFixture {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<QWidget> frame;
    std::unique_ptr<TqlvEditor> editor;

    TFixture() {
        path = dir.filePath(QStringLiteral("manuscript.txt"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(EncodeTextFile(MixedText()));
        frame = std::make_unique<QWidget>();
        frame->resize(800, 600);
        editor = std::make_unique<TqlvEditor>(frame.get(), nullptr);
        frame->show();
        QApplication::processEvents();
    }
};

// Created on first use, destroyed in main while the application still exists.
std::unique_ptr<TFixture> g_fixture;

TFixture& Fixture() {
    if (!g_fixture)
        g_fixture = std::make_unique<TFixture>();
    return *g_fixture;
}

// Ratios use the thread's CPU time: the machine is shared, and wall time
// would charge other processes' load to whichever side ran during it.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double MedianSeconds(const std::function<void()>& run, int times = 5) {
    std::vector<double> runs;
    for (int i = 0; i < times; ++i) {
        const double start = ThreadSeconds();
        run();
        runs.push_back(ThreadSeconds() - start);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

double ElapsedPerIteration(benchmark::State& state, const std::function<void()>& body) {
    const double start = ThreadSeconds();
    for (auto _ : state)
        body();
    return (ThreadSeconds() - start) / double(state.iterations());
}

void BM_LoadFromFile(benchmark::State& state) {
    TFixture& f = Fixture();
    const double peer = MedianSeconds([&] {
        QFile file(f.path);
        if (file.open(QIODevice::ReadOnly))
            benchmark::DoNotOptimize(DecodeTextFile(file.readAll()).size());
    });
    const double own = ElapsedPerIteration(state, [&] {
        f.editor->LoadFromFile(f.path);
        QApplication::processEvents();  // let the control lay out what it shows
    });
    state.counters["x_decode"] = own / peer;
    state.counters["MB"] = double(QFile(f.path).size()) / 1e6;
}

void BM_CountWords(benchmark::State& state) {
    TFixture& f = Fixture();
    f.editor->SetText(MixedText());
    const QString text = f.editor->GetText();
    const double peer = MedianSeconds([&] { benchmark::DoNotOptimize(text.count(u' ')); });
    const double own = ElapsedPerIteration(state, [&] { benchmark::DoNotOptimize(f.editor->CountWords()); });
    state.counters["x_count"] = own / peer;
}

void BM_CountWordsInText(benchmark::State& state) {
    const QString& text = MixedText();
    const double peer = MedianSeconds([&] { benchmark::DoNotOptimize(text.count(u' ')); });
    const double own = ElapsedPerIteration(state, [&] { benchmark::DoNotOptimize(CountWordsIn(text)); });
    state.counters["x_count"] = own / peer;
}

void TypeKey(QWidget* target, const QString& character) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

// Types 51 keys into a bare QTextEdit holding the same text, shown the same
// way, with the caret in the middle: the widget's own cost per key.
double BareTextEditSecondsPerKey(bool wrap) {
    QWidget frame;
    frame.resize(800, 600);
    QTextEdit bare(&frame);
    bare.resize(800, 600);
    bare.setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    bare.setPlainText(MixedText());
    frame.show();
    QApplication::processEvents();
    QTextCursor cursor = bare.textCursor();
    cursor.setPosition(bare.document()->characterCount() / 2);
    bare.setTextCursor(cursor);
    return MedianSeconds([&] { TypeKey(&bare, QStringLiteral("字")); }, 51);
}

// Arg 1: word wrap on (the default), 0: off.
void BM_TypeInTheMiddle(benchmark::State& state) {
    const bool wrap = state.range(0) != 0;
    TFixture& f = Fixture();
    f.editor->SetWordWrap(wrap);
    f.editor->SetText(MixedText());
    QApplication::processEvents();
    QTextDocument bareDocument;
    bareDocument.setPlainText(MixedText());
    QTextCursor bareCursor(&bareDocument);
    bareCursor.setPosition(bareDocument.characterCount() / 2);
    const double documentPeer = MedianSeconds([&] { bareCursor.insertText(QStringLiteral("字")); }, 51);
    const double widgetPeer = BareTextEditSecondsPerKey(wrap);

    QTextCursor cursor = f.editor->Control()->textCursor();
    cursor.setPosition(f.editor->Control()->document()->characterCount() / 2);
    f.editor->Control()->setTextCursor(cursor);
    const double own = ElapsedPerIteration(state, [&] { TypeKey(f.editor->Control(), QStringLiteral("字")); });
    state.counters["x_textedit"] = own / widgetPeer;
    state.counters["x_document"] = own / documentPeer;
    f.editor->SetWordWrap(true);
}

BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CountWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountWordsInText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeInTheMiddle)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixture.reset();
    return 0;
}
