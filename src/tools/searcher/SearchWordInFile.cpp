#include "tools/searcher/SearchWordInFile.h"

#include "tools/searcher/FileCollector.h"
#include "tools/searcher/TextMatcher.h"

#include <QCoreApplication>
#include <QEvent>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);
const QEvent::Type kDeliverEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

int PercentOf(qsizetype index, qsizetype count) { return count > 0 ? static_cast<int>(index * 100 / count) : 0; }

struct TDelivered {
    enum class Kind { Found, Progress, Finished } kind;
    QString path;
    int percent = 0;
};

}  // namespace

struct TSearchWordInFile::TState {
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> stop{false};
    std::atomic<bool> running{false};
    bool cancelled = false;  // set by Stop: queued items are dropped
    bool paused = false;
    bool held = false;
    bool answered = true;
    std::deque<TDelivered> queue;
};

// Receives the worker's notice on the creating thread and runs the handlers
// for what the worker queued.
class TSearchWordInFile::TDelivery : public QObject {
public:
    TDelivery(std::shared_ptr<TState> state, TSearchHandlers handlers)
        : m_state(std::move(state)), m_handlers(std::move(handlers)) {}

    // Worker side: queues an item and wakes the creating thread when the
    // queue was empty. A progress item replaces one still waiting.
    void Post(TDelivered item) {
        QEvent* notice = nullptr;
        {
            std::lock_guard lock(m_state->mutex);
            auto& queue = m_state->queue;
            if (item.kind == TDelivered::Kind::Progress && !queue.empty() &&
                queue.back().kind == TDelivered::Kind::Progress) {
                queue.back() = std::move(item);
                return;
            }
            // The notice is made under the mutex that event() takes before
            // reading it, so its hand-over does not rest on the event queue.
            if (queue.empty())
                notice = new QEvent(kDeliverEvent);
            if (item.kind == TDelivered::Kind::Found)
                m_state->answered = false;
            queue.push_back(std::move(item));
        }
        if (notice)
            QCoreApplication::postEvent(this, notice);
    }

    bool event(QEvent* event) override {
        bool delivery = false;
        {
            std::lock_guard lock(m_state->mutex);
            delivery = event->type() == kDeliverEvent;
        }
        if (!delivery)
            return QObject::event(event);
        Deliver();
        return true;
    }

private:
    void Deliver() {
        std::deque<TDelivered> items;
        {
            std::lock_guard lock(m_state->mutex);
            if (m_state->cancelled)
                return;
            items.swap(m_state->queue);
        }
        for (const TDelivered& item : items) {
            Run(item);
            if (item.kind == TDelivered::Kind::Found) {
                {
                    std::lock_guard lock(m_state->mutex);
                    m_state->answered = true;
                }
                m_state->changed.notify_all();
            }
        }
    }

    void Run(const TDelivered& item) {
        {
            std::lock_guard lock(m_state->mutex);
            if (m_state->cancelled)  // a handler stopped the scan
                return;
        }
        switch (item.kind) {
            case TDelivered::Kind::Found:
                if (m_handlers.found)
                    m_handlers.found(item.path, item.percent);
                break;
            case TDelivered::Kind::Progress:
                if (m_handlers.progress)
                    m_handlers.progress(item.percent);
                break;
            case TDelivered::Kind::Finished:
                if (m_handlers.finished)
                    m_handlers.finished();
                break;
        }
    }

    std::shared_ptr<TState> m_state;
    TSearchHandlers m_handlers;
};

TSearchWordInFile::TSearchWordInFile(TSearchRequest request, TSearchHandlers handlers)
    : m_request(std::move(request)), m_state(std::make_shared<TState>()),
      m_delivery(std::make_unique<TDelivery>(m_state, std::move(handlers))) {
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
    {
        std::lock_guard lock(m_state->mutex);
        m_state->cancelled = true;
        m_state->stop = true;
        m_state->queue.clear();
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

void TSearchWordInFile::Execute() {
    if (!WaitAtSafePoint())
        return;
    const QStringList files =
        CollectFiles(m_request.folder, m_request.mask, m_request.includeSubFolders, &m_state->stop);
    const TTextMatcher exact(m_request.findText, false);
    const TTextMatcher folding(m_request.findText, true);
    auto lastReport = std::chrono::steady_clock::now();
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (!WaitAtSafePoint())
            return;
        const TTextMatcher& matcher = m_request.caseInsensitive->load() ? folding : exact;
        const int percent = PercentOf(i, files.size());
        if (matcher.FileMatches(files[i])) {
            m_delivery->Post({TDelivered::Kind::Found, files[i], percent});
            std::unique_lock lock(m_state->mutex);
            m_state->changed.wait(lock, [this] { return m_state->answered || m_state->stop; });
            lastReport = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - lastReport >= kProgressInterval) {
            m_delivery->Post({TDelivered::Kind::Progress, QString(), percent});
            lastReport = std::chrono::steady_clock::now();
        }
    }
    if (m_state->stop)
        return;
    m_state->running = false;
    m_delivery->Post({TDelivered::Kind::Finished, QString(), 100});
}
