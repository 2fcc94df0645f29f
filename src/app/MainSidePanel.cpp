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
    pageTool = new QTabWidget;
    pageTool->setObjectName(QStringLiteral("pageTool"));
    pageTool->setDocumentMode(true);
    tabDoc = BuildDocTab();
    tabInsert = BuildFilesTab();
    tabPic = BuildPicTab();
    tabSign = BuildMarkTab();
    pageTool->addTab(tabDoc, tr("稿件库"));
    pageTool->addTab(tabInsert, tr("资料库"));
    pageTool->addTab(tabPic, tr("图片"));
    pageTool->addTab(tabSign, tr("标签"));
    tabStart = BuildStartTab();
    pageTool->addTab(tabStart, tr("稿件库"));
    chanelTool = new TSideChannel(tr("工具面板"), pageTool);
    connect(pageTool, &QTabWidget::currentChanged, this, Command("pageTool"));
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

    SplitterDoc = NewVerticalSplitter("SplitterDoc", page);
    tvDoc = NewFolderTree("tvDoc", SplitterDoc);
    DocListView = NewReportList("DocListView", {tr("名称"), tr("插图"), tr("标签")}, {110, 0, 0},
                                QAbstractItemView::ExtendedSelection, SplitterDoc);
    DocListView->setDragEnabled(true);
    DocListView->setSortingEnabled(true);
    DocListView->sortByColumn(0, Qt::AscendingOrder);
    AllowCaptionEditing(DocListView);
    SplitterDoc->addWidget(tvDoc);
    SplitterDoc->addWidget(DocListView);
    SplitterDoc->setStretchFactor(1, 1);
    layout->addWidget(SplitterDoc, 1);
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

    spFile = NewVerticalSplitter("spFile", page);
    tvFileFolder = NewFolderTree("tvFileFolder", spFile);
    lvFiles = NewReportList("lvFiles", {tr("名称")}, {210}, QAbstractItemView::ExtendedSelection, spFile);
    lvFiles->setDragEnabled(true);
    AllowCaptionEditing(lvFiles);
    spFile->addWidget(tvFileFolder);
    spFile->addWidget(lvFiles);
    spFile->setStretchFactor(1, 1);
    layout->addWidget(spFile, 1);
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

    SplitterPic = NewVerticalSplitter("SplitterPic", page);
    lvPic =
        NewReportList("lvPic", {tr("名称"), tr("位置")}, {90, 120}, QAbstractItemView::ExtendedSelection, SplitterPic);
    AllowCaptionEditing(lvPic);
    auto* group = new QGroupBox(tr("插图预览"), SplitterPic);
    group->setObjectName(QStringLiteral("groupPicView"));
    auto* groupLayout = new QVBoxLayout(group);
    PicView = new TPicturePreview(group);
    PicView->setObjectName(QStringLiteral("PicView"));
    PicView->setAlignment(Qt::AlignCenter);
    PicView->setMinimumSize(1, 1);
    PicView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    groupLayout->addWidget(PicView);
    SplitterPic->addWidget(lvPic);
    SplitterPic->addWidget(group);
    SplitterPic->setStretchFactor(1, 1);
    layout->addWidget(SplitterPic, 1);
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
    lvMark = NewReportList("lvMark", {tr("名称"), tr("所属稿件")}, {80, 120}, QAbstractItemView::SingleSelection, page);
    layout->addWidget(lvMark, 1);
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
    lvStartLibraries = new QListWidget(page);
    lvStartLibraries->setObjectName(QStringLiteral("lvStartLibraries"));
    lvStartLibraries->setAccessibleName(tr("稿件库中心"));
    label->setBuddy(lvStartLibraries);
    connect(lvStartLibraries, &QListWidget::itemActivated, this, &TfrmMain::OpenStartLibrary);
    layout->addWidget(label);
    layout->addWidget(lvStartLibraries, 1);
    return page;
}

void TfrmMain::FillStartLibraries() {
    lvStartLibraries->clear();
    lvStartLibraries->addItems(m_context.DocData().GetDBCenterList());
}

// A library of the list opens as 稿件库中心's 打开 opens it.
void TfrmMain::OpenStartLibrary() {
    const QListWidgetItem* item = lvStartLibraries->currentItem();
    if (!item)
        return;
    const QString path = m_context.DocData().GetDBCenterPath(item->text());
    if (!path.isEmpty())
        m_commands.openLibrary(path);
}
