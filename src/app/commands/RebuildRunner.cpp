#include "app/commands/RebuildRunner.h"

#include "app/commands/TMainView.h"
#include "app/dialogs/TfrmProgress.h"
#include "library/TqlvDocData.h"

#include <QApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <exception>
#include <memory>

namespace {

constexpr QEventLoop::ProcessEventsFlags kWhileRebuilding =
    QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers;

// Puts the progress handler in place for one rebuild and takes it away on
// every path, holds the auto-save timer meanwhile and hides the window.
class TRebuildScope {
public:
    TRebuildScope(TMainView& main, TqlvDocData& data, TfrmProgress& progress)
        : m_data(data), m_timer(main.AutoSaveTimer()), m_progress(progress) {
        m_timerWasActive = m_timer && m_timer->isActive();
        if (m_timerWasActive)
            m_timer->stop();
        // Called on the worker thread: only the number crosses over.
        m_data.SetRebuildProgress([this](int percent) { m_percent.store(percent); });
    }
    ~TRebuildScope() {
        m_data.SetRebuildProgress(nullptr);
        m_progress.hide();
        if (m_timerWasActive)
            m_timer->start();
    }
    TRebuildScope(const TRebuildScope&) = delete;
    TRebuildScope& operator=(const TRebuildScope&) = delete;
    int Percent() const { return m_percent.load(); }

private:
    TqlvDocData& m_data;
    QTimer* m_timer;
    TfrmProgress& m_progress;
    std::atomic<int> m_percent{0};
    bool m_timerWasActive = false;
};

}  // namespace

bool RunRebuild(TMainView& main, TqlvDocData& data, const QString& caption, const QString& text,
                const std::function<bool()>& rebuild) {
    QWidget* parent = QApplication::activeModalWidget();
    TfrmProgress progress(caption, text, parent ? parent : main.Window());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.show();
    TRebuildScope scope(main, data, progress);

    bool done = false;
    std::exception_ptr failure;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            done = rebuild();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &progress, [&] { progress.SetPercent(scope.Percent()); });
    tick.start(kRebuildRepaintMs);
    worker->start();
    loop.exec(kWhileRebuilding);
    worker->wait();
    tick.stop();
    if (failure)
        std::rethrow_exception(failure);
    if (done)
        progress.SetPercent(100);
    return done;
}
