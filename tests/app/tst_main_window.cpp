// The main window as built: menus, tool bars, side channel, status bar and
// pop-up menu read back from the running window, the library state switch,
// skins, edit actions and quick hide.
#include "app/TAppContext.h"
#include "app/TQuickHide.h"
#include "app/TQuilloraApp.h"
#include "app/TSideChannel.h"
#include "app/TStatusPanels.h"
#include "app/TfrmMain.h"
#include "app/commands/TEditCommands.h"
#include "app/dialogs/TfrmAbout.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/AppPaths.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

namespace {

// "name|caption|shortcut" per item, "-" for a separator, ">name|caption" for
// a submenu.
QStringList Describe(const QMenu* menu) {
    QStringList lines;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            lines << "-";
        else if (action->menu())
            lines << ">" + action->menu()->objectName() + "|" + action->text();
        else
            lines << action->objectName() + "|" + action->text() + "|" +
                         action->shortcut().toString(QKeySequence::PortableText);
    }
    return lines;
}

// The window of the application the running test started.
TfrmMain* frmMain = nullptr;

QMenu* Menu(const QString& name) { return frmMain->findChild<QMenu*>(name); }

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuilloraApp> m_app;

private slots:
    void init() {
        QFile::remove(AppPath() + "Config.ini");
        m_app = std::make_unique<TQuilloraApp>(QStringList{"quillora"});
        m_app->Startup();
        frmMain = m_app->MainWindow();
        frmMain->show();
        QTest::qWait(20);
    }
    void cleanup() {
        m_app.reset();
        frmMain = nullptr;
    }

    void windowBasics() {
        QCOMPARE(frmMain->windowTitle(), QString("QuilloraVer1.3"));
        QCOMPARE(frmMain->minimumWidth(), 130);
        QCOMPARE(frmMain->menuBar()->objectName(), QString("munMain"));
        QStringList captions;
        for (QAction* action : frmMain->menuBar()->actions())
            captions << action->menu()->objectName() + "|" + action->text();
        QCOMPARE(captions,
                 QStringList({"munFile|稿件(&F)", "munEdit|编辑(&E)", "munFind|查找(&S)", "munInsert|插入(&I)",
                              "munDoc|稿件库(&D)", "munTool|工具(&T)", "munHelp|帮助(&H)"}));
    }

    void menuItems_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("munFile") << "munFile"
                                 << QStringList{"munFileNew|新建(&N)|Ctrl+N",
                                                "munFileOpen|打开(&O)|Ctrl+O",
                                                "munFileSave|保存(&S)|Ctrl+S",
                                                "munFileSaveAs|另存为...|",
                                                "-",
                                                "munFileDel|删除(&D)|",
                                                "munFileRename|重命名(&R)|",
                                                "-",
                                                "munFileAttribute|属性(&A)|Ctrl+E",
                                                "munFileHistory|历史版本…|",
                                                "-",
                                                "munFilePrintSet|打印设置|",
                                                "munFilePrint|打印稿件(&P)|Ctrl+P",
                                                "-",
                                                "munFileMail|发送邮件(&M)|Ctrl+M",
                                                "-",
                                                "munFileExit|退出(&X)|"};
        QTest::newRow("munEdit") << "munEdit"
                                 << QStringList{"munEditUndo|撤销(&U)|Ctrl+Z",
                                                "munEditRedo|重复(&R)|Ctrl+Y",
                                                "-",
                                                "munEditCut|剪切(&X)|Ctrl+X",
                                                "-",
                                                "munEditCopy|复制(&C)|Ctrl+C",
                                                "munCopyAll|全文复制|",
                                                "-",
                                                "munEditPaste|粘贴(&P)|Ctrl+V",
                                                "-",
                                                "munEditDel|删除(&D)|",
                                                ">munEditDelSel|快捷删除",
                                                "-",
                                                "munEditSelAll|全部选取(&A)|Ctrl+A",
                                                ">munEditSel|快捷选取",
                                                "-",
                                                "munEditWatchClipper|监视剪贴板|",
                                                "-",
                                                "munEditFont|设置字体(&F)|",
                                                "munEditBG|背景颜色(&B)|",
                                                "munEditWrap|自动换行(&W)|"};
        QTest::newRow("munEditDelSel") << "munEditDelSel"
                                       << QStringList{"munDelLine|删除当前行(&L)|", "munDelFromBegin|从开头到当前位置|",
                                                      "munDelFromEnd|从末尾到当前位置|"};
        QTest::newRow("munEditSel") << "munEditSel"
                                    << QStringList{"munSelFromBegin|从开头到当前位置|",
                                                   "munSelFromEnd|从末尾到当前位置|"};
        QTest::newRow("munFind") << "munFind"
                                 << QStringList{"munFindSearch|查找(&F)|Ctrl+F",
                                                "munFindNext|查找下一个|F3",
                                                "-",
                                                "munFindReplace|替换...|Ctrl+R",
                                                "-",
                                                "munFindInFile|在文件中查找|",
                                                "munFindLibrary|在稿件库中查找|Ctrl+Shift+F"};
        QTest::newRow("munInsert") << "munInsert"
                                   << QStringList{"munInsertTime|时间(&T)|F4",  "munInsertDate|日期(&D)|F5",
                                                  ">munInsertMark|标签(&S)",    "-",
                                                  ">munInsertCust|资料库(&C)",  "-",
                                                  ">munInsertFile|外部文件(&F)"};
        QTest::newRow("munInsertMark") << "munInsertMark"
                                       << QStringList{"munInsertMarkAdd|添加(&A)|", "munInsertMarkDel|删除(&D)|",
                                                      "munInsertMarkEdit|编辑(&E)|", "-",
                                                      "munInsertMarkOpen|打开(&O)|"};
        QTest::newRow("munInsertCust") << "munInsertCust"
                                       << QStringList{"munInsertDocuAdd|新建资料夹|",
                                                      "munInsertDocuDel|删除资料夹|",
                                                      "munInsertDocRen|重命名资料夹|",
                                                      "-",
                                                      "munInsertDocuImport|导入...|",
                                                      "munInsertDocuExport|导出...|",
                                                      "-",
                                                      "munInsertDocuNew|新建资料|",
                                                      "munInsetDocuSave|保存资料|",
                                                      "munInsertRenDoc|重命名资料|",
                                                      "munInsertDelDoc|删除资料|",
                                                      "-",
                                                      "munInsertInsertDocu|插入资料|"};
        QTest::newRow("munInsertFile") << "munInsertFile"
                                       << QStringList{"munInsertPic|图片(&P)|", "munInsertTxt|文档(&D)|"};
        QTest::newRow("munDoc") << "munDoc"
                                << QStringList{"munDocBase|新建稿件库|",
                                               "munDocOpenBase|打开稿件库|",
                                               "munDocCloseBase|关闭稿件库|",
                                               "-",
                                               "munDocCompact|压缩稿件库|",
                                               "munDocRepair|修复稿件库|",
                                               "munDocRestore|从备份恢复…|",
                                               "munDocModifyPas|修改密码|",
                                               "munDocShortCut|创建快捷方式|",
                                               "-",
                                               "munDocAttribute|属性|",
                                               "-",
                                               "munDocImport|导入(&I)...|",
                                               "munDocExport|导出(&E)...|",
                                               "munDocBook|输出书稿…|",
                                               "-",
                                               "munDocCenter|稿件库中心|F8",
                                               "-",
                                               "munDocNewFloder|新建稿件夹(&F)|",
                                               "munDocDelFloder|删除稿件夹(&E)|",
                                               "munDocReNameFloder|重命名稿件夹(&R)|"};
        QTest::newRow("munTool") << "munTool"
                                 << QStringList{"munToolWordCount|字数统计(&C)|F9",
                                                "munToolWritingStats|写作统计(&W)|Shift+F9",
                                                "-",
                                                "munToolPY|反查拼音(&P)|",
                                                "munToolReader|阅读模式(&R)|F11",
                                                "munToolHide|快速隐藏(&H)|F12",
                                                "munToolFullScreen|全屏写作(&G)|Ctrl+F11",
                                                "munToolIndent|整理段首缩进(&I)|",
                                                "-",
                                                ">munToolSkin|更换皮肤(&S)",
                                                "-",
                                                "munToolOption|首选项(&O)|"};
        QTest::newRow("munToolSkin") << "munToolSkin"
                                     << QStringList{"munBlueGlass|BlueGlass(&B)|", "munMacOS|MacOS(&M)|",
                                                    "munProtein|Protein(&P)|",     "munWinXP|Win XP(&W)|",
                                                    "munDeepBlue|DeepBlue(&D)|",   "-",
                                                    "munSkinFile|选择文件(&F)...|"};
        QTest::newRow("munHelp") << "munHelp"
                                 << QStringList{"munHelpTopic|帮助主题(&T)|F1", "-",
                                                "munHelpHome|软件主页(&H)|",    "munHelpWrong|错误报告(&W)|",
                                                "munHelpBBS|给我留言(&B)|",     "-",
                                                "munHelpAbout|关于(&A)|"};
        QTest::newRow("PopEditor") << "PopEditor"
                                   << QStringList{"PopUndo|撤销(&U)|Ctrl+Z",
                                                  "PopRedo|重复(&R)|Ctrl+Y",
                                                  "-",
                                                  "PopCut|剪切(&T)|Ctrl+X",
                                                  "-",
                                                  "PopCopy|复制(&C)|Ctrl+C",
                                                  "PopCopyAll|全文复制|",
                                                  "-",
                                                  "PopPaste|粘贴(&P)|Ctrl+V",
                                                  "-",
                                                  "PopDel|删除(&D)|",
                                                  ">PopDelSel|快捷删除",
                                                  "-",
                                                  "PopSelAll|全部选取|Ctrl+A",
                                                  ">PopSel|快捷选取",
                                                  "-",
                                                  "PopMail|发送邮件(&M)|Ctrl+M",
                                                  "-",
                                                  "PopWrap|自动换行(&W)|",
                                                  "PopFont|设置字体(&F)|",
                                                  "-",
                                                  "PopAttribute|属性(&A)|Ctrl+E"};
    }
    void menuItems() {
        QFETCH(QString, menu);
        QFETCH(QStringList, items);
        QMenu* found = Menu(menu);
        QVERIFY2(found, qPrintable(menu));
        QCOMPARE(Describe(found), items);
    }

    void checkItems() {
        for (const char* name : {"munEditWatchClipper", "munEditWrap", "munToolFullScreen"})
            QVERIFY2(frmMain->Action(name)->isCheckable(), name);
        QCOMPARE(frmMain->Action("munEditWrap")->isChecked(), frmMain->Editor()->WordWrap());
        QVERIFY(!frmMain->Action("munEditWatchClipper")->isChecked());
    }

    void toolBar() {
        auto* bar = frmMain->findChild<QToolBar*>("tbTool");
        QVERIFY(bar);
        QCOMPARE(bar->minimumHeight(), 28);
        QCOMPARE(bar->maximumHeight(), 28);
        QStringList controls;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator())
                continue;
            QWidget* widget = bar->widgetForAction(action);
            controls << widget->objectName() + "|" + widget->toolTip();
        }
        QCOMPARE(controls,
                 QStringList({"tbNew|新建",          "tbOpen|打开",           "tbSave|保存",     "tbAttribute|属性",
                              "tbPrint|打印",        "tbMail|发送邮件",       "tbUndo|撤销",     "tbRedo|重复",
                              "tbCut|剪切",          "tbCopy|复制",           "tbPaste|粘贴",    "tbDel|删除",
                              "comboxFontName|字体", "comboxFontSize|字号",   "tbFind|查找",     "tbReader|阅读模式",
                              "tbHide|快速隐藏",     "tbFullScreen|全屏写作", "tbHome|软件主页", "tbHelp|帮助主题"}));
        auto* sizes = frmMain->findChild<QComboBox*>("comboxFontSize");
        QStringList sizeItems;
        for (int i = 0; i < sizes->count(); ++i)
            sizeItems << sizes->itemText(i);
        QCOMPARE(sizeItems.join(','), QString("8,9,10,11,12,14,16,18,20,22,24,26,28,36,48,72"));
        auto* names = frmMain->findChild<QComboBox*>("comboxFontName");
        QCOMPARE(names->count(), QFontDatabase::families().size());
        QCOMPARE(names->maxVisibleItems(), 15);
    }

    void sideChannel() {
        auto* channel = frmMain->SideChannel();
        QCOMPARE(channel->objectName(), QString("chanelTool"));
        QCOMPARE(channel->windowTitle(), QString("工具面板"));
        QVERIFY(channel->IsPinned());
        QCOMPARE(channel->ChanelWidth(), 240);
        auto* page = frmMain->findChild<QTabWidget*>("pageTool");
        QStringList tabs;
        for (int i = 0; i < page->count(); ++i)
            tabs << page->widget(i)->objectName() + "|" + page->tabText(i);
        QCOMPARE(tabs,
                 QStringList({"tabDoc|稿件库", "tabInsert|资料库", "tabPic|图片", "tabSign|标签", "tabStart|稿件库"}));

        struct ListDef {
            const char* name;
            QStringList columns;
            QList<int> widths;  // checked where given
            QAbstractItemView::SelectionMode mode;
        };
        const ListDef lists[] = {
            {"DocListView", {"名称", "插图", "标签"}, {110}, QAbstractItemView::ExtendedSelection},
            {"lvFiles", {"名称"}, {}, QAbstractItemView::ExtendedSelection},
            {"lvPic", {"名称", "位置"}, {90}, QAbstractItemView::ExtendedSelection},
            {"lvMark", {"名称", "所属稿件"}, {80}, QAbstractItemView::SingleSelection},
        };
        for (const ListDef& def : lists) {
            auto* list = frmMain->findChild<QTreeWidget*>(def.name);
            QVERIFY2(list, def.name);
            QStringList columns;
            for (int i = 0; i < list->columnCount(); ++i)
                columns << list->headerItem()->text(i);
            QCOMPARE(columns, def.columns);
            for (int i = 0; i < def.widths.size(); ++i)
                QCOMPARE(list->columnWidth(i), def.widths[i]);
            QCOMPARE(list->selectionMode(), def.mode);
        }
        QVERIFY(frmMain->findChild<QTreeWidget*>("DocListView")->isSortingEnabled());
        for (const char* name : {"tvDoc", "tvFileFolder", "DocListView", "lvFiles"})
            QVERIFY2(frmMain->findChild<QTreeWidget*>(name)->dragEnabled(), name);
        for (const char* name : {"tbDocMgr", "tbFiles", "tbPic", "tbMark", "SplitterDoc", "spFile", "SplitterPic",
                                 "SplitterLeft", "PicView"})
            QVERIFY2(frmMain->findChild<QWidget*>(name), name);
    }

    // Collapsed to a 10-pixel bar, slid out on hover, pinned again.
    void sideChannelCollapses() {
        TSideChannel* channel = frmMain->SideChannel();
        channel->SetPinned(false);
        QCOMPARE(channel->width(), TSideChannel::kCollapsedWidth);
        channel->SlideOut();
        QVERIFY(channel->IsSlidOut());
        QCOMPARE(channel->ChanelWidth(), 240);
        channel->SetPinned(true);
        QVERIFY(!channel->IsSlidOut());
        QTest::qWait(20);
        QVERIFY(channel->width() >= TSideChannel::kMinimumWidth);
    }

    // The editor takes the width the channel gives up, and gives it back.
    void collapsedChannelLeavesNoEmptyStrip() {
        TSideChannel* channel = frmMain->SideChannel();
        auto* splitter = frmMain->findChild<QSplitter*>("SplitterLeft");
        auto* editorArea = frmMain->findChild<QWidget*>("editorFrame");
        const int pinnedChannel = channel->width();
        const int pinnedEditor = editorArea->width();
        channel->SetPinned(false);
        QTest::qWait(20);
        const int strip = channel->width() + splitter->handleWidth();
        QCOMPARE(channel->width(), TSideChannel::kCollapsedWidth);
        QCOMPARE(editorArea->width(), splitter->width() - strip);
        channel->SetPinned(true);
        QTest::qWait(20);
        QCOMPARE(channel->width(), pinnedChannel);
        QCOMPARE(editorArea->width(), pinnedEditor);
    }

    void statusPanels() {
        TStatusPanels* bar = frmMain->StatusPanels();
        QCOMPARE(bar->objectName(), QString("StBarMain"));
        const int widths[] = {0, 250, 50, 50, 80, 80, 150, 150, 50};  // panel 0 hidden: no library
        const Qt::Alignment alignments[] = {Qt::AlignLeft,    Qt::AlignLeft,    Qt::AlignHCenter,
                                            Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter,
                                            Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignLeft};
        for (int i = 0; i < TStatusPanels::kPanelCount; ++i) {
            QCOMPARE(bar->PanelWidth(i), widths[i]);
            QCOMPARE(bar->PanelAlignment(i), alignments[i]);
        }
        QCOMPARE(bar->PanelText(2), QString("插入"));
        QCOMPARE(bar->PanelText(6), QString("行：1"));  // from the first paint, before any caret move
        QCOMPARE(bar->PanelText(7), QString("列：1"));
        QCOMPARE(bar->PanelText(8), QString());
    }

    void libraryStateSwitch() {
        auto* page = frmMain->findChild<QTabWidget*>("pageTool");
        // The items marked as needing a library, whatever the menus and bars hold.
        QList<QObject*> libraryItems;
        for (QAction* action : frmMain->findChildren<QAction*>())
            if (TfrmMain::NeedsLibrary(action))
                libraryItems << action;
        for (QToolButton* button : frmMain->findChildren<QToolButton*>())
            if (TfrmMain::NeedsLibrary(button))
                libraryItems << button;
        // Spot checks that the marking reaches menus, sub-menus and both kinds of bar.
        for (const char* name : {"munDocCloseBase", "munInsertMark", "munInsertPic"})
            QVERIFY2(libraryItems.contains(frmMain->Action(name)), name);
        for (const char* name : {"tbAttribute", "tbDocEdit"})
            QVERIFY2(libraryItems.contains(frmMain->ToolButton(name)), name);
        auto enabled = [](const QObject* control) {
            if (auto* action = qobject_cast<const QAction*>(control))
                return action->isEnabled();
            return qobject_cast<const QWidget*>(control)->isEnabled();
        };
        auto check = [&](bool open) {
            QCOMPARE(page->isTabVisible(0), open);
            QVERIFY(page->isTabVisible(1));
            QCOMPARE(page->isTabVisible(2), open);
            QCOMPARE(page->isTabVisible(3), open);
            // A command that is not built yet stays disabled in both states.
            auto built = [](const QObject* control) { return !control->property("unbuilt").toBool(); };
            for (const QObject* item : libraryItems)
                QVERIFY2(enabled(item) == (open && built(item)), qPrintable(item->objectName()));
            for (const char* name : {"munDocBase", "munDocOpenBase", "munDocCenter"})
                QVERIFY2(frmMain->Action(name)->isEnabled() == built(frmMain->Action(name)), name);
        };
        check(false);
        QCOMPARE(page->currentWidget()->objectName(), QString("tabStart"));
        QCOMPARE(frmMain->StatusPanels()->PanelWidth(0), 0);

        // The state switch reads only Opened and the library's file name.
        frmMain->Context().DocData().SetOpened(true);
        frmMain->UpdateLibraryState();
        check(true);
        QCOMPARE(page->currentWidget()->objectName(), QString("tabDoc"));
        QVERIFY(!page->isTabVisible(page->indexOf(frmMain->findChild<QWidget*>("tabStart"))));
        QCOMPARE(frmMain->StatusPanels()->PanelWidth(0), 180);
        QCOMPARE(frmMain->StatusPanels()->PanelText(0),
                 "稿件库：" + QFileInfo(frmMain->Context().DocData().GetDocDataName()).completeBaseName());

        frmMain->Context().DocData().SetOpened(false);
        frmMain->StatusPanels()->SetPanelText(1, "稿件：第一章");
        frmMain->UpdateLibraryState();
        check(false);
        QCOMPARE(frmMain->StatusPanels()->PanelWidth(0), 0);
        QCOMPARE(frmMain->StatusPanels()->PanelText(1), QString("稿件：新建稿件"));
        QCOMPARE(frmMain->StatusPanels()->PanelText(5), QString("状态：新建"));
    }

    void showManuscriptName() {
        frmMain->ShowManuscriptName("第三章");
        QCOMPARE(frmMain->StatusPanels()->PanelText(1), QString("稿件：第三章"));
        frmMain->ShowManuscriptName(QString());
        QCOMPARE(frmMain->StatusPanels()->PanelText(1), QString("稿件：新建稿件"));
    }

    // Each built-in style looks different; the theme-file item reads a Qt
    // style sheet. The window left open beside the main window (关于) follows
    // every change, and a dialog opened afterwards is drawn in the style
    // chosen last: both wear what the application wears.
    void skins() {
        frmMain->Action("munHelpAbout")->trigger();
        QPointer<TfrmAbout> about = frmMain->findChild<TfrmAbout*>();
        QVERIFY(about);
        auto wearsTheApplicationSkin = [](const QWidget& widget) {
            return widget.styleSheet() == qApp->styleSheet() &&
                   widget.palette().color(QPalette::Window) == QApplication::palette().color(QPalette::Window) &&
                   widget.palette().color(QPalette::Highlight) == QApplication::palette().color(QPalette::Highlight);
        };
        TScriptedDialogs dialogs;
        QStringList sheets;
        const QList<QPair<const char*, int>> items = {
            {"munBlueGlass", 5}, {"munMacOS", 1}, {"munProtein", 4}, {"munWinXP", 2}, {"munDeepBlue", 3}};
        for (const auto& [name, style] : items) {
            frmMain->Action(name)->trigger();
            QCOMPARE(frmMain->SkinStyle(), style);
            QVERIFY2(wearsTheApplicationSkin(*about), name);
            bool optionsDrawn = false;
            dialogs.QueueDialog([&](QDialog& d) {
                optionsDrawn = wearsTheApplicationSkin(d);
                return int(QDialog::Rejected);
            });
            frmMain->Action("munToolOption")->trigger();
            QVERIFY2(optionsDrawn, name);
            sheets << qApp->styleSheet();
        }
        QCOMPARE(QSet<QString>(sheets.begin(), sheets.end()).size(), 5);

        const QString theme = AppPath() + "green.sui";
        QFile file(theme);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("QMenuBar { background: #00aa00; }");
        file.close();
        dialogs.ClearRecords();
        dialogs.QueueOpenFileName(theme);
        frmMain->Action("munSkinFile")->trigger();
        QCOMPARE(dialogs.Requests().size(), size_t(1));
        QCOMPARE(dialogs.Requests().at(0).caption, QString("更换皮肤"));
        QCOMPARE(dialogs.Requests().at(0).filter, QString("皮肤文件(*.sui)|*.sui"));
        QCOMPARE(frmMain->SkinStyle(), 0);
        QCOMPARE(frmMain->SkinTheme(), theme);
        QCOMPARE(qApp->styleSheet(), QString("QMenuBar { background: #00aa00; }"));
        QVERIFY(wearsTheApplicationSkin(*about));

        // Cancelling the dialog keeps the current skin.
        frmMain->Action("munMacOS")->trigger();
        frmMain->Action("munSkinFile")->trigger();
        QCOMPARE(frmMain->SkinStyle(), 1);
        about->close();
    }

    void editActionsFollowTheEditor() {
        TqlvEditor* editor = frmMain->Editor();
        editor->SetText("春眠不觉晓");
        editor->Control()->moveCursor(QTextCursor::End);
        frmMain->UpdateEditActions();
        QVERIFY(!frmMain->Action("munEditCut")->isEnabled());
        QVERIFY(!frmMain->ToolButton("tbCopy")->isEnabled());
        frmMain->Action("munEditSelAll")->trigger();
        QVERIFY(frmMain->Action("munEditCut")->isEnabled());
        QVERIFY(frmMain->ToolButton("tbCut")->isEnabled());
        QVERIFY(frmMain->ToolButton("tbDel")->isEnabled());

        auto* sizes = frmMain->findChild<QComboBox*>("comboxFontSize");
        sizes->setCurrentIndex(sizes->findText("36"));
        frmMain->EditCommands().comboxFontSizeChange();
        QCOMPARE(editor->GetSelFontSize(), 36);
        frmMain->UpdateEditActions();
        QCOMPARE(sizes->currentText(), QString("36"));

        frmMain->Action("munEditDel")->trigger();
        QCOMPARE(editor->GetText(), QString());
        frmMain->Action("munEditUndo")->trigger();
        QCOMPARE(editor->GetText(), QString("春眠不觉晓"));
    }

    void insertKeyTogglesPanelTwo() {
        QTextEdit* control = frmMain->Editor()->Control();
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Insert);
        QCOMPARE(frmMain->StatusPanels()->PanelText(2), QString("改写"));
        QTest::keyClick(control, Qt::Key_Insert);
        QCOMPARE(frmMain->StatusPanels()->PanelText(2), QString("插入"));
    }

    // Without a global hot key or a tray (offscreen) quick hide minimises, so
    // the window can always be found again; restoring brings it back.
    void quickHideAndRestore() {
        frmMain->Action("munToolHide")->trigger();
        TQuickHide* hide = frmMain->QuickHide();
        QVERIFY(!frmMain->isVisible() || frmMain->isMinimized());
        frmMain->ShowFromHotKey();
        QVERIFY(frmMain->isVisible());
        QVERIFY(!hide->IsHidden());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
