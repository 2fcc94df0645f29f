#include "tomedb/filter/SyntaxParserBase.h"

#include "tomedb/TomeError.h"
#include "tomedb/filter/Gb18030Chars.h"

namespace tomedb {
namespace {

bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

void TSyntaxParserBase::SetSourceText(std::string_view text) {
    const size_t nul = text.find('\0');
    fText.assign(text.substr(0, nul));
    fPos = 0;
    fTokenStart = 0;
    fToken = ttEnd;
    fPreviousToken = ttEnd;
    fTokenText.clear();
}

size_t TSyntaxParserBase::CharLengthAt(size_t at) const { return at < fText.size() ? GbCharLength(fText, at) : 0; }

void TSyntaxParserBase::InvalidCharacter(size_t at) const {
    const std::string found = fText.substr(at < fText.size() ? at : fText.size(), CharLengthAt(at));
    DatabaseError(FormatMessage("Invalid filter expression character: '%s'", found.c_str()));
}

void TSyntaxParserBase::SkipBlanks() {
    while (fPos < fText.size() && At(fPos) <= 32)
        ++fPos;
}

// One "/* ... */" before a token; the first "*" inside must close it.
void TSyntaxParserBase::SkipComment() {
    if (At(fPos) != '/' || At(fPos + 1) != '*')
        return;
    fPos += 2;
    while (fPos < fText.size() && At(fPos) != '*')
        ++fPos;
    if (fPos < fText.size())
        ++fPos;
    if (At(fPos) != '/')
        InvalidCharacter(fPos);
    ++fPos;
}

void TSyntaxParserBase::NextToken() {
    fPreviousToken = fToken;
    fTokenText.clear();
    SkipBlanks();
    SkipComment();
    SkipBlanks();
    fTokenStart = fPos;
    if (fPos >= fText.size()) {
        fToken = ttEnd;
        return;
    }
    const unsigned char c = At(fPos);
    if (c == '\'')
        return ReadString();
    if (c == '[')
        return ReadBracketedName();
    if (c == '-') {
        const bool afterOperand = fPreviousToken == ttName || fPreviousToken == ttField || fPreviousToken == ttNumber ||
                                  fPreviousToken == ttString || fPreviousToken == ttRParen;
        if (afterOperand) {
            ++fPos;
            fToken = ttMinus;
            fTokenText = "-";
            return;
        }
        return ReadNumber();
    }
    if (IsDigit(c))
        return ReadNumber();
    if (IsAsciiLetter(c) || c == '_' || IsGbLeadByte(c))
        return ReadName();
    if (ReadOperator(static_cast<char>(c)))
        return;
    InvalidCharacter(fPos);
}

bool TSyntaxParserBase::ReadOperator(char c) {
    TTokenType type;
    size_t length = 1;
    switch (c) {
        case '(':
            type = ttLParen;
            break;
        case ')':
            type = ttRParen;
            break;
        case '*':
            type = ttMul;
            break;
        case '+':
            type = ttPlus;
            break;
        case ',':
            type = ttComma;
            break;
        case '/':
            type = ttDiv;
            break;
        case '=':
            type = ttEQ;
            break;
        case '<':
            type = At(fPos + 1) == '=' ? ttLE : (At(fPos + 1) == '>' ? ttNE : ttLT);
            length = type == ttLT ? 1 : 2;
            break;
        case '>':
            type = At(fPos + 1) == '=' ? ttGE : ttGT;
            length = type == ttGT ? 1 : 2;
            break;
        default:
            return false;
    }
    fTokenText = fText.substr(fPos, length);
    fPos += length;
    fToken = type;
    return true;
}

// 'text' with '' standing for one quote; at most kMaxStringChars characters kept.
void TSyntaxParserBase::ReadString() {
    ++fPos;
    size_t kept = 0;
    for (;;) {
        if (fPos >= fText.size())
            DatabaseError("Unterminated string constant");
        if (At(fPos) == '\'') {
            if (At(fPos + 1) != '\'')
                break;
            ++fPos;  // the doubled quote stands for one
        }
        const size_t length = CharLengthAt(fPos);
        if (kept < kMaxStringChars) {
            fTokenText.append(fText, fPos, length);
            ++kept;
        }
        fPos += length;
    }
    ++fPos;
    fToken = ttString;
}

void TSyntaxParserBase::ReadBracketedName() {
    size_t end = fPos + 1;
    while (end < fText.size() && At(end) != ']')
        end += CharLengthAt(end);
    if (end >= fText.size())
        DatabaseError("Unterminated field name");
    fTokenText = fText.substr(fPos + 1, end - fPos - 1);
    fPos = end + 1;
    fToken = ttField;
}

char TSyntaxParserBase::DecimalSeparator() const {
    if (!fDecimalSeparator)
        fDecimalSeparator = DefaultDecimalSeparator();
    return fDecimalSeparator;
}

void TSyntaxParserBase::ReadNumber() {
    const size_t start = fPos++;
    for (;;) {
        const unsigned char c = At(fPos);
        const unsigned char before = At(fPos - 1);
        const bool sign = (c == '+' || c == '-') && (before == 'E' || before == 'e');
        if (fPos < fText.size() &&
            (IsDigit(c) || c == 'E' || c == 'e' || sign || c == static_cast<unsigned char>(DecimalSeparator()))) {
            ++fPos;
            continue;
        }
        break;
    }
    // "1, 2" with a comma separator: the trailing comma is the list's.
    if (fPos - start > 1 && At(fPos - 1) == ',' && (fPos >= fText.size() || At(fPos) == ' ') &&
        DecimalSeparator() == ',')
        --fPos;
    fTokenText = fText.substr(start, fPos - start);
    fToken = ttNumber;
}

void TSyntaxParserBase::ReadName() {
    const size_t start = fPos;
    while (fPos < fText.size()) {
        const unsigned char c = At(fPos);
        if (IsGbLeadByte(c)) {
            fPos += CharLengthAt(fPos);
        } else if (IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '[' || c == ']') {
            ++fPos;
        } else {
            break;
        }
    }
    fTokenText = fText.substr(start, fPos - start);
    if (SameNameAscii(fTokenText, "LIKE"))
        fToken = ttLike;
    else if (SameNameAscii(fTokenText, "IN"))
        fToken = ttIn;
    else
        fToken = ttName;
}

std::string TSyntaxParserBase::TokenForMessage() const {
    if (fToken == ttEnd)
        return "nothing";
    return "'" + fTokenText + "'";
}

bool TSyntaxParserBase::NextCharIsOpenParen() const {
    size_t p = fPos;
    while (p < fText.size() && At(p) <= 32)
        ++p;
    return At(p) == '(';
}

}  // namespace tomedb
