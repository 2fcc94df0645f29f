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
#include "app/commands/TMainCommands.h"
#include "app/dialogs/TfrmAbout.h"
#include "editor/TqlvEditor.h"
#include "library/TqlvDocData.h"
#include "platform/AppPaths.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
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
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <memory>

namespace {

// The editor's observable state: text, selection and clipboard.
struct TEditorState {
    QString text;
    int selectionStart = 0;
    int selectionEnd = 0;
    QString clipboard;
    bool operator==(const TEditorState&) const = default;
};

QString Describe(const TEditorState& state) {
    return QString("text=%1 selection=%2..%3 clipboard=%4")
        .arg(state.text)
        .arg(state.selectionStart)
        .arg(state.selectionEnd)
        .arg(state.clipboard);
}

// The named items a user can reach: every menu item and every button.
QList<QObject*> NamedControls(QWidget* window) {
    QList<QObject*> controls;
    for (QMenu* menu : window->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && !action->menu())
                controls << action;
    // Buttons the window made, not those Qt makes inside its own widgets
    // (tool bar extensions, tab scrollers).
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QString name = button->objectName();
        if (!name.isEmpty() && !name.startsWith("qt_") && !qobject_cast<QTabBar*>(button->parentWidget()))
            controls << button;
    }
    return controls;
}

bool IsEnabled(const QObject* control) {
    if (auto* action = qobject_cast<const QAction*>(control))
        return action->isEnabled();
    return qobject_cast<const QWidget*>(control)->isEnabled();
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
    }

    // Every menu reads cleanly: no separator at either end or twice in a
    // row, and every item has a name and a caption.
    void menusAreWellFormed() {
        QList<QMenu*> menus;  // the window's own, not those Qt makes inside its widgets
        for (QMenu* menu : frmMain->findChildren<QMenu*>())
            if (!menu->objectName().isEmpty())
                menus << menu;
        QVERIFY(menus.size() > 10);
        for (const QMenu* menu : menus) {
            const QList<QAction*> actions = menu->actions();
            QVERIFY2(!actions.isEmpty(), qPrintable(menu->objectName()));
            QVERIFY2(!actions.first()->isSeparator() && !actions.last()->isSeparator(), qPrintable(menu->objectName()));
            for (int i = 1; i < actions.size(); ++i)
                QVERIFY2(!(actions[i - 1]->isSeparator() && actions[i]->isSeparator()), qPrintable(menu->objectName()));
            for (const QAction* action : actions) {
                if (action->isSeparator())
                    continue;
                QVERIFY2(!action->text().isEmpty(), qPrintable(menu->objectName()));
                const QString name = action->menu() ? action->menu()->objectName() : action->objectName();
                QVERIFY2(!name.isEmpty(), qPrintable(menu->objectName() + ": " + action->text()));
            }
        }
    }

    // Names find controls (tests, skins, the accessibility tree): no two
    // share one; every button carries an accessible name; every item runs
    // a command.
    void controlsAreNamedOnceAndRunSomething() {
        QHash<QString, const QObject*> byName;
        for (const QObject* control : NamedControls(frmMain)) {
            const QString name = control->objectName();
            QVERIFY2(!byName.contains(name) || byName.value(name) == control, qPrintable(name));
            byName.insert(name, control);
            QVERIFY2(!control->property("unbuilt").toBool(), qPrintable(name));
            if (auto* button = qobject_cast<QAbstractButton*>(const_cast<QObject*>(control))) {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
                QVERIFY2(accessible && !accessible->text(QAccessible::Name).isEmpty(), qPrintable(name));
            }
        }
    }

    // A key combination runs one item of the window; the pop-up menu's
    // items act only while it has the focus, so they are left out.
    void shortcutsAreUnique() {
        QHash<QKeySequence, QString> owners;
        for (const QAction* action : frmMain->findChildren<QAction*>()) {
            if (action->shortcut().isEmpty() || action->shortcutContext() == Qt::WidgetShortcut)
                continue;
            const QString owner = owners.value(action->shortcut());
            QVERIFY2(owner.isEmpty() || owner == action->objectName(),
                     qPrintable(action->shortcut().toString() + ": " + owner + ", " + action->objectName()));
            owners.insert(action->shortcut(), action->objectName());
        }
    }

    // A pop-up item or a tool button does to the editor what its menu item
    // does, and a pop-up item shows its menu item's shortcut.
    void twinsActAlike_data() {
        QTest::addColumn<QString>("twin");
        QTest::addColumn<QString>("item");
        const QList<QPair<const char*, const char*>> pairs = {
            {"PopUndo", "munEditUndo"},         {"PopRedo", "munEditRedo"},     {"PopCut", "munEditCut"},
            {"PopCopy", "munEditCopy"},         {"PopCopyAll", "munCopyAll"},   {"PopPaste", "munEditPaste"},
            {"PopDel", "munEditDel"},           {"PopDelLine", "munDelLine"},   {"PopDelFromBegin", "munDelFromBegin"},
            {"PopDelFromEnd", "munDelFromEnd"}, {"PopSelAll", "munEditSelAll"}, {"PopSelFromBegin", "munSelFromBegin"},
            {"PopSelFromEnd", "munSelFromEnd"}, {"tbUndo", "munEditUndo"},      {"tbCut", "munEditCut"},
            {"tbCopy", "munEditCopy"},          {"tbPaste", "munEditPaste"},    {"tbDel", "munEditDel"},
        };
        for (const auto& [twin, item] : pairs)
            QTest::newRow(twin) << twin << item;
    }
    void twinsActAlike() {
        QFETCH(QString, twin);
        QFETCH(QString, item);
        QAction* menuItem = frmMain->Action(item);
        QVERIFY(menuItem);
        auto* popupItem = frmMain->findChild<QAction*>(twin);
        QToolButton* button = frmMain->ToolButton(twin);
        QVERIFY2(popupItem || button, qPrintable(twin));
        if (popupItem)
            QCOMPARE(popupItem->shortcut(), menuItem->shortcut());

        TqlvEditor* editor = frmMain->Editor();
        // Two lines with an undoable insertion, a selection inside the
        // first line and the caret there, something on the clipboard.
        auto run = [&](const std::function<void()>& trigger) {
            editor->SetText("春眠不觉晓\n处处闻啼鸟");
            QTextCursor cursor = editor->Control()->textCursor();
            cursor.setPosition(2);
            cursor.insertText("夜来");
            cursor.setPosition(1);
            cursor.setPosition(4, QTextCursor::KeepAnchor);
            editor->Control()->setTextCursor(cursor);
            QApplication::clipboard()->setText("风雨声");
            frmMain->UpdateEditActions();
            trigger();
            const QTextCursor after = editor->Control()->textCursor();
            return TEditorState{editor->GetText(), after.selectionStart(), after.selectionEnd(),
                                QApplication::clipboard()->text()};
        };
        const TEditorState expected = run([&] { menuItem->trigger(); });
        const TEditorState got = run([&] {
            if (popupItem)
                popupItem->trigger();
            else
                button->click();
        });
        QVERIFY2(got == expected, qPrintable(Describe(got) + " / " + Describe(expected)));
    }

    void checkItems() {
        for (const char* name : {"munEditWatchClipper", "munEditWrap", "munToolFullScreen"})
            QVERIFY2(frmMain->Action(name)->isCheckable(), name);
        QCOMPARE(frmMain->Action("munEditWrap")->isChecked(), frmMain->Editor()->WordWrap());
        QVERIFY(!frmMain->Action("munEditWatchClipper")->isChecked());
    }

    // The font boxes offer the installed families and ascending sizes; the
    // bar keeps its height.
    void toolBar() {
        auto* bar = frmMain->findChild<QToolBar*>("tbTool");
        QVERIFY(bar);
        QCOMPARE(bar->minimumHeight(), 28);
        QCOMPARE(bar->maximumHeight(), 28);
        auto* sizes = frmMain->findChild<QComboBox*>("comboxFontSize");
        QVERIFY(sizes->count() > 1);
        for (int i = 1; i < sizes->count(); ++i)
            QVERIFY(sizes->itemText(i - 1).toInt() < sizes->itemText(i).toInt());
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
        // Manuscripts, materials and pictures are chosen many at a time, a
        // mark one at a time; every list has a caption over each column.
        const QPair<const char*, QAbstractItemView::SelectionMode> lists[] = {
            {"DocListView", QAbstractItemView::ExtendedSelection},
            {"lvFiles", QAbstractItemView::ExtendedSelection},
            {"lvPic", QAbstractItemView::ExtendedSelection},
            {"lvMark", QAbstractItemView::SingleSelection},
        };
        for (const auto& [name, mode] : lists) {
            auto* list = frmMain->findChild<QTreeWidget*>(name);
            QVERIFY2(list, name);
            QCOMPARE(list->selectionMode(), mode);
            for (int i = 0; i < list->columnCount(); ++i)
                QVERIFY2(!list->headerItem()->text(i).isEmpty(), name);
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

    // The panels follow the editor: 行/列 from the first paint and at every
    // caret move, and a note widens the last panel until it shows whole.
    void statusPanelsFollowTheEditor() {
        TStatusPanels* bar = frmMain->StatusPanels();
        QCOMPARE(bar->objectName(), QString("StBarMain"));
        QCOMPARE(bar->PanelText(2), QString("插入"));
        QCOMPARE(bar->PanelText(6), QString("行：1"));  // before any caret move
        QCOMPARE(bar->PanelText(7), QString("列：1"));
        QCOMPARE(bar->PanelText(8), QString());

        TqlvEditor* editor = frmMain->Editor();
        editor->SetText("第一行\n第二行文字");
        QTextCursor cursor = editor->Control()->textCursor();
        cursor.setPosition(QString("第一行\n第二").size());
        editor->Control()->setTextCursor(cursor);
        QCOMPARE(bar->PanelText(6), QString("行：2"));
        QCOMPARE(bar->PanelText(7), QString("列：3"));

        for (const QString& note : {QString("短"), QString("查找到文件末尾，已从头开始继续查找下一个匹配的文字")}) {
            emit editor->SearchNote(note);
            QCOMPARE(bar->PanelText(8), note);
            QVERIFY2(bar->PanelWidth(8) >= bar->fontMetrics().horizontalAdvance(note), qPrintable(note));
        }
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
        // The marking reaches menus, sub-menus and both kinds of bar.
        QVERIFY(!libraryItems.isEmpty());
        const auto marked = [&](const char* kind) {
            return std::any_of(libraryItems.begin(), libraryItems.end(),
                               [kind](const QObject* item) { return item->inherits(kind); });
        };
        QVERIFY(marked("QAction") && marked("QToolButton"));
        // The other controls keep their state whatever the library does.
        QHash<const QObject*, bool> others;
        for (QObject* control : NamedControls(frmMain))
            if (!libraryItems.contains(control))
                others.insert(control, IsEnabled(control));
        auto othersUnchanged = [&] {
            for (auto it = others.cbegin(); it != others.cend(); ++it)
                QVERIFY2(IsEnabled(it.key()) == it.value(), qPrintable(it.key()->objectName()));
        };
        auto enabled = IsEnabled;
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
        othersUnchanged();
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
        m_app->Commands()->Edit().comboxFontSizeChange();
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
