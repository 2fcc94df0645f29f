// What the import and export dialogs share: which store a folder tree stands
// for, the lines of their end messages, and the progress row that long work
// shows (with a Cancel that stops between files).
//
// TExchangeProgress is a child widget of its dialog and owns nothing else.
#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace exchange {

// The root caption of a library's folder tree (or its translation, as the
// window shows it); any other root is the materials store's.
inline constexpr char16_t kLibraryRoot[] = u"稿件夹";
bool IsLibraryTree(const QTreeWidget* tree);

// "a, b, c" for a message, at most `shown` names and "等 N 个" after them.
QString NameList(const QStringList& names, int shown = 10);

// The end message's list of failures: heading, then one line each (the
// first ten, "……" for the rest). Nothing when there were none.
QString FailureLines(const QString& heading, const QStringList& failures);

}  // namespace exchange

// A progress bar with the current file's name and a Cancel button, hidden
// until Start. Step() shows the file about to be handled, lets pending events
// run (so the window repaints and Cancel can be clicked) and says whether to
// go on.
class TExchangeProgress : public QWidget {
    Q_OBJECT
public:
    explicit TExchangeProgress(QWidget* parent = nullptr);
    void Start(int total);
    // done files are finished; name is the next one. False once cancelled.
    bool Step(int done, const QString& name);
    void Finish();
    bool Running() const { return m_running; }
    void Cancel() { m_cancelled = true; }

signals:
    // Emitted by Step before events are processed.
    void Stepped(int done, int total);

private:
    QLabel* m_lblProgress = nullptr;
    QProgressBar* m_pbProgress = nullptr;
    QPushButton* m_btnStop = nullptr;
    int m_total = 0;
    bool m_running = false;
    bool m_cancelled = false;
};
