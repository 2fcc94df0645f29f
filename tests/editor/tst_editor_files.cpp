// Loading, saving, inserting files and printing to a PDF file.
#include "EditorFixture.h"

#include <QDir>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class TstEditorFiles : public QObject {
    Q_OBJECT

private slots:
    void loadWithEmptyPathMakesANewManuscript();
    void loadDecodesByContent_data();
    void loadDecodesByContent();
    void loadFailureKeepsTheText();
    void saveAndLoadKeepCharactersOutsideGbk();
    void saveFailureKeepsTheModifiedFlag();
    void richTextFilesRoundTrip();
    void unknownExtensionFallsBackToPlainText();
    void insertFileAddsEveryLineWithABreak();
    void printWritesOneLinePerTextLine();
    void printBreaksPages();
    void printKeepsTheEndOfLongLines();
    void printWithoutPrinterFails();

private:
    QTemporaryDir m_dir;
};

void TstEditorFiles::loadWithEmptyPathMakesANewManuscript() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("old"));
    QTest::keyClick(f.control(), Qt::Key_A);
    f.editor->LoadFromFile(QString());
    QCOMPARE(f.editor->GetText(), QString());
    QVERIFY(!f.editor->IsModified());
    QCOMPARE(f.editor->FileName(), QStringLiteral("新建稿件"));
}

void TstEditorFiles::loadDecodesByContent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("GBK") << "gbk.txt" << QByteArray("\xD6\xD0\xCE\xC4\r\nabc") << "中文\r\nabc";
    QTest::newRow("UTF-8") << "utf8.TXT" << QByteArray("\xE4\xB8\xAD\xE6\x96\x87\nabc") << "中文\r\nabc";
    QTest::newRow("UTF-8 with BOM") << "bom.txt" << QByteArray("\xEF\xBB\xBF\x61\xE4\xB8\xAD") << "a中";
    QTest::newRow("ASCII") << "ascii.txt" << QByteArray("plain\rtext\n") << "plain\r\ntext\r\n";
    QTest::newRow("empty") << "empty.txt" << QByteArray() << QString();
}

void TstEditorFiles::loadDecodesByContent() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(name);
    WriteBytes(path, bytes);
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("old text"));
    f.select(3, 3);
    f.editor->LoadFromFile(path);
    QCOMPARE(f.editor->GetText(), expected);
    QCOMPARE(f.editor->FileName(), path);
    QCOMPARE(f.position(), 0);
    QVERIFY(!f.editor->IsModified());
}

void TstEditorFiles::loadFailureKeepsTheText() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("keep me"));
    QVERIFY_THROWS_EXCEPTION(EEditorError, f.editor->LoadFromFile(m_dir.filePath("missing.txt")));
    QCOMPARE(f.editor->GetText(), QStringLiteral("keep me"));
    QCOMPARE(f.editor->FileName(), QString());

    const QString notRtf = m_dir.filePath("broken.rtf");
    WriteBytes(notRtf, "this is not rich text");
    try {
        f.editor->LoadFromFile(notRtf);
        QFAIL("no error raised");
    } catch (const EEditorError& error) {
        QCOMPARE(error.Message(), QStringLiteral("Failed to Load Stream"));
    }
    QCOMPARE(f.editor->GetText(), QStringLiteral("keep me"));
}

void TstEditorFiles::saveAndLoadKeepCharactersOutsideGbk() {
    const QString text = QString::fromUtf16(u"第一行 \U00020000 €\r\n第二行");
    const QString path = m_dir.filePath("roundtrip.txt");
    TEditorFixture f;
    f.editor->SetText(text);
    f.editor->SetModified(true);
    f.editor->SaveToFile(path);
    QVERIFY(!f.editor->IsModified());

    const QByteArray bytes = ReadBytes(path);
    QVERIFY(bytes.startsWith("\xB5\xDA\xD2\xBB"));  // 第一 in GBK
    QVERIFY(bytes.contains("\x95\x32\x82\x36"));    // U+20000 in GB18030
    QVERIFY(bytes.contains("\r\n"));
    QVERIFY(!bytes.contains("?"));

    TEditorFixture g;
    g.editor->LoadFromFile(path);
    QCOMPARE(g.editor->GetText(), text);
    QCOMPARE(g.editor->TextLength(), bytes.size());
    QVERIFY(QDir(m_dir.path()).entryList(QStringList{"roundtrip.txt.tmp*"}, QDir::Files).isEmpty());
}

void TstEditorFiles::saveFailureKeepsTheModifiedFlag() {
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("text"));
    f.editor->SetModified(true);
    QVERIFY_THROWS_EXCEPTION(EEditorError, f.editor->SaveToFile(m_dir.filePath("no/such/folder/a.txt")));
    QVERIFY(f.editor->IsModified());
}

void TstEditorFiles::richTextFilesRoundTrip() {
    const QString text = QStringLiteral("标题 {x}\r\n\tback\\slash");
    const QString path = m_dir.filePath("rich.rtf");
    TEditorFixture f;
    f.editor->SetText(text);
    f.editor->SaveToFile(path);
    QVERIFY(ReadBytes(path).startsWith("{\\rtf1"));
    TEditorFixture g;
    g.editor->LoadFromFile(path);
    QCOMPARE(g.editor->GetText(), text);
}

void TstEditorFiles::unknownExtensionFallsBackToPlainText() {
    const QString path = m_dir.filePath("notes.md");
    WriteBytes(path, "\xD6\xD0 plain");
    TEditorFixture f;
    f.editor->LoadFromFile(path);
    QCOMPARE(f.editor->GetText(), QStringLiteral("中 plain"));
}

void TstEditorFiles::insertFileAddsEveryLineWithABreak() {
    const QString path = m_dir.filePath("insert.txt");
    WriteBytes(path, "one\r\n\xB6\xFE\ntwo");  // 二 in GBK
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("[]"));
    f.select(1, 1);
    f.editor->InsertFile(path);
    QCOMPARE(f.editor->GetText(), QStringLiteral("[one\r\n二\r\ntwo\r\n]"));
    QCOMPARE(f.editor->CaretLine(), 3);
    QVERIFY_THROWS_EXCEPTION(EEditorError, f.editor->InsertFile(m_dir.filePath("none.txt")));
}

void TstEditorFiles::printWritesOneLinePerTextLine() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    const QString pdf = m_dir.filePath("print.pdf");
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("First line of the manuscript\nSecond line\n\nFourth line"));
    f.editor->SetPrintOutputFile(pdf);
    f.editor->Print();
    const QString text = RunTool("pdftotext", {"-layout", pdf, "-"});
    const QStringList lines = text.split(u'\n');
    const qsizetype first = lines.indexOf(QRegularExpression("^\\s*First line of the manuscript\\s*$"));
    QVERIFY2(first >= 0, qPrintable(text));
    QCOMPARE(lines.value(first + 1).trimmed(), QStringLiteral("Second line"));
    QCOMPARE(lines.value(first + 2).trimmed(), QString());
    QCOMPARE(lines.value(first + 3).trimmed(), QStringLiteral("Fourth line"));
}

void TstEditorFiles::printBreaksPages() {
    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        QSKIP("pdfinfo is not installed");
    const QString pdf = m_dir.filePath("pages.pdf");
    QStringList lines;
    for (int i = 1; i <= 300; ++i)
        lines << QStringLiteral("line %1").arg(i);
    TEditorFixture f;
    f.editor->SetText(lines.join(u'\n'));
    f.editor->SetPrintOutputFile(pdf);
    f.editor->Print();
    const QString info = RunTool("pdfinfo", {pdf});
    const QRegularExpressionMatch pages = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    QVERIFY2(pages.hasMatch(), qPrintable(info));
    QVERIFY2(pages.captured(1).toInt() >= 3, qPrintable(info));
    const QString text = RunTool("pdftotext", {pdf, "-"});
    QVERIFY(text.contains(QStringLiteral("line 1\n")));
    QVERIFY(text.contains(QStringLiteral("line 300")));
}

void TstEditorFiles::printKeepsTheEndOfLongLines() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    const QString pdf = m_dir.filePath("long.pdf");
    QString longLine;
    for (int i = 1; i <= 60; ++i)
        longLine += QStringLiteral("word%1 ").arg(i);
    TEditorFixture f;
    f.editor->SetText(longLine + QStringLiteral("ENDMARK\nnext line"));
    f.editor->SetPrintOutputFile(pdf);
    f.editor->Print();
    const QString text = RunTool("pdftotext", {pdf, "-"});
    QVERIFY2(text.contains(QStringLiteral("word60 ENDMARK")), qPrintable(text));
    QVERIFY(text.indexOf(QStringLiteral("next line")) > text.indexOf(QStringLiteral("ENDMARK")));
}

void TstEditorFiles::printWithoutPrinterFails() {
    // The test machine has no printer queue; without an output file the
    // print must fail with an error instead of printing nowhere.
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a default printer exists here");
    TEditorFixture f;
    f.editor->SetText(QStringLiteral("x"));
    QVERIFY_THROWS_EXCEPTION(EEditorError, f.editor->Print());
}

QTEST_MAIN(TstEditorFiles)
#include "tst_editor_files.moc"
