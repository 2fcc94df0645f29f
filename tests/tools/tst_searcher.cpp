// The "查找文件" window driven through its controls: a scan lists the matching
// files, a double click hands a path on, pause holds the scan, and closing or
// a new search stops the running scan.
#include "platform/Skin.h"
#include "support/ScriptedDialogs.h"
#include "tools/searcher/TfrmSearcher.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestSearcher : public QObject {
    Q_OBJECT
private slots:
    void init();
    void everyControlHasANameAndItsDefault();
    void searchListsTheMatchingFilesAndEnds_data();
    void searchListsTheMatchingFilesAndEnds();
    void doubleClickHandsThePathOn();
    void browseReplacesThePath_data();
    void browseReplacesThePath();
    void pauseHoldsTheScanUntilContinue();
    void closingStopsTheScan_data();
    void closingStopsTheScan();
    void newSearchReplacesTheRunningOne();

private:
    QString Root() const { return m_dir->path() + QLatin1Char('/'); }
    void Write(const QString& name, const QByteArray& bytes);
    void StartSearch(TfrmSearcher& form, const QString& find, const QString& folder);
    static QStringList Listed(const TfrmSearcher& form);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSearcher::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir(m_dir->path()).mkpath(QStringLiteral("sub"));
    Write(QStringLiteral("a.txt"), "a needle");
    Write(QStringLiteral("b.txt"), "nothing");
    Write(QStringLiteral("c.txt"), "NEEDLE");
    Write(QStringLiteral("sub/d.txt"), "\xD5\xE2\xC0\xEF needle");  // GBK
    for (int i = 0; i < 40; ++i)
        Write(QStringLiteral("sub/many%1.txt").arg(i), "many");
}

void TestSearcher::Write(const QString& name, const QByteArray& bytes) {
    QFile file(Root() + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestSearcher::StartSearch(TfrmSearcher& form, const QString& find, const QString& folder) {
    form.editFindStr->setText(find);
    form.editFindPath->setText(folder);
    QTest::mouseClick(form.btnSearch, Qt::LeftButton);
}

QStringList TestSearcher::Listed(const TfrmSearcher& form) {
    QStringList paths;
    for (int i = 0; i < form.listFiles->count(); ++i)
        paths << form.listFiles->item(i)->text();
    paths.sort();
    return paths;
}

void TestSearcher::everyControlHasANameAndItsDefault() {
    TfrmSearcher form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QStringLiteral("查找文件"));
    QVERIFY(!form.isModal());
    const QList<QWidget*> controls = {form.editFindStr,  form.editFindPath, form.btnBrowse,   form.chkSub,
                                      form.chkWordMatch, form.listFiles,    form.progressBar, form.btnSearch,
                                      form.btnPause,     form.btnExit};
    for (QWidget* control : controls) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(form.editFindPath)->text(QAccessible::Name),
             QStringLiteral("查找路径："));
    QVERIFY(form.chkSub->isChecked());
    QVERIFY(form.chkWordMatch->isChecked());
    QVERIFY(!form.btnPause->isEnabled());
    QVERIFY(form.btnSearch->isDefault());
    QCOMPARE(form.progressBar->value(), 0);
    // Escape closes the window like "退出(&X)".
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
}

void TestSearcher::searchListsTheMatchingFilesAndEnds_data() {
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("sub");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("sub-folders, any case") << "needle" << true << true << QStringList{"a.txt", "c.txt", "sub/d.txt"};
    QTest::newRow("top folder only") << "needle" << false << true << QStringList{"a.txt", "c.txt"};
    QTest::newRow("case box cleared") << "NEEDLE" << true << false << QStringList{"c.txt"};
    QTest::newRow("GBK text") << QStringLiteral("这里") << true << true << QStringList{"sub/d.txt"};
    QTest::newRow("no match") << "absent" << true << true << QStringList{};
}

void TestSearcher::searchListsTheMatchingFilesAndEnds() {
    QFETCH(QString, find);
    QFETCH(bool, sub);
    QFETCH(bool, ignoreCase);
    QFETCH(QStringList, expected);
    TfrmSearcher form;
    form.show();
    form.listFiles->addItem(QStringLiteral("left from before"));
    if (form.chkSub->isChecked() != sub)
        QTest::mouseClick(form.chkSub, Qt::LeftButton);
    if (form.chkWordMatch->isChecked() != ignoreCase)
        QTest::mouseClick(form.chkWordMatch, Qt::LeftButton);
    StartSearch(form, find, m_dir->path());  // no trailing separator
    QVERIFY(form.btnPause->isEnabled());
    QTRY_VERIFY(!form.btnPause->isEnabled());
    QCOMPARE(form.progressBar->value(), 100);
    for (QString& name : expected)
        name = Root() + name;
    QCOMPARE(Listed(form), expected);
    for (int i = 0; i < form.listFiles->count(); ++i)
        QCOMPARE(form.listFiles->item(i)->toolTip(), form.listFiles->item(i)->text());
}

void TestSearcher::doubleClickHandsThePathOn() {
    QStringList opened;
    TfrmSearcher form(nullptr, [&](const QString& path) { opened << path; });
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    StartSearch(form, QStringLiteral("a needle"), Root());
    QTRY_VERIFY(!form.btnPause->isEnabled());
    QCOMPARE(form.listFiles->count(), 1);
    const QRect rect = form.listFiles->visualItemRect(form.listFiles->item(0));
    // A real double click: press, release, then the second press as a double click.
    QTest::mouseClick(form.listFiles->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(form.listFiles->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(opened, QStringList{Root() + "a.txt"});
}

void TestSearcher::browseReplacesThePath_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("chosen") << "/chosen/folder"
                            << "/chosen/folder";
    QTest::newRow("cancelled") << ""
                               << "/typed";
}

void TestSearcher::browseReplacesThePath() {
    QFETCH(QString, answer);
    QFETCH(QString, expected);
    TScriptedDialogs dialogs;
    dialogs.QueueFolderName(answer);
    TfrmSearcher form;
    form.editFindPath->setText(QStringLiteral("/typed"));
    QTest::mouseClick(form.btnBrowse, Qt::LeftButton);
    QCOMPARE(form.editFindPath->text(), expected);
    QCOMPARE(dialogs.Requests().size(), size_t(1));
    QCOMPARE(dialogs.Requests().front().caption, QStringLiteral("请选择一个文件夹"));
}

void TestSearcher::pauseHoldsTheScanUntilContinue() {
    TfrmSearcher form;
    form.show();
    StartSearch(form, QString(), Root());  // every file matches
    QTest::mouseClick(form.btnPause, Qt::LeftButton);
    QCOMPARE(form.btnPause->text(), QStringLiteral("继续(&R)"));
    QTRY_VERIFY(form.Worker()->IsHeld());
    QCoreApplication::processEvents();  // a hand-over already on its way
    const int held = form.listFiles->count();
    QCoreApplication::processEvents();
    QCOMPARE(form.listFiles->count(), held);
    QVERIFY(held < 44);
    QTest::mouseClick(form.btnPause, Qt::LeftButton);
    QCOMPARE(form.btnPause->text(), QStringLiteral("暂停(&P)"));
    QTRY_VERIFY(!form.btnPause->isEnabled());
    QCOMPARE(form.listFiles->count(), 44);
}

void TestSearcher::closingStopsTheScan_data() {
    QTest::addColumn<bool>("paused");
    QTest::newRow("running") << false;
    QTest::newRow("paused") << true;
}

void TestSearcher::closingStopsTheScan() {
    QFETCH(bool, paused);
    const TSkin skin;
    QPointer<TfrmSearcher> form = OpenFindInFiles(nullptr, skin, {});
    QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));
    StartSearch(*form, QString(), Root());
    if (paused) {
        QTest::mouseClick(form->btnPause, Qt::LeftButton);
        QTRY_VERIFY(form->Worker()->IsHeld());
    }
    QTest::mouseClick(form->btnExit, Qt::LeftButton);
    QVERIFY(!form.isNull() ? !form->Worker()->IsRunning() : true);
    QTRY_VERIFY(form.isNull());  // deleted; its worker's thread joined
    QCoreApplication::processEvents();
}

void TestSearcher::newSearchReplacesTheRunningOne() {
    TfrmSearcher form;
    form.show();
    StartSearch(form, QString(), Root());
    QTest::mouseClick(form.btnPause, Qt::LeftButton);  // the first scan is held
    QTRY_VERIFY(form.Worker()->IsHeld());
    StartSearch(form, QStringLiteral("a needle"), Root());
    QCOMPARE(form.btnPause->text(), QStringLiteral("暂停(&P)"));
    QTRY_VERIFY(!form.btnPause->isEnabled());
    QCOMPARE(Listed(form), QStringList{Root() + "a.txt"});
}

QTEST_MAIN(TestSearcher)
#include "tst_searcher.moc"
