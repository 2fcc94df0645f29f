// TLineMatcher: finds a pattern in one line of decoded text (QString), for the
// search and replace across a library. Owned by whoever builds it; immutable
// and safe to share between threads once built.
//
// Patterns are literal or QRegularExpression syntax. Without case sensitivity
// only ASCII letters and full-width Latin letters (U+FF21..U+FF3A and
// U+FF41..U+FF5A) fold; every other script is compared as it is. Folding keeps
// every UTF-16 unit in place, so spans found in the folded line are spans of
// the line itself. Spans count UTF-16 units (a character beyond the BMP is
// two), as QString and the editor's cursor do.
//
// Matching is per line by design: the caller hands lines without their line
// break, so no hit spans a line end (a pattern containing a line break, or a
// regular expression needing one, finds nothing).
//
// Construction raises EUserError for an invalid regular expression (naming
// the error and its column) and for one that matches the empty string.
#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <vector>

// A hit inside one line: first UTF-16 unit and length.
struct TTextSpan {
    int Start = 0;
    int Length = 0;
};

// Bytes of GB18030 text that a matching line must contain, found either
// exactly or with ASCII letters in either case. A stored text without them
// holds no hit; one with them may still hold none (a letter byte can be the
// second byte of a two-byte character), so this only prefilters.
class TByteKey {
public:
    TByteKey() = default;
    // With ignoreAsciiCase, ASCII letters of `bytes` match either case.
    TByteKey(const QByteArray& bytes, bool ignoreAsciiCase);

    bool IsEmpty() const { return m_bytes.isEmpty(); }
    // The first occurrence in [begin, end), or null; `begin` when empty.
    const char* FindIn(const char* begin, const char* end) const;

private:
    QByteArray m_bytes;  // ASCII letters small when ignoring case
    bool m_ignoreAsciiCase = false;
    std::array<uint32_t, 256> m_shift{};  // skip by the last byte of a window, letters small
};

class TLineMatcher {
public:
    TLineMatcher(const QString& pattern, bool regex, bool caseSensitive);

    // An empty pattern finds nothing.
    bool IsEmpty() const { return m_pattern.isEmpty(); }
    // GB18030 bytes that every matching line contains (empty when no such
    // bytes are known): callers may skip stored text without them undecoded.
    // A case-blind search keys on the longest stretch of the pattern without
    // full-width letters, ASCII letters in either case, when the stretch
    // without any letter is too short to skip much.
    const TByteKey& RequiredBytes() const { return m_requiredBytes; }

    // Every hit in the line, left to right, none overlapping.
    void FindIn(QStringView line, std::vector<TTextSpan>& hits) const;
    // The line with every hit replaced; *count receives the number of hits.
    // A regular expression's replacement may name captures as \1..\9 (\\ for
    // a backslash); a literal replacement is taken as it is.
    QString ReplaceIn(QStringView line, const QString& replacement, int* count) const;

    // ASCII and full-width Latin capitals made small; nothing else changes.
    static QString FoldLatin(QStringView text);

private:
    void FindLiteral(QStringView line, std::vector<TTextSpan>& hits) const;
    void FindRegex(QStringView line, std::vector<TTextSpan>& hits) const;
    static QString Expanded(QStringView line, const QString& replacement, const QRegularExpressionMatch& match);

    QString m_pattern;  // folded unless case-sensitive
    bool m_regex;
    bool m_caseSensitive;
    QRegularExpression m_expression;
    TByteKey m_requiredBytes;
};
