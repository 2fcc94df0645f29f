// Evaluation of a parsed filter tree against the current record.
//
// Null values (a record source may report a field as null) propagate: an
// operator or function with a null operand gives null, except that AND gives
// false when either side is false and OR gives true when either side is true
// (the right side being evaluated only when the left one does not decide).
// A null result does not pass the filter.
#include <cmath>
#include <cstring>
#include <limits>

#include "tomedb/TomeError.h"
#include "tomedb/filter/ExprParserBase.h"
#include "tomedb/filter/Gb18030Chars.h"

namespace tomedb {
namespace {

bool IsFloatType(TFieldType t) { return t == ftFloat || t == ftCurrency; }
bool IsNumeric(TFieldType t) {
    return t == ftSmallint || t == ftWord || t == ftInteger || t == ftAutoInc || t == ftLargeint || IsFloatType(t);
}

double AsDouble(const TExprValue& v) {
    return IsFloatType(v.type) || v.type == ftDateTime ? v.floatValue : static_cast<double>(v.intValue);
}

// Float to integer, truncated toward zero; out-of-range values saturate and
// NaN gives 0 (converting them directly would be undefined).
int64_t TruncToInt64(double d) {
    if (std::isnan(d))
        return 0;
    if (d >= 9.2e18)
        return std::numeric_limits<int64_t>::max();
    if (d <= -9.2e18)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(d);
}

int64_t AsWholeNumber(const TExprValue& v) { return IsFloatType(v.type) ? TruncToInt64(v.floatValue) : v.intValue; }

int64_t Wrap32(uint64_t bits) { return static_cast<int32_t>(static_cast<uint32_t>(bits)); }

// Milliseconds of a date, time or date-time value.
double AsMilliseconds(const TExprValue& v) {
    if (v.type == ftDate)
        return static_cast<double>(v.intValue) * static_cast<double>(kMsPerDay);
    if (v.type == ftTime)
        return static_cast<double>(v.intValue);
    return v.floatValue;
}

void SetBoolean(TExprValue& v, bool b) {
    v.isNull = false;
    v.intValue = b ? 1 : 0;
}

bool ComparisonHolds(TExprOperator op, TCompareOutcome c) {
    switch (op) {
        case toEQ:
            return c == TCompareOutcome::Equal;
        case toNE:
            return c != TCompareOutcome::Equal;
        case toGT:
            return c == TCompareOutcome::Greater;
        case toLT:
            return c == TCompareOutcome::Less;
        case toGE:
            return c != TCompareOutcome::Less;
        default:
            return c != TCompareOutcome::Greater;  // toLE
    }
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameChar(std::string_view a, size_t ai, size_t al, std::string_view b, size_t bi, size_t bl, bool ignoreCase) {
    if (al != bl)
        return false;
    if (al == 1 && ignoreCase)
        return FoldAscii(a[ai]) == FoldAscii(b[bi]);
    return std::memcmp(a.data() + ai, b.data() + bi, al) == 0;
}

// "%" any run of characters, "_" one character; the whole value must match.
// Backtracks only to the last "%", so the work stays within value x pattern.
bool LikeMatch(std::string_view value, std::string_view pattern, bool ignoreCase) {
    size_t s = 0, p = 0;
    size_t starP = std::string_view::npos, starS = 0;
    while (s < value.size()) {
        const size_t sl = GbCharLength(value, s);
        if (p < pattern.size()) {
            const size_t pl = GbCharLength(pattern, p);
            if (pl == 1 && pattern[p] == '%') {
                starP = p++;
                starS = s;
                continue;
            }
            if ((pl == 1 && pattern[p] == '_') || SameChar(value, s, sl, pattern, p, pl, ignoreCase)) {
                s += sl;
                p += pl;
                continue;
            }
        }
        if (starP == std::string_view::npos)
            return false;
        p = starP + 1;
        starS += GbCharLength(value, starS);
        s = starS;
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

// Changes the single-byte letters only; multi-byte characters stay whole.
void ChangeCase(std::string& text, bool upper) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = GbCharLength(text, i);
        if (length == 1) {
            char& c = text[i];
            if (upper && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
            if (!upper && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        }
        i += length;
    }
}

void Trim(std::string& text, bool left, bool right) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t end = text.size();
    if (right)
        while (end > 0 && blank(text[end - 1]))
            --end;
    size_t start = 0;
    if (left)
        while (start < end && blank(text[start]))
            ++start;
    text = text.substr(start, end - start);
}

// Characters start .. start+length-1 (1-based) that lie inside the text:
// positions before 1 or after the end contribute nothing.
std::string Substring(std::string_view text, int64_t start, int64_t length) {
    const int64_t first = start < 1 ? 1 : start;
    const int64_t last = length <= 0 ? start - 1 : (start > INT64_MAX - length ? INT64_MAX : start + length - 1);
    if (last < first)
        return {};
    const size_t from = GbPrefixBytes(text, static_cast<size_t>(first - 1));
    const size_t to = GbPrefixBytes(text, static_cast<size_t>(last));
    return std::string(text.substr(from, to - from));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Day number and milliseconds of a date or date-time value.
void SplitDateTime(const TExprValue& v, int64_t& day, int64_t& ms) {
    if (v.type == ftDate) {
        day = v.intValue;
        ms = 0;
        return;
    }
    if (v.type == ftTime) {
        day = kDateDelta;
        ms = v.intValue - FloorDiv(v.intValue, kMsPerDay) * kMsPerDay;
        return;
    }
    // Keep absurd stored values inside a range the calendar code handles.
    double total = std::isfinite(v.floatValue) ? std::floor(v.floatValue) : 0;
    total = std::fmax(-1e18, std::fmin(1e18, total));
    const int64_t whole = static_cast<int64_t>(total);
    day = FloorDiv(whole, kMsPerDay);
    ms = whole - day * kMsPerDay;
}

int64_t DatePart(TExprFunction function, const TExprValue& v) {
    int64_t day, ms;
    SplitDateTime(v, day, ms);
    switch (function) {
        case fnYear:
            return CivilFromDayNumber(day).year;
        case fnMonth:
            return CivilFromDayNumber(day).month;
        case fnDay:
            return CivilFromDayNumber(day).day;
        case fnHour:
            return ms / 3600000;
        case fnMinute:
            return ms / 60000 % 60;
        default:
            return ms / 1000 % 60;  // fnSecond
    }
}

}  // namespace

void TExprParserBase::Eval(TExprNode* node) {
    switch (node->kind) {
        case enConst:
            return;
        case enField:
            ReadField(node);
            return;
        case enFunc:
            EvalFunction(node);
            return;
        case enOperator:
            break;
    }
    switch (node->op) {
        case toNOT:
        case toAND:
        case toOR:
            EvalLogical(node);
            return;
        case toLIKE:
            EvalLike(node);
            return;
        case toIN:
            EvalIn(node);
            return;
        case toADD:
        case toSUB:
        case toMUL:
        case toDIV:
            EvalArithmetic(node);
            return;
        default:
            EvalComparison(node);
            return;
    }
}

void TExprParserBase::EvalLogical(TExprNode* node) {
    TExprValue& v = node->value;
    Eval(node->left);
    const TExprValue& l = node->left->value;
    if (node->op == toNOT) {
        v.isNull = l.isNull;
        v.intValue = l.intValue != 0 ? 0 : 1;
        return;
    }
    const bool decisive = node->op == toAND ? (!l.isNull && l.intValue == 0) : (!l.isNull && l.intValue != 0);
    if (decisive)
        return SetBoolean(v, node->op == toOR);
    Eval(node->right);
    const TExprValue& r = node->right->value;
    const bool rightDecides = node->op == toAND ? (!r.isNull && r.intValue == 0) : (!r.isNull && r.intValue != 0);
    if (rightDecides)
        return SetBoolean(v, node->op == toOR);
    v.isNull = l.isNull || r.isNull;
    v.intValue = node->op == toAND ? 1 : 0;
}

// Characters of a string constant before its "*", unless partial comparison
// is switched off or the operand is no such constant: kWholeText.
int64_t TExprParserBase::PartialChars(const TExprNode* right) const {
    if ((fOptions & foNoPartialCompare) || right->kind != enConst || right->starChars < 0)
        return kWholeText;
    return right->starChars;
}

void TExprParserBase::EvalComparison(TExprNode* node) {
    Eval(node->left);
    Eval(node->right);
    const TExprValue& l = node->left->value;
    const TExprValue& r = node->right->value;
    if (l.isNull || r.isNull) {
        node->value.isNull = true;
        return;
    }
    const TCompareOutcome c = CompareTypedValues(l.ForCompare(), r.ForCompare(), (fOptions & foCaseInsensitive) != 0,
                                                 PartialChars(node->right));
    SetBoolean(node->value, ComparisonHolds(node->op, c));
}

void TExprParserBase::EvalLike(TExprNode* node) {
    Eval(node->left);
    Eval(node->right);
    const TExprValue& l = node->left->value;
    const TExprValue& r = node->right->value;
    if (l.isNull || r.isNull) {
        node->value.isNull = true;
        return;
    }
    SetBoolean(node->value, LikeMatch(l.text, r.text, (fOptions & foCaseInsensitive) != 0));
}

void TExprParserBase::EvalIn(TExprNode* node) {
    Eval(node->left);
    for (TExprNode* item : node->args)
        Eval(item);
    const TExprValue& l = node->left->value;
    if (l.isNull) {
        node->value.isNull = true;
        return;
    }
    const bool ignoreCase = (fOptions & foCaseInsensitive) != 0;
    for (TExprNode* item : node->args) {
        if (item->value.isNull)
            continue;
        if (CompareTypedValues(l.ForCompare(), item->value.ForCompare(), ignoreCase, PartialChars(item)) ==
            TCompareOutcome::Equal)
            return SetBoolean(node->value, true);
    }
    SetBoolean(node->value, false);
}

void TExprParserBase::EvalArithmetic(TExprNode* node) {
    Eval(node->left);
    Eval(node->right);
    const TExprValue& l = node->left->value;
    const TExprValue& r = node->right->value;
    TExprValue& v = node->value;
    v.isNull = l.isNull || r.isNull;
    if (v.isNull)
        return;
    if (!IsNumeric(l.type) || !IsNumeric(r.type)) {
        if (l.type == ftDate || l.type == ftTime || l.type == ftDateTime)
            return EvalDateArithmetic(node);
        v.text.assign(l.text);  // string + string
        v.text.append(r.text);
        return;
    }
    const TExprOperator op = node->op;
    if (v.type == ftFloat || v.type == ftCurrency) {
        const double a = AsDouble(l), b = AsDouble(r);
        if (op == toDIV && b == 0)
            DatabaseError("Floating point division by zero");
        v.floatValue = op == toADD ? a + b : op == toSUB ? a - b : op == toMUL ? a * b : a / b;
        return;
    }
    // Integer results wrap around in their width.
    const uint64_t a = static_cast<uint64_t>(l.intValue), b = static_cast<uint64_t>(r.intValue);
    const uint64_t bits = op == toADD ? a + b : op == toSUB ? a - b : a * b;
    v.intValue = v.type == ftLargeint ? static_cast<int64_t>(bits) : Wrap32(bits);
}

void TExprParserBase::EvalDateArithmetic(TExprNode* node) {
    const TExprValue& l = node->left->value;
    const TExprValue& r = node->right->value;
    TExprValue& v = node->value;
    const bool numberRight = IsNumeric(r.type);
    const int64_t n = numberRight ? AsWholeNumber(r) : 0;
    const double nDaysMs = static_cast<double>(n) * static_cast<double>(kMsPerDay);
    if (node->op == toADD) {
        if (l.type == ftDateTime)
            v.floatValue = l.floatValue + nDaysMs;
        else
            v.intValue = Wrap32(static_cast<uint64_t>(l.intValue) + static_cast<uint64_t>(n));
        return;
    }
    if (v.type == ftInteger) {  // date - date/number, time - time/number
        const int64_t other = numberRight ? n : r.intValue;
        v.intValue = Wrap32(static_cast<uint64_t>(l.intValue) - static_cast<uint64_t>(other));
        return;
    }
    if (l.type == ftDateTime && numberRight) {
        v.floatValue = l.floatValue - nDaysMs;
        return;
    }
    v.floatValue = AsMilliseconds(l) - AsMilliseconds(r);
}

void TExprParserBase::EvalFunction(TExprNode* node) {
    for (TExprNode* arg : node->args)
        Eval(arg);
    TExprValue& v = node->value;
    const TExprValue& first = node->args.front()->value;
    v.isNull = first.isNull;
    if (v.isNull)
        return;
    switch (node->function) {
        case fnUpper:
        case fnLower:
            v.text.assign(first.text);
            ChangeCase(v.text, node->function == fnUpper);
            return;
        case fnTrim:
        case fnTrimLeft:
        case fnTrimRight:
            v.text.assign(first.text);
            Trim(v.text, node->function != fnTrimRight, node->function != fnTrimLeft);
            return;
        case fnSubstring:
            v.text = Substring(first.text, node->args[1]->value.intValue, node->args[2]->value.intValue);
            return;
        default:
            v.intValue = Wrap32(static_cast<uint64_t>(DatePart(node->function, first)));
    }
}

}  // namespace tomedb
