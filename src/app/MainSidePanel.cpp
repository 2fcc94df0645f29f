// The side channel `chanelTool` with its page control `pageTool` and the four
// tabs 稿件库, 资料库, 图片 and 标签.
#include "app/ShellIcons.h"
#include "app/TAppContext.h"
#include "app/TPicturePreview.h"
#include "app/TSideChannel.h"
#include "app/TfrmMain.h"
#include "library/TqlvDocData.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QToolBar* NewPanelToolBar(const char* name, QWidget* parent) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    return bar;
}

// Folder trees: one column, no header, drag source.
QTreeWidget* NewFolderTree(const char* name, QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QString::fromLatin1(name));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setDragEnabled(true);
    tree->setDragDropMode(QAbstractItemView::DragDrop);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    return tree;
}

// Report-view lists: flat, with column captions and widths; width 0 = stretch.
QTreeWidget* NewReportList(const char* name, const QStringList& captions, const QList<int>& widths,
                           QAbstractItemView::SelectionMode mode, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setColumnCount(captions.size());
    list->setHeaderLabels(captions);
    for (int i = 0; i < widths.size(); ++i)
        if (widths[i] > 0)
            list->setColumnWidth(i, widths[i]);
    list->header()->setStretchLastSection(true);
    list->setSelectionMode(mode);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

void AllowCaptionEditing(QTreeWidget* list) {
    list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

QWidget* NewTabPage(const char* name, QVBoxLayout** layout) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    *layout = new QVBoxLayout(page);
    (*layout)->setContentsMargins(0, 0, 0, 0);
    (*layout)->setSpacing(0);
    return page;
}

QSplitter* NewVerticalSplitter(const char* name, QWidget* parent) {
    auto* splitter = new QSplitter(Qt::Vertical, parent);
    splitter->setObjectName(QString::fromLatin1(name));
    splitter->setChildrenCollapsible(false);
    splitter->setHandleWidth(4);
    return splitter;
}

}  // namespace

void TfrmMain::BuildSideChannel() {
    m_pageTool = new QTabWidget;
    m_pageTool->setObjectName(QStringLiteral("pageTool"));
    m_pageTool->setDocumentMode(true);
    m_tabDoc = BuildDocTab();
    m_tabInsert = BuildFilesTab();
    m_tabPic = BuildPicTab();
    m_tabSign = BuildMarkTab();
    m_pageTool->addTab(m_tabDoc, tr("稿件库"));
    m_pageTool->addTab(m_tabInsert, tr("资料库"));
    m_pageTool->addTab(m_tabPic, tr("图片"));
    m_pageTool->addTab(m_tabSign, tr("标签"));
    m_tabStart = BuildStartTab();
    m_pageTool->addTab(m_tabStart, tr("稿件库"));
    m_chanelTool = new TSideChannel(tr("工具面板"), m_pageTool);
    connect(m_pageTool, &QTabWidget::currentChanged, this, Command("pageTool"));
}

QWidget* TfrmMain::BuildDocTab() {
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewTabPage("tabDoc", &layout);
    QToolBar* bar = NewPanelToolBar("tbDocMgr", page);
    RequireLibrary(AddToolButton(bar, "tbDocNewFloder", tr("新建稿件夹"),
                                 CompactStandardIcon(QStyle::SP_FileDialogNewFolder), Command("munDocNewFloder")));
    RequireLibrary(AddToolButton(bar, "tbDocDelFloder", tr("删除稿件夹"), CompactStandardIcon(QStyle::SP_TrashIcon),
                                 Command("munDocDelFloder")));
    RequireLibrary(AddToolButton(bar, "tbDocReNameFloder", tr("重命名稿件夹"),
                                 BadgeIcon(tr("名"), QColor(70, 120, 190)), Command("munDocReNameFloder")));
    RequireLibrary(AddToolButton(bar, "tbDocEdit", tr("编辑稿件"), BadgeIcon(tr("编"), QColor(60, 150, 90)),
                                 Command("munFileOpen")));
    layout->addWidget(bar);

    m_splitterDoc = NewVerticalSplitter("SplitterDoc", page);
    m_tvDoc = NewFolderTree("tvDoc", m_splitterDoc);
    m_docListView = NewReportList("DocListView", {tr("名称"), tr("插图"), tr("标签")}, {110, 0, 0},
                                  QAbstractItemView::ExtendedSelection, m_splitterDoc);
    m_docListView->setDragEnabled(true);
    m_docListView->setSortingEnabled(true);
    m_docListView->sortByColumn(0, Qt::AscendingOrder);
    AllowCaptionEditing(m_docListView);
    m_splitterDoc->addWidget(m_tvDoc);
    m_splitterDoc->addWidget(m_docListView);
    m_splitterDoc->setStretchFactor(1, 1);
    layout->addWidget(m_splitterDoc, 1);
    return page;
}

QWidget* TfrmMain::BuildFilesTab() {
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewTabPage("tabInsert", &layout);
    QToolBar* bar = NewPanelToolBar("tbFiles", page);
    AddToolButton(bar, "tbFileNewFloder", tr("新建资料夹"), CompactStandardIcon(QStyle::SP_FileDialogNewFolder),
                  Command("munInsertDocuAdd"));
    AddToolButton(bar, "tbFileDelFloder", tr("删除资料夹"), CompactStandardIcon(QStyle::SP_TrashIcon),
                  Command("munInsertDocuDel"));
    AddToolButton(bar, "tbFileReNameFloder", tr("重命名资料夹"), BadgeIcon(tr("名"), QColor(70, 120, 190)),
                  Command("munInsertDocRen"));
    AddToolButton(bar, "tbFileInsert", tr("插入资料"), BadgeIcon(tr("插"), QColor(60, 150, 90)),
                  Command("munInsertInsertDocu"));
    AddToolButton(bar, "tbFileImport", tr("导入"), CompactStandardIcon(QStyle::SP_ArrowDown),
                  Command("munInsertDocuImport"));
    AddToolButton(bar, "tbFileExport", tr("导出"), CompactStandardIcon(QStyle::SP_ArrowUp),
                  Command("munInsertDocuExport"));
    layout->addWidget(bar);

    m_spFile = NewVerticalSplitter("spFile", page);
    m_tvFileFolder = NewFolderTree("tvFileFolder", m_spFile);
    m_lvFiles = NewReportList("lvFiles", {tr("名称")}, {210}, QAbstractItemView::ExtendedSelection, m_spFile);
    m_lvFiles->setDragEnabled(true);
    AllowCaptionEditing(m_lvFiles);
    m_spFile->addWidget(m_tvFileFolder);
    m_spFile->addWidget(m_lvFiles);
    m_spFile->setStretchFactor(1, 1);
    layout->addWidget(m_spFile, 1);
    return page;
}

QWidget* TfrmMain::BuildPicTab() {
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewTabPage("tabPic", &layout);
    QToolBar* bar = NewPanelToolBar("tbPic", page);
    AddToolButton(bar, "tbAddPic", tr("添加"), BadgeIcon("+", QColor(60, 150, 90)), Command("tbAddPic"));
    AddToolButton(bar, "tbDelPic", tr("删除"), CompactStandardIcon(QStyle::SP_TrashIcon), Command("tbDelPic"));
    AddToolButton(bar, "tbRePic", tr("重命名"), BadgeIcon(tr("名"), QColor(70, 120, 190)), Command("tbRePic"));
    layout->addWidget(bar);

    m_splitterPic = NewVerticalSplitter("SplitterPic", page);
    m_lvPic = NewReportList("lvPic", {tr("名称"), tr("位置")}, {90, 120}, QAbstractItemView::ExtendedSelection,
                            m_splitterPic);
    AllowCaptionEditing(m_lvPic);
    auto* group = new QGroupBox(tr("插图预览"), m_splitterPic);
    group->setObjectName(QStringLiteral("groupPicView"));
    auto* groupLayout = new QVBoxLayout(group);
    m_picView = new TPicturePreview(group);
    m_picView->setObjectName(QStringLiteral("PicView"));
    m_picView->setAlignment(Qt::AlignCenter);
    m_picView->setMinimumSize(1, 1);
    m_picView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    groupLayout->addWidget(m_picView);
    m_splitterPic->addWidget(m_lvPic);
    m_splitterPic->addWidget(group);
    m_splitterPic->setStretchFactor(1, 1);
    layout->addWidget(m_splitterPic, 1);
    return page;
}

QWidget* TfrmMain::BuildMarkTab() {
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewTabPage("tabSign", &layout);
    QToolBar* bar = NewPanelToolBar("tbMark", page);
    AddToolButton(bar, "tbMarkAdd", tr("添加"), BadgeIcon("+", QColor(60, 150, 90)), Command("munInsertMarkAdd"));
    AddToolButton(bar, "tbMarkDel", tr("删除"), CompactStandardIcon(QStyle::SP_TrashIcon), Command("munInsertMarkDel"));
    AddToolButton(bar, "tbMarkEdit", tr("编辑"), BadgeIcon(tr("编"), QColor(70, 120, 190)),
                  Command("munInsertMarkEdit"));
    AddToolButton(bar, "tbMarkOpen", tr("打开"), CompactStandardIcon(QStyle::SP_DialogOpenButton),
                  Command("munInsertMarkOpen"));
    layout->addWidget(bar);
    m_lvMark =
        NewReportList("lvMark", {tr("名称"), tr("所属稿件")}, {80, 120}, QAbstractItemView::SingleSelection, page);
    layout->addWidget(m_lvMark, 1);
    return page;
}

QWidget* TfrmMain::BuildStartTab() {
    QVBoxLayout* layout = nullptr;
    QWidget* page = NewTabPage("tabStart", &layout);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    auto addButton = [&](const char* name, const QString& caption, const TCommand& command) {
        auto* button = new QPushButton(caption, page);
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(button->text());
        connect(button, &QPushButton::clicked, this, command);
        layout->addWidget(button);
    };
    addButton("btnStartNewLibrary", tr("新建稿件库"), Command("munDocBase"));
    addButton("btnStartOpenLibrary", tr("打开稿件库"), Command("munDocOpenBase"));
    auto* label = new QLabel(tr("稿件库中心："), page);
    m_lvStartLibraries = new QListWidget(page);
    m_lvStartLibraries->setObjectName(QStringLiteral("lvStartLibraries"));
    m_lvStartLibraries->setAccessibleName(tr("稿件库中心"));
    label->setBuddy(m_lvStartLibraries);
    connect(m_lvStartLibraries, &QListWidget::itemActivated, this, &TfrmMain::OpenStartLibrary);
    layout->addWidget(label);
    layout->addWidget(m_lvStartLibraries, 1);
    return page;
}

void TfrmMain::FillStartLibraries() {
    m_lvStartLibraries->clear();
    m_lvStartLibraries->addItems(m_context.DocData().GetDBCenterList());
}

// A library of the list opens as 稿件库中心's 打开 opens it.
void TfrmMain::OpenStartLibrary() {
    const QListWidgetItem* item = m_lvStartLibraries->currentItem();
    if (!item)
        return;
    const QString path = m_context.DocData().GetDBCenterPath(item->text());
    if (!path.isEmpty())
        m_commands.openLibrary(path);
}
