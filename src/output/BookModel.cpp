#include "output/BookModel.h"

namespace {

constexpr QChar kIdeographicSpace(0x3000);

bool IsXmlChar(char32_t c) {
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

bool IsBlank(QChar c) { return c.isSpace() || c == kIdeographicSpace; }

// One line made a paragraph; empty when the line holds nothing to show.
QString ParagraphOf(QStringView line) {
    qsizetype end = line.size();
    while (end > 0 && IsBlank(line[end - 1]))
        --end;
    qsizetype start = 0;
    // Leading ASCII spaces and tabs give way to the book's own indent; the
    // ideographic spaces an author typed are kept as the indent.
    while (start < end && line[start] != kIdeographicSpace && line[start].isSpace())
        ++start;
    if (start == end)
        return QString();
    const QStringView body = line.mid(start, end - start);
    if (body.front() == kIdeographicSpace) {
        qsizetype lead = 0;
        while (lead < body.size() && IsBlank(body[lead]))
            ++lead;
        if (lead == body.size())
            return QString();
        return XmlSafeText(body.toString());
    }
    return QString(2, kIdeographicSpace) + XmlSafeText(body.toString());
}

}  // namespace

QString XmlSafeText(const QString& text) {
    // Length of the code point at i (1 or 2 units); 0 when XML cannot carry it.
    const auto unitsAt = [&text](qsizetype i) -> qsizetype {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c))
            return i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 0;
        if (QChar::isLowSurrogate(c))
            return 0;
        return IsXmlChar(c) ? 1 : 0;
    };
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype units = unitsAt(i);
        if (units == 0)
            break;
        i += units;
    }
    if (i == text.size())
        return text;
    QString out = text.left(i);
    while (i < text.size()) {
        const qsizetype units = unitsAt(i);
        out += QStringView(text).mid(i, std::max<qsizetype>(units, 1)).left(units);
        i += std::max<qsizetype>(units, 1);
    }
    return out;
}

QStringList BookParagraphs(const QString& text) {
    QStringList paragraphs;
    qsizetype from = 0;
    const qsizetype size = text.size();
    while (from <= size) {
        qsizetype to = from;
        while (to < size && text[to] != u'\n' && text[to] != u'\r')
            ++to;
        const QString paragraph = ParagraphOf(QStringView(text).mid(from, to - from));
        if (!paragraph.isEmpty())
            paragraphs.append(paragraph);
        if (to < size && text[to] == u'\r' && to + 1 < size && text[to + 1] == u'\n')
            ++to;
        from = to + 1;
    }
    return paragraphs;
}

QString BookTitleText(const TBook& book) {
    return book.Title.trimmed().isEmpty() ? QStringLiteral("未命名") : book.Title;
}

void ReportBookProgress(const TBookProgress& progress, qint64 done, qint64 total) {
    if (progress && !progress(done, total))
        throw EBookCancelled();
}
