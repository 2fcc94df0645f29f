// TMainCommands: the command groups of the main window, made together so a
// group that needs another is handed it when it is made, and the table of
// what the window runs (TWindowCommands) filled from them.
//
// The groups see the window only through the view (TMainView), which must
// outlive this object; they may be made before the window's controls exist
// and touch them only from AttachViews on. The window gets the table and
// never a group; the groups' accessors are for the application and tests.
//
// A new command is a method of its group, a line here giving it the name of
// its item, and the item itself where the window builds its menus or bars
// (AddItem or AddToolButton with that name, marked there when it needs an
// open library).
#pragma once

#include "app/commands/TWindowCommands.h"

#include <memory>

class TAppContext;
class TBookCommands;
class TEditCommands;
class TExchangeCommands;
class TFolderCommands;
class THelpCommands;
class TLibraryCommands;
class TLibraryFindCommands;
class TMainView;
class TManuscriptCommands;
class TMarkCommands;
class TMaterialCommands;
class TPictureCommands;
class TSessionCommands;
class TToolCommands;
class TWritingCommands;

class TMainCommands {
public:
    TMainCommands(TMainView& view, TAppContext& context);
    ~TMainCommands();
    TMainCommands(const TMainCommands&) = delete;
    TMainCommands& operator=(const TMainCommands&) = delete;

    // What the window runs, by item name, and its outside events.
    const TWindowCommands& WindowCommands() const { return m_window; }
    // Once the window's controls exist: the groups connect to the lists
    // they follow, and the status bar shows the writing progress.
    void AttachViews();

    TManuscriptCommands& Manuscripts() const { return *m_manuscripts; }
    TPictureCommands& Pictures() const { return *m_pictures; }
    TLibraryCommands& Library() const { return *m_library; }
    TSessionCommands& Session() const { return *m_session; }
    TEditCommands& Edit() const { return *m_edit; }
    TToolCommands& Tools() const { return *m_tools; }
    THelpCommands& Help() const { return *m_help; }
    TFolderCommands& Folders() const { return *m_folders; }
    TMarkCommands& Marks() const { return *m_marks; }
    TMaterialCommands& Materials() const { return *m_materials; }
    TExchangeCommands& Exchange() const { return *m_exchange; }
    TBookCommands& Books() const { return *m_books; }
    TLibraryFindCommands& LibraryFind() const { return *m_libraryFind; }
    TWritingCommands& Writing() const { return *m_writing; }

private:
    void AddFileAndEditItems();
    void AddInsertItems();
    void AddLibraryItems();
    void AddToolItems();
    void AddSessionEvents();

    // Declared before the groups they are handed to.
    std::unique_ptr<TManuscriptCommands> m_manuscripts;
    std::unique_ptr<TPictureCommands> m_pictures;
    std::unique_ptr<TLibraryCommands> m_library;
    std::unique_ptr<TSessionCommands> m_session;
    std::unique_ptr<TEditCommands> m_edit;
    std::unique_ptr<TToolCommands> m_tools;
    std::unique_ptr<THelpCommands> m_help;
    std::unique_ptr<TFolderCommands> m_folders;
    std::unique_ptr<TMarkCommands> m_marks;
    std::unique_ptr<TMaterialCommands> m_materials;
    std::unique_ptr<TExchangeCommands> m_exchange;
    std::unique_ptr<TBookCommands> m_books;
    std::unique_ptr<TLibraryFindCommands> m_libraryFind;
    std::unique_ptr<TWritingCommands> m_writing;
    TWindowCommands m_window;
};
