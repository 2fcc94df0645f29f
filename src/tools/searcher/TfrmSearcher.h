// TfrmSearcher, the "查找文件" window: lists the *.txt files under a folder
// that contain a text. Modeless; it stays above its parent window. A scan runs
// on a TSearchWordInFile worker; a new scan, and closing or destroying the
// window, stop the running one first, so no result reaches a closed window.
// A double click on a result hands its path to openFile (the main window
// opens it as it opens a file handed over by a second start).
//
// The window owns its controls and its worker; the public pointers are for
// tests to read and drive, not to delete.
#pragma once

#include "tools/searcher/SearchWordInFile.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class TSkin;

class TfrmSearcher : public QDialog {
    Q_OBJECT
public:
    using OpenFileHandler = std::function<void(const QString& path)>;

    explicit TfrmSearcher(QWidget* parent = nullptr, OpenFileHandler openFile = {});
    ~TfrmSearcher() override;

    // The running (or last) scan's worker; null before the first scan.
    TSearchWordInFile* Worker() const { return m_worker.get(); }

    QLabel* lblFindStr = nullptr;
    QLineEdit* editFindStr = nullptr;
    QLabel* lblFindPath = nullptr;
    QLineEdit* editFindPath = nullptr;
    QPushButton* btnBrowse = nullptr;
    QCheckBox* chkSub = nullptr;
    QCheckBox* chkWordMatch = nullptr;
    QListWidget* listFiles = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* progressBar = nullptr;
    QPushButton* btnSearch = nullptr;
    QPushButton* btnPause = nullptr;
    QPushButton* btnExit = nullptr;

public slots:
    void btnSearchClick();
    void btnPauseClick();
    void btnBrowseClick();
    void btnExitClick();
    void chkWordMatchClick();
    void listFilesDblClick(QListWidgetItem* item);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void StopScan();
    void AddMatch(const QString& path, int percent);
    void SearchEnded();

    OpenFileHandler m_openFile;
    std::shared_ptr<std::atomic<bool>> m_caseInsensitive;
    std::unique_ptr<TSearchWordInFile> m_worker;
};

// Creates the window for parent (deleted when it closes), drawn in skin and
// following its changes, shows it without waiting and returns it.
TfrmSearcher* OpenFindInFiles(QWidget* parent, const TSkin& skin, TfrmSearcher::OpenFileHandler openFile);
