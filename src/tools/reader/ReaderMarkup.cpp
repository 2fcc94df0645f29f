#include "tools/reader/ReaderMarkup.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>

#include <optional>

namespace {

struct TTagState {
    TReaderStyle style = TReaderStyle::Text1;
    TReaderAlign align = TReaderAlign::Left;
};

std::optional<TReaderStyle> StyleTag(const QString& name) {
    static const struct {
        const char* name;
        TReaderStyle style;
    } styles[] = {{"title1", TReaderStyle::Title1}, {"title2", TReaderStyle::Title2}, {"title3", TReaderStyle::Title3},
                  {"title4", TReaderStyle::Title4}, {"text1", TReaderStyle::Text1},   {"text2", TReaderStyle::Text2},
                  {"text3", TReaderStyle::Text3}};
    for (const auto& entry : styles)
        if (name == QLatin1String(entry.name))
            return entry.style;
    return std::nullopt;
}

std::optional<TReaderAlign> AlignTag(const QString& name) {
    if (name == QLatin1String("left"))
        return TReaderAlign::Left;
    if (name == QLatin1String("center"))
        return TReaderAlign::Center;
    if (name == QLatin1String("right"))
        return TReaderAlign::Right;
    return std::nullopt;
}

std::optional<QString> FieldTag(const QString& name, const TReaderFields& fields) {
    if (name == QLatin1String("owner"))
        return fields.owner;
    if (name == QLatin1String("organization"))
        return fields.organization;
    if (name == QLatin1String("apptitle"))
        return fields.appTitle;
    if (name == QLatin1String("date"))
        return fields.date;
    if (name == QLatin1String("time"))
        return fields.time;
    return std::nullopt;
}

void AddText(TReaderParagraph& paragraph, TReaderStyle style, const QString& text) {
    if (text.isEmpty())
        return;
    if (!paragraph.runs.isEmpty() && paragraph.runs.last().style == style)
        paragraph.runs.last().text += text;
    else
        paragraph.runs.append({style, text});
}

// One line: tags change the state, which carries over to the next line.
TReaderParagraph ParseLine(QStringView line, TTagState& state, const TReaderFields& fields) {
    TReaderParagraph paragraph;
    paragraph.align = state.align;
    qsizetype pos = 0;
    while (pos < line.size()) {
        const qsizetype open = line.indexOf(QLatin1Char('<'), pos);
        const qsizetype close = open < 0 ? -1 : line.indexOf(QLatin1Char('>'), open + 1);
        if (open < 0 || close < 0) {
            AddText(paragraph, state.style, line.mid(pos).toString());
            break;
        }
        AddText(paragraph, state.style, line.mid(pos, open - pos).toString());
        const QString name = line.mid(open + 1, close - open - 1).toString().toLower();
        if (const auto style = StyleTag(name)) {
            state.style = *style;
        } else if (const auto align = AlignTag(name)) {
            state.align = *align;
            paragraph.align = *align;
        } else if (const auto field = FieldTag(name, fields)) {
            AddText(paragraph, state.style, *field);
        } else {
            // Not a tag: the "<" is text, and the scan goes on right after it.
            AddText(paragraph, state.style, QStringLiteral("<"));
            pos = open + 1;
            continue;
        }
        pos = close + 1;
    }
    return paragraph;
}

}  // namespace

QString TReaderParagraph::Text() const {
    QString text;
    for (const TReaderRun& run : runs)
        text += run.text;
    return text;
}

TReaderFields TReaderFields::Current() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    return {qEnvironmentVariable("USER"), QCoreApplication::organizationName(),
            QGuiApplication::applicationDisplayName(), locale.toString(now.date(), QLocale::ShortFormat),
            locale.toString(now.time(), QLocale::ShortFormat)};
}

QList<TReaderParagraph> ParseReaderMarkup(const QString& markup, const TReaderFields& fields) {
    QString text = markup;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QList<TReaderParagraph> paragraphs;
    TTagState state;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n')))
        paragraphs.append(ParseLine(line, state, fields));
    return paragraphs;
}
