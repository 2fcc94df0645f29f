// Menu 稿件 in both modes of the window: without a library (text files) and
// with one (manuscripts), with and without a selected or open manuscript.
#include "AppFixture.h"

#include "app/commands/TEditCommands.h"
#include "app/commands/TFolderCommands.h"
#include "editor/FindDialog.h"
#include "platform/TextCodec.h"

#include <QClipboard>
#include <QDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

namespace {

QString ReadText(const QString& path) {
    QString text;
    ReadTextFile(path, &text);
    return text;
}

void WriteText(const QString& path, const QString& text) { WriteTextFile(path, text); }

}  // namespace

class TestManuscriptCommands : public QObject {
    Q_OBJECT

private slots:
    // ---- without a library -------------------------------------------------

    // Opening a library empties the untouched editor: nothing is shown as unsaved.
    void openingALibraryLeavesNothingUnsaved() {
        TAppFixture f;
        QVERIFY(!f.Editor().IsModified());
        f.OpenSeededLibrary({{QStringLiteral("一"), QStringLiteral("正文")}});
        QVERIFY(!f.Editor().IsModified());
        QCOMPARE(f.Main().windowTitle(), QString("QuilloraVer1.3"));
        QVERIFY(f.dialogs.Messages().empty());
    }

    void newThenSaveAsksForANameAndCancelKeepsTheText() {
        TAppFixture f;
        f.Editor().InsertText(QStringLiteral("旧的"));
        f.dialogs.QueueMessageAnswer(2);  // the save prompt of 新建: No
        f.Trigger("munFileNew");
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("新建"));
        QVERIFY(f.Editor().GetText().isEmpty());
        QCOMPARE(f.Panel(1), QString("稿件：新建稿件"));
        QCOMPARE(f.Panel(5), QString("状态：新建"));

        f.Editor().InsertText(QStringLiteral("未命名的文字"));
        f.Trigger("munFileSave");  // no current file: Save As, cancelled
        QCOMPARE(f.dialogs.Requests().back().kind, QString("save"));
        QCOMPARE(f.Panel(5), QString("状态：已修改"));
        QVERIFY(f.Editor().IsModified());

        const QString path = f.Path("第一篇.txt");
        f.dialogs.QueueSaveFileName(path);
        f.Trigger("munFileSave");
        QCOMPARE(ReadText(path), QString("未命名的文字"));
        QCOMPARE(f.Panel(5), QString("状态：保存"));
        QCOMPARE(f.Panel(1), "稿件：" + path);
        QVERIFY(!f.Editor().IsModified());

        // The next save writes the same file without asking.
        f.Editor().InsertText(QStringLiteral("又一句"));
        const size_t asked = f.dialogs.Requests().size();
        f.Trigger("munFileSave");
        QCOMPARE(f.dialogs.Requests().size(), asked);
        QVERIFY(ReadText(path).endsWith(QStringLiteral("又一句")));
    }

    // A file opened from outside becomes the file Save writes: the one the
    // status bar names, never an earlier one.
    void fileOpenedFromOutsideIsTheFileSaveWrites() {
        TAppFixture f;
        const QString earlier = f.Path("早先.txt");
        const QString handed = f.Path("交来.txt");
        WriteText(earlier, QStringLiteral("早先的"));
        WriteText(handed, QStringLiteral("交来的"));
        f.dialogs.QueueOpenFileName(earlier);
        f.Trigger("munFileOpen");
        QCOMPARE(f.Panel(5), QString("状态：打开"));
        f.Commands().Manuscripts().OpenTextFile(handed);
        QCOMPARE(f.Panel(1), "稿件：" + handed);
        f.Editor().InsertText(QStringLiteral("加上"));
        f.Trigger("munFileSave");
        QCOMPARE(ReadText(earlier), QString("早先的"));
        QVERIFY(ReadText(handed).contains(QStringLiteral("加上")));
    }

    void openDialogCancelledStillSaysOpened() {
        TAppFixture f;
        f.Trigger("munFileOpen");  // the dialog is cancelled
        QCOMPARE(f.dialogs.Requests().back().caption, QString("打开"));
        QCOMPARE(f.Panel(5), QString("状态：打开"));
        QVERIFY(f.Commands().Manuscripts().CurrentFile().isEmpty());
    }

    void wordCountOfAnEmptyText() {
        TAppFixture f;
        f.Trigger("munToolWordCount");
        QCOMPARE(f.dialogs.Messages().at(0).text, QString("英文单词：0\r中文字数：0\r\r"));
        QCOMPARE(f.dialogs.Messages().at(0).icon, 0);
    }

    void unreadableFileIsReportedAndTheTextStays() {
        TAppFixture f;
        f.Editor().SetText(QStringLiteral("留着"));
        f.Editor().SetModified(false);
        f.dialogs.QueueOpenFileName(f.Path("没有这个文件.txt"));
        f.Trigger("munFileOpen");
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("打开"));
        QCOMPARE(f.Editor().GetText(), QString("留着"));
    }

    // ---- the auto-save tick never asks anything ----------------------------

    void autoSaveTick_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("saved");
        QTest::newRow("untitled text waits for the user") << "untitled" << false;
        QTest::newRow("named text file is written") << "file" << true;
        QTest::newRow("open manuscript is stored") << "manuscript" << true;
        QTest::newRow("library without an open manuscript") << "closed" << false;
    }
    void autoSaveTick() {
        QFETCH(QString, mode);
        QFETCH(bool, saved);
        TAppFixture f;
        const QString path = f.Path("自动.txt");
        QString library;
        if (mode == "file") {
            WriteText(path, QString());
            f.dialogs.QueueOpenFileName(path);
            f.Trigger("munFileOpen");
        } else if (mode == "manuscript" || mode == "closed") {
            library = f.OpenSeededLibrary({{QStringLiteral("甲"), QStringLiteral("原文")}});
            if (mode == "manuscript") {
                f.SelectDoc(QStringLiteral("甲"));
                f.Trigger("munFileOpen");
            }
        }
        if (f.Editor().IsEnabled())
            f.Editor().InsertText(QStringLiteral("自动保存"));
        f.Editor().SetModified(true);
        f.dialogs.ClearRecords();
        f.Commands().Manuscripts().timerAutoSaveTimer();
        QVERIFY(f.dialogs.Requests().empty());
        QVERIFY(f.dialogs.Messages().empty());
        QCOMPARE(!f.Editor().IsModified(), saved);
        if (mode == "file")
            QVERIFY(ReadText(path).contains(QStringLiteral("自动保存")));
        if (mode == "manuscript")
            QVERIFY(f.Data().LoadDocText(f.Editor().GetDocumentId()).contains(QStringLiteral("自动保存")));
    }

    // ---- with a library ------------------------------------------------------

    void guardsWithoutASelectedManuscript_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("open") << "munFileOpen";
        QTest::newRow("save") << "munFileSave";
        QTest::newRow("save as") << "munFileSaveAs";
        QTest::newRow("delete") << "munFileDel";
        QTest::newRow("rename") << "munFileRename";
        QTest::newRow("attributes") << "munFileAttribute";
    }
    void guardsWithoutASelectedManuscript() {
        QFETCH(QString, action);
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("甲"), QStringLiteral("正文")}});
        f.Main().DocList()->clearSelection();
        const QString status = f.Panel(5);
        f.dialogs.ClearRecords();
        f.Main().Action(action)->trigger();
        QVERIFY(f.dialogs.Requests().empty());
        QVERIFY(f.dialogs.Messages().empty());
        QVERIFY(!f.Editor().IsEnabled());
        QCOMPARE(f.Panel(5), status);
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 1);
        QCOMPARE(f.Data().LoadDocText(ItemID(f.DocItem(QStringLiteral("甲")))), QString("正文"));
    }

    void newOpenEditSaveReopen() {
        TAppFixture f;
        const QString file = f.OpenSeededLibrary({});
        QVERIFY(!f.Editor().IsEnabled());
        f.Trigger("munFileNew");
        QTreeWidgetItem* item = f.DocItem(QStringLiteral("新建稿件"));
        QVERIFY(item);
        QVERIFY(item->isSelected());
        QVERIFY(f.Editor().IsEnabled());
        QCOMPARE(f.Editor().GetDocumentId(), ItemID(item));
        QCOMPARE(f.Panel(5), QString("状态：新建"));

        // The in-place edit ends with a new name: stored, and shown.
        item->setText(0, QStringLiteral("春天"));
        QCOMPARE(f.Data().LoadDocList(0).at(0).Caption, QString("春天"));

        f.Editor().InsertText(QStringLiteral("春眠不觉晓 spring"));
        f.Trigger("munFileSave");
        QCOMPARE(f.Panel(5), QString("状态：保存"));
        QVERIFY(!f.Editor().IsModified());
        TDocAttr attr;
        f.Data().GetDocAttr(ItemID(item), attr);
        QCOMPARE(attr.Txt, QString("春眠不觉晓 spring"));
        QCOMPARE(attr.cnCount, QString("5"));
        QCOMPARE(attr.enCount, QString("1"));
        QCOMPARE(attr.DocSize, QString::number(GBLength(attr.Txt)));

        f.Commands().Library().OpenLibrary(file);
        QVERIFY(!f.Editor().IsEnabled());
        f.SelectDoc(QStringLiteral("春天"));
        f.Trigger("munFileOpen");
        QCOMPARE(f.Editor().GetText(), QString("春眠不觉晓 spring"));
        QCOMPARE(f.Panel(1), QString("稿件：春天"));
        QCOMPARE(f.Panel(5), QString("状态：打开"));
        QVERIFY(!f.Editor().IsModified());
    }

    // Save writes the manuscript bound to the editor, not the selected one.
    void saveWritesTheOpenManuscriptNotTheSelectedOne() {
        TAppFixture f;
        f.OpenSeededLibrary(
            {{QStringLiteral("甲"), QStringLiteral("甲文")}, {QStringLiteral("乙"), QStringLiteral("乙文")}});
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileOpen");
        f.Editor().InsertText(QStringLiteral("改"));
        f.SelectDoc(QStringLiteral("乙"));
        f.Trigger("munFileSave");
        QVERIFY(f.Data().LoadDocText(ItemID(f.DocItem(QStringLiteral("甲")))).contains(QStringLiteral("改")));
        QCOMPARE(f.Data().LoadDocText(ItemID(f.DocItem(QStringLiteral("乙")))), QString("乙文"));
    }

    void deleteAsksAndRemovesEverySelectedManuscript_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("yes") << 1 << 1;
        QTest::newRow("no") << 2 << 3;
    }
    void deleteAsksAndRemovesEverySelectedManuscript() {
        QFETCH(int, answer);
        QFETCH(int, left);
        TAppFixture f;
        f.OpenSeededLibrary({{"a", "1"}, {"b", "2"}, {"c", "3"}});
        f.SelectDoc("a");
        f.DocItem("c")->setSelected(true);
        f.dialogs.QueueMessageAnswer(answer);
        f.Trigger("munFileDel");
        QCOMPARE(f.dialogs.Messages().at(0).text, QString("确实要删除此稿件吗？"));
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("删除稿件"));
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), left);
        QCOMPARE(int(f.Data().LoadDocList(0).size()), left);
    }

    void attributesDialogStoresNamePublicationAndFee() {
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("旧名"), QStringLiteral("文")}});
        f.SelectDoc(QStringLiteral("旧名"));
        const int id = ItemID(f.DocItem(QStringLiteral("旧名")));
        QString created;
        f.dialogs.QueueDialog([&](QDialog& d) {
            created = d.findChild<QLabel*>("lblCDate")->text();
            TScriptedDialogs::SetText(d, "editDocName", QStringLiteral("新名"));
            TScriptedDialogs::SetText(d, "editPublish", QStringLiteral("人民文学"));
            auto* money = d.findChild<QLineEdit*>("editMoney");
            money->clear();
            QTest::keyClicks(money, "12a34567");  // letters and a sixth digit are refused
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munFileAttribute");
        // An imported manuscript has no dates yet: day 0.
        QCOMPARE(created,
                 QLocale(QLocale::Chinese, QLocale::China).toString(QDate(1899, 12, 30), QLocale::ShortFormat));
        TDocAttr attr;
        f.Data().GetDocAttr(id, attr);
        QCOMPARE(attr.DocName, QString("新名"));
        QCOMPARE(attr.Publish, QString("人民文学"));
        QCOMPARE(attr.Money, QString("12345"));
        QVERIFY(f.DocItem(QStringLiteral("新名")));
    }

    // A find that went round to the start says so in the status bar.
    void findThatWrapsLeavesANoteInTheStatusBar() {
        TAppFixture f;
        f.Editor().SetText(QStringLiteral("目标在上面，光标在下面"));
        QTextCursor end = f.Editor().Control()->textCursor();
        end.movePosition(QTextCursor::End);
        f.Editor().Control()->setTextCursor(end);
        f.Editor().Find();
        f.Editor().FindDialog()->editFind->setText(QStringLiteral("目标"));
        QTest::mouseClick(f.Editor().FindDialog()->btnFindNext, Qt::LeftButton);
        QVERIFY(f.dialogs.Messages().empty());
        QCOMPARE(f.Editor().GetSelText(), QString("目标"));
        QCOMPARE(f.Panel(8), QString("已查找到文档末尾，从开头继续查找"));
        QVERIFY(f.Main().StatusPanels()->PanelWidth(8) >=
                f.Main().StatusPanels()->fontMetrics().horizontalAdvance(f.Panel(8)));
        f.Editor().FindDialog()->close();
    }

    // Without a printer, printing (menu item or tool button) offers a PDF
    // file instead of failing.
    void printWithoutPrinterOffersAPdfFile_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("menu item") << "munFilePrint";
        QTest::newRow("tool button") << "tbPrint";
    }
    void printWithoutPrinterOffersAPdfFile() {
        QFETCH(QString, control);
        if (TqlvEditor::HasDefaultPrinter())
            QSKIP("a default printer exists here");
        TAppFixture f;
        f.Editor().SetText(QStringLiteral("要打印的文字"));
        const QString pdf = f.Path("稿.pdf");
        f.dialogs.QueueMessageAnswer(1);
        f.dialogs.QueueSaveFileName(pdf);
        if (QToolButton* button = f.Main().ToolButton(control))
            button->click();
        else
            f.Main().Action(control)->trigger();
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("打印稿件"));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5).startsWith("%PDF"));
    }

    // Text that got past the fee box's keys (pasted, or from an input method)
    // is refused on OK: a message, and the dialog stays open with every edit.
    void feeBoxRefusesWhatIsNotAtMostFiveDigits_data() {
        QTest::addColumn<QString>("fee");
        QTest::newRow("chinese numerals") << "三百元";
        QTest::newRow("decimal point") << "1.5";
        QTest::newRow("inner space") << "12 3";
        QTest::newRow("minus sign") << "-5";
    }
    void feeBoxRefusesWhatIsNotAtMostFiveDigits() {
        QFETCH(QString, fee);
        TAppFixture f;
        f.OpenSeededLibrary({{QStringLiteral("旧名"), QStringLiteral("文")}});
        f.SelectDoc(QStringLiteral("旧名"));
        const int id = ItemID(f.DocItem(QStringLiteral("旧名")));
        int firstClick = -1;
        QString nameAfterRefusal;
        f.dialogs.QueueDialog([&](QDialog& d) {
            TScriptedDialogs::SetText(d, "editDocName", QStringLiteral("新名"));
            d.findChild<QLineEdit*>("editMoney")->setText(fee);  // as a paste sets it
            firstClick = TScriptedDialogs::Click(d, "btnOK");
            nameAfterRefusal = d.findChild<QLineEdit*>("editDocName")->text();
            TScriptedDialogs::SetText(d, "editMoney", "300");
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munFileAttribute");
        QCOMPARE(firstClick, int(QDialog::Rejected));
        QCOMPARE(nameAfterRefusal, QString("新名"));
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{QStringLiteral("稿费只能填写数字，最多五位！")});
        TDocAttr attr;
        f.Data().GetDocAttr(id, attr);
        QCOMPARE(attr.DocName, QString("新名"));
        QCOMPARE(attr.Money, QString("300"));
    }

    // A file dropped on the window or opened from find in files joins the
    // open manuscript: on a line of its own, as one undo step, and as a change
    // that must be saved (switching manuscripts asks first).
    void fileHandedToAnOpenManuscriptIsAnUnsavedChange_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("dropped") << "drop";
        QTest::newRow("find in files") << "find";
    }
    void fileHandedToAnOpenManuscriptIsAnUnsavedChange() {
        QFETCH(QString, how);
        TAppFixture f;
        f.OpenSeededLibrary(
            {{QStringLiteral("甲"), QStringLiteral("开头")}, {QStringLiteral("乙"), QStringLiteral("乙文")}});
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileOpen");
        const QString handed = f.Path("拖来.txt");
        WriteText(handed, QStringLiteral("拖来的文字"));
        if (how == "drop")
            f.Main().DropFiles({handed});
        else
            f.Main().PassParams(handed);
        QCOMPARE(f.Editor().GetText(), QString("开头\r\n拖来的文字"));
        QCOMPARE(f.Panel(1), QString("稿件：甲"));
        QVERIFY(f.Editor().IsModified());
        QCOMPARE(f.Panel(5), QString("状态：已修改"));
        f.Trigger("munEditUndo");
        QCOMPARE(f.Editor().GetText(), QString("开头"));
        f.Trigger("munEditRedo");
        f.SelectDoc(QStringLiteral("乙"));
        f.dialogs.QueueMessageAnswer(1);
        f.Trigger("munFileOpen");
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{QStringLiteral("稿件的内容已经更改，是否保存？")});
        QCOMPARE(f.Data().LoadDocText(ItemID(f.DocItem(QStringLiteral("甲")))), QString("开头\r\n拖来的文字"));
    }

    // Unsaved text shows from the first change until it is saved: in the
    // status bar and as a "*" before the manuscript's name in the title.
    void unsavedTextShowsInStatusAndTitle_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("name");
        QTest::newRow("untitled text") << "untitled"
                                       << "新建稿件";
        QTest::newRow("manuscript") << "manuscript"
                                    << "甲";
    }
    void unsavedTextShowsInStatusAndTitle() {
        QFETCH(QString, mode);
        QFETCH(QString, name);
        TAppFixture f;
        if (mode == "manuscript") {
            f.OpenSeededLibrary({{QStringLiteral("甲"), QStringLiteral("原文")}});
            f.SelectDoc(QStringLiteral("甲"));
            f.Trigger("munFileOpen");
        } else {
            f.Trigger("munFileNew");
        }
        QCOMPARE(f.Main().windowTitle(), QString("QuilloraVer1.3"));
        QTest::keyClicks(f.Editor().Control(), "x");
        QCOMPARE(f.Panel(5), QString("状态：已修改"));
        QCOMPARE(f.Main().windowTitle(), "*" + name + " - QuilloraVer1.3");
        f.dialogs.QueueSaveFileName(f.Path("存.txt"));
        f.Trigger("munFileSave");
        QCOMPARE(f.Panel(5), QString("状态：保存"));
        QCOMPARE(f.Main().windowTitle(), QString("QuilloraVer1.3"));
    }

    void closeLibraryWithUnsavedTextAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("stored");
        QTest::newRow("yes saves") << 1 << true;
        QTest::newRow("no drops") << 2 << false;
    }
    void closeLibraryWithUnsavedTextAsksFirst() {
        QFETCH(int, answer);
        QFETCH(bool, stored);
        TAppFixture f;
        const QString file = f.OpenSeededLibrary({{QStringLiteral("甲"), QStringLiteral("原")}});
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileOpen");
        const int id = f.Editor().GetDocumentId();
        f.Editor().InsertText(QStringLiteral("新"));
        f.dialogs.QueueMessageAnswer(answer);
        f.Trigger("munDocCloseBase");
        QCOMPARE(f.dialogs.Messages().at(0).caption, QString("关闭稿件库"));
        QVERIFY(!f.Data().Opened());
        QVERIFY(f.Editor().IsEnabled());
        QVERIFY(f.Editor().GetText().isEmpty());
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 0);
        QCOMPARE(f.StoredText(file, id).contains(QStringLiteral("新")), stored);
        // Back in the text-file mode, Save asks for a name: it never writes an
        // earlier file with the emptied editor.
        QVERIFY(f.Commands().Manuscripts().CurrentFile().isEmpty());
    }

    // Every save prompt over a changed manuscript, answered each way: 是
    // saves and goes on, 否 drops the change and goes on, 取消 (Escape) gives
    // up the action with the changed text still open and the library as it was.
    void savePromptAnswersDecideTextAndAction_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<TAnswer>("answer");
        const QStringList actions{"新建",       "打开", "another manuscript", "another folder", "another library",
                                  "关闭稿件库", "退出"};
        for (const QString& action : actions) {
            QTest::addRow("%s yes", qPrintable(action)) << action << TAnswer::Yes;
            QTest::addRow("%s no", qPrintable(action)) << action << TAnswer::No;
            QTest::addRow("%s cancel", qPrintable(action)) << action << TAnswer::Cancel;
        }
    }
    void savePromptAnswersDecideTextAndAction() {
        QFETCH(QString, action);
        QFETCH(TAnswer, answer);
        TAppFixture f;
        const QString file = f.OpenSeededLibrary(
            {{QStringLiteral("甲"), QStringLiteral("原")}, {QStringLiteral("乙"), QStringLiteral("乙文")}});
        const QString other = f.MakeLibrary(QStringLiteral("另一个"), {{QStringLiteral("丙"), QString()}});
        f.SelectDoc(QStringLiteral("甲"));
        f.Trigger("munFileOpen");
        const int id = f.Editor().GetDocumentId();
        f.Editor().InsertText(QStringLiteral("新"));
        f.SelectDoc(QStringLiteral("乙"));
        f.dialogs.QueueMessageAnswer(answer);

        // Runs the action and says whether it was carried out.
        const auto run = [&]() -> bool {
            if (action == "新建") {
                f.Trigger("munFileNew");
                return f.Editor().GetDocumentId() != id && f.Main().DocList()->topLevelItemCount() == 3;
            }
            if (action == "打开") {
                f.Trigger("munFileOpen");
                return f.Editor().GetText() == QStringLiteral("乙文");
            }
            if (action == "another manuscript") {
                f.Commands().Folders().DocListViewClick();
                return f.Editor().GetText() == QStringLiteral("乙文");
            }
            if (action == "another folder") {
                f.Commands().Folders().tvDocClick();
                return f.Editor().GetText().isEmpty() && !f.Editor().IsEnabled();
            }
            if (action == "another library")
                return f.Commands().Library().OpenLibrary(other) && f.Data().GetDocDataName() == other;
            if (action == "关闭稿件库") {
                f.Trigger("munDocCloseBase");
                return !f.Data().Opened();
            }
            return f.Main().close();
        };
        const bool done = run();

        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QCOMPARE(f.dialogs.Messages().at(0).buttons, static_cast<int>(TMessageButtons::YesNoCancel));
        const bool closing = action == "another folder" || action == "another library";
        QCOMPARE(f.dialogs.Messages().at(0).text, closing ? QStringLiteral("稿件内容已经更改，是否保存？")
                                                          : QStringLiteral("稿件的内容已经更改，是否保存？"));
        QCOMPARE(f.dialogs.Messages().at(0).caption, closing                          ? QStringLiteral("关闭稿件")
                                                     : action == "another manuscript" ? QStringLiteral("打开")
                                                                                      : action);
        const bool cancelled = answer == TAnswer::Cancel;
        QCOMPARE(done, !cancelled);
        const QString stored =
            f.Data().Opened() && f.Data().GetDocDataName() == file ? f.Data().LoadDocText(id) : f.StoredText(file, id);
        QCOMPARE(stored.contains(QStringLiteral("新")), answer == TAnswer::Yes);
        if (cancelled) {
            QVERIFY(f.Data().Opened());
            QCOMPARE(f.Data().GetDocDataName(), file);
            QCOMPARE(f.Main().DocList()->topLevelItemCount(), 2);
            QCOMPARE(f.Editor().GetDocumentId(), id);
            QVERIFY(f.Editor().IsModified());
            QVERIFY(f.Editor().GetText().contains(QStringLiteral("新")));
        }
    }

    // Watching the clipboard: copying a selection puts the same text back
    // in its place, with the caret after it.
    void clipboardWatchReinsertsCopiedSelection() {
        TAppFixture f;
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("剪贴板上的"));
        f.Editor().SetText(QStringLiteral("一二三四"));
        QAction* watch = f.Main().Action("munEditWatchClipper");
        watch->trigger();  // checks it
        QCOMPARE(f.Editor().GetText(), QString("剪贴板上的一二三四"));
        QTextEdit* edit = f.Editor().Control();
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(5);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
        f.Trigger("munEditCopy");
        QCOMPARE(f.Editor().GetText(), QString("剪贴板上的一二三四"));
        QCOMPARE(edit->textCursor().position(), 7);
        QVERIFY(!edit->textCursor().hasSelection());
        watch->trigger();  // unchecks it
    }
};

QTEST_MAIN(TestManuscriptCommands)
#include "tst_manuscript_commands.moc"
