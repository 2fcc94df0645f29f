// TSearchWordInFile: the find-in-files worker. It collects the files under a
// folder (FileCollector.h), then tests them in order on its own thread
// (TextMatcher.h) and hands each match, with the percent of files done, to
// the thread that created the worker (its event loop runs the handlers),
// waiting until the handler has run. Between matches it reports progress at
// most every 100 ms without waiting.
//
// Pause and Resume hold and release the worker at a safe point, before the
// next file is tested. Stop ends the scan and joins the thread; once it has
// returned no handler runs any more, even for hand-overs already queued. The
// destructor stops.
//
// Everything the two threads share goes through one mutex of the worker's own
// (not through the event queue), so thread checkers see every hand-over.
// All public functions are for the creating thread. Nothing here throws.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

struct TSearchRequest {
    QString folder;  // as given; "/" is appended when missing
    QString findText;
    bool includeSubFolders = true;
    QString mask = QStringLiteral("*.txt");
    // Shared with the window's "不区分大小写" box; read before each file.
    std::shared_ptr<std::atomic<bool>> caseInsensitive = std::make_shared<std::atomic<bool>>(true);
};

struct TSearchHandlers {
    std::function<void(const QString& path, int percent)> found;
    std::function<void(int percent)> progress;  // between matches
    std::function<void()> finished;             // the list is exhausted (not after Stop)
};

class TSearchWordInFile {
public:
    TSearchWordInFile(TSearchRequest request, TSearchHandlers handlers);
    ~TSearchWordInFile();
    TSearchWordInFile(const TSearchWordInFile&) = delete;
    TSearchWordInFile& operator=(const TSearchWordInFile&) = delete;

    void Start();
    void Pause();
    void Resume();
    bool IsPaused() const;
    // True while the thread waits at its safe point because of Pause.
    bool IsHeld() const;
    void Stop();
    // True from Start until the list is exhausted or Stop.
    bool IsRunning() const;

    // The folder as scanned: the given text with a trailing "/".
    static QString FolderWithSeparator(const QString& folder);

    struct TState;
    class TDelivery;

private:
    void Execute();
    bool WaitAtSafePoint();

    TSearchRequest m_request;
    std::shared_ptr<TState> m_state;
    std::unique_ptr<TDelivery> m_delivery;  // lives on the creating thread
    std::thread m_thread;
};
