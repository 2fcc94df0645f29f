// The Qt dialog service under the offscreen platform (each box is driven by a
// timer that finds the active modal widget), the filter conversion, and the
// scripted test service.
#include "platform/DialogService.h"
#include "platform/QtDialogService.h"
#include "platform/Skin.h"

#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Runs `action` on the next modal widget once it is shown.
void WhenModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

QPushButton* ButtonWithText(QWidget* parent, const QString& text) {
    for (QPushButton* button : parent->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

QStringList ButtonTexts(QWidget* parent) {
    QList<QPushButton*> buttons = parent->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    QStringList texts;
    for (QPushButton* button : buttons)
        if (button->isVisible())
            texts << button->text();
    return texts;
}

struct TSeenBox {
    QString caption;
    QString text;
    QStringList buttons;
    QString defaultButton;
    QString focused;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Records what the box shows, then acts on it: a button text to click, or
// "close" / "escape".
TSeenBox DriveBox(const QString& act) {
    TSeenBox seen;
    WhenModal([&seen, act](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.buttons = ButtonTexts(box);
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen.icon = box->icon();
        auto* focus = qobject_cast<QPushButton*>(box->focusWidget());
        seen.focused = focus ? focus->text() : QString();
        if (act == QLatin1String("close"))
            box->close();
        else if (act == QLatin1String("escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else
            ButtonWithText(box, act)->click();
    });
    return seen;
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void messageBoxAnswers_data();
    void messageBoxAnswers();
    void messageBoxShowsCaptionTextAndIcon();
    void messageBoxIsWideEnoughForItsCaption();
    void passwordBox();
    void passwordBoxCancelled();
    void fileDialogUsesFilterAndDefaultExtension();
    void execDialogReturnsTheResult();
    void dialogsAreDrawnInTheServiceSkin();
    void convertFileFilter_data();
    void convertFileFilter();
    void scriptedServiceAnswersAndRecords();
    void scriptedServiceDefaultsWhenQueueIsEmpty();
    void scriptedServiceRunsDialogHandlers();
    void setDialogServiceNullRestoresQt();
};

void TestDialogs::messageBoxAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("act");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QStringList>("texts");
    const QStringList ok{QStringLiteral("确定")};
    const QStringList yesNo{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")};
    QTest::newRow("ok") << 1 << QStringLiteral("确定") << 1 << ok;
    QTest::newRow("ok closed") << 1 << QStringLiteral("close") << 2 << ok;
    QTest::newRow("yes") << 2 << QStringLiteral("是(&Y)") << 1 << yesNo;
    QTest::newRow("no") << 2 << QStringLiteral("否(&N)") << 2 << yesNo;
    QTest::newRow("yes/no closed") << 2 << QStringLiteral("close") << 2 << yesNo;
    QTest::newRow("yes/no escape") << 2 << QStringLiteral("escape") << 2 << yesNo;
    // With a 取消 button, Escape and closing the box answer 取消 (3), not 否.
    const QStringList yesNoCancel{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), QStringLiteral("取消")};
    QTest::newRow("yes/no/cancel yes") << 3 << QStringLiteral("是(&Y)") << 1 << yesNoCancel;
    QTest::newRow("yes/no/cancel no") << 3 << QStringLiteral("否(&N)") << 2 << yesNoCancel;
    QTest::newRow("yes/no/cancel cancel") << 3 << QStringLiteral("取消") << 3 << yesNoCancel;
    QTest::newRow("yes/no/cancel escape") << 3 << QStringLiteral("escape") << 3 << yesNoCancel;
    QTest::newRow("yes/no/cancel closed") << 3 << QStringLiteral("close") << 3 << yesNoCancel;
}

void TestDialogs::messageBoxAnswers() {
    QFETCH(int, buttons);
    QFETCH(QString, act);
    QFETCH(int, expected);
    QFETCH(QStringList, texts);
    const TSeenBox seen = DriveBox(act);
    QCOMPARE(InstalledDialogService().MessageBox(QStringLiteral("内容"), QStringLiteral("标题"), 1, 2, buttons),
             expected);
    QCOMPARE(seen.buttons, texts);  // left to right
    QCOMPARE(seen.defaultButton, texts.first());
    QCOMPARE(seen.focused, texts.first());
}

void TestDialogs::messageBoxShowsCaptionTextAndIcon() {
    const QMessageBox::Icon icons[] = {QMessageBox::NoIcon, QMessageBox::Information, QMessageBox::Warning};
    for (int icon = 0; icon <= 2; ++icon) {
        const TSeenBox seen = DriveBox(QStringLiteral("确定"));
        QCOMPARE(InstalledDialogService().MessageBox(QStringLiteral("文件不为可接受格式!"), QStringLiteral("打开"),
                                                     icon, 0, 1),
                 1);
        QCOMPARE(seen.caption, QStringLiteral("打开"));
        QCOMPARE(seen.text, QStringLiteral("文件不为可接受格式!"));
        QCOMPARE(seen.icon, icons[icon]);
    }
}

// A box whose text is shorter than its caption is still wide enough for it.
void TestDialogs::messageBoxIsWideEnoughForItsCaption() {
    int width = 0, needed = 0;
    WhenModal([&](QWidget* box) {
        width = box->width();
        needed = box->fontMetrics().horizontalAdvance(QStringLiteral("字数统计")) + 100;
        ButtonWithText(box, QStringLiteral("确定"))->click();
    });
    InstalledDialogService().MessageBox(QStringLiteral("英文单词：0\r中文字数：0\r\r"), QStringLiteral("字数统计"), 0,
                                        0, 1);
    QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
}

void TestDialogs::passwordBox() {
    QString caption;
    QStringList labels, buttons;
    bool masked = false;
    WhenModal([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            labels << label->text();
        buttons = ButtonTexts(dialog);
        auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("editPassword"));
        auto* confirm = dialog->findChild<QLineEdit*>(QStringLiteral("editConfirm"));
        QVERIFY(password && confirm);
        masked = password->echoMode() == QLineEdit::Password && confirm->echoMode() == QLineEdit::Password;
        QTest::keyClicks(password, QStringLiteral("secret"));
        password->insert(QStringLiteral("秘密"));
        confirm->setText(QStringLiteral("other"));
        ButtonWithText(dialog, QStringLiteral("确认"))->click();
    });
    QCOMPARE(InstalledDialogService().InputPassword(), QStringLiteral("secret秘密"));
    QCOMPARE(caption, QStringLiteral("打开稿件库"));
    QCOMPARE(labels, (QStringList{QStringLiteral("输入密码："), QStringLiteral("确认密码：")}));
    QCOMPARE(buttons, (QStringList{QStringLiteral("确认"), QStringLiteral("取消")}));
    QVERIFY(masked);
}

void TestDialogs::passwordBoxCancelled() {
    for (const QString& act : {QStringLiteral("取消"), QStringLiteral("close")}) {
        WhenModal([act](QWidget* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("editPassword"))->setText(QStringLiteral("x"));
            if (act == QLatin1String("close"))
                dialog->close();
            else
                ButtonWithText(dialog, act)->click();
        });
        QCOMPARE(InstalledDialogService().InputPassword(), QString());
    }
}

void TestDialogs::fileDialogUsesFilterAndDefaultExtension() {
    QTemporaryDir dir;
    QStringList filters;
    QString title;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->selectFile(dir.filePath(QStringLiteral("导出")));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    TFileDialogRequest request{QStringLiteral("导出稿件"), QStringLiteral("文本文件|*.txt|所有文件|*.*"), dir.path(),
                               QString(), QStringLiteral("txt")};
    const QString chosen = InstalledDialogService().SaveFileName(request);
    QCOMPARE(title, QStringLiteral("导出稿件"));
    QCOMPARE(filters, (QStringList{QStringLiteral("文本文件 (*.txt)"), QStringLiteral("所有文件 (*)")}));
    QCOMPARE(chosen, dir.filePath(QStringLiteral("导出.txt")));

    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    QCOMPARE(InstalledDialogService().OpenFileName(request), QString());
}

void TestDialogs::execDialogReturnsTheResult() {
    for (int wanted : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
        QDialog dialog;
        WhenModal([wanted](QWidget* modal) { qobject_cast<QDialog*>(modal)->done(wanted); });
        QCOMPARE(InstalledDialogService().ExecDialog(dialog), wanted);
    }
}

// The service draws what it runs, boxes included, in the skin it was given
// and, with none, leaves the application's look; the named calls of a
// scripted stand-in report that skin's style.
void TestDialogs::dialogsAreDrawnInTheServiceSkin() {
    TSkin skin;
    skin.Set(3, QString());
    QWidget reference;
    skin.ApplyTo(&reference);
    const QColor window = reference.palette().color(QPalette::Window);
    DefaultDialogService().DrawIn(&skin);
    SetDialogService(nullptr);

    QDialog dialog;
    QColor seen;
    WhenModal([&seen](QWidget* modal) {
        seen = modal->palette().color(QPalette::Window);
        qobject_cast<QDialog*>(modal)->reject();
    });
    InstalledDialogService().ExecDialog(dialog);
    QCOMPARE(seen, window);
    QCOMPARE(dialog.styleSheet(), reference.styleSheet());

    WhenModal([&seen](QWidget* modal) {
        seen = modal->palette().color(QPalette::Window);
        ButtonWithText(modal, QStringLiteral("确定"))->click();
    });
    InstalledDialogService().Inform(QStringLiteral("内容"), QStringLiteral("标题"));
    QCOMPARE(seen, window);

    {
        TScriptedDialogs dialogs;
        QCOMPARE(dialogs.Skin(), &skin);
        dialogs.Inform(QStringLiteral("内容"), QStringLiteral("标题"));
        QCOMPARE(dialogs.Messages().at(0).style, 3);
    }

    DefaultDialogService().DrawIn(nullptr);
    QDialog plain;
    WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    InstalledDialogService().ExecDialog(plain);
    QVERIFY(!plain.testAttribute(Qt::WA_SetPalette));
    QCOMPARE(plain.styleSheet(), QString());
}

void TestDialogs::convertFileFilter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");
    // A description that shows its patterns already is not given them twice.
    QTest::newRow("one") << QStringLiteral("文本文件(*.txt)|*.txt") << QStringLiteral("文本文件(*.txt)");
    QTest::newRow("shown patterns differ")
        << QStringLiteral("文本(*.txt)|*.txt;*.text") << QStringLiteral("文本(*.txt) (*.txt *.text)");
    QTest::newRow("two patterns") << QStringLiteral("图片|*.jpg;*.bmp") << QStringLiteral("图片 (*.jpg *.bmp)");
    QTest::newRow("two filters") << QStringLiteral("A|*.a|B|*.b") << QStringLiteral("A (*.a);;B (*.b)");
    QTest::newRow("all files") << QStringLiteral("全部|*.*") << QStringLiteral("全部 (*)");
    QTest::newRow("Qt form kept") << QStringLiteral("Text (*.txt)") << QStringLiteral("Text (*.txt)");
    QTest::newRow("dangling label") << QStringLiteral("A|*.a|B") << QStringLiteral("A (*.a)");
    QTest::newRow("empty") << QString() << QString();
}

void TestDialogs::convertFileFilter() {
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(ConvertFileFilter(filter), expected);
}

void TestDialogs::scriptedServiceAnswersAndRecords() {
    TDialogService* before = &InstalledDialogService();
    {
        TScriptedDialogs dialogs;
        QCOMPARE(&InstalledDialogService(), static_cast<TDialogService*>(&dialogs));
        dialogs.QueueMessageAnswer(2);
        dialogs.QueuePassword(QStringLiteral("pw"));
        dialogs.QueueOpenFileNames({QStringLiteral("/a"), QStringLiteral("/b")});
        dialogs.QueueColor(QColor(Qt::red));
        QCOMPARE(InstalledDialogService().MessageBox(QStringLiteral("保存？"), QStringLiteral("退出"), 1, 3, 2), 2);
        QCOMPARE(InstalledDialogService().InputPassword(), QStringLiteral("pw"));
        TFileDialogRequest request;
        request.caption = QStringLiteral("插入");
        request.filter = QStringLiteral("文本|*.txt");
        QCOMPARE(InstalledDialogService().OpenFileNames(request),
                 (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
        QCOMPARE(InstalledDialogService().ChooseColor(Qt::white), std::optional<QColor>(QColor(Qt::red)));
        QCOMPARE(dialogs.PendingAnswers(), 0);

        QCOMPARE(dialogs.Messages().size(), size_t(1));
        const TShownMessage& shown = dialogs.Messages().front();
        QCOMPARE(shown.text, QStringLiteral("保存？"));
        QCOMPARE(shown.caption, QStringLiteral("退出"));
        QCOMPARE(shown.icon, 1);
        QCOMPARE(shown.style, 3);
        QCOMPARE(shown.buttons, 2);
        QVERIFY(shown.scripted);
        QCOMPARE(dialogs.Requests().size(), size_t(3));
        QCOMPARE(dialogs.Requests()[1].kind, QStringLiteral("openMany"));
        QCOMPARE(dialogs.Requests()[1].filter, QStringLiteral("文本|*.txt"));
        QCOMPARE(dialogs.Requests()[2].answer, QColor(Qt::red).name());
        {
            TScriptedDialogs nested;
            QCOMPARE(&InstalledDialogService(), static_cast<TDialogService*>(&nested));
        }
        QCOMPARE(&InstalledDialogService(), static_cast<TDialogService*>(&dialogs));
    }
    QCOMPARE(&InstalledDialogService(), before);
}

void TestDialogs::scriptedServiceDefaultsWhenQueueIsEmpty() {
    TScriptedDialogs dialogs;
    QCOMPARE(InstalledDialogService().MessageBox(QStringLiteral("a"), QStringLiteral("b"), 0, 0, 2), 1);
    QCOMPARE(InstalledDialogService().InputPassword(), QString());
    QCOMPARE(InstalledDialogService().SaveFileName({}), QString());
    QCOMPARE(InstalledDialogService().FolderName(QStringLiteral("请选择一个文件夹"), QStringLiteral("/tmp")),
             QString());
    QVERIFY(!InstalledDialogService().ChooseFont(QFont()).has_value());
    QDialog dialog;
    QCOMPARE(InstalledDialogService().ExecDialog(dialog), int(QDialog::Rejected));
    QVERIFY(!dialogs.Messages().front().scripted);
    QCOMPARE(dialogs.Requests().size(), size_t(5));
    for (const TDialogRequestRecord& request : dialogs.Requests())
        QVERIFY(!request.scripted);
    QCOMPARE(dialogs.Requests()[2].caption, QStringLiteral("请选择一个文件夹"));
    QCOMPARE(dialogs.Requests()[2].initialDir, QStringLiteral("/tmp"));
}

void TestDialogs::scriptedServiceRunsDialogHandlers() {
    TScriptedDialogs dialogs;
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("frmTest"));
    dialog.setWindowTitle(QStringLiteral("新建"));
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("editName"));
    auto* ok = new QPushButton(&dialog);
    ok->setObjectName(QStringLiteral("btnOK"));
    // The dialog's own check keeps it open while the name is empty.
    QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
        if (!edit->text().isEmpty())
            dialog.accept();
    });
    dialogs.QueueDialog([](QDialog& d) { return TScriptedDialogs::Click(d, "btnOK"); });
    dialogs.QueueDialog([](QDialog& d) {
        TScriptedDialogs::SetText(d, "editName", QStringLiteral("稿件"));
        return TScriptedDialogs::Click(d, "btnOK");
    });
    QCOMPARE(InstalledDialogService().ExecDialog(dialog), int(QDialog::Rejected));
    QCOMPARE(InstalledDialogService().ExecDialog(dialog), int(QDialog::Accepted));
    QCOMPARE(edit->text(), QStringLiteral("稿件"));
    QCOMPARE(dialogs.Requests()[1].objectName, QStringLiteral("frmTest"));
    QCOMPARE(dialogs.Requests()[1].caption, QStringLiteral("新建"));
    QCOMPARE(dialogs.Requests()[1].answer, QStringLiteral("accepted"));
}

void TestDialogs::setDialogServiceNullRestoresQt() {
    TScriptedDialogs dialogs;
    SetDialogService(nullptr);
    QVERIFY(dynamic_cast<TQtDialogService*>(&InstalledDialogService()) != nullptr);
    SetDialogService(&dialogs);  // the destructor puts back what it found
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
