// TBookCommands: 稿件库 ▸ 输出书稿… — a book (DOCX, ODT, EPUB, PDF, HTML,
// Markdown or text) of the open library, the folder selected in the folder
// tree or the manuscripts selected in the manuscript list. It shows the
// "输出书稿" dialog (dialogs/TfrmBookOutput) with the choices last made for
// this library, remembers the new ones, and builds the book through the book
// output library with a progress window whose 取消 stops the build.
//
// The book file appears under the chosen name only when complete: a
// cancelled or failed build leaves no file there (an existing one stays as
// it was). Failures are shown in a box with their Chinese message; success
// ends with a box naming the file. Owned by TMainCommands.
#pragma once

#include <QList>
#include <QString>

class TAppContext;
class TMainView;
struct TBookRequest;
struct TBookOutputChoice;

class TBookCommands {
public:
    TBookCommands(TMainView& main, TAppContext& context);

    void munDocBookClick();

private:
    TBookOutputChoice RememberedChoice() const;
    void Remember(const TBookOutputChoice& choice) const;
    TBookRequest RequestFor(const TBookOutputChoice& choice) const;
    // Builds the book with the progress window; true when the file was written.
    bool Build(const TBookRequest& request, int* chapters);
    int SelectedFolderID() const;
    QString SelectedFolderName() const;
    QList<int> SelectedManuscriptIDs() const;

    TMainView& m_main;
    TAppContext& m_context;
};
