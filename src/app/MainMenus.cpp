// The menu bar `munMain` and the editor's pop-up menu `PopEditor`.
#include "app/TfrmMain.h"
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
#include "app/commands/TToolCommands.h"
#include "app/commands/TWritingCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>

namespace {

QKeySequence Ctrl(Qt::Key key) { return QKeySequence(Qt::CTRL | key); }

QMenu* AddSubMenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* sub = parent->addMenu(caption);
    sub->setObjectName(name);
    return sub;
}

}  // namespace

QAction* TfrmMain::AddItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut,
                           const TCommand& command) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    ConnectCommand(action, command);
    menu->addAction(action);
    m_actions.insert(name, action);
    return action;
}

void TfrmMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("munMain"));
    bar->setNativeMenuBar(false);
    for (QMenu* menu : {BuildFileMenu(), BuildEditMenu(), BuildFindMenu(), BuildInsertMenu(), BuildDocMenu(),
                        BuildToolMenu(), BuildHelpMenu()}) {
        bar->addMenu(menu);
        m_actions.insert(menu->objectName(), menu->menuAction());
    }
}

QMenu* TfrmMain::BuildFileMenu() {
    auto* m = new QMenu(tr("稿件(&F)"), this);
    m->setObjectName(QStringLiteral("munFile"));
    AddItem(m, "munFileNew", tr("新建(&N)"), Ctrl(Qt::Key_N),
            Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileNewClick));
    AddItem(m, "munFileOpen", tr("打开(&O)"), Ctrl(Qt::Key_O),
            Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileOpenClick));
    AddItem(m, "munFileSave", tr("保存(&S)"), Ctrl(Qt::Key_S),
            Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileSaveClick));
    AddItem(m, "munFileSaveAs", tr("另存为..."), {},
            Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileSaveAsClick));
    m->addSeparator();
    RequireLibrary(
        AddItem(m, "munFileDel", tr("删除(&D)"), {}, Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileDelClick)));
    RequireLibrary(AddItem(m, "munFileRename", tr("重命名(&R)"), {},
                           Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileRenameClick)));
    m->addSeparator();
    RequireLibrary(AddItem(m, "munFileAttribute", tr("属性(&A)"), Ctrl(Qt::Key_E),
                           Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileAttributeClick)));
    RequireLibrary(AddItem(m, "munFileHistory", tr("历史版本…"), {},
                           Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileHistoryClick)));
    m->addSeparator();
    AddItem(m, "munFilePrintSet", tr("打印设置"), {},
            Cmd(m_manuscripts.get(), &TManuscriptCommands::munFilePrintSetClick));
    AddItem(m, "munFilePrint", tr("打印稿件(&P)"), Ctrl(Qt::Key_P),
            Cmd(m_manuscripts.get(), &TManuscriptCommands::munFilePrintClick));
    m->addSeparator();
    AddItem(m, "munFileMail", tr("发送邮件(&M)"), Ctrl(Qt::Key_M),
            Cmd(m_tools.get(), &TToolCommands::munFileMailClick));
    m->addSeparator();
    AddItem(m, "munFileExit", tr("退出(&X)"), {}, Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileExitClick));
    return m;
}

QMenu* TfrmMain::BuildEditMenu() {
    auto* m = new QMenu(tr("编辑(&E)"), this);
    m->setObjectName(QStringLiteral("munEdit"));
    AddItem(m, "munEditUndo", tr("撤销(&U)"), Ctrl(Qt::Key_Z), Cmd(m_edit.get(), &TEditCommands::munEditUndoClick));
    AddItem(m, "munEditRedo", tr("重复(&R)"), Ctrl(Qt::Key_Y), Cmd(m_edit.get(), &TEditCommands::munEditRedoClick));
    m->addSeparator();
    AddItem(m, "munEditCut", tr("剪切(&X)"), Ctrl(Qt::Key_X), Cmd(m_edit.get(), &TEditCommands::munEditCutClick));
    m->addSeparator();
    AddItem(m, "munEditCopy", tr("复制(&C)"), Ctrl(Qt::Key_C), Cmd(m_edit.get(), &TEditCommands::munEditCopyClick));
    AddItem(m, "munCopyAll", tr("全文复制"), {}, Cmd(m_edit.get(), &TEditCommands::munCopyAllClick));
    m->addSeparator();
    AddItem(m, "munEditPaste", tr("粘贴(&P)"), Ctrl(Qt::Key_V), Cmd(m_edit.get(), &TEditCommands::munEditPasteClick));
    m->addSeparator();
    AddItem(m, "munEditDel", tr("删除(&D)"), {}, Cmd(m_edit.get(), &TEditCommands::munEditDelClick));
    QMenu* delSel = AddSubMenu(m, "munEditDelSel", tr("快捷删除"));
    m_actions.insert("munEditDelSel", delSel->menuAction());
    AddItem(delSel, "munDelLine", tr("删除当前行(&L)"), {}, Cmd(m_edit.get(), &TEditCommands::munDelLineClick));
    AddItem(delSel, "munDelFromBegin", tr("从开头到当前位置"), {},
            Cmd(m_edit.get(), &TEditCommands::munDelFromBeginClick));
    AddItem(delSel, "munDelFromEnd", tr("从末尾到当前位置"), {}, Cmd(m_edit.get(), &TEditCommands::munDelFromEndClick));
    m->addSeparator();
    AddItem(m, "munEditSelAll", tr("全部选取(&A)"), Ctrl(Qt::Key_A),
            Cmd(m_edit.get(), &TEditCommands::munEditSelAllClick));
    QMenu* sel = AddSubMenu(m, "munEditSel", tr("快捷选取"));
    m_actions.insert("munEditSel", sel->menuAction());
    AddItem(sel, "munSelFromBegin", tr("从开头到当前位置"), {},
            Cmd(m_edit.get(), &TEditCommands::munSelFromBeginClick));
    AddItem(sel, "munSelFromEnd", tr("从末尾到当前位置"), {}, Cmd(m_edit.get(), &TEditCommands::munSelFromEndClick));
    m->addSeparator();
    AddItem(m, "munEditWatchClipper", tr("监视剪贴板"), {}, Cmd(m_edit.get(), &TEditCommands::munEditWatchClipperClick))
        ->setCheckable(true);
    m->addSeparator();
    AddItem(m, "munEditFont", tr("设置字体(&F)"), {}, Cmd(m_edit.get(), &TEditCommands::munEditFontClick));
    AddItem(m, "munEditBG", tr("背景颜色(&B)"), {}, Cmd(m_edit.get(), &TEditCommands::munEditBGClick));
    AddItem(m, "munEditWrap", tr("自动换行(&W)"), {}, Cmd(m_edit.get(), &TEditCommands::munEditWrapClick))
        ->setCheckable(true);
    return m;
}

QMenu* TfrmMain::BuildFindMenu() {
    auto* m = new QMenu(tr("查找(&S)"), this);
    m->setObjectName(QStringLiteral("munFind"));
    AddItem(m, "munFindSearch", tr("查找(&F)"), Ctrl(Qt::Key_F), Cmd(m_edit.get(), &TEditCommands::munFindSearchClick));
    AddItem(m, "munFindNext", tr("查找下一个"), QKeySequence(Qt::Key_F3),
            Cmd(m_edit.get(), &TEditCommands::munFindNextClick));
    m->addSeparator();
    AddItem(m, "munFindReplace", tr("替换..."), Ctrl(Qt::Key_R),
            Cmd(m_edit.get(), &TEditCommands::munFindReplaceClick));
    m->addSeparator();
    AddItem(m, "munFindInFile", tr("在文件中查找"), {}, Cmd(m_tools.get(), &TToolCommands::munFindInFileClick));
    RequireLibrary(AddItem(m, "munFindLibrary", tr("在稿件库中查找"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
                           Cmd(m_libraryFind.get(), &TLibraryFindCommands::munFindLibraryClick)));
    return m;
}

QMenu* TfrmMain::BuildInsertMenu() {
    auto* m = new QMenu(tr("插入(&I)"), this);
    m->setObjectName(QStringLiteral("munInsert"));
    AddItem(m, "munInsertTime", tr("时间(&T)"), QKeySequence(Qt::Key_F4),
            Cmd(m_edit.get(), &TEditCommands::munInsertTimeClick));
    AddItem(m, "munInsertDate", tr("日期(&D)"), QKeySequence(Qt::Key_F5),
            Cmd(m_edit.get(), &TEditCommands::munInsertDateClick));
    QMenu* mark = AddSubMenu(m, "munInsertMark", tr("标签(&S)"));
    m_actions.insert("munInsertMark", RequireLibrary(mark->menuAction()));
    AddItem(mark, "munInsertMarkAdd", tr("添加(&A)"), {}, Cmd(m_marks.get(), &TMarkCommands::munInsertMarkAddClick));
    AddItem(mark, "munInsertMarkDel", tr("删除(&D)"), {}, Cmd(m_marks.get(), &TMarkCommands::munInsertMarkDelClick));
    AddItem(mark, "munInsertMarkEdit", tr("编辑(&E)"), {}, Cmd(m_marks.get(), &TMarkCommands::munInsertMarkEditClick));
    mark->addSeparator();
    AddItem(mark, "munInsertMarkOpen", tr("打开(&O)"), {}, Cmd(m_marks.get(), &TMarkCommands::munInsertMarkOpenClick));
    m->addSeparator();
    QMenu* cust = AddSubMenu(m, "munInsertCust", tr("资料库(&C)"));
    m_actions.insert("munInsertCust", cust->menuAction());
    AddItem(cust, "munInsertDocuAdd", tr("新建资料夹"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsertDocuAddClick));
    AddItem(cust, "munInsertDocuDel", tr("删除资料夹"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsertDocuDelClick));
    AddItem(cust, "munInsertDocRen", tr("重命名资料夹"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsertDocRenClick));
    cust->addSeparator();
    AddItem(cust, "munInsertDocuImport", tr("导入..."), {},
            Cmd(m_exchange.get(), &TExchangeCommands::munInsertDocuImportClick));
    AddItem(cust, "munInsertDocuExport", tr("导出..."), {},
            Cmd(m_exchange.get(), &TExchangeCommands::munInsertDocuExportClick));
    cust->addSeparator();
    AddItem(cust, "munInsertDocuNew", tr("新建资料"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsertDocuNewClick));
    AddItem(cust, "munInsetDocuSave", tr("保存资料"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsetDocuSaveClick));
    AddItem(cust, "munInsertRenDoc", tr("重命名资料"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsertRenDocClick));
    AddItem(cust, "munInsertDelDoc", tr("删除资料"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsertDelDocClick));
    cust->addSeparator();
    AddItem(cust, "munInsertInsertDocu", tr("插入资料"), {},
            Cmd(m_materials.get(), &TMaterialCommands::munInsertInsertDocuClick));
    m->addSeparator();
    QMenu* file = AddSubMenu(m, "munInsertFile", tr("外部文件(&F)"));
    m_actions.insert("munInsertFile", file->menuAction());
    RequireLibrary(
        AddItem(file, "munInsertPic", tr("图片(&P)"), {}, Cmd(m_pictures.get(), &TPictureCommands::munInsertPicClick)));
    AddItem(file, "munInsertTxt", tr("文档(&D)"), {}, Cmd(m_edit.get(), &TEditCommands::munInsertTxtClick));
    return m;
}

QMenu* TfrmMain::BuildDocMenu() {
    auto* m = new QMenu(tr("稿件库(&D)"), this);
    m->setObjectName(QStringLiteral("munDoc"));
    AddItem(m, "munDocBase", tr("新建稿件库"), {}, Cmd(m_library.get(), &TLibraryCommands::munDocBaseClick));
    AddItem(m, "munDocOpenBase", tr("打开稿件库"), {}, Cmd(m_library.get(), &TLibraryCommands::munDocOpenBaseClick));
    RequireLibrary(AddItem(m, "munDocCloseBase", tr("关闭稿件库"), {},
                           Cmd(m_library.get(), &TLibraryCommands::munDocCloseBaseClick)));
    m->addSeparator();
    // The five maintenance items share one handler and tell themselves apart
    // by their tag (QAction::data); 属性 is tag 10.
    TLibraryCommands* library = m_library.get();
    auto attribute = [library](int tag) -> TCommand { return [library, tag] { library->munDocAttributeClick(tag); }; };
    RequireLibrary(AddItem(m, "munDocCompact", tr("压缩稿件库"), {}, attribute(6)))->setData(6);
    RequireLibrary(AddItem(m, "munDocRepair", tr("修复稿件库"), {}, attribute(7)))->setData(7);
    RequireLibrary(AddItem(m, "munDocRestore", tr("从备份恢复…"), {},
                           Cmd(m_library.get(), &TLibraryCommands::munDocRestoreClick)));
    RequireLibrary(AddItem(m, "munDocModifyPas", tr("修改密码"), {}, attribute(8)))->setData(8);
    RequireLibrary(AddItem(m, "munDocShortCut", tr("创建快捷方式"), {}, attribute(9)))->setData(9);
    m->addSeparator();
    RequireLibrary(AddItem(m, "munDocAttribute", tr("属性"), {}, attribute(10)))->setData(10);
    m->addSeparator();
    RequireLibrary(AddItem(m, "munDocImport", tr("导入(&I)..."), {},
                           Cmd(m_exchange.get(), &TExchangeCommands::munDocImportClick)));
    RequireLibrary(AddItem(m, "munDocExport", tr("导出(&E)..."), {},
                           Cmd(m_exchange.get(), &TExchangeCommands::munDocExportClick)));
    RequireLibrary(AddItem(m, "munDocBook", tr("输出书稿…"), {}, Cmd(m_books.get(), &TBookCommands::munDocBookClick)));
    m->addSeparator();
    AddItem(m, "munDocCenter", tr("稿件库中心"), QKeySequence(Qt::Key_F8),
            Cmd(m_library.get(), &TLibraryCommands::munDocCenterClick));
    m->addSeparator();
    RequireLibrary(AddItem(m, "munDocNewFloder", tr("新建稿件夹(&F)"), {},
                           Cmd(m_folders.get(), &TFolderCommands::munDocNewFloderClick)));
    RequireLibrary(AddItem(m, "munDocDelFloder", tr("删除稿件夹(&E)"), {},
                           Cmd(m_folders.get(), &TFolderCommands::munDocDelFloderClick)));
    RequireLibrary(AddItem(m, "munDocReNameFloder", tr("重命名稿件夹(&R)"), {},
                           Cmd(m_folders.get(), &TFolderCommands::munDocReNameFloderClick)));
    return m;
}

QMenu* TfrmMain::BuildToolMenu() {
    auto* m = new QMenu(tr("工具(&T)"), this);
    m->setObjectName(QStringLiteral("munTool"));
    AddItem(m, "munToolWordCount", tr("字数统计(&C)"), QKeySequence(Qt::Key_F9),
            Cmd(m_tools.get(), &TToolCommands::munToolWordCountClick));
    RequireLibrary(AddItem(m, "munToolWritingStats", tr("写作统计(&W)"), QKeySequence(Qt::SHIFT | Qt::Key_F9),
                           Cmd(m_writing.get(), &TWritingCommands::munToolWritingStatsClick)));
    m->addSeparator();
    AddItem(m, "munToolPY", tr("反查拼音(&P)"), {}, Cmd(m_tools.get(), &TToolCommands::munToolPYClick));
    AddItem(m, "munToolReader", tr("阅读模式(&R)"), QKeySequence(Qt::Key_F11),
            Cmd(m_tools.get(), &TToolCommands::munToolReaderClick));
    AddItem(m, "munToolHide", tr("快速隐藏(&H)"), QKeySequence(Qt::Key_F12), Cmd(this, &TfrmMain::munToolHideClick));
    AddItem(m, "munToolFullScreen", tr("全屏写作(&G)"), QKeySequence(Qt::CTRL | Qt::Key_F11),
            Cmd(m_tools.get(), &TToolCommands::munToolFullScreenClick))
        ->setCheckable(true);
    AddItem(m, "munToolIndent", tr("整理段首缩进(&I)"), {}, Cmd(m_tools.get(), &TToolCommands::munToolIndentClick));
    m->addSeparator();
    QMenu* skin = AddSubMenu(m, "munToolSkin", tr("更换皮肤(&S)"));
    m_actions.insert("munToolSkin", skin->menuAction());
    // Tag = the skin item's number; munBlueGlassClick maps it to a style.
    AddItem(skin, "munBlueGlass", "BlueGlass(&B)", {}, Cmd(this, &TfrmMain::munBlueGlassClick))->setData(2);
    AddItem(skin, "munMacOS", "MacOS(&M)", {}, Cmd(this, &TfrmMain::munBlueGlassClick))->setData(3);
    AddItem(skin, "munProtein", "Protein(&P)", {}, Cmd(this, &TfrmMain::munBlueGlassClick))->setData(4);
    AddItem(skin, "munWinXP", "Win XP(&W)", {}, Cmd(this, &TfrmMain::munBlueGlassClick))->setData(5);
    AddItem(skin, "munDeepBlue", "DeepBlue(&D)", {}, Cmd(this, &TfrmMain::munBlueGlassClick))->setData(6);
    skin->addSeparator();
    AddItem(skin, "munSkinFile", tr("选择文件(&F)..."), {}, Cmd(this, &TfrmMain::munBlueGlassClick))->setData(7);
    m->addSeparator();
    AddItem(m, "munToolOption", tr("首选项(&O)"), {}, Cmd(m_tools.get(), &TToolCommands::munToolOptionClick));
    return m;
}

QMenu* TfrmMain::BuildHelpMenu() {
    auto* m = new QMenu(tr("帮助(&H)"), this);
    m->setObjectName(QStringLiteral("munHelp"));
    AddItem(m, "munHelpTopic", tr("帮助主题(&T)"), QKeySequence(Qt::Key_F1),
            Cmd(m_help.get(), &THelpCommands::munHelpTopicClick));
    m->addSeparator();
    AddItem(m, "munHelpHome", tr("软件主页(&H)"), {}, Cmd(m_help.get(), &THelpCommands::munHelpHomeClick));
    AddItem(m, "munHelpWrong", tr("错误报告(&W)"), {}, Cmd(m_help.get(), &THelpCommands::munHelpWrongClick));
    AddItem(m, "munHelpBBS", tr("给我留言(&B)"), {}, Cmd(m_help.get(), &THelpCommands::munHelpBBSClick));
    m->addSeparator();
    AddItem(m, "munHelpAbout", tr("关于(&A)"), {}, Cmd(m_help.get(), &THelpCommands::munHelpAboutClick));
    return m;
}

// The pop-up items run the main commands directly: they are never disabled,
// even when the main item is. Their shortcuts are shown but only act while
// the pop-up itself has the focus, so they never compete with the main menu.
void TfrmMain::BuildPopEditor() {
    PopEditor = new QMenu(this);
    PopEditor->setObjectName(QStringLiteral("PopEditor"));
    auto add = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys,
                      const TCommand& command) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        ConnectCommand(action, command);
        return action;
    };
    QMenu* p = PopEditor;
    add(p, "PopUndo", tr("撤销(&U)"), Ctrl(Qt::Key_Z), Cmd(m_edit.get(), &TEditCommands::munEditUndoClick));
    add(p, "PopRedo", tr("重复(&R)"), Ctrl(Qt::Key_Y), Cmd(m_edit.get(), &TEditCommands::munEditRedoClick));
    p->addSeparator();
    add(p, "PopCut", tr("剪切(&T)"), Ctrl(Qt::Key_X), Cmd(m_edit.get(), &TEditCommands::munEditCutClick));
    p->addSeparator();
    add(p, "PopCopy", tr("复制(&C)"), Ctrl(Qt::Key_C), Cmd(m_edit.get(), &TEditCommands::munEditCopyClick));
    add(p, "PopCopyAll", tr("全文复制"), {}, Cmd(m_edit.get(), &TEditCommands::munCopyAllClick));
    p->addSeparator();
    add(p, "PopPaste", tr("粘贴(&P)"), Ctrl(Qt::Key_V), Cmd(m_edit.get(), &TEditCommands::munEditPasteClick));
    p->addSeparator();
    add(p, "PopDel", tr("删除(&D)"), {}, Cmd(m_edit.get(), &TEditCommands::munEditDelClick));
    QMenu* delSel = AddSubMenu(p, "PopDelSel", tr("快捷删除"));
    add(delSel, "PopDelLine", tr("删除当前行"), {}, Cmd(m_edit.get(), &TEditCommands::munDelLineClick));
    add(delSel, "PopDelFromBegin", tr("从开头到当前位置"), {}, Cmd(m_edit.get(), &TEditCommands::munDelFromBeginClick));
    add(delSel, "PopDelFromEnd", tr("从末尾到当前位置"), {}, Cmd(m_edit.get(), &TEditCommands::munDelFromEndClick));
    p->addSeparator();
    add(p, "PopSelAll", tr("全部选取"), Ctrl(Qt::Key_A), Cmd(m_edit.get(), &TEditCommands::munEditSelAllClick));
    QMenu* sel = AddSubMenu(p, "PopSel", tr("快捷选取"));
    add(sel, "PopSelFromBegin", tr("从开头到当前位置"), {}, Cmd(m_edit.get(), &TEditCommands::munSelFromBeginClick));
    add(sel, "PopSelFromEnd", tr("从末尾到当前位置"), {}, Cmd(m_edit.get(), &TEditCommands::munSelFromEndClick));
    p->addSeparator();
    add(p, "PopMail", tr("发送邮件(&M)"), Ctrl(Qt::Key_M), Cmd(m_tools.get(), &TToolCommands::munFileMailClick));
    p->addSeparator();
    QAction* wrap = p->addAction(tr("自动换行(&W)"));
    wrap->setObjectName(QStringLiteral("PopWrap"));
    connect(wrap, &QAction::triggered, this, [this] {
        // The main item carries the check mark; toggle it as a click on it would.
        QAction* main = Action(QStringLiteral("munEditWrap"));
        main->setChecked(!main->isChecked());
        m_edit->munEditWrapClick();
    });
    add(p, "PopFont", tr("设置字体(&F)"), {}, Cmd(m_edit.get(), &TEditCommands::munEditFontClick));
    p->addSeparator();
    add(p, "PopAttribute", tr("属性(&A)"), Ctrl(Qt::Key_E),
        Cmd(m_manuscripts.get(), &TManuscriptCommands::munFileAttributeClick));
}

// The folder tree's pop-up menu: the folder items of menu 稿件库 and the
// folder's writing goal (on the root, the library's). A right click selects
// the folder under the mouse first.
void TfrmMain::BuildPopFolder() {
    PopFloder = new QMenu(this);
    PopFloder->setObjectName(QStringLiteral("PopFloder"));
    for (const char* name : {"munDocNewFloder", "munDocDelFloder", "munDocReNameFloder"})
        PopFloder->addAction(Action(QString::fromLatin1(name)));
    PopFloder->addSeparator();
    QAction* goal = PopFloder->addAction(tr("设置目标…"));
    goal->setObjectName(QStringLiteral("PopFloderGoal"));
    ConnectCommand(goal, Cmd(m_writing.get(), &TWritingCommands::PopFloderGoalClick));
    m_actions.insert(goal->objectName(), goal);
    tvDoc->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tvDoc, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QTreeWidgetItem* item = tvDoc->itemAt(pos))
            tvDoc->setCurrentItem(item);
        if (tvDoc->currentItem())
            PopFloder->popup(tvDoc->viewport()->mapToGlobal(pos));
    });
}
