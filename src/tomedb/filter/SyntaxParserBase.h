// TSyntaxParserBase: the tokenizer of filter expressions.
//
// Holds the source text (GB18030 bytes), the current token, the type of the
// previous token (which decides whether "-" is an operator or starts a number)
// and where the current token starts. NextToken raises EDatabaseError with the
// tokenizer's messages ("Unterminated field name", "Unterminated string
// constant", "Invalid filter expression character: '%s'").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tomedb {

enum TTokenType : int {
    ttEnd = 0,
    ttName = 1,
    ttField = 2,
    ttNumber = 3,
    ttString = 4,
    ttLParen = 5,
    ttRParen = 6,
    ttEQ = 7,
    ttNE = 8,
    ttGE = 9,
    ttLE = 10,
    ttGT = 11,
    ttLT = 12,
    ttPlus = 13,
    ttMinus = 14,
    ttMul = 15,
    ttDiv = 16,
    ttComma = 17,
    ttLike = 19,
    ttIn = 22,
};

class TSyntaxParserBase {
public:
    // Longest string constant kept, in characters; the rest is dropped.
    static constexpr size_t kMaxStringChars = 256;

    virtual ~TSyntaxParserBase() = default;

    // The locale's decimal separator used inside numbers. Unless set, it is
    // asked of DefaultDecimalSeparator when a number first needs it.
    void SetDecimalSeparator(char separator) { fDecimalSeparator = separator; }
    char DecimalSeparator() const;

protected:
    // The separator to use when none was set ('.' here).
    virtual char DefaultDecimalSeparator() const { return '.'; }
    // Starts tokenizing `text` (cut at its first NUL byte); no token read yet.
    void SetSourceText(std::string_view text);
    // Reads the next token into Token()/TokenText().
    void NextToken();

    TTokenType Token() const { return fToken; }
    TTokenType PreviousToken() const { return fPreviousToken; }
    // The token's text: a name, a field name without brackets, a number, a
    // string constant's value, or an operator's characters.
    const std::string& TokenText() const { return fTokenText; }
    size_t TokenStart() const { return fTokenStart; }
    // The current token for messages: quoted, or "nothing" at the end.
    std::string TokenForMessage() const;
    // True when the next non-blank character is "(" (a function call).
    bool NextCharIsOpenParen() const;

private:
    void SkipBlanks();
    void SkipComment();
    void ReadString();
    void ReadBracketedName();
    void ReadNumber();
    void ReadName();
    bool ReadOperator(char c);
    [[noreturn]] void InvalidCharacter(size_t at) const;
    size_t CharLengthAt(size_t at) const;
    unsigned char At(size_t i) const { return i < fText.size() ? static_cast<unsigned char>(fText[i]) : 0; }

    std::string fText;
    size_t fPos = 0;
    size_t fTokenStart = 0;
    TTokenType fToken = ttEnd;
    TTokenType fPreviousToken = ttEnd;
    std::string fTokenText;
    mutable char fDecimalSeparator = 0;  // 0: not known yet
};

}  // namespace tomedb
