// The 工具 and 查找 commands that open the tools: the pinyin lookup with the
// editor's selection, the reader, and find in files, whose double click opens
// the file in the editor.
#include "app/TQuilloraApp.h"
#include "app/TfrmMain.h"
#include "editor/TqlvEditor.h"
#include "platform/AppPaths.h"
#include "support/ScriptedDialogs.h"
#include "tools/reader/TfrmReader.h"
#include "tools/searcher/TfrmSearcher.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <memory>

class TestToolCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<TQuilloraApp> m_app;

private slots:
    void init() {
        m_app = std::make_unique<TQuilloraApp>(QStringList{"quillora"});
        m_app->Startup();
        m_app->MainWindow()->show();
    }
    void cleanup() { m_app.reset(); }

    void pinyinOpensWithTheSelection_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("pinyin");
        QTest::newRow("nothing selected") << 2 << 2 << QString() << QString();
        QTest::newRow("two characters") << 2 << 4 << QStringLiteral("不觉") << QStringLiteral("bu jue");
        QTest::newRow("across a line break") << 4 << 7 << QStringLiteral("晓\n处") << QStringLiteral("xiao chu");
    }

    void pinyinOpensWithTheSelection() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, shown);
        QFETCH(QString, pinyin);
        m_app->MainWindow()->Editor()->SetText(QStringLiteral("春眠不觉晓\r\n处处闻啼鸟"));
        QTextCursor cursor = m_app->MainWindow()->Editor()->Control()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        m_app->MainWindow()->Editor()->Control()->setTextCursor(cursor);
        TScriptedDialogs dialogs;
        QString memoHZ, memoPY;
        dialogs.QueueDialog([&](QDialog& dialog) {
            memoHZ = dialog.findChild<QPlainTextEdit*>("memoHZ")->toPlainText();
            TScriptedDialogs::Click(dialog, "btnFind");
            memoPY = dialog.findChild<QPlainTextEdit*>("memoPY")->toPlainText();
            return int(QDialog::Rejected);
        });
        m_app->MainWindow()->Action("munToolPY")->trigger();
        QCOMPARE(dialogs.Requests().size(), size_t(1));
        QCOMPARE(dialogs.Requests().front().caption, QStringLiteral("反查拼音"));
        QCOMPARE(memoHZ, shown);
        QCOMPARE(memoPY, pinyin);
    }

    void readerOpensModally() {
        TScriptedDialogs dialogs;
        m_app->MainWindow()->Action("munToolReader")->trigger();
        QCOMPARE(dialogs.Requests().size(), size_t(1));
        QCOMPARE(dialogs.Requests().front().objectName, QStringLiteral("frmReader"));
        QCOMPARE(dialogs.Requests().front().caption, QStringLiteral("阅读模式"));
    }

    // The reader reads the text that is open; with none it starts empty.
    void readerReadsTheOpenText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing open") << ""
                                      << "";
        QTest::newRow("text in the editor") << "床前明月光"
                                            << "新建稿件";
    }
    void readerReadsTheOpenText() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        m_app->MainWindow()->Editor()->SetText(text);
        TScriptedDialogs dialogs;
        QString name;
        QString status;
        dialogs.QueueDialog([&](QDialog& dialog) {
            auto* reader = qobject_cast<TfrmReader*>(&dialog);
            name = reader->FileName();
            status = reader->panelFile->text();
            return int(QDialog::Rejected);
        });
        m_app->MainWindow()->Action("munToolReader")->trigger();
        QCOMPARE(name, shown);
        if (!shown.isEmpty())
            QCOMPARE(status, QStringLiteral("文件名称：") + shown);
    }

    void findInFilesOpensTheResultInTheEditor() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("found.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xB5\xDA\xD2\xBB\xD5\xC2 \xD1\xA9\xC9\xBD snowline");  // GBK
        file.close();

        m_app->MainWindow()->Action("munFindInFile")->trigger();
        auto* form = m_app->MainWindow()->findChild<TfrmSearcher*>();
        QVERIFY(form);
        QVERIFY(form->isVisible());
        QVERIFY(!form->isModal());
        form->editFindStr->setText(QStringLiteral("雪山"));
        form->editFindPath->setText(dir.path());
        QTest::mouseClick(form->btnSearch, Qt::LeftButton);
        QTRY_COMPARE(form->listFiles->count(), 1);
        form->listFilesDblClick(form->listFiles->item(0));
        QCOMPARE(m_app->MainWindow()->Editor()->GetText(), QStringLiteral("第一章 雪山 snowline"));
        QVERIFY(form->isVisible());  // the window stays open beside the main window
    }
};

QTEST_MAIN(TestToolCommands)
#include "tst_tool_commands.moc"
