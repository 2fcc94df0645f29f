// EPUB 3: a title page, one XHTML file per part or chapter, a navigation
// document nested as the parts are, and the package document; every file
// says xml:lang="zh-CN". The "mimetype" entry comes first, stored.
#include "output/BookWriters.h"
#include "output/ZipBuilder.h"

#include <QDateTime>
#include <QUuid>

namespace {

const QString kXhtml = QStringLiteral("http://www.w3.org/1999/xhtml");
const QString kOps = QStringLiteral("http://www.idpf.org/2007/ops");
const QString kOpf = QStringLiteral("http://www.idpf.org/2007/opf");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kLang = QStringLiteral("zh-CN");

QString SectionFile(size_t index) { return QStringLiteral("s%1.xhtml").arg(index + 1, 5, 10, QLatin1Char('0')); }

QByteArray Page(const QString& title, const std::function<void(QXmlStreamWriter&)>& body, bool nav = false) {
    return XmlDocument([&](QXmlStreamWriter& x) {
        x.writeDTD(QStringLiteral("<!DOCTYPE html>"));
        x.writeDefaultNamespace(kXhtml);
        if (nav)
            x.writeNamespace(kOps, QStringLiteral("epub"));
        x.writeStartElement(kXhtml, QStringLiteral("html"));
        x.writeAttribute(QStringLiteral("xml:lang"), kLang);
        x.writeAttribute(QStringLiteral("lang"), kLang);
        x.writeStartElement(kXhtml, QStringLiteral("head"));
        x.writeEmptyElement(kXhtml, QStringLiteral("meta"));
        x.writeAttribute(QStringLiteral("charset"), QStringLiteral("utf-8"));
        x.writeTextElement(kXhtml, QStringLiteral("title"), title);
        x.writeEmptyElement(kXhtml, QStringLiteral("link"));
        x.writeAttribute(QStringLiteral("rel"), QStringLiteral("stylesheet"));
        x.writeAttribute(QStringLiteral("type"), QStringLiteral("text/css"));
        x.writeAttribute(QStringLiteral("href"), QStringLiteral("book.css"));
        x.writeEndElement();
        x.writeStartElement(kXhtml, QStringLiteral("body"));
        body(x);
        x.writeEndElement();
        x.writeEndElement();
    });
}

QByteArray SectionPage(const TBookSection& section) {
    return Page(section.Heading.isEmpty() ? QStringLiteral("-") : section.Heading, [&](QXmlStreamWriter& x) {
        x.writeTextElement(kXhtml, QStringLiteral("h%1").arg(std::min(section.Level, 5) + 1), section.Heading);
        for (const QString& text : section.Paragraphs)
            x.writeTextElement(kXhtml, QStringLiteral("p"), text);
    });
}

QByteArray TitlePage(const TBook& book) {
    return Page(BookTitleText(book), [&](QXmlStreamWriter& x) {
        x.writeTextElement(kXhtml, QStringLiteral("h1"), BookTitleText(book));
        if (!book.Author.isEmpty()) {
            x.writeStartElement(kXhtml, QStringLiteral("p"));
            x.writeAttribute(QStringLiteral("class"), QStringLiteral("author"));
            x.writeCharacters(book.Author);
            x.writeEndElement();
        }
    });
}

// The table of contents: an <ol> per level, a section's children nested
// inside its <li>.
QByteArray Navigation(const TBook& book) {
    return Page(
        BookTitleText(book),
        [&](QXmlStreamWriter& x) {
            x.writeStartElement(kXhtml, QStringLiteral("nav"));
            x.writeAttribute(kOps, QStringLiteral("type"), QStringLiteral("toc"));
            x.writeAttribute(QStringLiteral("id"), QStringLiteral("toc"));
            x.writeTextElement(kXhtml, QStringLiteral("h1"), QStringLiteral("目录"));
            x.writeStartElement(kXhtml, QStringLiteral("ol"));
            const auto entry = [&](const QString& href, const QString& text) {
                x.writeStartElement(kXhtml, QStringLiteral("li"));
                x.writeStartElement(kXhtml, QStringLiteral("a"));
                x.writeAttribute(QStringLiteral("href"), href);
                x.writeCharacters(text.isEmpty() ? QStringLiteral("-") : text);
                x.writeEndElement();
            };
            entry(QStringLiteral("title.xhtml"), BookTitleText(book));
            x.writeEndElement();  // the title's <li>
            int open = 1;         // levels whose <li> is open, counting the list itself
            for (size_t i = 0; i < book.Sections.size(); ++i) {
                const int level = book.Sections[i].Level;
                if (level > open) {
                    // Only a part's chapters go one level deeper; reopen its <li>.
                    x.writeStartElement(kXhtml, QStringLiteral("ol"));
                    ++open;
                }
                for (; open > level; --open) {
                    x.writeEndElement();  // </ol>
                    x.writeEndElement();  // the parent's </li>
                }
                entry(SectionFile(i), book.Sections[i].Heading);
                const bool nextDeeper = i + 1 < book.Sections.size() && book.Sections[i + 1].Level > level;
                if (!nextDeeper)
                    x.writeEndElement();  // </li>
            }
            for (; open > 1; --open) {
                x.writeEndElement();
                x.writeEndElement();
            }
            x.writeEndElement();  // </ol>
            x.writeEndElement();  // </nav>
        },
        true);
}

QByteArray Package(const TBook& book) {
    return XmlDocument([&](QXmlStreamWriter& x) {
        x.writeDefaultNamespace(kOpf);
        x.writeNamespace(kDc, QStringLiteral("dc"));
        x.writeStartElement(kOpf, QStringLiteral("package"));
        x.writeAttribute(QStringLiteral("version"), QStringLiteral("3.0"));
        x.writeAttribute(QStringLiteral("unique-identifier"), QStringLiteral("book-id"));
        x.writeAttribute(QStringLiteral("xml:lang"), kLang);
        x.writeStartElement(kOpf, QStringLiteral("metadata"));
        x.writeStartElement(kDc, QStringLiteral("identifier"));
        x.writeAttribute(QStringLiteral("id"), QStringLiteral("book-id"));
        x.writeCharacters(QStringLiteral("urn:uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces));
        x.writeEndElement();
        x.writeTextElement(kDc, QStringLiteral("title"), BookTitleText(book));
        x.writeTextElement(kDc, QStringLiteral("language"), kLang);
        if (!book.Author.isEmpty())
            x.writeTextElement(kDc, QStringLiteral("creator"), book.Author);
        x.writeStartElement(kOpf, QStringLiteral("meta"));
        x.writeAttribute(QStringLiteral("property"), QStringLiteral("dcterms:modified"));
        x.writeCharacters(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
        x.writeEndElement();
        x.writeEndElement();
        x.writeStartElement(kOpf, QStringLiteral("manifest"));
        const auto item = [&](const QString& id, const QString& href, const QString& type) {
            x.writeEmptyElement(kOpf, QStringLiteral("item"));
            x.writeAttribute(QStringLiteral("id"), id);
            x.writeAttribute(QStringLiteral("href"), href);
            x.writeAttribute(QStringLiteral("media-type"), type);
            if (id == QLatin1String("nav"))
                x.writeAttribute(QStringLiteral("properties"), QStringLiteral("nav"));
        };
        const QString xhtml = QStringLiteral("application/xhtml+xml");
        item(QStringLiteral("nav"), QStringLiteral("nav.xhtml"), xhtml);
        item(QStringLiteral("css"), QStringLiteral("book.css"), QStringLiteral("text/css"));
        item(QStringLiteral("title"), QStringLiteral("title.xhtml"), xhtml);
        for (size_t i = 0; i < book.Sections.size(); ++i)
            item(QStringLiteral("s%1").arg(i + 1), SectionFile(i), xhtml);
        x.writeEndElement();
        x.writeStartElement(kOpf, QStringLiteral("spine"));
        const auto itemref = [&](const QString& id) {
            x.writeEmptyElement(kOpf, QStringLiteral("itemref"));
            x.writeAttribute(QStringLiteral("idref"), id);
        };
        itemref(QStringLiteral("title"));
        itemref(QStringLiteral("nav"));
        for (size_t i = 0; i < book.Sections.size(); ++i)
            itemref(QStringLiteral("s%1").arg(i + 1));
        x.writeEndElement();
        x.writeEndElement();
    });
}

QByteArray Container() {
    return XmlDocument([](QXmlStreamWriter& x) {
        const QString ns = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:container");
        x.writeDefaultNamespace(ns);
        x.writeStartElement(ns, QStringLiteral("container"));
        x.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
        x.writeStartElement(ns, QStringLiteral("rootfiles"));
        x.writeEmptyElement(ns, QStringLiteral("rootfile"));
        x.writeAttribute(QStringLiteral("full-path"), QStringLiteral("OEBPS/content.opf"));
        x.writeAttribute(QStringLiteral("media-type"), QStringLiteral("application/oebps-package+xml"));
        x.writeEndElement();
        x.writeEndElement();
    });
}

const char* kStyleSheet =
    "body { font-family: \"Noto Serif CJK SC\", serif; line-height: 1.6; }\n"
    "h1, h2, h3, h4, h5, h6 { text-align: center; }\n"
    "p { margin: 0 0 0.4em 0; text-indent: 0; }\n"
    "p.author { text-align: center; }\n";

}  // namespace

void WriteEpub(const TBook& book, QIODevice& device, const TBookProgress& progress) {
    TZipBuilder zip(device);
    zip.AddStored(QStringLiteral("mimetype"), QByteArrayLiteral("application/epub+zip"));
    zip.AddDeflated(QStringLiteral("META-INF/container.xml"), Container());
    zip.AddDeflated(QStringLiteral("OEBPS/content.opf"), Package(book));
    zip.AddDeflated(QStringLiteral("OEBPS/nav.xhtml"), Navigation(book));
    zip.AddDeflated(QStringLiteral("OEBPS/book.css"), QByteArray(kStyleSheet));
    zip.AddDeflated(QStringLiteral("OEBPS/title.xhtml"), TitlePage(book));
    const qint64 total = static_cast<qint64>(book.Sections.size());
    for (size_t i = 0; i < book.Sections.size(); ++i) {
        zip.AddDeflated(QStringLiteral("OEBPS/") + SectionFile(i), SectionPage(book.Sections[i]));
        ReportBookProgress(progress, static_cast<qint64>(i + 1), total);
    }
    zip.Finish();
}
