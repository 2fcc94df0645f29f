// Type rules of the filter operators and functions, applied as each node is
// built. A failed rule raises "Type mismatch in expression".
//
// Date and time subtraction: besides the usual combinations (date - date
// and date - number give days, time - time and time - number give
// milliseconds, date-time - number gives a date-time), every other pairing of
// dates, times and date-times (date - time, time - date, date - date-time,
// date-time - date, time - date-time, date-time - time) is allowed and gives
// the difference of the two values in milliseconds as ftFloat, a date counting
// as its midnight, a time as its milliseconds since midnight and a date-time
// as its milliseconds.
#include "tomedb/TomeError.h"
#include "tomedb/filter/ExprParserBase.h"

namespace tomedb {
namespace {

bool IsIntegerClass(TFieldType t) { return t == ftSmallint || t == ftWord || t == ftInteger || t == ftAutoInc; }
bool IsNumeric(TFieldType t) { return IsIntegerClass(t) || t == ftLargeint || t == ftFloat || t == ftCurrency; }
bool IsStringClass(TFieldType t) {
    return t == ftString || t == ftFixedChar || t == ftBlob || t == ftMemo || t == ftGraphic || t == ftFmtMemo;
}
bool IsDateTime(TFieldType t) { return t == ftDate || t == ftTime || t == ftDateTime; }

bool IsStringConstant(const TExprNode* n) { return n->kind == enConst && n->dataType == ftString; }

int NumericRank(TFieldType t) {
    switch (t) {
        case ftSmallint:
            return 0;
        case ftWord:
            return 1;
        case ftInteger:
        case ftAutoInc:
            return 2;
        case ftLargeint:
            return 3;
        case ftFloat:
            return 4;
        default:
            return 5;  // ftCurrency
    }
}

[[noreturn]] void Mismatch() { DatabaseError("Type mismatch in expression"); }

bool IsComparison(TExprOperator op) { return op >= toEQ && op <= toLE; }

}  // namespace

// Turns a string constant that reads as a date, time or date-time into a
// constant of `type`; false (constant unchanged) when it does not read so.
bool TExprParserBase::ConvertToDateType(TExprNode* constant, TFieldType type) {
    const std::optional<TDateTimeParts> parts = ReadDateTimeText(constant->value.text, DateTimeLocale());
    if (!parts)
        return false;
    TExprValue& v = constant->value;
    v.type = type;
    v.text.clear();
    if (type == ftDate)
        v.intValue = parts->dayNumber;
    if (type == ftTime)
        v.intValue = parts->ms;
    if (type == ftDateTime)
        v.floatValue = static_cast<double>(parts->dayNumber * kMsPerDay + parts->ms);
    constant->dataType = type;
    constant->starPos = constant->starChars = -1;
    return true;
}

// The "=" rule (and, with orderOnly, the ordering comparisons, which exclude
// Booleans); may convert a string constant to the other side's date type.
bool TExprParserBase::MakeComparable(TExprNode* a, TExprNode* b, bool orderOnly) {
    const TFieldType ta = a->dataType, tb = b->dataType;
    if (IsNumeric(ta) && IsNumeric(tb))
        return true;
    if (IsDateTime(ta) && IsDateTime(tb))
        return true;
    if (IsDateTime(ta) && IsStringConstant(b))
        return ConvertToDateType(b, ta);
    if (IsDateTime(tb) && IsStringConstant(a))
        return ConvertToDateType(a, tb);
    if (IsStringClass(ta) && IsStringClass(tb))
        return true;
    return !orderOnly && ta == ftBoolean && tb == ftBoolean;
}

TFieldType TExprParserBase::ArithmeticType(TExprNode* node) {
    TExprNode* l = node->left;
    TExprNode* r = node->right;
    const TExprOperator op = node->op;
    if (IsNumeric(l->dataType) && IsNumeric(r->dataType)) {
        if (op == toDIV)
            return ftFloat;
        const TFieldType t = NumericRank(r->dataType) > NumericRank(l->dataType) ? r->dataType : l->dataType;
        return IsIntegerClass(t) ? ftInteger : t;
    }
    if (op == toADD && IsStringClass(l->dataType) && IsStringClass(r->dataType))
        return ftString;
    if (IsDateTime(l->dataType)) {
        if (op == toADD && IsNumeric(r->dataType))
            return l->dataType;
        if (op != toSUB)
            Mismatch();
        if (IsStringConstant(r) && !ConvertToDateType(r, l->dataType))
            Mismatch();
        const TFieldType tl = l->dataType, tr = r->dataType;
        if (!IsNumeric(tr) && !IsDateTime(tr))
            Mismatch();
        if ((tl == ftDate && (tr == ftDate || IsNumeric(tr))) || (tl == ftTime && (tr == ftTime || IsNumeric(tr))))
            return ftInteger;
        return ftFloat;
    }
    if (op == toSUB && IsStringConstant(l) && IsDateTime(r->dataType) && ConvertToDateType(l, ftDateTime))
        return ftFloat;
    Mismatch();
}

void TExprParserBase::CheckOperator(TExprNode* node) {
    const TExprOperator op = node->op;
    TExprNode* l = node->left;
    TExprNode* r = node->right;
    if (op == toNOT || op == toAND || op == toOR) {
        if (l->dataType != ftBoolean || (r && r->dataType != ftBoolean))
            Mismatch();
        node->dataType = ftBoolean;
    } else if (IsComparison(op)) {
        if (!MakeComparable(l, r, op != toEQ && op != toNE))
            Mismatch();
        node->dataType = ftBoolean;
    } else if (op == toLIKE) {
        if (!IsStringClass(l->dataType) || !IsStringClass(r->dataType))
            Mismatch();
        node->dataType = ftBoolean;
    } else if (op == toIN) {
        for (TExprNode* item : node->args)
            if (!MakeComparable(l, item, false))
                Mismatch();
        node->dataType = ftBoolean;
    } else {
        node->dataType = ArithmeticType(node);
    }
    node->value.type = node->dataType;
}

void TExprParserBase::CheckFunction(TExprNode* node) {
    const auto& args = node->args;
    const auto oneArg = [&](bool (*accepts)(TFieldType)) {
        if (args.size() != 1 || !accepts(args[0]->dataType))
            Mismatch();
    };
    switch (node->function) {
        case fnUpper:
        case fnLower:
        case fnTrim:
        case fnTrimLeft:
        case fnTrimRight:
            oneArg(IsStringClass);
            node->dataType = ftString;
            break;
        case fnSubstring:
            if (args.size() != 3 || !IsStringClass(args[0]->dataType))
                Mismatch();
            for (size_t i = 1; i < 3; ++i)
                if (args[i]->kind != enConst || !IsIntegerClass(args[i]->dataType))
                    Mismatch();
            node->dataType = ftString;
            break;
        case fnYear:
        case fnMonth:
        case fnDay:
            oneArg([](TFieldType t) { return t == ftDate || t == ftDateTime; });
            node->dataType = ftInteger;
            break;
        case fnHour:
        case fnMinute:
        case fnSecond:
            oneArg([](TFieldType t) { return t == ftTime || t == ftDateTime; });
            node->dataType = ftInteger;
            break;
        case fnGetDate: {
            if (!args.empty())
                Mismatch();
            // Fixed when parsed: the node becomes a date-time constant.
            const TDateTimeParts now = CurrentLocalDateTime();
            node->kind = enConst;
            node->dataType = ftDateTime;
            node->value.floatValue = static_cast<double>(now.dayNumber * kMsPerDay + now.ms);
            break;
        }
        default:
            Mismatch();
    }
    node->value.type = node->dataType;
}

}  // namespace tomedb
