// TIniFile: a Windows-style ini file held as its raw lines, so that a rewrite
// changes only the lines written and keeps everything else byte for byte
// (comments, lines the parser does not understand, even binary junk).
// Section and key names compare without regard to letter case; the first
// section and the first key of a name win. Text is GB18030 unless the file is
// already UTF-8 (byte-order mark, or valid UTF-8 with non-ASCII bytes).
// Used by TqlvIniConfig; not thread-safe.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class TIniFile {
public:
    // A missing or unreadable file gives an empty ini file.
    static TIniFile Load(const QString& fileName);

    std::optional<QString> Value(const QString& section, const QString& key) const;
    // Replaces the key's line (written in the given spelling) or adds it at
    // the end of the section, adding the section at the end when missing.
    void SetValue(const QString& section, const QString& key, const QString& value);
    // Atomic write; false and *error on failure.
    bool Save(const QString& fileName, QString* error) const;

private:
    struct TLine {
        QByteArray raw;
        std::optional<QString> section;  // set for a [section] line
        std::optional<QString> key;      // set for a key=value line
        QString value;
    };
    struct TRange {
        qsizetype header = -1;  // index of the [section] line
        qsizetype end = -1;     // one past the section's last line
    };

    TLine ParseLine(const QByteArray& raw) const;
    TRange FindSection(const QString& section) const;
    qsizetype FindKey(const TRange& range, const QString& key) const;
    QByteArray Encode(const QString& text) const;

    QList<TLine> m_lines;
    bool m_utf8 = false;
    bool m_bom = false;
};
