// The "反查拼音" dialog: its controls, and its three buttons driven by clicks.
#include "tools/pinyin/TfrmCheckPY.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestCheckPY : public QObject {
    Q_OBJECT
private slots:
    void controlsCarryTheirNamesAndCaptions();
    void findPutsTheFullPinyinIntoMemoPY_data();
    void findPutsTheFullPinyinIntoMemoPY();
    void clearEmptiesBothMemos();
    void exitClosesTheDialog();
    void enterInTheTextDoesNotCloseTheDialog();
};

void TestCheckPY::controlsCarryTheirNamesAndCaptions() {
    TfrmCheckPY form;
    QCOMPARE(form.windowTitle(), QStringLiteral("反查拼音"));
    struct Expected {
        const char* name;
        QString text;
    };
    const Expected buttons[] = {
        {"btnFind", QStringLiteral("查找")}, {"btnClear", QStringLiteral("清空")}, {"btnExit", QStringLiteral("退出")}};
    for (const Expected& e : buttons) {
        auto* button = form.findChild<QPushButton*>(e.name);
        QVERIFY2(button, e.name);
        QCOMPARE(button->text(), e.text);
    }
    auto* memoHZ = form.findChild<QPlainTextEdit*>("memoHZ");
    auto* memoPY = form.findChild<QPlainTextEdit*>("memoPY");
    QVERIFY(memoHZ && memoPY);
    QCOMPARE(memoHZ, form.memoHZ);
    QCOMPARE(memoPY, form.memoPY);
    auto* lblHZ = form.findChild<QLabel*>("lblHZ");
    auto* lblPY = form.findChild<QLabel*>("lblPY");
    QVERIFY(lblHZ && lblPY);
    QCOMPARE(lblHZ->text(), QStringLiteral("要查找的汉字"));
    QCOMPARE(lblPY->text(), QStringLiteral("汉字的拼音"));
    QCOMPARE(lblHZ->buddy(), memoHZ);
    QCOMPARE(lblPY->buddy(), memoPY);
}

void TestCheckPY::findPutsTheFullPinyinIntoMemoPY_data() {
    QTest::addColumn<QString>("hz");
    QTest::addColumn<QString>("py");
    QTest::newRow("words") << QStringLiteral("中文书家") << QStringLiteral("zhong wen shu jia");
    QTest::newRow("lines become one line") << QStringLiteral("中文\n书家\r\n") << QStringLiteral("zhong wen shu jia");
    QTest::newRow("punctuation dropped") << QStringLiteral("你好，世界。") << QStringLiteral("ni hao shi jie");
    QTest::newRow("mixed") << QStringLiteral("第1章 ABC") << QStringLiteral("di 1 zhang A B C");
    QTest::newRow("empty") << QString() << QString();
}

void TestCheckPY::findPutsTheFullPinyinIntoMemoPY() {
    QFETCH(QString, hz);
    QFETCH(QString, py);
    TfrmCheckPY form;
    form.memoPY->setPlainText(QStringLiteral("old result"));
    form.SetHzText(hz);
    const QString input = form.memoHZ->toPlainText();
    QTest::mouseClick(form.btnFind, Qt::LeftButton);
    QCOMPARE(form.memoPY->toPlainText(), py);
    QCOMPARE(form.memoHZ->toPlainText(), input);  // the input stays
}

void TestCheckPY::clearEmptiesBothMemos() {
    TfrmCheckPY form;
    form.SetHzText(QStringLiteral("中文"));
    QTest::mouseClick(form.btnFind, Qt::LeftButton);
    QCOMPARE(form.memoPY->toPlainText(), QStringLiteral("zhong wen"));
    QTest::mouseClick(form.btnClear, Qt::LeftButton);
    QVERIFY(form.memoHZ->toPlainText().isEmpty());
    QVERIFY(form.memoPY->toPlainText().isEmpty());
}

void TestCheckPY::exitClosesTheDialog() {
    TfrmCheckPY form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy finished(&form, &QDialog::finished);
    QTest::mouseClick(form.btnExit, Qt::LeftButton);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
}

void TestCheckPY::enterInTheTextDoesNotCloseTheDialog() {
    TfrmCheckPY form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.memoHZ->setFocus();
    QTest::keyClicks(form.memoHZ, QStringLiteral("ab"));
    QTest::keyClick(form.memoHZ, Qt::Key_Return);
    QVERIFY(form.isVisible());
    QCOMPARE(form.memoHZ->toPlainText(), QStringLiteral("ab\n"));
}

QTEST_MAIN(TestCheckPY)
#include "tst_checkpy.moc"
