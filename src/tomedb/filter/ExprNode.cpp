#include "tomedb/filter/ExprNode.h"

#include <algorithm>

namespace tomedb {

bool TExprValue::IsTrue() const {
    if (isNull)
        return false;
    switch (type) {
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
            return floatValue != 0;
        default:
            if (IsStringType(type) || IsBlobType(type))
                return !text.empty();
            return intValue != 0;
    }
}

TExprNode* TExprNodes::NewNode(TExprNodeKind kind) {
    auto node = std::make_unique<TExprNode>(this);
    node->kind = kind;
    if (!fNodes.empty())
        fNodes.back()->next = node.get();
    fNodes.push_back(std::move(node));
    return fNodes.back().get();
}

std::vector<int> TExprNodes::FieldIndexes() const {
    std::vector<int> fields;
    for (const auto& node : fNodes)
        if (node->kind == enField && node->fieldIndex >= 0)
            fields.push_back(node->fieldIndex);
    std::sort(fields.begin(), fields.end());
    fields.erase(std::unique(fields.begin(), fields.end()), fields.end());
    return fields;
}

void TExprNodes::Clear() {
    fNodes.clear();
    fRoot = nullptr;
}

}  // namespace tomedb
