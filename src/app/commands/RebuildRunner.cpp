#include "app/commands/RebuildRunner.h"

#include "app/TfrmMain.h"
#include "app/dialogs/TfrmProgress.h"
#include "library/TqlvDocData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace {

// Puts the progress handler in place for one rebuild and takes it away on
// every path, and holds the auto-save timer meanwhile.
class TRebuildScope {
public:
    TRebuildScope(TfrmMain& main, TqlvDocData& data, TfrmProgress& progress)
        : m_data(data), m_timer(main.AutoSaveTimer()), m_progress(progress) {
        m_timerWasActive = m_timer && m_timer->isActive();
        if (m_timerWasActive)
            m_timer->stop();
        m_clock.start();
        m_data.TomeDB.OnOperationProgress = [this](void*, int percent) { Report(percent); };
    }
    ~TRebuildScope() {
        m_data.TomeDB.OnOperationProgress = nullptr;
        if (m_timerWasActive)
            m_timer->start();
    }
    TRebuildScope(const TRebuildScope&) = delete;
    TRebuildScope& operator=(const TRebuildScope&) = delete;

private:
    void Report(int percent) {
        m_progress.SetPercent(percent);
        if (m_clock.elapsed() < kRebuildRepaintMs)
            return;
        m_clock.restart();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::ExcludeSocketNotifiers);
    }

    TqlvDocData& m_data;
    QTimer* m_timer;
    TfrmProgress& m_progress;
    QElapsedTimer m_clock;
    bool m_timerWasActive = false;
};

}  // namespace

bool RunRebuild(TfrmMain& main, TqlvDocData& data, const QString& caption, const QString& text,
                const std::function<bool()>& rebuild) {
    QWidget* parent = QApplication::activeModalWidget();
    TfrmProgress progress(caption, text, parent ? parent : &main);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                    QEventLoop::ExcludeSocketNotifiers);
    struct THideOnExit {
        TfrmProgress& window;
        ~THideOnExit() { window.hide(); }
    } hideOnExit{progress};
    TRebuildScope scope(main, data, progress);
    const bool done = rebuild();
    if (done)
        progress.SetPercent(100);
    return done;
}
