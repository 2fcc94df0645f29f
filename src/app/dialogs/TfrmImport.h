// TfrmImport: the import dialog ("导入"). The user picks .txt files (a list of
// captions and paths) and a folder; 导入 turns each file into a new record of
// the store the folder tree stands for (a root "稿件夹" is the open library,
// any other root the materials store) and keeps the list for another round.
//
// The caller fills FolderTree() and shows the dialog modally; the dialog uses
// the two stores it is given (which must outlive it) and writes nothing to
// disk. The work is TRecordExchange's: every file is checked first, and one
// that cannot be imported (gone, not a regular file, not text) is named in a
// message and nothing is stored. A long import shows its progress and can be
// cancelled between files (which stores nothing).
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;
class TDialogService;
class TExchangeProgress;
class TqlvDocData;
class TqlvDocuments;

class TfrmImport : public QDialog {
    Q_OBJECT
public:
    TfrmImport(TDialogService& dialogs, TqlvDocData& library, TqlvDocuments& materials, QWidget* parent = nullptr);

    QTreeWidget* FolderTree() const { return m_tvDocFloder; }
    QTreeWidget* FileList() const { return m_lvDoc; }
    TExchangeProgress* Progress() const { return m_progress; }
    void SetFolderLabel(const QString& text);
    // Records added to a store since the dialog opened.
    int ImportedCount() const { return m_imported; }

    // Adds the files that exist and can be read; names the others in a message.
    void AddFiles(const QStringList& paths);
    void btnAddClick();
    void btnDelClick();
    void btnClearClick();
    void btnImportClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    TDialogService& m_dialogs;
    void BuildControls();
    void SetWorking(bool working);
    int TargetFolder() const;

    TqlvDocData& m_library;
    TqlvDocuments& m_materials;
    QLabel* m_label1 = nullptr;
    QTreeWidget* m_tvDocFloder = nullptr;
    QTreeWidget* m_lvDoc = nullptr;
    QPushButton* m_btnAdd = nullptr;
    QPushButton* m_btnDel = nullptr;
    QPushButton* m_btnClear = nullptr;
    QPushButton* m_btnImport = nullptr;
    QPushButton* m_btnClose = nullptr;
    TExchangeProgress* m_progress = nullptr;
    int m_imported = 0;
};
