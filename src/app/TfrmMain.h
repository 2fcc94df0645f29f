// TfrmMain: the application's only main window (`frmMain`). It holds the menu
// bar, the tool bar, the side channel with its four tabs, the editor and the
// status bar, and runs the commands behind them. Every control carries its
// described name as objectName, so tests and skins find it.
//
// Ownership: the window owns every control, the editor (TqlvEditor, created by
// CreateEditor), the auto-save timer and the quick-hide machinery. It uses the
// process-wide services of AppGlobals.h (DocData, Documents, RegConfig,
// IniConfig), which must outlive it.
//
// The window is split over several source files: TfrmMain.cpp (construction,
// initialisation, state refresh), MainMenus.cpp, MainToolBars.cpp,
// MainSidePanel.cpp, MainLayout.cpp (layout, skins, quick hide), MainEvents.cpp
// (first show, drops, handed-over names, shutdown) and the command files
// MainCommands*.cpp.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class TQuickHide;
class TSideChannel;
class TStatusPanels;
class TqlvEditor;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Start-up step C.7: editor, materials, layout, timer, drops, key state,
    // library state, g_CurrentFile.
    void InitMainWindow();
    void CreateEditor();
    void LoadMaterials();
    void ApplyLayout();
    void SaveLayout();
    void UpdateEditActions();
    void UpdateLibraryState();
    void ShowManuscriptName(const QString& nameOrPath);
    // The former WM_UPDATEKEYSTATE handler: status panels 2-4.
    void UpdateKeyState();
    // The former WM_PASSPARAMS handler: a name handed over by a second start
    // (or by find in files). Empty names only bring the window to the front.
    void PassParams(const QString& name);
    // Opens the first of the dropped files (the former WM_DROPFILES handler).
    void DropFiles(const QStringList& paths);

    // The joined command line (JoinParams) handled on first show.
    void SetCommandLine(const QString& joinedParams);
    QString CommandLine() const { return m_commandLine; }

    // Opening from outside (command line, second instance, drop).
    void OpenTextFile(const QString& path);
    void OpenLibrary(const QString& path);
    void CloseManuscript();
    // The save prompt of the commands; caption depends on the command.
    void SavePrompt(const QString& caption);
    void SaveTextFile(const QString& path);

    // Skin: style 0..5 and theme file; SetSkin applies and remembers them.
    int SkinStyle() const { return m_style; }
    QString SkinTheme() const { return m_theme; }
    void SetSkin(int style, const QString& themeFile);
    QString SkinDialogFolder() const { return m_skinFolder; }

    // Quick hide: F12 hides, Ctrl+F12 (global) or the tray icon shows again.
    void ShowFromHotKey();
    TQuickHide* QuickHide() const { return m_quickHide; }

    // Access for commands and tests.
    TqlvEditor* Editor() const { return m_editor; }
    QAction* Action(const QString& objectName) const;
    QToolButton* ToolButton(const QString& objectName) const;
    TStatusPanels* StatusPanels() const { return StBarMain; }
    TSideChannel* SideChannel() const { return chanelTool; }
    QTimer* AutoSaveTimer() const { return timerAutoSave; }

public slots:
    // Menu 稿件.
    void munFileNewClick();
    void munFileOpenClick();
    void munFileSaveClick();
    void munFileSaveAsClick();
    void munFileDelClick();
    void munFileRenameClick();
    void munFileAttributeClick();
    void munFilePrintSetClick();
    void munFilePrintClick();
    void munFileMailClick();
    void munFileExitClick();
    // Menu 编辑 and the font boxes.
    void munEditUndoClick();
    void munEditRedoClick();
    void munEditCutClick();
    void munEditCopyClick();
    void munCopyAllClick();
    void munEditPasteClick();
    void munEditDelClick();
    void munDelLineClick();
    void munDelFromBeginClick();
    void munDelFromEndClick();
    void munEditSelAllClick();
    void munSelFromBeginClick();
    void munSelFromEndClick();
    void munEditWatchClipperClick();
    void munEditFontClick();
    void munEditBGClick();
    void munEditWrapClick();
    void comboxFontNameChange();
    void comboxFontSizeChange();
    // Menu 查找.
    void munFindSearchClick();
    void munFindNextClick();
    void munFindReplaceClick();
    void munFindInFileClick();
    // Menu 插入.
    void munInsertTimeClick();
    void munInsertDateClick();
    void munInsertTxtClick();
    void munInsertPicClick();
    void munInsertMarkAddClick();
    void munInsertMarkDelClick();
    void munInsertMarkEditClick();
    void munInsertMarkOpenClick();
    void munInsertDocuAddClick();
    void munInsertDocuDelClick();
    void munInsertDocRenClick();
    void munInsertDocuImportClick();
    void munInsertDocuExportClick();
    void munInsertDocuNewClick();
    void munInsetDocuSaveClick();
    void munInsertRenDocClick();
    void munInsertDelDocClick();
    void munInsertInsertDocuClick();
    // Menu 稿件库.
    void munDocBaseClick();
    void munDocOpenBaseClick();
    void munDocCloseBaseClick();
    void munDocAttributeClick();
    void munDocImportClick();
    void munDocExportClick();
    void munDocCenterClick();
    void munDocNewFloderClick();
    void munDocDelFloderClick();
    void munDocReNameFloderClick();
    // Menu 工具.
    void munToolWordCountClick();
    void munToolPYClick();
    void munToolReaderClick();
    void munToolHideClick();
    void munBlueGlassClick();
    void munToolOptionClick();
    // Menu 帮助.
    void munHelpTopicClick();
    void munHelpHomeClick();
    void munHelpWrongClick();
    void munHelpBBSClick();
    void munHelpAboutClick();
    // Side panel.
    void tbAddPicClick();
    void tbDelPicClick();
    void tbRePicClick();
    void pageToolChange();
    void timerAutoSaveTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Builders (one file each).
    void BuildMenus();
    QMenu* BuildFileMenu();
    QMenu* BuildEditMenu();
    QMenu* BuildFindMenu();
    QMenu* BuildInsertMenu();
    QMenu* BuildDocMenu();
    QMenu* BuildToolMenu();
    QMenu* BuildHelpMenu();
    void BuildPopEditor();
    void BuildToolBar();
    void BuildFontBoxes();
    void BuildSideChannel();
    QWidget* BuildDocTab();
    QWidget* BuildFilesTab();
    QWidget* BuildPicTab();
    QWidget* BuildMarkTab();
    void BuildCentralArea();
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption,
                     const QKeySequence& shortcut, void (TfrmMain::*handler)());
    QToolButton* AddToolButton(QToolBar* bar, const QString& name, const QString& hint,
                               const QIcon& icon, void (TfrmMain::*handler)());
    void SetEnabledPair(const QString& actionName, const QString& buttonName, bool enabled);
    void FirstShow();
    void Shutdown();
    void ApplySkinEverywhere();
    void SelectComboText(QComboBox* box, const QString& text);
    void SetUpperPanelHeight(QSplitter* splitter, int height);
    void TrackSplitters();

    QHash<QString, QAction*> m_actions;
    QHash<QString, QToolButton*> m_buttons;

    QToolBar* tbTool = nullptr;
    QComboBox* comboxFontName = nullptr;
    QComboBox* comboxFontSize = nullptr;
    TSideChannel* chanelTool = nullptr;
    QTabWidget* pageTool = nullptr;
    QWidget* tabDoc = nullptr;
    QWidget* tabInsert = nullptr;
    QWidget* tabPic = nullptr;
    QWidget* tabSign = nullptr;
    QTreeWidget* tvDoc = nullptr;
    QTreeWidget* DocListView = nullptr;
    QTreeWidget* tvFileFolder = nullptr;
    QTreeWidget* lvFiles = nullptr;
    QTreeWidget* lvPic = nullptr;
    QTreeWidget* lvMark = nullptr;
    QSplitter* SplitterLeft = nullptr;
    QSplitter* SplitterDoc = nullptr;
    QSplitter* spFile = nullptr;
    QSplitter* SplitterPic = nullptr;
    QLabel* PicView = nullptr;
    QWidget* editorFrame = nullptr;
    TStatusPanels* StBarMain = nullptr;
    QMenu* PopEditor = nullptr;
    QTimer* timerAutoSave = nullptr;
    TQuickHide* m_quickHide = nullptr;
    TqlvEditor* m_editor = nullptr;

    // Heights of the three upper panels (tree or list above its splitter);
    // kept here because a hidden tab's splitter has no geometry to read.
    int m_spDoc = 120;
    int m_spPic = 120;
    int m_spFile = 120;
    int m_style = 0;
    QString m_theme;
    QString m_skinFolder;
    QString m_commandLine;
    QMetaObject::Connection m_clipboardWatch;
    bool m_firstShowDone = false;
    bool m_shutdownDone = false;
};
