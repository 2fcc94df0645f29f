// Word and character counting of manuscript text. Pure functions on a QString
// (no widget, no codec state), so the editor, the library layer and qdb count
// alike. Nothing here can fail.
//
// English words: a word is a run between blanks, LF and CR that contains at
// least one ASCII letter. Every other character (digits, punctuation, tab,
// any non-ASCII character) neither ends nor extends a word, so the letters of
// a Chinese character's code never make a word.
// Chinese characters: every non-ASCII character counts once (a surrogate pair
// is one character); ASCII characters, line breaks included, count nothing.
// U+2028 and U+2029 (a text document's line and paragraph separators) are
// line breaks: they end words and are not counted. Ideographic spaces
// (U+3000) among the blanks that start a line are a paragraph's indent, not
// writing, and are not counted either (elsewhere in a line they count).
#pragma once

#include <QString>
#include <cstdint>

struct TWordCount {
    int32_t English = 0;  // count of English words
    int32_t Chinese = 0;  // count of Chinese (non-ASCII) characters
};

int CountEnglishWordsIn(const QString& text);
int CountChineseCharsIn(const QString& text);
TWordCount CountWordsIn(const QString& text);
