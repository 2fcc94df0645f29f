#include "tomedb/filter/ExprParserBase.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "tomedb/TomeError.h"
#include "tomedb/filter/Gb18030Chars.h"

namespace tomedb {
namespace {

struct TFunctionName {
    const char* name;
    TExprFunction code;
};

constexpr TFunctionName kFunctions[] = {
    {"UPPER", fnUpper},       {"LOWER", fnLower},         {"SUBSTRING", fnSubstring}, {"TRIM", fnTrim},
    {"TRIMLEFT", fnTrimLeft}, {"TRIMRIGHT", fnTrimRight}, {"YEAR", fnYear},           {"MONTH", fnMonth},
    {"DAY", fnDay},           {"HOUR", fnHour},           {"MINUTE", fnMinute},       {"SECOND", fnSecond},
    {"GETDATE", fnGetDate},
};

TExprFunction FunctionByName(std::string_view name) {
    for (const TFunctionName& f : kFunctions)
        if (SameNameAscii(name, f.name))
            return f.code;
    return fnNone;
}

TExprOperator ComparisonFor(TTokenType token) {
    switch (token) {
        case ttEQ:
            return toEQ;
        case ttNE:
            return toNE;
        case ttGT:
            return toGT;
        case ttLT:
            return toLT;
        case ttGE:
            return toGE;
        case ttLE:
            return toLE;
        case ttLike:
            return toLIKE;
        default:
            return toNone;
    }
}

[[noreturn]] void Expected(const char* what, const std::string& found) {
    DatabaseError(FormatMessage("%s expected but %s found", what, found.c_str()));
}

// Counts nesting while a sub-expression is parsed.
class TNestingGuard {
public:
    explicit TNestingGuard(int& depth) : fDepth(depth) {
        if (++fDepth > TExprParserBase::kMaxNesting) {
            --fDepth;
            DatabaseError("Filter expression nested too deeply");
        }
    }
    ~TNestingGuard() { --fDepth; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;

private:
    int& fDepth;
};

}  // namespace

TExprParserBase::TExprParserBase() = default;

void TExprParserBase::SetDateTimeLocale(const TDateTimeLocale& locale) {
    fLocale = locale;
    SetDecimalSeparator(locale.decimalSeparator);
}

const TDateTimeLocale& TExprParserBase::DateTimeLocale() const {
    if (!fLocale)
        fLocale = DefaultDateTimeLocale();
    return *fLocale;
}

void TExprParserBase::Parse(std::string_view text) {
    fNodes.Clear();
    fNesting = 0;
    try {
        SetSourceText(text);
        NextToken();
        TExprNode* root = ParseExpression();
        if (Token() != ttEnd)
            DatabaseError("Filter expression incorrectly terminated");
        fNodes.SetRoot(root);
    } catch (...) {
        fNodes.Clear();
        throw;
    }
}

bool TExprParserBase::TokenIsKeyword(std::string_view keyword) const {
    return Token() == ttName && SameNameAscii(TokenText(), keyword);
}

TExprNode* TExprParserBase::ParseExpression() {
    TNestingGuard guard(fNesting);
    TExprNode* left = ParseAndTerm();
    while (TokenIsKeyword("OR")) {
        NextToken();
        left = NewOperator(toOR, left, ParseAndTerm());
    }
    return left;
}

TExprNode* TExprParserBase::ParseAndTerm() {
    TExprNode* left = ParseNotTerm();
    while (TokenIsKeyword("AND")) {
        NextToken();
        left = NewOperator(toAND, left, ParseNotTerm());
    }
    return left;
}

TExprNode* TExprParserBase::ParseNotTerm() {
    if (!TokenIsKeyword("NOT"))
        return ParseComparison();
    NextToken();
    return NewOperator(toNOT, ParseComparison(), nullptr);
}

TExprNode* TExprParserBase::ParseComparison() {
    TExprNode* left = ParseSum();
    if (Token() == ttIn)
        return ParseInList(left);
    const TExprOperator op = ComparisonFor(Token());
    if (op == toNone)
        return left;
    NextToken();
    return NewOperator(op, left, ParseSum());
}

TExprNode* TExprParserBase::ParseInList(TExprNode* left) {
    TNestingGuard guard(fNesting);
    NextToken();
    if (Token() != ttLParen)
        Expected("'('", TokenForMessage());
    NextToken();
    if (Token() == ttRParen)
        DatabaseError("IN predicate list may not be empty");
    TExprNode* node = fNodes.NewNode(enOperator);
    node->op = toIN;
    node->left = left;
    for (;;) {
        node->args.push_back(ParseExpression());
        if (Token() == ttComma) {
            NextToken();
            continue;
        }
        if (Token() == ttRParen)
            break;
        if (Token() == ttEnd)
            Expected("')'", TokenForMessage());
        Expected("')' or ','", TokenForMessage());
    }
    NextToken();
    UpdateDepth(node);
    CheckOperator(node);
    return node;
}

TExprNode* TExprParserBase::ParseSum() {
    TExprNode* left = ParseProduct();
    while (Token() == ttPlus || Token() == ttMinus) {
        const TExprOperator op = Token() == ttPlus ? toADD : toSUB;
        NextToken();
        left = NewOperator(op, left, ParseProduct());
    }
    return left;
}

TExprNode* TExprParserBase::ParseProduct() {
    TExprNode* left = ParsePrimary();
    while (Token() == ttMul || Token() == ttDiv) {
        const TExprOperator op = Token() == ttMul ? toMUL : toDIV;
        NextToken();
        left = NewOperator(op, left, ParsePrimary());
    }
    return left;
}

TExprNode* TExprParserBase::ParsePrimary() {
    TExprNode* node = nullptr;
    switch (Token()) {
        case ttName:
            return ParseName();
        case ttField:
            node = fNodes.NewNode(enField);
            node->name = TokenText();
            BindField(node);
            break;
        case ttNumber:
            node = NumberConstant(TokenText());
            break;
        case ttString:
            node = StringConstant(TokenText());
            break;
        case ttLParen: {
            NextToken();
            node = ParseExpression();
            if (Token() != ttRParen)
                Expected("')'", TokenForMessage());
            break;
        }
        default:
            Expected("Expression", TokenForMessage());
    }
    NextToken();
    return node;
}

// A function call, True/False, or a field reference.
TExprNode* TExprParserBase::ParseName() {
    const std::string name = TokenText();
    const TExprFunction function = FunctionByName(name);
    if (function != fnNone && NextCharIsOpenParen())
        return ParseFunctionCall(function, name);
    TExprNode* node;
    if (SameNameAscii(name, "True") || SameNameAscii(name, "False")) {
        node = fNodes.NewNode(enConst);
        node->dataType = ftBoolean;
        node->value.type = ftBoolean;
        node->value.intValue = SameNameAscii(name, "True") ? 1 : 0;
    } else {
        node = fNodes.NewNode(enField);
        node->name = name;
        BindField(node);
    }
    NextToken();
    return node;
}

TExprNode* TExprParserBase::ParseFunctionCall(TExprFunction function, const std::string& name) {
    TNestingGuard guard(fNesting);
    TExprNode* node = fNodes.NewNode(enFunc);
    node->function = function;
    node->name = name;
    NextToken();  // "("
    NextToken();
    if (Token() != ttRParen) {
        for (;;) {
            node->args.push_back(ParseExpression());
            if (Token() == ttComma) {
                NextToken();
                continue;
            }
            if (Token() == ttRParen)
                break;
            Expected("')' or ','", TokenForMessage());
        }
    }
    NextToken();
    UpdateDepth(node);
    CheckFunction(node);
    return node;
}

// An ftInteger constant when the text is a 32-bit integer, else ftFloat.
TExprNode* TExprParserBase::NumberConstant(const std::string& text) {
    TExprNode* node = fNodes.NewNode(enConst);
    int32_t whole = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, whole);
    if (ec == std::errc() && ptr == end) {
        node->dataType = ftInteger;
        node->value.type = ftInteger;
        node->value.intValue = whole;
        return node;
    }
    std::string plain = text;
    for (char& c : plain)
        if (c == DecimalSeparator())
            c = '.';
    double number = 0;
    const char* plainEnd = plain.data() + plain.size();
    auto [fptr, fec] = std::from_chars(plain.data(), plainEnd, number);
    if (fec != std::errc() || fptr != plainEnd || !std::isfinite(number))
        DatabaseError(FormatMessage("'%s' is not a valid floating point value", text.c_str()));
    node->dataType = ftFloat;
    node->value.type = ftFloat;
    node->value.floatValue = number;
    return node;
}

TExprNode* TExprParserBase::StringConstant(const std::string& text) {
    TExprNode* node = fNodes.NewNode(enConst);
    node->dataType = ftString;
    node->value.type = ftString;
    node->value.text = text;
    const size_t star = text.find('*');
    if (star != std::string::npos) {
        node->starPos = static_cast<int64_t>(star);
        node->starChars = static_cast<int64_t>(GbCharCount(std::string_view(text).substr(0, star)));
    }
    return node;
}

TExprNode* TExprParserBase::NewOperator(TExprOperator op, TExprNode* left, TExprNode* right) {
    TExprNode* node = fNodes.NewNode(enOperator);
    node->op = op;
    node->left = left;
    node->right = right;
    UpdateDepth(node);
    CheckOperator(node);
    return node;
}

void TExprParserBase::UpdateDepth(TExprNode* node) {
    int deepest = 0;
    if (node->left)
        deepest = node->left->depth;
    if (node->right && node->right->depth > deepest)
        deepest = node->right->depth;
    for (const TExprNode* arg : node->args)
        if (arg->depth > deepest)
            deepest = arg->depth;
    node->depth = deepest + 1;
    if (node->depth > kMaxTreeDepth)
        DatabaseError("Filter expression nested too deeply");
}

bool TExprParserBase::Evaluate(TFilterOptions options) { return EvaluateValue(options).IsTrue(); }

const TExprValue& TExprParserBase::EvaluateValue(TFilterOptions options) {
    static const TExprValue kNoValue{ftUnknown, true, 0, 0, {}};
    if (!fNodes.Root())
        return kNoValue;
    fOptions = options;
    Eval(fNodes.Root());
    return fNodes.Root()->value;
}

}  // namespace tomedb
