// TfrmBookOutput: the book output dialog ("输出书稿"). It collects what goes
// into the book (the whole library, the selected folder or the selected
// manuscripts), the format, the PDF page size, the title, the author and the
// output file (typed or chosen with "..."), and returns them; the caller
// builds the book. The output file's extension follows the chosen format.
// Accepting without an output file is refused with "请选择输出文件。" and the
// dialog stays open. The dialog reads and writes no files.
#pragma once

#include "output/BookFile.h"
#include "output/BookSource.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QRadioButton;
class TDialogService;

// What the user asked for.
struct TBookOutputChoice {
    TBookScope::Kind What = TBookScope::Kind::Library;
    TBookFormat Format = TBookFormat::Epub;
    TBookPage Page = TBookPage::A5;
    QString Title;
    QString Author;
    QString Path;
};

class TfrmBookOutput : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBookOutput(TDialogService& dialogs, QWidget* parent = nullptr);

    // What can be offered besides the whole library: the selected folder's
    // name (empty: none selected) and how many manuscripts are selected.
    void SetSelection(const QString& folderName, int manuscriptCount);
    // Shows a choice; a scope that is not offered falls back to the library.
    void SetChoice(const TBookOutputChoice& choice);
    TBookOutputChoice Choice() const;

public slots:
    void btnBrowseClick();
    void btnOKClick();
    void cbFormatChange();

private:
    TDialogService& m_dialogs;
    void BuildControls();
    TBookFormat Format() const;
    QString Extension() const;

    QRadioButton* m_rbLibrary = nullptr;
    QRadioButton* m_rbFolder = nullptr;
    QRadioButton* m_rbManuscripts = nullptr;
    QComboBox* m_cbFormat = nullptr;
    QComboBox* m_cbPage = nullptr;
    QLineEdit* m_editTitle = nullptr;
    QLineEdit* m_editAuthor = nullptr;
    QLineEdit* m_editPath = nullptr;
};

// path with its extension made that of format: a known book extension is
// replaced, any other name gets the extension appended; empty stays empty.
QString WithBookExtension(const QString& path, TBookFormat format);
