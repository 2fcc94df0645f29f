// 稿件库 ▸ 输出书稿…: the book of what the dialog names, the choices kept per
// library, the output file's extension following the format, a cancelled or
// failed build leaving no file, and the messages the user sees.
#include "AppFixture.h"

#include "app/dialogs/TfrmBookOutput.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

QString ReadUtf8(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct TFill {
    const char* what = "rbLibrary";
    QString format = QStringLiteral("Markdown");
    QString title = QStringLiteral("春秋");
    QString author = QStringLiteral("佚名");
    QString path;
};

// Fills the dialog as given and clicks 输出.
TScriptedDialogs::DialogHandler Fill(const TFill& fill) {
    return [fill](QDialog& d) {
        TScriptedDialogs::SetChecked(d, fill.what, true);
        TScriptedDialogs::SetCurrentText(d, "cbFormat", fill.format);
        TScriptedDialogs::SetText(d, "editTitle", fill.title);
        TScriptedDialogs::SetText(d, "editAuthor", fill.author);
        TScriptedDialogs::SetText(d, "editPath", fill.path);
        return TScriptedDialogs::Click(d, "btnOK");
    };
}

// Clicks the progress window's 取消 as soon as it is up.
void CancelProgressWhenShown(QWidget* window) {
    QTimer::singleShot(0, window, [window] {
        if (auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("frmBookProgress")))
            progress->findChild<QAbstractButton*>(QStringLiteral("btnCancel"))->click();
        else
            CancelProgressWhenShown(window);
    });
}

// A library with two manuscripts at the top and a folder holding a third. The
// window lists 乙 (U+4E59) before 甲 (U+7532).
void SeedBook(TAppFixture& f) {
    f.OpenSeededLibrary({{QStringLiteral("乙"), QStringLiteral("乙的正文\r\n\r\n第二段")},
                         {QStringLiteral("甲"), QStringLiteral("甲的正文")}});
    const int folder = f.Data().AddFolder(0, QStringLiteral("第一部"));
    TDocAttr attr;
    attr.DocName = QStringLiteral("丙");
    attr.Txt = QStringLiteral("丙的正文");
    f.Data().AddDoc(folder, attr);
    f.Main().LoadLibraryViews();
}

void SelectFolder(TAppFixture& f, const QString& caption) {
    QTreeWidget* tree = f.Main().DocTree();
    tree->setCurrentItem(tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive).value(0));
}

}  // namespace

class TestBookCommands : public QObject {
    Q_OBJECT

private slots:
    void buildsWhatTheDialogNames_data() {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("folder");      // selected in the folder tree
        QTest::addColumn<QString>("manuscript");  // selected in the list
        QTest::addColumn<QStringList>("inOrder");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("whole library") << "rbLibrary" << QString() << QString()
                                       << QStringList{"# 春秋",   "佚名",   "乙的正文", "第二段",
                                                      "甲的正文", "第一部", "丙的正文"}
                                       << QStringList{};
        QTest::newRow("selected folder") << "rbFolder"
                                         << "第一部" << QString() << QStringList{"# 春秋", "丙的正文"}
                                         << QStringList{"甲的正文", "乙的正文"};
        QTest::newRow("selected manuscript")
            << "rbManuscripts" << QString() << "乙" << QStringList{"# 春秋", "乙的正文", "第二段"}
            << QStringList{"甲的正文", "丙的正文", "第一部"};
    }
    void buildsWhatTheDialogNames() {
        QFETCH(QString, what);
        QFETCH(QString, folder);
        QFETCH(QString, manuscript);
        QFETCH(QStringList, inOrder);
        QFETCH(QStringList, absent);
        TAppFixture f;
        SeedBook(f);
        if (!folder.isEmpty())
            SelectFolder(f, folder);
        if (!manuscript.isEmpty())
            f.SelectDoc(manuscript);
        TFill fill;
        const QByteArray whatName = what.toLatin1();
        fill.what = whatName.constData();
        fill.path = f.Path("书");  // the extension follows the format
        f.dialogs.QueueDialog(Fill(fill));
        f.Trigger("munDocBook");

        const QString text = ReadUtf8(f.Path("书.md"));
        qsizetype at = 0;
        for (const QString& piece : inOrder) {
            const qsizetype found = text.indexOf(piece, at);
            QVERIFY2(found >= 0, qPrintable(piece + " in\n" + text));
            at = found + piece.size();
        }
        for (const QString& piece : absent)
            QVERIFY2(!text.contains(piece), qPrintable(piece));
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        QCOMPARE(f.dialogs.Messages().at(0).icon, 1);
        QVERIFY(f.dialogs.Messages().at(0).text.contains(QStringLiteral("书.md")));
        QCOMPARE(f.dialogs.Requests().at(0).caption, QString("输出书稿"));
    }

    // The dialog opens with the choices last made for the same library; another
    // library starts from its own name and the EPUB default.
    void choicesAreRememberedPerLibrary() {
        TAppFixture f;
        SeedBook(f);
        const QString library = f.Data().GetDocDataName();
        TFill fill;
        fill.format = QStringLiteral("Word 文档 (DOCX)");
        fill.path = f.Path("稿.txt");
        f.dialogs.QueueDialog(Fill(fill));
        f.Trigger("munDocBook");
        QVERIFY(QFileInfo::exists(f.Path("稿.docx")));

        TBookOutputChoice shown;
        auto look = [&shown](QDialog& d) {
            shown = static_cast<TfrmBookOutput&>(d).Choice();
            return int(QDialog::Rejected);
        };
        f.dialogs.QueueDialog(look);
        f.Trigger("munDocBook");
        QCOMPARE(int(shown.Format), int(TBookFormat::Docx));
        QCOMPARE(shown.Title, QString("春秋"));
        QCOMPARE(shown.Author, QString("佚名"));
        QCOMPARE(shown.Path, f.Path("稿.docx"));

        const QString other = f.MakeLibrary(QStringLiteral("别集"));
        f.Commands().Library().OpenLibrary(other);
        f.dialogs.QueueDialog(look);
        f.Trigger("munDocBook");
        QCOMPARE(int(shown.Format), int(TBookFormat::Epub));
        QCOMPARE(shown.Title, QString("别集"));
        QCOMPARE(shown.Author, QString());
        QCOMPARE(shown.Path, QFileInfo(other).absolutePath() + "/别集.epub");

        f.Commands().Library().OpenLibrary(library);
        f.dialogs.QueueDialog(look);
        f.Trigger("munDocBook");
        QCOMPARE(shown.Title, QString("春秋"));
    }

    void dialogFollowsTheFormatAndNamesEveryControl() {
        TScriptedDialogs dialogs;
        TfrmBookOutput dialog(dialogs);
        dialog.SetSelection(QString(), 0);
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
                qobject_cast<QLineEdit*>(control))
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
        // Nothing selected: only the whole library can be chosen.
        QVERIFY(!dialog.findChild<QWidget*>("rbFolder")->isEnabled());
        QVERIFY(!dialog.findChild<QWidget*>("rbManuscripts")->isEnabled());
        TBookOutputChoice choice;
        choice.What = TBookScope::Kind::Folder;
        choice.Path = QStringLiteral("/书稿/卷一.docx");
        dialog.SetChoice(choice);
        QCOMPARE(int(dialog.Choice().What), int(TBookScope::Kind::Library));
        QCOMPARE(dialog.Choice().Path, QString("/书稿/卷一.epub"));
        auto* format = dialog.findChild<QComboBox*>("cbFormat");
        auto* page = dialog.findChild<QComboBox*>("cbPage");
        QVERIFY(!page->isEnabled());
        format->setCurrentText(QStringLiteral("PDF"));
        QVERIFY(page->isEnabled());
        QCOMPARE(dialog.findChild<QLineEdit*>("editPath")->text(), QString("/书稿/卷一.pdf"));
        // A name chosen with "..." gets the format's extension too.
        dialogs.QueueSaveFileName(QStringLiteral("/书稿/第二卷"));
        TScriptedDialogs::Click(dialog, "btnBrowse");
        QCOMPARE(dialog.Choice().Path, QString("/书稿/第二卷.pdf"));
        QCOMPARE(dialogs.Requests().at(0).fileName, QString("卷一.pdf"));
        QCOMPARE(dialogs.Requests().at(0).initialDir, QString("/书稿"));
    }

    void outputFileIsRequired() {
        TAppFixture f;
        SeedBook(f);
        int result = -1;
        f.dialogs.QueueDialog([&result](QDialog& d) {
            TScriptedDialogs::SetText(d, "editPath", QStringLiteral("  "));
            result = TScriptedDialogs::Click(d, "btnOK");
            return int(QDialog::Rejected);
        });
        f.Trigger("munDocBook");
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(f.dialogs.MessageTexts(), QStringList{"请选择输出文件。"});
    }

    // 取消 in the progress window stops the build: nothing under the chosen
    // name, an earlier file there untouched, no success message.
    void cancelLeavesNoBook_data() {
        QTest::addColumn<bool>("earlierFile");
        QTest::newRow("new name") << false;
        QTest::newRow("earlier file") << true;
    }
    void cancelLeavesNoBook() {
        QFETCH(bool, earlierFile);
        TAppFixture f;
        SeedBook(f);
        const QString book = f.Path("书.epub");
        if (earlierFile)
            WriteFile(book, "earlier");
        TFill fill;
        fill.format = QStringLiteral("电子书 (EPUB)");
        fill.path = book;
        f.dialogs.QueueDialog(Fill(fill));
        CancelProgressWhenShown(&f.Main());
        f.Trigger("munDocBook");
        QCOMPARE(QFileInfo::exists(book), earlierFile);
        if (earlierFile)
            QCOMPARE(ReadUtf8(book), QString("earlier"));
        QVERIFY(f.dialogs.Messages().empty());
        QCOMPARE(QDir(f.Path(QString())).entryList({"*.epub*"}, QDir::Files).size(), earlierFile ? 1 : 0);
    }

    void unusableOutputFolderIsReported_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << "无此夹/书.md";
        QTest::newRow("folder is a file") << "是文件/书.md";
    }
    void unusableOutputFolderIsReported() {
        QFETCH(QString, relative);
        TAppFixture f;
        SeedBook(f);
        WriteFile(f.Path("是文件"), "x");
        TFill fill;
        fill.path = f.Path(relative);
        f.dialogs.QueueDialog(Fill(fill));
        f.Trigger("munDocBook");
        QCOMPARE(f.dialogs.Messages().size(), size_t(1));
        const TShownMessage shown = f.dialogs.Messages().at(0);
        QVERIFY2(shown.text.startsWith(QStringLiteral("无法在")), qPrintable(shown.text));
        QCOMPARE(shown.caption, QString("输出书稿"));
        QCOMPARE(shown.icon, 2);
        QVERIFY(!QFileInfo::exists(fill.path));
    }
};

QTEST_MAIN(TestBookCommands)
#include "tst_book_commands.moc"
