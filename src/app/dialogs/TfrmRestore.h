// TfrmRestore: the "从备份恢复" dialog. It lists the snapshots it is given
// (newest first, as TLibraryBackup lists them) with date, size and the
// numbers of folders and manuscripts; a damaged snapshot is shown as such and
// cannot be chosen, an encrypted one whose password is not known yet shows
// no figures. It returns the chosen snapshot; the caller restores it.
#pragma once

#include "library/LibraryBackup.h"

#include <QDialog>
#include <optional>

class QPushButton;
class QTreeWidget;

class TfrmRestore : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRestore(const QList<TSnapshotInfo>& snapshots, QWidget* parent = nullptr);

    // The snapshot selected when the dialog was accepted.
    std::optional<TSnapshotInfo> Chosen() const;

    QTreeWidget* lvBackups = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void Fill();
    void UpdateButtons();

    QList<TSnapshotInfo> m_snapshots;
};
