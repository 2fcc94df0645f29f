#include "tomedb/filter/ExprNode.h"

namespace tomedb {

bool TExprValue::IsTrue() const {
    if (isNull) return false;
    switch (type) {
        case ftFloat:
        case ftCurrency:
        case ftDateTime: return floatValue != 0;
        default:
            if (IsStringType(type) || IsBlobType(type)) return !text.empty();
            return intValue != 0;
    }
}

TExprNode* TExprNodes::NewNode(TExprNodeKind kind) {
    auto node = std::make_unique<TExprNode>(this);
    node->kind = kind;
    if (!fNodes.empty()) fNodes.back()->next = node.get();
    fNodes.push_back(std::move(node));
    return fNodes.back().get();
}

void TExprNodes::Clear() {
    fNodes.clear();
    fRoot = nullptr;
}

}  // namespace tomedb
