// TManuscriptCommands: menu 稿件 (new, open, save, save as, delete, rename,
// attributes, 历史版本, print set-up, print, exit) and the operations other commands
// and outside events call to open, save and close text: OpenTextFile,
// OpenTextFileDialog, SaveTextFile, CloseManuscript, the save prompt and the
// auto-save tick.
//
// The window works in two modes. Without a library the editor's text belongs
// to the current text file (CurrentFile, empty for an untitled text). With a
// library the editor holds one manuscript, bound by its id, or is disabled
// while none is open. Owned by TMainCommands; uses the window's controls and the
// context's services. Failures are shown and end the command (CommandSteps.h).
//
// Manuscripts are saved through the context's TManuscriptSaves, which adds
// each save to the writing log; the time spent typing comes from the editor's
// keystrokes (KeyTyped) and is handed to the save that follows.
#pragma once

#include "library/DocDataTypes.h"
#include "library/TypingTimer.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QTreeWidgetItem;
class TDocHistory;
struct THistoryEntry;
class TAppContext;
class TMainView;
class TqlvEditor;

class TManuscriptCommands {
public:
    TManuscriptCommands(TMainView& main, TAppContext& context);

    void munFileNewClick();
    void munFileOpenClick();
    // True when the text was written (false: nothing to save, cancelled, failed).
    bool munFileSaveClick();
    bool munFileSaveAsClick();
    void munFileDelClick();
    void munFileRenameClick();
    void munFileAttributeClick();
    // 历史版本 (ManuscriptHistory.cpp): the open manuscript's versions in
    // TfrmHistory; the chosen one replaces the text, as one undoable step.
    void munFileHistoryClick();
    // What 历史版本 lists: docID's versions, newest first, each text read
    // once to mark a damaged one and count its characters; the texts are
    // left to VersionTextReader.
    static std::vector<THistoryEntry> ReadHistory(TDocHistory& history, int docID);
    // Reads a version's text for the dialog; nullopt when it is damaged.
    static std::function<std::optional<QString>(int versionID)> VersionTextReader(TDocHistory& history, int docID);
    void munFilePrintSetClick();
    void munFilePrintClick();
    void munFileExitClick();
    void timerAutoSaveTimer();
    // The end of an in-place edit of a manuscript's caption in DocListView.
    void DocListViewEdited(QTreeWidgetItem* item);
    // Follows the in-place edits of DocListView (once its controls exist).
    void AttachViews();

    void OpenTextFile(const QString& path);
    void OpenTextFileDialog();
    bool SaveTextFile(const QString& path);
    // Closes the open manuscript after the save prompt; false (nothing
    // closed) when the user cancelled it.
    bool CloseManuscript();
    // Offers to save modified text: 是 saves, 否 goes on without saving.
    // False when the user chose 取消 (or pressed Escape): the caller gives up
    // its action and the text stays as it is. True at once when unmodified.
    // An empty text asks "稿件的内容已经更改，是否保存？".
    bool SavePrompt(const QString& caption, const QString& text = QString());

    // Writes the editor's text to the manuscript it is bound to, whatever the
    // list selects; true when written.
    bool SaveBoundText();

    QString CurrentFile() const { return m_currentFile; }
    void SetCurrentFile(const QString& path) { m_currentFile = path; }
    // The manuscript item the user selected in DocListView, or nullptr.
    QTreeWidgetItem* SelectedDoc() const;
    // The manuscript the editor holds; 0 for none (no library, nothing open).
    int OpenDocID() const;

    // A keystroke that wrote or erased text in the editor.
    void KeyTyped();
    // The status panels "今日：N 字" and "目标：x / y" for the open library
    // and manuscript; hidden without a library. A log that cannot be read
    // hides them and is traced: it never stops a save.
    void ShowWritingProgress();

private:
    bool LibraryOpen() const;
    TDocAttr EditorAttributes() const;
    // Every save of a manuscript's text goes through the context's Saves(),
    // which keeps versions as the "保留历史版本" option says.
    void SaveBoundManuscript();
    void RestoreVersion(int docID, int versionID);
    void SetStatus(const QString& text);
    TqlvEditor& Editor() const;

    TMainView& m_main;
    TAppContext& m_context;
    QString m_currentFile;
    TTypingTimer m_typing;
    QElapsedTimer m_typingClock;
};
