// Books opened by real readers, where the Debian packages are installed
// (scripts/install-deps.sh adds them); each check skips when its tool is
// absent. epubcheck validates the EPUB; LibreOffice converts the DOCX and the
// ODT to PDF in one call and pdftotext of the result holds every paragraph;
// pdffonts finds every font of our own PDF embedded and pdftotext reads its
// Chinese text back.
#include "BookFixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace booktest {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

struct TRun {
    int exitCode = -1;
    QString out;
};

TRun RunTool(const QString& program, const QStringList& args, int timeoutMs = 180000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    TRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.out = QStringLiteral("timed out");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAll());
    return run;
}

QString Tool(const char* name) { return QStandardPaths::findExecutable(QLatin1String(name)); }

// Whitespace (the indent's ideographic spaces too) is left out: readers wrap
// and indent lines their own way. So are characters beyond the BMP: the
// installed fonts have no glyph for them, and a PDF keeps no text for a glyph
// it could not draw (the XML tests check that they are written).
QString Squeezed(QString text) {
    text.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}\\x{10000}-\\x{10FFFF}]")));
    return text;
}

void ExpectEveryTextInOrder(const QString& extracted, const QStringList& texts) {
    const QString content = Squeezed(extracted);
    qsizetype at = 0;
    for (const QString& text : texts) {
        const QString wanted = Squeezed(text);
        const qsizetype found = content.indexOf(wanted, at);
        ASSERT_GE(found, 0) << "missing or out of order: " << text.toStdString() << "\nin:\n"
                            << extracted.toStdString();
        at = found + wanted.size();
    }
}

QString PdfText(const QString& pdf) {
    const TRun run =
        RunTool(Tool("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    return run.out;
}

class BookReadersTest : public ::testing::Test {
protected:
    void SetUp() override { book = BuildBook(library.data, {}, kTitle, kAuthor); }
    QString Write(const QString& name, TBookPage page = TBookPage::A5) {
        const QString path = library.Path(name);
        WriteBookFile(book, path, *BookFormatOfPath(path), page);
        return path;
    }

    BookLibrary library;
    TBook book;
};

TEST_F(BookReadersTest, EpubcheckPasses) {
    // The packaged launcher needs the kernel's jar support; java -jar does not.
    const QString jar = QStringLiteral("/usr/share/java/epubcheck.jar");
    const bool viaJava = QFile::exists(jar) && !Tool("java").isEmpty();
    if (!viaJava && Tool("epubcheck").isEmpty())
        GTEST_SKIP() << "epubcheck is not installed";
    const QString epub = Write(QStringLiteral("book.epub"));
    const TRun run =
        viaJava ? RunTool(Tool("java"), {QStringLiteral("-jar"), jar, epub}) : RunTool(Tool("epubcheck"), {epub});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("No errors or warnings detected"))) << run.out.toStdString();
}

TEST_F(BookReadersTest, LibreOfficeOpensDocxAndOdt) {
    const QString soffice = Tool("soffice");
    if (soffice.isEmpty() || Tool("pdftotext").isEmpty())
        GTEST_SKIP() << "LibreOffice or pdftotext is not installed";
    const QStringList books{Write(QStringLiteral("book-docx.docx")), Write(QStringLiteral("book-odt.odt"))};
    const QString out = library.Path(QStringLiteral("converted"));
    // A private profile: no user settings, no clash with a running office.
    const TRun run =
        RunTool(soffice, QStringList{QStringLiteral("-env:UserInstallation=file://") + library.Path("profile"),
                                     QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                     QStringLiteral("pdf"), QStringLiteral("--outdir"), out} +
                             books);
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
    for (const char* name : {"book-docx.pdf", "book-odt.pdf"}) {
        SCOPED_TRACE(name);
        const QString pdf = out + QLatin1Char('/') + QLatin1String(name);
        ASSERT_TRUE(QFile::exists(pdf)) << run.out.toStdString();
        ExpectEveryTextInOrder(PdfText(pdf), ExpectedTexts());
    }
}

TEST_F(BookReadersTest, OurPdfEmbedsItsFontsAndReadsBack) {
    if (Tool("pdffonts").isEmpty() || Tool("pdftotext").isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    const QString pdf = Write(QStringLiteral("book.pdf"), TBookPage::A4);
    const TRun fonts = RunTool(Tool("pdffonts"), {pdf});
    ASSERT_EQ(fonts.exitCode, 0) << fonts.out.toStdString();
    const QStringList rows = fonts.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    EXPECT_FALSE(rows.isEmpty()) << fonts.out.toStdString();
    for (const QString& row : rows) {
        // Columns: name type encoding emb sub uni object ID; emb is the fourth from the end.
        const QStringList cells = row.simplified().split(QLatin1Char(' '));
        ASSERT_GE(cells.size(), 7) << row.toStdString();
        EXPECT_EQ(cells[cells.size() - 5], QStringLiteral("yes")) << row.toStdString();
    }
    ExpectEveryTextInOrder(PdfText(pdf), ExpectedTexts());
}

}  // namespace
}  // namespace booktest
