// DOCX (WordprocessingML): one document part with the title, author, part and
// chapter headings and paragraphs; styles set the East Asian font and the
// zh-CN language so word processors lay out Chinese text as Chinese.
#include "output/BookWriters.h"
#include "output/ZipBuilder.h"

namespace {

const QString W = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kRelNs = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");

QByteArray ContentTypes() {
    return XmlDocument([](QXmlStreamWriter& x) {
        x.writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
        x.writeStartElement(QStringLiteral("Types"));
        const auto byDefault = [&](const char* ext, const char* type) {
            x.writeEmptyElement(QStringLiteral("Default"));
            x.writeAttribute(QStringLiteral("Extension"), QLatin1String(ext));
            x.writeAttribute(QStringLiteral("ContentType"), QLatin1String(type));
        };
        const auto byPart = [&](const char* part, const char* type) {
            x.writeEmptyElement(QStringLiteral("Override"));
            x.writeAttribute(QStringLiteral("PartName"), QLatin1String(part));
            x.writeAttribute(QStringLiteral("ContentType"), QLatin1String(type));
        };
        byDefault("rels", "application/vnd.openxmlformats-package.relationships+xml");
        byDefault("xml", "application/xml");
        byPart("/word/document.xml",
               "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
        byPart("/word/styles.xml", "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml");
        byPart("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
        x.writeEndElement();
    });
}

QByteArray Relationships(const std::vector<std::pair<QString, QString>>& targets) {
    return XmlDocument([&](QXmlStreamWriter& x) {
        x.writeDefaultNamespace(kRelNs);
        x.writeStartElement(QStringLiteral("Relationships"));
        int id = 0;
        for (const auto& [type, target] : targets) {
            x.writeEmptyElement(QStringLiteral("Relationship"));
            x.writeAttribute(QStringLiteral("Id"), QStringLiteral("rId%1").arg(++id));
            x.writeAttribute(QStringLiteral("Type"), type);
            x.writeAttribute(QStringLiteral("Target"), target);
        }
        x.writeEndElement();
    });
}

QByteArray CoreProperties(const TBook& book) {
    return XmlDocument([&](QXmlStreamWriter& x) {
        const QString cp = QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties");
        const QString dc = QStringLiteral("http://purl.org/dc/elements/1.1/");
        x.writeNamespace(cp, QStringLiteral("cp"));
        x.writeNamespace(dc, QStringLiteral("dc"));
        x.writeStartElement(cp, QStringLiteral("coreProperties"));
        x.writeTextElement(dc, QStringLiteral("title"), BookTitleText(book));
        if (!book.Author.isEmpty())
            x.writeTextElement(dc, QStringLiteral("creator"), book.Author);
        x.writeTextElement(dc, QStringLiteral("language"), QStringLiteral("zh-CN"));
        x.writeEndElement();
    });
}

void RunFonts(QXmlStreamWriter& x) {
    x.writeEmptyElement(W, QStringLiteral("rFonts"));
    x.writeAttribute(W, QStringLiteral("ascii"), kBookFontWestern);
    x.writeAttribute(W, QStringLiteral("hAnsi"), kBookFontWestern);
    x.writeAttribute(W, QStringLiteral("eastAsia"), kBookFontAsian);
    x.writeEmptyElement(W, QStringLiteral("lang"));
    x.writeAttribute(W, QStringLiteral("val"), QStringLiteral("zh-CN"));
    x.writeAttribute(W, QStringLiteral("eastAsia"), QStringLiteral("zh-CN"));
}

void Style(QXmlStreamWriter& x, const QString& id, const QString& name, int sizeHalfPoints, bool bold,
           int outlineLevel) {
    x.writeStartElement(W, QStringLiteral("style"));
    x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("paragraph"));
    x.writeAttribute(W, QStringLiteral("styleId"), id);
    x.writeEmptyElement(W, QStringLiteral("name"));
    x.writeAttribute(W, QStringLiteral("val"), name);
    if (id != QLatin1String("Normal")) {
        x.writeEmptyElement(W, QStringLiteral("basedOn"));
        x.writeAttribute(W, QStringLiteral("val"), QStringLiteral("Normal"));
        x.writeEmptyElement(W, QStringLiteral("next"));
        x.writeAttribute(W, QStringLiteral("val"), QStringLiteral("Normal"));
    }
    x.writeStartElement(W, QStringLiteral("pPr"));
    if (outlineLevel >= 0) {
        x.writeEmptyElement(W, QStringLiteral("keepNext"));
        x.writeEmptyElement(W, QStringLiteral("spacing"));
        x.writeAttribute(W, QStringLiteral("before"), QStringLiteral("360"));
        x.writeAttribute(W, QStringLiteral("after"), QStringLiteral("240"));
        x.writeEmptyElement(W, QStringLiteral("jc"));
        x.writeAttribute(W, QStringLiteral("val"), QStringLiteral("center"));
        x.writeEmptyElement(W, QStringLiteral("outlineLvl"));
        x.writeAttribute(W, QStringLiteral("val"), QString::number(outlineLevel));
    } else {
        x.writeEmptyElement(W, QStringLiteral("spacing"));
        x.writeAttribute(W, QStringLiteral("after"), QStringLiteral("120"));
    }
    x.writeEndElement();
    x.writeStartElement(W, QStringLiteral("rPr"));
    if (id == QLatin1String("Normal"))
        RunFonts(x);
    if (bold)
        x.writeEmptyElement(W, QStringLiteral("b"));
    x.writeEmptyElement(W, QStringLiteral("sz"));
    x.writeAttribute(W, QStringLiteral("val"), QString::number(sizeHalfPoints));
    x.writeEmptyElement(W, QStringLiteral("szCs"));
    x.writeAttribute(W, QStringLiteral("val"), QString::number(sizeHalfPoints));
    x.writeEndElement();
    x.writeEndElement();
}

QByteArray Styles() {
    return XmlDocument([](QXmlStreamWriter& x) {
        x.writeNamespace(W, QStringLiteral("w"));
        x.writeStartElement(W, QStringLiteral("styles"));
        x.writeStartElement(W, QStringLiteral("docDefaults"));
        x.writeStartElement(W, QStringLiteral("rPrDefault"));
        x.writeStartElement(W, QStringLiteral("rPr"));
        RunFonts(x);
        x.writeEndElement();
        x.writeEndElement();
        x.writeEndElement();
        Style(x, QStringLiteral("Normal"), QStringLiteral("Normal"), 24, false, -1);
        Style(x, QStringLiteral("Title"), QStringLiteral("Title"), 44, true, 0);
        Style(x, QStringLiteral("Subtitle"), QStringLiteral("Subtitle"), 28, false, -1);
        for (int level = 1; level <= 6; ++level)
            Style(x, QStringLiteral("Heading%1").arg(level), QStringLiteral("heading %1").arg(level),
                  std::max(24, 36 - 4 * (level - 1)), true, level - 1);
        x.writeEndElement();
    });
}

void Paragraph(QXmlStreamWriter& x, const QString& style, const QString& text, bool pageBreak = false) {
    x.writeStartElement(W, QStringLiteral("p"));
    if (!style.isEmpty() || pageBreak) {
        x.writeStartElement(W, QStringLiteral("pPr"));
        if (!style.isEmpty()) {
            x.writeEmptyElement(W, QStringLiteral("pStyle"));
            x.writeAttribute(W, QStringLiteral("val"), style);
        }
        if (pageBreak)
            x.writeEmptyElement(W, QStringLiteral("pageBreakBefore"));
        x.writeEndElement();
    }
    x.writeStartElement(W, QStringLiteral("r"));
    x.writeStartElement(W, QStringLiteral("t"));
    x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
    x.writeCharacters(text);
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndElement();
}

void WriteDocument(QIODevice& device, const TBook& book, const TBookProgress& progress) {
    WriteXmlDocument(device, [&](QXmlStreamWriter& x) {
        x.writeNamespace(W, QStringLiteral("w"));
        x.writeStartElement(W, QStringLiteral("document"));
        x.writeStartElement(W, QStringLiteral("body"));
        Paragraph(x, QStringLiteral("Title"), BookTitleText(book));
        if (!book.Author.isEmpty())
            Paragraph(x, QStringLiteral("Subtitle"), book.Author);
        const qint64 total = static_cast<qint64>(book.Sections.size());
        qint64 done = 0;
        for (const TBookSection& section : book.Sections) {
            Paragraph(x, QStringLiteral("Heading%1").arg(std::min(section.Level, 6)), section.Heading,
                      section.Level == 1);
            for (const QString& text : section.Paragraphs)
                Paragraph(x, QString(), text);
            ReportBookProgress(progress, ++done, total);
        }
        x.writeEndElement();
        x.writeEndElement();
    });
}

}  // namespace

void WriteDocx(const TBook& book, QIODevice& device, const TBookProgress& progress) {
    const QString officeRel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
    TZipBuilder zip(device);
    zip.AddDeflated(QStringLiteral("[Content_Types].xml"), ContentTypes());
    zip.AddDeflated(
        QStringLiteral("_rels/.rels"),
        Relationships(
            {{officeRel + QStringLiteral("officeDocument"), QStringLiteral("word/document.xml")},
             {QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"),
              QStringLiteral("docProps/core.xml")}}));
    zip.AddDeflated(QStringLiteral("docProps/core.xml"), CoreProperties(book));
    zip.AddDeflated(QStringLiteral("word/_rels/document.xml.rels"),
                    Relationships({{officeRel + QStringLiteral("styles"), QStringLiteral("styles.xml")}}));
    zip.AddDeflated(QStringLiteral("word/styles.xml"), Styles());
    zip.AddStreamed(QStringLiteral("word/document.xml"), [&](QIODevice& part) { WriteDocument(part, book, progress); });
    zip.Finish();
}
