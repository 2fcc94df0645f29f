#include "app/commands/TMainCommands.h"

#include "app/commands/TBookCommands.h"
#include "app/commands/TEditCommands.h"
#include "app/commands/TExchangeCommands.h"
#include "app/commands/TFolderCommands.h"
#include "app/commands/THelpCommands.h"
#include "app/commands/TLibraryCommands.h"
#include "app/commands/TLibraryFindCommands.h"
#include "app/commands/TManuscriptCommands.h"
#include "app/commands/TMarkCommands.h"
#include "app/commands/TMaterialCommands.h"
#include "app/commands/TPictureCommands.h"
#include "app/commands/TSessionCommands.h"
#include "app/commands/TToolCommands.h"
#include "app/commands/TWritingCommands.h"

#include <utility>

TMainCommands::TMainCommands(TMainView& view, TAppContext& context)
    : m_manuscripts(std::make_unique<TManuscriptCommands>(view, context)),
      m_pictures(std::make_unique<TPictureCommands>(view, context)),
      m_library(std::make_unique<TLibraryCommands>(view, context, *m_manuscripts)),
      m_session(std::make_unique<TSessionCommands>(view, context, *m_manuscripts, *m_library)),
      m_edit(std::make_unique<TEditCommands>(view, context)),
      m_tools(std::make_unique<TToolCommands>(view, context, *m_manuscripts, *m_session)),
      m_help(std::make_unique<THelpCommands>(view, context)),
      m_folders(std::make_unique<TFolderCommands>(view, context, *m_manuscripts, *m_pictures)),
      m_marks(std::make_unique<TMarkCommands>(view, context, *m_pictures)),
      m_materials(std::make_unique<TMaterialCommands>(view, context)),
      m_exchange(std::make_unique<TExchangeCommands>(view, context)),
      m_books(std::make_unique<TBookCommands>(view, context)),
      m_libraryFind(std::make_unique<TLibraryFindCommands>(view, context, *m_manuscripts, *m_folders)),
      m_writing(std::make_unique<TWritingCommands>(view, context)) {
    AddFileAndEditItems();
    AddInsertItems();
    AddLibraryItems();
    AddToolItems();
    AddSessionEvents();
}

TMainCommands::~TMainCommands() = default;

void TMainCommands::AttachViews() {
    m_manuscripts->AttachViews();
    m_folders->AttachViews();
    m_marks->AttachViews();
    m_pictures->AttachViews();
    m_materials->AttachViews();
    m_manuscripts->ShowWritingProgress();
}

// Menus 稿件, 编辑 and 查找, the font boxes and the editor's events.
void TMainCommands::AddFileAndEditItems() {
    auto& items = m_window.items;
    TManuscriptCommands* manuscripts = m_manuscripts.get();
    items.insert("munFileNew", Cmd(manuscripts, &TManuscriptCommands::munFileNewClick));
    items.insert("munFileOpen", Cmd(manuscripts, &TManuscriptCommands::munFileOpenClick));
    items.insert("munFileSave", Cmd(manuscripts, &TManuscriptCommands::munFileSaveClick));
    items.insert("munFileSaveAs", Cmd(manuscripts, &TManuscriptCommands::munFileSaveAsClick));
    items.insert("munFileDel", Cmd(manuscripts, &TManuscriptCommands::munFileDelClick));
    items.insert("munFileRename", Cmd(manuscripts, &TManuscriptCommands::munFileRenameClick));
    items.insert("munFileAttribute", Cmd(manuscripts, &TManuscriptCommands::munFileAttributeClick));
    items.insert("munFileHistory", Cmd(manuscripts, &TManuscriptCommands::munFileHistoryClick));
    items.insert("munFilePrintSet", Cmd(manuscripts, &TManuscriptCommands::munFilePrintSetClick));
    items.insert("munFilePrint", Cmd(manuscripts, &TManuscriptCommands::munFilePrintClick));
    items.insert("munFileExit", Cmd(manuscripts, &TManuscriptCommands::munFileExitClick));
    items.insert("munFileMail", Cmd(m_tools.get(), &TToolCommands::munFileMailClick));
    items.insert("timerAutoSave", Cmd(manuscripts, &TManuscriptCommands::timerAutoSaveTimer));
    items.insert("EditorTyped", Cmd(manuscripts, &TManuscriptCommands::KeyTyped));

    TEditCommands* edit = m_edit.get();
    items.insert("munEditUndo", Cmd(edit, &TEditCommands::munEditUndoClick));
    items.insert("munEditRedo", Cmd(edit, &TEditCommands::munEditRedoClick));
    items.insert("munEditCut", Cmd(edit, &TEditCommands::munEditCutClick));
    items.insert("munEditCopy", Cmd(edit, &TEditCommands::munEditCopyClick));
    items.insert("munCopyAll", Cmd(edit, &TEditCommands::munCopyAllClick));
    items.insert("munEditPaste", Cmd(edit, &TEditCommands::munEditPasteClick));
    items.insert("munEditDel", Cmd(edit, &TEditCommands::munEditDelClick));
    items.insert("munDelLine", Cmd(edit, &TEditCommands::munDelLineClick));
    items.insert("munDelFromBegin", Cmd(edit, &TEditCommands::munDelFromBeginClick));
    items.insert("munDelFromEnd", Cmd(edit, &TEditCommands::munDelFromEndClick));
    items.insert("munEditSelAll", Cmd(edit, &TEditCommands::munEditSelAllClick));
    items.insert("munSelFromBegin", Cmd(edit, &TEditCommands::munSelFromBeginClick));
    items.insert("munSelFromEnd", Cmd(edit, &TEditCommands::munSelFromEndClick));
    items.insert("munEditWatchClipper", Cmd(edit, &TEditCommands::munEditWatchClipperClick));
    items.insert("munEditFont", Cmd(edit, &TEditCommands::munEditFontClick));
    items.insert("munEditBG", Cmd(edit, &TEditCommands::munEditBGClick));
    items.insert("munEditWrap", Cmd(edit, &TEditCommands::munEditWrapClick));
    items.insert("comboxFontName", Cmd(edit, &TEditCommands::comboxFontNameChange));
    items.insert("comboxFontSize", Cmd(edit, &TEditCommands::comboxFontSizeChange));
    items.insert("munFindSearch", Cmd(edit, &TEditCommands::munFindSearchClick));
    items.insert("munFindNext", Cmd(edit, &TEditCommands::munFindNextClick));
    items.insert("munFindReplace", Cmd(edit, &TEditCommands::munFindReplaceClick));
    items.insert("munFindInFile", Cmd(m_tools.get(), &TToolCommands::munFindInFileClick));
    items.insert("munFindLibrary", Cmd(m_libraryFind.get(), &TLibraryFindCommands::munFindLibraryClick));
}

// Menu 插入 and the buttons of the 资料库, 图片 and 标签 tabs.
void TMainCommands::AddInsertItems() {
    auto& items = m_window.items;
    TEditCommands* edit = m_edit.get();
    items.insert("munInsertTime", Cmd(edit, &TEditCommands::munInsertTimeClick));
    items.insert("munInsertDate", Cmd(edit, &TEditCommands::munInsertDateClick));
    items.insert("munInsertTxt", Cmd(edit, &TEditCommands::munInsertTxtClick));

    TMarkCommands* marks = m_marks.get();
    items.insert("munInsertMarkAdd", Cmd(marks, &TMarkCommands::munInsertMarkAddClick));
    items.insert("munInsertMarkDel", Cmd(marks, &TMarkCommands::munInsertMarkDelClick));
    items.insert("munInsertMarkEdit", Cmd(marks, &TMarkCommands::munInsertMarkEditClick));
    items.insert("munInsertMarkOpen", Cmd(marks, &TMarkCommands::munInsertMarkOpenClick));
    items.insert("pageTool", Cmd(marks, &TMarkCommands::pageToolChange));

    TMaterialCommands* materials = m_materials.get();
    items.insert("munInsertDocuAdd", Cmd(materials, &TMaterialCommands::munInsertDocuAddClick));
    items.insert("munInsertDocuDel", Cmd(materials, &TMaterialCommands::munInsertDocuDelClick));
    items.insert("munInsertDocRen", Cmd(materials, &TMaterialCommands::munInsertDocRenClick));
    items.insert("munInsertDocuNew", Cmd(materials, &TMaterialCommands::munInsertDocuNewClick));
    items.insert("munInsetDocuSave", Cmd(materials, &TMaterialCommands::munInsetDocuSaveClick));
    items.insert("munInsertRenDoc", Cmd(materials, &TMaterialCommands::munInsertRenDocClick));
    items.insert("munInsertDelDoc", Cmd(materials, &TMaterialCommands::munInsertDelDocClick));
    items.insert("munInsertInsertDocu", Cmd(materials, &TMaterialCommands::munInsertInsertDocuClick));
    items.insert("munInsertDocuImport", Cmd(m_exchange.get(), &TExchangeCommands::munInsertDocuImportClick));
    items.insert("munInsertDocuExport", Cmd(m_exchange.get(), &TExchangeCommands::munInsertDocuExportClick));

    TPictureCommands* pictures = m_pictures.get();
    items.insert("munInsertPic", Cmd(pictures, &TPictureCommands::munInsertPicClick));
    items.insert("tbAddPic", Cmd(pictures, &TPictureCommands::tbAddPicClick));
    items.insert("tbDelPic", Cmd(pictures, &TPictureCommands::tbDelPicClick));
    items.insert("tbRePic", Cmd(pictures, &TPictureCommands::tbRePicClick));
}

// Menu 稿件库 and the folder tree's pop-up menu.
void TMainCommands::AddLibraryItems() {
    auto& items = m_window.items;
    TLibraryCommands* library = m_library.get();
    items.insert("munDocBase", Cmd(library, &TLibraryCommands::munDocBaseClick));
    items.insert("munDocOpenBase", Cmd(library, &TLibraryCommands::munDocOpenBaseClick));
    items.insert("munDocCloseBase", Cmd(library, &TLibraryCommands::munDocCloseBaseClick));
    items.insert("munDocRestore", Cmd(library, &TLibraryCommands::munDocRestoreClick));
    items.insert("munDocCenter", Cmd(library, &TLibraryCommands::munDocCenterClick));
    // The maintenance items share one handler and tell themselves apart by
    // their tag; 属性 is tag 10.
    const std::pair<const char*, int> maintenance[] = {{"munDocCompact", 6},
                                                       {"munDocRepair", 7},
                                                       {"munDocModifyPas", 8},
                                                       {"munDocShortCut", 9},
                                                       {"munDocAttribute", 10}};
    for (const auto& [name, tag] : maintenance)
        items.insert(name, [library, tag = tag] { library->munDocAttributeClick(tag); });
    items.insert("munDocImport", Cmd(m_exchange.get(), &TExchangeCommands::munDocImportClick));
    items.insert("munDocExport", Cmd(m_exchange.get(), &TExchangeCommands::munDocExportClick));
    items.insert("munDocBook", Cmd(m_books.get(), &TBookCommands::munDocBookClick));

    TFolderCommands* folders = m_folders.get();
    items.insert("munDocNewFloder", Cmd(folders, &TFolderCommands::munDocNewFloderClick));
    items.insert("munDocDelFloder", Cmd(folders, &TFolderCommands::munDocDelFloderClick));
    items.insert("munDocReNameFloder", Cmd(folders, &TFolderCommands::munDocReNameFloderClick));
    items.insert("PopFloderGoal", Cmd(m_writing.get(), &TWritingCommands::PopFloderGoalClick));
}

// Menus 工具 and 帮助.
void TMainCommands::AddToolItems() {
    auto& items = m_window.items;
    TToolCommands* tools = m_tools.get();
    items.insert("munToolWordCount", Cmd(tools, &TToolCommands::munToolWordCountClick));
    items.insert("munToolWritingStats", Cmd(m_writing.get(), &TWritingCommands::munToolWritingStatsClick));
    items.insert("munToolPY", Cmd(tools, &TToolCommands::munToolPYClick));
    items.insert("munToolReader", Cmd(tools, &TToolCommands::munToolReaderClick));
    items.insert("munToolFullScreen", Cmd(tools, &TToolCommands::munToolFullScreenClick));
    items.insert("munToolIndent", Cmd(tools, &TToolCommands::munToolIndentClick));
    items.insert("munToolOption", Cmd(tools, &TToolCommands::munToolOptionClick));

    THelpCommands* help = m_help.get();
    items.insert("munHelpTopic", Cmd(help, &THelpCommands::munHelpTopicClick));
    items.insert("munHelpHome", Cmd(help, &THelpCommands::munHelpHomeClick));
    items.insert("munHelpWrong", Cmd(help, &THelpCommands::munHelpWrongClick));
    items.insert("munHelpBBS", Cmd(help, &THelpCommands::munHelpBBSClick));
    items.insert("munHelpAbout", Cmd(help, &THelpCommands::munHelpAboutClick));
}

void TMainCommands::AddSessionEvents() {
    TSessionCommands* session = m_session.get();
    m_window.openAtStart = [session](const QString& commandLine) { session->OpenAtStart(commandLine); };
    m_window.openHandedOver = [session](const QString& name) { session->OpenHandedOver(name); };
    m_window.openDropped = [session](const QStringList& paths) { session->OpenDropped(paths); };
    m_window.openLibrary = [session](const QString& path) { session->OpenLibrary(path); };
    m_window.mayClose = [session] { return session->MayClose(); };
    m_window.closeLibraries = [session] { session->CloseLibraries(); };
}
