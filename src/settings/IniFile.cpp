#include "settings/IniFile.h"

#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

namespace {

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool LooksUtf8(const QByteArray& bytes) {
    bool nonAscii = false;
    for (char c : bytes)
        nonAscii = nonAscii || static_cast<unsigned char>(c) >= 0x80;
    if (!nonAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

TIniFile TIniFile::Load(const QString& fileName) {
    TIniFile ini;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return ini;
    QByteArray bytes = file.readAll();
    ini.m_bom = bytes.startsWith("\xEF\xBB\xBF");
    if (ini.m_bom)
        bytes.remove(0, 3);
    ini.m_utf8 = ini.m_bom || LooksUtf8(bytes);
    QList<QByteArray> raws = bytes.split('\n');
    if (!raws.isEmpty() && raws.last().isEmpty())
        raws.removeLast();
    for (QByteArray& raw : raws) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        ini.m_lines.append(ini.ParseLine(raw));
    }
    return ini;
}

TIniFile::TLine TIniFile::ParseLine(const QByteArray& raw) const {
    TLine line{raw, std::nullopt, std::nullopt, QString()};
    const QString text = (m_utf8 ? QString::fromUtf8(raw) : FromGB(raw)).trimmed();
    if (text.startsWith(QLatin1Char(';')) || text.isEmpty())
        return line;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close > 0)
            line.section = text.mid(1, close - 1).trimmed();
        return line;
    }
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals > 0) {
        line.key = text.left(equals).trimmed();
        line.value = text.mid(equals + 1).trimmed();
    }
    return line;
}

TIniFile::TRange TIniFile::FindSection(const QString& section) const {
    TRange range;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (!m_lines[i].section)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (SameName(*m_lines[i].section, section))
            range.header = i;
    }
    if (range.header >= 0)
        range.end = m_lines.size();
    return range;
}

qsizetype TIniFile::FindKey(const TRange& range, const QString& key) const {
    for (qsizetype i = range.header + 1; i < range.end; ++i)
        if (m_lines[i].key && SameName(*m_lines[i].key, key))
            return i;
    return -1;
}

std::optional<QString> TIniFile::Value(const QString& section, const QString& key) const {
    const TRange range = FindSection(section);
    if (range.header < 0)
        return std::nullopt;
    const qsizetype index = FindKey(range, key);
    if (index < 0)
        return std::nullopt;
    return m_lines[index].value;
}

QByteArray TIniFile::Encode(const QString& text) const { return m_utf8 ? text.toUtf8() : ToGB(text); }

void TIniFile::SetValue(const QString& section, const QString& key, const QString& value) {
    // A line break in a value would split the line; it is stored as a blank.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const TLine line = ParseLine(Encode(key + QLatin1Char('=') + flat));
    TRange range = FindSection(section);
    if (range.header < 0) {
        m_lines.append(ParseLine(Encode(QLatin1Char('[') + section + QLatin1Char(']'))));
        m_lines.append(line);
        return;
    }
    const qsizetype index = FindKey(range, key);
    if (index >= 0) {
        m_lines[index] = line;
        return;
    }
    // After the section's last non-blank line, so blank separators stay below.
    qsizetype insertAt = range.end;
    while (insertAt - 1 > range.header && m_lines[insertAt - 1].raw.trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, line);
}

bool TIniFile::Save(const QString& fileName, QString* error) const {
    QByteArray bytes = m_bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const TLine& line : m_lines)
        bytes += line.raw + "\r\n";
    return WriteFileAtomic(fileName, bytes, error);
}
