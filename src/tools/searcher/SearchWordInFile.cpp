#include "tools/searcher/SearchWordInFile.h"

#include "tools/searcher/FileCollector.h"
#include "tools/searcher/TextMatcher.h"

#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);

int PercentOf(qsizetype index, qsizetype count) { return count > 0 ? static_cast<int>(index * 100 / count) : 0; }

}  // namespace

// Shared by the worker thread and the hand-overs queued to the context, which
// may outlive the worker object.
struct TSearchWordInFile::TState {
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> stop{false};
    std::atomic<bool> cancelled{false};   // set by Stop: queued hand-overs do nothing
    std::atomic<bool> running{false};
    std::atomic<bool> progressQueued{false};
    bool paused = false;
    bool held = false;
    bool answered = true;
};

TSearchWordInFile::TSearchWordInFile(TSearchRequest request, QObject* context, TSearchHandlers handlers)
    : m_request(std::move(request)), m_context(context), m_handlers(std::move(handlers)),
      m_state(std::make_shared<TState>()) {
    m_request.folder = FolderWithSeparator(m_request.folder);
}

TSearchWordInFile::~TSearchWordInFile() { Stop(); }

QString TSearchWordInFile::FolderWithSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void TSearchWordInFile::Start() {
    if (m_thread.joinable() || m_state->stop)
        return;
    m_state->running = true;
    m_thread = std::thread([this] { Execute(); });
}

void TSearchWordInFile::Pause() {
    std::lock_guard lock(m_state->mutex);
    m_state->paused = true;
}

void TSearchWordInFile::Resume() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->paused = false;
    }
    m_state->changed.notify_all();
}

bool TSearchWordInFile::IsPaused() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->paused;
}

bool TSearchWordInFile::IsHeld() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->held;
}

bool TSearchWordInFile::IsRunning() const { return m_state->running; }

void TSearchWordInFile::Stop() {
    m_state->cancelled = true;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stop = true;
    }
    m_state->changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_state->running = false;
}

// Returns false when the scan is to end.
bool TSearchWordInFile::WaitAtSafePoint() {
    std::unique_lock lock(m_state->mutex);
    m_state->held = m_state->paused;
    m_state->changed.wait(lock, [this] { return !m_state->paused || m_state->stop; });
    m_state->held = false;
    return !m_state->stop;
}

// Runs call on the context's thread unless the scan was stopped by then;
// with wait, blocks until it has run (or the scan is stopped).
void TSearchWordInFile::HandOver(std::function<void()> call, bool wait) {
    const std::shared_ptr<TState> state = m_state;
    if (wait) {
        std::lock_guard lock(state->mutex);
        state->answered = false;
    }
    const bool posted = m_context && QMetaObject::invokeMethod(
        m_context,
        [state, call = std::move(call), wait] {
            if (!state->cancelled)
                call();
            if (wait) {
                {
                    std::lock_guard lock(state->mutex);
                    state->answered = true;
                }
                state->changed.notify_all();
            }
        },
        Qt::QueuedConnection);
    if (!wait || !posted)
        return;
    std::unique_lock lock(state->mutex);
    state->changed.wait(lock, [&] { return state->answered || state->stop; });
}

void TSearchWordInFile::Execute() {
    if (!WaitAtSafePoint())
        return;
    const QStringList files = CollectFiles(m_request.folder, m_request.mask, m_request.includeSubFolders,
                                           &m_state->stop);
    const TTextMatcher exact(m_request.findText, false);
    const TTextMatcher folding(m_request.findText, true);
    auto lastReport = std::chrono::steady_clock::now();
    const std::shared_ptr<TState> state = m_state;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!WaitAtSafePoint())
            return;
        const TTextMatcher& matcher = m_request.caseInsensitive->load() ? folding : exact;
        const int percent = PercentOf(i, files.size());
        if (matcher.FileMatches(files[i])) {
            HandOver([this, path = files[i], percent] { if (m_handlers.found) m_handlers.found(path, percent); }, true);
            lastReport = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - lastReport >= kProgressInterval &&
                   !state->progressQueued.exchange(true)) {
            HandOver([this, state, percent] {
                state->progressQueued = false;
                if (m_handlers.progress) m_handlers.progress(percent);
            }, false);
            lastReport = std::chrono::steady_clock::now();
        }
    }
    if (state->stop)
        return;
    state->running = false;
    HandOver([this] { if (m_handlers.finished) m_handlers.finished(); }, false);
}
