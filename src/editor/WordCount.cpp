#include "editor/WordCount.h"

namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

// One pass gives both counts; the two single counts are views of it.
TWordCount CountWordsIn(const QString& text) {
    // Only "does the current word hold a letter yet" matters, so the word
    // buffer of the scan is a flag.
    TWordCount count;
    bool inWord = false;
    bool lineStart = true;  // only blanks so far on this line
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool lineBreak = c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
        const bool blank = c == u' ' || c == u'\t' || c == 0x3000;
        lineStart = lineBreak || (lineStart && blank);
        if (c < 0x80) {
            if (c == u' ' || c == u'\n' || c == u'\r') {
                count.English += inWord ? 1 : 0;
                inWord = false;
            } else if (IsAsciiLetter(c)) {
                inWord = true;
            }
        } else if (c == 0x2028 || c == 0x2029) {
            count.English += inWord ? 1 : 0;
            inWord = false;
        } else if (lineStart) {
            // the paragraph's indent (U+3000 before its first character)
        } else if (!ch.isLowSurrogate()) {
            ++count.Chinese;  // a surrogate pair counts once, by its high half
        }
    }
    count.English += inWord ? 1 : 0;
    return count;
}

int CountEnglishWordsIn(const QString& text) { return CountWordsIn(text).English; }

int CountChineseCharsIn(const QString& text) { return CountWordsIn(text).Chinese; }
