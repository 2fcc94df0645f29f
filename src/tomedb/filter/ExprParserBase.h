// TExprParserBase: grammar, type checking and evaluation of filter expressions.
//
// Parse builds a tree of TExprNode objects (owned by the TExprNodes list, freed
// by the next Parse or on a parse error), type-checking each node as it is
// built. Evaluate walks the tree for the current record. Field binding and
// field reading are left to the subclass (TFilterParser).
//
// Every failure raises EDatabaseError: the tokenizer's and grammar's messages,
// "Type mismatch in expression", "IN predicate list may not be empty", "Filter
// expression incorrectly terminated", "'%s' is not a valid floating point
// value" for a malformed number, "Floating point division by zero", and
// "Filter expression nested too deeply" for a tree too deep to walk safely.
#pragma once

#include <optional>
#include <string_view>

#include "tomedb/filter/DateTimeText.h"
#include "tomedb/filter/ExprNode.h"
#include "tomedb/filter/FilterTypes.h"
#include "tomedb/filter/SyntaxParserBase.h"

namespace tomedb {

class TExprParserBase : public TSyntaxParserBase {
public:
    // Deepest tree accepted (operators and functions stacked on each other),
    // and deepest nesting of parentheses, argument and IN lists.
    static constexpr int kMaxTreeDepth = 256;
    static constexpr int kMaxNesting = 64;

    TExprParserBase();

    // Frees the previous tree and parses `text` (GB18030). On an error no tree
    // is left.
    void Parse(std::string_view text);
    bool HasTree() const { return fNodes.Root() != nullptr; }

    // Evaluates the tree for the current record; true when the record passes.
    bool Evaluate(TFilterOptions options);
    // The value of the whole expression (valid until the next evaluation).
    const TExprValue& EvaluateValue(TFilterOptions options);

    TFilterOptions Options() const { return fOptions; }
    const TExprNodes& Nodes() const { return fNodes; }

    // Locale details used when reading numbers and date constants. Unless
    // set, the user's default locale is read when first needed: its ICU
    // tables are large, and most filters (whole numbers) never need them.
    void SetDateTimeLocale(const TDateTimeLocale& locale);
    const TDateTimeLocale& DateTimeLocale() const;

protected:
    char DefaultDecimalSeparator() const override { return DateTimeLocale().decimalSeparator; }
    // Sets the field node's dataType, fieldIndex and isBlob from node->name, or
    // raises "Field '%s' not found".
    virtual void BindField(TExprNode* node) = 0;
    // Puts the current record's value of the field into node->value.
    virtual void ReadField(TExprNode* node) = 0;

private:
    // Grammar (ExprParserBase.cpp).
    TExprNode* ParseExpression();
    TExprNode* ParseAndTerm();
    TExprNode* ParseNotTerm();
    TExprNode* ParseComparison();
    TExprNode* ParseInList(TExprNode* left);
    TExprNode* ParseSum();
    TExprNode* ParseProduct();
    TExprNode* ParsePrimary();
    TExprNode* ParseName();
    TExprNode* ParseFunctionCall(TExprFunction function, const std::string& name);
    TExprNode* NumberConstant(const std::string& text);
    TExprNode* StringConstant(const std::string& text);
    TExprNode* NewOperator(TExprOperator op, TExprNode* left, TExprNode* right);
    void UpdateDepth(TExprNode* node);
    bool TokenIsKeyword(std::string_view keyword) const;

    // Type rules (ExprTypeCheck.cpp).
    void CheckOperator(TExprNode* node);
    void CheckFunction(TExprNode* node);
    bool MakeComparable(TExprNode* a, TExprNode* b, bool orderOnly);
    TFieldType ArithmeticType(TExprNode* node);
    bool ConvertToDateType(TExprNode* constant, TFieldType type);

    // Evaluation (ExprEvaluate.cpp).
    void Eval(TExprNode* node);
    void EvalLogical(TExprNode* node);
    void EvalComparison(TExprNode* node);
    void EvalLike(TExprNode* node);
    void EvalIn(TExprNode* node);
    void EvalArithmetic(TExprNode* node);
    void EvalDateArithmetic(TExprNode* node);
    void EvalFunction(TExprNode* node);
    int64_t PartialChars(const TExprNode* right) const;

    TExprNodes fNodes;
    TFilterOptions fOptions = 0;
    mutable std::optional<TDateTimeLocale> fLocale;
    int fNesting = 0;
};

}  // namespace tomedb
