// What the import and export dialogs share: which store a folder tree stands
// for, reading a text file for import, the progress row that long work shows
// (with a Cancel that stops between files), and grouped writes for bulk
// appends.
//
// TExchangeProgress is a child widget of its dialog and owns nothing else.
// TBatchedWrites holds a write batch of the given database, renewed every few
// records so the file lock is never held long; it must not outlive the
// database.
#pragma once

#include "tomedb/TomeDB.h"

#include <QString>
#include <QWidget>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace exchange {

// The root caption of a library's folder tree; any other root is the
// materials store's.
inline constexpr char16_t kLibraryRoot[] = u"稿件夹";
bool IsLibraryTree(const QTreeWidget* tree);

// A text file read by the project's text rule with its line breaks made CR
// LF. False with *error set when the file cannot be read.
bool ReadImportText(const QString& path, QString* text, QString* error);

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
    QLabel* lblProgress = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* btnStop = nullptr;
    int m_total = 0;
    bool m_running = false;
    bool m_cancelled = false;
};

// Appends grouped into write batches of at most kRecords records each.
class TBatchedWrites {
public:
    explicit TBatchedWrites(tomedb::TTomeDatabase& database) : m_database(database) {}
    // Around each append: opens a batch when none is open / ends it when full.
    void BeforeWrite();
    void AfterWrite();
    // Ends the open batch (its failure is raised).
    void Finish();

    static constexpr int kRecords = 64;

private:

    tomedb::TTomeDatabase& m_database;
    std::unique_ptr<tomedb::TTomeWriteBatch> m_batch;
    int m_count = 0;
};
