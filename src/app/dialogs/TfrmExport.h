// TfrmExport: the export dialog ("导出"). The user picks records of a folder
// (m_lvDocs) into a list (m_lvFiles) and a target folder (m_editPath); 导出 writes
// each listed record as "<name>.txt" (GB18030, CR LF) inside that folder. The
// store is the one the folder tree stands for (a root "稿件夹" is the open
// library, any other root the materials store).
//
// The caller fills FolderTree(), the path and captions, lists the selected
// folder (ShowFolder) and shows the dialog modally; the dialog uses the two
// stores it is given (which must outlive it) and changes neither. File names
// never leave the chosen folder; records of the same name in one export get
// " (2)", " (3)" ...; a record that cannot be written is named at the end
// and does not stop the others. A long export can be cancelled between files.
#pragma once

#include "library/DocDataTypes.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TDialogService;
class TExchangeProgress;
class TRecordStore;
class TqlvDocData;
class TqlvDocuments;

class TfrmExport : public QDialog {
    Q_OBJECT
public:
    TfrmExport(TDialogService& dialogs, TqlvDocData& library, TqlvDocuments& materials, QWidget* parent = nullptr);

    QTreeWidget* FolderTree() const { return m_tvDocFloder; }
    QTreeWidget* DocList() const { return m_lvDocs; }
    QTreeWidget* FileList() const { return m_lvFiles; }
    TExchangeProgress* Progress() const { return m_progress; }
    QString Path() const;
    void SetPath(const QString& folder);
    void SetPathLabel(const QString& text);
    // Caption of the first column of both lists.
    void SetRecordCaption(const QString& caption);
    void SetSizeColumnWidth(int width);

    // Lists the records of a folder in m_lvDocs.
    void ShowFolder(int folderID);
    // Appends a record of m_lvDocs to m_lvFiles.
    void AddRecord(const QTreeWidgetItem* docItem);
    void btnSelectAllClick();
    void btnRemoveAllClick();
    void btnBrowseClick();
    void btnExportClick();

protected:
    void reject() override;

private:
    TDialogService& m_dialogs;
    void BuildControls();
    void SetWorking(bool working);
    bool ForLibrary() const;
    TRecordStore& Store() const;

    TqlvDocData& m_library;
    TqlvDocuments& m_materials;
    QTreeWidget* m_tvDocFloder = nullptr;
    QTreeWidget* m_lvDocs = nullptr;
    QTreeWidget* m_lvFiles = nullptr;
    QLabel* m_lblPath = nullptr;
    QLineEdit* m_editPath = nullptr;
    QPushButton* m_btnBrowse = nullptr;
    QPushButton* m_btnSelectAll = nullptr;
    QPushButton* m_btnRemoveAll = nullptr;
    QPushButton* m_btnExport = nullptr;
    QPushButton* m_btnClose = nullptr;
    TExchangeProgress* m_progress = nullptr;
};
