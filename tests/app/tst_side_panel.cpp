// The side panel's tabs: folders and manuscripts (稿件库), marks (标签),
// pictures (图片) and materials (资料库) — their commands, keys, clicks and
// drops, and what they leave in the library and the materials store.
#include "AppFixture.h"

#include "app/TPicturePreview.h"
#include "app/commands/TFolderCommands.h"
#include "app/commands/TMarkCommands.h"
#include "app/commands/TMaterialCommands.h"
#include "app/commands/TPictureCommands.h"
#include "materials/TqlvDocuments.h"

#include <QDialog>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace {

// A folder tree as text: "caption(child,child(...))", for before/after checks.
QString TreeShape(const QTreeWidgetItem* node) {
    QString text = node->text(0);
    if (node->childCount() == 0)
        return text;
    QStringList children;
    for (int i = 0; i < node->childCount(); ++i)
        children << TreeShape(node->child(i));
    return text + '(' + children.join(',') + ')';
}

QString TreeShape(const TViewNode& node) {
    if (node.Children.empty())
        return node.Caption;
    QStringList children;
    for (const TViewNode& child : node.Children)
        children << TreeShape(child);
    return node.Caption + '(' + children.join(',') + ')';
}

QTreeWidgetItem* FindNode(QTreeWidget* tree, const QString& caption) {
    const QList<QTreeWidgetItem*> found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

bool CaptionEditOpen(QTreeWidget* tree) {
    const QLineEdit* edit = tree->viewport()->findChild<QLineEdit*>();
    return edit && !edit->isHidden();
}

TScriptedDialogs::DialogHandler MarkDialog(const QString& name, const QString& note = QString()) {
    return [=](QDialog& d) {
        TScriptedDialogs::SetText(d, "editName", name);
        d.findChild<QPlainTextEdit*>("memoContent")->setPlainText(note);
        return TScriptedDialogs::Click(d, "btnOK");
    };
}

// A library with the given manuscripts in its top folder, opened, with the
// manuscript `open` (if any) opened in the editor.
void OpenLibraryWith(TAppFixture& f, const QList<TSeedDoc>& docs, const QString& open = QString()) {
    f.OpenSeededLibrary(docs);
    if (open.isEmpty())
        return;
    f.SelectDoc(open);
    f.Trigger("munFileOpen");
}

// Folders A(B) and C under the root, shown in tvDoc.
void MakeFolders(TAppFixture& f) {
    const int a = f.Data().AddFolder(0, "A");
    f.Data().AddFolder(a, "B");
    f.Data().AddFolder(0, "C");
    f.Main().LoadLibraryViews();
}

void TriggerButton(TAppFixture& f, const char* name) { f.Main().ToolButton(QString::fromLatin1(name))->click(); }

}  // namespace

class TestSidePanel : public QObject {
    Q_OBJECT

private slots:
    // ---- marks -----------------------------------------------------------------

    void markListKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("marksLeft");
        QTest::newRow("down arrow") << int(Qt::Key_Down) << 2;
        QTest::newRow("up arrow") << int(Qt::Key_Up) << 2;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 2;
        QTest::newRow("delete") << int(Qt::Key_Delete) << 1;
    }
    void markListKeys() {
        QFETCH(int, key);
        QFETCH(int, marksLeft);
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "一\n二"}}, "甲");
        f.dialogs.QueueDialog(MarkDialog("m1"));
        f.Trigger("munInsertMarkAdd");
        f.dialogs.QueueDialog(MarkDialog("m2"));
        f.Trigger("munInsertMarkAdd");
        QTreeWidget* marks = f.Main().MarkList();
        QCOMPARE(marks->topLevelItemCount(), 2);
        marks->setCurrentItem(marks->topLevelItem(0));
        QTest::keyClick(marks, Qt::Key(key));
        QCOMPARE(marks->topLevelItemCount(), marksLeft);
        QCOMPARE(int(f.Data().LoadMarkList(std::nullopt)->size()), marksLeft);
        QVERIFY(f.dialogs.Messages().empty());  // deleted without asking
    }

    void markAddedOnALineOpensAtTheStartOfThatLine() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "第一行\n第二行\n第三行\n第四行"}}, "甲");
        f.Editor().GotoLine(3);
        QString line;
        QString parent;
        f.dialogs.QueueDialog([&](QDialog& d) {
            line = d.findChild<QLabel*>("lblPosLine")->text();
            parent = d.findChild<QLabel*>("lblParent")->text();
            return MarkDialog("第三", "note")(d);
        });
        f.Trigger("munInsertMarkAdd");
        QCOMPARE(line, QString("3 行"));
        QCOMPARE(parent, QString("甲"));
        QTreeWidget* marks = f.Main().MarkList();
        QCOMPARE(marks->topLevelItemCount(), 1);
        QCOMPARE(marks->topLevelItem(0)->text(1), QString("甲"));
        QCOMPARE(f.DocItem("甲")->text(2), QString("1"));  // the manuscript's mark count

        f.Editor().GotoLine(1);
        marks->setCurrentItem(marks->topLevelItem(0));
        f.Commands().Marks().lvMarkDblClick();
        QCOMPARE(f.Editor().CaretLine(), 2);
        QCOMPARE(f.Editor().CaretColumn(), 0);
        QCOMPARE(f.Commands().Marks().lvMarkMouseMove(marks->topLevelItem(0)), QString("note"));
    }

    // A mark holds its paragraph: after the window is widened or wrapping is
    // turned off it still opens at the start of that paragraph.
    void markLandsOnItsParagraphAtAnyWidth_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("window widened") << "widen";
        QTest::newRow("wrapping turned off") << "nowrap";
    }
    void markLandsOnItsParagraphAtAnyWidth() {
        QFETCH(QString, change);
        TAppFixture f;
        const QString longParagraph = QString(40, QChar(0x6587)) + QString(60, QLatin1Char(' ')).replace(" ", "word ");
        OpenLibraryWith(f, {{"甲", longParagraph + "\n第二段\n第三段\n第四段"}}, "甲");
        f.Editor().SetWordWrap(true);
        f.Main().resize(420, 400);
        f.Main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.Main()));
        QTextCursor cursor(f.Editor().Control()->document()->findBlockByNumber(2));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2);
        f.Editor().Control()->setTextCursor(cursor);
        QVERIFY(f.Editor().CaretLine() > 2);  // the long first paragraph wraps
        QString shown;
        f.dialogs.QueueDialog([&](QDialog& d) {
            shown = d.findChild<QLabel*>("lblPosLine")->text();
            return MarkDialog("第三段")(d);
        });
        f.Trigger("munInsertMarkAdd");
        QCOMPARE(shown, QString("3 行"));
        QTreeWidget* marks = f.Main().MarkList();
        TMark stored;
        QVERIFY(f.Data().GetMark(ItemID(marks->topLevelItem(0)), stored));
        QCOMPARE(stored.MarkPosLine, 3);

        if (change == "widen")
            f.Main().resize(1800, 400);
        else
            f.Editor().SetWordWrap(false);
        QCoreApplication::processEvents();
        f.Editor().GotoLine(1);
        marks->setCurrentItem(marks->topLevelItem(0));
        f.Commands().Marks().lvMarkDblClick();
        const QTextCursor landed = f.Editor().Control()->textCursor();
        QCOMPARE(landed.blockNumber(), 2);
        QCOMPARE(landed.positionInBlock(), 0);
        f.Main().hide();
    }

    void markDialogRefusesAnEmptyNameAndEditStoresTheNewOne() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "x"}}, "甲");
        int firstClick = -1;
        f.dialogs.QueueDialog([&](QDialog& d) {
            firstClick = MarkDialog("")(d);
            return MarkDialog("有名")(d);
        });
        f.Trigger("munInsertMarkAdd");
        QCOMPARE(firstClick, int(QDialog::Rejected));  // still open
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"标签名称不能为空！"});
        QTreeWidget* marks = f.Main().MarkList();
        QCOMPARE(marks->topLevelItem(0)->text(0), QString("有名"));

        marks->setCurrentItem(marks->topLevelItem(0));
        f.dialogs.QueueDialog(MarkDialog("改名", "新note"));
        f.Trigger("munInsertMarkEdit");
        QCOMPARE(marks->topLevelItem(0)->text(0), QString("改名"));
        TMark stored;
        QVERIFY(f.Data().GetMark(ItemID(marks->topLevelItem(0)), stored));
        QCOMPARE(stored.MarkContent, QString("新note"));
    }

    void markCommandsNeedASelection() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "x"}});
        f.Main().DocList()->clearSelection();
        for (const char* action : {"munInsertMarkAdd", "munInsertMarkDel", "munInsertMarkEdit", "munInsertMarkOpen"})
            f.Trigger(action);
        QVERIFY(f.dialogs.Requests().empty());
        QVERIFY(f.dialogs.Messages().empty());
    }

    // ---- without a library -----------------------------------------------------

    // The side panel offers 新建稿件库, 打开稿件库 and the centre's libraries;
    // choosing one opens it and the panel gives way to the library's tabs.
    void withoutALibraryTheSidePanelOffersLibraries() {
        TAppFixture f;
        const QString file = f.MakeLibrary(QStringLiteral("小说"), {{"甲", "1"}});
        f.Data().AddToDBCenter(file);
        f.Main().UpdateLibraryState();
        auto* page = f.Main().findChild<QTabWidget*>("pageTool");
        QWidget* start = f.Main().findChild<QWidget*>("tabStart");
        QCOMPARE(page->currentWidget(), start);
        QVERIFY(page->isTabVisible(page->indexOf(start)));

        start->findChild<QPushButton*>("btnStartOpenLibrary")->click();  // the file dialog, cancelled
        QCOMPARE(f.dialogs.Requests().back().caption, QString("打开稿件库"));
        f.dialogs.QueueDialog([](QDialog& d) { return TScriptedDialogs::Click(d, "btnCancel"); });
        start->findChild<QPushButton*>("btnStartNewLibrary")->click();
        QCOMPARE(f.dialogs.Requests().back().objectName, QString("frmCreatDocData"));

        auto* libraries = start->findChild<QListWidget*>("lvStartLibraries");
        const QList<QListWidgetItem*> found = libraries->findItems(QStringLiteral("小说"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        libraries->setCurrentItem(found.first());
        emit libraries->itemActivated(found.first());
        QVERIFY(f.Data().Opened());
        QCOMPARE(f.Data().GetDocDataName(), file);
        QVERIFY(f.DocItem("甲"));
        QVERIFY(!page->isTabVisible(page->indexOf(start)));
    }

    // ---- folders -----------------------------------------------------------------

    void rootsCanNeitherBeRenamedNorDeleted_data() {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("how");
        for (const char* tree : {"tvDoc", "tvFileFolder"}) {
            for (const char* how : {"menu rename", "menu delete", "button rename", "button delete", "F2", "Delete"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(tree, how))) << QString(tree) << QString(how);
        }
    }
    void rootsCanNeitherBeRenamedNorDeleted() {
        QFETCH(QString, tree);
        QFETCH(QString, how);
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "x"}});
        MakeFolders(f);
        const bool docs = tree == "tvDoc";
        QTreeWidget* view = docs ? f.Main().DocTree() : f.Main().FileFolderTree();
        QTreeWidgetItem* root = view->topLevelItem(0);
        view->setCurrentItem(root);
        const QString shape = TreeShape(root);
        const QString rootCaption = docs ? "稿件夹" : "资料夹";
        f.dialogs.QueueMessageAnswer(1);  // Yes, should anything ask

        if (how == "menu rename")
            f.Trigger(docs ? "munDocReNameFloder" : "munInsertDocRen");
        else if (how == "menu delete")
            f.Trigger(docs ? "munDocDelFloder" : "munInsertDocuDel");
        else if (how == "button rename")
            TriggerButton(f, docs ? "tbDocReNameFloder" : "tbFileReNameFloder");
        else if (how == "button delete")
            TriggerButton(f, docs ? "tbDocDelFloder" : "tbFileDelFloder");
        else
            QTest::keyClick(view, how == "F2" ? Qt::Key_F2 : Qt::Key_Delete);

        QVERIFY(!CaptionEditOpen(view));
        QVERIFY(f.dialogs.Messages().empty());
        QCOMPARE(view->topLevelItem(0)->text(0), rootCaption);
        QCOMPARE(TreeShape(view->topLevelItem(0)), shape);
        QCOMPARE(f.Data().LoadDocList(0).size(), size_t(1));
    }

    void folderKeysActOnOtherFolders() {
        TAppFixture f;
        OpenLibraryWith(f, {});
        MakeFolders(f);
        QTreeWidget* tree = f.Main().DocTree();
        tree->setCurrentItem(FindNode(tree, "C"));
        QTest::keyClick(tree, Qt::Key_F2);
        QVERIFY(CaptionEditOpen(tree));
        // Delete while the caption is edited belongs to the caption.
        QTest::keyClick(tree, Qt::Key_Delete);
        QVERIFY(f.dialogs.Messages().empty());
        QTest::keyClick(tree->viewport()->findChild<QLineEdit*>(), Qt::Key_Escape);
        QVERIFY(!CaptionEditOpen(tree));
        FindNode(tree, "C")->setText(0, "丙");  // the end of an in-place rename
        QCOMPARE(TreeShape(f.Data().LoadFolderTree()), QString("稿件夹(A(B),丙)"));

        f.dialogs.QueueMessageAnswer(2);  // No: nothing goes
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(TreeShape(f.Data().LoadFolderTree()), QString("稿件夹(A(B),丙)"));
        f.dialogs.QueueMessageAnswer(1);
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(f.dialogs.Messages().back().text, QString("确实要删除此稿件夹和所有稿件吗？"));
        QCOMPARE(TreeShape(f.Data().LoadFolderTree()), QString("稿件夹(A(B))"));
        QCOMPARE(TreeShape(tree->topLevelItem(0)), QString("稿件夹(A(B))"));
    }

    void newFolderIsAddedUnderTheSelectedOneAndEditedInPlace() {
        TAppFixture f;
        OpenLibraryWith(f, {});
        MakeFolders(f);
        QTreeWidget* tree = f.Main().DocTree();
        tree->setCurrentItem(FindNode(tree, "B"));
        f.Trigger("munDocNewFloder");
        QCOMPARE(tree->currentItem()->text(0), QString("新建稿件夹"));
        QVERIFY(CaptionEditOpen(tree));
        QCOMPARE(TreeShape(f.Data().LoadFolderTree()), QString("稿件夹(A(B(新建稿件夹)),C)"));
    }

    void folderDrops_data() {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("stored");  // reloaded folders come in creation order
        const QString before = "稿件夹(A(B),C)";
        QTest::newRow("onto itself") << "A"
                                     << "A" << before << before;
        QTest::newRow("onto its own sub-folder") << "A"
                                                 << "B" << before << before;
        QTest::newRow("the root anywhere") << "稿件夹"
                                           << "C" << before << before;
        QTest::newRow("onto empty space") << "A"
                                          << "" << before << before;
        QTest::newRow("onto a sibling") << "A"
                                        << "C"
                                        << "稿件夹(C(A(B)))"
                                        << "稿件夹(C(A(B)))";
        QTest::newRow("a sub-folder onto the root") << "B"
                                                    << "稿件夹"
                                                    << "稿件夹(A,C,B)"
                                                    << "稿件夹(A,B,C)";
    }
    void folderDrops() {
        QFETCH(QString, dragged);
        QFETCH(QString, target);
        QFETCH(QString, shape);
        QFETCH(QString, stored);
        TAppFixture f;
        OpenLibraryWith(f, {});
        MakeFolders(f);
        QTreeWidget* tree = f.Main().DocTree();
        tree->expandAll();
        tree->setCurrentItem(FindNode(tree, dragged));
        QVERIFY(f.Commands().Folders().tvDocDragOver(tree));
        f.Commands().Folders().tvDocDragDrop(tree, target.isEmpty() ? nullptr : FindNode(tree, target));
        QCOMPARE(TreeShape(tree->topLevelItem(0)), shape);
        QCOMPARE(TreeShape(f.Data().LoadFolderTree()), stored);
        QVERIFY(tree->updatesEnabled());
    }

    void threeSelectedManuscriptsDroppedOnAFolderAllMove() {
        TAppFixture f;
        OpenLibraryWith(f, {{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
        MakeFolders(f);
        QTreeWidget* list = f.Main().DocList();
        list->clearSelection();
        for (const char* name : {"a", "c", "d"})
            f.DocItem(name)->setSelected(true);
        QTreeWidget* tree = f.Main().DocTree();
        QTreeWidgetItem* folder = FindNode(tree, "C");
        f.Commands().Folders().tvDocDragDrop(list, folder);
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), QString("b"));
        QStringList moved;
        for (const TViewItem& doc : f.Data().LoadDocList(ItemID(folder)))
            moved << doc.Caption;
        moved.sort();
        QCOMPARE(moved, (QStringList{"a", "c", "d"}));
        // Materials and other widgets are no source for this tree.
        QVERIFY(!f.Commands().Folders().tvDocDragOver(f.Main().FileList()));
    }

    void clickingAFolderShowsItsManuscripts() {
        TAppFixture f;
        OpenLibraryWith(f, {{"top", ""}});
        MakeFolders(f);
        QTreeWidget* tree = f.Main().DocTree();
        TDocAttr attr;
        attr.DocName = "inC";
        f.Data().AddDoc(ItemID(FindNode(tree, "C")), attr);
        tree->setCurrentItem(FindNode(tree, "C"));
        f.Commands().Folders().tvDocClick();
        QCOMPARE(f.Main().DocList()->topLevelItemCount(), 1);
        QCOMPARE(f.Main().DocList()->topLevelItem(0)->text(0), QString("inC"));
    }

    // ---- manuscripts -----------------------------------------------------------------

    void emptySpaceClickWithModifiedText_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("editorKept");
        QTest::addColumn<QString>("stored");
        QTest::newRow("no keeps the text") << 2 << true << "原文";
        QTest::newRow("yes saves and closes") << 1 << false << "原文改";
    }
    void emptySpaceClickWithModifiedText() {
        QFETCH(int, answer);
        QFETCH(bool, editorKept);
        QFETCH(QString, stored);
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "原文"}}, "甲");
        const int id = f.Editor().GetDocumentId();
        f.Editor().SetText("原文改");
        f.Editor().SetModified(true);
        f.Main().DocList()->clearSelection();
        f.dialogs.QueueMessageAnswer(answer);
        f.Commands().Folders().DocListViewClick();
        QCOMPARE(f.dialogs.Messages().at(0).text, QString("稿件的内容已经更改，是否保存？"));
        QCOMPARE(f.Editor().IsEnabled(), editorKept);
        if (editorKept) {
            QCOMPARE(f.Editor().GetText(), QString("原文改"));
            QVERIFY(f.Editor().IsModified());
        }
        QCOMPARE(f.Data().LoadDocText(id), stored);
    }

    void manuscriptListKeys() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", ""}, {"乙", ""}});
        QTreeWidget* list = f.Main().DocList();
        f.SelectDoc("甲");
        f.dialogs.QueueMessageAnswer(1);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(f.Data().LoadDocList(0).size(), size_t(1));
        f.SelectDoc("乙");
        QTest::keyClick(list, Qt::Key_F2);
        QVERIFY(CaptionEditOpen(list));
    }

    // ---- pictures -----------------------------------------------------------------

    void picturesAreAttachedShownAndScaledToFit() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", ""}}, "甲");
        const QString wide = f.Path("宽.bmp");
        const QString small = f.Path("小.jpg");
        QImage(2000, 1000, QImage::Format_RGB32).save(wide, "BMP");
        QImage(20, 10, QImage::Format_RGB32).save(small, "JPG");
        f.dialogs.QueueOpenFileNames({small, wide});
        f.Trigger("munInsertPic");
        QTreeWidget* pics = f.Main().PicList();
        QCOMPARE(pics->topLevelItemCount(), 2);
        QCOMPARE(pics->topLevelItem(1)->text(0), QString("宽"));
        QCOMPARE(pics->topLevelItem(1)->text(1), wide);
        TPicturePreview* preview = f.Main().PicPreview();
        QCOMPARE(preview->Picture().size(), QSize(2000, 1000));  // the last one stays shown
        preview->resize(200, 300);
        const QSize shown = preview->pixmap().size();
        QVERIFY(shown.width() <= 200 && shown.height() <= 300);
        QCOMPARE(shown.width(), 2 * shown.height());

        pics->setCurrentItem(pics->topLevelItem(0));
        f.Commands().Pictures().lvPicClick();
        QCOMPARE(preview->Picture().size(), QSize(20, 10));
        pics->clearSelection();
        f.Commands().Pictures().lvPicClick();
        QVERIFY(!preview->HasPicture());
    }

    // The manuscript's counts and its marks' parent name follow at once: in
    // the list, in 属性 and in the 标签 tab, without reopening anything.
    void countsAndMarkParentNameFollowAtOnce() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "一\n二"}}, "甲");
        f.dialogs.QueueDialog(MarkDialog("记号"));
        f.Trigger("munInsertMarkAdd");
        const QString picture = f.Path("图.bmp");
        QImage(4, 4, QImage::Format_RGB32).save(picture, "BMP");
        f.dialogs.QueueOpenFileNames({picture, picture});
        f.Trigger("munInsertPic");
        QCOMPARE(f.DocItem("甲")->text(1), QString("2"));

        QString shownPictures;
        f.dialogs.QueueDialog([&](QDialog& d) {
            shownPictures = d.findChild<QLabel*>("lblPics")->text();
            TScriptedDialogs::SetText(d, "editDocName", "乙");
            return TScriptedDialogs::Click(d, "btnOK");
        });
        f.Trigger("munFileAttribute");
        QCOMPARE(shownPictures, QString("2"));
        QTreeWidget* marks = f.Main().MarkList();
        QCOMPARE(marks->topLevelItem(0)->text(1), QString("乙"));
        TMark stored;
        QVERIFY(f.Data().GetMark(ItemID(marks->topLevelItem(0)), stored));
        QCOMPARE(stored.MarkParentName, QString("乙"));
        QCOMPARE(f.Panel(1), QString("稿件：乙"));

        QTreeWidget* pics = f.Main().PicList();
        pics->setCurrentItem(pics->topLevelItem(0));
        f.dialogs.QueueMessageAnswer(1);
        TriggerButton(f, "tbDelPic");
        QCOMPARE(f.DocItem("乙")->text(1), QString("1"));
    }

    // The picture dialog offers every format the image reader supports,
    // each under a Chinese name.
    void pictureDialogOffersEverySupportedFormat() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", ""}});
        f.SelectDoc("甲");
        f.Trigger("munInsertPic");  // cancelled
        const QString filter = f.dialogs.Requests().back().filter;
        const QStringList parts = filter.split('|');
        QVERIFY(parts.first().startsWith(QStringLiteral("所有支持的格式")));
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            QVERIFY2(parts.at(1).split(';').contains("*." + QString::fromLatin1(format).toLower()), format.constData());
        QVERIFY(parts.at(1).contains("*.png"));
        for (int i = 2; i + 1 < parts.size(); i += 2) {
            const QString name = parts.at(i).section(" (", 0, 0);
            QVERIFY2(name.contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))), qPrintable(name));
        }
    }

    void pictureFilesThatCannotBeShown_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("no decoder") << "文.txt"
                                    << "Unknown picture file extension (.txt)";
        QTest::newRow("metafile") << "图.wmf"
                                  << "Unknown picture file extension (.wmf)";
    }
    void pictureFilesThatCannotBeShown() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", ""}}, "甲");
        const QString good = f.Path("好.bmp");
        QImage(4, 4, QImage::Format_RGB32).save(good, "BMP");
        QFile bad(f.Path(file));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a picture");
        bad.close();
        f.dialogs.QueueOpenFileNames({good, bad.fileName(), good});
        f.Trigger("munInsertPic");
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{message});
        QCOMPARE(f.Main().PicList()->topLevelItemCount(), 1);  // the rest of the choice is dropped
        QCOMPARE(f.Data().LoadPicList(ItemID(f.DocItem("甲"))).size(), size_t(1));
    }

    void pictureDeleteAsksAndGoneFileShowsAnEmptyPreview() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", ""}}, "甲");
        const QString path = f.Path("p.bmp");
        QImage(4, 4, QImage::Format_RGB32).save(path, "BMP");
        f.dialogs.QueueOpenFileNames({path});
        f.Trigger("munInsertPic");
        QTreeWidget* pics = f.Main().PicList();
        pics->setCurrentItem(pics->topLevelItem(0));
        f.Commands().Pictures().lvPicClick();
        auto* preview = f.Main().findChild<TPicturePreview*>("PicView");
        QVERIFY(preview->HasPicture());
        QFile::remove(path);
        f.Commands().Pictures().lvPicClick();  // the file is gone: an empty preview, no box
        QVERIFY(f.dialogs.Messages().empty());
        QVERIFY(!preview->HasPicture());

        f.dialogs.QueueMessageAnswer(2);
        QTest::keyClick(pics, Qt::Key_Delete);
        QCOMPARE(pics->topLevelItemCount(), 1);
        f.dialogs.QueueMessageAnswer(1);
        QTest::keyClick(pics, Qt::Key_Delete);
        QCOMPARE(pics->topLevelItemCount(), 0);
        QVERIFY(f.Data().LoadPicList(ItemID(f.DocItem("甲"))).empty());
        QVERIFY(!f.Main().PicPreview()->HasPicture());
    }

    void tabChangeReloadsMarksAndPicturesOfTheSelectedManuscript() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", ""}, {"乙", ""}}, "甲");
        const QString path = f.Path("p.bmp");
        QImage(4, 4, QImage::Format_RGB32).save(path, "BMP");
        f.dialogs.QueueOpenFileNames({path});
        f.Trigger("munInsertPic");
        f.SelectDoc("乙");
        QTabWidget* tabs = f.Main().PageTool();
        tabs->setCurrentIndex(2);
        QCOMPARE(f.Main().PicList()->topLevelItemCount(), 0);
        f.SelectDoc("甲");
        tabs->setCurrentIndex(3);
        QCOMPARE(f.Main().PicList()->topLevelItemCount(), 1);
    }

    // ---- materials -----------------------------------------------------------------

    void insertingAMaterial_data() {
        QTest::addColumn<bool>("manuscriptOpen");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("through");
        for (const char* through : {"double click", "menu item", "tool button"}) {
            QTest::addRow("%s, editor disabled inserts nothing", through) << false << "" << through;
            QTest::addRow("%s, editor enabled inserts at the caret", through) << true << "资料文字正文" << through;
        }
    }
    void insertingAMaterial() {
        QFETCH(bool, manuscriptOpen);
        QFETCH(QString, text);
        QFETCH(QString, through);
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "正文"}}, manuscriptOpen ? "甲" : "");
        TDocAttr material;
        material.DocName = "资料一";
        material.Txt = "资料文字";
        f.Context().Documents().AddDoc(0, material);
        f.Main().LoadMaterials();
        QTreeWidget* files = f.Main().FileList();
        QTreeWidgetItem* item = files->findItems("资料一", Qt::MatchExactly).value(0);
        QVERIFY(item);
        files->setCurrentItem(item);
        if (through == "menu item")
            f.Trigger("munInsertInsertDocu");
        else if (through == "tool button")
            TriggerButton(f, "tbFileInsert");
        else
            f.Commands().Materials().lvFilesDblClick();
        QCOMPARE(f.Editor().GetText(), text);
    }

    // 编辑稿件 opens the selected manuscript as 稿件 ▸ 打开 does; with no
    // library it is disabled like the rest of the manuscript tab.
    void editManuscriptButtonOpensTheSelectedManuscript() {
        TAppFixture f;
        QVERIFY(!f.Main().ToolButton("tbDocEdit")->isEnabled());
        f.OpenSeededLibrary({{"甲", "甲的正文"}, {"乙", "乙的正文"}});
        QVERIFY(f.Main().ToolButton("tbDocEdit")->isEnabled());
        f.SelectDoc("乙");
        TriggerButton(f, "tbDocEdit");
        QCOMPARE(f.Editor().GetText(), QString("乙的正文"));
        QVERIFY(f.Editor().IsEnabled());
        QVERIFY(!f.Editor().IsModified());
    }

    void materialSaveNeedsASelectionAndAnEnabledEditor() {
        TAppFixture f;
        OpenLibraryWith(f, {{"甲", "新的资料文字"}}, "甲");
        f.Main().FileList()->clearSelection();
        f.Trigger("munInsetDocuSave");
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"无法保存，请选择一个资料文件!"});

        f.Main().FileFolderTree()->setCurrentItem(f.Main().FileFolderTree()->topLevelItem(0));
        f.Trigger("munInsertDocuNew");
        QTreeWidgetItem* item = f.Main().FileList()->currentItem();
        QVERIFY(item);
        QCOMPARE(item->text(0), QString("新建资料"));
        f.Trigger("munInsetDocuSave");
        QCOMPARE(f.Context().Documents().LoadDocText(ItemID(item)), QString("新的资料文字"));
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
    }

    void materialFoldersAndDrops() {
        TAppFixture f;
        // The store outlives the fixture: this test works below a top folder of its own.
        TqlvDocuments& store = f.Context().Documents();
        const int top = store.AddFolder(0, "T");
        const int a = store.AddFolder(top, "A");
        store.AddFolder(a, "B");
        for (const char* name : {"m1", "m2", "m3"}) {
            TDocAttr attr;
            attr.DocName = name;
            store.AddDoc(top, attr);
        }
        f.Main().LoadMaterials();
        QTreeWidget* tree = f.Main().FileFolderTree();
        QTreeWidget* files = f.Main().FileList();
        tree->setCurrentItem(FindNode(tree, "T"));
        f.Commands().Materials().tvFileFolderClick();
        QCOMPARE(files->topLevelItemCount(), 3);
        files->selectAll();
        f.Commands().Materials().tvFileFolderDragDrop(files, FindNode(tree, "B"));
        QCOMPARE(files->topLevelItemCount(), 0);
        QCOMPARE(store.LoadDocList(ItemID(FindNode(tree, "B"))).size(), size_t(3));

        tree->setCurrentItem(FindNode(tree, "A"));
        f.Commands().Materials().tvFileFolderDragDrop(tree, FindNode(tree, "B"));
        QCOMPARE(TreeShape(tree->topLevelItem(0)->child(0)), QString("T(A(B))"));

        f.dialogs.QueueMessageAnswer(1);
        tree->setCurrentItem(FindNode(tree, "A"));
        QTest::keyClick(tree, Qt::Key_Delete);
        QCOMPARE(f.dialogs.Messages().back().text, QString("确实要将此资料夹及其资料删除吗？"));
        QCOMPARE(TreeShape(tree->topLevelItem(0)->child(0)), QString("T"));
        QVERIFY(!store.LoadFolderTree().Children.empty());
        f.Main().LoadMaterials();
        QCOMPARE(TreeShape(tree->topLevelItem(0)->child(0)), QString("T"));
    }
};

QTEST_MAIN(TestSidePanel)
#include "tst_side_panel.moc"
