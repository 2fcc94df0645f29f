// The single-file formats: HTML (one page, lang="zh-CN", UTF-8), Markdown
// (# headings, UTF-8) and text (GB18030 with CR LF, like every text file the
// application exports). Each is written section by section, so a large book
// is never held twice.
#include "output/BookWriters.h"

#include "library/UserError.h"
#include "platform/TextCodec.h"

#include <QBuffer>
#include <QIODevice>

namespace {

// Sections written between two writes to the device.
constexpr qsizetype kFlushBytes = 1 << 20;

QString HtmlEscaped(const QString& text) { return text.toHtmlEscaped(); }

// Markdown's inline marks that a manuscript line may hold as plain text.
QString MarkdownEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (QStringLiteral("\\`*_[]<>#|~").contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// Feeds encoded chunks to the device as they grow.
class TChunkedOutput {
public:
    TChunkedOutput(QIODevice& device, bool gb18030) : device_(device), gb18030_(gb18030) {}
    void Add(const QString& text) {
        pending_ += text;
        if (pending_.size() >= kFlushBytes)
            Flush();
    }
    void Flush() {
        WriteBytes(device_, gb18030_ ? EncodeTextFile(pending_) : pending_.toUtf8());
        pending_.clear();
    }

private:
    QIODevice& device_;
    bool gb18030_;
    QString pending_;
};

void EachSection(const TBook& book, const TBookProgress& progress,
                 const std::function<void(const TBookSection&)>& write) {
    const qint64 total = static_cast<qint64>(book.Sections.size());
    qint64 done = 0;
    for (const TBookSection& section : book.Sections) {
        write(section);
        ReportBookProgress(progress, ++done, total);
    }
}

}  // namespace

void WriteXmlDocument(QIODevice& device, const std::function<void(QXmlStreamWriter&)>& fill) {
    QXmlStreamWriter writer(&device);
    writer.writeStartDocument();
    fill(writer);
    writer.writeEndDocument();
}

QByteArray XmlDocument(const std::function<void(QXmlStreamWriter&)>& fill) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WriteXmlDocument(buffer, fill);
    return bytes;
}

void WriteBytes(QIODevice& device, const QByteArray& bytes) {
    if (device.write(bytes) != bytes.size())
        throw EUserError(QStringLiteral("无法写入书稿：%1").arg(device.errorString()), QStringLiteral("输出书稿"), 2);
}

void WriteHtml(const TBook& book, QIODevice& device, const TBookProgress& progress) {
    TChunkedOutput out(device, false);
    const QString title = HtmlEscaped(BookTitleText(book));
    out.Add(QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<title>%1</title>\n<style>\n"
                           "body { font-family: \"%2\", serif; line-height: 1.6; max-width: 40em; margin: auto; }\n"
                           "h1, h2, h3, h4, h5, h6 { text-align: center; }\np { margin: 0 0 0.4em 0; }\n"
                           "</style>\n</head>\n<body>\n<h1>%1</h1>\n")
                .arg(title, kBookFontAsian));
    if (!book.Author.isEmpty())
        out.Add(
            QStringLiteral("<p class=\"author\" style=\"text-align: center\">%1</p>\n").arg(HtmlEscaped(book.Author)));
    EachSection(book, progress, [&](const TBookSection& section) {
        const int level = std::min(section.Level, 5) + 1;
        out.Add(QStringLiteral("<h%1>%2</h%1>\n").arg(level).arg(HtmlEscaped(section.Heading)));
        for (const QString& text : section.Paragraphs)
            out.Add(QStringLiteral("<p>") + HtmlEscaped(text) + QStringLiteral("</p>\n"));
    });
    out.Add(QStringLiteral("</body>\n</html>\n"));
    out.Flush();
}

void WriteMarkdown(const TBook& book, QIODevice& device, const TBookProgress& progress) {
    TChunkedOutput out(device, false);
    out.Add(QStringLiteral("# ") + MarkdownEscaped(BookTitleText(book)) + QStringLiteral("\n\n"));
    if (!book.Author.isEmpty())
        out.Add(MarkdownEscaped(book.Author) + QStringLiteral("\n\n"));
    EachSection(book, progress, [&](const TBookSection& section) {
        out.Add(QString(std::min(section.Level, 5) + 1, QLatin1Char('#')) + QLatin1Char(' ') +
                MarkdownEscaped(section.Heading) + QStringLiteral("\n\n"));
        for (const QString& text : section.Paragraphs)
            out.Add(MarkdownEscaped(text) + QStringLiteral("\n\n"));
    });
    out.Flush();
}

void WriteText(const TBook& book, QIODevice& device, const TBookProgress& progress) {
    TChunkedOutput out(device, true);
    out.Add(BookTitleText(book) + QLatin1Char('\n'));
    if (!book.Author.isEmpty())
        out.Add(book.Author + QLatin1Char('\n'));
    EachSection(book, progress, [&](const TBookSection& section) {
        out.Add(QLatin1Char('\n') + section.Heading + QStringLiteral("\n\n"));
        for (const QString& text : section.Paragraphs)
            out.Add(text + QLatin1Char('\n'));
    });
    out.Flush();
}
