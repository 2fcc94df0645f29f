// Books from a library: the structure the source builds (order, levels,
// paragraphs), what each writer puts in its file (well-formed parts, text
// read back in order, the Chinese typesetting settings), and what a failed or
// cancelled build leaves behind (nothing under the chosen name).
#include "BookFixture.h"

#include "output/BookOutput.h"

#include "library/UserError.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QRegularExpression>

namespace booktest {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

std::vector<TRow> RowsOf(const TBook& book) {
    std::vector<TRow> rows;
    for (const TBookSection& s : book.Sections)
        rows.push_back({s.SectionKind, s.Level, s.Heading, s.Paragraphs});
    return rows;
}

void ExpectRows(const std::vector<TRow>& actual, const std::vector<TRow>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].heading.toStdString());
        EXPECT_EQ(actual[i].kind, expected[i].kind);
        EXPECT_EQ(actual[i].level, expected[i].level);
        EXPECT_EQ(actual[i].heading, expected[i].heading);
        EXPECT_EQ(actual[i].paragraphs, expected[i].paragraphs);
    }
}

TEST(BookParagraphs, LinesBecomeIndentedParagraphs) {
    struct Case {
        const char* text;
        QStringList paragraphs;
    };
    const Case cases[] = {
        {"", {}},
        {"\r\n\r\n \t \r\n　\r\n", {}},
        {"一\r\n二", {"　　一", "　　二"}},
        {"一\n\n二\r\r三", {"　　一", "　　二", "　　三"}},
        {"   空格开头  ", {"　　空格开头"}},
        {"　　已缩进", {"　　已缩进"}},
        {"　单个全角空格", {"　单个全角空格"}},
        {"a\x01"
         "b\x1f",
         {"　　ab"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BookParagraphs(QString::fromUtf8(c.text)), c.paragraphs) << c.text;
}

TEST(BookParagraphs, UnpairedSurrogatesAreDroppedAndPairsKept) {
    const QString text = QStringLiteral("前") + QChar(0xD800) + QStringLiteral("后😀") + QChar(0xDC00);
    EXPECT_EQ(BookParagraphs(text), QStringList{QStringLiteral("　　前后😀")});
}

TEST(BookSource, WholeLibraryInTheWindowsOrder) {
    BookLibrary library;
    const TBook book = BuildBook(library.data, {}, kTitle, kAuthor);
    EXPECT_EQ(book.Title, kTitle);
    EXPECT_EQ(book.Author, kAuthor);
    ExpectRows(RowsOf(book), ExpectedRows());
}

TEST(BookSource, EncryptedLibraryGivesTheSameBook) {
    BookLibrary library(QStringLiteral("芝麻开门"));
    library.data.CloseDocData();
    ASSERT_TRUE(library.data.OpenDocData(library.file, [] { return QStringLiteral("芝麻开门"); }));
    ExpectRows(RowsOf(BuildBook(library.data, {}, kTitle, kAuthor)), ExpectedRows());
}

TEST(BookSource, FolderAndManuscriptScopes) {
    BookLibrary library;
    TBookScope folder;
    folder.ScopeKind = TBookScope::Kind::Folder;
    folder.FolderID = library.folders["第一部"];
    // The folder's contents move up one level; its name is not a part.
    ExpectRows(RowsOf(BuildBook(library.data, folder, kTitle, {})),
               {{Kind::Chapter, 1, QStringLiteral("一章"), {Indented("𠀀超出基本平面😀")}},
                {Kind::Part, 1, QStringLiteral("卷一"), {}},
                {Kind::Chapter, 2, QStringLiteral("深处"), {Indented("最深的一段")}}});
    folder.FolderID = library.folders["空夹"];
    EXPECT_TRUE(BuildBook(library.data, folder, kTitle, {}).Sections.empty());

    TBookScope chosen;
    chosen.ScopeKind = TBookScope::Kind::Manuscripts;
    for (const TViewItem& item : library.data.LoadDocList(0))
        chosen.ManuscriptIDs.prepend(item.ID);
    const TBook book = BuildBook(library.data, chosen, kTitle, {});
    QStringList headings;
    for (const TBookSection& s : book.Sections)
        headings << s.Heading;
    EXPECT_EQ(headings, (QStringList{"a", "B", "乙"}));  // the order given
}

TEST(BookSource, MissingFolderOrManuscriptIsRefused) {
    BookLibrary library;
    TBookScope folder;
    folder.ScopeKind = TBookScope::Kind::Folder;
    folder.FolderID = 999;
    EXPECT_THROW(BuildBook(library.data, folder, kTitle, {}), EUserError);
    TBookScope chosen;
    chosen.ScopeKind = TBookScope::Kind::Manuscripts;
    chosen.ManuscriptIDs = {999};
    EXPECT_THROW(BuildBook(library.data, chosen, kTitle, {}), EUserError);
    EXPECT_EQ(FindFoldersByName(library.data, QStringLiteral("他说\"你/我\"")), QList<int>{library.folders["quotes"]});
}

TEST(BookSource, ProgressCountsManuscriptsAndCanCancel) {
    BookLibrary library;
    QList<qint64> seen;
    BuildBook(library.data, {}, kTitle, {}, [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, 6);
        seen << done;
        return true;
    });
    EXPECT_EQ(seen, (QList<qint64>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_THROW(BuildBook(library.data, {}, kTitle, {}, [](qint64 done, qint64) { return done < 3; }), EBookCancelled);
}

// ---- writers -----------------------------------------------------------------

class BookWriterTest : public ::testing::Test {
protected:
    void SetUp() override { book = BuildBook(library.data, {}, kTitle, kAuthor); }

    QString Write(const QString& name) {
        const QString path = library.Path(name);
        WriteBookFile(book, path, *BookFormatOfPath(path));
        return path;
    }
    // Folder entries other than the library and the named files.
    QStringList Leftovers(const QStringList& expected) const {
        QStringList names = QDir(library.dir.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QFileInfo(library.file).fileName());
        for (const QString& name : expected)
            names.removeAll(name);
        return names;
    }

    BookLibrary library;
    TBook book;
};

// Every XML part parses; returns the parts by name.
QMap<QString, QByteArray> WellFormedParts(const QString& path) {
    QMap<QString, QByteArray> parts;
    for (const TZipEntry& entry : ReadZip(path)) {
        parts[entry.name] = entry.bytes;
        if (entry.name.endsWith(".css") || entry.name == "mimetype")
            continue;
        QString error;
        XmlTexts(entry.bytes, {}, &error);
        EXPECT_TRUE(error.isEmpty()) << entry.name.toStdString() << ": " << error.toStdString();
    }
    EXPECT_FALSE(parts.isEmpty()) << "not a readable archive: " << path.toStdString();
    return parts;
}

TEST_F(BookWriterTest, DocxReadsBackInOrderWithChineseSettings) {
    const QMap<QString, QByteArray> parts = WellFormedParts(Write("book.docx"));
    for (const char* name : {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/styles.xml",
                             "word/_rels/document.xml.rels", "docProps/core.xml"})
        EXPECT_TRUE(parts.contains(name)) << name;
    EXPECT_EQ(XmlTexts(parts["word/document.xml"], {"p"}, nullptr), ExpectedTexts());
    const QByteArray styles = parts["word/styles.xml"];
    EXPECT_TRUE(styles.contains("w:eastAsia=\"Noto Serif CJK SC\""));
    EXPECT_TRUE(styles.contains("w:lang w:val=\"zh-CN\" w:eastAsia=\"zh-CN\""));
}

TEST_F(BookWriterTest, OdtReadsBackInOrderWithChineseSettings) {
    const QString path = Write("book.odt");
    const std::vector<TZipEntry> entries = ReadZip(path);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().name, "mimetype");
    EXPECT_TRUE(entries.front().stored);
    EXPECT_EQ(entries.front().bytes, "application/vnd.oasis.opendocument.text");
    const QMap<QString, QByteArray> parts = WellFormedParts(path);
    EXPECT_EQ(XmlTexts(parts["content.xml"], {"p", "h"}, nullptr), ExpectedTexts());
    const QByteArray styles = parts["styles.xml"];
    for (const char* setting : {"style:font-name-asian=\"Noto Serif CJK SC\"", "fo:language=\"zh\"",
                                "style:language-asian=\"zh\"", "style:country-asian=\"CN\""})
        EXPECT_TRUE(styles.contains(setting)) << setting;
    EXPECT_TRUE(parts.contains("META-INF/manifest.xml"));
}

TEST_F(BookWriterTest, EpubHasOneFilePerSectionAndANestedNavigation) {
    const QString path = Write("book.epub");
    const std::vector<TZipEntry> entries = ReadZip(path);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().name, "mimetype");
    EXPECT_TRUE(entries.front().stored);
    EXPECT_EQ(entries.front().bytes, "application/epub+zip");
    const QMap<QString, QByteArray> parts = WellFormedParts(path);
    QStringList texts = XmlTexts(parts["OEBPS/title.xhtml"], {"h1", "p"}, nullptr);
    int files = 0;
    for (auto it = parts.begin(); it != parts.end(); ++it)
        if (QRegularExpression("^OEBPS/s\\d+\\.xhtml$").match(it.key()).hasMatch()) {
            ++files;
            texts << XmlTexts(it.value(), {"h2", "h3", "h4", "p"}, nullptr);  // QMap: file-name order
            EXPECT_TRUE(it.value().contains("xml:lang=\"zh-CN\""));
        }
    EXPECT_EQ(files, static_cast<int>(ExpectedRows().size()));
    EXPECT_EQ(texts, ExpectedTexts());
    EXPECT_TRUE(parts["OEBPS/content.opf"].contains("<dc:language>zh-CN</dc:language>"));
    // The navigation nests as the parts do: 深处 (level 3) sits in three lists.
    const QByteArray nav = parts["OEBPS/nav.xhtml"];
    EXPECT_TRUE(nav.contains("epub:type=\"toc\""));
    QXmlStreamReader reader(nav);
    int depth = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"ol")
            ++depth;
        if (reader.isEndElement() && reader.name() == u"ol")
            --depth;
        if (reader.isStartElement() && reader.name() == u"a") {
            const QString text = reader.readElementText();
            if (text == "深处")
                EXPECT_EQ(depth, 3);
            if (text == "空夹")
                EXPECT_EQ(depth, 1);
        }
    }
}

// The texts in order, each found after the one before.
void ExpectInOrder(const QString& content, const QStringList& texts) {
    qsizetype at = 0;
    for (const QString& text : texts) {
        const qsizetype found = content.indexOf(text, at);
        ASSERT_GE(found, 0) << "missing or out of order: " << text.toStdString();
        at = found + text.size();
    }
}

QString Read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

TEST_F(BookWriterTest, SingleFileFormatsKeepTheOrder) {
    const QString html = Read(Write("book.html"));
    EXPECT_TRUE(html.startsWith("<!DOCTYPE html>\n<html lang=\"zh-CN\">"));
    EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
    QStringList escaped;
    for (const QString& text : ExpectedTexts())
        escaped << text.toHtmlEscaped();
    ExpectInOrder(html, escaped);

    const QString markdown = Read(Write("book.md"));
    EXPECT_TRUE(markdown.startsWith("# " + kTitle + "\n"));
    EXPECT_TRUE(markdown.contains("\n### 一章\n"));
    EXPECT_TRUE(markdown.contains("\n#### 深处\n"));
    QStringList marked = ExpectedTexts();
    marked.replaceInStrings("<", "\\<").replaceInStrings(">", "\\>");
    ExpectInOrder(markdown, marked);

    QFile text(Write("book.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QByteArray bytes = text.readAll();
    EXPECT_FALSE(bytes.contains('\n') && !bytes.contains("\r\n"));
    ExpectInOrder(FromGB(bytes), ExpectedTexts());
}

TEST_F(BookWriterTest, PdfIsAPdfOfTheChosenPageSize) {
    for (const TBookPage page : {TBookPage::A5, TBookPage::A4}) {
        const QString path = library.Path("book.pdf");
        WriteBookFile(book, path, TBookFormat::Pdf, page);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith("%PDF-"));
        // MediaBox in points: A5 is 420 x 595, A4 595 x 842.
        EXPECT_TRUE(bytes.contains(page == TBookPage::A5 ? "/MediaBox [0 0 420" : "/MediaBox [0 0 595"));
    }
}

TEST_F(BookWriterTest, FormatsComeFromTheExtension) {
    const std::pair<const char*, std::optional<TBookFormat>> cases[] = {
        {"a.DOCX", TBookFormat::Docx}, {"a.odt", TBookFormat::Odt},  {"a.epub", TBookFormat::Epub},
        {"a.pdf", TBookFormat::Pdf},   {"a.htm", TBookFormat::Html}, {"a.md", TBookFormat::Markdown},
        {"a.txt", TBookFormat::Text},  {"a.doc", std::nullopt},      {"docx", std::nullopt},
        {"a.docx.bak", std::nullopt},
    };
    for (const auto& [name, format] : cases)
        EXPECT_EQ(BookFormatOfPath(name), format) << name;
}

TEST_F(BookWriterTest, CancelledOrFailedBuildLeavesNothingUnderTheName) {
    const QString path = library.Path("book.epub");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("older book");
    }
    for (const TBookFormat format : {TBookFormat::Epub, TBookFormat::Docx, TBookFormat::Odt, TBookFormat::Pdf,
                                     TBookFormat::Html, TBookFormat::Text}) {
        EXPECT_THROW(WriteBookFile(book, path, format, TBookPage::A5, [](qint64 done, qint64) { return done < 4; }),
                     EBookCancelled);
        EXPECT_EQ(Read(path), "older book");
        EXPECT_EQ(Leftovers({"book.epub"}), QStringList());
    }
    // A folder that is not there, and a "folder" that is a file.
    EXPECT_THROW(WriteBookFile(book, library.Path("no/such/book.epub"), TBookFormat::Epub), EUserError);
    EXPECT_THROW(WriteBookFile(book, path + "/inside.epub", TBookFormat::Epub), EUserError);
    EXPECT_THROW(WriteBookFile(book, library.dir.path(), TBookFormat::Epub), EUserError);
    EXPECT_EQ(Read(path), "older book");
    EXPECT_EQ(Leftovers({"book.epub"}), QStringList());
}

TEST(OutputBook, OneProgressOverReadingAndWritingAndASummary) {
    BookLibrary library;
    TBookRequest request;
    request.Title = kTitle;
    request.Path = library.Path(QStringLiteral("book.docx"));
    request.Format = TBookFormat::Docx;
    QList<qint64> seen;
    const TBookSummary summary = OutputBook(library.data, request, [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, 12);  // six manuscripts read, then written
        EXPECT_TRUE(seen.isEmpty() || done >= seen.last()) << done;
        seen << done;
        return true;
    });
    EXPECT_EQ(seen.last(), 12);
    EXPECT_EQ(summary.Parts, 4);
    EXPECT_EQ(summary.Chapters, 6);
    // Cancelled while writing: the finished book above stays as it was.
    const qint64 size = QFileInfo(request.Path).size();
    request.Title = QStringLiteral("另一本");
    EXPECT_THROW(OutputBook(library.data, request, [](qint64 done, qint64) { return done < 9; }), EBookCancelled);
    EXPECT_EQ(QFileInfo(request.Path).size(), size);
    EXPECT_EQ(QDir(library.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

}  // namespace
}  // namespace booktest
