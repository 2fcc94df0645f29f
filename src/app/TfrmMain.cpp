// TfrmMain: construction, start-up initialisation and the refresh operations
// other commands call (UpdateEditActions, UpdateLibraryState, ...).
#include "app/TfrmMain.h"

#include "app/TAppContext.h"
#include "app/TBackupService.h"
#include "app/TFullScreenWriting.h"
#include "app/TPicturePreview.h"
#include "app/TQuickHide.h"
#include "app/TSideChannel.h"
#include "app/TStatusPanels.h"
#include "app/ViewFill.h"
#include "app/X11Support.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "materials/TqlvDocuments.h"
#include "platform/SingleInstance.h"
#include "settings/RegConfig.h"
#include "settings/WritingModeSettings.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenuBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

namespace {

// 0x00BBGGRR as stored in the preferences.
QColor ColorFromBgr(int32_t value) {
    const auto v = quint32(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

// The last status panel holds notes; it grows to show one whole.
void ShowStatusNote(TStatusPanels* bar, const QString& note) {
    bar->SetPanelWidth(8, qMax(50, bar->fontMetrics().horizontalAdvance(note) + 12));
    bar->SetPanelText(8, note);
}

}  // namespace

TfrmMain::TfrmMain(TAppContext& context, QWidget* parent) : QMainWindow(parent), m_context(context) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kInstanceName));
    setMinimumWidth(130);
    QFont windowFont = font();
    windowFont.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"), windowFont.family()});
    setFont(windowFont);
}

void TfrmMain::BuildControls(const TWindowCommands& commands) {
    m_commands = commands;
    BuildMenus();
    BuildToolBar();
    BuildSideChannel();
    BuildCentralArea();
    m_stBarMain = new TStatusPanels(this);
    setStatusBar(m_stBarMain);
    BuildPopEditor();
    BuildPopFolder();

    m_timerAutoSave = new QTimer(this);
    m_timerAutoSave->setObjectName(QStringLiteral("timerAutoSave"));
    connect(m_timerAutoSave, &QTimer::timeout, this, Command("timerAutoSave"));
    m_quickHide = new TQuickHide(this);
    CreateEditor();
    CreateFullScreen();
}

// The menu bar, the tool bar, the side panel and the status bar go while
// writing full screen. Every menu item is also the window's own action, so
// its shortcut still works with the menu bar hidden; Escape leaves.
void TfrmMain::CreateFullScreen() {
    const QList<QWidget*> bars{menuBar(), m_tbTool, m_chanelTool, m_stBarMain};
    m_fullScreen = new TFullScreenWriting(*this, *m_editor, *m_stBarMain, bars,
                                          [this] { return ReadWritingModeSettings(m_context.RegConfig()); });
    for (QAction* action : std::as_const(m_actions))
        addAction(action);
    auto* leave = new QAction(tr("退出全屏写作"), this);
    leave->setObjectName(QStringLiteral("actLeaveFullScreen"));
    leave->setShortcut(QKeySequence(Qt::Key_Escape));
    leave->setEnabled(false);
    addAction(leave);
    connect(leave, &QAction::triggered, m_fullScreen, &TFullScreenWriting::Leave);
    connect(m_fullScreen, &TFullScreenWriting::ActiveChanged, leave, &QAction::setEnabled);
    if (QAction* item = Action(QStringLiteral("munToolFullScreen")))
        connect(m_fullScreen, &TFullScreenWriting::ActiveChanged, item, &QAction::setChecked);
}

void TfrmMain::ToggleFullScreenWriting() { m_fullScreen->Toggle(); }
void TfrmMain::ApplyWritingModes() { m_fullScreen->ApplyModes(); }

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildCentralArea() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitterLeft = new QSplitter(Qt::Horizontal, central);
    m_splitterLeft->setObjectName(QStringLiteral("SplitterLeft"));
    m_splitterLeft->setHandleWidth(5);
    m_splitterLeft->setChildrenCollapsible(false);
    m_editorFrame = new QWidget(m_splitterLeft);
    m_editorFrame->setObjectName(QStringLiteral("editorFrame"));
    m_splitterLeft->addWidget(m_chanelTool);
    m_splitterLeft->addWidget(m_editorFrame);
    m_splitterLeft->setStretchFactor(0, 0);
    m_splitterLeft->setStretchFactor(1, 1);
    layout->addWidget(m_splitterLeft);
    setCentralWidget(central);
}

QAction* TfrmMain::Action(const QString& objectName) const { return m_actions.value(objectName); }

QToolButton* TfrmMain::ToolButton(const QString& objectName) const { return m_buttons.value(objectName); }

void TfrmMain::ConnectCommand(QAction* action, const TCommand& command) {
    if (command)
        connect(action, &QAction::triggered, this, command);
    else
        action->setProperty("unbuilt", true);
    SetCommandEnabled(action, bool(command));
}

void TfrmMain::ConnectCommand(QToolButton* button, const TCommand& command) {
    if (command)
        connect(button, &QToolButton::clicked, this, command);
    else
        button->setProperty("unbuilt", true);
    SetCommandEnabled(button, bool(command));
}

// A command that is not built yet stays disabled whatever the window's state.
bool TfrmMain::NeedsLibrary(const QObject* control) {
    return control && control->property(kNeedsLibraryProperty).toBool();
}

void TfrmMain::SetCommandEnabled(QObject* control, bool enabled) {
    const bool on = enabled && !control->property("unbuilt").toBool();
    if (auto* action = qobject_cast<QAction*>(control))
        action->setEnabled(on);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setEnabled(on);
}

void TfrmMain::InitMainWindow() {
    LoadMaterials();
    ApplyLayout();
    TEditorStatus status = TqlvRegConfig::DefaultEditorStatus();
    m_context.RegConfig().ReadEditorStatus(status);
    m_timerAutoSave->setInterval(qMax(1, status.SaveTime) * 60000);
    if (status.AutoSave)
        m_timerAutoSave->start();
    else
        m_timerAutoSave->stop();
    setAcceptDrops(true);
    ApplyWritingModes();
    UpdateKeyState();
    UpdateLibraryState();
}

void TfrmMain::CreateEditor() {
    m_editor = new TqlvEditor(m_editorFrame, m_popEditor, this);
    m_editor->Control()->setObjectName(QStringLiteral("Editor"));
    m_editor->Control()->setAccessibleName(tr("稿件内容"));
    m_editor->Control()->viewport()->installEventFilter(this);  // file drops
    connect(m_editor, &TqlvEditor::SelectionChanged, this, &TfrmMain::UpdateEditActions);
    connect(m_editor, &TqlvEditor::KeyStateChanged, this, &TfrmMain::UpdateKeyState);
    connect(m_editor, &TqlvEditor::Typed, this, Command("EditorTyped"));
    connect(m_editor, &TqlvEditor::ModifiedChanged, this, &TfrmMain::ShowModified);
    connect(m_editor, &TqlvEditor::SearchNote, this,
            [this](const QString& note) { ShowStatusNote(m_stBarMain, note); });
    connect(&m_context.Backups(), &TBackupService::DamagedLibrary, this,
            [this](const QString& note) { ShowStatusNote(m_stBarMain, note); });
    connect(m_editor, &TqlvEditor::CaretPositionChanged, this, [this](const QString& line, const QString& column) {
        m_stBarMain->SetPanelText(6, line);
        m_stBarMain->SetPanelText(7, column);
    });

    TEditorStatus status = TqlvRegConfig::DefaultEditorStatus();
    m_context.RegConfig().ReadEditorStatus(status);
    bool sizeOk = false;
    int fontSize = status.FontSize.toInt(&sizeOk);
    if (!sizeOk || fontSize <= 0)
        fontSize = TqlvRegConfig::DefaultEditorStatus().FontSize.toInt();
    m_editor->SetFontName(status.FontName);
    m_editor->SetFontSize(fontSize);
    m_editor->SetColor(ColorFromBgr(status.EditorColor));
    if (status.IME)
        m_editor->SetImeName(status.IMEName);

    m_comboxFontName->clear();
    m_comboxFontName->addItems(QFontDatabase::families());
    SelectComboText(m_comboxFontName, status.FontName);
    SelectComboText(m_comboxFontSize, QString::number(fontSize));
    Action(QStringLiteral("munEditWrap"))->setChecked(m_editor->WordWrap());

    UpdateEditActions();
    m_editor->SetModified(false);
    m_editor->ReportState();  // 行/列 show the caret from the first paint
}

void TfrmMain::LoadMaterials() {
    TqlvDocuments& documents = m_context.Documents();
    FillTreeWidget(m_tvFileFolder, documents.LoadFolderTree());
    FillListWidget(m_lvFiles, documents.LoadDocList(ItemID(m_tvFileFolder->topLevelItem(0))));
}

void TfrmMain::LoadLibraryViews() {
    TqlvDocData& data = m_context.DocData();
    FillTreeWidget(m_tvDoc, data.LoadFolderTree());
    {
        const QSignalBlocker quiet(m_docListView);
        FillListWidget(m_docListView, data.LoadDocList(ItemID(m_tvDoc->topLevelItem(0))));
    }
    ReloadMarkList();
}

void TfrmMain::ClearLibraryViews() {
    m_tvDoc->clear();
    m_docListView->clear();
    m_lvMark->clear();
    m_lvPic->clear();
    m_picView->ClearPicture();
}

void TfrmMain::ReloadMarkList() {
    const QList<QTreeWidgetItem*> selected = m_docListView->selectedItems();
    std::optional<int> doc;
    if (!selected.isEmpty())
        doc = ItemID(selected.first());
    if (const std::optional<TViewItems> marks = m_context.DocData().LoadMarkList(doc))
        FillListWidget(m_lvMark, *marks);
}

void TfrmMain::SelectComboText(QComboBox* box, const QString& text) {
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(box->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

void TfrmMain::SetEnabledPair(const QString& actionName, const QString& buttonName, bool enabled) {
    if (QAction* action = Action(actionName))
        SetCommandEnabled(action, enabled);
    if (QToolButton* button = ToolButton(buttonName))
        SetCommandEnabled(button, enabled);
}

void TfrmMain::UpdateEditActions() {
    const bool selection = m_editor->HasSelection();
    SetEnabledPair(QStringLiteral("munEditUndo"), QStringLiteral("tbUndo"), m_editor->CanUndo());
    SetEnabledPair(QStringLiteral("munEditRedo"), QStringLiteral("tbRedo"), m_editor->CanRedo());
    SetEnabledPair(QStringLiteral("munEditCut"), QStringLiteral("tbCut"), selection);
    SetEnabledPair(QStringLiteral("munEditCopy"), QStringLiteral("tbCopy"), selection);
    SetEnabledPair(QStringLiteral("munEditPaste"), QStringLiteral("tbPaste"), m_editor->CanPaste());
    SetEnabledPair(QStringLiteral("munEditDel"), QStringLiteral("tbDel"), selection);
    SelectComboText(m_comboxFontName, m_editor->GetSelFontName());
    SelectComboText(m_comboxFontSize, QString::number(m_editor->GetSelFontSize()));
}

void TfrmMain::UpdateLibraryState() {
    const TqlvDocData& data = m_context.DocData();
    const bool open = data.Opened();
    const QString name = open ? QFileInfo(data.GetDocDataName()).completeBaseName() : QString();

    m_pageTool->setTabVisible(m_pageTool->indexOf(m_tabDoc), open);
    m_pageTool->setTabVisible(m_pageTool->indexOf(m_tabPic), open);
    m_pageTool->setTabVisible(m_pageTool->indexOf(m_tabSign), open);
    m_pageTool->setTabVisible(m_pageTool->indexOf(m_tabStart), !open);
    if (!open)
        FillStartLibraries();

    for (QAction* action : std::as_const(m_actions))
        if (NeedsLibrary(action))
            SetCommandEnabled(action, open);
    for (QToolButton* button : std::as_const(m_buttons))
        if (NeedsLibrary(button))
            SetCommandEnabled(button, open);

    m_pageTool->setCurrentWidget(open ? m_tabDoc : m_tabStart);
    if (open) {
        m_stBarMain->SetPanelWidth(0, 180);
        m_stBarMain->SetPanelText(0, tr("稿件库：%1").arg(name));
    } else {
        m_stBarMain->SetPanelWidth(0, 0);
        ShowManuscriptName(QString());
        m_stBarMain->SetPanelText(5, tr("状态：新建"));
    }
}

void TfrmMain::ShowManuscriptName(const QString& nameOrPath) {
    m_manuscriptName = nameOrPath.isEmpty() ? tr("新建稿件") : nameOrPath;
    m_stBarMain->SetPanelText(1, tr("稿件：%1").arg(m_manuscriptName));
    ShowModified(m_editor->IsModified());
}

// The title stays the bare instance name while the text is saved, so the
// window is found by it as before.
void TfrmMain::ShowModified(bool modified) {
    const QString instance = QString::fromLatin1(kInstanceName);
    if (!modified) {
        setWindowTitle(instance);
        return;
    }
    const QString name = m_manuscriptName.isEmpty() ? tr("新建稿件") : m_manuscriptName;
    setWindowTitle(QStringLiteral("*") + name + QStringLiteral(" - ") + instance);
    m_stBarMain->SetPanelText(5, tr("状态：已修改"));
}

void TfrmMain::UpdateKeyState() {
    m_stBarMain->SetPanelText(2, m_editor->OverwriteMode() ? tr("改写") : tr("插入"));
    // Without X11 the lock states are unknown; panels 3 and 4 keep their text.
    if (const std::optional<TLockState> locks = QueryLockState()) {
        m_stBarMain->SetPanelText(3, locks->capsLock ? tr("大写") : tr("小写"));
        m_stBarMain->SetPanelText(4, locks->numLock ? tr("小键盘(开启)") : tr("小键盘(关闭)"));
    }
}
