// TfrmMain: the application's only main window (`frmMain`). It holds the menu
// bar, the tool bar, the side channel with its four tabs, the editor and the
// status bar. Its items run the commands of the table it is built with
// (TWindowCommands, by the item's name); the command groups behind the table
// see the window only as TMainView. Every control carries its fixed name as
// objectName, so tests and skins find it, and an accessible name, so screen
// readers do.
//
// Ownership: the window owns every control, the editor, the auto-save timer
// and the quick-hide machinery. It uses the services of the TAppContext it is
// given, which must outlive it; the functions of the table must not run after
// the window is gone. An item whose command the table lacks stays disabled.
//
// The window is split over several source files: TfrmMain.cpp (construction,
// initialisation, state refresh), MainMenus.cpp, MainToolBars.cpp,
// MainSidePanel.cpp, MainLayout.cpp (layout, skins, quick hide) and
// MainEvents.cpp (first show, drops, handed-over names, closing).
#pragma once

#include "app/commands/TMainView.h"
#include "app/commands/TWindowCommands.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class TFullScreenWriting;
class TQuickHide;
class TSideChannel;
class TStatusPanels;
class TqlvEditor;
class TAppContext;
class TPicturePreview;

class TfrmMain : public QMainWindow, public TMainView {
    Q_OBJECT
public:
    // An empty window: BuildControls makes its controls.
    explicit TfrmMain(TAppContext& context, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Makes the menus, bars, side channel, editor and status bar, each item
    // running the command of its name in commands (kept by the window).
    void BuildControls(const TWindowCommands& commands);

    // After the services are ready: materials, layout, auto-save timer, drops,
    // key state, library state.
    void InitMainWindow();
    void LoadMaterials();
    void ApplyLayout();
    void SaveLayout();
    void UpdateEditActions() override;
    void UpdateLibraryState() override;
    void ShowManuscriptName(const QString& nameOrPath) override;
    // The open library in tvDoc, DocListView (the top folder's manuscripts)
    // and lvMark; ClearLibraryViews empties them and lvPic.
    void LoadLibraryViews() override;
    void ClearLibraryViews() override;
    // The marks of the selected manuscript, or of the whole library.
    void ReloadMarkList() override;
    // Insert or overwrite, Caps Lock and Num Lock in status panels 2-4.
    void UpdateKeyState();
    // A name handed over by a second start: the window comes to the front
    // and the name opens (TWindowCommands::openHandedOver).
    void PassParams(const QString& name);
    void BringToFront() override;
    // Opens the first of the dropped files; the others are ignored.
    void DropFiles(const QStringList& paths);

    // The joined command line (JoinParams) handled on first show.
    void SetCommandLine(const QString& joinedParams);
    QString CommandLine() const { return m_commandLine; }

    // Skin: style 0..5 and theme file; SetSkin applies and remembers them.
    int SkinStyle() const;
    QString SkinTheme() const;
    void SetSkin(int style, const QString& themeFile);
    QString SkinDialogFolder() const { return m_skinFolder; }

    // Quick hide: F12 hides, Ctrl+F12 (global) or the tray icon shows again.
    void ShowFromHotKey();
    TQuickHide* QuickHide() const { return m_quickHide; }
    // Full-screen writing (Ctrl+F11, Escape leaves).
    void ToggleFullScreenWriting() override;
    void ApplyWritingModes() override;
    TFullScreenWriting* FullScreen() const { return m_fullScreen; }

    // The view the commands see (TMainView).
    QWidget* Window() override { return this; }
    void CloseWindow() override { close(); }

    // Access for commands and tests.
    TAppContext& Context() const { return m_context; }
    TqlvEditor* Editor() const override { return m_editor; }
    QTreeWidget* DocTree() const override { return m_tvDoc; }
    QTreeWidget* DocList() const override { return m_docListView; }
    QTreeWidget* MarkList() const override { return m_lvMark; }
    QTreeWidget* PicList() const override { return m_lvPic; }
    TPicturePreview* PicPreview() const override { return m_picView; }
    QTreeWidget* FileFolderTree() const override { return m_tvFileFolder; }
    QTreeWidget* FileList() const override { return m_lvFiles; }
    QTabWidget* PageTool() const { return m_pageTool; }
    QComboBox* FontNameBox() const override { return m_comboxFontName; }
    QComboBox* FontSizeBox() const override { return m_comboxFontSize; }
    QAction* Action(const QString& objectName) const override;
    // True for a menu item or button marked, where it was added, as working
    // only on an open library; UpdateLibraryState enables exactly those with one.
    static bool NeedsLibrary(const QObject* control);
    QToolButton* ToolButton(const QString& objectName) const;
    TStatusPanels* StatusPanels() const override { return m_stBarMain; }
    TSideChannel* SideChannel() const { return m_chanelTool; }
    QTimer* AutoSaveTimer() const override { return m_timerAutoSave; }

public slots:
    // Layout commands the window runs itself (quick hide, skins).
    void munToolHideClick();
    void munBlueGlassClick();

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
    void BuildPopFolder();
    void BuildToolBar();
    void BuildFontBoxes();
    void BuildSideChannel();
    QWidget* BuildDocTab();
    QWidget* BuildFilesTab();
    QWidget* BuildPicTab();
    QWidget* BuildMarkTab();
    // Without a library: 新建稿件库, 打开稿件库 and the centre's libraries.
    QWidget* BuildStartTab();
    void FillStartLibraries();
    void OpenStartLibrary();
    void BuildCentralArea();
    void CreateEditor();
    void CreateFullScreen();
    // The table's command of that name; empty when it has none.
    TCommand Command(const QString& name) const { return m_commands.Find(name); }
    // A menu item running the table's command of its name, or command.
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut = {});
    QAction* AddItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut,
                     const TCommand& command);
    QToolButton* AddToolButton(QToolBar* bar, const QString& name, const QString& hint, const QIcon& icon,
                               const TCommand& command);
    // Runs command on a click; with none, the control stays disabled for good.
    void ConnectCommand(QAction* action, const TCommand& command);
    void ConnectCommand(QToolButton* button, const TCommand& command);
    static void SetCommandEnabled(QObject* control, bool enabled);
    // Marks control as needing an open library (see NeedsLibrary).
    template <typename Control>
    static Control* RequireLibrary(Control* control) {
        control->setProperty(kNeedsLibraryProperty, true);
        return control;
    }
    static constexpr const char* kNeedsLibraryProperty = "needsLibrary";
    void SetEnabledPair(const QString& actionName, const QString& buttonName, bool enabled);
    void FirstShow();
    void Shutdown();
    void ApplySkinEverywhere();
    void SelectComboText(QComboBox* box, const QString& text);
    // Unsaved text: "状态：已修改" and a "*" before the manuscript's name in the title.
    void ShowModified(bool modified);
    void SetUpperPanelHeight(QSplitter* splitter, int height);
    void TrackSplitters();

    TAppContext& m_context;
    TWindowCommands m_commands;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QToolButton*> m_buttons;

    QToolBar* m_tbTool = nullptr;
    QComboBox* m_comboxFontName = nullptr;
    QComboBox* m_comboxFontSize = nullptr;
    TSideChannel* m_chanelTool = nullptr;
    QTabWidget* m_pageTool = nullptr;
    QWidget* m_tabDoc = nullptr;
    QWidget* m_tabInsert = nullptr;
    QWidget* m_tabPic = nullptr;
    QWidget* m_tabSign = nullptr;
    QWidget* m_tabStart = nullptr;
    QListWidget* m_lvStartLibraries = nullptr;
    QTreeWidget* m_tvDoc = nullptr;
    QTreeWidget* m_docListView = nullptr;
    QTreeWidget* m_tvFileFolder = nullptr;
    QTreeWidget* m_lvFiles = nullptr;
    QTreeWidget* m_lvPic = nullptr;
    QTreeWidget* m_lvMark = nullptr;
    QSplitter* m_splitterLeft = nullptr;
    QSplitter* m_splitterDoc = nullptr;
    QSplitter* m_spFile = nullptr;
    QSplitter* m_splitterPic = nullptr;
    TPicturePreview* m_picView = nullptr;
    QWidget* m_editorFrame = nullptr;
    TStatusPanels* m_stBarMain = nullptr;
    QMenu* m_popEditor = nullptr;
    QMenu* m_popFloder = nullptr;
    QTimer* m_timerAutoSave = nullptr;
    TQuickHide* m_quickHide = nullptr;
    TFullScreenWriting* m_fullScreen = nullptr;
    TqlvEditor* m_editor = nullptr;

    // Heights of the three upper panels (tree or list above its splitter);
    // kept here because a hidden tab's splitter has no geometry to read.
    int m_docPanelSize = 120;
    int m_picPanelSize = 120;
    int m_filePanelSize = 120;
    QString m_skinFolder;
    QString m_commandLine;
    QString m_manuscriptName;  // as panel 1 shows it, for the title
    bool m_firstShowDone = false;
    bool m_shutdownDone = false;
};
