// TBackupService: the automatic snapshots of the open library. It takes one
// when a library closes (closing it, opening or creating another, exit) if
// the file changed since its newest snapshot, and on a timer every Interval
// minutes while a library is open and being changed. Owned by TAppContext;
// it reads its settings from the registry store at construction and again
// on ApplySettings (after the options dialog).
//
// A snapshot that fails on closing is handed to `report` (the context shows it
// in a message box, caption "备份稿件库") and never stops the close; a failing timer snapshot opens no
// dialog (a timer must not interrupt typing) and is only traced. A library
// that fails its check is still copied (the copy may be all there is), and
// the writer is told: in the same message box on closing, through
// DamagedLibrary (a note for the status bar) on the timer.
#pragma once

#include "library/LibraryBackup.h"
#include "settings/BackupSettings.h"

#include <QObject>
#include <QTimer>
#include <functional>

class TqlvDocData;
class TqlvRegConfig;

class TBackupService : public QObject {
    Q_OBJECT
public:
    // Says a failure to the writer: message and caption.
    using TReport = std::function<void(const QString& message, const QString& caption)>;
    TBackupService(TqlvDocData& data, TqlvRegConfig& config, TReport report);
    ~TBackupService() override;
    TBackupService(const TBackupService&) = delete;
    TBackupService& operator=(const TBackupService&) = delete;

    void ApplySettings();
    const TBackupSettings& Settings() const { return m_settings; }
    // The snapshots of `library` under the current settings.
    TLibraryBackup BackupOf(const QString& library) const;

    // Exit: the open library's closing snapshot now; after it, nothing more
    // is taken (the library closes later, when the application is torn down).
    void Finish();
    // What the timer runs: a snapshot of the open library when it changed.
    void Tick();
    const QTimer& Timer() const { return m_timer; }
    // While library-wide work runs on another thread the timer's snapshots
    // are held back (a timeout held back is skipped; a later one takes it).
    void Hold(bool held) { m_timer.blockSignals(held); }
    // What the writer is told when a snapshot was taken of a library that
    // fails its check.
    static QString DamagedNote(const QString& library);

signals:
    void DamagedLibrary(const QString& note);

private:
    void SnapshotOnClose(const QString& library);

    TqlvDocData& m_data;
    TqlvRegConfig& m_config;
    TReport m_report;
    TBackupSettings m_settings;
    QTimer m_timer;
    bool m_finished = false;
};
