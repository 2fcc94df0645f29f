#include "editor/RtfText.h"

#include "editor/EditorText.h"
#include "platform/TextCodec.h"

#include <QStringList>
#include <algorithm>
#include <cctype>
#include <vector>

namespace {

void AppendEscaped(QByteArray& out, const QString& text) {
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += '\\';
            out += char(c);
        } else if (c == u'\t') {
            out += "\\tab ";
        } else if (c >= 0x20 && c < 0x7f) {
            out += char(c);
        } else if (c >= 0x80) {
            // Signed 16-bit code unit, then the one fallback character \uc1 skips.
            out += "\\u" + QByteArray::number(int(int16_t(c))) + '?';
        }
    }
}

}  // namespace

QByteArray WriteRtfText(const QString& text, const QFont& font) {
    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil ";
    AppendEscaped(out, font.family());
    out += ";}}\\uc1\\pard\\f0";
    if (font.pointSize() > 0)
        out += "\\fs" + QByteArray::number(font.pointSize() * 2);
    out += ' ';
    const QStringList lines = editortext::SplitLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += "\\par\r\n";
        AppendEscaped(out, lines[i]);
    }
    if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        out += "\\par\r\n";
    out += "}\r\n";
    return out;
}

namespace {

class TRtfReader {
public:
    explicit TRtfReader(const QByteArray& bytes) : m_in(bytes) {}

    QString Run() {
        m_skip.push_back(false);
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            if (c == '{') {
                FlushBytes();
                m_skip.push_back(m_skip.back());
            } else if (c == '}') {
                FlushBytes();
                if (m_skip.size() > 1)
                    m_skip.pop_back();
            } else if (c == '\\') {
                ControlSymbolOrWord();
            } else if (c != '\r' && c != '\n') {
                FlushBytes();
                Emit(QChar(uchar(c)));
            }
        }
        FlushBytes();
        return m_text;
    }

private:
    void Emit(QChar ch) {
        if (m_skip.back())
            return;
        if (m_fallbackToSkip > 0) {
            --m_fallbackToSkip;
            return;
        }
        m_text += ch;
    }

    void FlushBytes() {
        if (m_bytes.isEmpty())
            return;
        const QString decoded = FromGB(m_bytes);
        m_bytes.clear();
        for (const QChar ch : decoded)
            Emit(ch);
    }

    void ControlSymbolOrWord() {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (c == '\'') {
            HexByte();
            return;
        }
        FlushBytes();
        if (!std::isalpha(uchar(c))) {
            ++m_pos;
            ControlSymbol(c);
            return;
        }
        QByteArray word;
        while (m_pos < m_in.size() && std::isalpha(uchar(m_in[m_pos])))
            word += m_in[m_pos++];
        bool hasParam = false;
        int param = 0;
        ReadParam(&hasParam, &param);
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;  // the delimiting blank belongs to the word
        ControlWord(word, hasParam, param);
    }

    void ReadParam(bool* hasParam, int* param) {
        const qsizetype start = m_pos;
        if (m_pos < m_in.size() && m_in[m_pos] == '-')
            ++m_pos;
        while (m_pos < m_in.size() && std::isdigit(uchar(m_in[m_pos])) && m_pos - start < 10)
            ++m_pos;
        *hasParam = m_pos > start && !(m_pos == start + 1 && m_in[start] == '-');
        *param = *hasParam ? m_in.mid(start, m_pos - start).toInt() : 0;
    }

    void HexByte() {
        ++m_pos;  // the quote
        const QByteArray hex = m_in.mid(m_pos, 2);
        m_pos += hex.size();
        bool ok = false;
        const int value = hex.toInt(&ok, 16);
        if (!ok)
            return;
        if (m_fallbackToSkip > 0) {
            --m_fallbackToSkip;
            return;
        }
        m_bytes += char(value);
    }

    void ControlSymbol(char c) {
        if (c == '*')
            m_skip.back() = true;  // an optional destination we do not know
        else if (c == '~')
            Emit(QChar(0x00A0));
        else if (c == '_')
            Emit(QChar(u'-'));
        else if (c == '\\' || c == '{' || c == '}')
            Emit(QChar(uchar(c)));
        else if (c == '\n' || c == '\r')
            Emit(QChar(u'\n'));
    }

    void ControlWord(const QByteArray& word, bool hasParam, int param) {
        static const char* const skipped[] = {"fonttbl",  "colortbl", "stylesheet", "info",      "pict",
                                              "header",   "footer",   "object",     "listtable", "listoverridetable",
                                              "generator"};
        for (const char* destination : skipped) {
            if (word == destination) {
                m_skip.back() = true;
                return;
            }
        }
        if (word == "par" || word == "line")
            Emit(QChar(u'\n'));
        else if (word == "tab")
            Emit(QChar(u'\t'));
        else if (word == "uc" && hasParam)
            m_fallbackLength = std::max(0, param);
        else if (word == "u" && hasParam) {
            Emit(QChar(char16_t(param < 0 ? param + 65536 : param)));
            m_fallbackToSkip = m_fallbackLength;
        }
    }

    const QByteArray& m_in;
    qsizetype m_pos = 0;
    QString m_text;
    QByteArray m_bytes;
    std::vector<bool> m_skip;
    int m_fallbackLength = 1;
    int m_fallbackToSkip = 0;
};

}  // namespace

std::optional<QString> ReadRtfText(const QByteArray& bytes) {
    if (!bytes.startsWith("{\\rtf"))
        return std::nullopt;
    return TRtfReader(bytes).Run();
}
