// The menu bar `munMain` and the editor's pop-up menu `PopEditor`.
#include "app/TfrmMain.h"

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

QAction* TfrmMain::AddItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut) {
    return AddItem(menu, name, caption, shortcut, Command(name));
}

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
    AddItem(m, "munFileNew", tr("新建(&N)"), Ctrl(Qt::Key_N));
    AddItem(m, "munFileOpen", tr("打开(&O)"), Ctrl(Qt::Key_O));
    AddItem(m, "munFileSave", tr("保存(&S)"), Ctrl(Qt::Key_S));
    AddItem(m, "munFileSaveAs", tr("另存为..."));
    m->addSeparator();
    RequireLibrary(AddItem(m, "munFileDel", tr("删除(&D)")));
    RequireLibrary(AddItem(m, "munFileRename", tr("重命名(&R)")));
    m->addSeparator();
    RequireLibrary(AddItem(m, "munFileAttribute", tr("属性(&A)"), Ctrl(Qt::Key_E)));
    RequireLibrary(AddItem(m, "munFileHistory", tr("历史版本…")));
    m->addSeparator();
    AddItem(m, "munFilePrintSet", tr("打印设置"));
    AddItem(m, "munFilePrint", tr("打印稿件(&P)"), Ctrl(Qt::Key_P));
    m->addSeparator();
    AddItem(m, "munFileMail", tr("发送邮件(&M)"), Ctrl(Qt::Key_M));
    m->addSeparator();
    AddItem(m, "munFileExit", tr("退出(&X)"));
    return m;
}

QMenu* TfrmMain::BuildEditMenu() {
    auto* m = new QMenu(tr("编辑(&E)"), this);
    m->setObjectName(QStringLiteral("munEdit"));
    AddItem(m, "munEditUndo", tr("撤销(&U)"), Ctrl(Qt::Key_Z));
    AddItem(m, "munEditRedo", tr("重复(&R)"), Ctrl(Qt::Key_Y));
    m->addSeparator();
    AddItem(m, "munEditCut", tr("剪切(&X)"), Ctrl(Qt::Key_X));
    m->addSeparator();
    AddItem(m, "munEditCopy", tr("复制(&C)"), Ctrl(Qt::Key_C));
    AddItem(m, "munCopyAll", tr("全文复制"));
    m->addSeparator();
    AddItem(m, "munEditPaste", tr("粘贴(&P)"), Ctrl(Qt::Key_V));
    m->addSeparator();
    AddItem(m, "munEditDel", tr("删除(&D)"));
    QMenu* delSel = AddSubMenu(m, "munEditDelSel", tr("快捷删除"));
    m_actions.insert("munEditDelSel", delSel->menuAction());
    AddItem(delSel, "munDelLine", tr("删除当前行(&L)"));
    AddItem(delSel, "munDelFromBegin", tr("从开头到当前位置"));
    AddItem(delSel, "munDelFromEnd", tr("从末尾到当前位置"));
    m->addSeparator();
    AddItem(m, "munEditSelAll", tr("全部选取(&A)"), Ctrl(Qt::Key_A));
    QMenu* sel = AddSubMenu(m, "munEditSel", tr("快捷选取"));
    m_actions.insert("munEditSel", sel->menuAction());
    AddItem(sel, "munSelFromBegin", tr("从开头到当前位置"));
    AddItem(sel, "munSelFromEnd", tr("从末尾到当前位置"));
    m->addSeparator();
    AddItem(m, "munEditWatchClipper", tr("监视剪贴板"))->setCheckable(true);
    m->addSeparator();
    AddItem(m, "munEditFont", tr("设置字体(&F)"));
    AddItem(m, "munEditBG", tr("背景颜色(&B)"));
    AddItem(m, "munEditWrap", tr("自动换行(&W)"))->setCheckable(true);
    return m;
}

QMenu* TfrmMain::BuildFindMenu() {
    auto* m = new QMenu(tr("查找(&S)"), this);
    m->setObjectName(QStringLiteral("munFind"));
    AddItem(m, "munFindSearch", tr("查找(&F)"), Ctrl(Qt::Key_F));
    AddItem(m, "munFindNext", tr("查找下一个"), QKeySequence(Qt::Key_F3));
    m->addSeparator();
    AddItem(m, "munFindReplace", tr("替换..."), Ctrl(Qt::Key_R));
    m->addSeparator();
    AddItem(m, "munFindInFile", tr("在文件中查找"));
    RequireLibrary(AddItem(m, "munFindLibrary", tr("在稿件库中查找"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)));
    return m;
}

QMenu* TfrmMain::BuildInsertMenu() {
    auto* m = new QMenu(tr("插入(&I)"), this);
    m->setObjectName(QStringLiteral("munInsert"));
    AddItem(m, "munInsertTime", tr("时间(&T)"), QKeySequence(Qt::Key_F4));
    AddItem(m, "munInsertDate", tr("日期(&D)"), QKeySequence(Qt::Key_F5));
    QMenu* mark = AddSubMenu(m, "munInsertMark", tr("标签(&S)"));
    m_actions.insert("munInsertMark", RequireLibrary(mark->menuAction()));
    AddItem(mark, "munInsertMarkAdd", tr("添加(&A)"));
    AddItem(mark, "munInsertMarkDel", tr("删除(&D)"));
    AddItem(mark, "munInsertMarkEdit", tr("编辑(&E)"));
    mark->addSeparator();
    AddItem(mark, "munInsertMarkOpen", tr("打开(&O)"));
    m->addSeparator();
    QMenu* cust = AddSubMenu(m, "munInsertCust", tr("资料库(&C)"));
    m_actions.insert("munInsertCust", cust->menuAction());
    AddItem(cust, "munInsertDocuAdd", tr("新建资料夹"));
    AddItem(cust, "munInsertDocuDel", tr("删除资料夹"));
    AddItem(cust, "munInsertDocRen", tr("重命名资料夹"));
    cust->addSeparator();
    AddItem(cust, "munInsertDocuImport", tr("导入..."));
    AddItem(cust, "munInsertDocuExport", tr("导出..."));
    cust->addSeparator();
    AddItem(cust, "munInsertDocuNew", tr("新建资料"));
    AddItem(cust, "munInsetDocuSave", tr("保存资料"));
    AddItem(cust, "munInsertRenDoc", tr("重命名资料"));
    AddItem(cust, "munInsertDelDoc", tr("删除资料"));
    cust->addSeparator();
    AddItem(cust, "munInsertInsertDocu", tr("插入资料"));
    m->addSeparator();
    QMenu* file = AddSubMenu(m, "munInsertFile", tr("外部文件(&F)"));
    m_actions.insert("munInsertFile", file->menuAction());
    RequireLibrary(AddItem(file, "munInsertPic", tr("图片(&P)")));
    AddItem(file, "munInsertTxt", tr("文档(&D)"));
    return m;
}

QMenu* TfrmMain::BuildDocMenu() {
    auto* m = new QMenu(tr("稿件库(&D)"), this);
    m->setObjectName(QStringLiteral("munDoc"));
    AddItem(m, "munDocBase", tr("新建稿件库"));
    AddItem(m, "munDocOpenBase", tr("打开稿件库"));
    RequireLibrary(AddItem(m, "munDocCloseBase", tr("关闭稿件库")));
    m->addSeparator();
    // The five maintenance items carry their tag (QAction::data); 属性 is tag 10.
    RequireLibrary(AddItem(m, "munDocCompact", tr("压缩稿件库"), {}))->setData(6);
    RequireLibrary(AddItem(m, "munDocRepair", tr("修复稿件库"), {}))->setData(7);
    RequireLibrary(AddItem(m, "munDocRestore", tr("从备份恢复…")));
    RequireLibrary(AddItem(m, "munDocModifyPas", tr("修改密码"), {}))->setData(8);
    RequireLibrary(AddItem(m, "munDocShortCut", tr("创建快捷方式"), {}))->setData(9);
    m->addSeparator();
    RequireLibrary(AddItem(m, "munDocAttribute", tr("属性"), {}))->setData(10);
    m->addSeparator();
    RequireLibrary(AddItem(m, "munDocImport", tr("导入(&I)...")));
    RequireLibrary(AddItem(m, "munDocExport", tr("导出(&E)...")));
    RequireLibrary(AddItem(m, "munDocBook", tr("输出书稿…")));
    m->addSeparator();
    AddItem(m, "munDocCenter", tr("稿件库中心"), QKeySequence(Qt::Key_F8));
    m->addSeparator();
    RequireLibrary(AddItem(m, "munDocNewFloder", tr("新建稿件夹(&F)")));
    RequireLibrary(AddItem(m, "munDocDelFloder", tr("删除稿件夹(&E)")));
    RequireLibrary(AddItem(m, "munDocReNameFloder", tr("重命名稿件夹(&R)")));
    return m;
}

QMenu* TfrmMain::BuildToolMenu() {
    auto* m = new QMenu(tr("工具(&T)"), this);
    m->setObjectName(QStringLiteral("munTool"));
    AddItem(m, "munToolWordCount", tr("字数统计(&C)"), QKeySequence(Qt::Key_F9));
    RequireLibrary(AddItem(m, "munToolWritingStats", tr("写作统计(&W)"), QKeySequence(Qt::SHIFT | Qt::Key_F9)));
    m->addSeparator();
    AddItem(m, "munToolPY", tr("反查拼音(&P)"));
    AddItem(m, "munToolReader", tr("阅读模式(&R)"), QKeySequence(Qt::Key_F11));
    AddItem(m, "munToolHide", tr("快速隐藏(&H)"), QKeySequence(Qt::Key_F12), Cmd(this, &TfrmMain::munToolHideClick));
    AddItem(m, "munToolFullScreen", tr("全屏写作(&G)"), QKeySequence(Qt::CTRL | Qt::Key_F11))->setCheckable(true);
    AddItem(m, "munToolIndent", tr("整理段首缩进(&I)"));
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
    AddItem(m, "munToolOption", tr("首选项(&O)"));
    return m;
}

QMenu* TfrmMain::BuildHelpMenu() {
    auto* m = new QMenu(tr("帮助(&H)"), this);
    m->setObjectName(QStringLiteral("munHelp"));
    AddItem(m, "munHelpTopic", tr("帮助主题(&T)"), QKeySequence(Qt::Key_F1));
    m->addSeparator();
    AddItem(m, "munHelpHome", tr("软件主页(&H)"));
    AddItem(m, "munHelpWrong", tr("错误报告(&W)"));
    AddItem(m, "munHelpBBS", tr("给我留言(&B)"));
    m->addSeparator();
    AddItem(m, "munHelpAbout", tr("关于(&A)"));
    return m;
}

// The pop-up items run the main commands directly: they are never disabled,
// even when the main item is. Their shortcuts are shown but only act while
// the pop-up itself has the focus, so they never compete with the main menu.
void TfrmMain::BuildPopEditor() {
    m_popEditor = new QMenu(this);
    m_popEditor->setObjectName(QStringLiteral("PopEditor"));
    auto add = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys,
                      const TCommand& command) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        ConnectCommand(action, command);
        return action;
    };
    QMenu* p = m_popEditor;
    add(p, "PopUndo", tr("撤销(&U)"), Ctrl(Qt::Key_Z), Command("munEditUndo"));
    add(p, "PopRedo", tr("重复(&R)"), Ctrl(Qt::Key_Y), Command("munEditRedo"));
    p->addSeparator();
    add(p, "PopCut", tr("剪切(&T)"), Ctrl(Qt::Key_X), Command("munEditCut"));
    p->addSeparator();
    add(p, "PopCopy", tr("复制(&C)"), Ctrl(Qt::Key_C), Command("munEditCopy"));
    add(p, "PopCopyAll", tr("全文复制"), {}, Command("munCopyAll"));
    p->addSeparator();
    add(p, "PopPaste", tr("粘贴(&P)"), Ctrl(Qt::Key_V), Command("munEditPaste"));
    p->addSeparator();
    add(p, "PopDel", tr("删除(&D)"), {}, Command("munEditDel"));
    QMenu* delSel = AddSubMenu(p, "PopDelSel", tr("快捷删除"));
    add(delSel, "PopDelLine", tr("删除当前行"), {}, Command("munDelLine"));
    add(delSel, "PopDelFromBegin", tr("从开头到当前位置"), {}, Command("munDelFromBegin"));
    add(delSel, "PopDelFromEnd", tr("从末尾到当前位置"), {}, Command("munDelFromEnd"));
    p->addSeparator();
    add(p, "PopSelAll", tr("全部选取"), Ctrl(Qt::Key_A), Command("munEditSelAll"));
    QMenu* sel = AddSubMenu(p, "PopSel", tr("快捷选取"));
    add(sel, "PopSelFromBegin", tr("从开头到当前位置"), {}, Command("munSelFromBegin"));
    add(sel, "PopSelFromEnd", tr("从末尾到当前位置"), {}, Command("munSelFromEnd"));
    p->addSeparator();
    add(p, "PopMail", tr("发送邮件(&M)"), Ctrl(Qt::Key_M), Command("munFileMail"));
    p->addSeparator();
    QAction* wrap = p->addAction(tr("自动换行(&W)"));
    wrap->setObjectName(QStringLiteral("PopWrap"));
    // The main item carries the check mark: a click here is a click on it.
    connect(wrap, &QAction::triggered, Action(QStringLiteral("munEditWrap")), &QAction::trigger);
    add(p, "PopFont", tr("设置字体(&F)"), {}, Command("munEditFont"));
    p->addSeparator();
    add(p, "PopAttribute", tr("属性(&A)"), Ctrl(Qt::Key_E), Command("munFileAttribute"));
}

// The folder tree's pop-up menu: the folder items of menu 稿件库 and the
// folder's writing goal (on the root, the library's). A right click selects
// the folder under the mouse first.
void TfrmMain::BuildPopFolder() {
    m_popFloder = new QMenu(this);
    m_popFloder->setObjectName(QStringLiteral("PopFloder"));
    for (const char* name : {"munDocNewFloder", "munDocDelFloder", "munDocReNameFloder"})
        m_popFloder->addAction(Action(QString::fromLatin1(name)));
    m_popFloder->addSeparator();
    QAction* goal = m_popFloder->addAction(tr("设置目标…"));
    goal->setObjectName(QStringLiteral("PopFloderGoal"));
    ConnectCommand(goal, Command("PopFloderGoal"));
    m_actions.insert(goal->objectName(), goal);
    m_tvDoc->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tvDoc, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (QTreeWidgetItem* item = m_tvDoc->itemAt(pos))
            m_tvDoc->setCurrentItem(item);
        if (m_tvDoc->currentItem())
            m_popFloder->popup(m_tvDoc->viewport()->mapToGlobal(pos));
    });
}
