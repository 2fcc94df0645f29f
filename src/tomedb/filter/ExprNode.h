// TExprNode and TExprNodes: the parsed tree of a filter expression.
//
// TExprNodes owns every node of one tree (freeing it frees them all, without
// recursion); nodes point at each other only inside that list. Each node keeps
// its data type (a TFieldType code) and, after evaluation, its value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tomedb/FieldTypes.h"
#include "tomedb/filter/ValueCompare.h"

namespace tomedb {

enum TExprNodeKind : int { enField = 0, enConst = 1, enFunc = 2, enOperator = 3 };

enum TExprOperator : int {
    toNone = 0,
    toEQ = 3,
    toNE = 4,
    toGT = 5,
    toLT = 6,
    toGE = 7,
    toLE = 8,
    toNOT = 9,
    toAND = 10,
    toOR = 11,
    toADD = 12,
    toSUB = 13,
    toMUL = 14,
    toDIV = 15,
    toLIKE = 17,
    toIN = 18,
};

enum TExprFunction : int {
    fnNone = 0,
    fnUpper = 1,
    fnLower = 2,
    fnSubstring = 3,
    fnTrim = 4,
    fnTrimLeft = 5,
    fnTrimRight = 6,
    fnYear = 7,
    fnMonth = 8,
    fnDay = 9,
    fnHour = 10,
    fnMinute = 11,
    fnSecond = 12,
    fnGetDate = 13,
};

// A value during evaluation; only the member that belongs to `type` counts:
// intValue for the integer class, ftLargeint, ftBoolean (0/1), ftDate (day
// number) and ftTime (ms); floatValue for ftFloat, ftCurrency and ftDateTime
// (ms); text for strings and blobs (GB18030 bytes).
struct TExprValue {
    TFieldType type = ftUnknown;
    bool isNull = false;
    int64_t intValue = 0;
    double floatValue = 0;
    std::string text;

    TCompareValue ForCompare() const {
        TCompareValue v;
        v.type = type;
        v.intValue = intValue;
        v.floatValue = floatValue;
        v.text = text;
        return v;
    }
    // Whether the value counts as true for a filter: a true Boolean, a
    // non-zero number or date, a non-empty text.
    bool IsTrue() const;
};

class TExprNodes;

class TExprNode {
public:
    explicit TExprNode(TExprNodes* owner) : owner(owner) {}

    TExprNodes* owner;
    TExprNode* next = nullptr;  // next node in the owner's list
    TExprNodeKind kind = enConst;
    TExprOperator op = toNone;
    std::string name;  // field or function name
    TExprValue value;
    TExprNode* left = nullptr;
    TExprNode* right = nullptr;
    TFieldType dataType = ftUnknown;
    std::vector<TExprNode*> args;  // function arguments, IN list
    bool isBlob = false;
    int fieldIndex = -1;
    int64_t starPos = -1;    // string constants: byte position of the first "*"
    int64_t starChars = -1;  // ... and the number of characters before it
    TExprFunction function = fnNone;
    int depth = 1;  // height of the subtree rooted here
};

class TExprNodes {
public:
    TExprNodes() = default;
    TExprNodes(const TExprNodes&) = delete;
    TExprNodes& operator=(const TExprNodes&) = delete;

    TExprNode* NewNode(TExprNodeKind kind);
    void Clear();
    TExprNode* Root() const { return fRoot; }
    void SetRoot(TExprNode* root) { fRoot = root; }
    bool Empty() const { return fNodes.empty(); }
    // Indexes of the bound fields the expression reads (ascending, no repeats).
    std::vector<int> FieldIndexes() const;

private:
    std::vector<std::unique_ptr<TExprNode>> fNodes;
    TExprNode* fRoot = nullptr;
};

}  // namespace tomedb
