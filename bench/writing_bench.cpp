// The writing log and manuscript history against the plain save, in one run:
//   save/plain      TqlvDocData::SaveDoc of a 10,000-character manuscript with
//                   a small edit (durable, as the application saves)
//   save/log        the same through TManuscriptSaves with history off: the
//                   day's log row is updated too
//   save/history    the same with a version kept on every save (the clock
//                   moves three minutes a save, past the two-minute rule)
// then the size a library grows by over 1,000 such saves against one
// compressed copy of the text per kept version, listing 500 versions (with
// and without reading their texts), opening the 历史版本 dialog on them (the
// texts read as the command reads them, the list filled, the newest compared
// with the current text; offscreen), and the statistics of five years of
// daily rows for 20 manuscripts (Daily(365), Streak, TodayChars; then the
// statistics dialog as 工具 ▸ 写作统计 opens it: the one-pass read, the
// dialog built, filled and rendered), and the character diff of
// 10,000-character texts.
// Ratios (wall and CPU time) are printed against save/plain of the same run.
// WRITING_BENCH_SAVES sets the saves per row (200), WRITING_BENCH_SAVES_ONLY
// stops after the save rows.
#include <zlib.h>
#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/commands/TManuscriptCommands.h"
#include "app/commands/TWritingCommands.h"
#include "app/dialogs/TfrmHistory.h"
#include "library/CharDiff.h"
#include "library/DocDataEngine.h"
#include "library/ManuscriptSaves.h"
#include "library/TableAccess.h"
#include "platform/TextCodec.h"

namespace {

using Clock = std::chrono::steady_clock;

QString ChineseText(int seed, int length) {
    QString text;
    uint32_t state = uint32_t(seed) * 2654435761u + 1;
    while (text.size() < length) {
        state = state * 1103515245u + 12345u;
        text += QChar(0x4E00 + int((state >> 8) % 0x5000));
    }
    return text;
}

TDocAttr Attr(const QString& text) {
    TDocAttr attr;
    attr.DocSize = QString::number(text.size());
    attr.cnCount = QString::number(text.size());
    attr.enCount = QStringLiteral("0");
    attr.Txt = text;
    return attr;
}

struct TLibrary {
    QTemporaryDir dir;
    TqlvDocData data;
    QString file;
    int doc = 0;
    TLibrary() {
        data.CreateDocData(dir.path() + "/bench", QString(), QString(), true, false, false, 2, &file);
        data.OpenDocData(file);
        doc = data.NewDoc(0).ID;
    }
    qint64 Size() const { return QFileInfo(file).size(); }
};

template <typename Body>
double MsPerCall(int calls, Body&& body) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i)
        body(i);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / calls;
}

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Wall and CPU time of a save row, summed over the rounds.
struct TSaveTimes {
    double wall = 0, cpu = 0;
    template <typename Body>
    void Add(int calls, Body&& body) {
        const double cpuStart = CpuMs();
        wall += MsPerCall(calls, body);
        cpu += (CpuMs() - cpuStart) / calls;
    }
};

// The text after `i` small edits: one character changed in place.
QString Edited(QString text, int i) {
    text[(i * 97) % text.size()] = QChar(0x4E00 + i % 0x5000);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int saves = qEnvironmentVariableIntValue("WRITING_BENCH_SAVES") > 0
                          ? qEnvironmentVariableIntValue("WRITING_BENCH_SAVES")
                          : 200;
    const QString base = ChineseText(1, 10000);

    // Interleaved rounds, so that disk and machine load fall on all three alike.
    TSaveTimes plain, logged, history;
    const int rounds = 4;
    {
        TLibrary a, b, c;
        double now = 46000.5;
        TManuscriptSaves logSaves(b.data, [&] { return now; });
        TManuscriptSaves historySaves(c.data, [&] { return now; });
        for (int round = 0; round < rounds; ++round) {
            const int n = saves / rounds;
            plain.Add(n, [&](int i) { a.data.SaveDoc(a.doc, Attr(Edited(base, round * n + i))); });
            logged.Add(n, [&](int i) { logSaves.Save(b.doc, Attr(Edited(base, round * n + i)), {5, false, false}); });
            history.Add(n, [&](int i) {
                now += 3.0 / 1440;
                historySaves.Save(c.doc, Attr(Edited(base, round * n + i)), {5, false, true});
            });
        }
    }
    const auto row = [&](const char* name, const TSaveTimes& t) {
        std::printf("%-13s %8.3f ms wall %8.3f ms cpu", name, t.wall / rounds, t.cpu / rounds);
        if (&t != &plain)
            std::printf("  ratio %.2f wall %.2f cpu", t.wall / plain.wall, t.cpu / plain.cpu);
        std::printf("\n");
    };
    row("save/plain", plain);
    row("save/log", logged);
    row("save/history", history);
    if (!qEnvironmentVariableIsEmpty("WRITING_BENCH_SAVES_ONLY"))
        return 0;  // the save rows alone (profiling them, repeating them)

    {
        TLibrary lib;
        double now = 46000.5;
        TManuscriptSaves service(lib.data, [&] { return now; });
        service.Save(lib.doc, Attr(base));
        const qint64 before = lib.Size();
        for (int i = 1; i <= 1000; ++i) {
            now += 3.0 / 1440;
            service.Save(lib.doc, Attr(Edited(base, i)));
        }
        const qint64 grown = lib.Size() - before;
        const size_t kept = service.History().Versions(lib.doc, false).size();
        const QByteArray raw = ToGB(base);
        uLongf packedSize = compressBound(uLong(raw.size()));
        QByteArray packed(int(packedSize), '\0');
        compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.constData()),
                  uLong(raw.size()), 1);
        std::printf(
            "growth: %lld bytes over 1000 saves, %zu versions kept, one compressed copy "
            "%lu bytes: %.2f copies per kept version\n",
            static_cast<long long>(grown), kept, static_cast<unsigned long>(packedSize),
            double(grown) / double(kept) / double(packedSize));

        // 500 versions listed.
        TLibrary many;
        double t = 46000.5;
        TManuscriptSaves manySaves(many.data, [&] { return t; });
        manySaves.Save(many.doc, Attr(base));
        {
            tomedb::TTomeWriteBatch batch(TDocDataEngine::Database(many.data));
            for (int i = 1; i <= 500; ++i) {
                t += 1.0 / 1440 * 3;
                manySaves.Save(many.doc, Attr(Edited(base, i)));
            }
            batch.Finish();
        }
        const double listChecked = MsPerCall(5, [&](int) { manySaves.History().Versions(many.doc); });
        const double listBare = MsPerCall(5, [&](int) { manySaves.History().Versions(many.doc, false); });
        std::printf("list %zu versions: %.1f ms reading texts, %.1f ms without\n",
                    manySaves.History().Versions(many.doc, false).size(), listChecked, listBare);
        const QString current = Edited(base, 501);
        const double open = MsPerCall(5, [&](int) {
            TfrmHistory dialog(TManuscriptCommands::ReadHistory(manySaves.History(), many.doc), current,
                               TManuscriptCommands::VersionTextReader(manySaves.History(), many.doc));
        });
        std::printf("open 历史版本 on them: %.1f ms\n", open);
    }

    {
        // Five years of daily rows for 20 manuscripts.
        TLibrary lib;
        const int today = 48000;
        double now = today + 0.5;
        TManuscriptSaves service(lib.data, [&] { return now; });
        service.Save(lib.doc, Attr(QStringLiteral("一")));  // gains the tables
        tomedb::TTomeTable log;
        log.SetDatabaseName(tableaccess::PathName(lib.file));
        log.SetTableName("WriteLog");
        log.Open();
        {
            tomedb::TTomeWriteBatch batch(TDocDataEngine::Database(lib.data));
            for (int day = today - 2000; day < today; ++day)
                for (int doc = 1; doc <= 20; ++doc) {
                    log.Append();
                    log.FieldByName("LogDay").SetAsDateTime(day);
                    log.FieldByName("DocID").SetAsInteger(doc);
                    log.FieldByName("cnDelta").SetAsInteger(100 + doc);
                    log.FieldByName("enDelta").SetAsInteger(doc);
                    log.FieldByName("Seconds").SetAsInteger(600);
                    log.Post();
                }
            batch.Finish();
        }
        log.Close();
        const double stats = MsPerCall(3, [&](int) {
            service.Log().Daily(365);
            service.Log().Streak();
            service.Log().TodayChars();
        });
        std::printf("stats of 40,000 rows (365 days, streak, today): %.1f ms\n", stats);
        service.Goals().Set({0, TGoalKind::Manuscript, lib.doc, 5000, 0, 0});
        service.Goals().Set({0, TGoalKind::Library, 0, 500000, today + 100, 0});
        // The first opening also loads fonts and styles once for the process.
        double read = 0;
        auto open = [&](int) {
            const auto start = Clock::now();
            TWritingStatsData data = ReadWritingStats(service, lib.data);
            read += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            TfrmWritingStats form;
            form.Fill(std::move(data));
            form.grab();  // laid out and painted once, as on screen
        };
        const double first = MsPerCall(1, open);
        read = 0;
        const double later = MsPerCall(5, open);
        std::printf(
            "open 写作统计 on 40,000 rows: first %.1f ms, then %.1f ms (read %.1f ms); "
            "budget 200 ms\n",
            first, later, read / 5);
        const double after = MsPerCall(20, [&](int i) { service.Save(lib.doc, Attr(Edited(base, i))); });
        std::printf("save with 40,000 log rows: %.3f ms\n", after);
    }

    {
        // The character diff of 10,000-character texts: 20 scattered edits,
        // and two unrelated texts (the search gives up and shows a rewrite).
        QString edited = base;
        for (int i = 0; i < 20; ++i)
            edited = Edited(edited, i * 37);
        const QString other = ChineseText(2, 10000);
        const double small = MsPerCall(5, [&](int) { CharDiff(base, edited); });
        const double rewrite = MsPerCall(5, [&](int) { CharDiff(base, other); });
        std::printf("diff of 10,000 characters: %.1f ms with 20 edits, %.1f ms unrelated\n", small, rewrite);
    }
    return 0;
}
