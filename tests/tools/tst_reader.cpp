// The "阅读模式" window: opening a file, the start button, direction and speed,
// the end of the text and closing, driven through the controls. Scrolling is
// stepped with the view's Tick, never by waiting for its timer.
#include "support/ScriptedDialogs.h"
#include "tools/reader/TReaderView.h"
#include "tools/reader/TfrmReader.h"

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class TestReader : public QObject {
    Q_OBJECT
private slots:
    void startsWithItsTitleLine();
    void everyControlHasAName();
    void openingShowsTheFileLeftAlignedInText3_data();
    void openingShowsTheFileLeftAlignedInText3();
    void aFileThatCannotBeReadKeepsTheText();
    void directionAndSpeedSetStepAndDelay_data();
    void directionAndSpeedSetStepAndDelay();
    void speedShowsTheButtonDownWithoutStarting();
    void reachingTheEndStopsAndResetsTheSpeed_data();
    void reachingTheEndStopsAndResetsTheSpeed();
    void closingStopsScrolling();
    void fontButtonSetsTheBodyFont();
    void aTickMovesTheDrawingOnePixel_data();
    void aTickMovesTheDrawingOnePixel();

private:
    QString WriteFile(const QByteArray& bytes);
    static void SetSpeed(TfrmReader& form, int value) { form.SpeedBar->setValue(value); }

    QTemporaryDir m_dir;
};

QString TestReader::WriteFile(const QByteArray& bytes) {
    const QString path = m_dir.filePath(QStringLiteral("text%1.txt").arg(QRandomGenerator::global()->generate()));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void TestReader::startsWithItsTitleLine() {
    TfrmReader form;
    const QList<TReaderParagraph>& paragraphs = form.txtReader->Paragraphs();
    QCOMPARE(paragraphs.size(), 1);
    QCOMPARE(paragraphs[0].align, TReaderAlign::Center);
    QCOMPARE(paragraphs[0].runs, (QList<TReaderRun>{{TReaderStyle::Title1, QStringLiteral("Quillora2004 ")}}));
    QVERIFY(!form.txtReader->Active());
    QVERIFY(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    QCOMPARE(form.comboxDirect->currentText(), QStringLiteral("向上"));
    QCOMPARE(form.SpeedBar->value(), 0);
}

void TestReader::everyControlHasAName() {
    TfrmReader form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QList<QWidget*> controls = {form.btnOpen,  form.btnStart, form.comboxDirect,
                                      form.SpeedBar, form.btnFont,  form.btnClose};
    for (QWidget* control : controls) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(QAccessible::queryAccessibleInterface(form.SpeedBar)->text(QAccessible::Name),
             QStringLiteral("滚动速度："));
    // The speed is set with the arrows only.
    QVERIFY(form.SpeedBar->findChild<QLineEdit*>()->isReadOnly());
}

void TestReader::openingShowsTheFileLeftAlignedInText3_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("GBK") << QByteArray("\xB5\xDA\xD2\xBB\xD0\xD0\r\n\xB5\xDA\xB6\xFE\xD0\xD0");
    QTest::newRow("UTF-8") << QByteArray("\xE7\xAC\xAC\xE4\xB8\x80\xE8\xA1\x8C\n\xE7\xAC\xAC\xE4\xBA\x8C\xE8\xA1\x8C");
}

void TestReader::openingShowsTheFileLeftAlignedInText3() {
    QFETCH(QByteArray, bytes);
    const QString path = WriteFile(bytes);
    TScriptedDialogs dialogs;
    dialogs.QueueOpenFileName(path);
    TfrmReader form;
    form.txtReader->Tick();  // the text restarts when a file is opened
    QTest::mouseClick(form.btnOpen, Qt::LeftButton);
    QCOMPARE(dialogs.Requests().front().filter, QStringLiteral("文本文件(*.txt)|*.txt"));
    const QList<TReaderParagraph>& paragraphs = form.txtReader->Paragraphs();
    QCOMPARE(paragraphs.size(), 2);
    const QStringList lines = {QStringLiteral("第一行"), QStringLiteral("第二行")};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(paragraphs[i].align, TReaderAlign::Left);
        QCOMPARE(paragraphs[i].runs, (QList<TReaderRun>{{TReaderStyle::Text3, lines[i]}}));
    }
    QCOMPARE(form.txtReader->Offset(), 0);
    QCOMPARE(form.panelFile->text(), QStringLiteral("文件名称：") + path);
    QCOMPARE(form.panelSpeed->text(), QStringLiteral("滚动速度:0"));
}

void TestReader::aFileThatCannotBeReadKeepsTheText() {
    TScriptedDialogs dialogs;
    TfrmReader form;
    QVERIFY(form.OpenFile(WriteFile("kept")));
    QVERIFY(!form.OpenFile(m_dir.filePath(QStringLiteral("missing.txt"))));
    QCOMPARE(form.txtReader->Paragraphs().size(), 1);
    QCOMPARE(form.txtReader->Paragraphs()[0].Text(), QStringLiteral("kept"));
    QCOMPARE(dialogs.Messages().size(), size_t(1));
    QCOMPARE(dialogs.Messages().front().caption, QStringLiteral("阅读模式"));
    QVERIFY(dialogs.Messages().front().text.contains(QStringLiteral("missing.txt")));
}

void TestReader::directionAndSpeedSetStepAndDelay_data() {
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("delay");
    QTest::newRow("up, 20") << 0 << 20 << 1 << 200;
    QTest::newRow("down, 20") << 1 << 20 << -1 << 200;
    QTest::newRow("down, 100") << 1 << 100 << -1 << 1000;
    QTest::newRow("up, 1") << 0 << 1 << 1 << 10;
}

void TestReader::directionAndSpeedSetStepAndDelay() {
    QFETCH(int, direction);
    QFETCH(int, speed);
    QFETCH(int, step);
    QFETCH(int, delay);
    TfrmReader form;
    form.show();
    QVERIFY(form.OpenFile(WriteFile(QByteArray("line\n").repeated(50))));
    form.comboxDirect->setCurrentIndex(direction);
    SetSpeed(form, speed);
    QTest::mouseClick(form.btnStart, Qt::LeftButton);
    QVERIFY(form.txtReader->Active());
    QCOMPARE(form.txtReader->Step(), step);
    QCOMPARE(form.txtReader->Delay(), delay);
    QCOMPARE(form.txtReader->TimerInterval(), delay);
    QCOMPARE(form.panelSpeed->text(), QStringLiteral("滚动速度:") + QString::number(speed));
    for (int i = 0; i < 5; ++i)
        form.txtReader->Tick();
    QCOMPARE(form.txtReader->Offset(), 5 * step);
}

void TestReader::speedShowsTheButtonDownWithoutStarting() {
    TfrmReader form;
    SetSpeed(form, 20);
    QVERIFY(form.btnStart->isChecked());
    QVERIFY(!form.txtReader->Active());
    QTest::mouseClick(form.btnStart, Qt::LeftButton);  // the press starts it
    QVERIFY(form.btnStart->isChecked());
    QVERIFY(form.txtReader->Active());
    QTest::mouseClick(form.btnStart, Qt::LeftButton);  // and the next one stops it
    QVERIFY(!form.btnStart->isChecked());
    QVERIFY(!form.txtReader->Active());
    SetSpeed(form, 0);
    QVERIFY(!form.btnStart->isChecked());
}

void TestReader::reachingTheEndStopsAndResetsTheSpeed_data() {
    QTest::addColumn<int>("direction");
    QTest::newRow("up") << 0;
    QTest::newRow("down") << 1;
}

void TestReader::reachingTheEndStopsAndResetsTheSpeed() {
    QFETCH(int, direction);
    TScriptedDialogs dialogs;
    TfrmReader form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.OpenFile(WriteFile("one\r\ntwo\r\nthree")));
    form.comboxDirect->setCurrentIndex(direction);
    SetSpeed(form, 3);
    QTest::mouseClick(form.btnStart, Qt::LeftButton);
    QVERIFY(form.txtReader->Active());
    const int bound = form.txtReader->ContentHeight() + form.txtReader->height() + 2;
    for (int i = 0; i < bound && form.txtReader->Active(); ++i) {
        QVERIFY(dialogs.Messages().empty());
        form.txtReader->Tick();
    }
    QVERIFY(!form.txtReader->Active());
    QVERIFY(!form.btnStart->isChecked());
    QCOMPARE(form.SpeedBar->value(), 0);
    QCOMPARE(form.panelSpeed->text(), QStringLiteral("滚动速度:0"));
    QCOMPARE(dialogs.MessageTexts(), QStringList{QStringLiteral("已完成对文档的阅读！")});
    QCOMPARE(dialogs.Messages().front().caption, QStringLiteral("阅读模式"));
    QCOMPARE(dialogs.Messages().front().icon, 1);
    // Reopening starts the text again from its beginning.
    QVERIFY(form.OpenFile(WriteFile("again")));
    QCOMPARE(form.txtReader->Offset(), 0);
}

void TestReader::closingStopsScrolling() {
    TfrmReader form;
    form.show();
    SetSpeed(form, 1);
    QTest::mouseClick(form.btnStart, Qt::LeftButton);
    QVERIFY(form.txtReader->Active());
    QTest::mouseClick(form.btnClose, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.txtReader->Active());
}

void TestReader::fontButtonSetsTheBodyFont() {
    TScriptedDialogs dialogs;
    QFont chosen(QStringLiteral("Serif"), 30);
    dialogs.QueueFont(chosen);
    TfrmReader form;
    QVERIFY(form.OpenFile(WriteFile("text")));
    const int before = form.txtReader->ContentHeight();
    QTest::mouseClick(form.btnFont, Qt::LeftButton);
    QCOMPARE(form.txtReader->BodyFont().pointSize(), 30);
    QVERIFY(form.txtReader->ContentHeight() > before);  // laid out again in the larger font
}

void TestReader::aTickMovesTheDrawingOnePixel_data() {
    QTest::addColumn<int>("direction");
    QTest::newRow("up") << 0;
    QTest::newRow("down") << 1;
}

// The view draws the text, and one step moves the whole drawing by one row.
void TestReader::aTickMovesTheDrawingOnePixel() {
    QFETCH(int, direction);
    TfrmReader form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.OpenFile(WriteFile(QStringLiteral("<Title4>标题\n<Text3>正文第一行\n正文第二行").toUtf8())));
    form.comboxDirect->setCurrentIndex(direction);
    const QImage before = form.txtReader->grab().toImage();
    const QRgb background = before.pixel(before.width() - 1, before.height() - 1);
    int inked = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            inked += before.pixel(x, y) != background;
    QVERIFY(inked > 200);
    form.txtReader->Tick();
    const QImage after = form.txtReader->grab().toImage();
    const int shift = direction == 0 ? 1 : -1;
    for (int y = 2; y < before.height() - 2; ++y)
        QCOMPARE(after.copy(0, y, after.width(), 1), before.copy(0, y + shift, before.width(), 1));
}

QTEST_MAIN(TestReader)
#include "tst_reader.moc"
