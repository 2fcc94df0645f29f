// TfrmLibraryFind: the dialog "在稿件库中查找". It collects what to find and
// what to put instead, shows the hits (manuscript, line, the line with the
// hit marked), a summary, and the progress of the running search with a
// cancel button. It does no work itself: its buttons emit signals, and its
// caller (TLibraryFindCommands) runs the search and feeds the results back.
//
// Owned by whoever shows it; it owns its controls. While busy only the
// cancel button and the close button are usable.
#pragma once

#include "library/LibrarySearch.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TfrmLibraryFind : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLibraryFind(QWidget* parent = nullptr);

    QString Pattern() const;
    QString Replacement() const;
    bool Regex() const;
    bool CaseSensitive() const;
    bool FolderOnly() const;  // "仅当前稿件夹"

    // Replaces the hit list and the summary line.
    void ShowHits(const std::vector<TSearchHit>& hits, const QString& summary);
    void ShowSummary(const QString& summary);
    void ClearHits();
    void SetBusy(bool busy);
    bool Busy() const { return m_busy; }
    void SetProgress(int done, int total);
    void SetUndoEnabled(bool enabled);
    // The hits shown, in list order (for the caller's double click).
    const std::vector<TSearchHit>& Hits() const { return m_hits; }

signals:
    void FindAllRequested();
    void ReplaceAllRequested();
    void UndoRequested();
    void CancelRequested();
    void HitActivated(int index);

public slots:
    void reject() override;  // closing while busy cancels first

private:
    QWidget* BuildInputs();
    QWidget* BuildButtons();
    QTreeWidget* BuildHitList();
    void HitDoubleClicked(QTreeWidgetItem* item);

    QLineEdit* m_editFind = nullptr;
    QLineEdit* m_editReplace = nullptr;
    QCheckBox* m_chkCase = nullptr;
    QCheckBox* m_chkRegex = nullptr;
    QCheckBox* m_chkFolder = nullptr;
    QPushButton* m_btnFindAll = nullptr;
    QPushButton* m_btnReplaceAll = nullptr;
    QPushButton* m_btnUndoReplace = nullptr;
    QPushButton* m_btnClose = nullptr;
    QPushButton* m_btnCancel = nullptr;
    QTreeWidget* m_lvHits = nullptr;
    QLabel* m_lblSummary = nullptr;
    QProgressBar* m_pbSearch = nullptr;
    std::vector<TSearchHit> m_hits;
    bool m_busy = false;
    bool m_undoEnabled = false;
};
