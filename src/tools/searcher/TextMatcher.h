// TTextMatcher: does a text file contain a given text? The file's bytes are
// read by the project's text rule (byte-order mark, else valid UTF-8, else
// GB18030) and compared as characters, so a search never matches across the
// bytes of two characters, and one search finds the text in UTF-8 and GB18030
// files alike. Lines end at CR or LF; a find text holding a line break is
// never found. Case-insensitive mode folds only the ASCII letters a-z.
//
// Widget-free and immutable after construction: one matcher may be used from
// any thread. Nothing here fails; bytes that are not valid in their encoding
// simply match nothing.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

class TTextMatcher {
public:
    TTextMatcher(const QString& findText, bool caseInsensitive);

    // True when the text of these file bytes contains the find text; an empty
    // find text is contained in every file.
    bool Matches(std::string_view fileBytes) const;
    // Reads and tests one file; a file that cannot be read does not match.
    bool FileMatches(const QString& path) const;

private:
    bool MatchesUtf16(std::string_view bytes, bool bigEndian) const;
    bool FindInGB(std::string_view haystack) const;
    bool FindInUtf8(std::string_view haystack) const;
    std::size_t Search(std::string_view haystack, std::string_view needle, std::size_t from) const;

    QString m_text;
    bool m_impossible = false;  // holds a line break: no line can contain it
    bool m_foldNeeded = false;  // case-insensitive and holds an ASCII letter
    std::string m_utf8, m_utf8Folded;
    std::string m_gb, m_gbFolded;
};
