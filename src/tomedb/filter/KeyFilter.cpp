#include "tomedb/filter/KeyFilter.h"

#include <algorithm>

#include "tomedb/filter/ValueCompare.h"

namespace tomedb {

namespace {

bool IsStoredIntegerField(TFieldType type) {
    switch (type) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc:
        case ftLargeint:
            return true;
        default:
            return false;
    }
}

bool IsIntegerConstant(const TExprNode* node) {
    return node && node->kind == enConst && !node->value.isNull &&
           (node->dataType == ftInteger || node->dataType == ftSmallint || node->dataType == ftWord ||
            node->dataType == ftLargeint);
}

}  // namespace

bool TIntegerKeyFilter::SetField(const TExprNode* node) {
    if (!node || node->kind != enField || node->fieldIndex < 0 || node->isBlob || !IsStoredIntegerField(node->dataType))
        return false;
    field_ = node->fieldIndex;
    type_ = node->dataType;
    return true;
}

bool TIntegerKeyFilter::AddKey(const TExprNode* node) {
    if (!IsIntegerConstant(node))
        return false;
    keys_.push_back(node->value.intValue);
    return true;
}

bool TIntegerKeyFilter::Recognise(const TExprNodes& nodes) {
    field_ = -1;
    keys_.clear();
    const TExprNode* root = nodes.Root();
    bool ok = false;
    if (root && root->kind == enOperator && root->op == toEQ) {
        ok = (SetField(root->left) && AddKey(root->right)) || (SetField(root->right) && AddKey(root->left));
    } else if (root && root->kind == enOperator && root->op == toIN && SetField(root->left)) {
        ok = !root->args.empty() &&
             std::all_of(root->args.begin(), root->args.end(), [this](const TExprNode* n) { return AddKey(n); });
    }
    if (!ok) {
        field_ = -1;
        keys_.clear();
        return false;
    }
    std::sort(keys_.begin(), keys_.end());
    keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
    return true;
}

bool TIntegerKeyFilter::Passes(const void* stored, size_t size) const {
    return PassesValue(DecodeStoredValue(type_, stored, size).intValue);
}

}  // namespace tomedb
