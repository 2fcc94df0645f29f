// ODT (OpenDocument Text): content, styles, meta and manifest parts; the
// default paragraph style names the Asian font and the zh-CN language.
#include "output/BookWriters.h"
#include "output/ZipBuilder.h"

namespace {

const QString kOffice = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString kFo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString kSvg = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString kManifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QString kMeta = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");
const QString kDc = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kVersion = QStringLiteral("1.3");

void OfficeNamespaces(QXmlStreamWriter& x) {
    x.writeNamespace(kOffice, QStringLiteral("office"));
    x.writeNamespace(kStyle, QStringLiteral("style"));
    x.writeNamespace(kText, QStringLiteral("text"));
    x.writeNamespace(kFo, QStringLiteral("fo"));
    x.writeNamespace(kSvg, QStringLiteral("svg"));
}

void FontFaces(QXmlStreamWriter& x) {
    x.writeStartElement(kOffice, QStringLiteral("font-face-decls"));
    for (const QString& font : {kBookFontWestern, kBookFontAsian}) {
        x.writeEmptyElement(kStyle, QStringLiteral("font-face"));
        x.writeAttribute(kStyle, QStringLiteral("name"), font);
        x.writeAttribute(kSvg, QStringLiteral("font-family"), QLatin1Char('\'') + font + QLatin1Char('\''));
    }
    x.writeEndElement();
}

void TextProperties(QXmlStreamWriter& x, const QString& size, bool bold) {
    x.writeEmptyElement(kStyle, QStringLiteral("text-properties"));
    x.writeAttribute(kStyle, QStringLiteral("font-name"), kBookFontWestern);
    x.writeAttribute(kStyle, QStringLiteral("font-name-asian"), kBookFontAsian);
    x.writeAttribute(kFo, QStringLiteral("font-size"), size);
    x.writeAttribute(kStyle, QStringLiteral("font-size-asian"), size);
    x.writeAttribute(kFo, QStringLiteral("language"), QStringLiteral("zh"));
    x.writeAttribute(kFo, QStringLiteral("country"), QStringLiteral("CN"));
    x.writeAttribute(kStyle, QStringLiteral("language-asian"), QStringLiteral("zh"));
    x.writeAttribute(kStyle, QStringLiteral("country-asian"), QStringLiteral("CN"));
    if (bold) {
        x.writeAttribute(kFo, QStringLiteral("font-weight"), QStringLiteral("bold"));
        x.writeAttribute(kStyle, QStringLiteral("font-weight-asian"), QStringLiteral("bold"));
    }
}

void ParagraphStyle(QXmlStreamWriter& x, const QString& name, const QString& size, bool bold, bool centered,
                    int outlineLevel) {
    x.writeStartElement(kStyle, QStringLiteral("style"));
    x.writeAttribute(kStyle, QStringLiteral("name"), name);
    x.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
    if (outlineLevel > 0)
        x.writeAttribute(kStyle, QStringLiteral("default-outline-level"), QString::number(outlineLevel));
    x.writeEmptyElement(kStyle, QStringLiteral("paragraph-properties"));
    x.writeAttribute(kFo, QStringLiteral("margin-top"), centered ? QStringLiteral("0.4cm") : QStringLiteral("0cm"));
    x.writeAttribute(kFo, QStringLiteral("margin-bottom"),
                     centered ? QStringLiteral("0.3cm") : QStringLiteral("0.15cm"));
    if (centered)
        x.writeAttribute(kFo, QStringLiteral("text-align"), QStringLiteral("center"));
    if (outlineLevel == 1)
        x.writeAttribute(kFo, QStringLiteral("break-before"), QStringLiteral("page"));
    TextProperties(x, size, bold);
    x.writeEndElement();
}

QByteArray Styles() {
    return XmlDocument([](QXmlStreamWriter& x) {
        OfficeNamespaces(x);
        x.writeStartElement(kOffice, QStringLiteral("document-styles"));
        x.writeAttribute(kOffice, QStringLiteral("version"), kVersion);
        FontFaces(x);
        x.writeStartElement(kOffice, QStringLiteral("styles"));
        x.writeStartElement(kStyle, QStringLiteral("default-style"));
        x.writeAttribute(kStyle, QStringLiteral("family"), QStringLiteral("paragraph"));
        TextProperties(x, QStringLiteral("12pt"), false);
        x.writeEndElement();
        ParagraphStyle(x, QStringLiteral("Body"), QStringLiteral("12pt"), false, false, 0);
        ParagraphStyle(x, QStringLiteral("BookTitle"), QStringLiteral("22pt"), true, true, 0);
        ParagraphStyle(x, QStringLiteral("BookAuthor"), QStringLiteral("14pt"), false, true, 0);
        for (int level = 1; level <= 6; ++level)
            ParagraphStyle(x, QStringLiteral("Heading%1").arg(level),
                           QStringLiteral("%1pt").arg(std::max(12, 18 - 2 * (level - 1))), true, true, level);
        x.writeEndElement();
        x.writeEndElement();
    });
}

QByteArray Meta(const TBook& book) {
    return XmlDocument([&](QXmlStreamWriter& x) {
        x.writeNamespace(kOffice, QStringLiteral("office"));
        x.writeNamespace(kDc, QStringLiteral("dc"));
        x.writeNamespace(kMeta, QStringLiteral("meta"));
        x.writeStartElement(kOffice, QStringLiteral("document-meta"));
        x.writeAttribute(kOffice, QStringLiteral("version"), kVersion);
        x.writeStartElement(kOffice, QStringLiteral("meta"));
        x.writeTextElement(kDc, QStringLiteral("title"), BookTitleText(book));
        if (!book.Author.isEmpty())
            x.writeTextElement(kMeta, QStringLiteral("initial-creator"), book.Author);
        x.writeTextElement(kDc, QStringLiteral("language"), QStringLiteral("zh-CN"));
        x.writeEndElement();
        x.writeEndElement();
    });
}

QByteArray Manifest() {
    return XmlDocument([](QXmlStreamWriter& x) {
        x.writeNamespace(kManifest, QStringLiteral("manifest"));
        x.writeStartElement(kManifest, QStringLiteral("manifest"));
        x.writeAttribute(kManifest, QStringLiteral("version"), kVersion);
        const auto entry = [&](const QString& path, const QString& type) {
            x.writeEmptyElement(kManifest, QStringLiteral("file-entry"));
            x.writeAttribute(kManifest, QStringLiteral("full-path"), path);
            if (path == QLatin1String("/"))
                x.writeAttribute(kManifest, QStringLiteral("version"), kVersion);
            x.writeAttribute(kManifest, QStringLiteral("media-type"), type);
        };
        entry(QStringLiteral("/"), QStringLiteral("application/vnd.oasis.opendocument.text"));
        for (const char* part : {"content.xml", "styles.xml", "meta.xml"})
            entry(QLatin1String(part), QStringLiteral("text/xml"));
        x.writeEndElement();
    });
}

void Para(QXmlStreamWriter& x, const QString& style, const QString& text) {
    x.writeStartElement(kText, QStringLiteral("p"));
    x.writeAttribute(kText, QStringLiteral("style-name"), style);
    x.writeCharacters(text);
    x.writeEndElement();
}

void WriteContent(QIODevice& device, const TBook& book, const TBookProgress& progress) {
    WriteXmlDocument(device, [&](QXmlStreamWriter& x) {
        OfficeNamespaces(x);
        x.writeStartElement(kOffice, QStringLiteral("document-content"));
        x.writeAttribute(kOffice, QStringLiteral("version"), kVersion);
        FontFaces(x);
        x.writeStartElement(kOffice, QStringLiteral("body"));
        x.writeStartElement(kOffice, QStringLiteral("text"));
        Para(x, QStringLiteral("BookTitle"), BookTitleText(book));
        if (!book.Author.isEmpty())
            Para(x, QStringLiteral("BookAuthor"), book.Author);
        const qint64 total = static_cast<qint64>(book.Sections.size());
        qint64 done = 0;
        for (const TBookSection& section : book.Sections) {
            x.writeStartElement(kText, QStringLiteral("h"));
            x.writeAttribute(kText, QStringLiteral("style-name"),
                             QStringLiteral("Heading%1").arg(std::min(section.Level, 6)));
            x.writeAttribute(kText, QStringLiteral("outline-level"), QString::number(section.Level));
            x.writeCharacters(section.Heading);
            x.writeEndElement();
            for (const QString& text : section.Paragraphs)
                Para(x, QStringLiteral("Body"), text);
            ReportBookProgress(progress, ++done, total);
        }
        x.writeEndElement();
        x.writeEndElement();
        x.writeEndElement();
    });
}

}  // namespace

void WriteOdt(const TBook& book, QIODevice& device, const TBookProgress& progress) {
    TZipBuilder zip(device);
    zip.AddStored(QStringLiteral("mimetype"), QByteArrayLiteral("application/vnd.oasis.opendocument.text"));
    zip.AddDeflated(QStringLiteral("META-INF/manifest.xml"), Manifest());
    zip.AddDeflated(QStringLiteral("meta.xml"), Meta(book));
    zip.AddDeflated(QStringLiteral("styles.xml"), Styles());
    zip.AddStreamed(QStringLiteral("content.xml"), [&](QIODevice& part) { WriteContent(part, book, progress); });
    zip.Finish();
}
