// TMainView: what the command groups may see of the main window. The window
// (TfrmMain) implements it; commands hold a reference to it and never include
// the window's header, and the window runs them only through the table it is
// given (TWindowCommands), so neither side names the other. Every pointer it
// returns is owned by the window and lives as long as the window; none is
// null once the window is built (TfrmMain::BuildControls).
#pragma once

class QAction;
class QComboBox;
class QString;
class QTimer;
class QTreeWidget;
class QWidget;
class TPicturePreview;
class TStatusPanels;
class TqlvEditor;

class TMainView {
public:
    virtual ~TMainView() = default;

    // The window itself, as the parent of the dialogs a command opens.
    virtual QWidget* Window() = 0;
    virtual void CloseWindow() = 0;

    // The editor and the lists commands read from and refill.
    virtual TqlvEditor* Editor() const = 0;
    virtual QTreeWidget* DocTree() const = 0;
    virtual QTreeWidget* DocList() const = 0;
    virtual QTreeWidget* MarkList() const = 0;
    virtual QTreeWidget* PicList() const = 0;
    virtual TPicturePreview* PicPreview() const = 0;
    virtual QTreeWidget* FileFolderTree() const = 0;
    virtual QTreeWidget* FileList() const = 0;
    virtual QComboBox* FontNameBox() const = 0;
    virtual QComboBox* FontSizeBox() const = 0;
    virtual TStatusPanels* StatusPanels() const = 0;
    virtual QTimer* AutoSaveTimer() const = 0;
    virtual QAction* Action(const QString& objectName) const = 0;

    // Refreshes after a command changed the library or the open manuscript.
    virtual void ShowManuscriptName(const QString& nameOrPath) = 0;
    virtual void ReloadMarkList() = 0;
    virtual void LoadLibraryViews() = 0;
    virtual void ClearLibraryViews() = 0;
    virtual void UpdateLibraryState() = 0;
    virtual void UpdateEditActions() = 0;
    // Shows a minimised window again and brings the window to the front.
    virtual void BringToFront() = 0;
    // 全屏写作: enters or leaves full-screen writing (TFullScreenWriting).
    virtual void ToggleFullScreenWriting() = 0;
    // Applies the writing-mode preferences to the editor (after the options).
    virtual void ApplyWritingModes() = 0;
};
